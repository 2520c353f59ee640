#pragma once
#include <QByteArray>
#include <QList>
#include <QString>

#include <functional>

#include "agw/Interfaces.h"
#include "agw/PacketStore.h"
#include "gateway/DuplicateFilter.h"
#include "gateway/ITelemetryDecoder.h"
#include "gateway/Satellites.h"
#include "gateway/UplinkGuard.h"
#include "log/DailyLog.h"
#include "settings/GatewaySettings.h"
#include "settings/PortList.h"

namespace selvane {

// The reverse direction, Out to Sats: while "Gate to Sats" is on, a header
// line (store.header()) that names, at character 18 or later, the gateway's
// call C (txtAdd trimmed, "KORVA" when empty) directly followed by "," and an
// uplink alias of an enabled satellite gives "~" + C's repeated entry + ","
// + the entry the alias goes up as (SatelliteTable::uplinkEntry): with the
// built-in table ",ARISS"/",RS0ISS"/",APRSAT" give ",ARISS" and
// ",W3ADO"/",PCSAT" give ",PCSAT-1" (PCSAT wins when both are named). An
// entry that goes up as written must be a call a radio can carry.
// Anything else gives "".
// Example, C = N0CALL-5: "~N0CALLE,ARISS" (seven-character form),
// "~N0CALL-5*,ARISS" (text form).
QString RouteFromOut(const PacketStore& store, const ILiveSettings& settings, ViaForm form,
                     const SatelliteTable& satellites = DefaultSatellites());

// The routing step for every heard unproto frame.
//
// A frame heard on a Sats port (txtIn) is classified by RouteFromSats; when
// that selects nothing and the port is an Out port (txtOut), RouteFromOut is
// asked. Each character of a port list with a value 1..9 names the 0-based
// port value - 1; "0" and non-digits name nothing. A found route is counted,
// passed through the duplicate filter (key src, "~" + src for the reverse
// direction, with the information line as it is after classification, which
// may have turned telemetry into a bulletin), and a new packet is logged and
// handed to the engine link (which writes it as its engine wants it) once
// for each port of the target list the engine can send on (the others are
// skipped and reported), in list order: to the Out ports with the path
// route + "," + txtDigi (trimmed; just the route when empty), to the Sats
// ports with the route without its "~".
// A packet the routing step sent, as it went out.
struct GatedPacket {
    bool toSats = false;   // up (Out to Sats) or down (Sats to Out)
    int heardPort = 0;     // 0-based
    QList<int> ports;      // 0-based, in the order sent
    QString source;
    QString destination;
    QString path;          // the via path sent
    QString info;          // its information field
    QList<int> skippedPorts; // named in the target list, but the engine cannot send on them
};

// Why a packet with a route was not sent.
enum class RouteRefusal {
    BadCall,      // its source or destination is no call a radio can carry
    UplinkLimit,  // sending it up would pass the uplink limits: held back
};

class Router : public IRoutingStep {
public:
    Router(const ILiveSettings& settings, ITelemetryDecoder& decoder, IPacketLog& log,
           IPacketSink& sink, MonotonicMs clock);

    RouteOutcome route(int port, const QString& src, const QByteArray& header, PacketStore& store,
                       GatewayCounters& counters, ViaForm form) override;

    // Empties the duplicate store.
    void reset() override;

    const DuplicateFilter& duplicates() const { return m_duplicates; }

    // The satellite table and the uplink limits in force; the table must
    // outlive the router (its owner changes it in place).
    void setSatellites(const SatelliteTable& satellites) { m_satellites = &satellites; }
    void setUplinkLimits(const UplinkLimits& limits) { m_guard.setLimits(limits); }

    // Told of every packet sent, of every duplicate held back (with its
    // filter key and the packet's information), and of every packet with a
    // route that was not sent (the packet as it would have gone, no ports).
    std::function<void(const GatedPacket&)> onGated;
    std::function<void(const QString& key, const QString& info)> onDuplicate;
    std::function<void(const GatedPacket&, RouteRefusal)> onRefused;

private:
    const ILiveSettings& m_settings;
    const SatelliteTable* m_satellites = &DefaultSatellites();
    UplinkGuard m_guard;
    ITelemetryDecoder& m_decoder;
    IPacketLog& m_log;
    IPacketSink& m_sink;
    DuplicateFilter m_duplicates;
};


} // namespace selvane
