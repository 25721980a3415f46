// The board's record of its pieces (PadTrack.h): the grid of cells, the
// pieces a drag touched, the committed cells with their hash, and the goal
// test, each brought up to date by the piece that changed.

#include "DrawState.h"
#include "PadTrack.h"

#include <QtGlobal>
#include <algorithm>
#include <climits>

// ---------------------------------------------------------------------------
// TMoveGrid

namespace {
// The inclusive pixel rectangle of a piece as the contact tests see it,
// taken from both ends so odd sizes are covered too.
std::array<int, 4> Extent(const std::array<int, 4> &g)
{
    const int r = g[0] + g[2] - 1, b = g[1] + g[3] - 1;
    return {std::min(g[0], r), std::min(g[1], b), std::max(g[0], r), std::max(g[1], b)};
}
} // namespace

int TMoveGrid::ColOf(int x) const
{
    return FloorDiv(x - OriginX, CellSize);
}

int TMoveGrid::RowOf(int y) const
{
    return FloorDiv(y - OriginY, CellSize);
}

bool TMoveGrid::SpanOf(const std::array<int, 4> &g, std::array<int, 4> &span) const
{
    const auto e = Extent(g);
    span = {ColOf(e[0]), RowOf(e[1]), ColOf(e[2]), RowOf(e[3])};
    return span[0] >= 0 && span[1] >= 0 && span[2] < Cols && span[3] < Rows;
}

void TMoveGrid::Insert(int i)
{
    const auto &sp = Span[size_t(i)];
    for (int r = sp[1]; r <= sp[3]; ++r)
        for (int c = sp[0]; c <= sp[2]; ++c) {
            qint32 &head = Head[size_t(r) * size_t(Cols) + size_t(c)];
            qint32 node;
            if (!FreeNodes.empty()) {
                node = FreeNodes.back();
                FreeNodes.pop_back();
            } else {
                node = qint32(Node.size());
                Node.push_back({});
            }
            Node[size_t(node)] = {i, head};
            head = node;
        }
}

void TMoveGrid::Remove(int i)
{
    const auto &sp = Span[size_t(i)];
    for (int r = sp[1]; r <= sp[3]; ++r)
        for (int c = sp[0]; c <= sp[2]; ++c) {
            qint32 *link = &Head[size_t(r) * size_t(Cols) + size_t(c)];
            while (*link >= 0 && Node[size_t(*link)][0] != i)
                link = &Node[size_t(*link)][1];
            if (*link >= 0) {
                const qint32 node = *link;
                *link = Node[size_t(node)][1];
                FreeNodes.push_back(node);
            }
        }
}

void TMoveGrid::Build(const TZarvoList &list, const TRect &frame, int unitSize)
{
    const size_t n = list.size();
    Geo.resize(n);
    Span.resize(n);
    Stamp.assign(n, 0);
    QueryNo = 0;
    // The grid spans the field and every piece, with room for the moves
    // that stay inside the field.
    int64_t left = frame.Left, top = frame.Top;
    int64_t right = std::max(frame.Left, frame.Right), bottom = std::max(frame.Top, frame.Bottom);
    for (size_t i = 0; i < n; ++i) {
        Geo[i] = GeoOf(list[i].get());
        const auto e = Extent(Geo[i]);
        left = std::min<int64_t>(left, e[0]);
        top = std::min<int64_t>(top, e[1]);
        right = std::max<int64_t>(right, e[2]);
        bottom = std::max<int64_t>(bottom, e[3]);
    }
    static_cast<TGridShape &>(*this) =
        TGridShape::Over(left, top, right, bottom, unitSize, qint64(n));
    Head.assign(size_t(Cols) * size_t(Rows), -1);
    Node.clear();
    Node.reserve(n + n / 4);
    FreeNodes.clear();
    for (size_t i = 0; i < n; ++i) {
        SpanOf(Geo[i], Span[i]);
        Insert(int(i));
    }
}

bool TMoveGrid::Update(int i, const TZarvo *p)
{
    const auto g = GeoOf(p);
    if (g == Geo[size_t(i)])
        return true;
    std::array<int, 4> span;
    if (!SpanOf(g, span))
        return false;
    Geo[size_t(i)] = g;
    if (span != Span[size_t(i)]) {
        Remove(i);
        Span[size_t(i)] = span;
        Insert(i);
    }
    return true;
}

