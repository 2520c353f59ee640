#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <memory>

#include "support/Files.h"
#include "testengine/TestEngine.h"

using namespace selvane;
using namespace selvane::test;

namespace {

// Gate down and up on one port, log on.
const QByteArray kSettings =
    "\"WIDE,WIDE\",\"N0CALL-5\",\"1\",\"1\",\"30\",\"127.0.0.1\",0,0,7470,1,1,4850,0,0,1,1,1\r\n";

// The headless gateway as a service runs it: no display, no platform plugin.
struct Daemon {
    QProcess process;
    QByteArray out, err;

    void start(const QStringList& args)
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
            env.remove(QString::fromLatin1(name));
        process.setProcessEnvironment(env);
        QObject::connect(&process, &QProcess::readyReadStandardOutput, [this] { out += process.readAllStandardOutput(); });
        QObject::connect(&process, &QProcess::readyReadStandardError, [this] { err += process.readAllStandardError(); });
        process.start(QStringLiteral(SELVANED_BINARY), args);
        ASSERT_TRUE(process.waitForStarted(10000));
    }
    // Runs to the end; the exit code.
    int run(const QStringList& args)
    {
        start(args);
        EXPECT_TRUE(process.waitForFinished(10000));
        out += process.readAllStandardOutput();
        err += process.readAllStandardError();
        return process.exitCode();
    }
    void signal(int s) { ::kill(pid_t(process.processId()), s); }
    bool said(const char* text) const { return out.contains(text); }
    bool waitFor(const char* text, int ms = 10000)
    {
        return QTest::qWaitFor([&] { return said(text); }, ms);
    }
    ~Daemon()
    {
        if (process.state() != QProcess::NotRunning) {
            process.kill();
            process.waitForFinished(5000);
        }
    }
};

struct SelvanedFixture : ::testing::Test {
    QTemporaryDir dir;
    std::unique_ptr<TestEngine> engine = std::make_unique<TestEngine>();
    Daemon daemon;

    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        ASSERT_TRUE(engine->listen(QHostAddress::LocalHost, 0));
        WriteFile(dir.filePath("Selvane.ini"), kSettings);
    }
    QStringList args() const
    {
        return {"--dir", dir.path(), "--engine-port", QString::number(engine->serverPort())};
    }
    QStringList sentVia() const
    {
        QStringList via;
        for (const ReceivedFrame& f : engine->received())
            if (f.kind == 'V')
                via << f.via.join(',') + ':' + f.text;
        return via;
    }
    void waitUntilMonitoring()
    {
        ASSERT_TRUE(QTest::qWaitFor([&] { return engine->monitoring(); }, 10000)) << daemon.out.constData();
        ASSERT_TRUE(daemon.waitFor("porta radio: Port2")) << daemon.out.constData();
    }
};

