#include "ZarvoPad.h"
#include "ZarvoRandom.h"

#include <QHash>
#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdlib>
#include <vector>

// The rules by which pieces move: a dragged piece stays inside the playing
// field, stops at fixed pieces and pushes movable pieces ahead of it; the
// parts of a compound piece move as one.

// Cells of the board with the pieces that cover them. Positions change
// only between passes (ApplyMove, restores, shuffles), so each top-level
// pass first brings the grid up to date with one sweep over the list; the
// pushes inside a pass then look only at the cells in a piece's way.
struct TMoveGrid
{
    const TZarvoList *List = nullptr;
    std::vector<TZarvo *> Order;          // the pieces as registered
    std::vector<std::array<int, 4>> Geo;  // X, Y, Width, Height as registered
    std::vector<std::array<int, 4>> Span; // covered cells: first col, first row, last col, last row
    int CellSize = 16;
    int OriginX = 0, OriginY = 0, Cols = 0, Rows = 0;
    std::vector<std::vector<int>> Cells;
    std::vector<uint32_t> Stamp; // last query that returned the piece
    uint32_t QueryNo = 0;
    std::vector<std::vector<int>> Found; // query results, one buffer per push depth
    int Passes = 0;                      // > 0 while a pass that synced the grid runs

    static std::array<int, 4> GeoOf(const TZarvo *p) { return {p->X, p->Y, p->Width, p->Height}; }

    // Pixel extent of a piece as the contact tests see it: the inclusive
    // rectangle, taken from both ends so odd sizes are covered too.
    static std::array<int, 4> Extent(const std::array<int, 4> &g)
    {
        const int r = g[0] + g[2] - 1, b = g[1] + g[3] - 1;
        return {std::min(g[0], r), std::min(g[1], b), std::max(g[0], r), std::max(g[1], b)};
    }

    int ColOf(int x) const { return FloorDiv(x - OriginX, CellSize); }
    int RowOf(int y) const { return FloorDiv(y - OriginY, CellSize); }

    bool SpanOf(const std::array<int, 4> &g, std::array<int, 4> &span) const
    {
        const auto e = Extent(g);
        span = {ColOf(e[0]), RowOf(e[1]), ColOf(e[2]), RowOf(e[3])};
        return span[0] >= 0 && span[1] >= 0 && span[2] < Cols && span[3] < Rows;
    }

    void Insert(int i)
    {
        const auto &sp = Span[size_t(i)];
        for (int r = sp[1]; r <= sp[3]; ++r)
            for (int c = sp[0]; c <= sp[2]; ++c)
                Cells[size_t(r) * size_t(Cols) + size_t(c)].push_back(i);
    }

    void Remove(int i)
    {
        const auto &sp = Span[size_t(i)];
        for (int r = sp[1]; r <= sp[3]; ++r)
            for (int c = sp[0]; c <= sp[2]; ++c) {
                auto &cell = Cells[size_t(r) * size_t(Cols) + size_t(c)];
                auto it = std::find(cell.begin(), cell.end(), i);
                if (it != cell.end()) {
                    *it = cell.back();
                    cell.pop_back();
                }
            }
    }

    void Rebuild(const TZarvoList &list, const TRect &frame, int unitSize)
    {
        List = &list;
        const size_t n = list.size();
        Order.resize(n);
        Geo.resize(n);
        Span.resize(n);
        Stamp.assign(n, 0);
        QueryNo = 0;
        // The grid spans the field and every piece, with room for the moves
        // that stay inside the field.
        int64_t left = frame.Left, top = frame.Top;
        int64_t right = std::max(frame.Left, frame.Right),
                bottom = std::max(frame.Top, frame.Bottom);
        for (size_t i = 0; i < n; ++i) {
            Order[i] = list[i].get();
            Geo[i] = GeoOf(Order[i]);
            const auto e = Extent(Geo[i]);
            left = std::min<int64_t>(left, e[0]);
            top = std::min<int64_t>(top, e[1]);
            right = std::max<int64_t>(right, e[2]);
            bottom = std::max<int64_t>(bottom, e[3]);
        }
        // Cells about a unit wide, coarser when the board is large for its
        // number of pieces, so the grid never costs much more than the list.
        int64_t cell = std::max(8, unitSize);
        const int64_t budget = 4 * int64_t(n) + 4096;
        while (((right - left) / cell + 1) * ((bottom - top) / cell + 1) > budget)
            cell *= 2;
        CellSize = int(std::min<int64_t>(cell, 1 << 30));
        OriginX = int(left);
        OriginY = int(top);
        Cols = int((right - left) / CellSize + 1);
        Rows = int((bottom - top) / CellSize + 1);
        Cells.assign(size_t(Cols) * size_t(Rows), {});
        for (size_t i = 0; i < n; ++i) {
            SpanOf(Geo[i], Span[i]);
            Insert(int(i));
        }
    }

