// dyr's manual page, made from its help text so that the two never drift apart.
#pragma once

#include <QString>

namespace dyr {

// The help text as a man(7) page: its first line is the NAME, the usage's commands
// the SYNOPSIS and the start of the DESCRIPTION, each heading in capitals a
// section, indented lines examples kept as they stand.
QString manPage(const QString& help, const QString& version, const QString& date);

} // namespace dyr
