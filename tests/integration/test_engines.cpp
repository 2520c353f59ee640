// One table of heard packets run through every engine a station may have,
// against the test engine: an AGW engine with each profile (the
// seven-character "V" of the AGW Packet Engine, the text "V" of Dire
// Wolf-compatible engines, raw "K" frames both ways) and a KISS TNC over TCP
// and on a pseudo-terminal. The packets on the air are the same.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <memory>
#include <ostream>

#include "gateway/Gateway.h"
#include "kiss/KissLink.h"
#include "support/FakeLinkView.h"
#include "testengine/TestEngine.h"

using namespace selvane;
using namespace selvane::test;

namespace {

const QDateTime kStart(QDate(2026, 12, 6), QTime(8, 15, 30));

enum class Wire { AgwSevenChar, AgwText, AgwRaw, KissTcp, KissSerial };

struct EngineCase {
    const char* name;
    Wire wire;
};

void PrintTo(const EngineCase& c, std::ostream* os)
{
    *os << c.name;
}

struct Heard {
    int port;
    const char* from;
    QStringList via;
    const char* info;
};

// Gate down from port 1 (Sats) to ports 2 and 3 (Out), up from the Out ports.
const Heard kHeard[] = {
    {0, "N0CALL-9", {"RS0ISS*"}, "iss"},
    {0, "N0CALL-6", {"RS0ISS"}, "not repeated"},
    {0, "N0CALL-7", {"PCSAT-1*"}, "pcsat without Gate to Out"},
    {1, "N0CALL-8", {"N0CALL-5", "ARISS"}, "up"},
    {1, "N0CALL-8", {"N0CALL-5", "ARISS"}, "up"},                 // a duplicate
    {2, "N0CALL-3", {"N0CALL-5*", "ARISS"}, "already up"},
    {0, "N0CALL-4", {"RS0ISS*", "WIDE2*"}, "iss then ground"},
    {0, "N0CALL-15", {"RS0ISS*"}, "end"},
};

// What goes on the air, as "port source>destination,via:text".
const QStringList kOnAir = {
    "1 N0CALL-9>APRS,RS0ISS*,N0CALL-5*,WIDE,WIDE:iss",
    "2 N0CALL-9>APRS,RS0ISS*,N0CALL-5*,WIDE,WIDE:iss",
    "0 N0CALL-8>APRS,N0CALL-5*,ARISS:up",
    "1 N0CALL-4>APRS,RS0ISS*,N0CALL-5*,WIDE,WIDE:iss then ground",
    "2 N0CALL-4>APRS,RS0ISS*,N0CALL-5*,WIDE,WIDE:iss then ground",
    "1 N0CALL-15>APRS,RS0ISS*,N0CALL-5*,WIDE,WIDE:end",
    "2 N0CALL-15>APRS,RS0ISS*,N0CALL-5*,WIDE,WIDE:end",
};

// A via entry of the seven-character form as it goes on the air:
// "N0CALLE" is N0CALL-5 marked.
QString OnAirEntry(const QString& entry)
{
    static const QRegularExpression seven(QStringLiteral("^(.{6})([A-P])$"));
    const QRegularExpressionMatch m = seven.match(entry);
    if (!m.hasMatch())
        return entry;
    const int ssid = m.captured(2) == QLatin1String("P") ? 0 : m.captured(2).at(0).unicode() - 'A' + 1;
    return m.captured(1).trimmed() + (ssid ? QStringLiteral("-%1").arg(ssid) : QString()) + QLatin1Char('*');
}

struct EngineFixture {
    TestEngine engine;
    FakeLinkView view;
    LiveSettingsValues settings;
    NoTelemetryDecoder decoder;
    QTemporaryDir logs;
    qint64 nowMs = 1'000'000;
    std::unique_ptr<Gateway> gateway;

    EngineFixture()
    {
        settings.call = QStringLiteral("N0CALL-5");
        settings.via = QStringLiteral("WIDE,WIDE");
        settings.sats = QStringLiteral("1");
        settings.out = QStringLiteral("2,3");
        settings.host = QStringLiteral("127.0.0.1");
        settings.forward = false;
        settings.reverse = true;
    }

