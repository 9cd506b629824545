#include "roomctl/MirrorSession.h"

#include <cmath>

#include "formats/Formats.h"
#include "speaker/SpeakerClasses.h"
#include "speaker/SpeakerComponent.h"
#include "speaker/SpeakerNetworkItem.h"
#include "speaker/SpeakerNetworkManager.h"
#include "tessel/Component.h"
#include "tessel/IParameter.h"

namespace Vellaris::Tools
{

namespace
{
constexpr const char* kSyncMarker = "wink";

Tessel::IParameter* syncMarker(const SpeakerNetworkItem* item)
{
    SpeakerComponent* speaker = item ? item->getSpeakerComponent() : nullptr;
    return speaker ? speaker->findParameter(kSyncMarker) : nullptr;
}

void collect(Tessel::Component& component, std::vector<Tessel::IParameter*>& out)
{
    for (int i = 0; i < component.countParameters(); ++i)
    {
        Tessel::IParameter* param = component.getParameterAt(i);
        if (param->isFlag(Tessel::ParamFlags::kPublic))
            out.push_back(param);
    }
    for (int i = 0; i < component.countChildren(); ++i)
        collect(*component.getChild(i), out);
}

// A value of `param`'s kind that differs from its current one.
Tessel::Variant otherValue(Tessel::IParameter* param)
{
    Tessel::Variant current = param->getValue();
    switch (param->getType())
    {
    case Tessel::ParamType::kString:
        return Tessel::Variant(current.asString() + "\x01");
    case Tessel::ParamType::kColor:
        return Tessel::Variant((long long)(current.asInt() ^ 1));
    default:
        return current.asDouble() != param->getMin().asDouble() ? param->getMin() : param->getMax();
    }
}
} // namespace

// Marks each new speaker as waiting for its state.
class MirrorSession::Watcher : public Tessel::Object
{
public:
    void notify(Tessel::ISubject*, const Tessel::Message& msg) override
    {
        if (!msg.is("itemAdded"))
            return;
        Tessel::Object* object = Tessel::unknownCast<Tessel::Object>(msg.getArg(0).asObject());
        if (Tessel::IParameter* marker = syncMarker(Tessel::classCast<SpeakerNetworkItem>(object)))
            marker->enable(false);
    }
};

MirrorSession::MirrorSession()
{
    // The same formatters and curves as roomdesk, so texts and normalised values agree with it.
    Dsp::registerAllFormats();
    if (!registerSpeakerClasses())
    {
        error = "the speaker model could not be loaded";
        return;
    }
    manager = SpeakerNetworkManager::create();
    watcher = Tessel::adopt<Tessel::Object>(new Watcher);
    manager->addObserver(watcher.get());
    manager->startup();
    started = manager->isStarted();
    if (!started)
        error = "the network could not be started";
}

MirrorSession::~MirrorSession()
{
    if (manager)
    {
        manager->removeObserver(watcher.get());
        // roomctl only looks: a speaker that another program selected stays selected when roomctl
        // ends, so forget the selection locally (without sending) before the items are detached.
        for (int i = 0; i < manager->countChildren(); ++i)
        {
            auto* item = Tessel::classCast<SpeakerNetworkItem>(manager->getChild(i));
            SpeakerComponent* speaker = item ? item->getSpeakerComponent() : nullptr;
            if (Tessel::IParameter* wink = speaker ? speaker->findParameter("wink") : nullptr)
                wink->setValue(Tessel::Variant(0), false);
        }
        manager->shutdown();
    }
    Tessel::destroyRootComponent();
}

SpeakerNetworkItem* MirrorSession::findSpeaker(const std::string& serial) const
{
    return manager ? manager->findItemBySerial(serial) : nullptr;
}

bool MirrorSession::isSynchronized(const SpeakerNetworkItem* item)
{
    Tessel::IParameter* marker = syncMarker(item);
    return item && (!marker || marker->isEnabled());
}

SpeakerNetworkItem* MirrorSession::waitForSpeaker(const std::string& serial, int64_t timeoutMs, bool* found)
{
    platform.runUntil([&] { return isSynchronized(findSpeaker(serial)); }, timeoutMs);
    SpeakerNetworkItem* item = findSpeaker(serial);
    if (found)
        *found = item != nullptr;
    return isSynchronized(item) ? item : nullptr;
}

Tessel::IParameter* MirrorSession::findParameter(SpeakerComponent* speaker, const std::string& path)
{
    if (!speaker || path.empty())
        return nullptr;
    std::string local = path;
    if (local.front() == '/')
        local.erase(0, 1);
    const std::string prefix = speaker->getName() + "/";
    if (local.compare(0, prefix.size(), prefix) == 0)
        local.erase(0, prefix.size());
    if (Tessel::IParameter* found = speaker->lookupParameter(local))
        return found;
    // The line channel's processing blocks may be named on their own ("eq/eqgain3",
    // "limit/threshold"): the speaker has one input channel.
    if (local.find('/') != std::string::npos && local.compare(0, 5, "line/") != 0)
        return speaker->lookupParameter("line/ch1/" + local);
    return nullptr;
}

std::string MirrorSession::pathOf(const SpeakerComponent* speaker, const Tessel::IParameter* param)
{
    if (!speaker || !param)
        return {};
    Tessel::Component* owner = Tessel::unknownCast<Tessel::Component>(param->getController());
    if (!owner)
        return {};
    std::string path = owner->getParameterPath(param);
    const std::string prefix = speaker->getComponentPath() + "/";
    if (path.compare(0, prefix.size(), prefix) != 0)
        return {};
    return path.substr(prefix.size());
}

std::vector<Tessel::IParameter*> MirrorSession::mirroredParameters(SpeakerComponent* speaker)
{
    std::vector<Tessel::IParameter*> params;
    if (speaker)
        collect(*speaker, params);
    return params;
}

bool MirrorSession::changeAndWaitForEcho(Tessel::IParameter* param, const Tessel::Variant& value,
                                         int64_t timeoutMs)
{
    // The value as the parameter takes it (clamped, whole), found without sending anything.
    const Tessel::Variant before = param->getValue();
    param->setValue(value, false);
    Tessel::Variant target = param->getValue();
    // The speaker holds it already: it has nothing to change and sends nothing back. Values travel
    // as single-precision normalised numbers, so one the mirror shows may differ from the target
    // in the last bits and still be the speaker's.
    const bool numeric =
        param->getType() != Tessel::ParamType::kString && param->getType() != Tessel::ParamType::kColor;
    if (target == before ||
        (numeric && std::fabs(param->getValueNormalized(target) - param->getValueNormalized(before)) < 1e-6))
        return true;
    Tessel::Variant away = otherValue(param);
    param->setValue(away, false);
    if (param->getValue() == target)
        return true;               // a parameter with one possible value: there is nothing to wait for
    param->setValue(target, true); // goes to the speaker
    param->setValue(away, false);
    return platform.runUntil([&] { return param->getValue() != away; }, timeoutMs);
}

} // namespace Vellaris::Tools
