#include "HandBoard.h"
#include "PuzzleRoot.h"
#include "Solver.h"
#include "SolverSearch.h"
#include "ZarvoError.h"
#include "ZarvoPad.h"

#include <QFile>
#include <QSet>
#include <QTest>
#include <random>
#include <set>
#include <thread>

using namespace HandBoard;
using namespace SolverInternal;

// The solver measured against the game itself: every position one drag
// away, the shortest solutions, and the solutions replayed through the
// board's mouse handlers.

namespace {

const int U = 10; // pixels per cell on hand-built boards

// Cells of a history text.
std::vector<QPoint> CellsOf(const QString &text)
{
    const QStringList f = text.split(';', Qt::SkipEmptyParts);
    std::vector<QPoint> cells;
    for (int i = 0; i + 1 < f.size(); i += 2)
        cells.push_back(QPoint(f[i].toInt(), f[i + 1].toInt()));
    return cells;
}

// The reference search: positions are the board's own texts, one move is
// every sequence of one-cell drags of one piece made through MouseDown,
// MouseMove and MouseUp, the goal is the board's IsSolved.
class TPlain
{
public:
    explicit TPlain(TZarvoPad &pad) : Pad(pad)
    {
        for (int i = 0; i < pad.PieceCount(); ++i) {
            const TZarvo *p = pad.Piece(i);
            if (p->Movable && (!p->Master || p->Master == p))
                Movers.push_back(i);
        }
    }

    QString Text() const
    {
        QString t;
        for (const auto &p : Pad.Pieces)
            t += QStringLiteral("%1;%2;").arg(Pad.Col(p.get())).arg(Pad.Row(p.get()));
        return t;
    }

    void Put(const QString &text)
    {
        const auto cells = CellsOf(text);
        for (size_t i = 0; i < cells.size(); ++i) {
            TZarvo &p = *Pad.Pieces[i];
            p.X = p.OldX = Pad.ColToX(cells[i].x());
            p.Y = p.OldY = Pad.RowToY(cells[i].y());
        }
        Pad.PiecesChanged();
    }

    QSet<QString> Closure(const QString &from, int piece)
    {
        QSet<QString> seen{from};
        QList<QString> queue{from};
        const int u = Pad.UnitSize;
        for (int head = 0; head < queue.size(); ++head)
            for (QPoint d : {QPoint(1, 0), QPoint(0, 1), QPoint(-1, 0), QPoint(0, -1)}) {
                Put(queue[head]);
                const TZarvo *p = Pad.Piece(piece);
                const int x = p->X + u / 2, y = p->Y + u / 2;
                Pad.MouseDown(mbLeft, ssLeft, x, y);
                Pad.MouseMove(ssLeft, x + d.x() * u, y + d.y() * u);
                Pad.MouseUp(mbLeft, 0, x + d.x() * u, y + d.y() * u);
                const QString t = Text();
                if (!seen.contains(t)) {
                    seen.insert(t);
                    queue.append(t);
                }
            }
        return seen;
    }

    QSet<QString> Successors(const QString &from)
    {
        QSet<QString> all;
        for (int piece : Movers)
            all.unite(Closure(from, piece));
        all.remove(from);
        return all;
    }

    // Breadth first; Minimum -1 when no goal position is reachable.
    void Search(int maxPositions = 1 << 30)
    {
        const QString start = Text();
        QHash<QString, int> depth{{start, 0}};
        QList<QString> queue{start};
        for (int head = 0; head < queue.size() && int(queue.size()) < maxPositions; ++head) {
            Put(queue[head]);
            if (!Pad.Objects.empty() && Pad.IsSolved()) {
                Minimum = depth[queue[head]];
                break;
            }
            for (const QString &t : Successors(queue[head]))
                if (!depth.contains(t)) {
                    depth.insert(t, depth[queue[head]] + 1);
                    queue.append(t);
                }
        }
        Reached = queue;
        Put(start);
    }

