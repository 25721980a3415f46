#include "BoardView.h"

#include "Settings.h"
#include "ZarvoPad.h"

#include <QApplication>
#include <QCursor>
#include <QMdiSubWindow>
#include <QMouseEvent>
#include <QPainter>
#include <cmath>

namespace {

TMouseButton ButtonOf(Qt::MouseButton button)
{
    switch (button) {
    case Qt::RightButton:
        return mbRight;
    case Qt::MiddleButton:
        return mbMiddle;
    default:
        return mbLeft;
    }
}

TShiftState ShiftOf(const QMouseEvent *event)
{
    TShiftState shift = 0;
    const Qt::KeyboardModifiers keys = event->modifiers();
    if (keys & Qt::ShiftModifier)
        shift |= ssShift;
    if (keys & Qt::AltModifier)
        shift |= ssAlt;
    if (keys & Qt::ControlModifier)
        shift |= ssCtrl;
    const Qt::MouseButtons held = event->buttons();
    if (held & Qt::LeftButton)
        shift |= ssLeft;
    if (held & Qt::RightButton)
        shift |= ssRight;
    if (held & Qt::MiddleButton)
        shift |= ssMiddle;
    return shift;
}

} // namespace

TBoardView::TBoardView(TZarvoPad *pad, QWidget *parent) : QWidget(parent), FPad(pad)
{
    setAttribute(Qt::WA_OpaquePaintEvent); // the board covers all it paints
    setMouseTracking(true);                // the hand follows without a button held
    FTimer.setInterval(100);
    connect(&FTimer, &QTimer::timeout, this, &TBoardView::MouseWatch);
    if (FPad) {
        FPad->OnPaint = [this](TZarvoPad &) { update(); };
        FPad->OnConfineCursor = [this](TZarvoPad &, bool on) { Confine(on); };
    }
    UpdateCursor();
}

TBoardView::~TBoardView()
{
    if (FConfined)
        releaseMouse();
    if (FPad) {
        FPad->OnPaint = nullptr;
        FPad->OnConfineCursor = nullptr;
    }
}

QSize TBoardView::sizeHint() const
{
    return FPad ? QSize(FPad->Width(), FPad->Height()) : QSize(0, 0);
}

QPoint TBoardView::BoardPoint(const QPointF &pos) const
{
    return QPoint(int(std::floor(pos.x())), int(std::floor(pos.y())));
}

QRect TBoardView::BoardRect() const
{
    return FPad ? QRect(0, 0, FPad->Width(), FPad->Height()) & rect() : QRect();
}

bool TBoardView::PointerOnBoard() const
{
    // Over the board, and not behind another window or control.
    const QPoint global = QCursor::pos();
    if (!isVisible() || !BoardRect().contains(mapFromGlobal(global)))
        return false;
    const QWidget *top = QApplication::widgetAt(global);
    return top == nullptr || top == this || isAncestorOf(top);
}

void TBoardView::paintEvent(QPaintEvent *event)
{
    QPainter painter(this);
    if (!FPad) {
        painter.fillRect(event->rect(), palette().window());
        return;
    }
    FHandShown =
        !FPad->ShowObject && FPad->MouseInside && FPointerInside && isEnabled() && WindowActive();
    // The hand's size follows the option at once, even during a game.
    FPad->Cursor64 = Settings().Cursor64;
    const QImage &picture = FPad->ComposeScreen(FHandShown);
    // Board pixels are logical pixels; enlarging on a dense screen must not
    // smooth the bevels and captions into a blur.
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    const QRect dirty = event->rect() & QRect(0, 0, picture.width(), picture.height());
    if (!dirty.isEmpty())
        painter.drawImage(dirty, picture, dirty);
    // Whatever the board does not cover (a window larger than the board).
    const QRegion rest = QRegion(event->rect()) - QRegion(picture.rect());
    for (const QRect &r : rest)
        painter.fillRect(r, palette().window());
    if (Decorate)
        Decorate(painter);
}

void TBoardView::mousePressEvent(QMouseEvent *event)
{
    if (!FPad)
        return;
    const QPoint p = BoardPoint(event->position());
    FPad->MouseDown(ButtonOf(event->button()), ShiftOf(event), p.x(), p.y());
}

