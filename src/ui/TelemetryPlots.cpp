#include "ui/TelemetryPlots.h"

#include <QChart>
#include <QChartView>
#include <QDateTimeAxis>
#include <QLineSeries>
#include <QScatterSeries>
#include <QScrollArea>
#include <QTimer>
#include <QValueAxis>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>
#include <limits>

namespace selvane {

namespace {

constexpr int kQuantities[] = {
    int(TelemetryQuantity::PanelCurrent),   int(TelemetryQuantity::Temperature),
    int(TelemetryQuantity::BatteryVoltage), int(TelemetryQuantity::BatteryCurrent),
    int(TelemetryQuantity::TransmitterPower),
};

// The day the x axis counts from. Only hh:mm is shown; a day without a
// change of daylight saving time keeps every minute of the local clock.
const QDate kAxisDay(2000, 1, 1);
constexpr qint64 kMinuteMs = 60 * 1000;
constexpr qsizetype kMaxDottedPoints = 120;

qreal AxisX(const QTime& time)
{
    return qreal(QDateTime(kAxisDay, time).toMSecsSinceEpoch());
}

QTime AxisTime(qreal x)
{
    return QDateTime::fromMSecsSinceEpoch(qint64(x)).time();
}

QString MarkText(const QPointF& p)
{
    return AxisTime(p.x()).toString(QStringLiteral("hh:mm")) + QLatin1Char('=') + QString::number(p.y());
}

// Inserts in time order; telemetry normally arrives in order, so this is
// an append.
void InsertInOrder(QList<QPointF>& points, const QPointF& p)
{
    if (points.isEmpty() || points.constLast().x() <= p.x()) {
        points.append(p);
        return;
    }
    const auto at = std::upper_bound(points.begin(), points.end(), p.x(),
                                     [](qreal x, const QPointF& q) { return x < q.x(); });
    points.insert(at, p);
}

} // namespace

TelemetryPlots::TelemetryPlots(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("telemetryPlots"));
    auto* inner = new QWidget;
    auto* column = new QVBoxLayout(inner);
    column->setContentsMargins(0, 0, 0, 0);
    for (int q : kQuantities) {
        const auto quantity = TelemetryQuantity(q);
        Plot& p = plot(quantity);
        p.chart = new QChart;
        p.chart->setTitle(title(quantity));
        p.chart->legend()->setAlignment(Qt::AlignBottom);
        p.chart->setMargins(QMargins(2, 2, 2, 2));
        p.x = new QDateTimeAxis;
        p.x->setFormat(QStringLiteral("HH:mm"));
        p.x->setTickCount(5);
        p.chart->addAxis(p.x, Qt::AlignBottom);
        p.y = new QValueAxis;
        p.y->setTitleText(unitText(quantity));
        p.y->setLabelFormat(QStringLiteral("%g"));
        p.chart->addAxis(p.y, Qt::AlignLeft);

        p.safeMode = new QLineSeries;
        p.safeMode->setName(tr("Safe mode"));
        QPen dashed(QColor(160, 0, 0), 1.5, Qt::DashLine);
        p.safeMode->setPen(dashed);
        if (quantity == TelemetryQuantity::BatteryVoltage) {
            p.lowBattery = new QScatterSeries;
            p.lowBattery->setName(tr("Batteria bassa"));
            p.lowBattery->setColor(QColor(220, 0, 0));
            p.lowBattery->setBorderColor(QColor(120, 0, 0));
            p.lowBattery->setMarkerSize(11);
        }

        p.view = new QChartView(p.chart);
        p.view->setObjectName(QStringLiteral("plot%1").arg(q));
        p.view->setRenderHint(QPainter::Antialiasing);
        p.view->setMinimumHeight(220);
        column->addWidget(p.view);
    }
    auto* scroll = new QScrollArea(this);
    scroll->setWidget(inner);
    scroll->setWidgetResizable(true);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroll->setFrameShape(QFrame::NoFrame);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(scroll);
    refresh();
}

TelemetryPlots::~TelemetryPlots()
{
    // The marks not on a chart at the moment belong to no chart.
    for (Plot& p : m_plots) {
        if (!p.safeMode->chart())
            delete p.safeMode;
        if (p.lowBattery && !p.lowBattery->chart())
            delete p.lowBattery;
    }
}

