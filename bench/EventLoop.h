// What the benchmarks that drive sockets and processes share: waiting on
// Qt's event loop for a condition, ending a program they started, and a
// main() that gives them an event loop.
#pragma once

#include <QCoreApplication>
#include <QProcess>
#include <benchmark/benchmark.h>

#include <chrono>

namespace bench {

// Runs the event loop until done() holds or timeoutMs has passed; false at
// the limit. It blocks until something happens, so the caller keeps a slow
// timer running for a silent link still to wake it and look at the deadline.
template <class Done>
bool RunUntil(Done done, int timeoutMs)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    return true;
}

// Ends a program the benchmark started: SIGTERM, and SIGKILL if it has not
// ended within 10 s.
inline void EndProcess(QProcess& process)
{
    if (process.state() == QProcess::NotRunning)
        return;
    process.terminate();
    if (!process.waitForFinished(10000)) {
        process.kill();
        process.waitForFinished(5000);
    }
}

// main() of such a benchmark: everything runs on this thread, whose event
// dispatcher the sockets need. afterRun, if given, prints what the runs
// measured together.
inline int RunWithEventLoop(int argc, char** argv, void (*afterRun)() = nullptr)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    if (afterRun)
        afterRun();
    benchmark::Shutdown();
    return 0;
}

} // namespace bench
