#include "CenteredMessageDlg.h"
#include "DataRoot.h"
#include "FormOpen.h"
#include "HeadedList.h"
#include "IniFile.h"
#include "PuzzleList.h"
#include "Settings.h"

#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QScopeGuard>
#include <QSemaphore>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <functional>

// The selection dialog as the player uses it.
class TestFormOpen : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> Root;
    QStringList Errors;

    // The puzzle chosen, kept across the dialog's runs as its caller keeps it.
    static inline QString Chosen;

    static QString Dir() { return DataRoot::DataDir(); }

    static void WriteFile(const QString &name, const QString &text)
    {
        QFile f(Dir() + name);
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(EncodeWin1252(text));
    }

    // A puzzle whose board is the built-in tile over 4 x 5 units.
    static void WritePuzzle(const QString &name, const QString &rating, const QString &title,
                            const QString &bests = QString(), const QString &pad = "BackSize=4,5")
    {
        WriteFile(name, "[Pad]\r\n" + pad + "\r\n[Info]\r\nRating=" + rating +
                            "\r\nTitle=" + title + "\r\n[Solution]\r\n" + bests);
    }

    static void SetModified(const QString &path, const QDateTime &when)
    {
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadWrite));
        QVERIFY(f.setFileTime(when, QFileDevice::FileModificationTime));
    }

    // Opens the dialog, calls drive once it is up and returns what
    // SelectPuzzle returned. drive closes the dialog; if a failed check
    // leaves it open, it is cancelled.
    static bool Run(const std::function<void(QDialog *)> &drive)
    {
        QTimer::singleShot(0, [drive] {
            QDialog *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget());
            if (!dialog) {
                QFAIL("the dialog is not up");
                return;
            }
            // Let the dialog finish its start (the first preview).
            QTest::qWait(10);
            drive(dialog);
            if (dialog->isVisible())
                dialog->reject();
        });
        return SelectPuzzle(nullptr, Chosen);
    }

    static THeadedListBox *List(QDialog *d) { return d->findChild<THeadedListBox *>("ListZarvos"); }
    static QListWidget *Players(QDialog *d) { return d->findChild<QListWidget *>("LBoxSolution"); }
    static TListHeaderControl *Header(QDialog *d)
    {
        return d->findChild<TListHeaderControl *>("HeaderZarvos");
    }
    static QWidget *Preview(QDialog *d) { return d->findChild<QWidget *>("ImgVorschau"); }
    static QPushButton *Button(QDialog *d, const char *name)
    {
        return d->findChild<QPushButton *>(name);
    }

    static QStringList Rows(QListWidget *list)
    {
        QStringList rows;
        for (int i = 0; i < list->count(); ++i)
            rows << list->item(i)->text();
        return rows;
    }

