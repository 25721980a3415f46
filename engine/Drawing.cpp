// The board's pictures: bevels painted into the background once per load,
// finished piece faces, composing WorkBitmap during a drag, the hand picture,
// and the board picture written on request.
#include "DataRoot.h"
#include "FormColour.h"
#include "ZarvoPad.h"

#include <QPainter>
#include <QSaveFile>
#include <algorithm>
#include <array>
#include <climits>
#include <cstring>

namespace {

// 96 dpi: caption point sizes come out as on the screen the puzzles were made for.
constexpr int BoardDotsPerMeter = 3780;

// Beyond this many separate rectangles a drag step recomposes their bounding box.
constexpr size_t MaxDirtyRects = 32;

constexpr std::array<uchar, 256> MakeTable(bool light)
{
    std::array<uchar, 256> t{};
    for (int c = 0; c < 256; ++c)
        t[size_t(c)] = uchar(light ? (c < 192 ? c + 64 : 255) : (c >= 64 ? c - 64 : 0));
    return t;
}
constexpr std::array<uchar, 256> LightTable = MakeTable(true);
constexpr std::array<uchar, 256> DarkTable = MakeTable(false);

void ApplyTable(QImage &picture, const TRect &rect, const std::array<uchar, 256> &table)
{
    if (picture.isNull())
        return;
    if (picture.depth() != 32)
        picture.convertTo(QImage::Format_RGB32);
    const int left = std::max(rect.Left, 0), right = std::min(rect.Right, picture.width());
    const int top = std::max(rect.Top, 0), bottom = std::min(rect.Bottom, picture.height());
    if (left >= right || top >= bottom)
        return;
    uchar *bits = picture.bits();
    const qsizetype stride = picture.bytesPerLine();
    for (int y = top; y < bottom; ++y) {
        // Stored blue, green, red and a fourth byte that stays as it is.
        uchar *p = bits + y * stride + qsizetype(left) * 4;
        for (int x = left; x < right; ++x, p += 4) {
            p[0] = table[p[0]];
            p[1] = table[p[1]];
            p[2] = table[p[2]];
        }
    }
}

void Ensure32(QImage &picture)
{
    if (!picture.isNull() && picture.format() != QImage::Format_RGB32)
        picture.convertTo(QImage::Format_RGB32);
}

QImage NewBoardPicture(int width, int height)
{
    QImage picture(std::max(width, 0), std::max(height, 0), QImage::Format_RGB32);
    picture.setDotsPerMeterX(BoardDotsPerMeter);
    picture.setDotsPerMeterY(BoardDotsPerMeter);
    return picture;
}

// Plain copy of a w x h block from src (sx, sy) to dst (dx, dy), both 32-bit,
// cut to both pictures and to clip.
void CopyBlock(QImage &dst, int dx, int dy, const QImage &src, int sx, int sy, int w, int h,
               const QRect &clip)
{
    if (dst.isNull() || src.isNull())
        return;
    // Work in 64 bits: piece positions far off the board must not wrap.
    qint64 x0 = dx, y0 = dy, x1 = qint64(dx) + w, y1 = qint64(dy) + h;
    x0 = std::max<qint64>({x0, clip.left(), 0, qint64(dx) - sx});
    y0 = std::max<qint64>({y0, clip.top(), 0, qint64(dy) - sy});
    x1 = std::min<qint64>(
        {x1, qint64(clip.right()) + 1, dst.width(), qint64(dx) - sx + src.width()});
    y1 = std::min<qint64>(
        {y1, qint64(clip.bottom()) + 1, dst.height(), qint64(dy) - sy + src.height()});
    if (x0 >= x1 || y0 >= y1)
        return;
    const qint64 offX = qint64(sx) - dx, offY = qint64(sy) - dy;
    const uchar *sbits = src.constBits();
    const qsizetype sstride = src.bytesPerLine();
    uchar *dbits = dst.bits();
    const qsizetype dstride = dst.bytesPerLine();
    const size_t rowBytes = size_t(x1 - x0) * 4;
    for (qint64 y = y0; y < y1; ++y)
        std::memcpy(dbits + y * dstride + x0 * 4, sbits + (y + offY) * sstride + (x0 + offX) * 4,
                    rowBytes);
}

QRect FullRect(const QImage &picture)
{
    return QRect(0, 0, picture.width(), picture.height());
}

int ClampToInt(qint64 v)
{
    return int(std::clamp<qint64>(v, INT_MIN / 2, INT_MAX / 2));
}

// Paints the lines of a BorderLi or BorderSh text. A malformed count draws
// nothing; a line with a malformed number is left out. Lines whose fields
// lie wholly beyond the end of the list are not invented from the last field.
void PaintLines(QImage &picture, const QString &text, bool light, int b, int unit, QPoint offset)
{
    const QStringList fields = SplitFields(text); // the line lists are split once
    bool ok = false;
    const qint64 count = fields.value(0).toLongLong(&ok);
    if (!ok || count <= 0)
        return;
    const qint64 present = (qint64(fields.size()) + 2) / 5; // lines that start inside the list
    const qint64 lines = std::min(count, present);
    auto field = [&](qint64 n) { return fields.at(std::min<qint64>(n, fields.size()) - 1); };
    for (qint64 i = 1; i <= lines; ++i) {
        qint64 v[5];
        bool good = true;
        for (int k = 0; k < 5 && good; ++k)
            v[k] = field(5 * i - 3 + k).toLongLong(&good);
        if (!good)
            continue;
        qint64 x1 = v[0] * unit + offset.x(), y1 = v[1] * unit + offset.y();
        qint64 x2 = v[2] * unit + offset.x(), y2 = v[3] * unit + offset.y();
        const qint64 f = v[4];
        if (light) {
            // A light line lies right of or below its grid line.
            if (x1 == x2) {
                x2 += b;
                if (f & 1)
                    y1 -= b;
                if (f & 2)
                    y2 += b;
            }
            if (y1 == y2) {
                y2 += b;
                if (f & 1)
                    x1 -= b;
                if (f & 2)
                    x2 += b;
            }
            Lighten(picture, {ClampToInt(x1), ClampToInt(y1), ClampToInt(x2), ClampToInt(y2)});
        } else {
            // A shadow line lies left of or above its grid line.
            if (x1 == x2) {
                x1 -= b;
                if (f & 1)
                    y1 -= b;
                if (f & 2)
                    y2 += b;
            }
            if (y1 == y2) {
                y1 -= b;
                if (f & 1)
                    x1 -= b;
                if (f & 2)
                    x2 += b;
            }
            Darken(picture, {ClampToInt(x1), ClampToInt(y1), ClampToInt(x2), ClampToInt(y2)});
        }
    }
}

} // namespace

