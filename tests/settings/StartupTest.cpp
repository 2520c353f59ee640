#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <functional>

#include <sys/stat.h>

#include "FakeSettingsTarget.h"
#include "settings/SettingsFile.h"
#include "settings/Startup.h"

using namespace selvane;
using selvane::testing::FakeSettingsTarget;

namespace {

const QByteArray kDefaults =
    "\"WIDE,WIDE\",\"\",\"1\",\"2\",\"30\",\"localhost\",0,0,7470,0,1,4850,0,0,0,1\r\n";

// The apply steps of a first start, in order.
const QStringList kFirstStartCalls{
    "texts(WIDE,WIDE||1|2|30|localhost)", "main(0,0,7470)", "log(0)", "mode(1)",
    "tlm(4850,0,0)", "out(0)", "sats(1)", "tlmgate(0)", "engine(0)", "reconnect(0)"};

class StartupTest : public ::testing::Test {
protected:
    QTemporaryDir tmp;
    QString ini = tmp.filePath(QStringLiteral("Selvane.ini"));
    SettingsStore store{ini};
    FakeSettingsTarget target;

    void put(const QByteArray& bytes, const QString& path = {}) const
    {
        QFile f(path.isEmpty() ? ini : path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        ASSERT_EQ(f.write(bytes), bytes.size());
    }
    QByteArray fileBytes(const QString& path = {}) const
    {
        QFile f(path.isEmpty() ? ini : path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }
};

// True when a new file can be created in the folder (root ignores the
// permission bits, so a read-only folder can't be tested that way as root).
bool CanCreateFileIn(const QString& dir)
{
    QFile probe(QDir(dir).filePath(QStringLiteral("probe")));
    if (!probe.open(QIODevice::WriteOnly))
        return false;
    probe.close();
    probe.remove();
    return true;
}

const QFile::Permissions kReadOnlyDir =
    QFile::ReadOwner | QFile::ExeOwner | QFile::ReadUser | QFile::ExeUser;
const QFile::Permissions kWritableDir = kReadOnlyDir | QFile::WriteOwner | QFile::WriteUser;

} // namespace

TEST_F(StartupTest, FirstStartWritesAndAppliesTheDefaults)
{
    EXPECT_FALSE(store.LoadSettings(target));  // the defaults replaced a missing file
    EXPECT_EQ(fileBytes(), kDefaults);
    EXPECT_EQ(target.calls, kFirstStartCalls);
    EXPECT_EQ(target.state, DefaultSettings());
    EXPECT_EQ(target.state.gateTelemetry, 0);
    EXPECT_EQ(target.logsErrors, 0);

    // The default file reads the same way at the next start.
    FakeSettingsTarget second;
    EXPECT_TRUE(store.LoadSettings(second));  // what a first start wrote is not damaged
    EXPECT_EQ(second.calls, kFirstStartCalls);
    EXPECT_EQ(fileBytes(), kDefaults);
}

TEST_F(StartupTest, ExitRecordReproducesEveryControl)
{
    GatewaySettings s;
    s.viaPath = QStringLiteral("WIDE2-2");
    s.gatewayCall = QStringLiteral("IK0ABC-10");
    s.satsPorts = QStringLiteral("1,2");
    s.outPorts = QStringLiteral("3");
    s.dupSeconds = QStringLiteral("60");
    s.agwpeHost = QStringLiteral("10.0.0.7");
    s.mainLeft = 1200;
    s.mainTop = -900;
    s.mainWidth = 9000;
    s.dailyLog = 1;
    s.tlmWindowMode = 2;
    s.tlmHeight = 3500;
    s.tlmTop = 3000;
    s.tlmLeft = 9000;
    s.gateToOut = 1;
    s.gateToSats = 0;
    s.gateTelemetry = 1;
    for (EngineChoice engine : {EngineChoice::Automatic, EngineChoice::DireWolf}) {
        s.engine = engine;
        store.SaveSettings(s);
        const QByteArray written = fileBytes();
        EXPECT_EQ(written, FormatSettingsRecord(s));
        EXPECT_EQ(written.endsWith(",1,0,1,1\r\n"), engine == EngineChoice::DireWolf);

        FakeSettingsTarget t;
        EXPECT_TRUE(store.LoadSettings(t));
        EXPECT_EQ(t.state, s);
        EXPECT_EQ(t.calls.size(), 10);
        EXPECT_EQ(t.calls.value(3), "mode(2)");
        EXPECT_EQ(fileBytes(), written); // a good file is not rewritten
    }
}

TEST_F(StartupTest, RecordEndingAfterFieldTenAppliesZeroes)
{
    put("\"WIDE,WIDE\",\"IK0ABC\",\"1\",\"2\",\"30\",\"localhost\",600,300,8000,1\r\n");
    store.LoadSettings(target);
    EXPECT_EQ(target.calls,
              (QStringList{"texts(WIDE,WIDE|IK0ABC|1|2|30|localhost)", "main(600,300,8000)", "log(1)",
                           "mode(0)", "tlm(0,0,0)", "out(0)", "sats(0)", "tlmgate(0)", "engine(0)", "reconnect(0)"}));
    EXPECT_EQ(fileBytes(), kDefaults);
}

TEST_F(StartupTest, OutOfRangeWidthZeroesItAndEveryLaterField)
{
    put("\"WIDE,WIDE\",\"\",\"1\",\"2\",\"30\",\"localhost\",100,200,40000,1,2,4850,3000,9000,1,0,1\r\n");
    store.LoadSettings(target);
    EXPECT_EQ(target.calls,
              (QStringList{"texts(WIDE,WIDE||1|2|30|localhost)", "main(100,200,0)", "log(0)", "mode(0)",
                           "tlm(0,0,0)", "out(0)", "sats(0)", "tlmgate(0)", "engine(0)", "reconnect(0)"}));
    EXPECT_EQ(fileBytes(), kDefaults);
}

TEST_F(StartupTest, RefusedModeKeepsHideAndTheLaterStepsStillApply)
{
    put("\"WIDE,WIDE\",\"\",\"1\",\"2\",\"30\",\"localhost\",100,200,8000,1,7,4000,3000,9000,1,0,1,1\r\n");
    store.LoadSettings(target);
    EXPECT_EQ(target.calls,
              (QStringList{"texts(WIDE,WIDE||1|2|30|localhost)", "main(100,200,8000)", "log(1)", "mode(7)",
                           "tlm(4000,3000,9000)", "out(1)", "sats(0)", "tlmgate(1)", "engine(1)",
                           "reconnect(0)"}));
    EXPECT_EQ(fileBytes(), kDefaults);
    EXPECT_EQ(target.state.tlmWindowMode, 1);
    EXPECT_EQ(target.state.engine, EngineChoice::DireWolf);

    // The next exit stores the mode the window kept.
    store.SaveSettings(target.collectSettings());
    EXPECT_TRUE(fileBytes().contains(",8000,1,1,4000,3000,9000,1,0,1,1\r\n")) << fileBytes().constData();
}

TEST_F(StartupTest, AnyRefusedStepRewritesTheDefaultsAndGoesOn)
{
    const QByteArray good =
        "\"A\",\"B\",\"1\",\"2\",\"30\",\"h\",1,2,8000,1,2,4000,3,4,1,1,1\r\n";
    for (const char* name : {"texts", "main", "log", "mode", "tlm", "out", "sats", "tlmgate", "engine", "reconnect"}) {
        put(good);
        FakeSettingsTarget t;
        t.refuse.insert(QString::fromLatin1(name));
        store.LoadSettings(t);
        EXPECT_EQ(t.calls.size(), 10) << name;
        EXPECT_EQ(fileBytes(), kDefaults) << name;
        // Every other control got its value from the file.
        EXPECT_EQ(t.state.gateTelemetry, QString(name) == "tlmgate" ? 0 : 1) << name;
        EXPECT_EQ(t.state.agwpeHost, QString(name) == "texts" ? "" : "h") << name;
    }
    // A check box value other than 0 or 1 is refused the same way.
    put("\"A\",\"B\",\"1\",\"2\",\"30\",\"h\",1,2,8000,2,2,4000,3,4,1,1,1\r\n");
    store.LoadSettings(target);
    EXPECT_EQ(target.calls.value(2), "log(2)");
    EXPECT_EQ(target.state.dailyLog, 0);
    EXPECT_EQ(target.state.gateTelemetry, 1);
    EXPECT_EQ(fileBytes(), kDefaults);
}

TEST_F(StartupTest, SpacesAndLineBreaksBetweenFieldsAreFine)
{
    const QByteArray spread =
        " \"WIDE,WIDE\",  \"IK0ABC\"\r\n\"1\"\r\n\"2\",\"30\",\"localhost\"\r\n"
        "  1200,900,9000,\n1,2,4850\r\n3000,9000\r\n1,0,1\r\n";
    put(spread);
    store.LoadSettings(target);
    EXPECT_EQ(target.calls,
              (QStringList{"texts(WIDE,WIDE|IK0ABC|1|2|30|localhost)", "main(1200,900,9000)", "log(1)",
                           "mode(2)", "tlm(4850,3000,9000)", "out(1)", "sats(0)", "tlmgate(1)", "engine(0)", "reconnect(0)"}));
    EXPECT_EQ(fileBytes(), spread);
}

TEST_F(StartupTest, QuoteInATextDoesNotSpoilTheNextStart)
{
    GatewaySettings s = DefaultSettings();
    s.viaPath = QStringLiteral("WIDE\",\"x");
    s.gatewayCall = QStringLiteral("\"IK0ABC\"");
    s.gateTelemetry = 1;
    store.SaveSettings(s);
    store.LoadSettings(target);
    EXPECT_EQ(target.state.viaPath, "WIDE,x");
    EXPECT_EQ(target.state.gatewayCall, "IK0ABC");
    EXPECT_EQ(target.state.agwpeHost, "localhost");
    EXPECT_EQ(target.state.gateTelemetry, 1);
    EXPECT_NE(fileBytes(), kDefaults); // read without failure
}

TEST_F(StartupTest, GarbageOrEmptyFileIsReplacedByTheDefaults)
{
    QByteArray binary;
    for (int i = 0; i < 256; ++i)
        binary.append(char(i));
    put(binary);
    EXPECT_FALSE(store.LoadSettings(target));
    EXPECT_EQ(target.calls.size(), 10);
    EXPECT_EQ(target.calls.value(1), "main(0,0,0)");
    EXPECT_EQ(fileBytes(), kDefaults);

    // An empty file ends at field 1: everything applies as empty and 0.
    put("");
    FakeSettingsTarget t;
    store.LoadSettings(t);
    EXPECT_EQ(t.calls, (QStringList{"texts(|||||)", "main(0,0,0)", "log(0)", "mode(0)", "tlm(0,0,0)",
                                    "out(0)", "sats(0)", "tlmgate(0)", "engine(0)", "reconnect(0)"}));
    EXPECT_EQ(fileBytes(), kDefaults);
}

TEST_F(StartupTest, UnwritableLocationStillStartsWithTheDefaults)
{
    // A path below a plain file can be neither read nor created, even by root.
    put("not a folder", tmp.filePath(QStringLiteral("plain")));
    SettingsStore below(tmp.filePath(QStringLiteral("plain/Selvane.ini")));
    below.LoadSettings(target);
    EXPECT_EQ(target.calls, kFirstStartCalls);
    below.SaveSettings(DefaultSettings()); // fails quietly
    EXPECT_EQ(fileBytes(tmp.filePath(QStringLiteral("plain"))), "not a folder");

    // A folder in the file's place.
    ASSERT_TRUE(QDir(tmp.path()).mkdir(QStringLiteral("Selvane.ini")));
    FakeSettingsTarget t;
    store.LoadSettings(t);
    EXPECT_EQ(t.calls, kFirstStartCalls);
    EXPECT_TRUE(QFileInfo(ini).isDir());
}

TEST_F(StartupTest, ReadOnlyFolder)
{
    const QString dir = tmp.filePath(QStringLiteral("ro"));
    ASSERT_TRUE(QDir(tmp.path()).mkdir(QStringLiteral("ro")));
    const QString roIni = QDir(dir).filePath(QStringLiteral("Selvane.ini"));
    const QString bad = "\"V\",\"C\",\"1\",\"2\",\"30\",\"h\",1,2,3\r\n";
    put(bad.toLatin1(), roIni);
    // Leaves the folder removable however the test ends.
    struct Restore {
        QString dir, file;
        ~Restore()
        {
            QFile::setPermissions(file, QFile::ReadOwner | QFile::WriteOwner);
            QFile::setPermissions(dir, kWritableDir);
        }
    } restore{dir, roIni};
    ASSERT_TRUE(QFile::setPermissions(dir, kReadOnlyDir));
    if (CanCreateFileIn(dir))
        GTEST_SKIP() << "permissions are not enforced for this user";
    SettingsStore store(roIni);

    // A writable file in a read-only folder is still replaced.
    store.SaveSettings(DefaultSettings());
    EXPECT_EQ(fileBytes(roIni), FormatSettingsRecord(DefaultSettings()));
    put(bad.toLatin1(), roIni);

    // A bad file of which no copy can be kept: what was read is applied,
    // the file is left alone, also at exit, and that is said.
    ASSERT_TRUE(QFile::setPermissions(roIni, QFile::ReadOwner | QFile::ReadUser));
    store.LoadSettings(target);
    EXPECT_EQ(target.calls.value(0), "texts(V|C|1|2|30|h)");
    EXPECT_EQ(target.calls.value(1), "main(1,2,3)");
    EXPECT_EQ(target.calls.size(), 10);
    EXPECT_FALSE(store.problem().isEmpty());
    ASSERT_TRUE(QFile::setPermissions(roIni, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser));
    store.SaveSettings(DefaultSettings());
    EXPECT_EQ(fileBytes(roIni), bad.toLatin1());

    // No file and no way to create one: the defaults all the same.
    ASSERT_TRUE(QFile::setPermissions(dir, kWritableDir));
    ASSERT_TRUE(QFile::remove(roIni));
    ASSERT_TRUE(QFile::setPermissions(dir, kReadOnlyDir));
    FakeSettingsTarget t;
    store.LoadSettings(t);
    EXPECT_EQ(t.calls, kFirstStartCalls);
    EXPECT_FALSE(QFileInfo::exists(roIni));
}

TEST(LogsDirectory, CreatedWhenMissingAndAnyEntryCounts)
{
    QTemporaryDir tmp;
    EXPECT_EQ(LogsDirectoryPath(), "Logs");
    const QString logs = tmp.filePath(QStringLiteral("Logs"));
    EXPECT_TRUE(EnsureLogsDirectory(tmp.path()));
    EXPECT_TRUE(QFileInfo(logs).isDir());
    EXPECT_TRUE(EnsureLogsDirectory(tmp.path())); // already there

    // A plain file of that name is present: left alone, no directory.
    QTemporaryDir other;
    const QString plain = other.filePath(QStringLiteral("Logs"));
    {
        QFile f(plain);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("keep me");
    }
    EXPECT_TRUE(EnsureLogsDirectory(other.path()));
    EXPECT_TRUE(QFileInfo(plain).isFile());
    QFile f(plain);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), "keep me");
}

