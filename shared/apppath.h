// The program's own folder, replaceable in tests.
#pragma once

#include <QString>

namespace rt {

// The folder of the running program, without a trailing separator except at a root.
QString AppPath();
// Points AppPath somewhere else; an empty path goes back to the real folder.
void setAppPathForTesting(const QString& path);

} // namespace rt
