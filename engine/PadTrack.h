#pragma once

// What the board keeps about its pieces beside the pieces themselves, so a
// move costs what it changes and not what the board holds: a grid of cells
// with the pieces on them, the pieces a drag has touched, the committed cell
// of every piece with the hash of the whole snapshot, which history entry
// that snapshot was last compared against, and how many goal pieces stand
// unmatched. Every move, restore and shuffle of the board keeps it up to
// date; PiecesChanged() makes the board build it afresh.

#include "GridShape.h"
#include "HistoryList.h"
#include "ZarvoPad.h"

#include <QHash>
#include <QPoint>
#include <QRect>
#include <array>
#include <cstdint>
#include <vector>

// Cells of the board with the indices of the pieces that cover them, each
// cell a chain of nodes in one pool.
struct TMoveGrid : TGridShape
{
    std::vector<qint32> Head;                // first node of each cell, -1 none
    std::vector<std::array<qint32, 2>> Node; // piece, next node
    std::vector<qint32> FreeNodes;
    std::vector<std::array<int, 4>> Geo;  // X, Y, Width, Height as registered
    std::vector<std::array<int, 4>> Span; // first col, first row, last col, last row
    std::vector<uint32_t> Stamp;          // last query that returned the piece
    uint32_t QueryNo = 0;
    std::vector<std::vector<int>> Found; // query results, one buffer per push depth

    static std::array<int, 4> GeoOf(const TZarvo *p) { return {p->X, p->Y, p->Width, p->Height}; }
    int ColOf(int x) const;
    int RowOf(int y) const;
    bool SpanOf(const std::array<int, 4> &g, std::array<int, 4> &span) const;
    void Build(const TZarvoList &list, const TRect &frame, int unitSize);
    // Registers the new place of piece i; false when it left the grid.
    bool Update(int i, const TZarvo *p);
    // Indices, in list order, of every piece covering a cell that meets the
    // inclusive pixel rectangle.
    void Query(int x0, int y0, int x1, int y1, std::vector<int> &out);

private:
    void Insert(int i);
    void Remove(int i);
};

struct TPadTrack
{
    const TZarvoList *List = nullptr; // the piece list it describes
    size_t Count = 0;
    bool Valid = false;
    quint64 Generation = 0; // counts the times it was made afresh
    // The board's unit and offset it was made for: cells depend on them.
    int Unit = 0;
    QPoint Origin;

    TMoveGrid Grid;

    // The pieces whose displacement the running pass set, and the pass
    // that last listed or moved each piece.
    std::vector<TZarvo *> StepTouched;
    std::vector<uint32_t> StepStamp, ApplyStamp;
    uint32_t Pass = 0;
    // Pieces the running drag pushed (PushDepth set), each once.
    std::vector<qint32> DragTouched;
    std::vector<uint8_t> InDrag;
    // Pieces whose place may differ from their committed one, and pieces
    // that may stand off the exact place of their committed cell.
    std::vector<qint32> Uncommitted, Loose;
    std::vector<uint8_t> InUncommitted, InLoose;

    // The committed cell of every piece and the hash of them all.
    std::vector<TColRow> Cells;
    quint64 Hash = 0;
    // The history entry the cells were last found equal to (Base), as long
    // as the history has not changed since (BaseRevision); Dirty are the
    // pieces whose cell changed after that, BaseCell their cell there.
    qsizetype Base = -1;
    quint64 BaseRevision = 0;
    std::vector<qint32> Dirty;
    std::vector<uint8_t> InDirty;
    std::vector<TColRow> BaseCell;

    // The goal test: the goal pieces by cell (a chain per cell of a dense
    // table over the cells the goal covers, or the goals sorted by cell when
    // they lie too far apart for one), how many pieces match each, how many
    // match none, and the cell every piece was counted at.
    bool GoalsValid = false;
    const TZarvoList *GoalList = nullptr;
    size_t GoalCount = 0;
    TColRow GoalLow, GoalHigh;
    std::vector<qint32> GoalHead, GoalNext;
    std::vector<std::pair<quint64, qint32>> GoalSorted;
    std::vector<qint32> Matches;
    qint32 Unmatched = 0;
    std::vector<TColRow> CountedAt;

    // Board rectangles whose picture changed since the view last asked.
    std::vector<QRect> Changed;
};
