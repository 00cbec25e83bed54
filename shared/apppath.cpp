#include "apppath.h"

#include <QCoreApplication>
#include <QFile>

#if defined(Q_OS_LINUX)
#include <unistd.h>
#endif

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
    const QString text = QFile::decodeName(native);
    return QFile::encodeName(text) == native ? text : QString();
}

#if defined(Q_OS_LINUX)
// The executable's folder as the system names it, read from the link /proc keeps to
// the executable; empty where there is no such link. Qt's own answer goes through a
// decoded name and comes back empty for a name that isn't valid UTF-8.
QByteArray readExecutableFolder() {
    QByteArray file(4096, Qt::Uninitialized);
    for (;;) {
        const ssize_t n = ::readlink("/proc/self/exe", file.data(), file.size());
        if (n < 0)
            return {};
        if (n < file.size()) {
            file.truncate(n);
            break;
        }
        file.resize(file.size() * 2);
    }
    const qsizetype slash = file.lastIndexOf('/');
    if (slash < 0)
        return {};
    return slash == 0 ? QByteArray("/") : file.left(slash);
}

// Read once: the quiz asks for every question it shows.
const QByteArray& linuxExecutableFolder() {
    static const QByteArray folder = readExecutableFolder();
    return folder;
}
#endif

} // namespace

QByteArray AppPathNative() {
    if (testOverride().set)
        return testOverride().native;
#if defined(Q_OS_LINUX)
    const QByteArray folder = linuxExecutableFolder();
    if (!folder.isEmpty())
        return folder;
#endif
    return QFile::encodeName(QCoreApplication::applicationDirPath());
}

QString AppPath() {
    if (testOverride().set)
        return testOverride().path;
#if defined(Q_OS_LINUX)
    const QByteArray folder = linuxExecutableFolder();
    if (!folder.isEmpty())
        return decoded(folder);
#endif
    return QCoreApplication::applicationDirPath();
}

void setAppPathForTesting(const QString& path) {
    testOverride() = {path, QFile::encodeName(path), !path.isEmpty()};
}

void setAppPathNativeForTesting(const QByteArray& path) {
    testOverride() = {decoded(path), path, !path.isEmpty()};
}

} // namespace rt
