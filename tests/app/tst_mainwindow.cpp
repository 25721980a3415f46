#include "AppRoot.h"
#include "BoardView.h"
#include "ErrorReport.h"
#include "FormZarvo.h"
#include "FormZarvoMain.h"
#include "TimerSpeedButton.h"
#include "ZarvoPad.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMediaPlayer>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QUrl>

// The main window: start panel, opening and closing games, the commands,
// the settings kept from one start to the next.
class TestMainWindow : public QObject
{
    Q_OBJECT

    std::unique_ptr<TAppRoot> Root;
    std::unique_ptr<TFormZarvoMain> Main;

    void StartMain()
    {
        Main = std::make_unique<TFormZarvoMain>();
        Main->show();
        QVERIFY(QTest::qWaitForWindowActive(Main.get()));
    }

    // Closes the program as the player does (answering the question with
    // Yes) and destroys the window, which writes the settings.
    void EndMain()
    {
        Root->Answer = QMessageBox::Yes;
        Main->close();
        Main.reset();
    }

    void UseWindowedGames() { Settings().FullScreen2 = false; }

    // A and B change rows and sides: no single drag does both, so the
    // shortest way has two moves.
    void WriteSwap()
    {
        Root->Write(QStringLiteral("Data/Tausch.zrv"),
                    "[Info]\r\nTitle=Tausch\r\nObjectInfo=A nach rechts, B nach links\r\n"
                    "[Pad]\r\nFrameSize=4,2\r\nUnitSize=40\r\nOffset=10,10\r\nBackSize=5,3\r\n"
                    "[Start]\r\nCount=2\r\nZarvo1=Zarvo11,A,0,0,0,0,1\r\n"
                    "Zarvo2=Zarvo11,B,3,1,0,0,1\r\n"
                    "[Object]\r\nCount=2\r\nZarvo1=Zarvo11,A,3,0,0,0,1\r\n"
                    "Zarvo2=Zarvo11,B,0,1,0,0,1\r\n");
    }

    TFormZarvo *OpenRow()
    {
        TFormZarvo *w = Main->OpenGame(0, QStringLiteral("Reihe.zrv"), true);
        if (w)
            QCoreApplication::processEvents();
        return w;
    }

    // Drags piece A of Reihe.zrv by columns cells through the real board
    // view, at whatever zoom it shows the board.
    static void DragA(TFormZarvo *w, int columns)
    {
        TZarvoPad *board = w->Board();
        TZarvo *a = board->Piece(0);
        TBoardView *view = w->View();
        auto at = [view, a](int dx) {
            return view->ViewPoint(QPoint(a->OldX + 20 + dx, a->OldY + 20)).toPoint();
        };
        QTest::mousePress(view, Qt::LeftButton, Qt::NoModifier, at(0));
        for (int step = 1; step <= 4; ++step)
            QTest::mouseMove(view, at(columns * 40 * step / 4));
        QTest::mouseRelease(view, Qt::LeftButton, Qt::NoModifier, at(columns * 40));
    }

private Q_SLOTS:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void init()
    {
        Root = std::make_unique<TAppRoot>();
        TFormZarvoMain::SetFileDlgHook({});
        TFormZarvo::SetTopListHook([](QWidget *, TZarvoPad *, int, int) { return false; });
    }

    void cleanup()
    {
        if (Main)
            EndMain();
        TFormZarvo::SetTopListHook({});
        TFormZarvoMain::SetFileDlgHook({});
        Root.reset();
    }

    void captionMenusAndToolbarAtStart()
    {
        StartMain();
        QCOMPARE(
            Main->windowTitle(),
            QStringLiteral("Zarvos V%1.%2").arg(ZARVOS_VERSION_MAJOR).arg(ZARVOS_VERSION_MINOR));
        QVERIFY(Main->minimumSize() == QSize(720, 600));
        // Without a game only "Spiel" and "Hilfe" are offered.
        QVERIFY(Part<QMenu>(Main.get(), "MenuDatei")->menuAction()->isVisible());
        QVERIFY(!Part<QMenu>(Main.get(), "MenuEdit")->menuAction()->isVisible());
        QVERIFY(!Part<QMenu>(Main.get(), "MenuAnsicht")->menuAction()->isVisible());
        QVERIFY(!Part<QAction>(Main.get(), "ItemSaveHist")->isEnabled());
        QVERIFY(!Part<QAction>(Main.get(), "ItemClose")->isEnabled());
        QVERIFY(!Part<QAction>(Main.get(), "PnlZarvosAction")->isVisible());
        QVERIFY(!Part<TTimerSpeedButton>(Main.get(), "BtnUndo")->isEnabled());
        QVERIFY(!Part<TTimerSpeedButton>(Main.get(), "BtnRedo")->isEnabled());
        QCOMPARE(Part<QAction>(Main.get(), "ItemRedo")->shortcut(),
                 QKeySequence(Qt::SHIFT | Qt::CTRL | Qt::Key_Z));
        // The menus show the keys as German players read them and the help
        // lists them (the text after the tab is what a menu shows).
        QFile keysPage(QStringLiteral(ZARVOS_SOURCE_DIR "/docs/help/tasten.html"));
        QVERIFY(keysPage.open(QIODevice::ReadOnly));
        const QString keys = QString::fromUtf8(keysPage.readAll());
        int withKeys = 0;
        for (QMenu *menu :
             {Part<QMenu>(Main.get(), "MenuDatei"), Part<QMenu>(Main.get(), "MenuEdit"),
              Part<QMenu>(Main.get(), "MenuAnsicht"), Part<QMenu>(Main.get(), "MenuHilfe")})
            for (QAction *a : menu->actions()) {
                if (a->shortcut().isEmpty())
                    continue;
                ++withKeys;
                const QString shown = a->text().section(QLatin1Char('\t'), 1);
                QVERIFY2(keys.contains(QStringLiteral("<td>") + shown), qPrintable(shown));
            }
        QCOMPARE(withKeys, 17);
        QCOMPARE(Part<QAction>(Main.get(), "ItemRedo")->text().section(QLatin1Char('\t'), 1),
                 QStringLiteral("Umschalt+Strg+Z"));
        QCOMPARE(Part<QAction>(Main.get(), "ItemProperties")->text().section(QLatin1Char('\t'), 1),
                 QStringLiteral("Alt+Eingabe"));
        QCOMPARE(Part<QAction>(Main.get(), "ItemNewZarvo")->statusTip(),
                 QStringLiteral("Neues Spiel starten"));
        // A menu item's hint shows in the status bar.
        QStatusTipEvent tip(Part<QAction>(Main.get(), "ItemNewZarvo")->statusTip());
        QApplication::sendEvent(Main.get(), &tip);
        QCOMPARE(Part<QLabel>(Main.get(), "StatusPanel")->text(),
                 QStringLiteral("Neues Spiel starten"));
    }

