// The puzzle selection with a large collection: the list build alone (it
// reads the puzzle files, or its record of them, but loads no picture) and the whole dialog from
// opening to the first preview, with the preview cached and uncached.

#include "DataRoot.h"
#include "FormOpen.h"
#include "IniFile.h"
#include "PuzzleList.h"
#include "Settings.h"
#include "ZarvoTypes.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QTemporaryDir>
#include <QTimer>
#include <benchmark/benchmark.h>
#include <map>
#include <memory>

namespace {

// A puzzle file of the size the bundled ones have: a look, 20 pieces in
// start and goal position, and a filled best list.
QByteArray PuzzleText(int i)
{
    QString text = QStringLiteral("[Pad]\r\nBackSize=6,7\r\nFrameSize=4,5\r\nUnitSize=40\r\n"
                                  "Offset=-1,-1\r\nBorder=2\r\n");
    text += QStringLiteral("[Info]\r\nTitle=Puzzle %1\r\nRating=%2\r\nObjectInfo=Ziel %1\r\n")
                .arg(i)
                .arg(QString(1 + i % 5, QLatin1Char('*')));
    for (const char *section : {"Start", "Object"}) {
        text += QStringLiteral("[%1]\r\nCount=20\r\n").arg(QLatin1String(section));
        for (int p = 1; p <= 20; ++p)
            text +=
                QStringLiteral("Zarvo%1=Zarvo11,%1,%2,%3,%2,%3,1\r\n").arg(p).arg(p % 4).arg(p / 4);
    }
    text += QStringLiteral("[Solution]\r\nSort=1\r\n");
    for (int b = 1; b <= 10; ++b)
        text +=
            QStringLiteral("Best%1=%2,Spieler%3,%4\r\n").arg(b).arg(30 + b).arg(b % 4).arg(b * 7);
    return EncodeWin1252(text);
}

// One data root per collection size, made once for the whole run.
QString Collection(int count)
{
    static std::map<int, std::unique_ptr<QTemporaryDir>> roots;
    auto &root = roots[count];
    if (!root) {
        root = std::make_unique<QTemporaryDir>();
        QDir().mkpath(root->filePath(QStringLiteral("Data")));
        QFile types(root->filePath(QStringLiteral("ZarvoTyp.ini")));
        if (types.open(QIODevice::WriteOnly))
            types.write("[Zarvo11]\r\nCount=1\r\nZarvo1=0,0,1,1,1111\r\n");
        for (int i = 0; i < count; ++i) {
            QFile f(root->filePath(QStringLiteral("Data/p%1.zrv").arg(i, 4, 10, QLatin1Char('0'))));
            if (f.open(QIODevice::WriteOnly))
                f.write(PuzzleText(i));
        }
    }
    DataRoot::UseRoot(root->path());
    PieceTypes().LoadTypes(DataRoot::PieceTypeFile());
    SetSettingsStoreFile(root->filePath(QStringLiteral("settings.ini")));
    return DataRoot::DataDir();
}

void BM_BuildPuzzleList(benchmark::State &state)
{
    const QString dir = Collection(int(state.range(0)));
    BuildPuzzleList(dir, QString()); // makes the record of the files
    for (auto _ : state) {
        TPuzzleList list = BuildPuzzleList(dir, QStringLiteral("spieler1"));
        benchmark::DoNotOptimize(list.Rows.data());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_BuildPuzzleList)->Arg(50)->Arg(500)->Arg(5000)->Unit(benchmark::kMillisecond);

// The same without the list's record of the files: every file is read.
void BM_BuildPuzzleListUnrecorded(benchmark::State &state)
{
    const QString dir = Collection(int(state.range(0)));
    for (auto _ : state) {
        state.PauseTiming();
        QFile::remove(PuzzleIndexFile(dir));
        state.ResumeTiming();
        TPuzzleList list = BuildPuzzleList(dir, QStringLiteral("spieler1"));
        benchmark::DoNotOptimize(list.Rows.data());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_BuildPuzzleListUnrecorded)->Arg(5000)->Unit(benchmark::kMillisecond);

// True once the preview area shows a picture and no longer says it is
// building one.
bool PreviewShown(QDialog *dialog)
{
    const auto *wait = dialog->findChild<QLabel *>(QStringLiteral("LblWait"));
    auto *preview = dialog->findChild<QWidget *>(QStringLiteral("ImgVorschau"));
    if (!wait || !preview || wait->isVisible())
        return false;
    const QImage shown = preview->grab().toImage();
    const QRgb corner = shown.pixel(shown.width() / 2, shown.height() / 2);
    return corner != QApplication::palette().color(QPalette::Button).rgb() &&
           corner != QColor(Qt::black).rgb() && qAlpha(corner) != 0;
}

// Opens the dialog and closes it once its first preview is on show,
// looking after every pass of the event loop.
void OpenAndClose()
{
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [] {
        auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget());
        if (dialog && PreviewShown(dialog))
            dialog->reject();
    });
    poll.start(0);
    QString chosen;
    SelectPuzzle(nullptr, chosen);
}

void RemovePreviews(const QString &dir)
{
    for (const QString &bmp : QDir(dir).entryList({QStringLiteral("*.bmp")}, QDir::Files))
        QFile::remove(dir + bmp);
}

void BM_OpenDialogCached(benchmark::State &state)
{
    Collection(int(state.range(0)));
    Settings().ZarvoIndex = 0;
    OpenAndClose(); // writes the cache picture of the first row
    for (auto _ : state)
        OpenAndClose();
}
BENCHMARK(BM_OpenDialogCached)->Arg(50)->Arg(500)->Arg(5000)->Unit(benchmark::kMillisecond);

void BM_OpenDialogUncached(benchmark::State &state)
{
    const QString dir = Collection(int(state.range(0)));
    Settings().ZarvoIndex = 0;
    for (auto _ : state) {
        state.PauseTiming();
        RemovePreviews(dir);
        state.ResumeTiming();
        OpenAndClose();
    }
}
BENCHMARK(BM_OpenDialogUncached)->Arg(50)->Arg(500)->Arg(5000)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
