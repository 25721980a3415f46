#pragma once

#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <functional>

class QMdiSubWindow;
class QPainter;
class TZarvoPad;

// Shows one board and hands the mouse to it. Over the board the system
// pointer is hidden and the board's hand picture stands in for it; the
// picture comes from the board's ScreenBitmap, so the hand never flickers.
// While a piece is dragged the pointer is kept on the board. A 100 ms watch
// takes the hand away once the pointer has left the board; a window that is
// not the active one shows the system pointer instead of the hand.
//
// One board pixel is one logical pixel, as the windows lay the board out.
// On screens with a device pixel ratio above 1 the picture is enlarged
// without smoothing: at 200 % every board pixel becomes a sharp 2 x 2 block,
// and at fractional ratios edges stay hard instead of blurring.
class TBoardView : public QWidget
{
    Q_OBJECT

public:
    // The view does not own the board; it must outlive neither the board
    // nor be used after the board is gone (its destructor unhooks itself).
    explicit TBoardView(TZarvoPad *pad, QWidget *parent = nullptr);
    ~TBoardView() override;

    TZarvoPad *Pad() const { return FPad; }
    // Painted over the board's screen picture, in board pixels, at every
    // paint: the window's own marks. They never enter the board's pictures.
    std::function<void(QPainter &)> Decorate;
    QSize sizeHint() const override;

    // Whether the last paint showed the hand picture (for the window's tests).
    bool HandShown() const { return FHandShown; }
    bool MouseWatchActive() const { return FTimer.isActive(); }

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void enterEvent(QEnterEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void changeEvent(QEvent *event) override;
    void showEvent(QShowEvent *event) override;
    bool event(QEvent *event) override;

private:
    TZarvoPad *FPad;
    QTimer FTimer;               // the 100 ms mouse watch
    bool FPointerInside = false; // the pointer was last seen over the board
    bool FConfined = false;      // a drag holds the pointer on the board
    bool FHandShown = false;
    QPointer<QMdiSubWindow> FSubWindow; // the frame's window around the view, once watched

    QPoint BoardPoint(const QPointF &pos) const;
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
};
