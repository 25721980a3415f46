#include "MultiEdit.h"

#include "TimerSpeedButton.h"

#include <QApplication>
#include <QKeyEvent>
#include <QRegularExpression>
#include <QStyle>
#include <QStyleOptionFrame>

#include <climits>
#include <cmath>

namespace {
int CutToInt(double value)
{
    const double cut = std::trunc(value);
    if (cut >= double(INT_MAX))
        return INT_MAX;
    if (cut <= double(INT_MIN))
        return INT_MIN;
    return int(cut);
}
} // namespace

TMultiEdit::TMultiEdit(QWidget *parent) : QLineEdit(parent), FSpin(new TSSpinButton(this))
{
    FSpin->setFocusPolicy(Qt::NoFocus);
    FSpin->SetFocusControl(this);
    FSpin->setCursor(Qt::ArrowCursor);
    connect(FSpin, &TSSpinButton::UpClick, this, [this]() { Step(+1); });
    connect(FSpin, &TSSpinButton::DownClick, this, [this]() { Step(-1); });
    connect(FSpin, &TSSpinButton::SpinEnd, this, [this]() { FRepeatCount = 0; });
    // Any edit by the user (typing, deleting, cut and paste from the context
    // menu) leaves text that is not yet the value.
    connect(this, &QLineEdit::textEdited, this, [this]() {
        if (!FPending) {
            FPending = true;
            UpdateColors();
        }
    });
    WriteText();
    UpdateColors();
    PlaceSpin();
}

int TMultiEdit::IntVal() const
{
    return CutToInt(FValue);
}
int TMultiEdit::IntValMin() const
{
    return CutToInt(FMin);
}
int TMultiEdit::IntValMax() const
{
    return CutToInt(FMax);
}

void TMultiEdit::SetFloatVal(double value)
{
    if (FMin != FMax) {
        if (value < FMin)
            value = FMin;
        else if (value > FMax)
            value = FMax;
    }
    if (value == FValue)
        return;
    FValue = value;
    UpdateColors();
    WriteText();
    Q_EMIT Change();
}

void TMultiEdit::ApplyRange()
{
    if (FMin != FMax)
        SetFloatVal(FValue);
}

void TMultiEdit::SetFloatValMin(double value)
{
    FMin = value;
    if (FMin == FMax)
        return;
    // A minimum above the maximum lifts the maximum along (the pair then
    // means "no range" until the maximum is set), so the value is never
    // pushed against a reversed range.
    if (FMin > FMax)
        FMax = FMin;
    else
        ApplyRange();
}

void TMultiEdit::SetFloatValMax(double value)
{
    FMax = value;
    if (FMax == FMin)
        return;
    if (FMax < FMin)
        FMin = FMax;
    else
        ApplyRange();
}

void TMultiEdit::SetIncrement(double increment)
{
    FIncrement = increment;
    const double rounded = std::nearbyint(increment); // halves to even
    FStep = (std::isfinite(rounded) && rounded >= 1) ? CutToInt(rounded) : 1;
}

void TMultiEdit::WriteText()
{
    setText(QString::number(IntVal()));
}

void TMultiEdit::UpdateColors()
{
    if (FColorsBusy)
        return;
    FColorsBusy = true;
    const QPalette app = QApplication::palette(this);
    QPalette p = palette();
    const bool zero = FValue == 0 && !FPending;
    for (QPalette::ColorGroup g : {QPalette::Active, QPalette::Inactive}) {
        p.setColor(g, QPalette::Base, app.color(g, zero ? QPalette::Button : QPalette::Base));
        p.setColor(g, QPalette::Text, FPending ? QColor(Qt::blue) : app.color(g, QPalette::Text));
    }
    setPalette(p);
    FColorsBusy = false;
}

void TMultiEdit::TakeText()
{
    FPending = false;
    static const QRegularExpression Whole(QStringLiteral("^\\s*-?\\d+\\s*$"));
    const QString t = text();
    if (Whole.match(t).hasMatch()) {
        // Very long digit runs are still numbers: they meet the range's end.
        SetFloatVal(std::trunc(t.trimmed().toDouble()));
    }
    WriteText();
    UpdateColors();
}