void TMoveGrid::Query(int x0, int y0, int x1, int y1, std::vector<int> &out)
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
            for (qint32 node = Head[size_t(r) * size_t(Cols) + size_t(c)]; node >= 0;
                 node = Node[size_t(node)][1]) {
                const int i = Node[size_t(node)][0];
                if (Stamp[size_t(i)] != QueryNo) {
                    Stamp[size_t(i)] = QueryNo;
                    out.push_back(i);
                }
            }
    std::sort(out.begin(), out.end());
}

// ---------------------------------------------------------------------------
// The board's record

namespace {
template <typename T> void Mark(std::vector<qint32> &list, std::vector<uint8_t> &flags, T i)
{
    if (!flags[size_t(i)]) {
        flags[size_t(i)] = 1;
        list.push_back(qint32(i));
    }
}

void Unmark(std::vector<qint32> &list, std::vector<uint8_t> &flags)
{
    for (qint32 i : list)
        flags[size_t(i)] = 0;
    list.clear();
}

quint64 CellKey(TColRow c)
{
    return (quint64(quint32(c.Col)) << 32) | quint64(quint32(c.Row));
}

// Beyond this many rectangles the changed area is kept as their bounding box.
constexpr size_t MaxChangedRects = 32;
} // namespace

TColRow TZarvoPad::CommittedCell(const TZarvo *p) const
{
    const int unit = std::max(1, UnitSize);
    const int half = unit / 2;
    return {FloorDiv(p->OldX - Offset.x() + half, unit),
            FloorDiv(p->OldY - Offset.y() + half, unit)};
}

void TZarvoPad::PiecesChanged()
{
    if (FTrack)
        FTrack->Valid = false;
}

TPadTrack *TZarvoPad::Track() const
{
    if (!FTrack)
        FTrack = std::make_unique<TPadTrack>();
    TPadTrack &t = *FTrack;
    if (!TrackFits())
        RebuildTrack();
    return &t;
}

TPadTrack *TZarvoPad::ActiveTrack() const
{
    return ShowObject ? nullptr : Track(); // the goal list is looked at whole
}

bool TZarvoPad::TrackFits() const
{
    // Pieces added or taken away, or a new unit or offset (the properties
    // dialog sets them on a board about to be reopened), make it afresh.
    const TPadTrack *t = FTrack.get();
    return t && t->Valid && t->List == &Pieces && t->Count == Pieces.size() &&
           t->Unit == UnitSize && t->Origin == Offset;
}

void TZarvoPad::RebuildTrack() const
{
    TPadTrack &t = *FTrack;
    const size_t n = Pieces.size();
    t.List = &Pieces;
    t.Count = n;
    t.Unit = UnitSize;
    t.Origin = Offset;
    // The pieces the last move step touched are no longer known: every
    // piece starts the next step without a displacement or a visit.
    for (size_t i = 0; i < n; ++i) {
        TZarvo *p = Pieces[i].get();
        p->ListIndex = qint32(i);
        p->VisitCount = 0;
        p->MoveX = 0;
        p->MoveY = 0;
    }
    t.Grid.Build(Pieces, FrameRect, UnitSize);
    t.StepTouched.clear();
    t.StepStamp.assign(n, 0);
    t.ApplyStamp.assign(n, 0);
    t.DragTouched.clear();
    t.InDrag.assign(n, 0);
    t.Uncommitted.clear();
    t.InUncommitted.assign(n, 0);
    t.Loose.clear();
    t.InLoose.assign(n, 0);
    t.Cells.resize(n);
    for (size_t i = 0; i < n; ++i) {
        const TZarvo *p = Pieces[i].get();
        t.Cells[i] = CommittedCell(p);
        if (p->PushDepth != 0)
            Mark(t.DragTouched, t.InDrag, i);
        if (p->X != p->OldX || p->Y != p->OldY)
            Mark(t.Uncommitted, t.InUncommitted, i);
        if (p->X != p->OldX || p->Y != p->OldY || p->OldX != ColToX(t.Cells[i].Col) ||
            p->OldY != RowToY(t.Cells[i].Row))
            Mark(t.Loose, t.InLoose, i);
    }
    t.Hash = THistory::HashOf(t.Cells);
    t.Dirty.clear();
    t.InDirty.assign(n, 0);
    t.BaseCell.resize(n);
    t.Base = -1;
    // The current history entry is the usual base, when the pieces stand there.
    if (MoveIndex >= 0 && MoveIndex < History.size() && History.HoldsCells(MoveIndex) &&
        History.CellCount(MoveIndex) == qsizetype(n) && History.Hash(MoveIndex) == t.Hash) {
        std::vector<TColRow> cells;
        History.CellsOf(MoveIndex, cells);
        if (cells == t.Cells)
            Rebase(MoveIndex);
    }
    t.GoalsValid = false;
    if (FDraw)
        FDraw->WorkValid = false;
    t.Changed.assign(1, QRect(0, 0, std::max(Width(), 0), std::max(Height(), 0)));
    ++t.Generation;
    t.Valid = true;
}

