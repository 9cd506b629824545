#include "roomdesk/views/GeqDisplay.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>

#include "speaker/IEqViews.h"
#include "speaker/eq/CurveAxes.h"
#include "tessel_qt/StyleAccess.h"

namespace Vellaris
{

namespace
{
constexpr float kMinLevel = -16.0f, kMaxLevel = 16.0f;
}

GeqDisplay::GeqDisplay(QQuickItem* parent) : QQuickPaintedItem(parent)
{
    setAntialiasing(true);
}

GeqDisplay::~GeqDisplay()
{
    link.clear();
}

void GeqDisplay::setComponent(const QString& path)
{
    if (path == componentPath)
        return;
    componentPath = path;
    rebind();
}

void GeqDisplay::rebind()
{
    link.bind(componentPath.toStdString(), "GEQDisplay", [this](const Tessel::Message&) { update(); });
    Q_EMIT bindingChanged();
    update();
}

GeqDisplay::Layout GeqDisplay::layout() const
{
    Layout out;
    QFont axisFont("DejaVu Sans");
    axisFont.setPixelSize(10);
    out.font = Tessel::Qt::styleFont("axisfont", axisFont);
    const QFontMetricsF metrics(out.font);
    const qreal textHeight = std::ceil(metrics.height());
    // The level column is as wide as its widest text ("-12"), so no sign is ever cut off.
    qreal levelWidth = 0;
    for (int level = -12; level <= 12; level += 6)
        levelWidth = std::max(levelWidth, metrics.horizontalAdvance(QString::number(level)));
    const qreal left = std::ceil(levelWidth) + 6;
    const qreal top = textHeight + 2;
    out.plot =
        QRectF(left, top, std::max<qreal>(width() - left - 4, 1), std::max<qreal>(height() - top - 4, 1));
    const Filtra::CurveAxes axes{20, 20000, kMinLevel, kMaxLevel};
    for (int level = -12; level <= 12; level += 6)
    {
        const qreal y = out.plot.bottom() - axes.levelToY(float(level)) * out.plot.height();
        out.levelValues.push_back(float(level));
        const QString text = QString::number(level);
        const qreal w = metrics.horizontalAdvance(text);
        out.levels.push_back({text, QRectF(left - 4 - w, y - textHeight / 2, w, textHeight)});
    }
    float lines[Filtra::kMaxGridLines];
    const int count = axes.gridLines(false, lines, Filtra::kMaxGridLines);
    out.lines.assign(lines, lines + count);
    // Labels by importance: both ends, then the decades, then the rest; one that would come within
    // a gap of a label already placed is left out (its grid line stays).
    std::vector<int> order;
    for (int i = 0; i < count; ++i)
        order.push_back(i);
    auto rank = [&](int i)
    {
        if (i == 0 || i == count - 1)
            return 0;
        const float f = lines[i];
        if (f == 1000.0f)
            return 1;
        if (f == 100.0f || f == 10000.0f)
            return 2;
        return f == 200.0f || f == 2000.0f ? 3 : 4;
    };
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return rank(a) < rank(b); });
    constexpr qreal kGap = 8;
    std::vector<Label> placed;
    for (int i : order)
    {
        const qreal x = out.plot.left() + axes.freqToX(lines[i]) * out.plot.width();
        const QString text = QString::fromStdString(Filtra::gridLabel(lines[i]));
        const qreal w = std::ceil(metrics.horizontalAdvance(text));
        // The labels at the ends stay inside the item.
        const qreal boxLeft = std::clamp(x - w / 2, 0.0, std::max(0.0, width() - w));
        const QRectF box(boxLeft, 0, w, textHeight);
        const bool crowded = std::any_of(placed.begin(), placed.end(),
                                         [&](const Label& other)
                                         { return box.adjusted(-kGap, 0, kGap, 0).intersects(other.box); });
        if (!crowded && box.right() <= width() + 0.5)
            placed.push_back({text, box});
    }
    std::sort(placed.begin(), placed.end(),
              [](const Label& a, const Label& b) { return a.box.left() < b.box.left(); });
    out.frequencies = std::move(placed);
    return out;
}