    void Sync(const TZarvoList &list, const TRect &frame, int unitSize)
    {
        bool rebuild = List != &list || Order.size() != list.size();
        for (size_t i = 0; !rebuild && i < list.size(); ++i) {
            const TZarvo *p = list[i].get();
            if (Order[i] != p) {
                rebuild = true;
            } else if (GeoOf(p) != Geo[i]) {
                std::array<int, 4> span;
                if (!SpanOf(GeoOf(p), span)) {
                    rebuild = true;
                } else {
                    Geo[i] = GeoOf(p);
                    if (span != Span[i]) {
                        Remove(int(i));
                        Span[i] = span;
                        Insert(int(i));
                    }
                }
            }
        }
        if (rebuild)
            Rebuild(list, frame, unitSize);
    }

    // Indices, in list order, of every piece covering a cell that meets the
    // inclusive pixel rectangle.
    void Query(int x0, int y0, int x1, int y1, std::vector<int> &out)
    {
        out.clear();
        const int c0 = std::max(0, ColOf(x0)), c1 = std::min(Cols - 1, ColOf(x1));
        const int r0 = std::max(0, RowOf(y0)), r1 = std::min(Rows - 1, RowOf(y1));
        if (++QueryNo == 0) { // wrapped: forget every old stamp
            std::fill(Stamp.begin(), Stamp.end(), 0);
            QueryNo = 1;
        }
        for (int r = r0; r <= r1; ++r)
            for (int c = c0; c <= c1; ++c)
                for (int i : Cells[size_t(r) * size_t(Cols) + size_t(c)])
                    if (Stamp[size_t(i)] != QueryNo) {
                        Stamp[size_t(i)] = QueryNo;
                        out.push_back(i);
                    }
        std::sort(out.begin(), out.end());
    }
};

namespace {
// Overlapping or interlocking pieces can reach one piece along more and more
// chains of pushes, doubling with every row; a step that has asked this many
// pieces stops and is not taken, instead of taking for ever.
constexpr long long MaxPushVisits = 250000;

bool IsCandidate(const TZarvo *s, const TZarvo *o)
{
    // Parts of S's own piece never block it; a piece already being moved
    // further up the chain is not pushed again.
    return (!s->Master || s->Master != o->Master) && o != s && o->VisitCount == 0;
}
} // namespace

void TZarvoPad::DragBy(TZarvo *p, int dx, int dy)
{
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
        MoveStep(p, sx, sy);
    }
    MoveStep(p, dx, dy);
}

void TZarvoPad::MoveStep(TZarvo *p, int dx, int dy)
{
    // The trial pass finds how far the step can go; the real pass then
    // records that distance for every piece involved, so no piece moves
    // further than the slowest one it pushes.
    ResetMoveState();
    TryMove(p, p, dx, dy, true);
    const bool overrun = PushOverrun;
    ResetMoveState();
    if (overrun)
        return;
    TryMove(p, p, dx, dy, false);
    ApplyMove();
}

void TZarvoPad::ResetMoveState()
{
    PushVisits = 0;
    PushOverrun = false;
    for (auto &piece : ActivePieces()) {
        piece->VisitCount = 0;
        piece->MoveX = 0;
        piece->MoveY = 0;
    }
}

void TZarvoPad::TryMove(TZarvo *s, TZarvo *caller, int &dx, int &dy, bool trial)
{
    // A pass starts here (every inner call has another piece as caller):
    // bring the grid up to date with the positions the pass works on.
    struct TPassScope
    {
        TMoveGrid *Grid = nullptr;
        ~TPassScope()
        {
            if (Grid)
                --Grid->Passes;
        }
    } scope;
    if (PushOverrun || ++PushVisits > MaxPushVisits) {
        PushOverrun = true;
        dx = 0;
        dy = 0;
        return;
    }
    if (caller == s && !LinearCandidateScan) {
        if (!MoveGrid)
            MoveGrid = std::make_shared<TMoveGrid>();
        MoveGrid->Sync(ActivePieces(), FrameRect, UnitSize);
        ++MoveGrid->Passes;
        scope.Grid = MoveGrid.get();
    }
    // A part of a compound piece hands the move to its master, which asks
    // every part; a part reached while its master is busy moves with it.
    TZarvo *master = s->Master;
    if (master && caller != master && s != master) {
        if (master->VisitCount == 0)
            TryMove(master, s, dx, dy, trial);
        return;
    }
    if (!s->Movable) {
        dx = 0;
        dy = 0;
        return;
    }
    // Already being moved higher up. A push that comes back to a piece whose
    // own push is still running (a piece in the gap of a compound piece it
    // drags along, or pieces outside the field that the edge turns back)
    // finds it moving too, as the parts of a compound piece do, instead of
    // starting over without end.
    if (s->VisitCount > 0 || s->Pushing)
        return;

    // The master stays marked until its own pushes are done: a piece it
    // pushes that comes back against another of its parts must find the
    // whole piece already moving, or the push would start over for ever.
    const bool isMaster = master == s;
    if (isMaster) {
        ++s->VisitCount;
        for (TZarvo *part = s->Next; part; part = part->Next)
            TryMove(part, s, dx, dy, trial);
    }

    ++PushDepthCounter;
    {
        s->Pushing = true;
        ClampToFrame(s, dx, dy);
        PushCandidates(s, dx, dy, trial);
        if (!trial) {
            if (std::abs(s->MoveX) < std::abs(dx))
                s->MoveX = dx;
            if (std::abs(s->MoveY) < std::abs(dy))
                s->MoveY = dy;
            if (s->PushDepth < PushDepthCounter)
                s->PushDepth = PushDepthCounter;
        }
        s->Pushing = false;
    }
    --PushDepthCounter;
    if (isMaster)
        --s->VisitCount;
}

