// Saves cut short: the editor's save and "dyr build" killed at each of their system
// calls in turn, and their writes, sync and rename failing. The set on disk is
// always one whole version, nothing is left behind once the next save ran, and the
// user's own files beside the set are never touched.
// Needs root and strace (strace's fault injection); skips without them.
#include "apppath.h"
#include "dyr.h"
#include "questionsetfile.h"
#include "reliability.h"
#include "testsupport.h"

#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTest>

using namespace reliability;
using testsupport::readAll;
using testsupport::taggedRecord;
using testsupport::writeAll;

namespace {

// Calls whose number in a run is the allocator's or the scheduler's, not the
// save's: the n-th of them in one run need not come in the next, so no kill
// point is put on them (a kill there is a kill between the save's own calls).
bool variesFromRunToRun(const Call& call) {
    static const QStringList names = {QStringLiteral("brk"),     QStringLiteral("mmap"),
                                      QStringLiteral("munmap"),  QStringLiteral("mremap"),
                                      QStringLiteral("madvise"), QStringLiteral("mprotect"),
                                      QStringLiteral("futex"),   QStringLiteral("sched_yield")};
    return names.contains(call.name);
}

// The calls of the editor's save in a trace of the driver, which strace joined
// while it waited: everything up to its report, but for the end of the wait
// (when strace saw it).
QList<Call> editorSaveCalls(const QString& trace) {
    QList<Call> window;
    for (const Call& call : callsOf(trace)) {
        if (window.isEmpty() && (call.name == QStringLiteral("rt_sigtimedwait") ||
                                 call.name == QStringLiteral("restart_syscall")))
            continue;
        if (call.line.startsWith(QStringLiteral("write(1,")))
            break;
        if (!variesFromRunToRun(call))
            window.append(call);
    }
    return window;
}

// The calls of "dyr build" proper in a trace of the whole run: from its first
// look at the set's folder (after the start, which names the set too) to its report.
QList<Call> dyrBuildCalls(const QString& trace, const QString& folder) {
    QList<Call> window;
    bool inside = false;
    for (const Call& call : callsOf(trace)) {
        if (call.name == QStringLiteral("execve"))
            continue;
        inside = inside || call.line.contains(folder);
        if (!inside)
            continue;
        if (call.line.startsWith(QStringLiteral("write(1,")))
            break;
        if (!variesFromRunToRun(call))
            window.append(call);
    }
    return window;
}

QString inject(const Call& call, const QString& what) {
    return QStringLiteral("inject=%1:%2:when=%3").arg(call.name, what).arg(call.occurrence);
}

// One of the two programs that save a set: the editor ("&Snimi" on questions
// tagged N) or "dyr build" (a text of 21 records tagged N), each saving over
// oldSet() in a folder of its own.
class Saver {
public:
    explicit Saver(bool editor)
        : m_editor(editor), m_folder(m_dir.path()), m_set(m_dir.filePath(SetName)) {
        QList<qo::QuestionRecord> records;
        for (int k = 1; k <= 21; ++k)
            records.append(taggedRecord(k, QLatin1Char('N')));
        m_source = m_scratch.filePath(QStringLiteral("izvor.txt"));
        writeAll(m_source, dyr::format(records).toUtf8());
    }

    const QString& folder() const { return m_folder; }
    const QString& set() const { return m_set; }
    // What a save that ran to its end leaves.
    QByteArray saved() const {
        return m_editor ? editorSaved(QLatin1Char('N')) : taggedSet(QLatin1Char('N'), 21);
    }

    // Puts the old set and the user's files back and clears everything else out of
    // the folder.
    void reset() const {
        for (const QString& name : entries(m_folder))
            QFile::remove(QDir(m_folder).filePath(name));
        writeAll(m_set, oldSet());
        putUsersFiles(m_folder);
    }

    // What the folder holds once a save is over: the set and the user's files.
    static QStringList clean() {
        QStringList names = UsersFiles + QStringList{SetName};
        names.sort();
        return names;
    }

