#include "TimerSpeedButton.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyleOptionFocusRect>
#include <QTimer>

TTimerSpeedButton::TTimerSpeedButton(QWidget *parent) : QToolButton(parent)
{
    setAutoRaise(true);
    setFocusPolicy(Qt::NoFocus);
    setToolButtonStyle(Qt::ToolButtonIconOnly);
    // Keyboard and code clicks go through QAbstractButton; mouse presses emit
    // clicked themselves. Either way Clicked follows.
    connect(this, &QAbstractButton::clicked, this, [this]() { Q_EMIT Clicked(this); });
}

void TTimerSpeedButton::SetArrow(TArrow arrow)
{
    if (FArrow != arrow) {
        FArrow = arrow;
        update();
    }
}

void TTimerSpeedButton::SetTimeBtnState(TTimeBtnState state)
{
    if (FTimeBtnState != state) {
        FTimeBtnState = state;
        update();
    }
}

void TTimerSpeedButton::SetDirection(TDirection direction)
{
    if (FDirection != direction) {
        FDirection = direction;
        update();
    }
}

bool TTimerSpeedButton::Repeating() const
{
    return FRepeatTimer && FRepeatTimer->isActive();
}

void TTimerSpeedButton::ClickOnPress()
{
    if (isCheckable())
        nextCheckState();
    Q_EMIT clicked(isChecked());
}

void TTimerSpeedButton::mousePressEvent(QMouseEvent *e)
{
    if (FHeldButton != Qt::NoButton) { // a second button while one is held
        e->accept();
        return;
    }
    FHeldButton = e->button();
    if (e->button() != Qt::LeftButton) {
        // Other buttons do not push the button down: one click, no repeat.
        e->accept();
        ClickOnPress();
        return;
    }
    QToolButton::mousePressEvent(e);
    if (!isDown())
        return;
    // A click may close the window that holds the button.
    const QPointer<TTimerSpeedButton> guard(this);
    ClickOnPress();
    if (!guard)
        return;
    if (FTimeBtnState.testFlag(tbAllowTimer) && FHeldButton == Qt::LeftButton) {
        if (!FRepeatTimer) {
            FRepeatTimer = new QTimer(this);
            connect(FRepeatTimer, &QTimer::timeout, this, &TTimerSpeedButton::RepeatTimerFired);
        }
        FRepeatTimer->start(FirstRepeatMs);
    }
}

void TTimerSpeedButton::RepeatTimerFired()
{
    FRepeatTimer->setInterval(RepeatMs);
    // Dragged off the button it is up: no repeats until the pointer returns.
    if (!isDown() || !isEnabled())
        return;
    try {
        ClickOnPress();
    } catch (...) {
        FRepeatTimer->stop();
        throw;
    }
}

void TTimerSpeedButton::mouseReleaseEvent(QMouseEvent *e)
{
    if (e->button() != FHeldButton) {
        e->accept();
        return;
    }
    if (e->button() == Qt::LeftButton) {
        // The click happened on the press; let the base class finish the
        // release without a click of its own.
        const bool wasDown = isDown();
        setDown(false);
        QToolButton::mouseReleaseEvent(e);
        if (wasDown)
            Q_EMIT released();
    }
    e->accept();
    EndPress();
}

void TTimerSpeedButton::EndPress()
{
    if (FHeldButton == Qt::NoButton)
        return;
    FHeldButton = Qt::NoButton;
    if (FRepeatTimer)
        FRepeatTimer->stop();
    Q_EMIT EndClick(this);
}

void TTimerSpeedButton::changeEvent(QEvent *e)
{
    // A disabled or hidden button gets no release; its press ends here.
    if (e->type() == QEvent::EnabledChange && !isEnabled() && FHeldButton != Qt::NoButton) {
        setDown(false);
        EndPress();
    }
    QToolButton::changeEvent(e);
}

void TTimerSpeedButton::hideEvent(QHideEvent *e)
{
    if (FHeldButton != Qt::NoButton) {
        setDown(false);
        EndPress();
    }
    QToolButton::hideEvent(e);
}

void TTimerSpeedButton::paintEvent(QPaintEvent *e)
{
    QToolButton::paintEvent(e);
    const bool focusMark =
        FTimeBtnState.testFlag(tbFocusRect) && parentWidget() && parentWidget()->hasFocus();
    if (FArrow == arNone && !focusMark)
        return;
    QPainter p(this);
    if (FArrow == arNormal) {
        p.setPen(palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled,
                                 QPalette::ButtonText));
        const int x = width() / 2 - 2;
        const int y = height() / 2 - 2;
        // Widths from the broad end to the tip: 5, 3, 3, 1.
        static const int Insets[4] = {0, 1, 1, 2};
        for (int row = 0; row < 4; ++row) {
            const int inset = Insets[row];
            const int line = FDirection == DirDown ? y + row : y + 3 - row;
            p.drawLine(x + inset, line, x + 4 - inset, line);
        }
    }
    if (focusMark) {
        QStyleOptionFocusRect opt;
        opt.initFrom(this);
        opt.rect = rect().adjusted(3, 3, -3, -3);
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &opt, &p, this);
    }
}

