#pragma once
#include <QByteArray>
#include <QString>
#include <QStringList>

#include <ostream>
#include <string_view>

#include "agw/Interfaces.h"
#include "gateway/GatewayFakes.h"   // PrintTo(QString)

// Readable failure messages for lines: bytes outside printable ASCII as \xHH.
inline void PrintTo(const QByteArray& bytes, std::ostream* os)
{
    *os << '"';
    for (char c : bytes) {
        if (uchar(c) >= 0x20 && uchar(c) < 0x7f && c != '\\')
            *os << c;
        else
            *os << "\\x" << "0123456789abcdef"[uchar(c) >> 4] << "0123456789abcdef"[uchar(c) & 15];
    }
    *os << '"';
}

namespace selvane::test {

// A heard packet written as "SRC>DST,VIA1,VIA2:information" (the information
// field is everything after the first ":", bytes as they stand).
inline HeardPacket HeardOf(int port, std::string_view text)
{
    const QByteArray bytes(text.data(), qsizetype(text.size()));
    const qsizetype colon = bytes.indexOf(':');
    const QString header = QString::fromLatin1(bytes.left(colon));
    HeardPacket p;
    p.port = port;
    p.source = header.section(QLatin1Char('>'), 0, 0);
    QStringList path = header.section(QLatin1Char('>'), 1).split(QLatin1Char(','));
    p.destination = path.takeFirst();
    p.via = path;
    p.info = bytes.mid(colon + 1);
    p.header = header;
    return p;
}

} // namespace selvane::test
