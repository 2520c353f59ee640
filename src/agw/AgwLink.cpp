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
    m_dispatcher.onVersion = [this](EngineVersion version) {
        m_version = version;
        m_versionTimer.stop();
        emit versionReported(version);
        updateProfile();
    };
    m_versionTimer.setSingleShot(true);
    connect(&m_versionTimer, &QTimer::timeout, this, [this] {
        m_versionTimedOut = true;
        updateProfile();
    });
    m_retryTimer.setSingleShot(true);
    connect(&m_retryTimer, &QTimer::timeout, this, &AgwLink::connectNow);
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
    m_running = true;
    m_nextRetryMs = kFirstRetryMs;
    m_view.setRunning(true);
    const QDateTime now = m_clock();
    m_counters.startDate = now.date();
    m_counters.startTime = now.time();
    m_counters.totalCount = 0;
    m_counters.toOutCount = 0;
    m_counters.toSatsCount = 0;
    m_counters.heldCount = 0;
    // The status label keeps its text until the engine's version arrives.
    connectNow();
}

void AgwLink::connectNow()
{
    m_assembler.clear();
    m_dispatcher.clear();
    m_rawOn = false;
    m_version.reset();
    m_versionTimedOut = false;
    // Frames heard before the engine says what it is are held (automatic
    // profile); a chosen profile is in force from the first frame.
    m_dispatcher.setProfile(ProfileInForce(m_settings.engineChoice(), std::nullopt));
    m_socket.connectToHost(m_settings.agwpeHost(), m_enginePort);
}

std::optional<EngineProfile> AgwLink::profileInForce() const
{
    const std::optional<EngineProfile> p = ProfileInForce(m_settings.engineChoice(), m_version);
    if (!p && m_versionTimedOut)
        return EngineProfile::Agwpe;
    return p;
}

void AgwLink::engineChoiceChanged()
{
    updateProfile();
}

void AgwLink::updateProfile()
{
    const std::optional<EngineProfile> p = profileInForce();
    if (m_socket.state() == QAbstractSocket::ConnectedState) {
        // "k" toggles the engine's raw frames: asked for exactly while the
        // Dire Wolf-compatible profile is in force.
        const bool wantRaw = p == EngineProfile::DireWolf;
        if (wantRaw != m_rawOn) {
            SendAgwRequest('k');
            m_rawOn = wantRaw;
        }
    }
    m_view.showEngineProfile(ProfileDescription(m_settings.engineChoice(), p));
    if (m_running)
        m_dispatcher.setProfile(p);
}

void AgwLink::stopBranch()
{
    // Cleared first, so the disconnect that abort() may report is not taken
    // for the engine closing the link.
    m_running = false;
    m_retryTimer.stop();
    m_versionTimer.stop();
    m_socket.abort();
    m_assembler.clear();
    m_version.reset();
    m_view.setTrayTip(tr("%1 disabilitato").arg(m_view.caption()));
    // The lists are emptied; the received list keeps its colour.
    const PacketColour lastColour = m_dispatcher.received().colour;
    m_dispatcher.clear();
    m_router.reset();
    m_view.showTransmitted({});
    m_view.showReceived({}, lastColour);
    m_view.clearPorts();
    m_view.setStatusText(tr("Connessione ad AGW Packet Engine chiusa"));
    m_view.setRunning(false);
    emit linkStopped();
}

void AgwLink::closeForExit()
{
    m_running = false;
    m_retryTimer.stop();
    m_versionTimer.stop();
    if (!isClosed())
        m_socket.abort();
    m_assembler.clear();
}

