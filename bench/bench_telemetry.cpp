// Telemetry lines decoded per second: decoder, formulas and number formatter,
// with a window that shows nothing and no history file.
#include <benchmark/benchmark.h>

#include <QStringList>
#include <vector>

#include "telemetry/NumberFormat.h"
#include "telemetry/TelemetryDecoder.h"

namespace {

using namespace selvane;

class NullView : public ITelemetryView {
public:
    void setTelemetryCaption(const QString&) override {}
    void clearTelemetryLists() override {}
    void addTelemetryLine(TelemetryList, const QString& line) override { benchmark::DoNotOptimize(line.size()); }
    bool telemetryWindowVisible() const override { return true; }
    void showTelemetryWindow() override {}
    void hideTelemetryWindow() override {}
    void setWarning(const QString&) override {}
    void setWarningVisible(bool) override {}
    void setSelectedTelemetryWindowMode(int) override {}
    void showLoadError(const QString&) override {}
};

class NullTimer : public ITelemetryTimer {
public:
    void start() override {}
    void stop() override {}
    bool isRunning() const override { return false; }
};

class NullHistory : public ITelemetryHistoryWriter {
public:
    void WriteTlmHistory(const QString&, const QString&) override {}
};

void BM_DecodeTelemetry(benchmark::State& state)
{
    NullView view;
    NullTimer timer;
    TelemetryState tlm;
    TelemetryWindowModes modes(view, timer);
    modes.ApplyTelemetryWindowMode(TlmModeAuto);
    NullHistory history;
    const QDateTime now(QDate(2002, 6, 15), QTime(14, 5, 30));
    TelemetryDecoder decoder(view, tlm, modes, history, [] { return false; }, [now] { return now; });

    // Every group of both sides, varied channel values, and a safe-mode line.
    struct Input {
        QString source;
        QString info;
    };
    std::vector<Input> inputs;
    const char* groups[] = {"00", "01", "10", "11"};
    const char* sources[] = {"W3ADO-1", "PCSAT", "PCSAT-2", "PCSAT-3"};
    int n = 0;
    for (const char* source : sources)
        for (const char* group : groups)
            for (int v : {0, 97, 140, 201, 255}) {
                const QString c = QString::number((v + 13 * n++) % 256).rightJustified(3, u'0');
                inputs.push_back({QString::fromLatin1(source),
                                  QStringLiteral("T#%1,%2,%3,%4,%5,000,%6,  %7")
                                      .arg(QString::number(n % 1000).rightJustified(3, u'0'), c,
                                           QString::number(v).rightJustified(3, u'0'), c, c,
                                           n % 7 ? QStringLiteral("00000000") : QStringLiteral("11111111"),
                                           QString::fromLatin1(group))});
            }

    PacketStore store;
    std::size_t i = 0;
    std::int64_t decoded = 0;
    for (auto _ : state) {
        const Input& in = inputs[i++ % inputs.size()];
        store.lines = QStringList{QString(), in.info};
        decoded += decoder.DecodeTelemetry(in.source, store);
        benchmark::DoNotOptimize(store.lines);
    }
    if (decoded != state.iterations())
        state.SkipWithError("a line was not decoded");
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_DecodeTelemetry);

void BM_FormatNumber(benchmark::State& state)
{
    const float values[] = {50.64f, -29.6f, 14.76f, 0.89f, 8.0f, -0.4f, 123.456f};
    const char16_t* patterns[] = {u"##0mA", u"#0.0", u"BattA=##.0#V", u" Tx=#.0#W", u"#.0#V"};
    std::size_t i = 0;
    for (auto _ : state) {
        QString s = FormatNumber(values[i % 7], QStringView(patterns[i % 5]));
        benchmark::DoNotOptimize(s);
        ++i;
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_FormatNumber);

} // namespace

BENCHMARK_MAIN();
