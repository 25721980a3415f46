#pragma once

#include <QString>
#include <functional>

class QWidget;

// The puzzle chosen last (file name with extension, no directory) and its
// row in the sorted list; they live for the whole run.
extern QString SelectedPuzzleFile;
extern int SelectedPuzzleRow;

// Shows the selection dialog "Neues Spiel öffnen" modally; true when closed with OK.
bool SelectPuzzle(QWidget *owner);

// How "Puzzledatei editieren" opens a puzzle file (full path): with the
// program associated with its type, else a plain text editor; false when no
// program could be started. Tests put their own function here so no program
// is started.
extern std::function<bool(const QString &path)> EditPuzzleFile;
