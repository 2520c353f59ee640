#include <gtest/gtest.h>

#include <QFile>
#include <QLocale>
#include <QTemporaryDir>
#include <QTest>

#include "support/Files.h"
#include "testengine/TestEngine.h"
#include "ui/RecordingDialogs.h"
#include "ui/SelvaneApp.h"
#include "ui/TelemetryPlots.h"

using namespace selvane;
using namespace selvane::test;

namespace {

const QDate kToday(2026, 12, 6);

// Field n (1-based) of a Selvane.ini record, without its quotes.
QByteArray Field(const QByteArray& record, int n)
{
    QList<QByteArray> fields{{}};
    bool quoted = false;
    for (char c : record.trimmed()) {
        if (c == '"')
            quoted = !quoted;
        else if (c == ',' && !quoted)
            fields.append(QByteArray());
        else
            fields.last().append(c);
    }
    return fields.value(n - 1);
}
const QString kPanels = QStringLiteral("T#123,100,120,140,160,000,00000000,1,00");

struct TelemetryAppFixture : ::testing::Test {
    QTemporaryDir dir;
    RecordingDialogs dialogs;
    TestEngine engine;
    std::unique_ptr<SelvaneApp> app;

    void start(const QByteArray& settings = {})
    {
        ASSERT_TRUE(engine.listen(QHostAddress::LocalHost, 0));
        engine.setFixedTime(QTime(8, 15, 30));
        if (!settings.isEmpty())
            WriteFile(dir.filePath("Selvane.ini"), settings);
        SelvaneApp::Options options;
        options.dialogs = &dialogs;
        options.trayAvailable = false;
        options.folder = dir.path();
        options.enginePort = engine.serverPort();
        options.clock = [] { return QDateTime(kToday, QTime(8, 15, 30)); };
        app = std::make_unique<SelvaneApp>(options);
        app->start();
    }

    void connect()
    {
        emit app->window().startClicked();
        ASSERT_TRUE(QTest::qWaitFor([&] { return engine.monitoring() && app->window().ports().size() == 2; }, 5000));
    }

