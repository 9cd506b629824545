#include "formats/ChannelNameFormatter.h"

#include "formats/FormatterText.h"

namespace Vellaris::LK::Format
{

using namespace Core::FormatterText;

void ChannelNameFormatter::print(Core::FormatterData& data) const
{
    if (data.value == 0.0f)
        write(data, "off");
    else
        writeFormatted(data, "Ch %d", truncToInt(data.value));
}

} // namespace Vellaris::LK::Format
