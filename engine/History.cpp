// The move history: position snapshots, how a finished move becomes an
// entry, restoring an entry, and the game-state file.

#include "DataRoot.h"
#include "IniFile.h"
#include "Limits.h"
#include "PadInternal.h"
#include "ZarvoError.h"
#include "ZarvoPad.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QSaveFile>
#include <QStringDecoder>

using PadInternal::CheckedPixel;
using PadInternal::FileInDir;
using PadInternal::NamePart;

namespace {
// Lines of a text file as the game writes them: CR LF (or LF) ends a line, and
// a break after the last line opens no empty one.
QStringList SplitLines(const QString &text)
{
    QStringList lines = text.split(QLatin1Char('\n'));
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    for (QString &l : lines)
        if (l.endsWith(QLatin1Char('\r')))
            l.chop(1);
    return lines;
}
// The puzzle named by line 1 of a game state. The line is Windows-1252; a
// name that code page cannot hold is written in UTF-8 instead (see
// SaveGameState), which is taken only when no puzzle has the first reading.
QString PuzzleNameOfLine(const QString &line)
{
    if (QFileInfo::exists(FileInDir(DataRoot::DataDir(), NamePart(line))))
        return line;
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString name = utf8(EncodeWin1252(line));
    return utf8.hasError() ? line : name;
}

// Line 1 of a game state: the puzzle's name in Windows-1252, or in UTF-8
// when that code page cannot hold it, so that the game loads its puzzle again.
QByteArray PuzzleNameLine(const QString &fileName)
{
    const QByteArray cp1252 = EncodeWin1252(fileName);
    return DecodeWin1252(cp1252) == fileName ? cp1252 : fileName.toUtf8();
}
} // namespace

void PadInternal::ParseEntry(const TZarvoPad &board, const QString &entry, int entryNo,
                             std::vector<QPoint> &positions)
{
    const int n = board.PieceCount();
    positions.clear();
    if (n == 0)
        return;
    // By the field rule: ";" separates, a ";" at the very end opens no new
    // field, and pieces beyond the last field take the last.
    TFieldCursor fields(entry, u";");
    positions.reserve(size_t(n));
    try {
        const QString where = QStringLiteral("Eine Zelle");
        for (int i = 0; i < n; ++i) {
            const qint64 col = FieldToInt(fields.Next());
            const qint64 row = FieldToInt(fields.Next());
            positions.emplace_back(CheckedPixel(col * board.UnitSize + board.Offset.x(), where),
                                   CheckedPixel(row * board.UnitSize + board.Offset.y(), where));
        }
    } catch (const EZarvoError &e) {
        throw EZarvoError(
            QStringLiteral("Stellung %1 des Spielverlaufs: %2").arg(entryNo).arg(e.Message));
    }
}

QString PadInternal::ReadGameState(TZarvoPad &board, const QString &name)
{
    const QString shown = NamePart(name);
    const QString path = FileInDir(DataRoot::HistDir(), shown);
    QFile f(path);
    if (shown.isEmpty() || !QFileInfo(path).isFile())
        throw EZarvoError(QStringLiteral("Spielstand nicht gefunden: \"%1\"").arg(shown));
    if (!f.open(QIODevice::ReadOnly))
        throw EZarvoError(
            QStringLiteral("Der Spielstand \"%1\" kann nicht gelesen werden.").arg(shown));
    QStringList lines;
    {
        const QByteArray bytes = ReadWholeFile(f);
        CheckLineLengths(bytes, shown);
        lines = SplitLines(DecodeWin1252(bytes));
    }
    if (lines.size() < 2)
        throw EZarvoError(QStringLiteral("Der Spielstand \"%1\" ist unvollständig.").arg(shown));
    const QString puzzle = PuzzleNameOfLine(lines[0]);
    const QString counters = lines[1];
    try {
        board.MoveIndex = StrToIntStrict(GetField(counters, 1, QStringLiteral(";")));
        board.Solved = GetField(counters, 2, QStringLiteral(";")) == QLatin1String("1");
        board.SolvedMoves = StrToIntStrict(GetField(counters, 3, QStringLiteral(";")));
    } catch (const EConvertError &e) {
        throw EConvertError(QStringLiteral("Spielstand \"%1\", Zeile 2: %2").arg(shown, e.Message));
    }
    lines.remove(0, 2);
    board.History = std::move(lines);
    // A counter outside the saved positions, below 0 as well as beyond the
    // last, leaves no position to continue from.
    if (board.MoveIndex < 0 || board.MoveIndex >= board.History.size())
        throw EZarvoError(
            QStringLiteral("Der Zugzähler %1 des Spielstands \"%2\" passt nicht zu den %3 "
                           "gespeicherten Stellungen.")
                .arg(board.MoveIndex)
                .arg(shown)
                .arg(board.History.size()));
    return puzzle;
}

void PadInternal::CheckHistory(const TZarvoPad &board)
{
    // Every entry is checked now, so a later undo or redo cannot fail on one.
    std::vector<QPoint> positions;
    for (int i = 0; i < board.History.size(); ++i)
        ParseEntry(board, board.History[i], i, positions);
}

