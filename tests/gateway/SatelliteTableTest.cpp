// The satellite table as the gateway uses it: a packet heard on a port in,
// the via path of what goes out (to the Out ports, or "~" up to the Sats
// port) in both forms, or nothing. Port 1 is the Sats port, port 2 the Out
// port; the gateway is N0CALL-5 with every gating box set.
#include <gtest/gtest.h>

#include "gateway/GatewayFakes.h"
#include "gateway/Router.h"
#include "gateway/StationConfig.h"

using namespace selvane;
using namespace selvane::test;

namespace {

struct Row {
    int port;            // 1-based engine port the packet is heard on
    const char* packet;  // SRC>DST[,VIA...]:info as heard, marks included
    const char* seven;   // the path sent, seven-character form; "" for none
    const char* text;    // the same in the text form
};

struct Heard {
    QString src, dst, header, info;
};

Heard Parse(const QString& packet, int port)
{
    const QString head = packet.section(QLatin1Char(':'), 0, 0);
    const QStringList calls = head.section(QLatin1Char('>'), 1).split(QLatin1Char(','));
    Heard h;
    h.src = head.section(QLatin1Char('>'), 0, 0);
    h.dst = calls.first();
    h.header = HeaderLine(h.src, calls.mid(1).join(QLatin1Char(',')), port, h.dst);
    h.info = packet.section(QLatin1Char(':'), 1);
    return h;
}

QByteArray AgwHeader(int port, const QString& from, const QString& to)
{
    QByteArray h(36, '\0');
    h[0] = char(port);
    h[4] = 'U';
    h.replace(8, from.size(), from.toLatin1());
    h.replace(18, to.size(), to.toLatin1());
    return h;
}

// What the router sends for one packet, as "path" or "~path".
QString Gate(const SatelliteTable& table, const Row& row, ViaForm form, qint64* nowMs)
{
    LiveSettingsValues settings;
    settings.call = QStringLiteral("N0CALL-5");
    settings.sats = QStringLiteral("1");
    settings.out = QStringLiteral("2");
    settings.forward = settings.reverse = settings.telemetry = true;
    FakeDecoder decoder;
    FakeLog log;
    RecordingSink sink;
    Router router(settings, decoder, log, sink, [nowMs] { return *nowMs; });
    router.setSatellites(table);
    QString path;
    router.onGated = [&](const GatedPacket& p) { path = (p.toSats ? QStringLiteral("~") : QString()) + p.path; };
    const Heard h = Parse(QString::fromLatin1(row.packet), row.port);
    PacketStore store = Store(h.header, h.info);
    GatewayCounters counters;
    router.route(row.port - 1, h.src, AgwHeader(row.port - 1, h.src, h.dst), store, counters, form);
    return path;
}

void Check(const SatelliteTable& table, std::initializer_list<Row> rows)
{
    qint64 nowMs = 0;
    for (const Row& row : rows) {
        nowMs += 60000;
        EXPECT_EQ(Gate(table, row, ViaForm::SevenChar, &nowMs), QString::fromLatin1(row.seven)) << row.packet;
        EXPECT_EQ(Gate(table, row, ViaForm::Text, &nowMs), QString::fromLatin1(row.text)) << row.packet;
    }
}

} // namespace

