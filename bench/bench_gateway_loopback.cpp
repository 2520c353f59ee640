// The whole gateway path over loopback TCP: the test engine writes heard "U"
// frames, Selvane (link, dispatcher, routing, duplicate filter) answers each
// with one re-transmitted "V" frame on the Out port. Measured as frames per
// second with the frames written all at once (pipelined) and as latency
// (median and 99th percentile, from the engine writing a "U" frame to the
// engine receiving the matching "V" frame) with one frame at a time.
//
// Beside it, the same measurement of a minimal client: a plain QTcpSocket
// that cuts the stream into frames just enough to count them and answers
// every "U" frame with one fixed "V" frame (the size of Selvane's answer to
// the first of the eight packets used). Same engine,
// same frames, same clock, same event loop; the ratio Selvane / minimal is
// printed at the end of the run.
//
// Every frame carries a fresh sequence number in its information text, so
// the duplicate filter (at its default 30 s) sees every frame as new and is
// exercised on each one; logging is off.
//
// Each case runs twice: with the engine silent apart from the "U" frames,
// and with the engine echoing every "V" frame as a "T" monitor frame, as an
// engine does for a client that asked for monitoring. Without the echo the
// engine has nothing to send back after a burst, so it delays its ACK
// (about 40 ms on Linux) while the client's socket, which does not disable
// Nagle's algorithm, holds its last small "V" frames until that ACK comes:
// a pipelined burst then often ends in one such stall. The echo carries the
// ACKs back at once.
//
// In the pipelined cases the latency figures are dominated by the queue of
// the burst (a frame written last waits for all before it); the latency of
// the path itself is what the one-at-a-time cases show.
//
// BM_GatewayFlood is the sustained rate: frames written at a fixed pace (by
// default 10,000 a second for a minute) rather than as fast as Selvane
// answers; see there.
#include "EventLoop.h"
#include "agw/AgwFrame.h"
#include "gateway/Gateway.h"
#include "testengine/TestEngine.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTimer>
#include <QtEndian>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <map>
#include <memory>
#include <string>
#include <vector>

using namespace selvane;

