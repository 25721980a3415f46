#include "AllocationWatch.h"
#include "DataRoot.h"
#include "IniFile.h"
#include "Limits.h"
#include "PuzzleRoot.h"
#include "ZarvoError.h"
#include "ZarvoPad.h"
#include "ZarvoTypes.h"

#include <QDateTime>
#include <QImage>
#include <QRandomGenerator>
#include <QTest>

namespace {
const QString Prefix = QStringLiteral("Fehler beim Laden der Zarvo-Datei\r");

// A small puzzle on a 5 x 6 background of 20-pixel units: a 3 x 4 field
// centred on it, one compound piece, a fixed piece and a goal.
const QByteArray SmallPuzzle = "[Info]\r\n"
                               "Title=Kleines R\xE4tsel\r\n"
                               "ObjectInfo=Bringe A nach unten\r\n"
                               "Rating=***\r\n"
                               "[Pad]\r\n"
                               "UnitSize=20\r\n"
                               "BackSize=5,6\r\n"
                               "FrameSize=3,4\r\n"
                               "Offset=-1,7\r\n"
                               "ImgZarvosOffset=-1,-1\r\n"
                               "ZarvoSize=5,6\r\n"
                               "[Start]\r\n"
                               "Count=3\r\n"
                               "Zarvo1=Zarvo11,A,0,0,0,0,1\r\n"
                               "Zarvo2=ell,B,1,0,1,0,1\r\n"
                               "Zarvo3=Zarvo11,X,2,3,2,3,0\r\n"
                               "Zarvo4=Zarvo11,ignored above Count,0,0,0,0,1\r\n"
                               "[Object]\r\n"
                               "Count=1\r\n"
                               "Zarvo1=Zarvo11,A/C,0,3,0,0,1\r\n"
                               "[Solution]\r\n"
                               "Best1=12,Anna,3.5\r\n";

struct TPieceState
{
    QString TypeName, Caption;
    int X, Y, OldX, OldY, ImageX, ImageY, Width, Height;
    bool Movable;
    bool operator==(const TPieceState &) const = default;
};

QList<TPieceState> StateOf(const TZarvoList &list)
{
    QList<TPieceState> out;
    for (const auto &p : list)
        out.append({p->TypeName, p->Caption, p->X, p->Y, p->OldX, p->OldY, p->ImageX, p->ImageY,
                    p->Width, p->Height, p->Movable});
    return out;
}

// Everything a load decides, to show that a failed load changed nothing.
QString Fingerprint(const TZarvoPad &b)
{
    QString s = QStringLiteral("%1|%2|%3|%4|%5x%6|%7,%8|%9")
                    .arg(b.FileName, b.Title, b.BestMoves, b.History.join('/'))
                    .arg(b.Width())
                    .arg(b.Height())
                    .arg(b.Offset.x())
                    .arg(b.Offset.y())
                    .arg(b.UnitSize);
    for (const auto &p : b.Pieces)
        s += QStringLiteral("|%1:%2,%3").arg(p->Caption).arg(p->X).arg(p->Y);
    return s + QStringLiteral("|goals %1|move %2").arg(b.Objects.size()).arg(b.MoveIndex);
}

QString LoadError(TZarvoPad &pad, const QString &name, bool withState = false)
{
    try {
        pad.LoadPuzzle(name, withState);
    } catch (const EZarvoError &e) {
        return e.Message;
    }
    return QString();
}
} // namespace

