// The quiz program's windows and program-wide state, alive for the whole run.
#pragma once

#include "form1.h"
#include "form2.h"
#include "form3.h"
#include "form4.h"
#include "module1.h"

namespace kviz {

class Program {
public:
    Program();

    // Loads and shows the start-up window.
    void start();

    Module1 module1;
    Form1 form1;
    Form2 form2;
    Form3 form3;
    Form4 form4;
};

} // namespace kviz
