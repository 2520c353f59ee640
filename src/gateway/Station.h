#pragma once
#include <QObject>
#include <QString>
#include <QStringList>

#include <memory>
#include <optional>

#include "agw/Interfaces.h"
#include "aprsis/AprsIsGate.h"
#include "gateway/Gateway.h"
#include "gateway/StationActivity.h"
#include "gateway/StationConfig.h"
#include "settings/FolderLock.h"
#include "telemetry/TelemetryDecoder.h"
#include "telemetry/TelemetryHistory.h"
#include "telemetry/TelemetryState.h"
#include "telemetry/TelemetryWindowModes.h"

namespace selvane {

// One ground station working in one folder: the folder lock, the Logs
// folder, the gateway (engine link, routing, duplicate filter, uplink limits,
// daily log), the telemetry decoder with its history file and window modes,
// the satellite table and the APRS-IS upload, with one order of start and
// one of stop. The window and selvaned each create one and present it: the
// window through the views it passes in (which show the texts the link and
// the telemetry logic write), both through the signals below, which say what
// happened, not how to show it.
//
// The live settings (the 17 fields of Selvane.ini) belong to the front end:
// the window's controls or the values read from the file. Everything else
// comes from selvane.conf (StationConfig).
//
// Start:  lockFolder(), ensureLogsFolder(), (the front end applies
//         Selvane.ini), loadConfig(), startAprsIs(), then link().toggle()
//         when the user (or the service) starts the gateway.
// Stop:   stop(): the link, the APRS-IS upload (what its satgate hold
//         holds is dropped, counted), the daily log, the history file, the
//         auto-hide timer, in that order. Runs once.
class Station : public QObject {
    Q_OBJECT
public:
    struct Options {
        QString folder = QStringLiteral(".");
        Clock clock = SystemClock();
        MonotonicMs monotonic = SteadyClockMs();
        // The engine for this run, over selvane.conf's [engine]: a whole
        // engine (selvaned --engine), or an AGW engine on this port.
        std::optional<EngineConfig> engine;
        std::optional<quint16> enginePort;
        LinkTiming linkTiming = {};
        AprsIsClient::Timing aprsIsTiming = {};
    };

    // linkView and telemetryView: what a window shows (they must outlive the
    // station); null for a station without a window.
    Station(Options options, const ILiveSettings& settings, ILinkView* linkView = nullptr,
            ITelemetryView* telemetryView = nullptr, QObject* parent = nullptr);
    ~Station() override;

    // One station per folder. False when another program works there:
    // lockProblem() says which, and nothing in the folder may be changed.
    bool lockFolder();
    QString lockProblem() const { return m_lock.problem(); }
    bool ownsFolder() const { return m_ownsFolder; }
    // Makes sure Logs/ exists; false when it cannot be made.
    bool ensureLogsFolder();

    // Reads selvane.conf and puts it in force (satellites, uplink limits;
    // APRS-IS once started). Returns what was ignored, one line each.
    QStringList loadConfig();
    // Puts another configuration in force at once (SIGHUP, a dialog).
    void applyConfig(const StationConfig& config);
    // Writes a configuration into selvane.conf, keeping the file's other
    // lines, and puts it in force. False, with the reason, when the file
    // cannot be written (it is then in force all the same).
    bool saveConfig(const StationConfig& config, QString* error);
    const StationConfig& config() const { return m_config; }
    QString configPath() const;

    // The APRS-IS upload with the configuration in force; after the live
    // settings are known (its login defaults to the gateway call).
    void startAprsIs();

    void stop();
    bool isStopped() const { return m_stopped; }

    // chkLog: the daily log and the telemetry history.
    void setLogEnabled(bool on);
    bool logEnabled() const;

