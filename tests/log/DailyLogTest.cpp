#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <csignal>
#include <functional>
#include <memory>

#include <sys/resource.h>
#include <sys/stat.h>

#include "log/DailyLog.h"

using namespace selvane;

namespace {

const QString kHeader = QStringLiteral(" 1:Fm N0CALL-9 To APRS Via RS0ISS* <UI pid=F0 Len=5 >[08:15:30]");

class DailyLogTest : public ::testing::Test {
protected:
    QTemporaryDir tmp;
    QString logs = tmp.filePath(QStringLiteral("Logs"));
    QDateTime now { QDate(2026, 12, 6), QTime(8, 15, 40) };
    Clock clock = [this] { return now; };

    void SetUp() override { ASSERT_TRUE(QDir().mkpath(logs)); }

    QByteArray read(const QString& name) const
    {
        QFile f(QDir(logs).filePath(name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }
    std::unique_ptr<DailyLog> enabledLog(const QString& dir)
    {
        auto log = std::make_unique<DailyLog>(dir, clock);
        log->setLogEnabled(true);
        return log;
    }
};

const QByteArray kBanner = "2026-12-06 08:15:30 START LOCAL TIME [Selvane]\r\n";
const QByteArray kRecord = "2026-12-06 08:15:30 08:15:30R N0CALL-9>APRS Port=1 <UI>:\r\nHello\r\n";

} // namespace

TEST_F(DailyLogTest, WorkedExampleAndSecondPacketSameDay)
{
    auto log = enabledLog(logs);
    log->WriteDailyLog(kHeader, QStringLiteral("Hello"), QStringLiteral("N0CALL-9"));
    EXPECT_EQ(log->logDay(), QStringLiteral("2026-12-06"));
    EXPECT_EQ(log->pathForDay(QStringLiteral("2026-12-06")),
              QDir::toNativeSeparators(logs + QStringLiteral("/26-12-06.Txt")));
    // Flushed: the whole record is readable while the file stays open.
    EXPECT_EQ(read("26-12-06.Txt"), kBanner + kRecord);

    log->WriteDailyLog(QStringLiteral("12:Fm AB1CD To APRS-1 Via X <UI pid=F0 Len=2 >[09:00:01]"),
                       QStringLiteral("Hi"), QStringLiteral("AB1CD"));
    EXPECT_EQ(read("26-12-06.Txt"),
              kBanner + kRecord + "2026-12-06 09:00:01 09:00:01R AB1CD>APRS-1 Port=12 <UI>:\r\nHi\r\n");
}

TEST_F(DailyLogTest, DayChangeRestartAndOffOn)
{
    auto log = enabledLog(logs);
    log->WriteDailyLog(kHeader, QStringLiteral("Hello"), QStringLiteral("N0CALL-9"));

    // Heard at 23:59:59, logged after midnight: the new day's file.
    now = QDateTime(QDate(2026, 12, 7), QTime(0, 0, 2));
    const QString late = QStringLiteral(" 1:Fm N0CALL-9 To APRS <UI pid=F0 Len=1 >[23:59:59]");
    log->WriteDailyLog(late, QStringLiteral("A"), QStringLiteral("N0CALL-9"));
    EXPECT_EQ(log->logDay(), QStringLiteral("2026-12-07"));
    const QByteArray day2 = "2026-12-07 23:59:59 START LOCAL TIME [Selvane]\r\n"
                            "2026-12-07 23:59:59 23:59:59R N0CALL-9>APRS Port=1 <UI>:\r\nA\r\n";
    EXPECT_EQ(read("26-12-07.Txt"), day2);
    EXPECT_EQ(read("26-12-06.Txt"), kBanner + kRecord);

    // Off and on again: file closed, day forgotten, continued without banner.
    log->setLogEnabled(false);
    EXPECT_TRUE(log->logDay().isEmpty());
    log->setLogEnabled(true);
    log->WriteDailyLog(late, QStringLiteral("B"), QStringLiteral("N0CALL-9"));
    const QByteArray recB = "2026-12-07 23:59:59 23:59:59R N0CALL-9>APRS Port=1 <UI>:\r\nB\r\n";
    EXPECT_EQ(read("26-12-07.Txt"), day2 + recB);

    // A restart on the same day appends without a second banner.
    log.reset();
    auto again = enabledLog(logs);
    again->WriteDailyLog(late, QStringLiteral("C"), QStringLiteral("N0CALL-9"));
    EXPECT_EQ(read("26-12-07.Txt"), day2 + recB + QByteArray(recB).replace("\nB\r", "\nC\r"));
}

TEST_F(DailyLogTest, HeaderFieldEdgeCases)
{
    auto log = enabledLog(logs);
    // No "[" from character 18 on (one before it does not count): the first
    // 8 characters of the header stand in for the time.
    log->WriteDailyLog(QStringLiteral(" 2:Fm [X] To CQ-15 <UI>"), QStringLiteral("x"), QStringLiteral("S"));
    // A very short header: padded to 9, no destination, no " To ".
    log->WriteDailyLog(QStringLiteral("3"), QStringLiteral("y"), QStringLiteral("S"));
    // Destination running to the end of the header; "[" too near the end.
    log->WriteDailyLog(QStringLiteral(" 4:Fm AAAAAA-1 To APRS-7 [12:3"), QStringLiteral("z"), QStringLiteral("S"));
    // An empty header.
    log->WriteDailyLog(QString(), QStringLiteral("w"), QStringLiteral("S"));
    EXPECT_EQ(read("26-12-06.Txt"),
              "2026-12-06  2:Fm [X START LOCAL TIME [Selvane]\r\n"
              "2026-12-06  2:Fm [X  2:Fm [XR S>CQ-15 Port=2 <UI>:\r\nx\r\n"
              "2026-12-06 3        3       R S> Port=3 <UI>:\r\ny\r\n"
              "2026-12-06 12:3     12:3    R S>APRS-7 Port=4 <UI>:\r\nz\r\n"
              "2026-12-06                  R S> Port= <UI>:\r\nw\r\n");
}

TEST_F(DailyLogTest, SingleByteTextAndDisabledLog)
{
    auto log = std::make_unique<DailyLog>(logs, clock);
    EXPECT_FALSE(log->logEnabled());
    log->WriteDailyLog(kHeader, QStringLiteral("Hello"), QStringLiteral("N0CALL-9"));
    EXPECT_FALSE(QFile::exists(QDir(logs).filePath("26-12-06.Txt")));
    EXPECT_TRUE(log->logDay().isEmpty());

    log->setLogEnabled(true);
    EXPECT_TRUE(log->logEnabled());
    log->WriteDailyLog(kHeader, QString::fromUtf8("Caff\u00e8 \u20ac5 \u65e5"), QStringLiteral("N0CALL-9"));
    EXPECT_TRUE(read("26-12-06.Txt").endsWith(QByteArray("<UI>:\r\nCaff\xe8 ?5 ?\r\n")));
    // An information field holding line breaks stays on the record's line;
    // other control bytes (Mic-E) are kept.
    log->WriteDailyLog(kHeader, QString::fromLatin1("a\rb\nc\0d\x1c", 8), QStringLiteral("N0CALL-9"));
    EXPECT_TRUE(read("26-12-06.Txt").endsWith(QByteArray("<UI>:\r\na<0x0d>b<0x0a>c<0x00>d\x1c\r\n")));
}

TEST_F(DailyLogTest, MissingLogsFolderSkipsRecordThenRecovers)
{
    const QString missing = tmp.filePath(QStringLiteral("NoLogs"));
    auto log = enabledLog(missing);
    log->WriteDailyLog(kHeader, QStringLiteral("lost"), QStringLiteral("N0CALL-9"));
    EXPECT_TRUE(log->logDay().isEmpty()); // not stuck on a day with no file
    ASSERT_TRUE(QDir().mkpath(missing));
    log->WriteDailyLog(kHeader, QStringLiteral("Hello"), QStringLiteral("N0CALL-9"));
    QFile f(QDir(missing).filePath("26-12-06.Txt"));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), kBanner + kRecord);
}

