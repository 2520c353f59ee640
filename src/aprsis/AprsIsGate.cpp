#include "aprsis/AprsIsGate.h"

namespace selvane {

AprsIsGate::AprsIsGate(const ILiveSettings& settings, const AprsIsConfig& config, MonotonicMs clock,
                       AprsIsClient::Timing timing, QObject* parent)
    : QObject(parent), m_settings(settings), m_rules(settings, std::move(clock)), m_client(timing)
{
    connect(&m_client, &AprsIsClient::stateChanged, this, &AprsIsGate::stateChanged);
    connect(&m_client, &AprsIsClient::loginInUse, this, &AprsIsGate::loginInUse);
    applyConfig(config);
}

void AprsIsGate::applyConfig(const AprsIsConfig& config)
{
    m_config = config;
    if (!config.enabled) {
        m_client.stop();
        return;
    }
    const std::optional<ServerAddress> server = ParseServerAddress(config.server);
    if (!server) {
        m_client.fail(QStringLiteral("the server \"%1\" is not host:port").arg(config.server));
        return;
    }
    const QString call = AprsIsLoginCall(config, m_settings.gatewayCall());
    if (!IsValidLoginCall(call)) {
        m_client.fail(call.isEmpty() ? QStringLiteral("no login call: set call in aprs-is.conf or the gateway call")
                                     : QStringLiteral("\"%1\" is not a call APRS-IS accepts").arg(call));
        return;
    }
    const AprsIsLogin login{server->host, server->port, call, config.passcode, config.filter.trimmed()};
    if (login == m_client.login() && m_client.state() != AprsIsState::Off)
        return;
    m_client.start(login);
}

void AprsIsGate::heard(const HeardPacket& packet)
{
    if (m_client.state() == AprsIsState::Off)
        return;
    const UploadDecision d = m_rules.decide(packet);
    if (d.verdict == UploadVerdict::NotSatsPort)
        return;
    if (d.verdict != UploadVerdict::Upload) {
        ++m_counters.filtered;
        emit countersChanged(m_counters);
        emit excluded(d.verdict, d.packet);
        return;
    }
    const QByteArray line = Tnc2Line(d.packet, m_client.login().call);
    if (m_client.send(line) == AprsIsClient::SendResult::Sent) {
        ++m_counters.uploaded;
        emit uploaded(QString::fromLatin1(line));
    } else {
        ++m_counters.missed;
        emit missed(QString::fromLatin1(line));
    }
    emit countersChanged(m_counters);
}

QString AprsIsGate::statusText() const
{
    const QString detail = m_client.detail();
    return QStringLiteral("APRS-IS: ") + AprsIsStateText(m_client.state())
           + (detail.isEmpty() ? QString() : QStringLiteral(" (") + detail + QLatin1Char(')'));
}

} // namespace selvane
