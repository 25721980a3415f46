#include "BoardView.h"
#include "CenteredMessageDlg.h"
#include "DataRoot.h"
#include "FormZarvo.h"
#include "FormZarvoMain.h"
#include "HeadedList.h"
#include "IniFile.h"
#include "Settings.h"
#include "ZarvoPad.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

// A whole game as the player has it: the puzzle chosen in the selection
// dialog, solved with the mouse on the board, the name entered in the
// best-ten list, and the result found in the puzzle file.
class TestSolveAndName : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> Root;

    void Write(const QString &rel, const QByteArray &bytes)
    {
        QDir().mkpath(QFileInfo(Root->filePath(rel)).absolutePath());
        QFile f(Root->filePath(rel));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }

    // Calls drive with the modal dialog called name as soon as it is up.
    static void WhenUp(const QString &name, std::function<void(QDialog *)> drive)
    {
        auto *poll = new QTimer;
        poll->setInterval(20);
        QObject::connect(poll, &QTimer::timeout, [poll, name, drive] {
            auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget());
            if (!dialog || dialog->objectName() != name)
                return;
            poll->stop();
            poll->deleteLater();
            drive(dialog);
            if (dialog->isVisible())
                dialog->reject();
        });
        poll->start();
    }

private Q_SLOTS:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void init()
    {
        Root = std::make_unique<QTemporaryDir>();
        QVERIFY(Root->isValid());
        Write("ZarvoTyp.ini", "[Zarvo11]\r\nCount=1\r\nZarvo1=0,0,1,1,1111\r\n");
        // One drag of A three cells to the right solves it.
        Write("Data/Strecke.zrv",
              "[Info]\r\nTitle=Strecke\r\nRating=*\r\n"
              "[Pad]\r\nFrameSize=4,1\r\nUnitSize=40\r\nOffset=10,10\r\nBackSize=5,2\r\n"
              "[Start]\r\nCount=1\r\nZarvo1=Zarvo11,A,0,0,0,0,1\r\n"
              "[Object]\r\nCount=1\r\nZarvo1=Zarvo11,A,3,0,0,0,1\r\n"
              "[Solution]\r\nBest1=4,Minimum\r\n");
        DataRoot::UseRoot(Root->path());
        SetSettingsStoreFile(Root->filePath("settings.ini"));
        SetMessageDlgHook([](const QString &, QMessageBox::Icon, QMessageBox::StandardButtons) {
            return QMessageBox::Yes;
        });
    }

    void cleanup()
    {
        SetMessageDlgHook({});
        Root.reset();
    }

    void solveAndEnterTheName()
    {
        auto main = std::make_unique<TFormZarvoMain>();
        main->show();
        QVERIFY(QTest::qWaitForWindowActive(main.get()));
        // What the player set in earlier runs.
        Settings().FullScreen2 = false;
        Settings().NoOldPlayer = false;
        Settings().Player = "erika";

        WhenUp("FormOpen", [](QDialog *d) {
            auto *list = d->findChild<THeadedListBox *>("ListZarvos");
            QCOMPARE(list->count(), 1);
            QTest::mouseClick(d->findChild<QPushButton *>("BtnOk"), Qt::LeftButton);
        });
        main->ItemNewZarvoClick();
        QCOMPARE(main->PuzzleWindows().size(), 1);
        TFormZarvo *game = main->PuzzleWindows().value(0);
        QCOMPARE(game->Board()->FileName, QString("Strecke.zrv"));

        bool listShown = false;
        WhenUp("FormTopList", [&listShown](QDialog *d) {
            listShown = true;
            auto *edit = d->findChild<QLineEdit *>("EditHighScore");
            QVERIFY(edit->isVisible());
            // The name the selection dialog normalised is offered; the
            // player types another.
            QCOMPARE(edit->text(), QString("Erika"));
            QTest::keyClicks(edit, "Max");
            QTest::keyClick(edit, Qt::Key_Return);
            QVERIFY(!edit->isVisible());
            QTest::mouseClick(d->findChild<QPushButton *>("BtnOk"), Qt::LeftButton);
        });
        TZarvoPad *board = game->Board();
        TZarvo *a = board->Piece(0);
        const QPoint from(a->X + 20, a->Y + 20);
        QTest::mousePress(game->View(), Qt::LeftButton, Qt::NoModifier, from);
        for (int step = 1; step <= 6; ++step)
            QTest::mouseMove(game->View(), from + QPoint(120 * step / 6, 0));
        QTest::mouseRelease(game->View(), Qt::LeftButton, Qt::NoModifier, from + QPoint(120, 0));
        QTRY_VERIFY(listShown);
        QTRY_VERIFY(board->Solved);

        QCOMPARE(board->MoveIndex, 1);
        QCOMPARE(board->SolvedMoves, 1);
        QCOMPARE(board->BestMoves, QString("1"));
        const TIniFile puzzle(DataRoot::DataDir() + "Strecke.zrv");
        QVERIFY(puzzle.ReadString("Solution", "Best1", "").startsWith("1,Max,"));
        QCOMPARE(puzzle.ReadString("Solution", "Best2", ""), QString("4,Minimum,0"));
        QCOMPARE(puzzle.ReadString("Info", "Title", ""), QString("Strecke"));

        main->close();
        main.reset();
    }
};

QTEST_MAIN(TestSolveAndName)
#include "tst_solveandname.moc"
