#pragma once
#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <QTime>

#include <optional>

namespace selvane {

// One address of an AX.25 address field.
struct Ax25Address {
    QString call;          // base call, trailing blanks removed
    int ssid = 0;          // 0..15
    bool repeated = false; // H bit: a digipeater entry that has repeated the frame

    // "N0CALL-5", "RS0ISS" (no "-0").
    QString text() const;
};

// A heard frame as the engine's raw "K" frame carries it: the AX.25 frame
// without flags and FCS, behind one leading byte (the engine's port nibble).
struct RawFrame {
    Ax25Address destination;
    Ax25Address source;
    QList<Ax25Address> digipeaters; // 0..8
    int pid = 0xF0;                 // protocol identifier
    QByteArray info;                // information field, exactly as sent

    // The via list as a monitor header writes it with true marks: a "*"
    // directly after every entry whose H bit is set. "RS0ISS*,WIDE2*".
    QString viaText() const;
};

inline constexpr int kMaxDigipeaters = 8;

// Parses the data part of a "K" frame. nullopt for anything that is not a
// whole UI frame: too short, no end-of-address bit within the destination,
// source and 8 digipeaters, an address character that is not a printable
// shifted ASCII character, a control byte other than UI, or no pid byte.
std::optional<RawFrame> ParseRawFrame(const QByteArray& data);

// An AX.25 UI frame without flags and FCS, as raw "K" frames and KISS carry
// it: destination, source (a command frame: the destination's C bit set),
// the via entries, control 0x03, pid 0xF0, the information bytes. A via
// entry ending in "*" gets the "has been repeated" bit. An address holds the
// call up to its "-" cut to 6 characters and the SSID after it (0 when it is
// no number from 0 to 15); empty via entries are left out, and entries after
// the 8th too (an address field holds no more).
QByteArray BuildUiFrame(const QString& source, const QString& destination, const QStringList& via,
                        const QByteArray& info);

// The monitor header line an AGW engine writes for a heard frame, for a
// frame that came without one (KISS): " 1:Fm N0CALL-9 To APRS Via RS0ISS*,WIDE2-1
// <UI pid=F0 Len=5 >[08:15:30]" (1-based port, "*" after every repeated
// entry, the information field's length, the time given).
QString MonitorHeaderLine(int port, const RawFrame& frame, const QTime& time);

} // namespace selvane

namespace selvane {

// The monitor header line with the via list rewritten from the raw frame:
// " 1:Fm N0CALL-8 To APRS Via RS0ISS <UI ...>" with RS0ISS's H bit set
// becomes " 1:Fm N0CALL-8 To APRS Via RS0ISS* <UI ...>". Every "*" the engine
// wrote is replaced by the true marks (an engine may mark only the last
// repeater, or none). A header without " To " is returned as it is.
QString HeaderWithTrueMarks(const QString& header, const RawFrame& frame);

// The via entries of a monitor header line as it writes them, marks
// included: " 1:Fm A To B Via RS0ISS*,WIDE2 <UI>" gives {"RS0ISS*", "WIDE2"};
// none without " Via " after the destination.
QStringList ViaEntriesOfHeader(const QString& header);

} // namespace selvane