namespace {

using SteadyClock = std::chrono::steady_clock;

constexpr int FramesPerIteration = 2000;
constexpr int ConnectTimeoutMs = 5000;
constexpr int PipelinedTimeoutMs = 30000;  // a whole iteration
constexpr int SingleFrameTimeoutMs = 5000; // one frame, one at a time

// Heard on port 0 (Sats port "1"), gated to port 1 (Out port "2") only.
constexpr int HeardPort = 0;
constexpr int OutPort = 1;

// Eight digits of sequence number replace this marker in each frame.
const QByteArray SeqMarker("@@@@@@@@");
constexpr qsizetype SeqDigits = 8;

// Never repeats within a run, across benchmarks and calls, so no frame is
// ever a duplicate of an earlier one.
quint64 g_nextSeq = 1;

enum class Client { Selvane, Minimal };
enum class Mode { Pipelined, OneAtATime };
enum class Echo { Off, On };

struct FrameTemplate {
    QByteArray bytes;    // a complete "U" frame with the marker in its info
    qsizetype seqAt = 0; // where the marker starts
};

// Eight heard packets that came through the ISS, from different stations.
const std::vector<FrameTemplate>& Templates()
{
    static const std::vector<FrameTemplate> templates = [] {
        static const char* const calls[] = {"IK1ABC-7", "F4XYZ", "DL1QQ-9", "EA3RR-12",
                                            "OH2KKK", "I0XYZ-1", "G4ABC", "SP5QWE-3"};
        static const char* const infos[] = {
            "=4500.12N/00712.34E-PHG2360/Station in JN35 #",
            ":BLN1     :Satellite pass at 12:40 UTC #",
            "!4512.00N/00730.00E>090/012 mobile #",
            ">Gateway test, 73 de #",
            "=5130.00N/00007.00W`Portable via ARISS #",
            "!4153.50N/01229.60E#Rome digi #",
            ":IK1ABC-7 :Hello from orbit #",
            "=5215.00N/02100.00E-QTH Warsaw #",
        };
        std::vector<FrameTemplate> out;
        for (int k = 0; k < 8; ++k) {
            const QString info = QString::fromLatin1(infos[k]) + QString::fromLatin1(SeqMarker);
            const QByteArray text = TestEngine::monitorText(HeardPort, QString::fromLatin1(calls[k]),
                                                            QStringLiteral("APRS"),
                                                            {QStringLiteral("RS0ISS*"), QStringLiteral("WIDE2-1")},
                                                            info, QTime(10, 1, 2));
            FrameTemplate t;
            t.bytes = TestEngine::buildFrame('U', HeardPort, calls[k], "APRS", text);
            t.seqAt = t.bytes.indexOf(SeqMarker);
            out.push_back(t);
        }
        return out;
    }();
    return templates;
}

void PutSeq(char* at, quint64 seq)
{
    for (qsizetype i = SeqDigits - 1; i >= 0; --i) {
        at[i] = char('0' + seq % 10);
        seq /= 10;
    }
}

// The sequence number in the last eight characters of a text, or 0.
quint64 SeqAtEnd(const QString& text)
{
    if (text.size() < SeqDigits)
        return 0;
    quint64 seq = 0;
    for (qsizetype i = text.size() - SeqDigits; i < text.size(); ++i) {
        const ushort c = text[i].unicode();
        if (c < '0' || c > '9')
            return 0;
        seq = seq * 10 + (c - '0');
    }
    return seq;
}

using bench::RunUntil;

// Shows nothing: the gateway's core without windows.
class SilentView : public ILinkView {
public:
    bool versionShown = false;
    int ports = 0;
    QStringList socketErrors;
    void setStatusText(const QString& text) override
    {
        if (text.startsWith(QLatin1String("Gateway connesso")))
            versionShown = true;
    }
    void setTrayTip(const QString&) override {}
    void setRunning(bool) override {}
    void showReceived(const QStringList&, PacketColour) override {}
    void showTransmitted(const QStringList&) override {}
    void setPortsText(const QString&) override {}
    void addPort(const QString&) override { ++ports; }
    void clearPorts() override { ports = 0; }
    void showSocketError(const QString& description) override { socketErrors.append(description); }
    QString caption() const override { return QStringLiteral("Selvane"); }
};

// Selvane as both benchmarks run it: heard on Sats port "1", "Gate to Out"
// on, one Out port "2", duplicate time 30 s, logging off.
struct GatewayRig {
    SilentView view;
    LiveSettingsValues settings;
    NoTelemetryDecoder decoder;
    QTemporaryDir logs;
    std::unique_ptr<Gateway> gateway;

    GatewayRig()
    {
        settings.host = QStringLiteral("127.0.0.1");
        settings.call = QStringLiteral("N0CALL-5");
        settings.sats = QStringLiteral("1");
        settings.out = QStringLiteral("2");
        settings.dup = QStringLiteral("30");
        settings.forward = true;
        settings.reverse = false;
        settings.telemetry = false;
    }
    ~GatewayRig()
    {
        if (gateway)
            gateway->link().closeForExit();
    }
    // Connects to the engine; true once it monitors and the version and
    // ports have come back.
    bool connect(const TestEngine& engine)
    {
        gateway = std::make_unique<Gateway>(view, settings, decoder, SystemClock(), SteadyClockMs(), logs.path(),
                                            engine.serverPort());
        gateway->dailyLog().setLogEnabled(false);
        gateway->link().toggle();
        return RunUntil([&] { return engine.monitoring() && view.versionShown && view.ports > 0; }, ConnectTimeoutMs);
    }
};

// The least a client must do: cut frames out of the stream and answer each
// "U" frame with a prepared "V" frame.
class MinimalClient {
public:
    MinimalClient(quint16 port, QByteArray reply) : m_reply(std::move(reply))
    {
        QObject::connect(&m_socket, &QTcpSocket::connected, [this] {
            // The same socket option as Selvane's link, for a fair comparison.
            m_socket.setSocketOption(QAbstractSocket::LowDelayOption, 1);
            m_socket.write(BuildAgwRequest('m'));
        });
        QObject::connect(&m_socket, &QTcpSocket::readyRead, [this] { onReadyRead(); });
        m_socket.connectToHost(QHostAddress::LocalHost, port);
    }
    ~MinimalClient() { m_socket.abort(); }