    // The save under strace with these options.
    Run save(const QStringList& straceOptions) const {
        if (m_editor)
            return runTracedDriver(
                {QStringLiteral("editor-save"), m_folder, SetName, QStringLiteral("N")},
                straceOptions);
        return run(QStringLiteral("strace"),
                   straceOptions +
                       QStringList{dyrProgram(), QStringLiteral("build"), m_source, m_set});
    }

    // The system calls of a save, listed by a run under strace.
    QList<Call> calls() const {
        reset();
        const QString trace = m_scratch.filePath(QStringLiteral("listing.trace"));
        const Run listing = save({QStringLiteral("-o"), trace});
        if (listing.exitCode != 0 || readAll(m_set) != saved())
            return {};
        return m_editor ? editorSaveCalls(trace) : dyrBuildCalls(trace, m_folder);
    }

    // The message of a failed save, and whether the program said it failed.
    QString failure(const Run& run) const {
        if (m_editor)
            return run.exitCode == 3 ? run.value(QStringLiteral("error")) : QString();
        return run.exitCode == 2 ? QString::fromUtf8(run.err) : QString();
    }

    // The next save, by the same program.
    void saveAgain() const { saveAgainIn(m_folder); }

    // The same in another folder: record 1 tagged M over the set there.
    void saveAgainIn(const QString& folder) const {
        if (m_editor) {
            rt::setAppPathForTesting(folder);
            qo::QuestionSetFile file;
            file.OpenSetFile(SetName);
            file.WriteQuestion(1, taggedRecord(1, QLatin1Char('M')));
            file.CloseSetFile();
            rt::setAppPathForTesting(QString());
        } else {
            qo::FileFault fault;
            dyr::writeSet({taggedRecord(1, QLatin1Char('M'))}, QDir(folder).filePath(SetName),
                          &fault);
        }
    }

private:
    bool m_editor;
    QTemporaryDir m_scratch;
    QTemporaryDir m_dir;
    QString m_folder;
    QString m_set;
    QString m_source;
};

} // namespace

