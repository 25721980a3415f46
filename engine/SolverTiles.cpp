// Tile puzzles: a solution built row by row, and gap walks turned into the
// game's moves.

#include "SolverTiles.h"

#include <algorithm>

namespace SolverInternal {

namespace {

// Each placing is a small breadth-first search that leaves the finished
// cells alone.
class TBuilder
{
public:
    TBuilder(TTiles &t, TBudget &budget)
        : T(t), Budget(budget), Locked(size_t(t.M.Cells), 0), FFrom(size_t(t.M.Cells), -1),
          FSeen(size_t(t.M.Cells), 0)
    {}

    bool Run()
    {
        const int W = T.W, H = T.H;
        std::vector<int> tileAt(size_t(T.M.Cells), -1);
        for (int t = 0; t < T.M.N; ++t)
            tileAt[size_t(T.Goal[size_t(t)])] = t;
        // The rows are done while at least three are left, so that two lines
        // with a third beside them stay free for each placing.
        for (int r = 0; r + 2 < H; ++r)
            if (!Line(tileAt, W, r * W, 1, W, std::min(3, W)))
                return false;
        for (int c = 0; c + 2 < W; ++c)
            if (!Line(tileAt, 2, (H - 2) * W + c, W, 1, 2))
                return false;
        std::vector<int> tiles, targets, window;
        for (int y = H - 2; y < H; ++y)
            for (int x = W - 2; x < W; ++x) {
                window.push_back(y * W + x);
                if (tileAt[size_t(y * W + x)] >= 0) {
                    tiles.push_back(tileAt[size_t(y * W + x)]);
                    targets.push_back(y * W + x);
                }
            }
        return GapInto(window) && Window(tiles, targets, window) && T.Solved();
    }

private:
    TTiles &T;
    TBudget &Budget;
    std::vector<char> Locked;
    std::vector<int> FFrom;      // the way back of the last walk, per cell
    std::vector<unsigned> FSeen; // the walk that reached a cell
    unsigned FWalk = 0;
    // Above this many places of tile and gap together a placing moves the
    // tile cell by cell, bringing the gap round in front of it each time.
    static constexpr long long MaxPlaceStates = 1 << 22;

    // Time and memory only: a built solution is cheap, however many
    // positions it passes.
    bool Spent() { return Budget.Spent(0, T.PeakBytes); }

    // Fills one line of length cells from first (stride step; across is
    // the step to the next line); the last two cells of it together, inside
    // a window of the line's end and the two lines after it.
    bool Line(const std::vector<int> &tileAt, int length, int first, int step, int across,
              int windowLength)
    {
        for (int i = 0; i + 2 < length; ++i) {
            const int cell = first + i * step;
            const int t = tileAt[size_t(cell)];
            if (t >= 0 && !Place(t, cell))
                return false;
            Locked[size_t(cell)] = 1;
        }
        const int a = first + (length - 2) * step, b = first + (length - 1) * step;
        std::vector<int> window, nearLines;
        for (int k = 0; k < 3; ++k)
            for (int i = length - windowLength; i < length; ++i) {
                const int cell = first + i * step + k * across;
                if (Locked[size_t(cell)])
                    continue;
                window.push_back(cell);
                if (k < 2)
                    nearLines.push_back(cell);
            }
        std::vector<int> tiles, targets;
        for (int cell : {a, b})
            if (tileAt[size_t(cell)] >= 0) {
                tiles.push_back(tileAt[size_t(cell)]);
                targets.push_back(cell);
            }
        // Bring the two tiles into the line and the next one, held there
        // while the gap comes in (the third line stays open for it), then
        // finish inside the window.
        std::vector<int> held;
        for (int t : tiles) {
            if (std::find(nearLines.begin(), nearLines.end(), T.Where(t)) == nearLines.end()) {
                // The next line first, from its end; its neighbours when
                // the held tile leaves no way into it.
                std::vector<int> into(nearLines.rbegin(), nearLines.rend());
                into.insert(into.end(), window.rbegin(), window.rend());
                bool placed = false;
                for (size_t k = 0; k < into.size() && !placed; ++k)
                    placed = !Locked[size_t(into[k])] && into[k] != a && into[k] != b &&
                             Place(t, into[k]);
                if (!placed)
                    return false;
            }
            held.push_back(T.Where(t));
            Locked[size_t(held.back())] = 1;
        }
        const bool gapIn = GapInto(window);
        for (int c : held)
            Locked[size_t(c)] = 0;
        if (!gapIn || !Window(tiles, targets, window))
            return false;
        Locked[size_t(a)] = Locked[size_t(b)] = 1;
        return true;
    }

