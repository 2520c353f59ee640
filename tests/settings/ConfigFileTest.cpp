#include <gtest/gtest.h>

#include "settings/ConfigFile.h"

using namespace selvane;

namespace {

const QByteArray kFile = "# station\n"
                         "[aprs-is]\n"
                         "Enabled = yes   # not a comment: part of the value\n"
                         "colour = red\n"
                         "\n"
                         "[Satellite  PSAT2]\n"
                         "digipeaters = PSAT2-*\n"
                         "[broken\n"
                         "no equals sign\n"
                         "= value\n"
                         "digipeaters = PSAT2-*, PSAT3-*\n";

} // namespace

TEST(ConfigDocument, ReadsSectionsKeysAndReportsDamagedLines)
{
    QList<ConfigDocument::Problem> problems;
    const ConfigDocument doc = ConfigDocument::parse(kFile, &problems);
    EXPECT_EQ(doc.sections(), QStringList({"aprs-is", "Satellite PSAT2"}));
    EXPECT_EQ(doc.value("APRS-IS", "enabled"), "yes   # not a comment: part of the value");
    EXPECT_EQ(doc.value("satellite psat2", "DIGIPEATERS"), "PSAT2-*, PSAT3-*");  // the later line wins
    EXPECT_FALSE(doc.value("aprs-is", "server").has_value());
    QList<int> lines;
    for (const auto& p : problems)
        lines << p.line;
    EXPECT_EQ(lines, QList<int>({8, 9, 10}));
    // Unchanged, it writes back byte for byte.
    EXPECT_EQ(doc.text(), kFile);

    // A control character damages its line; CR LF line ends are read.
    problems.clear();
    const ConfigDocument nul = ConfigDocument::parse(QByteArrayLiteral("[a]\r\nk = 1\0 2\r\nj = 3\r\n"), &problems);
    ASSERT_EQ(problems.size(), 1);
    EXPECT_EQ(problems[0].line, 2);
    EXPECT_FALSE(nul.value("a", "k").has_value());
    EXPECT_EQ(nul.value("a", "j"), "3");
}

TEST(ConfigDocument, ChangesKeepEverythingElse)
{
    ConfigDocument doc = ConfigDocument::parse(kFile);
    doc.set("aprs-is", "enabled", "no");                       // in place
    doc.set("aprs-is", "server", "127.0.0.1:14580");           // after the section's last key
    doc.set("satellite PSAT2", "digipeaters", "PSAT2-*");      // first line kept, the later one goes
    doc.set("uplink", "max-per-minute", "4");                  // a new section at the end
    doc.remove("aprs-is", "colour");
    EXPECT_EQ(QString::fromUtf8(doc.text()), "# station\n"
                                            "[aprs-is]\n"
                                            "enabled = no\n"
                                            "server = 127.0.0.1:14580\n"
                                            "\n"
                                            "[Satellite  PSAT2]\n"
                                            "digipeaters = PSAT2-*\n"
                                            "[broken\n"
                                            "no equals sign\n"
                                            "= value\n"
                                            "\n"
                                            "[uplink]\n"
                                            "max-per-minute = 4\n");
    doc.removeSection("satellite psat2");
    EXPECT_FALSE(doc.hasSection("satellite PSAT2"));
    EXPECT_TRUE(doc.hasSection("uplink"));
}

TEST(ConfigDocument, Values)
{
    for (const char* yes : {"yes", "On", "TRUE", "1", "si"})
        EXPECT_EQ(ParseYesNo(yes), true) << yes;
    for (const char* no : {"no", "OFF", "false", "0"})
        EXPECT_EQ(ParseYesNo(no), false) << no;
    EXPECT_FALSE(ParseYesNo("maybe").has_value());
    EXPECT_EQ(ParseList(" A, B ,,C "), QStringList({"A", "B", "C"}));
    EXPECT_EQ(ListText({"A", "B"}), "A, B");
}
