#include "DataRoot.h"
#include "IniFile.h"
#include "PuzzleList.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

// The rows and players of the puzzle selection and the preview cache rules.
class TestPuzzleList : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> Root;

    static QString Dir() { return DataRoot::DataDir(); }

    static void WriteFile(const QString &name, const QString &text)
    {
        QFile f(Dir() + name);
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(EncodeWin1252(text));
    }

    // A puzzle with optional rating and title (a null text leaves the key out).
    static void WritePuzzle(const QString &name, const QString &rating, const QString &title,
                            const QStringList &bests = {})
    {
        QString text = "[Info]\r\n";
        if (!rating.isNull())
            text += "Rating=" + rating + "\r\n";
        if (!title.isNull())
            text += "Title=" + title + "\r\n";
        text += "[Solution]\r\n";
        for (int i = 0; i < bests.size(); ++i) {
            if (!bests[i].isEmpty())
                text += QString("Best%1=%2\r\n").arg(i + 1).arg(bests[i]);
        }
        WriteFile(name, text);
    }

    static QStringList Texts(const TPuzzleList &list)
    {
        QStringList texts;
        for (const TPuzzleRow &row : list.Rows)
            texts << row.Text;
        return texts;
    }

    static void SetModified(const QString &path, const QDateTime &when)
    {
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadWrite));
        QVERIFY(f.setFileTime(when, QFileDevice::FileModificationTime));
    }

    static QImage Filled(QSize size, QColor colour)
    {
        QImage image(size, QImage::Format_RGB32);
        image.fill(colour);
        return image;
    }

