#pragma once
#include <QString>

#include "agw/AgwLink.h"
#include "gateway/DuplicateFilter.h"
#include "gateway/ITelemetryDecoder.h"
#include "gateway/Router.h"
#include "log/DailyLog.h"

namespace selvane {

// The gateway as a whole, without windows: the engine link, the routing step
// with its duplicate filter, and the daily log. The windows (or a test) give
// it what they show and the live settings; the telemetry decoder is given
// too, since it talks to the telemetry window.
class Gateway {
public:
    Gateway(ILinkView& view, const ILiveSettings& settings, ITelemetryDecoder& decoder, Clock clock,
            MonotonicMs monotonic, const QString& logsDir, quint16 enginePort = AgwLink::DefaultEnginePort,
            AgwLinkTiming linkTiming = {});

    AgwLink& link() { return m_link; }
    Router& router() { return m_router; }
    DailyLog& dailyLog() { return m_log; }

private:
    // The router sends through the link, which is built after it.
    struct LinkSink : IFrameSink {
        IFrameSink* target = nullptr;
        void sendFrame(const QByteArray& frame) override
        {
            if (target)
                target->sendFrame(frame);
        }
        bool canSendOn(int port) const override { return !target || target->canSendOn(port); }
    };

    DailyLog m_log;
    LinkSink m_sink;
    Router m_router;
    AgwLink m_link;
};

} // namespace selvane
