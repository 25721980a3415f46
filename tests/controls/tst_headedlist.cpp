#include "DataRoot.h"
#include "HeadedList.h"

#include <QPainter>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QVBoxLayout>

// The list of puzzles and of best results: rows of fields under a header.
class TestHeadedList : public QObject
{
    Q_OBJECT

    QTemporaryDir Root;

    static const QRgb Face = 0xffd8c4aa; // the list's own colour
    static const QRgb Shadow = 0xff646464;
    static const QRgb Light = 0xfffafafa;

    // A header over a list, both at the left edge of a window (or the header
    // shifted right by headerShift pixels), sections 50, 40, 60 wide.
    struct TForm
    {
        QWidget Window;
        TListHeaderControl *Header;
        THeadedListBox *List;
        explicit TForm(int headerShift = 0)
        {
            Header = new TListHeaderControl(&Window);
            List = new THeadedListBox(&Window);
            Header->AddSection(QStringLiteral("Platz"), 50, false);
            Header->AddSection(QStringLiteral("Name"), 40, false);
            Header->AddSection(QStringLiteral("Züge"), 60, true, Qt::AlignRight);
            Header->SetListbox(List);
            QPalette p = List->palette();
            p.setColor(QPalette::Base, QColor::fromRgb(Face));
            p.setColor(QPalette::Dark, QColor::fromRgb(Shadow));
            p.setColor(QPalette::Light, QColor::fromRgb(Light));
            p.setColor(QPalette::Text, Qt::black);
            p.setColor(QPalette::Highlight, QColor(0, 0, 128));
            p.setColor(QPalette::HighlightedText, Qt::white);
            List->setPalette(p);
            List->setFrameShape(QFrame::NoFrame);
            QFont f(QStringLiteral("Liberation Sans"));
            f.setPixelSize(13);
            List->setFont(f);
            Window.resize(240, 200);
            Header->setGeometry(headerShift, 0, 240 - headerShift, Header->HeaderHeight());
            List->setGeometry(0, Header->HeaderHeight(), 240, 200 - Header->HeaderHeight());
            Window.show();
        }
        // Row 0 drawn on its own, as the list draws it.
        QImage Row(const QString &text, QStyle::State state = QStyle::State_None)
        {
            List->clear();
            List->addItem(text);
            QImage img(240, List->ItemHeight(), QImage::Format_RGB32);
            img.fill(Qt::magenta);
            QPainter p(&img);
            List->DrawRow(p, 0, img.rect(), state);
            return img;
        }
    };

    // True when any pixel of columns x0..x1 differs from the background.
    static bool Ink(const QImage &img, int x0, int x1)
    {
        for (int y = 0; y < img.height(); ++y)
            for (int x = x0; x <= x1; ++x)
                if (img.pixel(x, y) != Face)
                    return true;
        return false;
    }
    static bool Divider(const QImage &img, int right)
    {
        for (int y = 0; y < img.height(); ++y)
            if (img.pixel(right - 1, y) != Shadow || img.pixel(right, y) != Light)
                return false;
        return true;
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(Root.isValid());
        DataRoot::UseRoot(Root.path());
    }

    void rowHeightFollowsTheFont()
    {
        THeadedListBox list;
        for (auto [pixels, height] : {std::pair{15, 18}, {13, 16}, {12, 15}, {20, 24}}) {
            QFont f(QStringLiteral("Liberation Sans"));
            f.setPixelSize(pixels);
            list.setFont(f);
            QCOMPARE(list.ItemHeight(), height);
        }
        list.addItem(QStringLiteral("a;b"));
        list.addItem(QStringLiteral("c;d"));
        list.show();
        QTest::qWait(10);
        QCOMPARE(list.visualItemRect(list.item(1)).top(), 24);
        QCOMPARE(list.visualItemRect(list.item(0)).height(), 24);
    }

    void headerAndListAreLinkedBothWays()
    {
        auto *header = new TListHeaderControl;
        auto *list = new THeadedListBox;
        auto *other = new THeadedListBox;
        header->SetListbox(list);
        QCOMPARE(list->Header(), header);
        other->SetHeader(header);
        QCOMPARE(header->Listbox(), other);
        QCOMPARE(list->Header(), nullptr);
        delete header;
        QCOMPARE(other->Header(), nullptr);
        auto *second = new TListHeaderControl;
        list->SetHeader(second);
        QCOMPARE(second->Listbox(), list);
        delete list;
        QCOMPARE(second->Listbox(), nullptr);
        second->SetListbox(other);
        other->SetHeader(nullptr);
        QCOMPARE(second->Listbox(), nullptr);
        delete second;
        delete other;
    }

