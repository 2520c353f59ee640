#include "agw/EngineLink.h"

namespace selvane {

EngineLink::EngineLink(ILinkView& view, const ILiveSettings& settings, IRoutingStep& router, Clock clock,
                       std::unique_ptr<EngineTransport> transport, Timing timing, QObject* parent)
    : QObject(parent),
      m_view(view),
      m_settings(settings),
      m_router(router),
      m_clock(std::move(clock)),
      m_timing(timing),
      m_transport(transport.release()),
      m_backoff(timing.retry)
{
    m_transport->setParent(this);
    connect(m_transport, &EngineTransport::opened, this, &EngineLink::onTransportOpened);
    connect(m_transport, &EngineTransport::readyRead, this, &EngineLink::readPiece);
    connect(m_transport, &EngineTransport::failed, this, &EngineLink::onFailed);
    connect(m_transport, &EngineTransport::lost, this, &EngineLink::onLost);
    m_connectTimer.setSingleShot(true);
    connect(&m_connectTimer, &QTimer::timeout, this, [this] {
        end(Ending::AttemptFailed, tr("nessuna risposta in %1 s").arg(m_timing.connectTimeoutMs / 1000.0));
    });
    m_retryTimer.setSingleShot(true);
    connect(&m_retryTimer, &QTimer::timeout, this, &EngineLink::connectNow);
}

EngineLink::~EngineLink()
{
    // The transport must not notify into members already destroyed.
    m_transport->disconnect(this);
    m_transport->abort();
}

QString EngineLink::ConnectingText(const QString& address)
{
    return tr("connessione a %1…").arg(address);
}

QString EngineLink::LostText(const QString& engine)
{
    return tr("Collegamento con %1 perso: nuovo tentativo alle %2").arg(engine);
}

QString EngineLink::OutOfStepText()
{
    return tr("flusso dal motore fuori passo");
}

QString EngineLink::NotReadingText(const QString& engine)
{
    return tr("%1 non legge: pacchetti da trasmettere scartati").arg(engine);
}

void EngineLink::toggle()
{
    if (isClosed() && !m_running)
        start();
    else
        stopBranch();
}

void EngineLink::start()
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
    // The status label keeps its text until the engine is connected.
    connectNow();
}

void EngineLink::connectNow()
{
    clearSession();
    const QString address = m_transport->address();
    // A retry replaces the "new attempt at" line; the first attempt leaves
    // the status label as it is until the engine answers.
    if (m_retrying)
        m_view.setStatusText(ConnectingText(address));
    emit connecting(address);
    if (!m_running)
        return;  // a listener stopped the link
    m_connectTimer.start(m_timing.connectTimeoutMs);
    m_transport->open();
}

void EngineLink::stopBranch()
{
    // The lists are emptied; the received list keeps its colour.
    const PacketColour lastColour = heardHandler().received().colour;
    // Cleared first, so the end that abort() may report is not taken for
    // the engine closing the link.
    m_running = false;
    m_retryTimer.stop();
    m_connectTimer.stop();
    stopTimers();
    m_transport->abort();
    clearSession();
    m_view.setTrayTip(tr("%1 disabilitato").arg(m_view.caption()));
    clearLists();
    m_router.reset();
    m_view.showTransmitted({});
    m_view.showReceived({}, lastColour);
    m_view.clearPorts();
    m_view.setStatusText(closedText());
    m_view.setRunning(false);
    emit linkStopped();
}

void EngineLink::closeForExit()
{
    m_running = false;
    m_retryTimer.stop();
    m_connectTimer.stop();
    stopTimers();
    if (!isClosed())
        m_transport->abort();
    clearSession();
}