namespace
{
QVariantList labelList(const std::vector<GeqDisplay::Label>& labels)
{
    QVariantList list;
    for (const auto& label : labels)
        list.append(QVariantMap{{"text", label.text},
                                {"x", label.box.x()},
                                {"y", label.box.y()},
                                {"width", label.box.width()},
                                {"height", label.box.height()}});
    return list;
}
} // namespace

QVariantList GeqDisplay::frequencyLabels() const
{
    return labelList(layout().frequencies);
}

QVariantList GeqDisplay::levelLabels() const
{
    return labelList(layout().levels);
}

void GeqDisplay::paint(QPainter* painter)
{
    painter->setRenderHint(QPainter::Antialiasing, true);
    const Layout axis = layout();
    const QRectF& plot = axis.plot;
    painter->fillRect(plot, Tessel::Qt::styleColor("plot", QColor("#0e0f11")));
    const Filtra::CurveAxes axes{20, 20000, kMinLevel, kMaxLevel};
    painter->setFont(axis.font);
    painter->setPen(QColor("#33363d"));
    for (float line : axis.lines)
    {
        const qreal x = plot.left() + axes.freqToX(line) * plot.width();
        painter->drawLine(QPointF(x, plot.top()), QPointF(x, plot.bottom()));
    }
    painter->setPen(QColor("#8a8f98"));
    for (const Label& label : axis.frequencies)
        painter->drawText(label.box, Qt::AlignCenter | Qt::TextDontClip, label.text);
    for (size_t i = 0; i < axis.levels.size(); ++i)
    {
        const qreal y = plot.bottom() - axes.levelToY(axis.levelValues[i]) * plot.height();
        painter->setPen(axis.levelValues[i] == 0 ? QColor("#8a8f98") : QColor("#33363d"));
        painter->drawLine(QPointF(plot.left(), y), QPointF(plot.right(), y));
        painter->setPen(QColor("#8a8f98"));
        painter->drawText(axis.levels[i].box, Qt::AlignRight | Qt::AlignVCenter | Qt::TextDontClip,
                          axis.levels[i].text);
    }
    const Filtra::IResponseView* geq = link.getInterface<Filtra::IResponseView>();
    if (!geq)
        return;
    const int points = std::clamp(int(plot.width() / 2), 16, 512);
    grid.prepare(20, 20000, points);
    curve.resize(size_t(points));
    geq->getResponse(grid, curve.data());
    const bool on = geq->isOn();
    QPainterPath path;
    for (int i = 0; i < points; ++i)
    {
        const qreal x = plot.left() + plot.width() * qreal(i) / qreal(points);
        const float db = std::clamp(curve[size_t(i)], kMinLevel - 1, kMaxLevel + 1);
        const qreal y = plot.bottom() - axes.levelToY(db) * plot.height();
        if (i == 0)
            path.moveTo(x, y);
        else
            path.lineTo(x, y);
    }
    painter->save();
    painter->setClipRect(plot);
    painter->setPen(
        QPen(on ? QColor("#3fa9f5") : QColor("#8a8f98"), on ? 2 : 1, on ? Qt::SolidLine : Qt::DashLine));
    painter->drawPath(path);
    painter->restore();
    if (!on)
    {
        painter->setPen(QColor("#8a8f98"));
        painter->drawText(plot.adjusted(0, 4, -8, 0), Qt::AlignRight | Qt::AlignTop, QStringLiteral("OFF"));
    }
}

GeqPlaceholder::GeqPlaceholder(const char* text, QQuickItem* parent) : QQuickPaintedItem(parent), text(text)
{
}

void GeqPlaceholder::paint(QPainter* painter)
{
    QFont font("DejaVu Sans");
    font.setPixelSize(13);
    painter->setFont(font);
    painter->setPen(QColor("#e6e6e6"));
    painter->drawText(QRectF(0, 0, width(), height()), Qt::AlignCenter, text);
}

} // namespace Vellaris
