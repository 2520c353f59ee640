// The whole gateway (link, dispatcher, routing, duplicate filter) against the
// in-process test engine over TCP on 127.0.0.1: heard "U" frames go in, the
// "V" frames the engine records come out. Both via forms are covered: the
// seven-character form of the AGW Packet Engine and the text form of engines
// such as Dire Wolf.
#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <memory>
#include <ostream>

#include "gateway/Gateway.h"
#include "settings/GatewaySettings.h"
#include "support/FakeLinkView.h"
#include "testengine/TestEngine.h"

using namespace selvane;
using namespace selvane::test;

namespace {

const QDateTime kStart(QDate(2026, 12, 6), QTime(8, 15, 30));

// The via paths expected in each form.
struct FormCase {
    const char* name;
    EngineChoice engine;  // automatic: the profile follows the version reply
    bool direWolf;        // the engine behaves like Dire Wolf (2005.127, raw frames, no "*")
    const char* handshake; // the requests on connecting
    QStringList issDown;    // heard via RS0ISS*, sent to the Out ports
    QStringList pcsatDown;  // heard via PCSAT-1*, sent to the Out ports
    QStringList up;         // heard via N0CALL-5,ARISS, sent to the Sats port
};

// Shown in test names and messages.
void PrintTo(const FormCase& c, std::ostream* os)
{
    *os << c.name;
}

const FormCase kSevenChar{"SevenChar", EngineChoice::Automatic, false, "mRG",
                          {"RS0ISSP", "N0CALLE", "WIDE", "WIDE"},
                          {"PCSAT A", "N0CALLE", "WIDE", "WIDE"},
                          {"N0CALLE", "ARISS"}};
const FormCase kText{"Text", EngineChoice::DireWolf, false, "mRGk",
                     {"RS0ISS*", "N0CALL-5*", "WIDE", "WIDE"},
                     {"PCSAT-1*", "N0CALL-5*", "WIDE", "WIDE"},
                     {"N0CALL-5*", "ARISS"}};
const FormCase kDireWolf{"DireWolf", EngineChoice::Automatic, true, "mRGk",
                         {"RS0ISS*", "N0CALL-5*", "WIDE", "WIDE"},
                         {"PCSAT-1*", "N0CALL-5*", "WIDE", "WIDE"},
                         {"N0CALL-5*", "ARISS"}};

struct GatewayOnTestEngine : ::testing::TestWithParam<FormCase> {
    TestEngine engine;
    FakeLinkView view;
    LiveSettingsValues settings;
    NoTelemetryDecoder decoder;
    QTemporaryDir logs;
    qint64 nowMs = 5'000'000;
    std::unique_ptr<Gateway> gateway;

    void SetUp() override
    {
        ASSERT_TRUE(logs.isValid());
        ASSERT_TRUE(engine.listen(QHostAddress::LocalHost, 0));
        engine.setFixedTime(QTime(8, 15, 30));
        if (GetParam().direWolf)
            engine.setDireWolf();
        engine.setPorts({"Port1 Sats", "Port2 Out north", "Port3 Out south"});
        settings.call = QStringLiteral("N0CALL-5");
        settings.via = QStringLiteral("WIDE,WIDE");
        settings.sats = QStringLiteral("1");
        settings.out = QStringLiteral("2,3");
        settings.dup = QStringLiteral("30");
        settings.host = QStringLiteral("127.0.0.1");
        settings.forward = false;
        settings.reverse = true;
        settings.engine = GetParam().engine;
        gateway = std::make_unique<Gateway>(view, settings, decoder, [] { return kStart; },
                                            [this] { return nowMs; }, logs.path(), engine.serverPort());
        QSignalSpy connected(&gateway->link(), &AgwLink::linkConnected);
        gateway->link().toggle();
        ASSERT_TRUE(connected.wait(5000));
        ASSERT_TRUE(QTest::qWaitFor([&] { return view.ports.size() == 3 && engine.monitoring(); }, 5000));
        // "k" follows the version reply: raw frames start with the next frame heard.
        if (GetParam().direWolf) {
            ASSERT_TRUE(QTest::qWaitFor([&] { return engine.rawFrames(); }, 5000));
        }
    }

