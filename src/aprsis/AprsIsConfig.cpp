#include "aprsis/AprsIsConfig.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>

#include <array>

namespace selvane {

namespace {

enum class Key { Enabled, Server, Call, Passcode, Filter };

struct KeyName {
    Key key;
    const char* name;
};

// In the order a new file lists them.
constexpr std::array<KeyName, 5> kKeys{{{Key::Enabled, "enabled"},
                                        {Key::Server, "server"},
                                        {Key::Call, "call"},
                                        {Key::Passcode, "passcode"},
                                        {Key::Filter, "filter"}}};

std::optional<Key> KeyOfName(const QString& name)
{
    for (const KeyName& k : kKeys)
        if (name.compare(QLatin1String(k.name), Qt::CaseInsensitive) == 0)
            return k.key;
    return std::nullopt;
}

std::optional<bool> YesNo(const QString& value)
{
    const QString v = value.toLower();
    if (v == QLatin1String("yes") || v == QLatin1String("on") || v == QLatin1String("true") || v == QLatin1String("1"))
        return true;
    if (v == QLatin1String("no") || v == QLatin1String("off") || v == QLatin1String("false") || v == QLatin1String("0"))
        return false;
    return std::nullopt;
}

// A "key = value" line split at its first "=": blanks around both dropped.
// Nothing for a blank line or a comment; an empty key for a line without "=".
struct Assignment {
    QString key;
    QString value;
};

std::optional<Assignment> AssignmentOfLine(const QString& line)
{
    const QString t = line.trimmed();
    if (t.isEmpty() || t.startsWith(QLatin1Char('#')))
        return std::nullopt;
    const qsizetype eq = t.indexOf(QLatin1Char('='));
    if (eq < 0)
        return Assignment{};
    return Assignment{t.left(eq).trimmed(), t.mid(eq + 1).trimmed()};
}

// Applies one value; the reason it cannot when it cannot.
QString Apply(AprsIsConfig& c, Key key, const QString& value)
{
    switch (key) {
    case Key::Enabled:
        if (const std::optional<bool> on = YesNo(value)) {
            c.enabled = *on;
            return {};
        }
        return QStringLiteral("\"enabled\" must be yes or no");
    case Key::Server:
        if (ParseServerAddress(value)) {
            c.server = value;
            return {};
        }
        return QStringLiteral("\"server\" must be host:port");
    case Key::Call:
        if (value.isEmpty() || IsValidLoginCall(value)) {
            c.call = value.toUpper();
            return {};
        }
        return QStringLiteral("\"call\" must be 1 to 9 letters, digits or \"-\"");
    case Key::Passcode: {
        if (value.isEmpty()) {
            c.passcode = AprsIsConfig::kNoPasscode;
            return {};
        }
        bool ok = false;
        const int n = value.toInt(&ok);
        if (ok && n >= -1 && n <= 32767) {
            c.passcode = n;
            return {};
        }
        return QStringLiteral("\"passcode\" must be a number from -1 to 32767");
    }
    case Key::Filter:
        c.filter = value;
        return {};
    }
    return {};
}

QString ValueText(const AprsIsConfig& c, Key key)
{
    switch (key) {
    case Key::Enabled:
        return c.enabled ? QStringLiteral("yes") : QStringLiteral("no");
    case Key::Server:
        return c.server;
    case Key::Call:
        return c.call;
    case Key::Passcode:
        return QString::number(c.passcode);
    case Key::Filter:
        return c.filter;
    }
    return {};
}

QString LineFor(const AprsIsConfig& c, const KeyName& k)
{
    const QString value = ValueText(c, k.key);
    return QLatin1String(k.name) + (value.isEmpty() ? QStringLiteral(" =") : QStringLiteral(" = ") + value);
}

constexpr const char* kNewFileHeader =
    "# APRS-IS upload of the packets heard on the Sats ports.\n"
    "# enabled: yes or no. server: host:port. call: the login (empty: the\n"
    "# gateway call). passcode: the APRS-IS passcode of the call (-1: none,\n"
    "# the server then drops the uploads). filter: a server-side filter\n"
    "# (empty: none).\n";

} // namespace

QString AprsIsConfigPath(const QString& folder)
{
    return QDir(folder).filePath(QLatin1String(kAprsIsConfigFileName));
}

AprsIsConfigRead ParseAprsIsConfig(const QByteArray& text)
{
    AprsIsConfigRead r;
    r.found = true;
    const QStringList lines = QString::fromUtf8(text).split(QLatin1Char('\n'));
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const std::optional<Assignment> a = AssignmentOfLine(lines[i]);
        if (!a)
            continue;
        QString reason;
        if (a->key.isEmpty())
            reason = QStringLiteral("not of the form key = value");
        else if (const std::optional<Key> key = KeyOfName(a->key))
            reason = Apply(r.config, *key, a->value);
        else
            reason = QStringLiteral("unknown key \"%1\"").arg(a->key);
        if (!reason.isEmpty())
            r.problems << QStringLiteral("%1, line %2: %3 (ignored)")
                              .arg(QLatin1String(kAprsIsConfigFileName))
                              .arg(i + 1)
                              .arg(reason);
    }
    return r;
}

