#pragma once

// Reads QR codes back from picture files with the zbar tools' reader (zbarimg), as a phone's
// camera would read them off the screen.

#include <cstdio>
#include <string>

namespace QrReader
{

// True when the reader is installed.
inline bool available()
{
    return std::system("command -v zbarimg >/dev/null 2>&1") == 0;
}

// The text of the one code the reader finds in the picture at `path` (any format it reads: PGM,
// PNG), or "" when it finds none.
inline std::string read(const std::string& path)
{
    const std::string command = "zbarimg --raw -q -Sdisable -Sqrcode.enable '" + path + "' 2>/dev/null";
    FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe)
        return {};
    std::string text;
    char buffer[512];
    size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0)
        text.append(buffer, got);
    ::pclose(pipe);
    // The reader ends each code it found with a line break.
    if (!text.empty() && text.back() == '\n')
        text.pop_back();
    return text;
}

} // namespace QrReader
