#include "log/DailyLog.h"

#include <QDir>
#include <QFileInfo>

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
    QString port = Mid(header, 1, 2);
    while (port.startsWith(QLatin1Char(' ')))
        port.remove(0, 1);
    while (port.endsWith(QLatin1Char(' ')))
        port.chop(1);
    return port;
}

} // namespace

QString DayKey(const QDate& date)
{
    return date.isValid() ? date.toString(QStringLiteral("yyyy-MM-dd")) : QString();
}

DailyLog::DailyLog(QString logsDir, Clock clock)
    : m_logsDir(std::move(logsDir))
    , m_clock(std::move(clock))
{
}

DailyLog::~DailyLog()
{
    close();
}

void DailyLog::setLogEnabled(bool enabled)
{
    m_enabled = enabled;
    if (!enabled)
        close();
}

void DailyLog::close()
{
    if (m_file.isOpen())
        m_file.close();
    m_logDay.clear();
}

QString DailyLog::pathForDay(const QString& dayKey) const
{
    return QDir::toNativeSeparators(QDir(m_logsDir).filePath(Mid(dayKey, 3) + QStringLiteral(".Txt")));
}

namespace {
// Whether a non-empty file stops in the middle of a line (a write that was
// cut short, e.g. by a full disk).
bool EndsInsideALine(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly) || f.size() == 0)
        return false;
    f.seek(f.size() - 1);
    char last = 0;
    return f.getChar(&last) && last != '\n';
}
} // namespace

bool DailyLog::openDay(const QString& dayKey, bool* isNew)
{
    close();
    const QString path = pathForDay(dayKey);
    // An empty file counts as new too: it is what a first write that failed
    // (disk full) leaves behind, and the day's banner must still come first.
    const QFileInfo info(path);
    *isNew = !info.exists() || (info.isFile() && info.size() == 0);
    const bool cutShort = info.isFile() && EndsInsideALine(path);
    m_file.setFileName(path);
    if (!m_file.open(QIODevice::WriteOnly | QIODevice::Append))
        return false;
    m_logDay = dayKey;
    // The next record starts on a line of its own, so a reader does not
    // take it for the tail of the broken one.
    if (cutShort)
        return writeOrDrop(QByteArrayLiteral("\r\n"));
    return true;
}

bool DailyLog::writeOrDrop(const QByteArray& bytes)
{
    // Flushed at once: UI-View reads the file while the gateway runs, and a
    // crash must not lose a record already written.
    if (m_file.write(bytes) == bytes.size() && m_file.flush())
        return true;
    close();
    return false;
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
    if (key != m_logDay || !m_file.isOpen()) {
        bool isNew = false;
        // A file that cannot be opened skips this record only; with no day
        // kept, the next record tries again.
        if (!openDay(key, &isNew))
            return;
        if (isNew)
            text += key + time + QStringLiteral(" START LOCAL TIME [Selvane]") + kCrLf;
    }
    text += key + time + time + QStringLiteral("R ") + src + QLatin1Char('>') + Destination(header)
        + QStringLiteral(" Port=") + PortText(header) + QStringLiteral(" <UI>:") + kCrLf;
    text += info + kCrLf;
    // Banner and record go out in one write, so a reader never sees half of one.
    writeOrDrop(ToSingleByte(text));
}

} // namespace selvane
