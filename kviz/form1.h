// Placeholder until this window is built.
#pragma once

#include "form.h"

namespace kviz {

class Program;

class Form1 : public rt::Form {
public:
    explicit Form1(Program& program);

protected:
    void createControls(QWidget* client) override;

private:
    Program& m_program;
};

} // namespace kviz
