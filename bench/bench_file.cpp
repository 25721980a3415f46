// Speed of reading a puzzle, recording a position and saving a game state
// on boards of growing size (a photo cut into 10-pixel parts has 30,000).
#include "DataRoot.h"
#include "ZarvoPad.h"
#include "ZarvoTypes.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

// A square-ish field of n single pieces, every piece its own picture cell.
QString PuzzleOf(int n)
{
    const QString name = QStringLiteral("p%1.zrv").arg(n);
    const QString path = DataRoot::DataDir() + name;
    if (QFile::exists(path))
        return name;
    int w = 1;
    while (w * w < n)
        ++w;
    const int h = (n + w - 1) / w;
    QByteArray text = QStringLiteral("[Pad]\r\nUnitSize=10\r\nBackSize=%1,%2\r\nFrameSize=%1,%2\r\n"
                                     "ZarvoSize=%1,%2\r\nImgZarvosOffset=-1,-1\r\n"
                                     "NoZarvoCaption=1\r\n[Start]\r\nCount=%3\r\n")
                          .arg(w)
                          .arg(h)
                          .arg(n)
                          .toLatin1();
    for (int i = 0; i < n; ++i)
        text += QStringLiteral("Zarvo%1=Zarvo11,,%2,%3,%2,%3,1\r\n")
                    .arg(i + 1)
                    .arg(i % w)
                    .arg(i / w)
                    .toLatin1();
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    f.write(text);
    return name;
}

void LoadPuzzle(benchmark::State &state)
{
    const QString name = PuzzleOf(int(state.range(0)));
    for (auto _ : state) {
        TZarvoPad pad;
        pad.LoadPuzzle(name, false);
        benchmark::DoNotOptimize(pad.Pieces.size());
    }
}

// One commit's snapshot and merge into a history of 100 positions: the
// piece goes to a new cell and back, so the history neither grows nor shrinks.
void RecordPosition(benchmark::State &state)
{
    TZarvoPad pad;
    pad.LoadPuzzle(PuzzleOf(int(state.range(0))), false);
    for (int i = 0; i < 100; ++i) {
        pad.DragIndex = i % 2;
        TZarvo &p = *pad.Pieces[size_t(i % 2)];
        p.OldY = p.Y = p.Y + pad.UnitSize;
        pad.RecordPosition(pad.MoveIndex + 1);
    }
    TZarvo &p = *pad.Pieces.back();
    pad.DragIndex = int(pad.Pieces.size()) - 1;
    for (auto _ : state) {
        p.OldY = p.Y = p.Y + pad.UnitSize;
        pad.RecordPosition(pad.MoveIndex + 1);
        p.OldY = p.Y = p.Y - pad.UnitSize;
        pad.RecordPosition(pad.MoveIndex + 1);
    }
    state.SetItemsProcessed(state.iterations() * 2);
}

void SaveGameState(benchmark::State &state)
{
    TZarvoPad pad;
    pad.LoadPuzzle(PuzzleOf(int(state.range(0))), false);
    for (int i = 0; i < 100; ++i) {
        pad.DragIndex = i % 2;
        TZarvo &p = *pad.Pieces[size_t(i % 2)];
        p.OldY = p.Y = p.Y + pad.UnitSize;
        pad.RecordPosition(pad.MoveIndex + 1);
    }
    for (auto _ : state)
        pad.SaveGameState(QStringLiteral("bench.zrh"));
}
} // namespace

BENCHMARK(LoadPuzzle)->Arg(20)->Arg(3000)->Arg(30000)->Unit(benchmark::kMillisecond);
BENCHMARK(RecordPosition)->Arg(20)->Arg(3000)->Arg(30000)->Unit(benchmark::kMicrosecond);
BENCHMARK(SaveGameState)->Arg(20)->Arg(3000)->Arg(30000)->Unit(benchmark::kMillisecond);

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QTemporaryDir root;
    QDir(root.path()).mkpath(QStringLiteral("Data"));
    QFile types(root.filePath(QStringLiteral("ZarvoTyp.ini")));
    types.open(QIODevice::WriteOnly);
    types.write("[Zarvo11]\r\nCount=1\r\nZarvo1=0,0,1,1,1111\r\n");
    types.close();
    DataRoot::UseRoot(root.path());
    PieceTypes().LoadTypes(DataRoot::PieceTypeFile());
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
