// Placeholder until this window is built.
#pragma once

#include "form.h"

namespace kviz {

class Program;

class Form3 : public rt::Form {
public:
    explicit Form3(Program& program);

protected:
    void createControls(QWidget* client) override;

private:
    Program& m_program;
};

} // namespace kviz
