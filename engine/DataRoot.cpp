#include "DataRoot.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
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

bool IsWritableDir(const QString &dir)
{
    // QFileInfo::isWritable looks at permission bits only; a read-only mount
    // or an ACL can still refuse, so try a real file.
    QFile probe(dir + QStringLiteral(".zarvos-write-test"));
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
        if (rel.startsWith(QLatin1String("Hist/")) || rel == QLatin1String("zarvos") ||
            rel == QLatin1String("zarvos-cli"))
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
    QString user = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    if (user.isEmpty())
        user = QDir::homePath() + QStringLiteral("/.local/share/Zarvos");
    user = WithSlash(user);
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
