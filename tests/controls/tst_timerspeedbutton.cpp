#include "DataRoot.h"
#include "TimerSpeedButton.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPainter>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QVBoxLayout>
#include <stdexcept>

// The application's error report: a failing click must not escape the event
// loop, as in the game.
class TReportingApp : public QApplication
{
public:
    using QApplication::QApplication;
    bool notify(QObject *receiver, QEvent *event) override
    {
        try {
            return QApplication::notify(receiver, event);
        } catch (const std::exception &) {
            ++Reported;
            return false;
        }
    }
    int Reported = 0;
};

// The auto-repeat button (undo, redo) and the spin button made of two of them.
class TestTimerSpeedButton : public QObject
{
    Q_OBJECT

    QTemporaryDir Root;

    struct TRecorder
    {
        QElapsedTimer Clock;
        QList<qint64> Clicks;
        int Ends = 0;
        explicit TRecorder(TTimerSpeedButton *b)
        {
            Clock.start();
            QObject::connect(b, &TTimerSpeedButton::Clicked, b,
                             [this](TTimerSpeedButton *) { Clicks << Clock.elapsed(); });
            QObject::connect(b, &TTimerSpeedButton::EndClick, b,
                             [this](TTimerSpeedButton *) { ++Ends; });
        }
    };

    static std::unique_ptr<TTimerSpeedButton> ShownButton()
    {
        auto b = std::make_unique<TTimerSpeedButton>();
        b->SetTimeBtnState(TTimerSpeedButton::tbAllowTimer);
        b->resize(30, 30);
        b->show();
        return b;
    }
    static QPoint Centre(QWidget *w) { return w->rect().center(); }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(Root.isValid());
        DataRoot::UseRoot(Root.path());
    }

    void shortPressClicksOnceOnThePress()
    {
        auto b = ShownButton();
        TRecorder rec(b.get());
        QTest::mousePress(b.get(), Qt::LeftButton, {}, Centre(b.get()));
        QCOMPARE(rec.Clicks.size(), 1); // on the press, before any release
        QVERIFY(b->isDown());
        QTest::qWait(50);
        QTest::mouseRelease(b.get(), Qt::LeftButton, {}, Centre(b.get()));
        QCOMPARE(rec.Clicks.size(), 1); // the release adds none
        QCOMPARE(rec.Ends, 1);
        QVERIFY(!b->isDown());
        QVERIFY(!b->Repeating());
        QTest::qWait(500);
        QCOMPARE(rec.Clicks.size(), 1);
    }

    void heldPressRepeatsAfter400ThenEvery100()
    {
        auto b = ShownButton();
        TRecorder rec(b.get());
        QTest::mousePress(b.get(), Qt::LeftButton, {}, Centre(b.get()));
        QTest::qWait(250);
        QCOMPARE(rec.Clicks.size(), 1);
        QTRY_VERIFY_WITH_TIMEOUT(rec.Clicks.size() >= 5, 5000);
        QTest::mouseRelease(b.get(), Qt::LeftButton, {}, Centre(b.get()));
        const int held = int(rec.Clicks.size());
        // First repeat no sooner than 400 ms; later ones far quicker than that.
        QVERIFY2(rec.Clicks[1] - rec.Clicks[0] >= 380, qPrintable(QString::number(rec.Clicks[1])));
        const qint64 later = (rec.Clicks[held - 1] - rec.Clicks[1]) / (held - 2);
        QVERIFY2(later >= 90 && later < 300, qPrintable(QString::number(later)));
        QCOMPARE(rec.Ends, 1);
        QTest::qWait(300);
        QCOMPARE(rec.Clicks.size(), held); // the release stopped the repeats
    }

    void draggedOffTheButtonPausesTheRepeats()
    {
        QWidget window;
        auto *b = new TTimerSpeedButton(&window);
        b->SetTimeBtnState(TTimerSpeedButton::tbAllowTimer);
        b->setGeometry(0, 0, 30, 30);
        window.resize(200, 100);
        window.show();
        TRecorder rec(b);
        QTest::mousePress(b, Qt::LeftButton, {}, Centre(b));
        QTest::mouseMove(b, QPoint(150, 60));
        QVERIFY(!b->isDown());
        QTest::qWait(700);
        QCOMPARE(rec.Clicks.size(), 1);
        QTest::mouseMove(b, Centre(b));
        QVERIFY(b->isDown());
        QTRY_VERIFY_WITH_TIMEOUT(rec.Clicks.size() >= 2, 3000);
        QTest::mouseRelease(b, Qt::LeftButton, {}, Centre(b));
        QCOMPARE(rec.Ends, 1);
    }

    void otherMouseButtonsClickOnceWithoutRepeat()
    {
        auto b = ShownButton();
        TRecorder rec(b.get());
        QTest::mousePress(b.get(), Qt::RightButton, {}, Centre(b.get()));
        QCOMPARE(rec.Clicks.size(), 1);
        QVERIFY(!b->isDown());
        QTest::qWait(600);
        QCOMPARE(rec.Clicks.size(), 1);
        QCOMPARE(rec.Ends, 0);
        QTest::mouseRelease(b.get(), Qt::RightButton, {}, Centre(b.get()));
        QCOMPARE(rec.Clicks.size(), 1);
        QCOMPARE(rec.Ends, 1);
    }

    void withoutAllowTimerThePressClicksOnce()
    {
        auto b = ShownButton();
        b->SetTimeBtnState({});
        TRecorder rec(b.get());
        QTest::mousePress(b.get(), Qt::LeftButton, {}, Centre(b.get()));
        QTest::qWait(600);
        QTest::mouseRelease(b.get(), Qt::LeftButton, {}, Centre(b.get()));
        QCOMPARE(rec.Clicks.size(), 1);
        QCOMPARE(rec.Ends, 1);
    }

    void disabledButtonNeitherClicksNorRepeats()
    {
        auto b = ShownButton();
        b->setEnabled(false);
        TRecorder rec(b.get());
        QTest::mousePress(b.get(), Qt::LeftButton, {}, Centre(b.get()));
        QTest::qWait(600);
        QTest::mouseRelease(b.get(), Qt::LeftButton, {}, Centre(b.get()));
        QCOMPARE(rec.Clicks.size(), 0);
        QCOMPARE(rec.Ends, 0);
    }

    void disablingAHeldButtonEndsItsRun()
    {
        // Undo held down to the first move disables the button under the mouse.
        auto b = ShownButton();
        TRecorder rec(b.get());
        QObject::connect(b.get(), &TTimerSpeedButton::Clicked, b.get(), [&]() {
            if (rec.Clicks.size() == 2)
                b->setEnabled(false);
        });
        QTest::mousePress(b.get(), Qt::LeftButton, {}, Centre(b.get()));
        QTRY_COMPARE_WITH_TIMEOUT(rec.Ends, 1, 3000);
        QTest::qWait(400);
        QCOMPARE(rec.Clicks.size(), 2);
        QVERIFY(!b->Repeating());
        b->setEnabled(true);
        QTest::mousePress(b.get(), Qt::LeftButton, {}, Centre(b.get()));
        QTest::mouseRelease(b.get(), Qt::LeftButton, {}, Centre(b.get()));
        QCOMPARE(rec.Clicks.size(), 3);
        QCOMPARE(rec.Ends, 2);
    }

    void keyboardAndCodeClicksAreOrdinary()
    {
        auto b = ShownButton();
        b->setFocusPolicy(Qt::StrongFocus);
        TRecorder rec(b.get());
        QSignalSpy plain(b.get(), &QAbstractButton::clicked);
        b->click();
        QCOMPARE(rec.Clicks.size(), 1);
        QCOMPARE(plain.size(), 1);
        QCOMPARE(rec.Ends, 0);
        b->activateWindow();
        b->setFocus();
        QTest::keyClick(b.get(), Qt::Key_Space);
        QCOMPARE(rec.Clicks.size(), 2);
        QCOMPARE(rec.Ends, 0);
        QVERIFY(!b->Repeating());
    }

    void failingClickStopsTheRepeats()
    {
        auto *app = static_cast<TReportingApp *>(qApp);
        const int reportedBefore = app->Reported;
        auto b = ShownButton();
        TRecorder rec(b.get());
        QObject::connect(b.get(), &TTimerSpeedButton::Clicked, b.get(), [&]() {
            if (rec.Clicks.size() == 2)
                throw std::runtime_error("no more moves");
        });
        QTest::mousePress(b.get(), Qt::LeftButton, {}, Centre(b.get()));
        QTRY_COMPARE_WITH_TIMEOUT(app->Reported, reportedBefore + 1, 3000);
        QTest::qWait(400);
        QCOMPARE(rec.Clicks.size(), 2);
        QVERIFY(!b->Repeating());
        QTest::mouseRelease(b.get(), Qt::LeftButton, {}, Centre(b.get()));
        QCOMPARE(rec.Ends, 1);
    }

    void arrowIsDrawnInTheMiddle_data()
    {
        QTest::addColumn<int>("direction");
        QTest::newRow("down") << int(TTimerSpeedButton::DirDown);
        QTest::newRow("up") << int(TTimerSpeedButton::DirUp);
    }
    void arrowIsDrawnInTheMiddle()
    {
        QFETCH(int, direction);
        TTimerSpeedButton b;
        b.SetFlat(true);
        QPalette pal = b.palette();
        pal.setColor(QPalette::ButtonText, QColor(255, 0, 0));
        b.setPalette(pal);
        b.SetDirection(TTimerSpeedButton::TDirection(direction));
        b.resize(21, 13);
        b.SetArrow(TTimerSpeedButton::arNone);
        const QImage plain = b.grab().toImage();
        b.SetArrow(TTimerSpeedButton::arNormal);
        const QImage img = b.grab().toImage();
        const int x0 = 21 / 2 - 2;
        const int y0 = 13 / 2 - 2;
        const int widths[4] = {5, 3, 3, 1}; // from the broad end
        const QRgb red = qRgb(255, 0, 0);
        for (int row = 0; row < 4; ++row) {
            const int y = direction == TTimerSpeedButton::DirDown ? y0 + row : y0 + 3 - row;
            const int inset = (5 - widths[row]) / 2;
            for (int x = x0 - 1; x <= x0 + 5; ++x) {
                const bool ink = x >= x0 + inset && x <= x0 + 4 - inset;
                QCOMPARE(img.pixel(x, y) == red, ink);
            }
        }
        // Nothing else changed.
        int differing = 0;
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x)
                differing += img.pixel(x, y) != plain.pixel(x, y);
        QCOMPARE(differing, 12);
    }

    void spinButtonIsAtLeastTenWide()
    {
        TSSpinButton spin;
        QCOMPARE(spin.size(), QSize(20, 25));
        spin.show();
        spin.resize(4, 25);
        QCOMPARE(spin.width(), 10);
        spin.setGeometry(0, 0, 3, 30);
        QCOMPARE(spin.width(), 10);
        QCOMPARE(spin.UpButton()->width(), 10);
    }

    void spinHalvesOverlapByOnePixel()
    {
        TSSpinButton spin;
        spin.show();
        spin.resize(16, 25);
        QCOMPARE(spin.UpButton()->geometry(), QRect(0, 0, 16, 13));
        QCOMPARE(spin.DownButton()->geometry(), QRect(0, 12, 16, 13));
        spin.resize(12, 20);
        QCOMPARE(spin.UpButton()->geometry(), QRect(0, 0, 12, 11));
        QCOMPARE(spin.DownButton()->geometry(), QRect(0, 10, 12, 10));
        QCOMPARE(spin.UpButton()->Direction(), TTimerSpeedButton::DirUp);
        QCOMPARE(spin.DownButton()->Direction(), TTimerSpeedButton::DirDown);
        QCOMPARE(spin.UpButton()->Arrow(), TTimerSpeedButton::arNormal);
    }

    void spinPressesStepAndGiveTheFocusAway()
    {
        QWidget window;
        auto *layout = new QVBoxLayout(&window);
        auto *edit = new QLineEdit(&window);
        auto *other = new QLineEdit(&window);
        auto *spin = new TSSpinButton(&window);
        spin->setFixedSize(16, 24);
        layout->addWidget(edit);
        layout->addWidget(other);
        layout->addWidget(spin);
        spin->SetFocusControl(edit);
        window.show();
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        other->setFocus();
        QSignalSpy up(spin, &TSSpinButton::UpClick);
        QSignalSpy down(spin, &TSSpinButton::DownClick);
        QSignalSpy end(spin, &TSSpinButton::SpinEnd);
        QTest::mouseClick(spin->DownButton(), Qt::LeftButton, {}, QPoint(8, 8));
        QCOMPARE(down.size(), 1);
        QCOMPARE(up.size(), 0);
        QCOMPARE(end.size(), 1);
        QVERIFY(edit->hasFocus());
        QTest::mouseClick(spin->UpButton(), Qt::LeftButton, {}, QPoint(8, 4));
        QCOMPARE(up.size(), 1);
        QCOMPARE(end.size(), 2);
        QVERIFY(edit->hasFocus());
    }

    void spinKeysClickTheMarkedHalf()
    {
        TSSpinButton spin;
        spin.setFocusPolicy(Qt::StrongFocus);
        spin.show();
        spin.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&spin));
        spin.setFocus();
        QSignalSpy up(&spin, &TSSpinButton::UpClick);
        QSignalSpy down(&spin, &TSSpinButton::DownClick);
        QCOMPARE(spin.FocusedButton(), spin.UpButton());
        QTest::keyClick(&spin, Qt::Key_Space);
        QCOMPARE(up.size(), 1);
        QTest::keyClick(&spin, Qt::Key_Down);
        QCOMPARE(down.size(), 1);
        QCOMPARE(spin.FocusedButton(), spin.DownButton());
        QVERIFY(spin.DownButton()->TimeBtnState().testFlag(TTimerSpeedButton::tbFocusRect));
        QVERIFY(!spin.UpButton()->TimeBtnState().testFlag(TTimerSpeedButton::tbFocusRect));
        QTest::keyClick(&spin, Qt::Key_Space);
        QCOMPARE(down.size(), 2);
        QTest::keyClick(&spin, Qt::Key_Up);
        QCOMPARE(up.size(), 2);
        QCOMPARE(spin.FocusedButton(), spin.UpButton());
    }
};

int main(int argc, char **argv)
{
    TReportingApp app(argc, argv);
    TestTimerSpeedButton test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_timerspeedbutton.moc"
