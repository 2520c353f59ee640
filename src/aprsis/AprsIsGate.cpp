#include "aprsis/AprsIsGate.h"

namespace selvane {

AprsIsGate::AprsIsGate(const ILiveSettings& settings, const AprsIsConfig& config, MonotonicMs clock,
                       AprsIsClient::Timing timing, QObject* parent)
    : QObject(parent), m_settings(settings), m_rules(settings, std::move(clock)), m_client(timing)
{
    connect(&m_client, &AprsIsClient::stateChanged, this, &AprsIsGate::stateChanged);
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
        m_client.fail(tr("il server \"%1\" non è nella forma host:porta").arg(config.server));
        return;
    }
    const QString call = AprsIsLoginCall(config, m_settings.gatewayCall());
    if (!IsValidLoginCall(call)) {
        m_client.fail(call.isEmpty() ? tr("nessun nominativo di accesso: impostare call nella sezione [aprs-is] "
                                          "di selvane.conf o il nominativo del gateway")
                                     : tr("\"%1\" non è un nominativo che APRS-IS accetta").arg(call));
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
        return;
    }
    const QByteArray line = Tnc2Line(d.packet, m_client.login().call);
    if (m_client.send(line) == AprsIsClient::SendResult::Sent) {
        ++m_counters.uploaded;
        emit uploaded(QString::fromLatin1(line));
    } else {
        ++m_counters.missed;
    }
    emit countersChanged(m_counters);
}

QString AprsIsGate::statusText() const
{
    const QString detail = m_client.detail();
    return detail.isEmpty() ? tr("APRS-IS: %1").arg(AprsIsStateText(m_client.state()))
                            : tr("APRS-IS: %1 (%2)").arg(AprsIsStateText(m_client.state()), detail);
}

} // namespace selvane
