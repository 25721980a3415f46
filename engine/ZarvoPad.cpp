#include "ZarvoPad.h"

#include "DrawState.h"
#include "PadInternal.h"
#include "PadTrack.h"
#include "ZarvoError.h"
#include "ZarvoTypes.h"

#include <QDir>
#include <QFileInfo>
#include <algorithm>

using PadInternal::CheckedPixel;

namespace {
QImage LoadHand(const QString &resource)
{
    // The hand pictures come with the drawing resources; a build without
    // them simply shows no hand.
    return QImage(resource);
}
} // namespace

// ---------------------------------------------------------------------------
// TZarvoPad

QFont TPadLook::DefaultCaptionFont()
{
    QFont font(QStringLiteral("Arial"));
    font.setPointSize(9);
    font.setBold(true);
    return font;
}

TZarvoPad::TZarvoPad()
{
    Hand32Up = LoadHand(QStringLiteral(":/images/ImgCursor32u.bmp"));
    Hand32Down = LoadHand(QStringLiteral(":/images/ImgCursor32d.bmp"));
    Hand64Up = LoadHand(QStringLiteral(":/images/ImgCursor64u.bmp"));
    Hand64Down = LoadHand(QStringLiteral(":/images/ImgCursor64d.bmp"));
}

TZarvoPad::~TZarvoPad() = default;

void TZarvoPad::AddPiece(TZarvoList &list, const QString &typeName, int col, int row, int imageCol,
                         int imageRow, bool movable, const QString &caption)
{
    AddPiece(list, typeName, PieceTypes().Find(typeName), col, row, imageCol, imageRow, movable,
             caption);
}

void TZarvoPad::AddPiece(TZarvoList &list, const QString &typeName, const TZarvoTyp *typ, int col,
                         int row, int imageCol, int imageRow, bool movable, const QString &caption)
{
    if (!typ)
        throw EZarvoError(QStringLiteral("Unbekannter Teiltyp: \"%1\"").arg(typeName));
    if (typ->Count() == 0)
        throw EZarvoError(
            QStringLiteral("Der Teiltyp \"%1\" hat keine Rechtecke (Count fehlt oder ist 0).")
                .arg(typeName));

    TZarvo *first =
        CreatePiecePart(list, caption, typ->Rects[0], col, row, imageCol, imageRow, movable);
    first->TypeName = typeName;
    if (typ->Count() == 1)
        return;
    first->Master = first;
    TZarvo *prev = first;
    for (int k = 1; k < typ->Count(); ++k) {
        TZarvo *part = CreatePiecePart(list, QString(), typ->Rects[size_t(k)], col, row, imageCol,
                                       imageRow, movable);
        part->TypeName = typeName;
        part->Master = first;
        prev->Next = part;
        prev = part;
    }
}

TZarvo *TZarvoPad::CreatePiecePart(TZarvoList &list, const QString &caption, const TZarvoDef &rect,
                                   int col, int row, int imageCol, int imageRow, bool movable)
{
    // Worked out in 64 bits and checked, so that a wild entry fails the load
    // instead of wrapping around into some other place on the board.
    const qint64 u = UnitSize;
    const QString where = QStringLiteral("Die Position eines Teils");
    const int x = CheckedPixel((qint64(col) + rect.x) * u + Offset.x(), where);
    const int y = CheckedPixel((qint64(row) + rect.y) * u + Offset.y(), where);
    const int ix = CheckedPixel((qint64(imageCol) + rect.x) * u + Offset.x(), where);
    const int iy = CheckedPixel((qint64(imageRow) + rect.y) * u + Offset.y(), where);
    const QString size = QStringLiteral("Die Größe eines Teils");
    const int w = CheckedPixel(qint64(rect.width) * u, size);
    const int h = CheckedPixel(qint64(rect.height) * u, size);

    auto piece = std::make_unique<TZarvo>();
    TZarvo *p = piece.get();
    p->Movable = movable;
    p->Caption = caption;
    p->X = p->OldX = x;
    p->Y = p->OldY = y;
    p->ImageX = ix;
    p->ImageY = iy;
    p->Width = w;
    p->Height = h;
    // A fixed piece of the start list is part of the background and is never
    // drawn, so it gets no bevel.
    if (movable || &list == &Objects) {
        p->EdgeTop = rect.EdgeTop;
        p->EdgeRight = rect.EdgeRight;
        p->EdgeBottom = rect.EdgeBottom;
        p->EdgeLeft = rect.EdgeLeft;
    }
    list.push_back(std::move(piece));
    return p;
}

// ---------------------------------------------------------------------------
// Cells

namespace {
// A board never has a unit below one pixel once loaded, and a board being
// built must not divide by zero either.
int UnitOf(const TZarvoPad &pad)
{
    return std::max(1, pad.UnitSize);
}
} // namespace

int TZarvoPad::Col(const TZarvo *p) const
{
    const int unit = UnitOf(*this);
    return FloorDiv(p->X + unit / 2 - Offset.x(), unit);
}

int TZarvoPad::Row(const TZarvo *p) const
{
    const int unit = UnitOf(*this);
    return FloorDiv(p->Y + unit / 2 - Offset.y(), unit);
}

void TZarvoPad::SetCol(TZarvo *p, int c)
{
    const int oldX = p->X;
    p->X = Offset.x() + c * UnitOf(*this);
    NoteMoved(p, oldX, p->Y);
}

void TZarvoPad::SetRow(TZarvo *p, int r)
{
    const int oldY = p->Y;
    p->Y = Offset.y() + r * UnitOf(*this);
    NoteMoved(p, p->X, oldY);
}

// ---------------------------------------------------------------------------
// File names

QString PadInternal::NamePart(const QString &path)
{
    qsizetype i = path.size();
    while (i > 0) {
        const QChar c = path[i - 1];
        if (c == QLatin1Char('/') || c == QLatin1Char('\\') || c == QLatin1Char(':'))
            break;
        --i;
    }
    return path.mid(i);
}

QString PadInternal::FileInDir(const QString &dir, const QString &name)
{
    const QString exact = dir + name;
    if (name.isEmpty() || QFileInfo::exists(exact))
        return exact;
    const QStringList entries = QDir(dir).entryList(
        QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System);
    for (const QString &entry : entries)
        if (entry.compare(name, Qt::CaseInsensitive) == 0)
            return dir + entry;
    return exact;
}
