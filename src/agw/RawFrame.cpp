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

void AppendAddress(QByteArray& out, const QString& text, bool commandBit, bool last)
{
    QString entry = text;
    const bool repeated = entry.endsWith(QLatin1Char('*'));
    if (repeated)
        entry.chop(1);
    const qsizetype dash = entry.indexOf(QLatin1Char('-'));
    const QByteArray call = entry.left(dash < 0 ? entry.size() : dash).toLatin1().left(6);
    bool ok = false;
    const int ssid = dash < 0 ? 0 : entry.mid(dash + 1).toInt(&ok);
    for (int i = 0; i < 6; ++i)
        out.append(char(uchar(i < call.size() ? call[i] : ' ') << 1));
    const int s = ok && ssid >= 0 && ssid <= 15 ? ssid : 0;
    out.append(char(0x60 | (s << 1) | (repeated || commandBit ? kRepeatedBit : 0) | (last ? kEndOfAddress : 0)));
}

} // namespace

QByteArray BuildUiFrame(const QString& source, const QString& destination, const QStringList& via,
                        const QByteArray& info)
{
    QStringList digis;
    for (const QString& entry : via)
        if (!entry.isEmpty() && digis.size() < kMaxDigipeaters)
            digis << entry;
    QByteArray frame;
    frame.reserve(kAddressSize * (2 + digis.size()) + 2 + info.size());
    AppendAddress(frame, destination, true, false);
    AppendAddress(frame, source, false, digis.isEmpty());
    for (qsizetype i = 0; i < digis.size(); ++i)
        AppendAddress(frame, digis[i], false, i == digis.size() - 1);
    frame.append(char(kUiControl));
    frame.append(char(0xF0));
    return frame + info;
}

QString MonitorHeaderLine(int port, const RawFrame& frame, const QTime& time)
{
    QString line = QStringLiteral("%1:Fm %2 To %3").arg(port + 1, 2).arg(frame.source.text(), frame.destination.text());
    if (!frame.digipeaters.isEmpty())
        line += QStringLiteral(" Via ") + frame.viaText();
    return line + QStringLiteral(" <UI pid=%1 Len=%2 >[%3]")
                      .arg(QString::number(frame.pid, 16).toUpper().rightJustified(2, QLatin1Char('0')))
                      .arg(frame.info.size())
                      .arg(time.toString(QStringLiteral("HH:mm:ss")));
}

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
    frame.pid = bytes[pos + 1];
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
