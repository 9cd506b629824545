#include "tests/mirror/MirrorDump.h"

#include <csignal>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "tests/common/ChildProcess.h"

namespace FaultTest
{

bool isVolatilePath(const std::string& path)
{
    static const char* const kMoving[] = {"meter", "temperature"};
    for (const char* part : kMoving)
        if (path.find(part) != std::string::npos)
            return true;
    static const char* const kLights[] = {"clip",      "signal",     "limit",     "thermal",
                                          "excursion", "statusled1", "statusled2"};
    for (const char* light : kLights)
        if (path == light)
            return true;
    return false;
}

MirrorState parseMirrorState(const std::string& text)
{
    MirrorState state;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line))
    {
        const size_t first = line.find('\t');
        const size_t second = first == std::string::npos ? first : line.find('\t', first + 1);
        if (second == std::string::npos)
            continue;
        std::string path = line.substr(first + 1, second - first - 1);
        if (!isVolatilePath(path))
            state[line.substr(0, first)][path] = line.substr(second + 1);
    }
    return state;
}

void addRoomctlDump(MirrorState& state, const std::string& key, const std::string& dump)
{
    auto& params = state[key];
    std::istringstream in(dump);
    std::string line;
    while (std::getline(in, line))
    {
        const size_t tab = line.find('\t');
        if (tab == std::string::npos)
            continue;
        std::string path = line.substr(0, tab);
        if (!isVolatilePath(path))
            params[path] = line.substr(tab + 1);
    }
}

std::vector<std::string> compareStates(const MirrorState& truth, const MirrorState& mirror, size_t limit)
{
    std::vector<std::string> differences;
    auto note = [&](const std::string& line)
    {
        if (differences.size() < limit)
            differences.push_back(line);
    };
    for (const auto& [key, params] : truth)
    {
        auto found = mirror.find(key);
        if (found == mirror.end())
        {
            note(key + ": not mirrored");
            continue;
        }
        for (const auto& [path, text] : params)
        {
            auto value = found->second.find(path);
            if (value == found->second.end())
                note(key + " " + path + ": missing in the mirror, speaker \"" + text + "\"");
            else if (value->second != text)
                note(key + " " + path + ": mirror \"" + value->second + "\", speaker \"" + text + "\"");
        }
    }
    for (const auto& entry : mirror)
        if (!truth.count(entry.first))
            note(entry.first + ": mirrored but not on the network");
    return differences;
}

std::string requestAgentDump(NetworkTest::ChildProcess& agent, int& requests, std::chrono::milliseconds limit)
{
    agent.kill(SIGUSR1);
    const std::string path = agent.folder() + "/dump-" + std::to_string(++requests) + ".txt";
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (!std::filesystem::exists(path))
    {
        if (std::chrono::steady_clock::now() > deadline)
            return {};
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

int synchronisedInDump(const std::string& dump)
{
    std::istringstream header(dump);
    std::string word;
    int listed = 0, ready = 0;
    header >> word >> listed >> word >> ready;
    return ready;
}

long changesInDump(const std::string& dump)
{
    std::istringstream header(dump);
    std::string word;
    long count = 0;
    for (int i = 0; i < 5; ++i)
        header >> word;
    header >> count;
    return count;
}

} // namespace FaultTest
