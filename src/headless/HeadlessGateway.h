#pragma once
#include <QObject>
#include <QString>

#include <memory>

#include "agw/Interfaces.h"
#include "aprsis/AprsIsGate.h"
#include "gateway/Gateway.h"
#include "headless/EventLog.h"
#include "settings/SettingsValues.h"
#include "settings/Startup.h"
#include "telemetry/TelemetryDecoder.h"
#include "telemetry/TelemetryHistory.h"
#include "telemetry/TelemetryState.h"
#include "telemetry/TelemetryWindowModes.h"

namespace selvane {

// The gateway without windows, working in one folder exactly as the window
// program does in its working directory (Selvane.ini, Logs/): the same
// routing, duplicate filter, telemetry decoding and bulletins, daily log and
// history file, with the settings of the file instead of the controls. It
// connects at once and never stops trying to reach its engine; what it does
// goes to the event log.
class HeadlessGateway : public QObject, private ILinkView, private ITelemetryView {
    Q_OBJECT
public:
    struct Options {
        QString folder = QStringLiteral(".");
        Clock clock = SystemClock();
        MonotonicMs monotonic = SteadyClockMs();
        quint16 enginePort = AgwLink::DefaultEnginePort;
        EventLog* log = nullptr; // required
    };

    explicit HeadlessGateway(Options options);
    ~HeadlessGateway() override;

    // Reads the settings strictly (settings/SettingsCheck.h; a missing file
    // is created with the defaults, and said so), makes sure Logs/ exists
    // and connects. False, with the reason said and nothing changed, when
    // the file is damaged or not a regular file: the program should end.
    bool start();
    // Reads Selvane.ini again and applies it from the next packet on; a file
    // that is missing, damaged or not a regular file changes nothing (and is
    // not rewritten), and is said. True when the new settings are in force.
    bool reload();
    // Closes the connection and the open log and history files.
    void stop();

    AgwLink& link() { return m_gateway->link(); }
    // nullptr before start().
    AprsIsGate* aprsIs() { return m_aprsIs.get(); }
    const SettingsValues& settings() const { return m_settings; }

private:
    // ILinkView: the status texts become events.
    void setStatusText(const QString& text) override;
    void setTrayTip(const QString&) override {}
    void setRunning(bool) override {}
    void showReceived(const QStringList&, PacketColour) override {}
    void showTransmitted(const QStringList&) override {}
    void setPortsText(const QString&) override {}
    void addPort(const QString& description) override;
    void clearPorts() override {}
    void showSocketError(const QString& description) override;
    void showEngineProfile(const QString& text) override;
    QString caption() const override { return QStringLiteral("selvaned"); }

    // ITelemetryView: decoded lines and warnings become events; there is no
    // window to show.
    void setTelemetryCaption(const QString&) override {}
    void clearTelemetryLists() override {}
    void addTelemetryLine(TelemetryList list, const QString& line) override;
    bool telemetryWindowVisible() const override { return false; }
    void showTelemetryWindow() override {}
    void hideTelemetryWindow() override {}
    void setWarning(const QString& text) override;
    void setWarningVisible(bool visible) override;
    void setSelectedTelemetryWindowMode(int) override {}
    void showLoadError(const QString&) override {}

    struct NoTimer : ITelemetryTimer {
        void start() override {}
        void stop() override {}
        bool isRunning() const override { return false; }
    };

    void applySettings();
    // aprs-is.conf beside Selvane.ini; its problems are reported.
    AprsIsConfig readAprsIsConfig();
    QString settingsSummary() const;

    Options m_options;
    EventLog& m_log;
    QString m_logsDir;
    SettingsStore m_store;
    SettingsValues m_settings;
    TelemetryState m_tlmState;
    NoTimer m_tlmTimer;
    std::unique_ptr<TelemetryWindowModes> m_modes;
    std::unique_ptr<TelemetryHistory> m_history;
    std::unique_ptr<TelemetryDecoder> m_decoder;
    std::unique_ptr<Gateway> m_gateway;
    std::unique_ptr<AprsIsGate> m_aprsIs;
    QString m_warning;
    QString m_lastProfile;
    bool m_warningShown = false;
    bool m_stopped = false;
};

} // namespace selvane
