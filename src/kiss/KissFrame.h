#pragma once
#include <QByteArray>

#include <functional>

namespace selvane {

// KISS framing: every frame between FEND bytes, a FEND or FESC inside it
// written as FESC TFEND or FESC TFESC; the first byte is the command, its
// high nibble the TNC port and its low nibble the command proper (0: a data
// frame, which carries an AX.25 frame without flags and FCS).
namespace Kiss {
constexpr char Fend = char(0xC0);
constexpr char Fesc = char(0xDB);
constexpr char Tfend = char(0xDC);
constexpr char Tfesc = char(0xDD);
constexpr int kMaxPort = 15;
} // namespace Kiss

// One data frame for a port 0..15: FEND, the command byte, the escaped
// frame, FEND.
QByteArray KissEncode(int port, const QByteArray& frame);

// Cuts a KISS byte stream into frames. Whatever comes, it never stalls and
// never holds more than kMaxFrameBytes: bytes before the first FEND, a frame
// with a bad escape (FESC followed by anything but TFEND or TFESC) and a
// frame that grows past kMaxFrameBytes without a FEND are dropped, and the
// next FEND starts afresh. Empty frames (FEND runs) and frames that are no
// data frames (command low nibble not 0) are skipped.
class KissDecoder {
public:
    static constexpr qsizetype kMaxFrameBytes = 2048;
    // port: the command's high nibble; frame: the command byte and the
    // unescaped frame after it.
    using Handler = std::function<void(int port, const QByteArray& frame)>;

    // Calls onFrame for every whole data frame, in order. A handler that
    // clears the decoder ends the walk: the rest of the bytes is dropped.
    void feed(const QByteArray& bytes, const Handler& onFrame);
    void clear();
    // Bytes of the frame under way.
    qsizetype pending() const { return m_frame.size(); }
    // Frames dropped for a bad escape or their size.
    qint64 damagedFrames() const { return m_damaged; }

private:
    QByteArray m_frame;
    bool m_synced = false;   // a FEND was seen
    bool m_escape = false;
    bool m_bad = false;      // the frame under way is dropped at its FEND
    qint64 m_damaged = 0;
    quint64 m_generation = 0;
};

} // namespace selvane
