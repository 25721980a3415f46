// The picture loader: every format it reads, and every way a picture file
// can be bad (missing, cut off, not a picture, absurdly large, garbled).
#include "AllocationWatch.h"
#include "NViewLib.h"
#include "PictureEncoders.h"

#include <QBuffer>
#include <QFile>
#include <QImageWriter>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

namespace {
using namespace PictureEncoders;

QImage Sample(int w = 7, int h = 5)
{
    QImage image(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            image.setPixel(x, y, qRgb(x * 30, y * 50, (x * y * 17) & 255));
    return image;
}

quint32 Crc32(const QByteArray &bytes)
{
    quint32 crc = 0xFFFFFFFFu;
    for (const char c : bytes) {
        crc ^= quint8(c);
        for (int k = 0; k < 8; ++k)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

// A complete, well-formed PNG whose header declares width x height.
QByteArray PngDeclaring(int width, int height)
{
    QByteArray png = Encode(Sample(), "png");
    qToBigEndian<quint32>(quint32(width), png.data() + 16);
    qToBigEndian<quint32>(quint32(height), png.data() + 20);
    qToBigEndian<quint32>(Crc32(png.mid(12, 17)), png.data() + 29); // "IHDR" and its data
    return png;
}

QImage Indexed()
{
    QImage image(9, 4, QImage::Format_Indexed8);
    image.setColorCount(256);
    for (int i = 0; i < 256; ++i)
        image.setColor(i, qRgb(i, 255 - i, (i * 7) & 255));
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 9; ++x)
            image.setPixel(x, y, x < 5 ? 200 : (x * 31 + y * 11) & 255); // a run, then noise
    return image;
}

// A JPEG with an EXIF block saying how the camera was held.
QByteArray WithExifOrientation(const QByteArray &jpeg, quint16 orientation)
{
    QByteArray tiff("II*\0\x08\0\0\0", 8);
    QByteArray ifd(2 + 12 + 4, '\0');
    qToLittleEndian<quint16>(1, ifd.data());
    qToLittleEndian<quint16>(0x0112, ifd.data() + 2); // Orientation
    qToLittleEndian<quint16>(3, ifd.data() + 4);      // SHORT
    qToLittleEndian<quint32>(1, ifd.data() + 6);
    qToLittleEndian<quint16>(orientation, ifd.data() + 10);
    const QByteArray payload = QByteArray("Exif\0\0", 6) + tiff + ifd;
    QByteArray segment("\xFF\xE1", 2);
    segment.append(char((payload.size() + 2) >> 8)).append(char((payload.size() + 2) & 255));
    segment += payload;
    return jpeg.left(2) + segment + jpeg.mid(2);
}

} // namespace

class TestImageImport : public QObject
{
    Q_OBJECT

    QTemporaryDir FDir;

    QString Write(const QString &name, const QByteArray &bytes)
    {
        const QString path = FDir.filePath(name);
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
            qFatal("cannot write %s", qPrintable(path));
        return path;
    }

    // Every picture the tests write, by name: the good files of each format.
    QList<QPair<QString, QByteArray>> GoodFiles()
    {
        QImage indexed = Indexed();
        return {{QStringLiteral("a.bmp"), Encode(Sample(), "bmp")},
                {QStringLiteral("a.png"), Encode(Sample(), "png")},
                {QStringLiteral("a.jpg"), Encode(Sample(40, 30), "jpeg", 95)},
                {QStringLiteral("a.gif"), Gif(Sample())},
                {QStringLiteral("a.tif"), Encode(Sample(), "tiff")},
                {QStringLiteral("a.webp"), Encode(Sample(), "webp", 100)},
                {QStringLiteral("a8.pcx"), Pcx(indexed, false)},
                {QStringLiteral("a24.pcx"), Pcx(Sample(), true)}};
    }

private Q_SLOTS:
    void initTestCase() { QVERIFY(FDir.isValid()); }

    void readsEveryFormat()
    {
        const QImage sample = Sample();
        for (const auto &[name, bytes] : GoodFiles()) {
            const QImage image = NViewLibLoad(Write(name, bytes), 0);
            QVERIFY2(!image.isNull(), qPrintable(name));
            if (name == QLatin1String("a.jpg")) {
                QCOMPARE(image.size(), QSize(40, 30));
                continue; // lossy
            }
            if (name == QLatin1String("a8.pcx")) {
                QCOMPARE(image.convertToFormat(QImage::Format_RGB32),
                         Indexed().convertToFormat(QImage::Format_RGB32));
                continue;
            }
            QCOMPARE(image.convertToFormat(QImage::Format_RGB32), sample);
        }
    }

    void pcxDetails()
    {
        // Padded lines (an odd width written as even) and long runs.
        QImage wide(130, 3, QImage::Format_RGB32);
        wide.fill(qRgb(10, 20, 30));
        wide.setPixel(129, 2, qRgb(1, 2, 3));
        QImage image = NViewLibLoad(Write(QStringLiteral("wide.pcx"), Pcx(wide, true, 1)));
        QCOMPARE(image.convertToFormat(QImage::Format_RGB32), wide);

        // A header that cannot be right: lines shorter than the picture,
        // two planes, an end before the start.
        QByteArray good = Pcx(Sample(), true);
        QByteArray shortLines = good;
        qToLittleEndian<quint16>(3, shortLines.data() + 66);
        QByteArray twoPlanes = good;
        twoPlanes[65] = 2;
        QByteArray backwards = good;
        qToLittleEndian<quint16>(10, backwards.data() + 4);
        QByteArray noPalette = Pcx(Indexed(), false);
        noPalette[noPalette.size() - 769] = 0;
        for (const QByteArray &bad : {shortLines, twoPlanes, backwards, noPalette})
            QVERIFY(NViewLibLoad(Write(QStringLiteral("bad.pcx"), bad)).isNull());
    }

    void notAPicture()
    {
        QVERIFY(NViewLibLoad(QString()).isNull());
        QVERIFY(NViewLibLoad(FDir.filePath(QStringLiteral("missing.png"))).isNull());
        QVERIFY(NViewLibLoad(FDir.path()).isNull()); // a folder
        QVERIFY(NViewLibLoad(Write(QStringLiteral("empty.bmp"), QByteArray())).isNull());
        QVERIFY(
            NViewLibLoad(Write(QStringLiteral("text.png"), "[Pad]\r\nUnitSize=40\r\n")).isNull());
        QVERIFY(NViewLibLoad(Write(QStringLiteral("zeros.jpg"), QByteArray(5000, '\0'))).isNull());
    }

    void cutOffFilesAreRefused()
    {
        for (const auto &[name, bytes] : GoodFiles()) {
            // Cut inside the picture data and just before the end marker.
            for (const qsizetype keep : {bytes.size() / 2, bytes.size() - 1}) {
                const QImage image =
                    NViewLibLoad(Write(QStringLiteral("cut-") + name, bytes.left(keep)));
                QVERIFY2(image.isNull(), qPrintable(QStringLiteral("%1 cut to %2 of %3")
                                                        .arg(name)
                                                        .arg(keep)
                                                        .arg(bytes.size())));
            }
        }
    }

    void giantPicturesAreRefusedUnread()
    {
        // A 26-byte BMP that claims 100,000 x 100,000 pixels.
        QByteArray bmp = Encode(Sample(), "bmp");
        qToLittleEndian<qint32>(100000, bmp.data() + 18);
        qToLittleEndian<qint32>(100000, bmp.data() + 22);
        QVERIFY(NViewLibLoad(Write(QStringLiteral("giant.bmp"), bmp.left(54))).isNull());

        // A complete PNG whose header claims the same.
        QVERIFY(NViewLibLoad(Write(QStringLiteral("giant.png"), PngDeclaring(100000, 100000)))
                    .isNull());

        // At the limit the declared size decides whether decoding starts at
        // all: 7071 x 7071 is below 50 million pixels, 7072 x 7072 above.
        const QString below = Write(QStringLiteral("below.png"), PngDeclaring(7071, 7071));
        const QString above = Write(QStringLiteral("above.png"), PngDeclaring(7072, 7072));
        QCOMPARE(NViewLibDeclaredSize(above), QSize(7072, 7072));
        if (TAllocationWatch::Available()) {
            const TAllocationWatch watch;
            QVERIFY(NViewLibLoad(below).isNull()); // its data ends long before the picture
            QVERIFY(qint64(watch.Largest()) >= qint64(7071) * 7071 * 4);
        }
        {
            const TAllocationWatch watch;
            QVERIFY(NViewLibLoad(above).isNull());
            if (TAllocationWatch::Available())
                QVERIFY(watch.Largest() < (8u << 20));
        }

        // A PCX of 65,536 x 65,536 with a few bytes of data.
        QByteArray pcx = Pcx(Sample(), true);
        qToLittleEndian<quint16>(0xFFFF, pcx.data() + 8);
        qToLittleEndian<quint16>(0xFFFF, pcx.data() + 10);
        qToLittleEndian<quint16>(0xFFFF, pcx.data() + 66);
        QVERIFY(NViewLibLoad(Write(QStringLiteral("giant.pcx"), pcx)).isNull());
        // Within the pixel limit, but far more than the data could hold.
        qToLittleEndian<quint16>(3999, pcx.data() + 8);
        qToLittleEndian<quint16>(2999, pcx.data() + 10);
        qToLittleEndian<quint16>(4000, pcx.data() + 66);
        QVERIFY(NViewLibLoad(Write(QStringLiteral("hollow.pcx"), pcx)).isNull());
    }

    void exifOrientationIsHonoured()
    {
        // A picture 40 wide and 20 high, left half black, taken with the
        // camera turned: orientation 6 means "turn 90 degrees clockwise".
        QImage photo(40, 20, QImage::Format_RGB32);
        photo.fill(Qt::white);
        for (int y = 0; y < 20; ++y)
            for (int x = 0; x < 20; ++x)
                photo.setPixel(x, y, qRgb(0, 0, 0));
        const QByteArray jpeg = Encode(photo, "jpeg", 100);
        const QImage upright = NViewLibLoad(Write(QStringLiteral("plain.jpg"), jpeg));
        QCOMPARE(upright.size(), QSize(40, 20));
        const QImage turned =
            NViewLibLoad(Write(QStringLiteral("turned.jpg"), WithExifOrientation(jpeg, 6)));
        QCOMPARE(turned.size(), QSize(20, 40));
        // After the turn the black half is on top.
        QVERIFY(qGray(turned.pixel(10, 5)) < 40);
        QVERIFY(qGray(turned.pixel(10, 35)) > 215);
    }

    void decodesIntoThePictureGiven()
    {
        // Every format as read plainly, never a different picture because
        // of the place: photos in place, what the reader makes otherwise
        // (alpha, a turn, a palette) or lays out otherwise (TIFF) not.
        const QImage turnedSource = Sample(40, 20);
        auto files = GoodFiles();
        files.append({QStringLiteral("turned.jpg"),
                      WithExifOrientation(Encode(turnedSource, "jpeg", 95), 6)});
        QImage withAlpha = Sample().convertToFormat(QImage::Format_ARGB32);
        withAlpha.setPixel(0, 0, qRgba(1, 2, 3, 4));
        files.append({QStringLiteral("alpha.png"), Encode(withAlpha, "png")});
        for (const auto &[name, bytes] : files) {
            const QString path = Write(name, bytes);
            const QImage plain = NViewLibLoad(path);
            QVERIFY2(!plain.isNull(), qPrintable(name));
            QImage room(100, 80, QImage::Format_RGB32);
            room.fill(0xFF123456);
            uchar *at = room.bits() + 3 * room.bytesPerLine() + 2 * 4;
            QSize asked;
            const QImage placed = NViewLibLoad(path, [&](QSize size) {
                asked = size;
                return QImage(at, size.width(), size.height(), room.bytesPerLine(),
                              QImage::Format_RGB32);
            });
            QVERIFY2(placed == plain, qPrintable(name));
            const bool inPlace = placed.constBits() == at;
            // Photos land in place; pictures that come out otherwise do not.
            if (name == QLatin1String("a.png") || name == QLatin1String("a.jpg"))
                QVERIFY2(inPlace, qPrintable(name));
            if (name == QLatin1String("alpha.png") || name == QLatin1String("turned.jpg") ||
                name == QLatin1String("a8.pcx") || name == QLatin1String("a.tif"))
                QVERIFY2(!inPlace, qPrintable(name));
            if (name == QLatin1String("turned.jpg"))
                QCOMPARE(asked, turnedSource.size()); // as declared, before the turn
            if (inPlace) {
                QCOMPARE(room.pixel(1, 3), 0xFF123456u); // nothing outside the place
                QCOMPARE(room.pixel(2, 3), plain.pixel(0, 0));
            }
        }
    }

    void garbledFilesNeverCrash()
    {
        // Random damage to every kind of file: each load either gives a
        // sane picture or none, and returns.
        QRandomGenerator rng(4711);
        int loaded = 0, refused = 0;
        for (const auto &[name, good] : GoodFiles()) {
            for (int round = 0; round < 150; ++round) {
                QByteArray bytes = good;
                const int hits = 1 + rng.bounded(8);
                for (int k = 0; k < hits; ++k) {
                    const int at = rng.bounded(int(bytes.size()));
                    switch (rng.bounded(3)) {
                    case 0:
                        bytes[at] = char(rng.bounded(256));
                        break;
                    case 1:
                        bytes[at] = char(0xFF);
                        break;
                    default:
                        bytes.insert(at, char(rng.bounded(256)));
                        break;
                    }
                }
                const QImage image = NViewLibLoad(Write(QStringLiteral("fuzz-") + name, bytes));
                if (image.isNull()) {
                    ++refused;
                } else {
                    ++loaded;
                    QVERIFY(qint64(image.width()) * image.height() <= MaxPicturePixels);
                }
            }
        }
        QVERIFY(loaded + refused == 8 * 150);
    }
};

QTEST_GUILESS_MAIN(TestImageImport)
#include "tst_imageimport.moc"
