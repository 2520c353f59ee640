#pragma once
#include "settings/GatewaySettings.h"

namespace selvane {

// The controls that the settings file is applied to and read back from.
// The main window implements it (and the telemetry window behind it). Each
// apply step returns false when a control refuses the value; the control
// then keeps its state.
class ISettingsTarget {
public:
    virtual ~ISettingsTarget() = default;
    // txtDigi, txtAdd, txtIn, txtOut, txtDup, txtAddress.
    virtual bool applyTexts(const GatewaySettings& s) = 0;
    // Main window left, top, width in twips (the size rules then apply).
    virtual bool applyMainWindow(int left, int top, int width) = 0;
    // chkLog (0 or 1); logEnabled follows the box.
    virtual bool applyDailyLog(int value) = 0;
    // Selects optTlm[mode] (0..2, anything else is refused), then
    // ApplyTelemetryWindowMode(mode) is run whatever the answer.
    virtual bool applyTelemetryMode(int mode) = 0;
    // Telemetry window height, top, left in twips (its size rules apply).
    virtual bool applyTelemetryWindow(double height, int top, int left) = 0;
    // One check box each: chkForward, chkReverse, chkTlm (0 or 1).
    virtual bool applyGateToOut(int value) = 0;
    virtual bool applyGateToSats(int value) = 0;
    virtual bool applyGateTelemetry(int value) = 0;
    // The engine profile and "Riconnetti automaticamente", chosen from
    // Frame2's context menu.
    virtual bool applyEngineChoice(EngineChoice choice) = 0;
    virtual bool applyAutoReconnect(bool on) = 0;

    // The 17 (+2) values as the windows hold them now, for the exit.
    virtual GatewaySettings collectSettings() const = 0;

    // Message box "Errore Creazione Directory Logs", title
    // "Daily logs cannot be saved", one OK button.
    virtual void showLogsDirectoryError() = 0;
};

} // namespace selvane
