#pragma once
#include <QString>

#include <memory>

#include "agw/AgwLink.h"
#include "agw/EngineConfig.h"
#include "agw/EngineLink.h"
#include "gateway/DuplicateFilter.h"
#include "gateway/ITelemetryDecoder.h"
#include "gateway/Router.h"
#include "log/DailyLog.h"

namespace selvane {

// The gateway as a whole, without windows: the engine link, the routing step
// with its duplicate filter, and the daily log. The windows (or a test) give
// it what they show and the live settings; the telemetry decoder is given
// too, since it talks to the telemetry window. The router and the log never
// know which engine carries the frames.
class Gateway {
public:
    // An AGW engine on enginePort, at the address of the live settings.
    Gateway(ILinkView& view, const ILiveSettings& settings, ITelemetryDecoder& decoder, Clock clock,
            MonotonicMs monotonic, const QString& logsDir, quint16 enginePort = AgwLink::DefaultEnginePort,
            LinkTiming linkTiming = {});
    // Any engine.
    Gateway(ILinkView& view, const ILiveSettings& settings, ITelemetryDecoder& decoder, Clock clock,
            MonotonicMs monotonic, const QString& logsDir, const EngineConfig& engine, LinkTiming linkTiming = {});

    EngineLink& engine() { return *m_link; }
    const EngineConfig& engineConfig() const { return m_engine; }
    // The link of a gateway on an AGW engine, with what only AGW has.
    AgwLink& link();
    Router& router() { return m_router; }
    DailyLog& dailyLog() { return m_log; }

    // Another engine: the link is closed and a new one made, stopped (the
    // owner connects the new link's signals again).
    void setEngine(const EngineConfig& engine);

private:
    // The router sends through the link, which is built after it.
    struct LinkSink : IPacketSink {
        IPacketSink* target = nullptr;
        void sendPacket(const OutgoingPacket& packet, int port) override
        {
            if (target)
                target->sendPacket(packet, port);
        }
        bool canSendOn(int port) const override { return !target || target->canSendOn(port); }
    };

    ILinkView& m_view;
    const ILiveSettings& m_settings;
    Clock m_clock;
    LinkTiming m_timing;
    EngineConfig m_engine;
    DailyLog m_log;
    LinkSink m_sink;
    Router m_router;
    std::unique_ptr<EngineLink> m_link;
};

} // namespace selvane
