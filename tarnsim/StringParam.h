#pragma once

#include "tarnsim/Parameter.h"

#include <string>

namespace Core::Portable
{

// A text parameter of at most 255 bytes. Not numeric: the numeric operations
// answer 0 and do nothing.
class StringParam : public Parameter
{
public:
    static constexpr std::size_t kMaxLength = 255;

    using Parameter::Parameter;

    void toText(char* buffer, std::size_t size) const override;
    // A different text replaces the old one (cut to 255 bytes), performs when
    // notify is set and tells the owner and observers; an equal text does nothing.
    void fromText(const char* text, bool notify) override;
    const std::string& value() const { return text_; }

private:
    std::string text_;
};

} // namespace Core::Portable