    // Moves tile t to cell target through cells not locked, breadth first
    // over the places of the tile and the gap.
    bool Place(int t, int target)
    {
        const int n = T.M.Cells;
        if ((long long)n * n > MaxPlaceStates)
            return PlaceAlong(t, target);
        std::vector<int> from(size_t(n) * size_t(n), -1);
        std::vector<int> queue{T.Where(t) * n + T.Gap};
        from[size_t(queue[0])] = queue[0];
        T.PeakBytes = std::max(T.PeakBytes, (long long)from.size() * 8);
        for (size_t head = 0; head < queue.size(); ++head) {
            const int s = queue[head], tile = s / n, gap = s % n;
            if (tile == target) {
                T.Positions += (long long)queue.size();
                return Replay(from, s, n);
            }
            if ((head & 4095) == 4095 && Spent())
                return false;
            for (int dir = 0; dir < 4; ++dir) {
                const int g = T.Beside(gap, dir);
                if (g < 0 || Locked[size_t(g)])
                    continue;
                const int next = (g == tile ? gap : tile) * n + g;
                if (from[size_t(next)] < 0) {
                    from[size_t(next)] = s;
                    queue.push_back(next);
                }
            }
        }
        T.Positions += (long long)queue.size();
        return false;
    }

    // Moves tile t along a shortest way of free cells to target, one cell
    // at a time: the gap goes round to the cell ahead without touching the
    // tile or a finished cell, then the tile steps into it.
    bool PlaceAlong(int t, int target)
    {
        const int tile = T.Where(t);
        if (!Walk(
                tile, [&](int c) { return c == target; }, -1, false))
            return false;
        std::vector<int> way;
        for (int c = target; c != tile; c = FFrom[size_t(c)])
            way.push_back(c);
        for (auto it = way.rbegin(); it != way.rend(); ++it) {
            const int at = T.Where(t);
            if (!Walk(
                    T.Gap, [&](int c) { return c == *it; }, at, true))
                return false;
            for (int dir = 0; dir < 4; ++dir)
                if (T.Beside(T.Gap, dir) == at) {
                    T.Slide(dir);
                    break;
                }
        }
        return true;
    }

    // The gap into one of the cells, around the locked ones.
    bool GapInto(const std::vector<int> &cells)
    {
        return Walk(
            T.Gap, [&](int c) { return std::find(cells.begin(), cells.end(), c) != cells.end(); },
            -1, true);
    }

    // Breadth first from cell from through cells neither locked nor avoid
    // to the first cell that isTarget accepts; with moveGap the gap walks
    // there. The way back stays in FFrom.
    template <typename TTarget> bool Walk(int from, TTarget isTarget, int avoid, bool moveGap)
    {
        if (++FWalk == 0) {
            std::fill(FSeen.begin(), FSeen.end(), 0);
            FWalk = 1;
        }
        std::vector<int> queue{from};
        FSeen[size_t(from)] = FWalk;
        FFrom[size_t(from)] = from;
        for (size_t head = 0; head < queue.size(); ++head) {
            const int c = queue[head];
            if (isTarget(c)) {
                T.Positions += (long long)queue.size();
                if (!moveGap)
                    return true;
                std::vector<int> gaps;
                for (int g = c; g != from; g = FFrom[size_t(g)])
                    gaps.push_back(g);
                return WalkGap(gaps);
            }
            if ((head & 4095) == 4095 && Spent())
                return false;
            for (int dir = 0; dir < 4; ++dir) {
                const int d = T.Beside(c, dir);
                if (d >= 0 && d != avoid && !Locked[size_t(d)] && FSeen[size_t(d)] != FWalk) {
                    FSeen[size_t(d)] = FWalk;
                    FFrom[size_t(d)] = c;
                    queue.push_back(d);
                }
            }
        }
        return false;
    }

    // Makes the gap walk of a search found in from (states whose gap is the
    // state modulo n) up to state s.
    bool Replay(const std::vector<int> &from, int s, int n)
    {
        std::vector<int> gaps;
        for (; from[size_t(s)] != s; s = from[size_t(s)])
            gaps.push_back(s % n);
        return WalkGap(gaps);
    }

