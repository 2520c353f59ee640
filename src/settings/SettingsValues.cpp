#include "settings/SettingsValues.h"

namespace selvane {

bool IsCheckBoxValue(int value)
{
    return value == 0 || value == 1;
}

bool IsTelemetryWindowMode(int mode)
{
    return mode >= 0 && mode <= 2;
}

bool IsEngineChoice(EngineChoice choice)
{
    return choice == EngineChoice::Automatic || choice == EngineChoice::DireWolf
        || choice == EngineChoice::Agwpe || choice == EngineChoice::RawFrames;
}

SettingsValues::SettingsValues()
{
    // As the window starts before the file is applied: "Hide" selected.
    m_values.tlmWindowMode = 1;
}

bool SettingsValues::applyCheck(int& field, int value)
{
    if (!IsCheckBoxValue(value))
        return false;
    field = value;
    return true;
}

bool SettingsValues::applyTexts(const GatewaySettings& s)
{
    m_values.viaPath = s.viaPath;
    m_values.gatewayCall = s.gatewayCall;
    m_values.satsPorts = s.satsPorts;
    m_values.outPorts = s.outPorts;
    m_values.dupSeconds = s.dupSeconds;
    m_values.agwpeHost = s.agwpeHost;
    return true;
}

bool SettingsValues::applyMainWindow(int left, int top, int width)
{
    m_values.mainLeft = left;
    m_values.mainTop = top;
    m_values.mainWidth = width;
    return true;
}

bool SettingsValues::applyDailyLog(int value)
{
    return applyCheck(m_values.dailyLog, value);
}

bool SettingsValues::applyTelemetryMode(int mode)
{
    if (!IsTelemetryWindowMode(mode))
        return false;
    m_values.tlmWindowMode = mode;
    return true;
}

bool SettingsValues::applyTelemetryWindow(double height, int top, int left)
{
    m_values.tlmHeight = height;
    m_values.tlmTop = top;
    m_values.tlmLeft = left;
    return true;
}

bool SettingsValues::applyGateToOut(int value)
{
    return applyCheck(m_values.gateToOut, value);
}

bool SettingsValues::applyGateToSats(int value)
{
    return applyCheck(m_values.gateToSats, value);
}

bool SettingsValues::applyGateTelemetry(int value)
{
    return applyCheck(m_values.gateTelemetry, value);
}

bool SettingsValues::applyEngineChoice(EngineChoice choice)
{
    if (!IsEngineChoice(choice))
        return false;
    m_values.engine = choice;
    return true;
}

bool SettingsValues::applyAutoReconnect(bool on)
{
    m_values.autoReconnect = on;
    return true;
}

bool SettingsValues::applyAll(const GatewaySettings& s)
{
    bool ok = applyTexts(s);
    ok = applyMainWindow(s.mainLeft, s.mainTop, s.mainWidth) && ok;
    ok = applyDailyLog(s.dailyLog) && ok;
    ok = applyTelemetryMode(s.tlmWindowMode) && ok;
    ok = applyTelemetryWindow(s.tlmHeight, s.tlmTop, s.tlmLeft) && ok;
    ok = applyGateToOut(s.gateToOut) && ok;
    ok = applyGateToSats(s.gateToSats) && ok;
    ok = applyGateTelemetry(s.gateTelemetry) && ok;
    ok = applyEngineChoice(s.engine) && ok;
    ok = applyAutoReconnect(s.autoReconnect) && ok;
    return ok;
}

} // namespace selvane
