#include "ButtonEdit.h"
#include "FontField.h"
#include "FormProperties.h"
#include "MultiEdit.h"
#include "PuzzleRoot.h"
#include "Settings.h"
#include "ZarvoPad.h"

#include <QApplication>
#include <QComboBox>
#include <QFontDialog>
#include <QLabel>
#include <QPushButton>
#include <QStandardPaths>
#include <QTabWidget>
#include <QTimer>

namespace {
void WritePicture(const TPuzzleRoot &root, const QString &rel, int w, int h, QRgb colour)
{
    QImage picture(w, h, QImage::Format_RGB32);
    picture.fill(colour);
    QDir().mkpath(QFileInfo(root.Path(rel)).absolutePath());
    if (!picture.save(root.Path(rel), "PNG"))
        qFatal("cannot write %s", qPrintable(rel));
}

const QByteArray PuzzleText = "[Pad]\r\n"
                              "ImgBack=holz.png\r\n"
                              "BackSize=5,5\r\n"
                              "ImgZarvos=.geheim.png\r\n"
                              "ZarvoSize=3,3\r\n"
                              "ImgZarvosOffset=-1,-1\r\n"
                              "UnitSize=40\r\n"
                              "Border=2\r\n"
                              "FrameSize=3,3\r\n"
                              "FontName=Courier New\r\n"
                              "FontSize=11\r\n"
                              "FontColor=255\r\n"
                              "FontStyle=3\r\n"
                              "; kept as it is\r\n"
                              "BorderLi=0\r\n"
                              "[Start]\r\n"
                              "Count=2\r\n"
                              "Zarvo1=Zarvo11,A,0,0,0,0,1\r\n"
                              "Zarvo2=Zarvo11,B,2,0,2,0,1\r\n"
                              "[Object]\r\n"
                              "Count=1\r\n"
                              "Zarvo1=Zarvo11,A,2,2,0,0,1\r\n"
                              "[Info]\r\n"
                              "Title=Probe\r\n"
                              "[Solution]\r\n"
                              "Best1=12,Anna,0,0\r\n";

// Drags the piece under (x, y) by (dx, dy) as the mouse would.
void Drag(TZarvoPad &board, int x, int y, int dx, int dy)
{
    board.MouseDown(mbLeft, ssLeft, x, y);
    board.MouseMove(ssLeft, x + dx, y + dy);
    board.MouseUp(mbLeft, 0, x + dx, y + dy);
}

QList<QPoint> Cells(const TZarvoPad &board)
{
    QList<QPoint> cells;
    for (int i = 0; i < board.PieceCount(); ++i)
        cells << QPoint(board.Col(board.Piece(i)), board.Row(board.Piece(i)));
    return cells;
}
} // namespace

// The properties dialog "Eigenschaften" on a board in play.
class TestFormProperties : public QObject
{
    Q_OBJECT

    std::unique_ptr<TPuzzleRoot> Root;
    std::unique_ptr<TZarvoPad> Board;
    std::unique_ptr<TZarvoPad> Reopened;
    int Reopens = 0;

    TFormProperties::TReopen Reopen()
    {
        return [this]() -> TZarvoPad * {
            ++Reopens;
            Reopened = std::make_unique<TZarvoPad>();
            Reopened->LoadPuzzle(QStringLiteral("Temp"), true);
            return Reopened.get();
        };
    }

private Q_SLOTS:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void init()
    {
        Root = std::make_unique<TPuzzleRoot>();
        SetSettingsStoreFile(Root->Path(QStringLiteral("Zarvos.ini")));
        WritePicture(*Root, QStringLiteral("Image/Holz.png"), 40, 30, qRgb(120, 80, 40));
        WritePicture(*Root, QStringLiteral("Image/.geheim.png"), 120, 120, qRgb(10, 10, 10));
        WritePicture(*Root, QStringLiteral("Image/Stein.png"), 500, 100, qRgb(90, 90, 90));
        Root->Write(QStringLiteral("Data/Probe.zrv"), PuzzleText);
        Board = std::make_unique<TZarvoPad>();
        Board->LoadPuzzle(QStringLiteral("Probe.zrv"), false);
        Reopened.reset();
        Reopens = 0;
    }

