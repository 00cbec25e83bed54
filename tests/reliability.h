// What the reliability tests share: running the helper programs (setdriver,
// dyr) as processes of their own, under strace or as another user, and the
// Linux machinery for odd places: small and read-only mounts, locked files.
// Everything that needs root or strace says so, and the tests skip without it.
#pragma once

#include "testsupport.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

namespace reliability {

// The set name the tests save.
extern const QString SetName;
// A set of count records tagged with tag (see testsupport::taggedRecord).
QByteArray taggedSet(QChar tag, int count);
// The set before a save: 30 records tagged O, so records 22 to 30 lie past
// what the editor writes.
QByteArray oldSet();
// What the editor's save of questions tagged tag makes of oldSet().
QByteArray editorSaved(QChar tag);

// Files of the user's beside the set, named the way saves once named their
// temporary files; no save may remove or change them.
extern const QStringList UsersFiles;
// Puts them in the folder, each holding its own name.
void putUsersFiles(const QString& folder);
// The first of them that is gone or changed; empty when all are as they were put.
QString touchedUsersFile(const QString& folder);

using testsupport::isRoot;
// strace can trace and tamper with processes here (root, strace installed).
bool canStrace();

// How a process ended and what it printed.
struct Run {
    bool finished = false; // ended within the time allowed
    bool killed = false;   // ended by SIGKILL
    int exitCode = -1;     // when it ended normally
    QByteArray out;
    QByteArray err;
    // The value of a "key=value" line of the output; empty when there is none.
    QString value(const QString& key) const;
};

Run run(const QString& program, const QStringList& args, int timeoutMs = 30000);

// The helper program with the editor's save and the quiz's reading.
QString setdriver();
// The dyr tool.
QString dyrProgram();

// setdriver started with --wait: it has opened the set and waits to go on.
class WaitingDriver {
public:
    explicit WaitingDriver(const QStringList& driverArgs);
    ~WaitingDriver();
    WaitingDriver(const WaitingDriver&) = delete;
    WaitingDriver& operator=(const WaitingDriver&) = delete;

    // Whether it got as far as waiting; otherwise finish() tells what happened.
    bool ready() const { return m_ready; }
    qint64 processId() const;
    // Lets it go on, runs meanwhile, and waits for its end.
    Run finish(const std::function<void()>& meanwhile = {});

private:
    struct Private;
    Private* d;
    bool m_ready = false;
};

// Runs setdriver with --wait, attaches strace with the given options to it once
// it is ready, and lets it go on: strace sees only what follows, the save.
// meanwhile runs in the test right after the driver was let go.
Run runTracedDriver(const QStringList& driverArgs, const QStringList& straceOptions,
                    const std::function<void()>& meanwhile = {});

// One system call of a trace: its name and how many calls of that name the
// trace holds up to and including it, so that "when=" picks out exactly this one.
struct Call {
    QString name;
    int occurrence = 0;
    QString line;
};
// The calls of a strace output file, in order.
QList<Call> callsOf(const QString& traceFile);
// Waits until strace's output file holds the text, or the time is up. A call that
// strace holds up (delay_enter, delay_exit) is written there before it is held, so
// the text of that call says that the traced program now waits in it.
bool awaitTraced(const QString& traceFile, const QByteArray& text, int timeoutMs = 20000);

// The names in a folder, hidden ones included.
using testsupport::entries;

// A mount over a folder for as long as it lives (root only): a tmpfs of the given
// size, or the folder itself bound read-only.
class Mount {
public:
    static Mount tmpfs(const QString& folder, const QString& size);
    static Mount readOnlyBind(const QString& folder);
    Mount(Mount&& other) noexcept;
    Mount& operator=(Mount&&) = delete;
    ~Mount();
    bool ok() const { return m_ok; }
    bool remountReadOnly();

private:
    Mount(const QString& folder, bool mounted)
        : m_folder(folder), m_mounted(mounted), m_ok(mounted) {}
    QString m_folder;
    bool m_mounted = false;
    bool m_ok = false;
};

// The immutable attribute on a file or folder for as long as it lives (root).
class Immutable {
public:
    explicit Immutable(const QString& path);
    ~Immutable();
    Immutable(const Immutable&) = delete;
    Immutable& operator=(const Immutable&) = delete;
    bool ok() const { return m_ok; }

private:
    QString m_path;
    bool m_ok = false;
};

} // namespace reliability