    TZarvoPad &Pad;
    std::vector<int> Movers;
    int Minimum = -1;
    QList<QString> Reached;
};

void Field(TZarvoPad &pad, int cols, int rows)
{
    Frame(pad, cols, rows, U);
    pad.BackBitmap = QImage(cols * U, rows * U, QImage::Format_RGB32);
    pad.BackBitmap.fill(Qt::gray);
}

TZarvo *Block(TZarvoPad &pad, int col, int row, int w = 1, int h = 1, bool movable = true,
              const QString &caption = QString())
{
    return Add(pad, col * U, row * U, w * U, h * U, movable, caption);
}

void Begin(TZarvoPad &pad)
{
    pad.DragIndex = -1;
    pad.RecordPosition(0);
}

// Plays the solution through the board's mouse handlers.
void Replay(TZarvoPad &pad, const TSolver &solver, const TSolveResult &r)
{
    std::vector<QPoint> position = TSolverBoard::FromPad(pad).Position();
    for (const TSolverMove &m : r.Path) {
        const TSolverDrag drag = solver.DragFor(position, m);
        pad.MouseDown(mbLeft, ssLeft, drag.Down.x(), drag.Down.y());
        for (QPoint p : drag.Points)
            pad.MouseMove(ssLeft, p.x(), p.y());
        pad.MouseUp(mbLeft, 0, drag.Points.back().x(), drag.Points.back().y());
        position = solver.Apply(position, m);
        QCOMPARE(TSolverBoard::FromPad(pad).Position(), position);
    }
}

// A puzzle file of 10-pixel units on a board as large as the field.
QByteArray PuzzleFile(int cols, int rows, const QStringList &start, const QStringList &goal)
{
    QByteArray f = QStringLiteral("[Pad]\r\nUnitSize=10\r\nBackSize=%1,%2\r\nFrameSize=%1,%2\r\n"
                                  "Offset=0,0\r\n[Start]\r\nCount=%3\r\n")
                       .arg(cols)
                       .arg(rows)
                       .arg(start.size())
                       .toUtf8();
    for (int i = 0; i < start.size(); ++i)
        f += QStringLiteral("Zarvo%1=%2\r\n").arg(i + 1).arg(start[i]).toUtf8();
    f += QStringLiteral("[Object]\r\nCount=%1\r\n").arg(goal.size()).toUtf8();
    for (int i = 0; i < goal.size(); ++i)
        f += QStringLiteral("Zarvo%1=%2\r\n").arg(i + 1).arg(goal[i]).toUtf8();
    return f;
}

const QByteArray SolverTypes = StandardTypes + "[Zarvo12]\r\nCount=1\r\nZarvo1=0,0,1,2,1111\r\n";

} // namespace

class TestSolver : public QObject
{
    Q_OBJECT