void TZarvoPad::PushCandidates(TZarvo *s, int &dx, int &dy, bool trial)
{
    if (std::abs(dx) >= std::abs(dy)) {
        PushPass(s, true, dx, 0, trial);
        PushPass(s, false, dy, dx, trial);
    } else {
        PushPass(s, false, dy, 0, trial);
        PushPass(s, true, dx, dy, trial);
    }
}

void TZarvoPad::PushPass(TZarvo *s, bool horizontal, int &d, int offset, bool trial)
{
    // A step of zero pixels touches nothing.
    if (d == 0)
        return;
    TZarvoList &list = ActivePieces();
    const auto push = [&](int i) {
        TZarvo *o = list[size_t(i)].get();
        if (!IsCandidate(s, o))
            return;
        if (horizontal)
            PushHorizontal(s, o, d, offset, trial);
        else
            PushVertical(s, o, offset, d, trial);
    };
    const int count = int(list.size());
    if (LinearCandidateScan || !MoveGrid || MoveGrid->Passes == 0 || MoveGrid->List != &list ||
        MoveGrid->Order.size() != list.size()) {
        for (int i = 0; i < count; ++i)
            push(i);
        return;
    }

    // Only pieces in the strip that S sweeps can be touched. The strip holds
    // for as long as the step keeps its direction and does not grow; a push
    // answered against the direction (a piece outside the field) falls back
    // to the plain scan for the rest of the list.
    const int d0 = d;
    int x0, y0, x1, y1;
    if (horizontal) {
        const int aLeft = s->X, aRight = s->X + s->Width - 1;
        const int aTop = s->Y + offset, aBottom = aTop + s->Height - 1;
        x0 = d0 > 0 ? aRight + 1 : aLeft + d0;
        x1 = d0 > 0 ? aRight + d0 : aLeft - 1;
        y0 = std::min(aTop, aBottom);
        y1 = std::max(aTop, aBottom);
    } else {
        const int aLeft = s->X + offset, aRight = aLeft + s->Width - 1;
        const int aTop = s->Y, aBottom = s->Y + s->Height - 1;
        y0 = d0 > 0 ? aBottom + 1 : aTop + d0;
        y1 = d0 > 0 ? aBottom + d0 : aTop - 1;
        x0 = std::min(aLeft, aRight);
        x1 = std::max(aLeft, aRight);
    }
    const size_t depth = size_t(std::max(0, PushDepthCounter));
    if (MoveGrid->Found.size() <= depth)
        MoveGrid->Found.resize(depth + 1);
    MoveGrid->Query(x0, y0, x1, y1, MoveGrid->Found[depth]);
    // The nested pushes below use deeper buffers; this one stays intact, but
    // take it by index because the list of buffers itself may grow.
    const size_t found = MoveGrid->Found[depth].size();
    for (size_t k = 0; k < found; ++k) {
        const int i = MoveGrid->Found[depth][k];
        push(i);
        if (d0 > 0 ? (d < 0 || d > d0) : (d > 0 || d < d0)) {
            for (int j = i + 1; j < count; ++j)
                push(j);
            return;
        }
    }
}

void TZarvoPad::ClampToFrame(const TZarvo *s, int &dx, int &dy) const
{
    if (s->X + dx < FrameRect.Left)
        dx = FrameRect.Left - s->X;
    if (s->X + dx + s->Width > FrameRect.Right)
        dx = FrameRect.Right - s->X - s->Width;
    if (s->Y + dy < FrameRect.Top)
        dy = FrameRect.Top - s->Y;
    if (s->Y + dy + s->Height > FrameRect.Bottom)
        dy = FrameRect.Bottom - s->Y - s->Height;
}

