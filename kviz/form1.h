// The start-up splash: the credit line and the title banner for one second, then the menu
// (or the quiz, on a set named when the program started).
#pragma once

#include "controls.h"
#include "form.h"

namespace kviz {

class Program;

class Form1 : public rt::Form {
public:
    explicit Form1(Program& program);

    // The single tick: builds and shows the menu (or the quiz on a named set) while
    // the splash still stands, then unloads the splash, which takes the timer with it.
    void Timer1_Timer();

protected:
    void createControls(QWidget* client) override;
    void releaseControls() override;

private:
    Program& m_program;
    rt::Frame* Frame1 = nullptr;
    QLabel* Picture1 = nullptr;
    rt::Timer* Timer1 = nullptr;
};

} // namespace kviz