    void startPanelFocusFollowsTheLastGame()
    {
        StartMain();
        QVERIFY(Part<QFrame>(Main.get(), "PnlStart")->isVisible());
        QVERIFY(!Part<QPushButton>(Main.get(), "BtnLoadLast")->isEnabled());
        QTRY_VERIFY(Part<QPushButton>(Main.get(), "BtnNewZarvo2")->hasFocus());
        // Centred in the client area.
        const QRect client = Part<QWidget>(Main.get(), "ClientArea")->rect();
        QCOMPARE(Part<QFrame>(Main.get(), "PnlStart")->x(),
                 (client.width() - Part<QFrame>(Main.get(), "PnlStart")->width()) / 2);
        QCOMPARE(Part<QFrame>(Main.get(), "PnlStart")->y(),
                 (client.height() - Part<QFrame>(Main.get(), "PnlStart")->height()) / 2);
        EndMain();

        Root->WriteState(QStringLiteral("Letzter Spielstand.zrh"), 1, 2);
        StartMain();
        QVERIFY(Part<QPushButton>(Main.get(), "BtnLoadLast")->isEnabled());
        QTRY_VERIFY(Part<QPushButton>(Main.get(), "BtnLoadLast")->hasFocus());
    }

    void replacementPuzzlesAreMergedAtTheFirstActivation()
    {
        Root->Write(QStringLiteral("Data/New/Reihe.zrv"), RowPuzzle("Neue Reihe"));
        StartMain();
        QTRY_VERIFY(Main->ActivatedOnce);
        QVERIFY(!QDir(Root->Path(QStringLiteral("Data/New"))).exists());
        QVERIFY(Root->Read(QStringLiteral("Data/Reihe.zrv")).contains("Title=Neue Reihe"));
    }

    void loadingAGameStateTakesOnlyItsName()
    {
        Root->WriteState(QStringLiteral("Mein Spiel.zrh"), 2, 4);
        StartMain();
        UseWindowedGames();
        // Chosen somewhere else: the game of that name in Hist/ is loaded.
        TFormZarvoMain::SetFileDlgHook(
            [](bool) { return QStringLiteral("/irgendwo/anders/Mein Spiel.zrh"); });
        Main->BtnLoadHistClick();
        QCOMPARE(Main->PuzzleWindows().size(), 1);
        TFormZarvo *w = Main->PuzzleWindows().first();
        QCOMPARE(w->Board()->MoveIndex, 2);
        QCOMPARE(Main->CurrentZarvo.data(), w);
        QCOMPARE(Part<QLabel>(Main.get(), "LblMoves")->text(), QStringLiteral("2 Züge"));
        QVERIFY(Part<QAction>(Main.get(), "ItemUndo")->isEnabled());
        QVERIFY(Part<QAction>(Main.get(), "ItemRedo")->isEnabled());
        QVERIFY(Part<QFrame>(Main.get(), "PnlStart")->isHidden());
        QVERIFY(Part<QMenu>(Main.get(), "MenuEdit")->menuAction()->isVisible());
        QCOMPARE(w->SubWindow()->windowTitle(), QStringLiteral("** Reihe"));

        // Cancelling the dialog while a game is open leaves the panel hidden.
        TFormZarvoMain::SetFileDlgHook([](bool) { return QString(); });
        Main->ItemLoadHistClick();
        QVERIFY(Part<QFrame>(Main.get(), "PnlStart")->isHidden());
        QCOMPARE(Main->PuzzleWindows().size(), 1);

        // Saving writes under the chosen name in Hist/, whatever the folder.
        TFormZarvoMain::SetFileDlgHook([](bool save) {
            return save ? QStringLiteral("/tmp/elsewhere/Kopie.zrh") : QString();
        });
        QTest::keyClick(Main.get(), Qt::Key_S, Qt::ControlModifier);
        QCOMPARE(Root->Read(QStringLiteral("Hist/Kopie.zrh")),
                 Root->Read(QStringLiteral("Hist/Mein Spiel.zrh")));
        // The status bar says where it went.
        QCOMPARE(Part<QLabel>(Main.get(), "StatusPanel")->text(),
                 QStringLiteral("Spielstand gespeichert: ") +
                     QDir::toNativeSeparators(Root->Path(QStringLiteral("Hist/Kopie.zrh"))));
    }

    void cancellingTheLoadDialogBringsThePanelBack()
    {
        StartMain();
        TFormZarvoMain::SetFileDlgHook([](bool) { return QString(); });
        Main->BtnLoadHistClick();
        QVERIFY(!Part<QFrame>(Main.get(), "PnlStart")->isHidden());
        QTRY_VERIFY(Part<QPushButton>(Main.get(), "BtnNewZarvo2")->hasFocus());
    }

