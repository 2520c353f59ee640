#include <gtest/gtest.h>

#include "ui/Placement.h"

using namespace selvane;

namespace {

const QRect kScreen(0, 0, 1920, 1050);  // a 1920 x 1080 screen under a panel
const QRect kRight(1920, 0, 1280, 1024);

// A window some of whose title bar lies on a screen can be grabbed; one
// left on a monitor since removed, or pushed above the screen, cannot.
TEST(Placement, ReachableWindows)
{
    const struct {
        QRect frame;
        bool reachable;
    } cases[] = {
        {{100, 100, 600, 400}, true},
        {{1900, 100, 600, 400}, false},  // 20 pixels of title bar: too little to grab
        {{1860, 100, 600, 400}, true},
        {{2500, 100, 600, 400}, false},  // on a monitor since removed
        {{100, -390, 600, 400}, false},  // title bar above the screen
        {{100, -10, 600, 400}, true},
        {{-580, 500, 600, 400}, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(IsReachable(c.frame, {kScreen}), c.reachable) << c.frame.x() << "," << c.frame.y();
    EXPECT_TRUE(IsReachable({2500, 100, 600, 400}, {kScreen, kRight}));
}

TEST(Placement, KeptWithinMovesAsLittleAsItCan)
{
    const struct {
        QRect frame;
        QPoint kept;
    } cases[] = {
        {{100, 100, 600, 400}, {100, 100}},
        {{2500, 100, 600, 400}, {1320, 100}},
        {{-50, 900, 600, 400}, {0, 650}},
        {{100, 100, 2500, 1200}, {0, 0}},  // larger than the screen: its corner on it
    };
    for (const auto& c : cases)
        EXPECT_EQ(KeptWithin(c.frame, kScreen), c.kept) << c.frame.x() << "," << c.frame.y();
    EXPECT_EQ(CentredOn({600, 400}, kScreen), QPoint(660, 325));
}

// First start: the main window centred, the telemetry window beside it, or
// the pair moved just enough to stay side by side, or one above the other;
// only a screen too small for both lets them overlap.
TEST(Placement, PairAtTheFirstStart)
{
    const QSize main(680, 480), tlm(460, 400);
    const struct {
        QRect area;
        QPoint main;
        QPoint telemetry;
    } cases[] = {
        {kScreen, {620, 285}, {1308, 285}},                 // centred, room on the right
        {{0, 0, 1280, 1024}, {132, 272}, {820, 272}},       // moved left to make room
        {{0, 0, 1000, 1000}, {160, 112}, {160, 600}},       // one above the other
        {{0, 0, 800, 600}, {60, 60}, {340, 60}},            // no room for both: at the right edge
        {{1920, 30, 1280, 994}, {1920 + 132, 30 + 257}, {1920 + 820, 30 + 257}},  // on a second screen
    };
    for (const auto& c : cases) {
        const PairPlace p = PlacePair(main, tlm, c.area, 8);
        EXPECT_EQ(p.main, c.main) << c.area.width();
        EXPECT_EQ(p.telemetry, c.telemetry) << c.area.width();
        const QRect m(p.main, main), t(p.telemetry, tlm);
        EXPECT_TRUE(c.area.contains(m)) << c.area.width();
        EXPECT_TRUE(c.area.contains(t)) << c.area.width();
        EXPECT_EQ(m.intersects(t), c.area.width() == 800) << c.area.width();
    }
}

// The main window stays where the user left it: the telemetry window goes
// to its right, else left, else below, else above.
TEST(Placement, TelemetryBesideAMainWindowThatStays)
{
    const QSize tlm(460, 400);
    const struct {
        QRect main;
        QPoint telemetry;
    } cases[] = {
        {{100, 100, 680, 480}, {788, 100}},    // right
        {{1200, 100, 680, 480}, {732, 100}},   // left
        {{700, 100, 680, 900}, {1388, 100}},   // right, tall main window
        {{0, 0, 1800, 500}, {0, 508}},         // below
        {{0, 600, 1800, 450}, {0, 192}},       // above
        {{100, 700, 680, 350}, {788, 650}},    // right, slid up to stay on the screen
        {{0, 300, 1800, 500}, {0, 0}},         // nowhere whole: above, where most of it shows
    };
    for (const auto& c : cases) {
        const QPoint at = PlaceBeside(c.main, tlm, kScreen, 8);
        EXPECT_EQ(at, c.telemetry) << c.main.x() << "," << c.main.y();
        EXPECT_TRUE(kScreen.contains(QRect(at, tlm))) << c.main.x() << "," << c.main.y();
    }
}

} // namespace
