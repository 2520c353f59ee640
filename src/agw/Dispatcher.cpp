#include "agw/Dispatcher.h"

#include "agw/AgwFrame.h"

namespace selvane {

Dispatcher::Dispatcher(ILinkView& view, IRoutingStep& router, GatewayCounters& counters)
    : m_view(view), m_router(router), m_counters(counters)
{
}

void Dispatcher::DispatchFrame(const QByteArray& block, qsizetype h, qint64 L)
{
    if (h < 0 || L <= 0 || h + AgwFrame::HeaderSize + L > block.size())
        return;
    const qsizetype d = h + AgwFrame::HeaderSize;
    switch (FrameKind(block, h)) {
    case 'T':
        m_transmitted = TwoLineWindow(block.constData() + d, L);
        m_view.showTransmitted(m_transmitted);
        break;
    case 'U':
        dispatchUnproto(block, h, L);
        break;
    case 'G':
        dispatchPorts(block, d, L);
        break;
    case 'R':
        dispatchVersion(block, d, L);
        break;
    default:
        break;
    }
}

void Dispatcher::dispatchUnproto(const QByteArray& block, qsizetype h, qint64 L)
{
    const QString src = FrameCallFrom(block, h);
    m_received.colour = PacketColour::Green;
    m_received.lines = TwoLineWindow(block.constData() + h + AgwFrame::HeaderSize, L);
    const QByteArray header = block.mid(h, AgwFrame::HeaderSize);

    const RouteOutcome outcome = m_router.route(FramePort(block, h), src, header, m_received, m_counters);
    m_view.showReceived(m_received.lines, m_received.colour);
    if (!outcome.routed)
        return;
    const QString status = StatusLine(m_counters);
    m_view.setStatusText(status);
    m_view.setTrayTip(QStringLiteral("Selvane - ") + status);
}

void Dispatcher::dispatchPorts(const QByteArray& block, qsizetype d, qint64 L)
{
    m_view.setPortsText(QStringLiteral("Porte Radio di AGWPE: ") + QChar(uchar(block[d])));
    QString item;
    for (qint64 i = 2; i < L; ++i) {
        const char c = block[d + i];
        if (c == ';') {
            m_view.addPort(item);
            item.clear();
        } else {
            item.append(QChar(uchar(c)));
        }
    }
}

void Dispatcher::dispatchVersion(const QByteArray& block, qsizetype d, qint64 L)
{
    // Bytes missing from a short reply read as 0. The numbers are unsigned
    // 16-bit, so versions above 32767 are shown as they are, never negative.
    auto byteAt = [&](qint64 i) -> unsigned { return i < L ? uchar(block[d + i]) : 0u; };
    const unsigned major = byteAt(0) + 256u * byteAt(1);
    const unsigned minor = byteAt(4) + 256u * byteAt(5);
    m_view.setStatusText(QStringLiteral("Gateway connesso a AGWPE v%1.%2").arg(major).arg(minor));
}

void Dispatcher::clear()
{
    m_received = PacketStore{};
    m_transmitted.clear();
}

QString Dispatcher::StatusLine(const GatewayCounters& c)
{
    return QStringLiteral("ToSats/ToOut/Tot dal %1 %2 =%3/%4/%5")
        .arg(c.startDate.toString(QStringLiteral("dd/MM")), c.startTime.toString(QStringLiteral("HH:mm")))
        .arg(c.toSatsCount)
        .arg(c.toOutCount)
        .arg(c.totalCount);
}

} // namespace selvane
