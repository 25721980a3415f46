#pragma once

#include "ButtonEdit.h"

#include <QColor>
#include <QFont>

// The caption-font field of the puzzle dialogs: a read-only edit that shows
// "(Standard)" or the chosen font's family, written in that font and colour.
// Its button picks a font; Delete goes back to the standard caption font.
class TFontField : public TButtonEdit
{
    Q_OBJECT

public:
    explicit TFontField(QWidget *parent = nullptr);

    void SetValue(bool standard, const QFont &font, const QColor &colour);
    // The standard caption font: the window's font, 9 points, bold; the
    // colour stays.
    void SetStandard();
    bool IsStandard() const { return FStandard; }
    QColor Colour() const { return FColour; }

    // Runs the button: the font dialog, starting from the font shown.
    void PickFont();

Q_SIGNALS:
    void FontPicked(); // a font was chosen in the font dialog

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    bool FStandard = true;
    QColor FColour{Qt::black};
};