    qint64 framesSeen() const { return m_frames; }

private:
    void onReadyRead()
    {
        m_buffer += m_socket.readAll();
        qsizetype at = 0;
        while (m_buffer.size() - at >= AgwFrame::HeaderSize) {
            const quint32 length = qFromLittleEndian<quint32>(m_buffer.constData() + at + AgwFrame::OffsetDataLength);
            const qsizetype size = AgwFrame::HeaderSize + qsizetype(length);
            if (m_buffer.size() - at < size)
                break;
            if (m_buffer[at + AgwFrame::OffsetKind] == 'U')
                m_socket.write(m_reply);
            ++m_frames;
            at += size;
        }
        m_buffer.remove(0, at);
    }

    QTcpSocket m_socket;
    QByteArray m_buffer;
    QByteArray m_reply;
    qint64 m_frames = 0;
};

// What Selvane sends for the first template: the fixed reply of the minimal
// client, so both put the same number of bytes on the wire.
QByteArray MinimalReply()
{
    const FrameTemplate& t = Templates().front();
    QByteArray frame = BuildViaFrame(t.bytes.left(AgwFrame::HeaderSize),
                                     QStringLiteral("RS0ISSP,N0CALLE,WIDE,WIDE"),
                                     QStringLiteral("=4500.12N/00712.34E-PHG2360/Station in JN35 #00000000"));
    SetFramePort(frame, OutPort);
    return frame;
}

// The "V" frames the engine receives, matched in order to the "U" frames
// written (one TCP connection keeps the order).
struct Probe {
    bool checkText = false;         // Selvane echoes the sequence number
    std::vector<SteadyClock::time_point> sentAt;
    std::vector<quint64> seqs;
    qsizetype sent = 0;
    qsizetype answered = 0;
    qsizetype wrong = 0;
    qsizetype unexpected = 0;
    std::vector<double> latencyUs;  // every frame of every iteration

    void begin()
    {
        sent = 0;
        answered = 0;
        wrong = 0;
        unexpected = 0;
    }

