#include "PadTrack.h"
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
    VerifyTrack();
    DragSteps(p, dx, dy);
}

void TZarvoPad::DragSteps(TZarvo *p, int dx, int dy)
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
    TPadTrack *t = ActiveTrack();
    if (!t) {
        for (auto &piece : ActivePieces()) {
            piece->VisitCount = 0;
            piece->MoveX = 0;
            piece->MoveY = 0;
        }
        return;
    }
    // Only the pieces the last pass moved carry anything; visits are undone
    // by the pass itself.
    for (TZarvo *piece : t->StepTouched) {
        piece->VisitCount = 0;
        piece->MoveX = 0;
        piece->MoveY = 0;
    }
    t->StepTouched.clear();
    if (++t->Pass == 0) { // wrapped: forget every old mark
        std::fill(t->StepStamp.begin(), t->StepStamp.end(), 0);
        std::fill(t->ApplyStamp.begin(), t->ApplyStamp.end(), 0);
        t->Pass = 1;
    }
}

void TZarvoPad::TryMove(TZarvo *s, TZarvo *caller, int &dx, int &dy, bool trial)
{
    if (PushOverrun || ++PushVisits > MaxPushVisits) {
        PushOverrun = true;
        dx = 0;
        dy = 0;
        return;
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
            NoteStepped(s);
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
    TPadTrack *t = LinearCandidateScan || &list != &Pieces ? nullptr : Track();
    if (!t) {
        for (int i = 0; i < count; ++i)
            push(i);
        return;
    }
    TMoveGrid &grid = t->Grid;

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
    if (grid.Found.size() <= depth)
        grid.Found.resize(depth + 1);
    grid.Query(x0, y0, x1, y1, grid.Found[depth]);
    // The nested pushes below use deeper buffers; this one stays intact, but
    // take it by index because the list of buffers itself may grow.
    const size_t found = grid.Found[depth].size();
    for (size_t k = 0; k < found; ++k) {
        const int i = grid.Found[depth][k];
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

void TZarvoPad::NoteStepped(TZarvo *s)
{
    if (!Tracked(s))
        return;
    TPadTrack &t = *FTrack;
    const size_t i = size_t(s->ListIndex);
    if (t.StepStamp[i] != t.Pass) {
        t.StepStamp[i] = t.Pass;
        t.StepTouched.push_back(s);
    }
    if (s->PushDepth != 0 && !t.InDrag[i]) {
        t.InDrag[i] = 1;
        t.DragTouched.push_back(qint32(i));
    }
}

void TZarvoPad::ApplyMove()
{
    const auto move = [this](TZarvo *p) {
        if (p->MoveX == 0 && p->MoveY == 0)
            return;
        const int oldX = p->X, oldY = p->Y;
        p->X += p->MoveX;
        p->Y += p->MoveY;
        NoteMoved(p, oldX, oldY);
    };
    TPadTrack *t = ActiveTrack();
    if (!t || &ActivePieces() != &Pieces) {
        for (auto &piece : ActivePieces()) {
            TZarvo *p = piece.get();
            // Every part takes its master's displacement, the smallest any
            // part allowed, so the parts of a piece never separate.
            if (p->Master && p->Master != p) {
                p->MoveX = p->Master->MoveX;
                p->MoveY = p->Master->MoveY;
            }
            move(p);
        }
        return;
    }
    // Only the pieces the pass reached can move, with every part of their
    // compound pieces.
    const auto once = [t](TZarvo *p) {
        const size_t i = size_t(p->ListIndex);
        if (t->ApplyStamp[i] == t->Pass)
            return false;
        t->ApplyStamp[i] = t->Pass;
        return true;
    };
    for (TZarvo *s : t->StepTouched) {
        TZarvo *m = s->Master ? s->Master : s;
        if (m->Master == m && Tracked(m) && once(m)) {
            move(m);
            for (TZarvo *q = m->Next; q; q = q->Next)
                if (Tracked(q) && once(q)) {
                    q->MoveX = m->MoveX;
                    q->MoveY = m->MoveY;
                    move(q);
                }
        }
        if (s != m && once(s)) { // a part its master's chain does not reach
            s->MoveX = m->MoveX;
            s->MoveY = m->MoveY;
            move(s);
        } else if (!s->Master && once(s)) {
            move(s);
        }
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
        const int ax = pa->X, ay = pa->Y;
        std::swap(pa->X, pb->X);
        std::swap(pa->Y, pb->Y);
        std::swap(pa->OldX, pb->OldX);
        std::swap(pa->OldY, pb->OldY);
        NoteMoved(pa, ax, ay);
        NoteMoved(pb, pa->X, pa->Y);
        NoteCommitted(pa);
        NoteCommitted(pb);
        ++swaps;
    }
}