    void TearDown() override
    {
        if (gateway)
            gateway->link().closeForExit();
    }

    QList<ReceivedFrame> sent(char kind = 'V') const
    {
        QList<ReceivedFrame> frames;
        for (const ReceivedFrame& f : engine.received())
            if (f.kind == kind)
                frames << f;
        return frames;
    }

    // Waits until everything the gateway wrote so far has reached the
    // engine: a monitoring request ("m", harmless to repeat) sent now arrives
    // after it on the same connection.
    void flush()
    {
        const qsizetype before = sent('m').size();
        gateway->link().SendAgwRequest('m');
        ASSERT_TRUE(QTest::qWaitFor([&] { return sent('m').size() == before + 1; }, 5000));
    }

    // One heard packet, waited for until the gateway has handled it.
    void hear(int port, const QString& from, const QStringList& via, const QString& info)
    {
        const int shown = view.statusChanges;
        const qint64 routed = gateway->link().counters().totalCount;
        view.received.clear();
        // Dire Wolf-style: the marks are only in the raw frame's bits.
        if (GetParam().direWolf)
            engine.sendHeard(port, from, QStringLiteral("APRS"), via, info);
        else
            engine.sendMonitor('U', port, from, QStringLiteral("APRS"), via, info);
        ASSERT_TRUE(QTest::qWaitFor([&] { return view.received.value(1) == info; }, 5000));
        // Handled in one go: the counters and status are final once shown.
        if (gateway->link().counters().totalCount != routed) {
            EXPECT_EQ(view.statusChanges, shown + 1);
        }
        flush();
    }

