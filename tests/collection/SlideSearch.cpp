#include "SlideSearch.h"

#include <algorithm>
#include <map>
#include <queue>
#include <unordered_map>

namespace {

struct TKeyHash
{
    std::size_t operator()(const TSlideKey &k) const noexcept
    {
        std::uint64_t h = 0;
        for (std::uint64_t w : k) {
            h = (h ^ w) * 0x9E3779B97F4A7C15ull;
            h ^= h >> 29;
        }
        return std::size_t(h);
    }
};

bool ReadingOrder(QPoint a, QPoint b)
{
    return a.y() != b.y() ? a.y() < b.y() : a.x() < b.x();
}

} // namespace

bool TSlideModel::Build(int width, int height, const std::vector<TPartInfo> &pieces,
                        const std::vector<TPartInfo> &goals)
{
    Error.clear();
    Width = width;
    Height = height;
    Wall.assign(size_t(width * height), false);
    Kinds.clear();
    PieceKind.clear();
    PieceAnchors.clear();
    Goals.clear();
    if (width * height > 128) {
        Error = QStringLiteral("board larger than 128 cells");
        return false;
    }

    // Cells of each piece (a compound piece is one group), in grid units.
    struct TPiece
    {
        QString TypeName, Caption;
        bool Movable = true;
        std::vector<QPoint> Cells;
    };
    auto collect = [&](const std::vector<TPartInfo> &parts) {
        std::map<int, TPiece> byGroup;
        std::vector<int> order;
        for (const TPartInfo &p : parts) {
            auto [it, fresh] = byGroup.try_emplace(p.Group);
            TPiece &piece = it->second;
            if (fresh) {
                order.push_back(p.Group);
                piece.TypeName = p.TypeName;
                piece.Caption = p.Caption;
                piece.Movable = p.Movable;
            }
            for (int y = 0; y < p.Height; ++y)
                for (int x = 0; x < p.Width; ++x)
                    piece.Cells.push_back(QPoint(p.Col + x, p.Row + y));
        }
        std::vector<TPiece> result;
        for (int g : order) {
            TPiece piece = byGroup[g];
            std::sort(piece.Cells.begin(), piece.Cells.end(), ReadingOrder);
            result.push_back(piece);
        }
        return result;
    };

    std::vector<int> occupied(size_t(width * height), 0);
    for (const TPiece &piece : collect(pieces)) {
        for (QPoint c : piece.Cells) {
            if (c.x() < 0 || c.y() < 0 || c.x() >= width || c.y() >= height) {
                Error = QStringLiteral("piece %1 '%2' leaves the field")
                            .arg(piece.TypeName, piece.Caption);
                return false;
            }
            if (occupied[size_t(c.y() * width + c.x())]++) {
                Error = QStringLiteral("pieces overlap at %1,%2").arg(c.x()).arg(c.y());
                return false;
            }
        }
        if (!piece.Movable) {
            for (QPoint c : piece.Cells)
                Wall[size_t(c.y() * width + c.x())] = true;
            continue;
        }
        const QPoint anchor = piece.Cells.front();
        std::vector<QPoint> rel;
        for (QPoint c : piece.Cells)
            rel.push_back(c - anchor);
        int kind = -1;
        for (size_t k = 0; k < Kinds.size(); ++k)
            if (Kinds[k].TypeName == piece.TypeName && Kinds[k].Caption == piece.Caption &&
                Kinds[k].Cells == rel)
                kind = int(k);
        if (kind < 0) {
            kind = int(Kinds.size());
            Kinds.push_back({piece.TypeName, piece.Caption, rel});
        }
        PieceKind.push_back(kind);
        PieceAnchors.push_back(anchor);
    }
    if (Kinds.size() > 15) {
        Error = QStringLiteral("more than 15 kinds of piece");
        return false;
    }
    for (const TPiece &goal : collect(goals)) {
        if (!goal.Movable) {
            Error = QStringLiteral("goal matched by picture");
            return false;
        }
        Goals.push_back({goal.TypeName, goal.Caption.split(QLatin1Char('/')), goal.Cells.front()});
    }
    return true;
}

TSlideSearch::TSlideSearch(const TSlideModel &model) : M(model)
{
    for (const TSlideGoal &g : M.Goals) {
        std::uint32_t mask = 0;
        for (size_t k = 0; k < M.Kinds.size(); ++k)
            if (M.Kinds[k].TypeName == g.TypeName && g.Captions.contains(M.Kinds[k].Caption))
                mask |= 1u << (k + 1);
        GoalMasks.push_back(mask);
    }
}

