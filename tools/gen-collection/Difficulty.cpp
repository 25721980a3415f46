// The difficulty of a puzzle: a breadth-first count of its positions with
// the solver's own model, the minimum and the forced moves, and the rule
// that makes the rating.

#include "Difficulty.h"

#include "SolverSearch.h"

#include <algorithm>
#include <cmath>

using namespace SolverInternal;

double TDifficulty::Log10Positions() const
{
    if (Space == Arrangements)
        return (std::lgamma(Cells + 1.0) - std::log(2.0)) / std::log(10.0);
    return std::log10(double(std::max(1LL, Positions)));
}

// The rating rule. What makes a puzzle hard is the number of moves in which
// the player has to choose: the moves of the shortest solution (or of the
// shortest way known) that are not forced. Each of them weighs more the
// larger the space the choice is made in: a tenth more for every tenfold of
// reachable positions. So 58 moves among 26 000 positions weigh 58 x 1.44.
double TDifficulty::Score() const
{
    const int choices = std::max(0, Moves - std::max(0, Forced));
    return choices * (1.0 + Log10Positions() / 10.0);
}

// Stars by score: below 15 one, below 30 two, below 55 three, below 85
// four, from 85 on five.
int TDifficulty::Stars() const
{
    const double limits[] = {15, 30, 55, 85};
    const double score = Score();
    int stars = 1;
    for (double limit : limits)
        stars += score >= limit ? 1 : 0;
    return stars;
}

namespace {

// Breadth first from the start: every position with its distance and the
// position it was first reached from.
struct TCount
{
    explicit TCount(const TModel &m) : Store(m.Words), Closure(m) {}
    TStateStore Store;
    TDragClosure Closure;
    std::vector<std::uint16_t> Depth;
    bool Complete = false; // every reachable position is in Store
    int Known = 0;         // every position up to this distance is in Store
    std::uint32_t Goal = TStateStore::None;

    bool GoalSettled() const { return Goal != TStateStore::None && Depth[Goal] <= Known; }
};

// Counts until the whole space is counted, or until more than countLimit
// positions are counted and the distance of the nearest goal position is
// settled, or when more than searchLimit positions are counted.
void Count(const TModel &m, const std::vector<TCell> &start, long long countLimit,
           long long searchLimit, TCount &c)
{
    TKey key(static_cast<size_t>(m.Words));
    std::vector<TCell> anchors = start, next(static_cast<size_t>(m.N));
    bool isNew;
    m.Canonical(anchors.data());
    m.Pack(anchors.data(), key.data());
    c.Store.Insert(key.data(), TStateStore::None, isNew);
    c.Depth.push_back(0);
    if (m.IsGoal(anchors.data()))
        c.Goal = 0;
    const auto never = [](long long) { return false; };
    for (std::uint32_t head = 0; head < c.Store.Size(); ++head) {
        c.Known = c.Depth[head];
        const long long size = c.Store.Size();
        if ((size > countLimit && (c.GoalSettled() || m.GoalEmpty || m.GoalImpossible)) ||
            size > searchLimit)
            return;
        m.Unpack(c.Store.Key(head), anchors.data());
        for (int p = 0; p < m.N; ++p) {
            // One drag alone may reach more positions than the count may
            // hold: the ones it found still count.
            const bool whole = c.Closure.Run(anchors.data(), p, searchLimit - size + 1, never);
            for (int i = 1; i < c.Closure.Count(); ++i) {
                std::copy(c.Closure.At(i), c.Closure.At(i) + m.N, next.begin());
                m.Canonical(next.data());
                m.Pack(next.data(), key.data());
                const std::uint32_t id = c.Store.Insert(key.data(), head, isNew);
                if (!isNew)
                    continue;
                c.Depth.push_back(std::uint16_t(std::min(65535, c.Depth[head] + 1)));
                if (c.Goal == TStateStore::None && m.IsGoal(next.data()))
                    c.Goal = id;
            }
            if (!whole)
                return;
        }
    }
    c.Complete = true;
    c.Known = 65535;
}

// The forced moves along the way the count found to its first goal
// position.
int ForcedMoves(const TModel &m, TCount &c)
{
    std::vector<std::uint32_t> way;
    for (std::uint32_t i = c.Goal; i != TStateStore::None; i = c.Store.Parent(i))
        way.push_back(i);
    std::reverse(way.begin(), way.end());
    TKey key(static_cast<size_t>(m.Words));
    std::vector<TCell> anchors(static_cast<size_t>(m.N)), next(static_cast<size_t>(m.N));
    int forced = 0;
    for (size_t k = 0; k + 1 < way.size(); ++k) {
        const int farther = c.Depth[way[k]] + 1;
        m.Unpack(c.Store.Key(way[k]), anchors.data());
        std::int64_t onlyOne = -1;
        bool several = false;
        for (int p = 0; p < m.N && !several; ++p) {
            c.Closure.Run(anchors.data(), p);
            for (int i = 1; i < c.Closure.Count() && !several; ++i) {
                std::copy(c.Closure.At(i), c.Closure.At(i) + m.N, next.begin());
                m.Canonical(next.data());
                m.Pack(next.data(), key.data());
                const std::int64_t id = c.Store.Find(key.data());
                if (id < 0 || c.Depth[size_t(id)] != farther || id == onlyOne)
                    continue;
                several = onlyOne >= 0;
                onlyOne = id;
            }
        }
        if (!several)
            ++forced;
    }
    return forced;
}

} // namespace

TDifficulty MeasureDifficulty(const TSolverBoard &board, const TMeasureLimits &limits)
{
    TDifficulty d;
    const TModel m(board);
    const std::vector<TCell> start = m.Anchors(board.Position());
    if (IsTilePuzzle(m)) {
        // Far too many positions to count, and none of them special.
        d.Space = TDifficulty::Arrangements;
        d.Cells = m.Cells;
    } else {
        TCount c(m);
        Count(m, start, limits.CountPositions, limits.SearchPositions, c);
        d.Space = c.Complete ? TDifficulty::Counted : TDifficulty::AtLeast;
        d.Positions = c.Complete ? c.Store.Size()
                                 : std::min<long long>(c.Store.Size(), limits.CountPositions);
        if (c.GoalSettled()) {
            std::vector<TKey> keys;
            for (std::uint32_t i = c.Goal; i != TStateStore::None; i = c.Store.Parent(i))
                keys.emplace_back(c.Store.Key(i), c.Store.Key(i) + m.Words);
            std::reverse(keys.begin(), keys.end());
            d.Path = MovesAlong(m, start, keys);
            d.Moves = c.Depth[c.Goal];
            d.Proven = true;
            d.Forced = ForcedMoves(m, c);
            return d;
        }
        if (c.Complete) // no goal position among all of them
            return d;
    }
    const TSolveResult r = TSolver(board).Solve(limits.Solver);
    if (r.Outcome == TSolveOutcome::Minimum || r.Outcome == TSolveOutcome::Solution) {
        d.Moves = r.Moves;
        d.Proven = r.Outcome == TSolveOutcome::Minimum;
        d.Path = r.Path;
    }
    return d;
}
