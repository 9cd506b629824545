#include "model/ModelParamFormatter.h"

#include <map>
#include <mutex>
#include <vector>

#include "formats/ValueGrid.h"

namespace Vellaris
{

Tessel::SharedPtr<ModelParamFormatter> ModelParamFormatter::getShared(const Core::Formatter& formatter)
{
    // Never destroyed: parameters that outlive the program's static objects may still hold one.
    static auto* wrappers = new std::map<const Core::Formatter*, Tessel::AutoPtr<ModelParamFormatter>>;
    static std::mutex mutex;
    std::lock_guard lock(mutex);
    Tessel::AutoPtr<ModelParamFormatter>& wrapper = (*wrappers)[&formatter];
    if (!wrapper)
        wrapper = new ModelParamFormatter(formatter);
    return wrapper;
}

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

namespace
{
using ScanOperation = bool (Core::Formatter::*)(Core::FormatterData&) const;

std::optional<double> scanWith(const Core::Formatter& formatter, ScanOperation operation,
                               const std::string& text, const Tessel::ParamValueRange& range)
{
    // The formatter reads a terminated text from a writable buffer.
    std::vector<char> buffer(text.begin(), text.end());
    buffer.push_back('\0');
    const float bounds[2] = {float(range.minimum), float(range.maximum)};
    Core::FormatterData data;
    data.text = buffer.data();
    data.capacity = int32_t(buffer.size());
    data.range = bounds;
    if (!(formatter.*operation)(data))
        return std::nullopt;
    return double(data.value);
}
} // namespace

std::optional<double> ModelParamFormatter::scanTyped(const std::string& text,
                                                     const Tessel::ParamValueRange& range) const
{
    return scanWith(formatter, &Core::Formatter::scanTyped, text, range);
}

std::optional<double> ModelParamFormatter::stepOnGrid(double value, int steps, Tessel::StepSize size,
                                                      const Tessel::ParamValueRange& range) const
{
    const Dsp::ValueGrid grid = Dsp::gridForFormatter(formatter.name());
    if (grid == Dsp::ValueGrid::kNone)
        return std::nullopt;
    return Dsp::stepOnGrid(grid, value, steps,
                           size == Tessel::StepSize::kShift ? Dsp::StepSize::kShift : Dsp::StepSize::kNormal,
                           range.minimum, range.maximum);
}

std::optional<double> ModelParamFormatter::scan(const std::string& text,
                                                const Tessel::ParamValueRange& range) const
{
    return scanWith(formatter, &Core::Formatter::scan, text, range);
}

} // namespace Vellaris
