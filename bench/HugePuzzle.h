#pragma once

// A picture puzzle as the expert makes it from a large photo: a 4,000 x 3,000
// picture cut into 10-pixel parts (400 x 300, 119,999 pieces, numbered, two
// units of background around the field), and the same picture as a puzzle of
// one piece (the same board). Made on the fly in a data root of its own, so no large file is
// kept with the sources.

#include <QString>

struct THugePuzzle
{
    QString Root;      // the data root (ZarvoTyp.ini, Data/, Image/, Hist/)
    QString Picture;   // full path of the photo in Image/
    QString AllPieces; // puzzle file name of the 119,999-piece puzzle
    QString OnePiece;  // puzzle file name of the same picture as one piece
};

// Writes the puzzles into root (created when missing) and makes it the data
// root with its piece types loaded. format is the photo's file format
// ("jpg" or "bmp"); the picture is the same in either.
THugePuzzle MakeHugePuzzle(const QString &root, const QString &format);

// Resident memory of this process now and its peak since the last reset, in
// bytes (0 where the system does not tell).
qint64 ResidentBytes();
qint64 PeakResidentBytes();
void ResetPeakResident();
