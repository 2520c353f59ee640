#include "headless/HeadlessGateway.h"

#include <QDir>

#include "agw/EngineProfile.h"
#include "common/TextRules.h"
#include "gateway/Classification.h"
#include "settings/SettingsCheck.h"
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
    m_station = std::make_unique<Station>(m_options, m_settings);
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
        QString targets = p.ports.isEmpty() ? tr("nessuna porta") : PortList(p.ports);
        if (!p.skippedPorts.isEmpty())
            targets += tr(" (non %1: non utilizzabile in AGWPE)").arg(PortList(p.skippedPorts));
        m_log.event(tr("%1 porta %2 -> %3: %4")
                        .arg(p.toSats ? tr("su (Out -> Sats)") : tr("giu (Sats -> Out)"))
                        .arg(p.heardPort + 1)
                        .arg(targets, PacketText(p)));
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

    connect(&s, &Station::engineConnecting, this,
            [this](const QString& address) { m_log.event(EngineLink::ConnectingText(address)); });
    connect(&s, &Station::engineConnectFailed, this, [this](const QString& reason) {
        m_log.event(tr("impossibile connettersi a %1: %2").arg(m_station->engineAddress(), reason));
    });
    connect(&s, &Station::engineConnectionLost, this,
            [this](const QString& reason) { m_log.event(tr("collegamento perso: %1").arg(reason)); });
    connect(&s, &Station::engineNoReply, this, [this] {
        m_log.problem(m_station->engineAddress() + QStringLiteral(": ") + AgwLink::NoEngineReplyText());
    });
    connect(&s, &Station::enginePortsUnusable, this,
            [this](const QList<int>& ports) { m_log.problem(AgwLink::UnusablePortsText(ports)); });
    connect(&s, &Station::engineConnected, this, [this] {
        m_log.event(tr("connesso a %1 (%2)").arg(m_station->engineAddress(), EngineKindText(m_station->engineKind())));
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
        const auto* agw = qobject_cast<const AgwLink*>(&m_station->link());
        if (agw && agw->profileInForce())
            m_log.event(text);
    });
    connect(&s, &Station::engineSocketError, this, [this](const QString& description) {
        m_log.problem(tr("errore collegamento con AGWPE: %1").arg(description));
    });
    connect(&s, &Station::engineSentNotTransmitted, this,
            [this] { m_log.problem(AgwLink::SentNotTransmittedText()); });
    connect(&s, &Station::engineChanged, this, [this] {
        m_log.event(tr("motore: %1 %2").arg(EngineKindText(m_station->engineKind()), m_station->engineAddress()));
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
    connect(&s, &Station::engineRetryScheduled, this, [this](const QString&, int delayMs) {
        m_log.event(tr("nuovo tentativo tra %1 s").arg(delayMs / 1000.0, 0, 'f', delayMs % 1000 ? 1 : 0));
    });

    connect(&s, &Station::telemetryDecoded, this, [this](TelemetryList, const QString& line) {
        m_log.event(tr("telemetria PCSAT: %1").arg(line));
    });
    connect(&s, &Station::warningChanged, this, [this](const QString& text, bool visible) {
        if (visible)
            m_log.event(tr("ATTENZIONE: %1").arg(text));
    });

    // What needs the operator (an unverified login, an error, a line that
    // did not go up) goes to standard error.
    connect(&s, &Station::aprsIsStateChanged, this, [this](AprsIsState state) {
        const AprsIsGate* gate = m_station->aprsIs();
        if (!gate)
            return;
        if (state == AprsIsState::Error || state == AprsIsState::Unverified)
            m_log.problem(gate->statusText());
        else
            m_log.event(gate->statusText());
    });
    connect(&s, &Station::aprsIsLoginInUse, this,
            [this] { m_log.problem(QStringLiteral("APRS-IS: ") + AprsIsClient::LoginInUseText()); });
    // Every packet heard on a Sats port with its verdict; a line that did
    // not go up is a problem, except behind a server that does not read
    // (said once, below).
    connect(&s, &Station::aprsIsJudged, this, [this](const UploadDecision& d, bool sent) {
        const bool uploads = d.verdict == UploadVerdict::AtOnce || d.verdict == UploadVerdict::Released;
        if (uploads && !sent) {
            const AprsIsGate* gate = m_station->aprsIs();
            const AprsIsState state = gate ? gate->state() : AprsIsState::Off;
            if (state != AprsIsState::Verified)
                m_log.problem(tr("APRS-IS: non inviato (%1): %2").arg(AprsIsStateText(state), QString::fromLatin1(d.line)));
            return;
        }
        if (uploads) {
            m_log.event(tr("APRS-IS <- %1 (%2)").arg(QString::fromLatin1(d.line), UploadVerdictText(d.verdict)));
            return;
        }
        if (d.verdict == UploadVerdict::Held) {
            const int delay = m_station->config().aprsIs.satgateDelay;
            m_log.event(tr("APRS-IS: %1 (%2 s): %3").arg(UploadVerdictText(d.verdict)).arg(delay).arg(QString::fromLatin1(d.line)));
            return;
        }
        if (d.verdict == UploadVerdict::Superseded) {
            m_log.event(tr("APRS-IS: %1: %2").arg(UploadVerdictText(d.verdict), QString::fromLatin1(d.line)));
            return;
        }
        const HeardPacket& p = d.packet;
        const QString via = p.via.isEmpty() ? QString() : QLatin1Char(',') + p.via.join(QLatin1Char(','));
        m_log.event(tr("APRS-IS: %1: %2>%3%4:%5")
                        .arg(UploadVerdictText(d.verdict), p.source, p.destination, via, QString::fromLatin1(p.info)));
    });
    connect(&s, &Station::aprsIsStationLine, this, [this](const QString& line, bool sent) {
        if (sent)
            m_log.event(tr("APRS-IS <- %1 (stazione)").arg(line));
        else
            m_log.problem(tr("APRS-IS: non inviato (%1): %2").arg(AprsIsStateText(m_station->aprsIs()->state()), line));
    });
    connect(&s, &Station::aprsIsNotReading, this, [this] {
        m_log.problem(tr("APRS-IS: il server non legge: le righe vengono scartate e contate come perse"));
    });
    connect(&s, &Station::aprsIsReadingAgain, this, [this](qint64 refused) {
        m_log.event(tr("APRS-IS: il server legge di nuovo: %1 righe perse").arg(refused));
    });
    connect(&s, &Station::aprsIsHeldDropped, this, [this](int count) {
        m_log.event(tr("APRS-IS: %1 pacchetti in attesa della copia del satellite scartati, caricamento fermato").arg(count));
    });
}

bool HeadlessGateway::start()
{
    // A file a person edited is taken as written or not at all: never
    // replaced, never half read.
    const StrictSettingsLoad load = LoadSettingsStrictly(m_store.path(), true);
    if (load.outcome == StrictSettingsLoad::Outcome::Refused) {
        m_log.problem(load.message + tr(": selvaned non parte"));
        return false;
    }
    if (load.outcome == StrictSettingsLoad::Outcome::Created)
        m_log.event(load.message);
    if (!m_station->ensureLogsFolder())
        m_log.problem(tr("impossibile creare la cartella %1: log e storico telemetria non saranno scritti")
                          .arg(QDir::toNativeSeparators(m_station->logsDir())));
    m_settings.applyAll(load.values);
    applySettings();
    reportConfig(m_station->loadConfig());
    m_log.event(tr("impostazioni: ") + settingsSummary());
    applyStatusPage();
    remindOfMissingCall();
    m_noCallReminder.start();

    // APRS-IS after the settings: its login defaults to the gateway call.
    m_station->startAprsIs();
    if (m_station->aprsIs()->config().enabled)
        m_log.event(m_station->aprsIs()->statusText());

    m_station->link().toggle();
    return true;
}

bool HeadlessGateway::reload()
{
    // selvane.conf is a file of its own: read again whatever Selvane.ini holds.
    const StationConfigRead config = ReadStationConfig(m_options.folder);
    reportConfig(config.problems);
    m_station->applyConfig(config.config);
    applyStatusPage();
    const StrictSettingsLoad load = LoadSettingsStrictly(m_store.path(), false);
    SettingsValues candidate;
    if (load.outcome != StrictSettingsLoad::Outcome::Read || !candidate.applyAll(load.values)) {
        m_log.problem(load.message + tr(": restano le impostazioni in uso"));
        return false;
    }
    const EngineChoice before = m_settings.engineChoice();
    m_settings.applyAll(load.values);
    applySettings();
    if (m_settings.engineChoice() != before)
        m_station->engineChoiceChanged();
    m_log.event(tr("impostazioni rilette (SIGHUP): ") + settingsSummary());
    return true;
}

void HeadlessGateway::applyStatusPage()
{
    const StatusConfig& wanted = m_station->config().status;
    if (wanted == m_statusInForce && (m_status || !wanted.enabled))
        return;
    m_status.reset();
    m_statusInForce = wanted;
    if (!wanted.enabled)
        return;
    auto server = std::make_unique<StatusServer>(*m_station, m_options.monotonic);
    QString why;
    if (!server->listen(wanted.address, wanted.port, &why)) {
        m_log.problem(tr("pagina di stato non aperta su %1: %2 (il gateway continua)")
                          .arg(ListenAddressText(wanted.address, wanted.port), why));
        return;
    }
    m_log.event(tr("pagina di stato: http://%1/").arg(ListenAddressText(wanted.address, server->port())));
    m_status = std::move(server);
}

void HeadlessGateway::stop()
{
    m_noCallReminder.stop();
    m_status.reset();
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
    return tr("call=%1 via=%2 Sats=%3 Out=%4 duplicati=%5s motore=%6 %7 profilo=%8 "
              "GateToOut=%9 GateToSats=%10 GateTelemetry=%11 Logs=%12 satelliti=%13 "
              "salita=%14/min,%15/5min")
        .arg(s.gatewayCall, s.viaPath, s.satsPorts, s.outPorts, s.dupSeconds,
             EngineKindText(m_station->engineKind()), m_station->engineAddress())
        .arg(s.engine == EngineChoice::Automatic ? tr("automatico")
                                                 : ProfileName(*ProfileInForce(s.engine, std::nullopt)))
        .arg(onOff(s.gateToOut), onOff(s.gateToSats), onOff(s.gateTelemetry), onOff(s.dailyLog))
        .arg(c.satellites.anyEnabled() ? c.satellites.summary() : tr("nessuno"))
        .arg(c.uplink.perMinute)
        .arg(c.uplink.perFiveMinutes);
}

} // namespace selvane
