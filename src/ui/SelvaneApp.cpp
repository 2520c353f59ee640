#include "ui/SelvaneApp.h"

#include <QDir>

#include "ui/AprsIsDialog.h"

namespace selvane {

SelvaneApp::SelvaneApp(Options options)
    : m_options(std::move(options)),
      m_logsDir(QDir(m_options.workingDir).filePath(LogsDirectoryPath())),
      m_settings(QDir(m_options.workingDir).filePath(kSettingsFileName)),
      m_lock(m_options.workingDir)
{
    // The telemetry window exists, hidden, before anything else.
    m_tlmWindow = std::make_unique<TelemetryWindow>();
    m_window = std::make_unique<MainWindow>(m_options.dialogs, m_options.trayAvailable);
    m_tlmView = std::make_unique<TelemetryGlue>(*m_window, *m_tlmWindow, m_window->dialogs());
    m_tlmTimer = std::make_unique<QtTelemetryTimer>([this] { m_modes->tick(); });
    m_modes = std::make_unique<TelemetryWindowModes>(*m_tlmView, *m_tlmTimer);
    m_history = std::make_unique<TelemetryHistory>(m_logsDir, m_tlmState, *m_tlmView, m_options.clock);
    m_decoder = std::make_unique<TelemetryDecoder>(
        *m_tlmView, m_tlmState, *m_modes, *m_history, [this] { return m_gateway->dailyLog().logEnabled(); },
        m_options.clock);
    m_gateway = std::make_unique<Gateway>(*m_window, *m_window, *m_decoder, m_options.clock, m_options.monotonic,
                                          m_logsDir, m_options.enginePort);

    // A full disk or an unwritable Logs folder never stops the gateway; the
    // status line says so once.
    for (DayFile* file : {&m_gateway->dailyLog().dayFile(), &m_history->dayFile()})
        file->onTrouble = [this](const QString& what) {
            m_window->setStatusText(QStringLiteral("Log non scritto (disco pieno?): ") + what);
        };
    connect(m_window.get(), &MainWindow::startClicked, &m_gateway->link(), &AgwLink::toggle);
    connect(m_window.get(), &MainWindow::engineChoiceChanged, &m_gateway->link(),
            &AgwLink::engineChoiceChanged);
    connect(m_window.get(), &MainWindow::logToggled, this,
            [this](bool on) { m_gateway->dailyLog().setLogEnabled(on); });
    connect(m_window.get(), &MainWindow::telemetryModeSelected, this,
            [this](int mode) { m_modes->ApplyTelemetryWindowMode(mode); });
    connect(m_tlmWindow.get(), &TelemetryWindow::hideClicked, this, [this] { m_modes->HideTelemetryWindow(); });
    connect(m_tlmWindow.get(), &TelemetryWindow::loadRequested, this, &SelvaneApp::loadTelemetryHistory);
    connect(m_window.get(), &MainWindow::closing, this, [this] {
        shutdown();
        emit finished();
    });
}

SelvaneApp::~SelvaneApp()
{
    shutdown();
}

bool SelvaneApp::start()
{
    m_ownsFolder = m_lock.tryLock();
    if (!m_ownsFolder) {
        m_window->dialogs().folderInUse(m_lock.problem());
        return false;
    }
    if (!EnsureLogsDirectory(m_options.workingDir))
        m_window->showLogsDirectoryError();
    m_settings.LoadSettings(*this);

    // APRS-IS after the settings: its login defaults to the gateway call.
    const AprsIsConfigRead aprsIs = ReadAprsIsConfig(AprsIsConfigPath(m_options.workingDir));
    m_aprsIs = std::make_unique<AprsIsGate>(*m_window, aprsIs.config, m_options.monotonic);
    connect(m_aprsIs.get(), &AprsIsGate::stateChanged, this, &SelvaneApp::showAprsIs);
    connect(m_aprsIs.get(), &AprsIsGate::countersChanged, this, &SelvaneApp::showAprsIs);
    connect(m_aprsIs.get(), &AprsIsGate::loginInUse, this, &SelvaneApp::showAprsIs);
    m_gateway->link().setHeardObserver([this](const HeardPacket& p) {
        if (m_aprsIs)
            m_aprsIs->heard(p);
    });
    connect(m_window.get(), &MainWindow::aprsIsRequested, this, &SelvaneApp::editAprsIs);
    showAprsIs();

    m_window->show();
    if (!aprsIs.problems.isEmpty())
        m_window->dialogs().aprsIsConfigProblems(aprsIs.problems);
    return true;
}

void SelvaneApp::shutdown()
{
    if (m_shutDown)
        return;
    m_shutDown = true;
    // Nothing the user does from here on reaches the gateway or the
    // telemetry logic.
    m_window->disconnect(this);
    m_tlmWindow->disconnect(this);
    m_gateway->link().closeForExit();
    m_aprsIs.reset();
    // A program that did not get the folder leaves its files alone.
    if (m_ownsFolder)
        m_settings.SaveSettings(collectSettings());
    m_gateway->dailyLog().close();
    m_history->close();
    m_tlmTimer->stop();
    // Destroyed, not closed: a close would count as the user's "Hide".
    m_tlmWindow.reset();
}

void SelvaneApp::commitSession()
{
    if (m_shutDown || !m_ownsFolder)
        return;
    m_settings.SaveSettings(collectSettings());
    m_gateway->dailyLog().close();
    m_history->close();
}

void SelvaneApp::loadTelemetryHistory()
{
    const QString path = m_window->dialogs().openTelemetryHistory(m_logsDir);
    if (path.isEmpty() || !m_tlmWindow)
        return;
    m_history->LoadTlmHistory(path);
}

void SelvaneApp::showAprsIs()
{
    if (!m_aprsIs || m_aprsIs->state() == AprsIsState::Off) {
        m_window->showAprsIs({});
        return;
    }
    QString state;
    switch (m_aprsIs->state()) {
    case AprsIsState::Connecting:
        state = QStringLiteral("connessione...");
        break;
    case AprsIsState::Verified:
        state = QStringLiteral("connesso e verificato");
        break;
    case AprsIsState::Unverified:
        state = QStringLiteral("NON verificato: il server scarta i pacchetti");
        break;
    default:
        state = QStringLiteral("errore");
        break;
    }
    const AprsIsCounters& c = m_aprsIs->counters();
    if (m_aprsIs->loginSeemsInUse())
        state += QStringLiteral(", ") + AprsIsClient::LoginInUseText();
    m_window->showAprsIs(QStringLiteral("APRS-IS: %1, inviati %2, persi %3").arg(state).arg(c.uploaded).arg(c.missed));
}

void SelvaneApp::editAprsIs()
{
    if (!m_aprsIs)
        return;
    const std::optional<AprsIsConfig> config =
        AprsIsDialog::edit(m_window.get(), m_aprsIs->config(), m_window->gatewayCall());
    if (!config)
        return;
    QString error;
    if (!WriteAprsIsConfig(AprsIsConfigPath(m_options.workingDir), *config, &error))
        m_window->dialogs().aprsIsConfigProblems({error});
    m_aprsIs->applyConfig(*config);
    showAprsIs();
}

bool SelvaneApp::applyTelemetryMode(int mode)
{
    // The main window selects the button and reports the selection, which
    // applies the mode; a mode it refuses applies nothing.
    return m_window->applyTelemetryMode(mode);
}

bool SelvaneApp::applyTelemetryWindow(double height, int top, int left)
{
    m_tlmWindow->setOuterHeightTwips(height);
    m_tlmWindow->setTopLeftTwips(top, left);
    return true;
}

GatewaySettings SelvaneApp::collectSettings() const
{
    GatewaySettings s = m_window->collectSettings();
    if (m_tlmWindow) {
        s.tlmHeight = m_tlmWindow->outerHeightTwips();
        s.tlmTop = m_tlmWindow->topTwips();
        s.tlmLeft = m_tlmWindow->leftTwips();
    }
    return s;
}

} // namespace selvane
