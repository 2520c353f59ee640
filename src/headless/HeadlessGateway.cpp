#include "headless/HeadlessGateway.h"

#include <QDir>

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

} // namespace

HeadlessGateway::HeadlessGateway(Options options)
    : m_options(std::move(options)),
      m_log(*m_options.log),
      m_logsDir(QDir(m_options.folder).filePath(LogsDirectoryPath())),
      m_store(QDir(m_options.folder).filePath(kSettingsFileName))
{
    m_settings.setAlwaysReconnect(true);
    ITelemetryView& telemetryView = *this;
    ILinkView& linkView = *this;
    m_modes = std::make_unique<TelemetryWindowModes>(telemetryView, m_tlmTimer);
    m_history = std::make_unique<TelemetryHistory>(m_logsDir, m_tlmState, telemetryView, m_options.clock);
    m_decoder = std::make_unique<TelemetryDecoder>(
        telemetryView, m_tlmState, *m_modes, *m_history, [this] { return m_gateway->dailyLog().logEnabled(); },
        m_options.clock);
    m_gateway = std::make_unique<Gateway>(linkView, m_settings, *m_decoder, m_options.clock, m_options.monotonic,
                                          m_logsDir, m_options.enginePort);

    Router& router = m_gateway->router();
    router.onGated = [this](const GatedPacket& p) {
        QString targets = p.ports.isEmpty() ? QStringLiteral("nessuna porta") : PortList(p.ports);
        if (!p.skippedPorts.isEmpty())
            targets += tr(" (non %1: non utilizzabile in AGWPE)").arg(PortList(p.skippedPorts));
        m_log.event(QStringLiteral("%1 porta %2 -> %3: %4>%5,%6:%7")
                        .arg(p.toSats ? QStringLiteral("su (Out -> Sats)") : QStringLiteral("giu (Sats -> Out)"))
                        .arg(p.heardPort + 1)
                        .arg(targets, p.source, p.destination, p.path, p.info));
    };
    router.onDuplicate = [this](const QString& key, const QString& info) {
        m_log.event(QStringLiteral("duplicato trattenuto: %1:%2").arg(key, info));
    };
    // A full disk or an unwritable Logs folder never stops the gateway; it
    // is said once, and again when the files are written again.
    for (DayFile* file : {&m_gateway->dailyLog().dayFile(), &m_history->dayFile()}) {
        file->onTrouble = [this](const QString& what) {
            m_log.problem(QStringLiteral("file non scritto, il gateway continua: ") + what);
        };
        file->onRecovered = [this] { m_log.event(QStringLiteral("file di nuovo scritti")); };
    }
    AgwLink& link = m_gateway->link();
    connect(&link, &AgwLink::linkConnected, this, [this] {
        m_log.event(QStringLiteral("connesso a %1:%2").arg(m_settings.agwpeHost()).arg(m_options.enginePort));
    });
    connect(&link, &AgwLink::streamOutOfStep, this, [this] {
        m_log.problem(QStringLiteral("flusso dal motore fuori passo: connessione chiusa e riaperta"));
    });
    connect(&link, &AgwLink::outputBlocked, this, [this] {
        m_log.problem(QStringLiteral("il motore non legge: i pacchetti da trasmettere vengono scartati"));
    });
    connect(&link, &AgwLink::outputResumed, this, [this](qint64 dropped) {
        m_log.event(QStringLiteral("il motore legge di nuovo: %1 pacchetti scartati (%2 in tutto)")
                        .arg(dropped)
                        .arg(m_gateway->link().droppedFrames()));
    });
    connect(&link, &AgwLink::connecting, this,
            [this](const QString& host, quint16 port) { m_log.event(AgwLink::ConnectingText(host, port)); });
    connect(&link, &AgwLink::connectFailed, this, [this](const QString& reason) {
        m_log.event(tr("impossibile connettersi a %1:%2: %3")
                        .arg(m_settings.agwpeHost())
                        .arg(m_options.enginePort)
                        .arg(reason));
    });
    connect(&link, &AgwLink::connectionLost, this,
            [this](const QString& reason) { m_log.event(tr("collegamento perso: %1").arg(reason)); });
    connect(&link, &AgwLink::reconnectScheduled, this, [this](const QString&, int delayMs) {
        m_log.event(QStringLiteral("nuovo tentativo tra %1 s").arg(delayMs / 1000.0, 0, 'f', delayMs % 1000 ? 1 : 0));
    });
    connect(&link, &AgwLink::noEngineReply, this, [this] {
        m_log.problem(QStringLiteral("%1:%2: ").arg(m_settings.agwpeHost()).arg(m_options.enginePort)
                      + AgwLink::NoEngineReplyText());
    });
    connect(&link, &AgwLink::portsUnusable, this,
            [this](const QList<int>& ports) { m_log.problem(AgwLink::UnusablePortsText(ports)); });
}