    void opensWithTheBoardsLook()
    {
        TFormProperties f(nullptr, Board.get(), Reopen());
        QCOMPARE(f.windowTitle(), QStringLiteral("Eigenschaften"));
        QCOMPARE(f.size(), QSize(475, 350));
        QCOMPARE(f.PageControl->tabText(0), QStringLiteral("Allgemein"));
        QCOMPARE(f.PageControl->tabText(1), QStringLiteral("Bilder"));
        QCOMPARE(f.EditUnit->IntVal(), 40);
        QCOMPARE(f.EditUnit->EffectiveStep(), 5);
        QCOMPARE(f.EditBorder->IntVal(), 2);
        QCOMPARE(f.EditBorder->IntValMax(), 20);
        QCOMPARE(f.EditFont->text(), QStringLiteral("Courier New"));
        QVERIFY(f.EditFont->isReadOnly());
        QStringList items;
        for (int i = 0; i < f.EditBack->count(); ++i)
            items << f.EditBack->itemText(i);
        QCOMPARE(items, (QStringList{"(Kein)", "Holz.png", "Stein.png"}));
        // Case does not count when the entry is looked up.
        QCOMPARE(f.EditBack->currentText(), QStringLiteral("Holz.png"));
        QCOMPARE(f.BackPreview.size(), QSize(40, 30));
        // A picture that is not listed selects "(Kein)" but keeps its name.
        QCOMPARE(f.EditZarvos->currentText(), QStringLiteral("(Kein)"));
        QCOMPARE(f.FZarvosName, QStringLiteral(".geheim.png"));
        QCOMPARE(f.ZarvosPreview.size(), QSize(120, 120));
        QVERIFY(!f.BtnTake->isEnabled());
    }

    void everyChangeEnablesApplying()
    {
        TFormProperties f(nullptr, Board.get(), Reopen());
        f.EditUnit->SetIntVal(45);
        QVERIFY(f.BtnTake->isEnabled());

        TFormProperties g(nullptr, Board.get(), Reopen());
        g.EditBorder->SetIntVal(3);
        QVERIFY(g.BtnTake->isEnabled());

        TFormProperties h(nullptr, Board.get(), Reopen());
        QTest::keyClick(h.EditFont, Qt::Key_Delete);
        QCOMPARE(h.EditFont->text(), QStringLiteral("(Standard)"));
        QVERIFY(h.EditFont->font().bold());
        QCOMPARE(h.EditFont->font().pointSize(), 9);
        QVERIFY(h.BtnTake->isEnabled());

        TFormProperties k(nullptr, Board.get(), Reopen());
        k.EditBack->setCurrentIndex(2);
        QVERIFY(k.BtnTake->isEnabled());
        QCOMPARE(k.FBackName, QStringLiteral("Stein.png"));
        // A wide picture is shown whole in the preview.
        QCOMPARE(k.BackPreview.size(), QSize(500, 100));
        QCOMPARE(k.ImgBack->pixmap().width(), 210);
        // "(Kein)" shows the built-in tile and chooses no picture.
        k.EditBack->setCurrentIndex(0);
        QCOMPARE(k.FBackName, QString());
        QCOMPARE(k.BackPreview.size(), QSize(32, 32));
    }

    void applyingKeepsTheGameGoing()
    {
        // Three moves, one of them undone: position, counter and redo must survive.
        Drag(*Board, 140, 60, 0, 40);
        Drag(*Board, 60, 60, 40, 0);
        Drag(*Board, 140, 100, 0, 40);
        QCOMPARE(Board->MoveIndex, 3);
        Board->MoveIndex = 2;
        Board->RestorePosition(2);
        const QStringList history = Board->History;
        const QList<QPoint> cells = Cells(*Board);
        QCOMPARE(cells, (QList<QPoint>{{1, 0}, {2, 1}}));

        TFormProperties f(nullptr, Board.get(), Reopen());
        f.EditUnit->SetIntVal(50);
        f.EditBorder->SetIntVal(4);
        f.EditBack->setCurrentIndex(2);
        f.EditBack->setCurrentIndex(0); // and back to none
        QVERIFY(f.BtnTakeClick());
        QCOMPARE(Reopens, 1);
        QCOMPARE(f.FBoard, Reopened.get());
        QVERIFY(!f.BtnTake->isEnabled());

        const TZarvoPad &b = *Reopened;
        QCOMPARE(b.UnitSize, 50);
        QCOMPARE(b.Border, 4);
        QCOMPARE(b.ImgBack, QString());
        QCOMPARE(b.MoveIndex, 2);
        QCOMPARE(b.History, history);
        QCOMPARE(Cells(b), cells);
        QCOMPARE(b.Width(), 250); // five units of the new size

        // Only the look keys changed; everything else is byte for byte.
        QByteArray expected = PuzzleText;
        expected.replace("ImgBack=holz.png", "ImgBack=");
        expected.replace("UnitSize=40", "UnitSize=50");
        expected.replace("Border=2", "Border=4");
        QCOMPARE(Root->Read(QStringLiteral("Data/Probe.zrv")), expected);
        QVERIFY(Root->Read(QStringLiteral("Hist/Temp")).startsWith("Probe.zrv\r\n2;;"));

        // The dialog now edits the new window's board.
        f.EditUnit->SetIntVal(20);
        QVERIFY(f.BtnTakeClick());
        QCOMPARE(Reopens, 2);
        QCOMPARE(Reopened->UnitSize, 20);
        QCOMPARE(Reopened->MoveIndex, 2);
        QCOMPARE(Cells(*Reopened), cells);
    }

