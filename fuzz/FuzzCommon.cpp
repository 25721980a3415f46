#include "FuzzCommon.h"

#include "DataRoot.h"
#include "IniFile.h"
#include "ZarvoGame.h"
#include "ZarvoTypes.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <cstdio>
#include <cstdlib>
#include <memory>

namespace {
std::unique_ptr<QTemporaryDir> GRoot;
bool GThrow = false;

// Qt's warnings about damaged pictures would fill the fuzzer's output and
// slow it down; a finding is reported by the sanitizers and FuzzFail.
void Quiet(QtMsgType, const QMessageLogContext &, const QString &) {}

QByteArray ReadBundled(const QString &rel)
{
    QFile f(QStringLiteral(ZARVOS_DATA_DIR "/") + rel);
    if (!f.open(QIODevice::ReadOnly))
        FuzzFail(__FILE__, __LINE__, QStringLiteral("the bundled %1 is missing").arg(rel));
    return f.readAll();
}
} // namespace

const std::vector<TFuzzTargetInfo> &FuzzTargets()
{
    static const std::vector<TFuzzTargetInfo> targets{
        {"puzzle", FuzzPuzzle},
        {"piecetypes", FuzzPieceTypes},
        {"gamestate", FuzzGameState},
        {"ini", FuzzIni},
        {"settings", FuzzSettings},
        {"play", FuzzPlay},
        {"picture_bmp", [](const uint8_t *d, size_t n) { return FuzzPicture("bmp", d, n); }},
        {"picture_png", [](const uint8_t *d, size_t n) { return FuzzPicture("png", d, n); }},
        {"picture_jpeg", [](const uint8_t *d, size_t n) { return FuzzPicture("jpeg", d, n); }},
        {"picture_gif", [](const uint8_t *d, size_t n) { return FuzzPicture("gif", d, n); }},
        {"picture_tiff", [](const uint8_t *d, size_t n) { return FuzzPicture("tiff", d, n); }},
        {"picture_webp", [](const uint8_t *d, size_t n) { return FuzzPicture("webp", d, n); }},
        {"picture_pcx", [](const uint8_t *d, size_t n) { return FuzzPicture("pcx", d, n); }},
        {"picture_ico", [](const uint8_t *d, size_t n) { return FuzzPicture("ico", d, n); }},
        {"picture_tga", [](const uint8_t *d, size_t n) { return FuzzPicture("tga", d, n); }},
        {"picture_ppm", [](const uint8_t *d, size_t n) { return FuzzPicture("ppm", d, n); }},
    };
    return targets;
}

TFuzzTarget FindFuzzTarget(const QString &name)
{
    for (const TFuzzTargetInfo &t : FuzzTargets())
        if (name == QLatin1String(t.Name))
            return t.Run;
    return nullptr;
}

void FuzzThrowOnFailure(bool on)
{
    GThrow = on;
}

void FuzzFail(const char *file, int line, const QString &what)
{
    if (GThrow)
        throw TFuzzFailure{QStringLiteral("%1:%2: %3").arg(QLatin1String(file)).arg(line).arg(what)};
    std::fprintf(stderr, "FUZZ_CHECK failed at %s:%d: %s\n", file, line, qPrintable(what));
    std::fflush(stderr);
    std::abort();
}

void FuzzWrite(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(bytes) != bytes.size())
        FuzzFail(__FILE__, __LINE__, QStringLiteral("cannot write %1").arg(path));
}

QString FuzzRoot()
{
    return DataRoot::RootDir();
}

const QStringList &FuzzPuzzles()
{
    static const QStringList names = [] {
        QDir dir(QStringLiteral(ZARVOS_DATA_DIR "/Data"));
        return dir.entryList({QStringLiteral("*.zrv")}, QDir::Files, QDir::Name);
    }();
    return names;
}

QByteArray FuzzPuzzleBytes(const QString &name)
{
    TIniFile ini;
    ini.SetText(DecodeWin1252(ReadBundled(QStringLiteral("Data/") + name)));
    const QString pad = QStringLiteral("Pad"), unit = QStringLiteral("UnitSize");
    if (ini.ReadInteger(pad, unit, 40) > 16)
        ini.WriteInteger(pad, unit, 16);
    return EncodeWin1252(ini.Text());
}

void FuzzStandardTypes()
{
    PieceTypes().LoadTypes(DataRoot::PieceTypeFile());
}

void FuzzSetUp()
{
    if (GRoot)
        return;
    if (!QCoreApplication::instance()) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        static int argc = 1;
        static char name[] = "zarvos-fuzz";
        static char *argv[] = {name, nullptr};
        new QGuiApplication(argc, argv); // lives as long as the process
        qInstallMessageHandler(Quiet);
    }
    GRoot = std::make_unique<QTemporaryDir>();
    if (!GRoot->isValid())
        FuzzFail(__FILE__, __LINE__, QStringLiteral("no temporary folder"));
    const QString root = GRoot->path() + QLatin1Char('/');
    QDir().mkpath(root + QStringLiteral("Data"));
    QDir().mkpath(root + QStringLiteral("Image"));
    FuzzWrite(root + QStringLiteral("ZarvoTyp.ini"), ReadBundled(QStringLiteral("ZarvoTyp.ini")));
    for (const QString &name : FuzzPuzzles())
        FuzzWrite(root + QStringLiteral("Data/") + name, FuzzPuzzleBytes(name));
    DataRoot::UseRoot(root);
    FuzzStandardTypes();
    // Fonts and the other caches that the first board fills are filled
    // now, so an input is measured (and checked for leaks) on its own.
    TZarvoGame warm;
    warm.Load(FuzzPuzzles().value(0), false);
    warm.Board().ComposeScreen(true);
}
