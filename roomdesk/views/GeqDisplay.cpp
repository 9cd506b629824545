#include "roomdesk/views/GeqDisplay.h"

#include <QFont>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>

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

void GeqDisplay::paint(QPainter* painter)
{
    painter->setRenderHint(QPainter::Antialiasing, true);
    const QRectF plot(30, 14, std::max<qreal>(width() - 34, 1), std::max<qreal>(height() - 18, 1));
    painter->fillRect(plot, Tessel::Qt::styleColor("plot", QColor("#0e0f11")));
    const Filtra::CurveAxes axes{20, 20000, kMinLevel, kMaxLevel};
    float lines[Filtra::kMaxGridLines];
    QFont axisFont("DejaVu Sans");
    axisFont.setPixelSize(10);
    painter->setFont(Tessel::Qt::styleFont("axisfont", axisFont));
    const int count = axes.gridLines(false, lines, Filtra::kMaxGridLines);
    for (int i = 0; i < count; ++i)
    {
        const qreal x = plot.left() + axes.freqToX(lines[i]) * plot.width();
        painter->setPen(QColor("#33363d"));
        painter->drawLine(QPointF(x, plot.top()), QPointF(x, plot.bottom()));
        painter->setPen(QColor("#8a8f98"));
        // The labels at the ends stay inside the item.
        const bool first = (x < plot.left() + 1);
        const bool last = (x > plot.right() - 1);
        const QRectF box(first ? x : (last ? x - 60 : x - 30), 0, 60, 13);
        const int align = first ? Qt::AlignLeft : (last ? Qt::AlignRight : Qt::AlignHCenter);
        painter->drawText(box, align | Qt::AlignVCenter, QString::fromStdString(Filtra::gridLabel(lines[i])));
    }
    for (int level = -12; level <= 12; level += 6)
    {
        const qreal y = plot.bottom() - axes.levelToY(float(level)) * plot.height();
        painter->setPen(level == 0 ? QColor("#8a8f98") : QColor("#33363d"));
        painter->drawLine(QPointF(plot.left(), y), QPointF(plot.right(), y));
        painter->setPen(QColor("#8a8f98"));
        painter->drawText(QRectF(0, y - 7, 26, 14), Qt::AlignRight | Qt::AlignVCenter,
                          QString::number(level));
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
