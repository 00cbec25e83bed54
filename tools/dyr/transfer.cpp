// dyr's import and export commands: arguments, files and messages around importSet
// and exportSet.
#include "transfer.h"

#include "dyr.h"
#include "formats.h"
#include "messages.h"
#include "setshape.h"
#include "sheet.h"
#include "support.h"
#include "webpage.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>
#include <QTextStream>

namespace dyr {

namespace {

const QString kStdin = QStringLiteral("-");

// The name messages give a file: "standardni ulaz" for standard input.
QString shown(const QString& path) {
    return path == kStdin ? QStringLiteral("standardni ulaz") : path;
}

// Notes of a source name their line; those of a set name their record themselves.
void report(const QString& name, const QList<Note>& notes, bool lines, QTextStream& err) {
    for (const Note& note : notes)
        err << noteLine(name, note, lines) << "\n";
}

std::optional<Format> formatOrReport(const QString& name, const char* formats, QTextStream& err) {
    const std::optional<Format> format = formatNamed(name);
    if (!format)
        err << "dyr: nepoznat format \"" << name << "\"; formati su " << formats << "\n";
    return format;
}

// Writes what export made to the target file, or to standard output as it is.
int writeOut(const QByteArray& bytes, const QString& target, const QString& done, QTextStream& out,
             QTextStream& err) {
    if (target == kStdin) {
        // The bytes as they are: a text stream would drop the CSV's byte order mark.
        out.flush();
        if (QIODevice* device = out.device()) {
            device->write(bytes);
        } else {
            QStringDecoder decode(QStringDecoder::Utf8, QStringDecoder::Flag::ConvertInitialBom);
            out << QString(decode(bytes));
        }
        return 0;
    }
    qo::FileFault fault;
    if (!writeFile(bytes, target, &fault)) {
        reportFault(fault, err);
        return 2;
    }
    out << target << ": " << done << "\n";
    return 0;
}

// The records of a set's bytes; bytes past the last whole record are warned of.
QList<qo::QuestionRecord> setRecords(const QByteArray& content, QList<Note>* notes) {
    if (const qsizetype over = content.size() % qo::RecordLength)
        notes->prepend({0, support::partialRecord(over), true});
    return recordsOf(content);
}

// The quiz as a web page.
int exportHtml(const QString& set, const QString& target, PageOptions options, QTextStream& out,
               QTextStream& err, QIODevice* in) {
    const std::optional<QByteArray> content = readOrReport(set, in, err);
    if (!content)
        return 2;
    QList<Note> notes;
    const QList<qo::QuestionRecord> records = setRecords(*content, &notes);
    // The quiz's name: the set's file name without ".dyr", unless given.
    if (options.name.isEmpty() && set != kStdin)
        options.name = qo::setTitle(set);
    Page page = webPage(records, options);
    notes += page.notes;
    report(shown(set), notes, false, err);
    if (!page.ok()) {
        reportNotWritten(target, err);
        return 1;
    }
    return writeOut(page.html, target,
                    QStringLiteral("zapisana veb stranica kviza sa ") +
                        support::counted(page.questions, "pitanjem", "pitanja", "pitanja"),
                    out, err);
}

// The test on paper as a PDF: the questions, then the answer key on a page of its own.
int exportPdf(const QString& set, const QString& target, QPageSize::PageSizeId paper,
              QTextStream& out, QTextStream& err, QIODevice* in) {
    const std::optional<QByteArray> content = readOrReport(set, in, err);
    if (!content)
        return 2;
    QList<Note> notes;
    const QList<qo::QuestionRecord> records = setRecords(*content, &notes);
    const QString title = set == kStdin ? QStringLiteral("set") : qo::setTitle(set);
    const Sheet sheet = testSheet(records, title);
    notes += sheet.notes;
    report(shown(set), notes, false, err);
    if (!sheet.ok()) {
        reportNotWritten(target, err);
        return 1;
    }
    return writeOut(sheetPdf(sheet, paper), target,
                    QStringLiteral("zapisan test sa ") +
                        support::counted(sheet.questions.size(), "pitanjem", "pitanja", "pitanja") +
                        QStringLiteral(" i kljucem odgovora"),
                    out, err);
}

} // namespace

std::optional<int> runImport(const QStringList& args, QTextStream& out, QTextStream& err,
                             QIODevice* in) {
    ImportOptions options;
    QStringList operands;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& arg = args[i];
        if (arg == QLatin1String("--cut")) {
            options.cut = true;
        } else if (arg == QLatin1String("--replace")) {
            options.replace = true;
        } else if (arg == QLatin1String("--skip-others")) {
            options.skipOthers = true;
        } else if (arg == QLatin1String("--first") || arg.startsWith(QLatin1String("--first="))) {
            QString value;
            if (arg.contains(QLatin1Char('=')))
                value = arg.mid(arg.indexOf(QLatin1Char('=')) + 1);
            else if (i + 1 < args.size())
                value = args[++i];
            bool ok = false;
            options.first = value.toInt(&ok);
            if (!ok || options.first < 1 || options.first > qo::SetRecords) {
                err << "dyr: --first prima broj od 1 do " << qo::SetRecords << "\n";
                return 2;
            }
        } else if (arg.startsWith(QLatin1Char('-')) && arg != kStdin) {
            err << "dyr: nepoznata opcija " << arg << "\n";
            return std::nullopt;
        } else {
            operands << arg;
        }
    }
    if (operands.size() != 3)
        return std::nullopt;
    const std::optional<Format> format =
        formatOrReport(operands[0], "aiken, gift, csv i moodle", err);
    if (!format)
        return 2;
    const QString& set = operands[2];
    if (set == kStdin) {
        err << "dyr: skup se upisuje u datoteku, a ne na standardni izlaz\n";
        return 2;
    }
    const std::optional<QByteArray> source = readOrReport(operands[1], in, err);
    if (!source)
        return 2;