class TestSaveFaults : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        if (!canStrace())
            QSKIP("needs root and strace to stop and fail system calls");
    }

    void killedAtEachSystemCall_data() {
        QTest::addColumn<bool>("editor");
        QTest::newRow("editor save") << true;
        QTest::newRow("dyr build") << false;
    }

    // SIGKILL at each system call of a save in turn: the set is the old one or
    // the new one, whole, and the next save leaves nothing else in the folder.
    void killedAtEachSystemCall() {
        QFETCH(bool, editor);
        const Saver saver(editor);
        const QList<Call> calls = saver.calls();
        QVERIFY(calls.size() > 10);
        const QStringList clean = Saver::clean();
        int oldKept = 0;
        int newWhole = 0;
        int torn = 0;
        int littered = 0;
        for (const Call& call : calls) {
            saver.reset();
            const Run killed =
                saver.save({QStringLiteral("-o"), QStringLiteral("/dev/null"), QStringLiteral("-e"),
                            inject(call, QStringLiteral("signal=KILL"))});
            QVERIFY2(killed.killed, qPrintable(call.line));
            const QByteArray after = readAll(saver.set());
            if (after == oldSet())
                ++oldKept;
            else if (after == saver.saved())
                ++newWhole;
            else
                ++torn;
            QVERIFY2(touchedUsersFile(saver.folder()).isEmpty(), qPrintable(call.line));
            if (entries(saver.folder()) != clean)
                ++littered;
            saver.saveAgain();
            QVERIFY2(entries(saver.folder()) == clean, qPrintable(call.line));
            QVERIFY2(touchedUsersFile(saver.folder()).isEmpty(), qPrintable(call.line));
        }
        qInfo("%s: %lld kill points, %d kept the old set, %d the new one, %d torn; "
              "%d left a temporary file, removed by the next save",
              QTest::currentDataTag(), calls.size(), oldKept, newWhole, torn, littered);
        QCOMPARE(torn, 0);
        QVERIFY(oldKept > 0 && newWhole > 0);
    }

    void failingCallsAreReportedAndKeepTheOldSet_data() {
        QTest::addColumn<bool>("editor");
        QTest::newRow("editor save") << true;
        QTest::newRow("dyr build") << false;
    }

    // Every write, the sync and the rename of a save, failing with EIO and with
    // ENOSPC: a failed save is reported with its cause, and the old set stays.
    void failingCallsAreReportedAndKeepTheOldSet() {
        QFETCH(bool, editor);
        const Saver saver(editor);
        const QList<Call> calls = saver.calls();
        QVERIFY(calls.size() > 10);
        const QStringList failing = {QStringLiteral("write"), QStringLiteral("pwrite64"),
                                     QStringLiteral("fsync"), QStringLiteral("rename")};
        const struct {
            const char* name;
            QString cause;
        } errors[] = {{"EIO", QStringLiteral("ulazno-izlazna greska uredjaja")},
                      {"ENOSPC", QStringLiteral("nema dovoljno mesta na disku")}};
        int injected = 0;
        for (const Call& call : calls) {
            if (!failing.contains(call.name))
                continue;
            for (const auto& error : errors) {
                saver.reset();
                const Run failed = saver.save(
                    {QStringLiteral("-o"), QStringLiteral("/dev/null"), QStringLiteral("-e"),
                     inject(call, QStringLiteral("error=") + QLatin1String(error.name))});
                const QString message = saver.failure(failed);
                const QString where = call.line + QLatin1Char(' ') + QLatin1String(error.name) +
                                      QStringLiteral(": ") + message;
                QVERIFY2(message.contains(QStringLiteral("varnikol.dyr\" nije snimljena")),
                         qPrintable(where));
                QVERIFY2(message.contains(error.cause), qPrintable(where));
                QVERIFY2(!message.trimmed().contains(QLatin1Char('\n')), qPrintable(where));
                QVERIFY2(readAll(saver.set()) == oldSet(), qPrintable(where));
                QVERIFY2(entries(saver.folder()) == Saver::clean(), qPrintable(where));
                QVERIFY2(touchedUsersFile(saver.folder()).isEmpty(), qPrintable(where));
                ++injected;
            }
        }
        qInfo("%s: %d failed calls injected, each reported, the old set kept",
              QTest::currentDataTag(), injected);
        QVERIFY(injected >= 6);
    }

    void aSecondSaveWaitsForTheFirst_data() {
        QTest::addColumn<bool>("editor"); // the second save's program; the first is the editor's
        QTest::newRow("editor after editor") << true;
        QTest::newRow("dyr build after editor") << false;
    }

    // Two saves of one set at once: the first is held up while its new copy goes to
    // the disk; the second, started meanwhile, waits for the lock and leaves the
    // first's copy alone. Both end well, in that order, and the set is the second's,
    // built on the first's.
    void aSecondSaveWaitsForTheFirst() {
        QFETCH(bool, editor);
        const Saver first(true);
        const Saver second(editor);
        first.reset();
        QElapsedTimer waited;
        qint64 secondTook = 0;
        const QTemporaryDir traces;
        const QString trace = traces.filePath(QStringLiteral("first.trace"));
        bool firstHeld = false;
        const Run held = runTracedDriver(
            {QStringLiteral("editor-save"), first.folder(), SetName, QStringLiteral("N")},
            {QStringLiteral("-o"), trace, QStringLiteral("-e"),
             QStringLiteral("inject=fsync:delay_enter=700000")},
            [&] {
                // The first save is in its fsync, the lock taken.
                firstHeld = awaitTraced(trace, "fsync(");
                waited.start();
                second.saveAgainIn(first.folder());
                secondTook = waited.elapsed();
            });
        QVERIFY(firstHeld);
        QVERIFY2(held.exitCode == 0, held.out.constData());
        QVERIFY2(secondTook >= 200, qPrintable(QString::number(secondTook)));
        // The editor's second save takes the records it didn't write from the set as
        // the first left it.
        QByteArray expected = taggedRecord(1, QLatin1Char('M')).toBytes();
        if (editor)
            expected = expected + editorSaved(QLatin1Char('N')).mid(qo::RecordLength);
        QCOMPARE(readAll(first.set()), expected);
        QCOMPARE(entries(first.folder()), Saver::clean());
        QCOMPARE(touchedUsersFile(first.folder()), QString());
    }

    // The set removed by another program just as the save replaces it, and the
    // replace failing: the new version, now the only one, stays beside the set under
    // the programs' own name, and the message says where.
    void aFailedReplaceWithTheSetGoneKeepsTheNewVersion() {
        const Saver saver(true);
        saver.reset();
        const QTemporaryDir traces;
        const QString trace = traces.filePath(QStringLiteral("save.trace"));
        bool removed = false;
        const Run failed = runTracedDriver(
            {QStringLiteral("editor-save"), saver.folder(), SetName, QStringLiteral("N")},
            {QStringLiteral("-o"), trace, QStringLiteral("-e"),
             QStringLiteral("inject=rename:error=EIO:delay_enter=700000")},
            [&] { removed = awaitTraced(trace, "rename(") && QFile::remove(saver.set()); });
        QVERIFY(removed);
        const QString message = saver.failure(failed);
        QVERIFY2(message.contains(QStringLiteral(
                     "\"varnikol.dyr\" nije snimljena: stare verzije vise nema, a nova je "
                     "ostala u datoteci \".varnikol.dyr.qo-save\" (ulazno-izlazna greska "
                     "uredjaja)")),
                 qPrintable(message));
        QCOMPARE(readAll(QDir(saver.folder()).filePath(QStringLiteral(".varnikol.dyr.qo-save"))),
                 saver.saved());
    }

    // The editor's Open creates a missing set, but a set that another program
    // creates at that very moment is read, never emptied.
    void openNeverEmptiesASetThatAppearedMeanwhile() {
        QTemporaryDir dir;
        const QString name = QStringLiteral("neko.dyr");
        const QString set = dir.filePath(name);
        const QString trace = dir.filePath(QStringLiteral("open.trace"));
        const QStringList open = {QStringLiteral("editor-open"), dir.path(), name};
        const Run listing = runTracedDriver(open, {QStringLiteral("-o"), trace});
        QCOMPARE(listing.exitCode, 0);
        QCOMPARE(readAll(set), QByteArray()); // a missing set is created empty
        const QList<Call> calls = callsOf(trace);
        QFile::remove(trace);
        QFile::remove(set);
        // The first look for the missing file is held up; meanwhile the set appears.
        const auto first = std::find_if(calls.begin(), calls.end(),
                                        [&](const Call& c) { return c.line.contains(name); });
        QVERIFY(first != calls.end());
        const QString delayed = dir.filePath(QStringLiteral("delayed.trace"));
        const QByteArray appeared = taggedSet(QLatin1Char('A'), 3);
        bool held = false;
        const Run opened = runTracedDriver(open,
                                           {QStringLiteral("-o"), delayed, QStringLiteral("-e"),
                                            inject(*first, QStringLiteral("delay_exit=2000000"))},
                                           [&] {
                                               held = awaitTraced(delayed, "(DELAYED)");
                                               writeAll(set, appeared);
                                           });
        QVERIFY(held);
        QCOMPARE(opened.exitCode, 0);
        QCOMPARE(readAll(set), appeared);
        QCOMPARE(opened.value(QStringLiteral("question")).trimmed(),
                 taggedRecord(1, QLatin1Char('A')).Question.text().trimmed());
    }
};

QTEST_GUILESS_MAIN(TestSaveFaults)
#include "tst_savefaults.moc"
