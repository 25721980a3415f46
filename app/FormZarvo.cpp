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

#include <QApplication>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPainter>
#include <QScrollArea>
#include <QScrollBar>
#include <QStyle>
#include <QTimer>
#include <QToolButton>
#include <array>
#include <cmath>

namespace {

const QColor MovesColour(164, 123, 88);

// A flat button with a glyph, as the panels above the board have them; it
// never takes the focus from the board.
template <class TButton> TButton *FlatButton(TButton *b, TGlyph glyph)
{
    b->setIcon(Glyph(glyph));
    b->setIconSize(QSize(20, 20));
    b->setAutoRaise(true);
    b->setFocusPolicy(Qt::NoFocus);
    return b;
}

// The steps of "Größer" and "Kleiner", in percent.
constexpr std::array<int, 15> ZoomSteps{25,  33,  50,  67,  75,  100, 125, 150,
                                        200, 250, 300, 400, 500, 600, 800};
// Free space around a fitted board.
constexpr int FitGap = 10;

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

double FitZoom(QSize board, QSize space)
{
    if (board.isEmpty() || space.isEmpty())
        return 1.0;
    const double zoom =
        std::min(double(space.width()) / board.width(), double(space.height()) / board.height());
    return std::clamp(zoom, 0.05, MaxZoomPercent / 100.0);
}

int NextZoomPercent(double zoom, bool larger)
{
    // A fitted board is rarely on a step: it goes to the next step beyond.
    const double percent = zoom * 100;
    if (larger) {
        for (int step : ZoomSteps)
            if (step > percent + 0.5)
                return step;
        return ZoomSteps.back();
    }
    for (auto it = ZoomSteps.rbegin(); it != ZoomSteps.rend(); ++it)
        if (*it < percent - 0.5)
            return *it;
    return ZoomSteps.front();
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
    FGame->OnSelectionChanged = [this](int) { ShowSelection(); };
    // The clock of a full-screen game starts with the first press on the
    // board, by the mouse or by a key.
    FGame->OnPress = [this] {
        if (FullScreen)
            ZarvoPadMouseDown();
    };
    const int zoom = Settings().Zoom;
    FZoomPercent = zoom >= MinZoomPercent && zoom <= MaxZoomPercent ? zoom : 0;
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
    // The zoom of a full-screen game, whose menu is hidden.
    auto zoomButton = [this](TGlyph glyph, const QString &hint) {
        auto *b = FlatButton(new QToolButton(PnlCaption), glyph);
        b->setToolTip(hint);
        b->setAccessibleName(hint);
        return b;
    };
    BtnZoomOut = zoomButton(TGlyph::ZoomOut, QStringLiteral("Kleiner (Strg+-)"));
    BtnZoomIn = zoomButton(TGlyph::ZoomIn, QStringLiteral("Größer (Strg++)"));
    BtnZoomOriginal = zoomButton(TGlyph::ZoomOriginal, QStringLiteral("Originalgröße (Strg+0)"));
    BtnZoomFit = zoomButton(TGlyph::ZoomFit, QStringLiteral("An Fenster anpassen (Strg+9)"));
    connect(BtnZoomIn, &QToolButton::clicked, this, [this] { ZoomStep(true); });
    connect(BtnZoomOut, &QToolButton::clicked, this, [this] { ZoomStep(false); });
    connect(BtnZoomOriginal, &QToolButton::clicked, this, [this] { SetZoom(100); });
    connect(BtnZoomFit, &QToolButton::clicked, this, [this] { SetZoom(0); });

    PnlMoves = new QWidget(this);
    PnlMoves->hide();
    Paint(PnlMoves, MovesColour);
    auto *row = new QHBoxLayout(PnlMoves);
    row->setContentsMargins(8, 2, 8, 2);
    row->setSpacing(6);
    auto tool = [this](TGlyph glyph, const QString &caption) {
        auto *b = FlatButton(new QToolButton(PnlMoves), glyph);
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
    BtnUndo = FlatButton(new TTimerSpeedButton(PnlMoves), TGlyph::Undo);
    BtnRedo = FlatButton(new TTimerSpeedButton(PnlMoves), TGlyph::Redo);
    BtnUndo->setText(QStringLiteral("Rückgängig"));
    BtnRedo->setText(QStringLiteral("Wiederherstellen"));
    for (TTimerSpeedButton *b : {BtnUndo, BtnRedo}) {
        b->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
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
    if (FullScreen || !FView)
        return QWidget::sizeHint();
    const TZarvoPad &board = FGame->Board();
    const double zoom = FZoomPercent == 0 ? 1.0 : FZoomPercent / 100.0;
    const QSize shown(int(std::ceil(board.Width() * zoom - 1e-6)),
                      int(std::ceil(board.Height() * zoom - 1e-6)));
    int textHeight = LblObject->heightForWidth(shown.width());
    if (textHeight < 0)
        textHeight = LblObject->sizeHint().height();
    return QSize(shown.width(), shown.height() + textHeight + 2);
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
    board.CaptionOutline = Settings().CaptionOutline;
    board.FullScreen = FullScreen;
    FGame->Load(name, loadMode == 1);
    if (!FView) {
        FBoardArea = new QScrollArea(this);
        FBoardArea->setFrameShape(QFrame::NoFrame);
        FBoardArea->setAlignment(Qt::AlignCenter);
        FBoardArea->setFocusPolicy(Qt::NoFocus);
        FBoardArea->viewport()->setAutoFillBackground(false);
        FView = new TBoardView(&board, FBoardArea);
        FView->Decorate = [this](QPainter &p) { DecorateBoard(p); };
        FBoardArea->setWidget(FView);
        FView->setAutoFillBackground(false);
        connect(FView, &TBoardView::MoveKey, this,
                [this](int dCol, int dRow) { RunReported([&] { MoveKey(dCol, dRow); }); });
        connect(FView, &TBoardView::SelectKey, this, [this](bool next) { SelectKey(next); });
    }
    FBoardArea->show();
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
    const bool opening = !FSubWindow;
    if (opening) {
        FSubWindow = Host.MdiArea->addSubWindow(this, Qt::SubWindow | Qt::WindowTitleHint |
                                                          Qt::WindowSystemMenuHint |
                                                          Qt::WindowCloseButtonHint);
        FSubWindow->setAttribute(Qt::WA_DeleteOnClose);
        FSubWindow->setWindowIcon(Glyph(TGlyph::NewGame));
    }
    FSubWindow->setWindowTitle(windowTitle());
    show();
    if (opening)
        SizeToBoard();
    FSubWindow->show();
    LayoutWindowed();
    FView->setFocus(Qt::OtherFocusReason);
}

QSize TFormZarvo::minimumSizeHint() const
{
    return FullScreen ? QWidget::minimumSizeHint() : QSize(120, 80);
}

void TFormZarvo::SizeToBoard()
{
    if (FullScreen || !FSubWindow)
        return;
    // As large as the board at its zoom (a fitted one at its own size)
    // with the goal text, as far as the frame's client area allows.
    const QSize frame = FSubWindow->size() - size();
    const QSize want = sizeHint() + frame;
    const QSize room = Host.MdiArea->viewport()->size();
    FSubWindow->resize(want.boundedTo(room).expandedTo(minimumSizeHint() + frame));
    if (FZoomPercent != 0 || !FView)
        return;
    // A fitted board that had to shrink leaves no empty strips beside it.
    LayoutWindowed();
    const QSize spare = FBoardArea->size() - FView->size();
    if (spare.width() > 0 || spare.height() > 0)
        FSubWindow->resize((FSubWindow->size() - spare.expandedTo(QSize(0, 0)))
                               .expandedTo(minimumSizeHint() + frame));
}

void TFormZarvo::LayoutWindowed()
{
    if (FullScreen || !FView)
        return;
    const int width = this->width();
    int textHeight = LblObject->heightForWidth(width);
    if (textHeight < 0)
        textHeight = LblObject->sizeHint().height();
    const int text = textHeight + 2;
    const QRect area(0, 0, width, qMax(0, height() - text));
    FBoardArea->setGeometry(area);
    PnlObject->setGeometry(0, area.height(), width, text);
    LblObject->setGeometry(0, 0, width, text);
    ApplyZoom(area.size());
}

void TFormZarvo::ApplyZoom(QSize space)
{
    const TZarvoPad &board = FGame->Board();
    const QSize size(board.Width(), board.Height());
    const bool fit = FZoomPercent == 0;
    // A fitted board never needs scroll bars; a zoomed one gets them when
    // it is larger than its space.
    const Qt::ScrollBarPolicy bars = fit ? Qt::ScrollBarAlwaysOff : Qt::ScrollBarAsNeeded;
    FBoardArea->setHorizontalScrollBarPolicy(bars);
    FBoardArea->setVerticalScrollBarPolicy(bars);
    FView->SetZoom(fit ? FitZoom(size, space) : FZoomPercent / 100.0);
    FView->resize(FView->sizeHint());
}

double TFormZarvo::EffectiveZoom() const
{
    return FView ? FView->Zoom() : 1.0;
}

void TFormZarvo::SetZoom(int percent)
{
    if (percent != 0)
        percent = std::clamp(percent, MinZoomPercent, MaxZoomPercent);
    FZoomPercent = percent;
    Settings().Zoom = percent;
    if (!FView)
        return;
    if (FullScreen) {
        LayoutFullScreen();
    } else {
        // A zoomed board takes the room it needs, a fitted one the room
        // the window has.
        if (percent != 0)
            SizeToBoard();
        LayoutWindowed();
    }
    ShowSelection();
}

void TFormZarvo::ZoomStep(bool larger)
{
    SetZoom(NextZoomPercent(EffectiveZoom(), larger));
}

void TFormZarvo::MoveKey(int dCol, int dRow)
{
    const bool selected = FGame->Selected() >= 0;
    if (!FGame->MoveSelected(dCol, dRow) && selected && !FGame->Board().ShowObject) {
        // Blocked: nothing moved, nothing was counted.
        FView->Flash();
        QApplication::beep();
    }
    ShowSelection();
}

void TFormZarvo::SelectKey(bool next)
{
    FGame->SelectNext(next);
}

void TFormZarvo::ShowSelection()
{
    if (!FView || Closed)
        return;
    FView->SetSelection(FGame->Selected());
    const QRect piece = FView->SelectionRect();
    if (!piece.isEmpty())
        FBoardArea->ensureVisible(piece.center().x(), piece.center().y(), piece.width() / 2 + 8,
                                  piece.height() / 2 + 8);
    DescribeBoard(FGame->Status());
}

void TFormZarvo::DescribeBoard(const TGameStatus &status)
{
    const TZarvoPad &board = FGame->Board();
    FView->setAccessibleName(QStringLiteral("Spielbrett: %1").arg(board.Title));
    QStringList parts{MovesText(status.Moves)};
    if (status.GoalShown)
        parts << QStringLiteral("Die Zielposition wird gezeigt");
    else if (status.Solved)
        parts << QStringLiteral("Ziel erreicht");
    const int selected = FGame->Selected();
    if (!status.GoalShown && selected >= 0 && selected < int(board.Pieces.size())) {
        const TZarvo *p = board.Pieces[size_t(selected)].get();
        const QString name = p->Caption.isEmpty() ? QStringLiteral("Teil %1").arg(selected + 1)
                                                  : QStringLiteral("Teil %1").arg(p->Caption);
        parts << QStringLiteral("Ausgewählt: %1, Spalte %2, Zeile %3")
                     .arg(name)
                     .arg(board.Col(p) + 1)
                     .arg(board.Row(p) + 1);
    }
    FView->setAccessibleDescription(parts.join(QStringLiteral(". ")) + QLatin1Char('.'));
}

void TFormZarvo::focusInEvent(QFocusEvent *event)
{
    QWidget::focusInEvent(event);
    // The keys belong to the board whenever it can take them.
    if (FView && FView->isEnabled() && !FGame->Board().ShowObject)
        FView->setFocus(event->reason());
}

bool TFormZarvo::focusNextPrevChild(bool next)
{
    // Tab stays on the game (while the goal is shown it chooses nothing).
    SelectKey(next);
    return true;
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
    LayoutFullScreen();
    FView->setFocus(Qt::OtherFocusReason);
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
    // The zoom buttons at the left (the solver's help is at the right);
    // the title keeps the middle.
    const int button = 28, buttons = 4 * button + 8;
    int x = 8;
    for (QToolButton *b : {BtnZoomOut, BtnZoomIn, BtnZoomOriginal, BtnZoomFit}) {
        b->setGeometry(x, (hc - button) / 2, button, button);
        x += button;
    }
    LblCaption->setGeometry(PnlCaption->rect().adjusted(buttons, 0, -buttons, 0));
    PnlMoves->setGeometry(0, hc, width, hm);
    PnlObject->setGeometry(0, client - ho, width, ho);
    LblObject->setGeometry(PnlObject->rect());
    if (!LblHurra->isHidden())
        LblHurra->setGeometry(LblObject->geometry());
    // The board with its half-size goal picture beside it, in three equal
    // gaps; fitted, as large as that allows. A board too large for that
    // takes the width and scrolls, without the goal picture.
    const int space = qMax(0, client - hc - hm - ho);
    const QSize board(FGame->Board().Width(), FGame->Board().Height());
    if (FZoomPercent == 0)
        ApplyZoom(QSize((width - 3 * FitGap) * 2 / 3, space - 2 * FitGap));
    else
        ApplyZoom(QSize(width, space));
    const QSize shown = FView->sizeHint();
    const bool besides = 3 * shown.width() / 2 <= width;
    int areaW = besides ? shown.width() : qMin(shown.width(), width);
    int areaH = qMin(shown.height(), space);
    const int bar = style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    if (areaH < shown.height() && areaW + bar <= width)
        areaW += bar; // room for the scroll bar beside the board
    if (areaW < shown.width() && areaH + bar <= space)
        areaH += bar;
    const int left = besides ? (width - 3 * areaW / 2) / 3 : (width - areaW) / 2;
    const int top = (space - areaH) / 2 + hc + hm;
    FBoardArea->setGeometry(left, top, areaW, areaH);
    FGoalRect = besides ? QRect(2 * left + areaW, top, areaW / 2, qMin(areaH, shown.height()) / 2)
                        : QRect();

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
    if (FullScreen)
        LayoutFullScreen();
    else
        LayoutWindowed();
}

void TFormZarvo::paintEvent(QPaintEvent *)
{
    if (!FullScreen || !FView)
        return;
    QPainter p(this);
    if (!FullScreenBack.isNull())
        p.drawImage(0, PnlCaption->height() + PnlMoves->height(), FullScreenBack);
    const QImage &goalPicture = FGame->Board().ObjectBitmap();
    if (!goalPicture.isNull() && !FGoalRect.isEmpty()) {
        p.setRenderHint(QPainter::SmoothPixmapTransform);
        p.drawImage(FGoalRect, goalPicture);
    }
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
    if (FView) {
        // The goal disables the board; the keys stay with the window (Esc,
        // Tab) and go back to the board with the game.
        if (status.GoalShown && FView->hasFocus())
            setFocus(Qt::OtherFocusReason);
        FView->setEnabled(!status.GoalShown);
        if (!status.GoalShown && hasFocus())
            FView->setFocus(Qt::OtherFocusReason);
        DescribeBoard(status);
    }
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
