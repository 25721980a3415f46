// The solver's model of a board: cells, walls, kinds of pieces, the goal as
// anchor alternatives, one step with its pushes, and the packed positions.

#include "SolverModel.h"

#include "ZarvoError.h"

#include <QHash>
#include <algorithm>
#include <bit>
#include <map>

namespace SolverInternal {

namespace {

bool ReadingOrder(QPoint a, QPoint b)
{
    return a.y() != b.y() ? a.y() < b.y() : a.x() < b.x();
}

QString Damaged(const QString &what)
{
    return QStringLiteral("Die Stellung ist beschädigt: %1").arg(what);
}

// The goal test's comparison of one piece rectangle with one goal rectangle,
// the cell aside: same type, and the caption in the goal's list (a goal
// matched by caption) or the same part of the picture (a fixed goal).
bool Matches(const TSolverPart &p, const TSolverPart &g)
{
    if (p.TypeName != g.TypeName)
        return false;
    if (!g.Movable)
        return p.ImageX == g.ImageX && p.ImageY == g.ImageY;
    const QString slash = QStringLiteral("/");
    return (slash + g.Caption + slash).contains(slash + p.Caption + slash);
}

// Goal rectangles by what they look for, so that matching every piece with
// every goal stays near linear on large boards.
class TGoalIndex
{
public:
    explicit TGoalIndex(const std::vector<TSolverPart> &goals) : FGoals(goals)
    {
        for (int g = 0; g < int(goals.size()); ++g) {
            const TSolverPart &goal = goals[size_t(g)];
            if (!goal.Movable) {
                FByPicture[PictureKey(goal)].push_back(g);
                continue;
            }
            const QStringList captions = goal.Caption.split(QLatin1Char('/'));
            for (const QString &c : captions)
                FByCaption[goal.TypeName + QChar(0) + c].push_back(g);
            FCaptionGoalsOfType[goal.TypeName].push_back(g);
        }
    }

