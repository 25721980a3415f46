// Breadth-first search over packed positions: every position one drag away
// from the one expanded, level by level, so the first goal position reached
// ends a shortest solution.

#include "SolverSearch.h"

#include <algorithm>
#include <queue>

namespace SolverInternal {

TBudget::TBudget(const TSolverLimits &limits) : L(limits)
{
    Timer.start();
}

long long TBudget::MaxPositions() const
{
    return L.MaxPositions > 0 ? L.MaxPositions : (1LL << 40);
}

bool TBudget::Spent(long long positions, long long bytes, long long extra)
{
    PeakBytes = std::max(PeakBytes, bytes);
    if ((L.MaxPositions > 0 && positions > L.MaxPositions) ||
        (L.MaxBytes > 0 && bytes + extra > L.MaxBytes)) {
        Reason = TSolveOutcome::Limit;
        return true;
    }
    PeakBytes = std::max(PeakBytes, bytes + extra);
    // The clock and the flag cost more than a comparison: look now and then.
    if ((Tick++ & 63) != 0)
        return false;
    if (L.Cancel && L.Cancel->load(std::memory_order_relaxed)) {
        Reason = TSolveOutcome::Cancelled;
        return true;
    }
    if (L.MaxMillis > 0 && Timer.elapsed() > L.MaxMillis) {
        Reason = TSolveOutcome::Limit;
        return true;
    }
    return false;
}

namespace {

// The packed positions from the start of a search to position goal.
std::vector<TKey> WayTo(const TStateStore &store, std::uint32_t goal, int words)
{
    std::vector<TKey> keys;
    for (std::uint32_t i = goal; i != TStateStore::None; i = store.Parent(i))
        keys.emplace_back(store.Key(i), store.Key(i) + words);
    std::reverse(keys.begin(), keys.end());
    return keys;
}

} // namespace

TKey KeyOf(const TModel &m, std::vector<TCell> anchors)
{
    m.Canonical(anchors.data());
    TKey key(size_t(m.Words));
    m.Pack(anchors.data(), key.data());
    return key;
}

TSearchOutcome BreadthFirst(const TModel &m, const std::vector<TCell> &start, TBudget &budget)
{
    TSearchOutcome result;
    std::vector<TCell> anchors = start;
    m.Canonical(anchors.data());
    if (m.IsGoal(anchors.data())) {
        result.Outcome = TSolveOutcome::Minimum;
        result.Positions = 1;
        result.Keys.push_back(KeyOf(m, start));
        return result;
    }
    if (m.GoalEmpty || m.GoalImpossible) {
        result.Outcome = TSolveOutcome::Unsolvable;
        return result;
    }

    TStateStore store(m.Words);
    TDragClosure closure(m);
    TKey key(static_cast<size_t>(m.Words));
    std::vector<TCell> next(static_cast<size_t>(m.N));
    bool isNew;
    m.Pack(anchors.data(), key.data());
    store.Insert(key.data(), TStateStore::None, isNew);
    const auto spent = [&](long long extra) {
        return budget.Spent(store.Size(), store.Bytes() + closure.Bytes(), extra);
    };

    std::uint32_t goal = TStateStore::None;
    for (std::uint32_t head = 0; head < store.Size() && goal == TStateStore::None; ++head) {
        if (spent(0)) {
            result.Outcome = budget.Reason;
            result.Positions = store.Size();
            return result;
        }
        m.Unpack(store.Key(head), anchors.data());
        for (int p = 0; p < m.N && goal == TStateStore::None; ++p) {
            // One drag alone may reach more positions than the whole budget.
            if (!closure.Run(anchors.data(), p, budget.MaxPositions(), spent)) {
                if (!spent(0))
                    budget.Reason = TSolveOutcome::Limit;
                result.Outcome = budget.Reason;
                result.Positions = store.Size();
                return result;
            }
            for (int i = 1; i < closure.Count(); ++i) {
                std::copy(closure.At(i), closure.At(i) + m.N, next.begin());
                m.Canonical(next.data());
                m.Pack(next.data(), key.data());
                if (const long long grow = store.GrowthBytes(); grow > 0) {
                    if (spent(grow)) {
                        result.Outcome = budget.Reason;
                        result.Positions = store.Size();
                        return result;
                    }
                    store.MakeRoom();
                }
                const std::uint32_t id = store.Insert(key.data(), head, isNew);
                if (isNew && m.IsGoal(next.data())) {
                    goal = id;
                    break;
                }
                if ((i & 1023) == 0 && spent(0)) {
                    result.Outcome = budget.Reason;
                    result.Positions = store.Size();
                    return result;
                }
            }
        }
    }
    spent(0);
    result.Positions = store.Size();
    if (goal == TStateStore::None) {
        result.Outcome = TSolveOutcome::Unsolvable;
        return result;
    }
    result.Outcome = TSolveOutcome::Minimum;
    result.Keys = WayTo(store, goal, m.Words);
    return result;
}

namespace {

// How far the pieces stand from the goal: per goal rectangle the nearest
// piece that could meet it, counted in steps around the walls, where every
// step onto another piece costs as much as a few steps more (that piece has
// to make room first).
class TGuide
{
public:
    explicit TGuide(const TModel &m) : M(m), FGrid(static_cast<size_t>(m.Cells)) {}

