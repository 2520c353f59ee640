#pragma once
#include <QByteArray>
#include <QList>
#include <QStringList>

#include <functional>
#include <optional>

#include "agw/EngineProfile.h"
#include "agw/EnginePorts.h"
#include "agw/HeardHandler.h"
#include "agw/Interfaces.h"
#include "agw/PacketStore.h"
#include "agw/RawFrame.h"

namespace selvane {

// Decides by its kind what each frame an AGW engine sends means: the
// engine's version ("R") and radio ports ("G"), the last frame transmitted
// ("T"), the raw frames of the profiles that ask for them ("K") and the last
// unproto frame heard ("U"), which goes to the heard handler (packet store,
// routing step, status line). Other kinds are ignored.
//
// Heard frames depend on the engine profile (the marks of their header line,
// the via form of what is sent). While the profile is not known (automatic
// choice, version not yet reported) they are held, in order, and handled as
// soon as it is.
class Dispatcher {
public:
    Dispatcher(ILinkView& view, IRoutingStep& router, GatewayCounters& counters);

    // block: received bytes; h: offset of the frame's 36-byte header;
    // L: data length (> 0), the data lying wholly inside the block.
    void DispatchFrame(const QByteArray& block, qsizetype h, qint64 L);

    // The profile in force; nullopt holds heard frames until it is set.
    // Setting a profile handles the held frames at once.
    void setProfile(std::optional<EngineProfile> profile);
    std::optional<EngineProfile> profile() const { return m_profile; }

    // Called with the engine's version when its "R" reply is dispatched,
    // before anything else happens with it.
    std::function<void(EngineVersion)> onVersion;
    // Called with the engine's radio ports when its "G" reply is dispatched,
    // after they are shown.
    std::function<void(const EnginePorts&)> onPorts;
    // Called with the callFrom of every "T" frame (a transmission the
    // engine reports).
    std::function<void(int port, const QString& from)> onTransmitted;

    const PacketStore& received() const { return m_heard.received(); }
    HeardHandler& heard() { return m_heard; }
    const QStringList& transmitted() const { return m_transmitted; }
    qsizetype heldFrames() const { return m_held.size(); }

    // Called for every heard frame once its header line has its marks,
    // before the routing step (HeardHandler::onHeard).
    std::function<void(const HeardPacket&)>& onHeard = m_heard.onHeard;

    // Stop of the link: the lists are emptied, held and raw frames dropped.
    void clear();

    // Frames held while the profile is unknown: an engine that sends this
    // many before answering the version request is taken for an AGW Packet
    // Engine, so nothing waits without bound.
    static constexpr qsizetype kMaxHeldFrames = 1000;
    // The same for the bytes they hold: monitor frames are a few hundred
    // bytes, but a frame may declare up to a megabyte.
    static constexpr qsizetype kMaxHeldBytes = 1024 * 1024;
    // Raw frames kept for their monitor frame, which follows at once; older
    // ones belonged to frames the engine never reported.
    static constexpr qsizetype kMaxPendingRaw = 16;

private:
    struct PendingRaw {
        int port = 0;
        RawFrame frame;
    };

    void dispatchUnproto(const QByteArray& block, qsizetype h, qint64 L);
    void dispatchRaw(const QByteArray& block, qsizetype h, qint64 L);
    void dispatchPorts(const QByteArray& block, qsizetype d, qint64 L);
    void dispatchVersion(const QByteArray& block, qsizetype d, qint64 L);
    void hold(const QByteArray& block, qsizetype h, qint64 L);
    // The raw frame of a heard frame: same port, source, destination and
    // information. Consumed, with every older one.
    std::optional<RawFrame> takeRawFrame(int port, const QString& src, const QString& dst,
                                         const QString& info);

    ILinkView& m_view;
    HeardHandler m_heard;
    QStringList m_transmitted;
    std::optional<EngineProfile> m_profile = EngineProfile::Agwpe;
    QList<QByteArray> m_held;
    qsizetype m_heldBytes = 0;
    QList<PendingRaw> m_raw;
};

} // namespace selvane
