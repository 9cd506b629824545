#pragma once

#include "formats/Formatter.h"

namespace Vellaris::LK::Format
{

// Channel numbers ("ch_name"): "off" for 0, else "Ch 3". Cannot scan.
class ChannelNameFormatter final : public Core::Formatter
{
public:
    ChannelNameFormatter() : Formatter("ch_name") {}

    void print(Core::FormatterData& data) const override;
};

} // namespace Vellaris::LK::Format
