#include "questionsetfile.h"

#include "apppath.h"
#include "rterror.h"
#include "setfolder.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#if defined(Q_OS_WIN)
#include <io.h>
#elif defined(Q_OS_UNIX)
#include <unistd.h>
#endif

namespace qo::QuestionSetFile {

namespace {

struct Slot {
    bool open = false;
    bool dirty = false;
    QString fileName;
    QString path;
    QByteArray content;
};

Slot& slot() {
    static Slot s;
    return s;
}

// Why a file operation failed, in the user's language.
QString reason(const QFileDevice& file) {
    switch (file.error()) {
    case QFileDevice::PermissionsError:
        return QStringLiteral("nema dozvole za pristup");
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

void requireOpen() {
    if (!slot().open)
        rt::raiseFileError(QString(), QStringLiteral("Datoteka sa pitanjima nije otvorena."));
}

qint64 offsetOf(int n) {
    if (n < 1)
        rt::raise(rt::ErrorKind::SubscriptOutOfRange);
    return static_cast<qint64>(n - 1) * RecordLength;
}

// Pushes the written data to the disk itself, so that a full disk shows up here
// and not after the rename.
bool syncToDisk(QSaveFile& file) {
    const int fd = file.handle();
    if (fd < 0)
        return false;
#if defined(Q_OS_WIN)
    return _commit(fd) == 0;
#elif defined(Q_OS_UNIX)
    return ::fsync(fd) == 0;
#else
    return true;
#endif
}

void commit(const Slot& s) {
    QSaveFile out(s.path);
    out.setDirectWriteFallback(false);
    const auto fail = [&](const QString& why) {
        out.cancelWriting();
        rt::raiseFileError(s.fileName, QStringLiteral("Snimanje nije uspelo: %1").arg(why));
    };
    if (!out.open(QIODevice::WriteOnly))
        fail(reason(out));
    if (out.write(s.content) != s.content.size())
        fail(reason(out));
    if (!out.flush())
        fail(reason(out));
    if (!syncToDisk(out))
        fail(QStringLiteral("podaci nisu zapisani na disk (disk je mozda pun)"));
    if (!out.commit())
        rt::raiseFileError(s.fileName, QStringLiteral("Snimanje nije uspelo: %1").arg(reason(out)));
}

} // namespace

QString pathFor(const QString& fileName) {
    const QString folder = SetFolder::path();
    if (folder.isEmpty())
        rt::raiseFileError(fileName, QStringLiteral("Folder sa pitanjima nije dostupan."));
    return folder + QLatin1Char('/') + fileName;
}

void OpenSetFile(const QString& fileName) {
    Slot& s = slot();
    if (s.open)
        rt::raiseFileError(fileName,
                           QStringLiteral("Druga datoteka sa pitanjima je vec otvorena."));
    const QString path = pathFor(fileName);
    QFile file(path);
    if (!QFileInfo::exists(path)) {
        if (!file.open(QIODevice::WriteOnly))
            rt::raiseFileError(
                fileName,
                QStringLiteral("Datoteka ne postoji i ne moze se napraviti: %1").arg(reason(file)));
        file.close();
    }
    if (!file.open(QIODevice::ReadOnly))
        rt::raiseFileError(fileName,
                           QStringLiteral("Datoteka se ne moze otvoriti: %1").arg(reason(file)));
    QByteArray content = file.readAll();
    if (file.error() != QFileDevice::NoError)
        rt::raiseFileError(fileName,
                           QStringLiteral("Datoteka se ne moze procitati: %1").arg(reason(file)));
    s = Slot{true, false, fileName, path, std::move(content)};
}

void ReadQuestion(int n, QuestionRecord& record) {
    requireOpen();
    const qint64 offset = offsetOf(n);
    const Slot& s = slot();
    if (offset + RecordLength > s.content.size())
        record = QuestionRecord();
    else
        record = QuestionRecord::fromBytes(s.content.mid(offset, RecordLength));
}

void WriteQuestion(int n, const QuestionRecord& record) {
    requireOpen();
    const qint64 offset = offsetOf(n);
    Slot& s = slot();
    if (s.content.size() < offset + RecordLength)
        s.content.resize(offset + RecordLength, '\0');
    s.content.replace(offset, RecordLength, record.toBytes());
    s.dirty = true;
}

void CloseSetFile() {
    requireOpen();
    Slot s = std::move(slot());
    slot() = Slot();
    if (s.dirty)
        commit(s);
}

void abandon() {
    slot() = Slot();
}

bool isOpen() {
    return slot().open;
}

} // namespace qo::QuestionSetFile
