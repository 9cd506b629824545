#pragma once

#include <string>

namespace Tessel
{

// Helpers for file names and paths made from user text.
class FileUtilities
{
public:
    // Longest file name (in bytes) that makeValidFileName returns by default; well below the 255
    // bytes that common file systems allow, so an extension and a suffix still fit.
    static constexpr size_t kMaxFileNameLength = 150;

    // `name` made safe as one file name on Windows and Linux: the characters < > : " / \ | ? *
    // and control characters become "_", every ".." becomes "__", leading spaces and trailing
    // dots and spaces go, a reserved device name (CON, NUL, COM1 …) gets a "_" in front, and the
    // result is cut to `maxLength` bytes without splitting a UTF-8 character. The result never
    // names a folder above or beside its own and is never empty ("_" for an empty name).
    static std::string makeValidFileName(const std::string& name, size_t maxLength = kMaxFileNameLength);
    // `folder` and `name` joined by one "/".
    static std::string joinPath(const std::string& folder, const std::string& name);
    // The extension of a file name or path without its dot ("a.venue" -> "venue"; "" when none).
    static std::string getExtension(const std::string& name);
    // The file name of a path without folder and extension ("/x/a.venue" -> "a").
    static std::string getBaseName(const std::string& path);
};

} // namespace Tessel
