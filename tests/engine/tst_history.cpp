#include "DataRoot.h"
#include "Limits.h"
#include "PuzzleRoot.h"
#include "ZarvoError.h"
#include "ZarvoPad.h"

#include <QRandomGenerator>
#include <QTest>

namespace {
const QString Prefix = QStringLiteral("Fehler beim Laden der Zarvo-Datei\r");

// Three single pieces in the top row of a 4 x 5 field that fills the whole
// 160 x 200 board, so cells count from pixel 0.
const QByteArray ThreePieces = "[Pad]\r\n"
                               "BackSize=4,5\r\n"
                               "[Start]\r\n"
                               "Count=3\r\n"
                               "Zarvo1=Zarvo11,A,0,0,0,0,1\r\n"
                               "Zarvo2=Zarvo11,B,1,0,1,0,1\r\n"
                               "Zarvo3=Zarvo11,C,2,0,2,0,1\r\n";

// One finished drag of piece i to a cell, committed as the end of a drag
// commits it.
void Drag(TZarvoPad &pad, int i, int col, int row)
{
    TZarvo &p = *pad.Pieces[size_t(i)];
    pad.DragIndex = i;
    p.X = p.OldX = pad.ColToX(col);
    p.Y = p.OldY = pad.RowToY(row);
    pad.PiecesChanged();
    pad.RecordPosition(pad.MoveIndex + 1);
    pad.DragIndex = -1;
}

// Undo as the window does it: counter, position, and the last-moved mark
// cleared so the next drag cannot replace the entry undone to.
void UndoTo(TZarvoPad &pad, int index)
{
    pad.MoveIndex = index;
    pad.RestorePosition(index);
    pad.LastMoved = -1;
}

// The history rules as written for texts: what RecordPosition must do,
// however it keeps its entries.
struct TTextHistory
{
    QStringList Texts;
    int MoveIndex = 0;
    int LastMoved = -1;

    void Record(int newIndex, const QString &text, int dragIndex)
    {
        const int first = int(Texts.indexOf(text));
        if (first >= 0 && newIndex >= first) {
            MoveIndex = first;
            LastMoved = -1;
            return;
        }
        if (dragIndex == LastMoved)
            --newIndex;
        newIndex = qBound(0, newIndex, int(Texts.size()));
        Texts = Texts.mid(0, newIndex);
        Texts << text;
        MoveIndex = int(Texts.size()) - 1;
        LastMoved = dragIndex;
    }
};

QString Positions(const TZarvoPad &pad)
{
    QStringList out;
    for (const auto &p : pad.Pieces)
        out << QStringLiteral("%1,%2/%3,%4").arg(p->X).arg(p->Y).arg(p->OldX).arg(p->OldY);
    return out.join(' ');
}
} // namespace

class TestHistory : public QObject
{
    Q_OBJECT

    std::unique_ptr<TPuzzleRoot> FRoot;

    std::unique_ptr<TZarvoPad> Fresh()
    {
        auto pad = std::make_unique<TZarvoPad>();
        pad->LoadPuzzle("three.zrv", false);
        return pad;
    }

private Q_SLOTS:
    void init()
    {
        FRoot = std::make_unique<TPuzzleRoot>();
        FRoot->Write("Data/three.zrv", ThreePieces);
    }
    void cleanup() { FRoot.reset(); }

    void snapshotCountsCommittedCells()
    {
        auto pad = Fresh();
        QCOMPARE(pad->SnapshotText(), QString("0;0;1;0;2;0;"));
        TZarvo &a = *pad->Pieces[0];
        a.X = 300; // not committed: the snapshot does not see it
        QCOMPARE(pad->SnapshotText(), QString("0;0;1;0;2;0;"));
        // Nearest cell, also left of and above the field.
        a.OldX = 19;
        a.OldY = 20;
        QCOMPARE(pad->SnapshotText().left(4), QString("0;1;"));
        a.OldX = -21;
        a.OldY = -20;
        QCOMPARE(pad->SnapshotText().left(5), QString("-1;0;"));
        a.OldX = -61;
        a.OldY = -41;
        QCOMPARE(pad->SnapshotText().left(6), QString("-2;-1;"));
        // The active list: the goal list while the goal is shown (empty here).
        pad->ShowObject = true;
        QCOMPARE(pad->SnapshotText(), QString());
    }