// ---------------------------------------------------------------------------

TSSpinButton::TSSpinButton(QWidget *parent)
    : QWidget(parent), FUpButton(new TTimerSpeedButton(this)),
      FDownButton(new TTimerSpeedButton(this)), FFocusedButton(FUpButton)
{
    setFocusPolicy(Qt::TabFocus);
    setMinimumWidth(10);
    for (TTimerSpeedButton *half : {FUpButton, FDownButton}) {
        half->SetFlat(false);
        half->SetArrow(TTimerSpeedButton::arNormal);
        half->SetTimeBtnState(TTimerSpeedButton::tbAllowTimer);
        half->installEventFilter(this);
        connect(half, &TTimerSpeedButton::EndClick, this, [this]() { Q_EMIT SpinEnd(); });
    }
    FUpButton->SetDirection(TTimerSpeedButton::DirUp);
    FDownButton->SetDirection(TTimerSpeedButton::DirDown);
    FUpButton->SetTimeBtnState(FUpButton->TimeBtnState() | TTimerSpeedButton::tbFocusRect);
    connect(FUpButton, &TTimerSpeedButton::Clicked, this, [this]() { Q_EMIT UpClick(); });
    connect(FDownButton, &TTimerSpeedButton::Clicked, this, [this]() { Q_EMIT DownClick(); });
    resize(20, 25);
    AdjustSize();
}

void TSSpinButton::SetFocusControl(QWidget *control)
{
    FFocusControl = control;
}

void TSSpinButton::SetFocusBtn(TTimerSpeedButton *button)
{
    if (focusPolicy() == Qt::NoFocus || button == FFocusedButton)
        return;
    FFocusedButton->SetTimeBtnState(
        FFocusedButton->TimeBtnState() &
        ~TTimerSpeedButton::TTimeBtnState(TTimerSpeedButton::tbFocusRect));
    FFocusedButton = button;
    FFocusedButton->SetTimeBtnState(FFocusedButton->TimeBtnState() |
                                    TTimerSpeedButton::tbFocusRect);
}

void TSSpinButton::AdjustSize()
{
    const int w = width();
    const int h = height();
    FUpButton->setGeometry(0, 0, w, h / 2 + 1);
    // The halves share one pixel row.
    FDownButton->setGeometry(0, h / 2, w, h - h / 2);
}

void TSSpinButton::resizeEvent(QResizeEvent *e)
{
    QWidget::resizeEvent(e);
    if (width() < 10) {
        resize(10, height());
        return;
    }
    AdjustSize();
}

bool TSSpinButton::eventFilter(QObject *watched, QEvent *e)
{
    if (e->type() == QEvent::MouseButtonPress &&
        static_cast<QMouseEvent *>(e)->button() == Qt::LeftButton &&
        (watched == FUpButton || watched == FDownButton)) {
        auto *half = static_cast<TTimerSpeedButton *>(watched);
        if (half->isEnabled()) {
            SetFocusBtn(half);
            const bool controlCanFocus = FFocusControl && FFocusControl->isEnabled() &&
                                         FFocusControl->focusPolicy() != Qt::NoFocus;
            if (controlCanFocus && !FFocusControl->hasFocus())
                FFocusControl->setFocus(Qt::MouseFocusReason);
            // A focused partner keeps the focus; the spin button never takes it away.
            else if (!controlCanFocus && (focusPolicy() & Qt::TabFocus) && !hasFocus())
                setFocus(Qt::MouseFocusReason);
        }
    }
    return QWidget::eventFilter(watched, e);
}

void TSSpinButton::keyPressEvent(QKeyEvent *e)
{
    switch (e->key()) {
    case Qt::Key_Space:
        FFocusedButton->click();
        break;
    case Qt::Key_Up:
        SetFocusBtn(FUpButton);
        FUpButton->click();
        break;
    case Qt::Key_Down:
        SetFocusBtn(FDownButton);
        FDownButton->click();
        break;
    default:
        QWidget::keyPressEvent(e);
        return;
    }
    e->accept();
}

void TSSpinButton::focusInEvent(QFocusEvent *e)
{
    QWidget::focusInEvent(e);
    FFocusedButton->update();
}

void TSSpinButton::focusOutEvent(QFocusEvent *e)
{
    QWidget::focusOutEvent(e);
    FFocusedButton->update();
}
