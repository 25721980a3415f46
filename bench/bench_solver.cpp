// The solver on every bundled puzzle: time, positions and memory of a whole
// solve with the budget zarvos-cli uses, and the latency of a hint (the
// shortest way from a position along the solution), answered from what the
// solver already knows and from a solver that knows nothing yet.
#include "DataRoot.h"
#include "Solver.h"
#include "ZarvoPad.h"
#include "ZarvoRandom.h"
#include "ZarvoTypes.h"

#include <QDir>
#include <QGuiApplication>
#include <benchmark/benchmark.h>

namespace {

TSolverBoard BoardOf(const QString &file)
{
    TZarvoPad pad;
    pad.Constructing = true;
    pad.LoadPuzzle(file, false);
    return TSolverBoard::FromPad(pad);
}

void Solve(benchmark::State &state, const QString &file)
{
    const TSolverBoard board = BoardOf(file);
    TSolveResult r;
    for (auto _ : state) {
        const TSolver solver(board); // nothing known yet
        r = solver.Solve();
        benchmark::DoNotOptimize(r.Moves);
    }
    state.counters["moves"] = r.Moves;
    state.counters["proven"] = r.Outcome == TSolveOutcome::Minimum ? 1 : 0;
    state.counters["positions"] = double(r.Positions);
    state.counters["MB"] = double(r.Bytes) / 1e6;
}

// Positions along a solution, the start first.
std::vector<std::vector<QPoint>> Along(const TSolver &solver, const TSolveResult &r)
{
    std::vector<std::vector<QPoint>> positions{solver.Board().Position()};
    for (const TSolverMove &m : r.Path)
        positions.push_back(solver.Apply(positions.back(), m));
    positions.pop_back(); // the goal needs no hint
    return positions;
}

// A hint where the game already searched from the start: every position
// along the way is known.
void HintKnown(benchmark::State &state, const QString &file)
{
    const TSolver solver(BoardOf(file));
    const auto positions = Along(solver, solver.Solve());
    size_t k = 0;
    for (auto _ : state) {
        const TSolveResult hint = solver.SolveFrom(positions[k]);
        benchmark::DoNotOptimize(hint.Path.front());
        k = (k + 1) % positions.size();
    }
}

// A hint from a solver that knows nothing yet (a game just continued from a
// saved state), one from each position along the way in turn.
void HintFresh(benchmark::State &state, const QString &file)
{
    const TSolverBoard board = BoardOf(file);
    const auto positions = Along(TSolver(board), TSolver(board).Solve());
    size_t k = 0;
    for (auto _ : state) {
        const TSolveResult hint = TSolver(board).SolveFrom(positions[k]);
        benchmark::DoNotOptimize(hint.Path.front());
        k = (k + 1) % positions.size();
    }
    state.counters["positions along"] = double(positions.size());
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    DataRoot::UseRoot(QStringLiteral(ZARVOS_SOURCE_DIR "/data"));
    PieceTypes().LoadTypes(DataRoot::PieceTypeFile());
    // The shuffled number puzzles start the same in every run.
    ZarvoRandom::SetSeed(4711);
    ZarvoRandom::SetFixedSeed(true);

    const QStringList files =
        QDir(DataRoot::DataDir()).entryList({QStringLiteral("*.zrv")}, QDir::Files);
    // Searches that take seconds run once.
    const QStringList slow = {QStringLiteral("Lagerhalle.zrv"), QStringLiteral("Rosette.zrv"),
                              QStringLiteral("Fuenfzehnerspiel.zrv")};
    for (const QString &file : files) {
        const std::string name = file.chopped(4).toStdString();
        auto *b = benchmark::RegisterBenchmark(("Solve/" + name).c_str(), Solve, file);
        b->Unit(benchmark::kMillisecond);
        if (slow.contains(file))
            b->Iterations(1);
        benchmark::RegisterBenchmark(("HintKnown/" + name).c_str(), HintKnown, file)
            ->Unit(benchmark::kMicrosecond);
        if (!slow.contains(file))
            benchmark::RegisterBenchmark(("HintFresh/" + name).c_str(), HintFresh, file)
                ->Unit(benchmark::kMillisecond);
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
