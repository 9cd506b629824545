#pragma once

#include <atomic>
#include <map>
#include <string>
#include <vector>

#include "tessel/IAlertService.h"
#include "tessel/ISystem.h"
#include "tessel/IWindowManager.h"
#include "tessel/EventLoopBase.h"
#include "tessel/LocalFileSystem.h"
#include "tessel/PlatformBase.h"
#include "tessel/SharedPtr.h"
#include "tessel/SignalHandler.h"

namespace Tessel
{

// The platform for tests and tools: no windows, a virtual clock that only moves when the test
// advances it, records of what the program asked for, real files under folders the test chooses.
//
//     Tessel::HeadlessPlatform platform;            // installs itself
//     platform.setFolder(Tessel::Location::kDocuments, tempDir);
//     component->doSomething();
//     platform.advance(1500);                        // posted messages and idle turns run here
//
// Idle turns happen every kIdleStepMs of virtual time (and at the end of every advance); posted
// messages run at their exact due times, before the idle turn of that moment.
class HeadlessPlatform : public PlatformBase,
                         private EventLoopBase,
                         private IWindowManager,
                         private ISystem,
                         private IAlertService
{
public:
    static constexpr int64_t kIdleStepMs = 10;

    struct OpenedWindow
    {
        std::string formName;
        SharedPtr<IUnknown> controller;
        bool show;
    };
    struct StartedProgram
    {
        std::string path;
        std::vector<std::string> arguments;
    };

    // `install` makes it the process's platform (and the destructor uninstalls it again).
    explicit HeadlessPlatform(bool install = true);
    ~HeadlessPlatform() override;

    // The clock: advance(ms) first delivers messages already due, then moves virtual time forward
    // in idle steps, delivering due posted messages (in due order, each at its due time) and
    // ticking the idle tasks at each step. advance(0) runs one turn at the current time (messages
    // posted before it that are due, then the idle tasks).
    void advance(int64_t ms);
    // Delivers messages due now, again and again until none is left (at most 1000 rounds), without
    // idle turns and without moving the clock.
    void flush();
    int64_t now() const { return clock.load(); }
    // Sets the clock (for example before starting a test at some moment).
    void setTime(int64_t ticks) { clock = ticks; }

    // Folders and facts. Unset folders: support = the program's folder, temp = the system's
    // temporary folder, documents and settings = "Documents" and "Settings" inside
    // "<temp>/tessel-headless-<uid>" (never the user's real folders; not created).
    void setFolder(const std::string& kind, const std::string& path) { folders[kind] = path; }
    void setComputerName(const std::string& name) { computerName = name; }
    void setComputerInfo(const std::string& model, const std::string& identifier);

    // Records.
    const std::vector<std::string>& getAlerts() const { return alerts; }
    const std::vector<OpenedWindow>& getOpenedWindows() const { return windows; }
    const std::vector<std::string>& getBringToFrontRequests() const { return frontRequests; }
    const std::vector<StartedProgram>& getStartedPrograms() const { return programs; }
    // Debug output split into lines (without their line feeds; an unfinished last line included).
    std::vector<std::string> getDebugOutput() const;
    const std::vector<std::string>& getWarnings() const { return warningTexts; }
    void clearRecords();
    // Answers for the recorded requests (default true).
    void setBringToFrontResult(bool result) { frontResult = result; }
    void setStartProgramResult(bool result) { startResult = result; }
    // Also write debug output and warnings to standard error (default off).
    void setEchoToStderr(bool on) { echo = on; }
    // Forms that openWindow accepts; empty (the default) accepts every name.
    void setKnownForms(const std::vector<std::string>& forms) { knownForms = forms; }
    // Files: with `on`, every atomic write of the file system fails the way a full disk makes it
    // fail (part of the bytes reach the temporary file, which is then removed; the old file stays).
    void setWritesFail(bool on) { fileSystem.writesFail = on; }
    // Start-up and loop state.
    bool isQuitRequested() const { return quitRequested; }
    int getExitCode() const { return exitCode; }

    using EventLoopBase::getIdleTasks;
    SignalHandler& getSignals() { return signals; }

    // IPlatform.
    IGUI* getGUI() override { return this; }
    ISignalHandler* getSignalHandler() override { return &signals; }
    IWindowManager* getWindowManager() override { return this; }
    IFileSystem* getFileSystem() override { return &fileSystem; }
    ISystem* getSystem() override { return this; }
    IExecutableLoader* getExecutableLoader() override { return &recorder; }
    IAlertService* getAlertService() override { return this; }
    int64_t getSystemTicks() override { return clock.load(); }
    void debugPrint(const char* text) override;
    void reportWarning(const char* text) override;

private:
    // IGUI. runEventLoop calls the start-up object and then advances the clock in idle steps
    // until quit() or until nothing is left that could ever run (no idle task, no posted message).
    bool initialize(const std::vector<std::string>& arguments, IApplicationStartup* startup) override;
    int runEventLoop() override;
    void quit(int code) override;
    // IWindowManager.
    bool openWindow(const std::string& formName, IUnknown* controller, bool show) override;
    bool bringToFront(const std::string& applicationId, bool activate) override;
    // ISystem.
    std::string getLocation(const std::string& kind) const override;
    void getComputerInfo(Attributes& info) const override;
    std::string getComputerName() const override;
    // IAlertService.
    void showAlert(const std::string& text) override;

    // Records started programs instead of starting them.
    class Recorder : public IExecutableLoader
    {
    public:
        explicit Recorder(HeadlessPlatform& owner) : owner(owner) {}
        bool start(const std::string& path, const std::vector<std::string>& arguments) override;

    private:
        HeadlessPlatform& owner;
    };

    // The local file system with a switch that makes writes fail.
    class HeadlessFileSystem : public LocalFileSystem
    {
    public:
        bool writeFile(const std::string& url, std::string_view bytes) override;
        bool writesFail = false;
    };

    void turn();

    bool installed;
    IPlatform* previous = nullptr;
    // Atomic because messages may be posted (and stamped) from other threads.
    std::atomic<int64_t> clock{0};
    SignalHandler signals;
    HeadlessFileSystem fileSystem;
    Recorder recorder{*this};
    std::map<std::string, std::string> folders;
    std::string computerName = "headless";
    std::string deviceModel = "Headless";
    std::string deviceIdentifier = "{00000000-0000-0000-0000-000000000000}";
    std::vector<std::string> alerts;
    std::vector<OpenedWindow> windows;
    std::vector<std::string> frontRequests;
    std::vector<StartedProgram> programs;
    std::vector<std::string> debugLines;
    std::string debugPartial;
    std::vector<std::string> warningTexts;
    std::vector<std::string> knownForms;
    IApplicationStartup* startupObject = nullptr;
    bool frontResult = true;
    bool startResult = true;
    bool echo = false;
    bool quitRequested = false;
    int exitCode = 0;
};

} // namespace Tessel