void AgwLink::connectionLost(const QString& reason)
{
    // The gateway stays started: the session's duplicate store and counters
    // are kept, what belonged to the old connection goes.
    // The retry is armed before the socket is shut, so the disconnect that
    // abort() reports is known to be handled already.
    const int delay = m_nextRetryMs;
    m_nextRetryMs = std::min(m_nextRetryMs * 2, kMaxRetryMs);
    m_retryTimer.start(delay);
    m_versionTimer.stop();
    m_socket.abort();
    m_assembler.clear();
    m_dispatcher.clear();
    m_view.clearPorts();
    const QString at = m_clock().addMSecs(delay).time().toString(QStringLiteral("HH:mm:ss"));
    m_view.setStatusText(tr("Collegamento con AGWPE perso: nuovo tentativo alle %1").arg(at));
    m_view.setTrayTip(tr("%1 in riconnessione").arg(m_view.caption()));
    emit reconnectScheduled(reason, delay);
}

void AgwLink::onConnected()
{
    m_nextRetryMs = kFirstRetryMs;
    // Frames are small and the engine may send nothing back: without this a
    // burst of re-transmissions can wait for the engine's delayed ACK.
    m_socket.setSocketOption(QAbstractSocket::LowDelayOption, 1);
    SendAgwRequest('m');
    m_view.setTrayTip(tr("%1 abilitato").arg(m_view.caption()));
    SendAgwRequest('R');
    SendAgwRequest('G');
    if (!profileInForce())
        m_versionTimer.start(kVersionWaitMs);
    updateProfile();
    emit linkConnected();
}

void AgwLink::onReadyRead()
{
    const QByteArray bytes = m_socket.readAll();
    const bool inStep = m_assembler.feed(bytes, [this](const QByteArray& block, qsizetype h, qint64 length) {
        m_dispatcher.DispatchFrame(block, h, length);
    });
    if (inStep || !m_running || m_socket.state() != QAbstractSocket::ConnectedState)
        return;
    // Out of step: no frame boundary can be trusted any more, so the only
    // sure way back is a new connection (or the stopped state).
    const QString reason = tr("flusso dal motore fuori passo");
    emit streamOutOfStep();
    if (m_settings.autoReconnect()) {
        connectionLost(reason);
        return;
    }
    stopBranch();
    m_view.setStatusText(tr("Connessione ad AGW Packet Engine chiusa: %1").arg(reason));
}

void AgwLink::onError(QAbstractSocket::SocketError error)
{
    if (!m_running || m_retryTimer.isActive())
        return;
    const QString description = m_socket.errorString();
    if (m_settings.autoReconnect()) {
        connectionLost(description);
        return;
    }
    if (error == QAbstractSocket::RemoteHostClosedError) {
        // The engine closed the link: stopped, as after STOP, with no message.
        stopBranch();
        return;
    }
    // The socket is shut before the modal box, so nothing arrives while the
    // user reads it; then the link takes the stop branch.
    m_running = false;
    m_socket.abort();
    m_view.showSocketError(description);
    stopBranch();
}

void AgwLink::onDisconnected()
{
    if (!m_running || m_retryTimer.isActive())
        return;
    if (m_settings.autoReconnect())
        connectionLost(tr("The remote host closed the connection"));
    else
        stopBranch();
}

void AgwLink::SendAgwRequest(char kind)
{
    sendFrame(BuildAgwRequest(kind));
}

void AgwLink::sendFrame(const QByteArray& frame)
{
    if (m_socket.state() != QAbstractSocket::ConnectedState)
        return;
    // An engine that stops reading must not make this queue grow without
    // bound: what does not fit is dropped, counted and reported.
    if (m_socket.bytesToWrite() + frame.size() > kMaxPendingOutput) {
        ++m_droppedFrames;
        if (m_droppedInEpisode++ == 0) {
            m_view.setStatusText(tr("AGWPE non legge: pacchetti da trasmettere scartati"));
            emit outputBlocked();
        }
        return;
    }
    if (m_droppedInEpisode > 0) {
        emit outputResumed(m_droppedInEpisode);
        m_droppedInEpisode = 0;
    }
    m_socket.write(frame);
}

} // namespace selvane
