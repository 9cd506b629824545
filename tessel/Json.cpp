#include "tessel/Json.h"

namespace Tessel
{

namespace
{
IJsonCodec* installedCodec = nullptr;
} // namespace

void setJsonCodec(IJsonCodec* codec)
{
    installedCodec = codec;
}

IJsonCodec* getJsonCodec()
{
    return installedCodec;
}

bool JsonParse(const std::string& text, Attributes& result)
{
    return installedCodec && installedCodec->parse(text, result);
}

bool JsonStringify(const Attributes& value, std::string& text)
{
    return installedCodec && installedCodec->stringify(value, text);
}

} // namespace Tessel
