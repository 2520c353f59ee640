#pragma once
#include <QByteArray>
#include <QStringList>

#include "agw/Interfaces.h"
#include "agw/PacketStore.h"

namespace selvane {

// Decides by its kind what each received frame means: the engine's version
// ("R") and radio ports ("G"), the last frame transmitted ("T") and the last
// unproto frame heard ("U"), which fills the packet store and goes to the
// routing step. Other kinds are ignored.
class Dispatcher {
public:
    Dispatcher(ILinkView& view, IRoutingStep& router, GatewayCounters& counters);

    // block: received bytes; h: offset of the frame's 36-byte header;
    // L: data length (> 0), the data lying wholly inside the block.
    void DispatchFrame(const QByteArray& block, qsizetype h, qint64 L);

    const PacketStore& received() const { return m_received; }
    const QStringList& transmitted() const { return m_transmitted; }

    // Stop of the link: the lists are emptied.
    void clear();

    // "ToSats/ToOut/Tot dal dd/mm hh:mm =s/o/t"
    static QString StatusLine(const GatewayCounters& counters);

private:
    void dispatchUnproto(const QByteArray& block, qsizetype h, qint64 L);
    void dispatchPorts(const QByteArray& block, qsizetype d, qint64 L);
    void dispatchVersion(const QByteArray& block, qsizetype d, qint64 L);

    ILinkView& m_view;
    IRoutingStep& m_router;
    GatewayCounters& m_counters;
    PacketStore m_received;
    QStringList m_transmitted;
};

} // namespace selvane
