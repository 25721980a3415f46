#pragma once

// The searches behind TSolver: breadth first over packed positions for
// block puzzles, and the tile puzzles' own searches (SolverTiles.cpp).

#include "SolverModel.h"

#include <QElapsedTimer>

namespace SolverInternal {

// What a search may still spend; asked once per expanded position.
class TBudget
{
public:
    explicit TBudget(const TSolverLimits &limits);
    // True when the search must stop; Reason then tells why. bytes is what
    // the search holds, extra what a growth it is about to make would hold
    // beside that: refused when the two together exceed the budget.
    bool Spent(long long positions, long long bytes, long long extra = 0);
    long long MaxPositions() const;
    TSolveOutcome Reason = TSolveOutcome::Limit;
    long long PeakBytes = 0;

private:
    TSolverLimits L;
    QElapsedTimer Timer;
    unsigned Tick = 0;
};

using TKey = std::vector<std::uint64_t>;

struct TSearchOutcome
{
    TSolveOutcome Outcome = TSolveOutcome::Limit;
    long long Positions = 0;
    std::vector<TKey> Keys;         // packed positions from the start to the goal
    std::vector<TSolverMove> Moves; // or the moves themselves
};

// Breadth first from start (anchors in model order): the first goal
// position found is a shortest solution.
TSearchOutcome BreadthFirst(const TModel &m, const std::vector<TCell> &start, TBudget &budget);

// Best first by the distance of the pieces from their goal cells, with
// drags cut short: finds a solution where a complete search cannot, without
// proving it shortest.
TSearchOutcome BestFirst(const TModel &m, const std::vector<TCell> &start, TBudget &budget);

// The drags that lead along keys (keys[0] is start's own packed form) from
// the physical position start; empty when some key cannot be reached in one
// drag from the one before.
std::vector<TSolverMove> MovesAlong(const TModel &m, std::vector<TCell> start,
                                    const std::vector<TKey> &keys);

TKey KeyOf(const TModel &m, std::vector<TCell> anchors);

// Tile puzzles: equal 1 x 1 pieces, no walls, one free cell, every piece
// with a goal cell of its own. A drag there shifts the tiles between the
// dragged one and the gap by one cell.
bool IsTilePuzzle(const TModel &m);
TSearchOutcome SolveTiles(const TModel &m, const std::vector<TCell> &start, TBudget &budget);

} // namespace SolverInternal
