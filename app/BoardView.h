#pragma once

#include <QImage>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <functional>

class QMdiSubWindow;
class QPainter;
class TZarvoPad;

// Shows one board and hands the mouse to it. Over the board the system
// pointer is hidden and the board's hand picture stands in for it, drawn at
// its own size whatever the zoom. While a piece is dragged the pointer is
// kept on the visible part of the board. A 100 ms watch takes the hand away
// once the pointer has left the board; a window that is not the active one
// shows the system pointer instead of the hand.
//
// The board is shown enlarged or reduced by Zoom (board pixels per logical
// pixel). Whole factors, and factors that come out whole on the screen's
// pixels, give sharp blocks; others are smoothed. On screens with a device
// pixel ratio above 1 the picture is enlarged without smoothing, so at
// 200 % every board pixel becomes a sharp 2 x 2 block.
//
// The view takes the keyboard: the arrows and Tab are the game's (the
// window connects MoveKey and SelectKey), so Tab never leaves the board. The
// selected piece carries a frame while the view has the focus; the frame is
// drawn on the screen only, never into the board's pictures.
class TBoardView : public QWidget
{
    Q_OBJECT

public:
    // The view does not own the board; it must outlive neither the board
    // nor be used after the board is gone (its destructor unhooks itself).
    explicit TBoardView(TZarvoPad *pad, QWidget *parent = nullptr);
    ~TBoardView() override;

    TZarvoPad *Pad() const { return FPad; }
    // Painted over the board's screen picture, in board pixels (scaled
    // with the zoom), at every paint: the window's own marks. They never enter the board's
    // pictures.
    std::function<void(QPainter &)> Decorate;
    // The board at the zoom, in logical pixels.
    QSize sizeHint() const override;

    double Zoom() const { return FZoom; }
    void SetZoom(double zoom);
    // Where a point of the view lies on the board, and back (the middle of
    // that board pixel).
    QPoint BoardPoint(const QPointF &pos) const;
    QPointF ViewPoint(const QPoint &boardPoint) const;
    // The view pixels that show a rectangle of board pixels.
    QRect ViewRect(const QRect &boardRect) const;
    // Whether the picture is smoothed at this zoom on this screen.
    bool Smoothed() const;

    // The piece that carries the frame (an index into the board's piece
    // list, -1 for none), and a short red frame for a move that was blocked.
    void SetSelection(int index);
    int Selection() const { return FSelection; }
    void Flash();
    bool Flashing() const { return FFlash.isActive(); }
    // The selected piece on the view, in logical pixels (empty for none).
    QRect SelectionRect() const;

    // Whether the last paint showed the hand picture (for the window's tests).
    bool HandShown() const { return FHandShown; }
    bool MouseWatchActive() const { return FTimer.isActive(); }

Q_SIGNALS:
    // An arrow key: one cell in that direction.
    void MoveKey(int dCol, int dRow);
    // Tab (next) or Shift+Tab.
    void SelectKey(bool next);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    bool focusNextPrevChild(bool next) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void enterEvent(QEnterEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void changeEvent(QEvent *event) override;
    void showEvent(QShowEvent *event) override;
    bool event(QEvent *event) override;

private:
    TZarvoPad *FPad;
    double FZoom = 1.0;
    int FSelection = -1;
    QTimer FTimer;               // the 100 ms mouse watch
    QTimer FFlash;               // a blocked move's red frame
    bool FPointerInside = false; // the pointer was last seen over the board
    bool FConfined = false;      // a drag holds the pointer on the board
    bool FHandShown = false;
    QPointer<QMdiSubWindow> FSubWindow; // the frame's window around the view, once watched
    // The hand pictures with their white made clear, by the picture they
    // were made from.
    mutable qint64 FHandKey = 0;
    mutable QImage FHand;

    // The board on the view, cut to what the view shows of it.
    QRect BoardRect() const;
    bool PointerOnBoard() const;
    // The hand stands for the pointer of the game in play only: the view's
    // window is active, and within the main window's frame its puzzle
    // window is the active one.
    bool WindowActive() const;
    void ActivationChanged();
    void Confine(bool on);
    void MouseWatch();
    void UpdateCursor();
    const QImage &HandPicture() const;
    void PaintHand(QPainter &painter) const;
    void PaintSelection(QPainter &painter) const;
};
