#pragma once

#include <QHeaderView>
#include <QListWidget>
#include <QPointer>
#include <QStyle>
#include <functional>

class QStandardItemModel;
class THeadedListBox;

// The header above a headed list box: its sections give the list's columns.
// Resizing a section moves the column at once. Clicks on sections whose
// AllowClick is set are reported through SectionClick.
class TListHeaderControl : public QHeaderView
{
    Q_OBJECT

public:
    explicit TListHeaderControl(QWidget *parent = nullptr);
    ~TListHeaderControl() override;

    // The list it heads (may be none). Linking sets the list's Header too.
    THeadedListBox *Listbox() const { return FListbox; }
    void SetListbox(THeadedListBox *list);

    // Sections in order; returns the new section's index.
    int AddSection(const QString &text, int width, bool allowClick = true,
                   Qt::Alignment alignment = Qt::AlignLeft);
    int SectionCount() const { return count(); }
    QString SectionText(int k) const;
    void SetSectionText(int k, const QString &text);
    int SectionWidth(int k) const { return sectionSize(k); }
    void SetSectionWidth(int k, int width);
    int SectionMinWidth(int k) const;
    void SetSectionMinWidth(int k, int width);
    int SectionMaxWidth(int k) const;
    void SetSectionMaxWidth(int k, int width);
    bool SectionAllowClick(int k) const;
    void SetSectionAllowClick(int k, bool allow);
    Qt::Alignment SectionAlignment(int k) const;
    void SetSectionAlignment(int k, Qt::Alignment alignment);
    // Edges in the header's client coordinates; Right = Left + Width.
    int SectionLeft(int k) const;
    int SectionRight(int k) const { return SectionLeft(k) + sectionSize(k); }

    // 6 + the text height of the font at creation and after a font change.
    int HeaderHeight() const { return FHeight; }
    void SetHeaderHeight(int height);

    // Scales height and every section's width, minimum and maximum by M / D,
    // as when a window moves to a screen of another resolution.
    void ScaleBy(int m, int d);

    QSize sizeHint() const override;

Q_SIGNALS:
    void SectionClick(int section);

protected:
    void changeEvent(QEvent *e) override;

private:
    friend class THeadedListBox;
    struct TSectionLimits
    {
        int Min = 0;
        int Max = 10000;
        bool AllowClick = true;
    };
    void SectionResized(int k, int oldSize, int newSize);
    void Unlink();

    QStandardItemModel *FModel;
    QList<TSectionLimits> FLimits;
    QPointer<THeadedListBox> FListbox;
    int FHeight = 0;
};

// Called just before a row is drawn; may change the text that is drawn.
using TGetLineEvent = std::function<void(THeadedListBox *control, int index, const QRect &rect,
                                         QStyle::State state, QString &line)>;

// A list whose rows are texts of fields separated by Separator, drawn as
// columns under a TListHeaderControl: field n in the extent of section n,
// clipped 5 pixels before its right edge, each column ending in a bevelled
// divider. The list never reorders its rows.
class THeadedListBox : public QListWidget
{
    Q_OBJECT

public:
    explicit THeadedListBox(QWidget *parent = nullptr);
    ~THeadedListBox() override;

    TListHeaderControl *Header() const { return FHeader; }
    void SetHeader(TListHeaderControl *header);

    QChar Separator() const { return FSeparator; }
    void SetSeparator(QChar separator);

    bool HideSelection() const { return FHideSelection; }
    void SetHideSelection(bool hide);

    TGetLineEvent OnDrawLine;

    // ((pixel height of the font + 2) x 11) div 10, computed again whenever
    // the font changes; a window may set its own.
    int ItemHeight() const { return FItemHeight; }
    void SetItemHeight(int height);
    static int RowHeightForPixelHeight(int pixelHeight) { return ((pixelHeight + 2) * 11) / 10; }
    // The least row height that shows a whole line of the font, descenders
    // included (a row draws its text from its top and clips one pixel short
    // of its bottom).
    int TextRowHeight() const { return QFontMetrics(font()).height() + 1; }

    // Draws row index into painter as the list shows it (rect in the list's
    // client coordinates).
    void DrawRow(QPainter &painter, int index, const QRect &rect, QStyle::State state);

protected:
    void changeEvent(QEvent *e) override;
    void focusInEvent(QFocusEvent *e) override;
    void focusOutEvent(QFocusEvent *e) override;

private:
    friend class TListHeaderControl;
    void Unlink();

    QPointer<TListHeaderControl> FHeader;
    QChar FSeparator = QLatin1Char(';');
    bool FHideSelection = false;
    int FItemHeight = 0;
};
