// The INI reader and writer behind puzzles, piece types and best-ten lists,
// the best-ten list itself, and the settings store.

#include "FuzzCommon.h"

#include "DataRoot.h"
#include "IniFile.h"
#include "Settings.h"
#include "TopListLogic.h"
#include "ZarvoError.h"

#include <QFile>
#include <QSettings>

namespace {
QByteArray Bytes(const uint8_t *data, size_t size)
{
    return QByteArray(reinterpret_cast<const char *>(data), qsizetype(size));
}

// Everything a reader can see of an INI file.
QStringList Contents(const TIniFile &ini)
{
    QStringList out;
    for (const QString &section : ini.SectionNames()) {
        out << QLatin1Char('[') + section + QLatin1Char(']');
        for (const QString &key : ini.KeyNames(section))
            out << key + QLatin1Char('=') + ini.ReadString(section, key, QStringLiteral("<none>"));
    }
    return out;
}

void CheckTopList(const QString &path)
{
    TTopList list;
    try {
        list.Load(path, 0, 0);
    } catch (const EZarvoError &) {
        return; // a file that cannot be read at all
    }
    // Written back and read again, the list is the same list in the same
    // order. (A carriage return inside a line, which only a damaged file
    // has, is written as a blank so that the entry stays on its line.)
    list.Write(path);
    TTopList again;
    again.Load(path, 0, 0);
    QStringList expected = list.Rows;
    expected.replaceInStrings(QStringLiteral("\r"), QStringLiteral(" "));
    FUZZ_CHECK(again.Rows == expected && again.SortByMoves == list.SortByMoves,
               list.Rows.join(QLatin1Char('|')) + QStringLiteral(" / ") +
                   again.Rows.join(QLatin1Char('|')));
}
} // namespace

int FuzzIni(const uint8_t *data, size_t size)
{
    FuzzSetUp();
    const QByteArray bytes = Bytes(data, size);
    TIniFile ini;
    try {
        CheckLineLengths(bytes, QStringLiteral("fuzz.ini"));
    } catch (const EZarvoError &) {
        return 0;
    }
    ini.SetText(DecodeWin1252(bytes));
    const QStringList before = Contents(ini);

    // The text as written reads back to the same contents, and writing it
    // again changes nothing.
    const QString text = ini.Text();
    TIniFile back;
    back.SetText(text);
    FUZZ_CHECK(Contents(back) == before, QStringLiteral("contents changed by writing"));
    FUZZ_CHECK(back.Text() == text, QStringLiteral("text changed by a second writing"));
    FUZZ_CHECK(DecodeWin1252(EncodeWin1252(text)) == text, QStringLiteral("bytes do not round-trip"));

    // Writing a key shows the value (on one line, trimmed) and touches no
    // other section; deleting it and erasing a section do what they say.
    const QStringList sections = ini.SectionNames();
    if (!sections.isEmpty()) {
        const QString first = sections.first();
        const QStringList keys = ini.KeyNames(first);
        const QString value = keys.isEmpty() ? QStringLiteral("v") : keys.last();
        ini.WriteString(first, QStringLiteral("FuzzKey"), value);
        // Line breaks inside a value are written as blanks, so that it stays
        // on its line.
        QString oneLine = value;
        oneLine.replace(QLatin1Char('\r'), QLatin1Char(' ')).replace(QLatin1Char('\n'), QLatin1Char(' '));
        FUZZ_CHECK(ini.ReadString(first, QStringLiteral("FUZZKEY"), QString()) ==
                       oneLine.trimmed(),
                   value);
        ini.DeleteKey(first, QStringLiteral("fuzzkey"));
        FUZZ_CHECK(!ini.ValueExists(first, QStringLiteral("FuzzKey")) ||
                       keys.contains(QStringLiteral("FuzzKey"), Qt::CaseInsensitive),
                   QStringLiteral("deleted key still there"));
        ini.EraseSection(sections.last());
        FUZZ_CHECK(!ini.SectionExists(sections.last()), sections.last());
    }

    // The best-ten list of a puzzle file with this text.
    const QString path = DataRoot::DataDir() + QStringLiteral("toplist.zrv");
    FuzzWrite(path, bytes);
    CheckTopList(path);
    return 0;
}

int FuzzSettings(const uint8_t *data, size_t size)
{
    FuzzSetUp();
    // A new name for every input: QSettings keeps what it read of a file.
    static int serial = 0;
    ++serial;
    const QString file = FuzzRoot() + QStringLiteral("settings-%1.ini").arg(serial);
    const QString copy = FuzzRoot() + QStringLiteral("settings-%1-back.ini").arg(serial);
    FuzzWrite(file, Bytes(data, size));
    TZarvoSettings read;
    {
        const QSettings store(file, QSettings::IniFormat);
        LoadZarvoSettings(store, read);
    }
    // Stored and read back, the settings are the same.
    {
        QSettings store(copy, QSettings::IniFormat);
        SaveZarvoSettings(store, read);
    }
    TZarvoSettings back;
    {
        const QSettings store(copy, QSettings::IniFormat);
        LoadZarvoSettings(store, back);
    }
    QFile::remove(file);
    QFile::remove(copy);
    FUZZ_CHECK(back.FullScreen2 == read.FullScreen2 && back.Cursor64 == read.Cursor64 &&
                   back.Grid == read.Grid && back.CheckColors == read.CheckColors &&
                   back.ZarvoIndex == read.ZarvoIndex && back.Player == read.Player &&
                   back.NoOldPlayer == read.NoOldPlayer &&
                   back.GameOverFile == read.GameOverFile &&
                   back.GameOverText == read.GameOverText,
               read.Player + QStringLiteral(" / ") + back.Player);
    return 0;
}
