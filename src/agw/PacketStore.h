#pragma once
#include <QByteArray>
#include <QDate>
#include <QString>
#include <QStringList>
#include <QTime>

namespace selvane {

// Background of the received-packets list: what happened to the last packet.
enum class PacketColour {
    Green,      // heard, not gated (RGB 0,192,0)
    Yellow,     // re-transmitted now (RGB 255,255,96)
    LightGreen  // duplicate (RGB 16,255,16)
};

// The received-packets list (List2) doubling as the store of the packet being
// handled: entry 0 the engine's monitor header line, entry 1 the information
// line (which the telemetry decoder may replace with a bulletin).
struct PacketStore {
    QStringList lines;
    PacketColour colour = PacketColour::Green;

    QString header() const { return lines.value(0); }
    QString info() const { return lines.value(1); }
    void setInfo(const QString& text)
    {
        while (lines.size() < 2)
            lines.append(QString());
        lines[1] = text;
    }
};

// Counters of the packets handled since the last START. 64-bit: weeks of
// running never wrap them.
struct GatewayCounters {
    qint64 totalCount = 0;
    qint64 toOutCount = 0;
    qint64 toSatsCount = 0;
    qint64 heldCount = 0;    // not sent up: the uplink limits held them back
    QDate startDate;
    QTime startTime;
};

// The header line and the information field of a heard frame's monitor
// text: the header is the engine's first line (leading CRs skipped), the
// information everything after it up to the engine's terminator (see
// WithoutTerminator), whatever it holds: inner CRs, LFs and NULs belong to
// the packet, so a packet's own text can never pose as the header. A text
// with no CR at all is one empty entry.
QStringList HeardLines(const char* data, qsizetype length);

// An information field without the engine's terminator: the trailing CRs and
// NULs (engines end the text with CR, CR NUL or CR CR NUL).
QByteArray WithoutTerminator(const QByteArray& info);

// The last two non-empty lines of a monitor text, each line ended by byte 13;
// text after the last 13 is not shown; fewer than two lines are completed
// with one empty entry.
QStringList TwoLineWindow(const char* data, qsizetype length);

} // namespace selvane
