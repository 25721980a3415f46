// Tile puzzles searched: a built solution first (always, and fast even on
// large boards), then a weighted search for a shorter one and an
// iterative-deepening search with a lower bound from the rows and the
// columns that tries to prove a shortest one.

#include "SolverTiles.h"

#include <algorithm>
#include <bit>
#include <deque>
#include <queue>

namespace SolverInternal {

namespace {

using TCode = unsigned __int128;

// The walking distance of one axis under this game's moves. Seen along the
// rows, a position is how many tiles of each goal row every row holds, and
// the gap's row; a vertical move takes one tile of some goal row from each
// row it passes into the next. The fewest such moves to the goal position
// bound the vertical moves of every solution from below, and horizontal
// moves leave this view unchanged, so the rows' bound plus the columns'
// bound is a lower bound of the whole solution.
class TWalkTable
{
public:
    // lines: rows (or columns); cells: cells per line; gapGoal: the gap's
    // line in the goal. False when the table would grow beyond maxStates.
    bool Build(int lines, int cells, int gapGoal, int maxStates)
    {
        L = lines;
        FBits = int(std::bit_width(unsigned(cells)));
        if (L * L * FBits + int(std::bit_width(unsigned(L))) > 128)
            return false;
        std::vector<int> c(size_t(L * L), 0);
        for (int l = 0; l < L; ++l)
            c[size_t(l * L + l)] = cells - (l == gapGoal ? 1 : 0);
        // Breadth first with runs: going on in the direction of the last
        // step costs nothing, a new direction starts a new move.
        FStates.clear();
        FIndex.assign(1024, -1);
        std::vector<std::uint8_t> dist;       // per state and last direction (none, up, down)
        std::deque<std::pair<int, int>> open; // state, last direction
        bool isNew;
        Add(Encode(c, gapGoal), isNew);
        dist.assign(3, 255);
        dist[0] = 0;
        open.push_back({0, 0});
        while (!open.empty()) {
            const auto [s, last] = open.front();
            open.pop_front();
            const int d = dist[size_t(s) * 3 + size_t(last)];
            const int gap = Decode(FStates[size_t(s)], c);
            for (int dir = 1; dir <= 2; ++dir) {
                const int from = gap + (dir == 1 ? -1 : 1);
                if (from < 0 || from >= L)
                    continue;
                const int cost = last == dir ? 0 : 1;
                for (int g = 0; g < L; ++g) {
                    if (c[size_t(from * L + g)] == 0)
                        continue;
                    const int t =
                        Add(MoveTile(WithGap(FStates[size_t(s)], from), g, from, gap), isNew);
                    if (isNew)
                        dist.insert(dist.end(), 3, 255);
                    if (int(FStates.size()) > maxStates)
                        return false;
                    std::uint8_t &slot = dist[size_t(t) * 3 + size_t(dir)];
                    if (d + cost < slot) {
                        slot = std::uint8_t(d + cost);
                        if (cost == 0)
                            open.push_front({t, dir});
                        else
                            open.push_back({t, dir});
                    }
                }
            }
        }
        FDist.resize(FStates.size());
        for (size_t i = 0; i < FStates.size(); ++i)
            FDist[i] = std::min({dist[3 * i], dist[3 * i + 1], dist[3 * i + 2]});
        // Every step of the gap as a table, so the search follows it
        // without looking anything up.
        FNext.assign(FStates.size() * size_t(2 * L), -1);
        for (int s = 0; s < int(FStates.size()); ++s) {
            const int gap = Decode(FStates[size_t(s)], c);
            for (int dir = 0; dir < 2; ++dir) {
                const int from = gap + (dir == 0 ? -1 : 1);
                for (int g = 0; from >= 0 && from < L && g < L; ++g)
                    if (c[size_t(from * L + g)] > 0)
                        FNext[size_t((s * 2 + dir) * L + g)] =
                            IndexOf(MoveTile(WithGap(FStates[size_t(s)], from), g, from, gap));
            }
        }
        return true;
    }

    int Lookup(TCode code) const { return FDist[size_t(IndexOf(code))]; }
    int IndexOf(TCode code) const { return FIndex[Slot(code)]; }
    int Distance(int state) const { return FDist[size_t(state)]; }
    // The state after the gap moved one line (up when from < gap) and a tile
    // of goal line g took its place.
    int Next(int state, int gap, int from, int g) const
    {
        return FNext[size_t((state * 2 + (from < gap ? 0 : 1)) * L + g)];
    }

