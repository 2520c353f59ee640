// The status page of a real selvaned process, with the in-process test
// engine over loopback TCP:
//
// BM_StatusRequests/PATH: requests per second the page serves, four
//   keep-alive connections each asking again as soon as an answer is whole.
//   The station has heard 60 packets via the ISS and more PCSAT telemetry
//   than a day keeps first, so /status.json is as large as it ever gets.
//
// BM_GatewayLatency: the gateway's latency, from the engine writing a heard
//   "U" frame to the engine receiving its "V" frame, one frame at a time
//   (median and 99th percentile), with no client on the page ("quiet") and
//   with one asking for /status.json 20 times a second ("polled"), in
//   alternating blocks. The poller runs on a thread of its own with its own
//   event loop, so its work never delays the engine's side of the
//   measurement; it also reports how long its answers took.
//
// BM_StatusJson, BM_TelemetryPlots: the work the page does in the gateway's
//   thread, in-process, for the largest status there is (50 packets, the
//   day's telemetry at its cap): the JSON without the plots (made at most
//   once a second) and the plots (made again after a new telemetry line).
#include "EventLoop.h"
#include "gateway/StationStatus.h"
#include "testengine/TestEngine.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <memory>
#include <vector>

using namespace selvane;

namespace {

using SteadyClock = std::chrono::steady_clock;

constexpr int kStartTimeoutMs = 15000;
constexpr int kFrameTimeoutMs = 5000;
constexpr int kLatencyFrames = 10000;
constexpr int kRequests = 4000;
constexpr int kConnections = 4;
// Display lines of four to six values each: more than a day keeps.
constexpr int kTelemetryLines = 600;
constexpr int kHeardPort = 0;  // Sats "1"
constexpr int kOutPort = 1;    // Out "2"

// Via WIDE,WIDE, Sats "1", Out "2", duplicate time 30 s, daily log off.
const QByteArray kSettings =
    "\"WIDE,WIDE\",\"N0CALL-5\",\"1\",\"2\",\"30\",\"127.0.0.1\",0,0,7470,0,1,4850,0,0,1,1,1\r\n";

using bench::RunUntil;

double Percentile(std::vector<double> values, double p)
{
    if (values.empty())
        return 0;
    const auto k = std::clamp<qsizetype>(qsizetype(std::ceil(p * double(values.size()))) - 1, 0,
                                         qsizetype(values.size()) - 1);
    std::nth_element(values.begin(), values.begin() + k, values.end());
    return values[size_t(k)];
}

// Takes whole HTTP answers out of a stream; how many there were.
int TakeAnswers(QByteArray& buffer)
{
    int answers = 0;
    for (;;) {
        const qsizetype end = buffer.indexOf("\r\n\r\n");
        if (end < 0)
            return answers;
        const qsizetype at = buffer.indexOf("Content-Length: ");
        const qsizetype length = at >= 0 && at < end ? buffer.mid(at + 16, 12).split('\r').first().toLongLong() : 0;
        if (buffer.size() < end + 4 + length)
            return answers;
        buffer.remove(0, end + 4 + length);
        ++answers;
    }
}

const QByteArray kStatusRequest = "GET /status.json HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n";

// selvaned with its page on a free port, the engine's client.
struct Station {
    QTemporaryDir dir;
    QProcess process;
    TestEngine engine;
    quint16 pagePort = 0;
    qint64 vFrames = 0;
    SteadyClock::time_point lastV;

