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

    void startGate(const AprsIsConfig& c)
    {
        gate = std::make_unique<AprsIsGate>(settings, c, SteadyClockMs());
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
        {"N1CALL-9>APRS,RS0ISS*:Hello via ISS", "N1CALL-9>APRS,RS0ISS*,qAR,N1CALL-5:Hello via ISS"},
        {"PCSAT-1>APRS:T#123,045,067,089,101,123,00000000", "PCSAT-1>APRS,qAR,N1CALL-5:T#123,045,067,089,101,123,00000000"},
        {"N1CALL-3>SV2RYX,RS0ISS*,WIDE2-1:`(_fn\"Oj/]\xb0\xff=", "N1CALL-3>SV2RYX,RS0ISS*,WIDE2-1,qAR,N1CALL-5:`(_fn\"Oj/]\xb0\xff="},
        {"N1CALL-14>APRS,RS0ISS*:}N1CALL-15>APRS,WIDE1*:inner", "N1CALL-15>APRS,WIDE1*,qAR,N1CALL-5:inner"},
    };
    QSignalSpy sent(gate.get(), &AprsIsGate::uploaded);
    for (const auto& u : uploads)
        gate->heard(HeardOf(0, u.heard));
    for (const auto& u : uploads)
        EXPECT_TRUE(feed.waitFor(u.fed)) << u.fed.toStdString();
    EXPECT_EQ(sent.size(), 4);

    // Kept back: an excluded path, the same packet again, our own
    // transmission heard back. A last packet shows what got through before it.
    gate->heard(HeardOf(0, "N1CALL-9>APRS,RS0ISS*,NOGATE:not for the internet"));
    gate->heard(HeardOf(0, "N1CALL-9>APRS:Hello via ISS"));
    gate->heard(HeardOf(0, "N1CALL-9>APRS,N1CALL-5*,RS0ISS*:our uplink"));
    gate->heard(HeardOf(0, "N1CALL-9>APRS,RS0ISS*:last"));
    ASSERT_TRUE(feed.waitFor("N1CALL-9>APRS,RS0ISS*,qAR,N1CALL-5:last"));
    for (const QByteArray& line : feed.lines()) {
        EXPECT_FALSE(line.contains("not for the internet")) << line.toStdString();
        EXPECT_FALSE(line.contains("our uplink")) << line.toStdString();
    }
    EXPECT_EQ(std::count_if(feed.lines().begin(), feed.lines().end(),
                            [](const QByteArray& l) { return l.endsWith(":Hello via ISS"); }),
              1);
    EXPECT_EQ(gate->counters(), (AprsIsCounters{5, 0, 3}));
}

TEST_F(AprscGate, AWrongPasscodeIsReportedUnverified)
{
    startGate(config(QStringLiteral("N1CALL-6"), AprsIsPasscode("N1CALL") + 1));
    ASSERT_TRUE(waitForState(AprsIsState::Unverified)) << gate->statusText().toStdString();
    EXPECT_TRUE(gate->statusText().contains(AprsIsStateText(AprsIsState::Unverified))) << gate->statusText().toStdString();
    gate->heard(HeardOf(0, "N1CALL-9>APRS,RS0ISS*:not sent"));
    EXPECT_EQ(gate->counters(), (AprsIsCounters{0, 1, 0}));
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
    EXPECT_TRUE(feed.waitFor("N1CALL-9>APRS,RS0ISS*,qAR,N1CALL-5:after the restart"));
}
