#pragma once

#include <string>

namespace Tessel
{

class Attributes;

// Converts between JSON text and attribute dictionaries. The framework does not parse JSON itself:
// a library installs a codec with setJsonCodec() (kept by pointer; it must outlive its use).
class IJsonCodec
{
public:
    virtual bool parse(const std::string& text, Attributes& result) = 0;
    virtual bool stringify(const Attributes& value, std::string& text) = 0;

protected:
    virtual ~IJsonCodec() = default;
};

void setJsonCodec(IJsonCodec* codec);
IJsonCodec* getJsonCodec();

// Reads the JSON object `text` into `result`; false when it is not valid or no codec is installed.
bool JsonParse(const std::string& text, Attributes& result);
// Writes `value` as JSON text; false when no codec is installed.
bool JsonStringify(const Attributes& value, std::string& text);

} // namespace Tessel
