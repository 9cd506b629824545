#pragma once

#include <QObject>
#include <QQmlParserStatus>
#include <QVariant>

#include "tessel/SharedPtr.h"
#include "tessel/qt/SubjectLink.h"

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
class PropBinding : public QObject, public QQmlParserStatus
{
    Q_OBJECT
    Q_INTERFACES(QQmlParserStatus)
    Q_PROPERTY(QString address READ address WRITE setAddress NOTIFY addressChanged)
    Q_PROPERTY(QString base READ base WRITE setBase NOTIFY addressChanged)
    Q_PROPERTY(bool valid READ valid NOTIFY changed)
    Q_PROPERTY(QVariant value READ value NOTIFY changed)

public:
    explicit PropBinding(QObject* parent = nullptr);
    ~PropBinding() override;

    QString address() const { return addressText; }
    void setAddress(const QString& address);
    QString base() const { return baseText; }
    void setBase(const QString& base);
    bool valid() const { return component.get() != nullptr; }
    QVariant value() const { return cached; }

    // Reads the property again.
    Q_INVOKABLE void refresh();

    // QQmlParserStatus: a binding made in QML resolves once all its properties are set, so a
    // relative address never resolves against a base that is not there yet.
    void classBegin() override { completing = true; }
    void componentComplete() override
    {
        completing = false;
        rebind();
    }

Q_SIGNALS:
    void addressChanged();
    void changed();

private:
    void rebind();
    void unbind();

    bool completing = false;
    QString addressText;
    QString baseText;
    std::string propertyName;
    SharedPtr<Component> component;
    SubjectLink link;
    QVariant cached;
};

} // namespace Tessel::Qt
