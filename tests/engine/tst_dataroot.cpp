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
    }

    void userCopyKeepsWhatThePlayerWrote()
    {
        // A folder without ZarvoTyp.ini beside a share/zarvos collection, as
        // an installed copy lays it out.
        QTemporaryDir inst;
        Touch(inst.filePath("share/zarvos/ZarvoTyp.ini"), "[Zarvo11]\r\n");
        Touch(inst.filePath("share/zarvos/Data/a.zrv"), "installed");
        QDir().mkpath(inst.filePath("bin"));
        DataRoot::Init(inst.filePath("bin"));
        const QString user = DataRoot::RootDir();
        QVERIFY(!user.startsWith(QDir(inst.path()).absolutePath()));
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
};

QTEST_GUILESS_MAIN(TestDataRoot)
#include "tst_dataroot.moc"
