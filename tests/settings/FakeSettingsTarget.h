#pragma once
#include <QSet>
#include <QString>
#include <QStringList>

#include "settings/SettingsValues.h"

namespace selvane::testing {

// Records every apply step as "name(values)" in call order and applies the
// values with the controls' own rules (SettingsValues: the mode buttons
// refuse anything but 0..2, the check boxes anything but 0 or 1); further
// steps can be refused by name.
class FakeSettingsTarget : public ISettingsTarget {
public:
    QStringList calls;
    QSet<QString> refuse;     // step names that answer false
    GatewaySettings state;    // what the controls hold now
    int logsErrors = 0;

    FakeSettingsTarget() { state = m_values.values(); }

    bool applyTexts(const GatewaySettings& s) override
    {
        const QStringList texts{s.viaPath, s.gatewayCall, s.satsPorts,
                                s.outPorts, s.dupSeconds, s.agwpeHost};
        return step(QStringLiteral("texts"), texts.join(QLatin1Char('|')), [&] { return m_values.applyTexts(s); });
    }
    bool applyMainWindow(int left, int top, int width) override
    {
        return step(QStringLiteral("main"), numbers({left, top, width}),
                    [&] { return m_values.applyMainWindow(left, top, width); });
    }
    bool applyDailyLog(int value) override
    {
        return step(QStringLiteral("log"), QString::number(value), [&] { return m_values.applyDailyLog(value); });
    }
    bool applyTelemetryMode(int mode) override
    {
        return step(QStringLiteral("mode"), QString::number(mode), [&] { return m_values.applyTelemetryMode(mode); });
    }
    bool applyTelemetryWindow(double height, int top, int left) override
    {
        return step(QStringLiteral("tlm"), QString::number(height) + QLatin1Char(',') + numbers({top, left}),
                    [&] { return m_values.applyTelemetryWindow(height, top, left); });
    }
    bool applyGateToOut(int value) override
    {
        return step(QStringLiteral("out"), QString::number(value), [&] { return m_values.applyGateToOut(value); });
    }
    bool applyGateToSats(int value) override
    {
        return step(QStringLiteral("sats"), QString::number(value), [&] { return m_values.applyGateToSats(value); });
    }
    bool applyGateTelemetry(int value) override
    {
        return step(QStringLiteral("tlmgate"), QString::number(value),
                    [&] { return m_values.applyGateTelemetry(value); });
    }
    bool applyEngineChoice(EngineChoice choice) override
    {
        return step(QStringLiteral("engine"), QString::number(int(choice)),
                    [&] { return m_values.applyEngineChoice(choice); });
    }
    bool applyAutoReconnect(bool on) override
    {
        return step(QStringLiteral("reconnect"), QString::number(int(on)),
                    [&] { return m_values.applyAutoReconnect(on); });
    }
    GatewaySettings collectSettings() const override { return state; }
    void showLogsDirectoryError() override { ++logsErrors; }

private:
    // Logs the call; false when this step is set to refuse, else the rule's answer.
    template <typename Apply>
    bool step(const QString& name, const QString& args, Apply apply)
    {
        calls << name + QLatin1Char('(') + args + QLatin1Char(')');
        if (refuse.contains(name))
            return false;
        const bool accepted = apply();
        state = m_values.values();
        return accepted;
    }
    static QString numbers(std::initializer_list<int> values)
    {
        QStringList parts;
        for (int v : values)
            parts << QString::number(v);
        return parts.join(QLatin1Char(','));
    }

    SettingsValues m_values;
};

} // namespace selvane::testing