HeadlessGateway::~HeadlessGateway()
{
    stop();
}

void HeadlessGateway::start()
{
    if (!EnsureLogsDirectory(m_options.folder))
        m_log.problem(QStringLiteral("impossibile creare la cartella %1: log e storico telemetria non saranno scritti")
                          .arg(QDir::toNativeSeparators(m_logsDir)));
    if (!m_store.LoadSettings(m_settings)) {
        m_log.problem(QStringLiteral("%1 mancante o danneggiato: sostituito con le impostazioni predefinite")
                          .arg(QDir::toNativeSeparators(m_store.path())));
        // Nobody is there to correct half-read values: the gateway runs with
        // exactly what the file now holds, the defaults.
        m_settings.applyAll(DefaultSettings());
    }
    applySettings();
    m_log.event(QStringLiteral("impostazioni: ") + settingsSummary());

    // APRS-IS after the settings: its login defaults to the gateway call.
    m_aprsIs = std::make_unique<AprsIsGate>(m_settings, readAprsIsConfig(), m_options.monotonic);
    // What needs the operator (an unverified login, an error, a line that
    // did not go up) goes to standard error.
    connect(m_aprsIs.get(), &AprsIsGate::stateChanged, this, [this](AprsIsState state) {
        if (state == AprsIsState::Error || state == AprsIsState::Unverified)
            m_log.problem(m_aprsIs->statusText());
        else
            m_log.event(m_aprsIs->statusText());
    });
    connect(m_aprsIs.get(), &AprsIsGate::loginInUse, this, [this] {
        m_log.problem(QStringLiteral("APRS-IS: ") + AprsIsClient::LoginInUseText());
    });
    connect(m_aprsIs.get(), &AprsIsGate::uploaded, this,
            [this](const QString& line) { m_log.event(QStringLiteral("APRS-IS <- ") + line); });
    connect(m_aprsIs.get(), &AprsIsGate::missed, this, [this](const QString& line) {
        const AprsIsState state = m_aprsIs->state();
        const QString why = state == AprsIsState::Verified ? tr("coda di invio piena") : AprsIsStateText(state);
        m_log.problem(tr("APRS-IS: non inviato (%1): %2").arg(why, line));
    });
    connect(m_aprsIs.get(), &AprsIsGate::excluded, this, [this](UploadVerdict verdict, const HeardPacket& p) {
        if (verdict != UploadVerdict::InvalidCall)
            return;
        const QString via = p.via.isEmpty() ? QString() : QLatin1Char(',') + p.via.join(QLatin1Char(','));
        m_log.event(tr("APRS-IS: escluso, nominativo non valido per APRS-IS: %1>%2%3:%4")
                        .arg(p.source, p.destination, via, QString::fromLatin1(p.info)));
    });
    m_gateway->link().setHeardObserver([this](const HeardPacket& p) {
        if (m_aprsIs)
            m_aprsIs->heard(p);
    });
    if (m_aprsIs->config().enabled)
        m_log.event(m_aprsIs->statusText());

    m_gateway->link().toggle();
}

