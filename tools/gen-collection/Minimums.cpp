// The minimums of the collection, proven by the game's own solver: what the
// selection dialog shows as "Minimum" is what the rules of this game allow.

#include "Collection.h"
#include "DataRoot.h"
#include "Solver.h"
#include "ZarvoError.h"
#include "ZarvoPad.h"
#include "ZarvoTypes.h"

#include <QElapsedTimer>
#include <cstdio>

bool WriteMinimums(const QString &dataDir, const std::vector<TWrittenPuzzle> &puzzles)
{
    DataRoot::UseRoot(dataDir);
    try {
        PieceTypes().LoadTypes(DataRoot::PieceTypeFile());
    } catch (const EZarvoError &e) {
        std::fprintf(stderr, "%s\n", qPrintable(e.Message));
        return false;
    }
    std::printf("%-26s %-10s %6s %12s %9s %8s\n", "puzzle", "result", "moves", "positions",
                "seconds", "MB");
    for (const TWrittenPuzzle &p : puzzles) {
        if (p.Random) {
            std::printf("%-26s shuffled at every start\n", qPrintable(p.File));
            continue;
        }
        TSolverLimits limits;
        // Tile puzzles are proven by a search that keeps almost nothing in
        // memory: it may look at many more positions.
        if (p.Picture)
            limits.MaxPositions = 2'000'000'000;
        TSolveResult r;
        QElapsedTimer clock;
        clock.start();
        try {
            TZarvoPad pad;
            pad.Constructing = true;
            pad.LoadPuzzle(p.File, false);
            r = TSolver(TSolverBoard::FromPad(pad)).Solve(limits);
        } catch (const EZarvoError &e) {
            std::fprintf(stderr, "%s: %s\n", qPrintable(p.File), qPrintable(e.Message));
            return false;
        }
        std::printf("%-26s %-10s %6d %12lld %9.2f %8.1f\n", qPrintable(p.File),
                    qPrintable(SolveOutcomeName(r.Outcome)), r.Moves, r.Positions,
                    double(clock.elapsed()) / 1000.0, double(r.Bytes) / 1e6);
        std::fflush(stdout);
        if (r.Outcome != TSolveOutcome::Minimum)
            continue;
        QStringList lines = p.Lines;
        lines << ""
              << "[Solution]" << QStringLiteral("Best1=%1,Minimum").arg(r.Moves);
        if (!WriteTextFile(dataDir + "/Data/" + p.File, lines))
            return false;
    }
    return true;
}
