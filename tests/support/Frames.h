#pragma once
#include <QByteArray>
#include <QString>
#include <QStringList>

namespace selvane::test {

// A received frame as an engine sends it: header with port, kind, calls and
// a four-byte data length, then the data.
inline QByteArray EngineFrame(char kind, int port, const QByteArray& from, const QByteArray& to,
                              const QByteArray& data)
{
    QByteArray f(36, '\0');
    f[0] = char(port);
    f[4] = kind;
    for (int i = 0; i < from.size() && i < 10; ++i)
        f[8 + i] = from[i];
    for (int i = 0; i < to.size() && i < 10; ++i)
        f[18 + i] = to[i];
    const quint32 n = quint32(data.size());
    f[28] = char(n & 0xff);
    f[29] = char((n >> 8) & 0xff);
    f[30] = char((n >> 16) & 0xff);
    f[31] = char((n >> 24) & 0xff);
    return f + data;
}

// Monitor text of a heard frame: header line and information line, each
// ended by CR, the text ended by CR NUL.
inline QByteArray MonitorText(const QByteArray& headerLine, const QByteArray& info)
{
    return headerLine + '\r' + info + '\r' + '\r' + QByteArray(1, '\0');
}

// One AX.25 address: "CALL-n", a trailing "*" sets the H bit.
inline QByteArray Ax25Address(QString text, bool last)
{
    const bool h = text.endsWith(QLatin1Char('*'));
    if (h)
        text.chop(1);
    const QString call = text.section(QLatin1Char('-'), 0, 0);
    const int ssid = text.section(QLatin1Char('-'), 1).toInt();
    QByteArray a;
    for (int i = 0; i < 6; ++i)
        a.append(char((i < call.size() ? call.at(i).toLatin1() : ' ') << 1));
    a.append(char((h ? 0x80 : 0) | 0x60 | (ssid << 1) | (last ? 1 : 0)));
    return a;
}

// The data part of a raw "K" frame: one 0x00 byte, then the UI frame
// dest, source, digipeaters, control, pid, information.
inline QByteArray RawUiFrame(const QString& to, const QString& from, const QStringList& via,
                             const QByteArray& info)
{
    QByteArray f(1, '\0');
    f += Ax25Address(to, false);
    f += Ax25Address(from, via.isEmpty());
    for (int i = 0; i < via.size(); ++i)
        f += Ax25Address(via[i], i == via.size() - 1);
    return f + "\x03\xf0" + info;
}

} // namespace selvane::test