    const GatewayCounters& counters() { return gateway->link().counters(); }
};

void ExpectFrame(const ReceivedFrame& f, int port, const QString& from, const QStringList& via,
                 const QString& text)
{
    EXPECT_EQ(f.port, port);
    EXPECT_EQ(f.from, from);
    EXPECT_EQ(f.to, "APRS");
    EXPECT_EQ(f.via, via);
    EXPECT_EQ(f.text, text);
    // Via count, ten bytes per entry, then the text.
    EXPECT_EQ(f.data.size(), 1 + 10 * via.size() + text.size());
}

TEST_P(GatewayOnTestEngine, PacketRepeatedByTheIssGoesToEveryOutPortInListOrder)
{
    hear(0, "N0CALL-9", {"RS0ISS*"}, "Hello");
    const QList<ReceivedFrame> v = sent();
    ASSERT_EQ(v.size(), 2);
    ExpectFrame(v[0], 1, "N0CALL-9", GetParam().issDown, "Hello");
    ExpectFrame(v[1], 2, "N0CALL-9", GetParam().issDown, "Hello");
    EXPECT_EQ(v[0].data.size(), 46);
    EXPECT_EQ(view.receivedColour, PacketColour::Yellow);
    EXPECT_EQ(counters().totalCount, 1);
    EXPECT_EQ(counters().toOutCount, 1);
    EXPECT_EQ(counters().toSatsCount, 0);
}

TEST_P(GatewayOnTestEngine, PacketRepeatedByPcsatIsGatedOnlyWithGateToOut)
{
    hear(0, "N0CALL-7", {"PCSAT-1*", "WIDE2-1"}, "hello via pcsat");
    EXPECT_TRUE(sent().isEmpty());
    EXPECT_EQ(counters().totalCount, 0);
    EXPECT_EQ(view.receivedColour, PacketColour::Green);

    // The live setting counts from the next packet on.
    settings.forward = true;
    settings.out = QStringLiteral("2");
    hear(0, "N0CALL-7", {"PCSAT-1*", "WIDE2-1"}, "hello via pcsat");
    const QList<ReceivedFrame> v = sent();
    ASSERT_EQ(v.size(), 1);
    ExpectFrame(v[0], 1, "N0CALL-7", GetParam().pcsatDown, "hello via pcsat");
    EXPECT_EQ(counters().toOutCount, 1);
}

TEST_P(GatewayOnTestEngine, PacketAddressedViaTheGatewayAndArissGoesUpToTheSatsPort)
{
    hear(1, "N0CALL-9", {"N0CALL-5", "ARISS"}, "test up");
    QList<ReceivedFrame> v = sent();
    ASSERT_EQ(v.size(), 1);
    ExpectFrame(v[0], 0, "N0CALL-9", GetParam().up, "test up");
    EXPECT_EQ(counters().toSatsCount, 1);
    EXPECT_EQ(counters().toOutCount, 0);

    // Once a digipeater has repeated the gateway's entry it is not sent again;
    // with "Gate to Sats" off nothing goes up at all.
    hear(2, "N0CALL-8", {"N0CALL-5*", "ARISS"}, "already up");
    settings.reverse = false;
    hear(2, "N0CALL-6", {"N0CALL-5", "ARISS"}, "reverse off");
    EXPECT_EQ(sent().size(), 1);
    EXPECT_EQ(counters().totalCount, 1);
}

TEST_P(GatewayOnTestEngine, DuplicateWithinTheDuplicateTimeGoesOutOncePerPort)
{
    hear(0, "N0CALL-9", {"RS0ISS*"}, "Hello");
    nowMs += 29'000;
    hear(0, "N0CALL-9", {"RS0ISS*"}, "Hello");
    EXPECT_EQ(sent().size(), 2);  // ports 1 and 2, once each
    EXPECT_EQ(view.receivedColour, PacketColour::LightGreen);
    EXPECT_EQ(counters().totalCount, 2);
    EXPECT_EQ(counters().toOutCount, 1);

    // The same source and text going up is another packet (key "~N0CALL-9").
    hear(1, "N0CALL-9", {"N0CALL-5", "ARISS"}, "Hello");
    EXPECT_EQ(sent().size(), 3);
    EXPECT_EQ(sent().last().port, 0);

    // Past the duplicate time the first packet is new again.
    nowMs += 31'000;
    hear(0, "N0CALL-9", {"RS0ISS*"}, "Hello");
    const QList<ReceivedFrame> v = sent();
    ASSERT_EQ(v.size(), 5);
    ExpectFrame(v[3], 1, "N0CALL-9", GetParam().issDown, "Hello");
    ExpectFrame(v[4], 2, "N0CALL-9", GetParam().issDown, "Hello");
    EXPECT_EQ(view.receivedColour, PacketColour::Yellow);
    EXPECT_EQ(counters().totalCount, 4);
    EXPECT_EQ(counters().toOutCount, 2);
    EXPECT_EQ(counters().toSatsCount, 1);
}

TEST_P(GatewayOnTestEngine, StatusLineCountsSentDuplicateAndUpPacketsButNotUngatedOnes)
{
    EXPECT_EQ(view.status, GetParam().direWolf ? "Gateway connesso a AGWPE v2005.127"
                                               : "Gateway connesso a AGWPE v2000.15");
    hear(0, "N0CALL-9", {"RS0ISS*"}, "Hello");
    EXPECT_EQ(view.status, "ToSats/ToOut/Tot dal 06/12 08:15 =0/1/1");
    hear(0, "N0CALL-9", {"RS0ISS*"}, "Hello");
    hear(1, "N0CALL-9", {"N0CALL-5", "ARISS"}, "test up");
    EXPECT_EQ(view.status, "ToSats/ToOut/Tot dal 06/12 08:15 =1/1/3");

    // A packet of no satellite, heard on every kind of port, changes nothing.
    const int changes = view.statusChanges;
    hear(0, "N0CALL-3", {"WIDE1-1"}, "local");
    hear(1, "N0CALL-3", {"WIDE1-1"}, "local");
    hear(5, "N0CALL-3", {"RS0ISS*"}, "port of no list");
    EXPECT_EQ(view.statusChanges, changes);
    EXPECT_EQ(view.status, "ToSats/ToOut/Tot dal 06/12 08:15 =1/1/3");
    EXPECT_EQ(view.trayTip, "Selvane - ToSats/ToOut/Tot dal 06/12 08:15 =1/1/3");
    EXPECT_EQ(sent().size(), 3);
}

TEST_P(GatewayOnTestEngine, RequestsOnConnectingFollowTheProfile)
{
    flush();
    QString kinds;
    for (const ReceivedFrame& f : engine.received())
        kinds += QLatin1Char(f.kind);
    // The last "m" is flush()'s own.
    EXPECT_EQ(kinds, QString::fromLatin1(GetParam().handshake) + "m");
    for (const ReceivedFrame& f : engine.received())
        EXPECT_EQ(f.raw, QByteArray(4, '\0') + f.kind + QByteArray(31, '\0'));
}

// A packet's information field is whatever follows the engine's header line:
// routed by that header, forwarded whole.
TEST_P(GatewayOnTestEngine, InformationHoldingLineBreaksOrAForgedHeaderIsRoutedByTheRealHeader)
{
    const QString forged = QStringLiteral("junk\r 1:Fm N0CALL-9 To APRS Via RS0ISS* <UI pid=F0 Len=5 >[08:15:30]\rforged");
    hear(0, "N0CALL-9", {"WIDE1-1"}, forged);
    EXPECT_TRUE(sent().isEmpty());
    const QString text[] = {QStringLiteral("line one\rline two"), QStringLiteral("lf\ninside"),
                            QString::fromLatin1("nul\0inside", 10)};
    settings.out = QStringLiteral("2");
    for (const QString& info : text)
        hear(0, "N0CALL-9", {"RS0ISS*"}, info);
    const QList<ReceivedFrame> v = sent();
    ASSERT_EQ(v.size(), 3);
    for (int i = 0; i < 3; ++i)
        ExpectFrame(v[i], 1, "N0CALL-9", GetParam().issDown, text[i]);
}

INSTANTIATE_TEST_SUITE_P(ViaForms, GatewayOnTestEngine, ::testing::Values(kSevenChar, kText, kDireWolf),
                         [](const ::testing::TestParamInfo<FormCase>& info) { return info.param.name; });

} // namespace

