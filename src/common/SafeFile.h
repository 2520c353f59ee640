#pragma once
#include <QByteArray>
#include <QString>

namespace selvane {

// Settings and configuration files are read and written only when they are
// regular files. A path that names a device, a FIFO, a socket or a directory
// (directly or through a symbolic link) is never opened: opening a FIFO
// blocks until a writer comes, reading a device such as /dev/zero never
// ends, and replacing one would put a regular file where the system expects
// a device node.

struct FileRead {
    enum class Status {
        Ok,          // data holds the whole file
        Missing,     // nothing of that name (or a link to nothing)
        NotRegular,  // a device, FIFO, socket or directory: not opened
        TooLarge,    // larger than the bound: not read
        Error,       // it could not be opened or read
    };
    Status status = Status::Missing;
    QByteArray data;
    QString error;   // what went wrong, for the user ("not a regular file", ...)

    bool ok() const { return status == Status::Ok; }
};

// Reads a whole regular file of at most maxBytes bytes. A link to a regular
// file is followed. The file is opened without blocking and checked again
// once open, so a FIFO put in its place between the check and the open
// cannot stall the caller.
FileRead ReadRegularFile(const QString& path, qint64 maxBytes);

// Replaces the contents of a regular file, atomically where the folder
// allows a new file (written beside it, then renamed over it), else in
// place. A link is followed and its target written, the link kept. Refused,
// with nothing touched, when the path (or the link's target) exists and is
// not a regular file, and when it is a link to nothing (writing would make a
// file wherever the link points).
bool WriteRegularFile(const QString& path, const QByteArray& bytes, QString* error = nullptr);

// Whether a path may be written by WriteRegularFile: nothing is there yet,
// or a regular file (a link to one included). error says why not.
bool IsWritableRegularPath(const QString& path, QString* error = nullptr);

// Makes a new regular file holding the bytes. Fails, with nothing touched,
// when anything at all is there already, a link included; *exists then tells
// that this was the reason, so a caller can try another name.
bool CreateNewRegularFile(const QString& path, const QByteArray& bytes, bool* exists = nullptr,
                          QString* error = nullptr);

// Opens a file for appending, creating it when nothing is there, as a file
// descriptor for QFile::open(int, ...), or -1 with error set. Refused like
// WriteRegularFile: a device, FIFO, socket or directory, directly or through
// a link, and a link to nothing. The open itself never blocks (a FIFO put in
// its place meanwhile is found by the check after opening).
int OpenRegularFileForAppend(const QString& path, QString* error = nullptr);

} // namespace selvane
