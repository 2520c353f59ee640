#include "agw/AgwFrame.h"
#include "agw/Dispatcher.h"
#include "agw/FrameAssembler.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

using namespace selvane;

namespace {

QByteArray MakeFrame(char kind, const QByteArray& data, int port = 0)
{
    QByteArray frame(AgwFrame::HeaderSize, '\0');
    frame[0] = char(port);
    frame[AgwFrame::OffsetKind] = kind;
    frame.replace(AgwFrame::OffsetCallFrom, 6, "IK1ABC");
    const quint32 n = quint32(data.size());
    for (int i = 0; i < 4; ++i)
        frame[AgwFrame::OffsetDataLength + i] = char((n >> (8 * i)) & 0xFF);
    return frame + data;
}

// What a handler saw of one frame: its bytes (header and data) and length.
struct Seen {
    QByteArray frame;
    qint64 length;
    bool operator==(const Seen&) const = default;
};

struct Recorder {
    std::vector<Seen> seen;
    std::vector<qsizetype> offsets;
    FrameAssembler::Handler handler()
    {
        return [this](const QByteArray& block, qsizetype h, qint64 L) {
            ASSERT_GE(h, 0);
            ASSERT_LE(h + AgwFrame::HeaderSize + L, block.size());
            EXPECT_EQ(qint64(FrameDataLength(block, h)), L);
            seen.push_back({block.mid(h, AgwFrame::HeaderSize + L), L});
            offsets.push_back(h);
        };
    }
};

// Frames of several lengths, one without data in the middle and one at the end.
std::vector<QByteArray> SampleFrames()
{
    return {
        MakeFrame('R', QByteArray("\xD0\x07\0\0\x0F\0\0\0", 8)),
        MakeFrame('G', "2;Port1 with a long description;Port2;"),
        MakeFrame('U', QByteArray(" 1:Fm IK1ABC To APRS <UI pid=F0 Len=4 >[10:00:00]\rtest\r\r\0", 58), 1),
        MakeFrame('m', QByteArray()),
        MakeFrame('T', QByteArray(1, 'x')),
        MakeFrame('U', QByteArray(300, 'q'), 2),
        MakeFrame('Z', QByteArray()),
    };
}

QByteArray Join(const std::vector<QByteArray>& frames)
{
    QByteArray out;
    for (const QByteArray& f : frames)
        out += f;
    return out;
}

std::vector<Seen> Expected(const std::vector<QByteArray>& frames)
{
    std::vector<Seen> out;
    for (const QByteArray& f : frames)
        if (f.size() > AgwFrame::HeaderSize)
            out.push_back({f, f.size() - AgwFrame::HeaderSize});
    return out;
}

std::vector<Seen> FeedInPieces(const QByteArray& stream, std::vector<qsizetype> cuts)
{
    std::sort(cuts.begin(), cuts.end());
    FrameAssembler assembler;
    Recorder rec;
    qsizetype from = 0;
    cuts.push_back(stream.size());
    for (qsizetype cut : cuts) {
        assembler.feed(stream.mid(from, cut - from), rec.handler());
        from = cut;
    }
    EXPECT_EQ(assembler.pending(), 0);
    return rec.seen;
}

} // namespace

TEST(FrameAssembler, WholeStreamInOneArrival)
{
    const auto frames = SampleFrames();
    FrameAssembler assembler;
    Recorder rec;
    assembler.feed(Join(frames), rec.handler());
    EXPECT_EQ(rec.seen, Expected(frames));
    ASSERT_GE(rec.offsets.size(), 2u);
    EXPECT_EQ(rec.offsets[0], 0);
    EXPECT_EQ(rec.offsets[1], frames[0].size());
    EXPECT_EQ(assembler.pending(), 0);
}

TEST(FrameAssembler, OneCutAtEveryPosition)
{
    const auto frames = SampleFrames();
    const QByteArray stream = Join(frames);
    const auto expected = Expected(frames);
    for (qsizetype cut = 0; cut <= stream.size(); ++cut)
        ASSERT_EQ(FeedInPieces(stream, {cut}), expected) << "cut at " << cut;
}

TEST(FrameAssembler, RandomMultipleCutsAndSingleBytes)
{
    const auto frames = SampleFrames();
    const QByteArray stream = Join(frames);
    const auto expected = Expected(frames);
    std::mt19937 rng(20240611);
    std::uniform_int_distribution<qsizetype> pos(0, stream.size());
    std::uniform_int_distribution<int> count(2, 40);
    for (int round = 0; round < 500; ++round) {
        std::vector<qsizetype> cuts(count(rng));
        for (qsizetype& c : cuts)
            c = pos(rng);
        ASSERT_EQ(FeedInPieces(stream, cuts), expected) << "round " << round;
    }
    std::vector<qsizetype> everyByte;
    for (qsizetype i = 1; i < stream.size(); ++i)
        everyByte.push_back(i);
    EXPECT_EQ(FeedInPieces(stream, everyByte), expected);
}

