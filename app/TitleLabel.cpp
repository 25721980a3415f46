#include "TitleLabel.h"

#include <QPainter>

TTitleLabel::TTitleLabel(const QString &text, QWidget *parent) : QWidget(parent), Text(text)
{
    QFont f(QStringLiteral("Arial"));
    f.setPixelSize(13);
    f.setBold(true);
    f.setItalic(true);
    setFont(f);
    setAttribute(Qt::WA_TranslucentBackground);
}

void TTitleLabel::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setFont(font());
    const QRect r = rect().adjusted(0, 0, -2, -1);
    p.setPen(ShadowColor);
    p.drawText(r.translated(2, 1), Qt::AlignCenter, Text);
    p.setPen(TextColor);
    p.drawText(r, Qt::AlignCenter, Text);
}
