#pragma once
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

namespace selvane {

// A call a satellite uses: an exact call ("RS0ISS", "DP0SNX") or a base call
// with any SSID from 0 to 15 ("PCSAT-*": PCSAT, PCSAT-1 ... PCSAT-15).
struct SatelliteCall {
    QString base;
    bool anySsid = false;

    // "RS0ISS", "PCSAT-*".
    QString text() const;
    // Reads that form back; nullopt for anything else (an empty base, a
    // blank, a "*" or "," inside, more than 9 characters).
    static std::optional<SatelliteCall> parse(const QString& text);

    bool operator==(const SatelliteCall&) const = default;
};

// Which half of a satellite sent a telemetry line in PCSAT's format: the two
// halves decode the same channels with different formulas.
enum class TelemetrySide { None, A, B };

// One satellite that repeats APRS packets.
struct Satellite {
    QString name;                      // "ISS", "PCSAT", the [satellite NAME] of the file
    bool enabled = true;
    QList<SatelliteCall> digipeaters;  // marked "*" in a via entry: repeated by it
    QStringList sources;               // further calls it sends its own packets as
    QStringList uplinkAliases;         // after the gateway call: "send this up"
    QString uplinkAs;                  // what the alias goes up as; empty: as written
    // A packet it repeated is gated only while "Gate to Out" is on (the ISS
    // is gated whatever that box says).
    bool needsGateToOut = true;
    // Its own packets carry telemetry in PCSAT's format, sent by the calls
    // of one half or the other; safeModeSource is the call whose status bits
    // all set mean safe mode.
    bool pcsatTelemetry = false;
    QStringList telemetrySideA;
    QStringList telemetrySideB;
    QString safeModeSource;

    bool operator==(const Satellite&) const = default;
};

// A via entry that a satellite repeated, as classified.
struct SatelliteRepeat {
    const Satellite* satellite = nullptr;
    // The digipeater's call without the mark, its SSID as read ("RS0ISS",
    // "PCSAT-1"): what the re-transmitted copy marks as repeated.
    QString call;
};

// The satellites the gateway knows, in the order they are tried: the
// built-in ones, changed key by key and completed by the [satellite NAME]
// sections of selvane.conf. The only place where satellite calls decide
// anything.
//
// Calls match as the gateway has always matched them: a header's source is
// sent by a satellite when it begins with one of its calls (so "RS0ISS-4" and
// "PCSAT-1" are sent by the ISS and PCSAT); a via entry is repeated by it
// when it begins with an exact call directly followed by "*" ("RS0ISS*"), or
// begins with the base of an any-SSID call and ends with "*" ("PCSAT-12*",
// "W3ADO*"). The SSID of such an entry is read from the (at most) three
// characters after the base; one outside 0..15 counts as none.
class SatelliteTable {
public:
    // The built-in table (see Satellites.cpp).
    static SatelliteTable Defaults();

    const QList<Satellite>& satellites() const { return m_satellites; }
    QList<Satellite>& satellites() { return m_satellites; }
    // By name, case-insensitive; nullptr when there is none.
    const Satellite* find(const QString& name) const;
    Satellite* find(const QString& name);
    bool anyEnabled() const;

    // "Repeated by satellite X": a via entry as a header writes it, its
    // mark included ("PCSAT-1*"). Only enabled satellites count.
    std::optional<SatelliteRepeat> repeatedBy(const QString& viaEntry) const;
    // "Sent by satellite X": the text from the header's source on (or just
    // the source call). Only enabled satellites count.
    const Satellite* sentBy(const QString& sourceText) const;
    // The uplink a station asks for: the first enabled satellite, in table
    // order, one of whose aliases follows "<gatewayCall>," in the header
    // from character 18 on. Returns the entry as it goes up ("ARISS",
    // "PCSAT-1", or the entry as written), empty when none.
    QString uplinkEntry(const QString& header, const QString& gatewayCall) const;
    // The half of a PCSAT-format satellite that sent a line (exact calls).
    TelemetrySide telemetrySideOf(const QString& sourceCall) const;
    bool isSafeModeSource(const QString& sourceCall) const;

    // "ISS (RS0ISS), PCSAT (PCSAT-*, W3ADO-*)": the enabled satellites and
    // their digipeater calls, for a settings line.
    QString summary() const;

    bool operator==(const SatelliteTable&) const = default;

private:
    QList<Satellite> m_satellites;
};

// The built-in table, made once.
const SatelliteTable& DefaultSatellites();

// The SSID of a call from the numeric value of its text from the "-" on
// ("-5" gives 5); values that name no AX.25 SSID (outside 0..15) give 0.
int SsidOfNumber(double value);

// The SSID read from the characters after a call's base ("-1*" -> 1,
// "*" -> 0); values outside 0..15 count as none (0).
int SsidAfterBase(const QString& rest);

} // namespace selvane
