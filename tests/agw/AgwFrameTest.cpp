#include "agw/AgwFrame.h"
#include "agw/RawFrame.h"
#include "support/Frames.h"

#include <gtest/gtest.h>

using namespace selvane;

namespace {

QByteArray Bytes(std::initializer_list<int> values)
{
    QByteArray out;
    for (int v : values)
        out.append(char(v));
    return out;
}

// A received header with the given callFrom and callTo field bytes.
QByteArray ReceivedHeader(const QByteArray& callFrom, const QByteArray& callTo)
{
    QByteArray header(AgwFrame::HeaderSize, '\0');
    header[AgwFrame::OffsetKind] = 'U';
    header.replace(AgwFrame::OffsetCallFrom, callFrom.size(), callFrom);
    header.replace(AgwFrame::OffsetCallTo, callTo.size(), callTo);
    return header;
}

bool AllZero(const QByteArray& bytes)
{
    return bytes.count('\0') == bytes.size();
}

} // namespace

TEST(AgwRequest, KindAtByteFourEverythingElseZero)
{
    const QByteArray g = BuildAgwRequest('G');
    ASSERT_EQ(g.size(), 36);
    EXPECT_EQ(g.at(4), 'G');
    EXPECT_EQ(uchar(g.at(4)), 0x47);
    EXPECT_TRUE(AllZero(g.left(4)));
    EXPECT_TRUE(AllZero(g.mid(5)));

    for (char kind : {'m', 'R'}) {
        const QByteArray r = BuildAgwRequest(kind);
        ASSERT_EQ(r.size(), 36);
        EXPECT_EQ(FrameKind(r, 0), kind);
        EXPECT_EQ(FrameDataLength(r, 0), 0u);
        EXPECT_EQ(r.count('\0'), 35);
    }
}

TEST(ViaPath, SplittingRules)
{
    EXPECT_EQ(SplitViaPath("RS0ISS*,WIDE,WIDE"), QStringList({"RS0ISS*", "WIDE", "WIDE"}));
    // A comma in last position stays in the last entry.
    EXPECT_EQ(SplitViaPath("RS0ISS,"), QStringList({"RS0ISS,"}));
    EXPECT_EQ(SplitViaPath(","), QStringList({","}));
    EXPECT_EQ(SplitViaPath("A,,"), QStringList({"A", ","}));
    // Empty path: one empty entry. Empty piece between commas: empty entry.
    EXPECT_EQ(SplitViaPath(""), QStringList({""}));
    EXPECT_EQ(SplitViaPath("A,,B"), QStringList({"A", "", "B"}));
    EXPECT_EQ(SplitViaPath(",A"), QStringList({"", "A"}));
}

TEST(ViaFrame, ThreeEntryPathLayout)
{
    const QByteArray callFrom = QByteArray("IK1ABC-7") + QByteArray(2, '\0');
    const QByteArray callTo = QByteArray("APRS") + QByteArray(6, '\0');
    const QByteArray header = ReceivedHeader(callFrom, callTo);
    const QByteArray f = BuildViaFrame(header, "RS0ISS*,WIDE,WIDE", "Hello");

    ASSERT_EQ(f.size(), 72);
    EXPECT_TRUE(AllZero(f.left(4))); // port 0
    EXPECT_EQ(f.at(4), 'V');
    EXPECT_TRUE(AllZero(f.mid(5, 3)));  // reserved, pid 0, reserved
    EXPECT_EQ(f.mid(8, 20), header.mid(8, 20));
    EXPECT_EQ(f.mid(28, 4), Bytes({36, 0, 0, 0}));
    EXPECT_TRUE(AllZero(f.mid(32, 4)));
    EXPECT_EQ(f.at(36), 3);
    EXPECT_EQ(f.mid(37, 7), "RS0ISS*");
    EXPECT_TRUE(AllZero(f.mid(44, 3)));
    EXPECT_EQ(f.mid(47, 4), "WIDE");
    EXPECT_TRUE(AllZero(f.mid(51, 6)));
    EXPECT_EQ(f.mid(57, 4), "WIDE");
    EXPECT_TRUE(AllZero(f.mid(61, 6)));
    EXPECT_EQ(f.mid(67, 5), "Hello");
    EXPECT_EQ(FrameDataLength(f, 0), 36u);
}

