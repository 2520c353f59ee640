#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QDeadlineTimer>
#include <QTest>

#include <tuple>

#include "aprsis/AprsIsGate.h"
#include "aprsis/HeardText.h"
#include "selvane/Version.h"

using namespace selvane;
using namespace selvane::test;

namespace {

constexpr int kWaitMs = 5000;
// Short enough for a test; the doubling and its cap still show.
constexpr AprsIsClient::Timing kFast{{50, 200}, 1000};

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

// Uploaded, missed, filtered.
using Counts = std::tuple<qint64, qint64, qint64>;
Counts Sent(const AprsIsCounters& c)
{
    return {c.uploaded, c.missed, c.filtered};
}

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
        {"N1CALL-9>APRS,qAO,N1CALL-5:# logresp N1CALL-5 verified, server X", false, false, ""},
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
    QStringList uploads;
    QObject::connect(&gate, &AprsIsGate::judged, [&](const UploadDecision& d, bool sent) {
        if (sent)
            uploads << QString::fromLatin1(d.line);
    });

    QTcpSocket* first = fake.nextConnection();
    ASSERT_TRUE(first);
    EXPECT_EQ(FakeServer::readLine(first), AprsIsLoginLine("N1CALL-5", 13022, "r/45/9/100"));
    EXPECT_EQ(gate.state(), AprsIsState::Connecting);
    gate.heard(HeardOf(0, "N1CALL-9>APRS,RS0ISS*:before the reply"));
    EXPECT_EQ(Sent(gate.counters()), Counts(0, 1, 0));

    first->write("# aprsc 2.1.21\r\n# logresp N1CALL-5 verified, server FAKE\r\n");
    ASSERT_TRUE(QTest::qWaitFor([&] { return gate.state() == AprsIsState::Verified; }, kWaitMs));
    EXPECT_EQ(gate.statusText(), QStringLiteral("APRS-IS: connesso e verificato (server FAKE (%1), accesso come N1CALL-5)")
                                     .arg(fake.address()));
    gate.heard(HeardOf(1, "N1CALL-9>APRS,RS0ISS*:Out port"));
    gate.heard(HeardOf(0, "N1CALL-9>APRS,TCPIP*:from the net"));
    gate.heard(HeardOf(0, "N1CALL-9>APRS,RS0ISS*:Hello"));
    EXPECT_EQ(FakeServer::readLine(first), "N1CALL-9>APRS,RS0ISS*,qAO,N1CALL-5:Hello\r\n");
    EXPECT_EQ(Sent(gate.counters()), Counts(1, 1, 1));
    EXPECT_EQ(uploads, QStringList({"N1CALL-9>APRS,RS0ISS*,qAO,N1CALL-5:Hello"}));

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
    EXPECT_EQ(Sent(gate.counters()), Counts(1, 2, 1));

    gate.applyConfig(AprsIsConfig{});
    EXPECT_EQ(gate.state(), AprsIsState::Off);
    gate.heard(HeardOf(0, "N1CALL-9>APRS,RS0ISS*:off"));
    EXPECT_EQ(Sent(gate.counters()), Counts(1, 2, 1));
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
                  "N1CALL-9>APRS,RS0ISS*,qAO,N1CALL-5:" + QByteArray::number(i) + text + "\r\n");
}

