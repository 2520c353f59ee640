#include "agw/AgwLink.h"

#include "agw/AgwFrame.h"

namespace selvane {

AgwLink::AgwLink(ILinkView& view, const ILiveSettings& settings, IRoutingStep& router, Clock clock,
                 quint16 enginePort, QObject* parent)
    : QObject(parent),
      m_view(view),
      m_settings(settings),
      m_router(router),
      m_clock(std::move(clock)),
      m_enginePort(enginePort),
      m_dispatcher(view, router, m_counters)
{
    connect(&m_socket, &QTcpSocket::connected, this, &AgwLink::onConnected);
    connect(&m_socket, &QTcpSocket::readyRead, this, &AgwLink::onReadyRead);
    connect(&m_socket, &QTcpSocket::errorOccurred, this, &AgwLink::onError);
    connect(&m_socket, &QTcpSocket::disconnected, this, &AgwLink::onDisconnected);
}

AgwLink::~AgwLink()
{
    // The socket outlives the other members; it must not notify into them.
    m_socket.disconnect(this);
    m_socket.abort();
}

bool AgwLink::isClosed() const
{
    return m_socket.state() == QAbstractSocket::UnconnectedState;
}

void AgwLink::toggle()
{
    if (isClosed() && !m_running)
        start();
    else
        stopBranch();
}

void AgwLink::start()
{
    m_assembler.clear();
    m_running = true;
    m_view.setRunning(true);
    const QDateTime now = m_clock();
    m_counters.startDate = now.date();
    m_counters.startTime = now.time();
    m_counters.totalCount = 0;
    m_counters.toOutCount = 0;
    m_counters.toSatsCount = 0;
    // The status label keeps its text until the engine's version arrives.
    m_socket.connectToHost(m_settings.agwpeHost(), m_enginePort);
}

void AgwLink::stopBranch()
{
    // Cleared first, so the disconnect that abort() may report is not taken
    // for the engine closing the link.
    m_running = false;
    m_socket.abort();
    m_assembler.clear();
    m_view.setTrayTip(m_view.caption() + QStringLiteral(" disabilitato"));
    // The lists are emptied; the received list keeps its colour.
    const PacketColour lastColour = m_dispatcher.received().colour;
    m_dispatcher.clear();
    m_router.reset();
    m_view.showTransmitted({});
    m_view.showReceived({}, lastColour);
    m_view.clearPorts();
    m_view.setStatusText(QStringLiteral("Connessione ad AGW Packet Engine chiusa"));
    m_view.setRunning(false);
    emit linkStopped();
}

void AgwLink::closeForExit()
{
    m_running = false;
    if (!isClosed())
        m_socket.abort();
    m_assembler.clear();
}

void AgwLink::onConnected()
{
    // Frames are small and the engine may send nothing back: without this a
    // burst of re-transmissions can wait for the engine's delayed ACK.
    m_socket.setSocketOption(QAbstractSocket::LowDelayOption, 1);
    SendAgwRequest('m');
    m_view.setTrayTip(m_view.caption() + QStringLiteral(" abilitato"));
    SendAgwRequest('R');
    SendAgwRequest('G');
    emit linkConnected();
}

void AgwLink::onReadyRead()
{
    const QByteArray bytes = m_socket.readAll();
    m_assembler.feed(bytes, [this](const QByteArray& block, qsizetype h, qint64 length) {
        m_dispatcher.DispatchFrame(block, h, length);
    });
}

void AgwLink::onError(QAbstractSocket::SocketError error)
{
    if (!m_running)
        return;
    if (error == QAbstractSocket::RemoteHostClosedError) {
        // The engine closed the link: stopped, as after STOP, with no message.
        stopBranch();
        return;
    }
    const QString description = m_socket.errorString();
    // The socket is shut before the modal box, so nothing arrives while the
    // user reads it; then the link takes the stop branch.
    m_running = false;
    m_socket.abort();
    m_view.showSocketError(description);
    stopBranch();
}

void AgwLink::onDisconnected()
{
    if (m_running)
        stopBranch();
}

void AgwLink::SendAgwRequest(char kind)
{
    sendFrame(BuildAgwRequest(kind));
}

void AgwLink::sendFrame(const QByteArray& frame)
{
    if (m_socket.state() == QAbstractSocket::ConnectedState)
        m_socket.write(frame);
}

} // namespace selvane
