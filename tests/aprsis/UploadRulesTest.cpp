#include <gtest/gtest.h>

#include <deque>
#include <string_view>

#include "aprsis/HeardText.h"
#include "aprsis/SatgateHold.h"
#include "aprsis/UploadRules.h"

using namespace selvane;
using namespace selvane::test;
using namespace std::literals;

namespace {

using V = UploadVerdict;

// What the satgate does, one event per row, the gateway being N1CALL-5
// with Sats ports 1 and 3 (0-based 0 and 2), the built-in satellite table
// and a satgate delay of 10 s. A row with a packet hears it at atMs (after
// the held packets due by then are released) and expects the first event
// that follows; a row without one expects the next event, released at atMs
// when none is left. The line is what goes to the server (without CR LF).
struct Row {
    qint64 atMs;
    int port;
    std::string_view heard;   // "SRC>DST,VIA:info" as the engine reports it
    V verdict;
    std::string_view line = {};
};

const Row kRows[] = {
    // Formatting: marks, SSIDs and the information field as heard.
    {0, 0, "N1CALL-9>APRS,RS0ISS*:Hello via ISS", V::AtOnce, "N1CALL-9>APRS,RS0ISS*,qAO,N1CALL-5:Hello via ISS"},
    {0, 2, "N1CALL-7>APU25N,RS0ISS*,WIDE2-1:=4520.00N/00910.00E-", V::AtOnce,
     "N1CALL-7>APU25N,RS0ISS*,WIDE2-1,qAO,N1CALL-5:=4520.00N/00910.00E-"},
    {0, 0, "PCSAT-1>APRS:T#123,045,067,089,101,123,00000000", V::AtOnce,
     "PCSAT-1>APRS,qAO,N1CALL-5:T#123,045,067,089,101,123,00000000"},
    {0, 0, "W3ADO-1>BEACON,PCSAT-1*,N1CALL-9:>PCSAT", V::AtOnce, "W3ADO-1>BEACON,PCSAT-1*,N1CALL-9,qAO,N1CALL-5:>PCSAT"},
    {0, 0, "N1CALL-4>APRS,RS0ISS*::N1CALL-5 :hi, a>b{12", V::AtOnce,
     "N1CALL-4>APRS,RS0ISS*,qAO,N1CALL-5::N1CALL-5 :hi, a>b{12"},
    {0, 0, "N1CALL-3>SV2RYX,RS0ISS*:`(_fn\"Oj/]\x1c" "\xb0x\0y  "sv, V::AtOnce,
     "N1CALL-3>SV2RYX,RS0ISS*,qAO,N1CALL-5:`(_fn\"Oj/]\x1c" "\xb0x\0y  "sv},
    {0, 0, "N1CALL-6>APRS,RS0ISS*:line one\rline two", V::AtOnce, "N1CALL-6>APRS,RS0ISS*,qAO,N1CALL-5:line one"},
    {0, 0, "N1CALL-6>APRS,RS0ISS*:first\nsecond", V::AtOnce, "N1CALL-6>APRS,RS0ISS*,qAO,N1CALL-5:first"},

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
    {0, 0, "N1CALL-9>APRS,WIDE2-1,RS0ISS*,N1CALL-77*:a", V::AtOnce, "N1CALL-9>APRS,WIDE2-1,RS0ISS*,N1CALL-77*,qAO,N1CALL-5:a"},
    {0, 0, "n1call-9>aprs,rs0iss*:b", V::AtOnce, "n1call-9>aprs,rs0iss*,qAO,N1CALL-5:b"},
    {0, 0, "N1CALL-14>APRS,RS0ISS*:}N1CALL-150>APRS:inner too long", V::InvalidCall},
    {0, 0, "N1CALL-14>APRS,RS0ISS*:}N1CALL-15>APRS,WIDE1-1*X:inner mark", V::InvalidCall},

    // Paths that say "not to the internet" or "from the internet".
    {0, 0, "N1CALL-10>APRS,TCPIP*,RS0ISS*:a", V::ExcludedPath},
    {0, 0, "N1CALL-10>APRS,RS0ISS*,TCPXX:b", V::ExcludedPath},
    {0, 0, "N1CALL-10>APRS,NOGATE-1,RS0ISS*:c", V::ExcludedPath},
    {0, 0, "N1CALL-10>APRS,RS0ISS*,RFONLY*:d", V::ExcludedPath},
    {0, 0, "N1CALL-10>APRS,RS0ISS*,WIDE2,nogate:e", V::ExcludedPath},
    {0, 0, "N1CALL-10>APRS,ARISS,NOGATE:held never", V::ExcludedPath},
    {0, 0, "N1CALL-10>TCPIP,RS0ISS*:f", V::AtOnce, "N1CALL-10>TCPIP,RS0ISS*,qAO,N1CALL-5:f"},
    {0, 0, "N1CALL-10>APRS,TCPIPX*:g", V::AtOnce, "N1CALL-10>APRS,TCPIPX*,qAO,N1CALL-5:g"},

    // Selvane's own transmissions heard back: its call marked repeated.
    {0, 0, "N1CALL-12>APRS,N1CALL-5*,RS0ISS*:sent up by us", V::OwnTransmission},
    {0, 0, "N1CALL-12>APRS,RS0ISS*,N1CALL-5*,WIDE,WIDE:sent down by us", V::OwnTransmission},
    {0, 0, "N1CALL-12>APRS,N1CALL-5,RS0ISS*:on its way to us", V::AtOnce,
     "N1CALL-12>APRS,N1CALL-5,RS0ISS*,qAO,N1CALL-5:on its way to us"},
    {0, 0, "N1CALL-12>APRS,N1CALL*,RS0ISS*:another SSID", V::AtOnce,
     "N1CALL-12>APRS,N1CALL*,RS0ISS*,qAO,N1CALL-5:another SSID"},

    // Nothing to upload; queries stay on the radio (a message is no query).
    {0, 0, "N1CALL-13>APRS,RS0ISS*:", V::Empty},
    {0, 0, "N1CALL-13>APRS,RS0ISS*:\r\nafter", V::Empty},
    {0, 0, "N1CALL-13>APRS,RS0ISS*:?APRS?", V::Query},
    {0, 0, "N1CALL-13>APRS,ARISS:?IGATE?", V::Query},
    {0, 0, "N1CALL-13>APRS,RS0ISS*:}N1CALL-15>APRS:?APRSP", V::Query},
    {0, 0, "N1CALL-13>APRS,RS0ISS*::N1CALL-5 :?APRSP", V::AtOnce, "N1CALL-13>APRS,RS0ISS*,qAO,N1CALL-5::N1CALL-5 :?APRSP"},

    // Third-party packets are unwrapped, and the inner packet is judged again.
    {0, 0, "N1CALL-14>APRS,RS0ISS*:}N1CALL-15>APRS,WIDE1*:inner", V::AtOnce,
     "N1CALL-15>APRS,WIDE1*,qAO,N1CALL-5:inner"},
    {0, 0, "N1CALL-14>APRS,RS0ISS*:}N1CALL-15>APRS:}N1CALL-16>APZ,RS0ISS*:deep", V::AtOnce,
     "N1CALL-16>APZ,RS0ISS*,qAO,N1CALL-5:deep"},
    {0, 0, "N1CALL-14>APRS,RS0ISS*:}N1CALL-15>APRS,TCPIP,N1CALL-14*:from the net", V::ExcludedPath},
    {0, 0, "N1CALL-14>APRS,RFONLY,RS0ISS*:}N1CALL-15>APRS:outer says no", V::ExcludedPath},
    {0, 0, "N1CALL-14>APRS,RS0ISS*:}no header here", V::ThirdPartyDamaged},
    {0, 0, "N1CALL-14>APRS,RS0ISS*:}N1CALL 15>APRS:blank in call", V::ThirdPartyDamaged},
    {0, 0, "N1CALL-14>APRS,RS0ISS*:}N1CALL-15>APRS,,X:empty entry", V::ThirdPartyDamaged},
    {0, 0, "N1CALL-14>APRS,RS0ISS*:}N1CALL-15>APRS:", V::Empty},

    // No local duplicate filter: the same packet again goes up again, with
    // any path; the servers keep the first copy.
    {1000, 0, "N1CALL-20>APRS,RS0ISS*:pos", V::AtOnce, "N1CALL-20>APRS,RS0ISS*,qAO,N1CALL-5:pos"},
    {2000, 2, "N1CALL-20>APRS,RS0ISS*:pos\rtrailer", V::AtOnce, "N1CALL-20>APRS,RS0ISS*,qAO,N1CALL-5:pos"},
    {3000, 0, "N1CALL-20>APRS:pos", V::AtOnce, "N1CALL-20>APRS,qAO,N1CALL-5:pos"},
    {4000, 0, "N1CALL-14>APRS,RS0ISS*:}N1CALL-20>APRS:pos", V::AtOnce, "N1CALL-20>APRS,qAO,N1CALL-5:pos"},

    // The satgate hold. A station's own uplink heard directly waits for the
    // ISS's copy, which goes up instead.
    {100000, 0, "N1CALL-7>APRS,ARISS:=4520.00N/00910.00E-direct", V::Held,
     "N1CALL-7>APRS,ARISS,qAO,N1CALL-5:=4520.00N/00910.00E-direct"},
    {100300, 0, "N1CALL-7>APRS,RS0ISS*:=4520.00N/00910.00E-direct", V::AtOnce,
     "N1CALL-7>APRS,RS0ISS*,qAO,N1CALL-5:=4520.00N/00910.00E-direct"},
    {100300, 0, "", V::Superseded, "N1CALL-7>APRS,ARISS,qAO,N1CALL-5:=4520.00N/00910.00E-direct"},
    // No copy in time: up when the delay is over, not a moment before.
    {101000, 0, "N1CALL-8>APRS,ARISS,WIDE2-1:alone", V::Held, "N1CALL-8>APRS,ARISS,WIDE2-1,qAO,N1CALL-5:alone"},
    {101000, 2, "N1CALL-8>APRS,N1CALL-5,PCSAT:asks us", V::Held, "N1CALL-8>APRS,N1CALL-5,PCSAT,qAO,N1CALL-5:asks us"},
    {110999, 2, "N1CALL-8>APRS:no path, at once", V::AtOnce, "N1CALL-8>APRS,qAO,N1CALL-5:no path, at once"},
    {111000, 0, "", V::Released, "N1CALL-8>APRS,ARISS,WIDE2-1,qAO,N1CALL-5:alone"},
    {111000, 0, "", V::Released, "N1CALL-8>APRS,N1CALL-5,PCSAT,qAO,N1CALL-5:asks us"},
    // Only the same source, destination and information supersede, and only
    // a copy a satellite of the table repeated (ARISS-ALIAS is off).
    {120000, 0, "N1CALL-9>APRS,ARISS:a", V::Held, "N1CALL-9>APRS,ARISS,qAO,N1CALL-5:a"},
    {120100, 0, "N1CALL-9>APRS,RS0ISS*:b", V::AtOnce, "N1CALL-9>APRS,RS0ISS*,qAO,N1CALL-5:b"},
    {120200, 0, "N1CALL-9>APZ,RS0ISS*:a", V::AtOnce, "N1CALL-9>APZ,RS0ISS*,qAO,N1CALL-5:a"},
    {120300, 0, "N1CALL-9>APRS,ARISS*:a", V::AtOnce, "N1CALL-9>APRS,ARISS*,qAO,N1CALL-5:a"},
    {120400, 0, "N1CALL-9>APRS,WIDE1-1*,ARISS:a", V::AtOnce, "N1CALL-9>APRS,WIDE1-1*,ARISS,qAO,N1CALL-5:a"},
    {130000, 0, "", V::Released, "N1CALL-9>APRS,ARISS,qAO,N1CALL-5:a"},
    // Heard directly twice, then PCSAT's copy: both held ones go.
    {140000, 0, "N1CALL-11>APRS,W3ADO:twice", V::Held, "N1CALL-11>APRS,W3ADO,qAO,N1CALL-5:twice"},
    {140100, 2, "N1CALL-11>APRS,W3ADO:twice", V::Held, "N1CALL-11>APRS,W3ADO,qAO,N1CALL-5:twice"},
    {149000, 0, "N1CALL-11>APRS,PCSAT-1*:twice", V::AtOnce, "N1CALL-11>APRS,PCSAT-1*,qAO,N1CALL-5:twice"},
    {149000, 0, "", V::Superseded, "N1CALL-11>APRS,W3ADO,qAO,N1CALL-5:twice"},
    {149000, 0, "", V::Superseded, "N1CALL-11>APRS,W3ADO,qAO,N1CALL-5:twice"},
    // A third-party packet waits as what it carries; the satellite's
    // packets themselves go at once.
    {150000, 0, "N1CALL-14>APRS,ARISS:}N1CALL-15>APRS:wrapped", V::Held, "N1CALL-15>APRS,qAO,N1CALL-5:wrapped"},
    {150500, 0, "N1CALL-14>APRS,RS0ISS*:}N1CALL-15>APRS:wrapped", V::AtOnce, "N1CALL-15>APRS,qAO,N1CALL-5:wrapped"},
    {150500, 0, "", V::Superseded, "N1CALL-15>APRS,qAO,N1CALL-5:wrapped"},
    {150600, 0, "RS0ISS-4>CQ,WIDE2-1:sent by the ISS", V::AtOnce, "RS0ISS-4>CQ,WIDE2-1,qAO,N1CALL-5:sent by the ISS"},
};

} // namespace

