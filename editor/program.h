// The editor's window and program-wide state, alive for the whole run.
#pragma once

#include "form1.h"
#include "module1.h"

namespace editor {

class Program {
public:
    Program();

    // Loads and shows the editor window.
    void start();

    Module1 module1;
    Form1 form1;
};

} // namespace editor
