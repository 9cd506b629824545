#pragma once

#include <lo/lo.h>

#include <cstdint>
#include <cstring>

namespace Vellaris::Osc
{

// Reads liblo's arguments. liblo points each argument into the message's bytes, which are aligned
// to 4 only, while the lo_arg union asks for 8: reading through the union's members is undefined,
// so the bytes are copied out instead.
template <class T> T argumentAs(const lo_arg* argument)
{
    T value;
    std::memcpy(&value, argument, sizeof value);
    return value;
}

inline int32_t argumentInt32(const lo_arg* argument)
{
    return argumentAs<int32_t>(argument);
}
inline int64_t argumentInt64(const lo_arg* argument)
{
    return argumentAs<int64_t>(argument);
}
inline float argumentFloat(const lo_arg* argument)
{
    return argumentAs<float>(argument);
}
inline double argumentDouble(const lo_arg* argument)
{
    return argumentAs<double>(argument);
}
// A string or symbol argument (liblo has checked its terminator).
inline const char* argumentText(const lo_arg* argument)
{
    return reinterpret_cast<const char*>(argument);
}

} // namespace Vellaris::Osc
