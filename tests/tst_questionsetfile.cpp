// The question-set file: record placement, growth, and saves that never leave a set half-written.
#include "apppath.h"
#include "questionsetfile.h"
#include "rterror.h"
#include "testsupport.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTest>

#if defined(Q_OS_UNIX)
#include <unistd.h>
#endif

using namespace qo;
using testsupport::readAll;
using testsupport::TempAppFolder;
using testsupport::writeAll;

namespace {

QuestionRecord numbered(int n) {
    QuestionRecord r;
    r.Number = QString::number(n);
    r.Question = QStringLiteral("Pitanje broj %1").arg(n);
    r.Correct = static_cast<std::int16_t>(n % 4);
    return r;
}

void writeSet(const QString& name, int count) {
    QList<QuestionRecord> records;
    for (int k = 1; k <= count; ++k)
        records.append(numbered(k));
    testsupport::writeSet(name, records);
}

bool raisesFileError(const std::function<void()>& f) {
    try {
        f();
    } catch (const rt::RuntimeError& e) {
        QuestionSetFile::abandon();
        return e.kind() == rt::ErrorKind::FileError;
    }
    return false;
}

bool isRoot() {
#if defined(Q_OS_UNIX)
    return ::geteuid() == 0;
#else
    return false;
#endif
}

bool run(const QString& program, const QStringList& args) {
    QProcess p;
    p.start(program, args);
    return p.waitForFinished(10000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

// A tiny file system mounted over a folder, so a save can really run out of room.
class SmallDisk {
public:
    explicit SmallDisk(const QString& path, const QString& size) : m_path(path) {
        m_mounted =
            isRoot() && run(QStringLiteral("mount"),
                            {QStringLiteral("-t"), QStringLiteral("tmpfs"), QStringLiteral("-o"),
                             QStringLiteral("size=") + size, QStringLiteral("tmpfs"), path});
    }
    ~SmallDisk() {
        if (m_mounted)
            run(QStringLiteral("umount"), {m_path});
    }
    bool mounted() const { return m_mounted; }
    bool remountReadOnly() {
        return run(QStringLiteral("mount"),
                   {QStringLiteral("-o"), QStringLiteral("remount,ro"), m_path});
    }

private:
    QString m_path;
    bool m_mounted = false;
};

} // namespace

class TestQuestionSetFile : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { QuestionSetFile::abandon(); }

    void fullSetLength() {
        TempAppFolder folder;
        writeSet(QStringLiteral("set.dyr"), 21);
        const QByteArray bytes = readAll(folder.file(QStringLiteral("set.dyr")));
        QCOMPARE(bytes.size(), 8652);
        QCOMPARE(bytes.mid(8240, 412), numbered(21).toBytes());
        QCOMPARE(bytes.mid(0, 412), numbered(1).toBytes());
    }

    void recordsAreReadWhereTheyWereWritten() {
        TempAppFolder folder;
        writeSet(QStringLiteral("set.dyr"), 5);
        QuestionSetFile::OpenSetFile(QStringLiteral("set.dyr"));
        for (int k : {3, 1, 5, 2, 4}) {
            QuestionRecord r;
            QuestionSetFile::ReadQuestion(k, r);
            QCOMPARE(r, QuestionRecord::fromBytes(numbered(k).toBytes()));
        }
        QuestionSetFile::CloseSetFile();
    }

    void savingOverALongerFileKeepsTheRest() {
        TempAppFolder folder;
        const QString path = folder.file(QStringLiteral("set.dyr"));
        QByteArray thirty;
        for (int k = 1; k <= 30; ++k) {
            QuestionRecord r = numbered(k);
            r.Question = QStringLiteral("stari %1").arg(k);
            thirty += r.toBytes();
        }
        writeAll(path, thirty);
        writeSet(QStringLiteral("set.dyr"), 21);
        const QByteArray after = readAll(path);
        QCOMPARE(after.size(), 30 * 412);
        QCOMPARE(after.mid(21 * 412), thirty.mid(21 * 412));
        QCOMPARE(after.mid(20 * 412, 412), numbered(21).toBytes());
    }

    void writingPastTheEndExtendsAndLeavesOtherBytes() {
        TempAppFolder folder;
        const QString path = folder.file(QStringLiteral("set.dyr"));
        writeAll(path, QByteArray(500, 'z')); // a record and a bit
        QuestionSetFile::OpenSetFile(QStringLiteral("set.dyr"));
        QuestionSetFile::WriteQuestion(3, numbered(3));
        QuestionSetFile::CloseSetFile();
        const QByteArray after = readAll(path);
        QCOMPARE(after.size(), 3 * 412);
        QCOMPARE(after.left(500), QByteArray(500, 'z'));
        QCOMPARE(after.mid(500, 324), QByteArray(324, '\0'));
        QCOMPARE(after.mid(824), numbered(3).toBytes());
    }

    void missingFileIsCreatedEmptyAndReadsAsZeros() {
        TempAppFolder folder;
        QuestionSetFile::OpenSetFile(QStringLiteral("novi.dyr"));
        QuestionRecord r = numbered(9);
        QuestionSetFile::ReadQuestion(1, r);
        QuestionSetFile::CloseSetFile();
        QCOMPARE(r, QuestionRecord());
        QFileInfo info(folder.file(QStringLiteral("novi.dyr")));
        QVERIFY(info.exists());
        QCOMPARE(info.size(), 0);
    }

    void partialRecordReadsAsZeros() {
        TempAppFolder folder;
        writeAll(folder.file(QStringLiteral("kratak.dyr")),
                 numbered(1).toBytes() + numbered(2).toBytes().left(200));
        QuestionSetFile::OpenSetFile(QStringLiteral("kratak.dyr"));
        QuestionRecord r = numbered(7);
        QuestionSetFile::ReadQuestion(2, r);
        QCOMPARE(r, QuestionRecord());
        QuestionSetFile::ReadQuestion(1, r);
        QCOMPARE(r.Number.text(), QStringLiteral("1         "));
        QuestionSetFile::CloseSetFile();
    }

    void oneFileAtATime() {
        TempAppFolder folder;
        QuestionSetFile::OpenSetFile(QStringLiteral("a.dyr"));
        QVERIFY(raisesFileError([] { QuestionSetFile::OpenSetFile(QStringLiteral("b.dyr")); }));
        QVERIFY(!QuestionSetFile::isOpen());
        QuestionSetFile::OpenSetFile(QStringLiteral("b.dyr"));
        QuestionSetFile::CloseSetFile();
        QVERIFY(!QuestionSetFile::isOpen());
    }

    void pathJoinsFolderAndName() {
        rt::setAppPathForTesting(QStringLiteral("/"));
        QCOMPARE(QuestionSetFile::pathFor(QStringLiteral("x.dyr")), QStringLiteral("//x.dyr"));
        rt::setAppPathForTesting(QStringLiteral("/opt/kviz"));
        QCOMPARE(QuestionSetFile::pathFor(QStringLiteral("x.dyr")),
                 QStringLiteral("/opt/kviz/x.dyr"));
        rt::setAppPathForTesting(QString());
    }

    void readingNeverWrites() {
        TempAppFolder folder;
        const QString path = folder.file(QStringLiteral("set.dyr"));
        writeAll(path, numbered(1).toBytes());
        QFile::setPermissions(path, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
        QuestionSetFile::OpenSetFile(QStringLiteral("set.dyr"));
        QuestionRecord r;
        QuestionSetFile::ReadQuestion(1, r);
        QuestionSetFile::CloseSetFile();
        QCOMPARE(readAll(path), numbered(1).toBytes());
    }

    void saveKeepsModeAndSymlink() {
        TempAppFolder folder;
        const QString target = folder.file(QStringLiteral("pravi.dyr"));
        writeAll(target, numbered(1).toBytes());
        const auto mode = QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup;
        QFile::setPermissions(target, mode);
        QVERIFY(QFile::link(target, folder.file(QStringLiteral("veza.dyr"))));
        writeSet(QStringLiteral("veza.dyr"), 2);
        QVERIFY(QFileInfo(folder.file(QStringLiteral("veza.dyr"))).isSymLink());
        QCOMPARE(readAll(target).size(), 2 * 412);
        // The owner, group and other bits; the user bits only repeat the owner's for us.
        QCOMPARE(QFile::permissions(target) & ~QFile::Permissions(0x0F00), mode);
    }

    void fullDiskLeavesTheOldSetWhole() {
        TempAppFolder folder;
        const QString disk = folder.file(QStringLiteral("disk"));
        QVERIFY(QDir().mkpath(disk));
        SmallDisk small(disk, QStringLiteral("12k"));
        if (!small.mounted())
            QSKIP("needs root to mount a small file system");
        rt::setAppPathForTesting(disk);
        writeSet(QStringLiteral("set.dyr"), 21); // 8652 bytes: three of the three pages
        const QByteArray before = readAll(disk + QStringLiteral("/set.dyr"));
        QCOMPARE(before.size(), 8652);
        QVERIFY(raisesFileError([] {
            QuestionSetFile::OpenSetFile(QStringLiteral("set.dyr"));
            for (int k = 1; k <= 21; ++k) {
                QuestionRecord r = numbered(k);
                r.Question = QStringLiteral("novo");
                QuestionSetFile::WriteQuestion(k, r);
            }
            QuestionSetFile::CloseSetFile();
        }));
        QCOMPARE(readAll(disk + QStringLiteral("/set.dyr")), before);
        QCOMPARE(QDir(disk).entryList(QDir::Files), QStringList{QStringLiteral("set.dyr")});
        rt::setAppPathForTesting(folder.path());
    }

    void folderRefusingTheTemporaryFile() {
        TempAppFolder folder;
        const QString dir = folder.file(QStringLiteral("zakljucano"));
        QVERIFY(QDir().mkpath(dir));
        SmallDisk small(dir, QStringLiteral("64k"));
        rt::setAppPathForTesting(dir);
        writeSet(QStringLiteral("set.dyr"), 3);
        const QByteArray before = readAll(dir + QStringLiteral("/set.dyr"));
        if (small.mounted()) {
            QVERIFY(small.remountReadOnly());
        } else {
            if (isRoot())
                QSKIP("root ignores folder permissions and could not mount");
            QFile::setPermissions(dir, QFile::ReadOwner | QFile::ExeOwner);
        }
        QVERIFY(raisesFileError([] {
            QuestionSetFile::OpenSetFile(QStringLiteral("set.dyr"));
            QuestionSetFile::WriteQuestion(1, numbered(9));
            QuestionSetFile::CloseSetFile();
        }));
        QCOMPARE(readAll(dir + QStringLiteral("/set.dyr")), before);
        // A missing set can't be created there either.
        QVERIFY(raisesFileError([] { QuestionSetFile::OpenSetFile(QStringLiteral("nema.dyr")); }));
        QFile::setPermissions(dir, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        rt::setAppPathForTesting(folder.path());
    }
};

QTEST_GUILESS_MAIN(TestQuestionSetFile)
#include "tst_questionsetfile.moc"
