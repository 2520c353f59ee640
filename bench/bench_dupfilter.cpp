#include <benchmark/benchmark.h>

#include <QString>
#include <QStringList>

#include "gateway/DuplicateFilter.h"

using namespace selvane;

namespace {

constexpr int kMaxSeconds = 32767;  // the largest duplicate time

QStringList Infos(qsizetype count)
{
    QStringList infos;
    infos.reserve(count);
    for (qsizetype i = 0; i < count; ++i)
        infos.append(QStringLiteral("!4512.34N/00912.34E>Packet number %1 from the ground").arg(i));
    return infos;
}

// Every checked packet is a duplicate of one of N stored entries.
void BM_IsNewPacket_Duplicate(benchmark::State& state)
{
    const qsizetype n = state.range(0);
    qint64 nowMs = 0;
    DuplicateFilter filter([&] { return nowMs; });
    const QStringList infos = Infos(n);
    for (const QString& info : infos)
        filter.IsNewPacket(QStringLiteral("N0CALL-9"), info, kMaxSeconds);
    qsizetype i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(filter.IsNewPacket(QStringLiteral("N0CALL-9"), infos[i], kMaxSeconds));
        if (++i == n)
            i = 0;
    }
    if (filter.size() != n)
        state.SkipWithError("store size changed");
    state.counters["stored"] = double(filter.size());
}

// Every checked packet is new. The source moves on so that the store holds
// about N entries all the time: each call stores one packet and expires about
// one, as in a steady stream of traffic.
void BM_IsNewPacket_New(benchmark::State& state)
{
    const qsizetype n = state.range(0);
    const qint64 stepMs = (qint64(kMaxSeconds) + 1) * 1000 / n;
    qint64 nowMs = 0;
    DuplicateFilter filter([&] { return nowMs; });
    const QStringList infos = Infos(2 * n + 16);  // reused only long after expiry
    qsizetype i = 0;
    auto next = [&] {
        nowMs += stepMs;
        const bool fresh = filter.IsNewPacket(QStringLiteral("N0CALL-9"), infos[i], kMaxSeconds);
        if (++i == infos.size())
            i = 0;
        return fresh;
    };
    for (qsizetype k = 0; k < 2 * n; ++k)
        next();
    for (auto _ : state) {
        if (!next())
            state.SkipWithError("a packet was taken for a duplicate");
    }
    state.counters["stored"] = double(filter.size());
}

// A flood of distinct packets with the longest duplicate time: nothing
// expires, the store is full, and every new packet pushes the oldest out.
void BM_IsNewPacket_Flood(benchmark::State& state)
{
    qint64 nowMs = 0;
    DuplicateFilter filter([&] { return nowMs; });
    const QStringList infos = Infos(2 * DuplicateFilter::kMaxEntries);
    qsizetype i = 0;
    for (auto _ : state) {
        if (!filter.IsNewPacket(QStringLiteral("N0CALL-9"), infos[i], kMaxSeconds))
            state.SkipWithError("a packet was taken for a duplicate");
        if (++i == infos.size())
            i = 0;
    }
    state.counters["stored"] = double(filter.size());
}

} // namespace

BENCHMARK(BM_IsNewPacket_Duplicate)->Arg(10)->Arg(1000)->Arg(DuplicateFilter::kMaxEntries);
BENCHMARK(BM_IsNewPacket_New)->Arg(10)->Arg(1000)->Arg(DuplicateFilter::kMaxEntries);
BENCHMARK(BM_IsNewPacket_Flood);
BENCHMARK_MAIN();
