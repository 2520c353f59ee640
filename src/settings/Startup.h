#pragma once
#include <QString>

#include "settings/GatewaySettings.h"
#include "settings/SettingsTarget.h"

namespace selvane {

// The settings file, relative to the current working directory.
inline const QString kSettingsFileName = QStringLiteral("Selvane.ini");

// The settings file: read once when the main window is created, written once
// when it is closed. Between the two the controls are the live settings.
class SettingsStore {
public:
    explicit SettingsStore(QString iniPath = kSettingsFileName);

    // Reads the file and applies its values to the controls, each step in
    // turn: texts; main window left/top/width; chkLog; telemetry window mode;
    // telemetry window height/top/left; chkForward; chkReverse; chkTlm; via
    // form. Every failure (file missing or unreadable, data ending early, a
    // number out of range, a control refusing a value) rewrites the file with
    // the default record and start-up goes on with the next step; the values
    // not read stay empty text and 0. A missing file is first replaced by the
    // defaults and read again. When the file can be neither read nor written
    // (a read-only folder) the default record's values are applied all the
    // same. Nothing here shows a message. Returns false when the defaults
    // replaced (or had to replace) what the file held.
    bool LoadSettings(ISettingsTarget& target);

    // Replaces the file with one record of the given values. A file that
    // cannot be written is left as it was, silently (the program is closing).
    void SaveSettings(const GatewaySettings& settings);

    const QString& path() const { return m_path; }

private:
    GatewaySettings readValues();
    void rewriteDefaults();

    QString m_path;
    bool m_replaced = false;
};

// The directory of the daily logs and the telemetry history, relative to the
// current working directory.
QString LogsDirectoryPath();

// Makes sure an entry "Logs" exists in the working directory (empty: the
// current one), creating the directory when there is none. A plain file of
// that name counts as present and is left alone. False when looking or
// creating fails; the caller then shows the Logs error message and goes on.
bool EnsureLogsDirectory(const QString& workingDir = QString());

} // namespace selvane
