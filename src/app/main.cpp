#include <QApplication>
#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QSessionManager>
#include <QSocketNotifier>
#include <QWidget>

#include <csignal>
#include <cstdio>
#include <memory>
#include <optional>
#include <sys/socket.h>
#include <unistd.h>

#include "common/Translation.h"
#include "selvane/Version.h"
#include "ui/SelvaneApp.h"

namespace {

// SIGTERM, SIGINT and SIGHUP end the program through the event loop, with
// the same shut-down as when the main window is closed. The handler only
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

void PrintError(const QString& text)
{
    std::fprintf(stderr, "selvane: %s\n", qPrintable(text));
}

// The command line. Settings (Selvane.ini) and Logs/ go to the working
// directory, to the folder named by --dir, or with --user-folder (the menu
// entry's choice) to ~/Selvane; the chosen folder becomes the working
// directory before the program starts.
class CommandLine {
public:
    CommandLine()
    {
        m_parser.setApplicationDescription(QCoreApplication::translate("selvane",
            "Inoltra i pacchetti APRS uditi attraverso i satelliti radioamatoriali fra un motore\n"
            "compatibile AGW Packet Engine o un TNC KISS e la rete radio locale.\n"
            "Selvane.ini, selvane.conf e Logs/ stanno nella cartella di lavoro, o nella\n"
            "cartella indicata da --dir o --user-folder."));
        // "-platform" and the other options of Qt itself are single-dash
        // words, not bundles of letters.
        m_parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
        m_parser.addOptions({m_help, m_version, m_dir, m_userFolder, m_enginePort});
    }

    // --help and --version, answered before the window system is touched so
    // that they work without a display. Other options may still be Qt's own
    // and are left to arguments(). Returns the exit status when the program
    // ends here.
    std::optional<int> answerEarly(const QStringList& arguments)
    {
        if (!m_parser.parse(arguments) && m_parser.unknownOptionNames().isEmpty())
            return usageError(m_parser.errorText());  // such as --dir without a folder
        if (m_parser.isSet(m_help)) {
            std::fputs(qPrintable(m_parser.helpText()), stdout);
            return 0;
        }
        if (m_parser.isSet(m_version)) {
            std::printf("selvane %s\n", SELVANE_VERSION);
            return 0;
        }
        return std::nullopt;
    }

    // The arguments left once Qt has taken its own: anything unknown is an
    // error now. The chosen folder is created if missing and made the
    // working directory. Returns the exit status when the program ends here.
    std::optional<int> apply(const QStringList& arguments)
    {
        if (!m_parser.parse(arguments))
            return usageError(m_parser.errorText());
        if (!m_parser.positionalArguments().isEmpty())
            return usageError(QCoreApplication::translate("selvane", "Argomento inatteso '%1'.").arg(m_parser.positionalArguments().constFirst()));
        bool portOk = false;
        const uint port = m_parser.value(m_enginePort).toUInt(&portOk);
        if (!portOk || port == 0 || port > 65535)
            return usageError(QCoreApplication::translate("selvane", "Porta del motore non valida: %1.").arg(m_parser.value(m_enginePort)));
        m_port = quint16(port);
        if (m_parser.isSet(m_dir) && m_parser.isSet(m_userFolder))
            return usageError(QCoreApplication::translate("selvane", "--dir e --user-folder non si usano insieme."));
        QString folder;
        if (m_parser.isSet(m_dir)) {
            folder = m_parser.value(m_dir);
            if (folder.isEmpty())
                return usageError(QCoreApplication::translate("selvane", "--dir vuole una cartella."));
        } else if (m_parser.isSet(m_userFolder)) {
            const QDir home(QDir::homePath());
            // Never the root of the file system when HOME is missing.
            if (QDir::homePath().isEmpty() || home.isRoot()) {
                PrintError(QCoreApplication::translate("selvane", "nessuna cartella personale per la cartella Selvane; usare --dir."));
                return 1;
            }
            folder = home.filePath(QStringLiteral("Selvane"));
        } else {
            return std::nullopt;
        }
        const QFileInfo info(folder);
        if (info.exists() && !info.isDir()) {
            PrintError(QCoreApplication::translate("selvane", "%1 non è una cartella.").arg(folder));
            return 1;
        }
        if (!QDir().mkpath(folder)) {
            PrintError(QCoreApplication::translate("selvane", "impossibile creare la cartella %1.").arg(folder));
            return 1;
        }
        if (!QFileInfo(folder).isWritable() || !QDir::setCurrent(folder)) {
            PrintError(QCoreApplication::translate("selvane", "impossibile lavorare nella cartella %1.").arg(folder));
            return 1;
        }
        return std::nullopt;
    }

