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
// these are the same everywhere (fileerror.h).
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

// Whether a running save (a NewCopy in any process) holds the file at path, its
// new copy. Where the system keeps a held file from being removed anyway, false.
bool isHeldBySave(const QString& path);

// The new copy of a file that a save writes beside it and that then takes the old
// file's place at once. It is named after the target, a dot and six letters, and is
// held as a save in progress until it is committed or dropped. The replacement
// keeps the old file's owner, group and mode, or its attributes and security
// descriptor, where the system allows.
class NewCopy {
public:
    NewCopy();
    ~NewCopy(); // drops an uncommitted copy
    NewCopy(const NewCopy&) = delete;
    NewCopy& operator=(const NewCopy&) = delete;

    // path is the name the save was asked for, target the file it really replaces
    // (path with links followed).
    bool begin(const QString& path, const QString& target);
    bool writeAt(qint64 offset, const char* data, qint64 size);
    qint64 size() const;
    bool resize(qint64 size);
    // Pushes the data to the disk itself, so that a full disk or a failing device
    // shows here and not after the replacement.
    bool sync();
    // Puts the copy in the target's place. A target another program holds is tried
    // again for about a second.
    bool commit();
    void drop();

    // The system's error of the last failure, 0 where the system gave none.
    Error error() const;
    // The last failure in the user's words.
    QString why() const;

private:
    struct State;
    std::unique_ptr<State> m_state;
};

// The running program's folder as the system names it (encodeName's form);
// empty when the system can't say, and Qt's answer is to be used.
QByteArray programsFolder();

// Whether the user may create files in the folder. On Windows never the system's
// Program Files folders, whatever the user's rights there.
bool isWritableFolder(const QString& folder);

} // namespace qo::NativeFile
