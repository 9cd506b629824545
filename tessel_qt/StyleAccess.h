#pragma once

#include <QColor>
#include <QFont>
#include <string>

namespace Tessel::Qt
{

// The style table (tessel/Style.h) in Qt's types, for C++ view items that draw themselves.
// A name the table lacks gives the fallback.
QColor styleColor(const std::string& name, const QColor& fallback = QColor());
QFont styleFont(const std::string& name, const QFont& fallback);
// As above, with the table's default font (DejaVu Sans, 13 px) as the fallback.
QFont styleFont(const std::string& name);

} // namespace Tessel::Qt
