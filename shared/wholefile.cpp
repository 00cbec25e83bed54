#include "wholefile.h"

namespace qo {

std::optional<QByteArray> readWholeFile(const QString& path, FileFault* fault, qint64 maxBytes) {
    using What = FileFault::What;
    const auto fail = [&](What what, NativeFile::Error error = 0) {
        *fault = FileFault(what, path, error);
        fault->limit = maxBytes;
        return std::nullopt;
    };
    NativeFile::Reader file;
    if (!file.open(path)) {
        if (file.error() == 0) {
            fail(What::Open);
            fault->why = FileFault::Why::NotRegular;
            fault->kind = file.kind();
            return std::nullopt;
        }
        if (NativeFile::causeOf(file.error()) == NativeFile::Cause::Missing)
            return fail(What::Missing);
        return fail(What::Open, file.error());
    }
    if (file.size() > maxBytes)
        return fail(What::TooLarge);
    QByteArray bytes;
    QByteArray piece(64 * 1024, Qt::Uninitialized);
    for (;;) {
        qint64 n = 0;
        if (!file.readAt(bytes.size(), piece.data(), piece.size(), &n))
            return fail(What::Read, file.error());
        if (n == 0)
            return bytes;
        bytes.append(piece.constData(), n);
        if (bytes.size() > maxBytes)
            return fail(What::TooLarge);
    }
}

} // namespace qo
