#include "ZarvoPad.h"

#include <QTest>

// Where undo and redo land while a button is held, by single steps and by
// menu steps.
class TestUndoRedo : public QObject
{
    Q_OBJECT

    static QList<int> HoldUndo(int from, int &repeat)
    {
        QList<int> steps;
        int n = from;
        while (n > 0) {
            n = UndoTarget(n, repeat, false);
            steps << n;
        }
        return steps;
    }

    static QList<int> HoldRedo(int from, int entries, int &repeat)
    {
        QList<int> steps;
        int n = from;
        while (n < entries - 1) {
            n = RedoTarget(n, entries, repeat, false);
            steps << n;
        }
        return steps;
    }

private Q_SLOTS:
    void holdingUndoJumpsAfterTenSteps()
    {
        int repeat = 0;
        QCOMPARE(HoldUndo(37, repeat),
                 (QList<int>{36, 35, 34, 33, 32, 31, 30, 29, 28, 27, 25, 20, 15, 10, 5, 0}));
        QCOMPARE(repeat, 0); // reset on reaching the start

        // Short of ten steps nothing jumps, and the count stays for the
        // next repeat of the same button.
        repeat = 0;
        QCOMPARE(HoldUndo(4, repeat), (QList<int>{3, 2, 1, 0}));
        repeat = 0;
        QCOMPARE(UndoTarget(12, repeat, false), 11);
        QCOMPARE(repeat, 1);
    }

    void holdingRedoJumpsAndStopsAtTheEnd()
    {
        int repeat = 0;
        QCOMPARE(HoldRedo(0, 23, repeat), (QList<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 15, 20, 22}));
        QCOMPARE(repeat, 0);

        // A jump that lands exactly on a multiple of five inside the list.
        repeat = 10;
        QCOMPARE(RedoTarget(10, 40, repeat, false), 15);
        QCOMPARE(repeat, 11);
        QCOMPARE(RedoTarget(15, 40, repeat, false), 20);
        // The last entry ends the acceleration.
        repeat = 3;
        QCOMPARE(RedoTarget(38, 40, repeat, false), 39);
        QCOMPARE(repeat, 0);
    }

    void menuStepsAreSingleAndReset()
    {
        int repeat = 25;
        QCOMPARE(UndoTarget(37, repeat, true), 36);
        QCOMPARE(repeat, 0);
        repeat = 25;
        QCOMPARE(RedoTarget(3, 23, repeat, true), 4);
        QCOMPARE(repeat, 0);
        // Repeated menu steps never accelerate.
        int n = 30;
        for (int i = 0; i < 15; ++i)
            n = UndoTarget(n, repeat, true);
        QCOMPARE(n, 15);
    }

    void keyStepsShareTheCountWithButtons()
    {
        // Window keys are not reset by anything but the ends: undo and redo
        // count together, and the eleventh step in a row jumps.
        int repeat = 0;
        int n = 20;
        for (int i = 0; i < 5; ++i)
            n = UndoTarget(n, repeat, false);
        QCOMPARE(n, 15);
        for (int i = 0; i < 5; ++i)
            n = RedoTarget(n, 40, repeat, false);
        QCOMPARE(n, 20);
        QCOMPARE(repeat, 10);
        n = UndoTarget(n, repeat, false); // 19, rounded down
        QCOMPARE(n, 15);
        n = RedoTarget(n, 40, repeat, false); // 16, rounded up
        QCOMPARE(n, 20);
    }

    void neverLeavesTheHistory()
    {
        int repeat = 0;
        QCOMPARE(UndoTarget(0, repeat, false), 0);
        QCOMPARE(repeat, 0);
        QCOMPARE(RedoTarget(4, 5, repeat, false), 4);
        QCOMPARE(RedoTarget(0, 1, repeat, false), 0);
        repeat = 50;
        QCOMPARE(RedoTarget(1, 3, repeat, false), 2);
        QCOMPARE(repeat, 0);
    }
};

QTEST_GUILESS_MAIN(TestUndoRedo)
#include "tst_undoredo.moc"
