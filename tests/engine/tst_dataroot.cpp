#include "DataRoot.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <unistd.h>

// Where the game keeps its collection, scores and games.
class TestDataRoot : public QObject
{
    Q_OBJECT

    static void Touch(const QString &path, const QByteArray &content = "x")
    {
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(content);
    }

private Q_SLOTS:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void portableFolderIsTheRoot()
    {
        QTemporaryDir prog;
        Touch(prog.filePath("ZarvoTyp.ini"), "[Zarvo11]\r\n");
        DataRoot::Init(prog.path());
        const QString root = QDir(prog.path()).absolutePath() + "/";
        QCOMPARE(DataRoot::RootDir(), root);
        QCOMPARE(DataRoot::DataDir(), root + "Data/");
        QCOMPARE(DataRoot::ImageDir(), root + "Image/");
        QCOMPARE(DataRoot::HistDir(), root + "Hist/");
        QCOMPARE(DataRoot::PieceTypeFile(), root + "ZarvoTyp.ini");
        QVERIFY(QDir(DataRoot::HistDir()).exists()); // created when missing
    }

    void readOnlyInstallUsesPerUserCopy()
    {
        if (geteuid() == 0)
            QSKIP("root can write into read-only folders");
        QTemporaryDir prog;
        Touch(prog.filePath("ZarvoTyp.ini"), "[Zarvo11]\r\n");
        Touch(prog.filePath("Data/a.zrv"), "[Info]\r\n");
        QFile::setPermissions(prog.path(), QFileDevice::ReadOwner | QFileDevice::ExeOwner);
        DataRoot::Init(prog.path());
        QFile::setPermissions(prog.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                               QFileDevice::ExeOwner);
        QVERIFY(DataRoot::RootDir() != QDir(prog.path()).absolutePath() + "/");
        QVERIFY(QFile::exists(DataRoot::DataDir() + "a.zrv"));
        QVERIFY(QFile::exists(DataRoot::PieceTypeFile()));
        QDir(DataRoot::RootDir()).removeRecursively();
    }

    void userCopyKeepsWhatThePlayerWrote()
    {
        // A folder without ZarvoTyp.ini beside a share/zarvos collection, as
        // an installed copy lays it out.
        QTemporaryDir inst;
        Touch(inst.filePath("share/zarvos/ZarvoTyp.ini"), "[Zarvo11]\r\n");
        Touch(inst.filePath("share/zarvos/Data/a.zrv"), "installed");
        Touch(inst.filePath("share/zarvos/help/index.html"));
        QDir().mkpath(inst.filePath("bin"));
        DataRoot::Init(inst.filePath("bin"));
        const QString user = DataRoot::RootDir();
        // One folder for the game and zarvos-cli, whatever the program is called.
        QCOMPARE(user, QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
                           "/Zarvos/");
        QVERIFY(!QFile::exists(user + "help/index.html"));
        QFile f(DataRoot::DataDir() + "a.zrv");
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), QByteArray("installed"));
        f.close();
        Touch(DataRoot::DataDir() + "a.zrv", "scores");
        DataRoot::Init(inst.filePath("bin")); // second start
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), QByteArray("scores"));
        QDir(user).removeRecursively();
    }

    void interruptedSavesAreRemovedAtStart()
    {
        QTemporaryDir root;
        DataRoot::UseRoot(root.path());
        const QString r = DataRoot::RootDir();
        // What a save cut off between writing and renaming leaves behind.
        const QStringList strays{"Hist/k.zrh.aBcDeF",
                                 "Hist/Temp.QwErTy",
                                 "Hist/Letzter Spielstand.zrh.XyZabc",
                                 "Data/Roter Esel.zrv.zzzZZZ",
                                 "Data/Roter Esel.bmp.AAAAAA",
                                 "Data/New/Wimpel.ZRV.abcdef",
                                 "Image/Foto.jpeg.GhIjKl",
                                 "Data/qt_temp.MnOpQr",
                                 ".zarvos-write-test"};
        // Files of the player's and complete files that only look alike.
        const QStringList kept{"Hist/k.zrh",
                               "Hist/Spiel.backup",
                               "Hist/k.zrh.abc12f",
                               "Hist/k.zrh.abcdefg",
                               "Hist/notes.txt.aBcDeF",
                               "Data/Roter Esel.zrv",
                               "Data/liesmich.txt.AbCdEf",
                               "Image/Foto.jpeg",
                               "Image/Skizze.backup",
                               "Data/qt_temp.Mn0pQr",
                               "Hist/Temp"};
        for (const QString &f : strays + kept)
            Touch(r + f);
        QDir().mkpath(r + "Hist/dir.zrh.aBcDeF"); // a folder is never removed

        QCOMPARE(DataRoot::RemoveInterruptedSaves(), int(strays.size()));
        for (const QString &f : strays)
            QVERIFY2(!QFile::exists(r + f), qPrintable(f));
        for (const QString &f : kept)
            QVERIFY2(QFile::exists(r + f), qPrintable(f));
        QVERIFY(QFileInfo(r + "Hist/dir.zrh.aBcDeF").isDir());
        QCOMPARE(DataRoot::RemoveInterruptedSaves(), 0);
    }
};

QTEST_GUILESS_MAIN(TestDataRoot)
#include "tst_dataroot.moc"
