#pragma once
#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

#include "aprsis/AprsIsGate.h"
#include "gateway/StationActivity.h"

namespace selvane {

class Station;

// A station's state at one moment, as plain values: what its status page
// shows, and nothing from its configuration but what is listed here (never
// the APRS-IS passcode, login or filter).
struct StationStatus {
    QDateTime now;
    QString program;           // "selvaned"
    QString version;           // "3.0"
    QString call;              // the gateway call as it goes on the air
    QDateTime started;
    QStringList warnings;      // troubles of the station, one sentence each

    struct Engine {
        QString kind = QStringLiteral("agw");  // how the engine is reached
        QString address;                       // "127.0.0.1:8000"
        QString state;                         // "connected", "connecting", "stopped"
        QDateTime connectedSince;              // invalid while not connected
        QString profile;                       // "Dire Wolf", "AGW Packet Engine", empty: not known yet
        QString version;                       // "1.7", empty: not told
        QStringList ports;                     // the engine's descriptions of its radio ports
        QStringList warnings;                  // a port that does not exist, an engine that does not read
        qint64 droppedFrames = 0;
    } engine;

    struct AprsIs {
        bool enabled = false;
        QString state = QStringLiteral("off");  // "off", "connecting", "verified", "unverified", "error"
        QString server;                          // host:port as configured
        bool verified = false;
        AprsIsCounters counters;
    } aprsIs;

    ActivityCounts total;      // since `started`
    ActivityCounts lastHour;
    QList<SatellitePacket> packets;  // newest first

    QList<TelemetryLineSeen> telemetryLines;
    QList<TelemetrySample> telemetryValues;  // the last of each series today
    QList<TelemetrySample> telemetryToday;   // oldest first; empty when not taken
};

// The station as it is now. program: the name the page gives the program.
// withTelemetryDay: the day's telemetry values too (up to
// StationActivity::kMaxDaySamples, the largest part by far).
StationStatus TakeStationStatus(Station& station, const QString& program, bool withTelemetryDay = true);

// The status as JSON, the form documented in selvaned(8). Field names never
// change meaning; new fields may be added. plots: the "plots" of the
// telemetry as TelemetryPlots wrote them (the largest part, to be made only
// when the telemetry changed); by default they are made from
// status.telemetryToday.
QByteArray StatusJson(const StationStatus& status, const QByteArray* plots = nullptr);
// The day's telemetry values as the JSON plots: one object per quantity,
// each with its series of [minutes after midnight, value] points.
QByteArray TelemetryPlots(const QList<TelemetrySample>& samples);

// The counters and gauges in the Prometheus text format (version 0.0.4).
QByteArray StatusMetrics(const StationStatus& status);

// The names the JSON and the metrics give things.
QString UploadOutcomeName(UploadOutcome outcome);      // "", "uploaded", "missed", "filtered"
QString AprsIsStateName(AprsIsState state);            // "off", "connecting", "verified", ...
QString TelemetryQuantityName(TelemetryQuantity q);    // "panel_current", "battery_voltage", ...

} // namespace selvane
