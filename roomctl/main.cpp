// roomctl: lists and controls the speakers on the network from the command line, through the same
// mirror that roomdesk uses.
#include <cctype>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "roomctl/Commands.h"
#include "roomctl/CurveCommand.h"
#include "roomctl/DeskClient.h"
#include "roomctl/MirrorSession.h"

namespace
{

using namespace Vellaris::Tools;

const char* const kUsage =
    "usage: roomctl [--timeout S] [--verbose] COMMAND ...\n"
    "\n"
    "Commands:\n"
    "  list [--wait S]               one line per speaker found within S seconds (default 2):\n"
    "                                SERIAL<TAB>MODEL<TAB>VERSION<TAB>HOST\n"
    "  get SERIAL PATH               the parameter's value as text, e.g. \"-6.00 dB\"\n"
    "  set SERIAL PATH TEXT          sets the parameter from text and prints the value the speaker\n"
    "                                confirms\n"
    "  dump SERIAL                   every mirrored parameter as PATH<TAB>TEXT, in tree order\n"
    "  watch SERIAL [--for S] [--stamp]\n"
    "                                each change as it arrives, PATH<TAB>TEXT (until Ctrl+C);\n"
    "                                --stamp adds <TAB>MICROSECONDS of the monotonic clock\n"
    "                                when the change arrived\n"
    "  ping SERIAL [--count N]       round trip of a change and its echo (the speaker's identify\n"
    "                                light, \"wink\", is switched and left as it was), N times\n"
    "                                (default 10): min, median and p99 in ms\n"
    "  desk get|set|invoke|watch|list ADDRESS ...\n"
    "                                the running roomdesk over OSC (roomctl desk --help)\n"
    "  curve SERIAL COMPONENT [--band N] [--points N]\n"
    "                                the response of the line channel's equaliser COMPONENT (eq,\n"
    "                                notch or compeq) on its display range, N points (default 256):\n"
    "                                FREQ<TAB>DB; with --band, that band's own curve (0-based),\n"
    "                                else the sum of the bands that are on\n"
    "\n"
    "PATH names a parameter below the speaker, with or without the leading \"Speaker/\":\n"
    "\"line/ch1/volume\", \"Speaker/line/ch1/mute\", \"nickname\"; the line channel's blocks also\n"
    "without \"line/ch1/\": \"eq/eqgain3\", \"limit/threshold\".\n"
    "\n"
    "Options:\n"
    "  --timeout S   how long to wait for a speaker and for its answers (default 5 seconds)\n"
    "  --verbose     also print the network library's messages on standard error\n"
    "  --help        this text\n"
    "  --version     the version\n"
    "\n"
    "Environment: LKNET_DISCOVERY_PORT (UDP port of speaker discovery, default 30718),\n"
    "LKNET_LOOPBACK_ONLY=1 (only speakers on this computer).\n"
    "\n"
    "Exit status: 0 done, 1 speaker not found, 2 usage error, 3 parameter not found or change\n"
    "refused.\n";

RealtimePlatform* runningPlatform = nullptr;

void onInterrupt(int)
{
    if (runningPlatform)
        runningPlatform->stop();
}

int usageError(const std::string& text)
{
    std::fprintf(stderr, "roomctl: %s\n(roomctl --help shows how to use it)\n", text.c_str());
    return kExitUsage;
}

// Reads a number of seconds (fractions allowed, not negative).
bool readSeconds(const std::string& text, int64_t& ms)
{
    char* end = nullptr;
    double value = std::strtod(text.c_str(), &end);
    if (text.empty() || *end || !(value >= 0) || value > 1e7)
        return false;
    ms = int64_t(value * 1000.0 + 0.5);
    return true;
}

bool readCount(const std::string& text, int& count)
{
    char* end = nullptr;
    long value = std::strtol(text.c_str(), &end, 10);
    if (text.empty() || *end || value < 1 || value > 100000)
        return false;
    count = int(value);
    return true;
}

// "-6", "-0.5 dB": negative values are operands, not options.
bool isNumber(const std::string& arg)
{
    return arg.size() > 1 && arg[0] == '-' && (std::isdigit((unsigned char)arg[1]) || arg[1] == '.');
}

struct Request
{
    std::string command;
    std::vector<std::string> operands;
    CommandOptions options;
    int64_t waitMs = 2000;
    int64_t forMs = -1;
    int count = 10;
    CurveRequest curve;
    bool verbose = false;
    bool help = false;
    bool version = false;
};

// Parses the command line; returns kExitOk or the usage error's status (message printed).
int parse(int argc, char** argv, Request& request)
{
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
            request.help = true;
        else if (arg == "--version")
            request.version = true;
        else if (arg == "--verbose")
            request.verbose = true;
        else if (arg == "--timeout")
        {
            if (!value(text) || !readSeconds(text, request.options.timeoutMs))
                return usageError("--timeout needs a number of seconds");
        }
        else if (arg == "--wait")
        {
            if (!value(text) || !readSeconds(text, request.waitMs))
                return usageError("--wait needs a number of seconds");
        }
        else if (arg == "--stamp")
            request.options.stampLines = true;
        else if (arg == "--for")
        {
            if (!value(text) || !readSeconds(text, request.forMs))
                return usageError("--for needs a number of seconds");
        }
        else if (arg == "--count")
        {
            if (!value(text) || !readCount(text, request.count))
                return usageError("--count needs a whole number from 1 to 100000");
        }
        else if (arg == "--band")
        {
            int band = 0;
            // 0-based: readCount starts at 1.
            if (!value(text) || (text != "0" && !readCount(text, band)))
                return usageError("--band needs a band number from 0");
            request.curve.band = band;
        }
        else if (arg == "--points")
        {
            if (!value(text) || !readCount(text, request.curve.points))
                return usageError("--points needs a whole number from 1 to 100000");
        }
        else if (arg == "--")
        {
            // Everything after "--" is an operand.
            while (++i < argc)
                (request.command.empty() ? request.command : request.operands.emplace_back()) = argv[i];
        }
        else if (arg.size() > 1 && arg[0] == '-' && !isNumber(arg))
            return usageError("unknown option " + arg);
        else if (request.command.empty())
            request.command = arg;
        else
            request.operands.push_back(arg);
    }
    if (request.help || request.version)
        return kExitOk;
    struct Shape
    {
        const char* name;
        size_t operands;
        const char* form;
    };
    static const Shape shapes[] = {{"list", 0, "list [--wait S]"},
                                   {"get", 2, "get SERIAL PATH"},
                                   {"set", 3, "set SERIAL PATH TEXT"},
                                   {"dump", 1, "dump SERIAL"},
                                   {"watch", 1, "watch SERIAL [--for S] [--stamp]"},
                                   {"ping", 1, "ping SERIAL [--count N]"},
                                   {"curve", 2, "curve SERIAL COMPONENT [--band N] [--points N]"}};
    if (request.command.empty())
        return usageError("no command given");
    for (const Shape& shape : shapes)
    {
        if (request.command != shape.name)
            continue;
        if (request.operands.size() != shape.operands)
            return usageError(std::string("usage: roomctl ") + shape.form);
        if (request.command == "curve" && !isCurveComponent(request.operands[1]))
            return usageError("COMPONENT is eq, notch or compeq, not " + request.operands[1]);
        return kExitOk;
    }
    return usageError("unknown command " + request.command);
}

