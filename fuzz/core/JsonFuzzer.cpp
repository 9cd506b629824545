// Feeds arbitrary bytes to the JSON reader, both from memory and through a
// stream (both must agree), and checks that what was read writes out as
// JSON that reads back.
#include "core/Attributes.h"
#include "core/JsonReader.h"
#include "core/JsonWriter.h"
#include "core/MemoryStream.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

using namespace Core::Portable;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const char* text = reinterpret_cast<const char*>(data);
    Attributes fromMemory;
    JsonReader reader;
    const bool ok = reader.read(text, size, fromMemory);

    MemoryStream stream(std::string_view(text, size));
    Attributes fromStream;
    JsonReader streamReader;
    if (streamReader.read(stream, fromStream) != ok || !(fromStream == fromMemory))
        std::abort();

    // Whatever was read writes out as text that reads back. One round may
    // normalise (1.0 prints as 1 and reads as an integer, non-finite doubles
    // print as null and are dropped); after that the text must be stable.
    for (JsonLayout layout : {JsonLayout::Compact, JsonLayout::Indented})
    {
        Attributes once;
        if (!JsonReader::parse(JsonWriter::toString(fromMemory, layout), once))
            std::abort();
        const std::string second = JsonWriter::toString(once, layout);
        Attributes twice;
        if (!JsonReader::parse(second, twice) || JsonWriter::toString(twice, layout) != second)
            std::abort();
    }
    return 0;
}
