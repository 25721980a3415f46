#pragma once

// Fields and numbers of the game's text files: the field rule of puzzle
// files, piece types and history entries, strict integers, and the floor
// division that turns pixels into cells.

#include <QString>
#include <QStringList>
#include <QStringView>

// Blanks and control characters, which the field rule trims.
inline bool IsTrimmed(QChar c)
{
    return c.unicode() <= 0x20;
}

// text without leading and trailing blanks and control characters.
QStringView TrimmedField(QStringView text);

// Division rounding toward minus infinity: the cell of a position left of or
// above the playing field is negative, not 0.
inline int FloorDiv(int a, int b)
{
    const int q = a / b;
    return (a % b != 0 && ((a < 0) != (b < 0))) ? q - 1 : q;
}

// Walks the fields of a text one after the other by the field rule: fields
// end at any character of separators, and a separator at the very end of the
// text opens no new field. Past the last field Next gives the last again.
class TFieldCursor
{
public:
    TFieldCursor(QStringView text, QStringView separators) : FText(text), FSeparators(separators) {}
    // The next field, untrimmed.
    QStringView Next();
    // The field Next gave last was the text's last one.
    bool AtLast() const { return FLast; }

private:
    QStringView FText, FSeparators;
    qsizetype FStart = 0;
    QStringView FField;
    bool FLast = false;
};

// Field n (1-based) of text, trimmed of blanks and control characters;
// beyond the last field the last field; an empty text gives an empty field.
QString GetField(const QString &text, int n, const QString &separators = QStringLiteral(","));
// Every field of text by the same rule, trimmed.
QStringList SplitFields(const QString &text, const QString &separators = QStringLiteral(","));

// Strict integer conversion (an optional sign and decimal digits, within
// int); text is trimmed of white space. Throws EConvertError.
int StrToIntStrict(QStringView text);
inline int StrToIntStrict(const QString &text)
{
    return StrToIntStrict(QStringView(text));
}
// The same for a field, trimmed of blanks and control characters, without
// copying it (a board of 30,000 pieces has 60,000 fields per history entry).
int FieldToInt(QStringView field);
