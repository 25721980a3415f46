#include "PuzzleSource.h"

#include "ZarvoError.h"

#include <QFile>
#include <QFileInfo>
#include <cstring>
#include <tuple>

namespace {

// The bytes that become white space for QString::trimmed once decoded from
// Windows-1252: tab to carriage return, blank, and the no-break space.
bool IsBlankByte(char c)
{
    const auto u = static_cast<unsigned char>(c);
    return (u >= 9 && u <= 13) || u == 32 || u == 0xA0;
}

bool EqualsLowerAscii(const char *text, qsizetype length, const char *lower)
{
    const auto n = qsizetype(std::strlen(lower));
    if (length != n)
        return false;
    for (qsizetype i = 0; i < n; ++i) {
        char c = text[i];
        if (c >= 'A' && c <= 'Z')
            c = char(c - 'A' + 'a');
        if (c != lower[i])
            return false;
    }
    return true;
}

QString DecodedTrimmed(const char *text, qsizetype length)
{
    return DecodeWin1252(QByteArray::fromRawData(text, length)).trimmed();
}

// One line of the file as TIniFile splits them: its text without the line
// end, where its first non-blank byte is, and where the next line starts.
struct TLine
{
    const char *Text;
    qsizetype Length, First, Next;
    // The section this line opens ("" when it opens none), in lower case.
    QString Section() const;
};

TLine LineAt(const QByteArray &bytes, qsizetype start)
{
    const char *d = bytes.constData();
    const qsizetype size = bytes.size();
    const auto *nl = static_cast<const char *>(std::memchr(d + start, '\n', size_t(size - start)));
    const qsizetype end = nl ? nl - d : size;
    TLine line{d + start, end - start, 0, end + 1};
    if (line.Length > 0 && line.Text[line.Length - 1] == '\r')
        --line.Length;
    while (line.First < line.Length && IsBlankByte(line.Text[line.First]))
        ++line.First;
    return line;
}

// The name of the section a header line opens, in lower case.
QString SectionName(const char *line, qsizetype length)
{
    const QString trimmed = DecodedTrimmed(line, length);
    const qsizetype close = trimmed.indexOf(QLatin1Char(']'));
    return (close < 0 ? trimmed.mid(1) : trimmed.mid(1, close - 1)).trimmed().toLower();
}

QString TLine::Section() const
{
    return First < Length && Text[First] == '[' ? SectionName(Text, Length) : QString();
}

} // namespace

TPuzzleSource::TPuzzleSource(const QString &fileName)
{
    Read(fileName);
    Finish();
}

TPuzzleSource::TPuzzleSource(const QString &fileName, TDeferred)
{
    Read(fileName);
    // The lines up to the first piece list's header.
    qsizetype start = 0;
    while (start < FBytes.size()) {
        const TLine line = LineAt(FBytes, start);
        const QString name = line.Section();
        if (name == QLatin1String("start") || name == QLatin1String("object"))
            break;
        start = line.Next;
    }
    FHead.SetText(DecodeWin1252(FBytes.left(start)));
}

void TPuzzleSource::Read(const QString &fileName)
{
    if (fileName.isEmpty() || !QFileInfo(fileName).isFile())
        return;
    QFile f(fileName);
    // An existing file that cannot be read must not look empty.
    if (!f.open(QIODevice::ReadOnly))
        throw EInOutError(5, QStringLiteral("Die Datei \"%1\" kann nicht gelesen werden.")
                                 .arg(QFileInfo(fileName).fileName()));
    FBytes = ReadWholeFile(f);
    CheckLineLengths(FBytes, QFileInfo(fileName).fileName());
}

void TPuzzleSource::Finish()
{
    if (FParsed)
        return;
    FParsed = true;
    if (!FBytes.isEmpty())
        Parse();
}

int TPuzzleSource::TList::Count(int def) const
{
    if (!FHasCount)
        return def;
    bool ok = false;
    const int v = FCountText.toInt(&ok, 10);
    return ok ? v : def;
}

