#include "telemetry/TelemetryHistory.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLocale>

#include "common/TextRules.h"

namespace selvane {

TelemetryHistory::TelemetryHistory(QString logsDir, TelemetryState& state, ITelemetryView& view,
                                   Clock clock)
    : m_state(state), m_view(view), m_clock(std::move(clock)), m_file(std::move(logsDir), QStringLiteral(".Tlh"))
{
}

TelemetryHistory::~TelemetryHistory() = default;

void TelemetryHistory::close()
{
    m_file.close();
}

bool TelemetryHistory::writeRecord(const QString& text)
{
    return m_file.append('"' + ToSingleByte(text) + "\"\r\n");
}

void TelemetryHistory::WriteTlmHistory(const QString& line, const QString& dayKey)
{
    if (!m_file.isOpenFor(dayKey)) {
        bool isNew = false;
        // A new (or empty) file starts with its day, or it could never be
        // loaded. A file that cannot be opened skips this line only.
        if (!m_file.openDay(dayKey, &isNew) || (isNew && !writeRecord(dayKey)))
            return;
    }
    writeRecord(line);
}

QStringList SplitHistoryRecords(const QString& line)
{
    QStringList records;
    const qsizetype n = line.size();
    qsizetype i = 0;
    for (;;) {
        while (i < n && line[i] == QLatin1Char(' '))
            ++i;
        QString value;
        if (i < n && line[i] == QLatin1Char('"')) {
            const qsizetype close = line.indexOf(QLatin1Char('"'), i + 1);
            const qsizetype end = close < 0 ? n : close;
            value = line.mid(i + 1, end - i - 1);
            i = close < 0 ? n : close + 1;
            const qsizetype comma = line.indexOf(QLatin1Char(','), i);
            i = comma < 0 ? n : comma;
        } else {
            const qsizetype comma = line.indexOf(QLatin1Char(','), i);
            const qsizetype end = comma < 0 ? n : comma;
            qsizetype last = end;
            while (last > i && line[last - 1] == QLatin1Char(' '))
                --last;
            value = line.mid(i, last - i);
            i = end;
        }
        records.append(value);
        if (i >= n)
            break;
        ++i; // past the comma: another field follows
    }
    return records;
}

QDate HistoryDay(const QString& record)
{
    if (record.size() != 10 || record[4] != QLatin1Char('-') || record[7] != QLatin1Char('-'))
        return {};
    for (int k : {0, 1, 2, 3, 5, 6, 8, 9})
        if (record[k] < QLatin1Char('0') || record[k] > QLatin1Char('9'))
            return {};
    return QDate(record.left(4).toInt(), record.mid(5, 2).toInt(), record.mid(8, 2).toInt());
}

void TelemetryHistory::loadFailed(const QString& path)
{
    m_file.close();
    m_view.showLoadError(path);
}

namespace {

enum class LineRead { Ok, End, Error };

// One line of at most maxBytes bytes, without its LF and a CR before it.
// A longer line, a NUL byte or a device error is an error.
LineRead ReadHistoryLine(QFile& file, qint64 maxBytes, qint64& budget, QString& line)
{
    if (file.atEnd())
        return LineRead::End;
    // readLine(n) reads at most n - 1 bytes: room for the text, CR and LF.
    QByteArray bytes = file.readLine(maxBytes + 3);
    if (bytes.isEmpty())
        return file.error() == QFileDevice::NoError ? LineRead::End : LineRead::Error;
    budget -= bytes.size();
    if (budget < 0)
        return LineRead::Error;
    const bool ended = bytes.endsWith('\n');
    if (ended)
        bytes.chop(1);
    else if (!file.atEnd())
        return LineRead::Error; // no line end within maxBytes
    if (bytes.endsWith('\r'))
        bytes.chop(1);
    if (bytes.size() > maxBytes || bytes.contains('\0'))
        return LineRead::Error;
    line = FromSingleByte(bytes);
    return LineRead::Ok;
}

} // namespace

void TelemetryHistory::LoadTlmHistory(const QString& path)
{
    // What the writer has written so far must be on disk before reading.
    closeForLoad();

    // Only regular files: a directory, a device or a pipe (whose open could
    // block) is not a history file.
    QFile file(path);
    if (!QFileInfo(path).isFile() || file.size() > kMaxFileBytes || !file.open(QIODevice::ReadOnly)) {
        loadFailed(path);
        return;
    }
    qint64 budget = kMaxFileBytes; // also bounds a file that grows while read
    int recordCount = 0;

    // The first record: the file's day.
    QString line;
    QStringList pending;
    if (ReadHistoryLine(file, kMaxLineBytes, budget, line) != LineRead::Ok) {
        loadFailed(path);
        return;
    }
    pending = SplitHistoryRecords(line);
    const QString first = pending.takeFirst();
    ++recordCount;
    const QDate day = HistoryDay(first);
    if (!day.isValid()) {
        loadFailed(path);
        return;
    }

    const QString date = QLocale().toString(day, QLocale::LongFormat);
    const QString caption = day == m_clock().date()
                                ? QCoreApplication::translate("Telemetry", "Today PCSAT TLM History - %1").arg(date)
                                : QCoreApplication::translate("Telemetry", "PCSAT TLM History - %1").arg(date);
    m_view.setTelemetryCaption(caption);
    m_file.close();
    m_state.tlmShownDay = first;
    m_view.clearTelemetryLists();

    for (;;) {
        for (const QString& s : std::as_const(pending)) {
            if (++recordCount > kMaxRecords) {
                loadFailed(path);
                return;
            }
            const QChar c = s.isEmpty() ? QChar() : s.at(0);
            if (c >= QLatin1Char('1') && c <= QLatin1Char('4'))
                m_view.addTelemetryLine(TelemetryList::A, s);
            else if (c >= QLatin1Char('5') && c <= QLatin1Char('8'))
                m_view.addTelemetryLine(TelemetryList::B, s);
            else if (c == QLatin1Char('0') || c == QLatin1Char('9'))
                m_view.addTelemetryLine(TelemetryList::M, s);
        }
        const LineRead r = ReadHistoryLine(file, kMaxLineBytes, budget, line);
        if (r == LineRead::End)
            break;
        if (r == LineRead::Error) {
            loadFailed(path);
            return;
        }
        pending = SplitHistoryRecords(line);
    }
}

} // namespace selvane
