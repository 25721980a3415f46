#include "CenteredMessageDlg.h"
#include "DataRoot.h"
#include "GermanText.h"
#include "HelpWindow.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QMainWindow>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>
#include <QTimer>

// Message boxes centred on the main window, and the help window.
class TestMessageDlg : public QObject
{
    Q_OBJECT

    // Answers the next modal box with `answer` after noting where it stood.
    struct TBoxSpy
    {
        QRect Geometry;
        QString Text;
        QStringList Buttons;
        void Arm(QMessageBox::StandardButton answer)
        {
            QTimer::singleShot(50, [this, answer] {
                auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
                QVERIFY(box);
                Geometry = box->frameGeometry();
                Text = box->text();
                for (const QAbstractButton *b : box->buttons())
                    Buttons << b->text();
                box->button(answer)->click();
            });
        }
    };

private Q_SLOTS:
    void boxIsCentredOnTheMainWindow()
    {
        // Qt's own button texts are German whatever the system language.
        QVERIFY(InstallQtGerman());
        QMainWindow main;
        main.setGeometry(100, 80, 801, 603);
        main.show();
        SetMessageDlgCentre(&main);
        TBoxSpy spy;
        spy.Arm(QMessageBox::No);
        const auto answer =
            CenteredMessageDlg(QStringLiteral("Erste Zeile\rZweite Zeile"), QMessageBox::Question,
                               QMessageBox::Yes | QMessageBox::No);
        QCOMPARE(answer, QMessageBox::No);
        const QRect m = main.frameGeometry();
        QCOMPARE(spy.Geometry.left(), m.left() + (m.width() - spy.Geometry.width()) / 2);
        QCOMPARE(spy.Geometry.top(), m.top() + (m.height() - spy.Geometry.height()) / 2);
        // The game's line separator shows as a line break.
        QCOMPARE(spy.Text, QStringLiteral("Erste Zeile\nZweite Zeile"));
        spy.Buttons.sort();
        QCOMPARE(spy.Buttons, (QStringList{"&Ja", "&Nein"}));
        SetMessageDlgCentre(nullptr);
    }

    void hookAnswersInsteadOfABox()
    {
        QStringList seen;
        QMessageBox::Icon seenKind = QMessageBox::NoIcon;
        QMessageBox::StandardButtons seenButtons;
        SetMessageDlgHook(
            [&](const QString &text, QMessageBox::Icon kind, QMessageBox::StandardButtons buttons) {
                seen << text;
                seenKind = kind;
                seenButtons = buttons;
                return QMessageBox::Ok;
            });
        ShowErrorReport(QStringLiteral("Fehler beim Laden\rkaputt"));
        SetMessageDlgHook({});
        QCOMPARE(seen, QStringList{QStringLiteral("Fehler beim Laden\rkaputt")});
        QCOMPARE(seenKind, QMessageBox::Critical);
        QCOMPARE(seenButtons, QMessageBox::StandardButtons(QMessageBox::Ok));
    }

    void helpOpensTheBundledPageOrSaysItIsMissing()
    {
        QTemporaryDir prog;
        QVERIFY(QDir().mkpath(prog.filePath("help")));
        QFile page(prog.filePath("help/index.html"));
        QVERIFY(page.open(QIODevice::WriteOnly));
        page.write("<html><body><h1>Spielregeln</h1></body></html>");
        page.close();
        QFile ini(prog.filePath("ZarvoTyp.ini"));
        QVERIFY(ini.open(QIODevice::WriteOnly));
        ini.close();
        DataRoot::Init(prog.path());

        QWidget owner;
        THelpWindow *help = ShowHelp(&owner);
        QVERIFY(help);
        QVERIFY(help->Browser->toPlainText().contains(QStringLiteral("Spielregeln")));
        // A second request raises the same window.
        QCOMPARE(ShowHelp(&owner), help);
        help->close();

        QVERIFY(QFile::remove(prog.filePath("help/index.html")));
        QStringList seen;
        SetMessageDlgHook(
            [&](const QString &text, QMessageBox::Icon, QMessageBox::StandardButtons) {
                seen << text;
                return QMessageBox::Ok;
            });
        QCOMPARE(ShowHelp(&owner), nullptr);
        SetMessageDlgHook({});
        QCOMPARE(seen.size(), 1);
        QVERIFY(seen.first().contains(QStringLiteral("help/index.html")));
    }
};

QTEST_MAIN(TestMessageDlg)
#include "tst_messagedlg.moc"
