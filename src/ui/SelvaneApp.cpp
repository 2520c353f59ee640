#include "ui/SelvaneApp.h"

#include <QDir>

namespace selvane {

SelvaneApp::SelvaneApp(Options options)
    : m_options(std::move(options)),
      m_settings(QDir(m_options.workingDir).filePath(kSettingsFileName))
{
    m_window = std::make_unique<MainWindow>(m_options.dialogs, m_options.trayAvailable);
    m_link = std::make_unique<AgwLink>(*m_window, *m_window, m_router, m_options.clock, m_options.enginePort);

    connect(m_window.get(), &MainWindow::startClicked, m_link.get(), &AgwLink::toggle);
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
    m_link->closeForExit();
    m_settings.SaveSettings(m_window->collectSettings());
}

} // namespace selvane
