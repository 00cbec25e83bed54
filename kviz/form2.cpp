#include "form2.h"

#include "program.h"

namespace kviz {

Form2::Form2(Program& program)
    : rt::Form({QStringLiteral("Form2"), QString(), 4800, 3600}), m_program(program) {}

void Form2::createControls(QWidget*) {}

} // namespace kviz
