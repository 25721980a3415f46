// Draws the game's built-in pictures: the wooden "BACK" tile behind every
// puzzle without a background of its own, and the open and closed hand
// that stands in for the mouse pointer over a board (32 and 64 pixels).
// Hands are 24-bit with white as the transparent colour, so the edge is
// cut hard: a half-covered edge pixel is either hand or background.
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
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
    quint32 h = quint32((x & 31) * 374761393 + (y & 31) * 668265263);
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
        std::fprintf(stderr, "usage: zarvos-gen-resources OUTDIR\n");
        return 2;
    }
    const QString dir = QString::fromLocal8Bit(argv[1]);
    bool ok = Save(RenderWood(), dir, "BACK.bmp");
    ok = Save(RenderHand(32, false), dir, "ImgCursor32u.bmp") && ok;
    ok = Save(RenderHand(32, true), dir, "ImgCursor32d.bmp") && ok;
    ok = Save(RenderHand(64, false), dir, "ImgCursor64u.bmp") && ok;
    ok = Save(RenderHand(64, true), dir, "ImgCursor64d.bmp") && ok;
    return ok ? 0 : 1;
}
