#include "questionsetfile.h"

#include "atomicsave.h"
#include "filefault.h"
#include "nativefile.h"
#include "rterror.h"
#include "setfolder.h"

#include <QDir>
#include <QFileInfo>

#include <memory>

namespace qo {

namespace {

// The program's one slot for an open set file.
bool slotTaken = false;

qint64 offsetOf(int n) {
    if (n < 1)
        rt::raise(rt::ErrorKind::SubscriptOutOfRange);
    return static_cast<qint64>(n - 1) * RecordLength;
}

[[noreturn]] void raise(FileFault::What what, const QString& fileName,
                        NativeFile::Error error = 0) {
    rt::raise(FileFault(what, fileName, error));
}

} // namespace

// The open set: the file as it was opened, read only at the offsets asked for (a
// question costs an open, a stat, one read and a close), and the records written
// since, kept in memory until the set is closed.
struct QuestionSetFile::Open {
    QString fileName;
    QString path;
    NativeFile::Reader source;
    AtomicSave::Written written;

    ~Open() { slotTaken = false; }
};

QuestionSetFile::QuestionSetFile() = default;

QuestionSetFile::~QuestionSetFile() = default;

bool QuestionSetFile::isOpen() {
    return slotTaken;
}

QString QuestionSetFile::pathFor(const QString& fileName) {
    // A file the user chose anywhere, through a file dialog, by name or by a drop.
    if (QDir::isAbsolutePath(fileName))
        return fileName;
    const QString folder = SetFolder::path();
    if (folder.isEmpty())
        raise(FileFault::What::NoSetFolder, fileName);
    return folder + QLatin1Char('/') + fileName;
}

void QuestionSetFile::OpenSetFile(const QString& fileName) {
    open(fileName, true);
}

void QuestionSetFile::OpenSetFileForReading(const QString& fileName) {
    open(fileName, false);
}

// Only a regular file is opened. Anything else (a folder, a FIFO, a device such as
// /dev/zero or NUL, also behind a link) is refused before a byte is read and without
// waiting on it. A missing file is created only where none exists, so one that
// another program made in the meantime is read, never emptied.
void QuestionSetFile::open(const QString& fileName, bool create) {
    if (slotTaken)
        raise(FileFault::What::AlreadyOpen, fileName);
    auto opened = std::make_unique<Open>();
    opened->fileName = fileName;
    opened->path = pathFor(fileName);
    for (int attempt = 0;; ++attempt) {
        NativeFile::Reader& source = opened->source;
        if (source.open(opened->path))
            break;
        const NativeFile::Error error = source.error();
        if (error == 0)
            rt::raise(FileFault(FileFault::What::Open, fileName, FileFault::Why::NotRegular,
                                source.kind()));
        if (NativeFile::causeOf(error) != NativeFile::Cause::Missing)
            raise(FileFault::What::Open, fileName, error);
        if (!create)
            raise(FileFault::What::Missing, fileName);
        const NativeFile::Error made = NativeFile::createNew(opened->path);
        if (made == 0)
            continue;
        if (attempt < 3 && QFileInfo::exists(opened->path))
            continue;
        if (QFileInfo(opened->path).isSymLink())
            rt::raise(FileFault(FileFault::What::Create, fileName, FileFault::Why::DanglingLink));
        raise(FileFault::What::Create, fileName, made);
    }
    slotTaken = true;
    m_open = std::move(opened);
}

void QuestionSetFile::ReadQuestion(int n, QuestionRecord& record) {
    if (!m_open)
        raise(FileFault::What::NotOpen, QString());
    const qint64 offset = offsetOf(n);
    if (const auto it = m_open->written.find(offset); it != m_open->written.end()) {
        record = QuestionRecord::fromBytes(it->second);
        return;
    }
    QByteArray bytes(RecordLength, Qt::Uninitialized);
    qint64 got = 0;
    if (!m_open->source.readAt(offset, bytes.data(), RecordLength, &got))
        raise(FileFault::What::Read, m_open->fileName, m_open->source.error());
    // A record wholly or partly past the end reads as all zeros.
    bytes.truncate(got);
    record = bytes.size() == RecordLength ? QuestionRecord::fromBytes(bytes) : QuestionRecord();
}

void QuestionSetFile::WriteQuestion(int n, const QuestionRecord& record) {
    if (!m_open)
        raise(FileFault::What::NotOpen, QString());
    m_open->written[offsetOf(n)] = record.toBytes();
}

void QuestionSetFile::CloseSetFile() {
    if (!m_open)
        raise(FileFault::What::NotOpen, QString());
    // Closed whatever the save does.
    const std::unique_ptr<Open> open = std::move(m_open);
    if (open->written.empty())
        return;
    const qint64 end = open->written.rbegin()->first + RecordLength;
    // The old file's bytes past the records written go across into the new one.
    AtomicSave::save(open->fileName, open->path, end, &open->source, open->written);
}

void QuestionSetFile::replaceFile(const QString& path, const QByteArray& content,
                                  const QString& name) {
    AtomicSave::Written written;
    if (!content.isEmpty())
        written[0] = content;
    AtomicSave::save(name, path, content.size(), nullptr, written);
}

} // namespace qo
