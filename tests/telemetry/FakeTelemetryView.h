#pragma once
#include <QDateTime>
#include <QStringList>
#include <algorithm>

#include "telemetry/TelemetryDecoder.h"
#include "telemetry/TelemetryView.h"

namespace selvane::test {

// Records what the telemetry logic shows; the lists sort themselves like the
// window's sorted list boxes. `events` keeps the order of the calls.
class FakeTelemetryView : public ITelemetryView {
public:
    QString caption = QStringLiteral("PCSAT Telemetry");
    QStringList lists[3];
    bool visible = false;
    QString warning;
    bool warningVisible = false;
    int selectedMode = -1;
    QStringList errors; // "title|text"
    QStringList events;

    QStringList& list(TelemetryList l) { return lists[static_cast<int>(l)]; }

    void setTelemetryCaption(const QString& c) override
    {
        caption = c;
        events << QStringLiteral("caption");
    }
    void clearTelemetryLists() override
    {
        for (auto& l : lists)
            l.clear();
        events << QStringLiteral("clear");
    }
    void addTelemetryLine(TelemetryList l, const QString& line) override
    {
        QStringList& target = list(l);
        target.insert(std::upper_bound(target.begin(), target.end(), line), line);
        events << QStringLiteral("add%1 ").arg("ABM"[static_cast<int>(l)]) + line;
    }
    bool telemetryWindowVisible() const override { return visible; }
    void showTelemetryWindow() override
    {
        visible = true;
        events << QStringLiteral("show");
    }
    void hideTelemetryWindow() override
    {
        visible = false;
        events << QStringLiteral("hide");
    }
    void setWarning(const QString& text) override { warning = text; }
    void setWarningVisible(bool v) override { warningVisible = v; }
    void setSelectedTelemetryWindowMode(int mode) override { selectedMode = mode; }
    void showLoadError(const QString& path) override
    {
        errors << QStringLiteral("Load Error|") + path + QStringLiteral(" is NOT a TLM file");
    }
};

class FakeTimer : public ITelemetryTimer {
public:
    bool running = false;
    int starts = 0;
    void start() override
    {
        running = true;
        ++starts;
    }
    void stop() override { running = false; }
    bool isRunning() const override { return running; }
};

class RecordingHistory : public ITelemetryHistoryWriter {
public:
    QStringList written; // "dayKey|line"
    void WriteTlmHistory(const QString& line, const QString& dayKey) override
    {
        written << dayKey + QLatin1Char('|') + line;
    }
};

// "T#123,c1,c2,c3,c4,000,bits,  gg": channels at 7, 11, 15, 19, the status
// bits at 27-34, the group at 38-39.
inline QString TlmLine(const char* c1, const char* c2, const char* c3, const char* c4,
                       const char* group, const char* bits = "00000000")
{
    return QStringLiteral("T#123,%1,%2,%3,%4,000,%5,  %6").arg(c1, c2, c3, c4, bits, group);
}

} // namespace selvane::test
