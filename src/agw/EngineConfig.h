#pragma once
#include <QList>
#include <QString>

#include <optional>
#include <utility>

namespace selvane {

// Which kind of engine carries the frames.
//   Agw:        an AGW Packet Engine-compatible engine over TCP (Dire Wolf,
//               the AGW Packet Engine, a sound modem).
//   KissTcp:    a KISS TNC reached over TCP (Dire Wolf's KISS port, a sound
//               modem's KISS server).
//   KissSerial: a KISS TNC on a serial line or a pseudo-terminal (a
//               hardware TNC, a radio with a built-in TNC, direwolf -p).
enum class EngineKind { Agw, KissTcp, KissSerial };

// The [engine] section of selvane.conf:
//
//   [engine]
//   type    = agw | kiss-tcp | kiss-serial       (default agw)
//   port    = 8000            agw: the TCP port; the host is Selvane.ini's address
//   address = HOST:PORT       kiss-tcp
//   device  = /dev/ttyUSB0    kiss-serial: any serial device or pseudo-terminal
//   speed   = 9600            kiss-serial: bits per second
//
// Keys that do not belong to the type are kept but not used.
struct EngineConfig {
    static constexpr quint16 kDefaultAgwPort = 8000;
    static constexpr int kDefaultSpeed = 9600;

    EngineKind kind = EngineKind::Agw;
    // agw: empty means the address field of Selvane.ini (the live setting).
    QString host;
    quint16 agwPort = kDefaultAgwPort;
    QString address;     // kiss-tcp: HOST:PORT
    QString device;      // kiss-serial
    int speed = kDefaultSpeed;

    bool operator==(const EngineConfig&) const = default;
};

// "agw", "kiss-tcp", "kiss-serial": the type key's values.
QString EngineTypeName(EngineKind kind);
// What the window and selvaned call it: "AGW", "KISS TCP", "KISS seriale".
QString EngineKindText(EngineKind kind);
// Where the engine is, as shown: "127.0.0.1:8000", "localhost:8001",
// "/dev/ttyUSB0 a 9600 bit/s". agwHost is the address of Selvane.ini.
QString EngineAddressText(const EngineConfig& config, const QString& agwHost);

// Applies one key of the section; empty when applied, else why not.
QString ApplyEngineSetting(EngineConfig& config, const QString& key, const QString& value);
// The keys and values the section is written with (those of its type).
QList<std::pair<QString, QString>> EngineSettings(const EngineConfig& config);

// HOST:PORT with a port 1..65535 ("[::1]:8001" too); nullopt otherwise.
std::optional<std::pair<QString, quint16>> ParseHostPort(const QString& text);

// selvaned's --engine: agw://HOST:PORT, kiss-tcp://HOST:PORT or
// kiss-serial:DEVICE[@SPEED]. nullopt, with the reason, when it is none.
std::optional<EngineConfig> ParseEngineOption(const QString& text, QString* error);
// The same form for a configuration ("agw://" without a host gives only the port).
QString EngineOptionText(const EngineConfig& config);

// The serial speeds offered (any other positive number works too).
QList<int> CommonSerialSpeeds();

} // namespace selvane
