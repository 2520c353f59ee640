#pragma once
#include <QByteArray>
#include <QString>
#include <QStringList>

#include "agw/OutgoingPacket.h"
#include "agw/PacketStore.h"
#include "settings/GatewaySettings.h"

namespace selvane {

// What the link and the dispatcher show. The main window implements it; it
// only displays what it is told.
class ILinkView {
public:
    virtual ~ILinkView() = default;
    virtual void setStatusText(const QString& text) = 0;              // lblConnect
    virtual void setTrayTip(const QString& text) = 0;                 // cSysTraySelvane
    virtual void setRunning(bool running) = 0;                        // cmdStart STOP/red or START/green
    virtual void showReceived(const QStringList& lines, PacketColour colour) = 0; // List2
    virtual void showTransmitted(const QStringList& lines) = 0;       // List1
    virtual void setPortsText(const QString& text) = 0;               // cmbPort text
    virtual void addPort(const QString& description) = 0;             // cmbPort list
    virtual void clearPorts() = 0;
    // Which engine profile is in force ("Profilo: ...").
    virtual void showEngineProfile(const QString& /*text*/) {}
    // Modal message box, title "Errore collegamento con AGWPE", exclamation icon.
    virtual void showSocketError(const QString& description) = 0;
    // The caption of the main window, used in the tray tip texts.
    virtual QString caption() const = 0;
};

// A heard packet as it was heard, for what watches the radio (an APRS-IS
// upload): source, destination, the via entries with their true marks and
// the information field before any bulletin replaced it.
struct HeardPacket {
    int port = 0;            // 0-based radio port
    QString source;
    QString destination;
    QStringList via;         // "RS0ISS*", "WIDE2-1"
    QByteArray info;
    QString header;          // the header line as corrected
};

// Where packets to send go: the engine link, which writes them in its wire
// form.
class IPacketSink {
public:
    virtual ~IPacketSink() = default;
    virtual void sendPacket(const OutgoingPacket& packet, int port) = 0;
    // Whether the 0-based radio port can take a frame (the engine has it).
    virtual bool canSendOn(int /*port*/) const { return true; }
};

// What the routing step reports back to the dispatcher.
struct RouteOutcome {
    bool routed = false;     // a route was found (counted in totalCount)
    bool sent = false;       // new packet, re-transmitted
    bool duplicate = false;  // suppressed by the duplicate filter
    bool held = false;       // not sent: held back by the uplink limits
};

// The routing step run for every heard packet, after the packet store has
// been filled. header is the heard frame's header in the AGW layout (port,
// kind, callFrom, callTo; a KISS link fills one from the AX.25 addresses):
// its bytes 8-27 go unchanged into a re-transmitted "V" frame. form is how
// the link in force wants repeated via entries written.
class IRoutingStep {
public:
    virtual ~IRoutingStep() = default;
    virtual RouteOutcome route(int port, const QString& src, const QByteArray& header,
                               PacketStore& store, GatewayCounters& counters, ViaForm form) = 0;
    // The link was stopped: forget what belongs to the session (duplicate store).
    virtual void reset() {}
};

// Finds no route: the routing of a gateway with nothing to gate.
class NoRoute : public IRoutingStep {
public:
    RouteOutcome route(int, const QString&, const QByteArray&, PacketStore&, GatewayCounters&, ViaForm) override
    {
        return {};
    }
};

} // namespace selvane
