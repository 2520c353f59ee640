#pragma once
#include <QString>
#include <QStringList>
#include <QWidget>

#include <array>
#include <memory>
#include <optional>

#include "agw/Interfaces.h"
#include "settings/GatewaySettings.h"
#include "settings/SettingsTarget.h"
#include "ui/Dialogs.h"
#include "ui/Twips.h"

class QAction;
class QCheckBox;
class QComboBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QMenu;
class QMenuBar;
class QPushButton;
class QRadioButton;

namespace selvane {

class TrayIcon;

// frmSelvane, the main window: the connection button and status, the
// gateway parameters, the gating check boxes, the daily-log check box, the
// telemetry window mode and the two packet lists, with a menu bar that
// reaches every function. It shows what it is told (ILinkView), lets the
// gateway read its boxes at the moment a value is needed (ILiveSettings),
// takes and gives back the settings file's values (ISettingsTarget) and
// reports what the user does through its signals. It makes no gateway
// decisions of its own.
//
// Layout, top to bottom: the engine strip (status line and port list in
// "AGW Packet Engine Information", START to its right); the three gating
// check boxes on the right; the parameters in one row, with a note under
// the Call box while no call is set; the warning on the right; the received
// packets with the APRS-IS state under them; the mode buttons and "Logs" on
// the right; the transmitted packets; a notice line for conditions that last
// (files not written, no satellite enabled). Everything is sized by Qt
// layouts from the texts at the desktop's font and scaling: the window
// starts at its design size (7470 x 3765 twips outer) or at what its texts
// need when that is more, and can be resized, the two packet lists taking
// the room gained. Only the outer width is stored (see MainWindowMetrics).
//
// Minimising sends the window to the system tray when there is one; without
// a tray it stays minimised in the task bar. The tray icon's menu shows or
// hides the window, starts or stops the gateway and ends the program.
class MainWindow : public QWidget, public ILinkView, public ILiveSettings, public ISettingsTarget {
    Q_OBJECT
public:
    static constexpr int TlmWindowModeNone = 3;  // no optTlm button selected

    // dialogs: the message boxes and the history file dialog; null uses the
    // real Qt dialogs. trayAvailable: forces whether a system tray exists
    // (std::nullopt asks the platform when the window is minimised).
    explicit MainWindow(IDialogs* dialogs = nullptr, std::optional<bool> trayAvailable = std::nullopt,
                        QWidget* parent = nullptr);
    ~MainWindow() override;

    // --- ILinkView ---
    void setStatusText(const QString& text) override;
    void setTrayTip(const QString& text) override;
    void setRunning(bool running) override;
    void showReceived(const QStringList& lines, PacketColour colour) override;
    void showTransmitted(const QStringList& lines) override;
    void setPortsText(const QString& text) override;
    void addPort(const QString& description) override;
    void clearPorts() override;
    void showSocketError(const QString& description) override;
    void showEngineProfile(const QString& text) override;
    QString caption() const override;

    // --- ILiveSettings: the controls as they are now ---
    QString viaPath() const override;
    QString gatewayCall() const override;
    QString satsPorts() const override;
    QString outPorts() const override;
    QString dupSeconds() const override;
    QString agwpeHost() const override;
    bool gateToOut() const override;
    bool gateToSats() const override;
    bool gateTelemetry() const override;
    EngineChoice engineChoice() const override;
    bool autoReconnect() const override;

    // --- ISettingsTarget ---
    bool applyTexts(const GatewaySettings& s) override;
    // The stored place and outer width; a width narrower than the window's
    // texts need is raised to it.
    bool applyMainWindow(int left, int top, int width) override;
    bool applyDailyLog(int value) override;
    bool applyTelemetryMode(int mode) override;
    bool applyTelemetryWindow(double height, int top, int left) override;
    bool applyGateToOut(int value) override;
    bool applyGateToSats(int value) override;
    bool applyGateTelemetry(int value) override;
    bool applyEngineChoice(EngineChoice choice) override;
    bool applyAutoReconnect(bool on) override;
    GatewaySettings collectSettings() const override;
    void showLogsDirectoryError() override;

