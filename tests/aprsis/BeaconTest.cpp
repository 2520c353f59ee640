#include <gtest/gtest.h>

#include "aprsis/Beacon.h"

using namespace selvane;

namespace {

QString Names(const QList<BeaconSchedule::Line>& lines)
{
    QStringList names;
    for (BeaconSchedule::Line l : lines)
        names << (l == BeaconSchedule::Line::Position      ? QStringLiteral("position")
                  : l == BeaconSchedule::Line::Definitions ? QStringLiteral("definitions")
                                                           : QStringLiteral("telemetry"));
    return names.join(QLatin1Char(' '));
}

} // namespace

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
        const char* due;
        qint64 nextMs;
    };
    const Row rows[] = {
        {0, false, false, "", 1200000},
        {5000, true, true, "position definitions", 605000},
        {604999, false, true, "", 605000},
        {605000, false, true, "position", 1200000},
        {1200000, false, true, "telemetry", 1205000},
        {1205000, false, false, "", 2400000},
        {1300000, true, true, "position", 1900000},
        {7205000, false, true, "position definitions telemetry", 7805000},
        {7805000, false, true, "position", 8405000},
    };
    qint64 now = 0;
    BeaconSchedule schedule([&now] { return now; });
    schedule.start(10);
    for (const Row& row : rows) {
        SCOPED_TRACE(row.atMs);
        now = row.atMs;
        if (row.login)
            schedule.loggedIn();
        EXPECT_EQ(Names(schedule.due(row.loggedIn)), QString::fromLatin1(row.due));
        EXPECT_EQ(schedule.nextDueMs(), row.nextMs);
    }
    // Without a position, the telemetry alone; a position added goes at once.
    schedule.start(0);
    schedule.loggedIn();
    EXPECT_EQ(Names(schedule.due(true)), QString());
    now = 8405000;
    EXPECT_EQ(Names(schedule.due(true)), "telemetry");
    schedule.start(30);
    EXPECT_EQ(Names(schedule.due(true)), "position");
    EXPECT_EQ(schedule.nextDueMs(), 8405000 + 20 * 60000);
    now = 8405000 + 20 * 60000;
    EXPECT_EQ(Names(schedule.due(true)), "telemetry");
    EXPECT_EQ(schedule.nextDueMs(), 8405000 + 30 * 60000);

    schedule.stop();
    schedule.loggedIn();
    EXPECT_EQ(Names(schedule.due(true)), QString());
    EXPECT_EQ(schedule.nextDueMs(), std::nullopt);
}

TEST(BeaconTest, TelemetryCountsAndStatus)
{
    // Counts between two readings; one that started again counts from 0.
    EXPECT_EQ(TrafficSince({10, 5, 2, 8, 0}, {300, 7, 1, 8, 4}), (StationTraffic{290, 2, 1, 0, 4}));
    EXPECT_EQ(TelemetryLine("N1CALL-5", 1234, {290, 2, 1, 0, 256}),
              "N1CALL-5>APZSLV,TCPIP*:T#234,255,002,001,000,255,00000000");

    SatelliteTable table = SatelliteTable::Defaults();
    EXPECT_EQ(SatgateStatusText(table, true), "Satgate PCSAT, ISS, PSAT2, SONATE-2, EOS-7; uplink on");
    for (const char* name : {"A-SATELLITE-WITH-A-LONG-NAME", "ANOTHER-ONE"}) {
        Satellite s;
        s.name = QString::fromLatin1(name);
        table.satellites() << s;
    }
    EXPECT_EQ(SatgateStatusText(table, false), "Satgate PCSAT, ISS, PSAT2, SONATE-2, EOS-7, ...; uplink off");
    for (Satellite& s : table.satellites())
        s.enabled = false;
    EXPECT_EQ(SatgateStatusText(table, true), "Satgate, no satellite enabled");
}
