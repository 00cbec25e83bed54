// Where the sets live: the programs' folder when it can be written, otherwise the user's
// set folder, which both programs share, which is filled once and never overwritten.
#include "../editor/program.h"
#include "../kviz/program.h"
#include "apppath.h"
#include "buildconfig.h"
#include "questionsetfile.h"
#include "setfolder.h"
#include "testsupport.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <map>
#include <optional>

#if defined(Q_OS_UNIX)
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

using testsupport::isRoot;
using testsupport::readAll;
using testsupport::writeAll;

namespace {

QByteArray setBytes(const QString& firstQuestion) {
    qo::QuestionRecord r;
    r.Number = QStringLiteral("1");
    r.Question = firstQuestion;
    r.Correct = 2;
    for (int k = 0; k < 4; ++k)
        r.Answers[k] = QString(QChar(u'a' + k));
    return r.toBytes();
}

// Makes a folder read-only while it lives: a read-only bind mount as root (whom
// permissions don't stop), the folder's mode otherwise.
class ReadOnlyFolder {
public:
    explicit ReadOnlyFolder(const QString& path) : m_path(path) {
        if (isRoot()) {
            m_mounted = testsupport::runProgram(QStringLiteral("mount"),
                                                {QStringLiteral("--bind"), path, path});
            m_ok = m_mounted && testsupport::runProgram(QStringLiteral("mount"),
                                                        {QStringLiteral("-o"),
                                                         QStringLiteral("remount,bind,ro"), path});
        } else {
            m_ok = QFile::setPermissions(path, QFile::ReadOwner | QFile::ExeOwner);
        }
    }
    ~ReadOnlyFolder() {
        if (m_mounted)
            testsupport::runProgram(QStringLiteral("umount"), {m_path});
        else if (m_ok)
            QFile::setPermissions(m_path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    bool ok() const { return m_ok; }

private:
    QString m_path;
    bool m_mounted = false;
    bool m_ok = false;
};

struct Entry {
    QByteArray bytes;
    QDateTime modified;
    QFile::Permissions permissions;
    bool operator==(const Entry&) const = default;
};

// Every file of a folder, hidden ones included, with what a write would change.
std::map<QString, Entry> snapshot(const QString& folder) {
    std::map<QString, Entry> files;
    const QDir dir(folder);
    for (const QFileInfo& info : dir.entryInfoList(QDir::Files | QDir::Hidden | QDir::System))
        files[info.fileName()] = {readAll(info.filePath()), info.lastModified(),
                                  info.permissions()};
    return files;
}

void putSet(const QString& folder, const QString& name, const QString& firstQuestion) {
    writeAll(folder + QLatin1Char('/') + name, setBytes(firstQuestion));
}

// A programs' folder bin/ with an install's folder of shipped sets beside it.
struct InstallTree {
    QTemporaryDir root;
    QString bin = root.filePath(QStringLiteral("bin"));
    QString shipped = QDir::cleanPath(bin + QStringLiteral("/" QO_SHIPPED_SETS_RELATIVE));
    bool make() { return QDir().mkpath(bin) && QDir().mkpath(shipped); }
};

// Types a new first question into the editor and saves the set chosen at start.
void saveFirstQuestionInEditor(const QString& question) {
    editor::Program program;
    program.start();
    editor::Form1& form = program.form1;
    QTest::mouseClick(form.Command1, Qt::LeftButton);
    form.Text2->clear();
    QTest::keyClicks(form.Text2, question);
    QTest::mouseClick(form.Command2, Qt::LeftButton);
    QVERIFY(!form.hasUnsavedChanges());
}

// The question the quiz window shows first for a set.
QString firstQuestionInQuiz(const QString& set) {
    kviz::Program quiz;
    quiz.module1.SetFileName = set;
    quiz.form3.Show();
    if (!quiz.form3.isLoaded())
        return QStringLiteral("(the quiz window did not open)");
    const QString question = quiz.form3.Label1->text().trimmed();
    quiz.form3.Unload();
    return question;
}

} // namespace

class TestSetFolder : public QObject {
    Q_OBJECT

    QTemporaryDir m_data;

    // The programs decide once per folder; pointing them elsewhere and back is what a
    // second start of a program does.
    void startAgain() {
        const QByteArray programs = rt::AppPathNative();
        QTemporaryDir other;
        rt::setAppPathForTesting(other.path());
        QCOMPARE(qo::SetFolder::path(), other.path());
        rt::setAppPathNativeForTesting(programs);
        qo::SetFolder::path(); // as each program does when it starts
    }

private slots:
    void init() {
        QVERIFY(m_data.isValid());
        testsupport::setDataHome(m_data.path());
        QDir(m_data.path() + QStringLiteral("/qo-kviz")).removeRecursively();
    }
    void cleanup() {
        testsupport::setDataHome(QString());
        rt::setAppPathForTesting(QString());
    }