TEST(FrameAssembler, FramesWithoutDataAreConsumedSilently)
{
    FrameAssembler assembler;
    Recorder rec;
    assembler.feed(MakeFrame('U', QByteArray()), rec.handler());
    EXPECT_TRUE(rec.seen.empty());
    EXPECT_EQ(assembler.pending(), 0);

    // A whole frame followed by a frame with no data as the last 36 bytes.
    const QByteArray first = MakeFrame('U', "abc\r");
    assembler.feed(first + MakeFrame('U', QByteArray()), rec.handler());
    ASSERT_EQ(rec.seen.size(), 1u);
    EXPECT_EQ(rec.seen[0].frame, first);
    EXPECT_EQ(assembler.pending(), 0);
}

TEST(FrameAssembler, TwentyThenSixtyBytes)
{
    const QByteArray frame = MakeFrame('U', QByteArray(44, 'd'));
    ASSERT_EQ(frame.size(), 80);
    FrameAssembler assembler;
    Recorder rec;
    assembler.feed(frame.left(20), rec.handler());
    EXPECT_TRUE(rec.seen.empty());
    EXPECT_EQ(assembler.pending(), 20);
    assembler.feed(frame.mid(20), rec.handler());
    ASSERT_EQ(rec.seen.size(), 1u);
    EXPECT_EQ(rec.seen[0].frame, frame);
    EXPECT_EQ(rec.offsets[0], 0);
    EXPECT_EQ(assembler.pending(), 0);
}

TEST(FrameAssembler, IncompleteTailWaitsForTheRest)
{
    const QByteArray a = MakeFrame('U', "first\r");
    const QByteArray b = MakeFrame('T', "second\r");
    FrameAssembler assembler;
    Recorder rec;
    assembler.feed(a + b.left(40), rec.handler());
    ASSERT_EQ(rec.seen.size(), 1u);
    EXPECT_EQ(assembler.pending(), 40);
    assembler.feed(b.mid(40), rec.handler());
    ASSERT_EQ(rec.seen.size(), 2u);
    EXPECT_EQ(rec.seen[1].frame, b);
}

TEST(FrameAssembler, LargeFramesAndOffsetsHaveNo16BitLimit)
{
    std::vector<QByteArray> frames;
    for (int i = 0; i < 300; ++i)
        frames.push_back(MakeFrame('U', QByteArray(200, char('a' + i % 26))));
    frames.push_back(MakeFrame('U', QByteArray(70000, 'L'))); // length uses byte 30
    frames.push_back(MakeFrame('T', "after\r"));
    const QByteArray stream = Join(frames);
    ASSERT_GT(stream.size(), 65535);

    FrameAssembler assembler;
    Recorder rec;
    assembler.feed(stream, rec.handler());
    ASSERT_EQ(rec.seen, Expected(frames));
    EXPECT_EQ(rec.seen[300].length, 70000);
    EXPECT_GT(rec.offsets.back(), 65535);
    // The same cut in the middle of the big frame.
    EXPECT_EQ(FeedInPieces(stream, {300 * 236 + 36 + 40000}), Expected(frames));
}

TEST(FrameAssembler, GarbageHugeLengthDropsPendingAndResumes)
{
    const QByteArray good = MakeFrame('U', "good\r");
    QByteArray garbage = MakeFrame('U', QByteArray());
    garbage[AgwFrame::OffsetDataLength + 3] = char(0x7F); // ~2 GiB declared

    FrameAssembler assembler;
    Recorder rec;
    EXPECT_FALSE(assembler.feed(good + garbage + QByteArray(100, 'x'), rec.handler()));
    ASSERT_EQ(rec.seen.size(), 1u); // frames before the garbage still go through
    EXPECT_EQ(assembler.pending(), 0);

    // Garbage whose length bytes arrive in a later piece.
    EXPECT_TRUE(assembler.feed(garbage.left(30), rec.handler()));
    EXPECT_EQ(assembler.pending(), 30);
    EXPECT_FALSE(assembler.feed(garbage.mid(30) + good.left(10), rec.handler()));
    EXPECT_EQ(assembler.pending(), 0);

    // Later arrivals are read afresh.
    assembler.feed(good, rec.handler());
    ASSERT_EQ(rec.seen.size(), 2u);
    EXPECT_EQ(rec.seen[1].frame, good);
}

