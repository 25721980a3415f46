#include "DataRoot.h"
#include "Settings.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

// The program's user settings in the settings store.
class TestSettings : public QObject
{
    Q_OBJECT

    QTemporaryDir Dir;
    QString Ini;
    int FileCount = 0;

    void WriteRaw(const QByteArray &content)
    {
        QFile f(Ini);
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(content);
    }

    QByteArray ReadRaw()
    {
        QFile f(Ini);
        if (!f.open(QIODevice::ReadOnly))
            return {};
        return f.readAll();
    }

    static void Scramble(TZarvoSettings &s)
    {
        // Values no load may leave behind.
        s.FullScreen2 = false;
        s.Cursor64 = false;
        s.Grid = false;
        s.CheckColors = false;
        s.ZarvoIndex = 42;
        s.Player = QStringLiteral("stale");
        s.NoOldPlayer = true;
        s.GameOverFile = QStringLiteral("stale.wav");
        s.GameOverText = QStringLiteral("stale");
        s.Zoom = 300;
        s.CaptionOutline = false;
    }

private Q_SLOTS:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        QVERIFY(Dir.isValid());
        QDir().mkpath(Dir.filePath("root"));
        DataRoot::UseRoot(Dir.filePath("root"));
    }

    // A fresh file for every case: QSettings keeps what it read from a file
    // for the whole process and would not notice a rewrite of equal size in
    // the same second.
    void init()
    {
        QDir().mkpath(Dir.filePath(QString::number(++FileCount)));
        Ini = Dir.filePath(QString::number(FileCount) + "/Zarvos.ini");
        SetSettingsStoreFile(Ini);
    }

    void firstStartGivesDefaults()
    {
        Scramble(Settings());
        auto store = OpenSettingsStore();
        FormEnhanceLoad(*store, QStringLiteral("FormMain"));
        const TZarvoSettings &s = Settings();
        QCOMPARE(s.FullScreen2, true);
        QCOMPARE(s.Cursor64, true);
        QCOMPARE(s.Grid, true);
        QCOMPARE(s.CheckColors, true);
        QCOMPARE(s.ZarvoIndex, 0);
        QCOMPARE(s.Player, QString());
        QCOMPARE(s.NoOldPlayer, false);
        QCOMPARE(s.GameOverFile, DataRoot::RootDir() + "GameOver.wav");
        QCOMPARE(s.GameOverText, QStringLiteral("Ziel ereicht, Bravo!"));
        QCOMPARE(s.Zoom, 0); // fit to the window
        QCOMPARE(s.CaptionOutline, true);
        store.reset();
        QVERIFY(!QFile::exists(Ini)); // reading writes nothing
    }

    void roundTripKeepsEveryValue()
    {
        TZarvoSettings out;
        out.FullScreen2 = false;
        out.Cursor64 = false;
        out.Grid = true;
        out.CheckColors = false;
        out.ZarvoIndex = 17;
        out.Player = QStringLiteral("Jürgen, der Größte; = @x");
        out.NoOldPlayer = true;
        out.GameOverFile = QStringLiteral("/tmp/Töne/Applaus [1].wav");
        out.GameOverText = QStringLiteral("Geschafft!\tÄÖÜ ß \"quoted\" \\back");
        out.Zoom = 150;
        out.CaptionOutline = false;
        {
            auto store = OpenSettingsStore();
            SaveZarvoSettings(*store, out);
        }
        TZarvoSettings in;
        Scramble(in);
        in.Grid = false;
        auto store = OpenSettingsStore();
        LoadZarvoSettings(*store, in);
        QCOMPARE(in.FullScreen2, out.FullScreen2);
        QCOMPARE(in.Cursor64, out.Cursor64);
        QCOMPARE(in.Grid, out.Grid);
        QCOMPARE(in.CheckColors, out.CheckColors);
        QCOMPARE(in.ZarvoIndex, out.ZarvoIndex);
        QCOMPARE(in.Player, out.Player);
        QCOMPARE(in.NoOldPlayer, out.NoOldPlayer);
        QCOMPARE(in.GameOverFile, out.GameOverFile);
        QCOMPARE(in.GameOverText, out.GameOverText);
        QCOMPARE(in.Zoom, out.Zoom);
        QCOMPARE(in.CaptionOutline, out.CaptionOutline);
    }

    void formEnhanceHandlersUseTheProgramSettings()
    {
        Settings() = DefaultSettings();
        Settings().ZarvoIndex = 5;
        Settings().Player = QStringLiteral("Anna");
        {
            auto store = OpenSettingsStore();
            FormEnhanceSave(*store, QStringLiteral("FormMain"));
        }
        Scramble(Settings());
        auto store = OpenSettingsStore();
        FormEnhanceLoad(*store, QStringLiteral("FormMain"));
        QCOMPARE(Settings().ZarvoIndex, 5);
        QCOMPARE(Settings().Player, QStringLiteral("Anna"));
        QCOMPARE(Settings().Grid, true);
        // The values stand at the root, not in the placement sub-key.
        QVERIFY(store->childKeys().contains("ZarvoIndex"));
        QVERIFY(!store->childGroups().contains("FormMain"));
    }

    void valuesAreStoredAsDecimalText()
    {
        TZarvoSettings out = DefaultSettings();
        out.FullScreen2 = false;
        out.ZarvoIndex = -3;
        out.NoOldPlayer = true;
        {
            auto store = OpenSettingsStore();
            SaveZarvoSettings(*store, out);
        }
        const QByteArray raw = ReadRaw();
        QVERIFY2(raw.contains("FullScreen2=0\n"), raw.constData());
        QVERIFY(raw.contains("Cursor64=1\n"));
        QVERIFY(raw.contains("Grid=1\n"));
        QVERIFY(raw.contains("CheckColors=1\n"));
        QVERIFY(raw.contains("ZarvoIndex=-3\n"));
        QVERIFY(raw.contains("NoOldPlayer=1\n"));
        // No typed values ("true", "@Variant"): every value is a plain text.
        QVERIFY(!raw.contains("true"));
        QVERIFY(!raw.contains("@"));
        // The eleven names.
        const char *names[] = {"FullScreen2",  "Cursor64", "Grid",          "CheckColors",
                               "ZarvoIndex",   "Player",   "NoOldPlayer",   "GameOverFile",
                               "GameOverText", "Zoom",     "CaptionOutline"};
        QSettings plain(Ini, QSettings::IniFormat);
        for (const char *name : names)
            QCOMPARE(plain.value(name).metaType().id(), int(QMetaType::QString));
    }

    void malformedValuesReadAsDefaults_data()
    {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("expected");
        QTest::newRow("letters") << QByteArray("ZarvoIndex=abc") << "ZarvoIndex" << 0;
        QTest::newRow("empty") << QByteArray("ZarvoIndex=") << "ZarvoIndex" << 0;
        QTest::newRow("trailing junk") << QByteArray("ZarvoIndex=12abc") << "ZarvoIndex" << 0;
        QTest::newRow("fraction") << QByteArray("ZarvoIndex=1.5") << "ZarvoIndex" << 0;
        QTest::newRow("hex") << QByteArray("ZarvoIndex=0x10") << "ZarvoIndex" << 0;
        QTest::newRow("overflow") << QByteArray("ZarvoIndex=99999999999") << "ZarvoIndex" << 0;
        QTest::newRow("number") << QByteArray("ZarvoIndex=31") << "ZarvoIndex" << 31;
        QTest::newRow("negative") << QByteArray("ZarvoIndex=-2") << "ZarvoIndex" << -2;
        QTest::newRow("flag junk") << QByteArray("FullScreen2=ja") << "FullScreen2" << 1;
        QTest::newRow("flag zero") << QByteArray("FullScreen2=0") << "FullScreen2" << 0;
        QTest::newRow("flag 2 is on") << QByteArray("NoOldPlayer=2") << "NoOldPlayer" << 1;
        QTest::newRow("flag -1 is on") << QByteArray("NoOldPlayer=-1") << "NoOldPlayer" << 1;
        QTest::newRow("flag junk default off") << QByteArray("NoOldPlayer=x") << "NoOldPlayer" << 0;
        QTest::newRow("flag true is no number") << QByteArray("Grid=true") << "Grid" << 1;
        QTest::newRow("flag false is no number") << QByteArray("Grid=false") << "Grid" << 1;
        QTest::newRow("zoom") << QByteArray("Zoom=200") << "Zoom" << 200;
        QTest::newRow("zoom too small") << QByteArray("Zoom=5") << "Zoom" << 0;
        QTest::newRow("zoom too large") << QByteArray("Zoom=100000") << "Zoom" << 0;
        QTest::newRow("zoom negative") << QByteArray("Zoom=-100") << "Zoom" << 0;
    }

    void malformedValuesReadAsDefaults()
    {
        QFETCH(QByteArray, line);
        QFETCH(QString, name);
        QFETCH(int, expected);
        WriteRaw("[General]\n" + line + "\n");
        TZarvoSettings s;
        Scramble(s);
        auto store = OpenSettingsStore();
        LoadZarvoSettings(*store, s);
        const int got = name == "ZarvoIndex"    ? s.ZarvoIndex
                        : name == "FullScreen2" ? int(s.FullScreen2)
                        : name == "NoOldPlayer" ? int(s.NoOldPlayer)
                        : name == "Zoom"        ? s.Zoom
                                                : int(s.Grid);
        QCOMPARE(got, expected);
        // The values not in the file took their defaults too.
        if (name != "Grid")
            QCOMPARE(s.Grid, true);
        QCOMPARE(s.GameOverText, QStringLiteral("Ziel ereicht, Bravo!"));
    }

    void damagedFileStillLoadsAndIsReplaced()
    {
        WriteRaw(QByteArray("\x00\xff[[[General\nFullScreen2=0\n=\n[FormMain\nLeft=\x01", 44));
        TZarvoSettings s;
        Scramble(s);
        {
            auto store = OpenSettingsStore();
            LoadZarvoSettings(*store, s); // must not crash; values are defaults or read
            QCOMPARE(s.GameOverText, QStringLiteral("Ziel ereicht, Bravo!"));
            s.ZarvoIndex = 8;
            SaveZarvoSettings(*store, s);
        }
        TZarvoSettings back;
        auto store = OpenSettingsStore();
        LoadZarvoSettings(*store, back);
        QCOMPARE(back.ZarvoIndex, 8);
    }

    void handEditedCommaTextIsKeptWhole()
    {
        WriteRaw("[General]\nGameOverText=Gut, sehr gut\nPlayer=Max\n");
        TZarvoSettings s;
        auto store = OpenSettingsStore();
        LoadZarvoSettings(*store, s);
        QCOMPARE(s.GameOverText, QStringLiteral("Gut, sehr gut"));
        QCOMPARE(s.Player, QStringLiteral("Max"));
    }

    void writingLeavesNoTemporaryFiles()
    {
        {
            auto store = OpenSettingsStore();
            SaveZarvoSettings(*store, DefaultSettings());
        }
        {
            auto store = OpenSettingsStore();
            WriteSettingInt(*store, "ZarvoIndex", 3);
        }
        const QStringList files = QDir(QFileInfo(Ini).path()).entryList(QDir::Files);
        QCOMPARE(files, QStringList{"Zarvos.ini"});
    }

    void defaultStoreIsInTheUserConfigFolder()
    {
        SetSettingsStoreFile(QString());
        const QString file = SettingsStoreFile();
        SetSettingsStoreFile(Ini);
#ifdef Q_OS_WIN
        QVERIFY(file.isEmpty());
#else
        QVERIFY(file.endsWith("/Zarvos/Zarvos.ini"));
        QVERIFY(file.startsWith(
            QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)));
#endif
    }
};

QTEST_GUILESS_MAIN(TestSettings)
#include "tst_settings.moc"
