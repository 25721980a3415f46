#include "CliRun.h"
#include "TestFolder.h"

#include <QRegularExpression>
#include <QTest>

// zarvos-cli solve as a puzzle author uses it: the first line names what the
// search found, the script it prints plays the solution through zarvos-cli
// play, and the exit status tells a bad puzzle from bad usage.
class TestCliSolve : public QObject
{
    Q_OBJECT

    TTestFolder FRoot;

    void Write(const QString &rel, const QByteArray &bytes) { FRoot.Write(rel, bytes); }

    // zarvos-cli's output as lines.
    struct TResult : TCliRun
    {
        QStringList Lines;
    };

    TResult Run(const QStringList &args, const QByteArray &input = {})
    {
        TResult r{RunCli(FRoot.Dir.path(), args, input), {}};
        r.Lines = r.Out.split('\n', Qt::SkipEmptyParts);
        return r;
    }

    // Solves with a script, plays the script and returns play's last report.
    QString SolveAndPlay(const QStringList &global, const QStringList &options, const QString &name,
                         QString &first)
    {
        const TResult solved =
            Run(global + QStringList{"solve", "--script"} + options + QStringList{name});
        if (solved.Rc != 0 || solved.Lines.isEmpty())
            return QStringLiteral("solve failed: ") + solved.Err;
        first = solved.Lines.first();
        const QByteArray script = (solved.Lines.mid(1).join('\n') + "\nprint\n").toUtf8();
        for (const QString &line : solved.Lines.mid(1))
            if (!QRegularExpression("^(down|move|up) \\d+ \\d+$").match(line).hasMatch())
                return QStringLiteral("not a play command: ") + line;
        const QStringList state =
            options.contains("--state") ? QStringList{"--state"} : QStringList{};
        const TResult played =
            Run(global + QStringList{"play"} + state + QStringList{name}, script);
        return played.Rc == 0 && played.Lines.size() >= 1 ? played.Lines.first() : played.Err;
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(FRoot.Dir.isValid());
        Write("ZarvoTyp.ini", "[Zarvo11]\r\nCount=1\r\nZarvo1=0,0,1,1,1111\r\n"
                              "[Zarvo12]\r\nCount=1\r\nZarvo1=0,0,1,2,1111\r\n"
                              "[Zarvo21]\r\nCount=1\r\nZarvo1=0,0,2,1,1111\r\n");
        // Four moves when chains of pieces are pushed (five pushing one piece
        // at a time, six without pushing).
        Write("Data/push.zrv", "[Pad]\r\nBackSize=4,3\r\nFrameSize=4,3\r\n[Start]\r\nCount=6\r\n"
                               "Zarvo1=Zarvo11,A,2,2,2,2,1\r\nZarvo2=Zarvo12,,0,1,0,1,1\r\n"
                               "Zarvo3=Zarvo12,,3,0,3,0,1\r\nZarvo4=Zarvo11,,2,1,2,1,1\r\n"
                               "Zarvo5=Zarvo21,,1,0,1,0,1\r\nZarvo6=Zarvo11,,0,0,0,0,1\r\n"
                               "[Object]\r\nCount=1\r\nZarvo1=Zarvo11,A,0,0,0,0,1\r\n");
        // Three numbered tiles on four cells in an order sliding cannot mend.
        Write("Data/stuck.zrv", "[Pad]\r\nBackSize=2,2\r\nFrameSize=2,2\r\n[Start]\r\nCount=3\r\n"
                                "Zarvo1=Zarvo11,1,1,0,0,0,1\r\nZarvo2=Zarvo11,2,0,0,1,0,1\r\n"
                                "Zarvo3=Zarvo11,3,0,1,0,1,1\r\n[Object]\r\nCount=3\r\n"
                                "Zarvo1=Zarvo11,1,0,0,0,0,1\r\nZarvo2=Zarvo11,2,1,0,1,0,1\r\n"
                                "Zarvo3=Zarvo11,3,0,1,0,1,1\r\n");
        // Fifteen numbered tiles shuffled at every start.
        QByteArray tiles = "[Pad]\r\nBackSize=4,4\r\nFrameSize=4,4\r\nAllwaysRandom=1\r\n"
                           "[Start]\r\nCount=15\r\n";
        QByteArray goal = "[Object]\r\nCount=15\r\n";
        for (int i = 0; i < 15; ++i) {
            const QByteArray entry = QStringLiteral("Zarvo%1=Zarvo11,%1,%2,%3,%2,%3,1\r\n")
                                         .arg(i + 1)
                                         .arg(i % 4)
                                         .arg(i / 4)
                                         .toUtf8();
            tiles += entry;
            goal += entry;
        }
        Write("Data/tiles.zrv", tiles + goal);
        Write("Data/bad.zrv", "[Start]\r\nCount=1\r\nZarvo1=Domino,A,0,0,0,0,1\r\n");
    }

