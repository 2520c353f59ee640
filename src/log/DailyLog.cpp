#include "log/DailyLog.h"

#include "common/TextRules.h"

namespace selvane {

namespace {

const QString kCrLf = QStringLiteral("\r\n");

// Blank, then the engine's reception time: the 8 characters after the first
// "[" at character 18 or later of the monitor header. A header without such
// a "[" gives its own first 8 characters. Always 9 characters.
QString TimeField(const QString& header)
{
    const qsizetype bracket = header.indexOf(QLatin1Char('['), 17);
    const QString time = bracket < 0 ? header.left(8) : header.mid(bracket + 1, 8);
    return (QLatin1Char(' ') + time).leftJustified(9, QLatin1Char(' '));
}

// Destination call sign: after the first " To " at character 8 or later, up
// to the next blank (to the end of the header when no blank follows). A
// header without " To " there has no destination: empty text.
QString Destination(const QString& header)
{
    const qsizetype to = header.indexOf(QStringLiteral(" To "), 7);
    if (to < 0)
        return {};
    const qsizetype start = to + 4;
    const qsizetype blank = header.indexOf(QLatin1Char(' '), start);
    return blank < 0 ? header.mid(start) : header.mid(start, blank - start);
}

// The engine's 1-based port number: the first two characters, blanks removed.
QString PortText(const QString& header)
{
    return TrimBlanks(Mid(header, 1, 2));
}

} // namespace

DailyLog::DailyLog(QString logsDir, Clock clock)
    : m_clock(std::move(clock)), m_file(std::move(logsDir), QStringLiteral(".Txt"))
{
}

DailyLog::~DailyLog() = default;

void DailyLog::setLogEnabled(bool enabled)
{
    m_enabled = enabled;
    if (!enabled)
        close();
}

void DailyLog::close()
{
    m_file.close();
}

void DailyLog::WriteDailyLog(const QString& header, const QString& info, const QString& src)
{
    if (!m_enabled)
        return;
    const QString key = DayKey(m_clock().date());
    if (key.isEmpty())
        return;
    const QString time = TimeField(header);

    QString text;
    if (!m_file.isOpenFor(key)) {
        bool isNew = false;
        // A file that cannot be opened skips this record only; with no day
        // kept, the next record tries again.
        if (!m_file.openDay(key, &isNew))
            return;
        if (isNew)
            text += key + time + QStringLiteral(" START LOCAL TIME [Selvane]") + kCrLf;
    }
    text += key + time + time + QStringLiteral("R ") + src + QLatin1Char('>') + Destination(header)
        + QStringLiteral(" Port=") + PortText(header) + QStringLiteral(" <UI>:") + kCrLf;
    // The record's second line is the information field on one line: an
    // inner CR or LF would start a line of its own in the reader.
    text += OneLine(info) + kCrLf;
    // Banner and record go out in one write, so a reader never sees half of one.
    m_file.append(ToSingleByte(text));
}

} // namespace selvane
