// The APRS-IS upload against aprsc, the server most of the network runs,
// on loopback: what the gate uploads is read back from the server's full
// feed, byte for byte.
//
// Needs aprsc built by scripts/aprsc.sh (scripts/test.sh does it). Without
// it the tests are skipped, except on CI (CI=true), where they fail.
#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QTest>

#include <iostream>
#include <memory>
#include <tuple>
#include <vector>

#include "aprsis/AprsIsGate.h"
#include "aprsis/HeardText.h"
#include "support/Aprsc.h"

using namespace selvane;
using namespace selvane::test;

namespace {

constexpr int kWaitMs = 15000;

struct AprscGate : ::testing::Test {
    std::unique_ptr<Aprsc> server;
    LiveSettingsValues settings;
    FeedReader feed;
    std::unique_ptr<AprsIsGate> gate;

    void SetUp() override
    {
        if (!Aprsc::built()) {
            const std::string what = "aprsc not built (scripts/aprsc.sh build BUILD_DIR): " + Aprsc::binary().toStdString();
            if (qgetenv("CI") == "true")
                FAIL() << what;
            GTEST_SKIP() << what;
        }
        server = std::make_unique<Aprsc>();
        QString error;
        ASSERT_TRUE(server->start(&error)) << error.toStdString();
        ASSERT_TRUE(feed.connectTo(server->fullFeedPort(), &error)) << error.toStdString();
        settings.call = QStringLiteral("N1CALL-5");
        settings.sats = QStringLiteral("1");
        settings.out = QStringLiteral("2");
    }

    void TearDown() override
    {
        gate.reset();
        if (server && HasFailure())
            std::cerr << "aprsc log:\n" << server->log().toStdString();
    }

    AprsIsConfig config(const QString& call, int passcode) const
    {
        AprsIsConfig c;
        c.enabled = true;
        c.server = QStringLiteral("127.0.0.1:%1").arg(server->igatePort());
        c.call = call;
        c.passcode = passcode;
        return c;
    }

    void startGate(const AprsIsConfig& c, MonotonicMs clock = SteadyClockMs())
    {
        gate = std::make_unique<AprsIsGate>(settings, c, clock);
    }

    bool waitForState(AprsIsState state)
    {
        return QTest::qWaitFor([&] { return gate->state() == state; }, kWaitMs);
    }
};

} // namespace

