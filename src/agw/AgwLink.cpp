#include "agw/AgwLink.h"

#include "agw/AgwFrame.h"
#include "settings/PortList.h"

namespace selvane {

AgwLink::AgwLink(ILinkView& view, const ILiveSettings& settings, IRoutingStep& router, Clock clock,
                 quint16 enginePort, Timing timing, QObject* parent, const QString& host)
    : EngineLink(view, settings, router, std::move(clock),
                 std::make_unique<TcpTransport>(
                     [&settings, host] { return host.isEmpty() ? settings.agwpeHost() : host; }, enginePort),
                 timing, parent),
      m_enginePort(enginePort),
      m_host(host),
      m_dispatcher(view, router, m_counters)
{
    m_dispatcher.onVersion = [this](EngineVersion version) {
        // An engine answered: the connection is good, and the next loss
        // is tried again from the first step.
        m_version = version;
        m_versionTimer.stop();
        m_replyTimer.stop();
        resetBackoff();
        emit versionReported(version);
        updateProfile();
    };
    m_dispatcher.onPorts = [this](const EnginePorts& ports) { onPorts(ports); };
    m_dispatcher.onTransmitted = [this](int port, const QString& from) { onTransmitted(port, from); };
    m_versionTimer.setSingleShot(true);
    connect(&m_versionTimer, &QTimer::timeout, this, [this] {
        m_versionTimedOut = true;
        updateProfile();
    });
    m_replyTimer.setSingleShot(true);
    connect(&m_replyTimer, &QTimer::timeout, this, [this] {
        emit noEngineReply();
        end(Ending::OwnReason, NoEngineReplyText());
    });
    m_reportTimer.setSingleShot(true);
    connect(&m_reportTimer, &QTimer::timeout, this, &AgwLink::checkReports);
}

QString AgwLink::addressText() const
{
    return QStringLiteral("%1:%2").arg(m_host.isEmpty() ? m_settings.agwpeHost() : m_host).arg(m_enginePort);
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

QString AgwLink::SentNotTransmittedText()
{
    return tr("Il motore non trasmette i pacchetti inviati con \"V\": scegliere il profilo "
              "\"frame grezzi in entrambe le direzioni\"");
}

void AgwLink::clearSession()
{
    m_assembler.clear();
    m_dispatcher.clear();
    m_rawOn = false;
    m_version.reset();
    m_ports.reset();
    m_versionTimedOut = false;
    m_unreported.clear();
    m_reportsTransmissions = false;
    m_saidNotTransmitted = false;
    // Frames heard before the engine says what it is are held (automatic
    // profile); a chosen profile is in force from the first frame.
    m_dispatcher.setProfile(ProfileInForce(m_settings.engineChoice(), std::nullopt));
}

void AgwLink::stopTimers()
{
    m_versionTimer.stop();
    m_replyTimer.stop();
    m_reportTimer.stop();
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
    if (isConnected()) {
        // "k" toggles the engine's raw frames: asked for exactly while a
        // profile that reads them is in force.
        const bool wantRaw = p && AsksForRawFrames(*p);
        if (wantRaw != m_rawOn) {
            SendAgwRequest('k');
            m_rawOn = wantRaw;
        }
    }
    m_view.showEngineProfile(ProfileDescription(m_settings.engineChoice(), p));
    if (isRunning())
        m_dispatcher.setProfile(p);
}

void AgwLink::onOpened()
{
    SendAgwRequest('m');
    SendAgwRequest('R');
    SendAgwRequest('G');
    m_replyTimer.start(m_timing.replyTimeoutMs);
    if (!profileInForce())
        m_versionTimer.start(m_timing.profileWaitMs);
    updateProfile();
}

bool AgwLink::consume(const QByteArray& bytes)
{
    const bool inStep = m_assembler.feed(bytes, [this](const QByteArray& block, qsizetype h, qint64 length) {
        m_dispatcher.DispatchFrame(block, h, length);
    });
    if (!inStep)
        emit streamOutOfStep();
    return inStep;
}

QByteArray AgwLink::encode(const OutgoingPacket& packet, int port)
{
    if (m_dispatcher.profile() == EngineProfile::RawFrames)
        return BuildRawSendFrame(packet, port);
    // Its report is awaited: an engine that drops "V" frames is found out.
    if (m_unreported.size() == kMaxUnreported)
        m_unreported.removeFirst();
    m_unreported.append({port, packet.source, {}});
    m_unreported.last().age.start();
    if (!m_reportTimer.isActive())
        m_reportTimer.start(m_timing.transmitReportMs);
    return BuildViaFrame(packet, port);
}

void AgwLink::onTransmitted(int port, const QString& from)
{
    m_reportsTransmissions = true;
    for (qsizetype i = 0; i < m_unreported.size(); ++i) {
        if (m_unreported[i].port == port && m_unreported[i].source == from) {
            m_unreported.removeAt(i);
            break;
        }
    }
    checkReports();
}

void AgwLink::checkReports()
{
    if (m_unreported.isEmpty())
        return;
    const qint64 oldest = m_unreported.first().age.elapsed();
    if (oldest < m_timing.transmitReportMs) {
        m_reportTimer.start(int(m_timing.transmitReportMs - oldest));
        return;
    }
    // An engine that never reports its transmissions tells nothing here.
    if (!m_reportsTransmissions || m_saidNotTransmitted)
        return;
    m_saidNotTransmitted = true;
    m_view.setStatusText(SentNotTransmittedText());
    emit sentNotTransmitted();
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
    writeBounded(BuildAgwRequest(kind));
}

} // namespace selvane
