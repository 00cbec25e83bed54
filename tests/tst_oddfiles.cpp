// The editor, the quiz and "dyr build" against hostile places and files: a full
// disk, folders that refuse the temporary file, read-only sets, sets that are
// folders, FIFOs, devices or links, and a 1 GiB sparse set. Wherever something
// fails the user gets a Serbian "Greska" box naming the file, not a byte of the
// set changes, and the program goes on.
#include "../editor/program.h"
#include "../kviz/program.h"
#include "apppath.h"
#include "dyr.h"
#include "reliability.h"
#include "testsupport.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QStorageInfo>
#include <QTemporaryDir>
#include <QTest>
#include <QTextStream>

#include <optional>

#if defined(Q_OS_UNIX)
#include <sys/stat.h>
#include <unistd.h>
#endif

using namespace reliability;
using testsupport::readAll;
using testsupport::ScriptedResponder;
using testsupport::taggedRecord;
using testsupport::writeAll;

namespace {

QString lastError(const ScriptedResponder& responder) {
    for (qsizetype i = responder.calls().size() - 1; i >= 0; --i) {
        const testsupport::MessageCall& call = responder.calls()[i];
        if (call.title == QStringLiteral("Greska") && call.flags == 16)
            return call.prompt;
    }
    return {};
}

// The editor in a folder of the test's choosing, driven through its buttons.
struct Editor {
    explicit Editor(const QString& folder) {
        rt::setAppPathForTesting(folder);
        program.start();
    }
    ~Editor() { rt::setAppPathForTesting(QString()); }

    // "&Otvori" on the named set; the "Greska" text, empty when it opened.
    QString open(const QString& name) {
        responder.clear();
        program.form1.SetFileName = name;
        QTest::mouseClick(program.form1.Command1, Qt::LeftButton);
        return lastError(responder);
    }
    // Every question tagged, then "&Snimi"; the "Greska" text, empty when saved.
    QString save(const QString& name, QChar tag) {
        for (int p = 0; p < qo::SetRecords; ++p)
            program.module1.QuestionTable[p] = taggedRecord(p + 1, tag);
        program.form1.Text1->setTextValue(QStringLiteral("1"));
        program.module1.RecordToForm();
        responder.clear();
        program.form1.SetFileName = name;
        QTest::mouseClick(program.form1.Command2, Qt::LeftButton);
        return lastError(responder);
    }
    bool alive() const { return program.form1.isLoaded() && responder.endCount() == 0; }

    ScriptedResponder responder;
    editor::Program program;
};

// The quiz window opened on the named set; the "Greska" text, empty when it opened.
QString quizError(const QString& folder, const QString& name) {
    rt::setAppPathForTesting(folder);
    ScriptedResponder responder;
    kviz::Program program;
    program.module1.SetFileName = name;
    rt::runHandler([&] { program.form3.Show(); });
    const bool opened = program.form3.isLoaded();
    if (opened)
        program.form3.Unload();
    rt::setAppPathForTesting(QString());
    const QString error = lastError(responder);
    return opened == error.isEmpty() ? error : QStringLiteral("?");
}

#if defined(Q_OS_UNIX)
QString dyrBuildError(const QString& path) {
    QList<qo::QuestionRecord> records;
    for (int k = 1; k <= 21; ++k)
        records.append(taggedRecord(k, QLatin1Char('D')));
    qo::FileFault fault;
    if (dyr::writeSet(records, path, &fault))
        return QString();
    return qo::describe(fault);
}

struct stat statusOf(const QString& path, bool follow = true) {
    struct stat status {};
    const QByteArray native = QFile::encodeName(path);
    if (follow)
        ::stat(native.constData(), &status);
    else
        ::lstat(native.constData(), &status);
    return status;
}
#endif

// The test's own folder, open to every user so a save can run as another one.
QString openFolder(const QTemporaryDir& dir) {
    QFile::setPermissions(dir.path(), QFile::Permissions(0x7777));
    return dir.path();
}

} // namespace

