// zarvos-cli solve: a shortest solution of a puzzle (or of a saved game from
// its position), and on request a script for zarvos-cli play that makes it.

#include "Commands.h"
#include "Solver.h"
#include "ZarvoError.h"
#include "ZarvoPad.h"
#include "ZarvoRandom.h"

int CmdSolve(TCliContext &ctx, const QStringList &args)
{
    bool state = false, script = false, bad = false;
    long long maxPositions = -1;
    QStringList names;
    for (int i = 0; i < args.size(); ++i) {
        const QString &a = args[i];
        if (a == QLatin1String("--state")) {
            state = true;
        } else if (a == QLatin1String("--script")) {
            script = true;
        } else if (a == QLatin1String("--max-positions") && i + 1 < args.size()) {
            bool ok = false;
            maxPositions = args[++i].toLongLong(&ok);
            bad = bad || !ok || maxPositions <= 0;
        } else if (a.startsWith(QLatin1String("--"))) {
            bad = true;
        } else {
            names << a;
        }
    }
    if (bad || names.size() != 1) {
        ctx.Err << "usage: zarvos-cli [--root DIR] [--seed N] solve [--state] [--script] "
                   "[--max-positions N] NAME\n";
        ctx.Err.flush();
        return 2;
    }
    if (ctx.HasSeed) {
        ZarvoRandom::SetSeed(ctx.Seed);
        ZarvoRandom::SetFixedSeed(true);
    }

    TZarvoPad pad;
    pad.Constructing = true;
    std::unique_ptr<TSolver> solver;
    try {
        RequirePuzzleFile(names.first(), state);
        pad.LoadPuzzle(names.first(), state);
        solver = std::make_unique<TSolver>(TSolverBoard::FromPad(pad));
    } catch (const EZarvoError &e) {
        ctx.Err << OneLine(e.Message) << "\n";
        ctx.Err.flush();
        return 1;
    }

    TSolverLimits limits;
    if (maxPositions > 0)
        limits.MaxPositions = maxPositions;
    const TSolveResult r = solver->Solve(limits);
    ctx.Out << SolveOutcomeName(r.Outcome);
    if (r.Outcome == TSolveOutcome::Minimum || r.Outcome == TSolveOutcome::Solution)
        ctx.Out << " " << r.Moves;
    ctx.Out << " positions " << r.Positions << "\n";
    if (script) {
        std::vector<QPoint> position = solver->Board().Position();
        for (const TSolverMove &move : r.Path) {
            const TSolverDrag drag = solver->DragFor(position, move);
            ctx.Out << "down " << drag.Down.x() << " " << drag.Down.y() << "\n";
            for (const QPoint &p : drag.Points)
                ctx.Out << "move " << p.x() << " " << p.y() << "\n";
            const QPoint end = drag.Points.empty() ? drag.Down : drag.Points.back();
            ctx.Out << "up " << end.x() << " " << end.y() << "\n";
            position = solver->Apply(position, move);
        }
    }
    ctx.Out.flush();
    return 0;
}
