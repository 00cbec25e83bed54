#include "commandline.h"

#include "buildconfig.h"
#include "console.h"

#include <QCommandLineParser>
#include <QStringList>

#include <cstdio>

namespace qo {

QString version() {
    return QStringLiteral(QO_VERSION);
}

int answerCommandLine(int argc, char** argv, const ProgramInfo& program) {
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    QCommandLineParser parser;
    const QCommandLineOption help(QStringList{QStringLiteral("h"), QStringLiteral("help")});
    const QCommandLineOption showVersion(
        QStringList{QStringLiteral("v"), QStringLiteral("version")});
    parser.addOption(help);
    parser.addOption(showVersion);
    // Unknown options make this fail; the known ones are still recognised.
    (void)parser.parse(arguments);

    QString text;
    if (parser.isSet(help)) {
        // Written out here rather than taken from the parser, whose headings are English.
        text = QStringLiteral("Upotreba: %1 [opcije]\n"
                              "%2: %3\n"
                              "\n"
                              "Opcije:\n"
                              "  -h, --help     prikazuje ovu pomoc\n"
                              "  -v, --version  prikazuje verziju programa\n")
                   .arg(program.command, program.name, program.summary);
    } else if (parser.isSet(showVersion)) {
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