private Q_SLOTS:
    void init()
    {
        Root = std::make_unique<QTemporaryDir>();
        QVERIFY(Root->isValid());
        DataRoot::UseRoot(Root->path());
        QVERIFY(QDir().mkpath(Dir()));
    }

    void capitalize()
    {
        QCOMPARE(Capitalize("hANS"), QString("Hans"));
        QCOMPARE(Capitalize("über"), QString("Über"));
        QCOMPARE(Capitalize(""), QString(""));
        QCOMPARE(Capitalize(QString(300, 'a')).size(), 256);
    }

    void emptyFolderGivesEmptyLists()
    {
        const TPuzzleList list = BuildPuzzleList(Dir(), "hans");
        QVERIFY(list.Rows.empty());
        QVERIFY(list.Players.isEmpty());
        QCOMPARE(list.Player, QString("Hans"));
        QVERIFY(BuildPuzzleList(Dir() + "missing/", "").Rows.empty());
    }

    void rowsArePaddedAndSorted()
    {
        WritePuzzle("b.zrv", "**", "Zebra", {"12,Minimum", "15,anna,30"});
        WritePuzzle("a.zrv", "*", "Yak", {"7,Minimum"});
        WritePuzzle("c.zrv", "**", "Affe", {});
        WritePuzzle("d.zrv", "********************", "Lang");
        WritePuzzle("e.zrv", "**  ", "Bär");
        const TPuzzleList list = BuildPuzzleList(Dir(), "ANNA");
        QCOMPARE(list.Player, QString("Anna"));
        QCOMPARE(Texts(list),
                 QStringList({"*               ;Yak;7 Züge;;a.zrv", "**              ;Affe;;;c.zrv",
                              "**              ;Bär;;;e.zrv",
                              "**              ;Zebra;12 Züge;15 Züge;b.zrv",
                              "****************;Lang;;;d.zrv"}));
        QCOMPARE(list.Rows[3].FileName, QString("b.zrv"));
        QCOMPARE(list.Players, QStringList({"Anna"}));
    }

    void puzzlesWithoutRatingOrTitleAreLeftOut()
    {
        WritePuzzle("norating.zrv", QString(), "Titel", {"5,Otto,1"});
        WritePuzzle("notitle.zrv", "*", QString(), {"5,Paula,1"});
        WritePuzzle("sentinel.zrv", "*", QString("Ti") + QChar(0xFF) + "tel");
        WritePuzzle("emptytitle.zrv", "*", "");
        WritePuzzle("ok.zrv", "*", "Gut");
        WriteFile("other.ini", "[Info]\r\nRating=*\r\nTitle=Nein\r\n");
        QDir().mkpath(Dir() + "folder.zrv");
        // One that cannot be read keeps no other puzzle from the list.
        WriteFile("overlong.zrv", "[Info]\r\nRating=*\r\nTitle=" + QString(2 << 20, 'x'));
        const TPuzzleList list = BuildPuzzleList(Dir(), "");
        QCOMPARE(Texts(list), QStringList({"*               ;;;;emptytitle.zrv",
                                           "*               ;Gut;;;ok.zrv"}));
        QCOMPARE(list.Players, QStringList({"Otto", "Paula"}));
        QCOMPARE(list.Player, QString());

        // Nothing changed: the same list, and the record is left as it is.
        const QDateTime aged = QDateTime::currentDateTime().addSecs(-3600);
        SetModified(PuzzleIndexFile(Dir()), aged);
        const TPuzzleList again = BuildPuzzleList(Dir(), "");
        QCOMPARE(Texts(again), Texts(list));
        QCOMPARE(again.Players, list.Players);
        QCOMPARE(QFileInfo(PuzzleIndexFile(Dir())).lastModified(), aged);
    }

    void playersAreCapitalisedDistinctAndWithoutMinimum()
    {
        WritePuzzle("a.zrv", "*", "A", {"3,Minimum", "4,anna,1", "5,ANNA,1", "6,bernd,1"});
        WritePuzzle("b.zrv", "*", "B", {"9,Anna,1", "", "", "", "", "", "", "", "", "", "1,Zed,1"});
        const TPuzzleList list = BuildPuzzleList(Dir(), "");
        // Best11 is not part of the scan.
        QCOMPARE(list.Players, QStringList({"Anna", "Bernd"}));
    }

    void playerColumnShowsTheTopmostEntry()
    {
        WritePuzzle("a.zrv", "*", "A", {"3,Minimum", "", "20,hans,5", "", "", "", "30,Hans,1"});
        WritePuzzle("b.zrv", "*", "B", {"8,Minimum", "9,Other,1"});
        TPuzzleList list = BuildPuzzleList(Dir(), "hans");
        QCOMPARE(Texts(list), QStringList({"*               ;A;3 Züge;20 Züge;a.zrv",
                                           "*               ;B;8 Züge;;b.zrv"}));
        // The author's reference entries belong to a player called minimum.
        list = BuildPuzzleList(Dir(), "minimum");
        QCOMPARE(Texts(list), QStringList({"*               ;A;3 Züge;3 Züge;a.zrv",
                                           "*               ;B;8 Züge;8 Züge;b.zrv"}));
    }

    void semicolonsCannotOpenTheWrongPuzzle()
    {
        WritePuzzle("x;y.zrv", "*", "Eins;zwei.zrv");
        const TPuzzleList list = BuildPuzzleList(Dir(), "");
        QCOMPARE(int(list.Rows.size()), 1);
        QCOMPARE(list.Rows[0].FileName, QString("x;y.zrv"));
        QCOMPARE(list.Rows[0].Text, QString("*               ;Eins,zwei.zrv;;;x;y.zrv"));
    }

    void listEntriesFollowTheirFiles()
    {
        WritePuzzle("a.zrv", "*", "Anton", {"5,anna,1"});
        WritePuzzle("b.zrv", "**", "Bernd");
        QCOMPARE(Texts(BuildPuzzleList(Dir(), "anna")),
                 QStringList({"*               ;Anton;5 Züge;5 Züge;a.zrv",
                              "**              ;Bernd;;;b.zrv"}));
        QVERIFY(QFile::exists(PuzzleIndexFile(Dir())));

        // Rewritten with the same size and its old modification time put
        // back, removed, added: each is seen at the next build.
        const QDateTime old = QFileInfo(Dir() + "a.zrv").lastModified();
        WritePuzzle("a.zrv", "*", "Xaver", {"7,otto,1"});
        SetModified(Dir() + "a.zrv", old);
        QVERIFY(QFile::remove(Dir() + "b.zrv"));
        WritePuzzle("c.zrv", "***", "Carl");
        const TPuzzleList list = BuildPuzzleList(Dir(), "anna");
        QCOMPARE(Texts(list), QStringList({"*               ;Xaver;7 Züge;;a.zrv",
                                           "***             ;Carl;;;c.zrv"}));
        QCOMPARE(list.Players, QStringList({"Otto"}));

        // A damaged record is not used; the files are read again.
        WriteFile("PuzzleList.idx", "ZarvoList1 and then nonsense");
        QCOMPARE(Texts(BuildPuzzleList(Dir(), "anna")), Texts(list));
    }

    void cacheFileName()
    {
        QCOMPARE(PreviewCacheFile("/d/", "Puzzle.zrv"), QString("/d/Puzzle.bmp"));
        QCOMPARE(PreviewCacheFile("/d/", "a.b.zrv"), QString("/d/a.b.bmp"));
    }

    void fitRectangle()
    {
        // Wide area: margins left and right.
        QCOMPARE(FitPreviewRect(QSize(100, 50), QSize(40, 40)), QRect(25, 0, 50, 50));
        // Tall area: 17.5 rounds to 18 (even), 16.5 to 16.
        QCOMPARE(FitPreviewRect(QSize(180, 215), QSize(400, 400)), QRect(0, 18, 180, 179));
        QCOMPARE(FitPreviewRect(QSize(180, 213), QSize(400, 400)), QRect(0, 16, 180, 181));
        // Equal proportions: no margin.
        QCOMPARE(FitPreviewRect(QSize(90, 60), QSize(300, 200)), QRect(0, 0, 90, 60));
        QVERIFY(FitPreviewRect(QSize(90, 60), QSize(0, 0)).isEmpty());
        QVERIFY(FitPreviewRect(QSize(0, 60), QSize(10, 10)).isEmpty());
    }

    void composedPreviewKeepsTheMarginsInTheBackground()
    {
        const QImage board = Filled(QSize(40, 40), Qt::red);
        const QImage preview = ComposePreview(board, QSize(100, 50), QColor(1, 2, 3));
        QCOMPARE(preview.size(), QSize(100, 50));
        QCOMPARE(preview.pixelColor(24, 25), QColor(1, 2, 3));
        QCOMPARE(preview.pixelColor(25, 25), QColor(Qt::red));
        QCOMPARE(preview.pixelColor(74, 0), QColor(Qt::red));
        QCOMPARE(preview.pixelColor(75, 49), QColor(1, 2, 3));
    }

    void cachedPreviewIsUsedOnlyWhenFreshAndOfTheRightSize()
    {
        WritePuzzle("p.zrv", "*", "P");
        const QString cache = PreviewCacheFile(Dir(), "p.zrv");
        const QSize area(30, 20);
        QVERIFY(SavePreviewCache(Filled(area, Qt::blue), cache));
        const QDateTime now = QDateTime::currentDateTime();
        SetModified(Dir() + "p.zrv", now.addSecs(-60));
        SetModified(cache, now.addSecs(-60)); // same age counts as fresh

        QImage hit = LoadCachedPreview(Dir(), "p.zrv", area);
        QCOMPARE(hit.size(), area);
        QCOMPARE(hit.pixelColor(5, 5), QColor(Qt::blue));

        QVERIFY(LoadCachedPreview(Dir(), "p.zrv", QSize(31, 20)).isNull()); // resized dialog

        SetModified(Dir() + "p.zrv", now); // puzzle changed after the picture
        QVERIFY(LoadCachedPreview(Dir(), "p.zrv", area).isNull());

        SetModified(Dir() + "p.zrv", now.addSecs(-120));
        QVERIFY(!LoadCachedPreview(Dir(), "p.zrv", area).isNull());
        WriteFile("p.bmp", "not a picture");
        SetModified(cache, now);
        QVERIFY(LoadCachedPreview(Dir(), "p.zrv", area).isNull()); // damaged

        QVERIFY(LoadCachedPreview(Dir(), "nothing.zrv", area).isNull());
    }

    void cacheWriteFailsCleanly()
    {
        QVERIFY(!SavePreviewCache(Filled(QSize(4, 4), Qt::green), Dir() + "no/such/dir/x.bmp"));
        QVERIFY(SavePreviewCache(Filled(QSize(4, 4), Qt::green), Dir() + "x.bmp"));
        QImage back(Dir() + "x.bmp");
        QCOMPARE(back.pixelColor(3, 3), QColor(Qt::green));
        QCOMPARE(QDir(Dir()).entryList(QDir::Files), QStringList({"x.bmp"}));
    }
};

QTEST_MAIN(TestPuzzleList)
#include "tst_puzzlelist.moc"
