#pragma once

// How hard a puzzle of the collection is: what the solver measures of it and
// the rule that turns those figures into the one to five stars of its Rating.

#include "Solver.h"

#include <QString>
#include <vector>

struct TDifficulty
{
    // The shortest solution (Proven) or the shortest way found; -1 none.
    int Moves = -1;
    bool Proven = false;
    std::vector<TSolverMove> Path; // its drags from the start

    // The positions that can be reached from the start. Counted: every one
    // of them was visited. AtLeast: the count stopped after Positions of
    // them. Arrangements: a picture or number puzzle of distinct tiles and
    // one gap, too large to count, where every arrangement of the same
    // parity can be reached: half of all arrangements, (cells)! / 2.
    enum TSpace { Counted, AtLeast, Arrangements };
    TSpace Space = Counted;
    long long Positions = 0; // Counted and AtLeast
    int Cells = 0;           // Arrangements: cells of the field
    double Log10Positions() const;

    // Moves of the shortest solution that leave no choice: from the position
    // before it, this move is the only one that reaches a position farther
    // from the start than all positions reached so far, every other one goes
    // back to a position the start reaches in as many moves or fewer. -1
    // when not counted (the search did not settle the way to the goal).
    int Forced = -1;

    // The rule that makes the rating from these figures (Difficulty.cpp).
    double Score() const;
    int Stars() const;
    QString Rating() const { return QString(Stars(), QLatin1Char('*')); }
};

struct TMeasureLimits
{
    long long CountPositions = 1'000'000;  // the count of the space stops here
    long long SearchPositions = 4'000'000; // and the way to the goal here
    TSolverLimits Solver;                  // where the count does not settle the minimum
};

// Measures a puzzle in its start position: counts its reachable positions
// breadth first and finds its minimum and forced moves on the way; where
// that search cannot settle the minimum (tile puzzles, huge spaces) the
// game's solver finds it. Throws EZarvoError for a damaged position.
TDifficulty MeasureDifficulty(const TSolverBoard &board, const TMeasureLimits &limits);
