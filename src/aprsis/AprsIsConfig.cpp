#include "aprsis/AprsIsConfig.h"
#include <QCoreApplication>

#include <array>
#include <cmath>

#include "settings/ConfigFile.h"

namespace selvane {

namespace {

enum class Key {
    Enabled, Server, Call, Passcode, Filter, SatgateDelay, Beacon, Latitude, Longitude, BeaconMinutes, BeaconComment
};

struct KeyName {
    Key key;
    const char* name;
};

// In the order a new file lists them.
constexpr std::array<KeyName, 11> kKeys{{{Key::Enabled, "enabled"},
                                         {Key::Server, "server"},
                                         {Key::Call, "call"},
                                         {Key::Passcode, "passcode"},
                                         {Key::Filter, "filter"},
                                         {Key::SatgateDelay, "satgate-delay"},
                                         {Key::Beacon, "beacon"},
                                         {Key::Latitude, "latitude"},
                                         {Key::Longitude, "longitude"},
                                         {Key::BeaconMinutes, "beacon-minutes"},
                                         {Key::BeaconComment, "beacon-comment"}}};

// A whole number from min to max, or nothing.
std::optional<int> NumberIn(const QString& value, int min, int max)
{
    bool ok = false;
    const int n = value.toInt(&ok);
    if (!ok || n < min || n > max)
        return std::nullopt;
    return n;
}

// Decimal degrees from -limit to limit ("45.4", "-9.2"); empty: none.
// Anything else (a comma, "nan", a value beyond the pole or the date line)
// is a damaged line.
std::optional<std::optional<double>> Degrees(const QString& value, double limit)
{
    if (value.isEmpty())
        return std::optional<double>();
    bool ok = false;
    const double v = value.toDouble(&ok);
    if (!ok || !std::isfinite(v) || v < -limit || v > limit)
        return std::nullopt;
    return std::optional<double>(v);
}

QString DegreesText(const std::optional<double>& v)
{
    return v ? QString::number(*v, 'g', 15) : QString();
}

std::optional<Key> KeyOfName(const QString& name)
{
    for (const KeyName& k : kKeys)
        if (name.compare(QLatin1String(k.name), Qt::CaseInsensitive) == 0)
            return k.key;
    return std::nullopt;
}

// Applies one value; the reason it cannot when it cannot.
QString Apply(AprsIsConfig& c, Key key, const QString& value)
{
    switch (key) {
    case Key::Enabled:
        if (const std::optional<bool> on = ParseYesNo(value)) {
            c.enabled = *on;
            return {};
        }
        return QCoreApplication::translate("AprsIsConfig", "\"enabled\" deve essere yes o no");
    case Key::Server:
        if (ParseServerAddress(value)) {
            c.server = value;
            return {};
        }
        return QCoreApplication::translate("AprsIsConfig", "\"server\" deve essere host:porta");
    case Key::Call:
        if (value.isEmpty() || IsValidLoginCall(value)) {
            c.call = value.toUpper();
            return {};
        }
        return QCoreApplication::translate("AprsIsConfig", "\"call\" deve avere da 1 a 9 lettere, cifre o \"-\"");
    case Key::Passcode: {
        if (value.isEmpty()) {
            c.passcode = AprsIsConfig::kNoPasscode;
            return {};
        }
        bool ok = false;
        const int n = value.toInt(&ok);
        if (ok && IsValidPasscode(n)) {
            c.passcode = n;
            return {};
        }
        return QCoreApplication::translate("AprsIsConfig", "\"passcode\" deve essere un numero da -1 a 32767");
    }
    case Key::Filter:
        c.filter = value;
        return {};
    case Key::SatgateDelay:
        if (const std::optional<int> n = NumberIn(value, 0, AprsIsConfig::kMaxSatgateDelay)) {
            c.satgateDelay = *n;
            return {};
        }
        return QStringLiteral("\"satgate-delay\" deve essere un numero di secondi da 0 a %1")
            .arg(AprsIsConfig::kMaxSatgateDelay);
    case Key::Beacon:
        if (const std::optional<bool> on = ParseYesNo(value)) {
            c.beacon = *on;
            return {};
        }
        return QStringLiteral("\"beacon\" deve essere yes o no");
    case Key::Latitude:
        if (const auto v = Degrees(value, 90)) {
            c.latitude = *v;
            return {};
        }
        return QStringLiteral("\"latitude\" deve essere in gradi decimali da -90 a 90 (sud negativo)");
    case Key::Longitude:
        if (const auto v = Degrees(value, 180)) {
            c.longitude = *v;
            return {};
        }
        return QStringLiteral("\"longitude\" deve essere in gradi decimali da -180 a 180 (ovest negativo)");
    case Key::BeaconMinutes:
        if (const std::optional<int> n =
                NumberIn(value, AprsIsConfig::kMinBeaconMinutes, AprsIsConfig::kMaxBeaconMinutes)) {
            c.beaconMinutes = *n;
            return {};
        }
        return QStringLiteral("\"beacon-minutes\" deve essere un numero di minuti da %1 a %2")
            .arg(AprsIsConfig::kMinBeaconMinutes)
            .arg(AprsIsConfig::kMaxBeaconMinutes);
    case Key::BeaconComment:
        if (value.size() <= AprsIsConfig::kMaxBeaconComment) {
            c.beaconComment = value;
            return {};
        }
        return QStringLiteral("\"beacon-comment\" può avere al più %1 caratteri").arg(AprsIsConfig::kMaxBeaconComment);
    }
    return {};
}

QString ValueText(const AprsIsConfig& c, Key key)
{
    switch (key) {
    case Key::Enabled:
        return YesNoText(c.enabled);
    case Key::Server:
        return c.server;
    case Key::Call:
        return c.call;
    case Key::Passcode:
        return QString::number(c.passcode);
    case Key::Filter:
        return c.filter;
    case Key::SatgateDelay:
        return QString::number(c.satgateDelay);
    case Key::Beacon:
        return YesNoText(c.beacon);
    case Key::Latitude:
        return DegreesText(c.latitude);
    case Key::Longitude:
        return DegreesText(c.longitude);
    case Key::BeaconMinutes:
        return QString::number(c.beaconMinutes);
    case Key::BeaconComment:
        return c.beaconComment;
    }
    return {};
}

} // namespace

QString ApplyAprsIsSetting(AprsIsConfig& config, const QString& key, const QString& value)
{
    if (const std::optional<Key> k = KeyOfName(key))
        return Apply(config, *k, value);
    return QCoreApplication::translate("AprsIsConfig", "chiave sconosciuta \"%1\"").arg(key);
}

QString AprsIsConfigProblem(const AprsIsConfig& config)
{
    if (config.beacon && !config.sendsPosition())
        return QStringLiteral("\"beacon = yes\" senza \"latitude\" e \"longitude\": nessuna posizione, "
                              "solo la telemetria");
    return {};
}

QList<std::pair<QString, QString>> AprsIsSettings(const AprsIsConfig& config)
{
    QList<std::pair<QString, QString>> out;
    for (const KeyName& k : kKeys)
        out.append({QLatin1String(k.name), ValueText(config, k.key)});
    return out;
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

bool IsValidPasscode(int passcode)
{
    return passcode >= -1 && passcode <= 32767;
}

} // namespace selvane
