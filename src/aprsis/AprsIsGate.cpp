#include "aprsis/AprsIsGate.h"

#include <algorithm>
#include <climits>

namespace selvane {

AprsIsGate::AprsIsGate(const ILiveSettings& settings, const AprsIsConfig& config, MonotonicMs clock,
                       AprsIsClient::Timing timing, const SatelliteTable& satellites, QObject* parent)
    : QObject(parent),
      m_settings(settings),
      m_satellites(satellites),
      m_clock(clock),
      m_rules(settings, satellites),
      m_hold(clock),
      m_beacon(clock),
      m_client(timing)
{
    connect(&m_client, &AprsIsClient::stateChanged, this, [this](AprsIsState state, const QString& detail) {
        if (state == AprsIsState::Verified)
            m_beacon.loggedIn();
        emit stateChanged(state, detail);
        if (state == AprsIsState::Verified)
            poll();
    });
    connect(&m_client, &AprsIsClient::loginInUse, this, &AprsIsGate::loginInUse);
    connect(&m_client, &AprsIsClient::notReading, this, &AprsIsGate::notReading);
    connect(&m_client, &AprsIsClient::readingAgain, this, &AprsIsGate::readingAgain);
    m_pollTimer.setSingleShot(true);
    connect(&m_pollTimer, &QTimer::timeout, this, &AprsIsGate::poll);
    applyConfig(config);
}

AprsIsGate::~AprsIsGate() = default;

void AprsIsGate::applyConfig(const AprsIsConfig& config)
{
    m_config = config;
    m_hold.setDelaySeconds(config.satgateDelay);
    if (!config.enabled) {
        stop();
        return;
    }
    if (config.beacon) {
        const bool starts = !m_beacon.running();
        if (starts)
            m_lastTraffic = traffic();
        m_beacon.start(config.sendsPosition() ? config.beaconMinutes : 0);
        // Already logged in (switched on by a new setting): show it now.
        if (starts && m_client.state() == AprsIsState::Verified)
            m_beacon.loggedIn();
    } else {
        m_beacon.stop();
    }

    m_loginCall = AprsIsLoginCall(config, m_settings.gatewayCall());
    const std::optional<ServerAddress> server = ParseServerAddress(config.server);
    if (!server) {
        m_client.fail(tr("il server \"%1\" non è nella forma host:porta").arg(config.server));
    } else if (!IsValidLoginCall(m_loginCall)) {
        m_client.fail(m_loginCall.isEmpty()
                          ? tr("nessun nominativo di accesso: impostare call nella sezione [aprs-is] "
                               "di selvane.conf o il nominativo del gateway")
                          : tr("\"%1\" non è un nominativo che APRS-IS accetta").arg(m_loginCall));
    } else {
        const AprsIsLogin login{server->host, server->port, m_loginCall, config.passcode, config.filter.trimmed()};
        if (login != m_client.login() || m_client.state() == AprsIsState::Off)
            m_client.start(login);
    }
    poll();
}

void AprsIsGate::stop()
{
    m_pollTimer.stop();
    m_beacon.stop();
    dropHeld();
    m_client.stop();
}

void AprsIsGate::dropHeld()
{
    const int n = m_hold.dropAll();
    if (n == 0)
        return;
    m_counters.droppedAtStop += n;
    m_counters.heldNow = 0;
    emit heldDropped(n);
    emit countersChanged(m_counters);
}

void AprsIsGate::heard(const HeardPacket& packet)
{
    if (m_client.state() == AprsIsState::Off)
        return;
    const UploadDecision d = m_rules.decide(packet, m_loginCall);
    if (d.verdict == UploadVerdict::NotSatsPort)
        return;
    ++m_counters.heard;
    for (const UploadDecision& e : m_hold.take(d))
        handle(e);
    m_counters.heldNow = m_hold.size();
    reschedule();
    emit countersChanged(m_counters);
}

void AprsIsGate::poll()
{
    if (m_client.state() == AprsIsState::Off)
        return;
    const QList<UploadDecision> released = m_hold.releaseDue();
    for (const UploadDecision& e : released)
        handle(e);
    const qint64 linesBefore = m_counters.stationLines + m_counters.missed;
    sendDue();
    m_counters.heldNow = m_hold.size();
    reschedule();
    if (!released.isEmpty() || m_counters.stationLines + m_counters.missed != linesBefore)
        emit countersChanged(m_counters);
}

void AprsIsGate::handle(const UploadDecision& e)
{
    bool sent = false;
    switch (e.verdict) {
    case UploadVerdict::AtOnce:
    case UploadVerdict::Released:
        sent = m_client.send(e.line) == AprsIsClient::SendResult::Sent;
        ++(sent ? m_counters.uploaded : m_counters.missed);
        m_counters.released += e.verdict == UploadVerdict::Released;
        break;
    case UploadVerdict::Held:
        ++m_counters.held;
        break;
    case UploadVerdict::Superseded:
        ++m_counters.superseded;
        break;
    default:
        ++m_counters.filtered;
        ++m_counters.excluded[e.verdict];
        break;
    }
    emit judged(e, sent);
}

void AprsIsGate::sendStationLine(const QByteArray& line)
{
    const bool sent = m_client.send(line) == AprsIsClient::SendResult::Sent;
    ++(sent ? m_counters.stationLines : m_counters.missed);
    emit stationLine(QString::fromUtf8(line), sent);
}

StationTraffic AprsIsGate::traffic() const
{
    const GatewayCounters radio = m_radioCounts ? m_radioCounts() : GatewayCounters{};
    return {m_counters.heard, radio.toOutCount, radio.toSatsCount, m_counters.uploaded, radio.heldCount};
}

void AprsIsGate::sendDue()
{
    const bool loggedIn = m_client.state() == AprsIsState::Verified;
    for (BeaconSchedule::Line what : m_beacon.due(loggedIn)) {
        switch (what) {
        case BeaconSchedule::Line::Position:
            sendStationLine(BeaconPositionLine(m_loginCall, *m_config.latitude, *m_config.longitude,
                                               m_config.beaconComment));
            sendStationLine(BeaconStatusLine(m_loginCall, SatgateStatusText(m_satellites, m_settings.gateToSats())));
            break;
        case BeaconSchedule::Line::Definitions:
            for (const QByteArray& line : TelemetryDefinitionLines(m_loginCall))
                sendStationLine(line);
            break;
        case BeaconSchedule::Line::Telemetry: {
            const StationTraffic now = traffic();
            sendStationLine(TelemetryLine(m_loginCall, m_telemetrySequence++, TrafficSince(m_lastTraffic, now)));
            m_lastTraffic = now;
            break;
        }
        }
    }
}

void AprsIsGate::reschedule()
{
    std::optional<qint64> next = m_hold.nextDueMs();
    if (const std::optional<qint64> beacon = m_beacon.nextDueMs())
        next = next ? std::min(*next, *beacon) : *beacon;
    if (!next) {
        m_pollTimer.stop();
        return;
    }
    m_pollTimer.start(int(std::clamp<qint64>(*next - m_clock(), 0, INT_MAX)));
}

QString AprsIsGate::statusText() const
{
    const QString detail = m_client.detail();
    return detail.isEmpty() ? tr("APRS-IS: %1").arg(AprsIsStateText(m_client.state()))
                            : tr("APRS-IS: %1 (%2)").arg(AprsIsStateText(m_client.state()), detail);
}

} // namespace selvane
