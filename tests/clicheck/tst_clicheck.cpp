#include "CliRun.h"
#include "TestFolder.h"

#include <QTest>

// The author's check of a folder of puzzles: one line per puzzle, the load
// error on one line, and an exit status that scripts can test.
class TestCliCheck : public QObject
{
    Q_OBJECT

    TTestFolder FRoot;

    // Runs zarvos-cli --root <root> check args; returns exit status, fills out.
    int Check(const QStringList &args, QString &out)
    {
        const TCliRun r = RunCli(FRoot.Dir.path(), QStringList{"check"} + args);
        out = r.Out;
        return r.Rc;
    }

private Q_SLOTS:
    void initTestCase()
    {
        FRoot.Write("ZarvoTyp.ini",
                    "[Zarvo11]\r\nCount=1\r\nZarvo1=0,0,1,1,1111\r\n"
                    "[Ell]\r\nCount=2\r\nZarvo1=0,0,1,1,1011\r\nZarvo2=0,1,1,1,0111\r\n");
        FRoot.Write("Data/good.zrv", "[Pad]\r\nBackSize=4,5\r\n[Start]\r\nCount=2\r\n"
                                     "Zarvo1=Zarvo11,A,0,0,0,0,1\r\nZarvo2=ell,B,1,0,1,0,1\r\n"
                                     "[Object]\r\nCount=1\r\nZarvo1=Zarvo11,A,3,4,0,0,1\r\n");
        FRoot.Write("Data/Bad.zrv", "[Start]\r\nCount=1\r\nZarvo1=Zarvo11,A,x,0,0,0,1\r\n");
        FRoot.Write("Data/notes.txt", "not a puzzle");
    }

    void goodPuzzleCountsPiecesAndGoals()
    {
        QString out;
        QCOMPARE(Check({"good.zrv"}, out), 0);
        QCOMPARE(out, QString("good.zrv: ok pieces 3 goal 1\n"));
    }

    void failureOnOneLine()
    {
        QString out;
        QCOMPARE(Check({"good.zrv", "Bad.zrv"}, out), 1);
        QCOMPARE(out, QString::fromUtf8("good.zrv: ok pieces 3 goal 1\n"
                                        "Bad.zrv: Fehler beim Laden der Zarvo-Datei | [Start] "
                                        "Zarvo1: 'x' ist kein gültiger Integerwert\n"));
    }

    void withoutNamesEveryPuzzleOfTheDataFolder()
    {
        QString out;
        QCOMPARE(Check({}, out), 1);
        const QStringList lines = out.split('\n', Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 2);
        QVERIFY(lines[0].startsWith("Bad.zrv: Fehler beim Laden"));
        QCOMPARE(lines[1], QString("good.zrv: ok pieces 3 goal 1"));
    }

    // The game loads a name without a file as the empty puzzle; a check
    // that said "ok" would hide a typing error (a name without ".zrv").
    void missingPuzzleIsAnError()
    {
        QString out;
        QCOMPARE(Check({"good", "C:\\Zarvos\\Data\\good.zrv"}, out), 1);
        const QStringList lines = out.split('\n', Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 2);
        QVERIFY2(
            lines[0].startsWith(QString::fromUtf8("good: Fehler beim Laden der Zarvo-Datei | "
                                                  "Das Puzzle \u201Egood\u201C gibt es nicht")),
            qPrintable(lines[0]));
        QCOMPARE(lines[1], QString("C:\\Zarvos\\Data\\good.zrv: ok pieces 3 goal 1"));
    }
};

QTEST_GUILESS_MAIN(TestCliCheck)
#include "tst_clicheck.moc"