    // Moves the gap through the cells of backwards, last one first.
    bool WalkGap(const std::vector<int> &backwards)
    {
        for (auto it = backwards.rbegin(); it != backwards.rend(); ++it)
            for (int dir = 0; dir < 4; ++dir)
                if (T.Beside(T.Gap, dir) == *it) {
                    T.Slide(dir);
                    break;
                }
        return true;
    }

    // Puts tiles on targets with the gap moving only inside window (tiles
    // and gap already there), breadth first over their places in it.
    bool Window(const std::vector<int> &tiles, const std::vector<int> &targets,
                const std::vector<int> &window)
    {
        const int w = int(window.size()), k = int(tiles.size());
        auto indexIn = [&](int cell) {
            return int(std::find(window.begin(), window.end(), cell) - window.begin());
        };
        auto encode = [&](const std::vector<int> &places) {
            int code = 0;
            for (int v : places)
                code = code * w + v;
            return code;
        };
        std::vector<int> places;
        for (int t : tiles)
            places.push_back(indexIn(T.Where(t)));
        places.push_back(indexIn(T.Gap));
        if (std::find(places.begin(), places.end(), w) != places.end())
            return false;
        int states = 1;
        for (int i = 0; i <= k; ++i)
            states *= w;
        std::vector<int> from(size_t(states), -1), gapOf(size_t(states), -1);
        std::vector<int> queue{encode(places)};
        from[size_t(queue[0])] = queue[0];
        gapOf[size_t(queue[0])] = places[size_t(k)];
        for (size_t head = 0; head < queue.size(); ++head) {
            int code = queue[head];
            for (int i = k; i >= 0; --i, code /= w)
                places[size_t(i)] = code % w;
            bool done = true;
            for (int i = 0; i < k; ++i)
                done = done && window[size_t(places[size_t(i)])] == targets[size_t(i)];
            if (done) {
                T.Positions += (long long)queue.size();
                return ReplayWindow(from, gapOf, queue[head], window);
            }
            const int gap = places[size_t(k)];
            for (int dir = 0; dir < 4; ++dir) {
                const int c = T.Beside(window[size_t(gap)], dir);
                const int g = c < 0 ? w : indexIn(c);
                if (g >= w)
                    continue;
                std::vector<int> next = places;
                for (int i = 0; i < k; ++i)
                    if (next[size_t(i)] == g)
                        next[size_t(i)] = gap;
                next[size_t(k)] = g;
                const int nc = encode(next);
                if (from[size_t(nc)] < 0) {
                    from[size_t(nc)] = queue[head];
                    gapOf[size_t(nc)] = g;
                    queue.push_back(nc);
                }
            }
        }
        T.Positions += (long long)queue.size();
        return false;
    }

    bool ReplayWindow(const std::vector<int> &from, const std::vector<int> &gapOf, int s,
                      const std::vector<int> &window)
    {
        std::vector<int> gaps;
        for (; from[size_t(s)] != s; s = from[size_t(s)])
            gaps.push_back(window[size_t(gapOf[size_t(s)])]);
        return WalkGap(gaps);
    }
};

} // namespace

bool BuildTileSolution(TTiles &tiles, TBudget &budget)
{
    return TBuilder(tiles, budget).Run();
}

std::vector<TSolverMove> MovesOf(const TModel &m, const std::vector<TCell> &start,
                                 const std::vector<int> &slides)
{
    std::vector<std::pair<int, int>> runs; // axis (0 across, 1 down), signed length
    for (int dir : slides) {
        const int axis = dir % 2, delta = dir < 2 ? 1 : -1;
        if (!runs.empty() && runs.back().first == axis) {
            runs.back().second += delta;
            if (runs.back().second == 0)
                runs.pop_back();
        } else {
            runs.push_back({axis, delta});
        }
    }
    TTiles t(m);
    t.SetPosition(start);
    std::vector<TSolverMove> moves;
    for (const auto &[axis, length] : runs) {
        const int dir = axis == 0 ? (length > 0 ? 0 : 2) : (length > 0 ? 1 : 3);
        int far = t.Gap;
        for (int i = 0; i < std::abs(length); ++i)
            far = t.Beside(far, dir);
        TSolverMove move;
        move.Piece = m.ListIndex[size_t(t.Board[size_t(far)])];
        move.Steps.push_back(QPoint(-TModel::DirX[dir], -TModel::DirY[dir]));
        moves.push_back(std::move(move));
        for (int i = 0; i < std::abs(length); ++i)
            t.Slide(dir);
    }
    return moves;
}

} // namespace SolverInternal