    void fieldsAreDrawnInTheirSectionsWithDividers()
    {
        TForm f;
        const QImage img = f.Row(QStringLiteral("1;WWWWWWWWWWWWWWWW;WW"));
        QVERIFY(Divider(img, 50));
        QVERIFY(Divider(img, 90));
        QVERIFY(Divider(img, 150));
        QVERIFY(Ink(img, 4, 12));   // "1" from x = left + 4
        QVERIFY(!Ink(img, 0, 3));   // nothing left of it
        QVERIFY(Ink(img, 55, 84));  // the long name
        QVERIFY(!Ink(img, 85, 88)); // clipped 5 pixels before the edge
        QVERIFY(Ink(img, 95, 120)); // a right-aligned caption still draws fields left
        QVERIFY(!Ink(img, 151, 239));
    }

    void fieldsBeyondTheLastSectionAreNotDrawn()
    {
        TForm f;
        const QImage img = f.Row(QStringLiteral("a;b;c;WWWW;WWWW"));
        QVERIFY(Divider(img, 150));
        QVERIFY(!Ink(img, 151, 239));
    }

    void aRowWithoutSeparatorFillsOnlyTheFirstColumn()
    {
        TForm f;
        const QImage img = f.Row(QStringLiteral("WWWWWWWWWWWWWWWWWWWWWWWW"));
        QVERIFY(Ink(img, 4, 44));
        QVERIFY(!Ink(img, 45, 48));
        QVERIFY(Divider(img, 50));
        QVERIFY(!Ink(img, 51, 88)); // later sections: only their dividers
        QVERIFY(Divider(img, 90));
        QVERIFY(Divider(img, 150));
    }

    void anEmptyFieldStillGetsItsDivider()
    {
        TForm f;
        const QImage img = f.Row(QStringLiteral("WW;;WW"));
        QVERIFY(!Ink(img, 51, 88));
        QVERIFY(Divider(img, 90));
        QVERIFY(Ink(img, 95, 120));
    }

    void anEmptyRowDrawsOnlyItsBackground()
    {
        TForm f;
        const QImage img = f.Row(QString());
        QVERIFY(!Ink(img, 0, 239));
    }

    void drawLineHookMayChangeTheRow()
    {
        TForm f;
        int calls = 0;
        f.List->OnDrawLine = [&](THeadedListBox *control, int index, const QRect &, QStyle::State,
                                 QString &line) {
            ++calls;
            QCOMPARE(control, f.List);
            QCOMPARE(index, 0);
            line = QStringLiteral(";WW");
        };
        const QImage img = f.Row(QStringLiteral("WWWW"));
        QCOMPARE(calls, 1);
        QVERIFY(!Ink(img, 0, 48));
        QVERIFY(Ink(img, 55, 70));
        f.List->OnDrawLine = [](THeadedListBox *, int, const QRect &, QStyle::State,
                                QString &line) { line.clear(); };
        QVERIFY(!Ink(f.Row(QStringLiteral("WWWW")), 0, 239));
    }

    void withoutHeaderTheWholeTextIsDrawn()
    {
        TForm f;
        f.List->SetHeader(nullptr);
        const QImage img = f.Row(QStringLiteral("W;W;W;W;W;W;W;W;W;W;W;W"));
        QVERIFY(!Ink(img, 0, 1));
        QVERIFY(Ink(img, 2, 8));
        QVERIFY(Ink(img, 150, 239)); // no columns, no clipping
        QVERIFY(!Divider(img, 50));
    }

    void columnsFollowTheHeadersPosition()
    {
        TForm f(10);
        const QImage img = f.Row(QStringLiteral("1;2;3"));
        QVERIFY(Divider(img, 60));
        QVERIFY(Divider(img, 100));
        QVERIFY(!Ink(img, 0, 13));
        QVERIFY(Ink(img, 14, 22));
    }

    void resizingASectionMovesTheColumn()
    {
        TForm f;
        f.List->addItem(QStringLiteral("a;b;c"));
        f.Header->resizeSection(0, 70);
        QTest::qWait(10); // the list lays its rows out
        QImage img = f.List->viewport()->grab().toImage();
        const int rowTop = f.List->visualItemRect(f.List->item(0)).top();
        QCOMPARE(img.pixel(69, rowTop + 2), Shadow);
        QCOMPARE(img.pixel(70, rowTop + 2), Light);
        QCOMPARE(img.pixel(110, rowTop + 2), Light);
        // Limits hold while the user drags.
        f.Header->SetSectionMaxWidth(0, 60);
        QCOMPARE(f.Header->SectionWidth(0), 60);
        f.Header->resizeSection(0, 90);
        QCOMPARE(f.Header->SectionWidth(0), 60);
        f.Header->SetSectionMinWidth(1, 30);
        f.Header->resizeSection(1, 5);
        QCOMPARE(f.Header->SectionWidth(1), 30);
    }

