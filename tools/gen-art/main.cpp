// Draws the game's built-in pictures: the wooden "BACK" tile behind every
// puzzle without a background of its own, and the open and closed hand
// that stands in for the mouse pointer over a board (32 and 64 pixels).
// Hands are 24-bit with white as the transparent colour, so the edge is
// cut hard: a half-covered edge pixel is either hand or background.
// Also draws the program icon for desktop menus, once as SVG and as PNGs
// from 16 to 256 pixels, all from one list of shapes.
#include <QBuffer>
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QSaveFile>
#include <QTransform>
#include <QtMath>
#include <cstdio>

namespace {

const QColor Outline(34, 30, 28);
const QColor Skin(250, 238, 222);
const QColor Crease(196, 170, 150);

QPainterPath Rounded(qreal x, qreal y, qreal w, qreal h, qreal r)
{
    QPainterPath p;
    p.addRoundedRect(QRectF(x, y, w, h), r, r);
    return p;
}

// Open hand, fingers up and slightly spread; the index fingertip is the
// pointer's hot spot near the top-left corner. Designed on a 64 grid.
void DrawOpenHand(QPainter &p)
{
    QPainterPath thumb = Rounded(-5, -14, 10, 28, 5);
    thumb = QTransform().translate(47, 44).rotate(38).map(thumb);
    const QPainterPath fingers[] = {Rounded(2, 3, 10, 34, 5), Rounded(13, 1, 10, 36, 5),
                                    Rounded(24, 4, 10, 33, 5), Rounded(35, 11, 9, 27, 4.5)};
    const QPainterPath palm = Rounded(2, 26, 42, 35, 11);
    p.setPen(QPen(Outline, 2.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Skin);
    p.drawPath(thumb);
    for (const QPainterPath &f : fingers)
        p.drawPath(f);
    // The palm covers the finger roots; only its outline below them is drawn.
    p.setPen(Qt::NoPen);
    p.drawPath(palm);
    p.setPen(QPen(Outline, 2.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    QPainterPath lower;
    lower.moveTo(2, 34);
    lower.lineTo(2, 50);
    lower.quadTo(2, 61, 13, 61);
    lower.lineTo(33, 61);
    lower.quadTo(44, 61, 44, 50);
    lower.lineTo(44, 36);
    p.drawPath(lower);
    p.setPen(QPen(Crease, 1.6, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(12, 44), QPointF(30, 40));
}

// Closed hand: a fist seen from the front, knuckles on top; the hot spot
// lies on the first knuckle.
void DrawClosedHand(QPainter &p)
{
    p.setPen(QPen(Outline, 2.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Skin);
    p.drawPath(Rounded(3, 18, 40, 40, 11));
    const qreal knuckles[][3] = {{3, 6, 10}, {13, 4, 10}, {23, 6, 10}, {33, 10, 9}};
    for (const auto &k : knuckles)
        p.drawPath(Rounded(k[0], k[1], k[2], 22, 5));
    // The bent fingers' middle joints.
    p.setPen(QPen(Crease, 1.6, Qt::SolidLine, Qt::RoundCap));
    for (const auto &k : knuckles)
        p.drawLine(QPointF(k[0] + 2, k[1] + 15), QPointF(k[0] + k[2] - 2, k[1] + 15));
    // The thumb folded across the front of the fist.
    p.setPen(QPen(Outline, 2.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Skin);
    p.drawPath(Rounded(6, 33, 32, 11, 5.5));
}

QImage RenderHand(int size, bool closed)
{
    QImage argb(size, size, QImage::Format_ARGB32);
    argb.fill(Qt::transparent);
    {
        QPainter p(&argb);
        p.setRenderHint(QPainter::Antialiasing);
        p.scale(size / 64.0, size / 64.0);
        if (closed)
            DrawClosedHand(p);
        else
            DrawOpenHand(p);
    }
    QImage out(size, size, QImage::Format_RGB888);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            const QRgb px = argb.pixel(x, y);
            QRgb rgb = 0xFFFFFF;
            if (qAlpha(px) >= 110) {
                rgb = px & 0xFFFFFF;
                if (rgb == 0xFFFFFF)
                    rgb = 0xFEFEFE; // white would turn transparent
            }
            out.setPixel(x, y, rgb | 0xFF000000u);
        }
    return out;
}

// Deterministic noise that repeats every 32 pixels, so the tile has no seams.
double Noise(int x, int y)
{
    quint32 h = quint32(x & 31) * 374761393u + quint32(y & 31) * 668265263u;
    h = (h ^ (h >> 13)) * 1274126177u;
    return double((h ^ (h >> 16)) & 0xFFFF) / 65535.0;
}

// A tile of light oak: fine grain lines running across with a slight sway,
// darker late-wood bands and a little pore noise, repeating seamlessly.
QImage RenderWood()
{
    const int n = 32;
    QImage out(n, n, QImage::Format_RGB888);
    for (int y = 0; y < n; ++y)
        for (int x = 0; x < n; ++x) {
            const double u = 2 * M_PI * x / n, v = 2 * M_PI * y / n;
            const double sway = 0.35 * std::sin(u) + 0.15 * std::sin(2 * u + 0.7);
            const double bands = std::sin(2 * v + sway + 0.4 * std::sin(v));
            const double grain =
                0.5 * std::sin(9 * v + 3 * sway) + 0.3 * std::sin(14 * v + 5 * sway);
            // Pores: noise stretched along the grain.
            const double pores = (Noise(x / 4, y) + Noise(x / 4 + 1, y)) / 2 - 0.5;
            const double shade = 0.55 + 0.16 * bands + 0.10 * grain + 0.12 * pores;
            const int r = qBound(0, int(120 + 95 * shade), 255);
            const int g = qBound(0, int(78 + 66 * shade), 255);
            const int b = qBound(0, int(40 + 36 * shade), 255);
            out.setPixel(x, y, qRgb(r, g, b));
        }
    return out;
}

// The program icon: a wooden tray holding a big red block, three light
// blocks and one free cell, designed on a 256 grid. Kept to filled and
// outlined rounded rectangles so the SVG and the painted PNGs agree.
struct TIconShape
{
    QRectF Box;
    qreal Radius;
    QColor Fill;
    QColor Stroke; // invalid: no outline
    qreal StrokeWidth;
};

QVector<TIconShape> IconShapes()
{
    const QColor dark(42, 26, 14);
    QVector<TIconShape> shapes{
        {QRectF(8, 8, 240, 240), 36, QColor(176, 120, 64), dark, 8},     // tray
        {QRectF(36, 36, 184, 184), 12, QColor(59, 36, 20), QColor(), 0}, // field
    };
    // Blocks on a 3 x 3 grid of 56-unit cells: column, row, width, height.
    struct TBlock
    {
        int C, R, W, H;
        bool Red;
    };
    const TBlock blocks[] = {
        {0, 0, 2, 2, true}, {2, 0, 1, 1, false}, {2, 1, 1, 1, false}, {0, 2, 2, 1, false}};
    for (const TBlock &b : blocks) {
        const QRectF face(44 + b.C * 56 + 4, 44 + b.R * 56 + 4, b.W * 56 - 8, b.H * 56 - 12);
        const QColor fill = b.Red ? QColor(200, 54, 46) : QColor(240, 217, 168);
        const QColor side = b.Red ? QColor(110, 22, 18) : QColor(156, 122, 69);
        shapes.append({face.translated(0, 6), 8, side, QColor(), 0}); // the block's lower edge
        shapes.append({face, 8, fill, dark, 3});
    }
    return shapes;
}

QString SvgColor(const QColor &c)
{
    return c.name(QColor::HexRgb);
}

QByteArray IconSvg()
{
    QString svg = QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                                 "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"256\" "
                                 "height=\"256\" viewBox=\"0 0 256 256\">\n");
    for (const TIconShape &s : IconShapes()) {
        svg += QStringLiteral("  <rect x=\"%1\" y=\"%2\" width=\"%3\" height=\"%4\" rx=\"%5\" "
                              "fill=\"%6\"")
                   .arg(s.Box.x())
                   .arg(s.Box.y())
                   .arg(s.Box.width())
                   .arg(s.Box.height())
                   .arg(s.Radius)
                   .arg(SvgColor(s.Fill));
        if (s.Stroke.isValid())
            svg += QStringLiteral(" stroke=\"%1\" stroke-width=\"%2\"")
                       .arg(SvgColor(s.Stroke))
                       .arg(s.StrokeWidth);
        svg += QStringLiteral("/>\n");
    }
    svg += QStringLiteral("</svg>\n");
    return svg.toUtf8();
}

// Small icons have their edges moved onto whole pixels, so the blocks stay
// apart instead of blurring into each other.
QImage RenderIcon(int size)
{
    QImage image(size, size, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal scale = size / 256.0;
    for (const TIconShape &s : IconShapes()) {
        QRectF box(s.Box.topLeft() * scale, s.Box.size() * scale);
        if (size <= 32)
            box = QRectF(QPointF(qRound(box.left()), qRound(box.top())),
                         QPointF(qRound(box.right()), qRound(box.bottom())));
        p.setBrush(s.Fill);
        // Outlines thinner than most of a pixel would only darken the
        // small faces; there the colours alone keep the blocks apart.
        if (s.Stroke.isValid() && s.StrokeWidth * scale >= 0.75) {
            const qreal width = qMax(1.0, s.StrokeWidth * scale);
            p.setPen(QPen(s.Stroke, width));
            // Keep the outline inside the pixels the shape covers.
            if (size <= 32)
                box.adjust(width / 2, width / 2, -width / 2, -width / 2);
        } else {
            p.setPen(Qt::NoPen);
        }
        p.drawRoundedRect(box, s.Radius * scale, s.Radius * scale);
    }
    return image;
}

bool WriteFile(const QString &path, const QByteArray &bytes)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return false;
    }
    std::printf("%s\n", qPrintable(path));
    return true;
}

bool Save(const QImage &image, const QString &dir, const char *name)
{
    const QString path = QDir(dir).filePath(QString::fromLatin1(name));
    if (!image.save(path, "BMP")) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return false;
    }
    std::printf("%s\n", qPrintable(path));
    return true;
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: zarvos-gen-resources RESOURCEDIR\n");
        return 2;
    }
    const QString resources = QString::fromLocal8Bit(argv[1]);
    const QString dir = QDir(resources).filePath(QStringLiteral("images"));
    bool ok = Save(RenderWood(), dir, "BACK.bmp");
    ok = Save(RenderHand(32, false), dir, "ImgCursor32u.bmp") && ok;
    ok = Save(RenderHand(32, true), dir, "ImgCursor32d.bmp") && ok;
    ok = Save(RenderHand(64, false), dir, "ImgCursor64u.bmp") && ok;
    ok = Save(RenderHand(64, true), dir, "ImgCursor64d.bmp") && ok;

    const QString icons = QDir(resources).filePath(QStringLiteral("icons"));
    QDir().mkpath(icons);
    ok = WriteFile(QDir(icons).filePath(QStringLiteral("zarvos.svg")), IconSvg()) && ok;
    for (const int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        RenderIcon(size).save(&buffer, "PNG");
        ok = WriteFile(QDir(icons).filePath(QStringLiteral("zarvos-%1.png").arg(size)), png) && ok;
    }
    return ok ? 0 : 1;
}
