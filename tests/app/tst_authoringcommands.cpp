#include "AppRoot.h"
#include "BoardView.h"
#include "FormExpert.h"
#include "FormProperties.h"
#include "FormZarvo.h"
#include "FormZarvoMain.h"
#include "MultiEdit.h"
#include "TimerSpeedButton.h"
#include "ZarvoPad.h"

#include <QAction>
#include <QApplication>
#include <QImage>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QStandardPaths>
#include <QTimer>
#include <QToolButton>

namespace {
QList<QPoint> Cells(const TZarvoPad &board)
{
    QList<QPoint> cells;
    for (int i = 0; i < board.PieceCount(); ++i)
        cells << QPoint(board.Col(board.Piece(i)), board.Row(board.Piece(i)));
    return cells;
}

// Runs action on the modal dialog of type D as soon as it shows.
template <typename D, typename F> void WhenShown(F action)
{
    QTimer::singleShot(0, qApp, [action] {
        if (auto *d = qobject_cast<D *>(QApplication::activeModalWidget()))
            action(d);
    });
}
} // namespace

// The main window's commands for making and changing puzzles.
class TestAuthoringCommands : public QObject
{
    Q_OBJECT

    std::unique_ptr<TAppRoot> Root;
    std::unique_ptr<TFormZarvoMain> Main;

    void StartMain()
    {
        Main = std::make_unique<TFormZarvoMain>();
        Main->show();
        QVERIFY(QTest::qWaitForWindowActive(Main.get()));
        Settings().FullScreen2 = false; // windowed games, each in its place
    }

    // Drags the piece at cell (col, row) by columns/rows cells through the view.
    static void Drag(TFormZarvo *w, int piece, int columns, int rows)
    {
        TZarvo *p = w->Board()->Piece(piece);
        const QPoint from(p->X + 20, p->Y + 20);
        const QPoint by(columns * 40, rows * 40);
        TBoardView *view = w->View();
        QTest::mousePress(view, Qt::LeftButton, Qt::NoModifier, from);
        for (int step = 1; step <= 4; ++step)
            QTest::mouseMove(view, from + by * step / 4);
        QTest::mouseRelease(view, Qt::LeftButton, Qt::NoModifier, from + by);
    }

private Q_SLOTS:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void init()
    {
        Root = std::make_unique<TAppRoot>();
        TFormZarvo::SetTopListHook([](QWidget *, TZarvoPad *, int, int) { return false; });
    }

    void cleanup()
    {
        if (Main) {
            Root->Answer = QMessageBox::Yes;
            Main->close();
            Main.reset();
        }
        TFormZarvo::SetTopListHook({});
        Root.reset();
    }

    void menuAndToolbarOfferBothCommands()
    {
        StartMain();
        QCOMPARE(Part<QAction>(Main.get(), "ItemExpert")->text(),
                 QStringLiteral("&Puzzleexperte ..."));
        QCOMPARE(Part<QAction>(Main.get(), "ItemExpert")->statusTip(),
                 QStringLiteral("Puzzleexperte"));
        QCOMPARE(Part<QToolButton>(Main.get(), "BtnExpert")->toolTip(),
                 QStringLiteral("Puzzleexperte"));
        QCOMPARE(Part<QAction>(Main.get(), "ItemProperties")->text(),
                 QStringLiteral("&Eigenschaften ...\tAlt+Eingabe"));
        QCOMPARE(Part<QAction>(Main.get(), "ItemProperties")->statusTip(),
                 QStringLiteral("Eigenschaften bearbeiten"));
        QCOMPARE(Part<QAction>(Main.get(), "ItemProperties")->shortcut(),
                 QKeySequence(Qt::ALT | Qt::Key_Return));
        QCOMPARE(Part<QToolButton>(Main.get(), "BtnProperties")->toolTip(),
                 QStringLiteral("Eigenschaften"));
        QVERIFY(!Part<QAction>(Main.get(), "ItemProperties")->isEnabled());

        // Offered for an ordinary puzzle, not for one that forbids it.
        Root->Write(QStringLiteral("Data/Fest.zrv"),
                    RowPuzzle("Fest").replace("[Pad]\r\n", "[Pad]\r\nDisableProp=1\r\n"));
        TFormZarvo *row = Main->OpenGame(0, QStringLiteral("Reihe.zrv"), true);
        QVERIFY(row);
        QCoreApplication::processEvents();
        QVERIFY(Part<QAction>(Main.get(), "ItemProperties")->isEnabled());
        QVERIFY(Part<QToolButton>(Main.get(), "BtnProperties")->isEnabled());
        TFormZarvo *fixed = Main->OpenGame(0, QStringLiteral("Fest.zrv"), true);
        QVERIFY(fixed);
        Part<QMdiArea>(Main.get(), "MdiArea")->setActiveSubWindow(fixed->SubWindow());
        QCoreApplication::processEvents();
        QTRY_VERIFY(!Part<QAction>(Main.get(), "ItemProperties")->isEnabled());
        QVERIFY(!Part<QToolButton>(Main.get(), "BtnProperties")->isEnabled());
        Part<QMdiArea>(Main.get(), "MdiArea")->setActiveSubWindow(row->SubWindow());
        QTRY_VERIFY(Part<QAction>(Main.get(), "ItemProperties")->isEnabled());
    }