    void aDragThroughTheBoardCountsOneMove()
    {
        StartMain();
        UseWindowedGames();
        TFormZarvo *w = OpenRow();
        QVERIFY(w);
        QCOMPARE(Part<QLabel>(Main.get(), "LblMoves")->text(), QStringLiteral("0 Züge"));
        QVERIFY(!Part<TTimerSpeedButton>(Main.get(), "BtnUndo")->isEnabled());
        // The MDI child shows the whole board with the goal text under it.
        const QSize board(w->Board()->Width(), w->Board()->Height());
        QTRY_COMPARE(w->View()->visibleRegion().boundingRect().size(), board);
        QVERIFY(w->LblObject->isVisible());
        QCOMPARE(w->LblObject->text(), QStringLiteral("Schiebe A ganz nach rechts"));
        QCOMPARE(w->height(), board.height() + w->LblObject->height());
        QVERIFY(!w->SubWindow()->isMinimized());
        DragA(w, 1);
        QCOMPARE(w->Board()->MoveIndex, 1);
        QCOMPARE(Part<QLabel>(Main.get(), "LblMoves")->text(), QStringLiteral("1 Zug"));
        QVERIFY(Part<TTimerSpeedButton>(Main.get(), "BtnUndo")->isEnabled());
        QVERIFY(!Part<TTimerSpeedButton>(Main.get(), "BtnRedo")->isEnabled());
        // The same piece again: still one move.
        DragA(w, 1);
        QCOMPARE(Part<QLabel>(Main.get(), "LblMoves")->text(), QStringLiteral("1 Zug"));
        QCOMPARE(w->Board()->Piece(0)->X, 10 + 2 * 40);

        Main->ItemUndoClick(Part<QAction>(Main.get(), "ItemUndo"));
        QCOMPARE(Part<QLabel>(Main.get(), "LblMoves")->text(), QStringLiteral("0 Züge"));
        QCOMPARE(w->Board()->Piece(0)->X, 10);
        QCOMPARE(w->Board()->LastMoved, -1);
        QVERIFY(!Part<QAction>(Main.get(), "ItemUndo")->isEnabled());
        QVERIFY(Part<QAction>(Main.get(), "ItemRedo")->isEnabled());
        // A disabled command does nothing, whoever sends it.
        Main->ItemUndoClick(Part<TTimerSpeedButton>(Main.get(), "BtnUndo"));
        QCOMPARE(w->Board()->MoveIndex, 0);
        Main->ItemRedoClick(Part<QAction>(Main.get(), "ItemRedo"));
        QCOMPARE(Part<QLabel>(Main.get(), "LblMoves")->text(), QStringLiteral("1 Zug"));
        QVERIFY(!Part<QAction>(Main.get(), "ItemRedo")->isEnabled());
    }

    void reachingTheGoalShowsTheTextAndOpensTheList()
    {
        StartMain();
        UseWindowedGames();
        Settings().GameOverText = QStringLiteral("Geschafft!");
        Settings().GameOverFile = Root->Path(QStringLiteral("fehlt.wav")); // missing: skipped
        QList<int> listed;
        TFormZarvo::SetTopListHook([&](QWidget *, TZarvoPad *, int moves, int seconds) {
            listed << moves << seconds;
            return true;
        });
        TFormZarvo *w = OpenRow();
        QVERIFY(w);
        DragA(w, 3);
        QVERIFY(w->Game()->Finished);
        QVERIFY(Part<QLabel>(Main.get(), "LblHurra")->isVisible());
        QCOMPARE(Part<QLabel>(Main.get(), "LblHurra")->text(), QStringLiteral("Geschafft!"));
        // Windowed games hand 0 seconds to the list.
        QCOMPARE(listed, (QList<int>{1, 0}));

        // A refresh without a cause never opens the list again.
        listed.clear();
        w->UpdateMain(nullptr);
        Main->UpdateMenuItems();
        QVERIFY(listed.isEmpty());
        QVERIFY(Part<QLabel>(Main.get(), "LblHurra")->isVisible());

        // With the goal position shown, undo and redo are off and the goal
        // test is silent.
        Part<QAction>(Main.get(), "ItemShowObject")->trigger();
        QVERIFY(Part<QToolButton>(Main.get(), "BtnShowObject")->isChecked());
        QVERIFY(!Part<QAction>(Main.get(), "ItemUndo")->isEnabled());
        QVERIFY(!Part<QAction>(Main.get(), "ItemRedo")->isEnabled());
        QVERIFY(!Part<QLabel>(Main.get(), "LblHurra")->isVisible());
        // Standing in the goal, nothing is left to count.
        QTRY_VERIFY(!w->Searching());
        QCOMPARE(w->LblObject->text(), QStringLiteral("Zielposition (? Züge)"));
        Part<QAction>(Main.get(), "ItemShowObject")->trigger();
        QCOMPARE(w->LblObject->text(), QStringLiteral("Schiebe A ganz nach rechts"));
        QVERIFY(Part<QAction>(Main.get(), "ItemUndo")->isEnabled());
    }

    void aHintIsDrawnOverTheBoardAndKeepsTheGameFromTheList()
    {
        StartMain();
        UseWindowedGames();
        QList<int> listed;
        TFormZarvo::SetTopListHook([&](QWidget *, TZarvoPad *, int moves, int) {
            listed << moves;
            return true;
        });
        // A goal text of one line, so the hint's text needs more.
        Root->Write(QStringLiteral("Data/Reihe.zrv"),
                    RowPuzzle().replace("Schiebe A ganz nach rechts", "A"));
        TFormZarvo *w = OpenRow();
        QVERIFY(w);
        const int height = w->height();
        QAction *hint = Part<QAction>(Main.get(), "ItemHint");
        QVERIFY(hint->isEnabled());
        const QImage work = w->Board()->WorkBitmap().copy();
        const QImage before = w->View()->grab().toImage();
        QTest::keyClick(Main.get(), Qt::Key_T, Qt::ControlModifier);
        QTRY_VERIFY(w->ShownHint());
        // A to the right end in one drag; nothing moved, nothing drawn into
        // the board's own pictures, but the view shows the mark.
        QCOMPARE(w->ShownHint()->Piece, 0);
        QCOMPARE(w->ShownHint()->To, std::vector<QRect>{QRect(130, 10, 40, 40)});
        QCOMPARE(w->Board()->MoveIndex, 0);
        QCOMPARE(w->LblObject->text(),
                 QStringLiteral("Tipp: das markierte Teil wie gezeigt ziehen, noch mindestens "
                                "1 Zug."));
        // The window grew by the lines the text needs.
        QVERIFY(w->height() > height);
        QCOMPARE(w->LblObject->height(), w->LblObject->heightForWidth(w->width()) + 2);
        QCOMPARE(w->SubWindow()->widget()->height(), w->height());
        QCOMPARE(w->Board()->WorkBitmap(), work);
        const QImage marked = w->View()->grab().toImage();
        QVERIFY(marked.pixel(150, 11) != before.pixel(150, 11)); // the target's edge
        QCOMPARE(marked.pixel(30, 70), before.pixel(30, 70));    // B, untouched
        // The goal view tells the moves still needed beside the minimum.
        QAction *goal = Part<QAction>(Main.get(), "ItemShowObject");
        goal->trigger();
        QTRY_COMPARE(w->LblObject->text(),
                     QStringLiteral("Zielposition (? Züge), noch mindestens 1 Zug"));
        goal->trigger();
        QVERIFY(w->ShownHint());

        // The player follows it: the mark goes, the goal is reached, and
        // the game, helped, is not offered to the best-ten list.
        DragA(w, 3);
        QVERIFY(!w->ShownHint());
        QVERIFY(w->Game()->Finished);
        QVERIFY(listed.isEmpty());
        QCOMPARE(w->LblObject->text(),
                 QStringLiteral("Mit Hilfe gelöst – dieses Spiel kommt nicht in die Bestenliste."));
        QVERIFY(Part<QLabel>(Main.get(), "LblHurra")
                    ->text()
                    .endsWith("(mit Hilfe – nicht für die Bestenliste)"));
        QVERIFY(!hint->isEnabled());
        QTRY_COMPARE(w->View()->grab().toImage().pixel(12, 30),
                     w->Board()->WorkBitmap().pixel(12, 30));
    }

