#pragma once
#include <QString>

#include "common/Clock.h"
#include "common/DayFile.h"
#include "telemetry/TelemetryDecoder.h"
#include "telemetry/TelemetryState.h"
#include "telemetry/TelemetryView.h"

namespace selvane {

// The PCSAT telemetry history: one file a day, "<logsDir>/yy-mm-dd.Tlh", of
// single-byte records, each a text in double quotes ended by CR LF. The first
// record of a file is its day "yyyy-mm-dd"; every further one is a telemetry
// display line. The writer keeps the day's file open between records.
//
// Limits of the loader, so that a wrong file chosen by mistake can neither
// hang nor exhaust the program: a file larger than kMaxFileBytes is refused,
// and so is a line longer than kMaxLineBytes, a line holding a NUL byte
// (binary data), a file with more than kMaxRecords records, and anything that
// is not a regular file (directory, device, pipe); records already
// put in the window before such a line stay there, as for any read error.
// Every other byte is read as a Latin-1 character.
class TelemetryHistory : public ITelemetryHistoryWriter {
public:
    static constexpr qint64 kMaxFileBytes = 4 * 1024 * 1024;
    static constexpr qint64 kMaxLineBytes = 4096;
    static constexpr int kMaxRecords = 50000;

    // logsDir: the "Logs" directory. state: shared with the decoder (the
    // loader sets tlmShownDay). clock: tells whether a loaded day is today.
    TelemetryHistory(QString logsDir, TelemetryState& state, ITelemetryView& view, Clock clock);
    ~TelemetryHistory() override;

    // Appends line as a record to the file of dayKey ("yyyy-mm-dd"), opening
    // (and, when new or empty, starting with the header record) the day's file
    // first when it is not the open one. Each record is flushed at once. A file
    // that cannot be opened or written is skipped without a word; the next
    // line tries again.
    void WriteTlmHistory(const QString& line, const QString& dayKey) override;

    // Closes the writer's file; the next write reopens the day's file.
    void close();
    // Before a load: every line written so far reaches the disk.
    void closeForLoad() { close(); }

    // Reads a history file back into the telemetry window ("Load Tlm"). A file
    // that is missing, empty, not starting with a "yyyy-mm-dd" day record, or
    // unreadable is reported with "<path> is NOT a TLM file", title "Load
    // Error". Only the form "yyyy-mm-dd" (the one the writer uses) is
    // accepted as the day: it is also what tlmShownDay is compared with.
    void LoadTlmHistory(const QString& path);

    // dayKey of the open file, empty when the next write must (re)open one.
    QString tlhFileDay() const { return m_file.day(); }
    // The file itself, for its trouble reports.
    DayFile& dayFile() { return m_file; }
    bool isOpen() const { return m_file.isOpen(); }
    QString pathForDay(const QString& dayKey) const { return m_file.pathForDay(dayKey); }

private:
    bool writeRecord(const QString& text);
    void loadFailed(const QString& path);

    TelemetryState& m_state;
    ITelemetryView& m_view;
    Clock m_clock;
    DayFile m_file;
};

// Splits one line of a history file into its records: leading blanks are
// skipped; a field beginning with a double quote is the text up to the next
// quote (or the end of the line), and what follows up to a comma is skipped;
// any other field is the text up to the next comma or the end of the line,
// without trailing blanks. An empty line gives one empty record; a comma at
// the end of a line is followed by one more, empty, record.
QStringList SplitHistoryRecords(const QString& line);

// A "yyyy-mm-dd" day record as a date; invalid for anything else.
QDate HistoryDay(const QString& record);

} // namespace selvane
