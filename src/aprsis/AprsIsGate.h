#pragma once
#include <QObject>
#include <QString>

#include "agw/Interfaces.h"
#include "aprsis/AprsIsClient.h"
#include "aprsis/AprsIsConfig.h"
#include "aprsis/UploadRules.h"
#include "gateway/DuplicateFilter.h"
#include "settings/GatewaySettings.h"

namespace selvane {

struct AprsIsCounters {
    qint64 uploaded = 0;   // lines handed to the connection
    qint64 missed = 0;     // would have gone up, but no verified login (or the socket's buffer was full)
    qint64 filtered = 0;   // heard on a Sats port, kept back by the upload rules (UploadRules)

    bool operator==(const AprsIsCounters&) const = default;
};

// The APRS-IS upload ("satgate"): every packet heard on a Sats port that the
// upload rules let through goes to the server as one line, at once or never.
// Nothing is queued while the connection is down (an old position shown
// late misleads a map); such packets are counted as missed. heard() never
// waits: the socket writes in the background.
//
// The login call is taken when the settings are applied: the configured
// call, else the gateway call (txtAdd) read at that moment. The Sats ports
// and the gateway call for the own-transmission rule are read for every
// packet.
class AprsIsGate : public QObject {
    Q_OBJECT
public:
    AprsIsGate(const ILiveSettings& settings, const AprsIsConfig& config, MonotonicMs clock,
               AprsIsClient::Timing timing = {}, QObject* parent = nullptr);

    // Every heard packet (AgwLink::setHeardObserver).
    void heard(const HeardPacket& packet);

    // New settings (the dialog, SIGHUP): off, or a new connection when the
    // server or login changed; the same values keep the connection as it is.
    void applyConfig(const AprsIsConfig& config);

    const AprsIsConfig& config() const { return m_config; }
    AprsIsState state() const { return m_client.state(); }
    QString stateDetail() const { return m_client.detail(); }
    // "APRS-IS: connected, verified (server T2TEST (127.0.0.1:14580), login N1CALL-5)"
    QString statusText() const;
    const AprsIsCounters& counters() const { return m_counters; }
    // The login seems to be in use by another client (AprsIsClient).
    bool loginSeemsInUse() const { return m_client.loginSeemsInUse(); }

signals:
    void stateChanged(AprsIsState state, const QString& detail);
    // Said once when the login seems to be in use by another client.
    void loginInUse();
    // One line sent, as sent (without its CR LF).
    void uploaded(const QString& line);
    // A packet heard on a Sats port that the upload rules kept back, and why
    // (packet: as judged, a third-party packet unwrapped).
    void excluded(UploadVerdict verdict, const HeardPacket& packet);
    // A line that would have gone up but did not: no verified login, or the
    // socket's buffer was full.
    void missed(const QString& line);
    // After any change of the counters.
    void countersChanged(const AprsIsCounters& counters);

private:
    const ILiveSettings& m_settings;
    AprsIsConfig m_config;
    UploadRules m_rules;
    AprsIsClient m_client;
    AprsIsCounters m_counters;
};

} // namespace selvane
