// Saving a file so that it is never left half-written: the steps of a save, written
// once for every system (the system calls behind them are nativefile.h's).
//
// A save of the file NAME takes the lock .NAME.qo-lock beside it, writes the new
// version as .NAME.qo-save beside it and renames that over NAME at once. Both names
// are the programs' own: a save looks only at these two, never at what else the
// folder holds, and what a killed save left under them the next save clears away.
#pragma once

#include "nativefile.h"

#include <QByteArray>
#include <QString>

#include <map>

namespace qo::AtomicSave {

// Bytes written over a file, by their offset in it.
using Written = std::map<qint64, QByteArray>;

// Replaces the file at path (the file named fileName) with a new copy of at least
// newSize bytes, and at least as long as old: old's bytes with the written ones laid
// over them, zeros past old's end (old may be null: all zeros but for the written
// bytes). old is closed before the replacement; while another save of the file runs,
// it is let go of and opened anew once that save has ended. Raises the file error (a Save fault
// naming fileName) when that fails; the old file then stays as it was.
void save(const QString& fileName, const QString& path, qint64 newSize, NativeFile::Reader* old,
          const Written& written);

// The names a save of the file at target uses beside it.
QString lockPath(const QString& target);
QString newCopyPath(const QString& target);

} // namespace qo::AtomicSave
