#include "DataRoot.h"
#include "IniFile.h"
#include "TopListLogic.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

// The best-ten list of a puzzle: reading, ordering, taking names, writing.
class TestTopListLogic : public QObject
{
    Q_OBJECT

    QTemporaryDir Root;

    QString PuzzlePath() const { return DataRoot::DataDir() + "test.zrv"; }

    // A puzzle file with the given [Solution] lines and some other content
    // that must survive every write.
    void WritePuzzle(const QStringList &solutionLines)
    {
        QString text = "; made by hand\r\n[Info]\r\nTitle=Prüfung\r\nRating=**\r\n[Solution]\r\n";
        for (const QString &line : solutionLines)
            text += line + "\r\n";
        text += "[Pad]\r\nUnitSize=40\r\n";
        QFile f(PuzzlePath());
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(EncodeWin1252(text));
    }

    QByteArray FileBytes() const
    {
        QFile f(PuzzlePath());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    QString Best(int i) const
    {
        return TIniFile(PuzzlePath()).ReadString("Solution", "Best" + QString::number(i), "<none>");
    }

    static std::function<bool()> Answer(bool yes, int *asked)
    {
        return [yes, asked] {
            ++*asked;
            return yes;
        };
    }

    // Loads the list with a new result and takes typed as the name.
    TTopList::TNameResult Enter(TTopList &list, int moves, int seconds, const QString &typed,
                                bool noOldPlayer = false, std::function<bool()> ask = {})
    {
        list.Load(PuzzlePath(), moves, seconds);
        list.SortAndRank();
        QString bestMoves;
        return list.TakeName(typed, noOldPlayer, ask, PuzzlePath(), bestMoves);
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(Root.isValid());
        DataRoot::UseRoot(Root.path());
        QDir().mkpath(DataRoot::DataDir());
    }

    void rowTexts()
    {
        QCOMPARE(FormatSeconds(83), QString("     1:23"));
        QCOMPARE(FormatSeconds(0), QString("     0:00"));
        QCOMPARE(FormatSeconds(3600 * 2 + 5), QString("   120:05"));
        QCOMPARE(TopListMovesText(1), QString("1 Züge"));
        const QString row = TopListRow("3", "Spieler", 67, 83);
        QCOMPARE(row, QString("3;Spieler;67 Züge;     1:23"));
        QCOMPARE(RowMoves(row), 67);
        QCOMPARE(RowSeconds(row), 83);
        QCOMPARE(RowName(row), QString("Spieler"));
        QCOMPARE(RowSeconds("1;x;5 Züge;  1:xx"), 60);
        QCOMPARE(RowMoves("1;x;; 0:10"), 0);
    }

    void loadingReadsEveryNumberAndDefaults()
    {
        WritePuzzle({"Best1=67,Spieler,83", "Best4=35,Minimum", "Best1000=5,Last,1",
                     "Best1001=1,Beyond,1", "Best7=x,Broken,y", "Best9=-3,Negative,-20"});
        TTopList list;
        list.Load(PuzzlePath(), 0, 0);
        QVERIFY(list.SortByMoves);
        QVERIFY(!list.NameAwaited);
        QCOMPARE(list.PendingIndex, -1);
        QCOMPARE(list.Rows,
                 QStringList({"0;Spieler;67 Züge;     1:23", "0;Minimum;35 Züge;     0:00",
                              "0;Broken;0 Züge;     0:00", "0;Negative;0 Züge;     0:00",
                              "0;Last;5 Züge;     0:01"}));
    }

    void noSolutionSectionGivesEmptyListWrittenAsSortedByMoves()
    {
        WritePuzzle({});
        TTopList list;
        list.Load(PuzzlePath(), 0, 0);
        list.SortAndRank();
        QVERIFY(list.Rows.isEmpty());
        QVERIFY(list.SortByMoves);
        list.WriteSort(PuzzlePath());
        QCOMPARE(TIniFile(PuzzlePath()).ReadString("Solution", "Sort", ""), QString("1"));
        QCOMPARE(TIniFile(PuzzlePath()).ReadString("Info", "Title", ""), QString("Prüfung"));
    }

    void orderingByMovesAndByTimeWithPlaces()
    {
        WritePuzzle({"Sort=0", "Best1=67,Anna,100", "Best2=67,Bert,90", "Best3=70,Cleo,50"});
        TTopList list;
        list.Load(PuzzlePath(), 0, 0);
        QVERIFY(!list.SortByMoves);
        list.SortAndRank();
        QCOMPARE(list.Rows, QStringList({"1;Cleo;70 Züge;     0:50", "2;Bert;67 Züge;     1:30",
                                         "3;Anna;67 Züge;     1:40"}));
        list.SortByMoves = true;
        list.SortAndRank();
        QCOMPARE(list.Rows, QStringList({"1;Bert;67 Züge;     1:30", "1;Anna;67 Züge;     1:40",
                                         "2;Cleo;70 Züge;     0:50"}));
        list.WriteSort(PuzzlePath());
        QCOMPARE(Best(1), QString("67,Anna,100")); // only Sort changes when looking
        QCOMPARE(TIniFile(PuzzlePath()).ReadString("Solution", "Sort", ""), QString("1"));
    }

    void equalNumbersOrderByNameCaseInsensitively()
    {
        WritePuzzle({"Best1=10,Bert,5", "Best2=10,anna,5", "Best3=10,carl,5", "Best4=9,zora,7"});
        TTopList list;
        list.Load(PuzzlePath(), 0, 0);
        list.SortAndRank();
        QCOMPARE(list.Rows, QStringList({"1;zora;9 Züge;     0:07", "2;anna;10 Züge;     0:05",
                                         "2;Bert;10 Züge;     0:05", "2;carl;10 Züge;     0:05"}));
    }

    void newResultStandsAboveAnEqualStoredOne()
    {
        WritePuzzle({"Best1=50,Zeno,40", "Best2=67,Anna,90", "Best3=67,1up,90"});
        TTopList list;
        list.Load(PuzzlePath(), 67, 90);
        QVERIFY(list.NameAwaited);
        list.SortAndRank();
        QCOMPARE(list.PendingIndex, 1);
        QCOMPARE(list.Rows[1], QString("2;;67 Züge;     1:30"));
        QCOMPARE(list.Rows[2], QString("2;1up;67 Züge;     1:30"));
        QCOMPARE(list.Rows[3], QString("2;Anna;67 Züge;     1:30"));

        QString bestMoves;
        QCOMPARE(list.TakeName("Otto", false, {}, PuzzlePath(), bestMoves), TTopList::NameStored);
        QCOMPARE(list.NamedIndex, 1);
        QCOMPARE(list.Rows[1], QString("2;Otto;67 Züge;     1:30"));
        QCOMPARE(bestMoves, QString("50"));
        QCOMPARE(Best(2), QString("67,Otto,90"));
        QCOMPARE(Best(3), QString("67,1up,90"));
        QCOMPARE(Best(4), QString("67,Anna,90"));
    }

    void gapsAreRenumberedAndStaleKeysDeleted()
    {
        WritePuzzle({"Best1=20,Anna,30", "Best4=10,Bert,60"});
        TTopList list;
        QCOMPARE(Enter(list, 15, 5, "Cleo"), TTopList::NameStored);
        QCOMPARE(Best(1), QString("10,Bert,60"));
        QCOMPARE(Best(2), QString("15,Cleo,5"));
        QCOMPARE(Best(3), QString("20,Anna,30"));
        QCOMPARE(Best(4), QString("<none>"));
        const TIniFile ini(PuzzlePath());
        QCOMPARE(ini.KeyNames("Solution"), QStringList({"Best1", "Best2", "Best3"}));
        // Everything outside the best list is kept.
        QCOMPARE(ini.ReadString("Info", "Title", ""), QString("Prüfung"));
        QCOMPARE(ini.ReadString("Pad", "UnitSize", ""), QString("40"));
        QVERIFY(FileBytes().startsWith("; made by hand\r\n"));
    }

    void placeholderAndBlankNamesStoreNothing()
    {
        WritePuzzle({"Best1=20,Anna,30"});
        const QByteArray before = FileBytes();
        TTopList list;
        QCOMPARE(Enter(list, 15, 5, "Name?"), TTopList::NameAgain);
        QVERIFY(list.NameAwaited);
        QCOMPARE(Enter(list, 15, 5, "   "), TTopList::NameDropped);
        QCOMPARE(Enter(list, 15, 5, ""), TTopList::NameDropped);
        // Only separators: nothing left to store.
        QCOMPARE(Enter(list, 15, 5, ";,;"), TTopList::NameDropped);
        QCOMPARE(FileBytes(), before);
    }

    void sameNameKeepsTheBetterResultWithoutAsking_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<int>("newMoves");
        QTest::addColumn<int>("newSeconds");
        QTest::addColumn<QString>("expected");
        QTest::newRow("stored better") << "60,Hans,100" << 70 << 30 << "60,Hans,100";
        QTest::newRow("new better") << "70,Hans,30" << 60 << 100 << "60,Hans,100";
        QTest::newRow("equal moves keep new time") << "60,Hans,10" << 60 << 99 << "60,Hans,99";
    }
    void sameNameKeepsTheBetterResultWithoutAsking()
    {
        QFETCH(QString, stored);
        QFETCH(int, newMoves);
        QFETCH(int, newSeconds);
        QFETCH(QString, expected);
        WritePuzzle({"Best1=" + stored, "Best2=80,Zora,1"});
        TTopList list;
        int asked = 0;
        QCOMPARE(Enter(list, newMoves, newSeconds, "Hans", false, Answer(true, &asked)),
                 TTopList::NameStored);
        QCOMPARE(asked, 0);
        QCOMPARE(list.Rows.size(), 2);
        QCOMPARE(Best(1), expected);
        QCOMPARE(Best(2), QString("80,Zora,1"));
        QCOMPARE(Best(3), QString("<none>"));
    }

