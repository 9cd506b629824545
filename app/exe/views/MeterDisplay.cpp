#include "app/exe/views/MeterDisplay.h"

namespace Vellaris
{

MeterDisplay::MeterDisplay(QObject* parent) : QObject(parent) {}

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
                      Q_EMIT changed();
              });
    Q_EMIT bindingChanged();
    Q_EMIT changed();
}

double MeterDisplay::read(const char* name) const
{
    return link.read(name).asDouble();
}

} // namespace Vellaris
