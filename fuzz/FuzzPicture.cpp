// The picture loader, one format at a time.

#include "FuzzCommon.h"

#include "Limits.h"
#include "NViewLib.h"

namespace {
// Whether bytes start like a file of format; TGA has no signature, so its
// target takes everything the other formats do not claim.
bool StartsLike(const QByteArray &format, const QByteArray &b)
{
    if (format == "bmp")
        return b.startsWith("BM");
    if (format == "png")
        return b.startsWith("\x89PNG\r\n\x1a\n");
    if (format == "jpeg")
        return b.startsWith("\xFF\xD8");
    if (format == "gif")
        return b.startsWith("GIF87a") || b.startsWith("GIF89a");
    if (format == "tiff")
        return b.startsWith(QByteArray("II*\0", 4)) || b.startsWith(QByteArray("MM\0*", 4));
    if (format == "webp")
        return b.startsWith("RIFF") && b.mid(8, 4) == "WEBP";
    if (format == "pcx")
        return b.size() > 2 && quint8(b[0]) == 0x0A && quint8(b[2]) == 1;
    if (format == "ico")
        return b.startsWith(QByteArray("\0\0\1\0", 4)) || b.startsWith(QByteArray("\0\0\2\0", 4));
    if (format == "ppm")
        return b.size() > 1 && b[0] == 'P' && b[1] >= '1' && b[1] <= '6';
    if (format == "tga")
        return !StartsLike("bmp", b) && !StartsLike("png", b) && !StartsLike("jpeg", b) &&
               !StartsLike("gif", b) && !StartsLike("tiff", b) && !StartsLike("webp", b) &&
               !StartsLike("pcx", b) && !StartsLike("ico", b) && !StartsLike("ppm", b);
    return false;
}
} // namespace

int FuzzPicture(const QByteArray &format, const uint8_t *data, size_t size)
{
    FuzzSetUp();
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    if (!StartsLike(format, bytes))
        return 0;
    const QImage image = NViewLibDecode(bytes);
    // Either nothing, or a picture of the promised size.
    FUZZ_CHECK(image.isNull() || (image.width() > 0 && image.height() > 0 &&
                                  qint64(image.width()) * image.height() <= MaxPicturePixels),
               QStringLiteral("%1 x %2").arg(image.width()).arg(image.height()));
    return 0;
}
