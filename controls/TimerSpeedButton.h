#pragma once

#include <QFlags>
#include <QPointer>
#include <QToolButton>

class QTimer;

// A speed button that acts when it is pressed and, while it is held, again
// after 400 ms and then every 100 ms (the undo and redo buttons, the halves
// of the spin button).
//
// Every click, whether from the mouse press, a repeat, the keyboard or code,
// emits QAbstractButton::clicked and Clicked(this). The mouse release adds no
// click; every release of a mouse button emits EndClick(this), which ends a
// run of repeats.
class TTimerSpeedButton : public QToolButton
{
    Q_OBJECT

public:
    enum TArrow { arNone, arNormal };
    enum TTimeBtnStateItem {
        tbFocusRect = 0x1, // this half of a spin button holds the keyboard-focus mark
        tbAllowTimer = 0x2 // holding the button repeats
    };
    Q_DECLARE_FLAGS(TTimeBtnState, TTimeBtnStateItem)
    enum TDirection { DirUp, DirDown };

    static constexpr int FirstRepeatMs = 400;
    static constexpr int RepeatMs = 100;

    explicit TTimerSpeedButton(QWidget *parent = nullptr);

    TArrow Arrow() const { return FArrow; }
    void SetArrow(TArrow arrow);
    TTimeBtnState TimeBtnState() const { return FTimeBtnState; }
    void SetTimeBtnState(TTimeBtnState state);
    TDirection Direction() const { return FDirection; }
    void SetDirection(TDirection direction);
    // Flat (raised only under the pointer) or always raised.
    bool Flat() const { return autoRaise(); }
    void SetFlat(bool flat) { setAutoRaise(flat); }

    // True while a repeat run is active (from the press until the release).
    bool Repeating() const;

Q_SIGNALS:
    void Clicked(TTimerSpeedButton *sender);
    void EndClick(TTimerSpeedButton *sender);

protected:
    void mousePressEvent(QMouseEvent *e) override;
    void mouseReleaseEvent(QMouseEvent *e) override;
    void paintEvent(QPaintEvent *e) override;
    void changeEvent(QEvent *e) override;
    void hideEvent(QHideEvent *e) override;

private:
    void RepeatTimerFired();
    void ClickOnPress();
    void EndPress();

    TArrow FArrow = arNone;
    TTimeBtnState FTimeBtnState;
    TDirection FDirection = DirDown;
    QTimer *FRepeatTimer = nullptr; // made at the first press
    Qt::MouseButton FHeldButton = Qt::NoButton;
};

Q_DECLARE_OPERATORS_FOR_FLAGS(TTimerSpeedButton::TTimeBtnState)

// An up half and a down half stacked into one spin button. Width at least 10;
// the halves overlap by one pixel.
class TSSpinButton : public QWidget
{
    Q_OBJECT

public:
    explicit TSSpinButton(QWidget *parent = nullptr);

    // Gets the focus when a half is pressed (the numeric edit it belongs to).
    QWidget *FocusControl() const { return FFocusControl; }
    void SetFocusControl(QWidget *control);

    TTimerSpeedButton *UpButton() const { return FUpButton; }
    TTimerSpeedButton *DownButton() const { return FDownButton; }
    // The half that carries the keyboard-focus mark.
    TTimerSpeedButton *FocusedButton() const { return FFocusedButton; }

    QSize sizeHint() const override { return QSize(20, 25); }

Q_SIGNALS:
    void UpClick();   // every click of the up half, repeats included
    void DownClick(); // every click of the down half, repeats included
    void SpinEnd();   // release of either half

protected:
    void resizeEvent(QResizeEvent *e) override;
    void keyPressEvent(QKeyEvent *e) override;
    void focusInEvent(QFocusEvent *e) override;
    void focusOutEvent(QFocusEvent *e) override;
    bool eventFilter(QObject *watched, QEvent *e) override;

private:
    void SetFocusBtn(TTimerSpeedButton *button);
    void AdjustSize();

    TTimerSpeedButton *FUpButton;
    TTimerSpeedButton *FDownButton;
    TTimerSpeedButton *FFocusedButton;
    QPointer<QWidget> FFocusControl;
};
