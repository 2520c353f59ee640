#pragma once
#include <QByteArray>
#include <QString>
#include <QStringList>

#include "agw/Interfaces.h"
#include "aprsis/AprsIsClient.h"
#include "gateway/Satellites.h"
#include "settings/GatewaySettings.h"

namespace selvane {

// The information field as an APRS-IS line can carry it. A line ends at CR
// or LF, so neither can travel inside one: the field is cut at the first CR
// or LF, as igates do (what follows is usually a second line a station's
// software appended, not part of the APRS data). Every other byte, NUL and
// bytes above 127 included, goes as heard.
QByteArray UploadableInfo(const QByteArray& info);

// A call field an APRS-IS line can carry: 1 to 9 letters, digits and "-"
// (the rule of a login call), and on a via entry one "*" after them, the
// repeated mark. Nothing else: a blank, a control byte, ",", ">" or ":"
// inside a call would change what the line says (a line feed in a raw AX.25
// address or an engine's header line would start a second, forged line).
bool IsAprsIsCallField(const QString& field, bool viaEntry);

// The packet as an APRS-IS line, without its CR LF: the source, ">", the
// destination, the via entries as heard (repeated marks included), the
// q-construct of a packet a receive-only igate heard on the radio and the
// login call, then ":" and the uploadable information field:
//   N1CALL-9>APRS,RS0ISS*,qAO,N1CALL-5:Hello
// (qAO, not qAR: Selvane never gates from the internet to the radio, and
// qAR would tell the servers it can.) Empty when a call field of the packet
// is not one APRS-IS can carry: such a packet has no line. With a login call
// of the same kind (the gate logs in with no other), a line never holds a
// byte below 0x21 before its ":", nor CR or LF anywhere.
QByteArray Tnc2Line(const HeardPacket& packet, const QString& loginCall);

// What a heard packet is, or what became of it on its way up.
enum class UploadVerdict {
    AtOnce,             // uploaded as soon as heard
    Held,               // a station's own uplink heard directly: waits for the satellite's copy
    Superseded,         // a held packet dropped: the satellite's copy went up instead
    Released,           // a held packet uploaded: no satellite copy came in time
    NotSatsPort,        // heard on a port that is not in the Sats list
    InvalidCall,        // a source, destination or via entry APRS-IS cannot carry
    ExcludedPath,       // TCPIP, TCPXX, NOGATE or RFONLY in the path
    OwnTransmission,    // the gateway's own call marked repeated in the path
    ThirdPartyDamaged,  // "}" followed by no usable SRC>DST[,PATH]:
    Empty,              // nothing left of the information field
    Query,              // a generic query ("?APRS?"): answered locally, never gated
    TooLong,            // the line would be longer than an APRS-IS line may be
};

// The verdicts that keep a packet heard on a Sats port from going up.
bool IsExclusion(UploadVerdict verdict);
// "subito", "escluso: percorso TCPIP/NOGATE/...", ... (for the operator).
QString UploadVerdictText(UploadVerdict verdict);

// How a packet heard on a Sats port came to the gateway, from its own
// (outer) header: what the satgate hold decides on.
enum class HeardCopy {
    Other,                 // sent by a satellite, no path, or repeated by a ground digipeater
    Direct,                // no via entry repeated, one at least still unused: a station's own uplink
    RepeatedBySatellite,   // a via entry repeated by a satellite of the table
};

struct UploadDecision {
    UploadVerdict verdict = UploadVerdict::NotSatsPort;
    HeardPacket packet;  // as judged: third-party unwrapped, information cut
    QByteArray line;     // what goes up (without CR LF); empty when nothing can
    HeardCopy copy = HeardCopy::Other;
};

// What is uploaded to APRS-IS, in the order the rules are applied:
//
// 1. Only packets heard on a Sats port (txtIn, the port-list rule of the
//    router) count; the others are not even looked at.
// 2. A packet whose source, destination or any via entry is not a call
//    field APRS-IS can carry (IsAprsIsCallField) is not uploaded: it cannot
//    be written as one line that says what was heard.
// 3. A path holding TCPIP, TCPXX, NOGATE or RFONLY is not gated, whatever
//    follows the name: an SSID and a repeated mark ("TCPIP*", "NOGATE-1")
//    do not hide it, a longer call ("TCPIPX") is another call.
// 4. Selvane's own transmissions heard back: a path holding the gateway's
//    call (as the router writes it, "KORVA" for none; "-0" is no SSID)
//    marked repeated. Selvane marks its own call so in everything it sends,
//    up to a satellite and on to the Out ports: a packet carrying it left
//    this station's transmitter (a copy sent up and repeated by the ISS, or
//    one sent to the Out ports and heard on a Sats port), so what it holds
//    was heard here before, or came from the local network. The same call
//    unmarked is a packet still on its way to this gateway and is gated.
// 5. A third-party packet (information starting with "}") is unwrapped, as
//    igates do: the outer header is the station that relayed it on the
//    radio; the inner packet, "SRC>DST,PATH:information", is what is
//    uploaded, with qAO and the login after its own path. The inner packet
//    goes through rules 2 to 7 again (so one that came from the internet,
//    TCPIP in its path, does not go back), and so on, layer by layer. One
//    whose inner header cannot be read is not uploaded.
// 6. An information field empty after the cut at CR/LF is not uploaded
//    (APRS-IS servers drop a packet without a body).
// 7. A generic query (information starting with "?", such as "?APRS?") is
//    not uploaded: the igate rules keep queries on the radio they were
//    asked on.
// 8. A line longer than kMaxAprsIsLineBytes before its CR LF is not
//    uploaded: the servers take none.
//
// Nothing else: there is no local duplicate filter (the servers drop
// copies of one packet, on its content, for 30 s, and the copy they keep
// must be the satellite's; see SatgateHold), and nothing of a packet is
// changed but the cut at CR/LF. The rules hold no state.
class UploadRules {
public:
    UploadRules(const ILiveSettings& settings, const SatelliteTable& satellites);

    // loginCall: what the line carries after qAO.
    UploadDecision decide(const HeardPacket& packet, const QString& loginCall) const;

private:
    const ILiveSettings& m_settings;
    const SatelliteTable& m_satellites;
};

} // namespace selvane
