#include "CliRun.h"
#include "TestFolder.h"

#include <QRandomGenerator>
#include <QTest>

// Games played through zarvos-cli play, the way a puzzle author scripts
// them: mouse input on board pixels, menu steps, and what the window does
// after each of them.
class TestCliPlay : public QObject
{
    Q_OBJECT

    struct TResult
    {
        int Rc = -1;
        QStringList Out;
        QString Err;
    };

    TTestFolder FRoot;

    TResult Play(const QStringList &options, const QByteArray &script,
                 const QStringList &global = {})
    {
        const TCliRun run =
            RunCli(FRoot.Dir.path(), global + QStringList{"play"} + options, script);
        return {run.Rc, run.Out.split('\n', Qt::SkipEmptyParts), run.Err};
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(FRoot.Dir.isValid());
        FRoot.Write("ZarvoTyp.ini", "[Zarvo11]\r\nCount=1\r\nZarvo1=0,0,1,1,1111\r\n");
        // Three pieces in the top row of a 4 x 5 field of 40-pixel cells that
        // fills the board; the goal wants A one row down.
        FRoot.Write("Data/row.zrv", "[Pad]\r\nBackSize=4,5\r\n[Start]\r\nCount=3\r\n"
                                    "Zarvo1=Zarvo11,A,0,0,0,0,1\r\n"
                                    "Zarvo2=Zarvo11,B,1,0,1,0,1\r\n"
                                    "Zarvo3=Zarvo11,C,2,0,2,0,1\r\n"
                                    "[Object]\r\nCount=1\r\nZarvo1=Zarvo11,A,0,1,0,0,1\r\n");
        FRoot.Write("Data/bad.zrv", "[Start]\r\nCount=1\r\nZarvo1=Domino,A,0,0,0,0,1\r\n");
        FRoot.Write("Data/mixed.zrv",
                    "[Pad]\r\nBackSize=4,5\r\nAllwaysRandom=1\r\n[Start]\r\nCount=8\r\n"
                    "Zarvo1=Zarvo11,1,0,0,0,0,1\r\nZarvo2=Zarvo11,2,1,0,1,0,1\r\n"
                    "Zarvo3=Zarvo11,3,2,0,2,0,1\r\nZarvo4=Zarvo11,4,3,0,3,0,1\r\n"
                    "Zarvo5=Zarvo11,5,0,1,0,1,1\r\nZarvo6=Zarvo11,6,1,1,1,1,1\r\n"
                    "Zarvo7=Zarvo11,7,2,1,2,1,1\r\nZarvo8=Zarvo11,8,3,1,3,1,1\r\n");
    }

    void dragPushesAndCounts()
    {
        const TResult r = Play({"row.zrv"}, "print\n"
                                            "down 20 20\nmove 60 20\nup 60 20\n"
                                            "\n"
                                            "print\nhistory\n");
        QCOMPARE(r.Rc, 0);
        QCOMPARE(r.Out, (QStringList{"moves 0 entries 1 solved 0", "0,0 40,0 80,0",
                                     "moves 1 entries 2 solved 0", "40,0 80,0 120,0",
                                     "0;0;1;0;2;0;", "1;0;2;0;3;0;"}));
        QVERIFY(!r.Err.contains("unknown command"));
    }

    void keysMoveTheSelectedPiece()
    {
        // Tab twice selects B; right pushes C, down twice more is the same
        // move; Shift+Tab goes back to A, which cannot go up.
        const TResult r = Play({"row.zrv"}, "key tab\nkey tab\nkey right\nkey down\nkey down\n"
                                            "key backtab\nkey up\nprint\nkey sideways\n");
        QCOMPARE(r.Rc, 2);
        QCOMPARE(r.Out, (QStringList{"moves 1 entries 2 solved 0", "0,0 80,80 120,0"}));
        QVERIFY(r.Err.contains("unknown command: key sideways"));
    }

    void gridSnapsAfterRelease()
    {
        const QByteArray script = "down 20 20\nmove 20 45\nup 20 45\nprint\n";
        const TResult loose = Play({"row.zrv"}, script);
        QCOMPARE(loose.Out, (QStringList{"moves 1 entries 2 solved 1", "0,25 40,0 80,0"}));
        const TResult snapped = Play({"--grid", "row.zrv"}, script);
        QCOMPARE(snapped.Out, (QStringList{"moves 1 entries 2 solved 1", "0,40 40,0 80,0"}));
        // Less than half a cell: nothing is recorded and the piece goes back.
        const TResult back =
            Play({"--grid", "row.zrv"}, "down 20 20\nmove 20 35\nup 20 35\nprint\n");
        QCOMPARE(back.Out, (QStringList{"moves 0 entries 1 solved 0", "0,0 40,0 80,0"}));
    }

