// Reading and writing question-set files: headerless runs of 412-byte records.
//
// One set file is open at a time. A read fetches just the record asked for.
// Written records collect in memory; closing builds a new copy of the file from
// them and from the rest of the old file, streamed across, and puts the copy in
// the old file's place at once, so a set is never left half-written.
#pragma once

#include "questionrecord.h"

#include <QByteArray>
#include <QString>

namespace qo {

namespace QuestionSetFile {

// Opens the named file in the program's folder (or at its full path); a file that does not exist is
// created empty (never truncating one that appeared meanwhile). Raises the file
// error when it can't be opened or created, when it is not a regular file, or
// when a set file is already open.
void OpenSetFile(const QString& fileName);

// Opens the named file for reading only: a missing file is the file error too,
// and nothing is ever created.
void OpenSetFileForReading(const QString& fileName);

// Reads record n (from 1). A record wholly or partly past the end of the file
// reads as all zeros.
void ReadQuestion(int n, QuestionRecord& record);

// Writes record n, extending the file where needed; other bytes stay as they are.
void WriteQuestion(int n, const QuestionRecord& record);

// Closes the file. When anything was written, the new content replaces the old
// file at once, keeping its owner, group and mode (on Windows its attributes and
// permissions) where the system allows; if that fails the old file stays as it
// was and the file error is raised. The file is closed either way.
void CloseSetFile();

// Closes the file without writing anything (after a handler failed half-way).
void abandon();

bool isOpen();

// The full path OpenSetFile uses for a name: the set folder (setfolder.h), a
// separator and the name, joined as they are. Raises the file error when there is
// no set folder, rather than joining the name onto an empty one. A full path (a set
// named on the command line or dropped on a window) is used as it is.
QString pathFor(const QString& fileName);

// Replaces the file at path with exactly these bytes, the way CloseSetFile saves.
// Raises the file error, naming the file, when that fails; the old file stays.
void replaceFile(const QString& path, const QByteArray& content);

// Whether a name in a set's folder is the new copy of a save of the set named
// setName (atomicsave.h) that was killed before it finished. Every save removes
// these.
bool isLeftoverOfSave(const QString& name, const QString& setName);

} // namespace QuestionSetFile

} // namespace qo
