// KISS framing and the AX.25 frames it carries, as tables: a stream in, the
// frames out.
#include <gtest/gtest.h>

#include <random>

#include "agw/RawFrame.h"
#include "kiss/KissFrame.h"

using namespace selvane;

namespace {

// "port:hex" for each frame handed on; the command byte is left out.
QStringList Decode(KissDecoder& decoder, const QList<QByteArray>& pieces)
{
    QStringList frames;
    for (const QByteArray& piece : pieces)
        decoder.feed(piece, [&](int port, const QByteArray& frame) {
            frames << QStringLiteral("%1:%2").arg(port).arg(QString::fromLatin1(frame.mid(1).toHex()));
        });
    return frames;
}

QStringList Decode(const QByteArray& stream)
{
    KissDecoder decoder;
    return Decode(decoder, {stream});
}

TEST(KissDecoder, StreamsToFrames)
{
    struct Row {
        const char* stream;  // hex
        QStringList frames;
    };
    const Row rows[] = {
        {"c000010203c0", {"0:010203"}},
        {"c010aabbc0", {"1:aabb"}},                               // port in the high nibble
        {"c080aac0", {"8:aa"}},
        {"c0f0aac0", {"15:aa"}},
        {"c001aac0c006aac0c0ffc0", {}},                           // no data frames: skipped
        {"c0c0c0c000aac0c0c0", {"0:aa"}},                         // FEND runs
        {"aabbccc000ddc0", {"0:dd"}},                             // bytes before the first FEND
        {"c000dbdcc0", {"0:c0"}},                                 // escapes
        {"c000dbddc0", {"0:db"}},
        {"c000dbdcdbdddbdcc0", {"0:c0dbc0"}},
        {"c000dbdc01dbdd02c0", {"0:c001db02"}},
        {"c000dbc0c000aac0", {"0:aa"}},                           // FESC then FEND: dropped, next one kept
        {"c00001db41c000bbc0", {"0:bb"}},                         // a bad escape drops its frame only
        {"c000dbc0", {}},
        {"c000c0", {"0:"}},                                       // a command alone is a (empty) data frame
        {"c0dbdcaac0", {"12:aa"}},                                // the command byte escaped: port 12 is FEND
    };
    for (const Row& row : rows)
        EXPECT_EQ(Decode(QByteArray::fromHex(row.stream)), row.frames) << row.stream;
    for (int port = 0; port <= Kiss::kMaxPort; ++port)
        EXPECT_EQ(Decode(KissEncode(port, "\xc0\xdb")), QStringList{QStringLiteral("%1:c0db").arg(port)}) << port;
}

// Every frame, escapes at every position, cut at every byte: the same frames.
TEST(KissDecoder, EscapesAtEveryPositionSurviveEveryCut)
{
    for (int at = 0; at < 6; ++at) {
        for (const char special : {char(0xC0), char(0xDB)}) {
            QByteArray frame = QByteArray::fromHex("0102030405");
            frame.insert(at, special);
            const QByteArray stream = KissEncode(3, frame) + KissEncode(0, "tail");
            const QStringList expected{"3:" + QString::fromLatin1(frame.toHex()),
                                       "0:" + QString::fromLatin1(QByteArray("tail").toHex())};
            ASSERT_EQ(Decode(stream), expected) << at;
            for (qsizetype cut = 1; cut < stream.size(); ++cut) {
                KissDecoder decoder;
                EXPECT_EQ(Decode(decoder, {stream.left(cut), stream.mid(cut)}), expected) << at << " cut " << cut;
            }
        }
    }
}

// Garbage never stalls the decoder nor makes it hold more than a frame's
// worth: the frame after it comes through.
TEST(KissDecoder, GarbageAndOversizeAreDroppedAndTheNextFrameComes)
{
    std::mt19937 rng(18);
    std::uniform_int_distribution<int> byte(0, 255);
    QByteArray noise;
    for (int i = 0; i < 100000; ++i)
        noise.append(char(byte(rng)));
    const QList<QByteArray> garbage{
        noise,
        QByteArray(KissDecoder::kMaxFrameBytes + 10, 'x'),                   // no FEND at all
        QByteArray(1, Kiss::Fend) + QByteArray(KissDecoder::kMaxFrameBytes * 3, '\0'),
        QByteArray(5000, Kiss::Fesc),
    };
    for (const QByteArray& g : garbage) {
        KissDecoder decoder;
        qsizetype most = 0;
        for (qsizetype at = 0; at < g.size(); at += 997) {
            decoder.feed(g.mid(at, 997), [](int, const QByteArray&) {});
            most = std::max(most, decoder.pending());
        }
        EXPECT_LE(most, KissDecoder::kMaxFrameBytes);
        // What was under way may end as a frame of its own; the last is ours.
        const QStringList frames = Decode(decoder, {KissEncode(2, "after")});
        EXPECT_EQ(frames.value(frames.size() - 1), "2:" + QString::fromLatin1(QByteArray("after").toHex()));
    }
    // A frame of exactly the limit passes; one byte more is dropped.
    EXPECT_EQ(Decode(KissEncode(0, QByteArray(KissDecoder::kMaxFrameBytes - 1, 'a'))).size(), 1);
    KissDecoder decoder;
    EXPECT_TRUE(Decode(decoder, {KissEncode(0, QByteArray(KissDecoder::kMaxFrameBytes, 'a'))}).isEmpty());
    EXPECT_EQ(decoder.damagedFrames(), 1);
}

// A handler that clears the decoder (the link stopped) ends the walk.
TEST(KissDecoder, ClearedByTheHandlerStopsAtOnce)
{
    KissDecoder decoder;
    int frames = 0;
    decoder.feed(KissEncode(0, "a") + KissEncode(0, "b"), [&](int, const QByteArray&) {
        ++frames;
        decoder.clear();
    });
    EXPECT_EQ(frames, 1);
    EXPECT_EQ(decoder.pending(), 0);
}

// What goes out: an AX.25 UI frame, read back as a heard frame and written
// as the header line an AGW engine writes.
TEST(Ax25UiFrame, BuiltFramesReadBackWithTheirMarks)
{
    struct Row {
        const char* from;
        const char* to;
        QStringList via;
        const char* header;  // MonitorHeaderLine at 08:15:30 on port 0
    };
    const Row rows[] = {
        {"N0CALL-9", "APRS", {"RS0ISS*", "N0CALL-5*", "WIDE", "WIDE"},
         " 1:Fm N0CALL-9 To APRS Via RS0ISS*,N0CALL-5*,WIDE,WIDE <UI pid=F0 Len=5 >[08:15:30]"},
        {"PCSAT-1", "APRS", {"N0CALL-5*", "WIDE2-2"}, " 1:Fm PCSAT-1 To APRS Via N0CALL-5*,WIDE2-2 <UI pid=F0 Len=5 >[08:15:30]"},
        {"N0CALL-9", "APRS", {}, " 1:Fm N0CALL-9 To APRS <UI pid=F0 Len=5 >[08:15:30]"},
        {"N0CALL-9", "APRS-0", {"", "A", "B", "C", "D", "E", "F", "G", "H", "I"},  // 8 entries at most
         " 1:Fm N0CALL-9 To APRS Via A,B,C,D,E,F,G,H <UI pid=F0 Len=5 >[08:15:30]"},
        {"TOOLONGCALL-3", "APRS-99", {"WIDE2-16*"}, " 1:Fm TOOLON-3 To APRS Via WIDE2* <UI pid=F0 Len=5 >[08:15:30]"},
    };
    for (const Row& row : rows) {
        const QByteArray frame = BuildUiFrame(row.from, row.to, row.via, "Hello");
        const std::optional<RawFrame> read = ParseRawFrame(QByteArray(1, '\0') + frame);
        ASSERT_TRUE(read) << row.header;
        EXPECT_EQ(MonitorHeaderLine(0, *read, QTime(8, 15, 30)), QLatin1String(row.header));
        EXPECT_EQ(read->info, "Hello");
    }
    // Byte for byte: the destination's C bit, H bits, end bit, control, pid.
    EXPECT_EQ(BuildUiFrame("N0CALL-9", "APRS", {"RS0ISS*", "WIDE2-1"}, "x").toHex(),
              "82a0a4a64040e0" "9c6086829898" "72" "a4a66092a6a6" "e0" "ae92888a6440" "63" "03f0" "78");
    // Other pids and the port nibble reach the header line; a frame that is
    // no UI frame or too short for its addresses is no heard frame.
    QByteArray other = QByteArray(1, '\0') + BuildUiFrame("N0CALL", "APRS", {}, "x");
    other[1 + 15] = char(0xCF);
    EXPECT_EQ(MonitorHeaderLine(11, *ParseRawFrame(other), QTime(0, 0)), "12:Fm N0CALL To APRS <UI pid=CF Len=1 >[00:00:00]");
    other[1 + 14] = char(0x00);  // an I frame
    EXPECT_FALSE(ParseRawFrame(other));
    EXPECT_FALSE(ParseRawFrame(QByteArray(1, '\0') + BuildUiFrame("N0CALL", "APRS", {}, "").left(13)));
}

} // namespace
