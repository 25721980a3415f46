// The engine's loaders: puzzle files, the piece-type file and game states.

#include "FuzzCommon.h"

#include "DataRoot.h"
#include "IniFile.h"
#include "Limits.h"
#include "PadInternal.h"
#include "ZarvoError.h"
#include "ZarvoGame.h"
#include "ZarvoTypes.h"

#include <QDir>
#include <QFile>

namespace {
const QString Prefix = QStringLiteral("Fehler beim Laden der Zarvo-Datei\r");

QByteArray Bytes(const uint8_t *data, size_t size)
{
    return QByteArray(reinterpret_cast<const char *>(data), qsizetype(size));
}

// What every loaded board promises: its pictures fit the limits and each
// other, and its current entry is its position.
// An entry the engine recorded itself is exactly the snapshot of that
// position; one read from a game state may be written differently (blanks,
// a sign, fields left to the field rule) but gives the same cells again.
void CheckBoard(TZarvoPad &pad, bool recorded)
{
    FUZZ_CHECK(qint64(pad.Width()) * pad.Height() <= MaxBoardPixels,
               QStringLiteral("%1 x %2").arg(pad.Width()).arg(pad.Height()));
    FUZZ_CHECK(!pad.BackBitmap.isNull() && pad.WorkBitmap().size() == pad.BackBitmap.size() &&
                   pad.ObjectBitmap().size() == pad.BackBitmap.size(),
               QStringLiteral("picture sizes"));
    FUZZ_CHECK(pad.MoveIndex >= 0 && pad.MoveIndex < pad.History.size(),
               QStringLiteral("counter %1 of %2").arg(pad.MoveIndex).arg(pad.History.size()));
    pad.RestorePosition(pad.MoveIndex);
    const QString snapshot = pad.SnapshotText();
    if (recorded) {
        FUZZ_CHECK(snapshot == pad.History[pad.MoveIndex],
                   QStringLiteral("entry %1 does not give its own position").arg(pad.MoveIndex));
    } else {
        std::vector<QPoint> cells;
        PadInternal::ParseEntry(pad, snapshot, pad.MoveIndex, cells);
        for (int i = 0; i < pad.PieceCount(); ++i)
            FUZZ_CHECK(cells[size_t(i)] == QPoint(pad.Piece(i)->X, pad.Piece(i)->Y),
                       QStringLiteral("entry %1, piece %2").arg(pad.MoveIndex).arg(i));
    }
    pad.Redraw();
    pad.ComposeScreen(true);
}

// One press on the first movable piece, dragged a unit right and down (at
// most 200 pixels, so a huge unit does not turn one input into millions of
// steps), and released.
void DragFirstPiece(TZarvoPad &pad)
{
    for (int i = 0; i < pad.PieceCount(); ++i) {
        const TZarvo *p = pad.Piece(i);
        if (!p->Movable)
            continue;
        const int x = p->X + qMin(p->Width, 200) / 2, y = p->Y + qMin(p->Height, 200) / 2;
        const int step = qMin(pad.UnitSize, 200);
        pad.MouseDown(mbLeft, ssLeft, x, y);
        pad.MouseMove(ssLeft, x + step, y);
        pad.MouseMove(ssLeft, x + step, y + step);
        pad.MouseUp(mbLeft, 0, x + step, y + step);
        return;
    }
}

// What SaveLook writes: pictures, unit, bevel width and caption font. With
// the automatic colour the font keys are removed, so the font is then the
// standard one, whatever the file said.
// A value holding a carriage return (a damaged line) is written with a
// blank in its place, so that it stays on one line.
QString Look(const TZarvoPad &pad)
{
    return QStringLiteral("%1|%2|%3|%4|%5")
        .arg(pad.ImgBack, pad.ImgZarvos)
        .arg(pad.UnitSize)
        .arg(pad.Border)
        .arg(pad.DefaultFont ? QStringLiteral("auto")
                             : pad.FontColor.name() + pad.Font.toString() + pad.Font.family())
        .replace(QLatin1Char('\r'), QLatin1Char(' '));
}

void CheckLoadError(const EZarvoError &e)
{
    FUZZ_CHECK(e.Message.startsWith(Prefix), e.Message);
}
} // namespace

