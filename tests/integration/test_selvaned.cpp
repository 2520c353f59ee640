#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>
#include <QLockFile>
#include <QProcess>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <functional>
#include <memory>

#include <sys/stat.h>

#include "support/Files.h"
#include "support/Selvaned.h"
#include "testengine/TestEngine.h"

using namespace selvane;
using namespace selvane::test;

namespace {

// Gate down and up on one port, log on.
const QByteArray kSettings =
    "\"WIDE,WIDE\",\"N0CALL-5\",\"1\",\"1\",\"30\",\"127.0.0.1\",0,0,7470,1,1,4850,0,0,1,1,1\r\n";

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
    // Until the daemon monitors and has asked for the engine's version and
    // ports: what is heard from then on is handled.
    void waitUntilMonitoring(int ms = 10000)
    {
        ASSERT_TRUE(QTest::qWaitFor([&] { return engine->monitoring() && asked('G'); }, ms))
            << daemon.out.constData() << daemon.err.constData();
    }
    bool asked(char kind) const
    {
        for (const ReceivedFrame& f : engine->received())
            if (f.kind == kind)
                return true;
        return false;
    }
    // Heard packets, one a time, until one goes out with `via`: a change the
    // daemon applies on a signal is in force once one does.
    void hearUntilSentVia(const QString& via)
    {
        int n = 0;
        ASSERT_TRUE(QTest::qWaitFor([&] {
            engine->sendMonitor('U', 0, "N0CALL-7", "APRS", {"RS0ISS*"}, QStringLiteral("probe %1").arg(++n));
            QTest::qWait(50);
            return sentVia().filter(via).size() > 0;
        }, 10000)) << sentVia().join('\n').toStdString();
    }
};