    TCode Encode(const std::vector<int> &counts, int gap) const
    {
        TCode code = TCode(gap) << (L * L * FBits);
        for (int i = 0; i < L * L; ++i)
            code |= TCode(counts[size_t(i)]) << (i * FBits);
        return code;
    }
    // A tile of goal line g moves from line a to line b.
    TCode MoveTile(TCode code, int g, int a, int b) const
    {
        return code - (TCode(1) << ((a * L + g) * FBits)) + (TCode(1) << ((b * L + g) * FBits));
    }
    TCode WithGap(TCode code, int gap) const
    {
        const int shift = L * L * FBits;
        return (code & ((TCode(1) << shift) - 1)) | (TCode(gap) << shift);
    }
    long long Bytes() const
    {
        return (long long)(FStates.capacity() * sizeof(TCode) + FDist.capacity() +
                           (FIndex.capacity() + FNext.capacity()) * sizeof(int));
    }

private:
    int L = 0, FBits = 1;
    std::vector<TCode> FStates;
    std::vector<std::uint8_t> FDist;
    std::vector<int> FIndex; // open addressing over FStates
    std::vector<int> FNext;  // per state, direction and goal line: the next state

    size_t Slot(TCode code) const
    {
        const std::uint64_t lo = std::uint64_t(code), hi = std::uint64_t(code >> 64);
        std::uint64_t h = (lo ^ (hi * 0x9E3779B97F4A7C15ull)) * 0xBF58476D1CE4E5B9ull;
        h ^= h >> 31;
        const size_t mask = FIndex.size() - 1;
        size_t slot = size_t(h) & mask;
        while (FIndex[slot] >= 0 && FStates[size_t(FIndex[slot])] != code)
            slot = (slot + 1) & mask;
        return slot;
    }

    int Add(TCode code, bool &isNew)
    {
        if ((FStates.size() + 1) * 2 > FIndex.size()) {
            FIndex.assign(FIndex.size() * 2, -1);
            for (int i = 0; i < int(FStates.size()); ++i)
                FIndex[Slot(FStates[size_t(i)])] = i;
        }
        const size_t slot = Slot(code);
        isNew = FIndex[slot] < 0;
        if (isNew) {
            FIndex[slot] = int(FStates.size());
            FStates.push_back(code);
        }
        return FIndex[slot];
    }

    int Decode(TCode code, std::vector<int> &counts) const
    {
        const TCode mask = (TCode(1) << FBits) - 1;
        for (int i = 0; i < L * L; ++i)
            counts[size_t(i)] = int((code >> (i * FBits)) & mask);
        return int(code >> (L * L * FBits));
    }
};

// Iterative deepening over gap runs, bounded below by the walking distances
// of the rows and the columns. A shortest solution alternates vertical and
// horizontal moves: two moves along one line in a row are one move or none.
class TDeepening
{
public:
    TDeepening(TTiles &t, const TWalkTable &rows, const TWalkTable &cols, TBudget &budget)
        : T(t), Rows(rows), Cols(cols), Budget(budget)
    {
        std::vector<int> rc(size_t(t.H * t.H), 0), cc(size_t(t.W * t.W), 0);
        for (int c = 0; c < t.M.Cells; ++c) {
            const int tile = t.Board[size_t(c)];
            if (tile < 0)
                continue;
            const int g = t.Goal[size_t(tile)];
            ++rc[size_t((c / t.W) * t.H + g / t.W)];
            ++cc[size_t((c % t.W) * t.W + g % t.W)];
            Misplaced += g != c;
        }
        RowState = Rows.IndexOf(Rows.Encode(rc, t.Gap / t.W));
        ColState = Cols.IndexOf(Cols.Encode(cc, t.Gap % t.W));
    }

    int Bound() const { return Rows.Distance(RowState) + Cols.Distance(ColState); }

    // 1 found within bound, 0 not, -1 budget spent.
    int Search(int bound)
    {
        FBound = bound;
        FNext = 1 << 30;
        return Dfs(0, -1);
    }

    int NextBound() const { return FNext; }
    std::vector<int> Slides; // the solution found
    long long Nodes = 0;

private:
    TTiles &T;
    const TWalkTable &Rows, &Cols;
    TBudget &Budget;
    int RowState = 0, ColState = 0; // in the tables of the walking distances
    int Misplaced = 0;
    int FBound = 0, FNext = 0;

