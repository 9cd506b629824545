#pragma once

#include "formats/Formatter.h"
#include "tessel/IParamFormatter.h"
#include "tessel/SharedPtr.h"
#include "tessel/Unknown.h"

namespace Vellaris
{

// A formatter of the formatter registry seen as the framework's parameter formatter. The
// registry's formatters live for the whole run, so the wrapper only borrows it. The parameter's
// range is handed to the formatter with every call.
class ModelParamFormatter : public Tessel::Unknown, public Tessel::IParamFormatter
{
public:
    // Longest text a formatter may write.
    static constexpr int kTextCapacity = 128;

    explicit ModelParamFormatter(const Core::Formatter& formatter) : formatter(formatter) {}
    // The one wrapper of `formatter` that every parameter formatted by it may share (a wrapper has
    // no state of its own). Made on first use and kept for the whole run, like the formatter.
    static Tessel::SharedPtr<ModelParamFormatter> getShared(const Core::Formatter& formatter);

    void* queryInterface(const Tessel::UID& iid) override;
    int retain() override { return Unknown::retain(); }
    int release() override { return Unknown::release(); }

    std::string print(double value, const Tessel::ParamValueRange& range) const override;
    std::optional<double> scan(const std::string& text, const Tessel::ParamValueRange& range) const override;
    // The formatter's typed reading (its units only, the whole text).
    std::optional<double> scanTyped(const std::string& text,
                                    const Tessel::ParamValueRange& range) const override;
    // The step grid of the formatter's unit (gain, frequency, delay, time, Q).
    std::optional<double> stepOnGrid(double value, int steps, Tessel::StepSize size,
                                     const Tessel::ParamValueRange& range) const override;

    const Core::Formatter& getFormatter() const { return formatter; }

private:
    const Core::Formatter& formatter;
};

} // namespace Vellaris
