#include "gateway/Router.h"

#include "agw/AgwFrame.h"
#include "common/TextRules.h"
#include "gateway/Classification.h"

namespace selvane {

namespace {

// Whether text holds needle starting at 1-based character 18 or later.
bool ContainsFrom18(const QString& text, const QString& needle)
{
    return text.indexOf(needle, 17) >= 0;
}

} // namespace


QString RouteFromOut(const PacketStore& store, const ILiveSettings& settings, ViaForm form,
                     const SatelliteTable& satellites)
{
    if (!settings.gateToSats())
        return {};
    const QString call = CallOrAlias(settings.gatewayCall());
    const QString satellite = satellites.uplinkEntry(store.header(), call);
    if (satellite.isEmpty() || !IsRadioCall(satellite))
        return {};
    return QLatin1Char('~') + RepeatedViaEntry(call, form) + QLatin1Char(',') + satellite;
}

Router::Router(const ILiveSettings& settings, ITelemetryDecoder& decoder, IPacketLog& log,
               IPacketSink& sink, MonotonicMs clock)
    : m_settings(settings), m_guard(clock), m_decoder(decoder), m_log(log), m_sink(sink),
      m_duplicates(std::move(clock))
{
}

RouteOutcome Router::route(int port, const QString& src, const QByteArray& header, PacketStore& store,
                           GatewayCounters& counters, ViaForm form)
{
    QString route;
    if (ListNamesPort(m_settings.satsPorts(), port))
        route = RouteFromSats(src, store, m_settings, m_decoder, form, *m_satellites);
    if (route.isEmpty() && ListNamesPort(m_settings.outPorts(), port))
        route = RouteFromOut(store, m_settings, form, *m_satellites);
    if (route.isEmpty())
        return {};

    // The received callFrom and callTo (bytes 8-27) are copied; a short
    // header reads as zeros there.
    QByteArray received = header;
    if (received.size() < AgwFrame::HeaderSize)
        received.append(QByteArray(AgwFrame::HeaderSize - received.size(), '\0'));
    const bool toSats = route.startsWith(QLatin1Char('~'));
    GatedPacket gated{toSats, port, {}, src, FrameCallTo(received, 0), {}, {}, {}};
    // A source or destination a radio cannot carry (a line feed in an
    // engine's header, a call of seven letters) never goes on the air.
    if (!IsRadioCall(gated.source) || !IsRadioCall(gated.destination)) {
        if (onRefused)
            onRefused(gated, RouteRefusal::BadCall);
        return {};
    }

    RouteOutcome outcome;
    outcome.routed = true;
    ++counters.totalCount;

    const QString key = toSats ? QLatin1Char('~') + src : src;
    if (!m_duplicates.IsNewPacket(key, store.info(), DuplicateSeconds(m_settings.dupSeconds()))) {
        store.colour = PacketColour::LightGreen;
        outcome.duplicate = true;
        if (onDuplicate)
            onDuplicate(key, store.info());
        return outcome;
    }

    gated.info = store.info();
    QString targets;
    if (!toSats) {
        const QString digi = TrimBlanks(m_settings.viaPath());
        gated.path = digi.isEmpty() ? route : route + QLatin1Char(',') + digi;
        targets = m_settings.outPorts();
    } else {
        gated.path = route.mid(1);
        targets = m_settings.satsPorts();
        // Held back: neither sent nor logged, and not remembered either, so
        // a later copy may still go up once the limits allow.
        if (!m_guard.admit()) {
            m_duplicates.forget(key, store.info());
            ++counters.heldCount;
            outcome.held = true;
            if (onRefused)
                onRefused(gated, RouteRefusal::UplinkLimit);
            return outcome;
        }
    }

    store.colour = PacketColour::Yellow;
    outcome.sent = true;
    ++(toSats ? counters.toSatsCount : counters.toOutCount);
    if (m_log.logEnabled())
        m_log.WriteDailyLog(store.header(), store.info(), src);

    const OutgoingPacket packet{received, gated.source, gated.destination, SplitViaPath(gated.path), gated.info};
    for (QChar c : targets) {
        const int target = PortOfListChar(c);
        if (target < 0)
            continue;
        if (!m_sink.canSendOn(target)) {
            gated.skippedPorts.append(target);
            continue;
        }
        m_sink.sendPacket(packet, target);
        gated.ports.append(target);
    }
    if (onGated)
        onGated(gated);
    return outcome;
}

void Router::reset()
{
    m_duplicates.clear();
}

} // namespace selvane