    void freshGameAndFirstMove()
    {
        auto pad = Fresh();
        QCOMPARE(pad->History, QStringList({"0;0;1;0;2;0;"}));
        QCOMPARE(pad->MoveIndex, 0);
        QCOMPARE(pad->LastMoved, -1);
        Drag(*pad, 0, 0, 1); // piece 0 as well: never merged with the start
        QCOMPARE(pad->MoveIndex, 1);
        QCOMPARE(pad->History, QStringList({"0;0;1;0;2;0;", "0;1;1;0;2;0;"}));
        QCOMPARE(pad->LastMoved, 0);
    }

    void onePieceSeveralTimesIsOneMove()
    {
        auto pad = Fresh();
        Drag(*pad, 1, 1, 1);
        Drag(*pad, 1, 1, 2);
        Drag(*pad, 1, 1, 3);
        QCOMPARE(pad->MoveIndex, 1);
        QCOMPARE(pad->History, QStringList({"0;0;1;0;2;0;", "0;0;1;3;2;0;"}));
    }

    void alternatingPiecesCountEachMove()
    {
        auto pad = Fresh();
        Drag(*pad, 0, 0, 1);
        Drag(*pad, 1, 1, 1);
        Drag(*pad, 0, 0, 2);
        QCOMPARE(pad->MoveIndex, 3);
        QCOMPARE(pad->History.size(), 4);
    }

    void comingBackTakesTheCounterBack()
    {
        auto pad = Fresh();
        Drag(*pad, 1, 1, 1);
        Drag(*pad, 0, 0, 1);
        Drag(*pad, 0, 0, 0); // back to where it stood after the first move
        QCOMPARE(pad->MoveIndex, 1);
        QCOMPARE(pad->LastMoved, -1);
        QCOMPARE(pad->History.size(), 3); // the later entry stays for redo
        Drag(*pad, 1, 1, 0);              // and back to the start
        QCOMPARE(pad->MoveIndex, 0);
        QCOMPARE(pad->History.size(), 3);
    }

    void aDragThatEndsInTheSameCellsRecordsNothing()
    {
        auto pad = Fresh();
        Drag(*pad, 2, 3, 0);
        const QStringList before = pad->History;
        TZarvo &b = *pad->Pieces[1];
        pad->DragIndex = 1;
        b.X = b.OldX = b.X + 19; // less than half a cell
        pad->PiecesChanged();
        pad->RecordPosition(pad->MoveIndex + 1);
        QCOMPARE(pad->History, before);
        QCOMPARE(pad->MoveIndex, 1);
        QCOMPARE(pad->LastMoved, -1);
    }

    void aNewMoveAfterUndoCutsTheRedoTail()
    {
        auto pad = Fresh();
        Drag(*pad, 0, 0, 1);
        Drag(*pad, 1, 1, 1);
        Drag(*pad, 2, 2, 1);
        Drag(*pad, 0, 0, 2);
        QCOMPARE(pad->History.size(), 5);
        UndoTo(*pad, 2);
        QCOMPARE(Positions(*pad), QString("0,40/0,40 40,40/40,40 80,0/80,0"));
        Drag(*pad, 2, 3, 0);
        QCOMPARE(pad->MoveIndex, 3);
        QCOMPARE(pad->History.size(), 4);
        QCOMPARE(pad->History[3], QString("0;1;1;1;3;0;"));
    }

    // Dragging into the position of the next redo entry steps forward onto
    // it and keeps the rest of the tail; only a position not in the tail cuts.
    void aDragIntoTheNextEntryStepsForward()
    {
        auto pad = Fresh();
        Drag(*pad, 0, 0, 1);
        Drag(*pad, 1, 1, 1);
        Drag(*pad, 2, 2, 1);
        const QStringList played = pad->History;
        UndoTo(*pad, 0);
        Drag(*pad, 0, 0, 1);
        QCOMPARE(pad->MoveIndex, 1);
        QCOMPARE(pad->LastMoved, -1);
        Drag(*pad, 1, 1, 1);
        QCOMPARE(pad->MoveIndex, 2);
        QCOMPARE(pad->History, played);
        Drag(*pad, 2, 2, 2);
        QCOMPARE(pad->MoveIndex, 3);
        QCOMPARE(pad->History.Texts().mid(0, 3), played.mid(0, 3));
        QCOMPARE(pad->History.last(), QString("0;1;1;1;2;2;"));
    }

