// The status page of selvaned, against the real program and the test engine:
// the counters it reports equal what the engine recorded, it never shows a
// secret, it survives abuse while the gateway keeps gating, and a real
// browser shows a packet heard while the page is open.
#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTimer>

#include <memory>
#include <vector>

#include "headless/StatusPage.h"
#include "support/Chromium.h"
#include "support/Files.h"
#include "support/Http.h"
#include "support/Selvaned.h"
#include "testengine/TestEngine.h"

using namespace selvane;
using namespace selvane::test;

namespace {

// Sats port "1", Out port "2", call N0CALL-5, every gating box on, log off.
const QByteArray kSettings =
    "\"WIDE,WIDE\",\"N0CALL-5\",\"1\",\"2\",\"30\",\"127.0.0.1\",0,0,7470,0,1,4850,0,0,1,1,1\r\n";

constexpr int kSatsPort = 0;
constexpr int kOutPort = 1;

struct StatusPageFixture : ::testing::Test {
    QTemporaryDir dir;
    TestEngine engine;
    Daemon daemon;
    quint16 port = 0;

    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        ASSERT_TRUE(engine.listen(QHostAddress::LocalHost, 0));
        WriteFile(dir.filePath("Selvane.ini"), kSettings);
    }
    // selvaned with its page on a port the system picks, connected to the
    // engine; port is the page's.
    void start(const QByteArray& moreConfig = {})
    {
        WriteFile(dir.filePath("selvane.conf"), "[status]\nlisten = 127.0.0.1:0\n" + moreConfig);
        daemon.start({"--dir", dir.path(), "--engine-port", QString::number(engine.serverPort())});
        const QRegularExpression page(QStringLiteral("pagina di stato: http://127.0.0.1:(\\d+)/"));
        ASSERT_TRUE(QTest::qWaitFor([&] { return page.match(QString::fromUtf8(daemon.out)).hasMatch(); }, 10000))
            << daemon.out.constData() << daemon.err.constData();
        port = quint16(page.match(QString::fromUtf8(daemon.out)).captured(1).toUInt());
        ASSERT_TRUE(QTest::qWaitFor([&] { return engine.monitoring() && daemon.said("porta radio: Port2"); }, 10000))
            << daemon.out.constData();
    }
    qsizetype sent(int onPort) const
    {
        qsizetype n = 0;
        for (const ReceivedFrame& f : engine.received())
            n += f.kind == 'V' && f.port == onPort;
        return n;
    }
    QJsonObject status()
    {
        const HttpReply r = HttpGet(port, "/status.json");
        EXPECT_EQ(r.status, 200) << r.head.constData();
        return QJsonDocument::fromJson(r.body).object();
    }
};