    // The link to the engine in force, whichever it is.
    EngineLink& link() { return m_gateway->engine(); }
    // The engine in force: the one of this run, else selvane.conf's.
    EngineConfig engineInForce() const;
    EngineKind engineKind() const { return m_gateway->engineConfig().kind; }
    // Where it is, as shown ("127.0.0.1:8000", "/dev/ttyUSB0 a 9600 bit/s").
    QString engineAddress() const { return m_gateway->engine().addressText(); }
    // The AGW profile choice changed (nothing for a KISS link).
    void engineChoiceChanged();
    Router& router() { return m_gateway->router(); }
    DailyLog& dailyLog() { return m_gateway->dailyLog(); }
    const GatewayCounters& counters() const;
    TelemetryWindowModes& telemetryModes() { return *m_modes; }
    TelemetryHistory& telemetryHistory() { return *m_history; }
    // nullptr before startAprsIs() and after stop().
    AprsIsGate* aprsIs() { return m_aprsIs.get(); }
    QString folder() const { return m_options.folder; }
    QString logsDir() const { return m_logsDir; }
    const ILiveSettings& settings() const { return m_settings; }
    // What happened lately: the packets heard via a satellite and what
    // became of each, the counts, the engine's connection, the telemetry.
    const StationActivity& activity() const { return m_activity; }

signals:
    // The engine.
    // Another engine is in force (kind and address changed); the link
    // returned by link() is a new one, stopped.
    void engineChanged();
    void engineConnecting(const QString& address);
    void engineConnectFailed(const QString& reason);
    void engineConnected();
    void engineConnectionLost(const QString& reason);
    void engineNoReply();
    void enginePortsUnusable(const QList<int>& ports);
    void engineVersion(unsigned major, unsigned minor);
    void enginePortsChanged(const QStringList& ports);
    void engineProfileChanged(const QString& text);
    // A new attempt follows in retryMs (after a failed attempt or a loss).
    void engineRetryScheduled(const QString& reason, int retryMs);
    void engineStopped();
    void engineSocketError(const QString& description);
    void engineOutOfStep();
    void engineNotReading();
    void engineReadingAgain(qint64 dropped, qint64 droppedInAll);
    // The AGW engine reports its transmissions but not those of the "V"
    // frames it is sent: it drops them.
    void engineSentNotTransmitted();

    // The packets.
    void heard(const selvane::HeardPacket& packet);
    void gated(const selvane::GatedPacket& packet);
    void duplicateHeld(const QString& key, const QString& info);
    void refused(const selvane::GatedPacket& packet, selvane::RouteRefusal why);
    void countersChanged();

    // The telemetry: a decoded display line, the warning (battery low, safe
    // mode) shown or cleared.
    void telemetryDecoded(selvane::TelemetryList list, const QString& line);
    void warningChanged(const QString& text, bool visible);

    // The daily log or the history file could not be written (a full disk,
    // a folder that refuses): said once, and again when they are written
    // again.
    void fileTrouble(const QString& what);
    void filesRecovered();

    // APRS-IS.
    void aprsIsStateChanged(selvane::AprsIsState state, const QString& detail);
    // What became of a packet on its way up (AprsIsGate::judged).
    void aprsIsJudged(const selvane::UploadDecision& decision, bool sent);
    // The gateway's own position, status or telemetry line, sent or missed.
    void aprsIsStationLine(const QString& line, bool sent);
    void aprsIsNotReading();
    void aprsIsReadingAgain(qint64 refused);
    // Packets held for the satellite's copy dropped by a stop.
    void aprsIsHeldDropped(int count);
    void aprsIsLoginInUse();
    void aprsIsCountersChanged();

private:
    class LinkRelay;
    void recordActivity();
    class TelemetryRelay;

    // The station's signals from the link in force.
    void wireLink();

    Options m_options;
    const ILiveSettings& m_settings;
    QString m_logsDir;
    FolderLock m_lock;
    bool m_ownsFolder = false;
    StationConfig m_config;
    std::unique_ptr<LinkRelay> m_linkRelay;
    std::unique_ptr<TelemetryRelay> m_telemetryRelay;
    TelemetryState m_tlmState;
    std::unique_ptr<QtTelemetryTimer> m_tlmTimer;
    std::unique_ptr<TelemetryWindowModes> m_modes;
    std::unique_ptr<TelemetryHistory> m_history;
    std::unique_ptr<TelemetryDecoder> m_decoder;
    std::unique_ptr<Gateway> m_gateway;
    std::unique_ptr<AprsIsGate> m_aprsIs;
    StationActivity m_activity;
    bool m_stopped = false;
};

} // namespace selvane
