#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>

#include "aprsis/AprsIsGate.h"
#include "aprsis/HeardText.h"
#include "selvane/Version.h"

using namespace selvane;
using namespace selvane::test;

namespace {

constexpr int kWaitMs = 5000;
// Short enough for a test; the doubling and its cap still show.
constexpr AprsIsClient::Timing kFast{50, 200, 1000};

// The server side of each connection the client makes.
struct FakeServer {
    QTcpServer server;

    FakeServer() { server.listen(QHostAddress::LocalHost, 0); }
    QString address() const { return QStringLiteral("127.0.0.1:%1").arg(server.serverPort()); }

    QTcpSocket* nextConnection()
    {
        if (!QTest::qWaitFor([this] { return server.hasPendingConnections(); }, kWaitMs))
            return nullptr;
        return server.nextPendingConnection();
    }
    static QByteArray readLine(QTcpSocket* s)
    {
        return QTest::qWaitFor([s] { return s->canReadLine(); }, kWaitMs) ? s->readLine() : QByteArray();
    }
};

AprsIsConfig Enabled(const QString& server, int passcode = 13022, const QString& filter = {})
{
    AprsIsConfig c;
    c.enabled = true;
    c.server = server;
    c.passcode = passcode;
    c.filter = filter;
    return c;
}

} // namespace

TEST(AprsIsClientTest, LoginLineAndReply)
{
    EXPECT_EQ(AprsIsLoginLine("N1CALL-5", 13022, ""), "user N1CALL-5 pass 13022 vers Selvane " SELVANE_VERSION "\r\n");
    EXPECT_EQ(AprsIsLoginLine("N1CALL-5", -1, " r/45/9/100 b/N1* "),
              "user N1CALL-5 pass -1 vers Selvane " SELVANE_VERSION " filter r/45/9/100 b/N1*\r\n");

    struct Row {
        const char* line;
        bool isReply;
        bool verified;
        const char* server;
    };
    const Row rows[] = {
        {"# logresp N1CALL-5 verified, server T2TEST", true, true, "T2TEST"},
        {"# logresp N1CALL-5 unverified, server T2TEST", true, false, "T2TEST"},
        {"# logresp N1CALL-5 verified", true, true, ""},
        {"# aprsc 2.1.21-g1234567", false, false, ""},
        {"# logresp N1CALL-5 maybe, server T2TEST", false, false, ""},
        {"N1CALL-9>APRS,qAR,N1CALL-5:# logresp N1CALL-5 verified, server X", false, false, ""},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.line);
        const std::optional<LoginReply> r = ParseLoginReply(row.line);
        ASSERT_EQ(r.has_value(), row.isReply);
        if (r) {
            EXPECT_EQ(r->call, "N1CALL-5");
            EXPECT_EQ(r->verified, row.verified);
            EXPECT_EQ(r->server, row.server);
        }
    }
}

TEST(AprsIsClientTest, UploadsOnlyWhileVerifiedAndReconnectsASilentServer)
{
    FakeServer fake;
    LiveSettingsValues settings;
    settings.call = QStringLiteral("n1call-5");
    settings.sats = QStringLiteral("1");
    AprsIsGate gate(settings, Enabled(fake.address(), 13022, "r/45/9/100"), [] { return 0; }, kFast);
    QSignalSpy uploads(&gate, &AprsIsGate::uploaded);

    QTcpSocket* first = fake.nextConnection();
    ASSERT_TRUE(first);
    EXPECT_EQ(FakeServer::readLine(first), AprsIsLoginLine("N1CALL-5", 13022, "r/45/9/100"));
    EXPECT_EQ(gate.state(), AprsIsState::Connecting);
    gate.heard(HeardOf(0, "N1CALL-9>APRS,RS0ISS*:before the reply"));
    EXPECT_EQ(gate.counters(), (AprsIsCounters{0, 1, 0}));

    first->write("# aprsc 2.1.21\r\n# logresp N1CALL-5 verified, server FAKE\r\n");
    ASSERT_TRUE(QTest::qWaitFor([&] { return gate.state() == AprsIsState::Verified; }, kWaitMs));
    EXPECT_EQ(gate.statusText(), QStringLiteral("APRS-IS: connesso e verificato (server FAKE (%1), accesso come N1CALL-5)")
                                     .arg(fake.address()));
    gate.heard(HeardOf(1, "N1CALL-9>APRS,RS0ISS*:Out port"));
    gate.heard(HeardOf(0, "N1CALL-9>APRS,TCPIP*:from the net"));
    gate.heard(HeardOf(0, "N1CALL-9>APRS,RS0ISS*:Hello"));
    EXPECT_EQ(FakeServer::readLine(first), "N1CALL-9>APRS,RS0ISS*,qAR,N1CALL-5:Hello\r\n");
    EXPECT_EQ(gate.counters(), (AprsIsCounters{1, 1, 1}));
    ASSERT_EQ(uploads.size(), 1);
    EXPECT_EQ(uploads[0][0].toString(), "N1CALL-9>APRS,RS0ISS*,qAR,N1CALL-5:Hello");

    // The same settings again keep the connection.
    gate.applyConfig(Enabled(fake.address(), 13022, "r/45/9/100"));
    EXPECT_EQ(gate.state(), AprsIsState::Verified);

    // The server says nothing more: taken for dead, closed, connected again.
    QTcpSocket* second = fake.nextConnection();
    ASSERT_TRUE(second);
    EXPECT_TRUE(QTest::qWaitFor([&] { return first->state() == QAbstractSocket::UnconnectedState; }, kWaitMs));
    EXPECT_EQ(FakeServer::readLine(second), AprsIsLoginLine("N1CALL-5", 13022, "r/45/9/100"));
    second->write("# logresp N1CALL-5 unverified, server FAKE\r\n");
    ASSERT_TRUE(QTest::qWaitFor([&] { return gate.state() == AprsIsState::Unverified; }, kWaitMs));
    gate.heard(HeardOf(0, "N1CALL-9>APRS,RS0ISS*:dropped by the server anyway"));
    EXPECT_EQ(gate.counters(), (AprsIsCounters{1, 2, 1}));

    gate.applyConfig(AprsIsConfig{});
    EXPECT_EQ(gate.state(), AprsIsState::Off);
    gate.heard(HeardOf(0, "N1CALL-9>APRS,RS0ISS*:off"));
    EXPECT_EQ(gate.counters(), (AprsIsCounters{1, 2, 1}));
}

