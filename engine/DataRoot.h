#pragma once

#include <QString>

// The data root: the folder that holds ZarvoTyp.ini, Data/, Image/ and Hist/.
//
// The program's own folder is the data root when it holds ZarvoTyp.ini and is
// writable (a portable copy or a build tree). Otherwise (an installed,
// read-only copy) it is the per-user data folder "Zarvos" (~/.local/share/Zarvos
// on Linux), the same for every program of the game, created at the first
// start and filled from the installed collection, so scores and games can
// always be written. Every directory text ends with "/".
namespace DataRoot {
// Chooses the data root for a program living in programDir. Call once at
// start-up (or in tests with a temporary folder). Creates Hist/ (and the
// per-user copy) when missing. An empty programDir means the folder of the
// running program.
void Init(const QString &programDir = QString());

// Uses root directly as the data root (tests, zarvos-cli --root); creates Hist/.
void UseRoot(const QString &root);

QString ProgramDir();    // the folder of the program file, ending in "/"
QString RootDir();       // the data root, ending in "/"
QString DataDir();       // RootDir() + "Data/"
QString ImageDir();      // RootDir() + "Image/"
QString HistDir();       // RootDir() + "Hist/"
QString PieceTypeFile(); // RootDir() + "ZarvoTyp.ini"

// Removes what saves cut off by a crash or a kill left beside the data
// root's files: the temporary files of the atomic writers (QSaveFile's
// "<file>.XXXXXX", six letters) of the kinds of file the game writes in each
// folder (game states in Hist/, puzzles and board pictures in Data/ and
// Data/New/, pictures in Image/), unfinished copies ("qt_temp.XXXXXX") and the
// write probe. Call once at start, after choosing the root. Returns how many
// files were removed.
int RemoveInterruptedSaves();
// The same in one folder: temporary files whose final name ends with one of
// the extensions in finalNames (".zrh") or equals one of its names ("Temp"),
// compared without regard to case.
int RemoveInterruptedSaves(const QString &dir, const QStringList &finalNames);

// Where an installed copy keeps its collection: the program folder itself,
// or ../share/zarvos beside a bin/ folder. Empty when none is found.
QString InstalledCollectionDir(const QString &programDir);
} // namespace DataRoot
