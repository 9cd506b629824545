#include "roomdesk/views/EqCurveItem.h"

#include <QFont>
#include <QPainter>
#include <algorithm>

#include "speaker/EQComponent.h"
#include "speaker/IEqViews.h"

namespace Vellaris
{

namespace
{
const char* viewName(EqCurveItem::Mode mode)
{
    switch (mode)
    {
    case EqCurveItem::Mode::kMicro:
        return "CurveMicroDisplay";
    case EqCurveItem::Mode::kSelect:
        return "CurveSelectDisplay";
    default:
        return "CurveDisplay";
    }
}
} // namespace

EqCurveItem::EqCurveItem(Mode mode, QQuickItem* parent) : QQuickPaintedItem(parent), mode(mode)
{
    setAntialiasing(true);
    if (mode != Mode::kMicro)
        setAcceptedMouseButtons(Qt::LeftButton);
}

EqCurveItem::~EqCurveItem()
{
    gesture.release();
    view.clear();
}

void EqCurveItem::setComponent(const QString& path)
{
    if (path == componentPath)
        return;
    componentPath = path;
    rebind();
}

void EqCurveItem::rebind()
{
    gesture.release();
    view.bind(componentPath.toStdString(), viewName(mode),
              [this](const Tessel::Message&)
              {
                  update();
                  Q_EMIT changed();
              });
    gesture.setEqualiser(getEqualiser());
    Q_EMIT bindingChanged();
    Q_EMIT changed();
    update();
}

Filtra::EQComponent* EqCurveItem::getEqualiser() const
{
    const Filtra::IEqualiserView* shown = view.getInterface<Filtra::IEqualiserView>();
    return shown ? shown->getEqualiser() : nullptr;
}

bool EqCurveItem::valid() const
{
    return getEqualiser() != nullptr;
}

int EqCurveItem::numBands() const
{
    return valid() ? getEqualiser()->getNumBands() : 0;
}

int EqCurveItem::currentBand() const
{
    return valid() ? getEqualiser()->getCurrentBand() : -1;
}

void EqCurveItem::setCurrentBand(int band)
{
    if (valid())
        getEqualiser()->setCurrentBand(band);
}

void EqCurveItem::setFirstHandle(int band)
{
    band = std::max(band, 0);
    if (band == handleFirst)
        return;
    handleFirst = band;
    Q_EMIT handlesChanged();
    update();
}

void EqCurveItem::setHandleCount(int count)
{
    count = std::max(count, -1);
    if (count == handles)
        return;
    handles = count;
    Q_EMIT handlesChanged();
    update();
}

bool EqCurveItem::hasHandle(int band) const
{
    return band >= handleFirst && (handles < 0 || band < handleFirst + handles);
}

QRectF EqCurveItem::plot() const
{
    return EqCurvePainter::plotRect(QRectF(0, 0, width(), height()), mode == Mode::kEditor);
}

QPointF EqCurveItem::toPlot(const QPointF& point) const
{
    const QRectF area = plot();
    return {(point.x() - area.left()) / std::max<qreal>(area.width(), 1),
            (point.y() - area.top()) / std::max<qreal>(area.height(), 1)};
}

int EqCurveItem::bandAt(const QPointF& point) const
{
    if (!valid())
        return -1;
    if (mode == Mode::kSelect)
    {
        const int count = numBands();
        const int band = count > 0 ? int(point.x() / (width() / count)) : -1;
        return band >= 0 && band < count ? band : -1;
    }
    const QRectF area = plot();
    const QPointF at = toPlot(point);
    return gesture.hitBand(float(at.x()), float(at.y()), float(EqCurvePainter::kHandleRadius / area.width()),
                           float(EqCurvePainter::kHandleRadius / area.height()), handleFirst, handles);
}

void EqCurveItem::mousePressEvent(QMouseEvent* event)
{
    const int band = bandAt(event->position());
    if (band < 0)
    {
        event->ignore();
        return;
    }
    if (mode == Mode::kSelect)
    {
        setCurrentBand(band);
        return;
    }
    const QPointF at = toPlot(event->position());
    gesture.press(band, float(at.x()), float(at.y()), event->modifiers() & Qt::ShiftModifier);
    Q_EMIT changed();
}

void EqCurveItem::mouseMoveEvent(QMouseEvent* event)
{
    if (!gesture.isDragging())
        return;
    const QPointF at = toPlot(event->position());
    // Shift pressed during a frequency and gain drag takes the fine gain grid (Shift at the press
    // means a Q drag).
    gesture.move(float(at.x()), float(at.y()),
                 event->modifiers() & Qt::ShiftModifier ? Vellaris::Dsp::StepSize::kShift
                                                        : Vellaris::Dsp::StepSize::kNormal);
}

void EqCurveItem::mouseReleaseEvent(QMouseEvent*)
{
    if (!gesture.isDragging())
        return;
    gesture.release();
    Q_EMIT changed();
}

void EqCurveItem::mouseUngrabEvent()
{
    // The window took the mouse away (a popup, a lost focus): the gesture still ends.
    if (gesture.isDragging())
    {
        gesture.release();
        Q_EMIT changed();
    }
}

void EqCurveItem::mouseDoubleClickEvent(QMouseEvent* event)
{
    const int band = bandAt(event->position());
    if (band < 0 || mode != Mode::kEditor)
        return;
    gesture.release();
    gesture.reset(band);
}

void EqCurveItem::wheelEvent(QWheelEvent* event)
{
    if (mode != Mode::kEditor || !valid())
        return event->ignore();
    int band = bandAt(event->position());
    if (band < 0)
        band = currentBand();
    if (band < 0 || !hasHandle(band))
        return event->ignore();
    gesture.wheel(band, float(event->angleDelta().y()) / 120.0f);
}

void EqCurveItem::paint(QPainter* target)
{
    Filtra::EQComponent* equaliser = getEqualiser();
    if (!equaliser)
        return;
    if (mode == Mode::kSelect)
        return paintSelector(*target);
    EqCurvePainter::Style style;
    style.labels = style.handles = style.bandCurves = mode == Mode::kEditor;
    style.firstHandle = handleFirst;
    style.handleCount = handles;
    painter.paint(*target, QRectF(0, 0, width(), height()), *equaliser, style);
}

void EqCurveItem::paintSelector(QPainter& target)
{
    Filtra::EQComponent* equaliser = getEqualiser();
    const int count = equaliser->getNumBands();
    if (count <= 0)
        return;
    target.setRenderHint(QPainter::Antialiasing, true);
    QFont font("DejaVu Sans");
    font.setPixelSize(11);
    font.setBold(true);
    target.setFont(font);
    const qreal w = width() / count;
    for (int band = 0; band < count; ++band)
    {
        const QRectF cell(band * w + 1, 1, w - 2, height() - 2);
        const bool current = band == equaliser->getCurrentBand();
        QColor color = EqCurvePainter::bandColor(band);
        if (!equaliser->isActive(band))
            color = color.darker(230);
        target.setPen(current ? QPen(Qt::white, 2) : QPen(QColor("#33363d"), 1));
        target.setBrush(current ? color : QColor("#2b2e34"));
        target.drawRoundedRect(cell, 3, 3);
        target.setPen(current ? QColor("#17181b") : color);
        target.drawText(cell, Qt::AlignCenter, QString::number(band + 1));
    }
}

} // namespace Vellaris
