#include <gtest/gtest.h>

#include <QRegularExpression>

#include "gateway/Classification.h"
#include "gateway/GatewayFakes.h"

using namespace selvane;
using namespace selvane::test;

namespace {

// No control character, and an SSID letter A..P at the end.
bool AllPrintable(const QString& s)
{
    for (QChar c : s)
        if (c.unicode() < 0x20 || (c.unicode() >= 0x7F && c.unicode() <= 0x9F))
            return false;
    return !s.isEmpty() && s.back() >= QLatin1Char('A') && s.back() <= QLatin1Char('P');
}

struct SatsFixture : ::testing::Test {
    LiveSettingsValues settings;
    FakeDecoder decoder;
    ViaForm form = ViaForm::SevenChar;
    SatsFixture() { settings.call = QStringLiteral("N0CALL-5"); }
    QString Route(const QString& header, const QString& src = QStringLiteral("N0CALL-9"))
    {
        PacketStore store = Store(header);
        return RouteFromSats(src, store, settings, decoder, form);
    }
};

} // namespace

TEST(UsedViaForm, SevenCharacterForms)
{
    EXPECT_EQ(UsedViaForm("N0CALL-5"), "N0CALLE");
    EXPECT_EQ(UsedViaForm("AB1C"), "AB1C  P");
    EXPECT_EQ(UsedViaForm("RS0ISS"), "RS0ISSP");
    EXPECT_EQ(UsedViaForm(""), "KORVA P");
    EXPECT_EQ(UsedViaForm("   "), "KORVA P");
    EXPECT_EQ(UsedViaForm("  N0CALL-5 "), "N0CALLE");
    EXPECT_EQ(UsedViaForm("N0CALL-0"), "N0CALLP");
    EXPECT_EQ(UsedViaForm("N0CALL-1"), "N0CALLA");
    EXPECT_EQ(UsedViaForm("N0CALL-15"), "N0CALLO");
    EXPECT_EQ(UsedViaForm("AB-12"), "AB    L");
    EXPECT_EQ(UsedViaForm("LONGCALL7-2"), "LONGCALL7B");  // base not cut
}

TEST(UsedViaForm, SsidOutsideZeroToFifteenBecomesNoSsid)
{
    for (const char* call : {"N0CALL-16", "N0CALL-20", "N0CALL-63", "N0CALL-200", "N0CALL-99999999",
                             "N0CALL-X", "N0CALL--5", "N0CALL-", "N0CALL-+3"})
        EXPECT_EQ(UsedViaForm(call), "N0CALLP") << call;
    EXPECT_EQ(UsedViaForm("N0CALL-2.5"), "N0CALLB");  // rounded, halves to even
    EXPECT_EQ(UsedViaForm("N0\tCA\x01LL-5"), "N0CALLE");  // control characters dropped
    EXPECT_EQ(UsedViaForm("N0,CALL-5"), "N0CALLE");       // a "," would split the entry
    for (const char* call : {"N0CALL-\x7f", "\x1b\x1b-9", "-", "-15", "\xff-300"})
        EXPECT_TRUE(AllPrintable(UsedViaForm(QString::fromLatin1(call)))) << call;
}

TEST(RepeatedViaEntry, TextForm)
{
    EXPECT_EQ(RepeatedViaEntry("RS0ISS", ViaForm::Text), "RS0ISS*");
    EXPECT_EQ(RepeatedViaEntry("N0CALL-5", ViaForm::Text), "N0CALL-5*");
    EXPECT_EQ(RepeatedViaEntry("PCSAT-1", ViaForm::Text), "PCSAT-1*");
    EXPECT_EQ(RepeatedViaEntry("W3ADO", ViaForm::Text), "W3ADO*");
    EXPECT_EQ(RepeatedViaEntry(" N0CALL-0 ", ViaForm::Text), "N0CALL*");
    EXPECT_EQ(RepeatedViaEntry("N0CALL-15", ViaForm::Text), "N0CALL-15*");
    EXPECT_EQ(RepeatedViaEntry("", ViaForm::Text), "KORVA*");
    EXPECT_EQ(RepeatedViaEntry("N0CALL-5", ViaForm::SevenChar), "N0CALLE");
    // Malformed calls: never a blank, a non-printable or more than 10 characters.
    EXPECT_EQ(RepeatedViaEntry("TOOLONGCALL-12", ViaForm::Text), "TOOLON-12*");
    EXPECT_EQ(RepeatedViaEntry("N0 CALL-5", ViaForm::Text), "N0CALL-5*");
    EXPECT_EQ(RepeatedViaEntry("N0CALL-99", ViaForm::Text), "N0CALL*");
    EXPECT_EQ(RepeatedViaEntry("**-3", ViaForm::Text), "KORVA-3*");
    const QRegularExpression accepted(QStringLiteral("^[A-Z0-9]{1,6}(-([1-9]|1[0-5]))?\\*$"));
    for (const char* call : {"N0CALL-5", "AB1C", "KORVA", "N0CALL-15", "\x01\x02\x7f-200", "A,B*C D-7",
                             "\xe9\xe8-1", "-"}) {
        const QString entry = RepeatedViaEntry(QString::fromLatin1(call), ViaForm::Text);
        EXPECT_TRUE(accepted.match(entry).hasMatch()) << call << " -> " << entry.toStdString();
    }
}

