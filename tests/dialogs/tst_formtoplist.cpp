#include "CenteredMessageDlg.h"
#include "DataRoot.h"
#include "FormTopList.h"
#include "HeadedList.h"
#include "IniFile.h"
#include "Settings.h"
#include "ZarvoPad.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <functional>

// The best-ten list dialog: looking, entering a name, ordering.
class TestFormTopList : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> Root;
    std::unique_ptr<TZarvoPad> Board;
    QStringList Messages;

    static QString PuzzlePath() { return DataRoot::DataDir() + "p.zrv"; }

    static void WritePuzzle(const QStringList &solution)
    {
        QFile f(PuzzlePath());
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(
            EncodeWin1252("[Info]\r\nTitle=P\r\n[Solution]\r\n" + solution.join("\r\n") + "\r\n"));
    }

    static QString Value(const QString &key)
    {
        return TIniFile(PuzzlePath()).ReadString("Solution", key, "<none>");
    }

    // Shows the list; drive runs once the dialog is up. A dialog a failed
    // check leaves open is closed.
    bool Run(int moves, int seconds, const std::function<void(QDialog *)> &drive)
    {
        QTimer::singleShot(0, [drive] {
            QDialog *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget());
            if (!dialog) {
                QFAIL("the dialog is not up");
                return;
            }
            QTest::qWait(10);
            drive(dialog);
            if (dialog->isVisible())
                dialog->reject();
        });
        return ShowTopList(nullptr, Board.get(), moves, seconds);
    }

    // Answers the next question box with button after checking it.
    static void AnswerQuestion(QMessageBox::StandardButton button, QString *text)
    {
        QTimer::singleShot(0, [button, text] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            if (!box) {
                QFAIL("no question box");
                return;
            }
            *text = box->text();
            QCOMPARE(box->defaultButton(), box->button(QMessageBox::No));
            box->button(button)->click();
        });
    }

    static THeadedListBox *List(QDialog *d)
    {
        return d->findChild<THeadedListBox *>("ListHighScore");
    }
    static QLineEdit *Editor(QDialog *d) { return d->findChild<QLineEdit *>("EditHighScore"); }
    static QStringList Rows(QDialog *d)
    {
        QStringList rows;
        for (int i = 0; i < List(d)->count(); ++i)
            rows << List(d)->item(i)->text();
        return rows;
    }

