#include "IniFile.h"

#include "Limits.h"
#include "ZarvoError.h"

#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QSaveFile>
#include <cstring>

namespace {
// Windows-1252 bytes 0x80..0x9F; the five unassigned bytes keep their
// C1 code point so that a file survives a read and a write unchanged.
constexpr char16_t Cp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

QString Lower(const QString &name)
{
    return name.trimmed().toLower();
}

// A value written into a line must not open new lines: a title typed with a
// line break would otherwise turn into keys or sections of its own.
QString OneLineValue(const QString &value)
{
    if (!value.contains(QLatin1Char('\r')) && !value.contains(QLatin1Char('\n')))
        return value;
    QString s = value;
    s.replace(QLatin1Char('\r'), QLatin1Char(' '));
    s.replace(QLatin1Char('\n'), QLatin1Char(' '));
    return s;
}

bool IsBlank(const QString &line)
{
    for (QChar c : line)
        if (c.unicode() > 0x20)
            return false;
    return true;
}
} // namespace

QByteArray ReadWholeFile(QFile &file)
{
    const qint64 size = file.size() - file.pos();
    if (size <= 0)
        return file.readAll(); // a device that does not know its size
    QByteArray bytes(size, Qt::Uninitialized);
    const qint64 got = file.read(bytes.data(), size);
    bytes.truncate(qMax<qint64>(got, 0));
    return bytes;
}

void CheckLineLengths(const QByteArray &bytes, const QString &shownName)
{
    const char *p = bytes.constData();
    const char *const end = p + bytes.size();
    qint64 line = 1;
    while (p < end) {
        const auto *nl = static_cast<const char *>(std::memchr(p, '\n', size_t(end - p)));
        const char *stop = nl ? nl : end;
        if (stop > p && stop[-1] == '\r')
            --stop; // the line break is no part of the line
        if (stop - p > MaxLineBytes) {
            const QLocale german(QLocale::German, QLocale::Germany);
            throw EZarvoError(QStringLiteral("Zeile %1 der Datei \"%2\" ist %3 Bytes lang; "
                                             "erlaubt sind höchstens %4 Bytes.")
                                  .arg(line)
                                  .arg(shownName, german.toString(qint64(stop - p)),
                                       german.toString(MaxLineBytes)));
        }
        if (!nl)
            break;
        p = nl + 1;
        ++line;
    }
}

QString DecodeWin1252(const QByteArray &bytes)
{
    QString out(bytes.size(), Qt::Uninitialized);
    QChar *d = out.data();
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        d[i] = (b >= 0x80 && b <= 0x9F) ? QChar(Cp1252High[b - 0x80]) : QChar(char16_t(b));
    }
    return out;
}

QByteArray EncodeWin1252(const QString &text)
{
    QByteArray out(text.size(), Qt::Uninitialized);
    char *d = out.data();
    qsizetype n = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) {
            d[n++] = char(c);
            continue;
        }
        char mapped = '?';
        for (int k = 0; k < 32; ++k) {
            if (Cp1252High[k] == c) {
                mapped = char(0x80 + k);
                break;
            }
        }
        d[n++] = mapped;
        // A character outside the basic plane is one '?', not two.
        if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate())
            ++i;
    }
    out.truncate(n);
    return out;
}

TIniFile::TIniFile(const QString &fileName) : FFileName(fileName)
{
    QFile f(fileName);
    if (!QFileInfo(fileName).isFile())
        return;
    // An existing file that cannot be read must not look empty: a later
    // UpdateFile would replace the whole puzzle with the few keys written.
    if (!f.open(QIODevice::ReadOnly))
        throw EInOutError(5, QStringLiteral("Die Datei \"%1\" kann nicht gelesen werden.")
                                 .arg(QFileInfo(fileName).fileName()));
    const QByteArray bytes = ReadWholeFile(f);
    CheckLineLengths(bytes, QFileInfo(fileName).fileName());
    SetText(DecodeWin1252(bytes));
}