    int operator()(const TCell *canonical)
    {
        M.Grid(canonical, FGrid.data());
        int total = 0;
        for (const auto &alts : M.Goals) {
            int best = Far;
            for (const TModel::TAlt &alt : alts) {
                Walk(alt);
                for (int q = M.KindBegin[size_t(alt.Kind)]; q < M.KindBegin[size_t(alt.Kind) + 1];
                     ++q)
                    best = std::min(best, FDist[canonical[q]]);
            }
            total += best;
        }
        return total;
    }

private:
    static constexpr int Far = 1 << 20;
    static constexpr int Crowd = 3; // the cost of a piece in the way, in steps
    const TModel &M;
    std::vector<std::int16_t> FGrid;
    std::vector<int> FDist;

    // Cost of a piece of the alternative's kind standing at anchor a: Far
    // where walls or the frame forbid it.
    int Cost(const TModel::TAlt &alt, int a) const
    {
        const TKind &kind = M.Kinds[size_t(alt.Kind)];
        const int x = M.ColOf[size_t(a)], y = M.RowOf[size_t(a)];
        if (x + kind.MinDx < 0 || x + kind.MaxDx >= M.W || y + kind.MinDy < 0 ||
            y + kind.MaxDy >= M.H)
            return Far;
        int cost = 1, seen[8], count = 0;
        for (int o : kind.Offsets) {
            const int g = FGrid[size_t(a + o)];
            if (g == -2)
                return Far;
            if (g < 0 || M.KindOf[size_t(g)] == alt.Kind ||
                std::find(seen, seen + count, g) != seen + count)
                continue;
            if (count < 8)
                seen[count++] = g;
            cost += Crowd;
        }
        return cost;
    }

