// agwpe-test-engine: a stand-in AGWPE engine for trying Selvane without a radio.
// Records every frame a client sends, one line per frame (stdout or --record),
// and plays a script of heard frames once the client has asked for monitoring;
// with --dire-wolf it answers and sends heard frames as Dire Wolf does.
// Status messages go to stderr.
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>
#include <QTimer>

#include <csignal>
#include <cstdio>

#include "testengine/TestEngine.h"

namespace {

volatile std::sig_atomic_t stopRequested = 0;

void onStopSignal(int) { stopRequested = 1; }

void say(const QString& text)
{
    std::fprintf(stderr, "agwpe-test-engine: %s\n", text.toLocal8Bit().constData());
    std::fflush(stderr);
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("agwpe-test-engine"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("A small AGWPE-compatible engine that plays a script of monitor frames."));
    parser.addHelpOption();
    const QCommandLineOption portOption(QStringLiteral("port"), QStringLiteral("TCP port to listen on (default 8000)."), QStringLiteral("N"), QStringLiteral("8000"));
    const QCommandLineOption bindOption(QStringLiteral("bind"), QStringLiteral("Address to listen on (default 127.0.0.1)."), QStringLiteral("ADDR"), QStringLiteral("127.0.0.1"));
    const QCommandLineOption scriptOption(QStringLiteral("script"), QStringLiteral("Script of frames to play after the client's \"m\"."), QStringLiteral("FILE"));
    const QCommandLineOption loopOption(QStringLiteral("loop"), QStringLiteral("Restart the script after its end."));
    const QCommandLineOption recordOption(QStringLiteral("record"), QStringLiteral("Write the received frames to FILE instead of stdout."), QStringLiteral("FILE"));
    const QCommandLineOption noEchoOption(QStringLiteral("no-echo"), QStringLiteral("Do not report received \"V\" frames back as \"T\" frames."));
    const QCommandLineOption versionOption(QStringLiteral("version-reply"), QStringLiteral("Answer \"R\" with this version (default 2000.15; Dire Wolf: 2005.127)."), QStringLiteral("MAJOR.MINOR"));
    const QCommandLineOption direWolfOption(QStringLiteral("dire-wolf"), QStringLiteral("Behave like Dire Wolf: version 2005.127, its monitor text, raw \"K\" frames after \"k\"."));
    const QCommandLineOption noRawOption(QStringLiteral("no-raw-frames"), QStringLiteral("With --dire-wolf: ignore \"k\" and never send \"K\" frames."));
    const QCommandLineOption ignoreVOption(QStringLiteral("ignore-v"), QStringLiteral("Drop \"V\" frames and transmit \"K\" frames, as the Qt sound modem does."));
    const QCommandLineOption kissOption(QStringLiteral("kiss"), QStringLiteral("Be a KISS TNC on the TCP port instead of an AGW engine."));
    const QCommandLineOption kissPtyOption(QStringLiteral("kiss-pty"), QStringLiteral("Be a KISS TNC on a new pseudo-terminal (its path is printed) instead of a TCP port."));
    parser.addOptions({portOption, bindOption, scriptOption, loopOption, recordOption, noEchoOption, versionOption, direWolfOption, noRawOption, ignoreVOption, kissOption, kissPtyOption});
    parser.process(app);

    bool ok = false;
    const uint port = parser.value(portOption).toUInt(&ok);
    if (!ok || port > 65535) {
        say(QStringLiteral("bad port: %1").arg(parser.value(portOption)));
        return 2;
    }
    const QString bindText = parser.value(bindOption);
    const QHostAddress address = bindText == QLatin1String("localhost") ? QHostAddress(QHostAddress::LocalHost) : QHostAddress(bindText);
    if (address.isNull()) {
        say(QStringLiteral("bad address: %1").arg(bindText));
        return 2;
    }

    int major = -1, minor = -1;
    if (parser.isSet(versionOption)) {
        const QStringList parts = parser.value(versionOption).split(QLatin1Char('.'));
        bool majorOk = false, minorOk = false;
        if (parts.size() == 2) {
            major = parts[0].toInt(&majorOk);
            minor = parts[1].toInt(&minorOk);
        }
        if (!majorOk || !minorOk || major < 0 || major > 65535 || minor < 0 || minor > 65535) {
            say(QStringLiteral("bad version: %1 (expected MAJOR.MINOR, e.g. 2005.127)").arg(parser.value(versionOption)));
            return 2;
        }
    }

    QFile record;
    const bool recordOk = parser.isSet(recordOption)
        ? (record.setFileName(parser.value(recordOption)), record.open(QIODevice::WriteOnly | QIODevice::Truncate))
        : record.open(stdout, QIODevice::WriteOnly);
    if (!recordOk) {
        say(QStringLiteral("cannot write %1: %2").arg(parser.value(recordOption), record.errorString()));
        return 1;
    }

    selvane::TestEngine engine;
    engine.setEchoTransmissions(!parser.isSet(noEchoOption));
    engine.setLoop(parser.isSet(loopOption));
    if (parser.isSet(direWolfOption))
        engine.setDireWolf();
    if (parser.isSet(noRawOption))
        engine.setRawFramesAvailable(false);
    engine.setIgnoresViaFrames(parser.isSet(ignoreVOption));
    if (parser.isSet(kissOption))
        engine.setProtocol(selvane::TestEngine::Protocol::Kiss);
    if (major >= 0)
        engine.setVersion(major, minor);
    if (parser.isSet(scriptOption)) {
        QFile file(parser.value(scriptOption));
        if (!file.open(QIODevice::ReadOnly)) {
            say(QStringLiteral("cannot read %1: %2").arg(file.fileName(), file.errorString()));
            return 1;
        }
        const QStringList problems = engine.loadScript(QString::fromLatin1(file.readAll()));
        for (const QString& problem : problems)
            say(QStringLiteral("%1: skipped %2").arg(file.fileName(), problem));
        say(QStringLiteral("%1 script steps loaded").arg(engine.script().size()));
        engine.startScript();
    }

    QObject::connect(&engine, &selvane::TestEngine::frameReceived, &app, [&record](const selvane::ReceivedFrame& frame) {
        record.write(selvane::TestEngine::formatRecord(frame).toLatin1() + '\n');
        record.flush();
    });
    QObject::connect(&engine, &selvane::TestEngine::clientConnected, &app, [] { say(QStringLiteral("client connected")); });
    QObject::connect(&engine, &selvane::TestEngine::clientDisconnected, &app, [] { say(QStringLiteral("client disconnected")); });
    QObject::connect(&engine, &selvane::TestEngine::monitoringStarted, &app, [] { say(QStringLiteral("monitoring on")); });

    if (parser.isSet(kissPtyOption)) {
        if (!engine.openPseudoTerminal()) {
            say(QStringLiteral("no pseudo-terminal"));
            return 1;
        }
        say(QStringLiteral("KISS TNC on %1").arg(engine.pseudoTerminalPath()));
    } else if (!engine.listen(address, static_cast<quint16>(port))) {
        say(QStringLiteral("cannot listen on %1:%2: %3").arg(address.toString()).arg(port).arg(engine.errorString()));
        return 1;
    }
    if (!parser.isSet(kissPtyOption))
        say(QStringLiteral("listening on %1:%2").arg(address.toString()).arg(engine.serverPort()));

    std::signal(SIGINT, onStopSignal);
    std::signal(SIGTERM, onStopSignal);
    QTimer stopPoll;
    QObject::connect(&stopPoll, &QTimer::timeout, &app, [] {
        if (stopRequested)
            QCoreApplication::quit();
    });
    stopPoll.start(100);

    const int result = app.exec();
    say(QStringLiteral("stopped"));
    return result;
}
