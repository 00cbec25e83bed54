// The fixed shape of a question set that the quiz, the editor and dyr all rely on:
// how many records a set holds, how many the quiz asks, and the sets' file names.
#pragma once

#include <QFileInfo>
#include <QLatin1StringView>
#include <QString>

#include <array>

namespace qo {

// The records of a set: the editor keeps questions 1 to 21, and dyr writes 21.
constexpr int SetRecords = 21;

// The quiz asks records 1 to 5, in order.
constexpr int QuizLength = 5;

// The set files, in the programs' folder: the first and the second author's set,
// which both programs offer, and a third that only the editor offers.
constexpr std::array<QLatin1StringView, 3> SetFileNames{QLatin1StringView("varnikol.dyr"),
                                                        QLatin1StringView("tuvek.dyr"),
                                                        QLatin1StringView("neko.dyr")};

// The ending of a set file's name, which gives it its file type on the desktop: a set
// opened by a double click, named on the command line or dropped on a window.
constexpr QLatin1StringView SetFileSuffix(".dyr");

// Whether a file's name or path names a set file, in any case ("SET.DYR" too).
inline bool isSetFileName(const QString& name) {
    return name.endsWith(SetFileSuffix, Qt::CaseInsensitive);
}

// A set's title, as the page, the printed test and the editor name it: its file's
// name without ".dyr" ("moj.set" of "moj.set.dyr"; a name of another ending whole).
inline QString setTitle(const QString& path) {
    QString name = QFileInfo(path).fileName();
    if (isSetFileName(name))
        name.chop(SetFileSuffix.size());
    return name;
}

} // namespace qo