    void userFolderIsSharedUnderTheDataLocation() {
        QCOMPARE(qo::SetFolder::userFolder(), m_data.path() + QStringLiteral("/qo-kviz"));
    }

    void writableProgramsFolderHoldsTheSets_data() {
        QTest::addColumn<QString>("subfolder");
        QTest::newRow("plain") << QString();
        QTest::newRow("Serbian letters and spaces") << QStringLiteral("Pitanja za Đorđa čćžšđ");
        // Past the 260 characters a Windows path had at most.
        QTest::newRow("a long path") << QStringLiteral("Dugacka putanja do foldera sa pitanjima")
                                            .repeated(8)
                                            .replace(QStringLiteral("ima"), QStringLiteral("ima/"));
    }

    // A folder the user can write keeps the sets beside the programs, as always,
    // whatever letters its name has.
    void writableProgramsFolderHoldsTheSets() {
        QFETCH(QString, subfolder);
        testsupport::ScriptedResponder responder;
        testsupport::TempAppFolder temporary;
        const QDir folder(temporary.path() + QLatin1Char('/') + subfolder);
        QVERIFY(folder.mkpath(QStringLiteral(".")));
        rt::setAppPathForTesting(folder.absolutePath());
        QCOMPARE(qo::SetFolder::path(), folder.absolutePath());
        QCOMPARE(qo::QuestionSetFile::pathFor(QStringLiteral("neko.dyr")),
                 folder.filePath(QStringLiteral("neko.dyr")));
        writeAll(folder.filePath(QStringLiteral("varnikol.dyr")),
                 setBytes(QStringLiteral("Staro?")));
        saveFirstQuestionInEditor(QStringLiteral("Novo?"));
        QCOMPARE(firstQuestionInQuiz(QStringLiteral("varnikol.dyr")), QStringLiteral("Novo?"));
        QCOMPARE(readAll(folder.filePath(QStringLiteral("varnikol.dyr"))).size(), 21 * 412);
        QVERIFY(responder.calls().isEmpty());
        QVERIFY(!QFileInfo::exists(qo::SetFolder::userFolder()));
    }

    void programsFolderTheUserMayNotWrite_data() {
        QTest::addColumn<QString>("why");
        QTest::addColumn<QString>("letters");
        for (const char* why : {"read-only", "under Program Files"}) {
            QTest::addRow("%s", why) << why << QString();
            QTest::addRow("%s, Serbian letters", why) << why << QStringLiteral(" Đorđe čćžš");
        }
    }

    // Unpacked where the user can't write (a read-only folder; on Windows anywhere
    // under Program Files, whatever the user's rights there), the programs use the
    // user's folder, seeded from the sets beside them, and never write beside them.
    // Serbian letters in both folders' names change nothing.
    void programsFolderTheUserMayNotWrite() {
        QFETCH(QString, why);
        QFETCH(QString, letters);
        const bool programFiles = why == QStringLiteral("under Program Files");
        const QString programFilesFolder = qEnvironmentVariable("ProgramFiles");
#if defined(Q_OS_WIN)
        if (!programFiles)
            QSKIP("a read-only attribute does not keep files out of a folder on Windows");
#else
        if (programFiles)
            QSKIP("Program Files is a Windows folder");
#endif
        testsupport::ScriptedResponder responder;
        const QString dataHome = m_data.path() + QStringLiteral("/Korisnik") + letters;
        QVERIFY(QDir().mkpath(dataHome));
        testsupport::setDataHome(dataHome);
        QTemporaryDir parent((programFiles ? programFilesFolder : QDir::tempPath()) +
                             QStringLiteral("/qo-kviz-test") + letters + QStringLiteral("-XXXXXX"));
        if (!parent.isValid())
            QSKIP("can't make a folder there");
        const QString programs = parent.path();
        putSet(programs, QStringLiteral("neko.dyr"), QStringLiteral("Sa stika?"));
        std::optional<ReadOnlyFolder> readOnly;
        if (!programFiles) {
            readOnly.emplace(programs);
            if (!readOnly->ok())
                QSKIP("could not make a folder read-only here");
        }
        const auto before = snapshot(programs);
        rt::setAppPathForTesting(programs);

        const QString user = qo::SetFolder::userFolder();
        QCOMPARE(user, dataHome + QStringLiteral("/qo-kviz"));
        QCOMPARE(qo::SetFolder::path(), user);
        QCOMPARE(readAll(user + QStringLiteral("/neko.dyr")),
                 setBytes(QStringLiteral("Sa stika?")));
        saveFirstQuestionInEditor(QStringLiteral("Izmenjeno?"));
        QCOMPARE(firstQuestionInQuiz(QStringLiteral("varnikol.dyr")), QStringLiteral("Izmenjeno?"));
        QVERIFY(responder.calls().isEmpty());
        QVERIFY(snapshot(programs) == before);
        rt::setAppPathForTesting(QString());
    }

