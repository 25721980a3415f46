#pragma once

// The seed inputs of every fuzz target, made from the bundled collection
// (data/): its puzzles and piece types as they are, game states and play
// scripts of games played on its puzzles, settings as the game stores them,
// and its pictures, shrunk, in every format the loader reads.

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>

using TSeeds = QList<QPair<QString, QByteArray>>; // file name, content

// Needs FuzzSetUp (a data root with the bundled puzzles).
TSeeds MakeSeeds(const QString &target);
