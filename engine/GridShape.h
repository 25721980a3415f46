#pragma once

// The cells of a grid that finds pieces by place (the move rules' grid, the
// drawing's indexes): about a unit wide, coarser when the area is large for
// the number of pieces, so the grid never costs much more than the list.

#include <QtGlobal>
#include <algorithm>

struct TGridShape
{
    int CellSize = 16;
    int OriginX = 0, OriginY = 0, Cols = 0, Rows = 0;

    // The shape over left..right, top..bottom (inclusive, in pixels) for
    // count pieces of unitSize.
    static TGridShape Over(qint64 left, qint64 top, qint64 right, qint64 bottom, int unitSize,
                           qint64 count)
    {
        qint64 cell = std::max(8, unitSize);
        const qint64 budget = 4 * count + 4096;
        while (((right - left) / cell + 1) * ((bottom - top) / cell + 1) > budget)
            cell *= 2;
        TGridShape g;
        g.CellSize = int(std::min<qint64>(cell, 1 << 30));
        g.OriginX = int(left);
        g.OriginY = int(top);
        g.Cols = int((right - left) / g.CellSize + 1);
        g.Rows = int((bottom - top) / g.CellSize + 1);
        return g;
    }
};
