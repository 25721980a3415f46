#pragma once

class QWidget;

// The look of the game's dialogs: the game's background colour and Arial at
// 13 pixels for every control on them.
void SetDialogLook(QWidget *dialog);
