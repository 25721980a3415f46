#pragma once

#include <QString>

class QWidget;

// The puzzle chosen last (file name with extension, no directory) and its
// row in the sorted list; they live for the whole run.
extern QString SelectedPuzzleFile;
extern int SelectedPuzzleRow;

// Shows the selection dialog "Neues Spiel öffnen" modally; true when closed with OK.
bool SelectPuzzle(QWidget *owner);
