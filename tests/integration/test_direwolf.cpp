// The whole gateway against Dire Wolf, a real AGWPE-compatible engine: the
// audio of a packet goes in, Dire Wolf reports it heard, the gateway answers
// with a "V" frame in the text via form, and the audio Dire Wolf transmits is
// decoded again to check the via path on the air.
//
// Needs direwolf, gen_packets and atest (package direwolf) and stdbuf. Without
// them the tests are skipped, except on CI (CI=true), where they fail.
#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

#include "gateway/Gateway.h"
#include "settings/GatewaySettings.h"
#include "support/DireWolf.h"
#include "support/FakeLinkView.h"

using namespace selvane;
using namespace selvane::test;

namespace {

const QDateTime kStart(QDate(2026, 12, 6), QTime(8, 15, 30));

struct DireWolfGateway : ::testing::Test {
    DireWolfTools tools;
    std::unique_ptr<DireWolf> engine;
    QTemporaryDir logs;
    FakeLinkView view;
    LiveSettingsValues settings;
    NoTelemetryDecoder decoder;
    std::unique_ptr<Gateway> gateway;

    void SetUp() override
    {
        tools = DireWolfTools::find();
        if (!tools.missing.isEmpty()) {
            const std::string what = "not installed: " + tools.missing.join(QStringLiteral(", ")).toStdString();
            if (qgetenv("CI") == "true")
                FAIL() << what;
            GTEST_SKIP() << what;
        }
        ASSERT_TRUE(logs.isValid());
        engine = std::make_unique<DireWolf>(tools);
        QString error;
        ASSERT_TRUE(engine->start(&error)) << error.toStdString();

        // One radio port, both the Sats and the Out port.
        settings.call = QStringLiteral("N0CALL-5");
        settings.via = QStringLiteral("WIDE,WIDE");
        settings.sats = QStringLiteral("1");
        settings.out = QStringLiteral("1");
        settings.host = QStringLiteral("127.0.0.1");
        settings.forward = true;
        settings.telemetry = true;
        settings.reverse = true;
        // No profile chosen, as after a first start: the engine's version
        // reply picks it.
        settings.engine = EngineChoice::Automatic;
        gateway = std::make_unique<Gateway>(view, settings, decoder, [] { return kStart; }, SteadyClockMs(),
                                            logs.path(), engine->agwPort());
    }

    void TearDown() override
    {
        if (gateway)
            gateway->link().closeForExit();
        gateway.reset();
        if (engine)
            engine->stop();
    }

    // START, then wait for the radio ports: Dire Wolf handles a client's
    // requests in order, so monitoring ("m", sent first) is on by then. Its
    // first reply on a new connection can take most of a second.
    void connectGateway()
    {
        QSignalSpy connected(&gateway->link(), &AgwLink::linkConnected);
        gateway->link().toggle();
        ASSERT_TRUE(connected.wait(10000)) << dump();
        ASSERT_TRUE(QTest::qWaitFor([&] { return !view.ports.isEmpty(); }, 10000)) << dump();
        EXPECT_TRUE(view.status.startsWith(QLatin1String("Gateway connesso a AGWPE v"))) << view.status.toStdString();
    }

    void hear(const QString& packet)
    {
        QString error;
        ASSERT_TRUE(engine->sendPacketAudio(packet, &error)) << error.toStdString();
    }

    std::string dump()
    {
        return "direwolf log:\n" + engine->log().toStdString();
    }

    // The transmitted packets once the expected one has been decoded, after a
    // pause that lets anything sent after it reach the audio file as well.
    QStringList transmittedAfter(const QString& expected)
    {
        QStringList decoded;
        if (!engine->waitForTransmitted(expected, 15000, &decoded)) {
            ADD_FAILURE() << "not transmitted: " << expected.toStdString() << "\ndecoded: "
                          << decoded.join(QLatin1Char('|')).toStdString() << "\n" << dump();
            return decoded;
        }
        QTest::qWait(1000);
        return engine->transmittedPackets();
    }
};

TEST_F(DireWolfGateway, PacketSentByPcsatIsGatedDownWithTheGatewayMarkedAsRepeated)
{
    connectGateway();
    hear(QStringLiteral("PCSAT-1>APRS:hello from pcsat"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return gateway->link().counters().totalCount >= 1; }, 15000)) << dump();

    // What Dire Wolf reported heard, as the gateway shows it.
    ASSERT_EQ(view.received.size(), 2);
    EXPECT_TRUE(view.received[0].startsWith(QLatin1String(" 1:Fm PCSAT-1 To APRS <UI"))) << view.received[0].toStdString();
    EXPECT_EQ(view.received[1], "hello from pcsat");
    EXPECT_EQ(view.receivedColour, PacketColour::Yellow);

    // Dire Wolf writes a single "*" after the last repeated entry.
    const QString onAir = QStringLiteral("PCSAT-1>APRS,N0CALL-5*,WIDE,WIDE:hello from pcsat");
    const QStringList decoded = transmittedAfter(onAir);
    EXPECT_EQ(decoded, QStringList{onAir});