int TSlideSearch::Code(const TSlideKey &key, int cell) const
{
    return int((key[size_t(cell / 16)] >> ((cell % 16) * 4)) & 0xF);
}

void TSlideSearch::SetCode(TSlideKey &key, int cell, int code)
{
    std::uint64_t &w = key[size_t(cell / 16)];
    const int shift = (cell % 16) * 4;
    w = (w & ~(std::uint64_t(0xF) << shift)) | (std::uint64_t(code) << shift);
}

TSlideKey TSlideSearch::StartKey() const
{
    TSlideKey key{};
    for (size_t i = 0; i < M.PieceKind.size(); ++i) {
        const QPoint a = M.PieceAnchors[i];
        SetCode(key, a.y() * M.Width + a.x(), M.PieceKind[i] + 1);
    }
    return key;
}

bool TSlideSearch::IsGoal(const TSlideKey &key) const
{
    if (M.Goals.empty())
        return false;
    for (size_t g = 0; g < M.Goals.size(); ++g) {
        const QPoint a = M.Goals[g].Anchor;
        if (a.x() < 0 || a.y() < 0 || a.x() >= M.Width || a.y() >= M.Height)
            return false;
        if (!(GoalMasks[g] & (1u << Code(key, a.y() * M.Width + a.x()))))
            return false;
    }
    return true;
}

std::vector<std::vector<QPoint>> TSlideSearch::AnchorsByKind(const TSlideKey &key) const
{
    std::vector<std::vector<QPoint>> result(M.Kinds.size());
    for (int cell = 0; cell < M.Width * M.Height; ++cell)
        if (int code = Code(key, cell))
            result[size_t(code - 1)].push_back(QPoint(cell % M.Width, cell / M.Width));
    return result;
}

void TSlideSearch::Successors(const TSlideKey &key, std::vector<TSlideKey> &out) const
{
    out.clear();
    const int w = M.Width, h = M.Height, n = w * h;
    // Occupancy: -1 free, otherwise the anchor cell of the piece on it.
    int occ[128];
    for (int c = 0; c < n; ++c)
        occ[c] = M.Wall[size_t(c)] ? -2 : -1;
    int anchors[128], kinds[128], count = 0;
    for (int c = 0; c < n; ++c) {
        const int code = Code(key, c);
        if (!code)
            continue;
        anchors[count] = c;
        kinds[count++] = code - 1;
        for (QPoint d : M.Kinds[size_t(code - 1)].Cells)
            occ[(c / w + d.y()) * w + c % w + d.x()] = c;
    }
    int seen[128];
    int queue[128];
    std::fill(seen, seen + n, -1);
    for (int i = 0; i < count; ++i) {
        const int a = anchors[i];
        const auto &cells = M.Kinds[size_t(kinds[i])].Cells;
        auto fits = [&](int x, int y) {
            for (QPoint d : cells) {
                const int cx = x + d.x(), cy = y + d.y();
                if (cx < 0 || cy < 0 || cx >= w || cy >= h)
                    return false;
                const int o = occ[cy * w + cx];
                if (o != -1 && o != a)
                    return false;
            }
            return true;
        };
        int head = 0, tail = 0;
        queue[tail++] = a;
        seen[a] = i;
        while (head < tail) {
            const int c = queue[head++];
            const int x = c % w, y = c / w;
            const int nx[4] = {x - 1, x + 1, x, x};
            const int ny[4] = {y, y, y - 1, y + 1};
            for (int k = 0; k < 4; ++k) {
                if (nx[k] < 0 || ny[k] < 0 || nx[k] >= w || ny[k] >= h)
                    continue;
                const int nc = ny[k] * w + nx[k];
                if (seen[nc] == i || !fits(nx[k], ny[k]))
                    continue;
                seen[nc] = i;
                queue[tail++] = nc;
                TSlideKey next = key;
                SetCode(next, a, 0);
                SetCode(next, nc, kinds[i] + 1);
                out.push_back(next);
            }
        }
    }
}

bool TSlideSearch::Move(const TSlideKey &key, QPoint from, QPoint to, TSlideKey &out) const
{
    const int code = Code(key, from.y() * M.Width + from.x());
    if (!code)
        return false;
    std::vector<TSlideKey> next;
    Successors(key, next);
    for (const TSlideKey &k : next) {
        if (Code(k, from.y() * M.Width + from.x()) == 0 &&
            Code(k, to.y() * M.Width + to.x()) == code) {
            // Exactly these two cells differ from key.
            TSlideKey expect = key;
            SetCode(expect, from.y() * M.Width + from.x(), 0);
            SetCode(expect, to.y() * M.Width + to.x(), code);
            if (expect == k) {
                out = k;
                return true;
            }
        }
    }
    return false;
}

