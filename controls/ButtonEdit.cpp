#include "ButtonEdit.h"

#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QFocusEvent>
#include <QIcon>
#include <QPainter>
#include <QPainterPath>
#include <QStyle>
#include <QStyleOptionFrame>
#include <QToolButton>

QStringList FileDialogNameFilters(const QString &filter)
{
    if (!filter.contains(QLatin1Char('|')))
        return filter.split(QStringLiteral(";;"), Qt::SkipEmptyParts);
    // Pairs of description and patterns: "Klänge (*.wav)|*.wav|Alle|*.*".
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList result;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString description = parts.at(i).trimmed();
        QString patterns = parts.at(i + 1).trimmed();
        patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
        if (patterns == QLatin1String("*.*"))
            patterns = QStringLiteral("*");
        // Qt reads the patterns from the last parentheses of the text and
        // splits them at blanks only: patterns shown there as "*.a;*.b"
        // would match no file, so the pair's own patterns take their place.
        const qsizetype open = description.lastIndexOf(QLatin1Char('('));
        if (description.endsWith(QLatin1Char(')')) && open >= 0)
            description = description.left(open).trimmed();
        result << description + QStringLiteral(" (") + patterns + QLatin1Char(')');
    }
    if (parts.size() % 2 == 1 && !parts.last().trimmed().isEmpty())
        result << parts.last().trimmed();
    return result;
}

namespace {
// The built-in button pictures, drawn once in the button-text colour.
QPixmap DrawGlyph(TButtonEdit::TBtnStyle style)
{
    QPixmap pm(16, 16);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing, false);
    const QColor ink(Qt::black);
    p.setPen(QPen(ink, 1));
    switch (style) {
    case TButtonEdit::stArrow: {
        QPainterPath tri;
        tri.moveTo(4, 6);
        tri.lineTo(12, 6);
        tri.lineTo(8, 11);
        tri.closeSubpath();
        p.fillPath(tri, ink);
        break;
    }
    case TButtonEdit::stCheck:
        p.setPen(QPen(QColor(0, 128, 0), 2));
        p.drawLine(3, 8, 6, 12);
        p.drawLine(6, 12, 13, 4);
        break;
    case TButtonEdit::stMinus:
        p.fillRect(3, 7, 10, 2, ink);
        break;
    case TButtonEdit::stPlus:
        p.fillRect(3, 7, 10, 2, ink);
        p.fillRect(7, 3, 2, 10, ink);
        break;
    case TButtonEdit::stOpen:
    case TButtonEdit::stPath: {
        // A folder; the path picture adds the three dots of "more".
        p.setBrush(QColor(240, 200, 80));
        p.drawPolygon(QPolygon({QPoint(1, 4), QPoint(5, 4), QPoint(6, 5), QPoint(14, 5),
                                QPoint(14, 13), QPoint(1, 13)}));
        p.setBrush(QColor(255, 225, 120));
        p.drawPolygon(QPolygon({QPoint(3, 7), QPoint(15, 7), QPoint(13, 13), QPoint(1, 13)}));
        if (style == TButtonEdit::stPath) {
            p.fillRect(4, 10, 2, 2, ink);
            p.fillRect(7, 10, 2, 2, ink);
            p.fillRect(10, 10, 2, 2, ink);
        }
        break;
    }
    case TButtonEdit::stSave:
        p.setBrush(QColor(40, 60, 160));
        p.drawRect(2, 2, 12, 12);
        p.fillRect(5, 3, 6, 4, Qt::white);
        p.fillRect(4, 10, 8, 4, QColor(200, 200, 200));
        break;
    case TButtonEdit::stCustom:
        return QPixmap();
    }
    return pm;
}
} // namespace

QPixmap TButtonEdit::StyleGlyph(TBtnStyle style)
{
    return DrawGlyph(style);
}

TButtonEdit::TButtonEdit(QWidget *parent) : QLineEdit(parent), FButton(new QToolButton(this))
{
    FButton->setFocusPolicy(Qt::NoFocus);
    FButton->setCursor(Qt::ArrowCursor);
    FButton->setToolButtonStyle(Qt::ToolButtonIconOnly);
    connect(FButton, &QToolButton::clicked, this, &TButtonEdit::ButtonClick);
    FGlyph = DrawGlyph(stOpen);
    UpdateIcon();
    setMinimumHeight(MinHeight());
    FButton->resize(std::max(24, MinHeight()), MinHeight());
    PlaceButton();
}