    void expertOpensTheNewPuzzleBesideTheGame()
    {
        StartMain();
        TFormZarvo *row = Main->OpenGame(0, QStringLiteral("Reihe.zrv"), true);
        QVERIFY(row);
        QImage picture(200, 120, QImage::Format_RGB32);
        picture.fill(qRgb(30, 120, 200));
        QVERIFY(picture.save(Root->Path(QStringLiteral("foto.png")), "PNG"));

        const QString target = Root->Path(QStringLiteral("irgendwo/Foto.zrv"));
        WhenShown<TFormExpert>([this, target](TFormExpert *f) {
            f->EditTitle->setText(QStringLiteral("Mein Foto"));
            f->TakePicture(Root->Path(QStringLiteral("foto.png")));
            f->EditUnit->SetIntVal(40);
            f->SaveAs(target);
        });
        Part<QToolButton>(Main.get(), "BtnExpert")->click();
        QCOMPARE(Main->MdiChildCount(), 2);
        QCOMPARE(Main->CurrentZarvo, row);
        TFormZarvo *made = nullptr;
        for (TFormZarvo *w : Main->PuzzleWindows())
            if (w != row)
                made = w;
        QVERIFY(made);
        QCOMPARE(made->Board()->FileName, QStringLiteral("Foto.zrv"));
        QCOMPARE(made->Board()->PieceCount(), 5 * 3 - 1);
        QVERIFY(made->Board()->DisableProp);
        QCOMPARE(made->Board()->ImgZarvos, QStringLiteral("foto.png"));

        // Cancelled: no window.
        WhenShown<TFormExpert>([](TFormExpert *f) { f->reject(); });
        Part<QAction>(Main.get(), "ItemExpert")->trigger();
        QCOMPARE(Main->MdiChildCount(), 2);
    }

    void propertiesKeepTheGameInItsPlace()
    {
        StartMain();
        TFormZarvo *w = Main->OpenGame(0, QStringLiteral("Reihe.zrv"), true);
        QVERIFY(w);
        QCoreApplication::processEvents();
        w->SubWindow()->move(37, 21);
        Drag(w, 0, 1, 0); // A one to the right
        Drag(w, 1, 2, 0); // B two to the right
        Drag(w, 0, 1, 0); // A once more
        QCOMPARE(w->Board()->MoveIndex, 3);
        Main->ItemUndoClick(Part<QAction>(Main.get(), "ItemUndo"));
        QCOMPARE(w->Board()->MoveIndex, 2);
        const QStringList history = w->Board()->History;
        const QList<QPoint> cells = Cells(*w->Board());
        QCOMPARE(cells, (QList<QPoint>{{1, 0}, {2, 1}}));

        WhenShown<TFormProperties>([](TFormProperties *f) {
            f->EditUnit->SetIntVal(45);
            f->BtnOkClick();
        });
        Part<QAction>(Main.get(), "ItemProperties")->trigger();
        QCoreApplication::processEvents();

        QCOMPARE(Main->MdiChildCount(), 1);
        TFormZarvo *again = Main->ActiveZarvo();
        QVERIFY(again);
        QVERIFY(again != w);
        QCOMPARE(Main->CurrentZarvo, again);
        QCOMPARE(again->Board()->UnitSize, 45);
        QCOMPARE(again->Board()->MoveIndex, 2);
        QCOMPARE(again->Board()->History, history);
        QCOMPARE(Cells(*again->Board()), cells);
        QCOMPARE(again->SubWindow()->pos(), QPoint(37, 21));
        QVERIFY(Part<TTimerSpeedButton>(Main.get(), "BtnRedo")->isEnabled());
        QVERIFY(Root->Read(QStringLiteral("Data/Reihe.zrv")).contains("UnitSize=45\r\n"));

        // OK without a change writes nothing and keeps the window.
        const QByteArray before = Root->Read(QStringLiteral("Data/Reihe.zrv"));
        WhenShown<TFormProperties>([](TFormProperties *f) { f->BtnOkClick(); });
        Part<QToolButton>(Main.get(), "BtnProperties")->click();
        QCoreApplication::processEvents();
        QCOMPARE(Main->ActiveZarvo(), again);
        QCOMPARE(Root->Read(QStringLiteral("Data/Reihe.zrv")), before);
    }
};

QTEST_MAIN(TestAuthoringCommands)
#include "tst_authoringcommands.moc"
