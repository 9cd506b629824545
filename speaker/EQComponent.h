#pragma once

#include <string>
#include <vector>

#include "mirror/RemoteComponent.h"
#include "speaker/IEqEditor.h"
#include "speaker/eq/BandResponse.h"
#include "tessel/Attributes.h"
#include "tessel/SharedPtr.h"

namespace Tessel
{
class AliasParam;
class IParameter;
class Parameter;
} // namespace Tessel

namespace Filtra
{

// The parameters of one band; any of them may be missing.
struct EqBand
{
    Tessel::SharedPtr<Tessel::IParameter> type, gain, q, freq, active;

    // Whether `param` is one of the five.
    bool holds(const Tessel::IParameter* param) const;
};

// An equaliser over a flat list of mirrored parameters. Its band layout comes as class data (JSON):
//     {"numBands": 8, "bands": [{"type": …, "gain": …, "q": …, "freq": …, "active": …}, …],
//      "biquads": ["LowCut", …], "defaults": {"type": "Peaking", "q": 24, "freq": …, "gain": …},
//      "displayRange": {"minFreq": …, "maxFreq": …, "minLevel": …, "maxLevel": …},
//      "active": "eqallon"}
// Band parameters are named by id and looked up among the component's own parameters; a name that
// is not there leaves that parameter out (reads take the defaults, writes do nothing).
//
// Offers the editor interface (IEqEditor) and makes the curve views by name (createView).
// Once the class data is read it has the local parameters "currentBand" (integer 0 … bands − 1)
// and the aliases "selectedType", "selectedFreq", "selectedGain", "selectedQ", which follow the
// selected band. Signals "eqBandChanged" (argument: band index) when a band parameter changes and
// "eqCurrentChanged" when the selected band changes. Registered as "EQComponent". GUI thread only.
class EQComponent : public Vellaris::LK::RemoteComponent, public IEqEditor
{
    TESSEL_DECLARE_CLASS(EQComponent)
public:
    static constexpr const char* kBandChanged = "eqBandChanged";
    static constexpr const char* kCurrentChanged = "eqCurrentChanged";

    EQComponent();

    // Answers IEqEditor as well as the base's interfaces.
    void* queryInterface(const Tessel::UID& iid) override;
    int retain() override { return Component::retain(); }
    int release() override { return Component::release(); }

    // Reads the band layout (see above) and adds the local parameters on the first call.
    void setClassData(const Tessel::Attributes& data) override;
    // The class data received last (empty before any).
    const Tessel::Attributes& getClassData() const { return classData; }

    // IEqEditor.
    int32_t getType(int band) const override;
    float getFreq(int band) const override;
    float getQ(int band) const override;
    float getGain(int band) const override;
    bool isActive(int band) const override;
    int getCurrentBand() const override { return currentBand; }
    bool getBandCurve(float* out, int band, int count) const override;
    void setType(int band, int32_t kind) override;
    void setFreq(int band, float freq) override;
    void setQ(int band, float q) override;
    void setGain(int band, float gain) override;
    void setActive(int band, bool on) override;
    void editBand(int band, bool begin) override;
    void reserved(int, int) override {}
    void setCurrentBand(int band) override;
    int getNumBands() const override;
    DisplayRange getDisplayRange() const override { return range; }
    int getEditorConstant() const override { return 0; }

    // Views: "CurveDisplay", "CurveMicroDisplay" and "CurveSelectDisplay" give a new curve view of
    // this equaliser (EqCurveView, answering IEqualiserView); other names go to the base.
    Tessel::Object* createView(const std::string& viewName, const Tessel::Attributes& arguments) override;
    using Component::createView;

    // Beyond the editor interface.

    // Whether the all-bands switch is on (true when the layout names none).
    virtual bool isEqualiserOn() const;
    // Fills out[0 … count) with the summed response in dB: the sum of the curves of every band
    // that is on, or 0 everywhere while the all-bands switch is off. False for count ≤ 0.
    virtual bool getSummedCurve(float* out, int count) const;
    // Adds the curves of this equaliser's own bands that are on to out[0 … onGrid.getCount())
    // (nothing while its all-bands switch is off). Allocates nothing.
    void accumulateActiveBands(const ResponseGrid& onGrid, float* out) const;
    // The all-bands switches whose changes move the summed curve (borrowed).
    virtual void collectSwitches(std::vector<Tessel::IParameter*>& switches) const;
    // Returns gain, frequency and Q of the band to their parameters' defaults (same rules as the
    // other writes).
    void resetBand(int band);
    // The band's parameters (borrowed), or nullptr for an index out of range.
    const EqBand* getBand(int band) const;
    // The first band that holds `param`, or −1.
    int findBandOf(const Tessel::IParameter* param) const;
    Tessel::IParameter* getAllBandsSwitch() const { return active.get(); }
    int32_t getDefaultType() const { return defaultType; }
    float getDefaultQ() const { return defaultQ; }
    float getDefaultFreq() const { return defaultFreq; }
    float getDefaultGain() const { return defaultGain; }
    // The filter kinds the type parameter's entries stand for, in entry order.
    const std::vector<int32_t>& getFilterKinds() const { return filterKinds; }

    // Observed band parameters and the current-band parameter: a change of "currentBand" (from a
    // view, say) selects that band.
    void notify(Tessel::ISubject* subject, const Tessel::Message& msg) override;

protected:
    ~EQComponent() override;

    // Where composite band `band` lives: the equaliser holding its parameters and defaults, and
    // its index there. The base answers itself for 0 … bands − 1.
    virtual bool resolveBand(int band, const EQComponent*& owner, int& local) const;
    // The grid of `count` points on the display range (made on first use of that count).
    const ResponseGrid& gridFor(int count) const;
    void signalBandChanged(int band);

private:
    static bool writable(Tessel::IParameter* param);
    void readClassData(const Tessel::Attributes& data);
    void addLocalParameters();
    void observe(Tessel::IParameter* param);
    void unobserveAll();
    void pointAliases();
    // The band's owner-side record, or nullptr (out of range).
    const EqBand* resolveRecord(int band, const EQComponent*& owner) const;

    Tessel::Attributes classData;
    int numBands = 8;
    std::vector<EqBand> bands;
    std::vector<int32_t> filterKinds;
    int32_t defaultType = 8;
    float defaultQ = 0.7f;
    float defaultFreq = 20.0f;
    float defaultGain = 0.0f;
    DisplayRange range;
    Tessel::SharedPtr<Tessel::IParameter> active;
    int currentBand = -1;
    Tessel::Parameter* currentBandParam = nullptr; // owned by the parameter list
    Tessel::AliasParam* selectedType = nullptr;
    Tessel::AliasParam* selectedFreq = nullptr;
    Tessel::AliasParam* selectedGain = nullptr;
    Tessel::AliasParam* selectedQ = nullptr;
    bool writingCurrent = false;
    std::vector<Tessel::SharedPtr<Tessel::IParameter>> observed;
    mutable ResponseGrid grid;
};

} // namespace Filtra
