#pragma once

#include <QString>

class TZarvoPad;
struct TZarvoDef;
class QImage;

// One rectangle of a piece on the board. Positions and sizes are pixels in
// board coordinates. The rectangles of a compound piece are linked through
// Master (the first part, which points to itself) and Next.
class TZarvo
{
public:
    TZarvo() = default;

    QString Caption = QStringLiteral("Test"); // only the master part (or a single piece) has one
    int VisitCount = 0;                       // recursion guard of a master part during a move
    bool Pushing = false; // this piece's own push is in progress (a push never comes back to it)
    bool Movable = true;  // false for a fixed piece
    TZarvo *Master = nullptr; // nullptr for a single-rectangle piece
    TZarvo *Next = nullptr;   // next part of the same compound piece
    TZarvoPad *Pad = nullptr; // the owning board
    int PushDepth = 0;        // deepest push depth reached in the current drag, 0 = not moved
    QString TypeName;         // as written in the puzzle entry (the goal test compares it exactly)
    int OldX = 90, OldY = 90; // position at the last commit
    int X = 90, Y = 90;       // current top-left position
    int Width = 50, Height = 50;
    int ImageX = 0, ImageY = 0; // top-left of the face in the board's piece picture
    int MoveX = 0, MoveY = 0;   // displacement computed in the current move step
    bool EdgeTop = false, EdgeRight = false, EdgeBottom = false, EdgeLeft = false;

    // Sets Pad (the piece picture, Source, is Pad->ZarvoBitmap).
    void Attach(TZarvoPad *board) { Pad = board; }
    const QImage &Source() const;

    // The nearest grid cell (floor division, so cells left of or above the
    // field stay where they are).
    int Col() const;
    int Row() const;
    void SetCol(int c); // X := Offset.x + c * UnitSize (not OldX)
    void SetRow(int r);

    // Moves the piece as far as the rules allow toward (X + dx, Y + dy),
    // pushing others, in steps of at most 20 pixels.
    void DragBy(int dx, int dy);

    // Draws this piece onto target (see the board's drawing rules).
    void Draw(QImage &target) const;
};
