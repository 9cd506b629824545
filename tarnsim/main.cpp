#include "tarnsim/ModelTable.h"
#include "tarnsim/SimulatorProgram.h"

#include <cstdio>
#include <cstring>
#include <iterator>

namespace
{

void printHelp()
{
    std::fputs("usage: tarnsim [MODEL]\n"
               "\n"
               "Plays one networked powered loudspeaker: announces the model's serial number on the\n"
               "network and serves its controls to roomdesk and roomctl until Ctrl+C or SIGTERM, which\n"
               "print \"Quit requested\", save the speaker's state and end the program.\n"
               "\n"
               "MODEL is ",
               stdout);
    const auto& models = Vellaris::Tarn::kSpeakerModels;
    const size_t count = std::size(models);
    for (size_t i = 0; i < count; ++i)
        std::printf("%s%s", models[i].name, i + 2 < count ? ", " : i + 1 < count ? " or " : "");
    std::printf(", written exactly; anything else plays a %s.\n", models[0].name);
    std::fputs(
        "\n"
        "Options:\n"
        "  -h, --help   this text\n"
        "  --version    the version\n"
        "\n"
        "Environment:\n"
        "  LKNET_DISCOVERY_PORT      UDP port on which speakers and desks find each other\n"
        "                            (default 30718); only programs on the same port see each other\n"
        "  LKNET_LOOPBACK_ONLY=1     keep all traffic on this computer\n"
        "  APPDATA                   the settings file is $APPDATA/Vellaris/Tarn/Tarn.settings;\n"
        "                            without it $XDG_CONFIG_HOME/Vellaris/Tarn/Tarn.settings\n"
        "                            (default ~/.config/Vellaris/Tarn/Tarn.settings). Give each\n"
        "                            simulator its own.\n"
        "  TARNSIM_SAVE_INTERVAL_MS  how often the state is saved, in ms (default 5000)\n"
        "  TARNSIM_SERIAL            the serial number to announce instead of the model's\n"
        "  TARNSIM_WIFI              the Wi-Fi networks the speaker sees, entries separated by \";\",\n"
        "                            each name<&#&>strength<&#&>security (strength 0 to 100,\n"
        "                            security \"locked\" or anything else for an open network)\n"
        "  TARNSIM_PLAIN_LOOP=1      sleep between turns instead of waiting on the sockets\n"
        "\n"
        "Exit status: 0 after Ctrl+C or SIGTERM, 255 when the network cannot start.\n",
        stdout);
}

} // namespace

int main(int argc, char** argv)
{
    // Only the first argument is read (the model), so only there do these ask for text.
    if (argc > 1 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0))
    {
        printHelp();
        return 0;
    }
    if (argc > 1 && std::strcmp(argv[1], "--version") == 0)
    {
        std::printf("tarnsim %s\n", ROOMDESK_VERSION);
        return 0;
    }
    return Vellaris::Tarn::runSimulator(argc, argv);
}