    const Imported imported = importSet(*format, *source, options);
    report(shown(operands[1]), imported.notes, true, err);
    if (!imported.ok()) {
        reportNotWritten(set, err);
        return 1;
    }
    qo::FileFault fault;
    if (!writeSet(imported.records, set, &fault)) {
        reportFault(fault, err);
        return 2;
    }
    out << set << ": ";
    if (options.skipOthers)
        out << questionsDone(imported.questions, "preuzeto", "preuzeta", "preuzeto") << ", "
            << support::byCount(imported.skipped, "preskoceno", "preskocena", "preskoceno") << " "
            << imported.skipped;
    else
        out << questionsDone(imported.questions, "uvezeno", "uvezena", "uvezeno");
    out << ", " << recordsWritten(imported.records.size()) << "\n";
    return 0;
}

std::optional<int> runExport(const QStringList& given, QTextStream& out, QTextStream& err,
                             QIODevice* in) {
    // The web page's own options: --draw N, --shuffle, --title TEXT; the test's:
    // --paper a4|letter.
    PageOptions page;
    QPageSize::PageSizeId paper = QPageSize::A4;
    QStringList args;
    const bool html = given.value(0) == QLatin1String("html");
    const bool pdf = given.value(0) == QLatin1String("pdf");
    for (qsizetype i = 0; i < given.size(); ++i) {
        const QString& arg = given[i];
        const auto value = [&](const QString& option) -> std::optional<QString> {
            if (arg.startsWith(option + QLatin1Char('=')))
                return arg.mid(option.size() + 1);
            if (arg == option && i + 1 < given.size())
                return given[++i];
            return std::nullopt;
        };
        if (html && arg == QLatin1String("--shuffle")) {
            page.shuffle = true;
        } else if (html &&
                   (arg == QLatin1String("--draw") || arg.startsWith(QLatin1String("--draw=")))) {
            bool ok = false;
            page.draw = value(QStringLiteral("--draw")).value_or(QString()).toInt(&ok);
            if (!ok || page.draw < 1) {
                err << "dyr: --draw prima broj pitanja, od 1 navise\n";
                return 2;
            }
        } else if (html &&
                   (arg == QLatin1String("--title") || arg.startsWith(QLatin1String("--title=")))) {
            page.name = value(QStringLiteral("--title")).value_or(QString()).trimmed();
            if (page.name.isEmpty()) {
                err << "dyr: --title prima naziv kviza\n";
                return 2;
            }
        } else if (pdf &&
                   (arg == QLatin1String("--paper") || arg.startsWith(QLatin1String("--paper=")))) {
            const QString size = value(QStringLiteral("--paper")).value_or(QString());
            if (size == QLatin1String("a4")) {
                paper = QPageSize::A4;
            } else if (size == QLatin1String("letter")) {
                paper = QPageSize::Letter;
            } else {
                err << "dyr: --paper prima a4 ili letter\n";
                return 2;
            }
        } else if (arg.startsWith(QLatin1Char('-')) && arg != kStdin) {
            err << "dyr: nepoznata opcija " << arg << "\n";
            return std::nullopt;
        } else {
            args << arg;
        }
    }
    if (args.size() != 2 && args.size() != 3)
        return std::nullopt;
    const QString target = args.value(2, kStdin);
    if (html)
        return exportHtml(args[1], target, page, out, err, in);
    if (pdf)
        return exportPdf(args[1], target, paper, out, err, in);
    const std::optional<Format> format =
        formatOrReport(args[0], "aiken, gift, csv, moodle, html i pdf", err);
    if (!format)
        return 2;
    const std::optional<QByteArray> content = readOrReport(args[1], in, err);
    if (!content)
        return 2;

    QList<Note> notes;
    const QList<qo::QuestionRecord> records = setRecords(*content, &notes);
    Exported exported = exportSet(*format, records);
    exported.notes = notes + exported.notes;
    report(shown(args[1]), exported.notes, false, err);
    if (!exported.ok()) {
        reportNotWritten(target, err);
        return 1;
    }
    return writeOut(exported.text, target,
                    questionsDone(exported.questions, "izvezeno", "izvezena", "izvezeno"), out,
                    err);
}

} // namespace dyr
