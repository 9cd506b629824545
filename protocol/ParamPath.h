#pragma once

// Parameter paths and the fixed text fields of packet records.

#include <cstddef>
#include <string_view>
#include <vector>

namespace Vellaris::LK
{

// A parameter path split at its last "/": the component part ("line/ch1",
// empty for a root parameter) and the parameter's name.
struct SplitPath
{
    std::string_view component;
    std::string_view parameter;
};

// Splits path at its last "/". A path without "/" names a root parameter.
SplitPath splitParamPath(std::string_view path);

// The names of a component path in order ("line/ch1" gives "line", "ch1");
// empty names (doubled or outer slashes) are kept so that a lookup fails.
// An empty path gives no names.
std::vector<std::string_view> splitComponentPath(std::string_view path);

// Copies text into a fixed field of fieldSize bytes, cut at fieldSize - 1
// bytes and always NUL-terminated; the rest of the field is zeroed. Returns
// the number of bytes kept.
std::size_t copyTextField(char* field, std::size_t fieldSize, std::string_view text);

// The text of a received fixed field: up to the first NUL, or the whole field
// when a peer left out the terminator.
std::string_view readTextField(const char* field, std::size_t fieldSize);

} // namespace Vellaris::LK
