#pragma once
#include <QByteArray>
#include <QStringList>

#include <functional>

#include "agw/Interfaces.h"
#include "agw/PacketStore.h"

namespace selvane {

// What every engine link does with a heard packet, whichever wire it came
// over: the packet store (List2) filled with the header line (true marks)
// and the information, the heard observer told, the routing step run, the
// received list shown and, for a routed packet, the status line and the
// tray tip refreshed with the counters.
class HeardHandler {
public:
    HeardHandler(ILinkView& view, IRoutingStep& router, GatewayCounters& counters);

    // header: the frame's header in the AGW layout (port, kind, callFrom,
    // callTo); lines: the header line and the information line.
    void handle(const QByteArray& header, const QStringList& lines, ViaForm form);

    // Told of every heard packet before the routing step (so before
    // telemetry becomes a bulletin).
    std::function<void(const HeardPacket&)> onHeard;

    const PacketStore& received() const { return m_received; }
    void clear() { m_received = PacketStore{}; }

    // "ToSats/ToOut/Tot dal dd/mm hh:mm =s/o/t", then " trattenuti n" once
    // the uplink limits held packets back.
    static QString StatusLine(const GatewayCounters& counters);

private:
    ILinkView& m_view;
    IRoutingStep& m_router;
    GatewayCounters& m_counters;
    PacketStore m_received;
};

// A header in the AGW layout for a heard packet that came without one: the
// port, kind "U" and the two calls, NUL-filled.
QByteArray HeardHeader(int port, const QString& source, const QString& destination);

} // namespace selvane
