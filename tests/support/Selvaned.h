#pragma once
#include <QByteArray>
#include <QProcess>
#include <QProcessEnvironment>
#include <QStringList>
#include <QTest>

#include <csignal>
#include <gtest/gtest.h>

namespace selvane::test {

// selvaned as a service runs it: no display, no platform plugin; its output
// collected as it comes.
struct Daemon {
    QProcess process;
    QByteArray out, err;

    QString program = QStringLiteral(SELVANED_BINARY);

    void start(const QStringList& args)
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "LANGUAGE", "LC_ALL", "LC_MESSAGES"})
            env.remove(QString::fromLatin1(name));
        // The event lines in the language they are written in, whatever the
        // desktop of the one running the tests.
        env.insert(QStringLiteral("LANG"), QStringLiteral("C.UTF-8"));
        process.setProcessEnvironment(env);
        QObject::connect(&process, &QProcess::readyReadStandardOutput, [this] { out += process.readAllStandardOutput(); });
        QObject::connect(&process, &QProcess::readyReadStandardError, [this] { err += process.readAllStandardError(); });
        process.start(program, args);
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

} // namespace selvane::test
