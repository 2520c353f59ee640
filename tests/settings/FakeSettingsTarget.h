#pragma once
#include <QSet>
#include <QString>
#include <QStringList>

#include "settings/SettingsTarget.h"

namespace selvane::testing {

// Records every apply step as "name(values)" in call order and keeps the
// accepted values, like the windows would. The mode buttons refuse anything
// but 0..2 and the check boxes anything but 0 or 1; further steps can be
// refused by name.
class FakeSettingsTarget : public ISettingsTarget {
public:
    QStringList calls;
    QSet<QString> refuse;     // step names that answer false
    GatewaySettings state;    // what the controls hold now
    int logsErrors = 0;

    FakeSettingsTarget()
    {
        state.tlmWindowMode = 1; // the windows start with "Hide" selected
    }

    bool applyTexts(const GatewaySettings& s) override
    {
        const QStringList texts{s.viaPath, s.gatewayCall, s.satsPorts,
                                s.outPorts, s.dupSeconds, s.agwpeHost};
        if (!record(QStringLiteral("texts"), texts.join(QLatin1Char('|'))))
            return false;
        state.viaPath = s.viaPath;
        state.gatewayCall = s.gatewayCall;
        state.satsPorts = s.satsPorts;
        state.outPorts = s.outPorts;
        state.dupSeconds = s.dupSeconds;
        state.agwpeHost = s.agwpeHost;
        return true;
    }
    bool applyMainWindow(int left, int top, int width) override
    {
        if (!record(QStringLiteral("main"), numbers({left, top, width})))
            return false;
        state.mainLeft = left;
        state.mainTop = top;
        state.mainWidth = width;
        return true;
    }
    bool applyDailyLog(int value) override
    {
        return checkBox(QStringLiteral("log"), value, state.dailyLog);
    }
    bool applyTelemetryMode(int mode) override
    {
        if (!record(QStringLiteral("mode"), QString::number(mode)) || mode < 0 || mode > 2)
            return false;
        state.tlmWindowMode = mode;
        return true;
    }
    bool applyTelemetryWindow(double height, int top, int left) override
    {
        if (!record(QStringLiteral("tlm"), QString::number(height) + QLatin1Char(',') + numbers({top, left})))
            return false;
        state.tlmHeight = height;
        state.tlmTop = top;
        state.tlmLeft = left;
        return true;
    }
    bool applyGateToOut(int value) override
    {
        return checkBox(QStringLiteral("out"), value, state.gateToOut);
    }
    bool applyGateToSats(int value) override
    {
        return checkBox(QStringLiteral("sats"), value, state.gateToSats);
    }
    bool applyGateTelemetry(int value) override
    {
        return checkBox(QStringLiteral("tlmgate"), value, state.gateTelemetry);
    }
    bool applyEngineChoice(EngineChoice choice) override
    {
        if (!record(QStringLiteral("engine"), QString::number(int(choice))))
            return false;
        state.engine = choice;
        return true;
    }
    bool applyAutoReconnect(bool on) override
    {
        if (!record(QStringLiteral("reconnect"), QString::number(int(on))))
            return false;
        state.autoReconnect = on;
        return true;
    }
    GatewaySettings collectSettings() const override { return state; }
    void showLogsDirectoryError() override { ++logsErrors; }

private:
    // Logs the call; false when this step is set to refuse.
    bool record(const QString& name, const QString& args)
    {
        calls << name + QLatin1Char('(') + args + QLatin1Char(')');
        return !refuse.contains(name);
    }
    bool checkBox(const QString& name, int value, int& box)
    {
        if (!record(name, QString::number(value)) || (value != 0 && value != 1))
            return false;
        box = value;
        return true;
    }
    static QString numbers(std::initializer_list<int> values)
    {
        QStringList parts;
        for (int v : values)
            parts << QString::number(v);
        return parts.join(QLatin1Char(','));
    }
};

} // namespace selvane::testing
