#include "settings/FolderLock.h"
#include <QCoreApplication>

#include <QDir>

namespace selvane {

FolderLock::FolderLock(const QString& folder)
    : m_lock(std::make_unique<QLockFile>(QDir(folder).filePath(lockFileName()))), m_folder(folder)
{
    // Only a dead owner makes a lock stale: a gateway runs for weeks, so no
    // age may count as abandoned.
    m_lock->setStaleLockTime(0);
}

FolderLock::~FolderLock() = default;

bool FolderLock::tryLock()
{
    if (m_lock->isLocked())
        return true;
    if (m_lock->tryLock(0))
        return true;
    if (m_lock->error() != QLockFile::LockFailedError)
        return true;
    const QString where = QDir::toNativeSeparators(QDir(m_folder).absolutePath());
    qint64 pid = 0;
    QString host, app;
    if (m_lock->getLockInfo(&pid, &host, &app)) {
        m_holderApp = app;
        m_holderPid = pid;
        m_problem = QCoreApplication::translate("FolderLock",
                "Un altro Selvane lavora già nella cartella %1 (%2, processo %3 su %4).")
                        .arg(where, app)
                        .arg(pid)
                        .arg(host);
    } else {
        m_problem = QCoreApplication::translate("FolderLock",
                "Un altro Selvane lavora già nella cartella %1.").arg(where);
    }
    return false;
}

bool FolderLock::isLocked() const
{
    return m_lock->isLocked();
}

} // namespace selvane