TEST_F(SelvanedFixture, GatesDownAndUpReconnectsAppliesHangupAndEndsCleanly)
{
    daemon.start(args());
    waitUntilMonitoring();
    EXPECT_TRUE(daemon.said("Profilo: AGW Packet Engine (automatico)")) << daemon.out.constData();
    engine->sendMonitor('U', 0, "N0CALL-9", "APRS", {"RS0ISS*"}, "down");
    engine->sendMonitor('U', 0, "N0CALL-8", "APRS", {"N0CALL-5", "ARISS"}, "up");
    ASSERT_TRUE(QTest::qWaitFor([&] { return sentVia().size() == 2; }, 10000)) << daemon.out.constData();
    EXPECT_EQ(sentVia(), QStringList({"RS0ISSP,N0CALLE,WIDE,WIDE:down", "N0CALLE,ARISS:up"}));
    ASSERT_TRUE(daemon.waitFor("N0CALL-8>APRS,N0CALLE,ARISS:up"));
    EXPECT_TRUE(daemon.said("giu (Sats -> Out) porta 1 -> 1: N0CALL-9>APRS,RS0ISSP,N0CALLE,WIDE,WIDE:down"));

    // The engine goes away and comes back on the same port.
    const quint16 port = engine->serverPort();
    engine.reset();
    ASSERT_TRUE(daemon.waitFor("collegamento perso")) << daemon.out.constData();
    engine = std::make_unique<TestEngine>();
    ASSERT_TRUE(engine->listen(QHostAddress::LocalHost, port));
    ASSERT_TRUE(QTest::qWaitFor([&] { return engine->monitoring(); }, 15000)) << daemon.out.constData();

    // A new via path, read on SIGHUP, goes with the next packet.
    WriteFile(dir.filePath("Selvane.ini"), QByteArray(kSettings).replace("\"WIDE,WIDE\"", "\"WIDE2-2\""));
    daemon.signal(SIGHUP);
    ASSERT_TRUE(daemon.waitFor("via=WIDE2-2")) << daemon.out.constData();
    engine->sendMonitor('U', 0, "N0CALL-7", "APRS", {"RS0ISS*"}, "after hangup");
    ASSERT_TRUE(QTest::qWaitFor([&] { return sentVia().size() == 1; }, 10000)) << daemon.out.constData();
    EXPECT_EQ(sentVia(), QStringList({"RS0ISSP,N0CALLE,WIDE2-2:after hangup"}));

    daemon.signal(SIGTERM);
    ASSERT_TRUE(daemon.process.waitForFinished(5000));
    EXPECT_EQ(daemon.process.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(daemon.process.exitCode(), 0);
    // Three records of two lines each after the banner, all whole.
    const QStringList logs = QDir(dir.filePath("Logs")).entryList({"*.Txt"});
    ASSERT_EQ(logs.size(), 1);
    const QByteArray log = ReadFile(dir.filePath("Logs/" + logs[0]));
    EXPECT_EQ(log.count("\r\n"), 7) << log.constData();
    EXPECT_TRUE(log.endsWith("<UI>:\r\nafter hangup\r\n")) << log.constData();
    // The settings file was read, never written.
    EXPECT_EQ(ReadFile(dir.filePath("Selvane.ini")), QByteArray(kSettings).replace("\"WIDE,WIDE\"", "\"WIDE2-2\""));
    EXPECT_TRUE(daemon.err.isEmpty()) << daemon.err.constData();
}

TEST_F(SelvanedFixture, AnEngineThatIsNotThereAtStartIsReachedOnceItAppears)
{
    const quint16 port = engine->serverPort();
    engine.reset();
    daemon.start({"--dir", dir.path(), "--engine-port", QString::number(port)});
    ASSERT_TRUE(daemon.waitFor("nuovo tentativo tra 1 s")) << daemon.out.constData();
    engine = std::make_unique<TestEngine>();
    ASSERT_TRUE(engine->listen(QHostAddress::LocalHost, port));
    ASSERT_TRUE(daemon.waitFor("connesso a 127.0.0.1", 15000)) << daemon.out.constData();
    daemon.signal(SIGINT);
    ASSERT_TRUE(daemon.process.waitForFinished(5000));
    EXPECT_EQ(daemon.process.exitCode(), 0);
}

// One gateway per folder; a lock left by a program that died does not count.
TEST_F(SelvanedFixture, SecondStartInTheFolderIsRefusedAndAStaleLockIsNot)
{
    daemon.start(args());
    waitUntilMonitoring();
    Daemon second;
    EXPECT_NE(second.run(args()), 0);
    EXPECT_TRUE(second.err.contains("Un altro Selvane lavora già nella cartella")) << second.err.constData();
    EXPECT_TRUE(second.out.isEmpty());

    daemon.process.kill();  // leaves its lock behind
    ASSERT_TRUE(daemon.process.waitForFinished(5000));
    ASSERT_TRUE(QFileInfo::exists(dir.filePath("Selvane.lock")));
    Daemon third;
    third.start(args());
    ASSERT_TRUE(third.waitFor("connesso a")) << third.err.constData();
}

TEST_F(SelvanedFixture, OptionsAndBadFolders)
{
    struct Case { QStringList args; int exit; const char* out; const char* err; };
    const Case cases[] = {
        {{"--help"}, 0, "--dir", ""},
        {{"--version"}, 0, "selvaned ", ""},
        {{"--frobnicate"}, 2, "", "frobnicate"},
        {{"--dir", dir.filePath("missing")}, 1, "", "does not exist"},
        {{"--dir", dir.filePath("Selvane.ini")}, 1, "", "is not a folder"},
        {{"--dir", "/proc"}, 1, "", "cannot be written"},
        {{"--engine-port", "99999"}, 2, "", "bad engine port"},
        {{"extra"}, 2, "", "unexpected argument"},
    };
    for (const Case& c : cases) {
        Daemon d;
        EXPECT_EQ(d.run(c.args), c.exit) << c.args.join(' ').toStdString();
        EXPECT_TRUE(d.out.contains(c.out)) << d.out.constData();
        EXPECT_TRUE(d.err.contains(c.err)) << d.err.constData();
    }
}

TEST_F(SelvanedFixture, DamagedSettingsAreReplacedByTheDefaultsAndSaidSo)
{
    WriteFile(dir.filePath("Selvane.ini"), "garbage");
    daemon.start(args());
    ASSERT_TRUE(QTest::qWaitFor([&] { return daemon.err.contains("sostituito con le impostazioni predefinite"); }, 10000));
    ASSERT_TRUE(daemon.waitFor("impostazioni: call= via=WIDE,WIDE Sats=1 Out=2")) << daemon.out.constData();
    EXPECT_TRUE(ReadFile(dir.filePath("Selvane.ini")).startsWith("\"WIDE,WIDE\",\"\",\"1\",\"2\""));
    // A damaged file on SIGHUP changes nothing and is left as it is.
    WriteFile(dir.filePath("Selvane.ini"), "still garbage");
    daemon.signal(SIGHUP);
    ASSERT_TRUE(QTest::qWaitFor([&] { return daemon.err.contains("restano le impostazioni in uso"); }, 10000));
    EXPECT_EQ(ReadFile(dir.filePath("Selvane.ini")), "still garbage");
}

} // namespace

