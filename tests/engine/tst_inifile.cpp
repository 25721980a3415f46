#include "IniFile.h"
#include "ZarvoError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

// The game's INI files: puzzles and piece types, read and rewritten by hand-
// made files that authors edit, so layout and bytes must survive.
class TestIniFile : public QObject
{
    Q_OBJECT

    QTemporaryDir FDir;

    QString WriteFile(const QString &name, const QByteArray &bytes)
    {
        const QString path = FDir.filePath(name);
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly))
            qFatal("cannot write");
        f.write(bytes);
        return path;
    }

    static QByteArray ReadFile(const QString &path)
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }

private Q_SLOTS:
    void readsNamesWithoutRegardToCase()
    {
        // LF and CR LF mixed, blanks around names and values, a comment, a
        // repeated key and a repeated section: the first of each counts.
        const QString path = WriteFile("a.ini", "; made by hand\n"
                                                "[Pad]\r\n"
                                                "  UnitSize = 30 \r\n"
                                                "ImgBack=stone.bmp\n"
                                                ";Border=9\n"
                                                "unitsize=99\n"
                                                "Offset=-1,7\r\n"
                                                "\r\n"
                                                "[ Start ]\n"
                                                "Count=2\n"
                                                "[PAD]\n"
                                                "Border=5\n");
        const TIniFile ini(path);
        QCOMPARE(ini.ReadString("pad", "UNITSIZE", "x"), QString("30"));
        QCOMPARE(ini.ReadInteger("PAD", "unitSize", 0), 30);
        QCOMPARE(ini.ReadString("Pad", "ImgBack", ""), QString("stone.bmp"));
        QCOMPARE(ini.ReadString("Pad", "Offset", ""), QString("-1,7"));
        QCOMPARE(ini.ReadInteger("start", "count", 0), 2);
        QVERIFY(
            !ini.ValueExists("Pad", "Border")); // commented out, and the second [PAD] is ignored
        QVERIFY(!ini.ValueExists("Pad", "; made by hand"));
        QCOMPARE(ini.ReadString("Pad", "Missing", "def"), QString("def"));
        QCOMPARE(ini.SectionNames(), QStringList({"Pad", "Start"}));
        QCOMPARE(ini.KeyNames("pad"), QStringList({"UnitSize", "ImgBack", "Offset"}));
        QVERIFY(ini.SectionExists("START"));
        QVERIFY(!ini.SectionExists("Object"));
    }

    void integersTakeTheirDefaultWhenMalformed()
    {
        TIniFile ini;
        ini.SetText("[S]\nA=12x\nB=\nC=-17\nD= 8 \nE=99999999999\nF=1\nG=0\n");
        QCOMPARE(ini.ReadInteger("S", "A", 5), 5);
        QCOMPARE(ini.ReadInteger("S", "B", 5), 5);
        QCOMPARE(ini.ReadInteger("S", "C", 5), -17);
        QCOMPARE(ini.ReadInteger("S", "D", 5), 8);
        QCOMPARE(ini.ReadInteger("S", "E", 5), 5);
        QCOMPARE(ini.ReadInteger("S", "Z", 5), 5);
        QCOMPARE(ini.ReadBool("S", "F", false), true);
        QCOMPARE(ini.ReadBool("S", "G", true), false);
        QCOMPARE(ini.ReadBool("S", "Z", true), true);
    }

    void rewritingKeepsTheLayout()
    {
        const QString path = WriteFile("b.ini", "; header comment\n"
                                                "[Pad]\n"
                                                "UnitSize=40\n"
                                                "junk line without equals\n"
                                                "Border=2\n"
                                                "\n"
                                                "[Start]\n"
                                                "Count=1\n"
                                                "Zarvo1=Zarvo11,A,0,0,0,0,1\n");
        TIniFile ini(path);
        ini.WriteInteger("PAD", "unitsize", 30);    // in place, spelling kept
        ini.WriteString("pad", "ImgBack", "x.bmp"); // after the last line of [Pad]
        ini.WriteString("Start", "Zarvo2",
                        "Ell,,1,1,0,0,1");       // at the end of the file's last section
        ini.WriteString("Info", "Title", "Neu"); // a new section at the end
        QVERIFY(ini.Modified());
        ini.UpdateFile();
        QVERIFY(!ini.Modified());
        QCOMPARE(ReadFile(path), QByteArray("; header comment\r\n"
                                            "[Pad]\r\n"
                                            "UnitSize=30\r\n"
                                            "junk line without equals\r\n"
                                            "Border=2\r\n"
                                            "ImgBack=x.bmp\r\n"
                                            "\r\n"
                                            "[Start]\r\n"
                                            "Count=1\r\n"
                                            "Zarvo1=Zarvo11,A,0,0,0,0,1\r\n"
                                            "Zarvo2=Ell,,1,1,0,0,1\r\n"
                                            "[Info]\r\n"
                                            "Title=Neu\r\n"));
        QCOMPARE(TIniFile(path).ReadString("info", "title", ""), QString("Neu"));
    }

    void writingTheSameValueChangesNothing()
    {
        const QString path = WriteFile("c.ini", "[Pad]\nUnitSize=40\n");
        TIniFile ini(path);
        ini.WriteInteger("Pad", "UnitSize", 40);
        QVERIFY(!ini.Modified());
        ini.UpdateFile();
        QCOMPARE(ReadFile(path), QByteArray("[Pad]\nUnitSize=40\n")); // LF untouched: never written
        ini.UpdateFile(true);
        QCOMPARE(ReadFile(path), QByteArray("[Pad]\r\nUnitSize=40\r\n"));
    }

    void aLineBreakInAValueStaysOnItsLine()
    {
        TIniFile ini;
        ini.WriteString("Info", "Title", "Zwei\r\nZeilen\n[Pad]");
        ini.WriteString("Info", "ObjectInfo", "x");
        QCOMPARE(ini.Text(), QString("[Info]\r\nTitle=Zwei  Zeilen [Pad]\r\nObjectInfo=x\r\n"));
        QVERIFY(!ini.SectionExists("Pad"));
    }

    void deletingKeys()
    {
        TIniFile ini;
        ini.SetText("[Pad]\nFontName=Arial\nFontSize=9\nfontname=Times\n[Other]\nFontSize=1\n");
        ini.DeleteKey("pad", "FONTNAME");
        // The repeated key further down is now the one that counts.
        QCOMPARE(ini.ReadString("Pad", "FontName", "-"), QString("Times"));
        ini.DeleteKey("Pad", "FontName");
        ini.DeleteKey("Pad", "FontSize");
        QVERIFY(!ini.ValueExists("Pad", "FontName"));
        QCOMPARE(ini.ReadInteger("Other", "FontSize", 0), 1);
        QCOMPARE(ini.Text(), QString("[Pad]\r\n[Other]\r\nFontSize=1\r\n"));
        // A key written after the delete comes back at the end of the section.
        ini.WriteString("Pad", "FontSize", "12");
        QCOMPARE(ini.Text(), QString("[Pad]\r\nFontSize=12\r\n[Other]\r\nFontSize=1\r\n"));

        TIniFile untouched;
        untouched.SetText("[Pad]\nA=1\n");
        untouched.DeleteKey("Pad", "B");
        untouched.DeleteKey("Nope", "A");
        QVERIFY(!untouched.Modified());
    }

    void erasingASection()
    {
        TIniFile ini;
        ini.SetText("x=pre\n[A]\nk=1\n[B]\nk=2\n[C]\nk=3\n");
        ini.EraseSection("b");
        QCOMPARE(ini.SectionNames(), QStringList({"A", "C"}));
        QCOMPARE(ini.ReadInteger("C", "k", 0), 3);
        QCOMPARE(ini.Text(), QString("x=pre\r\n[A]\r\nk=1\r\n[C]\r\nk=3\r\n"));
        QVERIFY(!ini.ValueExists("", "x")); // lines before the first section hold no keys
    }

    void bytesAreWindows1252()
    {
        // Euro sign, umlauts, sharp s, and an unassigned byte (0x81) that must
        // come back unchanged.
        const QByteArray bytes("[Info]\r\nTitle=\x80 \xE4\xF6\xFC\xDF \x81\x9F\r\n");
        const QString path = WriteFile("d.ini", bytes);
        TIniFile ini(path);
        QCOMPARE(ini.ReadString("Info", "Title", ""),
                 QString::fromUtf8("€ äöüß ") + QChar(0x81) + QChar(0x178));
        ini.UpdateFile(true);
        QCOMPARE(ReadFile(path), bytes);

        QCOMPARE(EncodeWin1252(QString::fromUtf8("Zug ü €")), QByteArray("Zug \xFC \x80"));
        // Outside the code page: one '?' per character, also beyond the basic plane.
        QCOMPARE(EncodeWin1252(QString::fromUtf8("a\u4E2Db\U0001F600c")), QByteArray("a?b?c"));
        QCOMPARE(DecodeWin1252(QByteArray("\x8A\x9C")), QString::fromUtf8("Šœ"));
    }

    void missingFileIsEmptyAndUpdateCreatesIt()
    {
        const QString path = FDir.filePath("new.ini");
        TIniFile ini(path);
        QVERIFY(ini.SectionNames().isEmpty());
        QCOMPARE(ini.ReadString("Pad", "UnitSize", "40"), QString("40"));
        ini.UpdateFile(); // nothing changed: no file appears
        QVERIFY(!QFile::exists(path));
        ini.WriteInteger("Pad", "UnitSize", 20);
        ini.UpdateFile();
        QCOMPARE(ReadFile(path), QByteArray("[Pad]\r\nUnitSize=20\r\n"));
    }

    void failedWriteThrowsAndKeepsNothingHalfWritten()
    {
        TIniFile ini(FDir.filePath("no such folder/x.ini"));
        ini.WriteString("Pad", "ImgBack", "a.bmp");
        QVERIFY_THROWS_EXCEPTION(EInOutError, ini.UpdateFile());

        // A folder standing where the file should go is not replaced.
        QDir(FDir.path()).mkpath("occupied.ini");
        TIniFile blocked(FDir.filePath("occupied.ini"));
        blocked.WriteString("Pad", "A", "1");
        try {
            blocked.UpdateFile();
            QFAIL("no error");
        } catch (const EInOutError &e) {
            QVERIFY(e.Message.contains("occupied.ini"));
        }
        QVERIFY(QFileInfo(FDir.filePath("occupied.ini")).isDir());
    }

    void manyKeysKeepTheirOrder()
    {
        // A photo puzzle cut into small pieces has tens of thousands of keys.
        TIniFile ini;
        const int n = 30000;
        ini.WriteInteger("Start", "Count", n);
        for (int i = 1; i <= n; ++i)
            ini.WriteString("Start", QString("Zarvo%1").arg(i),
                            QString("Zarvo11,,%1,0,0,0,1").arg(i));
        ini.WriteString("Pad", "UnitSize", "10");
        TIniFile back;
        back.SetText(ini.Text());
        const QStringList keys = back.KeyNames("Start");
        QCOMPARE(keys.size(), n + 1);
        QCOMPARE(keys.first(), QString("Count"));
        QCOMPARE(keys.last(), QString("Zarvo30000"));
        QCOMPARE(back.ReadString("START", "zarvo12345", ""), QString("Zarvo11,,12345,0,0,0,1"));
        QCOMPARE(back.SectionNames(), QStringList({"Start", "Pad"}));
    }
};

QTEST_GUILESS_MAIN(TestIniFile)
#include "tst_inifile.moc"
