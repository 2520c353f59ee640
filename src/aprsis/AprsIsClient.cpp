#include "aprsis/AprsIsClient.h"
#include <QCoreApplication>

#include <QList>

#include "selvane/Version.h"

namespace selvane {

namespace {

// A server line longer than this without an end is dropped, piece by piece:
// a well-behaved server never sends one (its lines are at most 512 bytes).
constexpr qsizetype kMaxLineBytes = 4096;

QByteArray WithoutLineBreaks(QByteArray text)
{
    text.replace('\r', ' ');
    text.replace('\n', ' ');
    return text;
}

} // namespace

QString AprsIsClient::LoginInUseText()
{
    return tr("login in uso da un altro client");
}

QString AprsIsStateText(AprsIsState state)
{
    switch (state) {
    case AprsIsState::Off:
        return QCoreApplication::translate("AprsIs", "spento");
    case AprsIsState::Connecting:
        return QCoreApplication::translate("AprsIs", "connessione...");
    case AprsIsState::Verified:
        return QCoreApplication::translate("AprsIs", "connesso e verificato");
    case AprsIsState::Unverified:
        return QCoreApplication::translate("AprsIs", "connesso, NON verificato: il server scarta i pacchetti caricati");
    case AprsIsState::Error:
        return QCoreApplication::translate("AprsIs", "errore");
    }
    return {};
}

QByteArray AprsIsLoginLine(const QString& call, int passcode, const QString& filter)
{
    QByteArray line = "user " + WithoutLineBreaks(call.toLatin1()) + " pass " + QByteArray::number(passcode)
                      + " vers Selvane " SELVANE_VERSION;
    if (!filter.trimmed().isEmpty())
        line += " filter " + WithoutLineBreaks(filter.trimmed().toLatin1());
    return line + "\r\n";
}

std::optional<LoginReply> ParseLoginReply(const QByteArray& line)
{
    const QList<QByteArray> words = line.simplified().split(' ');
    if (words.size() < 4 || words[0] != "#" || words[1] != "logresp")
        return std::nullopt;
    LoginReply reply;
    reply.call = QString::fromLatin1(words[2]);
    QByteArray verdict = words[3];
    if (verdict.endsWith(','))
        verdict.chop(1);
    if (verdict == "verified")
        reply.verified = true;
    else if (verdict != "unverified")
        return std::nullopt;
    if (words.size() >= 6 && words[4] == "server")
        reply.server = QString::fromLatin1(words[5]);
    return reply;
}

AprsIsClient::AprsIsClient(Timing timing, QObject* parent)
    : QObject(parent), m_timing(timing), m_backoff(timing.retry)
{
    connect(&m_socket, &QTcpSocket::connected, this, &AprsIsClient::onConnected);
    connect(&m_socket, &QTcpSocket::readyRead, this, &AprsIsClient::onReadyRead);
    connect(&m_socket, &QTcpSocket::errorOccurred, this, [this](QAbstractSocket::SocketError error) {
        connectionLost(m_socket.errorString(), error == QAbstractSocket::RemoteHostClosedError);
    });
    connect(&m_socket, &QTcpSocket::disconnected, this,
            [this] { connectionLost(tr("il server ha chiuso il collegamento"), true); });
    m_retryTimer.setSingleShot(true);
    connect(&m_retryTimer, &QTimer::timeout, this, &AprsIsClient::connectNow);
    m_silenceTimer.setSingleShot(true);
    connect(&m_silenceTimer, &QTimer::timeout, this, [this] {
        connectionLost(tr("nessuna notizia dal server da %1 s").arg(m_timing.silenceMs / 1000.0),
                       false);
    });
    m_settleTimer.setSingleShot(true);
    connect(&m_settleTimer, &QTimer::timeout, this, [this] {
        m_backoff.reset();
        m_unsettledCloses = 0;
        m_inUseSaid = false;
    });
    m_loginTimer.setSingleShot(true);
    connect(&m_loginTimer, &QTimer::timeout, this, [this] {
        connectionLost(tr("nessuna risposta all'accesso entro %1 s").arg(m_timing.loginTimeoutMs / 1000.0), false);
    });
    m_stallTimer.setSingleShot(true);
    connect(&m_stallTimer, &QTimer::timeout, this, [this] {
        connectionLost(tr("il server non legge nulla da %1 s").arg(m_timing.writeStallMs / 1000.0),
                       false);
    });
    connect(&m_socket, &QTcpSocket::bytesWritten, this, &AprsIsClient::onBytesWritten);
}

AprsIsClient::~AprsIsClient()
{
    // The socket must not report its closing into a half-destroyed object.
    m_socket.disconnect(this);
    m_socket.abort();
}

void AprsIsClient::closeSocket()
{
    // abort() may report the closing (disconnected) at once: that is no loss.
    m_closing = true;
    m_socket.abort();
    m_closing = false;
    m_loginTimer.stop();
    m_stallTimer.stop();
    // A new connection starts with an empty buffer: a server that does not
    // read it is said again.
    m_notReadingSaid = false;
    m_refused = 0;
}

void AprsIsClient::start(const AprsIsLogin& login)
{
    m_login = login;
    forgetHistory();
    m_retryTimer.stop();
    connectNow();
}

void AprsIsClient::fail(const QString& reason)
{
    m_login = {};
    forgetHistory();
    m_retryTimer.stop();
    m_silenceTimer.stop();
    closeSocket();
    setState(AprsIsState::Error, reason);
}

void AprsIsClient::stop()
{
    forgetHistory();
    m_retryTimer.stop();
    m_silenceTimer.stop();
    closeSocket();
    setState(AprsIsState::Off, {});
}

void AprsIsClient::forgetHistory()
{
    m_backoff.reset();
    m_settleTimer.stop();
    m_unsettledCloses = 0;
    m_inUseSaid = false;
}

void AprsIsClient::connectNow()
{
    closeSocket();
    m_partial.clear();
    m_silenceTimer.start(m_timing.silenceMs);
    m_loginTimer.start(m_timing.loginTimeoutMs);
    setState(AprsIsState::Connecting, QStringLiteral("%1:%2").arg(m_login.host).arg(m_login.port));
    if (m_state == AprsIsState::Connecting)   // unless a listener stopped it
        m_socket.connectToHost(m_login.host, m_login.port);
}

void AprsIsClient::setState(AprsIsState state, const QString& detail)
{
    if (state == m_state && detail == m_detail)
        return;
    m_state = state;
    m_detail = detail;
    emit stateChanged(state, detail);
}

void AprsIsClient::connectionLost(const QString& reason, bool serverClosed)
{
    // Only a connection being made or in use is lost; this also ignores the
    // second report (error, then disconnected) of one failure.
    const bool loggedIn = m_state == AprsIsState::Verified || m_state == AprsIsState::Unverified;
    if (m_closing || (m_state != AprsIsState::Connecting && !loggedIn))
        return;
    if (loggedIn) {
        const bool unsettled = serverClosed && m_settleTimer.isActive();
        m_unsettledCloses = unsettled ? m_unsettledCloses + 1 : 0;
    }
    m_settleTimer.stop();
    const int delay = m_backoff.next();
    m_retryTimer.start(delay);
    m_silenceTimer.stop();
    closeSocket();
    setState(AprsIsState::Error, tr("%1:%2: %3; nuovo tentativo tra %4 s")
                                     .arg(m_login.host)
                                     .arg(m_login.port)
                                     .arg(reason)
                                     .arg(delay / 1000.0));
    if (m_unsettledCloses >= 2 && !m_inUseSaid && m_state == AprsIsState::Error) {
        m_inUseSaid = true;
        emit loginInUse();
    }
}

void AprsIsClient::onConnected()
{
    m_silenceTimer.start(m_timing.silenceMs);
    m_socket.write(AprsIsLoginLine(m_login.call, m_login.passcode, m_login.filter));
    setState(AprsIsState::Connecting,
             tr("%1:%2, accesso come %3").arg(m_login.host).arg(m_login.port).arg(m_login.call));
}

void AprsIsClient::onReadyRead()
{
    m_silenceTimer.start(m_timing.silenceMs);
    m_partial += m_socket.readAll();
    qsizetype start = 0;
    for (qsizetype end; (end = m_partial.indexOf('\n', start)) >= 0; start = end + 1) {
        QByteArray line = m_partial.mid(start, end - start);
        if (line.endsWith('\r'))
            line.chop(1);
        onLine(line);
        if (m_state == AprsIsState::Error || m_state == AprsIsState::Off)
            return;
    }
    m_partial.remove(0, start);
    if (m_partial.size() > kMaxLineBytes)
        m_partial.clear();
}

void AprsIsClient::onLine(const QByteArray& line)
{
    if (m_state != AprsIsState::Connecting)
        return;
    const std::optional<LoginReply> reply = ParseLoginReply(line);
    if (!reply)
        return;
    // The retry delay starts again only once a verified login has lasted:
    // one that is evicted or closed at once is no proof that the server is
    // well.
    m_loginTimer.stop();
    if (reply->verified)
        m_settleTimer.start(m_timing.settledMs);
    const QString server = reply->server.isEmpty() ? m_login.host : reply->server;
    setState(reply->verified ? AprsIsState::Verified : AprsIsState::Unverified,
             tr("server %1 (%2:%3), accesso come %4").arg(server, m_login.host).arg(m_login.port).arg(m_login.call));
}

AprsIsClient::SendResult AprsIsClient::send(const QByteArray& line)
{
    if (line.isEmpty() || line.size() > kMaxAprsIsLineBytes || line.contains('\r') || line.contains('\n'))
        return SendResult::NotALine;
    if (m_state != AprsIsState::Verified)
        return SendResult::NotLoggedIn;
    if (m_socket.bytesToWrite() + line.size() + 2 > kMaxUnsentBytes) {
        ++m_refused;
        if (!m_notReadingSaid) {
            m_notReadingSaid = true;
            emit notReading();
        }
        return SendResult::BufferFull;
    }
    m_socket.write(line + "\r\n");
    if (!m_stallTimer.isActive())
        m_stallTimer.start(m_timing.writeStallMs);
    return SendResult::Sent;
}

void AprsIsClient::onBytesWritten()
{
    // Progress: the stall counts from the last byte the system took.
    if (m_socket.bytesToWrite() > 0) {
        m_stallTimer.start(m_timing.writeStallMs);
        return;
    }
    m_stallTimer.stop();
    if (m_notReadingSaid) {
        const qint64 refused = m_refused;
        m_notReadingSaid = false;
        m_refused = 0;
        emit readingAgain(refused);
    }
}

} // namespace selvane