TEST(LogsDirectory, FailsWhenItCannotBeCreated)
{
    QTemporaryDir tmp;
    // The working directory is a plain file, or does not exist.
    const QString plain = tmp.filePath(QStringLiteral("plain"));
    {
        QFile f(plain);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }
    EXPECT_FALSE(EnsureLogsDirectory(plain));
    EXPECT_FALSE(EnsureLogsDirectory(tmp.filePath(QStringLiteral("gone"))));
    EXPECT_FALSE(QFileInfo::exists(tmp.filePath(QStringLiteral("gone"))));

    // A read-only working directory, where permissions apply.
    ASSERT_TRUE(QFile::setPermissions(tmp.path(), kReadOnlyDir));
    const bool enforced = !CanCreateFileIn(tmp.path());
    if (enforced) {
        EXPECT_FALSE(EnsureLogsDirectory(tmp.path()));
        EXPECT_FALSE(QFileInfo::exists(tmp.filePath(QStringLiteral("Logs"))));
    }
    QFile::setPermissions(tmp.path(), kWritableDir);
    if (!enforced)
        GTEST_SKIP() << "permissions are not enforced for this user";
}

// The default record with a value changed is what a user makes of it: read
// whole, applied, and left as it is.
TEST_F(StartupTest, SixteenFieldRecordIsAGoodOne)
{
    const QByteArray edited = "\"WIDE,WIDE\",\"N1CALL-5\",\"1\",\"2\",\"30\",\"localhost\",0,0,7470,1,1,4850,0,0,1,1\r\n";
    put(edited);
    EXPECT_TRUE(store.LoadSettings(target));
    EXPECT_EQ(target.state.gatewayCall, "N1CALL-5");
    EXPECT_EQ(target.state.dailyLog, 1);
    EXPECT_EQ(target.state.gateToOut, 1);
    EXPECT_EQ(target.state.gateTelemetry, 0);
    EXPECT_EQ(fileBytes(), edited);
    EXPECT_TRUE(store.keptCopy().isEmpty());
    EXPECT_FALSE(QFileInfo::exists(ini + ".damaged"));
}

