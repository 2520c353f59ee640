// Frames per second through stream reassembly, alone and followed by the
// dispatch of each frame, for a stream of heard unproto frames that TCP has
// cut at random points: as an AGW Packet Engine sends them, and as Dire Wolf
// does (a raw "K" frame before each "U" frame, whose text has no "*"), and
// for a KISS TNC's stream (KISS data frames, each AX.25 frame read and given
// its header line).
#include "agw/AgwFrame.h"
#include "agw/Dispatcher.h"
#include "agw/FrameAssembler.h"
#include "agw/HeardHandler.h"
#include "kiss/KissLink.h"

#include <benchmark/benchmark.h>

#include <random>
#include <vector>

using namespace selvane;

namespace {

constexpr int FrameCount = 10000;

QByteArray Frame(char kind, int port, const QByteArray& from, const QByteArray& data)
{
    QByteArray header(AgwFrame::HeaderSize, '\0');
    header[0] = char(port);
    header[AgwFrame::OffsetKind] = kind;
    header.replace(AgwFrame::OffsetCallFrom, from.size(), from);
    header.replace(AgwFrame::OffsetCallTo, 4, "APRS");
    const quint32 n = quint32(data.size());
    for (int i = 0; i < 4; ++i)
        header[AgwFrame::OffsetDataLength + i] = char((n >> (8 * i)) & 0xFF);
    return header + data;
}

QByteArray Address(const QByteArray& call, int ssid, bool repeated, bool last)
{
    QByteArray a;
    for (int i = 0; i < 6; ++i)
        a.append(char((i < call.size() ? call[i] : ' ') << 1));
    return a + char((repeated ? 0x80 : 0) | 0x60 | (ssid << 1) | (last ? 1 : 0));
}

// One heard packet; with direWolf, its raw frame and then its unmarked text.
QByteArray MonitorFrame(std::mt19937& rng, int index, bool direWolf)
{
    static const char* const calls[] = {"IK1ABC-7", "F4XYZ", "DL1QQ-9", "EA3RR-12", "OH2KKK", "RS0ISS"};
    static const char* const infos[] = {
        "=4500.12N/00712.34E-PHG2360/Station in JN35",
        ":BLN1     :Satellite pass at 12:40 UTC",
        "!4512.00N/00730.00E>090/012 mobile",
        "T#123,101,045,210,003,097,00110011",
        ">Gateway test, 73 de",
    };
    std::uniform_int_distribution<int> pick(0, 5);
    const QByteArray from = calls[pick(rng)];
    const QByteArray info = QByteArray(infos[pick(rng) % 5]) + QByteArray::number(index % 1000);
    const int port = index % 4;
    if (!direWolf) {
        const QByteArray text = " " + QByteArray::number(port + 1) + ":Fm " + from
            + " To APRS Via RS0ISS*,WIDE2-1 <UI pid=F0 Len=" + QByteArray::number(info.size()) + " >[10:01:02]\r"
            + info + "\r\r" + QByteArray(1, '\0');
        return Frame('U', port, from, text);
    }
    const QByteArray base = from.split('-').value(0);
    const int ssid = from.split('-').value(1).toInt();
    const QByteArray raw = QByteArray(1, '\0') + Address("APRS", 0, false, false) + Address(base, ssid, false, false)
        + Address("RS0ISS", 0, true, false) + Address("WIDE2", 1, false, true) + "\x03\xf0" + info;
    const QByteArray text = " " + QByteArray::number(port + 1) + ":Fm " + from
        + " To APRS Via RS0ISS,WIDE2-1 <UI pid=F0 Len=" + QByteArray::number(info.size()) + " PF=0 >[10:01:02]\r"
        + info + "\r" + QByteArray(1, '\0');
    return Frame('K', port, from, raw) + Frame('U', port, from, text);
}

// The same packet as a KISS TNC sends it.
QByteArray KissFrame(std::mt19937& rng, int index)
{
    const QByteArray raw = MonitorFrame(rng, index, true);
    // The "K" frame's data (after its 36-byte header): the port byte, then
    // the AX.25 frame.
    const quint32 length = quint8(raw[28]) | quint8(raw[29]) << 8;
    return KissEncode(index % 4, raw.mid(AgwFrame::HeaderSize + 1, length - 1));
}

// The stream of FrameCount frames cut into arrivals of 1 to 1460 bytes.
std::vector<QByteArray> MakeArrivals(int kind)
{
        std::mt19937 rng(4242);
        QByteArray stream;
        for (int i = 0; i < FrameCount; ++i)
            stream += kind == 2 ? KissFrame(rng, i) : MonitorFrame(rng, i, kind == 1);
        std::uniform_int_distribution<qsizetype> size(1, 1460);
        std::vector<QByteArray> out;
        for (qsizetype at = 0; at < stream.size();) {
            const qsizetype n = std::min(size(rng), stream.size() - at);
            out.push_back(stream.mid(at, n));
            at += n;
        }
        return out;
}

// 0 AGW Packet Engine, 1 Dire Wolf ("K" + "U"), 2 KISS.
const std::vector<QByteArray>& Arrivals(int stream = 0)
{
    static const std::vector<QByteArray> streams[] = {MakeArrivals(0), MakeArrivals(1), MakeArrivals(2)};
    return streams[stream];
}

qsizetype StreamBytes(int stream = 0)
{
    qsizetype total = 0;
    for (const QByteArray& a : Arrivals(stream))
        total += a.size();
    return total;
}

class CountingView : public ILinkView {
public:
    qint64 shown = 0;
    void setStatusText(const QString&) override {}
    void setTrayTip(const QString&) override {}
    void setRunning(bool) override {}
    void showReceived(const QStringList&, PacketColour) override { ++shown; }
    void showTransmitted(const QStringList&) override {}
    void setPortsText(const QString&) override {}
    void addPort(const QString&) override {}
    void clearPorts() override {}
    void showSocketError(const QString&) override {}
    QString caption() const override { return QStringLiteral("Selvane"); }
};

void BM_Reassembly(benchmark::State& state)
{
    const auto& arrivals = Arrivals();
    qint64 frames = 0;
    for (auto _ : state) {
        FrameAssembler assembler;
        const FrameAssembler::Handler count = [&](const QByteArray& block, qsizetype h, qint64 L) {
            benchmark::DoNotOptimize(block.constData() + h + L);
            ++frames;
        };
        for (const QByteArray& a : arrivals)
            assembler.feed(a, count);
    }
    if (frames != qint64(state.iterations()) * FrameCount)
        state.SkipWithError("frames lost");
    state.SetItemsProcessed(state.iterations() * FrameCount);
    state.SetBytesProcessed(state.iterations() * StreamBytes());
}
BENCHMARK(BM_Reassembly)->Unit(benchmark::kMillisecond);

// Marks the packets whose header reached the routing step with the ISS
// marked, so a benchmark that loses the raw frames' marks is caught.
struct MarkCheckingRouter : IRoutingStep {
    qint64 marked = 0;
    RouteOutcome route(int, const QString&, const QByteArray&, PacketStore& store, GatewayCounters&,
                       ViaForm) override
    {
        if (store.header().contains(QLatin1String("Via RS0ISS*,")))
            ++marked;
        return {};
    }
};

// range(0): 0 AGW Packet Engine stream, 1 Dire Wolf stream ("K" + "U").
void BM_ReassemblyAndDispatch(benchmark::State& state)
{
    const bool direWolf = state.range(0) == 1;
    const auto& arrivals = Arrivals(direWolf);
    CountingView view;
    MarkCheckingRouter router;
    GatewayCounters counters;
    for (auto _ : state) {
        Dispatcher dispatcher(view, router, counters);
        dispatcher.setProfile(direWolf ? EngineProfile::DireWolf : EngineProfile::Agwpe);
        FrameAssembler assembler;
        const FrameAssembler::Handler dispatch = [&](const QByteArray& block, qsizetype h, qint64 L) {
            dispatcher.DispatchFrame(block, h, L);
        };
        for (const QByteArray& a : arrivals)
            assembler.feed(a, dispatch);
    }
    if (view.shown != qint64(state.iterations()) * FrameCount || router.marked != view.shown)
        state.SkipWithError("frames or marks lost");
    state.SetItemsProcessed(state.iterations() * FrameCount);
    state.SetBytesProcessed(state.iterations() * StreamBytes(direWolf ? 1 : 0));
    state.SetLabel(direWolf ? "Dire Wolf-compatible" : "AGW Packet Engine");
}
BENCHMARK(BM_ReassemblyAndDispatch)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// A KISS TNC's stream: frames cut out, each AX.25 frame read, given its
// header line and handed to the routing step, as the KISS link does.
void BM_KissReassemblyAndDispatch(benchmark::State& state)
{
    const auto& arrivals = Arrivals(2);
    CountingView view;
    MarkCheckingRouter router;
    GatewayCounters counters;
    const QTime time(10, 1, 2);
    for (auto _ : state) {
        HeardHandler heard(view, router, counters);
        KissDecoder decoder;
        const KissDecoder::Handler dispatch = [&](int port, const QByteArray& frame) {
            HandleKissFrame(heard, port, frame, time);
        };
        for (const QByteArray& a : arrivals)
            decoder.feed(a, dispatch);
    }
    if (view.shown != qint64(state.iterations()) * FrameCount || router.marked != view.shown)
        state.SkipWithError("frames or marks lost");
    state.SetItemsProcessed(state.iterations() * FrameCount);
    state.SetBytesProcessed(state.iterations() * StreamBytes(2));
    state.SetLabel("KISS");
}
BENCHMARK(BM_KissReassemblyAndDispatch)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