bool TZarvoPad::Tracked(const TZarvo *p) const
{
    return TrackFits() && p->ListIndex >= 0 && size_t(p->ListIndex) < Pieces.size() &&
           Pieces[size_t(p->ListIndex)].get() == p;
}

void TZarvoPad::NoteMoved(TZarvo *p, int oldX, int oldY)
{
    if (!Tracked(p))
        return;
    TPadTrack &t = *FTrack;
    const int i = p->ListIndex;
    if (!t.Grid.Update(i, p))
        t.Grid.Build(Pieces, FrameRect, UnitSize);
    Mark(t.Uncommitted, t.InUncommitted, i);
    Mark(t.Loose, t.InLoose, i);
    NoteChangedRect(QRect(oldX, oldY, p->Width, p->Height));
    NoteChangedRect(QRect(p->X, p->Y, p->Width, p->Height));
    if (t.GoalsValid)
        CountGoals(i, p);
}

void TZarvoPad::NoteCommitted(TZarvo *p)
{
    if (!Tracked(p))
        return;
    TPadTrack &t = *FTrack;
    const int i = p->ListIndex;
    const TColRow cell = CommittedCell(p);
    const TColRow was = t.Cells[size_t(i)];
    if (cell == was)
        return;
    if (!t.InDirty[size_t(i)]) {
        Mark(t.Dirty, t.InDirty, i);
        t.BaseCell[size_t(i)] = was;
    }
    t.Hash += THistory::HashOf(i, cell) - THistory::HashOf(i, was);
    t.Cells[size_t(i)] = cell;
}

bool TZarvoPad::TrackCurrent(quint64 &generation) const
{
    const quint64 now = Track()->Generation;
    const bool same = generation == now;
    generation = now;
    return same;
}

void TZarvoPad::NoteChangedRect(const QRect &r)
{
    if (r.isEmpty())
        return;
    if (FDraw && FDraw->WorkValid)
        FDraw->WorkStale.push_back(r);
    if (!FTrack)
        return;
    std::vector<QRect> &changed = FTrack->Changed;
    changed.push_back(r);
    if (changed.size() > MaxChangedRects) {
        QRect all;
        for (const QRect &c : changed)
            all |= c;
        changed.assign(1, all);
    }
}

void TZarvoPad::Rebase(qsizetype entry) const
{
    TPadTrack &t = *FTrack;
    t.Base = entry;
    t.BaseRevision = History.Revision();
    Unmark(t.Dirty, t.InDirty);
}

bool TZarvoPad::BaseValid() const
{
    const TPadTrack &t = *FTrack;
    return t.Base >= 0 && t.Base < History.size() && t.BaseRevision == History.Revision() &&
           History.HoldsCells(t.Base) && History.CellCount(t.Base) == qsizetype(t.Count);
}

