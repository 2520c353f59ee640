#pragma once
#include <QByteArray>
#include <QString>
#include <QList>
#include <QStringList>

#include <utility>

#include <optional>

namespace selvane {

// The settings of the APRS-IS upload, the [aprs-is] section of selvane.conf
// (the settings record other programs read stays as it is):
//
//   [aprs-is]
//   enabled  = yes                      yes/no (also on/off, true/false, 1/0)
//   server   = rotate.aprs2.net:14580   host:port, [v6-address]:port; no port: 14580
//   call     = N1CALL-5                 the login; empty: the gateway call (txtAdd)
//   passcode = 13022                    -1..32767; empty: -1 (a read-only login)
//   filter   = r/45.4/9.2/200           server-side filter; empty: none
//   satgate-delay  = 10                 seconds a station's own uplink heard
//                                       directly waits for the satellite's
//                                       copy (SatgateHold.h); 0..30, 0: off
//   beacon         = yes                the gateway's telemetry to APRS-IS,
//                                       and with a position its position and
//                                       status (Beacon.h)
//   latitude       = 45.4               decimal degrees, -90..90 (south < 0)
//   longitude      = 9.2                decimal degrees, -180..180 (west < 0)
//   beacon-minutes = 30                 10..1440
//   beacon-comment = Selvane satgate    at most 43 characters
//
// A value that cannot be used is reported and ignored; the other lines
// still count.
struct AprsIsConfig {
    static constexpr const char* kDefaultServer = "rotate.aprs2.net:14580";
    static constexpr quint16 kDefaultPort = 14580;
    static constexpr int kNoPasscode = -1;
    static constexpr int kDefaultSatgateDelay = 10;
    static constexpr int kMaxSatgateDelay = 30;
    static constexpr int kDefaultBeaconMinutes = 30;
    static constexpr int kMinBeaconMinutes = 10;
    static constexpr int kMaxBeaconMinutes = 24 * 60;
    static constexpr const char* kDefaultBeaconComment = "Selvane satgate";
    // What a position report without a data extension leaves for a comment.
    static constexpr int kMaxBeaconComment = 43;

    bool enabled = false;
    QString server = QString::fromLatin1(kDefaultServer);
    QString call;                 // empty: the gateway call
    int passcode = kNoPasscode;
    QString filter;               // empty: none
    int satgateDelay = kDefaultSatgateDelay;   // seconds
    bool beacon = false;
    std::optional<double> latitude;
    std::optional<double> longitude;
    int beaconMinutes = kDefaultBeaconMinutes;
    QString beaconComment = QString::fromLatin1(kDefaultBeaconComment);

    // beacon = yes with both coordinates: the gateway's position and status
    // go up. Without a position only its telemetry does.
    bool sendsPosition() const { return beacon && latitude && longitude; }

    bool operator==(const AprsIsConfig&) const = default;
};

// The file that held these settings before selvane.conf did; read when
// selvane.conf has no [aprs-is] section.
inline constexpr const char* kAprsIsConfigFileName = "aprs-is.conf";

// Applies one key of the section; empty when it was applied, else why not
// (an unknown key, a value that cannot be used), for the caller's report.
QString ApplyAprsIsSetting(AprsIsConfig& config, const QString& key, const QString& value);
// What the section as a whole cannot do, though each line was good:
// "beacon = yes" without a position. Empty when nothing.
QString AprsIsConfigProblem(const AprsIsConfig& config);
// The keys and values of the section, in the order a new file lists them.
QList<std::pair<QString, QString>> AprsIsSettings(const AprsIsConfig& config);

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

// A call APRS-IS accepts as a login: 1 to 9 letters, digits and "-", not
// starting with "-".
bool IsValidLoginCall(const QString& call);

// A passcode a login can carry: -1 (none) to 32767.
bool IsValidPasscode(int passcode);

} // namespace selvane
