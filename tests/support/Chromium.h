#pragma once
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QSocketNotifier>
#include <QTemporaryDir>
#include <QTest>

#include <fcntl.h>
#include <memory>
#include <unistd.h>

namespace selvane::test {

// Debian's Chromium, headless, driven through its DevTools pipe (file
// descriptors 3 and 4 of the browser, messages ended by NUL): it loads one
// page, and evaluate() reads what the page shows at that moment.
class Chromium {
public:
    static constexpr const char* kProgram = "/usr/bin/chromium";
    static bool available() { return QFileInfo(QString::fromLatin1(kProgram)).isExecutable(); }

    ~Chromium()
    {
        if (m_process.state() != QProcess::NotRunning) {
            m_process.kill();
            m_process.waitForFinished(5000);
        }
        for (int fd : {m_toBrowser, m_fromBrowser, m_childIn, m_childOut})
            if (fd >= 0)
                ::close(fd);
    }

    // Starts the browser on url; false when it does not start or no page
    // can be attached to.
    bool open(const QString& url, int timeoutMs = 30000)
    {
        int in[2], out[2];
        if (::pipe2(in, O_CLOEXEC) != 0 || ::pipe2(out, O_CLOEXEC) != 0)
            return false;
        // Above 4, so that placing them at 3 and 4 in the child cannot
        // overwrite one with the other.
        m_childIn = ::fcntl(in[0], F_DUPFD_CLOEXEC, 10);
        m_toBrowser = ::fcntl(in[1], F_DUPFD_CLOEXEC, 10);
        m_fromBrowser = ::fcntl(out[0], F_DUPFD_CLOEXEC, 10);
        m_childOut = ::fcntl(out[1], F_DUPFD_CLOEXEC, 10);
        for (int fd : {in[0], in[1], out[0], out[1]})
            ::close(fd);
        ::fcntl(m_fromBrowser, F_SETFL, O_NONBLOCK);
        const int childIn = m_childIn, childOut = m_childOut;
        m_process.setChildProcessModifier([childIn, childOut] {
            ::dup2(childIn, 3);
            ::dup2(childOut, 4);
        });
        m_process.setProcessChannelMode(QProcess::ForwardedOutputChannel);
        m_process.setStandardErrorFile(QProcess::nullDevice());
        m_process.start(QString::fromLatin1(kProgram),
                        {"--headless", "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
                         "--disable-background-networking", "--disable-component-update", "--disable-sync",
                         "--user-data-dir=" + m_profile.path(), "--window-size=400,900", "--remote-debugging-pipe",
                         url});
        if (!m_process.waitForStarted(timeoutMs))
            return false;
        ::close(m_childIn);
        ::close(m_childOut);
        m_childIn = m_childOut = -1;
        m_notifier = std::make_unique<QSocketNotifier>(m_fromBrowser, QSocketNotifier::Read);
        QObject::connect(m_notifier.get(), &QSocketNotifier::activated, [this] { readMessages(); });

        QString target;
        (void)QTest::qWaitFor(
            [&] {
                for (const QJsonValue t : call("Target.getTargets", {}, 5000)["targetInfos"].toArray())
                    if (t["type"].toString() == QLatin1String("page"))
                        target = t["targetId"].toString();
                return !target.isEmpty();
            },
            timeoutMs);
        if (target.isEmpty())
            return false;
        m_session = call("Target.attachToTarget", {{"targetId", target}, {"flatten", true}}, timeoutMs)["sessionId"]
                        .toString();
        return !m_session.isEmpty();
    }

    // The value of a JavaScript expression in the page, as a string.
    QString evaluate(const QString& expression)
    {
        const QJsonObject r = call("Runtime.evaluate", {{"expression", expression}, {"returnByValue", true}}, 5000);
        return r["result"].toObject()["value"].toVariant().toString();
    }

private:
    QJsonObject call(const QString& method, const QJsonObject& params, int timeoutMs)
    {
        const int id = m_nextId++;
        QJsonObject message{{"id", id}, {"method", method}, {"params", params}};
        if (!m_session.isEmpty())
            message["sessionId"] = m_session;
        const QByteArray bytes = QJsonDocument(message).toJson(QJsonDocument::Compact) + '\0';
        if (::write(m_toBrowser, bytes.constData(), size_t(bytes.size())) != bytes.size())
            return {};
        QJsonObject result;
        (void)QTest::qWaitFor(
            [&] {
                readMessages();
                for (qsizetype i = 0; i < m_messages.size(); ++i) {
                    if (m_messages[i]["id"].toInt() == id) {
                        result = m_messages.takeAt(i)["result"].toObject();
                        return true;
                    }
                }
                return m_process.state() == QProcess::NotRunning;
            },
            timeoutMs);
        return result;
    }

    void readMessages()
    {
        char chunk[65536];
        qint64 n;
        while ((n = ::read(m_fromBrowser, chunk, sizeof chunk)) > 0)
            m_buffer.append(chunk, n);
        qsizetype end;
        while ((end = m_buffer.indexOf('\0')) >= 0) {
            const QJsonObject message = QJsonDocument::fromJson(m_buffer.left(end)).object();
            m_buffer.remove(0, end + 1);
            if (message.contains("id"))  // events are not needed
                m_messages << message;
        }
    }

    QProcess m_process;
    QTemporaryDir m_profile;
    int m_toBrowser = -1, m_fromBrowser = -1, m_childIn = -1, m_childOut = -1;
    std::unique_ptr<QSocketNotifier> m_notifier;
    QByteArray m_buffer;
    QList<QJsonObject> m_messages;
    int m_nextId = 1;
    QString m_session;
};

} // namespace selvane::test