void TMultiEdit::Step(int direction)
{
    if (FPending)
        TakeText();
    ++FRepeatCount;
    double step = FStep;
    if (FRepeatCount >= 20)
        step *= 100;
    else if (FRepeatCount >= 11)
        step *= 10;
    SetFloatVal(double(IntVal()) + (direction < 0 ? -step : step));
    selectAll();
}

void TMultiEdit::TypeDigit(QChar digit)
{
    if (hasSelectedText())
        del();
    const qsizetype minus = text().indexOf(QLatin1Char('-'));
    if (minus >= 0 && cursorPosition() <= minus)
        setCursorPosition(int(minus) + 1);
    insert(QString(digit));
    FPending = true;
    UpdateColors();
}

void TMultiEdit::TypeMinus()
{
    if (hasSelectedText()) {
        del();
        FPending = true;
        UpdateColors();
    }
    const QString t = text();
    if (!t.contains(QLatin1Char('-'))) {
        if (FMin < 0 || FMin == FMax) {
            setText(QLatin1Char('-') + t);
            TakeText();
        }
    } else {
        setText(t.mid(1));
        TakeText();
    }
}

void TMultiEdit::keyPressEvent(QKeyEvent *e)
{
    switch (e->key()) {
    case Qt::Key_Up:
        Step(+1);
        e->accept();
        return;
    case Qt::Key_Down:
        Step(-1);
        e->accept();
        return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (FPending) {
            TakeText();
            e->accept();
        } else {
            e->ignore(); // the dialog's default button
        }
        return;
    case Qt::Key_Escape:
        e->ignore();
        return;
    default:
        break;
    }
    const QString t = e->text();
    const bool plain =
        !(e->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier));
    if (plain && t.size() == 1 && !isReadOnly()) {
        const QChar c = t.at(0);
        if (c >= QLatin1Char('0') && c <= QLatin1Char('9')) {
            TypeDigit(c);
            e->accept();
            return;
        }
        if (c == QLatin1Char('-')) {
            TypeMinus();
            e->accept();
            return;
        }
        if (c.isPrint()) { // letters, blanks, other signs: not part of a number
            e->accept();
            return;
        }
    }
    QLineEdit::keyPressEvent(e); // Backspace, Delete, caret keys, shortcuts
}

void TMultiEdit::keyReleaseEvent(QKeyEvent *e)
{
    // A held key repeats its press; only the real release ends the run.
    if (!e->isAutoRepeat())
        FRepeatCount = 0;
    QLineEdit::keyReleaseEvent(e);
}

void TMultiEdit::focusInEvent(QFocusEvent *e)
{
    QLineEdit::focusInEvent(e);
    selectAll();
}

void TMultiEdit::focusOutEvent(QFocusEvent *e)
{
    // The context menu's cut and paste come back to the pending text.
    if (FPending && e->reason() != Qt::PopupFocusReason)
        TakeText();
    QLineEdit::focusOutEvent(e);
}

void TMultiEdit::PlaceSpin()
{
    int frame = 0;
    if (hasFrame()) {
        QStyleOptionFrame opt;
        initStyleOption(&opt);
        frame = style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &opt, this);
    }
    const int clientW = width() - 2 * frame;
    const int clientH = height() - 2 * frame;
    const int spinW = std::max(10, clientH / 2);
    FSpin->setGeometry(frame + clientW - spinW, frame, spinW, clientH + 1);
    // The text ends short of the spin button so it never runs under it.
    setTextMargins(0, 0, spinW + 2, 0);
}

void TMultiEdit::resizeEvent(QResizeEvent *e)
{
    QLineEdit::resizeEvent(e);
    PlaceSpin();
}

void TMultiEdit::changeEvent(QEvent *e)
{
    QLineEdit::changeEvent(e);
    if (e->type() == QEvent::EnabledChange)
        FSpin->setVisible(isEnabled());
    else if (e->type() == QEvent::StyleChange || e->type() == QEvent::FontChange)
        PlaceSpin();
}