    int Dfs(int depth, int lastAxis)
    {
        const int f = depth + Bound();
        if (f > FBound) {
            FNext = std::min(FNext, f);
            return 0;
        }
        if (Misplaced == 0)
            return 1;
        if (Budget.Spent(++Nodes, 0))
            return -1;
        for (int axis = 0; axis < 2; ++axis) {
            if (axis == lastAxis)
                continue;
            for (int dir : {axis, axis + 2}) {
                int moved = 0;
                while (T.Beside(T.Gap, dir) >= 0) {
                    Shift(dir);
                    ++moved;
                    const int r = Dfs(depth + 1, axis);
                    if (r != 0) {
                        if (r > 0)
                            Slides.insert(Slides.begin(), moved, dir);
                        for (int i = 0; i < moved; ++i)
                            Shift((dir + 2) % 4);
                        return r;
                    }
                }
                for (int i = 0; i < moved; ++i)
                    Shift((dir + 2) % 4);
            }
        }
        return 0;
    }

    // The gap one cell along dir, with the bounds' views kept up to date.
    void Shift(int dir)
    {
        const int from = T.Beside(T.Gap, dir), to = T.Gap;
        const int g = T.Goal[size_t(T.Board[size_t(from)])];
        Misplaced += (to != g) - (from != g);
        if (dir % 2 == 1)
            RowState = Rows.Next(RowState, to / T.W, from / T.W, g / T.W);
        else
            ColState = Cols.Next(ColState, to % T.W, from % T.W, g % T.W);
        T.Shift(dir);
    }
};

// Best first by the moves made plus twice the walking distances: a solution
// near the shortest, found quickly, not proven.
class TWeighted
{
public:
    TWeighted(const TModel &m, const TWalkTable &rows, const TWalkTable &cols)
        : M(m), Rows(rows), Cols(cols), T(m)
    {}

    // Fills slides with the gap's moves of the solution found; false when
    // maxStates or the budget ran out first.
    bool Run(const std::vector<TCell> &start, long long maxStates, TBudget &budget,
             std::vector<int> &slides)
    {
        TStateStore store(M.Words);
        std::vector<std::uint16_t> depth, gap;
        using TEntry = std::pair<std::pair<int, int>, std::uint32_t>; // (f, h), state
        std::priority_queue<TEntry, std::vector<TEntry>, std::greater<TEntry>> open;
        TKey key(static_cast<size_t>(M.Words));
        std::vector<TCell> anchors = start;
        bool isNew;
        M.Pack(anchors.data(), key.data());
        store.Insert(key.data(), TStateStore::None, isNew);
        T.SetPosition(anchors);
        depth.push_back(0);
        gap.push_back(std::uint16_t(T.Gap));
        open.push({{0, 0}, 0});
        std::uint32_t goal = TStateStore::None;
        while (!open.empty() && goal == TStateStore::None) {
            States = store.Size();
            if ((long long)store.Size() > maxStates ||
                budget.Spent(0, store.Bytes() + (long long)open.size() * 16))
                return false;
            const std::uint32_t head = open.top().second;
            open.pop();
            M.Unpack(store.Key(head), anchors.data());
            for (int dir = 0; dir < 4 && goal == TStateStore::None; ++dir) {
                T.SetPosition(anchors);
                while (T.Beside(T.Gap, dir) >= 0) {
                    T.Slide(dir);
                    std::vector<TCell> next(anchors.size());
                    for (int c = 0; c < M.Cells; ++c)
                        if (T.Board[size_t(c)] >= 0)
                            next[size_t(T.Board[size_t(c)])] = TCell(c);
                    M.Pack(next.data(), key.data());
                    const std::uint32_t id = store.Insert(key.data(), head, isNew);
                    if (!isNew)
                        continue;
                    depth.push_back(std::uint16_t(depth[head] + 1));
                    gap.push_back(std::uint16_t(T.Gap));
                    if (T.Solved()) {
                        goal = id;
                        break;
                    }
                    const int h = Guess();
                    open.push({{depth.back() + h, h}, id});
                }
            }
        }
        if (goal == TStateStore::None)
            return false;
        // The gap's way back from the goal, one run per move.
        std::vector<int> runs;
        for (std::uint32_t i = goal; store.Parent(i) != TStateStore::None; i = store.Parent(i)) {
            const int from = gap[store.Parent(i)], to = gap[i];
            const int dir = to % M.W > from % M.W   ? 0
                            : to / M.W > from / M.W ? 1
                            : to % M.W < from % M.W ? 2
                                                    : 3;
            const int length = std::abs(to % M.W - from % M.W) + std::abs(to / M.W - from / M.W);
            runs.insert(runs.begin(), size_t(length), dir);
        }
        slides = std::move(runs);
        return true;
    }