// Before the defaults replace a damaged file, its bytes are kept beside it,
// each time under a new name: nothing in the way is overwritten.
TEST_F(StartupTest, DamagedFileIsKeptBeforeTheDefaultsReplaceIt)
{
    // In the way of the first two names: a link to a file of the user's and
    // a folder.
    put("mine", tmp.filePath("other"));
    ASSERT_TRUE(QFile::link(tmp.filePath("other"), ini + ".damaged"));
    ASSERT_TRUE(QDir(tmp.path()).mkdir("Selvane.ini.damaged.2"));
    const struct {
        QByteArray damaged;
        const char* copy;
    } rows[] = {
        {"\"WIDE,WIDE\",\"N1CALL-5\",\"1\"\r\n", ".damaged.3"},                              // data ends early
        {"\"V\",\"C\",\"1\",\"2\",\"30\",\"h\",0,0,7470,0,7,4850,0,0,1,1,1\r\n", ".damaged.4"}, // mode refused
        {QByteArray(300, '\0'), ".damaged.5"},
    };
    for (const auto& row : rows) {
        put(row.damaged);
        FakeSettingsTarget t;
        EXPECT_FALSE(store.LoadSettings(t));
        EXPECT_EQ(store.keptCopy(), ini + row.copy);
        EXPECT_EQ(fileBytes(ini + row.copy), row.damaged);
        EXPECT_EQ(fileBytes(), kDefaults);
        EXPECT_TRUE(store.problem().isEmpty());
    }
    EXPECT_EQ(fileBytes(tmp.filePath("other")), "mine");
    EXPECT_TRUE(QFileInfo(ini + ".damaged.2").isDir());
}

