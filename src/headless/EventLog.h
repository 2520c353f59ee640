#pragma once
#include <QString>

#include <cstdio>

#include "common/Clock.h"

namespace selvane {

// Where the headless gateway reports: one line per event on standard output,
// problems on standard error, each line starting with the local date and
// time and flushed at once, so a journal shows it as it happens.
class EventLog {
public:
    EventLog(Clock clock, std::FILE* out = stdout, std::FILE* err = stderr);

    void event(const QString& text);
    void problem(const QString& text);

    // "2026-12-07 08:15:30 " for the given moment.
    static QString stamp(const QDateTime& when);

private:
    void write(std::FILE* stream, const QString& text);

    Clock m_clock;
    std::FILE* m_out;
    std::FILE* m_err;
};

} // namespace selvane
