#include "ExpertLogic.h"

#include "Allgem.h"
#include "DataRoot.h"
#include "NViewLib.h"
#include "PadInternal.h"
#include "ZarvoPad.h"
#include "ZarvoRandom.h"

#include <QDir>
#include <QFileInfo>

TGridValues FitGrid(QSize picture, TGridValues fields, TGridChange source)
{
    const int w = picture.width(), h = picture.height();
    int unit = fields.Unit, partsX = fields.PartsX, partsY = fields.PartsY;
    if (source == TGridChange::PartsX) {
        unit = w / partsX;
        if (unit < 10) {
            unit = 10;
            partsX = w / 10;
        }
    }
    if (source == TGridChange::PartsY) {
        unit = h / partsY;
        if (unit < 10) {
            unit = 10;
            partsY = h / 10;
        }
    }
    if (source != TGridChange::PartsX)
        partsX = w / unit;
    if (partsX < 2) {
        partsX = 2;
        unit = w / 2;
    }
    if (source != TGridChange::PartsY)
        partsY = h / unit;
    if (partsY < 2) {
        partsY = 2;
        unit = h / 2;
        partsX = w / unit;
    }
    return {unit, partsX, partsY};
}

TGridValues ClampToFields(TGridValues values)
{
    return {qBound(ExpertUnitMin, values.Unit, ExpertUnitMax),
            qBound(ExpertPartsMin, values.PartsX, ExpertPartsMax),
            qBound(ExpertPartsMin, values.PartsY, ExpertPartsMax)};
}

bool TExpertGrid::EditUnitChange(QSize picture, TGridValues fields, TGridChange source,
                                 const std::function<void(const TGridValues &)> &writeBack)
{
    if (FUpdating > 0)
        return false;
    ++FUpdating;
    const TGridValues fitted = FitGrid(picture, fields, source);
    FUnit = fitted.Unit;
    FPartsX = fitted.PartsX;
    FPartsY = fitted.PartsY;
    try {
        if (writeBack)
            writeBack(ClampToFields(fitted));
    } catch (...) {
        --FUpdating;
        throw;
    }
    --FUpdating;
    return true;
}

bool ExpertPictureUsable(const QImage &picture)
{
    return picture.width() >= 2 && picture.height() >= 2;
}

QString ExpertPictureRejectedText(const QString &path, const QImage &picture)
{
    if (picture.isNull()) {
        // A picture refused for its size says so, rather than looking broken.
        const QSize declared = NViewLibDeclaredSize(path);
        if (qint64(declared.width()) * declared.height() > MaxPicturePixels)
            return QStringLiteral("Das Bild \"%1\" ist %2 × %3 Pixel groß; erlaubt sind höchstens "
                                  "%4 Millionen Pixel.\rDas bisherige Bild bleibt.")
                .arg(path)
                .arg(declared.width())
                .arg(declared.height())
                .arg(MaxPicturePixels / 1000000);
        return QStringLiteral("Das Bild \"%1\" kann nicht gelesen werden.\r"
                              "Das bisherige Bild bleibt.")
            .arg(path);
    }
    return QStringLiteral("Das Bild \"%1\" ist %2 × %3 Pixel groß; ein Puzzle braucht ein Bild von "
                          "mindestens 2 × 2 Pixeln.\rDas bisherige Bild bleibt.")
        .arg(path)
        .arg(picture.width())
        .arg(picture.height());
}

namespace {
QString NamePart(const QString &path)
{
    const qsizetype cut =
        qMax(path.lastIndexOf(QLatin1Char('/')), path.lastIndexOf(QLatin1Char('\\')));
    return path.mid(cut + 1);
}

void AddGrid(TZarvoPad &board, TZarvoList &list, const TExpertPuzzle &p, bool movable)
{
    const QString type = QStringLiteral("Zarvo11");
    int i = 1;
    for (int k = 1; k <= p.PartsY; ++k)
        for (int j = 1; j <= p.PartsX; ++j) {
            if (k == p.PartsY && j == p.PartsX)
                continue; // the gap
            const QString caption = p.Numbers ? QString::number(i) : QString();
            board.AddPiece(list, type, j - 1, k - 1, j - 1, k - 1, movable, caption);
            ++i;
        }
}
} // namespace

void BuildExpertPuzzle(TZarvoPad &board, const TExpertPuzzle &p)
{
    board.Constructing = true;
    board.Title = p.Title;
    board.ObjectInfo = ExpertObjectInfo;
    board.Rating = QStringLiteral("*");
    board.DisableProp = true;
    board.Border = p.Border;
    board.DefaultFont = p.StandardFont || !p.Numbers;
    board.Font = p.Font;
    board.FontColor = p.FontColor;
    board.UnitSize = p.Unit;
    board.ZarvoSize = QPoint(p.PartsX, p.PartsY);
    board.BackSize = QPoint(p.PartsX + p.Margin, p.PartsY + p.Margin);
    board.ImgZarvos = NamePart(p.PicturePath);
    board.ImgBack = p.BackName.startsWith(QLatin1Char('(')) ? QString() : p.BackName;
    board.SetOffset(QPoint(-1, -1));
    board.SetImgOffset(QPoint(-1, -1));
    board.SetFrameSize(QPoint(p.PartsX, p.PartsY));
    board.DrawFrame = true;
    board.AllwaysRandom = p.AllwaysRandom;
    board.NoZarvoCaption = false;
    board.NoZarvoBorder = false;

    AddGrid(board, board.Pieces, p, true);
    AddGrid(board, board.Objects, p, false);

    // Exchanging the cells of two different pieces is one transposition;
    // an even number of them with the gap kept in its corner leaves a start
    // that sliding can always bring back to the goal. Drawing the same piece
    // twice exchanges nothing and is not counted.
    const auto count = uint32_t(board.Pieces.size());
    if (count >= 2) {
        int exchanges = 0;
        while (exchanges < 100) {
            const uint32_t a = ZarvoRandom::Random(count);
            const uint32_t b = ZarvoRandom::Random(count);
            TZarvo *pa = board.Pieces[a].get();
            TZarvo *pb = board.Pieces[b].get();
            const int colA = board.Col(pa), colB = board.Col(pb);
            board.SetCol(pa, colB);
            board.SetCol(pb, colA);
            const int rowA = board.Row(pa), rowB = board.Row(pb);
            board.SetRow(pa, rowB);
            board.SetRow(pb, rowA);
            if (a != b)
                ++exchanges;
        }
    }
    board.BestMoves = QStringLiteral("?");
}

QString ImageDirFile(const QString &name)
{
    return PadInternal::FileInDir(DataRoot::ImageDir(), name);
}

QString ExpertPictureSource(const QString &picturePath)
{
    if (NamePart(picturePath) == picturePath)
        return ImageDirFile(picturePath);
    return picturePath;
}

void SaveExpertPuzzle(const TExpertPuzzle &p, const QString &fileName)
{
    TZarvoPad board;
    BuildExpertPuzzle(board, p);
    // The puzzle reads its picture from the image folder; a copy that fails
    // leaves the puzzle to fall back to the built-in picture, as any puzzle
    // whose picture is missing.
    if (!board.ImgZarvos.isEmpty()) {
        QDir().mkpath(DataRoot::ImageDir());
        CopyFileKeepDate(ExpertPictureSource(p.PicturePath), ImageDirFile(board.ImgZarvos), false);
    }
    board.SavePuzzle(fileName);
}

QStringList PictureList()
{
    QStringList names =
        QDir(DataRoot::ImageDir())
            .entryList(QDir::Files | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase);
    names.prepend(NoPicture);
    return names;
}
