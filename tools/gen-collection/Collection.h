#pragma once

#include "Difficulty.h"

#include <QByteArray>
#include <QColor>
#include <QImage>
#include <QPoint>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <vector>

// ---- noise: deterministic, and periodic where a texture must tile ----
class TNoise
{
public:
    explicit TNoise(std::uint32_t seed) : Seed(seed) {}
    // Smooth value noise in [0, 1]; with periods > 0 it repeats every
    // periodX along x and periodY along y (lattice units).
    double Value(double x, double y, int periodX = 0, int periodY = 0) const;
    // Sum of octaves, each twice the frequency and half the weight; [0, 1].
    double Fbm(double x, double y, int octaves, int periodX = 0, int periodY = 0) const;
    // A pseudo-random number in [0, 1) for a lattice point.
    double Hash(int x, int y) const;

private:
    std::uint32_t Seed;
};

QColor Mix(const QColor &a, const QColor &b, double t);
QImage NewImage(int width, int height);

// ---- materials of the pieces and boards ----
enum class TMaterial { Maple, Walnut, Cherry, RedLacquer, BlueLacquer, Gold, Jade, Ivory, Slate };

// Paints one piece face into rect (pixels) of sheet: wood or lacquer with a
// grain that runs along the piece's longer side and is different for every
// seed. cells: the piece's cells (pixel rectangles); only they are painted.
void PaintPieceFace(QImage &sheet, const QRect &bounds, const std::vector<QRect> &cells,
                    TMaterial material, std::uint32_t seed);

// Seamless board textures (they tile without visible seams).
QImage WoodTexture(int size, const QColor &light, const QColor &dark, std::uint32_t seed);
QImage StoneTexture(int size, const QColor &base, std::uint32_t seed);
QImage FeltTexture(int size, const QColor &base, std::uint32_t seed);
QImage SlateTexture(int size, std::uint32_t seed);
// The main window's background: warm, calm, and seamless when tiled.
QImage MainBackTexture(int width, int height);

// ---- pictures of the picture puzzles and the expert ----
QImage PaintLakeAtDusk(int width, int height);
QImage PaintJulia(int width, int height);
QImage PaintMosaic(int width, int height);
QImage PaintMandelbrot(int width, int height);
QImage PaintMeadow(int width, int height); // the expert's sample picture
QImage PaintExpertDeco(int size);

// ---- sound ----
// A short success fanfare as a RIFF WAVE file (16-bit mono PCM).
QByteArray SynthesiseFanfare();

// ---- puzzles ----
// Writes ZarvoTyp.ini, every puzzle file and the pictures the puzzles need
// (piece sheets, board pictures) below dataDir, each puzzle with its rating
// and the minimum the solver proves, and the table of the collection into
// the help page helpFile; returns false on an error.
bool WriteCollection(const QString &dataDir, const QString &helpFile);

// The groups of the collection, in the order the help shows them.
enum class TGroup { Classic, Own, Picture };

// A puzzle file as written, for its rating and minimum to be added to it.
struct TWrittenPuzzle
{
    QString File, Title;
    TGroup Group = TGroup::Own;
    QString About;       // for the help: what it is and where it comes from
    int NoPush = 0;      // the minimum published for moves without pushing; 0 none
    bool Random = false; // shuffled at every start: no minimum of its own
    bool Tiles = false;  // distinct tiles and one gap: its proof may take long
    QStringList Lines;   // the file, its Rating line still empty
    TDifficulty Figures;
};
// Measures every puzzle of dataDir (a data root) with the game's solver and
// writes its Rating and, where its minimum is proven, Best1=N,Minimum into
// it; prints what it found. False when a puzzle does not load or cannot be
// written.
bool WriteFigures(const QString &dataDir, std::vector<TWrittenPuzzle> &puzzles);
// Puts the collection's tables into the help page, between its two marks.
bool WriteHelpTable(const QString &helpFile, const std::vector<TWrittenPuzzle> &puzzles);

// Saves a picture, creating the folder; JPEG at the given quality.
bool SavePicture(const QImage &image, const QString &path, int quality = 85);
// Writes a text file in Windows-1252 with CR LF line ends.
bool WriteTextFile(const QString &path, const QStringList &lines);
