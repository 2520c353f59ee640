#pragma once
#include <QAbstractHttpServer>
#include <QByteArray>
#include <QDate>
#include <QHostAddress>
#include <QPointer>
#include <QString>

#include "gateway/DuplicateFilter.h"

class QTcpServer;

namespace selvane {

class Station;

// The status page of the headless program, read-only, over HTTP:
//
//   /             one HTML page that fills itself from /status.json every
//                 few seconds (StatusPage.h)
//   /status.json  the station's state (StatusJson)
//   /metrics      its counters in the Prometheus text format (StatusMetrics)
//
// Only GET and HEAD are answered (405 for other methods), any other path is
// 404, and no request changes anything.
//
// It shares the gateway's thread, so what it does must stay small whatever
// the clients do: the JSON and the metrics are made at most once per
// kRebuildMs and served from that copy, the telemetry plots in them (the
// largest part) only after a new telemetry line; at most kMaxClients connections are
// kept (more are closed at once); a request larger than kMaxRequestBytes, one
// not whole within requestTimeoutMs of its first byte (a client sending a
// byte a second), a connection idle for idleTimeoutMs, and a client that
// does not read what it asked for (kMaxPendingReply bytes waiting) are
// closed. Qt's own buffer for a connection never holds more than a request.
class StatusServer : public QAbstractHttpServer {
    Q_OBJECT
public:
    struct Limits {
        int maxClients = 32;
        qint64 maxRequestBytes = 8 * 1024;
        int requestTimeoutMs = 10 * 1000;
        int idleTimeoutMs = 30 * 1000;
        qint64 maxPendingReply = 512 * 1024;
    };
    static constexpr qint64 kRebuildMs = 1000;

    StatusServer(Station& station, MonotonicMs monotonic, Limits limits, QObject* parent = nullptr);
    StatusServer(Station& station, MonotonicMs monotonic, QObject* parent = nullptr)
        : StatusServer(station, std::move(monotonic), Limits{}, parent)
    {
    }
    ~StatusServer() override;

    // Starts listening; false, with the reason, when the address cannot be
    // bound. Port 0 lets the system choose (port() tells).
    // Listens once: another address needs another server.
    bool listen(const QHostAddress& address, quint16 port, QString* error);
    quint16 port() const;

protected:
    bool handleRequest(const QHttpServerRequest& request, QTcpSocket* socket) override;
    void missingHandler(const QHttpServerRequest& request, QTcpSocket* socket) override;

private:
    class Listener;
    void refresh();

    Station& m_station;
    MonotonicMs m_monotonic;
    Limits m_limits;
    QPointer<Listener> m_listener;
    qint64 m_builtAt = 0;
    bool m_built = false;
    // The telemetry plots, made again only after a new telemetry line.
    QByteArray m_plots;
    quint64 m_plotsRevision = 0;
    QDate m_plotsDay;
    QByteArray m_json;
    QByteArray m_metrics;
};

} // namespace selvane
