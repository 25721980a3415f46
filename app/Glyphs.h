#pragma once

#include <QIcon>

// The pictures of the game's buttons and menu items, drawn at run time so
// they stay sharp at every screen resolution.
enum class TGlyph {
    Exit,
    NewGame,
    LoadGame,
    SaveGame,
    LoadLast,
    Grid,
    ShowObject,
    HighScore,
    Undo,
    Redo,
    Restart,
    Speed,
    Help,
    Info,
    Options,
    Close,
    Play,
    Expert,
    Properties,
    Hint,
    Demo,
    MovesLeft,
    ZoomIn,
    ZoomOut,
    ZoomOriginal,
    ZoomFit
};

QIcon Glyph(TGlyph kind);
