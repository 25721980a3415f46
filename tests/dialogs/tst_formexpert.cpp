#include "ButtonEdit.h"
#include "CenteredMessageDlg.h"
#include "FontField.h"
#include "FormExpert.h"
#include "MultiEdit.h"
#include "PuzzleRoot.h"
#include "Settings.h"
#include "ZarvoError.h"
#include "ZarvoRandom.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QFrame>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QStandardPaths>
#include <QTimer>

namespace {
QString WritePicture(const TPuzzleRoot &root, const QString &rel, int w, int h)
{
    QImage picture(w, h, QImage::Format_RGB32);
    // Each pixel its own colour, so a copied rectangle shows where it came from.
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            picture.setPixel(x, y, qRgb(x % 256, y % 256, (x / 256) * 40 + 7));
    const QString path = root.Path(rel);
    QDir().mkpath(QFileInfo(path).absolutePath());
    if (!picture.save(path, "PNG"))
        qFatal("cannot write %s", qPrintable(rel));
    return path;
}

TGridValues Fields(const TFormExpert &f)
{
    return {f.EditUnit->IntVal(), f.EditPartX->IntVal(), f.EditPartY->IntVal()};
}
} // namespace

// The puzzle expert "Puzzleexperte" as the user sees it.
class TestFormExpert : public QObject
{
    Q_OBJECT

    std::unique_ptr<TPuzzleRoot> Root;
    QStringList Messages;

private Q_SLOTS:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void init()
    {
        Root = std::make_unique<TPuzzleRoot>();
        SetSettingsStoreFile(Root->Path(QStringLiteral("Zarvos.ini")));
        Messages.clear();
        SetMessageDlgHook([this](const QString &text, QMessageBox::Icon, auto) {
            Messages << text;
            return QMessageBox::Ok;
        });
    }

    void cleanup() { SetMessageDlgHook({}); }

    void opensOnTheSamplePicture()
    {
        Root->Write(QStringLiteral("Image/b.jpg"), "x");
        Root->Write(QStringLiteral("Image/A.png"), "x");
        Root->Write(QStringLiteral("Image/.hidden.png"), "x");
        QDir().mkpath(Root->Path(QStringLiteral("Image/Unterordner")));
        TFormExpert f(nullptr);
        QCOMPARE(f.windowTitle(), QStringLiteral("Puzzleexperte"));
        QVERIFY(f.EditTitle->text().isEmpty());
        QVERIFY(f.EditPath->text().isEmpty());
        QVERIFY(!f.BtnSave->isEnabled());
        QVERIFY(f.BtnSave->isDefault());
        QCOMPARE(f.Image.size(), QSize(250, 250));
        QCOMPARE(Fields(f), (TGridValues{50, 5, 5}));
        QCOMPARE(f.EditBorder->IntVal(), 2);
        QCOMPARE(f.EditBackSizeOff->IntVal(), 2);
        QVERIFY(f.ChkNummern->isChecked());
        QVERIFY(!f.ChkAllwaysRandom->isChecked());
        QCOMPARE(f.EditFont->text(), QStringLiteral("(Standard)"));
        QVERIFY(f.EditFont->font().bold());
        QCOMPARE(f.EditFont->font().pointSize(), 9);
        QVERIFY(f.EditFont->isReadOnly());
        QStringList items;
        for (int i = 0; i < f.EditBack->count(); ++i)
            items << f.EditBack->itemText(i);
        QCOMPARE(items, (QStringList{"(Kein)", "A.png", "b.jpg"}));
        QCOMPARE(f.EditBack->currentIndex(), 0);
        QCOMPARE(f.BackTile.size(), QSize(32, 32));
        // (5 + 2) x 50 pixels of preview in a frame 2 pixels wider each side.
        QCOMPARE(f.Preview->size(), QSize(350, 350));
        QCOMPARE(f.PnlOuter->size(), QSize(354, 354));
        QCOMPARE(f.EditUnit->IntValMin(), 5);
        QCOMPARE(f.EditUnit->IntValMax(), 1000);
        QCOMPARE(f.EditUnit->EffectiveStep(), 5);
        QCOMPARE(f.EditPartX->IntValMin(), 2);
        QCOMPARE(f.EditPartY->IntValMax(), 1000);
        QCOMPARE(f.EditBackSizeOff->IntValMax(), 20);
    }

