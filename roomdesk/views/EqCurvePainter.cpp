#include "roomdesk/views/EqCurvePainter.h"

#include <QFont>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>

#include "speaker/CurveEditGesture.h"
#include "speaker/EQComponent.h"
#include "speaker/eq/CurveAxes.h"

namespace Vellaris
{

namespace
{
// The skin's palette (Theme.qml).
const QColor kBackground("#0e0f11");
const QColor kGridFine("#1f2226");
const QColor kGridCoarse("#33363d");
const QColor kText("#e6e6e6");
const QColor kDimmed("#8a8f98");
const QColor kAccent("#3fa9f5");
// Frequency labels above the plot, clear of a handle sitting on the top line.
constexpr qreal kLabelHeight = 16;
constexpr qreal kTopMargin = kLabelHeight + 12;
constexpr qreal kBottomMargin = 10; // room for a handle on the bottom line
constexpr qreal kLeftMargin = 36;   // level labels
constexpr qreal kSmallMargin = 2;

// A level step that gives four to eight level lines.
float levelStep(float span)
{
    for (float step : {1.0f, 2.0f, 3.0f, 5.0f, 6.0f, 10.0f, 12.0f, 20.0f, 24.0f, 50.0f})
        if (span / step <= 8.0f)
            return step;
    return 100.0f;
}
} // namespace

QColor EqCurvePainter::bandColor(int band)
{
    // Eight hues, a little darker for the second eight (the notch bands of the composite).
    const int hue = (band % 8) * 45 + 200;
    return QColor::fromHsv(hue % 360, band < 8 ? 150 : 110, band < 8 ? 245 : 215);
}

QRectF EqCurvePainter::plotRect(const QRectF& bounds, bool labels)
{
    if (!labels)
        return bounds.adjusted(kSmallMargin, kSmallMargin, -kSmallMargin, -kSmallMargin);
    return bounds.adjusted(kLeftMargin, kTopMargin, -6, -kBottomMargin);
}

void EqCurvePainter::paintGrid(QPainter& painter, const QRectF& plot, const Filtra::EQComponent& equaliser,
                               bool labels)
{
    const Filtra::DisplayRange range = equaliser.getDisplayRange();
    const Filtra::CurveAxes axes{range.minFreq, range.maxFreq, range.minLevel, range.maxLevel};
    float lines[Filtra::kMaxGridLines];
    QFont font("DejaVu Sans");
    font.setPixelSize(10);
    painter.setFont(font);
    for (bool fine : {true, false})
    {
        painter.setPen(QPen(fine ? kGridFine : kGridCoarse, 1));
        const int count = axes.gridLines(fine, lines, Filtra::kMaxGridLines);
        for (int i = 0; i < count; ++i)
        {
            const qreal x = plot.left() + axes.freqToX(lines[i]) * plot.width();
            painter.drawLine(QPointF(x, plot.top()), QPointF(x, plot.bottom()));
            if (!fine && labels)
            {
                painter.setPen(kDimmed);
                const QString text = QString::fromStdString(Filtra::gridLabel(lines[i]));
                // The labels at the ends stay inside the plot's width.
                const bool first = x<plot.left() + 1, last = x> plot.right() - 1;
                const QRectF box = first  ? QRectF(x, plot.top() - kTopMargin, 60, kLabelHeight)
                                   : last ? QRectF(x - 60, plot.top() - kTopMargin, 60, kLabelHeight)
                                          : QRectF(x - 30, plot.top() - kTopMargin, 60, kLabelHeight);
                painter.drawText(box,
                                 (first  ? Qt::AlignLeft
                                  : last ? Qt::AlignRight
                                         : Qt::AlignHCenter) |
                                     Qt::AlignBottom,
                                 text);
                painter.setPen(QPen(kGridCoarse, 1));
            }
        }
    }
    const float span = range.maxLevel - range.minLevel;
    if (span <= 0)
        return;
    const float step = levelStep(span);
    for (float level = std::ceil(range.minLevel / step) * step; level <= range.maxLevel + 1e-3f;
         level += step)
    {
        const qreal y = plot.bottom() - axes.levelToY(level) * plot.height();
        painter.setPen(QPen(std::fabs(level) < 1e-3f ? kDimmed : kGridCoarse, 1));
        painter.drawLine(QPointF(plot.left(), y), QPointF(plot.right(), y));
        if (labels)
        {
            painter.setPen(kDimmed);
            // The top and bottom labels sit inside the plot's height, clear of the frequencies.
            const bool top = y<plot.top() + 1, bottom = y> plot.bottom() - 1;
            const QRectF box(0, top ? y : bottom ? y - 14 : y - 7, kLeftMargin - 4, 14);
            painter.drawText(box,
                             Qt::AlignRight | (top      ? Qt::AlignTop
                                               : bottom ? Qt::AlignBottom
                                                        : Qt::AlignVCenter),
                             QString::number(int(std::lround(level))));
        }
    }
}

void EqCurvePainter::paint(QPainter& painter, const QRectF& bounds, const Filtra::EQComponent& equaliser,
                           const Style& style)
{
    painter.setRenderHint(QPainter::Antialiasing, true);
    const QRectF plot = plotRect(bounds, style.labels);
    painter.fillRect(plot, kBackground);
    if (plot.width() < 4 || plot.height() < 4)
        return;
    paintGrid(painter, plot, equaliser, style.labels);

    const Filtra::DisplayRange range = equaliser.getDisplayRange();
    const Filtra::CurveAxes axes{range.minFreq, range.maxFreq, range.minLevel, range.maxLevel};
    // One point every two pixels is smoother than the eye can tell, and half the work.
    const int count = std::clamp(int(plot.width() / 2), 16, 512);
    band.resize(size_t(count));
    sum.resize(size_t(count));
    auto yOf = [&](float db)
    {
        const float clamped = std::clamp(db, range.minLevel - 1.0f, range.maxLevel + 1.0f);
        return plot.bottom() - qreal(axes.levelToY(clamped)) * plot.height();
    };
    auto xOf = [&](int i) { return plot.left() + plot.width() * qreal(i) / qreal(count); };

    painter.save();
    painter.setClipRect(plot);
    const bool on = equaliser.isEqualiserOn();
    const int bands = equaliser.getNumBands();
    if (style.bandCurves)
    {
        for (int b = 0; b < bands; ++b)
        {
            if (!equaliser.getBandCurve(band.data(), b, count))
                continue;
            QColor color = bandColor(b);
            color.setAlpha(equaliser.isActive(b) && on ? 110 : 35);
            QPainterPath path;
            path.moveTo(xOf(0), yOf(band[0]));
            for (int i = 1; i < count; ++i)
                path.lineTo(xOf(i), yOf(band[size_t(i)]));
            painter.setPen(QPen(color, 1));
            painter.drawPath(path);
        }
    }
    equaliser.getSummedCurve(sum.data(), count);
    QPainterPath curve;
    curve.moveTo(xOf(0), yOf(sum[0]));
    for (int i = 1; i < count; ++i)
        curve.lineTo(xOf(i), yOf(sum[size_t(i)]));
    const qreal zero = yOf(std::clamp(0.0f, range.minLevel, range.maxLevel));
    QPainterPath fill = curve;
    fill.lineTo(plot.right(), zero);
    fill.lineTo(plot.left(), zero);
    fill.closeSubpath();
    QColor fillColor = on ? kAccent : kDimmed;
    fillColor.setAlpha(on ? 60 : 25);
    painter.fillPath(fill, fillColor);
    painter.setPen(QPen(on ? kAccent : kDimmed, on ? 2 : 1, on ? Qt::SolidLine : Qt::DashLine));
    painter.drawPath(curve);
    painter.restore();

    if (!on && style.labels)
    {
        painter.setPen(kDimmed);
        painter.drawText(plot.adjusted(0, 6, -8, 0), Qt::AlignRight | Qt::AlignTop,
                         QStringLiteral("BYPASSED"));
    }
    if (!style.handles)
        return;
    Filtra::CurveEditGesture where(const_cast<Filtra::EQComponent*>(&equaliser));
    QFont font("DejaVu Sans");
    font.setPixelSize(10);
    font.setBold(true);
    painter.setFont(font);
    const int current = equaliser.getCurrentBand();
    const int firstHandle = std::max(style.firstHandle, 0);
    const int endHandle = style.handleCount < 0 ? bands : std::min(bands, firstHandle + style.handleCount);
    for (int b = firstHandle; b < endHandle; ++b)
    {
        float hx = 0, hy = 0;
        where.getHandle(b, hx, hy);
        const QPointF centre(plot.left() + hx * plot.width(), plot.top() + hy * plot.height());
        const bool active = equaliser.isActive(b) && on;
        QColor color = bandColor(b);
        if (!active)
            color = color.darker(230);
        painter.setPen(QPen(b == current ? QColor(Qt::white) : color.darker(150), b == current ? 2 : 1));
        painter.setBrush(color);
        painter.drawEllipse(centre, kHandleRadius, kHandleRadius);
        painter.setPen(active ? QColor("#17181b") : kDimmed);
        painter.drawText(QRectF(centre.x() - kHandleRadius, centre.y() - kHandleRadius, 2 * kHandleRadius,
                                2 * kHandleRadius),
                         Qt::AlignCenter, QString::number(b - firstHandle + 1));
    }
    painter.setBrush(Qt::NoBrush);
}

} // namespace Vellaris
