#pragma once
#include <QByteArray>
#include <QString>

#include <optional>

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
    // form. Every failure (data ending before field 16, a number out of
    // range, a control refusing a value) replaces the file with the default
    // record and start-up goes on with the next step; the values not read
    // stay empty text and 0. The damaged file is first kept as
    // "Selvane.ini.damaged" (".2", ".3", ... beside older copies); when no
    // copy can be made, the file is left as it is and not written at exit.
    // A missing file is replaced by the defaults, which are applied. A path
    // that is not a regular file (a device, a FIFO, a socket, a directory,
    // a link to one of them or to nothing), a file too large to be a record
    // or one that cannot be read is never touched: the defaults are applied
    // and problem() says why. Returns false when the defaults replaced (or
    // had to replace) what the file held.
    bool LoadSettings(ISettingsTarget& target);

    // Replaces the file with one record of the given values, unless the
    // file is to be left alone (see problem()). A file that cannot be
    // written is left as it was, silently (the program is closing).
    void SaveSettings(const GatewaySettings& settings);

    const QString& path() const { return m_path; }

    // Why the file is neither used nor written, for the user; empty when
    // all is well.
    const QString& problem() const { return m_problem; }
    // Where the last LoadSettings kept a damaged file; empty when it kept
    // none.
    const QString& keptCopy() const { return m_keptCopy; }

private:
    GatewaySettings readValues();
    void replaceDamaged();
    void leaveAlone(const QString& why);

    QString m_path;
    QByteArray m_read;   // what the file held, for the copy of a damaged one
    QString m_problem;
    QString m_keptCopy;
    bool m_replaced = false;
    bool m_leaveAlone = false;
};

// Keeps the bytes of a damaged settings file beside it, as path +
// ".damaged", or ".damaged.2", ".damaged.3" ... when older copies are there
// (never over anything that exists). The copy's path, or nullopt when none
// could be made.
std::optional<QString> KeepDamagedCopy(const QString& path, const QByteArray& bytes);

// The directory of the daily logs and the telemetry history, relative to the
// current working directory.
QString LogsDirectoryPath();

// Makes sure an entry "Logs" exists in the working directory (empty: the
// current one), creating the directory when there is none. A plain file of
// that name counts as present and is left alone. False when looking or
// creating fails; the caller then shows the Logs error message and goes on.
bool EnsureLogsDirectory(const QString& workingDir = QString());

} // namespace selvane