void TIniFile::SetText(const QString &text)
{
    FSections.clear();
    FSectionIndex.clear();
    FModified = false;
    if (text.isEmpty())
        return;

    qsizetype start = 0;
    const qsizetype n = text.size();
    while (start < n) {
        qsizetype end = text.indexOf(QLatin1Char('\n'), start);
        const bool lastLine = end < 0;
        if (lastLine)
            end = n;
        qsizetype len = end - start;
        if (len > 0 && text[start + len - 1] == QLatin1Char('\r'))
            --len;
        const QString line = text.mid(start, len);
        start = end + 1;

        const QString trimmed = line.trimmed();
        if (trimmed.startsWith(QLatin1Char('['))) {
            const qsizetype close = trimmed.indexOf(QLatin1Char(']'));
            TSection sec;
            sec.Name = (close < 0 ? trimmed.mid(1) : trimmed.mid(1, close - 1)).trimmed();
            sec.HeaderText = line;
            FSections.push_back(std::move(sec));
            const QString key = Lower(FSections.back().Name);
            // The first of two sections of one name is the one that counts.
            if (!FSectionIndex.contains(key))
                FSectionIndex.insert(key, int(FSections.size() - 1));
            continue;
        }
        if (FSections.empty()) {
            // Lines before the first section: kept, but hold no keys.
            TSection pre;
            pre.Preamble = true;
            FSections.push_back(std::move(pre));
        }
        TSection &sec = FSections.back();
        TLine l;
        l.Text = line;
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        const bool comment = trimmed.startsWith(QLatin1Char(';'));
        if (eq >= 0 && !comment && !sec.Preamble) {
            l.Key = line.left(eq).trimmed();
            l.IsKey = !l.Key.isEmpty();
        }
        sec.Lines.push_back(l);
        if (l.IsKey) {
            const QString key = Lower(l.Key);
            if (!sec.KeyIndex.contains(key))
                sec.KeyIndex.insert(key, int(sec.Lines.size() - 1));
        }
        if (lastLine)
            break;
    }
}

QString TIniFile::Text() const
{
    QString out;
    const QString crlf = QStringLiteral("\r\n");
    for (const TSection &sec : FSections) {
        if (!sec.Preamble)
            out += sec.HeaderText + crlf;
        for (const TLine &l : sec.Lines)
            if (!l.Deleted)
                out += l.Text + crlf;
    }
    return out;
}

void TIniFile::RebuildSectionIndex()
{
    FSectionIndex.clear();
    for (size_t i = 0; i < FSections.size(); ++i) {
        if (FSections[i].Preamble)
            continue;
        const QString key = Lower(FSections[i].Name);
        if (!FSectionIndex.contains(key))
            FSectionIndex.insert(key, int(i));
    }
}

const TIniFile::TSection *TIniFile::FindSection(const QString &section) const
{
    const auto it = FSectionIndex.constFind(Lower(section));
    return it == FSectionIndex.cend() ? nullptr : &FSections[size_t(*it)];
}

const TIniFile::TLine *TIniFile::FindLine(const QString &section, const QString &key) const
{
    const TSection *sec = FindSection(section);
    if (!sec)
        return nullptr;
    const auto it = sec->KeyIndex.constFind(Lower(key));
    return it == sec->KeyIndex.cend() ? nullptr : &sec->Lines[size_t(*it)];
}

TIniFile::TSection &TIniFile::SectionForWrite(const QString &section)
{
    const QString key = Lower(section);
    const auto it = FSectionIndex.constFind(key);
    if (it != FSectionIndex.cend())
        return FSections[size_t(*it)];
    TSection sec;
    sec.Name = section.trimmed();
    sec.HeaderText = QLatin1Char('[') + sec.Name + QLatin1Char(']');
    FSections.push_back(std::move(sec));
    FSectionIndex.insert(key, int(FSections.size() - 1));
    FModified = true;
    return FSections.back();
}

QStringList TIniFile::SectionNames() const
{
    QStringList names;
    for (size_t i = 0; i < FSections.size(); ++i) {
        const TSection &sec = FSections[i];
        if (sec.Preamble)
            continue;
        // A repeated section is one section (its first occurrence).
        if (FSectionIndex.value(Lower(sec.Name), -1) == int(i))
            names << sec.Name;
    }
    return names;
}

QStringList TIniFile::KeyNames(const QString &section) const
{
    QStringList names;
    const TSection *sec = FindSection(section);
    if (!sec)
        return names;
    for (size_t i = 0; i < sec->Lines.size(); ++i) {
        const TLine &l = sec->Lines[i];
        if (l.IsKey && !l.Deleted && sec->KeyIndex.value(Lower(l.Key), -1) == int(i))
            names << l.Key;
    }
    return names;
}

bool TIniFile::SectionExists(const QString &section) const
{
    return FindSection(section) != nullptr;
}