private Q_SLOTS:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        SetMessageDlgHook(
            [this](const QString &text, QMessageBox::Icon, QMessageBox::StandardButtons) {
                Errors << text;
                return QMessageBox::Ok;
            });
        EditPuzzleFile = [](const QString &) {
            QTest::qFail("no editor expected", __FILE__, __LINE__);
            return false;
        };
    }

    void init()
    {
        Root = std::make_unique<QTemporaryDir>();
        QVERIFY(Root->isValid());
        DataRoot::UseRoot(Root->path());
        QVERIFY(QDir().mkpath(Dir()));
        SetSettingsStoreFile(Root->filePath("settings.ini"));
        Settings() = TZarvoSettings();
        Errors.clear();
    }

    void emptyFolderStillClosesWithOk()
    {
        Chosen = "before.zrv";
        const bool ok = Run([](QDialog *d) {
            QCOMPARE(List(d)->count(), 0);
            QCOMPARE(Players(d)->count(), 0);
            QVERIFY(!d->findChild<QLabel *>("LblWait")->isVisible());
            QCOMPARE(Header(d)->SectionText(3), QString("Spieler"));
            QTest::mouseClick(Button(d, "BtnOk"), Qt::LeftButton);
        });
        QVERIFY(ok);
        QCOMPARE(Chosen, QString("before.zrv"));
        QVERIFY(Errors.isEmpty());
    }

    void remembersTheRowAndHandsBackTheFile_data()
    {
        QTest::addColumn<int>("remembered");
        QTest::addColumn<int>("selected");
        QTest::newRow("inside") << 2 << 2;
        QTest::newRow("zero") << 0 << 0;
        QTest::newRow("outside") << 3 << 0;
        QTest::newRow("negative") << -4 << 0;
    }
    void remembersTheRowAndHandsBackTheFile()
    {
        QFETCH(int, remembered);
        QFETCH(int, selected);
        WritePuzzle("c.zrv", "*", "Cäsar");
        WritePuzzle("a.zrv", "*", "Anton");
        WritePuzzle("b.zrv", "*", "Berta");
        Settings().ZarvoIndex = remembered;
        const bool ok = Run([selected](QDialog *d) {
            QCOMPARE(List(d)->currentRow(), selected);
            QTest::keyClick(List(d), Qt::Key_Return);
        });
        QVERIFY(ok);
        QCOMPARE(Chosen, QString("abc").mid(selected, 1) + ".zrv");
        QCOMPARE(Settings().ZarvoIndex, selected);
    }

    void cancelKeepsNothingButTheNormalisedPlayer()
    {
        WritePuzzle("a.zrv", "*", "Anton", "Best1=12,HANS,10\r\n");
        Settings().Player = "hans";
        const bool ok = Run([](QDialog *d) {
            QCOMPARE(Header(d)->SectionText(3), QString("Hans"));
            QCOMPARE(Rows(List(d)), QStringList({"*               ;Anton;12 Züge;12 Züge;a.zrv"}));
            QTest::mouseClick(Button(d, "BtnCancel"), Qt::LeftButton);
        });
        QVERIFY(!ok);
        QCOMPARE(Settings().Player, QString("Hans"));
    }

    void doubleClickActsAsOk()
    {
        WritePuzzle("a.zrv", "*", "Anton");
        WritePuzzle("b.zrv", "**", "Berta");
        const bool ok = Run([](QDialog *d) {
            THeadedListBox *list = List(d);
            const QRect row = list->visualItemRect(list->item(1));
            QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, row.center());
            QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, row.center());
        });
        QVERIFY(ok);
        QCOMPARE(Chosen, QString("b.zrv"));
    }

    void choosingAnotherPlayer()
    {
        WritePuzzle("a.zrv", "*", "Anton",
                    "Best1=12,Minimum\r\nBest2=20,anna,1\r\nBest3=30,Bob,1\r\n");
        WritePuzzle("b.zrv", "*", "Berta", "Best1=7,bob,1\r\n");
        Settings().Player = "bob";
        const bool ok = Run([](QDialog *d) {
            THeadedListBox *list = List(d);
            QListWidget *players = Players(d);
            QCOMPARE(Rows(players), QStringList({"Anna", "Bob"}));
            QVERIFY(!players->isVisible());

            QTest::keyClick(list, '?');
            QVERIFY(players->isVisible());
            QVERIFY(players->hasFocus());
            QCOMPARE(players->currentItem()->text(), QString("Bob")); // the current player
            QVERIFY(!Button(d, "BtnOk")->isDefault());

            // Escape only hides the list.
            QTest::keyClick(players, Qt::Key_Escape);
            QVERIFY(d->isVisible());
            QVERIFY(!players->isVisible());
            QVERIFY(Button(d, "BtnOk")->isDefault());
            QCOMPARE(Header(d)->SectionText(3), QString("Bob"));

            // The "?" button lies wholly on the header, where a click reaches it.
            auto *solution = d->findChild<QToolButton *>("BtnSolution");
            QVERIFY(Header(d)->rect().contains(solution->geometry()));
            // Arrows move the highlight only; Enter takes the name.
            QTest::mouseClick(solution, Qt::LeftButton);
            QVERIFY(players->isVisible());
            QTest::keyClick(players, Qt::Key_Up);
            QCOMPARE(Header(d)->SectionText(3), QString("Bob"));
            QTest::keyClick(players, Qt::Key_Return);
            QVERIFY(d->isVisible());
            QVERIFY(!players->isVisible());
            QVERIFY(list->hasFocus());
            QCOMPARE(Header(d)->SectionText(3), QString("Anna"));
            QCOMPARE(Rows(list), QStringList({"*               ;Anton;12 Züge;20 Züge;a.zrv",
                                              "*               ;Berta;7 Züge;;b.zrv"}));

            // A click on a name takes it at once.
            QTest::keyClick(list, '?');
            const QRect bob = players->visualItemRect(players->item(1));
            QTest::mouseClick(players->viewport(), Qt::LeftButton, {}, bob.center());
            QVERIFY(!players->isVisible());
            QCOMPARE(Header(d)->SectionText(3), QString("Bob"));

            // "?" again and a press elsewhere hides the list without a change.
            QTest::keyClick(list, '?');
            QVERIFY(players->isVisible());
            QTest::mousePress(list->viewport(), Qt::LeftButton, {}, QPoint(5, 5));
            QVERIFY(!players->isVisible());
            QTest::mouseRelease(list->viewport(), Qt::LeftButton, {}, QPoint(5, 5));
            QCOMPARE(Header(d)->SectionText(3), QString("Bob"));
            QTest::mouseClick(Button(d, "BtnCancel"), Qt::LeftButton);
        });
        QVERIFY(!ok);
        QCOMPARE(Settings().Player, QString("Bob"));
    }

    void rebuildAndEditFromThePopupMenu()
    {
        WritePuzzle("a.zrv", "*", "Anton");
        QStringList edited;
        bool editorFound = true;
        EditPuzzleFile = [&](const QString &path) {
            edited << path;
            return editorFound;
        };
        const bool ok = Run([&](QDialog *d) {
            THeadedListBox *list = List(d);
            d->activateWindow();
            QTRY_VERIFY(d->isActiveWindow());
            QCOMPARE(list->count(), 1);
            WritePuzzle("b.zrv", "*", "Berta");
            QTest::keyClick(list, Qt::Key_R, Qt::ControlModifier);
            QCOMPARE(list->count(), 2);
            QCOMPARE(list->currentRow(), 0);

            // A right press selects the row under the pointer first.
            const QRect row = list->visualItemRect(list->item(1));
            QTest::mousePress(list->viewport(), Qt::RightButton, {}, row.center());
            QCOMPARE(list->currentRow(), 1);
            QTest::mouseRelease(list->viewport(), Qt::RightButton, {}, row.center());
            if (QWidget *popup = QApplication::activePopupWidget())
                popup->close();
            QTest::keyClick(list, Qt::Key_E, Qt::ControlModifier);
            // No program to open it with: the player is told, not only the log.
            editorFound = false;
            QTest::keyClick(list, Qt::Key_E, Qt::ControlModifier);
        });
        EditPuzzleFile = [](const QString &) {
            QTest::qFail("no editor expected", __FILE__, __LINE__);
            return false;
        };
        QVERIFY(!ok);
        QCOMPARE(edited, QStringList({Dir() + "b.zrv", Dir() + "b.zrv"}));
        QCOMPARE(Errors.size(), 1);
        QVERIFY(Errors.first().contains(QDir::toNativeSeparators(Dir() + "b.zrv")));
    }

    void previewIsBuiltCachedAndRebuilt()
    {
        WritePuzzle("a.zrv", "*", "Anton");
        const QString cache = Dir() + "a.bmp";
        QSize area;
        QImage first;
        Run([&](QDialog *d) {
            QTRY_VERIFY(QFile::exists(cache));
            area = Preview(d)->size();
            first = Preview(d)->grab().toImage();
        });
        QImage written(cache);
        QCOMPARE(written.size(), area);
        // The board (160 x 200) fills the height, the sides keep the margins.
        const QRect fit = FitPreviewRect(area, QSize(160, 200));
        QVERIFY(fit.left() > 0);
        const QColor face = QApplication::palette().color(QPalette::Button);
        QCOMPARE(written.pixelColor(0, area.height() / 2), face);
        QVERIFY(written.pixelColor(fit.center()) != face);
        QCOMPARE(first.convertToFormat(QImage::Format_RGB32),
                 written.convertToFormat(QImage::Format_RGB32));

        // A fresh cache of the right size is shown as it is, without
        // loading the puzzle (which now could not be loaded).
        QImage marked(area, QImage::Format_RGB32);
        marked.fill(QColor(10, 200, 30));
        QVERIFY(SavePreviewCache(marked, cache));
        WritePuzzle("a.zrv", "*", "Anton", QString(), "BackSize=x,5");
        const QDateTime now = QDateTime::currentDateTime();
        SetModified(Dir() + "a.zrv", now.addSecs(-30));
        SetModified(cache, now.addSecs(-20));
        Run([&](QDialog *d) {
            QTest::qWait(20);
            QCOMPARE(Preview(d)->grab().toImage().pixelColor(3, 3), QColor(10, 200, 30));
        });
        QVERIFY(Errors.isEmpty());

        // Older than the puzzle: rebuilt, and the load error is reported.
        SetModified(Dir() + "a.zrv", now);
        Run([&](QDialog *d) {
            QTRY_COMPARE(Errors.size(), 1);
            QVERIFY(!d->findChild<QLabel *>("LblWait")->isVisible());
            QVERIFY(d->isVisible());
        });
        QVERIFY(Errors.value(0).startsWith("Fehler beim Laden der Zarvo-Datei\r"));

        // Repaired puzzle, cache of another size (a resized dialog): rebuilt.
        WritePuzzle("a.zrv", "*", "Anton");
        SetModified(Dir() + "a.zrv", now.addSecs(-60));
        QVERIFY(SavePreviewCache(marked.scaled(area / 2), cache));
        Run([&](QDialog *) { QTRY_COMPARE(QImage(cache).size(), area); });
        QCOMPARE(QImage(cache).pixelColor(fit.center()), written.pixelColor(fit.center()));
        QCOMPARE(Errors.size(), 1);
    }

    void previewsAreBuiltWhileTheDialogIsInUse()
    {
        WritePuzzle("a.zrv", "*", "Anton");
        WritePuzzle("b.zrv", "**", "Berta", QString(), "BackSize=6,3");
        Settings().ZarvoIndex = 0;
        QSemaphore go;
        QAtomicInt started;
        TPreviewBuilder::BeforeBuild = [&](const QString &) {
            started.ref();
            go.acquire();
        };
        const auto cleanup = qScopeGuard([&] {
            go.release(100);
            TPreviewBuilder::BeforeBuild = nullptr;
        });
        Run([&](QDialog *d) {
            // The first picture is held on its way: the list is there, the
            // label says so, and the dialog takes keys meanwhile.
            QTRY_COMPARE(started.loadAcquire(), 1);
            QLabel *wait = d->findChild<QLabel *>("LblWait");
            QVERIFY(wait->isVisible());
            QCOMPARE(List(d)->count(), 2);
            QTest::keyClick(List(d), Qt::Key_Down);
            QCOMPARE(List(d)->currentRow(), 1);
            go.release(2);
            // Only the picture of the row now selected is shown.
            QTRY_VERIFY(!wait->isVisible());
            QTRY_VERIFY(QFile::exists(Dir() + "b.bmp"));
            QCOMPARE(Preview(d)->grab().toImage().convertToFormat(QImage::Format_RGB32),
                     QImage(Dir() + "b.bmp").convertToFormat(QImage::Format_RGB32));
            QVERIFY(QImage(Dir() + "a.bmp") != QImage(Dir() + "b.bmp"));
        });

        // Closed while a picture is being built: the dialog goes at once,
        // its builder ends, and nothing arrives afterwards.
        QVERIFY(QFile::remove(Dir() + "a.bmp"));
        QVERIFY(QFile::remove(Dir() + "b.bmp"));
        started = 0;
        Settings().ZarvoIndex = 0;
        const bool ok = Run([&](QDialog *d) {
            QTRY_COMPARE(started.loadAcquire(), 1);
            go.release();
            d->reject();
        });
        QVERIFY(!ok);
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents();
        QVERIFY(Errors.isEmpty());
        // Whatever was written is a whole picture.
        if (QFile::exists(Dir() + "a.bmp"))
            QVERIFY(!QImage(Dir() + "a.bmp").isNull());
    }
};

QTEST_MAIN(TestFormOpen)
#include "tst_formopen.moc"
