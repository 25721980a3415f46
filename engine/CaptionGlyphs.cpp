#include "CaptionGlyphs.h"

#include <QMutex>
#include <QTextLayout>
#include <map>

namespace {

// Every pair of digits side by side, so a layout of it shows any kerning
// or substitution between two digits.
QString AllDigitPairs()
{
    QString s;
    for (char a = '0'; a <= '9'; ++a)
        for (char b = '0'; b <= '9'; ++b)
            s.append(QLatin1Char(a)).append(QLatin1Char(b));
    return s;
}

// Whether laying out the digits gives each its own glyph and advance, as
// placed by Draw; the answer for a font is kept, as working it out costs
// a layout.
bool LaysOutAlone(const QFont &font, QPaintDevice *device, qreal pixelSize, const quint32 *glyphs,
                  const qreal *advances)
{
    static QMutex lock;
    static std::map<QString, bool> known;
    const QString key = font.key() + QLatin1Char('@') + QString::number(pixelSize);
    {
        QMutexLocker hold(&lock);
        const auto it = known.find(key);
        if (it != known.end())
            return it->second;
    }
    const QString text = AllDigitPairs();
    QTextLayout layout(text, font, device);
    QTextOption option;
    option.setWrapMode(QTextOption::NoWrap);
    layout.setTextOption(option);
    layout.beginLayout();
    QTextLine line = layout.createLine();
    layout.endLayout();
    bool alone = line.isValid();
    const QList<QGlyphRun> runs = alone ? layout.glyphRuns() : QList<QGlyphRun>();
    alone = alone && runs.size() == 1;
    if (alone) {
        const QList<quint32> indexes = runs[0].glyphIndexes();
        const QList<QPointF> positions = runs[0].positions();
        alone = indexes.size() == text.size() && positions.size() == text.size();
        qreal x = positions.isEmpty() ? 0 : positions[0].x();
        const qreal y = positions.isEmpty() ? 0 : positions[0].y();
        for (qsizetype i = 0; alone && i < text.size(); ++i) {
            const int d = text[i].unicode() - '0';
            alone = indexes[i] == glyphs[d] && positions[i] == QPointF(x, y);
            x += advances[d];
        }
    }
    QMutexLocker hold(&lock);
    known.emplace(key, alone);
    return alone;
}

} // namespace

TCaptionGlyphs::TCaptionGlyphs(const QFont &font, QPaintDevice *device)
{
    const QFont resolved(font, device);
    if (resolved.underline() || resolved.overline() || resolved.strikeOut())
        return;
    FRaw = QRawFont::fromFont(resolved);
    if (!FRaw.isValid())
        return;
    const QList<quint32> glyphs = FRaw.glyphIndexesForString(QStringLiteral("0123456789"));
    if (glyphs.size() != 10)
        return;
    const QList<QPointF> advances = FRaw.advancesForGlyphIndexes(glyphs);
    for (int d = 0; d < 10; ++d) {
        if (glyphs[d] == 0)
            return; // a digit the font lacks: drawText would take another font
        FGlyph[d] = glyphs[d];
        FAdvance[d] = advances[d].x();
        // Smoothing and the placing within a pixel reach beyond the
        // outline's box: three pixels on each side are more than either.
        FInk[d] = FRaw.boundingRect(glyphs[d]).adjusted(-3, -3, 3, 3);
    }
    FAscent = FRaw.ascent();
    FRun.setRawFont(FRaw);
    FUsable = LaysOutAlone(resolved, device, FRaw.pixelSize(), FGlyph, FAdvance);
}

bool TCaptionGlyphs::Draw(QPainter &painter, const QRect &box, const QString &caption,
                          const QRect &clip) const
{
    if (!FUsable || caption.isEmpty() || caption.size() > MaxDigits)
        return false;
    for (const QChar c : caption)
        if (c.unicode() < u'0' || c.unicode() > u'9')
            return false;
    const QPointF origin(box.x(), box.y() + FAscent);
    const QRectF seen(clip);
    qreal x = 0;
    int shown = 0;
    for (const QChar c : caption) {
        const int d = c.unicode() - u'0';
        if (FInk[d].translated(origin.x() + x, origin.y()).intersects(seen)) {
            FGlyphs[shown] = FGlyph[d];
            FPositions[shown] = QPointF(x, 0);
            ++shown;
        }
        x += FAdvance[d];
    }
    if (shown > 0) {
        FRun.setRawData(FGlyphs, FPositions, shown);
        painter.drawGlyphRun(origin, FRun);
    }
    return true;
}
