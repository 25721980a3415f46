// Board drawing: light and shadow, bevels, piece faces, the goal picture,
// composing the board and the screen picture, tiling, the board picture file.
#include "CaptionGlyphs.h"
#include "DataRoot.h"
#include "PuzzleRoot.h"
#include "ZarvoPad.h"

#include <QFile>
#include <QPainter>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

namespace {

// One base colour with three different channels, so a channel mix-up shows.
const QRgb Base = qRgb(100, 30, 200);
const QRgb L1 = qRgb(164, 94, 255);  // lightened once
const QRgb L2 = qRgb(228, 158, 255); // lightened twice
const QRgb D1 = qRgb(36, 0, 136);    // darkened once
const QRgb D2 = qRgb(0, 0, 72);      // darkened twice
const QRgb DL = qRgb(100, 64, 200);  // darkened, then lightened

QImage Solid(int w, int h, QRgb colour)
{
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}

QImage Noise(int w, int h, quint32 seed)
{
    QRandomGenerator rng(seed);
    QImage image(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            image.setPixel(x, y, 0xFF000000u | (rng.generate() & 0xFFFFFF));
    return image;
}

TZarvo *AddPart(TZarvoList &list, int x, int y, int w, int h, int ix, int iy, bool movable,
                const QString &caption = QString())
{
    auto piece = std::make_unique<TZarvo>();
    piece->X = piece->OldX = x;
    piece->Y = piece->OldY = y;
    piece->Width = w;
    piece->Height = h;
    piece->ImageX = ix;
    piece->ImageY = iy;
    piece->Movable = movable;
    piece->Caption = caption;
    piece->EdgeTop = piece->EdgeRight = piece->EdgeBottom = piece->EdgeLeft = true;
    list.push_back(std::move(piece));
    return list.back().get();
}

// The composition rule itself: background, then every drawn piece in order.
QImage Reference(TZarvoPad &pad)
{
    QImage out = pad.BackBitmap.copy();
    for (const auto &p : pad.ActivePieces())
        pad.DrawPiece(p.get(), out);
    return out;
}

// The bounding box of the dark pixels inside area.
QRect InkBox(const QImage &picture, const QRect &area)
{
    QRect box;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (qRed(picture.pixel(x, y)) < 128)
                box |= QRect(x, y, 1, 1);
    return box;
}
} // namespace

class TestDrawing : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void lightenAndDarkenChannels()
    {
        QImage image(6, 1, QImage::Format_ARGB32);
        const int values[] = {0, 10, 63, 64, 191, 192};
        for (int i = 0; i < 6; ++i)
            image.setPixel(i, 0, qRgba(values[i], values[i], 255, 0x37));
        QImage light = image, dark = image;
        Lighten(light, {0, 0, 6, 1});
        Darken(dark, {0, 0, 6, 1});
        const int lit[] = {64, 74, 127, 128, 255, 255};
        const int shaded[] = {0, 0, 0, 0, 127, 128};
        for (int i = 0; i < 6; ++i) {
            QCOMPARE(qRed(light.pixel(i, 0)), lit[i]);
            QCOMPARE(qGreen(light.pixel(i, 0)), lit[i]);
            QCOMPARE(qBlue(light.pixel(i, 0)), 255);
            QCOMPARE(qRed(dark.pixel(i, 0)), shaded[i]);
            QCOMPARE(qBlue(dark.pixel(i, 0)), 191);
            // The fourth byte is left alone.
            QCOMPARE(qAlpha(light.pixel(i, 0)), 0x37);
            QCOMPARE(qAlpha(dark.pixel(i, 0)), 0x37);
        }
    }

