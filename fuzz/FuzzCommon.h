#pragma once

// What the fuzz targets share. Each target takes one input and returns 0; a
// broken promise of a loader aborts through FUZZ_CHECK, so it counts as a
// finding just like a crash or a sanitizer report. The same targets run in
// the libFuzzer build (fuzz/CMakeLists.txt) and, over the saved findings in
// fuzz/regressions/, in the normal test suite.

#include <QByteArray>
#include <QString>
#include <cstddef>
#include <cstdint>
#include <vector>

using TFuzzTarget = int (*)(const uint8_t *data, size_t size);

struct TFuzzTargetInfo
{
    const char *Name; // fuzz_<Name> and fuzz/regressions/<Name>/
    TFuzzTarget Run;
};

// Every target, in the order build.sh fuzz runs them.
const std::vector<TFuzzTargetInfo> &FuzzTargets();
TFuzzTarget FindFuzzTarget(const QString &name);

// Once per process: a GUI application (captions are drawn with real fonts)
// on the offscreen platform, and a data root of its own in a temporary
// folder with the bundled ZarvoTyp.ini and puzzles (FuzzPuzzleBytes) but not
// their pictures: every board is drawn on the built-in tile.
void FuzzSetUp();
// That root, ending in "/".
QString FuzzRoot();
// Loads the bundled piece types again (a target may have replaced them).
void FuzzStandardTypes();
// The bundled puzzles' file names, sorted.
const QStringList &FuzzPuzzles();
// A bundled puzzle as the fuzz root holds it: units of at most 16 pixels, so
// that its pictures are small and an input that loads it stays fast.
QByteArray FuzzPuzzleBytes(const QString &name);

void FuzzWrite(const QString &path, const QByteArray &bytes);
// A broken promise: aborts (a finding for libFuzzer), or throws
// TFuzzFailure once the test suite asked for that.
[[noreturn]] void FuzzFail(const char *file, int line, const QString &what);
struct TFuzzFailure
{
    QString Message;
};
void FuzzThrowOnFailure(bool on);

#define FUZZ_CHECK(cond, what)                                                                     \
    do {                                                                                           \
        if (!(cond))                                                                               \
            FuzzFail(__FILE__, __LINE__, QStringLiteral(#cond ": ") + (what));                    \
    } while (false)

// The targets.
int FuzzPuzzle(const uint8_t *data, size_t size);
int FuzzPieceTypes(const uint8_t *data, size_t size);
int FuzzGameState(const uint8_t *data, size_t size);
int FuzzIni(const uint8_t *data, size_t size);
int FuzzSettings(const uint8_t *data, size_t size);
int FuzzPlay(const uint8_t *data, size_t size);
// One picture format: inputs that do not start like it are passed over, so
// each format's target stays within its own decoder.
int FuzzPicture(const QByteArray &format, const uint8_t *data, size_t size);
