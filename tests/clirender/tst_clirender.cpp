#include "DataRoot.h"
#include "ZarvoPad.h"
#include "ZarvoTypes.h"

#include "CliRun.h"
#include "TestFolder.h"

#include <QTest>

// The board picture written by zarvos-cli render is the one a player sees
// after loading: the same pixels as the board composed in this process.
class TestCliRender : public QObject
{
    Q_OBJECT

    TTestFolder FRoot;

    int Render(const QStringList &args, QString *err = nullptr)
    {
        const TCliRun r = RunCli(FRoot.Dir.path(), QStringList{"render"} + args);
        if (err)
            *err = r.Err;
        return r.Rc;
    }

    static QImage Png(const QString &path)
    {
        return QImage(path, "PNG").convertToFormat(QImage::Format_RGB32);
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(FRoot.Dir.isValid());
        FRoot.Write("ZarvoTyp.ini", "[Zarvo11]\r\nCount=1\r\nZarvo1=0,0,1,1,1111\r\n"
                                    "[Zarvo21]\r\nCount=1\r\nZarvo1=0,0,2,1,1111\r\n");
        QImage picture(240, 280, QImage::Format_RGB32);
        for (int y = 0; y < 280; ++y)
            for (int x = 0; x < 240; ++x)
                picture.setPixel(x, y, qRgb(x, y % 256, (x + y) % 256));
        QDir().mkpath(FRoot.Path("Image"));
        QVERIFY(picture.save(FRoot.Path("Image/pic.png")));
        FRoot.Write("Data/p.zrv",
                    "[Info]\r\nTitle=Probe\r\n[Pad]\r\nBackSize=6,7\r\nImgZarvos=pic.png\r\n"
                    "ZarvoSize=6,7\r\nImgZarvosOffset=-1,-1\r\nBorderLi=1,0,2,4,2,0\r\n"
                    "[Start]\r\nCount=3\r\nZarvo1=Zarvo21,A,0,0,0,0,1\r\n"
                    "Zarvo2=Zarvo11,7,3,0,3,0,1\r\nZarvo3=Zarvo11,,3,4,3,4,0\r\n"
                    "[Object]\r\nCount=1\r\nZarvo1=Zarvo21,A,2,4,0,0,1\r\n");
        FRoot.Write("Data/bad.zrv", "[Pad]\r\nFrameSize=4,x\r\n");
        DataRoot::UseRoot(FRoot.Dir.path());
        PieceTypes().LoadTypes(DataRoot::PieceTypeFile());
    }

    void boardAndGoalAsThePlayerSeesThem()
    {
        TZarvoPad pad;
        pad.LoadPuzzle("p.zrv", false);
        pad.Redraw();
        const QString out = FRoot.Path("board.png");
        QCOMPARE(Render({"p.zrv", out}), 0);
        QCOMPARE(Png(out), pad.WorkBitmap());
        const QString goal = FRoot.Path("goal.png");
        QCOMPARE(Render({"p.zrv", goal, "--goal"}), 0);
        QCOMPARE(Png(goal), pad.ObjectBitmap());
        QVERIFY(Png(goal) != Png(out));
    }

    void savedGameShowsItsPosition()
    {
        TZarvoPad pad;
        pad.LoadPuzzle("p.zrv", false);
        pad.MouseDown(mbLeft, ssLeft, 45, 45);
        pad.MouseMove(ssLeft, 45, 125);
        pad.MouseUp(mbLeft, 0, 45, 125);
        QCOMPARE(pad.Piece(0)->Y, 120);
        QCOMPARE(pad.MoveIndex, 1);
        pad.SaveGameState("g.zrh");
        pad.Redraw();
        const QString out = FRoot.Path("state.png");
        QCOMPARE(Render({"--state", "g.zrh", out}), 0);
        QCOMPARE(Png(out), pad.WorkBitmap());
    }

    void failuresAreReported()
    {
        QString err;
        const QString out = FRoot.Path("bad.png");
        QCOMPARE(Render({"bad.zrv", out}, &err), 1);
        // One line with the load error (Qt may say things of its own before it).
        QVERIFY2(err.contains("\nFehler beim Laden der Zarvo-Datei | ") ||
                     err.startsWith("Fehler beim Laden der Zarvo-Datei | "),
                 qPrintable(err));
        QVERIFY(!QFile::exists(out));
        QCOMPARE(Render({"p.zrv", FRoot.Path("no/such/folder/x.png")}, &err), 1);
        QCOMPARE(Render({"p.zrv"}), 2);
        QCOMPARE(Render({"p.zrv", out, "--big"}), 2);
    }
};

QTEST_MAIN(TestCliRender)
#include "tst_clirender.moc"
