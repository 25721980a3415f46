#include "PcxReader.h"

#include <vector>

namespace {

constexpr int HeaderSize = 128;
constexpr int PaletteSize = 769; // marker byte 12 and 256 RGB triples

int Word(const QByteArray &data, int at)
{
    return quint8(data[at]) | (quint8(data[at + 1]) << 8);
}

} // namespace

namespace PcxReader {

bool LooksLikePcx(const QByteArray &data)
{
    if (data.size() < HeaderSize)
        return false;
    const int version = quint8(data[1]);
    return quint8(data[0]) == 0x0A &&
           (version == 0 || version == 2 || version == 3 || version == 4 || version == 5) &&
           quint8(data[2]) == 1;
}

QSize DeclaredSize(const QByteArray &data)
{
    if (!LooksLikePcx(data))
        return QSize();
    const int xMin = Word(data, 4), yMin = Word(data, 6);
    const int xMax = Word(data, 8), yMax = Word(data, 10);
    if (xMax < xMin || yMax < yMin)
        return QSize();
    return QSize(xMax - xMin + 1, yMax - yMin + 1);
}

QImage Read(const QByteArray &data, qint64 maxPixels)
{
    if (!LooksLikePcx(data))
        return QImage();
    const int bitsPerPixel = quint8(data[3]);
    const int xMin = Word(data, 4), yMin = Word(data, 6);
    const int xMax = Word(data, 8), yMax = Word(data, 10);
    const int planes = quint8(data[65]);
    const int bytesPerLine = Word(data, 66);
    if (bitsPerPixel != 8 || (planes != 1 && planes != 3) || xMax < xMin || yMax < yMin)
        return QImage();
    const int width = xMax - xMin + 1;
    const int height = yMax - yMin + 1;
    if (bytesPerLine < width || qint64(width) * height > maxPixels)
        return QImage();

    qint64 dataEnd = data.size();
    if (planes == 1) {
        if (data.size() < HeaderSize + PaletteSize || quint8(data[data.size() - PaletteSize]) != 12)
            return QImage();
        dataEnd -= PaletteSize;
    }
    // One pair of run bytes gives at most 63 pixels: a header that promises
    // more than the file can hold is refused before anything is allocated.
    const qint64 lineBytes = qint64(bytesPerLine) * planes;
    const qint64 total = lineBytes * height;
    if (total > (dataEnd - HeaderSize) * 32)
        return QImage();

    std::vector<uchar> plain(size_t(total), 0);
    const auto *src = reinterpret_cast<const uchar *>(data.constData());
    qint64 in = HeaderSize, out = 0;
    while (out < total) {
        if (in >= dataEnd)
            return QImage(); // the data ends too early
        uchar c = src[in++];
        qint64 count = 1;
        if ((c & 0xC0) == 0xC0) {
            count = c & 0x3F;
            if (in >= dataEnd)
                return QImage();
            c = src[in++];
        }
        // Some writers let a run cross into the next line; it is cut at the end.
        count = std::min(count, total - out);
        std::fill_n(plain.begin() + out, count, c);
        out += count;
    }

    QImage image(width, height, QImage::Format_RGB32);
    if (image.isNull())
        return QImage();
    if (planes == 1) {
        const uchar *pal = src + data.size() - PaletteSize + 1;
        QRgb colours[256];
        for (int i = 0; i < 256; ++i)
            colours[i] = qRgb(pal[3 * i], pal[3 * i + 1], pal[3 * i + 2]);
        for (int y = 0; y < height; ++y) {
            auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
            const uchar *row = plain.data() + y * lineBytes;
            for (int x = 0; x < width; ++x)
                line[x] = colours[row[x]];
        }
    } else {
        for (int y = 0; y < height; ++y) {
            auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
            const uchar *red = plain.data() + y * lineBytes;
            const uchar *green = red + bytesPerLine;
            const uchar *blue = green + bytesPerLine;
            for (int x = 0; x < width; ++x)
                line[x] = qRgb(red[x], green[x], blue[x]);
        }
    }
    return image;
}

} // namespace PcxReader
