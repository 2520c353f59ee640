// selvaned: the satellite gateway without windows, for a ground station that
// runs unattended (a systemd service, a computer with no screen).
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QSocketNotifier>
#include <QTemporaryFile>

#include <csignal>
#include <optional>
#include <cstdio>
#include <sys/socket.h>
#include <unistd.h>

#include "headless/EventLog.h"
#include "headless/HeadlessGateway.h"
#include "headless/LocalTimeZone.h"
#include "common/Translation.h"
#include "selvane/Version.h"
#include "settings/FolderLock.h"
#include "settings/SettingsCommand.h"

namespace {

// The handler only writes the signal's number to a socket pair; the
// notifier acts on it in the event loop.
int g_signalPipe[2] = {-1, -1};

void OnSignal(int signal)
{
    const char byte = char(signal);
    [[maybe_unused]] auto written = ::write(g_signalPipe[0], &byte, 1);
}

bool InstallSignalHandlers()
{
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, g_signalPipe) != 0)
        return false;
    struct sigaction action = {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int s : {SIGTERM, SIGINT, SIGHUP})
        sigaction(s, &action, nullptr);
    return true;
}

void Fail(const QString& text)
{
    std::fprintf(stderr, "selvaned: %s\n", text.toLocal8Bit().constData());
}