    void positionsOfACutTailAreForgotten()
    {
        auto pad = Fresh();
        Drag(*pad, 0, 1, 1); // entry 1: A moved
        Drag(*pad, 1, 1, 2); // entry 2
        UndoTo(*pad, 0);
        Drag(*pad, 2, 3, 0); // entry 1 anew; A's old entry is gone
        Drag(*pad, 0, 1, 1); // entry 2
        Drag(*pad, 2, 2, 0); // now the same text as the cut entry 1
        QCOMPARE(pad->History[3], QString("1;1;1;0;2;0;"));
        QCOMPARE(pad->MoveIndex, 3);
        // A repeated position later on goes back to the first occurrence.
        Drag(*pad, 1, 1, 4);
        Drag(*pad, 1, 1, 0);
        QCOMPARE(pad->MoveIndex, 3);
    }

    void longGamesFollowTheTextRules()
    {
        // Random drags (pushing, compound pieces, back to old positions),
        // undo and redo on a crowded board: the entries, the counter and the
        // saved file are those of the rules applied to whole texts.
        QByteArray puzzle = "[Pad]\r\nBackSize=6,6\r\nFrameSize=6,6\r\nOffset=0,0\r\n"
                            "UnitSize=10\r\n[Start]\r\nCount=27\r\n";
        int n = 0;
        for (int row = 0; row < 6; ++row)
            for (int col = 0; col < 6; ++col)
                if ((row * 6 + col) % 4 != 3 && !(row == 4 && col == 4) &&
                    !(row == 5 && col == 4) && !(row == 5 && col == 5))
                    puzzle += QStringLiteral("Zarvo%1=Zarvo11,,%2,%3,0,0,1\r\n")
                                  .arg(++n)
                                  .arg(col)
                                  .arg(row)
                                  .toLatin1();
        puzzle += QStringLiteral("Zarvo%1=Ell,,4,4,0,0,1\r\n").arg(++n).toLatin1();
        puzzle.replace("Count=27", QByteArray("Count=") + QByteArray::number(n));
        FRoot->Write("Data/crowd.zrv", puzzle);
        TZarvoPad pad;
        pad.LoadPuzzle("crowd.zrv", false);
        TTextHistory model;
        model.Texts = pad.History;
        QRandomGenerator rng(11);
        for (int op = 0; op < 600; ++op) {
            const int kind = int(rng.bounded(10));
            if (kind < 7) {
                const int i = int(rng.bounded(pad.PieceCount()));
                const TZarvo *p = pad.Piece(i);
                const int x = p->X + p->Width / 2, y = p->Y + p->Height / 2;
                pad.MouseDown(mbLeft, ssLeft, x, y);
                pad.MouseMove(ssLeft, x + int(rng.bounded(61)) - 30, y + int(rng.bounded(61)) - 30);
                bool moved = false;
                for (int k = 0; k < pad.PieceCount(); ++k)
                    moved = moved || pad.Piece(k)->PushDepth > 0;
                const int dragged = pad.PieceKey(pad.DragIndex);
                pad.MouseUp(mbLeft, 0, x, y);
                if (moved)
                    model.Record(model.MoveIndex + 1, pad.SnapshotText(), dragged);
                if (rng.bounded(3) == 0) // snapping, as the window does
                    pad.RestorePosition(pad.MoveIndex);
            } else {
                const int to = kind < 9 ? pad.MoveIndex - 1 : pad.MoveIndex + 1;
                if (to < 0 || to >= pad.History.size())
                    continue;
                UndoTo(pad, to);
                model.MoveIndex = to;
                model.LastMoved = -1;
                QCOMPARE(pad.SnapshotText(), model.Texts[to]);
            }
            QCOMPARE(pad.History, model.Texts);
            QCOMPARE(pad.MoveIndex, model.MoveIndex);
            QCOMPARE(pad.LastMoved, model.LastMoved);
        }
        QVERIFY(model.Texts.size() > 20);
        pad.SaveGameState("long.zrh");
        QCOMPARE(FRoot->Read("Hist/long.zrh"), QByteArray("crowd.zrv\r\n") +
                                                   QByteArray::number(model.MoveIndex) + ";;0\r\n" +
                                                   model.Texts.join("\r\n").toLatin1() + "\r\n");
    }

