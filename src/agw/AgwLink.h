#pragma once
#include <QList>
#include <QObject>
#include <QTcpSocket>
#include <QTimer>

#include <optional>

#include "agw/Dispatcher.h"
#include "agw/EnginePorts.h"
#include "agw/EngineProfile.h"
#include "agw/FrameAssembler.h"
#include "agw/Interfaces.h"
#include "common/Backoff.h"
#include "common/Clock.h"
#include "settings/GatewaySettings.h"

namespace selvane {

// The link's waits (tests shorten them).
struct AgwLinkTiming {
    RetryTiming retry{1000, 60000};  // after a failed attempt or a loss
    int connectTimeoutMs = 10000;    // for an attempt to connect
    int replyTimeoutMs = 10000;      // for the engine's version reply
    // An engine that has not answered the version request by then is taken
    // for an AGW Packet Engine (automatic profile).
    int profileWaitMs = 3000;
};

// The TCP connection to the engine (Winsock1 and cmdStart's toggle): start
// and stop, the requests on connecting, the received stream cut into frames
// and handed to the dispatcher, the engine profile in force, the radio ports
// the engine can send on, and what happens when the connection fails or
// ends.
//
// An attempt that has not connected within connectTimeoutMs fails. A
// connection whose peer has not answered the version request within
// replyTimeoutMs is no engine's (a web server on the port, say) and is
// treated as lost. A failed attempt or a lost connection, with
// "Riconnetti automaticamente" off, shows a message box (none when the
// engine closed the link, or for the link's own reasons, which the status
// line gives) and goes back to the stopped state; with it on, a new attempt
// follows after a delay that doubles from 1 s up to 60 s and starts again
// from 1 s once an engine has answered, until STOP.
//
// The received stream is read in pieces of at most kReadPieceBytes, each
// handed on before the next is read, with the event loop running between
// them: what the kernel has buffered (many MB on some systems) never sits
// in memory at once, and signals, STOP and timers are not kept waiting by a
// flood.
class AgwLink : public QObject, public IFrameSink {
    Q_OBJECT
public:
    using Timing = AgwLinkTiming;
    static constexpr quint16 DefaultEnginePort = 8000;
    // What may wait to be sent to the engine (beyond the system's own socket
    // buffer): some 1,300 re-transmitted packets.
    static constexpr qint64 kMaxPendingOutput = 256 * 1024;
    // The most read from the engine at a time (also the socket's own buffer).
    static constexpr qint64 kReadPieceBytes = 1024 * 1024;

    AgwLink(ILinkView& view, const ILiveSettings& settings, IRoutingStep& router, Clock clock,
            quint16 enginePort = DefaultEnginePort, Timing timing = {}, QObject* parent = nullptr);
    ~AgwLink() override;

    // A click on cmdStart.
    void toggle();
    // The socket is closed (not connecting, connected or closing).
    bool isClosed() const;
    // Whether the button shows STOP (a start was requested and not undone).
    bool isRunning() const { return m_running; }
    // Waiting to connect again.
    bool isReconnecting() const { return m_retryTimer.isActive(); }
    // Exit: closes the connection if open; nothing else of the stop.
    void closeForExit();

    // The user changed the engine profile: the one in force follows at once
    // (raw frames asked for or switched off).
    void engineChoiceChanged();
    std::optional<EngineProfile> profileInForce() const;

    void SendAgwRequest(char kind);
    void sendFrame(const QByteArray& frame) override;
    // A port the engine's "G" reply does not have, or calls invalid, cannot
    // be sent on; before the reply every port is taken as it comes.
    bool canSendOn(int port) const override;

