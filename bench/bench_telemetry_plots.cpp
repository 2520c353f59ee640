// A day of PCSAT telemetry in the telemetry window, as "Load Tlm" brings it:
// the display lines into the lists and the plots, then every plot painted.
//
//   build/bench/bench_telemetry_plots
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QChartView>
#include <QPixmap>
#include <QTime>

#include "ui/TelemetryPlots.h"
#include "ui/TelemetryWindow.h"

using namespace selvane;

namespace {

// `count` display lines spread over one day, every group of both sides in
// turn, the values wandering as a real pass's do.
QList<QPair<TelemetryList, QString>> DayOfLines(int count)
{
    QList<QPair<TelemetryList, QString>> lines;
    lines.reserve(count);
    for (int i = 0; i < count; ++i) {
        const QString at = QTime(0, 0).addSecs(int(qint64(i) * 86399 / count)).toString(QStringLiteral("hh:mm"));
        const int v = i % 97;
        const bool a = (i / 5) % 2 == 0;
        switch (i % 5) {
        case 0:
            lines.append({TelemetryList::M, QStringLiteral("%1 %2 Pannelli %3X=%4mA %3Y=%5mA %3Z=%6mA")
                                                .arg(a ? "0" : "9", at, a ? "+" : "-")
                                                .arg(40 + v)
                                                .arg(60 + v)
                                                .arg(100 - v)});
            break;
        case 1:
            lines.append({a ? TelemetryList::A : TelemetryList::B,
                          QStringLiteral("%1 %2 Temp Batt=%3C Tx=%4C +Y=%5C +Z=%6C")
                              .arg(a ? "1" : "5", at)
                              .arg(20 + v / 10.0)
                              .arg(28 - v / 10.0)
                              .arg(-10 + v / 5.0)
                              .arg(30 - v / 3.0)});
            break;
        case 2:
            lines.append({a ? TelemetryList::A : TelemetryList::B,
                          QStringLiteral("%1 %2 Temp +X=%3C Stack=%4C Corrente -Y=%5mA")
                              .arg(a ? "2" : "6", at)
                              .arg(14 + v / 10.0)
                              .arg(21 + v / 20.0)
                              .arg(50 + v)});
            break;
        case 3:
            lines.append({a ? TelemetryList::A : TelemetryList::B,
                          QStringLiteral("%1 %2 Corrente di carica Batt=%3mA").arg(a ? "3" : "7", at).arg(-200 + 4 * v)});
            break;
        default:
            lines.append({a ? TelemetryList::A : TelemetryList::B,
                          QStringLiteral("%1 %2 BattA=%3V BattB=%4V Tx=%5W 8V=8.19V")
                              .arg(a ? "4" : "8", at)
                              .arg(13.5 + v / 50.0, 0, 'f', 2)
                              .arg(14.9 - v / 100.0, 0, 'f', 2)
                              .arg(1.0 + v / 100.0, 0, 'f', 2)});
            break;
        }
    }
    return lines;
}

// Every plot painted, whether or not it is scrolled into view.
void PaintPlots(const TelemetryPlots& plots)
{
    for (QChartView* view : plots.findChildren<QChartView*>()) {
        QPixmap shot = view->grab();
        benchmark::DoNotOptimize(shot);
    }
}

// The lists and the plots: what the user waits for after "Load Tlm".
void BM_DayIntoTheWindow(benchmark::State& state)
{
    const auto lines = DayOfLines(int(state.range(0)));
    TelemetryWindow window;
    window.resize(800, 900);
    window.showPlots(true);
    window.show();
    for (auto _ : state) {
        window.clearTelemetryLists();
        for (const auto& [list, line] : lines)
            window.addTelemetryLine(list, line);
        window.plots().refresh();
        PaintPlots(window.plots());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_DayIntoTheWindow)->Arg(10000)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// The plots alone: taking the lines in, drawing them, painting.
void BM_DayIntoThePlots(benchmark::State& state)
{
    const auto lines = DayOfLines(int(state.range(0)));
    TelemetryPlots plots;
    plots.resize(800, 1300);
    plots.show();
    for (auto _ : state) {
        plots.clear();
        for (const auto& [list, line] : lines)
            plots.addLine(line);
        plots.refresh();
        PaintPlots(plots);
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_DayIntoThePlots)->Arg(10000)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// One line arriving live into a day already full, with the plots on screen.
void BM_OneMoreLineIntoAFullDay(benchmark::State& state)
{
    const auto lines = DayOfLines(10000);
    TelemetryWindow window;
    window.resize(800, 900);
    window.showPlots(true);
    window.show();
    for (const auto& [list, line] : lines)
        window.addTelemetryLine(list, line);
    window.plots().refresh();
    const QString live = QStringLiteral("4 23:59 BattA=14.10V BattB=14.90V Tx=1.20W 8V=8.19V");
    for (auto _ : state) {
        window.addTelemetryLine(TelemetryList::A, live);
        window.plots().refresh();
        PaintPlots(window.plots());
    }
}
BENCHMARK(BM_OneMoreLineIntoAFullDay)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