    void sameNameWithNoOldPlayerAsks_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<int>("newMoves");
        QTest::newRow("worse replaces better") << "60,Hans,100" << 70;
        QTest::newRow("better replaces worse") << "70,Hans,100" << 60;
    }
    void sameNameWithNoOldPlayerAsks()
    {
        QFETCH(QString, stored);
        QFETCH(int, newMoves);
        WritePuzzle({"Best1=" + stored});
        const QByteArray before = FileBytes();

        TTopList list;
        int asked = 0;
        QCOMPARE(Enter(list, newMoves, 7, "Hans", true, Answer(false, &asked)),
                 TTopList::NameAgain);
        QCOMPARE(asked, 1);
        QVERIFY(list.NameAwaited);
        QCOMPARE(list.Rows.size(), 2); // nothing removed on "No"
        QCOMPARE(FileBytes(), before);

        // The same dialog, asked again: Yes replaces the stored result.
        QString bestMoves;
        QCOMPARE(list.TakeName("Hans", true, Answer(true, &asked), PuzzlePath(), bestMoves),
                 TTopList::NameStored);
        QCOMPARE(asked, 2);
        QCOMPARE(list.Rows, QStringList({TopListRow("1", "Hans", newMoves, 7)}));
        QCOMPARE(Best(1), QString::number(newMoves) + ",Hans,7");
        QCOMPARE(Best(2), QString("<none>"));
        QCOMPARE(bestMoves, QString::number(newMoves));
    }

    void namesDifferingInCaseOrBlanksAreOtherPlayers()
    {
        WritePuzzle({"Best1=50,Anna,10"});
        TTopList list;
        int asked = 0;
        QCOMPARE(Enter(list, 60, 20, "anna", true, Answer(true, &asked)), TTopList::NameStored);
        QCOMPARE(Enter(list, 40, 20, "  Anna ", true, Answer(true, &asked)), TTopList::NameStored);
        QCOMPARE(asked, 0);
        // Stored trimmed: "Anna" now finds the first of the two stored Annas
        // and keeps the better result.
        QCOMPARE(Best(1), QString("40,Anna,20"));
        QCOMPARE(Best(2), QString("50,Anna,10"));
        QCOMPARE(Best(3), QString("60,anna,20"));
        QCOMPARE(Enter(list, 45, 1, "Anna", false), TTopList::NameStored);
        QCOMPARE(Best(1), QString("40,Anna,20"));
        QCOMPARE(Best(2), QString("50,Anna,10"));
        QCOMPARE(Best(3), QString("60,anna,20"));
        QCOMPARE(Best(4), QString("<none>"));
    }

    void commasAndSemicolonsNeverReachTheFile()
    {
        WritePuzzle({"Best1=50,Anna,10"});
        TTopList list;
        QCOMPARE(Enter(list, 60, 75, "Hans, der;Große"), TTopList::NameStored);
        QCOMPARE(Best(2), QString("60,Hans derGroße,75"));
        list.Load(PuzzlePath(), 0, 0);
        QCOMPARE(RowSeconds(list.Rows[1]), 75);
        QCOMPARE(TIniFile(PuzzlePath()).ReadString("Info", "Title", ""), QString("Prüfung"));
    }

    void longNamesKeepTheirResult()
    {
        // Typed: cut to the cap.
        WritePuzzle({});
        TTopList list;
        QCOMPARE(Enter(list, 12, 3599, QString(300, 'x')), TTopList::NameStored);
        QCOMPARE(Best(1), "12," + QString(MaxPlayerNameLength, 'x') + ",3599");

        // Hand-edited: the name gives way, the moves and time survive ordering.
        WritePuzzle({"Best1=9," + QString(300, 'y') + ",61", "Best2=10,Bob,5"});
        list.Load(PuzzlePath(), 0, 0);
        list.SortAndRank();
        QCOMPARE(list.Rows.size(), 2);
        QCOMPARE(RowMoves(list.Rows[0]), 9);
        QCOMPARE(RowSeconds(list.Rows[0]), 61);
        QVERIFY(list.Rows[0].size() <= 202);
        QCOMPARE(RowName(list.Rows[1]), QString("Bob"));
    }

    void bestMovesFollowsTheShownOrder()
    {
        WritePuzzle({"Sort=0", "Best1=30,Slow,500", "Best2=90,Fast,20"});
        TTopList list;
        list.Load(PuzzlePath(), 60, 100);
        list.SortAndRank();
        QString bestMoves;
        QCOMPARE(list.TakeName("Mid", false, {}, PuzzlePath(), bestMoves), TTopList::NameStored);
        QCOMPARE(bestMoves, QString("90"));
        QCOMPARE(Best(1), QString("90,Fast,20"));
        QCOMPARE(Best(2), QString("60,Mid,100"));
        QCOMPARE(Best(3), QString("30,Slow,500"));
    }

    void anUnnamedStoredEntryIsNotThePendingRow()
    {
        WritePuzzle({"Best1=5", "Best2=40,,9"});
        TTopList list;
        QCOMPARE(Enter(list, 20, 1, "Neu"), TTopList::NameStored);
        QCOMPARE(Best(1), QString("5,,0"));
        QCOMPARE(Best(2), QString("20,Neu,1"));
        QCOMPARE(Best(3), QString("40,,9"));
    }

    void fullListDropsItsLastEntry()
    {
        QStringList lines;
        for (int i = 1; i <= MaxTopListEntries; ++i)
            lines << QString("Best%1=%2,P%1,0").arg(i).arg(100 + i);
        WritePuzzle(lines);
        TTopList list;
        QCOMPARE(Enter(list, 1, 1, "Erster"), TTopList::NameStored);
        QCOMPARE(Best(1), QString("1,Erster,1"));
        QCOMPARE(Best(1000), QString("1099,P999,0"));
        QCOMPARE(Best(1001), QString("<none>"));
        list.Load(PuzzlePath(), 0, 0);
        QCOMPARE(list.Rows.size(), MaxTopListEntries);
    }
};

QTEST_GUILESS_MAIN(TestTopListLogic)
#include "tst_toplistlogic.moc"