    QList<ReceivedFrame> sent() const
    {
        QList<ReceivedFrame> v;
        for (const ReceivedFrame& f : engine.received())
            if (f.kind == 'V')
                v.append(f);
        return v;
    }
};

TEST_F(TelemetryAppFixture, TelemetryIsDecodedShownGatedAndKeptInTheHistory)
{
    // Host, call, "Show Tlm", logs on, Gate Telemetry on.
    start("\"WIDE,WIDE\",\"N0CALL-5\",\"1\",\"2\",\"30\",\"127.0.0.1\",0,0,7470,1,0,4850,0,0,0,1,1\r\n");
    TelemetryWindow* tlm = app->telemetryWindow();
    ASSERT_NE(tlm, nullptr);
    EXPECT_TRUE(tlm->isVisible());
    connect();

    engine.sendMonitor('U', 0, "PCSAT-1", "APRS", {}, kPanels);
    ASSERT_TRUE(QTest::qWaitFor([&] { return sent().size() == 1; }, 5000));
    const QString bulletin = ":BLN1KORVA:Pcsat: Pannelli +X=51mA +Y=69mA +Z=105mA 8:15";
    EXPECT_EQ(sent()[0].text, bulletin);
    EXPECT_EQ(sent()[0].via, QStringList({"N0CALLE", "WIDE", "WIDE"}));
    EXPECT_EQ(sent()[0].port, 1);
    EXPECT_EQ(app->window().receivedLines().value(1), bulletin);
    EXPECT_EQ(tlm->lines(TelemetryList::M), QStringList({"0 08:15 Pannelli +X=51mA +Y=69mA +Z=105mA"}));
    EXPECT_EQ(tlm->telemetryCaption(),
              "Current PCSAT Telemetry - " + QLocale().toString(kToday, QLocale::LongFormat));
    EXPECT_EQ(ReadFile(dir.filePath("Logs/26-12-06.Tlh")),
              "\"2026-12-06\"\r\n\"0 08:15 Pannelli +X=51mA +Y=69mA +Z=105mA\"\r\n");
    // The daily log holds the bulletin, never the raw line.
    const QByteArray log = ReadFile(dir.filePath("Logs/26-12-06.Txt"));
    EXPECT_TRUE(log.contains(bulletin.toLatin1()));
    EXPECT_FALSE(log.contains("T#123"));
}

TEST_F(TelemetryAppFixture, BatteryLowRaisesTheWarningOnTheMainWindow)
{
    start("\"WIDE,WIDE\",\"\",\"1\",\"2\",\"30\",\"127.0.0.1\",0,0,7470,0,1,4850,0,0,0,1,0\r\n");
    connect();
    engine.sendMonitor('U', 0, "PCSAT-1", "APRS", {}, "T#124,140,152,040,230,000,00000000,1,11");
    ASSERT_TRUE(QTest::qWaitFor([&] { return app->window().isWarningVisible(); }, 5000));
    EXPECT_EQ(app->window().warningText(), "06/12 08:15  PCSAT A: Batt Low");
    EXPECT_FALSE(app->telemetryWindow()->isVisible());  // mode "Hide"
    EXPECT_TRUE(sent().isEmpty());  // neither Gate Telemetry nor Gate to Out
}

// Safe mode is known only as it happens: marked on the plots at its time.
TEST_F(TelemetryAppFixture, SafeModeIsMarkedOnThePlotsAsItHappens)
{
    start("\"WIDE,WIDE\",\"\",\"1\",\"2\",\"30\",\"127.0.0.1\",0,0,7470,0,1,4850,0,0,0,1,0\r\n");
    connect();
    engine.sendMonitor('U', 0, "W3ADO-1", "APRS", {}, "T#123,100,120,140,160,000,11111111,1,00");
    ASSERT_TRUE(QTest::qWaitFor([&] { return app->window().isWarningVisible(); }, 5000));
    TelemetryPlots& plots = app->telemetryWindow()->plots();
    plots.refresh();
    EXPECT_EQ(plots.safeModeMarks(TelemetryQuantity::PanelCurrent), QStringList{"08:15"});
    EXPECT_EQ(plots.drawn(TelemetryQuantity::PanelCurrent, "A +X"), QStringList{"08:15=51"});
}

TEST_F(TelemetryAppFixture, AutoModeShowsTheWindowWhenTelemetryArrives)
{
    start("\"WIDE,WIDE\",\"\",\"1\",\"2\",\"30\",\"127.0.0.1\",0,0,7470,0,2,4850,0,0,0,1,0\r\n");
    EXPECT_FALSE(app->telemetryWindow()->isVisible());
    connect();
    engine.sendMonitor('U', 0, "W3ADO-1", "APRS", {}, kPanels);
    ASSERT_TRUE(QTest::qWaitFor([&] { return app->telemetryWindow()->isVisible(); }, 5000));
    for (int i = 0; i < 14; ++i)
        app->telemetryModes().tick();
    EXPECT_TRUE(app->telemetryWindow()->isVisible());
    app->telemetryModes().tick();
    EXPECT_FALSE(app->telemetryWindow()->isVisible());
}

TEST_F(TelemetryAppFixture, HideButtonInShowModeSelectsHide)
{
    start("\"WIDE,WIDE\",\"\",\"1\",\"2\",\"30\",\"localhost\",0,0,7470,0,0,4850,0,0,0,1,0\r\n");
    ASSERT_TRUE(app->telemetryWindow()->isVisible());
    emit app->telemetryWindow()->hideClicked();
    EXPECT_FALSE(app->telemetryWindow()->isVisible());
    EXPECT_EQ(app->window().selectedTelemetryMode(), 1);
    app->shutdown();
    EXPECT_EQ(Field(ReadFile(dir.filePath("Selvane.ini")), 11), "1");
}

TEST_F(TelemetryAppFixture, ExitStoresTheTelemetryWindowsPlaceAndDestroysIt)
{
    start("\"WIDE,WIDE\",\"\",\"1\",\"2\",\"30\",\"localhost\",0,0,7470,0,0,6000,300,450,0,1,0\r\n");
    TelemetryWindow* tlm = app->telemetryWindow();
    EXPECT_EQ(tlm->outerHeightTwips(), 6000);
    EXPECT_EQ(tlm->topTwips(), 300);
    EXPECT_EQ(tlm->leftTwips(), 450);
    app->shutdown();
    EXPECT_EQ(app->telemetryWindow(), nullptr);
    const QByteArray saved = ReadFile(dir.filePath("Selvane.ini"));
    EXPECT_EQ(Field(saved, 12) + "," + Field(saved, 13) + "," + Field(saved, 14), "6000,300,450");
}

TEST_F(TelemetryAppFixture, ShortRecordShowsTheTelemetryWindowAtItsMinimum)
{
    // Ends after field 10: the rest read as 0, so mode "Show Tlm".
    start("\"WIDE,WIDE\",\"\",\"1\",\"2\",\"30\",\"localhost\",0,0,7470,0\r\n");
    TelemetryWindow* tlm = app->telemetryWindow();
    EXPECT_EQ(app->window().selectedTelemetryMode(), 0);
    EXPECT_TRUE(tlm->isVisible());
    // No height, no place: as tall as the texts need, beside the main window.
    EXPECT_EQ(tlm->height(), tlm->minimumHeight());
    EXPECT_EQ(tlm->outerHeightTwips(), TelemetryWindowMetrics::OuterHeightFromClientPixels(tlm->minimumHeight()));
    EXPECT_NE(tlm->pos(), QPoint(0, 0));
    EXPECT_FALSE(app->window().gateToOut());
    EXPECT_FALSE(app->window().gateToSats());
    EXPECT_FALSE(app->window().gateTelemetry());
    // The file was rewritten with the defaults.
    EXPECT_EQ(ReadFile(dir.filePath("Selvane.ini")),
              "\"WIDE,WIDE\",\"\",\"1\",\"2\",\"30\",\"localhost\",0,0,7470,0,1,4850,0,0,0,1\r\n");
}

TEST_F(TelemetryAppFixture, RefusedModeKeepsHideAndTheNextExitStoresIt)
{
    start("\"WIDE,WIDE\",\"\",\"1\",\"2\",\"30\",\"localhost\",0,0,7470,0,7,4850,0,0,1,1,1\r\n");
    EXPECT_EQ(app->window().selectedTelemetryMode(), 1);
    EXPECT_FALSE(app->telemetryWindow()->isVisible());
    EXPECT_TRUE(app->window().gateToOut());  // the later steps were still applied
    app->shutdown();
    const QByteArray saved = ReadFile(dir.filePath("Selvane.ini"));
    EXPECT_TRUE(saved.startsWith("\"WIDE,WIDE\",\"\",\"1\",\"2\",\"30\",\"localhost\",")) << saved.constData();
    EXPECT_TRUE(saved.endsWith(",1,1,1\r\n")) << saved.constData();
    EXPECT_EQ(Field(saved, 11), "1");
}

TEST_F(TelemetryAppFixture, LoadTlmFillsTheWindowOrReportsTheFile)
{
    start();
    WriteFile(dir.filePath("Logs/26-12-01.Tlh"),
              "\"2026-12-01\"\r\n\"2 10:00 Temp +X=14.4C Stack=21.3C Corrente -Y=58mA\"\r\n"
              "\"1 10:05 Temp Batt=21.3C Tx=28.1C +Y=14.4C +Z=34.9C\"\r\n");
    dialogs.historyAnswer = dir.filePath("Logs/26-12-01.Tlh");
    emit app->telemetryWindow()->loadRequested();
    ASSERT_EQ(dialogs.historyDirs.size(), 1);
    EXPECT_EQ(QDir(dialogs.historyDirs[0]).canonicalPath(), QDir(dir.filePath("Logs")).canonicalPath());
    EXPECT_EQ(app->telemetryWindow()->lines(TelemetryList::A),
              QStringList({"1 10:05 Temp Batt=21.3C Tx=28.1C +Y=14.4C +Z=34.9C",
                           "2 10:00 Temp +X=14.4C Stack=21.3C Corrente -Y=58mA"}));
    EXPECT_EQ(app->telemetryWindow()->telemetryCaption(),
              "PCSAT TLM History - " + QLocale().toString(QDate(2026, 12, 1), QLocale::LongFormat));
    EXPECT_TRUE(dialogs.loadErrors.isEmpty());
    // The plots draw the day loaded.
    TelemetryPlots& plots = app->telemetryWindow()->plots();
    plots.refresh();
    EXPECT_EQ(plots.drawn(TelemetryQuantity::Temperature, "A Batt"), QStringList{"10:05=21.3"});
    EXPECT_EQ(plots.drawn(TelemetryQuantity::BatteryCurrent, "A -Y"), QStringList{"10:00=58"});

    WriteFile(dir.filePath("notes.txt"), "hello\r\n");
    dialogs.historyAnswer = dir.filePath("notes.txt");
    emit app->telemetryWindow()->loadRequested();
    EXPECT_EQ(dialogs.loadErrors, QStringList({dir.filePath("notes.txt")}));
    EXPECT_EQ(app->telemetryWindow()->lines(TelemetryList::A).size(), 2);  // kept

    dialogs.historyAnswer.clear();  // cancelled
    emit app->telemetryWindow()->loadRequested();
    EXPECT_EQ(dialogs.loadErrors.size(), 1);
}

} // namespace
