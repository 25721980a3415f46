#pragma once

#include <QPoint>
#include <QString>
#include <atomic>
#include <memory>
#include <vector>

class TZarvoPad;

// The game's own solver: shortest solutions under the game's move rules. One
// move is one drag of one movable piece, any sequence of one-cell steps in
// the four directions, each step pushing the chain of movable pieces in its
// way one cell along; fixed pieces and the frame stop the whole step. The
// solver works on a snapshot of a board, never on the board itself, so it can
// run on any thread while the game goes on.

// One rectangle of the board's piece list or goal list, in cells, with what
// the goal test compares.
struct TSolverPart
{
    QString TypeName, Caption;
    int Col = 0, Row = 0;       // cell of the rectangle's top-left corner
    int Width = 1, Height = 1;  // in cells
    int ImageX = 0, ImageY = 0; // the picture part it carries (pixels)
    bool Movable = true;
    int Master = -1; // list index of the first part of its compound piece; -1 single
    // Where the rectangle lies in its piece type, so the parts of a compound
    // piece are known to belong together even in a damaged position.
    int PartCol = 0, PartRow = 0;
};

// A board as the solver sees it: the field, the pieces at the cells of the
// current history entry, and the goal list.
struct TSolverBoard
{
    int Cols = 0, Rows = 0; // playing field
    int UnitSize = 40;
    QPoint Offset;                   // pixel position of the field's top-left corner
    std::vector<TSolverPart> Pieces; // the piece list in list order
    std::vector<TSolverPart> Goals;  // the goal list in list order

    // Takes the board's field, goal list and the position of its current
    // history entry (pieces off the grid count at their recorded cells).
    // Call it on the thread that owns the board.
    static TSolverBoard FromPad(const TZarvoPad &pad);
    // The cell of every piece, in list order, as a history entry has them.
    std::vector<QPoint> Position() const;
};

// What a search may spend. Zero means no bound of that kind.
struct TSolverLimits
{
    long long MaxPositions = 10'000'000;
    long long MaxBytes = 1'000'000'000;
    int MaxMillis = 0;
    const std::atomic<bool> *Cancel = nullptr; // set from any thread to stop the search
};

// One move: a drag of one piece along one-cell steps.
struct TSolverMove
{
    int Piece = -1;            // list index of the piece's first part
    std::vector<QPoint> Steps; // each (±1, 0) or (0, ±1)
};

enum class TSolveOutcome {
    Minimum,    // a shortest solution, proven
    Solution,   // a solution, not proven shortest
    Unsolvable, // no goal position can be reached
    Limit,      // the budget was spent before anything was found
    Cancelled   // stopped through TSolverLimits::Cancel
};

struct TSolveResult
{
    TSolveOutcome Outcome = TSolveOutcome::Limit;
    int Moves = -1;          // length of Path for Minimum and Solution
    long long Positions = 0; // positions the search stored
    long long Bytes = 0;     // memory the search held at its peak
    bool FromCache = false;  // answered from an earlier search
    std::vector<TSolverMove> Path;
};

// A drag as the board's mouse handlers take it: press at Down, move through
// Points (the last one is where the button is released).
struct TSolverDrag
{
    QPoint Down;
    std::vector<QPoint> Points;
};

class TSolver
{
public:
    // Builds the solver's model of the board. A damaged position (movable
    // pieces that overlap others or leave the field) throws EZarvoError with
    // a German message; so does a piece whose size is not whole cells.
    explicit TSolver(const TSolverBoard &board);
    ~TSolver();
    TSolver(const TSolver &) = delete;
    TSolver &operator=(const TSolver &) = delete;

    // A shortest solution from the board's position, or from another
    // position of the same board (cells per list piece, as Position()).
    // Thread-safe; results of finished searches are kept, so asking again
    // from a position along a known shortest solution answers at once.
    TSolveResult Solve(const TSolverLimits &limits = {}) const;
    TSolveResult SolveFrom(const std::vector<QPoint> &position,
                           const TSolverLimits &limits = {}) const;

    const TSolverBoard &Board() const;
    // The cells of every piece after move has been made from position.
    std::vector<QPoint> Apply(const std::vector<QPoint> &position, const TSolverMove &move) const;
    // The mouse path that makes move on a board in position: pressed on the
    // centre of a cell of the piece, moved one cell per step, released.
    TSolverDrag DragFor(const std::vector<QPoint> &position, const TSolverMove &move) const;
    // The cells the moved piece's first part passes, one per step: the path
    // TZarvoGame::DragPiece(move.Piece, path) takes.
    std::vector<QPoint> CellPath(const std::vector<QPoint> &position,
                                 const TSolverMove &move) const;

private:
    struct TImpl;
    std::unique_ptr<TImpl> D;
};

// The outcome as the command-line tool prints it.
QString SolveOutcomeName(TSolveOutcome outcome);
