#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "mirror/RemoteComponent.h"
#include "speaker/SpeakerModels.h"
#include "speaker/meter/LevelMeter.h"
#include "speaker/meter/MeterIdleBallistics.h"
#include "speaker/meter/MeterView.h"
#include "speaker/meter/ReductionView.h"
#include "tessel/CommandDispatcher.h"
#include "tessel/IdleClient.h"
#include "tessel/MenuParam.h"
#include "tessel/SharedPtr.h"

namespace lknet
{
struct Packet;
}

namespace Vellaris
{

// The application's object for one speaker: the mirror of the speaker's tree built from the
// model's "Speaker" template, plus what the interface needs on top of it.
//
// Local parameters: "selected" (alias of "wink"), "temperature" (alias of "temperature_f"),
// "elastic" (an unclamped shadow of the input volume for group moves), "solo" (public, storable),
// "thermalstate" (0, 0.5 or 1 from temperature_c), "id"; command parameters "volumeUp",
// "volumeDown", "volumeUnity", "delayUp", "delayDown", "threshUp", "threshDown" for the commands
// of category "Speaker". Properties "anyWifiVisible", "isSubWoofer", "isCorra" (a "propertyChanged"
// is signalled when what they depend on changes). Views "MeterDisplay0" … "MeterDisplay4" and the
// outputs' gain reduction "ReductionDisplay1" … "ReductionDisplay4" (createView). A missing part of the tree
// leaves the features that need it inert. GUI thread only.
class SpeakerComponent : public LK::RemoteComponent, public Tessel::CommandDispatcher<SpeakerComponent>
{
    TESSEL_DECLARE_CLASS(SpeakerComponent)
    TESSEL_DECLARE_COMMANDS(SpeakerComponent)
public:
    static constexpr int kMeterViews = 5;
    static constexpr int kOutputs = 4;
    // Step sizes of the step commands.
    static constexpr double kVolumeStep = 0.2; // dB
    static constexpr double kDelayStep = 0.1;
    static constexpr double kThresholdStep = 0.5; // dB

    // Builds the tree from the process-wide builder's "Speaker" template (nothing is built when
    // the model is not loaded) and adds the local parameters.
    SpeakerComponent();

    // Answers "Speaker" as its kind as well as the base's kinds.
    bool isKindOfType(const std::string& kind) const;
    bool acceptsCommandCategory(const std::string& category) const override;

    // Step commands (category "Speaker"); a check-only command answers true and changes nothing.
    bool onIncreaseVolume(const Tessel::CommandMsg& msg);
    bool onDecreaseVolume(const Tessel::CommandMsg& msg);
    bool onVolumeUnity(const Tessel::CommandMsg& msg);
    bool onIncreaseDelay(const Tessel::CommandMsg& msg);
    bool onDecreaseDelay(const Tessel::CommandMsg& msg);
    bool onIncreaseThreshold(const Tessel::CommandMsg& msg);
    bool onDecreaseThreshold(const Tessel::CommandMsg& msg);
    // "Edit" commands through the speaker clipboard (SpeakerClipboardItem): "Copy" puts this
    // speaker's settings there, "Paste" (enabled while the clipboard holds settings) takes them.
    bool onCopy(const Tessel::CommandMsg& msg);
    bool onPaste(const Tessel::CommandMsg& msg);
    // The entries the component adds to its context menu: "Copy" and "Paste" of category "Edit".
    static std::vector<Tessel::MenuParam::Item> getContextMenuItems();
    // The value one step up or down from `value`: snapped to the nearest multiple of `step` first.
    static double stepValue(double value, double step, bool up);

    // Properties.
    bool anyWifiVisible() const;
    bool isSubWoofer() const;
    bool isCorra() const;
    bool getProperty(const std::string& propertyName, Tessel::Variant& value) const override;

