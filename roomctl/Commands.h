#pragma once

#include <cstdint>
#include <string>

namespace Vellaris::Tools
{

class MirrorSession;

// Exit statuses of roomctl.
enum ExitStatus : int
{
    kExitOk = 0,
    kExitSpeakerNotFound = 1,
    kExitUsage = 2,
    kExitParameter = 3,
};

// Settings every command shares.
struct CommandOptions
{
    int64_t timeoutMs = 5000; // finding and synchronising a speaker, waiting for an echo
    bool stampLines = false;  // watch: each line also gives when the change arrived
};

// The commands of roomctl. Each prints its results on standard output and its errors, in plain
// words, on standard error, and returns the exit status.
int listSpeakers(MirrorSession& session, int64_t waitMs);
int getParameter(MirrorSession& session, const CommandOptions& options, const std::string& serial,
                 const std::string& path);
int setParameter(MirrorSession& session, const CommandOptions& options, const std::string& serial,
                 const std::string& path, const std::string& text);
int dumpSpeaker(MirrorSession& session, const CommandOptions& options, const std::string& serial);
// forMs < 0: until interrupted.
int watchSpeaker(MirrorSession& session, const CommandOptions& options, const std::string& serial,
                 int64_t forMs);
int pingSpeaker(MirrorSession& session, const CommandOptions& options, const std::string& serial, int count);

} // namespace Vellaris::Tools