    void gridFollowsTheFieldThatChanged()
    {
        TFormExpert f(nullptr);
        f.EditPartX->SetIntVal(7);
        QCOMPARE(Fields(f), (TGridValues{35, 7, 7}));
        f.EditPartX->SetIntVal(30);
        QCOMPARE(Fields(f), (TGridValues{10, 25, 25}));
        QCOMPARE(f.Preview->size(), QSize(270, 270));

        QVERIFY(f.TakePicture(WritePicture(*Root, QStringLiteral("photo.png"), 640, 480)));
        f.EditUnit->SetIntVal(50);
        QCOMPARE(Fields(f), (TGridValues{50, 12, 9}));
        f.EditPartX->SetIntVal(100);
        QCOMPARE(Fields(f), (TGridValues{10, 64, 48}));
        // Parts down 1 is held at 2 by the field: two rows of 240.
        f.EditPartY->SetIntVal(1);
        QCOMPARE(Fields(f), (TGridValues{240, 2, 2}));
        QCOMPARE(f.Grid.FUpdating, 0);
        // The same through the keyboard: typed text is taken on Enter.
        f.EditPartX->setFocus();
        f.EditPartX->selectAll();
        QTest::keyClicks(f.EditPartX, "8");
        QTest::keyClick(f.EditPartX, Qt::Key_Return);
        QCOMPARE(Fields(f), (TGridValues{80, 8, 6}));
    }

    void unusablePicturesAreRejected()
    {
        TFormExpert f(nullptr);
        const QString good = WritePicture(*Root, QStringLiteral("good.png"), 300, 200);
        QVERIFY(f.TakePicture(good));
        QCOMPARE(Fields(f), (TGridValues{50, 6, 4}));
        f.EditTitle->setText(QStringLiteral("T"));
        QVERIFY(f.BtnSave->isEnabled());

        const QString thin = WritePicture(*Root, QStringLiteral("thin.png"), 1, 300);
        Root->Write(QStringLiteral("broken.jpg"), "no picture at all");
        for (const QString &bad : {thin, Root->Path(QStringLiteral("broken.jpg")),
                                   Root->Path(QStringLiteral("missing.png"))}) {
            Messages.clear();
            QVERIFY(!f.TakePicture(bad));
            QCOMPARE(Messages.size(), 1);
            QVERIFY(Messages.first().contains(QStringLiteral("Das bisherige Bild bleibt.")));
            QCOMPARE(f.Image.size(), QSize(300, 200));
            QCOMPARE(f.EditPath->text(), good);
            QCOMPARE(Fields(f), (TGridValues{50, 6, 4}));
        }
        QVERIFY(Messages.first().contains(QStringLiteral("missing.png")));
    }

