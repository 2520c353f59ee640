#include <gtest/gtest.h>

#include <QByteArrayList>
#include <QRandomGenerator>

#include <limits>
#include <optional>

#include "settings/SettingsCheck.h"
#include "settings/SettingsFile.h"

using namespace selvane;

namespace {

// The 17-field record of a window at 1200/900/9000, logs on, mode Auto, the
// telemetry window at 3000/9000 and the gating boxes at 1, 0, 1.
const QByteArray kExample =
    "\"WIDE,WIDE\",\"\",\"1\",\"2\",\"30\",\"localhost\",1200,900,9000,1,2,4850,3000,9000,1,0,1\r\n";

GatewaySettings ExampleSettings()
{
    GatewaySettings s = DefaultSettings();
    s.mainLeft = 1200;
    s.mainTop = 900;
    s.mainWidth = 9000;
    s.dailyLog = 1;
    s.tlmWindowMode = 2;
    s.tlmTop = 3000;
    s.tlmLeft = 9000;
    s.gateToOut = 1;
    s.gateToSats = 0;
    s.gateTelemetry = 1;
    return s;
}

// The example record with field `field` (7..17) replaced by `text`.
QByteArray WithField(int field, const QByteArray& text)
{
    QList<QByteArray> parts = kExample.chopped(2).split(',');
    // Field 1 holds a comma, so the split has one extra part before field 2.
    parts[field] = text;
    return parts.join(',') + "\r\n";
}

} // namespace

TEST(SettingsRecord, DefaultRecordHoldsSixteenValues)
{
    const QByteArray def = DefaultSettingsRecord();
    EXPECT_EQ(def, QByteArray("\"WIDE,WIDE\",\"\",\"1\",\"2\",\"30\",\"localhost\",0,0,7470,0,1,4850,0,0,0,1\r\n"));

    // Sixteen fields are a whole record: field 17 reads as 0.
    const SettingsReadResult r = ParseSettingsRecord(def);
    EXPECT_TRUE(r.ok());
    const GatewaySettings& s = r.values;
    EXPECT_EQ(s.viaPath, "WIDE,WIDE");
    EXPECT_EQ(s.gatewayCall, "");
    EXPECT_EQ(s.satsPorts, "1");
    EXPECT_EQ(s.outPorts, "2");
    EXPECT_EQ(s.dupSeconds, "30");
    EXPECT_EQ(s.agwpeHost, "localhost");
    EXPECT_EQ(s.mainWidth, 7470);
    EXPECT_EQ(s.tlmWindowMode, 1);
    EXPECT_EQ(s.tlmHeight, 4850.0);
    EXPECT_EQ(s.gateToSats, 1);
    EXPECT_EQ(s.gateTelemetry, 0);
    EXPECT_EQ(s.engine, EngineChoice::Automatic);
    EXPECT_FALSE(s.autoReconnect);
    EXPECT_EQ(DefaultSettings(), s);
}

TEST(SettingsRecord, WritesSeventeenFieldsExactly)
{
    EXPECT_EQ(FormatSettingsRecord(ExampleSettings()), kExample);
    const SettingsReadResult r = ParseSettingsRecord(kExample);
    EXPECT_TRUE(r.ok());
    EXPECT_EQ(r.values, ExampleSettings());
}

TEST(SettingsRecord, ProfileAndReconnectAreOptionalFieldsAfterTheRecord)
{
    using E = EngineChoice;
    struct Written { E engine; bool reconnect; QByteArray tail; };
    const Written written[] = {
        {E::Automatic, false, ""}, {E::DireWolf, false, ",1"}, {E::Agwpe, false, ",2"},
        {E::Automatic, true, ",0,1"}, {E::Agwpe, true, ",2,1"},
    };
    for (const Written& w : written) {
        GatewaySettings s = ExampleSettings();
        s.engine = w.engine;
        s.autoReconnect = w.reconnect;
        const QByteArray text = FormatSettingsRecord(s);
        EXPECT_EQ(text, kExample.chopped(2) + w.tail + "\r\n");
        EXPECT_EQ(ParseSettingsRecord(text).values, s) << w.tail.constData();
    }

    // Read: the text via form of earlier versions (",1") means Dire Wolf;
    // anything unknown is automatic and never a failure.
    struct Read { QByteArray tail; E engine; bool reconnect; };
    const Read cases[] = {
        {",0", E::Automatic, false},   {",1", E::DireWolf, false},   {", 1 ", E::DireWolf, false},
        {",\"1\"", E::DireWolf, false}, {",2", E::Agwpe, false},      {",-1", E::Automatic, false},
        {",x", E::Automatic, false},   {",", E::Automatic, false},   {"\r\n1", E::DireWolf, false},
        {",99999", E::Automatic, false}, {",1.5", E::Automatic, false}, {",0,1", E::Automatic, true},
        {",1,1", E::DireWolf, true},   {",1,0", E::DireWolf, false}, {",1,yes", E::DireWolf, false},
        {",x,1", E::Automatic, true},
    };
    for (const Read& c : cases) {
        const SettingsReadResult r = ParseSettingsRecord(kExample.chopped(2) + c.tail + "\r\n");
        EXPECT_TRUE(r.ok()) << c.tail.constData();
        EXPECT_EQ(r.values.engine, c.engine) << c.tail.constData();
        EXPECT_EQ(r.values.autoReconnect, c.reconnect) << c.tail.constData();
        EXPECT_EQ(r.values.gateTelemetry, 1) << c.tail.constData();
    }
}

