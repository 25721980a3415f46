#include "ButtonEdit.h"
#include "DataRoot.h"

#include <QApplication>
#include <QDialog>
#include <QFile>
#include <QFileDialog>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>
#include <functional>

// The edit with a picture button: sound file, picture path, font.
class TestButtonEdit : public QObject
{
    Q_OBJECT

    QTemporaryDir Root;

    static void Touch(const QString &path)
    {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("RIFF");
    }

    // Runs action on the file dialog as soon as it is shown.
    static void OnFileDialog(std::function<void(QFileDialog *)> action)
    {
        QTimer::singleShot(0, qApp, [action]() {
            auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
            if (!dialog) {
                // Not up yet: look again.
                OnFileDialog(action);
                return;
            }
            action(dialog);
        });
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(Root.isValid());
        DataRoot::UseRoot(Root.path());
    }

    void buttonWithoutDialogReportsTheClick()
    {
        TButtonEdit e;
        e.resize(150, 30);
        e.show();
        QSignalSpy click(&e, &TButtonEdit::BtnClick);
        QTest::mouseClick(e.Button(), Qt::LeftButton);
        QCOMPARE(click.size(), 1);
        // The font edits are read-only and still choose a font by the button.
        e.setReadOnly(true);
        QTest::mouseClick(e.Button(), Qt::LeftButton);
        QCOMPARE(click.size(), 2);
        e.setEnabled(false);
        QTest::mouseClick(e.Button(), Qt::LeftButton);
        QCOMPARE(click.size(), 2);
    }

    void dialogOpensOnTheEditsFileAndCancelKeepsTheText()
    {
        QTemporaryDir dir;
        const QString sound = dir.filePath("GameOver.wav");
        Touch(sound);
        TButtonEdit e;
        TFileDialogSettings dialogSettings;
        dialogSettings.Title = QStringLiteral("Klangdatei wählen");
        dialogSettings.Filter = QStringLiteral("Klänge (*.wav;*.mp3)|*.wav;*.mp3|Alle Dateien|*.*");
        dialogSettings.InitialDir = Root.path();
        e.SetDialog(dialogSettings);
        e.setText(sound);
        e.show();
        QSignalSpy changed(&e, &QLineEdit::textChanged);
        QSignalSpy click(&e, &TButtonEdit::BtnClick);
        QString seenDir, seenTitle;
        QStringList seenFiles, seenFilters;
        OnFileDialog([&](QFileDialog *d) {
            seenDir = d->directory().absolutePath();
            seenFiles = d->selectedFiles();
            seenFilters = d->nameFilters();
            seenTitle = d->windowTitle();
            d->reject();
        });
        e.ButtonClick();
        QCOMPARE(seenDir, QDir(dir.path()).absolutePath());
        QCOMPARE(seenFiles, QStringList{sound});
        QCOMPARE(seenTitle, dialogSettings.Title);
        QCOMPARE(seenFilters, (QStringList{"Klänge (*.wav *.mp3)", "Alle Dateien (*)"}));
        QCOMPARE(e.text(), sound);
        QCOMPARE(changed.size(), 0);
        QCOMPARE(click.size(), 0);
    }

    void confirmedDialogWritesTheChosenFileBack()
    {
        QTemporaryDir dir;
        const QString first = dir.filePath("a.wav");
        const QString second = dir.filePath("b.wav");
        Touch(first);
        Touch(second);
        TButtonEdit e;
        TFileDialogSettings dialogSettings;
        dialogSettings.Filter = QStringLiteral("Klänge (*.wav);;Alle Dateien (*)");
        e.SetDialog(dialogSettings);
        e.setText(first);
        e.setReadOnly(true);
        e.show();
        QSignalSpy changed(&e, &QLineEdit::textChanged);
        OnFileDialog([&](QFileDialog *d) {
            d->selectFile(second);
            static_cast<QDialog *>(d)->accept();
        });
        QTest::mouseClick(e.Button(), Qt::LeftButton);
        QCOMPARE(e.text(), second);
        QCOMPARE(changed.size(), 1);
        QCOMPARE(e.Dialog()->FileName, second);
    }

    void emptyEditStartsInTheDialogsFolder()
    {
        QTemporaryDir dir;
        TButtonEdit e;
        TFileDialogSettings dialogSettings;
        dialogSettings.InitialDir = dir.path();
        dialogSettings.MustExist = false;
        e.SetDialog(dialogSettings);
        QString seenDir;
        QFileDialog::FileMode mode = QFileDialog::Directory;
        OnFileDialog([&](QFileDialog *d) {
            seenDir = d->directory().absolutePath();
            mode = d->fileMode();
            d->reject();
        });
        e.ButtonClick();
        QCOMPARE(seenDir, QDir(dir.path()).absolutePath());
        QCOMPARE(mode, QFileDialog::AnyFile);
    }

    void filterPairsBecomeNameFilters()
    {
        QCOMPARE(FileDialogNameFilters("Zarvos Spielstände (*.zrh)|*.zrh"),
                 QStringList{"Zarvos Spielstände (*.zrh)"});
        QCOMPARE(FileDialogNameFilters("Bilder|*.bmp;*.png|Alle|*.*"),
                 (QStringList{"Bilder (*.bmp *.png)", "Alle (*)"}));
        QCOMPARE(FileDialogNameFilters("A (*.a);;B (*.b)"), (QStringList{"A (*.a)", "B (*.b)"}));
        QCOMPARE(FileDialogNameFilters(""), QStringList{});
    }