TSlideResult TSlideSearch::Run(bool stopAtGoal, long long maxPositions) const
{
    TSlideResult result;
    std::vector<TSlideKey> states;
    std::vector<int> parent;
    std::unordered_map<TSlideKey, int, TKeyHash> index;
    states.push_back(StartKey());
    parent.push_back(-1);
    index.emplace(states[0], 0);
    int goalIndex = -1;
    if (IsGoal(states[0])) {
        goalIndex = 0;
        result.Minimum = 0;
    }
    std::vector<TSlideKey> next;
    size_t levelBegin = 0, levelEnd = 1;
    int depth = 0;
    bool stopped = false;
    while (levelBegin < levelEnd && !(stopAtGoal && goalIndex >= 0) && !stopped) {
        for (size_t s = levelBegin; s < levelEnd && !stopped && !(stopAtGoal && goalIndex >= 0);
             ++s) {
            Successors(states[s], next);
            for (const TSlideKey &k : next) {
                if (index.find(k) != index.end())
                    continue;
                const int id = int(states.size());
                index.emplace(k, id);
                states.push_back(k);
                parent.push_back(int(s));
                if (goalIndex < 0 && IsGoal(k)) {
                    goalIndex = id;
                    result.Minimum = depth + 1;
                    if (stopAtGoal)
                        break;
                }
                if ((long long)states.size() >= maxPositions)
                    stopped = true;
            }
        }
        levelBegin = levelEnd;
        levelEnd = states.size();
        ++depth;
    }
    result.Reachable = (long long)states.size();
    result.Complete = !stopped && levelBegin == levelEnd;
    if (goalIndex >= 0) {
        result.GoalKey = states[size_t(goalIndex)];
        for (int i = goalIndex; i >= 0; i = parent[size_t(i)])
            result.Path.push_back(states[size_t(i)]);
        std::reverse(result.Path.begin(), result.Path.end());
    }
    return result;
}

int TSlideSearch::Distance(const TSlideKey &key) const
{
    // For every goal the nearest piece of an accepted kind, in cells.
    const auto anchors = AnchorsByKind(key);
    int total = 0;
    for (size_t g = 0; g < M.Goals.size(); ++g) {
        int best = 1 << 20;
        for (size_t k = 0; k < anchors.size(); ++k)
            if (GoalMasks[g] & (1u << (k + 1)))
                for (QPoint a : anchors[k])
                    best = std::min(best, (a - M.Goals[g].Anchor).manhattanLength());
        total += best;
    }
    return total;
}

TSlideResult TSlideSearch::RunGreedy(long long maxPositions) const
{
    TSlideResult result;
    std::vector<TSlideKey> states{StartKey()};
    std::vector<int> parent{-1}, depth{0};
    std::unordered_map<TSlideKey, int, TKeyHash> index{{states[0], 0}};
    // (distance, -depth), state: on a plateau the deepest position goes on.
    using TEntry = std::pair<std::pair<int, int>, int>;
    std::priority_queue<TEntry, std::vector<TEntry>, std::greater<TEntry>> open;
    open.push({{Distance(states[0]), 0}, 0});
    std::vector<TSlideKey> next;
    int goalIndex = IsGoal(states[0]) ? 0 : -1;
    while (!open.empty() && goalIndex < 0 && (long long)states.size() < maxPositions) {
        const int s = open.top().second;
        open.pop();
        Successors(states[size_t(s)], next);
        for (const TSlideKey &k : next) {
            if (index.count(k))
                continue;
            const int id = int(states.size());
            index.emplace(k, id);
            states.push_back(k);
            parent.push_back(s);
            depth.push_back(depth[size_t(s)] + 1);
            if (IsGoal(k)) {
                goalIndex = id;
                break;
            }
            open.push({{Distance(k), -depth[size_t(id)]}, id});
        }
    }
    result.Reachable = (long long)states.size();
    if (goalIndex >= 0) {
        result.Minimum = depth[size_t(goalIndex)];
        result.GoalKey = states[size_t(goalIndex)];
        for (int i = goalIndex; i >= 0; i = parent[size_t(i)])
            result.Path.push_back(states[size_t(i)]);
        std::reverse(result.Path.begin(), result.Path.end());
    }
    return result;
}
