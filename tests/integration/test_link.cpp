#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QTcpServer>
#include <QTest>

#include "agw/AgwLink.h"
#include "settings/GatewaySettings.h"
#include "support/FakeLinkView.h"
#include "testengine/TestEngine.h"

using namespace selvane;
using namespace selvane::test;

namespace {

const QDateTime kStart(QDate(2026, 12, 6), QTime(8, 15, 30));

struct LinkFixture : ::testing::Test {
    TestEngine engine;
    FakeLinkView view;
    ScriptedRouter router;
    LiveSettingsValues settings;
    QDateTime now = kStart;
    std::unique_ptr<AgwLink> link;

    void SetUp() override
    {
        ASSERT_TRUE(engine.listen(QHostAddress::LocalHost, 0));
        engine.setFixedTime(QTime(8, 15, 30));
        settings.host = QStringLiteral("127.0.0.1");
        link = std::make_unique<AgwLink>(view, settings, router, [this] { return now; }, engine.serverPort());
    }

    // Starts the link and waits until the engine has answered "R" and "G".
    void startAndWaitForReplies(bool click = true)
    {
        QSignalSpy connected(link.get(), &AgwLink::linkConnected);
        if (click)
            link->toggle();
        ASSERT_TRUE(connected.wait(5000));
        ASSERT_TRUE(QTest::qWaitFor([&] { return view.ports.size() == 2; }, 5000));
    }

