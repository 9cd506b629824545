#pragma once

#include <QObject>
#include <QString>
#include <QVariant>

#include "tessel_qt/ViewLink.h"

namespace Tessel::Qt
{

// QML type "View" (import Tessel 1.0): a named view that a component makes of itself, for skin
// items drawn in QML.
//     View { id: meter; component: "://roomdesk/SpeakerNetwork/123//Speaker"; name: "MeterDisplay0" }
//     Rectangle { height: parent.height * meter.read("level") }
// `valid` says whether the component made the view; changed() follows every change the view
// signals, so bindings that call read() are evaluated again.
class ViewBinding : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QString component READ component WRITE setComponent NOTIFY bindingChanged)
    Q_PROPERTY(QString name READ name WRITE setName NOTIFY bindingChanged)
    Q_PROPERTY(bool valid READ valid NOTIFY bindingChanged)
    Q_PROPERTY(int revision READ revision NOTIFY changed)

public:
    explicit ViewBinding(QObject* parent = nullptr) : QObject(parent) {}

    QString component() const { return componentAddress; }
    void setComponent(const QString& address);
    QString name() const { return viewName; }
    void setName(const QString& name);
    bool valid() const { return link.isBound(); }
    // Counts the view's changes, so a binding can depend on them.
    int revision() const { return changes; }

    // The view's property `property` (numbers and texts), or undefined.
    Q_INVOKABLE QVariant read(const QString& property) const;

    ViewLink& getLink() { return link; }

Q_SIGNALS:
    void bindingChanged();
    void changed();

private:
    void rebind();

    QString componentAddress;
    QString viewName;
    int changes = 0;
    ViewLink link;
};

} // namespace Tessel::Qt
