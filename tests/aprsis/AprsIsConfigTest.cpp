#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "aprsis/AprsIsConfig.h"
#include "gateway/StationConfig.h"
#include "support/Files.h"

using namespace selvane;
using namespace selvane::test;

namespace {

AprsIsConfig Config(bool enabled, const char* server, const char* call, int passcode, const char* filter)
{
    AprsIsConfig c;
    c.enabled = enabled;
    c.server = QString::fromLatin1(server);
    c.call = QString::fromLatin1(call);
    c.passcode = passcode;
    c.filter = QString::fromLatin1(filter);
    return c;
}

// The satgate and beacon keys on top of the defaults.
AprsIsConfig Beacon(int delay, bool beacon, std::optional<double> latitude, std::optional<double> longitude,
                    int minutes, const char* comment)
{
    AprsIsConfig c;
    c.satgateDelay = delay;
    c.beacon = beacon;
    c.latitude = latitude;
    c.longitude = longitude;
    c.beaconMinutes = minutes;
    c.beaconComment = QString::fromUtf8(comment);
    return c;
}

struct ParseRow {
    QByteArray text;        // the lines of the [aprs-is] section
    AprsIsConfig expected;
    QList<int> problemLines; // lines of the section reported and ignored
};

const char* kDefault = AprsIsConfig::kDefaultServer;

// The line numbers of "selvane.conf, riga N: ..." reports, counted within
// the section (the header is line 0).
QList<int> ReportedLines(const QStringList& problems)
{
    QList<int> lines;
    for (const QString& p : problems)
        lines << p.section(QLatin1String("riga "), 1).section(QLatin1Char(':'), 0, 0).toInt() - 1;
    return lines;
}

} // namespace

namespace selvane {
void PrintTo(const AprsIsConfig& c, std::ostream* os)
{
    *os << (c.enabled ? "yes " : "no ") << c.server.toStdString() << " [" << c.call.toStdString() << "] "
        << c.passcode << " [" << c.filter.toStdString() << "] delay " << c.satgateDelay << " beacon "
        << (c.beacon ? "yes " : "no ") << (c.latitude ? std::to_string(*c.latitude) : "-") << ' '
        << (c.longitude ? std::to_string(*c.longitude) : "-") << ' ' << c.beaconMinutes << " ["
        << c.beaconComment.toStdString() << "]";
}
} // namespace selvane

TEST(AprsIsConfigTest, Parse)
{
    const ParseRow rows[] = {
        {"", Config(false, kDefault, "", -1, ""), {}},
        {"enabled = yes\nserver = 127.0.0.1:14580\ncall = n1call-5\npasscode = 13022\nfilter = r/45.4/9.2/200 b/N1*\n",
         Config(true, "127.0.0.1:14580", "N1CALL-5", 13022, "r/45.4/9.2/200 b/N1*"), {}},
        // Comments, blanks, CR LF, case of keys, a later line wins.
        {"# enabled = yes\r\n\r\n  ENABLED=On\r\nPasscode=1\r\npasscode = 2\r\n", Config(true, kDefault, "", 2, ""), {}},
        {"enabled = yes\ncall =\npasscode =\nfilter =\n", Config(true, kDefault, "", -1, ""), {}},
        // Damaged lines: reported with their number and ignored.
        {"enabled = maybe\nserver = host:99999\npasscode = abc\nnothing here\ncolour = red\n"
         "call = N1CALL-5/X\npasscode = 40000\nfilter = m/50\nserver = [::1]:14581\n",
         Config(false, "[::1]:14581", "", -1, "m/50"), {1, 2, 3, 4, 5, 6, 7}},
        // A NUL or another control character makes a line damaged.
        {QByteArrayLiteral("server = 127.0.0.1:28599\0evil\npasscode = 13\x01" "22\nenabled = yes\n"),
         Config(true, kDefault, "", -1, ""), {1, 2}},
        // The satgate hold and the beacon, near the pole and the date line.
        {"satgate-delay = 0\nbeacon = yes\nlatitude = -89.999\nlongitude = 179.5\nbeacon-minutes = 10\n"
         "beacon-comment = Satgate al polo\n",
         Beacon(0, true, -89.999, 179.5, 10, "Satgate al polo"), {}},
        {"satgate-delay = 30\nlatitude = 90\nlongitude = -180\nbeacon-minutes = 1440\nbeacon-comment =\n",
         Beacon(30, false, 90, -180, 1440, ""), {}},
        {"satgate-delay = 31\nsatgate-delay = -1\nbeacon-minutes = 9\nlatitude = 90.5\nlongitude = -180.01\n"
         "latitude = 45,4\nlongitude = nan\nbeacon = perhaps\nbeacon-comment = "
         "Selvane satgate, a comment longer than a position holds\nbeacon-minutes = 1441\nlatitude = 45.4\nlatitude =\n",
         Beacon(10, false, std::nullopt, std::nullopt, 30, "Selvane satgate"), {1, 2, 3, 4, 5, 6, 7, 8, 9, 10}},
        // A beacon needs a position: said at the line that asked for it.
        {"latitude = 45.4\nbeacon = yes\n", Beacon(10, true, 45.4, std::nullopt, 30, "Selvane satgate"), {2}},
    };
    for (const ParseRow& row : rows) {
        SCOPED_TRACE(row.text.toStdString());
        const StationConfigRead r = ParseStationConfig("[aprs-is]\n" + row.text);
        EXPECT_EQ(r.config.aprsIs, row.expected);
        EXPECT_EQ(ReportedLines(r.problems), row.problemLines) << r.problems.join('\n').toStdString();
    }
}

