#include "atomicsave.h"

#include "fileerror.h"
#include "questionsetfile.h"
#include "rterror.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

#include <algorithm>

namespace qo::AtomicSave {

namespace {

// A save streams the old file across in pieces of this size, so its memory stays
// the same however long the file is.
constexpr qint64 Chunk = 256 * 1024;

// The file a save really replaces: the end of a chain of links, as QSaveFile finds it.
QString finalTarget(const QString& path) {
    QFileInfo info(path);
    for (int depth = 0; depth < 128 && info.isSymLink(); ++depth)
        info.setFile(info.symLinkTarget());
    return info.absoluteFilePath();
}

// Removes what saves of the file that were killed before they finished left
// beside it. Only regular files named by the programs' own patterns go, and only
// those no running save holds.
void removeLeftovers(const QString& target) {
    const QFileInfo info(target);
    const QString folder = info.absolutePath();
    const QString name = info.fileName();
    // Names are matched here rather than by the listing's name filters, which would
    // compile a regular expression for every save.
    QDirIterator entries(folder, QDir::Files | QDir::Hidden | QDir::NoSymLinks);
    while (entries.hasNext()) {
        const QString path = entries.next();
        if (QuestionSetFile::isLeftoverOfSave(entries.fileName(), name) &&
            !NativeFile::isHeldBySave(path))
            QFile::remove(path);
    }
}

// Why the new copy could not be begun: a folder or a file the user may not write,
// a read-only disk, or what the system said.
QString whyNoNewCopy(const QString& target, const NativeFile::NewCopy& copy) {
    const QString folder = QFileInfo(target).absolutePath();
    if (const NativeFile::Error error = NativeFile::writeAccess(folder); error != 0)
        return QStringLiteral("u folder %1 se ne moze pisati: %2")
            .arg(QDir::toNativeSeparators(folder), FileError::reason(error));
    if (const NativeFile::Error error = NativeFile::writeAccess(target);
        error != 0 && NativeFile::causeOf(error) != NativeFile::Cause::Missing)
        return QStringLiteral("u datoteku se ne moze pisati: %1").arg(FileError::reason(error));
    return copy.why();
}

bool nonZero(char c) {
    return c != 0;
}

} // namespace

// Builds the new copy: the old file's bytes up to newSize with the written ones
// laid over them, zeros past the old end. Holes and zeros are skipped rather than
// written, so a sparse file stays sparse where the file system allows. Then puts
// the copy in the old file's place.
void save(const QString& fileName, const QString& path, qint64 newSize, NativeFile::Reader* old,
          const Written& written) {
    const auto fail = [&](const QString& why) {
        rt::raiseFileError(fileName, QStringLiteral("Snimanje nije uspelo: %1").arg(why));
    };
    const QString target = finalTarget(path);
    if (const NativeFile::Kind kind = NativeFile::kindOf(target);
        kind != NativeFile::Kind::Missing && kind != NativeFile::Kind::Regular)
        fail(FileError::notRegular(kind));
    removeLeftovers(target);

    NativeFile::NewCopy out;
    if (!out.begin(path, target))
        fail(whyNoNewCopy(target, out));
    const auto failWriting = [&](const QString& why) {
        out.drop();
        fail(why);
    };

    const auto writeAt = [&](qint64 at, const char* data, qint64 size) {
        if (!out.writeAt(at, data, size))
            failWriting(out.why());
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
                failWriting(QStringLiteral("stara verzija se ne moze procitati: %1")
                                .arg(FileError::reason(old->error())));
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
    if (out.size() != newSize && !out.resize(newSize))
        failWriting(out.why());

    // Everything of the old file is across. Let go of it before the replacement, so
    // that it frees the old file at once instead of leaving an unlinked, still open
    // file for the last close to free.
    if (old)
        old->close();

    if (!out.sync()) {
        const NativeFile::Error error = out.error();
        failWriting(
            NativeFile::causeOf(error) == NativeFile::Cause::DiskFull
                ? FileError::reason(error)
                : QStringLiteral("podaci nisu zapisani na disk: %1").arg(FileError::reason(error)));
    }
    if (!out.commit())
        fail(QStringLiteral("nova verzija ne moze da zameni staru: %1").arg(out.why()));
}

} // namespace qo::AtomicSave

namespace qo::QuestionSetFile {

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
    // The new copy of a save: the target's name, a dot and six random letters.
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