    void standardFontRemovesTheFontKeys()
    {
        TFormProperties f(nullptr, Board.get(), Reopen());
        f.BtnStandard->click();
        QVERIFY(f.BtnTakeClick());
        const QByteArray file = Root->Read(QStringLiteral("Data/Probe.zrv"));
        for (const char *key : {"FontName", "FontSize", "FontColor", "FontStyle"})
            QVERIFY2(!file.contains(key), key);
        QVERIFY(Reopened->DefaultFont);
        QCOMPARE(f.EditFont->text(), QStringLiteral("(Standard)"));

        // A chosen font writes all four, in the colour the field had.
        QTimer::singleShot(0, qApp, [] {
            auto *d = qobject_cast<QFontDialog *>(QApplication::activeModalWidget());
            if (!d)
                return;
            QFont font(QStringLiteral("Serif"));
            font.setPointSize(16);
            font.setItalic(true);
            d->setCurrentFont(font);
            QMetaObject::invokeMethod(d, "accept");
        });
        f.EditFont->ButtonClick();
        QVERIFY(f.BtnTake->isEnabled());
        const QString family = f.EditFont->text();
        QVERIFY(!family.startsWith(QLatin1Char('(')));
        QVERIFY(f.BtnTakeClick());
        const QByteArray again = Root->Read(QStringLiteral("Data/Probe.zrv"));
        QVERIFY(again.contains("FontName=" + family.toLatin1() + "\r\n"));
        QVERIFY(again.contains("FontSize=16\r\n"));
        QVERIFY(again.contains("FontStyle=2\r\n"));
        QVERIFY(again.contains("FontColor="));
        QVERIFY(!Reopened->DefaultFont);
    }

    void okWithoutChangesWritesNothing()
    {
        const QByteArray before = Root->Read(QStringLiteral("Data/Probe.zrv"));
        const QDateTime stamp = QFileInfo(Root->Path("Data/Probe.zrv")).lastModified();
        TFormProperties f(nullptr, Board.get(), Reopen());
        f.BtnOkClick();
        QCOMPARE(f.result(), int(QDialog::Accepted));
        QCOMPARE(Reopens, 0);
        QCOMPARE(Root->Read(QStringLiteral("Data/Probe.zrv")), before);
        QCOMPARE(QFileInfo(Root->Path("Data/Probe.zrv")).lastModified(), stamp);
        QVERIFY(!QFileInfo::exists(Root->Path(QStringLiteral("Hist/Temp"))));

        // With a change OK applies it first; Cancel drops it.
        TFormProperties g(nullptr, Board.get(), Reopen());
        g.EditBorder->SetIntVal(5);
        g.BtnCancel->click();
        QCOMPARE(Root->Read(QStringLiteral("Data/Probe.zrv")), before);
        TFormProperties h(nullptr, Board.get(), Reopen());
        h.EditBorder->SetIntVal(5);
        h.BtnOkClick();
        QCOMPARE(Reopens, 1);
        QVERIFY(Root->Read(QStringLiteral("Data/Probe.zrv")).contains("Border=5\r\n"));
    }

    void anUnlistedPictureNameIsKept()
    {
        TFormProperties f(nullptr, Board.get(), Reopen());
        f.EditUnit->SetIntVal(60);
        QVERIFY(f.BtnTakeClick());
        QVERIFY(Root->Read(QStringLiteral("Data/Probe.zrv")).contains("ImgZarvos=.geheim.png\r\n"));
        QCOMPARE(Reopened->ImgZarvos, QStringLiteral(".geheim.png"));
    }

    void aWindowThatCannotReopenEndsTheDialog()
    {
        TFormProperties f(nullptr, Board.get(), [] { return nullptr; });
        f.EditUnit->SetIntVal(60);
        f.BtnTake->click();
        QCOMPARE(f.result(), int(QDialog::Rejected));
        QVERIFY(f.FBoard == nullptr);
    }
};

QTEST_MAIN(TestFormProperties)
#include "tst_formproperties.moc"