QString TelemetryPlots::title(TelemetryQuantity quantity)
{
    switch (quantity) {
    case TelemetryQuantity::PanelCurrent:
        return tr("Correnti dei pannelli solari");
    case TelemetryQuantity::Temperature:
        return tr("Temperature");
    case TelemetryQuantity::BatteryVoltage:
        return tr("Tensioni delle batterie");
    case TelemetryQuantity::BatteryCurrent:
        return tr("Correnti di batteria e di carica");
    case TelemetryQuantity::TransmitterPower:
        return tr("Potenza del trasmettitore");
    }
    return {};
}

QString TelemetryPlots::unitText(TelemetryQuantity quantity)
{
    switch (quantity) {
    case TelemetryQuantity::PanelCurrent:
    case TelemetryQuantity::BatteryCurrent:
        return tr("mA");
    case TelemetryQuantity::Temperature:
        return tr("°C");
    case TelemetryQuantity::BatteryVoltage:
        return tr("V");
    case TelemetryQuantity::TransmitterPower:
        return tr("W");
    }
    return {};
}

void TelemetryPlots::clear()
{
    for (auto& values : m_values)
        values.clear();
    m_lowBattery.clear();
    m_safeMode.clear();
    scheduleRefresh();
}

void TelemetryPlots::addLine(const QString& displayLine)
{
    const QList<TelemetrySample> samples = TelemetrySamples(displayLine);
    if (samples.isEmpty())
        return;
    for (const TelemetrySample& s : samples) {
        const QPointF p(AxisX(s.time), s.value);
        InsertInOrder(m_values[std::size_t(s.quantity)][s.series], p);
        if (IsLowBatterySample(s))
            InsertInOrder(m_lowBattery, p);
    }
    scheduleRefresh();
}

void TelemetryPlots::markSafeMode(const QTime& time)
{
    if (!time.isValid())
        return;
    const qreal x = AxisX(QTime(time.hour(), time.minute()));
    // One line a minute, however many packets reported it.
    if (std::find(m_safeMode.cbegin(), m_safeMode.cend(), x) != m_safeMode.cend())
        return;
    m_safeMode.insert(std::upper_bound(m_safeMode.begin(), m_safeMode.end(), x), x);
    scheduleRefresh();
}

void TelemetryPlots::scheduleRefresh()
{
    m_dirty = true;
    if (m_scheduled || !isVisible())
        return;
    m_scheduled = true;
    QTimer::singleShot(0, this, [this] {
        m_scheduled = false;
        if (isVisible())
            refresh();
    });
}

void TelemetryPlots::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (m_dirty)
        refresh();
}

void TelemetryPlots::attach(Plot& p, QXYSeries* series)
{
    p.chart->addSeries(series);
    series->attachAxis(p.x);
    series->attachAxis(p.y);
}