    // The engine of the case, the gateway on it, started; true once heard
    // frames reach it.
    bool start(Wire wire, LinkTiming timing = {})
    {
        engine.setFixedTime(QTime(8, 15, 30));
        engine.setPorts({"Port1 Sats", "Port2 Out north", "Port3 Out south"});
        EngineConfig config;
        switch (wire) {
        case Wire::AgwSevenChar:
            settings.engine = EngineChoice::Agwpe;
            break;
        case Wire::AgwText:
            engine.setDireWolf();
            break;
        case Wire::AgwRaw:
            engine.setDireWolf();
            engine.setIgnoresViaFrames(true);
            settings.engine = EngineChoice::RawFrames;
            break;
        case Wire::KissTcp:
            engine.setProtocol(TestEngine::Protocol::Kiss);
            config.kind = EngineKind::KissTcp;
            break;
        case Wire::KissSerial:
            if (!engine.openPseudoTerminal())
                return false;
            config.kind = EngineKind::KissSerial;
            config.device = engine.pseudoTerminalPath();
            break;
        }
        if (wire != Wire::KissSerial && !engine.listen(QHostAddress::LocalHost, 0))
            return false;
        config.agwPort = engine.serverPort();
        config.address = QStringLiteral("127.0.0.1:%1").arg(engine.serverPort());
        gateway = std::make_unique<Gateway>(view, settings, decoder, [] { return kStart; }, [this] { return nowMs; },
                                            logs.path(), config, timing);
        QSignalSpy connected(&gateway->engine(), &EngineLink::linkConnected);
        gateway->engine().toggle();
        if (!connected.wait(5000))
            return false;
        const bool kiss = wire == Wire::KissTcp || wire == Wire::KissSerial;
        return QTest::qWaitFor(
            [&] {
                return kiss ? engine.hasClient()
                            : view.ports.size() == 3 && engine.monitoring() && (wire == Wire::AgwSevenChar || engine.rawFrames());
            },
            5000);
    }

    ~EngineFixture()
    {
        if (gateway)
            gateway->engine().closeForExit();
    }

    void hear(const Heard& h, Wire wire)
    {
        // The AGW Packet Engine writes the marks in its text; the others
        // carry them in the frame's bits.
        if (wire == Wire::AgwSevenChar)
            engine.sendMonitor('U', h.port, h.from, "APRS", h.via, h.info);
        else
            engine.sendHeard(h.port, h.from, "APRS", h.via, h.info);
    }

