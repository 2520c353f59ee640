#pragma once
#include <QByteArray>
#include <QString>
#include <QStringList>

namespace selvane {

// A packet to put on the air, as the routing step hands it to the engine
// link; each link writes it in its own wire form (an AGW "V" or "K" frame,
// a KISS frame).
struct OutgoingPacket {
    // The heard frame's header in the AGW layout: its bytes 8-27 (callFrom
    // and callTo as the engine sent them) go unchanged into a "V" frame.
    QByteArray heardHeader;
    QString source;
    QString destination;
    // The via entries, those the packet carries as already repeated marked
    // in the via form of the link ("RS0ISS*" or "RS0ISSP").
    QStringList via;
    QString info;
};

} // namespace selvane
