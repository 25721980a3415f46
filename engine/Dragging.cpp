#include "PadTrack.h"
#include "ZarvoPad.h"

#include <algorithm>

// The board's mouse handling: a press picks the topmost movable piece under
// the pointer, each move drags it by the rules, the release commits the drag
// into the history and tells the window.

void TZarvoPad::MouseDown(TMouseButton button, TShiftState shift, int x, int y)
{
    // While the goal is shown the active list is the goal list: a press
    // would drag a goal piece and record the goal as a position of the game.
    if (ShowObject)
        return;
    VerifyTrack();
    Dragging = true;
    // Every piece's place becomes its committed one and no piece has been
    // pushed yet: only the pieces moved or pushed since the last commit
    // differ from that.
    TPadTrack *t = ActiveTrack();
    const auto commit = [this](TZarvo *p) {
        p->PushDepth = 0;
        if (p->OldX != p->X || p->OldY != p->Y) {
            p->OldX = p->X;
            p->OldY = p->Y;
            NoteCommitted(p);
        }
    };
    if (t) {
        for (qint32 i : t->DragTouched) {
            t->InDrag[size_t(i)] = 0;
            commit(Pieces[size_t(i)].get());
        }
        t->DragTouched.clear();
        for (qint32 i : t->Uncommitted) {
            t->InUncommitted[size_t(i)] = 0;
            commit(Pieces[size_t(i)].get());
        }
        t->Uncommitted.clear();
    } else {
        for (auto &piece : ActivePieces())
            commit(piece.get());
    }
    PushDepthCounter = 0;
    DragIndex = -1;
    ButtonDown = true;
    HandX = x;
    HandY = y;
    Redraw();

    // Later pieces are drawn over earlier ones, so the last hit is the one
    // the player sees under the pointer. Only what lies on the board can be
    // pressed: a piece placed outside it is never seen.
    const TZarvoList &list = ActivePieces();
    const bool onBoard = x >= 0 && y >= 0 && x < Width() && y < Height();
    const auto hit = [&](int i) {
        const TZarvo *p = list[size_t(i)].get();
        if (p->Movable && p->X <= x && x < p->X + p->Width && p->Y <= y && y < p->Y + p->Height) {
            DragIndex = i;
            PrevHit = LastHit == -1 ? i : LastHit;
            LastHit = i;
        }
    };
    if (onBoard && t) {
        std::vector<int> under;
        t->Grid.Query(x, y, x, y, under);
        for (int i : under)
            hit(i);
    } else if (onBoard) {
        for (int i = 0; i < int(list.size()); ++i)
            hit(i);
    }
    DownX = x;
    DownY = y;

    if (DragIndex == -1 && (shift & ssCtrl) && (shift & ssDouble))
        SaveBoardImage();
    if (OnMouseDownEvent)
        OnMouseDownEvent(*this, button, shift, x, y);
}

void TZarvoPad::MouseMove(TShiftState shift, int x, int y)
{
    HandX = x;
    HandY = y;
    MouseInside = true;
    if (!Dragging || !(shift & ssLeft) || ShowObject) {
        Paint(); // only the hand moves
        return;
    }
    // While dragging, the pointer is held inside the board, as the window
    // confines it: a position far outside (from a script) would otherwise
    // be walked in millions of 20-pixel steps, and overflow beyond that.
    if (Width() > 0 && Height() > 0) {
        x = std::clamp(x, 0, Width() - 1);
        y = std::clamp(y, 0, Height() - 1);
    }
    if (x == DownX && y == DownY)
        return;
    if (DragIndex == -1 || DragIndex >= PieceCount()) {
        // Pressed beside every movable piece: the closed hand stays put.
        HandX = DownX;
        HandY = DownY;
    } else {
        TZarvo *p = Piece(DragIndex);
        // The reference point stays where the piece was grabbed, so a piece
        // that was stopped follows again at once when the mouse comes back.
        const int grabX = DownX - p->X;
        const int grabY = DownY - p->Y;
        DragSteps(p, x - DownX, y - DownY);
        HandX = DownX = p->X + grabX;
        HandY = DownY = p->Y + grabY;
    }
    if (OnConfineCursor)
        OnConfineCursor(*this, true);
    Redraw();
}

void TZarvoPad::MouseUp(TMouseButton button, TShiftState shift, int x, int y)
{
    Q_UNUSED(button);
    Q_UNUSED(shift);
    Q_UNUSED(x);
    Q_UNUSED(y);
    if (OnConfineCursor)
        OnConfineCursor(*this, false);
    if (!Dragging)
        return;
    ButtonDown = false;
    Redraw();
    Dragging = false;
    CommitDrag();
}

void TZarvoPad::SetShowObject(bool show)
{
    if (show == ShowObject)
        return;
    if (show && Dragging) {
        // A drag still held ends here as if released, so what it moved is
        // counted before the pieces give way to the goal.
        if (OnConfineCursor)
            OnConfineCursor(*this, false);
        ButtonDown = false;
        Dragging = false;
        CommitDrag();
    }
    ShowObject = show;
    Redraw();
}

void TZarvoPad::CommitDrag()
{
    // Every piece the drag moved (and every part of its compound piece)
    // is committed first and the resting position recorded once: one drag
    // is one move, and a position the chain passed on its way was never a
    // position of the game, so it must not take the counter back.
    VerifyTrack();
    bool moved = false;
    const auto commit = [&](TZarvo *p) {
        if (p->PushDepth <= 0)
            return;
        moved = true;
        p->PushDepth = 0;
        p->OldX = p->X;
        p->OldY = p->Y;
        NoteCommitted(p);
        for (TZarvo *q = p->Master; q; q = q->Next) {
            q->PushDepth = 0;
            q->OldX = q->X;
            q->OldY = q->Y;
            NoteCommitted(q);
        }
    };
    if (TPadTrack *t = ActiveTrack()) {
        std::vector<qint32> touched;
        touched.swap(t->DragTouched);
        for (qint32 i : touched) {
            t->InDrag[size_t(i)] = 0;
            commit(Pieces[size_t(i)].get());
        }
    } else {
        for (const auto &piece : ActivePieces())
            commit(piece.get());
    }
    if (moved)
        RecordPosition(MoveIndex + 1);
    if (OnMoved)
        OnMoved(*this);
}