    void undoKeepsTheStartPosition()
    {
        // A down a row, undo, and A again: a new move after the start, not a
        // replacement of the start position.
        const TResult r = Play({"row.zrv"}, "down 20 20\nmove 20 60\nup 20 60\n"
                                            "undo\nprint\n"
                                            "down 20 20\nmove 20 100\nup 20 100\n"
                                            "print\nhistory\n");
        QCOMPARE(r.Rc, 0);
        QCOMPARE(r.Out, (QStringList{"moves 0 entries 2 solved 0", "0,0 40,0 80,0",
                                     "moves 1 entries 2 solved 0", "0,80 40,0 80,0", "0;0;1;0;2;0;",
                                     "0;2;1;0;2;0;"}));
    }

    void undoRedoRestartWalkTheHistory()
    {
        const TResult r =
            Play({"--grid", "row.zrv"},
                 "undo\nredo\nprint\n"                     // nothing to walk yet
                 "down 20 20\nmove 20 100\nup 20 100\n"    // move 1: A two rows down
                 "down 60 20\nmove 60 100\nup 60 100\n"    // move 2: B two rows down
                 "down 100 20\nmove 100 140\nup 100 140\n" // move 3: C three rows down
                 "undo\nundo\nprint\n"
                 "redo\nprint\n"
                 "restart\nprint\nrestart\nprint\n"
                 "redo\nredo\nredo\nredo\nprint\n"
                 "down 20 100\nmove 20 60\nup 20 60\n" // move 4: A up into the goal
                 "restart\nprint\n");
        QCOMPARE(r.Rc, 0);
        // Once the goal was reached, restart starts the puzzle afresh from
        // its file, as the window's "Neustart" does.
        QCOMPARE(r.Out, (QStringList{"moves 0 entries 1 solved 0", "0,0 40,0 80,0",
                                     "moves 1 entries 4 solved 0", "0,80 40,0 80,0",
                                     "moves 2 entries 4 solved 0", "0,80 40,80 80,0",
                                     "moves 0 entries 4 solved 0", "0,0 40,0 80,0",
                                     "moves 0 entries 4 solved 0", "0,0 40,0 80,0",
                                     "moves 3 entries 4 solved 0", "0,80 40,80 80,120",
                                     "moves 0 entries 1 solved 0", "0,0 40,0 80,0"}));
    }

    void goalShownBlocksHistoryAndGoalTest()
    {
        // While the goal is shown the board takes no press either: the goal
        // piece stays, nothing is recorded, and the saved game reloads alike.
        const TResult r = Play({"row.zrv"}, "down 20 20\nmove 20 60\nup 20 60\n"
                                            "goal on\nprint\nundo\nrestart\n"
                                            "down 20 60\nmove 100 60\nup 100 60\nprint\n"
                                            "goal off\nprint\nsave goal.zrh\n");
        QCOMPARE(r.Rc, 0);
        QCOMPARE(r.Out,
                 (QStringList{"moves 1 entries 2 solved 0", "0,40", "moves 1 entries 2 solved 0",
                              "0,40", "moves 1 entries 2 solved 1", "0,40 40,0 80,0"}));
        const TResult again = Play({"--state", "goal.zrh"}, "print\n");
        QCOMPARE(again.Out, r.Out.mid(4));
    }

    void randomPlayWithPushesReloadsAlike()
    {
        // Whole-cell drags keep every piece on the grid, so the board as
        // played and the board reloaded from its saved game must agree in
        // positions, counter and history; now and then the goal is shown
        // and a drag is tried meanwhile.
        QRandomGenerator rng(11);
        QByteArray script;
        for (int i = 0; i < 120; ++i) {
            const int x = int(rng.bounded(4)) * 40 + 20, y = int(rng.bounded(5)) * 40 + 20;
            const int d = (rng.bounded(2) ? 40 : -40) * (1 + int(rng.bounded(3)));
            const bool across = rng.bounded(2);
            const QByteArray drag = QStringLiteral("down %1 %2\nmove %3 %4\nup %3 %4\n")
                                        .arg(x)
                                        .arg(y)
                                        .arg(across ? x + d : x)
                                        .arg(across ? y : y + d)
                                        .toLatin1();
            const int dice = int(rng.bounded(10));
            script += dice == 0   ? "undo\n" + drag
                      : dice == 1 ? "goal on\n" + drag + "goal off\n"
                                  : drag;
        }
        script += "print\nhistory\nsave random.zrh\n";
        const TResult played = Play({"mixed.zrv"}, script, {"--seed", "5"});
        QCOMPARE(played.Rc, 0);
        QVERIFY(played.Out.size() > 4); // print, and a history of some length
        const TResult again = Play({"--state", "random.zrh"}, "print\nhistory\n");
        QCOMPARE(again.Out, played.Out);
    }

