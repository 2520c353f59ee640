#pragma once
#include <QObject>
#include <QTimer>

#include <functional>
#include <memory>

#include "agw/EngineConfig.h"
#include "agw/EngineTransport.h"
#include "agw/HeardHandler.h"
#include "agw/Interfaces.h"
#include "common/Backoff.h"
#include "common/Clock.h"
#include "settings/GatewaySettings.h"

namespace selvane {

// The link's waits (tests shorten them).
struct LinkTiming {
    RetryTiming retry{1000, 60000};  // after a failed attempt or a loss
    int connectTimeoutMs = 10000;    // for an attempt to connect
    int replyTimeoutMs = 10000;      // for an AGW engine's version reply
    // An AGW engine that has not answered the version request by then is
    // taken for an AGW Packet Engine (automatic profile).
    int profileWaitMs = 3000;
    // A "V" frame whose transmission an AGW engine (one that reports its
    // transmissions) has not reported by then was dropped by it.
    int transmitReportMs = 5000;
};

// The link to the engine, whichever it is (the seam between the engine and
// the gateway): cmdStart's toggle, the attempts to connect and what happens
// when one fails or a connection ends, the received stream handed to the
// engine's decoder in bounded pieces, and the packets to send written in the
// engine's wire form with a bounded queue. What is heard goes to the heard
// handler, the same for every engine. AgwLink and KissLink say how their
// engine is spoken to.
//
// An attempt that has not connected within connectTimeoutMs fails. A
// failed attempt or a lost connection, with "Riconnetti automaticamente"
// off, shows a message box (none when the engine closed the link, or for the
// link's own reasons, which the status line gives) and goes back to the
// stopped state; with it on, a new attempt follows after a delay that
// doubles from 1 s up to 60 s and starts again from 1 s once an engine has
// proved good (an AGW engine answered, a KISS link opened), until STOP.
//
// The received stream is read in pieces of at most kReadPieceBytes, each
// handed on before the next is read, with the event loop running between
// them: what the kernel has buffered never sits in memory at once, and
// signals, STOP and timers are not kept waiting by a flood.
class EngineLink : public QObject, public IPacketSink {
    Q_OBJECT
public:
    using Timing = LinkTiming;
    // What may wait to be sent to the engine (beyond the system's own
    // buffer): some 1,300 re-transmitted packets.
    static constexpr qint64 kMaxPendingOutput = 256 * 1024;
    // The most read from the engine at a time (also the socket's own buffer).
    static constexpr qint64 kReadPieceBytes = kEngineReadPieceBytes;

    ~EngineLink() override;

    virtual EngineKind kind() const = 0;
    // Where the engine is, as shown ("127.0.0.1:8000", "/dev/ttyUSB0 a 9600 bit/s").
    virtual QString addressText() const = 0;

    // A click on cmdStart.
    void toggle();
    // Not connecting, connected or closing.
    bool isClosed() const { return m_transport->isClosed(); }
    // Whether the button shows STOP (a start was requested and not undone).
    bool isRunning() const { return m_running; }
    // Waiting to connect again.
    bool isReconnecting() const { return m_retryTimer.isActive(); }
    // Exit: closes the connection if open; nothing else of the stop.
    void closeForExit();

    void sendPacket(const OutgoingPacket& packet, int port) override;

    const GatewayCounters& counters() const { return m_counters; }
    // Frames dropped since the program started because the engine did not
    // read them.
    qint64 droppedFrames() const { return m_droppedFrames; }
    // Received bytes not yet handed on; bytes received and not yet read;
    // bytes still to be sent.
    virtual qsizetype pendingInput() const = 0;
    qint64 unreadInput() const { return m_transport->device().bytesAvailable(); }
    qint64 pendingOutput() const { return m_transport->device().bytesToWrite(); }
    // Told of every heard packet (see HeardHandler::onHeard).
    void setHeardObserver(std::function<void(const HeardPacket&)> observer)
    {
        heardHandler().onHeard = std::move(observer);
    }