class TestOddFiles : public QObject {
    Q_OBJECT

private slots:
    void fullDiskAtTwentyFillLevels() {
        QTemporaryDir dir;
        const QString disk = dir.filePath(QStringLiteral("disk"));
        QVERIFY(QDir().mkpath(disk));
        Mount mount = Mount::tmpfs(disk, QStringLiteral("256k"));
        if (!mount.ok())
            QSKIP("needs root to mount a small file system");
        const QString set = disk + QLatin1Char('/') + SetName;
        const QString filler = disk + QStringLiteral("/filler");
        Editor editor(disk);
        int saved = 0;
        int refused = 0;
        // Free room from none to a little more than a new copy needs (four pages).
        for (int level = 0; level < 20; ++level) {
            QFile::remove(filler);
            writeAll(set, oldSet());
            QCOMPARE(editor.open(SetName), QString());
            const qint64 room = QStorageInfo(disk).bytesAvailable();
            const qint64 keep = level * 1024;
            writeAll(filler, QByteArray(std::max<qint64>(0, room - keep), 'f'));
            const QChar tag = QChar(u'a' + level);
            const QString error = editor.save(SetName, tag);
            const QString where = QStringLiteral("level %1: %2").arg(level).arg(error);
            if (error.isEmpty()) {
                ++saved;
                QVERIFY2(readAll(set) == editorSaved(tag), qPrintable(where));
            } else {
                ++refused;
                QVERIFY2(error.contains(QStringLiteral("\"varnikol.dyr\"")), qPrintable(where));
                QVERIFY2(error.contains(QStringLiteral("nema dovoljno mesta na disku")),
                         qPrintable(where));
                QVERIFY2(readAll(set) == oldSet(), qPrintable(where));
            }
            QVERIFY2(entries(disk) == (QStringList{QStringLiteral("filler"), SetName}),
                     qPrintable(where));
            QVERIFY(editor.alive());
        }
        qInfo("full disk: 20 fill levels, %d saves refused with the old set kept, %d saved whole",
              refused, saved);
        QVERIFY(refused > 0 && saved > 0);
        // Nothing typed was lost: with room again the same edits save.
        QFile::remove(filler);
        QCOMPARE(editor.save(SetName, QLatin1Char('z')), QString());
        QCOMPARE(readAll(set), editorSaved(QLatin1Char('z')));
    }

    void folderRefusingTheTemporaryFile_data() {
        QTest::addColumn<QString>("how");
        QTest::addColumn<QString>("cause");
        QTest::newRow("chattr +i") << "immutable"
                                   << "nema dozvole";
        QTest::newRow("read-only bind mount") << "bind"
                                              << "disk je samo za citanje";
        QTest::newRow("read-only tmpfs") << "tmpfs"
                                         << "disk je samo za citanje";
    }

    void folderRefusingTheTemporaryFile() {
        QFETCH(QString, how);
        QFETCH(QString, cause);
        if (!isRoot())
            QSKIP("needs root for chattr and mount");
        QTemporaryDir dir;
        const QString folder = dir.filePath(QStringLiteral("mesto"));
        QVERIFY(QDir().mkpath(folder));
        const QString set = folder + QLatin1Char('/') + SetName;
        std::optional<Mount> mount;
        std::optional<Immutable> locked;
        if (how == QStringLiteral("tmpfs")) {
            mount.emplace(Mount::tmpfs(folder, QStringLiteral("1m")));
            QVERIFY(mount->ok());
        }
        writeAll(set, oldSet());

        // The folder was writable when the editor settled on it and stops taking new
        // files while the set is open, as when a disk is remounted read-only. (A
        // folder that is read-only from the start sends the sets to the user's folder.)
        Editor editor(folder);
        QCOMPARE(editor.open(SetName), QString());
        if (how == QStringLiteral("immutable"))
            QVERIFY(locked.emplace(folder).ok());
        else if (how == QStringLiteral("bind"))
            QVERIFY(mount.emplace(Mount::readOnlyBind(folder)).ok());
        else
            QVERIFY(mount->remountReadOnly());
        const QString error = editor.save(SetName, QLatin1Char('N'));
        QVERIFY2(error.contains(QStringLiteral("\"varnikol.dyr\"")), qPrintable(error));
        QVERIFY2(error.contains(cause), qPrintable(error));
        QCOMPARE(readAll(set), oldSet());
        QCOMPARE(entries(folder), QStringList{SetName});
        QVERIFY(editor.alive());
        QCOMPARE(quizError(folder, SetName), QString()); // the quiz still plays it

        // dyr says the same in one line of its own.
        const QString source = dir.filePath(QStringLiteral("izvor.txt"));
        writeAll(source, "number: 1\n");
        const Run built = run(dyrProgram(), {QStringLiteral("build"), source, set});
        QCOMPARE(built.exitCode, 2);
        const QString said = QString::fromUtf8(built.err);
        QVERIFY2(said.startsWith(QStringLiteral("dyr: datoteka \"%1\" nije snimljena: ")
                                     .arg(QDir::toNativeSeparators(set))) &&
                     said.contains(cause) && said.count(QLatin1Char('\n')) == 1 &&
                     said.endsWith(QLatin1Char('\n')),
                 qPrintable(said));
        QCOMPARE(readAll(set), oldSet());
        QCOMPARE(entries(folder), QStringList{SetName});
    }