private Q_SLOTS:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        SetMessageDlgHook(
            [this](const QString &text, QMessageBox::Icon, QMessageBox::StandardButtons) {
                Messages << text;
                return QMessageBox::Ok;
            });
    }

    void init()
    {
        Root = std::make_unique<QTemporaryDir>();
        QVERIFY(Root->isValid());
        DataRoot::UseRoot(Root->path());
        QVERIFY(QDir().mkpath(DataRoot::DataDir()));
        SetSettingsStoreFile(Root->filePath("settings.ini"));
        Settings() = TZarvoSettings();
        Messages.clear();
        Board = std::make_unique<TZarvoPad>();
        Board->FileName = "p.zrv";
        Board->MoveIndex = 33;
    }

    void lookingOnlyAndReordering()
    {
        WritePuzzle({"Best1=67,Anna,100", "Best2=67,Bert,90", "Best3=70,Cleo,50"});
        const bool ok = Run(0, 0, [](QDialog *d) {
            QCOMPARE(d->windowTitle(), QString("Bestenliste"));
            QVERIFY(!Editor(d)->isVisible());
            QCOMPARE(Rows(d), QStringList({"1;Bert;67 Züge;     1:30", "1;Anna;67 Züge;     1:40",
                                           "2;Cleo;70 Züge;     0:50"}));
            QCOMPARE(List(d)->currentRow(), 0);
            auto *header = d->findChild<TListHeaderControl *>("HeaderHighScore");
            QCOMPARE(header->SectionText(3), QString("Zeit"));
            const int y = header->height() / 2;
            QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                              QPoint(header->SectionLeft(3) + 20, y));
            QCOMPARE(Rows(d), QStringList({"1;Cleo;70 Züge;     0:50", "2;Bert;67 Züge;     1:30",
                                           "3;Anna;67 Züge;     1:40"}));
            // "Name" takes no clicks.
            QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                              QPoint(header->SectionLeft(1) + 20, y));
            QCOMPARE(List(d)->item(0)->text(), QString("1;Cleo;70 Züge;     0:50"));
            QTest::keyClick(List(d), Qt::Key_Escape);
            QVERIFY(!d->isVisible());
        });
        QVERIFY(ok);
        QCOMPARE(Value("Sort"), QString("0"));
        QCOMPARE(Value("Best1"), QString("67,Anna,100")); // looking changes no entry
        QVERIFY(!Board->Solved);
    }

    void playerNameOfferedAndStored()
    {
        WritePuzzle({"Sort=0", "Best1=30,Slow,500", "Best2=90,Fast,20", "Best4=50,Zed,600"});
        Settings().Player = "Hans";
        Board->BestMoves = "?";
        const bool ok = Run(60, 100, [](QDialog *d) {
            QLineEdit *edit = Editor(d);
            QVERIFY(edit->isVisible());
            QVERIFY(edit->hasFocus());
            QCOMPARE(edit->text(), QString("Hans"));
            QCOMPARE(edit->selectedText(), QString("Hans"));
            QVERIFY(!d->findChild<QPushButton *>("BtnOk")->isDefault());
            // Laid over the name cell of the pending row (second by time).
            THeadedListBox *list = List(d);
            QCOMPARE(list->currentRow(), 1);
            const QRect row = list->visualItemRect(list->item(1));
            QCOMPARE(edit->geometry().top(), list->viewport()->mapTo(d, row.topLeft()).y());
            QCOMPARE(edit->height(), row.height());
            // Rows at least 16 high, and high enough for the descenders of "Züge".
            QCOMPARE(row.height(), qMax(16, list->TextRowHeight()));
            QTest::keyClick(edit, Qt::Key_Return);
            QVERIFY(!edit->isVisible());
            QVERIFY(d->isVisible());
            QCOMPARE(list->currentRow(), 1);
            QCOMPARE(list->item(1)->text(), QString("2;Hans;60 Züge;     1:40"));
            QVERIFY(d->findChild<QPushButton *>("BtnOk")->isDefault());
            QTest::mouseClick(d->findChild<QPushButton *>("BtnOk"), Qt::LeftButton);
        });
        QVERIFY(ok);
        QCOMPARE(Value("Best1"), QString("90,Fast,20"));
        QCOMPARE(Value("Best2"), QString("60,Hans,100"));
        QCOMPARE(Value("Best3"), QString("30,Slow,500"));
        QCOMPARE(Value("Best4"), QString("50,Zed,600"));
        QCOMPARE(Value("Best5"), QString("<none>"));
        QVERIFY(Board->Solved);
        QCOMPARE(Board->SolvedMoves, 33);
        QCOMPARE(Board->BestMoves, QString("90"));
    }

    void typingRefusesSeparatorsAndCloseTakesTheName()
    {
        WritePuzzle({});
        Settings().NoOldPlayer = true;
        Settings().Player = "Hans";
        Run(12, 3, [](QDialog *d) {
            QLineEdit *edit = Editor(d);
            QCOMPARE(edit->text(), QString("Name?"));
            QTest::keyClicks(edit, "Ot;t,o");
            QCOMPARE(edit->text(), QString("Otto"));
            // "Schließen" with a valid name: the name is taken, then the dialog closes.
            QTest::mouseClick(d->findChild<QPushButton *>("BtnOk"), Qt::LeftButton);
            QVERIFY(!d->isVisible());
        });
        QCOMPARE(Value("Best1"), QString("12,Otto,3"));
        QCOMPARE(Value("Sort"), QString("1"));
        QVERIFY(Board->Solved);
    }

    void placeholderKeepsEditingEscapeDropsTheResult()
    {
        WritePuzzle({"Best1=5,Anna,5"});
        Settings().NoOldPlayer = true;
        Run(12, 3, [this](QDialog *d) {
            QLineEdit *edit = Editor(d);
            QTest::keyClick(edit, Qt::Key_Return);
            QTRY_VERIFY(edit->hasFocus());
            QVERIFY(edit->isVisible());
            QCOMPARE(edit->text(), QString("Name?"));
            QCOMPARE(edit->selectedText(), QString("Name?"));
            QVERIFY(d->isVisible());
            // The key is not lost in silence: the player learns a name is needed.
            QCOMPARE(Messages.size(), 1);
            QVERIFY(Messages.first().contains("Namen"));
            QTest::keyClicks(edit, "Neu");
            QTest::keyClick(edit, Qt::Key_Escape);
            QTRY_VERIFY(!d->isVisible());
        });
        QCOMPARE(Value("Best1"), QString("5,Anna,5"));
        QCOMPARE(Value("Best2"), QString("<none>"));
        QVERIFY(!Board->Solved);
    }

    void closingTheWindowDropsTheResult()
    {
        WritePuzzle({"Best1=5,Anna,5"});
        Settings().Player = "Hans";
        Run(12, 3, [](QDialog *d) {
            QCOMPARE(Editor(d)->text(), QString("Hans"));
            d->close();
            QVERIFY(!d->isVisible());
        });
        QCOMPARE(Value("Best1"), QString("5,Anna,5"));
        QCOMPARE(Value("Best2"), QString("<none>"));
        QCOMPARE(Value("Sort"), QString("1"));
        QVERIFY(!Board->Solved);
    }

    void existingNameIsReplacedOnlyAfterYes()
    {
        WritePuzzle({"Best1=40,Anna,5", "Best2=50,Bert,5"});
        Settings().NoOldPlayer = true;
        Run(70, 9, [this](QDialog *d) {
            QLineEdit *edit = Editor(d);
            edit->setText("Anna");
            QString question;
            AnswerQuestion(QMessageBox::No, &question);
            QTest::keyClick(edit, Qt::Key_Return);
            QCOMPARE(question, QString("Name schon vorhanden!\nSoll er überschrieben werden?"));
            // The window manager gives the list back its activation.
            d->activateWindow();
            QTRY_VERIFY(d->isActiveWindow());
            QTRY_VERIFY(edit->hasFocus());
            QCOMPARE(edit->text(), QString("Anna"));
            QCOMPARE(edit->selectedText(), QString("Anna"));
            QCOMPARE(List(d)->count(), 3);

            AnswerQuestion(QMessageBox::Yes, &question);
            QTest::keyClick(edit, Qt::Key_Return);
            QTRY_VERIFY(!edit->isVisible());
            QCOMPARE(Rows(d),
                     QStringList({"1;Bert;50 Züge;     0:05", "2;Anna;70 Züge;     0:09"}));
        });
        QCOMPARE(Value("Best1"), QString("50,Bert,5"));
        QCOMPARE(Value("Best2"), QString("70,Anna,9"));
        QCOMPARE(Value("Best3"), QString("<none>"));
        QCOMPARE(Board->BestMoves, QString("50"));
    }
};

QTEST_MAIN(TestFormTopList)
#include "tst_formtoplist.moc"
