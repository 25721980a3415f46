#include "Demonstration.h"
#include "PuzzleRoot.h"
#include "ZarvoError.h"
#include "ZarvoGame.h"

#include <QTest>

// The game session: where undo and redo land while a button is held, the
// status it reports after each step, snapping, restart, the goal, the clock
// and the solver's help. The window and zarvos-cli play rely on exactly
// these rules.
class TestZarvoGame : public QObject
{
    Q_OBJECT

    // Three pieces in the top row of a 4 x 5 field of 40-pixel cells; the
    // goal wants A one row down.
    static void WriteRow(const TPuzzleRoot &root)
    {
        root.Write(QStringLiteral("Data/row.zrv"), "[Pad]\r\nBackSize=4,5\r\n[Start]\r\nCount=3\r\n"
                                                   "Zarvo1=Zarvo11,A,0,0,0,0,1\r\n"
                                                   "Zarvo2=Zarvo11,B,1,0,1,0,1\r\n"
                                                   "Zarvo3=Zarvo11,C,2,0,2,0,1\r\n"
                                                   "[Object]\r\nCount=1\r\n"
                                                   "Zarvo1=Zarvo11,A,0,1,0,0,1\r\n");
    }

    // A square, a domino and an L on a 4 x 5 field with a fixed piece in the
    // bottom row; the goal takes all three elsewhere, so a solution needs
    // several drags and pushes.
    static void WriteTrio(const TPuzzleRoot &root)
    {
        root.Write(QStringLiteral("Data/trio.zrv"),
                   "[Pad]\r\nBackSize=4,5\r\n[Start]\r\nCount=4\r\n"
                   "Zarvo1=Zarvo11,A,0,0,0,0,1\r\n"
                   "Zarvo2=Zarvo21,B,1,0,1,0,1\r\n"
                   "Zarvo3=Ell,C,0,2,0,2,1\r\n"
                   "Zarvo4=Zarvo11,X,1,4,1,4,0\r\n"
                   "[Object]\r\nCount=3\r\n"
                   "Zarvo1=Zarvo11,A,3,4,0,0,1\r\n"
                   "Zarvo2=Zarvo21,B,2,0,1,0,1\r\n"
                   "Zarvo3=Ell,C,2,2,0,2,1\r\n");
    }

    struct TLog
    {
        QList<TGameStatus> Status;
        QList<int> Goals; // moves of each announced goal
    };

    static void Watch(TZarvoGame &game, TLog &log)
    {
        game.OnStatus = [&log](const TGameStatus &s) { log.Status << s; };
        game.OnGoalReached = [&log](int moves, int) { log.Goals << moves; };
    }

    static TGameStatus Make(int moves, int entries, bool undo, bool redo, bool solved,
                            bool shown = false)
    {
        TGameStatus s;
        s.Moves = moves;
        s.Entries = entries;
        s.CanUndo = undo;
        s.CanRedo = redo;
        s.Solved = solved;
        s.GoalShown = shown;
        return s;
    }

    static QString Cells(const TZarvoGame &game)
    {
        QStringList out;
        for (const auto &p : game.Board().ActivePieces())
            out << QStringLiteral("%1,%2").arg(p->X).arg(p->Y);
        return out.join(QLatin1Char(' '));
    }

    static QList<int> HoldUndo(int from, int &repeat)
    {
        QList<int> steps;
        int n = from;
        while (n > 0) {
            n = UndoTarget(n, repeat, false);
            steps << n;
        }
        return steps;
    }

    static QList<int> HoldRedo(int from, int entries, int &repeat)
    {
        QList<int> steps;
        int n = from;
        while (n < entries - 1) {
            n = RedoTarget(n, entries, repeat, false);
            steps << n;
        }
        return steps;
    }

private Q_SLOTS:
    void holdingUndoJumpsAfterTenSteps()
    {
        int repeat = 0;
        QCOMPARE(HoldUndo(37, repeat),
                 (QList<int>{36, 35, 34, 33, 32, 31, 30, 29, 28, 27, 25, 20, 15, 10, 5, 0}));
        QCOMPARE(repeat, 0); // reset on reaching the start

        // Short of ten steps nothing jumps, and the count stays for the
        // next repeat of the same button.
        repeat = 0;
        QCOMPARE(HoldUndo(4, repeat), (QList<int>{3, 2, 1, 0}));
        repeat = 0;
        QCOMPARE(UndoTarget(12, repeat, false), 11);
        QCOMPARE(repeat, 1);
    }

