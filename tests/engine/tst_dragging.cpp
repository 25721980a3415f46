#include "DataRoot.h"
#include "HandBoard.h"
#include "ZarvoPad.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <climits>

using namespace HandBoard;

// The board's mouse handling: which piece a press takes, how the grab point
// follows the piece, and what a release commits into the history.
class TestDragging : public QObject
{
    Q_OBJECT

    struct TEvents
    {
        int Moved = 0, Paints = 0, Downs = 0, DownDragIndex = -2;
        QList<bool> Confine;
    };

    // A field of 10 x 4 units of 10 pixels with the start position recorded,
    // as a loaded puzzle has it.
    static void Start(TZarvoPad &pad, TEvents &ev)
    {
        Frame(pad, 10, 4);
        pad.BackBitmap = QImage(100, 40, QImage::Format_RGB32);
        pad.BackBitmap.fill(Qt::gray);
        pad.OnMoved = [&ev](TZarvoPad &) { ++ev.Moved; };
        pad.OnPaint = [&ev](TZarvoPad &) { ++ev.Paints; };
        pad.OnConfineCursor = [&ev](TZarvoPad &, bool on) { ev.Confine << on; };
        pad.OnMouseDownEvent = [&ev](TZarvoPad &p, TMouseButton, TShiftState, int, int) {
            ++ev.Downs;
            ev.DownDragIndex = p.DragIndex;
        };
        pad.DragIndex = -1;
        pad.RecordPosition(0);
    }

    static void Drag(TZarvoPad &pad, int x0, int y0, int x1, int y1)
    {
        pad.MouseDown(mbLeft, ssLeft, x0, y0);
        pad.MouseMove(ssLeft, x1, y1);
        pad.MouseUp(mbLeft, 0, x1, y1);
    }

private Q_SLOTS:
    void pressTakesTopmostMovablePiece()
    {
        TZarvoPad pad;
        TEvents ev;
        Add(pad, 0, 0, 30, 30);         // 0
        Add(pad, 10, 10, 30, 30);       // 1, drawn over 0
        Add(pad, 12, 12, 5, 5, false);  // 2, fixed, does not take the press
        Add(pad, 60, 0, 10, 10, false); // 3, fixed alone
        Start(pad, ev);
        pad.Piece(1)->X = 11; // not committed yet: the press commits it as start
        pad.Piece(0)->PushDepth = 4;
        pad.PiecesChanged();

        pad.MouseDown(mbLeft, ssLeft, 15, 15);
        QCOMPARE(pad.DragIndex, 1);
        QCOMPARE(pad.LastHit, 1);
        QCOMPARE(pad.PrevHit, 0); // the first hit of a fresh board stands in
        QCOMPARE(pad.Piece(1)->OldX, 11);
        QCOMPARE(pad.Piece(0)->PushDepth, 0);
        QVERIFY(pad.Dragging && pad.ButtonDown);
        QCOMPARE(QPoint(pad.DownX, pad.DownY), QPoint(15, 15));
        QCOMPARE(QPoint(pad.HandX, pad.HandY), QPoint(15, 15));
        QCOMPARE(ev.Downs, 1);
        QCOMPARE(ev.DownDragIndex, 1); // the event comes after the hit test
        pad.MouseUp(mbLeft, 0, 15, 15);
        QVERIFY(!pad.Dragging && !pad.ButtonDown);

        pad.MouseDown(mbLeft, ssLeft, 5, 5);
        QCOMPARE(pad.DragIndex, 0);
        QCOMPARE(pad.PrevHit, 1);
        QCOMPARE(pad.LastHit, 0);
        pad.MouseUp(mbLeft, 0, 5, 5);

        // Right and bottom edges are outside the piece.
        pad.MouseDown(mbLeft, ssLeft, 41, 20);
        QCOMPARE(pad.DragIndex, -1);
        pad.MouseUp(mbLeft, 0, 41, 20);
        pad.MouseDown(mbLeft, ssLeft, 65, 5); // fixed piece
        QCOMPARE(pad.DragIndex, -1);
        QCOMPARE(pad.LastHit, 0);
        QCOMPARE(pad.PrevHit, 1);
        pad.MouseUp(mbLeft, 0, 65, 5);
    }