TEST(FrameAssembler, LengthLimitIsInclusive)
{
    QByteArray atLimit = MakeFrame('U', QByteArray());
    QByteArray overLimit = atLimit;
    const quint32 limit = FrameAssembler::MaxDataLength;
    for (int i = 0; i < 4; ++i) {
        atLimit[AgwFrame::OffsetDataLength + i] = char((limit >> (8 * i)) & 0xFF);
        overLimit[AgwFrame::OffsetDataLength + i] = char(((limit + 1) >> (8 * i)) & 0xFF);
    }
    FrameAssembler assembler;
    Recorder rec;
    assembler.feed(overLimit, rec.handler());
    EXPECT_EQ(assembler.pending(), 0);

    assembler.feed(atLimit, rec.handler());
    EXPECT_EQ(assembler.pending(), 36); // waits for its data
    assembler.feed(QByteArray(qsizetype(limit), 'y'), rec.handler());
    ASSERT_EQ(rec.seen.size(), 1u);
    EXPECT_EQ(rec.seen[0].length, qint64(limit));
    EXPECT_EQ(assembler.pending(), 0);
}

TEST(FrameAssembler, ClearDropsThePartialFrame)
{
    const QByteArray frame = MakeFrame('U', "data\r");
    FrameAssembler assembler;
    Recorder rec;
    assembler.feed(frame.left(38), rec.handler());
    EXPECT_EQ(assembler.pending(), 38);
    assembler.clear();
    EXPECT_EQ(assembler.pending(), 0);
    assembler.feed(frame, rec.handler());
    ASSERT_EQ(rec.seen.size(), 1u);
    EXPECT_EQ(rec.seen[0].frame, frame);
}

TEST(FrameAssembler, HandlerMayStopTheLinkOrFeedMore)
{
    const QByteArray a = MakeFrame('U', "aaaa\r");
    const QByteArray b = MakeFrame('U', "bbbb\r");
    const QByteArray c = MakeFrame('U', "cccc\r");

    // Stopping from inside the handler: the block being read stays intact and
    // the rest of it is dropped.
    FrameAssembler assembler;
    std::vector<QByteArray> seen;
    assembler.feed(a + b + c, [&](const QByteArray& block, qsizetype h, qint64 L) {
        assembler.clear();
        seen.push_back(block.mid(h, AgwFrame::HeaderSize + L));
    });
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0], a);
    EXPECT_EQ(assembler.pending(), 0);

    // Bytes fed from inside the handler are handed on once, after the frames
    // already there.
    seen.clear();
    bool fedMore = false;
    FrameAssembler::Handler handler = [&](const QByteArray& block, qsizetype h, qint64 L) {
        seen.push_back(block.mid(h, AgwFrame::HeaderSize + L));
        if (!fedMore) {
            fedMore = true;
            assembler.feed(c, handler);
        }
    };
    assembler.feed(a + b, handler);
    ASSERT_EQ(seen.size(), 3u);
    EXPECT_EQ(seen[0], a);
    EXPECT_EQ(seen[1], b);
    EXPECT_EQ(seen[2], c);
    EXPECT_EQ(assembler.pending(), 0);
}

namespace {

class RecordingView : public ILinkView {
public:
    QString status;
    QStringList received;
    QStringList ports;
    void setStatusText(const QString& text) override { status = text; }
    void setTrayTip(const QString&) override {}
    void setRunning(bool) override {}
    void showReceived(const QStringList& lines, PacketColour) override { received = lines; }
    void showTransmitted(const QStringList&) override {}
    void setPortsText(const QString&) override {}
    void addPort(const QString& description) override { ports.append(description); }
    void clearPorts() override {}
    void showSocketError(const QString&) override {}
    QString caption() const override { return QStringLiteral("Selvane"); }
};

} // namespace

TEST(FrameAssembler, CutStreamReachesTheDispatcherWhole)
{
    RecordingView view;
    NoRoute router;
    GatewayCounters counters;
    Dispatcher dispatcher(view, router, counters);
    FrameAssembler assembler;
    auto dispatch = [&](const QByteArray& block, qsizetype h, qint64 L) { dispatcher.DispatchFrame(block, h, L); };

    const QByteArray stream = Join(SampleFrames());
    // The version reply cut inside its header, the rest cut inside the "U" text.
    assembler.feed(stream.left(30), dispatch);
    EXPECT_TRUE(view.status.isEmpty());
    assembler.feed(stream.mid(30, 150), dispatch);
    EXPECT_EQ(view.status, "Gateway connesso a AGWPE v2000.15");
    EXPECT_EQ(view.ports, QStringList({"Port1 with a long description", "Port2"}));
    EXPECT_TRUE(view.received.isEmpty());
    assembler.feed(stream.mid(180, 40), dispatch);
    EXPECT_EQ(view.received, QStringList({" 1:Fm IK1ABC To APRS <UI pid=F0 Len=4 >[10:00:00]", "test"}));
    assembler.feed(stream.mid(220), dispatch);
    EXPECT_EQ(view.received, QStringList({""})); // the last text has no CR
    EXPECT_EQ(assembler.pending(), 0);
}
