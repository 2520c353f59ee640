#pragma once
#include <QTimer>
#include <functional>

#include "telemetry/TelemetryView.h"

namespace selvane {

// TelemetryWindowMode: the index of the selected optTlm button.
enum TelemetryWindowMode { TlmModeShow = 0, TlmModeHide = 1, TlmModeAuto = 2 };

// The display modes of the telemetry window and its auto-hide timer: in
// "Auto" the window appears when telemetry arrives and hides again 15 ticks
// (minutes) after the last telemetry that arrived while it was visible.
class TelemetryWindowModes {
public:
    static constexpr int kAutoHideTicks = 15;
    static constexpr int kTimerIntervalMs = 60000;

    // "Hide" is selected until a mode is applied.
    TelemetryWindowModes(ITelemetryView& view, ITelemetryTimer& timer);

    // Selects and applies a mode: 0 shows the window and stops the timer,
    // 1 hides it and stops the timer, 2 hides it and starts the timer. Any
    // other value does nothing (the selection stays). autoHideTicks is kept.
    void ApplyTelemetryWindowMode(int mode);
    // The selected mode, 0..2.
    int SelectedTelemetryWindowMode() const { return m_selected; }

    // Decoded telemetry was added to the lists. Only in "Auto": a visible
    // window restarts its 15 ticks; a hidden one is shown and the timer
    // starts, with autoHideTicks left as it was.
    void TelemetryArrived();

    // One period of tmrTlm: counts; at 15 resets the count, stops the timer
    // and hides the window.
    void tick();

    // The window's "Hide" button: hides the window; in "Show Tlm" mode selects
    // "Hide" (mode 1 applied), otherwise stops the timer.
    void HideTelemetryWindow();

    int autoHideTicks() const { return m_autoHideTicks; }

private:
    void startTimer();

    ITelemetryView& m_view;
    ITelemetryTimer& m_timer;
    int m_selected = TlmModeHide;
    int m_autoHideTicks = 0;
};

// tmrTlm on a QTimer: calls onTick every kTimerIntervalMs while running.
// start() on a running timer keeps its current period.
class QtTelemetryTimer : public ITelemetryTimer {
public:
    explicit QtTelemetryTimer(std::function<void()> onTick,
                              int intervalMs = TelemetryWindowModes::kTimerIntervalMs);
    void start() override;
    void stop() override;
    bool isRunning() const override;

private:
    QTimer m_timer;
};

} // namespace selvane
