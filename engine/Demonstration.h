#pragma once

#include "SolverService.h"

#include <QPoint>
#include <functional>
#include <vector>

class TZarvoGame;
class TZarvoPad;

// Shows a solution on the board: each move is a drag as a player makes it,
// pressed on the piece, moved a little per frame along the solver's steps and
// released, so the moves go through the game and count. The game counts as
// helped from the first move on.
class TDemonstration
{
public:
    // framesPerCell: mouse moves per cell of the way; pauseFrames: frames of
    // rest after each move.
    TDemonstration(TZarvoGame &game, TSolverAnswer answer, int framesPerCell, int pauseFrames);
    ~TDemonstration(); // finishes a move under way
    TDemonstration(const TDemonstration &) = delete;
    TDemonstration &operator=(const TDemonstration &) = delete;

    // One frame; false once the demonstration is over.
    bool Tick();
    // Ends the demonstration; a move under way is finished at once, so the
    // board rests on the solver's position.
    void Stop();

    bool Over() const { return FOver; }
    int MovesDone() const { return FDone; }
    int MovesTotal() const { return FTotal; }
    // The board did not go the solver's way (or the game left it): stopped.
    bool Failed() const { return FFailed; }

private:
    TZarvoGame &FGame;
    TSolverAnswer FAnswer; // the rest of the way from the position the next move starts at
    int FFramesPerCell, FPauseFrames;
    int FTotal, FDone = 0, FPause = 0;
    bool FOver = false, FFailed = false, FDragging = false;
    std::vector<QPoint> FPoints; // the mouse positions of the move under way, one per frame
    size_t FFrame = 0;
    std::function<void(TZarvoPad &, bool)> FConfine; // the view's, set aside during a drag

    bool Begin();
    void End();
};