namespace {

// Faults of the engine the gateway must survive with bounded memory.
struct GatewayFaults : ::testing::Test {
    TestEngine engine;
    FakeLinkView view;
    LiveSettingsValues settings;
    NoTelemetryDecoder decoder;
    QTemporaryDir logs;
    qint64 nowMs = 0;
    std::unique_ptr<Gateway> gateway;

    void SetUp() override
    {
        ASSERT_TRUE(engine.listen(QHostAddress::LocalHost, 0));
        engine.setEchoTransmissions(false);
        settings.call = QStringLiteral("N0CALL-5");
        settings.sats = QStringLiteral("1");
        settings.out = QStringLiteral("2");
        settings.host = QStringLiteral("127.0.0.1");
        gateway = std::make_unique<Gateway>(view, settings, decoder, [] { return kStart; },
                                            [this] { return nowMs; }, logs.path(), engine.serverPort());
        QSignalSpy connected(&gateway->link(), &AgwLink::linkConnected);
        gateway->link().toggle();
        ASSERT_TRUE(connected.wait(5000));
        ASSERT_TRUE(QTest::qWaitFor([&] { return view.ports.size() == 2 && engine.monitoring(); }, 5000));
    }
    void TearDown() override
    {
        if (gateway)
            gateway->link().closeForExit();
    }
    qsizetype sentCount() const
    {
        qsizetype n = 0;
        for (const ReceivedFrame& f : engine.received())
            n += f.kind == 'V';
        return n;
    }
};

// An engine that stops reading: the gateway goes on reading what it sends,
// what waits for the engine stays bounded (the rest is dropped and
// counted), and gating resumes once the engine reads again.
TEST_F(GatewayFaults, EngineThatStopsReadingNeverBlocksTheGatewayNorGrowsItsMemory)
{
    QSignalSpy blocked(&gateway->link(), &AgwLink::outputBlocked);
    QSignalSpy resumed(&gateway->link(), &AgwLink::outputResumed);
    engine.setReading(false);
    const int heard = 40000;  // far more than the system's socket buffers hold
    for (int i = 0; i < heard; ++i) {
        engine.sendMonitor('U', 0, QStringLiteral("N1CALL-%1").arg(i % 15 + 1), "APRS", {"RS0ISS*"},
                           QStringLiteral("packet %1 padded to fill the buffers quickly ........").arg(i));
        ++nowMs;
    }
    ASSERT_TRUE(QTest::qWaitFor([&] { return gateway->link().counters().totalCount == heard; }, 60000))
        << gateway->link().counters().totalCount;
    // Each time the queue fills up it is said once (the system's buffer
    // may take a little more now and then between two such times).
    ASSERT_GE(blocked.size(), 1);
    const qint64 dropped = gateway->link().droppedFrames();
    EXPECT_GT(dropped, 0);
    EXPECT_LT(blocked.size(), dropped / 100);

    engine.setReading(true);
    nowMs += 60'000;
    engine.sendMonitor('U', 0, QStringLiteral("N1CALL-9"), "APRS", {"RS0ISS*"}, QStringLiteral("after"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !engine.received().isEmpty() && engine.received().last().text == "after"; },
                                30000));
    EXPECT_EQ(sentCount(), heard + 1 - dropped);
    ASSERT_EQ(resumed.size(), blocked.size());
    qint64 reported = 0;
    for (const QList<QVariant>& r : resumed)
        reported += r.at(0).toLongLong();
    EXPECT_EQ(reported, dropped);  // every dropped frame was reported
}

