#include <gtest/gtest.h>

#include <QLocale>

#include "FakeTelemetryView.h"
#include "telemetry/TelemetryDecoder.h"
#include "telemetry/TelemetrySeries.h"

namespace selvane::test {
namespace {

// A decoder wired to fakes, with a clock the test sets.
struct DecoderRig {
    FakeTelemetryView view;
    FakeTimer timer;
    TelemetryState state;
    TelemetryWindowModes modes{view, timer};
    RecordingHistory history;
    bool logOn = false;
    QDateTime now{QDate(2002, 6, 15), QTime(14, 5, 30)};
    int clockReads = 0;
    TelemetryDecoder decoder{view, state, modes, history, [this] { return logOn; },
                             [this] {
                                 ++clockReads;
                                 return now;
                             }};
    PacketStore store;

    bool decode(const QString& source, const QString& info)
    {
        store.lines = QStringList{QStringLiteral("1:Fm W3ADO-1 To PCSAT [14:05:30]"), info};
        return decoder.DecodeTelemetry(source, store);
    }
    QString bulletin() const { return store.info(); }
    QStringList& lst(TelemetryList l) { return view.list(l); }
};

struct Worked {
    const char* source;
    QString info;
    const char* bulletin;
    TelemetryList list;
    QStringList lines;
};

TEST(TelemetryDecoder, WorkedLinesOfEverySideAndGroup)
{
    const std::vector<Worked> cases = {
        {"W3ADO-1", TlmLine("100", "120", "140", "160", "00"),
         ":BLN1KORVA:Pcsat: Pannelli +X=51mA +Y=69mA +Z=105mA 14:05", TelemetryList::M,
         {"0 14:05 Pannelli +X=51mA +Y=69mA +Z=105mA"}},
        {"PCSAT-3", TlmLine("100", "120", "140", "160", "00"),
         ":BLN5KORVA:Pcsat: Pannelli -X=30mA -Y=88mA -Z=188mA 14:05", TelemetryList::M,
         {"9 14:05 Pannelli -X=30mA -Y=88mA -Z=188mA"}},
        {"W3ADO", TlmLine("100", "120", "140", "160", "01"),
         ":BLN2KORVA:PcsatA: Batt=21.3C Tx=28.1C 14:05", TelemetryList::A,
         {"1 14:05 Temp Batt=21.3C Tx=28.1C +Y=14.4C +Z=34.9C"}},
        {"PCSAT", TlmLine("100", "120", "140", "160", "01"),
         ":BLN6KORVA:PcsatB: Batt=21.3C Tx=28.1C 14:05", TelemetryList::B,
         {"5 14:05 Temp Batt=21.3C Tx=28.1C -Y=14.4C -Z=34.9C"}},
        {"PCSAT-1", TlmLine("100", "120", "140", "160", "10"),
         ":BLN3KORVA:PcsatA: Corrente di carica Batt=-30mA 14:05", TelemetryList::A,
         {"2 14:05 Temp +X=14.4C Stack=21.3C Corrente -Y=58mA",
          "3 14:05 Corrente di carica Batt=-30mA"}},
        {"PCSAT-15", TlmLine("100", "120", "140", "160", "10"),
         ":BLN7KORVA:PcsatB: Corrente di carica Batt=-32mA 14:05", TelemetryList::B,
         {"6 14:05 Temp -X=14.4C Stack=21.3C Corrente +Y=56mA",
          "7 14:05 Corrente di carica Batt=-32mA"}},
        {"W3ADO-15", TlmLine("150", "152", "040", "230", "11"),
         ":BLN4KORVA:PcsatA: BattA=14.76V BattB=14.94V Tx=1.24W 14:05", TelemetryList::A,
         {"4 14:05 BattA=14.76V BattB=14.94V Tx=1.24W 8V=8.19V"}},
        {"PCSAT-4", TlmLine("150", "152", " 40", "230", "11"),
         ":BLN8KORVA:PcsatB: BattA=14.66V BattB=14.37V Tx=.89W 14:05", TelemetryList::B,
         {"8 14:05 BattA=14.66V BattB=14.37V Tx=.89W 8V=8.07V"}},
        {"PCSAT-2", TlmLine("000", "000", "000", "080", "10"),
         ":BLN3KORVA:PcsatA: Corrente di carica Batt=100mA 14:05", TelemetryList::A,
         {"2 14:05 Temp +X=-19.7C Stack=-19.7C Corrente -Y=-19mA",
          "3 14:05 Corrente di carica Batt=100mA"}},
        {"PCSAT-9", TlmLine("000", "000", "000", "080", "10"),
         ":BLN7KORVA:PcsatB: Corrente di carica Batt=74mA 14:05", TelemetryList::B,
         {"6 14:05 Temp -X=-19.7C Stack=-19.7C Corrente +Y=-20mA",
          "7 14:05 Corrente di carica Batt=74mA"}},
        {"W3ADO-7", TlmLine("000", "000", "000", "200", "10"),
         ":BLN3KORVA:PcsatA: Corrente di carica Batt=-124mA 14:05", TelemetryList::A,
         {"2 14:05 Temp +X=-19.7C Stack=-19.7C Corrente -Y=-19mA",
          "3 14:05 Corrente di carica Batt=-124mA"}},
    };
    for (const Worked& w : cases) {
        SCOPED_TRACE(w.bulletin);
        DecoderRig rig;
        ASSERT_TRUE(rig.decode(QString::fromLatin1(w.source), w.info));
        EXPECT_EQ(rig.bulletin(), QLatin1String(w.bulletin));
        EXPECT_EQ(rig.store.header(), QStringLiteral("1:Fm W3ADO-1 To PCSAT [14:05:30]"));
        EXPECT_EQ(rig.lst(w.list), w.lines);
        int total = 0;
        for (auto& l : rig.view.lists)
            total += l.size();
        EXPECT_EQ(total, w.lines.size());
        // The display lines hold the bulletin body without its header.
        const QString body = rig.bulletin().section(QLatin1String(": "), 1).chopped(6);
        EXPECT_TRUE(w.lines.last().endsWith(body) || w.lines.first().contains(body));
    }
}

TEST(TelemetryDecoder, BulletinTimeHasNoLeadingZeroButDisplayLineHas)
{
    DecoderRig rig;
    rig.now = QDateTime(QDate(2002, 6, 15), QTime(9, 5, 59));
    ASSERT_TRUE(rig.decode(QStringLiteral("W3ADO-1"), TlmLine("150", "152", "040", "230", "11")));
    EXPECT_EQ(rig.bulletin(), QStringLiteral(":BLN4KORVA:PcsatA: BattA=14.76V BattB=14.94V Tx=1.24W 9:05"));
    EXPECT_EQ(rig.lst(TelemetryList::A),
              QStringList{QStringLiteral("4 09:05 BattA=14.76V BattB=14.94V Tx=1.24W 8V=8.19V")});
    EXPECT_EQ(rig.clockReads, 1); // one time for the whole line
}

TEST(TelemetryDecoder, SideTable)
{
    for (int ssid = 1; ssid <= 15; ++ssid)
        EXPECT_EQ(DefaultSatellites().telemetrySideOf(QStringLiteral("W3ADO-%1").arg(ssid)), TelemetrySide::A) << ssid;
    for (int ssid = 3; ssid <= 15; ++ssid)
        EXPECT_EQ(DefaultSatellites().telemetrySideOf(QStringLiteral("PCSAT-%1").arg(ssid)), TelemetrySide::B) << ssid;
    EXPECT_EQ(DefaultSatellites().telemetrySideOf(QStringLiteral("W3ADO")), TelemetrySide::A);
    EXPECT_EQ(DefaultSatellites().telemetrySideOf(QStringLiteral("PCSAT-1")), TelemetrySide::A);
    EXPECT_EQ(DefaultSatellites().telemetrySideOf(QStringLiteral("PCSAT-2")), TelemetrySide::A);
    EXPECT_EQ(DefaultSatellites().telemetrySideOf(QStringLiteral("PCSAT")), TelemetrySide::B);
    for (const char* refused : {"W3ADO-16", "PCSAT-16", "pcsat-1", "W3ADO-1 ", "W3ADO-0", "W3ADO-01",
                                "PCSAT-0", "RS0ISS", ""})
        EXPECT_EQ(DefaultSatellites().telemetrySideOf(QString::fromLatin1(refused)), TelemetrySide::None) << refused;
}

// Nothing at all changed: store, lists, caption, window, warning, history, state.
void ExpectUntouched(DecoderRig& rig, const QString& info)
{
    EXPECT_EQ(rig.store.info(), info);
    EXPECT_TRUE(rig.view.events.isEmpty()) << rig.view.events.join(u';').toStdString();
    EXPECT_TRUE(rig.history.written.isEmpty());
    EXPECT_TRUE(rig.state.tlmShownDay.isEmpty());
    EXPECT_TRUE(rig.state.battLowWarning.isEmpty());
    EXPECT_TRUE(rig.view.warning.isEmpty());
    EXPECT_FALSE(rig.timer.running);
}

TEST(TelemetryDecoder, RefusedLinesChangeNothing)
{
    const QString good = TlmLine("100", "120", "140", "160", "00", "11111111");
    const std::vector<std::pair<const char*, QString>> refused = {
        {"W3ADO-16", good},
        {"PCSAT-16", good},
        {"pcsat-1", good},
        {"W3ADO-1 ", good},
        {"W3ADO-1", TlmLine("100", "120", "140", "160", "02", "11111111")},
        {"W3ADO-1", good.left(38)},
        {"W3ADO-1", QStringLiteral("t#") + good.mid(2)},
        {"W3ADO-1", QStringLiteral(":BLN1KORVA:Pcsat: Pannelli")},
        {"W3ADO-1", QString()},
        // byte channels outside 0..255
        {"W3ADO-1", TlmLine("300", "120", "140", "160", "00")},
        {"W3ADO-1", TlmLine("100", "-01", "140", "160", "00")},
        {"PCSAT", TlmLine("100", "120", "256", "160", "00")},
        {"W3ADO-1", TlmLine("100", "120", "999", "160", "10")},
        {"PCSAT", TlmLine("100", "120", "140", "-01", "10")},
    };
    for (const auto& [source, info] : refused) {
        SCOPED_TRACE(std::string(source) + " " + info.toStdString());
        DecoderRig rig;
        rig.logOn = true;
        rig.modes.ApplyTelemetryWindowMode(TlmModeAuto);
        rig.view.events.clear();
        rig.timer.running = false;
        EXPECT_FALSE(rig.decode(QString::fromLatin1(source), info));
        ExpectUntouched(rig, info);
    }
    // The linear channels of groups "01" and "11" take any number.
    DecoderRig rig;
    EXPECT_TRUE(rig.decode(QStringLiteral("W3ADO-1"), TlmLine("300", "-01", "999", "-99", "11")));
}

TEST(TelemetryDecoder, ChannelEdges)
{
    DecoderRig rig;
    // All zero: the constant terms.
    ASSERT_TRUE(rig.decode(QStringLiteral("W3ADO-1"), TlmLine("000", "000", "000", "000", "00")));
    EXPECT_EQ(rig.bulletin(), QStringLiteral(":BLN1KORVA:Pcsat: Pannelli +X=-26mA +Y=-25mA +Z=-55mA 14:05"));
    ASSERT_TRUE(rig.decode(QStringLiteral("W3ADO-1"), TlmLine("000", "000", "000", "000", "01")));
    EXPECT_EQ(rig.lst(TelemetryList::A).first(),
              QStringLiteral("1 14:05 Temp Batt=-19.7C Tx=-19.7C +Y=-19.7C +Z=-19.7C"));
    // 255 is the top of a byte channel.
    ASSERT_TRUE(rig.decode(QStringLiteral("W3ADO-1"), TlmLine("255", "255", "255", "000", "00")));
    EXPECT_EQ(rig.bulletin(), QStringLiteral(":BLN1KORVA:Pcsat: Pannelli +X=217mA +Y=238mA +Z=449mA 14:05"));
    // Blanks are ignored, text without a number reads 0, "7,1" reads 7,
    // -0.4 rounds to the byte 0.
    ASSERT_TRUE(rig.decode(QStringLiteral("W3ADO-1"), TlmLine("  0", "abc", "-.4", "000", "00")));
    EXPECT_EQ(rig.bulletin(), QStringLiteral(":BLN1KORVA:Pcsat: Pannelli +X=-26mA +Y=-25mA +Z=-55mA 14:05"));
    ASSERT_TRUE(rig.decode(QStringLiteral("W3ADO-1"), TlmLine("7,1", "000", "000", "000", "11")));
    EXPECT_TRUE(rig.bulletin().startsWith(QStringLiteral(":BLN4KORVA:PcsatA: BattA=.69V")));
    // A group "11" line cut right after the group decodes with what it has.
    ASSERT_TRUE(rig.decode(QStringLiteral("PCSAT"), QStringLiteral("T#0").leftJustified(37, u' ') + "11"));
    EXPECT_EQ(rig.bulletin(), QStringLiteral(":BLN8KORVA:PcsatB: BattA=.0V BattB=.0V Tx=.0W 14:05"));
}

TEST(TelemetryDecoder, BatteryLowWarningIsKeptUntilAGoodGroup11Line)
{
    DecoderRig rig;
    ASSERT_TRUE(rig.decode(QStringLiteral("W3ADO-1"), TlmLine("140", "152", "040", "230", "11")));
    const QString low = QStringLiteral("15/06 14:05  PCSAT A: Batt Low");
    EXPECT_EQ(rig.state.battLowWarning, low);
    EXPECT_EQ(rig.view.warning, low);
    EXPECT_TRUE(rig.view.warningVisible);

    rig.now = rig.now.addSecs(120);
    for (const char* group : {"00", "01", "10"}) {
        ASSERT_TRUE(rig.decode(QStringLiteral("W3ADO-1"), TlmLine("100", "120", "140", "160", group)));
        EXPECT_EQ(rig.view.warning, low) << group;
        EXPECT_TRUE(rig.view.warningVisible) << group;
    }
    // Side B low too: the one shared warning is replaced.
    ASSERT_TRUE(rig.decode(QStringLiteral("PCSAT"), TlmLine("150", "140", "040", "230", "11")));
    EXPECT_EQ(rig.view.warning, QStringLiteral("15/06 14:07  PCSAT B: Batt Low"));
    // A good group 11 line of side B clears it and hides the label.
    ASSERT_TRUE(rig.decode(QStringLiteral("PCSAT"), TlmLine("150", "152", "040", "230", "11")));
    EXPECT_TRUE(rig.state.battLowWarning.isEmpty());
    EXPECT_FALSE(rig.view.warningVisible);
}

TEST(TelemetryDecoder, BatteryLimitIsFourteenVolts)
{
    EXPECT_FALSE(IsBatteryLow(14.0f, 14.0f));
    EXPECT_TRUE(IsBatteryLow(13.999999f, 14.0f));
    EXPECT_TRUE(IsBatteryLow(14.0f, 13.999999f));
    DecoderRig rig;
    ASSERT_TRUE(rig.decode(QStringLiteral("W3ADO-1"), TlmLine("143", "152", "040", "230", "11")));
    EXPECT_TRUE(rig.bulletin().contains(QStringLiteral("BattA=14.07V")));
    EXPECT_FALSE(rig.view.warningVisible);
    ASSERT_TRUE(rig.decode(QStringLiteral("W3ADO-1"), TlmLine("142", "152", "040", "230", "11")));
    EXPECT_TRUE(rig.bulletin().contains(QStringLiteral("BattA=13.97V")));
    EXPECT_TRUE(rig.view.warningVisible);
}

TEST(TelemetryDecoder, SafeModeOnlyFromW3ADO1)
{
    DecoderRig rig;
    ASSERT_TRUE(rig.decode(QStringLiteral("W3ADO-1"), TlmLine("100", "120", "140", "160", "00", "11111111")));
    EXPECT_EQ(rig.view.warning, QStringLiteral("15/06 14:05 PCSAT: Safe Mode T#123"));
    EXPECT_TRUE(rig.view.warningVisible);
    // Not remembered: the next ordinary line hides it.
    ASSERT_TRUE(rig.decode(QStringLiteral("W3ADO-1"), TlmLine("100", "120", "140", "160", "00")));
    EXPECT_FALSE(rig.view.warningVisible);
    for (const char* other : {"W3ADO-2", "PCSAT"}) {
        rig.view.warning.clear();
        ASSERT_TRUE(rig.decode(QString::fromLatin1(other), TlmLine("100", "120", "140", "160", "00", "11111111")));
        EXPECT_TRUE(rig.view.warning.isEmpty()) << other;
        EXPECT_FALSE(rig.view.warningVisible) << other;
    }
    // Seven bits set is not safe mode.
    ASSERT_TRUE(rig.decode(QStringLiteral("W3ADO-1"), TlmLine("100", "120", "140", "160", "00", "11111110")));
    EXPECT_FALSE(rig.view.warningVisible);
    // Safe mode over a battery warning, which returns on the next line.
    ASSERT_TRUE(rig.decode(QStringLiteral("W3ADO-1"), TlmLine("140", "152", "040", "230", "11", "11111111")));
    EXPECT_EQ(rig.view.warning, QStringLiteral("15/06 14:05 PCSAT: Safe Mode T#123"));
    ASSERT_TRUE(rig.decode(QStringLiteral("W3ADO-1"), TlmLine("100", "120", "140", "160", "01")));
    EXPECT_EQ(rig.view.warning, QStringLiteral("15/06 14:05  PCSAT A: Batt Low"));
    EXPECT_TRUE(rig.view.warningVisible);
    // The window reads the moment back from the warning, and only from a
    // safe-mode one.
    EXPECT_EQ(SafeModeWarningTime(QStringLiteral("15/06 14:05 PCSAT: Safe Mode T#123")), QTime(14, 5));
    for (const char* other : {"15/06 14:05  PCSAT A: Batt Low", "15/06 2x:05 PCSAT: Safe Mode T#123", ""})
        EXPECT_FALSE(SafeModeWarningTime(QString::fromLatin1(other))) << other;
}

TEST(TelemetryDecoder, NewDayClearsTheListsBeforeTheLine)
{
    DecoderRig rig;
    rig.now = QDateTime(QDate(2002, 6, 15), QTime(23, 59, 50));
    ASSERT_TRUE(rig.decode(QStringLiteral("W3ADO-1"), TlmLine("100", "120", "140", "160", "00")));
    EXPECT_EQ(rig.state.tlmShownDay, QStringLiteral("2002-06-15"));
    EXPECT_EQ(rig.view.caption, QStringLiteral("Current PCSAT Telemetry - ")
                                    + QLocale().toString(QDate(2002, 6, 15), QLocale::LongFormat));
    ASSERT_TRUE(rig.decode(QStringLiteral("W3ADO-1"), TlmLine("100", "120", "140", "160", "01")));
    EXPECT_EQ(rig.view.events.count(QStringLiteral("clear")), 1); // same day: kept

    rig.now = QDateTime(QDate(2002, 6, 16), QTime(0, 0, 10));
    rig.view.events.clear();
    ASSERT_TRUE(rig.decode(QStringLiteral("W3ADO-1"), TlmLine("100", "120", "140", "160", "00")));
    EXPECT_EQ(rig.view.events.mid(0, 3),
              (QStringList{"caption", "clear", "addM 0 00:00 Pannelli +X=51mA +Y=69mA +Z=105mA"}));
    EXPECT_EQ(rig.state.tlmShownDay, QStringLiteral("2002-06-16"));
    EXPECT_EQ(rig.view.caption, QStringLiteral("Current PCSAT Telemetry - ")
                                    + QLocale().toString(QDate(2002, 6, 16), QLocale::LongFormat));
    EXPECT_EQ(rig.lst(TelemetryList::M).size(), 1);
    EXPECT_TRUE(rig.lst(TelemetryList::A).isEmpty());
    EXPECT_EQ(rig.bulletin(), QStringLiteral(":BLN1KORVA:Pcsat: Pannelli +X=51mA +Y=69mA +Z=105mA 0:00"));
}

TEST(TelemetryDecoder, HistoryOnlyWhenLoggingAndInOrder)
{
    DecoderRig rig;
    ASSERT_TRUE(rig.decode(QStringLiteral("W3ADO-1"), TlmLine("100", "120", "140", "160", "10")));
    EXPECT_TRUE(rig.history.written.isEmpty());
    EXPECT_EQ(rig.lst(TelemetryList::A).size(), 2);
    rig.logOn = true;
    rig.view.events.clear();
    ASSERT_TRUE(rig.decode(QStringLiteral("W3ADO-1"), TlmLine("100", "120", "140", "160", "10")));
    EXPECT_EQ(rig.history.written,
              (QStringList{"2002-06-15|2 14:05 Temp +X=14.4C Stack=21.3C Corrente -Y=58mA",
                           "2002-06-15|3 14:05 Corrente di carica Batt=-30mA"}));
    EXPECT_EQ(rig.view.events,
              (QStringList{"addA 2 14:05 Temp +X=14.4C Stack=21.3C Corrente -Y=58mA",
                           "addA 3 14:05 Corrente di carica Batt=-30mA"}));
}

TEST(TelemetryDecoder, AutoModeShowsTheWindowOnArrival)
{
    DecoderRig rig;
    const QString line = TlmLine("100", "120", "140", "160", "00");
    // "Hide" (the initial selection) and "Show Tlm": visibility untouched.
    ASSERT_TRUE(rig.decode(QStringLiteral("W3ADO-1"), line));
    EXPECT_FALSE(rig.view.visible);
    rig.modes.ApplyTelemetryWindowMode(TlmModeShow);
    rig.view.visible = false; // hidden by other means
    ASSERT_TRUE(rig.decode(QStringLiteral("W3ADO-1"), line));
    EXPECT_FALSE(rig.view.visible);

    rig.modes.ApplyTelemetryWindowMode(TlmModeAuto);
    rig.timer.running = false;
    for (int i = 0; i < 3; ++i)
        rig.modes.tick();
    ASSERT_TRUE(rig.decode(QStringLiteral("W3ADO-1"), line));
    EXPECT_TRUE(rig.view.visible);
    EXPECT_TRUE(rig.timer.running);
    EXPECT_EQ(rig.modes.autoHideTicks(), 3); // not reset when shown
    ASSERT_TRUE(rig.decode(QStringLiteral("W3ADO-1"), line));
    EXPECT_EQ(rig.modes.autoHideTicks(), 0); // visible: the 15 minutes start again
}

} // namespace

// The values of a display line as the plots read them: every line the
// decoder writes, and nothing from a line of another form.
TEST(TelemetrySeries, SamplesOfDisplayLines)
{
    using Q = TelemetryQuantity;
    const QTime t(9, 5);
    const struct {
        const char* line;
        QList<TelemetrySample> samples;
    } rows[] = {
        {"0 09:05 Pannelli +X=51mA +Y=69mA +Z=105mA",
         {{t, Q::PanelCurrent, "A +X", 51, "mA"}, {t, Q::PanelCurrent, "A +Y", 69, "mA"},
          {t, Q::PanelCurrent, "A +Z", 105, "mA"}}},
        {"5 09:05 Temp Batt=12.3C Tx=-4.0C -Y=.5C -Z=0.0C",
         {{t, Q::Temperature, "B Batt", 12.3, "C"}, {t, Q::Temperature, "B Tx", -4, "C"},
          {t, Q::Temperature, "B -Y", 0.5, "C"}, {t, Q::Temperature, "B -Z", 0, "C"}}},
        {"2 09:05 Temp +X=1.0C Stack=2.0C Corrente -Y=-3mA",
         {{t, Q::Temperature, "A +X", 1, "C"}, {t, Q::Temperature, "A Stack", 2, "C"},
          {t, Q::BatteryCurrent, "A -Y", -3, "mA"}}},
        {"7 09:05 Corrente di carica Batt=250mA", {{t, Q::BatteryCurrent, "B Batt", 250, "mA"}}},
        {"4 09:05 BattA=13.76V BattB=14.94V Tx=1.24W 8V=8.19V",
         {{t, Q::BatteryVoltage, "A BattA", 13.76, "V"}, {t, Q::BatteryVoltage, "A BattB", 14.94, "V"},
          {t, Q::TransmitterPower, "A Tx", 1.24, "W"}, {t, Q::BatteryVoltage, "A 8V", 8.19, "V"}}},
        {"2026-12-06", {}},
        {"4 9:05 BattA=13.76V", {}},
        {"4 09:05 BattA=13.76Volts", {}},
    };
    for (const auto& row : rows)
        EXPECT_EQ(TelemetrySamples(QString::fromLatin1(row.line)), row.samples) << row.line;
    const QList<TelemetrySample> battery = TelemetrySamples("8 23:59 BattA=14.00V BattB=13.99V Tx=.89W 8V=7.9V");
    ASSERT_EQ(battery.size(), 4);
    EXPECT_FALSE(IsLowBatterySample(battery[0]));
    EXPECT_TRUE(IsLowBatterySample(battery[1]));
    EXPECT_FALSE(IsLowBatterySample(battery[3]));  // the 8 V supply is not a battery
}

} // namespace selvane::test
