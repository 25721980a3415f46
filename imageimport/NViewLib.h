#pragma once

#include "Limits.h"

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QString>
#include <functional>

// The picture loader: turns a picture file (BMP, JPEG, GIF, PNG, TIFF, WebP,
// PCX and the other formats Qt reads) into an image. A file that is missing,
// unreadable, truncated, not a picture, or whose declared size is above
// MaxPicturePixels (Limits.h) gives the empty image (isNull(), height 0):
// never an exception and never a message. The EXIF orientation of photos is
// honoured. flags is reserved and always 0.
QImage NViewLibLoad(const QString &path, int flags = 0);
// The same, a JPEG or PNG picture decoded straight into the picture
// placeFor gives for the size the file declares, when it gives one of that
// size and the file's pixels come out as 32-bit RGB: the result then shares
// that picture's pixels (a caller compares its pixel address). Otherwise
// the result is a picture of its own, and the one placeFor gave may have
// been written.
QImage NViewLibLoad(const QString &path, const std::function<QImage(QSize)> &placeFor);
// The same for the bytes of a picture file already in memory.
QImage NViewLibDecode(QByteArray bytes);
// The width and height the picture file declares, read from its header
// without decoding it; invalid when the file is no picture the loader knows.
QSize NViewLibDeclaredSize(const QString &path);
