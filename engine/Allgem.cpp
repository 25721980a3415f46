#include "Allgem.h"

#include <QDate>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QTime>

#include <cerrno>
#include <climits>
#include <cmath>
#include <sys/stat.h>

namespace {
const QDate BaseDate(1899, 12, 30);
constexpr qint64 MSecsPerDay = 86400000;

bool IsSeparator(QChar c, const QString &separators)
{
    return separators.contains(c);
}

// Whole number with optional sign; surrounding blanks are tolerated because
// the score lists pad their numbers with spaces.
bool ParseInt(const QString &text, int &value)
{
    bool ok = false;
    const int v = text.trimmed().toInt(&ok, 10);
    if (ok)
        value = v;
    return ok;
}

// stat() that hands back the table code of a failure (0 on success).
int StatPath(const QString &name, struct stat &st)
{
    if (name.isEmpty())
        return 2;
    if (::stat(QFile::encodeName(name).constData(), &st) == 0)
        return 0;
    return IOResultFromErrno(errno);
}

bool IsNotFound(int code)
{
    return code == 2 || code == 3 || code == 18;
}

#if defined(Q_OS_WIN) || defined(Q_OS_DARWIN)
constexpr Qt::CaseSensitivity PathCase = Qt::CaseInsensitive;
#else
constexpr Qt::CaseSensitivity PathCase = Qt::CaseSensitive;
#endif

// The full name with every existing part resolved (links, "..", "."), so
// two spellings of one place compare equal even when the file is missing.
QString CanonicalName(const QString &name)
{
    const QFileInfo info(name);
    const QString canonical = info.canonicalFilePath();
    if (!canonical.isEmpty())
        return canonical;
    const QString dir = QFileInfo(info.absolutePath()).canonicalFilePath();
    if (dir.isEmpty())
        return QDir::cleanPath(info.absoluteFilePath());
    return QDir::cleanPath(dir + QLatin1Char('/') + info.fileName());
}
} // namespace

QString ExtractField(const QString &text, int n, const QString &separators)
{
    if (n < 1)
        return QString();
    const bool blankRuns = separators == QLatin1String(" ");
    int field = 1;
    int start = 0;
    const int len = int(text.size());
    int runStart = -1; // first blank of the current run when blanks run together
    for (int i = 0; i < len; ++i) {
        if (!IsSeparator(text.at(i), separators))
            continue;
        // With a lone blank as separator a whole run of blanks is one separator.
        if (blankRuns && i + 1 < len && text.at(i + 1) == QLatin1Char(' ')) {
            if (runStart < 0)
                runStart = i;
            continue;
        }
        const int end = runStart >= 0 ? runStart : i;
        runStart = -1;
        if (field == n)
            return text.mid(start, end - start);
        ++field;
        start = i + 1;
    }
    if (field == n)
        return text.mid(start);
    return QString();
}

QString ExtractFieldDef(const QString &text, int n, const QString &separators, const QString &def)
{
    const QString field = ExtractField(text, n, separators);
    return field.isEmpty() ? def : field;
}

int ExtractFieldInt(const QString &text, int n, const QString &separators, int def)
{
    if (text.isEmpty())
        return def;
    int value = def;
    if (!ParseInt(ExtractField(text, n, separators), value))
        return def;
    return value;
}

QString RightChars(const QString &text, int count)
{
    if (count <= 0)
        return QString();
    return text.right(count);
}

QString ZeroPad(int number, int width)
{
    static const QString Zeros = QStringLiteral("0000000000");
    if (number >= 0)
        return RightChars(Zeros + QString::number(number), width);
    // qint64: the absolute value of INT_MIN does not fit an int.
    const qint64 absolute = -qint64(number);
    return QLatin1Char('-') + RightChars(Zeros + QString::number(absolute), width - 1);
}

double HourMinToTime(int hours, int minutes)
{
    return (double(hours) * 60.0 + double(minutes)) / 1440.0;
}

int TimeToMinutes(double time)
{
    const double minutes =
        time >= 0 ? std::trunc(time * 1440.0 + 0.5) : std::trunc(time * 1440.0 - 0.5);
    if (!std::isfinite(minutes) || minutes > double(INT_MAX) || minutes < double(INT_MIN))
        return 0;
    return int(minutes);
}