    // Someone who may not write the set folder is told so, as permission. A programs'
    // folder the user can't write sends the sets to the user's own folder, so the
    // folder refusing here is that one (say, made by root with sudo).
    void folderTheUserMayNotWrite() {
        if (!isRoot())
            QSKIP("needs root to run the save as another user");
        QTemporaryDir dir;
        const QString programs = openFolder(dir) + QStringLiteral("/programi");
        const QString data = dir.path() + QStringLiteral("/podaci");
        const QString folder = data + QStringLiteral("/qo-kviz");
        QVERIFY(QDir().mkdir(programs));
        QVERIFY(QDir().mkpath(folder));
        for (const QString& f : {programs, data, folder})
            QFile::setPermissions(f, QFile::Permissions(0x7755));
        const QString set = folder + QLatin1Char('/') + SetName;
        writeAll(set, oldSet());
        QFile::setPermissions(set, QFile::Permissions(0x6666));

        const QByteArray dataHome = qgetenv("XDG_DATA_HOME");
        qputenv("XDG_DATA_HOME", QFile::encodeName(data));
        const Run saved =
            run(setdriver(), {QStringLiteral("editor-save"), programs, SetName, QStringLiteral("N"),
                              QStringLiteral("--as"), QStringLiteral("4001:4001:4001")});
        qputenv("XDG_DATA_HOME", dataHome);
        QCOMPARE(saved.exitCode, 3);
        const QString error = saved.value(QStringLiteral("error"));
        QVERIFY2(error.contains(QStringLiteral("\"varnikol.dyr\"")), qPrintable(error));
        QVERIFY2(error.contains(QStringLiteral("nema dozvole")), qPrintable(error));
        QVERIFY2(!error.contains(QStringLiteral("greska pri pisanju")), qPrintable(error));
        QCOMPARE(readAll(set), oldSet());
        QCOMPARE(entries(folder), QStringList{SetName});
        QCOMPARE(entries(programs), QStringList{});
    }

    void readOnlySet() {
        if (!isRoot())
            QSKIP("needs root for chattr and to run the save as another user");
        QTemporaryDir dir;
        const QString folder = openFolder(dir);
        const QString set = dir.filePath(SetName);
        writeAll(set, oldSet());
        QFile::setPermissions(set, QFile::Permissions(0x4444));

        // Someone else is refused, by permission.
        const Run other =
            run(setdriver(), {QStringLiteral("editor-save"), folder, SetName, QStringLiteral("N"),
                              QStringLiteral("--as"), QStringLiteral("4001:4001:4001")});
        QCOMPARE(other.exitCode, 3);
        QVERIFY2(other.value(QStringLiteral("error")).contains(QStringLiteral("nema dozvole")),
                 other.out.constData());
        QCOMPARE(readAll(set), oldSet());

        // A locked set refuses even root.
        {
            Immutable locked(set);
            QVERIFY(locked.ok());
            Editor editor(folder);
            QCOMPARE(editor.open(SetName), QString());
            const QString error = editor.save(SetName, QLatin1Char('N'));
            QVERIFY2(error.contains(QStringLiteral("\"varnikol.dyr\"")), qPrintable(error));
            QVERIFY2(error.contains(QStringLiteral("nema dozvole")), qPrintable(error));
            QCOMPARE(readAll(set), oldSet());
            QCOMPARE(entries(folder), QStringList{SetName});
            QVERIFY(editor.alive());
        }

        // Root may save it, and it stays read-only.
        Editor editor(folder);
        QCOMPARE(editor.save(SetName, QLatin1Char('N')), QString());
        QCOMPARE(readAll(set), editorSaved(QLatin1Char('N')));
#if defined(Q_OS_UNIX)
        QCOMPARE(statusOf(set).st_mode & 07777, 0444u);
#endif
    }

