#include "DataRoot.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStandardPaths>

namespace {
QString GProgramDir;
QString GRootDir;

QString WithSlash(QString dir)
{
    dir = QDir::cleanPath(dir);
    if (!dir.endsWith(QLatin1Char('/')))
        dir += QLatin1Char('/');
    return dir;
}

const QString WriteProbe = QStringLiteral(".zarvos-write-test");

bool IsWritableDir(const QString &dir)
{
    // QFileInfo::isWritable looks at permission bits only; a read-only mount
    // or an ACL can still refuse, so try a real file.
    QFile probe(dir + WriteProbe);
    if (!probe.open(QIODevice::WriteOnly))
        return false;
    probe.close();
    probe.remove();
    return true;
}

// Copies the installed collection into the per-user folder: only files that
// are missing there, so scores and games already written are never touched.
void FillFrom(const QString &source, const QString &target)
{
    QDirIterator it(source, QDir::Files | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString from = it.next();
        const QString rel = QDir(source).relativeFilePath(from);
        // The help is read from the installation; a copy would only go stale.
        if (rel.startsWith(QLatin1String("Hist/")) || rel.startsWith(QLatin1String("help/")) ||
            rel == QLatin1String("zarvos") || rel == QLatin1String("zarvos-cli"))
            continue;
        const QString to = target + rel;
        if (QFileInfo::exists(to))
            continue;
        QDir().mkpath(QFileInfo(to).absolutePath());
        QFile::copy(from, to);
        QFile(to).setPermissions(QFile(to).permissions() | QFileDevice::WriteOwner);
    }
}
} // namespace

namespace DataRoot {
QString InstalledCollectionDir(const QString &programDir)
{
    const QString dir = WithSlash(programDir);
    if (QFileInfo::exists(dir + QStringLiteral("ZarvoTyp.ini")))
        return dir;
    const QString share = WithSlash(dir + QStringLiteral("../share/zarvos"));
    if (QFileInfo::exists(share + QStringLiteral("ZarvoTyp.ini")))
        return share;
    return QString();
}

void Init(const QString &programDir)
{
    QString dir = programDir;
    if (dir.isEmpty())
        dir = QCoreApplication::applicationDirPath();
    GProgramDir = WithSlash(dir);

    if (QFileInfo::exists(GProgramDir + QStringLiteral("ZarvoTyp.ini")) &&
        IsWritableDir(GProgramDir)) {
        UseRoot(GProgramDir);
        return;
    }
    // Named here rather than after the running program, so the game and
    // zarvos-cli share one folder.
    QString share = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    if (share.isEmpty())
        share = QDir::homePath() + QStringLiteral("/.local/share");
    const QString user = WithSlash(share + QStringLiteral("/Zarvos"));
    QDir().mkpath(user);
    const QString installed = InstalledCollectionDir(GProgramDir);
    if (!installed.isEmpty())
        FillFrom(installed, user);
    UseRoot(user);
}

void UseRoot(const QString &root)
{
    GRootDir = WithSlash(QFileInfo(root).absoluteFilePath());
    if (GProgramDir.isEmpty())
        GProgramDir = GRootDir;
    QDir().mkpath(HistDir());
}

int RemoveInterruptedSaves(const QString &dir, const QStringList &finalNames)
{
    // QSaveFile writes "<final name>.XXXXXX" and renames it over the final
    // name; QFile::copy writes "qt_temp.XXXXXX". The X are letters.
    static const QRegularExpression temporary(QStringLiteral("^(.+)\\.[A-Za-z]{6}$"));
    static const QRegularExpression copy(QStringLiteral("^qt_temp\\.[A-Za-z]{6}$"));
    int removed = 0;
    const QFileInfoList entries =
        QDir(dir).entryInfoList(QDir::Files | QDir::Hidden | QDir::System);
    for (const QFileInfo &entry : entries) {
        if (entry.isSymLink())
            continue;
        const QString name = entry.fileName();
        bool stray = copy.match(name).hasMatch();
        const QRegularExpressionMatch m = temporary.match(name);
        if (!stray && m.hasMatch()) {
            const QString finalName = m.captured(1);
            for (const QString &kind : finalNames)
                if (kind.startsWith(QLatin1Char('.'))
                        ? finalName.endsWith(kind, Qt::CaseInsensitive)
                        : finalName.compare(kind, Qt::CaseInsensitive) == 0) {
                    stray = true;
                    break;
                }
        }
        if (stray && QFile::remove(entry.absoluteFilePath()))
            ++removed;
    }
    return removed;
}

int RemoveInterruptedSaves()
{
    if (GRootDir.isEmpty())
        return 0;
    const QStringList puzzles{QStringLiteral(".zrv"), QStringLiteral(".bmp")};
    // The expert copies the picture of a new puzzle into Image/ under its own name.
    const QStringList pictures{
        QStringLiteral(".bmp"),  QStringLiteral(".jpg"),  QStringLiteral(".jpeg"),
        QStringLiteral(".png"),  QStringLiteral(".gif"),  QStringLiteral(".tif"),
        QStringLiteral(".tiff"), QStringLiteral(".webp"), QStringLiteral(".pcx"),
        QStringLiteral(".ico"),  QStringLiteral(".tga"),  QStringLiteral(".ppm"),
        QStringLiteral(".pgm"),  QStringLiteral(".pbm"),  QStringLiteral(".svg")};
    int removed = RemoveInterruptedSaves(GRootDir, {QStringLiteral("ZarvoTyp.ini")});
    removed +=
        RemoveInterruptedSaves(DataDir(), puzzles + QStringList{QStringLiteral("PuzzleList.idx")});
    removed += RemoveInterruptedSaves(DataDir() + QStringLiteral("New/"), puzzles);
    removed += RemoveInterruptedSaves(ImageDir(), pictures);
    removed += RemoveInterruptedSaves(HistDir(), {QStringLiteral(".zrh"), QStringLiteral("Temp")});
    if (QFile::remove(GRootDir + WriteProbe))
        ++removed;
    return removed;
}

QString ProgramDir()
{
    return GProgramDir;
}
QString RootDir()
{
    return GRootDir;
}
QString DataDir()
{
    return GRootDir + QStringLiteral("Data/");
}
QString ImageDir()
{
    return GRootDir + QStringLiteral("Image/");
}
QString HistDir()
{
    return GRootDir + QStringLiteral("Hist/");
}
QString PieceTypeFile()
{
    return GRootDir + QStringLiteral("ZarvoTyp.ini");
}
} // namespace DataRoot