    bool start()
    {
        engine.setEchoTransmissions(false);
        if (!dir.isValid() || !engine.listen(QHostAddress::LocalHost, 0))
            return false;
        QObject::connect(&engine, &TestEngine::frameReceived, [this](const ReceivedFrame& f) {
            if (f.kind == 'V' && f.port == kOutPort) {
                ++vFrames;
                lastV = SteadyClock::now();
            }
        });
        for (const auto& [name, text] : {std::pair{"Selvane.ini", kSettings},
                                         std::pair{"selvane.conf", QByteArray("[status]\nlisten = 127.0.0.1:0\n")}}) {
            QFile f(dir.filePath(QLatin1String(name)));
            if (!f.open(QIODevice::WriteOnly) || f.write(text) != text.size())
                return false;
        }
        process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        QByteArray out;
        QObject::connect(&process, &QProcess::readyReadStandardOutput, [&] { out += process.readAllStandardOutput(); });
        process.start(QStringLiteral(SELVANED_BINARY),
                      {QStringLiteral("--dir"), dir.path(), QStringLiteral("--engine-port"),
                       QString::number(engine.serverPort())});
        const QRegularExpression page(QStringLiteral("pagina di stato: http://127.0.0.1:(\\d+)/"));
        const bool up = RunUntil([&] { return page.match(QString::fromUtf8(out)).hasMatch() && engine.monitoring(); },
                                 kStartTimeoutMs);
        QObject::disconnect(&process, &QProcess::readyReadStandardOutput, nullptr, nullptr);
        process.setStandardOutputFile(QProcess::nullDevice());
        if (!up)
            return false;
        pagePort = quint16(page.match(QString::fromUtf8(out)).captured(1).toUInt());
        // Let the version and ports come back before the first frame.
        return RunUntil([&] {
            const QList<ReceivedFrame> got = engine.received();
            return std::any_of(got.begin(), got.end(), [](const ReceivedFrame& f) { return f.kind == 'G'; });
        }, kStartTimeoutMs);
    }
    // One heard frame through the ISS; true once its "V" frame came back.
    bool hear(quint64 seq, std::vector<double>* latencyUs = nullptr)
    {
        const qint64 before = vFrames;
        const auto sent = SteadyClock::now();
        engine.sendMonitor('U', kHeardPort, QStringLiteral("N0CALL-%1").arg(seq % 15 + 1), QStringLiteral("APRS"),
                           {QStringLiteral("RS0ISS*"), QStringLiteral("WIDE2-1")},
                           QStringLiteral("=4500.12N/00712.34E-PHG2360/Station in JN35 #%1").arg(seq));
        if (!RunUntil([&] { return vFrames > before; }, kFrameTimeoutMs))
            return false;
        if (latencyUs)
            latencyUs->push_back(std::chrono::duration<double, std::micro>(lastV - sent).count());
        return true;
    }
    // The most the page ever shows: a full packet list and as many
    // telemetry values as a day keeps (StationActivity::kMaxDaySamples).
    bool fill()
    {
        for (int i = 0; i < 60; ++i)
            if (!hear(quint64(1'000'000 + i)))
                return false;
        for (int i = 0; i < kTelemetryLines; ++i)
            engine.sendMonitor('U', kHeardPort, QStringLiteral("PCSAT-1"), QStringLiteral("APRS"), {},
                               QStringLiteral("T#%1,100,120,140,160,000,00000000,1,%2")
                                   .arg(i % 1000, 3, 10, QLatin1Char('0'))
                                   .arg(i % 2 ? QStringLiteral("00") : QStringLiteral("11")));
        // Frames are handled in order: once this one is gated, so is all
        // the telemetry before it.
        return hear(2'000'000);
    }
    ~Station()
    {
        bench::EndProcess(process);
    }
};

void BM_StatusRequests(benchmark::State& state, const char* path)
{
    QTimer watchdog;
    watchdog.start(100);
    Station station;
    if (!station.start() || !station.fill()) {
        state.SkipWithError("selvaned did not start and gate");
        return;
    }
    const QByteArray request = QByteArray("GET ") + path + " HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n";
    std::vector<std::unique_ptr<QTcpSocket>> sockets;
    std::vector<QByteArray> buffers(kConnections);
    int answered = 0, asked = 0;
    qint64 bytes = 0;
    for (int i = 0; i < kConnections; ++i) {
        sockets.push_back(std::make_unique<QTcpSocket>());
        QTcpSocket* s = sockets.back().get();
        QObject::connect(s, &QTcpSocket::readyRead, [&, s, i] {
            const QByteArray got = s->readAll();
            bytes += got.size();
            buffers[size_t(i)] += got;
            const int n = TakeAnswers(buffers[size_t(i)]);
            answered += n;
            for (int k = 0; k < n && asked < kRequests; ++k, ++asked)
                s->write(request);
        });
        s->connectToHost(QHostAddress::LocalHost, station.pagePort);
        if (!s->waitForConnected(kStartTimeoutMs)) {
            state.SkipWithError("the page does not accept a connection");
            return;
        }
    }
    double seconds = 0;
    bool ok = true;
    for (auto _ : state) {
        answered = asked = 0;
        bytes = 0;
        const auto start = SteadyClock::now();
        for (auto& s : sockets) {
            s->write(request);
            ++asked;
        }
        ok = RunUntil([&] { return answered >= kRequests; }, 60000);
        seconds += std::chrono::duration<double>(SteadyClock::now() - start).count();
    }
    if (!ok) {
        state.SkipWithError("the page stopped answering");
        return;
    }
    state.counters["requests_per_s"] = double(kRequests) * double(state.iterations()) / seconds;
    state.counters["bytes_per_answer"] = double(bytes) / double(kRequests);
}

// Asks for /status.json every 50 ms on one keep-alive connection, on its
// own thread, while `active`; a tick that finds the last answer still coming
// is skipped. Keeps the time each answer took.
class Poller : public QObject {
public:
    explicit Poller(quint16 port) : m_port(port) {}
    std::atomic<bool> active{false};
    int skipped = 0;
    std::vector<double> roundTripUs;