    // Installed where the user can't write: the user's folder gets a copy of each set
    // it lacks, from beside the programs first, then from the installed shipped sets;
    // what it holds already stays. The editor saves there and the quiz plays that.
    void readOnlyProgramsFolderUsesTheUsersFolder() {
        testsupport::ScriptedResponder responder;
        InstallTree install;
        QVERIFY(install.make());
        const QString& bin = install.bin;
        const QString& shipped = install.shipped;
        putSet(shipped, QStringLiteral("varnikol.dyr"), QStringLiteral("Isporuceno?"));
        putSet(shipped, QStringLiteral("tuvek.dyr"), QStringLiteral("Tuvek?"));
        putSet(bin, QStringLiteral("neko.dyr"), QStringLiteral("Prenosivo?"));
        const QString user = qo::SetFolder::userFolder();
        QVERIFY(QDir().mkpath(user));
        putSet(user, QStringLiteral("tuvek.dyr"), QStringLiteral("Moje?"));
        QFile::setPermissions(shipped + QStringLiteral("/varnikol.dyr"),
                              QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
        ReadOnlyFolder readOnly(bin);
        if (!readOnly.ok())
            QSKIP("could not make a folder read-only here");
        const auto programsBefore = snapshot(bin);
        rt::setAppPathForTesting(bin);

        QCOMPARE(qo::SetFolder::path(), user);
        QCOMPARE(qo::QuestionSetFile::pathFor(QStringLiteral("varnikol.dyr")),
                 user + QStringLiteral("/varnikol.dyr"));
        auto seeded = snapshot(user);
        QCOMPARE(seeded.size(), std::size_t(3));
        QCOMPARE(seeded[QStringLiteral("varnikol.dyr")].bytes,
                 setBytes(QStringLiteral("Isporuceno?")));
        QCOMPARE(seeded[QStringLiteral("neko.dyr")].bytes, setBytes(QStringLiteral("Prenosivo?")));
        QCOMPARE(seeded[QStringLiteral("tuvek.dyr")].bytes, setBytes(QStringLiteral("Moje?")));
        // The user's copy can be saved although the shipped file is read-only.
        QVERIFY(seeded[QStringLiteral("varnikol.dyr")].permissions & QFile::WriteOwner);

        saveFirstQuestionInEditor(QStringLiteral("Izmenjeno?"));
        QCOMPARE(firstQuestionInQuiz(QStringLiteral("varnikol.dyr")), QStringLiteral("Izmenjeno?"));
        QCOMPARE(firstQuestionInQuiz(QStringLiteral("tuvek.dyr")), QStringLiteral("Moje?"));
        QVERIFY(responder.calls().isEmpty());
        QVERIFY(snapshot(bin) == programsBefore);
        QCOMPARE(readAll(shipped + QStringLiteral("/varnikol.dyr")),
                 setBytes(QStringLiteral("Isporuceno?")));

        // A second start changes nothing in the user's folder, the edited set included.
        const auto saved = snapshot(user);
        QCOMPARE(saved.size(), std::size_t(3));
        startAgain();
        QCOMPARE(qo::SetFolder::path(), user);
        QVERIFY(snapshot(user) == saved);
        QCOMPARE(firstQuestionInQuiz(QStringLiteral("varnikol.dyr")), QStringLiteral("Izmenjeno?"));

        // A set the user deleted comes back from the shipped ones at the next start.
        QVERIFY(QFile::remove(user + QStringLiteral("/neko.dyr")));
        startAgain();
        QCOMPARE(readAll(user + QStringLiteral("/neko.dyr")),
                 setBytes(QStringLiteral("Prenosivo?")));
        rt::setAppPathForTesting(QString());
    }

    // An install keeps its sets apart from the programs: even where its programs'
    // folder can be written (root, a prefix the user owns) the sets are the user's.
    void installedProgramsUseTheUsersFolderEvenWhenWritable() {
        testsupport::ScriptedResponder responder;
        InstallTree install;
        QVERIFY(install.make());
        const QString& bin = install.bin;
        const QString& shipped = install.shipped;
        putSet(shipped, QStringLiteral("varnikol.dyr"), QStringLiteral("Isporuceno?"));
        rt::setAppPathForTesting(bin);
        QCOMPARE(qo::SetFolder::path(), qo::SetFolder::userFolder());
        saveFirstQuestionInEditor(QStringLiteral("Izmenjeno?"));
        QCOMPARE(firstQuestionInQuiz(QStringLiteral("varnikol.dyr")), QStringLiteral("Izmenjeno?"));
        QVERIFY(responder.calls().isEmpty());
        QVERIFY(QDir(bin).isEmpty());
        QCOMPARE(readAll(shipped + QStringLiteral("/varnikol.dyr")),
                 setBytes(QStringLiteral("Isporuceno?")));
        rt::setAppPathForTesting(QString());
    }

    // Only regular files are copied: a FIFO or a folder of a set's name beside the
    // programs is passed over, without waiting on it.
    void seedingSkipsWhatIsNoFile() {
#if defined(Q_OS_UNIX)
        testsupport::ScriptedResponder responder;
        InstallTree install;
        QVERIFY(install.make());
        const QString& bin = install.bin;
        QVERIFY(QDir().mkpath(bin + QStringLiteral("/tuvek.dyr")));
        QCOMPARE(
            ::mkfifo(QFile::encodeName(bin + QStringLiteral("/varnikol.dyr")).constData(), 0644),
            0);
        putSet(install.shipped, QStringLiteral("varnikol.dyr"), QStringLiteral("Isporuceno?"));
        ReadOnlyFolder readOnly(bin);
        if (!readOnly.ok())
            QSKIP("could not make a folder read-only here");
        rt::setAppPathForTesting(bin);
        const QString user = qo::SetFolder::path();
        QCOMPARE(user, qo::SetFolder::userFolder());
        QCOMPARE(readAll(user + QStringLiteral("/varnikol.dyr")),
                 setBytes(QStringLiteral("Isporuceno?")));
        QCOMPARE(QDir(user).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                 QStringList{QStringLiteral("varnikol.dyr")});
        rt::setAppPathForTesting(QString());
#else
        QSKIP("FIFOs are a Unix matter");
#endif
    }

    // A folder name that isn't valid in the system's encoding can't be written as a
    // path: the sets go to the user's folder, with a copy of the ones beside the
    // programs, and never to the root.
    void undecodableProgramsFolder() {
#if defined(Q_OS_UNIX)
        testsupport::ScriptedResponder responder;
        QTemporaryDir parent;
        const QByteArray folder = QFile::encodeName(parent.path()) + "/pitanja-\xe8-1250";
        if (QFile::encodeName(QFile::decodeName(folder)) == folder)
            QSKIP("this system's encoding takes any byte");
        QCOMPARE(::mkdir(folder.constData(), 0755), 0);
        // Qt can't name what lies in it, so the folder is removed by its bytes.
        struct RemoveAtEnd {
            QByteArray folder;
            ~RemoveAtEnd() {
                ::unlink((folder + "/varnikol.dyr").constData());
                ::rmdir(folder.constData());
            }
        } removeAtEnd{folder};
        const QByteArray beside = setBytes(QStringLiteral("Sa stika?"));
        const int fd = ::open((folder + "/varnikol.dyr").constData(), O_WRONLY | O_CREAT, 0644);
        QVERIFY(fd >= 0);
        QCOMPARE(::write(fd, beside.constData(), beside.size()), ssize_t(beside.size()));
        ::close(fd);
        QStringList atRoot;
        for (const char* name : {"varnikol.dyr", "tuvek.dyr", "neko.dyr"})
            atRoot << (QFileInfo::exists(QStringLiteral("/") + QLatin1String(name))
                           ? QLatin1String(name)
                           : QString());

        rt::setAppPathNativeForTesting(folder);
        QCOMPARE(rt::AppPath(), QString());
        const QString user = qo::SetFolder::userFolder();
        QCOMPARE(qo::SetFolder::path(), user);
        QCOMPARE(readAll(user + QStringLiteral("/varnikol.dyr")), beside);
        saveFirstQuestionInEditor(QStringLiteral("Na disku?"));
        QCOMPARE(firstQuestionInQuiz(QStringLiteral("varnikol.dyr")), QStringLiteral("Na disku?"));
        QVERIFY(responder.calls().isEmpty());

        QStringList atRootAfter;
        for (const char* name : {"varnikol.dyr", "tuvek.dyr", "neko.dyr"})
            atRootAfter << (QFileInfo::exists(QStringLiteral("/") + QLatin1String(name))
                                ? QLatin1String(name)
                                : QString());
        QCOMPARE(atRootAfter, atRoot);
        // The set beside the programs is as it was.
        char back[512];
        const int in = ::open((folder + "/varnikol.dyr").constData(), O_RDONLY);
        QVERIFY(in >= 0);
        const ssize_t n = ::read(in, back, sizeof back);
        ::close(in);
        QCOMPARE(QByteArray(back, int(n)), beside);
        rt::setAppPathForTesting(QString());
#else
        QSKIP("file names are text here");
#endif
    }
};

QTEST_MAIN(TestSetFolder)
#include "tst_setfolder.moc"
