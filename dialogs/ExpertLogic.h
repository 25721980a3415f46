#pragma once

// What the puzzle expert computes, apart from its widgets: fitting the grid
// to the picture, accepting a picture, and building and saving the new
// puzzle on a board in memory.

#include <QColor>
#include <QFont>
#include <QImage>
#include <QSize>
#include <QString>
#include <QStringList>
#include <functional>

class TZarvoPad;

// The choice of no picture in the picture lists of the expert and the
// properties dialog.
inline const QString NoPicture = QStringLiteral("(Kein)");
// The names of the normal files of the image folder, sorted without regard
// to case, after NoPicture.
QStringList PictureList();

// The ranges of the expert's grid fields.
constexpr int ExpertUnitMin = 5;
constexpr int ExpertUnitMax = 1000;
constexpr int ExpertPartsMin = 2;
constexpr int ExpertPartsMax = 1000;

// Which field started a change of the grid: the unit, the parts across, the
// parts down, or none (opening, a new picture, a loaded puzzle).
enum class TGridChange { None, Unit, PartsX, PartsY };

struct TGridValues
{
    int Unit = 50;
    int PartsX = 5;
    int PartsY = 5;
    bool operator==(const TGridValues &) const = default;
};

// Fits the grid to a picture of width x height pixels (each at least 2):
// the unit decides the counts and a typed count decides the unit, with parts
// of at least 10 pixels unless the picture is too small for two of them, and
// never fewer than 2 parts either way.
TGridValues FitGrid(QSize picture, TGridValues fields, TGridChange source);

// The values as the fields can hold them (each kept within its range).
TGridValues ClampToFields(TGridValues values);

// The expert's grid state with its re-entry counter: writing the fitted
// values back into the fields raises their change events, which must not
// start another fit.
class TExpertGrid
{
public:
    int FUpdating = 0;
    int FUnit = 50;
    int FPartsX = 5;
    int FPartsY = 5;

    // Fits the grid from the fields' values and hands the result (kept
    // within the fields' ranges) to writeBack while further calls are
    // ignored. False when it was ignored because a fit is running or the
    // grid is held (FUpdating above 0).
    bool EditUnitChange(QSize picture, TGridValues fields, TGridChange source,
                        const std::function<void(const TGridValues &)> &writeBack);
};

// A picture that the grid can be cut from: at least 2 pixels wide and high
// (the empty picture of a failed load is not).
bool ExpertPictureUsable(const QImage &picture);
// The message for a picture that cannot be used; the previous one stays.
QString ExpertPictureRejectedText(const QString &path, const QImage &picture);

// Everything the expert's fields say about the new puzzle.
struct TExpertPuzzle
{
    QString Title;
    // The picture field: a full path, or a bare file name of the image folder
    // (after "Laden...").
    QString PicturePath;
    QString BackName; // background picture of the image folder; empty for none
    int Unit = 50;
    int PartsX = 5;
    int PartsY = 5;
    int Margin = 2; // units of background around the playing field
    int Border = 2; // bevel width in pixels
    bool Numbers = true;
    bool AllwaysRandom = false;
    bool StandardFont = true; // the font field shows "(Standard)"
    QFont Font;
    QColor FontColor{Qt::black};
};

// The caption text of an expert puzzle.
inline const QString ExpertObjectInfo = QStringLiteral("Stelle das Bild wieder her");

// Fills a fresh board in memory with the new puzzle: its look, the pieces of
// type "Zarvo11" in reading order without the bottom-right cell, the same as
// the goal (fixed), and the start shuffled by exactly 100 exchanges of two
// different pieces drawn from the program-wide generator, so the start is
// always solvable.
void BuildExpertPuzzle(TZarvoPad &board, const TExpertPuzzle &puzzle);

// A picture of the image folder by its name, found without regard to case
// as the board finds its pictures.
QString ImageDirFile(const QString &name);

// The picture's file as a path: a bare name lies in the image folder.
QString ExpertPictureSource(const QString &picturePath);

// Builds the puzzle, copies the picture into the image folder (a failed copy
// does not stop the save) and writes the puzzle file under the name part of
// fileName into the data folder.
void SaveExpertPuzzle(const TExpertPuzzle &puzzle, const QString &fileName);
