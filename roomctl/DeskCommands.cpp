// "roomctl desk": the running roomdesk through its remote control (OSC over UDP).
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include <chrono>

#include "roomctl/Commands.h"
#include "roomctl/DeskClient.h"

namespace Vellaris::Tools
{

namespace
{
constexpr int64_t kAnswerMs = 2000;
// A watch renews its lease well before the desk's 10 s run out.
constexpr int64_t kRenewMs = 4000;

const char* const kDeskUsage =
    "usage: roomctl desk [--host H] [--port P] COMMAND ADDRESS ...\n"
    "\n"
    "Commands (the desk is roomdesk, listening on UDP 127.0.0.1:9000 unless told otherwise):\n"
    "  get ADDRESS              the value's text form\n"
    "  set ADDRESS VALUE        sets the value from its text form (\"-6\", \"2.5k\", \"On\") and prints the\n"
    "                           value the desk then holds\n"
    "  invoke ADDRESS           runs the command at ADDRESS\n"
    "  watch ADDRESS [--for S]  the value now and on each change, ADDRESS<TAB>TEXT (until Ctrl+C)\n"
    "  list ADDRESS             what ADDRESS holds, one name a line (components end in \"/\")\n"
    "\n"
    "ADDRESS is /roomdesk/<component path>/<name> (what the skin address ://roomdesk/... names) or\n"
    "/speaker/<serial>/<path> (a speaker's parameter, e.g. /speaker/987654321/line/ch1/volume).\n"
    "\n"
    "Exit status: 0 done, 1 no desk answered within 2 s, 2 usage error, 3 the desk refused (the reason\n"
    "goes to standard error).\n";

volatile std::sig_atomic_t interrupted = 0;

void onInterrupt(int)
{
    interrupted = 1;
}

int usage(const std::string& text)
{
    std::fprintf(stderr, "roomctl desk: %s\n(roomctl desk --help shows how to use it)\n", text.c_str());
    return kExitUsage;
}

int noAnswer(const DeskClient& client, const std::string& host, int port)
{
    std::string why = client.getError().empty() ? std::string() : " (" + client.getError() + ")";
    std::fprintf(stderr, "roomctl desk: no desk answered on %s:%d within 2 s%s\n", host.c_str(), port,
                 why.c_str());
    return kExitSpeakerNotFound;
}

int refused(const DeskReply& reply)
{
    std::fprintf(stderr, "roomctl desk: %s: %s\n",
                 reply.arguments.size() > 0 ? reply.arguments[0].c_str() : "",
                 reply.arguments.size() > 1 ? reply.arguments[1].c_str() : "refused");
    return kExitParameter;
}

// Waits for the answer to `address` (or an /error); 0 when it came, else the exit status.
int awaitAnswer(DeskClient& client, const std::string& address, DeskReply& reply, const std::string& host,
                int port)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kAnswerMs);
    for (;;)
    {
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline -
                                                                          std::chrono::steady_clock::now());
        if (left.count() <= 0 || !client.receive(reply, left.count()))
            return noAnswer(client, host, port);
        if (reply.path == "/error")
            return refused(reply);
        if (reply.path == address)
            return kExitOk;
    }
}

std::string textOf(const DeskReply& reply)
{
    return reply.arguments.size() > 1 ? reply.arguments[1]
           : reply.arguments.empty()  ? ""
                                      : reply.arguments[0];
}

int watch(DeskClient& client, const std::string& address, int64_t forMs, const std::string& host, int port)
{
    DeskReply reply;
    if (!client.send("/subscribe", {address}))
        return noAnswer(client, host, port);
    if (int status = awaitAnswer(client, address, reply, host, port))
        return status;
    std::printf("%s\t%s\n", address.c_str(), textOf(reply).c_str());
    std::fflush(stdout);
    std::signal(SIGINT, onInterrupt);
    std::signal(SIGTERM, onInterrupt);
    using Clock = std::chrono::steady_clock;
    const auto end = forMs < 0 ? Clock::time_point::max() : Clock::now() + std::chrono::milliseconds(forMs);
    auto nextRenew = Clock::now() + std::chrono::milliseconds(kRenewMs);
    int status = kExitOk;
    while (!interrupted && Clock::now() < end)
    {
        auto now = Clock::now();
        if (now >= nextRenew)
        {
            client.send("/renew", {address});
            nextRenew = now + std::chrono::milliseconds(kRenewMs);
        }
        auto until = std::min(end, nextRenew);
        int64_t wait = std::chrono::duration_cast<std::chrono::milliseconds>(until - now).count();
        if (!client.receive(reply, std::max<int64_t>(1, std::min<int64_t>(wait, 200))))
            continue;
        if (reply.path == "/error")
        {
            status = refused(reply);
            break;
        }
        if (reply.path == address)
        {
            std::printf("%s\t%s\n", address.c_str(), textOf(reply).c_str());
            std::fflush(stdout);
        }
    }
    client.send("/unsubscribe", {address});
    std::signal(SIGINT, SIG_DFL);
    std::signal(SIGTERM, SIG_DFL);
    return status;
}
} // namespace

