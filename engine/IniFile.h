#pragma once

#include <QHash>
#include <QString>
#include <QStringList>
#include <vector>

// Reader and writer of the game's INI files (puzzles, piece types).
//
// Section and key names compare without regard to case. Rewritten keys stay
// in place, new keys go to the end of their section, new sections to the end
// of the file; comments, blank and unknown lines are kept as they were.
// Bytes on disk are Windows-1252; lines are read with CR LF or LF and written
// with CR LF. Nothing touches the disk until UpdateFile(), which writes
// atomically (temporary file beside it, then rename), so reading a file never
// changes it and a crash never leaves half a file.
class TIniFile
{
public:
    TIniFile() = default;
    // Reads fileName when it exists; a missing file is an empty INI. An
    // unreadable file or one with a line above MaxLineBytes throws.
    explicit TIniFile(const QString &fileName);

    // Parses text (already decoded) instead of a file.
    void SetText(const QString &text);
    QString Text() const; // the lines, each ended by CR LF, as UpdateFile writes them

    QString FileName() const { return FFileName; }
    bool Modified() const { return FModified; }

    QStringList SectionNames() const; // in file order, as written in the file
    QStringList KeyNames(const QString &section) const;
    bool SectionExists(const QString &section) const;
    bool ValueExists(const QString &section, const QString &key) const;

    QString ReadString(const QString &section, const QString &key, const QString &def) const;
    // A missing or malformed value gives def.
    int ReadInteger(const QString &section, const QString &key, int def) const;
    bool ReadBool(const QString &section, const QString &key,
                  bool def) const; // integer, non-zero = true

    void WriteString(const QString &section, const QString &key, const QString &value);
    void WriteInteger(const QString &section, const QString &key, int value);
    void WriteBool(const QString &section, const QString &key, bool value); // "1" / "0"
    void DeleteKey(const QString &section, const QString &key);
    void EraseSection(const QString &section);

    // Writes the file atomically when anything changed (or always with force).
    // Throws EInOutError when the file cannot be written; the old file stays.
    void UpdateFile(bool force = false);

private:
    // Sections in file order, each with its lines and a case-insensitive key
    // index, so reading or appending one key costs O(1) even in puzzles with
    // tens of thousands of pieces. (Private layout: change it freely.)
    struct TLine
    {
        QString Text; // the line exactly as read or written
        QString Key;  // key name for Key=Value lines, as written, else empty
        bool IsKey = false;
        bool Deleted = false; // removed by DeleteKey; kept so key indices stay valid
    };
    struct TSection
    {
        QString Name;          // as written in the file; empty for lines before the first section
        QString HeaderText;    // the "[Name]" line as read
        bool Preamble = false; // the lines before the first section: kept, but no keys
        std::vector<TLine> Lines;
        QHash<QString, int> KeyIndex; // lower-case key -> index into Lines
    };
    std::vector<TSection> FSections;
    QHash<QString, int> FSectionIndex; // lower-case name -> index into FSections
    QString FFileName;
    bool FModified = false;

    const TSection *FindSection(const QString &section) const;
    TSection &SectionForWrite(const QString &section);
    const TLine *FindLine(const QString &section, const QString &key) const;
    void RebuildSectionIndex();
};

// The whole content of an open file, held once: QIODevice::readAll grows its
// buffer past the end to look for more, which doubles a large file.
QByteArray ReadWholeFile(class QFile &file);

// Refuses bytes of a text file holding a line longer than MaxLineBytes
// (Limits.h) with an EZarvoError naming the line, shownName and the limit;
// checked before the text is decoded, so no such line is ever held twice.
void CheckLineLengths(const QByteArray &bytes, const QString &shownName);

// Windows-1252 to and from QString at the file edge.
QString DecodeWin1252(const QByteArray &bytes);
QByteArray EncodeWin1252(const QString &text); // unmappable characters become '?'
