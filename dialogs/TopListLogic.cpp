#include "TopListLogic.h"

#include "Allgem.h"
#include "IniFile.h"

#include <QCollator>
#include <QLocale>
#include <algorithm>
#include <vector>

namespace {

const QString SolutionSection = QStringLiteral("Solution");
const QString RowSep = QStringLiteral(";");
// The ordering key cuts the row text after the place at this length.
constexpr int RowRestLimit = 200;

QString BestKey(int i)
{
    return QStringLiteral("Best") + QString::number(i);
}

// A number at the start of a text with leading blanks skipped; 0 when none.
int LeadingNumber(const QString &text)
{
    const QString t = text.trimmed();
    qsizetype end = 0;
    if (end < t.size() && (t[end] == QLatin1Char('-') || t[end] == QLatin1Char('+')))
        ++end;
    while (end < t.size() && t[end].isDigit() && t[end].unicode() < 128)
        ++end;
    bool ok = false;
    const int value = t.left(end).toInt(&ok);
    return ok ? value : 0;
}

// Results are counts: a negative number in a hand-edited file is as
// meaningless as a malformed one and would upset the ordering key.
int CountOrZero(int value)
{
    return value < 0 ? 0 : value;
}

// The part of a row after its place, cut to the ordering limit. A name long
// enough to push the moves and time past the limit (only possible in a
// hand-edited file) is shortened instead, so the result itself survives.
QString RowRest(const QString &row)
{
    const qsizetype sep = row.indexOf(RowSep);
    QString rest = sep < 0 ? RowSep + row : row.mid(sep);
    if (rest.size() <= RowRestLimit)
        return rest;
    const qsizetype nameEnd = rest.indexOf(RowSep, 1);
    if (nameEnd < 0)
        return rest.left(RowRestLimit);
    const QString tail = rest.mid(nameEnd);
    if (tail.size() >= RowRestLimit - 1)
        return rest.left(RowRestLimit);
    return rest.left(RowRestLimit - tail.size()) + tail;
}

} // namespace

QString FormatSeconds(int seconds)
{
    return QString::number(seconds / 60).rightJustified(6, QLatin1Char(' ')) + QLatin1Char(':') +
           ZeroPad(seconds % 60, 2);
}

QString TopListMovesText(int moves)
{
    return QString::number(moves) + QStringLiteral(" Züge");
}

QString TopListRow(const QString &place, const QString &name, int moves, int seconds)
{
    return place + RowSep + name + RowSep + TopListMovesText(moves) + RowSep +
           FormatSeconds(seconds);
}

int RowMoves(const QString &row)
{
    return LeadingNumber(ExtractField(ExtractField(row, 3, RowSep), 1, QStringLiteral(" ")));
}

int RowSeconds(const QString &row)
{
    const QString time = ExtractField(row, 4, RowSep);
    const QString colon = QStringLiteral(":");
    return 60 * LeadingNumber(ExtractField(time, 1, colon)) +
           LeadingNumber(ExtractField(time, 2, colon));
}

QString RowName(const QString &row)
{
    return ExtractField(row, 2, RowSep);
}

QString CleanPlayerName(const QString &name)
{
    QString clean = name;
    clean.remove(QLatin1Char(';'));
    clean.remove(QLatin1Char(','));
    clean.remove(QLatin1Char('\r'));
    clean.remove(QLatin1Char('\n'));
    return clean.left(MaxPlayerNameLength);
}

QCollator UserCollator()
{
    QLocale locale;
    // The bare C locale compares code points, where ";" sorts after the
    // digits; any real language puts punctuation before digits and letters.
    if (locale.language() == QLocale::C)
        locale = QLocale(QLocale::English, QLocale::UnitedStates);
    QCollator collator(locale);
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    collator.setIgnorePunctuation(false);
    collator.setNumericMode(false);
    return collator;
}

void TTopList::Load(const QString &puzzlePath, int newMoves, int newSeconds)
{
    const TIniFile ini(puzzlePath);
    SortByMoves = ini.ReadBool(SolutionSection, QStringLiteral("Sort"), true);
    Rows.clear();
    PendingIndex = -1;
    for (int i = 1; i <= MaxTopListEntries; ++i) {
        const QString key = BestKey(i);
        if (!ini.ValueExists(SolutionSection, key))
            continue;
        const QString value = ini.ReadString(SolutionSection, key, QString());
        const int moves = CountOrZero(ExtractFieldInt(value, 1, QStringLiteral(","), 0));
        QString name = ExtractField(value, 2, QStringLiteral(","));
        // A ";" would split the row's columns; it cannot come from the editor.
        name.remove(QLatin1Char(';'));
        const int seconds = CountOrZero(ExtractFieldInt(value, 3, QStringLiteral(","), 0));
        Rows << TopListRow(QStringLiteral("0"), name, moves, seconds);
    }
    NewMoves = newMoves > 0 ? newMoves : 0;
    NewSeconds = CountOrZero(newSeconds);
    NameAwaited = NewMoves > 0;
    if (NameAwaited) {
        Rows << TopListRow(QString(), QString(), NewMoves, NewSeconds);
        PendingIndex = int(Rows.size()) - 1;
    }
}

