#pragma once

// A puzzle file read in one pass: the look and everything else as an INI
// file, and the two piece lists ([Start], [Object]) as their raw entries. A
// picture puzzle of 120,000 pieces then never becomes 240,000 INI lines with
// an index of their keys; each entry is decoded once, when its piece is made.
// Reading follows the INI rules exactly: names without regard to case, the
// first of two sections or keys of one name counts, values trimmed.

#include "IniFile.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <vector>

class TPuzzleSource
{
public:
    // Reads fileName when it exists; a missing file (or an empty name) is an
    // empty puzzle. An unreadable file or one with a line above MaxLineBytes
    // throws as TIniFile does.
    explicit TPuzzleSource(const QString &fileName);
    // The same in two steps: the file is read and the text before its first
    // piece list parsed at once (Head), the rest by Finish; so what the
    // head names (the piece picture) can be decoded meanwhile.
    enum TDeferred { Deferred };
    TPuzzleSource(const QString &fileName, TDeferred);
    const TIniFile &Head() const { return FHead; }
    void Finish();

    // Every section except the piece lists.
    const TIniFile &Ini() const { return FIni; }

    // One piece list: its key Count and its entries Zarvo<n>.
    class TList
    {
    public:
        // [section] Count as TIniFile::ReadInteger reads it.
        int Count(int def) const;
        // [section] Zarvo<n> (n from 1) as TIniFile::ReadString reads it;
        // false when there is no such key.
        bool Entry(const QByteArray &bytes, int n, QString &value) const;
        // The same entry's bytes as they stand in the file, untrimmed.
        bool RawEntry(const QByteArray &bytes, int n, QByteArrayView &value) const;

    private:
        friend class TPuzzleSource;
        bool FHasCount = false;
        QString FCountText;
        // Where the value of Zarvo<n> lies in the file: (offset, length), or
        // offset -1 for none. Only keys up to the number of entry lines are
        // kept: with more lines than that a lower key is missing anyway.
        std::vector<std::pair<qsizetype, qsizetype>> FEntries;
    };
    const TList &Start() const { return FStart; }
    const TList &Object() const { return FObject; }
    // The file's bytes, which the entries point into.
    const QByteArray &Bytes() const { return FBytes; }

private:
    QByteArray FBytes;
    TIniFile FIni, FHead;
    TList FStart, FObject;
    bool FParsed = false;
    void Read(const QString &fileName);
    void Parse();
};
