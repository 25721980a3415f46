// TSolver: snapshots of a board, the choice of search, the answers kept per
// position, and turning a move into the mouse path of a drag.

#include "Solver.h"

#include "Fields.h"
#include "SolverSearch.h"
#include "ZarvoError.h"
#include "ZarvoPad.h"
#include "ZarvoTypes.h"

#include <QHash>
#include <cstring>
#include <map>
#include <mutex>

using namespace SolverInternal;

namespace {

// Fields of a history entry by the field rule: ";" separates, a ";" at the
// very end opens no new field, and asking beyond the last field gives it.
std::vector<int> EntryFields(const QString &entry, int wanted)
{
    std::vector<int> out;
    TFieldCursor fields(entry, u";");
    try {
        for (int k = 0; k < wanted; ++k)
            out.push_back(FieldToInt(fields.Next()));
    } catch (const EZarvoError &) {
        throw EZarvoError(QStringLiteral(
            "Die Stellung ist beschädigt: der Spielverlauf enthält keine gültige Zelle."));
    }
    return out;
}

// The most a way kept for later answers may take.
constexpr long long MaxKeptBytes = 64 << 20;

QByteArray CacheKey(const TKey &key)
{
    return QByteArray(reinterpret_cast<const char *>(key.data()),
                      qsizetype(key.size() * sizeof(std::uint64_t)));
}

} // namespace

TSolverBoard TSolverBoard::FromPad(const TZarvoPad &pad)
{
    TSolverBoard b;
    const int u = std::max(1, pad.UnitSize);
    b.UnitSize = u;
    b.Offset = pad.Offset;
    b.Cols = std::max(0, (pad.FrameRect.Right - pad.FrameRect.Left) / u);
    b.Rows = std::max(0, (pad.FrameRect.Bottom - pad.FrameRect.Top) / u);

    const auto convert = [&](const TZarvoList &list, std::vector<TSolverPart> &out) {
        std::map<const TZarvo *, int> index;
        for (size_t i = 0; i < list.size(); ++i)
            index[list[i].get()] = int(i);
        for (size_t i = 0; i < list.size(); ++i) {
            const TZarvo &z = *list[i];
            if (z.Width % u != 0 || z.Height % u != 0 || z.Width <= 0 || z.Height <= 0)
                throw EZarvoError(QStringLiteral(
                    "Ein Teil ist nicht aus ganzen Feldern gebaut; der Löser kann es nicht "
                    "bewegen."));
            TSolverPart p;
            p.TypeName = z.TypeName;
            p.Caption = z.Caption;
            p.Col = FloorDiv(z.X - pad.Offset.x() + u / 2, u);
            p.Row = FloorDiv(z.Y - pad.Offset.y() + u / 2, u);
            p.Width = z.Width / u;
            p.Height = z.Height / u;
            p.ImageX = z.ImageX;
            p.ImageY = z.ImageY;
            p.Movable = z.Movable;
            p.Master = z.Master && index.count(z.Master) ? index[z.Master] : -1;
            out.push_back(p);
        }
        // Where each rectangle lies in its piece: from the piece type when the
        // type has as many rectangles as the piece, else as the board has them.
        for (size_t i = 0; i < out.size(); ++i) {
            TSolverPart &p = out[i];
            if (p.Master != int(i))
                continue;
            std::vector<int> parts;
            for (const TZarvo *q = list[i].get(); q; q = q->Next)
                if (index.count(q))
                    parts.push_back(index[q]);
            const TZarvoTyp *typ = PieceTypes().Find(p.TypeName);
            const bool fromType = typ && typ->Count() == int(parts.size());
            for (size_t k = 0; k < parts.size(); ++k) {
                TSolverPart &part = out[size_t(parts[k])];
                if (fromType) {
                    part.PartCol = typ->Rects[k].x;
                    part.PartRow = typ->Rects[k].y;
                } else {
                    const TZarvo &z = *list[size_t(parts[k])];
                    part.PartCol = FloorDiv(z.X - list[i]->X + u / 2, u);
                    part.PartRow = FloorDiv(z.Y - list[i]->Y + u / 2, u);
                }
            }
        }
    };
    convert(pad.Pieces, b.Pieces);
    convert(pad.Objects, b.Goals);

    // The position of the current history entry: the cells the game counts,
    // also when grid snapping is off and pieces rest between cells.
    const int n = int(b.Pieces.size());
    if (n > 0 && pad.MoveIndex >= 0 && pad.MoveIndex < pad.History.size()) {
        const std::vector<int> f = EntryFields(pad.History[pad.MoveIndex], 2 * n);
        for (int i = 0; i < n; ++i) {
            b.Pieces[size_t(i)].Col = f[size_t(2 * i)];
            b.Pieces[size_t(i)].Row = f[size_t(2 * i + 1)];
        }
    } else {
        for (int i = 0; i < n; ++i) {
            const TZarvo &z = *pad.Pieces[size_t(i)];
            b.Pieces[size_t(i)].Col = FloorDiv(z.OldX - pad.Offset.x() + u / 2, u);
            b.Pieces[size_t(i)].Row = FloorDiv(z.OldY - pad.Offset.y() + u / 2, u);
        }
    }
    return b;
}

