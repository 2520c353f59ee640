// What a station remembers for its status page: a packet heard, then what
// the upload and the router did with it, in; the record kept out (or none),
// and the counts. Port 1 is the Sats port, port 2 the Out port.
#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>

#include "gateway/GatewayFakes.h"
#include "gateway/StationActivity.h"
#include "gateway/StationConfig.h"
#include "gateway/StationStatus.h"

using namespace selvane;
using namespace selvane::test;

namespace {

struct Rig {
    QDateTime now{QDate(2026, 11, 1), QTime(10, 0), Qt::UTC};
    qint64 ms = 0;
    StationActivity activity{[this] { return now; }, [this] { return ms; }};

    // "1:SRC>DST,VIA...:info" heard, then the events, space-separated:
    // U/M/F uploaded/missed/filtered, G2 gated down to port 2, ^1 gated up
    // to port 1, D duplicate, H held by the uplink limits, R refused.
    void play(const QString& heard, const QString& events)
    {
        HeardPacket p;
        p.port = heard.section(QLatin1Char(':'), 0, 0).toInt() - 1;
        const QString head = heard.section(QLatin1Char(':'), 1, 1);
        const QStringList calls = head.section(QLatin1Char('>'), 1).split(QLatin1Char(','));
        p.source = head.section(QLatin1Char('>'), 0, 0);
        p.destination = calls.first();
        p.via = calls.mid(1);
        p.info = heard.section(QLatin1Char(':'), 2).toLatin1();
        activity.heard(p, QStringLiteral("1"), DefaultSatellites());
        GatedPacket g{false, p.port, {}, p.source, p.destination, {}, QString::fromLatin1(p.info)};
        for (const QString& e : events.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
            const QChar c = e.at(0);
            if (c == 'U' || c == 'M' || c == 'F')
                activity.uploadOutcome(c == 'U' ? UploadOutcome::Uploaded
                                       : c == 'M' ? UploadOutcome::Missed : UploadOutcome::Filtered);
            else if (c == 'G' || c == '^') {
                g.toSats = c == '^';
                g.ports = {e.mid(1).toInt() - 1};
                activity.gated(g);
            } else if (c == 'D')
                activity.duplicate(p.source);
            else if (c == 'H' || c == 'R') {
                g.toSats = c == 'H';
                activity.refused(g, c == 'H' ? RouteRefusal::UplinkLimit : RouteRefusal::BadCall);
            }
        }
    }
};

// A record as one line: satellite, port, packet, what was done.
QString Line(const SatellitePacket& p)
{
    QStringList done;
    for (int port : p.gatedTo)
        done << QStringLiteral("G%1").arg(port + 1);
    if (p.duplicate)
        done << QStringLiteral("D");
    if (p.held)
        done << QStringLiteral("H");
    if (p.refused)
        done << QStringLiteral("R");
    if (p.upload != UploadOutcome::None)
        done << UploadOutcomeName(p.upload);
    return QStringLiteral("%1 %2:%3>%4%5:%6 %7")
        .arg(p.satellite)
        .arg(p.port + 1)
        .arg(p.source, p.destination, p.via.isEmpty() ? QString() : QLatin1Char(',') + p.via.join(QLatin1Char(',')),
             QString::fromLatin1(p.info), done.join(QLatin1Char(' ')));
}

struct Row {
    const char* heard;
    const char* events;
    const char* kept;  // the newest record afterwards; "" when this packet was not kept
};

TEST(StationActivity, WhatBecameOfEachPacketHeardViaASatellite)
{
    const Row rows[] = {
        // Repeated by a satellite, sent by one, through the upload and the router.
        {"1:N0CALL-9>APRS,RS0ISS*:hello", "U G2", "ISS 1:N0CALL-9>APRS,RS0ISS*:hello G2 uploaded"},
        {"1:N0CALL-7>CQ,RS0ISS*,WIDE2-1:again", "F D", "ISS 1:N0CALL-7>CQ,RS0ISS*,WIDE2-1:again D filtered"},
        {"1:PCSAT-1>APRS:T#101,100,120,140,160,000,00000000,1,00", "G2", "PCSAT 1:PCSAT-1>APRS:T#101,100,120,140,160,000,00000000,1,00 G2"},
        {"1:N0CALL-12>APRS,WIDE1-1,W3ADO-1*:two hops", "M G2", "PCSAT 1:N0CALL-12>APRS,WIDE1-1,W3ADO-1*:two hops G2 missed"},
        {"1:N0CALL-9>APRS,RS0ISS*:<script>x</script>", "R", "ISS 1:N0CALL-9>APRS,RS0ISS*:<script>x</script> R"},
        {"1:N0CALL-4>APRS,DP0SNX*:sonate", "", "SONATE-2 1:N0CALL-4>APRS,DP0SNX*:sonate "},
        // Not via a satellite: counted as heard, never kept, and what the
        // router does with it belongs to no record.
        {"1:N0CALL-1>APRS,WIDE2-1:local", "G2", ""},
        {"1:N0CALL-8>APRS,RS0ISS:not repeated", "", ""},
        {"2:N0CALL-3>APRS,RS0ISS*:heard on the Out port", "", ""},
        {"2:N0CALL-3>APRS,N0CALL-5,ARISS:up", "^1", ""},
        {"2:N0CALL-3>APRS,N0CALL-5,ARISS:up again", "H", ""},
    };
    Rig rig;
    QStringList expected;
    for (const Row& r : rows) {
        rig.play(QString::fromLatin1(r.heard), QString::fromLatin1(r.events));
        if (*r.kept)
            expected.prepend(QString::fromLatin1(r.kept));
    }
    QStringList kept;
    for (const SatellitePacket& p : rig.activity.packets())
        kept << Line(p);
    EXPECT_EQ(kept, expected);
    // heard on Sats, down, up, duplicates, held
    const ActivityCounts counts{8, 4, 1, 1, 1};
    EXPECT_EQ(rig.activity.total(), counts);
    EXPECT_EQ(rig.activity.lastHour(), counts);
}

TEST(StationActivity, KeepsTheLastFiftyAndOneHourOfCounts)
{
    Rig rig;
    for (int i = 0; i < 70; ++i) {
        rig.ms = i * 60'000;  // one a minute
        rig.play(QStringLiteral("1:N0CALL-9>APRS,RS0ISS*:n%1").arg(i), QStringLiteral("G2"));
    }
    const QList<SatellitePacket> packets = rig.activity.packets();
    ASSERT_EQ(packets.size(), StationActivity::kPacketCount);
    EXPECT_EQ(packets.first().info, "n69");
    EXPECT_EQ(packets.last().info, "n20");
    EXPECT_EQ(rig.activity.total().gatedDown, 70);
    EXPECT_EQ(rig.activity.lastHour().gatedDown, 60);  // minutes 10 to 69
    rig.ms += 59 * 60'000;
    EXPECT_EQ(rig.activity.lastHour().gatedDown, 1);
    rig.ms += 60'000;
    EXPECT_EQ(rig.activity.lastHour(), ActivityCounts{});
    EXPECT_EQ(rig.activity.total().heardOnSats, 70);
}

TEST(StationActivity, TelemetryOfTheDayAndTheEngine)
{
    Rig rig;
    rig.activity.telemetry(TelemetryList::A, QStringLiteral("4 09:05 BattA=14.76V BattB=13.94V Tx=1.24W"));
    rig.activity.telemetry(TelemetryList::M, QStringLiteral("0 09:06 Pannelli +X=51mA"));
    rig.activity.telemetry(TelemetryList::A, QStringLiteral("2 09:06 Temp +X=24.7C"));
    rig.activity.telemetry(TelemetryList::A, QStringLiteral("4 09:07 BattA=14.70V BattB=13.90V Tx=1.20W"));
    EXPECT_EQ(rig.activity.telemetryToday().size(), 8);
    ASSERT_EQ(rig.activity.telemetryLines().size(), 2);
    EXPECT_EQ(rig.activity.telemetryLines().first().line, QStringLiteral("4 09:07 BattA=14.70V BattB=13.90V Tx=1.20W"));

    StationStatus s;
    s.telemetryValues = rig.activity.telemetryLastValues();
    s.telemetryToday = rig.activity.telemetryToday();
    const QJsonObject tlm = QJsonDocument::fromJson(StatusJson(s)).object()["telemetry"].toObject();
    const QJsonArray values = tlm["values"].toArray();
    ASSERT_EQ(values.size(), 5);  // the last of each series, "A +X" twice
    EXPECT_EQ(values[0].toObject()["series"].toString(), QStringLiteral("A BattA"));
    EXPECT_EQ(values[0].toObject()["value"].toDouble(), 14.70);
    EXPECT_EQ(values[0].toObject()["time"].toString(), QStringLiteral("09:07"));
    const QJsonArray plots = tlm["plots"].toArray();
    ASSERT_EQ(plots.size(), 4);  // panel current, temperature, battery voltage, transmitter power
    EXPECT_EQ(plots[2].toObject()["quantity"].toString(), QStringLiteral("battery_voltage"));
    EXPECT_EQ(plots[2].toObject()["series"].toArray()[0].toObject()["points"].toArray(),
              (QJsonArray{QJsonArray{545, 14.76}, QJsonArray{547, 14.70}}));

    // A new day starts the plots again.
    const quint64 revision = rig.activity.telemetryRevision();
    rig.now = rig.now.addDays(1);
    EXPECT_TRUE(rig.activity.telemetryToday().isEmpty());
    EXPECT_TRUE(rig.activity.telemetryLastValues().isEmpty());
    rig.activity.telemetry(TelemetryList::M, QStringLiteral("0 00:01 Pannelli +X=1mA"));
    EXPECT_EQ(rig.activity.telemetryToday().size(), 1);
    EXPECT_NE(rig.activity.telemetryRevision(), revision);

    rig.activity.engineConnected();
    rig.activity.engineVersion(2005, 127);
    rig.activity.enginePorts({QStringLiteral("Port1 a"), QStringLiteral("Port2 b")});
    EXPECT_EQ(rig.activity.connectedSince(), rig.now);
    EXPECT_EQ(rig.activity.engineVersionText(), QStringLiteral("2005.127"));
    rig.activity.engineGone();
    EXPECT_FALSE(rig.activity.connectedSince().isValid());
    EXPECT_TRUE(rig.activity.enginePortList().isEmpty());
}

// Every documented field is there, and the metrics are valid text format:
// each sample preceded by its HELP and TYPE.
TEST(StationStatus, JsonFieldsAndMetricsFormat)
{
    StationStatus s;
    s.now = s.started = QDateTime(QDate(2026, 11, 1), QTime(10, 0), Qt::UTC);
    s.program = QStringLiteral("selvaned");
    s.version = QStringLiteral("3.0");
    s.call = QStringLiteral("N0\"CALL\\5");
    s.aprsIs.counters = {7, 2, 1};
    s.total = {9, 3, 1, 1, 1};
    SatellitePacket p;
    p.time = s.now;
    p.satellite = QStringLiteral("ISS");
    p.source = QStringLiteral("N0CALL-9");
    p.destination = QStringLiteral("APRS");
    p.via = {QStringLiteral("RS0ISS*"), QStringLiteral("WIDE2-1")};
    p.info = "\xe8<b>";
    p.gatedTo = {1, 2};
    p.upload = UploadOutcome::Uploaded;
    s.packets = {p};

    const QJsonObject root = QJsonDocument::fromJson(StatusJson(s)).object();
    const char* const fields[] = {"now", "station/program", "station/version", "station/call", "station/started",
                                  "station/warnings", "engine/kind", "engine/address", "engine/state",
                                  "engine/connected_since", "engine/profile", "engine/version", "engine/ports",
                                  "engine/warnings", "engine/dropped_frames", "aprs_is/enabled", "aprs_is/state",
                                  "aprs_is/server", "aprs_is/verified", "aprs_is/counters", "counters/since",
                                  "counters/total", "counters/last_hour", "packets", "telemetry/lines",
                                  "telemetry/values", "telemetry/plots"};
    for (const char* f : fields) {
        const QString path = QString::fromLatin1(f);
        QJsonValue v = root[path.section(QLatin1Char('/'), 0, 0)];
        if (path.contains(QLatin1Char('/')))
            v = v.toObject()[path.section(QLatin1Char('/'), 1)];
        EXPECT_FALSE(v.isUndefined()) << f;
    }
    EXPECT_EQ(root["engine"].toObject()["kind"].toString(), QStringLiteral("agw"));
    EXPECT_EQ(root["counters"].toObject()["total"].toObject(),
              (QJsonObject{{"heard_sats", 9}, {"gated_down", 3}, {"gated_up", 1}, {"duplicates", 1}, {"held", 1}}));
    const QJsonObject packet = root["packets"].toArray()[0].toObject();
    EXPECT_EQ(packet, (QJsonObject{{"time", "2026-11-01T10:00:00Z"}, {"satellite", "ISS"}, {"port", 1},
                                   {"source", "N0CALL-9"}, {"destination", "APRS"}, {"path", "RS0ISS*,WIDE2-1"},
                                   {"text", QStringLiteral("\u00e8<b>")}, {"gated_to", QJsonArray{2, 3}},
                                   {"duplicate", false}, {"held", false}, {"refused", false},
                                   {"aprs_is", "uploaded"}}));

    const QByteArray metrics = StatusMetrics(s);
    EXPECT_TRUE(metrics.contains("selvane_info{call=\"N0\\\"CALL\\\\5\",version=\"3.0\"} 1\n")) << metrics.constData();
    EXPECT_TRUE(metrics.contains("\nselvane_gated_down_total 3\n"));
    EXPECT_TRUE(metrics.contains("\nselvane_aprs_is_uploaded_total 7\n"));
    const QRegularExpression sample(QStringLiteral("^([a-z_]+)(\\{.*\\})? -?[0-9.e+]+$"));
    QStringList described;
    for (const QByteArray& line : metrics.split('\n')) {
        if (line.isEmpty())
            continue;
        if (line.startsWith("# HELP ") || line.startsWith("# TYPE ")) {
            described << QString::fromLatin1(line.split(' ')[2]);
            continue;
        }
        const QRegularExpressionMatch m = sample.match(QString::fromUtf8(line));
        ASSERT_TRUE(m.hasMatch()) << line.constData();
        EXPECT_EQ(described.count(m.captured(1)), 2) << line.constData();
    }
}

TEST(StationConfig, StatusSection)
{
    struct Case {
        const char* text;
        bool enabled;
        const char* address;  // as written back
        int problems;
    };
    const Case cases[] = {
        {"", false, "", 0},
        {"[status]\nlisten = 127.0.0.1:8080\n", true, "127.0.0.1:8080", 0},
        {"[status]\nlisten = 0.0.0.0:80\n", true, "0.0.0.0:80", 0},
        {"[status]\nlisten = [::1]:8080\n", true, "[::1]:8080", 0},
        {"[status]\nlisten = localhost:0\n", true, "127.0.0.1:0", 0},
        {"[status]\nlisten = ::1:8080\n", false, "", 1},
        {"[status]\nlisten = station.example:8080\n", false, "", 1},
        {"[status]\nlisten = 127.0.0.1\n", false, "", 1},
        {"[status]\nlisten = 127.0.0.1:65536\n", false, "", 1},
        {"[status]\nlisten = 127.0.0.1:+80\n", false, "", 1},
        {"[status]\nport = 8080\n", false, "", 1},
    };
    for (const Case& c : cases) {
        const StationConfigRead read = ParseStationConfig(c.text);
        EXPECT_EQ(read.config.status.enabled, c.enabled) << c.text;
        EXPECT_EQ(read.problems.size(), c.problems) << c.text;
        if (!c.enabled)
            continue;
        EXPECT_EQ(ListenAddressText(read.config.status.address, read.config.status.port), QLatin1String(c.address));
        ConfigDocument doc;
        SetStationConfig(doc, read.config);
        EXPECT_EQ(ParseStationConfig(doc.text()).config.status, read.config.status) << c.text;
    }
}

} // namespace
