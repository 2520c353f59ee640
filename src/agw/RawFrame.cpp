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

QString HeaderWithTrueMarks(const QString& header, const RawFrame& frame)
{
    const qsizetype to = header.indexOf(QLatin1String(" To "), 7);
    if (to < 0)
        return header;
    const qsizetype destStart = to + 4;
    qsizetype destEnd = header.indexOf(QLatin1Char(' '), destStart);
    if (destEnd < 0)
        destEnd = header.size();
    qsizetype restStart = destEnd;
    const QLatin1String via(" Via ");
    if (header.mid(destEnd, via.size()) == via) {
        restStart = header.indexOf(QLatin1Char(' '), destEnd + via.size());
        if (restStart < 0)
            restStart = header.size();
    }
    QString marked = header.left(destEnd);
    if (!frame.digipeaters.isEmpty())
        marked += via + frame.viaText();
    return marked + header.mid(restStart);
}

} // namespace selvane