bool HeadlessGateway::reload()
{
    // aprs-is.conf is a file of its own: read again whatever Selvane.ini holds.
    if (m_aprsIs)
        m_aprsIs->applyConfig(readAprsIsConfig());
    const std::optional<QByteArray> data = ReadSettingsFile(m_store.path());
    const SettingsReadResult read = data ? ParseSettingsRecord(*data) : SettingsReadResult{{}, 1};
    SettingsValues candidate;
    if (!read.ok() || !candidate.applyAll(read.values)) {
        m_log.problem(QStringLiteral("%1 illeggibile o danneggiato: restano le impostazioni in uso")
                          .arg(QDir::toNativeSeparators(m_store.path())));
        return false;
    }
    const EngineChoice before = m_settings.engineChoice();
    m_settings.applyAll(read.values);
    applySettings();
    if (m_settings.engineChoice() != before)
        m_gateway->link().engineChoiceChanged();
    m_log.event(QStringLiteral("impostazioni rilette (SIGHUP): ") + settingsSummary());
    return true;
}

void HeadlessGateway::stop()
{
    if (m_stopped)
        return;
    m_stopped = true;
    m_gateway->link().closeForExit();
    m_aprsIs.reset();
    m_gateway->dailyLog().close();
    m_history->close();
}

AprsIsConfig HeadlessGateway::readAprsIsConfig()
{
    const AprsIsConfigRead read = ReadAprsIsConfig(AprsIsConfigPath(m_options.folder));
    for (const QString& problem : read.problems)
        m_log.problem(problem);
    return read.config;
}

void HeadlessGateway::applySettings()
{
    m_gateway->dailyLog().setLogEnabled(m_settings.values().dailyLog == 1);
}

QString HeadlessGateway::settingsSummary() const
{
    const GatewaySettings& s = m_settings.values();
    auto onOff = [](int v) { return v == 1 ? QStringLiteral("si") : QStringLiteral("no"); };
    return QStringLiteral("call=%1 via=%2 Sats=%3 Out=%4 duplicati=%5s motore=%6:%7 profilo=%8 "
                          "GateToOut=%9 GateToSats=%10 GateTelemetry=%11 Logs=%12")
        .arg(s.gatewayCall, s.viaPath, s.satsPorts, s.outPorts, s.dupSeconds, s.agwpeHost)
        .arg(m_options.enginePort)
        .arg(s.engine == EngineChoice::Automatic ? QStringLiteral("automatico")
                                                 : ProfileName(s.engine == EngineChoice::DireWolf
                                                                   ? EngineProfile::DireWolf
                                                                   : EngineProfile::Agwpe))
        .arg(onOff(s.gateToOut), onOff(s.gateToSats), onOff(s.gateTelemetry), onOff(s.dailyLog));
}

void HeadlessGateway::setStatusText(const QString& text)
{
    // The counters line after each packet is not an event of its own; the
    // engine's version is.
    if (text.startsWith(QLatin1String("Gateway connesso")))
        m_log.event(text);
}

void HeadlessGateway::addPort(const QString& description)
{
    m_log.event(QStringLiteral("porta radio: ") + description);
}

void HeadlessGateway::showSocketError(const QString& description)
{
    m_log.problem(QStringLiteral("errore collegamento con AGWPE: ") + description);
}

void HeadlessGateway::showEngineProfile(const QString& text)
{
    // Said once per change: each new connection starts from "automatico".
    if (text == m_lastProfile)
        return;
    m_lastProfile = text;
    if (m_gateway && m_gateway->link().profileInForce())
        m_log.event(text);
}

void HeadlessGateway::addTelemetryLine(TelemetryList, const QString& line)
{
    m_log.event(QStringLiteral("telemetria PCSAT: ") + line);
}

void HeadlessGateway::setWarning(const QString& text)
{
    m_warning = text;
    if (m_warningShown)
        m_log.event(QStringLiteral("ATTENZIONE: ") + text);
}

void HeadlessGateway::setWarningVisible(bool visible)
{
    if (visible && !m_warningShown)
        m_log.event(QStringLiteral("ATTENZIONE: ") + m_warning);
    m_warningShown = visible;
}

} // namespace selvane