TEST(ViaFrame, OddPaths)
{
    const QByteArray header = ReceivedHeader("IK1ABC", "APRS");

    // Trailing comma: one 7-character entry, comma included.
    QByteArray f = BuildViaFrame(header, "RS0ISS,", "x");
    ASSERT_EQ(f.size(), 36 + 1 + 10 + 1);
    EXPECT_EQ(f.at(36), 1);
    EXPECT_EQ(f.mid(37, 10), QByteArray("RS0ISS,") + QByteArray(3, '\0'));
    EXPECT_EQ(f.at(47), 'x');

    // Empty path: one all-zero entry.
    f = BuildViaFrame(header, "", "ab");
    ASSERT_EQ(f.size(), 36 + 1 + 10 + 2);
    EXPECT_EQ(f.at(36), 1);
    EXPECT_TRUE(AllZero(f.mid(37, 10)));
    EXPECT_EQ(f.mid(47), "ab");
    EXPECT_EQ(FrameDataLength(f, 0), 13u);

    // Empty piece between commas: an all-zero middle entry.
    f = BuildViaFrame(header, "A,,B", "");
    ASSERT_EQ(f.size(), 36 + 1 + 30);
    EXPECT_EQ(f.at(36), 3);
    EXPECT_EQ(f.mid(37, 10), QByteArray("A") + QByteArray(9, '\0'));
    EXPECT_TRUE(AllZero(f.mid(47, 10)));
    EXPECT_EQ(f.mid(57, 10), QByteArray("B") + QByteArray(9, '\0'));
}

TEST(ViaFrame, LongEntryIsCutToItsSlot)
{
    const QByteArray f = BuildViaFrame(ReceivedHeader("IK1ABC", "APRS"), "ABCDEFGHIJKLMN,WIDE", "info");
    ASSERT_EQ(f.size(), 36 + 1 + 20 + 4);
    EXPECT_EQ(f.at(36), 2);
    EXPECT_EQ(f.mid(37, 10), QByteArray("ABCDEFGHI") + '\0');
    // The next slot and the information text are untouched by the long entry.
    EXPECT_EQ(f.mid(47, 10), QByteArray("WIDE") + QByteArray(6, '\0'));
    EXPECT_EQ(f.mid(57), "info");
}

TEST(ViaFrame, EverySlotKeepsItsTerminatingNul)
{
    // Ten characters would fill the slot: the tenth is dropped.
    const QByteArray f = BuildViaFrame(ReceivedHeader("IK1ABC", "APRS"), "N0CALL-15*,N0CAL-15*", "x");
    EXPECT_EQ(f.mid(37, 10), QByteArray("N0CALL-15") + '\0');
    EXPECT_EQ(f.mid(47, 10), QByteArray("N0CAL-15*") + '\0');
}

TEST(ViaFrame, LongInfoStatesItsTrueLengthInFourBytes)
{
    const QString info = QString(300, QLatin1Char('B')) + QString(70000, QLatin1Char('c'));
    const QByteArray f = BuildViaFrame(ReceivedHeader("IK1ABC", "APRS"), "WIDE", info);
    const quint32 expected = 1 + 10 + 70300;
    ASSERT_EQ(f.size(), 36 + qsizetype(expected));
    EXPECT_EQ(uchar(f.at(28)), expected & 0xFF);
    EXPECT_EQ(uchar(f.at(29)), (expected >> 8) & 0xFF);
    EXPECT_EQ(uchar(f.at(30)), (expected >> 16) & 0xFF);
    EXPECT_EQ(uchar(f.at(31)), 0);
    EXPECT_EQ(FrameDataLength(f, 0), expected);
    EXPECT_EQ(f.mid(47, 300), QByteArray(300, 'B'));
    EXPECT_EQ(f.right(1), "c");
}

TEST(ViaFrame, CharactersAreSingleBytes)
{
    const QString info = QStringLiteral("temp 25\u00B0C \u00E8");
    const QByteArray f = BuildViaFrame(ReceivedHeader("IK1ABC", "APRS"), QStringLiteral("\u00C9W"), info);
    ASSERT_EQ(f.size(), 36 + 1 + 10 + info.size());
    EXPECT_EQ(uchar(f.at(37)), 0xC9);
    EXPECT_EQ(f.at(38), 'W');
    EXPECT_EQ(uchar(f.at(47 + 7)), 0xB0);
    EXPECT_EQ(uchar(f.back()), 0xE8);
}

