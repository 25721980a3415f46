#pragma once

#include "ZarvoPad.h"

#include <QPoint>
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
    bool operator==(const TGameStatus &) const = default;
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
    int FRepeatCount = 0;
    void Report();
};

// Undo and redo targets with the auto-repeat acceleration. fromMenuItem: the
// menu item (single steps).
int UndoTarget(int moveIndex, int &repeatCount, bool fromMenuItem);
int RedoTarget(int moveIndex, int entryCount, int &repeatCount, bool fromMenuItem);