    void Walk(const TModel::TAlt &alt)
    {
        FDist.assign(static_cast<size_t>(M.Cells), Far);
        using TItem = std::pair<int, int>; // distance, anchor
        std::priority_queue<TItem, std::vector<TItem>, std::greater<TItem>> open;
        FDist[alt.Anchor] = 0;
        open.push({0, alt.Anchor});
        while (!open.empty()) {
            const auto [d, a] = open.top();
            open.pop();
            if (d != FDist[size_t(a)])
                continue;
            // Walking back from the goal: a step costs what the position it
            // enters costs, so the piece's own place costs nothing.
            const int cost = Cost(alt, a);
            for (int dir = 0; dir < 4; ++dir) {
                const int x = M.ColOf[size_t(a)] + TModel::DirX[dir];
                const int y = M.RowOf[size_t(a)] + TModel::DirY[dir];
                if (x < 0 || y < 0 || x >= M.W || y >= M.H)
                    continue;
                const int b = y * M.W + x;
                if (Cost(alt, b) >= Far || d + cost >= FDist[size_t(b)])
                    continue;
                FDist[size_t(b)] = d + cost;
                open.push({d + cost, b});
            }
        }
    }
};

} // namespace

TSearchOutcome BestFirst(const TModel &m, const std::vector<TCell> &start, TBudget &budget)
{
    TSearchOutcome result;
    if (m.GoalEmpty || m.GoalImpossible) {
        result.Outcome = TSolveOutcome::Unsolvable;
        return result;
    }
    // Drags are cut short here: the nearest positions of each drag are
    // enough to find a way, and no drag may eat up the whole budget.
    const int dragLimit = 256;
    TGuide distance(m);
    TStateStore store(m.Words);
    TDragClosure closure(m);
    TKey key(static_cast<size_t>(m.Words));
    std::vector<TCell> anchors = start, next(static_cast<size_t>(m.N));
    std::vector<std::uint16_t> depth;
    using TEntry = std::pair<std::pair<int, int>, std::uint32_t>; // (f, h), state
    // A heap of its own rather than a priority queue: its block is counted.
    std::vector<TEntry> open;
    const auto later = std::greater<TEntry>();
    bool isNew;
    m.Canonical(anchors.data());
    m.Pack(anchors.data(), key.data());
    store.Insert(key.data(), TStateStore::None, isNew);
    depth.push_back(0);
    open.push_back({{0, 0}, 0});
    std::uint32_t goal = m.IsGoal(anchors.data()) ? 0 : TStateStore::None;
    const auto spent = [&](long long extra) {
        return budget.Spent(store.Size(),
                            store.Bytes() + closure.Bytes() +
                                (long long)(open.capacity() * sizeof(TEntry) +
                                            depth.capacity() * sizeof(std::uint16_t)),
                            extra);
    };
    while (!open.empty() && goal == TStateStore::None) {
        if (spent(0)) {
            result.Outcome = budget.Reason;
            result.Positions = store.Size();
            return result;
        }
        std::pop_heap(open.begin(), open.end(), later);
        const std::uint32_t head = open.back().second;
        open.pop_back();
        m.Unpack(store.Key(head), anchors.data());
        for (int p = 0; p < m.N && goal == TStateStore::None; ++p) {
            closure.Run(anchors.data(), p, dragLimit, spent);
            for (int i = 1; i < closure.Count(); ++i) {
                std::copy(closure.At(i), closure.At(i) + m.N, next.begin());
                m.Canonical(next.data());
                m.Pack(next.data(), key.data());
                if (const long long grow = store.GrowthBytes() + GrowthOf(depth) + GrowthOf(open);
                    grow > 0) {
                    if (spent(grow)) {
                        result.Outcome = budget.Reason;
                        result.Positions = store.Size();
                        return result;
                    }
                    store.MakeRoom();
                    MakeRoomIn(depth);
                    MakeRoomIn(open);
                }
                const std::uint32_t id = store.Insert(key.data(), head, isNew);
                if (!isNew)
                    continue;
                depth.push_back(std::uint16_t(std::min(65535, depth[head] + 1)));
                if (m.IsGoal(next.data())) {
                    goal = id;
                    break;
                }
                const int h = distance(next.data());
                open.push_back({{depth.back() + 3 * h, h}, id});
                std::push_heap(open.begin(), open.end(), later);
            }
        }
    }
    result.Positions = store.Size();
    if (goal == TStateStore::None) {
        // Cut drags may have hidden a way: nothing is proven here.
        result.Outcome = TSolveOutcome::Limit;
        return result;
    }
    result.Outcome = TSolveOutcome::Solution;
    result.Keys = WayTo(store, goal, m.Words);
    return result;
}

std::vector<TSolverMove> MovesAlong(const TModel &m, std::vector<TCell> start,
                                    const std::vector<TKey> &keys)
{
    std::vector<TSolverMove> moves;
    TDragClosure closure(m);
    std::vector<TCell> next(static_cast<size_t>(m.N));
    TKey key(static_cast<size_t>(m.Words));
    const auto never = [](long long) { return false; };
    std::vector<TCell> target(static_cast<size_t>(m.N));
    std::vector<int> order;
    for (size_t k = 1; k < keys.size(); ++k) {
        // The pieces that stand elsewhere afterwards are the likely ones to
        // drag; the others only when none of them makes the move.
        m.Unpack(keys[k].data(), target.data());
        order.clear();
        for (int pass = 0; pass < 2; ++pass)
            for (int p = 0; p < m.N; ++p) {
                const TCell *b = target.data() + m.KindBegin[size_t(m.KindOf[size_t(p)])];
                const TCell *e = target.data() + m.KindBegin[size_t(m.KindOf[size_t(p)]) + 1];
                if (std::binary_search(b, e, start[size_t(p)]) == (pass == 1))
                    order.push_back(p);
            }
        bool found = false;
        // Most drags of a solution are short: the nearest positions of every
        // piece's drags first, all of them only when needed.
        for (long long limit : {2048LL, 1LL << 40}) {
            for (int p : order) {
                if (found)
                    break;
                closure.Run(start.data(), p, limit, never);
                for (int i = 1; i < closure.Count() && !found; ++i) {
                    std::copy(closure.At(i), closure.At(i) + m.N, next.begin());
                    m.Canonical(next.data());
                    m.Pack(next.data(), key.data());
                    if (key != keys[k])
                        continue;
                    found = true;
                    TSolverMove move;
                    move.Piece = m.ListIndex[size_t(p)];
                    for (int dir : closure.StepsTo(i))
                        move.Steps.push_back(QPoint(TModel::DirX[dir], TModel::DirY[dir]));
                    moves.push_back(std::move(move));
                    start.assign(closure.At(i), closure.At(i) + m.N);
                }
            }
            if (found)
                break;
        }
        if (!found)
            return {};
    }
    return moves;
}

} // namespace SolverInternal