    void aDemonstrationCountsAndStopsAtAClick()
    {
        WriteSwap();
        StartMain();
        Settings().FullScreen2 = true;
        QList<int> listed;
        TFormZarvo::SetTopListHook([&](QWidget *, TZarvoPad *, int moves, int) {
            listed << moves;
            return true;
        });
        TFormZarvo *w = Main->OpenGame(0, QStringLiteral("Tausch.zrv"), true);
        QVERIFY(w && w->IsFullScreen());
        // The full-screen caption has the frame's command as a button.
        QToolButton *button = nullptr;
        for (QToolButton *b : w->PnlHelp->findChildren<QToolButton *>())
            if (b->defaultAction() == Part<QAction>(Main.get(), "ItemDemo"))
                button = b;
        QVERIFY(button && button->isVisible());
        QTest::mouseClick(button, Qt::LeftButton);
        QTRY_VERIFY(w->Demonstrating());
        QTRY_VERIFY(w->Board()->MoveIndex == 1 && w->Board()->Dragging);
        // A click on the board stops it; the move under way is finished and
        // the click drags nothing.
        QTest::mouseClick(w->View(), Qt::LeftButton, Qt::NoModifier, QPoint(150, 30));
        QVERIFY(!w->Demonstrating());
        QVERIFY(!w->Board()->Dragging);
        QCOMPARE(w->Board()->MoveIndex, 2);
        QCOMPARE(w->LblMoves->text(), QStringLiteral("2 Züge"));
        QVERIFY(w->Game()->Finished);
        QVERIFY(w->Game()->Helped());
        QVERIFY(listed.isEmpty());
        QVERIFY(w->LblHurra->text().endsWith("(mit Hilfe – nicht für die Bestenliste)"));

        // A key stops it too; when its release never comes (the program
        // lost the focus meanwhile), the next key is not swallowed.
        w->Undo(true);
        Part<QAction>(Main.get(), "ItemDemo")->trigger();
        QTRY_VERIFY(w->Demonstrating());
        QTest::keyPress(w->View(), Qt::Key_A);
        QVERIFY(!w->Demonstrating());
        QEvent away(QEvent::ApplicationDeactivate);
        QCoreApplication::sendEvent(qApp, &away);
        QTest::keyClick(Main.get(), Qt::Key_M, Qt::ControlModifier);
        QTRY_VERIFY(w->LblObject->text().startsWith(QStringLiteral("Noch mindestens")));
    }

    void noWayIsSaidPlainly()
    {
        // The goal wants A where the fixed piece W stands.
        Root->Write(QStringLiteral("Data/Mauer.zrv"),
                    "[Pad]\r\nFrameSize=4,2\r\nUnitSize=40\r\nOffset=10,10\r\nBackSize=5,3\r\n"
                    "[Start]\r\nCount=2\r\nZarvo1=Zarvo11,A,0,0,0,0,1\r\n"
                    "Zarvo2=Zarvo11,W,3,0,0,0,0\r\n"
                    "[Object]\r\nCount=1\r\nZarvo1=Zarvo11,A,3,0,0,0,1\r\n");
        StartMain();
        UseWindowedGames();
        TFormZarvo *w = Main->OpenGame(0, QStringLiteral("Mauer.zrv"), true);
        QVERIFY(w);
        Root->Messages.clear();
        w->AskMovesLeft();
        QTRY_COMPARE(Root->Messages,
                     QStringList{"Von dieser Stellung aus ist das Ziel nicht erreichbar."});
        // After a move, undo is offered; Yes takes it back.
        DragA(w, 1);
        Root->Messages.clear();
        Root->Answer = QMessageBox::Yes;
        QTest::keyClick(Main.get(), Qt::Key_M, Qt::ControlModifier);
        QTRY_COMPARE(Root->Messages, QStringList{"Von hier ist das Ziel nicht mehr erreichbar.\r"
                                                 "Den letzten Zug zurücknehmen?"});
        QCOMPARE(w->Board()->MoveIndex, 0);
        QVERIFY(!w->Game()->Helped());

        // A budget that runs out says so.
        WriteSwap();
        w = Main->OpenGame(0, QStringLiteral("Tausch.zrv"), true);
        QVERIFY(w);
        w->Game()->Solver().Limits.MaxPositions = 1;
        Root->Messages.clear();
        w->AskHint();
        QTRY_COMPARE(Root->Messages.size(), 1);
        QVERIFY(Root->Messages.first().startsWith("Die Suche ist an ihre Grenze gestoßen"));
        QVERIFY(!w->ShownHint());
        QVERIFY(!w->Game()->Helped());
    }

    void aSoundThatCannotBePlayedIsReportedAndSkipsTheList()
    {
        StartMain();
        UseWindowedGames();
        Root->Write(QStringLiteral("kaputt.wav"), "das ist kein Klang");
        Settings().GameOverFile = Root->Path(QStringLiteral("kaputt.wav"));
        int listed = 0;
        TFormZarvo::SetTopListHook([&](QWidget *, TZarvoPad *, int, int) {
            ++listed;
            return true;
        });
        TFormZarvo *w = OpenRow();
        QVERIFY(w);
        Root->Messages.clear();
        DragA(w, 3);
        QVERIFY(w->Game()->Finished);
        QCOMPARE(Root->Messages.size(), 1);
        QVERIFY(Root->Messages.first().contains(QStringLiteral("kaputt.wav")));
        QCOMPARE(listed, 0);
    }

    void theBundledSuccessSoundOpensWithoutAReport()
    {
        StartMain();
        const QString sound = QStringLiteral(ZARVOS_SOURCE_DIR "/data/GameOver.wav");
        QVERIFY(QFile::exists(sound));
        Root->Messages.clear();
        RunReported([&] { Main->PlayMedia(sound); });
        QCOMPARE(Root->Messages, QStringList());
        QCOMPARE(Part<QMediaPlayer>(Main.get(), "MediaPlayer")->source(),
                 QUrl::fromLocalFile(sound));
    }

