#include "questionsetfile.h"

#include "apppath.h"
#include "rterror.h"
#include "setfolder.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <algorithm>
#include <cerrno>
#include <limits>
#include <map>
#include <memory>

#if defined(Q_OS_WIN)
#include <io.h>
#elif defined(Q_OS_UNIX)
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace qo::QuestionSetFile {

namespace {

// Bytes written since the file was opened, by their offset in the file.
using Written = std::map<qint64, QByteArray>;

// A save streams the old file across in pieces of this size, so its memory stays
// the same however long the file is.
constexpr qint64 Chunk = 256 * 1024;

// Why a system call failed, in the user's language.
QString systemReason(int error) {
    switch (error) {
    case EACCES:
        return QStringLiteral("nema dozvole");
    case EPERM:
        return QStringLiteral("nema dozvole (datoteka ili folder su zakljucani)");
    case EROFS:
        return QStringLiteral("disk je samo za citanje");
    case ENOSPC:
        return QStringLiteral("nema dovoljno mesta na disku");
#if defined(EDQUOT)
    case EDQUOT:
        return QStringLiteral("potrosen je prostor na disku koji vam je dodeljen");
#endif
    case EIO:
        return QStringLiteral("ulazno-izlazna greska uredjaja");
    case ENOENT:
        return QStringLiteral("datoteka ili folder ne postoje");
    case ENOTDIR:
        return QStringLiteral("deo putanje nije folder");
    case EISDIR:
        return QStringLiteral("to je folder");
    case ENAMETOOLONG:
        return QStringLiteral("ime je predugacko");
    case ELOOP:
        return QStringLiteral("previse veza u putanji");
    case EMFILE:
    case ENFILE:
        return QStringLiteral("otvoreno je previse datoteka");
    case EBUSY:
    case ETXTBSY:
        return QStringLiteral("datoteka je zauzeta");
    default:
        return QStringLiteral("sistemska greska %1").arg(error);
    }
}

// Why a file operation failed: the system's error number where the platform
// gives one with Qt's calls, otherwise Qt's kind of error.
QString reason(const QFileDevice& file, int error) {
#if defined(Q_OS_UNIX)
    if (error != 0)
        return systemReason(error);
#else
    Q_UNUSED(error);
#endif
    switch (file.error()) {
    case QFileDevice::PermissionsError:
        return QStringLiteral("nema dozvole");
    case QFileDevice::ResourceError:
        return QStringLiteral("nema dovoljno mesta na disku");
    case QFileDevice::OpenError:
        return QStringLiteral("datoteka ili folder nisu dostupni");
    case QFileDevice::ReadError:
        return QStringLiteral("greska pri citanju");
    case QFileDevice::WriteError:
        return QStringLiteral("greska pri pisanju");
    case QFileDevice::RenameError:
        return QStringLiteral("nova verzija ne moze da zameni staru");
    default:
        return QStringLiteral("sistemska greska");
    }
}

QString notRegular(const QString& kind) {
    return QStringLiteral("to je %1, a ne obicna datoteka").arg(kind);
}

#if defined(Q_OS_UNIX)
QString kindOf(mode_t mode) {
    if (S_ISDIR(mode))
        return QStringLiteral("folder");
    if (S_ISFIFO(mode))
        return QStringLiteral("imenovana cev (FIFO)");
    if (S_ISCHR(mode) || S_ISBLK(mode))
        return QStringLiteral("uredjaj");
    if (S_ISSOCK(mode))
        return QStringLiteral("soket");
    return QStringLiteral("posebna datoteka");
}
#endif

// The set as it was opened, for reading only. Where the platform has descriptors it
// is a plain one read with pread, so that a question costs an open, a stat, one read
// and a close; a QFile is made of it only when a save streams the old file across.
class Source {
public:
    Source() = default;
    Source(const Source&) = delete;
    Source& operator=(const Source&) = delete;
    ~Source() { reset(); }

#if defined(Q_OS_UNIX)
    void adopt(int fd, qint64 size) {
        reset();
        m_fd = fd;
        m_size = size;
    }
#endif
    void adopt(std::unique_ptr<QFile> file) {
        reset();
        m_size = file->size();
        m_file = std::move(file);
    }

    qint64 size() const {
        return m_size;
    }

    // Reads up to size bytes at offset; fewer only at the end of the file. Returns
    // false with the system's error number (0 where there is none) on failure.
    bool readAt(qint64 offset, char* data, qint64 size, qint64* got, int* error) {
        *got = 0;
        *error = 0;
#if defined(Q_OS_UNIX)
        if (m_fd >= 0) {
            while (*got < size) {
                const ssize_t n = ::pread(m_fd, data + *got, static_cast<size_t>(size - *got),
                                          static_cast<off_t>(offset + *got));
                if (n < 0 && errno == EINTR)
                    continue;
                if (n < 0) {
                    *error = errno;
                    return false;
                }
                if (n == 0)
                    break;
                *got += n;
            }
            return true;
        }
#endif
        errno = 0;
        if (!m_file->seek(offset)) {
            *error = errno;
            return false;
        }
        *got = m_file->read(data, size);
        if (*got < 0 || m_file->error() != QFileDevice::NoError) {
            *error = errno;
            m_reason = reason(*m_file, *error);
            m_file->unsetError();
            *got = 0;
            return false;
        }
        return true;
    }

    // Why the last read failed, for a platform without descriptors.
    const QString& qtReason() const {
        return m_reason;
    }

    // The file as a QFile, for the save's streaming; it keeps the same descriptor.
    QFile* file() {
#if defined(Q_OS_UNIX)
        if (!m_file && m_fd >= 0) {
            auto file = std::make_unique<QFile>();
            if (file->open(m_fd, QIODevice::ReadOnly | QIODevice::Unbuffered,
                           QFileDevice::AutoCloseHandle)) {
                m_fd = -1;
                m_file = std::move(file);
            }
        }
#endif
        return m_file.get();
    }

private:
    void reset() {
#if defined(Q_OS_UNIX)
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = -1;
#endif
        m_file.reset();
        m_size = 0;
    }

#if defined(Q_OS_UNIX)
    int m_fd = -1;
#endif
    std::unique_ptr<QFile> m_file;
    qint64 m_size = 0;
    QString m_reason;
};

struct Slot {
    bool open = false;
    QString fileName;
    QString path;
    std::unique_ptr<Source> source;
    Written written;
};

Slot& slot() {
    static Slot s;
    return s;
}

void requireOpen() {
    if (!slot().open)
        rt::raiseFileError(QString(), QStringLiteral("Datoteka sa pitanjima nije otvorena."));
}

qint64 offsetOf(int n) {
    if (n < 1)
        rt::raise(rt::ErrorKind::SubscriptOutOfRange);
    return static_cast<qint64>(n - 1) * RecordLength;
}

enum class Opened { Yes, Missing };

// Opens a regular file for reading, unbuffered, so a read takes only the bytes
// asked for. Anything else (a folder, a FIFO, a device such as /dev/zero, also
// behind a link) is refused before a byte is read and without waiting for a
// FIFO's writer.
Opened openRegular(Source& source, const QString& fileName, const QString& path) {
    const auto refuse = [&](const QString& why) {
        rt::raiseFileError(fileName, QStringLiteral("Datoteka se ne moze otvoriti: %1").arg(why));
    };
#if defined(Q_OS_UNIX)
    qint64 size = 0;
    int error = 0;
    QString kind;
    const int fd = openRegularFile(QFile::encodeName(path), &size, &error, &kind);
    if (fd < 0) {
        if (error == ENOENT)
            return Opened::Missing;
        refuse(error != 0 ? systemReason(error) : notRegular(kind));
    }
    source.adopt(fd, size);
#else
    const QFileInfo info(path);
    if (!info.exists())
        return Opened::Missing;
    if (!info.isFile())
        refuse(info.isDir() ? notRegular(QStringLiteral("folder"))
                            : notRegular(QStringLiteral("posebna datoteka")));
    auto file = std::make_unique<QFile>(path);
    if (!file->open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        refuse(reason(*file, 0));
    source.adopt(std::move(file));
#endif
    return Opened::Yes;
}

void openSlot(const QString& fileName, bool create) {
    Slot& s = slot();
    if (s.open)
        rt::raiseFileError(fileName,
                           QStringLiteral("Druga datoteka sa pitanjima je vec otvorena."));
    const QString path = pathFor(fileName);
    auto source = std::make_unique<Source>();
    // A missing file is created with NewOnly, so one that another program made
    // in the meantime is read, never emptied.
    for (int attempt = 0;; ++attempt) {
        if (openRegular(*source, fileName, path) == Opened::Yes)
            break;
        if (!create)
            rt::raiseFileError(fileName, QStringLiteral("Datoteka ne postoji."));
        QFile fresh(path);
        errno = 0;
        if (fresh.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
            fresh.close();
            continue;
        }
        const int error = errno;
        if (attempt < 3 && QFileInfo::exists(path))
            continue;
        const QString why = QFileInfo(path).isSymLink()
                                ? QStringLiteral("veza vodi do datoteke koje nema")
                                : reason(fresh, error);
        rt::raiseFileError(
            fileName, QStringLiteral("Datoteka ne postoji i ne moze se napraviti: %1").arg(why));
    }
    s = Slot{true, fileName, path, std::move(source), {}};
}

// The file a save really replaces: the end of a chain of links, as QSaveFile finds it.
QString finalTarget(const QString& path) {
    QFileInfo info(path);
    for (int depth = 0; depth < 128 && info.isSymLink(); ++depth)
        info.setFile(info.symLinkTarget());
    return info.absoluteFilePath();
}

// Removes what saves of the file that were killed before they finished left
// beside it. Only regular files named by the programs' own patterns go.
// A save running in another process holds a lock on its temporary file (see
// SaveLock), so only files no one holds are leftovers.
bool inUse(const QString& path) {
#if defined(Q_OS_UNIX)
    const int fd = ::open(QFile::encodeName(path).constData(),
                          O_RDONLY | O_NONBLOCK | O_NOCTTY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        return true; // can't tell: better left alone
    const bool held = ::flock(fd, LOCK_EX | LOCK_NB) != 0;
    ::close(fd);
    return held;
#else
    // Elsewhere a file a running save holds open can't be removed anyway.
    Q_UNUSED(path);
    return false;
#endif
}

void removeLeftovers(const QString& target) {
    const QFileInfo info(target);
    const QString folder = info.absolutePath();
    const QString name = info.fileName();
    // Names are matched here rather than by the listing's name filters, which would
    // compile a regular expression for every save.
    QDirIterator entries(folder, QDir::Files | QDir::Hidden | QDir::NoSymLinks);
    while (entries.hasNext()) {
        const QString path = entries.next();
        if (isLeftoverOfSave(entries.fileName(), name) && !inUse(path))
            QFile::remove(path);
    }
}

// Marks the new copy as a save in progress until the save is over, so that a
// save of the same set in another process leaves it alone. The lock sits on a
// second descriptor, since QSaveFile closes its own before the rename.
class SaveLock {
public:
    explicit SaveLock(QSaveFile& file) {
#if defined(Q_OS_UNIX)
        m_fd = ::dup(file.handle());
        if (m_fd >= 0 && ::flock(m_fd, LOCK_EX) != 0) {
            // not held: a save elsewhere might take the file for a leftover
        }
#else
        Q_UNUSED(file);
#endif
    }
    ~SaveLock() {
#if defined(Q_OS_UNIX)
        if (m_fd >= 0)
            ::close(m_fd);
#endif
    }
    SaveLock(const SaveLock&) = delete;
    SaveLock& operator=(const SaveLock&) = delete;

#if defined(Q_OS_UNIX)
private:
    int m_fd = -1;
#endif
};

// Why QSaveFile could not begin the new copy: a folder or a file the user may not
// write, a read-only disk, or what the system said.
QString whyNoNewCopy(const QString& target, const QSaveFile& out, int error) {
    const QString folder = QFileInfo(target).absolutePath();
    const QString where = QDir::toNativeSeparators(folder);
#if defined(Q_OS_UNIX)
    if (::access(QFile::encodeName(folder).constData(), W_OK) != 0)
        return QStringLiteral("u folder %1 se ne moze pisati: %2").arg(where, systemReason(errno));
    if (::access(QFile::encodeName(target).constData(), W_OK) != 0 && errno != ENOENT)
        return QStringLiteral("u datoteku se ne moze pisati: %1").arg(systemReason(errno));
#else
    if (!QFileInfo(folder).isWritable())
        return QStringLiteral("u folder %1 se ne moze pisati: nema dozvole").arg(where);
    if (QFileInfo::exists(target) && !QFileInfo(target).isWritable())
        return QStringLiteral("u datoteku se ne moze pisati: nema dozvole");
#endif
    return reason(out, error);
}

// Pushes the written data to the disk itself, so that a full disk or a failing
// device shows up here and not after the rename. Returns the system's error
// number, 0 when all went well.
int syncToDisk(QSaveFile& file) {
    const int fd = file.handle();
    if (fd < 0)
        return EBADF;
#if defined(Q_OS_WIN)
    return _commit(fd) == 0 ? 0 : EIO;
#elif defined(Q_OS_UNIX)
    return ::fsync(fd) == 0 ? 0 : errno;
#else
    return 0;
#endif
}

// Where the old file's next stretch of data lies, from pos on: [begin, end).
// Bytes between pos and begin are a hole, read as zeros without reading them.
// Where the platform can't tell holes from data, everything up to the end is data.
struct Stretch {
    qint64 begin;
    qint64 end;
};

Stretch nextData(QFile* old, qint64 pos, qint64 oldSize) {
    constexpr qint64 Never = std::numeric_limits<qint64>::max();
    if (!old || pos >= oldSize)
        return {Never, Never};
#if defined(Q_OS_UNIX) && defined(SEEK_DATA) && defined(SEEK_HOLE)
    const int fd = old->handle();
    const off_t data = ::lseek(fd, static_cast<off_t>(pos), SEEK_DATA);
    if (data < 0)
        return errno == ENXIO ? Stretch{Never, Never} : Stretch{pos, oldSize};
    const off_t hole = ::lseek(fd, data, SEEK_HOLE);
    const qint64 end = hole < 0 ? oldSize : std::min<qint64>(hole, oldSize);
    return {std::min<qint64>(data, oldSize), end};
#else
    return {pos, oldSize};
#endif
}

bool nonZero(char c) {
    return c != 0;
}

// Builds the new copy in a QSaveFile on the target: the old file's bytes up to
// newSize with the written ones laid over them, zeros past the old end. Holes
// and zeros are skipped rather than written, so a sparse file stays sparse
// where the file system allows. Then puts the copy in the old file's
// place, keeping its owner, group and mode where the system allows.
void save(const QString& fileName, const QString& path, qint64 newSize, QFile* old,
          const Written& written) {
    const auto fail = [&](const QString& why) {
        rt::raiseFileError(fileName, QStringLiteral("Snimanje nije uspelo: %1").arg(why));
    };
    const QString target = finalTarget(path);
#if defined(Q_OS_UNIX)
    struct stat before {};
    const bool existed = ::stat(QFile::encodeName(target).constData(), &before) == 0;
    if (existed && !S_ISREG(before.st_mode))
        fail(notRegular(kindOf(before.st_mode)));
#else
    const QFileInfo targetInfo(target);
    if (targetInfo.exists() && !targetInfo.isFile())
        fail(notRegular(targetInfo.isDir() ? QStringLiteral("folder")
                                           : QStringLiteral("posebna datoteka")));
#endif
    removeLeftovers(target);

    QSaveFile out(path);
    out.setDirectWriteFallback(false);
    errno = 0;
    if (!out.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        fail(whyNoNewCopy(target, out, errno));
    const SaveLock lock(out);
    const auto failWriting = [&](const QString& why) {
        out.cancelWriting();
        fail(why);
    };
#if defined(Q_OS_UNIX)
    if (existed) {
        // Only root may give a file away; a member of the old file's group may
        // still give it that group. Whatever the system refuses stays the saver's.
        const int fd = out.handle();
        if (::fchown(fd, before.st_uid, before.st_gid) != 0 &&
            ::fchown(fd, static_cast<uid_t>(-1), before.st_gid) != 0) {
            // neither: the new copy keeps the saver's group
        }
        if (::fchmod(fd, before.st_mode & 07777) != 0) {
            // QSaveFile has already copied the permission bits
        }
    }
#endif

    const auto writeAt = [&](qint64 at, const char* data, qint64 size) {
        errno = 0;
        if (!out.seek(at) || out.write(data, size) != size) {
            const int error = errno;
            failWriting(reason(out, error));
        }
    };
    // The written bytes that fall into [from, to), laid over buffer (which starts
    // at from) or, without a buffer, written where they belong.
    const auto layWritten = [&](qint64 from, qint64 to, QByteArray* buffer) {
        auto it = written.upper_bound(from);
        if (it != written.begin())
            --it;
        for (; it != written.end() && it->first < to; ++it) {
            const qint64 begin = std::max(from, it->first);
            const qint64 end = std::min(to, it->first + it->second.size());
            if (begin >= end)
                continue;
            const char* bytes = it->second.constData() + (begin - it->first);
            if (buffer)
                std::copy(bytes, bytes + (end - begin), buffer->data() + (begin - from));
            else
                writeAt(begin, bytes, end - begin);
        }
    };

    const qint64 oldSize = old ? old->size() : 0;
    QByteArray buffer;
    qint64 pos = 0;
    while (pos < newSize) {
        const Stretch data = nextData(old, pos, oldSize);
        const qint64 holeEnd = std::min(data.begin, newSize);
        if (holeEnd > pos) {
            layWritten(pos, holeEnd, nullptr);
            pos = holeEnd;
            continue;
        }
        const qint64 end = std::min(data.end > pos ? data.end : pos + Chunk, newSize);
        while (pos < end) {
            const qint64 size = std::min(Chunk, end - pos);
            buffer.resize(size);
            qint64 got = 0;
            if (old->seek(pos))
                got = old->read(buffer.data(), size);
            if (got < 0 || old->error() != QFileDevice::NoError) {
                const int error = errno;
                failWriting(QStringLiteral("stara verzija se ne moze procitati: %1")
                                .arg(reason(*old, error)));
            }
            // A file that shrank meanwhile reads as zeros past its new end.
            std::fill(buffer.begin() + got, buffer.end(), '\0');
            layWritten(pos, pos + size, &buffer);
            // Zeros at either end of the piece are left out: what lies between
            // the pieces written reads as zeros anyway.
            const auto first = std::find_if(buffer.cbegin(), buffer.cend(), nonZero);
            if (first != buffer.cend()) {
                const auto last = std::find_if(buffer.crbegin(), buffer.crend(), nonZero).base();
                writeAt(pos + (first - buffer.cbegin()), &*first, last - first);
            }
            pos += size;
        }
    }
    if (out.size() != newSize && !out.resize(newSize)) {
        const int error = errno;
        failWriting(reason(out, error));
    }

    // Everything of the old file is across. Let go of it before the rename, so that
    // the rename frees it at once instead of leaving an unlinked, still open file
    // for the last close to free.
    if (old)
        old->close();

    if (const int error = syncToDisk(out); error != 0) {
        failWriting(
            error == ENOSPC
                ? systemReason(error)
                : QStringLiteral("podaci nisu zapisani na disk: %1").arg(systemReason(error)));
    }
    errno = 0;
    if (!out.commit()) {
        const int error = errno;
        fail(QStringLiteral("nova verzija ne moze da zameni staru: %1").arg(reason(out, error)));
    }
}

} // namespace

QString pathFor(const QString& fileName) {
    const QString folder = SetFolder::path();
    if (folder.isEmpty())
        rt::raiseFileError(fileName, QStringLiteral("Folder sa pitanjima nije dostupan."));
    return folder + QLatin1Char('/') + fileName;
}

void OpenSetFile(const QString& fileName) {
    openSlot(fileName, true);
}

void OpenSetFileForReading(const QString& fileName) {
    openSlot(fileName, false);
}

void ReadQuestion(int n, QuestionRecord& record) {
    requireOpen();
    const qint64 offset = offsetOf(n);
    Slot& s = slot();
    if (const auto it = s.written.find(offset); it != s.written.end()) {
        record = QuestionRecord::fromBytes(it->second);
        return;
    }
    QByteArray bytes(RecordLength, Qt::Uninitialized);
    qint64 got = 0;
    int error = 0;
    if (!s.source->readAt(offset, bytes.data(), RecordLength, &got, &error)) {
        const QString why = error != 0 ? systemReason(error) : s.source->qtReason();
        rt::raiseFileError(s.fileName,
                           QStringLiteral("Datoteka se ne moze procitati: %1").arg(why));
    }
    // A record wholly or partly past the end reads as all zeros.
    bytes.truncate(got);
    record = bytes.size() == RecordLength ? QuestionRecord::fromBytes(bytes) : QuestionRecord();
}

void WriteQuestion(int n, const QuestionRecord& record) {
    requireOpen();
    slot().written[offsetOf(n)] = record.toBytes();
}

void CloseSetFile() {
    requireOpen();
    Slot s = std::move(slot());
    slot() = Slot();
    if (s.written.empty())
        return;
    const qint64 end = s.written.rbegin()->first + RecordLength;
    // The old file's bytes past the records written go across into the new one.
    QFile* old = s.source->file();
    if (!old)
        rt::raiseFileError(s.fileName, QStringLiteral("Snimanje nije uspelo: stara verzija se "
                                                      "ne moze procitati"));
    save(s.fileName, s.path, std::max(end, old->size()), old, s.written);
}

void abandon() {
    slot() = Slot();
}

bool isOpen() {
    return slot().open;
}

void replaceFile(const QString& path, const QByteArray& content) {
    Written written;
    if (!content.isEmpty())
        written[0] = content;
    save(QFileInfo(path).fileName(), path, content.size(), nullptr, written);
}

#if defined(Q_OS_UNIX)
int openRegularFile(const QByteArray& nativePath, qint64* size, int* error, QString* kind) {
    *error = 0;
    // O_NONBLOCK keeps a FIFO's open from waiting for a writer; on the regular file
    // that is all this ever reads, it changes nothing.
    const int fd = ::open(nativePath.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        *error = errno;
        return -1;
    }
    struct stat status {};
    if (::fstat(fd, &status) != 0) {
        *error = errno;
        ::close(fd);
        return -1;
    }
    if (!S_ISREG(status.st_mode)) {
        *kind = kindOf(status.st_mode);
        ::close(fd);
        return -1;
    }
    *size = static_cast<qint64>(status.st_size);
    return fd;
}
#endif

bool isLeftoverOfSave(const QString& name, const QString& setName) {
    const auto all = [](QStringView text, bool (*test)(char16_t)) {
        return !text.isEmpty() &&
               std::all_of(text.begin(), text.end(), [test](QChar c) { return test(c.unicode()); });
    };
    const auto letter = [](char16_t c) {
        return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
    };
    const auto digit = [](char16_t c) { return c >= u'0' && c <= u'9'; };
    const QStringView view(name);
    // QSaveFile's temporary: the target's name, a dot and six random letters.
    if (view.size() == setName.size() + 7 && view.startsWith(setName) &&
        view.at(setName.size()) == u'.')
        return all(view.sliced(setName.size() + 1), letter);
    // What "dyr build" used before it saved through QSaveFile: ".NAME.PID-K.new".
    const QString prefix = QLatin1Char('.') + setName + QLatin1Char('.');
    const QLatin1StringView suffix(".new");
    if (view.size() <= prefix.size() + suffix.size() || !view.startsWith(prefix) ||
        !view.endsWith(suffix))
        return false;
    const QStringView middle =
        view.sliced(prefix.size(), view.size() - prefix.size() - suffix.size());
    const qsizetype dash = middle.indexOf(u'-');
    return dash > 0 && all(middle.first(dash), digit) && all(middle.sliced(dash + 1), digit);
}

} // namespace qo::QuestionSetFile
