#pragma once
#include <QString>
#include <QStringList>

namespace selvane {

// Setting up the gateway without a window: "selvaned --set NAME=VALUE ..."
// and "selvaned --show" on the Selvane.ini of a folder. The names are those
// of SettingsCheck.cpp's table (via, call, sats, out, dup, address, logs,
// tlm-mode, gate-to-out, gate-to-sats, gate-telemetry, profile, reconnect);
// the values are written as the file holds them (0 or 1 for a check box).
//
// --set checks every value by the rules of the strict reading, then changes
// only the named fields and keeps every other one; a missing file starts
// from the default record. The result is written only when the whole record
// is then valid: a damaged file that the changes do not mend is refused with
// the field at fault, and one they mend is written whole. While the window
// program works in the folder (it writes Selvane.ini when it closes) --set
// is refused; a running selvaned is told nothing and applies the new file on
// SIGHUP.
//
// --show prints the named values of a valid file (the defaults when there is
// none), one "name=value" a line, after the changes of --set when both are
// given.
struct SettingsCommandResult {
    int exitStatus = 0; // 0 done; 2 a bad value or a damaged or unusable file; 1 the folder
    QString out;        // --show's lines
    QString err;        // what was done, or why not, one message a line
};

SettingsCommandResult RunSettingsCommand(const QString& folder, const QStringList& assignments, bool show);

} // namespace selvane
