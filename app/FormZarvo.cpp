// The puzzle window: creation in both modes, the clock, the goal handling.
#include "FormZarvo.h"

#include "BoardView.h"
#include "ErrorReport.h"
#include "FormTopList.h"
#include "FormZarvoMain.h"
#include "Glyphs.h"
#include "Settings.h"
#include "TimerSpeedButton.h"
#include "ZarvoError.h"
#include "ZarvoPad.h"

#include <QCloseEvent>
#include <QDateTime>
#include <QHBoxLayout>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QPainter>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <cmath>

namespace {

const QColor FormColour(216, 196, 170);
const QColor MovesColour(164, 123, 88);

TFormZarvo::TTopListHook TopListHook;

QFont ComicFont(int pixelSize)
{
    QFont f(QStringLiteral("Comic Sans MS"));
    f.setPixelSize(pixelSize);
    f.setBold(true);
    return f;
}

void Paint(QWidget *w, const QColor &colour)
{
    QPalette pal = w->palette();
    pal.setColor(QPalette::Window, colour);
    w->setPalette(pal);
    w->setAutoFillBackground(true);
}

// White, bold text on the moves panel; greyed while disabled. A button
// raised under the pointer draws its face in the panel's own brown, so the
// white text stays readable on it.
void WhiteText(QWidget *w, int pixelSize)
{
    w->setFont(ComicFont(pixelSize));
    QPalette pal = w->palette();
    for (auto group : {QPalette::Active, QPalette::Inactive}) {
        pal.setColor(group, QPalette::WindowText, Qt::white);
        pal.setColor(group, QPalette::ButtonText, Qt::white);
    }
    for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        pal.setColor(group, QPalette::Button, MovesColour.darker(125));
        pal.setColor(group, QPalette::Light, MovesColour.lighter(130));
        pal.setColor(group, QPalette::Midlight, MovesColour.lighter(115));
        pal.setColor(group, QPalette::Mid, MovesColour.darker(140));
        pal.setColor(group, QPalette::Dark, MovesColour.darker(170));
    }
    pal.setColor(QPalette::Disabled, QPalette::WindowText, QColor(205, 180, 155));
    pal.setColor(QPalette::Disabled, QPalette::ButtonText, QColor(205, 180, 155));
    w->setPalette(pal);
}

} // namespace

QString MovesText(int moves)
{
    return moves == 1 ? QStringLiteral("1 Zug") : QStringLiteral("%1 Züge").arg(moves);
}

QString TimeText(int seconds)
{
    return QStringLiteral("Zeit: %1:%2")
        .arg(seconds / 60)
        .arg(seconds % 60, 2, 10, QLatin1Char('0'));
}

double TFormZarvo::ClockNow()
{
    return double(QDateTime::currentMSecsSinceEpoch()) / 86400000.0;
}

void TFormZarvo::SetTopListHook(TTopListHook hook)
{
    TopListHook = std::move(hook);
}

bool TFormZarvo::CallTopList(QWidget *owner, TZarvoPad *board, int newMoves, int newSeconds)
{
    if (TopListHook)
        return TopListHook(owner, board, newMoves, newSeconds);
    return ShowTopList(owner, board, newMoves, newSeconds);
}

TFormZarvo::TFormZarvo(TFormZarvoMain *main) : QWidget(main->ClientArea), Main(main)
{
    // Not yet shown (a child made after its parent appeared stays hidden
    // until shown), but not hidden on purpose either: the MDI frame shows
    // what it takes in only when it was not hidden explicitly.
    setWindowTitle(QStringLiteral("Erzeuge Zarvos..."));
    setFocusPolicy(Qt::StrongFocus);
    Paint(this, FormColour);
    CreateControls();
}

TFormZarvo::~TFormZarvo()
{
    // The view shows the board, so it goes first.
    delete FView;
    FView = nullptr;
    FBoard.reset();
}