    QList<char> kindsReceived() const
    {
        QList<char> kinds;
        for (const ReceivedFrame& f : engine.received())
            kinds.append(f.kind);
        return kinds;
    }
};

TEST_F(LinkFixture, StartSendsTheThreeRequestsInOrderAndShowsTheEngine)
{
    EXPECT_TRUE(link->isClosed());
    link->toggle();
    EXPECT_TRUE(view.running);  // STOP on red from the click on
    EXPECT_EQ(view.status, "Premere START per attivare la connessione...");  // unchanged until "R"
    startAndWaitForReplies(false);

    ASSERT_TRUE(QTest::qWaitFor([&] { return engine.received().size() >= 3; }, 5000));
    EXPECT_EQ(kindsReceived(), QList<char>({'m', 'R', 'G'}));
    for (const ReceivedFrame& f : engine.received())
        EXPECT_EQ(f.raw.size(), 36);
    EXPECT_EQ(view.status, "Gateway connesso a AGWPE v2000.15");
    EXPECT_EQ(view.trayTip, "Selvane abilitato");
    EXPECT_EQ(view.portsText, "Porte Radio di AGWPE: 2");
    EXPECT_EQ(view.ports, QStringList({"Port1 Test engine port 1", "Port2 Test engine port 2"}));
    EXPECT_EQ(link->counters().startDate, kStart.date());
    EXPECT_EQ(link->counters().startTime, kStart.time());
}

TEST_F(LinkFixture, HeardAndTransmittedFramesReachTheLists)
{
    startAndWaitForReplies();
    engine.sendMonitor('U', 0, "N0CALL-9", "APRS", {"RS0ISS*"}, "Hello");
    ASSERT_TRUE(QTest::qWaitFor([&] { return router.calls == 1; }, 5000));
    EXPECT_EQ(view.received,
              QStringList({" 1:Fm N0CALL-9 To APRS Via RS0ISS* <UI pid=F0 Len=5 >[08:15:30]", "Hello"}));
    EXPECT_EQ(router.lastSrc, "N0CALL-9");
    EXPECT_EQ(router.lastPort, 0);

    engine.sendMonitor('T', 1, "N0CALL-9", "APRS", {"RS0ISSP", "N0CALLE"}, "Hello again");
    ASSERT_TRUE(QTest::qWaitFor([&] { return view.transmitted.value(1) == "Hello again"; }, 5000));
    EXPECT_TRUE(view.transmitted.value(0).startsWith(" 2:Fm N0CALL-9 To APRS Via RS0ISSP,N0CALLE"));
    EXPECT_EQ(router.calls, 1);
}

TEST_F(LinkFixture, FramesCutAcrossArrivalsAreDispatchedOnceWholeAndInOrder)
{
    startAndWaitForReplies();
    engine.setPiecePause(30);
    // Cuts inside the first header, inside its text and inside the second header.
    engine.setCutPositions({5, 50, 110, 130});
    engine.sendMonitor('U', 0, "N0CALL-1", "APRS", {"RS0ISS*"}, "first");
    engine.sendMonitor('U', 0, "N0CALL-2", "APRS", {"RS0ISS*"}, "second");
    engine.sendMonitor('U', 0, "N0CALL-3", "APRS", {}, "third");
    ASSERT_TRUE(QTest::qWaitFor([&] { return router.calls == 3; }, 5000));
    QTest::qWait(100);
    EXPECT_EQ(router.calls, 3);
    EXPECT_EQ(router.lastSrc, "N0CALL-3");
    EXPECT_EQ(view.received.value(1), "third");
}

TEST_F(LinkFixture, EngineClosingTheConnectionStopsTheLinkWithoutAMessage)
{
    startAndWaitForReplies();
    engine.sendMonitor('U', 0, "N0CALL-9", "APRS", {"RS0ISS*"}, "Hello");
    ASSERT_TRUE(QTest::qWaitFor([&] { return router.calls == 1; }, 5000));
    QSignalSpy stopped(link.get(), &AgwLink::linkStopped);
    engine.closeClient();
    ASSERT_TRUE(stopped.wait(5000));
    EXPECT_FALSE(view.running);
    EXPECT_TRUE(link->isClosed());
    EXPECT_EQ(view.status, "Connessione ad AGW Packet Engine chiusa");
    EXPECT_EQ(view.trayTip, "Selvane disabilitato");
    EXPECT_TRUE(view.received.isEmpty());
    EXPECT_TRUE(view.ports.isEmpty());
    EXPECT_TRUE(view.socketErrors.isEmpty());
    EXPECT_EQ(router.resets, 1);
    EXPECT_EQ(stopped.count(), 1);
}

TEST_F(LinkFixture, StopAndStartAgainResetsCountersAndStartStamp)
{
    startAndWaitForReplies();
    router.answer = {true, true, false};
    engine.sendMonitor('U', 0, "N0CALL-9", "APRS", {"RS0ISS*"}, "Hello");
    engine.sendMonitor('T', 1, "N0CALL-9", "APRS", {"RS0ISSP"}, "Hello");
    ASSERT_TRUE(QTest::qWaitFor([&] { return !view.transmitted.isEmpty() && router.calls == 1; }, 5000));
    ASSERT_EQ(view.receivedColour, PacketColour::Yellow);
    link->toggle();
    EXPECT_FALSE(view.running);
    EXPECT_EQ(view.status, "Connessione ad AGW Packet Engine chiusa");
    EXPECT_EQ(view.trayTip, "Selvane disabilitato");
    EXPECT_TRUE(view.received.isEmpty());
    EXPECT_TRUE(view.transmitted.isEmpty());
    EXPECT_TRUE(view.ports.isEmpty());
    EXPECT_EQ(view.receivedColour, PacketColour::Yellow);  // emptied, not recoloured
    EXPECT_TRUE(link->isClosed());

    now = kStart.addSecs(3600);
    view.ports.clear();
    startAndWaitForReplies();
    EXPECT_EQ(link->counters().startTime, QTime(9, 15, 30));
    EXPECT_EQ(link->counters().totalCount, 0);
}

TEST_F(LinkFixture, ClickWhileConnectingStops)
{
    link->toggle();
    EXPECT_FALSE(link->isClosed());
    link->toggle();
    EXPECT_TRUE(link->isClosed());
    EXPECT_FALSE(view.running);
    QTest::qWait(100);  // a late connect notification must not revive the link
    EXPECT_FALSE(view.running);
    EXPECT_TRUE(view.socketErrors.isEmpty());
}

TEST(LinkRefused, RefusedConnectionShowsTheMessageAndStops)
{
    // A port that was free a moment ago: nothing listens there.
    quint16 port = 0;
    {
        QTcpServer probe;
        ASSERT_TRUE(probe.listen(QHostAddress::LocalHost, 0));
        port = probe.serverPort();
    }
    FakeLinkView view;
    ScriptedRouter router;
    LiveSettingsValues settings;
    settings.host = QStringLiteral("127.0.0.1");
    AgwLink link(view, settings, router, [] { return kStart; }, port);
    QSignalSpy stopped(&link, &AgwLink::linkStopped);
    link.toggle();
    ASSERT_TRUE(stopped.wait(5000));
    ASSERT_EQ(view.socketErrors.size(), 1);
    EXPECT_FALSE(view.socketErrors.first().isEmpty());
    EXPECT_FALSE(view.running);
    EXPECT_EQ(view.status, "Connessione ad AGW Packet Engine chiusa");
    EXPECT_TRUE(link.isClosed());
    // The next click tries again.
    link.toggle();
    EXPECT_TRUE(view.running);
    ASSERT_TRUE(stopped.wait(5000));
    EXPECT_EQ(view.socketErrors.size(), 2);
}

TEST_F(LinkFixture, ExitClosesTheConnectionOnly)
{
    startAndWaitForReplies();
    QSignalSpy gone(&engine, &TestEngine::clientDisconnected);
    link->closeForExit();
    EXPECT_TRUE(link->isClosed());
    EXPECT_TRUE(gone.wait(5000));
    EXPECT_EQ(view.status, "Gateway connesso a AGWPE v2000.15");  // no stop handling
}

} // namespace

