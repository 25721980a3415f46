#pragma once

class QWidget;
class TZarvoPad;

// Shows the puzzle's best-ten list "Bestenliste". With newMoves > 0 the
// player enters a name for the new result, which is written into the puzzle
// file; with 0 the list is only looked at. True when closed with OK.
bool ShowTopList(QWidget *owner, TZarvoPad *board, int newMoves, int newSeconds);
