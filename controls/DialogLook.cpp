#include "DialogLook.h"

#include "FormColour.h"

#include <QWidget>

void SetDialogLook(QWidget *dialog)
{
    dialog->setAutoFillBackground(true);
    QPalette pal = dialog->palette();
    pal.setColor(QPalette::Window, FormColour);
    dialog->setPalette(pal);
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(13);
    dialog->setFont(font);
}
