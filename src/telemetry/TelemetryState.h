#pragma once
#include <QString>

namespace selvane {

// Telemetry state that lives for the whole program run and is shared by the
// decoder (which owns its meaning) and the history loader. The main window
// owns one instance and hands it to both.
struct TelemetryState {
    // "yyyy-mm-dd" of the telemetry shown in the telemetry window; empty
    // until the first decoded line or history load.
    QString tlmShownDay;
    // The last battery-low warning, or empty when the last group "11" line
    // showed both batteries at or above 14 V. One value for both sides.
    QString battLowWarning;
};

} // namespace selvane
