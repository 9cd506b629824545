#include "speaker/GeqResponseView.h"

#include "speaker/GEQComponent.h"
#include "tessel/IParameter.h"

namespace Vellaris
{

GeqResponseView::GeqResponseView(GEQComponent* geq) : geq(geq)
{
    if (!geq)
        return;
    geq->addObserver(this);
    onSwitch = Tessel::SharedPtr<Tessel::IParameter>(geq->findParameter("on"));
    if (Tessel::ISubject* subject = Tessel::unknownCast<Tessel::ISubject>(onSwitch.get()))
        subject->addObserver(this);
}

GeqResponseView::~GeqResponseView()
{
    if (Tessel::ISubject* subject = Tessel::unknownCast<Tessel::ISubject>(onSwitch.get()))
        subject->removeObserver(this);
    if (geq)
        geq->removeObserver(this);
}

void* GeqResponseView::queryInterface(const Tessel::UID& iid)
{
    TESSEL_QUERY_INTERFACE(IResponseView)
    return Object::queryInterface(iid);
}

bool GeqResponseView::isOn() const
{
    return geq && geq->isOn();
}

void GeqResponseView::getResponse(const Filtra::ResponseGrid& grid, float* out) const
{
    if (geq)
        geq->getResponse(grid, out);
}

void GeqResponseView::notify(Tessel::ISubject* subject, const Tessel::Message& msg)
{
    const bool fromSwitch = onSwitch && subject == Tessel::unknownCast<Tessel::ISubject>(onSwitch.get());
    if (msg.is(GEQComponent::kBandsChanged) || (fromSwitch && msg.is(Tessel::Messages::kChanged)))
        signal(Tessel::Message(Tessel::Messages::kChanged));
}

} // namespace Vellaris