TEST(SettingsRecord, RoundTripsEveryField)
{
    GatewaySettings s;
    s.viaPath = QStringLiteral("WIDE2-2,RELAY");
    s.gatewayCall = QString::fromLatin1("IK0ABC-5 \xe8");
    s.satsPorts = QStringLiteral("1,3");
    s.outPorts = QStringLiteral("");
    s.dupSeconds = QStringLiteral(" 45 ");
    s.agwpeHost = QStringLiteral("192.168.1.20");
    s.mainLeft = -32768;
    s.mainTop = 32767;
    s.mainWidth = 8000;
    s.dailyLog = 1;
    s.tlmWindowMode = 0;
    s.tlmHeight = 123456789.25;
    s.tlmTop = -150;
    s.tlmLeft = 4500;
    s.gateToOut = 1;
    s.gateToSats = 0;
    s.gateTelemetry = 1;
    for (EngineChoice engine : {EngineChoice::Automatic, EngineChoice::DireWolf, EngineChoice::Agwpe}) {
        s.engine = engine;
        s.autoReconnect = engine == EngineChoice::Agwpe;
        const QByteArray bytes = FormatSettingsRecord(s);
        EXPECT_TRUE(bytes.endsWith("\r\n"));
        EXPECT_EQ(bytes.count("\r\n"), 1);
        const SettingsReadResult r = ParseSettingsRecord(bytes);
        EXPECT_TRUE(r.ok()) << bytes.constData();
        EXPECT_EQ(r.values, s) << bytes.constData();
    }
    EXPECT_TRUE(FormatSettingsRecord(s).contains(",123456789.25,"));
}

TEST(SettingsRecord, UnstorableValuesAreWrittenSoTheyReadBack)
{
    GatewaySettings s = ExampleSettings();
    s.viaPath = QStringLiteral("WIDE\"1,\"WIDE");
    s.agwpeHost = QStringLiteral("h\"o\"st");
    s.gatewayCall = QStringLiteral("IK0\u20acABC"); // no single-byte form
    s.mainLeft = 40500;                             // a far monitor
    s.tlmTop = -40000;
    s.tlmHeight = std::numeric_limits<double>::infinity();
    const QByteArray bytes = FormatSettingsRecord(s);
    EXPECT_EQ(bytes.count('"'), 12);

    const SettingsReadResult r = ParseSettingsRecord(bytes);
    ASSERT_TRUE(r.ok()) << bytes.constData();
    EXPECT_EQ(r.values.viaPath, "WIDE1,WIDE");
    EXPECT_EQ(r.values.agwpeHost, "host");
    EXPECT_EQ(r.values.gatewayCall, "IK0?ABC");
    EXPECT_EQ(r.values.mainLeft, 32767);
    EXPECT_EQ(r.values.tlmTop, -32768);
    EXPECT_EQ(r.values.tlmHeight, 0.0);
    EXPECT_EQ(r.values.gateTelemetry, 1); // later fields are where they belong
}

