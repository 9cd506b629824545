#include "app/exe/views/MeterDisplay.h"

#include <QGuiApplication>
#include <QScreen>

#include <cmath>

namespace Vellaris
{

namespace
{
// The screen's frame in ms (60 Hz when the screen does not say).
int framePeriodMs()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    const double rate = screen ? screen->refreshRate() : 0.0;
    return int(std::lround(1000.0 / (rate >= 10.0 && rate <= 500.0 ? rate : 60.0)));
}
} // namespace

MeterDisplay::MeterDisplay(QObject* parent) : QObject(parent)
{
    frame.setSingleShot(true);
    frame.setTimerType(::Qt::PreciseTimer);
    frame.setInterval(framePeriodMs());
    connect(&frame, &QTimer::timeout, this, &MeterDisplay::frameEnded);
}

void MeterDisplay::meterMoved()
{
    if (frame.isActive())
    {
        movedInFrame = true;
        return;
    }
    Q_EMIT changed();
    frame.start();
}

void MeterDisplay::frameEnded()
{
    if (!movedInFrame)
        return;
    movedInFrame = false;
    Q_EMIT changed();
    frame.start();
}

MeterDisplay::~MeterDisplay()
{
    unbind();
}

void MeterDisplay::setSpeaker(const QString& path)
{
    if (path == speakerPath)
        return;
    speakerPath = path;
    rebind();
}

void MeterDisplay::setIndex(int index)
{
    if (index == viewIndex)
        return;
    viewIndex = index;
    rebind();
}

void MeterDisplay::unbind()
{
    link.clear();
}

void MeterDisplay::rebind()
{
    link.bind(speakerPath.toStdString(), "MeterDisplay" + std::to_string(viewIndex),
              [this](const Tessel::Message& msg)
              {
                  if (msg.is(Tessel::Messages::kChanged))
                      meterMoved();
              });
    Q_EMIT bindingChanged();
    Q_EMIT changed();
}

double MeterDisplay::read(const char* name) const
{
    return link.read(name).asDouble();
}

} // namespace Vellaris