TEST_F(AprscGate, HeardPacketsReachTheFullFeedAsUploaded)
{
    startGate(config({}, AprsIsPasscode("N1CALL")));   // the gateway call logs in
    ASSERT_TRUE(waitForState(AprsIsState::Verified)) << gate->statusText().toStdString();

    // Via the ISS, sent by PCSAT (its raw telemetry), Mic-E bytes, a
    // third-party packet unwrapped.
    const struct {
        const char* heard;
        QByteArray fed;
    } uploads[] = {
        {"N1CALL-9>APRS,RS0ISS*:Hello via ISS", "N1CALL-9>APRS,RS0ISS*,qAO,N1CALL-5:Hello via ISS"},
        {"PCSAT-1>APRS:T#123,045,067,089,101,123,00000000", "PCSAT-1>APRS,qAO,N1CALL-5:T#123,045,067,089,101,123,00000000"},
        {"N1CALL-3>SV2RYX,RS0ISS*,WIDE2-1:`(_fn\"Oj/]\xb0\xff=", "N1CALL-3>SV2RYX,RS0ISS*,WIDE2-1,qAO,N1CALL-5:`(_fn\"Oj/]\xb0\xff="},
        {"N1CALL-14>APRS,RS0ISS*:}N1CALL-15>APRS,WIDE1*:inner", "N1CALL-15>APRS,WIDE1*,qAO,N1CALL-5:inner"},
    };
    int sent = 0;
    QObject::connect(gate.get(), &AprsIsGate::judged, [&](const UploadDecision&, bool s) { sent += s; });
    for (const auto& u : uploads)
        gate->heard(HeardOf(0, u.heard));
    for (const auto& u : uploads)
        EXPECT_TRUE(feed.waitFor(u.fed)) << u.fed.toStdString();
    EXPECT_EQ(sent, 4);

    // Kept back: an excluded path, our own transmission heard back, a via
    // entry with a line feed that would forge a second packet, a query. The
    // same packet again goes up, and the server keeps it off the feed. A
    // last packet shows what got through before it.
    gate->heard(HeardOf(0, "N1CALL-9>APRS,RS0ISS*,NOGATE:not for the internet"));
    gate->heard(HeardOf(0, "N1CALL-9>APRS,X\nN1CALL-2>APRS:forged"));
    gate->heard(HeardOf(0, "N1CALL-9>APRS:Hello via ISS"));
    gate->heard(HeardOf(0, "N1CALL-9>APRS,N1CALL-5*,RS0ISS*:our uplink"));
    gate->heard(HeardOf(0, "N1CALL-9>APRS,RS0ISS*:?APRS?"));
    gate->heard(HeardOf(0, "N1CALL-9>APRS,RS0ISS*:last"));
    ASSERT_TRUE(feed.waitFor("N1CALL-9>APRS,RS0ISS*,qAO,N1CALL-5:last"));
    for (const QByteArray& line : feed.lines()) {
        EXPECT_FALSE(line.contains("not for the internet")) << line.toStdString();
        EXPECT_FALSE(line.contains("our uplink")) << line.toStdString();
        EXPECT_FALSE(line.contains("forged")) << line.toStdString();
        EXPECT_FALSE(line.contains("?APRS?")) << line.toStdString();
    }
    EXPECT_EQ(std::count_if(feed.lines().begin(), feed.lines().end(),
                            [](const QByteArray& l) { return l.endsWith(":Hello via ISS"); }),
              1);
    const AprsIsCounters& c = gate->counters();
    EXPECT_EQ(std::tuple(c.uploaded, c.missed, c.filtered), std::tuple(6, 0, 4));
}

// A station's own uplink is heard directly, and 3 s later the ISS repeats
// it. The pages that show satellite traffic read the server with a d/
// filter, which passes only the copy with RS0ISS* in its path; the server
// keeps the first copy of a packet and drops the others. With the satgate
// hold the ISS copy is the one uploaded; without it (satgate-delay = 0) the
// direct copy goes first, and the satellite pages never see the packet.
TEST_F(AprscGate, TheSatelliteCopyReachesTheSatellitePages)
{
    QString error;
    FeedReader satellitePage;
    ASSERT_TRUE(satellitePage.connectTo(server->igatePort(), &error, "d/RS0ISS")) << error.toStdString();
    FeedReader dupes;
    ASSERT_TRUE(dupes.connectTo(server->dupeFeedPort(), &error)) << error.toStdString();
    qint64 now = 0;
    auto linesOf = [](const FeedReader& reader, const QByteArray& info) {
        QList<QByteArray> lines;
        for (const QByteArray& l : reader.lines())
            if (l.endsWith(':' + info))
                lines << l;
        return lines;
    };
    struct Row {
        int delay;
        const char* info;
        QByteArray onTheFeed;   // the one copy the full feed holds
    };
    const Row rows[] = {
        {10, "=4520.00N/00910.00E-held", "N1CALL-7>APRS,RS0ISS*,qAO,N1CALL-5:=4520.00N/00910.00E-held"},
        {0, "=4520.00N/00910.00E-not held", "N1CALL-7>APRS,ARISS,qAO,N1CALL-5:=4520.00N/00910.00E-not held"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.delay);
        AprsIsConfig c = config(QStringLiteral("N1CALL-5"), AprsIsPasscode("N1CALL"));
        c.satgateDelay = row.delay;
        startGate(c, [&now] { return now; });
        ASSERT_TRUE(waitForState(AprsIsState::Verified)) << gate->statusText().toStdString();
        const QByteArray info = row.info;
        gate->heard(HeardOf(0, ("N1CALL-7>APRS,ARISS:" + info).toStdString()));
        now += 3000;
        gate->heard(HeardOf(0, ("N1CALL-7>APRS,RS0ISS*:" + info).toStdString()));
        const QByteArray issCopy = "N1CALL-7>APRS,RS0ISS*,qAO,N1CALL-5:" + info;
        if (row.delay > 0) {
            EXPECT_TRUE(satellitePage.waitFor(issCopy));
        } else {
            EXPECT_TRUE(dupes.waitFor("dup\t" + issCopy));
        }
        // A last packet via the ISS: whatever came before it has arrived.
        gate->heard(HeardOf(0, ("N1CALL-9>APRS,RS0ISS*:after " + info).toStdString()));
        ASSERT_TRUE(feed.waitFor("N1CALL-9>APRS,RS0ISS*,qAO,N1CALL-5:after " + info));
        ASSERT_TRUE(satellitePage.waitFor("N1CALL-9>APRS,RS0ISS*,qAO,N1CALL-5:after " + info));
        EXPECT_EQ(linesOf(feed, info), QList<QByteArray>({row.onTheFeed}));
        EXPECT_EQ(linesOf(satellitePage, info), row.delay > 0 ? QList<QByteArray>({issCopy}) : QList<QByteArray>());
        gate.reset();
    }
}

