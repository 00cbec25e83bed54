// The file system as the operating system offers it, behind one interface: what the
// set files, the set folder and the programs' own folder need beyond Qt's file
// classes. One implementation per system (nativefile_posix.cpp,
// nativefile_windows.cpp), chosen by the build.
#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>

#include <memory>

namespace qo::NativeFile {

// An error as the system reports it: errno on POSIX, GetLastError() on Windows.
// 0 is no error.
using Error = int;

// What an error means for the user, whatever the system calls it; the texts for
// these are the same everywhere (filefault.h).
enum class Cause {
    Other,
    NoPermission,
    Locked,
    ReadOnlyDisk,
    DiskFull,
    QuotaFull,
    DeviceError,
    Missing,
    NotAFolder,
    IsAFolder,
    NameTooLong,
    TooManyLinks,
    TooManyOpen,
    Busy,
    Exists,
};
Cause causeOf(Error error);

// The error the last system call of this thread left.
Error lastError();

// A path as the system names it, in bytes: the locale's encoding on POSIX, where
// a name need not decode; UTF-8 on Windows, whose names are UTF-16 (Qt's own
// QFile::encodeName would go through the ANSI code page there and lose letters
// such as Đ or č).
QByteArray encodeName(const QString& path);
QString decodeName(const QByteArray& nativePath);

// What a name in the file system is.
enum class Kind { Missing, Regular, Folder, Pipe, Device, Socket, Other };

// What path is, following links; Missing also where the system can't tell.
Kind kindOf(const QString& path);

// A file opened for reading only if it is a regular file on a disk. Anything else
// (a folder, a pipe, a device such as /dev/zero or NUL, also behind a link) is
// refused before a byte is read and without waiting on it. Others may read,
// write, replace or delete the file while it is open here.
class Reader {
public:
    Reader() = default;
    ~Reader();
    Reader(const Reader&) = delete;
    Reader& operator=(const Reader&) = delete;

    // False when the file can't be opened: error() then says why, or is 0 and
    // kind() says what the name is instead of a regular file.
    bool open(const QString& path);
    // The same for a path as the system names it in bytes (encodeName's form),
    // which need not decode.
    bool openNative(const QByteArray& nativePath);
    void close();
    bool isOpen() const { return m_handle != -1; }

    // The file's size now (it may have grown or shrunk since it was opened).
    qint64 size() const;
    Error error() const { return m_error; }
    Kind kind() const { return m_kind; }

    // Reads up to size bytes at offset; fewer only at the end of the file. False
    // with error() set when the system fails.
    bool readAt(qint64 offset, char* data, qint64 size, qint64* got);

    // Where the next stretch of data at or after pos lies, [*begin, *end), both
    // capped at fileSize; the bytes between pos and *begin are a hole, zeros that need
    // no reading. Where the system can't tell holes from data, all is data.
    void nextData(qint64 pos, qint64 fileSize, qint64* begin, qint64* end) const;

private:
    qintptr m_handle = -1;
    qint64 m_size = 0;
    Error m_error = 0;
    Kind m_kind = Kind::Regular;
};

// Creates an empty file at path, never one that exists already. 0 or the error.
Error createNew(const QString& path);

// 0 when the user may write to the file or into the folder at path, otherwise why not.
Error writeAccess(const QString& path);

// Removes the file at path: 0, or the error (cause Missing where there was none).
Error removeFile(const QString& path);

// The system calls behind a save; its steps are written once, in atomicsave.cpp.

// The lock one save of a file at a time holds: a file of its own beside the file
// saved. A save that is killed lets go of it with its process.
class SaveLock {
public:
    SaveLock() = default;
    ~SaveLock(); // unlock()
    SaveLock(const SaveLock&) = delete;
    SaveLock& operator=(const SaveLock&) = delete;

    // Takes the lock that the file at path stands for, making the file where there is
    // none: 0 once it is held; an error of cause Busy while another save holds it;
    // otherwise why it can't be taken.
    Error tryLock(const QString& path);
    // Lets go of the lock and removes its file.
    void unlock();

private:
    qintptr m_handle = -1;
    QString m_path;
};

// The new file a save writes and then puts in the old file's place at once.
class NewFile {
public:
    NewFile() = default;
    ~NewFile(); // close(); the file stays
    NewFile(const NewFile&) = delete;
    NewFile& operator=(const NewFile&) = delete;

    // Makes the file at path, never over a file that is there (an error of cause
    // Exists then). privately: only its owner may read it until takeOver gives it
    // the old file's mode; otherwise it is made as any new file of the user's.
    Error create(const QString& path, bool privately);
    Error writeAt(qint64 offset, const char* data, qint64 size);
    Error resize(qint64 size);
    qint64 size() const { return m_size; }
    // Pushes its data to the disk, so that a full disk or a failing device shows here
    // and not after the replacement.
    Error sync();
    // Gives it what the file at target has beyond its bytes: owner, group and mode,
    // or attributes (read-only aside) and permissions, as far as the system lets
    // this user give them. 0 too where target is gone.
    Error takeOver(const QString& target);
    // Puts it in target's place at once: target is the old file whole until it is
    // this one whole. While another program holds target, an error of cause Busy.
    // lastTry: the caller gives up after this one, and a system that can't rename
    // over a file others have open may instead move target aside for a moment.
    Error replace(const QString& target, bool lastTry);
    void close();

private:
    qintptr m_handle = -1;
    QString m_path;
    qint64 m_size = 0;
};

// The running program's folder as the system names it (encodeName's form);
// empty when the system can't say, and Qt's answer is to be used.
QByteArray programsFolder();

// Whether the user may create files in the folder. On Windows never the system's
// Program Files folders, whatever the user's rights there.
bool isWritableFolder(const QString& folder);

} // namespace qo::NativeFile
