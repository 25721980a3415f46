// The board view on a screen with twice the pixel density: every board pixel
// becomes a sharp 2 x 2 block (3 x 3 at 150 %), and the mouse still meets the
// piece under it.
#include "BoardView.h"
#include "ZarvoPad.h"

#include <QApplication>
#include <QRandomGenerator>
#include <QTest>

class TestBoardViewHiDpi : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void boardPixelsBecomeSharpBlocks()
    {
        TZarvoPad pad;
        pad.BackBitmap = QImage(60, 40, QImage::Format_RGB32);
        pad.ZarvoBitmap = QImage(60, 40, QImage::Format_RGB32);
        QRandomGenerator rng(11);
        for (int y = 0; y < 40; ++y)
            for (int x = 0; x < 60; ++x) {
                pad.BackBitmap.setPixel(x, y, 0xFF000000u | (rng.generate() & 0xFFFFFF));
                pad.ZarvoBitmap.setPixel(x, y, 0xFF000000u | (rng.generate() & 0xFFFFFF));
            }
        pad.FrameRect = {0, 0, 60, 40};
        auto piece = std::make_unique<TZarvo>();
        piece->X = piece->OldX = 10;
        piece->Y = piece->OldY = 10;
        piece->Width = piece->Height = 10;
        piece->ImageX = piece->ImageY = 30;
        piece->Caption.clear();
        pad.Pieces.push_back(std::move(piece));
        pad.NoZarvoBorder = true;
        pad.PrerenderPictures();
        pad.Redraw();

        TBoardView view(&pad);
        view.resize(view.sizeHint());
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        QCOMPARE(view.devicePixelRatio(), 2.0);
        QCOMPARE(view.size(), QSize(60, 40)); // a board pixel is a logical pixel

        const QImage shown = view.grab().toImage().convertToFormat(QImage::Format_RGB32);
        QCOMPARE(shown.size(), QSize(120, 80));
        for (int y = 0; y < 40; ++y)
            for (int x = 0; x < 60; ++x) {
                const QRgb want = pad.WorkBitmap().pixel(x, y);
                QCOMPARE(shown.pixel(2 * x, 2 * y), want);
                QCOMPARE(shown.pixel(2 * x + 1, 2 * y), want);
                QCOMPARE(shown.pixel(2 * x, 2 * y + 1), want);
                QCOMPARE(shown.pixel(2 * x + 1, 2 * y + 1), want);
            }

        // A press at the piece's logical position picks it up.
        QTest::mousePress(&view, Qt::LeftButton, Qt::NoModifier, QPoint(12, 12));
        QCOMPARE(pad.DragIndex, 0);
        QTest::mouseMove(&view, QPoint(32, 12));
        QTest::mouseRelease(&view, Qt::LeftButton, Qt::NoModifier, QPoint(32, 12));
        QCOMPARE(pad.Piece(0)->X, 30);

        // At 150 % a board pixel is three screen pixels: still sharp blocks,
        // and the press still lands on the piece.
        view.SetZoom(1.5);
        QVERIFY(!view.Smoothed());
        view.resize(view.sizeHint());
        pad.MouseInside = false; // no hand over the picture
        QCOMPARE(view.size(), QSize(90, 60));
        const QImage zoomed = view.grab().toImage().convertToFormat(QImage::Format_RGB32);
        QCOMPARE(zoomed.size(), QSize(180, 120));
        for (int y = 0; y < 40; ++y)
            for (int x = 0; x < 60; ++x)
                for (int k = 0; k < 3; ++k)
                    QCOMPARE(zoomed.pixel(3 * x + k, 3 * y + 2 - k), pad.WorkBitmap().pixel(x, y));
        QTest::mousePress(&view, Qt::LeftButton, Qt::NoModifier, QPoint(48, 18)); // board (32, 12)
        QCOMPARE(pad.DragIndex, 0);
        QTest::mouseMove(&view, QPoint(18, 18));
        QTest::mouseRelease(&view, Qt::LeftButton, Qt::NoModifier, QPoint(18, 18));
        QCOMPARE(pad.Piece(0)->X, 10);
    }
};

int main(int argc, char *argv[])
{
    qputenv("QT_SCALE_FACTOR", "2");
    QApplication app(argc, argv);
    TestBoardViewHiDpi test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_boardview_hidpi.moc"
