#include "app/CommandLine.h"

#include "app/Roomdesk.h"

namespace Vellaris
{

CommandLineAction readCommandLineAction(const std::vector<std::string>& arguments)
{
    CommandLineAction action = CommandLineAction::Run;
    for (size_t i = 1; i < arguments.size(); ++i)
    {
        const std::string& arg = arguments[i];
        if (arg == "--help" || arg == "-h")
            return CommandLineAction::PrintHelp;
        if (arg == "--version")
            action = CommandLineAction::PrintVersion;
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
           "over the environment. Qt's own options (-platform NAME, ...) are accepted too.\n"
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
