// A soak run of the headless gateway: 1,000,000 heard frames through a real
// selvaned process over loopback TCP against the in-process test engine,
// each one gated down from the Sats port to the Out port as a "V" frame.
//
// Reported: frames per second end to end (from the first "U" frame written
// to the last "V" frame received back), selvaned's processor time per frame
// (user and system, from /proc), its peak resident memory
// (VmHWM) and its resident memory (VmRSS) after 100,000 and after 1,000,000
// frames. Memory that stays flat between those two points is the claim: the
// stores a long run fills (packet lists, the duplicate filter, the output
// queue) are all bounded.
//
// Every frame carries a fresh sequence number in its information field, so
// none is a duplicate, and the "V" frames are checked to come back in that
// order on the Out port. Logging is off and selvaned's standard output goes
// to the null device, so the run measures the gateway, not the disk.
//
// The engine writes in batches and keeps at most a window of frames in
// flight (written and not yet answered), so neither its own output buffer
// nor what it records grows with the run.
//
// SELVANE_SOAK_FRAMES sets another number of frames for a quick trial (the
// middle reading is then taken at a tenth of it).
#include "EventLoop.h"
#include "testengine/TestEngine.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <unistd.h>

using namespace selvane;

namespace {

using SteadyClock = std::chrono::steady_clock;

constexpr qint64 kDefaultFrames = 1'000'000;
constexpr int kBatch = 250;          // frames written at once
constexpr int kWindow = 1000;        // frames written and not yet answered
constexpr int kStartTimeoutMs = 15000;
constexpr int kStallTimeoutMs = 30000;  // no "V" frame for this long: failed

constexpr int kHeardPort = 0;  // Sats port "1"
constexpr int kOutPort = 1;    // Out port "2"

// Via WIDE,WIDE, Sats "1", Out "2", duplicate time 30 s, daily log off,
// Gate to Out on.
const QByteArray kSettings =
    "\"WIDE,WIDE\",\"N0CALL-5\",\"1\",\"2\",\"30\",\"127.0.0.1\",0,0,7470,0,1,4850,0,0,1,1,1\r\n";

const QByteArray kSeqMarker("@@@@@@@@");
constexpr qsizetype kSeqDigits = 8;

struct FrameTemplate {
    QByteArray bytes;     // a whole "U" frame with the marker in its information
    qsizetype seqAt = 0;
};

// Heard through the ISS from eight stations, in turn.
QList<FrameTemplate> Templates()
{
    static const char* const calls[] = {"IK1ABC-7", "F4XYZ", "DL1QQ-9", "EA3RR-12",
                                        "OH2KKK", "I0XYZ-1", "G4ABC", "SP5QWE-3"};
    QList<FrameTemplate> out;
    for (const char* call : calls) {
        const QString info = QStringLiteral("=4500.12N/00712.34E-PHG2360/Soak ") + QString::fromLatin1(kSeqMarker);
        const QByteArray text = TestEngine::monitorText(kHeardPort, QString::fromLatin1(call), QStringLiteral("APRS"),
                                                        {QStringLiteral("RS0ISS*")}, info, QTime(10, 1, 2));
        FrameTemplate t{TestEngine::buildFrame('U', kHeardPort, call, "APRS", text), 0};
        t.seqAt = t.bytes.indexOf(kSeqMarker);
        out.append(t);
    }
    return out;
}

void PutSeq(char* at, qint64 seq)
{
    for (qsizetype i = kSeqDigits - 1; i >= 0; --i, seq /= 10)
        at[i] = char('0' + seq % 10);
}

// The number in the last eight characters of a text, or -1.
qint64 SeqAtEnd(const QString& text)
{
    if (text.size() < kSeqDigits)
        return -1;
    qint64 seq = 0;
    for (qsizetype i = text.size() - kSeqDigits; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c < u'0' || c > u'9')
            return -1;
        seq = seq * 10 + (c - u'0');
    }
    return seq;
}

// A field of /proc/PID/status in kB ("VmRSS", "VmHWM"), or -1.
double StatusKb(qint64 pid, const QByteArray& field)
{
    QFile file(QStringLiteral("/proc/%1/status").arg(pid));
    if (!file.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : file.readAll().split('\n'))
        if (line.startsWith(field + ':'))
            return line.mid(field.size() + 1).trimmed().split(' ').value(0).toDouble();
    return -1;
}

// The processor time a process has used so far (user and system), in
// seconds, or -1.
double CpuSeconds(qint64 pid)
{
    QFile file(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!file.open(QIODevice::ReadOnly))
        return -1;
    // After the command name in parentheses: state is field 3, utime 14 and
    // stime 15.
    const QByteArray line = file.readAll();
    const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
    if (fields.size() < 13)
        return -1;
    return (fields[11].toDouble() + fields[12].toDouble()) / double(::sysconf(_SC_CLK_TCK));
}

// Runs the event loop until done() holds; false when progress() has not
// changed for stallMs.
template <class Done, class Progress>
bool RunUntil(Done done, Progress progress, int stallMs)
{
    auto last = progress();
    auto since = SteadyClock::now();
    while (!done()) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        if (const auto now = progress(); now != last) {
            last = now;
            since = SteadyClock::now();
        } else if (SteadyClock::now() - since > std::chrono::milliseconds(stallMs)) {
            return false;
        }
    }
    return true;
}

// selvaned in a folder of its own, ended with SIGTERM (as systemd does) and
// killed if it does not end.
struct Daemon {
    QTemporaryDir dir;
    QProcess process;