    // Every position one drag away, as the solver's model finds it and as
    // drags through the mouse handlers make it, from each of the first
    // positions the reference search reaches.
    static void CompareNeighbourhoods(TZarvoPad &pad, int positions)
    {
        Begin(pad);
        TPlain plain(pad);
        plain.Search(positions);
        const TModel model(TSolverBoard::FromPad(pad));
        TDragClosure closure(model);
        for (const QString &at : plain.Reached) {
            std::set<TKey> mine, theirs;
            const std::vector<TCell> anchors = model.Anchors(CellsOf(at));
            for (int p = 0; p < model.N; ++p) {
                closure.Run(anchors.data(), p);
                for (int i = 1; i < closure.Count(); ++i)
                    mine.insert(KeyOf(model, {closure.At(i), closure.At(i) + model.N}));
            }
            for (const QString &t : plain.Successors(at))
                theirs.insert(KeyOf(model, model.Anchors(CellsOf(t))));
            // Equal pieces that changed places leave the position as it was.
            mine.erase(KeyOf(model, anchors));
            theirs.erase(KeyOf(model, anchors));
            QVERIFY2(mine == theirs, qPrintable(at));
        }
        QVERIFY(plain.Reached.size() > 20);
    }

private Q_SLOTS:
    void oneDragReachesWhatTheMouseReaches()
    {
        {
            // Chains of single pieces and dominoes, pushed against the frame
            // and against fixed pieces.
            TZarvoPad pad;
            Field(pad, 5, 3);
            Block(pad, 0, 0);
            Block(pad, 1, 0, 2, 1);
            Block(pad, 4, 0, 1, 1, false);
            Block(pad, 1, 1);
            Block(pad, 2, 1, 1, 2);
            Block(pad, 0, 2);
            Block(pad, 4, 2);
            CompareNeighbourhoods(pad, 150);
        }
        {
            // A compound piece shaped like a U with a piece in its gap (the
            // gap piece moves with it either way), an L, and a wall.
            TZarvoPad pad;
            Field(pad, 5, 4);
            TZarvo *left = Block(pad, 0, 0, 1, 2);
            TZarvo *bottom = Block(pad, 1, 1);
            TZarvo *right = Block(pad, 2, 0, 1, 2);
            Link({left, bottom, right});
            Block(pad, 1, 0);
            TZarvo *a = Block(pad, 3, 1, 1, 2);
            TZarvo *b = Block(pad, 4, 2);
            Link({a, b});
            Block(pad, 0, 3, 1, 1, false);
            Block(pad, 4, 0);
            CompareNeighbourhoods(pad, 120);
        }
    }

    void shortestSolutionsAgreeWithTheGame_data()
    {
        QTest::addColumn<QStringList>("start");
        QTest::addColumn<QStringList>("goal");
        QTest::addColumn<int>("cols");
        QTest::addColumn<int>("rows");
        // Four moves with chains pushed, five with single pieces pushed, six
        // without pushing.
        QTest::newRow("pushing") << QStringList{"Zarvo11,A,2,2,2,2,1", "Zarvo12,,0,1,0,1,1",
                                                "Zarvo12,,3,0,3,0,1",  "Zarvo11,,2,1,2,1,1",
                                                "Zarvo21,,1,0,1,0,1",  "Zarvo11,,0,0,0,0,1"}
                                 << QStringList{"Zarvo11,A,0,0,0,0,1"} << 4 << 3;
        QTest::newRow("compound and fixed")
            << QStringList{"Ell,E,0,0,0,0,1", "Zarvo11,,2,0,2,0,1", "Zarvo11,,2,1,2,1,1",
                           "Zarvo11,,3,0,3,0,0", "Zarvo21,,0,2,0,2,1"}
            << QStringList{"Ell,E,2,1,0,0,1"} << 4 << 3;
        QTest::newRow("caption lists")
            << QStringList{"Zarvo11,1,0,0,0,0,1", "Zarvo11,2,1,0,1,0,1", "Zarvo11,7,2,0,2,0,1",
                           "Zarvo11,2,0,1,0,1,1", "Zarvo11,3,1,1,1,1,1"}
            << QStringList{"Zarvo11,1/7,0,1,0,0,1", "Zarvo11,1/7,1,1,0,0,1", "Zarvo11,2,2,0,0,0,1"}
            << 3 << 2;
        QTest::newRow("picture") << QStringList{"Zarvo11,,0,0,2,0,1", "Zarvo11,,1,0,0,0,1",
                                                "Zarvo11,,2,0,1,0,1", "Zarvo11,,1,1,1,1,1"}
                                 << QStringList{"Zarvo11,,0,0,0,0,0", "Zarvo11,,1,0,1,0,0",
                                                "Zarvo11,,2,0,2,0,0"}
                                 << 3 << 2;
        QTest::newRow("odd tiles")
            << QStringList{"Zarvo11,1,1,0,0,0,1", "Zarvo11,2,0,0,1,0,1", "Zarvo11,3,0,1,0,1,1"}
            << QStringList{"Zarvo11,1,0,0,0,0,1", "Zarvo11,2,1,0,0,0,1", "Zarvo11,3,0,1,0,0,1"} << 2
            << 2;
        QTest::newRow("solved") << QStringList{"Zarvo11,A,0,0,0,0,1", "Zarvo21,,1,0,1,0,1"}
                                << QStringList{"Zarvo11,A,0,0,0,0,1"} << 3 << 2;
        QTest::newRow("no goal") << QStringList{"Zarvo11,A,0,0,0,0,1"} << QStringList{} << 3 << 2;
    }