TEST_F(StatusPageFixture, CountersEqualWhatTheEngineRecordedAndNoSecretIsShown)
{
    // An APRS-IS server that is not there: every upload is missed.
    start("[aprs-is]\nenabled = yes\nserver = 127.0.0.1:1\ncall = N1CALL-5\npasscode = 13022\n"
          "filter = r/45.4/9.2/200\n");
    // A pass: three packets gated down, one heard twice, one local packet
    // on the Sats port, then eight asking to go up, two past the limit of
    // six a minute.
    engine.sendMonitor('U', kSatsPort, "N0CALL-9", "APRS", {"RS0ISS*"}, "=4903.50N/07201.75W-hello");
    engine.sendMonitor('U', kSatsPort, "N0CALL-7", "CQ", {"RS0ISS*", "WIDE2-1"}, "greetings");
    engine.sendMonitor('U', kSatsPort, "N0CALL-7", "CQ", {"RS0ISS*", "WIDE2-1"}, "greetings");
    engine.sendMonitor('U', kSatsPort, "N0CALL-12", "APRS", {"W3ADO-1*"}, ">via PCSAT");
    engine.sendMonitor('U', kSatsPort, "N0CALL-1", "APRS", {"WIDE2-1"}, "local");
    for (int i = 0; i < 8; ++i)
        engine.sendMonitor('U', kOutPort, "N0CALL-3", "APRS", {"N0CALL-5", "ARISS"}, QStringLiteral(":up %1").arg(i));
    ASSERT_TRUE(QTest::qWaitFor([&] { return sent(kOutPort) == 3 && sent(kSatsPort) == 6; }, 10000));
    ASSERT_TRUE(QTest::qWaitFor([&] { return status()["counters"].toObject()["total"].toObject()["held"].toInt() == 2; }, 5000));

    const QJsonObject s = status();
    EXPECT_EQ(s["counters"].toObject()["total"].toObject(),
              (QJsonObject{{"heard_sats", 5}, {"gated_down", sent(kOutPort)}, {"gated_up", sent(kSatsPort)},
                           {"duplicates", 1}, {"held", 2}}));
    EXPECT_EQ(s["counters"].toObject()["last_hour"], s["counters"].toObject()["total"]);
    const QJsonObject e = s["engine"].toObject();
    EXPECT_EQ(e["address"].toString(), QStringLiteral("127.0.0.1:%1").arg(engine.serverPort()));
    EXPECT_EQ(e["state"].toString(), QStringLiteral("connected"));
    EXPECT_EQ(e["ports"].toArray().size(), 2);
    EXPECT_EQ(s["station"].toObject()["call"].toString(), QStringLiteral("N0CALL-5"));
    const QJsonObject a = s["aprs_is"].toObject();
    EXPECT_EQ(a["server"].toString(), QStringLiteral("127.0.0.1:1"));
    EXPECT_FALSE(a["verified"].toBool());
    // No local duplicate filter on uploads: both copies would have gone; the
    // local packet heard directly waits for a satellite's copy.
    EXPECT_EQ(a["counters"].toObject(), (QJsonObject{{"uploaded", 0}, {"missed", 4}, {"filtered", 0},
                                                     {"held_now", 1}, {"held", 1}, {"superseded", 0},
                                                     {"released", 0}, {"station_lines", 0}}));

    // Newest first: what was done with each packet heard via a satellite.
    QStringList packets;
    for (const QJsonValue p : s["packets"].toArray())
        packets << QStringLiteral("%1 %2>%3,%4:%5 gated=%6 dup=%7 %8")
                       .arg(p["satellite"].toString(), p["source"].toString(), p["destination"].toString(),
                            p["path"].toString(), p["text"].toString())
                       .arg(p["gated_to"].toArray().size() == 1 ? p["gated_to"][0].toInt() : -1)
                       .arg(p["duplicate"].toBool())
                       .arg(p["aprs_is"].toString());
    EXPECT_EQ(packets, QStringList({
                           "PCSAT N0CALL-12>APRS,W3ADO-1*:>via PCSAT gated=2 dup=0 missed",
                           "ISS N0CALL-7>CQ,RS0ISS*,WIDE2-1:greetings gated=-1 dup=1 missed",
                           "ISS N0CALL-7>CQ,RS0ISS*,WIDE2-1:greetings gated=2 dup=0 missed",
                           "ISS N0CALL-9>APRS,RS0ISS*:=4903.50N/07201.75W-hello gated=2 dup=0 missed",
                       }));

    const QByteArray metrics = HttpGet(port, "/metrics").body;
    for (const auto& [name, value] : std::vector<std::pair<const char*, qsizetype>>{
             {"selvane_heard_sats_total", 5}, {"selvane_gated_down_total", sent(kOutPort)},
             {"selvane_gated_up_total", sent(kSatsPort)}, {"selvane_duplicates_total", 1},
             {"selvane_held_total", 2}, {"selvane_aprs_is_missed_total", 4}, {"selvane_engine_connected", 1}})
        EXPECT_TRUE(metrics.contains('\n' + QByteArray(name) + ' ' + QByteArray::number(value) + '\n'))
            << name << '\n' << metrics.constData();

    for (const QByteArray path : {"/", "/status.json", "/metrics"}) {
        const QByteArray body = HttpGet(port, path).body;
        EXPECT_FALSE(body.isEmpty()) << path.constData();
        for (const char* secret : {"13022", "r/45.4", "N1CALL"})
            EXPECT_FALSE(body.contains(secret)) << path.constData() << ": " << secret;
    }
}

