#pragma once
#include <QByteArray>
#include <QString>

namespace selvane {

// Characters from 1-based position p, at most n of them (n < 0: to the end).
// Positions past the end give fewer characters or none, never an error.
QString Mid(const QString& text, qsizetype p, qsizetype n = -1);

// Value of the longest leading part of the text that reads as a decimal number
// (optional sign, digits, optional point and digits; blanks are ignored);
// 0 when there is none. "045" -> 45, "7,1" -> 7, "-1*" -> -1, "-" -> 0.
double NumericValue(const QString& text);

// Whether the text has such a leading number at all (same rules).
bool HasNumericValue(const QString& text);

// The text without blanks at either end (only blanks: tabs and other
// characters are kept).
QString TrimBlanks(const QString& text);

// Nearest whole number, a half going to the even neighbour (2.5 -> 2,
// 3.5 -> 4, 7972.5 -> 7972).
double RoundHalfEven(double v);

// Single-byte text: every character is one byte (Latin-1); characters that
// have no single-byte form become '?'.
QByteArray ToSingleByte(const QString& text);
QString FromSingleByte(const QByteArray& bytes);

// The text on one line, for lists and log records whose layout is one line
// per field: CR, LF and NUL are written as "<0x0d>", "<0x0a>", "<0x00>".
// Other bytes, control characters included (Mic-E positions use them), are
// kept as they are.
QString OneLine(const QString& text);

} // namespace selvane
