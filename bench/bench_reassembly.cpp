// Frames per second through stream reassembly, alone and followed by the
// dispatch of each frame, for a stream of heard unproto frames that TCP has
// cut at random points.
#include "agw/AgwFrame.h"
#include "agw/Dispatcher.h"
#include "agw/FrameAssembler.h"

#include <benchmark/benchmark.h>

#include <random>
#include <vector>

using namespace selvane;

namespace {

constexpr int FrameCount = 10000;

QByteArray MonitorFrame(std::mt19937& rng, int index)
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
    const QByteArray text = " " + QByteArray::number(index % 4 + 1) + ":Fm " + from + " To APRS Via RS0ISS*,WIDE2-1 <UI pid=F0 Len="
        + QByteArray::number(info.size()) + " >[10:01:02]\r" + info + "\r\r" + QByteArray(1, '\0');

    QByteArray header(AgwFrame::HeaderSize, '\0');
    header[0] = char(index % 4);
    header[AgwFrame::OffsetKind] = 'U';
    header.replace(AgwFrame::OffsetCallFrom, from.size(), from);
    header.replace(AgwFrame::OffsetCallTo, 4, "APRS");
    const quint32 n = quint32(text.size());
    for (int i = 0; i < 4; ++i)
        header[AgwFrame::OffsetDataLength + i] = char((n >> (8 * i)) & 0xFF);
    return header + text;
}

// The stream of FrameCount frames cut into arrivals of 1 to 1460 bytes.
const std::vector<QByteArray>& Arrivals()
{
    static const std::vector<QByteArray> arrivals = [] {
        std::mt19937 rng(4242);
        QByteArray stream;
        for (int i = 0; i < FrameCount; ++i)
            stream += MonitorFrame(rng, i);
        std::uniform_int_distribution<qsizetype> size(1, 1460);
        std::vector<QByteArray> out;
        for (qsizetype at = 0; at < stream.size();) {
            const qsizetype n = std::min(size(rng), stream.size() - at);
            out.push_back(stream.mid(at, n));
            at += n;
        }
        return out;
    }();
    return arrivals;
}

qsizetype StreamBytes()
{
    qsizetype total = 0;
    for (const QByteArray& a : Arrivals())
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

void BM_ReassemblyAndDispatch(benchmark::State& state)
{
    const auto& arrivals = Arrivals();
    CountingView view;
    NoRoute router;
    GatewayCounters counters;
    for (auto _ : state) {
        Dispatcher dispatcher(view, router, counters);
        FrameAssembler assembler;
        const FrameAssembler::Handler dispatch = [&](const QByteArray& block, qsizetype h, qint64 L) {
            dispatcher.DispatchFrame(block, h, L);
        };
        for (const QByteArray& a : arrivals)
            assembler.feed(a, dispatch);
    }
    if (view.shown != qint64(state.iterations()) * FrameCount)
        state.SkipWithError("frames lost");
    state.SetItemsProcessed(state.iterations() * FrameCount);
    state.SetBytesProcessed(state.iterations() * StreamBytes());
}
BENCHMARK(BM_ReassemblyAndDispatch)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