    void typingIntoThePathOpensThePictureDialog()
    {
        TFormExpert f(nullptr);
        f.show();
        const QString good = WritePicture(*Root, QStringLiteral("Image/gut.png"), 120, 80);
        QVERIFY(f.TakePicture(good));

        for (const char *name : {"Image/alt.pcx", "Image/foto.JPG", "Image/notiz.txt"})
            Root->Write(QString::fromLatin1(name), "x");

        QString title;
        QStringList filters, listed;
        QString typed;
        QTimer::singleShot(0, qApp, [&] {
            auto *d = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
            if (!d)
                return;
            title = d->windowTitle();
            filters = d->nameFilters();
            typed = f.EditPath->text();
            // What the player sees in the folder under the first filter.
            auto *view = d->findChild<QListView *>(QStringLiteral("listView"));
            const auto names = [view] {
                QStringList shown;
                for (int r = 0; view && r < view->model()->rowCount(view->rootIndex()); ++r)
                    shown << view->model()->index(r, 0, view->rootIndex()).data().toString();
                return shown;
            };
            QTRY_COMPARE_WITH_TIMEOUT(names().size(), 3, 5000);
            listed = names();
            d->reject();
        });
        f.EditPath->setFocus();
        QTest::keyClick(f.EditPath, Qt::Key_X);
        QCOMPARE(title, QStringLiteral("Bild laden"));
        QVERIFY(filters.first().startsWith(QStringLiteral("Alle Bilddateien (")));
        for (const char *pattern : {"*.jpg", "*.jpeg", "*.png", "*.gif", "*.bmp", "*.pcx", "*.tif"})
            QVERIFY2(filters.first().contains(QString::fromLatin1(pattern) + QLatin1Char(' ')) ||
                         filters.first().contains(QString::fromLatin1(pattern) + QLatin1Char(')')),
                     pattern);
        QVERIFY(filters.contains(QStringLiteral("PCX Bilddatei (*.pcx)")));
        QVERIFY(filters.contains(QStringLiteral("JPEG Bilddatei (*.jpeg *.jpg)")));
        listed.sort();
        QCOMPARE(listed, (QStringList{"alt.pcx", "foto.JPG", "gut.png"}));
        // The typed letter is gone before the dialog shows; cancelling keeps the picture.
        QCOMPARE(typed, good);
        QCOMPARE(f.EditPath->text(), good);
        QCOMPARE(f.Image.size(), QSize(120, 80));
        QVERIFY(!f.FPathBusy);

        // Choosing another picture through the dialog takes it.
        const QString other = WritePicture(*Root, QStringLiteral("Image/anders.png"), 300, 300);
        QTimer::singleShot(0, qApp, [&] {
            auto *d = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
            if (!d)
                return;
            d->selectFile(other);
            QMetaObject::invokeMethod(d, "accept");
        });
        f.EditPath->ButtonClick();
        QCOMPARE(f.Image.size(), QSize(300, 300));
        QCOMPARE(QFileInfo(f.EditPath->text()).fileName(), QStringLiteral("anders.png"));
        QCOMPARE(Fields(f), (TGridValues{40, 7, 7})); // the unit of the first picture stays
    }

    void saveNeedsTitleAndPicture()
    {
        TFormExpert f(nullptr);
        f.EditTitle->setText(QStringLiteral("Mein Puzzle"));
        QVERIFY(!f.BtnSave->isEnabled());
        QVERIFY(f.TakePicture(WritePicture(*Root, QStringLiteral("p.png"), 100, 100)));
        QVERIFY(f.BtnSave->isEnabled());
        f.EditTitle->clear();
        QVERIFY(!f.BtnSave->isEnabled());
    }

    void previewShowsPictureAndGrooves()
    {
        TFormExpert f(nullptr);
        f.resize(700, 700);
        QVERIFY(f.TakePicture(WritePicture(*Root, QStringLiteral("p.png"), 210, 100)));
        QCOMPARE(Fields(f), (TGridValues{50, 4, 2}));
        QCOMPARE(f.Preview->size(), QSize(300, 200));
        const QImage shown = f.Preview->grab().toImage().convertToFormat(QImage::Format_RGB32);
        const QImage tile = f.BackTile.convertToFormat(QImage::Format_RGB32);
        const QColor shadow(f.palette().color(QPalette::Dark).rgb());
        const QColor light(f.palette().color(QPalette::Light).rgb());
        const int d = 50; // half the margin of two units
        auto at = [&shown](int x, int y) { return QColor(shown.pixel(x, y)); };

        QCOMPARE(at(5, 5), QColor(tile.pixel(5, 5)));
        QCOMPARE(at(40, 40), QColor(tile.pixel(40 % 32, 40 % 32)));
        QCOMPARE(at(d + 20, d + 30), QColor(qRgb(20, 30, 7)));
        QCOMPARE(at(d + 197, d + 97), QColor(qRgb(197, 97, 7)));
        // Columns: 2 pixels of shadow left of each line, 2 of light right of it.
        QCOMPARE(at(d - 1, d + 20), shadow);
        QCOMPARE(at(d - 2, d + 20), shadow);
        QCOMPARE(at(d, d + 20), light);
        QCOMPARE(at(d + 1, d + 20), light);
        QCOMPARE(at(d + 2, d + 20), QColor(qRgb(2, 20, 7)));
        QCOMPARE(at(d + 49, d + 20), shadow);
        QCOMPARE(at(d + 50, d + 20), light);
        QCOMPARE(at(d + 200 - 1, d + 20), shadow); // the outer line frames the picture
        QCOMPARE(at(d + 200 + 1, d + 20), light);
        QCOMPARE(at(d + 200 + 2, d + 20), QColor(tile.pixel((d + 202) % 32, (d + 20) % 32)));
        // Rows the same way.
        QCOMPARE(at(d + 20, d + 49), shadow);
        QCOMPARE(at(d + 20, d + 50), light);

        // Without bevels the picture runs through.
        f.EditBorder->SetIntVal(0);
        const QImage flat = f.Preview->grab().toImage().convertToFormat(QImage::Format_RGB32);
        QCOMPARE(QColor(flat.pixel(d + 49, d + 20)), QColor(qRgb(49, 20, 7)));
        QCOMPARE(QColor(flat.pixel(d + 50, d + 20)), QColor(qRgb(50, 20, 7)));

        // A wider margin moves the picture and grows the preview.
        f.EditBackSizeOff->SetIntVal(4);
        QCOMPARE(f.Preview->size(), QSize(400, 300));
        const QImage wide = f.Preview->grab().toImage().convertToFormat(QImage::Format_RGB32);
        QCOMPARE(QColor(wide.pixel(100 + 3, 100 + 4)), QColor(qRgb(3, 4, 7)));
    }

