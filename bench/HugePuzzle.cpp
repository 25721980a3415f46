#include "HugePuzzle.h"

#include "DataRoot.h"
#include "ExpertLogic.h"
#include "ZarvoRandom.h"
#include "ZarvoTypes.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QRandomGenerator>
#include <cmath>

namespace {

// Something like a photo: smooth light, shapes and fine grain, so that the
// decoder does a photo's work.
QImage Photo(int w, int h)
{
    QImage image(w, h, QImage::Format_RGB32);
    QRandomGenerator rng(7);
    for (int y = 0; y < h; ++y) {
        auto *line = reinterpret_cast<quint32 *>(image.scanLine(y));
        for (int x = 0; x < w; ++x) {
            const double fx = double(x) / w, fy = double(y) / h;
            const int grain = int(rng.bounded(24u)) - 12;
            const int r = int(128 + 90 * std::sin(6.0 * fx + 2.0 * fy)) + grain;
            const int g = int(120 + 80 * std::cos(5.0 * fy - 3.0 * fx * fy)) + grain;
            const int b = int(110 + 70 * std::sin(9.0 * (fx - fy))) + grain;
            line[x] = qRgb(qBound(0, r, 255), qBound(0, g, 255), qBound(0, b, 255));
        }
    }
    return image;
}

void WriteExpertPuzzle(const QString &file, const QString &picture, int unit, int partsX,
                       int partsY)
{
    TExpertPuzzle p;
    p.Title = file;
    p.PicturePath = picture;
    p.Unit = unit;
    p.PartsX = partsX;
    p.PartsY = partsY;
    ZarvoRandom::SetSeed(4711);
    SaveExpertPuzzle(p, file);
}

// The same look with only the first piece in start and goal.
void WriteOnePiece(const QString &from, const QString &to)
{
    QFile in(from);
    if (!in.open(QIODevice::ReadOnly))
        return;
    QByteArray out;
    QByteArray section;
    for (const QByteArray &line : in.readAll().split('\n')) {
        const QByteArray t = line.trimmed();
        if (t.startsWith('['))
            section = t;
        const bool list = section == "[Start]" || section == "[Object]";
        if (list && t.startsWith("Count="))
            out += "Count=1\r\n";
        else if (!list || !t.startsWith("Zarvo") || t.startsWith("Zarvo1="))
            out += t.isEmpty() ? QByteArray() : t + "\r\n";
    }
    QFile f(to);
    if (f.open(QIODevice::WriteOnly))
        f.write(out);
}

qint64 StatusField(const char *name)
{
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : f.readAll().split('\n'))
        if (line.startsWith(name))
            return line.mid(qsizetype(qstrlen(name))).trimmed().split(' ').value(0).toLongLong() *
                   1024;
    return 0;
}

} // namespace

THugePuzzle MakeHugePuzzle(const QString &root, const QString &format)
{
    QDir dir(root);
    dir.mkpath(QStringLiteral("Data"));
    dir.mkpath(QStringLiteral("Image"));
    QFile types(dir.filePath(QStringLiteral("ZarvoTyp.ini")));
    if (types.open(QIODevice::WriteOnly))
        types.write("[Zarvo11]\r\nCount=1\r\nZarvo1=0,0,1,1,1111\r\n");
    types.close();
    DataRoot::UseRoot(root);
    PieceTypes().LoadTypes(DataRoot::PieceTypeFile());

    THugePuzzle h;
    h.Root = root;
    h.Picture = DataRoot::ImageDir() + QStringLiteral("photo.") + format;
    h.AllPieces = QStringLiteral("huge-%1.zrv").arg(format);
    h.OnePiece = QStringLiteral("single-%1.zrv").arg(format);
    if (!QFile::exists(h.Picture))
        Photo(4000, 3000).save(h.Picture, format == QLatin1String("jpg") ? "JPEG" : "BMP", 90);
    if (!QFile::exists(DataRoot::DataDir() + h.AllPieces))
        WriteExpertPuzzle(h.AllPieces, h.Picture, 10, 400, 300);
    if (!QFile::exists(DataRoot::DataDir() + h.OnePiece))
        WriteOnePiece(DataRoot::DataDir() + h.AllPieces, DataRoot::DataDir() + h.OnePiece);
    return h;
}

qint64 ResidentBytes()
{
    return StatusField("VmRSS:");
}

qint64 PeakResidentBytes()
{
    return StatusField("VmHWM:");
}

void ResetPeakResident()
{
    // "5" resets the peak resident size to the current one.
    QFile f(QStringLiteral("/proc/self/clear_refs"));
    if (f.open(QIODevice::WriteOnly))
        f.write("5");
}
