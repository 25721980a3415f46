#include "Help.h"

std::function<void(QWidget *from)> ShowHelpContents;

void OpenHelpContents(QWidget *from)
{
    if (ShowHelpContents)
        ShowHelpContents(from);
}
