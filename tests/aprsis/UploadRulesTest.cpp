#include <gtest/gtest.h>

#include <string_view>

#include "aprsis/HeardText.h"
#include "aprsis/UploadRules.h"

using namespace selvane;
using namespace selvane::test;
using namespace std::literals;

namespace {

using V = UploadVerdict;

// One heard packet after the other through one set of rules, the gateway
// being N1CALL-5 with Sats ports 1 and 3 (0-based 0 and 2). The expected
// line is what goes to the server (without CR LF).
struct Row {
    qint64 atMs;
    int port;
    std::string_view heard;   // "SRC>DST,VIA:info" as the engine reports it
    V verdict;
    std::string_view line = {};
};

const Row kRows[] = {
    // Formatting: marks, SSIDs and the information field as heard.
    {0, 0, "N1CALL-9>APRS,RS0ISS*:Hello via ISS", V::Upload, "N1CALL-9>APRS,RS0ISS*,qAR,N1CALL-5:Hello via ISS"},
    {0, 2, "N1CALL-7>APU25N,RS0ISS*,WIDE2-1:=4520.00N/00910.00E-", V::Upload,
     "N1CALL-7>APU25N,RS0ISS*,WIDE2-1,qAR,N1CALL-5:=4520.00N/00910.00E-"},
    {0, 0, "PCSAT-1>APRS:T#123,045,067,089,101,123,00000000", V::Upload,
     "PCSAT-1>APRS,qAR,N1CALL-5:T#123,045,067,089,101,123,00000000"},
    {0, 0, "W3ADO-1>BEACON,PCSAT-1*,N1CALL-9:>PCSAT", V::Upload, "W3ADO-1>BEACON,PCSAT-1*,N1CALL-9,qAR,N1CALL-5:>PCSAT"},
    {0, 0, "N1CALL-4>APRS,RS0ISS*::N1CALL-5 :hi, a>b{12", V::Upload,
     "N1CALL-4>APRS,RS0ISS*,qAR,N1CALL-5::N1CALL-5 :hi, a>b{12"},
    {0, 0, "N1CALL-3>SV2RYX,RS0ISS*:`(_fn\"Oj/]\x1c" "\xb0x\0y"sv, V::Upload,
     "N1CALL-3>SV2RYX,RS0ISS*,qAR,N1CALL-5:`(_fn\"Oj/]\x1c" "\xb0x\0y"sv},
    {0, 0, "N1CALL-6>APRS,RS0ISS*:line one\rline two", V::Upload, "N1CALL-6>APRS,RS0ISS*,qAR,N1CALL-5:line one"},
    {0, 0, "N1CALL-6>APRS,RS0ISS*:first\nsecond", V::Upload, "N1CALL-6>APRS,RS0ISS*,qAR,N1CALL-5:first"},

    // Ports: only the Sats ports.
    {0, 1, "N1CALL-8>APRS,RS0ISS*:on an Out port", V::NotSatsPort},
    {0, 3, "N1CALL-8>APRS,RS0ISS*:port 4", V::NotSatsPort},

    // Call fields APRS-IS cannot carry: a line break in a raw address or an
    // engine's header would start a forged second line.
    {0, 0, "N1CALL-9>APRS,X\nN1CALL-2>APRS:forged", V::InvalidCall},
    {0, 0, "A\nK1>APRS,RS0ISS*:src", V::InvalidCall},
    {0, 0, "N1CALL-9>AP RS,RS0ISS*:blank", V::InvalidCall},
    {0, 0, "N1CALL-100>APRS,RS0ISS*:ten characters", V::InvalidCall},
    {0, 0, "N1CALL-9>APRS*,RS0ISS*:mark on the destination", V::InvalidCall},
    {0, 0, "N1CALL-9>APRS,RS0ISS**:two marks", V::InvalidCall},
    {0, 0, "N1CALL-9>APRS,,RS0ISS*:empty entry", V::InvalidCall},
    {0, 0, "N1C\xc0LL-9>APRS,RS0ISS*:a Latin-1 letter", V::InvalidCall},
    {0, 0, "N1CALL-9>APRS,WIDE2-1,RS0ISS*,N1CALL-77*:a", V::Upload, "N1CALL-9>APRS,WIDE2-1,RS0ISS*,N1CALL-77*,qAR,N1CALL-5:a"},
    {0, 0, "n1call-9>aprs,rs0iss*:b", V::Upload, "n1call-9>aprs,rs0iss*,qAR,N1CALL-5:b"},
    {0, 0, "N1CALL-14>APRS,RS0ISS*:}N1CALL-150>APRS:inner too long", V::InvalidCall},
    {0, 0, "N1CALL-14>APRS,RS0ISS*:}N1CALL-15>APRS,WIDE1-1*X:inner mark", V::InvalidCall},

    // Paths that say "not to the internet" or "from the internet".
    {0, 0, "N1CALL-10>APRS,TCPIP*,RS0ISS*:a", V::ExcludedPath},
    {0, 0, "N1CALL-10>APRS,RS0ISS*,TCPXX:b", V::ExcludedPath},
    {0, 0, "N1CALL-10>APRS,NOGATE-1,RS0ISS*:c", V::ExcludedPath},
    {0, 0, "N1CALL-10>APRS,RS0ISS*,RFONLY*:d", V::ExcludedPath},
    {0, 0, "N1CALL-10>APRS,RS0ISS*,WIDE2,nogate:e", V::ExcludedPath},
    {0, 0, "N1CALL-10>TCPIP,RS0ISS*:f", V::Upload, "N1CALL-10>TCPIP,RS0ISS*,qAR,N1CALL-5:f"},
    {0, 0, "N1CALL-10>APRS,TCPIPX*:g", V::Upload, "N1CALL-10>APRS,TCPIPX*,qAR,N1CALL-5:g"},

    // Selvane's own transmissions heard back: its call marked repeated.
    {0, 0, "N1CALL-12>APRS,N1CALL-5*,RS0ISS*:sent up by us", V::OwnTransmission},
    {0, 0, "N1CALL-12>APRS,RS0ISS*,N1CALL-5*,WIDE,WIDE:sent down by us", V::OwnTransmission},
    {0, 0, "N1CALL-12>APRS,N1CALL-5,RS0ISS*:on its way to us", V::Upload,
     "N1CALL-12>APRS,N1CALL-5,RS0ISS*,qAR,N1CALL-5:on its way to us"},
    {0, 0, "N1CALL-12>APRS,N1CALL*,RS0ISS*:another SSID", V::Upload,
     "N1CALL-12>APRS,N1CALL*,RS0ISS*,qAR,N1CALL-5:another SSID"},

    // Nothing to upload.
    {0, 0, "N1CALL-13>APRS,RS0ISS*:", V::Empty},
    {0, 0, "N1CALL-13>APRS,RS0ISS*:\r\nafter", V::Empty},

    // Third-party packets are unwrapped, and the inner packet is judged again.
    {0, 0, "N1CALL-14>APRS,RS0ISS*:}N1CALL-15>APRS,WIDE1*:inner", V::Upload,
     "N1CALL-15>APRS,WIDE1*,qAR,N1CALL-5:inner"},
    {0, 0, "N1CALL-14>APRS,RS0ISS*:}N1CALL-15>APRS:}N1CALL-16>APZ,RS0ISS*:deep", V::Upload,
     "N1CALL-16>APZ,RS0ISS*,qAR,N1CALL-5:deep"},
    {0, 0, "N1CALL-14>APRS,RS0ISS*:}N1CALL-15>APRS,TCPIP,N1CALL-14*:from the net", V::ExcludedPath},
    {0, 0, "N1CALL-14>APRS,RFONLY,RS0ISS*:}N1CALL-15>APRS:outer says no", V::ExcludedPath},
    {0, 0, "N1CALL-14>APRS,RS0ISS*:}no header here", V::ThirdPartyDamaged},
    {0, 0, "N1CALL-14>APRS,RS0ISS*:}N1CALL 15>APRS:blank in call", V::ThirdPartyDamaged},
    {0, 0, "N1CALL-14>APRS,RS0ISS*:}N1CALL-15>APRS,,X:empty entry", V::ThirdPartyDamaged},
    {0, 0, "N1CALL-14>APRS,RS0ISS*:}N1CALL-15>APRS:", V::Empty},

    // The same packet within 30 s: source, destination and information.
    {1000, 0, "N1CALL-20>APRS,RS0ISS*:pos", V::Upload, "N1CALL-20>APRS,RS0ISS*,qAR,N1CALL-5:pos"},
    {5000, 0, "N1CALL-20>APRS:pos", V::Duplicate},
    {6000, 2, "N1CALL-20>APRS,RS0ISS*:pos\rtrailer", V::Duplicate},
    {7000, 0, "N1CALL-20>APZ,RS0ISS*:pos", V::Upload, "N1CALL-20>APZ,RS0ISS*,qAR,N1CALL-5:pos"},
    {8000, 0, "N1CALL-21>APRS,RS0ISS*:pos", V::Upload, "N1CALL-21>APRS,RS0ISS*,qAR,N1CALL-5:pos"},
    {9000, 0, "N1CALL-14>APRS:}N1CALL-20>APRS:pos", V::Duplicate},
    {31000, 0, "N1CALL-20>APRS,RS0ISS*:pos", V::Duplicate},
    {32000, 0, "N1CALL-20>APRS,RS0ISS*:pos", V::Upload, "N1CALL-20>APRS,RS0ISS*,qAR,N1CALL-5:pos"},
};

} // namespace

