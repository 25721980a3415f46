#include "FuzzCommon.h"
#include "Seeds.h"

#include <QDir>
#include <QFile>
#include <QTest>

// Every fuzz target over the seeds made from the bundled collection (each
// loader keeps its promises for the game's own files) and over every input
// that once was a finding.
class TestFuzzRegressions : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        FuzzSetUp();
        FuzzThrowOnFailure(true);
    }

    void inputs_data()
    {
        QTest::addColumn<QString>("target");
        QTest::addColumn<QByteArray>("input");
        int seeds = 0;
        for (const TFuzzTargetInfo &t : FuzzTargets()) {
            const QString name = QLatin1String(t.Name);
            for (const auto &[file, bytes] : MakeSeeds(name)) {
                QTest::addRow("%s seed %s", t.Name, qPrintable(file)) << name << bytes;
                ++seeds;
            }
            const QDir found(QStringLiteral(ZARVOS_REGRESSIONS_DIR "/") + name);
            for (const QString &file : found.entryList(QDir::Files, QDir::Name)) {
                QFile f(found.filePath(file));
                QVERIFY(f.open(QIODevice::ReadOnly));
                QTest::addRow("%s finding %s", t.Name, qPrintable(file)) << name << f.readAll();
            }
        }
        QVERIFY(seeds > 100);
    }
    void inputs()
    {
        QFETCH(QString, target);
        QFETCH(QByteArray, input);
        const TFuzzTarget run = FindFuzzTarget(target);
        QVERIFY(run);
        try {
            run(reinterpret_cast<const uint8_t *>(input.constData()), size_t(input.size()));
        } catch (const TFuzzFailure &f) {
            QFAIL(qPrintable(f.Message));
        }
    }

    void findingsBelongToTargets()
    {
        const QDir all(QStringLiteral(ZARVOS_REGRESSIONS_DIR));
        for (const QString &dir : all.entryList(QDir::Dirs | QDir::NoDotAndDotDot))
            QVERIFY2(FindFuzzTarget(dir), qPrintable(dir));
    }
};

QTEST_MAIN(TestFuzzRegressions)
#include "tst_fuzzregressions.moc"
