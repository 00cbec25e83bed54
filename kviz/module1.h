// Program-wide state of the quiz program.
#pragma once

#include <QString>

namespace kviz {

struct Module1 {
    // The chosen question-set file: the bare name of an author's set in the set folder,
    // or the full path of a set named on the command line or dropped on the menu.
    QString SetFileName;
};

} // namespace kviz
