#include <gtest/gtest.h>

#include "agw/Dispatcher.h"
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

} // namespace
