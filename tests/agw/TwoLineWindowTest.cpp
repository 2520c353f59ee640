#include "agw/PacketStore.h"

#include <gtest/gtest.h>

using namespace selvane;

namespace {

QStringList Window(const QByteArray& text)
{
    return TwoLineWindow(text.constData(), text.size());
}

} // namespace

TEST(TwoLineWindow, HeaderAndInformationLine)
{
    const QByteArray text = " 1:Fm IK1ABC To APRS Via RS0ISS* <UI pid=F0 Len=12 >[10:01:02]\r"
                            "!4500.00N/00700.00E-\r";
    EXPECT_EQ(Window(text), QStringList({" 1:Fm IK1ABC To APRS Via RS0ISS* <UI pid=F0 Len=12 >[10:01:02]",
                                         "!4500.00N/00700.00E-"}));
}

TEST(TwoLineWindow, KeepsTheLastTwoLines)
{
    EXPECT_EQ(Window("one\rtwo\rthree\r"), QStringList({"two", "three"}));
    EXPECT_EQ(Window("a\rb\rc\rd\re\r"), QStringList({"d", "e"}));
    // Text after the last CR is not shown.
    EXPECT_EQ(Window("one\rtwo\rthree"), QStringList({"one", "two"}));
    // The engine's text ends with CR CR NUL: the lone NUL is never a line.
    EXPECT_EQ(Window(QByteArray("hdr\rinfo\r\r\0", 11)), QStringList({"hdr", "info"}));
}

TEST(TwoLineWindow, FewLinesAreCompletedWithOneEmptyEntry)
{
    EXPECT_EQ(Window("only\r"), QStringList({"only", ""}));
    // No CR at all: one empty entry.
    EXPECT_EQ(Window("no end of line"), QStringList({""}));
    EXPECT_EQ(Window(""), QStringList({""}));
    EXPECT_EQ(Window("\r\r\r"), QStringList({""}));
    EXPECT_EQ(TwoLineWindow(nullptr, 5), QStringList({""}));
    EXPECT_EQ(TwoLineWindow("abc\r", -1), QStringList({""}));
}

TEST(TwoLineWindow, DoubleCrAddsNoEmptyEntry)
{
    EXPECT_EQ(Window("hdr\r\rinfo\r"), QStringList({"hdr", "info"}));
    EXPECT_EQ(Window("\rhdr\r\r\r\rinfo\r\r"), QStringList({"hdr", "info"}));
}

TEST(TwoLineWindow, LineFeedNulAndHighBytesStayInTheLine)
{
    const QByteArray text("a\nb\r\0x\xB0\r", 8);
    const QStringList w = Window(text);
    ASSERT_EQ(w.size(), 2);
    EXPECT_EQ(w[0], QStringLiteral("a\nb"));
    EXPECT_EQ(w[1].size(), 3);
    EXPECT_EQ(w[1], QString(QChar(0)) + QStringLiteral("x\u00B0"));
}

TEST(TwoLineWindow, ReadsOnlyTheGivenLength)
{
    const QByteArray text = "first\rsecond\rthird\r";
    EXPECT_EQ(TwoLineWindow(text.constData(), 13), QStringList({"first", "second"}));
    EXPECT_EQ(TwoLineWindow(text.constData() + 6, 7), QStringList({"second", ""}));
}
