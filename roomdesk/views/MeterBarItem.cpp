#include "roomdesk/views/MeterBarItem.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QPointer>
#include <QQuickWindow>
#include <QSGNode>
#include <QSGRectangleNode>
#include <QScreen>
#include <QTimer>

#include <algorithm>
#include <cmath>
#include <vector>

#include "speaker/meter/MeterView.h"

namespace Vellaris
{

namespace
{
// The colour zones end at these levels.
constexpr double kErrorDb = -3;
constexpr double kWarningDb = -12;

// Children of the item's node, in paint order.
enum Part
{
    kError,
    kWarning,
    kGood,
    kPeak,
    kParts
};

QSGRectangleNode* part(QSGNode* root, int which)
{
    return static_cast<QSGRectangleNode*>(root->childAtIndex(which));
}

void setRect(QSGRectangleNode* node, const QRectF& rect)
{
    const QRectF wanted = rect.isValid() ? rect : QRectF();
    if (node->rect() != wanted)
        node->setRect(wanted);
}

// The screen's frame in ms (60 Hz when the screen does not say).
int framePeriodMs(const QQuickWindow* window)
{
    const QScreen* screen = window && window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    const double rate = screen ? screen->refreshRate() : 0.0;
    return int(std::lround(1000.0 / (rate >= 10.0 && rate <= 500.0 ? rate : 60.0)));
}

// Meters are drawn at most this often: smooth to the eye, and half the frames of a 60 Hz screen.
constexpr int kMeterFrameMs = 33;

void setColor(QSGRectangleNode* node, const QColor& color)
{
    if (node->color() != color)
        node->setColor(color);
}
} // namespace

MeterPixels meterPixels(double height, double ratio, double level, double peak, bool reduction)
{
    MeterPixels pixels;
    const double scale = std::max(0.0, height - 2);
    pixels.fill = int(std::lround(std::clamp(level, 0.0, 1.0) * scale * ratio));
    if (!reduction && peak >= 0)
    {
        pixels.peak = int(std::lround((1 + (1 - std::min(1.0, peak)) * std::max(0.0, height - 4)) * ratio));
        pixels.peakHot = peak > 0.95;
    }
    return pixels;
}

// One clock for every meter of the program: the meters that moved since its last tick are drawn
// together at the next one, so a hundred speakers metering at their own moments cost one frame of
// the window per tick instead of a frame each. A tick comes at most every kMeterFrameMs (or a frame
// of the screen, when that is longer); a move after a quiet spell is drawn at once.
class MeterBarItem::Clock : public QObject
{
public:
    static Clock& instance()
    {
        static Clock* clock = new Clock; // lives as long as the program: meters may outlive main()'s objects
        return *clock;
    }

    void schedule(MeterBarItem* item)
    {
        if (std::find(due.begin(), due.end(), item) == due.end())
            due.push_back(item);
        if (timer.isActive())
            return;
        const int period = std::max(kMeterFrameMs, framePeriodMs(item->window()));
        const qint64 since = lastTick.isValid() ? lastTick.elapsed() : period;
        timer.start(int(std::max<qint64>(0, period - since)));
    }

private:
    Clock()
    {
        timer.setSingleShot(true);
        timer.setTimerType(::Qt::PreciseTimer);
        connect(&timer, &QTimer::timeout, this, &Clock::tick);
    }

    void tick()
    {
        lastTick.start();
        const std::vector<QPointer<MeterBarItem>> drawing = std::move(due);
        due.clear();
        for (const QPointer<MeterBarItem>& item : drawing)
            if (item)
                item->drawNow();
    }

