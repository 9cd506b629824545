#include "formats/Formatter.h"

namespace Core
{

Formatter::~Formatter() = default;

bool Formatter::scan(FormatterData&) const
{
    return false;
}

} // namespace Core
