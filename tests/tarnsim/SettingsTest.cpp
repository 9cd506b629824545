#include "core/FileStream.h"
#include "core/MemoryStream.h"
#include "tarnsim/FileIOManager.h"
#include "tarnsim/ModelTable.h"
#include "tarnsim/SettingFile.h"
#include "tarnsim/SimulatorLoop.h"
#include "tarnsim/SpeakerComponent.h"
#include "tests/tarnsim/SimTestSupport.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <thread>

#ifdef _WIN32
#include <process.h>
#include <stdlib.h>
#else
#include <unistd.h>
#endif

using namespace Core::Portable;
using TestSupport::ReportCapture;
using Vellaris::Tarn::SimulatorLoop;
using Vellaris::Tarn::SpeakerComponent;

namespace fs = std::filesystem;

namespace
{

void setVariable(const char* name, const char* value)
{
#ifdef _WIN32
    _putenv_s(name, value); // an empty value removes the variable
#else
    ::setenv(name, value, 1);
#endif
}

void clearVariable(const char* name)
{
#ifdef _WIN32
    _putenv_s(name, "");
#else
    ::unsetenv(name);
#endif
}

int processId()
{
#ifdef _WIN32
    return _getpid();
#else
    return ::getpid();
#endif
}

class TempFolder
{
public:
    TempFolder()
    {
        path_ = fs::temp_directory_path() /
                ("tarnsim-test-" + std::to_string(processId()) + "-" + std::to_string(counter()++));
        fs::create_directories(path_);
    }
    ~TempFolder() { fs::remove_all(path_); }
    const fs::path& path() const { return path_; }

private:
    static int& counter()
    {
        static int value = 0;
        return value;
    }
    fs::path path_;
};

std::string readFile(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void writeFile(const fs::path& path, const std::string& text)
{
    std::ofstream(path, std::ios::binary) << text;
}

// Loads a settings text into a fresh speaker and returns it.
std::unique_ptr<SpeakerComponent> speakerFrom(const TempFolder& folder, const std::string& text)
{
    TestSupport::registerSimulatorFormatsOnce();
    SettingFile settings;
    settings.setPath((folder.path() / "Tarn.settings").string());
    writeFile(settings.path(), text);
    settings.readNow();
    auto speaker = std::make_unique<SpeakerComponent>(nullptr, nullptr);
    speaker->restoreState(settings.attributes().getAttributes("Speaker"));
    return speaker;
}

float channelValue(SpeakerComponent& speaker, const char* name)
{
    return speaker.findDescendant("line/ch1")->findParameter(name)->getValue();
}

struct CountingHandler : FileIOCompletionHandler
{
    int* saves;
    int* loads;
    std::string* loaded;
    CountingHandler(int* s, int* l, std::string* text) : saves(s), loads(l), loaded(text) {}
    void saveCompleted(const std::string&) override { ++*saves; }
    void loadCompleted(MemoryStream* data, const std::string&) override
    {
        ++*loads;
        *loaded = data ? data->toString() : "<none>";
    }
};

template <class Condition>
bool pollUntil(Condition condition, std::chrono::milliseconds limit = std::chrono::milliseconds(5000))
{
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (std::chrono::steady_clock::now() < deadline)
    {
        if (condition())
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return condition();
}

} // namespace

#ifdef _WIN32
TEST(SettingsPath, IsUnderAppDataWithTheSystemsSeparatorAndItsFoldersAreMade)
{
    const char* saved = std::getenv("APPDATA");
    const std::string savedAppData = saved ? saved : "";
    setVariable("APPDATA", "C:\\Users\\someone\\AppData\\Roaming\\");
    EXPECT_EQ(SettingFile::settingsPath(),
              "C:\\Users\\someone\\AppData\\Roaming\\Vellaris\\Tarn\\Tarn.settings");

    TempFolder folder;
    setVariable("APPDATA", folder.path().string().c_str());
    SettingFile settings;
    settings.buildPath();
    EXPECT_EQ(settings.path(), (folder.path() / "Vellaris" / "Tarn" / "Tarn.settings").string());
    EXPECT_TRUE(fs::is_directory(folder.path() / "Vellaris" / "Tarn"));
    settings.attributes().setText("nickname", "Hall");
    EXPECT_TRUE(settings.writeNow());
    EXPECT_NE(readFile(folder.path() / "Vellaris" / "Tarn" / "Tarn.settings").find("\"nickname\": \"Hall\""),
              std::string::npos);
    setVariable("APPDATA", savedAppData.c_str());
}
#else
TEST(SettingsPath, FollowsAppDataElseTheConfigFolder)
{
    const char* saved = std::getenv("APPDATA");
    const std::string savedAppData = saved ? saved : "";
    setVariable("APPDATA", "/tmp/appdata");
    EXPECT_EQ(SettingFile::settingsPath(), "/tmp/appdata/Vellaris/Tarn/Tarn.settings");
    clearVariable("APPDATA");
    setVariable("XDG_CONFIG_HOME", "/tmp/xdg");
    EXPECT_EQ(SettingFile::settingsPath(), "/tmp/xdg/Vellaris/Tarn/Tarn.settings");
    clearVariable("XDG_CONFIG_HOME");
    setVariable("HOME", "/home/someone");
    EXPECT_EQ(SettingFile::settingsPath(), "/home/someone/.config/Vellaris/Tarn/Tarn.settings");
    if (saved)
        setVariable("APPDATA", savedAppData.c_str());
}
#endif

TEST(SpeakerState, RestoresStorableValuesFromTheFile)
{
    TempFolder folder;
    EXPECT_EQ(channelValue(*speakerFrom(folder, R"({"Speaker": {"line": {"ch1": {"mute": 1}}}})"), "mute"),
              1.0f);
    EXPECT_EQ(channelValue(*speakerFrom(folder, R"({"Speaker": {"line": {"ch1": {"mute": true}}}})"), "mute"),
              1.0f);
    auto speaker =
        speakerFrom(folder, R"({"Speaker": {"line": {"ch1": {"volume": null, "delay": 12, "meter": 0.5}}}})");
    EXPECT_EQ(channelValue(*speaker, "volume"), 0.0f) << "null leaves the default";
    EXPECT_EQ(channelValue(*speaker, "delay"), 12.0f) << "an integer sets a float";
    EXPECT_EQ(channelValue(*speaker, "meter"), 0.0f) << "not storable";
    EXPECT_EQ(
        channelValue(*speakerFrom(folder, "\xEF\xBB\xBF{\"Speaker\": {\"line\": {\"ch1\": {\"mute\": 1}}}}"),
                     "mute"),
        0.0f)
        << "a byte-order mark refuses the whole text";
}

TEST(SpeakerState, StoreAndLoadRoundTripThroughTheIndentedFile)
{
    TestSupport::registerSimulatorFormatsOnce();
    TempFolder folder;
    SpeakerComponent speaker(nullptr, nullptr);
    speaker.findParameter("nickname")->fromText("Joe's \"Hall\"", false);
    speaker.findDescendant("line/ch1")->findParameter("delay")->setValue(12.25f, false);
    speaker.findDescendant("line/ch1/eq")->findParameter("eqtype3")->setValue(1.0f, false);

    SettingFile settings;
    settings.setPath((folder.path() / "Tarn.settings").string());
    settings.attributes().setText("Other", "kept");
    speaker.storeState(settings.attributes().setAttributes("Speaker"));
    ASSERT_TRUE(settings.writeNow());

    const std::string text = readFile(settings.path());
    EXPECT_EQ(
        text.rfind("{\r\n\t\"Other\": \"kept\",\r\n\t\"Speaker\": \r\n\t{\r\n\t\t\"contour\": 0,\r\n", 0), 0u)
        << text.substr(0, 80);
    EXPECT_NE(text.find("\t\t\"nickname\": \"Joe\\'s \\\"Hall\\\"\",\r\n"), std::string::npos);
    EXPECT_EQ(text.back(), '}');
    EXPECT_EQ(text.find("networkstatus"), std::string::npos);
    EXPECT_EQ(text.find("\"meter\""), std::string::npos);

    auto restored = speakerFrom(folder, text);
    EXPECT_EQ(restored->findParameter("nickname")->text(), "Joe's \"Hall\"");
    EXPECT_EQ(channelValue(*restored, "delay"), 12.25f);
    EXPECT_EQ(restored->findDescendant("line/ch1/eq")->findParameter("eqtype3")->getValue(), 1.0f);
}

TEST(FileIO, BackgroundSaveReplacesTheFileAndReportsEvenWhenItFails)
{
    TempFolder folder;
    FileIOManager manager;
    int saves = 0, loads = 0;
    std::string loaded;
    SettingFile settings;
    settings.setPath((folder.path() / "Tarn.settings").string());
    writeFile(settings.path(), "old");
    settings.attributes().setInt64("x", 1);
    ASSERT_TRUE(
        settings.saveInBackground(manager, std::make_unique<CountingHandler>(&saves, &loads, &loaded)));
    EXPECT_TRUE(pollUntil(
        [&]
        {
            manager.deliver();
            return saves == 1;
        }));
    EXPECT_EQ(readFile(settings.path()), "{\r\n\t\"x\": 1\r\n}");

    settings.loadInBackground(manager, std::make_unique<CountingHandler>(&saves, &loads, &loaded));
    EXPECT_TRUE(pollUntil(
        [&]
        {
            manager.deliver();
            return loads == 1;
        }));
    EXPECT_EQ(loaded, "{\r\n\t\"x\": 1\r\n}");

    SettingFile nowhere;
    nowhere.setPath((folder.path() / "missing-folder" / "Tarn.settings").string());
    nowhere.attributes().setInt64("x", 1);
    ASSERT_TRUE(
        nowhere.saveInBackground(manager, std::make_unique<CountingHandler>(&saves, &loads, &loaded)));
    EXPECT_TRUE(pollUntil(
        [&]
        {
            manager.deliver();
            return saves == 2;
        }))
        << "a failed save still completes";
    EXPECT_EQ(manager.pendingCount(), 0);
}

TEST(FileIO, FailedWriteLeavesTheOldFileWhole)
{
    TempFolder folder;
    SettingFile settings;
    settings.setPath((folder.path() / "Tarn.settings").string());
    writeFile(settings.path(), "{\"Speaker\": {}}");
    // A folder where the temporary file would go makes the write fail.
    const fs::path blocker = folder.path() / "sub";
    fs::create_directories(blocker / "Tarn.settings");
    SettingFile blocked;
    blocked.setPath((blocker / "Tarn.settings").string());
    blocked.attributes().setInt64("x", 1);
    EXPECT_FALSE(blocked.writeNow());
    EXPECT_TRUE(fs::is_directory(blocker / "Tarn.settings"));
    EXPECT_EQ(readFile(settings.path()), "{\"Speaker\": {}}");
}

TEST(FileIO, ShutdownDropsPendingWorkWithoutTellingAnyone)
{
    TempFolder folder;
    int saves = 0, loads = 0;
    std::string loaded;
    {
        FileIOManager manager;
        SettingFile settings;
        settings.setPath((folder.path() / "Tarn.settings").string());
        for (int i = 0; i < 3; ++i)
            settings.saveInBackground(manager, std::make_unique<CountingHandler>(&saves, &loads, &loaded));
        manager.shutdown();
        EXPECT_EQ(manager.pendingCount(), 0);
        manager.deliver();
    }
    EXPECT_EQ(saves, 0);
}

TEST(SimulatorLoop, AliveLinesAndSavesFollowTheirIntervals)
{
    std::vector<std::string> steps;
    SimulatorLoop::Steps hooks;
    hooks.reportAlive = [&] { steps.push_back("alive"); };
    hooks.save = [&] { steps.push_back("save"); };
    hooks.idle = [&] { steps.push_back("idle"); };
    hooks.process = [&] { steps.push_back("process"); };
    hooks.deliver = [&] { steps.push_back("deliver"); };
    SimulatorLoop loop(hooks, 0);
    std::vector<int64_t> alive, saves;
    for (int64_t now = 0; now <= 60000; now += SimulatorLoop::kTickMs)
    {
        steps.clear();
        loop.tick(now);
        if (!steps.empty() && steps.front() == "alive")
            alive.push_back(now);
        for (const std::string& step : steps)
        {
            if (step == "save")
                saves.push_back(now);
        }
        ASSERT_EQ(std::vector<std::string>(steps.end() - 3, steps.end()),
                  (std::vector<std::string>{"idle", "process", "deliver"}));
    }
    EXPECT_EQ(alive, (std::vector<int64_t>{20020, 40040}));
    ASSERT_GE(saves.size(), 11u);
    EXPECT_EQ(saves[0], 5020);
    EXPECT_EQ(saves[1], 10040);
}

TEST(ModelTable, ChoosesTheExactNameOrTheDefault)
{
    ReportCapture reports;
    const char* exact[] = {"tarnsim", "TX40S"};
    EXPECT_STREQ(Vellaris::Tarn::chooseSpeakerModel(2, exact).serialNumber, "666666666");
    EXPECT_EQ(ReportCapture::lines(), (std::vector<std::string>{"Checking arguments..."}));
    ReportCapture::lines().clear();
    const char* wrongCase[] = {"tarnsim", "tx40s", "TX20A"};
    EXPECT_STREQ(Vellaris::Tarn::chooseSpeakerModel(3, wrongCase).name, "TX10A");
    EXPECT_EQ(ReportCapture::lines(),
              (std::vector<std::string>{"Checking arguments...",
                                        "No speaker specified in args list, defaulting to TX10A"}));
    ReportCapture::lines().clear();
    const char* none[] = {"tarnsim"};
    EXPECT_STREQ(Vellaris::Tarn::chooseSpeakerModel(1, none).serialNumber, "123456789");
    EXPECT_EQ(ReportCapture::lines(),
              (std::vector<std::string>{"No speaker specified in args list, defaulting to TX10A"}));
}

TEST(FileIO, AnEmptySetIsNeverWrittenAsAFile)
{
    TempFolder folder;
    FileIOManager manager;
    int saves = 0, loads = 0;
    std::string loaded;
    SettingFile settings;
    settings.setPath((folder.path() / "Tarn.settings").string());
    EXPECT_FALSE(settings.writeNow());
    EXPECT_FALSE(
        settings.saveInBackground(manager, std::make_unique<CountingHandler>(&saves, &loads, &loaded)));
    EXPECT_EQ(manager.pendingCount(), 0);
    EXPECT_FALSE(fs::exists(settings.path()))
        << "no \"{\" CR LF CR LF \"}\" for a simulator that had no file";

    Attributes state;
    state.setText("nickname", "Hall");
    settings.storeSpeakerState(state);
    settings.storeSpeakerState(state);
    ASSERT_TRUE(settings.writeNow());
    EXPECT_EQ(readFile(settings.path()),
              "{\r\n\t\"Speaker\": \r\n\t{\r\n\t\t\"nickname\": \"Hall\"\r\n\t}\r\n}")
        << "the state replaces the member, never adds a second one";
}

// A pipe in the file system stands for a hung disk; Windows has none.
#ifndef _WIN32
TEST(FileIO, AStalledWorkerHoldsOnlyTheNewestPendingSave)
{
    TempFolder folder;
    FileIOManager manager;
    int saves = 0, loads = 0;
    std::string loaded;
    // Reading a pipe nobody writes blocks the worker as a hung disk would.
    const fs::path pipe = folder.path() / "hung";
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    manager.loadInBackground(pipe.string(), std::make_unique<CountingHandler>(&saves, &loads, &loaded));

    SettingFile settings;
    settings.setPath((folder.path() / "Tarn.settings").string());
    for (int i = 1; i <= 5; ++i)
    {
        settings.attributes().setInt64("generation", i);
        ASSERT_TRUE(
            settings.saveInBackground(manager, std::make_unique<CountingHandler>(&saves, &loads, &loaded)));
    }
    EXPECT_EQ(manager.pendingCount(), 2) << "the load and one save";

    // The disk comes back: the pipe gets a writer, which closes at once.
    {
        std::ofstream release(pipe);
    }
    EXPECT_TRUE(pollUntil(
        [&]
        {
            manager.deliver();
            return manager.pendingCount() == 0;
        }));
    EXPECT_EQ(loads, 1);
    EXPECT_EQ(saves, 1);
    EXPECT_EQ(readFile(settings.path()), "{\r\n\t\"generation\": 5\r\n}");

    // Once the worker took a save, the next one is queued after it.
    settings.attributes().setInt64("generation", 6);
    ASSERT_TRUE(
        settings.saveInBackground(manager, std::make_unique<CountingHandler>(&saves, &loads, &loaded)));
    EXPECT_TRUE(pollUntil(
        [&]
        {
            manager.deliver();
            return saves == 2;
        }));
    EXPECT_EQ(readFile(settings.path()), "{\r\n\t\"generation\": 6\r\n}");
}
#endif

TEST(FileIO, StaleTemporariesOfDeadWritersAreRemovedAndLiveOnesKept)
{
    TempFolder folder;
    const fs::path target = folder.path() / "Tarn.settings";
    writeFile(target, "{}");
    // A process id that cannot be running: beyond the largest Linux hands out, and odd (Windows
    // gives out multiples of four). The live writer is this test itself.
    const fs::path dead = folder.path() / ".Tarn.settings.tmp4194305_0";
    const fs::path live = folder.path() / (".Tarn.settings.tmp" + std::to_string(processId()) + "_3");
    const fs::path other = folder.path() / ".Other.settings.tmp4194305_0";
    for (const fs::path& file : {dead, live, other})
        writeFile(file, "{\"cut");
    EXPECT_EQ(FileStream::removeStaleTemporaries(target.string()), 1);
    EXPECT_FALSE(fs::exists(dead));
    EXPECT_TRUE(fs::exists(live)) << "a writer that still runs keeps its file";
    EXPECT_TRUE(fs::exists(other)) << "another file's temporaries are not ours";
    EXPECT_EQ(readFile(target), "{}");
}

TEST(SimulatorLoop, TheSaveIntervalComesFromTheEnvironmentWhenUsable)
{
    struct Case
    {
        const char* text;
        int64_t ms;
    } cases[] = {{nullptr, SimulatorLoop::kSaveIntervalMs},
                 {"", SimulatorLoop::kSaveIntervalMs},
                 {"250", 250},
                 {"0", SimulatorLoop::kSaveIntervalMs},
                 {"-5", SimulatorLoop::kSaveIntervalMs},
                 {"12ms", SimulatorLoop::kSaveIntervalMs}};
    for (const Case& c : cases)
    {
        if (c.text)
            setVariable("TARNSIM_SAVE_INTERVAL_MS", c.text);
        else
            clearVariable("TARNSIM_SAVE_INTERVAL_MS");
        EXPECT_EQ(SimulatorLoop::saveIntervalFromEnvironment(), c.ms) << (c.text ? c.text : "unset");
    }
    clearVariable("TARNSIM_SAVE_INTERVAL_MS");

    int saves = 0;
    SimulatorLoop::Steps hooks;
    hooks.save = [&] { ++saves; };
    SimulatorLoop loop(hooks, 0);
    loop.setSaveInterval(100);
    for (int64_t now = 0; now <= 1000; now += 20)
        loop.tick(now);
    EXPECT_EQ(saves, 8) << "a save each time more than 100 ms passed";
}
