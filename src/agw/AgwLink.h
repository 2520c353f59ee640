#pragma once
#include <QObject>
#include <QTcpSocket>
#include <QTimer>

#include <optional>

#include "agw/Dispatcher.h"
#include "agw/EngineProfile.h"
#include "agw/FrameAssembler.h"
#include "agw/Interfaces.h"
#include "common/Clock.h"
#include "settings/GatewaySettings.h"

namespace selvane {

// The TCP connection to the engine (Winsock1 and cmdStart's toggle): start
// and stop, the requests on connecting, the received stream cut into frames
// and handed to the dispatcher, the engine profile in force, and what
// happens when the connection fails or the engine closes it: with
// "Riconnetti automaticamente" off, a message box and the stopped state;
// with it on, a new attempt after a delay that doubles from 1 s up to 60 s
// (a connection that succeeds starts it again from 1 s), until STOP.
class AgwLink : public QObject, public IFrameSink {
    Q_OBJECT
public:
    static constexpr quint16 DefaultEnginePort = 8000;
    static constexpr int kFirstRetryMs = 1000;
    static constexpr int kMaxRetryMs = 60000;
    // An engine that has not answered the version request by then is taken
    // for an AGW Packet Engine (automatic profile).
    static constexpr int kVersionWaitMs = 3000;
    // What may wait to be sent to the engine (beyond the system's own socket
    // buffer): some 1,300 re-transmitted packets.
    static constexpr qint64 kMaxPendingOutput = 256 * 1024;

    AgwLink(ILinkView& view, const ILiveSettings& settings, IRoutingStep& router, Clock clock,
            quint16 enginePort = DefaultEnginePort, QObject* parent = nullptr);
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

    const GatewayCounters& counters() const { return m_counters; }
    // Frames dropped since the program started because the engine did not
    // read them.
    qint64 droppedFrames() const { return m_droppedFrames; }
    // Received bytes not yet handed on as a frame; bytes still to be sent.
    qsizetype pendingInput() const { return m_assembler.pending(); }
    qint64 pendingOutput() const { return m_socket.bytesToWrite(); }
    const Dispatcher& dispatcher() const { return m_dispatcher; }
    // Told of every heard packet (see Dispatcher::onHeard).
    void setHeardObserver(std::function<void(const HeardPacket&)> observer)
    {
        m_dispatcher.onHeard = std::move(observer);
    }

signals:
    // The connection was established and the requests were sent.
    void linkConnected();
    // The engine answered the version request.
    void versionReported(selvane::EngineVersion version);
    // The link went back to the stopped state (user, error or engine).
    void linkStopped();
    // The connection failed or was closed and is tried again in delayMs.
    void reconnectScheduled(const QString& reason, int delayMs);
    // The received stream was out of step; the connection is closed (and
    // tried again with reconnecting on).
    void streamOutOfStep();
    // The engine stopped reading: the first frame that did not fit was
    // dropped. outputResumed: a frame fits again after `dropped` did not.
    void outputBlocked();
    void outputResumed(qint64 dropped);

private:
    void start();
    void connectNow();
    void stopBranch();
    void connectionLost(const QString& reason);
    void onConnected();
    void onReadyRead();
    void onError(QAbstractSocket::SocketError error);
    void onDisconnected();
    void updateProfile();

    ILinkView& m_view;
    const ILiveSettings& m_settings;
    IRoutingStep& m_router;
    Clock m_clock;
    quint16 m_enginePort;
    QTcpSocket m_socket;
    FrameAssembler m_assembler;
    GatewayCounters m_counters;
    Dispatcher m_dispatcher;
    bool m_running = false;
    bool m_rawOn = false;          // "k" sent on this connection (it is a toggle)
    bool m_versionTimedOut = false;
    std::optional<EngineVersion> m_version;
    QTimer m_versionTimer;
    QTimer m_retryTimer;
    int m_nextRetryMs = kFirstRetryMs;
    qint64 m_droppedFrames = 0;
    qint64 m_droppedInEpisode = 0;
};

} // namespace selvane
