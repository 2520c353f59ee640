#pragma once
#include <QByteArray>
#include <QDate>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

#include <array>
#include <deque>

#include "agw/Interfaces.h"
#include "common/Clock.h"
#include "gateway/DuplicateFilter.h"
#include "gateway/Router.h"
#include "gateway/Satellites.h"
#include "telemetry/TelemetrySeries.h"
#include "telemetry/TelemetryView.h"

namespace selvane {

// The counts of the gateway's work, since the start or over the last hour.
struct ActivityCounts {
    qint64 heardOnSats = 0;  // packets heard on a Sats port
    qint64 gatedDown = 0;    // sent from the Sats ports to the Out ports
    qint64 gatedUp = 0;      // sent from the Out ports up to a satellite
    qint64 duplicates = 0;   // held back by the duplicate filter
    qint64 held = 0;         // held back by the uplink limits

    ActivityCounts& operator+=(const ActivityCounts& other);
    bool operator==(const ActivityCounts&) const = default;
};

// What the APRS-IS upload did with a heard packet.
enum class UploadOutcome {
    None,        // not looked at: the upload is off, or not a Sats port
    Uploaded,
    Missed,      // would have gone up, but no verified login
    Filtered,    // kept back by the upload rules
    Held,        // in the satgate hold, waiting for the satellite's copy
};

// One packet heard via a satellite, and what the gateway did with it.
struct SatellitePacket {
    QDateTime time;
    QString satellite;     // the table's name: "ISS", "PCSAT"
    int port = 0;          // 0-based, where it was heard
    QString source;
    QString destination;
    QStringList via;       // as heard, marks included: "RS0ISS*", "WIDE2-1"
    QByteArray info;       // as heard, one byte per character
    QList<int> gatedTo;    // 0-based ports it was sent on, in order
    bool duplicate = false;
    bool held = false;
    bool refused = false;  // a call a radio cannot carry: not sent
    UploadOutcome upload = UploadOutcome::None;

    bool operator==(const SatellitePacket&) const = default;
};

// The last decoded telemetry display line of one list of the telemetry
// window.
struct TelemetryLineSeen {
    TelemetryList list = TelemetryList::A;
    QDateTime time;   // when it was decoded
    QString line;     // "4 09:05 BattA=14.76V BattB=14.94V Tx=1.24W 8V=8.19V"
};

// Which satellite a heard packet came through: the first via entry a
// satellite of the table repeated, else the satellite that sent it; empty
// when none did.
QString SatelliteOfHeard(const HeardPacket& packet, const SatelliteTable& satellites);

// What a station has done lately, for its status page: the last
// kPacketCount packets heard via a satellite and what became of each, the
// counts since the start and over the last hour, the engine's connection,
// the day's telemetry values, and the troubles in force. Everything it keeps
// is bounded, whatever the station hears and however long it runs.
//
// The station tells it what happens, in the order things happen to one
// heard packet: heard(), then at most one uploadOutcome(), then at most one
// of gated(), duplicate() or refused(). Those three belong to the last
// packet heard when they name its port and source (a packet gated up is
// counted all the same).
class StationActivity {
public:
    static constexpr int kPacketCount = 50;
    // Telemetry values kept for the day's plots: some 400 display lines, far
    // more than a day of passes brings.
    static constexpr int kMaxDaySamples = 2000;
    // The hour is kept as this many one-minute steps.
    static constexpr int kHourMinutes = 60;

    StationActivity(Clock clock, MonotonicMs monotonic);

    // The packets.
    void heard(const HeardPacket& packet, const QString& satsPorts, const SatelliteTable& satellites);
    void uploadOutcome(UploadOutcome outcome);
    void gated(const GatedPacket& packet);
    void duplicate(const QString& key);
    void refused(const GatedPacket& packet, RouteRefusal why);

    // The engine.
    void engineConnected();
    void engineVersion(unsigned major, unsigned minor);
    void enginePorts(const QStringList& ports);
    void engineGone();  // lost or stopped
    void engineReading(bool reading);

    // Telemetry and troubles.
    void telemetry(TelemetryList list, const QString& line);
    void telemetryWarning(const QString& text, bool visible);
    void fileTrouble(const QString& what);
    void filesRecovered();

    // The station's clock.
    QDateTime now() const { return m_clock(); }
    QDateTime started() const { return m_started; }
    const ActivityCounts& total() const { return m_total; }
    ActivityCounts lastHour() const;
    // Newest first.
    QList<SatellitePacket> packets() const;

    QDateTime connectedSince() const { return m_connectedSince; }  // invalid: not connected
    QString engineVersionText() const { return m_engineVersion; } // "1.7", empty: not told
    const QStringList& enginePortList() const { return m_ports; }
    bool engineReading() const { return m_engineReading; }

    // The last line of each list (A, B, M) decoded so far.
    QList<TelemetryLineSeen> telemetryLines() const;
    // Today's values, oldest first (empty once the day has changed).
    QList<TelemetrySample> telemetryToday() const;
    // The last value of each series today, in the order first seen. A
    // series is a name and a quantity: "A +X" is both a panel current and a
    // temperature.
    QList<TelemetrySample> telemetryLastValues() const;
    // Changes with every telemetry line, so that what is made of the day's
    // values is made again only then (and when the day changes).
    quint64 telemetryRevision() const { return m_tlmRevision; }
    QString telemetryWarningText() const { return m_warningVisible ? m_warning : QString(); }
    QString fileTroubleText() const { return m_fileTrouble; }

private:
    struct Minute {
        qint64 minute = -1;
        ActivityCounts counts;
    };
    // The count named by member, in the total and in this minute.
    void count(qint64 ActivityCounts::*member);
    SatellitePacket* pending(int port, const QString& source);

    Clock m_clock;
    MonotonicMs m_monotonic;
    QDateTime m_started;
    ActivityCounts m_total;
    std::array<Minute, kHourMinutes> m_minutes;
    std::deque<SatellitePacket> m_packets;  // oldest first
    bool m_lastHeardKept = false;           // the newest of m_packets is the last packet heard

    QDateTime m_connectedSince;
    QString m_engineVersion;
    QStringList m_ports;
    bool m_engineReading = true;

    std::array<TelemetryLineSeen, 3> m_tlmLines;
    std::deque<TelemetrySample> m_daySamples;
    QList<TelemetrySample> m_lastValues;
    QDate m_sampleDay;
    quint64 m_tlmRevision = 0;
    QString m_warning;
    bool m_warningVisible = false;
    QString m_fileTrouble;
};

} // namespace selvane