    // The user's own files beside the set, named the way saves once named their
    // temporary files, through every kind of save of the editor and of "dyr build":
    // one that goes through, one after a save that was killed (whose leftovers go),
    // and one that is refused. Not a byte of them changes, and nothing else is left.
    void usersFilesSurviveEverySave_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("save");
        for (const QString& name : UsersFiles) {
            for (const char* save : {"editor", "dyr build"}) {
                for (const char* when : {"", " after a killed save", " refused"})
                    QTest::addRow("%s, %s%s", qPrintable(name), save, when)
                        << name << QLatin1String(save) + QLatin1String(when);
            }
        }
    }

    void usersFilesSurviveEverySave() {
        QFETCH(QString, name);
        QFETCH(QString, save);
        const bool editor = save.startsWith(QStringLiteral("editor"));
        const bool refused = save.endsWith(QStringLiteral("refused"));
        QTemporaryDir dir;
        const QString folder = dir.path();
        const QString set = dir.filePath(SetName);
        writeAll(set, oldSet());
        const QString users = dir.filePath(name);
        writeAll(users, "moje, ne dirati");
        if (save.endsWith(QStringLiteral("after a killed save"))) {
            writeAll(dir.filePath(QLatin1Char('.') + SetName + QStringLiteral(".qo-save")),
                     taggedSet(QLatin1Char('K'), 7));
            writeAll(dir.filePath(QLatin1Char('.') + SetName + QStringLiteral(".qo-lock")), "");
        }
        // Root may write a read-only set: for root it is locked instead.
        std::optional<Immutable> locked;
        if (refused && isRoot())
            QVERIFY(locked.emplace(set).ok());
        else if (refused)
            QVERIFY(QFile::setPermissions(set, QFile::ReadOwner | QFile::ReadUser |
                                                   QFile::ReadGroup | QFile::ReadOther));
        QString error;
        if (editor) {
            Editor window(folder);
            QCOMPARE(window.open(SetName), QString());
            error = window.save(SetName, QLatin1Char('N'));
        } else {
            QList<qo::QuestionRecord> records;
            for (int k = 1; k <= 21; ++k)
                records.append(taggedRecord(k, QLatin1Char('N')));
            const QString source = dir.filePath(QStringLiteral("izvor.txt"));
            writeAll(source, dyr::format(records).toUtf8());
            QString out;
            QString err;
            QTextStream outStream(&out);
            QTextStream errStream(&err);
            const int status =
                dyr::run({QStringLiteral("build"), source, set}, outStream, errStream);
            errStream.flush();
            error = err;
            QCOMPARE(status, refused ? 2 : 0);
            QFile::remove(source);
        }
        if (refused) {
            QVERIFY2(error.contains(QStringLiteral("varnikol.dyr\" nije snimljena: nema dozvole")),
                     qPrintable(error));
            QCOMPARE(readAll(set), oldSet());
            locked.reset();
            QFile::setPermissions(set, QFile::ReadOwner | QFile::WriteOwner);
        } else {
            QCOMPARE(error, QString());
            QCOMPARE(readAll(set),
                     editor ? editorSaved(QLatin1Char('N')) : taggedSet(QLatin1Char('N'), 21));
        }
        QCOMPARE(readAll(users), QByteArray("moje, ne dirati"));
        QStringList expected = {SetName, name};
        expected.sort();
        QCOMPARE(entries(folder), expected);
    }

    void setTheSaveMayNotReplace_data() {
        QTest::addColumn<QString>("why");
        QTest::addColumn<QString>("said"); // empty: the save goes through
        QTest::newRow("read-only") << "read-only"
                                   << "nema dozvole";
        QTest::newRow("held by another program throughout") << "held"
                                                            << "datoteka je zauzeta";
        QTest::newRow("let go within a second") << "let go" << QString();
    }

    // A set the save may not replace: read-only (on Windows the read-only
    // attribute), or held open by another program, which on Windows keeps it from
    // being replaced (a virus scanner, an editor). The save waits about a second for
    // the holder, then says why; the set stays whole and nothing is left beside it.
    void setTheSaveMayNotReplace() {
        QFETCH(QString, why);
        QFETCH(QString, said);
        const bool held = why != QStringLiteral("read-only");
#if !defined(Q_OS_WIN)
        if (held)
            QSKIP("only Windows keeps a file another program holds from being replaced");
        if (isRoot())
            QSKIP("root may write a read-only file here (readOnlySet covers it)");
#endif
        QTemporaryDir dir;
        const QString folder = dir.path();
        const QString set = dir.filePath(SetName);
        writeAll(set, oldSet());
        if (!held)
            QVERIFY(QFile::setPermissions(set, QFile::ReadOwner | QFile::ReadUser |
                                                   QFile::ReadGroup | QFile::ReadOther));
        Editor editor(folder);
        QCOMPARE(editor.open(SetName), QString());
        QProcess holder;
        if (held) {
            holder.start(setdriver(), {QStringLiteral("hold"), folder, SetName,
                                       QString::number(said.isEmpty() ? 200 : 5000)});
            QVERIFY(holder.waitForReadyRead(20000));
            QVERIFY(holder.readAllStandardOutput().contains("held"));
        }
        QElapsedTimer waited;
        waited.start();
        const QString error = editor.save(SetName, QLatin1Char('N'));
        if (said.isEmpty()) {
            QCOMPARE(error, QString());
            QCOMPARE(readAll(set), editorSaved(QLatin1Char('N')));
        } else {
            QVERIFY2(error.contains(QStringLiteral("\"varnikol.dyr\"")), qPrintable(error));
            QVERIFY2(error.contains(said), qPrintable(error));
            QCOMPARE(readAll(set), oldSet());
            if (held)
                QVERIFY(waited.elapsed() >= 900);
        }
        QVERIFY2(entries(folder) == QStringList{SetName}, qPrintable(entries(folder).join(u' ')));
        QVERIFY(editor.alive());
        QCOMPARE(quizError(folder, SetName), QString());
        if (held) {
            holder.kill();
            QVERIFY(holder.waitForFinished(20000));
        }
        QFile::setPermissions(set, QFile::ReadOwner | QFile::WriteOwner);
    }

    void setThatIsNoRegularFile_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("said");
        QTest::newRow("folder") << "folder"
                                << "to je folder, a ne obicna datoteka";
        QTest::newRow("FIFO") << "fifo"
                              << "to je imenovana cev (FIFO), a ne obicna datoteka";
        QTest::newRow("/dev/zero behind a link") << "zero"
                                                 << "to je uredjaj, a ne obicna datoteka";
    }

    void setThatIsNoRegularFile() {
        QFETCH(QString, kind);
        QFETCH(QString, said);
#if defined(Q_OS_UNIX)
        QTemporaryDir dir;
        const QString folder = dir.path();
        const QString set = dir.filePath(SetName);
        if (kind == QStringLiteral("folder")) {
            QVERIFY(QDir().mkdir(set));
        } else if (kind == QStringLiteral("fifo")) {
            QCOMPARE(::mkfifo(QFile::encodeName(set).constData(), 0644), 0);
        } else {
            // As root the link leads to a node of the zero device of our own, so a
            // fault could never replace the system's /dev/zero.
            QString zero = QStringLiteral("/dev/zero");
            if (isRoot()) {
                zero = dir.filePath(QStringLiteral("zero"));
                QCOMPARE(run(QStringLiteral("mknod"),
                             {zero, QStringLiteral("c"), QStringLiteral("1"), QStringLiteral("5")})
                             .exitCode,
                         0);
            }
            QVERIFY(QFile::link(zero, set));
        }
        const struct stat before = statusOf(set, false);

        Editor editor(folder);
        const QString opened = editor.open(SetName);
        QVERIFY2(opened.contains(QStringLiteral("\"varnikol.dyr\"")), qPrintable(opened));
        QVERIFY2(opened.contains(said), qPrintable(opened));
        const QString saved = editor.save(SetName, QLatin1Char('N'));
        QVERIFY2(saved.contains(said), qPrintable(saved));
        QVERIFY(editor.alive());
        const QString quiz = quizError(folder, SetName);
        QVERIFY2(quiz.contains(QStringLiteral("\"varnikol.dyr\"")), qPrintable(quiz));
        QVERIFY2(quiz.contains(said), qPrintable(quiz));
        QVERIFY(!dyrBuildError(set).isEmpty());

        const struct stat after = statusOf(set, false);
        QCOMPARE(after.st_mode, before.st_mode);
        QCOMPARE(after.st_ino, before.st_ino);
        if (kind == QStringLiteral("zero"))
            QVERIFY(S_ISCHR(statusOf(set).st_mode));
        QCOMPARE(entries(folder).filter(SetName), QStringList{SetName});
#else
        Q_UNUSED(kind);
        Q_UNUSED(said);
        QSKIP("FIFOs and device nodes are a Unix matter");
#endif
    }

    void symlinkKeepsTheLinkAndTheTargetsMode() {
#if defined(Q_OS_UNIX)
        QTemporaryDir dir;
        const QString target = dir.filePath(QStringLiteral("skupovi/pravi.dyr"));
        QVERIFY(QDir().mkpath(dir.filePath(QStringLiteral("skupovi"))));
        writeAll(target, oldSet());
        QFile::setPermissions(target, QFile::Permissions(0x6640));
        if (isRoot())
            QCOMPARE(::chown(QFile::encodeName(target).constData(), 1234, 5678), 0);
        const QString link = dir.filePath(SetName);
        QVERIFY(QFile::link(QStringLiteral("skupovi/pravi.dyr"), link));

        Editor editor(dir.path());
        QCOMPARE(editor.open(SetName), QString());
        QCOMPARE(editor.save(SetName, QLatin1Char('N')), QString());
        QVERIFY(QFileInfo(link).isSymLink());
        QCOMPARE(QFileInfo(link).symLinkTarget(), QFileInfo(target).absoluteFilePath());
        QCOMPARE(readAll(target), editorSaved(QLatin1Char('N')));
        const struct stat status = statusOf(target);
        QCOMPARE(status.st_mode & 07777, 0640u);
        if (isRoot()) {
            QCOMPARE(status.st_uid, 1234u);
            QCOMPARE(status.st_gid, 5678u);
        }
        QCOMPARE(quizError(dir.path(), SetName), QString());
#else
        QSKIP("symbolic links with modes are a Unix matter");
#endif
    }

    // The owner, group and mode of a set survive a save, where the system allows.
    void whoMaySaveNextStaysTheSame() {
#if defined(Q_OS_UNIX)
        if (!isRoot())
            QSKIP("needs root to give files away and to save as a group member");
        QTemporaryDir dir;
        const QString folder = openFolder(dir);
        const QString set = dir.filePath(SetName);

        // Root's save gives the new file the old one's owner, group and mode.
        writeAll(set, oldSet());
        QCOMPARE(::chown(QFile::encodeName(set).constData(), 1234, 5678), 0);
        QCOMPARE(::chmod(QFile::encodeName(set).constData(), 0444), 0);
        {
            Editor editor(folder);
            QCOMPARE(editor.save(SetName, QLatin1Char('N')), QString());
        }
        struct stat status = statusOf(set);
        QCOMPARE(status.st_uid, 1234u);
        QCOMPARE(status.st_gid, 5678u);
        QCOMPARE(status.st_mode & 07777, 0444u);

        // A member of the set's group saves a set shared by the group: the new
        // file is the member's, but keeps the group, so the others may save next.
        const QString shared = dir.filePath(QStringLiteral("grupa"));
        QVERIFY(QDir().mkdir(shared));
        QCOMPARE(::chown(QFile::encodeName(shared).constData(), 0, 5678), 0);
        QCOMPARE(::chmod(QFile::encodeName(shared).constData(), 0775), 0);
        const QString sharedSet = shared + QLatin1Char('/') + SetName;
        writeAll(sharedSet, oldSet());
        QCOMPARE(::chown(QFile::encodeName(sharedSet).constData(), 4002, 5678), 0);
        QCOMPARE(::chmod(QFile::encodeName(sharedSet).constData(), 0664), 0);
        const Run member =
            run(setdriver(), {QStringLiteral("editor-save"), shared, SetName, QStringLiteral("N"),
                              QStringLiteral("--as"), QStringLiteral("4001:4001:5678")});
        QVERIFY2(member.exitCode == 0, member.out.constData());
        QCOMPARE(readAll(sharedSet), editorSaved(QLatin1Char('N')));
        status = statusOf(sharedSet);
        QCOMPARE(status.st_uid, 4001u); // only root may give a file away
        QCOMPARE(status.st_gid, 5678u);
        QCOMPARE(status.st_mode & 07777, 0664u);
#else
        QSKIP("owners and groups are a Unix matter");
#endif
    }

    // The quiz and the editor on a 1 GiB sparse set read, hold and write what they
    // do on a set of 30 records, and a save leaves the set sparse.
    void hugeSparseSetCostsWhatANormalOneDoes() {
#if defined(Q_OS_LINUX)
        QTemporaryDir normalDir;
        QTemporaryDir hugeDir;
        writeAll(normalDir.filePath(SetName), oldSet());
        const QString huge = hugeDir.filePath(SetName);
        writeAll(huge, oldSet());
        QVERIFY(QFile::resize(huge, qint64(1) << 30));
        const auto onDisk = [](const QString& path) {
            return static_cast<qint64>(statusOf(path).st_blocks) * 512;
        };
        if (onDisk(huge) > 1024 * 1024)
            QSKIP("the file system here keeps no holes");

        const QStringList modes[] = {{QStringLiteral("quiz"), SetName},
                                     { QStringLiteral("editor-save"),
                                       SetName,
                                       QStringLiteral("N") }};
        for (const QStringList& mode : modes) {
            const Run normal =
                run(setdriver(), QStringList{mode[0], normalDir.path()} + mode.mid(1));
            const Run sparse = run(setdriver(), QStringList{mode[0], hugeDir.path()} + mode.mid(1));
            QVERIFY2(normal.exitCode == 0, normal.out.constData());
            QVERIFY2(sparse.exitCode == 0, sparse.out.constData());
            const double read = sparse.value(QStringLiteral("rchar")).toDouble() /
                                normal.value(QStringLiteral("rchar")).toDouble();
            const double written = sparse.value(QStringLiteral("wchar")).toDouble() /
                                   normal.value(QStringLiteral("wchar")).toDouble();
            const double memory = sparse.value(QStringLiteral("hwm_kb")).toDouble() /
                                  normal.value(QStringLiteral("hwm_kb")).toDouble();
            qInfo("%s on a 1 GiB sparse set against 30 records: bytes read x%.3f, written "
                  "x%.3f, peak memory x%.3f",
                  qPrintable(mode[0]), read, written, memory);
            QVERIFY(read <= 1.2);
            QVERIFY(written <= 1.2);
            QVERIFY(memory <= 1.2);
        }
        QCOMPARE(QFileInfo(huge).size(), qint64(1) << 30);
        qInfo("the 1 GiB set after the save: %lld KiB on disk", onDisk(huge) / 1024);
        QVERIFY(onDisk(huge) <= 1024 * 1024);
        QCOMPARE(readAll(normalDir.filePath(SetName)), editorSaved(QLatin1Char('N')));
        QFile file(huge);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.read(30 * qo::RecordLength), editorSaved(QLatin1Char('N')));
#else
        QSKIP("measured through /proc");
#endif
    }
};

QTEST_MAIN(TestOddFiles)
#include "tst_oddfiles.moc"
