#include "gateway/Gateway.h"

namespace selvane {

Gateway::Gateway(ILinkView& view, const ILiveSettings& settings, ITelemetryDecoder& decoder, Clock clock,
                 MonotonicMs monotonic, const QString& logsDir, quint16 enginePort, AgwLinkTiming linkTiming)
    : m_log(logsDir, clock),
      m_router(settings, decoder, m_log, m_sink, std::move(monotonic)),
      m_link(view, settings, m_router, std::move(clock), enginePort, linkTiming)
{
    m_sink.target = &m_link;
}

} // namespace selvane
