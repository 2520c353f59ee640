#pragma once
// Dire Wolf as a real engine for end-to-end tests, with no sound card: it
// hears audio sent to a UDP port, serves the AGW TCP API on a free port and
// writes every transmitted sample to tx.raw in its own temporary folder.
// gen_packets makes the audio of a packet; atest decodes what was sent.
#include <QByteArray>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QHostAddress>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QStringList>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <QUdpSocket>
#include <QtEndian>

namespace selvane::test {

// The programs an end-to-end run needs, found on PATH.
struct DireWolfTools {
    QString direwolf, genPackets, atest, stdbuf;
    QStringList missing;

    static DireWolfTools find()
    {
        DireWolfTools t;
        auto look = [&t](const char* name, QString* path) {
            *path = QStandardPaths::findExecutable(QString::fromLatin1(name));
            if (path->isEmpty())
                t.missing << QString::fromLatin1(name);
        };
        look("direwolf", &t.direwolf);
        look("gen_packets", &t.genPackets);
        look("atest", &t.atest);
        // Dire Wolf's output goes to a pipe; stdbuf makes it line-buffered so
        // "Ready to accept..." is seen as soon as it is printed.
        look("stdbuf", &t.stdbuf);
        return t;
    }
};

constexpr int kAudioRate = 44100;

// The samples of a RIFF/WAVE file: the bytes of its "data" chunk, or nothing
// when the file has none.
inline QByteArray WavSamples(const QByteArray& wav)
{
    if (wav.size() < 12 || !wav.startsWith("RIFF") || wav.mid(8, 4) != "WAVE")
        return {};
    qsizetype pos = 12;
    while (pos + 8 <= wav.size()) {
        const QByteArray id = wav.mid(pos, 4);
        const quint32 size = qFromLittleEndian<quint32>(wav.constData() + pos + 4);
        if (id == "data")
            return wav.mid(pos + 8, qMin<qsizetype>(size, wav.size() - pos - 8));
        pos += 8 + qsizetype(size) + (size & 1);
    }
    return {};
}

// Signed 16-bit mono samples wrapped in a WAV header.
inline QByteArray WavFile(const QByteArray& samples, int rate = kAudioRate)
{
    QByteArray h;
    auto u32 = [&h](quint32 v) {
        char b[4];
        qToLittleEndian(v, b);
        h.append(b, 4);
    };
    auto u16 = [&h](quint16 v) {
        char b[2];
        qToLittleEndian(v, b);
        h.append(b, 2);
    };
    h.append("RIFF");
    u32(quint32(36 + samples.size()));
    h.append("WAVEfmt ");
    u32(16);
    u16(1);          // PCM
    u16(1);          // mono
    u32(quint32(rate));
    u32(quint32(rate * 2));
    u16(2);          // bytes per frame
    u16(16);         // bits per sample
    h.append("data");
    u32(quint32(samples.size()));
    return h + samples;
}

// The packets atest printed: the text after "[0] " of each such line, colour
// escapes removed.
inline QStringList DecodedPackets(const QByteArray& atestOutput)
{
    QString text = QString::fromLatin1(atestOutput);
    static const QRegularExpression escapes(QStringLiteral("\x1b\\[[0-9;]*[A-Za-z]"));
    text.remove(escapes);
    QStringList packets;
    for (const QString& line : text.split(QLatin1Char('\n'))) {
        const QString l = line.trimmed();
        if (l.startsWith(QLatin1String("[0] ")))
            packets << l.mid(4);
    }
    return packets;
}

// The packets atest -h printed, every via entry whose "has been repeated"
// bit is set marked with "*" (atest's own line marks only the last one):
// "N0CALL-8>APRS,RS0ISS*,N0CALL-5*,WIDE:direct iss".
inline QStringList MarkedPackets(const QByteArray& atestOutput)
{
    QString text = QString::fromLatin1(atestOutput);
    static const QRegularExpression escapes(QStringLiteral("\x1b\\[[0-9;]*[A-Za-z]"));
    static const QRegularExpression digi(QStringLiteral("^digi (\\d+) +(\\S+) +(\\d+) +h=([01])"));
    text.remove(escapes);
    QStringList packets;
    QString head, info;
    QStringList via;
    auto flush = [&] {
        if (!head.isEmpty())
            packets << (via.isEmpty() ? head : head + QLatin1Char(',') + via.join(QLatin1Char(','))) + QLatin1Char(':') + info;
        head.clear();
        via.clear();
    };
    for (const QString& line : text.split(QLatin1Char('\n'))) {
        const QString l = line.trimmed();
        if (l.startsWith(QLatin1String("[0] "))) {
            flush();
            const QString packet = l.mid(4);
            const qsizetype colon = packet.indexOf(QLatin1Char(':'));
            head = packet.left(colon).section(QLatin1Char(','), 0, 0);
            info = packet.mid(colon + 1);
        } else if (const QRegularExpressionMatch m = digi.match(l); m.hasMatch() && !head.isEmpty()) {
            const QString ssid = m.captured(3) == QLatin1String("0") ? QString() : QLatin1Char('-') + m.captured(3);
            via << m.captured(2) + ssid + (m.captured(4) == QLatin1String("1") ? QStringLiteral("*") : QString());
        }
    }
    flush();
    return packets;
}

// A free port number a moment ago (the socket is closed again at once).
inline quint16 FreeTcpPort()
{
    QTcpServer probe;
    return probe.listen(QHostAddress::Any, 0) ? probe.serverPort() : 0;
}

inline quint16 FreeUdpPort()
{
    QUdpSocket probe;
    return probe.bind(QHostAddress::Any, 0) ? probe.localPort() : 0;
}

// One Dire Wolf process, started in its own temporary folder and stopped
// (by its process id) when this object goes. Its client interface is its AGW
// port, its KISS TCP port, or its KISS pseudo-terminal (direwolf -p): that
// one always makes the link /tmp/kisstnc, so Dire Wolf then runs in a mount
// namespace of its own with a private /tmp (unshare -rm), and nothing is
// written outside the test's folder.
class DireWolf {
public:
    enum class Interface { Agw, KissTcp, KissPty };