    void styleChoosesABuiltInPicture()
    {
        TButtonEdit e;
        QCOMPARE(e.Style(), TButtonEdit::stOpen);
        QVERIFY(!e.Glyph().isNull());
        QPixmap own(32, 16);
        own.fill(Qt::red);
        e.SetGlyph(own);
        e.SetNumGlyphs(2);
        // A window that gives its own picture and stOpen keeps its picture.
        e.SetStyle(TButtonEdit::stOpen);
        QCOMPARE(e.Glyph().cacheKey(), own.cacheKey());
        QCOMPARE(e.Button()->iconSize(), QSize(16, 16)); // one of two images
        e.SetStyle(TButtonEdit::stPlus);
        QCOMPARE(e.Glyph().toImage(), TButtonEdit::StyleGlyph(TButtonEdit::stPlus).toImage());
        QCOMPARE(e.NumGlyphs(), 1);
        e.SetStyle(TButtonEdit::stCustom); // keeps what is there
        QCOMPARE(e.Glyph().toImage(), TButtonEdit::StyleGlyph(TButtonEdit::stPlus).toImage());
        // Every built-in picture is a picture of its own.
        QList<QImage> seen;
        for (auto s :
             {TButtonEdit::stArrow, TButtonEdit::stCheck, TButtonEdit::stMinus, TButtonEdit::stOpen,
              TButtonEdit::stPath, TButtonEdit::stPlus, TButtonEdit::stSave}) {
            const QImage img = TButtonEdit::StyleGlyph(s).toImage();
            QVERIFY(!img.isNull());
            QVERIFY(!seen.contains(img));
            seen << img;
        }
        QVERIFY(TButtonEdit::StyleGlyph(TButtonEdit::stCustom).isNull());
        e.SetHintBtn(QStringLiteral("Datei wählen"));
        QCOMPARE(e.Button()->toolTip(), QString("Datei wählen"));
    }

    void lowEditSpringsBackToTheSmallestHeight()
    {
        TButtonEdit e;
        e.show();
        const int f = e.fontMetrics().height();
        const int s = QFontMetrics(QApplication::font()).height();
        QVERIFY(e.MinHeight() >= 4 + std::min(s, f) / 4 + f - 5);
        e.resize(200, 5);
        QCOMPARE(e.height(), e.MinHeight());
        QFont big = e.font();
        big.setPixelSize(40);
        e.setFont(big);
        QVERIFY(e.MinHeight() >= 40);
        e.resize(200, 10);
        QCOMPARE(e.height(), e.MinHeight());
    }

    void buttonIsASquareAtTheRightEnd()
    {
        TButtonEdit e;
        e.show();
        e.resize(200, 40);
        QTest::qWait(10);
        QToolButton *b = e.Button();
        QCOMPARE(b->width(), b->height());
        const int frame = b->y();
        QCOMPARE(b->height(), e.height() - 2 * frame);
        QCOMPARE(b->x() + b->width(), e.width() - frame);
        QCOMPARE(e.textMargins().right(), b->width() + 2);
        QCOMPARE(b->focusPolicy(), Qt::NoFocus);
        QCOMPARE(b->cursor().shape(), Qt::ArrowCursor);
        QVERIFY(b->text().isEmpty() || b->toolButtonStyle() == Qt::ToolButtonIconOnly);
    }

    void enterReachesTheDialogAndTheTextStays()
    {
        QDialog dlg;
        auto *layout = new QVBoxLayout(&dlg);
        auto *e = new TButtonEdit(&dlg);
        auto *ok = new QPushButton(QStringLiteral("OK"), &dlg);
        ok->setDefault(true);
        connect(ok, &QPushButton::clicked, &dlg, &QDialog::accept);
        layout->addWidget(e);
        layout->addWidget(ok);
        e->setText(QStringLiteral("GameOver.wav"));
        dlg.show();
        dlg.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&dlg));
        e->setFocus();
        QTest::keyClick(e, Qt::Key_Return);
        QCOMPARE(dlg.result(), int(QDialog::Accepted));
        QCOMPARE(e->text(), QString("GameOver.wav"));
    }

    void keyboardEntrySelectsTheText()
    {
        QWidget w;
        auto *layout = new QVBoxLayout(&w);
        auto *first = new QPushButton(QStringLiteral("x"), &w);
        auto *e = new TButtonEdit(&w);
        layout->addWidget(first);
        layout->addWidget(e);
        e->setText(QStringLiteral("Arial"));
        w.show();
        w.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        first->setFocus();
        e->setFocus(Qt::OtherFocusReason);
        QCOMPARE(e->selectedText(), QString("Arial"));
        first->setFocus();
        e->deselect();
        e->SetAutoSelect(false);
        e->setFocus(Qt::OtherFocusReason);
        QCOMPARE(e->selectedText(), QString());
        first->setFocus();
        e->SetAutoSelect(true);
        QTest::mouseClick(e, Qt::LeftButton, {}, QPoint(10, e->height() / 2));
        QVERIFY(e->hasFocus());
        QCOMPARE(e->selectedText(), QString());
    }
};

QTEST_MAIN(TestButtonEdit)
#include "tst_buttonedit.moc"