// A stream out of step (a length no engine sends) is resynchronised by a
// new connection when reconnecting is on, and stops the link otherwise.
TEST_F(GatewayFaults, StreamOutOfStepClosesTheConnectionAndReconnects)
{
    QSignalSpy outOfStep(&gateway->link(), &AgwLink::streamOutOfStep);
    QSignalSpy clients(&engine, &TestEngine::clientConnected);
    settings.reconnect = true;
    QByteArray garbage = TestEngine::buildFrame('U', 0, "N1CALL-9", "APRS", QByteArray());
    garbage[28 + 3] = char(0x40);  // 1 GiB declared
    engine.sendRaw(garbage + QByteArray(64, 'x'));
    ASSERT_TRUE(outOfStep.wait(5000));
    ASSERT_TRUE(QTest::qWaitFor([&] { return clients.size() == 1 && engine.monitoring() && view.ports.size() == 2; }, 10000));
    engine.sendMonitor('U', 0, QStringLiteral("N1CALL-9"), "APRS", {"RS0ISS*"}, QStringLiteral("in step"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return sentCount() == 1; }, 5000));

    settings.reconnect = false;
    engine.sendRaw(garbage);
    ASSERT_TRUE(QTest::qWaitFor([&] { return outOfStep.size() == 2; }, 5000));
    EXPECT_FALSE(gateway->link().isRunning());
    EXPECT_TRUE(view.status.endsWith("fuori passo")) << view.status.toStdString();
    EXPECT_TRUE(view.socketErrors.isEmpty());
}