void Lighten(QImage &picture, const TRect &rect)
{
    ApplyTable(picture, rect, LightTable);
}

void Darken(QImage &picture, const TRect &rect)
{
    ApplyTable(picture, rect, DarkTable);
}

void TZarvoPad::PaintBackgroundBevels()
{
    Ensure32(BackBitmap);
    const int w = BackBitmap.width(), h = BackBitmap.height(), b = Border;
    if (FullScreen) {
        // Raised edge around the whole board.
        Darken(BackBitmap, {0, h - b, w, h});
        Darken(BackBitmap, {w - b, 0, w, h});
        Lighten(BackBitmap, {0, 0, w, b});
        Lighten(BackBitmap, {0, 0, b, h});
    }
    if (DrawFrame) {
        // Sunken edge around the playing field.
        const TRect r{FrameRect.Left - b, FrameRect.Top - b, FrameRect.Right + b,
                      FrameRect.Bottom + b};
        Lighten(BackBitmap, {r.Left, r.Bottom - b, r.Right, r.Bottom});
        Lighten(BackBitmap, {r.Right - b, r.Top, r.Right, r.Bottom});
        Darken(BackBitmap, {r.Left, r.Top, r.Right, r.Top + b});
        Darken(BackBitmap, {r.Left, r.Top, r.Left + b, r.Bottom});
    }
    PaintLines(BackBitmap, BorderLi, true, b, UnitSize, Offset);
    PaintLines(BackBitmap, BorderSh, false, b, UnitSize, Offset);
}

