#include "NViewLib.h"

#include <QFileInfo>
#include <QImageReader>

QImage NViewLibLoad(const QString &path, int flags)
{
    Q_UNUSED(flags);
    if (path.isEmpty() || !QFileInfo(path).isFile())
        return QImage();
    QImageReader reader(path);
    reader.setAutoTransform(true); // EXIF orientation of photos
    const QSize size = reader.size();
    if (size.isValid() && qint64(size.width()) * size.height() > MaxPicturePixels)
        return QImage();
    QImage image;
    if (!reader.read(&image))
        return QImage();
    return image;
}
