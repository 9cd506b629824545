#pragma once

#include "speaker/IEqViews.h"
#include "tessel/Object.h"
#include "tessel/SharedPtr.h"

namespace Tessel
{
class IParameter;
}

namespace Vellaris
{

class GEQComponent;

// The "GEQDisplay" view of a graphic equaliser, as the equaliser makes it: keeps the equaliser
// alive, signals "changed" after a band gain or the on switch changed, and answers IResponseView.
class GeqResponseView : public Tessel::Object, public Filtra::IResponseView
{
public:
    explicit GeqResponseView(GEQComponent* geq);

    void* queryInterface(const Tessel::UID& iid) override;
    int retain() override { return Object::retain(); }
    int release() override { return Object::release(); }

    bool isOn() const override;
    void getResponse(const Filtra::ResponseGrid& grid, float* out) const override;
    void notify(Tessel::ISubject* subject, const Tessel::Message& msg) override;

protected:
    ~GeqResponseView() override;

private:
    Tessel::SharedPtr<GEQComponent> geq;
    Tessel::SharedPtr<Tessel::IParameter> onSwitch;
};

} // namespace Vellaris
