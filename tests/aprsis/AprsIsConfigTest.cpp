#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "aprsis/AprsIsConfig.h"
#include "support/Files.h"

using namespace selvane;
using namespace selvane::test;

namespace {

AprsIsConfig Config(bool enabled, const char* server, const char* call, int passcode, const char* filter)
{
    return AprsIsConfig{enabled, QString::fromLatin1(server), QString::fromLatin1(call), passcode,
                        QString::fromLatin1(filter)};
}

struct ParseRow {
    const char* text;
    AprsIsConfig expected;
    QStringList problems;
};

const char* kDefault = AprsIsConfig::kDefaultServer;

} // namespace

namespace selvane {
void PrintTo(const AprsIsConfig& c, std::ostream* os)
{
    *os << (c.enabled ? "yes " : "no ") << c.server.toStdString() << " [" << c.call.toStdString() << "] "
        << c.passcode << " [" << c.filter.toStdString() << "]";
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
         Config(false, "[::1]:14581", "", -1, "m/50"),
         {"aprs-is.conf, line 1: \"enabled\" must be yes or no (ignored)",
          "aprs-is.conf, line 2: \"server\" must be host:port (ignored)",
          "aprs-is.conf, line 3: \"passcode\" must be a number from -1 to 32767 (ignored)",
          "aprs-is.conf, line 4: not of the form key = value (ignored)",
          "aprs-is.conf, line 5: unknown key \"colour\" (ignored)",
          "aprs-is.conf, line 6: \"call\" must be 1 to 9 letters, digits or \"-\" (ignored)",
          "aprs-is.conf, line 7: \"passcode\" must be a number from -1 to 32767 (ignored)"}},
    };
    for (const ParseRow& row : rows) {
        SCOPED_TRACE(row.text);
        const AprsIsConfigRead r = ParseAprsIsConfig(row.text);
        EXPECT_EQ(r.config, row.expected);
        EXPECT_EQ(r.problems, row.problems);
    }
}

TEST(AprsIsConfigTest, MissingFileIsOff)
{
    QTemporaryDir dir;
    const AprsIsConfigRead r = ReadAprsIsConfig(AprsIsConfigPath(dir.path()));
    EXPECT_FALSE(r.found);
    EXPECT_FALSE(r.config.enabled);
    EXPECT_TRUE(r.problems.isEmpty());
}

TEST(AprsIsConfigTest, RewriteKeepsTheRest)
{
    const QByteArray previous = "# mine\nenabled = no\ncolour = red\nserver=x:1\n\nserver = y:2\nbroken line";
    EXPECT_EQ(AprsIsConfigText(Config(true, "127.0.0.1:14580", "", 13022, ""), previous),
              "# mine\nenabled = yes\ncolour = red\nserver = 127.0.0.1:14580\n\nbroken line\n"
              "call =\npasscode = 13022\nfilter =\n");

    // A new file, written and read back.
    QTemporaryDir dir;
    const QString path = AprsIsConfigPath(dir.path());
    const AprsIsConfig config = Config(true, "rotate.aprs2.net:14580", "N1CALL-5", 13022, "r/45/9/100");
    QString error;
    ASSERT_TRUE(WriteAprsIsConfig(path, config, &error)) << error.toStdString();
    const AprsIsConfigRead back = ReadAprsIsConfig(path);
    EXPECT_TRUE(back.found);
    EXPECT_EQ(back.config, config);
    EXPECT_TRUE(back.problems.isEmpty()) << back.problems.join('\n').toStdString();
    EXPECT_TRUE(ReadFile(path).startsWith("# "));
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
