#include "form1.h"

#include "program.h"

namespace kviz {

Form1::Form1(Program& program)
    : rt::Form({QStringLiteral("Form1"), QString(), 4800, 3600}), m_program(program) {}

void Form1::createControls(QWidget*) {}

} // namespace kviz