QString TZarvoPad::SnapshotText() const
{
    // Written straight into one buffer: a snapshot is taken after every
    // committed piece, and boards reach 30,000 pieces.
    const TZarvoList &list = ActivePieces();
    QString text(qsizetype(list.size()) * 2 * 12, Qt::Uninitialized);
    QChar *d = text.data();
    qsizetype pos = 0;
    auto put = [&](int v) {
        char16_t digits[12];
        int n = 0;
        unsigned u = v < 0 ? 0u - unsigned(v) : unsigned(v);
        do {
            digits[n++] = char16_t(u'0' + u % 10);
            u /= 10;
        } while (u);
        if (v < 0)
            d[pos++] = QLatin1Char('-');
        while (n)
            d[pos++] = QChar(digits[--n]);
        d[pos++] = QLatin1Char(';');
    };
    const int half = UnitSize / 2;
    for (const auto &p : list) {
        put(FloorDiv(p->OldX - Offset.x() + half, UnitSize));
        put(FloorDiv(p->OldY - Offset.y() + half, UnitSize));
    }
    text.truncate(pos);
    return text;
}

void TZarvoPad::SyncHistoryIndex()
{
    if (FHistoryIndexed == History.size())
        return;
    FHistoryFirst.clear();
    for (int i = 0; i < History.size(); ++i)
        if (!FHistoryFirst.contains(History[i]))
            FHistoryFirst.insert(History[i], i);
    FHistoryIndexed = History.size();
}

void TZarvoPad::RecordPosition(int newIndex)
{
    SyncHistoryIndex();
    const QString text = SnapshotText();
    auto found = FHistoryFirst.constFind(text);
    if (found != FHistoryFirst.cend() && (*found >= History.size() || History[*found] != text)) {
        // History was changed in place behind our back: index it afresh.
        FHistoryIndexed = -1;
        SyncHistoryIndex();
        found = FHistoryFirst.constFind(text);
    }
    // Back to a position already reached: the counter goes back to it and
    // the entries after it stay for redo.
    if (found != FHistoryFirst.cend() && newIndex >= *found) {
        MoveIndex = *found;
        LastMoved = -1;
        return;
    }
    // A further drag of the piece that made the last entry replaces it: one
    // piece moved several times in a row is one move, whichever part of a
    // compound piece was grabbed.
    const int dragged = PieceKey(DragIndex);
    if (dragged == LastMoved)
        --newIndex;
    newIndex = qBound(0, newIndex, int(History.size()));
    for (int i = int(History.size()) - 1; i >= newIndex; --i) {
        const auto it = FHistoryFirst.constFind(History[i]);
        if (it != FHistoryFirst.cend() && *it == i)
            FHistoryFirst.erase(it);
    }
    History.resize(newIndex);
    History.append(text);
    if (!FHistoryFirst.contains(text))
        FHistoryFirst.insert(text, int(History.size()) - 1);
    FHistoryIndexed = History.size();
    MoveIndex = int(History.size()) - 1;
    LastMoved = dragged;
}

int TZarvoPad::PieceKey(int index) const
{
    if (index < 0 || index >= PieceCount())
        return index;
    const TZarvo *master = Piece(index)->Master;
    if (!master)
        return index;
    // The parts of a compound piece stand together in the list, master first.
    int i = index;
    while (i > 0 && Piece(i) != master && Piece(i - 1)->Master == master)
        --i;
    return i;
}

void TZarvoPad::RestorePosition(int index)
{
    if (index < 0 || index >= History.size())
        throw EZarvoError(
            QStringLiteral("Die Stellung %1 gibt es im Spielverlauf nicht.").arg(index));
    // Parsed completely before any piece moves, so a bad entry changes nothing.
    std::vector<QPoint> positions;
    PadInternal::ParseEntry(*this, History[index], index, positions);
    TZarvoList &list = ActivePieces();
    for (size_t i = 0; i < list.size(); ++i) {
        TZarvo &p = *list[i];
        p.X = p.OldX = positions[i].x();
        p.Y = p.OldY = positions[i].y();
    }
}

void TZarvoPad::SaveGameState(const QString &name)
{
    QDir().mkpath(DataRoot::HistDir());
    const QString shown = NamePart(name);
    const QByteArray crLf("\r\n");
    // Every line must load again: a position longer than the readers accept
    // is refused here, and the file on disk stays as it was.
    for (int i = 0; i < History.size(); ++i)
        if (History[i].size() > MaxLineBytes) {
            const QLocale german(QLocale::German, QLocale::Germany);
            throw EZarvoError(
                QStringLiteral("Der Spielstand \"%1\" kann nicht gespeichert werden: Stellung %2 "
                               "ist %3 Bytes lang; erlaubt sind höchstens %4 Bytes.")
                    .arg(shown)
                    .arg(i)
                    .arg(german.toString(qint64(History[i].size())),
                         german.toString(MaxLineBytes)));
        }
    QByteArray bytes = PuzzleNameLine(FileName) + crLf;
    bytes += QByteArray::number(MoveIndex) + ';' + (Solved ? "1" : "") + ';' +
             QByteArray::number(SolvedMoves) + crLf;
    qsizetype total = bytes.size();
    for (const QString &entry : History)
        total += entry.size() + 2;
    bytes.reserve(total);
    for (const QString &entry : History)
        bytes += EncodeWin1252(entry) + crLf;

    QSaveFile f(FileInDir(DataRoot::HistDir(), shown));
    // A name no file can carry (a NUL would cut it short on disk) is refused
    // rather than saved under another name than the one asked for.
    if (shown.isEmpty() || shown.contains(QChar(0)) || !f.open(QIODevice::WriteOnly) ||
        f.write(bytes) != bytes.size() || !f.commit())
        throw EInOutError(
            f.error() == QFileDevice::PermissionsError ? 5 : 101,
            QStringLiteral("Der Spielstand \"%1\" kann nicht gespeichert werden.").arg(shown));
}
