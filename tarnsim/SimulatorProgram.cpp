#include "tarnsim/SimulatorProgram.h"

#include "core/FileStream.h"
#include "lknet/lknet.h"
#include "tarnsim/FileIOManager.h"
#include "tarnsim/ModelTable.h"
#include "tarnsim/Report.h"
#include "tarnsim/SettingFile.h"
#include "tarnsim/SettingsCompletion.h"
#include "tarnsim/SimulatorLoop.h"
#include "tarnsim/SpeakerComponent.h"
#include "tarnsim/WifiSimulation.h"

#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>

#ifdef _WIN32
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace Vellaris::Tarn
{

namespace
{

#ifdef _WIN32

std::atomic<bool> quitRequested{false};
// Set once the settings are written: a console that is closing waits for it.
HANDLE finished = nullptr;

// Runs on a thread of its own, which the console starts for each event.
BOOL WINAPI onConsoleEvent(DWORD event)
{
    std::fputs("Quit requested\n", stdout);
    std::fflush(stdout);
    quitRequested = true;
    if (event == CTRL_CLOSE_EVENT || event == CTRL_LOGOFF_EVENT || event == CTRL_SHUTDOWN_EVENT)
    {
        // Windows ends the process as soon as this returns: wait while the loop stops and the
        // settings are written (the system allows a few seconds).
        if (finished)
            WaitForSingleObject(finished, INFINITE);
    }
    return TRUE;
}

void installInterruptHandler()
{
    finished = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    SetConsoleCtrlHandler(onConsoleEvent, TRUE);
}

void signalFinished()
{
    if (finished)
        SetEvent(finished);
}

#else

volatile std::sig_atomic_t quitRequested = 0;

void onInterrupt(int)
{
    static const char text[] = "Quit requested\n";
    ssize_t written = ::write(STDOUT_FILENO, text, sizeof(text) - 1);
    (void)written;
    quitRequested = 1;
}

void installInterruptHandler()
{
    struct sigaction action;
    std::memset(&action, 0, sizeof(action));
    action.sa_handler = onInterrupt;
    sigemptyset(&action.sa_mask);
    action.sa_flags = 0; // no restart: a wait on the sockets returns at once
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

void signalFinished() {}

#endif

void printReportLine(const char* line)
{
    std::printf("[lknet] %s\n", line);
    std::fflush(stdout);
}

void forwardReportLine(const char* line)
{
    LKReportMessage(0, "%s", line);
}

int64_t nowMs()
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

} // namespace

int runSimulator(int argc, const char* const* argv)
{
    using Core::Portable::FileIOManager;
    using Core::Portable::SettingFile;

    // Lines go out as they are written, also into a pipe.
#ifdef _WIN32
    // The C runtime of Windows has no line buffering (it buffers fully instead).
    std::setvbuf(stdout, nullptr, _IONBF, 0);
#else
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
#endif
    Core::Portable::setReportFunction(forwardReportLine);

    LKReportMessage(0, "Tarnsim launced ()...");

    SettingFile& settings = SettingFile::instance();
    settings.buildPath();
    // A simulator killed mid-save leaves its temporary file; nobody else will remove it.
    Core::Portable::FileStream::removeStaleTemporaries(settings.path());
    settings.readNow();

    lknet::INetworkManager* network = LKGetNetworkManager();
    SpeakerComponent& speaker = SpeakerComponent::instance();
    speaker.server().setNetwork(network, LKGetFileTransferManager());

    installInterruptHandler();
    LKSetReportFunction(printReportLine);

    if (network->startup() != 0)
    {
        LKReportMessage(0, "LK network manager startup failed!");
        return -1;
    }

    speaker.restoreState(settings.attributes().getAttributes("Speaker"));

    const SpeakerModel& model = chooseSpeakerModel(argc, argv);
    const std::string serialNumber = chooseSerialNumber(model, std::getenv("TARNSIM_SERIAL"));
    lknet::ServerDescriptor descriptor;
    descriptor.size = sizeof(descriptor);
    descriptor.name = model.name;
    descriptor.deviceType = "SPK";
    descriptor.uid = nullptr;
    descriptor.serialNumber = serialNumber.c_str();
    descriptor.interfaceType = 0;
    int handle = 0;
    network->registerServer(&handle, &speaker.server(), &descriptor, 0);
    speaker.server().setHandle(static_cast<uint32_t>(handle));
    bool registered = true;

    // Off unless TARNSIM_WIFI lists networks: then a join request takes the speaker off the
    // network (its clients see it go) and brings it back a few seconds later.
    WifiSimulation wifi = WifiSimulation::fromEnvironment();
    WifiSimulation::Actions wifiActions;
    if (wifi.isEnabled())
    {
        speaker.setWifi(&wifi);
        LKReportMessage(0, "Wi-Fi: %d network(s) in sight", static_cast<int>(wifi.getEntries().size()));
        wifiActions.leave = [&]
        {
            network->unregisterServer(&speaker.server());
            speaker.server().dropSubscriptions();
            registered = false;
        };
        wifiActions.rejoin = [&]
        {
            int again = 0;
            network->registerServer(&again, &speaker.server(), &descriptor, 0);
            speaker.server().setHandle(static_cast<uint32_t>(again));
            registered = true;
            LKReportMessage(0, "Back on the network");
        };
    }

    FileIOManager& files = FileIOManager::instance();
    settings.loadInBackground(files, std::make_unique<SettingsCompletion>());

    const char* plain = std::getenv("TARNSIM_PLAIN_LOOP");
    const bool earlyWake = !(plain && std::strcmp(plain, "1") == 0);

    SimulatorLoop::Steps steps;
    steps.reportAlive = [] { Core::Portable::report("Still alive..."); };
    // The speaker's state enters the set on this thread, right before the set is written into
    // the save's memory, so a simulator that dies loses at most one save interval.
    const auto storeSpeaker = [&]
    {
        Core::Portable::Attributes state;
        speaker.storeState(state);
        settings.storeSpeakerState(state);
    };
    steps.save = [&]
    {
        storeSpeaker();
        settings.saveInBackground(files, std::make_unique<SettingsCompletion>());
    };
    steps.idle = [&]
    {
        if (wifi.isEnabled())
            wifi.tick(nowMs(), wifiActions);
        speaker.idle();
    };
    steps.process = [&] { network->process(); };
    steps.deliver = [&] { files.deliver(); };
    SimulatorLoop loop(std::move(steps), nowMs());
    loop.setSaveInterval(SimulatorLoop::saveIntervalFromEnvironment());

    int64_t nextTick = nowMs();
    while (!quitRequested)
    {
        loop.tick(nowMs());
        nextTick += SimulatorLoop::kTickMs;
        if (!earlyWake)
        {
            std::this_thread::sleep_for(std::chrono::milliseconds(SimulatorLoop::kTickMs));
            nextTick = nowMs();
            continue;
        }
        // Handle packets as they arrive while waiting for the next turn.
        for (int64_t now = nowMs(); now < nextTick && !quitRequested; now = nowMs())
        {
            if (network->wait(static_cast<int>(nextTick - now)) == 1)
                network->process();
        }
        if (nowMs() - nextTick > SimulatorLoop::kTickMs)
            nextTick = nowMs(); // after a stall, keep the cadence from now on
    }

    if (registered)
        network->unregisterServer(&speaker.server());
    speaker.setWifi(nullptr);
    LKReportMessage(0, "Will exit in 3 seconds...");
    std::this_thread::sleep_for(std::chrono::milliseconds(3000));
    network->shutdown();

    // The worker stops first: a background save still running would otherwise rename an older
    // copy over the final file.
    files.shutdown();
    storeSpeaker();
    settings.writeNow();
    signalFinished();
    return 0;
}

} // namespace Vellaris::Tarn
