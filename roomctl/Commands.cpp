#include "roomctl/Commands.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <map>
#include <vector>

#include "speaker/SpeakerComponent.h"
#include "speaker/SpeakerNetworkItem.h"
#include "speaker/SpeakerNetworkManager.h"
#include "tessel/IParameter.h"
#include "roomctl/MirrorSession.h"

namespace Vellaris::Tools
{

namespace
{
constexpr int64_t kPingPauseMs = 10;

std::string seconds(int64_t ms)
{
    char text[32];
    std::snprintf(text, sizeof text, "%g s", double(ms) / 1000.0);
    return text;
}

void printLine(const std::string& first, const std::string& second)
{
    std::printf("%s\t%s\n", first.c_str(), second.c_str());
    std::fflush(stdout);
}

// Finds the speaker or explains why not; nullptr with *status set on failure.
SpeakerComponent* speakerFor(MirrorSession& session, const CommandOptions& options, const std::string& serial,
                             int& status)
{
    bool found = false;
    SpeakerNetworkItem* item = session.waitForSpeaker(serial, options.timeoutMs, &found);
    if (!item)
    {
        if (found)
            std::fprintf(stderr, "roomctl: speaker %s did not send its state within %s\n", serial.c_str(),
                         seconds(options.timeoutMs).c_str());
        else
            std::fprintf(stderr, "roomctl: no speaker with serial number %s found within %s\n",
                         serial.c_str(), seconds(options.timeoutMs).c_str());
        status = kExitSpeakerNotFound;
        return nullptr;
    }
    return item->getSpeakerComponent();
}

Tessel::IParameter* parameterFor(SpeakerComponent* speaker, const std::string& serial,
                                 const std::string& path)
{
    Tessel::IParameter* param = MirrorSession::findParameter(speaker, path);
    if (!param)
        std::fprintf(stderr, "roomctl: speaker %s has no parameter %s\n", serial.c_str(), path.c_str());
    return param;
}

// Observes parameters and prints each change of their text.
class ChangePrinter : public Tessel::Object
{
public:
    ChangePrinter(SpeakerComponent* speaker, bool stamp) : speaker(speaker), stamp(stamp)
    {
        for (Tessel::IParameter* param : MirrorSession::mirroredParameters(speaker))
        {
            texts[param] = param->toString();
            Tessel::unknownCast<Tessel::ISubject>(param)->addObserver(this);
            params.emplace_back(param);
        }
    }
    void stop()
    {
        for (const auto& param : params)
            Tessel::unknownCast<Tessel::ISubject>(param.get())->removeObserver(this);
        params.clear();
    }
    void notify(Tessel::ISubject* subject, const Tessel::Message& msg) override
    {
        if (!msg.is(Tessel::Messages::kChanged))
            return;
        Tessel::IParameter* param = Tessel::unknownCast<Tessel::IParameter>(subject);
        auto it = param ? texts.find(param) : texts.end();
        if (it == texts.end())
            return;
        std::string text = param->toString();
        if (text == it->second)
            return; // an enabled state or a range changed, not the value
        it->second = text;
        if (!stamp)
        {
            printLine(MirrorSession::pathOf(speaker, param), text);
            return;
        }
        // The monotonic clock is the same for every process of the computer, so another program
        // can tell how long the change took to come here.
        const auto arrived = std::chrono::duration_cast<std::chrono::microseconds>(
                                 std::chrono::steady_clock::now().time_since_epoch())
                                 .count();
        std::printf("%s\t%s\t%lld\n", MirrorSession::pathOf(speaker, param).c_str(), text.c_str(),
                    (long long)arrived);
        std::fflush(stdout);
    }

private:
    SpeakerComponent* speaker;
    bool stamp;
    std::vector<Tessel::SharedPtr<Tessel::IParameter>> params;
    std::map<Tessel::IParameter*, std::string> texts;
};
} // namespace

int listSpeakers(MirrorSession& session, int64_t waitMs)
{
    session.getPlatform().runFor(waitMs);
    SpeakerNetworkManager& manager = session.getManager();
    for (int i = 0; i < manager.countSpeakers(); ++i)
    {
        SpeakerNetworkItem* item = manager.getSpeaker(i);
        const LK::ServerDescription* d = item ? item->getDescription() : nullptr;
        if (!d)
            continue;
        std::printf("%s\t%s\t%s\t%s\n", d->serialNumber.c_str(), d->name.c_str(), d->version.c_str(),
                    item->findParameter("hostname")->toString().c_str());
    }
    std::fflush(stdout);
    return kExitOk;
}

int getParameter(MirrorSession& session, const CommandOptions& options, const std::string& serial,
                 const std::string& path)
{
    int status = kExitOk;
    SpeakerComponent* speaker = speakerFor(session, options, serial, status);
    if (!speaker)
        return status;
    Tessel::IParameter* param = parameterFor(speaker, serial, path);
    if (!param)
        return kExitParameter;
    std::printf("%s\n", param->toString().c_str());
    return kExitOk;
}

int setParameter(MirrorSession& session, const CommandOptions& options, const std::string& serial,
                 const std::string& path, const std::string& text)
{
    int status = kExitOk;
    SpeakerComponent* speaker = speakerFor(session, options, serial, status);
    if (!speaker)
        return status;
    Tessel::IParameter* param = parameterFor(speaker, serial, path);
    if (!param)
        return kExitParameter;
    if (!param->isFlag(Tessel::ParamFlags::kPublic))
    {
        std::fprintf(stderr, "roomctl: %s is kept by roomdesk only and is not sent to the speaker\n",
                     path.c_str());
        return kExitParameter;
    }
    if (param->isFlag(Tessel::ParamFlags::kReadOnly))
    {
        std::fprintf(stderr, "roomctl: %s is read-only\n", path.c_str());
        return kExitParameter;
    }
    if (!param->isEnabled())
    {
        // The speaker ignores changes of a parameter it has switched off.
        std::fprintf(stderr, "roomctl: %s is disabled on the speaker\n", path.c_str());
        return kExitParameter;
    }
    Tessel::Variant old = param->getValue();
    if (!param->fromString(text, false))
    {
        std::fprintf(stderr, "roomctl: \"%s\" is not a value of %s\n", text.c_str(), path.c_str());
        return kExitParameter;
    }
    Tessel::Variant value = param->getValue();
    param->setValue(old, false);
    if (!session.changeAndWaitForEcho(param, value, options.timeoutMs))
    {
        std::fprintf(stderr, "roomctl: speaker %s did not confirm the change of %s within %s\n",
                     serial.c_str(), path.c_str(), seconds(options.timeoutMs).c_str());
        return kExitParameter;
    }
    std::printf("%s\n", param->toString().c_str());
    return kExitOk;
}

int dumpSpeaker(MirrorSession& session, const CommandOptions& options, const std::string& serial)
{
    int status = kExitOk;
    SpeakerComponent* speaker = speakerFor(session, options, serial, status);
    if (!speaker)
        return status;
    for (Tessel::IParameter* param : MirrorSession::mirroredParameters(speaker))
        std::printf("%s\t%s\n", MirrorSession::pathOf(speaker, param).c_str(), param->toString().c_str());
    std::fflush(stdout);
    return kExitOk;
}

int watchSpeaker(MirrorSession& session, const CommandOptions& options, const std::string& serial,
                 int64_t forMs)
{
    int status = kExitOk;
    SpeakerComponent* speaker = speakerFor(session, options, serial, status);
    if (!speaker)
        return status;
    Tessel::SharedPtr<SpeakerNetworkItem> item = Tessel::retained(session.findSpeaker(serial));
    Tessel::AutoPtr<ChangePrinter> printer = new ChangePrinter(speaker, options.stampLines);
    auto gone = [&] { return item->getOwner() == nullptr; };
    bool left = forMs < 0 ? session.getPlatform().runUntil(gone, INT64_MAX / 2)
                          : session.getPlatform().runUntil(gone, forMs);
    printer->stop();
    if (left)
    {
        std::fprintf(stderr, "roomctl: speaker %s left the network\n", serial.c_str());
        return kExitSpeakerNotFound;
    }
    return kExitOk;
}

int pingSpeaker(MirrorSession& session, const CommandOptions& options, const std::string& serial, int count)
{
    int status = kExitOk;
    SpeakerComponent* speaker = speakerFor(session, options, serial, status);
    if (!speaker)
        return status;
    // The speaker's identify light: harmless to switch, and it ends as it was.
    Tessel::IParameter* param = speaker->findParameter("wink");
    if (!param)
    {
        std::fprintf(stderr, "roomctl: speaker %s has no parameter wink\n", serial.c_str());
        return kExitParameter;
    }
    const int64_t original = param->getValue().asInt();
    std::vector<double> times;
    for (int i = 0; i < count; ++i)
    {
        int64_t value = (i % 2 == 0) ? !original : original;
        // A short pause first, as between a user's moves: otherwise the loop would be measuring
        // its own pacing of a busy network instead of the speaker's answer.
        session.getPlatform().runFor(kPingPauseMs);
        auto start = std::chrono::steady_clock::now();
        if (!session.changeAndWaitForEcho(param, Tessel::Variant((long long)value), options.timeoutMs))
        {
            std::fprintf(stderr, "roomctl: speaker %s did not answer within %s\n", serial.c_str(),
                         seconds(options.timeoutMs).c_str());
            return kExitParameter;
        }
        times.push_back(
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
    }
    if (count % 2 == 1)
        session.changeAndWaitForEcho(param, Tessel::Variant((long long)original), options.timeoutMs);
    std::sort(times.begin(), times.end());
    size_t n = times.size();
    double median = n % 2 ? times[n / 2] : (times[n / 2 - 1] + times[n / 2]) / 2;
    double p99 = times[std::min(n - 1, size_t(std::ceil(0.99 * double(n))) - 1)];
    std::printf("min %.2f ms, median %.2f ms, p99 %.2f ms\n", times.front(), median, p99);
    return kExitOk;
}

} // namespace Vellaris::Tools
