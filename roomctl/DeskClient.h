#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace Vellaris::Tools
{

// One OSC message as the desk sent it: the address and the arguments, each as text ("%g" for
// numbers) with its OSC type letter.
struct DeskReply
{
    std::string path;
    std::string types;
    std::vector<std::string> arguments;
};

// A UDP client of the desk's remote control: sends OSC messages to one host and port (encoded by
// liblo) and receives the replies that come back from there.
class DeskClient
{
public:
    DeskClient() = default;
    ~DeskClient();
    DeskClient(const DeskClient&) = delete;
    DeskClient& operator=(const DeskClient&) = delete;

    // Opens the socket towards `host` (an IP address or "localhost") and `port`; false with
    // getError() set when that is not possible.
    bool open(const std::string& host, int port);
    const std::string& getError() const { return error; }

    // Sends `path` with text arguments (none: a query or an invocation). False when it could not
    // be sent.
    bool send(const std::string& path, const std::vector<std::string>& textArguments = {});
    // Waits at most `timeoutMs` for the next message; false when none came (or on a signal).
    bool receive(DeskReply& reply, int64_t timeoutMs);

private:
    int fd = -1;
    std::string error;
};

// "roomctl desk ...": argv[0] is "desk". Returns the exit status (0 done, 1 no desk answered in
// time, 2 usage error, 3 the desk answered with /error).
int runDesk(int argc, char** argv);

} // namespace Vellaris::Tools
