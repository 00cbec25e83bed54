// Placeholder until this window is built.
#pragma once

#include "form.h"

namespace kviz {

class Program;

class Form4 : public rt::Form {
public:
    explicit Form4(Program& program);

protected:
    void createControls(QWidget* client) override;

private:
    Program& m_program;
};

} // namespace kviz
