#include "settings/Startup.h"

#include <QDir>
#include <QFileInfo>

#include <utility>

#include "settings/SettingsFile.h"

namespace selvane {

SettingsStore::SettingsStore(QString iniPath) : m_path(std::move(iniPath)) {}

void SettingsStore::rewriteDefaults()
{
    m_replaced = true;
    // A folder that refuses the write leaves the file as it is; start-up
    // goes on regardless and the next normal exit tries again.
    WriteSettingsFile(m_path, DefaultSettingsRecord());
}

GatewaySettings SettingsStore::readValues()
{
    std::optional<QByteArray> data = ReadSettingsFile(m_path);
    if (!data) {
        // Missing (or unreadable): put the defaults in place and read again.
        rewriteDefaults();
        data = ReadSettingsFile(m_path);
        // Still nothing (the defaults could not be written): read the
        // default record itself, so the controls get exactly what a
        // successful first start gives them rather than empty values.
        if (!data)
            data = DefaultSettingsRecord();
    }
    const SettingsReadResult result = ParseSettingsRecord(*data);
    // The default record itself stops before field 17; a file holding
    // exactly it is what a first start wrote, not a damaged one, and
    // rewriting it would change nothing.
    if (!result.ok() && *data != DefaultSettingsRecord())
        rewriteDefaults();
    return result.values;
}

bool SettingsStore::LoadSettings(ISettingsTarget& target)
{
    m_replaced = false;
    const GatewaySettings v = readValues();

    // Each step is applied even when an earlier one was refused.
    const auto step = [this](bool accepted) {
        if (!accepted)
            rewriteDefaults();
    };
    step(target.applyTexts(v));
    step(target.applyMainWindow(v.mainLeft, v.mainTop, v.mainWidth));
    step(target.applyDailyLog(v.dailyLog));
    // After the mode, so a shown telemetry window is moved and sized while
    // visible.
    step(target.applyTelemetryMode(v.tlmWindowMode));
    step(target.applyTelemetryWindow(v.tlmHeight, v.tlmTop, v.tlmLeft));
    // chkForward also checks chkTlm; applying chkTlm last leaves the stored
    // value on it.
    step(target.applyGateToOut(v.gateToOut));
    step(target.applyGateToSats(v.gateToSats));
    step(target.applyGateTelemetry(v.gateTelemetry));
    step(target.applyEngineChoice(v.engine));
    step(target.applyAutoReconnect(v.autoReconnect));
    return !m_replaced;
}

void SettingsStore::SaveSettings(const GatewaySettings& settings)
{
    WriteSettingsFile(m_path, FormatSettingsRecord(settings));
}

QString LogsDirectoryPath()
{
    return QStringLiteral("Logs");
}

bool EnsureLogsDirectory(const QString& workingDir)
{
    const QDir dir(workingDir.isEmpty() ? QStringLiteral(".") : workingDir);
    const QFileInfo entry(dir.filePath(LogsDirectoryPath()));
    // Any entry of that name will do, even a plain file or a dangling link.
    if (entry.exists() || entry.isSymLink())
        return true;
    return dir.mkdir(LogsDirectoryPath());
}

} // namespace selvane
