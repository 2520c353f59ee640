#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QTcpServer>
#include <QTest>

#include <sys/socket.h>

#include "agw/AgwLink.h"
#include "settings/GatewaySettings.h"
#include "support/FakeLinkView.h"
#include "support/Frames.h"
#include "testengine/TestEngine.h"

using namespace selvane;
using namespace selvane::test;

namespace {

const QDateTime kStart(QDate(2026, 12, 6), QTime(8, 15, 30));
// Short retry delays: the doubling and its cap still show.
constexpr AgwLink::Timing kFastLink{{50, 200}, 5000, 5000, 3000};

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
        link = std::make_unique<AgwLink>(view, settings, router, [this] { return now; }, engine.serverPort(), kFastLink);
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
    EXPECT_EQ(scheduled.at(0).at(1).toInt(), kFastLink.retry.firstMs);
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
    EXPECT_EQ(scheduled.at(1).at(1).toInt(), kFastLink.retry.firstMs);
    link->toggle();  // STOP during the wait
    EXPECT_FALSE(link->isRunning());
    EXPECT_FALSE(link->isReconnecting());
    EXPECT_EQ(view.status, "Connessione ad AGW Packet Engine chiusa");
}

// Each attempt is announced. One that fails (refused, or unanswered within
// the connect timeout: a listener with a full backlog drops the request as
// an unreachable host does) is told from a connection that is lost; a peer
// that takes the connection and never answers the version request (a web
// server on the engine's port) is no engine, and its connection is a lost
// one. The retry delay doubles until an engine has answered.
TEST(LinkAttempts, FailedAttemptsAndLostConnectionsAreToldApart)
{
    QTcpServer silent;
    ASSERT_TRUE(silent.listen(QHostAddress::LocalHost, 0));
    QTcpServer full;
    full.setListenBacklogSize(0);
    ASSERT_TRUE(full.listen(QHostAddress::LocalHost, 0));
    full.pauseAccepting();
    QTcpSocket filler;  // takes the one place in the backlog
    filler.connectToHost(QHostAddress::LocalHost, full.serverPort());
    ASSERT_TRUE(filler.waitForConnected(5000));
    quint16 refusing = 0;
    {
        QTcpServer probe;
        ASSERT_TRUE(probe.listen(QHostAddress::LocalHost, 0));
        refusing = probe.serverPort();
    }
    const QString retry = QStringLiteral(", nuovo tentativo alle ");
    const struct {
        quint16 port;
        bool reconnect;
        QStringList events;
        QString status;      // a prefix of it
        QStringList errors;  // message boxes
    } rows[] = {
        {refusing, true, {"connecting", "failed", "50", "connecting", "failed", "100", "connecting", "failed", "200",
                          "connecting", "failed", "200"},
         "AGWPE 127.0.0.1:%1: impossibile connettersi" + retry, {}},
        {silent.serverPort(), true, {"connecting", "connected", "no reply", "lost", "50", "connecting", "connected",
                                     "no reply", "lost", "100"},
         "AGWPE 127.0.0.1:%1: nessuna risposta del motore" + retry, {}},
        {silent.serverPort(), false, {"connecting", "connected", "no reply", "lost", "stopped"},
         "Connessione ad AGW Packet Engine chiusa: nessuna risposta del motore", {}},
        {full.serverPort(), false, {"connecting", "failed", "stopped"}, "Connessione ad AGW Packet Engine chiusa",
         {"nessuna risposta in 0.5 s"}},
    };
    for (const auto& row : rows) {
        FakeLinkView view;
        ScriptedRouter router;
        LiveSettingsValues settings;
        settings.host = QStringLiteral("127.0.0.1");
        settings.reconnect = row.reconnect;
        AgwLink link(view, settings, router, [] { return kStart; }, row.port, {{50, 200}, 500, 500, 3000});
        QStringList events;
        QString retryStatus;  // as the last retry was scheduled
        QObject::connect(&link, &AgwLink::connecting, [&] { events << "connecting"; });
        QObject::connect(&link, &AgwLink::connectFailed, [&] { events << "failed"; });
        QObject::connect(&link, &AgwLink::linkConnected, [&] { events << "connected"; });
        QObject::connect(&link, &AgwLink::noEngineReply, [&] { events << "no reply"; });
        QObject::connect(&link, &AgwLink::connectionLost, [&] { events << "lost"; });
        QObject::connect(&link, &AgwLink::reconnectScheduled, [&](const QString&, int ms) {
            events << QString::number(ms);
            retryStatus = view.status;
        });
        QObject::connect(&link, &AgwLink::linkStopped, [&] { events << "stopped"; });
        link.toggle();
        ASSERT_TRUE(QTest::qWaitFor([&] { return events.size() >= row.events.size(); }, 10000))
            << events.join(' ').toStdString();
        EXPECT_EQ(events.mid(0, row.events.size()), row.events);
        const QString status = row.reconnect ? retryStatus : view.status;
        EXPECT_TRUE(status.startsWith(QString(row.status).replace("%1", QString::number(row.port))))
            << status.toStdString();
        EXPECT_EQ(view.socketErrors, row.errors);
    }
}