TEST(SettingsRecord, ReadsFieldsSpreadOverLinesAndAfterSpaces)
{
    const QByteArray spread =
        "  \"WIDE,WIDE\"\r\n\"\"\n\"1\"\r\"2\",   \"30\",\"localhost\"\r\n"
        "\r\n1200\r\n 900,  9000,\r\n1\n2,4850,3000\r\n\r\n9000,1,0,\n  \n1\r\n";
    const SettingsReadResult r = ParseSettingsRecord(spread);
    EXPECT_TRUE(r.ok());
    EXPECT_EQ(r.values, ExampleSettings());

    // Unquoted texts run to the comma; text after a closing quote is dropped;
    // a quoted text keeps commas and line ends.
    const SettingsReadResult u = ParseSettingsRecord(
        "WIDE,\"A\"junk,  b c ,\"x\r\ny\",30,\"localhost,1\r\n0,0,0,0,0,0,0,0,0,0,0\r\n");
    EXPECT_EQ(u.values.viaPath, "WIDE");
    EXPECT_EQ(u.values.gatewayCall, "A");
    EXPECT_EQ(u.values.satsPorts, "b c ");
    EXPECT_EQ(u.values.outPorts, "x\r\ny");
    EXPECT_EQ(u.values.dupSeconds, "30");
    // The unterminated quote swallows the rest, so field 7 is missing.
    EXPECT_EQ(u.values.agwpeHost, "localhost,1\r\n0,0,0,0,0,0,0,0,0,0,0\r\n");
    EXPECT_EQ(u.failedField, 7);
}

TEST(SettingsRecord, IntegerFieldRules)
{
    struct Case { QByteArray text; std::optional<int> value; };
    const Case cases[] = {
        {"9000", 9000},   {"  -12 ", -12},  {"+7", 7},          {"", 0},
        {"32767", 32767}, {"-32768", -32768}, {"32768", {}},    {"-32769", {}},
        {"40000", {}},    {"2.5", 2},       {"3.5", 4},         {"-0.5", 0},
        {"-2.5", -2},     {"2.51", 3},      {".5", 0},          {"7.", 7},
        {"32767.4", 32767}, {"32767.5", {}}, {"-32768.5", -32768}, {"1e3", 1000},
        {"1E+2", 100},    {"abc", {}},      {"12abc", {}},      {"1 2", {}},
        {"-", {}},        {".", {}},        {"1e", {}},         {"inf", {}},
        {"nan", {}},      {"&H10", {}},     {"\"12\"", 12},     {"1e400", {}},
    };
    for (int field : {7, 9, 11, 17}) {
        for (const Case& c : cases) {
            const SettingsReadResult r = ParseSettingsRecord(WithField(field, c.text));
            const int* slot = field == 7 ? &r.values.mainLeft
                            : field == 9 ? &r.values.mainWidth
                            : field == 11 ? &r.values.tlmWindowMode
                                          : &r.values.gateTelemetry;
            if (field == 17 && c.text.isEmpty()) {
                // Nothing but the line end after the last comma: the record
                // ended after field 16, which is whole.
                EXPECT_TRUE(r.ok());
                EXPECT_EQ(*slot, 0);
            } else if (c.value) {
                EXPECT_TRUE(r.ok()) << field << ": " << c.text.constData();
                EXPECT_EQ(*slot, *c.value) << field << ": " << c.text.constData();
            } else {
                EXPECT_EQ(r.failedField, field) << c.text.constData();
                EXPECT_EQ(*slot, 0) << c.text.constData();
            }
        }
    }
}

TEST(SettingsRecord, HeightFieldTakesAnyNumber)
{
    struct Case { QByteArray text; std::optional<double> value; };
    const Case cases[] = {
        {"4850", 4850.0}, {"", 0.0},  {"40000", 40000.0}, {"-1e6", -1e6},
        {"3000.75", 3000.75}, {"x", {}}, {"12 px", {}},  {"1e999", {}},
    };
    for (const Case& c : cases) {
        const SettingsReadResult r = ParseSettingsRecord(WithField(12, c.text));
        if (c.value) {
            EXPECT_TRUE(r.ok()) << c.text.constData();
            EXPECT_EQ(r.values.tlmHeight, *c.value) << c.text.constData();
        } else {
            EXPECT_EQ(r.failedField, 12) << c.text.constData();
            EXPECT_EQ(r.values.tlmTop, 0);
        }
    }
}

