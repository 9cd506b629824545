// mirror_agent: a headless roomdesk mirror in a process of its own, for the network-fault tests
// and the soak benchmark. It mirrors every speaker on the network exactly as roomdesk does, makes
// random changes through its mirror when asked, and writes what it mirrors on request.
//
//     mirror_agent [--key serial|address] [--seed N] [--rate R] [--dir D]
//     mirror_agent --once N [--key serial|address] [--wait S]
//
// SIGUSR1 writes D/dump-K.txt (K = 1, 2, ... per request; D defaults to $APPDATA) through a
// temporary file, so a reader never sees half of it. SIGUSR2 switches the random changes on and
// off (R per second, default 20). SIGTERM or SIGINT ends it.
// With --once it waits until N speakers are synchronised (at most S seconds, default 30), prints
// their state to standard output and exits: 0 done, 1 not all speakers came.
//
// A dump is "speakers N synchronised M changes C" and then one "KEY<TAB>PATH<TAB>TEXT" line per
// mirrored parameter; KEY is the serial number, or "SERIAL@ADDRESS:PORT" with --key address (for
// several simulators of one model).
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "mirror/ServerDescription.h"
#include "speaker/SpeakerComponent.h"
#include "speaker/SpeakerNetworkItem.h"
#include "speaker/SpeakerNetworkManager.h"
#include "tessel/IParameter.h"
#include "roomctl/MirrorSession.h"

namespace
{

using Vellaris::SpeakerNetworkItem;
using Vellaris::Tools::MirrorSession;

volatile std::sig_atomic_t dumpRequests = 0;
volatile std::sig_atomic_t toggleRequests = 0;
volatile std::sig_atomic_t stopRequested = 0;

void onDump(int)
{
    dumpRequests = dumpRequests + 1;
}
void onToggle(int)
{
    toggleRequests = toggleRequests + 1;
}
void onStop(int)
{
    stopRequested = 1;
}

struct Options
{
    bool keyByAddress = false;
    unsigned seed = 1;
    double rate = 20;
    std::string dir;
    int once = 0;
    int64_t waitMs = 30000;
};

std::string keyOf(const SpeakerNetworkItem* item, bool byAddress)
{
    Vellaris::LK::ServerDescription* description = item->getDescription();
    if (!description)
        return "?";
    std::string key = description->serialNumber;
    if (byAddress)
        key += "@" + description->address + ":" + std::to_string(description->port);
    return key;
}

// Parameters a sound engineer changes: the line channel's controls and the speaker's own few.
// "inputaligndelay" is in the model but no speaker serves it: a change to it never comes back.
bool isChangeable(const std::string& path, Tessel::IParameter* param)
{
    if (!param->isEnabled() || !param->isFlag(Tessel::ParamFlags::kPublic) ||
        path == "line/ch1/inputaligndelay")
        return false;
    if (path == "nickname" || path == "75hz" || path == "monosum" || path == "contour")
        return true;
    return path.compare(0, 9, "line/ch1/") == 0 && path.find("meter") == std::string::npos &&
           path.find("_enable") == std::string::npos;
}

std::string dumpText(MirrorSession& session, bool byAddress, long changes)
{
    Vellaris::SpeakerNetworkManager& manager = session.getManager();
    int synchronised = 0;
    std::string body;
    for (int i = 0; i < manager.countSpeakers(); ++i)
    {
        SpeakerNetworkItem* item = manager.getSpeaker(i);
        if (!MirrorSession::isSynchronized(item))
            continue;
        ++synchronised;
        const std::string key = keyOf(item, byAddress);
        Vellaris::SpeakerComponent* speaker = item->getSpeakerComponent();
        for (Tessel::IParameter* param : MirrorSession::mirroredParameters(speaker))
            body += key + "\t" + MirrorSession::pathOf(speaker, param) + "\t" + param->toString() + "\n";
    }
    return "speakers " + std::to_string(manager.countSpeakers()) + " synchronised " +
           std::to_string(synchronised) + " changes " + std::to_string(changes) + "\n" + body;
}

bool writeDump(const std::string& dir, int number, const std::string& text)
{
    const std::string path = dir + "/dump-" + std::to_string(number) + ".txt";
    const std::string temporary = path + ".tmp";
    FILE* file = std::fopen(temporary.c_str(), "wb");
    if (!file)
        return false;
    const bool written = std::fwrite(text.data(), 1, text.size(), file) == text.size();
    return std::fclose(file) == 0 && written && std::rename(temporary.c_str(), path.c_str()) == 0;
}

// One random change through the mirror of a random synchronised speaker.
bool changeSomething(MirrorSession& session, std::mt19937& random)
{
    Vellaris::SpeakerNetworkManager& manager = session.getManager();
    std::vector<SpeakerNetworkItem*> ready;
    for (int i = 0; i < manager.countSpeakers(); ++i)
        if (MirrorSession::isSynchronized(manager.getSpeaker(i)))
            ready.push_back(manager.getSpeaker(i));
    if (ready.empty())
        return false;
    Vellaris::SpeakerComponent* speaker = ready[random() % ready.size()]->getSpeakerComponent();
    std::vector<Tessel::IParameter*> candidates;
    for (Tessel::IParameter* param : MirrorSession::mirroredParameters(speaker))
        if (isChangeable(MirrorSession::pathOf(speaker, param), param))
            candidates.push_back(param);
    if (candidates.empty())
        return false;
    Tessel::IParameter* param = candidates[random() % candidates.size()];
    if (param->getType() == Tessel::ParamType::kString)
        param->setValue(Tessel::Variant("n" + std::to_string(random() % 100000)), true);
    else
        param->setNormalized(std::uniform_real_distribution<double>(0.0, 1.0)(random), true);
    return true;
}

bool readOptions(int argc, char** argv, Options& options)
{
    for (int i = 1; i < argc; ++i)
    {
        const std::string option = argv[i];
        if (i + 1 >= argc)
            return false;
        const std::string value = argv[++i];
        if (option == "--key")
            options.keyByAddress = value == "address";
        else if (option == "--seed")
            options.seed = unsigned(std::strtoul(value.c_str(), nullptr, 10));
        else if (option == "--rate")
            options.rate = std::atof(value.c_str());
        else if (option == "--dir")
            options.dir = value;
        else if (option == "--once")
            options.once = std::atoi(value.c_str());
        else if (option == "--wait")
            options.waitMs = int64_t(std::atof(value.c_str()) * 1000);
        else
            return false;
    }
    if (options.dir.empty())
        options.dir = std::getenv("APPDATA") ? std::getenv("APPDATA") : ".";
    return options.rate > 0;
}

int runOnce(MirrorSession& session, const Options& options)
{
    auto synchronised = [&]
    {
        int count = 0;
        Vellaris::SpeakerNetworkManager& manager = session.getManager();
        for (int i = 0; i < manager.countSpeakers(); ++i)
            count += MirrorSession::isSynchronized(manager.getSpeaker(i)) ? 1 : 0;
        return count;
    };
    const bool all =
        session.getPlatform().runUntil([&] { return synchronised() >= options.once; }, options.waitMs);
    // Let the last state packets of every speaker settle.
    session.getPlatform().runFor(300);
    std::fputs(dumpText(session, options.keyByAddress, 0).c_str(), stdout);
    std::fflush(stdout);
    return all ? 0 : 1;
}

} // namespace

