// What dyr reads and writes: its inputs, bounded and from regular files only, and
// whole files, replaced at once.
#include "io.h"

#include "questionsetfile.h"
#include "rterror.h"
#include "wholefile.h"

#include <QIODevice>
#include <QTextStream>

namespace dyr {

QList<qo::QuestionRecord> recordsOf(const QByteArray& content) {
    QList<qo::QuestionRecord> records;
    for (qsizetype at = 0; at + qo::RecordLength <= content.size(); at += qo::RecordLength)
        records.append(qo::QuestionRecord::fromBytes(content.mid(at, qo::RecordLength)));
    return records;
}

std::optional<QByteArray> readInput(const QString& path, QIODevice* in, qo::FileFault* fault) {
    if (path != QLatin1String("-"))
        return qo::readWholeFile(path, fault, MaxInputBytes);
    using What = qo::FileFault::What;
    const auto fail = [&](What what) {
        *fault = qo::FileFault(what, path);
        fault->limit = MaxInputBytes;
        fault->standardInput = true;
        return std::nullopt;
    };
    if (in == nullptr || !in->isReadable())
        return fail(What::NoInput);
    QByteArray bytes;
    QByteArray piece(64 * 1024, Qt::Uninitialized);
    for (;;) {
        // Standard input says no more than that it failed.
        const qint64 n = in->read(piece.data(), piece.size());
        if (n < 0)
            return fail(What::Read);
        if (n == 0)
            return bytes;
        bytes.append(piece.constData(), n);
        if (bytes.size() > MaxInputBytes)
            return fail(What::TooLarge);
    }
}

std::optional<QByteArray> readOrReport(const QString& path, QIODevice* in, QTextStream& err) {
    qo::FileFault fault;
    std::optional<QByteArray> bytes = readInput(path, in, &fault);
    if (!bytes)
        reportFault(fault, err);
    return bytes;
}

bool writeFile(const QByteArray& bytes, const QString& path, qo::FileFault* fault) {
    try {
        qo::QuestionSetFile::replaceFile(path, bytes, path);
    } catch (const rt::RuntimeError& e) {
        *fault = e.fault().value_or(qo::FileFault(qo::FileFault::What::Save, path));
        return false;
    }
    return true;
}

bool writeSet(const QList<qo::QuestionRecord>& records, const QString& path, qo::FileFault* fault) {
    QByteArray content;
    for (const qo::QuestionRecord& record : records)
        content += record.toBytes();
    return writeFile(content, path, fault);
}

void reportFault(const qo::FileFault& fault, QTextStream& err) {
    err << "dyr: " << qo::describe(fault) << "\n";
}

} // namespace dyr