// An address that cannot be bound is said on standard error and the gateway
// goes on; SIGHUP opens the page on the address now configured, and closes
// it when the section is gone.
TEST_F(StatusPageFixture, AnAddressInUseIsSaidAndTheGatewayGoesOnSighupMovesThePage)
{
    QTcpServer occupier;
    ASSERT_TRUE(occupier.listen(QHostAddress::LocalHost, 0));
    WriteFile(dir.filePath("selvane.conf"), "[status]\nlisten = 127.0.0.1:" + QByteArray::number(occupier.serverPort()) + "\n");
    daemon.start({"--dir", dir.path(), "--engine-port", QString::number(engine.serverPort())});
    ASSERT_TRUE(QTest::qWaitFor([&] { return daemon.err.contains("pagina di stato non aperta su 127.0.0.1:"); }, 10000))
        << daemon.err.constData();
    ASSERT_TRUE(QTest::qWaitFor([&] { return engine.monitoring() && daemon.said("porta radio: Port2"); }, 10000));
    engine.sendMonitor('U', kSatsPort, "N0CALL-9", "APRS", {"RS0ISS*"}, "still gating");
    ASSERT_TRUE(QTest::qWaitFor([&] { return sent(kOutPort) == 1; }, 10000));

    WriteFile(dir.filePath("selvane.conf"), "[status]\nlisten = 127.0.0.1:0\n");
    daemon.signal(SIGHUP);
    const QRegularExpression page(QStringLiteral("pagina di stato: http://127.0.0.1:(\\d+)/"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return page.match(QString::fromUtf8(daemon.out)).hasMatch(); }, 10000));
    port = quint16(page.match(QString::fromUtf8(daemon.out)).captured(1).toUInt());
    EXPECT_EQ(status()["counters"].toObject()["total"].toObject()["gated_down"].toInt(), 1);

    WriteFile(dir.filePath("selvane.conf"), "# no page\n");
    daemon.signal(SIGHUP);
    EXPECT_TRUE(QTest::qWaitFor([&] { return HttpGet(port, "/status.json").status == 0; }, 10000));
}

// Abusive clients all at once, while the engine hears a burst: every packet
// of the burst is gated, in order; each abuse is cut off; the page still
// answers afterwards.
TEST_F(StatusPageFixture, AbuseIsCutOffWhileTheGatewayGatesEveryPacket)
{
    start();
    std::vector<std::unique_ptr<QTcpSocket>> sockets;
    auto connectOne = [&] {
        sockets.push_back(std::make_unique<QTcpSocket>());
        sockets.back()->connectToHost(QHostAddress::LocalHost, port);
        return sockets.back().get();
    };
    auto closedByServer = [](QTcpSocket* s) { return s->state() == QAbstractSocket::UnconnectedState; };

    // A request line of 1 MB.
    QTcpSocket* huge = connectOne();
    huge->write("GET /" + QByteArray(1024 * 1024, 'a') + " HTTP/1.1\r\nHost: x\r\n\r\n");
    // A client sending its request a byte every half second.
    QTcpSocket* slow = connectOne();
    const QByteArray slowRequest = "GET /status.json HTTP/1.1\r\nHost: 127.0.0.1\r\nUser-Agent: slow\r\n\r\n";
    qsizetype slowSent = 0;
    QTimer drip;
    QObject::connect(&drip, &QTimer::timeout, [&] {
        if (slow->state() == QAbstractSocket::ConnectedState && slowSent < slowRequest.size())
            slow->write(slowRequest.mid(slowSent++, 1));
    });
    drip.start(500);
    // A client asking again and again without reading the answers.
    QTcpSocket* greedy = connectOne();
    greedy->setReadBufferSize(1);
    QByteArray many;
    for (int i = 0; i < 20000; ++i)
        many += "GET /status.json HTTP/1.1\r\nHost: x\r\n\r\n";
    greedy->write(many);
    ASSERT_TRUE(QTest::qWaitFor([&] { return closedByServer(huge); }, 10000));

    // 200 clients at once, each asking for the metrics.
    std::vector<QTcpSocket*> crowd;
    for (int i = 0; i < 200; ++i) {
        crowd.push_back(connectOne());
        crowd.back()->write("GET /metrics HTTP/1.1\r\nHost: x\r\n\r\n");
    }

    constexpr int kBurst = 300;
    for (int i = 0; i < kBurst; ++i)
        engine.sendMonitor('U', kSatsPort, QStringLiteral("N0CALL-%1").arg(i % 15 + 1), "APRS", {"RS0ISS*"},
                           QStringLiteral("burst %1").arg(i, 4, 10, QLatin1Char('0')));
    engine.sendMonitor('U', kSatsPort, "N0CALL-9", "APRS", {"RS0ISS*"}, "<script>alert('x')</script>&amp;");

    // At most a few dozen are served (and kept open for their next
    // request); the others are closed at once.
    auto answered = [](QTcpSocket* s) { return s->peek(12) == "HTTP/1.1 200"; };
    auto count = [&](auto what) { return std::count_if(crowd.begin(), crowd.end(), what); };
    ASSERT_TRUE(QTest::qWaitFor([&] { return count([&](QTcpSocket* s) { return answered(s) || closedByServer(s); }) == 200; },
                                30000));
    EXPECT_GE(count(answered), 1);
    EXPECT_LE(count(answered), 32);
    ASSERT_TRUE(QTest::qWaitFor([&] { return closedByServer(greedy); }, 20000));
    ASSERT_TRUE(QTest::qWaitFor([&] { return closedByServer(slow); }, 20000));
    EXPECT_LT(slowSent, slowRequest.size());

    ASSERT_TRUE(QTest::qWaitFor([&] { return sent(kOutPort) == kBurst + 1; }, 20000)) << sent(kOutPort);
    QStringList texts;
    for (const ReceivedFrame& f : engine.received())
        if (f.kind == 'V')
            texts << f.text;
    for (int i = 0; i < kBurst; ++i)
        ASSERT_EQ(texts[i], QStringLiteral("burst %1").arg(i, 4, 10, QLatin1Char('0')));

    // Once they leave, others are served.
    sockets.clear();
    EXPECT_EQ(HttpGet(port, "/status.json").status, 200);
    EXPECT_EQ(HttpGet(port, "/", "POST").status, 405);
    EXPECT_EQ(HttpGet(port, "/status.json", "DELETE").status, 405);
    EXPECT_EQ(HttpGet(port, "/../status.json").status, 404);
    EXPECT_EQ(HttpGet(port, "/%2e%2e/%2e%2e/etc/passwd").status, 404);
    EXPECT_EQ(HttpGet(port, "/Selvane.ini").status, 404);
    const HttpReply head = HttpGet(port, "/", "HEAD");
    EXPECT_EQ(head.status, 200);
    EXPECT_TRUE(head.body.isEmpty());
    // A packet's text reaches the JSON as it was heard.
    EXPECT_EQ(status()["packets"][0]["text"].toString(), QStringLiteral("<script>alert('x')</script>&amp;"));
    EXPECT_TRUE(daemon.err.isEmpty()) << daemon.err.constData();
}

