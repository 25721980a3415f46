#include "PuzzleList.h"

#include "IniFile.h"
#include "TopListLogic.h"
#include "ZarvoError.h"
#include "ZarvoPad.h"

#include <QCollator>
#include <QDataStream>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QImageReader>
#include <QPainter>
#include <QSaveFile>
#include <QSet>
#include <QThread>
#include <algorithm>
#include <cmath>

namespace {

// The default of Rating and Title: a puzzle whose row holds this character
// lacks one of them and is not listed.
const QChar Missing(0xFF);

QString MovesOrEmpty(const QString &bestValue)
{
    const QString text = GetField(bestValue, 1) + QStringLiteral(" Züge");
    return text == QStringLiteral(" Züge") ? QString() : text;
}

// The list columns are separated by ";": one inside a title or rating would
// push the rest of the row into the wrong columns.
QString ColumnText(QString text)
{
    return text.replace(QLatin1Char(';'), QLatin1Char(','));
}

// Sorts the list in the collation and drops every entry equal to one before
// it, keeping the one that came first.
template <typename T, typename TextOf>
void SortDistinct(std::vector<T> &list, const QCollator &collator, TextOf textOf)
{
    std::stable_sort(list.begin(), list.end(), [&](const T &a, const T &b) {
        return collator.compare(textOf(a), textOf(b)) < 0;
    });
    auto end = std::unique(list.begin(), list.end(), [&](const T &a, const T &b) {
        return collator.compare(textOf(a), textOf(b)) == 0;
    });
    list.erase(end, list.end());
}

} // namespace

QString Capitalize(const QString &name)
{
    const QString cut = name.left(256);
    if (cut.isEmpty())
        return cut;
    return cut.left(1).toUpper() + cut.mid(1).toLower();
}

namespace {

// What the list needs of one puzzle file, as the file holds it, and the
// stamp of the file it was read from: its size, its modification time and
// the time its inode last changed (which every write moves on and nobody
// can set back), so an entry is used only for the very file it describes.
struct TListEntry
{
    QString FileName;
    qint64 Size = -1, Modified = 0, Changed = 0;
    QString Rating, Title; // Missing when the file has none
    QString Best[10];      // Best1 .. Best10, empty when absent
    quint16 BestPresent = 0;

    bool HasBest(int i) const { return BestPresent & (1u << (i - 1)); }
};

const char IndexMagic[] = "ZarvoList1";

void Stamp(TListEntry &entry, const QFileInfo &file)
{
    entry.FileName = file.fileName();
    entry.Size = file.size();
    entry.Modified = file.lastModified().toMSecsSinceEpoch();
    entry.Changed = file.metadataChangeTime().toMSecsSinceEpoch();
}

bool SameStamp(const TListEntry &a, const TListEntry &b)
{
    return a.Size == b.Size && a.Modified == b.Modified && a.Changed == b.Changed;
}

bool ReadEntry(TListEntry &entry, const QFileInfo &file)
{
    TIniFile ini;
    try {
        ini = TIniFile(file.absoluteFilePath());
    } catch (const EZarvoError &) {
        return false;
    }
    const QString solution = QStringLiteral("Solution");
    const QString info = QStringLiteral("Info");
    entry.Rating = ini.ReadString(info, QStringLiteral("Rating"), Missing);
    entry.Title = ini.ReadString(info, QStringLiteral("Title"), Missing);
    entry.BestPresent = 0;
    for (int i = 1; i <= 10; ++i) {
        const QString key = QStringLiteral("Best") + QString::number(i);
        if (ini.ValueExists(solution, key)) {
            entry.Best[i - 1] = ini.ReadString(solution, key, QString());
            entry.BestPresent |= quint16(1u << (i - 1));
        }
    }
    return true;
}

QHash<QString, TListEntry> ReadIndex(const QString &indexFile)
{
    QHash<QString, TListEntry> index;
    QFile file(indexFile);
    if (!file.open(QIODevice::ReadOnly))
        return index;
    QDataStream in(&file);
    in.setVersion(QDataStream::Qt_6_0);
    QByteArray magic;
    in >> magic;
    if (magic != IndexMagic)
        return index;
    while (!in.atEnd()) {
        TListEntry e;
        in >> e.FileName >> e.Size >> e.Modified >> e.Changed >> e.Rating >> e.Title >>
            e.BestPresent;
        for (QString &best : e.Best)
            in >> best;
        // A damaged index is no index: every puzzle is read again.
        if (in.status() != QDataStream::Ok)
            return {};
        index.insert(e.FileName, std::move(e));
    }
    return index;
}

void WriteIndex(const QString &indexFile, const std::vector<TListEntry> &entries)
{
    QSaveFile file(indexFile);
    if (!file.open(QIODevice::WriteOnly))
        return;
    QDataStream out(&file);
    out.setVersion(QDataStream::Qt_6_0);
    out << QByteArray(IndexMagic);
    for (const TListEntry &e : entries) {
        out << e.FileName << e.Size << e.Modified << e.Changed << e.Rating << e.Title
            << e.BestPresent;
        for (const QString &best : e.Best)
            out << best;
    }
    // The index only saves reading the puzzles: a folder that cannot take
    // it costs that reading next time, nothing else.
    if (out.status() != QDataStream::Ok)
        file.cancelWriting();
    else
        file.commit();
}

} // namespace

