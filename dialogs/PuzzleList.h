#pragma once

#include <QColor>
#include <QImage>
#include <QRect>
#include <QSize>
#include <QString>
#include <QStringList>
#include <vector>

// The lists of the puzzle selection, built from the puzzle files alone (no
// picture is loaded), and the preview pictures with their cache files.

// One row of the puzzle list: the text the list shows
// ("rating;title;minimum;player's moves;file") and the puzzle file it opens.
// The file travels beside the text, so a ";" in a title or file name can
// never make the row open another puzzle.
struct TPuzzleRow
{
    QString Text;
    QString FileName;
};

struct TPuzzleList
{
    QString Player;               // the capitalised player name the rows were built for
    std::vector<TPuzzleRow> Rows; // sorted by text
    QStringList Players;          // every name of the best lists except "Minimum", sorted
};

// First character upper case, the rest lower case, at most 256 characters.
QString Capitalize(const QString &name);

// Scans every *.zrv file of dataDir. Puzzles without rating or title are
// left out of the rows; their names still reach the player list. What the
// list needs of each file is kept in PuzzleIndexFile, so only files that
// changed since the last build are read again.
TPuzzleList BuildPuzzleList(const QString &dataDir, const QString &playerName);

// The list's record of the puzzle files of dataDir, beside them.
QString PuzzleIndexFile(const QString &dataDir);

// The preview's cache picture beside the puzzle: name.zrv -> name.bmp.
QString PreviewCacheFile(const QString &dataDir, const QString &puzzleFile);

// The cached preview when it exists, is not older than the puzzle file, can
// be read and has exactly the preview area's size; a null image otherwise.
QImage LoadCachedPreview(const QString &dataDir, const QString &puzzleFile, QSize area);

// Where a board picture of bitmapSize lies in the preview area: centred with
// its proportions kept, the margin rounded half to even. Empty when either
// size is empty.
QRect FitPreviewRect(QSize area, QSize bitmapSize);

// The preview area filled with background and the board picture stretched
// into its fitted rectangle.
QImage ComposePreview(const QImage &boardPicture, QSize area, QColor background);

// Loads the puzzle into a board of its own (no game state), composes it and
// returns the preview of the area's size. Throws the board's load error.
QImage RenderPuzzlePreview(const QString &puzzleFile, QSize area, QColor background);

// Writes the preview as a Windows bitmap atomically; false when that fails.
bool SavePreviewCache(const QImage &preview, const QString &cacheFile);
