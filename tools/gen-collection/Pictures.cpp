#include "Collection.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <algorithm>
#include <cmath>
#include <complex>

namespace {

constexpr double Pi = 3.14159265358979323846;

// A smooth cyclic palette: a + b * cos(2 pi (c t + d)) per channel.
QColor Cosine(double t, const double a[3], const double b[3], const double c[3], const double d[3])
{
    double rgb[3];
    for (int i = 0; i < 3; ++i)
        rgb[i] = std::clamp(a[i] + b[i] * std::cos(2 * Pi * (c[i] * t + d[i])), 0.0, 1.0);
    return QColor::fromRgbF(float(rgb[0]), float(rgb[1]), float(rgb[2]));
}

// Height of a mountain ridge at x in [0, 1]: a sum of noise octaves.
double Ridge(const TNoise &noise, double x, double scale)
{
    return noise.Fbm(x * scale, 0.5, 5) + 0.35 * std::abs(noise.Value(x * scale * 4, 3.5) - 0.5);
}

void DrawPine(QPainter &p, double x, double baseY, double height, const QColor &c)
{
    QPainterPath path;
    const double w = height * 0.38;
    for (int tier = 0; tier < 4; ++tier) {
        const double top = baseY - height + tier * height * 0.2;
        const double bottom = top + height * 0.38;
        const double half = w * (0.45 + tier * 0.18);
        path.moveTo(x, top);
        path.lineTo(x + half, bottom);
        path.lineTo(x - half, bottom);
        path.closeSubpath();
    }
    path.addRect(QRectF(x - height * 0.03, baseY - height * 0.12, height * 0.06, height * 0.12));
    p.fillPath(path, c);
}

} // namespace

