#pragma once

#include "SolverService.h"
#include "ZarvoPad.h"

#include <QPoint>
#include <QRect>
#include <QString>
#include <functional>
#include <vector>

// What a window shows of a game: the move counter, the history's length,
// which history steps are open, whether the goal is reached on the board and
// whether the goal picture is shown instead of the board.
struct TGameStatus
{
    int Moves = 0;   // the current history entry (MoveIndex)
    int Entries = 0; // saved positions
    bool CanUndo = false;
    bool CanRedo = false;
    bool Solved = false; // the pieces stand in the goal position
    bool GoalShown = false;
    // The solver helped: a result of this game is not offered to the best-ten list.
    bool Helped = false;
    bool operator==(const TGameStatus &) const = default;
};

// The next move of a solution as the board shows it, in board pixels.
struct TSolverHint
{
    int Piece = -1;              // list index of the piece's first part
    std::vector<QRect> From, To; // the piece's rectangles now and after the move
    std::vector<QPoint> Path;    // the point where it is grabbed, then one point per step
    int MovesLeft = -1;          // moves of the solution, this one included
    bool Proven = false;         // a shortest solution
};

// One game above single drags: the board it owns, undo and redo with their
// acceleration, going to a history entry, both kinds of restart, showing the
// goal, snapping to the grid after a move, the goal test and the reached
// goal, and the clock. The puzzle window and zarvos-cli play drive the same
// session, so both follow the same rules; MoveIndex and LastMoved are written
// only below this class.
class TZarvoGame
{
public:
    TZarvoGame();
    TZarvoGame(const TZarvoGame &) = delete;
    TZarvoGame &operator=(const TZarvoGame &) = delete;

    TZarvoPad &Board() { return FBoard; }
    const TZarvoPad &Board() const { return FBoard; }

    // Loads a puzzle (withState: a game state from Hist/) onto the board and
    // starts the game afresh: clock stopped, not finished. On failure throws
    // as TZarvoPad::LoadPuzzle and leaves the game as it was.
    void Load(const QString &name, bool withState);

    TGameStatus Status() const;
    // Told after every step that may have changed the status, and by Update.
    std::function<void(const TGameStatus &)> OnStatus;
    // Told when the player reached the goal with a result better than the
    // one the puzzle has recorded (or the first): the window's success sound
    // and best-ten list. Comes after the status that shows the goal reached.
    std::function<void(int moves, int seconds)> OnGoalReached;
    // Read after every move and history step: "Teile automatisch einrasten"
    // puts every piece on its recorded cell.
    std::function<bool()> SnapToGrid;

    // Brings the board into line after a step: snapping, the goal test, the
    // status report and, byPlayer set, a newly reached goal. Without
    // byPlayer it is a plain refresh that never announces the goal.
    void Update(bool byPlayer);

    // History steps: false when the step is not open now (goal shown, at the
    // start or at the end). fromMenuItem: a menu step (single, ends the
    // acceleration); otherwise a held button or key that speeds up.
    bool Undo(bool fromMenuItem);
    bool Redo(bool fromMenuItem);
    void EndRepeat() { FRepeatCount = 0; } // the held button was released
    int RepeatCount() const { return FRepeatCount; }
    // Goes to history entry index; the next drag adds a move after it.
    void GoTo(int index);
    // "Neustart": open exactly when undo is. Back to the first entry, or,
    // once the goal was reached, the puzzle afresh from its file.
    bool Restart();

    void ShowGoal(bool show);

    // Drags piece index along the cells of path (board columns and rows of
    // its top-left corner), as one press, moves and release of the mouse:
    // the move rules push and stop as for a player, and the release is one
    // move. False when there is no such movable piece or the goal is shown.
    bool DragPiece(int index, const std::vector<QPoint> &path);

    // ---- the solver's help ----
    // Searches run off this thread and are kept per position; a new puzzle
    // starts the solver afresh.
    TSolverService &Solver() { return FSolver; }
    // The cells of the current history entry, as the solver names positions.
    std::vector<QPoint> Position() const { return TSolverService::CurrentPosition(FBoard); }
    // The answer is about the position on the board now.
    bool IsCurrent(const TSolverAnswer &answer) const;
    // The first move of answer, to be drawn over the board; nothing moves,
    // but the game counts as helped. False (and nothing marked) when answer
    // has no move from the current position or the goal is shown.
    bool Hint(const TSolverAnswer &answer, TSolverHint &hint);
    // A hint or a shown solution was used in this game. Kept as a result of
    // 0 moves already entered, which no count can beat, so the mark goes
    // into the game state and comes back with it.
    bool Helped() const { return FBoard.Solved && FBoard.SolvedMoves <= 0; }
    void MarkHelped();
    // ---- keyboard play ----
    // The selected piece: the index in the piece list of a movable piece
    // (of a compound piece its first part), or -1. A press on a piece
    // selects it; a new puzzle starts without a selection.
    int Selected() const { return FSelected; }
    void Select(int index); // -1 clears; anything else not selectable too
    // Tab and Shift+Tab: the next or previous movable piece in list order,
    // round at the ends; without a selection the first or the last. False
    // when there is none to select or the goal is shown.
    bool SelectNext(bool forward);
    // Moves the selected piece one cell (dCol, dRow) exactly as a one-cell
    // drag of it: pushing what is in the way, stopped where a drag stops,
    // and consecutive moves of one piece are one move. The hand stays where
    // the pointer is. False when nothing moved: no selection, the goal
    // shown, a mouse drag under way or the way blocked. Without a selection
    // it selects the first movable piece instead.
    bool MoveSelected(int dCol, int dRow);
    // After every change of Selected.
    std::function<void(int index)> OnSelectionChanged;
    // After every press on the board, by the mouse or a keyboard move: the
    // window's clock starts at the first.
    std::function<void()> OnPress;

    // ---- clock (date-time in days, as ClockNow) ----
    static double ClockNow();
    void StartClock(); // at the first press on the board
    // Elapsed whole seconds up to now; the clock stands still once the goal
    // was reached. True when the seconds were brought up to date.
    bool Tick();
    double StartTime = 0; // 0 = clock not started
    int ElapsedSeconds = 0;
    // The goal was reached since the game was loaded.
    bool Finished = false;

private:
    TZarvoPad FBoard;
    TSolverService FSolver;
    int FRepeatCount = 0;
    int FSelected = -1;
    void Report();
    // The piece the player means by list entry index: its first part.
    int PieceOf(int index) const;
};

// Undo and redo targets with the auto-repeat acceleration. fromMenuItem: the
// menu item (single steps).
int UndoTarget(int moveIndex, int &repeatCount, bool fromMenuItem);
int RedoTarget(int moveIndex, int entryCount, int &repeatCount, bool fromMenuItem);
