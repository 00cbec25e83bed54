// The file system on Linux and other POSIX systems: descriptors, pread and pwrite,
// fsync, flock, rename, and the executable's link in /proc.
#include "nativefile.h"

#include <QFile>
#include <QFileInfo>

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
    case EWOULDBLOCK:
        return Cause::Busy;
    case EEXIST:
        return Cause::Exists;
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

Error removeFile(const QString& path) {
    return ::unlink(QFile::encodeName(path).constData()) == 0 ? 0 : errno;
}

// The lock is an flock on the lock file, which the holder removes before it lets go.
// Whoever gets the lock on a file that is no longer the one of that name (its holder
// removed it while they waited) lets go and takes the one there now.
SaveLock::~SaveLock() {
    unlock();
}

Error SaveLock::tryLock(const QString& path) {
    unlock();
    const QByteArray name = QFile::encodeName(path);
    for (int round = 0; round < 8; ++round) {
        // Read-only, and readable by others: an flock needs no more, and the file a
        // killed save left is of use to the next save, whoever makes it. O_NONBLOCK
        // keeps a FIFO of that name from holding the save up.
        const int fd =
            ::open(name.constData(),
                   O_RDONLY | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, 0444);
        if (fd < 0)
            return errno;
        if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
            const Error error = errno;
            ::close(fd);
            return error;
        }
        struct stat held {};
        struct stat named {};
        if (::fstat(fd, &held) != 0) {
            const Error error = errno;
            ::close(fd);
            return error;
        }
        if (!S_ISREG(held.st_mode)) {
            ::close(fd);
            return EEXIST;
        }
        if (::lstat(name.constData(), &named) == 0 && named.st_dev == held.st_dev &&
            named.st_ino == held.st_ino) {
            m_handle = fd;
            m_path = path;
            return 0;
        }
        ::close(fd);
    }
    // Others keep taking and removing it: a save is running.
    return EWOULDBLOCK;
}

void SaveLock::unlock() {
    if (m_handle == -1)
        return;
    // Removed while still held, so that no one takes a lock on it that the name no
    // longer stands for. Where the removal fails (the disk went read-only, say) the
    // file stays; the next save takes it over as its lock, so it is safe to go on.
    ::unlink(QFile::encodeName(m_path).constData());
    ::close(descriptor(m_handle));
    m_handle = -1;
}

NewFile::~NewFile() {
    close();
}

Error NewFile::create(const QString& path, bool privately) {
    close();
    // O_NOFOLLOW and O_EXCL: never through a link, never over a file.
    const int fd = ::open(QFile::encodeName(path).constData(),
                          O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_NOCTTY | O_CLOEXEC,
                          privately ? 0600 : 0666);
    if (fd < 0)
        return errno;
    m_handle = fd;
    m_path = path;
    m_size = 0;
    return 0;
}

Error NewFile::writeAt(qint64 offset, const char* data, qint64 size) {
    qint64 done = 0;
    while (done < size) {
        const ssize_t n =
            ::pwrite(descriptor(m_handle), data + done, static_cast<size_t>(size - done),
                     static_cast<off_t>(offset + done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return errno;
        done += n;
    }
    m_size = std::max(m_size, offset + size);
    return 0;
}

Error NewFile::resize(qint64 size) {
    if (::ftruncate(descriptor(m_handle), static_cast<off_t>(size)) != 0)
        return errno;
    m_size = size;
    return 0;
}

Error NewFile::sync() {
    return ::fsync(descriptor(m_handle)) == 0 ? 0 : errno;
}

Error NewFile::takeOver(const QString& target) {
    struct stat old {};
    if (::stat(QFile::encodeName(target).constData(), &old) != 0)
        return errno == ENOENT ? 0 : errno;
    const int fd = descriptor(m_handle);
    // Only root may give a file away, and a user may give it only a group of theirs:
    // the owner, or failing that the group, is kept where the system lets us. A
    // refusal leaves the file the saver's, as any file the saver makes, so it is safe
    // to go on; any other failure is one.
    if (::fchown(fd, old.st_uid, old.st_gid) != 0) {
        if (errno != EPERM)
            return errno;
        if (::fchown(fd, static_cast<uid_t>(-1), old.st_gid) != 0 && errno != EPERM)
            return errno;
    }
    // After the owner: a change of owner clears the set-user-ID and set-group-ID bits.
    return ::fchmod(fd, old.st_mode & 07777) == 0 ? 0 : errno;
}

Error NewFile::replace(const QString& target, bool lastTry) {
    Q_UNUSED(lastTry);
    return ::rename(QFile::encodeName(m_path).constData(), QFile::encodeName(target).constData()) ==
                   0
               ? 0
               : errno;
}

// Its data went to the disk with sync() before it replaced anything, or it is being
// dropped: what close says then tells nothing more, so it is safe to go on.
void NewFile::close() {
    if (m_handle != -1)
        ::close(descriptor(m_handle));
    m_handle = -1;
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