namespace {

// aprs-is.conf beside Selvane.ini: what is heard on the Sats port goes up as
// heard, and each upload is reported.
TEST_F(SelvanedFixture, UploadsWhatTheSatsPortHearsToAprsIs)
{
    QTcpServer server;
    ASSERT_TRUE(server.listen(QHostAddress::LocalHost, 0));
    QByteArray received;
    QObject::connect(&server, &QTcpServer::newConnection, [&] {
        QTcpSocket* client = server.nextPendingConnection();
        client->write("# test server\r\n");
        QObject::connect(client, &QTcpSocket::readyRead, [&received, client] {
            const bool first = received.isEmpty();
            received += client->readAll();
            if (first)
                client->write("# logresp N1CALL-5 verified, server TEST\r\n");
        });
    });
    WriteFile(dir.filePath("aprs-is.conf"),
              "# test\nenabled = yes\nserver = 127.0.0.1:" + QByteArray::number(server.serverPort())
                  + "\ncall = N1CALL-5\npasscode = 13022\nbogus line\n");
    daemon.start(args());
    waitUntilMonitoring();
    ASSERT_TRUE(QTest::qWaitFor([&] { return daemon.out.contains("verified"); }, 10000)) << daemon.out.constData();
    EXPECT_TRUE(daemon.err.contains("aprs-is.conf")) << daemon.err.constData();  // the bogus line
    engine->sendMonitor('U', 0, "N1CALL-9", "APRS", {"RS0ISS*"}, "via the ISS");
    ASSERT_TRUE(daemon.waitFor("APRS-IS <- N1CALL-9>APRS,RS0ISS*,qAR,N1CALL-5:via the ISS")) << daemon.out.constData();
    ASSERT_TRUE(QTest::qWaitFor([&] { return received.contains("N1CALL-9>APRS,RS0ISS*,qAR,N1CALL-5:via the ISS\r\n"); }, 5000));
    EXPECT_TRUE(received.startsWith("user N1CALL-5 pass 13022 vers Selvane ")) << received.constData();
}

} // namespace
