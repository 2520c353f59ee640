#include "kiss/KissFrame.h"

#include <algorithm>

namespace selvane {

QByteArray KissEncode(int port, const QByteArray& frame)
{
    QByteArray out;
    out.reserve(frame.size() + frame.size() / 16 + 4);
    out.append(Kiss::Fend);
    // The command byte is escaped like the rest: for port 12 it is FEND
    // itself.
    const QByteArray command(1, char((port & Kiss::kMaxPort) << 4));
    for (const char c : command + frame) {
        if (c == Kiss::Fend) {
            out.append(Kiss::Fesc);
            out.append(Kiss::Tfend);
        } else if (c == Kiss::Fesc) {
            out.append(Kiss::Fesc);
            out.append(Kiss::Tfesc);
        } else {
            out.append(c);
        }
    }
    out.append(Kiss::Fend);
    return out;
}

void KissDecoder::feed(const QByteArray& bytes, const Handler& onFrame)
{
    const quint64 generation = m_generation;
    const char* const end = bytes.constEnd();
    for (const char* p = bytes.constBegin(); p != end; ++p) {
        const char c = *p;
        // A run of plain bytes inside a frame is taken at once.
        if (m_synced && !m_bad && !m_escape && c != Kiss::Fend && c != Kiss::Fesc) {
            const char* runEnd = std::find_if(p, end, [](char b) { return b == Kiss::Fend || b == Kiss::Fesc; });
            const qsizetype room = kMaxFrameBytes - m_frame.size();
            if (runEnd - p <= room) {
                m_frame.append(p, runEnd - p);
                p = runEnd - 1;
                continue;
            }
        }
        if (c == Kiss::Fend) {
            const QByteArray frame = m_frame;
            const bool whole = m_synced && !m_bad && !m_escape && !frame.isEmpty();
            if (m_synced && (m_bad || m_escape))
                ++m_damaged;
            m_frame.clear();
            m_synced = true;
            m_escape = m_bad = false;
            if (whole && (uchar(frame[0]) & 0x0F) == 0 && onFrame) {
                onFrame(uchar(frame[0]) >> 4, frame);
                if (m_generation != generation)
                    return;  // cleared by the handler
            }
            continue;
        }
        if (!m_synced || m_bad)
            continue;
        char out = c;
        if (m_escape) {
            m_escape = false;
            if (c == Kiss::Tfend) {
                out = Kiss::Fend;
            } else if (c == Kiss::Tfesc) {
                out = Kiss::Fesc;
            } else {
                m_bad = true;
                m_frame.clear();
                continue;
            }
        } else if (c == Kiss::Fesc) {
            m_escape = true;
            continue;
        }
        if (m_frame.size() == kMaxFrameBytes) {
            m_bad = true;
            m_frame.clear();
            continue;
        }
        m_frame.append(out);
    }
}

void KissDecoder::clear()
{
    m_frame.clear();
    m_synced = false;
    m_escape = m_bad = false;
    ++m_generation;
}

} // namespace selvane
