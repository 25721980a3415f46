#pragma once

// The sizes the game accepts from its files, in one place. Each is checked
// before the memory it guards is allocated, so a small damaged or hostile
// file is refused with a message instead of taking gigabytes. The help's
// file-format page lists the same figures.

#include <QtGlobal>

// Pixel positions and sizes on a board stay within +-2^28, so the move rules
// can add positions, sizes and steps in int without overflowing.
constexpr qint64 MaxPixelCoordinate = qint64(1) << 28;

#ifndef ZARVOS_FUZZ_LIMITS
// A board: width x height of its background picture, from BackSize x UnitSize
// (the built-in 32 x 32 tile without a BackSize height).
constexpr qint64 MaxBoardPixels = 50'000'000;
// A picture read from a file (checked against the size its header declares,
// before it is decoded), and the piece picture built from one.
constexpr qint64 MaxPicturePixels = 50'000'000;
// All pictures of one board while it loads: the board-sized ones (below) and
// the piece picture, at 4 bytes a pixel. With the limits above a board of
// 50 million pixels keeps about 1 GB of pictures.
constexpr qint64 MaxBoardPictureBytes = qint64(1) << 30;
// The longest line of a puzzle file, the piece-type file or a game state,
// refused while the file is still raw bytes. A game state holds a board's
// whole position in one line, about 8 bytes a piece: boards of up to about
// 130,000 pieces save and load.
constexpr qint64 MaxLineBytes = qint64(1) << 20;
#else
// The fuzzing build keeps the same rules at a smaller scale, so the inputs it
// makes reach every refusal quickly and never need gigabytes.
constexpr qint64 MaxBoardPixels = 1'000'000;
constexpr qint64 MaxPicturePixels = 1'000'000;
constexpr qint64 MaxBoardPictureBytes = 20'000'000;
constexpr qint64 MaxLineBytes = 16'384;
#endif

// Board-sized pictures a loaded board holds: the background, the piece
// faces, and one more: the goal picture when it cannot be drawn from the
// faces, or a composed picture asked for whole. The board and the screen
// picture are otherwise made for the area shown.
constexpr int BoardSizedPictures = 3;

// A board and a piece picture each within its own limit always fit the
// budget of all pictures together.
static_assert(4 * (BoardSizedPictures * MaxBoardPixels + MaxPicturePixels) <= MaxBoardPictureBytes);

// A picture file larger than this is not read at all.
constexpr qint64 MaxPictureFileBytes = qint64(512) << 20;
