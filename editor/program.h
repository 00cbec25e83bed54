// The editor's window and program-wide state, alive for the whole run.
#pragma once

#include "form1.h"
#include "module1.h"

#include <QStringList>

namespace editor {

class Program {
public:
    Program();

    // Loads and shows the editor window; files named on the command line are then
    // opened as a drop on the window opens them.
    void start(const QStringList& files = {});

    Module1 module1;
    Form1 form1;
};

} // namespace editor
