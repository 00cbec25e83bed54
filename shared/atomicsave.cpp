#include "atomicsave.h"

#include "filefault.h"
#include "rterror.h"

#include <QDeadlineTimer>
#include <QFileInfo>
#include <QThread>

#include <algorithm>

namespace qo::AtomicSave {

namespace {

using NativeFile::Cause;
using NativeFile::Error;

// A save streams the old file across in pieces of this size, so its memory stays
// the same however long the file is.
constexpr qint64 Chunk = 256 * 1024;

// How long a save waits for another save of the same file to end, and for another
// program (a virus scanner, say) to let go of the file it replaces.
constexpr int LockWaitMs = 5000;
constexpr int ReplaceWaitMs = 1000;

// The file a save really replaces: the end of a chain of links.
QString finalTarget(const QString& path) {
    QFileInfo info(path);
    for (int depth = 0; depth < 128 && info.isSymLink(); ++depth)
        info.setFile(info.symLinkTarget());
    return info.absoluteFilePath();
}

QString besideTarget(const QString& target, const char* suffix) {
    const QFileInfo info(target);
    return info.absolutePath() + QStringLiteral("/.") + info.fileName() + QLatin1String(suffix);
}

// Tries again while the answer is busy, until the time is up. What keeps a save
// waiting is mostly brief (a reader of the set, another save), so it looks again
// soon.
template <typename Attempt> Error whileBusy(int waitMs, Attempt attempt) {
    const QDeadlineTimer deadline(waitMs);
    for (;;) {
        const bool last = deadline.hasExpired();
        const Error error = attempt(last);
        if (error == 0 || last || NativeFile::causeOf(error) != Cause::Busy)
            return error;
        QThread::msleep(5);
    }
}

bool nonZero(char c) {
    return c != 0;
}

// The save under way: each step, and on a failure the fault raised with the new
// copy gone and the lock let go (by the members' ends).
class Save {
public:
    Save(const QString& fileName, const QString& path)
        : m_fault(FileFault::What::Save, fileName), m_target(finalTarget(path)),
          m_copyPath(newCopyPath(m_target)) {}

    ~Save() {
        if (m_copyMade) {
            m_copy.close();
            // Where even this fails, the leftover has the programs' own name, and the
            // next save of the file clears it away: safe to go on.
            NativeFile::removeFile(m_copyPath);
        }
    }

    [[noreturn]] void fail(FileFault::Why why, Error error = 0) {
        m_fault.why = why;
        m_fault.error = error;
        rt::raise(m_fault);
    }

    // Only a regular file, or none yet, is replaced, and only by a user who may
    // write it: a rename needs no right to the file itself.
    void checkTarget() {
        const NativeFile::Kind kind = NativeFile::kindOf(m_target);
        if (kind != NativeFile::Kind::Missing && kind != NativeFile::Kind::Regular) {
            m_fault.kind = kind;
            fail(FileFault::Why::NotRegular);
        }
        m_replacing = kind == NativeFile::Kind::Regular;
        if (!m_replacing)
            return;
        // A file another program holds shows that when it is replaced, which waits for it.
        const Error error = NativeFile::writeAccess(m_target);
        if (error != 0 && NativeFile::causeOf(error) != Cause::Missing &&
            NativeFile::causeOf(error) != Cause::Busy)
            fail(FileFault::Why::System, error);
    }

    // One save of the file at a time: the lock decides whose new copy the copy's
    // name is. A save killed before it ended holds it no longer.
    //
    // While another save holds the lock, the old file is let go of: held open, it would
    // keep that save from replacing it where the system can't rename over an open file
    // (older Windows, Wine). Its bytes are then read from the file as that save left
    // it; old is null where it is gone.
    void lock(const QString& path, NativeFile::Reader*& old) {
        const QString name = lockPath(m_target);
        Error error = m_lock.tryLock(name);
        if (error == 0)
            return;
        const bool reopen = old && old->isOpen() && NativeFile::causeOf(error) == Cause::Busy;
        if (reopen)
            old->close();
        error = whileBusy(LockWaitMs, [&](bool) { return m_lock.tryLock(name); });
        if (error != 0)
            failToMake(error);
        if (!reopen || old->open(path))
            return;
        if (old->error() == 0) {
            m_fault.kind = old->kind();
            fail(FileFault::Why::NotRegular);
        }
        if (NativeFile::causeOf(old->error()) != Cause::Missing)
            fail(FileFault::Why::OldUnreadable, old->error());
        // Gone meanwhile: the set is made anew, as a new file is.
        old = nullptr;
        m_replacing = false;
    }

    // The new copy, made where no one else's can be: with the lock held, a file of the
    // copy's name is what a killed save left.
    void makeCopy() {
        Error error = m_copy.create(m_copyPath, m_replacing);
        if (NativeFile::causeOf(error) == Cause::Exists) {
            if (const Error removed = NativeFile::removeFile(m_copyPath); removed != 0)
                failToMake(removed);
            error = m_copy.create(m_copyPath, m_replacing);
        }
        if (error != 0)
            failToMake(error);
        m_copyMade = true;
        if (m_replacing) {
            if (const Error kept = m_copy.takeOver(m_target); kept != 0)
                fail(FileFault::Why::System, kept);
        }
    }