    void savedStateContinues()
    {
        const TResult saved = Play({"row.zrv"}, "down 60 20\nmove 60 100\nup 60 100\n"
                                                "down 20 20\nmove 40 20\nup 40 20\n"
                                                "undo\nsave Spiel.zrh\n");
        QCOMPARE(saved.Rc, 0);
        QVERIFY(QFile::exists(FRoot.Path("Hist/Spiel.zrh")));
        const TResult again = Play({"--state", "Spiel.zrh"}, "print\nredo\nprint\n");
        QCOMPARE(again.Rc, 0);
        QCOMPARE(again.Out, (QStringList{"moves 1 entries 3 solved 0", "0,0 40,80 80,0",
                                         "moves 2 entries 3 solved 0", "40,0 40,80 80,0"}));
    }

    void seedMakesShuffleRepeatable()
    {
        const auto positions = [this](const QString &seed) {
            const TResult r = Play({"mixed.zrv"}, "print\n", {"--seed", seed});
            return r.Rc == 0 && r.Out.size() == 2 ? r.Out.at(1) : QString("failed");
        };
        const QString a = positions("17");
        QCOMPARE(positions("17"), a);
        QStringList cells = a.split(' ');
        std::sort(cells.begin(), cells.end());
        QCOMPARE(cells,
                 (QStringList{"0,0", "0,40", "120,0", "120,40", "40,0", "40,40", "80,0", "80,40"}));
        QVERIFY(positions("18") != a || positions("19") != a);
    }

    void ctrlDoubleClickSavesBoardPicture()
    {
        const QString bmp = FRoot.Path("Data/row.bmp");
        QFile::remove(bmp);
        Play({"row.zrv"}, "down 20 20 ctrl dbl\nup 20 20\n");
        QVERIFY(!QFile::exists(bmp));
        const TResult r = Play({"row.zrv"}, "down 150 190 left ctrl dbl\nup 150 190\nprint\n");
        QCOMPARE(r.Rc, 0);
        QVERIFY(QFile::exists(bmp));
        QCOMPARE(r.Out.first(), QString("moves 0 entries 1 solved 0"));
    }

    void solverHelpHintsAndDemonstrates()
    {
        // B out of A's way is not needed: A one row down is the whole way.
        const TResult r = Play({"row.zrv"}, "needed\nhint\nprint\n"
                                            "down 60 20\nmove 60 60\nup 60 60\n"
                                            "demo\nprint\nneeded\nsave helped.zrh\n");
        QCOMPARE(r.Rc, 0);
        QCOMPARE(r.Out, (QStringList{"needed minimum 1", "hint minimum 1 piece 0 path 0,1",
                                     "moves 0 entries 1 solved 0", "0,0 40,0 80,0",
                                     "demo minimum 1 played 1", "moves 2 entries 3 solved 1",
                                     "0,40 40,40 80,0", "needed minimum 0"}));
        // The game keeps its help through the saved state: a result of 0
        // moves entered, which no count beats.
        QFile saved(FRoot.Path("Hist/helped.zrh"));
        QVERIFY(saved.open(QIODevice::ReadOnly));
        QCOMPARE(saved.readAll().split('\n').value(1), QByteArray("2;1;0\r"));

        // A damaged position is an error of the command, in German.
        FRoot.Write("Hist/broken.zrh", "row.zrv\r\n0;;0\r\n0;0;0;0;2;0;\r\n");
        const TResult broken = Play({"--state", "broken.zrh"}, "print\nhint\nprint\n");
        QCOMPARE(broken.Rc, 1);
        QCOMPARE(broken.Out.size(), 2);
        QVERIFY(broken.Err.contains("beschädigt"));
    }

    void otherButtonsDoNotDrag()
    {
        const TResult r = Play({"row.zrv"}, "down 20 20 right\nmove 20 100 none\n"
                                            "up 20 100\nprint\n");
        QCOMPARE(r.Out, (QStringList{"moves 0 entries 1 solved 0", "0,0 40,0 80,0"}));
    }

    void badInputEndsWithStatus()
    {
        TResult r = Play({"row.zrv"}, "print\njump 3 4\nprint\n");
        QCOMPARE(r.Rc, 2);
        QCOMPARE(r.Out.size(), 2); // the commands before it ran
        QVERIFY(r.Err.contains("jump 3 4"));
        for (const char *bad :
             {"down x 4\n", "move 1 2 sideways\n", "goal maybe\n", "undo 2\n", "up 1\n"})
            QCOMPARE(Play({"row.zrv"}, bad).Rc, 2);

        r = Play({"bad.zrv"}, "print\n");
        QCOMPARE(r.Rc, 1);
        QVERIFY(r.Err.contains("Fehler beim Laden der Zarvo-Datei | "));
        QVERIFY(r.Out.isEmpty());

        QCOMPARE(Play({}, "").Rc, 2);
        QCOMPARE(Play({"row.zrv", "other.zrv"}, "").Rc, 2);
    }
};

QTEST_GUILESS_MAIN(TestCliPlay)
#include "tst_cliplay.moc"
