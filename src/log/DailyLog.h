#pragma once
#include <QString>

#include "common/Clock.h"
#include "common/DayFile.h"

namespace selvane {

// Where the routing step logs each new packet it re-transmits.
class IPacketLog {
public:
    virtual ~IPacketLog() = default;
    virtual bool logEnabled() const = 0;
    virtual void WriteDailyLog(const QString& header, const QString& info, const QString& src) = 0;
};

// The daily packet log in the UI-View record layout: one file a day,
// "<logsDir>/yy-mm-dd.Txt", single-byte text, CR LF line ends, a banner line
// only when the file is created. The file stays open between records and is
// closed at a change of day, when logging is switched off and at exit.
// A file that cannot be opened or written never stops the caller: the record
// is skipped and the next record tries again.
class DailyLog : public IPacketLog {
public:
    DailyLog(QString logsDir, Clock clock);
    ~DailyLog();

    bool logEnabled() const override { return m_enabled; }
    // chkLog: switching on opens nothing yet; switching off closes the file
    // and forgets the day.
    void setLogEnabled(bool enabled);

    void WriteDailyLog(const QString& header, const QString& info, const QString& src) override;

    // Closes the file (exit); the next record reopens the day's file.
    void close();

    QString logDay() const { return m_file.day(); }
    // The file itself, for its trouble reports.
    DayFile& dayFile() { return m_file; }
    // Path of the file for a day key "yyyy-mm-dd".
    QString pathForDay(const QString& dayKey) const { return m_file.pathForDay(dayKey); }

private:
    Clock m_clock;
    bool m_enabled = false;
    DayFile m_file;
};

} // namespace selvane