TEST_F(DailyLogTest, UnopenableOrUnwritableFileIsSkippedAndRetried)
{
    // Paths that fail even for root: a directory in place of the file, and a
    // Logs "folder" that is a regular file.
    ASSERT_TRUE(QDir(logs).mkdir(QStringLiteral("26-12-06.Txt")));
    auto log = enabledLog(logs);
    log->WriteDailyLog(kHeader, QStringLiteral("lost"), QStringLiteral("N0CALL-9"));
    EXPECT_TRUE(log->logDay().isEmpty());
    ASSERT_TRUE(QDir(logs).rmdir(QStringLiteral("26-12-06.Txt")));
    log->WriteDailyLog(kHeader, QStringLiteral("Hello"), QStringLiteral("N0CALL-9"));
    EXPECT_EQ(read("26-12-06.Txt"), kBanner + kRecord);

    const QString plain = tmp.filePath(QStringLiteral("plainfile"));
    QFile p(plain);
    ASSERT_TRUE(p.open(QIODevice::WriteOnly));
    p.close();
    auto blocked = enabledLog(plain);
    blocked->WriteDailyLog(kHeader, QStringLiteral("lost"), QStringLiteral("N0CALL-9"));
    EXPECT_TRUE(blocked->logDay().isEmpty());
    EXPECT_EQ(p.size(), 0);
}

