#include <gtest/gtest.h>

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QGuiApplication>
#include <QScreen>
#include <QTcpServer>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <QTest>

#include <sys/stat.h>

#include "support/Files.h"
#include "testengine/TestEngine.h"
#include "ui/RecordingDialogs.h"
#include "ui/SelvaneApp.h"

using namespace selvane;
using namespace selvane::test;

namespace {

const QByteArray kDefaults =
    "\"WIDE,WIDE\",\"\",\"1\",\"2\",\"30\",\"localhost\",0,0,7470,0,1,4850,0,0,0,1\r\n";

struct AppFixture : ::testing::Test {
    QTemporaryDir dir;
    RecordingDialogs dialogs;

    // Unset: the engine of selvane.conf (an AGW engine on port 8000 by default).
    std::optional<quint16> enginePort;
    // Reconnecting within a fraction of a second, so no test waits seconds.
    LinkTiming linkTiming{{200, 800}};

    std::unique_ptr<SelvaneApp> makeApp(const QString& workingDir = {})
    {
        SelvaneApp::Options options;
        options.dialogs = &dialogs;
        options.trayAvailable = false;
        options.folder = workingDir.isEmpty() ? dir.path() : workingDir;
        options.clock = [] { return QDateTime(QDate(2026, 12, 6), QTime(8, 15, 30)); };
        options.enginePort = enginePort;
        options.linkTiming = linkTiming;
        return std::make_unique<SelvaneApp>(options);
    }
    QString ini() const { return dir.filePath("Selvane.ini"); }
};

TEST_F(AppFixture, FirstStartWritesTheDefaultsCreatesLogsAndShowsThem)
{
    auto app = makeApp();
    app->start();
    EXPECT_EQ(ReadFile(ini()), kDefaults);
    EXPECT_TRUE(QFileInfo(dir.filePath("Logs")).isDir());
    EXPECT_EQ(dialogs.logsErrors, 0);
    MainWindow& w = app->window();
    EXPECT_TRUE(w.isVisible());
    EXPECT_EQ(w.viaPath(), "WIDE,WIDE");
    EXPECT_EQ(w.agwpeHost(), "localhost");
    EXPECT_TRUE(w.gateToSats());
    EXPECT_FALSE(w.gateToOut());
    EXPECT_FALSE(w.gateTelemetry());
    EXPECT_EQ(w.selectedTelemetryMode(), 1);
    // The design width, raised to what the texts need.
    EXPECT_EQ(w.width(), std::max(490, w.minimumWidth()));
}

TEST_F(AppFixture, ExitWritesWhatTheWindowsHoldAndTheNextStartRestoresIt)
{
    // Places and sizes on the screen and roomier than the texts need.
    WriteFile(ini(), "\"WIDE,WIDE\",\"\",\"1\",\"2\",\"30\",\"localhost\",1500,1200,10800,0,1,9005,300,450,0,1\r\n");
    {
        auto app = makeApp();
        app->start();
        GatewaySettings s = app->window().collectSettings();
        s.gatewayCall = "N0CALL-5";
        s.outPorts = "2,3";
        s.dupSeconds = "45";
        ASSERT_TRUE(app->window().applyTexts(s));
        ASSERT_TRUE(app->window().applyGateToOut(1));
        ASSERT_TRUE(app->window().applyDailyLog(1));
        app->shutdown();
    }
    const QByteArray saved = ReadFile(ini());
    EXPECT_EQ(saved, "\"WIDE,WIDE\",\"N0CALL-5\",\"1\",\"2,3\",\"45\",\"localhost\",1500,1200,10800,1,1,9005,300,450,1,1,1\r\n");

    auto again = makeApp();
    again->start();
    EXPECT_EQ(again->window().gatewayCall(), "N0CALL-5");
    EXPECT_EQ(again->window().outPorts(), "2,3");
    EXPECT_TRUE(again->window().gateToOut());
    EXPECT_TRUE(again->window().gateTelemetry());
    EXPECT_TRUE(again->window().dailyLog());
    again->shutdown();
    EXPECT_EQ(ReadFile(ini()), saved);
}

TEST_F(AppFixture, ClosingTheWindowShutsDownOnce)
{
    auto app = makeApp();
    app->start();
    QSignalSpy finished(app.get(), &SelvaneApp::finished);
    app->window().close();
    EXPECT_EQ(finished.count(), 1);
    EXPECT_TRUE(app->isShutDown());
    EXPECT_EQ(ReadFile(ini()).count(',') - 1, 16);
    QFile::remove(ini());
    app->shutdown();  // a second request (signal, session end) writes nothing
    EXPECT_FALSE(QFile::exists(ini()));
}

TEST_F(AppFixture, SessionEndSavesEverythingAndKeepsRunningIfCancelled)
{
    auto app = makeApp();
    app->start();
    GatewaySettings s = app->window().collectSettings();
    s.gatewayCall = "N0CALL-5";
    app->window().applyTexts(s);
    app->commitSession();
    EXPECT_TRUE(ReadFile(ini()).startsWith("\"WIDE,WIDE\",\"N0CALL-5\","));
    // The logout was cancelled: the program goes on and the real exit
    // still saves what changed since.
    EXPECT_FALSE(app->isShutDown());
    ASSERT_NE(app->telemetryWindow(), nullptr);
    app->window().applyTelemetryMode(0);
    EXPECT_TRUE(app->telemetryWindow()->isVisible());
    s.gatewayCall = "N0CALL-6";
    app->window().applyTexts(s);
    app->window().close();
    EXPECT_TRUE(ReadFile(ini()).startsWith("\"WIDE,WIDE\",\"N0CALL-6\","));
    // After the exit a late click reaches nothing.
    app->window().applyTelemetryMode(2);
    EXPECT_EQ(app->telemetryWindow(), nullptr);
}

TEST_F(AppFixture, AQuoteInATextBoxDoesNotSpoilTheNextStart)
{
    {
        auto app = makeApp();
        app->start();
        GatewaySettings s = app->window().collectSettings();
        s.agwpeHost = "my\"host";
        s.satsPorts = "1\"";
        app->window().applyTexts(s);
        app->window().applyGateToOut(1);
    }
    auto again = makeApp();
    again->start();
    EXPECT_EQ(again->window().agwpeHost(), "myhost");
    EXPECT_EQ(again->window().satsPorts(), "1");
    EXPECT_TRUE(again->window().gateToOut());  // the fields after the texts survived
}

TEST_F(AppFixture, LogsThatCannotBeCreatedAreReportedAndStartGoesOn)
{
    // The working directory is a plain file: neither Logs nor the settings
    // file can be made there.
    const QString notADir = dir.filePath("plain-file");
    WriteFile(notADir, "x");
    auto app = makeApp(notADir);
    app->start();
    EXPECT_EQ(dialogs.logsErrors, 1);
    EXPECT_TRUE(app->window().isVisible());
    EXPECT_EQ(app->window().viaPath(), "WIDE,WIDE");  // the defaults still apply
    app->shutdown();
    EXPECT_EQ(ReadFile(notADir), "x");
}

TEST_F(AppFixture, APlainFileNamedLogsCountsAsPresent)
{
    WriteFile(dir.filePath("Logs"), "not a folder");
    auto app = makeApp();
    app->start();
    EXPECT_EQ(dialogs.logsErrors, 0);
    EXPECT_TRUE(QFileInfo(dir.filePath("Logs")).isFile());
}

TEST_F(AppFixture, StartButtonDrivesTheLink)
{
    auto app = makeApp();
    app->start();
    GatewaySettings s = app->window().collectSettings();
    s.agwpeHost = "127.0.0.1";
    app->window().applyTexts(s);
    EXPECT_TRUE(app->link().isClosed());
    emit app->window().startClicked();
    EXPECT_FALSE(app->link().isClosed());
    EXPECT_TRUE(app->window().isRunning());
    emit app->window().startClicked();
    EXPECT_TRUE(app->link().isClosed());
    EXPECT_FALSE(app->window().isRunning());
    EXPECT_EQ(app->window().statusText(), "Connessione ad AGW Packet Engine chiusa");
}

// With "Riconnetti automaticamente" an engine that goes away shows no
// message box: the status line says when the next try is, and STOP ends it.
TEST_F(AppFixture, ReconnectingWindowShowsNoMessageAndStopEndsTheWait)
{
    TestEngine engine;
    ASSERT_TRUE(engine.listen(QHostAddress::LocalHost, 0));
    enginePort = engine.serverPort();
    auto app = makeApp();
    app->start();
    MainWindow& w = app->window();
    GatewaySettings s = w.collectSettings();
    s.agwpeHost = "127.0.0.1";
    w.applyTexts(s);
    w.autoReconnectAction()->trigger();
    QSignalSpy clients(&engine, &TestEngine::clientConnected);
    emit w.startClicked();
    ASSERT_TRUE(QTest::qWaitFor([&] { return w.ports().size() == 2; }, 5000));

    engine.closeClient();
    ASSERT_TRUE(QTest::qWaitFor([&] { return w.statusText().contains("nuovo tentativo alle"); }, 5000));
    EXPECT_TRUE(w.isRunning());
    ASSERT_TRUE(QTest::qWaitFor([&] { return clients.size() == 2 && w.ports().size() == 2; }, 5000));
    EXPECT_TRUE(dialogs.socketErrors.isEmpty());

    engine.closeClient();
    ASSERT_TRUE(QTest::qWaitFor([&] { return app->link().isReconnecting(); }, 5000));
    emit w.startClicked();  // STOP
    EXPECT_FALSE(app->link().isReconnecting());
    EXPECT_FALSE(w.isRunning());
    EXPECT_EQ(w.statusText(), "Connessione ad AGW Packet Engine chiusa");
    EXPECT_TRUE(dialogs.socketErrors.isEmpty());
    app->shutdown();
    EXPECT_TRUE(ReadFile(ini()).endsWith(",0,1\r\n"));  // kept, with the profile left automatic
}

// One gateway per folder: a second program there changes nothing.
TEST_F(AppFixture, SecondWindowInTheSameFolderIsRefusedAndChangesNothing)
{
    auto first = makeApp();
    ASSERT_TRUE(first->start());
    ASSERT_TRUE(first->window().applyGateToOut(1));
    const QByteArray before = ReadFile(ini());
    RecordingDialogs otherDialogs;
    SelvaneApp::Options options;
    options.dialogs = &otherDialogs;
    options.trayAvailable = false;
    options.folder = dir.path();
    SelvaneApp second(options);
    EXPECT_FALSE(second.start());
    EXPECT_FALSE(second.window().isVisible());
    ASSERT_EQ(otherDialogs.folderErrors.size(), 1);
    EXPECT_TRUE(otherDialogs.folderErrors[0].contains(QDir::toNativeSeparators(dir.path())))
        << otherDialogs.folderErrors[0].toStdString();
    second.shutdown();
    EXPECT_EQ(ReadFile(ini()), before);
    first->shutdown();
    EXPECT_NE(ReadFile(ini()), before);  // the first one still owns it
}

// A Selvane.ini that is not a regular file: the window starts with the
// defaults, says so once, and its exit writes nothing there. A damaged one
// is kept beside the defaults that replace it.
TEST_F(AppFixture, SettingsFileThatIsNotRegularIsSaidAndNeverWritten)
{
    ASSERT_EQ(::mkfifo(QFile::encodeName(ini()).constData(), 0600), 0);
    {
        auto app = makeApp();
        ASSERT_TRUE(app->start());
        EXPECT_TRUE(app->window().gateToSats());
        EXPECT_EQ(dialogs.settingsProblems.size(), 1);
        ASSERT_TRUE(app->window().applyGateToOut(1));
        app->shutdown();
    }
    struct stat st {};
    ASSERT_EQ(::lstat(QFile::encodeName(ini()).constData(), &st), 0);
    EXPECT_TRUE(S_ISFIFO(st.st_mode));

    ASSERT_TRUE(QFile::remove(ini()));
    WriteFile(ini(), "\"WIDE,WIDE\",\"N1CALL-5\",\"1\"\r\n");
    auto app = makeApp();
    ASSERT_TRUE(app->start());
    EXPECT_EQ(ReadFile(ini() + ".damaged"), "\"WIDE,WIDE\",\"N1CALL-5\",\"1\"\r\n");
    EXPECT_EQ(ReadFile(ini()), kDefaults);
    EXPECT_EQ(dialogs.settingsProblems.size(), 1);
}

// aprs-is.conf is read at start: its state shows in the received-packets
// frame, an ignored line in a message.
TEST_F(AppFixture, AprsIsStateIsShownAndIgnoredLinesAreSaid)
{
    {
        auto off = makeApp();
        ASSERT_TRUE(off->start());
        EXPECT_EQ(off->window().aprsIsText(), "");
        off->shutdown();
    }
    QTcpServer closed;
    ASSERT_TRUE(closed.listen(QHostAddress::LocalHost, 0));
    const quint16 port = closed.serverPort();
    closed.close();
    WriteFile(dir.filePath("aprs-is.conf"), "enabled = yes\nserver = 127.0.0.1:" + QByteArray::number(port)
                                                + "\ncall = N1CALL-5\npasscode = 13022\nnonsense\n");
    auto app = makeApp();
    ASSERT_TRUE(app->start());
    ASSERT_EQ(dialogs.aprsIsProblems.size(), 1);
    EXPECT_TRUE(dialogs.aprsIsProblems[0].contains("riga 5")) << dialogs.aprsIsProblems[0].toStdString();
    const QString line = app->window().aprsIsText();
    EXPECT_TRUE(line.startsWith("APRS-IS: ")) << line.toStdString();
    EXPECT_TRUE(line.endsWith(", inviati 0, persi 0")) << line.toStdString();
}

TEST_F(AppFixture, HeardSatellitePacketIsGatedLoggedAndShown)
{
    TestEngine engine;
    ASSERT_TRUE(engine.listen(QHostAddress::LocalHost, 0));
    engine.setFixedTime(QTime(8, 15, 30));
    engine.setPorts({"Port1 a", "Port2 b", "Port3 c"});
    enginePort = engine.serverPort();
    auto app = makeApp();
    app->start();
    MainWindow& w = app->window();
    GatewaySettings s = w.collectSettings();
    s.agwpeHost = "127.0.0.1";
    s.gatewayCall = "N0CALL-5";
    s.outPorts = "2,3";
    w.applyTexts(s);
    w.applyDailyLog(1);
    EXPECT_TRUE(app->station().dailyLog().logEnabled());

    emit w.startClicked();
    ASSERT_TRUE(QTest::qWaitFor([&] { return engine.monitoring() && w.ports().size() == 3; }, 5000));
    engine.sendMonitor('U', 0, "N0CALL-9", "APRS", {"RS0ISS*"}, "Hello");
    auto sent = [&] {
        QList<ReceivedFrame> v;
        for (const ReceivedFrame& f : engine.received())
            if (f.kind == 'V')
                v.append(f);
        return v;
    };
    ASSERT_TRUE(QTest::qWaitFor([&] { return sent().size() == 2; }, 5000));
    EXPECT_EQ(sent()[0].port, 1);
    EXPECT_EQ(sent()[1].port, 2);
    EXPECT_EQ(sent()[0].via, QStringList({"RS0ISSP", "N0CALLE", "WIDE", "WIDE"}));
    EXPECT_EQ(sent()[0].text, "Hello");
    EXPECT_EQ(w.receivedColour(), PacketColour::Yellow);
    EXPECT_EQ(w.statusText(), "ToSats/ToOut/Tot dal 06/12 08:15 =0/1/1");
    EXPECT_EQ(w.trayTip(), "Selvane - ToSats/ToOut/Tot dal 06/12 08:15 =0/1/1");

    // Heard again within the duplicate time: counted, not sent.
    engine.sendMonitor('U', 0, "N0CALL-9", "APRS", {"RS0ISS*"}, "Hello");
    ASSERT_TRUE(QTest::qWaitFor([&] { return w.receivedColour() == PacketColour::LightGreen; }, 5000));
    EXPECT_EQ(w.statusText(), "ToSats/ToOut/Tot dal 06/12 08:15 =0/1/2");
    QTest::qWait(50);
    EXPECT_EQ(sent().size(), 2);

    EXPECT_EQ(ReadFile(dir.filePath("Logs/26-12-06.Txt")),
              "2026-12-06 08:15:30 START LOCAL TIME [Selvane]\r\n"
              "2026-12-06 08:15:30 08:15:30R N0CALL-9>APRS Port=1 <UI>:\r\n"
              "Hello\r\n");

    // "Logs" unchecked: logging stops and the file is closed.
    w.applyDailyLog(0);
    EXPECT_FALSE(app->station().dailyLog().logEnabled());
    EXPECT_TRUE(app->station().dailyLog().logDay().isEmpty());

    // A log that cannot be written: the packet still goes, and the notice
    // stays while the counters line is refreshed, until the log is written
    // again.
    w.applyDailyLog(1);
    ASSERT_TRUE(QDir(dir.filePath("Logs")).removeRecursively());
    WriteFile(dir.filePath("Logs"), "a file where the folder was");
    engine.sendMonitor('U', 0, "N0CALL-8", "APRS", {"RS0ISS*"}, "not logged");
    ASSERT_TRUE(QTest::qWaitFor([&] { return sent().size() == 4; }, 5000));
    EXPECT_EQ(w.statusText(), "ToSats/ToOut/Tot dal 06/12 08:15 =0/2/3");
    EXPECT_FALSE(w.noticeText().isEmpty());
    engine.sendMonitor('U', 0, "N0CALL-7", "APRS", {"RS0ISS*"}, "still not logged");
    ASSERT_TRUE(QTest::qWaitFor([&] { return sent().size() == 6; }, 5000));
    EXPECT_FALSE(w.noticeText().isEmpty());
    ASSERT_TRUE(QFile::remove(dir.filePath("Logs")));
    ASSERT_TRUE(QDir(dir.path()).mkdir("Logs"));
    engine.sendMonitor('U', 0, "N0CALL-6", "APRS", {"RS0ISS*"}, "logged again");
    ASSERT_TRUE(QTest::qWaitFor([&] { return w.noticeText().isEmpty(); }, 5000));
    EXPECT_TRUE(ReadFile(dir.filePath("Logs/26-12-06.Txt")).endsWith("logged again\r\n"));
}

// The engine of selvane.conf, a KISS TNC over TCP: named in the engine
// frame's caption and gated through; another engine written through the
// station is named in its turn and kept in selvane.conf.
TEST_F(AppFixture, TheEngineOfSelvaneConfIsUsedNamedAndChanged)
{
    TestEngine engine;
    engine.setProtocol(TestEngine::Protocol::Kiss);
    ASSERT_TRUE(engine.listen(QHostAddress::LocalHost, 0));
    const QString address = QStringLiteral("127.0.0.1:%1").arg(engine.serverPort());
    WriteFile(dir.filePath("selvane.conf"), "[engine]\ntype = kiss-tcp\naddress = " + address.toLatin1() + "\n");
    auto app = makeApp();
    ASSERT_TRUE(app->start());
    MainWindow& w = app->window();
    const auto* frame = w.findChild<QGroupBox*>("Frame2");
    EXPECT_EQ(frame->title(), "AGW Packet Engine Information - KISS TCP " + address);

    emit w.startClicked();
    ASSERT_TRUE(QTest::qWaitFor([&] { return engine.hasClient(); }, 5000));
    engine.sendHeard(0, "N0CALL-9", "APRS", {"RS0ISS*"}, "Hello");
    ASSERT_TRUE(QTest::qWaitFor([&] { return !engine.received().isEmpty(); }, 5000));
    EXPECT_EQ(TestEngine::formatRecord(engine.received()[0]),
              "K port=1 from=N0CALL-9 to=APRS via=RS0ISS*,KORVA*,WIDE,WIDE text=Hello");
    EXPECT_EQ(w.statusText(), "ToSats/ToOut/Tot dal 06/12 08:15 =0/1/1");
    emit w.startClicked();

    StationConfig config = app->station().config();
    config.engine.kind = EngineKind::Agw;
    config.engine.agwPort = 8123;
    ASSERT_TRUE(app->station().saveConfig(config, nullptr));
    // The KISS address stays in the file for a later change back.
    EXPECT_TRUE(ReadFile(dir.filePath("selvane.conf"))
                    .contains("[engine]\ntype = agw\naddress = " + address.toLatin1() + "\nport = 8123\n"))
        << ReadFile(dir.filePath("selvane.conf")).constData();
    EXPECT_EQ(app->station().engineKind(), EngineKind::Agw);
    EXPECT_EQ(frame->title(), "AGW Packet Engine Information - AGW localhost:8123 - Profilo: automatico");
    EXPECT_TRUE(app->link().isClosed());
}

} // namespace