TEST_F(SelvanedFixture, GatesDownAndUpReconnectsAppliesHangupAndEndsCleanly)
{
    daemon.start(args());
    waitUntilMonitoring();
    engine->sendMonitor('U', 0, "N0CALL-9", "APRS", {"RS0ISS*"}, "down");
    engine->sendMonitor('U', 0, "N0CALL-8", "APRS", {"N0CALL-5", "ARISS"}, "up");
    ASSERT_TRUE(QTest::qWaitFor([&] { return sentVia().size() == 2; }, 10000)) << daemon.out.constData();
    EXPECT_EQ(sentVia(), QStringList({"RS0ISSP,N0CALLE,WIDE,WIDE:down", "N0CALLE,ARISS:up"}));

    // The engine goes away and comes back on the same port.
    const quint16 port = engine->serverPort();
    engine.reset();
    engine = std::make_unique<TestEngine>();
    ASSERT_TRUE(engine->listen(QHostAddress::LocalHost, port));
    ASSERT_TRUE(QTest::qWaitFor([&] { return engine->monitoring(); }, 15000)) << daemon.out.constData();

    // A new via path, set while it runs and read on SIGHUP, goes with the
    // next packet.
    Daemon set;
    EXPECT_EQ(set.run({"--dir", dir.path(), "--set", "via=WIDE2-2"}), 0) << set.err.constData();
    daemon.signal(SIGHUP);
    hearUntilSentVia("RS0ISSP,N0CALLE,WIDE2-2:probe");
    engine->sendMonitor('U', 0, "N0CALL-7", "APRS", {"RS0ISS*"}, "after hangup");
    ASSERT_TRUE(QTest::qWaitFor([&] { return sentVia().last().endsWith(":after hangup"); }, 10000));
    EXPECT_EQ(sentVia().last(), "RS0ISSP,N0CALLE,WIDE2-2:after hangup");
    const qsizetype records = sentVia().size() + 2;  // and the two before the engine went away

    daemon.signal(SIGTERM);
    ASSERT_TRUE(daemon.process.waitForFinished(5000));
    EXPECT_EQ(daemon.process.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(daemon.process.exitCode(), 0);
    // One record of two lines for every packet sent, after the banner.
    const QStringList logs = QDir(dir.filePath("Logs")).entryList({"*.Txt"});
    ASSERT_EQ(logs.size(), 1);
    const QByteArray log = ReadFile(dir.filePath("Logs/" + logs[0]));
    EXPECT_EQ(log.count("\r\n"), 1 + 2 * records) << log.constData();
    EXPECT_TRUE(log.endsWith("<UI>:\r\nafter hangup\r\n")) << log.constData();
    // The settings file was read, never written.
    EXPECT_EQ(ReadFile(dir.filePath("Selvane.ini")), QByteArray(kSettings).replace("\"WIDE,WIDE\"", "\"WIDE2-2\""));
    EXPECT_TRUE(daemon.err.isEmpty()) << daemon.err.constData();
}

TEST_F(SelvanedFixture, AnEngineThatIsNotThereAtStartIsReachedOnceItAppears)
{
    // Nothing that answers at first: the connections it tries are closed.
    const quint16 port = engine->serverPort();
    engine.reset();
    QTcpServer refusing;
    ASSERT_TRUE(refusing.listen(QHostAddress::LocalHost, port));
    int attempts = 0;
    QObject::connect(&refusing, &QTcpServer::newConnection, [&] {
        while (QTcpSocket* s = refusing.nextPendingConnection()) {
            ++attempts;
            s->abort();
            s->deleteLater();
        }
    });
    daemon.start({"--dir", dir.path(), "--engine-port", QString::number(port)});
    ASSERT_TRUE(QTest::qWaitFor([&] { return attempts >= 2; }, 10000)) << daemon.out.constData();
    refusing.close();
    engine = std::make_unique<TestEngine>();
    ASSERT_TRUE(engine->listen(QHostAddress::LocalHost, port));
    waitUntilMonitoring(15000);
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
    EXPECT_EQ(second.run(args()), 1);
    EXPECT_FALSE(second.err.isEmpty());
    EXPECT_TRUE(second.out.isEmpty());

    daemon.process.kill();  // leaves its lock behind
    ASSERT_TRUE(daemon.process.waitForFinished(5000));
    ASSERT_TRUE(QFileInfo::exists(dir.filePath("Selvane.lock")));
    engine->clearReceived();
    Daemon third;
    third.start(args());
    ASSERT_TRUE(QTest::qWaitFor([&] { return asked('m'); }, 10000)) << third.err.constData();
}

TEST_F(SelvanedFixture, OptionsAndBadFolders)
{
    // The exit status; what goes to standard output (an error goes to
    // standard error, in the user's language, and names what was wrong).
    struct Case { QStringList args; int exit; const char* out; const char* errNames; };
    const Case cases[] = {
        {{"--help"}, 0, "--dir", ""},
        {{"--version"}, 0, "selvaned ", ""},
        {{"--frobnicate"}, 2, "", "frobnicate"},
        {{"--dir", dir.filePath("missing")}, 1, "", "missing"},
        {{"--dir", dir.filePath("Selvane.ini")}, 1, "", "Selvane.ini"},
        {{"--dir", "/proc"}, 1, "", "/proc"},
        {{"--engine-port", "99999"}, 2, "", "99999"},
        {{"--engine", "serial:/dev/ttyUSB0"}, 2, "", "serial:/dev/ttyUSB0"},
        {{"--engine", "kiss-tcp://localhost"}, 2, "", "kiss-tcp://localhost"},
        {{"--engine", "kiss-serial:/dev/ttyUSB0@fast"}, 2, "", "@fast"},
        {{"--engine", "agw://localhost:8000", "--engine-port", "8000"}, 2, "", "--engine-port"},
        {{"extra"}, 2, "", "extra"},
    };
    for (const Case& c : cases) {
        Daemon d;
        EXPECT_EQ(d.run(c.args), c.exit) << c.args.join(' ').toStdString();
        EXPECT_TRUE(d.out.contains(c.out)) << d.out.constData();
        EXPECT_TRUE(d.err.contains(c.errNames)) << d.err.constData();
        EXPECT_EQ(d.err.isEmpty(), c.exit == 0) << d.err.constData();
    }
}

// A damaged Selvane.ini, or one that is not a regular file, stops the start
// with status 2 (the service unit does not restart after it), the file left
// exactly as it was and nothing made in the folder.
TEST_F(SelvanedFixture, DamagedOrNonRegularSettingsStopTheStartWithStatusTwo)
{
    const QString ini = dir.filePath("Selvane.ini");
    const struct {
        QByteArray record;   // written as Selvane.ini unless make is set
        const char* field;   // in the message, by number
        std::function<bool()> make;
    } rows[] = {
        {QByteArray(kSettings).replace(",1,1,1\r\n", ",yes,1,1\r\n"), "15", {}},
        {QByteArray(kSettings).replace("\"N0CALL-5\"", "\"N0CALL-5\"\""), "2", {}},
        {QByteArray(kSettings).replace("\"30\"", "\"thirty\""), "5", {}},
        {QByteArray(kSettings).replace(",1,1,1\r\n", ",1\r\n"), "16", {}},  // 15 fields
        {QByteArray(kSettings).replace("N0CALL-5", QByteArray("N0\0CALL", 7)), "2", {}},
        {{}, "", [&] { return ::mkfifo(QFile::encodeName(ini).constData(), 0600) == 0; }},
        {{}, "", [&] { return QFile::link("/dev/zero", ini); }},
        {{}, "", [&] { return QDir().mkdir(ini); }},
    };
    for (const auto& row : rows) {
        QFile::remove(ini);
        QDir().rmdir(ini);
        if (row.make)
            ASSERT_TRUE(row.make());
        else
            WriteFile(ini, row.record);
        const QFileInfo before(ini);
        Daemon d;
        EXPECT_EQ(d.run(args()), 2) << row.field << d.err.constData();
        if (*row.field) {
            EXPECT_TRUE(d.err.contains(QByteArray(" ") + row.field + " (")) << d.err.constData();
        }
        EXPECT_TRUE(engine->received().isEmpty());
        EXPECT_FALSE(QFileInfo::exists(dir.filePath("Logs")));
        const QFileInfo after(ini);
        EXPECT_EQ(after.isSymLink(), before.isSymLink());
        EXPECT_EQ(after.isFile(), before.isFile());
        if (!row.make) {
            EXPECT_EQ(ReadFile(ini), row.record);
        }
    }
}

// A missing file is made with the defaults; on SIGHUP a damaged file, or a
// FIFO in its place, keeps the settings in use and is left as it is.
TEST_F(SelvanedFixture, MissingSettingsAreMadeAndABadReloadKeepsTheRunningOnes)
{
    const QString ini = dir.filePath("Selvane.ini");
    QFile::remove(ini);
    daemon.start(args());
    ASSERT_TRUE(QTest::qWaitFor([&] { return engine->monitoring(); }, 10000)) << daemon.err.constData();
    EXPECT_EQ(ReadFile(ini), "\"WIDE,WIDE\",\"\",\"1\",\"2\",\"30\",\"localhost\",0,0,7470,0,1,4850,0,0,0,1\r\n");
    // No call set: said at start, naming the alias the packets go out with.
    EXPECT_TRUE(daemon.err.contains("KORVA")) << daemon.err.constData();

    const QByteArray damaged = QByteArray(kSettings).replace("\"WIDE,WIDE\"", "\"WIDE2-2\"").replace(",1,1,1\r\n", ",yes,1,1\r\n");
    const std::function<void()> bad[] = {
        [&] { WriteFile(ini, damaged); },
        [&] { ASSERT_TRUE(QFile::remove(ini)); ASSERT_EQ(::mkfifo(QFile::encodeName(ini).constData(), 0600), 0); },
    };
    for (const auto& make : bad) {
        make();
        const qsizetype said = daemon.err.size();
        daemon.signal(SIGHUP);
        ASSERT_TRUE(QTest::qWaitFor([&] { return daemon.err.size() > said; }, 10000));
    }
    struct stat st {};
    ASSERT_EQ(::lstat(QFile::encodeName(ini).constData(), &st), 0);
    EXPECT_TRUE(S_ISFIFO(st.st_mode));
    // Still the settings of the start (Out 2, not the damaged file's Out 1),
    // and still running.
    engine->sendMonitor('U', 0, "N0CALL-9", "APRS", {"RS0ISS*"}, "down");
    ASSERT_TRUE(QTest::qWaitFor([&] { return !sentVia().isEmpty(); }, 10000)) << daemon.err.constData();
    for (const ReceivedFrame& f : engine->received()) {
        if (f.kind == 'V') {
            EXPECT_EQ(f.port, 1);
            EXPECT_EQ(f.via.value(1), "KORVA P");
        }
    }
    daemon.signal(SIGTERM);
    ASSERT_TRUE(daemon.process.waitForFinished(5000));
    EXPECT_EQ(daemon.process.exitCode(), 0);
}

// Configuring without a window: --set writes the named fields and keeps the
// others, --show reads them back; a damaged file is mended only by a --set
// that mends it; the window program's lock refuses --set.
TEST_F(SelvanedFixture, SetAndShowTheSettings)
{
    const QString ini = dir.filePath("Selvane.ini");
    QFile::remove(ini);
    const QStringList folder{"--dir", dir.path()};
    const auto run = [&](const QStringList& more, QByteArray* out = nullptr) {
        Daemon d;
        const int status = d.run(folder + more);
        if (out)
            *out = d.out;
        return status;
    };
    // A one-radio station from nothing.
    EXPECT_EQ(run({"--set", "call=N1CALL-5", "out=1", "gate-to-out=1", "--set", "logs=1"}), 0);
    const QByteArray station = "\"WIDE,WIDE\",\"N1CALL-5\",\"1\",\"1\",\"30\",\"localhost\",0,0,7470,1,1,4850,0,0,1,1,0\r\n";
    EXPECT_EQ(ReadFile(ini), station);
    QByteArray shown;
    EXPECT_EQ(run({"--show"}, &shown), 0);
    EXPECT_EQ(shown, "via=WIDE,WIDE\ncall=N1CALL-5\nsats=1\nout=1\ndup=30\naddress=localhost\nlogs=1\ntlm-mode=1\n"
                     "gate-to-out=1\ngate-to-sats=1\ngate-telemetry=0\nprofile=0\nreconnect=0\n");

    // Refused, the file unchanged: a bad value, an unknown name, a change
    // that leaves the damaged field damaged.
    for (const QStringList& bad : {QStringList{"--set", "gate-to-out=yes"}, QStringList{"--set", "dup=thirty"},
                                   QStringList{"--set", "colour=red"}, QStringList{"--set", "call"}})
        EXPECT_EQ(run(bad), 2) << bad.join(' ').toStdString();
    EXPECT_EQ(ReadFile(ini), station);
    const QByteArray damaged = QByteArray(station).replace(",1,1,0\r\n", ",yes,1,0\r\n");
    WriteFile(ini, damaged);
    EXPECT_EQ(run({"--set", "call=N1CALL-7"}), 2);
    EXPECT_EQ(run({"--show"}), 2);
    EXPECT_EQ(ReadFile(ini), damaged);
    EXPECT_EQ(run({"--set", "gate-to-out=0", "profile=1", "--show"}, &shown), 0);
    EXPECT_EQ(ReadFile(ini), QByteArray(station).replace(",1,1,0\r\n", ",0,1,0,1\r\n"));
    EXPECT_TRUE(shown.contains("\ngate-to-out=0\n") && shown.contains("\nprofile=1\n")) << shown.constData();

    // The window program holds the folder (any program but selvaned):
    // refused, as it would write its own values at its exit.
    QLockFile window(dir.filePath("Selvane.lock"));
    ASSERT_TRUE(window.tryLock(0));
    const QByteArray before = ReadFile(ini);
    EXPECT_EQ(run({"--set", "call=N1CALL-9"}), 1);
    EXPECT_EQ(ReadFile(ini), before);
    EXPECT_EQ(run({"--show"}), 0);
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
    EXPECT_TRUE(daemon.err.contains("aprs-is.conf")) << daemon.err.constData();  // the bogus line
    // Heard until one goes up: the first may come before the login is answered.
    int n = 0;
    ASSERT_TRUE(QTest::qWaitFor([&] {
        engine->sendMonitor('U', 0, "N1CALL-9", "APRS", {"RS0ISS*"}, QStringLiteral("via the ISS %1").arg(++n));
        QTest::qWait(50);
        return received.contains("N1CALL-9>APRS,RS0ISS*,qAO,N1CALL-5:via the ISS ");
    }, 10000)) << received.constData();
    EXPECT_TRUE(received.startsWith("user N1CALL-5 pass 13022 vers Selvane ")) << received.constData();
    // A via entry holding a line feed (an engine's header line can carry one)
    // never reaches the server; the next packet does.
    engine->sendMonitor('U', 0, "N1CALL-9", "APRS", {"X\nN1CALL-2>APRS"}, "forged");
    engine->sendMonitor('U', 0, "N1CALL-9", "APRS", {"RS0ISS*"}, "after");
    ASSERT_TRUE(QTest::qWaitFor([&] { return received.contains("N1CALL-9>APRS,RS0ISS*,qAO,N1CALL-5:after\r\n"); }, 5000));
    EXPECT_FALSE(received.contains("forged")) << received.constData();

    // A station's uplink heard directly waits for the ISS's copy, which goes
    // up instead; the output names the held line when it is held and when it
    // is dropped.
    engine->sendMonitor('U', 0, "N1CALL-7", "APRS", {"ARISS"}, "direct");
    engine->sendMonitor('U', 0, "N1CALL-7", "APRS", {"RS0ISS*"}, "direct");
    ASSERT_TRUE(QTest::qWaitFor([&] { return received.contains("N1CALL-7>APRS,RS0ISS*,qAO,N1CALL-5:direct\r\n"); }, 5000));
    EXPECT_TRUE(QTest::qWaitFor([&] { return daemon.out.count("N1CALL-7>APRS,ARISS,qAO,N1CALL-5:direct") == 2; }, 5000))
        << daemon.out.constData();
    EXPECT_FALSE(received.contains("ARISS,qAO")) << received.constData();
}

} // namespace