// The gateway on the map: its position with the satgate symbol, its status
// and the meaning of its telemetry at login, then the telemetry itself,
// as the full feed shows them (the server puts TCPIP*,qAC and its own name
// on a client's own packets). Positions near both poles and the date line.
TEST_F(AprscGate, TheGatewayShowsItselfOnTheMap)
{
    struct Row {
        const char* call;
        double latitude;
        double longitude;
        const char* comment;
        QByteArray position;   // after "CALL>APZSLV,TCPIP*,qAC,T2TEST:"
    };
    const Row rows[] = {
        {"N1CALL-5", 89.9999, 179.9999, "Selvane satgate", "!8959.99NS17959.99E&Selvane satgate"},
        {"N1CALL-6", -89.99999, -179.99999, "", "!9000.00SS18000.00W&"},
        {"N1CALL-7", -0.00001, 180, "Satgate è qui", "!0000.00NS18000.00E&Satgate è qui"},
    };
    qint64 now = 0;
    std::vector<std::unique_ptr<AprsIsGate>> gates;
    for (const Row& row : rows) {
        AprsIsConfig c = config(QString::fromLatin1(row.call), AprsIsPasscode("N1CALL"));
        c.beacon = true;
        c.latitude = row.latitude;
        c.longitude = row.longitude;
        c.beaconComment = QString::fromUtf8(row.comment);
        gates.push_back(std::make_unique<AprsIsGate>(settings, c, [&now] { return now; }));
    }
    for (const Row& row : rows) {
        SCOPED_TRACE(row.call);
        const QByteArray head = QByteArray(row.call) + ">APZSLV,TCPIP*,qAC,T2TEST:";
        const QByteArray to = ':' + QByteArray(row.call).leftJustified(9, ' ') + ':';
        for (const QByteArray& line : {head + row.position, head + ">Satgate PCSAT, ISS, PSAT2, SONATE-2, EOS-7; uplink on",
                                       head + to + "PARM.Heard,Down,Up,Upload,Held",
                                       head + to + "UNIT.pkt,pkt,pkt,pkt,pkt",
                                       head + to + "EQNS.0,1,0,0,1,0,0,1,0,0,1,0,0,1,0"})
            EXPECT_TRUE(feed.waitFor(line)) << line.toStdString();
    }

    AprsIsGate& first = *gates.front();
    first.setRadioCounts([] { return GatewayCounters{20, 12, 3, 1, {}, {}}; });
    first.heard(HeardOf(0, "N1CALL-9>APRS,RS0ISS*:counted"));
    first.heard(HeardOf(0, "N1CALL-9>APRS,TCPIP*:counted, not uploaded"));
    now += BeaconSchedule::kTelemetryMs;
    first.poll();
    EXPECT_TRUE(feed.waitFor("N1CALL-5>APZSLV,TCPIP*,qAC,T2TEST:T#000,002,012,003,001,001,00000000"));
}