QString PuzzleIndexFile(const QString &dataDir)
{
    return dataDir + QStringLiteral("PuzzleList.idx");
}

TPuzzleList BuildPuzzleList(const QString &dataDir, const QString &playerName)
{
    TPuzzleList result;
    result.Player = Capitalize(playerName);
    const QCollator collator = UserCollator();
    const QString minimum = QStringLiteral("Minimum");

    const QFileInfoList files = QDir(dataDir).entryInfoList(
        {QStringLiteral("*.zrv")}, QDir::Files | QDir::NoDotAndDotDot, QDir::NoSort);
    const QString indexFile = PuzzleIndexFile(dataDir);
    QHash<QString, TListEntry> index = ReadIndex(indexFile);
    std::vector<TListEntry> entries;
    entries.reserve(size_t(files.size()));
    const qsizetype indexed = index.size();
    bool indexChanged = false;
    for (const QFileInfo &file : files) {
        TListEntry entry;
        Stamp(entry, file);
        auto known = index.find(entry.FileName);
        if (known != index.end() && SameStamp(*known, entry)) {
            entries.push_back(std::move(*known));
            continue;
        }
        indexChanged = true;
        // A puzzle that cannot be read (no access, a line beyond the limit)
        // cannot be played either; it is left out like one without a title
        // instead of keeping every other puzzle from being chosen. Its entry
        // stays in the record, so it is not read again, nor the record
        // rewritten, at every build until the file changes.
        if (!ReadEntry(entry, file)) {
            entry.Rating = entry.Title = Missing;
            entry.BestPresent = 0;
        }
        entries.push_back(std::move(entry));
    }
    if (indexChanged || qsizetype(entries.size()) != indexed)
        WriteIndex(indexFile, entries);

    // Names and rows are collected first and sorted once; a stable sort keeps
    // the first of entries that compare equal, which is the one kept.
    std::vector<QString> players;
    QSet<QString> seenPlayers;
    std::vector<TPuzzleRow> rows;
    rows.reserve(entries.size());
    for (const TListEntry &e : entries) {
        int place = 0;
        for (int i = 10; i >= 1; --i) {
            const QString who =
                Capitalize(GetField(e.HasBest(i) ? e.Best[i - 1] : QStringLiteral("0,Minimum"), 2));
            if (who != minimum && !seenPlayers.contains(who)) {
                seenPlayers.insert(who);
                players.push_back(who);
            }
            if (who == result.Player)
                place = i;
        }
        const QString minimumText = MovesOrEmpty(e.Best[0]);
        const QString playerText = place == 0 ? QString() : MovesOrEmpty(e.Best[place - 1]);
        const QString rating = (e.Rating + QString(16, QLatin1Char(' '))).left(16);
        const QString text = ColumnText(rating) + QLatin1Char(';') + ColumnText(e.Title) +
                             QLatin1Char(';') + minimumText + QLatin1Char(';') + playerText +
                             QLatin1Char(';') + e.FileName;
        if (text.contains(Missing))
            continue;
        rows.push_back(TPuzzleRow{text, e.FileName});
    }
    SortDistinct(rows, collator, [](const TPuzzleRow &r) -> const QString & { return r.Text; });
    SortDistinct(players, collator, [](const QString &s) -> const QString & { return s; });
    result.Rows = std::move(rows);
    for (QString &p : players)
        result.Players << std::move(p);
    return result;
}