void TZarvoPad::PushHorizontal(TZarvo *s, TZarvo *o, int &dx, int offsetY, bool trial)
{
    // Inclusive pixel rectangles: S before (A) and after (B) the step, O (C).
    const int aLeft = s->X, aRight = s->X + s->Width - 1;
    const int aTop = s->Y + offsetY, aBottom = aTop + s->Height - 1;
    const int bLeft = aLeft + dx, bRight = aRight + dx;
    const int cLeft = o->X, cRight = o->X + o->Width - 1;
    const int cTop = o->Y, cBottom = o->Y + o->Height - 1;

    // Only a piece wholly beyond the leading edge counts; pieces that already
    // overlap S or lie beside it do not block it.
    if (cTop > aBottom || cBottom < aTop)
        return;
    int overlap;
    if (dx > 0 && aRight < cLeft) {
        if (cLeft > bRight)
            return;
        overlap = bRight - cLeft + 1;
    } else if (dx < 0 && cRight < aLeft) {
        if (cRight < bLeft)
            return;
        overlap = bLeft - cRight - 1;
    } else {
        return;
    }
    dx -= overlap; // S now stops touching O
    int push = overlap, zero = 0;
    TryMove(o, s, push, zero, trial);
    dx += push; // and follows as far as O gives way
}

void TZarvoPad::PushVertical(TZarvo *s, TZarvo *o, int offsetX, int &dy, bool trial)
{
    const int aLeft = s->X + offsetX, aRight = aLeft + s->Width - 1;
    const int aTop = s->Y, aBottom = s->Y + s->Height - 1;
    const int bTop = aTop + dy, bBottom = aBottom + dy;
    const int cLeft = o->X, cRight = o->X + o->Width - 1;
    const int cTop = o->Y, cBottom = o->Y + o->Height - 1;

    if (cLeft > aRight || cRight < aLeft)
        return;
    int overlap;
    if (dy > 0 && aBottom < cTop) {
        if (cTop > bBottom)
            return;
        overlap = bBottom - cTop + 1;
    } else if (dy < 0 && cBottom < aTop) {
        if (cBottom < bTop)
            return;
        overlap = bTop - cBottom - 1;
    } else {
        return;
    }
    dy -= overlap;
    int zero = 0, push = overlap;
    TryMove(o, s, zero, push, trial);
    dy += push;
}

void TZarvoPad::ApplyMove()
{
    for (auto &piece : ActivePieces()) {
        TZarvo *p = piece.get();
        // Every part takes its master's displacement, the smallest any part
        // allowed, so the parts of a piece never separate.
        if (p->Master && p->Master != p) {
            p->MoveX = p->Master->MoveX;
            p->MoveY = p->Master->MoveY;
        }
        p->X += p->MoveX;
        p->Y += p->MoveY;
    }
}

bool TZarvoPad::IsSolved() const
{
    if (Objects.empty())
        return false;
    // Pieces by cell, in list order; any piece there that fits serves.
    QMultiHash<quint64, const TZarvo *> byCell;
    const auto cellKey = [](int col, int row) {
        return (quint64(quint32(col)) << 32) | quint64(quint32(row));
    };
    const TZarvoList &active = ActivePieces();
    byCell.reserve(qsizetype(active.size()));
    for (const auto &piece : active)
        byCell.insert(cellKey(Col(piece.get()), Row(piece.get())), piece.get());

    const QString slash = QStringLiteral("/");
    for (const auto &goal : Objects) {
        const TZarvo *g = goal.get();
        const QString accepted = slash + g->Caption + slash;
        bool found = false;
        for (auto it = byCell.constFind(cellKey(Col(g), Row(g)));
             it != byCell.cend() && it.key() == cellKey(Col(g), Row(g)); ++it) {
            const TZarvo *p = it.value();
            if (p->TypeName != g->TypeName)
                continue;
            // A movable goal lists the accepted captions between slashes; a
            // fixed goal (a picture puzzle) wants the right part of the picture.
            if (g->Movable ? accepted.contains(slash + p->Caption + slash)
                           : (p->ImageX == g->ImageX && p->ImageY == g->ImageY)) {
                found = true;
                break;
            }
        }
        if (!found)
            return false;
    }
    return true;
}

void TZarvoPad::Shuffle()
{
    ZarvoRandom::Randomize();
    TZarvoList &list = ActivePieces();
    const uint32_t n = uint32_t(list.size());
    if (n < 2)
        return;
    int swaps = 0;
    while (swaps < 100) {
        const uint32_t a = ZarvoRandom::Random(n);
        const uint32_t b = ZarvoRandom::Random(n);
        if (a == b)
            continue;
        TZarvo *pa = list[a].get();
        TZarvo *pb = list[b].get();
        std::swap(pa->X, pb->X);
        std::swap(pa->Y, pb->Y);
        std::swap(pa->OldX, pb->OldX);
        std::swap(pa->OldY, pb->OldY);
        ++swaps;
    }
}
