// The speaker component's meters: meter packets into ballistics, the meter views and the idle tick.

#include <algorithm>
#include <cmath>
#include <cstring>

#include "protocol/PacketRecords.h"
#include "speaker/SpeakerComponent.h"
#include "tessel/Platform.h"

namespace Vellaris
{

namespace
{

// Below this linear level a meter shows -144 dB.
constexpr double kSilence = 6.309573444802e-08;
constexpr float kSilenceDb = -144.0f;

const char* const kMeterViewPrefix = "MeterDisplay";
const char* const kReductionViewPrefix = "ReductionDisplay";

// The digit ending `viewName` after `prefix` (one digit only), or -1.
int viewDigit(const std::string& viewName, const char* prefix)
{
    const size_t length = std::strlen(prefix);
    if (viewName.size() != length + 1 || viewName.compare(0, length, prefix) != 0)
        return -1;
    const char digit = viewName[length];
    return digit >= '0' && digit <= '9' ? digit - '0' : -1;
}

} // namespace

// --- Meters ---------------------------------------------------------------------------------

void SpeakerComponent::handleMeterPacket(const lknet::Packet* packet)
{
    if (!LK::packetHolds<LK::MeterPacket>(packet))
        return;
    const auto* meters = reinterpret_cast<const LK::MeterPacket*>(packet);
    const bool shortValues = packet->type == lknet::kPacketMetersShort;
    const int capacity = shortValues ? LK::kMaxShortMeters : LK::kMaxByteMeters;
    const int valueCount = std::min<int>(meters->valueCount, capacity);
    const int groupCount = std::min<int>(meters->groupCount, LK::kMaxMeterGroups);
    const int64_t now = Tessel::GetSystemTicks();
    for (int g = 0; g < groupCount; ++g)
    {
        const LK::MeterGroup& group = meters->groups[g];
        for (int i = 0; i < group.valueCount; ++i)
        {
            const int at = group.firstValue + i;
            if (at >= valueCount)
                break;
            float value;
            if (shortValues)
            {
                uint16_t raw;
                std::memcpy(&raw, meters->values + 2 * at, sizeof(raw));
                value = float(raw) / 65535.0f;
            }
            else
                value = float(meters->values[at]) / 255.0f;
            handleMeterValue(meters->kind, group.meterId, i, value, now);
        }
    }
}

void SpeakerComponent::handleMeterValue(uint32_t kind, int meterId, int index, float value, int64_t now)
{
    const float decibels = value < kSilence ? kSilenceDb : float(20.0 * std::log10(double(value)));
    if (kind == LK::kMeterKindGainReduction)
    {
        if (index < 0 || index >= kOutputs)
            return;
        Filtra::MeterIdleBallistics* ballistics = meterId == 4   ? &peakReduction[size_t(index)]
                                                  : meterId == 0 ? &rmsReduction[size_t(index)]
                                                                 : nullptr;
        if (!ballistics || !ballistics->isBound())
            return;
        Tessel::IParameter* display = ballistics->getDisplay();
        const double min = display->getMin().asDouble();
        const double max = display->getMax().asDouble();
        if (max == min)
            return;
        ballistics->push(float((decibels - min) / (max - min)), now);
        if (!meterTask.isRegistered())
            meterTask.start(0, true);
        return;
    }
    const int view = meterId == 4 ? index + 1 : index;
    if (view < 0 || view >= kMeterViews)
        return;
    const float level = meterEngines[size_t(view)] ? meterEngines[size_t(view)]->toPosition(decibels) : value;
    viewBallistics[size_t(view)].push(level, now);
    if (!meterTask.isRegistered() && meterViews[size_t(view)])
        meterTask.start(0, true);
}

Filtra::MeterView* SpeakerComponent::getMeterView(int index)
{
    if (index < 0 || index >= kMeterViews)
        return nullptr;
    const size_t at = size_t(index);
    if (!meterViews[at])
    {
        meterEngines[at] = Tessel::adopt(new Filtra::LevelMeter);
        meterEngines[at]->attach(viewBallistics[at].getDisplay(), viewBallistics[at].getPeakHold());
        meterViews[at] = Tessel::adopt(new Filtra::MeterView(meterEngines[at], index));
        if (!meterTask.isRegistered())
            meterTask.start(0, true); // the level it shows may still have to fall
    }
    return meterViews[at].get();
}

Tessel::Object* SpeakerComponent::createView(const std::string& viewName, const Tessel::Attributes& arguments)
{
    const int output = viewDigit(viewName, kReductionViewPrefix);
    if (output >= 1 && output <= kOutputs)
    {
        Tessel::SharedPtr<Filtra::ReductionView>& view = reductionViews[size_t(output - 1)];
        if (!view)
            view = Tessel::adopt(
                new Filtra::ReductionView(peakReduction[size_t(output - 1)].getDisplay(), output));
        view->retain();
        return view.get();
    }
    const int index = viewDigit(viewName, kMeterViewPrefix);
    if (index < 0)
        return RemoteComponent::createView(viewName, arguments);
    Filtra::MeterView* view = getMeterView(index);
    if (view)
        view->retain();
    return view;
}

bool SpeakerComponent::stepMeters(int64_t now)
{
    bool atRest = true;
    for (int i = 0; i < kOutputs; ++i)
    {
        peakReduction[size_t(i)].idle(now);
        rmsReduction[size_t(i)].idle(now);
        if (reductionViews[size_t(i)])
            reductionViews[size_t(i)]->update();
        atRest = atRest && peakReduction[size_t(i)].isAtRest() && rmsReduction[size_t(i)].isAtRest();
    }
    for (int i = 0; i < kMeterViews; ++i)
    {
        // Without a view nobody looks at the level: it is kept as it arrives, undecayed.
        if (!meterViews[size_t(i)])
            continue;
        viewBallistics[size_t(i)].idle(now);
        meterEngines[size_t(i)]->update();
        atRest = atRest && viewBallistics[size_t(i)].isAtRest();
    }
    return atRest;
}

void SpeakerComponent::onMeterTask()
{
    // The last step published the resting levels; nothing moves until the next meter value.
    if (stepMeters(Tessel::GetSystemTicks()))
        meterTask.stop();
}

void SpeakerComponent::idleTick()
{
    stepMeters(Tessel::GetSystemTicks());
    RemoteComponent::idleTick();
}

} // namespace Vellaris