void EngineLink::end(Ending how, const QString& reason)
{
    if (how == Ending::AttemptFailed)
        emit connectFailed(reason);
    else
        emit connectionLost(reason);
    if (!m_running)
        return;  // a listener stopped the link
    const QString address = m_transport->address();
    if (m_settings.autoReconnect()) {
        switch (how) {
        case Ending::AttemptFailed:
            retryLater(reason, tr("%1 %2: impossibile connettersi, nuovo tentativo alle %3").arg(engineName(), address));
            return;
        case Ending::SocketError:
        case Ending::EngineClosed:
            retryLater(reason, LostText(engineName()));
            return;
        case Ending::OwnReason:
            retryLater(reason, tr("%1 %2: %3, nuovo tentativo alle %4").arg(engineName(), address, reason));
            return;
        }
    }
    switch (how) {
    case Ending::AttemptFailed:
    case Ending::SocketError:
        // The link is shut before the modal box, so nothing arrives while
        // the user reads it; then the link takes the stop branch.
        m_running = false;
        m_transport->abort();
        m_view.showSocketError(reason);
        stopBranch();
        return;
    case Ending::EngineClosed:
        // The engine closed the link: stopped, as after STOP, with no message.
        stopBranch();
        return;
    case Ending::OwnReason:
        stopBranch();
        m_view.setStatusText(tr("%1: %2").arg(closedText(), reason));
        return;
    }
}

void EngineLink::retryLater(const QString& reason, const QString& statusText)
{
    // The gateway stays started: the session's duplicate store and counters
    // are kept, what belonged to the old connection goes. The retry is
    // armed before the link is shut, so the end that abort() reports is
    // known to be handled already.
    const int delay = m_backoff.next();
    m_retrying = true;
    m_retryTimer.start(delay);
    m_connectTimer.stop();
    stopTimers();
    m_transport->abort();
    clearSession();
    m_view.clearPorts();
    const QString at = m_clock().addMSecs(delay).time().toString(QStringLiteral("HH:mm:ss"));
    m_view.setStatusText(QString(statusText).arg(at));
    m_view.setTrayTip(tr("%1 in riconnessione").arg(m_view.caption()));
    emit reconnectScheduled(reason, delay);
}

void EngineLink::onTransportOpened()
{
    m_connectTimer.stop();
    m_view.setTrayTip(tr("%1 abilitato").arg(m_view.caption()));
    onOpened();
    emit linkConnected();
}

void EngineLink::readPiece()
{
    m_readQueued = false;
    if (!isConnected())
        return;
    QIODevice& device = m_transport->device();
    const bool inStep = consume(device.read(kReadPieceBytes));
    if (!isConnected())
        return;  // a frame stopped the link
    if (!inStep) {
        // Out of step: no frame boundary can be trusted any more, so the
        // only sure way back is a new connection (or the stopped state).
        if (m_running && isConnected())
            end(Ending::OwnReason, OutOfStepText());
        return;
    }
    // What the device already holds brings no new notification: the rest
    // is read after the events that came in meanwhile.
    if (device.bytesAvailable() > 0 && !m_readQueued) {
        m_readQueued = true;
        QMetaObject::invokeMethod(this, &EngineLink::readPiece, Qt::QueuedConnection);
    }
}

void EngineLink::onFailed(const QString& reason)
{
    if (!m_running || m_retryTimer.isActive())
        return;
    end(Ending::AttemptFailed, reason);
}

void EngineLink::onLost(const QString& reason, bool peerClosed)
{
    if (!m_running || m_retryTimer.isActive())
        return;
    end(peerClosed ? Ending::EngineClosed : Ending::SocketError, reason);
}

void EngineLink::sendPacket(const OutgoingPacket& packet, int port)
{
    const QByteArray bytes = encode(packet, port);
    if (!bytes.isEmpty())
        writeBounded(bytes);
}

void EngineLink::writeBounded(const QByteArray& bytes)
{
    if (!isConnected())
        return;
    QIODevice& device = m_transport->device();
    // An engine that stops reading must not make this queue grow without
    // bound: what does not fit is dropped, counted and reported.
    if (device.bytesToWrite() + bytes.size() > kMaxPendingOutput) {
        ++m_droppedFrames;
        if (m_droppedInEpisode++ == 0) {
            m_view.setStatusText(NotReadingText(engineName()));
            emit outputBlocked();
        }
        return;
    }
    if (m_droppedInEpisode > 0) {
        emit outputResumed(m_droppedInEpisode);
        m_droppedInEpisode = 0;
    }
    device.write(bytes);
}

} // namespace selvane
