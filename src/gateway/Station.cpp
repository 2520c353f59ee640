#include "gateway/Station.h"

#include <QDir>

#include "settings/Startup.h"

namespace selvane {

// What the link and the dispatcher show goes to the window when there is
// one; what it means goes out as the station's signals.
class Station::LinkRelay : public ILinkView {
public:
    LinkRelay(Station& station, ILinkView* view) : m_station(station), m_view(view) {}

    void setStatusText(const QString& text) override
    {
        if (m_view)
            m_view->setStatusText(text);
    }
    void setTrayTip(const QString& text) override
    {
        if (m_view)
            m_view->setTrayTip(text);
    }
    void setRunning(bool running) override
    {
        if (m_view)
            m_view->setRunning(running);
    }
    void showReceived(const QStringList& lines, PacketColour colour) override
    {
        if (m_view)
            m_view->showReceived(lines, colour);
    }
    void showTransmitted(const QStringList& lines) override
    {
        if (m_view)
            m_view->showTransmitted(lines);
    }
    void setPortsText(const QString& text) override
    {
        if (m_view)
            m_view->setPortsText(text);
    }
    void addPort(const QString& description) override
    {
        if (m_view)
            m_view->addPort(description);
        m_ports << description;
        emit m_station.enginePortsChanged(m_ports);
    }
    void clearPorts() override
    {
        if (m_view)
            m_view->clearPorts();
        if (m_ports.isEmpty())
            return;
        m_ports.clear();
        emit m_station.enginePortsChanged(m_ports);
    }
    void showEngineProfile(const QString& text) override
    {
        if (m_view)
            m_view->showEngineProfile(text);
        emit m_station.engineProfileChanged(text);
    }
    void showSocketError(const QString& description) override
    {
        emit m_station.engineSocketError(description);
        if (m_view)
            m_view->showSocketError(description);
    }
    QString caption() const override { return m_view ? m_view->caption() : QStringLiteral("Selvane"); }

private:
    Station& m_station;
    ILinkView* m_view;
    QStringList m_ports;
};

// The same for the telemetry window and the main window's warning label.
// Without a window there is no telemetry window to show.
class Station::TelemetryRelay : public ITelemetryView {
public:
    TelemetryRelay(Station& station, ITelemetryView* view) : m_station(station), m_view(view) {}