    explicit DireWolf(DireWolfTools tools, Interface interface = Interface::Agw)
        : m_tools(std::move(tools)), m_interface(interface)
    {
    }

    // Whether a private mount namespace can be made here (unshare -rm).
    static bool CanUnshare()
    {
        QProcess probe;
        probe.start(QStringLiteral("unshare"), {QStringLiteral("-rm"), QStringLiteral("true")});
        return probe.waitForFinished(5000) && probe.exitStatus() == QProcess::NormalExit && probe.exitCode() == 0;
    }
    DireWolf(const DireWolf&) = delete;
    DireWolf& operator=(const DireWolf&) = delete;
    ~DireWolf() { stop(); }

    // Writes dw.conf with fresh ports and starts Dire Wolf, until it says it
    // accepts AGW clients. A port taken between the probe and the start is
    // retried with new ports.
    bool start(QString* error)
    {
        if (!m_dir.isValid()) {
            *error = QStringLiteral("no temporary folder");
            return false;
        }
        for (int attempt = 0; attempt < 3; ++attempt) {
            if (startOnce(error))
                return true;
            stop();
        }
        return false;
    }

    void stop()
    {
        if (m_process.state() == QProcess::NotRunning)
            return;
        m_process.terminate();
        if (!m_process.waitForFinished(3000)) {
            m_process.kill();
            m_process.waitForFinished(3000);
        }
        collectLog();
    }

    quint16 agwPort() const { return m_agwPort; }
    quint16 kissPort() const { return m_kissPort; }
    // The pseudo-terminal of the KISS TNC ("/dev/pts/3").
    QString kissDevice() const { return m_kissDevice; }
    quint16 audioPort() const { return m_udpPort; }
    bool running() const { return m_process.state() == QProcess::Running; }

    QString log()
    {
        collectLog();
        return QString::fromLatin1(m_log);
    }

