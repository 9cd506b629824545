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
    // A "--" option that neither the desk nor Qt knows: nothing starts, `error` says which.
    Refuse,
};

// "--help" or "-h" anywhere asks for the help text (it wins over "--version"); "--version" for the
// version; a mistyped "--" option is refused (a desk started without the option the user meant
// could listen where it should not); anything else runs the desk (its options are read where they
// are used, Qt's by Qt).
CommandLineAction readCommandLineAction(const std::vector<std::string>& arguments, std::string* error = nullptr);

// What "roomdesk --help" prints: every option and environment variable the desk reads.
const char* commandLineHelp();

// What "roomdesk --version" prints: the program's version (the package's), then the
// application's name, version and maker, each line ending in a newline.
std::string commandLineVersion();

} // namespace Vellaris