void TTopList::SortAndRank()
{
    struct TKeyed
    {
        QString Text; // key + rest
        bool Pending;
    };
    std::vector<TKeyed> keyed;
    keyed.reserve(size_t(Rows.size()));
    for (int i = 0; i < Rows.size(); ++i) {
        const QString rest = RowRest(Rows[i]);
        const int moves = RowMoves(rest);
        const int seconds = RowSeconds(rest);
        const QString key = SortByMoves ? ZeroPad(moves, 10) + ZeroPad(seconds, 10)
                                        : ZeroPad(seconds, 10) + ZeroPad(moves, 10);
        keyed.push_back({key + rest, i == PendingIndex});
    }
    const QCollator collator = UserCollator();
    std::stable_sort(keyed.begin(), keyed.end(), [&collator](const TKeyed &a, const TKeyed &b) {
        return collator.compare(a.Text, b.Text) < 0;
    });

    // The pending row is followed by identity rather than by its empty name:
    // a hand-edited entry without a name must not be mistaken for it.
    PendingIndex = -1;
    int place = 0;
    QString previousFirst;
    for (size_t i = 0; i < keyed.size(); ++i) {
        const QString first = keyed[i].Text.left(10);
        if (i == 0 || first != previousFirst)
            ++place;
        previousFirst = first;
        Rows[qsizetype(i)] = QString::number(place) + keyed[i].Text.mid(20);
        if (keyed[i].Pending)
            PendingIndex = int(i);
    }
}

int TTopList::FindName(const QString &name) const
{
    for (int i = 0; i < Rows.size(); ++i) {
        if (i != PendingIndex && RowName(Rows[i]) == name)
            return i;
    }
    return -1;
}

TTopList::TNameResult TTopList::TakeName(const QString &typed, bool noOldPlayer,
                                         const std::function<bool()> &askOverwrite,
                                         const QString &puzzlePath, QString &bestMoves)
{
    if (!NameAwaited || PendingIndex < 0)
        return NameDropped;
    if (typed == QStringLiteral("Name?"))
        return NameAgain;
    const QString cleaned = CleanPlayerName(typed);
    if (cleaned.trimmed().isEmpty())
        return NameDropped;

    // Compared as typed: blanks around a name make it another player.
    const int found = FindName(cleaned);
    if (found >= 0) {
        if (!noOldPlayer) {
            // The better of the two results of one player survives; with
            // equal moves the new one with its own time.
            const int foundMoves = RowMoves(Rows[found]);
            if (foundMoves < NewMoves) {
                NewMoves = foundMoves;
                NewSeconds = RowSeconds(Rows[found]);
            }
        } else if (!askOverwrite || !askOverwrite()) {
            return NameAgain;
        }
        Rows.removeAt(found);
        if (found < PendingIndex)
            --PendingIndex;
    }

    const QString name = cleaned.trimmed();
    Rows[PendingIndex] = TopListRow(QString(), QString(), NewMoves, NewSeconds);
    SortAndRank();
    const QString place = ExtractField(Rows[PendingIndex], 1, RowSep);
    Rows[PendingIndex] = TopListRow(place, name, NewMoves, NewSeconds);
    NamedIndex = PendingIndex;
    PendingIndex = -1;
    NameAwaited = false;
    bestMoves = Write(puzzlePath);
    return NameStored;
}

QString TTopList::Write(const QString &puzzlePath) const
{
    TIniFile ini(puzzlePath);
    // Keys above the last one read are never read again: a full list
    // drops its last entry instead of leaving it behind unseen.
    const int n = int(std::min<qsizetype>(Rows.size(), MaxTopListEntries));
    for (int i = 0; i < n; ++i) {
        const QString &row = Rows[i];
        ini.WriteString(SolutionSection, BestKey(i + 1),
                        QString::number(RowMoves(row)) + QLatin1Char(',') + RowName(row) +
                            QLatin1Char(',') + QString::number(RowSeconds(row)));
    }
    // A damaged file may repeat a key; each repeat would come back as an
    // entry once the one before it is gone.
    for (int i = n + 1; i <= MaxTopListEntries; ++i)
        while (ini.ValueExists(SolutionSection, BestKey(i)))
            ini.DeleteKey(SolutionSection, BestKey(i));
    ini.UpdateFile();
    return n > 0 ? QString::number(RowMoves(Rows[0])) : QStringLiteral("?");
}

void TTopList::WriteSort(const QString &puzzlePath) const
{
    TIniFile ini(puzzlePath);
    ini.WriteBool(SolutionSection, QStringLiteral("Sort"), SortByMoves);
    ini.UpdateFile();
}