    // Every goal rectangle that part matches, ascending.
    std::vector<int> MatchesOf(const TSolverPart &part) const
    {
        std::vector<int> out;
        const auto add = [&](const std::vector<int> &list) {
            for (int g : list)
                if (Matches(part, FGoals[size_t(g)]))
                    out.push_back(g);
        };
        if (auto it = FByPicture.constFind(PictureKey(part)); it != FByPicture.cend())
            add(*it);
        // A caption with a slash in it may match a run of listed captions.
        if (part.Caption.contains(QLatin1Char('/'))) {
            if (auto it = FCaptionGoalsOfType.constFind(part.TypeName);
                it != FCaptionGoalsOfType.cend())
                add(*it);
        } else if (auto it = FByCaption.constFind(part.TypeName + QChar(0) + part.Caption);
                   it != FByCaption.cend()) {
            add(*it);
        }
        std::sort(out.begin(), out.end());
        out.erase(std::unique(out.begin(), out.end()), out.end());
        return out;
    }

private:
    static QString PictureKey(const TSolverPart &p)
    {
        return p.TypeName + QChar(0) + QString::number(p.ImageX) + QLatin1Char(',') +
               QString::number(p.ImageY);
    }
    const std::vector<TSolverPart> &FGoals;
    QHash<QString, std::vector<int>> FByPicture, FByCaption, FCaptionGoalsOfType;
};

} // namespace

TModel::TModel(const TSolverBoard &board)
{
    W = std::max(0, board.Cols);
    H = std::max(0, board.Rows);
    if (qint64(W) * H > 65535)
        throw EZarvoError(
            QStringLiteral("Das Spielfeld hat %1 Felder; der Löser rechnet mit höchstens 65535.")
                .arg(qint64(W) * H));
    Cells = W * H;
    Wall.assign(size_t(Cells), 0);
    ColOf.resize(size_t(Cells));
    RowOf.resize(size_t(Cells));
    for (int c = 0; c < Cells; ++c) {
        ColOf[size_t(c)] = c % W;
        RowOf[size_t(c)] = c / W;
    }

    // Pieces: the parts of each compound piece under its first part.
    const auto &parts = board.Pieces;
    const int count = int(parts.size());
    FPieceOfList.assign(size_t(count), -1);
    FPartOffset.assign(size_t(count), QPoint());
    std::vector<int> firstOf(static_cast<size_t>(count));
    std::vector<std::vector<int>> members(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) {
        const TSolverPart &p = parts[size_t(i)];
        if (p.Width < 1 || p.Height < 1)
            throw EZarvoError(
                QStringLiteral("Ein Teil hat keine Fläche; der Löser kann es nicht bewegen."));
        int first = p.Master >= 0 && p.Master < count ? p.Master : i;
        // A part whose master is no first part counts as a piece of its own.
        if (parts[size_t(first)].Master != first && first != i)
            first = i;
        firstOf[size_t(i)] = first;
        members[size_t(first)].push_back(i);
    }
    for (int i = 0; i < count; ++i) {
        const TSolverPart &p = parts[size_t(i)];
        const TSolverPart &f = parts[size_t(firstOf[size_t(i)])];
        FPartOffset[size_t(i)] = QPoint(p.PartCol - f.PartCol, p.PartRow - f.PartRow);
        if (firstOf[size_t(i)] != i && p.Movable != f.Movable)
            throw EZarvoError(Damaged(QStringLiteral(
                "ein zusammengesetztes Teil ist zum Teil fest, zum Teil beweglich.")));
    }

    // Kinds: the shape and, per rectangle, the goal rectangles it matches.
    const TGoalIndex goalIndex(board.Goals);
    std::map<std::vector<int>, int> kindOfSignature;
    std::vector<std::vector<int>> piecesOfKind;
    std::vector<std::vector<std::vector<int>>> kindMatches; // per kind, per part: goals
    std::vector<std::vector<QPoint>> kindPartOffsets;
    for (int i = 0; i < count; ++i) {
        if (firstOf[size_t(i)] != i || !parts[size_t(i)].Movable)
            continue;
        std::vector<int> signature;
        std::vector<std::vector<int>> matches;
        std::vector<QPoint> offsets;
        for (int m : members[size_t(i)]) {
            const TSolverPart &p = parts[size_t(m)];
            const QPoint o = FPartOffset[size_t(m)];
            offsets.push_back(o);
            matches.push_back(goalIndex.MatchesOf(p));
            signature.insert(signature.end(),
                             {o.x(), o.y(), p.Width, p.Height, int(matches.back().size())});
            signature.insert(signature.end(), matches.back().begin(), matches.back().end());
        }
        auto [it, isNew] = kindOfSignature.try_emplace(signature, int(Kinds.size()));
        if (isNew) {
            TKind kind;
            std::vector<QPoint> cells;
            for (int m : members[size_t(i)]) {
                const TSolverPart &p = parts[size_t(m)];
                const QPoint o = FPartOffset[size_t(m)];
                for (int y = 0; y < p.Height; ++y)
                    for (int x = 0; x < p.Width; ++x)
                        cells.push_back(o + QPoint(x, y));
            }
            std::sort(cells.begin(), cells.end(), ReadingOrder);
            cells.erase(std::unique(cells.begin(), cells.end()), cells.end());
            for (QPoint c : cells) {
                kind.DX.push_back(c.x());
                kind.DY.push_back(c.y());
                kind.Offsets.push_back(c.x() + c.y() * W);
            }
            for (int dir = 0; dir < 4; ++dir)
                for (QPoint c : cells)
                    if (!std::binary_search(cells.begin(), cells.end(),
                                            c + QPoint(DirX[dir], DirY[dir]), ReadingOrder))
                        kind.Front[dir].push_back(c.x() + c.y() * W);
            kind.MinDx = *std::min_element(kind.DX.begin(), kind.DX.end());
            kind.MaxDx = *std::max_element(kind.DX.begin(), kind.DX.end());
            kind.MinDy = *std::min_element(kind.DY.begin(), kind.DY.end());
            kind.MaxDy = *std::max_element(kind.DY.begin(), kind.DY.end());
            Kinds.push_back(std::move(kind));
            piecesOfKind.emplace_back();
            kindMatches.push_back(std::move(matches));
            kindPartOffsets.push_back(std::move(offsets));
        }
        piecesOfKind[size_t(it->second)].push_back(i);
    }
    if (int(Kinds.size()) > 32767 || count > 32767)
        throw EZarvoError(QStringLiteral("Das Puzzle hat für den Löser zu viele Teile."));

    for (int k = 0; k < int(Kinds.size()); ++k) {
        KindBegin.push_back(N);
        for (int first : piecesOfKind[size_t(k)]) {
            KindOf.push_back(k);
            ListIndex.push_back(first);
            PartsOf.push_back(members[size_t(first)]);
            for (int m : members[size_t(first)])
                FPieceOfList[size_t(m)] = N;
            ++N;
        }
    }
    KindBegin.push_back(N);
    Bits = std::max(1, int(std::bit_width(unsigned(std::max(1, Cells) - 1))));
    Words = std::max(1, (N * Bits + 63) / 64);

    // Walls: the fixed pieces where the board has them.
    const std::vector<QPoint> cells = board.Position();
    for (int i = 0; i < count; ++i) {
        const TSolverPart &p = parts[size_t(i)];
        if (p.Movable)
            continue;
        for (int y = 0; y < p.Height; ++y)
            for (int x = 0; x < p.Width; ++x) {
                const int cx = cells[size_t(i)].x() + x, cy = cells[size_t(i)].y() + y;
                if (cx >= 0 && cy >= 0 && cx < W && cy < H)
                    Wall[size_t(cy * W + cx)] = 1;
            }
    }

    // Goal: every goal rectangle that no fixed piece meets needs a movable
    // piece of a matching kind whose anchor puts the matching part there.
    GoalEmpty = board.Goals.empty();
    const auto cellKey = [](QPoint c) { return (quint64(quint32(c.x())) << 32) | quint32(c.y()); };
    QMultiHash<quint64, int> fixedAt;
    for (int i = 0; i < count; ++i)
        if (!parts[size_t(i)].Movable)
            fixedAt.insert(cellKey(cells[size_t(i)]), i);
    // Per goal rectangle the kinds and their parts that match it.
    std::vector<std::vector<std::pair<int, int>>> matching(board.Goals.size());
    for (int k = 0; k < int(Kinds.size()); ++k)
        for (size_t j = 0; j < kindMatches[size_t(k)].size(); ++j)
            for (int g : kindMatches[size_t(k)][j])
                matching[size_t(g)].push_back({k, int(j)});
    for (int g = 0; g < int(board.Goals.size()); ++g) {
        const TSolverPart &goal = board.Goals[size_t(g)];
        const QPoint at(goal.Col, goal.Row);
        bool metByFixed = false;
        for (auto it = fixedAt.constFind(cellKey(at));
             it != fixedAt.cend() && it.key() == cellKey(at); ++it)
            metByFixed = metByFixed || Matches(parts[size_t(*it)], goal);
        if (metByFixed)
            continue;
        std::vector<TAlt> alts;
        for (const auto &[k, j] : matching[size_t(g)]) {
            const QPoint a = at - kindPartOffsets[size_t(k)][size_t(j)];
            const TKind &kind = Kinds[size_t(k)];
            bool fits = true;
            for (size_t c = 0; c < kind.DX.size() && fits; ++c) {
                const int x = a.x() + kind.DX[c], y = a.y() + kind.DY[c];
                fits = x >= 0 && y >= 0 && x < W && y < H && !Wall[size_t(y * W + x)];
            }
            if (fits)
                alts.push_back({k, TCell(a.y() * W + a.x())});
        }
        if (alts.empty())
            GoalImpossible = true;
        Goals.push_back(std::move(alts));
    }
}

std::vector<TCell> TModel::Anchors(const std::vector<QPoint> &position) const
{
    const int count = int(FPieceOfList.size());
    if (int(position.size()) != count)
        throw EZarvoError(Damaged(
            QStringLiteral("sie nennt %1 statt %2 Teile.").arg(position.size()).arg(count)));
    std::vector<std::int8_t> used(Wall);
    std::vector<TCell> anchors(static_cast<size_t>(N));
    for (int i = 0; i < count; ++i) {
        const int p = FPieceOfList[size_t(i)];
        if (p < 0)
            continue;
        const QPoint first = position[size_t(ListIndex[size_t(p)])];
        if (position[size_t(i)] != first + FPartOffset[size_t(i)])
            throw EZarvoError(Damaged(QStringLiteral(
                "die Rechtecke eines zusammengesetzten Teils liegen nicht beieinander.")));
    }
    for (int p = 0; p < N; ++p) {
        const QPoint a = position[size_t(ListIndex[size_t(p)])];
        const TKind &kind = Kinds[size_t(KindOf[size_t(p)])];
        for (size_t c = 0; c < kind.DX.size(); ++c) {
            const int x = a.x() + kind.DX[c], y = a.y() + kind.DY[c];
            if (x < 0 || y < 0 || x >= W || y >= H)
                throw EZarvoError(
                    Damaged(QStringLiteral("ein Teil liegt außerhalb des Spielfelds (Spalte %1, "
                                           "Zeile %2).")
                                .arg(x)
                                .arg(y)));
            if (used[size_t(y * W + x)]++)
                throw EZarvoError(Damaged(
                    QStringLiteral("Teile überlappen sich (Spalte %1, Zeile %2).").arg(x).arg(y)));
        }
        anchors[size_t(p)] = TCell(a.y() * W + a.x());
    }
    return anchors;
}

std::vector<QPoint> TModel::Position(const std::vector<TCell> &anchors,
                                     const std::vector<QPoint> &base) const
{
    std::vector<QPoint> out = base;
    for (int i = 0; i < int(out.size()); ++i) {
        const int p = FPieceOfList[size_t(i)];
        if (p < 0)
            continue;
        const TCell a = anchors[size_t(p)];
        out[size_t(i)] = QPoint(ColOf[a], RowOf[a]) + FPartOffset[size_t(i)];
    }
    return out;
}

void TModel::Canonical(TCell *anchors) const
{
    for (size_t k = 0; k + 1 < KindBegin.size(); ++k) {
        const int b = KindBegin[k], e = KindBegin[k + 1];
        if (e - b > 1)
            std::sort(anchors + b, anchors + e);
    }
}

void TModel::Pack(const TCell *canonical, std::uint64_t *key) const
{
    std::fill(key, key + Words, 0);
    int bit = 0;
    for (int p = 0; p < N; ++p, bit += Bits) {
        const std::uint64_t v = canonical[p];
        key[bit >> 6] |= v << (bit & 63);
        if ((bit & 63) + Bits > 64)
            key[(bit >> 6) + 1] |= v >> (64 - (bit & 63));
    }
}

void TModel::Unpack(const std::uint64_t *key, TCell *anchors) const
{
    const std::uint64_t mask = (std::uint64_t(1) << Bits) - 1;
    int bit = 0;
    for (int p = 0; p < N; ++p, bit += Bits) {
        std::uint64_t v = key[bit >> 6] >> (bit & 63);
        if ((bit & 63) + Bits > 64)
            v |= key[(bit >> 6) + 1] << (64 - (bit & 63));
        anchors[p] = TCell(v & mask);
    }
}

bool TModel::IsGoal(const TCell *canonical) const
{
    if (GoalEmpty || GoalImpossible)
        return false;
    for (const auto &alts : Goals) {
        bool met = false;
        for (const TAlt &alt : alts) {
            const TCell *b = canonical + KindBegin[size_t(alt.Kind)];
            const TCell *e = canonical + KindBegin[size_t(alt.Kind) + 1];
            if (std::binary_search(b, e, alt.Anchor)) {
                met = true;
                break;
            }
        }
        if (!met)
            return false;
    }
    return true;
}

void TModel::Grid(const TCell *anchors, std::int16_t *grid) const
{
    for (int c = 0; c < Cells; ++c)
        grid[c] = Wall[size_t(c)] ? -2 : -1;
    for (int p = 0; p < N; ++p)
        for (int o : Kinds[size_t(KindOf[size_t(p)])].Offsets)
            grid[anchors[p] + o] = std::int16_t(p);
}

bool TModel::Step(const TCell *anchors, const std::int16_t *grid, int p, int dir, TCell *out,
                  TScratch &s) const
{
    const int dx = DirX[dir], dy = DirY[dir], d = dx + dy * W;
    if (s.Stamp.size() != size_t(N) || ++s.No == 0) {
        s.Stamp.assign(size_t(N), 0);
        s.No = 1;
    }
    s.Chain.clear();
    s.Chain.push_back(p);
    s.Stamp[size_t(p)] = s.No;
    for (size_t i = 0; i < s.Chain.size(); ++i) {
        const int q = s.Chain[i];
        const TKind &kind = Kinds[size_t(KindOf[size_t(q)])];
        const int a = anchors[q], ax = ColOf[size_t(a)], ay = RowOf[size_t(a)];
        if (ax + kind.MinDx + dx < 0 || ax + kind.MaxDx + dx >= W || ay + kind.MinDy + dy < 0 ||
            ay + kind.MaxDy + dy >= H)
            return false;
        for (int o : kind.Front[dir]) {
            const int g = grid[a + o + d];
            if (g == -2)
                return false;
            if (g >= 0 && s.Stamp[size_t(g)] != s.No) {
                s.Stamp[size_t(g)] = s.No;
                s.Chain.push_back(g);
            }
        }
    }
    std::copy(anchors, anchors + N, out);
    for (int q : s.Chain)
        out[q] = TCell(out[q] + d);
    return true;
}

// ---------------------------------------------------------------------------

TStateStore::TStateStore(int words) : FWords(words)
{
    FTable.assign(1024, 0);
}

std::uint64_t TStateStore::Hash(const std::uint64_t *key) const
{
    std::uint64_t h = 0x9E3779B97F4A7C15ull;
    for (int i = 0; i < FWords; ++i) {
        h ^= key[i];
        h *= 0xBF58476D1CE4E5B9ull;
        h ^= h >> 31;
    }
    return h;
}

std::int64_t TStateStore::Find(const std::uint64_t *key) const
{
    const std::uint64_t mask = FTable.size() - 1;
    for (std::uint64_t slot = Hash(key) & mask;; slot = (slot + 1) & mask) {
        const std::uint32_t v = FTable[slot];
        if (v == 0)
            return -1;
        if (std::equal(key, key + FWords, Key(v - 1)))
            return v - 1;
    }
}

std::uint32_t TStateStore::Insert(const std::uint64_t *key, std::uint32_t parent, bool &isNew)
{
    if ((FParent.size() + 1) * 2 > FTable.size())
        Grow();
    const std::uint64_t mask = FTable.size() - 1;
    std::uint64_t slot = Hash(key) & mask;
    for (;; slot = (slot + 1) & mask) {
        const std::uint32_t v = FTable[slot];
        if (v == 0)
            break;
        if (std::equal(key, key + FWords, Key(v - 1))) {
            isNew = false;
            return v - 1;
        }
    }
    const std::uint32_t id = std::uint32_t(FParent.size());
    FKeys.insert(FKeys.end(), key, key + FWords);
    FParent.push_back(parent);
    FTable[slot] = id + 1;
    isNew = true;
    return id;
}

long long TStateStore::GrowthBytes() const
{
    const long long table =
        (FParent.size() + 1) * 2 > FTable.size() ? (long long)(FTable.size() * 2 * 4) : 0;
    return GrowthOf(FKeys, size_t(FWords)) + GrowthOf(FParent) + table;
}

void TStateStore::MakeRoom()
{
    MakeRoomIn(FKeys, size_t(FWords));
    MakeRoomIn(FParent);
    if ((FParent.size() + 1) * 2 > FTable.size())
        Grow();
}

void TStateStore::Grow()
{
    std::vector<std::uint32_t> table(FTable.size() * 2, 0);
    const std::uint64_t mask = table.size() - 1;
    for (std::uint32_t i = 0; i < FParent.size(); ++i) {
        std::uint64_t slot = Hash(Key(i)) & mask;
        while (table[slot])
            slot = (slot + 1) & mask;
        table[slot] = i + 1;
    }
    FTable.swap(table);
}

long long TStateStore::Bytes() const
{
    return (long long)(FKeys.capacity() * sizeof(std::uint64_t) +
                       FParent.capacity() * sizeof(std::uint32_t) +
                       FTable.capacity() * sizeof(std::uint32_t));
}

// ---------------------------------------------------------------------------

TDragClosure::TDragClosure(const TModel &model) : M(model)
{
    FGrid.assign(static_cast<size_t>(M.Cells), 0);
    FCurrent.resize(static_cast<size_t>(M.N));
    FNext.resize(static_cast<size_t>(M.N));
}

std::uint64_t TDragClosure::HashOf(const TCell *c) const
{
    std::uint64_t h = 1469598103934665603ull;
    for (int i = 0; i < M.N; ++i)
        h = (h ^ c[i]) * 1099511628211ull;
    return h ^ (h >> 29);
}

void TDragClosure::GrowTable()
{
    // Freed first, so the old and the new table are never held at once.
    const size_t size = FTable.size() * 2;
    std::vector<std::int32_t>().swap(FTable);
    std::vector<std::uint32_t>().swap(FSlotRun);
    FTable.assign(size, -1);
    FSlotRun.assign(size, FRun);
    const std::uint64_t mask = size - 1;
    for (int i = 0; i < int(FParent.size()); ++i) {
        std::uint64_t slot = HashOf(At(i)) & mask;
        while (FTable[slot] >= 0)
            slot = (slot + 1) & mask;
        FTable[slot] = i;
    }
}

long long TDragClosure::GrowthBytes(int more) const
{
    // The table is rebuilt, not moved: it takes its new size less its old.
    const long long table = (FParent.size() + size_t(more)) * 2 > FTable.size()
                                ? (long long)(FTable.size() * (4 + 4))
                                : 0;
    return GrowthOf(FConfigs, size_t(more) * size_t(M.N)) + GrowthOf(FParent, size_t(more)) +
           GrowthOf(FDir, size_t(more)) + table;
}

void TDragClosure::MakeRoom(int more)
{
    MakeRoomIn(FConfigs, size_t(more) * size_t(M.N));
    MakeRoomIn(FParent, size_t(more));
    MakeRoomIn(FDir, size_t(more));
    while ((FParent.size() + size_t(more)) * 2 > FTable.size())
        GrowTable();
}

void TDragClosure::FindOrAdd(const TCell *c, int parent, int dir)
{
    if ((FParent.size() + 1) * 2 > FTable.size())
        GrowTable();
    const std::uint64_t mask = FTable.size() - 1;
    std::uint64_t slot = HashOf(c) & mask;
    for (; FSlotRun[slot] == FRun && FTable[slot] >= 0; slot = (slot + 1) & mask)
        if (std::equal(c, c + M.N, At(FTable[slot])))
            return;
    FSlotRun[slot] = FRun;
    FTable[slot] = int(FParent.size());
    FConfigs.insert(FConfigs.end(), c, c + M.N);
    FParent.push_back(parent);
    FDir.push_back(std::int8_t(dir));
}

void TDragClosure::Begin(const TCell *start)
{
    FConfigs.clear();
    FParent.clear();
    FDir.clear();
    // Slots of earlier runs count as empty, so a run costs what it finds,
    // not what the largest run before it left behind.
    if (FTable.size() > 4096 || FTable.empty() || ++FRun == 0) {
        FTable.assign(64, -1);
        FSlotRun.assign(64, 0);
        FRun = 1;
    }
    FindOrAdd(start, -1, -1);
}

void TDragClosure::SyncGrid(const TCell *anchors)
{
    if (FGridOf.empty()) {
        FGridOf.assign(anchors, anchors + M.N);
        M.Grid(anchors, FGrid.data());
        return;
    }
    // Only the pieces that stand elsewhere are moved: first all of them
    // off their old cells, then onto the new ones.
    for (int q = 0; q < M.N; ++q)
        if (FGridOf[size_t(q)] != anchors[q])
            for (int o : M.Kinds[size_t(M.KindOf[size_t(q)])].Offsets)
                FGrid[size_t(FGridOf[size_t(q)] + o)] = -1;
    for (int q = 0; q < M.N; ++q)
        if (FGridOf[size_t(q)] != anchors[q]) {
            for (int o : M.Kinds[size_t(M.KindOf[size_t(q)])].Offsets)
                FGrid[size_t(anchors[q] + o)] = std::int16_t(q);
            FGridOf[size_t(q)] = anchors[q];
        }
}

void TDragClosure::Expand(int i, int p)
{
    std::copy(At(i), At(i) + M.N, FCurrent.begin());
    SyncGrid(FCurrent.data());
    for (int dir = 0; dir < 4; ++dir)
        if (M.Step(FCurrent.data(), FGrid.data(), p, dir, FNext.data(), FScratch))
            FindOrAdd(FNext.data(), i, dir);
}

std::vector<int> TDragClosure::StepsTo(int i) const
{
    std::vector<int> dirs;
    for (; i > 0; i = FParent[size_t(i)])
        dirs.push_back(FDir[size_t(i)]);
    std::reverse(dirs.begin(), dirs.end());
    return dirs;
}

long long TDragClosure::Bytes() const
{
    return (long long)(FConfigs.capacity() * sizeof(TCell) +
                       (FParent.capacity() + FTable.capacity() + FSlotRun.capacity()) * 4 +
                       FDir.capacity() + FGrid.capacity() * sizeof(std::int16_t));
}

} // namespace SolverInternal
