#pragma once
#include <QObject>
#include <QTcpSocket>

#include "agw/Dispatcher.h"
#include "agw/FrameAssembler.h"
#include "agw/Interfaces.h"
#include "common/Clock.h"
#include "settings/GatewaySettings.h"

namespace selvane {

// The TCP connection to the engine (Winsock1 and cmdStart's toggle): start
// and stop, the three requests on connecting, the received stream cut into
// frames and handed to the dispatcher, socket errors shown and the link put
// back into the stopped state.
class AgwLink : public QObject, public IFrameSink {
    Q_OBJECT
public:
    static constexpr quint16 DefaultEnginePort = 8000;

    AgwLink(ILinkView& view, const ILiveSettings& settings, IRoutingStep& router, Clock clock,
            quint16 enginePort = DefaultEnginePort, QObject* parent = nullptr);
    ~AgwLink() override;

    // A click on cmdStart.
    void toggle();
    // The socket is closed (not connecting, connected or closing).
    bool isClosed() const;
    // Whether the button shows STOP (a start was requested and not undone).
    bool isRunning() const { return m_running; }
    // Exit: closes the connection if open; nothing else of the stop.
    void closeForExit();

    void SendAgwRequest(char kind);
    void sendFrame(const QByteArray& frame) override;

    const GatewayCounters& counters() const { return m_counters; }
    const Dispatcher& dispatcher() const { return m_dispatcher; }
    quint16 enginePort() const { return m_enginePort; }

signals:
    // The connection was established and the three requests were sent.
    void linkConnected();
    // The link went back to the stopped state (user, error or engine).
    void linkStopped();

private:
    void start();
    void stopBranch();
    void onConnected();
    void onReadyRead();
    void onError(QAbstractSocket::SocketError error);
    void onDisconnected();

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
};

} // namespace selvane
