#include "ui/SelvaneApp.h"

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QScreen>

#include "telemetry/TelemetryDecoder.h"
#include "ui/AprsIsDialog.h"
#include "ui/EngineDialog.h"
#include "ui/Placement.h"
#include "ui/SatellitesDialog.h"

namespace selvane {

SelvaneApp::SelvaneApp(Options options)
    : m_options(std::move(options)),
      m_settings(QDir(m_options.folder).filePath(kSettingsFileName))
{
    // The telemetry window exists, hidden, before anything else.
    m_tlmWindow = std::make_unique<TelemetryWindow>();
    m_window = std::make_unique<MainWindow>(m_options.dialogs, m_options.trayAvailable);
    m_tlmView = std::make_unique<TelemetryGlue>(*m_window, *m_tlmWindow, m_window->dialogs());
    m_station = std::make_unique<Station>(m_options, *m_window, m_window.get(), m_tlmView.get());

    // The notice stays until the files are written again: the counters
    // line, refreshed with every packet, would hide it in the status line.
    connect(m_station.get(), &Station::fileTrouble, this, [this](const QString& what) {
        m_window->setNotice(MainWindow::Notice::Files, tr("Log non scritto (disco pieno?): %1").arg(what));
    });
    connect(m_station.get(), &Station::filesRecovered, this,
            [this] { m_window->setNotice(MainWindow::Notice::Files, {}); });
    connect(m_station.get(), &Station::aprsIsStateChanged, this, &SelvaneApp::showAprsIs);
    connect(m_station.get(), &Station::aprsIsCountersChanged, this, &SelvaneApp::showAprsIs);
    connect(m_station.get(), &Station::aprsIsLoginInUse, this, &SelvaneApp::showAprsIs);
    // Safe mode is known only from the decoder's warning, as it happens.
    connect(m_station.get(), &Station::warningChanged, this, [this](const QString& text, bool visible) {
        if (const std::optional<QTime> at = SafeModeWarningTime(text); visible && at && m_tlmWindow)
            m_tlmWindow->markSafeMode(*at);
    });

    // The link changes with the engine: asked for at each click.
    connect(m_window.get(), &MainWindow::startClicked, this, [this] { m_station->link().toggle(); });
    connect(m_window.get(), &MainWindow::engineChoiceChanged, this, [this] { m_station->engineChoiceChanged(); });
    connect(m_window.get(), &MainWindow::engineRequested, this, &SelvaneApp::editEngine);
    connect(m_station.get(), &Station::engineChanged, this, &SelvaneApp::showEngine);
    // The address of an AGW engine is the IP field, as it is at each attempt.
    connect(m_station.get(), &Station::engineConnecting, this, &SelvaneApp::showEngine);
    connect(m_window.get(), &MainWindow::logToggled, this, [this](bool on) { m_station->setLogEnabled(on); });
    connect(m_window.get(), &MainWindow::telemetryModeSelected, this,
            [this](int mode) { m_station->telemetryModes().ApplyTelemetryWindowMode(mode); });
    connect(m_tlmWindow.get(), &TelemetryWindow::hideClicked, this,
            [this] { m_station->telemetryModes().HideTelemetryWindow(); });
    connect(m_tlmWindow.get(), &TelemetryWindow::loadRequested, this, &SelvaneApp::loadTelemetryHistory);
    connect(m_tlmWindow.get(), &TelemetryWindow::shownChanged, m_window.get(), &MainWindow::setTelemetryWindowShown);
    connect(m_window.get(), &MainWindow::telemetryWindowRequested, this, &SelvaneApp::requestTelemetryWindow);
    connect(m_window.get(), &MainWindow::aprsIsRequested, this, &SelvaneApp::editAprsIs);
    connect(m_window.get(), &MainWindow::satellitesRequested, this, &SelvaneApp::editSatellites);
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
    if (!m_station->lockFolder()) {
        m_window->dialogs().folderInUse(m_station->lockProblem());
        return false;
    }
    if (!m_station->ensureLogsFolder())
        m_window->showLogsDirectoryError();
    m_settings.LoadSettings(*this);
    placeWindows();

    const QStringList problems = m_station->loadConfig();
    // APRS-IS after the settings: its login defaults to the gateway call.
    m_station->startAprsIs();
    showAprsIs();
    showSatellites();
    showEngine();

    m_window->show();
    // A settings file that is not used is said; a damaged one replaced by
    // the defaults was kept beside it.
    if (!m_settings.problem().isEmpty())
        m_window->dialogs().settingsFileProblem(m_settings.problem());
    else if (!m_settings.keptCopy().isEmpty())
        m_window->setStatusText(tr("Selvane.ini danneggiato: conservato come %1, impostazioni predefinite")
                                    .arg(QFileInfo(m_settings.keptCopy()).fileName()));
    if (!problems.isEmpty())
        m_window->dialogs().aprsIsConfigProblems(problems);
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
    m_station->stop();
    // A program that did not get the folder leaves its files alone.
    if (m_station->ownsFolder())
        m_settings.SaveSettings(collectSettings());
    // Destroyed, not closed: a close would count as the user's "Hide".
    m_tlmWindow.reset();
}

void SelvaneApp::commitSession()
{
    if (m_shutDown || !m_station->ownsFolder())
        return;
    m_settings.SaveSettings(collectSettings());
    m_station->dailyLog().close();
    m_station->telemetryHistory().close();
}

void SelvaneApp::loadTelemetryHistory()
{
    const QString path = m_window->dialogs().openTelemetryHistory(m_station->logsDir());
    if (path.isEmpty() || !m_tlmWindow)
        return;
    m_station->telemetryHistory().LoadTlmHistory(path);
}

void SelvaneApp::showAprsIs()
{
    const AprsIsGate* gate = m_station->aprsIs();
    if (!gate || gate->state() == AprsIsState::Off) {
        m_window->showAprsIs({});
        return;
    }
    const AprsIsCounters& c = gate->counters();
    QString state = AprsIsStateText(gate->state());
    if (gate->loginSeemsInUse())
        state += QStringLiteral(", ") + AprsIsClient::LoginInUseText();
    m_window->showAprsIs(tr("APRS-IS: %1, inviati %2, persi %3").arg(state).arg(c.uploaded).arg(c.missed),
                         gate->statusText());
}

void SelvaneApp::showSatellites()
{
    const bool none = !m_station->config().satellites.anyEnabled();
    const QString text = tr("nessun satellite abilitato: il gateway non inoltra nulla");
    m_window->setNotice(MainWindow::Notice::Satellites, none ? text : QString());
    if (none)
        m_window->setStatusText(text);
}

void SelvaneApp::saveConfig(const StationConfig& config)
{
    QString error;
    if (!m_station->saveConfig(config, &error))
        m_window->dialogs().aprsIsConfigProblems({error});
    showAprsIs();
    showSatellites();
}

void SelvaneApp::editAprsIs()
{
    const AprsIsGate* gate = m_station->aprsIs();
    if (!gate)
        return;
    const std::optional<AprsIsConfig> aprsIs =
        AprsIsDialog::edit(m_window.get(), gate->config(), m_window->gatewayCall(), gate);
    if (!aprsIs)
        return;
    StationConfig config = m_station->config();
    config.aprsIs = *aprsIs;
    saveConfig(config);
}

void SelvaneApp::editSatellites()
{
    const std::optional<SatelliteTable> table = SatellitesDialog::edit(m_window.get(), m_station->config().satellites);
    if (!table)
        return;
    StationConfig config = m_station->config();
    config.satellites = *table;
    saveConfig(config);
}

void SelvaneApp::showEngine()
{
    m_window->showEngine(EngineKindText(m_station->engineKind()) + QLatin1Char(' ') + m_station->engineAddress(),
                         m_station->engineKind() == EngineKind::Agw);
}

void SelvaneApp::editEngine()
{
    const std::optional<EngineConfig> engine = EngineDialog::edit(m_window.get(), m_station->config().engine);
    if (!engine)
        return;
    StationConfig config = m_station->config();
    config.engine = *engine;
    saveConfig(config);
    showEngine();
}

bool SelvaneApp::applyTelemetryMode(int mode)
{
    // The main window selects the button and reports the selection, which
    // applies the mode; a mode it refuses applies nothing.
    return m_window->applyTelemetryMode(mode);
}

bool SelvaneApp::applyMainWindow(int left, int top, int width)
{
    m_mainPlaced = !(left == 0 && top == 0);
    return m_window->applyMainWindow(left, top, width);
}

bool SelvaneApp::applyTelemetryWindow(double height, int top, int left)
{
    m_telemetryPlaced = !(top == 0 && left == 0);
    m_tlmWindow->setOuterHeightTwips(height);
    m_tlmWindow->setTopLeftTwips(top, left);
    return true;
}

void SelvaneApp::placeWindows()
{
    // Frames are drawn by the window manager once a window is shown; until
    // then each window counts with its frame allowance.
    constexpr int kGap = 8;
    const QSize mainFrame = m_window->size() + MainWindowMetrics::Frame.pixels();
    const QSize tlmFrame = m_tlmWindow->size() + TelemetryWindowMetrics::Frame.pixels();
    QList<QRect> screens;
    for (const QScreen* screen : QGuiApplication::screens())
        screens << screen->availableGeometry();
    const QScreen* primary = QGuiApplication::primaryScreen();
    if (!primary)
        return;
    const QRect area = primary->availableGeometry();

    if (!m_mainPlaced && !m_telemetryPlaced) {
        const PairPlace place = PlacePair(mainFrame, tlmFrame, area, kGap);
        m_window->move(place.main);
        m_tlmWindow->move(place.telemetry);
        return;
    }
    const QRect main(m_window->pos(), mainFrame);
    if (!m_mainPlaced)
        m_window->move(CentredOn(mainFrame, area));
    else if (!IsReachable(main, screens))
        m_window->move(KeptWithin(main, area));

    const QRect telemetry(m_tlmWindow->pos(), tlmFrame);
    if (!m_telemetryPlaced) {
        const QRect mainNow(m_window->pos(), mainFrame);
        const QScreen* screen = QGuiApplication::screenAt(mainNow.center());
        m_tlmWindow->move(PlaceBeside(mainNow, tlmFrame, screen ? screen->availableGeometry() : area, kGap));
    } else if (!IsReachable(telemetry, screens)) {
        m_tlmWindow->move(KeptWithin(telemetry, area));
    }
}

void SelvaneApp::requestTelemetryWindow(bool show)
{
    if (m_shutDown)
        return;
    if (show)
        m_window->applyTelemetryMode(TlmModeShow);
    else if (m_tlmWindow && m_tlmWindow->isVisible())
        m_station->telemetryModes().HideTelemetryWindow();
    // The menu's check follows the window, whatever the request did.
    m_window->setTelemetryWindowShown(m_tlmWindow && m_tlmWindow->isVisible());
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
