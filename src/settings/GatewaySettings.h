#pragma once
#include <QString>

namespace selvane {

// How via entries that the re-transmitted packet carries as already repeated
// are written in a "V" frame. The seven-character form is what the AGW Packet
// Engine expects ("RS0ISSP", "N0CALLE"); the text form ("RS0ISS*",
// "N0CALL-5*") is what engines such as Dire Wolf accept.
enum class ViaForm { SevenChar = 0, Text = 1 };

// Which engine profile the user chose (see agw/EngineProfile.h). The values
// are those of the settings file's 18th field: Automatic picks the profile
// from the engine's version reply; RawFrames sends "K" frames instead of "V".
enum class EngineChoice { Automatic = 0, DireWolf = 1, Agwpe = 2, RawFrames = 3 };

// The persisted values, in file order. Fields 7-17 hold what the file said;
// the window code decides how each is applied.
struct GatewaySettings {
    QString viaPath;        // 1  txtDigi
    QString gatewayCall;    // 2  txtAdd
    QString satsPorts;      // 3  txtIn
    QString outPorts;       // 4  txtOut
    QString dupSeconds;     // 5  txtDup
    QString agwpeHost;      // 6  txtAddress
    int mainLeft = 0;       // 7  twips
    int mainTop = 0;        // 8
    int mainWidth = 0;      // 9
    int dailyLog = 0;       // 10 chkLog
    int tlmWindowMode = 0;  // 11 optTlm index
    double tlmHeight = 0;   // 12 any number
    int tlmTop = 0;         // 13
    int tlmLeft = 0;        // 14
    int gateToOut = 0;      // 15 chkForward
    int gateToSats = 0;     // 16 chkReverse
    int gateTelemetry = 0;  // 17 chkTlm
    EngineChoice engine = EngineChoice::Automatic; // optional 18th field
    bool autoReconnect = false;                     // optional 19th field

    bool operator==(const GatewaySettings&) const = default;
};

// The live settings: the controls of the windows, read at the moment a value
// is needed, so an edit takes effect with the next packet. The main window
// implements this; tests use LiveSettingsValues.
class ILiveSettings {
public:
    virtual ~ILiveSettings() = default;
    virtual QString viaPath() const = 0;      // txtDigi
    virtual QString gatewayCall() const = 0;  // txtAdd
    virtual QString satsPorts() const = 0;    // txtIn
    virtual QString outPorts() const = 0;     // txtOut
    virtual QString dupSeconds() const = 0;   // txtDup
    virtual QString agwpeHost() const = 0;    // txtAddress
    virtual bool gateToOut() const = 0;       // chkForward
    virtual bool gateToSats() const = 0;      // chkReverse
    virtual bool gateTelemetry() const = 0;   // chkTlm
    virtual EngineChoice engineChoice() const = 0; // context menu of Frame2
    virtual bool autoReconnect() const = 0;         // "Riconnetti automaticamente"
};

// Plain values behind the live-settings interface, for tests and tools.
struct LiveSettingsValues : ILiveSettings {
    QString via = QStringLiteral("WIDE,WIDE");
    QString call;
    QString sats = QStringLiteral("1");
    QString out = QStringLiteral("2");
    QString dup = QStringLiteral("30");
    QString host = QStringLiteral("localhost");
    bool forward = false;
    bool reverse = true;
    bool telemetry = false;
    EngineChoice engine = EngineChoice::Automatic;
    bool reconnect = false;

    QString viaPath() const override { return via; }
    QString gatewayCall() const override { return call; }
    QString satsPorts() const override { return sats; }
    QString outPorts() const override { return out; }
    QString dupSeconds() const override { return dup; }
    QString agwpeHost() const override { return host; }
    bool gateToOut() const override { return forward; }
    bool gateToSats() const override { return reverse; }
    bool gateTelemetry() const override { return telemetry; }
    EngineChoice engineChoice() const override { return engine; }
    bool autoReconnect() const override { return reconnect; }
};

} // namespace selvane