    void pieceFollowsTheGrabPoint()
    {
        TZarvoPad pad;
        TEvents ev;
        TZarvo *p = Add(pad, 10, 10, 30, 20);
        Start(pad, ev);
        pad.MouseDown(mbLeft, ssLeft, 15, 17);
        pad.MouseMove(ssLeft, 40, 20);
        QCOMPARE(Pos(p), QPoint(35, 13));
        QCOMPARE(QPoint(pad.DownX, pad.DownY), QPoint(40, 20));
        // Stopped by the frame: the reference point stays on the piece ...
        pad.MouseMove(ssLeft, 200, 20);
        QCOMPARE(Pos(p), QPoint(70, 13));
        QCOMPARE(QPoint(pad.DownX, pad.DownY), QPoint(75, 20));
        QCOMPARE(QPoint(pad.HandX, pad.HandY), QPoint(75, 20));
        // ... so the piece follows at once when the mouse comes back.
        pad.MouseMove(ssLeft, 60, 20);
        QCOMPARE(Pos(p), QPoint(55, 13));
        QCOMPARE(ev.Confine, (QList<bool>{true, true, true}));
        // A move to the reference point itself does nothing at all.
        pad.MouseMove(ssLeft, 60, 20);
        QCOMPARE(ev.Confine.size(), 3);
        pad.MouseUp(mbLeft, 0, 60, 20);
        QCOMPARE(ev.Confine.last(), false);
        QCOMPARE(ev.Moved, 1);
        QCOMPARE(p->OldX, 55);
        QCOMPARE(pad.MoveIndex, 1);
    }

    void pressBesideEveryPieceMovesNothing()
    {
        TZarvoPad pad;
        TEvents ev;
        TZarvo *p = Add(pad, 10, 10, 10, 10);
        TZarvo *f = Add(pad, 50, 10, 10, 10, false);
        Start(pad, ev);
        const QStringList history = pad.History;
        for (const QPoint at : {QPoint(80, 30), QPoint(55, 15)}) {
            pad.MouseDown(mbLeft, ssLeft, at.x(), at.y());
            pad.MouseMove(ssLeft, 30, 5);
            QCOMPARE(QPoint(pad.HandX, pad.HandY), at); // the hand stays put
            pad.MouseUp(mbLeft, 0, 30, 5);
        }
        QCOMPARE(Pos(p), QPoint(10, 10));
        QCOMPARE(Pos(f), QPoint(50, 10));
        QCOMPARE(ev.Moved, 2); // the release is still reported
        QCOMPARE(pad.History, history);
        QCOMPARE(pad.MoveIndex, 0);
    }

    void theBoardHoldsThePointerWhileDragging()
    {
        // As the window confines the pointer: a drag aimed far beyond the
        // board ends where one to its edge ends, and a piece placed outside
        // the board cannot be taken.
        TZarvoPad pad;
        TEvents ev;
        TZarvo *p = Add(pad, 10, 10, 10, 10);
        TZarvo *outside = Add(pad, 500, 10, 10, 10);
        Start(pad, ev);
        pad.MouseDown(mbLeft, ssLeft, 505, 15);
        QCOMPARE(pad.DragIndex, -1);
        pad.MouseUp(mbLeft, 0, 505, 15);
        pad.MouseDown(mbLeft, ssLeft, 15, 15);
        pad.MouseMove(ssLeft, INT_MAX, INT_MIN);
        QCOMPARE(Pos(p), QPoint(90, 0));
        pad.MouseMove(ssLeft, INT_MIN, INT_MAX);
        QCOMPARE(Pos(p), QPoint(0, 30));
        pad.MouseUp(mbLeft, 0, INT_MIN, INT_MAX);
        QCOMPARE(Pos(outside), QPoint(500, 10));
        QCOMPARE(pad.MoveIndex, 1);
    }

    void onlyTheLeftButtonDrags()
    {
        TZarvoPad pad;
        TEvents ev;
        TZarvo *p = Add(pad, 10, 10, 10, 10);
        Start(pad, ev);
        pad.MouseDown(mbRight, ssRight, 15, 15);
        QCOMPARE(pad.DragIndex, 0);
        const int paints = ev.Paints;
        pad.MouseMove(ssRight, 45, 15);
        QCOMPARE(Pos(p), QPoint(10, 10));
        QCOMPARE(QPoint(pad.HandX, pad.HandY), QPoint(45, 15)); // only the hand moves
        QVERIFY(ev.Paints > paints);
        QVERIFY(ev.Confine.isEmpty());
        pad.MouseUp(mbRight, 0, 45, 15);
        QCOMPARE(ev.Moved, 1);
        QCOMPARE(pad.History.size(), 1);

        // Moving without any press only moves the hand.
        pad.MouseMove(ssLeft, 30, 30);
        QCOMPARE(Pos(p), QPoint(10, 10));
        QVERIFY(pad.MouseInside);
    }

