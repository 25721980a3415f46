#include "PuzzleList.h"

#include "IniFile.h"
#include "TopListLogic.h"
#include "ZarvoError.h"
#include "ZarvoPad.h"

#include <QCollator>
#include <QDir>
#include <QFileInfo>
#include <QImageReader>
#include <QPainter>
#include <QSaveFile>
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

// Adds text to a sorted list unless an equal entry (in the collation) is
// already there.
template <typename T, typename TextOf>
void InsertSorted(std::vector<T> &list, T item, const QCollator &collator, TextOf textOf)
{
    auto pos = std::lower_bound(list.begin(), list.end(), item, [&](const T &a, const T &b) {
        return collator.compare(textOf(a), textOf(b)) < 0;
    });
    if (pos != list.end() && collator.compare(textOf(*pos), textOf(item)) == 0)
        return;
    list.insert(pos, std::move(item));
}

} // namespace

QString Capitalize(const QString &name)
{
    const QString cut = name.left(256);
    if (cut.isEmpty())
        return cut;
    return cut.left(1).toUpper() + cut.mid(1).toLower();
}

TPuzzleList BuildPuzzleList(const QString &dataDir, const QString &playerName)
{
    TPuzzleList result;
    result.Player = Capitalize(playerName);
    const QCollator collator = UserCollator();
    std::vector<QString> players;

    const QString solution = QStringLiteral("Solution");
    const QString info = QStringLiteral("Info");
    const QString minimum = QStringLiteral("Minimum");
    const QFileInfoList files = QDir(dataDir).entryInfoList(
        {QStringLiteral("*.zrv")}, QDir::Files | QDir::NoDotAndDotDot, QDir::NoSort);
    for (const QFileInfo &file : files) {
        // A puzzle that cannot be read (no access, a line beyond the limit)
        // cannot be played either; it is left out like one without a title
        // instead of keeping every other puzzle from being chosen.
        TIniFile ini;
        try {
            ini = TIniFile(file.absoluteFilePath());
        } catch (const EZarvoError &) {
            continue;
        }
        int place = 0;
        for (int i = 10; i >= 1; --i) {
            const QString best = ini.ReadString(
                solution, QStringLiteral("Best") + QString::number(i), QStringLiteral("0,Minimum"));
            const QString who = Capitalize(GetField(best, 2));
            if (who != minimum)
                InsertSorted(players, who, collator, [](const QString &s) { return s; });
            if (who == result.Player)
                place = i;
        }
        const QString minimumText =
            MovesOrEmpty(ini.ReadString(solution, QStringLiteral("Best1"), QString()));
        const QString playerText =
            place == 0 ? QString()
                       : MovesOrEmpty(ini.ReadString(
                             solution, QStringLiteral("Best") + QString::number(place), QString()));
        const QString rating = (ini.ReadString(info, QStringLiteral("Rating"), Missing) +
                                QString(16, QLatin1Char(' ')))
                                   .left(16);
        const QString title = ini.ReadString(info, QStringLiteral("Title"), Missing);
        const QString text = ColumnText(rating) + QLatin1Char(';') + ColumnText(title) +
                             QLatin1Char(';') + minimumText + QLatin1Char(';') + playerText +
                             QLatin1Char(';') + file.fileName();
        if (text.contains(Missing))
            continue;
        InsertSorted(result.Rows, TPuzzleRow{text, file.fileName()}, collator,
                     [](const TPuzzleRow &r) { return r.Text; });
    }
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
