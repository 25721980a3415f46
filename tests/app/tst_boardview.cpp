// The board view: pieces dragged with the mouse through the widget, the hand
// picture in place of the pointer, the pointer held on the board during a
// drag, the board picture saved by Ctrl + double click.
#include "BoardView.h"
#include "DataRoot.h"
#include "Settings.h"
#include "ZarvoPad.h"

#include <QCursor>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QtMath>
#include <cmath>

namespace {

QImage Solid(int w, int h, QRgb colour)
{
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}

// A field of 4 x 2 cells of 40 pixels at (20, 20) on a 200 x 120 board, with
// piece A at cell (0, 0), piece B at (1, 0) and a fixed piece at (3, 1).
std::unique_ptr<TZarvoPad> MakeBoard()
{
    auto pad = std::make_unique<TZarvoPad>();
    pad->UnitSize = 40;
    pad->Offset = QPoint(20, 20);
    pad->FrameSize = QPoint(4, 2);
    pad->FrameRect = {20, 20, 180, 100};
    pad->BackBitmap = Solid(200, 120, qRgb(90, 60, 30));
    QImage faces = Solid(200, 120, qRgb(200, 200, 200));
    faces.fill(qRgb(200, 200, 200));
    for (int y = 20; y < 60; ++y)
        for (int x = 100; x < 140; ++x)
            faces.setPixel(x, y, qRgb(10, 120, 10)); // the fixed piece's face
    pad->ZarvoBitmap = faces;
    const int cells[][3] = {{0, 0, 1}, {1, 0, 1}, {3, 1, 0}};
    for (const auto &c : cells) {
        auto p = std::make_unique<TZarvo>();
        p->TypeName = QStringLiteral("Zarvo11");
        p->X = p->OldX = pad->ColToX(c[0]);
        p->Y = p->OldY = pad->RowToY(c[1]);
        p->ImageX = c[2] ? pad->ColToX(c[0]) : 100;
        p->ImageY = c[2] ? pad->RowToY(c[1]) : 20;
        p->Width = p->Height = 40;
        p->Movable = c[2] != 0;
        p->Caption = QString();
        p->EdgeTop = p->EdgeRight = p->EdgeBottom = p->EdgeLeft = true;
        pad->Pieces.push_back(std::move(p));
    }
    pad->PaintBackgroundBevels();
    pad->PrerenderPictures();
    pad->History.clear();
    pad->RecordPosition(0);
    pad->Redraw();
    return pad;
}

} // namespace

class TestBoardView : public QObject
{
    Q_OBJECT

