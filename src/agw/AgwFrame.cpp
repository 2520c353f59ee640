#include "agw/AgwFrame.h"

#include "agw/RawFrame.h"
#include "common/TextRules.h"

#include <algorithm>

namespace selvane {

namespace {

// The via count is one byte in the frame: a path is never sent with more
// entries than that byte can state, so the count always matches the layout
// the engine walks.
constexpr qsizetype MaxViaEntries = 255;

constexpr qsizetype CallFieldSize = AgwFrame::OffsetCallTo - AgwFrame::OffsetCallFrom;
constexpr qsizetype PortFieldSize = AgwFrame::OffsetKind - AgwFrame::OffsetPort;

void PutLittleEndian32(QByteArray& frame, qsizetype offset, quint32 value)
{
    for (int i = 0; i < 4; ++i)
        frame[offset + i] = char((value >> (8 * i)) & 0xFFu);
}

bool HasBytes(const QByteArray& block, qsizetype h, qsizetype offset, qsizetype width)
{
    return h >= 0 && offset + width <= block.size() - h;
}

} // namespace

QByteArray BuildAgwRequest(char kind)
{
    QByteArray frame(AgwFrame::HeaderSize, '\0');
    frame[AgwFrame::OffsetKind] = kind;
    return frame;
}

QStringList SplitViaPath(const QString& path)
{
    QStringList entries{QString()};
    const qsizetype last = path.size() - 1;
    for (qsizetype i = 0; i < path.size(); ++i) {
        const QChar c = path.at(i);
        if (c == QLatin1Char(',') && i < last)
            entries.append(QString());
        else
            entries.last().append(c);
    }
    return entries;
}

QByteArray BuildViaFrame(const QByteArray& receivedHeader, const QString& viaPath, const QString& info)
{
    QStringList entries = SplitViaPath(viaPath);
    if (entries.size() > MaxViaEntries)
        entries.resize(MaxViaEntries);
    const QByteArray infoBytes = ToSingleByte(info);
    const qsizetype n = entries.size();
    const qsizetype dataLength = 1 + AgwFrame::ViaEntrySize * n + infoBytes.size();

    QByteArray frame(AgwFrame::HeaderSize + dataLength, '\0');
    frame[AgwFrame::OffsetKind] = 'V';

    // callFrom and callTo of the received frame, unchanged. A short header
    // gives what it has; the rest of the 20 bytes stays 0.
    const qsizetype callsEnd = AgwFrame::OffsetDataLength;
    const qsizetype available = std::clamp<qsizetype>(receivedHeader.size() - AgwFrame::OffsetCallFrom, 0,
                                                      callsEnd - AgwFrame::OffsetCallFrom);
    std::copy_n(receivedHeader.constData() + AgwFrame::OffsetCallFrom, available,
                frame.data() + AgwFrame::OffsetCallFrom);

    // The true length in all four bytes: a long bulletin (over 255 bytes of
    // data) still states its real size instead of a wrapped-around one.
    PutLittleEndian32(frame, AgwFrame::OffsetDataLength, quint32(dataLength));

    qsizetype pos = AgwFrame::HeaderSize;
    frame[pos++] = char(n);
    for (const QString& entry : entries) {
        // Each entry has a 10-byte slot that engines read up to its first
        // NUL: a call with SSID needs at most 9 characters. Anything longer
        // is cut to 9, so it never overwrites the next entry or the
        // information text and its slot stays NUL-terminated (a full slot
        // makes Dire Wolf read on into the next entry and drop the frame).
        const QByteArray bytes = ToSingleByte(entry).left(AgwFrame::ViaEntrySize - 1);
        std::copy(bytes.cbegin(), bytes.cend(), frame.begin() + pos);
        pos += AgwFrame::ViaEntrySize;
    }
    std::copy(infoBytes.cbegin(), infoBytes.cend(), frame.begin() + pos);
    return frame;
}

QByteArray BuildViaFrame(const OutgoingPacket& packet, int port)
{
    QByteArray frame = BuildViaFrame(packet.heardHeader, packet.via.join(QLatin1Char(',')), packet.info);
    SetFramePort(frame, port);
    return frame;
}

QByteArray BuildRawSendFrame(const OutgoingPacket& packet, int port)
{
    const QByteArray data =
        QByteArray(1, '\0') + BuildUiFrame(packet.source, packet.destination, packet.via, ToSingleByte(packet.info));
    QByteArray frame(AgwFrame::HeaderSize, '\0');
    frame[AgwFrame::OffsetKind] = 'K';
    const qsizetype available = std::clamp<qsizetype>(packet.heardHeader.size() - AgwFrame::OffsetCallFrom, 0,
                                                      AgwFrame::OffsetDataLength - AgwFrame::OffsetCallFrom);
    std::copy_n(packet.heardHeader.constData() + AgwFrame::OffsetCallFrom, available,
                frame.data() + AgwFrame::OffsetCallFrom);
    PutLittleEndian32(frame, AgwFrame::OffsetDataLength, quint32(data.size()));
    SetFramePort(frame, port);
    return frame + data;
}

void SetFramePort(QByteArray& frame, int port)
{
    if (frame.size() < AgwFrame::OffsetPort + PortFieldSize || port < 0)
        return;
    PutLittleEndian32(frame, AgwFrame::OffsetPort, quint32(port));
}

int FramePort(const QByteArray& block, qsizetype h)
{
    if (!HasBytes(block, h, AgwFrame::OffsetPort, 1))
        return 0;
    return uchar(block.at(h + AgwFrame::OffsetPort));
}

char FrameKind(const QByteArray& block, qsizetype h)
{
    if (!HasBytes(block, h, AgwFrame::OffsetKind, 1))
        return '\0';
    return block.at(h + AgwFrame::OffsetKind);
}

namespace {
// A call field: its characters up to the first NUL, at most the field's 10
// bytes; firstAlways takes the first byte even when it is a NUL.
QString CallField(const QByteArray& block, qsizetype h, qsizetype offset, bool firstAlways)
{
    if (!HasBytes(block, h, offset, 1))
        return {};
    const qsizetype start = h + offset;
    const qsizetype end = std::min(start + CallFieldSize, block.size());
    qsizetype stop = firstAlways ? start + 1 : start;
    while (stop < end && block.at(stop) != '\0')
        ++stop;
    return FromSingleByte(block.mid(start, stop - start));
}
} // namespace

QString FrameCallFrom(const QByteArray& block, qsizetype h)
{
    return CallField(block, h, AgwFrame::OffsetCallFrom, true);
}

QString FrameCallTo(const QByteArray& block, qsizetype h)
{
    return CallField(block, h, AgwFrame::OffsetCallTo, false);
}

quint32 FrameDataLength(const QByteArray& block, qsizetype h)
{
    if (!HasBytes(block, h, AgwFrame::OffsetDataLength, 4))
        return 0;
    quint32 value = 0;
    for (int i = 3; i >= 0; --i)
        value = (value << 8) | uchar(block.at(h + AgwFrame::OffsetDataLength + i));
    return value;
}

} // namespace selvane
