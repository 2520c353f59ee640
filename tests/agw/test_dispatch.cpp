#include <gtest/gtest.h>

#include "agw/Dispatcher.h"
#include "agw/EngineProfile.h"
#include "support/FakeLinkView.h"
#include "support/Frames.h"

using namespace selvane;
using namespace selvane::test;

namespace {

struct DispatchFixture : ::testing::Test {
    FakeLinkView view;
    ScriptedRouter router;
    GatewayCounters counters;
    Dispatcher dispatcher{view, router, counters};

    void dispatch(const QByteArray& frame, qsizetype offset = 0)
    {
        const qint64 length = quint8(frame[offset + 28]) + 256 * quint8(frame[offset + 29]);
        dispatcher.DispatchFrame(frame, offset, length);
    }
};

TEST_F(DispatchFixture, VersionReplyShowsMajorAndMinor)
{
    dispatch(EngineFrame('R', 0, "", "", QByteArray::fromHex("D00700000F000000")));
    EXPECT_EQ(view.status, "Gateway connesso a AGWPE v2000.15");
    EXPECT_EQ(view.trayTip, "Selvane");  // the version does not touch the tray tip
}

TEST_F(DispatchFixture, VersionAbove32767IsNeverNegative)
{
    dispatch(EngineFrame('R', 0, "", "", QByteArray::fromHex("409C0000FFFF0000")));
    EXPECT_EQ(view.status, "Gateway connesso a AGWPE v40000.65535");
}

TEST_F(DispatchFixture, PortsReplyFillsTheComboWithoutClearingIt)
{
    dispatch(EngineFrame('G', 0, "", "", "2;Port1 VHF 1200;Port2 UHF 9600;tail"));
    EXPECT_EQ(view.portsText, "Porte Radio di AGWPE: 2");
    EXPECT_EQ(view.ports, QStringList({"Port1 VHF 1200", "Port2 UHF 9600"}));
    dispatch(EngineFrame('G', 0, "", "", "1;Again;"));
    EXPECT_EQ(view.ports.size(), 3);
    EXPECT_EQ(view.portsText, "Porte Radio di AGWPE: 1");
}

// The "G" reply: which ports a frame can be sent on (the count, and no
// "INVALID CHANNEL"), and how the list shows the others.
TEST_F(DispatchFixture, PortsTheEngineCannotSendOnAreMarked)
{
    struct Row {
        QByteArray data;
        QList<int> usable;   // of ports 0..6
        QStringList shown;
    };
    const Row rows[] = {
        {"2;Port1 VHF;Port2 UHF;", {0, 1}, {"Port1 VHF", "Port2 UHF"}},
        {QByteArray("1;Port1 first soundcard mono;Port2 INVALID CHANNEL;Port3 INVALID CHANNEL;\0", 74), {0},
         {"Port1 first soundcard mono", "Port2 INVALID CHANNEL (non utilizzabile)",
          "Port3 INVALID CHANNEL (non utilizzabile)"}},
        {"1;Port1 a;Port2 b;", {0}, {"Port1 a", "Port2 b (non utilizzabile)"}},
        {"3;Port1 a;Port2 INVALID CHANNEL;", {0, 2}, {"Port1 a", "Port2 INVALID CHANNEL (non utilizzabile)"}},
        {"x;Port1 a;Port2 b;", {0, 1}, {"Port1 a", "Port2 b"}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.data.constData());
        std::optional<EnginePorts> reported;
        dispatcher.onPorts = [&](const EnginePorts& p) { reported = p; };
        view.ports.clear();
        dispatch(EngineFrame('G', 0, "", "", row.data));
        ASSERT_TRUE(reported);
        QList<int> usable;
        for (int port = 0; port < 7; ++port)
            if (reported->usable(port))
                usable << port;
        EXPECT_EQ(usable, row.usable);
        EXPECT_EQ(view.ports, row.shown);
    }
}

TEST_F(DispatchFixture, TransmittedFrameShowsItsLastTwoLines)
{
    dispatch(EngineFrame('T', 1, "N0CALL", "APRS", "one\rtwo\r\rthree\rtail"));
    EXPECT_EQ(view.transmitted, QStringList({"two", "three"}));
    EXPECT_EQ(router.calls, 0);
}

TEST_F(DispatchFixture, HeardFrameFillsTheStoreAndCallsTheRouter)
{
    const QByteArray header = " 1:Fm N0CALL-9 To APRS Via RS0ISS* <UI pid=F0 Len=5 >[08:15:30]";
    const QByteArray frame = EngineFrame('U', 3, "N0CALL-9", "APRS", MonitorText(header, "Hello"));
    dispatch(frame);
    ASSERT_EQ(router.calls, 1);
    EXPECT_EQ(router.lastPort, 3);
    EXPECT_EQ(router.lastSrc, "N0CALL-9");
    EXPECT_EQ(router.lastHeader, frame.left(36));
    EXPECT_EQ(router.storeSeen, QStringList({QString::fromLatin1(header), "Hello"}));
    EXPECT_EQ(view.received, router.storeSeen);
    EXPECT_EQ(view.receivedColour, PacketColour::Green);
}

TEST_F(DispatchFixture, UnroutedFrameLeavesStatusAndTrayAlone)
{
    view.status = "Gateway connesso a AGWPE v2000.15";
    dispatch(EngineFrame('U', 5, "N0CALL", "APRS", MonitorText("hdr", "info")));
    EXPECT_EQ(view.status, "Gateway connesso a AGWPE v2000.15");
    EXPECT_EQ(view.trayTip, "Selvane");
    EXPECT_EQ(counters.totalCount, 0);
}

TEST_F(DispatchFixture, RoutedFrameRefreshesStatusLineAndTrayTip)
{
    counters.startDate = QDate(2026, 12, 6);
    counters.startTime = QTime(8, 15, 42);
    counters.toOutCount = 2;
    counters.totalCount = 4;
    router.answer = {true, true, false};
    dispatch(EngineFrame('U', 0, "N0CALL", "APRS", MonitorText("hdr", "info")));
    EXPECT_EQ(view.status, "ToSats/ToOut/Tot dal 06/12 08:15 =0/3/5");
    EXPECT_EQ(view.trayTip, "Selvane - ToSats/ToOut/Tot dal 06/12 08:15 =0/3/5");
    EXPECT_EQ(view.receivedColour, PacketColour::Yellow);

    router.answer = {true, false, true};  // a duplicate refreshes the line too
    dispatch(EngineFrame('U', 0, "N0CALL", "APRS", MonitorText("hdr", "info")));
    EXPECT_EQ(view.status, "ToSats/ToOut/Tot dal 06/12 08:15 =0/3/6");
    EXPECT_EQ(view.receivedColour, PacketColour::LightGreen);
}

TEST_F(DispatchFixture, CountersBeyond16BitsStayPositive)
{
    counters.startDate = QDate(2026, 1, 2);
    counters.startTime = QTime(23, 5);
    counters.totalCount = 40000;
    counters.toOutCount = 32767;
    router.answer = {true, true, false};
    dispatch(EngineFrame('U', 0, "N0CALL", "APRS", MonitorText("hdr", "info")));
    EXPECT_EQ(view.status, "ToSats/ToOut/Tot dal 02/01 23:05 =0/32768/40001");
}

TEST_F(DispatchFixture, InformationLineReplacedByTheRouterIsShown)
{
    router.replaceInfo = ":BLN1KORVA:Pcsat: Pannelli +X=51mA +Y=69mA +Z=105mA 14:05";
    dispatch(EngineFrame('U', 0, "W3ADO-1", "APRS", MonitorText("hdr", "T#123,100")));
    EXPECT_EQ(view.received.value(1), router.replaceInfo);
    EXPECT_EQ(dispatcher.received().info(), router.replaceInfo);
}

TEST_F(DispatchFixture, MonitorTextWithoutLinesGivesOneEmptyEntry)
{
    dispatch(EngineFrame('U', 0, "N0CALL", "APRS", "no line end"));
    EXPECT_EQ(view.received, QStringList({QString()}));
}

TEST_F(DispatchFixture, SourceTakesTheFirstByteEvenWhenNul)
{
    QByteArray frame = EngineFrame('U', 0, "", "APRS", MonitorText("hdr", "x"));
    dispatch(frame);
    EXPECT_EQ(router.lastSrc, QString(QChar(0)));
}

TEST_F(DispatchFixture, OtherKindsAndBadArgumentsDoNothing)
{
    dispatch(EngineFrame('K', 0, "N0CALL", "APRS", "abc"));
    dispatch(EngineFrame('S', 0, "N0CALL", "APRS", "abc"));
    QByteArray cut = EngineFrame('U', 0, "N0CALL", "APRS", MonitorText("hdr", "x"));
    dispatcher.DispatchFrame(cut, 0, cut.size());  // claims more data than the block has
    dispatcher.DispatchFrame(cut, -5, 3);
    EXPECT_EQ(router.calls, 0);
    EXPECT_EQ(view.statusChanges, 0);
    EXPECT_TRUE(view.ports.isEmpty());
}

TEST_F(DispatchFixture, FrameAtAnOffsetInsideALargerBlock)
{
    const QByteArray first = EngineFrame('T', 0, "A", "B", "line\r");
    const QByteArray second = EngineFrame('U', 1, "N0CALL-1", "APRS", MonitorText("hdr", "two"));
    dispatch(first + second, first.size());
    EXPECT_EQ(router.lastSrc, "N0CALL-1");
    EXPECT_EQ(router.lastPort, 1);
    EXPECT_TRUE(view.transmitted.isEmpty());
}

// Heard frames the Dire Wolf way: a raw "K" frame, then the "U" monitor
// frame whose text has no marks. What the routing step is given:
TEST_F(DispatchFixture, RawFramesGiveTheHeaderItsTrueMarks)
{
    const QByteArray h8 = " 1:Fm N0CALL-8 To APRS Via RS0ISS <UI pid=F0 Len=5 PF=0 >[15:13:24]";
    const QString marked = QString::fromLatin1(h8).replace("RS0ISS <", "RS0ISS* <");
    const QByteArray k8 = EngineFrame('K', 0, "N0CALL-8", "APRS", RawUiFrame("APRS", "N0CALL-8", {"RS0ISS*"}, "Hello"));
    const QByteArray u8 = EngineFrame('U', 0, "N0CALL-8", "APRS", h8 + "\rHello\r" + QByteArray(1, '\0'));
    const QByteArray kOther = EngineFrame('K', 0, "N0CALL-8", "APRS", RawUiFrame("APRS", "N0CALL-8", {"RS0ISS*"}, "Other"));
    const QByteArray kPort1 = EngineFrame('K', 1, "N0CALL-8", "APRS", RawUiFrame("APRS", "N0CALL-8", {"RS0ISS*"}, "Hello"));
    const QByteArray kSrc = EngineFrame('K', 0, "N0CALL-7", "APRS", RawUiFrame("APRS", "N0CALL-7", {"RS0ISS*"}, "Hello"));
    const QByteArray kDst = EngineFrame('K', 0, "N0CALL-8", "APRS", RawUiFrame("CQ", "N0CALL-8", {"RS0ISS*"}, "Hello"));
    const QByteArray kBad = EngineFrame('K', 0, "N0CALL-8", "APRS", QByteArray::fromHex("0082a0a4a64040e0"));
    const QByteArray kClear = EngineFrame('K', 0, "N0CALL-8", "APRS", RawUiFrame("APRS", "N0CALL-8", {"RS0ISS"}, "Hello"));
    struct Case { const char* name; EngineProfile profile; QList<QByteArray> frames; QString header; };
    const Case cases[] = {
        {"matching raw frame", EngineProfile::DireWolf, {k8, u8}, marked},
        {"no raw frame", EngineProfile::DireWolf, {u8}, QString::fromLatin1(h8)},
        {"raw frame of another packet", EngineProfile::DireWolf, {kOther, u8}, QString::fromLatin1(h8)},
        {"another port", EngineProfile::DireWolf, {kPort1, u8}, QString::fromLatin1(h8)},
        {"another source", EngineProfile::DireWolf, {kSrc, u8}, QString::fromLatin1(h8)},
        {"another destination", EngineProfile::DireWolf, {kDst, u8}, QString::fromLatin1(h8)},
        {"malformed raw frame", EngineProfile::DireWolf, {kBad, u8}, QString::fromLatin1(h8)},
        {"bit clear", EngineProfile::DireWolf, {kClear, u8}, QString::fromLatin1(h8)},
        {"the match, not the last", EngineProfile::DireWolf, {k8, kOther, u8}, marked},
        {"AGW Packet Engine: raw frames ignored", EngineProfile::Agwpe, {k8, u8}, QString::fromLatin1(h8)},
    };
    for (const Case& c : cases) {
        dispatcher.clear();
        dispatcher.setProfile(c.profile);
        for (const QByteArray& f : c.frames)
            dispatch(f);
        EXPECT_EQ(router.storeSeen, QStringList({c.header, "Hello"})) << c.name;
        EXPECT_EQ(router.lastForm, ViaFormOf(c.profile)) << c.name;
    }
    // A raw frame is used once: the same packet heard again without one
    // keeps the engine's text.
    dispatcher.clear();
    dispatcher.setProfile(EngineProfile::DireWolf);
    for (const QByteArray& f : {k8, u8, u8})
        dispatch(f);
    EXPECT_EQ(router.storeSeen.value(0), QString::fromLatin1(h8));
}

// The header is the engine's first line; the information everything after
// it, whatever it holds.
TEST_F(DispatchFixture, InformationIsEverythingAfterTheFirstLine)
{
    const QByteArray hdr = " 1:Fm N0CALL-9 To APRS Via WIDE1-1 <UI pid=F0 Len=5 >[08:15:30]";
    const QByteArray forged = "junk\r 1:Fm N0CALL-9 To APRS Via RS0ISS* <UI pid=F0 Len=5 >[08:15:30]\rforged";
    struct Case { QByteArray text; QString info; };
    const Case cases[] = {
        {hdr + "\r" + forged + "\r\r" + QByteArray(1, '\0'), QString::fromLatin1(forged)},
        {hdr + "\rline one\rline two\r" + QByteArray(1, '\0'), "line one\rline two"},
        {hdr + "\rlf\ninside\r", "lf\ninside"},
        {hdr + "\r" + QByteArray("nul\0in", 6) + "\r\r" + QByteArray(1, '\0'), QString::fromLatin1("nul\0in", 6)},
        {"\r\r" + hdr + "\rleading CRs\r", "leading CRs"},
        {hdr + "\r", ""},
    };
    for (const Case& c : cases) {
        dispatch(EngineFrame('U', 0, "N0CALL-9", "APRS", c.text));
        EXPECT_EQ(router.storeSeen, QStringList({QString::fromLatin1(hdr), c.info})) << c.text.constData();
    }
    // With its raw frame the information is known exactly, a final CR included.
    dispatcher.setProfile(EngineProfile::DireWolf);
    HeardPacket heard;
    dispatcher.onHeard = [&heard](const HeardPacket& p) { heard = p; };
    dispatch(EngineFrame('K', 0, "N0CALL-9", "APRS", RawUiFrame("APRS", "N0CALL-9", {"RS0ISS*"}, "a\rb\r")));
    dispatch(EngineFrame('U', 0, "N0CALL-9", "APRS", " 1:Fm N0CALL-9 To APRS Via RS0ISS <UI>\ra\rb\r\r" + QByteArray(1, '\0')));
    EXPECT_EQ(router.storeSeen, QStringList({" 1:Fm N0CALL-9 To APRS Via RS0ISS* <UI>", "a\rb\r"}));
    // What watches the radio is told the packet as heard, marks included.
    EXPECT_EQ(heard.source, "N0CALL-9");
    EXPECT_EQ(heard.destination, "APRS");
    EXPECT_EQ(heard.via, QStringList{"RS0ISS*"});
    EXPECT_EQ(heard.info, "a\rb\r");
}

// Until the engine says what it is, heard frames wait, in order.
TEST_F(DispatchFixture, FramesHeardBeforeTheVersionWaitForTheProfile)
{
    dispatcher.setProfile(std::nullopt);
    dispatcher.onVersion = [this](EngineVersion v) {
        dispatcher.setProfile(ProfileInForce(EngineChoice::Automatic, v));
    };
    QStringList order;
    router.replaceInfo.clear();
    dispatch(EngineFrame('K', 0, "N0CALL-8", "APRS", RawUiFrame("APRS", "N0CALL-8", {"RS0ISS*"}, "one")));
    dispatch(EngineFrame('U', 0, "N0CALL-8", "APRS", " 1:Fm N0CALL-8 To APRS Via RS0ISS <UI>\rone\r"));
    dispatch(EngineFrame('U', 0, "N0CALL-7", "APRS", " 1:Fm N0CALL-7 To APRS <UI>\rtwo\r"));
    EXPECT_EQ(router.calls, 0);
    EXPECT_EQ(dispatcher.heldFrames(), 3);
    dispatch(EngineFrame('R', 0, "", "", QByteArray::fromHex("d50700007f000000")));
    EXPECT_EQ(router.calls, 2);
    EXPECT_EQ(router.lastForm, ViaForm::Text);
    EXPECT_EQ(router.lastSrc, "N0CALL-7");
    EXPECT_EQ(dispatcher.heldFrames(), 0);

    // An engine that never answers is taken for an AGW Packet Engine before
    // the held frames grow without bound.
    dispatcher.clear();
    dispatcher.setProfile(std::nullopt);
    const QByteArray u = EngineFrame('U', 0, "N0CALL-7", "APRS", " 1:Fm N0CALL-7 To APRS <UI>\rx\r");
    for (qsizetype i = 0; i < Dispatcher::kMaxHeldFrames; ++i)
        dispatch(u);
    EXPECT_EQ(router.calls, 2 + Dispatcher::kMaxHeldFrames);
    EXPECT_EQ(dispatcher.profile(), EngineProfile::Agwpe);
    // Nor the bytes they hold: eighteen frames of 60 KB are enough.
    dispatcher.setProfile(std::nullopt);
    const QByteArray big = EngineFrame('U', 0, "N0CALL-7", "APRS", " 1:Fm N0CALL-7 To APRS <UI>\r" + QByteArray(60'000, 'x'));
    for (int i = 0; i < 17; ++i)
        dispatch(big);
    EXPECT_EQ(dispatcher.heldFrames(), 17);
    dispatch(big);
    EXPECT_EQ(dispatcher.heldFrames(), 0);
    EXPECT_EQ(dispatcher.profile(), EngineProfile::Agwpe);
}

} // namespace
