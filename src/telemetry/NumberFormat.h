#pragma once
#include <QString>
#include <QStringView>

namespace selvane {

// Writes a single-precision value with a display pattern:
//   '0'  a digit that is always written,
//   '#'  a digit written only when significant,
//   '.'  the decimal point (the first one; later ones are copied as text),
//   any other character is copied unchanged.
// All integer digits of the value are written, however few placeholders stand
// left of the point. The value is rounded to as many decimals as the pattern
// has placeholders right of the point, halves away from zero, working from
// the decimal form of the value to 7 significant digits (so 0.145f, stored as
// 0.14499999..., counts as 0.145 and gives .15). Trailing decimals written by
// '#' are dropped when they are 0. A negative value gets '-' before its
// digits, also when it rounds to zero: -0.4 with "##0mA" gives "-0mA".
//   FormatNumber(50.64f, u"##0mA")        -> "51mA"
//   FormatNumber(14.9f, u" BattB=##.0#V") -> " BattB=14.9V"
//   FormatNumber(0.89f, u" Tx=#.0#W")     -> " Tx=.89W"
// Infinite and NaN values (never produced by the telemetry formulas) are
// written as "Inf", "-Inf" and "NaN" in place of the number (no decimals).
QString FormatNumber(float value, QStringView pattern);

} // namespace selvane
