#include "Fields.h"

#include "ZarvoError.h"

#include <climits>

namespace {
// An optional sign and decimal digits that fit an int; nothing else.
bool ParseStrictInt(QStringView t, int &result)
{
    qsizetype i = 0;
    bool negative = false;
    if (!t.isEmpty() && (t[0] == QLatin1Char('-') || t[0] == QLatin1Char('+'))) {
        negative = t[0] == QLatin1Char('-');
        i = 1;
    }
    if (i >= t.size())
        return false;
    qint64 value = 0;
    for (; i < t.size(); ++i) {
        const char16_t c = t[i].unicode();
        if (c < u'0' || c > u'9')
            return false;
        value = value * 10 + (c - u'0');
        if (value > qint64(INT_MAX) + 1)
            return false;
    }
    if (negative)
        value = -value;
    if (value < INT_MIN || value > INT_MAX)
        return false;
    result = int(value);
    return true;
}

EConvertError NoInteger(QStringView shown)
{
    return EConvertError(QStringLiteral("'%1' ist kein gültiger Integerwert").arg(shown));
}
} // namespace

QStringView TrimmedField(QStringView text)
{
    qsizetype a = 0, b = text.size();
    while (a < b && IsTrimmed(text[a]))
        ++a;
    while (b > a && IsTrimmed(text[b - 1]))
        --b;
    return text.mid(a, b - a);
}

QStringView TFieldCursor::Next()
{
    if (FLast)
        return FField;
    const qsizetype len = FText.size();
    qsizetype end = FStart;
    if (FSeparators.size() == 1) {
        end = FText.indexOf(FSeparators[0], FStart);
        if (end < 0)
            end = len;
    } else {
        while (end < len && !FSeparators.contains(FText[end]))
            ++end;
    }
    FField = FText.mid(FStart, end - FStart);
    // The last field when the text ends here or the separator found is the
    // text's last character.
    FLast = end >= len - 1;
    FStart = end + 1;
    return FField;
}

QString GetField(const QString &text, int n, const QString &separators)
{
    if (text.isEmpty())
        return QString();
    TFieldCursor fields(text, separators);
    QStringView field = fields.Next();
    for (int k = 1; k < n && !fields.AtLast(); ++k)
        field = fields.Next();
    return TrimmedField(field).toString();
}

QStringList SplitFields(const QString &text, const QString &separators)
{
    QStringList out;
    TFieldCursor fields(text, separators);
    do
        out << TrimmedField(fields.Next()).toString();
    while (!fields.AtLast());
    return out;
}

int StrToIntStrict(QStringView text)
{
    int value = 0;
    if (!ParseStrictInt(text.trimmed(), value))
        throw NoInteger(text);
    return value;
}

int FieldToInt(QStringView field)
{
    const QStringView t = TrimmedField(field);
    int value = 0;
    if (!ParseStrictInt(t, value))
        throw NoInteger(t);
    return value;
}
