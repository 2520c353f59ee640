#include <gtest/gtest.h>

#include "aprsis/Beacon.h"

using namespace selvane;

using L = BeaconSchedule::Line;

// When the gateway's own lines fall due, beacon-minutes = 10, started at 0:
// the position at each login and every 10 minutes while logged in, the
// telemetry every 20 minutes logged in or not, its definitions at the first
// login and every 2 hours. What falls due while logged out waits for the
// login; a long pause gives one telemetry report, not a burst.
TEST(BeaconTest, Schedule)
{
    struct Row {
        qint64 atMs;
        bool login;       // a login was verified just now
        bool loggedIn;
        QList<L> due;
        qint64 nextMs;
    };
    const Row rows[] = {
        {0, false, false, {}, 1200000},
        {5000, true, true, {L::Position, L::Definitions}, 605000},
        {604999, false, true, {}, 605000},
        {605000, false, true, {L::Position}, 1200000},
        {1200000, false, true, {L::Telemetry}, 1205000},
        {1205000, false, false, {}, 2400000},
        {1300000, true, true, {L::Position}, 1900000},
        {7205000, false, true, {L::Position, L::Definitions, L::Telemetry}, 7805000},
        {7805000, false, true, {L::Position}, 8405000},
    };
    qint64 now = 0;
    BeaconSchedule schedule([&now] { return now; });
    schedule.start(10);
    for (const Row& row : rows) {
        SCOPED_TRACE(row.atMs);
        now = row.atMs;
        if (row.login)
            schedule.loggedIn();
        EXPECT_EQ(schedule.due(row.loggedIn), row.due);
        EXPECT_EQ(schedule.nextDueMs(), row.nextMs);
    }
    // Without a position, the telemetry alone; a position added goes at once.
    schedule.start(0);
    schedule.loggedIn();
    now = 8405000;
    EXPECT_EQ(schedule.due(true), QList<L>({L::Telemetry}));
    schedule.start(30);
    EXPECT_EQ(schedule.due(true), QList<L>({L::Position}));
    schedule.stop();
    schedule.loggedIn();
    EXPECT_EQ(schedule.due(true), QList<L>());
    EXPECT_EQ(schedule.nextDueMs(), std::nullopt);

    // What a report counts: a count lower than before started again from 0.
    EXPECT_EQ(TrafficSince({10, 5, 2, 8, 0}, {300, 7, 1, 8, 4}), (StationTraffic{290, 2, 1, 0, 4}));
}
