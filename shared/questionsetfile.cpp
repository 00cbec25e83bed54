#include "questionsetfile.h"

#include "atomicsave.h"
#include "fileerror.h"
#include "nativefile.h"
#include "rterror.h"
#include "setfolder.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>
#include <memory>

namespace qo::QuestionSetFile {

namespace {

// The open set: the file as it was opened, read only at the offsets asked for (a
// question costs an open, a stat, one read and a close), and the records written
// since, kept in memory until the set is closed.
struct Slot {
    bool open = false;
    QString fileName;
    QString path;
    std::unique_ptr<NativeFile::Reader> source;
    AtomicSave::Written written;
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

// Opens a regular file for reading. Anything else (a folder, a FIFO, a device such
// as /dev/zero or NUL, also behind a link) is refused before a byte is read and
// without waiting on it.
Opened openRegular(NativeFile::Reader& source, const QString& fileName, const QString& path) {
    if (source.open(path))
        return Opened::Yes;
    const NativeFile::Error error = source.error();
    if (error != 0 && NativeFile::causeOf(error) == NativeFile::Cause::Missing)
        return Opened::Missing;
    const QString why =
        error != 0 ? FileError::reason(error) : FileError::notRegular(source.kind());
    rt::raiseFileError(fileName, QStringLiteral("Datoteka se ne moze otvoriti: %1").arg(why));
    return Opened::Missing;
}

void openSlot(const QString& fileName, bool create) {
    Slot& s = slot();
    if (s.open)
        rt::raiseFileError(fileName,
                           QStringLiteral("Druga datoteka sa pitanjima je vec otvorena."));
    const QString path = pathFor(fileName);
    auto source = std::make_unique<NativeFile::Reader>();
    // A missing file is created only where none exists, so one that another program
    // made in the meantime is read, never emptied.
    for (int attempt = 0;; ++attempt) {
        if (openRegular(*source, fileName, path) == Opened::Yes)
            break;
        if (!create)
            rt::raiseFileError(fileName, QStringLiteral("Datoteka ne postoji."));
        const NativeFile::Error error = NativeFile::createNew(path);
        if (error == 0)
            continue;
        if (attempt < 3 && QFileInfo::exists(path))
            continue;
        const QString why = QFileInfo(path).isSymLink()
                                ? QStringLiteral("veza vodi do datoteke koje nema")
                                : FileError::reason(error);
        rt::raiseFileError(
            fileName, QStringLiteral("Datoteka ne postoji i ne moze se napraviti: %1").arg(why));
    }
    s = Slot{true, fileName, path, std::move(source), {}};
}

} // namespace

QString pathFor(const QString& fileName) {
    if (QDir::isAbsolutePath(fileName))
        return fileName;
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
    if (!s.source->readAt(offset, bytes.data(), RecordLength, &got)) {
        rt::raiseFileError(s.fileName, QStringLiteral("Datoteka se ne moze procitati: %1")
                                           .arg(FileError::reason(s.source->error())));
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
    NativeFile::Reader* old = s.source.get();
    AtomicSave::save(s.fileName, s.path, std::max(end, old->size()), old, s.written);
}

void abandon() {
    slot() = Slot();
}

bool isOpen() {
    return slot().open;
}

void replaceFile(const QString& path, const QByteArray& content) {
    AtomicSave::Written written;
    if (!content.isEmpty())
        written[0] = content;
    AtomicSave::save(QFileInfo(path).fileName(), path, content.size(), nullptr, written);
}

} // namespace qo::QuestionSetFile