TEST(SatelliteTable, BuiltInSatellites)
{
    Check(DefaultSatellites(), {
        // Today's APRS satellites, repeated.
        {1, "N1CALL-7>APRS,RS0ISS*:x", "RS0ISSP,N0CALLE,WIDE,WIDE", "RS0ISS*,N0CALL-5*,WIDE,WIDE"},
        {1, "N1CALL-7>APRS,PSAT2-1*:x", "PSAT2 A,N0CALLE,WIDE,WIDE", "PSAT2-1*,N0CALL-5*,WIDE,WIDE"},
        {1, "N1CALL-7>CQ,DP0SNX*:x", "DP0SNXP,N0CALLE,WIDE,WIDE", "DP0SNX*,N0CALL-5*,WIDE,WIDE"},
        {1, "N1CALL-7>CQ,A55BTN*,ARISS*:x", "A55BTNP,N0CALLE,WIDE,WIDE", "A55BTN*,N0CALL-5*,WIDE,WIDE"},
        {1, "N1CALL-7>APRS,PCSAT-1*,WIDE2-1:x", "PCSAT A,N0CALLE,WIDE,WIDE", "PCSAT-1*,N0CALL-5*,WIDE,WIDE"},
        // An SSID outside 0..15 counts as none, as it always has.
        {1, "N1CALL-7>APRS,PSAT2-16*:x", "PSAT2 P,N0CALLE,WIDE,WIDE", "PSAT2*,N0CALL-5*,WIDE,WIDE"},
        // Not gated: the generic alias alone (off by default), not repeated,
        // a satellite in second place.
        {1, "N1CALL-7>APRS,ARISS*:x", "", ""},
        {1, "N1CALL-7>APRS,PSAT2-1:x", "", ""},
        {1, "N1CALL-7>APRS,WIDE1-1*,PSAT2-1*:x", "", ""},
        // Sent by a satellite itself.
        {1, "NA1SS>APRS:x", "N0CALLE,WIDE,WIDE", "N0CALL-5*,WIDE,WIDE"},
        {1, "PSAT2-1>APRS:x", "N0CALLE,WIDE,WIDE", "N0CALL-5*,WIDE,WIDE"},
        // Up: the gateway call, then an uplink alias.
        {2, "N1CALL-7>APRS,N0CALL-5,ARISS:x", "~N0CALLE,ARISS", "~N0CALL-5*,ARISS"},
        {2, "N1CALL-7>APRS,N0CALL-5,APRSAT:x", "~N0CALLE,ARISS", "~N0CALL-5*,ARISS"},
        {2, "N1CALL-7>APRS,N0CALL-5,W3ADO:x", "~N0CALLE,PCSAT-1", "~N0CALL-5*,PCSAT-1"},
        {2, "N1CALL-7>APRS,N0CALL-5,PSAT2:x", "~N0CALLE,PSAT2", "~N0CALL-5*,PSAT2"},
        {2, "N1CALL-7>APRS,N0CALL-5,PSAT2-1,WIDE2-1:x", "~N0CALLE,PSAT2-1", "~N0CALL-5*,PSAT2-1"},
        {2, "N1CALL-7>CQ,N0CALL-5,DP0SNX:x", "~N0CALLE,DP0SNX", "~N0CALL-5*,DP0SNX"},
        // Both named: PCSAT before the ISS. Gateway already marked: never again.
        {2, "N1CALL-7>APRS,N0CALL-5,ARISS,N0CALL-5,PCSAT:x", "~N0CALLE,PCSAT-1", "~N0CALL-5*,PCSAT-1"},
        {2, "N1CALL-7>APRS,N0CALL-5*,PSAT2:x", "", ""},
        {2, "N1CALL-7>APRS,N0CALL-5,APRS2:x", "", ""},
        // Calls a radio cannot carry never go on the air; a forged via entry
        // stays behind (the path sent is the gateway's own).
        {1, "N1CALL-777>APRS,RS0ISS*:x", "", ""},
        {1, "N1CALL-7>APRSISCE,RS0ISS*:x", "", ""},
        {1, "A\nK1>APRS,RS0ISS*:src", "", ""},
        {1, "N1CALL-7>APRS,RS0ISS*,X\nN1CALL-2:x", "RS0ISSP,N0CALLE,WIDE,WIDE", "RS0ISS*,N0CALL-5*,WIDE,WIDE"},
        {2, "N1CALL-7>APRS,N0CALL-5,PSAT2\nX:x", "", ""},
    });
}

TEST(SatelliteTable, ConfiguredSatellites)
{
    const StationConfigRead read = ParseStationConfig("[satellite ISS]\nenabled = no\n"
                                                      "[satellite ARISS-ALIAS]\nenabled = yes\n"
                                                      "[satellite FOX]\ndigipeaters = FOXSAT-*, FOX1\n"
                                                      "uplink = FOX\nuplink-as = FOXSAT\n"
                                                      "[satellite PSAT2]\nneeds-gate-to-out = no\n");
    ASSERT_TRUE(read.problems.isEmpty()) << read.problems.join('\n').toStdString();
    Check(read.config.satellites, {
        {1, "N1CALL-7>APRS,RS0ISS*:x", "", ""},
        {1, "NA1SS>APRS:x", "", ""},
        {2, "N1CALL-7>APRS,N0CALL-5,ARISS:x", "", ""},
        {1, "N1CALL-7>APRS,ARISS*:x", "ARISS P,N0CALLE,WIDE,WIDE", "ARISS*,N0CALL-5*,WIDE,WIDE"},
        {1, "N1CALL-7>CQ,A55BTN*,ARISS*:x", "A55BTNP,N0CALLE,WIDE,WIDE", "A55BTN*,N0CALL-5*,WIDE,WIDE"},
        {1, "N1CALL-7>APRS,FOXSAT-3*:x", "FOXSATC,N0CALLE,WIDE,WIDE", "FOXSAT-3*,N0CALL-5*,WIDE,WIDE"},
        {1, "N1CALL-7>APRS,FOX1*:x", "FOX1  P,N0CALLE,WIDE,WIDE", "FOX1*,N0CALL-5*,WIDE,WIDE"},
        {1, "N1CALL-7>APRS,FOX1-2*:x", "", ""},
        {2, "N1CALL-7>APRS,N0CALL-5,FOX:x", "~N0CALLE,FOXSAT", "~N0CALL-5*,FOXSAT"},
        {1, "N1CALL-7>APRS,PSAT2-1*:x", "PSAT2 A,N0CALLE,WIDE,WIDE", "PSAT2-1*,N0CALL-5*,WIDE,WIDE"},
    });

    // Every satellite off: nothing either way.
    SatelliteTable off = read.config.satellites;
    for (Satellite& s : off.satellites())
        s.enabled = false;
    EXPECT_FALSE(off.anyEnabled());
    Check(off, {{1, "N1CALL-7>APRS,PCSAT-1*:x", "", ""}, {2, "N1CALL-7>APRS,N0CALL-5,PCSAT:x", "", ""}});
}