TEST(SettingsRecord, DataEndingEarlyKeepsTheFieldsBefore)
{
    const GatewaySettings full = ExampleSettings();
    QList<QByteArray> fields = kExample.chopped(2).split(',');
    fields[0] += ',' + fields[1]; // re-join "WIDE,WIDE"
    fields.removeAt(1);
    ASSERT_EQ(fields.size(), 17);
    for (int k = 1; k <= 17; ++k) {
        const QByteArray data = fields.mid(0, k - 1).join(',') + (k > 1 ? "\r\n" : "");
        const SettingsReadResult r = ParseSettingsRecord(data);
        EXPECT_EQ(r.failedField, k == 17 ? 0 : k) << data.constData();
        // Rebuild what should be there: fields before k from the full
        // record, the rest at their starting values.
        GatewaySettings expected;
        if (k > 1) expected.viaPath = full.viaPath;
        if (k > 2) expected.gatewayCall = full.gatewayCall;
        if (k > 3) expected.satsPorts = full.satsPorts;
        if (k > 4) expected.outPorts = full.outPorts;
        if (k > 5) expected.dupSeconds = full.dupSeconds;
        if (k > 6) expected.agwpeHost = full.agwpeHost;
        if (k > 7) expected.mainLeft = full.mainLeft;
        if (k > 8) expected.mainTop = full.mainTop;
        if (k > 9) expected.mainWidth = full.mainWidth;
        if (k > 10) expected.dailyLog = full.dailyLog;
        if (k > 11) expected.tlmWindowMode = full.tlmWindowMode;
        if (k > 12) expected.tlmHeight = full.tlmHeight;
        if (k > 13) expected.tlmTop = full.tlmTop;
        if (k > 14) expected.tlmLeft = full.tlmLeft;
        if (k > 15) expected.gateToOut = full.gateToOut;
        if (k > 16) expected.gateToSats = full.gateToSats;
        EXPECT_EQ(r.values, expected) << k;
    }
    // Only spaces and line ends left, or nothing at all, is the end of the
    // data.
    EXPECT_TRUE(ParseSettingsRecord(DefaultSettingsRecord() + " \r\n\r\n").ok());
    EXPECT_EQ(ParseSettingsRecord("   ").failedField, 1);
    EXPECT_EQ(ParseSettingsRecord("").failedField, 1);
    EXPECT_EQ(ParseSettingsRecord("a,b,   ").failedField, 3);
}

TEST(SettingsRecord, GarbageNeverBreaksTheReader)
{
    QRandomGenerator rng(20240611);
    for (int round = 0; round < 500; ++round) {
        QByteArray data(int(rng.bounded(400)), '\0');
        const char alphabet[] = "0123456789,,,,\"\r\n -.eX\xff";
        for (char& c : data)
            c = round % 2 ? char(rng.bounded(256)) : alphabet[rng.bounded(int(sizeof alphabet) - 1)];
        const SettingsReadResult r = ParseSettingsRecord(data);
        ASSERT_GE(r.failedField, 0);
        ASSERT_LE(r.failedField, 17);
        if (r.ok()) {
            // Whatever was read can be written and read back unchanged,
            // apart from the quotes the writer drops.
            GatewaySettings clean = r.values;
            for (QString* t : {&clean.viaPath, &clean.gatewayCall, &clean.satsPorts,
                               &clean.outPorts, &clean.dupSeconds, &clean.agwpeHost})
                t->remove(QLatin1Char('"'));
            const SettingsReadResult again = ParseSettingsRecord(FormatSettingsRecord(r.values));
            ASSERT_TRUE(again.ok());
            ASSERT_EQ(again.values, clean);
        } else if (r.failedField <= 12) {
            ASSERT_EQ(r.values.tlmTop, 0);
            ASSERT_EQ(r.values.gateTelemetry, 0);
        }
    }
}

namespace {

// The default record (16 fields) with fields replaced or added: {number,
// text as written}. Fields 17-19 beyond the end come after "0" fillers.
QByteArray Record(std::initializer_list<std::pair<int, QByteArray>> changes, const QByteArray& end = "\r\n")
{
    QByteArrayList fields{"\"WIDE,WIDE\"", "\"\"", "\"1\"", "\"2\"", "\"30\"", "\"localhost\"", "0", "0",
                          "7470", "0", "1", "4850", "0", "0", "0", "1"};
    for (const auto& [field, text] : changes) {
        while (fields.size() < field)
            fields << "0";
        fields[field - 1] = text;
    }
    return fields.join(',') + end;
}

} // namespace

