// What dyr reads and writes: its inputs, bounded and from regular files only, and
// whole sets, replaced at once.
#include "io.h"

#include "nativefile.h"
#include "questionsetfile.h"
#include "rterror.h"

#include <QDir>
#include <QFileInfo>
#include <QTextStream>

namespace dyr {

QList<qo::QuestionRecord> recordsOf(const QByteArray& content) {
    QList<qo::QuestionRecord> records;
    for (qsizetype at = 0; at + qo::RecordLength <= content.size(); at += qo::RecordLength)
        records.append(qo::QuestionRecord::fromBytes(content.mid(at, qo::RecordLength)));
    return records;
}

std::optional<QByteArray> readInput(const QString& path, QIODevice* in, QString* error) {
    const QString tooLarge =
        QStringLiteral("larger than %1 MiB, more than any set or question source holds")
            .arg(MaxInputBytes / (1024 * 1024));
    qo::NativeFile::Reader file;
    if (path == QLatin1String("-")) {
        if (in == nullptr || !in->isReadable()) {
            *error = QStringLiteral("no standard input");
            return std::nullopt;
        }
    } else if (!file.open(path)) {
        if (file.error() != 0)
            *error = qt_error_string(file.error());
        else if (file.kind() == qo::NativeFile::Kind::Folder)
            *error = QStringLiteral("is a folder");
        else
            *error = QStringLiteral("is not a regular file");
        return std::nullopt;
    } else if (file.size() > MaxInputBytes) {
        *error = tooLarge;
        return std::nullopt;
    }
    QByteArray bytes;
    QByteArray piece(64 * 1024, Qt::Uninitialized);
    for (;;) {
        qint64 n = 0;
        if (!file.isOpen()) {
            n = in->read(piece.data(), piece.size());
            if (n < 0) {
                *error = in->errorString();
                return std::nullopt;
            }
        } else if (!file.readAt(bytes.size(), piece.data(), piece.size(), &n)) {
            *error = qt_error_string(file.error());
            return std::nullopt;
        }
        if (n == 0)
            return bytes;
        bytes.append(piece.constData(), n);
        if (bytes.size() > MaxInputBytes) {
            *error = tooLarge;
            return std::nullopt;
        }
    }
}

std::optional<QByteArray> readOrReport(const QString& path, const QString& name, QIODevice* in,
                                       QTextStream& err) {
    QString problem;
    std::optional<QByteArray> bytes = readInput(path, in, &problem);
    if (!bytes)
        err << "dyr: cannot read " << name << ": " << problem << "\n";
    return bytes;
}

bool writeSet(const QList<qo::QuestionRecord>& records, const QString& path, QString* error) {
    const QFileInfo target(path);
    const QString folder = target.absolutePath();
    if (!QFileInfo(folder).isDir()) {
        *error = QStringLiteral("folder %1 does not exist").arg(QDir::toNativeSeparators(folder));
        return false;
    }
    if (target.isDir()) {
        *error = QStringLiteral("is a folder");
        return false;
    }
    QByteArray content;
    for (const qo::QuestionRecord& record : records)
        content += record.toBytes();
    try {
        qo::QuestionSetFile::replaceFile(path, content);
    } catch (const rt::RuntimeError& e) {
        *error = e.message();
        return false;
    }
    return true;
}

} // namespace dyr