    void writeAt(qint64 at, const char* data, qint64 size) {
        if (const Error error = m_copy.writeAt(at, data, size); error != 0)
            fail(FileFault::Why::System, error);
    }

    void resize(qint64 size) {
        if (m_copy.size() == size)
            return;
        if (const Error error = m_copy.resize(size); error != 0)
            fail(FileFault::Why::System, error);
    }

    [[noreturn]] void failReadingOld(Error error) { fail(FileFault::Why::OldUnreadable, error); }

    void sync() {
        if (const Error error = m_copy.sync(); error != 0)
            fail(FileFault::Why::NotOnDisk, error);
    }

    void replace() {
        const Error error =
            whileBusy(ReplaceWaitMs, [&](bool last) { return m_copy.replace(m_target, last); });
        // A replace that failed after the old file was moved aside (the way of a
        // system that can't rename over an open file), or with the old file gone
        // meanwhile, leaves the whole copy the only version of the set: it stays,
        // under the programs' own name.
        if (error != 0) {
            if (m_replacing && NativeFile::kindOf(m_target) == NativeFile::Kind::Missing) {
                m_copy.close();
                m_copyMade = false;
                m_fault.keptAs = QFileInfo(m_copyPath).fileName();
                fail(FileFault::Why::KeptAside, error);
            }
            fail(FileFault::Why::NotReplaced, error);
        }
        m_copyMade = false;
    }

private:
    // Why a new file can't be made beside the target: the folder is missing or
    // refuses new files (it names the folder), or what the system said.
    [[noreturn]] void failToMake(Error error) {
        const QString folder = QFileInfo(m_target).absolutePath();
        m_fault.folder = folder;
        if (const Error refused = NativeFile::writeAccess(folder); refused != 0)
            fail(NativeFile::causeOf(refused) == Cause::Missing ? FileFault::Why::FolderMissing
                                                                : FileFault::Why::FolderRefuses,
                 refused);
        m_fault.folder.clear();
        fail(FileFault::Why::System, error);
    }

    FileFault m_fault;
    QString m_target;
    QString m_copyPath;
    bool m_replacing = false;
    NativeFile::SaveLock m_lock; // let go after the copy is gone (members end in reverse)
    NativeFile::NewFile m_copy;
    bool m_copyMade = false;
};

} // namespace

QString lockPath(const QString& target) {
    return besideTarget(target, ".qo-lock");
}

QString newCopyPath(const QString& target) {
    return besideTarget(target, ".qo-save");
}

// The steps: check the target, lock, make the new copy with what the old file has
// beyond its bytes, stream the old bytes across with the written ones laid over them
// (holes and zeros skipped rather than written, so a sparse file stays sparse where
// the file system allows), let go of the old file, sync, replace, clean up.
void save(const QString& fileName, const QString& path, qint64 newSize, NativeFile::Reader* old,
          const Written& written) {
    Save save(fileName, path);
    save.checkTarget();
    save.lock(path, old);
    save.makeCopy();
    // Nothing of the old file is dropped, whatever its size is now.
    const qint64 oldSize = old ? old->size() : 0;
    newSize = std::max(newSize, oldSize);

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
                save.writeAt(begin, bytes, end - begin);
        }
    };

    QByteArray buffer;
    qint64 pos = 0;
    while (pos < newSize) {
        qint64 dataBegin = 0;
        qint64 dataEnd = 0;
        if (old) {
            old->nextData(pos, oldSize, &dataBegin, &dataEnd);
        } else {
            dataBegin = dataEnd = newSize;
        }
        const qint64 holeEnd = std::min(dataBegin, newSize);
        if (holeEnd > pos) {
            layWritten(pos, holeEnd, nullptr);
            pos = holeEnd;
            continue;
        }
        const qint64 end = std::min(dataEnd > pos ? dataEnd : pos + Chunk, newSize);
        while (pos < end) {
            const qint64 size = std::min(Chunk, end - pos);
            buffer.resize(size);
            qint64 got = 0;
            if (!old->readAt(pos, buffer.data(), size, &got))
                save.failReadingOld(old->error());
            // A file that shrank meanwhile reads as zeros past its new end.
            std::fill(buffer.begin() + got, buffer.end(), '\0');
            layWritten(pos, pos + size, &buffer);
            // Zeros at either end of the piece are left out: what lies between
            // the pieces written reads as zeros anyway.
            const auto first = std::find_if(buffer.cbegin(), buffer.cend(), nonZero);
            if (first != buffer.cend()) {
                const auto last = std::find_if(buffer.crbegin(), buffer.crend(), nonZero).base();
                save.writeAt(pos + (first - buffer.cbegin()), &*first, last - first);
            }
            pos += size;
        }
    }
    save.resize(newSize);

    // Everything of the old file is across. Let go of it before the replacement, so
    // that it frees the old file at once instead of leaving an unlinked, still open
    // file for the last close to free.
    if (old)
        old->close();

    save.sync();
    save.replace();
}

} // namespace qo::AtomicSave
