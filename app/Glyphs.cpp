#include "Glyphs.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QPolygonF>

namespace {

const QColor Wood(139, 90, 43);
const QColor Paper(250, 244, 228);
const QColor Ink(40, 30, 20);

void DrawArrow(QPainter &p, bool left, const QColor &colour)
{
    // A bent arrow as on the undo and redo buttons of every editor.
    QPainterPath path;
    if (left) {
        path.moveTo(16, 15);
        path.cubicTo(16, 8, 12, 6, 6, 7);
    } else {
        path.moveTo(4, 15);
        path.cubicTo(4, 8, 8, 6, 14, 7);
    }
    p.setPen(QPen(colour, 2.4, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    p.drawPath(path);
    QPolygonF head;
    if (left)
        head << QPointF(2, 7) << QPointF(8, 2.5) << QPointF(8, 11.5);
    else
        head << QPointF(18, 7) << QPointF(12, 2.5) << QPointF(12, 11.5);
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
    p.drawPolygon(head);
}

void DrawPiece(QPainter &p, const QRectF &r, const QColor &face)
{
    p.setPen(QPen(Ink, 1));
    p.setBrush(face);
    p.drawRect(r);
    p.setPen(QPen(face.lighter(150), 1));
    p.drawLine(r.topLeft() + QPointF(1, 1), r.topRight() + QPointF(-1, 1));
    p.drawLine(r.topLeft() + QPointF(1, 1), r.bottomLeft() + QPointF(1, -1));
}

void DrawFolder(QPainter &p)
{
    p.setPen(QPen(Ink, 1));
    p.setBrush(QColor(230, 190, 90));
    QPolygonF folder;
    folder << QPointF(1.5, 4.5) << QPointF(7, 4.5) << QPointF(9, 6.5) << QPointF(18.5, 6.5)
           << QPointF(18.5, 16.5) << QPointF(1.5, 16.5);
    p.drawPolygon(folder);
}

// A magnifying glass with a sign in its lens.
void DrawLens(QPainter &p, const QString &sign)
{
    p.setPen(QPen(Wood, 3, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(12.5, 12.5), QPointF(18, 18));
    p.setPen(QPen(Ink, 1.5));
    p.setBrush(Paper);
    p.drawEllipse(QRectF(1.5, 1.5, 12, 12));
    QFont f = p.font();
    f.setPixelSize(sign.size() > 1 ? 7 : 12);
    f.setBold(true);
    p.setFont(f);
    p.setPen(Ink);
    p.drawText(QRectF(1.5, 1.5, 12, 12), Qt::AlignCenter, sign);
}

void Paint(QPainter &p, TGlyph kind)
{
    switch (kind) {
    case TGlyph::Exit: {
        p.setPen(QPen(Ink, 1));
        p.setBrush(Wood);
        p.drawRect(QRectF(3.5, 1.5, 10, 17));
        p.setBrush(QColor(200, 40, 30));
        QPolygonF arrow;
        arrow << QPointF(9, 8) << QPointF(14, 8) << QPointF(14, 5) << QPointF(19, 10)
              << QPointF(14, 15) << QPointF(14, 12) << QPointF(9, 12);
        p.drawPolygon(arrow);
        break;
    }
    case TGlyph::NewGame:
        DrawPiece(p, QRectF(1.5, 1.5, 8, 8), QColor(200, 60, 40));
        DrawPiece(p, QRectF(10.5, 1.5, 8, 17), QColor(60, 110, 190));
        DrawPiece(p, QRectF(1.5, 10.5, 8, 8), QColor(230, 180, 50));
        break;
    case TGlyph::LoadGame:
        DrawFolder(p);
        break;
    case TGlyph::SaveGame: {
        p.setPen(QPen(Ink, 1));
        p.setBrush(QColor(60, 90, 160));
        p.drawRect(QRectF(2.5, 2.5, 15, 15));
        p.setBrush(Paper);
        p.drawRect(QRectF(5.5, 2.5, 9, 6));
        p.setBrush(QColor(200, 200, 200));
        p.drawRect(QRectF(5.5, 11.5, 9, 6));
        break;
    }
    case TGlyph::LoadLast: {
        DrawFolder(p);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(40, 140, 40));
        QPolygonF play;
        play << QPointF(8, 8.5) << QPointF(14, 11.5) << QPointF(8, 14.5);
        p.drawPolygon(play);
        break;
    }
    case TGlyph::Grid: {
        p.setPen(QPen(Ink, 1));
        for (int i = 0; i < 4; ++i) {
            p.drawLine(QPointF(2.5 + i * 5, 2.5), QPointF(2.5 + i * 5, 17.5));
            p.drawLine(QPointF(2.5, 2.5 + i * 5), QPointF(17.5, 2.5 + i * 5));
        }
        DrawPiece(p, QRectF(7.5, 7.5, 5, 5), QColor(200, 60, 40));
        break;
    }
    case TGlyph::ShowObject: {
        p.setPen(QPen(Ink, 1));
        p.setBrush(Qt::white);
        p.drawEllipse(QRectF(1.5, 1.5, 17, 17));
        p.setBrush(QColor(200, 40, 30));
        p.drawEllipse(QRectF(5, 5, 10, 10));
        p.setBrush(Qt::white);
        p.drawEllipse(QRectF(8, 8, 4, 4));
        break;
    }
    case TGlyph::HighScore: {
        p.setPen(QPen(Ink, 1));
        p.setBrush(QColor(240, 190, 40));
        QPolygonF cup;
        cup << QPointF(4.5, 2.5) << QPointF(15.5, 2.5) << QPointF(14, 10) << QPointF(11, 12.5)
            << QPointF(11, 15.5) << QPointF(14.5, 17.5) << QPointF(5.5, 17.5) << QPointF(9, 15.5)
            << QPointF(9, 12.5) << QPointF(6, 10);
        p.drawPolygon(cup);
        break;
    }
    case TGlyph::Undo:
        DrawArrow(p, true, QColor(30, 90, 170));
        break;
    case TGlyph::Redo:
        DrawArrow(p, false, QColor(30, 90, 170));
        break;
    case TGlyph::Restart: {
        p.setPen(QPen(QColor(40, 140, 40), 2.4, Qt::SolidLine, Qt::RoundCap));
        p.setBrush(Qt::NoBrush);
        p.drawArc(QRectF(3, 3, 14, 14), 60 * 16, 290 * 16);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(40, 140, 40));
        QPolygonF head;
        head << QPointF(10, 0.5) << QPointF(16, 4) << QPointF(10, 7.5);
        p.drawPolygon(head);
        break;
    }
    case TGlyph::Speed: {
        p.setPen(QPen(Ink, 1.5));
        p.setBrush(Paper);
        p.drawEllipse(QRectF(2, 2, 16, 16));
        p.drawLine(QPointF(10, 10), QPointF(15, 6));
        break;
    }
    case TGlyph::Help: {
        p.setPen(QPen(Ink, 1));
        p.setBrush(QColor(60, 110, 190));
        p.drawEllipse(QRectF(1.5, 1.5, 17, 17));
        QFont f = p.font();
        f.setPixelSize(14);
        f.setBold(true);
        p.setFont(f);
        p.setPen(Qt::white);
        p.drawText(QRectF(0, 0, 20, 20), Qt::AlignCenter, QStringLiteral("?"));
        break;
    }
    case TGlyph::Info: {
        p.setPen(QPen(Ink, 1));
        p.setBrush(QColor(40, 140, 40));
        p.drawEllipse(QRectF(1.5, 1.5, 17, 17));
        QFont f = p.font();
        f.setPixelSize(14);
        f.setBold(true);
        f.setItalic(true);
        p.setFont(f);
        p.setPen(Qt::white);
        p.drawText(QRectF(0, 0, 20, 20), Qt::AlignCenter, QStringLiteral("i"));
        break;
    }
    case TGlyph::Options: {
        p.setPen(QPen(Ink, 1));
        p.setBrush(QColor(150, 150, 150));
        p.drawEllipse(QRectF(3, 3, 14, 14));
        p.setBrush(Paper);
        p.drawEllipse(QRectF(7, 7, 6, 6));
        break;
    }
    case TGlyph::Close: {
        p.setPen(QPen(QColor(200, 40, 30), 3, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(5, 5), QPointF(15, 15));
        p.drawLine(QPointF(15, 5), QPointF(5, 15));
        break;
    }
    case TGlyph::Play: {
        p.setPen(QPen(Ink, 1));
        p.setBrush(QColor(40, 140, 40));
        QPolygonF play;
        play << QPointF(5.5, 3.5) << QPointF(16.5, 10) << QPointF(5.5, 16.5);
        p.drawPolygon(play);
        break;
    }
    case TGlyph::Expert: {
        // A picture cut into four parts, one of them left out.
        p.setPen(QPen(Ink, 1));
        DrawPiece(p, QRectF(2.5, 2.5, 7, 7), QColor(70, 140, 200));
        DrawPiece(p, QRectF(10.5, 2.5, 7, 7), QColor(90, 170, 90));
        DrawPiece(p, QRectF(2.5, 10.5, 7, 7), QColor(230, 180, 60));
        p.setPen(QPen(Ink, 1, Qt::DotLine));
        p.setBrush(Qt::NoBrush);
        p.drawRect(QRectF(10.5, 10.5, 7, 7));
        break;
    }
    case TGlyph::Properties: {
        // A sheet with a pencil across it.
        p.setPen(QPen(Ink, 1));
        p.setBrush(Paper);
        p.drawRect(QRectF(3.5, 1.5, 11, 15));
        p.drawLine(QPointF(6, 5.5), QPointF(12, 5.5));
        p.drawLine(QPointF(6, 8.5), QPointF(12, 8.5));
        p.setPen(QPen(QColor(200, 140, 40), 3, Qt::SolidLine, Qt::FlatCap));
        p.drawLine(QPointF(8, 17), QPointF(17, 8));
        p.setPen(QPen(Ink, 1.5));
        p.drawLine(QPointF(6.5, 18.5), QPointF(8, 17));
        break;
    }
    case TGlyph::Hint: {
        // A lit bulb.
        p.setPen(QPen(Ink, 1));
        p.setBrush(QColor(255, 215, 60));
        QPainterPath bulb;
        bulb.addEllipse(QRectF(4.5, 1.5, 11, 11));
        p.drawPath(bulb);
        p.setBrush(QColor(170, 170, 170));
        p.drawRect(QRectF(7.5, 12.5, 5, 5));
        p.drawLine(QPointF(7.5, 15), QPointF(12.5, 15));
        p.setPen(QPen(QColor(200, 120, 0), 1));
        p.drawLine(QPointF(8.5, 9.5), QPointF(10, 6));
        p.drawLine(QPointF(10, 6), QPointF(11.5, 9.5));
        break;
    }
    case TGlyph::Demo: {
        // A piece on its way, shown as a film runs.
        DrawPiece(p, QRectF(1.5, 6.5, 7, 7), QColor(200, 60, 40));
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(40, 140, 40));
        QPolygonF play;
        play << QPointF(10.5, 4) << QPointF(18.5, 10) << QPointF(10.5, 16);
        p.drawPolygon(play);
        break;
    }
    case TGlyph::MovesLeft: {
        // A chequered flag: how far to the goal.
        p.setPen(QPen(Ink, 1.5));
        p.drawLine(QPointF(3.5, 1.5), QPointF(3.5, 18.5));
        p.setPen(QPen(Ink, 1));
        p.setBrush(Qt::white);
        p.drawRect(QRectF(4.5, 2.5, 13, 9));
        p.setPen(Qt::NoPen);
        p.setBrush(Ink);
        for (int row = 0; row < 3; ++row)
            for (int col = 0; col < 4; ++col)
                if ((row + col) % 2 == 0)
                    p.drawRect(QRectF(4.5 + col * 3.25, 2.5 + row * 3, 3.25, 3));
        break;
    }
    case TGlyph::ZoomIn:
        DrawLens(p, QStringLiteral("+"));
        break;
    case TGlyph::ZoomOut:
        DrawLens(p, QStringLiteral("\u2212"));
        break;
    case TGlyph::ZoomOriginal:
        DrawLens(p, QStringLiteral("1:1"));
        break;
    case TGlyph::ZoomFit: {
        // A board with arrows out to the window's corners.
        p.setPen(QPen(Ink, 1));
        p.setBrush(Qt::NoBrush);
        p.drawRect(QRectF(1.5, 1.5, 17, 17));
        DrawPiece(p, QRectF(6.5, 6.5, 7, 7), QColor(200, 60, 40));
        p.setPen(QPen(Ink, 1.5, Qt::SolidLine, Qt::RoundCap));
        for (const auto &[from, to] : {std::pair{QPointF(6, 6), QPointF(3.5, 3.5)},
                                       std::pair{QPointF(14, 6), QPointF(16.5, 3.5)},
                                       std::pair{QPointF(6, 14), QPointF(3.5, 16.5)},
                                       std::pair{QPointF(14, 14), QPointF(16.5, 16.5)}})
            p.drawLine(from, to);
        break;
    }
    }
}

} // namespace

QIcon Glyph(TGlyph kind)
{
    QIcon icon;
    for (int scale : {1, 2}) {
        QPixmap pm(20 * scale, 20 * scale);
        pm.setDevicePixelRatio(scale);
        pm.fill(Qt::transparent);
        QPainter p(&pm);
        p.setRenderHint(QPainter::Antialiasing);
        Paint(p, kind);
        p.end();
        icon.addPixmap(pm);
    }
    return icon;
}
