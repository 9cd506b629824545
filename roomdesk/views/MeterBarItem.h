#pragma once

#include <QColor>
#include <QQuickItem>

#include "tessel_qt/ViewLink.h"

namespace Vellaris
{

// What a vertical meter shows, in whole device pixels: the top of the level (or the bottom of a
// gain reduction hanging from the top) and the peak line. Two levels that round to the same
// pixels draw the same, so the meter repaints only when one of these changes.
struct MeterPixels
{
    int fill = 0;         // pixels of the scale covered by the level, from the bottom (reduction: top)
    int peak = -1;        // top of the 2 px peak line, -1 when none is shown
    bool peakHot = false; // the peak is near the top of the scale (drawn in the clip colour)

    bool operator==(const MeterPixels&) const = default;
};

// The pixels of a meter of `height` logical pixels (border of 1 included) at device pixel ratio
// `ratio`, for `level` and `peak` (positions 0..1 along the scale; peak < 0: none). A reduction
// meter shows no peak.
MeterPixels meterPixels(double height, double ratio, double level, double peak, bool reduction);

// QML type "MeterBarItem" (import Roomdesk 1.0): the moving part of a vertical meter of a speaker,
// drawn straight from the speaker's meter view ("MeterDisplay<index>"; a reduction meter reads the
// output's gain reduction, "ReductionDisplay<index>", 1 to 4), without a binding or script per
// frame.
//     MeterBarItem { speaker: "SpeakerNetwork/123456789//Speaker"; index: 0 }
// The level rises from the bottom in three zones (good up to -12 dB, warning to -3 dB, error
// above); a reduction meter hangs from the top in the warning colour. Where a level in dB lies on
// the meter comes from the speaker's meter view (its own curve, so the zones and a scale drawn
// beside the meter agree with the level shown); without one, and for a reduction meter, the scale
// runs linearly from `bottomDb` to `topDb`. `floor` (0..1) is a level shown at least (a level the speaker
// reports besides the meter frames). The item reads the view on each of its moves and asks for a frame only
// when the drawn pixels change. Every meter of the program is drawn on one clock, at most 30 times a
// second (or once per frame of the screen, when that is slower): a move after a quiet spell is drawn
// at once, the others wait for the next tick and are drawn at their newest, all in one frame.
class MeterBarItem : public QQuickItem
{
    Q_OBJECT
    Q_PROPERTY(QString speaker READ speaker WRITE setSpeaker NOTIFY bindingChanged)
    Q_PROPERTY(int index READ index WRITE setIndex NOTIFY bindingChanged)
    Q_PROPERTY(bool valid READ valid NOTIFY bindingChanged)
    Q_PROPERTY(bool reduction READ reduction WRITE setReduction NOTIFY styleChanged)
    Q_PROPERTY(double floor READ floor WRITE setFloor NOTIFY floorChanged)
    Q_PROPERTY(double topDb READ topDb WRITE setTopDb NOTIFY styleChanged)
    Q_PROPERTY(double bottomDb READ bottomDb WRITE setBottomDb NOTIFY styleChanged)
    Q_PROPERTY(QColor goodColor MEMBER goodColor NOTIFY styleChanged)
    Q_PROPERTY(QColor warningColor MEMBER warningColor NOTIFY styleChanged)
    Q_PROPERTY(QColor errorColor MEMBER errorColor NOTIFY styleChanged)
    Q_PROPERTY(QColor peakColor MEMBER peakColor NOTIFY styleChanged)
    // What is drawn now (for tests): the level's pixels and the peak line's top (-1: none).
    Q_PROPERTY(int drawnFill READ drawnFill NOTIFY drawnChanged)
    Q_PROPERTY(int drawnPeak READ drawnPeak NOTIFY drawnChanged)
    // How many frames the item has asked the window for since it was made (for tests).
    Q_PROPERTY(int frameRequests READ frameRequests)

public:
    explicit MeterBarItem(QQuickItem* parent = nullptr);
    ~MeterBarItem() override;

    QString speaker() const { return speakerPath; }
    void setSpeaker(const QString& path);
    int index() const { return viewIndex; }
    void setIndex(int index);
    bool valid() const { return link.isBound(); }
    double floor() const { return floorLevel; }
    void setFloor(double level);
    bool reduction() const { return reductionMeter; }
    void setReduction(bool reduction);
    double topDb() const { return scaleTopDb; }
    void setTopDb(double db);
    double bottomDb() const { return scaleBottomDb; }
    void setBottomDb(double db);
    int drawnFill() const { return shown.fill; }
    int drawnPeak() const { return shown.peak; }
    int frameRequests() const { return requests; }
    // Where a level of `db` lies on the meter: 0 at the bottom, 1 at the top.
    Q_INVOKABLE double positionOf(double db) const;

Q_SIGNALS:
    void bindingChanged();
    void floorChanged();
    void styleChanged();
    void drawnChanged();

protected:
    QSGNode* updatePaintNode(QSGNode* old, UpdatePaintNodeData* data) override;
    void geometryChange(const QRectF& newGeometry, const QRectF& oldGeometry) override;

private:
    void rebind();
    void refresh();
    void restyle();
    void requestFrame();
    void drawNow();
    class Clock;

    QString speakerPath;
    int viewIndex = 0;
    bool reductionMeter = false;
    double floorLevel = 0;
    double scaleTopDb = 0;
    double scaleBottomDb = -60;
    QColor goodColor{0x4c, 0xd9, 0x64};
    QColor warningColor{0xff, 0xb0, 0x20};
    QColor errorColor{0xff, 0x3b, 0x30};
    QColor peakColor{0xe6, 0xe6, 0xe6};
    MeterPixels shown;          // what the last frame drew (or the next one draws)
    bool restyled = true; // colours, zones or size changed: the nodes are laid out anew
    int requests = 0;
    Tessel::Qt::ViewLink link;
};

} // namespace Vellaris
