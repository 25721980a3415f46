#include "Allgem.h"
#include "DataRoot.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <cerrno>
#include <climits>
#include <cmath>
#include <unistd.h>

// The general routines: fields, padding, times of day, file checks, copying.
class TestAllgem : public QObject
{
    Q_OBJECT

    QTemporaryDir Root;

    static void Write(const QString &path, const QByteArray &content)
    {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        QCOMPARE(f.write(content), content.size());
    }
    static QByteArray Read(const QString &path)
    {
        QFile f(path);
        if (!f.open(QIODevice::ReadOnly))
            return QByteArray("<missing>");
        return f.readAll();
    }
    static void SetMTime(const QString &path, const QDateTime &when)
    {
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadWrite));
        QVERIFY(f.setFileTime(when, QFileDevice::FileModificationTime));
    }
    static QDateTime MTime(const QString &path) { return QFileInfo(path).lastModified(); }
    static double Minutes(int m) { return m / 1440.0; }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(Root.isValid());
        DataRoot::UseRoot(Root.path());
    }

    void fieldsAreCountedFromOneAndKeptUntrimmed()
    {
        QCOMPARE(ExtractField("a;b;;d", 1, ";"), QString("a"));
        QCOMPARE(ExtractField("a;b;;d", 3, ";"), QString(""));
        QCOMPARE(ExtractField("a;b;;d", 4, ";"), QString("d"));
        QCOMPARE(ExtractField("a;b;;d", 5, ";"), QString(""));
        QCOMPARE(ExtractField("a;b;;d", 0, ";"), QString(""));
        QCOMPARE(ExtractField("x; b ;c", 2, ";"), QString(" b "));
        QCOMPARE(ExtractField("a;", 2, ";"), QString(""));
        QCOMPARE(ExtractField("", 1, ";"), QString(""));
        // Every character of the separators ends a field.
        QCOMPARE(ExtractField("1:2;3", 3, ":;"), QString("3"));
    }

    void aRunOfBlanksIsOneSeparatorOnlyForALoneBlank()
    {
        QCOMPARE(ExtractField("a  b", 1, " "), QString("a"));
        QCOMPARE(ExtractField("a  b", 2, " "), QString("b"));
        QCOMPARE(ExtractField("a   b c", 2, " "), QString("b"));
        QCOMPARE(ExtractField("a   b c", 3, " "), QString("c"));
        QCOMPARE(ExtractField("a b  ", 2, " "), QString("b"));
        QCOMPARE(ExtractField("a b  ", 3, " "), QString(""));
        QCOMPARE(ExtractField("a  b", 2, " ;"), QString(""));
        QCOMPARE(ExtractField("a  b", 3, " ;"), QString("b"));
        // A leading run still ends an (empty) first field.
        QCOMPARE(ExtractField("  a", 1, " "), QString(""));
        QCOMPARE(ExtractField("  a", 2, " "), QString("a"));
    }

    void fieldDefaultsAndNumbers()
    {
        QCOMPARE(ExtractFieldDef("a;;c", 2, ";", "def"), QString("def"));
        QCOMPARE(ExtractFieldDef("a;;c", 3, ";", "def"), QString("c"));
        QCOMPARE(ExtractFieldDef("a;;c", 7, ";", "def"), QString("def"));
        QCOMPARE(ExtractFieldInt("x;12; 7;z;-3", 2, ";", -1), 12);
        QCOMPARE(ExtractFieldInt("x;12; 7;z;-3", 3, ";", -1), 7); // padded scores
        QCOMPARE(ExtractFieldInt("x;12; 7;z;-3", 4, ";", -1), -1);
        QCOMPARE(ExtractFieldInt("x;12; 7;z;-3", 5, ";", -1), -3);
        QCOMPARE(ExtractFieldInt("x;12; 7;z;-3", 9, ";", -1), -1);
        QCOMPARE(ExtractFieldInt("", 1, ";", 42), 42);
        QCOMPARE(ExtractFieldInt("99999999999", 1, ";", 42), 42); // no int
    }

    void zeroPadding()
    {
        QCOMPARE(ZeroPad(7, 2), QString("07"));
        QCOMPARE(ZeroPad(123, 2), QString("23"));
        QCOMPARE(ZeroPad(-5, 3), QString("-05"));
        QCOMPARE(ZeroPad(-123, 3), QString("-23"));
        QCOMPARE(ZeroPad(0, 3), QString("000"));
        // Only ten zeros exist: wider widths give the shorter whole text.
        QCOMPARE(ZeroPad(5, 12), QString("00000000005"));
        QCOMPARE(ZeroPad(-5, 14), QString("-00000000005"));
        QCOMPARE(ZeroPad(1234567890, 10), QString("1234567890"));
        QCOMPARE(ZeroPad(INT_MIN, 11), QString("-2147483648"));
        QCOMPARE(RightChars("abc", 5), QString("abc"));
        QCOMPARE(RightChars("abc", -1), QString(""));
    }

    void minutesRoundHalfAwayFromZero()
    {
        QCOMPARE(TimeToMinutes(Minutes(90)), 90);
        QCOMPARE(TimeToMinutes(0.5 / 1440.0), 1);
        QCOMPARE(TimeToMinutes(-0.5 / 1440.0), -1);
        QCOMPARE(TimeToMinutes(0.4 / 1440.0), 0);
        QCOMPARE(TimeToMinutes(1e300), 0);
        QCOMPARE(TimeToMinutes(std::nan("")), 0);
        int h = 0, m = 0;
        TimeToHourMin(Minutes(-90), h, m);
        QCOMPARE(h, -1);
        QCOMPARE(m, -30);
        TimeToHourMin(Minutes(-30), h, m);
        QCOMPARE(h, 0);
        QCOMPARE(m, -30);
        QCOMPARE(HourMinToTime(1, 30), 90 / 1440.0);
        QCOMPARE(HourMinToTime(-1, -30), -90 / 1440.0);
    }

    void formattingTimes()
    {
        QCOMPARE(TimeToText(Minutes(90)), QString("01:30"));
        QCOMPARE(TimeToTextEx(true, Minutes(90)), QString("01,50"));
        QCOMPARE(TimeToText(Minutes(12 * 60 + 5)), QString("12:05"));
        QCOMPARE(TimeToText(Minutes(-30)), QString("-00:30"));
        QCOMPARE(TimeToTextEx(true, Minutes(-90)), QString("-01,50"));
        QCOMPARE(TimeToText(Minutes(100 * 60)), QString("100:00"));
        QCOMPARE(TimeToTextEx(true, Minutes(1)), QString("00,02")); // (100 + 30) div 60
        QCOMPARE(TimeToTextEx(true, 0), QString("00,00"));
        QCOMPARE(TimeToText(0), QString("00:00"));
        QCOMPARE(FormatTime(false, "1,5,6", 0), QString("1:5,6"));
        QCOMPARE(FormatTime(true, "--", 0), QString("--"));
    }

    void readingTimes()
    {
        QCOMPARE(TextToTime(""), 0.0);
        QCOMPARE(TextToTime("-"), 0.0);
        QCOMPARE(TimeToMinutes(TextToTime(":30")), 30);
        QCOMPARE(TimeToMinutes(TextToTime("2:")), 120);
        QCOMPARE(TimeToMinutes(TextToTime("3")), 180);
        QCOMPARE(TimeToMinutes(TextToTime("1,50")), 90);
        QCOMPARE(TimeToMinutes(TextToTime("1,5")), 63);
        QCOMPARE(TimeToMinutes(TextToTime("-1:30")), -90);
        QCOMPARE(TimeToMinutes(TextToTime("-:30")), -30);
        // Formatting and reading agree, negative times included.
        for (int m : {-754, -30, 1, 59, 61, 1439, 6000})
            QCOMPARE(TimeToMinutes(TextToTime(TimeToText(Minutes(m)))), m);
    }

    void unreadableTimesRaiseTheGermanMessage_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("message");
        QTest::newRow("letter") << "x"
                                << "'x' ist keine gültige Zeit";
        QTest::newRow("sign dropped") << "-x"
                                      << "'x' ist keine gültige Zeit";
        QTest::newRow("bad minutes") << "1:xx"
                                     << "'1:xx' ist keine gültige Zeit";
        QTest::newRow("bad hours") << "a,5"
                                   << "'a,5' ist keine gültige Zeit";
        QTest::newRow("too big") << "99999999999"
                                 << "'99999999999' ist keine gültige Zeit";
    }
    void unreadableTimesRaiseTheGermanMessage()
    {
        QFETCH(QString, text);
        QFETCH(QString, message);
        try {
            TextToTime(text);
            QFAIL("no conversion error");
        } catch (const EConvertError &e) {
            QCOMPARE(e.Message, message);
        }
    }

    void dateTimesCountDaysFromTheBaseDay()
    {
        QCOMPARE(DateTimeFromQt(QDateTime(QDate(2000, 1, 1), QTime(0, 0))), 36526.0);
        QCOMPARE(DateTimeFromQt(QDateTime(QDate(1899, 12, 30), QTime(6, 0))), 0.25);
        // Before the base day the time of day still counts forward.
        QCOMPARE(DateTimeFromQt(QDateTime(QDate(1899, 12, 29), QTime(12, 0))), -1.5);
        QCOMPARE(QtFromDateTime(-1.5), QDateTime(QDate(1899, 12, 29), QTime(12, 0)));
        QCOMPARE(QtFromDateTime(36526.75), QDateTime(QDate(2000, 1, 1), QTime(18, 0)));
        QCOMPARE(YearOfDate(1), 1899);
        QCOMPARE(YearOfDate(2), 1900);
        QCOMPARE(YearOfDate(36526.99999), 2000);
        QCOMPARE(YearOfDate(DateTimeFromQt(QDateTime(QDate(2024, 12, 31), QTime(23, 59)))), 2024);
        QCOMPARE(BoolToInt(true) + BoolToInt(false), 1);
        QCOMPARE(IfThenStr(false, "a", "b"), QString("b"));
    }

    void existenceAndFileDates()
    {
        QTemporaryDir dir;
        const QString file = dir.filePath("p.zrv");
        Write(file, "x");
        const QDateTime when(QDate(2021, 6, 15), QTime(10, 30, 0));
        SetMTime(file, when);
        QVERIFY(PathExists(file, true));
        QVERIFY(PathExists(dir.path(), true)); // directories count
        QVERIFY(!PathExists(dir.filePath("none"), true));
        QVERIFY(!PathExists(file + "/below", true)); // path through a file: not found
        QVERIFY(!PathExists("", true));
        QCOMPARE(FileDateTime(dir.filePath("none"), true), -1.0);
        QVERIFY(std::abs(FileDateTime(file, false) - DateTimeFromQt(when)) < 1e-6);
        QCOMPARE(YearOfDate(FileDateTime(file, false)), 2021);
    }

    void ioErrorsCarryTheTableMessages()
    {
        QCOMPARE(IOResultFromErrno(ENOENT), 2);
        QCOMPARE(IOResultFromErrno(ENOTDIR), 3);
        QCOMPARE(IOResultFromErrno(ENAMETOOLONG), 3);
        QCOMPARE(IOResultFromErrno(EMFILE), 4);
        QCOMPARE(IOResultFromErrno(EACCES), 5);
        QCOMPARE(IOResultFromErrno(EROFS), 5);
        QCOMPARE(IOResultFromErrno(ENOSPC), 101);
        // Unlisted platform errors must not pose as a table code.
        for (int err : {EINTR, EAGAIN, EPIPE, ENOTEMPTY}) {
            const int code = IOResultFromErrno(err);
            QVERIFY(code != 0 && code != 2 && code != 3 && code != 4 && code != 5);
            QVERIFY(code != 18 && code != 100 && code != 101 && code != 106);
        }
        QCOMPARE(IOErrorFromResult(2).Message, QString("Datei nicht gefunden"));
        QCOMPARE(IOErrorFromResult(3).Message, QString("Ungültiger Dateiname"));
        QCOMPARE(IOErrorFromResult(4).Message, QString("Zu viele geöffnete Dateien"));
        QCOMPARE(IOErrorFromResult(5).Message, QString("Dateizugriff verweigert"));
        QCOMPARE(IOErrorFromResult(100).Message, QString("Versuch hinter dem Dateiende zu lesen"));
        QCOMPARE(IOErrorFromResult(101).Message, QString("Zu wenig Speicherplatz"));
        QCOMPARE(IOErrorFromResult(106).Message, QString("Ungültige numerische Eingabe"));
        QCOMPARE(IOErrorFromResult(77).Message, QString("E/A-Fehler 77"));
        QCOMPARE(IOErrorFromResult(77).Code, 77);
    }

    void deniedAccessIsRaisedOnlyWhenAsked()
    {
        if (geteuid() == 0)
            QSKIP("root passes every permission check");
        QTemporaryDir dir;
        const QString locked = dir.filePath("locked");
        QVERIFY(QDir().mkdir(locked));
        Write(locked + "/f", "x");
        QFile::setPermissions(locked, QFileDevice::ReadOwner);
        QVERIFY(!PathExists(locked + "/f", false));
        QCOMPARE(FileDateTime(locked + "/f", false), -1.0);
        try {
            PathExists(locked + "/f", true);
            QFAIL("no I/O error");
        } catch (const EInOutError &e) {
            QCOMPARE(e.Code, 5);
            QCOMPARE(e.Message, QString("Dateizugriff verweigert"));
        }
        QVERIFY_THROWS_EXCEPTION(EInOutError, FileDateTime(locked + "/f", true));
        QFile::setPermissions(locked, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                          QFileDevice::ExeOwner);
    }

    void samePathComparesRealFiles()
    {
        QTemporaryDir dir;
        QVERIFY(QDir().mkdir(dir.filePath("sub")));
        const QString a = dir.filePath("a.zrv");
        Write(a, "a");
        QVERIFY(SamePath(a, dir.path() + "/./sub/../a.zrv"));
        QVERIFY(QFile::link(a, dir.filePath("link.zrv")));
        QVERIFY(SamePath(a, dir.filePath("link.zrv")));
        // Case matters where the file system tells the names apart.
        QVERIFY(!SamePath(a, dir.filePath("A.zrv")));
        Write(dir.filePath("A.zrv"), "A");
        QVERIFY(!SamePath(a, dir.filePath("A.zrv")));
        // Missing files compare by their resolved names.
        QVERIFY(SamePath(dir.filePath("new.zrv"), dir.path() + "/sub/../new.zrv"));
        QVERIFY(!SamePath(dir.filePath("new.zrv"), dir.filePath("NEW.zrv")));
        QVERIFY(!SamePath("", ""));
    }

    void copyKeepsContentAndDate()
    {
        QTemporaryDir dir;
        const QString src = dir.filePath("src.zrv");
        const QString dst = dir.filePath("dst.zrv");
        QByteArray big;
        for (int i = 0; i < 10000; ++i)
            big.append(char(i * 7));
        Write(src, big); // more than two blocks, last one short
        const QDateTime when(QDate(2019, 2, 3), QTime(4, 5, 6, 700));
        SetMTime(src, when);
        Write(dst, "old content");
        QVERIFY(CopyFileKeepDate(src, dst, false));
        QCOMPARE(Read(dst), big);
        QCOMPARE(MTime(dst), when);
        // Nothing is left behind beside the destination.
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files).size(), 2);
    }

    void copyRespectsKeepExisting()
    {
        QTemporaryDir dir;
        const QString src = dir.filePath("src.zrv");
        const QString dst = dir.filePath("dst.zrv");
        Write(src, "new");
        Write(dst, "player's scores");
        QVERIFY(!CopyFileKeepDate(src, dst, true));
        QCOMPARE(Read(dst), QByteArray("player's scores"));
        QVERIFY(CopyFileKeepDate(src, dir.filePath("fresh.zrv"), true));
        QCOMPARE(Read(dir.filePath("fresh.zrv")), QByteArray("new"));
    }

    void copyOntoItselfLeavesTheFileUntouched()
    {
        QTemporaryDir dir;
        const QString f = dir.filePath("self.zrv");
        Write(f, "keep me");
        const QDateTime when(QDate(2010, 1, 1), QTime(0, 0));
        SetMTime(f, when);
        QVERIFY(CopyFileKeepDate(f, f, false));
        QVERIFY(CopyFileKeepDate(f, dir.path() + "/./self.zrv", true));
        QCOMPARE(Read(f), QByteArray("keep me"));
        QCOMPARE(MTime(f), when);
    }

    void copyBetweenNamesDifferingInCaseIsARealCopy()
    {
        QTemporaryDir dir;
        const QString lower = dir.filePath("puzzle.zrv");
        const QString upper = dir.filePath("Puzzle.zrv");
        Write(lower, "new version");
        Write(upper, "old version");
        QVERIFY(CopyFileKeepDate(lower, upper, false));
        QCOMPARE(Read(upper), QByteArray("new version"));
        QVERIFY(QFile::remove(upper));
        QVERIFY(CopyFileKeepDate(lower, upper, true));
        QCOMPARE(Read(upper), QByteArray("new version"));
    }

    void failedCopiesReportFalseAndKeepTheDestination()
    {
        QTemporaryDir dir;
        const QString dst = dir.filePath("dst.zrv");
        Write(dst, "precious");
        QVERIFY(!CopyFileKeepDate(dir.filePath("missing.zrv"), dst, false));
        QCOMPARE(Read(dst), QByteArray("precious"));
        QVERIFY(!CopyFileKeepDate(dst, dir.filePath("no/such/dir/x.zrv"), false));
        QVERIFY(!CopyFileKeepDate(dir.path(), dir.filePath("fromdir.zrv"), false));
        QVERIFY(!QFile::exists(dir.filePath("fromdir.zrv")));
    }
};

QTEST_GUILESS_MAIN(TestAllgem)
#include "tst_allgem.moc"
