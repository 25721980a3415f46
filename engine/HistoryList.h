#pragma once

// The positions a game went through, entry 0 first: the texts of the
// game-state file ("c;r;c;r;...;", a column and a row per piece), held
// compactly. An entry written the way the board writes its snapshots is kept
// as the cells that changed against the entry before it, with a hash of all
// its cells; any other text is kept as it is and never equals a snapshot.
// The texts are made when asked for, exactly as written or read, so a saved
// game state is the same file whichever way its entries are held.
//
// It reads like a QStringList (size, at, [], iteration, comparison,
// conversion) so that callers and tests see the texts.

#include <QHash>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <iterator>
#include <vector>

struct TColRow
{
    qint32 Col = 0, Row = 0;
    bool operator==(const TColRow &) const = default;
};

class THistory
{
public:
    THistory() = default;
    THistory(const QStringList &texts) { *this = texts; } // NOLINT: reads as a QStringList
    THistory &operator=(const QStringList &texts);

    qsizetype size() const { return qsizetype(FEntries.size()); }
    qsizetype count() const { return size(); }
    bool isEmpty() const { return FEntries.empty(); }
    QString at(qsizetype i) const;
    QString operator[](qsizetype i) const { return at(i); }
    QString last() const { return at(size() - 1); }

    // Writing one entry through [] replaces its text.
    class TEntryRef
    {
    public:
        operator QString() const { return FList.at(FIndex); } // NOLINT
        TEntryRef &operator=(const QString &text);
        TEntryRef &operator+=(const QString &text) { return *this = QString(*this) + text; }
        TEntryRef &operator+=(QChar c) { return *this = QString(*this) + c; }
        qsizetype size() const { return QString(*this).size(); }
        friend bool operator==(const TEntryRef &a, const QString &b) { return QString(a) == b; }
        friend bool operator!=(const TEntryRef &a, const QString &b) { return QString(a) != b; }

    private:
        friend class THistory;
        TEntryRef(THistory &list, qsizetype index) : FList(list), FIndex(index) {}
        THistory &FList;
        qsizetype FIndex;
    };
    TEntryRef operator[](qsizetype i) { return TEntryRef(*this, i); }

    void clear();
    void append(const QString &text);
    THistory &operator<<(const QString &text)
    {
        append(text);
        return *this;
    }
    // Drops the entries from size on.
    void Truncate(qsizetype size);

    QStringList Texts() const;
    operator QStringList() const { return Texts(); } // NOLINT
    QString join(QChar separator) const { return Texts().join(separator); }
    bool operator==(const THistory &other) const;
    bool operator==(const QStringList &texts) const;

    // The texts one after the other, each made once.
    class const_iterator
    {
    public:
        using iterator_category = std::input_iterator_tag;
        using value_type = QString;
        using difference_type = qsizetype;
        using pointer = const QString *;
        using reference = const QString &;
        const QString &operator*() const;
        const_iterator &operator++()
        {
            ++FIndex;
            return *this;
        }
        bool operator!=(const const_iterator &o) const { return FIndex != o.FIndex; }
        bool operator==(const const_iterator &o) const { return FIndex == o.FIndex; }

    private:
        friend class THistory;
        const_iterator(const THistory *list, qsizetype index) : FList(list), FIndex(index) {}
        const THistory *FList;
        qsizetype FIndex;
        mutable qsizetype FMadeIndex = -1;
        mutable QString FText;
        mutable std::vector<TColRow> FCells; // of entry FMadeIndex, when it is one of cells
    };
    const_iterator begin() const { return const_iterator(this, 0); }
    const_iterator end() const { return const_iterator(this, size()); }

    // ---- the board's side ----

    // The hash of a whole position, and how one piece's cell adds to it, so
    // the board keeps the hash of its snapshot up to date piece by piece.
    static quint64 HashBase(qsizetype pieces);
    static quint64 HashOf(qsizetype piece, TColRow cell);
    static quint64 HashOf(const std::vector<TColRow> &cells);
    // The text of a position as an entry and a game state write it.
    static QString TextOf(const std::vector<TColRow> &cells);

    // The entry holds cells (not a text of its own), and how many.
    bool HoldsCells(qsizetype i) const;
    qsizetype CellCount(qsizetype i) const;
    quint64 Hash(qsizetype i) const { return FEntries[size_t(i)].Hash; }
    // Entries of cells whose hash is hash, first entry first.
    std::vector<qsizetype> WithHash(quint64 hash) const;

    // The cells of entry i, when it holds cells.
    void CellsOf(qsizetype i, std::vector<TColRow> &cells) const;
    // The pieces whose cells differ between entry from and entry to, walking
    // the entries between (to's cell for each); false when that walk would
    // take more than budget changes or passes an entry of text.
    bool Delta(qsizetype from, qsizetype to, qsizetype budget,
               QHash<qint32, TColRow> &changes) const;

    // Appends the position cells (hash its HashOf), given as the cells that
    // differ from the last entry (each with its cell there and here) when
    // that entry holds as many cells; the whole cells are kept instead when
    // that is shorter or the last entry cannot serve as the base.
    struct TChange
    {
        qint32 Piece;
        TColRow Before, After;
    };
    void AppendCells(const std::vector<TColRow> &cells, quint64 hash, std::vector<TChange> changes);

    // Changed on every change of the list, so the board notices entries
    // written behind its back.
    quint64 Revision() const { return FRevision; }

private:
    struct TEntry
    {
        QString Text; // an entry of text: as read or written
        bool IsText = false;
        qint32 Length = 0; // pieces of an entry of cells
        quint64 Hash = 0;
        bool Key = false;          // Full holds every cell; else Changes against the entry before
        std::vector<TColRow> Full; // a key entry's cells
        std::vector<TChange> Changes; // against the entry before
        qint64 SinceKey = 0; // changes stored since the last key entry, this one's included
    };
    std::vector<TEntry> FEntries;
    QMultiHash<quint64, qsizetype> FByHash;
    quint64 FRevision = 0;

    static TEntry EntryOfText(const QString &text);
    void Push(TEntry entry);
};