TEST(AprsIsClientTest, ABurstBeyondTheWriteBoundIsCountedMissed)
{
    FakeServer fake;
    LiveSettingsValues settings;
    settings.call = QStringLiteral("N1CALL-5");
    AprsIsGate gate(settings, Enabled(fake.address()), [] { return 0; }, kFast);
    QTcpSocket* server = fake.nextConnection();
    ASSERT_TRUE(server);
    FakeServer::readLine(server);
    server->write("# logresp N1CALL-5 verified, server FAKE\r\n");
    ASSERT_TRUE(QTest::qWaitFor([&] { return gate.state() == AprsIsState::Verified; }, kWaitMs));

    // Nothing leaves the process until the event loop runs again: the bound
    // stops the burst in the socket's buffer.
    const QByteArray text(100, 'x');
    const int burst = 1000;
    for (int i = 0; i < burst; ++i)
        gate.heard(HeardOf(0, QByteArray("N1CALL-9>APRS,RS0ISS*:" + QByteArray::number(i) + text).toStdString()));
    const AprsIsCounters c = gate.counters();
    EXPECT_EQ(c.uploaded + c.missed, burst);
    EXPECT_GT(c.missed, 0);
    EXPECT_LE(c.uploaded * (100 + 40), AprsIsClient::kMaxUnsentBytes);

    // What was taken goes out whole and in order.
    for (qint64 i = 0; i < c.uploaded; ++i)
        ASSERT_EQ(FakeServer::readLine(server),
                  "N1CALL-9>APRS,RS0ISS*,qAR,N1CALL-5:" + QByteArray::number(i) + text + "\r\n");
}

TEST(AprsIsClientTest, RetriesDoubleUpToTheCap)
{
    quint16 closedPort = 0;
    {
        QTcpServer probe;
        ASSERT_TRUE(probe.listen(QHostAddress::LocalHost, 0));
        closedPort = probe.serverPort();
    }
    AprsIsClient client(kFast);
    QStringList errors;
    QObject::connect(&client, &AprsIsClient::stateChanged, [&](AprsIsState state, const QString& detail) {
        if (state == AprsIsState::Error)
            errors << detail.section(QStringLiteral("; "), -1);
    });
    client.start({QStringLiteral("127.0.0.1"), closedPort, QStringLiteral("N1CALL-5"), 13022, {}});
    ASSERT_TRUE(QTest::qWaitFor([&] { return errors.size() >= 4; }, kWaitMs));
    client.stop();
    EXPECT_EQ(errors.mid(0, 4), QStringList({"nuovo tentativo tra 0.05 s", "nuovo tentativo tra 0.1 s",
                                             "nuovo tentativo tra 0.2 s", "nuovo tentativo tra 0.2 s"}));
    EXPECT_EQ(client.state(), AprsIsState::Off);
}

TEST(AprsIsClientTest, SettingsThatCannotWork)
{
    LiveSettingsValues settings;   // no gateway call
    AprsIsGate gate(settings, Enabled(QStringLiteral("127.0.0.1:14580")), [] { return 0; }, kFast);
    EXPECT_EQ(gate.state(), AprsIsState::Error);
    EXPECT_EQ(gate.stateDetail(), "nessun nominativo di accesso: impostare call nella sezione [aprs-is] di selvane.conf "
                                  "o il nominativo del gateway");
    gate.heard(HeardOf(0, "N1CALL-9>APRS,RS0ISS*:x"));
    EXPECT_EQ(gate.counters(), (AprsIsCounters{0, 1, 0}));

    AprsIsConfig c = Enabled(QStringLiteral("no port:"));
    c.call = QStringLiteral("N1CALL-5");
    gate.applyConfig(c);
    EXPECT_EQ(gate.state(), AprsIsState::Error);
    EXPECT_EQ(gate.stateDetail(), "il server \"no port:\" non è nella forma host:porta");
}
