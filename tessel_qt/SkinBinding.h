#pragma once

#include <QObject>
#include <QQmlParserStatus>
#include <QString>

namespace Tessel::Qt
{

// The base of the QML bindings (Param, Prop): an `address` and an optional `base` for relative
// addresses (see SkinAddress.h). Whenever either changes the subclass binds again in rebind().
// A binding made in QML binds once all its properties are set (QQmlParserStatus), so a relative
// address never resolves against a base that is not there yet.
class SkinBinding : public QObject, public QQmlParserStatus
{
    Q_OBJECT
    Q_INTERFACES(QQmlParserStatus)
    Q_PROPERTY(QString address READ address WRITE setAddress NOTIFY addressChanged)
    Q_PROPERTY(QString base READ base WRITE setBase NOTIFY addressChanged)

public:
    QString address() const { return addressText; }
    void setAddress(const QString& address);
    QString base() const { return baseText; }
    void setBase(const QString& base);

    void classBegin() override { completing = true; }
    void componentComplete() override;

Q_SIGNALS:
    void addressChanged();

protected:
    explicit SkinBinding(QObject* parent) : QObject(parent) {}

    // Drops what was bound and binds `address` anew; called only outside QML creation.
    virtual void rebind() = 0;
    // Logs the one warning of an address that does not resolve.
    void warnUnresolved() const;

private:
    void update();

    bool completing = false;
    QString addressText;
    QString baseText;
};

} // namespace Tessel::Qt