void TFormZarvo::CreateControls()
{
    PnlCaption = new QWidget(this);
    PnlCaption->hide();
    LblCaption = new QLabel(PnlCaption);
    LblCaption->setAlignment(Qt::AlignCenter);
    LblCaption->setFont(ComicFont(29));

    PnlMoves = new QWidget(this);
    PnlMoves->hide();
    Paint(PnlMoves, MovesColour);
    auto *row = new QHBoxLayout(PnlMoves);
    row->setContentsMargins(8, 2, 8, 2);
    row->setSpacing(6);
    auto tool = [this](TGlyph glyph, const QString &caption) {
        auto *b = new QToolButton(PnlMoves);
        b->setIcon(Glyph(glyph));
        b->setIconSize(QSize(20, 20));
        b->setAutoRaise(true);
        b->setFocusPolicy(Qt::NoFocus);
        if (!caption.isEmpty()) {
            b->setText(caption);
            b->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
        }
        WhiteText(b, 15);
        return b;
    };
    BtnTopTen = tool(TGlyph::HighScore, QString());
    BtnTopTen->setToolTip(QStringLiteral("Bestenliste anzeigen"));
    BtnStart = tool(TGlyph::Restart, QStringLiteral("Neustart"));
    BtnStart->setEnabled(false);
    BtnUndo = new TTimerSpeedButton(PnlMoves);
    BtnRedo = new TTimerSpeedButton(PnlMoves);
    BtnUndo->setIcon(Glyph(TGlyph::Undo));
    BtnUndo->setText(QStringLiteral("Rückgängig"));
    BtnRedo->setIcon(Glyph(TGlyph::Redo));
    BtnRedo->setText(QStringLiteral("Wiederherstellen"));
    for (TTimerSpeedButton *b : {BtnUndo, BtnRedo}) {
        b->setIconSize(QSize(20, 20));
        b->setAutoRaise(true);
        b->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
        b->setFocusPolicy(Qt::NoFocus);
        b->SetTimeBtnState(TTimerSpeedButton::tbAllowTimer);
        b->setEnabled(false);
        WhiteText(b, 15);
    }
    LblMoves = new QLabel(QStringLiteral("Züge"), PnlMoves);
    LblTime = new QLabel(QStringLiteral("Zeit: 0:00"), PnlMoves);
    for (QLabel *l : {LblMoves, LblTime}) {
        WhiteText(l, 24);
        l->setEnabled(false);
        l->setMinimumWidth(150);
    }
    row->addWidget(BtnTopTen);
    row->addWidget(BtnStart);
    row->addWidget(BtnUndo);
    row->addWidget(BtnRedo);
    row->addSpacing(20);
    row->addWidget(LblMoves);
    row->addWidget(LblTime);
    row->addStretch(1);

    PnlObject = new QWidget(this);
    LblObject = new QLabel(PnlObject);
    LblObject->setAlignment(Qt::AlignHCenter | Qt::AlignBottom);
    LblObject->setFont(ComicFont(13));
    LblObject->setWordWrap(true);
    LblHurra = new QLabel(PnlObject);
    LblHurra->setAlignment(Qt::AlignCenter);
    LblHurra->setFont(ComicFont(21));
    QPalette red = LblHurra->palette();
    red.setColor(QPalette::WindowText, Qt::red);
    LblHurra->setPalette(red);
    Paint(LblHurra, FormColour);
    LblHurra->hide();

    Timer = new QTimer(this);
    Timer->setInterval(100);
    connect(Timer, &QTimer::timeout, this, [this] { TimerTimer(); });
    Timer->start();

    connect(BtnTopTen, &QToolButton::clicked, this,
            [this] { RunReported([this] { BtnTopTenClick(); }); });
    connect(BtnStart, &QToolButton::clicked, this,
            [this] { RunReported([this] { BtnStartClick(); }); });
    connect(BtnUndo, &TTimerSpeedButton::clicked, this,
            [this] { RunReported([this] { Main->ItemUndoClick(BtnUndo); }); });
    connect(BtnRedo, &TTimerSpeedButton::clicked, this,
            [this] { RunReported([this] { Main->ItemRedoClick(BtnRedo); }); });
    connect(BtnUndo, &TTimerSpeedButton::EndClick, this, [this] { Main->BtnUnRedoEndClick(); });
    connect(BtnRedo, &TTimerSpeedButton::EndClick, this, [this] { Main->BtnUnRedoEndClick(); });
}

