#include "gateway/StationConfig.h"

#include <QCoreApplication>
#include <QDir>
#include <QRegularExpression>

#include <algorithm>
#include <array>

#include "common/SafeFile.h"
#include "gateway/Classification.h"

namespace selvane {

namespace {

const QString kEngineSection = QStringLiteral("engine");
const QString kAprsIsSection = QStringLiteral("aprs-is");
const QString kUplinkSection = QStringLiteral("uplink");
const QString kStatusSection = QStringLiteral("status");
const QString kSatellitePrefix = QStringLiteral("satellite ");
// Limits above this make no sense for a satellite uplink.
constexpr int kMaxUplinkLimit = 1000;

enum class SatKey {
    Enabled, Digipeaters, Sources, Uplink, UplinkAs, NeedsGateToOut, Telemetry, SideA, SideB, SafeMode
};

struct SatKeyName {
    SatKey key;
    const char* name;
};

constexpr std::array<SatKeyName, 10> kSatKeys{{
    {SatKey::Enabled, "enabled"},
    {SatKey::Digipeaters, "digipeaters"},
    {SatKey::Sources, "sources"},
    {SatKey::Uplink, "uplink"},
    {SatKey::UplinkAs, "uplink-as"},
    {SatKey::NeedsGateToOut, "needs-gate-to-out"},
    {SatKey::Telemetry, "telemetry"},
    {SatKey::SideA, "telemetry-side-a"},
    {SatKey::SideB, "telemetry-side-b"},
    {SatKey::SafeMode, "safe-mode-source"},
}};

QString ProblemLine(const char* file, int line, const QString& text)
{
    return QCoreApplication::translate("StationConfig",
            "%1, riga %2: %3 (ignorata)").arg(QLatin1String(file)).arg(line).arg(text);
}

// Reports of one file in the order of its lines.
void SortByLine(QStringList& problems, qsizetype from)
{
    // "selvane.conf, riga 3: ..." in any language: the first number after
    // the file's name.
    static const QRegularExpression number(QStringLiteral("^[^,]*, \\D*(\\d+):"));
    auto lineOf = [](const QString& p) { return number.match(p).captured(1).toInt(); };
    std::stable_sort(problems.begin() + from, problems.end(),
                     [&](const QString& a, const QString& b) { return lineOf(a) < lineOf(b); });
}

// A list of plain calls (letters, digits, "-"), or nullopt.
std::optional<QStringList> CallList(const QString& value)
{
    const QStringList calls = ParseList(value);
    for (const QString& c : calls)
        if (!IsValidLoginCall(c))
            return std::nullopt;
    return calls;
}

QString ApplySatelliteKey(Satellite& s, SatKey key, const QString& value)
{
    const QString badCalls = QCoreApplication::translate("StationConfig",
            "nominativi non validi (lettere, cifre e \"-\", separati da virgole)");
    switch (key) {
    case SatKey::Enabled:
        if (const std::optional<bool> on = ParseYesNo(value)) {
            s.enabled = *on;
            return {};
        }
        return QCoreApplication::translate("StationConfig", "\"enabled\" deve essere yes o no");
    case SatKey::Digipeaters: {
        QList<SatelliteCall> calls;
        for (const QString& item : ParseList(value)) {
            const std::optional<SatelliteCall> c = SatelliteCall::parse(item);
            if (!c)
                return QCoreApplication::translate("StationConfig",
                        "\"%1\" non è un nominativo (CALL o CALL-*)").arg(item);
            calls << *c;
        }
        s.digipeaters = calls;
        return {};
    }
    case SatKey::Sources:
    case SatKey::Uplink:
    case SatKey::SideA:
    case SatKey::SideB: {
        const std::optional<QStringList> calls = CallList(value);
        if (!calls)
            return badCalls;
        (key == SatKey::Sources ? s.sources
         : key == SatKey::Uplink ? s.uplinkAliases
         : key == SatKey::SideA ? s.telemetrySideA
                                 : s.telemetrySideB) = *calls;
        return {};
    }
    case SatKey::UplinkAs:
        if (!value.isEmpty() && !IsRadioCall(value))
            return QCoreApplication::translate("StationConfig",
                    "\"uplink-as\" deve essere un nominativo AX.25 (al più 6 caratteri e SSID 0-15)");
        s.uplinkAs = value;
        return {};
    case SatKey::NeedsGateToOut:
        if (const std::optional<bool> on = ParseYesNo(value)) {
            s.needsGateToOut = *on;
            return {};
        }
        return QCoreApplication::translate("StationConfig", "\"needs-gate-to-out\" deve essere yes o no");
    case SatKey::Telemetry:
        if (value.compare(QLatin1String("pcsat"), Qt::CaseInsensitive) == 0
            || value.compare(QLatin1String("none"), Qt::CaseInsensitive) == 0) {
            s.pcsatTelemetry = value.compare(QLatin1String("pcsat"), Qt::CaseInsensitive) == 0;
            return {};
        }
        return QCoreApplication::translate("StationConfig", "\"telemetry\" deve essere pcsat o none");
    case SatKey::SafeMode:
        if (!value.isEmpty() && !IsValidLoginCall(value))
            return badCalls;
        s.safeModeSource = value;
        return {};
    }
    return {};
}

QString SatelliteValue(const Satellite& s, SatKey key)
{
    switch (key) {
    case SatKey::Enabled:
        return YesNoText(s.enabled);
    case SatKey::Digipeaters: {
        QStringList calls;
        for (const SatelliteCall& c : s.digipeaters)
            calls << c.text();
        return ListText(calls);
    }
    case SatKey::Sources:
        return ListText(s.sources);
    case SatKey::Uplink:
        return ListText(s.uplinkAliases);
    case SatKey::UplinkAs:
        return s.uplinkAs;
    case SatKey::NeedsGateToOut:
        return YesNoText(s.needsGateToOut);
    case SatKey::Telemetry:
        return s.pcsatTelemetry ? QStringLiteral("pcsat") : QStringLiteral("none");
    case SatKey::SideA:
        return ListText(s.telemetrySideA);
    case SatKey::SideB:
        return ListText(s.telemetrySideB);
    case SatKey::SafeMode:
        return s.safeModeSource;
    }
    return {};
}

std::optional<SatKey> SatKeyOfName(const QString& name)
{
    for (const SatKeyName& k : kSatKeys)
        if (name.compare(QLatin1String(k.name), Qt::CaseInsensitive) == 0)
            return k.key;
    return std::nullopt;
}

bool IsSection(const QString& section, const QString& name)
{
    return section.compare(name, Qt::CaseInsensitive) == 0;
}

// The satellite name of a "satellite NAME" section, empty for other sections.
QString SatelliteNameOf(const QString& section)
{
    if (!section.startsWith(kSatellitePrefix, Qt::CaseInsensitive))
        return {};
    return section.mid(kSatellitePrefix.size()).trimmed();
}

void ReadAprsIs(const QList<ConfigDocument::Entry>& entries, const char* file, StationConfigRead& r)
{
    int beaconLine = 0;
    for (const ConfigDocument::Entry& e : entries) {
        const QString problem = ApplyAprsIsSetting(r.config.aprsIs, e.key, e.value);
        if (!problem.isEmpty())
            r.problems << ProblemLine(file, e.line, problem);
        else if (e.key.compare(QLatin1String("beacon"), Qt::CaseInsensitive) == 0)
            beaconLine = e.line;
    }
    // Reported at the line that turned the beacon on; the setting stays
    // (the position may be added later) and sends the telemetry alone.
    const QString problem = AprsIsConfigProblem(r.config.aprsIs);
    if (!problem.isEmpty())
        r.problems << QCoreApplication::translate("StationConfig", "%1, riga %2: %3")
                          .arg(QLatin1String(file))
                          .arg(beaconLine)
                          .arg(problem);
}

void ReadEngine(const QList<ConfigDocument::Entry>& entries, StationConfigRead& r)
{
    for (const ConfigDocument::Entry& e : entries) {
        const QString problem = ApplyEngineSetting(r.config.engine, e.key, e.value);
        if (!problem.isEmpty())
            r.problems << ProblemLine(kStationConfigFileName, e.line, problem);
    }
    const EngineConfig& engine = r.config.engine;
    const int line = entries.isEmpty() ? 0 : entries.first().line;
    if (engine.kind == EngineKind::KissTcp && engine.address.isEmpty()) {
        r.problems << ProblemLine(kStationConfigFileName, line, QCoreApplication::translate("StationConfig", "kiss-tcp senza \"address\": vale agw"));
        r.config.engine.kind = EngineKind::Agw;
    } else if (engine.kind == EngineKind::KissSerial && engine.device.isEmpty()) {
        r.problems << ProblemLine(kStationConfigFileName, line, QCoreApplication::translate("StationConfig", "kiss-serial senza \"device\": vale agw"));
        r.config.engine.kind = EngineKind::Agw;
    }
}

void ReadUplink(const QList<ConfigDocument::Entry>& entries, StationConfigRead& r)
{
    for (const ConfigDocument::Entry& e : entries) {
        int* target = e.key.compare(QLatin1String("max-per-minute"), Qt::CaseInsensitive) == 0
                          ? &r.config.uplink.perMinute
                      : e.key.compare(QLatin1String("max-per-5-minutes"), Qt::CaseInsensitive) == 0
                          ? &r.config.uplink.perFiveMinutes
                          : nullptr;
        if (!target) {
            r.problems << ProblemLine(kStationConfigFileName, e.line,
                                      QCoreApplication::translate("StationConfig",
                                              "chiave sconosciuta \"%1\"").arg(e.key));
            continue;
        }
        bool ok = false;
        const int n = e.value.toInt(&ok);
        if (!ok || n < 0 || n > kMaxUplinkLimit) {
            r.problems << ProblemLine(kStationConfigFileName, e.line,
                                      QCoreApplication::translate("StationConfig",
                                              "\"%1\" deve essere un numero da 0 a %2")
                                          .arg(e.key)
                                          .arg(kMaxUplinkLimit));
            continue;
        }
        *target = n;
    }
}

void ReadStatus(const QList<ConfigDocument::Entry>& entries, StationConfigRead& r)
{
    for (const ConfigDocument::Entry& e : entries) {
        if (e.key.compare(QLatin1String("listen"), Qt::CaseInsensitive) != 0) {
            r.problems << ProblemLine(kStationConfigFileName, e.line,
                                      QCoreApplication::translate("StationConfig", "chiave sconosciuta \"%1\"")
                                          .arg(e.key));
            continue;
        }
        const std::optional<StatusConfig> listen = ParseListenAddress(e.value);
        if (!listen) {
            r.problems << ProblemLine(kStationConfigFileName, e.line,
                                      QStringLiteral("\"listen\" deve essere indirizzo IP:porta, "
                                                     "per esempio 127.0.0.1:8080"));
            continue;
        }
        r.config.status = *listen;
    }
}

void ReadSatellite(const ConfigDocument& doc, const QString& section, StationConfigRead& r)
{
    const QString name = SatelliteNameOf(section);
    const QList<ConfigDocument::Entry> entries = doc.entries(section);
    Satellite* known = r.config.satellites.find(name);
    Satellite satellite = known ? *known : Satellite{};
    if (!known)
        satellite.name = name;
    for (const ConfigDocument::Entry& e : entries) {
        const std::optional<SatKey> key = SatKeyOfName(e.key);
        const QString problem = key ? ApplySatelliteKey(satellite, *key, e.value)
                                    : QCoreApplication::translate("StationConfig",
                                            "chiave sconosciuta \"%1\"").arg(e.key);
        if (!problem.isEmpty())
            r.problems << ProblemLine(kStationConfigFileName, e.line, problem);
    }
    if (known) {
        *known = satellite;
        return;
    }
    if (satellite.digipeaters.isEmpty() && satellite.sources.isEmpty()) {
        const int line = entries.isEmpty() ? 0 : entries.first().line;
        r.problems << ProblemLine(kStationConfigFileName, line,
                                  QCoreApplication::translate("StationConfig",
                                          "il satellite %1 non ha nominativi (digipeaters)").arg(name));
        return;
    }
    r.config.satellites.satellites().append(satellite);
}

} // namespace

QString StationConfigPath(const QString& folder)
{
    return QDir(folder).filePath(QLatin1String(kStationConfigFileName));
}

std::optional<StatusConfig> ParseListenAddress(const QString& text)
{
    const QString t = text.trimmed();
    const qsizetype colon = t.lastIndexOf(QLatin1Char(':'));
    if (colon <= 0)
        return std::nullopt;
    QString host = t.left(colon);
    const QString portText = t.mid(colon + 1);
    bool ok = false;
    const uint port = portText.toUInt(&ok);
    if (!ok || port > 65535 || portText.isEmpty() || !portText.at(0).isDigit())
        return std::nullopt;
    StatusConfig c;
    c.enabled = true;
    c.port = quint16(port);
    if (host.compare(QLatin1String("localhost"), Qt::CaseInsensitive) == 0) {
        c.address = QHostAddress(QHostAddress::LocalHost);
        return c;
    }
    const bool bracketed = host.startsWith(QLatin1Char('[')) && host.endsWith(QLatin1Char(']'));
    if (bracketed)
        host = host.mid(1, host.size() - 2);
    if (!c.address.setAddress(host))
        return std::nullopt;
    // An IPv6 address must be written in brackets, so that its last group is
    // never read as the port.
    if ((c.address.protocol() == QAbstractSocket::IPv6Protocol) != bracketed)
        return std::nullopt;
    return c;
}

QString ListenAddressText(const QHostAddress& address, quint16 port)
{
    const QString host = address.protocol() == QAbstractSocket::IPv6Protocol
                             ? QLatin1Char('[') + address.toString() + QLatin1Char(']')
                             : address.toString();
    return host + QLatin1Char(':') + QString::number(port);
}

QString SatelliteSection(const QString& name)
{
    return kSatellitePrefix + name;
}

StationConfigRead ParseStationConfig(const QByteArray& text, const QByteArray* oldAprsIs)
{
    StationConfigRead r;
    r.found = true;
    QList<ConfigDocument::Problem> damaged;
    r.document = ConfigDocument::parse(text, &damaged);
    for (const ConfigDocument::Problem& p : damaged)
        r.problems << ProblemLine(kStationConfigFileName, p.line, p.text);

    for (const QString& section : r.document.sections()) {
        if (IsSection(section, kEngineSection)) {
            ReadEngine(r.document.entries(section), r);
        } else if (IsSection(section, kAprsIsSection)) {
            ReadAprsIs(r.document.entries(section), kStationConfigFileName, r);
        } else if (IsSection(section, kUplinkSection)) {
            ReadUplink(r.document.entries(section), r);
        } else if (IsSection(section, kStatusSection)) {
            ReadStatus(r.document.entries(section), r);
        } else if (!SatelliteNameOf(section).isEmpty()) {
            ReadSatellite(r.document, section, r);
        } else {
            const QList<ConfigDocument::Entry> entries = r.document.entries(section);
            const QString what =
                section.isEmpty()
                    ? QCoreApplication::translate("StationConfig", "fuori da ogni sezione")
                    : QCoreApplication::translate("StationConfig", "sezione sconosciuta [%1]").arg(section);
            for (const ConfigDocument::Entry& e : entries)
                r.problems << ProblemLine(kStationConfigFileName, e.line, what);
        }
    }

    SortByLine(r.problems, 0);

    if (oldAprsIs && !r.document.hasSection(kAprsIsSection)) {
        const qsizetype from = r.problems.size();
        QList<ConfigDocument::Problem> oldDamaged;
        const ConfigDocument old = ConfigDocument::parse(*oldAprsIs, &oldDamaged);
        for (const ConfigDocument::Problem& p : oldDamaged)
            r.problems << ProblemLine(kAprsIsConfigFileName, p.line, p.text);
        ReadAprsIs(old.entries(QString()), kAprsIsConfigFileName, r);
        SortByLine(r.problems, from);
        r.aprsIsFromOldFile = true;
    }
    return r;
}

StationConfigRead ReadStationConfig(const QString& folder)
{
    const FileRead file = ReadRegularFile(StationConfigPath(folder), kMaxConfigFileBytes);
    std::optional<QByteArray> old;
    if (file.status == FileRead::Status::Missing || file.ok()) {
        const FileRead oldFile = ReadRegularFile(QDir(folder).filePath(QLatin1String(kAprsIsConfigFileName)),
                                                 kMaxConfigFileBytes);
        if (oldFile.ok())
            old = oldFile.data;
        else if (oldFile.status != FileRead::Status::Missing)
            old.reset();
    }
    StationConfigRead r = ParseStationConfig(file.ok() ? file.data : QByteArray(), old ? &*old : nullptr);
    r.found = file.status != FileRead::Status::Missing;
    if (!file.ok() && file.status != FileRead::Status::Missing) {
        r.writable = false;
        r.problems.prepend(QCoreApplication::translate("StationConfig", "%1: %2 (valgono le impostazioni predefinite)")
                               .arg(QLatin1String(kStationConfigFileName), file.error));
    }
    return r;
}

void SetStationConfig(ConfigDocument& doc, const StationConfig& config)
{
    if (doc.hasSection(kEngineSection) || !(config.engine == EngineConfig{}))
        for (const auto& [key, value] : EngineSettings(config.engine))
            doc.set(kEngineSection, key, value);

    for (const auto& [key, value] : AprsIsSettings(config.aprsIs))
        doc.set(kAprsIsSection, key, value);

    const UplinkLimits defaultLimits;
    if (doc.hasSection(kUplinkSection) || !(config.uplink == defaultLimits)) {
        doc.set(kUplinkSection, QStringLiteral("max-per-minute"), QString::number(config.uplink.perMinute));
        doc.set(kUplinkSection, QStringLiteral("max-per-5-minutes"), QString::number(config.uplink.perFiveMinutes));
    }

    if (config.status.enabled)
        doc.set(kStatusSection, QStringLiteral("listen"), ListenAddressText(config.status.address, config.status.port));

    const SatelliteTable& builtIn = DefaultSatellites();
    for (const Satellite& s : config.satellites.satellites()) {
        const Satellite* base = builtIn.find(s.name);
        const QString section = SatelliteSection(s.name);
        for (const SatKeyName& k : kSatKeys) {
            const QString value = SatelliteValue(s, k.key);
            if (base && SatelliteValue(*base, k.key) == value)
                doc.remove(section, QLatin1String(k.name));
            else
                doc.set(section, QLatin1String(k.name), value);
        }
    }
    for (const QString& section : doc.sections()) {
        const QString name = SatelliteNameOf(section);
        if (!name.isEmpty() && !config.satellites.find(name))
            doc.removeSection(section);
    }
}

bool WriteStationConfig(const QString& folder, const ConfigDocument& document, QString* error)
{
    QByteArray text = document.text();
    if (!text.startsWith('#'))
        text.prepend("# Selvane: configurazione della stazione (vedi selvane.conf(5)).\n");
    return WriteRegularFile(StationConfigPath(folder), text, error);
}

} // namespace selvane
