#pragma once
#include <QByteArray>
#include <QString>

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

} // namespace selvane::test
