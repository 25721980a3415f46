#pragma once

#include <QLineEdit>

class TSSpinButton;

// A single-line edit for a whole number with a spin button at its right end
// (unit size, bevel width, piece counts). The value is held once as a
// floating-point number; IntVal reads it cut toward zero.
//
// Typed digits stay pending (blue) until they are taken: on Enter, when the
// edit loses the focus, and before each step. Taking reads the text, applies
// the range and rewrites the text, so an unreadable or out-of-range entry is
// replaced at once. Change is emitted only when the value really changes.
class TMultiEdit : public QLineEdit
{
    Q_OBJECT

public:
    explicit TMultiEdit(QWidget *parent = nullptr);

    int IntVal() const;
    void SetIntVal(int value) { SetFloatVal(double(value)); }
    int IntValMin() const;
    void SetIntValMin(int value) { SetFloatValMin(double(value)); }
    int IntValMax() const;
    void SetIntValMax(int value) { SetFloatValMax(double(value)); }

    // Minimum = maximum means: no range.
    double FloatVal() const { return FValue; }
    void SetFloatVal(double value);
    double FloatValMin() const { return FMin; }
    void SetFloatValMin(double value);
    double FloatValMax() const { return FMax; }
    void SetFloatValMax(double value);

    // The step of the spin button and the arrow keys; the effective step is
    // Increment rounded to a whole number (halves to even), at least 1.
    double Increment() const { return FIncrement; }
    void SetIncrement(double increment);
    int EffectiveStep() const { return FStep; }

    // Typed text not yet taken as the value.
    bool Pending() const { return FPending; }
    // Steps since the last key or spin-button release.
    int RepeatCount() const { return FRepeatCount; }

    // Takes pending typing now (as Enter or leaving the edit does).
    void TakeText();
    // One step up (+1) or down (-1), accelerated within a run.
    void Step(int direction);

    TSSpinButton *SpinButton() const { return FSpin; }

Q_SIGNALS:
    void Change();

protected:
    void keyPressEvent(QKeyEvent *e) override;
    void keyReleaseEvent(QKeyEvent *e) override;
    void focusInEvent(QFocusEvent *e) override;
    void focusOutEvent(QFocusEvent *e) override;
    void resizeEvent(QResizeEvent *e) override;
    void changeEvent(QEvent *e) override;

private:
    void WriteText();
    void UpdateColors();
    void PlaceSpin();
    void TypeDigit(QChar digit);
    void TypeMinus();
    void ApplyRange();

    double FValue = 0;
    double FMin = 0;
    double FMax = 0;
    double FIncrement = 1;
    int FStep = 1;
    bool FPending = false;
    int FRepeatCount = 0;
    bool FColorsBusy = false;
    TSSpinButton *FSpin;
};
