#include "Collection.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringList>
#include <algorithm>
#include <cmath>

namespace {

int Wrap(int v, int period)
{
    if (period <= 0)
        return v;
    v %= period;
    return v < 0 ? v + period : v;
}

double Smooth(double t)
{
    return t * t * t * (t * (t * 6 - 15) + 10);
}

} // namespace

double TNoise::Hash(int x, int y) const
{
    std::uint32_t h = Seed * 0x9E3779B1u;
    h ^= std::uint32_t(x) * 0x85EBCA77u;
    h = (h << 13) | (h >> 19);
    h ^= std::uint32_t(y) * 0xC2B2AE3Du;
    h *= 0x27D4EB2Fu;
    h ^= h >> 15;
    h *= 0x165667B1u;
    h ^= h >> 13;
    return (h & 0xFFFFFF) / double(0x1000000);
}

double TNoise::Value(double x, double y, int periodX, int periodY) const
{
    const double fx = std::floor(x), fy = std::floor(y);
    const int x0 = int(fx), y0 = int(fy);
    const double tx = Smooth(x - fx), ty = Smooth(y - fy);
    const int xa = Wrap(x0, periodX), xb = Wrap(x0 + 1, periodX);
    const int ya = Wrap(y0, periodY), yb = Wrap(y0 + 1, periodY);
    const double a = Hash(xa, ya), b = Hash(xb, ya), c = Hash(xa, yb), d = Hash(xb, yb);
    return (a + (b - a) * tx) * (1 - ty) + (c + (d - c) * tx) * ty;
}

double TNoise::Fbm(double x, double y, int octaves, int periodX, int periodY) const
{
    double sum = 0, weight = 0.5, total = 0;
    for (int o = 0; o < octaves; ++o) {
        sum += weight * Value(x, y, periodX, periodY);
        total += weight;
        x *= 2;
        y *= 2;
        periodX *= 2;
        periodY *= 2;
        weight *= 0.5;
    }
    return sum / total;
}

QColor Mix(const QColor &a, const QColor &b, double t)
{
    t = std::clamp(t, 0.0, 1.0);
    return QColor::fromRgbF(float(a.redF() + (b.redF() - a.redF()) * t),
                            float(a.greenF() + (b.greenF() - a.greenF()) * t),
                            float(a.blueF() + (b.blueF() - a.blueF()) * t));
}

QImage NewImage(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::black);
    return image;
}

bool SavePicture(const QImage &image, const QString &path, int quality)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    const QString suffix = QFileInfo(path).suffix().toLower();
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    const QByteArray format = suffix == "jpg" ? "JPG" : suffix.toUpper().toLatin1();
    if (!image.save(&file, format.constData(), suffix == "jpg" ? quality : -1))
        return false;
    return file.commit();
}

bool WriteTextFile(const QString &path, const QStringList &lines)
{
    QByteArray bytes;
    for (const QString &line : lines) {
        for (QChar ch : line) {
            // Windows-1252 agrees with Latin-1 outside 0x80..0x9F; the
            // collection needs nothing from that range.
            if (ch.unicode() > 0xFF || (ch.unicode() >= 0x80 && ch.unicode() < 0xA0))
                return false;
        }
        bytes += line.toLatin1();
        bytes += "\r\n";
    }
    QDir().mkpath(QFileInfo(path).absolutePath());
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write(bytes);
    return file.commit();
}