void TelemetryPlots::refresh()
{
    m_dirty = false;

    // One time span for every plot: the day's values and marks, with five
    // minutes on either side; the whole day while there are none.
    qreal first = std::numeric_limits<qreal>::max();
    qreal last = std::numeric_limits<qreal>::lowest();
    for (const auto& values : m_values)
        for (const QList<QPointF>& points : values) {
            first = std::min(first, points.constFirst().x());
            last = std::max(last, points.constLast().x());
        }
    for (qreal x : m_safeMode) {
        first = std::min(first, x);
        last = std::max(last, x);
    }
    // Ticks on whole steps of the clock, at most seven of them.
    const qint64 dayStart = QDateTime(kAxisDay, QTime(0, 0)).toMSecsSinceEpoch();
    qint64 from = 0;
    qint64 to = 24 * 60 * kMinuteMs;
    qint64 step = 4 * 60 * kMinuteMs;
    if (first <= last) {
        const qint64 low = qint64(first) - dayStart - 5 * kMinuteMs;
        const qint64 high = qint64(last) - dayStart + 5 * kMinuteMs;
        for (int minutes : {5, 10, 15, 30, 60, 120, 180, 240}) {
            step = minutes * kMinuteMs;
            from = (low >= 0 ? low : low - step + 1) / step * step;
            to = (high + step - 1) / step * step;
            if ((to - from) / step <= 6)
                break;
        }
    }

    for (int q : kQuantities) {
        Plot& p = m_plots[std::size_t(q)];
        const QMap<QString, QList<QPointF>>& values = m_values[std::size_t(q)];

        // Curves that no longer have values go; new ones come in name order.
        for (auto it = p.curves.begin(); it != p.curves.end();) {
            if (!values.contains(it.key())) {
                p.chart->removeSeries(it.value());
                delete it.value();
                it = p.curves.erase(it);
            } else {
                ++it;
            }
        }
        double low = std::numeric_limits<double>::max();
        double high = std::numeric_limits<double>::lowest();
        for (auto it = values.cbegin(); it != values.cend(); ++it) {
            QLineSeries*& curve = p.curves[it.key()];
            if (!curve) {
                curve = new QLineSeries;
                curve->setName(it.key());
                attach(p, curve);
            }
            // Dots on each value while they can be told apart; a full day
            // is a line.
            curve->setPointsVisible(it.value().size() <= kMaxDottedPoints);
            curve->replace(it.value());
            for (const QPointF& v : it.value()) {
                low = std::min(low, v.y());
                high = std::max(high, v.y());
            }
        }
        if (low > high) {
            low = 0;
            high = 1;
        } else if (low == high) {
            low -= 1;
            high += 1;
        }
        p.y->setRange(low, high);
        p.y->applyNiceNumbers();
        p.x->setRange(QDateTime::fromMSecsSinceEpoch(dayStart + from), QDateTime::fromMSecsSinceEpoch(dayStart + to));
        p.x->setTickCount(int((to - from) / step) + 1);

        if (p.lowBattery) {
            p.lowBattery->replace(m_lowBattery);
            if (m_lowBattery.isEmpty() == bool(p.lowBattery->chart())) {
                if (m_lowBattery.isEmpty())
                    p.chart->removeSeries(p.lowBattery);
                else
                    attach(p, p.lowBattery);
            }
        }

        // Safe mode: up and down the whole plot at each moment, along the
        // bottom axis in between, where the axis line hides it.
        QList<QPointF> zigzag;
        zigzag.reserve(m_safeMode.size() * 3);
        for (qreal x : m_safeMode)
            zigzag << QPointF(x, p.y->min()) << QPointF(x, p.y->max()) << QPointF(x, p.y->min());
        p.safeMode->replace(zigzag);
        if (m_safeMode.isEmpty() == bool(p.safeMode->chart())) {
            if (m_safeMode.isEmpty())
                p.chart->removeSeries(p.safeMode);
            else
                attach(p, p.safeMode);
        }
    }
}

QChart* TelemetryPlots::chart(TelemetryQuantity quantity) const
{
    return plot(quantity).chart;
}

QStringList TelemetryPlots::curves(TelemetryQuantity quantity) const
{
    QStringList names;
    for (QAbstractSeries* s : plot(quantity).chart->series())
        if (s != plot(quantity).safeMode && s != plot(quantity).lowBattery)
            names << s->name();
    return names;
}

QStringList TelemetryPlots::drawn(TelemetryQuantity quantity, const QString& curve) const
{
    QStringList out;
    if (QLineSeries* s = plot(quantity).curves.value(curve); s && s->chart())
        for (const QPointF& p : s->points())
            out << MarkText(p);
    return out;
}

QStringList TelemetryPlots::lowBatteryMarks() const
{
    QStringList out;
    const QScatterSeries* s = plot(TelemetryQuantity::BatteryVoltage).lowBattery;
    if (s->chart())
        for (const QPointF& p : s->points())
            out << MarkText(p);
    return out;
}

QStringList TelemetryPlots::safeModeMarks(TelemetryQuantity quantity) const
{
    QStringList out;
    const QLineSeries* s = plot(quantity).safeMode;
    if (!s->chart())
        return out;
    const QList<QPointF> points = s->points();
    for (qsizetype i = 0; i + 1 < points.size(); i += 3) {
        // Each mark reaches from the bottom of the plot to its top.
        if (points[i].y() == plot(quantity).y->min() && points[i + 1].y() == plot(quantity).y->max())
            out << AxisTime(points[i].x()).toString(QStringLiteral("hh:mm"));
    }
    return out;
}

} // namespace selvane
