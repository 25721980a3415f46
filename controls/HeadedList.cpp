#include "HeadedList.h"

#include <QFocusEvent>
#include <QPainter>
#include <QStandardItemModel>
#include <QStyledItemDelegate>

namespace {
// Draws every row through the list's own row routine at the list's fixed height.
class THeadedRowDelegate : public QStyledItemDelegate
{
public:
    explicit THeadedRowDelegate(THeadedListBox *list) : QStyledItemDelegate(list), FList(list) {}

    void paint(QPainter *painter, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override
    {
        painter->save();
        FList->DrawRow(*painter, index.row(), option.rect, option.state);
        painter->restore();
    }
    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &) const override
    {
        return QSize(option.rect.width(), FList->ItemHeight());
    }

private:
    THeadedListBox *FList;
};
} // namespace

// ---------------------------------------------------------------------------

TListHeaderControl::TListHeaderControl(QWidget *parent)
    : QHeaderView(Qt::Horizontal, parent), FModel(new QStandardItemModel(0, 0, this))
{
    setModel(FModel);
    setSectionsClickable(true);
    setSectionsMovable(false);
    setHighlightSections(false);
    setStretchLastSection(false);
    setSectionResizeMode(QHeaderView::Interactive);
    setMinimumSectionSize(0);
    setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    FHeight = 6 + fontMetrics().height();
    setFixedHeight(FHeight);
    connect(this, &QHeaderView::sectionResized, this, &TListHeaderControl::SectionResized);
    connect(this, &QHeaderView::sectionClicked, this, [this](int k) {
        if (SectionAllowClick(k))
            Q_EMIT SectionClick(k);
    });
}

TListHeaderControl::~TListHeaderControl()
{
    Unlink();
}

void TListHeaderControl::Unlink()
{
    if (FListbox) {
        FListbox->FHeader = nullptr;
        FListbox->viewport()->update();
        FListbox = nullptr;
    }
}

void TListHeaderControl::SetListbox(THeadedListBox *list)
{
    if (list == FListbox)
        return;
    Unlink();
    if (list) {
        if (list->FHeader)
            list->FHeader->FListbox = nullptr;
        list->FHeader = this;
        FListbox = list;
        list->viewport()->update();
    }
}

int TListHeaderControl::AddSection(const QString &text, int width, bool allowClick,
                                   Qt::Alignment alignment)
{
    const int k = FModel->columnCount();
    FModel->insertColumn(k);
    FLimits.append(TSectionLimits{0, 10000, allowClick});
    SetSectionText(k, text);
    SetSectionAlignment(k, alignment);
    resizeSection(k, width);
    return k;
}

QString TListHeaderControl::SectionText(int k) const
{
    return FModel->headerData(k, Qt::Horizontal, Qt::DisplayRole).toString();
}

void TListHeaderControl::SetSectionText(int k, const QString &text)
{
    FModel->setHeaderData(k, Qt::Horizontal, text, Qt::DisplayRole);
}

void TListHeaderControl::SetSectionWidth(int k, int width)
{
    if (k >= 0 && k < FLimits.size())
        width = std::clamp(width, FLimits[k].Min, std::max(FLimits[k].Min, FLimits[k].Max));
    resizeSection(k, width);
}

int TListHeaderControl::SectionMinWidth(int k) const
{
    return k >= 0 && k < FLimits.size() ? FLimits[k].Min : 0;
}

void TListHeaderControl::SetSectionMinWidth(int k, int width)
{
    if (k < 0 || k >= FLimits.size())
        return;
    FLimits[k].Min = width;
    SetSectionWidth(k, sectionSize(k));
}

int TListHeaderControl::SectionMaxWidth(int k) const
{
    return k >= 0 && k < FLimits.size() ? FLimits[k].Max : 10000;
}

void TListHeaderControl::SetSectionMaxWidth(int k, int width)
{
    if (k < 0 || k >= FLimits.size())
        return;
    FLimits[k].Max = width;
    SetSectionWidth(k, sectionSize(k));
}

bool TListHeaderControl::SectionAllowClick(int k) const
{
    return k >= 0 && k < FLimits.size() && FLimits[k].AllowClick;
}

void TListHeaderControl::SetSectionAllowClick(int k, bool allow)
{
    if (k >= 0 && k < FLimits.size())
        FLimits[k].AllowClick = allow;
}

Qt::Alignment TListHeaderControl::SectionAlignment(int k) const
{
    return Qt::Alignment(FModel->headerData(k, Qt::Horizontal, Qt::TextAlignmentRole).toInt()) &
           Qt::AlignHorizontal_Mask;
}

void TListHeaderControl::SetSectionAlignment(int k, Qt::Alignment alignment)
{
    FModel->setHeaderData(k, Qt::Horizontal,
                          int((alignment & Qt::AlignHorizontal_Mask) | Qt::AlignVCenter),
                          Qt::TextAlignmentRole);
}

int TListHeaderControl::SectionLeft(int k) const
{
    return sectionViewportPosition(k);
}

void TListHeaderControl::SetHeaderHeight(int height)
{
    FHeight = height;
    setFixedHeight(height);
    updateGeometry();
}

QSize TListHeaderControl::sizeHint() const
{
    return QSize(QHeaderView::sizeHint().width(), FHeight);
}

void TListHeaderControl::ScaleBy(int m, int d)
{
    if (m == d || d == 0)
        return;
    SetHeaderHeight(m * FHeight / d);
    for (int k = 0; k < count(); ++k) {
        const int oldMax = SectionMaxWidth(k);
        const int oldMin = SectionMinWidth(k);
        const int oldWidth = sectionSize(k);
        FLimits[k].Max = m * oldMax / d;
        FLimits[k].Min = m * oldMin / d;
        SetSectionWidth(k, m * oldWidth / d);
    }
}

