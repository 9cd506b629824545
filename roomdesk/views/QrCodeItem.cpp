#include "roomdesk/views/QrCodeItem.h"

#include <QPainter>

#include <algorithm>
#include <cmath>

namespace Vellaris
{

QrCodeItem::QrCodeItem(QQuickItem* parent) : QQuickPaintedItem(parent)
{
    setAntialiasing(false);
    setOpaquePainting(false);
    connect(this, &QrCodeItem::colorsChanged, this, [this] { update(); });
}

void QrCodeItem::setText(const QString& text)
{
    if (text == shownText)
        return;
    shownText = text;
    matrix = encodeQr(text.toStdString());
    // Four pixels a module when the layout leaves the size to the item.
    const int side = matrix.size > 0 ? (matrix.size + 2 * kQrQuietZone) * 4 : 0;
    setImplicitSize(side, side);
    Q_EMIT textChanged();
    Q_EMIT layoutChanged();
    update();
}

int QrCodeItem::modulePixels() const
{
    if (matrix.size <= 0)
        return 0;
    const double side = std::min(width(), height());
    return std::max(1, int(std::floor(side / (matrix.size + 2 * kQrQuietZone))));
}

void QrCodeItem::geometryChange(const QRectF& newGeometry, const QRectF& oldGeometry)
{
    QQuickPaintedItem::geometryChange(newGeometry, oldGeometry);
    if (newGeometry.size() != oldGeometry.size())
    {
        Q_EMIT layoutChanged();
        update();
    }
}

void QrCodeItem::paint(QPainter* painter)
{
    const int pixels = modulePixels();
    if (pixels <= 0)
        return;
    painter->setRenderHint(QPainter::Antialiasing, false);
    const int outer = (matrix.size + 2 * kQrQuietZone) * pixels;
    // Whole pixels from the item's corner, so module edges fall on pixel edges.
    const int left = int(std::floor((width() - outer) / 2));
    const int top = int(std::floor((height() - outer) / 2));
    painter->fillRect(QRect(left, top, outer, outer), lightColor);
    const int x0 = left + kQrQuietZone * pixels;
    const int y0 = top + kQrQuietZone * pixels;
    for (int y = 0; y < matrix.size; ++y)
    {
        // Runs of dark modules in a row as one rectangle each.
        int x = 0;
        while (x < matrix.size)
        {
            if (!matrix.at(x, y))
            {
                ++x;
                continue;
            }
            int end = x;
            while (end < matrix.size && matrix.at(end, y))
                ++end;
            painter->fillRect(QRect(x0 + x * pixels, y0 + y * pixels, (end - x) * pixels, pixels), darkColor);
            x = end;
        }
    }
}

} // namespace Vellaris
