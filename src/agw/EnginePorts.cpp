#include "agw/EnginePorts.h"

#include <QCoreApplication>

namespace selvane {

bool EnginePorts::usable(int port) const
{
    if (port < 0 || port >= count)
        return false;
    return port >= descriptions.size() || !descriptions[port].contains(QLatin1String("INVALID CHANNEL"));
}

EnginePorts EnginePorts::Parse(const QByteArray& data)
{
    EnginePorts ports;
    if (data.isEmpty())
        return ports;
    ports.countText = QChar(uchar(data[0]));
    QString item;
    for (qsizetype i = 2; i < data.size(); ++i) {
        const char c = data[i];
        if (c == ';') {
            ports.descriptions.append(item);
            item.clear();
        } else {
            item.append(QChar(uchar(c)));
        }
    }
    ports.count = ports.countText.isDigit() && ports.countText.unicode() < 128 ? ports.countText.digitValue()
                                                                                : int(ports.descriptions.size());
    return ports;
}

QString UnusablePortText(const QString& description)
{
    return description + QCoreApplication::translate("EnginePorts", " (non utilizzabile)");
}

QString PortNumbers(const QList<int>& ports)
{
    QStringList numbers;
    for (int p : ports)
        numbers << QString::number(p + 1);
    return numbers.join(QStringLiteral(", "));
}

} // namespace selvane
