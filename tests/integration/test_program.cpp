#include <gtest/gtest.h>

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>

namespace {

// Starts the real program in its own working directory, headless.
struct Program {
    QTemporaryDir dir;
    QProcess process;

    // Returns once the signal handlers are in place: the folder lock is
    // taken right after them.
    void launch()
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_QPA_PLATFORM", "offscreen");
        process.setProcessEnvironment(env);
        process.setWorkingDirectory(dir.path());
        process.start(QStringLiteral(SELVANE_BINARY), {});
        ASSERT_TRUE(process.waitForStarted(10000));
        ASSERT_TRUE(QTest::qWaitFor([&] { return QFile::exists(dir.filePath("Selvane.lock")); }, 10000));
    }

    void start()
    {
        launch();
        // Start-up is done when the settings file has been rewritten (a first
        // start writes the defaults).
        ASSERT_TRUE(QTest::qWaitFor([&] { return QFile::exists(dir.filePath("Selvane.ini")); }, 10000));
        QTest::qWait(300);
    }

    ~Program()
    {
        if (process.state() != QProcess::NotRunning) {
            process.kill();
            process.waitForFinished(5000);
        }
    }

    QByteArray settings() const
    {
        QFile f(dir.filePath("Selvane.ini"));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
};

const QByteArray kDefaults =
    "\"WIDE,WIDE\",\"\",\"1\",\"2\",\"30\",\"localhost\",0,0,7470,0,1,4850,0,0,0,1\r\n";

void ExpectShutDownBy(int signal)
{
    Program program;
    ASSERT_TRUE(program.dir.isValid());
    program.start();
    EXPECT_EQ(program.settings(), kDefaults);
    EXPECT_TRUE(QFileInfo(program.dir.filePath("Logs")).isDir());

    ::kill(pid_t(program.process.processId()), signal);
    ASSERT_TRUE(program.process.waitForFinished(10000));
    EXPECT_EQ(program.process.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(program.process.exitCode(), 0);
    // The exit wrote the full record of the windows: 17 fields.
    const QByteArray written = program.settings();
    EXPECT_TRUE(written.endsWith("\r\n"));
    EXPECT_TRUE(written.startsWith("\"WIDE,WIDE\",\"\",\"1\",\"2\",\"30\",\"localhost\","));
    EXPECT_EQ(written.count(',') - 1, 16) << written.constData();  // one comma is inside "WIDE,WIDE"
    EXPECT_TRUE(written.endsWith(",0,1,0\r\n")) << written.constData();
}

TEST(Program, TerminationSignalRunsTheShutDown)
{
    ExpectShutDownBy(SIGTERM);
}

TEST(Program, InterruptRunsTheShutDown)
{
    ExpectShutDownBy(SIGINT);
}

TEST(Program, HangupRunsTheShutDown)
{
    ExpectShutDownBy(SIGHUP);
}

// A Selvane.ini record with the fields of the windows' places and sizes
// (7 to 9, 12 to 14) emptied; "WIDE,WIDE" holds the one comma inside a text.
QByteArray WithoutWindowPlaces(const QByteArray& record)
{
    QList<QByteArray> fields = record.split(',');
    for (int field : {7, 8, 9, 12, 13, 14})
        if (field < fields.size())
            fields[field].clear();
    return fields.join(',');
}

// The telemetry window shown in "Show Tlm" mode refuses to close (its close
// is the user's "Hide"), so a signal must not end the program by closing
// every window: one SIGTERM always ends it, and the mode saved is the one
// chosen. The signal goes as soon as the handlers are in place (the folder
// lock exists), before or after the windows appear; repeated, since which
// window a close-all reaches first varies from run to run.
TEST(Program, OneTerminationSignalEndsTheProgramWithTheTelemetryWindowShownAndKeepsItsMode)
{
    const QByteArray shown =
        "\"WIDE,WIDE\",\"N0CALL-5\",\"1\",\"2\",\"30\",\"localhost\",0,0,7470,0,0,4850,0,0,0,1,0\r\n";
    for (int run = 0; run < 6; ++run) {
        SCOPED_TRACE(run);
        Program program;
        ASSERT_TRUE(program.dir.isValid());
        QFile ini(program.dir.filePath("Selvane.ini"));
        ASSERT_TRUE(ini.open(QIODevice::WriteOnly) && ini.write(shown) == shown.size());
        ini.close();
        program.launch();
        ::kill(pid_t(program.process.processId()), SIGTERM);
        ASSERT_TRUE(program.process.waitForFinished(10000)) << "still running after one SIGTERM";
        EXPECT_EQ(program.process.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(program.process.exitCode(), 0);
        // Every setting as it was; the windows' places and sizes are the
        // program's own (a first start places the windows).
        EXPECT_EQ(WithoutWindowPlaces(program.settings()), WithoutWindowPlaces(shown));
    }
}

// Where "Logs" cannot be made, start-up shows a message box before the main
// loop runs; a termination signal then still ends the program.
TEST(Program, SignalDuringTheStartUpMessageBoxEndsTheProgram)
{
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    process.setProcessEnvironment(env);
    process.setWorkingDirectory("/proc");  // nothing can be created here, not even by root
    process.start(QStringLiteral(SELVANE_BINARY), {});
    ASSERT_TRUE(process.waitForStarted(10000));
    QTest::qWait(1500);
    ASSERT_EQ(process.state(), QProcess::Running);  // waiting on the box
    ::kill(pid_t(process.processId()), SIGTERM);
    EXPECT_TRUE(process.waitForFinished(10000));
    EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
    if (process.state() != QProcess::NotRunning) {
        process.kill();
        process.waitForFinished(5000);
    }
}

} // namespace