    void selectionIsHighlightedUnlessHidden()
    {
        TForm f;
        QImage img = f.Row(QStringLiteral("a;b"), QStyle::State_Selected);
        f.List->setCurrentRow(0);
        QCOMPARE(img.pixel(30, 1), qRgb(0, 0, 128));
        f.List->SetHideSelection(true);
        QVERIFY(!f.List->hasFocus());
        f.List->clear();
        f.List->addItem(QStringLiteral("a;b"));
        f.List->setCurrentRow(0);
        img = QImage(240, f.List->ItemHeight(), QImage::Format_RGB32);
        img.fill(Qt::magenta);
        {
            QPainter p(&img);
            f.List->DrawRow(p, 0, img.rect(), QStyle::State_Selected);
        }
        QCOMPARE(img.pixel(30, 2), Face);
        // The focus mark runs around the hidden selection.
        QVERIFY(img.pixel(0, 0) != Face || img.pixel(1, 0) != Face);
    }

    void clickingARowSelectsIt()
    {
        TForm f;
        for (int i = 0; i < 5; ++i)
            f.List->addItem(QStringLiteral("%1;Name;10").arg(i));
        QTest::qWait(10);
        const int h = f.List->ItemHeight();
        QTest::mouseClick(f.List->viewport(), Qt::LeftButton, {}, QPoint(200, 3 * h + h / 2));
        QCOMPARE(f.List->currentRow(), 3);
        QTest::mouseClick(f.List->viewport(), Qt::LeftButton, {}, QPoint(10, h / 2));
        QCOMPARE(f.List->currentRow(), 0);
        QCOMPARE(f.List->item(2)->text(), QString("2;Name;10")); // never reordered
    }

    void onlyClickableSectionsReportClicks()
    {
        TForm f;
        QSignalSpy click(f.Header, &TListHeaderControl::SectionClick);
        const int y = f.Header->height() / 2;
        QTest::mouseClick(f.Header->viewport(), Qt::LeftButton, {}, QPoint(20, y));
        QTest::mouseClick(f.Header->viewport(), Qt::LeftButton, {}, QPoint(70, y));
        QCOMPARE(click.size(), 0);
        QTest::mouseClick(f.Header->viewport(), Qt::LeftButton, {}, QPoint(120, y));
        QCOMPARE(click.size(), 1);
        QCOMPARE(click.at(0).at(0).toInt(), 2);
        f.Header->SetSectionAllowClick(0, true);
        QTest::mouseClick(f.Header->viewport(), Qt::LeftButton, {}, QPoint(20, y));
        QCOMPARE(click.size(), 2);
        QCOMPARE(click.at(1).at(0).toInt(), 0);
    }

    void headerHeightAndScaling()
    {
        TListHeaderControl h;
        QCOMPARE(h.HeaderHeight(), 6 + h.fontMetrics().height());
        QFont big = h.font();
        big.setPixelSize(30);
        h.setFont(big);
        QCOMPARE(h.HeaderHeight(), 6 + QFontMetrics(big).height());
        h.SetHeaderHeight(24);
        h.AddSection(QStringLiteral("Name"), 101);
        h.SetSectionMinWidth(0, 21);
        h.SetSectionMaxWidth(0, 301);
        h.ScaleBy(3, 2);
        QCOMPARE(h.HeaderHeight(), 36);
        QCOMPARE(h.SectionWidth(0), 151);
        QCOMPARE(h.SectionMinWidth(0), 31);
        QCOMPARE(h.SectionMaxWidth(0), 451);
        h.ScaleBy(2, 0);
        h.ScaleBy(5, 5);
        QCOMPARE(h.HeaderHeight(), 36);
        QCOMPARE(h.SectionWidth(0), 151);
        h.ScaleBy(1, 2);
        QCOMPARE(h.SectionWidth(0), 75);
        QCOMPARE(h.SectionMinWidth(0), 15);
        QCOMPARE(h.SectionAlignment(0), Qt::AlignLeft);
        QCOMPARE(h.SectionText(0), QString("Name"));
    }

    void separatorCanBeChanged()
    {
        TForm f;
        f.List->SetSeparator(QLatin1Char('|'));
        const QImage img = f.Row(QStringLiteral("a;b|WW"));
        QVERIFY(Ink(img, 51, 88));  // "WW" in the second column
        QVERIFY(!Ink(img, 30, 48)); // "a;b" is one short field
    }
};

QTEST_MAIN(TestHeadedList)
#include "tst_headedlist.moc"
