#include "setfolder.h"

#include "apppath.h"
#include "buildconfig.h"
#include "nativefile.h"
#include "setshape.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryFile>

namespace qo::SetFolder {

namespace {

// Copies a set into the user's folder unless a file of that name is there; the copy
// appears whole or not at all, and never in place of a file that appeared meanwhile.
bool copyIfAbsent(const QByteArray& source, const QString& target) {
    // Only a regular file is copied: a folder, a FIFO or a device of a set's name
    // (also behind a link) is passed over without waiting on it.
    NativeFile::Reader in;
    if (!in.openNative(source))
        return false;
    QTemporaryFile out(target + QStringLiteral(".XXXXXX"));
    if (!out.open())
        return false;
    QByteArray buffer(64 * 1024, Qt::Uninitialized);
    for (qint64 at = 0;;) {
        qint64 n = 0;
        if (!in.readAt(at, buffer.data(), buffer.size(), &n))
            return false;
        if (n == 0)
            break;
        if (out.write(buffer.constData(), n) != n)
            return false;
        at += n;
    }
    if (!out.flush())
        return false;
    // The user's own copy: editable by the user whatever the source's mode.
    out.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther);
    // Renaming refuses a target that exists; a renamed temporary file would still be
    // removed with the object unless told otherwise.
    if (!out.rename(target))
        return false;
    out.setAutoRemove(false);
    return true;
}

void seed(const QString& folder) {
    const QByteArray programs = rt::AppPathNative();
    if (programs.isEmpty())
        return;
    const QList<QByteArray> sources = {programs, programs + "/" QO_SHIPPED_SETS_RELATIVE};
    for (const QLatin1StringView name : SetFileNames) {
        const QString target = folder + QLatin1Char('/') + name;
        const QFileInfo existing(target);
        if (existing.exists() || existing.isSymLink())
            continue;
        for (const QByteArray& source : sources) {
            if (copyIfAbsent(source + '/' + QByteArray(name.data(), name.size()), target))
                break;
        }
    }
}

// Whether the programs run from an install, which keeps the shipped sets apart from
// them: an install's folder is no place for sets even where it can be written (by
// root, or under a prefix the user owns).
bool isInstalled(const QString& programs) {
    return QFileInfo(programs + QStringLiteral("/" QO_SHIPPED_SETS_RELATIVE)).isDir();
}

QString choose(const QString& programs, const QString& user) {
    if (!programs.isEmpty()) {
        // A programs' folder that has gone (moved while the program runs) keeps its
        // name, so that opening a set fails with a message instead of finding
        // another set.
        if (!QFileInfo(programs).isDir())
            return programs;
        if (!isInstalled(programs) && NativeFile::isWritableFolder(programs))
            return programs;
    }
    if (user.isEmpty())
        return QString();
    if (QDir().mkpath(user))
        seed(user);
    return user;
}

QString& dataLocationForTesting() {
    static QString folder;
    return folder;
}

} // namespace

void setDataLocationForTesting(const QString& folder) {
    dataLocationForTesting() = folder;
}

QString userFolder() {
    const QString data =
        !dataLocationForTesting().isEmpty()
            ? dataLocationForTesting()
            : QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    if (data.isEmpty())
        return QString();
    return data + QStringLiteral("/" QO_SET_FOLDER_NAME);
}

QString path() {
    struct Choice {
        QString programs;
        QString user;
        QString folder;
        bool made = false;
    };
    static Choice choice;
    const QString programs = rt::AppPath();
    const QString user = userFolder();
    if (!choice.made || choice.programs != programs || choice.user != user)
        choice = {programs, user, choose(programs, user), true};
    return choice.folder;
}

} // namespace qo::SetFolder
