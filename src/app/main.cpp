#include <QApplication>
#include <QSessionManager>
#include <QSocketNotifier>
#include <QWidget>

#include <csignal>
#include <memory>
#include <sys/socket.h>
#include <unistd.h>

#include "ui/SelvaneApp.h"

namespace {

// SIGTERM, SIGINT and SIGHUP end the program through the event loop, so that
// the same shut-down runs as when the window is closed. The handler only
// writes one byte to a socket pair; the notifier does the rest on the UI
// thread.
int g_signalPipe[2] = {-1, -1};

void OnTerminationSignal(int)
{
    const char byte = 1;
    [[maybe_unused]] auto written = ::write(g_signalPipe[0], &byte, 1);
}

void InstallTerminationHandlers()
{
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, g_signalPipe) != 0)
        return;
    struct sigaction action = {};
    action.sa_handler = OnTerminationSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGHUP, &action, nullptr);
}

} // namespace

int main(int argc, char** argv)
{
    InstallTerminationHandlers();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Selvane"));
    // The main window's close ends the program, even while the telemetry
    // window is still open.
    QApplication::setQuitOnLastWindowClosed(false);

    selvane::SelvaneApp selvane({});

    bool terminate = false;
    std::unique_ptr<QSocketNotifier> notifier;
    if (g_signalPipe[1] >= 0) {
        notifier = std::make_unique<QSocketNotifier>(g_signalPipe[1], QSocketNotifier::Read);
        QObject::connect(notifier.get(), &QSocketNotifier::activated, &app, [&terminate] {
            char byte;
            [[maybe_unused]] auto n = ::read(g_signalPipe[1], &byte, 1);
            terminate = true;
            // A signal can arrive while start-up shows a message box, before
            // the main loop runs: the box is closed and start-up ends early.
            for (int i = 0; i < 8; ++i) {
                QWidget* modal = QApplication::activeModalWidget();
                if (!modal)
                    break;
                modal->close();
            }
            QApplication::quit();
        });
    }
    // Closing the window, a signal and the end of the program all arrive
    // here or at aboutToQuit; the shut-down runs once.
    QObject::connect(&selvane, &selvane::SelvaneApp::finished, &app, &QApplication::quit);
    QObject::connect(&app, &QApplication::aboutToQuit, &selvane, &selvane::SelvaneApp::shutdown);
    // The desktop session ending: everything is saved now, since the session
    // manager may end the process without another word; it may also cancel.
    QObject::connect(&app, &QGuiApplication::commitDataRequest, &selvane,
                     [&selvane](QSessionManager&) { selvane.commitSession(); });

    if (!selvane.start()) {
        // Another program works in this folder: it was said, nothing changed.
        selvane.shutdown();
        return 1;
    }
    if (terminate) {
        selvane.shutdown();
        return 0;
    }
    return app.exec();
}
