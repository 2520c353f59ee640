#include "headless/EventLog.h"

#include "common/TextRules.h"

namespace selvane {

EventLog::EventLog(Clock clock, std::FILE* out, std::FILE* err)
    : m_clock(std::move(clock)), m_out(out), m_err(err)
{
}

QString EventLog::stamp(const QDateTime& when)
{
    return when.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss "));
}

void EventLog::write(std::FILE* stream, const QString& text)
{
    // One line per event: a packet's own line breaks are shown, not obeyed.
    const QByteArray line = (stamp(m_clock()) + OneLine(text)).toLocal8Bit() + '\n';
    std::fwrite(line.constData(), 1, size_t(line.size()), stream);
    std::fflush(stream);
}

void EventLog::event(const QString& text)
{
    write(m_out, text);
}

void EventLog::problem(const QString& text)
{
    write(m_err, text);
}

} // namespace selvane