// The strict reading of the service: a record in, accepted (0) or the field
// at fault and its line out.
TEST(SettingsCheck, RecordInFieldAtFaultOut)
{
    const struct {
        QByteArray record;
        int field;
        int line;
    } rows[] = {
        // Valid, whatever the values: 16 or 17 fields, plus 18 and 19.
        {DefaultSettingsRecord(), 0, 0},
        {kExample, 0, 0},
        {Record({{2, "\"N1CALL-5\""}, {15, "1"}}), 0, 0},
        {Record({{17, "1"}, {18, "2"}, {19, "1"}}), 0, 0},
        {Record({{1, "\"\""}, {3, "\"\""}, {4, "\"1,2,3\""}, {5, "\"0\""}, {6, "\"::1\""}}), 0, 0},
        {Record({{1, "\"WIDE2-2,ARISS\""}, {2, "n1call"}, {5, "32767"}, {6, "gw-1.example.org"}}), 0, 0},
        {Record({{7, " -32768"}, {9, "+32767 "}, {11, "\"2\""}, {12, "3000.5"}, {13, "-1"}}), 0, 0},
        {Record({{12, "1e3"}}, "\r\n\r\n  \r\n"), 0, 0},
        {"\"WIDE,WIDE\",\"\",\"1\",\"2\",\"30\",\"localhost\"\r\n0,0,7470,\r\n0,1,4850,0,0,0,1\r\n", 0, 0},
        // Too few or too many fields.
        {"", 1, 1},
        {Record({}).left(Record({}).lastIndexOf(',')) + "\r\n", 16, 1},  // 15 fields
        {"\"WIDE,WIDE\",\"\",\"1\",\"2\",\"30\",\"localhost\"\r\n0,0,7470,0\r\n", 11, 2},
        {Record({{19, "0"}, {20, "0"}}), 20, 1},
        // Values a field cannot take.
        {Record({{15, "yes"}}), 15, 1},
        {Record({{2, "\"N1CALL-5\"\""}}), 2, 1},   // a stray quote after the closing one
        {Record({{2, "N1CALL-5\""}}), 2, 1},       // a quote in an unquoted text
        {Record({{6, "\"localhost"}}), 6, 1},       // a quote never closed
        {Record({{5, "\"thirty\""}}), 5, 1},
        {Record({{5, "\" 30\""}}), 5, 1},
        {Record({{5, "-1"}}), 5, 1},
        {Record({{5, "40000"}}), 5, 1},
        {Record({{2, QByteArray("\"N1\0CALL\"", 9)}}), 2, 1},
        {Record({{1, "\"WIDE\tWIDE\""}}), 1, 1},
        {Record({{2, "\"N1\r\nCALL\""}}), 2, 1},
        {Record({{2, "\"N1CALL-123\""}}), 2, 1},
        {Record({{2, "\"N1 CALL\""}}), 2, 1},
        {Record({{1, "\"WIDE,,WIDE\""}}), 1, 1},
        {Record({{1, "\"WIDE*\""}}), 1, 1},
        {Record({{3, "\"1;2\""}}), 3, 1},
        {Record({{4, "\" 2\""}}), 4, 1},
        {Record({{6, "\"\""}}), 6, 1},
        {Record({{6, "\"local host\""}}), 6, 1},
        {Record({{7, "1.5"}}), 7, 1},
        {Record({{9, "40000"}}), 9, 1},
        {Record({{9, ""}}), 9, 1},
        {Record({{10, "2"}}), 10, 1},
        {Record({{11, "3"}}), 11, 1},
        {Record({{12, "tall"}}), 12, 1},
        {Record({{16, "-1"}}), 16, 1},
        {Record({{17, "yes"}}), 17, 1},
        {Record({{18, "4"}}), 18, 1},
        {Record({{19, "x"}}), 19, 1},
        // The first fault wins, on its own line.
        {"\"WIDE,WIDE\",\"\",\"1\",\"2\",\"30\",\"localhost\"\r\n0,0,7470,0,1,4850\r\n0,0,yes,1\r\n", 15, 3},
    };
    for (const auto& row : rows) {
        const std::optional<SettingsFault> fault = CheckSettingsRecord(row.record);
        ASSERT_EQ(fault ? fault->field : 0, row.field) << row.record.toStdString();
        if (fault) {
            EXPECT_EQ(fault->line, row.line) << row.record.toStdString();
            EXPECT_FALSE(fault->problem.isEmpty());
        } else {
            // What the strict reading accepts, the window's reading takes
            // whole as well.
            EXPECT_TRUE(ParseSettingsRecord(row.record).ok()) << row.record.toStdString();
        }
    }
    // The message names the field by number and name.
    const QString text = SettingsFaultText(*CheckSettingsRecord(Record({{15, "yes"}})));
    EXPECT_TRUE(text.contains("15") && text.contains("Gate to Out") && text.contains("'yes'")) << text.toStdString();
}
