#pragma once

#include <QString>
#include <functional>

class QWidget;

// Shows the selection dialog "Neues Spiel öffnen" modally, starting at the
// row Settings().ZarvoIndex remembers (each row chosen is remembered there).
// True when closed with OK; puzzleFile then holds the puzzle chosen (file
// name with extension, no directory), and an empty list leaves it as it was.
bool SelectPuzzle(QWidget *owner, QString &puzzleFile);

// How "Puzzledatei editieren" opens a puzzle file (full path): with the
// program associated with its type, else a plain text editor; false when no
// program could be started. Tests put their own function here so no program
// is started.
extern std::function<bool(const QString &path)> EditPuzzleFile;
