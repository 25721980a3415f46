#include "Collection.h"

#include <QRect>
#include <algorithm>
#include <cmath>

namespace {

constexpr double Pi = 3.14159265358979323846;

struct TMaterialLook
{
    QColor Light, Dark;
    bool Lacquer = false; // smooth, glossy, the grain only faintly visible
    double Rings = 0.11;  // growth rings per pixel across the grain
};

TMaterialLook Look(TMaterial m)
{
    switch (m) {
    case TMaterial::Maple:
        return {QColor(238, 211, 164), QColor(190, 143, 88), false, 0.09};
    case TMaterial::Walnut:
        return {QColor(152, 104, 66), QColor(78, 48, 28), false, 0.12};
    case TMaterial::Cherry:
        return {QColor(204, 120, 76), QColor(128, 60, 34), false, 0.10};
    case TMaterial::RedLacquer:
        return {QColor(214, 38, 40), QColor(122, 12, 18), true, 0.10};
    case TMaterial::BlueLacquer:
        return {QColor(52, 98, 200), QColor(18, 38, 108), true, 0.10};
    case TMaterial::Gold:
        return {QColor(246, 206, 92), QColor(164, 112, 28), true, 0.08};
    case TMaterial::Jade:
        return {QColor(84, 178, 122), QColor(26, 92, 58), true, 0.10};
    case TMaterial::Ivory:
        return {QColor(250, 243, 226), QColor(212, 196, 164), false, 0.06};
    case TMaterial::Slate:
        return {QColor(122, 124, 130), QColor(58, 60, 68), false, 0.05};
    }
    return {};
}

double SmoothStep(double a, double b, double x)
{
    const double t = std::clamp((x - a) / (b - a), 0.0, 1.0);
    return t * t * (3 - 2 * t);
}

// Grain intensity in [0, 1] at a point given along and across the grain.
double Grain(const TNoise &noise, double along, double across, double rings)
{
    const double warp = 3.0 * noise.Fbm(along * 0.006, across * 0.02, 4) +
                        0.6 * noise.Fbm(along * 0.03, across * 0.08, 3);
    const double t = across * rings + warp;
    const double ring = std::pow(0.5 + 0.5 * std::sin(2 * Pi * t), 4.0);
    const double fibre = noise.Value(along * 0.04 + 17.0, across * 0.9);
    const double blotch = noise.Fbm(along * 0.01 + 5.0, across * 0.01 + 9.0, 3);
    return std::clamp(0.55 * ring + 0.25 * fibre + 0.3 * (blotch - 0.3), 0.0, 1.0);
}

} // namespace

void PaintPieceFace(QImage &sheet, const QRect &bounds, const std::vector<QRect> &cells,
                    TMaterial material, std::uint32_t seed)
{
    const TMaterialLook look = Look(material);
    const TNoise noise(seed);
    const bool horizontal = bounds.width() >= bounds.height();
    for (const QRect &cell : cells) {
        for (int y = cell.top(); y <= cell.bottom(); ++y) {
            if (y < 0 || y >= sheet.height())
                continue;
            QRgb *line = reinterpret_cast<QRgb *>(sheet.scanLine(y));
            for (int x = cell.left(); x <= cell.right(); ++x) {
                if (x < 0 || x >= sheet.width())
                    continue;
                const double lx = x - bounds.left(), ly = y - bounds.top();
                const double along = horizontal ? lx : ly, across = horizontal ? ly : lx;
                double g = Grain(noise, along, across, look.Rings);
                QColor c;
                if (material == TMaterial::Slate) {
                    const double s = noise.Fbm(lx * 0.03, ly * 0.09, 5);
                    const double speck = noise.Hash(x, y) > 0.985 ? 0.25 : 0.0;
                    c = Mix(look.Light, look.Dark, std::clamp(s * 1.3 - 0.1 + speck, 0.0, 1.0));
                } else if (look.Lacquer) {
                    // Lacquer: the grain shows faintly; light falls from the top left.
                    const double fx = lx / std::max(1, bounds.width());
                    const double fy = ly / std::max(1, bounds.height());
                    const double sheen = 0.35 * (1 - fy) + 0.2 * (1 - fx) +
                                         0.25 * SmoothStep(0.35, 0.0, std::abs(fx - fy - 0.1));
                    c = Mix(look.Dark, look.Light, std::clamp(0.45 + sheen - 0.25 * g, 0.0, 1.0));
                } else {
                    c = Mix(look.Light, look.Dark, g);
                }
                line[x] = c.rgb();
            }
        }
    }
}