    void holdingRedoJumpsAndStopsAtTheEnd()
    {
        int repeat = 0;
        QCOMPARE(HoldRedo(0, 23, repeat), (QList<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 15, 20, 22}));
        QCOMPARE(repeat, 0);

        // A jump that lands exactly on a multiple of five inside the list.
        repeat = 10;
        QCOMPARE(RedoTarget(10, 40, repeat, false), 15);
        QCOMPARE(repeat, 11);
        QCOMPARE(RedoTarget(15, 40, repeat, false), 20);
        // One short of a multiple of five: the next entry is that multiple.
        QCOMPARE(RedoTarget(14, 40, repeat, false), 15);
        // The last entry ends the acceleration.
        repeat = 3;
        QCOMPARE(RedoTarget(38, 40, repeat, false), 39);
        QCOMPARE(repeat, 0);
    }

    void menuStepsAreSingleAndReset()
    {
        int repeat = 25;
        QCOMPARE(UndoTarget(37, repeat, true), 36);
        QCOMPARE(repeat, 0);
        repeat = 25;
        QCOMPARE(RedoTarget(3, 23, repeat, true), 4);
        QCOMPARE(repeat, 0);
        // Repeated menu steps never accelerate.
        int n = 30;
        for (int i = 0; i < 15; ++i)
            n = UndoTarget(n, repeat, true);
        QCOMPARE(n, 15);
    }

    void keyStepsShareTheCountWithButtons()
    {
        // Window keys are not reset by anything but the ends: undo and redo
        // count together, and the eleventh step in a row jumps.
        int repeat = 0;
        int n = 20;
        for (int i = 0; i < 5; ++i)
            n = UndoTarget(n, repeat, false);
        QCOMPARE(n, 15);
        for (int i = 0; i < 5; ++i)
            n = RedoTarget(n, 40, repeat, false);
        QCOMPARE(n, 20);
        QCOMPARE(repeat, 10);
        n = UndoTarget(n, repeat, false); // 19, rounded down
        QCOMPARE(n, 15);
        n = RedoTarget(n, 40, repeat, false); // 16, rounded up
        QCOMPARE(n, 20);
    }

    void stepsReportTheirStatus()
    {
        TPuzzleRoot root;
        WriteRow(root);
        TZarvoGame game;
        TLog log;
        game.Load(QStringLiteral("row.zrv"), false);
        Watch(game, log);
        QCOMPARE(game.Status(), Make(0, 1, false, false, false));
        QVERIFY(!game.Undo(true));
        QVERIFY(!game.Redo(true));
        QVERIFY(!game.Restart());
        QVERIFY(log.Status.isEmpty());

        // B two rows down, C one row down (cells of the top-left corner).
        QVERIFY(game.DragPiece(1, {{1, 1}, {1, 2}}));
        QVERIFY(game.DragPiece(2, {{2, 1}}));
        QCOMPARE(Cells(game), QStringLiteral("0,0 40,80 80,40"));
        QCOMPARE(log.Status.last(), Make(2, 3, true, false, false));
        QVERIFY(game.Undo(true));
        QCOMPARE(log.Status.last(), Make(1, 3, true, true, false));
        QCOMPARE(Cells(game), QStringLiteral("0,0 40,80 80,0"));

        // The goal shown closes the history and hides the goal test.
        game.ShowGoal(true);
        QCOMPARE(log.Status.last(), Make(1, 3, false, false, false, true));
        QVERIFY(!game.Undo(true));
        QVERIFY(!game.Redo(true));
        QVERIFY(!game.Restart());
        QVERIFY(!game.DragPiece(0, {{0, 1}}));
        game.ShowGoal(false);
        QVERIFY(game.Restart());
        QCOMPARE(log.Status.last(), Make(0, 3, false, true, false));
        QCOMPARE(Cells(game), QStringLiteral("0,0 40,0 80,0"));

        // A drag after a history step adds a move after it.
        QVERIFY(game.DragPiece(2, {{2, 1}}));
        QCOMPARE(log.Status.last(), Make(1, 2, true, false, false));
        QVERIFY(!game.DragPiece(7, {{0, 1}}));
        QVERIFY(log.Goals.isEmpty());

        // An entry that does not exist changes nothing.
        QVERIFY_THROWS_EXCEPTION(EZarvoError, game.GoTo(5));
        QCOMPARE(game.Status(), Make(1, 2, true, false, false));
    }

    void heldButtonsAccelerateUntilReleased()
    {
        TPuzzleRoot root;
        WriteRow(root);
        TZarvoGame game;
        game.Load(QStringLiteral("row.zrv"), false);
        // Twelve moves: A, B and C one row further down in turn.
        for (int row = 1; row <= 4; ++row)
            for (int piece = 0; piece < 3; ++piece)
                QVERIFY(game.DragPiece(piece, {{piece, row}}));
        QCOMPARE(game.Status(), Make(12, 13, true, false, false));
        QList<int> steps;
        for (int i = 0; i < 10; ++i) {
            QVERIFY(game.Undo(false));
            steps << game.Status().Moves;
        }
        QCOMPARE(steps, (QList<int>{11, 10, 9, 8, 7, 6, 5, 4, 3, 2}));
        game.EndRepeat(); // released: the next step is a single one again
        QVERIFY(game.Undo(false));
        QCOMPARE(game.Status().Moves, 1);
        steps.clear();
        for (int i = 0; i < 10; ++i) {
            QVERIFY(game.Redo(false));
            steps << game.Status().Moves;
        }
        // The eleventh step in a row jumps, and never beyond the last entry.
        QCOMPARE(steps, (QList<int>{2, 3, 4, 5, 6, 7, 8, 9, 10, 12}));
        QVERIFY(!game.Redo(false));
        for (int i = 0; i < 12; ++i)
            QVERIFY(game.Undo(true)); // menu steps never jump
        QCOMPARE(game.Status(), Make(0, 13, false, true, false));
    }

    void gridSnapsAfterEveryStep()
    {
        TPuzzleRoot root;
        WriteRow(root);
        TZarvoGame game;
        bool grid = false;
        game.SnapToGrid = [&grid] { return grid; };
        game.Load(QStringLiteral("row.zrv"), false);
        TZarvoPad &pad = game.Board();
        auto drag = [&pad](int x0, int y0, int x1, int y1) {
            pad.MouseDown(mbLeft, ssLeft, x0, y0);
            pad.MouseMove(ssLeft, x1, y1);
            pad.MouseUp(mbLeft, 0, x1, y1);
        };
        drag(20, 20, 20, 45);
        QCOMPARE(Cells(game), QStringLiteral("0,25 40,0 80,0"));
        grid = true;
        drag(60, 20, 60, 45);
        QCOMPARE(Cells(game), QStringLiteral("0,40 40,40 80,0"));
        // Less than half a cell: nothing is recorded and the piece goes back.
        drag(100, 20, 100, 35);
        QCOMPARE(Cells(game), QStringLiteral("0,40 40,40 80,0"));
        QCOMPARE(game.Status().Moves, 2);
    }

    void theGoalIsAnnouncedOncePerBetterResult()
    {
        TPuzzleRoot root;
        WriteRow(root);
        TZarvoGame game;
        TLog log;
        Watch(game, log);
        game.Load(QStringLiteral("row.zrv"), false);
        game.StartClock();
        QVERIFY(game.StartTime > 0);
        QVERIFY(game.DragPiece(1, {{1, 1}}));
        QVERIFY(game.DragPiece(0, {{0, 1}}));
        QCOMPARE(log.Status.last(), Make(2, 3, true, false, true));
        QCOMPARE(log.Goals, QList<int>{2});
        QVERIFY(game.Finished);
        // The clock stands still from now on.
        game.StartTime -= 100.0 / 86400;
        QVERIFY(!game.Tick());
        QCOMPARE(game.ElapsedSeconds, 0);
        // A refresh shows the goal but never announces it.
        game.Update(false);
        QCOMPARE(log.Goals, QList<int>{2});

        // Recorded with 2 moves: reaching it again in 2 is not news, in 1 it is.
        game.Board().Solved = true;
        game.Board().SolvedMoves = 2;
        QVERIFY(game.Undo(true));
        QVERIFY(game.Redo(true));
        QCOMPARE(log.Goals, QList<int>{2});
        game.GoTo(0);
        QVERIFY(game.DragPiece(0, {{0, 1}}));
        QCOMPARE(log.Goals, (QList<int>{2, 1}));

        // Restart after the goal: the puzzle afresh from its file.
        QVERIFY(game.Restart());
        QCOMPARE(log.Status.last(), Make(0, 1, false, false, false));
        QCOMPARE(Cells(game), QStringLiteral("0,0 40,0 80,0"));
        QVERIFY(!game.Finished);
        QCOMPARE(game.StartTime, 0.0);
        QVERIFY(!game.Tick());

        // A failed load keeps the game as it was.
        QVERIFY(game.DragPiece(2, {{2, 1}}));
        root.Write(QStringLiteral("Data/bad.zrv"),
                   "[Start]\r\nCount=1\r\nZarvo1=Domino,A,0,0,0,0,1\r\n");
        QVERIFY_THROWS_EXCEPTION(EZarvoError, game.Load(QStringLiteral("bad.zrv"), false));
        QCOMPARE(game.Status(), Make(1, 2, true, false, false));
    }

    void theClockCountsWholeSeconds()
    {
        TZarvoGame game;
        QVERIFY(!game.Tick());
        game.StartClock();
        const double start = game.StartTime;
        game.StartClock(); // a later press does not restart it
        QCOMPARE(game.StartTime, start);
        game.StartTime = TZarvoGame::ClockNow() - 725.4 / 86400;
        QVERIFY(game.Tick());
        QCOMPARE(game.ElapsedSeconds, 725);
    }

    void aHintShowsTheNextMoveAndMarksTheGame()
    {
        TPuzzleRoot root;
        WriteRow(root);
        TZarvoGame game;
        TLog log;
        Watch(game, log);
        game.Load(QStringLiteral("row.zrv"), false);
        const TSolverAnswer answer = game.Solver().AskNow(game.Board());
        QCOMPARE(answer.Outcome, TSolveOutcome::Minimum);
        QCOMPARE(answer.Moves, 1);
        QVERIFY(!game.Helped());

        // A one row down: framed where it is, dashed where it goes; the way
        // runs from its middle one cell down. Nothing moves.
        TSolverHint hint;
        QVERIFY(game.Hint(answer, hint));
        QCOMPARE(hint.Piece, 0);
        QCOMPARE(hint.From, std::vector<QRect>{QRect(0, 0, 40, 40)});
        QCOMPARE(hint.To, std::vector<QRect>{QRect(0, 40, 40, 40)});
        QCOMPARE(hint.Path, (std::vector<QPoint>{{20, 20}, {20, 60}}));
        QCOMPARE(hint.MovesLeft, 1);
        QVERIFY(hint.Proven);
        QCOMPARE(Cells(game), QStringLiteral("0,0 40,0 80,0"));
        QCOMPARE(game.Status().Moves, 0);
        QVERIFY(log.Status.last().Helped);

        // The goal reached after a hint is not offered to the best-ten list,
        // also not after the game state went through its file.
        QVERIFY(game.DragPiece(1, {{1, 1}}));
        game.Board().SaveGameState(QStringLiteral("helped.zrh"));
        TZarvoGame again;
        TLog log2;
        Watch(again, log2);
        again.Load(QStringLiteral("helped.zrh"), true);
        QVERIFY(again.Helped());
        QVERIFY(again.DragPiece(0, {{0, 1}}));
        QVERIFY(log2.Status.last().Solved && log2.Status.last().Helped);
        QVERIFY(log2.Goals.isEmpty());
        // An answer about another position gives no hint and marks nothing.
        TZarvoGame fresh;
        fresh.Load(QStringLiteral("row.zrv"), false);
        QVERIFY(fresh.DragPiece(2, {{2, 1}}));
        QVERIFY(!fresh.Hint(answer, hint));
        QVERIFY(!fresh.Helped());
        // The puzzle afresh after the goal is a game of its own.
        QVERIFY(again.Restart());
        QVERIFY(!again.Helped());
    }

    void noWayNoHint()
    {
        TPuzzleRoot root;
        WriteRow(root);
        // A fixed piece on A's goal cell: no goal position can be reached.
        root.Write(QStringLiteral("Data/walled.zrv"),
                   "[Pad]\r\nBackSize=4,5\r\n[Start]\r\nCount=2\r\n"
                   "Zarvo1=Zarvo11,A,0,0,0,0,1\r\nZarvo2=Zarvo11,W,0,1,0,1,0\r\n"
                   "[Object]\r\nCount=1\r\nZarvo1=Zarvo11,A,0,1,0,0,1\r\n");
        TZarvoGame game;
        game.Load(QStringLiteral("walled.zrv"), false);
        TSolverHint hint;
        TSolverAnswer answer = game.Solver().AskNow(game.Board());
        QCOMPARE(answer.Outcome, TSolveOutcome::Unsolvable);
        QVERIFY(!game.Hint(answer, hint));
        QVERIFY(!game.Helped());

        // A budget too small for the way says so.
        WriteTrio(root);
        game.Load(QStringLiteral("trio.zrv"), false);
        game.Solver().Limits.MaxPositions = 3;
        answer = game.Solver().AskNow(game.Board());
        QCOMPARE(answer.Outcome, TSolveOutcome::Limit);
        QVERIFY(!game.Hint(answer, hint));

        // In the goal already: nothing left to hint.
        game.Load(QStringLiteral("row.zrv"), false);
        QVERIFY(game.DragPiece(0, {{0, 1}}));
        answer = game.Solver().AskNow(game.Board());
        QCOMPARE(answer.Moves, 0);
        QVERIFY(!game.Hint(answer, hint));

        // Overlapping pieces of a damaged game state: a German message.
        root.Write(QStringLiteral("Hist/broken.zrh"), "row.zrv\r\n0;;0\r\n0;0;0;0;2;0;\r\n");
        game.Load(QStringLiteral("broken.zrh"), true);
        answer = game.Solver().AskNow(game.Board());
        QVERIFY(!answer.Found());
        QVERIFY(answer.Error.contains(QStringLiteral("beschädigt")));
        QVERIFY(!game.Hint(answer, hint));
    }

    void aDemonstrationPlaysMovesThatCount()
    {
        TPuzzleRoot root;
        WriteTrio(root);
        TZarvoGame game;
        TLog log;
        Watch(game, log);
        game.Load(QStringLiteral("trio.zrv"), false);
        const TSolverAnswer answer = game.Solver().AskNow(game.Board());
        QCOMPARE(answer.Outcome, TSolveOutcome::Minimum);
        QVERIFY(answer.Moves >= 2);
        int confined = 0;
        game.Board().OnConfineCursor = [&confined](TZarvoPad &, bool) { ++confined; };

        {
            TDemonstration demo(game, answer, 3, 2);
            int frames = 0;
            while (demo.Tick())
                ++frames;
            QVERIFY(!demo.Failed());
            QCOMPARE(demo.MovesDone(), answer.Moves);
            // A press per move, each cell of the way in three frames, two
            // frames of rest between moves; the last frame says it is over.
            int cells = 0;
            for (const TSolverMove &m : answer.Path)
                cells += int(m.Steps.size());
            QCOMPARE(frames, answer.Moves + cells * 3 + (answer.Moves - 1) * 2 - 1);
        }
        QCOMPARE(game.Status().Moves, answer.Moves);
        QVERIFY(game.Status().Solved && game.Status().Helped);
        QVERIFY(log.Goals.isEmpty());
        // The pointer was never held, and the view's hook is back.
        QCOMPARE(confined, 0);
        QVERIFY(game.Board().OnConfineCursor);

        // Stopped halfway through its second move: that move is finished
        // at once, and the board rests where the solver said.
        game.Load(QStringLiteral("trio.zrv"), false);
        const TSolverAnswer fresh = game.Solver().AskNow(game.Board());
        QVERIFY(fresh.Found() && !game.Helped());
        TDemonstration demo(game, fresh, 4, 1);
        while (demo.MovesDone() < 1 || !game.Board().Dragging)
            QVERIFY(demo.Tick());
        QVERIFY(demo.Tick());
        demo.Stop();
        QVERIFY(!demo.Tick());
        QCOMPARE(demo.MovesDone(), 2);
        QCOMPARE(game.Status().Moves, 2);
        const TSolverAnswer rest = game.Solver().Rest(game.Solver().Rest(fresh));
        QVERIFY(game.IsCurrent(rest));
        QCOMPARE(rest.Moves, fresh.Moves - 2);

        // A board that left the solver's way ends the demonstration.
        QVERIFY(game.Undo(true));
        TDemonstration astray(game, fresh, 1, 0);
        QVERIFY(!astray.Tick());
        QVERIFY(astray.Failed());
        QCOMPARE(game.Status().Moves, 1);
    }

    void questionsAreAnsweredOffThisThread()
    {
        TPuzzleRoot root;
        WriteTrio(root);
        TZarvoGame game;
        game.Load(QStringLiteral("trio.zrv"), false);
        TSolverService &solver = game.Solver();
        QList<int> answers;
        // A question dropped by a newer one about another position is never answered.
        solver.Ask(game.Board(), [&answers](const TSolverAnswer &) { answers << -1; });
        QVERIFY(game.DragPiece(0, {{0, 1}}));
        solver.Ask(game.Board(), [&answers](const TSolverAnswer &a) { answers << a.Moves; });
        QVERIFY(solver.Busy());
        QVERIFY(answers.isEmpty()); // never on the asker's stack
        QTRY_VERIFY(!answers.isEmpty());
        QCOMPARE(answers.size(), 1);
        QVERIFY(answers.first() > 0);
        const TSolverAnswer *known = solver.Known(game.Position());
        QVERIFY(known && known->Moves == answers.first());
        QCOMPARE(solver.AskNow(game.Board()).Moves, answers.first());

        // Known answers come the same way; a cancelled question stays unanswered.
        solver.Ask(game.Board(), [&answers](const TSolverAnswer &a) { answers << a.Moves; });
        solver.Cancel();
        QVERIFY(!solver.Busy());
        QTest::qWait(20);
        QCOMPARE(answers.size(), 1);
        solver.Ask(game.Board(), [&answers](const TSolverAnswer &a) { answers << a.Moves; });
        QTRY_COMPARE(answers.size(), 2);

        // A new puzzle forgets what was known.
        game.Load(QStringLiteral("trio.zrv"), false);
        QVERIFY(game.DragPiece(0, {{0, 1}}));
        QVERIFY(!solver.Known(game.Position()));

        // A shortest way known stays when the rest of a longer, unproven way
        // passes the same position.
        const TSolverAnswer best = solver.AskNow(game.Board());
        QVERIFY(best.Outcome == TSolveOutcome::Minimum && best.Moves >= 2);
        const TSolverAnswer next = solver.Rest(best);
        TSolverAnswer longer = best;
        longer.Outcome = TSolveOutcome::Solution;
        longer.Path.insert(longer.Path.end(), 2, best.Path.back());
        longer.Moves = int(longer.Path.size());
        QCOMPARE(solver.Rest(longer).Moves, next.Moves + 2);
        known = solver.Known(next.Position);
        QVERIFY(known && known->Outcome == TSolveOutcome::Minimum && known->Moves == next.Moves);
    }

    void keysSelectAndMovePiecesAsDrags()
    {
        // A, a fixed X, an L of three cells and B, on a 4 x 5 field:
        //   A X L .
        //   B . L L
        TPuzzleRoot root;
        root.Write(QStringLiteral("Data/keys.zrv"),
                   "[Pad]\r\nBackSize=4,5\r\n[Start]\r\nCount=4\r\n"
                   "Zarvo1=Zarvo11,A,0,0,0,0,1\r\n"
                   "Zarvo2=Zarvo11,X,1,0,1,0,0\r\n"
                   "Zarvo3=Ell,L,2,0,2,0,1\r\n"
                   "Zarvo4=Zarvo11,B,0,1,0,1,1\r\n"
                   "[Object]\r\nCount=1\r\n"
                   "Zarvo1=Zarvo11,A,3,4,0,0,1\r\n");
        TZarvoGame game;
        game.SnapToGrid = [] { return true; };
        game.Load(QStringLiteral("keys.zrv"), false);
        QList<int> told;
        int presses = 0;
        game.OnSelectionChanged = [&told](int i) { told << i; };
        game.OnPress = [&presses] { ++presses; };
        QCOMPARE(game.Board().PieceCount(), 6); // the L is three entries
        // An arrow key without a selection selects the first piece only.
        QVERIFY(!game.MoveSelected(0, 1));
        QCOMPARE(game.Selected(), 0);
        QCOMPARE(presses, 0);
        game.Select(-1);
        told.clear();

        // Movable pieces in list order, the L by its first part, round at the end.
        QList<int> order;
        for (int i = 0; i < 4; ++i) {
            QVERIFY(game.SelectNext(true));
            order << game.Selected();
        }
        QCOMPARE(order, (QList<int>{0, 2, 5, 0}));
        QVERIFY(game.SelectNext(false));
        QCOMPARE(game.Selected(), 5);
        game.Select(-1);
        QVERIFY(game.SelectNext(false)); // Shift+Tab first: the last piece
        QCOMPARE(game.Selected(), 5);
        QCOMPARE(told, (QList<int>{0, 2, 5, 0, 5, -1, 5}));

        // A: blocked to the right by X; down it pushes B; down again is the
        // same move.
        game.Select(0);
        game.Board().HandX = 7;
        game.Board().HandY = 9;
        QVERIFY(!game.MoveSelected(1, 0));
        QCOMPARE(game.Status().Entries, 1);
        QVERIFY(game.MoveSelected(0, 1));
        QVERIFY(game.MoveSelected(0, 1));
        QCOMPARE(Cells(game), QStringLiteral("0,80 40,0 80,0 80,40 120,40 0,120"));
        QCOMPARE(game.Status(), Make(1, 2, true, false, false));
        QCOMPARE(presses, 3);
        QCOMPARE(QPoint(game.Board().HandX, game.Board().HandY), QPoint(7, 9));
        QVERIFY(!game.Board().Dragging);

        // The L: the frame stops it on the right; down it goes, a second move;
        // A again is a third.
        QVERIFY(game.SelectNext(true));
        QVERIFY(!game.MoveSelected(1, 0));
        QVERIFY(game.MoveSelected(0, 1));
        game.Select(0);
        QVERIFY(game.MoveSelected(0, -1));
        QCOMPARE(Cells(game), QStringLiteral("0,40 40,0 80,40 80,80 120,80 0,120"));
        QCOMPARE(game.Status(), Make(3, 4, true, false, false));
        // Undo takes back A's step; the key moves were history like drags.
        QVERIFY(game.Undo(true));
        QCOMPARE(Cells(game), QStringLiteral("0,80 40,0 80,40 80,80 120,80 0,120"));

        // A press selects the piece under it (a compound piece by its first
        // part); a press on the fixed piece leaves the selection alone.
        TZarvoPad &pad = game.Board();
        pad.MouseDown(mbLeft, ssLeft, 130, 90); // the L's third cell
        pad.MouseUp(mbLeft, 0, 130, 90);
        QCOMPARE(game.Selected(), 2);
        pad.MouseDown(mbLeft, ssLeft, 50, 10);
        pad.MouseUp(mbLeft, 0, 50, 10);
        QCOMPARE(game.Selected(), 2);
        // No key move while the mouse holds a piece, nor while the goal shows.
        pad.MouseDown(mbLeft, ssLeft, 10, 130);
        QCOMPARE(game.Selected(), 5);
        QVERIFY(!game.MoveSelected(1, 0));
        pad.MouseUp(mbLeft, 0, 10, 130);
        game.ShowGoal(true);
        QVERIFY(!game.SelectNext(true));
        QVERIFY(!game.MoveSelected(1, 0));
        game.ShowGoal(false);
        QVERIFY(game.MoveSelected(1, 0));
        QCOMPARE(game.Status().Moves, 3);

        // A new game starts without a selection.
        told.clear();
        game.Load(QStringLiteral("keys.zrv"), false);
        QCOMPARE(game.Selected(), -1);
        QCOMPARE(told, QList<int>{-1});
    }

    void neverLeavesTheHistory()
    {
        int repeat = 0;
        QCOMPARE(UndoTarget(0, repeat, false), 0);
        QCOMPARE(repeat, 0);
        QCOMPARE(RedoTarget(4, 5, repeat, false), 4);
        QCOMPARE(RedoTarget(0, 1, repeat, false), 0);
        repeat = 50;
        QCOMPARE(RedoTarget(1, 3, repeat, false), 2);
        QCOMPARE(repeat, 0);
    }
};

QTEST_MAIN(TestZarvoGame)
#include "tst_zarvogame.moc"
