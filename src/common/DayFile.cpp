#include "common/DayFile.h"

#include <QDir>
#include <QFileInfo>

#include <unistd.h>

#include "common/SafeFile.h"
#include "common/TextRules.h"

namespace selvane {

QString DayKey(const QDate& date)
{
    return date.isValid() ? date.toString(QStringLiteral("yyyy-MM-dd")) : QString();
}

DayFile::DayFile(QString dir, QString suffix) : m_dir(std::move(dir)), m_suffix(std::move(suffix)) {}

DayFile::~DayFile()
{
    close();
}

QString DayFile::pathForDay(const QString& dayKey) const
{
    return QDir::toNativeSeparators(QDir(m_dir).filePath(Mid(dayKey, 3, 8) + m_suffix));
}

namespace {
// Whether a non-empty file stops in the middle of a line.
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

bool DayFile::openDay(const QString& dayKey, bool* isNew)
{
    close();
    const QString path = pathForDay(dayKey);
    const QFileInfo info(path);
    *isNew = !info.exists() || (info.isFile() && info.size() == 0);
    const bool cutShort = info.isFile() && EndsInsideALine(path);
    m_file.setFileName(path);
    // Only a regular file of our own: never written through a link onto a
    // device, and a FIFO in its place cannot stall the gateway.
    QString why;
    const int fd = OpenRegularFileForAppend(path, &why);
    // Unbuffered: each record is one write of its own, and one that fails
    // leaves nothing behind in a buffer to come out later.
    if (fd < 0
        || !m_file.open(fd, QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered,
                        QFileDevice::AutoCloseHandle)) {
        if (fd >= 0) {
            why = m_file.errorString();
            ::close(fd);
        }
        failed(path, why);
        return false;
    }
    m_day = dayKey;
    m_path = path;
    if (cutShort)
        return append(QByteArrayLiteral("\r\n"));
    return true;
}

bool DayFile::append(const QByteArray& bytes)
{
    if (!m_file.isOpen())
        return false;
    const qint64 before = m_file.size();
    if (m_file.write(bytes) == bytes.size() && m_file.flush()) {
        succeeded();
        return true;
    }
    // Whatever part of the record reached the file goes again, so a reader
    // never meets half a record and the next one starts on a line of its own.
    const QString why = m_file.errorString();
    m_file.resize(before);
    const QString path = m_path;
    close();
    failed(path, why);
    return false;
}

void DayFile::failed(const QString& path, const QString& why)
{
    if (m_troubled)
        return;
    m_troubled = true;
    if (onTrouble)
        onTrouble(QDir::toNativeSeparators(path) + QStringLiteral(": ") + why);
}

void DayFile::succeeded()
{
    if (!m_troubled)
        return;
    m_troubled = false;
    if (onRecovered)
        onRecovered();
}

void DayFile::close()
{
    if (m_file.isOpen())
        m_file.close();
    m_day.clear();
}

} // namespace selvane
