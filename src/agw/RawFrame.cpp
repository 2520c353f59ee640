#include "agw/RawFrame.h"

namespace selvane {

namespace {

constexpr qsizetype kAddressSize = 7;
constexpr qsizetype kPortByte = 1;
constexpr uchar kEndOfAddress = 0x01;
constexpr uchar kRepeatedBit = 0x80;
constexpr uchar kUiControl = 0x03;
constexpr uchar kPollFinal = 0x10;

std::optional<Ax25Address> ParseAddress(const uchar* bytes)
{
    Ax25Address address;
    QString call;
    bool blankSeen = false;
    for (int i = 0; i < 6; ++i) {
        // Each character is shifted left by one bit; bit 0 must be clear.
        if (bytes[i] & 0x01)
            return std::nullopt;
        const uchar c = bytes[i] >> 1;
        if (c == ' ') {
            blankSeen = true;
            continue;
        }
        // Blank padding only at the end, printable characters only.
        if (blankSeen || c < 0x21 || c > 0x7E)
            return std::nullopt;
        call.append(QChar(c));
    }
    if (call.isEmpty())
        return std::nullopt;
    address.call = call;
    address.ssid = (bytes[6] >> 1) & 0x0F;
    address.repeated = (bytes[6] & kRepeatedBit) != 0;
    return address;
}

} // namespace

QString Ax25Address::text() const
{
    return ssid == 0 ? call : call + QLatin1Char('-') + QString::number(ssid);
}

QString RawFrame::viaText() const
{
    QString via;
    for (const Ax25Address& d : digipeaters) {
        if (!via.isEmpty())
            via.append(QLatin1Char(','));
        via.append(d.text());
        if (d.repeated)
            via.append(QLatin1Char('*'));
    }
    return via;
}

std::optional<RawFrame> ParseRawFrame(const QByteArray& data)
{
    const auto* bytes = reinterpret_cast<const uchar*>(data.constData());
    const qsizetype size = data.size();
    // Destination, source, control and pid at least.
    if (size < kPortByte + 2 * kAddressSize + 2)
        return std::nullopt;

    // The address field ends with the address whose last byte has bit 0 set.
    QList<Ax25Address> addresses;
    qsizetype pos = kPortByte;
    for (;;) {
        if (addresses.size() == 2 + kMaxDigipeaters || pos + kAddressSize > size)
            return std::nullopt;
        const std::optional<Ax25Address> address = ParseAddress(bytes + pos);
        if (!address)
            return std::nullopt;
        addresses.append(*address);
        const bool last = bytes[pos + 6] & kEndOfAddress;
        pos += kAddressSize;
        if (last)
            break;
    }
    if (addresses.size() < 2 || pos + 2 > size)
        return std::nullopt;
    if ((bytes[pos] & ~kPollFinal) != kUiControl)
        return std::nullopt;

    RawFrame frame;
    frame.destination = addresses[0];
    frame.source = addresses[1];
    frame.destination.repeated = frame.source.repeated = false; // command/response bits
    frame.digipeaters = addresses.mid(2);
    frame.info = data.mid(pos + 2);
    return frame;
}

} // namespace selvane

namespace selvane {

namespace {

// Where the destination ends and where the via list (if any) ends in a
// monitor header line; nullopt without " To ".
struct ViaSpan {
    qsizetype destEnd = 0;
    qsizetype viaStart = 0; // == restStart when there is no via list
    qsizetype restStart = 0;
};

const QLatin1String kVia(" Via ");

std::optional<ViaSpan> FindViaSpan(const QString& header)
{
    const qsizetype to = header.indexOf(QLatin1String(" To "), 7);
    if (to < 0)
        return std::nullopt;
    ViaSpan span;
    span.destEnd = header.indexOf(QLatin1Char(' '), to + 4);
    if (span.destEnd < 0)
        span.destEnd = header.size();
    span.viaStart = span.restStart = span.destEnd;
    if (header.mid(span.destEnd, kVia.size()) == kVia) {
        span.viaStart = span.destEnd + kVia.size();
        span.restStart = header.indexOf(QLatin1Char(' '), span.viaStart);
        if (span.restStart < 0)
            span.restStart = header.size();
    }
    return span;
}

} // namespace

QString HeaderWithTrueMarks(const QString& header, const RawFrame& frame)
{
    const std::optional<ViaSpan> span = FindViaSpan(header);
    if (!span)
        return header;
    QString marked = header.left(span->destEnd);
    if (!frame.digipeaters.isEmpty())
        marked += kVia + frame.viaText();
    return marked + header.mid(span->restStart);
}

QStringList ViaEntriesOfHeader(const QString& header)
{
    const std::optional<ViaSpan> span = FindViaSpan(header);
    if (!span || span->viaStart == span->restStart)
        return {};
    return header.mid(span->viaStart, span->restStart - span->viaStart).split(QLatin1Char(','));
}

} // namespace selvane