void TListHeaderControl::SectionResized(int k, int, int newSize)
{
    // Keep a dragged edge within the section's limits.
    if (k >= 0 && k < FLimits.size()) {
        const int bounded =
            std::clamp(newSize, FLimits[k].Min, std::max(FLimits[k].Min, FLimits[k].Max));
        if (bounded != newSize) {
            resizeSection(k, bounded);
            return;
        }
    }
    viewport()->update();
    if (FListbox)
        FListbox->viewport()->update();
}

void TListHeaderControl::changeEvent(QEvent *e)
{
    QHeaderView::changeEvent(e);
    if (e->type() == QEvent::FontChange)
        SetHeaderHeight(6 + fontMetrics().height());
}

// ---------------------------------------------------------------------------

THeadedListBox::THeadedListBox(QWidget *parent) : QListWidget(parent)
{
    setItemDelegate(new THeadedRowDelegate(this));
    setUniformItemSizes(true);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setSelectionMode(QAbstractItemView::SingleSelection);
    QPalette p = palette();
    p.setColor(QPalette::Base, p.color(QPalette::Button));
    setPalette(p);
    FItemHeight = RowHeightForPixelHeight(QFontInfo(font()).pixelSize());
}

THeadedListBox::~THeadedListBox()
{
    Unlink();
}

void THeadedListBox::Unlink()
{
    if (FHeader) {
        FHeader->FListbox = nullptr;
        FHeader = nullptr;
    }
}

void THeadedListBox::SetHeader(TListHeaderControl *header)
{
    if (header == FHeader)
        return;
    if (header) {
        header->SetListbox(this);
    } else {
        Unlink();
        viewport()->update();
    }
}

void THeadedListBox::SetSeparator(QChar separator)
{
    if (separator != FSeparator) {
        FSeparator = separator;
        viewport()->update();
    }
}

void THeadedListBox::SetHideSelection(bool hide)
{
    if (hide != FHideSelection) {
        FHideSelection = hide;
        viewport()->update();
    }
}

void THeadedListBox::SetItemHeight(int height)
{
    if (height < 1 || height == FItemHeight)
        return;
    FItemHeight = height;
    scheduleDelayedItemsLayout();
    viewport()->update();
}

void THeadedListBox::changeEvent(QEvent *e)
{
    QListWidget::changeEvent(e);
    if (e->type() == QEvent::FontChange)
        SetItemHeight(RowHeightForPixelHeight(QFontInfo(font()).pixelSize()));
}

void THeadedListBox::focusInEvent(QFocusEvent *e)
{
    QListWidget::focusInEvent(e);
    if (FHideSelection)
        viewport()->update();
}

void THeadedListBox::focusOutEvent(QFocusEvent *e)
{
    QListWidget::focusOutEvent(e);
    if (FHideSelection)
        viewport()->update();
}

void THeadedListBox::DrawRow(QPainter &painter, int index, const QRect &rect, QStyle::State state)
{
    if (index < 0 || index >= count())
        return;
    const QPalette &pal = palette();
    const bool selected = state & QStyle::State_Selected;
    // A listbox shows its selection in the highlight colour whether focused or not.
    QColor background =
        selected ? pal.color(QPalette::Active, QPalette::Highlight) : pal.color(QPalette::Base);
    QColor textColor = selected ? pal.color(QPalette::Active, QPalette::HighlightedText)
                                : pal.color(QPalette::Text);
    const bool hidden = FHideSelection && !hasFocus() && index == currentRow();
    if (hidden) {
        background = pal.color(QPalette::Base);
        textColor = pal.color(QPalette::WindowText);
    }
    painter.fillRect(rect, background);
    if (hidden && selected) {
        painter.setPen(QPen(textColor, 1, Qt::DotLine));
        painter.drawRect(rect.adjusted(0, 0, -1, -1));
    }

    QString line = item(index)->text();
    if (OnDrawLine)
        OnDrawLine(this, index, rect, state, line);
    if (line.isEmpty())
        return;

    painter.setFont(font());
    painter.setPen(textColor);
    const int ascent = QFontMetrics(font()).ascent();
    const int top = rect.top();
    const int bottom = rect.top() + rect.height(); // first row below
    if (!FHeader) {
        painter.drawText(QPoint(2, top + ascent), item(index)->text());
        return;
    }
    const int dx = FHeader->viewport()->mapToGlobal(QPoint(0, 0)).x() -
                   viewport()->mapToGlobal(QPoint(0, 0)).x();
    const QColor shadow = pal.color(QPalette::Dark);
    const QColor light = pal.color(QPalette::Light);
    qsizetype p = 0;
    for (int visual = 0; visual < FHeader->count(); ++visual) {
        const int k = FHeader->logicalIndex(visual);
        if (FHeader->isSectionHidden(k))
            continue;
        QString field;
        if (p <= line.size()) {
            qsizetype end = line.indexOf(FSeparator, p);
            if (end < 0)
                end = line.size();
            field = line.mid(p, end - p);
            p = end + 1;
        }
        const int left = FHeader->SectionLeft(k) + dx;
        const int right = FHeader->SectionRight(k) + dx;
        if (!field.isEmpty()) {
            painter.save();
            painter.setClipRect(
                QRect(left + 2, top + 1, (right - 5) - (left + 2), (bottom - 1) - (top + 1)),
                Qt::IntersectClip);
            painter.setPen(textColor);
            painter.drawText(QPoint(left + 4, top + ascent), field);
            painter.restore();
        }
        painter.setPen(shadow);
        painter.drawLine(right - 1, top, right - 1, bottom - 1);
        painter.setPen(light);
        painter.drawLine(right, top, right, bottom - 1);
        painter.setPen(Qt::black);
    }
}
