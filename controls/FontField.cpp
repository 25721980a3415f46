#include "FontField.h"

#include <QFontDialog>
#include <QKeyEvent>

namespace {
const QString StandardText = QStringLiteral("(Standard)");
} // namespace

TFontField::TFontField(QWidget *parent) : TButtonEdit(parent)
{
    setReadOnly(true);
    setText(StandardText);
    SetHintBtn(QStringLiteral("Zeichensatz wählen"));
    // Greyed like a button face: the text is chosen, not typed.
    QPalette grey = palette();
    grey.setColor(QPalette::Base, grey.color(QPalette::Button));
    setPalette(grey);
    connect(this, &TButtonEdit::BtnClick, this, &TFontField::PickFont);
}

void TFontField::SetValue(bool standard, const QFont &font, const QColor &colour)
{
    FStandard = standard;
    FColour = colour;
    setFont(font);
    setText(standard ? StandardText : font.family());
    QPalette pal = palette();
    pal.setColor(QPalette::Text, colour);
    setPalette(pal);
}

void TFontField::SetStandard()
{
    QFont font = window()->font();
    font.setPointSize(9);
    font.setBold(true);
    SetValue(true, font, FColour);
}

void TFontField::PickFont()
{
    bool ok = false;
    const QFont chosen = QFontDialog::getFont(&ok, font(), window());
    if (!ok)
        return;
    SetValue(false, chosen, FColour);
    Q_EMIT FontPicked();
}

void TFontField::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Delete) {
        SetStandard();
        return;
    }
    TButtonEdit::keyPressEvent(event);
}