    void shortestSolutionsAgreeWithTheGame()
    {
        QFETCH(QStringList, start);
        QFETCH(QStringList, goal);
        QFETCH(int, cols);
        QFETCH(int, rows);
        TPuzzleRoot root(SolverTypes);
        root.Write("Data/p.zrv", PuzzleFile(cols, rows, start, goal));
        TZarvoPad pad, reference;
        pad.LoadPuzzle("p.zrv", false);
        reference.LoadPuzzle("p.zrv", false);
        const TSolver solver(TSolverBoard::FromPad(pad));
        const TSolveResult r = solver.Solve();
        TPlain plain(reference);
        plain.Search();
        if (plain.Minimum < 0) {
            QCOMPARE(r.Outcome, TSolveOutcome::Unsolvable);
            // The whole reachable space was searched, unless the goal could
            // never be met at all.
            QCOMPARE(r.Positions, goal.isEmpty() ? 0 : plain.Reached.size());
            return;
        }
        QCOMPARE(r.Outcome, TSolveOutcome::Minimum);
        QCOMPARE(r.Moves, plain.Minimum);
        QCOMPARE(int(r.Path.size()), r.Moves);
        Replay(pad, solver, r);
        QCOMPARE(pad.MoveIndex, r.Moves);
        QVERIFY(pad.IsSolved());
    }

    void damagedPositionsAreRefused()
    {
        TPuzzleRoot root(SolverTypes);
        root.Write("Data/p.zrv", PuzzleFile(4, 3, {"Ell,E,0,0,0,0,1", "Zarvo11,,3,0,3,0,1"},
                                            {"Ell,E,2,1,0,0,1"}));
        // Cells of the three parts of the Ell (0,0 0,1 1,1), then the single piece.
        const QStringList entries = {"0;0;0;1;1;1;1;1;", "0;0;0;1;1;1;4;0;", "0;0;0;1;2;1;3;0;"};
        const QStringList causes = {"überlappen", "außerhalb", "beieinander"};
        for (int i = 0; i < entries.size(); ++i) {
            root.Write("Hist/s.zrh", ("p.zrv\r\n0;;0\r\n" + entries[i] + "\r\n").toUtf8());
            TZarvoPad pad;
            pad.LoadPuzzle("s.zrh", true);
            try {
                TSolver solver(TSolverBoard::FromPad(pad));
                QFAIL(qPrintable(entries[i]));
            } catch (const EZarvoError &e) {
                QVERIFY2(e.Message.startsWith("Die Stellung ist beschädigt") &&
                             e.Message.contains(causes[i]),
                         qPrintable(e.Message));
            }
        }
        // A piece that is not whole cells cannot be moved cell by cell.
        TZarvoPad pad;
        Field(pad, 4, 4);
        Add(pad, 0, 0, 15, 10);
        QVERIFY_THROWS_EXCEPTION(EZarvoError, TSolverBoard::FromPad(pad));
    }