    void setTelemetryCaption(const QString& caption) override
    {
        if (m_view)
            m_view->setTelemetryCaption(caption);
    }
    void clearTelemetryLists() override
    {
        if (m_view)
            m_view->clearTelemetryLists();
    }
    void addTelemetryLine(TelemetryList list, const QString& line) override
    {
        if (m_view)
            m_view->addTelemetryLine(list, line);
        emit m_station.telemetryDecoded(list, line);
    }
    bool telemetryWindowVisible() const override { return m_view && m_view->telemetryWindowVisible(); }
    void showTelemetryWindow() override
    {
        if (m_view)
            m_view->showTelemetryWindow();
    }
    void hideTelemetryWindow() override
    {
        if (m_view)
            m_view->hideTelemetryWindow();
    }
    void setWarning(const QString& text) override
    {
        m_warning = text;
        if (m_view)
            m_view->setWarning(text);
        if (m_visible)
            emit m_station.warningChanged(m_warning, true);
    }
    void setWarningVisible(bool visible) override
    {
        if (m_view)
            m_view->setWarningVisible(visible);
        if (visible == m_visible)
            return;
        m_visible = visible;
        emit m_station.warningChanged(m_warning, visible);
    }
    void setSelectedTelemetryWindowMode(int mode) override
    {
        if (m_view)
            m_view->setSelectedTelemetryWindowMode(mode);
    }
    void showLoadError(const QString& path) override
    {
        if (m_view)
            m_view->showLoadError(path);
    }

private:
    Station& m_station;
    ITelemetryView* m_view;
    QString m_warning;
    bool m_visible = false;
};

Station::Station(Options options, const ILiveSettings& settings, ILinkView* linkView,
                 ITelemetryView* telemetryView, QObject* parent)
    : QObject(parent),
      m_options(std::move(options)),
      m_settings(settings),
      m_logsDir(QDir(m_options.folder).filePath(LogsDirectoryPath())),
      m_lock(m_options.folder),
      m_activity(m_options.clock, m_options.monotonic)
{
    m_linkRelay = std::make_unique<LinkRelay>(*this, linkView);
    m_telemetryRelay = std::make_unique<TelemetryRelay>(*this, telemetryView);
    m_tlmTimer = std::make_unique<QtTelemetryTimer>([this] { m_modes->tick(); });
    m_modes = std::make_unique<TelemetryWindowModes>(*m_telemetryRelay, *m_tlmTimer);
    m_history = std::make_unique<TelemetryHistory>(m_logsDir, m_tlmState, *m_telemetryRelay, m_options.clock);
    m_decoder = std::make_unique<TelemetryDecoder>(
        *m_telemetryRelay, m_tlmState, *m_modes, *m_history, [this] { return logEnabled(); }, m_options.clock);
    m_decoder->setSatellites(m_config.satellites);
    m_gateway = std::make_unique<Gateway>(*m_linkRelay, m_settings, *m_decoder, m_options.clock,
                                          m_options.monotonic, m_logsDir, engineInForce(), m_options.linkTiming);

    Router& r = m_gateway->router();
    r.setSatellites(m_config.satellites);
    r.setUplinkLimits(m_config.uplink);
    r.onGated = [this](const GatedPacket& p) {
        emit gated(p);
        emit countersChanged();
    };
    r.onDuplicate = [this](const QString& key, const QString& info) {
        emit duplicateHeld(key, info);
        emit countersChanged();
    };
    r.onRefused = [this](const GatedPacket& p, RouteRefusal why) {
        emit refused(p, why);
        if (why == RouteRefusal::UplinkLimit)
            emit countersChanged();
    };

    // A full disk or an unwritable Logs folder never stops the gateway.
    for (DayFile* file : {&m_gateway->dailyLog().dayFile(), &m_history->dayFile()}) {
        file->onTrouble = [this](const QString& what) { emit fileTrouble(what); };
        file->onRecovered = [this] { emit filesRecovered(); };
    }

    wireLink();
    recordActivity();
}

void Station::wireLink()
{
    EngineLink& link = m_gateway->engine();
    link.setHeardObserver([this](const HeardPacket& p) {
        emit heard(p);
        if (m_aprsIs)
            m_aprsIs->heard(p);
    });
    connect(&link, &EngineLink::connecting, this, &Station::engineConnecting);
    connect(&link, &EngineLink::connectFailed, this, &Station::engineConnectFailed);
    connect(&link, &EngineLink::linkConnected, this, &Station::engineConnected);
    connect(&link, &EngineLink::connectionLost, this, &Station::engineConnectionLost);
    connect(&link, &EngineLink::linkStopped, this, &Station::engineStopped);
    connect(&link, &EngineLink::reconnectScheduled, this, &Station::engineRetryScheduled);
    connect(&link, &EngineLink::outputBlocked, this, &Station::engineNotReading);
    connect(&link, &EngineLink::outputResumed, this,
            [this](qint64 dropped) { emit engineReadingAgain(dropped, m_gateway->engine().droppedFrames()); });
    if (auto* agw = qobject_cast<AgwLink*>(&link)) {
        connect(agw, &AgwLink::noEngineReply, this, &Station::engineNoReply);
        connect(agw, &AgwLink::portsUnusable, this, &Station::enginePortsUnusable);
        connect(agw, &AgwLink::versionReported, this,
                [this](EngineVersion v) { emit engineVersion(v.major, v.minor); });
        connect(agw, &AgwLink::streamOutOfStep, this, &Station::engineOutOfStep);
        connect(agw, &AgwLink::sentNotTransmitted, this, &Station::engineSentNotTransmitted);
    }
}

EngineConfig Station::engineInForce() const
{
    if (m_options.engine)
        return *m_options.engine;
    if (m_options.enginePort) {
        EngineConfig agw;
        agw.agwPort = *m_options.enginePort;
        return agw;
    }
    return m_config.engine;
}

void Station::recordActivity()
{
    StationActivity& a = m_activity;
    connect(this, &Station::heard, this,
            [this](const HeardPacket& p) { m_activity.heard(p, m_settings.satsPorts(), m_config.satellites); });
    connect(this, &Station::gated, this, [this](const GatedPacket& p) { m_activity.gated(p); });
    connect(this, &Station::duplicateHeld, this, [this](const QString& key) { m_activity.duplicate(key); });
    connect(this, &Station::refused, this,
            [this](const GatedPacket& p, RouteRefusal why) { m_activity.refused(p, why); });
    // What the upload made of the packet just heard. (A packet the hold
    // waits with is one heard directly, never one kept here; what it later
    // becomes is in the upload's counters.)
    connect(this, &Station::aprsIsJudged, this, [this](const UploadDecision& d, bool sent) {
        if (d.verdict == UploadVerdict::AtOnce)
            m_activity.uploadOutcome(sent ? UploadOutcome::Uploaded : UploadOutcome::Missed);
        else if (d.verdict == UploadVerdict::Held)
            m_activity.uploadOutcome(UploadOutcome::Held);
        else if (IsExclusion(d.verdict))
            m_activity.uploadOutcome(UploadOutcome::Filtered);
    });
    connect(this, &Station::engineConnected, this, [&a] { a.engineConnected(); });
    connect(this, &Station::engineVersion, this, [&a](unsigned major, unsigned minor) { a.engineVersion(major, minor); });
    connect(this, &Station::enginePortsChanged, this, [&a](const QStringList& ports) { a.enginePorts(ports); });
    connect(this, &Station::engineRetryScheduled, this, [&a] { a.engineGone(); });
    connect(this, &Station::engineStopped, this, [&a] { a.engineGone(); });
    connect(this, &Station::engineNotReading, this, [&a] { a.engineReading(false); });
    connect(this, &Station::engineReadingAgain, this, [&a] { a.engineReading(true); });
    connect(this, &Station::telemetryDecoded, this,
            [&a](TelemetryList list, const QString& line) { a.telemetry(list, line); });
    connect(this, &Station::warningChanged, this,
            [&a](const QString& text, bool visible) { a.telemetryWarning(text, visible); });
    connect(this, &Station::fileTrouble, this, [&a](const QString& what) { a.fileTrouble(what); });
    connect(this, &Station::filesRecovered, this, [&a] { a.filesRecovered(); });
}

void Station::engineChoiceChanged()
{
    if (auto* agw = qobject_cast<AgwLink*>(&m_gateway->engine()))
        agw->engineChoiceChanged();
}

Station::~Station()
{
    stop();
}

bool Station::lockFolder()
{
    m_ownsFolder = m_lock.tryLock();
    return m_ownsFolder;
}

bool Station::ensureLogsFolder()
{
    return EnsureLogsDirectory(m_options.folder);
}

QString Station::configPath() const
{
    return StationConfigPath(m_options.folder);
}

QStringList Station::loadConfig()
{
    const StationConfigRead read = ReadStationConfig(m_options.folder);
    applyConfig(read.config);
    return read.problems;
}

void Station::applyConfig(const StationConfig& config)
{
    // The router and the decoder hold the table by reference: it is
    // changed in place.
    m_config = config;
    m_gateway->router().setUplinkLimits(m_config.uplink);
    if (m_aprsIs)
        m_aprsIs->applyConfig(m_config.aprsIs);
    // Another engine: a new link, started again if the old one was.
    if (!m_stopped && !(engineInForce() == m_gateway->engineConfig())) {
        const bool running = m_gateway->engine().isRunning();
        m_gateway->setEngine(engineInForce());
        wireLink();
        emit engineChanged();
        if (running)
            m_gateway->engine().toggle();
    }
}

bool Station::saveConfig(const StationConfig& config, QString* error)
{
    StationConfigRead read = ReadStationConfig(m_options.folder);
    applyConfig(config);
    if (!read.writable) {
        if (error)
            *error = read.problems.value(0);
        return false;
    }
    SetStationConfig(read.document, config);
    QString why;
    if (!WriteStationConfig(m_options.folder, read.document, &why)) {
        if (error)
            *error = QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(configPath()), why);
        return false;
    }
    return true;
}

