// Reading and writing question-set files: headerless runs of 412-byte records.
//
// A handler opens a set file as an object of its own, which lets go of the file when
// it goes out of scope. One set file is open at a time. A read fetches just the
// record asked for. Written records collect in memory; closing builds a new copy of
// the file from them and from the rest of the old file, streamed across, and puts the
// copy in the old file's place at once, so a set is never left half-written.
#pragma once

#include "questionrecord.h"

#include <QByteArray>
#include <QString>

#include <memory>

namespace qo {

class QuestionSetFile {
public:
    static constexpr int RecordLength = qo::RecordLength;

    QuestionSetFile();
    // Lets go of the file; records written but not closed are dropped, so a handler
    // that failed half-way leaves the file on disk whole.
    ~QuestionSetFile();
    QuestionSetFile(const QuestionSetFile&) = delete;
    QuestionSetFile& operator=(const QuestionSetFile&) = delete;

    // Opens the named file in the program's folder (a full path: that file); a file
    // that does not exist is created empty (never truncating one that appeared meanwhile). Raises
    // the file error when it can't be opened or created, when it is not a regular file, or when a
    // set file is already open.
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

    // Whether a set file is open anywhere in the program.
    static bool isOpen();

    // The full path OpenSetFile uses for a name: the set folder (setfolder.h), a
    // separator and the name, joined as they are; a full path (a file the user chose
    // anywhere) stays as it is. Raises the file error when there is no set folder,
    // rather than joining the name onto an empty one.
    static QString pathFor(const QString& fileName);

    // Replaces the file at path with exactly these bytes, the way CloseSetFile saves.
    // Raises the file error, naming the file as name, when that fails; the old file
    // stays.
    static void replaceFile(const QString& path, const QByteArray& content, const QString& name);

private:
    void open(const QString& fileName, bool create);

    struct Open;
    std::unique_ptr<Open> m_open;
};

} // namespace qo
