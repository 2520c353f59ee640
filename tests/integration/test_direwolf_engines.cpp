// selvaned against Dire Wolf through each way it can be reached: its KISS
// TCP port, its KISS pseudo-terminal (direwolf -p) opened as a serial
// device, and its AGW port with raw frames both ways. The audio of each
// packet goes in, and what Dire Wolf transmits is decoded again with every
// "has been repeated" bit shown.
//
// Needs direwolf, gen_packets and atest (package direwolf), stdbuf, and for
// the pseudo-terminal unshare -rm. Without them the tests are skipped,
// except on CI (CI=true), where they fail.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <memory>
#include <ostream>

#include "support/DireWolf.h"
#include "support/Files.h"
#include "support/Selvaned.h"

using namespace selvane::test;

namespace {

struct Route {
    const char* name;
    DireWolf::Interface interface;
};

void PrintTo(const Route& r, std::ostream* os)
{
    *os << r.name;
}

// One radio port, both Sats and Out; every box set; raw frames both ways
// (profile 3) for an AGW engine.
const QByteArray kSettings =
    "\"WIDE,WIDE\",\"N0CALL-5\",\"1\",\"1\",\"30\",\"127.0.0.1\",0,0,7470,0,1,4850,0,0,1,1,1,3\r\n";

struct DireWolfEngines : ::testing::TestWithParam<Route> {
    std::unique_ptr<DireWolf> engine;
    QTemporaryDir dir;
    Daemon daemon;

    void SetUp() override
    {
        const DireWolfTools tools = DireWolfTools::find();
        QString missing = tools.missing.join(QStringLiteral(", "));
        if (GetParam().interface == DireWolf::Interface::KissPty && missing.isEmpty() && !DireWolf::CanUnshare())
            missing = QStringLiteral("unshare -rm (a private /tmp for direwolf -p)");
        if (!missing.isEmpty()) {
            if (qgetenv("CI") == "true")
                FAIL() << "not available: " << missing.toStdString();
            GTEST_SKIP() << "not available: " << missing.toStdString();
        }
        ASSERT_TRUE(dir.isValid());
        WriteFile(dir.filePath("Selvane.ini"), kSettings);
        engine = std::make_unique<DireWolf>(tools, GetParam().interface);
        QString error;
        ASSERT_TRUE(engine->start(&error)) << error.toStdString();
        QString target;
        switch (GetParam().interface) {
        case DireWolf::Interface::Agw:
            target = QStringLiteral("agw://127.0.0.1:%1").arg(engine->agwPort());
            break;
        case DireWolf::Interface::KissTcp:
            target = QStringLiteral("kiss-tcp://127.0.0.1:%1").arg(engine->kissPort());
            break;
        case DireWolf::Interface::KissPty:
            ASSERT_FALSE(engine->kissDevice().isEmpty()) << engine->log().toStdString();
            target = QStringLiteral("kiss-serial:%1@9600").arg(engine->kissDevice());
            break;
        }
        daemon.start({"--dir", dir.path(), "--engine", target});
    }

    void TearDown() override
    {
        if (daemon.process.state() != QProcess::NotRunning) {
            daemon.signal(SIGTERM);
            daemon.process.waitForFinished(5000);
        }
        if (engine)
            engine->stop();
    }

    std::string dump()
    {
        return "selvaned:\n" + daemon.out.toStdString() + daemon.err.toStdString() + "\ndirewolf log:\n"
            + engine->log().toStdString();
    }

    void hear(const char* packet)
    {
        QString error;
        ASSERT_TRUE(engine->sendPacketAudio(QString::fromLatin1(packet), &error)) << error.toStdString();
    }
};

TEST_P(DireWolfEngines, IssPacketsGoDownMarkedUpPacketsGoUpOnceOthersStay)
{
    // Until the link is up, what Dire Wolf hears reaches nobody: the first
    // packet is heard again until it is on the air (the copies heard after
    // it are duplicates).
    const QString down = QStringLiteral("N0CALL-8>APRS,RS0ISS*,N0CALL-5*,WIDE,WIDE:direct iss");
    QStringList decoded;
    bool onAir = false;
    for (int attempt = 0; attempt < 5 && !onAir; ++attempt) {
        hear("N0CALL-8>APRS,RS0ISS*:direct iss");
        onAir = engine->waitForTransmitted(down, 3000, &decoded, true);
    }
    ASSERT_TRUE(onAir) << decoded.join('|').toStdString() << "\n" << dump();

    hear("N0CALL-6>APRS,RS0ISS:not repeated");
    hear("N0CALL-9>APRS,N0CALL-5,ARISS:going up");
    hear("N0CALL-9>APRS,N0CALL-5,ARISS:going up");
    hear("N0CALL-7>APRS,RS0ISS*:last");
    // Dire Wolf sends in order: once the last is on the air, so is all
    // that went before it.
    const QString last = QStringLiteral("N0CALL-7>APRS,RS0ISS*,N0CALL-5*,WIDE,WIDE:last");
    ASSERT_TRUE(engine->waitForTransmitted(last, 20000, &decoded, true)) << decoded.join('|').toStdString() << "\n"
                                                                         << dump();
    EXPECT_EQ(decoded, (QStringList{down, "N0CALL-9>APRS,N0CALL-5*,ARISS:going up", last})) << dump();
    EXPECT_TRUE(daemon.err.isEmpty()) << daemon.err.constData();
}

INSTANTIATE_TEST_SUITE_P(Routes, DireWolfEngines,
                         ::testing::Values(Route{"KissTcp", DireWolf::Interface::KissTcp},
                                           Route{"KissPseudoTerminal", DireWolf::Interface::KissPty},
                                           Route{"AgwRawFrames", DireWolf::Interface::Agw}),
                         [](const ::testing::TestParamInfo<Route>& info) { return info.param.name; });

} // namespace