    QTemporaryDir FRoot;

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(FRoot.isValid());
        DataRoot::UseRoot(FRoot.path());
        QDir().mkpath(DataRoot::DataDir());
    }

    void dragMovesThePieceAndRecordsTheMove()
    {
        auto pad = MakeBoard();
        TBoardView view(pad.get());
        view.resize(view.sizeHint());
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        int moved = 0;
        pad->OnMoved = [&](TZarvoPad &) { ++moved; };

        // B goes two cells right, to the end of the field; A stays.
        const QPoint from(80, 40);
        QTest::mousePress(&view, Qt::LeftButton, Qt::NoModifier, from);
        QVERIFY(pad->ButtonDown);
        QCOMPARE(pad->DragIndex, 1);
        for (int step = 1; step <= 8; ++step)
            QTest::mouseMove(&view, from + QPoint(10 * step, 0));
        QCOMPARE(QWidget::mouseGrabber(), &view); // the pointer is held on the board
        QTest::mouseRelease(&view, Qt::LeftButton, Qt::NoModifier, from + QPoint(80, 0));
        QCOMPARE(QWidget::mouseGrabber(), nullptr);

        QCOMPARE(pad->Piece(1)->X, 140);
        QCOMPARE(pad->Piece(0)->X, 20);
        QCOMPARE(moved, 1);
        QCOMPARE(pad->MoveIndex, 1);
        QCOMPARE(pad->History.size(), 2);
        QVERIFY(!pad->ButtonDown);

        // The screen shows the piece where it now lies.
        QTRY_COMPARE(pad->WorkBitmap().pixel(150, 30), pad->ZarvoBitmap.pixel(70, 30));
        view.repaint();
        const QImage shown = view.grab().toImage().convertToFormat(QImage::Format_RGB32);
        QCOMPARE(shown.pixel(25, 25), pad->WorkBitmap().pixel(25, 25));
        QCOMPARE(shown.pixel(190, 110), pad->WorkBitmap().pixel(190, 110));
    }

    void pressBesidePiecesMovesNothing()
    {
        auto pad = MakeBoard();
        TBoardView view(pad.get());
        view.resize(view.sizeHint());
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        int moved = 0;
        pad->OnMoved = [&](TZarvoPad &) { ++moved; };
        // On the fixed piece, then with the right button on a movable one.
        QTest::mousePress(&view, Qt::LeftButton, Qt::NoModifier, QPoint(150, 80));
        QTest::mouseMove(&view, QPoint(60, 80));
        QTest::mouseRelease(&view, Qt::LeftButton, Qt::NoModifier, QPoint(60, 80));
        QTest::mousePress(&view, Qt::RightButton, Qt::NoModifier, QPoint(40, 40));
        QTest::mouseMove(&view, QPoint(40, 90));
        QTest::mouseRelease(&view, Qt::RightButton, Qt::NoModifier, QPoint(40, 90));
        QCOMPARE(moved, 2);
        QCOMPARE(pad->Piece(0)->Y, 20);
        QCOMPARE(pad->Piece(2)->X, 140);
        QCOMPARE(pad->MoveIndex, 0);
    }

    void pointerHeldOnTheBoardDuringADrag()
    {
        auto pad = MakeBoard();
        TBoardView view(pad.get());
        view.resize(view.sizeHint());
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        QTest::mousePress(&view, Qt::LeftButton, Qt::NoModifier, QPoint(30, 30));
        QTest::mouseMove(&view, QPoint(30, -300));
        QVERIFY(pad->HandY >= 0);
        QTest::mouseMove(&view, QPoint(900, 30));
        QVERIFY(pad->HandX < pad->Width());
        QTest::mouseRelease(&view, Qt::LeftButton, Qt::NoModifier, QPoint(900, 30));
        // Held at the right edge, A pushed B to the end of the row and
        // followed it; upward the frame stopped it.
        QCOMPARE(pad->Piece(0)->X, 100);
        QCOMPARE(pad->Piece(1)->X, 140);
        QCOMPARE(pad->Piece(0)->Y, 20);
    }

    void handFollowsThePointerAndGoesWhenItLeaves()
    {
        auto pad = MakeBoard();
        // The option is read at every paint, whatever the board was given.
        pad->Cursor64 = true;
        Settings().Cursor64 = false;
        TBoardView view(pad.get());
        view.resize(view.sizeHint());
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        QCOMPARE(view.cursor().shape(), Qt::BlankCursor);

        const QPoint at(100, 60);
        QCursor::setPos(view.mapToGlobal(at));
        QTest::mouseMove(&view, at);
        QTRY_VERIFY(view.HandShown());
        QVERIFY(view.MouseWatchActive());
        const QImage shown = view.grab().toImage().convertToFormat(QImage::Format_RGB32);
        // The open 32-pixel hand is drawn from (HandX - 3, HandY - 4).
        int handPixels = 0;
        for (int y = 0; y < 32; ++y)
            for (int x = 0; x < 32; ++x) {
                const QRgb h = pad->Hand32Up.pixel(x, y);
                if ((h & 0xFFFFFF) != 0xFFFFFF) {
                    QCOMPARE(shown.pixel(97 + x, 56 + y) & 0xFFFFFF, h & 0xFFFFFF);
                    ++handPixels;
                }
            }
        QVERIFY(handPixels > 100);
        QVERIFY(!pad->Cursor64);
        Settings().Cursor64 = true;

        // The pointer leaves; within a watch period the hand is gone and the
        // watch has stopped.
        QCursor::setPos(view.mapToGlobal(QPoint(-200, -200)));
        QTRY_VERIFY_WITH_TIMEOUT(!view.MouseWatchActive(), 1000);
        view.repaint();
        QVERIFY(!view.HandShown());
        QCOMPARE(view.grab().toImage().convertToFormat(QImage::Format_RGB32), pad->WorkBitmap());
    }

    void goalShownWithoutHand()
    {
        auto pad = MakeBoard();
        TBoardView view(pad.get());
        view.resize(view.sizeHint());
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        QCursor::setPos(view.mapToGlobal(QPoint(100, 60)));
        QTest::mouseMove(&view, QPoint(100, 60));
        pad->ShowObject = true;
        view.setEnabled(false);
        QCOMPARE(view.cursor().shape(), Qt::ArrowCursor);
        view.repaint();
        QVERIFY(!view.HandShown());
        QCOMPARE(view.grab().toImage().convertToFormat(QImage::Format_RGB32), pad->ObjectBitmap());
    }

    void ctrlDoubleClickOnTheBackgroundSavesTheBoard()
    {
        auto pad = MakeBoard();
        pad->FileName = QStringLiteral("Bild.zrv");
        TBoardView view(pad.get());
        view.resize(view.sizeHint());
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        const QString file = DataRoot::DataDir() + QStringLiteral("Bild.bmp");
        QFile::remove(file);
        QTest::mouseDClick(&view, Qt::LeftButton, Qt::ControlModifier, QPoint(40, 40)); // on A
        QVERIFY(!QFile::exists(file));
        QTest::mouseDClick(&view, Qt::LeftButton, Qt::NoModifier, QPoint(100, 90));
        QVERIFY(!QFile::exists(file));
        QTest::mouseDClick(&view, Qt::LeftButton, Qt::ControlModifier, QPoint(100, 90));
        QVERIFY(QFile::exists(file));
        QCOMPARE(QImage(file).convertToFormat(QImage::Format_RGB32), pad->WorkBitmap());
    }

    // At every zoom a press meets the piece under it, the drag follows the
    // pointer in board pixels, the pointer stays on the board, whole
    // factors show sharp blocks and the saved picture keeps the board's size.
    void zoomMapsThePointerToTheBoard_data()
    {
        QTest::addColumn<double>("zoom");
        for (double z : {0.5, 1.5, 2.0, 3.0})
            QTest::newRow(qPrintable(QString::number(z))) << z;
    }

    void zoomMapsThePointerToTheBoard()
    {
        QFETCH(double, zoom);
        auto pad = MakeBoard();
        pad->FileName = QStringLiteral("Zoom.zrv");
        TBoardView view(pad.get());
        view.SetZoom(zoom);
        QCOMPARE(view.sizeHint(), QSize(qCeil(200 * zoom), qCeil(120 * zoom)));
        view.resize(view.sizeHint());
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        QCOMPARE(view.Smoothed(), zoom != std::floor(zoom));
        auto at = [zoom](int x, int y) { return QPointF(x * zoom, y * zoom).toPoint(); };
        QCOMPARE(view.BoardPoint(at(80, 40)), QPoint(80, 40));

        QTest::mousePress(&view, Qt::LeftButton, Qt::NoModifier, at(80, 40));
        QCOMPARE(pad->DragIndex, 1);
        for (int step = 1; step <= 4; ++step)
            QTest::mouseMove(&view, at(80 + 10 * step, 40));
        QTest::mouseMove(&view, at(80 + 40, 500)); // held on the board
        QVERIFY(pad->HandY < pad->Height());
        QTest::mouseRelease(&view, Qt::LeftButton, Qt::NoModifier, at(80 + 40, 40));
        QCOMPARE(pad->Piece(1)->X, 100);
        QCOMPARE(pad->Piece(0)->X, 20);

        if (!view.Smoothed()) {
            view.repaint();
            const QImage shown = view.grab().toImage().convertToFormat(QImage::Format_RGB32);
            const int z = int(zoom);
            for (const QPoint &p : {QPoint(5, 5), QPoint(100, 30), QPoint(150, 70)})
                for (int k = 0; k < z; ++k)
                    QCOMPARE(shown.pixel(p.x() * z + k, p.y() * z + k), pad->WorkBitmap().pixel(p));
        }
        const QString file = DataRoot::DataDir() + QStringLiteral("Zoom.bmp");
        QFile::remove(file);
        QTest::mouseDClick(&view, Qt::LeftButton, Qt::ControlModifier, at(150, 90));
        QCOMPARE(QImage(file).convertToFormat(QImage::Format_RGB32), pad->WorkBitmap());
    }

    // The selected piece is framed on the screen only, while the view has
    // the focus; the board's own pictures never carry the frame.
    void selectionFrameIsOnTheScreenOnly()
    {
        auto pad = MakeBoard();
        TBoardView view(pad.get());
        view.resize(view.sizeHint());
        view.show();
        QVERIFY(QTest::qWaitForWindowActive(&view));
        view.setFocus();
        const QImage board = pad->WorkBitmap();
        view.SetSelection(1);
        QCOMPARE(view.SelectionRect(), QRect(60, 20, 40, 40));
        view.repaint();
        QImage shown = view.grab().toImage().convertToFormat(QImage::Format_RGB32);
        QCOMPARE(pad->WorkBitmap(), board);
        QCOMPARE(shown.pixel(60, 40), qRgb(255, 255, 255)); // on the piece's edge
        QCOMPARE(shown.pixel(80, 40), board.pixel(80, 40)); // the face is left alone
        view.clearFocus();
        view.repaint();
        shown = view.grab().toImage().convertToFormat(QImage::Format_RGB32);
        QCOMPARE(shown, board);
    }

    void viewLetsGoOfItsBoard()
    {
        auto pad = MakeBoard();
        {
            TBoardView view(pad.get());
            QVERIFY(pad->OnPaint);
        }
        QVERIFY(!pad->OnPaint);
        QVERIFY(!pad->OnConfineCursor);
        pad->Redraw(); // no view left to tell
    }
};

QTEST_MAIN(TestBoardView)
#include "tst_boardview.moc"
