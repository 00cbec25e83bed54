#include "program.h"

namespace editor {

Program::Program() : module1(*this), form1(*this) {}

void Program::start() {
    rt::startUp();
    rt::runHandler([this] { form1.Show(); });
}

} // namespace editor