class TestPuzzleFile : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void fieldRule_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("n");
        QTest::addColumn<QString>("separators");
        QTest::addColumn<QString>("field");
        QTest::newRow("first") << "Zarvo11, A ,3" << 1 << ","
                               << "Zarvo11";
        QTest::newRow("trimmed") << "Zarvo11, A ,3" << 2 << ","
                                 << "A";
        QTest::newRow("beyond gives last") << "Zarvo11,A,0,0,0,0" << 7 << ","
                                           << "0";
        QTest::newRow("empty text") << "" << 3 << ","
                                    << "";
        QTest::newRow("empty middle field") << "a,,c" << 2 << ","
                                            << "";
        QTest::newRow("closing separator opens no field") << "0;0;1;0;2;3;" << 7 << ";"
                                                          << "3";
        QTest::newRow("sixth of snapshot") << "0;0;1;0;2;3;" << 6 << ";"
                                           << "3";
        QTest::newRow("only a separator") << ";" << 2 << ";"
                                          << "";
        QTest::newRow("blank after separator is a field") << "1; " << 2 << ";"
                                                          << "";
        QTest::newRow("control characters trimmed") << "\t5\x01,6" << 1 << ","
                                                    << "5";
        QTest::newRow("either separator") << "1;2,3" << 3 << ";,"
                                          << "3";
        QTest::newRow("comma not a separator here") << "1,2;3" << 1 << ";"
                                                    << "1,2";
    }
    void fieldRule()
    {
        QFETCH(QString, text);
        QFETCH(int, n);
        QFETCH(QString, separators);
        QFETCH(QString, field);
        QCOMPARE(GetField(text, n, separators), field);
    }

    void strictIntegers()
    {
        QCOMPARE(StrToIntStrict("0"), 0);
        QCOMPARE(StrToIntStrict("-17"), -17);
        QCOMPARE(StrToIntStrict("+4"), 4);
        QCOMPARE(StrToIntStrict("2147483647"), 2147483647);
        QCOMPARE(StrToIntStrict("-2147483648"), int(-2147483647 - 1));
        for (const char *bad : {"", "-", "+", "x", "1x", "1 2", "2147483648", "-2147483649", "0x10",
                                "1.0", "99999999999999999999"}) {
            try {
                StrToIntStrict(QString::fromLatin1(bad));
                QFAIL(bad);
            } catch (const EConvertError &e) {
                QCOMPARE(e.Message, QString("'%1' ist kein gültiger Integerwert").arg(bad));
            }
        }
    }

    void pieceTypes()
    {
        TPuzzleRoot root;
        const TZarvoTyp *ell = PieceTypes().Find("ELL");
        QVERIFY(ell);
        QCOMPARE(ell->Count(), 3);
        const TZarvoDef &third = ell->Rects[2];
        QCOMPARE(QList<int>({third.x, third.y, third.width, third.height}),
                 QList<int>({1, 1, 1, 1}));
        // "1110": bevels top, right, bottom; none on the left, where the L continues.
        QVERIFY(third.EdgeTop && third.EdgeRight && third.EdgeBottom && !third.EdgeLeft);
        QCOMPARE(PieceTypes().Find("hollow")->Count(), 0);
        QVERIFY(!PieceTypes().Find("Zarvo12"));
        QCOMPARE(PieceTypes().Count(), 4);

        // "1010" bevels top and bottom only; a short edge field gives the
        // missing sides a bevel.
        root.Write("t2.ini", "[Bar]\r\nCount=2\r\nZarvo1=0,0,2,1,1010\r\nZarvo2=2,0,1,1,00\r\n");
        PieceTypes().LoadTypes(root.Path("t2.ini"));
        const TZarvoTyp *bar = PieceTypes().Find("bar");
        QVERIFY(bar->Rects[0].EdgeTop && !bar->Rects[0].EdgeRight && bar->Rects[0].EdgeBottom &&
                !bar->Rects[0].EdgeLeft);
        QVERIFY(!bar->Rects[1].EdgeTop && !bar->Rects[1].EdgeRight && bar->Rects[1].EdgeBottom &&
                bar->Rects[1].EdgeLeft);
        QVERIFY(!PieceTypes().Find("Zarvo11")); // loading replaces

        // A malformed number is a conversion error, and the types stay as they were.
        root.Write("t3.ini", "[Good]\r\nCount=1\r\nZarvo1=0,0,1,1,1111\r\n"
                             "[Bad]\r\nCount=1\r\nZarvo1=0,0,1,y,1111\r\n");
        try {
            PieceTypes().LoadTypes(root.Path("t3.ini"));
            QFAIL("no error");
        } catch (const EConvertError &e) {
            // Named like every load failure, with the file and the rectangle.
            QVERIFY2(e.Message.startsWith(Prefix + "t3.ini: [Bad] Zarvo1"), qPrintable(e.Message));
            QVERIFY(e.Message.contains("'y' ist kein gültiger Integerwert"));
        }
        QVERIFY(PieceTypes().Find("Bar"));
        QVERIFY(!PieceTypes().Find("Good"));
        root.Write("t4.ini", "[Good]\r\nCount=0\r\n" + QByteArray(MaxLineBytes + 1, ';'));
        try {
            PieceTypes().LoadTypes(root.Path("t4.ini"));
            QFAIL("no error");
        } catch (const EZarvoError &e) {
            QVERIFY2(e.Message.startsWith(Prefix + "t4.ini: Zeile 3"), qPrintable(e.Message));
        }
        QVERIFY(PieceTypes().Find("Bar"));
    }

    void piecesFromTypes()
    {
        TPuzzleRoot root;
        TZarvoPad pad;
        pad.UnitSize = 10;
        pad.Offset = QPoint(5, 7);
        pad.AddPiece(pad.Pieces, "eLL", 2, 3, 4, 1, true, "L");
        QCOMPARE(pad.Pieces.size(), size_t(3));
        TZarvo *a = pad.Pieces[0].get(), *b = pad.Pieces[1].get(), *c = pad.Pieces[2].get();
        QCOMPARE(a->Master, a);
        QCOMPARE(b->Master, a);
        QCOMPARE(c->Master, a);
        QCOMPARE(a->Next, b);
        QCOMPARE(b->Next, c);
        QCOMPARE(c->Next, nullptr);
        QCOMPARE(a->Caption, QString("L"));
        QCOMPARE(b->Caption, QString());
        QCOMPARE(c->TypeName, QString("eLL")); // as written in the entry
        // Third rectangle at (1,1) from the origin: column 3, row 4.
        QCOMPARE(QList<int>({c->X, c->Y, c->OldX, c->OldY}), QList<int>({35, 47, 35, 47}));
        // The picture position counts from the field's offset as well.
        QCOMPARE(QList<int>({c->ImageX, c->ImageY}), QList<int>({55, 27}));
        QCOMPARE(QList<int>({c->Width, c->Height}), QList<int>({10, 10}));
        QVERIFY(c->EdgeTop && !c->EdgeLeft);

        pad.AddPiece(pad.Pieces, "Zarvo11", 0, 0, 0, 0, true, "S");
        QCOMPARE(pad.Pieces[3]->Master, nullptr);
        QCOMPARE(pad.Pieces[3]->Next, nullptr);

        // A fixed piece of the start list is background: no bevel. In the goal
        // list it keeps its type's edges.
        pad.AddPiece(pad.Pieces, "Zarvo11", 0, 0, 0, 0, false, "F");
        pad.AddPiece(pad.Objects, "Zarvo11", 0, 0, 0, 0, false, "F");
        const TZarvo *fixedStart = pad.Pieces[4].get(), *fixedGoal = pad.Objects[0].get();
        QVERIFY(!fixedStart->EdgeTop && !fixedStart->EdgeRight && !fixedStart->EdgeBottom &&
                !fixedStart->EdgeLeft);
        QVERIFY(fixedGoal->EdgeTop && fixedGoal->EdgeRight && fixedGoal->EdgeBottom &&
                fixedGoal->EdgeLeft);

        QVERIFY_THROWS_EXCEPTION(EZarvoError,
                                 pad.AddPiece(pad.Pieces, "Zarvo99", 0, 0, 0, 0, true, ""));
        QVERIFY_THROWS_EXCEPTION(EZarvoError,
                                 pad.AddPiece(pad.Pieces, "Hollow", 0, 0, 0, 0, true, ""));
        QCOMPARE(pad.Pieces.size(), size_t(5));
    }

    void cellsRoundToTheNearestCell()
    {
        TPuzzleRoot root;
        TZarvoPad pad;
        pad.UnitSize = 40;
        pad.Offset = QPoint(10, 20);
        pad.AddPiece(pad.Pieces, "Zarvo11", 0, 0, 0, 0, true, "");
        TZarvo &p = *pad.Pieces[0];
        // Half a cell rounds toward the right; left of the field the cells go
        // on counting down instead of folding onto column 0.
        const QList<QPair<int, int>> xToCol = {{10, 0},   {29, 0},   {30, 1},   {-9, 0},
                                               {-10, 0},  {-11, -1}, {-30, -1}, {-50, -1},
                                               {-51, -2}, {-70, -2}};
        for (const auto &[x, col] : xToCol) {
            p.X = x;
            QCOMPARE(pad.Col(&p), col);
        }
        p.Y = 20 - 40; // a whole row above the field
        QCOMPARE(pad.Row(&p), -1);
        pad.SetCol(&p, -2);
        pad.SetRow(&p, 3);
        QCOMPARE(QList<int>({p.X, p.Y, p.OldX, p.OldY}), QList<int>({-70, 140, 10, 20}));
    }

    void missingPuzzleGivesAllDefaults()
    {
        TPuzzleRoot root;
        TZarvoPad pad;
        pad.LoadPuzzle("C:\\Spiele\\nothing.zrv", false);
        QCOMPARE(pad.FileName, QString("nothing.zrv"));
        QCOMPARE(QSize(pad.Width(), pad.Height()), QSize(32, 32)); // the built-in tile
        QCOMPARE(pad.UnitSize, 40);
        QCOMPARE(pad.Border, 2);
        QCOMPARE(pad.FrameSize, QPoint(4, 5));
        QCOMPARE(pad.OffsetSet, QPoint(-1, -1));
        QCOMPARE(pad.Offset, QPoint((32 - 160) / 2, (32 - 200) / 2));
        QCOMPARE(pad.FrameRect, (TRect{-64, -84, 96, 116}));
        QCOMPARE(pad.ImgOffsetSet, QPoint(0, 0));
        QVERIFY(pad.DrawFrame && !pad.DisableProp && !pad.AllwaysRandom);
        QVERIFY(!pad.NoZarvoBorder && !pad.NoZarvoCaption);
        QCOMPARE(pad.BestMoves, QString("?"));
        QVERIFY(pad.Title.isEmpty() && pad.Rating.isEmpty());
        QCOMPARE(pad.BorderLi, QString("0"));
        QVERIFY(pad.DefaultFont);
        QCOMPARE(pad.Font.family(), QString("Arial"));
        QCOMPARE(pad.Font.pointSize(), 9);
        QVERIFY(pad.Font.bold() && !pad.Font.italic() && !pad.Font.underline());
        QVERIFY(pad.Pieces.empty() && pad.Objects.empty());
        QCOMPARE(pad.History, QStringList({""}));
        QCOMPARE(pad.MoveIndex, 0);
        QVERIFY(!QFile::exists(DataRoot::DataDir() + "nothing.zrv")); // reading creates nothing
    }

    void loadsEveryKey()
    {
        TPuzzleRoot root;
        root.Write("Data/small.zrv", SmallPuzzle);
        TZarvoPad pad;
        pad.LoadPuzzle("SMALL.ZRV", false); // names compare without regard to case
        QCOMPARE(pad.FileName, QString("SMALL.ZRV"));
        QCOMPARE(pad.Title, QString::fromUtf8("Kleines Rätsel"));
        QCOMPARE(pad.ObjectInfo, QString("Bringe A nach unten"));
        QCOMPARE(pad.Rating, QString("***"));
        QCOMPARE(pad.BestMoves, QString("12"));
        QCOMPARE(QSize(pad.Width(), pad.Height()), QSize(100, 120));
        // Offset -1,7: x = -1 centres both coordinates.
        QCOMPARE(pad.Offset, QPoint((100 - 60) / 2, (120 - 80) / 2));
        QCOMPARE(pad.OffsetSet, QPoint(-1, 7));
        QCOMPARE(pad.ImgOffset, pad.Offset);
        QCOMPARE(pad.FrameRect, (TRect{20, 20, 80, 100}));

        QCOMPARE(pad.Objects.size(), size_t(1));
        QCOMPARE(pad.Pieces.size(), size_t(5)); // one, three parts, one; Zarvo4 is above Count
        const QList<TPieceState> pieces = StateOf(pad.Pieces);
        QCOMPARE(pieces[0], (TPieceState{"Zarvo11", "A", 20, 20, 20, 20, 20, 20, 20, 20, true}));
        QCOMPARE(pieces[1], (TPieceState{"ell", "B", 40, 20, 40, 20, 40, 20, 20, 20, true}));
        QCOMPARE(pieces[3], (TPieceState{"ell", "", 60, 40, 60, 40, 60, 40, 20, 20, true}));
        QCOMPARE(pieces[4], (TPieceState{"Zarvo11", "X", 60, 80, 60, 80, 60, 80, 20, 20, false}));
        QCOMPARE(pad.Objects[0]->Caption, QString("A/C"));
        QCOMPARE(pad.History, QStringList({"0;0;1;0;1;1;2;1;2;3;"}));
    }

    void flagsAndFont()
    {
        TPuzzleRoot root;
        root.Write("Data/f.zrv", "[Pad]\r\nDrawFrame=2\r\nAllwaysRandom=2\r\nDisableProp=2\r\n"
                                 "NoZarvoBorder=1\r\nNoZarvoCaption=x\r\nFontName=Courier New\r\n"
                                 "FontSize=14\r\nFontStyle=6\r\nFontColor=16711935\r\nBorder=4\r\n"
                                 "BorderLi=1,0,0,0,3,0\r\n"
                                 "[Info]\r\nRating=12345678901234567890\r\n");
        TZarvoPad pad;
        pad.LoadPuzzle("f.zrv", false);
        QVERIFY(!pad.DrawFrame);    // only exactly 1 counts
        QVERIFY(pad.AllwaysRandom); // anything but 0 counts
        QVERIFY(!pad.DisableProp);
        QVERIFY(pad.NoZarvoBorder);
        QVERIFY(!pad.NoZarvoCaption); // malformed: default
        QCOMPARE(pad.Border, 4);
        QCOMPARE(pad.BorderLi, QString("1,0,0,0,3,0"));
        QCOMPARE(pad.Rating, QString("1234567890123456"));
        QCOMPARE(pad.Font.family(), QString("Courier New"));
        QCOMPARE(pad.Font.pointSize(), 14);
        QVERIFY(!pad.Font.bold() && pad.Font.italic() && pad.Font.underline());
        QVERIFY(!pad.DefaultFont);
        QCOMPARE(pad.FontColor, QColor(255, 0, 255)); // red in the lowest byte
    }

    void sixFieldEntryReusesTheLastField()
    {
        TPuzzleRoot root;
        root.Write("Data/s.zrv", "[Start]\r\nCount=2\r\nZarvo1=Zarvo11,,1,2,3,0\r\n"
                                 "Zarvo2=Zarvo11,,1,2,3,5\r\n");
        TZarvoPad pad;
        pad.LoadPuzzle("s.zrv", false);
        QVERIFY(!pad.Pieces[0]->Movable); // field 6 "0" again as field 7
        QVERIFY(pad.Pieces[1]->Movable);
    }

    void backgroundTilesFromTheImageFolder()
    {
        TPuzzleRoot root;
        QImage tile(3, 2, QImage::Format_RGB32);
        for (int y = 0; y < 2; ++y)
            for (int x = 0; x < 3; ++x)
                tile.setPixel(x, y, qRgb(10 * x, 100 + y, 7));
        QVERIFY(tile.save(root.Path("Image/tile.png")));
        root.Write("Data/t.zrv", "[Pad]\r\nUnitSize=4\r\nImgBack=TILE.PNG\r\nBackSize=2,1\r\n"
                                 "DrawFrame=0\r\n");
        TZarvoPad pad;
        pad.LoadPuzzle("t.zrv", false);
        QCOMPARE(pad.ImgBack, QString("TILE.PNG"));
        QCOMPARE(pad.BackBitmap.size(), QSize(8, 4));
        QCOMPARE(pad.BackBitmap.pixel(0, 0), tile.pixel(0, 0));
        QCOMPARE(pad.BackBitmap.pixel(4, 3), tile.pixel(1, 1));
        QCOMPARE(pad.BackBitmap.pixel(7, 2), tile.pixel(1, 0));

        // The piece picture starts at its offset: 4 + 5 by 4 + 3 pixels.
        QImage pieces;
        QVERIFY(pad.StartImage(pieces, QPoint(1, 1), "tile.png", 5, 3).get()); // the picture used
        QCOMPARE(pieces.size(), QSize(9, 7));
        QCOMPARE(pieces.pixel(5, 3), tile.pixel(0, 0));
        QCOMPARE(pieces.pixel(8, 6), tile.pixel(0, 1));
        // Left of and above the offset the tiling continues backwards, so the
        // caption colour sampled in the top-left corner comes from the picture.
        QCOMPARE(pieces.pixel(4, 3), tile.pixel(2, 0));
        QCOMPARE(pieces.pixel(0, 0), tile.pixel(1, 1));
        QCOMPARE(pieces.depth(), 32);
    }

    void missingPicturesFallBackToTheBuiltInTile()
    {
        TPuzzleRoot root;
        root.Write("Image/broken.bmp", "not a picture");
        const QImage back = QImage(":/images/BACK.bmp").convertToFormat(QImage::Format_RGB32);
        QVERIFY(!back.isNull());
        root.Write("Data/m.zrv", "[Pad]\r\nImgBack=gone.bmp\r\nBackSize=2,2\r\nUnitSize=40\r\n"
                                 "ImgZarvos=broken.bmp\r\n");
        TZarvoPad pad;
        pad.LoadPuzzle("m.zrv", false);
        QVERIFY(pad.ImgBack.isEmpty());
        QVERIFY(pad.ImgZarvos.isEmpty()); // no ZarvoSize: the tile itself, and the name cleared
        QCOMPARE(pad.BackBitmap.size(), QSize(80, 80));
        QImage pieces;
        QVERIFY(!pad.StartImage(pieces, QPoint(1, 1), "broken.bmp", 0, 0).get()); // not used
        QCOMPARE(pieces.pixel(33, 1), back.pixel(1, 1));
        QVERIFY(!pad.StartImage(pieces, QPoint(3, 0), "broken.bmp", 7, 7).get());
        QCOMPARE(pieces, back); // no height in units: the tile itself

        // The name written back by SaveLook is then empty.
        pad.SaveLook("m.zrv");
        const TIniFile ini(root.Path("Data/m.zrv"));
        QCOMPARE(ini.ReadString("Pad", "ImgBack", "-"), QString());
        QCOMPARE(ini.ReadString("Pad", "ImgZarvos", "-"), QString());
        QCOMPARE(ini.ReadString("Pad", "BackSize", "-"), QString("2,2")); // SaveLook leaves it
    }

    void automaticCaptionColour()
    {
        TPuzzleRoot root;
        // The limit lies at a mean channel value of 127: 127 gives white, 128 black.
        for (const int grey : {0, 127, 128, 255}) {
            QImage pic(12, 12, QImage::Format_RGB32);
            pic.fill(qRgb(grey, grey, grey));
            pic.setPixel(0, 0, qRgb(255, 255, 255)); // outside 1..10: not counted
            pic.setPixel(11, 11, qRgb(255, 255, 255));
            QVERIFY(pic.save(root.Path("Image/g.png")));
            root.Write("Data/g.zrv",
                       "[Pad]\r\nImgZarvos=g.png\r\nZarvoSize=1,1\r\nUnitSize=12\r\n");
            TZarvoPad pad;
            pad.LoadPuzzle("g.zrv", false);
            QVERIFY(pad.DefaultFont);
            QCOMPARE(pad.FontColor, grey <= 127 ? QColor(255, 255, 255) : QColor(0, 0, 0));
        }
    }

    void loadFailures_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("cause");
        QTest::newRow("pair present but empty")
            << QByteArray("[Pad]\r\nBackSize=\r\n") << "BackSize";
        QTest::newRow("pair not a number") << QByteArray("[Pad]\r\nFrameSize=4,x\r\n") << "'x'";
        QTest::newRow("offset malformed") << QByteArray("[Pad]\r\nOffset=a\r\n") << "Offset";
        QTest::newRow("piece column")
            << QByteArray("[Start]\r\nCount=1\r\nZarvo1=Zarvo11,A,1.5,0,0,0,1\r\n")
            << "'1.5' ist kein gültiger Integerwert";
        QTest::newRow("goal image row")
            << QByteArray("[Object]\r\nCount=1\r\nZarvo1=Zarvo11,A,0,0,0,,1\r\n")
            << "[Object] Zarvo1";
        QTest::newRow("unknown type")
            << QByteArray("[Start]\r\nCount=1\r\nZarvo1=Zarvo77,A,0,0,0,0,1\r\n")
            << "Unbekannter Teiltyp: \"Zarvo77\"";
        QTest::newRow("type without rectangles")
            << QByteArray("[Start]\r\nCount=1\r\nZarvo1=hollow,A,0,0,0,0,1\r\n")
            << "keine Rechtecke";
        QTest::newRow("entry missing under Count")
            << QByteArray("[Start]\r\nCount=2\r\nZarvo1=Zarvo11,A,0,0,0,0,1\r\n") << "Zarvo2 fehlt";
        QTest::newRow("unit size 0") << QByteArray("[Pad]\r\nUnitSize=0\r\n") << "UnitSize ist 0";
        QTest::newRow("unit size negative")
            << QByteArray("[Pad]\r\nUnitSize=-8\r\n") << "UnitSize ist -8";
        QTest::newRow("picture too large")
            << QByteArray("[Pad]\r\nBackSize=400,400\r\nUnitSize=40\r\n") << "16000 × 16000";
        QTest::newRow("picture size overflows")
            << QByteArray("[Pad]\r\nZarvoSize=2000000000,2000000000\r\nUnitSize=1000\r\n")
            << "Pixeln";
        QTest::newRow("picture without width")
            << QByteArray("[Pad]\r\nBackSize=0,3\r\n") << "nicht möglich";
        QTest::newRow("piece far outside")
            << QByteArray("[Start]\r\nCount=1\r\nZarvo1=Zarvo11,A,2000000000,0,0,0,1\r\n")
            << "außerhalb des zulässigen Bereichs";
        QTest::newRow("frame overflows")
            << QByteArray("[Pad]\r\nFrameSize=2000000000,1\r\n") << "FrameSize";
    }
    void loadFailures()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, cause);
        TPuzzleRoot root;
        root.Write("Data/good.zrv", SmallPuzzle);
        root.Write("Data/bad.zrv", content);
        TZarvoPad pad;
        pad.LoadPuzzle("good.zrv", false);
        pad.Pieces[0]->X += 7; // a game in progress
        pad.MoveIndex = 0;
        const QString before = Fingerprint(pad);
        const QDateTime stamp = QFileInfo(root.Path("Data/bad.zrv")).lastModified();

        const QString message = LoadError(pad, "bad.zrv");
        QVERIFY2(message.startsWith(Prefix), qPrintable(message));
        QVERIFY2(message.contains(cause), qPrintable(message));
        QCOMPARE(Fingerprint(pad), before); // the board in use is untouched
        QCOMPARE(root.Read("Data/bad.zrv"), content);
        QCOMPARE(QFileInfo(root.Path("Data/bad.zrv")).lastModified(), stamp);
    }

    void limitsRefuseBeforeAllocating_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QStringList>("named"); // the size found and the limit
        QTest::addColumn<qint64>("allocation"); // largest block the refusal may take
        const qint64 small = 8 << 20;
        QTest::newRow("board of a small file") // 810 bytes once asked for 3.3 GB
            << QByteArray("[Pad]\r\nUnitSize=64\r\nBackSize=220,220\r\n")
            << QStringList{"Spielfeld", "14080 × 14080", "50,0 Millionen Pixel"} << small;
        QTest::newRow("board one row over")
            << QByteArray("[Pad]\r\nUnitSize=1\r\nBackSize=10000,5001\r\n")
            << QStringList{"10000 × 5001", "50,0 Millionen Pixel"} << small;
        QTest::newRow("piece picture")
            << QByteArray("[Pad]\r\nUnitSize=1\r\nZarvoSize=8000,8000\r\n")
            << QStringList{"Teilebild", "8000 × 8000", "50,0 Millionen Pixel"} << small;
        QTest::newRow("piece picture by its offset")
            << QByteArray("[Pad]\r\nZarvoSize=1,1\r\nImgZarvosOffset=7100,7100\r\n")
            << QStringList{"7140 × 7140", "50,0 Millionen Pixel"} << small;
        QByteArray longLine = "[Info]\r\nTitle=" + QByteArray(MaxLineBytes - 5, 'x') + "\r\n";
        // Refused while still raw bytes: never decoded into a text of twice the size.
        QTest::newRow("line of a puzzle file")
            << longLine << QStringList{"Zeile 2", "1.048.577 Bytes", "1.048.576 Bytes"}
            << qint64(longLine.size() * 3 / 2);
    }
    void limitsRefuseBeforeAllocating()
    {
        QFETCH(QByteArray, content);
        QFETCH(QStringList, named);
        QFETCH(qint64, allocation);
        TPuzzleRoot root;
        root.Write("Data/big.zrv", content);
        TZarvoPad pad;
        QString message;
        qint64 largest = 0;
        {
            const TAllocationWatch watch;
            message = LoadError(pad, "big.zrv");
            largest = watch.Largest();
        }
        QVERIFY2(message.startsWith(Prefix), qPrintable(message));
        for (const QString &part : named)
            QVERIFY2(message.contains(part), qPrintable(message));
        if (TAllocationWatch::Available())
            QVERIFY2(largest <= allocation, qPrintable(QString::number(largest)));
    }

    void aBoardHoldsNoMorePicturesThanItsBudget()
    {
        // The load's budget counts BoardSizedPictures board-sized pictures
        // and the piece picture; what a board really holds at its peak and
        // afterwards must stay inside it, or the limits promise too little.
        if (!TAllocationWatch::Available())
            QSKIP("needs the sanitizer's allocator");
        TPuzzleRoot root;
        root.Write("Data/wide.zrv", "[Pad]\r\nUnitSize=100\r\nBackSize=20,15\r\nZarvoSize=20,15\r\n"
                                    "FrameSize=20,15\r\nOffset=0,0\r\n[Start]\r\nCount=2\r\n"
                                    "Zarvo1=Zarvo11,A,0,0,0,0,1\r\nZarvo2=ell,B,3,3,3,3,1\r\n");
        TZarvoPad pad;
        const qint64 picture = 2000 * 1500 * 4; // board and piece picture alike
        const qint64 slack = picture / 2;       // pieces, history, fonts
        const TAllocationWatch watch;
        pad.LoadPuzzle("wide.zrv", false);
        pad.MouseDown(mbLeft, ssLeft, 50, 50);
        pad.MouseMove(ssLeft, 150, 50);
        pad.MouseUp(mbLeft, 0, 150, 50);
        pad.ComposeScreen(true);
        QCOMPARE(pad.MoveIndex, 1);
        QVERIFY2(watch.PeakGrowth() <= (BoardSizedPictures + 1) * picture + slack,
                 qPrintable(QString::number(watch.PeakGrowth())));
        QVERIFY2(watch.Growth() <= BoardSizedPictures * picture + slack,
                 qPrintable(QString::number(watch.Growth())));
        QVERIFY(watch.Growth() > (BoardSizedPictures - 1) * picture); // the pictures were measured
    }

    void pieceListsReadAsTheIniReaderReadsThem()
    {
        // The piece lists are read in one pass beside the INI reader: names
        // without regard to case, the first of two sections and of two keys,
        // comments, blanks around names and values, a number written with a
        // leading zero naming no key. What the INI reader finds is the rule.
        TPuzzleRoot root;
        root.Write("Data/odd.zrv",
                   "Zarvo1=Zarvo11,before any section,0,0,0,0,1\r\n"
                   "[start]\r\n"
                   " zarvo2 = Zarvo11 ,b, 1,0,1,0,1\r\n"
                   "Zarvo01=Zarvo11,zero,0,0,0,0,1\r\n"
                   ";Zarvo1=Zarvo11,comment,0,0,0,0,1\r\n"
                   "ZARVO1=Zarvo11,a,0,0,0,0,1\r\n"
                   "Zarvo1=Zarvo11,second,0,0,0,0,1\r\n"
                   " Count = +3\r\n"
                   "Zarvo3=\xA0Zarvo11,c\xA0,2,0,2,0,1\xA0\r\n"
                   "[Pad]\r\nUnitSize=10\r\nBackSize=4,4\r\nFrameSize=4,4\r\n"
                   "[START]\r\nZarvo3=Zarvo11,later section,0,0,0,0,1\r\nCount=1\r\n"
                   "[Object]\r\nCount=2\r\nZarvo2=Zarvo11,y,3,3,3,3,0\r\n"
                   "Zarvo1=Zarvo11,x,2,2,2,2,0\r\n");
        TZarvoPad pad;
        pad.LoadPuzzle("odd.zrv", false);
        const TIniFile ini(root.Path("Data/odd.zrv"));
        for (const char *section : {"Start", "Object"}) {
            const QString name = QLatin1String(section);
            const TZarvoList &list = name == QLatin1String("Start") ? pad.Pieces : pad.Objects;
            const int count = ini.ReadInteger(name, "Count", 0);
            QCOMPARE(int(list.size()), count);
            for (int i = 1; i <= count; ++i) {
                const QString entry = ini.ReadString(name, QStringLiteral("Zarvo%1").arg(i), "");
                QCOMPARE(list[size_t(i) - 1]->Caption, GetField(entry, 2));
                QCOMPARE(pad.Col(list[size_t(i) - 1].get()), GetField(entry, 3).toInt());
            }
        }
        QCOMPARE(pad.Pieces[2]->Caption, QStringLiteral("c\u00A0"));
    }

    void plainEntriesReadAsTheFieldRuleReadsThem()
    {
        // Entries of plain ASCII are read straight from the file's bytes. A
        // tab before an entry (trimmed away) sends it the general way: both
        // must give the same piece, or the same error.
        const char *entries[] = {"Zarvo11,12,3,4,3,4,1",
                                 "  Zarvo11 , a b ,+3, -0 ,007,4, 0 ",
                                 "Zarvo11,,1,2,3,4,00",
                                 "Zarvo21,x,1,1,1,0,",
                                 "Zarvo11,x,1,1,1,1",
                                 "Zarvo11,x,1,1,1,1,1,9",
                                 "Zarvo11,x,1,1,1,1 ,",
                                 "Zarvo11,x,123456789,1,1,1,1",
                                 "Zarvo11,x,1234567890,1,1,1,1",
                                 "Zarvo11,x,2147483648,1,1,1,1",
                                 "Zarvo11,x,1 2,1,1,1,1",
                                 "Zarvo11,x,--1,1,1,1,1",
                                 "Zarvo11,x,+,1,1,1,1",
                                 "Zarvo11,x,,1,1,1,1",
                                 "Nobody,x,1,1,1,1,1",
                                 "Ell,L,-2,5,0,0,1"};
        TPuzzleRoot root;
        const QByteArray head = "[Pad]\r\nUnitSize=10\r\nBackSize=9,9\r\nFrameSize=5,5\r\n"
                                "[Start]\r\nCount=2\r\nZarvo1=Zarvo11,12,0,0,0,0,1\r\nZarvo2=";
        for (const char *entry : entries) {
            QString outcome[2];
            for (int general = 0; general < 2; ++general) {
                root.Write("Data/e.zrv", head + (general ? "\t" : "") + entry + "\r\n");
                TZarvoPad pad;
                try {
                    pad.LoadPuzzle("e.zrv", false);
                    for (const auto &p : pad.Pieces)
                        outcome[general] += QStringLiteral("%1|%2|%3,%4|%5,%6|%7;")
                                                .arg(p->TypeName, p->Caption)
                                                .arg(p->X)
                                                .arg(p->Y)
                                                .arg(p->ImageX)
                                                .arg(p->ImageY)
                                                .arg(p->Movable);
                } catch (const EZarvoError &e) {
                    outcome[general] = e.Message;
                }
            }
            QVERIFY2(outcome[0] == outcome[1],
                     qPrintable(QLatin1String(entry) + QStringLiteral(": ") + outcome[0] +
                                QStringLiteral(" / ") + outcome[1]));
        }
    }

    void aPictureNamedAfterThePieceListsIsLoadedAlike()
    {
        // The piece picture is decoded as soon as the lines before the piece
        // lists name it; named after them, it is decoded once they are read.
        TPuzzleRoot root;
        QImage photo(43, 29, QImage::Format_RGB32);
        for (int y = 0; y < photo.height(); ++y)
            for (int x = 0; x < photo.width(); ++x)
                photo.setPixel(x, y, qRgb(x * 5, y * 8, (x ^ y) * 3));
        QVERIFY(photo.save(root.Path("Image/p.png")));
        const QByteArray pad = "[Pad]\r\nImgZarvos=p.png\r\nUnitSize=10\r\nBackSize=8,6\r\n"
                               "ZarvoSize=6,4\r\nFrameSize=6,4\r\nImgZarvosOffset=-1,-1\r\n";
        const QByteArray lists = "[Start]\r\nCount=2\r\nZarvo1=Zarvo11,1,1,0,0,0,1\r\n"
                                 "Zarvo2=Zarvo21,2,2,3,2,3,1\r\n"
                                 "[Object]\r\nCount=1\r\nZarvo1=Zarvo11,1,0,0,0,0,0\r\n";
        root.Write("Data/first.zrv", pad + lists);
        root.Write("Data/last.zrv", lists + pad);
        TZarvoPad first, last;
        first.LoadPuzzle("first.zrv", false);
        last.LoadPuzzle("last.zrv", false);
        QCOMPARE(last.ImgZarvos, QStringLiteral("p.png"));
        QCOMPARE(last.ComposeScreen(false), first.ComposeScreen(false));
        QCOMPARE(last.ObjectBitmap(), first.ObjectBitmap());
        // The picture shows at its offset: the first piece's face is its
        // top-left cell.
        const QImage &screen = first.ComposeScreen(false);
        QCOMPARE(screen.pixel(first.Offset.x() + 10 + 5, first.Offset.y() + 5), photo.pixel(5, 5));
    }

    void aLineAtTheLimitIsRead()
    {
        TPuzzleRoot root;
        const QByteArray title(MaxLineBytes - 6, 'T'); // "Title=" and the title: the whole line
        root.Write("Data/long.zrv", "[Info]\r\nTitle=" + title + "\r\n");
        TZarvoPad pad;
        pad.LoadPuzzle("long.zrv", false);
        QCOMPARE(pad.Title.size(), title.size());
    }

    void mutatedPuzzlesLoadOrFailCleanly()
    {
        // Damaged files: a changed, dropped or doubled byte, digits turned
        // into huge or negative numbers. Each load succeeds or fails with the
        // load prefix; nothing crashes and the board stays usable.
        TPuzzleRoot root;
        QRandomGenerator rng(20261208);
        const QByteArray digits = "-0123456789,;x";
        TZarvoPad pad;
        int failed = 0;
        for (int round = 0; round < 400; ++round) {
            QByteArray bytes = SmallPuzzle;
            const int edits = 1 + int(rng.bounded(4));
            for (int e = 0; e < edits; ++e) {
                const int at = int(rng.bounded(int(bytes.size())));
                switch (rng.bounded(4)) {
                case 0:
                    bytes[at] = digits[int(rng.bounded(int(digits.size())))];
                    break;
                case 1:
                    bytes.remove(at, 1);
                    break;
                case 2:
                    bytes.insert(at, bytes.mid(at, 1 + int(rng.bounded(6))));
                    break;
                default:
                    bytes.insert(at, rng.bounded(2) ? "99999" : "-7");
                    break;
                }
            }
            root.Write("Data/m.zrv", bytes);
            try {
                pad.LoadPuzzle("m.zrv", false);
                QCOMPARE(pad.History.size(), 1);
            } catch (const EZarvoError &e) {
                QVERIFY2(e.Message.startsWith(Prefix), qPrintable(e.Message));
                ++failed;
            }
        }
        QVERIFY(failed > 0 && failed < 400); // both roads were taken
    }

    void readingNeverChangesThePuzzle()
    {
        TPuzzleRoot root;
        const QByteArray lfOnly = QByteArray(SmallPuzzle).replace("\r\n", "\n");
        root.Write("Data/small.zrv", lfOnly);
        const QDateTime stamp = QDateTime::currentDateTime().addDays(-3);
        {
            QFile f(root.Path("Data/small.zrv"));
            QVERIFY(f.open(QIODevice::ReadWrite));
            QVERIFY(f.setFileTime(stamp, QFileDevice::FileModificationTime));
        }
        TZarvoPad pad;
        pad.LoadPuzzle("small.zrv", false);
        QCOMPARE(pad.Pieces.size(), size_t(5)); // LF lines read like CR LF
        QCOMPARE(root.Read("Data/small.zrv"), lfOnly);
        QCOMPARE(QFileInfo(root.Path("Data/small.zrv")).lastModified().toSecsSinceEpoch(),
                 stamp.toSecsSinceEpoch());
        QCOMPARE(QDir(root.Path("Data")).entryList(QDir::Files), QStringList({"small.zrv"}));
    }

    void savePuzzleThenLoadGivesTheSamePuzzle()
    {
        TPuzzleRoot root;
        // Every piece type whose first rectangle lies at 0,0 comes back as written.
        root.Write("Data/small.zrv", SmallPuzzle);
        TZarvoPad pad;
        pad.LoadPuzzle("small.zrv", false);
        pad.Pieces[0]->X -= 20; // a piece moved one cell left of the field
        pad.Title = "Neuer Titel";
        pad.DisableProp = true;
        pad.SavePuzzle("copy.zrv");

        TZarvoPad back;
        back.LoadPuzzle("copy.zrv", false);
        QCOMPARE(back.Pieces[0]->X, pad.Pieces[0]->X);
        QCOMPARE(back.Col(back.Pieces[0].get()), -1);
        QList<TPieceState> expected = StateOf(pad.Pieces);
        expected[0].OldX = expected[0].X; // read as the committed position
        QCOMPARE(StateOf(back.Pieces), expected);
        QCOMPARE(StateOf(back.Objects), StateOf(pad.Objects));
        QCOMPARE(back.Title, QString("Neuer Titel"));
        QCOMPARE(back.ObjectInfo, pad.ObjectInfo);
        QCOMPARE(back.Rating, pad.Rating);
        QCOMPARE(back.BestMoves, QString("12"));
        QVERIFY(back.DisableProp);
        QCOMPARE(back.OffsetSet, QPoint(-1, 7));
        QCOMPARE(back.ImgOffsetSet, QPoint(-1, -1));
        QCOMPARE(back.Offset, pad.Offset);
        QCOMPARE(back.FrameSize, QPoint(3, 4));
        QCOMPARE(back.ZarvoSize, QPoint(5, 6));
        QCOMPARE(back.BackSize, QPoint(5, 6));
        QCOMPARE(back.UnitSize, 20);

        const TIniFile ini(root.Path("Data/copy.zrv"));
        QCOMPARE(ini.ReadString("Start", "Zarvo2", ""), QString("ell,B,1,0,1,0,1"));
        QCOMPARE(ini.ReadString("Start", "Count", ""), QString("3")); // compound piece: one entry
        QCOMPARE(ini.ReadString("Solution", "Best1", ""), QString("12,Minimum"));
        QVERIFY(!ini.ValueExists("Pad", "FontName")); // automatic colour: no font keys
    }

    void savingOverAnExistingPuzzleKeepsOtherKeys()
    {
        TPuzzleRoot root;
        root.Write("Data/small.zrv",
                   QByteArray(SmallPuzzle) + "Best2=14,Ben\r\n"); // into [Solution]
        TZarvoPad pad;
        pad.LoadPuzzle("small.zrv", false);
        pad.Pieces.resize(1); // fewer pieces than the file holds
        pad.BestMoves = "?";
        pad.SavePuzzle("small.zrv");
        const TIniFile ini(root.Path("Data/small.zrv"));
        QCOMPARE(ini.ReadInteger("Start", "Count", 0), 1);
        QCOMPARE(ini.ReadString("Start", "Zarvo3", ""), QString("Zarvo11,X,2,3,2,3,0"));
        QCOMPARE(ini.ReadString("Solution", "Best1", ""),
                 QString("12,Anna,3.5")); // "?" writes none
        QCOMPARE(ini.ReadString("Solution", "Best2", ""), QString("14,Ben"));
    }

    void saveLookWritesOrDeletesTheFont()
    {
        TPuzzleRoot root;
        root.Write("Data/l.zrv", "[Pad]\r\nFontName=Times\r\nFontSize=11\r\nFontStyle=3\r\n"
                                 "FontColor=255\r\nUnitSize=30\r\n");
        TZarvoPad pad;
        pad.LoadPuzzle("l.zrv", false);
        pad.Font.setBold(false);
        pad.FontColor = QColor(1, 2, 3);
        pad.Border = 5;
        pad.SaveLook("l.zrv");
        TIniFile ini(root.Path("Data/l.zrv"));
        QCOMPARE(ini.ReadString("Pad", "FontName", ""), QString("Times"));
        QCOMPARE(ini.ReadInteger("Pad", "FontSize", 0), 11);
        QCOMPARE(ini.ReadInteger("Pad", "FontStyle", 0), 2);
        QCOMPARE(ini.ReadInteger("Pad", "FontColor", 0), 0x030201);
        QCOMPARE(ini.ReadInteger("Pad", "Border", 0), 5);
        QCOMPARE(ini.ReadInteger("Pad", "UnitSize", 0), 30);

        pad.DefaultFont = true;
        pad.SaveLook("l.zrv");
        ini = TIniFile(root.Path("Data/l.zrv"));
        for (const char *key : {"FontName", "FontSize", "FontStyle", "FontColor"})
            QVERIFY(!ini.ValueExists("Pad", key));
    }

    void mergingReplacementPuzzles()
    {
        TPuzzleRoot root;
        // The installed puzzle, with the player's look and best list.
        root.Write("Data/a.zrv",
                   "[Pad]\r\nImgBack=mine.bmp\r\nUnitSize=30\r\nBorder=3\r\n"
                   "FontName=Times\r\nFontSize=12\r\nFontStyle=5\r\nFontColor=4660\r\n"
                   "[Start]\r\nCount=1\r\nZarvo1=Zarvo11,old,0,0,0,0,1\r\n"
                   "[Solution]\r\nBest1=9,Anna\r\nBest2=12,Minimum\r\nBest3=15,Ben\r\n");
        // Its replacement in NEW (any case) with new pieces, its own look and
        // a corrected minimum.
        root.Write("Data/NEW/A.ZRV", "[Pad]\r\nUnitSize=40\r\nFontName=Arial\r\n"
                                     "[Start]\r\nCount=1\r\nZarvo1=Zarvo11,new,1,1,0,0,1\r\n"
                                     "[Solution]\r\nBest1=11,Minimum\r\nBest2=20,Carl\r\n");
        root.Write("Data/NEW/b.zrv", "[Start]\r\nCount=0\r\n");
        const QDateTime stamp = QDateTime(QDate(2001, 2, 3), QTime(4, 5, 6));
        {
            QFile f(root.Path("Data/NEW/b.zrv"));
            QVERIFY(f.open(QIODevice::ReadWrite));
            QVERIFY(f.setFileTime(stamp, QFileDevice::FileModificationTime));
        }
        MergeNewPuzzles();

        const TIniFile a(root.Path("Data/a.zrv"));
        QCOMPARE(a.ReadString("Start", "Zarvo1", ""), QString("Zarvo11,new,1,1,0,0,1"));
        QCOMPARE(a.ReadString("Pad", "ImgBack", ""), QString("mine.bmp"));
        QCOMPARE(a.ReadInteger("Pad", "UnitSize", 0), 30);
        QCOMPARE(a.ReadInteger("Pad", "Border", 0), 3);
        QCOMPARE(a.ReadString("Pad", "FontName", ""), QString("Times"));
        QCOMPARE(a.ReadInteger("Pad", "FontStyle", 0), 5);
        QCOMPARE(a.ReadInteger("Pad", "FontColor", 0), 4660);
        // The players' results stay, the author's minimum is the new one.
        QCOMPARE(a.ReadString("Solution", "Best1", ""), QString("9,Anna"));
        QCOMPARE(a.ReadString("Solution", "Best2", ""), QString("11,Minimum"));
        QCOMPARE(a.ReadString("Solution", "Best3", ""), QString("15,Ben"));
        QVERIFY(!a.ValueExists("Solution", "Best4"));
        QVERIFY(!QFile::exists(root.Path("Data/A.ZRV"))); // the installed name keeps its spelling

        QCOMPARE(root.Read("Data/b.zrv"), QByteArray("[Start]\r\nCount=0\r\n"));
        QCOMPARE(QFileInfo(root.Path("Data/b.zrv")).lastModified().toSecsSinceEpoch(),
                 stamp.toSecsSinceEpoch()); // the file date comes along
        QVERIFY(!QDir(root.Path("Data/NEW")).exists());
    }

    void mergingKeepsAFolderWithOtherFiles()
    {
        TPuzzleRoot root;
        root.Write("Data/a.zrv", "[Pad]\r\nFontColor=-1\r\nFontName=Times\r\n");
        root.Write("Data/New/a.zrv", "[Pad]\r\nFontName=Courier\r\nFontSize=20\r\n");
        root.Write("Data/New/readme.txt", "x");
        MergeNewPuzzles();
        QVERIFY(QFile::exists(root.Path("Data/New/readme.txt")));
        QVERIFY(!QFile::exists(root.Path("Data/New/a.zrv")));
        // The installed puzzle had the automatic colour: the replacement loses its font keys.
        const TIniFile a(root.Path("Data/a.zrv"));
        QVERIFY(!a.ValueExists("Pad", "FontName"));
        QVERIFY(!a.ValueExists("Pad", "FontSize"));
        MergeNewPuzzles(); // nothing left to do
        QVERIFY(QFile::exists(root.Path("Data/a.zrv")));
        QDir(root.Path("Data/New")).removeRecursively();
        MergeNewPuzzles(); // no folder: nothing happens
    }
};

QTEST_MAIN(TestPuzzleFile)
#include "tst_puzzlefile.moc"
