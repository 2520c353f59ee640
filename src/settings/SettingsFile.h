#pragma once
#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>

#include "settings/GatewaySettings.h"

namespace selvane {

// "Selvane.ini": one record of comma-separated fields, single-byte text.
//
// Reading rules:
// - Fields are taken in order. A comma ends a field, and so does a line end
//   (CR LF, LF or CR alone), so a record may be spread over several lines.
// - Spaces before a field are skipped, and so are line ends: a line end
//   that follows a comma or another line end begins no empty field, so
//   "1,\r\n2" and "1\r\n\r\n2" are two fields, like "1,2". (An empty
//   field is ",," or "".)
// - A field that starts with a double quote is the text up to the next
//   double quote (line ends included); anything between the closing quote
//   and the next comma or line end is ignored. An unquoted field runs to the
//   next comma or line end.
// - A field is missing (the data ended) when nothing but spaces and line
//   ends is left where it starts. A record that ends after field 16 is
//   whole (field 17 then reads as 0): the default record is such a one, and
//   so is every record a user made from it.
// - Number fields (7-17): spaces around the number are ignored; the number is
//   an optional sign, digits with an optional "." fraction, and an optional
//   exponent; a quoted number is read the same way. An empty field reads
//   as 0. Anything else (letters, "12abc", inf, nan) is a failure at that
//   field.
// - Integer fields (7-11, 13-17): a fraction is rounded to the nearest whole
//   number, a half to the even one (2.5 -> 2, 3.5 -> 4, -0.5 -> 0), and the
//   result must lie in -32768..32767, otherwise the field fails.
// - Field 12 takes any finite number.
// - After the 17th field an optional 18th field chooses the engine profile:
//   1 Dire Wolf-compatible (the value that once chose the text via form, so
//   such files keep working), 2 AGW Packet Engine; anything else (0, text,
//   an empty or missing field) means automatic. An optional 19th field of 1
//   turns "Riconnetti automaticamente" on. Neither is ever a failure.

inline constexpr int kSettingsFieldCount = 17;
// With the two optional fields (engine profile, reconnecting).
inline constexpr int kSettingsMaxFieldCount = 19;
// A settings record is well under a kilobyte; a far larger file is not one.
// It is not read at all, so a stray huge file cannot exhaust memory.
inline constexpr qint64 kMaxSettingsFileBytes = 1 << 20;

// The outcome of reading a record. On a failure at field k, fields 1..k-1
// hold what was read and fields k..17 keep their starting values (empty
// text, 0, automatic profile, no reconnecting).
struct SettingsReadResult {
    GatewaySettings values; // starts with empty texts and zeros
    int failedField = 0;    // 0: the record was read whole (16 fields or more)

    bool ok() const { return failedField == 0; }
};

SettingsReadResult ParseSettingsRecord(const QByteArray& data);

// One field of a record as the reading rules above cut it out, with what a
// strict reader needs to judge it.
struct SettingsFieldText {
    QByteArray text;        // between the quotes, or up to the separator
    int line = 1;           // the line of the file it starts on (1-based)
    bool unterminated = false; // a quote opened and never closed
    QByteArray afterQuote;  // what stood between the closing quote and the separator
};

// The fields of a record in order, at most maxFields of them; *lastLine is
// the line of the last one (1 when there is none).
QList<SettingsFieldText> SplitSettingsRecord(const QByteArray& data, int maxFields, int* lastLine = nullptr);

// A number field's text as the reading rules take it (spaces around it
// ignored, empty = 0); nullopt when it is no number.
std::optional<double> ParseSettingsNumber(const QByteArray& text);

// The record written when the file is missing or bad: 16 values (it stops
// after field 16), then CR LF.
QByteArray DefaultSettingsRecord();

// What the default record reads as: fields 1-16 the defaults, field 17 (and
// the optional fields) their starting values.
GatewaySettings DefaultSettings();

// One record of 17 fields, then the 18th field (profile) only when it is not
// automatic or the 19th is written, the 19th ("1") only when reconnecting is
// on, then CR LF. Texts are quoted; numbers are plain decimals with "." and no
// fraction when whole. See the .cpp for how unstorable values are handled.
QByteArray FormatSettingsRecord(const GatewaySettings& settings);

} // namespace selvane
