#pragma once
#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>

namespace selvane {

// The settings of the APRS-IS upload, kept in aprs-is.conf beside
// Selvane.ini (the settings record other programs read stays as it is).
//
//   # a comment (only at the start of a line)
//   enabled  = yes                      yes/no (also on/off, true/false, 1/0)
//   server   = rotate.aprs2.net:14580   host:port, [v6-address]:port; no port: 14580
//   call     = N1CALL-5                 the login; empty: the gateway call (txtAdd)
//   passcode = 13022                    -1..32767; empty: -1 (a read-only login)
//   filter   = r/45.4/9.2/200           server-side filter; empty: none
//
// Keys are case-insensitive, blanks around keys and values are dropped, a
// later line overrides an earlier one. A line that says nothing usable is
// reported and ignored; the other lines still count.
struct AprsIsConfig {
    static constexpr const char* kDefaultServer = "rotate.aprs2.net:14580";
    static constexpr quint16 kDefaultPort = 14580;
    static constexpr int kNoPasscode = -1;

    bool enabled = false;
    QString server = QString::fromLatin1(kDefaultServer);
    QString call;                 // empty: the gateway call
    int passcode = kNoPasscode;
    QString filter;               // empty: none

    bool operator==(const AprsIsConfig&) const = default;
};

// The name of the file and where it lives.
inline constexpr const char* kAprsIsConfigFileName = "aprs-is.conf";
QString AprsIsConfigPath(const QString& folder);

// What reading the file gave: the settings (the defaults, so off, when the
// file is missing or unreadable) and a message for each line that was
// ignored, for the caller to show ("aprs-is.conf, line 3: ...").
struct AprsIsConfigRead {
    AprsIsConfig config;
    QStringList problems;
    bool found = false;           // the file exists
};

AprsIsConfigRead ParseAprsIsConfig(const QByteArray& text);
AprsIsConfigRead ReadAprsIsConfig(const QString& path);

// The text of the file for config. Given the previous text, its comments,
// blank lines, unknown and damaged lines stay where they are, each known key
// is rewritten in the place of its first line (later lines with the same key
// go) and keys it lacked are added at the end. With no previous text: a
// commented file with all five keys.
QByteArray AprsIsConfigText(const AprsIsConfig& config, const QByteArray& previous = {});

// Writes config to path (atomically), keeping what the file held besides.
bool WriteAprsIsConfig(const QString& path, const AprsIsConfig& config, QString* error);

// host:port of the server setting, or nothing when it is not of that form.
// A name with no ":port" gets the usual port 14580.
struct ServerAddress {
    QString host;
    quint16 port = AprsIsConfig::kDefaultPort;
};
std::optional<ServerAddress> ParseServerAddress(const QString& text);

// The APRS-IS passcode of a call: the hash servers check a login with,
// taken over the upper-cased call without its SSID ("N1CALL-5" -> 13022).
int AprsIsPasscode(const QString& call);

// The call logged in with: the configured call, else the gateway call,
// trimmed and upper-cased ("" when both are empty).
QString AprsIsLoginCall(const AprsIsConfig& config, const QString& gatewayCall);

// A call APRS-IS accepts as a login: 1 to 9 letters, digits and "-".
bool IsValidLoginCall(const QString& call);

} // namespace selvane
