#include "ButtonEdit.h"
#include "CenteredMessageDlg.h"
#include "DataRoot.h"
#include "FormEnhance.h"
#include "FormOption.h"
#include "Help.h"
#include "Settings.h"
#include "ZarvoError.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>

// The options dialog "Programmoptionen".
class TestFormOption : public QObject
{
    Q_OBJECT

    QTemporaryDir Dir;
    QStringList Errors;
    std::function<void(QWidget *, const QString &)> DefaultReport;

    // Runs action on the dialog once ShowOptionDialog has opened it.
    static void WhenOpen(std::function<void(TFormOption *)> action)
    {
        QTimer::singleShot(0, qApp, [action] {
            auto *dialog = qobject_cast<TFormOption *>(QApplication::activeModalWidget());
            if (!dialog) {
                // Not open yet: wait for it.
                WhenOpen(action);
                return;
            }
            action(dialog);
        });
    }

    // A caption as the dialog shows it: a mnemonic's marker is no letter.
    template <typename T> static QString Shown(const T *control)
    {
        return QString(control->text()).remove(QLatin1Char('&'));
    }

    static TZarvoSettings Sample()
    {
        TZarvoSettings s;
        s.Grid = true;
        s.Cursor64 = false;
        s.FullScreen2 = false;
        s.NoOldPlayer = true;
        s.CheckColors = false;
        s.ZarvoIndex = 4;
        s.Player = QStringLiteral("Eva");
        s.GameOverFile = QStringLiteral("/x/Jubel.wav");
        s.GameOverText = QStringLiteral("Prima!");
        s.CaptionOutline = false;
        return s;
    }

private Q_SLOTS:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        QVERIFY(Dir.isValid());
        DataRoot::UseRoot(Dir.path());
        SetSettingsStoreFile(Dir.filePath("Zarvos.ini"));
        DefaultReport = TFormOption::ReportError;
        TFormOption::ReportError = [this](QWidget *, const QString &message) { Errors << message; };
    }

    void init() { Errors.clear(); }

    void dialogHasItsControlsAndCaptions()
    {
        TFormOption dialog(nullptr);
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Programmoptionen"));
        QCOMPARE(dialog.size(), QSize(436, 232));
        QCOMPARE(dialog.palette().color(QPalette::Window), QColor(216, 196, 170));
        QCOMPARE(dialog.font().family(), QStringLiteral("Arial"));
        QCOMPARE(dialog.font().pixelSize(), 13);
        QCOMPARE(Shown(dialog.CheckGrid), QStringLiteral("Teile automatisch einrasten"));
        QCOMPARE(Shown(dialog.CheckCursor), QStringLiteral("Großer HandCursor"));
        QCOMPARE(Shown(dialog.CheckFullScreen), QStringLiteral("Vollen Bildschirm nutzen"));
        QCOMPARE(Shown(dialog.CheckPlayer),
                 QStringLiteral("Keine Vorgabe für Spielername in Top-Ten-Liste"));
        QCOMPARE(Shown(dialog.CheckOutline), QStringLiteral("Beschriftung mit Kontur"));
        QCOMPARE(dialog.BtnStart->toolTip(), QStringLiteral("Testen"));
        QStringList labels;
        for (QLabel *l : dialog.findChildren<QLabel *>())
            labels << Shown(l);
        QVERIFY(labels.contains("Bei Erfolg spielen"));
        QVERIFY(labels.contains("Bei Erfolg anzeigen"));
        // One under the other, in the order of the table.
        QVERIFY(dialog.CheckGrid->y() < dialog.CheckCursor->y());
        QVERIFY(dialog.CheckCursor->y() < dialog.CheckFullScreen->y());
        QVERIFY(dialog.CheckFullScreen->y() < dialog.CheckPlayer->y());
        QVERIFY(dialog.CheckPlayer->y() < dialog.CheckOutline->y());
        QVERIFY(dialog.CheckOutline->y() < dialog.EditGameOver->y());
        QVERIFY(dialog.EditGameOver->y() < dialog.EditTextGameOver->y());
        QVERIFY(dialog.BtnOK->isDefault());
        QVERIFY(dialog.BtnOK->x() < dialog.BtnCancel->x());

        QVERIFY(dialog.EditGameOver->Dialog().has_value());
        const TFileDialogSettings &dialogSettings = *dialog.EditGameOver->Dialog();
        QCOMPARE(dialogSettings.Title, QStringLiteral("Wählen eine Mediendatei"));
        // Qt's filter syntax: patterns separated by blanks.
        QCOMPARE(dialogSettings.Filter,
                 QStringLiteral("Mediendateien (*.wav *.mp3 *.mpg *.asf *.mpeg *.avi)"));
        QCOMPARE(dialogSettings.FileName, QStringLiteral("GameOver.wav"));
        QCOMPARE(dialogSettings.InitialDir, DataRoot::RootDir());
        QVERIFY(dialogSettings.MustExist);
    }

    void fillAndCopyBackPairTheRightValues()
    {
        TFormOption dialog(nullptr);
        dialog.Fill(Sample());
        QVERIFY(dialog.CheckGrid->isChecked());
        QVERIFY(!dialog.CheckCursor->isChecked());
        QVERIFY(!dialog.CheckFullScreen->isChecked());
        QVERIFY(dialog.CheckPlayer->isChecked());
        QVERIFY(!dialog.CheckOutline->isChecked());
        QCOMPARE(dialog.EditGameOver->text(), QStringLiteral("/x/Jubel.wav"));
        QCOMPARE(dialog.EditTextGameOver->text(), QStringLiteral("Prima!"));

        dialog.CheckGrid->setChecked(false);
        dialog.CheckCursor->setChecked(true);
        dialog.CheckOutline->setChecked(true);
        dialog.EditTextGameOver->setText("Neu");
        TZarvoSettings out = Sample();
        dialog.CopyBack(out);
        QCOMPARE(out.Grid, false);
        QCOMPARE(out.Cursor64, true);
        QCOMPARE(out.FullScreen2, false);
        QCOMPARE(out.NoOldPlayer, true);
        QCOMPARE(out.GameOverText, QStringLiteral("Neu"));
        QCOMPARE(out.CaptionOutline, true);
        // Values the dialog does not show stay as they were.
        QCOMPARE(out.CheckColors, false);
        QCOMPARE(out.ZarvoIndex, 4);
        QCOMPARE(out.Player, QStringLiteral("Eva"));
    }

    void okCopiesTheValuesBack()
    {
        TZarvoSettings s = Sample();
        // By keyboard: the boxes' letters with Alt, Enter for OK.
        WhenOpen([](TFormOption *d) {
            QVERIFY(QTest::qWaitForWindowActive(d));
            for (Qt::Key letter : {Qt::Key_V, Qt::Key_K, Qt::Key_B})
                QTest::keyClick(d->focusWidget(), letter, Qt::AltModifier);
            // A letter presses its box the way a click does, a moment later.
            QTRY_VERIFY(d->CheckFullScreen->isChecked() && !d->CheckPlayer->isChecked() &&
                        d->CheckOutline->isChecked());
            d->EditGameOver->setText("/y/Tusch.mp3");
            QTest::keyClick(d->focusWidget(), Qt::Key_Return);
        });
        QVERIFY(ShowOptionDialog(nullptr, s, [](const QString &) {}));
        QCOMPARE(s.FullScreen2, true);
        QCOMPARE(s.NoOldPlayer, false);
        QCOMPARE(s.CaptionOutline, true);
        QCOMPARE(s.GameOverFile, QStringLiteral("/y/Tusch.mp3"));
        QCOMPARE(s.Grid, true);
        QCOMPARE(s.GameOverText, QStringLiteral("Prima!"));
    }

    void enterInTheTextEditIsOk()
    {
        TZarvoSettings s = Sample();
        WhenOpen([](TFormOption *d) {
            d->EditTextGameOver->setFocus();
            d->EditTextGameOver->setText("Hurra");
            QTest::keyClick(d->EditTextGameOver, Qt::Key_Return);
        });
        QVERIFY(ShowOptionDialog(nullptr, s, [](const QString &) {}));
        QCOMPARE(s.GameOverText, QStringLiteral("Hurra"));
    }

    void cancelKeepsEverySettingButTheSoundWasPlayed()
    {
        TZarvoSettings s = Sample();
        QStringList played;
        WhenOpen([](TFormOption *d) {
            d->CheckGrid->setChecked(false);
            d->EditGameOver->setText("/z/Probe.wav");
            QTest::mouseClick(d->BtnStart, Qt::LeftButton);
            QVERIFY(d->isVisible());
            QTest::mouseClick(d->BtnCancel, Qt::LeftButton);
        });
        QVERIFY(!ShowOptionDialog(nullptr, s, [&](const QString &f) { played << f; }));
        QCOMPARE(played, QStringList{"/z/Probe.wav"});
        QCOMPARE(s.Grid, true);
        QCOMPARE(s.GameOverFile, QStringLiteral("/x/Jubel.wav"));
    }

    void escapeCancels()
    {
        TZarvoSettings s = Sample();
        WhenOpen([](TFormOption *d) {
            d->CheckCursor->setChecked(true);
            QTest::keyClick(d, Qt::Key_Escape);
        });
        QVERIFY(!ShowOptionDialog(nullptr, s, [](const QString &) {}));
        QCOMPARE(s.Cursor64, false);
    }

    void soundThatCannotBePlayedIsReportedAndTheDialogStaysOpen()
    {
        TFormOption dialog(nullptr);
        dialog.PlaySound = [](const QString &f) { throw EZarvoError("kaputt: " + f); };
        dialog.EditGameOver->setText("a.wav");
        dialog.show();
        QTest::mouseClick(dialog.BtnStart, Qt::LeftButton);
        QCOMPARE(Errors, QStringList{"kaputt: a.wav"});
        QVERIFY(dialog.isVisible());
    }

    void ownPlayerReportsAMissingFile()
    {
        TFormOption dialog(nullptr);
        dialog.EditGameOver->setText(Dir.filePath("fehlt.wav"));
        dialog.BtnStartClick();
        QCOMPARE(Errors.size(), 1);
        QVERIFY(Errors[0].contains("fehlt.wav"));
        QVERIFY(Errors[0].contains("nicht gefunden"));
        QVERIFY_THROWS_EXCEPTION(EZarvoError, PlayMediaFile(QString()));
    }

    void failedTryGoesToTheGamesErrorReport()
    {
        const auto testReport = TFormOption::ReportError;
        TFormOption::ReportError = DefaultReport;
        QString text;
        QMessageBox::Icon kind = QMessageBox::NoIcon;
        SetMessageDlgHook([&](const QString &t, QMessageBox::Icon k, QMessageBox::StandardButtons) {
            text = t;
            kind = k;
            return QMessageBox::Ok;
        });
        TFormOption dialog(nullptr);
        dialog.EditGameOver->setText(Dir.filePath("weg.wav"));
        dialog.BtnStartClick();
        SetMessageDlgHook(nullptr);
        TFormOption::ReportError = testReport;
        QCOMPARE(kind, QMessageBox::Critical);
        QVERIFY2(text.contains("weg.wav"), qPrintable(text));
    }

    void ownPlayerReportsAFileItCannotPlay()
    {
        const QString bad = Dir.filePath("Kaputt.wav");
        QFile f(bad);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(QByteArray(4096, 'z'));
        f.close();
        PlayMediaFile(bad); // exists: accepted now, refused by the player later
        QTRY_VERIFY_WITH_TIMEOUT(!Errors.isEmpty(), 10000);
        QVERIFY2(Errors[0].contains("Kaputt.wav"), qPrintable(Errors[0]));
        QVERIFY(Errors[0].startsWith("Die Mediendatei"));
    }

    void browseButtonOpensTheMediaDialogOnTheCurrentFile()
    {
        QDir().mkpath(Dir.filePath("sounds"));
        const QString existing = Dir.filePath("sounds/Applaus.wav");
        QFile f(existing);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.close();
        TFormOption dialog(nullptr);
        dialog.EditGameOver->setText(existing);
        dialog.show();
        QString title, folder;
        QTimer::singleShot(0, qApp, [&] {
            auto *fd = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
            if (!fd)
                return;
            title = fd->windowTitle();
            folder = fd->directory().absolutePath();
            fd->reject();
        });
        dialog.EditGameOver->ButtonClick();
        QCOMPARE(title, QStringLiteral("Wählen eine Mediendatei"));
        QCOMPARE(folder, QDir(Dir.filePath("sounds")).absolutePath());
        QCOMPARE(dialog.EditGameOver->text(), existing); // cancelled: unchanged
    }

    void f1OpensTheHelp()
    {
        QWidget *from = nullptr;
        ShowHelpContents = [&](QWidget *w) { from = w; };
        TFormOption dialog(nullptr);
        dialog.show();
        QTest::keyClick(&dialog, Qt::Key_F1);
        ShowHelpContents = nullptr;
        QCOMPARE(from, &dialog);
        QVERIFY(dialog.isVisible());
    }

    void dialogIsCentredOnTheMainWindow()
    {
        QWidget mainWindow;
        mainWindow.setGeometry(60, 40, 800, 560);
        TZarvoSettings s = Sample();
        QPoint pos;
        WhenOpen([&](TFormOption *d) {
            pos = d->pos();
            d->reject();
        });
        ShowOptionDialog(&mainWindow, s, [](const QString &) {});
        QCOMPARE(pos, QPoint(60 + (800 - 436) / 2, 40 + (560 - 232) / 2));
    }
};

QTEST_MAIN(TestFormOption)
#include "tst_formoption.moc"