QString PreviewCacheFile(const QString &dataDir, const QString &puzzleFile)
{
    const QFileInfo info(puzzleFile);
    const QString base = info.suffix().isEmpty() ? info.fileName() : info.completeBaseName();
    return dataDir + base + QStringLiteral(".bmp");
}

QImage LoadCachedPreview(const QString &dataDir, const QString &puzzleFile, QSize area)
{
    const QFileInfo cache(PreviewCacheFile(dataDir, puzzleFile));
    const QFileInfo puzzle(dataDir + puzzleFile);
    if (!cache.isFile() || cache.lastModified() < puzzle.lastModified())
        return QImage();
    // Only a picture of exactly the preview's size is a hit, so that size is
    // checked in the header before anything is decoded.
    QImageReader reader(cache.absoluteFilePath(), "BMP");
    if (reader.size() != area)
        return QImage();
    QImage picture;
    if (!reader.read(&picture) || picture.size() != area)
        return QImage();
    return picture;
}

QRect FitPreviewRect(QSize area, QSize bitmapSize)
{
    if (area.isEmpty() || bitmapSize.isEmpty())
        return QRect();
    const double pw = area.width(), ph = area.height();
    const double bw = bitmapSize.width(), bh = bitmapSize.height();
    // std::nearbyint rounds halves to even in the default rounding mode.
    if (pw / ph >= bw / bh) {
        const int margin = int(std::nearbyint((pw - bw * ph / bh) / 2));
        return QRect(QPoint(margin, 0), QPoint(area.width() - margin - 1, area.height() - 1));
    }
    const int margin = int(std::nearbyint((ph - bh * pw / bw) / 2));
    return QRect(QPoint(0, margin), QPoint(area.width() - 1, area.height() - margin - 1));
}

QImage ComposePreview(const QImage &boardPicture, QSize area, QColor background)
{
    QImage preview(area, QImage::Format_RGB32);
    preview.fill(background);
    const QRect target = FitPreviewRect(area, boardPicture.size());
    if (!target.isEmpty()) {
        QPainter painter(&preview);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawImage(target, boardPicture);
    }
    return preview;
}

QImage RenderPuzzlePreview(const QString &puzzleFile, QSize area, QColor background)
{
    TZarvoPad board;
    board.Constructing = true;
    board.LoadPuzzle(puzzleFile, false);
    return ComposePreview(board.ComposeBoard(), area, background);
}

bool SavePreviewCache(const QImage &preview, const QString &cacheFile)
{
    QSaveFile file(cacheFile);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    if (!preview.save(&file, "BMP")) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

TPreviewBuilder::TPreviewBuilder()
{
    FThread.reset(QThread::create([this] { Run(); }));
    FThread->start(QThread::LowPriority);
}

TPreviewBuilder::~TPreviewBuilder()
{
    {
        const std::lock_guard<std::mutex> lock(FLock);
        FStop = true;
        FPending.reset();
    }
    FWake.notify_all();
    FThread->wait();
}

int TPreviewBuilder::Request(const QString &dataDir, const QString &puzzleFile, QSize area,
                             QColor background)
{
    int number;
    {
        const std::lock_guard<std::mutex> lock(FLock);
        number = ++FLastNumber;
        FPending = TJob{number, dataDir, puzzleFile, area, background};
    }
    FWake.notify_one();
    return number;
}

void TPreviewBuilder::Run()
{
    for (;;) {
        TJob job;
        {
            std::unique_lock<std::mutex> lock(FLock);
            FWake.wait(lock, [this] { return FStop || FPending; });
            if (FStop)
                return;
            job = std::move(*FPending);
            FPending.reset();
        }
        if (BeforeBuild)
            BeforeBuild(job.PuzzleFile);
        QImage picture;
        QString error;
        try {
            // The board reads its puzzle from the data directory itself.
            picture = RenderPuzzlePreview(job.PuzzleFile, job.Area, job.Background);
            // The cache only saves time: a folder that cannot take it costs
            // the same work next time, nothing else.
            SavePreviewCache(picture, PreviewCacheFile(job.DataDir, job.PuzzleFile));
        } catch (const EZarvoError &e) {
            picture = QImage();
            error = e.Message;
        } catch (const std::exception &) {
            // Nothing may leave the thread; the preview stays empty.
            picture = QImage();
        }
        const std::lock_guard<std::mutex> lock(FLock);
        if (FStop)
            return;
        Q_EMIT Built(job.Number, job.PuzzleFile, picture, error);
    }
}