    void firstLineNamesTheOutcome()
    {
        TResult r = Run({"solve", "push.zrv"});
        QCOMPARE(r.Rc, 0);
        QCOMPARE(r.Lines.size(), 1);
        QVERIFY2(QRegularExpression("^minimum 4 positions [1-9]\\d*$").match(r.Lines[0]).hasMatch(),
                 qPrintable(r.Lines[0]));
        // The twelve positions of three tiles on four cells, none of them the goal.
        r = Run({"solve", "stuck.zrv"});
        QCOMPARE(r.Lines, QStringList{"unsolvable positions 12"});
        QCOMPARE(r.Rc, 0);
        r = Run({"solve", "--max-positions", "2", "push.zrv"});
        QCOMPARE(r.Rc, 0);
        QVERIFY2(QRegularExpression("^limit positions \\d+$").match(r.Lines.value(0)).hasMatch(),
                 qPrintable(r.Lines.value(0)));
        // A puzzle file that does not exist is a load error, not an empty
        // puzzle reported as unsolvable.
        r = Run({"solve", "missing.zrv"});
        QVERIFY(r.Lines.isEmpty());
        QCOMPARE(r.Rc, 1);
    }

    void scriptPlaysTheSolution()
    {
        QString first;
        QCOMPARE(SolveAndPlay({}, {}, "push.zrv", first), QString("moves 4 entries 5 solved 1"));
        QVERIFY(first.startsWith("minimum 4 "));
        // A shuffled start is the same for solve and play with the same seed;
        // a small budget leaves a solution that is not proven shortest.
        const QString end =
            SolveAndPlay({"--seed", "11"}, {"--max-positions", "3000"}, "tiles.zrv", first);
        const auto m = QRegularExpression("^solution (\\d+) positions \\d+$").match(first);
        QVERIFY2(m.hasMatch(), qPrintable(first));
        QCOMPARE(end, QString("moves %1 entries %2 solved 1")
                          .arg(m.captured(1))
                          .arg(m.captured(1).toInt() + 1));
    }

    void savedGameIsSolvedFromItsPosition()
    {
        // After the first move of a shortest solution the way is one move shorter.
        const TResult solved = Run({"solve", "--script", "push.zrv"});
        QStringList firstMove;
        for (const QString &line : solved.Lines.mid(1)) {
            firstMove << line;
            if (line.startsWith("up "))
                break;
        }
        const TResult saved =
            Run({"play", "push.zrv"}, (firstMove.join('\n') + "\nsave Spiel.zrh\n").toUtf8());
        QCOMPARE(saved.Rc, 0);
        QString first;
        QCOMPARE(SolveAndPlay({}, {"--state"}, "Spiel.zrh", first),
                 QString("moves 4 entries 5 solved 1"));
        QVERIFY2(first.startsWith("minimum 3 "), qPrintable(first));
        // Cells that overlap are a damaged game, not a minimum.
        Write("Hist/Kaputt.zrh", "push.zrv\r\n0;;0\r\n0;0;0;1;3;0;0;0;1;0;0;0;\r\n");
        const TResult damaged = Run({"solve", "--state", "Kaputt.zrh"});
        QCOMPARE(damaged.Rc, 1);
        QVERIFY2(damaged.Err.contains("beschädigt"), qPrintable(damaged.Err));
        QVERIFY(damaged.Lines.isEmpty());
    }

    void exitStatusForBadInput()
    {
        TResult r = Run({"solve", "bad.zrv"});
        QCOMPARE(r.Rc, 1);
        QVERIFY(r.Err.contains("Fehler beim Laden der Zarvo-Datei | "));
        QVERIFY(r.Lines.isEmpty());
        for (const QStringList &args :
             {QStringList{"solve"}, QStringList{"solve", "a.zrv", "b.zrv"},
              QStringList{"solve", "--fast", "push.zrv"},
              QStringList{"solve", "--max-positions", "many", "push.zrv"},
              QStringList{"solve", "--max-positions", "0", "push.zrv"},
              QStringList{"solve", "push.zrv", "--max-positions"}}) {
            r = Run(args);
            QCOMPARE(r.Rc, 2);
            QVERIFY(r.Err.contains("usage: zarvos-cli"));
        }
    }
};

QTEST_MAIN(TestCliSolve)
#include "tst_clisolve.moc"