void TimeToHourMin(double time, int &hours, int &minutes)
{
    const int m = TimeToMinutes(time);
    hours = m / 60;
    minutes = m % 60;
}

QString FormatTime(bool decimal, const QString &def, double time)
{
    if (time == 0) {
        QString result = def;
        const QChar from = decimal ? QLatin1Char(':') : QLatin1Char(',');
        const QChar to = decimal ? QLatin1Char(',') : QLatin1Char(':');
        const qsizetype at = result.indexOf(from);
        if (at >= 0)
            result[at] = to;
        return result;
    }
    int hours = 0;
    int minutes = 0;
    TimeToHourMin(time, hours, minutes);
    const bool negative = hours < 0 || minutes < 0;
    hours = std::abs(hours);
    minutes = std::abs(minutes);
    QChar separator = QLatin1Char(':');
    if (decimal) {
        minutes = (minutes * 100 + 30) / 60;
        separator = QLatin1Char(',');
    }
    QString result = QString::number(hours) + separator + ZeroPad(minutes, 2);
    if (result.size() < 5)
        result.prepend(QLatin1Char('0'));
    if (negative)
        result.prepend(QLatin1Char('-'));
    return result;
}

QString TimeToText(double time)
{
    return FormatTime(false, QStringLiteral("00:00"), time);
}

QString TimeToTextEx(bool decimal, double time)
{
    return FormatTime(decimal, QStringLiteral("00:00"), time);
}

double TextToTime(const QString &text)
{
    if (text.isEmpty())
        return 0;
    QString rest = text;
    int sign = 1;
    if (rest.startsWith(QLatin1Char('-'))) {
        rest.remove(0, 1);
        sign = -1;
        if (rest.isEmpty())
            return 0;
    }
    const auto fail = [&rest]() {
        return EConvertError(QLatin1Char('\'') + rest + QStringLiteral("' ist keine gültige Zeit"));
    };
    qsizetype at = rest.indexOf(QLatin1Char(':'));
    if (at < 0)
        at = rest.indexOf(QLatin1Char(','));
    int hours = 0;
    int minutes = 0;
    if (at < 0) {
        if (!ParseInt(rest, hours))
            throw fail();
    } else {
        const QString hourPart = rest.left(at);
        const QString minutePart = rest.mid(at + 1);
        if (!hourPart.isEmpty() && !ParseInt(hourPart, hours))
            throw fail();
        if (!minutePart.isEmpty() && !ParseInt(minutePart, minutes))
            throw fail();
        if (rest.at(at) == QLatin1Char(',')) // hundredths of an hour
            minutes = int((qint64(minutes) * 60 + 50) / 100);
    }
    return HourMinToTime(sign * hours, sign * minutes);
}

double DateTimeFromQt(const QDateTime &dt)
{
    const QDateTime local = dt.toLocalTime();
    const qint64 days = BaseDate.daysTo(local.date());
    const double fraction = double(local.time().msecsSinceStartOfDay()) / double(MSecsPerDay);
    // Before the base day the whole days count down while the time of day
    // still counts up, so the fraction goes with the sign.
    return days < 0 ? double(days) - fraction : double(days) + fraction;
}

QDateTime QtFromDateTime(double dt)
{
    if (!std::isfinite(dt) || std::abs(dt) > 3.0e6)
        return QDateTime();
    qint64 days = qint64(std::trunc(dt));
    qint64 msecs = qint64(std::llround(std::abs(dt - double(days)) * double(MSecsPerDay)));
    if (msecs >= MSecsPerDay) {
        msecs -= MSecsPerDay;
        days += dt < 0 ? -1 : 1;
    }
    return QDateTime(BaseDate.addDays(days), QTime::fromMSecsSinceStartOfDay(int(msecs)));
}

double Now()
{
    return DateTimeFromQt(QDateTime::currentDateTime());
}

int YearOfDate(double date)
{
    const QDateTime dt = QtFromDateTime(date);
    return dt.isValid() ? dt.date().year() : 0;
}

