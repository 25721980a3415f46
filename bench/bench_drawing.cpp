// Frames per second of the board picture: composing the whole board, one
// drag step with the picture of what it changed, and the same with the hand
// as the view gets it, on a small classic board, a 640 x 480 board of 3,000
// pieces and a 4,000 x 3,000 picture puzzle; beside them one plain copy of a
// board-sized picture, the floor that no composition can go below.
#include "ZarvoPad.h"

#include <QGuiApplication>
#include <QRandomGenerator>
#include <benchmark/benchmark.h>
#include <cstring>

namespace {

QImage Noise(int w, int h)
{
    QImage image(w, h, QImage::Format_RGB32);
    QRandomGenerator rng(5);
    for (int y = 0; y < h; ++y) {
        auto *line = reinterpret_cast<quint32 *>(image.scanLine(y));
        for (int x = 0; x < w; ++x)
            line[x] = 0xFF000000u | (rng.generate() & 0xFFFFFF);
    }
    return image;
}

struct TBoardLayout
{
    int Columns, Rows, Unit, Margin, Pieces;
};

// A field of Columns x Rows cells filled with 1 x 1 pieces, all but the last
// cells, each with its own face; the piece beside the first hole is dragged.
std::unique_ptr<TZarvoPad> MakeBoard(const TBoardLayout &layout)
{
    auto pad = std::make_unique<TZarvoPad>();
    const int w = layout.Columns * layout.Unit + 2 * layout.Margin;
    const int h = layout.Rows * layout.Unit + 2 * layout.Margin;
    pad->UnitSize = layout.Unit;
    pad->BackBitmap = Noise(w, h);
    pad->ZarvoBitmap = Noise(w, h);
    pad->Offset = QPoint(layout.Margin, layout.Margin);
    pad->FrameSize = QPoint(layout.Columns, layout.Rows);
    pad->FrameRect = {layout.Margin, layout.Margin, layout.Margin + layout.Columns * layout.Unit,
                      layout.Margin + layout.Rows * layout.Unit};
    pad->Font.setPointSize(9);
    for (int i = 0; i < layout.Pieces; ++i) {
        auto p = std::make_unique<TZarvo>();
        p->X = p->OldX = p->ImageX = layout.Margin + (i % layout.Columns) * layout.Unit;
        p->Y = p->OldY = p->ImageY = layout.Margin + (i / layout.Columns) * layout.Unit;
        p->Width = p->Height = layout.Unit;
        p->Caption = QString::number(i + 1);
        p->EdgeTop = p->EdgeRight = p->EdgeBottom = p->EdgeLeft = true;
        pad->Pieces.push_back(std::move(p));
    }
    pad->PaintBackgroundBevels();
    pad->PrerenderPictures();
    pad->ComposeScreen(false);
    return pad;
}

const TBoardLayout Classic{4, 5, 40, 20, 19};         // 200 x 240
const TBoardLayout Crowded{64, 48, 10, 0, 3000};      // 640 x 480, 3,000 pieces
const TBoardLayout Huge{20, 15, 200, 0, 20 * 15 - 1}; // 4,000 x 3,000

const TBoardLayout &LayoutOf(const benchmark::State &state)
{
    switch (state.range(0)) {
    case 0:
        return Classic;
    case 1:
        return Crowded;
    default:
        return Huge;
    }
}

void Label(benchmark::State &state, const TZarvoPad &pad)
{
    state.SetLabel(std::to_string(pad.Width()) + "x" + std::to_string(pad.Height()) + ", " +
                   std::to_string(pad.Pieces.size()) + " pieces");
    state.counters["fps"] =
        benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
}

// The whole board composed: background, then every piece, each time.
void BM_RedrawFull(benchmark::State &state)
{
    auto pad = MakeBoard(LayoutOf(state));
    for (auto _ : state) {
        pad->Redraw();
        benchmark::DoNotOptimize(pad->ComposeScreen(false).constBits());
    }
    Label(state, *pad);
}

// The last piece sits beside the hole at the end of the field: it goes
// right by one step and back again, as a player's drag does.
TZarvo *DragPiece(TZarvoPad &pad)
{
    return pad.Pieces.back().get();
}

// One drag step and the picture the view then paints: what changed, or the
// whole board (full).
void Step(TZarvoPad &pad, TZarvo *p, int d, bool full, bool hand)
{
    pad.DragBy(p, d, 0);
    pad.Redraw();
    if (full) {
        pad.TakeChangedAreas();
        benchmark::DoNotOptimize(pad.ComposeScreen(hand).constBits());
        return;
    }
    for (const QRect &r : pad.TakeChangedAreas())
        benchmark::DoNotOptimize(pad.ComposeScreen(hand, r).constBits());
}

void BM_DragStepAndRedraw(benchmark::State &state)
{
    auto pad = MakeBoard(LayoutOf(state));
    TZarvo *p = DragPiece(*pad);
    int d = std::min(10, pad->UnitSize / 2);
    for (auto _ : state) {
        Step(*pad, p, d, state.range(1) != 0, false);
        d = -d;
    }
    Label(state, *pad);
}

// What the view gets per mouse move: drag step, and the screen picture of
// what changed with the hand.
void BM_DragFrame(benchmark::State &state)
{
    auto pad = MakeBoard(LayoutOf(state));
    pad->MouseInside = true;
    pad->ButtonDown = true;
    TZarvo *p = DragPiece(*pad);
    int d = std::min(10, pad->UnitSize / 2);
    for (auto _ : state) {
        pad->HandX = p->X + 5;
        pad->HandY = p->Y + 5;
        Step(*pad, p, d, state.range(1) != 0, true);
        d = -d;
    }
    Label(state, *pad);
}

// The floor: one plain copy of a board-sized picture.
void BM_PlainCopy(benchmark::State &state)
{
    const TBoardLayout &layout = LayoutOf(state);
    const int w = layout.Columns * layout.Unit + 2 * layout.Margin;
    const int h = layout.Rows * layout.Unit + 2 * layout.Margin;
    const QImage src = Noise(w, h);
    QImage dst(w, h, QImage::Format_RGB32);
    for (auto _ : state) {
        std::memcpy(dst.bits(), src.constBits(), size_t(src.sizeInBytes()));
        benchmark::DoNotOptimize(dst.constBits());
    }
    state.SetLabel(std::to_string(w) + "x" + std::to_string(h));
    state.counters["fps"] =
        benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
}

} // namespace

BENCHMARK(BM_PlainCopy)->DenseRange(0, 2)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RedrawFull)->DenseRange(0, 2)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_DragStepAndRedraw)
    ->ArgsProduct({{0, 1, 2}, {0, 1}})
    ->ArgNames({"board", "full"})
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_DragFrame)
    ->ArgsProduct({{0, 1, 2}, {0, 1}})
    ->ArgNames({"board", "full"})
    ->Unit(benchmark::kMicrosecond);

int main(int argc, char **argv)
{
    // Captions need fonts, fonts need a GUI application, never a display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
