#include "ZarvoGame.h"

#include "Zarvo.h"
#include "ZarvoError.h"

#include <QDateTime>
#include <algorithm>
#include <cmath>
#include <utility>

TZarvoGame::TZarvoGame()
{
    FBoard.OnMoved = [this](TZarvoPad &) { Update(true); };
    FBoard.OnMouseDownEvent = [this](TZarvoPad &board, TMouseButton, TShiftState, int, int) {
        if (board.DragIndex >= 0)
            Select(board.DragIndex);
        if (OnPress)
            OnPress();
    };
}

void TZarvoGame::Load(const QString &name, bool withState)
{
    // The board keeps its hooks across the load; a failed load changes nothing.
    FBoard.LoadPuzzle(name, withState);
    FSolver.Reset();
    StartTime = 0;
    ElapsedSeconds = 0;
    Finished = false;
    FRepeatCount = 0;
    Select(-1);
    FBoard.Redraw();
}

TGameStatus TZarvoGame::Status() const
{
    TGameStatus s;
    s.Moves = FBoard.MoveIndex;
    s.Entries = int(FBoard.History.size());
    s.GoalShown = FBoard.ShowObject;
    s.CanUndo = s.Moves > 0 && !s.GoalShown;
    s.CanRedo = s.Entries != s.Moves + 1 && !s.GoalShown;
    s.Solved = !s.GoalShown && FBoard.GoalReached();
    s.Helped = Helped();
    return s;
}

void TZarvoGame::Report()
{
    if (OnStatus)
        OnStatus(Status());
}

void TZarvoGame::Update(bool byPlayer)
{
    if (SnapToGrid && SnapToGrid() && !FBoard.ShowObject) {
        FBoard.RestorePosition(FBoard.MoveIndex);
        FBoard.Redraw();
    }
    const TGameStatus status = Status();
    if (status.Solved)
        Finished = true;
    if (OnStatus)
        OnStatus(status);
    // A result already recorded for this game is not announced again, only
    // a better one; a game the solver helped has none to offer.
    if (status.Solved && byPlayer && !status.Helped &&
        (!FBoard.Solved || FBoard.SolvedMoves > status.Moves) && OnGoalReached)
        OnGoalReached(status.Moves, ElapsedSeconds);
}

bool TZarvoGame::Undo(bool fromMenuItem)
{
    if (!Status().CanUndo)
        return false;
    GoTo(UndoTarget(FBoard.MoveIndex, FRepeatCount, fromMenuItem));
    return true;
}

bool TZarvoGame::Redo(bool fromMenuItem)
{
    if (!Status().CanRedo)
        return false;
    GoTo(RedoTarget(FBoard.MoveIndex, int(FBoard.History.size()), FRepeatCount, fromMenuItem));
    return true;
}

void TZarvoGame::GoTo(int index)
{
    // Restored first: an entry that does not exist changes nothing.
    FBoard.RestorePosition(index);
    FBoard.MoveIndex = index;
    // No piece counts as the last one moved any more, so the next drag adds
    // a move instead of replacing the entry just reached.
    FBoard.LastMoved = -1;
    FBoard.Redraw();
    Update(true);
}

bool TZarvoGame::Restart()
{
    if (!Status().CanUndo)
        return false;
    if (Finished) {
        const QString file = FBoard.FileName;
        Load(file, false);
        Update(false);
    } else {
        GoTo(0);
    }
    return true;
}

void TZarvoGame::ShowGoal(bool show)
{
    FBoard.SetShowObject(show);
    Update(false);
}

bool TZarvoGame::DragPiece(int index, const std::vector<QPoint> &path)
{
    if (FBoard.ShowObject || index < 0 || index >= FBoard.PieceCount() ||
        !FBoard.Piece(index)->Movable)
        return false;
    const TZarvo *p = FBoard.Piece(index);
    // Grabbed in its middle, where no other piece lies in a valid position.
    const int grabX = p->Width / 2, grabY = p->Height / 2;
    FBoard.MouseDown(mbLeft, ssLeft, p->X + grabX, p->Y + grabY);
    if (FBoard.DragIndex != index) {
        FBoard.MouseUp(mbLeft, 0, p->X + grabX, p->Y + grabY);
        return false;
    }
    for (const QPoint &cell : path)
        FBoard.MouseMove(ssLeft, FBoard.ColToX(cell.x()) + grabX, FBoard.RowToY(cell.y()) + grabY);
    FBoard.MouseUp(mbLeft, 0, p->X + grabX, p->Y + grabY);
    return true;
}

bool TZarvoGame::IsCurrent(const TSolverAnswer &answer) const
{
    try {
        return answer.Error.isEmpty() && answer.Position == Position();
    } catch (const EZarvoError &) {
        return false;
    }
}

void TZarvoGame::MarkHelped()
{
    if (Helped())
        return;
    FBoard.Solved = true;
    FBoard.SolvedMoves = 0;
    Report();
}

