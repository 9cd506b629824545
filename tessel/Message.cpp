#include "tessel/Message.h"

namespace Tessel
{

const Variant& Message::getArg(int index) const
{
    static const Variant empty{};
    if (index < 0 || index >= int(args.size()))
        return empty;
    return args[size_t(index)];
}

} // namespace Tessel