    void entriesKeepTheirTexts()
    {
        // Texts the board would not write itself stay as they were, and
        // count as different positions; the board's own form is kept as
        // cells and reads back the same.
        THistory h;
        h = QStringList({"0;0;1;0;", "0;0;1;0", "00;0;1;0;", "-0;0;1;0;", "0;0;+1;0;", " 0;0;1;0;",
                         "0;0;1;", "", "3;-4;2147483647;-2147483648;"});
        QCOMPARE(h.Texts(),
                 QStringList({"0;0;1;0;", "0;0;1;0", "00;0;1;0;", "-0;0;1;0;", "0;0;+1;0;",
                              " 0;0;1;0;", "0;0;1;", "", "3;-4;2147483647;-2147483648;"}));
        const QList<bool> cells{true, false, false, false, false, false, false, true, true};
        for (int i = 0; i < h.size(); ++i)
            QCOMPARE(h.HoldsCells(i), cells[i]);
        h << "0;0;2;0;";
        h[1] = QStringLiteral("5;5;");
        QCOMPARE(h[1], QString("5;5;"));
        QCOMPARE(h.last(), QString("0;0;2;0;"));
        h.Truncate(2);
        QCOMPARE(h, QStringList({"0;0;1;0;", "5;5;"}));
    }

    void historyReplacedFromOutside()
    {
        auto pad = Fresh();
        Drag(*pad, 0, 0, 1);
        const QString start = pad->History[0];
        pad->History = QStringList({"3;3;3;3;3;3;", start, "0;1;1;0;2;0;"});
        pad->MoveIndex = 2;
        Drag(*pad, 0, 0, 0); // back to the start: now entry 1
        QCOMPARE(pad->MoveIndex, 1);
        pad->History.clear();
        pad->LastMoved = 5;
        pad->RecordPosition(0);
        QCOMPARE(pad->History, QStringList({start}));
        QCOMPARE(pad->MoveIndex, 0);
    }

    void restoringAnEntry()
    {
        auto pad = Fresh();
        pad->History << "1;2;"
                     << "1;2;x;4;5;6;"
                     << "";
        pad->RestorePosition(1);
        // Fewer fields than pieces: the rest take the last field.
        QCOMPARE(Positions(*pad), QString("40,80/40,80 80,80/80,80 80,80/80,80"));
        pad->RestorePosition(0);
        QCOMPARE(Positions(*pad), QString("0,0/0,0 40,0/40,0 80,0/80,0"));
        QCOMPARE(pad->MoveIndex, 0); // callers set the counter themselves
        const QString before = Positions(*pad);
        for (int bad : {2, 3, 4, -1}) {
            QVERIFY_THROWS_EXCEPTION(EZarvoError, pad->RestorePosition(bad));
            QCOMPARE(Positions(*pad), before);
        }
    }

    void savingAGameState()
    {
        auto pad = Fresh();
        Drag(*pad, 0, 0, 1);
        Drag(*pad, 1, 1, 1);
        UndoTo(*pad, 1);
        const QStringList history = pad->History;
        pad->SaveGameState("C:\\Irgendwo\\Spiel.zrh");
        const QByteArray expected = "three.zrv\r\n"
                                    "1;;0\r\n"
                                    "0;0;1;0;2;0;\r\n"
                                    "0;1;1;0;2;0;\r\n"
                                    "0;1;1;1;2;0;\r\n";
        QCOMPARE(FRoot->Read("Hist/Spiel.zrh"), expected);
        QCOMPARE(pad->History, history);
        pad->SaveGameState("Spiel.zrh");
        QCOMPARE(FRoot->Read("Hist/Spiel.zrh"), expected);

        pad->Solved = true;
        pad->SolvedMoves = 9;
        pad->SaveGameState("Spiel.zrh");
        QVERIFY(FRoot->Read("Hist/Spiel.zrh").startsWith("three.zrv\r\n1;1;9\r\n"));

        QVERIFY_THROWS_EXCEPTION(EInOutError, pad->SaveGameState("Hist\\"));
        // A name cut short on disk would be saved under another name.
        QVERIFY_THROWS_EXCEPTION(EInOutError,
                                 pad->SaveGameState(QString::fromLatin1("a.zrh\0b", 7)));
        QVERIFY(!QFile::exists(FRoot->Path("Hist/a.zrh")));
    }