    void lightenClipsToPicture()
    {
        QImage image = Solid(4, 3, Base);
        Lighten(image, {-5, -5, 2, 1});   // sticks out top-left
        Darken(image, {3, 2, 100, 100});  // sticks out bottom-right
        Lighten(image, {10, 10, 20, 20}); // wholly outside
        Lighten(image, {3, 0, 1, 3});     // right before left: empty
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 4; ++x) {
                QRgb want = Base;
                if (y < 1 && x < 2)
                    want = L1;
                if (x == 3 && y == 2)
                    want = D1;
                QCOMPARE(image.pixel(x, y), want);
            }
        QImage empty;
        Lighten(empty, {0, 0, 5, 5}); // nothing to do, nothing breaks
        QVERIFY(empty.isNull());
    }

    void singlePieceBevel()
    {
        TZarvoPad pad;
        pad.BackBitmap = Solid(120, 80, qRgb(1, 2, 3));
        pad.ZarvoBitmap = Solid(120, 80, Base);
        pad.Border = 2;
        pad.NoZarvoCaption = true;
        AddPart(pad.Pieces, 60, 20, 10, 10, 10, 40, true);
        pad.PrerenderPictures();

        // The face lies at the piece's picture position.
        const QImage &face = pad.ZarvoBitmap;
        auto at = [&](int x, int y) { return face.pixel(10 + x, 40 + y); };
        QCOMPARE(at(5, 5), Base); // inside
        QCOMPARE(at(5, 9), D1);   // bottom strip
        QCOMPARE(at(9, 5), D1);   // right strip
        QCOMPARE(at(5, 0), L1);   // top strip
        QCOMPARE(at(0, 5), L1);   // left strip
        QCOMPARE(at(9, 0), DL);   // top-right: darkened, then lightened
        QCOMPARE(at(0, 9), DL);   // bottom-left
        QCOMPARE(at(8, 8), D2);   // bottom-right square: twice dark
        QCOMPARE(at(1, 1), L2);   // top-left square: twice light
        QCOMPARE(at(2, 2), Base); // the bevel is exactly Border wide
        QCOMPARE(at(7, 7), Base);
        // Faces lie on the background.
        QCOMPARE(face.pixel(9, 40), qRgb(1, 2, 3));
        QCOMPARE(face.pixel(20, 40), qRgb(1, 2, 3));

        // During play the finished face is copied to the piece's position.
        pad.Redraw();
        QCOMPARE(pad.WorkBitmap().pixel(61, 21), L2);
        QCOMPARE(pad.WorkBitmap().pixel(69, 29), D2);
        QCOMPARE(pad.WorkBitmap().pixel(59, 21), qRgb(1, 2, 3));
        QCOMPARE(pad.WorkBitmap().dotsPerMeterX(), 3780);
    }

    void compoundPieceInnerCorners()
    {
        // An L of three cells: A above B, C right of B.
        TZarvoPad pad;
        pad.BackBitmap = Solid(200, 200, qRgb(1, 2, 3));
        pad.ZarvoBitmap = Solid(200, 200, Base);
        pad.Border = 2;
        TZarvo *a = AddPart(pad.Pieces, 0, 0, 10, 10, 100, 100, true);
        TZarvo *b = AddPart(pad.Pieces, 0, 10, 10, 10, 100, 110, true);
        TZarvo *c = AddPart(pad.Pieces, 10, 10, 10, 10, 110, 110, true);
        a->Master = b->Master = c->Master = a;
        a->Next = b;
        b->Next = c;
        a->EdgeBottom = false;
        b->EdgeTop = b->EdgeRight = false;
        c->EdgeLeft = false;
        pad.NoZarvoCaption = true;
        pad.PrerenderPictures();
        const QImage &f = pad.ZarvoBitmap;

        // B's inner top-right square (where A and C meet it): dark, then light.
        QCOMPARE(f.pixel(109, 110), DL);
        QCOMPARE(f.pixel(108, 111), DL);
        // B's other sides: left light in full, bottom dark in full, and its
        // top and right stay plain where the piece goes on.
        QCOMPARE(f.pixel(100, 115), L1);
        QCOMPARE(f.pixel(100, 110), L1);
        QCOMPARE(f.pixel(105, 110), Base);
        QCOMPARE(f.pixel(109, 115), Base);
        QCOMPARE(f.pixel(109, 119), D1);
        // A has no bottom bevel; C has no left bevel.
        QCOMPARE(f.pixel(105, 109), Base);
        QCOMPARE(f.pixel(110, 115), Base);
        QCOMPARE(f.pixel(110, 110), L1); // C's top strip runs to its left end
        QCOMPARE(f.pixel(101, 101), L2);
        QCOMPARE(f.pixel(119, 119), D2);
    }

    void bareFaceAndCaptions()
    {
        TZarvoPad pad;
        pad.BackBitmap = Solid(160, 120, qRgb(1, 2, 3));
        const QImage picture = Noise(160, 120, 7);
        pad.ZarvoBitmap = picture;
        pad.NoZarvoBorder = true;
        pad.NoZarvoCaption = true;
        AddPart(pad.Pieces, 0, 0, 40, 40, 40, 40, true, QStringLiteral("Caption"));
        pad.PrerenderPictures();
        // Neither bevel nor caption: the face is the bare picture rectangle.
        QCOMPARE(pad.ZarvoBitmap.copy(40, 40, 40, 40), picture.copy(40, 40, 40, 40));
        pad.Redraw();
        QCOMPARE(pad.WorkBitmap().copy(0, 0, 40, 40), picture.copy(40, 40, 40, 40));

        // An empty caption: bevel, no text.
        TZarvoPad bevelOnly;
        bevelOnly.BackBitmap = Solid(160, 120, qRgb(1, 2, 3));
        bevelOnly.ZarvoBitmap = Solid(160, 120, Base);
        bevelOnly.FontColor = Qt::black;
        AddPart(bevelOnly.Pieces, 0, 0, 40, 40, 40, 40, true, QString());
        bevelOnly.PrerenderPictures();
        QCOMPARE(bevelOnly.ZarvoBitmap.copy(42, 42, 36, 36), Solid(36, 36, Base));
        QCOMPARE(bevelOnly.ZarvoBitmap.pixel(40, 50), L1);

        // A long caption is written inside the face and cut at its edge.
        TZarvoPad captioned;
        captioned.CaptionOutline = false;
        captioned.BackBitmap = Solid(160, 120, qRgb(1, 2, 3));
        captioned.ZarvoBitmap = Solid(160, 120, qRgb(255, 255, 254));
        captioned.FontColor = Qt::black;
        captioned.Font = QFont(QStringLiteral("Arial"));
        captioned.Font.setPointSize(20);
        AddPart(captioned.Pieces, 0, 0, 40, 40, 40, 40, true, QStringLiteral("WWWWWWWWWW"));
        captioned.PrerenderPictures();
        const QImage &f = captioned.ZarvoBitmap;
        int dark = 0;
        for (int y = 44; y < 78; ++y)
            for (int x = 44; x < 78; ++x)
                dark += qRed(f.pixel(x, y)) < 128;
        QVERIFY2(dark > 20, "the caption is written");
        // Nothing above Border + 2, nothing beyond the face (which lies on
        // the background).
        for (int y = 40; y < 120; ++y)
            for (int x = 80; x < 160; ++x)
                QCOMPARE(f.pixel(x, y), qRgb(1, 2, 3));
        for (int x = 42; x < 78; ++x)
            QCOMPARE(f.pixel(x, 42), qRgb(255, 255, 254));

        // To the pixel: the ink of a short caption lies where the same text
        // has it when written at the face's corner plus Border + 2.
        TZarvoPad shortCaption;
        shortCaption.BackBitmap = captioned.BackBitmap;
        shortCaption.ZarvoBitmap = Solid(160, 120, qRgb(255, 255, 254));
        shortCaption.FontColor = Qt::black;
        shortCaption.Font = captioned.Font;
        AddPart(shortCaption.Pieces, 0, 0, 40, 40, 40, 40, true, QStringLiteral("H"));
        QImage alone = shortCaption.ZarvoBitmap.copy(0, 0, 40, 40);
        {
            QPainter painter(&alone);
            painter.setFont(shortCaption.Font);
            painter.setPen(Qt::black);
            painter.drawText(QRect(0, 0, 40, 40), Qt::AlignLeft | Qt::AlignTop,
                             QStringLiteral("H"));
        }
        shortCaption.PrerenderPictures();
        const QRect ink = InkBox(alone, QRect(0, 0, 40, 40));
        QVERIFY(!ink.isEmpty());
        QCOMPARE(InkBox(shortCaption.ZarvoBitmap, QRect(42, 42, 36, 36)), ink.translated(44, 44));
    }

    void outlinedCaptionsStayReadableOnTheirPicture()
    {
        // White captions on a light picture: without the outline they only
        // lighten it; with it, a dark rim lies around the letters, the
        // letters stay white, and nothing is drawn beyond the face.
        const QRgb light = qRgb(230, 220, 200);
        auto face = [light](bool outline, QColor colour) {
            TZarvoPad pad;
            pad.CaptionOutline = outline;
            pad.BackBitmap = Solid(160, 120, qRgb(1, 2, 3));
            pad.ZarvoBitmap = Solid(160, 120, light);
            pad.FontColor = colour;
            pad.Font = QFont(QStringLiteral("Arial"));
            pad.Font.setPointSize(16);
            pad.Font.setBold(true);
            AddPart(pad.Pieces, 0, 0, 60, 40, 40, 40, true, QStringLiteral("H1"));
            pad.PrerenderPictures();
            return pad.ZarvoBitmap;
        };
        auto count = [](const QImage &f, auto test) {
            int n = 0;
            for (int y = 42; y < 78; ++y)
                for (int x = 42; x < 98; ++x)
                    n += test(f.pixel(x, y));
            return n;
        };
        const QImage plain = face(false, Qt::white);
        const QImage outlined = face(true, Qt::white);
        auto dark = [](QRgb c) { return qGray(c) < 100; };
        auto white = [](QRgb c) { return qGray(c) > 250; };
        QCOMPARE(count(plain, dark), 0);
        QVERIFY(count(outlined, dark) > 20);
        QVERIFY(count(outlined, white) > 20);
        for (int y = 0; y < 120; ++y)
            for (int x = 100; x < 160; ++x)
                QCOMPARE(outlined.pixel(x, y), plain.pixel(x, y));
        // A black caption gets a light rim instead.
        const QImage black = face(true, Qt::black);
        QVERIFY(count(black, white) > 20);
        QCOMPARE(count(face(false, Qt::black), white), 0);
    }

    void goalPictureShowsAllGoalPieces()
    {
        TZarvoPad pad;
        pad.BackBitmap = Solid(200, 100, qRgb(1, 2, 3));
        pad.ZarvoBitmap = Solid(200, 100, Base);
        pad.NoZarvoCaption = true;
        AddPart(pad.Pieces, 0, 0, 20, 20, 100, 0, true);
        AddPart(pad.Pieces, 40, 0, 20, 20, 140, 0, false); // fixed: background
        AddPart(pad.Objects, 20, 60, 20, 20, 100, 0, true);
        AddPart(pad.Objects, 60, 60, 20, 20, 140, 0, false);
        pad.PrerenderPictures();

        // The goal: both goal pieces at their goal cells with their bevel.
        QCOMPARE(pad.ObjectBitmap().pixel(21, 61), L2);
        QCOMPARE(pad.ObjectBitmap().pixel(61, 61), L2);
        QCOMPARE(pad.ObjectBitmap().pixel(30, 70), Base);
        QCOMPARE(pad.ObjectBitmap().pixel(1, 1), qRgb(1, 2, 3));
        pad.Redraw();
        // The game: the movable piece only; the fixed one is background.
        QCOMPARE(pad.WorkBitmap().pixel(1, 1), L2);
        QCOMPARE(pad.WorkBitmap().pixel(41, 1), qRgb(1, 2, 3));
        QCOMPARE(pad.WorkBitmap().pixel(21, 61), qRgb(1, 2, 3));

        // While the goal is shown, the view gets the goal picture, hand or not.
        pad.ShowObject = true;
        QCOMPARE(pad.ComposeScreen(true), pad.ObjectBitmap());
        QCOMPARE(pad.ComposeScreen(true, QRect(15, 55, 30, 20)),
                 pad.ObjectBitmap().copy(15, 55, 30, 20));
        pad.ShowObject = false;
        QCOMPARE(pad.ComposeScreen(false), pad.WorkBitmap());
    }

    void frameAndFullScreenEdge()
    {
        TZarvoPad pad;
        pad.BackBitmap = Solid(100, 80, Base);
        pad.Border = 3;
        pad.FrameRect = {20, 10, 60, 50};
        pad.DrawFrame = true;
        pad.FullScreen = true;
        pad.PaintBackgroundBevels();
        const QImage &b = pad.BackBitmap;
        // Sunken frame: R = (17, 7, 63, 53).
        QCOMPARE(b.pixel(40, 51), L1);                // bottom: light
        QCOMPARE(b.pixel(61, 30), L1);                // right: light
        QCOMPARE(b.pixel(40, 8), D1);                 // top: dark
        QCOMPARE(b.pixel(18, 30), D1);                // left: dark
        QCOMPARE(b.pixel(62, 8), qRgb(100, 30, 191)); // lit, then shaded
        QCOMPARE(b.pixel(18, 52), qRgb(100, 30, 191));
        QCOMPARE(b.pixel(40, 30), Base);
        QCOMPARE(b.pixel(40, 53), Base);
        QCOMPARE(b.pixel(16, 30), Base);
        // Raised edge around the whole board.
        QCOMPARE(b.pixel(50, 79), D1);
        QCOMPARE(b.pixel(99, 40), D1);
        QCOMPARE(b.pixel(50, 0), L1);
        QCOMPARE(b.pixel(0, 40), L1);
        QCOMPARE(b.pixel(1, 1), L2);
        QCOMPARE(b.pixel(98, 78), D2);
        QCOMPARE(b.pixel(99, 0), qRgb(100, 64, 200)); // dark, then light
        QCOMPARE(b.pixel(50, 3), Base);

        TZarvoPad plain;
        plain.BackBitmap = Solid(100, 80, Base);
        plain.FrameRect = {20, 10, 60, 50};
        plain.DrawFrame = false;
        plain.PaintBackgroundBevels();
        QCOMPARE(plain.BackBitmap, Solid(100, 80, Base));
    }

    void borderLines()
    {
        TZarvoPad pad;
        pad.BackBitmap = Solid(200, 200, Base);
        pad.DrawFrame = false;
        pad.Border = 2;
        pad.UnitSize = 10;
        pad.Offset = QPoint(5, 7);
        // A vertical light line at column 2 from row 1 to 3, lengthened at
        // both ends; a horizontal shadow line on row 5 from column 1 to 4,
        // lengthened at the start.
        pad.BorderLi = QStringLiteral("1, 2,1,2,3,3");
        pad.BorderSh = QStringLiteral("1,1,5,4,5,1");
        pad.PaintBackgroundBevels();
        const QImage &b = pad.BackBitmap;
        // Light: x 25..26, y 15..38 (y1 = 17 - 2, y2 = 37 + 2).
        QCOMPARE(b.pixel(25, 15), L1);
        QCOMPARE(b.pixel(26, 38), L1);
        QCOMPARE(b.pixel(27, 20), Base);
        QCOMPARE(b.pixel(24, 20), Base);
        QCOMPARE(b.pixel(25, 14), Base);
        QCOMPARE(b.pixel(25, 39), Base);
        // Shadow: y 55..56, x 13..44 (x1 = 15 - 2).
        QCOMPARE(b.pixel(13, 55), D1);
        QCOMPARE(b.pixel(44, 56), D1);
        QCOMPARE(b.pixel(12, 55), Base);
        QCOMPARE(b.pixel(45, 55), Base);
        QCOMPARE(b.pixel(30, 57), Base);
        QCOMPARE(b.pixel(30, 54), Base);
    }

    void malformedLineListsDrawNothingHarmful()
    {
        const QString lists[] = {QStringLiteral("0"), QStringLiteral(""),
                                 QStringLiteral("x,1,1,1,3,0"), QStringLiteral("1,a,1,1,3,0"),
                                 QStringLiteral("-3,1,1,1,3,0")};
        for (const QString &text : lists) {
            TZarvoPad pad;
            pad.BackBitmap = Solid(60, 60, Base);
            pad.DrawFrame = false;
            pad.BorderLi = text;
            pad.BorderSh = text;
            pad.PaintBackgroundBevels();
            QVERIFY2(pad.BackBitmap == Solid(60, 60, Base), qPrintable(text));
        }
        // A count far beyond the lines present paints the lines present and
        // returns at once; lines far off the board are cut away.
        TZarvoPad pad;
        pad.BackBitmap = Solid(60, 60, Base);
        pad.DrawFrame = false;
        pad.UnitSize = 10;
        pad.BorderLi = QStringLiteral("2000000000,1,1,1,3,0,99999999,0,99999999,3,0");
        pad.PaintBackgroundBevels();
        QCOMPARE(pad.BackBitmap.pixel(10, 20), L1);
        QCOMPARE(pad.BackBitmap.pixel(50, 50), Base);
        QCOMPARE(pad.BackBitmap.pixel(0, 0), Base);
    }

    void composedPicturesMatchTheWholeComposition()
    {
        // Many overlapping pieces pushed about a few at a time: the kept
        // board picture, brought up to date where pieces moved, and the
        // screen picture of any area must equal the whole composition.
        TZarvoPad pad;
        pad.BackBitmap = Noise(300, 200, 1);
        pad.ZarvoBitmap = Noise(300, 200, 2);
        pad.NoZarvoCaption = true;
        pad.FrameRect = {-20, -20, 320, 220};
        QRandomGenerator rng(3);
        for (int i = 0; i < 120; ++i)
            AddPart(pad.Pieces, rng.bounded(-20, 300), rng.bounded(-20, 200), rng.bounded(5, 50),
                    rng.bounded(5, 50), rng.bounded(-10, 300), rng.bounded(-10, 200),
                    rng.bounded(6) != 0);
        pad.PrerenderPictures();
        int paints = 0;
        pad.OnPaint = [&](TZarvoPad &) { ++paints; };
        QCOMPARE(pad.WorkBitmap(), Reference(pad));
        for (int step = 0; step < 200; ++step) {
            const int moved = step % 20 == 0 ? 30 : rng.bounded(1, 4);
            for (int k = 0; k < moved; ++k)
                pad.DragBy(pad.Pieces[size_t(rng.bounded(int(pad.Pieces.size())))].get(),
                           rng.bounded(-30, 31), rng.bounded(-30, 31));
            pad.Redraw();
            const QImage whole = Reference(pad);
            QCOMPARE(pad.WorkBitmap(), whole);
            if (step % 3 == 0) {
                pad.HandX = rng.bounded(-70, 370);
                pad.HandY = rng.bounded(-70, 270);
                pad.Cursor64 = rng.bounded(2) == 0;
                pad.ButtonDown = rng.bounded(2) == 0;
                QImage want = whole;
                const QImage &hand = pad.Cursor64
                                         ? (pad.ButtonDown ? pad.Hand64Down : pad.Hand64Up)
                                         : (pad.ButtonDown ? pad.Hand32Down : pad.Hand32Up);
                const int hx = pad.HandX - (pad.Cursor64 ? 6 : 3);
                const int hy = pad.HandY - (pad.Cursor64 ? 7 : 4);
                for (int y = 0; y < hand.height(); ++y)
                    for (int x = 0; x < hand.width(); ++x)
                        if (want.rect().contains(hx + x, hy + y) &&
                            (hand.pixel(x, y) & 0xFFFFFF) != 0xFFFFFF)
                            want.setPixel(hx + x, hy + y, hand.pixel(x, y));
                QCOMPARE(pad.ComposeScreen(true), want);
                const QRect area(rng.bounded(-20, 280), rng.bounded(-20, 180), rng.bounded(1, 90),
                                 rng.bounded(1, 90));
                const QRect cut = area & want.rect();
                if (cut.isEmpty())
                    QVERIFY(pad.ComposeScreen(true, area).isNull());
                else
                    QCOMPARE(pad.ComposeScreen(true, area), want.copy(cut));
            }
        }
        QCOMPARE(paints, 200);

        // Changes behind the board's back: a new background, a piece taken
        // away, a piece put elsewhere by hand with the board told.
        Lighten(pad.BackBitmap, {0, 0, 300, 200});
        QCOMPARE(pad.WorkBitmap(), Reference(pad));
        pad.Pieces.pop_back();
        QCOMPARE(pad.WorkBitmap(), Reference(pad));
        pad.Pieces.front()->X += 17;
        pad.PiecesChanged();
        QCOMPARE(pad.WorkBitmap(), Reference(pad));
    }

    void handPictures()
    {
        // The built-in hands: 32 and 64 pixels, white around, a hand inside,
        // the closed one differing from the open one.
        TZarvoPad pad;
        const QImage *hands[] = {&pad.Hand32Up, &pad.Hand32Down, &pad.Hand64Up, &pad.Hand64Down};
        const int sizes[] = {32, 32, 64, 64};
        for (int i = 0; i < 4; ++i) {
            const QImage &h = *hands[i];
            QCOMPARE(h.size(), QSize(sizes[i], sizes[i]));
            QCOMPARE(h.pixel(h.width() - 1, 0) & 0xFFFFFF, 0xFFFFFFu);
            int opaque = 0;
            for (int y = 0; y < h.height(); ++y)
                for (int x = 0; x < h.width(); ++x)
                    opaque += (h.pixel(x, y) & 0xFFFFFF) != 0xFFFFFF;
            QVERIFY(opaque > h.width() * h.height() / 4);
        }
        QVERIFY(pad.Hand64Up != pad.Hand64Down);
        QVERIFY(pad.Hand32Up != pad.Hand32Down);
        QImage back(QStringLiteral(":/images/BACK.bmp"));
        QCOMPARE(back.size(), QSize(32, 32));
        QCOMPARE(back.depth() >= 24, true);
    }

    void tileBackground()
    {
        QImage texture(3, 2, QImage::Format_RGB888);
        for (int y = 0; y < 2; ++y)
            for (int x = 0; x < 3; ++x)
                texture.setPixel(x, y, qRgb(x * 50, y * 90, 7));
        QImage target;
        TZarvoPad::TileBackground(target, 8, 5, texture);
        QCOMPARE(target.size(), QSize(8, 5));
        QCOMPARE(target.depth(), 32);
        for (int y = 0; y < 5; ++y)
            for (int x = 0; x < 8; ++x)
                QCOMPARE(target.pixel(x, y), qRgb((x % 3) * 50, (y % 2) * 90, 7));
        TZarvoPad::TileBackground(target, 4, 4, QImage());
        QCOMPARE(target.pixel(3, 3), qRgb(216, 196, 170));
    }

    void loadedPuzzleIsDrawnAsWritten()
    {
        // A 6 x 7 background of one colour with the 4 x 5 field centred at
        // (40, 40); a shadow line left of column 2 and a light line below
        // row 2 that is lengthened at its end into the frame.
        TPuzzleRoot root;
        QVERIFY(Solid(8, 8, Base).save(root.Path(QStringLiteral("Image/base.png"))));
        QVERIFY(
            Solid(8, 8, qRgb(250, 250, 250)).save(root.Path(QStringLiteral("Image/white.png"))));
        root.Write(QStringLiteral("Data/p.zrv"),
                   "[Pad]\r\nImgBack=base.png\r\nBackSize=6,7\r\nImgZarvos=white.png\r\n"
                   "ZarvoSize=6,7\r\nImgZarvosOffset=0,0\r\nBorderSh=1,2,0,2,5,0\r\n"
                   "BorderLi=1,0,2,4,2,2\r\nFontSize=14\r\n"
                   "[Start]\r\nCount=1\r\nZarvo1=Zarvo11,8,3,4,0,0,1\r\n");
        TZarvoPad pad;
        pad.LoadPuzzle(QStringLiteral("p.zrv"), false);
        pad.Redraw();
        const QImage &b = pad.BackBitmap;
        QCOMPARE(pad.Offset, QPoint(40, 40));
        QCOMPARE(b.pixel(118, 60), D1);
        QCOMPARE(b.pixel(119, 60), D1);
        QCOMPARE(b.pixel(120, 60), Base);
        QCOMPARE(b.pixel(117, 60), Base);
        QCOMPARE(b.pixel(60, 120), L1);
        QCOMPARE(b.pixel(60, 121), L1);
        QCOMPARE(b.pixel(60, 122), Base);
        QCOMPARE(b.pixel(201, 121), L2);                 // the lengthened end meets the lit frame
        QCOMPARE(b.pixel(119, 120), qRgb(100, 30, 191)); // crossing: light lines first, then shadow

        // The piece at cell (3, 4) shows the white picture's first cell,
        // bevelled, with a black caption (the picture is light).
        QCOMPARE(pad.FontColor, QColor(0, 0, 0));
        const QImage &w = pad.WorkBitmap();
        QCOMPARE(w.pixel(160 + 20, 200 + 38) & 0xFFFFFF, qRgb(186, 186, 186) & 0xFFFFFF);
        int dark = 0;
        for (int y = 204; y < 236; ++y)
            for (int x = 164; x < 196; ++x)
                dark += qGray(w.pixel(x, y)) < 100;
        QVERIFY(dark > 10);
    }

    void facesMadeTileByTileAsAWhole()
    {
        // A loaded picture puzzle makes its faces where the board is drawn,
        // tile by tile, and draws its goal from them when it can. Faces,
        // captions, the board and the goal must come out as the whole-picture
        // pre-rendering draws them, for any font and any piece size.
        // A photo larger than the board, and one that is decoded where it
        // lies on the board and repeated around it.
        TPuzzleRoot root;
        QVERIFY(Noise(331, 247, 4).save(root.Path(QStringLiteral("Image/photo.png"))));
        QVERIFY(Noise(97, 61, 5).save(root.Path(QStringLiteral("Image/small.png"))));
        struct TCase
        {
            const char *Font;
            int Size, Style, Unit;
            bool GoalElsewhere;
            const char *Photo = "photo.png";
        };
        const TCase cases[] = {{"Arial", 9, 1, 10, false},
                               {"Arial", 14, 2, 30, false},
                               {"Liberation Serif", 30, 3, 45, true},
                               {"Arial", 8, 0, 7, true},
                               {"DejaVu Sans", 7, 1, 10, false, "small.png"}};
        for (const TCase &c : cases) {
            const int cols = 300 / c.Unit, rows = 220 / c.Unit;
            QString text = QStringLiteral("[Pad]\r\nImgZarvos=%9\r\nUnitSize=%1\r\n"
                                          "BackSize=%2,%3\r\nZarvoSize=%4,%5\r\nFrameSize=%4,%5\r\n"
                                          "ImgZarvosOffset=-1,-1\r\nFontName=%6\r\nFontSize=%7\r\n"
                                          "FontStyle=%8\r\n")
                               .arg(c.Unit)
                               .arg(cols + 2)
                               .arg(rows + 2)
                               .arg(cols)
                               .arg(rows)
                               .arg(QLatin1String(c.Font))
                               .arg(c.Size)
                               .arg(c.Style)
                               .arg(QLatin1String(c.Photo));
            // Every cell but the last, numbered; the start swaps neighbours.
            QString start = QStringLiteral("[Start]\r\nCount=%1\r\n").arg(cols * rows - 1);
            QString goal = QStringLiteral("[Object]\r\nCount=%1\r\n").arg(cols * rows - 1);
            for (int i = 0; i < cols * rows - 1; ++i) {
                const int col = i % cols, row = i / cols;
                const int at = (i % 2 == 0 && i + 1 < cols * rows - 1) ? i + 1 : i ^ 1;
                start += QStringLiteral("Zarvo%1=Zarvo11,%2,%3,%4,%5,%6,1\r\n")
                             .arg(i + 1)
                             .arg(i * 37 + 1)
                             .arg(at % cols)
                             .arg(at / cols)
                             .arg(col)
                             .arg(row);
                const int gc = c.GoalElsewhere ? (col + 1) % cols : col;
                goal += QStringLiteral("Zarvo%1=Zarvo11,%2,%3,%4,%5,%6,0\r\n")
                            .arg(i + 1)
                            .arg(i * 37 + 1)
                            .arg(gc)
                            .arg(row)
                            .arg(col)
                            .arg(row);
            }
            root.Write(QStringLiteral("Data/p.zrv"), (text + start + goal).toLatin1());

            TZarvoPad lazy;
            lazy.LoadPuzzle(QStringLiteral("p.zrv"), false);
            const QImage view = lazy.ComposeScreen(false, QRect(37, 21, 111, 70));

            // The whole-picture rule on a board of the same pieces: the piece
            // picture as loaded, every face drawn onto the background at its
            // picture position, every goal piece at its goal cell.
            TZarvoPad whole;
            whole.LoadPuzzle(QStringLiteral("p.zrv"), false);
            QVERIFY(whole
                        .StartImage(whole.ZarvoBitmap, whole.ZarvoSize, whole.ImgZarvos,
                                    whole.ImgOffset.x(), whole.ImgOffset.y())
                        .get());
            whole.Prerender = true;
            QImage faces = whole.BackBitmap.copy();
            for (const auto &p : whole.Pieces)
                whole.DrawPiece(p.get(), faces);
            whole.ShowObject = true;
            QImage goalPicture = whole.BackBitmap.copy();
            for (const auto &p : whole.Objects)
                whole.DrawPiece(p.get(), goalPicture);
            whole.ShowObject = false;
            whole.Prerender = false;
            whole.ZarvoBitmap = faces;
            const QImage board = Reference(whole);

            const QString what = QLatin1String(c.Font) + QString::number(c.Size);
            QVERIFY2(view == board.copy(37, 21, 111, 70), qPrintable(what));
            QVERIFY2(lazy.WorkBitmap() == board, qPrintable(what));
            QVERIFY2(lazy.ObjectBitmap() == goalPicture, qPrintable(what));
            lazy.FinishFaces();
            QVERIFY2(lazy.ZarvoBitmap == faces, qPrintable(what));
        }
    }

    void digitCaptionsAsDrawTextDrawsThem()
    {
        // Numbers drawn from the digits' glyphs against drawText: every
        // pixel, for fonts of other widths and slants, at whole and cut
        // places, with the digits outside the clip left out.
        constexpr int flags = Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine | Qt::TextDontClip;
        const char *families[] = {"Arial", "Liberation Serif", "DejaVu Sans"};
        int drawn = 0;
        for (const char *family : families)
            for (const int size : {7, 9, 17})
                for (const bool italic : {false, true}) {
                    QFont font{QString::fromLatin1(family)};
                    font.setPointSize(size);
                    font.setBold(size == 9);
                    font.setItalic(italic);
                    QImage expected = Solid(160, 60, Base), got = expected;
                    expected.setDotsPerMeterX(3780);
                    expected.setDotsPerMeterY(3780);
                    got.setDotsPerMeterX(3780);
                    got.setDotsPerMeterY(3780);
                    // Arial, the captions' font, has digits of their own;
                    // a serif font with pairs of digits set closer has not.
                    const TCaptionGlyphs digits(font, &got);
                    if (QLatin1String(family) == QLatin1String("Arial"))
                        QVERIFY(digits.Usable());
                    if (!digits.Usable()) {
                        QPainter p(&got);
                        QVERIFY(
                            !digits.Draw(p, QRect(0, 0, 20, 20), QStringLiteral("11"), got.rect()));
                        continue;
                    }
                    QPainter a(&expected), b(&got);
                    for (QPainter *p : {&a, &b}) {
                        p->setFont(font);
                        p->setPen(QColor(250, 240, 10));
                    }
                    quint32 n = 7;
                    for (int y = 0; y < 60; y += 12)
                        for (int x = 0; x < 160; x += 23, n = n * 31 + 3) {
                            const QString caption = QString::number(n % 987654);
                            const QRect box(x + 1, y + 2, 10, 10);
                            const QRect clip(x + int(n & 3), y + int(n >> 2 & 3),
                                             9 + int(n >> 4 & 15), 9 + int(n >> 8 & 7));
                            a.setClipRect(clip);
                            a.drawText(box, flags, caption);
                            b.setClipRect(clip);
                            QVERIFY(digits.Draw(b, box, caption, clip));
                            ++drawn;
                        }
                    a.end();
                    b.end();
                    QVERIFY2(got == expected,
                             qPrintable(QLatin1String(family) + QString::number(size)));
                }
        QVERIFY(drawn >= 6 * 35); // Arial at least, in every size and slant
        // Anything but digits, and lines the glyphs do not draw, are drawText's.
        QImage picture = Solid(20, 20, Base);
        QPainter painter(&picture);
        const TCaptionGlyphs plain(QFont(QStringLiteral("Arial")), &picture);
        QVERIFY(!plain.Draw(painter, QRect(0, 0, 20, 20), QStringLiteral("12a"), picture.rect()));
        QVERIFY(!plain.Draw(painter, QRect(0, 0, 20, 20), QStringLiteral("-1"), picture.rect()));
        QFont underlined(QStringLiteral("Arial"));
        underlined.setUnderline(true);
        QVERIFY(!TCaptionGlyphs(underlined, &picture).Usable());
    }

    void saveBoardImageBesideThePuzzle()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        DataRoot::UseRoot(dir.path());
        QDir().mkpath(DataRoot::DataDir());
        TZarvoPad pad;
        pad.BackBitmap = Noise(50, 30, 9);
        pad.ZarvoBitmap = Noise(50, 30, 10);
        AddPart(pad.Pieces, 5, 5, 10, 10, 20, 10, true, QStringLiteral("1"));
        pad.PrerenderPictures();
        QVERIFY(!pad.SaveBoardImage()); // no puzzle, no file
        pad.FileName = QStringLiteral("Der.Klotz.zrv");
        QVERIFY(pad.SaveBoardImage());
        QFile file(DataRoot::DataDir() + QStringLiteral("Der.Klotz.bmp"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.read(2), QByteArray("BM"));
        file.close();
        QImage saved(file.fileName(), "BMP");
        QCOMPARE(saved.convertToFormat(QImage::Format_RGB32), pad.WorkBitmap());
        // Nothing but the picture lands in the folder.
        QCOMPARE(QDir(DataRoot::DataDir()).entryList(QDir::Files).size(), 1);

        // A folder that cannot take the file: reported, nothing left behind.
        pad.FileName = QStringLiteral("Fehlt/Klotz.zrv");
        QVERIFY(!pad.SaveBoardImage());
    }
};

QTEST_MAIN(TestDrawing)
#include "tst_drawing.moc"