    void start()
    {
        m_socket = new QTcpSocket(this);
        connect(m_socket, &QTcpSocket::readyRead, this, [this] {
            m_buffer += m_socket->readAll();
            if (TakeAnswers(m_buffer) > 0) {
                m_waiting = false;
                roundTripUs.push_back(std::chrono::duration<double, std::micro>(SteadyClock::now() - m_asked).count());
            }
        });
        m_socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
        m_socket->connectToHost(QHostAddress::LocalHost, m_port);
        auto* timer = new QTimer(this);
        timer->setTimerType(Qt::PreciseTimer);
        connect(timer, &QTimer::timeout, this, [this] {
            if (!active)
                return;
            if (m_waiting) {
                ++skipped;
                return;
            }
            m_waiting = true;
            m_asked = SteadyClock::now();
            m_socket->write(kStatusRequest);
        });
        timer->start(50);
    }

private:
    quint16 m_port;
    QTcpSocket* m_socket = nullptr;
    QByteArray m_buffer;
    bool m_waiting = false;
    SteadyClock::time_point m_asked;
};

// Blocks of frames with the poller off and on, in turn, so that a change of
// the machine's load during the run weighs on both alike.
void BM_GatewayLatency(benchmark::State& state)
{
    constexpr int kBlock = 500;
    QTimer watchdog;
    watchdog.start(100);
    Station station;
    if (!station.start() || !station.fill()) {
        state.SkipWithError("selvaned did not start and gate");
        return;
    }
    QThread thread;
    auto poller = std::make_unique<Poller>(station.pagePort);
    poller->moveToThread(&thread);
    thread.start();
    QMetaObject::invokeMethod(poller.get(), [&] { poller->start(); });

    std::vector<double> quiet, polled;
    quint64 seq = 0;
    bool ok = true;
    double polledSeconds = 0;
    for (auto _ : state) {
        for (int block = 0; block < 2 * kLatencyFrames / kBlock && ok; ++block) {
            const bool polling = block % 2 == 1;
            poller->active = polling;
            const auto start = SteadyClock::now();
            for (int i = 0; i < kBlock && ok; ++i) {
                ok = station.hear(seq++, polling ? &polled : &quiet);
                station.engine.clearReceived();
            }
            if (polling)
                polledSeconds += std::chrono::duration<double>(SteadyClock::now() - start).count();
        }
    }
    poller->active = false;
    std::vector<double> roundTrips;
    int skipped = 0;
    QMetaObject::invokeMethod(poller.get(), [&] {
        roundTrips = poller->roundTripUs;
        skipped = poller->skipped;
    }, Qt::BlockingQueuedConnection);
    thread.quit();
    thread.wait();
    poller.reset();  // its thread has ended
    if (!ok) {
        state.SkipWithError("a V frame did not come back");
        return;
    }
    state.counters["quiet_p50_us"] = Percentile(quiet, 0.50);
    state.counters["quiet_p99_us"] = Percentile(quiet, 0.99);
    state.counters["polled_p50_us"] = Percentile(polled, 0.50);
    state.counters["polled_p99_us"] = Percentile(polled, 0.99);
    state.counters["polls_per_s"] = polledSeconds > 0 ? double(roundTrips.size()) / polledSeconds : 0;
    state.counters["polls_skipped"] = skipped;
    // One answer in twenty follows a rebuild of the data (once a second).
    state.counters["poll_p50_us"] = Percentile(roundTrips, 0.50);
    state.counters["poll_p90_us"] = Percentile(roundTrips, 0.90);
    state.counters["poll_max_us"] = roundTrips.empty() ? 0 : *std::max_element(roundTrips.begin(), roundTrips.end());
}

// The largest status: 50 packets with long texts, the day's telemetry at
// StationActivity::kMaxDaySamples.
StationStatus LargestStatus()
{
    StationActivity activity(SystemClock(), SteadyClockMs());
    StationStatus s;
    s.now = s.started = QDateTime::currentDateTime();
    for (int i = 0; i < StationActivity::kPacketCount; ++i) {
        SatellitePacket p;
        p.time = s.now;
        p.satellite = QStringLiteral("ISS");
        p.source = QStringLiteral("N0CALL-%1").arg(i % 15 + 1);
        p.destination = QStringLiteral("APRS");
        p.via = {QStringLiteral("RS0ISS*"), QStringLiteral("WIDE2-1")};
        p.info = QByteArray("=4500.12N/00712.34E-PHG2360/Station in JN35, a longer comment to fill the line #")
                 + QByteArray::number(i);
        p.gatedTo = {1};
        p.upload = UploadOutcome::Uploaded;
        s.packets << p;
    }
    for (int i = 0; s.telemetryToday.size() < StationActivity::kMaxDaySamples; ++i) {
        const QString time = QTime(0, 0).addSecs(i * 60).toString(QStringLiteral("HH:mm"));
        activity.telemetry(TelemetryList::A, QStringLiteral("4 %1 BattA=14.%2V BattB=14.9V Tx=1.24W 8V=8.01V").arg(time).arg(i % 100));
        activity.telemetry(TelemetryList::B, QStringLiteral("5 %1 Temp Batt=17.8C Tx=24.7C -Y=21.3C -Z=23.0C").arg(time));
        s.telemetryToday = activity.telemetryToday();
    }
    s.telemetryValues = activity.telemetryLastValues();
    s.telemetryLines = activity.telemetryLines();
    return s;
}

void BM_StatusJson(benchmark::State& state)
{
    const StationStatus status = LargestStatus();
    const QByteArray plots = TelemetryPlots(status.telemetryToday);
    qint64 bytes = 0;
    for (auto _ : state) {
        const QByteArray json = StatusJson(status, &plots);
        const QByteArray metrics = StatusMetrics(status);
        bytes = json.size();
        benchmark::DoNotOptimize(metrics.data());
    }
    state.counters["json_bytes"] = double(bytes);
}

void BM_TelemetryPlots(benchmark::State& state)
{
    const StationStatus status = LargestStatus();
    qint64 bytes = 0;
    for (auto _ : state)
        bytes = TelemetryPlots(status.telemetryToday).size();
    state.counters["plots_bytes"] = double(bytes);
    state.counters["samples"] = double(status.telemetryToday.size());
}

} // namespace

BENCHMARK(BM_StatusJson)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_TelemetryPlots)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_StatusRequests, status_json, "/status.json")->Iterations(1)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_StatusRequests, metrics, "/metrics")->Iterations(1)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_StatusRequests, page, "/")->Iterations(1)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GatewayLatency)->Iterations(1)->UseRealTime()->Unit(benchmark::kMillisecond);

int main(int argc, char** argv)
{
    return bench::RunWithEventLoop(argc, argv);
}