    void gameStateRoundTrip()
    {
        auto pad = Fresh();
        Drag(*pad, 0, 0, 1);
        Drag(*pad, 1, 1, 1);
        Drag(*pad, 2, 2, 3);
        UndoTo(*pad, 2);
        pad->Solved = true;
        pad->SolvedMoves = 3;
        pad->SaveGameState("Letzter Spielstand.zrh");

        TZarvoPad back;
        back.LoadPuzzle("letzter spielstand.ZRH", true);
        QCOMPARE(back.FileName, QString("three.zrv"));
        QCOMPARE(back.History, pad->History);
        QCOMPARE(back.MoveIndex, 2);
        QVERIFY(back.Solved);
        QCOMPARE(back.SolvedMoves, 3);
        QCOMPARE(Positions(back), Positions(*pad));
        QCOMPARE(back.LastMoved, -1);
        // The next move continues from there and cuts the redo tail.
        Drag(back, 2, 3, 4);
        QCOMPARE(back.MoveIndex, 3);
        QCOMPARE(back.History.size(), 4);

        // LF line ends and a path in front of the puzzle name read alike;
        // an empty middle field means not solved.
        FRoot->Write("Hist/lf.zrh", "D:\\Zarvos\\Data\\three.zrv\n0;;0\n0;0;1;0;2;0;\n");
        TZarvoPad lf;
        lf.LoadPuzzle("lf.zrh", true);
        QCOMPARE(lf.FileName, QString("three.zrv"));
        QCOMPARE(lf.History, QStringList({"0;0;1;0;2;0;"}));
        QVERIFY(!lf.Solved);
    }

    void mutatedGameStatesLoadOrFailCleanly()
    {
        auto pad = Fresh();
        Drag(*pad, 0, 0, 1);
        Drag(*pad, 1, 1, 2);
        pad->SaveGameState("good.zrh");
        const QByteArray good = FRoot->Read("Hist/good.zrh");
        QRandomGenerator rng(7);
        const QByteArray pool = "-0123456789;;\r\nx";
        int failed = 0;
        for (int round = 0; round < 300; ++round) {
            QByteArray bytes = good;
            for (int e = 1 + int(rng.bounded(3)); e > 0; --e) {
                const int at = int(rng.bounded(int(bytes.size())));
                if (rng.bounded(2))
                    bytes[at] = pool[int(rng.bounded(int(pool.size())))];
                else
                    bytes.remove(at, 1 + int(rng.bounded(3)));
            }
            FRoot->Write("Hist/m.zrh", bytes);
            TZarvoPad board;
            try {
                board.LoadPuzzle("m.zrh", true);
                QVERIFY(board.MoveIndex >= 0 && board.MoveIndex < board.History.size());
                for (int i = 0; i < board.History.size(); ++i)
                    board.RestorePosition(i); // every entry was checked at load
            } catch (const EZarvoError &e) {
                QVERIFY2(e.Message.startsWith(Prefix), qPrintable(e.Message));
                ++failed;
            }
        }
        QVERIFY(failed > 0 && failed < 300);
    }

    void puzzleNamesOutsideTheCodePageComeBack()
    {
        // Windows-1252 names are written as before; a name that code page
        // cannot hold is written so that the game finds its puzzle again.
        for (const QString &name : {QStringLiteral("Grüße.zrv"), QStringLiteral("Σ Quadrat.zrv")}) {
            FRoot->Write("Data/" + name, ThreePieces);
            TZarvoPad pad;
            pad.LoadPuzzle(name, false);
            Drag(pad, 2, 2, 2);
            pad.SaveGameState("named.zrh");
            const QByteArray line = FRoot->Read("Hist/named.zrh").split('\r').first();
            QCOMPARE(line, name.startsWith("G") ? QByteArray("Gr\xFC\xDF"
                                                             "e.zrv")
                                                : name.toUtf8());
            TZarvoPad back;
            back.LoadPuzzle("named.zrh", true);
            QCOMPARE(back.FileName, name);
            QCOMPARE(back.History, pad.History);
            QCOMPARE(back.Pieces[2]->Y, pad.RowToY(2));
        }
    }

