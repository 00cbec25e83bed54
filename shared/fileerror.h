// The texts that say why a file could not be read or written, in the user's
// language, the same whatever system the programs run on.
#pragma once

#include "nativefile.h"

#include <QFileDevice>
#include <QString>

namespace qo::FileError {

// Why a system call failed.
QString reason(NativeFile::Error error);
// Why a Qt file operation failed, where the system gave no error of its own.
QString reason(QFileDevice::FileError error);
// What a name is instead of a regular file: "to je folder, a ne obicna datoteka".
QString notRegular(NativeFile::Kind kind);

} // namespace qo::FileError
