#pragma once

#include <QString>

// One rectangle of a piece on the board: plain data that the board's move
// rules, history and drawing work on. Positions and sizes are pixels in board
// coordinates. The rectangles of a compound piece are linked through Master
// (the first part, which points to itself) and Next.
class TZarvo
{
public:
    QString Caption = QStringLiteral("Test"); // only the master part (or a single piece) has one
    QString TypeName;         // as written in the puzzle entry (the goal test compares it exactly)
    TZarvo *Master = nullptr; // nullptr for a single-rectangle piece
    TZarvo *Next = nullptr;   // next part of the same compound piece
    int OldX = 90, OldY = 90; // position at the last commit
    int X = 90, Y = 90;       // current top-left position
    int Width = 50, Height = 50;
    int ImageX = 0, ImageY = 0; // top-left of the face in the board's piece picture
    int MoveX = 0, MoveY = 0;   // displacement computed in the current move step
    int PushDepth = 0;          // deepest push depth reached in the current drag, 0 = not moved
    qint32 ListIndex = -1;      // its place in the board's piece list, kept by the board
    qint16 VisitCount = 0;      // recursion guard of a master part during a move
    bool Pushing = false; // this piece's own push is in progress (a push never comes back to it)
    bool Movable = true;  // false for a fixed piece
    bool EdgeTop = false, EdgeRight = false, EdgeBottom = false, EdgeLeft = false;
};
