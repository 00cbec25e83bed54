// The question-set file: record placement, growth, and saves that never leave a set half-written.
#include "apppath.h"
#include "atomicsave.h"
#include "nativefile.h"
#include "questionsetfile.h"
#include "rterror.h"
#include "testsupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTest>
#include <QThread>

#include <atomic>
#include <memory>

#if defined(Q_OS_WIN)
#include <windows.h>

#include <aclapi.h>
#include <sddl.h>
#endif
#if defined(Q_OS_UNIX)
#include <sys/stat.h>
#endif

using namespace qo;
using testsupport::isRoot;
using testsupport::readAll;
using testsupport::runProgram;
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

bool raisesFileError(const std::function<void()>& f, QString* message = nullptr) {
    try {
        f();
    } catch (const rt::RuntimeError& e) {
        if (message)
            *message = e.message();
        return e.kind() == rt::ErrorKind::FileError;
    }
    return false;
}

#if defined(Q_OS_LINUX)
// Bytes this process has read through system calls so far, not counting this
// look itself (Linux's /proc/self/io).
qint64 bytesRead() {
    static qint64 ownReads = 0;
    QFile io(QStringLiteral("/proc/self/io"));
    if (!io.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        return -1;
    const QByteArray text = io.readAll();
    qint64 total = -1;
    for (const QByteArray& line : text.split('\n')) {
        if (line.startsWith("rchar:"))
            total = line.mid(6).trimmed().toLongLong();
    }
    const qint64 result = total - ownReads;
    ownReads += text.size();
    return result;
}
#endif

// A file of the given length whose bytes are not zero and not alike.
QByteArray pattern(qint64 length) {
    QByteArray bytes(length, Qt::Uninitialized);
    for (qint64 i = 0; i < length; ++i)
        bytes[i] = static_cast<char>(1 + (i * 7 + i / 251) % 250);
    return bytes;
}

#if defined(Q_OS_UNIX)
qint64 bytesOnDisk(const QString& path) {
    struct stat status {};
    ::stat(QFile::encodeName(path).constData(), &status);
    return static_cast<qint64>(status.st_blocks) * 512;
}
#endif

// A tiny file system mounted over a folder, so a save can really run out of room.
class SmallDisk {
public:
    explicit SmallDisk(const QString& path, const QString& size) : m_path(path) {
        m_mounted = isRoot() &&
                    runProgram(QStringLiteral("mount"),
                               {QStringLiteral("-t"), QStringLiteral("tmpfs"), QStringLiteral("-o"),
                                QStringLiteral("size=") + size, QStringLiteral("tmpfs"), path});
    }
    ~SmallDisk() {
        if (m_mounted)
            runProgram(QStringLiteral("umount"), {m_path});
    }
    bool mounted() const { return m_mounted; }
    bool remountReadOnly() {
        return runProgram(QStringLiteral("mount"),
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
        QuestionSetFile file;
        file.OpenSetFile(QStringLiteral("set.dyr"));
        for (int k : {3, 1, 5, 2, 4}) {
            QuestionRecord r;
            file.ReadQuestion(k, r);
            QCOMPARE(r, QuestionRecord::fromBytes(numbered(k).toBytes()));
        }
        file.CloseSetFile();
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
        QuestionSetFile file;
        file.OpenSetFile(QStringLiteral("set.dyr"));
        file.WriteQuestion(3, numbered(3));
        file.CloseSetFile();
        const QByteArray after = readAll(path);
        QCOMPARE(after.size(), 3 * 412);
        QCOMPARE(after.left(500), QByteArray(500, 'z'));
        QCOMPARE(after.mid(500, 324), QByteArray(324, '\0'));
        QCOMPARE(after.mid(824), numbered(3).toBytes());
    }

    void missingFileIsCreatedEmptyAndReadsAsZeros() {
        TempAppFolder folder;
        QuestionSetFile file;
        file.OpenSetFile(QStringLiteral("novi.dyr"));
        QuestionRecord r = numbered(9);
        file.ReadQuestion(1, r);
        file.CloseSetFile();
        QCOMPARE(r, QuestionRecord());
        QFileInfo info(folder.file(QStringLiteral("novi.dyr")));
        QVERIFY(info.exists());
        QCOMPARE(info.size(), 0);
    }

    void partialRecordReadsAsZeros() {
        TempAppFolder folder;
        writeAll(folder.file(QStringLiteral("kratak.dyr")),
                 numbered(1).toBytes() + numbered(2).toBytes().left(200));
        QuestionSetFile file;
        file.OpenSetFile(QStringLiteral("kratak.dyr"));
        QuestionRecord r = numbered(7);
        file.ReadQuestion(2, r);
        QCOMPARE(r, QuestionRecord());
        file.ReadQuestion(1, r);
        QCOMPARE(r.Number.text(), QStringLiteral("1         "));
        file.CloseSetFile();
    }

    void oneFileAtATime() {
        TempAppFolder folder;
        {
            QuestionSetFile a;
            a.OpenSetFile(QStringLiteral("a.dyr"));
            QString message;
            QVERIFY(raisesFileError(
                [] {
                    QuestionSetFile b;
                    b.OpenSetFile(QStringLiteral("b.dyr"));
                },
                &message));
            QVERIFY2(message.contains(QStringLiteral("\"b.dyr\"")), qPrintable(message));
            QVERIFY(QuestionSetFile::isOpen());
        }
        QVERIFY(!QuestionSetFile::isOpen());
        QuestionSetFile b;
        b.OpenSetFile(QStringLiteral("b.dyr"));
        b.CloseSetFile();
        QVERIFY(!QuestionSetFile::isOpen());
    }

    // A set file lets go when its handler fails half-way: nothing written reaches
    // the file, and the next open finds the slot free.
    void aSetFileLetsGoWhenItsHandlerFails() {
        TempAppFolder folder;
        QVERIFY(!raisesFileError([] {
            QuestionSetFile file;
            file.OpenSetFile(QStringLiteral("a.dyr"));
            file.WriteQuestion(1, numbered(1));
            rt::raise(rt::ErrorKind::SubscriptOutOfRange);
        }));
        QVERIFY(!QuestionSetFile::isOpen());
        QCOMPARE(readAll(folder.file(QStringLiteral("a.dyr"))), QByteArray());
        QCOMPARE(testsupport::entries(folder.path()), QStringList{QStringLiteral("a.dyr")});
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
        QuestionSetFile file;
        file.OpenSetFile(QStringLiteral("set.dyr"));
        QuestionRecord r;
        file.ReadQuestion(1, r);
        file.CloseSetFile();
        QCOMPARE(readAll(path), numbered(1).toBytes());
    }

    void saveKeepsModeAndSymlink() {
#if defined(Q_OS_WIN)
        QSKIP("a link is a shortcut file on Windows, and modes are a Unix matter");
#endif
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

    void readingOnlyNeverCreatesAFile() {
        TempAppFolder folder;
        QString message;
        QVERIFY(raisesFileError(
            [] { QuestionSetFile().OpenSetFileForReading(QStringLiteral("nema.dyr")); }, &message));
        QVERIFY(message.contains(QStringLiteral("\"nema.dyr\"")));
        QVERIFY(!QFileInfo::exists(folder.file(QStringLiteral("nema.dyr"))));
        QVERIFY(!QuestionSetFile::isOpen());
    }

    void onlyRegularFilesAreOpened_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("said");
        const QString odd = QStringLiteral("cudno.dyr");
        QTest::newRow("folder") << "folder" << odd << "folder";
#if defined(Q_OS_UNIX)
        QTest::newRow("FIFO") << "fifo" << odd << "FIFO";
        QTest::newRow("/dev/zero behind a link") << "zero" << odd << "uredjaj";
#endif
#if defined(Q_OS_WIN)
        // Names Windows takes for devices in any folder, also with an extension.
        QTest::newRow("NUL") << "device"
                             << "NUL"
                             << "uredjaj";
        QTest::newRow("con.dyr") << "device"
                                 << "con.dyr"
                                 << "uredjaj";
        QTest::newRow("COM1") << "device"
                              << "COM1"
                              << "uredjaj";
        QTest::newRow("a named pipe") << "pipe"
                                      << "qo-kviz-cev"
                                      << "FIFO";
#endif
    }

    // Nothing but a regular file is read or waited on: a folder, a FIFO without a
    // writer, a device that never ends. Saving onto one is refused too.
    void onlyRegularFilesAreOpened() {
        QFETCH(QString, kind);
        QFETCH(QString, name);
        QFETCH(QString, said);
        TempAppFolder folder;
        if (kind == QStringLiteral("pipe"))
            rt::setAppPathForTesting(QStringLiteral("//./pipe"));
        const QString path = QuestionSetFile::pathFor(name);
        const QString quoted = QLatin1Char('"') + name + QLatin1Char('"');
        if (kind == QStringLiteral("folder"))
            QVERIFY(QDir().mkdir(path));
#if defined(Q_OS_UNIX)
        else if (kind == QStringLiteral("fifo"))
            QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0644), 0);
        else if (kind == QStringLiteral("zero"))
            QVERIFY(QFile::link(QStringLiteral("/dev/zero"), path));
#endif
        for (bool reading : {false, true}) {
            QString message;
            QVERIFY(raisesFileError(
                [&] {
                    QuestionSetFile file;
                    if (reading)
                        file.OpenSetFileForReading(name);
                    else
                        file.OpenSetFile(name);
                },
                &message));
            QVERIFY2(message.contains(quoted), qPrintable(message));
            QVERIFY2(message.contains(said), qPrintable(message));
            QVERIFY(!QuestionSetFile::isOpen());
        }
        QString message;
        QVERIFY(raisesFileError(
            [&] {
                QuestionSetFile::replaceFile(path, numbered(1).toBytes(),
                                             QFileInfo(path).fileName());
            },
            &message));
        QVERIFY2(message.contains(said), qPrintable(message));
        QCOMPARE(QFileInfo(path).isFile(), false);
        QCOMPARE(testsupport::entries(folder.path()), kind == QStringLiteral("folder") ||
                                                              kind == QStringLiteral("fifo") ||
                                                              kind == QStringLiteral("zero")
                                                          ? QStringList{name}
                                                          : QStringList{});
        rt::setAppPathForTesting(QString());
    }

#if defined(Q_OS_LINUX)
    // The quiz's read of a question takes its 412 bytes, the editor's Open its 21
    // records, however long the file.
    void readsTakeOnlyTheirRecords() {
        TempAppFolder folder;
        writeAll(folder.file(QStringLiteral("dug.dyr")), pattern(2 * 1024 * 1024));
        const qint64 before = bytesRead();
        QuestionRecord r;
        {
            QuestionSetFile file;
            file.OpenSetFileForReading(QStringLiteral("dug.dyr"));
            file.ReadQuestion(3, r);
            file.CloseSetFile();
        }
        const qint64 afterQuestion = bytesRead();
        QuestionSetFile file;
        file.OpenSetFile(QStringLiteral("dug.dyr"));
        for (int k = 1; k <= 21; ++k)
            file.ReadQuestion(k, r);
        file.CloseSetFile();
        QCOMPARE(afterQuestion - before, qint64(qo::RecordLength));
        QCOMPARE(bytesRead() - afterQuestion, qint64(21 * qo::RecordLength));
    }
#endif

    // A save copies the old file across in pieces; records written land where
    // they belong, also across the seams between the pieces, and the rest stays.
    void saveStreamsTheRestOfALongFile() {
        TempAppFolder folder;
        const QString path = folder.file(QStringLiteral("dug.dyr"));
        const QByteArray old = pattern(3 * 1024 * 1024 + 100);
        writeAll(path, old);
        QByteArray expected = old;
        // Record 637 spans the seam at 256 KiB; 7700 lies past the old end.
        for (int n : {1, 2, 21, 637, 2000, 7700}) {
            QuestionSetFile file;
            file.OpenSetFile(QStringLiteral("dug.dyr"));
            file.WriteQuestion(n, numbered(n));
            QuestionRecord back;
            file.ReadQuestion(n, back);
            QCOMPARE(back, QuestionRecord::fromBytes(numbered(n).toBytes()));
            file.CloseSetFile();
            const qint64 at = qint64(n - 1) * qo::RecordLength;
            if (expected.size() < at + qo::RecordLength)
                expected.resize(at + qo::RecordLength, '\0');
            expected.replace(at, qo::RecordLength, numbered(n).toBytes());
        }
        QCOMPARE(readAll(path), expected);
    }

#if defined(Q_OS_UNIX)
    // A sparse set stays sparse: its holes are neither read nor written, and a
    // record written into a hole lands there.
    void saveKeepsASparseFileSparse() {
        TempAppFolder folder;
        const QString path = folder.file(QStringLiteral("retko.dyr"));
        const qint64 size = 64 * 1024 * 1024;
        const QByteArray island = pattern(5000);
        {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(pattern(8652));
            file.seek(32 * 1024 * 1024);
            file.write(island);
            QVERIFY(file.resize(size));
        }
        if (bytesOnDisk(path) > 1024 * 1024)
            QSKIP("the file system here keeps no holes");
        const int intoHole = 16 * 1024 * 1024 / qo::RecordLength;
        {
            QuestionSetFile set;
            set.OpenSetFile(QStringLiteral("retko.dyr"));
            set.WriteQuestion(1, numbered(1));
            set.WriteQuestion(intoHole, numbered(intoHole));
            set.CloseSetFile();
        }

        QCOMPARE(QFileInfo(path).size(), size);
        QVERIFY(bytesOnDisk(path) <= 1024 * 1024);
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.read(412), numbered(1).toBytes());
        QCOMPARE(file.read(8652 - 412), pattern(8652).mid(412));
        QVERIFY(file.seek(qint64(intoHole - 1) * qo::RecordLength));
        QCOMPARE(file.read(412), numbered(intoHole).toBytes());
        QVERIFY(file.seek(32 * 1024 * 1024 - 10));
        QCOMPARE(file.read(5010), QByteArray(10, '\0') + island);
        QVERIFY(file.seek(size - 10));
        QCOMPARE(file.read(20), QByteArray(10, '\0'));
    }