void Station::startAprsIs()
{
    if (m_aprsIs || m_stopped)
        return;
    // The gate reads the table in place: applyConfig() changes it there.
    m_aprsIs = std::make_unique<AprsIsGate>(m_settings, m_config.aprsIs, m_options.monotonic,
                                            m_options.aprsIsTiming, m_config.satellites);
    m_aprsIs->setRadioCounts([this] { return counters(); });
    AprsIsGate* gate = m_aprsIs.get();
    connect(gate, &AprsIsGate::stateChanged, this, &Station::aprsIsStateChanged);
    connect(gate, &AprsIsGate::judged, this, &Station::aprsIsJudged);
    connect(gate, &AprsIsGate::stationLine, this, &Station::aprsIsStationLine);
    connect(gate, &AprsIsGate::notReading, this, &Station::aprsIsNotReading);
    connect(gate, &AprsIsGate::readingAgain, this, &Station::aprsIsReadingAgain);
    connect(gate, &AprsIsGate::heldDropped, this, &Station::aprsIsHeldDropped);
    connect(gate, &AprsIsGate::loginInUse, this, &Station::aprsIsLoginInUse);
    connect(gate, &AprsIsGate::countersChanged, this, &Station::aprsIsCountersChanged);
}

void Station::stop()
{
    if (m_stopped)
        return;
    m_stopped = true;
    m_gateway->engine().closeForExit();
    if (m_aprsIs)
        m_aprsIs->stop();
    m_aprsIs.reset();
    m_gateway->dailyLog().close();
    m_history->close();
    m_tlmTimer->stop();
}

void Station::setLogEnabled(bool on)
{
    m_gateway->dailyLog().setLogEnabled(on);
}

bool Station::logEnabled() const
{
    return m_gateway->dailyLog().logEnabled();
}

const GatewayCounters& Station::counters() const
{
    return m_gateway->engine().counters();
}

} // namespace selvane
