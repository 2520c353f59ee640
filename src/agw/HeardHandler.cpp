#include "agw/HeardHandler.h"

#include <QCoreApplication>

#include "agw/AgwFrame.h"
#include "agw/RawFrame.h"
#include "common/TextRules.h"

namespace selvane {

HeardHandler::HeardHandler(ILinkView& view, IRoutingStep& router, GatewayCounters& counters)
    : m_view(view), m_router(router), m_counters(counters)
{
}

void HeardHandler::handle(const QByteArray& header, const QStringList& lines, ViaForm form)
{
    const QString src = FrameCallFrom(header, 0);
    const int port = FramePort(header, 0);
    m_received.colour = PacketColour::Green;
    m_received.lines = lines;

    if (onHeard) {
        HeardPacket packet;
        packet.port = port;
        packet.source = src;
        packet.destination = FrameCallTo(header, 0);
        packet.header = m_received.header();
        packet.via = ViaEntriesOfHeader(packet.header);
        packet.info = ToSingleByte(m_received.info());
        onHeard(packet);
    }

    const RouteOutcome outcome = m_router.route(port, src, header, m_received, m_counters, form);
    m_view.showReceived(m_received.lines, m_received.colour);
    if (!outcome.routed)
        return;
    const QString status = StatusLine(m_counters);
    m_view.setStatusText(status);
    m_view.setTrayTip(QCoreApplication::translate("selvane::HeardHandler", "%1 - %2").arg(m_view.caption(), status));
}

QString HeardHandler::StatusLine(const GatewayCounters& c)
{
    const QString line = QCoreApplication::translate("selvane::HeardHandler", "ToSats/ToOut/Tot dal %1 %2 =%3/%4/%5")
                             .arg(c.startDate.toString(QStringLiteral("dd/MM")),
                                  c.startTime.toString(QStringLiteral("HH:mm")))
                             .arg(c.toSatsCount)
                             .arg(c.toOutCount)
                             .arg(c.totalCount);
    // Packets the uplink limits held back, once there are any.
    return c.heldCount == 0 ? line
                            : line + QCoreApplication::translate("selvane::HeardHandler", " trattenuti %1").arg(c.heldCount);
}

QByteArray HeardHeader(int port, const QString& source, const QString& destination)
{
    QByteArray header(AgwFrame::HeaderSize, '\0');
    SetFramePort(header, port);
    header[AgwFrame::OffsetKind] = 'U';
    const qsizetype field = AgwFrame::OffsetCallTo - AgwFrame::OffsetCallFrom;
    header.replace(AgwFrame::OffsetCallFrom, field, ToSingleByte(source).left(field).leftJustified(field, '\0'));
    header.replace(AgwFrame::OffsetCallTo, field, ToSingleByte(destination).left(field).leftJustified(field, '\0'));
    return header;
}

} // namespace selvane
