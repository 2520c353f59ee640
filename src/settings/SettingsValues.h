#pragma once
#include "settings/GatewaySettings.h"
#include "settings/SettingsTarget.h"

namespace selvane {

// What the controls accept, for the window and the headless gateway alike.
// A check-box field is 0 (cleared) or 1 (set).
bool IsCheckBoxValue(int value);
// optTlm: Show = 0, Hide = 1, Auto = 2.
bool IsTelemetryWindowMode(int mode);
bool IsEngineChoice(EngineChoice choice);

// The settings without a window: the values of the settings file, applied
// with the same rules as the window's controls (a value a control would
// refuse is refused and the field keeps what it had), and read back as the
// live settings. The headless gateway uses it; replacing the values (a new
// read of the file) takes effect with the next packet.
class SettingsValues : public ISettingsTarget, public ILiveSettings {
public:
    SettingsValues();

    const GatewaySettings& values() const { return m_values; }

    // ISettingsTarget
    bool applyTexts(const GatewaySettings& s) override;
    bool applyMainWindow(int left, int top, int width) override;
    bool applyDailyLog(int value) override;
    bool applyTelemetryMode(int mode) override;
    bool applyTelemetryWindow(double height, int top, int left) override;
    bool applyGateToOut(int value) override;
    bool applyGateToSats(int value) override;
    bool applyGateTelemetry(int value) override;
    bool applyEngineChoice(EngineChoice choice) override;
    bool applyAutoReconnect(bool on) override;
    GatewaySettings collectSettings() const override { return m_values; }
    void showLogsDirectoryError() override {}

    // Applies every field in the order of the file; false when one was
    // refused (the others are applied all the same).
    bool applyAll(const GatewaySettings& s);

    // ILiveSettings
    QString viaPath() const override { return m_values.viaPath; }
    QString gatewayCall() const override { return m_values.gatewayCall; }
    QString satsPorts() const override { return m_values.satsPorts; }
    QString outPorts() const override { return m_values.outPorts; }
    QString dupSeconds() const override { return m_values.dupSeconds; }
    QString agwpeHost() const override { return m_values.agwpeHost; }
    bool gateToOut() const override { return m_values.gateToOut == 1; }
    bool gateToSats() const override { return m_values.gateToSats == 1; }
    bool gateTelemetry() const override { return m_values.gateTelemetry == 1; }
    EngineChoice engineChoice() const override { return m_values.engine; }
    bool autoReconnect() const override { return m_alwaysReconnect || m_values.autoReconnect; }

    // The headless gateway never gives up on its engine, whatever the file
    // says.
    void setAlwaysReconnect(bool on) { m_alwaysReconnect = on; }

private:
    static bool applyCheck(int& field, int value);

    GatewaySettings m_values;
    bool m_alwaysReconnect = false;
};

} // namespace selvane
