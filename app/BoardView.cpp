#include "BoardView.h"

#include "Settings.h"
#include "ZarvoPad.h"

#include <QApplication>
#include <QCursor>
#include <QKeyEvent>
#include <QMdiSubWindow>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
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

bool Whole(double v)
{
    return std::abs(v - std::round(v)) < 1e-6;
}

// Zoom factors stay within what a board can sensibly be shown at.
constexpr double MinZoom = 0.05, MaxZoom = 16.0;

} // namespace

TBoardView::TBoardView(TZarvoPad *pad, QWidget *parent) : QWidget(parent), FPad(pad)
{
    setAttribute(Qt::WA_OpaquePaintEvent); // the board covers all it paints
    setMouseTracking(true);                // the hand follows without a button held
    setFocusPolicy(Qt::StrongFocus);
    FTimer.setInterval(100);
    connect(&FTimer, &QTimer::timeout, this, &TBoardView::MouseWatch);
    FFlash.setSingleShot(true);
    FFlash.setInterval(250);
    connect(&FFlash, &QTimer::timeout, this, [this] { update(); });
    if (FPad) {
        // The board composes only the area a paint event exposes; what
        // changed is taken so the board does not keep collecting it.
        FPad->OnPaint = [this](TZarvoPad &pad) {
            pad.TakeChangedAreas();
            update();
        };
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
    if (!FPad)
        return QSize(0, 0);
    // Whole logical pixels that cover the whole board.
    return QSize(int(std::ceil(FPad->Width() * FZoom - 1e-6)),
                 int(std::ceil(FPad->Height() * FZoom - 1e-6)));
}

void TBoardView::SetZoom(double zoom)
{
    if (!std::isfinite(zoom))
        zoom = 1.0;
    zoom = std::clamp(zoom, MinZoom, MaxZoom);
    if (zoom == FZoom)
        return;
    FZoom = zoom;
    updateGeometry();
    update();
}

QPoint TBoardView::BoardPoint(const QPointF &pos) const
{
    return QPoint(int(std::floor(pos.x() / FZoom)), int(std::floor(pos.y() / FZoom)));
}

QPointF TBoardView::ViewPoint(const QPoint &boardPoint) const
{
    return QPointF((boardPoint.x() + 0.5) * FZoom, (boardPoint.y() + 0.5) * FZoom);
}

QRect TBoardView::ViewRect(const QRect &boardRect) const
{
    // One pixel more around: smoothing reaches into the neighbours.
    return QRectF(boardRect.x() * FZoom, boardRect.y() * FZoom, boardRect.width() * FZoom,
                  boardRect.height() * FZoom)
        .toAlignedRect()
        .adjusted(-1, -1, 1, 1);
}

bool TBoardView::Smoothed() const
{
    return !Whole(FZoom) && !Whole(FZoom * devicePixelRatioF());
}

QRect TBoardView::BoardRect() const
{
    if (!FPad)
        return QRect();
    // Inside a scrolled area only the part on show can hold the pointer.
    QRect shown = QRect(QPoint(0, 0), sizeHint()) & rect();
    if (isVisible())
        shown &= visibleRegion().boundingRect();
    return shown;
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

void TBoardView::SetSelection(int index)
{
    if (index == FSelection)
        return;
    FSelection = index;
    FFlash.stop();
    update();
}

void TBoardView::Flash()
{
    FFlash.start();
    update();
}

QRect TBoardView::SelectionRect() const
{
    if (!FPad || FPad->ShowObject || FSelection < 0 || FSelection >= int(FPad->Pieces.size()))
        return QRect();
    QRectF bounds;
    const TZarvo *first = FPad->Pieces[size_t(FSelection)].get();
    for (const TZarvo *p = first; p; p = p->Master ? p->Next : nullptr)
        bounds |= QRectF(p->X * FZoom, p->Y * FZoom, p->Width * FZoom, p->Height * FZoom);
    return bounds.toAlignedRect();
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
    // Only the exposed area is composed: a picture puzzle is larger than
    // any window.
    const QRect board(0, 0, FPad->Width(), FPad->Height());
    const QRect exposed = event->rect();
    if (FZoom == 1.0) {
        // Board pixels are logical pixels; enlarging on a dense screen must
        // not smooth the bevels and captions into a blur.
        painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
        const QRect dirty = exposed & board;
        if (!dirty.isEmpty())
            painter.drawImage(dirty.topLeft(), FPad->ComposeScreen(false, dirty));
    } else if (!board.isEmpty()) {
        // Only the board pixels under the exposed area (and one more around
        // them for smoothing) are scaled, so a repaint costs what is shown,
        // not the whole board.
        painter.setRenderHint(QPainter::SmoothPixmapTransform, Smoothed());
        painter.setClipRect(exposed);
        const QRect source = QRect(QPoint(int(std::floor(exposed.left() / FZoom)) - 1,
                                          int(std::floor(exposed.top() / FZoom)) - 1),
                                   QPoint(int(std::ceil((exposed.right() + 1) / FZoom)) + 1,
                                          int(std::ceil((exposed.bottom() + 1) / FZoom)) + 1)) &
                             board;
        if (!source.isEmpty())
            painter.drawImage(QRectF(source.x() * FZoom, source.y() * FZoom, source.width() * FZoom,
                                     source.height() * FZoom),
                              FPad->ComposeScreen(false, source));
    }
    // Whatever the board does not cover (a view larger than the board).
    const QRegion rest = QRegion(exposed) - QRegion(QRect(QPoint(0, 0), sizeHint()));
    for (const QRect &r : rest)
        painter.fillRect(r, palette().window());
    painter.setClipping(false);
    PaintSelection(painter);
    if (Decorate) {
        // The window's marks are drawn in board pixels, over the frame.
        painter.save();
        painter.scale(FZoom, FZoom);
        Decorate(painter);
        painter.restore();
    }
    if (FHandShown)
        PaintHand(painter);
}

void TBoardView::PaintSelection(QPainter &painter) const
{
    if (!hasFocus() || !FPad || FPad->ShowObject || FSelection < 0 ||
        FSelection >= int(FPad->Pieces.size()))
        return;
    // The piece's own outline, a compound piece's around all its parts.
    QPainterPath parts;
    const TZarvo *first = FPad->Pieces[size_t(FSelection)].get();
    for (const TZarvo *p = first; p; p = p->Master ? p->Next : nullptr)
        parts.addRect(QRectF(p->X * FZoom, p->Y * FZoom, p->Width * FZoom, p->Height * FZoom));
    const QPainterPath outline = parts.simplified();
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setBrush(Qt::NoBrush);
    // Dark under light, so the frame shows on every picture.
    painter.setPen(QPen(Qt::black, 4, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    painter.drawPath(outline);
    const QColor light = Flashing() ? QColor(230, 30, 30) : QColor(Qt::white);
    painter.setPen(QPen(light, 2, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    painter.drawPath(outline);
}

const QImage &TBoardView::HandPicture() const
{
    const QImage &source = FPad->Cursor64 ? (FPad->ButtonDown ? FPad->Hand64Down : FPad->Hand64Up)
                                          : (FPad->ButtonDown ? FPad->Hand32Down : FPad->Hand32Up);
    if (source.cacheKey() != FHandKey) {
        // White is the hand pictures' transparent colour.
        FHand = source.convertToFormat(QImage::Format_ARGB32);
        for (int y = 0; y < FHand.height(); ++y) {
            auto *line = reinterpret_cast<QRgb *>(FHand.scanLine(y));
            for (int x = 0; x < FHand.width(); ++x)
                if ((line[x] & 0xFFFFFF) == 0xFFFFFF)
                    line[x] = 0;
        }
        FHandKey = source.cacheKey();
    }
    return FHand;
}

void TBoardView::PaintHand(QPainter &painter) const
{
    const QImage &hand = HandPicture();
    if (hand.isNull())
        return;
    // The hand keeps its own size at every zoom, as a pointer does; its
    // finger tip lies on the board pixel it points at.
    const QPointF at = ViewPoint(QPoint(FPad->HandX, FPad->HandY));
    const int x = int(std::floor(at.x())), y = int(std::floor(at.y()));
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    painter.drawImage(FPad->Cursor64 ? QPoint(x - 6, y - 7) : QPoint(x - 3, y - 4), hand);
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
    QPointF pos = event->position();
    const QRect board = BoardRect();
    if (FConfined && !board.isEmpty() && !board.contains(pos.toPoint())) {
        // During a drag the pointer may not leave the board: the position
        // is held at the edge and the pointer itself put back there.
        pos.setX(std::clamp<qreal>(pos.x(), board.left(), board.right()));
        pos.setY(std::clamp<qreal>(pos.y(), board.top(), board.bottom()));
        QCursor::setPos(mapToGlobal(pos.toPoint()));
    }
    FPointerInside = board.contains(pos.toPoint());
    const QPoint p = BoardPoint(pos);
    FPad->MouseMove(ShiftOf(event), p.x(), p.y());
    if (!FTimer.isActive())
        FTimer.start();
}

void TBoardView::mouseReleaseEvent(QMouseEvent *event)
{
    if (!FPad)
        return;
    QPointF pos = event->position();
    const QRect board = BoardRect();
    if (FConfined && !board.isEmpty()) {
        pos.setX(std::clamp<qreal>(pos.x(), board.left(), board.right()));
        pos.setY(std::clamp<qreal>(pos.y(), board.top(), board.bottom()));
    }
    const QPoint p = BoardPoint(pos);
    FPad->MouseUp(ButtonOf(event->button()), ShiftOf(event), p.x(), p.y());
}

void TBoardView::keyPressEvent(QKeyEvent *event)
{
    // The arrows with no other key held; the keypad's arrows count alike.
    const Qt::KeyboardModifiers mods = event->modifiers() & ~Qt::KeypadModifier;
    if (mods == Qt::NoModifier) {
        switch (event->key()) {
        case Qt::Key_Left:
            Q_EMIT MoveKey(-1, 0);
            return;
        case Qt::Key_Right:
            Q_EMIT MoveKey(1, 0);
            return;
        case Qt::Key_Up:
            Q_EMIT MoveKey(0, -1);
            return;
        case Qt::Key_Down:
            Q_EMIT MoveKey(0, 1);
            return;
        default:
            break;
        }
    }
    QWidget::keyPressEvent(event); // Esc and the rest go to the window
}

bool TBoardView::focusNextPrevChild(bool next)
{
    // Tab chooses pieces; it does not leave the board.
    Q_EMIT SelectKey(next);
    return true;
}

void TBoardView::focusInEvent(QFocusEvent *event)
{
    QWidget::focusInEvent(event);
    update();
}

void TBoardView::focusOutEvent(QFocusEvent *event)
{
    QWidget::focusOutEvent(event);
    update();
}

void TBoardView::enterEvent(QEnterEvent *event)
{
    FPointerInside = BoardRect().contains(event->position().toPoint());
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