bool TZarvoPad::CompareWithEntry(qsizetype entry, std::vector<THistory::TChange> *changes)
{
    // The cells of entry against the current ones; changes (when asked for)
    // collects every piece whose cell differs, with its cell there.
    TPadTrack &t = *FTrack;
    const qsizetype n = qsizetype(t.Count);
    if (!History.HoldsCells(entry) || History.CellCount(entry) != n)
        return false;
    QHash<qint32, TColRow> delta;
    if (BaseValid() && History.Delta(t.Base, entry, n, delta)) {
        bool equal = true;
        const auto visit = [&](qint32 i) {
            const auto d = delta.constFind(i);
            const TColRow there = d != delta.cend()      ? *d
                                  : t.InDirty[size_t(i)] ? t.BaseCell[size_t(i)]
                                                         : t.Cells[size_t(i)];
            if (!(there == t.Cells[size_t(i)])) {
                equal = false;
                if (changes)
                    changes->push_back({i, there, t.Cells[size_t(i)]});
            }
        };
        for (qint32 i : t.Dirty)
            visit(i);
        for (auto it = delta.cbegin(); it != delta.cend(); ++it)
            if (!t.InDirty[size_t(it.key())])
                visit(it.key());
        if (changes)
            std::sort(changes->begin(), changes->end(),
                      [](const THistory::TChange &a, const THistory::TChange &b) {
                          return a.Piece < b.Piece;
                      });
        return equal;
    }
    std::vector<TColRow> cells;
    History.CellsOf(entry, cells);
    bool equal = true;
    for (qsizetype i = 0; i < n; ++i)
        if (!(cells[size_t(i)] == t.Cells[size_t(i)])) {
            equal = false;
            if (changes)
                changes->push_back({qint32(i), cells[size_t(i)], t.Cells[size_t(i)]});
        }
    return equal;
}

// ---------------------------------------------------------------------------
// The goal test from the record

namespace {
// "/" + caption + "/" occurs in "/" + accepted + "/": the caption is one of
// the captions the goal lists between slashes.
bool Accepts(const QString &accepted, const QString &caption)
{
    const qsizetype n = accepted.size(), m = caption.size();
    for (qsizetype at = 0; at + m <= n; ++at)
        if ((at == 0 || accepted[at - 1] == QLatin1Char('/')) &&
            (at + m == n || accepted[at + m] == QLatin1Char('/')) &&
            QStringView(accepted).mid(at, m) == caption)
            return true;
    return false;
}
} // namespace

bool TZarvoPad::GoalMatches(const TZarvo *p, qint32 goal) const
{
    const TZarvo *g = Objects[size_t(goal)].get();
    if (p->TypeName != g->TypeName)
        return false;
    if (!g->Movable)
        return p->ImageX == g->ImageX && p->ImageY == g->ImageY;
    return Accepts(g->Caption, p->Caption);
}

template <typename F> void TZarvoPad::ForGoalsAt(TColRow cell, F visit) const
{
    const TPadTrack &t = *FTrack;
    if (!t.GoalHead.empty()) {
        if (cell.Col < t.GoalLow.Col || cell.Col > t.GoalHigh.Col || cell.Row < t.GoalLow.Row ||
            cell.Row > t.GoalHigh.Row)
            return;
        const size_t cols = size_t(t.GoalHigh.Col) - size_t(t.GoalLow.Col) + 1;
        const size_t at =
            size_t(cell.Row - t.GoalLow.Row) * cols + size_t(cell.Col - t.GoalLow.Col);
        for (qint32 g = t.GoalHead[at]; g >= 0; g = t.GoalNext[size_t(g)])
            visit(g);
        return;
    }
    const quint64 key = CellKey(cell);
    auto it =
        std::lower_bound(t.GoalSorted.begin(), t.GoalSorted.end(), std::make_pair(key, qint32(-1)));
    for (; it != t.GoalSorted.end() && it->first == key; ++it)
        visit(it->second);
}

