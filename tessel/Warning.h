#pragma once

#include <cstdarg>

namespace Tessel
{

// Reports a recoverable problem: formats into a 4096-byte buffer (at most 4095 characters; longer
// texts are cut), writes "### Warning:" and the text to the debug output, strips trailing line
// feeds and hands the text to the platform's warning report.
void warning(const char* format, ...) __attribute__((format(printf, 1, 2)));
// Same with a va_list.
void warningV(const char* format, va_list args);

} // namespace Tessel
