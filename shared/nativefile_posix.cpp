// The file system on Linux and other POSIX systems: descriptors, pread, fsync,
// flock, and the executable's link in /proc.
#include "nativefile.h"

#include "fileerror.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <algorithm>
#include <cerrno>
#include <limits>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace qo::NativeFile {

namespace {

Kind kindOfMode(mode_t mode) {
    if (S_ISREG(mode))
        return Kind::Regular;
    if (S_ISDIR(mode))
        return Kind::Folder;
    if (S_ISFIFO(mode))
        return Kind::Pipe;
    if (S_ISCHR(mode) || S_ISBLK(mode))
        return Kind::Device;
    if (S_ISSOCK(mode))
        return Kind::Socket;
    return Kind::Other;
}

int descriptor(qintptr handle) {
    return static_cast<int>(handle);
}

} // namespace

Cause causeOf(Error error) {
    switch (error) {
    case EACCES:
        return Cause::NoPermission;
    case EPERM:
        return Cause::Locked;
    case EROFS:
        return Cause::ReadOnlyDisk;
    case ENOSPC:
        return Cause::DiskFull;
#if defined(EDQUOT)
    case EDQUOT:
        return Cause::QuotaFull;
#endif
    case EIO:
        return Cause::DeviceError;
    case ENOENT:
        return Cause::Missing;
    case ENOTDIR:
        return Cause::NotAFolder;
    case EISDIR:
        return Cause::IsAFolder;
    case ENAMETOOLONG:
        return Cause::NameTooLong;
    case ELOOP:
        return Cause::TooManyLinks;
    case EMFILE:
    case ENFILE:
        return Cause::TooManyOpen;
    case EBUSY:
    case ETXTBSY:
        return Cause::Busy;
    default:
        return Cause::Other;
    }
}

Error lastError() {
    return errno;
}

QByteArray encodeName(const QString& path) {
    return QFile::encodeName(path);
}

QString decodeName(const QByteArray& nativePath) {
    return QFile::decodeName(nativePath);
}

Kind kindOf(const QString& path) {
    struct stat status {};
    if (::stat(QFile::encodeName(path).constData(), &status) != 0)
        return Kind::Missing;
    return kindOfMode(status.st_mode);
}

Reader::~Reader() {
    close();
}

bool Reader::open(const QString& path) {
    return openNative(QFile::encodeName(path));
}

bool Reader::openNative(const QByteArray& nativePath) {
    close();
    m_error = 0;
    m_kind = Kind::Regular;
    // O_NONBLOCK keeps a FIFO's open from waiting for a writer; on the regular file
    // that is all this ever reads, it changes nothing.
    const int fd = ::open(nativePath.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        m_error = errno;
        return false;
    }
    struct stat status {};
    if (::fstat(fd, &status) != 0) {
        m_error = errno;
        ::close(fd);
        return false;
    }
    if (!S_ISREG(status.st_mode)) {
        m_kind = kindOfMode(status.st_mode);
        ::close(fd);
        return false;
    }
    m_handle = fd;
    m_size = static_cast<qint64>(status.st_size);
    return true;
}

void Reader::close() {
    if (m_handle != -1)
        ::close(descriptor(m_handle));
    m_handle = -1;
    m_size = 0;
}

bool Reader::readAt(qint64 offset, char* data, qint64 size, qint64* got) {
    *got = 0;
    m_error = 0;
    while (*got < size) {
        const ssize_t n =
            ::pread(descriptor(m_handle), data + *got, static_cast<size_t>(size - *got),
                    static_cast<off_t>(offset + *got));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            m_error = errno;
            return false;
        }
        if (n == 0)
            break;
        *got += n;
    }
    return true;
}

qint64 Reader::size() const {
    struct stat status {};
    if (m_handle == -1 || ::fstat(descriptor(m_handle), &status) != 0)
        return m_size;
    return static_cast<qint64>(status.st_size);
}

void Reader::nextData(qint64 pos, qint64 fileSize, qint64* begin, qint64* end) const {
    constexpr qint64 Never = std::numeric_limits<qint64>::max();
    if (m_handle == -1 || pos >= fileSize) {
        *begin = *end = Never;
        return;
    }
    *begin = pos;
    *end = fileSize;
#if defined(SEEK_DATA) && defined(SEEK_HOLE)
    const int fd = descriptor(m_handle);
    const off_t data = ::lseek(fd, static_cast<off_t>(pos), SEEK_DATA);
    if (data < 0) {
        if (errno == ENXIO)
            *begin = *end = Never;
        return;
    }
    const off_t hole = ::lseek(fd, data, SEEK_HOLE);
    *begin = std::min<qint64>(data, fileSize);
    *end = hole < 0 ? fileSize : std::min<qint64>(hole, fileSize);
#endif
}

