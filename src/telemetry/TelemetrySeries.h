#pragma once
#include <QList>
#include <QString>
#include <QTime>

namespace selvane {

// What a decoded telemetry quantity measures: one plot each.
enum class TelemetryQuantity {
    PanelCurrent,      // mA, the solar panels (groups 0 and 9)
    Temperature,       // degrees C
    BatteryVoltage,    // V
    BatteryCurrent,    // mA, charge and bus currents
    TransmitterPower,  // W
};
inline constexpr int kTelemetryQuantityCount = 5;

// One value of a telemetry display line.
struct TelemetrySample {
    QTime time;                  // the line's hh:mm
    TelemetryQuantity quantity;
    QString series;              // side and label: "A +X", "B Batt", "A BattA"
    double value = 0;
    QString unit;                // "mA", "C", "V", "W"

    bool operator==(const TelemetrySample&) const = default;
};

// The values of one display line ("4 09:05 BattA=14.76V BattB=14.94V
// Tx=1.24W 8V=8.19V"), as the decoder writes them and the history file
// keeps them: every "label=number unit" of the line, the side from the group
// digit (0-4 side A, 5-9 side B). Empty for a line that is not of that form.
QList<TelemetrySample> TelemetrySamples(const QString& displayLine);

// Below this a battery is low (the decoder's warning).
inline constexpr double kBatteryLowVolts = 14.0;
// Whether a sample is a battery voltage below the warning level.
bool IsLowBatterySample(const TelemetrySample& sample);

} // namespace selvane
