#include "tessel_qt/WindowGeometry.h"

#include <QGuiApplication>
#include <QJsonDocument>
#include <QJsonObject>
#include <QScreen>

#include <algorithm>
#include <string>

#include "tessel/IFileSystem.h"
#include "tessel/ISystem.h"
#include "tessel/Platform.h"

namespace Tessel::Qt
{

namespace
{
QJsonObject readSettings(const QString& path)
{
    std::string bytes;
    if (path.isEmpty() || !GetFileSystem()->readFile(path.toStdString(), bytes))
        return {};
    const QJsonDocument document = QJsonDocument::fromJson(QByteArray::fromStdString(bytes));
    return document.isObject() ? document.object() : QJsonObject();
}
} // namespace

WindowGeometry::WindowGeometry(QObject* parent) : QObject(parent)
{
    saveTimer.setSingleShot(true);
    saveTimer.setInterval(kSaveDelayMs);
    connect(&saveTimer, &QTimer::timeout, this, [this] { save(); });
}

WindowGeometry::~WindowGeometry()
{
    if (dirty)
        save();
}

void WindowGeometry::setWindow(QWindow* window)
{
    if (window == target)
        return;
    if (target)
        disconnect(target, nullptr, this, nullptr);
    target = window;
    applied = false;
    if (target)
    {
        for (auto signal :
             {&QWindow::xChanged, &QWindow::yChanged, &QWindow::widthChanged, &QWindow::heightChanged})
            connect(target, signal, this, &WindowGeometry::scheduleSave);
        // A closing window may go before the timer fires.
        connect(target, &QWindow::visibleChanged, this,
                [this](bool visible)
                {
                    if (!visible && dirty)
                        save();
                });
    }
    if (complete)
        restore();
    Q_EMIT windowChanged();
}

void WindowGeometry::setName(const QString& name)
{
    if (name == windowName)
        return;
    windowName = name;
    Q_EMIT nameChanged();
}

void WindowGeometry::componentComplete()
{
    complete = true;
    restore();
}

bool WindowGeometry::fitsOnAScreen(const QRect& geometry, const QSize& minimum, const QList<QRect>& screens)
{
    if (!geometry.isValid() || geometry.width() < minimum.width() || geometry.height() < minimum.height())
        return false;
    for (const QRect& screen : screens)
        if (screen.contains(geometry))
            return true;
    return false;
}

QString WindowGeometry::settingsPath()
{
    const std::string folder = GetSystem()->getLocation(Location::kSettings);
    return folder.empty() ? QString()
                          : QString::fromStdString(folder) + QLatin1Char('/') + QLatin1String(kFileName);
}

void WindowGeometry::restore()
{
    if (!target || applied)
        return;
    applied = true;
    const QJsonObject stored =
        readSettings(settingsPath()).value(QStringLiteral("windows")).toObject().value(windowName).toObject();
    const QRect geometry(stored.value(QStringLiteral("x")).toInt(), stored.value(QStringLiteral("y")).toInt(),
                         stored.value(QStringLiteral("width")).toInt(-1),
                         stored.value(QStringLiteral("height")).toInt(-1));
    QList<QRect> screens;
    for (QScreen* screen : QGuiApplication::screens())
        screens.append(screen->geometry());
    const bool fits = fitsOnAScreen(geometry, target->minimumSize(), screens);
    if (fits)
        target->setGeometry(geometry);
    else if (QScreen* primary = QGuiApplication::primaryScreen())
    {
        // The skin's size, centred where it fits; a screen smaller than the window keeps its corner.
        QRect centred(QPoint(), target->size());
        centred.moveCenter(primary->availableGeometry().center());
        const QPoint corner = primary->availableGeometry().topLeft();
        target->setPosition(std::max(centred.x(), corner.x()), std::max(centred.y(), corner.y()));
    }
    dirty = false;
    if (fits != wasRestored)
    {
        wasRestored = fits;
        Q_EMIT restoredChanged();
    }
}

void WindowGeometry::scheduleSave()
{
    if (!applied)
        return;
    dirty = true;
    saveTimer.start();
}

bool WindowGeometry::save()
{
    saveTimer.stop();
    const QString path = settingsPath();
    if (!target || path.isEmpty())
        return false;
    dirty = false;
    QJsonObject settings = readSettings(path);
    QJsonObject windows = settings.value(QStringLiteral("windows")).toObject();
    const QRect geometry = target->geometry();
    windows.insert(windowName, QJsonObject{{QStringLiteral("x"), geometry.x()},
                                           {QStringLiteral("y"), geometry.y()},
                                           {QStringLiteral("width"), geometry.width()},
                                           {QStringLiteral("height"), geometry.height()}});
    settings.insert(QStringLiteral("windows"), windows);
    const std::string folder = GetSystem()->getLocation(Location::kSettings);
    GetFileSystem()->createFolder(folder);
    const QByteArray bytes = QJsonDocument(settings).toJson(QJsonDocument::Indented);
    const bool written = GetFileSystem()->writeFile(
        path.toStdString(), std::string_view(bytes.constData(), size_t(bytes.size())));
    if (!written)
        qWarning("roomdesk: the window's size and position could not be written to %s", qPrintable(path));
    return written;
}

} // namespace Tessel::Qt
