#include "telemetry/TelemetryWindowModes.h"

namespace selvane {

TelemetryWindowModes::TelemetryWindowModes(ITelemetryView& view, ITelemetryTimer& timer)
    : m_view(view), m_timer(timer)
{
}

void TelemetryWindowModes::startTimer()
{
    // Starting a running timer must not move its ticks.
    if (!m_timer.isRunning())
        m_timer.start();
}

void TelemetryWindowModes::ApplyTelemetryWindowMode(int mode)
{
    switch (mode) {
    case TlmModeShow:
        m_selected = mode;
        m_view.setSelectedTelemetryWindowMode(mode);
        m_view.showTelemetryWindow();
        m_timer.stop();
        break;
    case TlmModeHide:
        m_selected = mode;
        m_view.setSelectedTelemetryWindowMode(mode);
        m_view.hideTelemetryWindow();
        m_timer.stop();
        break;
    case TlmModeAuto:
        m_selected = mode;
        m_view.setSelectedTelemetryWindowMode(mode);
        m_view.hideTelemetryWindow();
        startTimer();
        break;
    default:
        break;
    }
}

void TelemetryWindowModes::TelemetryArrived()
{
    if (m_selected != TlmModeAuto)
        return;
    if (m_view.telemetryWindowVisible()) {
        m_autoHideTicks = 0;
    } else {
        m_view.showTelemetryWindow();
        startTimer();
    }
}

void TelemetryWindowModes::tick()
{
    ++m_autoHideTicks;
    if (m_autoHideTicks >= kAutoHideTicks) {
        m_autoHideTicks = 0;
        m_timer.stop();
        m_view.hideTelemetryWindow();
    }
}

void TelemetryWindowModes::HideTelemetryWindow()
{
    m_view.hideTelemetryWindow();
    if (m_selected == TlmModeShow)
        ApplyTelemetryWindowMode(TlmModeHide);
    else
        m_timer.stop();
}

QtTelemetryTimer::QtTelemetryTimer(std::function<void()> onTick, int intervalMs)
{
    m_timer.setInterval(intervalMs);
    QObject::connect(&m_timer, &QTimer::timeout, [f = std::move(onTick)] {
        if (f)
            f();
    });
}

void QtTelemetryTimer::start()
{
    if (!m_timer.isActive())
        m_timer.start();
}

void QtTelemetryTimer::stop()
{
    m_timer.stop();
}

bool QtTelemetryTimer::isRunning() const
{
    return m_timer.isActive();
}

} // namespace selvane
