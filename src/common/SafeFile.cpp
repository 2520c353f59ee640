#include "common/SafeFile.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QSaveFile>

#include <algorithm>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace selvane {

namespace {

QString NotRegularText()
{
    return QCoreApplication::translate("SafeFile",
            "non è un file regolare (dispositivo, FIFO, socket o cartella): non viene aperto");
}

QString ErrnoText(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

// The final target of a chain of links (the path itself when it is none),
// even when that target does not exist.
QString FinalTarget(const QString& path, bool* dangling)
{
    QFileInfo info(path);
    *dangling = false;
    for (int depth = 0; depth < 40 && info.isSymLink(); ++depth)
        info.setFile(info.symLinkTarget());
    if (info.isSymLink() || (!info.exists() && QFileInfo(path).isSymLink()))
        *dangling = true;
    return info.filePath();
}

} // namespace

FileRead ReadRegularFile(const QString& path, qint64 maxBytes)
{
    FileRead r;
    const QByteArray name = QFile::encodeName(path);
    struct stat before {};
    if (::stat(name.constData(), &before) != 0) {
        r.status = errno == ENOENT ? FileRead::Status::Missing : FileRead::Status::Error;
        r.error = ErrnoText(errno);
        return r;
    }
    if (!S_ISREG(before.st_mode)) {
        r.status = FileRead::Status::NotRegular;
        r.error = NotRegularText();
        return r;
    }
    if (before.st_size > maxBytes) {
        r.status = FileRead::Status::TooLarge;
        r.error = QCoreApplication::translate("SafeFile",
                "troppo grande (%1 byte, al massimo %2)").arg(before.st_size).arg(maxBytes);
        return r;
    }
    const int fd = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        r.status = FileRead::Status::Error;
        r.error = ErrnoText(errno);
        return r;
    }
    struct stat opened {};
    if (::fstat(fd, &opened) != 0 || !S_ISREG(opened.st_mode)) {
        ::close(fd);
        r.status = FileRead::Status::NotRegular;
        r.error = NotRegularText();
        return r;
    }
    // One byte beyond the bound tells a file that grew since the check.
    QByteArray data(qsizetype(std::min<qint64>(maxBytes + 1, opened.st_size + 1)), Qt::Uninitialized);
    qsizetype got = 0;
    for (;;) {
        if (got == data.size()) {
            if (got > maxBytes)
                break;
            data.resize(std::min<qsizetype>(data.size() * 2, qsizetype(maxBytes + 1)));
        }
        const ssize_t n = ::read(fd, data.data() + got, size_t(data.size() - got));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            const int error = errno;
            ::close(fd);
            r.status = FileRead::Status::Error;
            r.error = ErrnoText(error);
            return r;
        }
        if (n == 0)
            break;
        got += n;
    }
    ::close(fd);
    if (got > maxBytes) {
        r.status = FileRead::Status::TooLarge;
        r.error = QCoreApplication::translate("SafeFile", "troppo grande (più di %1 byte)").arg(maxBytes);
        return r;
    }
    data.resize(got);
    r.status = FileRead::Status::Ok;
    r.data = std::move(data);
    return r;
}

bool IsWritableRegularPath(const QString& path, QString* error)
{
    bool dangling = false;
    const QString target = FinalTarget(path, &dangling);
    if (dangling) {
        if (error)
            *error = QCoreApplication::translate("SafeFile",
                    "è un collegamento a un file che non esiste: non viene scritto");
        return false;
    }
    struct stat st {};
    if (::stat(QFile::encodeName(target).constData(), &st) != 0)
        return true;  // nothing there yet
    if (!S_ISREG(st.st_mode)) {
        if (error)
            *error = NotRegularText();
        return false;
    }
    return true;
}

bool WriteRegularFile(const QString& path, const QByteArray& bytes, QString* error)
{
    if (!IsWritableRegularPath(path, error))
        return false;
    bool dangling = false;
    // The link's target is what gets replaced; the link stays a link.
    QSaveFile file(FinalTarget(path, &dangling));
    // A folder that allows no new file but holds a writable one: written in
    // place.
    file.setDirectWriteFallback(true);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) {
        if (error)
            *error = file.errorString();
        file.cancelWriting();
        return false;
    }
    if (!file.commit()) {
        if (error)
            *error = file.errorString();
        return false;
    }
    return true;
}

bool CreateNewRegularFile(const QString& path, const QByteArray& bytes, bool* exists, QString* error)
{
    if (exists)
        *exists = false;
    const QByteArray name = QFile::encodeName(path);
    // O_EXCL: fails on anything already there, a dangling link included, so
    // nothing is ever written through a link or over another file.
    const int fd = ::open(name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOCTTY | O_CLOEXEC, 0644);
    if (fd < 0) {
        if (exists)
            *exists = errno == EEXIST;
        if (error)
            *error = ErrnoText(errno);
        return false;
    }
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.constData() + done, size_t(bytes.size() - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            if (error)
                *error = ErrnoText(n < 0 ? errno : ENOSPC);
            ::close(fd);
            ::unlink(name.constData());  // made here, so ours to remove
            return false;
        }
        done += n;
    }
    if (::close(fd) != 0) {
        if (error)
            *error = ErrnoText(errno);
        ::unlink(name.constData());
        return false;
    }
    return true;
}

int OpenRegularFileForAppend(const QString& path, QString* error)
{
    if (!IsWritableRegularPath(path, error))
        return -1;
    const QByteArray name = QFile::encodeName(path);
    const int fd = ::open(name.constData(), O_WRONLY | O_APPEND | O_CREAT | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, 0644);
    if (fd < 0) {
        if (error)
            *error = ErrnoText(errno);
        return -1;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        if (error)
            *error = NotRegularText();
        return -1;
    }
    // Writes to a regular file never wait anyway; blocking mode keeps a full
    // disk an error rather than a retry.
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    return fd;
}

} // namespace selvane
