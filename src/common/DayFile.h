#pragma once
#include <QByteArray>
#include <QDate>
#include <QFile>
#include <QString>

#include <functional>

namespace selvane {

// A calendar day as "yyyy-mm-dd" (empty for an invalid date). Files of a day
// are named by its characters 3 to 10, "yy-mm-dd".
QString DayKey(const QDate& date);

// One file a day in a folder ("<dir>/yy-mm-dd<suffix>"), held open for
// appending between writes and reopened at a change of day. Only a regular
// file is written: a name that is a device, a FIFO, a socket, a folder or a
// link to one of them (or to nothing) fails like a file that cannot be
// opened. A file that cannot be opened or written never stops the caller:
// the write fails, what it had written of the record is cut off again (a
// full disk leaves no half record in the file), the file is closed and the
// day forgotten, so the next write tries again. The first failure after a good write is reported once
// through onTrouble, the next good write after failures through onRecovered.
// Every write is flushed at once: other programs read these files while the
// gateway runs, and a crash must not lose what was written.
class DayFile {
public:
    DayFile(QString dir, QString suffix);
    ~DayFile();

    QString pathForDay(const QString& dayKey) const;

    // Makes the file of dayKey the open one. *isNew tells whether it needs
    // its first line: it did not exist or is empty (what a first write that
    // failed leaves behind). A file that ends inside a line (a write cut
    // short) gets CR LF first, so the next line stands on its own. False
    // when the file cannot be opened.
    bool openDay(const QString& dayKey, bool* isNew);

    // The file of dayKey is open.
    bool isOpenFor(const QString& dayKey) const { return m_file.isOpen() && m_day == dayKey; }

    // Writes and flushes; on failure closes the file and forgets the day.
    bool append(const QByteArray& bytes);

    void close();

    std::function<void(const QString& what)> onTrouble;
    std::function<void()> onRecovered;

    QString day() const { return m_day; }
    bool isOpen() const { return m_file.isOpen(); }

private:
    QString m_dir;
    QString m_suffix;
    QString m_day;
    QString m_path;  // of the open file
    QFile m_file;
    bool m_troubled = false;

    void failed(const QString& path, const QString& why);
    void succeeded();
};

} // namespace selvane