void TButtonEdit::SetStyle(TBtnStyle style)
{
    if (style == FStyle)
        return;
    FStyle = style;
    if (style != stCustom) {
        FGlyph = DrawGlyph(style);
        FNumGlyphs = 1;
        UpdateIcon();
    }
}

void TButtonEdit::SetGlyph(const QPixmap &glyph)
{
    FGlyph = glyph;
    UpdateIcon();
}

void TButtonEdit::SetNumGlyphs(int count)
{
    FNumGlyphs = std::clamp(count, 1, 4);
    UpdateIcon();
}

void TButtonEdit::UpdateIcon()
{
    QIcon icon;
    if (!FGlyph.isNull()) {
        const int w = FGlyph.width() / FNumGlyphs;
        icon.addPixmap(FGlyph.copy(0, 0, w, FGlyph.height()), QIcon::Normal);
        if (FNumGlyphs >= 2)
            icon.addPixmap(FGlyph.copy(w, 0, w, FGlyph.height()), QIcon::Disabled);
        FButton->setIconSize(QSize(w, FGlyph.height()));
    }
    FButton->setIcon(icon);
}

QString TButtonEdit::HintBtn() const
{
    return FButton->toolTip();
}
void TButtonEdit::SetHintBtn(const QString &hint)
{
    FButton->setToolTip(hint);
}

int TButtonEdit::MinHeight() const
{
    const int f = QFontMetrics(font()).height();
    const int s = QFontMetrics(QApplication::font()).height();
    const int border = 1;
    const int rule = 4 * border + std::min(s, f) / 4 + f - 5;
    // Never so low that the style's own frame would cut the text.
    return std::max(rule, QLineEdit::minimumSizeHint().height());
}

void TButtonEdit::ButtonClick()
{
    if (FDialog)
        RunDialog();
    else
        Q_EMIT BtnClick();
}

void TButtonEdit::RunDialog()
{
    TFileDialogSettings &dialogSettings = *FDialog;
    if (!text().isEmpty())
        dialogSettings.FileName = text();
    QString dir = dialogSettings.InitialDir;
    QString file = dialogSettings.FileName;
    const QFileInfo info(dialogSettings.FileName);
    if (!dialogSettings.FileName.isEmpty() && (info.isAbsolute() || dir.isEmpty())) {
        dir = info.absolutePath();
        file = info.fileName();
    }
    QFileDialog dialog(window(), dialogSettings.Title, dir);
    dialog.setNameFilters(FileDialogNameFilters(dialogSettings.Filter));
    dialog.setFileMode(dialogSettings.MustExist ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    if (!file.isEmpty())
        dialog.selectFile(file);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    const QString chosen = dialog.selectedFiles().constFirst();
    dialogSettings.FileName = chosen;
    setText(chosen);
}

void TButtonEdit::PlaceButton()
{
    int frame = 0;
    if (hasFrame()) {
        QStyleOptionFrame opt;
        initStyleOption(&opt);
        frame = style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &opt, this);
    }
    const int clientW = width() - 2 * frame;
    const int clientH = height() - 2 * frame;
    FButton->setGeometry(frame + clientW - clientH, frame, clientH, clientH);
    setTextMargins(0, 0, clientH + 2, 0);
}

void TButtonEdit::resizeEvent(QResizeEvent *e)
{
    QLineEdit::resizeEvent(e);
    if (height() < MinHeight()) {
        resize(width(), MinHeight());
        return;
    }
    PlaceButton();
}

void TButtonEdit::focusInEvent(QFocusEvent *e)
{
    QLineEdit::focusInEvent(e);
    if (FAutoSelect && e->reason() != Qt::MouseFocusReason)
        selectAll();
}

void TButtonEdit::changeEvent(QEvent *e)
{
    QLineEdit::changeEvent(e);
    if (e->type() == QEvent::FontChange || e->type() == QEvent::StyleChange) {
        setMinimumHeight(MinHeight());
        PlaceButton();
    }
}
