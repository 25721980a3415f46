#include "ExpertLogic.h"
#include "PuzzleRoot.h"
#include "ZarvoPad.h"
#include "ZarvoRandom.h"

#include <QBuffer>
#include <QImage>
#include <QTest>
#include <QtEndian>
#include <algorithm>
#include <vector>

Q_DECLARE_METATYPE(TGridChange)
Q_DECLARE_METATYPE(TGridValues)

namespace {
// The lines of an INI file as "[Section]" and "Key=Value", blank lines left out.
QStringList IniLines(const QByteArray &bytes)
{
    QStringList lines;
    for (const QByteArray &line : bytes.split('\n')) {
        const QByteArray l = line.endsWith('\r') ? line.chopped(1) : line;
        if (!l.isEmpty())
            lines << QString::fromLatin1(l);
    }
    return lines;
}

// The value of key in section of an INI file's lines ("<missing>" when absent).
QString IniValue(const QStringList &lines, const QString &section, const QString &key)
{
    bool inSection = false;
    for (const QString &l : lines) {
        if (l.startsWith(QLatin1Char('['))) {
            inSection = l.compare(QStringLiteral("[%1]").arg(section), Qt::CaseInsensitive) == 0;
            continue;
        }
        if (inSection && l.section(QLatin1Char('='), 0, 0).compare(key, Qt::CaseInsensitive) == 0)
            return l.section(QLatin1Char('='), 1);
    }
    return QStringLiteral("<missing>");
}

TExpertPuzzle Puzzle(int nx, int ny)
{
    TExpertPuzzle p;
    p.Title = QStringLiteral("Rätsel");
    p.PicturePath = QStringLiteral("Bild.png");
    p.Unit = 40;
    p.PartsX = nx;
    p.PartsY = ny;
    p.Margin = 2;
    p.Border = 3;
    return p;
}

// Parity of the arrangement: home index of the piece on each cell in
// reading order (the gap left out); even when the inversions are even.
bool EvenArrangement(const std::vector<int> &homeByCell)
{
    int inversions = 0;
    for (size_t i = 0; i < homeByCell.size(); ++i)
        for (size_t j = i + 1; j < homeByCell.size(); ++j)
            if (homeByCell[i] > homeByCell[j])
                ++inversions;
    return inversions % 2 == 0;
}
} // namespace