QImage PaintLakeAtDusk(int width, int height)
{
    QImage img = NewImage(width, height);
    const TNoise noise(2024);
    const int horizon = int(height * 0.6);
    const QColor zenith(28, 30, 86), mid(132, 70, 132), glow(252, 160, 74);
    const double sunX = width * 0.64, sunY = horizon - height * 0.1, sunR = height * 0.065;

    auto skyAt = [&](double x, double y) {
        const double t = std::clamp(y / horizon, 0.0, 1.0);
        QColor c = t < 0.55 ? Mix(zenith, mid, t / 0.55) : Mix(mid, glow, (t - 0.55) / 0.45);
        // Thin clouds, lit pink from below.
        const double cloud = noise.Fbm(x / width * 3, y / height * 14, 5);
        const double amount =
            std::clamp((cloud - 0.55) * 3.0, 0.0, 0.7) * (t > 0.15 ? 1 : t / 0.15);
        c = Mix(c, QColor(250, 150, 150), amount * 0.6);
        // The sun and its glow.
        const double d = std::hypot(x - sunX, y - sunY);
        if (d < sunR)
            return Mix(QColor(255, 236, 170), QColor(255, 210, 120), d / sunR);
        return Mix(c, QColor(255, 214, 140), std::exp(-(d - sunR) / (height * 0.09)) * 0.75);
    };

    // Three ridges, the far ones paler: the haze of the evening.
    const QColor ridgeColor[3] = {QColor(154, 96, 140), QColor(96, 56, 106), QColor(46, 30, 66)};
    const double ridgeBase[3] = {0.36, 0.45, 0.54}, ridgeHeight[3] = {0.22, 0.2, 0.14};
    const double ridgeScale[3] = {2.2, 3.1, 4.5};
    auto landAt = [&](double x, double y, QColor &c) {
        bool hit = false;
        for (int r = 0; r < 3; ++r) {
            const double top =
                height * (ridgeBase[r] +
                          ridgeHeight[r] * (1 - Ridge(TNoise(77 + r), x / width, ridgeScale[r])));
            if (y >= top && y < horizon) {
                const double shade = noise.Fbm(x / width * 12 + r, y / height * 12, 3);
                c = Mix(ridgeColor[r], ridgeColor[r].darker(130), shade * 0.8);
                hit = true;
            }
        }
        return hit;
    };

    for (int y = 0; y < height; ++y) {
        QRgb *line = reinterpret_cast<QRgb *>(img.scanLine(y));
        for (int x = 0; x < width; ++x) {
            QColor c;
            if (y < horizon) {
                if (!landAt(x, y, c))
                    c = skyAt(x, y);
            } else {
                // The lake mirrors sky and hills, broken by ripples.
                const double depth = double(y - horizon) / (height - horizon);
                const double ripple =
                    std::sin(y * 0.9 + 6 * noise.Value(x * 0.02, y * 0.3)) * (1.5 + 6 * depth);
                const double my = std::clamp(2.0 * horizon - y - 1, 0.0, horizon - 1.0);
                const double mx = std::clamp(x + ripple, 0.0, width - 1.0);
                if (!landAt(mx, my, c))
                    c = skyAt(mx, my);
                c = Mix(c, QColor(20, 26, 60), 0.25 + 0.45 * depth);
                // Glitter on the path of the sun.
                const double path =
                    std::exp(-std::pow((x - sunX) / (width * (0.03 + 0.1 * depth)), 2));
                if (noise.Hash(x / 3, y) > 0.8 - 0.25 * path && path > 0.2)
                    c = Mix(c, QColor(255, 222, 150), path * 0.8);
            }
            line[x] = c.rgb();
        }
    }

    // Dark pines on the near shore.
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath shore;
    shore.moveTo(0, height);
    shore.lineTo(0, height * 0.78);
    for (int i = 0; i <= 20; ++i) {
        const double x = width * 0.42 * i / 20;
        shore.lineTo(x, height * (0.8 + 0.06 * (double(i) / 20) * (double(i) / 20)) -
                            height * 0.03 * noise.Value(i * 0.7, 9));
    }
    shore.lineTo(width * 0.46, height);
    shore.closeSubpath();
    const QColor night(14, 14, 30);
    p.fillPath(shore, night);
    for (int i = 0; i < 9; ++i) {
        const double x = width * (0.02 + 0.045 * i) + width * 0.01 * noise.Hash(i, 3);
        const double h = height * (0.16 + 0.12 * noise.Hash(i, 7)) * (1 - 0.06 * i);
        DrawPine(p, x, height * 0.81 + i * height * 0.004, h, night);
    }
    return img;
}

QImage PaintJulia(int width, int height)
{
    QImage img = NewImage(width, height);
    const std::complex<double> c(-0.8, 0.156);
    const double a[3] = {0.5, 0.5, 0.5}, b[3] = {0.5, 0.5, 0.5}, f[3] = {1.0, 1.0, 1.0},
                 d[3] = {0.0, 0.10, 0.20};
    const int maxIter = 400;
    for (int y = 0; y < height; ++y) {
        QRgb *line = reinterpret_cast<QRgb *>(img.scanLine(y));
        for (int x = 0; x < width; ++x) {
            double r = 0, g = 0, bl = 0;
            for (int s = 0; s < 4; ++s) {
                const double sx = x + 0.25 + 0.5 * (s % 2), sy = y + 0.25 + 0.5 * (s / 2);
                std::complex<double> z((sx / width - 0.5) * 1.7, (sy / height - 0.5) * 1.7);
                int i = 0;
                while (i < maxIter && std::norm(z) < 256) {
                    z = z * z + c;
                    ++i;
                }
                QColor col(8, 6, 24);
                if (i < maxIter) {
                    const double smooth = i + 1 - std::log2(std::log2(std::norm(z)) / 2);
                    col = Cosine(0.6 + std::log(smooth) * 0.8, a, b, f, d);
                }
                r += col.redF();
                g += col.greenF();
                bl += col.blueF();
            }
            line[x] = QColor::fromRgbF(float(r / 4), float(g / 4), float(bl / 4)).rgb();
        }
    }
    return img;
}

