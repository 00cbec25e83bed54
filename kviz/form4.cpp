#include "form4.h"

#include "program.h"

namespace kviz {

Form4::Form4(Program& program)
    : rt::Form({QStringLiteral("Form4"), QString(), 4800, 3600}), m_program(program) {}

void Form4::createControls(QWidget*) {}

} // namespace kviz
