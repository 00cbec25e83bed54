// The program's own folder, replaceable in tests.
#pragma once

#include <QByteArray>
#include <QString>

namespace rt {

// The folder of the running program, without a trailing separator except at a root.
// Empty when the folder's name can't be written as a path the file functions reach
// (a name that isn't valid in the system's encoding).
QString AppPath();
// The same folder as the system names it, in bytes (NativeFile::encodeName's form),
// also when AppPath is empty.
QByteArray AppPathNative();
// Points AppPath somewhere else; an empty path goes back to the real folder.
void setAppPathForTesting(const QString& path);
// The same, for a folder named in bytes, which may not decode.
void setAppPathNativeForTesting(const QByteArray& path);

} // namespace rt
