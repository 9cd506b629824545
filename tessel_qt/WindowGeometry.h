#pragma once

#include <QList>
#include <QObject>
#include <QPointer>
#include <QQmlParserStatus>
#include <QRect>
#include <QString>
#include <QTimer>
#include <QWindow>

namespace Tessel::Qt
{

// Keeps a window's size and position across runs (QML type "WindowGeometry" of Tessel 1.0).
//
// The geometry lives in the desk settings file ("Desk.settings" in the application's settings
// folder, a JSON object; other keys in it are kept) under "windows"/<name>. When the window is
// set, a stored geometry is applied if it is at least the window's minimum size and lies wholly on
// one of the screens; otherwise the window keeps the size the skin gave it and is centred on the
// primary screen. Every move or resize is written half a second after it ends (and when the
// object goes), through the file system's atomic write, so a crash never leaves a cut file.
class WindowGeometry : public QObject, public QQmlParserStatus
{
    Q_OBJECT
    Q_INTERFACES(QQmlParserStatus)
    Q_PROPERTY(QWindow* window READ window WRITE setWindow NOTIFY windowChanged)
    Q_PROPERTY(QString name READ name WRITE setName NOTIFY nameChanged)
    // Whether the stored geometry was applied when the window was set.
    Q_PROPERTY(bool restored READ restored NOTIFY restoredChanged)
public:
    static constexpr int kSaveDelayMs = 500;
    static constexpr const char* kFileName = "Desk.settings";

    explicit WindowGeometry(QObject* parent = nullptr);
    ~WindowGeometry() override;

    QWindow* window() const { return target; }
    void setWindow(QWindow* window);
    QString name() const { return windowName; }
    void setName(const QString& name);
    bool restored() const { return wasRestored; }

    // Writes the window's geometry now (nothing without a window); false when the write failed.
    Q_INVOKABLE bool save();

    // Whether `geometry` may be given back to a window with minimum size `minimum` on a desktop of
    // `screens`: at least the minimum size and wholly inside one screen.
    static bool fitsOnAScreen(const QRect& geometry, const QSize& minimum, const QList<QRect>& screens);
    // The settings file's path ("" when the platform names no settings folder).
    static QString settingsPath();

    void classBegin() override {}
    void componentComplete() override;

Q_SIGNALS:
    void windowChanged();
    void nameChanged();
    void restoredChanged();

private:
    void restore();
    void scheduleSave();

    QPointer<QWindow> target;
    QString windowName = QStringLiteral("ApplicationWindow");
    QTimer saveTimer;
    bool complete = false;
    bool applied = false;
    bool wasRestored = false;
    bool dirty = false;
};

} // namespace Tessel::Qt