    void holdingUndoAndRedoAccelerates()
    {
        Root->WriteState(QStringLiteral("Lang.zrh"), 37, 38);
        StartMain();
        UseWindowedGames();
        TFormZarvo *w = Main->OpenGame(1, QStringLiteral("Lang.zrh"), true);
        QVERIFY(w);
        TZarvoPad *board = w->Board();
        QList<int> steps;
        auto record = [&] { steps << board->MoveIndex; };
        connect(Part<TTimerSpeedButton>(Main.get(), "BtnUndo"), &QAbstractButton::clicked, this,
                record);
        QTest::mousePress(Part<TTimerSpeedButton>(Main.get(), "BtnUndo"), Qt::LeftButton);
        QTRY_COMPARE_WITH_TIMEOUT(board->MoveIndex, 0, 5000);
        QTest::mouseRelease(Part<TTimerSpeedButton>(Main.get(), "BtnUndo"), Qt::LeftButton);
        QCOMPARE(steps, (QList<int>{36, 35, 34, 33, 32, 31, 30, 29, 28, 27, 25, 20, 15, 10, 5, 0}));
        QCOMPARE(w->Game()->RepeatCount(), 0);
        disconnect(Part<TTimerSpeedButton>(Main.get(), "BtnUndo"), nullptr, this, nullptr);
        w->CloseWindow();

        Root->WriteState(QStringLiteral("Kurz.zrh"), 0, 23);
        w = Main->OpenGame(1, QStringLiteral("Kurz.zrh"), true);
        QVERIFY(w);
        board = w->Board();
        steps.clear();
        connect(Part<TTimerSpeedButton>(Main.get(), "BtnRedo"), &QAbstractButton::clicked, this,
                record);
        QTest::mousePress(Part<TTimerSpeedButton>(Main.get(), "BtnRedo"), Qt::LeftButton);
        QTRY_COMPARE_WITH_TIMEOUT(board->MoveIndex, 22, 5000);
        QCOMPARE(w->Game()->RepeatCount(), 0); // reset at the last entry
        QTest::mouseRelease(Part<TTimerSpeedButton>(Main.get(), "BtnRedo"), Qt::LeftButton);
        QCOMPARE(steps, (QList<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 15, 20, 22}));

        // The menu item always moves one step, however often it comes.
        for (int i = 1; i <= 12; ++i) {
            Part<QAction>(Main.get(), "ItemUndo")->trigger();
            QCOMPARE(board->MoveIndex, 22 - i);
        }
        QCOMPARE(w->Game()->RepeatCount(), 0);

