#pragma once

#include "ZarvoPad.h"

#include <memory>

// Boards put together piece by piece, without a puzzle file, for the rules
// that need exact pixel positions.
namespace HandBoard {

// A board with a field of cols x rows units of unit pixels at (ox, oy).
inline void Frame(TZarvoPad &pad, int cols, int rows, int unit = 10, int ox = 0, int oy = 0)
{
    pad.UnitSize = unit;
    pad.Offset = QPoint(ox, oy);
    pad.FrameRect = TRect{ox, oy, ox + cols * unit, oy + rows * unit};
}

// A single-rectangle piece at pixel (x, y), appended to the piece list.
inline TZarvo *Add(TZarvoPad &pad, int x, int y, int w, int h, bool movable = true,
                   const QString &caption = QString(), TZarvoList *list = nullptr)
{
    auto piece = std::make_unique<TZarvo>();
    TZarvo *p = piece.get();
    p->X = p->OldX = x;
    p->Y = p->OldY = y;
    p->Width = w;
    p->Height = h;
    p->Movable = movable;
    p->Caption = caption;
    p->TypeName = QStringLiteral("T");
    (list ? *list : pad.Pieces).push_back(std::move(piece));
    return p;
}

// Links parts (already on the board, first = master) into one compound piece.
inline void Link(std::initializer_list<TZarvo *> parts)
{
    TZarvo *master = *parts.begin();
    TZarvo *prev = nullptr;
    for (TZarvo *p : parts) {
        p->Master = master;
        if (prev)
            prev->Next = p;
        prev = p;
    }
}

inline QPoint Pos(const TZarvo *p)
{
    return QPoint(p->X, p->Y);
}

} // namespace HandBoard
