#include "agw/EngineConfig.h"

#include <QCoreApplication>

namespace selvane {

namespace {

constexpr int kMaxSpeed = 4000000;

std::optional<EngineKind> KindOfName(const QString& name)
{
    for (EngineKind kind : {EngineKind::Agw, EngineKind::KissTcp, EngineKind::KissSerial})
        if (name.compare(EngineTypeName(kind), Qt::CaseInsensitive) == 0)
            return kind;
    return std::nullopt;
}

std::optional<int> ParseSpeed(const QString& text)
{
    bool ok = false;
    const int speed = text.trimmed().toInt(&ok);
    if (!ok || speed <= 0 || speed > kMaxSpeed)
        return std::nullopt;
    return speed;
}

QString Tr(const char* text)
{
    return QCoreApplication::translate("Engine", text);
}

} // namespace

QString EngineTypeName(EngineKind kind)
{
    switch (kind) {
    case EngineKind::Agw:
        return QStringLiteral("agw");
    case EngineKind::KissTcp:
        return QStringLiteral("kiss-tcp");
    case EngineKind::KissSerial:
        return QStringLiteral("kiss-serial");
    }
    return {};
}

QString EngineKindText(EngineKind kind)
{
    switch (kind) {
    case EngineKind::Agw:
        return QStringLiteral("AGW");
    case EngineKind::KissTcp:
        return QStringLiteral("KISS TCP");
    case EngineKind::KissSerial:
        return Tr("KISS seriale");
    }
    return {};
}

QString EngineAddressText(const EngineConfig& config, const QString& agwHost)
{
    switch (config.kind) {
    case EngineKind::Agw:
        return QStringLiteral("%1:%2").arg(config.host.isEmpty() ? agwHost : config.host).arg(config.agwPort);
    case EngineKind::KissTcp:
        return config.address;
    case EngineKind::KissSerial:
        return Tr("%1 a %2 bit/s").arg(config.device).arg(config.speed);
    }
    return {};
}

std::optional<std::pair<QString, quint16>> ParseHostPort(const QString& text)
{
    const QString t = text.trimmed();
    const qsizetype colon = t.lastIndexOf(QLatin1Char(':'));
    if (colon <= 0)
        return std::nullopt;
    QString host = t.left(colon);
    if (host.startsWith(QLatin1Char('[')) && host.endsWith(QLatin1Char(']')))
        host = host.mid(1, host.size() - 2);
    else if (host.contains(QLatin1Char(':')))
        return std::nullopt;  // an IPv6 address needs its brackets
    bool ok = false;
    const uint port = t.mid(colon + 1).toUInt(&ok);
    if (host.isEmpty() || host.contains(QLatin1Char(' ')) || !ok || port == 0 || port > 65535)
        return std::nullopt;
    return std::pair{host, quint16(port)};
}

QString ApplyEngineSetting(EngineConfig& config, const QString& key, const QString& value)
{
    const QString k = key.toLower();
    if (k == QLatin1String("type")) {
        if (const std::optional<EngineKind> kind = KindOfName(value.trimmed())) {
            config.kind = *kind;
            return {};
        }
        return Tr("\"type\" deve essere agw, kiss-tcp o kiss-serial");
    }
    if (k == QLatin1String("port")) {
        bool ok = false;
        const uint port = value.trimmed().toUInt(&ok);
        if (!ok || port == 0 || port > 65535)
            return Tr("\"port\" deve essere un numero da 1 a 65535");
        config.agwPort = quint16(port);
        return {};
    }
    if (k == QLatin1String("address")) {
        if (!ParseHostPort(value))
            return Tr("\"address\" deve essere HOST:PORTA");
        config.address = value.trimmed();
        return {};
    }
    if (k == QLatin1String("device")) {
        if (value.trimmed().isEmpty())
            return Tr("\"device\" vuoto");
        config.device = value.trimmed();
        return {};
    }
    if (k == QLatin1String("speed")) {
        if (const std::optional<int> speed = ParseSpeed(value)) {
            config.speed = *speed;
            return {};
        }
        return Tr("\"speed\" deve essere un numero di bit/s");
    }
    return Tr("chiave sconosciuta \"%1\"").arg(key);
}

QList<std::pair<QString, QString>> EngineSettings(const EngineConfig& config)
{
    QList<std::pair<QString, QString>> keys{{QStringLiteral("type"), EngineTypeName(config.kind)}};
    switch (config.kind) {
    case EngineKind::Agw:
        keys.append({QStringLiteral("port"), QString::number(config.agwPort)});
        break;
    case EngineKind::KissTcp:
        keys.append({QStringLiteral("address"), config.address});
        break;
    case EngineKind::KissSerial:
        keys.append({QStringLiteral("device"), config.device});
        keys.append({QStringLiteral("speed"), QString::number(config.speed)});
        break;
    }
    return keys;
}

std::optional<EngineConfig> ParseEngineOption(const QString& text, QString* error)
{
    EngineConfig config;
    const QString agw = QStringLiteral("agw://"), kissTcp = QStringLiteral("kiss-tcp://"),
                  kissSerial = QStringLiteral("kiss-serial:");
    if (text.startsWith(agw) || text.startsWith(kissTcp)) {
        const bool isAgw = text.startsWith(agw);
        const QString rest = text.mid((isAgw ? agw : kissTcp).size());
        const std::optional<std::pair<QString, quint16>> hostPort = ParseHostPort(rest);
        if (!hostPort) {
            *error = QCoreApplication::translate("selvane::EngineConfig", "%1: dopo %2 ci vuole HOST:PORTA").arg(text, isAgw ? agw : kissTcp);
            return std::nullopt;
        }
        config.kind = isAgw ? EngineKind::Agw : EngineKind::KissTcp;
        if (isAgw) {
            config.host = hostPort->first;
            config.agwPort = hostPort->second;
        } else {
            config.address = rest.trimmed();
        }
        return config;
    }
    if (text.startsWith(kissSerial)) {
        QString device = text.mid(kissSerial.size());
        const qsizetype at = device.lastIndexOf(QLatin1Char('@'));
        if (at >= 0) {
            const std::optional<int> speed = ParseSpeed(device.mid(at + 1));
            if (!speed) {
                *error = QCoreApplication::translate("selvane::EngineConfig", "%1: la velocità dopo @ deve essere un numero di bit al secondo").arg(text);
                return std::nullopt;
            }
            config.speed = *speed;
            device = device.left(at);
        }
        if (device.isEmpty()) {
            *error = QCoreApplication::translate("selvane::EngineConfig", "%1: dopo kiss-serial: ci vuole un dispositivo").arg(text);
            return std::nullopt;
        }
        config.kind = EngineKind::KissSerial;
        config.device = device;
        return config;
    }
    *error = QCoreApplication::translate("selvane::EngineConfig", "%1: si attende agw://HOST:PORTA, kiss-tcp://HOST:PORTA o kiss-serial:DISPOSITIVO[@VELOCITÀ]").arg(text);
    return std::nullopt;
}

QString EngineOptionText(const EngineConfig& config)
{
    switch (config.kind) {
    case EngineKind::Agw:
        return QStringLiteral("agw://%1:%2")
            .arg(config.host.contains(QLatin1Char(':')) ? QLatin1Char('[') + config.host + QLatin1Char(']') : config.host)
            .arg(config.agwPort);
    case EngineKind::KissTcp:
        return QStringLiteral("kiss-tcp://") + config.address;
    case EngineKind::KissSerial:
        return QStringLiteral("kiss-serial:%1@%2").arg(config.device).arg(config.speed);
    }
    return {};
}

QList<int> CommonSerialSpeeds()
{
    return {1200, 2400, 4800, 9600, 19200, 38400, 57600, 115200};
}

} // namespace selvane
