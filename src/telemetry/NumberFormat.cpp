#include "telemetry/NumberFormat.h"

#include <cmath>
#include <cstdio>
#include <string>

namespace selvane {

namespace {

bool IsPlaceholder(QChar c)
{
    return c == QLatin1Char('0') || c == QLatin1Char('#');
}

// A value as decimal digits: value = 0.d1d2d3... * 10^pointPos, i.e. the first
// pointPos digits are the integer part (pointPos may be <= 0 or beyond the
// digits, which then continue with zeros).
struct Decimal {
    std::string digits; // no leading zeros unless the value is 0 ("")
    int pointPos = 0;
    bool negative = false;
};

// The 7-significant-digit decimal form of a float, rounded half away from zero
// to `decimals` decimal places.
Decimal RoundedDecimal(float value, int decimals)
{
    Decimal d;
    d.negative = std::signbit(value);
    if (value == 0.0f)
        return d;
    char buf[32];
    // d.dddddde±XX: the exact float rounded to 7 significant digits.
    std::snprintf(buf, sizeof buf, "%.6e", std::fabs(static_cast<double>(value)));
    std::string mantissa;
    const char* p = buf;
    for (; *p && *p != 'e'; ++p)
        if (*p >= '0' && *p <= '9')
            mantissa.push_back(*p);
    const int exponent = (*p == 'e') ? std::atoi(p + 1) : 0;
    d.digits = mantissa;
    d.pointPos = exponent + 1;

    // Digits kept: the integer ones plus the wanted decimals.
    const int keep = d.pointPos + decimals;
    if (keep >= static_cast<int>(d.digits.size()))
        return d; // already exact at that precision
    if (keep < 0) {
        d.digits.clear(); // far below half of the last place
        return d;
    }
    const bool roundUp = d.digits[static_cast<size_t>(keep)] >= '5';
    d.digits.resize(static_cast<size_t>(keep));
    if (roundUp) {
        int i = keep - 1;
        for (; i >= 0; --i) {
            if (d.digits[static_cast<size_t>(i)] == '9') {
                d.digits[static_cast<size_t>(i)] = '0';
            } else {
                ++d.digits[static_cast<size_t>(i)];
                break;
            }
        }
        if (i < 0) { // carry out of the first digit: 9.99 -> 10.0
            d.digits.insert(d.digits.begin(), '1');
            ++d.pointPos;
        }
    }
    // Leading zeros never remain (the mantissa starts with 1..9, or a carry
    // added a 1); an all-dropped value is zero.
    if (d.digits.find_first_not_of('0') == std::string::npos)
        d.digits.clear();
    return d;
}

char DigitAt(const Decimal& d, int index) // index 0 = first digit of 0.d1d2...
{
    if (index < 0 || index >= static_cast<int>(d.digits.size()))
        return '0';
    return d.digits[static_cast<size_t>(index)];
}

} // namespace

QString FormatNumber(float value, QStringView pattern)
{
    // Split the pattern around its first decimal point.
    qsizetype point = -1;
    qsizetype firstPlaceholder = -1;
    for (qsizetype i = 0; i < pattern.size(); ++i) {
        const QChar c = pattern[i];
        if (c == QLatin1Char('.') && point < 0) {
            point = i;
            if (firstPlaceholder < 0)
                firstPlaceholder = i;
        } else if (IsPlaceholder(c) && firstPlaceholder < 0) {
            firstPlaceholder = i;
        }
    }
    if (firstPlaceholder < 0)
        return pattern.toString(); // no number field: the text alone

    int decimals = 0;
    int minIntegerDigits = 0;
    for (qsizetype i = 0; i < pattern.size(); ++i) {
        if (!IsPlaceholder(pattern[i]))
            continue;
        if (point >= 0 && i > point)
            ++decimals;
        else if (pattern[i] == QLatin1Char('0'))
            ++minIntegerDigits;
    }

    QString numberText; // sign and integer digits, written at the first placeholder
    QString fraction;   // decimal digits, one per placeholder right of the point
    if (!std::isfinite(value)) {
        numberText = std::isnan(value) ? QStringLiteral("NaN")
                                       : (value < 0 ? QStringLiteral("-Inf") : QStringLiteral("Inf"));
        decimals = 0;
    } else {
        const Decimal d = RoundedDecimal(value, decimals);
        const bool isZero = d.digits.empty();
        QString integerDigits;
        if (!isZero)
            for (int i = 0; i < d.pointPos; ++i)
                integerDigits.append(QLatin1Char(DigitAt(d, i)));
        while (integerDigits.size() < minIntegerDigits)
            integerDigits.prepend(QLatin1Char('0'));
        // Every value below zero keeps its sign, even one that rounds to
        // zero (-0.4 gives "-0mA"); only zero itself, -0.0 included, has none.
        if (value < 0.0f)
            numberText = QStringLiteral("-");
        numberText += integerDigits;
        for (int k = 0; k < decimals; ++k)
            fraction.append(QLatin1Char(isZero ? '0' : DigitAt(d, d.pointPos + k)));
    }

    // Trailing decimals of '#' placeholders are dropped while they are 0.
    int keptDecimals = decimals;
    if (point >= 0 && std::isfinite(value)) {
        qsizetype i = pattern.size() - 1;
        int k = decimals - 1;
        for (; i > point && k >= 0; --i) {
            if (!IsPlaceholder(pattern[i]))
                continue;
            if (pattern[i] != QLatin1Char('#') || fraction[k] != QLatin1Char('0'))
                break;
            keptDecimals = k;
            --k;
        }
    }

    QString out;
    out.reserve(pattern.size() + numberText.size() + 4);
    int fractionIndex = 0;
    bool numberWritten = false;
    for (qsizetype i = 0; i < pattern.size(); ++i) {
        const QChar c = pattern[i];
        if (i == firstPlaceholder) {
            out += numberText;
            numberWritten = true;
        }
        if (c == QLatin1Char('.') && i == point) {
            if (std::isfinite(value))
                out.append(c);
        } else if (IsPlaceholder(c)) {
            if (point >= 0 && i > point) {
                if (fractionIndex < keptDecimals)
                    out.append(fraction[fractionIndex]);
                ++fractionIndex;
            }
            // integer placeholders: the digits were written with numberText
        } else {
            out.append(c);
        }
    }
    if (!numberWritten)
        out += numberText;
    return out;
}

} // namespace selvane
