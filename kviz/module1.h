// Program-wide state of the quiz program.
#pragma once

#include <QString>

namespace kviz {

struct Module1 {
    // The bare name of the chosen question-set file; written only by the menu.
    QString SetFileName;
};

} // namespace kviz
