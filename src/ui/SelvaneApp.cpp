#include "ui/SelvaneApp.h"

#include <QDir>

namespace selvane {

SelvaneApp::SelvaneApp(Options options)
    : m_options(std::move(options)),
      m_settings(QDir(m_options.workingDir).filePath(kSettingsFileName))
{
    m_window = std::make_unique<MainWindow>(m_options.dialogs, m_options.trayAvailable);
    const QString logsDir = QDir(m_options.workingDir).filePath(LogsDirectoryPath());
    m_gateway = std::make_unique<Gateway>(*m_window, *m_window, m_decoder, m_options.clock, m_options.monotonic,
                                          logsDir, m_options.enginePort);

    connect(m_window.get(), &MainWindow::startClicked, &m_gateway->link(), &AgwLink::toggle);
    connect(m_window.get(), &MainWindow::logToggled, this,
            [this](bool on) { m_gateway->dailyLog().setLogEnabled(on); });
    connect(m_window.get(), &MainWindow::closing, this, [this] {
        shutdown();
        emit finished();
    });
}

SelvaneApp::~SelvaneApp()
{
    shutdown();
}

void SelvaneApp::start()
{
    if (!EnsureLogsDirectory(m_options.workingDir))
        m_window->showLogsDirectoryError();
    m_settings.LoadSettings(*m_window);
    m_window->show();
}

void SelvaneApp::shutdown()
{
    if (m_shutDown)
        return;
    m_shutDown = true;
    m_gateway->link().closeForExit();
    m_settings.SaveSettings(m_window->collectSettings());
    m_gateway->dailyLog().close();
}

} // namespace selvane