    // --- State for the controller and the tests ---
    bool isRunning() const { return m_running; }
    bool dailyLog() const;                 // chkLog
    // SelectedTelemetryWindowMode: the first selected optTlm button, 0..2;
    // TlmWindowModeNone when none is selected.
    int selectedTelemetryMode() const;
    // Marks optTlm[mode] selected without applying the mode (the telemetry
    // logic has applied it already).
    void showTelemetryMode(int mode);
    QString statusText() const;
    QString trayTip() const;
    bool isInTray() const;
    QStringList receivedLines() const;     // List2
    PacketColour receivedColour() const { return m_receivedColour; }
    QStringList transmittedLines() const;  // List1
    QString portsText() const;             // cmbPort text
    QStringList ports() const;             // cmbPort list

    // Outer width and position in twips (see MainWindowMetrics).
    int outerWidthTwips() const;
    int leftTwips() const;
    int topTwips() const;

    // The warning label (battery low, safe mode): red, bold yellow text.
    void setWarning(const QString& text, bool visible);
    QString warningText() const;
    bool isWarningVisible() const;

    // The telemetry window's stored height, top and left (twips), written back
    // unchanged at exit while no telemetry window takes them.
    double telemetryWindowHeight() const { return m_tlmHeight; }
    int telemetryWindowTop() const { return m_tlmTop; }
    int telemetryWindowLeft() const { return m_tlmLeft; }

    IDialogs& dialogs() const { return *m_dialogs; }
    TrayIcon& tray() const { return *m_tray; }
    // Whether a system tray is used when minimising; std::nullopt asks the
    // platform each time.
    void setTrayAvailable(std::optional<bool> available);

    // The menu bar: "File", "Impostazioni", "Finestre", "Aiuto".
    QMenuBar* menuBar() const { return m_menuBar; }
    // The settings actions, in "Impostazioni" and in the engine frame's
    // context menu alike: the engine profile, reconnecting, the dialogs.
    QAction* engineAction(EngineChoice choice) const { return m_engineActions[std::size_t(choice)]; }
    QAction* autoReconnectAction() const { return m_autoReconnect; }
    QAction* aprsIsAction() const { return m_aprsIsAction; }
    QAction* satellitesAction() const { return m_satellitesAction; }
    // "Finestre": the telemetry window (checked while it is shown).
    QAction* telemetryWindowAction() const { return m_telemetryWindowAction; }
    // Follows the telemetry window, whoever showed or hid it.
    void setTelemetryWindowShown(bool shown);
    // The tray icon's menu: show or hide the window, START/STOP, exit.
    QMenu* trayMenu() const { return m_trayMenu; }

    // The APRS-IS state and counters, on a line under the received packets;
    // the line is hidden while the text is empty (upload off). The tip says
    // more (server, login, the last error).
    void showAprsIs(const QString& text, const QString& tip = {});
    QString aprsIsText() const;
    // The profile shown in Frame2's caption.
    QString engineProfileText() const { return m_profileText; }
    // The engine's kind and address in Frame2's caption ("AGW 127.0.0.1:8000");
    // the profile is shown beside it for an AGW engine only.
    void showEngine(const QString& text, bool agw);
    QAction* engineDialogAction() const { return m_engineDialogAction; }

    // Conditions that last until they are mended, on the notice line at
    // the bottom, which the counters line refreshed with every packet never
    // overwrites. An empty text clears one; the line is hidden while none
    // is set.
    enum class Notice { Files, Satellites };
    void setNotice(Notice notice, const QString& text);
    QString noticeText() const;

