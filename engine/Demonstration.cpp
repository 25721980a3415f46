// A solution shown move by move through the game, as mouse drags.

#include "Demonstration.h"

#include "ZarvoError.h"
#include "ZarvoGame.h"

#include <algorithm>

TDemonstration::TDemonstration(TZarvoGame &game, TSolverAnswer answer, int framesPerCell,
                               int pauseFrames)
    : FGame(game), FAnswer(std::move(answer)), FFramesPerCell(std::max(1, framesPerCell)),
      FPauseFrames(std::max(0, pauseFrames)), FTotal(int(FAnswer.Path.size()))
{
    if (!FAnswer.Found())
        FTotal = 0;
}

TDemonstration::~TDemonstration()
{
    Stop();
}

bool TDemonstration::Tick()
{
    if (FOver)
        return false;
    if (!FDragging) {
        if (FPause > 0) {
            --FPause;
            return true;
        }
        if (FDone >= FTotal || !Begin()) {
            FOver = true;
            return false;
        }
        return true;
    }
    TZarvoPad &pad = FGame.Board();
    const QPoint p = FPoints[FFrame++];
    pad.MouseMove(ssLeft, p.x(), p.y());
    if (FFrame < FPoints.size())
        return true;
    End();
    if (FOver || FDone >= FTotal) {
        FOver = true;
        return false;
    }
    FPause = FPauseFrames;
    return true;
}

void TDemonstration::Stop()
{
    if (FDragging) {
        // The rest of the way, one cell at a time: a straight line to the
        // end could cut a corner the solver's steps go round.
        TZarvoPad &pad = FGame.Board();
        for (; FFrame < FPoints.size(); ++FFrame)
            if ((FFrame + 1) % size_t(FFramesPerCell) == 0)
                pad.MouseMove(ssLeft, FPoints[FFrame].x(), FPoints[FFrame].y());
        End();
    }
    FOver = true;
}

bool TDemonstration::Begin()
{
    TZarvoPad &pad = FGame.Board();
    if (pad.ShowObject || pad.Dragging || !FGame.IsCurrent(FAnswer) || FAnswer.Path.empty()) {
        FFailed = true;
        return false;
    }
    const TSolverMove &move = FAnswer.Path.front();
    if (move.Piece < 0 || move.Piece >= int(pad.Pieces.size())) {
        FFailed = true;
        return false;
    }
    // The pieces rest on the cells the history records, where the solver
    // sees them (without grid snapping they may lie between cells).
    pad.RestorePosition(pad.MoveIndex);
    FGame.MarkHelped();
    const TZarvo *p = pad.Pieces[size_t(move.Piece)].get();
    const int u = pad.UnitSize;
    const QPoint grab(p->X + p->Width / 2, p->Y + p->Height / 2);
    FPoints.clear();
    QPoint cell = grab;
    for (const QPoint &s : move.Steps) {
        for (int f = 1; f <= FFramesPerCell; ++f)
            FPoints.push_back(cell + s * (u * f / FFramesPerCell));
        cell += s * u;
    }
    FFrame = 0;
    // The pointer is not the one dragging: it stays free.
    FConfine = std::move(pad.OnConfineCursor);
    pad.OnConfineCursor = nullptr;
    pad.MouseDown(mbLeft, ssLeft, grab.x(), grab.y());
    FDragging = true;
    if (pad.DragIndex != move.Piece || FPoints.empty()) {
        FFailed = true;
        FOver = true;
        End();
        return false;
    }
    return true;
}

void TDemonstration::End()
{
    TZarvoPad &pad = FGame.Board();
    FDragging = false;
    const QPoint last = FPoints.empty() ? QPoint(pad.DownX, pad.DownY) : FPoints.back();
    pad.MouseUp(mbLeft, 0, last.x(), last.y());
    if (!pad.OnConfineCursor)
        pad.OnConfineCursor = std::move(FConfine);
    FConfine = nullptr;
    if (FFailed)
        return;
    ++FDone;
    try {
        FAnswer = FGame.Solver().Rest(FAnswer);
    } catch (const EZarvoError &) {
        FFailed = true;
        FOver = true;
        return;
    }
    // The board went the solver's way, or the demonstration ends here.
    if (!FGame.IsCurrent(FAnswer)) {
        FFailed = true;
        FOver = true;
    }
}