        // Alt+Backspace in the window keeps counting until a release, a
        // menu step or an end resets it: the eleventh key step jumps.
        for (int i = 0; i < 10; ++i)
            QTest::keyClick(w, Qt::Key_Backspace, Qt::AltModifier);
        QCOMPARE(board->MoveIndex, 0);
        QCOMPARE(w->Game()->RepeatCount(), 0);
        for (int i = 0; i < 10; ++i)
            QTest::keyClick(w, Qt::Key_Backspace, Qt::AltModifier | Qt::ShiftModifier);
        QCOMPARE(board->MoveIndex, 10);
        QTest::keyClick(w, Qt::Key_Backspace, Qt::AltModifier | Qt::ShiftModifier);
        QCOMPARE(board->MoveIndex, 15);
        Main->BtnUnRedoEndClick();
        QCOMPARE(w->Game()->RepeatCount(), 0);
    }

    void closingAGameSavesItOnlyWithMoves()
    {
        Root->Write(QStringLiteral("Hist/Letzter Spielstand.zrh"), "alt");
        StartMain();
        UseWindowedGames();
        TFormZarvo *w = OpenRow();
        QVERIFY(w);
        Main->ItemCloseClick();
        QTRY_VERIFY(Main->PuzzleWindows().isEmpty());
        QCOMPARE(Root->Read(QStringLiteral("Hist/Letzter Spielstand.zrh")), QByteArray("alt"));
        // The start panel comes back with the last game offered.
        QTRY_VERIFY(!Part<QFrame>(Main.get(), "PnlStart")->isHidden());
        QTRY_VERIFY(Part<QPushButton>(Main.get(), "BtnLoadLast")->hasFocus());

        w = OpenRow();
        QVERIFY(w);
        DragA(w, 1);
        QCOMPARE(w->Board()->MoveIndex, 1);
        // The first Esc of the program ends the current game.
        QTest::keyClick(Main.get(), Qt::Key_Escape);
        QTRY_VERIFY(Main->PuzzleWindows().isEmpty());
        const QByteArray saved = Root->Read(QStringLiteral("Hist/Letzter Spielstand.zrh"));
        QVERIFY(saved.startsWith("Reihe.zrv\r\n1;;0\r\n"));
        QVERIFY(Main->isVisible());

        // Continuing it opens the same position.
        Main->BtnLoadLastClick();
        QCOMPARE(Main->PuzzleWindows().size(), 1);
        QCOMPARE(Main->PuzzleWindows().first()->Board()->MoveIndex, 1);
    }

    void twoWindowsKeepThePanelAwayUntilTheLastCloses()
    {
        StartMain();
        UseWindowedGames();
        TFormZarvo *a = OpenRow();
        TFormZarvo *b = OpenRow();
        QVERIFY(a && b);
        QCOMPARE(Main->MdiChildCount(), 2);
        DragA(a, 1);
        DragA(b, 2);
        // The hand is the pointer of the active game only: it goes from a
        // window that is no longer the active one.
        const QPoint over(30, 30);
        QCursor::setPos(b->View()->mapToGlobal(over));
        QTest::mouseMove(b->View(), over);
        b->View()->repaint();
        QVERIFY(b->View()->HandShown());
        Part<QMdiArea>(Main.get(), "MdiArea")->setActiveSubWindow(a->SubWindow());
        b->View()->repaint();
        QVERIFY(!b->View()->HandShown());
        QCOMPARE(b->View()->cursor().shape(), Qt::ArrowCursor);
        // A close request to the window that is not active (its close
        // button, the window menu): its own game becomes the last game.
        QCOMPARE(Main->ActiveZarvo(), a);
        b->SubWindow()->close();
        QTRY_COMPARE(Main->MdiChildCount(), 1);
        QVERIFY(
            Root->Read(QStringLiteral("Hist/Letzter Spielstand.zrh")).endsWith("\r\n2;0;0;1;\r\n"));
        QCoreApplication::processEvents();
        QVERIFY(Part<QFrame>(Main.get(), "PnlStart")->isHidden());
        a->CloseWindow();
        QTRY_VERIFY(!Part<QFrame>(Main.get(), "PnlStart")->isHidden());
        QVERIFY(!Part<QMenu>(Main.get(), "MenuEdit")->menuAction()->isVisible());
    }

    void fullScreenHidesAndRestoresTheFrame()
    {
        StartMain();
        Settings().FullScreen2 = true;
        const QSize before = Main->size();
        TFormZarvo *w = OpenRow();
        QVERIFY(w);
        QVERIFY(w->IsFullScreen());
        QVERIFY(!w->SubWindow());
        QVERIFY(Main->menuBar()->isHidden());
        QVERIFY(Part<QToolBar>(Main.get(), "SpeedPanel")->isHidden());
        QVERIFY(Main->statusBar()->isHidden());
        QCOMPARE(Main->minimumSize(), before);
        QCOMPARE(Main->maximumSize(), before);
        QTRY_COMPARE(w->geometry(), Part<QWidget>(Main.get(), "ClientArea")->rect());
        QVERIFY(w->PnlMoves->isVisible());
        QCOMPARE(w->LblCaption->text(), QStringLiteral("** Reihe"));
        // Board and the half-size goal picture share the width in equal gaps;
        // the board fits the space at the largest zoom that leaves them.
        const int bw = w->View()->width();
        QCOMPARE(w->BoardArea()->x(), (w->width() - 3 * bw / 2) / 3);
        QCOMPARE(w->BoardArea()->size(), w->View()->size());
        QVERIFY(w->View()->Zoom() > 1.5);
        QVERIFY(w->BoardArea()->geometry().bottom() < w->PnlObject->y());
        QCOMPARE(w->LblTime->text(), QStringLiteral("Zeit: 0:00"));

        // Its own buttons act on its own board.
        DragA(w, 1);
        QCOMPARE(w->LblMoves->text(), QStringLiteral("1 Zug"));
        QVERIFY(w->BtnUndo->isEnabled());
        QVERIFY(w->BtnStart->isEnabled());
        QVERIFY(w->LblTime->isEnabled()); // the clock runs from the first press
        QVERIFY(w->Game()->StartTime > 0);
        QTest::mouseClick(w->BtnUndo, Qt::LeftButton);
        QCOMPARE(w->Board()->MoveIndex, 0);
        QVERIFY(!w->BtnUndo->isEnabled());
        QVERIFY(w->BtnRedo->isEnabled());
        QTest::mouseClick(w->BtnRedo, Qt::LeftButton);
        QCOMPARE(w->Board()->MoveIndex, 1);
        // Restart before the goal keeps the history.
        QTest::mouseClick(w->BtnStart, Qt::LeftButton);
        QCOMPARE(w->Board()->MoveIndex, 0);
        QCOMPARE(w->Board()->History.size(), 2);
        QVERIFY(w->BtnRedo->isEnabled());

        // Esc closes the game and gives the frame back; the next asks.
        QTest::keyClick(w, Qt::Key_Escape);
        QTRY_VERIFY(Main->PuzzleWindows().isEmpty());
        QVERIFY(!Main->menuBar()->isHidden());
        QVERIFY(!Part<QToolBar>(Main.get(), "SpeedPanel")->isHidden());
        QVERIFY(!Main->statusBar()->isHidden());
        QCOMPARE(Main->minimumSize(), QSize(720, 600));
        QCOMPARE(Main->maximumSize(), QSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX));
        QTRY_VERIFY(!Part<QFrame>(Main.get(), "PnlStart")->isHidden());

        Root->Messages.clear();
        Root->Answer = QMessageBox::No;
        QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : Main.get(),
                        Qt::Key_Escape);
        QCOMPARE(Root->Messages, QStringList{QStringLiteral("Willst du Zarvos schon beenden?")});
        QVERIFY(Main->isVisible());
    }

    // With the menu hidden, a full-screen game is played and commanded by
    // keys alone; the keys reach the board wherever the focus was left.
    void aFullScreenGameIsPlayedByKeysAlone()
    {
        StartMain();
        Settings().FullScreen2 = true;
        TFormZarvo *w = OpenRow();
        QVERIFY(w);
        QVERIFY(Main->menuBar()->isHidden());
        TBoardView *view = w->View();
        QTRY_COMPARE(QApplication::focusWidget(), view);
        auto key = [](int k, Qt::KeyboardModifiers mods = Qt::NoModifier) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key(k), mods);
        };
        key(Qt::Key_Tab);
        QCOMPARE(view->Selection(), 0);
        QCOMPARE(view->accessibleDescription(),
                 QStringLiteral("0 Züge. Ausgewählt: Teil A, Spalte 1, Zeile 1."));
        key(Qt::Key_Right);
        key(Qt::Key_Right);
        QCOMPARE(w->Board()->Piece(0)->X, 10 + 2 * 40);
        QCOMPARE(w->LblMoves->text(), QStringLiteral("1 Zug"));
        QVERIFY(w->Game()->StartTime > 0); // the first key move starts the clock
        // Tab goes round the pieces and never leaves the board.
        key(Qt::Key_Tab);
        QCOMPARE(view->Selection(), 1);
        key(Qt::Key_Tab);
        QCOMPARE(view->Selection(), 0);
        key(Qt::Key_Tab, Qt::ShiftModifier);
        QCOMPARE(view->Selection(), 1);
        QCOMPARE(QApplication::focusWidget(), view);
        // B cannot go down: nothing moves, nothing is counted, the frame flashes.
        key(Qt::Key_Down);
        QVERIFY(view->Flashing());
        QCOMPARE(w->Board()->Piece(1)->Y, 50);
        QCOMPARE(w->LblMoves->text(), QStringLiteral("1 Zug"));

        // The menu's keys: undo, redo, restart, goal, zoom and help.
        key(Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(w->Board()->MoveIndex, 0);
        key(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(w->Board()->MoveIndex, 1);
        key(Qt::Key_R, Qt::ControlModifier);
        QCOMPARE(w->Board()->MoveIndex, 0);
        QVERIFY(w->BtnRedo->isEnabled());
        key(Qt::Key_P, Qt::ControlModifier);
        QVERIFY(w->Board()->ShowObject);
        key(Qt::Key_Tab); // chooses nothing while the goal is shown
        QCOMPARE(view->Selection(), 1);
        key(Qt::Key_P, Qt::ControlModifier);
        QVERIFY(!w->Board()->ShowObject);
        QTRY_COMPARE(QApplication::focusWidget(), view);
        key(Qt::Key_0, Qt::ControlModifier);
        QCOMPARE(view->Zoom(), 1.0);
        QCOMPARE(Settings().Zoom, 100);
        key(Qt::Key_Plus, Qt::ControlModifier);
        QCOMPARE(view->Zoom(), 1.25);
        key(Qt::Key_Minus, Qt::ControlModifier);
        key(Qt::Key_Minus, Qt::ControlModifier);
        QCOMPARE(view->Zoom(), 0.75);
        key(Qt::Key_9, Qt::ControlModifier);
        QCOMPARE(Settings().Zoom, 0);
        QVERIFY(view->Zoom() > 1.5);
        QSignalSpy help(Part<QAction>(Main.get(), "ItemHilfe"), &QAction::triggered);
        key(Qt::Key_F1);
        QCOMPARE(help.size(), 1);
    }

    void aBoardTooWideForTheFrameStaysReachable()
    {
        QByteArray wide = RowPuzzle();
        wide.replace("FrameSize=4,2", "FrameSize=16,2").replace("BackSize=5,3", "BackSize=17,3");
        wide.replace("ObjectInfo=Schiebe A ganz nach rechts",
                     "ObjectInfo=" + QByteArray("Ein sehr langer Zieltext ").repeated(8));
        Root->Write(QStringLiteral("Data/Breit.zrv"), wide);
        StartMain();
        Settings().FullScreen2 = true;
        TFormZarvo *w = Main->OpenGame(0, QStringLiteral("Breit.zrv"), true);
        QVERIFY(w);
        QTRY_COMPARE(w->geometry(), Part<QWidget>(Main.get(), "ClientArea")->rect());
        // Fitted, the whole board is on show beside its goal picture.
        QVERIFY(w->Board()->Width() * 3 / 2 > w->width());
        QVERIFY(w->View()->Zoom() < 1);
        QCOMPARE(w->BoardArea()->size(), w->View()->size());
        QVERIFY(w->BoardArea()->x() * 3 + w->View()->width() * 3 / 2 <= w->width());
        // Too large for the width beside the goal: centred on its own.
        w->SetZoom(100);
        QCOMPARE(w->View()->Zoom(), 1.0);
        QCOMPARE(w->BoardArea()->x(), (w->width() - w->View()->width()) / 2);
        // Too large for the window: the whole width, below the panels,
        // scrolled.
        w->SetZoom(200);
        QCOMPARE(w->BoardArea()->x(), 0);
        QCOMPARE(w->BoardArea()->width(), w->width());
        QVERIFY(w->BoardArea()->y() >= w->PnlMoves->geometry().bottom());
        QVERIFY(w->BoardArea()->horizontalScrollBar()->isVisible());
        // The whole goal text fits its panel under the board.
        QVERIFY(w->LblObject->height() >= w->LblObject->heightForWidth(w->width()));
        QVERIFY(w->LblObject->height() > 30);
    }

    // A windowed game too wide for the frame opens fitted, with no empty
    // strips beside it, and its board grows as the player widens it.
    void aWindowedBoardFitsAndFollowsItsWindow()
    {
        QByteArray wide = RowPuzzle();
        wide.replace("FrameSize=4,2", "FrameSize=30,2").replace("BackSize=5,3", "BackSize=31,3");
        Root->Write(QStringLiteral("Data/Breit.zrv"), wide);
        StartMain();
        UseWindowedGames();
        TFormZarvo *w = Main->OpenGame(0, QStringLiteral("Breit.zrv"), true);
        QVERIFY(w);
        QTRY_VERIFY(w->View()->Zoom() < 1);
        QCOMPARE(w->BoardArea()->size(), w->View()->size());
        QVERIFY(w->SubWindow()->width() <= Part<QMdiArea>(Main.get(), "MdiArea")->width());
        const double zoom = w->View()->Zoom();
        Main->resize(Main->width() + 400, Main->height());
        w->SubWindow()->resize(w->SubWindow()->width() + 300, w->SubWindow()->height() + 100);
        QTRY_VERIFY(w->View()->Zoom() > zoom);
        QVERIFY(!w->BoardArea()->horizontalScrollBar()->isVisible());
    }

    void restartAfterTheGoalReloadsThePuzzle()
    {
        StartMain();
        Settings().FullScreen2 = true;
        TFormZarvo *w = OpenRow();
        QVERIFY(w);
        DragA(w, 3);
        QVERIFY(w->Game()->Finished);
        QVERIFY(w->LblHurra->isVisible());
        w->Game()->ElapsedSeconds = 99;
        QTest::mouseClick(w->BtnStart, Qt::LeftButton);
        QVERIFY(!w->Game()->Finished);
        QCOMPARE(w->Board()->MoveIndex, 0);
        QCOMPARE(w->Board()->History.size(), 1);
        QCOMPARE(w->Game()->ElapsedSeconds, 0);
        QCOMPARE(w->LblTime->text(), QStringLiteral("Zeit: 0:00"));
        QVERIFY(!w->LblHurra->isVisible());
        QVERIFY(Main->menuBar()->isHidden());
    }

    void theClockCountsMinutesAndSeconds()
    {
        StartMain();
        Settings().FullScreen2 = true;
        TFormZarvo *w = OpenRow();
        QVERIFY(w);
        w->Game()->StartTime = TZarvoGame::ClockNow() - 725.0 / 86400;
        w->TimerTimer();
        QCOMPARE(w->Game()->ElapsedSeconds, 725);
        QCOMPARE(w->LblTime->text(), QStringLiteral("Zeit: 12:05"));
        w->Game()->StartTime = TZarvoGame::ClockNow() - 3660.0 / 86400;
        w->TimerTimer();
        QCOMPARE(w->LblTime->text(), QStringLiteral("Zeit: 61:00"));
        // Stopped for good at the goal.
        w->Game()->Finished = true;
        w->Game()->StartTime = TZarvoGame::ClockNow() - 10.0 / 86400;
        w->TimerTimer();
        QCOMPARE(w->Game()->ElapsedSeconds, 3660);
        QCOMPARE(MovesText(0), QStringLiteral("0 Züge"));
        QCOMPARE(MovesText(1), QStringLiteral("1 Zug"));
        QCOMPARE(MovesText(2), QStringLiteral("2 Züge"));
    }

    void aFailedLoadLeavesNoWindow()
    {
        Root->Write(QStringLiteral("Data/Kaputt.zrv"),
                    "[Pad]\r\nFrameSize=4,x\r\n[Start]\r\nCount=0\r\n");
        for (bool fullScreen : {false, true}) {
            StartMain();
            Settings().FullScreen2 = fullScreen;
            TFormZarvo *before = OpenRow();
            QVERIFY(before);
            Root->Messages.clear();
            QVERIFY(!Main->OpenGame(0, QStringLiteral("Kaputt.zrv"), true));
            QCOMPARE(Root->Messages.size(), 1);
            QVERIFY2(Root->Messages.first().startsWith(
                         QStringLiteral("Fehler beim Laden\rFehler beim Laden der Zarvo-Datei\r")),
                     qPrintable(Root->Messages.first()));
            QCOMPARE(Main->PuzzleWindows(), QList<TFormZarvo *>{before});
            QCOMPARE(Main->CurrentZarvo.data(), before);
            before->CloseWindow();
            QTRY_VERIFY(Main->PuzzleWindows().isEmpty());
            // A missing game state fails the same way and the frame is whole.
            Root->Messages.clear();
            QVERIFY(!Main->OpenGame(1, QStringLiteral("gibtsnicht.zrh"), true));
            QCOMPARE(Root->Messages.size(), 1);
            QVERIFY(Root->Messages.first().startsWith(QStringLiteral("Fehler beim Laden\r")));
            QVERIFY(Main->PuzzleWindows().isEmpty());
            QVERIFY(!Main->menuBar()->isHidden());
            QCOMPARE(Main->maximumSize(), QSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX));
            QTRY_VERIFY(!Part<QFrame>(Main.get(), "PnlStart")->isHidden());
            EndMain();
        }
    }

    void settingsAreWrittenAtExitAndReadAtTheNextStart()
    {
        StartMain();
        // A first start has the defaults.
        QVERIFY(Settings().FullScreen2);
        QVERIFY(Settings().Cursor64);
        QVERIFY(Settings().Grid);
        QVERIFY(Part<QToolButton>(Main.get(), "BtnGrid")->isChecked());
        QCOMPARE(Settings().GameOverText, QStringLiteral("Ziel ereicht, Bravo!"));
        QCOMPARE(Settings().GameOverFile, DataRoot::RootDir() + QStringLiteral("GameOver.wav"));
        QVERIFY(!QFile::exists(Root->SettingsFile())); // nothing written before the exit

        // The toolbar toggle changes Grid at once.
        QTest::mouseClick(Part<QToolButton>(Main.get(), "BtnGrid"), Qt::LeftButton);
        QVERIFY(!Settings().Grid);
        Settings().Player = QStringLiteral("Erika");
        Settings().FullScreen2 = false;
        // Refused exit writes nothing.
        Root->Answer = QMessageBox::No;
        QVERIFY(!Main->close());
        QVERIFY(!QFile::exists(Root->SettingsFile()));
        EndMain();

        QSettings store(Root->SettingsFile(), QSettings::IniFormat);
        QCOMPARE(store.value(QStringLiteral("Grid")).toString(), QStringLiteral("0"));
        QCOMPARE(store.value(QStringLiteral("FullScreen2")).toString(), QStringLiteral("0"));
        QCOMPARE(store.value(QStringLiteral("Player")).toString(), QStringLiteral("Erika"));
        QVERIFY(store.contains(QStringLiteral("FormMain/Left")));

        // The next start reads them back.
        Settings() = TZarvoSettings();
        StartMain();
        QVERIFY(!Settings().Grid);
        QVERIFY(!Part<QToolButton>(Main.get(), "BtnGrid")->isChecked());
        QVERIFY(!Settings().FullScreen2);
        QCOMPARE(Settings().Player, QStringLiteral("Erika"));
    }

    void theHiddenSpeedTestReportsFramesPerSecond()
    {
        StartMain();
        UseWindowedGames();
        // Without a game the key does nothing.
        Part<QAction>(Main.get(), "ItemSpeed")->trigger();
        QVERIFY(!Part<QToolButton>(Main.get(), "BtnSpeed")->isChecked());

        TFormZarvo *w = OpenRow();
        QVERIFY(w);
        TZarvoPad *board = w->Board();
        const QPoint a(board->Piece(0)->X + 20, board->Piece(0)->Y + 20);
        const QPoint b(board->Piece(1)->X + 20, board->Piece(1)->Y + 20);
        QTest::mouseClick(w->View(), Qt::LeftButton, Qt::NoModifier, b);
        QTest::mouseClick(w->View(), Qt::LeftButton, Qt::NoModifier, a);
        QCOMPARE(board->LastHit, 0);
        QCOMPARE(board->PrevHit, 1);

        QString shown;
        QTimer::singleShot(1300, this, [&] {
            shown = Part<QLabel>(Main.get(), "StatusPanel")->text();
            Part<QAction>(Main.get(), "ItemSpeed")->trigger(); // the same key ends it
        });
        Part<QAction>(Main.get(), "ItemSpeed")->trigger(); // runs until ended
        QVERIFY2(QRegularExpression(QStringLiteral("^\\d+ Bilder/sec$")).match(shown).hasMatch(),
                 qPrintable(shown));
        QVERIFY(!Part<QToolButton>(Main.get(), "BtnSpeed")->isChecked());
        QVERIFY(Part<QLabel>(Main.get(), "StatusPanel")->text().isEmpty());
        // The two pieces touch already, so neither could move.
        QCOMPARE(board->Piece(0)->Y, 10);
        QCOMPARE(board->Piece(1)->Y, 50);
    }

    void exitWithAGameOpenSavesIt()
    {
        StartMain();
        UseWindowedGames();
        TFormZarvo *w = OpenRow();
        QVERIFY(w);
        DragA(w, 1);
        // A second game opened from the expert does not become current; the
        // active one is saved at exit all the same.
        Main->CurrentZarvo = nullptr;
        Root->Messages.clear();
        Main->ItemExitClick();
        QCOMPARE(Root->Messages, QStringList{QStringLiteral("Willst du Zarvos schon beenden?")});
        QVERIFY(Root->Read(QStringLiteral("Hist/Letzter Spielstand.zrh")).startsWith("Reihe.zrv"));
        Main.reset();
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
