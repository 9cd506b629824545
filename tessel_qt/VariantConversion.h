#pragma once

#include <QVariant>

#include "tessel/Variant.h"

namespace Tessel::Qt
{

// Framework variants to QML values and back: integers and doubles as numbers, texts as strings;
// object references do not cross into QML (they become an empty value).
QVariant toQVariant(const Variant& value);
Variant fromQVariant(const QVariant& value);

} // namespace Tessel::Qt