// Headless Chromium keeps the page open; a packet heard then appears in it
// within the refresh time, as text, and its markup never runs.
TEST_F(StatusPageFixture, APacketHeardAppearsInTheOpenPageWithinTheRefreshTime)
{
    if (!Chromium::available()) {
        if (qgetenv("CI") == "true")
            FAIL() << "chromium is not installed";
        GTEST_SKIP() << "chromium is not installed";
    }
    start();
    Chromium browser;
    ASSERT_TRUE(browser.open(QStringLiteral("http://127.0.0.1:%1/").arg(port)));
    ASSERT_TRUE(QTest::qWaitFor([&] { return browser.evaluate("document.body.innerText").contains("N0CALL-5"); }, 15000));
    EXPECT_TRUE(browser.evaluate("document.getElementById('engine-state').textContent").contains("connesso"));

    const QString text = QStringLiteral("<img src=x onerror=\"window.hit=1\"><script>window.hit=2</script> 73");
    engine.sendMonitor('U', kSatsPort, "N0CALL-9", "APRS", {"RS0ISS*"}, text);
    ASSERT_TRUE(QTest::qWaitFor([&] { return sent(kOutPort) == 1; }, 5000));
    EXPECT_TRUE(QTest::qWaitFor([&] { return browser.evaluate("document.getElementById('packets').innerText").contains(text); },
                                kStatusPageRefreshMs + 2000));
    EXPECT_EQ(browser.evaluate("String(document.querySelectorAll('script, img').length)"), QStringLiteral("1"));
    EXPECT_EQ(browser.evaluate("String(window.hit)"), QStringLiteral("undefined"));
    EXPECT_TRUE(browser.evaluate("document.getElementById('packets').innerText").contains("inoltrato alle porte 2"));
}

} // namespace
