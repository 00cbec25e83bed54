// What went wrong with a file, as data (what failed, the file, why, what the system
// said), and the one place that words it for the user: Serbian, one line, naming
// the file. The windows' error report and dyr both say it in these words.
#pragma once

#include "nativefile.h"

#include <QString>
#include <QtGlobal>

namespace qo {

struct FileFault {
    // What failed.
    enum class What {
        Open,        // the file could not be opened
        Missing,     // the file to read is not there
        Create,      // a missing set could not be made
        Read,        // reading it failed
        TooLarge,    // it is larger than any set or question source (limit)
        NoInput,     // there is no standard input to read
        Save,        // saving it failed; the old file stays as it was
        Refused,     // the quiz refuses the set; reason says why
        AlreadyOpen, // another set file is open
        NotOpen,     // no set file is open
        NoSetFolder, // there is no folder for the sets
    };
    // Why, where the system's error alone doesn't say it.
    enum class Why {
        System,        // error says why (or nothing is known when it is 0)
        NotRegular,    // the name is kind, not a regular file
        DanglingLink,  // the name is a link to a file that isn't there
        FolderMissing, // folder does not exist
        FolderRefuses, // no file may be made in folder (error says why)
        OldUnreadable, // the old version could not be read for the new one (error)
        NotOnDisk,     // the new version could not be pushed to the disk (error)
        NotReplaced,   // the new version could not take the old one's place (error)
        KeptAside,     // as NotReplaced, with the old one gone: the new one is keptAs
    };

    FileFault() = default;
    FileFault(What what, QString file, NativeFile::Error error = 0)
        : what(what), file(std::move(file)), error(error) {}
    FileFault(What what, QString file, Why why, NativeFile::Kind kind = NativeFile::Kind::Regular)
        : what(what), file(std::move(file)), why(why), kind(kind) {}

    What what = What::Open;
    // The file as the user knows it: its name in the set folder, or the path typed.
    QString file;
    Why why = Why::System;
    NativeFile::Error error = 0;
    NativeFile::Kind kind = NativeFile::Kind::Regular;
    QString folder;
    QString keptAs;
    qint64 limit = 0;
    // The file is standard input (dyr's "-"), which has no name.
    bool standardInput = false;
    // Why a rule of the programs refused the file, in that rule's own words (a
    // sentence): where the file itself is sound but what it holds is not.
    QString reason;

    static FileFault refused(const QString& file, const QString& reason) {
        FileFault fault(What::Refused, file);
        fault.reason = reason;
        return fault;
    }
};

// The fault in words: "datoteka "varnikol.dyr" nije snimljena: nema dovoljno mesta na
// disku". One line, starting in lower case and, but for a rule's reason, without a
// closing period, so that a window makes a sentence of it and a command puts it
// after its name.
QString describe(const FileFault& fault);

// Why a system call failed, in the user's words: "nema dozvole".
QString causeText(NativeFile::Error error);

} // namespace qo
