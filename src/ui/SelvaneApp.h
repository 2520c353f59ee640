#pragma once
#include <QObject>
#include <QString>
#include <memory>
#include <optional>

#include "gateway/Station.h"
#include "settings/SettingsTarget.h"
#include "settings/Startup.h"
#include "ui/Dialogs.h"
#include "ui/MainWindow.h"
#include "ui/TelemetryGlue.h"
#include "ui/TelemetryWindow.h"

namespace selvane {

// Puts the program together: the two windows, the settings file, and the
// station (gateway, telemetry, logs, APRS-IS) they present, with the order
// of start-up and shut-down.
class SelvaneApp : public QObject, private ISettingsTarget {
    Q_OBJECT
public:
    // The station's options (its folder: where Selvane.ini, selvane.conf
    // and Logs live), and the window's own.
    struct Options : Station::Options {
        IDialogs* dialogs = nullptr;        // nullptr: real message boxes
        std::optional<bool> trayAvailable;  // unset: ask the platform
    };

    explicit SelvaneApp(Options options);
    ~SelvaneApp() override;

    // Takes the folder (one gateway per folder), creates the Logs folder,
    // reads the settings file and shows the window. False, after a message
    // and with nothing in the folder changed, when another program works
    // there; the program should then end.
    //
    // Placement: a window keeps the place stored for it, brought back onto
    // a screen when no screen shows it any more (a monitor since removed).
    // A stored place of 0, 0 (the default record's) counts as none: at the
    // first start the main window is centred on the primary screen and the
    // telemetry window placed beside it, never over it when the screen has
    // room for both (see PlacePair and PlaceBeside).
    bool start();
    // Closes the connection, writes the settings file, closes the files and
    // destroys the telemetry window. Runs once, whichever way the program ends.
    void shutdown();
    bool isShutDown() const { return m_shutDown; }
    // The desktop session is ending (it may still be cancelled): the settings
    // file is written and the files are closed, the windows stay as they are.
    // The files reopen at their next record.
    void commitSession();

    MainWindow& window() { return *m_window; }
    // nullptr after the shut-down.
    TelemetryWindow* telemetryWindow() { return m_tlmWindow.get(); }
    Station& station() { return *m_station; }
    EngineLink& link() { return m_station->link(); }
    TelemetryWindowModes& telemetryModes() { return m_station->telemetryModes(); }
    TelemetryHistory& telemetryHistory() { return m_station->telemetryHistory(); }
    QString settingsPath() const { return m_settings.path(); }

    // "Load Tlm": the file dialog, then the chosen file into the window.
    void loadTelemetryHistory();
    // "APRS-IS...": the dialog, then selvane.conf written and applied.
    void editAprsIs();
    // "Satelliti...": the table, then selvane.conf written and applied.
    void editSatellites();
    // "Motore...": the engine, then selvane.conf written and applied.
    void editEngine();
    // nullptr before start().
    AprsIsGate* aprsIs() { return m_station->aprsIs(); }

signals:
    // The main window was closed: the program should end.
    void finished();

private:
    // The settings file's values go to the main window, except the
    // telemetry window's place and size, which go to that window.
    bool applyTexts(const GatewaySettings& s) override { return m_window->applyTexts(s); }
    bool applyMainWindow(int left, int top, int width) override;
    bool applyDailyLog(int value) override { return m_window->applyDailyLog(value); }
    bool applyTelemetryMode(int mode) override;
    bool applyTelemetryWindow(double height, int top, int left) override;
    bool applyGateToOut(int value) override { return m_window->applyGateToOut(value); }
    bool applyGateToSats(int value) override { return m_window->applyGateToSats(value); }
    bool applyGateTelemetry(int value) override { return m_window->applyGateTelemetry(value); }
    bool applyEngineChoice(EngineChoice choice) override { return m_window->applyEngineChoice(choice); }
    bool applyAutoReconnect(bool on) override { return m_window->applyAutoReconnect(on); }
    GatewaySettings collectSettings() const override;
    void showLogsDirectoryError() override { m_window->showLogsDirectoryError(); }
    void showAprsIs();
    void showSatellites();
    void showEngine();
    void saveConfig(const StationConfig& config);
    // Puts the windows where they go before they are first shown (see
    // start()).
    void placeWindows();
    // "Finestre" > telemetry window: shown by selecting "Show Tlm", hidden
    // as by its own "Hide" button.
    void requestTelemetryWindow(bool show);

    Options m_options;
    std::unique_ptr<TelemetryWindow> m_tlmWindow;
    std::unique_ptr<MainWindow> m_window;
    std::unique_ptr<TelemetryGlue> m_tlmView;
    std::unique_ptr<Station> m_station;
    SettingsStore m_settings;
    bool m_shutDown = false;
    bool m_mainPlaced = false;
    bool m_telemetryPlaced = false;
};

} // namespace selvane