namespace {

// Records of the daily log ("yyyy-mm-dd hh:mm:ss" lines in pairs after the
// banner) and of the history file (one quoted line each): whole or absent.
void ExpectWholeRecords(const QString& logsDir, qsizetype* logRecords = nullptr)
{
    for (const QString& name : QDir(logsDir).entryList({"*.Txt"})) {
        const QByteArray log = ReadFile(logsDir + "/" + name);
        EXPECT_TRUE(log.isEmpty() || log.endsWith("\r\n")) << name.toStdString();
        const QList<QByteArray> lines = log.split('\n');
        // banner, then header and information line per record, then the empty tail
        EXPECT_EQ((lines.size() - 2) % 2, 0) << log.right(300).constData();
        for (qsizetype i = 1; i + 1 < lines.size(); i += 2)
            EXPECT_TRUE(lines[i].contains(" <UI>:\r")) << lines[i].constData();
        if (logRecords)
            *logRecords = (lines.size() - 2) / 2;
    }
    for (const QString& name : QDir(logsDir).entryList({"*.Tlh"})) {
        const QByteArray history = ReadFile(logsDir + "/" + name);
        EXPECT_TRUE(history.endsWith("\"\r\n")) << history.right(100).constData();
        for (const QByteArray& line : history.split('\n'))
            EXPECT_TRUE(line.isEmpty() || (line.startsWith('"') && line.endsWith("\"\r"))) << line.constData();
    }
}

// Killed in the middle of a burst: every record already in the files is
// whole, and the next start appends cleanly.
TEST_F(SelvanedFixture, KilledDuringABurstLeavesOnlyWholeRecords)
{
    daemon.start(args());
    waitUntilMonitoring();
    for (int i = 0; i < 3000; ++i) {
        if (i % 10 == 0)
            engine->sendMonitor('U', 0, "PCSAT-1", "APRS", {}, QStringLiteral("T#%1,100,120,140,160,000,00000000,1,00").arg(i % 1000, 3, 10, QLatin1Char('0')));
        else
            engine->sendMonitor('U', 0, QStringLiteral("N1CALL-%1").arg(i % 15 + 1), "APRS", {"RS0ISS*"},
                                QStringLiteral("burst %1").arg(i));
    }
    ASSERT_TRUE(QTest::qWaitFor([&] { return engine->received().size() > 500; }, 10000));
    daemon.process.kill();
    ASSERT_TRUE(daemon.process.waitForFinished(5000));
    const QString logs = dir.filePath("Logs");
    qsizetype before = 0;
    ExpectWholeRecords(logs, &before);
    EXPECT_GT(before, 0);

    engine->clearReceived();
    Daemon next;
    next.start(args());
    ASSERT_TRUE(QTest::qWaitFor([&] { return asked('G') && engine->monitoring(); }, 10000));
    engine->sendMonitor('U', 0, "N1CALL-9", "APRS", {"RS0ISS*"}, "after the kill");
    ASSERT_TRUE(QTest::qWaitFor([&] { return sentVia().filter(":after the kill").size() == 1; }, 10000));
    next.signal(SIGTERM);
    ASSERT_TRUE(next.process.waitForFinished(5000));
    qsizetype after = 0;
    ExpectWholeRecords(logs, &after);
    EXPECT_EQ(after, before + 1);
}

// The Logs folder on a full disk: gating goes on, it is said once, nothing
// half written stays in a file, and logging resumes when space returns. A
// small tmpfs in a mount namespace of the daemon's own stands for the disk.
TEST_F(SelvanedFixture, FullDiskIsSaidOnceAndLoggingResumesWhenSpaceReturns)
{
    QProcess probe;
    probe.start("unshare", {"-rm", "true"});
    if (!probe.waitForFinished(5000) || probe.exitCode() != 0) {
        if (qgetenv("CI") == "true")
            FAIL() << "unshare -rm does not work here";
        GTEST_SKIP() << "unshare -rm does not work here";
    }
    const QString logs = dir.filePath("Logs");
    ASSERT_TRUE(QDir().mkpath(logs));
    // All the tmpfs but two pages goes to a filler file.
    const QString script = QStringLiteral(
        "mount -t tmpfs -o size=64k tmpfs '%1' && "
        "(dd if=/dev/zero of='%1/filler' bs=4096 count=14 2>/dev/null; true) && exec '%2' \"$@\"")
                               .arg(logs, QStringLiteral(SELVANED_BINARY));
    daemon.program = QStringLiteral("unshare");
    daemon.start(QStringList{"-rm", "sh", "-c", script, "sh"} + args());
    waitUntilMonitoring();
    // The daemon's view of its Logs folder, inside its namespace.
    const QString inside = QStringLiteral("/proc/%1/root%2").arg(daemon.process.processId()).arg(logs);
    ASSERT_TRUE(QFileInfo::exists(inside + "/filler")) << inside.toStdString();

    int sent = 0;
    auto hear = [&](int n) {
        for (int i = 0; i < n; ++i, ++sent)
            engine->sendMonitor('U', 0, QStringLiteral("N1CALL-%1").arg(sent % 15 + 1), "APRS", {"RS0ISS*"},
                                QStringLiteral("packet number %1 to fill the disk").arg(sent));
    };
    hear(200);  // some 20 KiB of records: far more than the two pages
    ASSERT_TRUE(QTest::qWaitFor([&] { return engine->received().size() == 200 + 3; }, 10000))  // m R G + 200 V
        << engine->received().size();
    // Said once: one line on standard error.
    ASSERT_TRUE(QTest::qWaitFor([&] { return !daemon.err.isEmpty(); }, 5000));
    EXPECT_EQ(daemon.err.count('\n'), 1) << daemon.err.constData();
    qsizetype full = 0;
    ExpectWholeRecords(inside, &full);
    EXPECT_GT(full, 0);
    EXPECT_LT(full, 200);

    ASSERT_TRUE(QFile::remove(inside + "/filler"));
    hear(1);
    qsizetype resumed = 0;
    ASSERT_TRUE(QTest::qWaitFor([&] {
        ExpectWholeRecords(inside, &resumed);
        return resumed == full + 1;
    }, 10000)) << resumed;
    EXPECT_EQ(daemon.err.count('\n'), 1) << daemon.err.constData();
    daemon.signal(SIGTERM);
    EXPECT_TRUE(daemon.process.waitForFinished(5000));
}

} // namespace
