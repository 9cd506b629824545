#include "app/exe/views/MeterDisplay.h"

#include "speaker/SpeakerComponent.h"
#include "tessel/Component.h"
#include "tessel/qt/ObserverLink.h"

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
    if (view && link)
        view->removeObserver(link.get());
    if (link)
        link->unlink();
    link = nullptr;
    view = nullptr;
}

void MeterDisplay::rebind()
{
    unbind();
    std::string path = speakerPath.toStdString();
    if (path.compare(0, 3, "://") == 0)
    {
        size_t slash = path.find('/', 3);
        path = slash == std::string::npos ? std::string() : path.substr(slash + 1);
    }
    Tessel::Component* found = path.empty() ? nullptr : Tessel::getRootComponent()->lookupChild(path);
    if (auto* speaker = Tessel::classCast<SpeakerComponent>(found))
    {
        view = Tessel::SharedPtr<Tessel::Object>::adopt(speaker->createView("MeterDisplay" + std::to_string(viewIndex)));
        if (view)
        {
            link = Tessel::SharedPtr<Tessel::Qt::ObserverLink>::adopt(
                new Tessel::Qt::ObserverLink([this](Tessel::ISubject*, const Tessel::Message& msg) {
                    if (msg.is(Tessel::Messages::kChanged))
                        Q_EMIT changed();
                }));
            view->addObserver(link.get());
        }
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
