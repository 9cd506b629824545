#include "venue/RoomEditGrid.h"

#include <cmath>

namespace Vellaris
{

namespace
{
bool isFree(const PlanRect& cell, const PlanRect& view, const std::vector<PlanRect>& occupied)
{
    if (!cell.isInside(view))
        return false;
    for (const PlanRect& other : occupied)
        if (cell.intersects(other))
            return false;
    return true;
}

// The cells of ring `r` in walking order: the top side left to right, the bottom side left to
// right, then the left and the right side without their corners, top to bottom.
std::vector<PlanPoint> ringCells(PlanPoint centre, int r, const PlanGrid& grid)
{
    std::vector<PlanPoint> cells;
    const auto at = [&](int i, int j) {
        return PlanPoint{centre.x + i * grid.gridX, centre.y + j * grid.gridY};
    };
    for (int i = -r; i <= r; ++i)
        cells.push_back(at(i, -r));
    for (int i = -r; i <= r; ++i)
        cells.push_back(at(i, r));
    for (int j = -r + 1; j <= r - 1; ++j)
        cells.push_back(at(-r, j));
    for (int j = -r + 1; j <= r - 1; ++j)
        cells.push_back(at(r, j));
    return cells;
}
} // namespace

PlanGrid makePlanGrid(int gridX, int gridY, int width, int height, int paddingTop)
{
    PlanGrid grid;
    grid.gridX = gridX > 0 ? gridX : 40;
    grid.gridY = gridY > 0 ? gridY : 40;
    grid.originX = width > 0 ? (width % grid.gridX) / 2 : 0;
    grid.originY = (height > 0 ? (height % grid.gridY) / 2 : 0) + paddingTop;
    return grid;
}

PlanPoint snapToGrid(PlanPoint point, const PlanGrid& grid)
{
    return {(point.x - grid.originX) / grid.gridX * grid.gridX + grid.originX,
            (point.y - grid.originY) / grid.gridY * grid.gridY + grid.originY};
}

PlanPoint findFreeCell(PlanPoint snapped, int cellWidth, int cellHeight, const PlanGrid& grid,
                       const PlanRect& view, const std::vector<PlanRect>& occupied)
{
    const auto cellAt = [&](PlanPoint corner) { return PlanRect{corner.x, corner.y, cellWidth, cellHeight}; };
    if (isFree(cellAt(snapped), view, occupied))
        return snapped;
    for (int r = 1; r <= kRingCount; ++r)
    {
        bool found = false;
        float nearest = 0;
        PlanPoint best = kNoFreeCell;
        for (PlanPoint candidate : ringCells(snapped, r, grid))
        {
            if (!isFree(cellAt(candidate), view, occupied))
                continue;
            const float dx = float(candidate.x - snapped.x);
            const float dy = float(candidate.y - snapped.y);
            const float distance = std::sqrt(dx * dx + dy * dy);
            if (!found || distance < nearest)
            {
                found = true;
                nearest = distance;
                best = candidate;
            }
        }
        if (found)
            return nearest < kMaxCellDistance ? best : kNoFreeCell;
    }
    return kNoFreeCell;
}

} // namespace Vellaris
