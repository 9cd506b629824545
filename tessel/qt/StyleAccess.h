#pragma once

#include <QColor>
#include <QFont>
#include <string>

namespace Tessel::Qt
{

// The style table (tessel/Style.h) in Qt's types, for C++ view items that draw themselves.
// A name the table lacks gives the fallback colour, or the table's default font.
QColor styleColor(const std::string& name, const QColor& fallback = QColor());
QFont styleFont(const std::string& name);

} // namespace Tessel::Qt
