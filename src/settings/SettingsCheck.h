#pragma once
#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>

#include "settings/GatewaySettings.h"
#include "settings/SettingsFile.h"

namespace selvane {

// The strict reading of "Selvane.ini", for the gateway without windows: a
// file a person edited is either taken exactly as written or refused with
// the line and the field at fault, never half read and never replaced. The
// window keeps the forgiving reading of SettingsFile.h.
//
// A record is valid when it has 16 or 17 fields, plus the optional 18th and
// 19th, each one whole (no quote left open, nothing after a closing quote,
// no control character) and valid for its field:
//   1 Via       via entries separated by commas, or nothing
//   2 Call      a call sign, or nothing (the first start's value)
//   3 Sats, 4 Out   port digits and commas
//   5 Dup       a whole number of seconds, 0..32767
//   6 IP        a host name or address
//   7-9, 13, 14 window places and sizes in twips, whole numbers -32768..32767
//   10, 15, 16, 17, 19  check boxes, 0 or 1
//   11, 18      0, 1 or 2 (telemetry window mode, engine profile)
//   12          any number
// A call sign (and each via entry) is letters, digits and "-", at most 9.

// One field of the record.
struct SettingsFieldInfo {
    int number;          // 1-based position in the record
    const char* label;   // for messages: the control's caption or what it holds
    const char* name;    // for --set and --show; nullptr when it has none
};

// The 19 fields in file order.
const QList<SettingsFieldInfo>& SettingsFields();
// The field of a --set/--show name, nullptr when there is none.
const SettingsFieldInfo* SettingsFieldByName(const QString& name);
// The field's label for the user; "" beyond field 19.
QString SettingsFieldLabel(int number);

// What is wrong with the text of field `field` (1..19) as a value, for the
// user ("'yes' non è 0 o 1"); empty when it is valid.
QString SettingsValueProblem(int field, const QByteArray& text);

// The first field at fault in a record.
struct SettingsFault {
    int line = 1;    // of the file
    int field = 0;   // 1-based; 20 for a field too many
    QString problem; // what is wrong, the value shown
};

// "riga 1, campo 15 (Gate to Out): 'yes' non è 0 o 1".
QString SettingsFaultText(const SettingsFault& fault);

// The first fault of the fields (SplitSettingsRecord with at least
// kSettingsMaxFieldCount + 1 fields), nullopt when the record is valid.
std::optional<SettingsFault> CheckSettingsFields(const QList<SettingsFieldText>& fields, int lastLine);
std::optional<SettingsFault> CheckSettingsRecord(const QByteArray& data);

// "Selvane.ini" read strictly. Only a regular file is opened (a device, a
// FIFO, a socket, a directory or a link to one is refused without being
// touched), at most kMaxSettingsFileBytes of it.
struct StrictSettingsLoad {
    enum class Outcome {
        Read,     // the file is valid: values are its values
        Created,  // it was missing and now holds the default record
        Refused,  // missing, damaged or not a regular file: nothing changed
    };
    Outcome outcome = Outcome::Refused;
    GatewaySettings values;
    QString message; // Created: that it was made; Refused: why. Names the file.
};

// Reads the file; a missing one is created with the default record when
// createWhenMissing is set, else refused.
StrictSettingsLoad LoadSettingsStrictly(const QString& path, bool createWhenMissing);

} // namespace selvane
