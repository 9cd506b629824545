// Writers killed at random moments: the simulator saving its settings (every millisecond here),
// and the desk's core saving a venue with its summary and a preset. After every SIGKILL each file
// is a whole version that parses, and once the writer has started again nothing a dead writer left
// (".<name>.tmp<pid>_<n>") lies beside it. Then the user's case: a nickname set through roomctl
// survives a kill -9 of the simulator once a periodic save has passed.
#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

#include "core/AttributeQueue.h"
#include "core/Attributes.h"
#include "core/JsonReader.h"
#include "tests/common/ChildProcess.h"

namespace fs = std::filesystem;
using Core::Portable::Attributes;
using Core::Portable::JsonReader;

namespace
{

// Under the sanitizers every start of a writer costs ten times as much: a quarter of the kills
// there, the whole hundred in the optimised tree.
#if defined(__SANITIZE_ADDRESS__)
#define ROOMDESK_SANITIZED 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define ROOMDESK_SANITIZED 1
#endif
#endif
#ifdef ROOMDESK_SANITIZED
constexpr int kKillsPerWriter = 25;
#else
constexpr int kKillsPerWriter = 100;
#endif

std::string readFile(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// The file parses completely (a cut file does not).
bool parsesWhole(const fs::path& path, Attributes& into)
{
    const std::string text = readFile(path);
    return !text.empty() && JsonReader::parse(text.data(), text.size(), into);
}

// Temporary files of writers other than `livePid` in `folder`.
std::vector<std::string> leftovers(const fs::path& folder, pid_t livePid)
{
    std::vector<std::string> found;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(folder, error))
    {
        const std::string name = entry.path().filename().string();
        const size_t tmp = name.find(".tmp");
        if (name.empty() || name[0] != '.' || tmp == std::string::npos)
            continue;
        if (std::strtol(name.c_str() + tmp + 4, nullptr, 10) != livePid)
            found.push_back(name);
    }
    return found;
}

class TempFolder
{
public:
    explicit TempFolder(const std::string& tag)
        : path_(fs::temp_directory_path() / ("saves-" + tag + "-" + std::to_string(::getpid())))
    {
        fs::remove_all(path_);
        fs::create_directories(path_);
    }
    ~TempFolder()
    {
        std::error_code ignored;
        fs::remove_all(path_, ignored);
    }
    const fs::path& path() const { return path_; }

private:
    fs::path path_;
};

// One writer process; its standard output goes to a file beside the data. Killed when dropped.
class Writer
{
public:
    Writer(const std::string& program, const std::vector<std::string>& arguments, const fs::path& log,
           const std::map<std::string, std::string>& environment)
        : log_(log)
    {
        // Emptied here, not in the child: the output of an earlier writer must never be read as ours.
        std::ofstream(log, std::ios::trunc).close();
        pid_ = ::fork();
        if (pid_ == 0)
        {
            const int out = ::open(log.c_str(), O_WRONLY | O_APPEND);
            ::dup2(out, STDOUT_FILENO);
            ::dup2(out, STDERR_FILENO);
            for (const auto& [name, value] : environment)
                ::setenv(name.c_str(), value.c_str(), 1);
            std::vector<std::string> args = arguments;
            std::vector<char*> argv{const_cast<char*>(program.c_str())};
            for (std::string& argument : args)
                argv.push_back(argument.data());
            argv.push_back(nullptr);
            ::execv(program.c_str(), argv.data());
            ::_exit(127);
        }
    }
    ~Writer() { killNow(); }

