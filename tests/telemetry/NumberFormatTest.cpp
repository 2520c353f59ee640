#include <gtest/gtest.h>

#include <limits>

#include "telemetry/NumberFormat.h"

namespace selvane {
namespace {

struct Case {
    float value;
    const char16_t* pattern;
    const char* expected;
};

void Check(const std::initializer_list<Case>& cases)
{
    for (const Case& c : cases)
        EXPECT_EQ(FormatNumber(c.value, QStringView(c.pattern)), QLatin1String(c.expected))
            << "value " << c.value << " pattern " << QStringView(c.pattern).toString().toStdString();
}

TEST(NumberFormat, PatternsInUse)
{
    Check({{50.64f, u"##0mA", "51mA"},
           {-29.6f, u"##0mA", "-30mA"},
           {-124.0f, u"###0mA", "-124mA"},
           {14.4f, u"#0.0", "14.4"},
           {0.0f, u"#0.0", "0.0"},
           {-5.2f, u"#0.0", "-5.2"},
           {14.76f, u"BattA=##.0#V", "BattA=14.76V"},
           {14.9f, u" BattB=##.0#V", " BattB=14.9V"},
           {1.24f, u" Tx=#.0#W", " Tx=1.24W"},
           {0.89f, u" Tx=#.0#W", " Tx=.89W"},
           {8.0f, u"#.0#V", "8.0V"}});
}

TEST(NumberFormat, AllIntegerDigitsAndLeadingZeros)
{
    Check({{1234.4f, u"##0mA", "1234mA"},
           {0.3f, u"##0mA", "0mA"},
           {7.0f, u"000", "007"},
           {99.96f, u"#0.0", "100.0"},
           {123456789.0f, u"##0mA", "123456800mA"}, // 7 significant digits
           {0.001f, u"#.0#V", ".0V"},
           {1e-7f, u"#0.0", "0.0"}});
}

TEST(NumberFormat, HalvesGoAwayFromZero)
{
    Check({{0.5f, u"##0mA", "1mA"},
           {2.5f, u"##0mA", "3mA"},
           {-0.5f, u"##0mA", "-1mA"},
           {-2.5f, u"##0mA", "-3mA"},
           {0.25f, u"#0.0", "0.3"},
           {-0.05f, u"#0.0", "-0.1"}});
}

TEST(NumberFormat, RoundsTheSevenDigitFormNotTheBinaryValue)
{
    // Each of these floats lies just below the half (0.145f is 0.1449999...),
    // but its 7-digit form ends in 5.
    ASSERT_LT(static_cast<double>(0.145f), 0.145);
    ASSERT_LT(static_cast<double>(2.675f), 2.675);
    ASSERT_LT(static_cast<double>(1.005f), 1.005);
    Check({{0.145f, u"#.0#V", ".15V"},
           {2.675f, u"#.0#V", "2.68V"},
           {1.005f, u" Tx=#.0#W", " Tx=1.01W"},
           {-1.005f, u"#.0#V", "-1.01V"},
           {9.995f, u"#.0#V", "10.0V"},           // carry, second decimal dropped
           {14.995f, u"BattA=##.0#V", "BattA=15.0V"},
           {14.994f, u"BattA=##.0#V", "BattA=14.99V"},
           {14.805f, u"BattA=##.0#V", "BattA=14.81V"}});
}

TEST(NumberFormat, NegativeValuesKeepTheirSignEvenWhenRoundingToZero)
{
    Check({{-0.4f, u"##0mA", "-0mA"},
           {-0.0f, u"##0mA", "0mA"},
           {-0.0f, u"#0.0", "0.0"},
           {-0.04f, u"#0.0", "-0.0"},
           {-0.004f, u"#.0#V", "-.0V"},
           {-0.6f, u"##0mA", "-1mA"}});
}

TEST(NumberFormat, OddInputs)
{
    Check({{5.0f, u"V", "V"},
           {std::numeric_limits<float>::quiet_NaN(), u"##0mA", "NaNmA"},
           {std::numeric_limits<float>::infinity(), u"#0.0", "Inf"},
           {-std::numeric_limits<float>::infinity(), u"##0mA", "-InfmA"}});
}

} // namespace
} // namespace selvane