// Every byte value at every place of a packet, as the server receives it. A
// call field with a byte other than a letter, a digit or "-" goes nowhere;
// the information field is cut at CR or LF and otherwise goes as heard (NUL
// and Mic-E's 0x1c-0x1f included). Nothing else reaches the socket, so no
// line break can start a line of someone else's.
TEST(AprsIsClientTest, EveryByteInEveryFieldGivesOneFaithfulLineOrNone)
{
    FakeServer fake;
    LiveSettingsValues settings;
    settings.call = QStringLiteral("N1CALL-5");
    settings.sats = QStringLiteral("1");
    // The fake server sends no keepalives: silence is no reason to reconnect here.
    AprsIsGate gate(settings, Enabled(fake.address()), [] { return 0; }, {kFast.retry, 600000});
    QTcpSocket* server = fake.nextConnection();
    ASSERT_TRUE(server);
    FakeServer::readLine(server);
    server->write("# logresp N1CALL-5 verified, server FAKE\r\n");
    ASSERT_TRUE(QTest::qWaitFor([&] { return gate.state() == AprsIsState::Verified; }, kWaitMs));

    int badCalls = 0;
    QObject::connect(&gate, &AprsIsGate::judged, [&](const UploadDecision& d, bool) {
        badCalls += d.verdict == UploadVerdict::InvalidCall;
    });
    auto isCallByte = [](int b) {
        return (b >= '0' && b <= '9') || (b >= 'A' && b <= 'Z') || (b >= 'a' && b <= 'z') || b == '-';
    };
    enum Field { Source, Destination, Via1, Via2, Via3, Info, FieldCount };
    QByteArray expected;
    QByteArray received;
    for (int b = 0; b < 256; ++b) {
        for (int field = Source; field < FieldCount; ++field) {
            QByteArray source = "N1CALL-9", destination = "APRS";
            QList<QByteArray> via{"RS0ISS*", "WIDE2-1", "N1CALL"};
            // A key of its own for each, so the duplicate rule keeps none back.
            QByteArray info = "b" + QByteArray::number(b) + "f" + QByteArray::number(field) + "xy";
            QByteArray* target = field == Source ? &source : field == Destination ? &destination
                               : field == Info ? &info : &via[field - Via1];
            target->insert(target->size() / 2, char(b));
            HeardPacket p;
            p.source = QString::fromLatin1(source);
            p.destination = QString::fromLatin1(destination);
            for (const QByteArray& entry : via)
                p.via << QString::fromLatin1(entry);
            p.info = info;
            gate.heard(p);
            if (field == Info && (b == '\r' || b == '\n'))
                info.truncate(info.indexOf(char(b)));
            if (field == Info || isCallByte(b))
                expected += source + '>' + destination + ',' + via.join(',') + ",qAO,N1CALL-5:" + info + "\r\n";
        }
        // The client takes at most 32 KiB at a time: the server reads as it goes.
        if (b % 32 == 31) {
            ASSERT_TRUE(QTest::qWaitFor(
                [&] { received += server->readAll(); return received.size() >= expected.size(); }, kWaitMs));
        }
    }
    EXPECT_EQ(received, expected);
    // Letters, digits and "-": 63 byte values in 5 call fields; the other 193 kept back.
    EXPECT_EQ(badCalls, 5 * (256 - 63));
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

// A server evicts a login when another client logs in with the same call,
// without a word (aprsc just closes). Logins closed before they settle,
// twice in a row, are said to be in use once, and the retries keep their
// growing delay; only a verified login that lasted starts the delay again.
TEST(AprsIsClientTest, LoginsClosedBeforeTheySettleAreSaidInUseOnceAndBackOff)
{
    struct Row {
        int settledMs;
        const char* verdict;
        QStringList delays;   // after each of four closes
        QList<int> saidAt;    // after which closes loginInUse came
    };
    const Row rows[] = {
        {120000, "verified", {"0.05", "0.1", "0.2", "0.2"}, {2}},
        {1, "verified", {"0.05", "0.05", "0.05", "0.05"}, {}},
        {1, "unverified", {"0.05", "0.1", "0.2", "0.2"}, {}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.settledMs);
        SCOPED_TRACE(row.verdict);
        FakeServer fake;
        AprsIsClient client({kFast.retry, 60000, row.settledMs});
        const AprsIsState loggedIn = row.verdict == QLatin1String("verified") ? AprsIsState::Verified
                                                                              : AprsIsState::Unverified;
        QStringList delays;
        QList<int> saidAt;
        QObject::connect(&client, &AprsIsClient::stateChanged, [&](AprsIsState state, const QString& detail) {
            if (state == AprsIsState::Error)
                delays << detail.section(QStringLiteral("nuovo tentativo tra "), -1).chopped(2);
        });
        QObject::connect(&client, &AprsIsClient::loginInUse, [&] { saidAt << int(delays.size()); });
        client.start({QStringLiteral("127.0.0.1"), fake.server.serverPort(), QStringLiteral("N1CALL-5"), 13022, {}});
        for (int i = 0; i < 4; ++i) {
            QTcpSocket* s = fake.nextConnection();
            ASSERT_TRUE(s);
            FakeServer::readLine(s);
            s->write(QByteArray("# logresp N1CALL-5 ") + row.verdict + ", server FAKE\r\n");
            ASSERT_TRUE(QTest::qWaitFor([&] { return client.state() == loggedIn; }, kWaitMs));
            QTest::qWait(20);  // a login that settles in 1 ms has settled
            s->close();
            ASSERT_TRUE(QTest::qWaitFor([&] { return delays.size() == i + 1; }, kWaitMs));
        }
        EXPECT_EQ(delays, row.delays);
        EXPECT_EQ(saidAt, row.saidAt);
        EXPECT_EQ(client.loginSeemsInUse(), !row.saidAt.isEmpty());
        client.stop();
        EXPECT_FALSE(client.loginSeemsInUse());
    }
}

// A server that sends comments but never answers the login is left after
// the login timeout, and tried again.
TEST(AprsIsClientTest, ALoginNotAnsweredIsClosedAndRetried)
{
    FakeServer fake;
    AprsIsClient client({kFast.retry, 600000, 60000, 200});
    QStringList errors;
    QObject::connect(&client, &AprsIsClient::stateChanged, [&](AprsIsState state, const QString& detail) {
        if (state == AprsIsState::Error)
            errors << detail;
    });
    client.start({QStringLiteral("127.0.0.1"), fake.server.serverPort(), QStringLiteral("N1CALL-5"), 13022, {}});
    QTcpSocket* first = fake.nextConnection();
    ASSERT_TRUE(first);
    EXPECT_FALSE(FakeServer::readLine(first).isEmpty());
    first->write("# aprsc 2.1.21\r\n");
    QTcpSocket* second = fake.nextConnection();
    ASSERT_TRUE(second);
    EXPECT_TRUE(QTest::qWaitFor([&] { return first->state() == QAbstractSocket::UnconnectedState; }, kWaitMs));
    ASSERT_EQ(errors.size(), 1);
    EXPECT_TRUE(errors[0].contains("0.2 s")) << errors[0].toStdString();
    client.stop();
}

// A server that stops reading: the lines the socket cannot take are
// missed; each stretch of them is said once, and when it ends (the system
// took what waited) with the number refused. When nothing at all could be
// written for the stall time, the connection is opened again.
TEST(AprsIsClientTest, AServerThatStopsReadingIsSaidOnceAndLeft)
{
    FakeServer fake;
    LiveSettingsValues settings;
    settings.call = QStringLiteral("N1CALL-5");
    AprsIsGate gate(settings, Enabled(fake.address()), [] { return 0; }, {kFast.retry, 600000, 60000, 30000, 300});
    int saidNotReading = 0;
    qint64 saidRefused = 0;
    QString left;
    QObject::connect(&gate, &AprsIsGate::notReading, [&] { ++saidNotReading; });
    QObject::connect(&gate, &AprsIsGate::readingAgain, [&](qint64 n) {
        --saidNotReading;
        saidRefused += n;
    });
    QObject::connect(&gate, &AprsIsGate::stateChanged, [&](AprsIsState state, const QString& detail) {
        if (state == AprsIsState::Error)
            left = detail;
    });
    QTcpSocket* server = fake.nextConnection();
    ASSERT_TRUE(server);
    FakeServer::readLine(server);
    server->write("# logresp N1CALL-5 verified, server FAKE\r\n");
    ASSERT_TRUE(QTest::qWaitFor([&] { return gate.state() == AprsIsState::Verified; }, kWaitMs));

    // The server reads no more: one line per turn of the event loop until
    // the system's buffers, then the client's, are full.
    server->setReadBufferSize(1);
    const QByteArray text(400, 'x');
    int i = 0;
    auto hear = [&] {
        gate.heard(HeardOf(0, QByteArray("N1CALL-9>APRS,RS0ISS*:" + QByteArray::number(++i) + text).toStdString()));
    };
    auto hearUntil = [&](auto done) {
        const QDeadlineTimer deadline(20000);
        while (!done() && !deadline.hasExpired()) {
            hear();
            QCoreApplication::processEvents();
        }
        return done();
    };
    ASSERT_TRUE(hearUntil([&] { return gate.counters().missed > 0; }));
    EXPECT_EQ(saidNotReading, 1);
    ASSERT_TRUE(hearUntil([&] { return gate.state() != AprsIsState::Verified; }));
    EXPECT_TRUE(left.contains("0.3 s")) << left.toStdString();
    EXPECT_EQ(saidNotReading, 1);   // each stretch said once, the closed ones with their count
    EXPECT_GT(gate.counters().missed, saidRefused);

    QTcpSocket* again = fake.nextConnection();
    ASSERT_TRUE(again);
    EXPECT_EQ(FakeServer::readLine(again), AprsIsLoginLine("N1CALL-5", 13022, {}));
}

TEST(AprsIsClientTest, SettingsThatCannotWork)
{
    LiveSettingsValues settings;   // no gateway call
    AprsIsGate gate(settings, Enabled(QStringLiteral("127.0.0.1:14580")), [] { return 0; }, kFast);
    EXPECT_EQ(gate.state(), AprsIsState::Error);
    EXPECT_EQ(gate.stateDetail(), "nessun nominativo di accesso: impostare call nella sezione [aprs-is] di selvane.conf "
                                  "o il nominativo del gateway");
    gate.heard(HeardOf(0, "N1CALL-9>APRS,RS0ISS*:x"));
    EXPECT_EQ(Sent(gate.counters()), Counts(0, 1, 0));

    AprsIsConfig c = Enabled(QStringLiteral("no port:"));
    c.call = QStringLiteral("N1CALL-5");
    gate.applyConfig(c);
    EXPECT_EQ(gate.state(), AprsIsState::Error);
    EXPECT_EQ(gate.stateDetail(), "il server \"no port:\" non è nella forma host:porta");
}
