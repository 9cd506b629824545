#include "app/CommandLine.h"

#include "app/Roomdesk.h"

#include <iterator>

namespace Vellaris
{

namespace
{

// The desk's own options that take a value (after a space or "=").
const char* const kValueOptions[] = {"osc-port", "osc-bind", "web-port", "web-bind"};
// Qt's own options, which Qt also takes with two dashes.
const char* const kQtOptions[] = {"platform", "platformpluginpath", "platformtheme", "plugin", "qmljsdebugger",
                                  "qwindowgeometry", "qwindowicon", "qwindowtitle", "reverse", "session",
                                  "display", "geometry", "name", "title", "visual", "style", "stylesheet",
                                  "widgetcount", "nograb", "dograb"};

bool named(const std::string& name, const char* const* names, size_t count)
{
    for (size_t i = 0; i < count; ++i)
        if (name == names[i])
            return true;
    return false;
}

} // namespace

CommandLineAction readCommandLineAction(const std::vector<std::string>& arguments, std::string* error)
{
    CommandLineAction action = CommandLineAction::Run;
    std::string unknown;
    for (size_t i = 1; i < arguments.size(); ++i)
    {
        const std::string& arg = arguments[i];
        if (arg == "--help" || arg == "-h")
            return CommandLineAction::PrintHelp;
        if (arg == "--version")
        {
            action = CommandLineAction::PrintVersion;
            continue;
        }
        if (arg.size() <= 2 || arg.compare(0, 2, "--") != 0)
            continue;
        const size_t equals = arg.find('=');
        const std::string name = arg.substr(2, equals == std::string::npos ? std::string::npos : equals - 2);
        if (named(name, kValueOptions, std::size(kValueOptions)))
        {
            if (equals == std::string::npos)
                ++i; // its value
            continue;
        }
        if (named(name, kQtOptions, std::size(kQtOptions)))
            continue;
        if (unknown.empty())
            unknown = arg;
    }
    if (action == CommandLineAction::Run && !unknown.empty())
    {
        if (error)
            *error = "roomdesk: unknown option '" + unknown + "'\nTry 'roomdesk --help' for the options.\n";
        return CommandLineAction::Refuse;
    }
    return action;
}

const char* commandLineHelp()
{
    return "usage: roomdesk [OPTION]...\n"
           "\n"
           "Ambrel, the desk for networked powered loudspeakers: finds the speakers on the local\n"
           "network, mirrors every control of each one live, keeps speaker and graphic-EQ presets,\n"
           "arranges a venue into rooms and groups on a floor plan and drives whole rooms at once.\n"
           "\n"
           "Options:\n"
           "  --osc-port N         UDP port of the OSC remote control (default 9000; 0 switches it\n"
           "                       off)\n"
           "  --osc-bind ADDRESS   the address it listens on (default 127.0.0.1, this computer only;\n"
           "                       0.0.0.0 listens on every network)\n"
           "  --web-port N         TCP port of the tablet remote's page (default 8080; 0 switches it\n"
           "                       off)\n"
           "  --web-bind ADDRESS   the address the page is served on (default 127.0.0.1; tablets on\n"
           "                       the venue network need 0.0.0.0)\n"
           "  -h, --help           this text\n"
           "  --version            the version\n"
           "Each option also takes its value after \"=\" (--osc-port=9001). The command line wins\n"
           "over the environment. Qt's own options (-platform NAME, ...) are accepted too; any\n"
           "other option that starts with \"--\" is refused (exit status 2).\n"
           "\n"
           "Environment:\n"
           "  ROOMDESK_OSC_PORT, ROOMDESK_OSC_BIND   as --osc-port and --osc-bind\n"
           "  ROOMDESK_WEB_PORT, ROOMDESK_WEB_BIND   as --web-port and --web-bind\n"
           "  LKNET_DISCOVERY_PORT   UDP port on which speakers and the desk find each other\n"
           "                         (default 30718); only programs on the same port see each other\n"
           "  LKNET_LOOPBACK_ONLY=1  keep all traffic on this computer (for simulators)\n"
           "  XDG_CONFIG_HOME        the settings folder is $XDG_CONFIG_HOME/Vellaris/roomdesk\n"
           "                         (default ~/.config/Vellaris/roomdesk)\n"
           "  XDG_DOCUMENTS_DIR      venues and presets are kept under $XDG_DOCUMENTS_DIR/Vellaris/Ambrel\n"
           "                         (default ~/Documents/Vellaris/Ambrel)\n"
           "  QSG_RHI_BACKEND=opengl draw with OpenGL even where it is only emulated on the CPU\n"
           "\n"
           "tarnsim (tarnsim --help) plays a speaker on this computer, without hardware; roomctl\n"
           "(roomctl --help) lists and sets speakers, and drives a running desk, from a shell.\n";
}

std::string commandLineVersion()
{
    return std::string("roomdesk ") + ROOMDESK_VERSION + "\n" + Roomdesk::kTitle + " " + Roomdesk::kVersion +
           " by " + Roomdesk::kCompany + "\n";
}

} // namespace Vellaris
