#include "program.h"

namespace kviz {

Program::Program() : form1(*this), form2(*this), form3(*this), form4(*this) {}

void Program::start() {
    rt::startUp();
    rt::runHandler([this] { form1.Show(); });
}

} // namespace kviz