    // Meters. A meter packet ("MB"/"MS") from the client root; each value goes to its ballistics
    // with the current ticks as time stamp.
    void handleMeterPacket(const lknet::Packet* packet);
    // One meter value `value` (0..1) of group `meterId` at index `index` within the group.
    void handleMeterValue(uint32_t kind, int meterId, int index, float value, int64_t now);
    // The meter view of `index` (0 input, 1..4 outputs), made with its meter engine on the first
    // request; nullptr for other indexes. Borrowed: the component keeps it.
    Filtra::MeterView* getMeterView(int index);
    // A view by name: "MeterDisplay0" … "MeterDisplay4" give the meter views (a new reference for
    // the caller; properties "level", "peak", "levelDb", "peakDb"), "ReductionDisplay1" …
    // "ReductionDisplay4" the gain reduction of outputs 1 to 4 (ReductionView); other names go to
    // the base.
    Tessel::Object* createView(const std::string& viewName, const Tessel::Attributes& arguments) override;
    using Component::createView;
    Filtra::MeterIdleBallistics& getPeakReduction(int output) { return peakReduction[size_t(output)]; }
    Filtra::MeterIdleBallistics& getRmsReduction(int output) { return rmsReduction[size_t(output)]; }
    Filtra::MeterIdleBallistics& getViewBallistics(int index) { return viewBallistics[size_t(index)]; }

    // Stored state: call after the component's values were restored; remembers the contour value
    // for the subwoofer rule.
    void restoreFinished();
    // The composite equaliser child ("compeq"), or nullptr. It shows the line channel's "eq" and
    // "notch", in that order.
    Tessel::Component* getCompositeEq() const;

    // The idle tick: advances the ballistics and meter engines, then the children.
    void idleTick() override;
    // The meters' own idle task: it is on the platform's idle list from the first meter value
    // until every meter is back at rest (nothing decays, no peak is held), and the meters move
    // only while it is. A speaker whose meters rest costs no idle turn.
    bool isMeterTaskRunning() const { return meterTask.isRegistered(); }
    // Local parameters' changes ("elastic", "solo"), then forwarded as for every remote component.
    void paramChanged(Tessel::IParameter* param) override;
    // "changed" of the watched parameters (volume, temperature_c, model, networklist, ...).
    void notify(Tessel::ISubject* subject, const Tessel::Message& msg) override;

    // The watched parameters (nullptr when the tree lacks them).
    Tessel::IParameter* getVolume() const { return volume.get(); }
    Tessel::IParameter* getDelay() const { return delay.get(); }
    Tessel::IParameter* getThreshold() const { return threshold.get(); }

protected:
    ~SpeakerComponent() override;

private:
    void build();
    void addLocalParameters();
    void takeChannelParameters();
    void bindOutputMeters();
    void connectCompositeEq();
    void watch(Tessel::IParameter* param);
    void unwatchAll();
    bool step(Tessel::IParameter* param, double size, bool up, const Tessel::CommandMsg& msg);
    void volumeChanged();
    void elasticChanged();
    void temperatureChanged();
    void modelChanged();
    void soloChanged();
    // One step of every meter's ballistics and engine at `now`; true when all of them are at rest.
    bool stepMeters(int64_t now);
    void onMeterTask();

    using ParamRef = Tessel::SharedPtr<Tessel::IParameter>;
    ParamRef volume, volumeEnable, mute, delay, delayEnable, meter, threshold;
    ParamRef elastic, solo, thermalState, temperatureC, networkList, currentSsid, model, contour;
    ParamRef remoteLimOn, optionCard, comments;
    std::vector<ParamRef> watched;
    bool suppress = false;
    double lastVolume = 0;
    double storedContour = 0;
    bool hasStoredContour = false;
    std::string lastModel;
    std::array<Filtra::MeterIdleBallistics, kOutputs> peakReduction;
    std::array<Filtra::MeterIdleBallistics, kOutputs> rmsReduction;
    std::array<Filtra::MeterIdleBallistics, kMeterViews> viewBallistics;
    std::array<Tessel::SharedPtr<Filtra::LevelMeter>, kMeterViews> meterEngines;
    std::array<Tessel::SharedPtr<Filtra::MeterView>, kMeterViews> meterViews;
    std::array<Tessel::SharedPtr<Filtra::ReductionView>, kOutputs> reductionViews;
    Tessel::IdleClient meterTask; // last: it goes first, before what it steps
};

} // namespace Vellaris
