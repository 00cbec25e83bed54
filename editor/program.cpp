#include "program.h"

namespace editor {

Program::Program() : module1(*this), form1(*this) {}

void Program::start(const QStringList& files) {
    rt::startUp();
    rt::runHandler([this] { form1.Show(); });
    if (!files.isEmpty() && form1.isLoaded())
        rt::runHandler([this, &files] { form1.takeFiles(files); });
}

} // namespace editor