std::vector<QPoint> TSolverBoard::Position() const
{
    std::vector<QPoint> cells;
    cells.reserve(Pieces.size());
    for (const TSolverPart &p : Pieces)
        cells.push_back(QPoint(p.Col, p.Row));
    return cells;
}

// ---------------------------------------------------------------------------

struct TSolver::TImpl
{
    explicit TImpl(const TSolverBoard &board) : Board(board), Model(board) {}

    TSolverBoard Board;
    TModel Model;

    // Answers per packed position: the outcome, the moves still needed and
    // the next position on the way.
    struct TCached
    {
        TSolveOutcome Outcome;
        int Left;
        QByteArray Next;
    };
    mutable std::mutex Mutex;
    mutable QHash<QByteArray, TCached> Cache;

    // Makes the steps of move on anchors; false (anchors part-way) when a
    // step is blocked.
    bool Walk(std::vector<TCell> &anchors, const TSolverMove &move) const
    {
        const int p = Model.PieceOfList(move.Piece);
        if (p < 0)
            return false;
        std::vector<std::int16_t> grid(static_cast<size_t>(Model.Cells));
        std::vector<TCell> next(anchors.size());
        TModel::TScratch scratch;
        for (QPoint s : move.Steps) {
            const int dir = s == QPoint(1, 0)    ? 0
                            : s == QPoint(0, 1)  ? 1
                            : s == QPoint(-1, 0) ? 2
                            : s == QPoint(0, -1) ? 3
                                                 : -1;
            Model.Grid(anchors.data(), grid.data());
            if (dir < 0 || !Model.Step(anchors.data(), grid.data(), p, dir, next.data(), scratch))
                return false;
            anchors.swap(next);
        }
        return true;
    }

    // Keeps the way along keys (the last one a goal position); every
    // position on a shortest way has the rest of it as its own shortest
    // way. An answer already kept gives way only to a better one.
    void Remember(TSolveOutcome outcome, const std::vector<TKey> &keys) const
    {
        std::lock_guard<std::mutex> lock(Mutex);
        const int last = int(keys.size()) - 1;
        for (int i = 0; i <= last; ++i) {
            const int left = outcome == TSolveOutcome::Unsolvable ? -1 : last - i;
            const QByteArray key = CacheKey(keys[size_t(i)]);
            const auto it = Cache.constFind(key);
            if (it != Cache.cend() && (it->Outcome != TSolveOutcome::Solution || it->Left <= left))
                continue;
            Cache.insert(key,
                         {outcome, left, i < last ? CacheKey(keys[size_t(i) + 1]) : QByteArray()});
        }
    }

    // The way kept for key: its outcome and the positions along it.
    bool Recall(const TKey &key, TSolveOutcome &outcome, std::vector<TKey> &keys) const
    {
        std::lock_guard<std::mutex> lock(Mutex);
        auto it = Cache.constFind(CacheKey(key));
        if (it == Cache.cend())
            return false;
        outcome = it->Outcome;
        keys = {key};
        while (it->Left > 0) {
            const QByteArray next = it->Next;
            it = Cache.constFind(next);
            if (it == Cache.cend())
                return false;
            keys.emplace_back(key.size());
            std::memcpy(keys.back().data(), next.constData(), size_t(next.size()));
        }
        return true;
    }

    std::vector<TKey> KeysAlong(std::vector<TCell> anchors,
                                const std::vector<TSolverMove> &moves) const
    {
        std::vector<TKey> keys{KeyOf(Model, anchors)};
        for (const TSolverMove &m : moves) {
            if (!Walk(anchors, m))
                throw EZarvoError(QStringLiteral("Ein Zug der Lösung ist nicht möglich."));
            keys.push_back(KeyOf(Model, anchors));
        }
        return keys;
    }
};

TSolver::TSolver(const TSolverBoard &board) : D(std::make_unique<TImpl>(board))
{
    D->Model.Anchors(board.Position()); // a damaged position fails here already
}

TSolver::~TSolver() = default;

const TSolverBoard &TSolver::Board() const
{
    return D->Board;
}

TSolveResult TSolver::Solve(const TSolverLimits &limits) const
{
    return SolveFrom(D->Board.Position(), limits);
}

