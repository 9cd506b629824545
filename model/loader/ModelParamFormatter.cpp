#include "model/loader/ModelParamFormatter.h"

#include <vector>

namespace Vellaris
{

void* ModelParamFormatter::queryInterface(const Tessel::UID& iid)
{
    TESSEL_QUERY_INTERFACE(Tessel::IParamFormatter)
    return Unknown::queryInterface(iid);
}

std::string ModelParamFormatter::print(double value, const Tessel::ParamValueRange& range) const
{
    char text[kTextCapacity] = {};
    const float bounds[2] = {float(range.minimum), float(range.maximum)};
    Core::FormatterData data;
    data.text = text;
    data.capacity = kTextCapacity;
    data.value = float(value);
    data.range = bounds;
    formatter.print(data);
    return text;
}

std::optional<double> ModelParamFormatter::scan(const std::string& text,
                                                const Tessel::ParamValueRange& range) const
{
    // The formatter reads a terminated text from a writable buffer.
    std::vector<char> buffer(text.begin(), text.end());
    buffer.push_back('\0');
    const float bounds[2] = {float(range.minimum), float(range.maximum)};
    Core::FormatterData data;
    data.text = buffer.data();
    data.capacity = int32_t(buffer.size());
    data.range = bounds;
    if (!formatter.scan(data))
        return std::nullopt;
    return double(data.value);
}

} // namespace Vellaris