int runDesk(int argc, char** argv)
{
    std::string host = "127.0.0.1";
    int port = 9000;
    int64_t forMs = -1;
    std::vector<std::string> operands;
    for (int i = 1; i < argc; ++i)
    {
        std::string arg = argv[i];
        auto value = [&](std::string& out)
        {
            if (i + 1 >= argc)
                return false;
            out = argv[++i];
            return true;
        };
        std::string text;
        if (arg == "--help" || arg == "-h")
        {
            std::fputs(kDeskUsage, stdout);
            return kExitOk;
        }
        if (arg == "--host")
        {
            if (!value(host))
                return usage("--host needs an address");
        }
        else if (arg == "--port")
        {
            char* end = nullptr;
            if (!value(text))
                return usage("--port needs a number");
            long number = std::strtol(text.c_str(), &end, 10);
            if (text.empty() || *end || number < 1 || number > 65535)
                return usage("--port needs a number from 1 to 65535");
            port = int(number);
        }
        else if (arg == "--for")
        {
            char* end = nullptr;
            if (!value(text))
                return usage("--for needs a number of seconds");
            double seconds = std::strtod(text.c_str(), &end);
            if (text.empty() || *end || !(seconds >= 0) || seconds > 1e7)
                return usage("--for needs a number of seconds");
            forMs = int64_t(seconds * 1000.0 + 0.5);
        }
        else if (arg == "--")
        {
            while (++i < argc)
                operands.emplace_back(argv[i]);
        }
        else
            operands.push_back(arg); // values such as "-6" are operands too
    }
    if (operands.empty())
        return usage("no command given");
    const std::string command = operands[0];
    const size_t expected = command == "set" ? 3 : 2;
    if (command != "get" && command != "set" && command != "invoke" && command != "watch" &&
        command != "list")
        return usage("unknown command " + command);
    if (operands.size() != expected)
        return usage(command == "set" ? "usage: roomctl desk set ADDRESS VALUE"
                                      : "usage: roomctl desk " + command + " ADDRESS");
    const std::string& address = operands[1];
    if (address.empty() || address[0] != '/')
        return usage("an address starts with \"/\", e.g. /roomdesk/Application/appNameAndVersion");

    DeskClient client;
    if (!client.open(host, port))
    {
        std::fprintf(stderr, "roomctl desk: %s\n", client.getError().c_str());
        return kExitSpeakerNotFound;
    }
    DeskReply reply;
    if (command == "watch")
        return watch(client, address, forMs, host, port);
    if (command == "list")
    {
        if (!client.send("/list", {address}))
            return noAnswer(client, host, port);
        if (int status = awaitAnswer(client, "/list", reply, host, port))
            return status;
        for (size_t i = 1; i < reply.arguments.size(); ++i)
            std::printf("%s\n", reply.arguments[i].c_str());
        return kExitOk;
    }
    std::vector<std::string> arguments;
    if (command == "set")
        arguments.push_back(operands[2]);
    if (!client.send(address, arguments))
        return noAnswer(client, host, port);
    if (int status = awaitAnswer(client, address, reply, host, port))
        return status;
    if (command == "invoke")
    {
        // A command answers with one int; a value answers a message without arguments as a query.
        if (reply.arguments.size() != 1)
        {
            std::fprintf(stderr, "roomctl desk: %s is a value, not a command (it holds %s)\n",
                         address.c_str(), textOf(reply).c_str());
            return kExitParameter;
        }
        return kExitOk;
    }
    std::printf("%s\n", textOf(reply).c_str());
    return kExitOk;
}

} // namespace Vellaris::Tools