// A settings path that is not a regular file is never opened, replaced or
// written: the defaults apply, the problem is said, the exit writes nothing.
TEST_F(StartupTest, OnlyARegularFileIsReadOrWritten)
{
    const QByteArray large(kMaxSettingsFileBytes + 1, ',');
    const auto fifo = [](const QString& p) { return ::mkfifo(QFile::encodeName(p).constData(), 0600) == 0; };
    const struct {
        const char* kind;
        std::function<bool(const QString&)> make;
    } rows[] = {
        {"fifo", fifo},
        {"link to a device", [](const QString& p) { return QFile::link("/dev/zero", p); }},
        {"link to a fifo", [&](const QString& p) { return fifo(p + ".fifo") && QFile::link(p + ".fifo", p); }},
        {"folder", [](const QString& p) { return QDir().mkdir(p); }},
        {"link to nothing", [](const QString& p) { return QFile::link(p + ".nothing", p); }},
        {"too large", [&](const QString& p) {
             QFile f(p);
             return f.open(QIODevice::WriteOnly) && f.write(large) == large.size();
         }},
    };
    for (const auto& row : rows) {
        QTemporaryDir dir;
        const QString path = dir.filePath("Selvane.ini");
        ASSERT_TRUE(row.make(path)) << row.kind;
        QFileInfo before(path);
        SettingsStore s(path);
        FakeSettingsTarget t;
        EXPECT_FALSE(s.LoadSettings(t)) << row.kind;
        EXPECT_EQ(t.calls, kFirstStartCalls) << row.kind;
        EXPECT_FALSE(s.problem().isEmpty()) << row.kind;
        s.SaveSettings(t.collectSettings());
        QFileInfo after(path);
        EXPECT_EQ(after.isSymLink(), before.isSymLink()) << row.kind;
        EXPECT_EQ(after.isFile(), before.isFile()) << row.kind;
        EXPECT_EQ(after.size(), before.size()) << row.kind;
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System).size(),
                  QString(row.kind).contains("fifo") && QString(row.kind).startsWith("link") ? 2 : 1)
            << row.kind;  // no copy, no file behind a dangling link
    }

    // A link to a regular file is read and written through, the link kept.
    const QString station = tmp.filePath("station.ini");
    put("\"WIDE,WIDE\",\"N1CALL-5\",\"1\",\"2\",\"30\",\"localhost\",0,0,7470,0,1,4850,0,0,1,1,0\r\n", station);
    ASSERT_TRUE(QFile::link(station, ini));
    EXPECT_TRUE(store.LoadSettings(target));
    EXPECT_EQ(target.state.gatewayCall, "N1CALL-5");
    target.state.gatewayCall = "N1CALL-7";
    store.SaveSettings(target.collectSettings());
    EXPECT_TRUE(QFileInfo(ini).isSymLink());
    EXPECT_TRUE(fileBytes(station).startsWith("\"WIDE,WIDE\",\"N1CALL-7\","));
}
