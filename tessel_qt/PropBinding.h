#pragma once

#include <QVariant>

#include "tessel/SharedPtr.h"
#include "tessel_qt/SkinBinding.h"
#include "tessel_qt/SubjectLink.h"

namespace Tessel
{
class Component;
}

namespace Tessel::Qt
{

// QML type "Prop" (import Tessel 1.0): a property of a component by skin address, read again
// whenever the component signals "propertyChanged" (for this name, or with no name).
//
//     Prop { id: hasItems; address: "://roomdesk/SpeakerNetwork/hasItems" }
//     Text { visible: !hasItems.value; text: "No speakers" }
class PropBinding : public SkinBinding
{
    Q_OBJECT
    Q_PROPERTY(bool valid READ valid NOTIFY changed)
    Q_PROPERTY(QVariant value READ value NOTIFY changed)

public:
    explicit PropBinding(QObject* parent = nullptr);
    ~PropBinding() override;

    bool valid() const { return component.get() != nullptr; }
    QVariant value() const { return cached; }

    // Reads the property again.
    Q_INVOKABLE void refresh();

Q_SIGNALS:
    void changed();

private:
    void rebind() override;
    void unbind();

    std::string propertyName;
    SharedPtr<Component> component;
    SubjectLink link;
    QVariant cached;
};

} // namespace Tessel::Qt
