#include "NViewLib.h"

#include "PcxReader.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <mutex>
#include <new>

namespace {

quint32 BigEndian32(const QByteArray &d, qint64 at)
{
    return (quint32(quint8(d[at])) << 24) | (quint32(quint8(d[at + 1])) << 16) |
           (quint32(quint8(d[at + 2])) << 8) | quint32(quint8(d[at + 3]));
}

quint32 LittleEndian32(const QByteArray &d, qint64 at)
{
    return quint32(quint8(d[at])) | (quint32(quint8(d[at + 1])) << 8) |
           (quint32(quint8(d[at + 2])) << 16) | (quint32(quint8(d[at + 3])) << 24);
}

// Qt's decoders hand back whatever they got from a cut-off PNG, JPEG, GIF or
// BMP, with grey or black where the rest should be. A picture that was only
// half copied must not become a board, so these formats are walked to their
// end marker first. Other formats are left to their decoder.

bool PngComplete(const QByteArray &d)
{
    qint64 at = 8;
    while (at + 12 <= d.size()) {
        const qint64 length = BigEndian32(d, at);
        if (d.mid(at + 4, 4) == "IEND")
            return true;
        at += 12 + length;
    }
    return false;
}

bool JpegComplete(const QByteArray &d)
{
    const auto *p = reinterpret_cast<const uchar *>(d.constData());
    const qint64 n = d.size();
    qint64 at = 2;
    while (at + 1 < n) {
        if (p[at] != 0xFF)
            return false;
        const uchar marker = p[at + 1];
        if (marker == 0xFF) { // fill byte
            ++at;
            continue;
        }
        if (marker == 0xD9)
            return true;
        if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7)) {
            at += 2;
            continue;
        }
        if (at + 3 >= n)
            return false;
        const qint64 length = (p[at + 2] << 8) | p[at + 3];
        if (length < 2)
            return false;
        at += 2 + length;
        if (marker == 0xDA) {
            // Entropy-coded data runs to the next marker that is neither a
            // stuffed zero nor a restart marker.
            while (at + 1 < n &&
                   !(p[at] == 0xFF && p[at + 1] != 0 && !(p[at + 1] >= 0xD0 && p[at + 1] <= 0xD7)))
                ++at;
        }
    }
    return false;
}

bool SkipGifSubBlocks(const QByteArray &d, qint64 &at)
{
    while (at < d.size()) {
        const int length = quint8(d[at]);
        at += 1 + length;
        if (length == 0)
            return at <= d.size();
    }
    return false;
}

bool GifComplete(const QByteArray &d)
{
    if (d.size() < 13)
        return false;
    qint64 at = 13;
    const int flags = quint8(d[10]);
    if (flags & 0x80)
        at += 3LL << ((flags & 7) + 1);
    while (at < d.size()) {
        const int block = quint8(d[at]);
        if (block == 0x3B)
            return true;
        if (block == 0x21) {
            at += 2;
            if (!SkipGifSubBlocks(d, at))
                return false;
        } else if (block == 0x2C) {
            if (at + 10 > d.size())
                return false;
            const int local = quint8(d[at + 9]);
            at += 10;
            if (local & 0x80)
                at += 3LL << ((local & 7) + 1);
            at += 1; // LZW code size
            if (!SkipGifSubBlocks(d, at))
                return false;
        } else {
            return false;
        }
    }
    return false;
}

// Whether the file holds rows of w pixels of the given bits, padded to four
// bytes, h times from pixelsAt on. Counted by division: the header's sizes
// are up to 2^31 each, and their product does not fit any integer.
bool BmpRowsFit(const QByteArray &d, qint64 pixelsAt, qint64 w, qint64 h, qint64 bits)
{
    const qint64 rowBytes = (w * bits + 31) / 32 * 4; // w < 2^31, bits < 2^16
    const qint64 room = d.size() - pixelsAt;
    return room >= 0 && (rowBytes == 0 || h <= room / rowBytes);
}