int FuzzPuzzle(const uint8_t *data, size_t size)
{
    FuzzSetUp();
    const QString file = DataRoot::DataDir() + QStringLiteral("fuzz.zrv");
    FuzzWrite(file, Bytes(data, size));
    TZarvoPad pad;
    try {
        pad.LoadPuzzle(QStringLiteral("fuzz.zrv"), false);
    } catch (const EZarvoError &e) {
        CheckLoadError(e);
        return 0;
    }
    FUZZ_CHECK(pad.History.size() == 1 && pad.MoveIndex == 0, QStringLiteral("fresh history"));
    CheckBoard(pad, true);

    // The look as the properties dialog writes it back loads again and
    // gives the same look.
    try {
        pad.SaveLook(QStringLiteral("fuzz.zrv"));
    } catch (const EZarvoError &e) {
        FuzzFail(__FILE__, __LINE__, QStringLiteral("SaveLook: ") + e.Message);
    }
    TZarvoPad again;
    try {
        again.LoadPuzzle(QStringLiteral("fuzz.zrv"), false);
    } catch (const EZarvoError &e) {
        FuzzFail(__FILE__, __LINE__, QStringLiteral("after SaveLook: ") + e.Message);
    }
    // A key repeated in [Pad] comes forward when the first one is deleted,
    // as with the platform's INI files; then the file keeps that font.
    const bool repeatedFontKey =
        pad.DefaultFont && !again.DefaultFont && TIniFile(file).ValueExists(QStringLiteral("Pad"), QStringLiteral("FontColor"));
    if (!repeatedFontKey)
        FUZZ_CHECK(Look(again) == Look(pad), Look(pad) + QStringLiteral(" became ") + Look(again));
    FUZZ_CHECK(again.Pieces.size() == pad.Pieces.size() && again.Width() == pad.Width() &&
                   again.Height() == pad.Height(),
               QStringLiteral("board changed by SaveLook"));

    DragFirstPiece(pad);
    CheckBoard(pad, true);
    return 0;
}

int FuzzPieceTypes(const uint8_t *data, size_t size)
{
    FuzzSetUp();
    struct TRestore
    {
        ~TRestore() { FuzzStandardTypes(); }
    } restore;
    const QString file = FuzzRoot() + QStringLiteral("fuzz/ZarvoTyp.ini");
    QDir().mkpath(FuzzRoot() + QStringLiteral("fuzz"));
    FuzzWrite(file, Bytes(data, size));
    try {
        PieceTypes().LoadTypes(file);
    } catch (const EZarvoError &e) {
        FUZZ_CHECK(e.Message.startsWith(Prefix + QStringLiteral("ZarvoTyp.ini: ")), e.Message);
        return 0;
    }
    for (int i = 0; i < PieceTypes().Count(); ++i)
        FUZZ_CHECK(PieceTypes().Find(PieceTypes().Name(i)), PieceTypes().Name(i));

    // A bundled puzzle built from these shapes, and moved.
    const QStringList &puzzles = FuzzPuzzles();
    const QString puzzle = puzzles[qsizetype(size % size_t(puzzles.size()))];
    TZarvoPad pad;
    try {
        pad.LoadPuzzle(puzzle, false);
    } catch (const EZarvoError &e) {
        CheckLoadError(e);
        return 0;
    }
    CheckBoard(pad, true);
    DragFirstPiece(pad);
    CheckBoard(pad, true);
    return 0;
}

int FuzzGameState(const uint8_t *data, size_t size)
{
    FuzzSetUp();
    FuzzWrite(DataRoot::HistDir() + QStringLiteral("fuzz.zrh"), Bytes(data, size));
    TZarvoGame game;
    try {
        game.Load(QStringLiteral("fuzz.zrh"), true);
    } catch (const EZarvoError &e) {
        CheckLoadError(e);
        return 0;
    }
    TZarvoPad &pad = game.Board();
    CheckBoard(pad, false);

    // Saved and loaded again, the game is the same game.
    try {
        pad.SaveGameState(QStringLiteral("back.zrh"));
    } catch (const EZarvoError &e) {
        FuzzFail(__FILE__, __LINE__, QStringLiteral("saving a loaded game: ") + e.Message);
    }
    TZarvoGame back;
    try {
        back.Load(QStringLiteral("back.zrh"), true);
    } catch (const EZarvoError &e) {
        FuzzFail(__FILE__, __LINE__, QStringLiteral("loading a saved game: ") + e.Message);
    }
    const TZarvoPad &b = back.Board();
    FUZZ_CHECK(b.History == pad.History && b.MoveIndex == pad.MoveIndex &&
                   b.Solved == pad.Solved && b.SolvedMoves == pad.SolvedMoves &&
                   b.FileName == pad.FileName,
               QStringLiteral("game state changed by saving"));
    FUZZ_CHECK(b.SnapshotText() == pad.SnapshotText(), QStringLiteral("positions changed"));

    // Every entry can be walked to: undo to the start, redo to the end.
    while (game.Undo(true))
        CheckBoard(pad, false);
    while (game.Redo(true))
        CheckBoard(pad, false);
    FUZZ_CHECK(pad.MoveIndex == pad.History.size() - 1, QStringLiteral("redo stopped early"));
    return 0;
}