    void positionIsTheRecordedOne()
    {
        // Without grid snapping a piece rests between cells; the solver takes
        // the cell the history recorded for it.
        TZarvoPad pad;
        Field(pad, 4, 1);
        Block(pad, 0, 0);
        Add(pad, 3 * U, 0, U, U, true, "Z");
        Add(pad, 3 * U, 0, U, U, true, "Z", &pad.Objects);
        Begin(pad);
        pad.MouseDown(mbLeft, ssLeft, 5, 5);
        pad.MouseMove(ssLeft, 19, 5);
        pad.MouseUp(mbLeft, 0, 19, 5);
        QCOMPARE(pad.Piece(0)->X, 14);
        const TSolverBoard board = TSolverBoard::FromPad(pad);
        QCOMPARE(board.Position(), (std::vector<QPoint>{QPoint(1, 0), QPoint(3, 0)}));
        QCOMPARE(TSolver(board).Solve().Moves, 0);
    }

    void tilePuzzles()
    {
        // Numbered tiles with the gap bottom right, scrambled by random
        // slides of the gap: the tiles' own search proves the same minimum
        // as the complete search (4 x 3), builds a way home on a board too
        // large for that (7 x 6), and sees at once when the tiles cannot
        // be put in order.
        std::mt19937 random(13);
        const auto board = [&](TZarvoPad &pad, int cols, int rows, int slides, bool swap) {
            Field(pad, cols, rows);
            const int n = cols * rows - 1;
            for (int i = 0; i < n; ++i) {
                Block(pad, i % cols, i / cols, 1, 1, true, QString::number(i + 1));
                Add(pad, (i % cols) * U, (i / cols) * U, U, U, true, QString::number(i + 1),
                    &pad.Objects);
            }
            QPoint gap(cols - 1, rows - 1);
            for (int k = 0; k < slides; ++k) {
                const QPoint d =
                    std::vector<QPoint>{{1, 0}, {0, 1}, {-1, 0}, {0, -1}}[random() % 4];
                const QPoint to = gap + d;
                if (to.x() < 0 || to.y() < 0 || to.x() >= cols || to.y() >= rows)
                    continue;
                for (auto &p : pad.Pieces)
                    if (pad.Col(p.get()) == to.x() && pad.Row(p.get()) == to.y()) {
                        p->X = p->OldX = gap.x() * U;
                        p->Y = p->OldY = gap.y() * U;
                    }
                gap = to;
            }
            if (swap)
                std::swap(pad.Pieces[0]->Caption, pad.Pieces[1]->Caption);
            Begin(pad);
        };
        const auto reachesGoal = [](TZarvoPad &pad, const TSolver &solver, const TSolveResult &r) {
            std::vector<QPoint> position = solver.Board().Position();
            for (const TSolverMove &m : r.Path) {
                QCOMPARE(int(m.Steps.size()), 1);
                position = solver.Apply(position, m);
            }
            TPlain plain(pad);
            QString text;
            for (QPoint c : position)
                text += QStringLiteral("%1;%2;").arg(c.x()).arg(c.y());
            plain.Put(text);
            QVERIFY(pad.IsSolved());
        };
        for (int round = 0; round < 4; ++round) {
            TZarvoPad pad;
            board(pad, 4, 3, 14, false);
            const TSolver solver(TSolverBoard::FromPad(pad));
            const TModel model(solver.Board());
            QVERIFY(IsTilePuzzle(model));
            const TSolveResult r = solver.Solve();
            TBudget budget(TSolverLimits{});
            const auto complete =
                BreadthFirst(model, model.Anchors(solver.Board().Position()), budget);
            QCOMPARE(r.Outcome, TSolveOutcome::Minimum);
            QCOMPARE(r.Moves, int(complete.Keys.size()) - 1);
            reachesGoal(pad, solver, r);
        }
        // 46 x 46 tiles are placed one cell at a time instead of by a
        // search over every place of tile and gap.
        for (QPoint size : {QPoint(7, 6), QPoint(46, 46)}) {
            TZarvoPad pad;
            board(pad, size.x(), size.y(), 3000, false);
            const TSolver solver(TSolverBoard::FromPad(pad));
            const TSolveResult r = solver.Solve();
            QCOMPARE(r.Outcome, TSolveOutcome::Solution);
            QCOMPARE(int(r.Path.size()), r.Moves);
            reachesGoal(pad, solver, r);
        }
        {
            TZarvoPad pad;
            board(pad, 7, 6, 3000, true);
            QCOMPARE(TSolver(TSolverBoard::FromPad(pad)).Solve().Outcome,
                     TSolveOutcome::Unsolvable);
        }
    }

