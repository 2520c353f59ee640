#pragma once
// aprsc, a real APRS-IS server, for end-to-end tests of the APRS-IS upload.
// scripts/aprsc.sh builds it into the build tree (BUILD/aprsc/aprsc), writes
// its configuration, starts it on the given loopback ports and stops it; this
// runs that script with fresh ports in a temporary folder.
#include <QByteArray>
#include <QFileInfo>
#include <QList>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>

#include "support/DireWolf.h"   // FreeTcpPort

namespace selvane::test {

class Aprsc {
public:
    Aprsc() = default;
    Aprsc(const Aprsc&) = delete;
    Aprsc& operator=(const Aprsc&) = delete;
    ~Aprsc() { stop(); }

    static QString binary() { return QStringLiteral(SELVANE_APRSC_BINARY); }
    static bool built() { return QFileInfo(binary()).isExecutable(); }

    // Starts aprsc on fresh ports; a port taken between the probe and the
    // start is retried with new ones.
    bool start(QString* error)
    {
        if (!m_dir.isValid()) {
            *error = QStringLiteral("no temporary folder");
            return false;
        }
        for (int attempt = 0; attempt < 3; ++attempt) {
            m_igatePort = FreeTcpPort();
            m_fullFeedPort = FreeTcpPort();
            m_dupePort = FreeTcpPort();
            if (runScript(QStringLiteral("start"), error))
                return true;
        }
        return false;
    }

    // Stops it and starts it again on the same ports.
    bool restart(QString* error)
    {
        stop();
        return runScript(QStringLiteral("start"), error);
    }

    void stop()
    {
        if (!m_running)
            return;
        QString ignored;
        runScript(QStringLiteral("stop"), &ignored);
    }

    quint16 igatePort() const { return m_igatePort; }
    quint16 fullFeedPort() const { return m_fullFeedPort; }
    quint16 dupeFeedPort() const { return m_dupePort; }
    QString log() const
    {
        QFile f(m_dir.filePath(QStringLiteral("aprsc.log")));
        return f.open(QIODevice::ReadOnly) ? QString::fromLatin1(f.readAll()) : QString();
    }

private:
    bool runScript(const QString& command, QString* error)
    {
        QProcess script;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("APRSC_BINARY"), binary());
        script.setProcessEnvironment(env);
        script.setProcessChannelMode(QProcess::MergedChannels);
        QStringList args{QStringLiteral(SELVANE_APRSC_SCRIPT), command, m_dir.path()};
        if (command == QLatin1String("start"))
            args << QString::number(m_igatePort) << QString::number(m_fullFeedPort) << QString::number(m_dupePort);
        script.start(QStringLiteral("bash"), args);
        const bool finished = script.waitForFinished(30000);
        const QString output = QString::fromLocal8Bit(script.readAll());
        if (!finished) {
            script.kill();
            script.waitForFinished(3000);
        }
        const bool ok = finished && script.exitStatus() == QProcess::NormalExit && script.exitCode() == 0;
        if (command == QLatin1String("start"))
            m_running = ok;
        else
            m_running = false;
        if (!ok)
            *error = QStringLiteral("aprsc.sh %1 failed:\n%2").arg(command, output);
        return ok;
    }

    QTemporaryDir m_dir;
    bool m_running = false;
    quint16 m_igatePort = 0;
    quint16 m_fullFeedPort = 0;
    quint16 m_dupePort = 0;
};

// A client of one of the server's ports: logs in (read-only, with a filter
// when given) and keeps every line the server sends, without the CR LF.
class FeedReader {
public:
    FeedReader()
    {
        QObject::connect(&m_socket, &QTcpSocket::readyRead, &m_socket, [this] {
            while (m_socket.canReadLine()) {
                QByteArray line = m_socket.readLine();
                while (line.endsWith('\n') || line.endsWith('\r'))
                    line.chop(1);
                m_lines << line;
            }
        });
    }

    bool connectTo(quint16 port, QString* error, const QByteArray& filter = {})
    {
        m_socket.abort();
        m_lines.clear();
        m_socket.connectToHost(QStringLiteral("127.0.0.1"), port);
        if (!m_socket.waitForConnected(5000)) {
            *error = QStringLiteral("port %1: ").arg(port) + m_socket.errorString();
            return false;
        }
        m_socket.write("user N1CALL-1 pass -1 vers SelvaneTest 1" + (filter.isEmpty() ? QByteArray() : " filter " + filter)
                       + "\r\n");
        if (!QTest::qWaitFor([this] { return indexOf("# logresp N1CALL-1 ", true) >= 0; }, 5000)) {
            *error = QStringLiteral("no login reply on port %1").arg(port);
            return false;
        }
        return true;
    }

    // The position of the first line equal to (or starting with) text, or -1.
    qsizetype indexOf(const QByteArray& text, bool prefix = false) const
    {
        const auto it = std::find_if(m_lines.begin(), m_lines.end(), [&](const QByteArray& l) {
            return prefix ? l.startsWith(text) : l == text;
        });
        return it == m_lines.end() ? -1 : it - m_lines.begin();
    }

    bool waitFor(const QByteArray& line, int timeoutMs = 10000)
    {
        return QTest::qWaitFor([&] { return indexOf(line) >= 0; }, timeoutMs);
    }

    const QList<QByteArray>& lines() const { return m_lines; }

private:
    QTcpSocket m_socket;
    QList<QByteArray> m_lines;
};

} // namespace selvane::test
