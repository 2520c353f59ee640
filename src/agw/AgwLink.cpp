#include "agw/AgwLink.h"

#include "agw/AgwFrame.h"
#include "gateway/Router.h"

namespace selvane {

AgwLink::AgwLink(ILinkView& view, const ILiveSettings& settings, IRoutingStep& router, Clock clock,
                 quint16 enginePort, Timing timing, QObject* parent)
    : QObject(parent),
      m_view(view),
      m_settings(settings),
      m_router(router),
      m_clock(std::move(clock)),
      m_enginePort(enginePort),
      m_timing(timing),
      m_socket(this),
      m_dispatcher(view, router, m_counters),
      m_backoff(timing.retry)
{
    // Beyond this the socket leaves what the engine sent with the system
    // until the link has handed on what it holds.
    m_socket.setReadBufferSize(kReadPieceBytes);
    connect(&m_socket, &QTcpSocket::connected, this, &AgwLink::onConnected);
    connect(&m_socket, &QTcpSocket::readyRead, this, &AgwLink::onReadyRead);
    connect(&m_socket, &QTcpSocket::errorOccurred, this, &AgwLink::onError);
    connect(&m_socket, &QTcpSocket::disconnected, this, &AgwLink::onDisconnected);
    m_dispatcher.onVersion = [this](EngineVersion version) {
        // An engine answered: the connection is good, and the next loss
        // is tried again from the first step.
        m_version = version;
        m_versionTimer.stop();
        m_replyTimer.stop();
        m_backoff.reset();
        emit versionReported(version);
        updateProfile();
    };
    m_dispatcher.onPorts = [this](const EnginePorts& ports) { onPorts(ports); };
    m_versionTimer.setSingleShot(true);
    connect(&m_versionTimer, &QTimer::timeout, this, [this] {
        m_versionTimedOut = true;
        updateProfile();
    });
    m_connectTimer.setSingleShot(true);
    connect(&m_connectTimer, &QTimer::timeout, this, [this] {
        end(Ending::AttemptFailed, tr("nessuna risposta in %1 s").arg(m_timing.connectTimeoutMs / 1000.0));
    });
    m_replyTimer.setSingleShot(true);
    connect(&m_replyTimer, &QTimer::timeout, this, [this] {
        emit noEngineReply();
        end(Ending::OwnReason, NoEngineReplyText());
    });
    m_retryTimer.setSingleShot(true);
    connect(&m_retryTimer, &QTimer::timeout, this, &AgwLink::connectNow);
}

AgwLink::~AgwLink()
{
    // The socket must not notify into members already destroyed.
    m_socket.disconnect(this);
    m_socket.abort();
}

QString AgwLink::ConnectingText(const QString& host, quint16 port)
{
    return tr("connessione a %1:%2…").arg(host).arg(port);
}

QString AgwLink::NoEngineReplyText()
{
    return tr("nessuna risposta del motore");
}

QString AgwLink::UnusablePortsText(const QList<int>& ports)
{
    return ports.size() == 1
               ? tr("Porta %1 (Sats/Out) non utilizzabile in AGWPE: nulla viene trasmesso su di essa")
                     .arg(PortNumbers(ports))
               : tr("Porte %1 (Sats/Out) non utilizzabili in AGWPE: nulla viene trasmesso su di esse")
                     .arg(PortNumbers(ports));
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
    m_retrying = false;
    m_backoff.reset();
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
    m_connected = false;
    m_rawOn = false;
    m_version.reset();
    m_ports.reset();
    m_versionTimedOut = false;
    // Frames heard before the engine says what it is are held (automatic
    // profile); a chosen profile is in force from the first frame.
    m_dispatcher.setProfile(ProfileInForce(m_settings.engineChoice(), std::nullopt));
    const QString host = m_settings.agwpeHost();
    // A retry replaces the "new attempt at" line; the first attempt leaves
    // the status label as it is until the engine answers.
    if (m_retrying)
        m_view.setStatusText(ConnectingText(host, m_enginePort));
    emit connecting(host, m_enginePort);
    if (!m_running)
        return;  // a listener stopped the link
    m_connectTimer.start(m_timing.connectTimeoutMs);
    m_socket.connectToHost(host, m_enginePort);
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
    m_connectTimer.stop();
    m_replyTimer.stop();
    m_socket.abort();
    m_assembler.clear();
    m_version.reset();
    m_ports.reset();
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
    m_connectTimer.stop();
    m_replyTimer.stop();
    if (!isClosed())
        m_socket.abort();
    m_assembler.clear();
}

void AgwLink::end(Ending how, const QString& reason)
{
    if (how == Ending::AttemptFailed)
        emit connectFailed(reason);
    else
        emit connectionLost(reason);
    if (!m_running)
        return;  // a listener stopped the link
    const QString address = QStringLiteral("%1:%2").arg(m_settings.agwpeHost()).arg(m_enginePort);
    if (m_settings.autoReconnect()) {
        switch (how) {
        case Ending::AttemptFailed:
            retryLater(reason, tr("AGWPE %1: impossibile connettersi, nuovo tentativo alle %2").arg(address));
            return;
        case Ending::SocketError:
        case Ending::EngineClosed:
            retryLater(reason, QStringLiteral("Collegamento con AGWPE perso: nuovo tentativo alle %1"));
            return;
        case Ending::OwnReason:
            retryLater(reason, tr("AGWPE %1: %2, nuovo tentativo alle %3").arg(address, reason));
            return;
        }
    }
    switch (how) {
    case Ending::AttemptFailed:
    case Ending::SocketError:
        // The socket is shut before the modal box, so nothing arrives while
        // the user reads it; then the link takes the stop branch.
        m_running = false;
        m_socket.abort();
        m_view.showSocketError(reason);
        stopBranch();
        return;
    case Ending::EngineClosed:
        // The engine closed the link: stopped, as after STOP, with no message.
        stopBranch();
        return;
    case Ending::OwnReason:
        stopBranch();
        m_view.setStatusText(tr("Connessione ad AGW Packet Engine chiusa: %1").arg(reason));
        return;
    }
}

void AgwLink::retryLater(const QString& reason, const QString& statusText)
{
    // The gateway stays started: the session's duplicate store and counters
    // are kept, what belonged to the old connection goes.
    // The retry is armed before the socket is shut, so the disconnect that
    // abort() reports is known to be handled already.
    const int delay = m_backoff.next();
    m_retrying = true;
    m_retryTimer.start(delay);
    m_versionTimer.stop();
    m_connectTimer.stop();
    m_replyTimer.stop();
    m_socket.abort();
    m_assembler.clear();
    m_dispatcher.clear();
    m_ports.reset();
    m_view.clearPorts();
    const QString at = m_clock().addMSecs(delay).time().toString(QStringLiteral("HH:mm:ss"));
    m_view.setStatusText(QString(statusText).arg(at));
    m_view.setTrayTip(m_view.caption() + QStringLiteral(" in riconnessione"));
    emit reconnectScheduled(reason, delay);
}

void AgwLink::onConnected()
{
    m_connected = true;
    m_connectTimer.stop();
    // Frames are small and the engine may send nothing back: without this a
    // burst of re-transmissions can wait for the engine's delayed ACK.
    m_socket.setSocketOption(QAbstractSocket::LowDelayOption, 1);
    SendAgwRequest('m');
    m_view.setTrayTip(tr("%1 abilitato").arg(m_view.caption()));
    SendAgwRequest('R');
    SendAgwRequest('G');
    m_replyTimer.start(m_timing.replyTimeoutMs);
    if (!profileInForce())
        m_versionTimer.start(m_timing.profileWaitMs);
    updateProfile();
    emit linkConnected();
}

void AgwLink::onReadyRead()
{
    readPiece();
}

void AgwLink::readPiece()
{
    m_readQueued = false;
    if (m_socket.state() != QAbstractSocket::ConnectedState)
        return;
    const QByteArray bytes = m_socket.read(kReadPieceBytes);
    const bool inStep = m_assembler.feed(bytes, [this](const QByteArray& block, qsizetype h, qint64 length) {
        m_dispatcher.DispatchFrame(block, h, length);
    });
    if (m_socket.state() != QAbstractSocket::ConnectedState)
        return;  // a frame stopped the link
    if (!inStep) {
        // Out of step: no frame boundary can be trusted any more, so the
        // only sure way back is a new connection (or the stopped state).
        emit streamOutOfStep();
        if (m_running && m_socket.state() == QAbstractSocket::ConnectedState)
            end(Ending::OwnReason, QStringLiteral("flusso dal motore fuori passo"));
        return;
    }
    // What the socket already holds brings no new notification: the rest
    // is read after the events that came in meanwhile.
    if (m_socket.bytesAvailable() > 0 && !m_readQueued) {
        m_readQueued = true;
        QMetaObject::invokeMethod(this, &AgwLink::readPiece, Qt::QueuedConnection);
    }
}

void AgwLink::onError(QAbstractSocket::SocketError error)
{
    if (!m_running || m_retryTimer.isActive())
        return;
    const QString description = m_socket.errorString();
    if (!m_connected)
        end(Ending::AttemptFailed, description);
    else if (error == QAbstractSocket::RemoteHostClosedError)
        end(Ending::EngineClosed, description);
    else
        end(Ending::SocketError, description);
}

void AgwLink::onDisconnected()
{
    if (!m_running || m_retryTimer.isActive())
        return;
    end(Ending::EngineClosed, QStringLiteral("The remote host closed the connection"));
}

void AgwLink::onPorts(const EnginePorts& ports)
{
    m_ports = ports;
    const QList<int> unusable = unusablePorts();
    if (unusable.isEmpty())
        return;
    m_view.setStatusText(UnusablePortsText(unusable));
    emit portsUnusable(unusable);
}

QList<int> AgwLink::unusablePorts() const
{
    QList<int> unusable;
    if (!m_ports)
        return unusable;
    for (QChar c : m_settings.satsPorts() + m_settings.outPorts()) {
        const int port = PortOfListChar(c);
        if (port >= 0 && !m_ports->usable(port) && !unusable.contains(port))
            unusable.append(port);
    }
    return unusable;
}

bool AgwLink::canSendOn(int port) const
{
    return !m_ports || m_ports->usable(port);
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
