#pragma once

// What a mirror shows of its speakers, as text a test or benchmark can compare: one line per
// steady parameter, "KEY<TAB>PATH<TAB>TEXT", keys being serial numbers or "SERIAL@HOST:PORT".
// Meters, temperatures and status lights are left out: they move on their own.

#include <chrono>
#include <map>
#include <string>
#include <vector>

namespace NetworkTest
{
class ChildProcess;
}

namespace FaultTest
{

// KEY -> PATH -> TEXT
using MirrorState = std::map<std::string, std::map<std::string, std::string>>;

// Whether a parameter path names something the speaker changes by itself.
bool isVolatilePath(const std::string& path);

// Reads "KEY<TAB>PATH<TAB>TEXT" lines; other lines are skipped.
MirrorState parseMirrorState(const std::string& text);
// Reads the output of "roomctl dump SERIAL" ("PATH<TAB>TEXT") as the state of `key`.
void addRoomctlDump(MirrorState& state, const std::string& key, const std::string& dump);

// The differences of `mirror` from `truth`, one line each ("KEY PATH: mirror X, speaker Y"), at
// most `limit` of them; a speaker missing on either side is one line. Empty when they agree.
std::vector<std::string> compareStates(const MirrorState& truth, const MirrorState& mirror,
                                       size_t limit = 20);

// Asks a running mirror agent for what it shows (SIGUSR1) and waits at most `limit` for the
// file it answers with; `requests` counts the agent's answers so far. "" when none came.
std::string requestAgentDump(NetworkTest::ChildProcess& agent, int& requests,
                             std::chrono::milliseconds limit);
// From the header line of an agent's dump: the speakers it has synchronised, the changes it made.
int synchronisedInDump(const std::string& dump);
long changesInDump(const std::string& dump);

} // namespace FaultTest
