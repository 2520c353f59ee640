#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QLocale>
#include <QTemporaryDir>
#include <sys/stat.h>

#include "FakeTelemetryView.h"
#include "telemetry/TelemetryHistory.h"

namespace selvane::test {
namespace {

QByteArray ReadAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

void WriteFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
}

// Decoder, history and modes on one temporary Logs directory.
struct HistoryRig {
    QTemporaryDir tmp;
    QString logs = tmp.filePath(QStringLiteral("Logs"));
    FakeTelemetryView view;
    FakeTimer timer;
    TelemetryState state;
    TelemetryWindowModes modes{view, timer};
    QDateTime now{QDate(2002, 6, 15), QTime(14, 5)};
    std::unique_ptr<TelemetryHistory> history;
    std::unique_ptr<TelemetryDecoder> decoder;
    PacketStore store;

    HistoryRig()
    {
        QDir().mkpath(logs);
        restart();
    }
    void restart(const QString& dir = {})
    {
        decoder.reset();
        history = std::make_unique<TelemetryHistory>(dir.isEmpty() ? logs : dir, state, view,
                                                      [this] { return now; });
        decoder = std::make_unique<TelemetryDecoder>(view, state, modes, *history, [] { return true; },
                                                     [this] { return now; });
    }
    bool decode(const char* group, const char* source = "W3ADO-1")
    {
        store.lines = QStringList{QString(), TlmLine("100", "120", "140", "160", group)};
        return decoder->DecodeTelemetry(QString::fromLatin1(source), store);
    }
    QString file(const char* name) const { return QDir(logs).filePath(QString::fromLatin1(name)); }
};

const QByteArray kHeader15("\"2002-06-15\"\r\n");
const QByteArray kPanels("\"0 14:05 Pannelli +X=51mA +Y=69mA +Z=105mA\"\r\n");

TEST(TelemetryHistory, FirstLineCreatesTheFileWithItsDay)
{
    HistoryRig r;
    ASSERT_EQ(kHeader15.toHex(' '), QByteArray("22 32 30 30 32 2d 30 36 2d 31 35 22 0d 0a"));
    ASSERT_TRUE(r.decode("00"));
    EXPECT_EQ(ReadAll(r.file("02-06-15.Tlh")), kHeader15 + kPanels); // flushed already
    EXPECT_TRUE(r.history->isOpen());
    EXPECT_EQ(r.history->tlhFileDay(), QStringLiteral("2002-06-15"));

    r.now = r.now.addSecs(120);
    ASSERT_TRUE(r.decode("10"));
    EXPECT_EQ(ReadAll(r.file("02-06-15.Tlh")),
              kHeader15 + kPanels + "\"2 14:07 Temp +X=14.4C Stack=21.3C Corrente -Y=58mA\"\r\n"
                  + "\"3 14:07 Corrente di carica Batt=-30mA\"\r\n");
}

TEST(TelemetryHistory, RestartSameDayContinuesAndMidnightStartsANewFile)
{
    HistoryRig r;
    ASSERT_TRUE(r.decode("00"));
    r.restart(); // program restarted on the same day
    ASSERT_TRUE(r.decode("00"));
    EXPECT_EQ(ReadAll(r.file("02-06-15.Tlh")), kHeader15 + kPanels + kPanels);

    r.now = QDateTime(QDate(2002, 6, 16), QTime(0, 1));
    ASSERT_TRUE(r.decode("00", "PCSAT"));
    EXPECT_EQ(ReadAll(r.file("02-06-16.Tlh")),
              QByteArray("\"2002-06-16\"\r\n\"9 00:01 Pannelli -X=30mA -Y=88mA -Z=188mA\"\r\n"));
    EXPECT_EQ(ReadAll(r.file("02-06-15.Tlh")), kHeader15 + kPanels + kPanels); // closed, unchanged

    // An existing empty file (its header lost) gets the header.
    WriteFile(r.file("02-06-17.Tlh"), {});
    r.history->WriteTlmHistory(QStringLiteral("x"), QStringLiteral("2002-06-17"));
    EXPECT_EQ(ReadAll(r.file("02-06-17.Tlh")), QByteArray("\"2002-06-17\"\r\n\"x\"\r\n"));
}

TEST(TelemetryHistory, RecordCutShortIsEndedBeforeTheNext)
{
    HistoryRig r;
    {
        QFile f(r.file("02-06-15.Tlh"));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(kHeader15 + "\"0 14:0");
    }
    ASSERT_TRUE(r.decode("00"));
    EXPECT_EQ(ReadAll(r.file("02-06-15.Tlh")), kHeader15 + "\"0 14:0\r\n" + kPanels);
}

TEST(TelemetryHistory, UnwritableLogsIsSkippedAndRetried)
{
    HistoryRig r;
    // A regular file where a directory should be: cannot be written, even as root.
    const QString blocker = r.tmp.filePath(QStringLiteral("blocker"));
    WriteFile(blocker, "x");
    const QString logs = blocker + QStringLiteral("/Logs");
    r.restart(logs);
    ASSERT_TRUE(r.decode("10")); // the decoder goes on regardless
    EXPECT_EQ(r.view.list(TelemetryList::A).size(), 2);
    EXPECT_FALSE(r.history->isOpen());
    EXPECT_TRUE(r.history->tlhFileDay().isEmpty());

    ASSERT_TRUE(QFile::remove(blocker));
    ASSERT_TRUE(QDir().mkpath(logs));
    ASSERT_TRUE(r.decode("00"));
    EXPECT_EQ(ReadAll(logs + QStringLiteral("/02-06-15.Tlh")), kHeader15 + kPanels);
}

TEST(TelemetryHistory, LoadTodaysFileWhileWriting)
{
    HistoryRig r;
    ASSERT_TRUE(r.decode("00"));
    ASSERT_TRUE(r.decode("10"));
    r.view.list(TelemetryList::M) << QStringLiteral("stale");
    r.history->LoadTlmHistory(r.file("02-06-15.Tlh"));
    EXPECT_TRUE(r.view.errors.isEmpty());
    EXPECT_FALSE(r.history->isOpen());
    EXPECT_TRUE(r.history->tlhFileDay().isEmpty());
    EXPECT_EQ(r.state.tlmShownDay, QStringLiteral("2002-06-15"));
    EXPECT_EQ(r.view.caption, QStringLiteral("Today PCSAT TLM History - ")
                                  + QLocale().toString(QDate(2002, 6, 15), QLocale::LongFormat));
    EXPECT_EQ(r.view.list(TelemetryList::M),
              QStringList{QStringLiteral("0 14:05 Pannelli +X=51mA +Y=69mA +Z=105mA")});
    EXPECT_EQ(r.view.list(TelemetryList::A).size(), 2);

    // The next line joins the loaded ones and the same file.
    r.view.events.clear();
    r.now = r.now.addSecs(60);
    ASSERT_TRUE(r.decode("00"));
    EXPECT_FALSE(r.view.events.contains(QStringLiteral("clear")));
    EXPECT_EQ(r.view.list(TelemetryList::M).size(), 2);
    EXPECT_TRUE(r.view.caption.startsWith(QStringLiteral("Today ")));
    const QByteArray bytes = ReadAll(r.file("02-06-15.Tlh"));
    EXPECT_EQ(bytes.count("2002-06-15"), 1);
    EXPECT_TRUE(bytes.endsWith("\"0 14:06 Pannelli +X=51mA +Y=69mA +Z=105mA\"\r\n"));
}

TEST(TelemetryHistory, LoadAnotherDayThenTodayTakesOver)
{
    HistoryRig r;
    WriteFile(r.file("02-06-14.Tlh"),
              "\"2002-06-14\"\r\n"
              "\"5 10:00 Temp Batt=1.0C\"\r\n"
              "\"9 10:00 Pannelli -X=1mA\"\r\n"
              "\"x junk\"\r\n"
              "\r\n"
              "\"\"\r\n"
              "\"2 10:00 b\"\r\n"
              "  \"1 10:05 a\" , ignored\"\r\n"
              "4 11:00 u,8 11:00 v  \r\n"
              "\"0 12:00 \xE9\xFF\"\r\n"
              "\"1 09:00 no line end");
    r.history->LoadTlmHistory(r.file("02-06-14.Tlh"));
    EXPECT_TRUE(r.view.errors.isEmpty());
    EXPECT_EQ(r.view.caption, QStringLiteral("PCSAT TLM History - ")
                                  + QLocale().toString(QDate(2002, 6, 14), QLocale::LongFormat));
    EXPECT_EQ(r.state.tlmShownDay, QStringLiteral("2002-06-14"));
    EXPECT_EQ(r.view.list(TelemetryList::A),
              (QStringList{"1 09:00 no line end", "1 10:05 a", "2 10:00 b", "4 11:00 u"}));
    EXPECT_EQ(r.view.list(TelemetryList::B), (QStringList{"5 10:00 Temp Batt=1.0C", "8 11:00 v"}));
    EXPECT_EQ(r.view.list(TelemetryList::M),
              (QStringList{QString::fromLatin1("0 12:00 \xE9\xFF"), "9 10:00 Pannelli -X=1mA"}));

    ASSERT_TRUE(r.decode("00"));
    EXPECT_EQ(r.view.caption, QStringLiteral("Current PCSAT Telemetry - ")
                                  + QLocale().toString(QDate(2002, 6, 15), QLocale::LongFormat));
    EXPECT_EQ(r.view.list(TelemetryList::M).size(), 1);
    EXPECT_TRUE(r.view.list(TelemetryList::A).isEmpty());
    EXPECT_EQ(ReadAll(r.file("02-06-15.Tlh")), kHeader15 + kPanels);
}

TEST(TelemetryHistory, HeaderOnlyFileEmptiesTheLists)
{
    HistoryRig r;
    ASSERT_TRUE(r.decode("00"));
    WriteFile(r.file("02-01-01.Tlh"), "\"2002-01-01\"\r\n");
    r.history->LoadTlmHistory(r.file("02-01-01.Tlh"));
    EXPECT_TRUE(r.view.errors.isEmpty());
    for (auto& l : r.view.lists)
        EXPECT_TRUE(l.isEmpty());
    EXPECT_TRUE(r.view.caption.startsWith(QStringLiteral("PCSAT TLM History - ")));
}

TEST(TelemetryHistory, RejectedFilesLeaveTheWindowAndWriterGoingOn)
{
    HistoryRig r;
    ASSERT_TRUE(r.decode("00"));
    const QString captionBefore = r.view.caption;
    const QByteArray longLine(TelemetryHistory::kMaxLineBytes + 1, 'a');
    const std::vector<std::pair<const char*, QByteArray>> bad = {
        {"notes.txt", "Some notes\r\n\"2002-06-15\"\r\n"},
        {"slash.tlh", "\"15/06/2002\"\r\n"},
        {"invalid.tlh", "\"2002-02-30\"\r\n"},
        {"long.tlh", "\"2002-06-150\"\r\n"},
        {"short.tlh", "\"2002-6-15\"\r\n"},
        {"empty.tlh", ""},
        {"binary.tlh", QByteArray("\x00\x01\xff\xfe\"2002\x00-06-15\"\r\n\x89PNG", 20)},
        {"nul.tlh", QByteArray("\"2002-06-15\x00\"\r\n", 15)},
        {"hugeline.tlh", "\"" + longLine + "\"\r\n"},
        {"huge.tlh", "\"2002-06-15\"\r\n" + QByteArray(TelemetryHistory::kMaxFileBytes, 'x')},
    };
    for (const auto& [name, bytes] : bad) {
        WriteFile(r.file(name), bytes);
        r.history->LoadTlmHistory(r.file(name));
    }
    r.history->LoadTlmHistory(r.file("missing.tlh"));
    r.history->LoadTlmHistory(r.logs); // a directory
    QStringList expected;
    for (const auto& [name, bytes] : bad)
        expected << QStringLiteral("Load Error|") + r.file(name) + QStringLiteral(" is NOT a TLM file");
    expected << QStringLiteral("Load Error|") + r.file("missing.tlh") + QStringLiteral(" is NOT a TLM file");
    expected << QStringLiteral("Load Error|") + r.logs + QStringLiteral(" is NOT a TLM file");
    EXPECT_EQ(r.view.errors, expected);
    EXPECT_EQ(r.view.caption, captionBefore);
    EXPECT_EQ(r.view.list(TelemetryList::M).size(), 1);
    EXPECT_EQ(r.state.tlmShownDay, QStringLiteral("2002-06-15"));

    // Today's file is continued afterwards, without a second header.
    ASSERT_TRUE(r.decode("00"));
    EXPECT_EQ(ReadAll(r.file("02-06-15.Tlh")), kHeader15 + kPanels + kPanels);
}

TEST(TelemetryHistory, ReadErrorAfterTheDayKeepsWhatWasLoaded)
{
    HistoryRig r;
    const QByteArray start = "\"2002-06-14\"\r\n\"0 10:00 a\"\r\n";
    WriteFile(r.file("line.tlh"),
              start + QByteArray(TelemetryHistory::kMaxLineBytes + 10, '1') + "\r\n\"9 10:00 b\"\r\n");
    r.history->LoadTlmHistory(r.file("line.tlh"));
    ASSERT_EQ(r.view.errors.size(), 1);
    EXPECT_EQ(r.view.list(TelemetryList::M), QStringList{QStringLiteral("0 10:00 a")});
    EXPECT_TRUE(r.view.caption.startsWith(QStringLiteral("PCSAT TLM History - ")));

    WriteFile(r.file("nul.tlh"), start + QByteArray("\"9 10:00 \0b\"\r\n", 14));
    r.history->LoadTlmHistory(r.file("nul.tlh"));
    EXPECT_EQ(r.view.errors.size(), 2);

    // Record limit: one record too many is an error, the limit itself is not.
    QByteArray many = "\"2002-06-14\"\r\n";
    for (int i = 1; i < TelemetryHistory::kMaxRecords; ++i)
        many += "x\r\n";
    WriteFile(r.file("limit.tlh"), many);
    r.history->LoadTlmHistory(r.file("limit.tlh"));
    EXPECT_EQ(r.view.errors.size(), 2);
    WriteFile(r.file("over.tlh"), many + "0 10:00 c\r\n");
    r.history->LoadTlmHistory(r.file("over.tlh"));
    EXPECT_EQ(r.view.errors.size(), 3);

    // Not regular files: an endless device, a pipe nobody writes to.
    r.history->LoadTlmHistory(QStringLiteral("/dev/zero"));
    const QString fifo = r.tmp.filePath(QStringLiteral("pipe.tlh"));
    ASSERT_EQ(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    r.history->LoadTlmHistory(fifo);
    EXPECT_EQ(r.view.errors.size(), 5);
}

TEST(TelemetryHistory, FieldRulesAndDayRecord)
{
    EXPECT_EQ(SplitHistoryRecords(QStringLiteral("\"a b\"")), QStringList{"a b"});
    EXPECT_EQ(SplitHistoryRecords(QStringLiteral("a,b")), (QStringList{"a", "b"}));
    EXPECT_EQ(SplitHistoryRecords(QStringLiteral("  x y  ,  \"z\" junk,w")), (QStringList{"x y", "z", "w"}));
    EXPECT_EQ(SplitHistoryRecords(QStringLiteral("\"a,b\"")), QStringList{"a,b"});
    EXPECT_EQ(SplitHistoryRecords(QStringLiteral("\"open")), QStringList{"open"});
    EXPECT_EQ(SplitHistoryRecords(QString()), QStringList{QString()});
    EXPECT_EQ(SplitHistoryRecords(QStringLiteral("a,")), (QStringList{"a", ""}));
    EXPECT_EQ(HistoryDay(QStringLiteral("2002-06-15")), QDate(2002, 6, 15));
    EXPECT_EQ(HistoryDay(QStringLiteral("2000-02-29")), QDate(2000, 2, 29));
    for (const char* bad : {"2001-02-29", "2002-13-01", "0000-01-01", "2002/06/15", "15-06-2002", "2002-06-1x",
                            "+002-06-15", " 2002-06-15"})
        EXPECT_FALSE(HistoryDay(QString::fromLatin1(bad)).isValid()) << bad;
}

} // namespace
} // namespace selvane::test
