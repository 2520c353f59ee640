#pragma once
#include <QByteArray>
#include <QHostAddress>
#include <QTcpSocket>
#include <QTest>

namespace selvane::test {

struct HttpReply {
    int status = 0;       // 0: no answer
    QByteArray head;      // status line and headers
    QByteArray body;
};

// One request, as given, on a new loopback connection; the answer once it
// is whole (its Content-Length read, or the connection closed).
inline HttpReply HttpExchange(quint16 port, const QByteArray& request, int timeoutMs = 10000)
{
    QTcpSocket socket;
    socket.connectToHost(QHostAddress::LocalHost, port);
    if (!socket.waitForConnected(timeoutMs))
        return {};
    socket.write(request);
    const bool headOnly = request.startsWith("HEAD ");
    QByteArray data;
    HttpReply reply;
    (void)QTest::qWaitFor(
        [&] {
            data += socket.readAll();
            const qsizetype end = data.indexOf("\r\n\r\n");
            if (end < 0)
                return socket.state() == QAbstractSocket::UnconnectedState;
            reply.head = data.left(end);
            qsizetype length = 0;
            for (const QByteArray& line : reply.head.split('\n'))
                if (line.toLower().startsWith("content-length:"))
                    length = line.mid(15).trimmed().toLongLong();
            reply.body = data.mid(end + 4);
            return headOnly || reply.body.size() >= length || socket.state() == QAbstractSocket::UnconnectedState;
        },
        timeoutMs);
    if (reply.head.startsWith("HTTP/1.1 "))
        reply.status = reply.head.mid(9, 3).toInt();
    return reply;
}

inline HttpReply HttpGet(quint16 port, const QByteArray& path, const QByteArray& method = "GET")
{
    return HttpExchange(port, method + ' ' + path + " HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n");
}

} // namespace selvane::test