QImage PaintMandelbrot(int width, int height)
{
    QImage img = NewImage(width, height);
    const double cx = -0.7453, cy = 0.1127, span = 0.0095; // the seahorse valley
    const double a[3] = {0.55, 0.45, 0.5}, b[3] = {0.45, 0.4, 0.45}, f[3] = {1.0, 1.0, 1.0},
                 d[3] = {0.30, 0.20, 0.10};
    const int maxIter = 900;
    for (int y = 0; y < height; ++y) {
        QRgb *line = reinterpret_cast<QRgb *>(img.scanLine(y));
        for (int x = 0; x < width; ++x) {
            double r = 0, g = 0, bl = 0;
            for (int s = 0; s < 4; ++s) {
                const double sx = x + 0.25 + 0.5 * (s % 2), sy = y + 0.25 + 0.5 * (s / 2);
                const std::complex<double> c(cx + (sx / width - 0.5) * span,
                                             cy + (sy / height - 0.5) * span * height / width);
                std::complex<double> z = 0;
                int i = 0;
                while (i < maxIter && std::norm(z) < 256) {
                    z = z * z + c;
                    ++i;
                }
                QColor col(10, 4, 20);
                if (i < maxIter) {
                    const double smooth = i + 1 - std::log2(std::log2(std::norm(z)) / 2);
                    col = Cosine(std::log(smooth) * 0.9, a, b, f, d);
                }
                r += col.redF();
                g += col.greenF();
                bl += col.blueF();
            }
            line[x] = QColor::fromRgbF(float(r / 4), float(g / 4), float(bl / 4)).rgb();
        }
    }
    return img;
}

QImage PaintMosaic(int width, int height)
{
    // Stained glass: cells around jittered points, coloured by a rosette
    // around the centre, joined by lead.
    QImage img = NewImage(width, height);
    const TNoise noise(99);
    const int grid = 16;
    const double cell = double(width) / grid;
    std::vector<QPointF> seeds;
    for (int j = -1; j <= grid; ++j)
        for (int i = -1; i <= grid; ++i)
            seeds.push_back(QPointF((i + 0.15 + 0.7 * noise.Hash(i, j + 50)) * cell,
                                    (j + 0.15 + 0.7 * noise.Hash(i + 50, j)) * cell));
    const QColor glass[6] = {QColor(200, 30, 40), QColor(240, 170, 30), QColor(40, 120, 200),
                             QColor(30, 150, 90), QColor(130, 50, 160), QColor(240, 220, 150)};
    auto colorOf = [&](const QPointF &s, int index) {
        const double dx = s.x() - width / 2.0, dy = s.y() - height / 2.0;
        const double r = std::hypot(dx, dy) / (width / 2.0);
        const double angle = std::atan2(dy, dx);
        const double petal = std::cos(8 * angle + 6 * r);
        int k;
        if (r < 0.14)
            k = 1;
        else if (r < 0.5)
            k = petal > 0 ? 0 : 4;
        else if (r < 0.62)
            k = 5;
        else if (r < 0.95)
            k = (std::cos(12 * angle) > 0) ? 2 : 3;
        else
            k = 2 + index % 2;
        return glass[k];
    };
    for (int y = 0; y < height; ++y) {
        QRgb *line = reinterpret_cast<QRgb *>(img.scanLine(y));
        for (int x = 0; x < width; ++x) {
            const int gi = int(x / cell), gj = int(y / cell);
            double best = 1e18, second = 1e18;
            int bestIndex = 0;
            for (int j = gj - 1; j <= gj + 2; ++j)
                for (int i = gi - 1; i <= gi + 2; ++i) {
                    if (i < -1 || j < -1 || i > grid || j > grid)
                        continue;
                    const int index = (j + 1) * (grid + 2) + (i + 1);
                    const QPointF s = seeds[size_t(index)];
                    const double d = std::hypot(s.x() - x, s.y() - y);
                    if (d < best) {
                        second = best;
                        best = d;
                        bestIndex = index;
                    } else if (d < second) {
                        second = d;
                    }
                }
            const double edge = second - best;
            const QPointF s = seeds[size_t(bestIndex)];
            QColor c = colorOf(s, bestIndex);
            // Light through glass: brighter in the middle of a pane, uneven.
            const double inner = std::clamp(edge / (cell * 0.5), 0.0, 1.0);
            const double ripple = noise.Fbm(x * 0.05, y * 0.05, 3);
            c = Mix(c.darker(160), c.lighter(135), 0.35 + 0.45 * inner + 0.3 * (ripple - 0.5));
            if (edge < 3.2)
                c = Mix(QColor(30, 28, 26), QColor(70, 66, 60), edge / 3.2 * 0.5);
            line[x] = c.rgb();
        }
    }
    return img;
}