void TZarvoPad::DrawPiece(const TZarvo *p, QImage &target) const
{
    const TZarvo &z = *p;
    // Fixed pieces of the piece list belong to the background.
    if (!z.Movable && !ShowObject)
        return;
    TRect dest{z.X, z.Y, z.X + z.Width, z.Y + z.Height};
    const TRect src{z.ImageX, z.ImageY, z.ImageX + z.Width, z.ImageY + z.Height};
    if (!ShowObject && Prerender)
        dest = src; // building the faces: each lands at its own picture position
    CopyBlock(target, dest.Left, dest.Top, ZarvoBitmap, src.Left, src.Top, z.Width, z.Height,
              FullRect(target));
    if (!Prerender)
        return;

    const int c = Border;
    const int l = dest.Left, t = dest.Top, r = dest.Right, bm = dest.Bottom;
    if (!NoZarvoBorder) {
        // The small squares mark inner corners where a compound piece goes on
        // on two adjacent sides; a square reached twice is shaded twice.
        if (z.EdgeBottom) {
            Darken(target, {l, bm - c, r, bm});
        } else {
            if (!z.EdgeLeft)
                Darken(target, {l, bm - c, l + c, bm});
            if (!z.EdgeRight)
                Darken(target, {r - c, bm - c, r, bm});
        }
        if (z.EdgeRight) {
            Darken(target, {r - c, t, r, bm});
        } else {
            if (!z.EdgeTop)
                Darken(target, {r - c, t, r, t + c});
            if (!z.EdgeBottom)
                Darken(target, {r - c, bm - c, r, bm});
        }
        if (z.EdgeTop) {
            Lighten(target, {l, t, r, t + c});
        } else {
            if (!z.EdgeLeft)
                Lighten(target, {l, t, l + c, t + c});
            if (!z.EdgeRight)
                Lighten(target, {r - c, t, r, t + c});
        }
        if (z.EdgeLeft) {
            Lighten(target, {l, t, l + c, bm});
        } else {
            if (!z.EdgeTop)
                Lighten(target, {l, t, l + c, t + c});
            if (!z.EdgeBottom)
                Lighten(target, {l, bm - c, l + c, bm});
        }
    }
    if (!NoZarvoCaption && !z.Caption.isEmpty() && !target.isNull())
        DrawCaption(target, QRect(l, t, z.Width, z.Height),
                    QRect(l + c + 2, t + c + 2, std::max(z.Width, 1), std::max(z.Height, 1)),
                    z.Caption);
}

void TZarvoPad::DrawCaption(QImage &target, const QRect &face, const QRect &box,
                            const QString &caption) const
{
    constexpr int flags = Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine | Qt::TextDontClip;
    QPainter painter(&target);
    painter.setClipRect(face);
    painter.setFont(Font);
    painter.setPen(FontColor);
    if (!CaptionOutline) {
        painter.drawText(box, flags, caption);
        return;
    }
    // The text is written once onto a clear layer; the outline is that
    // layer's coverage grown by one pixel, in the contrasting colour, laid
    // under the text.
    const QRect area =
        painter.boundingRect(box, flags, caption).adjusted(-1, -1, 1, 1).intersected(face);
    if (area.isEmpty())
        return;
    QImage text(area.size(), QImage::Format_ARGB32_Premultiplied);
    text.fill(Qt::transparent);
    {
        QPainter layer(&text);
        layer.setFont(Font);
        layer.setPen(FontColor);
        layer.drawText(box.translated(-area.topLeft()), flags, caption);
    }
    const QColor around = qGray(FontColor.rgb()) >= 128 ? QColor(Qt::black) : QColor(Qt::white);
    QImage outline(area.size(), QImage::Format_ARGB32_Premultiplied);
    const int w = area.width(), h = area.height();
    for (int y = 0; y < h; ++y) {
        auto *out = reinterpret_cast<QRgb *>(outline.scanLine(y));
        for (int x = 0; x < w; ++x) {
            int a = 0;
            for (int yy = std::max(y - 1, 0); yy <= std::min(y + 1, h - 1); ++yy) {
                const auto *in = reinterpret_cast<const QRgb *>(text.constScanLine(yy));
                for (int xx = std::max(x - 1, 0); xx <= std::min(x + 1, w - 1); ++xx)
                    a = std::max(a, qAlpha(in[xx]));
            }
            out[x] = qPremultiply(qRgba(around.red(), around.green(), around.blue(), a));
        }
    }
    painter.drawImage(area.topLeft(), outline);
    painter.drawImage(area.topLeft(), text);
}

