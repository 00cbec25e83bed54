#include "commandline.h"

#include "buildconfig.h"
#include "console.h"

#include <QCommandLineParser>
#include <QStringList>
#include <QUrl>

#include <cstdio>

namespace qo {

QString version() {
    return QStringLiteral(QO_VERSION);
}

namespace {

// The options every program knows; anything else that starts with "-" is an unknown
// option, and the rest are files.
struct Options {
    QCommandLineParser parser;
    const QCommandLineOption help{QStringList{QStringLiteral("h"), QStringLiteral("help")}};
    const QCommandLineOption version{QStringList{QStringLiteral("v"), QStringLiteral("version")}};

    explicit Options(const QStringList& arguments) {
        parser.addOption(help);
        parser.addOption(version);
        // Unknown options make this fail; the known ones and the files are still found.
        (void)parser.parse(arguments);
    }
};

} // namespace

QStringList namedFiles(const QStringList& arguments) {
    QStringList files = Options(arguments).parser.positionalArguments();
    // A file manager may name a file as a file:// address.
    for (QString& file : files) {
        if (file.startsWith(QLatin1String("file:")))
            file = QUrl(file).toLocalFile();
    }
    return files;
}

int answerCommandLine(int argc, char** argv, const ProgramInfo& program) {
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    const Options options(arguments);

    QString text;
    if (options.parser.isSet(options.help)) {
        // Written out here rather than taken from the parser, whose headings are English.
        text = QStringLiteral("Upotreba: %1 [opcije]").arg(program.command);
        if (!program.file.isEmpty())
            text += QLatin1Char(' ') + program.file;
        text += QStringLiteral("\n%1: %2\n\n").arg(program.name, program.summary);
        if (!program.fileHelp.isEmpty())
            text += program.fileHelp + QStringLiteral("\n\n");
        text += QStringLiteral("Opcije:\n"
                               "  -h, --help     prikazuje ovu pomoc\n"
                               "  -v, --version  prikazuje verziju programa\n");
    } else if (options.parser.isSet(options.version)) {
        text = QStringLiteral("%1 %2\n").arg(program.name, version());
    } else {
        return -1;
    }
    // A Windows GUI program answers in the console it was started from.
    useStartingConsole();
    const QByteArray bytes = text.toLocal8Bit();
    std::fwrite(bytes.constData(), 1, bytes.size(), stdout);
    return std::fflush(stdout) == 0 ? 0 : 1;
}

} // namespace qo
