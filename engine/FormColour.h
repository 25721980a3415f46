#pragma once

#include <QColor>

// The game's own background colour: its windows and dialogs, and a board or a
// full-screen game that has no picture to show.
inline const QColor FormColour(216, 196, 170);