// A flood of heard frames, twice as many as the duplicate store holds: every
// frame is gated, the "V" frames come back in the order heard, and
// afterwards nothing waits anywhere on the way. Each information field holds
// the frame's own sequence number, so none is a duplicate even after the
// store has dropped its oldest entries. The engine keeps at most kWindow
// frames unanswered, so the flood goes as fast as the machine allows and
// never fills the link's bounded output (kWindow "V" frames are far below
// AgwLink::kMaxPendingOutput): a machine of any speed, busy or not, gates
// every frame. What rate the gateway keeps up is measured by the benchmark
// bench_gateway_loopback (BM_GatewayFlood).
TEST_F(GatewayFaults, FloodIsGatedWithoutLossOrReorderingAndLeavesNothingPending)
{
    constexpr qint64 total = 2 * DuplicateFilter::kMaxEntries;
    constexpr qint64 kWindow = 500;
    constexpr qint64 kBatch = 100;
    gateway->dailyLog().setLogEnabled(false);  // the disk is not under test
    const auto seqText = [](qint64 n) { return QStringLiteral("flood %1").arg(n, 8, 10, QLatin1Char('0')); };
    qint64 gated = 0;
    QString firstWrong;
    QObject scope;  // ends the connection before what it counts into
    QObject::connect(&engine, &TestEngine::frameReceived, &scope, [&](const ReceivedFrame& f) {
        if (f.kind == 'V' && firstWrong.isEmpty() && (f.port != 1 || f.text != seqText(gated)))
            firstWrong = QStringLiteral("after %1 in sequence: %2").arg(gated).arg(TestEngine::formatRecord(f));
        gated += f.kind == 'V';
    });

    // The engine's record is emptied as it goes, so only the count above
    // keeps what came back.
    qint64 heard = 0;
    while (gated < total && firstWrong.isEmpty()) {
        for (; heard < total && heard - gated < kWindow; ++heard) {
            engine.sendMonitor('U', 0, QStringLiteral("N1CALL-%1").arg(heard % 15 + 1), "APRS", {"RS0ISS*"},
                               seqText(heard));
            nowMs += 3;  // 60 s of the duplicate store's clock: entries expire as well as overflow
        }
        engine.clearReceived();
        const qint64 before = gated;  // fails only when the flow stops
        ASSERT_TRUE(QTest::qWaitFor([&] { return gated >= std::min(total, before + kBatch) || !firstWrong.isEmpty(); },
                                    30000))
            << gated << " of " << total << " gated";
    }
    ASSERT_TRUE(firstWrong.isEmpty()) << firstWrong.toStdString();

    EXPECT_EQ(gated, total);
    EXPECT_EQ(gateway->link().counters().totalCount, total);
    EXPECT_EQ(gateway->link().droppedFrames(), 0);
    EXPECT_EQ(gateway->link().dispatcher().heldFrames(), 0);
    EXPECT_EQ(gateway->link().pendingInput(), 0);
    EXPECT_EQ(gateway->link().pendingOutput(), 0);
    EXPECT_LE(gateway->router().duplicates().size(), DuplicateFilter::kMaxEntries);
    // Both ends of the connection, as the engine sees it: everything written
    // was taken, everything received was read.
    const QTcpSocket* client = engine.findChild<QTcpSocket*>();
    ASSERT_NE(client, nullptr);
    EXPECT_EQ(client->bytesToWrite(), 0);
    EXPECT_EQ(client->bytesAvailable(), 0);
    // The link's assembler holds no piece of a frame: one more frame comes
    // out whole right after the flood.
    engine.sendMonitor('U', 0, QStringLiteral("N1CALL-9"), "APRS", {"RS0ISS*"}, seqText(total));
    ASSERT_TRUE(QTest::qWaitFor([&] { return gated == total + 1; }, 5000));
    EXPECT_TRUE(firstWrong.isEmpty()) << firstWrong.toStdString();
}

} // namespace