QImage PaintMeadow(int width, int height)
{
    QImage img = NewImage(width, height);
    const TNoise noise(7);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, 0, height * 0.55);
    sky.setColorAt(0, QColor(70, 130, 220));
    sky.setColorAt(1, QColor(190, 220, 250));
    p.fillRect(img.rect(), sky);
    QRadialGradient sun(width * 0.78, height * 0.18, height * 0.16);
    sun.setColorAt(0, QColor(255, 250, 200));
    sun.setColorAt(0.45, QColor(255, 230, 120));
    sun.setColorAt(1, QColor(255, 230, 120, 0));
    p.setBrush(sun);
    p.setPen(Qt::NoPen);
    p.drawEllipse(QPointF(width * 0.78, height * 0.18), height * 0.16, height * 0.16);
    const QColor hills[3] = {QColor(120, 180, 90), QColor(80, 150, 60), QColor(50, 120, 40)};
    for (int h = 0; h < 3; ++h) {
        QPainterPath path;
        path.moveTo(0, height);
        for (int i = 0; i <= 50; ++i) {
            const double x = width * i / 50.0;
            const double y = height * (0.5 + 0.12 * h) -
                             height * 0.12 * noise.Fbm(i / 50.0 * 2.5 + h * 3, 0.5, 3);
            path.lineTo(x, y);
        }
        path.lineTo(width, height);
        path.closeSubpath();
        p.fillPath(path, hills[h]);
    }
    const QColor petals[4] = {QColor(230, 40, 60), QColor(250, 210, 40), QColor(250, 250, 250),
                              QColor(170, 80, 220)};
    for (int i = 0; i < 70; ++i) {
        const double x = width * noise.Hash(i, 1);
        const double y = height * (0.66 + 0.34 * noise.Hash(i, 2));
        const double r = 2.5 + 5.0 * (y / height - 0.6);
        const QColor col = petals[i % 4];
        p.setBrush(col);
        for (int k = 0; k < 5; ++k) {
            const double a = k * 2 * Pi / 5 + noise.Hash(i, 3);
            p.drawEllipse(QPointF(x + r * std::cos(a), y + r * std::sin(a)), r * 0.7, r * 0.7);
        }
        p.setBrush(QColor(250, 190, 40));
        p.drawEllipse(QPointF(x, y), r * 0.5, r * 0.5);
    }
    return img;
}

QImage PaintExpertDeco(int size)
{
    // Eight bevelled tiles of a little sunset with the ninth cell empty.
    QImage picture = PaintLakeAtDusk(size, size);
    QImage img(size, size, QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    QPainter p(&img);
    const int part = size / 3;
    for (int j = 0; j < 3; ++j)
        for (int i = 0; i < 3; ++i) {
            if (i == 2 && j == 2)
                continue;
            const QRect r(i * part + 1, j * part + 1, part - 2, part - 2);
            p.drawImage(r, picture, r);
            p.fillRect(QRect(r.left(), r.top(), r.width(), 2), QColor(255, 255, 255, 110));
            p.fillRect(QRect(r.left(), r.top(), 2, r.height()), QColor(255, 255, 255, 110));
            p.fillRect(QRect(r.left(), r.bottom() - 1, r.width(), 2), QColor(0, 0, 0, 110));
            p.fillRect(QRect(r.right() - 1, r.top(), 2, r.height()), QColor(0, 0, 0, 110));
        }
    return img;
}