    void aPositionLongerThanTheReadersTakeIsNotSaved()
    {
        // An entry of exactly the longest line saves and loads; one more byte
        // is refused before the old file is touched.
        FRoot->Write("Data/three.zrv", ThreePieces);
        TZarvoPad pad;
        pad.LoadPuzzle("three.zrv", false);
        const QString first = pad.History[0];
        pad.History[0] = first + QString(MaxLineBytes - first.size(), QLatin1Char('0'));
        pad.SaveGameState("long.zrh");
        TZarvoPad back;
        back.LoadPuzzle("long.zrh", true);
        QCOMPARE(back.History, pad.History);

        const QByteArray saved = FRoot->Read("Hist/long.zrh");
        pad.History[0] += QLatin1Char('0');
        try {
            pad.SaveGameState("long.zrh");
            QFAIL("saved");
        } catch (const EZarvoError &e) {
            QVERIFY2(e.Message.contains("Stellung 0") && e.Message.contains("1.048.576 Bytes"),
                     qPrintable(e.Message));
        }
        QCOMPARE(FRoot->Read("Hist/long.zrh"), saved);
    }

    void gameStateFailures_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("cause");
        const QByteArray head = "three.zrv\r\n";
        QTest::newRow("missing file") << QByteArray() << "Spielstand nicht gefunden";
        QTest::newRow("one line") << QByteArray("three.zrv\r\n") << "unvollständig";
        QTest::newRow("counter not a number") << head + "x;;0\r\n0;0;1;0;2;0;\r\n"
                                              << "'x'";
        QTest::newRow("solved moves not a number") << head + "0;1;?\r\n0;0;1;0;2;0;\r\n"
                                                   << "'?'";
        QTest::newRow("counter beyond the last entry")
            << head + "2;;0\r\n0;0;1;0;2;0;\r\n0;1;1;0;2;0;\r\n"
            << "Zugzähler 2";
        QTest::newRow("negative counter") << head + "-1;;0\r\n0;0;1;0;2;0;\r\n"
                                          << "Zugzähler -1";
        QTest::newRow("no entries") << head + "0;;0\r\n"
                                    << "Zugzähler 0";
        QTest::newRow("bad entry that is not the current one")
            << head + "0;;0\r\n0;0;1;0;2;0;\r\n0;0;1;a;2;0;\r\n"
            << "Stellung 1";
        QTest::newRow("empty entry") << head + "0;;0\r\n\r\n"
                                     << "Stellung 0";
        QTest::newRow("cell far outside") << head + "0;;0\r\n0;0;1;0;99999999;0;\r\n"
                                          << "außerhalb";
        QTest::newRow("line beyond the limit")
            << head + "0;;0\r\n0;0;1;0;2;0;" + QByteArray(MaxLineBytes, '7') + "\r\n"
            << "Zeile 3";
        QTest::newRow("puzzle that fails")
            << QByteArray("broken.zrv\r\n0;;0\r\n0;0;\r\n") << "Unbekannter Teiltyp";
    }
    void gameStateFailures()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, cause);
        FRoot->Write("Data/broken.zrv", "[Start]\r\nCount=1\r\nZarvo1=Nope,,0,0,0,0,1\r\n");
        if (!content.isEmpty())
            FRoot->Write("Hist/state.zrh", content);
        auto pad = Fresh();
        Drag(*pad, 0, 0, 3);
        const QStringList history = pad->History;
        const QString positions = Positions(*pad);

        QString message;
        try {
            pad->LoadPuzzle("state.zrh", true);
        } catch (const EZarvoError &e) {
            message = e.Message;
        }
        QVERIFY2(message.startsWith(Prefix), qPrintable(message));
        QVERIFY2(message.contains(cause), qPrintable(message));
        QCOMPARE(pad->History, history);
        QCOMPARE(pad->MoveIndex, 1);
        QCOMPARE(Positions(*pad), positions);
        QCOMPARE(pad->FileName, QString("three.zrv"));
    }
};

QTEST_MAIN(TestHistory)
#include "tst_history.moc"
