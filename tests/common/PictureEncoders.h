#pragma once

// Picture files written byte by byte for the tests and the fuzzing seeds:
// Qt's own writers where it has one, and PCX, GIF and TGA, which Qt reads
// but does not write.

#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <QImageWriter>
#include <QList>
#include <QtEndian>
#include <algorithm>

namespace PictureEncoders {

inline QByteArray Encode(const QImage &image, const char *format, int quality = -1)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
    writer.setQuality(quality);
    if (!writer.write(image))
        qFatal("cannot encode %s", format);
    return bytes;
}

inline void PutRun(QByteArray &out, uchar value, int count)
{
    while (count > 0) {
        const int n = std::min(count, 63);
        if (n > 1 || (value & 0xC0) == 0xC0)
            out.append(char(0xC0 | n));
        out.append(char(value));
        count -= n;
    }
}

// A PCX file: 8-bit with palette (image must be Indexed8) or 24-bit.
inline QByteArray Pcx(const QImage &image, bool truecolour, int padding = 0)
{
    const int w = image.width(), h = image.height(), planes = truecolour ? 3 : 1;
    const int bytesPerLine = w + padding;
    QByteArray header(128, '\0');
    header[0] = 0x0A;
    header[1] = 5;
    header[2] = 1;
    header[3] = 8;
    qToLittleEndian<quint16>(quint16(w - 1), header.data() + 8);
    qToLittleEndian<quint16>(quint16(h - 1), header.data() + 10);
    header[65] = char(planes);
    qToLittleEndian<quint16>(quint16(bytesPerLine), header.data() + 66);
    QByteArray data = header;
    for (int y = 0; y < h; ++y)
        for (int p = 0; p < planes; ++p) {
            QByteArray line;
            for (int x = 0; x < bytesPerLine; ++x) {
                int v = 0;
                if (x < w)
                    v = truecolour ? (p == 0   ? qRed(image.pixel(x, y))
                                      : p == 1 ? qGreen(image.pixel(x, y))
                                               : qBlue(image.pixel(x, y)))
                                   : image.pixelIndex(x, y);
                line.append(char(v));
            }
            for (int x = 0; x < line.size();) {
                int n = 1;
                while (x + n < line.size() && line[x + n] == line[x])
                    ++n;
                PutRun(data, uchar(line[x]), n);
                x += n;
            }
        }
    if (!truecolour) {
        data.append(char(12));
        for (int i = 0; i < 256; ++i) {
            const QRgb c = i < image.colorCount() ? image.color(i) : 0;
            data.append(char(qRed(c))).append(char(qGreen(c))).append(char(qBlue(c)));
        }
    }
    return data;
}

// A GIF file (Qt reads GIF but does not write it): the pixels as 9-bit
// literal codes with a clear code often enough that the code width never
// grows. Up to 256 colours are kept exactly; more are reduced first.
inline QByteArray Gif(const QImage &image)
{
    const QImage indexed = image.convertToFormat(QImage::Format_Indexed8);
    const QList<QRgb> palette = indexed.colorTable();
    QByteArray indices;
    for (int y = 0; y < indexed.height(); ++y)
        for (int x = 0; x < indexed.width(); ++x)
            indices.append(char(indexed.pixelIndex(x, y)));
    QByteArray out("GIF89a");
    char size[4];
    qToLittleEndian<quint16>(quint16(image.width()), size);
    qToLittleEndian<quint16>(quint16(image.height()), size + 2);
    out.append(size, 4).append(char(0xF7)).append('\0').append('\0');
    for (int i = 0; i < 256; ++i) {
        const QRgb c = i < palette.size() ? palette[i] : 0;
        out.append(char(qRed(c))).append(char(qGreen(c))).append(char(qBlue(c)));
    }
    out.append(char(0x2C)).append(QByteArray(4, '\0')).append(size, 4).append('\0');
    out.append(char(8));
    QByteArray codes;
    quint32 acc = 0;
    int bits = 0;
    auto put = [&](int code) {
        acc |= quint32(code) << bits;
        bits += 9;
        while (bits >= 8) {
            codes.append(char(acc & 255));
            acc >>= 8;
            bits -= 8;
        }
    };
    for (qsizetype i = 0; i < indices.size(); ++i) {
        if (i % 250 == 0)
            put(256);
        put(uchar(indices[i]));
    }
    put(257);
    if (bits > 0)
        codes.append(char(acc & 255));
    for (qsizetype i = 0; i < codes.size(); i += 255) {
        const QByteArray block = codes.mid(i, 255);
        out.append(char(block.size())).append(block);
    }
    out.append('\0').append(char(0x3B));
    return out;
}

// An uncompressed 24-bit TGA, rows from the top.
inline QByteArray Tga(const QImage &image)
{
    QByteArray out(18, '\0');
    out[2] = 2; // true colour
    qToLittleEndian<quint16>(quint16(image.width()), out.data() + 12);
    qToLittleEndian<quint16>(quint16(image.height()), out.data() + 14);
    out[16] = 24;
    out[17] = 0x20; // top-left origin
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QRgb c = image.pixel(x, y);
            out.append(char(qBlue(c))).append(char(qGreen(c))).append(char(qRed(c)));
        }
    return out;
}

} // namespace PictureEncoders