    void releaseWithoutPressReportsNothing()
    {
        TZarvoPad pad;
        TEvents ev;
        Add(pad, 10, 10, 10, 10);
        Start(pad, ev);
        pad.MouseUp(mbLeft, 0, 15, 15);
        QCOMPARE(ev.Moved, 0);
        QCOMPARE(ev.Confine, QList<bool>{false}); // the cursor is let go anyway
        QCOMPARE(pad.History.size(), 1);
    }

    void releaseRecordsOneMovePerPiece()
    {
        TZarvoPad pad;
        TEvents ev;
        Add(pad, 0, 0, 10, 10);  // A
        Add(pad, 50, 0, 10, 10); // B
        Start(pad, ev);
        // The same piece three times in a row is one move.
        Drag(pad, 5, 5, 15, 5);
        Drag(pad, 15, 5, 25, 5);
        Drag(pad, 25, 5, 25, 25);
        QCOMPARE(pad.MoveIndex, 1);
        QCOMPARE(pad.History.size(), 2);
        // A press and release without moving records nothing.
        pad.MouseDown(mbLeft, ssLeft, 55, 5);
        pad.MouseUp(mbLeft, 0, 55, 5);
        QCOMPARE(pad.MoveIndex, 1);
        // A, B, A: three moves.
        Drag(pad, 55, 5, 75, 5);
        Drag(pad, 25, 25, 35, 25);
        QCOMPARE(pad.MoveIndex, 3);
        // B back where it was before: the counter goes back with it.
        Drag(pad, 75, 5, 55, 5);
        QCOMPARE(pad.MoveIndex, 4);
        Drag(pad, 35, 25, 5, 5);
        QCOMPARE(pad.MoveIndex, 0);
        QCOMPARE(pad.History.size(), 5);
    }

    void aPushingDragIsOneEntry()
    {
        // Start: A at cell 5, B at cell 2. B goes to cell 3 (move 1); then A
        // pushes B back to cell 2 and stops at cell 3. B alone back at cell 2
        // would be the start position, but that was never a resting position
        // of this drag: the drag is move 2, and move 1 stays for undo.
        TZarvoPad pad;
        TEvents ev;
        TZarvo *a = Add(pad, 50, 0, 10, 10);
        TZarvo *b = Add(pad, 20, 0, 10, 10);
        Start(pad, ev);
        Drag(pad, 25, 5, 35, 5);
        QCOMPARE(pad.MoveIndex, 1);
        Drag(pad, 55, 5, 35, 5);
        QCOMPARE(Pos(a), QPoint(30, 0));
        QCOMPARE(Pos(b), QPoint(20, 0));
        QCOMPARE(pad.MoveIndex, 2);
        QCOMPARE(pad.History, QStringList({"5;0;2;0;", "5;0;3;0;", "3;0;2;0;"}));
        QCOMPARE(b->PushDepth, 0);
        QCOMPARE(ev.Moved, 2);

        // A chain of three in the bottom row of a 4 x 5 field: the push of
        // both ahead passes through the position after the first move, which
        // must neither take the counter back nor cut the entry after it.
        TZarvoPad row;
        Frame(row, 4, 5);
        row.BackBitmap = QImage(40, 50, QImage::Format_RGB32);
        Add(row, 10, 30, 10, 10); // P at (1, 3)
        Add(row, 0, 40, 10, 10);  // Q at (0, 4)
        Add(row, 30, 40, 10, 10); // R at (3, 4)
        row.RecordPosition(0);
        Drag(row, 15, 35, 15, 45); // P down
        Drag(row, 5, 45, 15, 45);  // Q right, pushing P
        Drag(row, 35, 45, 25, 45); // R left, pushing both
        QCOMPARE(row.MoveIndex, 3);
        QCOMPARE(row.History,
                 QStringList({"1;3;0;4;3;4;", "1;4;0;4;3;4;", "2;4;1;4;3;4;", "1;4;0;4;2;4;"}));
    }