    // Makes the audio of one packet ("SRC>DEST,VIA:text") with gen_packets
    // and sends it to Dire Wolf's audio port as Dire Wolf wants it: 1024-byte
    // datagrams at no more than about four times real time, followed by a
    // little silence.
    bool sendPacketAudio(const QString& packet, QString* error)
    {
        const QString wavPath = m_dir.filePath(QStringLiteral("pkt.wav"));
        QFile::remove(wavPath);
        QProcess gen;
        gen.setWorkingDirectory(m_dir.path());
        gen.setProcessChannelMode(QProcess::MergedChannels);
        gen.start(m_tools.genPackets, {QStringLiteral("-r"), QString::number(kAudioRate), QStringLiteral("-o"),
                                       wavPath, QStringLiteral("-")});
        if (!gen.waitForStarted(10000)) {
            *error = QStringLiteral("gen_packets did not start");
            return false;
        }
        // No newline: it would become part of the information field.
        gen.write(packet.toLatin1());
        gen.closeWriteChannel();
        if (!gen.waitForFinished(20000) || gen.exitCode() != 0) {
            gen.kill();
            gen.waitForFinished(2000);
            *error = QStringLiteral("gen_packets failed: ") + QString::fromLatin1(gen.readAll());
            return false;
        }
        QFile wav(wavPath);
        if (!wav.open(QIODevice::ReadOnly)) {
            *error = QStringLiteral("gen_packets wrote no file");
            return false;
        }
        QByteArray samples = WavSamples(wav.readAll());
        if (samples.isEmpty()) {
            *error = QStringLiteral("gen_packets wrote no samples");
            return false;
        }
        samples.append(QByteArray(20 * kDatagram, '\0'));

        QUdpSocket udp;
        for (qsizetype pos = 0; pos < samples.size(); pos += kDatagram) {
            const QByteArray chunk = samples.mid(pos, kDatagram);
            if (udp.writeDatagram(chunk, QHostAddress::LocalHost, m_udpPort) != chunk.size()) {
                *error = QStringLiteral("audio datagram not sent: ") + udp.errorString();
                return false;
            }
            // 1024 bytes are 512 samples, 11.6 ms of audio: 3 ms keeps the
            // pace under four times real time (a late wake-up only slows it).
            QThread::msleep(3);
            QCoreApplication::processEvents();
        }
        return true;
    }