int main(int argc, char** argv)
{
    Options options;
    if (!readOptions(argc, argv, options))
    {
        std::fprintf(stderr, "usage: mirror_agent [--key serial|address] [--seed N] [--rate R] [--dir D] "
                             "[--once N [--wait S]]\n");
        return 2;
    }
    std::signal(SIGUSR1, onDump);
    std::signal(SIGUSR2, onToggle);
    std::signal(SIGTERM, onStop);
    std::signal(SIGINT, onStop);

    MirrorSession session;
    if (!session.isStarted())
    {
        std::fprintf(stderr, "mirror_agent: %s\n", session.getError().c_str());
        return 1;
    }
    if (options.once > 0)
        return runOnce(session, options);

    std::mt19937 random(options.seed);
    const int64_t gapMs = std::max<int64_t>(1, int64_t(1000.0 / options.rate));
    int dumpsDone = 0;
    int togglesDone = 0;
    bool changing = false;
    long changes = 0;
    std::printf("mirror_agent ready\n");
    std::fflush(stdout);
    while (!stopRequested)
    {
        session.getPlatform().runFor(gapMs);
        if (togglesDone != toggleRequests)
        {
            togglesDone = toggleRequests;
            changing = togglesDone % 2 == 1;
        }
        if (changing && changeSomething(session, random))
            ++changes;
        while (dumpsDone != dumpRequests)
        {
            ++dumpsDone;
            if (!writeDump(options.dir, dumpsDone, dumpText(session, options.keyByAddress, changes)))
                std::fprintf(stderr, "mirror_agent: cannot write dump %d into %s\n", dumpsDone,
                             options.dir.c_str());
        }
    }
    std::printf("mirror_agent made %ld changes\n", changes);
    return 0;
}
