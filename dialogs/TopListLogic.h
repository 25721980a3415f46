#pragma once

#include <QString>
#include <QStringList>
#include <functional>

class QCollator;

// The best-ten list of one puzzle without any widget: the rows as the list
// box shows them ("place;name;moves text;time text"), their order and places,
// and the rules for taking the player's name and writing the list back into
// the puzzle file's [Solution] section.

// Longest name a player can enter. The ordering key cuts a row after 200
// characters; with this cap the moves and time of a row always survive it.
constexpr int MaxPlayerNameLength = 40;
// Highest "Best<n>" key that is read and kept.
constexpr int MaxTopListEntries = 1000;

// "     1:23" for 83 seconds: minutes right-aligned in 6 places, then the
// seconds with two digits.
QString FormatSeconds(int seconds);
// "67 Züge" (the plural for every count).
QString TopListMovesText(int moves);
// A whole row: place;name;moves text;time text.
QString TopListRow(const QString &place, const QString &name, int moves, int seconds);

// Reading a row back: the move count starting its third field, the time of
// its fourth field, the name in its second field.
int RowMoves(const QString &row);
int RowSeconds(const QString &row);
QString RowName(const QString &row);

// Removes the characters a stored name cannot hold (";" separates the list
// columns, "," the fields of a stored entry) and cuts it to MaxPlayerNameLength.
QString CleanPlayerName(const QString &name);

// The collation of the player's language: case-insensitive, punctuation and
// blanks counted.
QCollator UserCollator();

class TTopList
{
public:
    enum TNameResult {
        NameStored,  // the list holds the new name and has been written
        NameAgain,   // the editor opens again over the pending row
        NameDropped, // nothing stored; the dialog closes
    };

    bool SortByMoves = true;
    QStringList Rows;
    int PendingIndex = -1; // the row of the new result while a name is awaited
    int NamedIndex = -1;   // the row that has just taken the name
    int NewMoves = 0;
    int NewSeconds = 0;
    bool NameAwaited = false;

    // Reads Sort and Best1..Best1000 of the puzzle file; with newMoves > 0
    // adds the pending row (empty place and name) and awaits a name.
    void Load(const QString &puzzlePath, int newMoves, int newSeconds);

    // Orders the rows by the current key, gives them their places (equal
    // first numbers share one) and finds the pending row.
    void SortAndRank();

    // Index of the first row whose name equals name exactly, -1 when none.
    int FindName(const QString &name) const;

    // Takes the typed name (algorithm of the name editor leaving). ask is
    // called when NoOldPlayer is on and the name exists: true = overwrite.
    // On NameStored the list has been written to puzzlePath and bestMoves
    // holds the move count of the first row.
    TNameResult TakeName(const QString &typed, bool noOldPlayer,
                         const std::function<bool()> &askOverwrite, const QString &puzzlePath,
                         QString &bestMoves);

    // Writes Best1..Best<n> in the shown order and deletes the keys above.
    // Returns the move count of the first row as text ("?" when empty).
    QString Write(const QString &puzzlePath) const;

    // Writes Sort (1 by moves, 0 by time), the only change when the list is
    // just looked at.
    void WriteSort(const QString &puzzlePath) const;
};