    // "connessione a ADDRESS…"
    static QString ConnectingText(const QString& address);
    // What the status line says of a lost connection (with "%2" for the time
    // of the next attempt), a stream out of step, an engine that does not read.
    static QString LostText(const QString& engine);
    static QString OutOfStepText();
    static QString NotReadingText(const QString& engine);

signals:
    // An attempt to connect starts (at START and at each retry).
    void connecting(const QString& address);
    // The attempt failed: refused, no such host or device, no answer in time.
    void connectFailed(const QString& reason);
    // The connection was established (and an AGW engine's requests sent).
    void linkConnected();
    // An established connection ended without STOP.
    void connectionLost(const QString& reason);
    // The link went back to the stopped state (user, error or engine).
    void linkStopped();
    // After a failed attempt or a lost connection: tried again in delayMs.
    void reconnectScheduled(const QString& reason, int delayMs);
    // The engine stopped reading: the first frame that did not fit was
    // dropped. outputResumed: a frame fits again after `dropped` did not.
    void outputBlocked();
    void outputResumed(qint64 dropped);

protected:
    // How a connection or an attempt ended, for what the user is shown.
    enum class Ending {
        AttemptFailed,  // never connected: message box
        SocketError,    // connected, then an error: message box
        EngineClosed,   // the engine closed the link: no message
        OwnReason,      // the link's own finding: said in the status line
    };

    EngineLink(ILinkView& view, const ILiveSettings& settings, IRoutingStep& router, Clock clock,
               std::unique_ptr<EngineTransport> transport, Timing timing, QObject* parent);

    // The engine's part.
    virtual HeardHandler& heardHandler() = 0;
    // Everything that belonged to a connection (partial frames, held frames).
    virtual void clearSession() = 0;
    // The connection is up: requests, status line.
    virtual void onOpened() = 0;
    // The engine's own timers, stopped with the connection.
    virtual void stopTimers() {}
    // Hands the bytes to the engine's decoder; false when the stream is out
    // of step and the connection must be made again.
    virtual bool consume(const QByteArray& bytes) = 0;
    // A packet in the engine's wire form for one port; empty: not sent.
    virtual QByteArray encode(const OutgoingPacket& packet, int port) = 0;
    // The lists emptied at STOP (the received list keeps its colour).
    virtual void clearLists() = 0;
    // "AGWPE", "TNC KISS": how the status line names the engine.
    virtual QString engineName() const = 0;
    // "Connessione ad AGW Packet Engine chiusa".
    virtual QString closedText() const = 0;

    void end(Ending how, const QString& reason);
    // The engine proved good: the next loss is tried again from the first step.
    void resetBackoff() { m_backoff.reset(); }
    // Writes bytes to the engine, dropping what does not fit (counted, said).
    void writeBounded(const QByteArray& bytes);
    bool isConnected() const { return m_transport->isOpen(); }
    EngineTransport& transport() { return *m_transport; }

    ILinkView& m_view;
    const ILiveSettings& m_settings;
    IRoutingStep& m_router;
    Clock m_clock;
    Timing m_timing;
    GatewayCounters m_counters;

private:
    void start();
    void connectNow();
    void stopBranch();
    void retryLater(const QString& reason, const QString& statusText);
    void onTransportOpened();
    void readPiece();
    void onFailed(const QString& reason);
    void onLost(const QString& reason, bool peerClosed);

    EngineTransport* m_transport;  // a child of the link, as a test finds its socket
    Backoff m_backoff;
    bool m_running = false;
    bool m_retrying = false;       // the attempt under way is a retry
    bool m_readQueued = false;     // a continuation of the reading is posted
    QTimer m_connectTimer;
    QTimer m_retryTimer;
    qint64 m_droppedFrames = 0;
    qint64 m_droppedInEpisode = 0;
};

} // namespace selvane
