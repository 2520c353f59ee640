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
#include "ui/MainLayout.h"

class QAction;
class QCheckBox;
class QComboBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;

namespace selvane {

class TrayIcon;

// frmSelvane, the main window: the connection button and status, the
// gateway parameters, the gating check boxes, the daily-log check box, the
// telemetry window mode and the two packet lists. It shows what it is told
// (ILinkView), lets the gateway read its boxes at the moment a value is needed
// (ILiveSettings), takes and gives back the settings file's values
// (ISettingsTarget) and reports what the user does through its signals. It
// makes no gateway decisions of its own.
//
// Sizes: the window keeps its design frame allowance (see MainWindowMetrics):
// outer width in twips = client width * 15 + 120, outer height = client
// height * 15 + 405. Width at least 7470 twips, height 1015..3765; the
// controls never move vertically. Minimising sends the window to the system
// tray when there is one; without a tray it stays minimised in the task bar.
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

    // Outer size and position in twips (see the class comment).
    int outerWidthTwips() const;
    int outerHeightTwips() const;
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

    // The Frame2 context-menu actions: the engine profile, and reconnecting.
    QAction* engineAction(EngineChoice choice) const { return m_engineActions[std::size_t(choice)]; }
    QAction* autoReconnectAction() const { return m_autoReconnect; }
    QAction* aprsIsAction() const { return m_aprsIsAction; }
    // The APRS-IS state and counter, shown in the received-packets frame's
    // caption; empty while the upload is off.
    void showAprsIs(const QString& text);
    // The profile shown in Frame2's caption.
    QString engineProfileText() const { return m_profileText; }
    // The engine's kind and address in Frame2's caption ("AGW 127.0.0.1:8000");
    // the profile is shown beside it for an AGW engine only.
    void showEngine(const QString& text, bool agw);
    QAction* engineDialogAction() const { return m_engineDialogAction; }
    QAction* satellitesAction() const { return m_satellitesAction; }

    // Conditions that last until they are mended, shown in the caption of
    // the transmitted-packets frame, where the counters line that replaces
    // the status text with every packet cannot hide them. An empty text
    // clears one.
    enum class Notice { Files, Satellites };
    void setNotice(Notice notice, const QString& text);
    QString noticeText() const;

    // The layout currently applied (for the outer width).
    const MainLayout& layout() const { return m_layout; }

signals:
    // cmdStart was clicked (the controller toggles the link).
    void startClicked();
    // chkLog changed, by the user or by applyDailyLog.
    void logToggled(bool checked);
    // chkForward changed, by the user or by applyGateToOut.
    void gateToOutToggled(bool checked);
    // An optTlm button was selected by the user (its index), or
    // applyTelemetryMode was given a valid mode: ApplyTelemetryWindowMode.
    void telemetryModeSelected(int mode);
    // The engine profile choice changed, from the context menu or
    // applyEngineChoice.
    void engineChoiceChanged(EngineChoice choice);
    void autoReconnectChanged(bool on);
    // "APRS-IS..." was chosen from the context menu.
    void aprsIsRequested();
    // "Satelliti..." was chosen from the context menu.
    void satellitesRequested();
    // "Motore..." was chosen from the context menu.
    void engineRequested();
    // The window is closing (emitted before it closes; cannot be cancelled).
    void closing();

protected:
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void buildControls();
    void setTabOrderChain();
    void applyLayout();
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
    QWidget* control(MainControl c) const { return m_controls[std::size_t(c)]; }

    std::unique_ptr<IDialogs> m_ownDialogs;
    IDialogs* m_dialogs;
    TrayIcon* m_tray;
    MainLayout m_layout;
    std::array<QWidget*, kMainControlCount> m_controls{};

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
    QLineEdit* m_txtIn = nullptr;
    QLineEdit* m_txtOut = nullptr;
    QLineEdit* m_txtDup = nullptr;
    QLineEdit* m_txtAddress = nullptr;
    QFrame* m_frame5 = nullptr;
    QLabel* m_lblWarning = nullptr;
    QGroupBox* m_frame3 = nullptr;
    QListWidget* m_list2 = nullptr;
    std::array<QRadioButton*, 3> m_optTlm{};
    QCheckBox* m_chkLog = nullptr;
    QGroupBox* m_frame4 = nullptr;
    QListWidget* m_list1 = nullptr;
    std::array<QAction*, 4> m_engineActions{};
    QAction* m_engineDialogAction = nullptr;
    QString m_engineText;
    bool m_engineIsAgw = true;
    QAction* m_autoReconnect = nullptr;
    QAction* m_aprsIsAction = nullptr;
    QAction* m_satellitesAction = nullptr;
    QString m_profileText;
    std::array<QString, 2> m_notices;

    bool m_running = false;
    PacketColour m_receivedColour = PacketColour::Green;
    EngineChoice m_engineChoice = EngineChoice::Automatic;
    bool m_applyingMode = false;
    double m_tlmHeight = 4850;
    int m_tlmTop = 0;
    int m_tlmLeft = 0;
};

} // namespace selvane
