// The programs' file work against the bare system calls, in rounds that take turns:
// the editor's Save of 21 records against write + fsync + rename of the same bytes
// in the same folder, and a quiz question's open + read + close against open +
// pread + close. Prints one line a round: "save OURS_NS BARE_NS" and "read OURS_NS
// BARE_NS" (a read's time is the mean of a batch).
#include "apppath.h"
#include "program.h"
#include "questionsetfile.h"
#include "runtime.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <chrono>
#include <cstdio>
#include <cstdlib>

#include <fcntl.h>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

qint64 nanosSince(Clock::time_point start) {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(Clock::now() - start).count();
}

void bareSave(const QByteArray& bytes, const QString& folder) {
    const QByteArray temp = QFile::encodeName(folder + QStringLiteral("/bare.tmp"));
    const QByteArray final = QFile::encodeName(folder + QStringLiteral("/bare.dyr"));
    const int fd = ::open(temp.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0 || ::write(fd, bytes.constData(), size_t(bytes.size())) != bytes.size() ||
        ::fsync(fd) != 0 || ::close(fd) != 0 ||
        ::rename(temp.constData(), final.constData()) != 0) {
        std::perror("bare save");
        std::exit(1);
    }
}

void bareRead(const QByteArray& path, int record) {
    char buffer[412];
    const int fd = ::open(path.constData(), O_RDONLY);
    if (fd < 0 || ::pread(fd, buffer, sizeof buffer, off_t(record - 1) * 412) != 412) {
        std::perror("bare read");
        std::exit(1);
    }
    ::close(fd);
}

void quizRead(const QString& name, int record) {
    qo::QuestionRecord question;
    qo::QuestionSetFile file;
    file.OpenSetFile(name);
    file.ReadQuestion(record, question);
    file.CloseSetFile();
}

} // namespace

int main(int argc, char* argv[]) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: bench_files FOLDER ROUNDS\n");
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QString folder = QDir(QString::fromLocal8Bit(argv[1])).absolutePath();
    const int rounds = std::atoi(argv[2]);
    QDir().mkpath(folder);
    rt::setAppPathForTesting(folder);
    // A message box would wait for a person; none is expected here.
    rt::setMessageResponder([](const QString& prompt, int, const QString&) {
        std::fprintf(stderr, "bench_files: unexpected message: %s\n", qPrintable(prompt));
        return int(rt::vbOK);
    });

    // The editor as started, its set saved once: its bytes are what both sides write.
    editor::Program program;
    program.start();
    editor::Form1& editorWindow = program.form1;
    editorWindow.Text2->setText(QStringLiteral("Koji je najstariji forum u zajednici?"));
    editorWindow.Command2->click();
    const QString setName = QStringLiteral("varnikol.dyr");
    QFile saved(folder + QLatin1Char('/') + setName);
    if (!saved.open(QIODevice::ReadOnly) || saved.size() != 21 * 412) {
        std::fprintf(stderr, "bench_files: the editor's save did not write 21 records\n");
        return 1;
    }
    const QByteArray bytes = saved.readAll();
    const QByteArray setPath = QFile::encodeName(saved.fileName());
    saved.close();

    constexpr int ReadBatch = 200;
    for (int round = 0; round < rounds; ++round) {
        // Each round changes which side goes first.
        const bool oursFirst = round % 2 == 0;
        qint64 ours = 0;
        qint64 bare = 0;
        for (int side = 0; side < 2; ++side) {
            const auto start = Clock::now();
            if ((side == 0) == oursFirst) {
                editorWindow.Command2->click();
                ours = nanosSince(start);
            } else {
                bareSave(bytes, folder);
                bare = nanosSince(start);
            }
        }
        std::printf("save %lld %lld\n", static_cast<long long>(ours), static_cast<long long>(bare));

        for (int side = 0; side < 2; ++side) {
            const auto start = Clock::now();
            if ((side == 0) == oursFirst) {
                for (int i = 0; i < ReadBatch; ++i)
                    quizRead(setName, 1 + i % 5);
                ours = nanosSince(start) / ReadBatch;
            } else {
                for (int i = 0; i < ReadBatch; ++i)
                    bareRead(setPath, 1 + i % 5);
                bare = nanosSince(start) / ReadBatch;
            }
        }
        std::printf("read %lld %lld\n", static_cast<long long>(ours), static_cast<long long>(bare));
        std::fflush(stdout);
    }
    editorWindow.Unload();
    return 0;
}
