#pragma once
#include <QObject>
#include <QString>
#include <QTimer>

#include <memory>
#include <optional>

#include "gateway/Station.h"
#include "headless/EventLog.h"
#include "headless/StatusServer.h"
#include "settings/SettingsValues.h"
#include "settings/Startup.h"

namespace selvane {

// The gateway without windows, working in one folder exactly as the window
// program does in its working directory: one Station with the settings of
// Selvane.ini instead of the controls. It connects at once and never stops
// trying to reach its engine; what the station does goes to the event log,
// one line per event, problems on standard error.
class HeadlessGateway : public QObject {
    Q_OBJECT
public:
    // The station's options (its folder, clocks, the engine of this run:
    // --engine, --engine-port) and where the events go.
    struct Options : Station::Options {
        EventLog* log = nullptr; // required
    };

    // How often a gateway without a call sign is reminded of it.
    static constexpr int kNoCallReminderMs = 60 * 60 * 1000;

    explicit HeadlessGateway(Options options);
    ~HeadlessGateway() override;

    // Reads the settings strictly (settings/SettingsCheck.h; a missing file
    // is created with the defaults, and said so), makes sure Logs/ exists,
    // reads selvane.conf, opens the status page when it has a [status]
    // section, and connects. False, with the reason said and
    // nothing changed, when Selvane.ini is damaged or not a regular file:
    // the program should end.
    bool start();
    // Reads Selvane.ini and selvane.conf again and applies them from the
    // next packet on (the status page moves to a new address, or closes); a
    // Selvane.ini that is missing, damaged or not a
    // regular file changes nothing (and is not rewritten), and is said. True
    // when the new settings are in force.
    bool reload();
    // The station's stop: the connection, the upload, the open files.
    void stop();

    Station& station() { return *m_station; }
    EngineLink& link() { return m_station->link(); }
    // nullptr before start().
    AprsIsGate* aprsIs() { return m_station->aprsIs(); }
    const SettingsValues& settings() const { return m_settings; }
    // nullptr while there is no status page.
    StatusServer* statusServer() { return m_status.get(); }

private:
    void present();
    void applySettings();
    void reportConfig(const QStringList& problems);
    void remindOfMissingCall();
    void applyStatusPage();
    QString settingsSummary() const;

    Options m_options;
    EventLog& m_log;
    SettingsStore m_store;
    SettingsValues m_settings;
    std::unique_ptr<Station> m_station;
    QString m_lastProfile;
    QTimer m_noCallReminder;
    std::unique_ptr<StatusServer> m_status;
    StatusConfig m_statusInForce;
};

} // namespace selvane