AprsIsConfigRead ReadAprsIsConfig(const QString& path)
{
    QFile file(path);
    if (!file.exists())
        return {};
    if (!file.open(QIODevice::ReadOnly)) {
        AprsIsConfigRead r;
        r.found = true;
        r.problems << QStringLiteral("%1: %2 (APRS-IS upload off)").arg(path, file.errorString());
        return r;
    }
    return ParseAprsIsConfig(file.readAll());
}

QByteArray AprsIsConfigText(const AprsIsConfig& config, const QByteArray& previous)
{
    QStringList out;
    std::array<bool, kKeys.size()> written{};
    if (previous.isEmpty()) {
        out = QString::fromLatin1(kNewFileHeader).split(QLatin1Char('\n'));
        out.removeLast();
    } else {
        QStringList lines = QString::fromUtf8(previous).split(QLatin1Char('\n'));
        if (lines.last().isEmpty())
            lines.removeLast();   // the end of the last line
        for (const QString& line : lines) {
            const std::optional<Assignment> a = AssignmentOfLine(line);
            const std::optional<Key> key = a ? KeyOfName(a->key) : std::nullopt;
            if (!key) {
                out << line;
                continue;
            }
            const std::size_t index = std::size_t(*key);
            if (!written[index])
                out << LineFor(config, kKeys[index]);
            written[index] = true;
        }
    }
    for (std::size_t i = 0; i < kKeys.size(); ++i)
        if (!written[i])
            out << LineFor(config, kKeys[i]);
    return (out.join(QLatin1Char('\n')) + QLatin1Char('\n')).toUtf8();
}

bool WriteAprsIsConfig(const QString& path, const AprsIsConfig& config, QString* error)
{
    QByteArray previous;
    QFile old(path);
    if (old.open(QIODevice::ReadOnly))
        previous = old.readAll();
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(AprsIsConfigText(config, previous)) < 0 || !file.commit()) {
        if (error)
            *error = QStringLiteral("%1: %2").arg(path, file.errorString());
        return false;
    }
    return true;
}

std::optional<ServerAddress> ParseServerAddress(const QString& text)
{
    const QString t = text.trimmed();
    QString host = t;
    std::optional<QString> port;
    if (t.startsWith(QLatin1Char('['))) {
        // [2001:db8::1]:14580
        const qsizetype close = t.indexOf(QLatin1Char(']'));
        if (close < 0)
            return std::nullopt;
        host = t.mid(1, close - 1);
        const QString rest = t.mid(close + 1);
        if (!rest.isEmpty()) {
            if (!rest.startsWith(QLatin1Char(':')))
                return std::nullopt;
            port = rest.mid(1);
        }
    } else if (const qsizetype colon = t.lastIndexOf(QLatin1Char(':')); colon >= 0) {
        host = t.left(colon);
        port = t.mid(colon + 1);
        if (host.contains(QLatin1Char(':')))
            return std::nullopt;   // a bare v6 address needs brackets
    }
    if (host.isEmpty() || host.contains(QLatin1Char(' ')))
        return std::nullopt;
    ServerAddress a{host, AprsIsConfig::kDefaultPort};
    if (port) {
        bool ok = false;
        const uint n = port->toUInt(&ok);
        if (!ok || n == 0 || n > 65535)
            return std::nullopt;
        a.port = quint16(n);
    }
    return a;
}

int AprsIsPasscode(const QString& call)
{
    // The root call: up to the SSID, at most 9 characters, upper case.
    const QByteArray root = call.section(QLatin1Char('-'), 0, 0).left(9).toUpper().toLatin1();
    quint16 hash = 0x73e2;
    for (qsizetype i = 0; i < root.size(); i += 2) {
        hash ^= quint16(uchar(root[i]) << 8);
        if (i + 1 < root.size())
            hash ^= uchar(root[i + 1]);
    }
    return hash & 0x7fff;
}

QString AprsIsLoginCall(const AprsIsConfig& config, const QString& gatewayCall)
{
    const QString own = config.call.trimmed();
    return (own.isEmpty() ? gatewayCall.trimmed() : own).toUpper();
}

bool IsValidLoginCall(const QString& call)
{
    if (call.isEmpty() || call.size() > 9 || call.front() == QLatin1Char('-'))
        return false;
    for (QChar c : call) {
        const char a = c.unicode() < 128 ? char(c.unicode()) : '\0';
        if (!((a >= '0' && a <= '9') || (a >= 'A' && a <= 'Z') || (a >= 'a' && a <= 'z') || a == '-'))
            return false;
    }
    return true;
}

} // namespace selvane
