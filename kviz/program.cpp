#include "program.h"

namespace kviz {

Program::Program() : form1(*this), form2(*this), form3(*this), form4(*this) {}

void Program::start() {
    // Until the menu exists the quiz opens straight on the first author's set.
    module1.SetFileName = QStringLiteral("varnikol.dyr");
    rt::runHandler([this] { form3.Show(); });
}

} // namespace kviz