// Ports named in Sats or Out that the engine does not have, or calls
// invalid (as Dire Wolf lists the channels it has no radio for), are said
// at connection and never sent on; the list shows them marked.
TEST_F(LinkFixture, PortsTheEngineCannotSendOnAreSaidAndNotUsed)
{
    engine.setPorts({"Port1 first soundcard mono", "Port2 INVALID CHANNEL"});
    settings.sats = QStringLiteral("1");
    settings.out = QStringLiteral("2,3,2");
    QSignalSpy unusable(link.get(), &AgwLink::portsUnusable);
    EXPECT_TRUE(link->canSendOn(1));  // nothing known before the engine's list
    startAndWaitForReplies();
    ASSERT_EQ(unusable.size(), 1);
    EXPECT_EQ(unusable[0][0].value<QList<int>>(), QList<int>({1, 2}));
    EXPECT_EQ(view.status, "Porte 2, 3 (Sats/Out) non utilizzabili in AGWPE: nulla viene trasmesso su di esse");
    EXPECT_EQ(view.ports, QStringList({"Port1 first soundcard mono", "Port2 INVALID CHANNEL (non utilizzabile)"}));
    EXPECT_EQ((QList<bool>{link->canSendOn(0), link->canSendOn(1), link->canSendOn(2)}),
              (QList<bool>{true, false, false}));
}

} // namespace

namespace {

// An engine that writes many MB at once, on a system that lets a socket
// buffer them all (as some allow 32 MiB): the link reads a piece at a time,
// so what it holds stays within a few MB, and the event loop runs between
// the pieces, so a queued event is handled while the flood is still being
// read.
TEST(LinkFlood, AFloodIsReadInBoundedPiecesWithEventsInBetween)
{
    QTcpServer server;
    ASSERT_TRUE(server.listen(QHostAddress::LocalHost, 0));
    FakeLinkView view;
    ScriptedRouter router;
    LiveSettingsValues settings;
    settings.host = QStringLiteral("127.0.0.1");
    settings.engine = EngineChoice::Agwpe;  // nothing held for the version reply
    AgwLink link(view, settings, router, [] { return kStart; }, server.serverPort(), kFastLink);
    link.toggle();
    ASSERT_TRUE(QTest::qWaitFor([&] { return server.hasPendingConnections() && !link.isClosed(); }, 5000));
    QTcpSocket* engine = server.nextPendingConnection();

    // Both ends buffer as much as the system lets them (root may go past
    // its limits), and the engine writes until the system takes no more.
    const QTcpSocket* linkSocket = link.findChild<QTcpSocket*>();
    ASSERT_NE(linkSocket, nullptr);
    const int big = 64 * 1024 * 1024;
    for (auto [fd, force, plain] : {std::tuple{linkSocket->socketDescriptor(), SO_RCVBUFFORCE, SO_RCVBUF},
                                    std::tuple{engine->socketDescriptor(), SO_SNDBUFFORCE, SO_SNDBUF}}) {
        if (::setsockopt(int(fd), SOL_SOCKET, force, &big, sizeof big) != 0)
            ::setsockopt(int(fd), SOL_SOCKET, plain, &big, sizeof big);
    }
    const QByteArray frame = EngineFrame('U', 0, "N1CALL-9", "APRS",
                                         MonitorText(" 1:Fm N1CALL-9 To APRS Via RS0ISS* <UI pid=F0 Len=5 >[08:15:30]",
                                                     QByteArray(1000, 'x')));
    const QByteArray version = EngineFrame('R', 0, "", "", QByteArray::fromHex("D00700000F000000"));
    ASSERT_EQ(::send(int(engine->socketDescriptor()), version.constData(), size_t(version.size()), 0), version.size());
    const QByteArray block = frame.repeated(1024);
    qint64 written = 0;
    for (qint64 n = 1; n > 0 && written < 24 * 1024 * 1024; written += std::max<qint64>(n, 0))
        n = ::send(int(engine->socketDescriptor()), block.constData() + written % block.size(),
                   size_t(block.size() - written % block.size()), MSG_DONTWAIT);
    ASSERT_GT(written, 4 * AgwLink::kReadPieceBytes) << "the system buffered too little to test this";
    // The rest of the last frame, through the socket's own queue.
    const qint64 total = (written + frame.size() - 1) / frame.size();
    engine->write(frame.right(total * frame.size() - written));

    // What the link holds, at each frame handed on; the moment a queued
    // event runs.
    qint64 heard = 0;
    qint64 mostHeld = 0;
    qint64 queuedRanAt = -1;
    QObject context;
    link.setHeardObserver([&](const HeardPacket&) {
        if (heard++ == 0)
            QMetaObject::invokeMethod(&context, [&] { queuedRanAt = heard; }, Qt::QueuedConnection);
        mostHeld = std::max(mostHeld, qint64(link.pendingInput()) + link.unreadInput());
    });
    ASSERT_TRUE(QTest::qWaitFor([&] { return heard == total; }, 60000)) << heard << " of " << total;
    EXPECT_LE(mostHeld, 2 * AgwLink::kReadPieceBytes + frame.size()) << "of " << written << " written";
    EXPECT_GT(queuedRanAt, 0);
    EXPECT_LT(queuedRanAt, total);
    EXPECT_EQ(link.pendingInput(), 0);
    EXPECT_EQ(link.unreadInput(), 0);
}

} // namespace
