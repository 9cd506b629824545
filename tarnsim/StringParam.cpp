#include "tarnsim/StringParam.h"

#include <cstring>

namespace Core::Portable
{

void StringParam::toText(char* buffer, std::size_t size) const
{
    if (!buffer || size == 0)
        return;
    const std::size_t kept = text_.size() < size - 1 ? text_.size() : size - 1;
    std::memcpy(buffer, text_.data(), kept);
    buffer[kept] = 0;
}

void StringParam::fromText(const char* text, bool notify)
{
    std::string next = text ? text : "";
    if (next.size() > kMaxLength)
        next.resize(kMaxLength);
    if (next == text_)
        return;
    text_ = std::move(next);
    if (notify)
        perform();
    notifyChanged(IParamObserver::kChanged);
}

} // namespace Core::Portable