TEST(ViaFrame, ShortReceivedHeaderLeavesCallsZero)
{
    const QByteArray f = BuildViaFrame(QByteArray("\0\0\0\0U\0\0\0IK", 10), "WIDE", "x");
    ASSERT_EQ(f.size(), 36 + 1 + 10 + 1);
    EXPECT_EQ(f.mid(8, 2), "IK");
    EXPECT_TRUE(AllZero(f.mid(10, 18)));
    EXPECT_EQ(FrameDataLength(f, 0), 12u);
}

TEST(ViaFrame, PortIsSetPerTarget)
{
    QByteArray f = BuildViaFrame(ReceivedHeader("IK1ABC", "APRS"), "WIDE", "x");
    const QByteArray before = f;
    SetFramePort(f, 3);
    EXPECT_EQ(f.left(4), Bytes({3, 0, 0, 0}));
    EXPECT_EQ(f.mid(4), before.mid(4));
    EXPECT_EQ(FramePort(f, 0), 3);
    SetFramePort(f, 0);
    EXPECT_EQ(f, before);
    SetFramePort(f, -1); // ignored
    EXPECT_EQ(f, before);
}

TEST(ReceivedFrame, HeaderFieldsAtAnOffset)
{
    QByteArray block("garbage!");
    QByteArray header = ReceivedHeader(QByteArray("IK1ABC") + QByteArray(4, '\0'), "APRS");
    header[0] = char(200);
    header[1] = 7; // bytes 1-3 of the port are not part of the port number read
    header.replace(28, 4, Bytes({0x0F, 0x02, 0x01, 0x80}));
    block += header;
    const qsizetype h = 8;
    EXPECT_EQ(FramePort(block, h), 200);
    EXPECT_EQ(FrameKind(block, h), 'U');
    EXPECT_EQ(FrameCallFrom(block, h), "IK1ABC");
    EXPECT_EQ(FrameDataLength(block, h), 0x8001020Fu);
}

TEST(ReceivedFrame, CallFromEdgeCases)
{
    // Ten non-NUL bytes: all ten, nothing from callTo.
    QByteArray h = ReceivedHeader("IK1ABC-15X", "APRS");
    EXPECT_EQ(FrameCallFrom(h, 0), "IK1ABC-15X");
    // A NUL first byte is taken all the same; the search for the end starts
    // after it.
    h = ReceivedHeader(QByteArray("\0BC", 3), "APRS");
    EXPECT_EQ(FrameCallFrom(h, 0), QString(QChar(0)) + QStringLiteral("BC"));
    h = ReceivedHeader(QByteArray(), "APRS");
    EXPECT_EQ(FrameCallFrom(h, 0), QString(QChar(0)));
    // High bytes map one to one.
    h = ReceivedHeader("\xC9X", "APRS");
    EXPECT_EQ(FrameCallFrom(h, 0), QStringLiteral("\u00C9X"));
}

TEST(ReceivedFrame, ShortOrBadBlocksReadAsNothing)
{
    const QByteArray shortBlock("\x05\0\0\0U\0\0\0IK1", 11);
    EXPECT_EQ(FramePort(shortBlock, 0), 5);
    EXPECT_EQ(FrameKind(shortBlock, 0), 'U');
    EXPECT_EQ(FrameCallFrom(shortBlock, 0), "IK1");
    EXPECT_EQ(FrameDataLength(shortBlock, 0), 0u);
    EXPECT_EQ(FramePort(shortBlock, -1), 0);
    EXPECT_EQ(FrameKind(shortBlock, 20), '\0');
    EXPECT_EQ(FrameCallFrom(shortBlock, 4), QString());
    EXPECT_EQ(FrameDataLength(QByteArray(), 0), 0u);
}

