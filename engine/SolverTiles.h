#pragma once

// Tile puzzles: a board filled with distinct 1 x 1 tiles but for one gap. A
// drag there takes a tile in the gap's row or column one cell toward the gap
// and pushes the tiles between along, so one move shifts the gap any
// distance along a line.

#include "SolverSearch.h"

namespace SolverInternal {

// The board of a tile puzzle and the gap's moves made on it.
class TTiles
{
public:
    explicit TTiles(const TModel &m) : M(m), W(m.W), H(m.H)
    {
        Board.assign(size_t(m.Cells), -1);
        Goal.assign(size_t(m.N), 0);
        std::vector<char> goalUsed(size_t(m.Cells), 0);
        for (const auto &alts : m.Goals) {
            Goal[size_t(m.KindBegin[size_t(alts[0].Kind)])] = alts[0].Anchor;
            goalUsed[alts[0].Anchor] = 1;
        }
        GapGoal = int(std::find(goalUsed.begin(), goalUsed.end(), 0) - goalUsed.begin());
    }

    void SetPosition(const std::vector<TCell> &anchors)
    {
        std::fill(Board.begin(), Board.end(), -1);
        At.resize(size_t(M.N));
        for (int t = 0; t < M.N; ++t) {
            Board[anchors[size_t(t)]] = t;
            At[size_t(t)] = anchors[size_t(t)];
        }
        Gap = int(std::find(Board.begin(), Board.end(), -1) - Board.begin());
    }

    // The cell beside c in direction dir, or -1 at the edge.
    int Beside(int c, int dir) const
    {
        const int x = c % W + TModel::DirX[dir], y = c / W + TModel::DirY[dir];
        return x < 0 || y < 0 || x >= W || y >= H ? -1 : y * W + x;
    }

    // The gap one cell along dir: the tile there takes the gap's cell.
    void Shift(int dir)
    {
        const int n = Beside(Gap, dir);
        const int tile = Board[size_t(n)];
        Board[size_t(Gap)] = tile;
        At[size_t(tile)] = Gap;
        Board[size_t(n)] = -1;
        Gap = n;
    }

    // Shift, kept in Slides.
    void Slide(int dir)
    {
        Shift(dir);
        Slides.push_back(dir);
    }

    int Where(int t) const { return At[size_t(t)]; }

    bool Solved() const
    {
        for (int t = 0; t < M.N; ++t)
            if (Board[size_t(Goal[size_t(t)])] != t)
                return false;
        return true;
    }

    // Solvable exactly when the parity of the arrangement (the gap counted
    // as a piece) equals the parity of the gap's distance from its goal cell.
    bool Solvable() const
    {
        std::vector<int> target(Board.size());
        for (size_t c = 0; c < Board.size(); ++c)
            target[c] = Board[c] < 0 ? GapGoal : Goal[size_t(Board[c])];
        int swaps = 0;
        for (size_t c = 0; c < target.size(); ++c)
            while (target[c] != int(c)) {
                std::swap(target[c], target[size_t(target[c])]);
                ++swaps;
            }
        const int distance = std::abs(Gap % W - GapGoal % W) + std::abs(Gap / W - GapGoal / W);
        return swaps % 2 == distance % 2;
    }

    const TModel &M;
    const int W, H;
    std::vector<int> Board; // per cell: the tile on it, -1 the gap
    std::vector<int> At;    // per tile: its cell
    std::vector<int> Goal;  // per tile: its goal cell
    int Gap = 0, GapGoal = 0;
    std::vector<int> Slides; // the gap's one-cell moves so far
    long long Positions = 0; // states the placing searches looked at
    long long PeakBytes = 0; // memory of the largest placing search
};

// Builds a solution the way a patient player does: the rows from the top one
// by one until two are left, then those two rows column by column from the
// left, then the last square; the gap's moves land in tiles.Slides. False
// when the board cannot be solved or the budget's time ran out.
bool BuildTileSolution(TTiles &tiles, TBudget &budget);

// Gap walks as moves of the game: runs along one line become one drag of
// the tile at the run's far end, runs that cancel out disappear.
std::vector<TSolverMove> MovesOf(const TModel &m, const std::vector<TCell> &start,
                                 const std::vector<int> &slides);

} // namespace SolverInternal
