// The quiz program's windows and program-wide state, alive for the whole run.
#pragma once

#include "form1.h"
#include "form2.h"
#include "form3.h"
#include "form4.h"
#include "module1.h"

#include <QStringList>

namespace kviz {

class Program {
public:
    Program();

    // Loads and shows the start-up window. A set named on the command line (the
    // first of them) is played when the splash hands over, instead of the menu.
    void start(const QStringList& namedSets = {});

    // Opens the quiz window on the set named at the start, once: false, with the quiz
    // window's report of the fault, when it can't be played, and when none was named.
    bool playNamedSet();

    // A set's file as the quiz window opens it: its full path, in the system's own
    // form, whatever folder the program runs in later.
    static QString fullPath(const QString& file);

    Module1 module1;
    Form1 form1;
    Form2 form2;
    Form3 form3;
    Form4 form4;

private:
    QString m_namedSet;
    QStringList m_notPlayed; // further sets named on the command line
};

} // namespace kviz
