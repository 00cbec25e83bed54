#include "apppath.h"

#include "nativefile.h"

#include <QCoreApplication>

namespace rt {

namespace {

struct Override {
    QString path;
    QByteArray native;
    bool set = false;
};

Override& testOverride() {
    static Override o;
    return o;
}

// A folder name in bytes as text, or empty when it doesn't survive the trip to text
// and back: the text would name another folder, or none.
QString decoded(const QByteArray& native) {
    const QString text = qo::NativeFile::decodeName(native);
    return qo::NativeFile::encodeName(text) == native ? text : QString();
}

// The executable's folder as the system names it, read once: the quiz asks for
// every question it shows. Empty where the system can't say.
const QByteArray& executableFolder() {
    static const QByteArray folder = qo::NativeFile::programsFolder();
    return folder;
}

} // namespace

QByteArray AppPathNative() {
    if (testOverride().set)
        return testOverride().native;
    const QByteArray& folder = executableFolder();
    if (!folder.isEmpty())
        return folder;
    return qo::NativeFile::encodeName(QCoreApplication::applicationDirPath());
}

QString AppPath() {
    if (testOverride().set)
        return testOverride().path;
    const QByteArray& folder = executableFolder();
    if (!folder.isEmpty())
        return decoded(folder);
    return QCoreApplication::applicationDirPath();
}

void setAppPathForTesting(const QString& path) {
    testOverride() = {path, qo::NativeFile::encodeName(path), !path.isEmpty()};
}

void setAppPathNativeForTesting(const QByteArray& path) {
    testOverride() = {decoded(path), path, !path.isEmpty()};
}

} // namespace rt