// A stored place stays; one that no screen shows any more (a monitor since
// removed) is brought back onto the screen; 0, 0 is no place at all.
TEST_F(AppFixture, StoredPlacesAreKeptOrBroughtBackOnScreen)
{
    const struct {
        const char* place;  // main left, top, width ... telemetry height, top, left
        QPoint main;        // in pixels; (-1, -1): on the screen, anywhere
        QPoint telemetry;
    } cases[] = {
        {"1500,1200,10800,0,0,9005,300,450", {100, 80}, {30, 20}},
        {"60000,-30000,10800,0,0,9005,-45000,90000", {-1, -1}, {-1, -1}},
        {"0,0,10800,0,0,9005,0,0", {-1, -1}, {-1, -1}},
    };
    for (const auto& c : cases) {
        WriteFile(ini(), "\"WIDE,WIDE\",\"\",\"1\",\"2\",\"30\",\"localhost\"," + QByteArray(c.place) + ",0,1\r\n");
        auto app = makeApp();
        ASSERT_TRUE(app->start());
        const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
        TelemetryWindow* tlm = app->telemetryWindow();
        const std::pair<QWidget*, QPoint> windows[] = {{&app->window(), c.main}, {tlm, c.telemetry}};
        for (const auto& [window, expected] : windows) {
            if (expected.x() >= 0)
                EXPECT_EQ(window->pos(), expected) << c.place;
            else
                EXPECT_TRUE(screen.contains(QRect(window->pos(), QSize(48, 24)))) << c.place;
        }
        app->shutdown();
    }
}