    bool start(quint16 enginePort)
    {
        QFile ini(dir.filePath(QStringLiteral("Selvane.ini")));
        if (!dir.isValid() || !ini.open(QIODevice::WriteOnly) || ini.write(kSettings) != kSettings.size())
            return false;
        ini.close();
        process.setStandardOutputFile(QProcess::nullDevice());
        process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process.start(QStringLiteral(SELVANED_BINARY),
                      {QStringLiteral("--dir"), dir.path(), QStringLiteral("--engine-port"), QString::number(enginePort)});
        return process.waitForStarted(kStartTimeoutMs);
    }
    ~Daemon()
    {
        bench::EndProcess(process);
    }
};

void BM_SelvanedSoak(benchmark::State& state)
{
    const char* env = std::getenv("SELVANE_SOAK_FRAMES");
    const qint64 frames = env && std::atoll(env) >= 10 ? std::atoll(env) : kDefaultFrames;
    const qint64 checkpoint = frames / 10;

    QTimer watchdog;  // wakes the event loop so a stall is noticed
    watchdog.start(200);

    TestEngine engine;
    engine.setEchoTransmissions(false);
    engine.setFixedTime(QTime(10, 1, 2));
    if (!engine.listen(QHostAddress::LocalHost, 0)) {
        state.SkipWithError("the test engine cannot listen");
        return;
    }

    qint64 answered = 0;  // "V" frames received, each the next in sequence
    qint64 wrong = 0;     // on another port or out of sequence
    qint64 firstSeq = 0;
    QObject::connect(&engine, &TestEngine::frameReceived, [&](const ReceivedFrame& frame) {
        if (frame.kind != 'V')
            return;
        if (frame.port != kOutPort || SeqAtEnd(frame.text) != firstSeq + answered)
            ++wrong;
        ++answered;
    });

    Daemon daemon;
    if (!daemon.start(engine.serverPort())) {
        state.SkipWithError("selvaned does not start");
        return;
    }
    const qint64 pid = daemon.process.processId();

    QList<FrameTemplate> templates = Templates();
    qint64 sent = 0;
    const auto send = [&](qint64 count) {
        QByteArray batch;
        batch.reserve(templates.front().bytes.size() * 2 * count);
        for (qint64 k = 0; k < count; ++k, ++sent) {
            FrameTemplate& t = templates[sent % templates.size()];
            PutSeq(t.bytes.data() + t.seqAt, firstSeq + sent);
            batch += t.bytes;
        }
        engine.sendRaw(batch);
    };

    // Connected, monitoring, version and ports asked for; one frame gated
    // shows the whole path works before the clock starts.
    const auto monitoringWithPorts = [&] {
        if (!engine.monitoring())
            return false;
        const QList<ReceivedFrame> got = engine.received();
        return std::any_of(got.begin(), got.end(), [](const ReceivedFrame& f) { return f.kind == 'G'; });
    };
    const auto exited = [&] { return daemon.process.state() == QProcess::NotRunning; };
    const auto deadline = SteadyClock::now() + std::chrono::milliseconds(kStartTimeoutMs);
    while (!monitoringWithPorts() && !exited() && SteadyClock::now() < deadline)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    if (!monitoringWithPorts()) {
        state.SkipWithError("selvaned did not connect to the test engine");
        return;
    }
    send(1);
    if (!RunUntil([&] { return answered == 1 || exited(); }, [&] { return answered; }, kStartTimeoutMs)
        || answered != 1 || wrong != 0) {
        state.SkipWithError("the first frame was not gated");
        return;
    }
    engine.clearReceived();
    firstSeq = sent;
    sent = 0;
    answered = 0;

    double rssAtCheckpoint = -1;
    double seconds = 0;
    const double cpuAtStart = CpuSeconds(pid);
    bool ok = true;
    for (auto _ : state) {
        const auto start = SteadyClock::now();
        while (ok && answered < frames) {
            if (sent < frames && sent - answered <= kWindow - kBatch)
                send(std::min<qint64>(kBatch, frames - sent));
            const qint64 target = std::min(frames, answered + 1);
            ok = RunUntil([&] { return answered >= target || exited(); }, [&] { return answered; }, kStallTimeoutMs)
                 && !exited();
            engine.clearReceived();  // the engine's own record must not grow
            if (rssAtCheckpoint < 0 && answered >= checkpoint)
                rssAtCheckpoint = StatusKb(pid, "VmRSS");
        }
        seconds = std::chrono::duration<double>(SteadyClock::now() - start).count();
    }
    if (!ok) {
        state.SkipWithError(exited() ? "selvaned ended during the run" : "the V frames stopped coming");
        return;
    }
    if (wrong != 0) {
        state.SkipWithError("V frames on the wrong port or out of sequence");
        return;
    }

    const double cpu = CpuSeconds(pid) - cpuAtStart;
    const double rssAtEnd = StatusKb(pid, "VmRSS");
    const double peak = StatusKb(pid, "VmHWM");
    state.counters["frames"] = double(answered);
    state.counters["frames_per_s"] = seconds > 0 ? double(answered) / seconds : 0;
    state.counters["selvaned_cpu_us_per_frame"] = cpuAtStart >= 0 && answered > 0 ? cpu * 1e6 / double(answered) : -1;
    state.counters["peak_kB"] = peak;
    state.counters["rss_100k_kB"] = rssAtCheckpoint;
    state.counters["rss_1M_kB"] = rssAtEnd;
    state.counters["rss_growth_kB"] = rssAtEnd - rssAtCheckpoint;
    state.counters["rss_ratio"] = rssAtCheckpoint > 0 ? rssAtEnd / rssAtCheckpoint : 0;
    state.SetItemsProcessed(answered);
}

} // namespace

BENCHMARK(BM_SelvanedSoak)->Iterations(1)->UseRealTime()->Unit(benchmark::kSecond);

int main(int argc, char** argv)
{
    return bench::RunWithEventLoop(argc, argv);
}
