#include "PictureFilters.h"

#include <QImageReader>
#include <map>

namespace {

// Qt names some formats twice; one entry shows both endings.
QString FormatOf(const QString &ending)
{
    if (ending == QLatin1String("jpg") || ending == QLatin1String("jpeg"))
        return QStringLiteral("jpeg");
    if (ending == QLatin1String("tif") || ending == QLatin1String("tiff"))
        return QStringLiteral("tiff");
    if (ending == QLatin1String("svgz"))
        return QStringLiteral("svg");
    return ending;
}

QString Description(const QString &format)
{
    if (format == QLatin1String("bmp"))
        return QStringLiteral("Bitmaps");
    if (format == QLatin1String("tiff"))
        return QStringLiteral("TIF Bilddatei");
    return format.toUpper() + QStringLiteral(" Bilddatei");
}

} // namespace

QStringList PictureFileFilters()
{
    QStringList endings;
    for (const QByteArray &name : QImageReader::supportedImageFormats())
        endings << QString::fromLatin1(name).toLower();
    endings << QStringLiteral("pcx"); // read by the loader itself
    endings.removeDuplicates();
    endings.sort();

    std::map<QString, QStringList> byFormat; // ordered by format name
    QStringList all;
    for (const QString &ending : endings) {
        const QString pattern = QStringLiteral("*.") + ending;
        all << pattern;
        byFormat[FormatOf(ending)] << pattern;
    }
    QStringList filters{QStringLiteral("Alle Bilddateien (%1)").arg(all.join(QLatin1Char(' ')))};
    for (const auto &[format, patterns] : byFormat)
        filters << QStringLiteral("%1 (%2)").arg(Description(format),
                                                 patterns.join(QLatin1Char(' ')));
    return filters;
}