    pid_t pid() const { return pid_; }
    std::string output() const { return readFile(log_); }
    // Waits until the output holds `text`; false when the writer ended or 20 s passed.
    bool waitFor(const std::string& text)
    {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (output().find(text) == std::string::npos)
        {
            int status = 0;
            if (std::chrono::steady_clock::now() > deadline || ::waitpid(pid_, &status, WNOHANG) == pid_)
                return false;
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        return true;
    }
    void killNow()
    {
        if (pid_ <= 0)
            return;
        ::kill(pid_, SIGKILL);
        int status = 0;
        ::waitpid(pid_, &status, 0);
        pid_ = -1;
    }

private:
    fs::path log_;
    pid_t pid_ = -1;
};

// A moment within the next `maxMs` milliseconds, in microseconds.
std::chrono::microseconds randomMoment(std::mt19937& random, int maxMs)
{
    return std::chrono::microseconds(std::uniform_int_distribution<int>(0, maxMs * 1000)(random));
}

} // namespace

TEST(SavesSurviveKills, SimulatorSettingsAreAlwaysAWholeVersion)
{
    NetworkTest::useNewDiscoveryScope();
    TempFolder appData("sim");
    const fs::path folder = appData.path() / "Vellaris" / "Tarn";
    fs::create_directories(folder);
    const fs::path settings = folder / "Tarn.settings";
    std::mt19937 random(19);
    int cut = 0; // kills that left a temporary file: the kill fell inside a save
    for (int run = 1; run <= kKillsPerWriter; ++run)
    {
        // Each run starts from a version of its own, which the simulator keeps and saves again.
        const std::string old = "{\"run\": " + std::to_string(run) + ", \"Speaker\": {\"nickname\": \"Run " +
                                std::to_string(run) + "\"}}";
        std::ofstream(settings, std::ios::binary | std::ios::trunc) << old;
        Writer sim(TARNSIM_PATH, {"TX10A"}, appData.path() / "console.txt",
                   {{"APPDATA", appData.path().string()}, {"TARNSIM_SAVE_INTERVAL_MS", "1"}});
        ASSERT_TRUE(sim.waitFor("Save file")) << sim.output();
        EXPECT_EQ(leftovers(folder, sim.pid()), std::vector<std::string>{})
            << "run " << run << ": the start removes what a killed simulator left";
        std::this_thread::sleep_for(randomMoment(random, 40));
        sim.killNow();

        cut += leftovers(folder, 0).empty() ? 0 : 1;
        Attributes read;
        ASSERT_TRUE(parsesWhole(settings, read)) << "run " << run << ":\n" << readFile(settings);
        EXPECT_EQ(read.getInt64("run", 0), run);
        const Attributes* speaker = read.getAttributes("Speaker");
        ASSERT_NE(speaker, nullptr);
        EXPECT_EQ(speaker->getText("nickname"), "Run " + std::to_string(run));
        if (readFile(settings) != old)
            EXPECT_TRUE(speaker->getAttributes("line")) << "a new version holds the whole state";
    }
    std::printf("%d of %d kills fell inside a save\n", cut, kKillsPerWriter);
}

TEST(SavesSurviveKills, VenueSummaryAndPresetAreAlwaysAWholeVersion)
{
    TempFolder documents("desk");
    std::mt19937 random(23);
    int cut = 0;
    fs::path venueFile, presetFile;
    for (int run = 1; run <= kKillsPerWriter; ++run)
    {
        Writer writer(WRITER_PATH, {documents.path().string()}, documents.path() / "console.txt", {});
        ASSERT_TRUE(writer.waitFor("saved\n")) << writer.output();
        const std::string output = writer.output();
        std::istringstream lines(output);
        std::string word, path;
        while (lines >> word >> path)
        {
            if (word == "venue")
                venueFile = path;
            else if (word == "preset")
                presetFile = path;
        }
        ASSERT_FALSE(venueFile.empty()) << output;
        const fs::path cacheFile =
            venueFile.parent_path().parent_path() / "Cache" / (venueFile.stem().string() + ".cache");
        for (const fs::path& folder :
             {venueFile.parent_path(), cacheFile.parent_path(), presetFile.parent_path()})
            EXPECT_EQ(leftovers(folder, writer.pid()), std::vector<std::string>{})
                << "run " << run << ": nothing a killed desk left outlives the next start and save";
        std::this_thread::sleep_for(randomMoment(random, 25));
        writer.killNow();

        for (const fs::path& folder :
             {venueFile.parent_path(), cacheFile.parent_path(), presetFile.parent_path()})
            cut += leftovers(folder, 0).empty() ? 0 : 1;
        Attributes venue, cache, preset;
        ASSERT_TRUE(parsesWhole(venueFile, venue)) << "run " << run;
        ASSERT_TRUE(parsesWhole(cacheFile, cache)) << "run " << run;
        ASSERT_TRUE(parsesWhole(presetFile, preset)) << "run " << run;
        const Core::Portable::AttributeQueue* rooms = venue.getQueue("rooms");
        ASSERT_TRUE(rooms && rooms->count() == 13) << "run " << run;
        const Attributes* first = rooms->at(0).attributes();
        ASSERT_NE(first, nullptr);
        EXPECT_EQ(std::string(first->getText("title")).rfind("Gen ", 0), 0u);
        EXPECT_EQ(cache.getText("name"), "Crash");
        const Attributes* speaker = preset.getAttributes("Speaker");
        ASSERT_NE(speaker, nullptr);
        EXPECT_GE(speaker->getDouble("generation", 0), 1.0);
        EXPECT_EQ(speaker->getText("notes").size(), 3000u);
    }
    std::printf("%d of %d kills left a temporary file behind\n", cut, kKillsPerWriter);
}

// The user's case: a powered speaker switched off at the wall keeps what was set before its last
// periodic save.
TEST(SavesSurviveKills, ANicknameSetThroughRoomctlSurvivesKillMinusNine)
{
    NetworkTest::useNewDiscoveryScope();
    TempFolder appData("nickname");
    const std::map<std::string, std::string> environment{{"APPDATA", appData.path().string()}};
    const std::string saved =
        "Save file \"" + (appData.path() / "Vellaris/Tarn/Tarn.settings").string() + "\"";
    {
        Writer sim(TARNSIM_PATH, {"TX20A"}, appData.path() / "first.txt", environment);
        ASSERT_TRUE(sim.waitFor("Tarnsim launced"));
        {
            NetworkTest::ChildProcess set(ROOMCTL_PATH, {"set", "987654321", "nickname", "Balcony"});
            ASSERT_TRUE(set.waitForEnd(std::chrono::seconds(20)));
            ASSERT_EQ(set.exitStatus(), 0) << set.output() << set.errors();
        }
        // Two completions after the change: the later save began after it.
        const auto count = [&]
        {
            const std::string text = sim.output();
            size_t n = 0;
            for (size_t at = text.find(saved); at != std::string::npos; at = text.find(saved, at + 1))
                ++n;
            return n;
        };
        const size_t before = count();
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (count() < before + 2 && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        ASSERT_GE(count(), before + 2) << sim.output();
        sim.killNow();
    }
    Writer again(TARNSIM_PATH, {"TX20A"}, appData.path() / "second.txt", environment);
    ASSERT_TRUE(again.waitFor("Tarnsim launced"));
    NetworkTest::ChildProcess get(ROOMCTL_PATH, {"get", "987654321", "nickname"});
    ASSERT_TRUE(get.waitForEnd(std::chrono::seconds(20)));
    EXPECT_EQ(get.exitStatus(), 0) << get.errors();
    EXPECT_EQ(get.output(), "Balcony\n");
}
