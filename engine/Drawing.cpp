// The board's pictures: bevels painted into the background once per load,
// the finished piece faces (made tile by tile where the board is first
// drawn), the board and goal pictures composed for any area asked for, the
// hand picture, and the board picture written on request.
#include "CaptionGlyphs.h"
#include "DataRoot.h"
#include "DrawState.h"
#include "FormColour.h"
#include "PadTrack.h"
#include "ZarvoPad.h"

#include <QPainter>
#include <QRegion>
#include <QSaveFile>
#include <QThread>
#include <algorithm>
#include <array>
#include <atomic>
#include <climits>
#include <cstring>
#include <future>

namespace {

// 96 dpi: caption point sizes come out as on the screen the puzzles were made for.
constexpr int BoardDotsPerMeter = 3780;

// The faces are made in tiles of this size: wide, so a caption's painter
// works on a short band of the picture, and low, so a tile holds few rows of
// pieces.
constexpr int TileWidth = 256;
constexpr int TileHeight = 64;

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

TRect Clipped(const TRect &r, const QRect &clip)
{
    return {std::max(r.Left, clip.left()), std::max(r.Top, clip.top()),
            std::min(r.Right, clip.right() + 1), std::min(r.Bottom, clip.bottom() + 1)};
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

QRect PieceRect(const TZarvo *p)
{
    return QRect(p->X, p->Y, p->Width, p->Height);
}

QRect FaceRect(const TZarvo *p)
{
    return QRect(p->ImageX, p->ImageY, p->Width, p->Height);
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

// The bevel of piece z drawn at dest, cut to clip. The small squares mark the
// inner corners where a compound piece goes on on two adjacent sides; a
// square reached twice is shaded twice.
void Bevel(QImage &target, const TZarvo &z, const TRect &dest, int c, const QRect &clip)
{
    const int l = dest.Left, t = dest.Top, r = dest.Right, bm = dest.Bottom;
    const auto dark = [&](const TRect &rect) { Darken(target, Clipped(rect, clip)); };
    const auto light = [&](const TRect &rect) { Lighten(target, Clipped(rect, clip)); };
    if (z.EdgeBottom) {
        dark({l, bm - c, r, bm});
    } else {
        if (!z.EdgeLeft)
            dark({l, bm - c, l + c, bm});
        if (!z.EdgeRight)
            dark({r - c, bm - c, r, bm});
    }
    if (z.EdgeRight) {
        dark({r - c, t, r, bm});
    } else {
        if (!z.EdgeTop)
            dark({r - c, t, r, t + c});
        if (!z.EdgeBottom)
            dark({r - c, bm - c, r, bm});
    }
    if (z.EdgeTop) {
        light({l, t, r, t + c});
    } else {
        if (!z.EdgeLeft)
            light({l, t, l + c, t + c});
        if (!z.EdgeRight)
            light({r - c, t, r, t + c});
    }
    if (z.EdgeLeft) {
        light({l, t, l + c, bm});
    } else {
        if (!z.EdgeTop)
            light({l, t, l + c, t + c});
        if (!z.EdgeBottom)
            light({l, bm - c, l + c, bm});
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

// ---------------------------------------------------------------------------
// TRectIndex

void TRectIndex::Build(const std::vector<QRect> &rects, int unitSize)
{
    qint64 left = 0, top = 0, right = 0, bottom = 0;
    bool any = false;
    for (const QRect &r : rects) {
        if (r.isEmpty())
            continue;
        left = any ? std::min<qint64>(left, r.left()) : r.left();
        top = any ? std::min<qint64>(top, r.top()) : r.top();
        right = any ? std::max<qint64>(right, r.right()) : r.right();
        bottom = any ? std::max<qint64>(bottom, r.bottom()) : r.bottom();
        any = true;
    }
    static_cast<TGridShape &>(*this) =
        TGridShape::Over(left, top, right, bottom, unitSize, qint64(rects.size()));
    // Counted first, then filled: one array for all cells.
    Start.assign(size_t(Cols) * size_t(Rows) + 1, 0);
    // Calls visit(cell index) for every cell that rectangle i covers.
    const auto forCells = [&](size_t i, auto &&visit) {
        const QRect &r = rects[i];
        if (r.isEmpty())
            return;
        const int c0 = FloorDiv(r.left() - OriginX, CellSize);
        const int r0 = FloorDiv(r.top() - OriginY, CellSize);
        const int c1 = FloorDiv(r.right() - OriginX, CellSize);
        const int r1 = FloorDiv(r.bottom() - OriginY, CellSize);
        for (int y = r0; y <= r1; ++y)
            for (int x = c0; x <= c1; ++x)
                visit(size_t(y) * size_t(Cols) + size_t(x));
    };
    for (size_t i = 0; i < rects.size(); ++i)
        forCells(i, [&](size_t cell) { ++Start[cell + 1]; });
    for (size_t k = 1; k < Start.size(); ++k)
        Start[k] += Start[k - 1];
    Entries.assign(size_t(Start.back()), 0);
    std::vector<qint32> fill(Start.begin(), Start.end() - 1);
    for (size_t i = 0; i < rects.size(); ++i)
        forCells(i, [&](size_t cell) { Entries[size_t(fill[cell]++)] = qint32(i); });
    Stamp.assign(rects.size(), 0);
    QueryNo = 0;
}

void TRectIndex::Query(const QRect &area, std::vector<int> &out)
{
    out.clear();
    if (area.isEmpty() || !Built())
        return;
    const int c0 = std::max(0, FloorDiv(area.left() - OriginX, CellSize));
    const int c1 = std::min(Cols - 1, FloorDiv(area.right() - OriginX, CellSize));
    const int r0 = std::max(0, FloorDiv(area.top() - OriginY, CellSize));
    const int r1 = std::min(Rows - 1, FloorDiv(area.bottom() - OriginY, CellSize));
    if (++QueryNo == 0) {
        std::fill(Stamp.begin(), Stamp.end(), 0);
        QueryNo = 1;
    }
    for (int y = r0; y <= r1; ++y)
        for (int x = c0; x <= c1; ++x) {
            const size_t cell = size_t(y) * size_t(Cols) + size_t(x);
            for (qint32 k = Start[cell]; k < Start[cell + 1]; ++k) {
                const qint32 i = Entries[size_t(k)];
                if (Stamp[size_t(i)] != QueryNo) {
                    Stamp[size_t(i)] = QueryNo;
                    out.push_back(i);
                }
            }
        }
    std::sort(out.begin(), out.end());
}

// ---------------------------------------------------------------------------
// Background, single pieces

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

void TZarvoPad::DrawPiece(const TZarvo *p, QImage &target)
{
    const TZarvo &z = *p;
    // Fixed pieces of the piece list belong to the background.
    if (!z.Movable && !ShowObject)
        return;
    TRect dest{z.X, z.Y, z.X + z.Width, z.Y + z.Height};
    const TRect src{z.ImageX, z.ImageY, z.ImageX + z.Width, z.ImageY + z.Height};
    if (!ShowObject && Prerender)
        dest = src; // building the faces: each lands at its own picture position
    if (!Prerender)
        FinishFacesIn(FaceRect(p));
    CopyBlock(target, dest.Left, dest.Top, ZarvoBitmap, src.Left, src.Top, z.Width, z.Height,
              FullRect(target));
    if (!Prerender)
        return;
    if (!NoZarvoBorder)
        Bevel(target, z, dest, Border, FullRect(target));
    if (!NoZarvoCaption && !z.Caption.isEmpty() && !target.isNull()) {
        QPainter painter(&target);
        painter.setFont(Font);
        painter.setPen(FontColor);
        DrawCaption(painter, z.Caption, QRect(dest.Left, dest.Top, z.Width, z.Height),
                    FullRect(target), 0);
    }
}

void TZarvoPad::DrawCaption(QPainter &painter, const QString &caption, const QRect &piece,
                            const QRect &clip, int top, const TCaptionGlyphs *digits) const
{
    const QRect cut = piece & clip;
    if (cut.isEmpty())
        return;
    constexpr int flags = Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine | Qt::TextDontClip;
    const QRect face = piece.translated(0, -top);
    const QRect box(face.left() + Border + 2, face.top() + Border + 2, std::max(face.width(), 1),
                    std::max(face.height(), 1));
    const QRect seen = cut.translated(0, -top);
    painter.setClipRect(seen);
    if (!CaptionOutline) {
        if (!digits || !digits->Draw(painter, box, caption, seen))
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

// ---------------------------------------------------------------------------
// Faces

TDrawState &TZarvoPad::Draw() const
{
    if (!FDraw)
        FDraw = std::make_unique<TDrawState>();
    return *FDraw;
}

void TZarvoPad::TileInto(QImage &target, const QRect &area, const QImage &src, int ox, int oy)
{
    // Tiles laid from (ox, oy), continued backwards into the strip left of
    // and above it.
    const QRect r = area & FullRect(target);
    if (r.isEmpty() || src.isNull())
        return;
    const int pw = src.width(), ph = src.height();
    const auto floorMod = [](qint64 a, int m) { return int(((a % m) + m) % m); };
    uchar *bits = target.bits();
    const qsizetype stride = target.bytesPerLine();
    const size_t rowBytes = size_t(r.width()) * sizeof(QRgb);
    for (int y = r.top(); y <= r.bottom(); ++y) {
        auto *d = reinterpret_cast<QRgb *>(bits + y * stride) + r.left();
        if (y - ph >= r.top()) {
            // The row one tile height up is this row already laid.
            std::memcpy(d, reinterpret_cast<const QRgb *>(bits + (y - ph) * stride) + r.left(),
                        rowBytes);
            continue;
        }
        d -= r.left();
        const auto *s =
            reinterpret_cast<const QRgb *>(src.constScanLine(floorMod(y - qint64(oy), ph)));
        int x = r.left();
        int sx = floorMod(qint64(x) - ox, pw);
        while (x <= r.right()) {
            const int n = std::min(pw - sx, r.right() + 1 - x);
            std::memcpy(d + x, s + sx, size_t(n) * sizeof(QRgb));
            x += n;
            sx = 0;
        }
    }
}

void TZarvoPad::StartFaces(const QImage &raw, const QImage &tile, QPoint tileOrigin, QSize rawSize,
                           QImage faces, const QRect &placed)
{
    // The faces picture is board-sized: the piece picture as loaded where it
    // lies on the board, the background elsewhere (what a face that reaches
    // past the picture shows), and the faces are made from it tile by tile.
    TDrawState &d = Draw();
    if (faces.size() != QSize(Width(), Height()) || faces.format() != QImage::Format_RGB32)
        faces = NewBoardPicture(Width(), Height());
    faces.setDotsPerMeterX(BoardDotsPerMeter);
    faces.setDotsPerMeterY(BoardDotsPerMeter);
    const QRect board = FullRect(faces);
    d.Raw = QRect(QPoint(0, 0), rawSize) & board;
    if (!raw.isNull()) {
        CopyBlock(faces, 0, 0, raw, 0, 0, d.Raw.width(), d.Raw.height(), d.Raw);
    } else if (!placed.isEmpty()) {
        // The picture was decoded where it lies; the tiles around it repeat it.
        for (const QRect &r : QRegion(d.Raw).subtracted(QRegion(placed)))
            TileInto(faces, r, tile, tileOrigin.x(), tileOrigin.y());
    } else {
        TileInto(faces, d.Raw, tile, tileOrigin.x(), tileOrigin.y());
    }
    const QRect right(d.Raw.right() + 1, 0, board.width() - d.Raw.width(), board.height());
    const QRect below(0, d.Raw.bottom() + 1, d.Raw.width(), board.height() - d.Raw.height());
    for (const QRect &r : {right, below})
        if (!r.isEmpty())
            CopyBlock(faces, r.x(), r.y(), BackBitmap, r.x(), r.y(), r.width(), r.height(), r);
    ZarvoBitmap = std::move(faces);
    d.TileCols = (Width() + TileWidth - 1) / TileWidth;
    d.TileRows = (Height() + TileHeight - 1) / TileHeight;
    d.TileDone.assign(size_t(d.TileCols) * size_t(d.TileRows), 0);
    d.FacesPending = !d.TileDone.empty();
    d.FacesKey = ZarvoBitmap.cacheKey();
    d.SourcesCount = size_t(-1); // made with the first tile
}

bool TZarvoPad::FacesWaiting()
{
    if (!FDraw || !FDraw->FacesPending)
        return false;
    TDrawState &d = *FDraw;
    if (d.FacesKey != ZarvoBitmap.cacheKey() || ZarvoBitmap.size() != BackBitmap.size()) {
        // The piece picture was replaced: it is taken as it is.
        d.FacesPending = false;
        return false;
    }
    return true;
}

void TZarvoPad::PendingTilesIn(const QRect &area, std::vector<int> &tiles) const
{
    const TDrawState &d = *FDraw;
    const QRect r = area & FullRect(ZarvoBitmap);
    if (r.isEmpty())
        return;
    const int c0 = r.left() / TileWidth, c1 = r.right() / TileWidth;
    const int r0 = r.top() / TileHeight, r1 = r.bottom() / TileHeight;
    for (int ty = r0; ty <= r1; ++ty)
        for (int tx = c0; tx <= c1; ++tx) {
            const int t = ty * d.TileCols + tx;
            if (!d.TileDone[size_t(t)])
                tiles.push_back(t);
        }
}

void TZarvoPad::FinishFacesIn(const QRect &area)
{
    if (!FacesWaiting())
        return;
    std::vector<int> tiles;
    PendingTilesIn(area, tiles);
    FinishTiles(tiles);
}

void TZarvoPad::FinishFaces()
{
    FinishFacesIn(FullRect(ZarvoBitmap));
    if (FDraw)
        FDraw->FacesPending = false;
}

void TZarvoPad::FinishTiles(std::vector<int> &tiles)
{
    std::sort(tiles.begin(), tiles.end());
    tiles.erase(std::unique(tiles.begin(), tiles.end()), tiles.end());
    if (tiles.empty())
        return;
    TDrawState &d = *FDraw;
    if (d.SourcesCount != Pieces.size()) {
        std::vector<QRect> rects(Pieces.size());
        for (size_t i = 0; i < Pieces.size(); ++i)
            if (Pieces[i]->Movable)
                rects[i] = FaceRect(Pieces[i].get());
        d.Sources.Build(rects, UnitSize);
        d.SourcesCount = Pieces.size();
    }
    // Each tile is drawn within itself only, so tiles are drawn side by
    // side on as many cores as there are, each through a picture of its own
    // on ZarvoBitmap's memory; which pieces a tile holds is looked up first.
    struct TJob
    {
        QRect Tile;
        std::vector<int> Pieces;
    };
    std::vector<TJob> jobs(tiles.size());
    for (size_t k = 0; k < tiles.size(); ++k) {
        const int tx = tiles[k] % d.TileCols, ty = tiles[k] / d.TileCols;
        d.TileDone[size_t(tiles[k])] = 1;
        jobs[k].Tile =
            QRect(tx * TileWidth, ty * TileHeight, TileWidth, TileHeight) & FullRect(ZarvoBitmap);
        d.Sources.Query(jobs[k].Tile, jobs[k].Pieces);
    }
    uchar *bits = ZarvoBitmap.bits();
    const int width = ZarvoBitmap.width(), height = ZarvoBitmap.height();
    const qsizetype stride = ZarvoBitmap.bytesPerLine();
    std::atomic<size_t> next{0};
    const auto work = [&] {
        QImage faces(bits, width, height, stride, QImage::Format_RGB32);
        std::unique_ptr<TCaptionGlyphs> digits;
        for (size_t k = next++; k < jobs.size(); k = next++)
            DrawTile(faces, jobs[k].Tile, jobs[k].Pieces, digits);
    };
    constexpr size_t TilesPerHelper = 8; // below that a thread costs more than it saves
    const size_t helpers = std::min<size_t>(
        {size_t(std::max(QThread::idealThreadCount(), 1)) - 1, jobs.size() / TilesPerHelper, 7});
    std::vector<std::future<void>> running;
    for (size_t k = 0; k < helpers; ++k)
        running.push_back(std::async(std::launch::async, work));
    work();
    for (auto &f : running)
        f.get();
    d.FacesKey = ZarvoBitmap.cacheKey();
}

bool TZarvoPad::FacesCoverOnce(const QRect &tile, const std::vector<int> &pieces) const
{
    // Faces of one size on one grid at different places do not overlap;
    // then they cover the tile when their parts in it add up to it.
    if (pieces.empty() || !FDraw->Raw.contains(tile))
        return false;
    const QRect first = FaceRect(Pieces[size_t(pieces[0])].get());
    const int w = first.width(), h = first.height();
    if (w <= 0 || h <= 0)
        return false;
    std::vector<QPoint> places;
    places.reserve(pieces.size());
    qint64 covered = 0;
    for (int i : pieces) {
        const QRect face = FaceRect(Pieces[size_t(i)].get());
        if (face.size() != first.size() || (face.x() - first.x()) % w != 0 ||
            (face.y() - first.y()) % h != 0)
            return false;
        places.push_back(face.topLeft());
        const QRect part = face & tile;
        covered += qint64(part.width()) * part.height();
    }
    std::sort(places.begin(), places.end(), [](QPoint a, QPoint b) {
        return std::make_pair(a.y(), a.x()) < std::make_pair(b.y(), b.x());
    });
    if (std::adjacent_find(places.begin(), places.end()) != places.end())
        return false;
    return covered == qint64(tile.width()) * tile.height();
}

void TZarvoPad::DrawTile(QImage &faces, const QRect &tile, const std::vector<int> &pieces,
                         std::unique_ptr<TCaptionGlyphs> &digits) const
{
    const TDrawState &d = *FDraw;
    // The tile as the whole picture would have been made: the background,
    // then every movable piece's face in list order, each from the picture
    // as loaded, with its bevel and caption. Faces that cover the tile
    // without overlapping leave it showing the picture as loaded: only
    // their bevels and captions are added then.
    if (!FacesCoverOnce(tile, pieces)) {
        const QImage raw = faces.copy(tile);
        CopyBlock(faces, tile.x(), tile.y(), BackBitmap, tile.x(), tile.y(), tile.width(),
                  tile.height(), tile);
        const QRect rawTile = tile & d.Raw;
        for (int i : pieces) {
            const QRect copy = FaceRect(Pieces[size_t(i)].get()) & rawTile;
            if (!copy.isEmpty())
                CopyBlock(faces, copy.x(), copy.y(), raw, copy.x() - tile.x(), copy.y() - tile.y(),
                          copy.width(), copy.height(), copy);
        }
    }
    if (pieces.empty())
        return;
    // Captions are written on the band of rows the tile covers, a picture
    // sharing the faces' memory, so their painter has a short picture.
    uchar *bits = faces.bits();
    QImage band(bits + qsizetype(tile.top()) * faces.bytesPerLine(), faces.width(), tile.height(),
                faces.bytesPerLine(), QImage::Format_RGB32);
    band.setDotsPerMeterX(BoardDotsPerMeter);
    band.setDotsPerMeterY(BoardDotsPerMeter);
    std::unique_ptr<QPainter> painter;
    for (int i : pieces) {
        const TZarvo &z = *Pieces[size_t(i)];
        const QRect face = FaceRect(&z);
        if (!NoZarvoBorder)
            Bevel(faces, z, {face.left(), face.top(), face.left() + z.Width, face.top() + z.Height},
                  Border, tile);
        if (!NoZarvoCaption && !z.Caption.isEmpty()) {
            if (!painter) {
                painter = std::make_unique<QPainter>(&band);
                painter->setFont(Font);
                painter->setPen(FontColor);
                if (!digits && !CaptionOutline)
                    digits = std::make_unique<TCaptionGlyphs>(Font, &band);
            }
            DrawCaption(*painter, z.Caption, face, tile, tile.top(), digits.get());
        }
    }
}

bool TZarvoPad::GoalFromFacesPossible(const QRect &raw) const
{
    // The goal picture is the goal list drawn from the faces when every goal
    // piece stands at its own picture position and its face there is
    // exactly the one the goal would draw: a movable piece of the same size,
    // edges and caption is the last face drawn there, on a unit-sized cell
    // of the picture as loaded, and no other face reaches into it.
    const int unit = UnitSize;
    if (Objects.empty())
        return true; // the goal picture is the background
    if (unit <= 0)
        return false;
    const QRect inside = raw & QRect(0, 0, Width(), Height());
    const auto cellOf = [&](const TZarvo *p, QPoint &cell) {
        if (p->Width != unit || p->Height != unit)
            return false;
        const int dx = p->ImageX - Offset.x(), dy = p->ImageY - Offset.y();
        if (FloorDiv(dx, unit) * unit != dx || FloorDiv(dy, unit) * unit != dy)
            return false;
        cell = QPoint(FloorDiv(dx, unit), FloorDiv(dy, unit));
        return true;
    };
    QPoint lo(INT_MAX, INT_MAX), hi(INT_MIN, INT_MIN);
    for (const auto &piece : Pieces) {
        if (!piece->Movable)
            continue;
        QPoint c;
        if (!cellOf(piece.get(), c))
            return false; // faces of other sizes: not worth working out
        lo = QPoint(std::min(lo.x(), c.x()), std::min(lo.y(), c.y()));
        hi = QPoint(std::max(hi.x(), c.x()), std::max(hi.y(), c.y()));
    }
    if (lo.x() > hi.x())
        return false;
    const qint64 cols = qint64(hi.x()) - lo.x() + 1, rows = qint64(hi.y()) - lo.y() + 1;
    if (cols * rows > 4 * qint64(Pieces.size()) + 4096)
        return false;
    std::vector<qint32> last(size_t(cols * rows), -1);
    for (size_t i = 0; i < Pieces.size(); ++i) {
        QPoint c;
        if (Pieces[i]->Movable && cellOf(Pieces[i].get(), c))
            last[size_t(c.y() - lo.y()) * size_t(cols) + size_t(c.x() - lo.x())] = qint32(i);
    }
    for (const auto &goal : Objects) {
        const TZarvo *g = goal.get();
        QPoint c;
        if (g->X != g->ImageX || g->Y != g->ImageY || !cellOf(g, c) || c.x() < lo.x() ||
            c.x() > hi.x() || c.y() < lo.y() || c.y() > hi.y())
            return false;
        const qint32 i = last[size_t(c.y() - lo.y()) * size_t(cols) + size_t(c.x() - lo.x())];
        if (i < 0)
            return false;
        const TZarvo *p = Pieces[size_t(i)].get();
        if (!inside.contains(FaceRect(g)) || p->EdgeTop != g->EdgeTop ||
            p->EdgeRight != g->EdgeRight || p->EdgeBottom != g->EdgeBottom ||
            p->EdgeLeft != g->EdgeLeft || (!NoZarvoCaption && p->Caption != g->Caption))
            return false;
    }
    return true;
}

QImage TZarvoPad::RenderGoal(const QImage &raw)
{
    // The goal as the pre-rendering draws it: every goal piece, fixed ones
    // too, at its goal cell, from the picture as loaded, with bevel and caption.
    QImage goal = NewBoardPicture(Width(), Height());
    CopyBlock(goal, 0, 0, BackBitmap, 0, 0, Width(), Height(), FullRect(goal));
    std::unique_ptr<QPainter> painter;
    for (const auto &piece : Objects) {
        const TZarvo &z = *piece;
        const TRect dest{z.X, z.Y, z.X + z.Width, z.Y + z.Height};
        CopyBlock(goal, z.X, z.Y, raw, z.ImageX, z.ImageY, z.Width, z.Height, FullRect(goal));
        if (!NoZarvoBorder)
            Bevel(goal, z, dest, Border, FullRect(goal));
        if (!NoZarvoCaption && !z.Caption.isEmpty()) {
            if (!painter) {
                painter = std::make_unique<QPainter>(&goal);
                painter->setFont(Font);
                painter->setPen(FontColor);
            }
            DrawCaption(*painter, z.Caption, PieceRect(&z), FullRect(goal), 0);
        }
    }
    return goal;
}

void TZarvoPad::PrerenderPictures()
{
    Ensure32(BackBitmap);
    Ensure32(ZarvoBitmap);
    FDraw = std::make_unique<TDrawState>();
    TDrawState &d = *FDraw;
    // The goal: every goal piece, fixed ones too, at its goal cell. Then
    // the faces: each movable piece with bevel and caption at its own
    // picture position; from then on a drag only copies finished faces.
    d.Object = RenderGoal(ZarvoBitmap);
    const QImage raw = ZarvoBitmap;
    StartFaces(raw, QImage(), QPoint(), raw.size());
    FinishFaces();
    NoteChangedRect(QRect(0, 0, Width(), Height()));
}

void TZarvoPad::PrepareLoadedPictures(const QImage &tile, QPoint tileOrigin, QSize rawSize,
                                      bool goalFromFaces, QImage faces, const QRect &placed)
{
    // As PrerenderPictures, with the faces made where the board is drawn and
    // the goal picture drawn from them whenever it can be: a loaded picture
    // puzzle keeps the background, the faces and nothing else board-sized.
    Ensure32(BackBitmap);
    FDraw = std::make_unique<TDrawState>();
    TDrawState &d = *FDraw;
    if (goalFromFaces) {
        d.GoalFromFaces = true;
        StartFaces(QImage(), tile, tileOrigin, rawSize, std::move(faces), placed);
    } else {
        QImage whole(rawSize, QImage::Format_RGB32);
        TileInto(whole, FullRect(whole), tile, tileOrigin.x(), tileOrigin.y());
        d.Object = RenderGoal(whole);
        StartFaces(whole, QImage(), QPoint(), rawSize, std::move(faces));
    }
}

// ---------------------------------------------------------------------------
// Composing

void TZarvoPad::ComposeArea(QImage &target, QPoint origin, const QRect &area, bool goal)
{
    // area in board coordinates, target's pixel (0, 0) at board point origin.
    const QRect clip = area.translated(-origin);
    TDrawState &d = Draw();
    if (goal && !d.GoalFromFaces && !d.Object.isNull()) {
        CopyBlock(target, clip.x(), clip.y(), d.Object, area.x(), area.y(), area.width(),
                  area.height(), clip);
        return;
    }
    const bool objects = goal || ShowObject;
    const TZarvoList &list = objects ? Objects : Pieces;
    std::vector<int> found;
    if (area.contains(QRect(0, 0, Width(), Height()))) {
        // The whole board: every piece, in list order.
        found.resize(list.size());
        for (size_t i = 0; i < list.size(); ++i)
            found[i] = int(i);
    } else if (objects) {
        if (d.GoalsCount != Objects.size() || !TrackCurrent(d.GoalsGeneration)) {
            std::vector<QRect> rects(Objects.size());
            for (size_t i = 0; i < Objects.size(); ++i)
                rects[i] = PieceRect(Objects[i].get());
            d.Goals.Build(rects, UnitSize);
            d.GoalsCount = Objects.size();
        }
        d.Goals.Query(area, found);
    } else {
        Track()->Grid.Query(area.left(), area.top(), area.right(), area.bottom(), found);
    }
    // Pieces that follow each other in the list, side by side or row under
    // row, with their faces side by side in the same way (pieces in their
    // home cells), are copied as one block: the same pixels, fewer copies.
    struct TRun
    {
        QRect Dest;
        QPoint Shift; // from the board to the faces
    };
    if (FacesWaiting()) {
        // The faces of everything found are finished together, and so on
        // every core; of a face only what shows in area.
        std::vector<int> tiles;
        for (int i : found) {
            const TZarvo *p = list[size_t(i)].get();
            if (objects || p->Movable)
                PendingTilesIn((PieceRect(p) & area).translated(p->ImageX - p->X, p->ImageY - p->Y),
                               tiles);
        }
        FinishTiles(tiles);
    }
    std::vector<TRun> runs;
    for (int i : found) {
        const TZarvo *p = list[size_t(i)].get();
        if (!objects && !p->Movable)
            continue; // fixed pieces of the piece list belong to the background
        const QPoint shift(p->ImageX - p->X, p->ImageY - p->Y);
        if (!runs.empty() && p->Width > 0 && p->Height > 0 && runs.back().Shift == shift) {
            QRect &last = runs.back().Dest;
            if (last.top() == p->Y && last.height() == p->Height && p->X == last.right() + 1) {
                last.setRight(p->X + p->Width - 1);
                continue;
            }
            if (last.left() == p->X && last.width() == p->Width && p->Y == last.bottom() + 1) {
                last.setBottom(p->Y + p->Height - 1);
                continue;
            }
        }
        runs.push_back({PieceRect(p), shift});
    }
    // The background only where no copied face covers it, as long as that
    // is quickly worked out.
    constexpr size_t MaxRunsForCover = 64;
    if (runs.size() <= MaxRunsForCover) {
        QRegion back(area);
        for (const TRun &r : runs)
            back -= r.Dest & area & ZarvoBitmap.rect().translated(-r.Shift);
        for (const QRect &b : back)
            CopyBlock(target, b.x() - origin.x(), b.y() - origin.y(), BackBitmap, b.x(), b.y(),
                      b.width(), b.height(), clip);
    } else {
        CopyBlock(target, clip.x(), clip.y(), BackBitmap, area.x(), area.y(), area.width(),
                  area.height(), clip);
    }
    for (const TRun &r : runs)
        CopyBlock(target, r.Dest.x() - origin.x(), r.Dest.y() - origin.y(), ZarvoBitmap,
                  r.Dest.x() + r.Shift.x(), r.Dest.y() + r.Shift.y(), r.Dest.width(),
                  r.Dest.height(), clip);
}

QImage TZarvoPad::ComposeBoard()
{
    QImage picture = NewBoardPicture(Width(), Height());
    ComposeArea(picture, QPoint(0, 0), FullRect(picture), false);
    return picture;
}

const QImage &TZarvoPad::WorkBitmap()
{
    // Kept from the first time it is asked for, and brought up to date where
    // pieces moved since.
    Track(); // notices pieces added or taken away
    VerifyTrack();
    TDrawState &d = Draw();
    const QRect board(0, 0, Width(), Height());
    const bool whole = !d.WorkValid || d.Work.size() != board.size() || FullRedraw ||
                       d.WorkShowObject != ShowObject || d.WorkBackKey != BackBitmap.cacheKey() ||
                       d.WorkZarvoKey != ZarvoBitmap.cacheKey();
    if (whole) {
        if (d.Work.size() != board.size())
            d.Work = NewBoardPicture(board.width(), board.height());
        ComposeArea(d.Work, QPoint(0, 0), board, false);
    } else {
        for (const QRect &r : d.WorkStale)
            ComposeArea(d.Work, QPoint(0, 0), r & board, false);
    }
    d.WorkStale.clear();
    d.WorkValid = true;
    d.WorkShowObject = ShowObject;
    d.WorkBackKey = BackBitmap.cacheKey();
    d.WorkZarvoKey = ZarvoBitmap.cacheKey();
    return d.Work;
}

const QImage &TZarvoPad::ObjectBitmap()
{
    TDrawState &d = Draw();
    if (!d.GoalFromFaces)
        return d.Object;
    Track();
    if (d.GoalMade.size() != QSize(Width(), Height()) ||
        d.GoalMadeBackKey != BackBitmap.cacheKey() ||
        d.GoalMadeZarvoKey != ZarvoBitmap.cacheKey() || !TrackCurrent(d.GoalMadeGeneration)) {
        d.GoalMade = NewBoardPicture(Width(), Height());
        ComposeArea(d.GoalMade, QPoint(0, 0), FullRect(d.GoalMade), true);
        d.GoalMadeBackKey = BackBitmap.cacheKey();
        d.GoalMadeZarvoKey = ZarvoBitmap.cacheKey();
    }
    return d.GoalMade;
}

void TZarvoPad::Redraw()
{
    // The pictures are composed where and when they are shown; what moved is
    // known to the board's record of its pieces.
    Ensure32(BackBitmap);
    Ensure32(ZarvoBitmap);
    VerifyTrack();
    if (!Constructing)
        Paint();
}

void TZarvoPad::Paint()
{
    if (OnPaint)
        OnPaint(*this);
}

QRect TZarvoPad::HandRect() const
{
    const QImage &hand =
        Cursor64 ? (ButtonDown ? Hand64Down : Hand64Up) : (ButtonDown ? Hand32Down : Hand32Up);
    const int hx = Cursor64 ? HandX - 6 : HandX - 3;
    const int hy = Cursor64 ? HandY - 7 : HandY - 4;
    return QRect(hx, hy, hand.width(), hand.height());
}

std::vector<QRect> TZarvoPad::TakeChangedAreas()
{
    std::vector<QRect> areas;
    if (TPadTrack *t = Track())
        areas.swap(t->Changed);
    if (FDraw && !FDraw->HandShown.isEmpty())
        areas.push_back(FDraw->HandShown);
    areas.push_back(HandRect() & QRect(0, 0, Width(), Height()));
    return areas;
}

const QImage &TZarvoPad::ComposeScreen(bool withHand)
{
    return ComposeScreen(withHand, QRect(0, 0, Width(), Height()));
}

const QImage &TZarvoPad::ComposeScreen(bool withHand, const QRect &area)
{
    TDrawState &d = Draw();
    const QRect r = area & QRect(0, 0, Width(), Height());
    if (d.Screen.size() != r.size())
        d.Screen = NewBoardPicture(r.width(), r.height());
    if (r.isEmpty())
        return d.Screen;
    Track();
    VerifyTrack();
    if (ShowObject) {
        // While the goal is shown, the view gets the goal picture, hand or not.
        ComposeArea(d.Screen, r.topLeft(), r, true);
        d.HandShown = QRect();
        return d.Screen;
    }
    ComposeArea(d.Screen, r.topLeft(), r, false);
    d.HandShown = QRect();
    if (!withHand)
        return d.Screen;
    const QImage &handPicture =
        Cursor64 ? (ButtonDown ? Hand64Down : Hand64Up) : (ButtonDown ? Hand32Down : Hand32Up);
    const QImage hand = handPicture.format() == QImage::Format_RGB32
                            ? handPicture
                            : handPicture.convertToFormat(QImage::Format_RGB32);
    const QRect handRect = HandRect();
    d.HandShown = handRect & QRect(0, 0, Width(), Height());
    const QRect cut = handRect & r;
    // White is the transparent colour of the hand pictures.
    for (int y = cut.top(); y <= cut.bottom(); ++y) {
        const auto *src = reinterpret_cast<const QRgb *>(hand.constScanLine(y - handRect.top()));
        auto *dst = reinterpret_cast<QRgb *>(d.Screen.scanLine(y - r.top()));
        for (int x = cut.left(); x <= cut.right(); ++x) {
            const QRgb px = src[x - handRect.left()];
            if ((px & 0xFFFFFF) != 0xFFFFFF)
                dst[x - r.left()] = px;
        }
    }
    return d.Screen;
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
    if (BackBitmap.isNull() || FileName.isEmpty())
        return false;
    QString name = FileName;
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    if (dot > 0)
        name.truncate(dot);
    QSaveFile file(DataRoot::DataDir() + name + QStringLiteral(".bmp"));
    if (!file.open(QIODevice::WriteOnly))
        return false;
    if (!ComposeBoard().save(&file, "BMP")) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}