void TZarvoPad::PrerenderPictures()
{
    Ensure32(BackBitmap);
    Ensure32(ZarvoBitmap);
    WorkBitmap = NewBoardPicture(Width(), Height());
    ScreenBitmap = NewBoardPicture(Width(), Height());
    FCache.DrawnValid = false;
    FCache.ScreenStale = true;

    // The goal: every goal piece, fixed ones too, at its goal cell.
    ShowObject = true;
    Prerender = true;
    Redraw();
    ShowObject = false;
    Prerender = false;
    ObjectBitmap = WorkBitmap.copy();

    // The faces: each movable piece with bevel and caption at its own picture
    // position; from then on a drag only copies finished faces.
    Prerender = true;
    Redraw();
    Prerender = false;
    ZarvoBitmap = WorkBitmap.copy();
    FCache.DrawnValid = false;
}

bool TZarvoPad::CollectDirtyRects(const TZarvoList &list, std::vector<QRect> &dirty) const
{
    if (FullRedraw || !FCache.DrawnValid || Prerender || FCache.DrawnShowObject != ShowObject ||
        FCache.Drawn.size() != list.size() || FCache.BackKey != BackBitmap.cacheKey() ||
        FCache.ZarvoKey != ZarvoBitmap.cacheKey() || FCache.WorkKey != WorkBitmap.cacheKey() ||
        WorkBitmap.size() != BackBitmap.size())
        return false;
    QRect bounds;
    for (size_t i = 0; i < list.size(); ++i) {
        const TZarvo &p = *list[i];
        const TDrawnPiece &was = FCache.Drawn[i];
        if (was.Piece != &p || was.Width != p.Width || was.Height != p.Height ||
            was.ImageX != p.ImageX || was.ImageY != p.ImageY || was.Movable != p.Movable)
            return false;
        if (was.X == p.X && was.Y == p.Y)
            continue;
        if (!p.Movable && !ShowObject)
            continue; // not drawn either way
        const QRect before(was.X, was.Y, was.Width, was.Height);
        const QRect after(p.X, p.Y, p.Width, p.Height);
        dirty.push_back(before);
        dirty.push_back(after);
        bounds |= before | after;
    }
    if (dirty.size() > MaxDirtyRects)
        dirty.assign(1, bounds);
    return true;
}

void TZarvoPad::RememberDrawn(const TZarvoList &list)
{
    FCache.Drawn.clear();
    FCache.Drawn.reserve(list.size());
    for (const auto &p : list)
        FCache.Drawn.push_back(
            {p.get(), p->X, p->Y, p->Width, p->Height, p->ImageX, p->ImageY, p->Movable});
    FCache.DrawnShowObject = ShowObject;
    FCache.BackKey = BackBitmap.cacheKey();
    FCache.ZarvoKey = ZarvoBitmap.cacheKey();
    FCache.WorkKey = WorkBitmap.cacheKey();
    FCache.DrawnValid = !Prerender;
}

void TZarvoPad::Redraw()
{
    Ensure32(BackBitmap);
    Ensure32(ZarvoBitmap);
    const TZarvoList &list = ActivePieces();
    std::vector<QRect> dirty;
    if (CollectDirtyRects(list, dirty)) {
        // Only the pieces moved: the same result as the full composition,
        // recomposed where they were and where they are.
        const QRect board = FullRect(WorkBitmap);
        for (const QRect &area : dirty) {
            const QRect r = area & board;
            if (r.isEmpty())
                continue;
            CopyBlock(WorkBitmap, r.x(), r.y(), BackBitmap, r.x(), r.y(), r.width(), r.height(), r);
            for (const auto &p : list) {
                if (!p->Movable && !ShowObject)
                    continue;
                CopyBlock(WorkBitmap, p->X, p->Y, ZarvoBitmap, p->ImageX, p->ImageY, p->Width,
                          p->Height, r);
            }
            FCache.ScreenPending |= r;
        }
    } else {
        if (WorkBitmap.size() != BackBitmap.size() || WorkBitmap.format() != QImage::Format_RGB32)
            WorkBitmap = NewBoardPicture(Width(), Height());
        CopyBlock(WorkBitmap, 0, 0, BackBitmap, 0, 0, Width(), Height(), FullRect(WorkBitmap));
        for (const auto &p : list)
            DrawPiece(p.get(), WorkBitmap);
        FCache.ScreenStale = true;
    }
    RememberDrawn(list);
    if (!Constructing)
        Paint();
}

