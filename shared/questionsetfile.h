// Reading and writing question-set files: headerless runs of 412-byte records.
//
// One set file is open at a time. Writes collect in memory and reach the disk
// all at once when the file is closed, so a set is never left half-written.
#pragma once

#include "questionrecord.h"

#include <QString>

namespace qo {

namespace QuestionSetFile {

// Opens the named file in the program's folder; a file that does not exist is
// created empty. Raises the file error when it can't be opened or created, or
// when a set file is already open.
void OpenSetFile(const QString& fileName);

// Reads record n (from 1). A record wholly or partly past the end of the file
// reads as all zeros.
void ReadQuestion(int n, QuestionRecord& record);

// Writes record n, extending the file where needed; other bytes stay as they are.
void WriteQuestion(int n, const QuestionRecord& record);

// Closes the file. When anything was written, the whole new content replaces the
// old file at once; if that fails the old file stays as it was and the file
// error is raised. The file is closed either way.
void CloseSetFile();

// Closes the file without writing anything (after a handler failed half-way).
void abandon();

bool isOpen();

// The full path OpenSetFile uses for a name: the set folder (setfolder.h), a
// separator and the name, joined as they are. Raises the file error when there is
// no set folder, rather than joining the name onto an empty one.
QString pathFor(const QString& fileName);

} // namespace QuestionSetFile

} // namespace qo