    const GatewayCounters& counters() const { return m_counters; }
    // Frames dropped since the program started because the engine did not
    // read them.
    qint64 droppedFrames() const { return m_droppedFrames; }
    // Received bytes not yet handed on as a frame; bytes received and not
    // yet read from the socket; bytes still to be sent.
    qsizetype pendingInput() const { return m_assembler.pending(); }
    qint64 unreadInput() const { return m_socket.bytesAvailable(); }
    qint64 pendingOutput() const { return m_socket.bytesToWrite(); }
    const Dispatcher& dispatcher() const { return m_dispatcher; }
    // Told of every heard packet (see Dispatcher::onHeard).
    void setHeardObserver(std::function<void(const HeardPacket&)> observer)
    {
        m_dispatcher.onHeard = std::move(observer);
    }

    // What the status line and selvaned say of the link's own findings.
    static QString ConnectingText(const QString& host, quint16 port);   // "connessione a HOST:PORT…"
    static QString NoEngineReplyText();                                  // "nessuna risposta del motore"
    static QString UnusablePortsText(const QList<int>& ports);
    // The ports of the Sats and Out lists the engine cannot send on (0-based,
    // in list order, each once); empty before its "G" reply.
    QList<int> unusablePorts() const;

signals:
    // An attempt to connect starts (at START and at each retry).
    void connecting(const QString& host, quint16 port);
    // The attempt failed: refused, no such host, no answer in time.
    void connectFailed(const QString& reason);
    // The connection was established and the requests were sent.
    void linkConnected();
    // The engine answered the version request.
    void versionReported(selvane::EngineVersion version);
    // An established connection ended without STOP (the engine closed it, an
    // error, no engine reply, the stream out of step).
    void connectionLost(const QString& reason);
    // The link went back to the stopped state (user, error or engine).
    void linkStopped();
    // After a failed attempt or a lost connection: tried again in delayMs.
    void reconnectScheduled(const QString& reason, int delayMs);
    // The peer did not answer the version request in time; the connection
    // is treated as lost.
    void noEngineReply();
    // Ports named in Sats or Out that the engine cannot send on (0-based),
    // said when its port list arrives; nothing is sent to them.
    void portsUnusable(const QList<int>& ports);
    // The received stream was out of step; the connection is closed (and
    // tried again with reconnecting on).
    void streamOutOfStep();
    // The engine stopped reading: the first frame that did not fit was
    // dropped. outputResumed: a frame fits again after `dropped` did not.
    void outputBlocked();
    void outputResumed(qint64 dropped);

private:
    // How a connection or an attempt ended, for what the user is shown.
    enum class Ending {
        AttemptFailed,  // never connected: message box
        SocketError,    // connected, then an error: message box
        EngineClosed,   // the engine closed the link: no message
        OwnReason,      // the link's own finding: said in the status line
    };

    void start();
    void connectNow();
    void stopBranch();
    void end(Ending how, const QString& reason);
    void retryLater(const QString& reason, const QString& statusText);
    void onConnected();
    void onReadyRead();
    void readPiece();
    void onError(QAbstractSocket::SocketError error);
    void onDisconnected();
    void onPorts(const EnginePorts& ports);
    void updateProfile();

    ILinkView& m_view;
    const ILiveSettings& m_settings;
    IRoutingStep& m_router;
    Clock m_clock;
    quint16 m_enginePort;
    Timing m_timing;
    QTcpSocket m_socket;           // a child of the link, as a test finds it
    FrameAssembler m_assembler;
    GatewayCounters m_counters;
    Dispatcher m_dispatcher;
    Backoff m_backoff;
    bool m_running = false;
    bool m_connected = false;      // this attempt connected
    bool m_retrying = false;       // the attempt under way is a retry
    bool m_readQueued = false;     // a continuation of the reading is posted
    bool m_rawOn = false;          // "k" sent on this connection (it is a toggle)
    bool m_versionTimedOut = false;
    std::optional<EngineVersion> m_version;
    std::optional<EnginePorts> m_ports;
    QTimer m_versionTimer;         // the automatic profile's wait
    QTimer m_connectTimer;
    QTimer m_replyTimer;
    QTimer m_retryTimer;
    qint64 m_droppedFrames = 0;
    qint64 m_droppedInEpisode = 0;
};

} // namespace selvane
