#include "agw/Dispatcher.h"

#include <QCoreApplication>

#include "agw/AgwFrame.h"
#include "common/TextRules.h"

namespace selvane {

Dispatcher::Dispatcher(ILinkView& view, IRoutingStep& router, GatewayCounters& counters)
    : m_view(view), m_heard(view, router, counters)
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
        if (onTransmitted)
            onTransmitted(FramePort(block, h), FrameCallFrom(block, h));
        break;
    case 'U':
        if (m_profile)
            dispatchUnproto(block, h, L);
        else
            hold(block, h, L);
        break;
    case 'K':
        if (!m_profile)
            hold(block, h, L);
        else if (AsksForRawFrames(*m_profile))
            dispatchRaw(block, h, L);
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

void Dispatcher::setProfile(std::optional<EngineProfile> profile)
{
    m_profile = profile;
    if (!m_profile)
        return;
    // Handled in the order heard. A frame handled here may stop the link,
    // which clears the list: each is taken off before it is handled.
    while (!m_held.isEmpty() && m_profile) {
        const QByteArray frame = m_held.takeFirst();
        m_heldBytes -= frame.size();
        DispatchFrame(frame, 0, frame.size() - AgwFrame::HeaderSize);
    }
}

void Dispatcher::hold(const QByteArray& block, qsizetype h, qint64 L)
{
    m_held.append(block.mid(h, AgwFrame::HeaderSize + L));
    m_heldBytes += m_held.last().size();
    if (m_held.size() >= kMaxHeldFrames || m_heldBytes >= kMaxHeldBytes)
        setProfile(EngineProfile::Agwpe);
}

void Dispatcher::dispatchRaw(const QByteArray& block, qsizetype h, qint64 L)
{
    // A malformed raw frame is dropped: its monitor frame then keeps the
    // engine's own text.
    std::optional<RawFrame> frame = ParseRawFrame(block.mid(h + AgwFrame::HeaderSize, L));
    if (!frame)
        return;
    if (m_raw.size() == kMaxPendingRaw)
        m_raw.removeFirst();
    m_raw.append({FramePort(block, h), std::move(*frame)});
}

std::optional<RawFrame> Dispatcher::takeRawFrame(int port, const QString& src, const QString& dst,
                                                 const QString& info)
{
    const QByteArray infoBytes = WithoutTerminator(ToSingleByte(info));
    for (qsizetype i = 0; i < m_raw.size(); ++i) {
        const PendingRaw& raw = m_raw[i];
        if (raw.port != port || raw.frame.source.text() != src || raw.frame.destination.text() != dst
            || WithoutTerminator(raw.frame.info) != infoBytes)
            continue;
        RawFrame frame = raw.frame;
        m_raw.remove(0, i + 1);
        return frame;
    }
    return std::nullopt;
}

void Dispatcher::dispatchUnproto(const QByteArray& block, qsizetype h, qint64 L)
{
    const QString src = FrameCallFrom(block, h);
    const int port = FramePort(block, h);
    QStringList lines = HeardLines(block.constData() + h + AgwFrame::HeaderSize, L);
    const EngineProfile profile = m_profile.value_or(EngineProfile::Agwpe);

    if (AsksForRawFrames(profile) && !m_raw.isEmpty()) {
        // The raw frame knows the true "has been repeated" bits and the
        // exact information field.
        if (const std::optional<RawFrame> raw = takeRawFrame(port, src, FrameCallTo(block, h), lines.value(1)))
            lines = {HeaderWithTrueMarks(lines.value(0), *raw), FromSingleByte(raw->info)};
    }
    m_heard.handle(block.mid(h, AgwFrame::HeaderSize), lines, ViaFormOf(profile));
}

void Dispatcher::dispatchPorts(const QByteArray& block, qsizetype d, qint64 L)
{
    // Every entry is shown as the engine sent it; one it cannot send on is
    // marked so.
    const EnginePorts ports = EnginePorts::Parse(block.mid(d, L));
    m_view.setPortsText(QCoreApplication::translate("selvane::Dispatcher", "Porte Radio di AGWPE: %1").arg(ports.countText));
    for (qsizetype i = 0; i < ports.descriptions.size(); ++i)
        m_view.addPort(ports.usable(int(i)) ? ports.descriptions[i] : UnusablePortText(ports.descriptions[i]));
    if (onPorts)
        onPorts(ports);
}

void Dispatcher::dispatchVersion(const QByteArray& block, qsizetype d, qint64 L)
{
    // Bytes missing from a short reply read as 0. The numbers are unsigned
    // 16-bit, so versions above 32767 are shown as they are, never negative.
    auto byteAt = [&](qint64 i) -> unsigned { return i < L ? uchar(block[d + i]) : 0u; };
    const unsigned major = byteAt(0) + 256u * byteAt(1);
    const unsigned minor = byteAt(4) + 256u * byteAt(5);
    m_view.setStatusText(QCoreApplication::translate("selvane::Dispatcher", "Gateway connesso a AGWPE v%1.%2").arg(major).arg(minor));
    if (onVersion)
        onVersion(EngineVersion{major, minor});
}

void Dispatcher::clear()
{
    m_heard.clear();
    m_transmitted.clear();
    m_held.clear();
    m_heldBytes = 0;
    m_raw.clear();
}

} // namespace selvane
