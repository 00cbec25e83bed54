// Saving a file so that it is never left half-written: a new copy is built beside
// it and then takes its place at once.
#pragma once

#include "nativefile.h"

#include <QByteArray>
#include <QString>

#include <map>

namespace qo::AtomicSave {

// Bytes written over a file, by their offset in it.
using Written = std::map<qint64, QByteArray>;

// Replaces the file at path (the file named fileName) with a new copy of newSize
// bytes: old's bytes with the written ones laid over them, zeros past old's end
// (old may be null: all zeros but for the written bytes). old is closed before the
// replacement. Raises the file error, naming fileName, when that fails; the old
// file then stays as it was.
void save(const QString& fileName, const QString& path, qint64 newSize, NativeFile::Reader* old,
          const Written& written);

} // namespace qo::AtomicSave