void TZarvoPad::Paint()
{
    if (OnPaint)
        OnPaint(*this);
}

const QImage &TZarvoPad::ComposeScreen(bool withHand)
{
    if (ShowObject)
        return ObjectBitmap;
    if (!withHand || WorkBitmap.isNull())
        return WorkBitmap;

    const bool full = FCache.ScreenStale || ScreenBitmap.size() != WorkBitmap.size() ||
                      ScreenBitmap.format() != QImage::Format_RGB32 ||
                      ScreenBitmap.cacheKey() != FCache.ScreenKey ||
                      WorkBitmap.cacheKey() != FCache.WorkKey;
    if (full) {
        if (ScreenBitmap.size() != WorkBitmap.size() ||
            ScreenBitmap.format() != QImage::Format_RGB32)
            ScreenBitmap = NewBoardPicture(WorkBitmap.width(), WorkBitmap.height());
        CopyBlock(ScreenBitmap, 0, 0, WorkBitmap, 0, 0, WorkBitmap.width(), WorkBitmap.height(),
                  FullRect(ScreenBitmap));
    } else {
        // Only where the board changed and where the hand was.
        for (const QRect &r : {FCache.ScreenPending, FCache.HandRect})
            if (!r.isEmpty())
                CopyBlock(ScreenBitmap, r.x(), r.y(), WorkBitmap, r.x(), r.y(), r.width(),
                          r.height(), r);
    }

    const QImage &handPicture =
        Cursor64 ? (ButtonDown ? Hand64Down : Hand64Up) : (ButtonDown ? Hand32Down : Hand32Up);
    const QImage hand = handPicture.format() == QImage::Format_RGB32
                            ? handPicture
                            : handPicture.convertToFormat(QImage::Format_RGB32);
    const int hx = Cursor64 ? HandX - 6 : HandX - 3;
    const int hy = Cursor64 ? HandY - 7 : HandY - 4;
    const QRect area = QRect(hx, hy, hand.width(), hand.height()) & FullRect(ScreenBitmap);
    if (!area.isEmpty()) {
        // White is the transparent colour of the hand pictures.
        for (int y = area.top(); y <= area.bottom(); ++y) {
            const auto *src = reinterpret_cast<const QRgb *>(hand.constScanLine(y - hy));
            auto *dst = reinterpret_cast<QRgb *>(ScreenBitmap.scanLine(y));
            for (int x = area.left(); x <= area.right(); ++x) {
                const QRgb px = src[x - hx];
                if ((px & 0xFFFFFF) != 0xFFFFFF)
                    dst[x] = px;
            }
        }
    }
    FCache.HandRect = area;
    FCache.ScreenPending = QRect();
    FCache.ScreenStale = false;
    FCache.ScreenKey = ScreenBitmap.cacheKey();
    return ScreenBitmap;
}

void TZarvoPad::TileBackground(QImage &target, int width, int height, const QImage &texture)
{
    target = NewBoardPicture(width, height);
    if (target.isNull())
        return;
    if (texture.isNull()) {
        target.fill(FormColour); // the windows' own background colour
        return;
    }
    const QImage tile = texture.format() == QImage::Format_RGB32
                            ? texture
                            : texture.convertToFormat(QImage::Format_RGB32);
    const QRect all = FullRect(target);
    for (int y = 0; y < height; y += tile.height())
        for (int x = 0; x < width; x += tile.width())
            CopyBlock(target, x, y, tile, 0, 0, tile.width(), tile.height(), all);
}

bool TZarvoPad::SaveBoardImage()
{
    if (WorkBitmap.isNull() || FileName.isEmpty())
        return false;
    QString name = FileName;
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    if (dot > 0)
        name.truncate(dot);
    QSaveFile file(DataRoot::DataDir() + name + QStringLiteral(".bmp"));
    if (!file.open(QIODevice::WriteOnly))
        return false;
    if (!WorkBitmap.save(&file, "BMP")) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}
