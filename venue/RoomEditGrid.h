#pragma once

#include <vector>

namespace Vellaris
{

// Points and rectangles of the room editor's floor plan, in the editor's own pixels.
struct PlanPoint
{
    int x = 0;
    int y = 0;
    bool operator==(const PlanPoint& other) const = default;
};

struct PlanRect
{
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;

    int right() const { return x + width; }
    int bottom() const { return y + height; }
    // Left and top edges belong to the rectangle, right and bottom edges do not.
    bool contains(PlanPoint point) const
    {
        return point.x >= x && point.x < right() && point.y >= y && point.y < bottom();
    }
    // Whether the two share any pixel (rectangles that only touch do not).
    bool intersects(const PlanRect& other) const
    {
        return x < other.right() && other.x < right() && y < other.bottom() && other.y < bottom();
    }
    // Whether this rectangle lies wholly within `outer`.
    bool isInside(const PlanRect& outer) const
    {
        return x >= outer.x && y >= outer.y && right() <= outer.right() && bottom() <= outer.bottom();
    }
    bool operator==(const PlanRect& other) const = default;
};

// The grid speakers snap to: cells of gridX × gridY pixels starting at the origin.
struct PlanGrid
{
    int gridX = 40;
    int gridY = 40;
    int originX = 0;
    int originY = 0;
};

// The place a drop cannot use: a point that lies outside every plan.
constexpr PlanPoint kNoFreeCell{-500, 0};

// The grid origin of an editor of `width` × `height`: half of what is left after whole cells, plus
// `paddingTop` vertically.
PlanGrid makePlanGrid(int gridX, int gridY, int width, int height, int paddingTop);

// The grid point at or before `point`, by integer division of its distance to the origin (a point
// left of or above the origin snaps towards the origin).
PlanPoint snapToGrid(PlanPoint point, const PlanGrid& grid);

// Where a speaker cell of `cellWidth` × `cellHeight` goes when it is dropped at the snapped point
// `snapped`: that point itself when the cell there lies wholly inside `view` and overlaps none of
// `occupied`; otherwise the nearest free cell of the first of up to kRingCount rings around it
// (ring r is r grid steps away on every side) that has one, the top-left corner closest to the
// snapped one winning and the earlier cell of the ring winning a tie; kNoFreeCell when no ring
// has a free cell.
PlanPoint findFreeCell(PlanPoint snapped, int cellWidth, int cellHeight, const PlanGrid& grid,
                       const PlanRect& view, const std::vector<PlanRect>& occupied);

constexpr int kRingCount = 4;
// Candidates this far from the snapped point or farther are never taken.
constexpr float kMaxCellDistance = 1000.0f;

} // namespace Vellaris
