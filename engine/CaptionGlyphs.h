#pragma once

// Captions of digits only, as the expert numbers the pieces of a picture
// puzzle, drawn from the glyphs of the ten digits: the same pixels that
// QPainter::drawText gives for a caption written from the top-left corner
// of its box, without laying each number out anew (which is most of what a
// caption costs). It is used only for a font whose digits, laid out
// together, each keep their own advance and glyph (no kerning, no
// ligatures, no fallback font) and that draws no lines through or under
// them; anything else is left to drawText.
//
// The glyphs belong to the thread that made them: one per thread that
// draws.

#include <QFont>
#include <QGlyphRun>
#include <QPainter>
#include <QRawFont>
#include <QRect>
#include <QString>

class TCaptionGlyphs
{
public:
    // For captions in font on device (its resolution sets the pixel size).
    TCaptionGlyphs(const QFont &font, QPaintDevice *device);
    bool Usable() const { return FUsable; }
    // Draws caption from the top-left of box as drawText with AlignLeft |
    // AlignTop | TextSingleLine | TextDontClip would, with the painter's pen
    // and clip, which is clip; false (and nothing drawn) when it cannot.
    // Digits that would fall wholly outside clip are left out: on a small
    // piece most of a long number does.
    bool Draw(QPainter &painter, const QRect &box, const QString &caption, const QRect &clip) const;

private:
    QRawFont FRaw;
    // One run, reused: it points into the arrays below for each caption.
    static constexpr int MaxDigits = 32;
    mutable QGlyphRun FRun;
    mutable quint32 FGlyphs[MaxDigits] = {};
    mutable QPointF FPositions[MaxDigits];
    quint32 FGlyph[10] = {};
    qreal FAdvance[10] = {};
    QRectF FInk[10]; // each digit's ink about its origin, with room to spare
    qreal FAscent = 0;
    bool FUsable = false;
};
