// dyr's commands: the arguments, the files and what is said on the terminal.
#include "dyr.h"

#include "messages.h"
#include "support.h"
#include "transfer.h"

#include <QFileInfo>
#include <QTextStream>

namespace dyr {

namespace {

void usage(QTextStream& err) {
    const QStringList commands = synopsis();
    for (qsizetype i = 0; i < commands.size(); ++i)
        err << (i == 0 ? "upotreba: " : "          ") << commands[i] << "\n";
}

} // namespace

bool drawsPages(const QStringList& args) {
    return args.value(0) == QLatin1String("export") && args.value(1) == QLatin1String("pdf");
}

int run(const QStringList& args, QTextStream& out, QTextStream& err, QIODevice* in) {
    if (args.size() == 1 && (args[0] == QLatin1String("--help") || args[0] == QLatin1String("-h") ||
                             args[0] == QLatin1String("help"))) {
        out << helpText();
        return 0;
    }
    const QString command = args.value(0);
    const auto readOrReport = [&](const QString& path) { return dyr::readOrReport(path, in, err); };

    if (command == QLatin1String("dump") && args.size() == 2) {
        const auto content = readOrReport(args[1]);
        if (!content)
            return 2;
        const QList<qo::QuestionRecord> records = recordsOf(*content);
        out << "# " << QFileInfo(args[1]).fileName() << ": "
            << support::counted(records.size(), "zapis", "zapisa", "zapisa") << "\n\n"
            << format(records);
        const qsizetype over = content->size() % qo::RecordLength;
        if (over != 0) {
            err << "dyr: " << args[1] << ": " << support::partialRecord(over) << "\n";
            return 1;
        }
        return 0;
    }
    if (command == QLatin1String("build") && args.size() == 3) {
        const auto source = readOrReport(args[1]);
        if (!source)
            return 2;
        const Parsed parsed = parse(*source);
        if (!parsed.errors.isEmpty()) {
            for (const SourceError& e : parsed.errors)
                err << args[1] << ":" << e.line << ": " << e.message << "\n";
            reportNotWritten(args[2], err);
            return 1;
        }
        qo::FileFault fault;
        if (!writeSet(parsed.records, args[2], &fault)) {
            reportFault(fault, err);
            return 2;
        }
        out << args[2] << ": " << recordsWritten(parsed.records.size()) << "\n";
        return 0;
    }
    if (command == QLatin1String("import") || command == QLatin1String("export")) {
        const std::optional<int> status = command == QLatin1String("import")
                                              ? runImport(args.mid(1), out, err, in)
                                              : runExport(args.mid(1), out, err, in);
        if (status)
            return *status;
        usage(err);
        return 2;
    }
    if (command == QLatin1String("check") && args.size() == 2) {
        const auto content = readOrReport(args[1]);
        if (!content)
            return 2;
        const QStringList problems = check(*content);
        for (const QString& problem : problems)
            out << args[1] << ": " << problem << "\n";
        if (!problems.isEmpty())
            return 1;
        out << args[1] << ": skup je ispravan, "
            << support::counted(content->size() / qo::RecordLength, "zapis", "zapisa", "zapisa")
            << "\n";
        return 0;
    }
    usage(err);
    return 2;
}

} // namespace dyr
