// A 4,000 x 3,000 picture puzzle of 119,999 pieces, as the expert makes it
// from a photo: opening it, the memory it holds, a move of one piece, the
// first move after opening, and a move that pushes the whole bottom row.
// Each figure stands beside its floor measured in the same run: decoding
// the photo once, and one plain copy of a board-sized picture.
//
//   bench_huge [--photo=jpg|bmp] [--write-puzzle=DIR] [benchmark options]
//
// --write-puzzle leaves the puzzles in DIR (for zarvos-cli or a profiler)
// and ends.

#include "HugePuzzle.h"
#include "NViewLib.h"
#include "ZarvoGame.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <cstring>
#include <memory>

namespace {

THugePuzzle Puzzle;

// What a window on a full-HD screen shows of the board at first, and after
// scrolling to the bottom-right corner, where the moves below are made.
const QRect FirstView(0, 0, 1920, 1080);
const QRect CornerView(4020 - 1920, 3020 - 1080, 1920, 1080);

double Megabytes(qint64 bytes)
{
    return double(bytes) / (1024.0 * 1024.0);
}

void BM_DecodePhoto(benchmark::State &state)
{
    for (auto _ : state) {
        const QImage photo = NViewLibLoad(Puzzle.Picture);
        benchmark::DoNotOptimize(photo.constBits());
    }
}

void BM_PlainCopy(benchmark::State &state)
{
    TZarvoPad pad;
    pad.LoadPuzzle(Puzzle.OnePiece, false);
    const int w = pad.Width(), h = pad.Height();
    const QImage src(w, h, QImage::Format_RGB32);
    QImage dst(w, h, QImage::Format_RGB32);
    std::memset(dst.bits(), 0, size_t(dst.sizeInBytes()));
    for (auto _ : state) {
        std::memcpy(dst.bits(), src.constBits(), size_t(src.sizeInBytes()));
        benchmark::DoNotOptimize(dst.constBits());
    }
    state.SetLabel(std::to_string(w) + "x" + std::to_string(h));
}

// Opening: the load alone, as zarvos-cli opens a puzzle (shown 0); the
// load and the picture of the board's top-left 1,920 x 1,080 pixels, as a
// window on a full-HD screen shows it at 100 % (1); or the whole board and
// the goal picture, as the window shows a board fitted into it, its
// default (2).
void BM_Open(benchmark::State &state)
{
    const QString name = state.range(0) ? Puzzle.AllPieces : Puzzle.OnePiece;
    const int shown = int(state.range(1));
    const auto show = [shown](TZarvoGame &game) {
        TZarvoPad &pad = game.Board();
        if (shown == 1)
            benchmark::DoNotOptimize(pad.ComposeScreen(false, FirstView).constBits());
        if (shown == 2) {
            benchmark::DoNotOptimize(pad.ComposeScreen(false).constBits());
            benchmark::DoNotOptimize(pad.ObjectBitmap().constBits());
        }
    };
    {
        // Once untimed: a running game has its fonts and threads at hand,
        // as the decoding it is measured against has its decoder.
        TZarvoGame warm;
        warm.Load(name, false);
        show(warm);
    }
    // Each open beside a decoding of the photo just before it: the ratio
    // holds while the machine's speed drifts.
    double openNs = 0, decodeNs = 0;
    QElapsedTimer clock;
    for (auto _ : state) {
        state.PauseTiming();
        clock.start();
        benchmark::DoNotOptimize(NViewLibLoad(Puzzle.Picture).constBits());
        decodeNs += double(clock.nsecsElapsed());
        auto game = std::make_unique<TZarvoGame>();
        state.ResumeTiming();
        clock.start();
        game->Load(name, false);
        show(*game);
        openNs += double(clock.nsecsElapsed());
        state.PauseTiming();
        game.reset();
        state.ResumeTiming();
    }
    state.counters["x_decode"] = decodeNs > 0 ? openNs / decodeNs : 0;
    const char *what[] = {" loaded", " 100 %", " fitted"};
    state.SetLabel(name.toStdString() + what[std::clamp(shown, 0, 2)]);
}

int PieceAt(const TZarvoPad &pad, int col, int row);
void Drag(TZarvoPad &pad, int index, int dx);
void Paint(TZarvoPad &pad, const QRect &view);

// The whole process after opening the big puzzle, showing a window of it
// and making 20 moves: resident memory then and at its peak. Measured in a
// process of its own (this program started again with --memory-of), so
// that making the puzzle leaves nothing behind in it.
void PlayForMemory()
{
    auto game = std::make_unique<TZarvoGame>();
    game->Load(Puzzle.AllPieces, false);
    TZarvoPad &pad = game->Board();
    Paint(pad, CornerView);
    // The gap walks left along the bottom row: every move is a new position.
    for (int col = 398; col > 378; --col)
        Drag(pad, PieceAt(pad, col, 299), pad.UnitSize);
    std::printf("%lld %lld %d\n", ResidentBytes(), PeakResidentBytes(), pad.MoveIndex);
}

QString Program;

void BM_ProcessMemory(benchmark::State &state)
{
    for (auto _ : state) {
        QProcess child;
        child.start(Program, {QStringLiteral("--memory-of=") + Puzzle.Root});
        child.waitForFinished(-1);
        const QList<QByteArray> figures = child.readAllStandardOutput().trimmed().split(' ');
        state.counters["rss_MB"] = Megabytes(figures.value(0).toLongLong());
        state.counters["peak_MB"] = Megabytes(figures.value(1).toLongLong());
        state.counters["moves"] = figures.value(2).toDouble();
    }
}

// The piece left of the gap (bottom-right corner) and the first piece of the
// bottom row, found by position after the shuffle.
int PieceAt(const TZarvoPad &pad, int col, int row)
{
    for (int i = 0; i < pad.PieceCount(); ++i)
        if (pad.Col(pad.Piece(i)) == col && pad.Row(pad.Piece(i)) == row)
            return i;
    return -1;
}

// What the view paints after each mouse event: the screen picture, with
// the hand, of every area that changed and lies in its window.
void Paint(TZarvoPad &pad, const QRect &view)
{
    for (const QRect &r : pad.TakeChangedAreas())
        if (r.intersects(view))
            benchmark::DoNotOptimize(pad.ComposeScreen(true, r & view).constBits());
}

// One press, move and release: the move, its pictures and its commit into
// the history.
void Drag(TZarvoPad &pad, int index, int dx)
{
    const TZarvo *p = pad.Piece(index);
    const int x = p->X + p->Width / 2, y = p->Y + p->Height / 2;
    pad.MouseDown(mbLeft, ssLeft, x, y);
    Paint(pad, CornerView);
    pad.MouseMove(ssLeft, x + dx, y);
    Paint(pad, CornerView);
    pad.MouseUp(mbLeft, 0, x + dx, y);
    Paint(pad, CornerView);
}

TZarvoGame &LoadedGame()
{
    static std::unique_ptr<TZarvoGame> game;
    if (!game) {
        game = std::make_unique<TZarvoGame>();
        game->Load(Puzzle.AllPieces, false);
        Paint(game->Board(), CornerView);
    }
    return *game;
}

// Into the gap and back: two moves per round.
void BM_MoveOnePiece(benchmark::State &state)
{
    TZarvoPad &pad = LoadedGame().Board();
    const int piece = PieceAt(pad, 398, 299);
    for (auto _ : state) {
        Drag(pad, piece, pad.UnitSize);
        Drag(pad, piece, -pad.UnitSize);
    }
    state.SetItemsProcessed(int64_t(state.iterations()) * 2);
    state.counters["per_move"] = benchmark::Counter(
        double(state.iterations()) * 2, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

// The first piece of the bottom row pushes the other 398 into the gap, and
// the last one pushes them back.
void BM_MovePushingRow(benchmark::State &state)
{
    TZarvoPad &pad = LoadedGame().Board();
    const int first = PieceAt(pad, 0, 299);
    for (auto _ : state) {
        Drag(pad, first, pad.UnitSize);
        const int last = PieceAt(pad, 399, 299);
        Drag(pad, last, -pad.UnitSize);
    }
    state.SetItemsProcessed(int64_t(state.iterations()) * 2);
    state.counters["per_move"] = benchmark::Counter(
        double(state.iterations()) * 2, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

// The first move after opening, against the ones after it.
void BM_FirstMove(benchmark::State &state)
{
    for (auto _ : state) {
        state.PauseTiming();
        auto game = std::make_unique<TZarvoGame>();
        game->Load(Puzzle.AllPieces, false);
        TZarvoPad &pad = game->Board();
        Paint(pad, CornerView);
        const int piece = PieceAt(pad, 398, 299);
        state.ResumeTiming();
        Drag(pad, piece, pad.UnitSize);
        state.PauseTiming();
        game.reset();
        state.ResumeTiming();
    }
}

} // namespace

BENCHMARK(BM_ProcessMemory)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_DecodePhoto)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_PlainCopy)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Open)
    ->Args({0, 0})
    ->Args({0, 1})
    ->Args({1, 0})
    ->Args({1, 1})
    ->Args({1, 2})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(10)
    ->UseRealTime();
BENCHMARK(BM_MoveOnePiece)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_MovePushingRow)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_FirstMove)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QString format = QStringLiteral("jpg"), keep, memoryOf;
    std::vector<char *> rest;
    for (int i = 0; i < argc; ++i) {
        const QString arg = QString::fromLocal8Bit(argv[i]);
        if (arg.startsWith(QLatin1String("--photo=")))
            format = arg.mid(8);
        else if (arg.startsWith(QLatin1String("--write-puzzle=")))
            keep = arg.mid(15);
        else if (arg.startsWith(QLatin1String("--memory-of=")))
            memoryOf = arg.mid(12);
        else
            rest.push_back(argv[i]);
    }
    Program = QCoreApplication::applicationFilePath();
    QTemporaryDir temp;
    Puzzle = MakeHugePuzzle(!memoryOf.isEmpty() ? memoryOf
                            : keep.isEmpty()    ? temp.path()
                                                : keep,
                            format);
    if (!memoryOf.isEmpty()) {
        PlayForMemory();
        return 0;
    }
    if (!keep.isEmpty())
        return 0;
    ResetPeakResident(); // making the puzzle is no part of playing it
    int count = int(rest.size());
    benchmark::Initialize(&count, rest.data());
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
