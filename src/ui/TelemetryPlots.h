#pragma once
#include <QMap>
#include <QPointF>
#include <QStringList>
#include <QTime>
#include <QWidget>

#include <array>

#include "telemetry/TelemetrySeries.h"

class QChart;
class QChartView;
class QDateTimeAxis;
class QLineSeries;
class QScatterSeries;
class QValueAxis;
class QXYSeries;

namespace selvane {

// The "Grafici" view of the telemetry window: one plot per quantity (panel
// currents, temperatures, battery voltages, battery currents, transmitter
// power), time of day on the x axis, values in their units, one curve per
// side and label ("A +X", "B BattA"), drawn from the same display lines the
// lists show. Battery voltages below the warning level are marked on the
// battery plot; safe-mode moments, known only when they happen live, are
// drawn as vertical lines on every plot. All plots share the time span of
// the day's data.
//
// Lines are taken in at once and drawn together: while the view is on
// screen at the next turn of the event loop, otherwise when it is next
// shown. A day loaded from the history file is thus drawn once, not once
// per line.
class TelemetryPlots : public QWidget {
    Q_OBJECT
public:
    explicit TelemetryPlots(QWidget* parent = nullptr);
    ~TelemetryPlots() override;

    // Forgets every value (a new day, a history file loaded).
    void clear();
    // The values of one display line; a line that holds none is ignored.
    void addLine(const QString& displayLine);
    // PCSAT reported safe mode at this time of the day shown.
    void markSafeMode(const QTime& time);
    // Draws what was taken in, now.
    void refresh();

    // The plots as drawn, for the tests and the benchmark.
    QChart* chart(TelemetryQuantity quantity) const;
    // The curves of a plot, by name, in the legend's order.
    QStringList curves(TelemetryQuantity quantity) const;
    // A curve's points as "hh:mm=value" (the value as the shortest decimal).
    QStringList drawn(TelemetryQuantity quantity, const QString& curve) const;
    // The battery-low marks and the safe-mode lines, as "hh:mm".
    QStringList lowBatteryMarks() const;
    QStringList safeModeMarks(TelemetryQuantity quantity) const;

    // The plot's title and the unit of its axis, in the user's language.
    static QString title(TelemetryQuantity quantity);
    static QString unitText(TelemetryQuantity quantity);

protected:
    void showEvent(QShowEvent* event) override;

private:
    struct Plot {
        QChart* chart = nullptr;
        QChartView* view = nullptr;
        QDateTimeAxis* x = nullptr;
        QValueAxis* y = nullptr;
        QMap<QString, QLineSeries*> curves;
        QLineSeries* safeMode = nullptr;
        QScatterSeries* lowBattery = nullptr;  // battery voltages only
    };

    void scheduleRefresh();
    void attach(Plot& plot, QXYSeries* series);
    Plot& plot(TelemetryQuantity quantity) { return m_plots[std::size_t(quantity)]; }
    const Plot& plot(TelemetryQuantity quantity) const { return m_plots[std::size_t(quantity)]; }

    // Points are x = milliseconds of a fixed day (the axis shows hh:mm),
    // y = the value; each list is kept in time order.
    std::array<QMap<QString, QList<QPointF>>, kTelemetryQuantityCount> m_values;
    QList<QPointF> m_lowBattery;
    QList<qreal> m_safeMode;
    std::array<Plot, kTelemetryQuantityCount> m_plots;
    bool m_dirty = false;
    bool m_scheduled = false;
};

} // namespace selvane
