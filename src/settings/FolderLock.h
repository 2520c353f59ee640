#pragma once
#include <QLockFile>
#include <QString>

#include <memory>

namespace selvane {

// One gateway per folder: two programs working in the same folder would
// interleave their log records and overwrite each other's settings. The
// lock is a file "Selvane.lock" in the folder holding the owner's process
// id; a lock left by a program that is no longer running is taken over.
class FolderLock {
public:
    explicit FolderLock(const QString& folder);
    ~FolderLock();

    // True when this program may work in the folder: it now holds the lock,
    // or the lock cannot be made at all (a folder where nothing can be
    // written, so nothing can be interleaved either; what the program then
    // fails to write is reported where it happens). False when another
    // running program holds it: problem() says which.
    bool tryLock();
    bool isLocked() const;

    // Why tryLock() failed, for the user: names the other program's process
    // when it is known.
    QString problem() const { return m_problem; }
    // The application name and process id the other program's lock gives
    // ("selvaned", "Selvane"); empty and 0 when unknown.
    QString holderApplication() const { return m_holderApp; }
    qint64 holderProcess() const { return m_holderPid; }

    static QString lockFileName() { return QStringLiteral("Selvane.lock"); }

private:
    std::unique_ptr<QLockFile> m_lock;
    QString m_folder;
    QString m_problem;
    QString m_holderApp;
    qint64 m_holderPid = 0;
};

} // namespace selvane