    void compoundPieceCommitsOnce()
    {
        TZarvoPad pad;
        TEvents ev;
        TZarvo *m = Add(pad, 0, 0, 10, 20);
        TZarvo *q = Add(pad, 10, 10, 10, 10);
        Link({m, q});
        TZarvo *o = Add(pad, 40, 10, 10, 10);
        Start(pad, ev);
        Drag(pad, 15, 15, 45, 15); // by the second part, pushing o
        QCOMPARE(Pos(m), QPoint(30, 0));
        QCOMPARE(Pos(q), QPoint(40, 10));
        QCOMPARE(Pos(o), QPoint(50, 10));
        for (TZarvo *p : {m, q, o})
            QCOMPARE(QPoint(p->OldX, p->OldY), Pos(p));
        QCOMPARE(m->PushDepth, 0);
        QCOMPARE(q->PushDepth, 0);
        QCOMPARE(pad.MoveIndex, 1);
        QCOMPARE(pad.History.size(), 2);
        // Grabbed again by its other part, it is still the same piece: the
        // drag replaces its entry instead of counting a second move.
        Drag(pad, 35, 5, 35, 25);
        QCOMPARE(Pos(m), QPoint(30, 20));
        QCOMPARE(pad.MoveIndex, 1);
        QCOMPARE(pad.History.size(), 2);
    }

    void whileTheGoalIsShownNothingIsDragged()
    {
        TZarvoPad pad;
        TEvents ev;
        TZarvo *p = Add(pad, 0, 0, 10, 10);
        Add(pad, 20, 0, 10, 10);
        TZarvo *g = Add(pad, 0, 30, 10, 10, true, QString(), &pad.Objects);
        Start(pad, ev);

        // A press on a goal piece, or on a piece under the goal, takes nothing.
        pad.SetShowObject(true);
        for (const QPoint at : {QPoint(5, 35), QPoint(5, 5)}) {
            pad.MouseDown(mbLeft, ssLeft, at.x(), at.y());
            pad.MouseMove(ssLeft, at.x() + 30, at.y());
            pad.MouseUp(mbLeft, 0, at.x() + 30, at.y());
        }
        QCOMPARE(Pos(g), QPoint(0, 30));
        QVERIFY(!pad.Dragging);
        QCOMPARE(ev.Downs, 0);
        QCOMPARE(ev.Moved, 0);
        pad.SetShowObject(false);
        QCOMPARE(Pos(p), QPoint(0, 0));
        QCOMPARE(pad.History, QStringList{"0;0;2;0;"});
        QCOMPARE(pad.MoveIndex, 0);

        // The goal shown during a drag ends it: what was moved is one move,
        // and the rest of that drag moves nothing.
        pad.MouseDown(mbLeft, ssLeft, 5, 5);
        pad.MouseMove(ssLeft, 5, 15);
        pad.SetShowObject(true);
        QVERIFY(!pad.Dragging);
        QCOMPARE(ev.Confine.last(), false);
        pad.MouseMove(ssLeft, 5, 35);
        pad.MouseUp(mbLeft, 0, 5, 35);
        QCOMPARE(Pos(g), QPoint(0, 30));
        pad.SetShowObject(false);
        QCOMPARE(Pos(p), QPoint(0, 10));
        QCOMPARE(pad.History, QStringList({"0;0;2;0;", "0;1;2;0;"}));
        QCOMPARE(pad.MoveIndex, 1);
        QCOMPARE(ev.Moved, 1);
    }

    void ctrlDoubleClickOnBackgroundSavesPicture()
    {
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkpath("Data"));
        DataRoot::UseRoot(dir.path());
        TZarvoPad pad;
        TEvents ev;
        Add(pad, 10, 10, 10, 10);
        Start(pad, ev);
        pad.FileName = QStringLiteral("Bild.zrv");
        const QString bmp = DataRoot::DataDir() + QStringLiteral("Bild.bmp");
        pad.MouseDown(mbLeft, ssLeft | ssCtrl | ssDouble, 15, 15); // on a piece
        pad.MouseUp(mbLeft, 0, 15, 15);
        QVERIFY(!QFile::exists(bmp));
        pad.MouseDown(mbLeft, ssLeft | ssDouble, 50, 30); // without Ctrl
        pad.MouseUp(mbLeft, 0, 50, 30);
        QVERIFY(!QFile::exists(bmp));
        pad.MouseDown(mbLeft, ssLeft | ssCtrl | ssDouble, 50, 30);
        pad.MouseUp(mbLeft, 0, 50, 30);
        QVERIFY(QFile::exists(bmp));
    }
};

QTEST_MAIN(TestDragging)
#include "tst_dragging.moc"