    long long States = 0;

private:
    const TModel &M;
    const TWalkTable &Rows, &Cols;
    TTiles T;

    int Guess() const
    {
        std::vector<int> rc(static_cast<size_t>(T.H * T.H), 0),
            cc(static_cast<size_t>(T.W * T.W), 0);
        for (int c = 0; c < M.Cells; ++c)
            if (const int tile = T.Board[size_t(c)]; tile >= 0) {
                const int g = T.Goal[size_t(tile)];
                ++rc[size_t((c / T.W) * T.H + g / T.W)];
                ++cc[size_t((c % T.W) * T.W + g % T.W)];
            }
        return 2 * (Rows.Lookup(Rows.Encode(rc, T.Gap / T.W)) +
                    Cols.Lookup(Cols.Encode(cc, T.Gap % T.W)));
    }
};

} // namespace

bool IsTilePuzzle(const TModel &m)
{
    // Small boards are searched completely, which proves their minimum.
    if (m.W < 2 || m.H < 2 || m.Cells <= 10 || m.N != m.Cells - 1 || m.GoalImpossible ||
        m.GoalEmpty || int(m.Goals.size()) != m.N || int(m.Kinds.size()) != m.N)
        return false;
    if (std::find(m.Wall.begin(), m.Wall.end(), 1) != m.Wall.end())
        return false;
    for (const TKind &k : m.Kinds)
        if (k.Offsets.size() != 1)
            return false;
    std::vector<char> kindUsed(size_t(m.N), 0), cellUsed(size_t(m.Cells), 0);
    for (const auto &alts : m.Goals) {
        if (alts.size() != 1 || kindUsed[size_t(alts[0].Kind)] || cellUsed[alts[0].Anchor])
            return false;
        kindUsed[size_t(alts[0].Kind)] = 1;
        cellUsed[alts[0].Anchor] = 1;
    }
    return true;
}

TSearchOutcome SolveTiles(const TModel &m, const std::vector<TCell> &start, TBudget &budget)
{
    TSearchOutcome result;
    TTiles tiles(m);
    tiles.SetPosition(start);
    if (tiles.Solved()) {
        result.Outcome = TSolveOutcome::Minimum;
        return result;
    }
    if (!tiles.Solvable()) {
        result.Outcome = TSolveOutcome::Unsolvable;
        return result;
    }
    const bool built = BuildTileSolution(tiles, budget);
    result.Positions = tiles.Positions;
    // A move of the game takes some 40 bytes: a huge board's way may not fit.
    if (!built || budget.Spent(0, tiles.PeakBytes + (long long)tiles.Slides.size() * 44)) {
        result.Outcome = budget.Reason;
        return result;
    }
    std::vector<TSolverMove> moves = MovesOf(m, start, tiles.Slides);

    // A shorter solution by a weighted search, then the proof: no solution
    // shorter than the best one known, or a shortest one found on the way.
    TWalkTable rows, cols;
    const int maxStates = 250'000;
    const bool bounded = rows.Build(m.H, m.W, tiles.GapGoal / m.W, maxStates) &&
                         cols.Build(m.W, m.H, tiles.GapGoal % m.W, maxStates);
    TSolveOutcome outcome = TSolveOutcome::Solution;
    if (bounded) {
        budget.Spent(result.Positions, rows.Bytes() + cols.Bytes());
        TWeighted weighted(m, rows, cols);
        std::vector<int> slides;
        if (weighted.Run(start, budget.MaxPositions() / 4, budget, slides)) {
            std::vector<TSolverMove> shorter = MovesOf(m, start, slides);
            if (shorter.size() < moves.size())
                moves = std::move(shorter);
        }
        result.Positions += weighted.States;
        tiles.SetPosition(start);
        TDeepening search(tiles, rows, cols, budget);
        for (int bound = search.Bound(); budget.Reason != TSolveOutcome::Cancelled;
             bound = search.NextBound()) {
            if (bound >= int(moves.size())) {
                outcome = TSolveOutcome::Minimum;
                break;
            }
            const int r = search.Search(bound);
            if (r < 0)
                break;
            if (r > 0) {
                outcome = TSolveOutcome::Minimum;
                moves = MovesOf(m, start, search.Slides);
                break;
            }
        }
        result.Positions += search.Nodes;
    }
    if (budget.Reason == TSolveOutcome::Cancelled)
        outcome = TSolveOutcome::Cancelled;
    result.Outcome = outcome;
    if (outcome != TSolveOutcome::Cancelled)
        result.Moves = std::move(moves);
    return result;
}

} // namespace SolverInternal
