// The raw AX.25 frames of "K" frames and the monitor header lines they
// correct.
//
// Input: a monitor header line up to the first LF (read as Latin-1, as the
// dispatcher reads it), then the data part of a "K" frame. Without an LF the
// whole input is the raw frame and the header is empty.
#include <cstdint>
#include <optional>

#include "Doubles.h"
#include "agw/RawFrame.h"

using namespace selvane;
using namespace selvane::fuzz;

namespace {

void CheckAddress(const Ax25Address& a)
{
    FUZZ_CHECK(a.call.size() >= 1 && a.call.size() <= 6);
    for (QChar c : a.call)
        FUZZ_CHECK(c.unicode() >= 0x21 && c.unicode() <= 0x7E);
    FUZZ_CHECK(a.ssid >= 0 && a.ssid <= 15);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray input = Bytes(data, size);
    const qsizetype lf = input.indexOf('\n');
    const QString header = lf < 0 ? QString() : QString::fromLatin1(input.left(lf));
    const QByteArray raw = lf < 0 ? input : input.mid(lf + 1);

    // What the dispatcher tells an observer of every heard packet.
    ViaEntriesOfHeader(header);

    const std::optional<RawFrame> frame = ParseRawFrame(raw);
    if (!frame)
        return 0;
    CheckAddress(frame->destination);
    CheckAddress(frame->source);
    FUZZ_CHECK(!frame->destination.repeated && !frame->source.repeated);
    FUZZ_CHECK(frame->digipeaters.size() <= kMaxDigipeaters);
    for (const Ax25Address& d : frame->digipeaters)
        CheckAddress(d);
    // Port byte, the addresses, control and pid, then the information field
    // exactly as it came.
    const qsizetype infoStart = 1 + 7 * (2 + frame->digipeaters.size()) + 2;
    FUZZ_CHECK(frame->info == raw.mid(infoStart));

    const QString marked = HeaderWithTrueMarks(header, *frame);
    const qsizetype to = header.indexOf(QLatin1String(" To "), 7);
    if (to < 0) {
        FUZZ_CHECK(marked == header);
        return 0;
    }
    // Everything up to the destination stays as the engine wrote it.
    FUZZ_CHECK(marked.left(to + 4) == header.left(to + 4));
    if (frame->digipeaters.isEmpty())
        return 0;
    // The via list now holds the raw frame's entries with their true marks,
    // and marking again changes nothing.
    FUZZ_CHECK(HeaderWithTrueMarks(marked, *frame) == marked);
    bool commaInCall = false;
    QStringList expected;
    for (const Ax25Address& d : frame->digipeaters) {
        commaInCall = commaInCall || d.call.contains(QLatin1Char(','));
        expected.append(d.text() + (d.repeated ? QStringLiteral("*") : QString()));
    }
    if (!commaInCall)
        FUZZ_CHECK(ViaEntriesOfHeader(marked) == expected);
    return 0;
}