TFormZarvo *TFormZarvo::Create(TFormZarvoMain *main, int loadMode, const QString &name)
{
    auto *w = new TFormZarvo(main);
    w->FullScreen = Settings().FullScreen2;
    w->SavedMinSize = main->minimumSize();
    try {
        w->Init(loadMode, name);
    } catch (const EZarvoError &e) {
        w->Abandon();
        throw e.Prefixed(QStringLiteral("Fehler beim Laden"));
    } catch (const std::exception &e) {
        w->Abandon();
        throw EZarvoError(QStringLiteral("Fehler beim Laden\r") + QString::fromLocal8Bit(e.what()));
    }
    return w;
}

QSize TFormZarvo::sizeHint() const
{
    return FullScreen ? QWidget::sizeHint() : minimumSize();
}

void TFormZarvo::Abandon()
{
    Closed = true;
    if (MainAltered)
        RestoreMainWindow();
    if (FSubWindow)
        delete FSubWindow; // takes this window with it
    else
        delete this;
}

void TFormZarvo::Init(int loadMode, const QString &name)
{
    StartTime = 0;
    ElapsedSeconds = 0;
    Finished = false;
    LblTime->setText(TimeText(0));

    // A new board is loaded beside the old one, which stays until it succeeded.
    auto board = std::make_unique<TZarvoPad>();
    board->Cursor64 = Settings().Cursor64;
    board->FullScreen = FullScreen;
    board->LoadPuzzle(name, loadMode == 1);

    auto *view = new TBoardView(board.get(), this);
    delete FView;
    FView = view;
    FBoard = std::move(board);
    FView->show();

    setWindowTitle(FBoard->Rating + QLatin1Char(' ') + FBoard->Title);
    LblObject->setText(FBoard->ObjectInfo);
    FBoard->OnMoved = [this](TZarvoPad &) { RunReported([this] { UpdateMain(FView); }); };
    FBoard->Redraw();

    if (!FullScreen) {
        const int bw = FBoard->Width(), bh = FBoard->Height();
        int textHeight = LblObject->heightForWidth(bw);
        if (textHeight < 0)
            textHeight = LblObject->sizeHint().height();
        FView->setGeometry(0, 0, bw, bh);
        PnlObject->setGeometry(0, bh, bw, textHeight + 2);
        LblObject->setGeometry(0, 0, bw, textHeight + 2);
        setFixedSize(bw, bh + textHeight + 2);
        if (!FSubWindow) {
            FSubWindow = Main->MdiArea->addSubWindow(this, Qt::SubWindow | Qt::WindowTitleHint |
                                                               Qt::WindowSystemMenuHint |
                                                               Qt::WindowCloseButtonHint);
            FSubWindow->setAttribute(Qt::WA_DeleteOnClose);
            FSubWindow->setWindowIcon(Glyph(TGlyph::NewGame));
        }
        FSubWindow->setWindowTitle(windowTitle());
        show();
        FSubWindow->adjustSize();
        FSubWindow->show();
        setFocus(Qt::OtherFocusReason);
    } else {
        SetUpFullScreen();
    }
    UpdateMain(nullptr);
}

void TFormZarvo::SetUpFullScreen()
{
    setAttribute(Qt::WA_DeleteOnClose);
    setGeometry(Main->ClientArea->rect());
    Main->ClientArea->installEventFilter(this);
    if (!MainAltered) {
        MainAltered = true;
        Main->menuBar()->hide();
        Main->SpeedPanel->hide();
        Main->statusBar()->hide();
    }
    show();
    raise();
    PnlMoves->show();
    LblTime->show();
    LblCaption->setText(windowTitle());
    PnlCaption->show();
    QFont f(QStringLiteral("Comic Sans MS"));
    f.setPointSize(16);
    f.setBold(true);
    LblObject->setFont(f);
    FBoard->OnMouseDownEvent = [this](TZarvoPad &, TMouseButton, TShiftState, int, int) {
        ZarvoPadMouseDown();
    };
    LayoutFullScreen();
    // The main window keeps its size while the game covers it.
    Main->setFixedSize(Main->size());
    setFocus(Qt::OtherFocusReason);
}