    void onFrame(const ReceivedFrame& frame)
    {
        if (frame.kind != 'V')
            return;
        const auto now = SteadyClock::now();
        if (answered >= sent) {
            ++unexpected;
            return;
        }
        latencyUs.push_back(std::chrono::duration<double, std::micro>(now - sentAt[answered]).count());
        if (frame.port != OutPort || (checkText && SeqAtEnd(frame.text) != seqs[answered]))
            ++wrong;
        ++answered;
    }
};

double Percentile(std::vector<double> values, double p)
{
    if (values.empty())
        return 0;
    const auto rank = qsizetype(std::ceil(p * double(values.size()))) - 1;
    const auto k = std::clamp<qsizetype>(rank, 0, qsizetype(values.size()) - 1);
    std::nth_element(values.begin(), values.begin() + k, values.end());
    return values[k];
}

struct Figures {
    double framesPerSecond = 0;
    double p50 = 0;
    double p99 = 0;
};

// The last complete run of each benchmark, for the ratio printed at the end.
std::map<std::string, Figures>& LastFigures()
{
    static std::map<std::string, Figures> figures;
    return figures;
}

std::string CaseName(Mode mode, Echo echo)
{
    return std::string(mode == Mode::Pipelined ? "pipelined" : "one_at_a_time") + (echo == Echo::On ? "_echo" : "");
}

std::string Key(Client client, Mode mode, Echo echo)
{
    return std::string(client == Client::Selvane ? "selvane/" : "minimal/") + CaseName(mode, echo);
}

void BM_GatewayLoopback(benchmark::State& state, Client client, Mode mode, Echo echo)
{
    // Wakes the event loop now and then, so every wait sees its deadline.
    QTimer watchdog;
    watchdog.start(100);

    TestEngine engine;
    engine.setEchoTransmissions(echo == Echo::On);
    engine.setFixedTime(QTime(10, 1, 2));
    if (!engine.listen(QHostAddress::LocalHost, 0)) {
        state.SkipWithError("the test engine cannot listen");
        return;
    }

    Probe probe;
    probe.checkText = client == Client::Selvane;
    probe.sentAt.resize(FramesPerIteration);
    probe.seqs.resize(FramesPerIteration);
    probe.latencyUs.reserve(size_t(FramesPerIteration) * 64);
    QObject::connect(&engine, &TestEngine::frameReceived,
                     [&probe](const ReceivedFrame& frame) { probe.onFrame(frame); });

    std::unique_ptr<GatewayRig> station;
    std::unique_ptr<MinimalClient> minimal;

    bool ready = false;
    if (client == Client::Selvane) {
        station = std::make_unique<GatewayRig>();
        ready = station->connect(engine);
    } else {
        minimal = std::make_unique<MinimalClient>(engine.serverPort(), MinimalReply());
        ready = RunUntil([&] { return engine.monitoring(); }, ConnectTimeoutMs);
    }
    if (!ready) {
        state.SkipWithError("the client did not connect to the test engine");
        return;
    }
    engine.clearReceived();

    std::vector<FrameTemplate> frames = Templates();
    double busySeconds = 0;
    qint64 frameCount = 0;
    bool failed = false;

    for (auto _ : state) {
        engine.clearReceived();  // the engine's own record must not grow
        probe.begin();
        const auto start = SteadyClock::now();
        bool ok = true;
        for (int i = 0; i < FramesPerIteration && ok; ++i) {
            FrameTemplate& t = frames[size_t(i) % frames.size()];
            const quint64 seq = g_nextSeq++;
            PutSeq(t.bytes.data() + t.seqAt, seq);
            probe.seqs[size_t(i)] = seq;
            probe.sentAt[size_t(i)] = SteadyClock::now();
            probe.sent = i + 1;
            engine.sendRaw(t.bytes);
            if (mode == Mode::OneAtATime)
                ok = RunUntil([&] { return probe.answered > i; }, SingleFrameTimeoutMs);
        }
        if (ok && mode == Mode::Pipelined)
            ok = RunUntil([&] { return probe.answered >= FramesPerIteration; }, PipelinedTimeoutMs);
        busySeconds += std::chrono::duration<double>(SteadyClock::now() - start).count();
        frameCount += probe.answered;

        if (!ok) {
            state.SkipWithError("timed out waiting for the V frames");
            failed = true;
            break;
        }
        if (probe.wrong > 0 || probe.unexpected > 0) {
            state.SkipWithError("V frames on the wrong port, out of order or not asked for");
            failed = true;
            break;
        }
    }

    // The frames answered really are the gated packets: the satellite and
    // the gateway marked as repeated, then the via path of the settings.
    if (!failed) {
        const QList<ReceivedFrame> received = engine.received();
        const auto last = std::find_if(received.rbegin(), received.rend(),
                                       [](const ReceivedFrame& frame) { return frame.kind == 'V'; });
        const QStringList expected{QStringLiteral("RS0ISSP"), QStringLiteral("N0CALLE"), QStringLiteral("WIDE"),
                                   QStringLiteral("WIDE")};
        if (last == received.rend() || last->via != expected) {
            state.SkipWithError("the V frames do not carry the expected via path");
            failed = true;
        }
    }
    station.reset();
    if (failed)
        return;

    Figures f;
    f.framesPerSecond = busySeconds > 0 ? double(frameCount) / busySeconds : 0;
    f.p50 = Percentile(probe.latencyUs, 0.50);
    f.p99 = Percentile(probe.latencyUs, 0.99);
    state.counters["frames_per_s"] = f.framesPerSecond;
    state.counters["p50_us"] = f.p50;
    state.counters["p99_us"] = f.p99;
    state.SetItemsProcessed(frameCount);
    LastFigures()[Key(client, mode, echo)] = f;
}

void PrintRatios()
{
    const auto& figures = LastFigures();
    for (Echo echo : {Echo::Off, Echo::On}) {
        for (Mode mode : {Mode::Pipelined, Mode::OneAtATime}) {
            const auto s = figures.find(Key(Client::Selvane, mode, echo));
            const auto m = figures.find(Key(Client::Minimal, mode, echo));
            if (s == figures.end() || m == figures.end() || m->second.framesPerSecond <= 0
                || m->second.p50 <= 0 || m->second.p99 <= 0)
                continue;
            // The engine's share is in both figures, so the ratio understates
            // Selvane's own cost; the difference per frame shows it directly.
            const double extraUs = 1e6 / s->second.framesPerSecond - 1e6 / m->second.framesPerSecond;
            std::fprintf(stderr,
                         "ratio Selvane/minimal, %-18s frames_per_s %.3f  p50_us %.3f  p99_us %.3f"
                         "  (Selvane's extra time per frame %.1f us)\n",
                         CaseName(mode, echo).c_str(), s->second.framesPerSecond / m->second.framesPerSecond,
                         s->second.p50 / m->second.p50, s->second.p99 / m->second.p99, extraUs);
        }
    }
}

// A paced flood, as a busy pass could bring (and far more): the engine
// writes heard frames at a fixed rate, every 10 ms those due by then, for a
// fixed time: 10,000 frames a second for 60 s unless SELVANE_FLOOD_RATE and
// SELVANE_FLOOD_SECONDS say otherwise. Nothing waits for Selvane: what it
// does not keep up with piles up in its bounded output to the engine and is
// dropped there, as on a real station. Reported: the rate asked and the rate
// gated, the frames dropped (a machine that keeps up drops none), and how
// far the "V" frames lag behind the "U" frames (median, 99th percentile,
// maximum). Frames out of order or lost other than by the bounded output are
// a fault, reported as an error.
void BM_GatewayFlood(benchmark::State& state)
{
    bool ok = false;
    const int rateSet = qEnvironmentVariableIntValue("SELVANE_FLOOD_RATE", &ok);
    const qint64 rate = ok && rateSet > 0 ? rateSet : 10'000;
    const int secondsSet = qEnvironmentVariableIntValue("SELVANE_FLOOD_SECONDS", &ok);
    const qint64 total = (ok && secondsSet > 0 ? secondsSet : 60) * rate;

    QTimer watchdog;  // wakes the event loop, so a stall is noticed
    watchdog.start(100);
    TestEngine engine;
    engine.setEchoTransmissions(false);
    engine.setFixedTime(QTime(10, 1, 2));
    if (!engine.listen(QHostAddress::LocalHost, 0)) {
        state.SkipWithError("the test engine cannot listen");
        return;
    }
    GatewayRig station;
    if (!station.connect(engine)) {
        state.SkipWithError("Selvane did not connect to the test engine");
        return;
    }
    engine.clearReceived();

    std::vector<SteadyClock::time_point> sentAt(static_cast<size_t>(total));
    std::vector<double> lagUs;
    lagUs.reserve(size_t(total));
    const quint64 firstSeq = g_nextSeq;
    g_nextSeq += quint64(total);
    qint64 gated = 0;
    qint64 outOfOrder = 0;
    qint64 lastSeq = -1;
    QObject::connect(&engine, &TestEngine::frameReceived, [&](const ReceivedFrame& frame) {
        if (frame.kind != 'V')
            return;
        const qint64 n = qint64(SeqAtEnd(frame.text)) - qint64(firstSeq);
        if (frame.port != OutPort || n <= lastSeq || n >= total) {
            ++outOfOrder;
            return;
        }
        lagUs.push_back(std::chrono::duration<double, std::micro>(SteadyClock::now() - sentAt[size_t(n)]).count());
        lastSeq = n;
        ++gated;
    });

    std::vector<FrameTemplate> frames = Templates();
    qint64 heard = 0;
    SteadyClock::time_point start;
    QTimer pace;
    pace.setTimerType(Qt::PreciseTimer);
    QObject::connect(&pace, &QTimer::timeout, [&] {
        const auto now = SteadyClock::now();
        const qint64 due = std::min<qint64>(
            total, std::chrono::duration_cast<std::chrono::milliseconds>(now - start).count() * rate / 1000);
        QByteArray batch;
        for (; heard < due; ++heard) {
            FrameTemplate& t = frames[size_t(heard) % frames.size()];
            PutSeq(t.bytes.data() + t.seqAt, firstSeq + quint64(heard));
            sentAt[size_t(heard)] = now;
            batch += t.bytes;
        }
        if (!batch.isEmpty())
            engine.sendRaw(batch);
        engine.clearReceived();  // the engine's own record must not grow
    });

    AgwLink& link = station.gateway->link();
    double seconds = 0;
    bool flowing = true;
    for (auto _ : state) {
        start = SteadyClock::now();
        pace.start(10);
        // Done when every frame heard came back or was dropped; a stall of
        // 30 s with frames outstanding is a fault.
        qint64 progress = -1;
        auto since = SteadyClock::now();
        while (heard < total || gated + link.droppedFrames() < total) {
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
            if (gated + link.droppedFrames() + heard != progress) {
                progress = gated + link.droppedFrames() + heard;
                since = SteadyClock::now();
            } else if (SteadyClock::now() - since > std::chrono::seconds(30)) {
                flowing = false;
                break;
            }
        }
        pace.stop();
        seconds = std::chrono::duration<double>(SteadyClock::now() - start).count();
    }
    if (!flowing) {
        state.SkipWithError("the V frames stopped coming");
        return;
    }
    if (outOfOrder > 0 || gated + link.droppedFrames() != total) {
        state.SkipWithError("V frames out of order, on the wrong port, or lost other than by the bounded output");
        return;
    }
    state.counters["rate_asked_per_s"] = double(rate);
    state.counters["frames_per_s"] = seconds > 0 ? double(gated) / seconds : 0;
    state.counters["dropped"] = double(link.droppedFrames());
    state.counters["lag_p50_ms"] = Percentile(lagUs, 0.50) / 1000;
    state.counters["lag_p99_ms"] = Percentile(lagUs, 0.99) / 1000;
    state.counters["lag_max_ms"] = lagUs.empty() ? 0 : *std::max_element(lagUs.begin(), lagUs.end()) / 1000;
    state.SetItemsProcessed(gated);
    if (link.droppedFrames() > 0)
        std::fprintf(stderr, "flood: %lld of %lld frames dropped: this machine did not keep up %lld frames a second\n",
                     static_cast<long long>(link.droppedFrames()), static_cast<long long>(total),
                     static_cast<long long>(rate));
}

} // namespace

BENCHMARK_CAPTURE(BM_GatewayLoopback, selvane_pipelined, Client::Selvane, Mode::Pipelined, Echo::Off)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_GatewayLoopback, minimal_pipelined, Client::Minimal, Mode::Pipelined, Echo::Off)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_GatewayLoopback, selvane_one_at_a_time, Client::Selvane, Mode::OneAtATime, Echo::Off)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_GatewayLoopback, minimal_one_at_a_time, Client::Minimal, Mode::OneAtATime, Echo::Off)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_GatewayLoopback, selvane_pipelined_echo, Client::Selvane, Mode::Pipelined, Echo::On)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_GatewayLoopback, minimal_pipelined_echo, Client::Minimal, Mode::Pipelined, Echo::On)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_GatewayLoopback, selvane_one_at_a_time_echo, Client::Selvane, Mode::OneAtATime, Echo::On)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_GatewayLoopback, minimal_one_at_a_time_echo, Client::Minimal, Mode::OneAtATime, Echo::On)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);

BENCHMARK(BM_GatewayFlood)->Iterations(1)->UseRealTime()->Unit(benchmark::kSecond);

int main(int argc, char** argv)
{
    return bench::RunWithEventLoop(argc, argv, PrintRatios);
}