TSolveResult TSolver::SolveFrom(const std::vector<QPoint> &position,
                                const TSolverLimits &limits) const
{
    const TModel &m = D->Model;
    const std::vector<TCell> start = m.Anchors(position);
    const TKey startKey = KeyOf(m, start);
    TSolveResult result;

    // An earlier search may already know the way from here.
    std::vector<TKey> keys;
    if (D->Recall(startKey, result.Outcome, keys)) {
        result.FromCache = true;
        if (result.Outcome == TSolveOutcome::Unsolvable)
            return result;
        result.Path = MovesAlong(m, start, keys);
        result.Moves = int(result.Path.size());
        if (result.Path.size() + 1 == keys.size())
            return result;
        result = TSolveResult(); // a way that no longer holds: search afresh
    }

    TBudget budget(limits);
    TSearchOutcome found;
    if (IsTilePuzzle(m)) {
        found = SolveTiles(m, start, budget);
    } else {
        found = BreadthFirst(m, start, budget);
        // Too large to search completely: at least a way to the goal.
        if (found.Outcome == TSolveOutcome::Limit) {
            const long long searched = found.Positions;
            found = BestFirst(m, start, budget);
            found.Positions += searched;
        }
    }
    result.Outcome = found.Outcome;
    result.Positions = found.Positions;
    result.Bytes = budget.PeakBytes;
    if (found.Outcome == TSolveOutcome::Minimum || found.Outcome == TSolveOutcome::Solution) {
        if (!found.Moves.empty() || found.Keys.size() <= 1) {
            result.Path = std::move(found.Moves);
            // The way of a huge tile puzzle is not kept: its positions would
            // fill the memory.
            const long long keyBytes =
                (long long)(result.Path.size() + 1) * m.Words * (long long)sizeof(std::uint64_t);
            if (keyBytes <= MaxKeptBytes)
                found.Keys = D->KeysAlong(start, result.Path);
        } else {
            result.Path = MovesAlong(m, start, found.Keys);
            if (result.Path.size() + 1 != found.Keys.size())
                throw EZarvoError(QStringLiteral("Der Löser findet seinen eigenen Weg nicht."));
        }
        result.Moves = int(result.Path.size());
    }

    if (found.Outcome == TSolveOutcome::Unsolvable ||
        ((found.Outcome == TSolveOutcome::Minimum || found.Outcome == TSolveOutcome::Solution) &&
         !found.Keys.empty()))
        D->Remember(found.Outcome, found.Outcome == TSolveOutcome::Unsolvable
                                       ? std::vector<TKey>{startKey}
                                       : found.Keys);
    return result;
}

std::vector<QPoint> TSolver::Apply(const std::vector<QPoint> &position,
                                   const TSolverMove &move) const
{
    std::vector<TCell> anchors = D->Model.Anchors(position);
    if (!D->Walk(anchors, move))
        throw EZarvoError(QStringLiteral("Ein Zug der Lösung ist nicht möglich."));
    return D->Model.Position(anchors, position);
}

TSolverDrag TSolver::DragFor(const std::vector<QPoint> &position, const TSolverMove &move) const
{
    TSolverDrag drag;
    const int u = D->Board.UnitSize;
    if (move.Piece < 0 || move.Piece >= int(position.size()))
        throw EZarvoError(QStringLiteral("Ein Zug der Lösung nennt kein Teil des Puzzles."));
    const QPoint cell = position[size_t(move.Piece)];
    QPoint at = D->Board.Offset + cell * u + QPoint(u / 2, u / 2);
    drag.Down = at;
    for (QPoint s : move.Steps) {
        at += s * u;
        drag.Points.push_back(at);
    }
    return drag;
}

std::vector<QPoint> TSolver::CellPath(const std::vector<QPoint> &position,
                                      const TSolverMove &move) const
{
    if (move.Piece < 0 || move.Piece >= int(position.size()))
        throw EZarvoError(QStringLiteral("Ein Zug der Lösung nennt kein Teil des Puzzles."));
    std::vector<QPoint> path;
    QPoint cell = position[size_t(move.Piece)];
    for (QPoint s : move.Steps)
        path.push_back(cell += s);
    return path;
}

QString SolveOutcomeName(TSolveOutcome outcome)
{
    switch (outcome) {
    case TSolveOutcome::Minimum:
        return QStringLiteral("minimum");
    case TSolveOutcome::Solution:
        return QStringLiteral("solution");
    case TSolveOutcome::Unsolvable:
        return QStringLiteral("unsolvable");
    case TSolveOutcome::Limit:
        return QStringLiteral("limit");
    case TSolveOutcome::Cancelled:
        return QStringLiteral("cancelled");
    }
    return QString();
}
