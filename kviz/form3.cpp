#include "form3.h"

#include "program.h"

namespace kviz {

Form3::Form3(Program& program)
    : rt::Form({QStringLiteral("Form3"), QString(), 4800, 3600}), m_program(program) {}

void Form3::createControls(QWidget*) {}

} // namespace kviz
