#pragma once

#include <string>
#include <vector>

namespace Vellaris
{

// What roomdesk's command line asks for before any window opens.
enum class CommandLineAction
{
    Run,
    PrintHelp,
    PrintVersion,
};

// "--help" or "-h" anywhere asks for the help text (it wins over "--version"); "--version" for the
// version; anything else runs the desk (its options are read where they are used).
CommandLineAction readCommandLineAction(const std::vector<std::string>& arguments);

// What "roomdesk --help" prints: every option and environment variable the desk reads.
const char* commandLineHelp();

// What "roomdesk --version" prints: the program's version (the package's), then the
// application's name, version and maker, each line ending in a newline.
std::string commandLineVersion();

} // namespace Vellaris