int run(const Request& request)
{
    MirrorSession session;
    session.getPlatform().setVerbose(request.verbose);
    if (!session.isStarted())
    {
        std::fprintf(stderr, "roomctl: cannot look for speakers: %s\n", session.getError().c_str());
        return kExitSpeakerNotFound;
    }
    runningPlatform = &session.getPlatform();
    std::signal(SIGINT, onInterrupt);
    std::signal(SIGTERM, onInterrupt);

    const std::vector<std::string>& ops = request.operands;
    int status = kExitUsage;
    if (request.command == "list")
        status = listSpeakers(session, request.waitMs);
    else if (request.command == "get")
        status = getParameter(session, request.options, ops[0], ops[1]);
    else if (request.command == "set")
        status = setParameter(session, request.options, ops[0], ops[1], ops[2]);
    else if (request.command == "dump")
        status = dumpSpeaker(session, request.options, ops[0]);
    else if (request.command == "watch")
        status = watchSpeaker(session, request.options, ops[0], request.forMs);
    else if (request.command == "ping")
        status = pingSpeaker(session, request.options, ops[0], request.count);
    else if (request.command == "curve")
    {
        CurveRequest curve = request.curve;
        curve.component = ops[1];
        status = printCurve(session, request.options, ops[0], curve);
    }
    std::signal(SIGINT, SIG_DFL);
    std::signal(SIGTERM, SIG_DFL);
    runningPlatform = nullptr;
    return status;
}

} // namespace

int main(int argc, char** argv)
{
    // "desk" talks to a running roomdesk instead of the speakers, with options of its own.
    if (argc > 1 && std::strcmp(argv[1], "desk") == 0)
        return Vellaris::Tools::runDesk(argc - 1, argv + 1);
    Request request;
    int status = parse(argc, argv, request);
    if (status != kExitOk)
        return status;
    if (request.help)
    {
        std::fputs(kUsage, stdout);
        return kExitOk;
    }
    if (request.version)
    {
        std::printf("roomctl %s\n", ROOMDESK_VERSION);
        return kExitOk;
    }
    return run(request);
}
