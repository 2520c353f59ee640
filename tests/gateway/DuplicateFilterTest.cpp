#include <QDateTime>
#include <gtest/gtest.h>

#include "gateway/DuplicateFilter.h"
#include "gateway/GatewayFakes.h"

using namespace selvane;

namespace {

// The filter with a monotonic source the test moves by hand (milliseconds).
struct Filter : ::testing::Test {
    qint64 nowMs = 5'000'000;  // an arbitrary origin
    DuplicateFilter filter{[this] { return nowMs; }};
    void At(double seconds) { nowMs = 5'000'000 + qint64(seconds * 1000); }
    bool New(const QString& key = QStringLiteral("N0CALL-9"), const QString& info = QStringLiteral("Hello"),
             int d = 30)
    {
        return filter.IsNewPacket(key, info, d);
    }
};

} // namespace

TEST(DuplicateSeconds, FromText)
{
    const std::pair<const char*, int> rows[] = {
        {"30", 30},      {"", 0},         {"abc", 0},      {" 45 s", 45},    {"-5", -5},
        {"2.5", 2},      {"3.5", 4},      {"29.6", 30},    {"32767", 32767}, {"32768", 32767},
        {"99999", 32767}, {"-32768", -32768}, {"-99999", -32768}, {"1e9", 1},
    };
    for (const auto& [text, d] : rows)
        EXPECT_EQ(DuplicateSeconds(text), d) << text;
    EXPECT_EQ(DuplicateSeconds(QString(400, '9')), 32767);
}

TEST_F(Filter, DuplicateThroughDInclusiveNewOneSecondLater)
{
    EXPECT_TRUE(New());
    EXPECT_EQ(filter.size(), 1);
    At(30);
    EXPECT_FALSE(New());
    At(31);
    EXPECT_TRUE(New());  // the old entry went first, then the packet is new
    EXPECT_EQ(filter.size(), 1);
}

TEST_F(Filter, AgesCountWholeSecondsOfBothMoments)
{
    At(0.999);
    EXPECT_TRUE(New());
    At(30.999);
    EXPECT_FALSE(New());  // second 30 - second 0
    At(31.0);
    EXPECT_TRUE(New());   // second 31 - second 0, though only 30.001 s passed
    At(31.999);
    EXPECT_FALSE(New("N0CALL-9", "Hello", 0));  // D = 0: same second only
    At(32.0);
    EXPECT_TRUE(New("N0CALL-9", "Hello", 0));
}

TEST_F(Filter, WindowCountsFromFirstSendingAndDuplicatesAddNothing)
{
    std::vector<bool> sent;
    for (int t = 0; t <= 40; t += 10) {
        At(t);
        sent.push_back(New());
        EXPECT_EQ(filter.size(), 1);
    }
    EXPECT_EQ(sent, (std::vector<bool>{true, false, false, false, true}));
}

TEST_F(Filter, IdentityIsKeyFollowedByInfo)
{
    EXPECT_TRUE(New("N0CALL-9", "Hello"));
    EXPECT_TRUE(New("N0CALL-7", "Hello"));   // other source
    EXPECT_TRUE(New("~N0CALL-9", "Hello"));  // other direction
    EXPECT_TRUE(New("N0CALL-9", "Hello "));  // other text, case and blanks count
    EXPECT_TRUE(New("N0CALL-9", "hello"));
    EXPECT_FALSE(New("N0CALL-9", "Hello"));
    EXPECT_FALSE(New("~N0CALL-9", "Hello"));
    EXPECT_FALSE(New("N0CALL-", "9Hello"));  // same identity text
    EXPECT_EQ(filter.size(), 5);
}

TEST_F(Filter, NegativeDNeverSuppressesAndLowerDExpiresOlderEntries)
{
    EXPECT_TRUE(New("A", "x", -1));
    EXPECT_TRUE(New("A", "x", -1));
    EXPECT_EQ(filter.size(), 1);
    filter.clear();
    for (int t : {0, 5, 10}) {
        At(t);
        EXPECT_TRUE(New(QString::number(t)));
    }
    At(100);
    EXPECT_EQ(filter.size(), 3);  // stale entries stay until the next call
    EXPECT_TRUE(New("Z", "x", 200));
    EXPECT_EQ(filter.size(), 4);
    EXPECT_FALSE(New("0", "Hello", 100));  // exactly 100 s old
    EXPECT_TRUE(New("Z2", "x", 91));       // entries at 0 and 5 expire
    EXPECT_EQ(filter.size(), 3);
    EXPECT_FALSE(New("10", "Hello", 90));
    filter.clear();
    EXPECT_EQ(filter.size(), 0);
    EXPECT_TRUE(New("10"));
}

// Only the monotonic source counts: a wall clock set back an hour (end of
// daylight saving) while 10 s pass keeps the copy a duplicate, and one set
// forward while 31 s pass does not hold the packet back.
TEST_F(Filter, FollowsMonotonicTimeOnly)
{
    EXPECT_TRUE(New());
    At(10);  // wall: one hour earlier
    EXPECT_FALSE(New());
    At(41);  // wall: one hour later still
    EXPECT_TRUE(New());

    // Anchored to the wall clock: its seconds fall where the clock's do.
    const qint64 wallBefore = QDateTime::currentMSecsSinceEpoch();
    const MonotonicMs steady = SteadyClockMs();
    const qint64 a = steady();
    const qint64 wallAfter = QDateTime::currentMSecsSinceEpoch();
    const qint64 b = steady();
    EXPECT_GE(a, wallBefore - 5);
    EXPECT_LE(a, wallAfter + 5);
    EXPECT_GE(b, a);
}

// A source that steps back (which a monotonic one never does) is held at the
// latest second seen, so the store stays in time order.
TEST_F(Filter, SourceSteppingBackIsHeld)
{
    EXPECT_TRUE(New("A"));
    At(50);
    EXPECT_TRUE(New("B", "Hello", 60));
    At(10);
    EXPECT_TRUE(New("C", "Hello", 45));  // taken as second 50: A is 50 s old
    EXPECT_EQ(filter.size(), 2);
    EXPECT_FALSE(New("B", "Hello", 45));
    EXPECT_TRUE(New("A", "Hello", 45));
}

// A flood of distinct packets with the longest duplicate time: the store
// stops at its cap, the oldest entries going first.
TEST_F(Filter, FloodWithLongestTimeStaysAtTheCapOldestGoFirst)
{
    const qsizetype cap = DuplicateFilter::kMaxEntries;
    const int d = 32767;
    for (qsizetype i = 0; i < cap + 500; ++i)
        ASSERT_TRUE(New(QString::number(i), "Hello", d)) << i;
    EXPECT_EQ(filter.size(), cap);
    EXPECT_FALSE(New("500", "Hello", d));                        // oldest kept
    EXPECT_FALSE(New(QString::number(cap + 499), "Hello", d));   // newest
    EXPECT_TRUE(New("499", "Hello", d));                         // dropped
    EXPECT_EQ(filter.size(), cap);
    EXPECT_TRUE(New("500", "Hello", d));  // pushed out by "499" just now
}
