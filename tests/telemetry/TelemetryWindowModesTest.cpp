#include <gtest/gtest.h>

#include <QCoreApplication>

#include "FakeTelemetryView.h"
#include "telemetry/TelemetryWindowModes.h"

namespace selvane::test {
namespace {

struct ModesRig {
    FakeTelemetryView view;
    FakeTimer timer;
    TelemetryWindowModes modes{view, timer};
    void ticks(int n)
    {
        for (int i = 0; i < n; ++i)
            modes.tick();
    }
};

TEST(TelemetryWindowModes, ApplyingModes)
{
    ModesRig r;
    EXPECT_EQ(r.modes.SelectedTelemetryWindowMode(), TlmModeHide);
    r.modes.ApplyTelemetryWindowMode(TlmModeShow);
    EXPECT_TRUE(r.view.visible);
    EXPECT_FALSE(r.timer.running);
    EXPECT_EQ(r.view.selectedMode, 0);
    EXPECT_EQ(r.modes.SelectedTelemetryWindowMode(), 0);

    // Auto while visible: hidden at once, timer running.
    r.modes.ApplyTelemetryWindowMode(TlmModeAuto);
    EXPECT_FALSE(r.view.visible);
    EXPECT_TRUE(r.timer.running);
    EXPECT_EQ(r.modes.SelectedTelemetryWindowMode(), 2);
    r.modes.ApplyTelemetryWindowMode(TlmModeAuto);
    EXPECT_EQ(r.timer.starts, 1); // a running timer keeps its period

    // Values outside 0..2 do nothing.
    r.view.events.clear();
    for (int bad : {3, 7, -1}) {
        r.modes.ApplyTelemetryWindowMode(bad);
        EXPECT_EQ(r.modes.SelectedTelemetryWindowMode(), 2) << bad;
        EXPECT_TRUE(r.timer.running) << bad;
    }
    EXPECT_TRUE(r.view.events.isEmpty());

    r.modes.ApplyTelemetryWindowMode(TlmModeHide);
    EXPECT_FALSE(r.view.visible);
    EXPECT_FALSE(r.timer.running);
    EXPECT_EQ(r.view.selectedMode, 1);
}

TEST(TelemetryWindowModes, AutoWithoutTelemetryOnlyStopsTheTimerAtTick15)
{
    ModesRig r;
    r.modes.ApplyTelemetryWindowMode(TlmModeAuto);
    r.ticks(14);
    EXPECT_EQ(r.modes.autoHideTicks(), 14);
    EXPECT_TRUE(r.timer.running);
    r.ticks(1);
    EXPECT_EQ(r.modes.autoHideTicks(), 0);
    EXPECT_FALSE(r.timer.running);
    EXPECT_FALSE(r.view.visible);
}

TEST(TelemetryWindowModes, TelemetryEveryFiveMinutesKeepsTheWindowUp)
{
    ModesRig r;
    r.modes.ApplyTelemetryWindowMode(TlmModeAuto);
    r.modes.TelemetryArrived();
    EXPECT_TRUE(r.view.visible);
    for (int i = 0; i < 4; ++i) {
        r.ticks(5);
        r.modes.TelemetryArrived();
        EXPECT_TRUE(r.view.visible);
        EXPECT_EQ(r.modes.autoHideTicks(), 0);
    }
    r.ticks(14);
    EXPECT_TRUE(r.view.visible);
    r.ticks(1);
    EXPECT_FALSE(r.view.visible);
    EXPECT_FALSE(r.timer.running);
}

TEST(TelemetryWindowModes, ArrivalOutsideAutoChangesNothing)
{
    for (int mode : {TlmModeShow, TlmModeHide}) {
        ModesRig r;
        r.modes.ApplyTelemetryWindowMode(mode);
        const bool shown = r.view.visible;
        r.view.events.clear();
        r.modes.TelemetryArrived();
        EXPECT_EQ(r.view.visible, shown);
        EXPECT_FALSE(r.timer.running);
        EXPECT_TRUE(r.view.events.isEmpty());
    }
}

TEST(TelemetryWindowModes, HideButtonInShowModeSelectsHide)
{
    ModesRig r;
    r.modes.ApplyTelemetryWindowMode(TlmModeShow);
    r.modes.HideTelemetryWindow();
    EXPECT_FALSE(r.view.visible);
    EXPECT_EQ(r.modes.SelectedTelemetryWindowMode(), TlmModeHide);
    EXPECT_EQ(r.view.selectedMode, TlmModeHide);
    EXPECT_FALSE(r.timer.running);
}

TEST(TelemetryWindowModes, HideButtonAtTick7ThenEightMoreTicks)
{
    ModesRig r;
    r.modes.ApplyTelemetryWindowMode(TlmModeAuto);
    r.modes.TelemetryArrived();
    r.ticks(7);
    r.modes.HideTelemetryWindow();
    EXPECT_FALSE(r.view.visible);
    EXPECT_FALSE(r.timer.running);
    EXPECT_EQ(r.modes.autoHideTicks(), 7);
    EXPECT_EQ(r.modes.SelectedTelemetryWindowMode(), TlmModeAuto);

    r.modes.TelemetryArrived(); // hidden: shown, count kept
    EXPECT_TRUE(r.view.visible);
    EXPECT_TRUE(r.timer.running);
    EXPECT_EQ(r.modes.autoHideTicks(), 7);
    r.ticks(7);
    EXPECT_TRUE(r.view.visible);
    r.ticks(1);
    EXPECT_FALSE(r.view.visible);
}

TEST(TelemetryWindowModes, CounterSurvivesModeChanges)
{
    ModesRig r;
    r.modes.ApplyTelemetryWindowMode(TlmModeAuto);
    r.ticks(4);
    r.modes.ApplyTelemetryWindowMode(TlmModeShow);
    r.modes.ApplyTelemetryWindowMode(TlmModeHide);
    r.modes.ApplyTelemetryWindowMode(TlmModeAuto);
    EXPECT_EQ(r.modes.autoHideTicks(), 4);
    r.modes.TelemetryArrived();
    r.ticks(11);
    EXPECT_FALSE(r.view.visible); // this Auto period ends sooner
}

TEST(TelemetryWindowModes, QtTimerCallsBackWhileRunning)
{
    int calls = 0;
    QtTelemetryTimer timer([&] { ++calls; }, 0);
    EXPECT_FALSE(timer.isRunning());
    timer.start();
    EXPECT_TRUE(timer.isRunning());
    for (int i = 0; i < 1000 && calls == 0; ++i)
        QCoreApplication::processEvents();
    EXPECT_GT(calls, 0);
    timer.stop();
    EXPECT_FALSE(timer.isRunning());
    const int after = calls;
    for (int i = 0; i < 10; ++i)
        QCoreApplication::processEvents();
    EXPECT_EQ(calls, after);
}

} // namespace
} // namespace selvane::test
