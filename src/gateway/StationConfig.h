#pragma once
#include <QHostAddress>
#include <QString>
#include <QStringList>

#include <optional>

#include "agw/EngineConfig.h"
#include "aprsis/AprsIsConfig.h"
#include "gateway/Satellites.h"
#include "gateway/UplinkGuard.h"
#include "settings/ConfigFile.h"

namespace selvane {

// What a station is configured with beyond the 17 fields of Selvane.ini:
// selvane.conf, beside it.
//
//   [engine]            the engine and how to reach it (agw/EngineConfig.h)
//   [aprs-is]           the APRS-IS upload (AprsIsConfig.h)
//   [uplink]            max-per-minute = 6, max-per-5-minutes = 10 (0: off)
//   [status]            listen = 127.0.0.1:8080   the headless program's status
//                         page (StatusConfig); no section: no page
//   [satellite NAME]    one satellite, new or built in, key by key:
//       enabled           = yes | no
//       digipeaters       = PSAT2-*, ...  calls that mark "*" when they repeat
//                                           ("-*": any SSID 0..15)
//       sources           = NA1SS, ...    further calls it sends as
//       uplink            = PSAT2, ...    aliases after the gateway call that
//                                           ask for the uplink
//       uplink-as         = ARISS         what such an alias goes up as
//                                           (empty: as written)
//       needs-gate-to-out = yes | no      gated down only with "Gate to Out"
//       telemetry         = pcsat | none  its own packets carry telemetry in
//                                           PCSAT's format
//       telemetry-side-a, telemetry-side-b = calls of each half
//       safe-mode-source  = the call whose status bits report safe mode
//
// A missing file means every default. A damaged line is reported with its
// number and ignored.
//
// The status page of the headless program: served on one address while the
// section names one. The address is an IP address (IPv6 in brackets) or
// "localhost", then ":" and a port; port 0 lets the system choose one.
struct StatusConfig {
    bool enabled = false;
    QHostAddress address;
    quint16 port = 0;

    bool operator==(const StatusConfig&) const = default;
};

// "127.0.0.1:8080", "[::1]:8080", "localhost:8080", "0.0.0.0:8080" as an
// address and a port; nullopt for anything else (a host name to look up, a
// missing or bad port).
std::optional<StatusConfig> ParseListenAddress(const QString& text);
// The address as a URL's host and port: "127.0.0.1:8080", "[::1]:8080".
QString ListenAddressText(const QHostAddress& address, quint16 port);

struct StationConfig {
    EngineConfig engine;
    AprsIsConfig aprsIs;
    UplinkLimits uplink;
    StatusConfig status;
    SatelliteTable satellites = SatelliteTable::Defaults();

    bool operator==(const StationConfig&) const = default;
};

inline constexpr const char* kStationConfigFileName = "selvane.conf";
QString StationConfigPath(const QString& folder);

struct StationConfigRead {
    StationConfig config;
    ConfigDocument document;   // the file as read, to be changed and written back
    QStringList problems;      // "selvane.conf, riga 3: ... (ignorata)"
    bool found = false;        // selvane.conf exists
    // False when selvane.conf is there but is no regular file, or cannot be
    // read: it is then never written.
    bool writable = true;
    bool aprsIsFromOldFile = false;   // [aprs-is] came from aprs-is.conf
};

// The configuration in a file's text; oldAprsIs, when given, is the text of
// aprs-is.conf, used when the text has no [aprs-is] section.
StationConfigRead ParseStationConfig(const QByteArray& text, const QByteArray* oldAprsIs = nullptr);
// selvane.conf (and aprs-is.conf) of a folder.
StationConfigRead ReadStationConfig(const QString& folder);

// The document with the values of config: [engine] rewritten once it
// is there or differs from the default; [aprs-is] rewritten; each
// satellite's section holding the keys in which it differs from the
// built-in one (all keys for a satellite of the user's); sections of
// satellites no longer in the table removed; [uplink] rewritten. Comments,
// unknown keys and damaged lines stay where they are.
void SetStationConfig(ConfigDocument& document, const StationConfig& config);
bool WriteStationConfig(const QString& folder, const ConfigDocument& document, QString* error);

// The section name of a satellite, "satellite ISS".
QString SatelliteSection(const QString& name);

} // namespace selvane
