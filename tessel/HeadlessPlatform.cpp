#include "tessel/HeadlessPlatform.h"

#include <algorithm>
#include <cstdio>

#include <unistd.h>

#include "tessel/Attributes.h"
#include "tessel/IApplicationStartup.h"
#include "tessel/Platform.h"
#include "tessel/PosixSystem.h"

namespace Tessel
{

HeadlessPlatform::HeadlessPlatform(bool install)
    : installed(install), signals([this]() { return clock.load(); })
{
    if (installed)
        previous = setPlatform(this);
}

HeadlessPlatform::~HeadlessPlatform()
{
    // Pending messages hold references to their targets; they go before the platform does.
    signals.getQueue().clear();
    if (installed)
        setPlatform(previous);
}

void HeadlessPlatform::turn()
{
    signals.getQueue().runDue(clock);
    // Sockets are looked at once per turn, before the idle tasks.
    getDescriptorPoller().poll();
    idleTasks.tickAll();
}

void HeadlessPlatform::advance(int64_t ms)
{
    if (ms <= 0)
    {
        turn();
        return;
    }
    const int64_t target = clock + ms;
    bool drainedNow = false;
    while (clock < target)
    {
        std::optional<int64_t> due = signals.getQueue().nextDueTick();
        // Messages already due (posted with delay 0) run at once, before time moves on; once per
        // moment, so a message that posts itself again waits for the next step.
        if (due && *due <= clock && !drainedNow)
        {
            signals.getQueue().runDue(clock);
            drainedNow = true;
            continue;
        }
        int64_t next = std::min(clock.load() + kIdleStepMs, target);
        // A message due before the next idle step gets a turn of its own at its due time.
        if (due && *due > clock && *due < next)
            next = *due;
        clock = next;
        drainedNow = false;
        turn();
    }
}

void HeadlessPlatform::flush()
{
    for (int i = 0; i < 1000; ++i)
    {
        std::optional<int64_t> due = signals.getQueue().nextDueTick();
        if (!due || *due > clock)
            break;
        signals.getQueue().runDue(clock);
    }
}

void HeadlessPlatform::setComputerInfo(const std::string& model, const std::string& identifier)
{
    deviceModel = model;
    deviceIdentifier = identifier;
}

void HeadlessPlatform::clearRecords()
{
    alerts.clear();
    windows.clear();
    frontRequests.clear();
    programs.clear();
    debugLines.clear();
    debugPartial.clear();
    warningTexts.clear();
}

std::vector<std::string> HeadlessPlatform::getDebugOutput() const
{
    std::vector<std::string> lines = debugLines;
    if (!debugPartial.empty())
        lines.push_back(debugPartial);
    return lines;
}

void HeadlessPlatform::debugPrint(const char* text)
{
    if (echo)
        std::fputs(text, stderr);
    for (const char* p = text; *p; ++p)
    {
        if (*p == '\n')
        {
            debugLines.push_back(debugPartial);
            debugPartial.clear();
        }
        else
        {
            debugPartial += *p;
        }
    }
}

void HeadlessPlatform::reportWarning(const char* text)
{
    warningTexts.push_back(text);
}

bool HeadlessPlatform::initialize(const std::vector<std::string>& args, IApplicationStartup* startup)
{
    arguments = args;
    startupObject = startup;
    quitRequested = false;
    exitCode = 0;
    return true;
}

int HeadlessPlatform::runEventLoop()
{
    if (startupObject && !startupObject->startupApplication())
    {
        startupObject->shutdownApplication();
        return 1;
    }
    while (!quitRequested)
    {
        if (idleTasks.count() == 0 && signals.getQueue().count() == 0)
            break;
        advance(kIdleStepMs);
    }
    if (startupObject)
        startupObject->shutdownApplication();
    return exitCode;
}

void HeadlessPlatform::quit(int code)
{
    quitRequested = true;
    exitCode = code;
}

bool HeadlessPlatform::openWindow(const std::string& formName, IUnknown* controller, bool show)
{
    if (!knownForms.empty() && std::find(knownForms.begin(), knownForms.end(), formName) == knownForms.end())
        return false;
    windows.push_back({formName, SharedPtr<IUnknown>(controller), show});
    return true;
}

bool HeadlessPlatform::bringToFront(const std::string& applicationId, bool activate)
{
    frontRequests.push_back(applicationId);
    return frontResult;
}

bool HeadlessPlatform::HeadlessFileSystem::writeFile(const std::string& url, std::string_view bytes)
{
    if (!writesFail)
        return LocalFileSystem::writeFile(url, bytes);
    // Half the bytes reach a temporary file beside the target before the disk is "full".
    std::string path = toLocalPath(url);
    if (path.empty())
        return false;
    std::string temporary = path + ".failing";
    if (std::FILE* file = std::fopen(temporary.c_str(), "wb"))
    {
        std::fwrite(bytes.data(), 1, bytes.size() / 2, file);
        std::fclose(file);
        std::remove(temporary.c_str());
    }
    return false;
}

std::string HeadlessPlatform::getLocation(const std::string& kind) const
{
    auto it = folders.find(kind);
    if (it != folders.end())
        return it->second;
    PosixSystem system;
    if (kind == Location::kDocuments || kind == Location::kSettings)
    {
        std::string base =
            system.getLocation(Location::kTemp) + "/tessel-headless-" + std::to_string(::getuid());
        return base + (kind == Location::kDocuments ? "/Documents" : "/Settings");
    }
    return system.getLocation(kind);
}

void HeadlessPlatform::getComputerInfo(Attributes& info) const
{
    info.setString("deviceModel", deviceModel);
    info.setString("deviceIdentifier", deviceIdentifier);
}

std::string HeadlessPlatform::getComputerName() const
{
    return computerName;
}

void HeadlessPlatform::showAlert(const std::string& text)
{
    alerts.push_back(text);
}

bool HeadlessPlatform::Recorder::start(const std::string& path, const std::vector<std::string>& arguments)
{
    owner.programs.push_back({path, arguments});
    return owner.startResult;
}

} // namespace Tessel