bool TPuzzleSource::TList::Entry(const QByteArray &bytes, int n, QString &value) const
{
    QByteArrayView raw;
    if (!RawEntry(bytes, n, raw))
        return false;
    value = DecodedTrimmed(raw.data(), raw.size());
    return true;
}

bool TPuzzleSource::TList::RawEntry(const QByteArray &bytes, int n, QByteArrayView &value) const
{
    if (n < 1 || size_t(n) > FEntries.size() || FEntries[size_t(n) - 1].first < 0)
        return false;
    const auto [offset, length] = FEntries[size_t(n) - 1];
    value = QByteArrayView(bytes.constData() + offset, length);
    return true;
}

void TPuzzleSource::Parse()
{
    // Lines as TIniFile splits them; every section but the piece lists goes
    // to the INI text, the piece lists' keys are only located.
    const char *d = FBytes.constData();
    const qsizetype size = FBytes.size();
    QByteArray rest;
    enum TMode { ToIni, StartList, ObjectList, Skipped } mode = ToIni;
    bool seenStart = false, seenObject = false;
    // Zarvo<n> keys in file order: number, value offset, value length.
    std::vector<std::tuple<qint64, qsizetype, qsizetype>> keys[2];

    qsizetype start = 0;
    while (start < size) {
        const TLine at = LineAt(FBytes, start);
        const char *line = at.Text;
        const qsizetype len = at.Length, first = at.First;
        start = at.Next;
        if (first < len && line[first] == '[') {
            const QString name = at.Section();
            if (name == QLatin1String("start")) {
                mode = seenStart ? Skipped : StartList;
                seenStart = true;
            } else if (name == QLatin1String("object")) {
                mode = seenObject ? Skipped : ObjectList;
                seenObject = true;
            } else {
                mode = ToIni;
                rest.append(line, len).append('\n');
            }
            continue;
        }
        if (mode == ToIni) {
            rest.append(line, len).append('\n');
            continue;
        }
        if (mode == Skipped)
            continue;

        // A key line of a piece list: "key = value", not a comment.
        const auto *eqp = static_cast<const char *>(std::memchr(line, '=', size_t(len)));
        if (!eqp || (first < len && line[first] == ';'))
            continue;
        const qsizetype eq = eqp - line;
        qsizetype ka = 0, kb = eq;
        while (ka < kb && IsBlankByte(line[ka]))
            ++ka;
        while (kb > ka && IsBlankByte(line[kb - 1]))
            --kb;
        if (ka == kb)
            continue;
        TList &list = mode == StartList ? FStart : FObject;
        const qsizetype valueAt = (line - d) + eq + 1, valueLength = len - eq - 1;
        if (EqualsLowerAscii(line + ka, kb - ka, "count")) {
            if (!list.FHasCount) {
                list.FHasCount = true;
                list.FCountText = DecodedTrimmed(d + valueAt, valueLength);
            }
            continue;
        }
        // Zarvo<n>: the number written plainly, as the reader asks for it.
        if (kb - ka <= 5 || kb - ka > 5 + 10 || !EqualsLowerAscii(line + ka, 5, "zarvo") ||
            line[ka + 5] == '0')
            continue;
        qint64 number = 0;
        bool digits = true;
        for (qsizetype i = ka + 5; i < kb && digits; ++i) {
            digits = line[i] >= '0' && line[i] <= '9';
            number = number * 10 + (line[i] - '0');
        }
        if (digits)
            keys[mode == StartList ? 0 : 1].emplace_back(number, valueAt, valueLength);
    }

    for (int k = 0; k < 2; ++k) {
        TList &list = k == 0 ? FStart : FObject;
        const auto entries = qint64(keys[k].size());
        list.FEntries.assign(size_t(entries), {-1, 0});
        for (const auto &[number, at, length] : keys[k])
            if (number <= entries && list.FEntries[size_t(number) - 1].first < 0)
                list.FEntries[size_t(number) - 1] = {at, length};
    }
    FIni.SetText(DecodeWin1252(rest));
}
