#pragma once

#include "tessel/Json.h"

namespace Core::Portable
{
class Attributes;
}

namespace Tessel
{
class Attributes;
}

namespace Tessel
{
class Initializer;
}

namespace Vellaris
{

// The framework's JSON codec: parses with the portable JSON reader and writes with the portable
// JSON writer (compact layout), converting between the portable attribute sets and the framework's
// dictionaries (integers, doubles, texts, nested objects and arrays; null array items become empty
// variants). The start-up initializer "ModelRuntime" (order 900) installs the one instance, so the
// whole program has one JSON implementation. Keys are cut to 31 bytes by the portable sets.
class JsonCodec : public Tessel::IJsonCodec
{
public:
    // Clears `result`, then reads the JSON object `text` into it. False when the text is not valid
    // JSON (what was read before the error stays in `result`).
    bool parse(const std::string& text, Tessel::Attributes& result) override;
    // Writes `value` as compact JSON. False when it nests deeper than the JSON limit or holds
    // objects that are neither dictionaries nor lists (those are left out).
    bool stringify(const Tessel::Attributes& value, std::string& text) override;

    // Conversions; both return false when nesting exceeds the JSON depth limit.
    static bool toFramework(const Core::Portable::Attributes& from, Tessel::Attributes& to);
    static bool toPortable(const Tessel::Attributes& from, Core::Portable::Attributes& to);

    // The process-wide codec.
    static JsonCodec& instance();
    // Installs the process-wide codec unless a codec is installed already.
    static void ensureInstalled();
};

// The initializer "ModelRuntime" (the codec and the model's classes known by name); a program
// passes it to Tessel::Initializer::keep().
const Tessel::Initializer& modelRuntimeInitializer();

} // namespace Vellaris