    void numbersAndFont()
    {
        TFormExpert f(nullptr);
        f.ChkNummern->setChecked(false);
        QVERIFY(!f.EditFont->isEnabled());
        QVERIFY(!f.BtnStandard->isEnabled());
        f.ChkNummern->setChecked(true);
        QVERIFY(f.EditFont->isEnabled());
        QVERIFY(f.BtnStandard->isEnabled());
    }

    void loadsAnExistingPuzzle()
    {
        WritePicture(*Root, QStringLiteral("Image/pic.png"), 120, 90);
        Root->Write(QStringLiteral("Image/Holz.png"), "not decodable");
        Root->Write(QStringLiteral("Data/Alt.zrv"),
                    "[Pad]\r\nImgZarvos=pic.png\r\nImgBack=\r\nUnitSize=30\r\nBorder=4\r\n"
                    "ZarvoSize=4,3\r\nBackSize=7,6\r\nAllwaysRandom=1\r\n"
                    "FontName=Courier New\r\nFontSize=12\r\nFontColor=255\r\nFontStyle=2\r\n"
                    "[Start]\r\nCount=1\r\nZarvo1=Zarvo11,,0,0,0,0,1\r\n"
                    "[Info]\r\nTitle=Altes Bild\r\n");
        TFormExpert f(nullptr);
        f.EditBack->setCurrentIndex(1); // "Holz.png"
        f.LoadFromPuzzle(QStringLiteral("Alt.zrv"));
        QCOMPARE(f.EditTitle->text(), QStringLiteral("Altes Bild"));
        QCOMPARE(f.EditPath->text(), QStringLiteral("pic.png"));
        QCOMPARE(f.Image.size(), QSize(120, 90));
        QCOMPARE(Fields(f), (TGridValues{30, 4, 3}));
        QCOMPARE(f.EditBorder->IntVal(), 4);
        QCOMPARE(f.EditBackSizeOff->IntVal(), 3);
        QVERIFY(!f.ChkNummern->isChecked());
        QVERIFY(f.ChkAllwaysRandom->isChecked());
        QCOMPARE(f.EditFont->text(), QStringLiteral("Courier New"));
        QCOMPARE(f.EditBack->currentText(), QStringLiteral("(Kein)"));
        QCOMPARE(f.SaveFileName, QStringLiteral("Alt.zrv"));
        QCOMPARE(f.Grid.FUpdating, 0);
        QVERIFY(!f.FPathBusy);
        QVERIFY(f.BtnSave->isEnabled());
        QVERIFY(Messages.isEmpty());

        // With numbers again, Delete in the font field goes back to the
        // standard font.
        f.ChkNummern->setChecked(true);
        QTest::keyClick(f.EditFont, Qt::Key_Delete);
        QCOMPARE(f.EditFont->text(), QStringLiteral("(Standard)"));

        // Saved again: the picture stays in the image folder, no background.
        f.SaveAs(Root->Path(QStringLiteral("elsewhere/Neu.zrv")));
        QCOMPARE(f.result(), int(QDialog::Accepted));
        QCOMPARE(f.SavedPuzzleFile, Root->Path(QStringLiteral("elsewhere/Neu.zrv")));
        const QByteArray saved = Root->Read(QStringLiteral("Data/Neu.zrv"));
        QVERIFY(saved.contains("ImgBack=\r\n"));
        QVERIFY(saved.contains("ImgZarvos=pic.png\r\n"));
        QVERIFY(saved.contains("BackSize=7,6\r\n"));
        QVERIFY(saved.contains("AllwaysRandom=1\r\n"));
        QVERIFY(!saved.contains("FontName"));
        QVERIFY(saved.contains("Zarvo11,11,"));
    }