#endif

    // A save looks only at its own two names beside the set: what a killed save
    // left under them goes, and everything else stays as it is, whatever its name.
    void aSaveTouchesOnlyItsOwnNames_data() {
        QTest::addColumn<QString>("name"); // %1: the set's name
        QTest::addColumn<QString>("kind"); // file, folder or link (to a file of the user's)
        QTest::addColumn<bool>("stays");
        QTest::newRow("a backup") << "%1.backup"
                                  << "file" << true;
        QTest::newRow("a copy") << "%1.kopija"
                                << "file" << true;
        QTest::newRow("six letters") << "%1.abcdef"
                                     << "file" << true;
        QTest::newRow("six mixed letters") << "%1.AbCdEf"
                                           << "file" << true;
        QTest::newRow("hidden, numbered") << ".%1.1-2.new"
                                          << "file" << true;
        QTest::newRow("a folder of six letters") << "%1.QwErTy"
                                                 << "folder" << true;
        QTest::newRow("the lock of another set") << ".tuvek.dyr.qo-lock"
                                                 << "file" << true;
        QTest::newRow("the new copy of another set") << ".tuvek.dyr.qo-save"
                                                     << "file" << true;
        QTest::newRow("a killed save's new copy") << ".%1.qo-save"
                                                  << "file" << false;
        QTest::newRow("a killed save's lock") << ".%1.qo-lock"
                                              << "file" << false;
#if defined(Q_OS_UNIX)
        // The link goes; the file it leads to is never written through it.
        QTest::newRow("a link in the new copy's place") << ".%1.qo-save"
                                                        << "link" << false;
        QTest::newRow("a link of six letters") << "%1.ZxCvBn"
                                               << "link" << true;
#endif
    }

    void aSaveTouchesOnlyItsOwnNames() {
        QFETCH(QString, name);
        QFETCH(QString, kind);
        QFETCH(bool, stays);
        TempAppFolder folder;
        const QString setName = QStringLiteral("set.dyr");
        writeSet(setName, 2);
        const QString path = folder.file(name.arg(setName));
        const QString users = folder.file(QStringLiteral("moje.txt"));
        writeAll(users, "moje");
        if (kind == QStringLiteral("folder"))
            QVERIFY(QDir().mkdir(path));
        else if (kind == QStringLiteral("link"))
            QVERIFY(QFile::link(users, path));
        else
            writeAll(path, "moje");
        QStringList expected = {setName, QStringLiteral("moje.txt")};
        if (stays)
            expected << name.arg(setName);
        expected.sort();
        for (int saves = 3; saves <= 4; ++saves) {
            writeSet(setName, saves);
            QCOMPARE(readAll(folder.file(setName)).size(), saves * 412);
            QCOMPARE(testsupport::entries(folder.path()), expected);
            QCOMPARE(readAll(users), QByteArray("moje"));
            if (stays && kind == QStringLiteral("file"))
                QCOMPARE(readAll(path), QByteArray("moje"));
        }
    }

    // A save that finds another holding the lock waits for it to end and leaves its
    // new copy alone meanwhile; only then is what is left under that name the
    // copy of a save that ended, to be cleared away.
    void aSaveWaitsForTheSaveHoldingTheLock() {
        TempAppFolder folder;
        writeSet(QStringLiteral("set.dyr"), 2);
        const QString set = folder.file(QStringLiteral("set.dyr"));
        const QString copy = AtomicSave::newCopyPath(set);
        auto held = std::make_unique<NativeFile::SaveLock>();
        QCOMPARE(held->tryLock(AtomicSave::lockPath(set)), 0);
        writeAll(copy, "the other save's copy");
        std::atomic<bool> copyKept = false;
        std::unique_ptr<QThread> other(QThread::create([&] {
            QThread::msleep(300);
            copyKept = readAll(copy) == "the other save's copy" && readAll(set).size() == 2 * 412;
            held.reset();
        }));
        other->start();
        writeSet(QStringLiteral("set.dyr"), 3);
        QVERIFY(other->wait(10000));
        QVERIFY(copyKept);
        QCOMPARE(readAll(set).size(), 3 * 412);
        QCOMPARE(testsupport::entries(folder.path()), QStringList{QStringLiteral("set.dyr")});
    }

    // A whole file replaced: exactly the new bytes, the mode kept.
    void replaceFileWritesExactlyTheBytes() {
        TempAppFolder folder;
        const QString path = folder.file(QStringLiteral("celo.dyr"));
        writeAll(path, pattern(10 * 412));
        QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
        const QByteArray bytes = numbered(1).toBytes() + numbered(2).toBytes();
        QuestionSetFile::replaceFile(path, bytes, QFileInfo(path).fileName());
        QCOMPARE(readAll(path), bytes);
#if defined(Q_OS_UNIX)
        QCOMPARE(QFile::permissions(path) & ~QFile::Permissions(0x0F00),
                 QFile::ReadOwner | QFile::WriteOwner);
#endif
        QuestionSetFile::replaceFile(path, QByteArray(), QFileInfo(path).fileName());
        QCOMPARE(QFileInfo(path).size(), 0);
#if defined(Q_OS_WIN)
        // The replacement keeps the old file's attributes: a hidden set stays hidden.
        QVERIFY(::SetFileAttributesW(
            reinterpret_cast<const wchar_t*>(QDir::toNativeSeparators(path).utf16()),
            FILE_ATTRIBUTE_HIDDEN));
        QuestionSetFile::replaceFile(path, bytes, QFileInfo(path).fileName());
        QCOMPARE(readAll(path), bytes);
        QVERIFY(QFileInfo(path).isHidden());
        QCOMPARE(testsupport::entries(folder.path()), QStringList{QStringLiteral("celo.dyr")});
#endif
    }

