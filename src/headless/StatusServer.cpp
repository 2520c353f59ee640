#include "headless/StatusServer.h"

#include <QHttpServerRequest>
#include <QHttpServerResponder>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

#include "gateway/Station.h"
#include "gateway/StationStatus.h"
#include "headless/StatusPage.h"

namespace selvane {

namespace {

// Watches one connection: the time a request takes to arrive, the time the
// connection waits between requests, and the size of a request. Qt's buffer
// for the socket holds at most maxRequestBytes, and the HTTP server leaves a
// request there until it is whole: a full buffer is a request too large.
class ConnectionGuard : public QObject {
    Q_OBJECT
public:
    ConnectionGuard(QTcpSocket* socket, const StatusServer::Limits& limits)
        : QObject(socket), m_socket(socket), m_limits(limits)
    {
        m_socket->setReadBufferSize(m_limits.maxRequestBytes);
        m_timer.setSingleShot(true);
        connect(&m_timer, &QTimer::timeout, this, [this] { m_socket->abort(); });
        m_timer.start(m_limits.idleTimeoutMs);
        // Connected before the HTTP server's own reader, so it sees each
        // piece of a request before the server takes it from the socket.
        connect(socket, &QTcpSocket::readyRead, this, &ConnectionGuard::received);
    }

    // A whole request was read and is being answered.
    void answered()
    {
        m_inRequest = false;
        m_timer.start(m_limits.idleTimeoutMs);
    }

private:
    void received()
    {
        if (m_socket->bytesAvailable() >= m_limits.maxRequestBytes) {
            // The server's reader, next in line for this signal, must not
            // see a closed socket.
            disconnect(m_socket, &QTcpSocket::readyRead, nullptr, nullptr);
            m_socket->abort();
            return;
        }
        if (!m_inRequest) {
            m_inRequest = true;
            m_timer.start(m_limits.requestTimeoutMs);
        }
    }

    QTcpSocket* m_socket;
    const StatusServer::Limits& m_limits;
    QTimer m_timer;
    bool m_inRequest = false;
};

} // namespace

// Accepts at most maxClients connections at a time, each with its guard.
class StatusServer::Listener : public QTcpServer {
public:
    Listener(const Limits& limits, QObject* parent) : QTcpServer(parent), m_limits(limits) {}

protected:
    void incomingConnection(qintptr descriptor) override
    {
        auto* socket = new QTcpSocket(this);
        if (!socket->setSocketDescriptor(descriptor)) {
            delete socket;
            return;
        }
        if (m_open >= m_limits.maxClients) {
            socket->abort();
            delete socket;
            return;
        }
        // An answer goes out in several writes; without this its last
        // piece would wait for the client's delayed acknowledgement.
        socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
        new ConnectionGuard(socket, m_limits);
        ++m_open;
        connect(socket, &QObject::destroyed, this, [this] { --m_open; });
        connect(socket, &QAbstractSocket::disconnected, socket, &QObject::deleteLater);
        addPendingConnection(socket);
    }

private:
    const Limits& m_limits;
    int m_open = 0;
};

StatusServer::StatusServer(Station& station, MonotonicMs monotonic, Limits limits, QObject* parent)
    : QAbstractHttpServer(parent), m_station(station), m_monotonic(std::move(monotonic)), m_limits(limits)
{
}

StatusServer::~StatusServer() = default;

bool StatusServer::listen(const QHostAddress& address, quint16 port, QString* error)
{
    if (m_listener)
        return false;
    auto* listener = new Listener(m_limits, this);
    if (!listener->listen(address, port)) {
        if (error)
            *error = listener->errorString();
        delete listener;
        return false;
    }
    m_listener = listener;
    bind(listener);
    return true;
}

quint16 StatusServer::port() const
{
    return m_listener ? m_listener->serverPort() : 0;
}

void StatusServer::refresh()
{
    const qint64 now = m_monotonic();
    if (m_built && now - m_builtAt < kRebuildMs)
        return;
    const StationActivity& activity = m_station.activity();
    const QDate today = activity.now().date();
    const bool newPlots = !m_built || activity.telemetryRevision() != m_plotsRevision || today != m_plotsDay;
    const StationStatus status = TakeStationStatus(m_station, QStringLiteral("selvaned"), newPlots);
    if (newPlots) {
        m_plots = TelemetryPlots(status.telemetryToday);
        m_plotsRevision = activity.telemetryRevision();
        m_plotsDay = today;
    }
    m_json = StatusJson(status, &m_plots);
    m_metrics = StatusMetrics(status);
    m_builtAt = now;
    m_built = true;
}

bool StatusServer::handleRequest(const QHttpServerRequest& request, QTcpSocket* socket)
{
    if (auto* guard = socket->findChild<ConnectionGuard*>(QString(), Qt::FindDirectChildrenOnly))
        guard->answered();
    // A client that asks without reading the answers is not served further.
    if (socket->bytesToWrite() > m_limits.maxPendingReply) {
        socket->abort();
        return true;
    }

    using Status = QHttpServerResponder::StatusCode;
    QHttpServerResponder responder = makeResponder(request, socket);
    const QHttpServerRequest::Method method = request.method();
    if (method != QHttpServerRequest::Method::Get && method != QHttpServerRequest::Method::Head) {
        responder.write(QByteArray("Solo GET e HEAD.\n"),
                        {{"Content-Type", "text/plain; charset=utf-8"}, {"Allow", "GET, HEAD"}},
                        Status::MethodNotAllowed);
        return true;
    }

    // The path as sent (only percent-encoded letters and digits read as
    // themselves): "/../status.json" or "/./metrics" name nothing.
    const QByteArray path = request.url().path(QUrl::FullyEncoded).toLatin1();
    QByteArray body;
    QByteArray type;
    QByteArray policy = "default-src 'none'";
    Status status = Status::Ok;
    if (path == "/") {
        body = StatusPageHtml();
        type = "text/html; charset=utf-8";
        policy = StatusPagePolicy();
    } else if (path == "/status.json") {
        refresh();
        body = m_json;
        type = "application/json";
    } else if (path == "/metrics") {
        refresh();
        body = m_metrics;
        type = "text/plain; version=0.0.4; charset=utf-8";
    } else {
        body = "Pagina inesistente.\n";
        type = "text/plain; charset=utf-8";
        status = Status::NotFound;
    }

    responder.writeStatusLine(status);
    responder.writeHeader("Content-Type", type);
    responder.writeHeader("Content-Length", QByteArray::number(body.size()));
    responder.writeHeader("Cache-Control", "no-store");
    responder.writeHeader("X-Content-Type-Options", "nosniff");
    responder.writeHeader("Content-Security-Policy", policy);
    responder.writeBody(method == QHttpServerRequest::Method::Head ? QByteArray() : body);
    return true;
}

void StatusServer::missingHandler(const QHttpServerRequest& request, QTcpSocket* socket)
{
    makeResponder(request, socket).write(QHttpServerResponder::StatusCode::NotFound);
}

} // namespace selvane

#include "StatusServer.moc"
