#pragma once

#include <QColor>
#include <QRectF>
#include <vector>

class QPainter;

namespace Filtra
{
class EQComponent;
}

namespace Vellaris
{

// Draws an equaliser's response on a plot: frequency grid with labels above, level grid with
// labels on the left, each band's own curve faint, the summed curve filled, and one numbered handle
// per band. Keeps its curve buffers between frames, so a frame allocates nothing once the plot
// size is steady.
class EqCurvePainter
{
public:
    struct Style
    {
        bool labels = true;  // frequency and level labels (the editor; the small curve has none)
        bool handles = true; // numbered band handles
        bool bandCurves = true;
        // The bands that get a handle, numbered from 1 in that range (handleCount < 0: every band
        // from firstHandle on). The other bands still draw their curves.
        int firstHandle = 0;
        int handleCount = -1;
    };

    // The colour of band `band` (the same in the curve, the handles and the band selector).
    static QColor bandColor(int band);
    // The plot inside `bounds` once the label margins are taken off.
    static QRectF plotRect(const QRectF& bounds, bool labels);
    // The handle radius in pixels.
    static constexpr qreal kHandleRadius = 9;

    void paint(QPainter& painter, const QRectF& bounds, const Filtra::EQComponent& equaliser,
               const Style& style);

private:
    void paintGrid(QPainter& painter, const QRectF& plot, const Filtra::EQComponent& equaliser, bool labels);

    std::vector<float> band;
    std::vector<float> sum;
};

} // namespace Vellaris
