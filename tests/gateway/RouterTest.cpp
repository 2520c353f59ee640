#include <gtest/gtest.h>

#include "gateway/GatewayFakes.h"
#include "gateway/Router.h"

using namespace selvane;
using namespace selvane::test;

namespace {

// A received "U" header: port, kind, calls; stray bytes elsewhere that a
// re-sent frame must not copy.
QByteArray ReceivedHeader(int port, const QByteArray& from, const QByteArray& to = "APRS")
{
    QByteArray h(36, '\x5a');
    h[0] = char(port);
    h[4] = 'U';
    h.replace(8, 20, QByteArray(20, '\0'));
    h.replace(8, from.size(), from);
    h.replace(18, to.size(), to);
    return h;
}

// The "V" frame, laid out by hand.
QByteArray ExpectedV(int port, const QByteArray& received, const QList<QByteArray>& via, const QByteArray& info)
{
    QByteArray f(36, '\0');
    f[0] = char(port);
    f[4] = 'V';
    f.replace(8, 20, received.mid(8, 20));
    f[28] = char(1 + 10 * via.size() + info.size());
    f.append(char(via.size()));
    for (const QByteArray& entry : via)
        f += entry + QByteArray(10 - entry.size(), '\0');
    return f + info;
}

struct RouterFixture : ::testing::Test {
    LiveSettingsValues settings;
    FakeDecoder decoder;
    FakeLog log;
    RecordingSink sink;
    qint64 nowMs = 0;
    Router router{settings, decoder, log, sink, [this] { return nowMs; }};
    GatewayCounters counters;
    PacketStore store;
    ViaForm form = ViaForm::SevenChar;

    RouterFixture()
    {
        settings.call = QStringLiteral("N0CALL-5");
        settings.via = QStringLiteral("WIDE,WIDE");
        settings.sats = QStringLiteral("1");
        settings.out = QStringLiteral("2,3");
        settings.forward = false;
        settings.reverse = false;
    }
    RouteOutcome Hear(int port, const QString& src, const QString& via, const QString& info = "Hello")
    {
        store = Store(HeaderLine(src, via, port + 1), info);
        return router.route(port, src, ReceivedHeader(port, src.toLatin1()), store, counters, form);
    }
    std::vector<int> SentPorts() const
    {
        std::vector<int> ports;
        for (const QByteArray& f : sink.frames)
            ports.push_back(f[0]);
        return ports;
    }
};

} // namespace

TEST_F(RouterFixture, SatsToOutExample)
{
    const RouteOutcome r = Hear(0, "N0CALL-9", "RS0ISS*");
    EXPECT_TRUE(r.routed && r.sent && !r.duplicate);
    const QByteArray received = ReceivedHeader(0, "N0CALL-9");
    ASSERT_EQ(sink.frames.size(), 2u);
    EXPECT_EQ(sink.frames[0], ExpectedV(1, received, {"RS0ISSP", "N0CALLE", "WIDE", "WIDE"}, "Hello"));
    EXPECT_EQ(sink.frames[1], ExpectedV(2, received, {"RS0ISSP", "N0CALLE", "WIDE", "WIDE"}, "Hello"));
    EXPECT_EQ(sink.frames[0].size(), 36 + 46);
    EXPECT_EQ(sink.frames[0][28], 46);
    EXPECT_EQ(sink.frames[0].mid(37, 10), QByteArray("RS0ISSP\0\0\0", 10));
    EXPECT_EQ(counters.totalCount, 1);
    EXPECT_EQ(counters.toOutCount, 1);
    EXPECT_EQ(counters.toSatsCount, 0);
    EXPECT_EQ(store.colour, PacketColour::Yellow);
    ASSERT_EQ(log.records.size(), 1u);
    EXPECT_EQ(log.records[0], (QStringList{store.header(), "Hello", "N0CALL-9"}));
}

TEST_F(RouterFixture, OutToSatsExample)
{
    settings.reverse = true;
    EXPECT_TRUE(Hear(1, "N0CALL-9", "N0CALL-5,ARISS").sent);
    ASSERT_EQ(sink.frames.size(), 1u);
    EXPECT_EQ(sink.frames[0], ExpectedV(0, ReceivedHeader(1, "N0CALL-9"), {"N0CALLE", "ARISS"}, "Hello"));
    EXPECT_EQ(counters.toSatsCount, 1);
    EXPECT_EQ(counters.toOutCount, 0);
    EXPECT_EQ(router.duplicates().size(), 1);
    // The key is "~N0CALL-9": the same packet coming down is another packet.
    EXPECT_TRUE(Hear(0, "N0CALL-9", "RS0ISS*").sent);
    // Reverse gating off: never gated up.
    settings.reverse = false;
    EXPECT_FALSE(Hear(1, "N0CALL-7", "N0CALL-5,ARISS").routed);
}