bool TZarvoGame::Hint(const TSolverAnswer &answer, TSolverHint &hint)
{
    if (FBoard.ShowObject || !answer.Found() || answer.Path.empty() || !IsCurrent(answer))
        return false;
    const TSolverMove &move = answer.Path.front();
    const int n = int(FBoard.Pieces.size());
    if (move.Piece < 0 || move.Piece >= n || size_t(n) != answer.Position.size())
        return false;
    hint = TSolverHint();
    hint.Piece = move.Piece;
    hint.MovesLeft = answer.Moves;
    hint.Proven = answer.Outcome == TSolveOutcome::Minimum;
    QPoint shift;
    for (const QPoint &s : move.Steps)
        shift += s;
    const int u = FBoard.UnitSize;
    // Every rectangle of the piece, at the cells the history records.
    const TZarvo *first = FBoard.Pieces[size_t(move.Piece)].get();
    const TZarvo *master = first->Master ? first->Master : first;
    for (int i = 0; i < n; ++i) {
        const TZarvo *p = FBoard.Pieces[size_t(i)].get();
        if (p != master && (!p->Master || p->Master != master))
            continue;
        const QPoint cell = answer.Position[size_t(i)];
        const QRect r(FBoard.ColToX(cell.x()), FBoard.RowToY(cell.y()), p->Width, p->Height);
        hint.From.push_back(r);
        hint.To.push_back(r.translated(shift * u));
    }
    const QPoint cell = answer.Position[size_t(move.Piece)];
    QPoint at(FBoard.ColToX(cell.x()) + first->Width / 2,
              FBoard.RowToY(cell.y()) + first->Height / 2);
    hint.Path.push_back(at);
    for (const QPoint &s : move.Steps)
        hint.Path.push_back(at += s * u);
    MarkHelped();
    return true;
}

int TZarvoGame::PieceOf(int index) const
{
    const TZarvoList &list = FBoard.Pieces;
    if (index < 0 || index >= int(list.size()))
        return -1;
    const TZarvo *master = list[size_t(index)]->Master;
    if (!master || master == list[size_t(index)].get())
        return index;
    // The first part stands before the others.
    for (int i = index - 1; i >= 0; --i)
        if (list[size_t(i)].get() == master)
            return i;
    for (int i = index + 1; i < int(list.size()); ++i)
        if (list[size_t(i)].get() == master)
            return i;
    return -1;
}

void TZarvoGame::Select(int index)
{
    index = PieceOf(index);
    if (index >= 0 && !FBoard.Pieces[size_t(index)]->Movable)
        index = -1;
    if (index == FSelected)
        return;
    FSelected = index;
    if (OnSelectionChanged)
        OnSelectionChanged(FSelected);
}

bool TZarvoGame::SelectNext(bool forward)
{
    const TZarvoList &list = FBoard.Pieces;
    const int n = int(list.size());
    if (FBoard.ShowObject || n == 0)
        return false;
    const int start = FSelected >= 0 ? FSelected : (forward ? -1 : n);
    for (int k = 1; k <= n; ++k) {
        const int i = ((start + (forward ? k : -k)) % n + n) % n;
        const TZarvo *p = list[size_t(i)].get();
        if (p->Movable && (!p->Master || p->Master == p)) {
            Select(i);
            return true;
        }
    }
    return false;
}

bool TZarvoGame::MoveSelected(int dCol, int dRow)
{
    if (FSelected < 0 && !FBoard.Dragging) {
        SelectNext(true);
        return false;
    }
    if (FSelected < 0 || FBoard.ShowObject || FBoard.Dragging ||
        FSelected >= int(FBoard.Pieces.size()))
        return false;
    const TZarvo *p = FBoard.Pieces[size_t(FSelected)].get();
    const QPoint before(p->X, p->Y);
    // Pressed in the middle of its first part, where no other piece lies in
    // a valid position, and let go one cell further on. The pointer is
    // neither moved nor held, so the hand stays where the player left it.
    const int x = p->X + p->Width / 2, y = p->Y + p->Height / 2;
    const int handX = FBoard.HandX, handY = FBoard.HandY;
    const bool inside = FBoard.MouseInside;
    auto confine = std::exchange(FBoard.OnConfineCursor, nullptr);
    const int piece = FSelected;
    FBoard.MouseDown(mbLeft, ssLeft, x, y);
    if (FBoard.DragIndex == piece)
        FBoard.MouseMove(ssLeft, x + dCol * FBoard.UnitSize, y + dRow * FBoard.UnitSize);
    FBoard.MouseUp(mbLeft, 0, x, y);
    FBoard.OnConfineCursor = std::move(confine);
    FBoard.HandX = handX;
    FBoard.HandY = handY;
    FBoard.MouseInside = inside;
    return QPoint(p->X, p->Y) != before;
}

double TZarvoGame::ClockNow()
{
    return double(QDateTime::currentMSecsSinceEpoch()) / 86400000.0;
}

void TZarvoGame::StartClock()
{
    if (StartTime == 0)
        StartTime = ClockNow();
}

bool TZarvoGame::Tick()
{
    if (StartTime <= 0 || Finished)
        return false;
    ElapsedSeconds = int(std::trunc((ClockNow() - StartTime) * 24 * 3600 + 0.5));
    return true;
}

// Holding the undo or redo button walks single steps for the first ten
// repeats and then jumps between multiples of five; a menu step is always
// a single step (even right after held window keys left the count high)
// and ends the acceleration.

int UndoTarget(int moveIndex, int &repeatCount, bool fromMenuItem)
{
    int n = std::max(0, moveIndex - 1);
    ++repeatCount;
    if (repeatCount > 10 && !fromMenuItem)
        n = (n / 5) * 5;
    if (n == 0 || fromMenuItem)
        repeatCount = 0;
    return n;
}

int RedoTarget(int moveIndex, int entryCount, int &repeatCount, bool fromMenuItem)
{
    const int last = std::max(0, entryCount - 1);
    int n = moveIndex + 1;
    ++repeatCount;
    if (repeatCount > 10 && !fromMenuItem)
        n = ((n + 4) / 5) * 5;
    n = std::min(n, last);
    if (n == last || fromMenuItem)
        repeatCount = 0;
    return n;
}
