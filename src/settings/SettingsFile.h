#pragma once
#include <QByteArray>
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
//   ends is left where it starts.
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

// The outcome of reading a record. On a failure at field k, fields 1..k-1
// hold what was read and fields k..17 keep their starting values (empty
// text, 0, automatic profile, no reconnecting).
struct SettingsReadResult {
    GatewaySettings values; // starts with empty texts and zeros
    int failedField = 0;    // 0: all 17 fields were read

    bool ok() const { return failedField == 0; }
};

SettingsReadResult ParseSettingsRecord(const QByteArray& data);

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

// Reads the whole file; nullopt when it cannot be opened for reading.
std::optional<QByteArray> ReadSettingsFile(const QString& path);

// Replaces the file's contents with the bytes; false when that fails (the
// previous contents are then kept whenever possible).
bool WriteSettingsFile(const QString& path, const QByteArray& bytes);

} // namespace selvane