TEST_F(RouterFixture, RouteFromOutTargets)
{
    settings.reverse = true;
    const std::pair<const char*, const char*> rows[] = {
        {"N0CALL-5,ARISS", "~N0CALLE,ARISS"},   {"N0CALL-5,RS0ISS", "~N0CALLE,ARISS"},
        {"N0CALL-5,PCSAT-1", "~N0CALLE,PCSAT-1"}, {"N0CALL-5,W3ADO", "~N0CALLE,PCSAT-1"},
        {"N0CALL-5,ARISS,N0CALL-5,PCSAT", "~N0CALLE,PCSAT-1"},
        {"N0CALL-5*,ARISS", ""}, {"WIDE,ARISS", ""}, {"n0call-5,ARISS", ""},
    };
    for (const auto& [via, expected] : rows)
        EXPECT_EQ(RouteFromOut(Store(HeaderLine("N0CALL-9", via)), settings, form), expected) << via;
    // Character 18 on: the call in the source field does not count.
    EXPECT_EQ(RouteFromOut(Store(" 1:Fm N0CALL-5,ARISS To APRS"), settings, form), "");
    EXPECT_EQ(RouteFromOut(Store(" 1:Fm X To AAAAAN0CALL-5,ARISS"), settings, form), "");
    EXPECT_EQ(RouteFromOut(Store(" 1:Fm X To AAAAAAN0CALL-5,ARISS"), settings, form), "~N0CALLE,ARISS");
    form = ViaForm::Text;
    EXPECT_EQ(RouteFromOut(Store(HeaderLine("N0CALL-9", "N0CALL-5,ARISS")), settings, form), "~N0CALL-5*,ARISS");
    settings.call = "  ";
    EXPECT_EQ(RouteFromOut(Store(HeaderLine("N0CALL-9", "KORVA,PCSAT")), settings, form), "~KORVA*,PCSAT-1");
}

TEST_F(RouterFixture, PortInBothListsTriesSatsFirst)
{
    settings.sats = settings.out = QStringLiteral("1");
    settings.forward = settings.reverse = true;
    EXPECT_TRUE(Hear(0, "N0CALL-9", "PCSAT-1*,N0CALL-5,ARISS").sent);
    EXPECT_EQ(counters.toOutCount, 1);
    EXPECT_EQ(sink.frames.back().mid(37, 10), QByteArray("PCSAT A\0\0\0", 10));
    EXPECT_TRUE(Hear(0, "N0CALL-7", "N0CALL-5,ARISS").sent);
    EXPECT_EQ(counters.toSatsCount, 1);
    EXPECT_EQ(SentPorts(), (std::vector<int>{0, 0}));
}

TEST_F(RouterFixture, PortListsAndViaPath)
{
    settings.out = QStringLiteral("2,2");
    Hear(0, "A1", "RS0ISS*");
    EXPECT_EQ(SentPorts(), (std::vector<int>{1, 1}));
    sink.frames.clear();
    settings.out = QStringLiteral("x0-3 9a3");
    settings.via = QStringLiteral("  ");
    Hear(0, "A2", "RS0ISS*");
    EXPECT_EQ(SentPorts(), (std::vector<int>{2, 8, 2}));
    EXPECT_EQ(sink.frames[0], ExpectedV(2, ReceivedHeader(0, "A2"), {"RS0ISSP", "N0CALLE"}, "Hello"));
    sink.frames.clear();
    settings.via = QStringLiteral(" WIDE2-2 ");
    settings.out = QStringLiteral("0,x");
    EXPECT_TRUE(Hear(0, "A3", "RS0ISS*").sent);  // counted and logged, sent nowhere
    EXPECT_TRUE(sink.frames.empty());
    EXPECT_EQ(counters.toOutCount, 3);
    EXPECT_EQ(log.records.size(), 3u);
    settings.out = QStringLiteral("5");
    Hear(0, "A4", "RS0ISS*");
    EXPECT_EQ(sink.frames[0].mid(57, 10), QByteArray("WIDE2-2\0\0\0", 10));
    // A port in neither list: nothing asked, counted or sent.
    decoder.calls.clear();
    const RouteOutcome none = Hear(6, "PCSAT-1", {});
    EXPECT_FALSE(none.routed || none.sent || none.duplicate);
    EXPECT_TRUE(decoder.calls.isEmpty());
    EXPECT_EQ(store.colour, PacketColour::Green);
    EXPECT_EQ(counters.totalCount, 4);
}

