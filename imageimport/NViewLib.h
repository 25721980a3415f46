#pragma once

#include <QImage>
#include <QString>

// The picture loader: turns a picture file (BMP, JPEG, GIF, PNG, TIFF, WebP,
// PCX) into an image. A file that is missing, unreadable, truncated, not a
// picture, or that would decode larger than MaxPicturePixels gives the empty
// image (isNull(), height 0): never an exception and never a message. The
// EXIF orientation of photos is honoured. flags is reserved and always 0.
QImage NViewLibLoad(const QString &path, int flags = 0);

// The largest decoded picture accepted (width x height).
constexpr qint64 MaxPicturePixels = 200LL * 1000 * 1000;