    QStringList onAir() const
    {
        QStringList sent;
        for (const ReceivedFrame& f : engine.received()) {
            if (f.kind != 'V' && f.kind != 'K')
                continue;
            QStringList via;
            for (const QString& entry : f.via)
                via << OnAirEntry(entry);
            sent << QStringLiteral("%1 %2>%3,%4:%5").arg(f.port).arg(f.from, f.to, via.join(','), f.text);
        }
        return sent;
    }
};

struct EveryEngine : ::testing::TestWithParam<EngineCase>, EngineFixture {};

TEST_P(EveryEngine, TheSameHeardPacketsGiveTheSamePacketsOnTheAir)
{
    ASSERT_TRUE(start(GetParam().wire)) << view.status.toStdString();
    for (const Heard& h : kHeard)
        hear(h, GetParam().wire);
    ASSERT_TRUE(QTest::qWaitFor([&] { return onAir().size() == kOnAir.size(); }, 10000)) << onAir().join('\n').toStdString();
    EXPECT_EQ(onAir(), kOnAir);
    // Every engine's frames read as an AGW engine's header lines.
    EXPECT_EQ(view.received.value(0), GetParam().wire == Wire::AgwText || GetParam().wire == Wire::AgwRaw
                                          ? " 1:Fm N0CALL-15 To APRS Via RS0ISS* <UI pid=F0 Len=3 PF=0 >[08:15:30]"
                                          : " 1:Fm N0CALL-15 To APRS Via RS0ISS* <UI pid=F0 Len=3 >[08:15:30]");
    const GatewayCounters& c = gateway->engine().counters();
    EXPECT_EQ(c.totalCount, 5);
    EXPECT_EQ(c.toOutCount, 3);
    EXPECT_EQ(c.toSatsCount, 1);
    EXPECT_EQ(view.status, "ToSats/ToOut/Tot dal 06/12 08:15 =1/3/5");
    // Raw frames both ways: nothing but "K" goes out.
    if (GetParam().wire == Wire::AgwRaw) {
        for (const ReceivedFrame& f : engine.received())
            EXPECT_NE(f.kind, 'V');
    }
}

INSTANTIATE_TEST_SUITE_P(Engines, EveryEngine,
                         ::testing::Values(EngineCase{"AgwSevenChar", Wire::AgwSevenChar},
                                           EngineCase{"AgwText", Wire::AgwText}, EngineCase{"AgwRaw", Wire::AgwRaw},
                                           EngineCase{"KissTcp", Wire::KissTcp},
                                           EngineCase{"KissSerial", Wire::KissSerial}),
                         [](const ::testing::TestParamInfo<EngineCase>& info) { return info.param.name; });

struct Engines : ::testing::Test, EngineFixture {};

// An engine that drops "V" but reports what it transmits: with "V" the
// gateway says so within transmitReportMs; with raw frames both ways the
// packets go out and are reported.
TEST_F(Engines, AnEngineThatDropsViaFramesIsSaidAndRawFramesReachTheAir)
{
    engine.setIgnoresViaFrames(true);
    engine.setRawFramesAvailable(true);
    LinkTiming timing;
    timing.transmitReportMs = 300;
    ASSERT_TRUE(start(Wire::AgwSevenChar, timing));
    QSignalSpy dropped(&gateway->link(), &AgwLink::sentNotTransmitted);
    engine.sendMonitor('T', 0, "N0CALL-10", "BEACON", {}, "its own beacon");
    hear(kHeard[0], Wire::AgwSevenChar);
    ASSERT_TRUE(dropped.wait(5000));
    EXPECT_EQ(view.status, AgwLink::SentNotTransmittedText());
    EXPECT_EQ(onAir().size(), 2);  // sent, and dropped by the engine

    settings.engine = EngineChoice::RawFrames;
    gateway->link().engineChoiceChanged();
    ASSERT_TRUE(QTest::qWaitFor([&] { return engine.rawFrames(); }, 5000));
    hear(kHeard[7], Wire::AgwText);
    ASSERT_TRUE(QTest::qWaitFor([&] { return view.transmitted.value(1) == "end"; }, 5000));
    EXPECT_EQ(onAir().mid(2), kOnAir.mid(5));
    EXPECT_EQ(engine.received().last().kind, 'K');
    EXPECT_EQ(dropped.size(), 1);
}

// A KISS TNC that is not there at start, then is, then goes away: tried
// again with the growing delay, and what it hears is gated once it is there.
// Garbage from it changes nothing.
TEST_F(Engines, AKissTncThatComesAndGoesIsTriedAgain)
{
    settings.reconnect = true;
    QTemporaryDir dir;
    const QString device = dir.filePath("tnc");
    EngineConfig config;
    config.kind = EngineKind::KissSerial;
    config.device = device;
    LinkTiming timing;
    timing.retry = {50, 200};
    gateway = std::make_unique<Gateway>(view, settings, decoder, [] { return kStart; }, [this] { return nowMs; },
                                        logs.path(), config, timing);
    EngineLink& link = gateway->engine();
    QSignalSpy scheduled(&link, &EngineLink::reconnectScheduled);
    QSignalSpy connected(&link, &EngineLink::linkConnected);
    QSignalSpy lost(&link, &EngineLink::connectionLost);
    link.toggle();
    ASSERT_TRUE(QTest::qWaitFor([&] { return scheduled.size() >= 3; }, 5000));
    EXPECT_EQ(scheduled.at(1).at(1).toInt(), 100);  // the delay doubles
    EXPECT_TRUE(view.socketErrors.isEmpty());

    ASSERT_TRUE(engine.openPseudoTerminal());
    ASSERT_TRUE(QFile::link(engine.pseudoTerminalPath(), device));
    ASSERT_TRUE(connected.wait(5000));
    EXPECT_EQ(view.status, KissLink::ConnectedText(device + " a 9600 bit/s"));
    engine.sendRaw(QByteArray::fromHex("c000dbc0") + QByteArray(3000, 'x') + QByteArray::fromHex("c000c0c012c0"));
    hear(kHeard[7], Wire::KissSerial);
    ASSERT_TRUE(QTest::qWaitFor([&] { return onAir().size() == 2; }, 5000)) << onAir().join('\n').toStdString();
    EXPECT_EQ(onAir(), kOnAir.mid(5));

    const qsizetype retries = scheduled.size();
    engine.closePseudoTerminal();
    ASSERT_TRUE(lost.wait(5000));
    ASSERT_TRUE(QTest::qWaitFor([&] { return scheduled.size() > retries; }, 5000));
    EXPECT_EQ(scheduled.last().at(1).toInt(), 50);  // it had proved good
    EXPECT_TRUE(link.isRunning());
}

} // namespace