    // Decodes everything Dire Wolf has transmitted so far; allMarks: every
    // repeated via entry marked (MarkedPackets).
    QStringList transmittedPackets(bool allMarks = false)
    {
        QFile raw(m_dir.filePath(QStringLiteral("tx.raw")));
        if (!raw.open(QIODevice::ReadOnly))
            return {};
        const QByteArray samples = raw.readAll();
        if (samples.isEmpty())
            return {};
        const QString wavPath = m_dir.filePath(QStringLiteral("tx.wav"));
        QFile wav(wavPath);
        if (!wav.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return {};
        wav.write(WavFile(samples));
        wav.close();

        QProcess atest;
        atest.setWorkingDirectory(m_dir.path());
        atest.setProcessChannelMode(QProcess::MergedChannels);
        // -L 1: an exit code of 1 when nothing was decoded; the output says
        // the same, so only the output is read.
        QStringList args{QStringLiteral("-L"), QStringLiteral("1"), wavPath};
        if (allMarks)
            args.prepend(QStringLiteral("-h"));
        atest.start(m_tools.atest, args);
        if (!atest.waitForFinished(20000)) {
            atest.kill();
            atest.waitForFinished(2000);
            return {};
        }
        const QByteArray output = atest.readAll();
        return allMarks ? MarkedPackets(output) : DecodedPackets(output);
    }

    // Waits until atest decodes the packet from the transmitted audio.
    bool waitForTransmitted(const QString& packet, int timeoutMs, QStringList* decoded, bool allMarks = false)
    {
        QDeadlineTimer deadline(timeoutMs);
        for (;;) {
            *decoded = transmittedPackets(allMarks);
            if (decoded->contains(packet))
                return true;
            if (deadline.hasExpired())
                return false;
            QTest::qWait(200);
        }
    }

private:
    static constexpr qsizetype kDatagram = 1024;

    bool startOnce(QString* error)
    {
        m_log.clear();
        const bool agw = m_interface == Interface::Agw;
        m_agwPort = agw ? FreeTcpPort() : 0;
        m_kissPort = m_interface == Interface::KissTcp ? FreeTcpPort() : 0;
        m_udpPort = FreeUdpPort();
        if ((agw && m_agwPort == 0) || (m_interface == Interface::KissTcp && m_kissPort == 0) || m_udpPort == 0) {
            *error = QStringLiteral("no free port");
            return false;
        }
        QFile::remove(m_dir.filePath(QStringLiteral("tx.raw")));
        QFile conf(m_dir.filePath(QStringLiteral("dw.conf")));
        if (!conf.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
            *error = QStringLiteral("cannot write dw.conf");
            return false;
        }
        // Transmitted audio goes to the ALSA file plugin, relative to the
        // working folder; FULLDUP keeps transmissions from waiting for a
        // quiet channel.
        conf.write(QStringLiteral("ADEVICE udp:%1 file:FILE=tx.raw\n"
                                  "ARATE %2\n"
                                  "ACHANNELS 1\n"
                                  "CHANNEL 0\n"
                                  "MYCALL N0CALL-10\n"
                                  "MODEM 1200\n"
                                  "FULLDUP ON\n"
                                  "TXDELAY 30\n"
                                  "TXTAIL 10\n"
                                  "AGWPORT %3\n"
                                  "KISSPORT %4\n")
                       .arg(m_udpPort)
                       .arg(kAudioRate)
                       .arg(m_agwPort)
                       .arg(m_kissPort)
                       .toLatin1());
        conf.close();

        m_process.setWorkingDirectory(m_dir.path());
        m_process.setProcessChannelMode(QProcess::MergedChannels);
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("TZ"), QStringLiteral("UTC"));
        m_process.setProcessEnvironment(env);
        QStringList command{m_tools.stdbuf, QStringLiteral("-oL"), QStringLiteral("-eL"), m_tools.direwolf,
                            QStringLiteral("-t"), QStringLiteral("0"), QStringLiteral("-c"), QStringLiteral("dw.conf")};
        if (m_interface == Interface::KissPty) {
            // A /tmp of its own for the link it makes; the working folder
            // (under the real /tmp) stays reachable as the current folder.
            command.insert(command.size() - 2, QStringLiteral("-p"));
            command = QStringList{QStringLiteral("-rm"), QStringLiteral("sh"), QStringLiteral("-c"),
                                  QStringLiteral("mount -t tmpfs tmpfs /tmp && exec \"$@\""), QStringLiteral("sh")}
                      + command;
            command.prepend(QStringLiteral("unshare"));
        }
        m_process.start(command.first(), command.mid(1));
        if (!m_process.waitForStarted(10000)) {
            *error = QStringLiteral("direwolf did not start: ") + m_process.errorString();
            return false;
        }
        const QByteArray ready = m_interface == Interface::Agw
                                     ? QStringLiteral("Ready to accept AGW client application 0 on port %1").arg(m_agwPort).toLatin1()
                                 : m_interface == Interface::KissTcp
                                     ? QStringLiteral("Ready to accept KISS TCP client application 0 on port %1").arg(m_kissPort).toLatin1()
                                     : QByteArray("Created symlink /tmp/kisstnc -> ");
        static const QRegularExpression pty(QStringLiteral("Virtual KISS TNC is available on (\\S+)"));
        QDeadlineTimer deadline(15000);
        while (!deadline.hasExpired()) {
            m_process.waitForReadyRead(100);
            collectLog();
            if (m_log.contains(ready)) {
                m_kissDevice = pty.match(QString::fromLatin1(m_log)).captured(1);
                return true;
            }
            if (m_log.contains("Bind failed") || m_process.state() == QProcess::NotRunning) {
                *error = QStringLiteral("direwolf did not come up:\n") + QString::fromLatin1(m_log);
                return false;
            }
        }
        *error = QStringLiteral("direwolf not ready in time:\n") + QString::fromLatin1(m_log);
        return false;
    }

    void collectLog() { m_log += m_process.readAll(); }

    DireWolfTools m_tools;
    QTemporaryDir m_dir;
    QProcess m_process;
    QByteArray m_log;
    Interface m_interface;
    quint16 m_agwPort = 0;
    quint16 m_kissPort = 0;
    quint16 m_udpPort = 0;
    QString m_kissDevice;
};

} // namespace selvane::test
