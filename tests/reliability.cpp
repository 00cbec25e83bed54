#include "reliability.h"

#include "testsupport.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QRegularExpression>
#include <QThread>

#if defined(Q_OS_UNIX)
#include <csignal>
#include <sys/types.h>
#include <unistd.h>
#endif

namespace reliability {

namespace {

QProcessEnvironment offscreen() {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    return env;
}

void awaitEnd(QProcess& process, Run& result, int timeoutMs) {
    result.finished = process.waitForFinished(timeoutMs);
    if (!result.finished) {
        process.kill();
        process.waitForFinished(5000);
    }
    result.out += process.readAllStandardOutput();
    result.err += process.readAllStandardError();
#if defined(Q_OS_UNIX)
    result.killed = process.exitStatus() == QProcess::CrashExit && process.exitCode() == SIGKILL;
#endif
    if (process.exitStatus() == QProcess::NormalExit)
        result.exitCode = process.exitCode();
}

// Reads a process's channel until it holds the text, or the time is up.
bool waitFor(QProcess& process, QProcess::ProcessChannel channel, const QByteArray& text,
             QByteArray& seen, int timeoutMs) {
    process.setReadChannel(channel);
    QDeadlineTimer deadline(timeoutMs);
    while (!seen.contains(text)) {
        if (deadline.hasExpired() || process.state() == QProcess::NotRunning)
            return false;
        process.waitForReadyRead(50);
        seen += process.readAll();
        seen.replace("\r", ""); // the line ends of Windows' text mode
    }
    return true;
}

} // namespace

const QString SetName = QStringLiteral("varnikol.dyr");

QByteArray taggedSet(QChar tag, int count) {
    QByteArray bytes;
    for (int k = 1; k <= count; ++k)
        bytes += testsupport::taggedRecord(k, tag).toBytes();
    return bytes;
}

QByteArray oldSet() {
    return taggedSet(QLatin1Char('O'), 30);
}

QByteArray editorSaved(QChar tag) {
    return taggedSet(tag, 21) + oldSet().mid(21 * qo::RecordLength);
}

const QStringList UsersFiles = {
    QStringLiteral("varnikol.dyr.backup"), QStringLiteral("varnikol.dyr.kopija"),
    QStringLiteral("varnikol.dyr.abcdef"), QStringLiteral(".varnikol.dyr.1-2.new")};

void putUsersFiles(const QString& folder) {
    for (const QString& name : UsersFiles)
        testsupport::writeAll(QDir(folder).filePath(name), name.toUtf8());
}

QString touchedUsersFile(const QString& folder) {
    for (const QString& name : UsersFiles) {
        if (testsupport::readAll(QDir(folder).filePath(name)) != name.toUtf8())
            return name;
    }
    return {};
}

QString Run::value(const QString& key) const {
    const QByteArray prefix = key.toUtf8() + '=';
    for (const QByteArray& line : out.split('\n')) {
        if (line.startsWith(prefix))
            return QString::fromUtf8(line.mid(prefix.size())).remove(QLatin1Char('\r'));
    }
    return {};
}

bool canStrace() {
    if (!isRoot())
        return false;
    const Run version = run(QStringLiteral("strace"), {QStringLiteral("-V")}, 10000);
    return version.finished && version.exitCode == 0;
}

Run run(const QString& program, const QStringList& args, int timeoutMs) {
    QProcess process;
    process.setProcessEnvironment(offscreen());
    process.start(program, args);
    Run result;
    if (!process.waitForStarted(10000))
        return result;
    awaitEnd(process, result, timeoutMs);
    return result;
}

QString setdriver() {
    return QStringLiteral(QO_SETDRIVER);
}

QString dyrProgram() {
    return QStringLiteral(QO_DYR);
}

struct WaitingDriver::Private {
    QProcess process;
    QByteArray out;
};

WaitingDriver::WaitingDriver(const QStringList& driverArgs) : d(new Private) {
    d->process.setProcessEnvironment(offscreen());
    d->process.start(setdriver(), driverArgs + QStringList{QStringLiteral("--wait")});
    m_ready = waitFor(d->process, QProcess::StandardOutput, "ready\n", d->out, 20000);
}

WaitingDriver::~WaitingDriver() {
    if (d->process.state() != QProcess::NotRunning) {
        d->process.kill();
        d->process.waitForFinished(5000);
    }
    delete d;
}

qint64 WaitingDriver::processId() const {
    return d->process.processId();
}

Run WaitingDriver::finish(const std::function<void()>& meanwhile) {
    Run result;
#if defined(Q_OS_UNIX)
    if (m_ready)
        ::kill(static_cast<pid_t>(d->process.processId()), SIGUSR1);
#else
    // Without signals the driver waits for a line on its standard input.
    if (m_ready)
        d->process.write("go\n");
#endif
    if (meanwhile)
        meanwhile();
    result.out = d->out;
    d->process.setReadChannel(QProcess::StandardOutput);
    awaitEnd(d->process, result, 20000);
    return result;
}

Run runTracedDriver(const QStringList& driverArgs, const QStringList& straceOptions,
                    const std::function<void()>& meanwhile) {
    WaitingDriver driver(driverArgs);
    if (!driver.ready())
        return driver.finish();
    QProcess strace;
    strace.start(QStringLiteral("strace"),
                 straceOptions +
                     QStringList{QStringLiteral("-p"), QString::number(driver.processId())});
    QByteArray straceErr;
    const bool attached = waitFor(strace, QProcess::StandardError, "attached", straceErr, 20000);
    Run result = driver.finish(meanwhile);
    strace.waitForFinished(20000);
    if (!attached)
        result.finished = false;
    return result;
}

QList<Call> callsOf(const QString& traceFile) {
    QList<Call> calls;
    QFile file(traceFile);
    if (!file.open(QIODevice::ReadOnly))
        return calls;
    static const QRegularExpression call(QStringLiteral("^([a-z_][a-z0-9_]*)\\("));
    QHash<QString, int> counts;
    for (const QByteArray& raw : file.readAll().split('\n')) {
        const QString line = QString::fromUtf8(raw);
        const QRegularExpressionMatch match = call.match(line);
        if (!match.hasMatch())
            continue;
        const QString name = match.captured(1);
        calls.append({name, ++counts[name], line});
    }
    return calls;
}

bool awaitTraced(const QString& traceFile, const QByteArray& text, int timeoutMs) {
    QDeadlineTimer deadline(timeoutMs);
    while (!deadline.hasExpired()) {
        QFile file(traceFile);
        if (file.open(QIODevice::ReadOnly) && file.readAll().contains(text))
            return true;
        QThread::msleep(5);
    }
    return false;
}

Mount Mount::tmpfs(const QString& folder, const QString& size) {
    const bool ok =
        isRoot() && run(QStringLiteral("mount"),
                        {QStringLiteral("-t"), QStringLiteral("tmpfs"), QStringLiteral("-o"),
                         QStringLiteral("size=") + size, QStringLiteral("tmpfs"), folder})
                            .exitCode == 0;
    return Mount(folder, ok);
}

Mount Mount::readOnlyBind(const QString& folder) {
    bool ok =
        isRoot() &&
        run(QStringLiteral("mount"), {QStringLiteral("--bind"), folder, folder}).exitCode == 0;
    Mount mount(folder, ok);
    if (ok)
        mount.m_ok = mount.remountReadOnly();
    return mount;
}

Mount::Mount(Mount&& other) noexcept
    : m_folder(other.m_folder), m_mounted(other.m_mounted), m_ok(other.m_ok) {
    other.m_mounted = false;
}

Mount::~Mount() {
    if (m_mounted)
        run(QStringLiteral("umount"), {m_folder});
}

bool Mount::remountReadOnly() {
    return run(QStringLiteral("mount"),
               {QStringLiteral("-o"), QStringLiteral("remount,ro,bind"), m_folder})
               .exitCode == 0;
}

Immutable::Immutable(const QString& path) : m_path(path) {
    m_ok = isRoot() && run(QStringLiteral("chattr"), {QStringLiteral("+i"), path}).exitCode == 0;
}

Immutable::~Immutable() {
    if (m_ok)
        run(QStringLiteral("chattr"), {QStringLiteral("-i"), m_path});
}

} // namespace reliability
