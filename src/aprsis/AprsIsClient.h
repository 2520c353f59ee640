#pragma once
#include <QByteArray>
#include <QObject>
#include <QString>
#include <QTcpSocket>
#include <QTimer>

#include <optional>

#include "common/Backoff.h"

namespace selvane {

// The longest line an APRS-IS server takes, before its CR LF (512 with it).
inline constexpr qsizetype kMaxAprsIsLineBytes = 510;

// Where the APRS-IS connection stands.
enum class AprsIsState {
    Off,          // not configured, or switched off
    Connecting,   // looking up, connecting, or logged in and waiting for the reply
    Verified,     // logged in, passcode accepted: uploads go out
    Unverified,   // logged in, passcode refused: the server would drop uploads
    Error,        // the connection failed or was lost (a new attempt follows), or the settings cannot work
};

// "off", "connecting", "connected, verified", ...
QString AprsIsStateText(AprsIsState state);

// The login line an APRS-IS server expects first, with its CR LF:
//   user N1CALL-5 pass 13022 vers Selvane 3.0 filter r/45/9/100\r\n
// (" filter ..." only when a filter is set).
QByteArray AprsIsLoginLine(const QString& call, int passcode, const QString& filter);

// The server's answer to the login: "# logresp N1CALL-5 verified, server T2TEST".
struct LoginReply {
    QString call;
    bool verified = false;
    QString server;
};
std::optional<LoginReply> ParseLoginReply(const QByteArray& line);

struct AprsIsLogin {
    QString host;
    quint16 port = 0;
    QString call;
    int passcode = -1;
    QString filter;

    bool operator==(const AprsIsLogin&) const = default;
};

// One APRS-IS client connection: connects, logs in, reads the server's reply
// and keepalives, and writes upload lines without ever blocking.
//
// A failed or lost connection is tried again after a delay that starts at
// retry.firstMs and doubles up to retry.maxMs, as the engine link does; only
// a verified login that has lasted settledMs starts it again from the
// beginning (a server that verifies and closes at once is no proof that it
// is well). A connection on which the server sends nothing for silenceMs
// (servers send a comment line about every 20 s) is taken for dead, closed
// and tried again; so is one whose login is not answered within
// loginTimeoutMs (a server may send comments and never the reply). Lines the
// server sends other than the login reply are read and dropped.
//
// A server that stops reading: at most kMaxUnsentBytes wait in the socket;
// a line beyond them is refused (the caller counts it as missed), said once
// (notReading) until the server reads again (readingAgain, with the number
// refused). When nothing at all could be written for writeStallMs, the
// connection is closed and opened again.
//
// A server evicts a verified login when another client logs in with the
// same call, and says nothing to the one it evicts (aprsc 2.1.21 shuts the
// older connection down; it only writes "Disconnecting duplicate validated
// client" in its own log). Two clients sharing a login then evict each
// other at every retry. So a login the server closes before it has
// settled, twice in a row, is taken for one in use by another client: said
// once (loginInUse), until a login settles again; the retries keep their
// growing delay meanwhile, so the two clients' fight slows down to one
// round a minute.
class AprsIsClient : public QObject {
    Q_OBJECT
public:
    struct Timing {
        RetryTiming retry;
        int silenceMs = 60000;
        int settledMs = 60000;
        int loginTimeoutMs = 30000;
        int writeStallMs = 30000;
    };
    // Bytes allowed to wait in the socket: beyond this a line is refused,
    // so a server that stops reading cannot make the process grow.
    static constexpr qint64 kMaxUnsentBytes = 32 * 1024;

    explicit AprsIsClient(Timing timing, QObject* parent = nullptr);
    ~AprsIsClient() override;

    // Connects with these values (a connection already open is closed).
    void start(const AprsIsLogin& login);
    // The settings cannot work: no connection, the Error state with reason.
    void fail(const QString& reason);
    // Closes the connection: Off.
    void stop();

    AprsIsState state() const { return m_state; }
    // Since loginInUse was said, until a login settles (or a new start).
    bool loginSeemsInUse() const { return m_inUseSaid; }
    // What goes with the state: the server and login, or the error.
    QString detail() const { return m_detail; }
    const AprsIsLogin& login() const { return m_login; }

    enum class SendResult { Sent, NotLoggedIn, BufferFull, NotALine };
    // Queues one line (CR LF added) when logged in and verified. An empty
    // text, one holding CR or LF, or one longer than kMaxAprsIsLineBytes is
    // no line and is never written.
    SendResult send(const QByteArray& line);

    // "login in uso da un altro client"
    static QString LoginInUseText();

signals:
    void stateChanged(AprsIsState state, const QString& detail);
    // The login seems to be in use by another client (see above).
    void loginInUse();
    // The server stopped reading: lines are refused from now on (said once).
    void notReading();
    // It reads again; refused: the lines refused meanwhile.
    void readingAgain(qint64 refused);

private:
    void connectNow();
    void closeSocket();
    // A new start: no retry delay grown, nothing said of the login.
    void forgetHistory();
    void setState(AprsIsState state, const QString& detail);
    // serverClosed: the server ended the connection in an orderly way.
    void connectionLost(const QString& reason, bool serverClosed);
    void onConnected();
    void onReadyRead();
    void onLine(const QByteArray& line);
    void onBytesWritten();

    Timing m_timing;
    AprsIsLogin m_login;
    QTcpSocket m_socket;
    QTimer m_retryTimer;
    QTimer m_silenceTimer;
    QTimer m_settleTimer;          // runs from a verified login until it has settled
    QTimer m_loginTimer;           // runs from the connection attempt until the login reply
    QTimer m_stallTimer;           // runs while bytes wait and none could be written
    bool m_notReadingSaid = false;
    qint64 m_refused = 0;          // lines refused since notReading
    QByteArray m_partial;          // the start of a line not ended yet
    Backoff m_backoff;
    bool m_closing = false;        // inside closeSocket()
    int m_unsettledCloses = 0;     // logins in a row the server closed before they settled
    bool m_inUseSaid = false;
    AprsIsState m_state = AprsIsState::Off;
    QString m_detail;
};

} // namespace selvane
