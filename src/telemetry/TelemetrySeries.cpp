#include "telemetry/TelemetrySeries.h"

#include <QRegularExpression>

namespace selvane {

QList<TelemetrySample> TelemetrySamples(const QString& line)
{
    static const QRegularExpression head(QStringLiteral("^([0-9]) ([0-9]{2}:[0-9]{2}) "));
    static const QRegularExpression value(
        QStringLiteral("([-+]?[A-Za-z0-9]+)=(-?[0-9]*\\.?[0-9]+)(mA|C|V|W)(?=\\s|$)"));
    const QRegularExpressionMatch h = head.match(line);
    if (!h.hasMatch())
        return {};
    const QTime time = QTime::fromString(h.captured(2), QStringLiteral("HH:mm"));
    if (!time.isValid())
        return {};
    const int group = h.captured(1).toInt();
    const QString side = group <= 4 ? QStringLiteral("A ") : QStringLiteral("B ");
    QList<TelemetrySample> samples;
    for (QRegularExpressionMatchIterator it = value.globalMatch(line, h.capturedEnd()); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        TelemetrySample s;
        s.time = time;
        s.series = side + m.captured(1);
        s.value = m.captured(2).toDouble();
        s.unit = m.captured(3);
        if (s.unit == QLatin1String("mA"))
            s.quantity = (group == 0 || group == 9) ? TelemetryQuantity::PanelCurrent : TelemetryQuantity::BatteryCurrent;
        else if (s.unit == QLatin1String("C"))
            s.quantity = TelemetryQuantity::Temperature;
        else if (s.unit == QLatin1String("V"))
            s.quantity = TelemetryQuantity::BatteryVoltage;
        else
            s.quantity = TelemetryQuantity::TransmitterPower;
        samples << s;
    }
    return samples;
}

bool IsLowBatterySample(const TelemetrySample& s)
{
    return s.quantity == TelemetryQuantity::BatteryVoltage
           && (s.series.endsWith(QLatin1String("BattA")) || s.series.endsWith(QLatin1String("BattB")))
           && s.value < kBatteryLowVolts;
}

} // namespace selvane
