// One table of heard packets run through both front ends, the window and
// selvaned, each with its own station, against the test engine: the same
// packets give the same frames, with the built-in satellites and with a
// selvane.conf that changes them.
#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

#include "support/Files.h"
#include "support/Selvaned.h"
#include "testengine/TestEngine.h"
#include "ui/RecordingDialogs.h"
#include "ui/SelvaneApp.h"

using namespace selvane;
using namespace selvane::test;

namespace {

// Gate down and up between port 1 (Sats) and port 2 (Out), every box set.
const QByteArray kSettings =
    "\"WIDE,WIDE\",\"N0CALL-5\",\"1\",\"2\",\"30\",\"127.0.0.1\",0,0,7470,0,1,4850,0,0,1,1,1\r\n";
// The ISS off, a satellite of the user's, three packets a minute up.
const QByteArray kConfig = "[satellite ISS]\nenabled = no\n"
                           "[satellite FOX]\ndigipeaters = FOXSAT-*\nuplink = FOX\n"
                           "[uplink]\nmax-per-minute = 3\n";

struct Heard {
    int port;  // 0-based
    const char* from;
    QStringList via;
    const char* info;
};

const Heard kHeard[] = {
    {0, "N1CALL-1", {"RS0ISS*"}, "iss"},
    {0, "N1CALL-2", {"PSAT2-1*", "WIDE2-1"}, "psat2"},
    {0, "N1CALL-3", {"FOXSAT-2*"}, "fox"},
    {0, "N1CALL-4", {"WIDE1-1*", "PCSAT-1*"}, "second place"},
    {1, "N1CALL-5", {"N0CALL-5", "ARISS"}, "up iss"},
    {1, "N1CALL-6", {"N0CALL-5", "FOX"}, "up fox"},
    {1, "N1CALL-7", {"N0CALL-5", "PSAT2"}, "up psat2"},
    {1, "N1CALL-8", {"N0CALL-5", "DP0SNX"}, "up sonate"},
    {1, "N1CALL-9", {"N0CALL-5", "A55BTN"}, "up eos"},
    {0, "N1CALL-1", {"RS0ISS*"}, "iss"},  // a duplicate
    {0, "N1CALL-15", {"PSAT2-1*"}, "end"},  // once it is sent, all were handled
};

// The "V" frames sent, as "port via:text", in order.
const QStringList kBuiltIn = {
    "1 RS0ISSP,N0CALLE,WIDE,WIDE:iss",
    "1 PSAT2 A,N0CALLE,WIDE,WIDE:psat2",
    "0 N0CALLE,ARISS:up iss",
    "0 N0CALLE,PSAT2:up psat2",
    "0 N0CALLE,DP0SNX:up sonate",
    "0 N0CALLE,A55BTN:up eos",
    "1 PSAT2 A,N0CALLE,WIDE,WIDE:end",
};
struct FrontEnds : ::testing::TestWithParam<bool> {
    QTemporaryDir dir;
    TestEngine engine;

    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        ASSERT_TRUE(engine.listen(QHostAddress::LocalHost, 0));
        WriteFile(dir.filePath("Selvane.ini"), kSettings);
        if (GetParam())
            WriteFile(dir.filePath("selvane.conf"), kConfig);
    }
    QStringList expected() const
    {
        if (!GetParam())
            return kBuiltIn;
        return {"1 PSAT2 A,N0CALLE,WIDE,WIDE:psat2", "1 FOXSATB,N0CALLE,WIDE,WIDE:fox", "0 N0CALLE,FOX:up fox",
                "0 N0CALLE,PSAT2:up psat2", "0 N0CALLE,DP0SNX:up sonate",  // A55BTN: over three a minute
                "1 PSAT2 A,N0CALLE,WIDE,WIDE:end"};
    }
    QStringList sent() const
    {
        QStringList v;
        for (const ReceivedFrame& f : engine.received())
            if (f.kind == 'V')
                v << QStringLiteral("%1 %2:%3").arg(f.port).arg(f.via.join(','), f.text);
        return v;
    }
    bool ready() const
    {
        bool ports = false;
        for (const ReceivedFrame& f : engine.received())
            ports = ports || f.kind == 'G';
        return engine.monitoring() && ports;
    }
    void hearAll()
    {
        for (const Heard& h : kHeard)
            engine.sendMonitor('U', h.port, h.from, "APRS", h.via, h.info);
        ASSERT_TRUE(QTest::qWaitFor([&] { return sent().value(sent().size() - 1).endsWith(":end"); }, 10000))
            << sent().join('\n').toStdString();
    }
};

TEST_P(FrontEnds, TheWindowAndTheServiceSendTheSameFrames)
{
    QStringList fromWindow, fromService;
    {
        RecordingDialogs dialogs;
        SelvaneApp::Options options;
        options.dialogs = &dialogs;
        options.trayAvailable = false;
        options.folder = dir.path();
        options.enginePort = engine.serverPort();
        SelvaneApp app(options);
        ASSERT_TRUE(app.start());
        EXPECT_TRUE(dialogs.aprsIsProblems.isEmpty()) << dialogs.aprsIsProblems.join('\n').toStdString();
        emit app.window().startClicked();
        ASSERT_TRUE(QTest::qWaitFor([&] { return ready(); }, 10000));
        hearAll();
        fromWindow = sent();
        app.shutdown();
    }
    engine.clearReceived();
    {
        Daemon daemon;
        daemon.start({"--dir", dir.path(), "--engine-port", QString::number(engine.serverPort())});
        ASSERT_TRUE(QTest::qWaitFor([&] { return ready(); }, 10000)) << daemon.err.constData();
        hearAll();
        fromService = sent();
        EXPECT_TRUE(daemon.err.isEmpty()) << daemon.err.constData();
    }
    EXPECT_EQ(fromWindow, expected());
    EXPECT_EQ(fromService, expected());
}

INSTANTIATE_TEST_SUITE_P(Satellites, FrontEnds, ::testing::Values(false, true),
                         [](const auto& info) { return info.param ? "Configured" : "BuiltIn"; });

} // namespace
