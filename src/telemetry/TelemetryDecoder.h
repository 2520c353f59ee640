#pragma once
#include <QDateTime>
#include <QString>
#include <QTime>
#include <functional>
#include <optional>

#include "common/Clock.h"
#include "gateway/ITelemetryDecoder.h"
#include "gateway/Satellites.h"
#include "telemetry/TelemetryState.h"
#include "telemetry/TelemetryView.h"
#include "telemetry/TelemetryWindowModes.h"

namespace selvane {

// Where decoded lines are kept for later (the history file).
class ITelemetryHistoryWriter {
public:
    virtual ~ITelemetryHistoryWriter() = default;
    virtual void WriteTlmHistory(const QString& line, const QString& dayKey) = 0;
};

// The decoded form of one telemetry line, before anything is shown.
struct TelemetryReport {
    int bulletin = 0;     // 1..8: BLN number
    QString header;       // ":BLN1KORVA:Pcsat: " ...
    QString body;         // report body (bulletin without its header)
    QString line1;        // first display/history line
    QString line2;        // second line (group "10" only), else empty
    bool batteryChecked = false; // group "11": the battery-low check applies
    bool batteryLow = false;     // battery A or B below 14 V
};

// Decodes an information line for a side, with the time written as "hh:mm"
// for the display lines. Empty when the line is not decodable: no "T#"
// start, side None, a group (characters 38-39) other than "00", "01", "10",
// "11", or a byte channel (a channel of a quadratic or cubic formula) whose
// value, rounded half to even, lies outside 0..255. Touches nothing.
std::optional<TelemetryReport> BuildTelemetryReport(TelemetrySide side, const QString& info,
                                                    const QString& hhmm);

// Battery-low rule of group "11": either voltage below 14 V.
bool IsBatteryLow(float batteryA, float batteryB);

// The warning for a line whose status bits are all set, sent by the call
// that reports safe mode: "dd/MM hh:mm PCSAT: Safe Mode " followed by the
// first five characters of the line.
QString SafeModeWarning(const QDateTime& at, const QString& info);
// The time of day a safe-mode warning names; nothing for any other text
// (the battery-low warning among them).
std::optional<QTime> SafeModeWarningTime(const QString& warning);

// Turns PCSAT telemetry lines into bulletins, fills the telemetry window,
// writes the history file and raises the battery-low and safe-mode warnings.
class TelemetryDecoder : public ITelemetryDecoder {
public:
    // logEnabled: the daily-log switch (chkLog); history lines are written
    // only while it answers true. All references must outlive the decoder.
    TelemetryDecoder(ITelemetryView& view, TelemetryState& state, TelemetryWindowModes& modes,
                     ITelemetryHistoryWriter& history, std::function<bool()> logEnabled,
                     Clock clock);

    // Which half sent a line, and which call reports safe mode: from the
    // satellite table, which must outlive the decoder.
    void setSatellites(const SatelliteTable& satellites) { m_satellites = &satellites; }

    // Decodes entry 1 of the store. True: entry 1 now holds the bulletin
    // followed by " h:mm", and the window, the history file and the warning
    // label were updated. False: nothing at all changed.
    bool DecodeTelemetry(const QString& sourceCall, PacketStore& store) override;

private:
    ITelemetryView& m_view;
    TelemetryState& m_state;
    TelemetryWindowModes& m_modes;
    ITelemetryHistoryWriter& m_history;
    std::function<bool()> m_logEnabled;
    Clock m_clock;
    const SatelliteTable* m_satellites = &DefaultSatellites();
};

} // namespace selvane
