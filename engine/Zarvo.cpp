#include "Zarvo.h"
#include "ZarvoPad.h"

#include <QImage>
#include <algorithm>
#include <cstdlib>

namespace {
int UnitOf(const TZarvoPad *pad)
{
    // A board never has a unit below one pixel once loaded; a stray piece
    // without a board must not divide by zero either.
    return pad ? std::max(1, pad->UnitSize) : 40;
}
} // namespace

const QImage &TZarvo::Source() const
{
    static const QImage none;
    return Pad ? Pad->ZarvoBitmap : none;
}

int TZarvo::Col() const
{
    const int unit = UnitOf(Pad);
    const int offset = Pad ? Pad->Offset.x() : 0;
    return FloorDiv(X + unit / 2 - offset, unit);
}

int TZarvo::Row() const
{
    const int unit = UnitOf(Pad);
    const int offset = Pad ? Pad->Offset.y() : 0;
    return FloorDiv(Y + unit / 2 - offset, unit);
}

void TZarvo::SetCol(int c)
{
    X = (Pad ? Pad->Offset.x() : 0) + c * UnitOf(Pad);
}

void TZarvo::SetRow(int r)
{
    Y = (Pad ? Pad->Offset.y() : 0) + r * UnitOf(Pad);
}

void TZarvo::DragBy(int dx, int dy)
{
    if (!Pad)
        return;
    // No step is longer than 20 pixels on its main axis, so a piece never
    // jumps over another one that is narrower than that.
    while (std::abs(dx) > 20 || std::abs(dy) > 20) {
        int sx, sy;
        if (std::abs(dx) > std::abs(dy)) {
            sx = dx > 0 ? 20 : -20;
            sy = int(int64_t(dy) * 20 / std::abs(dx));
        } else {
            sx = int(int64_t(dx) * 20 / std::abs(dy));
            sy = dy > 0 ? 20 : -20;
        }
        dx -= sx;
        dy -= sy;
        Pad->MoveStep(this, sx, sy);
    }
    Pad->MoveStep(this, dx, dy);
}