    void aPuzzleThatCannotBeLoadedChangesNothing()
    {
        Root->Write(QStringLiteral("Data/Kaputt.zrv"), "[Pad]\r\nBackSize=x,1\r\n");
        TFormExpert f(nullptr);
        f.EditTitle->setText(QStringLiteral("bleibt"));
        QVERIFY_THROWS_EXCEPTION(EZarvoError, f.LoadFromPuzzle(QStringLiteral("Kaputt.zrv")));
        QCOMPARE(f.Grid.FUpdating, 0);
        QVERIFY(!f.FPathBusy);
        QCOMPARE(f.EditTitle->text(), QStringLiteral("bleibt"));
        QCOMPARE(Fields(f), (TGridValues{50, 5, 5}));
        // The grid still follows its fields afterwards.
        f.EditPartX->SetIntVal(7);
        QCOMPARE(Fields(f), (TGridValues{35, 7, 7}));
    }

    void savingThroughTheSaveDialog()
    {
        TFormExpert f(nullptr);
        f.show();
        f.EditTitle->setText(QStringLiteral("Urlaub"));
        QVERIFY(f.TakePicture(WritePicture(*Root, QStringLiteral("urlaub.png"), 100, 100)));

        // Cancelled: the expert stays open with its values.
        QString title;
        QTimer::singleShot(0, qApp, [&title] {
            auto *d = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
            if (!d)
                return;
            title = d->windowTitle();
            d->reject();
        });
        QTest::mouseClick(f.BtnSave, Qt::LeftButton);
        QCOMPARE(title, QStringLiteral("Puzzle speichern"));
        QVERIFY(f.isVisible());
        QCOMPARE(f.result(), int(QDialog::Rejected));
        QCOMPARE(f.EditTitle->text(), QStringLiteral("Urlaub"));
        QVERIFY(f.SavedPuzzleFile.isEmpty());

        // A name without extension gets ".zrv"; the file lands in the data folder.
        QString suffix, directory;
        QTimer::singleShot(0, qApp, [&] {
            auto *d = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
            if (!d)
                return;
            suffix = d->defaultSuffix();
            directory = d->directory().absolutePath();
            d->selectFile(QStringLiteral("Urlaub"));
            QMetaObject::invokeMethod(d, "accept");
        });
        QTest::mouseClick(f.BtnSave, Qt::LeftButton);
        QCOMPARE(suffix, QStringLiteral("zrv"));
        QCOMPARE(QDir(directory).canonicalPath(), QDir(Root->Path("Data")).canonicalPath());
        QCOMPARE(f.result(), int(QDialog::Accepted));
        QVERIFY(f.SavedPuzzleFile.endsWith(QStringLiteral("/Urlaub.zrv")));
        QVERIFY(Root->Read(QStringLiteral("Data/Urlaub.zrv")).contains("Title=Urlaub"));
        QCOMPARE(Root->Read(QStringLiteral("Image/urlaub.png")).left(4), QByteArray("\x89PNG"));
    }

    void placementStoredUnderFormExpert()
    {
        {
            TFormExpert f(nullptr);
            f.resize(620, 480);
            f.reject();
        }
        auto store = OpenSettingsStore();
        QCOMPARE(store->value(QStringLiteral("Forms/FormExpert/Width")).toString(),
                 QStringLiteral("620"));
        TFormExpert again(nullptr);
        QCOMPARE(again.width(), 620);
        QVERIFY(again.minimumWidth() > 0);
    }
};

QTEST_MAIN(TestFormExpert)
#include "tst_formexpert.moc"