int BoolToInt(bool flag)
{
    return flag ? 1 : 0;
}

QString IfThenStr(bool flag, const QString &a, const QString &b)
{
    return flag ? a : b;
}

bool PathExists(const QString &name, bool raise)
{
    struct stat st
    {};
    const int code = StatPath(name, st);
    if (code == 0)
        return true;
    if (raise && !IsNotFound(code))
        throw IOErrorFromResult(code);
    return false;
}

double FileDateTime(const QString &name, bool raise)
{
    struct stat st
    {};
    const int code = StatPath(name, st);
    if (code != 0) {
        if (raise && !IsNotFound(code))
            throw IOErrorFromResult(code);
        return -1;
    }
    const QDateTime modified = QFileInfo(name).lastModified();
    if (!modified.isValid())
        return 0;
    return DateTimeFromQt(modified);
}

bool SamePath(const QString &a, const QString &b)
{
    if (a.isEmpty() || b.isEmpty())
        return false;
    // One file under two names (links, a case-blind mount) is one device and inode.
    struct stat sa
    {};
    struct stat sb
    {};
    const bool existsA = StatPath(a, sa) == 0;
    const bool existsB = StatPath(b, sb) == 0;
    if (existsA && existsB)
        return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
    if (existsA != existsB)
        return false;
    return QString::compare(CanonicalName(a), CanonicalName(b), PathCase) == 0;
}

bool CopyFileKeepDate(const QString &source, const QString &destination, bool keepExisting)
{
    if (SamePath(source, destination))
        return true;
    if (keepExisting && PathExists(destination, false))
        return false;

    QFile in(source);
    if (!in.open(QIODevice::ReadOnly))
        return false;
    struct stat sourceStat
    {};
    if (::fstat(in.handle(), &sourceStat) != 0)
        return false;

    // Written beside the destination and renamed over it, so a failed or
    // interrupted copy leaves the old file whole.
    QSaveFile out(destination);
    if (!out.open(QIODevice::WriteOnly))
        return false;
    char block[4096];
    for (;;) {
        const qint64 got = in.read(block, sizeof block);
        if (got < 0) {
            out.cancelWriting();
            return false;
        }
        if (got == 0)
            break;
        if (out.write(block, got) != got) {
            out.cancelWriting();
            return false;
        }
    }
    if (!out.flush())
        return false;
    const struct timespec times[2] = {sourceStat.st_atim, sourceStat.st_mtim};
    if (::futimens(out.handle(), times) != 0) {
        out.cancelWriting();
        return false;
    }
    return out.commit();
}

EInOutError IOErrorFromResult(int code)
{
    QString message;
    switch (code) {
    case 2:
        message = QStringLiteral("Datei nicht gefunden");
        break;
    case 3:
        message = QStringLiteral("Ungültiger Dateiname");
        break;
    case 4:
        message = QStringLiteral("Zu viele geöffnete Dateien");
        break;
    case 5:
        message = QStringLiteral("Dateizugriff verweigert");
        break;
    case 100:
        message = QStringLiteral("Versuch hinter dem Dateiende zu lesen");
        break;
    case 101:
        message = QStringLiteral("Zu wenig Speicherplatz");
        break;
    case 106:
        message = QStringLiteral("Ungültige numerische Eingabe");
        break;
    default:
        message = QStringLiteral("E/A-Fehler %1").arg(code);
        break;
    }
    return EInOutError(code, message);
}

int IOResultFromErrno(int err)
{
    switch (err) {
    case 0:
        return 0;
    case ENOENT:
        return 2;
    case ENOTDIR:
    case ENAMETOOLONG:
    case EINVAL:
    case ELOOP:
        return 3;
    case EMFILE:
    case ENFILE:
        return 4;
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR:
        return 5;
    case EBADF:
        return 6;
    case ENOMEM:
        return 8;
    case EXDEV:
        return 17;
    case EBUSY:
    case ETXTBSY:
        return 32;
    case EEXIST:
        return 80;
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
        return 101;
    case EIO:
        return 29;
    default:
        // Outside every code the table or the platform's own list uses.
        return 1000 + err;
    }
}
