// The move history: position snapshots, how a finished move becomes an
// entry, restoring an entry, and the game-state file.

#include "DataRoot.h"
#include "IniFile.h"
#include "Limits.h"
#include "PadInternal.h"
#include "PadTrack.h"
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
    std::vector<TColRow> cells;
    const qsizetype n = board.PieceCount();
    for (int i = 0; i < board.History.size(); ++i) {
        if (board.History.HoldsCells(i) && board.History.CellCount(i) == n) {
            board.History.CellsOf(i, cells);
            CheckCells(board, cells, i, positions);
        } else {
            ParseEntry(board, board.History[i], i, positions);
        }
    }
}

void PadInternal::CheckCells(const TZarvoPad &board, const std::vector<TColRow> &cells, int entryNo,
                             std::vector<QPoint> &positions)
{
    positions.clear();
    positions.reserve(cells.size());
    try {
        const QString where = QStringLiteral("Eine Zelle");
        for (const TColRow &c : cells)
            positions.emplace_back(
                CheckedPixel(qint64(c.Col) * board.UnitSize + board.Offset.x(), where),
                CheckedPixel(qint64(c.Row) * board.UnitSize + board.Offset.y(), where));
    } catch (const EZarvoError &e) {
        throw EZarvoError(
            QStringLiteral("Stellung %1 des Spielverlaufs: %2").arg(entryNo).arg(e.Message));
    }
}

QString TZarvoPad::SnapshotText() const
{
    const TZarvoList &list = ActivePieces();
    std::vector<TColRow> cells;
    cells.reserve(list.size());
    for (const auto &p : list)
        cells.push_back(CommittedCell(p.get()));
    return THistory::TextOf(cells);
}

void TZarvoPad::RecordPosition(int newIndex)
{
    VerifyTrack();
    TPadTrack *t = ActiveTrack();
    if (!t) {
        // The goal list is active: its snapshot is taken whole.
        History.Truncate(qBound(0, newIndex, int(History.size())));
        History.append(SnapshotText());
        MoveIndex = int(History.size()) - 1;
        LastMoved = PieceKey(DragIndex);
        return;
    }
    // Back to a position already reached: the counter goes back to it and
    // the entries after it stay for redo. The hash finds the candidates,
    // the cells decide.
    for (qsizetype b : History.WithHash(t->Hash)) {
        if (!CompareWithEntry(b, nullptr))
            continue;
        if (newIndex >= b) {
            MoveIndex = int(b);
            LastMoved = -1;
            Rebase(b);
            return;
        }
        break; // its first occurrence lies beyond: the tail goes
    }
    // A further drag of the piece that made the last entry replaces it: one
    // piece moved several times in a row is one move, whichever part of a
    // compound piece was grabbed.
    const int dragged = PieceKey(DragIndex);
    if (dragged == LastMoved)
        --newIndex;
    newIndex = qBound(0, newIndex, int(History.size()));
    // The new entry keeps what changed against the one before it.
    std::vector<THistory::TChange> changes;
    const qsizetype before = newIndex - 1;
    const bool chained = before >= 0 && History.HoldsCells(before) &&
                         History.CellCount(before) == qsizetype(t->Count);
    if (chained)
        CompareWithEntry(before, &changes);
    History.Truncate(newIndex);
    History.AppendCells(t->Cells, t->Hash, std::move(changes));
    MoveIndex = int(History.size()) - 1;
    LastMoved = dragged;
    Rebase(MoveIndex);
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
    VerifyTrack();
    TPadTrack *t = ActiveTrack();
    const qsizetype n = PieceCount();
    std::vector<QPoint> positions;
    const auto place = [this](TZarvo &p, QPoint at) {
        if (p.X == at.x() && p.Y == at.y() && p.OldX == at.x() && p.OldY == at.y())
            return;
        const int oldX = p.X, oldY = p.Y;
        p.X = p.OldX = at.x();
        p.Y = p.OldY = at.y();
        NoteMoved(&p, oldX, oldY);
        NoteCommitted(&p);
    };
    QHash<qint32, TColRow> delta;
    if (t && History.HoldsCells(index) && History.CellCount(index) == n && BaseValid() &&
        History.Delta(t->Base, index, n, delta)) {
        // Only pieces whose cell differs there, or that stand off their
        // cell, move: worked out completely before any piece moves.
        std::vector<qint32> which;
        std::vector<TColRow> cells;
        const auto want = [&](qint32 i) {
            const auto d = delta.constFind(i);
            which.push_back(i);
            cells.push_back(d != delta.cend()       ? *d
                            : t->InDirty[size_t(i)] ? t->BaseCell[size_t(i)]
                                                    : t->Cells[size_t(i)]);
        };
        for (qint32 i : t->Dirty)
            want(i);
        for (auto it = delta.cbegin(); it != delta.cend(); ++it)
            if (!t->InDirty[size_t(it.key())])
                want(it.key());
        for (qint32 i : t->Loose)
            if (!t->InDirty[size_t(i)] && !delta.contains(i))
                want(i);
        PadInternal::CheckCells(*this, cells, index, positions);
        for (size_t k = 0; k < which.size(); ++k)
            place(*Pieces[size_t(which[k])], positions[k]);
    } else {
        // Parsed completely before any piece moves, so a bad entry changes
        // nothing.
        if (History.HoldsCells(index) && History.CellCount(index) == n) {
            std::vector<TColRow> cells;
            History.CellsOf(index, cells);
            PadInternal::CheckCells(*this, cells, index, positions);
        } else {
            PadInternal::ParseEntry(*this, History[index], index, positions);
        }
        TZarvoList &list = ActivePieces();
        for (size_t i = 0; i < list.size(); ++i)
            place(*list[i], positions[i]);
    }
    if (t) {
        for (qint32 i : t->Loose)
            t->InLoose[size_t(i)] = 0;
        t->Loose.clear();
        if (History.HoldsCells(index) && History.CellCount(index) == n)
            Rebase(index);
        else
            t->Base = -1;
    }
}

void TZarvoPad::SaveGameState(const QString &name)
{
    QDir().mkpath(DataRoot::HistDir());
    const QString shown = NamePart(name);
    const QByteArray crLf("\r\n");
    // Every line must load again: a position longer than the readers accept
    // is refused here, and the file on disk stays as it was.
    qsizetype total = 0;
    int i = 0;
    for (const QString &entry : History) {
        total += entry.size() + 2;
        if (entry.size() > MaxLineBytes) {
            const QLocale german(QLocale::German, QLocale::Germany);
            throw EZarvoError(
                QStringLiteral("Der Spielstand \"%1\" kann nicht gespeichert werden: Stellung %2 "
                               "ist %3 Bytes lang; erlaubt sind höchstens %4 Bytes.")
                    .arg(shown)
                    .arg(i)
                    .arg(german.toString(qint64(entry.size())), german.toString(MaxLineBytes)));
        }
        ++i;
    }
    QByteArray bytes = PuzzleNameLine(FileName) + crLf;
    bytes += QByteArray::number(MoveIndex) + ';' + (Solved ? "1" : "") + ';' +
             QByteArray::number(SolvedMoves) + crLf;
    bytes.reserve(bytes.size() + total);
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
