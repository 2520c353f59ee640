#pragma once
#include <QByteArray>

#include <functional>

namespace selvane {

// Cuts the engine's TCP byte stream into whole frames. TCP delivers the
// stream in arbitrary pieces: a frame, or even its header, may be split over
// several arrivals, and one arrival may carry many frames. Incomplete bytes
// are kept until the rest arrives, so every frame is handed on exactly once,
// whole and in order.
class FrameAssembler {
public:
    // block: bytes holding the frame; headerOffset: where its 36-byte header
    // starts in block; dataLength: the length of its data part (> 0), lying
    // wholly inside block. block stays valid and unchanged for the call.
    using Handler = std::function<void(const QByteArray& block, qsizetype headerOffset, qint64 dataLength)>;

    // A declared data length above this cannot come from the engine (its
    // frames carry monitor texts of a few hundred bytes): the stream is out of
    // step and the header is garbage.
    static constexpr quint32 MaxDataLength = 1024u * 1024u;

    // Appends the bytes and calls onFrame for each completed frame that has a
    // data part, in stream order. Frames without data are consumed silently.
    // Called again from inside onFrame, it only appends: the running call
    // hands the new frames on with its own handler. False when the stream
    // was found out of step (a declared length above MaxDataLength): what
    // was pending is dropped, and the connection cannot be trusted to find
    // its frames again by itself.
    bool feed(const QByteArray& bytes, const Handler& onFrame);

    // Drops everything pending (the link was stopped).
    void clear();

    // Bytes received and not yet handed on as part of a frame.
    qsizetype pending() const;

private:
    QByteArray m_buffer;
    qsizetype m_consumed = 0; // bytes at the front of m_buffer already handed on
    bool m_walking = false;
};

} // namespace selvane
