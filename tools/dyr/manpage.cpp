// dyr's manual page from its help text.
#include "manpage.h"

#include "help.h"

#include <QRegularExpression>
#include <QStringList>

namespace dyr {

namespace {

// A line of text for roff: backslashes and hyphens as roff writes them, and a line
// that would read as a request (a leading '.' or ') kept as text.
QString escaped(QString text) {
    text.replace(QLatin1Char('\\'), QLatin1String("\\e"));
    text.replace(QLatin1Char('-'), QLatin1String("\\-"));
    if (text.startsWith(QLatin1Char('.')) || text.startsWith(QLatin1Char('\'')))
        text.prepend(QLatin1String("\\&"));
    return text;
}

// A heading: a line of capitals that starts at the margin, such as "IZLAZNI STATUS".
bool isHeading(const QString& line) {
    static const QRegularExpression heading(QStringLiteral("^[A-Z][A-Z0-9 ,:()-]+$"));
    return heading.match(line).hasMatch() && line.count(QRegularExpression("[A-Z]")) >= 3;
}

// A command of the usage with its fonts: the placeholders in capitals in italics,
// the words to type in bold, the brackets and bars as they are.
QString command(const QString& text) {
    static const QRegularExpression token(QStringLiteral("[A-Z][A-Z0-9]*|[a-z-][a-z0-9-]*"));
    QString out;
    qsizetype at = 0;
    for (auto it = token.globalMatch(text); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        out += escaped(text.mid(at, m.capturedStart() - at));
        const QString word = m.captured();
        const bool placeholder = word.at(0).isUpper();
        out += (placeholder ? QLatin1String("\\fI") : QLatin1String("\\fB")) + escaped(word) +
               QLatin1String("\\fR");
        at = m.capturedEnd();
    }
    return out + escaped(text.mid(at));
}

} // namespace

QString manPage(const QString& help, const QString& version, const QString& date) {
    const QStringList lines = help.split(QLatin1Char('\n'));
    QString name = lines.value(0);
    name.replace(QLatin1String(" - "), QLatin1String(" \\- "));

    const QList<UsageEntry> entries = usageOf(help);
    // The text after the usage.
    qsizetype at = lines.indexOf(QStringLiteral("Upotreba:"));
    while (at >= 0 && at < lines.size() && !lines[at].isEmpty())
        ++at;

    QString out;
    out += QStringLiteral(".\\\" dyr's manual page, made from its --help text by the build.\n");
    out += QStringLiteral(".TH DYR 1 \"%1\" \"[qo] Kviz %2\" \"Korisnicki programi\"\n")
               .arg(date, version);
    out += QStringLiteral(".nh\n.ad l\n.SH IME\n") +
           escaped(name).replace(QLatin1String("\\e\\-"), QLatin1String("\\-")) + QLatin1Char('\n');
    out += QStringLiteral(".SH SINOPSIS\n");
    for (qsizetype i = 0; i < entries.size(); ++i)
        out += (i > 0 ? QStringLiteral(".br\n") : QString()) + command(entries[i].command) +
               QLatin1Char('\n');
    out += QStringLiteral(".SH OPIS\n");
    for (const UsageEntry& entry : entries)
        out += QStringLiteral(".TP\n") + command(entry.command) + QLatin1Char('\n') +
               escaped(entry.description) + QLatin1Char('\n');

    // The rest: paragraphs, headings, and indented examples kept line for line.
    bool paragraph = true; // a new paragraph starts at the next text
    for (; at > 0 && at < lines.size(); ++at) {
        const QString& line = lines[at];
        if (line.trimmed().isEmpty()) {
            paragraph = true;
        } else if (isHeading(line)) {
            out += QStringLiteral(".SH ") + escaped(line) + QLatin1Char('\n');
            paragraph = false;
        } else if (line.startsWith(QLatin1String("  "))) {
            out += QStringLiteral(".PP\n.RS 4\n.nf\n");
            for (; at < lines.size(); ++at) {
                // Blank lines inside an example belong to it when more of it follows.
                qsizetype next = at;
                while (next < lines.size() && lines[next].trimmed().isEmpty())
                    ++next;
                if (next >= lines.size() || !lines[next].startsWith(QLatin1String("  ")))
                    break;
                for (; at < next; ++at)
                    out += QLatin1Char('\n');
                out += escaped(lines[at].mid(2)) + QLatin1Char('\n');
            }
            out += QStringLiteral(".fi\n.RE\n");
            paragraph = true;
            --at;
        } else {
            if (paragraph)
                out += QStringLiteral(".PP\n");
            paragraph = false;
            out += escaped(line) + QLatin1Char('\n');
        }
    }
    out += QStringLiteral(".SH VIDETI I\n.BR kviz (1),\n.BR editor\\-pitanja (1)\n");
    return out;
}

} // namespace dyr