TEST(UploadRulesTest, Table)
{
    LiveSettingsValues settings;
    settings.call = QStringLiteral("N1CALL-5");
    settings.sats = QStringLiteral("13");
    settings.out = QStringLiteral("2");
    qint64 now = 0;
    const UploadRules rules(settings, DefaultSatellites());
    SatgateHold hold([&now] { return now; }, 10);
    std::deque<UploadDecision> events;
    for (const Row& row : kRows) {
        SCOPED_TRACE(std::string(row.heard.empty() ? row.line : row.heard));
        now = row.atMs;
        if (!row.heard.empty()) {
            ASSERT_TRUE(events.empty()) << "one more event: " << events.front().line.toStdString();
            const QList<UploadDecision> early = hold.releaseDue();
            ASSERT_TRUE(early.isEmpty()) << "released before " << row.atMs << ": " << early[0].line.toStdString();
            const UploadDecision d = rules.decide(HeardOf(row.port, row.heard), QStringLiteral("N1CALL-5"));
            // A packet kept back for its calls has no line at all.
            if (d.verdict == V::InvalidCall) {
                EXPECT_EQ(Tnc2Line(d.packet, QStringLiteral("N1CALL-5")), QByteArray());
            }
            for (const UploadDecision& e : hold.take(d))
                events.push_back(e);
        } else if (events.empty()) {
            for (const UploadDecision& e : hold.releaseDue())
                events.push_back(e);
        }
        ASSERT_FALSE(events.empty());
        const UploadDecision e = events.front();
        events.pop_front();
        EXPECT_EQ(UploadVerdictText(e.verdict), UploadVerdictText(row.verdict));
        EXPECT_EQ(e.line, QByteArray(row.line.data(), row.line.size()));
    }
    EXPECT_TRUE(events.empty());
    EXPECT_EQ(hold.size(), 0);
}

