#pragma once

#include <QWidget>

// The start panel's greeting: the text drawn twice, a light copy two pixels
// right and one pixel down under a dark one, so it stands out from the wood.
class TTitleLabel : public QWidget
{
public:
    TTitleLabel(const QString &text, QWidget *parent);
    QString Text;
    QColor ShadowColor{Qt::white};
    QColor TextColor{Qt::black};

protected:
    void paintEvent(QPaintEvent *event) override;
};
