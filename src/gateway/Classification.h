#pragma once
#include <QString>

#include "agw/PacketStore.h"
#include "gateway/ITelemetryDecoder.h"
#include "gateway/Satellites.h"
#include "settings/GatewaySettings.h"

namespace selvane {

// The gateway's call sign as the gateway answers to it: trimmed of blanks,
// or the alias "KORVA" when that leaves nothing.
QString CallOrAlias(const QString& call);

// A call an AX.25 address field can carry, as engines such as Dire Wolf
// accept it: 1 to 6 letters or digits, then optionally "-" and an SSID from
// 0 to 15 ("N0CALL-9", "APRS", "PCSAT-12").
bool IsRadioCall(const QString& call);

// The seven-character form of a call sign for a via entry that the
// re-transmitted packet carries as already repeated: the base call padded
// with blanks to 6 characters, then one letter for the SSID ("A" for 1 up to
// "O" for 15, "P" for no SSID or SSID 0). "N0CALL-5" -> "N0CALLE",
// "RS0ISS" -> "RS0ISSP", "" -> "KORVA P". A base longer than 6 characters is
// kept whole.
//
// The SSID is the leading number of the text from the first "-" on, rounded
// to a whole number (halves to even). An SSID outside 0..15 (too large, or a
// text such as "-X" or "--5") is treated as no SSID and gives "P", so the
// last character is always a printable letter A..P. Control characters and
// "," (which would split the entry in two) are dropped from the call.
QString UsedViaForm(const QString& call);

// The via entry for a station the packet carries as already repeated, in the
// chosen form:
//   SevenChar: UsedViaForm(call)                       "N0CALLE", "RS0ISSP"
//   Text:      base call, "-n" for SSID 1..15, then "*" "N0CALL-5*", "RS0ISS*"
// The text form writes no "-n" for no SSID, SSID 0 or an SSID outside 1..15.
// Its base keeps only printable characters other than blank, "," and "*" and
// is cut to 6 characters, so the entry never exceeds 10 characters. A
// six-character call with a two-digit SSID makes exactly 10 ("N0CALL-15*"):
// the frame builder keeps 9 of them so the slot stays NUL-terminated, and
// that entry then goes out unmarked.
QString RepeatedViaEntry(const QString& call, ViaForm form);

// Classifies a packet heard on a Sats port from the monitor header line
// (store.header()) with the satellite table. Returns the via entries that
// start the path of the copy re-transmitted on the Out ports
// ("RS0ISSP,N0CALLE", "PCSAT A,N0CALLE", "N0CALLE" in the seven-character
// form; "RS0ISS*,N0CALL-5*", "PCSAT-1*,N0CALL-5*", "N0CALL-5*" in the text
// form), or "" when the packet is not gated this way:
// - sent by a satellite and not repeated by anyone (no "*" from character 22
//   on): the gateway entry alone, with "Gate to Out" on, or when the
//   satellite's telemetry became a bulletin and "Gate Telemetry" is on. A
//   satellite with telemetry in PCSAT's format has it decoded whatever the
//   boxes say (the decoder may replace store.info() with a bulletin);
// - the first via entry repeated by a satellite: that entry in the repeated
//   form, then the gateway entry; "Gate to Out" must be on unless the
//   satellite is one gated without it (the ISS).
// Only the first via entry decides. A via entry with no "," or blank after it
// in the header is taken to run to the end of the line.
QString RouteFromSats(const QString& src, PacketStore& store, const ILiveSettings& settings,
                      ITelemetryDecoder& decoder, ViaForm form,
                      const SatelliteTable& satellites = DefaultSatellites());

} // namespace selvane
