// The puzzle window: creation in both modes, the clock, the goal handling.
#include "FormZarvo.h"

#include "BoardView.h"
#include "Demonstration.h"
#include "ErrorReport.h"
#include "FormColour.h"
#include "FormTopList.h"
#include "Glyphs.h"
#include "Settings.h"
#include "TimerSpeedButton.h"
#include "ZarvoError.h"
#include "ZarvoPad.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPainter>
#include <QTimer>
#include <QToolButton>

namespace {

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

QString HurraText(const TGameStatus &status)
{
    return status.Helped ? Settings().GameOverText +
                               QStringLiteral(" (mit Hilfe – nicht für die Bestenliste)")
                         : Settings().GameOverText;
}

QString TimeText(int seconds)
{
    return QStringLiteral("Zeit: %1:%2")
        .arg(seconds / 60)
        .arg(seconds % 60, 2, 10, QLatin1Char('0'));
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

TFormZarvo::TFormZarvo(const THost &host, bool fullScreen)
    : QWidget(host.ClientArea), Host(host), FGame(std::make_unique<TZarvoGame>()),
      FullScreen(fullScreen)
{
    // Not yet shown (a child made after its parent appeared stays hidden
    // until shown), but not hidden on purpose either: the MDI frame shows
    // what it takes in only when it was not hidden explicitly.
    setWindowTitle(QStringLiteral("Erzeuge Zarvos..."));
    setFocusPolicy(Qt::StrongFocus);
    Paint(this, FormColour);
    CreateControls();
    FGame->SnapToGrid = [] { return Settings().Grid; };
    FGame->OnStatus = [this](const TGameStatus &status) { ShowStatus(status); };
    FGame->OnGoalReached = [this](int moves, int seconds) {
        Q_EMIT GoalReached(this, moves, seconds);
    };
    FGame->Board().OnMoved = [this, moved = FGame->Board().OnMoved](TZarvoPad &board) {
        RunReported([&] { moved(board); });
    };
}

TFormZarvo::~TFormZarvo()
{
    // A demonstration ends on the board it drags, and reports nothing now;
    // the view shows the board, so it goes next.
    Closed = true;
    StopHelp();
    delete FView;
    FView = nullptr;
    FGame.reset();
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
    DemoTimer = new QTimer(this);
    connect(DemoTimer, &QTimer::timeout, this, Reported([this] { DemonstrationTick(); }));
    BusyTimer = new QTimer(this);
    BusyTimer->setInterval(50);
    connect(BusyTimer, &QTimer::timeout, this, [this] { BusyFrame(); });

    connect(BtnTopTen, &QToolButton::clicked, this, Reported([this] { BtnTopTenClick(); }));
    connect(BtnStart, &QToolButton::clicked, this, Reported([this] { BtnStartClick(); }));
    connect(BtnUndo, &TTimerSpeedButton::clicked, this, Reported([this] { Undo(false); }));
    connect(BtnRedo, &TTimerSpeedButton::clicked, this, Reported([this] { Redo(false); }));
    connect(BtnUndo, &TTimerSpeedButton::EndClick, this, [this] { EndRepeat(); });
    connect(BtnRedo, &TTimerSpeedButton::EndClick, this, [this] { EndRepeat(); });
}

TFormZarvo *TFormZarvo::Create(const THost &host, int loadMode, const QString &name,
                               bool fullScreen)
{
    auto *w = new TFormZarvo(host, fullScreen);
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
    if (FSubWindow)
        delete FSubWindow; // takes this window with it
    else
        delete this;
}

void TFormZarvo::Init(int loadMode, const QString &name)
{
    TZarvoPad &board = FGame->Board();
    board.Cursor64 = Settings().Cursor64;
    board.FullScreen = FullScreen;
    FGame->Load(name, loadMode == 1);
    if (!FView) {
        FView = new TBoardView(&board, this);
        FView->Decorate = [this](QPainter &p) { DecorateBoard(p); };
    }
    FView->show();
    ShowPuzzle();
    if (FullScreen)
        SetUpFullScreen();
    UpdateMain(nullptr);
}

void TFormZarvo::ShowPuzzle()
{
    const TZarvoPad &board = FGame->Board();
    LblTime->setText(TimeText(0));
    setWindowTitle(board.Rating + QLatin1Char(' ') + board.Title);
    LblObject->setText(board.ObjectInfo);
    if (FullScreen) {
        LblCaption->setText(windowTitle());
        LayoutFullScreen();
        return;
    }
    const int bw = board.Width(), bh = board.Height();
    int textHeight = LblObject->heightForWidth(bw);
    if (textHeight < 0)
        textHeight = LblObject->sizeHint().height();
    FView->setGeometry(0, 0, bw, bh);
    PnlObject->setGeometry(0, bh, bw, textHeight + 2);
    LblObject->setGeometry(0, 0, bw, textHeight + 2);
    setFixedSize(bw, bh + textHeight + 2);
    if (!FSubWindow) {
        FSubWindow = Host.MdiArea->addSubWindow(this, Qt::SubWindow | Qt::WindowTitleHint |
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
}

void TFormZarvo::SetUpFullScreen()
{
    // The frame hides its menu and bars and keeps this window on its whole
    // client area (it follows the window's Closing to bring them back).
    setAttribute(Qt::WA_DeleteOnClose);
    setGeometry(Host.ClientArea->rect());
    show();
    raise();
    PnlMoves->show();
    LblTime->show();
    PnlCaption->show();
    QFont f(QStringLiteral("Comic Sans MS"));
    f.setPointSize(16);
    f.setBold(true);
    LblObject->setFont(f);
    FGame->Board().OnMouseDownEvent = [this](TZarvoPad &, TMouseButton, TShiftState, int, int) {
        ZarvoPadMouseDown();
    };
    LayoutFullScreen();
    setFocus(Qt::OtherFocusReason);
}

void TFormZarvo::LayoutFullScreen()
{
    if (!FullScreen || !FView)
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
    const int w = FGame->Board().Width(), h = FGame->Board().Height();
    // A board too big for the space starts at the left edge and under the
    // panels rather than being cut off where the player cannot reach it.
    const int left = qMax(0, (width - 3 * w / 2) / 3);
    const int top = qMax(hc + hm, (client - h - hc - hm - ho) / 2 + hc + hm);
    FView->setGeometry(left, top, w, h);

    if (FullScreenBack.size() != size()) {
        if (Host.Back.isNull()) {
            FullScreenBack = QImage(size(), QImage::Format_RGB32);
            FullScreenBack.fill(FormColour);
        } else {
            TZarvoPad::TileBackground(FullScreenBack, width, client, Host.Back);
        }
    }
    update();
}

void TFormZarvo::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    LayoutFullScreen();
}

void TFormZarvo::paintEvent(QPaintEvent *)
{
    if (!FullScreen || !FView)
        return;
    QPainter p(this);
    if (!FullScreenBack.isNull())
        p.drawImage(0, PnlCaption->height() + PnlMoves->height(), FullScreenBack);
    const QRect board = FView->geometry();
    const QRect goal(2 * board.left() + board.width(), board.top(), board.width() / 2,
                     board.height() / 2);
    const QImage &goalPicture = FGame->Board().ObjectBitmap;
    if (!goalPicture.isNull())
        p.drawImage(goal, goalPicture);
}

void TFormZarvo::UpdateMain(QObject *sender)
{
    if (!Closed)
        FGame->Update(sender != nullptr);
}

void TFormZarvo::ShowStatus(const TGameStatus &status)
{
    if (Closed)
        return;
    if (FullScreen) {
        BtnStart->setEnabled(status.CanUndo);
        BtnUndo->setEnabled(status.CanUndo);
        BtnRedo->setEnabled(status.CanRedo);
        LblMoves->setText(MovesText(status.Moves));
    }
    if (FView)
        FView->setEnabled(!status.GoalShown);
    HelpStatus(status);
    LblObject->setText(ObjectText(status));
    FitObjectText();
    if (status.Solved && FullScreen) {
        LblHurra->setText(HurraText(status));
        LblHurra->setGeometry(LblObject->geometry());
        LblHurra->show();
        LblHurra->raise();
    } else {
        LblHurra->hide();
    }
    Q_EMIT StatusChanged(this, status);
}

void TFormZarvo::Undo(bool fromMenuItem)
{
    FGame->Undo(fromMenuItem);
}

void TFormZarvo::Redo(bool fromMenuItem)
{
    FGame->Redo(fromMenuItem);
}

void TFormZarvo::EndRepeat()
{
    FGame->EndRepeat();
}

void TFormZarvo::ZarvoPadMouseDown()
{
    FGame->StartClock();
    LblMoves->setEnabled(true);
    LblTime->setEnabled(true);
}

void TFormZarvo::TimerTimer()
{
    if (FGame->Tick())
        LblTime->setText(TimeText(FGame->ElapsedSeconds));
}

void TFormZarvo::BtnStartClick()
{
    TZarvoPad &board = FGame->Board();
    const bool reload = FGame->Finished;
    board.Cursor64 = Settings().Cursor64;
    try {
        FGame->Restart();
    } catch (const EZarvoError &e) {
        AbandonRestart();
        throw e.Prefixed(QStringLiteral("Fehler beim Laden"));
    } catch (const std::exception &e) {
        AbandonRestart();
        throw EZarvoError(QStringLiteral("Fehler beim Laden\r") + QString::fromLocal8Bit(e.what()));
    }
    // After the goal the puzzle started afresh from its file.
    if (reload && !FGame->Finished)
        ShowPuzzle();
}

void TFormZarvo::AbandonRestart()
{
    // The window that could not be reloaded closes without saving its game.
    SkipSaveOnClose = true;
    QMetaObject::invokeMethod(
        this, [this] { CloseWindow(); }, Qt::QueuedConnection);
}

void TFormZarvo::BtnTopTenClick()
{
    CallTopList(this, Board(), 0, 0);
}

void TFormZarvo::SetShowObject(bool show)
{
    FGame->ShowGoal(show);
    FView->update();
}

void TFormZarvo::keyPressEvent(QKeyEvent *event)
{
    const Qt::KeyboardModifiers mods = event->modifiers() & ~Qt::KeypadModifier;
    // Esc stops the solver's search before it closes anything.
    if (event->key() == Qt::Key_Escape && mods == Qt::NoModifier && StopHelp())
        return;
    if (event->key() == Qt::Key_Escape && mods == Qt::NoModifier) {
        QMetaObject::invokeMethod(
            this, [this] { CloseWindow(); }, Qt::QueuedConnection);
        return;
    }
    if (event->key() == Qt::Key_Backspace && mods == Qt::AltModifier) {
        RunReported([this] { Undo(false); });
        return;
    }
    if (event->key() == Qt::Key_Backspace && mods == (Qt::AltModifier | Qt::ShiftModifier)) {
        RunReported([this] { Redo(false); });
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
    StopHelp();
    Closed = true;
    Timer->stop();
    event->accept();
    Q_EMIT Closing(this, !SkipSaveOnClose);
}
