#pragma once
#include <QPointer>

#include "telemetry/TelemetryView.h"
#include "ui/Dialogs.h"
#include "ui/MainWindow.h"
#include "ui/TelemetryWindow.h"

namespace selvane {

// What the telemetry logic shows, spread over the two windows: caption,
// lists and visibility on the telemetry window, the warning label and the
// mode buttons on the main window, the load error through the dialogs.
// Once the telemetry window is gone (exit), what concerned it does nothing.
class TelemetryGlue : public ITelemetryView {
public:
    TelemetryGlue(MainWindow& main, TelemetryWindow& telemetry, IDialogs& dialogs)
        : m_main(main), m_telemetry(&telemetry), m_dialogs(dialogs)
    {
    }

    void setTelemetryCaption(const QString& caption) override
    {
        if (m_telemetry)
            m_telemetry->setTelemetryCaption(caption);
    }
    void clearTelemetryLists() override
    {
        if (m_telemetry)
            m_telemetry->clearTelemetryLists();
    }
    void addTelemetryLine(TelemetryList list, const QString& line) override
    {
        if (m_telemetry)
            m_telemetry->addTelemetryLine(list, line);
    }
    bool telemetryWindowVisible() const override { return m_telemetry && m_telemetry->isVisible(); }
    void showTelemetryWindow() override
    {
        if (m_telemetry)
            m_telemetry->show();
    }
    void hideTelemetryWindow() override
    {
        if (m_telemetry)
            m_telemetry->hide();
    }
    void setWarning(const QString& text) override { m_main.setWarning(text, m_main.isWarningVisible()); }
    void setWarningVisible(bool visible) override { m_main.setWarning(m_main.warningText(), visible); }
    void setSelectedTelemetryWindowMode(int mode) override { m_main.showTelemetryMode(mode); }
    void showLoadError(const QString& path) override { m_dialogs.loadError(path); }

private:
    MainWindow& m_main;
    QPointer<TelemetryWindow> m_telemetry;
    IDialogs& m_dialogs;
};

} // namespace selvane
