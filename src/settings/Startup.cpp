#include "settings/Startup.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include <utility>

#include "common/SafeFile.h"
#include "settings/SettingsFile.h"

namespace selvane {

SettingsStore::SettingsStore(QString iniPath) : m_path(std::move(iniPath)) {}

void SettingsStore::leaveAlone(const QString& why)
{
    m_replaced = true;
    m_leaveAlone = true;
    m_problem = QCoreApplication::translate(
                    "Settings", "%1: %2\nSelvane parte con le impostazioni predefinite e all'uscita non scrive questo file.")
                    .arg(QDir::toNativeSeparators(m_path), why);
}

void SettingsStore::replaceDamaged()
{
    m_replaced = true;
    // Once per start: the first failure keeps the copy and writes the
    // defaults; later ones find them already there.
    if (m_leaveAlone || !m_keptCopy.isEmpty())
        return;
    const std::optional<QString> copy = KeepDamagedCopy(m_path, m_read);
    if (!copy) {
        // Replacing it would lose what the user wrote.
        leaveAlone(QCoreApplication::translate("Settings", "danneggiato, e nessuna copia può esserne fatta accanto"));
        return;
    }
    m_keptCopy = *copy;
    // A folder that refuses the write leaves the file as it is; start-up
    // goes on regardless and the next normal exit tries again.
    WriteRegularFile(m_path, DefaultSettingsRecord());
}

GatewaySettings SettingsStore::readValues()
{
    const FileRead file = ReadRegularFile(m_path, kMaxSettingsFileBytes);
    switch (file.status) {
    case FileRead::Status::Ok: {
        m_read = file.data;
        const SettingsReadResult result = ParseSettingsRecord(m_read);
        if (!result.ok())
            replaceDamaged();
        return result.values;
    }
    case FileRead::Status::Missing: {
        // Put the defaults in place; when they cannot be written (a
        // read-only folder) the controls get them all the same. A link to
        // nothing is not followed to make a file wherever it points.
        QString why;
        if (!IsWritableRegularPath(m_path, &why)) {
            leaveAlone(why);
        } else {
            m_replaced = true;
            WriteRegularFile(m_path, DefaultSettingsRecord());
        }
        return DefaultSettings();
    }
    default:
        // Not a regular file, too large to be a record, or unreadable:
        // never opened or replaced.
        leaveAlone(file.error);
        return DefaultSettings();
    }
}

bool SettingsStore::LoadSettings(ISettingsTarget& target)
{
    m_replaced = false;
    m_leaveAlone = false;
    m_problem.clear();
    m_keptCopy.clear();
    m_read.clear();
    const GatewaySettings v = readValues();

    // Each step is applied even when an earlier one was refused.
    const auto step = [this](bool accepted) {
        if (!accepted)
            replaceDamaged();
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
    if (m_leaveAlone)
        return;
    WriteRegularFile(m_path, FormatSettingsRecord(settings));
}

std::optional<QString> KeepDamagedCopy(const QString& path, const QByteArray& bytes)
{
    // Enough for years of damaged starts; beyond, the file is left alone.
    constexpr int kMaxCopies = 99;
    for (int n = 1; n <= kMaxCopies; ++n) {
        const QString copy = path + QStringLiteral(".damaged") + (n == 1 ? QString() : QStringLiteral(".%1").arg(n));
        bool exists = false;
        if (CreateNewRegularFile(copy, bytes, &exists))
            return copy;
        if (!exists)
            return std::nullopt;
    }
    return std::nullopt;
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