bool TIniFile::ValueExists(const QString &section, const QString &key) const
{
    return FindLine(section, key) != nullptr;
}

QString TIniFile::ReadString(const QString &section, const QString &key, const QString &def) const
{
    const TLine *l = FindLine(section, key);
    if (!l)
        return def;
    const qsizetype eq = l->Text.indexOf(QLatin1Char('='));
    return l->Text.mid(eq + 1).trimmed();
}

int TIniFile::ReadInteger(const QString &section, const QString &key, int def) const
{
    if (!FindLine(section, key))
        return def;
    bool ok = false;
    const int v = ReadString(section, key, QString()).toInt(&ok, 10);
    return ok ? v : def;
}

bool TIniFile::ReadBool(const QString &section, const QString &key, bool def) const
{
    return ReadInteger(section, key, def ? 1 : 0) != 0;
}

void TIniFile::WriteString(const QString &section, const QString &key, const QString &value)
{
    const QString v = OneLineValue(value);
    TSection &sec = SectionForWrite(section);
    const QString lk = Lower(key);
    const auto it = sec.KeyIndex.constFind(lk);
    if (it != sec.KeyIndex.cend()) {
        TLine &l = sec.Lines[size_t(*it)];
        const QString text = l.Key + QLatin1Char('=') + v;
        if (l.Text != text) {
            l.Text = text;
            FModified = true;
        }
        return;
    }
    // New keys follow the last non-blank line of their section, so the blank
    // line that separates it from the next section stays where it was.
    size_t pos = sec.Lines.size();
    while (pos > 0 && (sec.Lines[pos - 1].Deleted || IsBlank(sec.Lines[pos - 1].Text)))
        --pos;
    TLine l;
    l.Key = key.trimmed();
    l.IsKey = true;
    l.Text = l.Key + QLatin1Char('=') + v;
    sec.Lines.insert(sec.Lines.begin() + qsizetype(pos), l);
    // Only blank or deleted lines moved, and neither is in the key index.
    sec.KeyIndex.insert(lk, int(pos));
    FModified = true;
}

void TIniFile::WriteInteger(const QString &section, const QString &key, int value)
{
    WriteString(section, key, QString::number(value));
}

void TIniFile::WriteBool(const QString &section, const QString &key, bool value)
{
    WriteString(section, key, value ? QStringLiteral("1") : QStringLiteral("0"));
}

void TIniFile::DeleteKey(const QString &section, const QString &key)
{
    const auto sit = FSectionIndex.constFind(Lower(section));
    if (sit == FSectionIndex.cend())
        return;
    TSection &sec = FSections[size_t(*sit)];
    const QString lk = Lower(key);
    const auto it = sec.KeyIndex.constFind(lk);
    if (it == sec.KeyIndex.cend())
        return;
    const int idx = *it;
    sec.Lines[size_t(idx)].Deleted = true;
    sec.KeyIndex.remove(lk);
    // A repeated key further down becomes the one that counts.
    for (size_t i = size_t(idx) + 1; i < sec.Lines.size(); ++i) {
        const TLine &l = sec.Lines[i];
        if (l.IsKey && !l.Deleted && Lower(l.Key) == lk) {
            sec.KeyIndex.insert(lk, int(i));
            break;
        }
    }
    FModified = true;
}

void TIniFile::EraseSection(const QString &section)
{
    const QString key = Lower(section);
    if (!FSectionIndex.contains(key))
        return;
    std::vector<TSection> kept;
    kept.reserve(FSections.size());
    for (TSection &sec : FSections)
        if (sec.Preamble || Lower(sec.Name) != key)
            kept.push_back(std::move(sec));
    FSections = std::move(kept);
    RebuildSectionIndex();
    FModified = true;
}

void TIniFile::UpdateFile(bool force)
{
    if (!FModified && !force)
        return;
    QSaveFile f(FFileName);
    const QString shown = QFileInfo(FFileName).fileName();
    if (!f.open(QIODevice::WriteOnly))
        throw EInOutError(
            f.error() == QFileDevice::PermissionsError ? 5 : 101,
            QStringLiteral("Die Datei \"%1\" kann nicht geschrieben werden.").arg(shown));
    const QByteArray bytes = EncodeWin1252(Text());
    if (f.write(bytes) != bytes.size() || !f.commit())
        throw EInOutError(
            101, QStringLiteral("Die Datei \"%1\" kann nicht geschrieben werden.").arg(shown));
    FModified = false;
}
