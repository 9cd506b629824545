#include "speaker/GEQComponent.h"

#include "speaker/GeqResponseView.h"

#include <algorithm>

#include "speaker/eq/BandResponse.h"
#include "tessel/IParameter.h"
#include "tessel/ISubject.h"

namespace Vellaris
{

TESSEL_DEFINE_CLASS(GEQComponent, LK::RemoteComponent)

namespace
{
struct ThirdOctave
{
    float freq;
    const char* label;
};
constexpr ThirdOctave kThirdOctaves[GEQComponent::kBands] = {
    {20, "20"},      {25, "25"},     {31.5f, "31.5"}, {40, "40"},     {50, "50"},       {63, "63"},
    {80, "80"},      {100, "100"},   {125, "125"},    {160, "160"},   {200, "200"},     {250, "250"},
    {315, "315"},    {400, "400"},   {500, "500"},    {630, "630"},   {800, "800"},     {1000, "1k"},
    {1250, "1.25k"}, {1600, "1.6k"}, {2000, "2k"},    {2500, "2.5k"}, {3150, "3.15k"},  {4000, "4k"},
    {5000, "5k"},    {6300, "6.3k"}, {8000, "8k"},    {10000, "10k"}, {12500, "12.5k"}, {16000, "16k"},
    {20000, "20k"},
};
} // namespace

GEQComponent::GEQComponent() = default;

GEQComponent::~GEQComponent()
{
    for (int i = 0; i < countParameters(); ++i)
        if (Tessel::ISubject* subject = Tessel::unknownCast<Tessel::ISubject>(getParameterAt(i)))
            subject->removeObserver(this);
}

float GEQComponent::getBandFrequency(int index)
{
    return index >= 0 && index < kBands ? kThirdOctaves[index].freq : 0.0f;
}

const char* GEQComponent::getBandLabel(int index)
{
    return index >= 0 && index < kBands ? kThirdOctaves[index].label : "";
}

float GEQComponent::getBandGain(int index) const
{
    Tessel::IParameter* param = index >= 0 && index < kBands ? getParameterAt(index) : nullptr;
    return param ? float(param->getValue().asDouble()) : 0.0f;
}

bool GEQComponent::isOn() const
{
    Tessel::IParameter* on = findParameter("on");
    return on && on->getValue().asDouble() != 0;
}

void GEQComponent::getResponse(const Filtra::ResponseGrid& grid, float* out) const
{
    std::fill(out, out + grid.getCount(), 0.0f);
    for (int band = 0; band < kBands && band < countParameters(); ++band)
    {
        const float gain = getBandGain(band);
        if (gain == 0.0f)
            continue; // a flat band adds nothing
        Filtra::accumulateResponse(
            Filtra::designBiquad(Filtra::FilterKind::kPeaking, getBandFrequency(band), gain, kBandQ), 1, grid,
            out);
    }
}

void GEQComponent::markParameters()
{
    for (int i = 0; i < countParameters(); ++i)
        getParameterAt(i)->setFlag(Tessel::ParamFlags::kViewHint, true);
}

Tessel::IParameter* GEQComponent::addParameter(const ParamDescription& description)
{
    Tessel::IParameter* param = RemoteComponent::addParameter(description);
    if (!param)
        return nullptr;
    param->setFlag(Tessel::ParamFlags::kViewHint, true);
    if (Tessel::ISubject* subject = Tessel::unknownCast<Tessel::ISubject>(param))
        subject->addObserver(this);
    return param;
}

Tessel::Object* GEQComponent::createView(const std::string& viewName, const Tessel::Attributes& arguments)
{
    if (viewName == "GEQDisplay")
        return new GeqResponseView(this);
    return RemoteComponent::createView(viewName, arguments);
}

bool GEQComponent::initialize(Tessel::IUnknown* context)
{
    markParameters();
    return RemoteComponent::initialize(context);
}

void GEQComponent::notify(Tessel::ISubject* subject, const Tessel::Message& msg)
{
    if (!msg.is(Tessel::Messages::kChanged))
        return RemoteComponent::notify(subject, msg);
    const int index = getParams().indexOf(Tessel::unknownCast<Tessel::IParameter>(subject));
    if (index >= 0 && index < kBands)
        signal(Tessel::Message(kBandsChanged));
}

} // namespace Vellaris
