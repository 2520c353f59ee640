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

    void start()
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_QPA_PLATFORM", "offscreen");
        process.setProcessEnvironment(env);
        process.setWorkingDirectory(dir.path());
        process.start(QStringLiteral(SELVANE_BINARY), {});
        ASSERT_TRUE(process.waitForStarted(10000));
        // Start-up is done when the settings file has been rewritten (a first
        // start writes the defaults).
        ASSERT_TRUE(QTest::qWaitFor([&] { return QFile::exists(dir.filePath("Selvane.ini")); }, 10000));
        QTest::qWait(300);
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
