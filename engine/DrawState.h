#pragma once

// What the board's drawing keeps between calls (Drawing.cpp): which parts of
// the piece picture hold finished faces, where the pieces' faces and the goal
// pieces lie, the goal picture when it is kept whole, the board picture once
// it was asked for whole, and the screen picture of the last area drawn.
//
// The faces of a picture puzzle of 120,000 pieces are made tile by tile
// where the board is first drawn, each tile exactly as the whole picture
// would have been made (the piece picture as loaded, then every movable
// piece's face in list order); so opening such a puzzle does not wait for
// captions nobody sees yet.

#include "GridShape.h"

#include <QImage>
#include <QRect>
#include <cstdint>
#include <vector>

class TZarvo;

// Pieces by a rectangle that does not change (a face's place in the piece
// picture, a goal piece's place): cells of about a unit with the pieces
// meeting them, in list order.
struct TRectIndex : TGridShape
{
    std::vector<qint32> Start; // per cell: first entry in Entries; one more at the end
    std::vector<qint32> Entries;
    std::vector<uint32_t> Stamp;
    uint32_t QueryNo = 0;

    // rects[i] of piece i; skipped ones (empty) are never found.
    void Build(const std::vector<QRect> &rects, int unitSize);
    // Pieces whose rectangle meets area, in list order.
    void Query(const QRect &area, std::vector<int> &out);
    bool Built() const { return !Start.empty(); }
};

struct TDrawState
{
    // Faces in ZarvoBitmap: tiles still holding the piece picture as loaded.
    bool FacesPending = false;
    qint64 FacesKey = 0; // ZarvoBitmap.cacheKey() the tiles belong to
    QRect Raw;           // where ZarvoBitmap holds the loaded picture (elsewhere: background)
    int TileCols = 0, TileRows = 0;
    std::vector<uint8_t> TileDone;
    TRectIndex Sources; // movable pieces of the piece list by face rectangle
    size_t SourcesCount = 0;

    // The goal picture: the goal list drawn from the faces (made when asked
    // for whole, GoalMade), or kept whole from loading (Object).
    bool GoalFromFaces = false;
    QImage Object;
    QImage GoalMade;
    qint64 GoalMadeBackKey = 0, GoalMadeZarvoKey = 0;
    quint64 GoalMadeGeneration = 0;
    TRectIndex Goals; // goal pieces by place
    size_t GoalsCount = 0;
    quint64 GoalsGeneration = 0;

    // The board picture once asked for whole, and where it is out of date.
    QImage Work;
    bool WorkValid = false, WorkShowObject = false;
    qint64 WorkBackKey = 0, WorkZarvoKey = 0;
    std::vector<QRect> WorkStale;

    // The screen picture of the last area asked for.
    QImage Screen;
    QRect HandShown; // where the hand was last drawn, board coordinates
};
