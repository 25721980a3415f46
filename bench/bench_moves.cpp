// How long a drag takes on boards of 20, 3,000 and 30,000 pieces: one DragBy
// of 100 pixels that pushes a whole row, and a whole press, move and release
// with its commit into the history.
#include "ZarvoPad.h"

#include <QGuiApplication>
#include <benchmark/benchmark.h>
#include <memory>

namespace {

struct TBoardShape
{
    int Cols, Rows, Unit;
};

// Pieces in rows and columns, touching, with 120 pixels of room right of
// every row; the board is prerendered as a loaded puzzle is.
std::unique_ptr<TZarvoPad> MakeBoard(int pieces)
{
    const TBoardShape shape = pieces <= 20     ? TBoardShape{5, 4, 40}
                              : pieces <= 3000 ? TBoardShape{60, 50, 10}
                                               : TBoardShape{200, 150, 10};
    auto pad = std::make_unique<TZarvoPad>();
    pad->UnitSize = shape.Unit;
    pad->Offset = QPoint(10, 10);
    const int width = shape.Cols * shape.Unit + 120, height = shape.Rows * shape.Unit;
    pad->FrameRect = TRect{10, 10, 10 + width, 10 + height};
    pad->BackBitmap = QImage(width + 20, height + 20, QImage::Format_RGB32);
    pad->BackBitmap.fill(Qt::darkGray);
    pad->ZarvoBitmap = pad->BackBitmap.copy();
    pad->ZarvoBitmap.fill(Qt::lightGray);
    for (int r = 0; r < shape.Rows; ++r)
        for (int c = 0; c < shape.Cols; ++c) {
            auto piece = std::make_unique<TZarvo>();
            piece->X = piece->OldX = piece->ImageX = 10 + c * shape.Unit;
            piece->Y = piece->OldY = piece->ImageY = 10 + r * shape.Unit;
            piece->Width = piece->Height = shape.Unit;
            piece->Caption.clear();
            pad->Pieces.push_back(std::move(piece));
        }
    pad->PrerenderPictures();
    pad->DragIndex = -1;
    pad->RecordPosition(0);
    return pad;
}

// The first and the last piece of the middle row.
std::pair<int, int> RowEnds(const TZarvoPad &pad)
{
    const int count = pad.PieceCount();
    const int cols = count <= 20 ? 5 : count <= 3000 ? 60 : 200;
    const int row = (count / cols) / 2;
    return {row * cols, row * cols + cols - 1};
}

void BM_DragByPushingRow(benchmark::State &state)
{
    auto pad = MakeBoard(int(state.range(0)));
    const auto [first, last] = RowEnds(*pad);
    for (auto _ : state) {
        // Pushed right by the first piece, then back by the last one.
        pad->DragBy(pad->Piece(first), 100, 0);
        pad->DragBy(pad->Piece(last), -100, 0);
    }
    state.SetItemsProcessed(int64_t(state.iterations()) * 2);
    state.counters["drag"] = benchmark::Counter(
        double(state.iterations()) * 2, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void Drag(TZarvoPad &pad, int index, int dx)
{
    const TZarvo *p = pad.Piece(index);
    const int x = p->X + p->Width / 2, y = p->Y + p->Height / 2;
    pad.MouseDown(mbLeft, ssLeft, x, y);
    pad.MouseMove(ssLeft, x + dx, y);
    pad.MouseUp(mbLeft, 0, x + dx, y);
}

void BM_PressMoveRelease(benchmark::State &state)
{
    auto pad = MakeBoard(int(state.range(0)));
    const auto [first, last] = RowEnds(*pad);
    for (auto _ : state) {
        Drag(*pad, first, 100);
        Drag(*pad, last, -100);
    }
    state.SetItemsProcessed(int64_t(state.iterations()) * 2);
    state.counters["drag"] = benchmark::Counter(
        double(state.iterations()) * 2, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

} // namespace

BENCHMARK(BM_DragByPushingRow)->Arg(20)->Arg(3000)->Arg(30000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PressMoveRelease)->Arg(20)->Arg(3000)->Arg(30000)->Unit(benchmark::kMicrosecond);

int main(int argc, char **argv)
{
    // Redraw paints captions with fonts; no display is needed.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