void TFormZarvo::LayoutFullScreen()
{
    if (!FullScreen || !FBoard)
        return;
    const int width = this->width(), client = height();
    const int hc = 40, hm = 40;
    // A goal text too long for one line gets the lines it needs.
    const int ho = qMax(30, LblObject->heightForWidth(width));
    PnlCaption->setGeometry(0, 0, width, hc);
    LblCaption->setGeometry(PnlCaption->rect());
    PnlMoves->setGeometry(0, hc, width, hm);
    PnlObject->setGeometry(0, client - ho, width, ho);
    LblObject->setGeometry(PnlObject->rect());
    if (!LblHurra->isHidden())
        LblHurra->setGeometry(LblObject->geometry());
    const int w = FBoard->Width(), h = FBoard->Height();
    // A board too big for the space starts at the left edge and under the
    // panels rather than being cut off where the player cannot reach it.
    const int left = qMax(0, (width - 3 * w / 2) / 3);
    const int top = qMax(hc + hm, (client - h - hc - hm - ho) / 2 + hc + hm);
    FView->setGeometry(left, top, w, h);

    if (FullScreenBack.size() != size()) {
        if (Main->ImgBack.isNull()) {
            FullScreenBack = QImage(size(), QImage::Format_RGB32);
            FullScreenBack.fill(FormColour);
        } else {
            TZarvoPad::TileBackground(FullScreenBack, width, client, Main->ImgBack);
        }
    }
    update();
}

void TFormZarvo::RestoreMainWindow()
{
    if (!MainAltered)
        return;
    MainAltered = false;
    Main->ClientArea->removeEventFilter(this);
    Main->setMinimumSize(SavedMinSize);
    Main->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    Main->menuBar()->show();
    Main->SpeedPanel->show();
    Main->statusBar()->show();
}

bool TFormZarvo::eventFilter(QObject *watched, QEvent *event)
{
    // The full-screen game follows the main window's client area, which
    // grows when menu, toolbar and status bar go.
    if (watched == Main->ClientArea && event->type() == QEvent::Resize && FullScreen && !Closed)
        setGeometry(Main->ClientArea->rect());
    return QWidget::eventFilter(watched, event);
}

void TFormZarvo::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    LayoutFullScreen();
}

void TFormZarvo::paintEvent(QPaintEvent *)
{
    if (!FullScreen || !FBoard)
        return;
    QPainter p(this);
    if (!FullScreenBack.isNull())
        p.drawImage(0, PnlCaption->height() + PnlMoves->height(), FullScreenBack);
    const QRect board = FView->geometry();
    const QRect goal(2 * board.left() + board.width(), board.top(), board.width() / 2,
                     board.height() / 2);
    if (!FBoard->ObjectBitmap.isNull())
        p.drawImage(goal, FBoard->ObjectBitmap);
}

void TFormZarvo::UpdateMain(QObject *sender)
{
    if (!FBoard || Closed)
        return;
    TZarvoPad &board = *FBoard;
    const int n = board.MoveIndex;

    Main->LblMoves->setText(MovesText(n));
    Main->BtnShowObject->setChecked(board.ShowObject);
    Main->ItemShowObject->setChecked(board.ShowObject);
    const bool undo = n > 0 && !board.ShowObject;
    const bool redo = int(board.History.size()) != n + 1 && !board.ShowObject;
    Main->BtnUndo->setEnabled(undo);
    Main->ItemUndo->setEnabled(undo);
    Main->BtnRedo->setEnabled(redo);
    Main->ItemRedo->setEnabled(redo);
    // Puzzles made by the expert keep their look.
    Main->ItemProperties->setEnabled(!board.DisableProp);
    Main->BtnProperties->setEnabled(!board.DisableProp);

    if (FullScreen) {
        BtnStart->setEnabled(undo);
        BtnUndo->setEnabled(undo);
        BtnRedo->setEnabled(redo);
        LblMoves->setText(Main->LblMoves->text());
    }

    if (Settings().Grid && !board.ShowObject) {
        board.RestorePosition(n);
        board.Redraw();
    }

    if (board.IsSolved() && !board.ShowObject) {
        const QString text = Settings().GameOverText;
        if (FullScreen) {
            LblHurra->setText(text);
            LblHurra->setGeometry(LblObject->geometry());
            LblHurra->show();
            LblHurra->raise();
        }
        Main->LblHurra->setText(text);
        Main->LblHurra->show();
        Finished = true;
        if (sender && (!board.Solved || board.SolvedMoves > n)) {
            QPointer<TFormZarvo> self(this);
            Main->PlayMedia(Settings().GameOverFile);
            if (self && FBoard)
                CallTopList(this, FBoard.get(), n, ElapsedSeconds);
        }
    } else {
        LblHurra->hide();
        Main->LblHurra->hide();
    }
}

