#include "DataRoot.h"
#include "FormEnhance.h"
#include "Settings.h"
#include "ZarvoError.h"

#include <QDialog>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QMainWindow>
#include <QScreen>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

// Window placement through the settings component.
class TestFormEnhance : public QObject
{
    Q_OBJECT

    QTemporaryDir Dir;
    QString Ini;
    int FileCount = 0;

    // Writes placement values as the store holds them (decimal text).
    void Store(const QString &group, const QList<QPair<QString, QString>> &values)
    {
        auto store = OpenSettingsStore();
        store->beginGroup(group);
        for (const auto &v : values)
            store->setValue(v.first, v.second);
    }

    QString Stored(const QString &key)
    {
        QSettings plain(Ini, QSettings::IniFormat);
        return plain.value(key).toString();
    }

    static QRect WorkArea() { return QGuiApplication::primaryScreen()->availableGeometry(); }

    // A main window as the game builds it: placement and own values.
    static TFormEnhance *MainEnhance(QWidget *w)
    {
        auto *e = new TFormEnhance(w);
        e->SaveName = QStringLiteral("\\Software\\Zarvos");
        e->SaveKey = QStringLiteral("FormMain");
        return e;
    }

private Q_SLOTS:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        QVERIFY(Dir.isValid());
        QDir().mkpath(Dir.filePath("root"));
        DataRoot::UseRoot(Dir.filePath("root"));
        QVERIFY(QGuiApplication::primaryScreen());
    }

    void init()
    {
        // A fresh store per case (QSettings caches files per process).
        QDir().mkpath(Dir.filePath(QString::number(++FileCount)));
        Ini = Dir.filePath(QString::number(FileCount) + "/Zarvos.ini");
        SetSettingsStoreFile(Ini);
        TFormEnhance::SetMainForm(nullptr);
    }

    void ownerMustBeAWindow()
    {
        QWidget window;
        auto *child = new QWidget(&window);
        try {
            new TFormEnhance(child);
            QFAIL("a child widget was accepted");
        } catch (const EZarvoError &e) {
            QCOMPARE(e.Message, QStringLiteral("Control parent must be a form!"));
        }
        try {
            new TFormEnhance(nullptr);
            QFAIL("no owner was accepted");
        } catch (const EZarvoError &e) {
            QCOMPARE(e.Message, QStringLiteral("Control parent must be a form!"));
        }
        QVERIFY(child->findChildren<TFormEnhance *>().isEmpty());
    }

    void onlyOnePerWindow()
    {
        QWidget window;
        auto *first = new TFormEnhance(&window);
        try {
            new TFormEnhance(&window);
            QFAIL("a second component was accepted");
        } catch (const EZarvoError &e) {
            QCOMPARE(e.Message,
                     QStringLiteral("The form already contains a TFormEnhance component!"));
        }
        QCOMPARE(window.findChildren<TFormEnhance *>(), QList<TFormEnhance *>{first});
        // Another window may have its own.
        QDialog other;
        QVERIFY(new TFormEnhance(&other));
    }

    void storeGroupsFollowTheKeyPaths_data()
    {
        QTest::addColumn<QString>("saveName");
        QTest::addColumn<QString>("group");
        QTest::newRow("root") << "\\Software\\Zarvos"
                              << "";
        QTest::newRow("forms") << "\\Software\\Zarvos\\Forms"
                               << "Forms";
        QTest::newRow("slashes, case") << "Software/zarvos/Forms/"
                                       << "Forms";
        QTest::newRow("foreign path") << "\\Other\\Path"
                                      << "Other/Path";
    }

    void storeGroupsFollowTheKeyPaths()
    {
        QFETCH(QString, saveName);
        QFETCH(QString, group);
        QCOMPARE(TFormEnhance::StoreGroup(saveName), group);
    }

    void firstRunKeepsTheBuiltPlacementAndCreatesTheKeys()
    {
        QWidget window;
        window.setGeometry(50, 60, 400, 300);
        auto *e = MainEnhance(&window);
        QStringList calls;
        e->OnLoad = [&](QSettings &s, const QString &key) {
            calls << "load " + key;
            QVERIFY(s.group().isEmpty()); // the main window's values stand at the root
        };
        e->OnSave = [&](QSettings &s, const QString &key) {
            calls << "save " + key;
            s.setValue("Grid", "1");
        };
        e->Load();
        QCOMPARE(window.geometry(), QRect(50, 60, 400, 300));
        QVERIFY(!window.isMaximized());
        e->Save();
        QCOMPARE(calls, (QStringList{"load FormMain", "save FormMain"}));
        QCOMPARE(Stored("Grid"), QStringLiteral("1"));
        QCOMPARE(Stored("FormMain/Left"), QStringLiteral("50"));
        QCOMPARE(Stored("FormMain/Top"), QStringLiteral("60"));
        QCOMPARE(Stored("FormMain/PPI"), QStringLiteral("96"));
        QCOMPARE(Stored("FormMain/Width"), QStringLiteral("400"));
        QCOMPARE(Stored("FormMain/Height"), QStringLiteral("300"));
        QCOMPARE(Stored("FormMain/Maximized"), QStringLiteral("0"));
    }

    void storedPlacementComesBack()
    {
        Store("FormMain", {{"Left", "30"},
                           {"Top", "40"},
                           {"PPI", "96"},
                           {"Width", "320"},
                           {"Height", "200"},
                           {"Maximized", "0"}});
        QWidget window;
        window.setGeometry(0, 0, 100, 100);
        MainEnhance(&window)->Load();
        QCOMPARE(window.geometry(), QRect(30, 40, 320, 200));
    }

    void sizesScaleWithTheResolution()
    {
        Store("FormMain",
              {{"Left", "0"}, {"Top", "0"}, {"PPI", "96"}, {"Width", "800"}, {"Height", "480"}});
        QWidget window;
        auto *e = MainEnhance(&window);
        e->PixelsPerInch = 120;
        e->Load();
        QCOMPARE(window.width(), 1000);
        QCOMPARE(window.height(), 600);
        // Product first: 333 * 120 / 96 = 416 (333 / 96 * 120 would give 360).
        Store("FormMain", {{"Width", "333"}, {"Height", "333"}});
        QWidget second;
        auto *e2 = MainEnhance(&second);
        e2->PixelsPerInch = 120;
        e2->Load();
        QCOMPARE(second.width(), 416);
    }

    void damagedResolutionOrSizeKeepsTheBuiltSize_data()
    {
        QTest::addColumn<QString>("ppi");
        QTest::addColumn<QString>("width");
        QTest::addColumn<int>("expected");
        QTest::newRow("ppi 0") << "0"
                               << "500" << 500;
        QTest::newRow("ppi negative") << "-96"
                                      << "500" << 500;
        QTest::newRow("ppi junk") << "x"
                                  << "500" << 500;
        QTest::newRow("width 0") << "96"
                                 << "0" << 222;
        QTest::newRow("width negative") << "96"
                                        << "-40" << 222;
        QTest::newRow("width junk") << "96"
                                    << "wide" << 222;
        QTest::newRow("width huge") << "1"
                                    << "2000000000" << QWIDGETSIZE_MAX;
    }

    void damagedResolutionOrSizeKeepsTheBuiltSize()
    {
        QFETCH(QString, ppi);
        QFETCH(QString, width);
        QFETCH(int, expected);
        Store("FormMain", {{"Left", "0"}, {"Top", "0"}, {"PPI", ppi}, {"Width", width}});
        QWidget window;
        window.resize(222, 111);
        MainEnhance(&window)->Load();
        QCOMPARE(window.width(), expected);
        QCOMPARE(window.height(), 111);
    }

    void placementIsKeptInsideTheWorkArea()
    {
        const QRect area = WorkArea();
        const int right = area.x() + area.width();
        const int bottom = area.y() + area.height();
        Store("FormMain", {{"Left", QString::number(right - 100)},
                           {"Top", QString::number(bottom - 50)},
                           {"Width", "300"},
                           {"Height", "200"}});
        QWidget window;
        MainEnhance(&window)->Load();
        QCOMPARE(window.geometry(), QRect(right - 300, bottom - 200, 300, 200));

        Store("FormMain", {{"Left", "-50"}, {"Top", "-20"}});
        QWidget second;
        MainEnhance(&second)->Load();
        QCOMPARE(second.pos(), area.topLeft());
        QCOMPARE(second.size(), QSize(300, 200));

        // Bigger than the work area: the left/top edge wins, the size stays.
        Store("FormMain", {{"Left", "10"},
                           {"Top", "10"},
                           {"Width", QString::number(area.width() + 100)},
                           {"Height", QString::number(area.height() + 100)}});
        QWidget third;
        MainEnhance(&third)->Load();
        QCOMPARE(third.pos(), area.topLeft());
        QCOMPARE(third.size(), QSize(area.width() + 100, area.height() + 100));
    }

    void sizeBelowTheMinimumGrowsToIt()
    {
        Store("FormMain", {{"Left", "0"}, {"Top", "0"}, {"Width", "300"}, {"Height", "200"}});
        QWidget window;
        window.setMinimumSize(520, 400);
        MainEnhance(&window)->Load();
        QCOMPARE(window.size(), QSize(520, 400));
    }

    void maximizedWindowComesBackMaximized()
    {
        Store("FormMain", {{"Left", "20"},
                           {"Top", "30"},
                           {"Width", "500"},
                           {"Height", "350"},
                           {"Maximized", "1"}});
        QMainWindow window;
        auto *e = MainEnhance(&window);
        e->Load();
        QVERIFY(window.windowState() & Qt::WindowMaximized);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QVERIFY(window.isMaximized());
        e->Save();
        // The normal rectangle is stored, not the maximized one.
        QCOMPARE(Stored("FormMain/Width"), QStringLiteral("500"));
        QCOMPARE(Stored("FormMain/Height"), QStringLiteral("350"));
        QCOMPARE(Stored("FormMain/Maximized"), QStringLiteral("1"));
    }

    void shownWindowRoundTripsItsOuterPlacement()
    {
        QMainWindow window;
        auto *e = MainEnhance(&window);
        e->Load();
        window.setGeometry(120, 90, 410, 310);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        const QPoint outer = window.pos(); // includes the frame
        e->Save();
        QCOMPARE(Stored("FormMain/Left").toInt(), outer.x());
        QCOMPARE(Stored("FormMain/Top").toInt(), outer.y());
        QCOMPARE(Stored("FormMain/Width"), QStringLiteral("410"));

        QMainWindow again;
        MainEnhance(&again)->Load();
        again.show();
        QVERIFY(QTest::qWaitForWindowExposed(&again));
        QCOMPARE(again.size(), QSize(410, 310));
        QCOMPARE(again.pos(), outer);
    }

    void centredDialogIgnoresStoredPosition()
    {
        Store("Forms/FormX", {{"Left", "5"}, {"Top", "5"}});
        QWidget mainForm;
        mainForm.setGeometry(100, 50, 600, 400);
        TFormEnhance::SetMainForm(&mainForm);
        QDialog dialog;
        dialog.resize(200, 100);
        auto *e = new TFormEnhance(&dialog);
        e->SaveName = "\\Software\\Zarvos\\Forms";
        e->SaveKey = "FormX";
        e->SavePlacement = false;
        e->CenterOnMainForm = true;
        const QByteArray before = [&] {
            QFile f(Ini);
            return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
        }();
        e->Load();
        QCOMPARE(dialog.pos(), QPoint(100 + (600 - 200) / 2, 50 + (400 - 100) / 2));
        QCOMPARE(dialog.size(), QSize(200, 100));
        e->Save();
        QFile f(Ini);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), before); // a centred dialog neither reads nor writes
    }

    void centresOverTheParentWithoutAMainForm()
    {
        QWidget owner;
        owner.setGeometry(10, 20, 301, 201);
        QDialog dialog(&owner);
        dialog.resize(100, 50);
        auto *e = new TFormEnhance(&dialog);
        e->SaveName = "x";
        e->SaveKey = "FormTopList";
        e->SavePlacement = false;
        e->CenterOnMainForm = true;
        e->Load();
        // Halves truncated: (301 - 100) / 2 = 100.
        QCOMPARE(dialog.pos(), QPoint(10 + 100, 20 + 75));
    }

    void onlyPositionWhenAsked()
    {
        Store("Forms/FormExpert", {{"Left", "15"},
                                   {"Top", "25"},
                                   {"Width", "900"},
                                   {"Height", "900"},
                                   {"Maximized", "1"}});
        QWidget window;
        window.resize(200, 150);
        auto *e = new TFormEnhance(&window);
        e->SaveName = "\\Software\\Zarvos\\Forms";
        e->SaveKey = "FormExpert";
        e->SaveOnlyPos = true;
        e->Load();
        QCOMPARE(window.geometry(), QRect(15, 25, 200, 150));
        QVERIFY(!(window.windowState() & Qt::WindowMaximized));
        window.move(33, 44);
        e->Save();
        QCOMPARE(Stored("Forms/FormExpert/Left"), QStringLiteral("33"));
        QCOMPARE(Stored("Forms/FormExpert/Top"), QStringLiteral("44"));
        QCOMPARE(Stored("Forms/FormExpert/PPI"), QStringLiteral("96"));
        // Size and state are left as they were.
        QCOMPARE(Stored("Forms/FormExpert/Width"), QStringLiteral("900"));
        QCOMPARE(Stored("Forms/FormExpert/Maximized"), QStringLiteral("1"));
    }

    void loadAndSaveRunOnce()
    {
        QWidget window;
        window.resize(100, 100);
        auto *e = MainEnhance(&window);
        int loads = 0, saves = 0;
        e->OnLoad = [&](QSettings &, const QString &) { ++loads; };
        e->OnSave = [&](QSettings &, const QString &) { ++saves; };
        e->Load();
        e->Load();
        e->Save();
        e->Save();
        QCOMPARE(loads, 1);
        QCOMPARE(saves, 1);
    }

    void nothingHappensWithoutNameOrKey()
    {
        QWidget window;
        window.setGeometry(-40, -40, 100, 100);
        auto *e = new TFormEnhance(&window);
        e->SaveKey = "FormMain";
        int calls = 0;
        e->OnLoad = [&](QSettings &, const QString &) { ++calls; };
        e->OnSave = [&](QSettings &, const QString &) { ++calls; };
        e->Load();
        e->Save();
        QCOMPARE(calls, 0);
        QCOMPARE(window.pos(), QPoint(-40, -40));
        QVERIFY(!QFile::exists(Ini));
    }

    void systemMenuDropsTheButtonsQtControls()
    {
        QMainWindow window;
        const Qt::WindowFlags own = window.windowFlags();
        auto *e = new TFormEnhance(&window);
        e->SetSystemMenu(TFormEnhance::AllSystemMenu);
        QCOMPARE(window.windowFlags(), own); // every item kept: untouched

        e->SetSystemMenu(TFormEnhance::scMOVE | TFormEnhance::scSEPARATOR | TFormEnhance::scCLOSE);
        Qt::WindowFlags f = window.windowFlags();
        QVERIFY(f & Qt::CustomizeWindowHint);
        QVERIFY(f & Qt::WindowTitleHint);
        QVERIFY(f & Qt::WindowCloseButtonHint);
        QVERIFY(!(f & Qt::WindowMinimizeButtonHint));
        QVERIFY(!(f & Qt::WindowMaximizeButtonHint));

        e->SetSystemMenu(TFormEnhance::scMOVE | TFormEnhance::scSIZE | TFormEnhance::scMINIMIZE);
        f = window.windowFlags();
        QVERIFY(f & Qt::WindowMinimizeButtonHint);
        QVERIFY(!(f & Qt::WindowMaximizeButtonHint));
        QVERIFY(!(f & Qt::WindowCloseButtonHint));

        // Back to all: the window's own flags again.
        e->SetSystemMenu(TFormEnhance::AllSystemMenu);
        QCOMPARE(window.windowFlags(), own);
    }

    void trimmingAShownWindowKeepsItShown()
    {
        QDialog dialog;
        auto *e = new TFormEnhance(&dialog);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        e->SetSystemMenu(TFormEnhance::scMOVE | TFormEnhance::scCLOSE);
        QVERIFY(dialog.isVisible());
    }

    void dragLimitsSetTheWindowsLimits()
    {
        QWidget window;
        window.setMinimumSize(30, 40);
        auto *e = new TFormEnhance(&window);
        e->SetMinSizeX(500);
        QCOMPARE(window.minimumSize(), QSize(500, 40)); // 0 leaves the window's own
        e->SetMinSizeY(400);
        e->SetMaxSizeX(900);
        e->SetMaxSizeY(700);
        QCOMPARE(window.minimumSize(), QSize(500, 400));
        QCOMPARE(window.maximumSize(), QSize(900, 700));
        QCOMPARE(e->MinSizeX(), 500);
        QCOMPARE(e->MaxSizeY(), 700);
        window.resize(100, 100);
        QCOMPARE(window.size(), QSize(500, 400));
    }
};

QTEST_MAIN(TestFormEnhance)
#include "tst_formenhance.moc"
