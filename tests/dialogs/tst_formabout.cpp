#include "DataRoot.h"
#include "FormAbout.h"
#include "FormEnhance.h"
#include "Help.h"
#include "Settings.h"

#include <QDate>
#include <QFileInfo>
#include <QLabel>
#include <QPushButton>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

// The about box "Info".
class TestFormAbout : public QObject
{
    Q_OBJECT

    QTemporaryDir Dir;

private Q_SLOTS:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        QVERIFY(Dir.isValid());
        DataRoot::UseRoot(Dir.path());
        SetSettingsStoreFile(Dir.filePath("Zarvos.ini"));
    }

    void versionTextLeavesOutThePatch()
    {
        QCOMPARE(VersionText(2, 3, 0, 119), QStringLiteral("2.3 (Build 119)"));
        QCOMPARE(VersionText(1, 10, 7, 0), QStringLiteral("1.10 (Build 0)"));
        QCOMPARE(ProgramVersionText(), VersionText(ZARVOS_VERSION_MAJOR, ZARVOS_VERSION_MINOR,
                                                   ZARVOS_VERSION_PATCH, ZARVOS_VERSION_BUILD));
    }

    void boxShowsNameVersionAndYear()
    {
        TFormAboutBox box(nullptr);
        QCOMPARE(box.windowTitle(), QStringLiteral("Info"));
        QCOMPARE(box.size(), QSize(397, 303));
        QCOMPARE(box.LblProductName->text(), QStringLiteral("Zarvos"));
        QCOMPARE(box.LblProductName->font().pointSize(), 14);
        QVERIFY(box.LblProductName->font().bold());
        QCOMPARE(box.LblVersions->text(), QStringLiteral("Version"));
        QCOMPARE(box.LblVersion->text(), ProgramVersionText());
        const int year =
            QFileInfo(QCoreApplication::applicationFilePath()).lastModified().date().year();
        QVERIFY2(box.LblNotice1->text().endsWith(QString::number(year)),
                 qPrintable(box.LblNotice1->text()));
        QVERIFY(box.LblQt->text().contains(QStringLiteral("Qt ") + qVersion() + "."));
        QVERIFY(box.LblQt->text().contains("GNU Lesser General Public License Version 3"));
        // Facts only: no address that leads nowhere.
        for (const QLabel *label : box.findChildren<QLabel *>())
            for (const char *made : {"example", "@", "http", "www."})
                QVERIFY2(!label->text().contains(QLatin1String(made)), qPrintable(label->text()));
        QVERIFY(box.BtnOK->isDefault());
        QVERIFY(!(box.windowFlags() & Qt::WindowMinimizeButtonHint));
        QVERIFY(!(box.windowFlags() & Qt::WindowMaximizeButtonHint));
    }

    void f1OpensTheHelpAndOkCloses()
    {
        QWidget *helpFrom = nullptr;
        ShowHelpContents = [&](QWidget *from) { helpFrom = from; };
        TFormAboutBox box(nullptr);
        box.show();
        QVERIFY(QTest::qWaitForWindowExposed(&box));
        QTest::keyClick(&box, Qt::Key_F1);
        QCOMPARE(helpFrom, &box);
        ShowHelpContents = nullptr;
        QTest::mouseClick(box.BtnOK, Qt::LeftButton);
        QVERIFY(!box.isVisible());
        QCOMPARE(box.result(), int(QDialog::Accepted));
    }

    void boxIsCentredOverTheMainWindow()
    {
        QWidget mainForm;
        mainForm.setGeometry(40, 30, 700, 500);
        TFormEnhance::SetMainForm(&mainForm);
        TFormAboutBox box(&mainForm);
        TFormEnhance::SetMainForm(nullptr);
        QCOMPARE(box.pos(), QPoint(40 + (700 - 397) / 2, 30 + (500 - 303) / 2));
    }
};

QTEST_MAIN(TestFormAbout)
#include "tst_formabout.moc"
