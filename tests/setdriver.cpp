// A helper the reliability tests start as a process of its own: it runs the
// editor's save and the quiz's reading as the programs do, so that a test can
// kill it at a system call, run it as another user, or run several at once.
//
//   setdriver editor-save FOLDER NAME TAG [--wait] [--as UID:GID:GROUP]
//       the editor opens the set NAME in FOLDER, every question gets the tag
//       TAG ("-" keeps them as read) and "&Snimi" saves; with --wait it prints
//       "ready" before the save and waits for SIGUSR1 (on Windows, for a line on
//       its standard input)
//   setdriver editor-open FOLDER NAME [--wait]
//       the editor's "&Otvori" on the set NAME; prints question 1 as shown
//   setdriver quiz FOLDER NAME
//       the quiz window plays the set: five questions, answer (A) each time
//   setdriver read-loop FOLDER NAME MINREADS READERDONE SAVERDONE[,SAVERDONE...]
//       reads records 1 to 5 as the quiz does, over and over, checking each;
//       creates READERDONE after MINREADS reads and stops once every SAVERDONE exists
//   setdriver save-loop FOLDER NAME TAGS MINSAVES READERDONE SAVERDONE
//       the editor saves the set again and again, the questions tagged with the
//       letters of TAGS in turn; stops after MINSAVES saves once READERDONE exists
//   setdriver hold FOLDER NAME MS
//       holds the set open as another program would (QFile: on Windows others may
//       read and write it but not delete or replace it), prints "held", and lets
//       it go after MS milliseconds
//
// Results are printed as "key=value" lines; a "Greska" box as "error=...".
#include "../editor/program.h"
#include "../kviz/program.h"
#include "apppath.h"
#include "questionsetfile.h"
#include "runtime.h"
#include "testsupport.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QFileInfo>
#include <QTextStream>
#include <QThread>

#include <csignal>
#include <cstdio>

#if defined(Q_OS_UNIX)
#include <grp.h>
#include <pthread.h>
#include <unistd.h>
#endif

namespace {

QTextStream& out() {
    static QTextStream stream(stdout);
    return stream;
}

void print(const QString& line) {
    out() << line << Qt::endl;
}

// The process's own counters: bytes read and written through system calls, and
// its peak resident memory.
void printCosts() {
    QFile io(QStringLiteral("/proc/self/io"));
    if (io.open(QIODevice::ReadOnly)) {
        for (const QByteArray& line : io.readAll().split('\n')) {
            if (line.startsWith("rchar:") || line.startsWith("wchar:"))
                print(QString::fromLatin1(line).replace(QStringLiteral(": "), QStringLiteral("=")));
        }
    }
    QFile status(QStringLiteral("/proc/self/status"));
    if (status.open(QIODevice::ReadOnly)) {
        for (const QByteArray& line : status.readAll().split('\n')) {
            if (line.startsWith("VmHWM:"))
                print(QStringLiteral("hwm_kb=") +
                      QString::fromLatin1(line.mid(6).trimmed()).split(QLatin1Char(' '))[0]);
        }
    }
}

// Runs a handler; false when it showed a "Greska" box, whose text is printed.
bool handled(testsupport::ScriptedResponder& responder, const std::function<void()>& handler) {
    responder.clear();
    rt::runHandler(handler);
    for (const testsupport::MessageCall& call : responder.calls()) {
        if (call.title == QStringLiteral("Greska")) {
            print(QStringLiteral("error=") +
                  QString(call.prompt).replace(QLatin1Char('\n'), QLatin1Char(' ')));
            return false;
        }
    }
    return true;
}

// The editor as at its start, with the set chosen; its boxes are answered by
// the responder.
struct Editor {
    explicit Editor(const QString& name) {
        program.start();
        program.form1.SetFileName = name;
    }
    bool open() {
        return handled(responder, [&] { program.form1.Command1_Click(); });
    }
    bool save() {
        return handled(responder, [&] { program.form1.Command2_Click(); });
    }
    // Gives every question of the table the tag and shows question 1 again.
    void tag(QChar tag) {
        for (int p = 0; p < qo::SetRecords; ++p)
            program.module1.QuestionTable[p] = testsupport::taggedRecord(p + 1, tag);
        program.form1.Text1->setTextValue(QStringLiteral("1"));
        program.module1.RecordToForm();
    }

    testsupport::ScriptedResponder responder;
    editor::Program program;
};

bool dropPrivileges(const QString& who) {
#if defined(Q_OS_UNIX)
    const QStringList ids = who.split(QLatin1Char(':'));
    if (ids.size() != 3)
        return false;
    const gid_t group = ids[2].toUInt();
    return ::setgroups(1, &group) == 0 && ::setgid(ids[1].toUInt()) == 0 &&
           ::setuid(ids[0].toUInt()) == 0;
#else
    Q_UNUSED(who);
    return false;
#endif
}

void waitForSignal() {
#if defined(Q_OS_UNIX)
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGUSR1);
    int signal = 0;
    sigwait(&set, &signal);
#else
    // Where there are no signals, a line on standard input says go on.
    char line[16];
    if (!std::fgets(line, sizeof line, stdin)) {
        // standard input closed: go on as well
    }
#endif
}

int editorSave(const QStringList& args, bool wait) {
    Editor editor(args[0]);
    if (!editor.open())
        return 3;
    if (args[1] != QStringLiteral("-"))
        editor.tag(args[1].at(0));
    if (wait) {
        print(QStringLiteral("ready"));
        waitForSignal();
    }
    const bool saved = editor.save();
    if (saved)
        print(QStringLiteral("saved"));
    printCosts();
    return saved ? 0 : 3;
}