    // While no call sign is set: the note beside the Call box naming what
    // the packets go out with instead ("" when a call is set).
    QString callSignNote() const;

signals:
    // cmdStart was clicked, or START/STOP chosen from the tray menu (the
    // controller toggles the link).
    void startClicked();
    // chkLog changed, by the user or by applyDailyLog.
    void logToggled(bool checked);
    // chkForward changed, by the user or by applyGateToOut.
    void gateToOutToggled(bool checked);
    // An optTlm button was selected by the user (its index), or
    // applyTelemetryMode was given a valid mode: ApplyTelemetryWindowMode.
    void telemetryModeSelected(int mode);
    // The engine profile choice changed, from a menu or applyEngineChoice.
    void engineChoiceChanged(EngineChoice choice);
    void autoReconnectChanged(bool on);
    // "APRS-IS..." was chosen from a menu.
    void aprsIsRequested();
    // "Satelliti..." was chosen from a menu.
    void satellitesRequested();
    // "Finestre" > telemetry window: the user wants it shown (true) or
    // hidden (false).
    void telemetryWindowRequested(bool show);
    // "Motore..." was chosen from a menu.
    void engineRequested();
    // The window is closing (emitted before it closes; cannot be cancelled).
    void closing();

protected:
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void buildControls();
    void buildMenus();
    void buildTrayMenu();
    void setTabOrderChain();
    void sendToTray();
    void leaveTray();
    void setButtonLook(bool running);
    void setListColour(QListWidget* list, const QColor& colour);
    void setProgramText(QLineEdit* box, const QString& text);
    bool applyCheck(QCheckBox* box, int value);
    void onForwardToggled(bool checked);
    // Without a call sign the packets go out under the alias: said beside
    // the Call box.
    void showCallSignState();
    void showHelp();
    void showAbout();

    std::unique_ptr<IDialogs> m_ownDialogs;
    IDialogs* m_dialogs;
    TrayIcon* m_tray;

    QMenuBar* m_menuBar = nullptr;
    QGroupBox* m_frame2 = nullptr;
    QComboBox* m_cmbPort = nullptr;
    QLabel* m_lblConnect = nullptr;
    QPushButton* m_cmdStart = nullptr;
    QCheckBox* m_chkReverse = nullptr;
    QCheckBox* m_chkForward = nullptr;
    QCheckBox* m_chkTlm = nullptr;
    QGroupBox* m_frame1 = nullptr;
    QLineEdit* m_txtDigi = nullptr;
    QLineEdit* m_txtAdd = nullptr;
    QLabel* m_callNote = nullptr;
    QLineEdit* m_txtIn = nullptr;
    QLineEdit* m_txtOut = nullptr;
    QLineEdit* m_txtDup = nullptr;
    QLineEdit* m_txtAddress = nullptr;
    QFrame* m_frame5 = nullptr;
    QLabel* m_lblWarning = nullptr;
    QGroupBox* m_frame3 = nullptr;
    QListWidget* m_receivedList = nullptr;     // List2
    QLabel* m_aprsIsLine = nullptr;
    std::array<QRadioButton*, 3> m_optTlm{};
    QCheckBox* m_chkLog = nullptr;
    QGroupBox* m_frame4 = nullptr;
    QListWidget* m_transmittedList = nullptr;  // List1
    QLabel* m_noticeLine = nullptr;

    std::array<QAction*, 4> m_engineActions{};
    QAction* m_engineDialogAction = nullptr;
    QString m_engineText;
    bool m_engineIsAgw = true;
    QAction* m_autoReconnect = nullptr;
    QAction* m_aprsIsAction = nullptr;
    QAction* m_satellitesAction = nullptr;
    QAction* m_telemetryWindowAction = nullptr;
    QMenu* m_trayMenu = nullptr;
    QAction* m_trayShowAction = nullptr;
    QAction* m_trayStartAction = nullptr;
    QString m_profileText;
    std::array<QString, 2> m_notices;

    bool m_running = false;
    PacketColour m_receivedColour = PacketColour::Green;
    EngineChoice m_engineChoice = EngineChoice::Automatic;
    bool m_applyingMode = false;
    double m_tlmHeight = TelemetryWindowMetrics::DesignOuterHeight;
    int m_tlmTop = 0;
    int m_tlmLeft = 0;
};

} // namespace selvane