    // Its report of the transmission (without "*") reached the sent list;
    // the gateway's own transmission was not heard back as a new packet.
    ASSERT_TRUE(QTest::qWaitFor([&] { return !view.transmitted.isEmpty(); }, 5000));
    EXPECT_TRUE(view.transmitted.value(0).contains(QLatin1String("Fm PCSAT-1 To APRS Via N0CALL-5,WIDE,WIDE")))
        << view.transmitted.value(0).toStdString();
    EXPECT_EQ(view.transmitted.value(1), "hello from pcsat");
    const GatewayCounters& c = gateway->link().counters();
    EXPECT_EQ(c.totalCount, 1);
    EXPECT_EQ(c.toOutCount, 1);
    EXPECT_EQ(c.toSatsCount, 0);
    EXPECT_EQ(view.status, "ToSats/ToOut/Tot dal 06/12 08:15 =0/1/1");
}

TEST_F(DireWolfGateway, PacketAddressedViaTheGatewayAndArissIsGatedUp)
{
    connectGateway();
    hear(QStringLiteral("N0CALL-9>APRS,N0CALL-5,ARISS:test up"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return gateway->link().counters().totalCount >= 1; }, 15000)) << dump();

    ASSERT_EQ(view.received.size(), 2);
    EXPECT_TRUE(view.received[0].startsWith(QLatin1String(" 1:Fm N0CALL-9 To APRS Via N0CALL-5,ARISS <UI")))
        << view.received[0].toStdString();
    EXPECT_EQ(view.received[1], "test up");

    // Up on the Sats port: the gateway marked as repeated, ARISS still to go;
    // WIDE,WIDE belongs to the down direction only.
    const QString onAir = QStringLiteral("N0CALL-9>APRS,N0CALL-5*,ARISS:test up");
    const QStringList decoded = transmittedAfter(onAir);
    EXPECT_EQ(decoded, QStringList{onAir});

    const GatewayCounters& c = gateway->link().counters();
    EXPECT_EQ(c.totalCount, 1);
    EXPECT_EQ(c.toSatsCount, 1);
    EXPECT_EQ(c.toOutCount, 0);
    EXPECT_EQ(view.status, "ToSats/ToOut/Tot dal 06/12 08:15 =1/0/1");
}

TEST_F(DireWolfGateway, PacketOfNoSatelliteIsNotTransmitted)
{
    connectGateway();
    hear(QStringLiteral("N0CALL-9>APRS,WIDE1-1:local only"));
    // Wait until Dire Wolf has reported it; then nothing may follow.
    ASSERT_TRUE(QTest::qWaitFor([&] { return view.received.value(1) == "local only"; }, 15000)) << dump();
    EXPECT_EQ(view.receivedColour, PacketColour::Green);
    QTest::qWait(1000);
    EXPECT_TRUE(engine->transmittedPackets().isEmpty());
    EXPECT_EQ(gateway->link().counters().totalCount, 0);
    EXPECT_TRUE(view.transmitted.isEmpty());
}

// Dire Wolf 1.6 writes no "*" in its monitor text: the marks come from the
// raw frames, and the via form it accepts is picked from its version reply.
TEST_F(DireWolfGateway, RepeatedMarksComeFromTheRawFramesAndTheViaFormFromTheVersion)
{
    connectGateway();
    ASSERT_TRUE(QTest::qWaitFor([&] { return view.profile.contains(QLatin1String("Dire Wolf")); }, 5000))
        << view.profile.toStdString();
    struct Heard {
        const char* packet;
        const char* onAir;  // as atest prints it ("*" after the last repeated entry), or nothing
    };
    // Those not to gate come first: had they been sent, they would be
    // decoded before the others.
    const Heard heard[] = {
        {"N0CALL-6>APRS,RS0ISS:not repeated", nullptr},
        {"N0CALL-3>APRS,N0CALL-5*,ARISS:already up", nullptr},
        {"N0CALL-8>APRS,RS0ISS*:direct iss", "N0CALL-8>APRS,RS0ISS,N0CALL-5*,WIDE,WIDE:direct iss"},
        {"N0CALL-7>APRS,RS0ISS,WIDE2*:iss then ground",
         "N0CALL-7>APRS,RS0ISS,N0CALL-5*,WIDE,WIDE:iss then ground"},
        {"N0CALL-4>APRS,PCSAT-1*:via pcsat", "N0CALL-4>APRS,PCSAT-1,N0CALL-5*,WIDE,WIDE:via pcsat"},
        {"N0CALL-9>APRS,N0CALL-5,ARISS:going up", "N0CALL-9>APRS,N0CALL-5*,ARISS:going up"},
    };
    QStringList expected;
    for (const Heard& h : heard) {
        const QString packet = QString::fromLatin1(h.packet);
        const QString info = packet.section(QLatin1Char(':'), 1);
        hear(packet);
        ASSERT_TRUE(QTest::qWaitFor([&] { return view.received.value(1) == info; }, 15000))
            << h.packet << "\n" << dump();
        if (h.onAir)
            expected << QString::fromLatin1(h.onAir);
    }
    // The true marks reached the header line everything else reads.
    EXPECT_TRUE(view.received[0].contains(QLatin1String("Via N0CALL-5,ARISS <UI"))) << view.received[0].toStdString();

    QStringList decoded;
    ASSERT_TRUE(engine->waitForTransmitted(expected.last(), 20000, &decoded))
        << decoded.join(QLatin1Char('|')).toStdString() << "\n" << dump();
    EXPECT_EQ(decoded, expected);
    const GatewayCounters& c = gateway->link().counters();
    EXPECT_EQ(c.toOutCount, 3);
    EXPECT_EQ(c.toSatsCount, 1);
}

} // namespace
