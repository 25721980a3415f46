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
    QList<QUrl> Opened;

    static QColor TextColor(QLabel *label) { return label->palette().color(QPalette::WindowText); }

private Q_SLOTS:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        QVERIFY(Dir.isValid());
        DataRoot::UseRoot(Dir.path());
        SetSettingsStoreFile(Dir.filePath("Zarvos.ini"));
        TFormAboutBox::OpenUrl = [this](const QUrl &url) {
            Opened << url;
            return true;
        };
    }

    void init() { Opened.clear(); }

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
        QCOMPARE(box.Label2->text(), QStringLiteral("Anmerkungen und neue Versionen über"));
        QVERIFY(box.LblHomepage->font().underline());
        QCOMPARE(TextColor(box.LblHomepage), QColor(0, 0, 255));
        QCOMPARE(TextColor(box.LblEMail), QColor(0, 0, 255));
        QVERIFY(box.BtnOK->isDefault());
        QVERIFY(!(box.windowFlags() & Qt::WindowMinimizeButtonHint));
        QVERIFY(!(box.windowFlags() & Qt::WindowMaximizeButtonHint));
    }

    void linkTurnsRedWhilePressedAndOpensOnRelease_data()
    {
        QTest::addColumn<QString>("control");
        QTest::addColumn<QString>("url");
        QTest::newRow("homepage label") << "LblHomepage" << ZarvosHomepage;
        QTest::newRow("homepage picture") << "ImgHomepage" << ZarvosHomepage;
        QTest::newRow("e-mail label") << "LblEMail"
                                      << "mailto:" + ZarvosEMail;
        QTest::newRow("e-mail picture") << "ImgEMail"
                                        << "mailto:" + ZarvosEMail;
    }

    void linkTurnsRedWhilePressedAndOpensOnRelease()
    {
        QFETCH(QString, control);
        QFETCH(QString, url);
        TFormAboutBox box(nullptr);
        box.show();
        QVERIFY(QTest::qWaitForWindowExposed(&box));
        QLabel *target = control == "LblHomepage"   ? box.LblHomepage
                         : control == "ImgHomepage" ? box.ImgHomepage
                         : control == "LblEMail"    ? box.LblEMail
                                                    : box.ImgEMail;
        QLabel *text = control.contains("Homepage") ? box.LblHomepage : box.LblEMail;
        QLabel *other = text == box.LblHomepage ? box.LblEMail : box.LblHomepage;
        QTest::mousePress(target, Qt::LeftButton);
        QCOMPARE(TextColor(text), QColor(255, 0, 0));
        QCOMPARE(TextColor(other), QColor(0, 0, 255));
        QVERIFY(Opened.isEmpty()); // only the release opens
        QTest::mouseRelease(target, Qt::LeftButton);
        QCOMPARE(TextColor(text), QColor(0, 0, 255));
        QCOMPARE(Opened, QList<QUrl>{QUrl(url)});
        QVERIFY(box.isVisible()); // the box stays open
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
