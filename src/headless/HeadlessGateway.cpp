#include "headless/HeadlessGateway.h"

#include <QDir>

#include "agw/EngineProfile.h"
#include "common/TextRules.h"
#include "gateway/Classification.h"
#include "settings/SettingsFile.h"

namespace selvane {

namespace {

QString PortList(const QList<int>& ports)
{
    QStringList numbers;
    for (int p : ports)
        numbers << QString::number(p + 1);
    return numbers.join(QLatin1Char(','));
}

QString PacketText(const GatedPacket& p)
{
    return QStringLiteral("%1>%2,%3:%4").arg(p.source, p.destination, p.path, p.info);
}

} // namespace

HeadlessGateway::HeadlessGateway(Options options)
    : m_options(std::move(options)),
      m_log(*m_options.log),
      m_store(QDir(m_options.folder).filePath(kSettingsFileName))
{
    m_settings.setAlwaysReconnect(true);
    Station::Options o;
    o.folder = m_options.folder;
    o.clock = m_options.clock;
    o.monotonic = m_options.monotonic;
    o.enginePort = m_options.enginePort;
    m_station = std::make_unique<Station>(o, m_settings);
    m_noCallReminder.setInterval(kNoCallReminderMs);
    connect(&m_noCallReminder, &QTimer::timeout, this, &HeadlessGateway::remindOfMissingCall);
    present();
}

HeadlessGateway::~HeadlessGateway()
{
    stop();
}

void HeadlessGateway::present()
{
    Station& s = *m_station;
    connect(&s, &Station::gated, this, [this](const GatedPacket& p) {
        m_log.event(tr("%1 porta %2 -> %3: %4")
                        .arg(p.toSats ? tr("su (Out -> Sats)") : tr("giu (Sats -> Out)"))
                        .arg(p.heardPort + 1)
                        .arg(p.ports.isEmpty() ? tr("nessuna porta") : PortList(p.ports), PacketText(p)));
    });
    connect(&s, &Station::duplicateHeld, this, [this](const QString& key, const QString& info) {
        m_log.event(tr("duplicato trattenuto: %1:%2").arg(key, info));
    });
    connect(&s, &Station::refused, this, [this](const GatedPacket& p, RouteRefusal why) {
        if (why == RouteRefusal::UplinkLimit) {
            const UplinkLimits& l = m_station->config().uplink;
            m_log.event(tr("trattenuto dal limite di salita (%1 al minuto, %2 in 5 minuti; trattenuti %3): %4")
                            .arg(l.perMinute)
                            .arg(l.perFiveMinutes)
                            .arg(m_station->counters().heldCount)
                            .arg(PacketText(p)));
        } else {
            m_log.problem(tr("non ritrasmesso, nominativo che la radio non può portare: %1>%2 (porta %3)")
                              .arg(p.source, p.destination)
                              .arg(p.heardPort + 1));
        }
    });
    connect(&s, &Station::fileTrouble, this, [this](const QString& what) {
        m_log.problem(tr("file non scritto, il gateway continua: %1").arg(what));
    });
    connect(&s, &Station::filesRecovered, this, [this] { m_log.event(tr("file di nuovo scritti")); });

    connect(&s, &Station::engineConnected, this, [this] {
        m_log.event(tr("connesso a %1:%2").arg(m_settings.agwpeHost()).arg(m_options.enginePort));
    });
    connect(&s, &Station::engineVersion, this, [this](unsigned major, unsigned minor) {
        m_log.event(tr("Gateway connesso a AGWPE v%1.%2").arg(major).arg(minor));
    });
    connect(&s, &Station::enginePortsChanged, this, [this](const QStringList& ports) {
        if (!ports.isEmpty())
            m_log.event(tr("porta radio: %1").arg(ports.last()));
    });
    connect(&s, &Station::engineProfileChanged, this, [this](const QString& text) {
        // Said once per change, once the profile is known: each new
        // connection starts from "automatico".
        if (text == m_lastProfile)
            return;
        m_lastProfile = text;
        if (m_station->link().profileInForce())
            m_log.event(text);
    });
    connect(&s, &Station::engineSocketError, this, [this](const QString& description) {
        m_log.problem(tr("errore collegamento con AGWPE: %1").arg(description));
    });
    connect(&s, &Station::engineOutOfStep, this, [this] {
        m_log.problem(tr("flusso dal motore fuori passo: connessione chiusa e riaperta"));
    });
    connect(&s, &Station::engineNotReading, this, [this] {
        m_log.problem(tr("il motore non legge: i pacchetti da trasmettere vengono scartati"));
    });
    connect(&s, &Station::engineReadingAgain, this, [this](qint64 dropped, qint64 inAll) {
        m_log.event(tr("il motore legge di nuovo: %1 pacchetti scartati (%2 in tutto)").arg(dropped).arg(inAll));
    });
    connect(&s, &Station::engineLost, this, [this](const QString& reason, int delayMs) {
        m_log.event(tr("collegamento perso (%1): nuovo tentativo tra %2 s")
                        .arg(reason)
                        .arg(delayMs / 1000.0, 0, 'f', delayMs % 1000 ? 1 : 0));
    });

    connect(&s, &Station::telemetryDecoded, this, [this](TelemetryList, const QString& line) {
        m_log.event(tr("telemetria PCSAT: %1").arg(line));
    });
    connect(&s, &Station::warningChanged, this, [this](const QString& text, bool visible) {
        if (visible)
            m_log.event(tr("ATTENZIONE: %1").arg(text));
    });

    connect(&s, &Station::aprsIsStateChanged, this, [this] {
        if (AprsIsGate* gate = m_station->aprsIs())
            m_log.event(gate->statusText());
    });
    connect(&s, &Station::aprsIsUploaded, this,
            [this](const QString& line) { m_log.event(tr("APRS-IS <- %1").arg(line)); });
}

void HeadlessGateway::start()
{
    if (!m_station->ensureLogsFolder())
        m_log.problem(tr("impossibile creare la cartella %1: log e storico telemetria non saranno scritti")
                          .arg(QDir::toNativeSeparators(m_station->logsDir())));
    if (!m_store.LoadSettings(m_settings)) {
        m_log.problem(tr("%1 mancante o danneggiato: sostituito con le impostazioni predefinite")
                          .arg(QDir::toNativeSeparators(m_store.path())));
        // Nobody is there to correct half-read values: the gateway runs with
        // exactly what the file now holds, the defaults.
        m_settings.applyAll(DefaultSettings());
    }
    applySettings();
    reportConfig(m_station->loadConfig());
    m_log.event(tr("impostazioni: %1").arg(settingsSummary()));
    remindOfMissingCall();
    m_noCallReminder.start();

    // APRS-IS after the settings: its login defaults to the gateway call.
    m_station->startAprsIs();
    if (m_station->aprsIs()->config().enabled)
        m_log.event(m_station->aprsIs()->statusText());

    m_station->link().toggle();
}

bool HeadlessGateway::reload()
{
    // selvane.conf is a file of its own: read again whatever Selvane.ini holds.
    const StationConfigRead config = ReadStationConfig(m_options.folder);
    reportConfig(config.problems);
    m_station->applyConfig(config.config);
    const std::optional<QByteArray> data = ReadSettingsFile(m_store.path());
    const SettingsReadResult read = data ? ParseSettingsRecord(*data) : SettingsReadResult{{}, 1};
    SettingsValues candidate;
    if (!read.ok() || !candidate.applyAll(read.values)) {
        m_log.problem(tr("%1 illeggibile o danneggiato: restano le impostazioni in uso")
                          .arg(QDir::toNativeSeparators(m_store.path())));
        return false;
    }
    const EngineChoice before = m_settings.engineChoice();
    m_settings.applyAll(read.values);
    applySettings();
    if (m_settings.engineChoice() != before)
        m_station->link().engineChoiceChanged();
    m_log.event(tr("impostazioni rilette (SIGHUP): %1").arg(settingsSummary()));
    return true;
}

void HeadlessGateway::stop()
{
    m_noCallReminder.stop();
    m_station->stop();
}

void HeadlessGateway::reportConfig(const QStringList& problems)
{
    for (const QString& problem : problems)
        m_log.problem(problem);
    if (!m_station->config().satellites.anyEnabled())
        m_log.problem(tr("nessun satellite abilitato in %1: il gateway non inoltra nulla")
                          .arg(QDir::toNativeSeparators(m_station->configPath())));
}

void HeadlessGateway::remindOfMissingCall()
{
    if (TrimBlanks(m_settings.gatewayCall()).isEmpty())
        m_log.problem(tr("nessun nominativo impostato (call): i pacchetti escono con %1, "
                         "che non identifica la stazione")
                          .arg(CallOrAlias({})));
}

void HeadlessGateway::applySettings()
{
    m_station->setLogEnabled(m_settings.values().dailyLog == 1);
}

QString HeadlessGateway::settingsSummary() const
{
    const GatewaySettings& s = m_settings.values();
    const StationConfig& c = m_station->config();
    auto onOff = [](int v) { return v == 1 ? tr("si") : tr("no"); };
    return tr("call=%1 via=%2 Sats=%3 Out=%4 duplicati=%5s motore=%6:%7 profilo=%8 "
              "GateToOut=%9 GateToSats=%10 GateTelemetry=%11 Logs=%12 satelliti=%13 "
              "salita=%14/min,%15/5min")
        .arg(s.gatewayCall, s.viaPath, s.satsPorts, s.outPorts, s.dupSeconds, s.agwpeHost)
        .arg(m_options.enginePort)
        .arg(s.engine == EngineChoice::Automatic ? tr("automatico")
                                                 : ProfileName(s.engine == EngineChoice::DireWolf
                                                                   ? EngineProfile::DireWolf
                                                                   : EngineProfile::Agwpe))
        .arg(onOff(s.gateToOut), onOff(s.gateToSats), onOff(s.gateTelemetry), onOff(s.dailyLog))
        .arg(c.satellites.anyEnabled() ? c.satellites.summary() : tr("nessuno"))
        .arg(c.uplink.perMinute)
        .arg(c.uplink.perFiveMinutes);
}

} // namespace selvane
