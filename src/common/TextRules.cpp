#include "common/TextRules.h"

namespace selvane {

QString Mid(const QString& text, qsizetype p, qsizetype n)
{
    if (p < 1)
        p = 1;
    const qsizetype start = p - 1;
    if (start >= text.size() || n == 0)
        return {};
    if (n < 0)
        return text.mid(start);
    return text.mid(start, n);
}

namespace {
// Parses the leading number; returns the count of characters consumed that
// belong to digits (0 when no number is present).
double ParseLeading(const QString& text, bool* found)
{
    QString compact;
    compact.reserve(text.size());
    for (QChar c : text)
        if (c != QLatin1Char(' '))
            compact.append(c);
    qsizetype i = 0;
    double sign = 1.0;
    if (i < compact.size() && (compact[i] == QLatin1Char('-') || compact[i] == QLatin1Char('+'))) {
        if (compact[i] == QLatin1Char('-'))
            sign = -1.0;
        ++i;
    }
    double value = 0.0;
    bool digits = false;
    while (i < compact.size() && compact[i] >= QLatin1Char('0') && compact[i] <= QLatin1Char('9')) {
        value = value * 10.0 + (compact[i].unicode() - '0');
        digits = true;
        ++i;
    }
    if (i < compact.size() && compact[i] == QLatin1Char('.')) {
        ++i;
        double scale = 0.1;
        while (i < compact.size() && compact[i] >= QLatin1Char('0') && compact[i] <= QLatin1Char('9')) {
            value += scale * (compact[i].unicode() - '0');
            scale /= 10.0;
            digits = true;
            ++i;
        }
    }
    if (found)
        *found = digits;
    return digits ? sign * value : 0.0;
}
} // namespace

double NumericValue(const QString& text)
{
    return ParseLeading(text, nullptr);
}

bool HasNumericValue(const QString& text)
{
    bool found = false;
    ParseLeading(text, &found);
    return found;
}

QByteArray ToSingleByte(const QString& text)
{
    QByteArray out;
    out.reserve(text.size());
    for (QChar c : text)
        out.append(c.unicode() < 256 ? char(c.unicode()) : '?');
    return out;
}

QString FromSingleByte(const QByteArray& bytes)
{
    return QString::fromLatin1(bytes);
}

} // namespace selvane