TEST_F(AprscGate, AWrongPasscodeIsReportedUnverified)
{
    startGate(config(QStringLiteral("N1CALL-6"), AprsIsPasscode("N1CALL") + 1));
    ASSERT_TRUE(waitForState(AprsIsState::Unverified)) << gate->statusText().toStdString();
    EXPECT_TRUE(gate->statusText().contains(AprsIsStateText(AprsIsState::Unverified))) << gate->statusText().toStdString();
    gate->heard(HeardOf(0, "N1CALL-9>APRS,RS0ISS*:not sent"));
    EXPECT_EQ(std::tuple(gate->counters().uploaded, gate->counters().missed), std::tuple(0, 1));
}

TEST_F(AprscGate, ReconnectsWhenTheServerRestarts)
{
    startGate(config(QStringLiteral("N1CALL-5"), AprsIsPasscode("N1CALL")));
    ASSERT_TRUE(waitForState(AprsIsState::Verified)) << gate->statusText().toStdString();
    QSignalSpy states(gate.get(), &AprsIsGate::stateChanged);

    QString error;
    ASSERT_TRUE(server->restart(&error)) << error.toStdString();
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            return !states.isEmpty() && gate->state() == AprsIsState::Verified;
        },
        kWaitMs))
        << gate->statusText().toStdString();
    EXPECT_EQ(states.first().first().value<AprsIsState>(), AprsIsState::Error);

    ASSERT_TRUE(feed.connectTo(server->fullFeedPort(), &error)) << error.toStdString();
    gate->heard(HeardOf(0, "N1CALL-9>APRS,RS0ISS*:after the restart"));
    EXPECT_TRUE(feed.waitFor("N1CALL-9>APRS,RS0ISS*,qAO,N1CALL-5:after the restart"));
}

// The window and the service, or two stations, with one login: aprsc evicts
// the older client at each login, without a word. Each client says so once,
// and their retries slow down instead of evicting each other every second.
TEST_F(AprscGate, TwoClientsWithOneLoginSayItOnceAndBackOff)
{
    const AprsIsClient::Timing fast{{50, 400}, 60000, 120000};
    const AprsIsConfig c = config(QStringLiteral("N1CALL-5"), AprsIsPasscode("N1CALL"));
    gate = std::make_unique<AprsIsGate>(settings, c, SteadyClockMs(), fast);
    ASSERT_TRUE(waitForState(AprsIsState::Verified)) << gate->statusText().toStdString();
    AprsIsGate other(settings, c, SteadyClockMs(), fast);
    QList<AprsIsGate*> gates{gate.get(), &other};
    QList<QStringList> delays(2);
    QList<int> said(2, 0);
    for (int i = 0; i < 2; ++i) {
        QObject::connect(gates[i], &AprsIsGate::stateChanged, [&delays, i](AprsIsState state, const QString& detail) {
            if (state == AprsIsState::Error)
                delays[i] << detail.section(QStringLiteral("nuovo tentativo tra "), -1).chopped(2);
        });
        QObject::connect(gates[i], &AprsIsGate::loginInUse, [&said, i] { ++said[i]; });
    }
    ASSERT_TRUE(QTest::qWaitFor([&] { return delays[0].size() >= 5 && delays[1].size() >= 5; }, kWaitMs))
        << delays[0].join(' ').toStdString() << " / " << delays[1].join(' ').toStdString();
    EXPECT_EQ(said, QList<int>({1, 1}));
    for (const QStringList& d : delays)
        EXPECT_EQ(d.mid(0, 5), QStringList({"0.05", "0.1", "0.2", "0.4", "0.4"}));
    EXPECT_TRUE(gate->loginSeemsInUse());
}
