// The engine's TCP byte stream through the whole receiving path: stream
// reassembly, dispatch by frame kind, the engine profile, the routing step
// with its duplicate filter and the PCSAT telemetry decoder.
//
// Input: byte 0 chooses the profile (value % 3: AGW Packet Engine, Dire Wolf,
// not yet known, which the version reply then decides) and, in value / 3,
// which gating switches are on; byte 1 the size of the pieces the stream
// arrives in (0: all at once); the rest is the stream.
#include <QDateTime>
#include <QList>

#include <cstdint>
#include <optional>

#include "Doubles.h"
#include "agw/Dispatcher.h"
#include "agw/EngineProfile.h"
#include "agw/FrameAssembler.h"
#include "gateway/DuplicateFilter.h"
#include "gateway/Router.h"
#include "telemetry/TelemetryDecoder.h"
#include "telemetry/TelemetryState.h"
#include "telemetry/TelemetryWindowModes.h"

using namespace selvane;
using namespace selvane::fuzz;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 2)
        return 0;
    const unsigned mode = data[0];
    const qsizetype piece = data[1];
    const QByteArray stream = Bytes(data + 2, size - 2);

    LiveSettingsValues settings;
    settings.call = QStringLiteral("N0CALL-5");
    settings.sats = QStringLiteral("1");
    settings.out = QStringLiteral("23");
    const unsigned switches = mode / 3;
    settings.forward = switches & 1;
    settings.reverse = switches & 2;
    settings.telemetry = switches & 4;
    settings.dup = switches & 8 ? QStringLiteral("32767") : QStringLiteral("0");

    NullTelemetryView telemetryView;
    NullTimer timer;
    TelemetryState telemetryState;
    TelemetryWindowModes modes(telemetryView, timer);
    modes.ApplyTelemetryWindowMode(switches & 16 ? TlmModeAuto : TlmModeShow);
    NullHistoryWriter history;
    const QDateTime now(QDate(2024, 6, 11), QTime(14, 5, 0));
    TelemetryDecoder decoder(telemetryView, telemetryState, modes, history, [] { return true; },
                             [now] { return now; });

    CountingLog log;
    CheckingSink sink;
    qint64 clockMs = 1'000'000;
    Router router(settings, decoder, log, sink, [&clockMs] { return clockMs += 700; });

    NullLinkView view;
    GatewayCounters counters;
    Dispatcher dispatcher(view, router, counters);
    static constexpr std::optional<EngineProfile> kProfiles[] = {
        EngineProfile::Agwpe, EngineProfile::DireWolf, std::nullopt};
    const std::optional<EngineProfile> chosen = kProfiles[mode % 3];
    dispatcher.setProfile(chosen);
    if (!chosen) {
        // Automatic choice: the version reply decides, as the link does.
        dispatcher.onVersion = [&dispatcher](EngineVersion version) {
            dispatcher.setProfile(ProfileInForce(EngineChoice::Automatic, version));
        };
    }
    // With an observer, every heard packet is also described for it.
    dispatcher.onHeard = [](const HeardPacket&) {};

    FrameAssembler assembler;
    QList<QByteArray> handed; // the frames with data, as the assembler handed them on
    const auto onFrame = [&](const QByteArray& block, qsizetype h, qint64 length) {
        FUZZ_CHECK(length > 0 && length <= FrameAssembler::MaxDataLength);
        FUZZ_CHECK(h >= 0 && h + AgwFrame::HeaderSize + length <= block.size());
        handed.append(block.mid(h, AgwFrame::HeaderSize + length));
        dispatcher.DispatchFrame(block, h, length);
        FUZZ_CHECK(dispatcher.heldFrames() < Dispatcher::kMaxHeldFrames);
    };
    const qsizetype step = piece == 0 ? qMax<qsizetype>(stream.size(), 1) : piece;
    for (qsizetype at = 0; at < stream.size(); at += step)
        assembler.feed(stream.mid(at, step), onFrame);

    // However the stream was cut, the frames are those of reading it in one
    // go, and the bytes of an unfinished frame wait. A length no engine sends
    // throws away what is pending, which depends on the cuts: no comparison.
    QList<QByteArray> whole;
    qsizetype at = 0;
    bool inStep = true;
    while (stream.size() - at >= AgwFrame::HeaderSize) {
        const quint32 length = FrameDataLength(stream, at);
        if (length > FrameAssembler::MaxDataLength) {
            inStep = false;
            break;
        }
        const qsizetype frameSize = AgwFrame::HeaderSize + qsizetype(length);
        if (stream.size() - at < frameSize)
            break;
        if (length > 0)
            whole.append(stream.mid(at, frameSize));
        at += frameSize;
    }
    if (inStep) {
        FUZZ_CHECK(handed == whole);
        FUZZ_CHECK(assembler.pending() == stream.size() - at);
    }

    // An engine that never answered: what was held goes the AGW Packet
    // Engine's way.
    if (!dispatcher.profile())
        dispatcher.setProfile(EngineProfile::Agwpe);
    FUZZ_CHECK(dispatcher.heldFrames() == 0);
    FUZZ_CHECK(router.duplicates().size() <= DuplicateFilter::kMaxEntries);
    FUZZ_CHECK(counters.toOutCount + counters.toSatsCount <= counters.totalCount);
    FUZZ_CHECK(log.records <= counters.totalCount);

    dispatcher.clear();
    router.reset();
    assembler.clear();
    return 0;
}
