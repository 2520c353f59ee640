#pragma once
#include <QObject>
#include <QString>
#include <QTimer>

#include <functional>
#include <map>

#include "agw/Interfaces.h"
#include "aprsis/AprsIsClient.h"
#include "aprsis/AprsIsConfig.h"
#include "aprsis/Beacon.h"
#include "aprsis/SatgateHold.h"
#include "aprsis/UploadRules.h"
#include "gateway/Satellites.h"
#include "settings/GatewaySettings.h"

namespace selvane {

struct AprsIsCounters {
    qint64 uploaded = 0;   // heard packets handed to the connection (at once or released)
    qint64 missed = 0;     // would have gone up, but no verified login (or the socket's buffer was full)
    qint64 filtered = 0;   // heard on a Sats port, excluded by the upload rules (all reasons)
    qint64 heard = 0;      // heard on a Sats port
    qint64 heldNow = 0;    // in the satgate hold now
    qint64 held = 0;       // put in the hold
    qint64 superseded = 0; // dropped from the hold: the satellite's copy went up
    qint64 released = 0;   // uploaded (or missed) from the hold when their time was up
    qint64 droppedAtStop = 0;   // in the hold when the upload stopped
    qint64 stationLines = 0;    // the gateway's own beacon, status and telemetry lines sent
    std::map<UploadVerdict, qint64> excluded;   // filtered, by reason

    bool operator==(const AprsIsCounters&) const = default;
};

// The APRS-IS upload ("satgate"): every packet heard on a Sats port that the
// upload rules let through goes to the server as one line, at once or after
// the satgate hold (SatgateHold), or never. Nothing waits for the connection
// (an old position shown late misleads a map): a line that cannot go when
// its time comes is counted as missed. heard() never waits: the socket
// writes in the background, and the radio side never waits for the hold.
//
// With beacon = yes and a position, the gateway's own position, status and
// telemetry go up too (Beacon.h), under the login call.
//
// The login call is taken when the settings are applied: the configured
// call, else the gateway call (txtAdd) read at that moment. The Sats ports,
// the gateway call for the own-transmission rule, the satellite table and
// "Gate to Sats" for the status are read when they are needed.
//
// Time is the injected monotonic clock: a timer calls poll() when the next
// held packet or station line is due; a test that moves its clock calls
// poll() itself.
class AprsIsGate : public QObject {
    Q_OBJECT
public:
    // The radio side's counts since START, for the station telemetry.
    using RadioCounts = std::function<GatewayCounters()>;

    AprsIsGate(const ILiveSettings& settings, const AprsIsConfig& config, MonotonicMs clock,
               AprsIsClient::Timing timing = {}, const SatelliteTable& satellites = DefaultSatellites(),
               QObject* parent = nullptr);
    ~AprsIsGate() override;

    void setRadioCounts(RadioCounts counts) { m_radioCounts = std::move(counts); }

    // Every heard packet (AgwLink::setHeardObserver).
    void heard(const HeardPacket& packet);
    // Uploads the held packets whose time is up and sends the station lines
    // that are due.
    void poll();

    // New settings (the dialog, SIGHUP): off, or a new connection when the
    // server or login changed; the same values keep the connection as it is.
    // Off drops what the hold holds (counted, heldDropped).
    void applyConfig(const AprsIsConfig& config);
    // The program stops: the hold is dropped (counted, heldDropped), the
    // connection closed.
    void stop();

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
    // What became of a packet heard on a Sats port (every verdict but
    // NotSatsPort), or of a held one. sent: an AtOnce or Released line
    // was handed to the connection; false for one that was missed (no
    // verified login, or a server that does not read) and for every other
    // verdict.
    void judged(const selvane::UploadDecision& decision, bool sent);
    // One of the gateway's own lines (position, status, telemetry), sent or
    // missed.
    void stationLine(const QString& line, bool sent);
    // The server stopped reading (said once) and reads again.
    void notReading();
    void readingAgain(qint64 refused);
    // The hold was dropped (a stop, the upload switched off): count packets.
    void heldDropped(int count);
    // After any change of the counters.
    void countersChanged(const AprsIsCounters& counters);

private:
    void handle(const UploadDecision& decision);
    void sendStationLine(const QByteArray& line);
    void sendDue();
    StationTraffic traffic() const;
    void dropHeld();
    void reschedule();

    const ILiveSettings& m_settings;
    const SatelliteTable& m_satellites;
    MonotonicMs m_clock;
    AprsIsConfig m_config;
    QString m_loginCall;
    UploadRules m_rules;
    SatgateHold m_hold;
    BeaconSchedule m_beacon;
    StationTraffic m_lastTraffic;
    int m_telemetrySequence = 0;
    RadioCounts m_radioCounts;
    AprsIsClient m_client;
    QTimer m_pollTimer;
    AprsIsCounters m_counters;
};

} // namespace selvane
