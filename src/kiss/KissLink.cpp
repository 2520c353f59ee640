#include "kiss/KissLink.h"

#include "agw/RawFrame.h"
#include "common/TextRules.h"

namespace selvane {

namespace {

std::unique_ptr<EngineTransport> TransportFor(const EngineConfig& config)
{
    if (config.kind == EngineKind::KissSerial)
        return std::make_unique<SerialTransport>(config.device, config.speed);
    const auto hostPort = ParseHostPort(config.address);
    const QString host = hostPort ? hostPort->first : config.address;
    return std::make_unique<TcpTransport>([host] { return host; }, hostPort ? hostPort->second : 0);
}

} // namespace

bool HandleKissFrame(HeardHandler& heard, int port, const QByteArray& frame, const QTime& time)
{
    const std::optional<RawFrame> raw = ParseRawFrame(frame);
    if (!raw)
        return false;
    heard.handle(HeardHeader(port, raw->source.text(), raw->destination.text()),
                 {MonitorHeaderLine(port, *raw, time), FromSingleByte(raw->info)}, ViaForm::Text);
    return true;
}

KissLink::KissLink(ILinkView& view, const ILiveSettings& settings, IRoutingStep& router, Clock clock,
                   const EngineConfig& config, Timing timing, QObject* parent)
    : EngineLink(view, settings, router, std::move(clock), TransportFor(config), timing, parent),
      m_config(config),
      m_heard(view, router, m_counters)
{
}

QString KissLink::addressText() const
{
    return EngineAddressText(m_config, {});
}

QString KissLink::ConnectedText(const QString& address)
{
    return tr("Gateway connesso al TNC KISS %1").arg(address);
}

QString KissLink::closedText() const
{
    return tr("Connessione al TNC KISS chiusa");
}

void KissLink::onOpened()
{
    // A KISS TNC never answers: an open link is as good as it gets.
    resetBackoff();
    m_view.setStatusText(ConnectedText(addressText()));
}

bool KissLink::consume(const QByteArray& bytes)
{
    m_decoder.feed(bytes, [this](int port, const QByteArray& frame) {
        HandleKissFrame(m_heard, port, frame, m_clock().time());
    });
    return true;
}

QByteArray KissLink::encode(const OutgoingPacket& packet, int port)
{
    if (!canSendOn(port))
        return {};
    return KissEncode(port, BuildUiFrame(packet.source, packet.destination, packet.via, ToSingleByte(packet.info)));
}

} // namespace selvane