TEST(UploadRulesTest, Table)
{
    LiveSettingsValues settings;
    settings.call = QStringLiteral("N1CALL-5");
    settings.sats = QStringLiteral("13");
    settings.out = QStringLiteral("2");
    qint64 now = 0;
    UploadRules rules(settings, [&now] { return now; });
    for (const Row& row : kRows) {
        SCOPED_TRACE(std::string(row.heard));
        now = row.atMs;
        const UploadDecision d = rules.decide(HeardOf(row.port, row.heard));
        EXPECT_EQ(UploadVerdictText(d.verdict), UploadVerdictText(row.verdict));
        // A packet kept back for its calls has no line at all.
        const QByteArray line = Tnc2Line(d.packet, QStringLiteral("N1CALL-5"));
        if (row.verdict == V::Upload || row.verdict == V::InvalidCall) {
            EXPECT_EQ(line, QByteArray(row.line.data(), row.line.size()));
        }
    }
}

TEST(UploadRulesTest, GatewayCallFollowsTheSettings)
{
    LiveSettingsValues settings;
    settings.sats = QStringLiteral("1");
    UploadRules rules(settings, [] { return 0; });
    // No gateway call: the router sends as "KORVA".
    EXPECT_EQ(rules.decide(HeardOf(0, "N1CALL-9>APRS,KORVA*,RS0ISS*:a")).verdict, V::OwnTransmission);
    settings.call = QStringLiteral(" n1call-0 ");
    EXPECT_EQ(rules.decide(HeardOf(0, "N1CALL-9>APRS,RS0ISS*,N1CALL*:b")).verdict, V::OwnTransmission);
    settings.sats = QStringLiteral("2");
    EXPECT_EQ(rules.decide(HeardOf(0, "N1CALL-9>APRS,RS0ISS*:c")).verdict, V::NotSatsPort);
}
