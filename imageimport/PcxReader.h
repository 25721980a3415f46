#pragma once

#include <QByteArray>
#include <QImage>

// PCX pictures, which Qt's own readers do not know: 8-bit with a 256-colour
// palette at the end of the file, and 24-bit (three colour planes), both
// run-length encoded. Anything else, a header that does not add up, a
// picture above maxPixels or data that ends too early gives the empty image.
namespace PcxReader {
// True when data starts like a PCX header (worth handing to Read).
bool LooksLikePcx(const QByteArray &data);
// Width and height from the header; invalid when data is no PCX picture.
QSize DeclaredSize(const QByteArray &data);
QImage Read(const QByteArray &data, qint64 maxPixels);
} // namespace PcxReader
