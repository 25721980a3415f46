#pragma once

// Helpers shared by the board's file, history and piece code.

#include "HistoryList.h"
#include "Limits.h"
#include "ZarvoError.h"

#include <QPoint>
#include <QString>
#include <QtGlobal>
#include <vector>

class TZarvoPad;

namespace PadInternal {
constexpr qint64 PixelLimit = MaxPixelCoordinate;

// The value as an int when it lies within PixelLimit; otherwise a load error
// naming what was out of range.
inline int CheckedPixel(qint64 value, const QString &what)
{
    if (value < -PixelLimit || value > PixelLimit)
        throw EZarvoError(QStringLiteral("%1 liegt außerhalb des zulässigen Bereichs.").arg(what));
    return int(value);
}

// What every load failure's message starts with, followed by "\r".
inline QString LoadPrefix()
{
    return QStringLiteral("Fehler beim Laden der Zarvo-Datei");
}

// The name part of a path as the game takes it: whatever the caller passes,
// only the text after the last "\", "/" or ":" counts.
QString NamePart(const QString &path);

// dir + name, taking an existing file whose name differs only in case when
// there is no exact match (names compare without regard to case).
QString FileInDir(const QString &dir, const QString &name);

// Reads the game-state file Hist/ + name part of name into the board's
// History, MoveIndex, Solved and SolvedMoves; returns the puzzle it names.
QString ReadGameState(TZarvoPad &board, const QString &name);
// Every history entry must give each piece of the board a cell; throws a
// load error naming the first entry that does not.
void CheckHistory(const TZarvoPad &board);
// The pixel positions of the board's pieces in history text entry (entryNo
// only names it in an error).
void ParseEntry(const TZarvoPad &board, const QString &entry, int entryNo,
                std::vector<QPoint> &positions);
// The pixel positions of cells (one per piece) of history entry entryNo;
// a load error for a cell out of range.
void CheckCells(const TZarvoPad &board, const std::vector<TColRow> &cells, int entryNo,
                std::vector<QPoint> &positions);
} // namespace PadInternal
