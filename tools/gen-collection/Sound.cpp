#include "Collection.h"

#include <QtEndian>
#include <algorithm>
#include <cmath>

namespace {

constexpr double Pi = 3.14159265358979323846;
constexpr int Rate = 22050;

double Note(int semitonesFromA4)
{
    return 440.0 * std::pow(2.0, semitonesFromA4 / 12.0);
}

// A bright, bell-like brass tone: a few harmonics that fade at their own pace.
void AddTone(std::vector<double> &out, double start, double length, double freq, double gain)
{
    const int first = int(start * Rate), count = int(length * Rate);
    if (out.size() < size_t(first + count))
        out.resize(size_t(first + count), 0.0);
    const double harmonics[5] = {1.0, 0.5, 0.28, 0.14, 0.07};
    for (int i = 0; i < count; ++i) {
        const double t = double(i) / Rate;
        const double attack = std::min(1.0, t / 0.012);
        const double release = std::min(1.0, (length - t) / 0.06);
        const double vibrato = 1 + 0.003 * std::sin(2 * Pi * 5.5 * t) * std::min(1.0, t / 0.3);
        double v = 0;
        for (int h = 0; h < 5; ++h)
            v += harmonics[h] * std::exp(-t * (1.8 + 1.6 * h)) *
                 std::sin(2 * Pi * freq * (h + 1) * vibrato * t);
        out[size_t(first + i)] += gain * attack * std::max(0.0, release) * v;
    }
}

} // namespace

QByteArray SynthesiseFanfare()
{
    std::vector<double> s;
    // G4 C5 E5 G5, then a held C major chord with the octave on top.
    const int g4 = -2, c5 = 3, e5 = 7, g5 = 10, c6 = 15;
    const double step = 0.11;
    AddTone(s, 0 * step, 0.2, Note(g4), 0.5);
    AddTone(s, 1 * step, 0.2, Note(c5), 0.5);
    AddTone(s, 2 * step, 0.2, Note(e5), 0.5);
    AddTone(s, 3 * step, 0.3, Note(g5), 0.5);
    const double chord = 4 * step + 0.04;
    for (int n : {c5, e5, g5, c6})
        AddTone(s, chord, 1.05, Note(n), 0.32);
    AddTone(s, chord, 1.05, Note(c5 - 12), 0.25); // a soft bass under the chord

    double peak = 0;
    for (double v : s)
        peak = std::max(peak, std::abs(v));
    const double scale = peak > 0 ? 0.8 * 32767 / peak : 0;

    QByteArray data;
    data.resize(qsizetype(s.size() * 2));
    for (size_t i = 0; i < s.size(); ++i)
        qToLittleEndian<qint16>(qint16(std::lround(s[i] * scale)), data.data() + i * 2);

    QByteArray wav;
    auto u32 = [&wav](quint32 v) {
        char b[4];
        qToLittleEndian<quint32>(v, b);
        wav.append(b, 4);
    };
    auto u16 = [&wav](quint16 v) {
        char b[2];
        qToLittleEndian<quint16>(v, b);
        wav.append(b, 2);
    };
    wav.append("RIFF");
    u32(quint32(36 + data.size()));
    wav.append("WAVEfmt ");
    u32(16);
    u16(1); // PCM
    u16(1); // mono
    u32(Rate);
    u32(Rate * 2);
    u16(2);
    u16(16);
    wav.append("data");
    u32(quint32(data.size()));
    wav.append(data);
    return wav;
}
