#include "DataRoot.h"
#include "MultiEdit.h"
#include "TimerSpeedButton.h"

#include <QApplication>
#include <QClipboard>
#include <QDialog>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QVBoxLayout>

// The numeric edit of the expert and the properties dialog.
class TestMultiEdit : public QObject
{
    Q_OBJECT

    QTemporaryDir Root;

    // A window with the edit and a second control to move the focus to.
    struct TForm
    {
        QDialog Window;
        TMultiEdit *Edit;
        QPushButton *Ok;
        TForm(int min, int max, double increment, int value)
        {
            auto *layout = new QVBoxLayout(&Window);
            Edit = new TMultiEdit(&Window);
            Ok = new QPushButton(QStringLiteral("OK"), &Window);
            Ok->setDefault(true);
            QObject::connect(Ok, &QPushButton::clicked, &Window, &QDialog::accept);
            layout->addWidget(Edit);
            layout->addWidget(Ok);
            Edit->SetIntValMin(min);
            Edit->SetIntValMax(max);
            Edit->SetIncrement(increment);
            Edit->SetIntVal(value);
            Window.show();
            Window.activateWindow();
            if (QTest::qWaitForWindowActive(&Window))
                Edit->setFocus();
        }
        void Leave() { Ok->setFocus(); }
    };