    QTimer timer;
    QElapsedTimer lastTick;
    std::vector<QPointer<MeterBarItem>> due;
};

MeterBarItem::MeterBarItem(QQuickItem* parent) : QQuickItem(parent)
{
    setFlag(ItemHasContents, true);
    connect(this, &MeterBarItem::styleChanged, this, &MeterBarItem::restyle);
}

MeterBarItem::~MeterBarItem()
{
    link.clear();
}

void MeterBarItem::setSpeaker(const QString& path)
{
    if (path == speakerPath)
        return;
    speakerPath = path;
    rebind();
}

void MeterBarItem::setIndex(int index)
{
    if (index == viewIndex)
        return;
    viewIndex = index;
    rebind();
}

void MeterBarItem::setFloor(double level)
{
    if (level == floorLevel)
        return;
    floorLevel = level;
    Q_EMIT floorChanged();
    refresh();
}

void MeterBarItem::setReduction(bool reduction)
{
    if (reduction == reductionMeter)
        return;
    reductionMeter = reduction;
    Q_EMIT styleChanged();
    rebind(); // a reduction meter reads the output's gain reduction, not its level
}

void MeterBarItem::setTopDb(double db)
{
    if (db == scaleTopDb)
        return;
    scaleTopDb = db;
    Q_EMIT styleChanged();
}

void MeterBarItem::setBottomDb(double db)
{
    if (db == scaleBottomDb)
        return;
    scaleBottomDb = db;
    Q_EMIT styleChanged();
}

double MeterBarItem::positionOf(double db) const
{
    if (!reductionMeter)
        if (const auto* view = dynamic_cast<const Filtra::MeterView*>(link.getView()))
            return view->markPosition(float(db));
    const double range = scaleTopDb - scaleBottomDb;
    return range != 0 ? std::clamp((db - scaleBottomDb) / range, 0.0, 1.0) : 0.0;
}

void MeterBarItem::rebind()
{
    link.clear();
    if (!speakerPath.isEmpty())
        link.bind(speakerPath.toStdString(),
                  (reductionMeter ? "ReductionDisplay" : "MeterDisplay") + std::to_string(viewIndex),
                  [this](const Tessel::Message& msg)
                  {
                      if (msg.is(Tessel::Messages::kChanged))
                          refresh();
                  });
    Q_EMIT bindingChanged();
    // The view brings its own scale: the zones are laid out anew.
    restyle();
}

void MeterBarItem::refresh()
{
    const double level = std::max(link.read("level").asDouble(), floorLevel);
    const double peak = link.isBound() ? link.read("peak").asDouble() : -1.0;
    const double ratio = window() ? window()->effectiveDevicePixelRatio() : 1.0;
    const MeterPixels pixels = meterPixels(height(), ratio, level, peak, reductionMeter);
    if (pixels == shown)
        return;
    shown = pixels;
    requestFrame();
    Q_EMIT drawnChanged();
}

void MeterBarItem::requestFrame()
{
    Clock::instance().schedule(this);
}

void MeterBarItem::drawNow()
{
    ++requests;
    update();
}

void MeterBarItem::restyle()
{
    restyled = true;
    shown = MeterPixels{-1, -2, false}; // differs from any level: the next refresh draws
    refresh();
    update();
}

void MeterBarItem::geometryChange(const QRectF& newGeometry, const QRectF& oldGeometry)
{
    QQuickItem::geometryChange(newGeometry, oldGeometry);
    if (newGeometry.size() != oldGeometry.size())
        restyle();
}

QSGNode* MeterBarItem::updatePaintNode(QSGNode* old, UpdatePaintNodeData*)
{
    QSGNode* root = old;
    if (!root)
    {
        root = new QSGNode;
        for (int i = 0; i < kParts; ++i)
        {
            QSGRectangleNode* node = window()->createRectangleNode();
            root->appendChildNode(node);
        }
        restyled = true;
    }
    const double w = width();
    const double h = height();
    const double ratio = window()->effectiveDevicePixelRatio();
    const double fill = shown.fill / ratio;
    if (restyled)
    {
        restyled = false;
        setColor(part(root, kError), errorColor);
        setColor(part(root, kWarning), warningColor);
        setColor(part(root, kGood), goodColor);
    }
    if (reductionMeter)
    {
        // Hangs from the top, in the warning colour.
        setRect(part(root, kError), {});
        setRect(part(root, kGood), {});
        setRect(part(root, kWarning), QRectF(1, 1, w - 2, fill));
        setRect(part(root, kPeak), {});
        return root;
    }
    // The level from the bottom, cut out of the three zones of the scale.
    auto yOf = [&](double db) { return h * (1 - positionOf(db)); };
    const double top = h - 1 - fill;
    const double bottom = h - 1;
    auto zone = [&](double from, double to)
    {
        const double y0 = std::max(from, top);
        const double y1 = std::min(to, bottom);
        return y1 > y0 ? QRectF(1, y0, w - 2, y1 - y0) : QRectF();
    };
    setRect(part(root, kError), zone(0, yOf(kErrorDb)));
    setRect(part(root, kWarning), zone(yOf(kErrorDb), yOf(kWarningDb)));
    setRect(part(root, kGood), zone(yOf(kWarningDb), h));
    if (shown.peak >= 0)
    {
        setColor(part(root, kPeak), shown.peakHot ? errorColor : peakColor);
        setRect(part(root, kPeak), QRectF(1, shown.peak / ratio, w - 2, 2));
    }
    else
        setRect(part(root, kPeak), {});
    return root;
}

} // namespace Vellaris