// Packets sent by PCSAT itself: decoded whatever the boxes say, gated when the
// decoder made a bulletin and "Gate Telemetry" is set, or when "Gate to Out" is.
TEST_F(SatsFixture, SatelliteSentTelemetryCombinations)
{
    for (const char* src : {"PCSAT-1", "W3ADO", "W3ADO-1"}) {
        for (int combo = 0; combo < 8; ++combo) {
            decoder = FakeDecoder{};
            decoder.result = combo & 1;
            settings.telemetry = combo & 2;
            settings.forward = combo & 4;
            PacketStore store = Store(HeaderLine(src), QStringLiteral("T#123,100,120,140,150,160,00000000"));
            const QString r = RouteFromSats(QStringLiteral("SRC"), store, settings, decoder, form);
            const bool gated = (decoder.result && settings.telemetry) || settings.forward;
            EXPECT_EQ(r, gated ? QString("N0CALLE") : QString()) << src << combo;
            EXPECT_EQ(decoder.calls.join(","), "SRC") << src << combo;
            EXPECT_EQ(store.info().startsWith(":BLN1"), decoder.result);
        }
    }
}

TEST_F(SatsFixture, IssSentAndRepeatedSatellites)
{
    settings.forward = true;
    EXPECT_EQ(Route(HeaderLine("RS0ISS")), "N0CALLE");
    EXPECT_EQ(Route(HeaderLine("RS0ISS-1")), "N0CALLE");
    // Already repeated by someone: not satellite-sent; the first via decides.
    EXPECT_EQ(Route(HeaderLine("W3ADO-1", "RS0ISS*")), "RS0ISSP,N0CALLE");
    EXPECT_EQ(Route(HeaderLine("PCSAT-1", "WIDE1-1*")), "");
    EXPECT_TRUE(decoder.calls.isEmpty());  // ISS or repeated: never decoded
    settings.forward = false;
    EXPECT_EQ(Route(HeaderLine("RS0ISS")), "");
    // A "*" before character 22 is not a repeated via entry.
    settings.forward = true;
    EXPECT_EQ(Route(HeaderLine("PCSAT-1", {}, 1, "AP*S")), "N0CALLE");
    EXPECT_EQ(Route(HeaderLine("PCSAT-1", {}, 1, "APRS*")), "");
}

TEST_F(SatsFixture, ViaScan)
{
    settings.forward = false;
    EXPECT_EQ(Route(HeaderLine("N0CALL-9", "RS0ISS*")), "RS0ISSP,N0CALLE");  // no chkForward needed
    EXPECT_EQ(Route(HeaderLine("N0CALL-9", "PCSAT-1*")), "");                // chkForward needed
    settings.forward = true;
    const std::pair<const char*, const char*> rows[] = {
        {"RS0ISS*", "RS0ISSP,N0CALLE"},
        {"RS0ISS*,WIDE2-1", "RS0ISSP,N0CALLE"},
        {"RS0ISS-1*", ""},
        {"RS0ISS", ""},
        {"PCSAT-1*", "PCSAT A,N0CALLE"},
        {"PCSAT-1*,WIDE2-2", "PCSAT A,N0CALLE"},
        {"PCSAT-12*", "PCSAT L,N0CALLE"},
        {"PCSAT*", "PCSAT P,N0CALLE"},
        {"W3ADO-3*", "W3ADO C,N0CALLE"},
        {"PCSAT-1", ""},
        {"PCSAT-1,WIDE*", ""},
        {"WIDE1-1*,PCSAT-1*", ""},
        {"WIDE1-1*,RS0ISS*", ""},
        {"RS0ISS*,N0CALL-5*", "RS0ISSP,N0CALLE"},  // heard again after being gated
        {"PCSAT-99*", "PCSAT P,N0CALLE"},          // no such SSID: no letter beyond O
        {"PCSAT5-1*", "PCSAT P,N0CALLE"},
    };
    for (const auto& [via, expected] : rows)
        EXPECT_EQ(Route(HeaderLine("N0CALL-9", via)), expected) << via;
    settings.call = QString();
    EXPECT_EQ(Route(HeaderLine("N0CALL-9", "RS0ISS*")), "RS0ISSP,KORVA P");
}

TEST_F(SatsFixture, ShortHeadersAndEntryRunningToTheEnd)
{
    settings.forward = true;
    const std::pair<const char*, const char*> rows[] = {
        {"", ""}, {" 1:Fm P", ""}, {" 1:Fm PCSAT", "N0CALLE"}, {" 1:Fm RS0ISS*", "N0CALLE"},
        {" Via RS0ISS*", ""}};
    for (const auto& [h, expected] : rows)
        EXPECT_EQ(Route(h), expected) << h;
    // A via entry with no "," or blank after it runs to the end of the line.
    const QString head = QStringLiteral(" 1:Fm N0CALL-9 To APRS Via PCSAT-1");
    EXPECT_EQ(Route(head + QString(25, '-') + '*'), "PCSAT A,N0CALLE");
    EXPECT_EQ(Route(head + QString(25, '-')), "");
}

TEST_F(SatsFixture, TextViaForm)
{
    form = ViaForm::Text;
    settings.forward = true;
    EXPECT_EQ(Route(HeaderLine("N0CALL-9", "RS0ISS*")), "RS0ISS*,N0CALL-5*");
    EXPECT_EQ(Route(HeaderLine("N0CALL-9", "PCSAT-1*")), "PCSAT-1*,N0CALL-5*");
    EXPECT_EQ(Route(HeaderLine("N0CALL-9", "W3ADO*")), "W3ADO*,N0CALL-5*");
    EXPECT_EQ(Route(HeaderLine("N0CALL-9", "PCSAT-99*")), "PCSAT*,N0CALL-5*");
    EXPECT_EQ(Route(HeaderLine("PCSAT-1")), "N0CALL-5*");
    settings.call = QString();
    EXPECT_EQ(Route(HeaderLine("RS0ISS")), "KORVA*");
}
