#include "HistoryList.h"

#include <algorithm>

namespace {

quint64 Mix(quint64 z)
{
    // splitmix64's finaliser: every input bit reaches every output bit.
    z += 0x9E3779B97F4A7C15ull;
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

// A text in the board's own snapshot form: "c;r;" per piece, each number
// plain decimal (a "-" only before a number other than 0, no "+", no
// leading zeros, no blanks). Any other text is kept as text.
bool ParseCanonical(const QString &text, std::vector<TColRow> &cells)
{
    cells.clear();
    const QChar *p = text.constData();
    const qsizetype n = text.size();
    if (n == 0)
        return true;
    if (text[n - 1] != QLatin1Char(';'))
        return false;
    cells.reserve(size_t(n / 4));
    qsizetype i = 0;
    bool haveCol = false;
    qint32 col = 0;
    while (i < n) {
        bool negative = false;
        if (p[i] == QLatin1Char('-')) {
            negative = true;
            ++i;
        }
        const qsizetype digitsAt = i;
        qint64 value = 0;
        while (i < n && p[i] >= QLatin1Char('0') && p[i] <= QLatin1Char('9')) {
            value = value * 10 + (p[i].unicode() - u'0');
            if (value > qint64(1) << 31)
                return false;
            ++i;
        }
        const qsizetype digits = i - digitsAt;
        if (digits == 0 || i >= n || p[i] != QLatin1Char(';'))
            return false;
        if (p[digitsAt] == QLatin1Char('0') && (digits > 1 || negative))
            return false; // "007", "-0"
        if (negative)
            value = -value;
        if (value < INT32_MIN || value > INT32_MAX)
            return false;
        ++i; // the ";"
        if (haveCol)
            cells.push_back({col, qint32(value)});
        else
            col = qint32(value);
        haveCol = !haveCol;
    }
    return !haveCol;
}

void PutNumber(QChar *&d, qint32 v)
{
    char16_t digits[12];
    int n = 0;
    quint32 u = v < 0 ? 0u - quint32(v) : quint32(v);
    do {
        digits[n++] = char16_t(u'0' + u % 10);
        u /= 10;
    } while (u);
    if (v < 0)
        *d++ = QLatin1Char('-');
    while (n)
        *d++ = QChar(digits[--n]);
    *d++ = QLatin1Char(';');
}

// Changes kept since the last entry that holds every cell, beyond which the
// next entry holds every cell again, so making any entry's cells costs at
// most about two whole positions.
qint64 KeyBudget(qint32 length)
{
    return std::max<qint64>(length, 64);
}

} // namespace

quint64 THistory::HashBase(qsizetype pieces)
{
    return Mix(quint64(pieces) ^ 0x5A52564F53ull);
}

quint64 THistory::HashOf(qsizetype piece, TColRow cell)
{
    return Mix((quint64(piece) * 0x9E3779B97F4A7C15ull) ^
               ((quint64(quint32(cell.Col)) << 32) | quint32(cell.Row)));
}

quint64 THistory::HashOf(const std::vector<TColRow> &cells)
{
    quint64 h = HashBase(qsizetype(cells.size()));
    for (size_t i = 0; i < cells.size(); ++i)
        h += HashOf(qsizetype(i), cells[i]);
    return h;
}

QString THistory::TextOf(const std::vector<TColRow> &cells)
{
    QString text(qsizetype(cells.size()) * 24, Qt::Uninitialized);
    QChar *const start = text.data();
    QChar *d = start;
    for (const TColRow &c : cells) {
        PutNumber(d, c.Col);
        PutNumber(d, c.Row);
    }
    text.truncate(d - start);
    return text;
}

THistory::TEntry THistory::EntryOfText(const QString &text)
{
    TEntry e;
    std::vector<TColRow> cells;
    if (!ParseCanonical(text, cells)) {
        e.IsText = true;
        e.Text = text;
        return e;
    }
    e.Length = qint32(cells.size());
    e.Hash = HashOf(cells);
    e.Key = true;
    e.Full = std::move(cells);
    return e;
}

void THistory::Push(TEntry entry)
{
    if (!entry.IsText)
        FByHash.insert(entry.Hash, size());
    FEntries.push_back(std::move(entry));
    ++FRevision;
}

THistory &THistory::operator=(const QStringList &texts)
{
    clear();
    FEntries.reserve(size_t(texts.size()));
    std::vector<TColRow> previous;
    bool havePrevious = false;
    for (const QString &text : texts) {
        TEntry e = EntryOfText(text);
        if (e.IsText) {
            havePrevious = false;
            Push(std::move(e));
            continue;
        }
        // An entry of as many cells as the one before keeps only what
        // changed, until the changes add up to about a whole position.
        if (havePrevious && qint32(previous.size()) == e.Length) {
            std::vector<TChange> changes;
            for (qint32 i = 0; i < e.Length; ++i)
                if (!(previous[size_t(i)] == e.Full[size_t(i)]))
                    changes.push_back({i, previous[size_t(i)], e.Full[size_t(i)]});
            const TEntry &last = FEntries.back();
            const qint64 since = (last.Key ? 0 : last.SinceKey) + qint64(changes.size());
            if (since <= KeyBudget(e.Length)) {
                previous.swap(e.Full);
                e.Full = std::vector<TColRow>();
                e.Key = false;
                e.Changes = std::move(changes);
                e.SinceKey = since;
                Push(std::move(e));
                continue;
            }
        }
        previous = e.Full;
        havePrevious = true;
        Push(std::move(e));
    }
    return *this;
}

void THistory::clear()
{
    FEntries.clear();
    FByHash.clear();
    ++FRevision;
}

void THistory::append(const QString &text)
{
    std::vector<TColRow> cells;
    if (!FEntries.empty() && ParseCanonical(text, cells) && HoldsCells(size() - 1) &&
        CellCount(size() - 1) == qsizetype(cells.size())) {
        std::vector<TColRow> last;
        CellsOf(size() - 1, last);
        std::vector<TChange> changes;
        for (size_t i = 0; i < cells.size(); ++i)
            if (!(last[i] == cells[i]))
                changes.push_back({qint32(i), last[i], cells[i]});
        const quint64 hash = HashOf(cells);
        AppendCells(cells, hash, std::move(changes));
        return;
    }
    Push(EntryOfText(text));
}

void THistory::Truncate(qsizetype newSize)
{
    if (newSize >= size())
        return;
    newSize = std::max<qsizetype>(newSize, 0);
    for (qsizetype i = newSize; i < size(); ++i)
        if (!FEntries[size_t(i)].IsText)
            FByHash.remove(FEntries[size_t(i)].Hash, i);
    FEntries.resize(size_t(newSize));
    ++FRevision;
}

THistory::TEntryRef &THistory::TEntryRef::operator=(const QString &text)
{
    // Rewritten from this entry on, so the entries after it keep their texts.
    QStringList texts = FList.Texts();
    texts[FIndex] = text;
    FList = texts;
    return *this;
}

bool THistory::HoldsCells(qsizetype i) const
{
    return !FEntries[size_t(i)].IsText;
}

qsizetype THistory::CellCount(qsizetype i) const
{
    return FEntries[size_t(i)].Length;
}

std::vector<qsizetype> THistory::WithHash(quint64 hash) const
{
    std::vector<qsizetype> found;
    for (auto it = FByHash.constFind(hash); it != FByHash.cend() && it.key() == hash; ++it)
        found.push_back(it.value());
    std::sort(found.begin(), found.end());
    return found;
}

void THistory::CellsOf(qsizetype i, std::vector<TColRow> &cells) const
{
    // Back to the last entry that holds every cell, then forward.
    qsizetype key = i;
    while (!FEntries[size_t(key)].Key)
        --key;
    cells = FEntries[size_t(key)].Full;
    for (qsizetype k = key + 1; k <= i; ++k)
        for (const TChange &c : FEntries[size_t(k)].Changes)
            cells[size_t(c.Piece)] = c.After;
}

bool THistory::Delta(qsizetype from, qsizetype to, qsizetype budget,
                     QHash<qint32, TColRow> &changes) const
{
    changes.clear();
    if (from == to)
        return !FEntries[size_t(to)].IsText;
    // Forward the entries after from up to to give their new cells, backward
    // the entries from from down to after to give their old ones.
    const bool forward = to > from;
    qsizetype spent = 0;
    for (qsizetype k = forward ? from + 1 : from; forward ? k <= to : k > to;
         k += forward ? 1 : -1) {
        const TEntry &e = FEntries[size_t(k)];
        if (e.IsText || e.Key)
            return false;
        spent += qsizetype(e.Changes.size());
        if (spent > budget)
            return false;
        for (const TChange &c : e.Changes)
            changes.insert(c.Piece, forward ? c.After : c.Before);
    }
    return true;
}

void THistory::AppendCells(const std::vector<TColRow> &cells, quint64 hash,
                           std::vector<TChange> changes)
{
    TEntry e;
    e.Length = qint32(cells.size());
    e.Hash = hash;
    const bool chained =
        !FEntries.empty() && !FEntries.back().IsText && FEntries.back().Length == e.Length;
    const qint64 since =
        chained ? (FEntries.back().Key ? 0 : FEntries.back().SinceKey) + qint64(changes.size()) : 0;
    if (chained && since <= KeyBudget(e.Length)) {
        e.Changes = std::move(changes);
        e.SinceKey = since;
    } else {
        e.Key = true;
        e.Full = cells;
    }
    Push(std::move(e));
}

QString THistory::at(qsizetype i) const
{
    const TEntry &e = FEntries[size_t(i)];
    if (e.IsText)
        return e.Text;
    std::vector<TColRow> cells;
    CellsOf(i, cells);
    return TextOf(cells);
}

const QString &THistory::const_iterator::operator*() const
{
    if (FMadeIndex == FIndex)
        return FText;
    const TEntry &e = FList->FEntries[size_t(FIndex)];
    if (e.IsText) {
        FText = e.Text;
    } else {
        // The next entry of a walk through the list only applies its changes.
        if (!e.Key && FMadeIndex == FIndex - 1 && FMadeIndex >= 0 &&
            qsizetype(FCells.size()) == e.Length && !FList->FEntries[size_t(FMadeIndex)].IsText) {
            for (const TChange &c : e.Changes)
                FCells[size_t(c.Piece)] = c.After;
        } else {
            FList->CellsOf(FIndex, FCells);
        }
        FText = TextOf(FCells);
    }
    FMadeIndex = FIndex;
    return FText;
}

QStringList THistory::Texts() const
{
    QStringList texts;
    texts.reserve(size());
    for (const QString &t : *this)
        texts << t;
    return texts;
}

bool THistory::operator==(const THistory &other) const
{
    if (size() != other.size())
        return false;
    auto a = begin(), b = other.begin();
    for (; a != end(); ++a, ++b)
        if (*a != *b)
            return false;
    return true;
}

bool THistory::operator==(const QStringList &texts) const
{
    if (size() != texts.size())
        return false;
    qsizetype i = 0;
    for (const QString &t : *this)
        if (t != texts[i++])
            return false;
    return true;
}