    static void Type(QWidget *w, const QString &keys)
    {
        for (QChar c : keys)
            QTest::keyClick(w, c.toLatin1());
    }
    static QColor Background(const TMultiEdit *e) { return e->palette().color(QPalette::Base); }
    static QColor TextColor(const TMultiEdit *e) { return e->palette().color(QPalette::Text); }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(Root.isValid());
        DataRoot::UseRoot(Root.path());
    }

    void upStepsByTheIncrement()
    {
        TForm f(5, 1000, 5, 50);
        QVERIFY(f.Edit->hasFocus());
        QTest::keyClick(f.Edit, Qt::Key_Up);
        QCOMPARE(f.Edit->IntVal(), 55);
        QCOMPARE(f.Edit->text(), QString("55"));
        QCOMPARE(f.Edit->selectedText(), QString("55"));
        QTest::keyClick(f.Edit, Qt::Key_Down);
        QTest::keyClick(f.Edit, Qt::Key_Down);
        QCOMPARE(f.Edit->IntVal(), 45);
    }

    void holdingAKeyAccelerates()
    {
        TForm f(5, 1000, 5, 50);
        QList<int> values;
        for (int i = 0; i < 21; ++i) {
            // A held key: presses, and only auto-repeat releases between them.
            QTest::keyPress(f.Edit, Qt::Key_Up);
            QKeyEvent repeatRelease(QEvent::KeyRelease, Qt::Key_Up, Qt::NoModifier, QString(),
                                    true);
            QApplication::sendEvent(f.Edit, &repeatRelease);
            values << f.Edit->IntVal();
        }
        const QList<int> expected = {55,  60,  65,  70,  75,  80,  85,  90,  95,   100, 150,
                                     200, 250, 300, 350, 400, 450, 500, 550, 1000, 1000};
        QCOMPARE(values, expected);
        QCOMPARE(f.Edit->RepeatCount(), 21);
        QTest::keyRelease(f.Edit, Qt::Key_Up);
        QCOMPARE(f.Edit->RepeatCount(), 0);
        QTest::keyClick(f.Edit, Qt::Key_Down);
        QCOMPARE(f.Edit->IntVal(), 995);
    }

    void spinButtonStepsAndItsReleaseEndsTheRun()
    {
        TForm f(5, 1000, 5, 50);
        TSSpinButton *spin = f.Edit->SpinButton();
        QSignalSpy change(f.Edit, &TMultiEdit::Change);
        QTest::mousePress(spin->UpButton(), Qt::LeftButton, {}, QPoint(3, 3));
        QCOMPARE(f.Edit->IntVal(), 55);
        QCOMPARE(f.Edit->RepeatCount(), 1);
        QTest::mouseRelease(spin->UpButton(), Qt::LeftButton, {}, QPoint(3, 3));
        QCOMPARE(f.Edit->RepeatCount(), 0);
        QTest::mouseClick(spin->DownButton(), Qt::LeftButton, {},
                          spin->DownButton()->rect().center());
        QCOMPARE(f.Edit->IntVal(), 50);
        QCOMPARE(change.size(), 2);
        // Held: repeats come and climb.
        QTest::mousePress(spin->UpButton(), Qt::LeftButton, {}, QPoint(3, 3));
        QTRY_VERIFY_WITH_TIMEOUT(f.Edit->IntVal() >= 60, 3000);
        QTest::mouseRelease(spin->UpButton(), Qt::LeftButton, {}, QPoint(3, 3));
        QCOMPARE(f.Edit->RepeatCount(), 0);
    }

    void typedTextIsPendingUntilTaken()
    {
        TForm f(5, 1000, 5, 50);
        QSignalSpy change(f.Edit, &TMultiEdit::Change);
        const QColor normalText = TextColor(f.Edit);
        f.Edit->selectAll();
        Type(f.Edit, "2000");
        QCOMPARE(f.Edit->text(), QString("2000"));
        QVERIFY(f.Edit->Pending());
        QCOMPARE(TextColor(f.Edit), QColor(Qt::blue));
        QCOMPARE(change.size(), 0);
        QCOMPARE(f.Edit->IntVal(), 50);
        f.Leave();
        QCOMPARE(f.Edit->text(), QString("1000"));
        QCOMPARE(f.Edit->IntVal(), 1000);
        QVERIFY(!f.Edit->Pending());
        QCOMPARE(TextColor(f.Edit), normalText);
        QCOMPARE(change.size(), 1);

        f.Edit->setFocus();
        f.Edit->selectAll();
        Type(f.Edit, "3");
        QTest::keyClick(f.Edit, Qt::Key_Return); // taken; the dialog stays open
        QCOMPARE(f.Edit->text(), QString("5"));
        QVERIFY(f.Window.isVisible());
        QCOMPARE(change.size(), 2);
    }

    void clearedOrUnreadableTextBringsTheOldValueBack()
    {
        TForm f(5, 1000, 5, 50);
        QSignalSpy change(f.Edit, &TMultiEdit::Change);
        f.Edit->selectAll();
        QTest::keyClick(f.Edit, Qt::Key_Backspace);
        QCOMPARE(f.Edit->text(), QString(""));
        QVERIFY(f.Edit->Pending());
        f.Leave();
        QCOMPARE(f.Edit->text(), QString("50"));
        QCOMPARE(change.size(), 0);
        // Letters and blanks are not typed at all.
        f.Edit->setFocus();
        f.Edit->setCursorPosition(2);
        Type(f.Edit, "a x.");
        QCOMPARE(f.Edit->text(), QString("50"));
        QVERIFY(!f.Edit->Pending());
        // Pasted text is pending and read when the edit is left.
        QApplication::clipboard()->setText(QStringLiteral("abc"));
        f.Edit->selectAll();
        f.Edit->paste();
        QVERIFY(f.Edit->Pending());
        f.Leave();
        QCOMPARE(f.Edit->text(), QString("50"));
        QCOMPARE(change.size(), 0);
    }

    void minusOnlyDeletesTheSelectionWhenTheRangeIsPositive()
    {
        TForm f(0, 20, 1, 12);
        f.Edit->selectAll();
        QTest::keyClick(f.Edit, '-');
        QCOMPARE(f.Edit->text(), QString(""));
        f.Leave();
        QCOMPARE(f.Edit->text(), QString("12"));
        f.Edit->setFocus();
        f.Edit->setCursorPosition(0);
        QTest::keyClick(f.Edit, '-');
        QCOMPARE(f.Edit->text(), QString("12"));
        QCOMPARE(f.Edit->IntVal(), 12);
    }

    void minusSwitchesTheSignAtOnceWhenNegativesAreAllowed()
    {
        TForm f(-10, 10, 1, 5);
        QSignalSpy change(f.Edit, &TMultiEdit::Change);
        f.Edit->setCursorPosition(1);
        QTest::keyClick(f.Edit, '-');
        QCOMPARE(f.Edit->IntVal(), -5);
        QCOMPARE(f.Edit->text(), QString("-5"));
        QVERIFY(!f.Edit->Pending());
        QCOMPARE(change.size(), 1);
        // A digit typed before the sign lands behind it.
        f.Edit->setCursorPosition(0);
        QTest::keyClick(f.Edit, '3');
        QCOMPARE(f.Edit->text(), QString("-35"));
        QTest::keyClick(f.Edit, Qt::Key_Enter);
        QCOMPARE(f.Edit->IntVal(), -10);
        QTest::keyClick(f.Edit, '-');
        QCOMPARE(f.Edit->IntVal(), 10);
        QCOMPARE(change.size(), 3);
    }

    void enterWithoutPendingTypingReachesTheDialog()
    {
        TForm f(0, 20, 1, 2);
        QTest::keyClick(f.Edit, Qt::Key_Return);
        QCOMPARE(f.Window.result(), int(QDialog::Accepted));
        TForm g(0, 20, 1, 2);
        g.Window.setResult(-1);
        QTest::keyClick(g.Edit, Qt::Key_Escape);
        QCOMPARE(g.Window.result(), int(QDialog::Rejected));
        QVERIFY(!g.Window.isVisible());
    }

    void enteringSelectsTheWholeText()
    {
        TForm f(0, 20, 1, 12);
        f.Leave();
        f.Edit->deselect();
        QTest::keyClick(f.Ok, Qt::Key_Backtab);
        QVERIFY(f.Edit->hasFocus());
        QCOMPARE(f.Edit->selectedText(), QString("12"));
    }

    void readOnlyEditTakesNoTyping()
    {
        TForm f(-10, 10, 1, 4);
        f.Edit->setReadOnly(true);
        f.Edit->setCursorPosition(1);
        Type(f.Edit, "7-");
        QCOMPARE(f.Edit->text(), QString("4"));
        QCOMPARE(f.Edit->IntVal(), 4);
        QVERIFY(!f.Edit->Pending());
    }

    void stepTakesPendingTypingFirst()
    {
        TForm f(0, 20, 1, 2);
        f.Edit->selectAll();
        Type(f.Edit, "15");
        QTest::keyClick(f.Edit, Qt::Key_Up);
        QCOMPARE(f.Edit->IntVal(), 16);
        QVERIFY(!f.Edit->Pending());
    }

    void changeFiresOnlyOnARealChange()
    {
        TMultiEdit e;
        e.SetIntValMin(0);
        e.SetIntValMax(20);
        QSignalSpy change(&e, &TMultiEdit::Change);
        e.SetIntVal(0);
        QCOMPARE(change.size(), 0);
        e.SetIntVal(25); // clamped to 20
        QCOMPARE(change.size(), 1);
        e.SetIntVal(30); // clamped to 20 again: no change
        QCOMPARE(change.size(), 1);
        QCOMPARE(e.IntVal(), 20);
        e.SetFloatVal(7.9);
        QCOMPARE(e.IntVal(), 7); // cut toward zero
        QCOMPARE(e.text(), QString("7"));
    }

    void equalMinimumAndMaximumMeanNoRange()
    {
        TMultiEdit e;
        e.SetIntVal(123456);
        QCOMPARE(e.IntVal(), 123456);
        e.SetIntValMin(7);
        e.SetIntValMax(7);
        e.SetIntVal(-99);
        QCOMPARE(e.IntVal(), -99);
    }

    void rangeSettersKeepTheValueInside()
    {
        TMultiEdit e;
        QSignalSpy change(&e, &TMultiEdit::Change);
        // The order a window sets them in: minimum, maximum, value.
        e.SetIntValMin(5);
        e.SetIntValMax(1000);
        QCOMPARE(e.IntValMin(), 5);
        QCOMPARE(e.IntValMax(), 1000);
        QCOMPARE(e.IntVal(), 5);
        e.SetIntVal(50);
        e.SetIntValMin(60);
        QCOMPARE(e.IntVal(), 60);
        e.SetIntValMax(55); // below the minimum: the pair closes, no range
        QCOMPARE(e.IntValMin(), 55);
        QCOMPARE(e.IntValMax(), 55);
        QCOMPARE(e.IntVal(), 60);
        e.SetIntValMax(100);
        QCOMPARE(e.IntVal(), 60);
        e.SetIntValMax(58);
        QCOMPARE(e.IntVal(), 58);
        QCOMPARE(change.size(), 4);
    }

    void incrementRoundsHalvesToEven()
    {
        TMultiEdit e;
        QCOMPARE(e.EffectiveStep(), 1);
        e.SetIncrement(2.5);
        QCOMPARE(e.EffectiveStep(), 2);
        e.SetIncrement(3.5);
        QCOMPARE(e.EffectiveStep(), 4);
        e.SetIncrement(0.4);
        QCOMPARE(e.EffectiveStep(), 1);
        e.SetIncrement(-5);
        QCOMPARE(e.EffectiveStep(), 1);
        e.SetIncrement(5);
        QCOMPARE(e.EffectiveStep(), 5);
    }

    void zeroShowsTheScrollBarColour()
    {
        const QPalette app = QApplication::palette();
        QVERIFY(app.color(QPalette::Button) != app.color(QPalette::Base));
        TForm f(0, 20, 1, 0);
        QCOMPARE(Background(f.Edit), app.color(QPalette::Button));
        f.Edit->SetIntVal(1);
        QCOMPARE(Background(f.Edit), app.color(QPalette::Base));
        f.Edit->SetIntVal(0);
        QCOMPARE(Background(f.Edit), app.color(QPalette::Button));
        f.Edit->selectAll();
        Type(f.Edit, "0");
        QCOMPARE(Background(f.Edit), app.color(QPalette::Base)); // typing pending
        f.Leave();
        QCOMPARE(Background(f.Edit), app.color(QPalette::Button));
    }

    void spinSitsInsideTheRightEnd()
    {
        TForm f(0, 20, 1, 2);
        f.Edit->setFixedSize(120, 30);
        QTest::qWait(20);
        TSSpinButton *spin = f.Edit->SpinButton();
        const int frame = (f.Edit->width() - spin->x() - spin->width());
        const int clientH = f.Edit->height() - 2 * frame;
        QCOMPARE(spin->height(), clientH + 1);
        QCOMPARE(spin->width(), std::max(10, clientH / 2));
        QCOMPARE(spin->y(), frame);
        QCOMPARE(f.Edit->textMargins().right(), spin->width() + 2);
        QVERIFY(spin->isVisible());
        f.Edit->setEnabled(false);
        QVERIFY(!spin->isVisible());
        f.Edit->setEnabled(true);
        QVERIFY(spin->isVisible());
    }
};

QTEST_MAIN(TestMultiEdit)
#include "tst_multiedit.moc"