namespace {

// "Riconnetti automaticamente": a lost or refused connection is tried again
// with a growing delay; STOP ends the retrying.
TEST_F(LinkFixture, WithReconnectingALostEngineIsReachedAgainAndStopEndsTheWait)
{
    settings.reconnect = true;
    QSignalSpy scheduled(link.get(), &AgwLink::reconnectScheduled);
    QSignalSpy clients(&engine, &TestEngine::clientConnected);
    startAndWaitForReplies();
    engine.sendMonitor('U', 0, "N0CALL-9", "APRS", {"RS0ISS*"}, "Hello");
    router.answer = {true, true, false};
    ASSERT_TRUE(QTest::qWaitFor([&] { return router.calls == 1; }, 5000));

    engine.closeClient();
    ASSERT_TRUE(scheduled.wait(5000));
    EXPECT_EQ(scheduled.at(0).at(1).toInt(), AgwLink::kFirstRetryMs);
    EXPECT_TRUE(link->isRunning());
    EXPECT_TRUE(view.running);
    EXPECT_TRUE(view.socketErrors.isEmpty());
    EXPECT_TRUE(view.status.startsWith("Collegamento con AGWPE perso: nuovo tentativo alle ")) << view.status.toStdString();
    // Connected again, with the counters of the session kept.
    ASSERT_TRUE(QTest::qWaitFor([&] { return clients.size() == 2 && view.ports.size() == 2; }, 5000));
    EXPECT_EQ(link->counters().totalCount, 1);
    EXPECT_EQ(router.resets, 0);  // the duplicate store too
    engine.sendMonitor('U', 0, "N0CALL-9", "APRS", {"RS0ISS*"}, "Hello again");
    ASSERT_TRUE(QTest::qWaitFor([&] { return router.calls == 2; }, 5000));

    // A successful connection started the delay again from the first step.
    engine.closeClient();
    ASSERT_TRUE(QTest::qWaitFor([&] { return scheduled.size() == 2; }, 5000));
    EXPECT_EQ(scheduled.at(1).at(1).toInt(), AgwLink::kFirstRetryMs);
    link->toggle();  // STOP during the wait
    EXPECT_FALSE(link->isRunning());
    EXPECT_FALSE(link->isReconnecting());
    EXPECT_EQ(view.status, "Connessione ad AGW Packet Engine chiusa");
}

TEST(LinkReconnect, RefusedConnectionsAreRetriedWithADoublingDelayUntilTheEngineAppears)
{
    QTcpServer probe;
    ASSERT_TRUE(probe.listen(QHostAddress::LocalHost, 0));
    const quint16 port = probe.serverPort();
    probe.close();  // nothing listens there now

    FakeLinkView view;
    ScriptedRouter router;
    LiveSettingsValues settings;
    settings.host = QStringLiteral("127.0.0.1");
    settings.reconnect = true;
    AgwLink link(view, settings, router, [] { return kStart; }, port);
    QSignalSpy scheduled(&link, &AgwLink::reconnectScheduled);
    link.toggle();
    ASSERT_TRUE(QTest::qWaitFor([&] { return scheduled.size() == 2; }, 10000));
    EXPECT_EQ(scheduled.at(0).at(1).toInt(), 1000);
    EXPECT_EQ(scheduled.at(1).at(1).toInt(), 2000);
    EXPECT_TRUE(view.socketErrors.isEmpty());

    TestEngine engine;
    ASSERT_TRUE(engine.listen(QHostAddress::LocalHost, port));
    QSignalSpy connected(&link, &AgwLink::linkConnected);
    ASSERT_TRUE(connected.wait(10000));
    ASSERT_TRUE(QTest::qWaitFor([&] { return view.ports.size() == 2; }, 5000));
    EXPECT_TRUE(link.isRunning());
}

} // namespace
