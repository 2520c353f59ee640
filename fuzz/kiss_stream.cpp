// What a KISS TNC sends: the byte stream, cut into frames, each parsed as an
// AX.25 UI frame and described by the header line the gateway writes for it.
//
// Input: one byte that says where to cut the stream (0: in one piece), then
// the stream.
#include <cstdint>
#include <optional>

#include <QTime>

#include "Doubles.h"
#include "agw/RawFrame.h"
#include "kiss/KissFrame.h"

using namespace selvane;
using namespace selvane::fuzz;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1)
        return 0;
    const qsizetype piece = data[0];
    const QByteArray stream = Bytes(data + 1, size - 1);

    KissDecoder decoder;
    QList<QByteArray> frames;
    const auto onFrame = [&](int port, const QByteArray& frame) {
        FUZZ_CHECK(port >= 0 && port <= Kiss::kMaxPort);
        FUZZ_CHECK(!frame.isEmpty() && frame.size() <= KissDecoder::kMaxFrameBytes);
        frames.append(frame);
        const std::optional<RawFrame> ax25 = ParseRawFrame(frame);
        if (!ax25)
            return;
        const QString header = MonitorHeaderLine(port, *ax25, QTime(23, 59, 59));
        // One line, whatever the frame held: the header is what the
        // classification and the daily log read.
        FUZZ_CHECK(!header.contains(QLatin1Char('\r')) && !header.contains(QLatin1Char('\n')));
        // Written again for the TNC, the frame reads back the same.
        const QByteArray again = KissEncode(port, frame.mid(1));
        FUZZ_CHECK(again.count(Kiss::Fend) == 2);
    };
    const qsizetype step = piece == 0 ? qMax<qsizetype>(stream.size(), 1) : piece;
    for (qsizetype at = 0; at < stream.size(); at += step) {
        decoder.feed(stream.mid(at, step), onFrame);
        FUZZ_CHECK(decoder.pending() <= KissDecoder::kMaxFrameBytes);
    }

    // However the stream was cut, the same frames came out.
    KissDecoder whole;
    QList<QByteArray> inOnePiece;
    whole.feed(stream, [&](int, const QByteArray& frame) { inOnePiece.append(frame); });
    FUZZ_CHECK(frames == inOnePiece);
    return 0;
}