TEST_F(DailyLogTest, DiskFullDropsFileAndNextRecordReopens)
{
    // A file size limit of a few bytes fails the write as a full disk does
    // (EFBIG instead of ENOSPC), after part of the record went out.
    struct SizeLimit {
        rlimit old {};
        explicit SizeLimit(rlim_t bytes)
        {
            std::signal(SIGXFSZ, SIG_IGN);
            ::getrlimit(RLIMIT_FSIZE, &old);
            const rlimit small{bytes, old.rlim_max};
            ::setrlimit(RLIMIT_FSIZE, &small);
        }
        ~SizeLimit() { ::setrlimit(RLIMIT_FSIZE, &old); }
    };
    auto log = enabledLog(logs);
    QStringList troubles;
    int recovered = 0;
    log->dayFile().onTrouble = [&](const QString& what) { troubles << what; };
    log->dayFile().onRecovered = [&] { ++recovered; };
    {
        SizeLimit full(10);
        log->WriteDailyLog(kHeader, QStringLiteral("lost"), QStringLiteral("N0CALL-9"));
        log->WriteDailyLog(kHeader, QStringLiteral("lost again"), QStringLiteral("N0CALL-9"));
        EXPECT_TRUE(log->logDay().isEmpty());
        EXPECT_EQ(read("26-12-06.Txt"), "");  // the part that went out was cut off again
    }
    ASSERT_EQ(troubles.size(), 1);  // said once, not per record
    EXPECT_TRUE(troubles[0].contains("26-12-06.Txt")) << troubles[0].toStdString();
    // Space again: the next record opens the file again, banner first.
    log->WriteDailyLog(kHeader, QStringLiteral("Hello"), QStringLiteral("N0CALL-9"));
    EXPECT_EQ(log->logDay(), QStringLiteral("2026-12-06"));
    EXPECT_EQ(read("26-12-06.Txt"), kBanner + kRecord);
    EXPECT_EQ(recovered, 1);
    EXPECT_EQ(troubles.size(), 1);
}

// Only a regular file is written: a device, a FIFO (whose open would wait
// for a reader) or a link to nothing in the day file's place is reported as
// a file that cannot be written, and left as it is.
TEST_F(DailyLogTest, NonRegularDayFileIsNeverWritten)
{
    const QString path = QDir(logs).filePath("26-12-06.Txt");
    const struct {
        const char* kind;
        std::function<bool()> make;
    } rows[] = {
        {"link to /dev/null", [&] { return QFile::link("/dev/null", path); }},
        {"link to /dev/full", [&] { return QFile::link("/dev/full", path); }},
        {"link to nothing", [&] { return QFile::link(path + ".nothing", path); }},
        {"fifo", [&] { return ::mkfifo(QFile::encodeName(path).constData(), 0600) == 0; }},
    };
    for (const auto& row : rows) {
        ASSERT_TRUE(row.make()) << row.kind;
        auto log = enabledLog(logs);
        QStringList troubles;
        log->dayFile().onTrouble = [&](const QString& what) { troubles << what; };
        log->WriteDailyLog(kHeader, QStringLiteral("lost"), QStringLiteral("N0CALL-9"));
        log->WriteDailyLog(kHeader, QStringLiteral("lost"), QStringLiteral("N0CALL-9"));
        EXPECT_TRUE(log->logDay().isEmpty()) << row.kind;
        EXPECT_EQ(troubles.size(), 1) << row.kind;
        EXPECT_FALSE(QFileInfo::exists(path + ".nothing")) << row.kind;
        ASSERT_TRUE(QFile::remove(path)) << row.kind;
        log->WriteDailyLog(kHeader, QStringLiteral("Hello"), QStringLiteral("N0CALL-9"));
        EXPECT_EQ(read("26-12-06.Txt"), kBanner + kRecord) << row.kind;
        ASSERT_TRUE(QFile::remove(path));
    }
}

TEST_F(DailyLogTest, EmptyFileLeftByFailedWriteStillGetsBanner)
{
    QFile f(QDir(logs).filePath("26-12-06.Txt"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.close();
    auto log = enabledLog(logs);
    log->WriteDailyLog(kHeader, QStringLiteral("Hello"), QStringLiteral("N0CALL-9"));
    EXPECT_EQ(read("26-12-06.Txt"), kBanner + kRecord);
}

TEST_F(DailyLogTest, RecordCutShortByAFailedWriteIsEndedBeforeTheNext)
{
    QFile f(QDir(logs).filePath("26-12-06.Txt"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(kBanner + "2026-12-06 08:15:30 08:1");
    f.close();
    auto log = enabledLog(logs);
    log->WriteDailyLog(kHeader, QStringLiteral("Hello"), QStringLiteral("N0CALL-9"));
    EXPECT_EQ(read("26-12-06.Txt"), kBanner + "2026-12-06 08:15:30 08:1\r\n" + kRecord);
}

TEST(DayKeyTest, FourDigitYearTwoDigitMonthAndDay)
{
    EXPECT_EQ(DayKey(QDate(2026, 1, 5)), QStringLiteral("2026-01-05"));
    EXPECT_EQ(DayKey(QDate(999, 12, 31)), QStringLiteral("0999-12-31"));
    EXPECT_TRUE(DayKey(QDate()).isEmpty());
}