// Twelve stations ask for the uplink within a minute: six go up, six are
// held and counted; the five-minute limit holds the next ones; a limit of 0
// is off.
TEST(UplinkGuard, LimitsWhatGoesUp)
{
    LiveSettingsValues settings;
    settings.call = QStringLiteral("N0CALL-5");
    settings.out = QStringLiteral("2");
    FakeDecoder decoder;
    FakeLog log;
    RecordingSink sink;
    qint64 nowMs = 1'000'000;
    Router router(settings, decoder, log, sink, [&] { return nowMs; });
    GatewayCounters counters;
    int refusals = 0;
    router.onRefused = [&](const GatedPacket& p, RouteRefusal why) {
        EXPECT_EQ(why, RouteRefusal::UplinkLimit);
        EXPECT_TRUE(p.toSats);
        ++refusals;
    };
    int station = 0;
    auto askUp = [&] {
        const QString src = QStringLiteral("N1CALL-%1").arg(++station % 16);
        PacketStore store = Store(HeaderLine(src, "N0CALL-5,ARISS", 2), QStringLiteral("up %1").arg(station));
        return router.route(1, src, AgwHeader(1, src, "APRS"), store, counters, ViaForm::SevenChar);
    };
    for (int i = 0; i < 12; ++i) {
        const RouteOutcome r = askUp();
        EXPECT_EQ(r.sent, i < 6) << i;
        EXPECT_EQ(r.held, i >= 6) << i;
        nowMs += 4000;
    }
    EXPECT_EQ(counters.toSatsCount, 6);
    EXPECT_EQ(counters.heldCount, 6);
    EXPECT_EQ(refusals, 6);
    EXPECT_EQ(sink.frames.size(), 6u);
    EXPECT_EQ(log.records.size(), 6u);  // held packets are not logged either

    // Minutes 2 to 4: the minute limit would allow them, the five-minute
    // limit (10) lets four more go.
    nowMs += 60000;
    int sent = 0;
    for (int i = 0; i < 8; ++i, nowMs += 20000)
        sent += askUp().sent;
    EXPECT_EQ(sent, 4);

    router.setUplinkLimits({0, 0});
    for (int i = 0; i < 20; ++i)
        EXPECT_TRUE(askUp().sent) << i;
}

// What the "Satelliti" dialog saves: a built-in satellite's section holds
// only what differs from the built-in values, a satellite of the user's all
// of its keys, and one removed from the table loses its section; the rest of
// the file stays. Read back, it is the same table.
TEST(SatelliteTable, WrittenSectionsHoldWhatDiffersAndReadBack)
{
    StationConfigRead read = ParseStationConfig("# mine\n[satellite OLD]\ndigipeaters = OLD1\n"
                                                "[satellite ISS]\nenabled = no\n# keep me\n");
    StationConfig config = read.config;
    config.satellites.find("ISS")->enabled = true;
    config.satellites.find("PSAT2")->uplinkAliases << "PSAT";
    config.satellites.satellites().removeIf([](const Satellite& s) { return s.name == "OLD"; });
    Satellite fox;
    fox.name = "FOX";
    fox.digipeaters = {{"FOXSAT", true}};
    config.satellites.satellites() << fox;
    SetStationConfig(read.document, config);
    const QString text = QString::fromUtf8(read.document.text());
    EXPECT_TRUE(text.startsWith("# mine\n[satellite ISS]\n# keep me\n")) << text.toStdString();
    EXPECT_FALSE(text.contains("OLD"));
    EXPECT_TRUE(text.contains("[satellite PSAT2]\nuplink = PSAT2, PSAT\n")) << text.toStdString();
    EXPECT_TRUE(text.contains("[satellite FOX]\nenabled = yes\ndigipeaters = FOXSAT-*\n")) << text.toStdString();
    EXPECT_FALSE(text.contains("[satellite PCSAT]"));
    EXPECT_EQ(ParseStationConfig(read.document.text()).config.satellites, config.satellites);
}
