#pragma once

#include <array>

#include "mirror/RemoteComponent.h"

namespace Filtra
{
class ResponseGrid;
}

namespace Vellaris
{

// The 31-band graphic equaliser ("geq"; also the room's master graphic equaliser): band gains
// "gain1" … "gain31" at parameter indexes 0 … 30, then "on", "ston" (stereo) and "mem_ab".
// Every parameter carries the view hint flag (0x1000) from the moment it is added. Signals
// "bandsChanged" when a band gain changes (not for the switches). GUI thread only.
class GEQComponent : public LK::RemoteComponent
{
    TESSEL_DECLARE_CLASS(GEQComponent)
public:
    static constexpr int kBands = 31;
    static constexpr const char* kBandsChanged = "bandsChanged";
    // Q of a third-octave band.
    static constexpr float kBandQ = 4.318f;

    GEQComponent();

    // The centre frequency of band `index` (0 … 30: 20 Hz … 20 kHz in third octaves), in Hz.
    static float getBandFrequency(int index);
    // The band's label as the fader bank shows it ("20", "31.5", "1k", "12.5k", "20k").
    static const char* getBandLabel(int index);

    // The gain of band `index` in dB (0 when the band is missing).
    float getBandGain(int index) const;
    // Whether the equaliser is switched on.
    bool isOn() const;
    // Fills out[0 … grid.getCount()) with the equaliser's overall response in dB, the sum of its
    // bands' curves (whether or not it is switched on). Allocates nothing.
    void getResponse(const Filtra::ResponseGrid& grid, float* out) const;

    // Views: "GEQDisplay" gives a new response view (GeqResponseView, answering
    // IResponseView); other names go to the base.
    Tessel::Object* createView(const std::string& viewName, const Tessel::Attributes& arguments) override;
    using Component::createView;

    // Sets the view hint on the parameter as it is added.
    Tessel::IParameter* addParameter(const ParamDescription& description) override;
    // Sets the view hint on every parameter, then initialises as the base does.
    bool initialize(Tessel::IUnknown* context = nullptr) override;
    void notify(Tessel::ISubject* subject, const Tessel::Message& msg) override;

protected:
    ~GEQComponent() override;

private:
    void markParameters();
};

} // namespace Vellaris
