#include "tessel_qt/StyleAccess.h"

#include "tessel/Style.h"

namespace Tessel::Qt
{

QColor styleColor(const std::string& name, const QColor& fallback)
{
    // Fallback 0 cannot be told from a transparent black entry; ask first.
    constexpr uint32_t kMissing = 0x00010203;
    const uint32_t argb = Style::get().getColor(name, kMissing);
    if (argb == kMissing)
        return fallback;
    return QColor::fromRgba(argb);
}

QFont styleFont(const std::string& name, const QFont& fallback)
{
    constexpr double kMissing = -1;
    if (Style::get().getFont(name, {"", kMissing, false}).size == kMissing)
        return fallback;
    return styleFont(name);
}

QFont styleFont(const std::string& name)
{
    const Style::Font font = Style::get().getFont(name);
    QFont result(QString::fromStdString(font.family));
    result.setPixelSize(int(font.size + 0.5));
    result.setBold(font.bold);
    return result;
}

} // namespace Tessel::Qt
