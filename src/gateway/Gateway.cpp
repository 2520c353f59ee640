#include "gateway/Gateway.h"

#include "kiss/KissLink.h"

namespace selvane {

namespace {
EngineConfig AgwOn(quint16 port)
{
    EngineConfig config;
    config.agwPort = port;
    return config;
}
} // namespace

Gateway::Gateway(ILinkView& view, const ILiveSettings& settings, ITelemetryDecoder& decoder, Clock clock,
                 MonotonicMs monotonic, const QString& logsDir, quint16 enginePort, LinkTiming linkTiming)
    : Gateway(view, settings, decoder, std::move(clock), std::move(monotonic), logsDir, AgwOn(enginePort), linkTiming)
{
}

Gateway::Gateway(ILinkView& view, const ILiveSettings& settings, ITelemetryDecoder& decoder, Clock clock,
                 MonotonicMs monotonic, const QString& logsDir, const EngineConfig& engine, LinkTiming linkTiming)
    : m_view(view),
      m_settings(settings),
      m_clock(clock),
      m_timing(linkTiming),
      m_log(logsDir, clock),
      m_router(settings, decoder, m_log, m_sink, std::move(monotonic))
{
    setEngine(engine);
}

AgwLink& Gateway::link()
{
    Q_ASSERT(m_engine.kind == EngineKind::Agw);
    return static_cast<AgwLink&>(*m_link);
}

void Gateway::setEngine(const EngineConfig& engine)
{
    m_sink.target = nullptr;
    if (m_link)
        m_link->closeForExit();
    m_link.reset();
    m_engine = engine;
    if (engine.kind == EngineKind::Agw)
        m_link = std::make_unique<AgwLink>(m_view, m_settings, m_router, m_clock, engine.agwPort, m_timing, nullptr,
                                           engine.host);
    else
        m_link = std::make_unique<KissLink>(m_view, m_settings, m_router, m_clock, engine, m_timing);
    m_sink.target = m_link.get();
}

} // namespace selvane
