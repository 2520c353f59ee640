#include "agw/FrameAssembler.h"

#include "agw/AgwFrame.h"

namespace selvane {

bool FrameAssembler::feed(const QByteArray& bytes, const Handler& onFrame)
{
    m_buffer.append(bytes);
    if (m_walking)
        return true; // re-entered from the handler: the outer walk picks these up

    m_walking = true;
    // Consumed frames are only counted while walking; the buffer is compacted
    // once at the end, so a block of many frames costs one move, not one per
    // frame. The guard also runs when the handler throws.
    struct Finish {
        FrameAssembler& self;
        ~Finish()
        {
            self.m_buffer.remove(0, self.m_consumed);
            self.m_consumed = 0;
            self.m_walking = false;
        }
    } finish{*this};

    for (;;) {
        // A shared copy (no bytes copied): if the handler stops the link and
        // clears this assembler, or feeds more bytes, the block it is reading
        // stays intact until it returns.
        const QByteArray block = m_buffer;
        const qsizetype h = m_consumed;
        if (block.size() - h < AgwFrame::HeaderSize)
            return true;
        const quint32 length = FrameDataLength(block, h);
        if (length > MaxDataLength) {
            // Out of step: the bytes read as a length are not a real header,
            // and waiting for that many bytes would let memory grow without
            // bound. Nothing pending can be trusted to start a frame, so all
            // of it goes; the next arrival starts afresh.
            m_buffer.clear();
            m_consumed = 0;
            return false;
        }
        const qsizetype frameSize = AgwFrame::HeaderSize + qsizetype(length);
        if (block.size() - h < frameSize)
            return true; // the rest of this frame comes with a later arrival
        // Consumed before the handler runs, so a re-entrant walk never hands
        // the same frame on twice.
        m_consumed = h + frameSize;
        if (length > 0 && onFrame)
            onFrame(block, h, qint64(length));
    }
}

void FrameAssembler::clear()
{
    m_buffer.clear();
    m_consumed = 0;
}

qsizetype FrameAssembler::pending() const
{
    return m_buffer.size() - m_consumed;
}

} // namespace selvane
