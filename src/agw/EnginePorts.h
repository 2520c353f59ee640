#pragma once
#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

namespace selvane {

// The engine's radio ports as its "G" reply lists them: the port count (one
// digit character), ";", then one description per port, each ended by ";".
// Dire Wolf lists six entries whatever its configuration and names the
// ones it has no channel for "PortN INVALID CHANNEL", after a count of the
// real ones:
//   1;Port1 first soundcard mono;Port2 INVALID CHANNEL;...;Port6 INVALID CHANNEL;
struct EnginePorts {
    QChar countText;            // the count character as sent
    int count = 0;              // its value; the number of entries when it is no digit
    QStringList descriptions;   // the entries; text after the last ";" is none

    // Whether a frame can be sent on the 0-based port: the engine counts it
    // and does not call it invalid.
    bool usable(int port) const;

    static EnginePorts Parse(const QByteArray& data);
};

// How the port list shows an entry the engine cannot send on.
QString UnusablePortText(const QString& description);

// "2" or "2, 3": 0-based ports as the user numbers them in Sats and Out.
QString PortNumbers(const QList<int>& ports);

} // namespace selvane