// A folder the gateway can work in: it exists and files can be made there.
bool UsableFolder(const QString& dir, QString* why)
{
    const QFileInfo info(dir);
    if (!info.exists()) {
        *why = QCoreApplication::translate("selvaned", "la cartella %1 non esiste").arg(dir);
        return false;
    }
    if (!info.isDir()) {
        *why = QCoreApplication::translate("selvaned", "%1 non è una cartella").arg(dir);
        return false;
    }
    QTemporaryFile probe(QDir(dir).filePath(QStringLiteral(".selvaned-XXXXXX")));
    if (!probe.open()) {
        *why = QCoreApplication::translate("selvaned", "nella cartella %1 non si può scrivere: %2").arg(dir, probe.errorString());
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    selvane::ReadLocalTimeZoneOnce();
    InstallSignalHandlers();
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("selvaned"));
    QCoreApplication::setApplicationVersion(QStringLiteral(SELVANE_VERSION));
    // The event lines in the user's language; the logs and files the
    // gateway writes are never translated.
    selvane::InstallTranslation(app);

    QCommandLineParser parser;
    parser.setApplicationDescription(QCoreApplication::translate("selvaned",
        "Gateway di pacchetti satellitari senza finestre: inoltra i pacchetti APRS uditi attraverso\n"
        "i satelliti fra le porte radio di un motore compatibile AGWPE (Dire Wolf, AGW Packet Engine)\n"
        "o di un TNC KISS (via TCP o linea seriale), con le impostazioni di Selvane.ini e\n"
        "selvane.conf e i log in Logs/ della sua cartella."));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption dirOption(QStringList{QStringLiteral("d"), QStringLiteral("dir")},
                                       QCoreApplication::translate("selvaned", "Lavora in DIR: DIR/Selvane.ini, DIR/Logs/ (predefinita: la cartella corrente)."),
                                       QStringLiteral("DIR"), QStringLiteral("."));
    const QCommandLineOption portOption(QStringLiteral("engine-port"),
                                        QCoreApplication::translate("selvaned", "Un motore AGW sulla porta TCP N per questa esecuzione (l'host è in Selvane.ini)."),
                                        QStringLiteral("N"));
    const QCommandLineOption engineOption(
        QStringLiteral("engine"),
        QCoreApplication::translate("selvaned", "Il motore per questa esecuzione, al posto della sezione [engine] di "
                                                "DIR/selvane.conf: agw://HOST:PORTA, kiss-tcp://HOST:PORTA o "
                                                "kiss-serial:DISPOSITIVO[@VELOCITÀ]."),
        QStringLiteral("ENGINE"));
    const QCommandLineOption setOption(
        QStringLiteral("set"),
        QCoreApplication::translate("selvaned", "Scrive NOME=VALORE in DIR/Selvane.ini, tenendo gli altri campi, ed "
                                                "esce (possono seguire altri NOME=VALORE). Nomi: via, call, sats, out, "
                                                "dup, address, logs, tlm-mode, gate-to-out, gate-to-sats, "
                                                "gate-telemetry, profile, reconnect; vedi selvaned(8)."),
        QStringLiteral("NAME=VALUE"));
    const QCommandLineOption showOption(QStringLiteral("show"),
                                        QCoreApplication::translate("selvaned", "Stampa le impostazioni di DIR/Selvane.ini, un nome=valore per riga, ed esce."));
    parser.addOption(dirOption);
    parser.addOption(portOption);
    parser.addOption(engineOption);
    parser.addOption(setOption);
    parser.addOption(showOption);
    if (!parser.parse(app.arguments())) {
        Fail(QCoreApplication::translate("selvaned", "%1 (vedi selvaned --help)").arg(parser.errorText()));
        return 2;
    }
    if (parser.isSet(QStringLiteral("help")))
        parser.showHelp(0);
    if (parser.isSet(QStringLiteral("version"))) {
        std::printf("selvaned %s\n", SELVANE_VERSION);
        return 0;
    }
    const QString folder = QDir::cleanPath(parser.value(dirOption));
    if (parser.isSet(setOption) || (parser.isSet(showOption) && parser.positionalArguments().isEmpty())) {
        // "--set a=1 b=2" as well as "--set a=1 --set b=2".
        const QStringList assignments = parser.values(setOption) + parser.positionalArguments();
        const selvane::SettingsCommandResult result =
            selvane::RunSettingsCommand(folder, assignments, parser.isSet(showOption));
        std::fputs(result.out.toLocal8Bit().constData(), stdout);
        for (const QString& line : result.err.split(QLatin1Char('\n'), Qt::SkipEmptyParts))
            Fail(line);
        return result.exitStatus;
    }
    if (!parser.positionalArguments().isEmpty()) {
        Fail(QCoreApplication::translate("selvaned", "argomento inatteso: %1 (vedi selvaned --help)").arg(parser.positionalArguments().first()));
        return 2;
    }
    std::optional<quint16> enginePort;
    if (parser.isSet(portOption)) {
        bool portOk = false;
        const uint port = parser.value(portOption).toUInt(&portOk);
        if (!portOk || port == 0 || port > 65535) {
            Fail(QCoreApplication::translate("selvaned", "porta del motore non valida: %1").arg(parser.value(portOption)));
            return 2;
        }
        enginePort = quint16(port);
    }
    std::optional<selvane::EngineConfig> engine;
    if (parser.isSet(engineOption)) {
        if (enginePort) {
            Fail(QCoreApplication::translate("selvaned", "--engine e --engine-port non si usano insieme (vedi selvaned --help)"));
            return 2;
        }
        QString error;
        engine = selvane::ParseEngineOption(parser.value(engineOption), &error);
        if (!engine) {
            Fail(error);
            return 2;
        }
    }
    QString why;
    if (!UsableFolder(folder, &why)) {
        Fail(why);
        return 1;
    }
    // Before anything in the folder is touched.
    selvane::FolderLock lock(folder);
    if (!lock.tryLock()) {
        Fail(lock.problem());
        return 1;
    }

    selvane::EventLog log(selvane::SystemClock());
    log.event(QCoreApplication::translate("selvaned", "selvaned %1 avviato nella cartella %2")
                  .arg(QStringLiteral(SELVANE_VERSION), QDir::toNativeSeparators(QDir(folder).absolutePath())));
    selvane::HeadlessGateway::Options options;
    options.folder = folder;
    options.log = &log;
    options.engine = engine;
    options.enginePort = enginePort;
    selvane::HeadlessGateway gateway(options);

    QSocketNotifier notifier(g_signalPipe[1], QSocketNotifier::Read);
    QObject::connect(&notifier, &QSocketNotifier::activated, &app, [&] {
        char byte = 0;
        if (::read(g_signalPipe[1], &byte, 1) != 1)
            return;
        if (byte == SIGHUP) {
            selvane::ReadLocalTimeZoneAgain();
            gateway.reload();
            return;
        }
        const QString which = byte == SIGTERM ? QStringLiteral("SIGTERM") : QStringLiteral("SIGINT");
        log.event(QCoreApplication::translate("selvaned", "fermato (%1)").arg(which));
        gateway.stop();
        QCoreApplication::quit();
    });

    // A damaged settings file or one that is not a regular file: exit status
    // 2, which the service unit does not restart after (restarting would
    // only repeat the message).
    if (!gateway.start())
        return 2;
    const int status = app.exec();
    gateway.stop();
    return status;
}