// Raw frames: the address field's H bits become the header line's marks.
TEST(RawFrame, HeaderLineMarksComeFromTheRepeatedBits)
{
    const QString head = QStringLiteral(" 1:Fm N0CALL-8 To APRS");
    const QString tail = QStringLiteral(" <UI pid=F0 Len=2 PF=0 >[15:13:24]");
    struct Case { QStringList via; QString textVia; QString marked; };
    const Case cases[] = {
        {{}, "", ""},
        {{"RS0ISS*"}, " Via RS0ISS", " Via RS0ISS*"},
        {{"RS0ISS"}, " Via RS0ISS", " Via RS0ISS"},
        {{"RS0ISS*", "WIDE2"}, " Via RS0ISS,WIDE2", " Via RS0ISS*,WIDE2"},        // first
        {{"WIDE1*", "PCSAT-1*", "WIDE2"}, " Via WIDE1,PCSAT-1,WIDE2", " Via WIDE1*,PCSAT-1*,WIDE2"},
        {{"RS0ISS*", "WIDE2*"}, " Via RS0ISS,WIDE2*", " Via RS0ISS*,WIDE2*"},     // 1.8 marks the last only
        {{"A", "B*", "C"}, " Via A,B,C", " Via A,B*,C"},                        // a middle one alone
        {{"N0CALL-0", "N0CALL-15*", "X-1"}, " Via N0CALL,N0CALL-15,X-1", " Via N0CALL,N0CALL-15*,X-1"},
        {{"D1*", "D2*", "D3*", "D4*", "D5*", "D6*", "D7*", "D8"},
         " Via D1,D2,D3,D4,D5,D6,D7,D8", " Via D1*,D2*,D3*,D4*,D5*,D6*,D7*,D8"},
        // A "*" the engine wrote where the bit is clear goes away.
        {{"RS0ISS", "WIDE2"}, " Via RS0ISS*,WIDE2*", " Via RS0ISS,WIDE2"},
    };
    for (const Case& c : cases) {
        const std::optional<RawFrame> f = ParseRawFrame(test::RawUiFrame("APRS", "N0CALL-8", c.via, "hi"));
        ASSERT_TRUE(f) << c.marked.toStdString();
        EXPECT_EQ(f->source.text(), "N0CALL-8");
        EXPECT_EQ(f->destination.text(), "APRS");
        EXPECT_EQ(f->info, "hi");
        EXPECT_EQ(HeaderWithTrueMarks(head + c.textVia + tail, *f), head + c.marked + tail)
            << c.marked.toStdString();
    }
    // The capture of a real engine.
    const auto captured = ParseRawFrame(QByteArray::fromHex("0082a0a4a64040e09c6086829898f0a4a66092a6a6e103f0")
                                        + "Direct ISS");
    ASSERT_TRUE(captured);
    EXPECT_EQ(captured->viaText(), "RS0ISS*");
    EXPECT_EQ(captured->info, "Direct ISS");
    // A header without " To " is left alone.
    EXPECT_EQ(HeaderWithTrueMarks("garbage", *captured), "garbage");
}

TEST(RawFrame, MalformedFramesAreRefused)
{
    const QByteArray good = test::RawUiFrame("APRS", "N0CALL-8", {"RS0ISS*"}, "x");
    QByteArray nineDigis(1, '\0');
    nineDigis += test::Ax25Address("APRS", false) + test::Ax25Address("N0CALL", false);
    for (int i = 0; i < 9; ++i)
        nineDigis += test::Ax25Address("D" + QString::number(i), i == 8);
    nineDigis += "\x03\xf0x";
    QByteArray noEnd = good;
    noEnd[21] = char(noEnd[21] & ~1);  // RS0ISS no longer ends the field
    QByteArray oddChar = good;
    oddChar[1] = char(oddChar[1] | 1);
    QByteArray lowChar = good;
    lowChar[1] = char(0x02);
    QByteArray iFrame = good;
    iFrame[22] = 0x00;
    const QByteArray cases[] = {
        {}, QByteArray(1, '\0'), good.left(15), good.left(16), good.left(20), good.left(22), good.left(23) /* no control, no pid */,
        nineDigis, noEnd, oddChar, lowChar, iFrame, QByteArray(300, '\xff'), QByteArray(64, '\0'),
    };
    for (const QByteArray& c : cases)
        EXPECT_FALSE(ParseRawFrame(c)) << c.toHex().constData();
    EXPECT_TRUE(ParseRawFrame(good));
    EXPECT_TRUE(ParseRawFrame(good.left(24)));  // no information at all is still a frame
    QByteArray poll = good;
    poll[22] = 0x13;
    EXPECT_TRUE(ParseRawFrame(poll));
}