// An APRS-IS line holds at most 510 bytes before its CR LF: longer is
// excluded, never cut.
TEST(UploadRulesTest, LinesBeyondTheLimitAreExcluded)
{
    LiveSettingsValues settings;
    const UploadRules rules(settings, DefaultSatellites());
    const QByteArray head = "N1CALL-9>APRS,RS0ISS*:";
    const qsizetype fits = kMaxAprsIsLineBytes - QByteArray("N1CALL-9>APRS,RS0ISS*,qAO,N1CALL-5:").size();
    for (qsizetype size : {fits - 1, fits, fits + 1, qsizetype(2000)}) {
        SCOPED_TRACE(size);
        const UploadDecision d = rules.decide(HeardOf(0, (head + QByteArray(size, 'x')).toStdString()), "N1CALL-5");
        EXPECT_EQ(d.verdict, size <= fits ? V::AtOnce : V::TooLong);
        EXPECT_EQ(d.line.size(), size <= fits ? size + 35 : 0);
    }
}

// At most kMaxHeld wait: the oldest goes up to make room. With no delay
// nothing waits; dropAll() empties the hold.
TEST(UploadRulesTest, TheHoldIsBounded)
{
    LiveSettingsValues settings;
    const UploadRules rules(settings, DefaultSatellites());
    qint64 now = 0;
    SatgateHold hold([&now] { return now; }, 30);
    auto direct = [&](int i) { return rules.decide(HeardOf(0, "N1CALL-9>APRS,ARISS:" + std::to_string(i)), "N1CALL-5"); };
    for (int i = 0; i < SatgateHold::kMaxHeld; ++i, now += 10)
        ASSERT_EQ(hold.take(direct(i)).size(), 1);
    const QList<UploadDecision> full = hold.take(direct(SatgateHold::kMaxHeld));
    ASSERT_EQ(full.size(), 2);
    EXPECT_EQ(std::tuple(full[0].verdict, full[0].line, full[1].verdict, hold.size()),
              std::tuple(V::Released, QByteArray("N1CALL-9>APRS,ARISS,qAO,N1CALL-5:0"), V::Held, SatgateHold::kMaxHeld));
    EXPECT_EQ(hold.nextDueMs(), 30000 + 10);

    hold.setDelaySeconds(0);
    EXPECT_EQ(hold.take(direct(-1)).value(0).verdict, V::AtOnce);
    EXPECT_EQ(hold.dropAll(), SatgateHold::kMaxHeld);
    EXPECT_EQ(hold.nextDueMs(), std::nullopt);
}