Error createNew(const QString& path) {
    const int fd =
        ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0)
        return errno;
    ::close(fd);
    return 0;
}

Error writeAccess(const QString& path) {
    return ::access(QFile::encodeName(path).constData(), W_OK) == 0 ? 0 : errno;
}

// A save holds an exclusive flock on its new copy (see NewCopy), so a file no one
// holds is a leftover.
bool isHeldBySave(const QString& path) {
    const int fd = ::open(QFile::encodeName(path).constData(),
                          O_RDONLY | O_NONBLOCK | O_NOCTTY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        return true; // can't tell: better left alone
    const bool held = ::flock(fd, LOCK_EX | LOCK_NB) != 0;
    ::close(fd);
    return held;
}

// The new copy is a QSaveFile. The lock marking the save in progress sits on a
// second descriptor, since QSaveFile closes its own before the rename.
struct NewCopy::State {
    QSaveFile file;
    int lock = -1;
    Error error = 0;
    ~State() {
        if (lock >= 0)
            ::close(lock);
    }
};

NewCopy::NewCopy() : m_state(std::make_unique<State>()) {}

NewCopy::~NewCopy() = default;

bool NewCopy::begin(const QString& path, const QString& target) {
    State& s = *m_state;
    struct stat before {};
    const bool existed = ::stat(QFile::encodeName(target).constData(), &before) == 0;
    s.file.setFileName(path);
    s.file.setDirectWriteFallback(false);
    errno = 0;
    if (!s.file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        s.error = errno;
        return false;
    }
    const int fd = s.file.handle();
    s.lock = ::dup(fd);
    if (s.lock >= 0 && ::flock(s.lock, LOCK_EX) != 0) {
        // not held: a save elsewhere might take the file for a leftover
    }
    if (existed) {
        // Only root may give a file away; a member of the old file's group may
        // still give it that group. Whatever the system refuses stays the saver's.
        if (::fchown(fd, before.st_uid, before.st_gid) != 0 &&
            ::fchown(fd, static_cast<uid_t>(-1), before.st_gid) != 0) {
            // neither: the new copy keeps the saver's group
        }
        if (::fchmod(fd, before.st_mode & 07777) != 0) {
            // QSaveFile has already copied the permission bits
        }
    }
    return true;
}

bool NewCopy::writeAt(qint64 offset, const char* data, qint64 size) {
    State& s = *m_state;
    errno = 0;
    if (!s.file.seek(offset) || s.file.write(data, size) != size) {
        s.error = errno;
        return false;
    }
    return true;
}

qint64 NewCopy::size() const {
    return m_state->file.size();
}

bool NewCopy::resize(qint64 size) {
    State& s = *m_state;
    errno = 0;
    if (!s.file.resize(size)) {
        s.error = errno;
        return false;
    }
    return true;
}

bool NewCopy::sync() {
    State& s = *m_state;
    const int fd = s.file.handle();
    s.error = fd < 0 ? EBADF : ::fsync(fd) == 0 ? 0 : errno;
    return s.error == 0;
}

bool NewCopy::commit() {
    State& s = *m_state;
    errno = 0;
    if (!s.file.commit()) {
        s.error = errno;
        return false;
    }
    return true;
}

void NewCopy::drop() {
    m_state->file.cancelWriting();
}

Error NewCopy::error() const {
    return m_state->error;
}

QString NewCopy::why() const {
    if (m_state->error != 0)
        return FileError::reason(m_state->error);
    return FileError::reason(m_state->file.error());
}

// The executable's folder, read from the link /proc keeps to the executable. Qt's
// own answer goes through a decoded name and comes back empty for a name that isn't
// valid UTF-8.
QByteArray programsFolder() {
    QByteArray file(4096, Qt::Uninitialized);
    for (;;) {
        const ssize_t n = ::readlink("/proc/self/exe", file.data(), file.size());
        if (n < 0)
            return {};
        if (n < file.size()) {
            file.truncate(n);
            break;
        }
        file.resize(file.size() * 2);
    }
    const qsizetype slash = file.lastIndexOf('/');
    if (slash < 0)
        return {};
    return slash == 0 ? QByteArray("/") : file.left(slash);
}

bool isWritableFolder(const QString& folder) {
    return QFileInfo(folder).isWritable();
}

} // namespace qo::NativeFile