    void budgetCancelAndKnownWays()
    {
        TPuzzleRoot root(SolverTypes);
        root.Write("Data/p.zrv",
                   PuzzleFile(4, 4,
                              {"Zarvo21,A,0,0,0,0,1", "Zarvo11,,2,0,2,0,1", "Zarvo21,,0,1,0,1,1",
                               "Ell,,2,1,2,1,1", "Zarvo11,,0,2,0,2,1", "Zarvo21,,1,3,1,3,1"},
                              {"Zarvo21,A,2,3,0,0,1"}));
        TZarvoPad pad;
        pad.LoadPuzzle("p.zrv", false);
        const TSolver solver(TSolverBoard::FromPad(pad));
        TSolverLimits tiny;
        tiny.MaxPositions = 3;
        const TSolveResult cut = solver.Solve(tiny);
        QCOMPARE(cut.Outcome, TSolveOutcome::Limit);
        QVERIFY(cut.Path.empty());
        std::atomic<bool> cancel{true};
        TSolverLimits stopped;
        stopped.Cancel = &cancel;
        QCOMPARE(solver.Solve(stopped).Outcome, TSolveOutcome::Cancelled);

        // Two searches at once on one solver, then every position along the
        // way answered from what they found.
        TSolveResult r, again;
        std::thread other([&] { again = solver.Solve(); });
        r = solver.Solve();
        other.join();
        QCOMPARE(r.Outcome, TSolveOutcome::Minimum);
        QVERIFY(r.Moves >= 2);
        QCOMPARE(again.Moves, r.Moves);
        std::vector<QPoint> position = solver.Board().Position();
        for (int k = 0; k < r.Moves; ++k) {
            const TSolveResult rest = solver.SolveFrom(position, tiny);
            QVERIFY(rest.FromCache);
            QCOMPARE(rest.Outcome, TSolveOutcome::Minimum);
            QCOMPARE(rest.Moves, r.Moves - k);
            position = solver.Apply(position, rest.Path.front());
        }
        QCOMPARE(solver.SolveFrom(position).Moves, 0);
    }

    // One drag on the bundled warehouse reaches millions of positions: a
    // small byte budget holds through the complete search and the guided
    // one after it, and the answer is no proven minimum.
    void byteBudgetHolds()
    {
        const auto read = [](const char *path) {
            QFile f(QStringLiteral(ZARVOS_SOURCE_DIR) + path);
            return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
        };
        TPuzzleRoot root(read("/data/ZarvoTyp.ini"));
        root.Write("Data/w.zrv", read("/data/Data/Lagerhalle.zrv"));
        TZarvoPad pad;
        pad.Constructing = true;
        pad.LoadPuzzle("w.zrv", false);
        const TSolver solver(TSolverBoard::FromPad(pad));
        TSolverLimits small;
        small.MaxBytes = 3'000'000;
        const TSolveResult r = solver.Solve(small);
        QVERIFY2(r.Bytes > small.MaxBytes / 2 && r.Bytes <= small.MaxBytes,
                 qPrintable(QString::number(r.Bytes)));
        QVERIFY(r.Outcome == TSolveOutcome::Limit || r.Outcome == TSolveOutcome::Solution);
        QCOMPARE(r.Path.empty(), r.Outcome == TSolveOutcome::Limit);
    }
};

QTEST_MAIN(TestSolver)
#include "tst_solver.moc"