void TBoardView::mouseDoubleClickEvent(QMouseEvent *event)
{
    // The second press of a double click; Ctrl + double click on the
    // background saves the board picture.
    if (!FPad)
        return;
    const QPoint p = BoardPoint(event->position());
    FPad->MouseDown(ButtonOf(event->button()), ShiftOf(event) | ssDouble, p.x(), p.y());
}

void TBoardView::mouseMoveEvent(QMouseEvent *event)
{
    if (!FPad)
        return;
    QPoint p = BoardPoint(event->position());
    const QRect board = BoardRect();
    if (FConfined && !board.isEmpty() && !board.contains(p)) {
        // During a drag the pointer may not leave the board: the position
        // is held at the edge and the pointer itself put back there.
        p.setX(std::clamp(p.x(), board.left(), board.right()));
        p.setY(std::clamp(p.y(), board.top(), board.bottom()));
        QCursor::setPos(mapToGlobal(p));
    }
    FPointerInside = board.contains(p);
    FPad->MouseMove(ShiftOf(event), p.x(), p.y());
    if (!FTimer.isActive())
        FTimer.start();
}

void TBoardView::mouseReleaseEvent(QMouseEvent *event)
{
    if (!FPad)
        return;
    QPoint p = BoardPoint(event->position());
    const QRect board = BoardRect();
    if (FConfined && !board.isEmpty()) {
        p.setX(std::clamp(p.x(), board.left(), board.right()));
        p.setY(std::clamp(p.y(), board.top(), board.bottom()));
    }
    FPad->MouseUp(ButtonOf(event->button()), ShiftOf(event), p.x(), p.y());
}

void TBoardView::enterEvent(QEnterEvent *event)
{
    FPointerInside = BoardRect().contains(BoardPoint(event->position()));
    QWidget::enterEvent(event);
}

void TBoardView::leaveEvent(QEvent *event)
{
    // While a drag holds the pointer, a leave is only the grab's doing.
    if (!FConfined && FPointerInside) {
        FPointerInside = false;
        update();
    }
    QWidget::leaveEvent(event);
}

void TBoardView::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::EnabledChange)
        UpdateCursor();
    QWidget::changeEvent(event);
}

bool TBoardView::event(QEvent *event)
{
    // The top-level window's activation reaches its children as these.
    if (event->type() == QEvent::WindowActivate || event->type() == QEvent::WindowDeactivate)
        ActivationChanged();
    return QWidget::event(event);
}

void TBoardView::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    // Inside the main window's frame a puzzle window is activated and
    // deactivated without its top-level window changing.
    QWidget *w = parentWidget();
    while (w && !qobject_cast<QMdiSubWindow *>(w))
        w = w->parentWidget();
    auto *sub = qobject_cast<QMdiSubWindow *>(w);
    if (sub && sub != FSubWindow) {
        if (FSubWindow)
            disconnect(FSubWindow, nullptr, this, nullptr);
        FSubWindow = sub;
        connect(sub, &QMdiSubWindow::windowStateChanged, this, [this] { ActivationChanged(); });
    }
    UpdateCursor();
}

bool TBoardView::WindowActive() const
{
    if (!isActiveWindow())
        return false;
    return !FSubWindow || FSubWindow->windowState().testFlag(Qt::WindowActive);
}

void TBoardView::ActivationChanged()
{
    UpdateCursor();
    update();
}

void TBoardView::Confine(bool on)
{
    if (on == FConfined)
        return;
    FConfined = on;
    if (on)
        grabMouse();
    else
        releaseMouse();
}

void TBoardView::MouseWatch()
{
    if (FConfined || PointerOnBoard())
        return;
    FTimer.stop();
    FPointerInside = false;
    if (FPad)
        FPad->Redraw(); // paints the board without the hand
    else
        update();
}

void TBoardView::UpdateCursor()
{
    // The hand replaces the pointer only where it is drawn: not over a
    // disabled board (the goal is shown), not in a window that is not the
    // active one, and not when no hand was built in.
    const bool hand = FPad && isEnabled() && WindowActive() && !FPad->Hand32Up.isNull() &&
                      !FPad->Hand64Up.isNull();
    if (hand)
        setCursor(Qt::BlankCursor);
    else
        unsetCursor();
}
