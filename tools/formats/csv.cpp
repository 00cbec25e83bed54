// CSV as spreadsheets save it (RFC 4180, UTF-8, comma-separated), one question a row
// under the header row number,question,a,b,c,d,correct; correct is a letter A to D.
// A field holding a comma, a quote or a line break is quoted, its quotes doubled.
#include "formats.h"
#include "support.h"

namespace dyr {

using namespace support;

namespace {

const QStringList kHeader = {QStringLiteral("number"), QStringLiteral("question"),
                             QStringLiteral("a"),      QStringLiteral("b"),
                             QStringLiteral("c"),      QStringLiteral("d"),
                             QStringLiteral("correct")};

struct Row {
    QStringList fields;
    QList<int> lines; // where each field starts
};

// Splits the text into rows of fields; a fault in the quoting is reported.
QList<Row> rows(const QString& text, QList<Note>* notes) {
    QList<Row> result;
    Row row;
    QString field;
    int line = 1;
    int fieldLine = 1;
    bool quoted = false;     // inside a quoted field
    bool afterQuote = false; // a quoted field has closed
    bool rowStarted = false; // the row has a character
    bool reported = false;   // this field's fault is reported
    const auto endField = [&] {
        row.fields.append(field);
        row.lines.append(fieldLine);
        field.clear();
        fieldLine = line;
        afterQuote = false;
        reported = false;
    };
    const auto endRow = [&] {
        endField();
        result.append(row);
        row = Row();
        rowStarted = false;
    };
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (quoted) {
            if (c == QLatin1Char('"')) {
                if (i + 1 < text.size() && text.at(i + 1) == QLatin1Char('"')) {
                    field += c;
                    ++i;
                } else {
                    quoted = false;
                    afterQuote = true;
                }
            } else {
                field += c;
                if (c == QLatin1Char('\n'))
                    ++line;
            }
            continue;
        }
        if (c == QLatin1Char(',')) {
            rowStarted = true;
            endField();
            continue;
        }
        if (c == QLatin1Char('\n') || (c == QLatin1Char('\r') && i + 1 < text.size() &&
                                       text.at(i + 1) == QLatin1Char('\n'))) {
            if (c == QLatin1Char('\r'))
                ++i;
            endRow();
            fieldLine = ++line;
            continue;
        }
        if (!rowStarted) {
            rowStarted = true;
            fieldLine = line;
        }
        if (afterQuote) {
            if (!reported)
                notes->append(error(line, QStringLiteral("tekst posle zavrsnog navodnika polja; "
                                                         "polje pod navodnicima se zavrsava "
                                                         "navodnikom")));
            reported = true;
            continue;
        }
        if (c == QLatin1Char('"')) {
            if (field.isEmpty()) {
                quoted = true;
            } else if (!reported) {
                notes->append(error(line, QStringLiteral("navodnik u polju koje nije pod "
                                                         "navodnicima; polje treba staviti pod "
                                                         "navodnike, a navodnik udvostruciti")));
                reported = true;
            }
            continue;
        }
        field += c;
    }
    if (quoted)
        notes->append(error(fieldLine, QStringLiteral("polje pod navodnicima iz reda %1 nije "
                                                      "zatvoreno")
                                           .arg(fieldLine)));
    if (rowStarted || !field.isEmpty() || quoted || afterQuote)
        endRow();
    return result;
}

bool allEmpty(const Row& row) {
    for (const QString& f : row.fields) {
        if (!f.isEmpty())
            return false;
    }
    return true;
}

QString quoted(const QString& field) {
    const bool needs = field.contains(QLatin1Char(',')) || field.contains(QLatin1Char('"')) ||
                       field.contains(QLatin1Char('\n')) || field.contains(QLatin1Char('\r')) ||
                       (!field.isEmpty() && (isBlank(field.front()) || isBlank(field.back())));
    if (!needs)
        return field;
    QString out = field;
    out.replace(QLatin1String("\""), QLatin1String("\"\""));
    return QLatin1Char('"') + out + QLatin1Char('"');
}

} // namespace

Reading readCsv(const QByteArray& source) {
    Reading result;
    const QString text = decodeSource(source, &result.notes);
    const QList<Row> all = rows(text, &result.notes);
    if (all.isEmpty()) {
        result.notes.append(error(1, QStringLiteral("nema reda zaglavlja number,question,a,b,"
                                                    "c,d,correct")));
        return result;
    }
    QStringList header;
    for (const QString& name : all.first().fields)
        header << trimBlanks(name).toLower();
    if (header != kHeader) {
        // Spreadsheets set to some languages separate with semicolons.
        const bool semicolons =
            header.size() == 1 && header.first().split(QLatin1Char(';')) == kHeader;
        result.notes.append(error(1, QStringLiteral("prvi red mora biti zaglavlje "
                                                    "number,question,a,b,c,d,correct%1")
                                         .arg(semicolons ? QStringLiteral("; u ovoj datoteci "
                                                                          "polja razdvaja "
                                                                          "tacka-zarez, a treba "
                                                                          "zarez")
                                                         : QString())));
        return result;
    }
    int number = 0;
    for (qsizetype r = 1; r < all.size(); ++r) {
        const Row& row = all[r];
        if (allEmpty(row))
            continue;
        ++number;
        const int line = row.lines.first();
        result.starts.append(line);
        if (row.fields.size() != kHeader.size()) {
            result.notes.append(
                error(line, where(number) +
                                QStringLiteral(": red ima %1, a treba 7, kao zaglavlje")
                                    .arg(counted(row.fields.size(), "polje", "polja", "polja"))));
            continue;
        }
        PlainQuestion q;
        q.line = line;
        q.index = number;
        q.label = row.fields[0];
        bool sound = true;
        for (int t = 0; t < 5; ++t) {
            q.texts[t] = row.fields[t + 1];
            q.lines[t] = row.lines[t + 1];
        }
        if (trimBlanks(q.texts[0]).isEmpty()) {
            result.notes.append(
                error(q.lines[0], where(number) + QStringLiteral(": pitanje je prazno")));
            sound = false;
        }
        for (int t = 1; t < 5; ++t) {
            if (trimBlanks(q.texts[t]).isEmpty())
                result.notes.append(
                    warning(q.lines[t], where(number, t) + QStringLiteral(": prazan")));
        }
        const QString correct = trimBlanks(row.fields[6]).toUpper();
        if (correct.size() == 1 && correct.at(0) >= QLatin1Char('A') &&
            correct.at(0) <= QLatin1Char('D')) {
            q.correct = correct.at(0).unicode() - u'A';
        } else {
            result.notes.append(error(row.lines[6], where(number) + QStringLiteral(": ") +
                                                        notALetter(row.fields[6])));
            sound = false;
        }
        if (sound)
            result.questions.append(q);
    }
    return result;
}

Writing writeCsv(const QList<PlainQuestion>& questions) {
    // The byte order mark tells spreadsheets the file is UTF-8.
    QString out = QChar(0xFEFF) + kHeader.join(QLatin1Char(',')) + QStringLiteral("\r\n");
    for (const PlainQuestion& q : questions) {
        QStringList fields{quoted(q.label)};
        for (const QString& text : q.texts)
            fields << quoted(text);
        fields << letter(q.correct);
        out += fields.join(QLatin1Char(',')) + QStringLiteral("\r\n");
    }
    return {out.toUtf8(), {}};
}

} // namespace dyr
