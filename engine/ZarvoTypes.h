#pragma once

#include <QHash>
#include <QString>
#include <QStringList>
#include <memory>
#include <vector>

// One rectangle of a piece type, in units from the piece's origin.
struct TZarvoDef
{
    int x = 0;
    int y = 0;
    int width = 1;
    int height = 1;
    // A bevel is drawn on that side; false where another rectangle of the
    // same piece continues.
    bool EdgeTop = true;
    bool EdgeRight = true;
    bool EdgeBottom = true;
    bool EdgeLeft = true;
};

// The rectangles of one type in file order; the first is the master part.
class TZarvoTyp
{
public:
    std::vector<TZarvoDef> Rects;
    int Count() const { return int(Rects.size()); }
};

// The piece types of ZarvoTyp.ini: type names in file order, looked up
// without regard to case.
class TZarvoTypes
{
public:
    // Reads every section of the piece-type file. A malformed number in a
    // rectangle throws EConvertError. Replaces what was loaded before.
    void LoadTypes(const QString &fileName);

    int Count() const { return int(FNames.size()); }
    QString Name(int i) const { return FNames.at(i); }
    // The type of that name (case-insensitive), or nullptr.
    const TZarvoTyp *Find(const QString &name) const;
    // Adds (or replaces) a type; used by tests and tools.
    void Add(const QString &name, TZarvoTyp type);

private:
    QStringList FNames;
    std::vector<std::unique_ptr<TZarvoTyp>> FTypes;
    QHash<QString, int> FIndex; // lower-case name -> index, so a board of many pieces looks up fast
};

// The program-wide piece types, loaded once at start-up (main window,
// zarvos-cli, tests).
TZarvoTypes &PieceTypes();