    // The TCP port of the engine's AGW server (the host is the window's IP).
    quint16 enginePort() const { return m_port; }

private:
    int usageError(const QString& text)
    {
        PrintError(text);
        std::fprintf(stderr, "%s\n", qPrintable(QCoreApplication::translate("selvane", "Le opzioni: selvane --help")));
        return 2;
    }

    QCommandLineParser m_parser;
    const QCommandLineOption m_help{{QStringLiteral("h"), QStringLiteral("help")}, QCoreApplication::translate("selvane", "Mostra queste opzioni ed esce.")};
    const QCommandLineOption m_version{{QStringLiteral("v"), QStringLiteral("version")}, QCoreApplication::translate("selvane", "Mostra la versione ed esce.")};
    const QCommandLineOption m_dir{QStringLiteral("dir"),
        QCoreApplication::translate("selvane", "Tiene Selvane.ini e Logs/ in DIR (creata se manca)."), QStringLiteral("DIR")};
    const QCommandLineOption m_userFolder{QStringLiteral("user-folder"),
        QCoreApplication::translate("selvane", "Tiene Selvane.ini e Logs/ in ~/Selvane (creata se manca), come la voce del menu.")};
    const QCommandLineOption m_enginePort{QStringLiteral("engine-port"),
        QCoreApplication::translate("selvane", "Porta TCP del server AGW del motore (predefinita 8000; l'host è la casella IP)."),
        QStringLiteral("N"), QStringLiteral("8000")};
    quint16 m_port = selvane::AgwLink::DefaultEnginePort;
};

} // namespace

int main(int argc, char** argv)
{
    InstallTerminationHandlers();
    {
        // A core application, which needs no display, for --help and --version.
        QCoreApplication probe(argc, argv);
        selvane::InstallTranslation(probe);
        if (const auto status = CommandLine().answerEarly(QCoreApplication::arguments()))
            return *status;
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Selvane"));
    QApplication::setApplicationVersion(QStringLiteral(SELVANE_VERSION));
    // Lets the desktop match the windows with the menu entry and its icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.selvane.Selvane"));
    // The windows in the desktop's language: Italian, or a translation.
    selvane::InstallTranslation(app);
    // A wrong command line or an unusable folder ends the program before any
    // window appears.
    CommandLine commandLine;
    if (const auto status = commandLine.apply(QApplication::arguments()))
        return *status;
    // The main window's close ends the program, even while the telemetry
    // window is still open.
    QApplication::setQuitOnLastWindowClosed(false);

    selvane::SelvaneApp::Options options;
    options.enginePort = commandLine.enginePort();
    selvane::SelvaneApp selvane(options);

    // Ends the program after the shut-down of closing the main window. Not
    // QApplication::quit(): that first closes every window and gives up
    // when one refuses, and the telemetry window refuses (its close is the
    // user's "Hide", which would also change the mode saved).
    const auto end = [&selvane] {
        selvane.shutdown();
        QCoreApplication::exit(0);
    };
    bool started = false;
    bool terminate = false;
    std::unique_ptr<QSocketNotifier> notifier;
    if (g_signalPipe[1] >= 0) {
        notifier = std::make_unique<QSocketNotifier>(g_signalPipe[1], QSocketNotifier::Read);
        QObject::connect(notifier.get(), &QSocketNotifier::activated, &app, [&] {
            char byte;
            [[maybe_unused]] auto n = ::read(g_signalPipe[1], &byte, 1);
            terminate = true;
            // A message box open (at start-up, or a connection error later)
            // is closed; its caller goes on once this handler returns.
            for (int i = 0; i < 8; ++i) {
                QWidget* modal = QApplication::activeModalWidget();
                if (!modal)
                    break;
                modal->close();
            }
            // During start-up the rest waits for start() to return (below);
            // afterwards the shut-down runs from the main loop, once any
            // box's own loop has ended.
            if (started)
                QMetaObject::invokeMethod(&app, end, Qt::QueuedConnection);
        });
    }
    // Closing the window, a signal and the end of the program all arrive
    // here or at aboutToQuit; the shut-down runs once.
    QObject::connect(&selvane, &selvane::SelvaneApp::finished, &app, end);
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
    started = true;
    return app.exec();
}