// A port the engine cannot send on is skipped, in either direction, and the
// gated packet says which.
TEST_F(RouterFixture, PortsTheEngineCannotSendOnAreSkipped)
{
    settings.reverse = true;
    std::vector<std::pair<QList<int>, QList<int>>> gated;  // sent, skipped
    router.onGated = [&](const GatedPacket& p) { gated.push_back({p.ports, p.skippedPorts}); };
    sink.unusable = {2};
    EXPECT_TRUE(Hear(0, "N0CALL-9", "RS0ISS*").sent);
    sink.unusable = {0};
    EXPECT_TRUE(Hear(1, "N0CALL-8", "N0CALL-5,ARISS").sent);
    EXPECT_EQ(SentPorts(), (std::vector<int>{1}));
    EXPECT_EQ(gated, (std::vector<std::pair<QList<int>, QList<int>>>{{{1}, {2}}, {{}, {0}}}));
}

TEST_F(RouterFixture, DuplicatesCountedNotSentNotLogged)
{
    settings.dup = QStringLiteral("30");
    std::vector<bool> sent;
    for (nowMs = 0; nowMs <= 40'000; nowMs += 10'000) {
        const RouteOutcome r = Hear(0, "N0CALL-9", "RS0ISS*");
        EXPECT_NE(r.sent, r.duplicate);
        EXPECT_EQ(store.colour, r.sent ? PacketColour::Yellow : PacketColour::LightGreen);
        sent.push_back(r.sent);
    }
    EXPECT_EQ(sent, (std::vector<bool>{true, false, false, false, true}));
    EXPECT_EQ(counters.totalCount, 5);
    EXPECT_EQ(counters.toOutCount, 2);
    EXPECT_EQ(sink.frames.size(), 4u);
    EXPECT_EQ(log.records.size(), 2u);
    router.reset();
    EXPECT_EQ(router.duplicates().size(), 0);
    EXPECT_TRUE(Hear(0, "N0CALL-9", "RS0ISS*").sent);
    log.enabled = false;
    EXPECT_TRUE(Hear(0, "N0CALL-8", "RS0ISS*").sent);
    EXPECT_EQ(log.records.size(), 3u);
}

// The bulletin that replaced the telemetry line is what is filtered, logged
// and sent.
TEST_F(RouterFixture, TelemetryBulletinReplacesInfo)
{
    settings.telemetry = true;
    decoder.result = true;
    EXPECT_TRUE(Hear(0, "PCSAT-1", {}, "T#001,100,120,140,150,160,00000000").sent);
    EXPECT_EQ(decoder.calls.join(","), "PCSAT-1");
    ASSERT_EQ(log.records.size(), 1u);
    EXPECT_EQ(log.records[0][1], decoder.bulletin);
    EXPECT_EQ(sink.frames[0], ExpectedV(1, ReceivedHeader(0, "PCSAT-1"), {"N0CALLE", "WIDE", "WIDE"},
                                        decoder.bulletin.toLatin1()));
    // Other raw line, same bulletin: a duplicate. Same raw line, other bulletin: new.
    EXPECT_TRUE(Hear(0, "PCSAT-1", {}, "T#002,100,120,140,150,160,00000000").duplicate);
    decoder.bulletin += "x";
    EXPECT_TRUE(Hear(0, "PCSAT-1", {}, "T#001,100,120,140,150,160,00000000").sent);
    // Not decoded and only "Gate Telemetry" set: not gated, the raw line stays.
    decoder.result = false;
    EXPECT_FALSE(Hear(0, "PCSAT-1", {}, "T#003").routed);
    EXPECT_EQ(store.info(), "T#003");
}

TEST_F(RouterFixture, TextViaFormAndShortHeader)
{
    form = ViaForm::Text;
    Hear(0, "N0CALL-9", "RS0ISS*");
    EXPECT_EQ(sink.frames[0], ExpectedV(1, ReceivedHeader(0, "N0CALL-9"),
                                        {"RS0ISS*", "N0CALL-5*", "WIDE", "WIDE"}, "Hello"));
    sink.frames.clear();
    // A header too short to hold the destination: no call a radio can carry,
    // so nothing goes on the air.
    store = Store(HeaderLine("N0CALL-8", "RS0ISS*"));
    EXPECT_FALSE(router.route(0, "N0CALL-8", QByteArray("\0\0\0\0U", 5), store, counters, form).routed);
    EXPECT_TRUE(sink.frames.empty());
}
