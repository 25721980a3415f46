#pragma once

#include <functional>

class QWidget;

// Opens the contents of the game's help. The main window sets it at start;
// dialogs call it on F1 with themselves as `from`, so a help window opened
// over a modal dialog can still be used. Unset, F1 does nothing.
extern std::function<void(QWidget *from)> ShowHelpContents;

// Calls ShowHelpContents when it is set.
void OpenHelpContents(QWidget *from);
