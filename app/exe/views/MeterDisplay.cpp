#include "app/exe/views/MeterDisplay.h"

#include "speaker/SpeakerComponent.h"
#include "tessel/Component.h"
#include "tessel/qt/SkinAddress.h"

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
    view = nullptr;
}

void MeterDisplay::rebind()
{
    unbind();
    Tessel::Component* found = Tessel::Qt::resolveSkinComponent(speakerPath.toStdString());
    if (auto* speaker = Tessel::classCast<SpeakerComponent>(found))
    {
        view = Tessel::SharedPtr<Tessel::Object>::adopt(
            speaker->createView("MeterDisplay" + std::to_string(viewIndex)));
        link.watch(view.get(),
                   [this](const Tessel::Message& msg)
                   {
                       if (msg.is(Tessel::Messages::kChanged))
                           Q_EMIT changed();
                   });
    }
    Q_EMIT bindingChanged();
    Q_EMIT changed();
}

double MeterDisplay::read(const char* name) const
{
    Tessel::Variant value;
    if (view && view->getProperty(name, value))
        return value.asDouble();
    return 0.0;
}

} // namespace Vellaris
