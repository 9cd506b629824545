#include "speaker/EqCurveView.h"

#include "speaker/EQComponent.h"
#include "tessel/IParameter.h"

namespace Filtra
{

EqCurveView::Kind EqCurveView::kindFromName(const std::string& viewName)
{
    if (viewName == "CurveDisplay")
        return Kind::kDisplay;
    if (viewName == "CurveMicroDisplay")
        return Kind::kMicro;
    if (viewName == "CurveSelectDisplay")
        return Kind::kSelect;
    return Kind::kNone;
}

void* EqCurveView::queryInterface(const Tessel::UID& iid)
{
    TESSEL_QUERY_INTERFACE(IEqualiserView)
    return Object::queryInterface(iid);
}

EqCurveView::EqCurveView(EQComponent* equaliser, Kind kind) : equaliser(equaliser), kind(kind)
{
    if (!equaliser)
        return;
    equaliser->addObserver(this);
    std::vector<Tessel::IParameter*> found;
    equaliser->collectSwitches(found);
    for (Tessel::IParameter* param : found)
        if (Tessel::ISubject* subject = Tessel::unknownCast<Tessel::ISubject>(param))
        {
            subject->addObserver(this);
            switches.emplace_back(param);
        }
}

EqCurveView::~EqCurveView()
{
    for (const auto& param : switches)
        if (Tessel::ISubject* subject = Tessel::unknownCast<Tessel::ISubject>(param.get()))
            subject->removeObserver(this);
    if (equaliser)
        equaliser->removeObserver(this);
}

void EqCurveView::notify(Tessel::ISubject* subject, const Tessel::Message& msg)
{
    if (msg.is(EQComponent::kBandChanged) || msg.is(EQComponent::kCurrentChanged))
        signal(Tessel::Message(Tessel::Messages::kChanged, {Tessel::Variant(msg.getID())}));
    else if (msg.is(Tessel::Messages::kChanged))
        signal(Tessel::Message(Tessel::Messages::kChanged, {Tessel::Variant("switch")}));
}

} // namespace Filtra