void TFormZarvo::ZarvoPadMouseDown()
{
    if (StartTime == 0)
        StartTime = ClockNow();
    LblMoves->setEnabled(true);
    LblTime->setEnabled(true);
}

void TFormZarvo::TimerTimer()
{
    if (StartTime > 0 && !Finished) {
        ElapsedSeconds = int(std::trunc((ClockNow() - StartTime) * 24 * 3600 + 0.5));
        LblTime->setText(TimeText(ElapsedSeconds));
    }
}

void TFormZarvo::BtnStartClick()
{
    if (!FBoard)
        return;
    if (Finished) {
        // After the goal the puzzle starts afresh from its file.
        const QString file = FBoard->FileName;
        try {
            Init(0, file);
        } catch (const EZarvoError &e) {
            AbandonRestart();
            throw e.Prefixed(QStringLiteral("Fehler beim Laden"));
        } catch (const std::exception &e) {
            AbandonRestart();
            throw EZarvoError(QStringLiteral("Fehler beim Laden\r") +
                              QString::fromLocal8Bit(e.what()));
        }
        return;
    }
    FBoard->MoveIndex = 0;
    FBoard->LastMoved = -1;
    FBoard->RestorePosition(0);
    FBoard->Redraw();
    UpdateMain(BtnStart);
}

void TFormZarvo::AbandonRestart()
{
    // The window that could not be reloaded closes without saving its game.
    if (Main->CurrentZarvo == this)
        Main->CurrentZarvo = nullptr;
    SkipSaveOnClose = true;
    QMetaObject::invokeMethod(
        this, [this] { CloseWindow(); }, Qt::QueuedConnection);
}

void TFormZarvo::BtnTopTenClick()
{
    if (FBoard)
        CallTopList(this, FBoard.get(), 0, 0);
}

void TFormZarvo::SetShowObject(bool show)
{
    if (!FBoard)
        return;
    FBoard->SetShowObject(show);
    FView->setEnabled(!show);
    FBoard->Paint();
    FView->update();
    LblObject->setText(show ? QStringLiteral("Zielposition (%1 Züge)").arg(FBoard->BestMoves)
                            : FBoard->ObjectInfo);
}

void TFormZarvo::keyPressEvent(QKeyEvent *event)
{
    const Qt::KeyboardModifiers mods = event->modifiers() & ~Qt::KeypadModifier;
    if (event->key() == Qt::Key_Escape && mods == Qt::NoModifier) {
        QMetaObject::invokeMethod(
            this, [this] { CloseWindow(); }, Qt::QueuedConnection);
        return;
    }
    if (event->key() == Qt::Key_Backspace && mods == Qt::AltModifier) {
        RunReported([this] { Main->ItemUndoClick(this); });
        return;
    }
    if (event->key() == Qt::Key_Backspace && mods == (Qt::AltModifier | Qt::ShiftModifier)) {
        RunReported([this] { Main->ItemRedoClick(this); });
        return;
    }
    QWidget::keyPressEvent(event);
}

void TFormZarvo::CloseWindow()
{
    if (Closed)
        return;
    if (FSubWindow)
        FSubWindow->close();
    else
        close();
}

void TFormZarvo::closeEvent(QCloseEvent *event)
{
    if (Closed) {
        event->accept();
        return;
    }
    Closed = true;
    Timer->stop();
    RestoreMainWindow();
    if (!Main->Closing && !SkipSaveOnClose)
        Main->SaveLastGame(this);
    if (Main->CurrentZarvo == this)
        Main->CurrentZarvo = nullptr;
    event->accept();
    QTimer::singleShot(0, Main, [main = QPointer<TFormZarvoMain>(Main)] {
        if (main)
            main->PuzzleWindowClosed();
    });
}