// The puzzle expert's grid fitting, picture check and the puzzle it saves.
class TestExpertLogic : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void fitGrid_data()
    {
        QTest::addColumn<QSize>("picture");
        QTest::addColumn<TGridValues>("fields");
        QTest::addColumn<TGridChange>("source");
        QTest::addColumn<TGridValues>("expected");
        const QSize sample(250, 250), photo(640, 480);
        QTest::newRow("sample, unit 50")
            << sample << TGridValues{50, 5, 5} << TGridChange::None << TGridValues{50, 5, 5};
        QTest::newRow("sample, 7 across")
            << sample << TGridValues{50, 7, 5} << TGridChange::PartsX << TGridValues{35, 7, 7};
        QTest::newRow("sample, 30 across")
            << sample << TGridValues{35, 30, 7} << TGridChange::PartsX << TGridValues{10, 25, 25};
        QTest::newRow("sample, 30 down")
            << sample << TGridValues{50, 5, 30} << TGridChange::PartsY << TGridValues{10, 25, 25};
        QTest::newRow("photo, unit 50")
            << photo << TGridValues{50, 5, 5} << TGridChange::Unit << TGridValues{50, 12, 9};
        QTest::newRow("photo, 100 across")
            << photo << TGridValues{50, 100, 9} << TGridChange::PartsX << TGridValues{10, 64, 48};
        QTest::newRow("photo, 2 down")
            << photo << TGridValues{50, 12, 2} << TGridChange::PartsY << TGridValues{240, 2, 2};
        // A unit too large for two parts across halves the picture.
        QTest::newRow("photo, unit 400")
            << photo << TGridValues{400, 12, 9} << TGridChange::Unit << TGridValues{240, 2, 2};
        QTest::newRow("tall picture, unit 300") << QSize(700, 500) << TGridValues{300, 5, 5}
                                                << TGridChange::Unit << TGridValues{250, 2, 2};
        // Too small for two parts of 10 pixels: the parts get smaller.
        QTest::newRow("tiny picture, 5 across") << QSize(15, 15) << TGridValues{50, 5, 5}
                                                << TGridChange::PartsX << TGridValues{7, 2, 2};
        QTest::newRow("smallest picture")
            << QSize(2, 2) << TGridValues{5, 5, 5} << TGridChange::None << TGridValues{1, 2, 2};
    }

    void fitGrid()
    {
        QFETCH(QSize, picture);
        QFETCH(TGridValues, fields);
        QFETCH(TGridChange, source);
        QFETCH(TGridValues, expected);
        const TGridValues got = FitGrid(picture, fields, source);
        QCOMPARE(got.Unit, expected.Unit);
        QCOMPARE(got.PartsX, expected.PartsX);
        QCOMPARE(got.PartsY, expected.PartsY);
    }

    void fieldsKeepTheirRanges()
    {
        QCOMPARE(ClampToFields({1, 2, 2}), (TGridValues{5, 2, 2}));
        QCOMPARE(ClampToFields({10, 4000, 1}), (TGridValues{10, 1000, 2}));
        QCOMPARE(ClampToFields({2000, 0, 1001}), (TGridValues{1000, 2, 1000}));
    }

    void writingBackDoesNotStartAnotherFit()
    {
        TExpertGrid grid;
        int writes = 0;
        bool nested = true;
        TGridValues written;
        const bool ran = grid.EditUnitChange(
            QSize(640, 480), {50, 100, 9}, TGridChange::PartsX, [&](const TGridValues &v) {
                ++writes;
                written = v;
                // The fields' change events come back while writing.
                nested = grid.EditUnitChange(QSize(640, 480), {10, 64, 48}, TGridChange::Unit,
                                             [&](const TGridValues &) { ++writes; });
            });
        QVERIFY(ran);
        QVERIFY(!nested);
        QCOMPARE(writes, 1);
        QCOMPARE(written, (TGridValues{10, 64, 48}));
        QCOMPARE(grid.FUpdating, 0);
        QCOMPARE(grid.FUnit, 10);

        // What the fields can hold goes back; what was computed stays.
        QVERIFY(grid.EditUnitChange(QSize(2, 3), {5, 5, 5}, TGridChange::None,
                                    [&](const TGridValues &v) { written = v; }));
        QCOMPARE(written, (TGridValues{5, 2, 3}));
        QCOMPARE(grid.FUnit, 1);

        // Held while a puzzle is being loaded: nothing is computed or written.
        grid.FUpdating = 1;
        QVERIFY(!grid.EditUnitChange(QSize(640, 480), {50, 5, 5}, TGridChange::None,
                                     [&](const TGridValues &) { ++writes; }));
        QCOMPARE(writes, 1);
        QCOMPARE(grid.FUnit, 1);
    }

    void picturesBelowTwoPixelsAreRejected()
    {
        QVERIFY(!ExpertPictureUsable(QImage()));
        QVERIFY(!ExpertPictureUsable(QImage(1, 300, QImage::Format_RGB32)));
        QVERIFY(!ExpertPictureUsable(QImage(300, 1, QImage::Format_RGB32)));
        QVERIFY(ExpertPictureUsable(QImage(2, 2, QImage::Format_RGB32)));
        QVERIFY(ExpertPictureRejectedText(QStringLiteral("a.jpg"), QImage()).contains("a.jpg"));
        // A picture refused for its size names the size and the limit.
        TPuzzleRoot root;
        QByteArray bmp;
        QBuffer buffer(&bmp);
        buffer.open(QIODevice::WriteOnly);
        QImage(2, 2, QImage::Format_RGB32).save(&buffer, "BMP");
        qToLittleEndian<qint32>(10000, bmp.data() + 18);
        qToLittleEndian<qint32>(6000, bmp.data() + 22);
        root.Write(QStringLiteral("Image/huge.bmp"), bmp);
        const QString huge =
            ExpertPictureRejectedText(root.Path(QStringLiteral("Image/huge.bmp")), QImage());
        QVERIFY2(huge.contains("10000 × 6000") && huge.contains("50 Millionen"), qPrintable(huge));
        QVERIFY(
            ExpertPictureRejectedText(QStringLiteral("b.bmp"), QImage(1, 7, QImage::Format_RGB32))
                .contains(QStringLiteral("1 × 7")));
    }

    void savedPuzzleHoldsEveryKey()
    {
        TPuzzleRoot root;
        root.Write(QStringLiteral("Image/Bild.png"), "picture bytes");
        ZarvoRandom::SetSeed(4711);
        TExpertPuzzle p = Puzzle(3, 3);
        p.BackName = QStringLiteral("Holz.jpg");
        p.AllwaysRandom = true;
        SaveExpertPuzzle(p, QStringLiteral("/somewhere/else/Neu.zrv"));

        const QStringList lines = IniLines(root.Read(QStringLiteral("Data/Neu.zrv")));
        const QStringList pad = {
            "[Pad]",
            "ImgBack=Holz.jpg",
            "ImgZarvos=Bild.png",
            "UnitSize=40",
            "Border=3",
            "DisableProp=1",
            "BackSize=5,5",
            "ZarvoSize=3,3",
            "Offset=-1,-1",
            "ImgZarvosOffset=-1,-1",
            "FrameSize=3,3",
            "DrawFrame=1",
            "NoZarvoCaption=0",
            "NoZarvoBorder=0",
            "AllwaysRandom=1",
        };
        QCOMPARE(lines.mid(0, pad.size()), pad);
        QCOMPARE(lines.at(pad.size()), QStringLiteral("[Start]"));
        QCOMPARE(lines.at(pad.size() + 9), QStringLiteral("Count=8"));
        const QStringList object = {"[Object]",
                                    "Zarvo1=Zarvo11,1,0,0,0,0,0",
                                    "Zarvo2=Zarvo11,2,1,0,1,0,0",
                                    "Zarvo3=Zarvo11,3,2,0,2,0,0",
                                    "Zarvo4=Zarvo11,4,0,1,0,1,0",
                                    "Zarvo5=Zarvo11,5,1,1,1,1,0",
                                    "Zarvo6=Zarvo11,6,2,1,2,1,0",
                                    "Zarvo7=Zarvo11,7,0,2,0,2,0",
                                    "Zarvo8=Zarvo11,8,1,2,1,2,0",
                                    "Count=8"};
        QCOMPARE(lines.mid(pad.size() + 10, object.size()), object);
        const QStringList info = {"[Info]", QStringLiteral("Title=Rätsel"),
                                  "ObjectInfo=Stelle das Bild wieder her", "Rating=*"};
        QCOMPARE(lines.mid(pad.size() + 10 + object.size()), info);
        QCOMPARE(root.Read(QStringLiteral("Data/Neu.zrv")).count("Rätsel"), 0); // Windows-1252
        QVERIFY(!QFileInfo::exists(root.Path(QStringLiteral("somewhere"))));

        // Start: the same eight pieces, each showing its home part, movable,
        // spread over every cell but the bottom-right one.
        QSet<QPair<int, int>> cells;
        for (int n = 1; n <= 8; ++n) {
            const QStringList f =
                IniValue(lines, "Start", QStringLiteral("Zarvo%1").arg(n)).split(QLatin1Char(','));
            QCOMPARE(f.size(), 7);
            QCOMPARE(f[0], QStringLiteral("Zarvo11"));
            QCOMPARE(f[1], QString::number(n));
            QCOMPARE(f[4].toInt(), (n - 1) % 3);
            QCOMPARE(f[5].toInt(), (n - 1) / 3);
            QCOMPARE(f[6], QStringLiteral("1"));
            cells.insert({f[2].toInt(), f[3].toInt()});
        }
        QCOMPARE(cells.size(), 8);
        QVERIFY(!cells.contains({2, 2}));
        QVERIFY(std::all_of(cells.begin(), cells.end(), [](const QPair<int, int> &c) {
            return c.first >= 0 && c.first < 3 && c.second >= 0 && c.second < 3;
        }));

        // The game reads it back: background of 5 x 5 units, field centred.
        TZarvoPad board;
        board.LoadPuzzle(QStringLiteral("Neu.zrv"), false);
        QCOMPARE(board.PieceCount(), 8);
        QCOMPARE(board.ObjectCount(), 8);
        QVERIFY(board.DisableProp);
        QCOMPARE(board.Title, QStringLiteral("Rätsel"));
    }

    void fontKeysOnlyWithNumbersAndAChosenFont()
    {
        TPuzzleRoot root;
        QFont font(QStringLiteral("Courier New"));
        font.setPointSize(14);
        font.setItalic(true);
        font.setBold(false);

        TExpertPuzzle p = Puzzle(2, 2);
        p.StandardFont = false;
        p.Font = font;
        p.FontColor = QColor(0x12, 0x34, 0x56);
        SaveExpertPuzzle(p, QStringLiteral("Font.zrv"));
        QStringList lines = IniLines(root.Read(QStringLiteral("Data/Font.zrv")));
        QCOMPARE(IniValue(lines, "Pad", "FontName"), QStringLiteral("Courier New"));
        QCOMPARE(IniValue(lines, "Pad", "FontSize"), QStringLiteral("14"));
        QCOMPARE(IniValue(lines, "Pad", "FontColor"), QString::number(0x563412));
        QCOMPARE(IniValue(lines, "Pad", "FontStyle"), QStringLiteral("2"));
        QCOMPARE(lines.indexOf("FontName=Courier New"), lines.indexOf("Border=3") + 1);

        // Without numbers: empty captions, and the font keys go even from a
        // file that had them.
        p.Numbers = false;
        SaveExpertPuzzle(p, QStringLiteral("Font.zrv"));
        lines = IniLines(root.Read(QStringLiteral("Data/Font.zrv")));
        for (const char *key : {"FontName", "FontSize", "FontColor", "FontStyle"})
            QCOMPARE(IniValue(lines, "Pad", key), QStringLiteral("<missing>"));
        QCOMPARE(IniValue(lines, "Object", "Zarvo1"), QStringLiteral("Zarvo11,,0,0,0,0,0"));
        QCOMPARE(IniValue(lines, "Object", "Count"), QStringLiteral("3"));
        QVERIFY(IniValue(lines, "Start", "Zarvo2").startsWith("Zarvo11,,"));

        // "(Standard)" with numbers: no font keys either.
        p.Numbers = true;
        p.StandardFont = true;
        SaveExpertPuzzle(p, QStringLiteral("Std.zrv"));
        lines = IniLines(root.Read(QStringLiteral("Data/Std.zrv")));
        QCOMPARE(IniValue(lines, "Pad", "FontName"), QStringLiteral("<missing>"));
        QCOMPARE(IniValue(lines, "Object", "Zarvo3"), QStringLiteral("Zarvo11,3,0,1,0,1,0"));
    }

    void shuffleIsExactlyHundredExchanges()
    {
        // Replays the generator's draws on a plain array of cells: the
        // puzzle's start must be exactly that arrangement, and the generator
        // must have been asked exactly as often.
        TPuzzleRoot root;
        for (const uint32_t seed : {1u, 99u, 123456789u, 0xFFFFFFFFu}) {
            ZarvoRandom::SetSeed(seed);
            std::vector<int> cellOf(8);
            for (int i = 0; i < 8; ++i)
                cellOf[size_t(i)] = i;
            int exchanges = 0;
            while (exchanges < 100) {
                const uint32_t a = ZarvoRandom::Random(8), b = ZarvoRandom::Random(8);
                std::swap(cellOf[a], cellOf[b]);
                if (a != b)
                    ++exchanges;
            }
            const uint32_t seedAfter = ZarvoRandom::Seed();

            ZarvoRandom::SetSeed(seed);
            TZarvoPad board;
            BuildExpertPuzzle(board, Puzzle(3, 3));
            QCOMPARE(ZarvoRandom::Seed(), seedAfter);
            QCOMPARE(board.PieceCount(), 8);
            for (int i = 0; i < 8; ++i) {
                QCOMPARE(board.Col(board.Piece(i)), cellOf[size_t(i)] % 3);
                QCOMPARE(board.Row(board.Piece(i)), cellOf[size_t(i)] / 3);
                QCOMPARE(board.Col(board.ObjectPiece(i)), i % 3);
                QVERIFY(!board.ObjectPiece(i)->Movable);
                QVERIFY(board.Piece(i)->Movable);
            }
            QCOMPARE(board.BestMoves, QStringLiteral("?"));
        }
    }

    void everyShuffleIsSolvable()
    {
        TPuzzleRoot root;
        const QList<QSize> grids = {{2, 2}, {3, 3}, {4, 3}, {5, 5}, {2, 7}};
        for (const QSize g : grids)
            for (uint32_t seed = 1; seed <= 400; ++seed) {
                ZarvoRandom::SetSeed(seed * 2654435761u);
                TZarvoPad board;
                BuildExpertPuzzle(board, Puzzle(g.width(), g.height()));
                const int cells = g.width() * g.height();
                std::vector<int> homeByCell(size_t(cells), -1);
                for (int i = 0; i < board.PieceCount(); ++i) {
                    const int cell =
                        board.Row(board.Piece(i)) * g.width() + board.Col(board.Piece(i));
                    QVERIFY(cell >= 0 && cell < cells);
                    QCOMPARE(homeByCell[size_t(cell)], -1);
                    homeByCell[size_t(cell)] = i;
                }
                // The gap stays in the bottom-right corner ...
                QCOMPARE(homeByCell.back(), -1);
                homeByCell.pop_back();
                // ... and the pieces form an even permutation of the goal.
                QVERIFY2(
                    EvenArrangement(homeByCell),
                    qPrintable(
                        QStringLiteral("%1x%2 seed %3").arg(g.width()).arg(g.height()).arg(seed)));
            }
    }

    void pictureCopiedIntoTheImageFolder()
    {
        TPuzzleRoot root;
        QTemporaryDir outside;
        const QString photo = outside.filePath(QStringLiteral("Urlaub.jpg"));
        {
            QFile f(photo);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write("the photo");
        }
        TExpertPuzzle p = Puzzle(2, 2);
        p.PicturePath = photo;
        SaveExpertPuzzle(p, QStringLiteral("Urlaub.zrv"));
        QCOMPARE(root.Read(QStringLiteral("Image/Urlaub.jpg")), QByteArray("the photo"));
        QCOMPARE(IniValue(IniLines(root.Read("Data/Urlaub.zrv")), "Pad", "ImgZarvos"),
                 QStringLiteral("Urlaub.jpg"));

        // The picture already in the image folder: by full path or (after
        // "Laden...") by bare name, it stays whole.
        p.PicturePath = root.Path(QStringLiteral("Image/Urlaub.jpg"));
        SaveExpertPuzzle(p, QStringLiteral("Urlaub.zrv"));
        QCOMPARE(root.Read(QStringLiteral("Image/Urlaub.jpg")), QByteArray("the photo"));
        p.PicturePath = QStringLiteral("Urlaub.jpg");
        SaveExpertPuzzle(p, QStringLiteral("Urlaub.zrv"));
        QCOMPARE(root.Read(QStringLiteral("Image/Urlaub.jpg")), QByteArray("the photo"));

        // A picture that cannot be copied does not stop the puzzle.
        p.PicturePath = outside.filePath(QStringLiteral("weg.jpg"));
        SaveExpertPuzzle(p, QStringLiteral("Weg.zrv"));
        QCOMPARE(IniValue(IniLines(root.Read("Data/Weg.zrv")), "Pad", "ImgZarvos"),
                 QStringLiteral("weg.jpg"));
        QVERIFY(!QFileInfo::exists(root.Path(QStringLiteral("Image/weg.jpg"))));
    }

    void savingOverAPuzzleKeepsItsBestList()
    {
        TPuzzleRoot root;
        root.Write(QStringLiteral("Data/Alt.zrv"),
                   "[Pad]\r\nUnitSize=20\r\nBorderLi=1,0,0,1,0,0\r\n"
                   "[Start]\r\nCount=30\r\n"
                   "[Solution]\r\nBest1=80,Anna,0,0\r\nBest2=90,Ben,0,0\r\nSort=0\r\n");
        SaveExpertPuzzle(Puzzle(3, 2), QStringLiteral("Alt.zrv"));
        const QStringList lines = IniLines(root.Read(QStringLiteral("Data/Alt.zrv")));
        QCOMPARE(IniValue(lines, "Solution", "Best1"), QStringLiteral("80,Anna,0,0"));
        QCOMPARE(IniValue(lines, "Solution", "Best2"), QStringLiteral("90,Ben,0,0"));
        QCOMPARE(IniValue(lines, "Pad", "UnitSize"), QStringLiteral("40"));
        QCOMPARE(IniValue(lines, "Pad", "BorderLi"), QStringLiteral("1,0,0,1,0,0"));
        QCOMPARE(IniValue(lines, "Start", "Count"), QStringLiteral("5"));
    }
};

QTEST_MAIN(TestExpertLogic)
#include "tst_expertlogic.moc"
