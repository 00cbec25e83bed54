// A whole file read at once for the tools that take questions from it: a regular
// file only, and no larger than any question bank, its fault as data.
#pragma once

#include "filefault.h"

#include <QByteArray>
#include <QString>

#include <optional>

namespace qo {

// The most a question source or a set is read: far more than any question bank.
constexpr qint64 MaxWholeFileBytes = 64 * 1024 * 1024;

// The bytes of the file at path. A folder, a FIFO or a device (also behind a link,
// or a name such as NUL on Windows) is refused unread and unwaited on, and so is a
// file larger than maxBytes or one that grows past it while it is read. On failure
// fault says what went wrong, naming the file as path.
std::optional<QByteArray> readWholeFile(const QString& path, FileFault* fault,
                                        qint64 maxBytes = MaxWholeFileBytes);

} // namespace qo