int editorOpen(const QStringList& args, bool wait) {
    Editor editor(args[0]);
    if (wait) {
        print(QStringLiteral("ready"));
        waitForSignal();
    }
    if (!editor.open())
        return 3;
    print(QStringLiteral("question=") + editor.program.form1.Text2->Text());
    return 0;
}

int quiz(const QStringList& args) {
    testsupport::ScriptedResponder responder;
    kviz::Program program;
    program.module1.SetFileName = args[0];
    if (!handled(responder, [&] { program.form3.Show(); }))
        return 3;
    for (int k = 0; k < 5; ++k) {
        program.form3.Option1(0)->setValue(-1);
        if (!handled(responder, [&] { program.form3.Command1_Click(); }))
            return 3;
    }
    print(QStringLiteral("played=%1").arg(program.form3.QuizFinished != 0 ? 5 : 0));
    printCosts();
    return 0;
}

bool allExist(const QStringList& paths) {
    for (const QString& path : paths) {
        if (!QFileInfo::exists(path))
            return false;
    }
    return true;
}

int readLoop(const QStringList& args) {
    const long long minReads = args[1].toLongLong();
    const QString readerDone = args[2];
    const QStringList saversDone = args[3].split(QLatin1Char(','));
    long long reads = 0, mixed = 0, shortReads = 0, errors = 0;
    QMap<QChar, long long> seen;
    QDeadlineTimer deadline(90000);
    bool signalled = false;
    while (!(signalled && allExist(saversDone))) {
        if (deadline.hasExpired()) {
            print(QStringLiteral("timeout=1"));
            break;
        }
        for (int k = 1; k <= 5; ++k) {
            qo::QuestionRecord record;
            try {
                qo::QuestionSetFile file;
                file.OpenSetFileForReading(args[0]);
                file.ReadQuestion(k, record);
                file.CloseSetFile();
            } catch (const rt::RuntimeError& e) {
                if (++errors == 1)
                    print(QStringLiteral("first_error=") +
                          QString(e.message()).replace(QLatin1Char('\n'), QLatin1Char(' ')));
                continue;
            }
            ++reads;
            const QChar tag = testsupport::tagOf(record, k);
            if (!tag.isNull())
                ++seen[tag];
            else if (record == qo::QuestionRecord())
                ++shortReads;
            else
                ++mixed;
        }
        if (!signalled && reads >= minReads) {
            QFile flag(readerDone);
            signalled = flag.open(QIODevice::WriteOnly);
        }
    }
    print(QStringLiteral("reads=%1").arg(reads));
    print(QStringLiteral("mixed=%1").arg(mixed));
    print(QStringLiteral("short=%1").arg(shortReads));
    print(QStringLiteral("errors=%1").arg(errors));
    print(QStringLiteral("versions=%1").arg(seen.size()));
    return 0;
}

int saveLoop(const QStringList& args) {
    const QString tags = args[1];
    const long long minSaves = args[2].toLongLong();
    Editor editor(args[0]);
    if (!editor.open())
        return 3;
    long long saves = 0, failures = 0;
    QChar last;
    QDeadlineTimer deadline(90000);
    while (saves < minSaves || !QFileInfo::exists(args[3])) {
        if (deadline.hasExpired()) {
            print(QStringLiteral("timeout=1"));
            break;
        }
        const QChar tag = tags.at((saves + failures) % tags.size());
        editor.tag(tag);
        if (editor.save()) {
            ++saves;
            last = tag;
        } else {
            ++failures;
        }
    }
    QFile flag(args[4]);
    if (!flag.open(QIODevice::WriteOnly))
        return 4;
    print(QStringLiteral("saves=%1").arg(saves));
    print(QStringLiteral("failures=%1").arg(failures));
    print(QStringLiteral("last=%1").arg(last));
    return 0;
}

int hold(const QStringList& args) {
    QFile file(rt::AppPath() + QLatin1Char('/') + args[0]);
    if (!file.open(QIODevice::ReadOnly)) {
        print(QStringLiteral("error=") + file.errorString());
        return 3;
    }
    print(QStringLiteral("held"));
    QThread::msleep(args[1].toULong());
    return 0;
}

} // namespace

int main(int argc, char** argv) {
#if defined(Q_OS_UNIX)
    // Blocked before Qt starts any thread, so only sigwait ever takes it.
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGUSR1);
    pthread_sigmask(SIG_BLOCK, &set, nullptr);
#endif
    QApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    bool wait = false;
    QString runAs;
    for (int i = args.size() - 1; i >= 0; --i) {
        if (args[i] == QStringLiteral("--wait")) {
            wait = true;
            args.removeAt(i);
        } else if (args[i] == QStringLiteral("--as") && i + 1 < args.size()) {
            runAs = args[i + 1];
            args.remove(i, 2);
        }
    }
    if (!runAs.isEmpty() && !dropPrivileges(runAs)) {
        print(QStringLiteral("error=cannot run as %1").arg(runAs));
        return 5;
    }
    const QString mode = args.value(0);
    args.removeFirst();
    if (args.size() >= 2)
        rt::setAppPathForTesting(args.takeFirst());
    if (mode == QStringLiteral("hold") && args.size() == 2)
        return hold(args);
    if (mode == QStringLiteral("editor-save") && args.size() == 2)
        return editorSave(args, wait);
    if (mode == QStringLiteral("editor-open") && args.size() == 1)
        return editorOpen(args, wait);
    if (mode == QStringLiteral("quiz") && args.size() == 1)
        return quiz(args);
    if (mode == QStringLiteral("read-loop") && args.size() == 4)
        return readLoop(args);
    if (mode == QStringLiteral("save-loop") && args.size() == 5)
        return saveLoop(args);
    std::fprintf(stderr, "usage: see the comment at the top of setdriver.cpp\n");
    return 2;
}
