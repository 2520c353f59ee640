#pragma once
#include <QObject>
#include <QString>
#include <memory>
#include <optional>

#include "agw/AgwLink.h"
#include "gateway/DuplicateFilter.h"
#include "gateway/Gateway.h"
#include "gateway/ITelemetryDecoder.h"
#include "common/Clock.h"
#include "settings/Startup.h"
#include "ui/Dialogs.h"
#include "ui/MainWindow.h"

namespace selvane {

// Puts the program together: the main window, the gateway (engine link,
// routing, duplicate filter, daily log) and the settings file, with the
// order of start-up and shut-down.
class SelvaneApp : public QObject {
    Q_OBJECT
public:
    struct Options {
        IDialogs* dialogs = nullptr;               // nullptr: real message boxes
        std::optional<bool> trayAvailable;          // unset: ask the platform
        Clock clock = SystemClock();
        MonotonicMs monotonic = SteadyClockMs();      // ages of the duplicate filter
        QString workingDir = QStringLiteral(".");   // where Selvane.ini and Logs live
        quint16 enginePort = AgwLink::DefaultEnginePort;
    };

    explicit SelvaneApp(Options options);
    ~SelvaneApp() override;

    // Creates the Logs folder, reads the settings file and shows the window.
    void start();
    // Closes the connection, writes the settings file, closes the files. Runs
    // once, whichever way the program ends.
    void shutdown();
    bool isShutDown() const { return m_shutDown; }

    MainWindow& window() { return *m_window; }
    AgwLink& link() { return m_gateway->link(); }
    Gateway& gateway() { return *m_gateway; }
    QString settingsPath() const { return m_settings.path(); }

signals:
    // The main window was closed: the program should end.
    void finished();

private:
    Options m_options;
    std::unique_ptr<MainWindow> m_window;
    NoTelemetryDecoder m_decoder;
    std::unique_ptr<Gateway> m_gateway;
    SettingsStore m_settings;
    bool m_shutDown = false;
};

} // namespace selvane
