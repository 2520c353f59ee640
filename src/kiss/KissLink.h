#pragma once
#include "agw/EngineLink.h"
#include "kiss/KissFrame.h"

namespace selvane {

// One KISS data frame heard on a port, to the heard handler: its AX.25
// frame read, given the header line an AGW engine writes (the time given),
// and handled with the text via form. False for a frame that is no UI frame.
bool HandleKissFrame(HeardHandler& heard, int port, const QByteArray& frame, const QTime& time);

// The link to a KISS TNC, over TCP or a serial line. Nothing is asked of
// the TNC: what it hears arrives as KISS data frames, whose AX.25 frame is
// read directly (UI frames with any pid are heard packets, other frames are
// skipped), and each heard packet gets the monitor header line an AGW engine
// writes (marks from the "has been repeated" bits, the time from the clock),
// so the lists, the daily log and the classification read it as they read
// an AGW engine's. What is sent goes out as an AX.25 UI frame in a KISS data
// frame on the port (0..15) of the Sats or Out list.
class KissLink : public EngineLink {
    Q_OBJECT
public:
    // config: KissTcp (address HOST:PORT) or KissSerial (device, speed).
    KissLink(ILinkView& view, const ILiveSettings& settings, IRoutingStep& router, Clock clock,
             const EngineConfig& config, Timing timing = {}, QObject* parent = nullptr);

    EngineKind kind() const override { return m_config.kind; }
    QString addressText() const override;
    bool canSendOn(int port) const override { return port >= 0 && port <= Kiss::kMaxPort; }
    qsizetype pendingInput() const override { return m_decoder.pending(); }
    qint64 damagedFrames() const { return m_decoder.damagedFrames(); }

    // "Gateway connesso al TNC KISS ADDRESS".
    static QString ConnectedText(const QString& address);

protected:
    HeardHandler& heardHandler() override { return m_heard; }
    void clearSession() override { m_decoder.clear(); }
    void onOpened() override;
    bool consume(const QByteArray& bytes) override;
    QByteArray encode(const OutgoingPacket& packet, int port) override;
    void clearLists() override { m_heard.clear(); }
    QString engineName() const override { return QStringLiteral("TNC KISS"); }
    QString closedText() const override;

private:
    EngineConfig m_config;
    KissDecoder m_decoder;
    HeardHandler m_heard;
};

} // namespace selvane