bool BmpComplete(const QByteArray &d)
{
    if (d.size() < 30)
        return false;
    const qint64 pixelsAt = LittleEndian32(d, 10);
    const quint32 headerSize = LittleEndian32(d, 14);
    if (headerSize == 12) { // OS/2 header: 16-bit sizes
        const qint64 w = quint8(d[18]) | (quint8(d[19]) << 8);
        const qint64 h = quint8(d[20]) | (quint8(d[21]) << 8);
        const qint64 bits = quint8(d[24]) | (quint8(d[25]) << 8);
        return BmpRowsFit(d, pixelsAt, w, h, bits);
    }
    if (d.size() < 34)
        return false;
    const qint64 w = qint32(LittleEndian32(d, 18));
    const qint64 h = qint32(LittleEndian32(d, 22));
    const qint64 bits = quint8(d[28]) | (quint8(d[29]) << 8);
    const quint32 compression = LittleEndian32(d, 30);
    if (compression == 1 || compression == 2 || compression == 4 || compression == 5)
        return pixelsAt < d.size(); // run-length or embedded data: the decoder checks
    if (w <= 0 || h == 0 || bits == 0)
        return false;
    return BmpRowsFit(d, pixelsAt, w, std::abs(h), bits);
}

bool WebpComplete(const QByteArray &d)
{
    return d.size() >= 12 && LittleEndian32(d, 4) + 8LL <= d.size();
}

bool LooksComplete(const QByteArray &d)
{
    if (d.startsWith("\x89PNG\r\n\x1a\n"))
        return PngComplete(d);
    if (d.startsWith("\xFF\xD8"))
        return JpegComplete(d);
    if (d.startsWith("GIF8"))
        return GifComplete(d);
    if (d.startsWith("BM"))
        return BmpComplete(d);
    if (d.startsWith("RIFF") && d.mid(8, 4) == "WEBP")
        return WebpComplete(d);
    return true;
}

void RaiseQtAllocationLimit()
{
    // Qt's own guard against giant pictures must not be stricter than ours;
    // it stands guard for the few formats that do not declare their size.
    // Once, however many threads decode at a time.
    static std::once_flag raised;
    std::call_once(raised, [] {
        constexpr int allocationMb = int(MaxPicturePixels * 4 / (1024 * 1024)) + 64;
        if (QImageReader::allocationLimit() < allocationMb)
            QImageReader::setAllocationLimit(allocationMb);
    });
}

QImage DecodeBytes(QByteArray &bytes, const std::function<QImage(QSize)> &placeFor = {})
{
    if (bytes.isEmpty())
        return QImage();
    if (PcxReader::LooksLikePcx(bytes))
        return PcxReader::Read(bytes, MaxPicturePixels);
    if (!LooksComplete(bytes))
        return QImage();

    RaiseQtAllocationLimit();
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    reader.setDecideFormatFromContent(true);
    reader.setAutoTransform(true); // EXIF orientation of photos
    // The size the header declares is checked before anything is decoded.
    const QSize size = reader.size();
    if (size.isValid() && qint64(size.width()) * qint64(size.height()) > MaxPicturePixels)
        return QImage();
    QImage image;
    // JPEG and PNG readers fill a picture of their size and format in place,
    // row by row; others (TIFF) take its memory for one block of rows.
    const QByteArray format = reader.format();
    if (placeFor && size.isValid() && (format == "jpeg" || format == "png"))
        image = placeFor(size);
    if (!reader.read(&image) || image.isNull())
        return QImage();
    if (qint64(image.width()) * image.height() > MaxPicturePixels)
        return QImage();
    return image;
}

QByteArray ReadPictureFile(const QString &path)
{
    const QFileInfo info(path);
    if (!info.isFile() || info.size() <= 0 || info.size() > MaxPictureFileBytes)
        return QByteArray();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray();
    return file.readAll();
}

} // namespace

QImage NViewLibLoad(const QString &path, int flags)
{
    Q_UNUSED(flags);
    return NViewLibLoad(path, std::function<QImage(QSize)>());
}

QImage NViewLibLoad(const QString &path, const std::function<QImage(QSize)> &placeFor)
{
    if (path.isEmpty())
        return QImage();
    try {
        QByteArray bytes = ReadPictureFile(path);
        return DecodeBytes(bytes, placeFor);
    } catch (const std::bad_alloc &) {
        return QImage();
    }
}

QImage NViewLibDecode(QByteArray bytes)
{
    try {
        return DecodeBytes(bytes);
    } catch (const std::bad_alloc &) {
        return QImage();
    }
}

QSize NViewLibDeclaredSize(const QString &path)
{
    if (path.isEmpty() || !QFileInfo(path).isFile())
        return QSize();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QSize();
    const QByteArray head = file.peek(128);
    if (PcxReader::LooksLikePcx(head))
        return PcxReader::DeclaredSize(head);
    QImageReader reader(&file);
    reader.setDecideFormatFromContent(true);
    return reader.size();
}
