#include "protocol/AsciiText.h"

namespace Vellaris::LK
{

std::string toAscii(const std::string& text)
{
    std::string ascii;
    ascii.reserve(text.size());
    for (unsigned char c : text)
    {
        if (c < 0x80)
            ascii += char(c);
        else if ((c & 0xC0) != 0x80)
            ascii += '?';
    }
    return ascii;
}

} // namespace Vellaris::LK
