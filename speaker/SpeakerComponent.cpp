#include "speaker/SpeakerComponent.h"

#include <cmath>
#include <cstdio>
#include <cstring>

#include "model/UniversalComponentBuilder.h"
#include "protocol/PacketRecords.h"
#include "speaker/EqCompositeComponent.h"
#include "speaker/SpeakerClipboardItem.h"
#include "speaker/SpeakerContextMenu.h"
#include "speaker/TarnEqComponent.h"
#include "speaker/VenueSide.h"
#include "tessel/AliasParam.h"
#include "tessel/ClassFactory.h"
#include "tessel/Platform.h"
#include "tessel/UndoHistory.h"

namespace Vellaris
{

TESSEL_DEFINE_CLASS(SpeakerComponent, LK::RemoteComponent)

TESSEL_BEGIN_COMMANDS(SpeakerComponent)
TESSEL_COMMAND("Speaker", "Increase Volume", SpeakerComponent::onIncreaseVolume)
TESSEL_COMMAND("Speaker", "Decrease Volume", SpeakerComponent::onDecreaseVolume)
TESSEL_COMMAND("Speaker", "Volume Unity", SpeakerComponent::onVolumeUnity)
TESSEL_COMMAND("Speaker", "Increase Delay", SpeakerComponent::onIncreaseDelay)
TESSEL_COMMAND("Speaker", "Decrease Delay", SpeakerComponent::onDecreaseDelay)
TESSEL_COMMAND("Speaker", "Increase Threshold", SpeakerComponent::onIncreaseThreshold)
TESSEL_COMMAND("Speaker", "Decrease Threshold", SpeakerComponent::onDecreaseThreshold)
TESSEL_COMMAND("Edit", "Copy", SpeakerComponent::onCopy)
TESSEL_COMMAND("Edit", "Paste", SpeakerComponent::onPaste)
TESSEL_END_COMMANDS(SpeakerComponent, LK::RemoteComponent)

namespace
{

// Tags of the model's parameters used here.
namespace SpeakerTag
{
constexpr int32_t kWink = 8, kContour = 9, kModel = 16, kComments = 18, kTemperatureF = 20,
                  kTemperatureC = 21, kNetworkList = 24, kCurrentSsid = 25, kRemoteLimOn = 28,
                  kOptionCard = 31;
}
namespace ChannelTag
{
constexpr int32_t kVolume = 1, kVolumeEnable = 2, kMute = 3, kDelay = 4, kDelayEnable = 5, kMeter = 8;
}
constexpr int32_t kThresholdTag = 1;
constexpr int32_t kGrRmsMeterTag = 10, kGrPeakMeterTag = 11;

// Tags of the component's own parameters: 1000 and up, above every tag the model gives a
// parameter of the speaker component, so a lookup by tag finds one parameter.
enum LocalTag : int32_t
{
    kSelectedTag = 1000,
    kTemperatureTag,
    kElasticTag,
    kSoloTag,
    kThermalStateTag,
    kIdTag,
    kFirstCommandTag = 1010,
};

// Gain-reduction meters rest at the top and fall back there in 0.3 s.
constexpr double kReductionDecaySeconds = 0.3;
struct CommandParamRow
{
    const char* command;
    const char* param;
};
constexpr CommandParamRow kCommandParams[] = {
    {"Increase Volume", "volumeUp"},      {"Decrease Volume", "volumeDown"},
    {"Volume Unity", "volumeUnity"},      {"Increase Delay", "delayUp"},
    {"Decrease Delay", "delayDown"},      {"Increase Threshold", "threshUp"},
    {"Decrease Threshold", "threshDown"},
};

bool isSubjectOf(Tessel::ISubject* subject, Tessel::IParameter* param)
{
    return param && subject == Tessel::unknownCast<Tessel::ISubject>(param);
}

} // namespace

SpeakerComponent::SpeakerComponent() : meterTask([this] { onMeterTask(); })
{
    setName("Speaker");
    build();
    addExtension(Tessel::AutoPtr<SpeakerContextMenu>(new SpeakerContextMenu).get());
    // The tree is complete: every speaker on the network holds one.
    shrinkToFit();
}

SpeakerComponent::~SpeakerComponent()
{
    unwatchAll();
}

bool SpeakerComponent::isKindOfType(const std::string& kind) const
{
    return kind == "Speaker" || getMetaClass().isKindOf(kind);
}

bool SpeakerComponent::acceptsCommandCategory(const std::string& category) const
{
    return category == "Speaker" || category == "Edit";
}

// --- Construction ---------------------------------------------------------------------------

void SpeakerComponent::build()
{
    Tessel::ClassFactory::registerClass(LK::RemoteComponent::metaClass);
    UniversalComponentBuilder& builder = UniversalComponentBuilder::getGlobal();
    builder.buildTemplate(this, "Speaker", LK::RemoteComponent::metaClass);

    Tessel::ParamContainer& params = getParams();
    params.addAlias(getParameterByTag(SpeakerTag::kWink), "selected", kSelectedTag);
    params.addAlias(getParameterByTag(SpeakerTag::kTemperatureF), "temperature", kTemperatureTag);

    takeChannelParameters();

    const double low = volume ? volume->getMin().asDouble() : 0.0;
    const double high = volume ? volume->getMax().asDouble() : 1.0;
    const double width = high - low;
    elastic = Tessel::retained(params.addFloat(low - width, high + width, "elastic", kElasticTag));
    // Undo brings back the offset a speaker at its limit keeps to the others of its room.
    elastic->setFlag(Tessel::ParamFlags::kUndoable, true);
    if (volume)
    {
        lastVolume = volume->getValue().asDouble();
        elastic->setValue(volume->getValue(), false);
        watch(volume);
    }

    if (Tessel::Component* limiter = lookupChild("line/ch1/limit"))
        threshold = Tessel::retained(limiter->getParameterByTag(kThresholdTag));
    remoteLimOn = Tessel::retained(getParameterByTag(SpeakerTag::kRemoteLimOn));
    optionCard = Tessel::retained(getParameterByTag(SpeakerTag::kOptionCard));
    watch(remoteLimOn);
    watch(optionCard);
    watch(volumeEnable);
    watch(delayEnable);

    bindOutputMeters();
    addLocalParameters();
    builder.buildTemplate(this, "CompositeEQ", LK::RemoteComponent::metaClass);
    connectCompositeEq();

    model = Tessel::retained(getParameterByTag(SpeakerTag::kModel));
    lastModel = model ? model->toString() : std::string();
    watch(model);
}

void SpeakerComponent::takeChannelParameters()
{
    Tessel::Component* channel = lookupChild("line/ch1");
    if (!channel)
        return;
    volume = Tessel::retained(channel->getParameterByTag(ChannelTag::kVolume));
    volumeEnable = Tessel::retained(channel->getParameterByTag(ChannelTag::kVolumeEnable));
    mute = Tessel::retained(channel->getParameterByTag(ChannelTag::kMute));
    delay = Tessel::retained(channel->getParameterByTag(ChannelTag::kDelay));
    delayEnable = Tessel::retained(channel->getParameterByTag(ChannelTag::kDelayEnable));
    meter = Tessel::retained(channel->getParameterByTag(ChannelTag::kMeter));
}

void SpeakerComponent::bindOutputMeters()
{
    for (int i = 0; i < kOutputs; ++i)
    {
        Tessel::Component* output = lookupChild("output/ch" + std::to_string(i + 1));
        if (!output)
            continue;
        peakReduction[size_t(i)].bind(output->getParameterByTag(kGrPeakMeterTag));
        rmsReduction[size_t(i)].bind(output->getParameterByTag(kGrRmsMeterTag));
        for (Filtra::MeterIdleBallistics* ballistics : {&peakReduction[size_t(i)], &rmsReduction[size_t(i)]})
        {
            ballistics->setInverted(true);
            ballistics->setDecayTime(kReductionDecaySeconds);
        }
    }
    // The meter views' ballistics drive parameters of their own, so levels are kept even before
    // a view is made.
    for (int i = 0; i < kMeterViews; ++i)
    {
        Tessel::AutoPtr<Tessel::Parameter> level = Tessel::Parameter::createFloat(0, 1, "level");
        Tessel::AutoPtr<Tessel::Parameter> peak = Tessel::Parameter::createFloat(0, 1, "peak");
        viewBallistics[size_t(i)].bind(level, peak);
    }
}

void SpeakerComponent::addLocalParameters()
{
    Tessel::ParamContainer& params = getParams();
    solo = Tessel::retained(params.addParam("solo", kSoloTag));
    solo->setFlag(Tessel::ParamFlags::kStorable | Tessel::ParamFlags::kPublic, true);
    thermalState = Tessel::retained(params.addFloat(0, 1, "thermalstate", kThermalStateTag));

    temperatureC = Tessel::retained(getParameterByTag(SpeakerTag::kTemperatureC));
    networkList = Tessel::retained(getParameterByTag(SpeakerTag::kNetworkList));
    currentSsid = Tessel::retained(getParameterByTag(SpeakerTag::kCurrentSsid));
    contour = Tessel::retained(getParameterByTag(SpeakerTag::kContour));
    watch(temperatureC);
    watch(networkList);
    watch(currentSsid);
    for (Tessel::IParameter* list : {networkList.get(), currentSsid.get()})
        if (list)
            list->setFlag(Tessel::ParamFlags::kViewHint, true);
    // Comments belong to the speaker in the room, not to presets and copies.
    if (Tessel::IParameter* comments = getParameterByTag(SpeakerTag::kComments))
        comments->setFlag(Tessel::ParamFlags::kStorable, false);
    temperatureChanged();

    int32_t tag = kFirstCommandTag;
    for (const CommandParamRow& row : kCommandParams)
        params.addCommand("Speaker", row.command, row.param, tag++);
    params.addString("id", kIdTag);
}

Tessel::Component* SpeakerComponent::getCompositeEq() const
{
    return findChild("compeq");
}

void SpeakerComponent::connectCompositeEq()
{
    // The composite equaliser shows the line channel's parametric equaliser first and its notch
    // equaliser second.
    auto* composite = Tessel::classCast<EqCompositeComponent>(getCompositeEq());
    auto* eq = Tessel::classCast<TarnEqComponent>(lookupChild("line/ch1/eq"));
    auto* notch = Tessel::classCast<TarnEqComponent>(lookupChild("line/ch1/notch"));
    if (!composite || !eq || !notch)
        return;
    composite->addMember(eq);
    composite->addMember(notch);
}

void SpeakerComponent::watch(Tessel::IParameter* param)
{
    if (!param)
        return;
    if (Tessel::ISubject* subject = Tessel::unknownCast<Tessel::ISubject>(param))
    {
        subject->addObserver(this);
        watched.emplace_back(param);
    }
}

void SpeakerComponent::unwatchAll()
{
    for (ParamRef& param : watched)
        if (Tessel::ISubject* subject = Tessel::unknownCast<Tessel::ISubject>(param.get()))
            subject->removeObserver(this);
    watched.clear();
}

// --- Commands -------------------------------------------------------------------------------

double SpeakerComponent::stepValue(double value, double step, bool up)
{
    // Half steps count as reached (a value of -0.3 with steps of 0.2 snaps to -0.4), whatever
    // rounding the value picked up on its way through the normalised form.
    constexpr double kSlack = 1e-6;
    const double steps = std::floor(std::fabs(value) / step + 0.5 + kSlack);
    const double snapped = (value < 0 ? -steps : steps) * step;
    return up ? snapped + step : snapped - step;
}

bool SpeakerComponent::step(Tessel::IParameter* param, double size, bool up, const Tessel::CommandMsg& msg)
{
    if (msg.checkOnly)
        return true;
    if (!param)
        return false;
    param->setValue(Tessel::Variant(stepValue(param->getValue().asDouble(), size, up)), true);
    return true;
}

bool SpeakerComponent::onIncreaseVolume(const Tessel::CommandMsg& msg)
{
    return step(volume, kVolumeStep, true, msg);
}

bool SpeakerComponent::onDecreaseVolume(const Tessel::CommandMsg& msg)
{
    return step(volume, kVolumeStep, false, msg);
}

bool SpeakerComponent::onVolumeUnity(const Tessel::CommandMsg& msg)
{
    if (msg.checkOnly)
        return true;
    if (!volume)
        return false;
    volume->setValue(Tessel::Variant(0.0), true);
    return true;
}

bool SpeakerComponent::onIncreaseDelay(const Tessel::CommandMsg& msg)
{
    return step(delay, kDelayStep, true, msg);
}

bool SpeakerComponent::onDecreaseDelay(const Tessel::CommandMsg& msg)
{
    return step(delay, kDelayStep, false, msg);
}

bool SpeakerComponent::onIncreaseThreshold(const Tessel::CommandMsg& msg)
{
    return step(threshold, kThresholdStep, true, msg);
}

bool SpeakerComponent::onDecreaseThreshold(const Tessel::CommandMsg& msg)
{
    return step(threshold, kThresholdStep, false, msg);
}

bool SpeakerComponent::onCopy(const Tessel::CommandMsg& msg)
{
    return msg.checkOnly || SpeakerClipboardItem::copy(*this);
}

bool SpeakerComponent::onPaste(const Tessel::CommandMsg& msg)
{
    if (msg.checkOnly)
        return SpeakerClipboardItem::canPaste();
    return SpeakerClipboardItem::paste(*this);
}

std::vector<Tessel::MenuParam::Item> SpeakerComponent::getContextMenuItems()
{
    return {{"Copy", "Edit", "Copy"}, {"Paste", "Edit", "Paste"}};
}

// --- Properties -----------------------------------------------------------------------------

bool SpeakerComponent::anyWifiVisible() const
{
    return networkList && networkList->countEntries() > 0 && !networkList->getEntry(0).empty();
}

bool SpeakerComponent::isSubWoofer() const
{
    return model && model->toString().find(kSubWooferModel) != std::string::npos;
}

bool SpeakerComponent::isCorra() const
{
    return optionCard && optionCard->getValue().asDouble() != 0;
}

bool SpeakerComponent::getProperty(const std::string& propertyName, Tessel::Variant& value) const
{
    if (propertyName == "anyWifiVisible")
        value = anyWifiVisible();
    else if (propertyName == "isSubWoofer")
        value = isSubWoofer();
    else if (propertyName == "isCorra")
        value = isCorra();
    else
        return RemoteComponent::getProperty(propertyName, value);
    return true;
}

// --- Changes --------------------------------------------------------------------------------

void SpeakerComponent::paramChanged(Tessel::IParameter* param)
{
    if (param == elastic.get())
        elasticChanged();
    else if (param == solo.get())
        soloChanged();
    RemoteComponent::paramChanged(param);
}

void SpeakerComponent::notify(Tessel::ISubject* subject, const Tessel::Message& msg)
{
    if (!msg.is(Tessel::Messages::kChanged))
        return RemoteComponent::notify(subject, msg);
    if (isSubjectOf(subject, volume))
        volumeChanged();
    else if (isSubjectOf(subject, temperatureC))
        temperatureChanged();
    else if (isSubjectOf(subject, model))
        modelChanged();
    else if (isSubjectOf(subject, networkList) || isSubjectOf(subject, currentSsid))
        propertyChanged("anyWifiVisible");
    else if (isSubjectOf(subject, optionCard))
        propertyChanged("isCorra");
}

void SpeakerComponent::volumeChanged()
{
    // Views hear "changed" for range and state changes too; only a new value counts.
    const double value = volume->getValue().asDouble();
    if (value == lastVolume)
        return;
    lastVolume = value;
    if (!suppress && elastic)
        elastic->setValue(Tessel::Variant(value), true);
    suppress = false;
}

void SpeakerComponent::elasticChanged()
{
    if (!volume)
        return;
    // The volume clamps the elastic value to its own range; the elastic value keeps the offset.
    suppress = true;
    volume->setValue(elastic->getValue(), true);
    suppress = false;
}

void SpeakerComponent::temperatureChanged()
{
    if (!temperatureC || !thermalState)
        return;
    const double celsius = temperatureC->getValue().asDouble();
    const double level = celsius > 70 ? 2 : celsius > 64 ? 1 : 0;
    thermalState->setValue(Tessel::Variant(0.5 * level), false);
}

void SpeakerComponent::modelChanged()
{
    const std::string text = model->toString();
    if (text == lastModel)
        return;
    lastModel = text;
    propertyChanged("isSubWoofer");
    // Only a contour value that was restored from stored state is written back; a speaker that
    // merely shows up keeps its own.
    if (isSubWoofer() && contour && hasStoredContour)
        contour->setValue(Tessel::Variant(storedContour), true);
}

void SpeakerComponent::soloChanged()
{
    const double value = solo->getValue().asDouble();
    char line[64];
    std::snprintf(line, sizeof(line), "solo val: %.2f\n", value);
    Tessel::DebugPrintCString(line);

    // The active room decides; without a venue side or a room holding this speaker nothing happens.
    // An undo or redo of a solo brings back every mute itself.
    IActiveRoom* room = Tessel::UndoHistory::isReplaying() ? nullptr : findActiveRoom();
    if (room && room->holdsSpeaker(this))
        room->setSolo(this, value != 0);
}

void SpeakerComponent::restoreFinished()
{
    if (!contour)
        return;
    storedContour = contour->getValue().asDouble();
    hasStoredContour = true;
}

} // namespace Vellaris