QImage WoodTexture(int size, const QColor &light, const QColor &dark, std::uint32_t seed)
{
    QImage img = NewImage(size, size);
    const TNoise noise(seed);
    const int px = 4, py = 8;  // noise lattice periods: the texture tiles
    const double rings = 14.0; // whole rings per tile height, so rows tile too
    for (int y = 0; y < size; ++y) {
        QRgb *line = reinterpret_cast<QRgb *>(img.scanLine(y));
        for (int x = 0; x < size; ++x) {
            const double u = double(x) / size, v = double(y) / size;
            const double warp = 1.6 * noise.Fbm(u * px, v * py, 4, px, py);
            const double t = v * rings + warp;
            const double ring = std::pow(0.5 + 0.5 * std::sin(2 * Pi * t), 3.0);
            const double fibre = noise.Value(u * 64 + 31, v * 256, 64, 256);
            const double blotch = noise.Fbm(u * 3 + 7, v * 3 + 3, 3, 3, 3);
            const double g =
                std::clamp(0.5 * ring + 0.22 * fibre + 0.35 * (blotch - 0.35), 0.0, 1.0);
            line[x] = Mix(light, dark, g).rgb();
        }
    }
    return img;
}

QImage StoneTexture(int size, const QColor &base, std::uint32_t seed)
{
    QImage img = NewImage(size, size);
    const TNoise noise(seed);
    const QColor light = base.lighter(118), dark = base.darker(135);
    for (int y = 0; y < size; ++y) {
        QRgb *line = reinterpret_cast<QRgb *>(img.scanLine(y));
        for (int x = 0; x < size; ++x) {
            const double u = double(x) / size * 6, v = double(y) / size * 6;
            const double n = noise.Fbm(u, v, 6, 6, 6);
            const double veins =
                1 - std::abs(2 * noise.Fbm(u * 0.7 + 11, v * 0.7 + 4, 4, 4, 4) - 1);
            double t = std::clamp(1.2 * n - 0.1 - 0.25 * std::pow(veins, 8), 0.0, 1.0);
            const double h = noise.Hash(x, y);
            if (h > 0.992)
                t = std::min(1.0, t + 0.35);
            else if (h < 0.008)
                t = std::max(0.0, t - 0.35);
            line[x] = Mix(dark, light, t).rgb();
        }
    }
    return img;
}

QImage FeltTexture(int size, const QColor &base, std::uint32_t seed)
{
    QImage img = NewImage(size, size);
    const TNoise noise(seed);
    const QColor light = base.lighter(125), dark = base.darker(140);
    for (int y = 0; y < size; ++y) {
        QRgb *line = reinterpret_cast<QRgb *>(img.scanLine(y));
        for (int x = 0; x < size; ++x) {
            const double u = double(x) / size, v = double(y) / size;
            const double mottle = noise.Fbm(u * 4, v * 4, 4, 4, 4);
            const double fibre = noise.Value(u * 128, v * 128, 128, 128);
            const double dither = noise.Hash(x, y) - 0.5;
            const double t = std::clamp(
                0.5 + 0.5 * (mottle - 0.5) + 0.35 * (fibre - 0.5) + 0.22 * dither, 0.0, 1.0);
            line[x] = Mix(dark, light, t).rgb();
        }
    }
    return img;
}

QImage SlateTexture(int size, std::uint32_t seed)
{
    QImage img = NewImage(size, size);
    const TNoise noise(seed);
    const QColor light(104, 112, 120), dark(46, 50, 58);
    for (int y = 0; y < size; ++y) {
        QRgb *line = reinterpret_cast<QRgb *>(img.scanLine(y));
        for (int x = 0; x < size; ++x) {
            const double u = double(x) / size, v = double(y) / size;
            const double layers = noise.Fbm(u * 2, v * 16, 5, 2, 16);
            const double fine = noise.Fbm(u * 16, v * 16, 3, 16, 16);
            const double t = std::clamp(0.3 + 0.9 * (layers - 0.5) + 0.4 * (fine - 0.5) +
                                            0.08 * (noise.Hash(x, y) - 0.5),
                                        0.0, 1.0);
            line[x] = Mix(dark, light, t).rgb();
        }
    }
    return img;
}

QImage MainBackTexture(int width, int height)
{
    QImage img = NewImage(width, height);
    const TNoise noise(4711);
    // Around the windows' own colour (216, 196, 170), a little darker, so
    // the start panel and the games stand out in front of it.
    const QColor light(214, 192, 162), dark(168, 138, 104);
    const int px = 16, py = 11;
    for (int y = 0; y < height; ++y) {
        QRgb *line = reinterpret_cast<QRgb *>(img.scanLine(y));
        for (int x = 0; x < width; ++x) {
            const double u = double(x) / width * px, v = double(y) / height * py;
            const double cloud = noise.Fbm(u, v, 6, px, py);
            const double fibre = noise.Fbm(u * 8 + 3, v * 2 + 1, 3, px * 8, py * 2);
            const double t = std::clamp(1.3 * (cloud - 0.5) + 0.45 + 0.3 * (fibre - 0.5) +
                                            0.06 * (noise.Hash(x, y) - 0.5),
                                        0.0, 1.0);
            line[x] = Mix(dark, light, t).rgb();
        }
    }
    return img;
}