TEST(AprsIsConfigTest, MissingFileIsOffAndTheOldFileIsReadUntilSelvaneConfHasTheSection)
{
    QTemporaryDir dir;
    StationConfigRead r = ReadStationConfig(dir.path());
    EXPECT_FALSE(r.found);
    EXPECT_FALSE(r.config.aprsIs.enabled);
    EXPECT_TRUE(r.problems.isEmpty());

    WriteFile(dir.filePath("aprs-is.conf"), "# mine\nenabled = yes\ncall = n1call-5\n");
    r = ReadStationConfig(dir.path());
    EXPECT_TRUE(r.aprsIsFromOldFile);
    EXPECT_EQ(r.config.aprsIs, Config(true, kDefault, "N1CALL-5", -1, ""));

    // The next save moves it into selvane.conf, which wins from then on.
    SetStationConfig(r.document, r.config);
    QString error;
    ASSERT_TRUE(WriteStationConfig(dir.path(), r.document, &error)) << error.toStdString();
    WriteFile(dir.filePath("aprs-is.conf"), "enabled = no\n");
    r = ReadStationConfig(dir.path());
    EXPECT_FALSE(r.aprsIsFromOldFile);
    EXPECT_EQ(r.config.aprsIs, Config(true, kDefault, "N1CALL-5", -1, ""));
}

TEST(AprsIsConfigTest, RewriteKeepsTheRest)
{
    const QByteArray previous = "# mine\n[aprs-is]\nenabled = no\ncolour = red\nserver=x:1\n\nserver = y:2\nbroken line";
    StationConfigRead r = ParseStationConfig(previous);
    StationConfig c = r.config;
    c.aprsIs = Config(true, "127.0.0.1:14580", "", 13022, "");
    SetStationConfig(r.document, c);
    // Keys the section lacked follow its last key.
    EXPECT_EQ(QString::fromUtf8(r.document.text()),
              "# mine\n[aprs-is]\nenabled = yes\ncolour = red\nserver = 127.0.0.1:14580\ncall =\n"
              "passcode = 13022\nfilter =\nsatgate-delay = 10\nbeacon = no\nlatitude =\nlongitude =\n"
              "beacon-minutes = 30\nbeacon-comment = Selvane satgate\n\nbroken line\n");
}

TEST(AprsIsConfigTest, ServerAddress)
{
    struct Row {
        const char* text;
        const char* host;   // nullptr: not an address
        quint16 port;
    };
    const Row rows[] = {
        {"rotate.aprs2.net:14580", "rotate.aprs2.net", 14580},
        {" 127.0.0.1:10152 ", "127.0.0.1", 10152},
        {"euro.aprs2.net", "euro.aprs2.net", 14580},
        {"[::1]:14581", "::1", 14581},
        {"[::1]", "::1", 14580},
        {"::1", nullptr, 0},
        {"host:0", nullptr, 0},
        {"host:", nullptr, 0},
        {":14580", nullptr, 0},
        {"a b:1", nullptr, 0},
        {"", nullptr, 0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.text);
        const std::optional<ServerAddress> a = ParseServerAddress(QString::fromLatin1(row.text));
        ASSERT_EQ(a.has_value(), row.host != nullptr);
        if (a) {
            EXPECT_EQ(a->host, QString::fromLatin1(row.host));
            EXPECT_EQ(a->port, row.port);
        }
    }
}

TEST(AprsIsConfigTest, PasscodeAndLoginCall)
{
    EXPECT_EQ(AprsIsPasscode("N0CALL"), 13023);
    EXPECT_EQ(AprsIsPasscode("N1CALL"), 13022);
    EXPECT_EQ(AprsIsPasscode("n1call-15"), 13022);
    EXPECT_NE(AprsIsPasscode("N1CAL"), AprsIsPasscode("N1CALL"));

    AprsIsConfig c;
    EXPECT_EQ(AprsIsLoginCall(c, " n1call-5 "), "N1CALL-5");
    c.call = "N1CALL-10";
    EXPECT_EQ(AprsIsLoginCall(c, "N1CALL-5"), "N1CALL-10");

    for (const char* good : {"N1CALL", "N1CALL-15", "n1call-5", "ABCDEFGHI"})
        EXPECT_TRUE(IsValidLoginCall(good)) << good;
    for (const char* bad : {"", "ABCDEFGHIJ", "N1CALL 5", "-5", "N1CALL*", "N1CÀLL"})
        EXPECT_FALSE(IsValidLoginCall(QString::fromUtf8(bad))) << bad;
}
