#pragma once
#include <QElapsedTimer>
#include <QList>
#include <QTimer>

#include <optional>

#include "agw/Dispatcher.h"
#include "agw/EngineLink.h"
#include "agw/EnginePorts.h"
#include "agw/EngineProfile.h"
#include "agw/FrameAssembler.h"

namespace selvane {

// The link to an AGW Packet Engine-compatible engine over TCP (Winsock1):
// the requests on connecting ("m", "R", "G", then "k" for the profiles that
// take raw frames), the received stream cut into frames for the dispatcher,
// the engine profile in force, the radio ports the engine can send on, and
// packets sent as "V" frames, or as "K" frames with raw frames both ways.
//
// A connection whose peer has not answered the version request within
// replyTimeoutMs is no engine's (a web server on the port, say) and is
// treated as lost.
//
// An engine that ignores "V" (the Qt sound modem) would leave the gateway
// sending into nothing: once the engine has shown that it reports its own
// transmissions ("T"), a "V" frame it has not reported within
// transmitReportMs is said, once per connection (sentNotTransmitted), with
// the advice to choose raw frames both ways.
class AgwLink : public EngineLink {
    Q_OBJECT
public:
    static constexpr quint16 DefaultEnginePort = EngineConfig::kDefaultAgwPort;
    // "V" frames waiting for their report; older ones are forgotten.
    static constexpr qsizetype kMaxUnreported = 64;

    // host: empty means the address of Selvane.ini (read at each attempt).
    AgwLink(ILinkView& view, const ILiveSettings& settings, IRoutingStep& router, Clock clock,
            quint16 enginePort = DefaultEnginePort, Timing timing = {}, QObject* parent = nullptr,
            const QString& host = {});

    EngineKind kind() const override { return EngineKind::Agw; }
    QString addressText() const override;

    // The user changed the engine profile: the one in force follows at once
    // (raw frames asked for or switched off).
    void engineChoiceChanged();
    std::optional<EngineProfile> profileInForce() const;

    void SendAgwRequest(char kind);
    // A port the engine's "G" reply does not have, or calls invalid, cannot
    // be sent on; before the reply every port is taken as it comes.
    bool canSendOn(int port) const override;

    qsizetype pendingInput() const override { return m_assembler.pending(); }
    const Dispatcher& dispatcher() const { return m_dispatcher; }

    // What the status line and selvaned say of the link's own findings.
    static QString NoEngineReplyText();                                  // "nessuna risposta del motore"
    static QString UnusablePortsText(const QList<int>& ports);
    // The ports of the Sats and Out lists the engine cannot send on (0-based,
    // in list order, each once); empty before its "G" reply.
    QList<int> unusablePorts() const;
    static QString SentNotTransmittedText();

signals:
    // The engine answered the version request.
    void versionReported(selvane::EngineVersion version);
    // The peer did not answer the version request in time; the connection
    // is treated as lost.
    void noEngineReply();
    // Ports named in Sats or Out that the engine cannot send on (0-based),
    // said when its port list arrives; nothing is sent to them.
    void portsUnusable(const QList<int>& ports);
    // The received stream was out of step; the connection is closed (and
    // tried again with reconnecting on).
    void streamOutOfStep();
    // The engine reports its transmissions but not those of the "V" frames
    // it was sent: it drops them.
    void sentNotTransmitted();

protected:
    HeardHandler& heardHandler() override { return m_dispatcher.heard(); }
    void clearSession() override;
    void onOpened() override;
    void stopTimers() override;
    bool consume(const QByteArray& bytes) override;
    QByteArray encode(const OutgoingPacket& packet, int port) override;
    void clearLists() override { m_dispatcher.clear(); }
    QString engineName() const override { return QStringLiteral("AGWPE"); }
    QString closedText() const override { return tr("Connessione ad AGW Packet Engine chiusa"); }

private:
    struct Unreported {
        int port = 0;
        QString source;
        QElapsedTimer age;
    };

    void onPorts(const EnginePorts& ports);
    void onTransmitted(int port, const QString& from);
    void checkReports();
    void updateProfile();

    quint16 m_enginePort;
    QString m_host;
    FrameAssembler m_assembler;
    Dispatcher m_dispatcher;
    bool m_rawOn = false;          // "k" sent on this connection (it is a toggle)
    bool m_versionTimedOut = false;
    std::optional<EngineVersion> m_version;
    std::optional<EnginePorts> m_ports;
    QTimer m_versionTimer;         // the automatic profile's wait
    QTimer m_replyTimer;
    QTimer m_reportTimer;
    QList<Unreported> m_unreported;
    bool m_reportsTransmissions = false;
    bool m_saidNotTransmitted = false;
};

} // namespace selvane