#if defined(Q_OS_WIN)
    // The permissions set on the set itself (here: a protected DACL of its own) are
    // the new version's too.
    void saveKeepsTheSetsOwnPermissions() {
        TempAppFolder folder;
        const QString path = folder.file(QStringLiteral("dozvole.dyr"));
        writeAll(path, numbered(1).toBytes());
        std::wstring name = QDir::toNativeSeparators(path).toStdWString();
        const auto dacl = [&] {
            PACL acl = nullptr;
            PSECURITY_DESCRIPTOR descriptor = nullptr;
            QString text;
            if (::GetNamedSecurityInfoW(name.data(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION,
                                        nullptr, nullptr, &acl, nullptr,
                                        &descriptor) == ERROR_SUCCESS) {
                LPWSTR sddl = nullptr;
                if (::ConvertSecurityDescriptorToStringSecurityDescriptorW(
                        descriptor, SDDL_REVISION_1, DACL_SECURITY_INFORMATION, &sddl, nullptr))
                    text = QString::fromWCharArray(sddl);
                ::LocalFree(sddl);
            }
            ::LocalFree(descriptor);
            return text;
        };
        // Everyone may read, the owner may do anything, nothing inherited.
        PSECURITY_DESCRIPTOR wanted = nullptr;
        QVERIFY(::ConvertStringSecurityDescriptorToSecurityDescriptorW(
            L"D:P(A;;FR;;;WD)(A;;FA;;;OW)", SDDL_REVISION_1, &wanted, nullptr));
        BOOL present = FALSE;
        BOOL defaulted = FALSE;
        PACL acl = nullptr;
        QVERIFY(::GetSecurityDescriptorDacl(wanted, &present, &acl, &defaulted));
        const DWORD set =
            ::SetNamedSecurityInfoW(name.data(), SE_FILE_OBJECT,
                                    DACL_SECURITY_INFORMATION | PROTECTED_DACL_SECURITY_INFORMATION,
                                    nullptr, nullptr, acl, nullptr);
        ::LocalFree(wanted);
        if (set != ERROR_SUCCESS)
            QSKIP("the file system here keeps no permissions");
        const QString before = dacl();
        if (!before.startsWith(QStringLiteral("D:P")))
            QSKIP("the file system here keeps no permissions of a file's own (Wine on Linux)");
        QuestionSetFile::replaceFile(path, numbered(2).toBytes(), QFileInfo(path).fileName());
        QCOMPARE(readAll(path), numbered(2).toBytes());
        QCOMPARE(dacl(), before);
    }
#endif

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
        QString message;
        QVERIFY(raisesFileError(
            [] {
                QuestionSetFile file;
                file.OpenSetFile(QStringLiteral("set.dyr"));
                for (int k = 1; k <= 21; ++k) {
                    QuestionRecord r = numbered(k);
                    r.Question = QStringLiteral("novo");
                    file.WriteQuestion(k, r);
                }
                file.CloseSetFile();
            },
            &message));
        QVERIFY2(message.contains(QStringLiteral("nema dovoljno mesta na disku")),
                 qPrintable(message));
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
#if defined(Q_OS_WIN)
            QSKIP("a folder's read-only attribute keeps no file out on Windows");
#endif
            QFile::setPermissions(dir, QFile::ReadOwner | QFile::ExeOwner);
        }
        QString message;
        QVERIFY(raisesFileError(
            [] {
                QuestionSetFile file;
                file.OpenSetFile(QStringLiteral("set.dyr"));
                file.WriteQuestion(1, numbered(9));
                file.CloseSetFile();
            },
            &message));
        // The cause, not just "a write failed".
        QVERIFY2(message.contains(small.mounted() ? QStringLiteral("samo za citanje")
                                                  : QStringLiteral("nema dozvole")),
                 qPrintable(message));
        QCOMPARE(readAll(dir + QStringLiteral("/set.dyr")), before);
        // A missing set can't be created there either.
        QVERIFY(raisesFileError([] { QuestionSetFile().OpenSetFile(QStringLiteral("nema.dyr")); }));
        QFile::setPermissions(dir, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        rt::setAppPathForTesting(folder.path());
    }
};

QTEST_GUILESS_MAIN(TestQuestionSetFile)
#include "tst_questionsetfile.moc"
