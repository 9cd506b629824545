#pragma once

#include <string>

namespace Vellaris::LK
{

// The text as the speakers' protocol carries it: ASCII only. Each character outside ASCII becomes
// one "?" (a UTF-8 sequence counts as one character; its continuation bytes are dropped).
std::string toAscii(const std::string& text);

} // namespace Vellaris::LK
