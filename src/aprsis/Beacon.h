#pragma once
#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>

#include "gateway/DuplicateFilter.h"   // MonotonicMs
#include "gateway/Satellites.h"

namespace selvane {

// What the gateway says of itself on APRS-IS, so that it shows on the maps
// as the satgate that heard what it uploaded. Never sent on the radio.
//
// With beacon = yes the telemetry goes up; with a position too, the
// position and status. Every line is the gateway's (the login call's), to
// the experimental software destination APZSLV (until one is allocated),
// with TCPIP* as its path, as a server expects of a client's own packets:
//   position   N1CALL-5>APZSLV,TCPIP*:!4524.00NS00912.00E&Selvane satgate
//              ("!": no messaging; overlay "S" on the gateway symbol "\&")
//   status     N1CALL-5>APZSLV,TCPIP*:>Satgate ISS, PCSAT; uplink on
//   telemetry  N1CALL-5>APZSLV,TCPIP*:T#012,034,002,001,030,000,00000000
//   and its    N1CALL-5>APZSLV,TCPIP*::N1CALL-5 :PARM.Heard,Down,Up,Upload,Held
//   meaning    ... UNIT.pkt,pkt,pkt,pkt,pkt  and  EQNS.0,1,0,0,1,0,0,1,0,0,1,0,0,1,0

inline constexpr const char* kSelvaneTocall = "APZSLV";

// Latitude and longitude in decimal degrees (north and east positive),
// within ±90 and ±180; written to the hundredth of a minute, rounded (so
// 89.99999 is the pole, 9000.00N, and -179.99999 is 18000.00W).
QByteArray BeaconPositionLine(const QString& call, double latitude, double longitude, const QString& comment);
QByteArray BeaconStatusLine(const QString& call, const QString& text);
// What the gateway does: the enabled satellites of the table and whether it
// sends up to them, at most 62 characters (what a status may hold):
// "Satgate ISS, PCSAT, PSAT2; uplink on". Never translated.
QString SatgateStatusText(const SatelliteTable& satellites, bool gatingUp);

// What the station telemetry counts, each since some start; a count lower
// than the previous one started again from 0.
struct StationTraffic {
    qint64 heard = 0;      // heard on the Sats ports
    qint64 down = 0;       // gated down to the Out ports
    qint64 up = 0;         // gated up to the Sats ports
    qint64 uploaded = 0;   // uploaded to APRS-IS
    qint64 held = 0;       // held back by the uplink limits

    bool operator==(const StationTraffic&) const = default;
};
// What happened between two readings of the counts.
StationTraffic TrafficSince(const StationTraffic& before, const StationTraffic& now);
// One telemetry report: sequence (0..999, wrapping) and the five counts,
// each capped at 255 (the most the format holds).
QByteArray TelemetryLine(const QString& call, int sequence, const StationTraffic& counts);
// The PARM., UNIT. and EQNS. messages that tell a map what the channels are.
QList<QByteArray> TelemetryDefinitionLines(const QString& call);

// When each of those lines is due, on the injected monotonic clock:
// - the position and status (when there is a position) at each login and
//   every beacon-minutes while logged in (one that falls due meanwhile
//   waits for the login);
// - the telemetry every 20 minutes from start(), logged in or not (counts
//   that cannot go up are not kept for later);
// - the telemetry definitions at the first login after start(), then every
//   2 hours (waiting for a login as the position does).
class BeaconSchedule {
public:
    static constexpr qint64 kTelemetryMs = 20 * 60 * 1000;
    static constexpr qint64 kDefinitionsMs = 2 * 60 * 60 * 1000;

    enum class Line { Position, Telemetry, Definitions };

    explicit BeaconSchedule(MonotonicMs clock);

    // beacon = yes: from now on; beaconMinutes 0: no position (none is
    // set). Again with other minutes: the next position follows the new
    // interval; the rest goes on.
    void start(int beaconMinutes);
    void stop();
    bool running() const { return m_running; }
    // A login was verified: the position (and the definitions, the first
    // time) go now.
    void loggedIn();

    // What is due now, each at most once, in the order Position,
    // Definitions, Telemetry. loggedIn: whether lines can go up now.
    QList<Line> due(bool loggedIn);
    // When the next line falls due; none when nothing waits but a login.
    std::optional<qint64> nextDueMs() const;

private:
    MonotonicMs m_clock;
    bool m_running = false;
    qint64 m_positionMs = 0;
    bool m_positionWaits = false;       // due, waiting for a login
    std::optional<qint64> m_nextPosition;
    std::optional<qint64> m_nextDefinitions;
    bool m_definitionsWait = false;
    qint64 m_nextTelemetry = 0;
};

} // namespace selvane
