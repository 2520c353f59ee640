#include "common/TextRules.h"

#include <cmath>

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

QString TrimBlanks(const QString& text)
{
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && text[first] == QLatin1Char(' '))
        ++first;
    while (last > first && text[last - 1] == QLatin1Char(' '))
        --last;
    return text.mid(first, last - first);
}

double RoundHalfEven(double v)
{
    const double lower = std::floor(v);
    const double diff = v - lower;
    if (diff > 0.5)
        return lower + 1.0;
    if (diff < 0.5)
        return lower;
    return std::fmod(lower, 2.0) == 0.0 ? lower : lower + 1.0;
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

QString OneLine(const QString& text)
{
    QString line;
    line.reserve(text.size());
    for (QChar c : text) {
        if (c == QLatin1Char('\r') || c == QLatin1Char('\n') || c == QChar(0))
            line += QStringLiteral("<0x%1>").arg(c.unicode(), 2, 16, QLatin1Char('0'));
        else
            line += c;
    }
    return line;
}

} // namespace selvane