void TZarvoPad::BuildGoals() const
{
    TPadTrack &t = *FTrack;
    t.GoalList = &Objects;
    t.GoalCount = Objects.size();
    const size_t goals = Objects.size();
    std::vector<TColRow> cells(goals);
    TColRow lo{INT_MAX, INT_MAX}, hi{INT_MIN, INT_MIN};
    for (size_t g = 0; g < goals; ++g) {
        cells[g] = {Col(Objects[g].get()), Row(Objects[g].get())};
        lo = {std::min(lo.Col, cells[g].Col), std::min(lo.Row, cells[g].Row)};
        hi = {std::max(hi.Col, cells[g].Col), std::max(hi.Row, cells[g].Row)};
    }
    t.GoalHead.clear();
    t.GoalNext.clear();
    t.GoalSorted.clear();
    const qint64 area = goals ? (qint64(hi.Col) - lo.Col + 1) * (qint64(hi.Row) - lo.Row + 1) : 0;
    if (goals && area <= 4 * qint64(goals) + 4096) {
        t.GoalLow = lo;
        t.GoalHigh = hi;
        t.GoalHead.assign(size_t(area), -1);
        t.GoalNext.assign(goals, -1);
        const size_t cols = size_t(hi.Col) - size_t(lo.Col) + 1;
        // Chained from the last goal backwards, so each chain runs in list order.
        for (size_t g = goals; g-- > 0;) {
            const size_t at = size_t(cells[g].Row - lo.Row) * cols + size_t(cells[g].Col - lo.Col);
            t.GoalNext[g] = t.GoalHead[at];
            t.GoalHead[at] = qint32(g);
        }
    } else {
        t.GoalSorted.reserve(goals);
        for (size_t g = 0; g < goals; ++g)
            t.GoalSorted.emplace_back(CellKey(cells[g]), qint32(g));
        std::sort(t.GoalSorted.begin(), t.GoalSorted.end());
    }
    t.Matches.assign(goals, 0);
    t.CountedAt.resize(Pieces.size());
    for (size_t i = 0; i < Pieces.size(); ++i) {
        const TZarvo *p = Pieces[i].get();
        const TColRow at{Col(p), Row(p)};
        t.CountedAt[i] = at;
        ForGoalsAt(at, [&](qint32 g) {
            if (GoalMatches(p, g))
                ++t.Matches[size_t(g)];
        });
    }
    t.Unmatched = qint32(std::count(t.Matches.begin(), t.Matches.end(), 0));
    t.GoalsValid = true;
}

void TZarvoPad::CountGoals(int i, const TZarvo *p)
{
    TPadTrack &t = *FTrack;
    const TColRow at{Col(p), Row(p)};
    const TColRow was = t.CountedAt[size_t(i)];
    if (at == was)
        return;
    ForGoalsAt(was, [&](qint32 g) {
        if (GoalMatches(p, g) && --t.Matches[size_t(g)] == 0)
            ++t.Unmatched;
    });
    ForGoalsAt(at, [&](qint32 g) {
        if (GoalMatches(p, g) && t.Matches[size_t(g)]++ == 0)
            --t.Unmatched;
    });
    t.CountedAt[size_t(i)] = at;
}

bool TZarvoPad::GoalReached() const
{
    TPadTrack *t = ActiveTrack();
    if (!t)
        return IsSolved();
    if (!t->GoalsValid || t->GoalList != &Objects || t->GoalCount != Objects.size())
        BuildGoals();
    VerifyTrack();
    return !Objects.empty() && t->Unmatched == 0;
}

// ---------------------------------------------------------------------------
// Checking the record in debug builds

void TZarvoPad::VerifyTrack() const
{
#ifndef NDEBUG
    if (!TrackFits())
        return;
    const TPadTrack &t = *FTrack;
    const auto fail = [](const char *what) {
        qFatal("The board's record of its pieces is out of date (%s): pieces were changed "
               "by hand without PiecesChanged().",
               what);
    };
    for (size_t i = 0; i < Pieces.size(); ++i) {
        const TZarvo *p = Pieces[i].get();
        if (p->ListIndex != qint32(i))
            fail("list order");
        if (t.Grid.Geo[i] != TMoveGrid::GeoOf(p))
            fail("place or size");
        if (!(t.Cells[i] == CommittedCell(p)))
            fail("committed place");
        if ((p->X != p->OldX || p->Y != p->OldY) && !t.InUncommitted[i])
            fail("uncommitted place");
        if ((p->OldX != ColToX(t.Cells[i].Col) || p->OldY != RowToY(t.Cells[i].Row)) &&
            !t.InLoose[i])
            fail("place off its cell");
        if (p->PushDepth != 0 && !t.InDrag[i])
            fail("push depth");
    }
    if (t.Hash != THistory::HashOf(t.Cells))
        fail("snapshot hash");
    if (t.GoalsValid && t.GoalList == &Objects && t.GoalCount == Objects.size() && !ShowObject &&
        (!Objects.empty() && t.Unmatched == 0) != IsSolved())
        fail("goal test");
#endif
}
