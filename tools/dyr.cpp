// The authors' set tool: dump, build and check question-set files.
#include "dyr.h"

#include "codepage.h"
#include "nativefile.h"
#include "questionsetfile.h"
#include "rterror.h"
#include "transfer.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>
#include <QTextStream>

#include <algorithm>
#include <optional>

namespace dyr {

namespace {

const QString kTextKeys[] = {QStringLiteral("question"), QStringLiteral("a"), QStringLiteral("b"),
                             QStringLiteral("c"), QStringLiteral("d")};
const QString kAnswerNames[] = {QStringLiteral("Answer A"), QStringLiteral("Answer B"),
                                QStringLiteral("Answer C"), QStringLiteral("Answer D")};

QString codePoint(char32_t c) {
    return QStringLiteral("U+%1").arg(static_cast<uint>(c), 4, 16, QLatin1Char('0')).toUpper();
}

// A character the text form shows as it is; everything else is escaped.
bool plain(QChar c) {
    return c.isPrint() && (c == QLatin1Char(' ') || !c.isSpace()) && c != QLatin1Char('\\');
}

// The \xHH escape of a character of the code page.
QString hexByte(QChar c) {
    const auto byte = static_cast<unsigned char>(rt::toCodePage(QString(c)).at(0));
    return QLatin1String("\\x") +
           QString::number(byte, 16).rightJustified(2, QLatin1Char('0')).toUpper();
}

bool isHexDigit(QChar c) {
    return (c >= QLatin1Char('0') && c <= QLatin1Char('9')) ||
           (c.toLower() >= QLatin1Char('a') && c.toLower() <= QLatin1Char('f'));
}

// The characters with escapes where needed; spaces at the start become \s, since
// the reader drops the spaces in front of a value.
QString escape(const QString& chars) {
    QString out;
    bool leading = true;
    for (const QChar c : chars) {
        if (c == QLatin1Char(' ') && leading) {
            out += QLatin1String("\\s");
            continue;
        }
        leading = false;
        if (c == QLatin1Char('\\'))
            out += QLatin1String("\\\\");
        else if (c.isNull())
            out += QLatin1String("\\0");
        else if (plain(c))
            out += c;
        else
            out += hexByte(c);
    }
    return out;
}

bool allNul(const QString& text) {
    for (const QChar c : text) {
        if (!c.isNull())
            return false;
    }
    return true;
}

QString withoutTrailing(QString text, QChar c) {
    while (!text.isEmpty() && text.back() == c)
        text.chop(1);
    return text;
}

// A field's value: its characters up to the fill, and the fill itself (spaces are
// implied, NULs are marked by a final \0).
QString encodeField(const QString& field) {
    if (!field.isEmpty() && field.back().isNull())
        return escape(withoutTrailing(field, QChar(0))) + QLatin1String("\\0");
    const QString content = withoutTrailing(field, QLatin1Char(' '));
    QString value = escape(content);
    if (!content.isEmpty() && content.back().isNull())
        value += QLatin1String("\\s"); // a space keeps the NUL from reading as the fill
    return value;
}

struct FieldResult {
    QString chars;
    QString error;
};

// Decodes a value into exactly `width` characters.
FieldResult decodeField(const QString& value, const QString& key, int width) {
    QString chars;
    for (qsizetype i = 0; i < value.size(); ++i) {
        const QChar c = value.at(i);
        if (c == QLatin1Char('\\')) {
            if (i + 1 >= value.size())
                return {{}, QStringLiteral("a lone \\ at the end; write \\\\ for a backslash")};
            const QChar e = value.at(++i);
            if (e == QLatin1Char('\\')) {
                chars += QLatin1Char('\\');
            } else if (e == QLatin1Char('s')) {
                chars += QLatin1Char(' ');
            } else if (e == QLatin1Char('0')) {
                chars += QChar(0);
            } else if (e == QLatin1Char('x')) {
                const QString hex = value.mid(i + 1, 2);
                if (hex.size() != 2 || !isHexDigit(hex.at(0)) || !isHexDigit(hex.at(1)))
                    return {{}, QStringLiteral("\\x needs two hex digits, as in \\x09")};
                chars +=
                    rt::fromCodePage(QByteArray(1, static_cast<char>(hex.toUInt(nullptr, 16))));
                i += 2;
            } else {
                return {{},
                        QStringLiteral("unknown escape \\%1; the escapes are \\\\, \\s, "
                                       "\\0 and \\xHH")
                            .arg(e)};
            }
            continue;
        }
        QString ch(c);
        char32_t point = c.unicode();
        if (c.isHighSurrogate() && i + 1 < value.size() && value.at(i + 1).isLowSurrogate()) {
            point = QChar::surrogateToUcs4(c, value.at(i + 1));
            ch = value.mid(i++, 2);
        }
        if (!rt::fitsCodePage(ch))
            return {{},
                    QStringLiteral("\"%1\" (%2) is not in Windows-1250").arg(ch, codePoint(point))};
        if (!c.isPrint())
            return {{},
                    QStringLiteral("character %1 is not printable; write it as %2")
                        .arg(codePoint(point), hexByte(c))};
        chars += ch;
    }
    if (chars.size() > width)
        return {{},
                QStringLiteral("%1 holds at most %2 characters; this value has %3")
                    .arg(key)
                    .arg(width)
                    .arg(chars.size())};
    const QChar fill = !chars.isEmpty() && chars.back().isNull() ? QChar(0) : QLatin1Char(' ');
    chars += QString(width - chars.size(), fill);
    return {chars, {}};
}

struct RecordInProgress {
    int line = 0;
    qo::QuestionRecord record;
    QStringList seen;
    bool hasText = false;
};

QList<qo::QuestionRecord> recordsOf(const QByteArray& content) {
    QList<qo::QuestionRecord> records;
    for (qsizetype at = 0; at + qo::RecordLength <= content.size(); at += qo::RecordLength)
        records.append(qo::QuestionRecord::fromBytes(content.mid(at, qo::RecordLength)));
    return records;
}

// One "field: value" line; an empty value leaves no space at the end of the line.
QString line(const QString& key, const QString& value) {
    return key + (value.isEmpty() ? QStringLiteral(":") : QStringLiteral(": ") + value) +
           QLatin1Char('\n');
}

// A "correct:" value: a letter A to D, or # and the raw 16-bit value the record holds
// (a record of spaces holds 8224; the editor can leave -1 or 4).
std::optional<std::int16_t> correctValue(const QString& value) {
    static const QString letters = QStringLiteral("ABCD");
    if (value.size() == 1 && letters.contains(value.toUpper()))
        return static_cast<std::int16_t>(letters.indexOf(value.toUpper()));
    if (!value.startsWith(QLatin1Char('#')))
        return std::nullopt;
    // Only a plain decimal number: toInt alone would also take spaces and a '+'.
    const QString digits = value.mid(value.startsWith(QLatin1String("#-")) ? 2 : 1);
    if (digits.isEmpty() || digits.size() > 5 ||
        !std::all_of(digits.begin(), digits.end(),
                     [](QChar c) { return c >= QLatin1Char('0') && c <= QLatin1Char('9'); }))
        return std::nullopt;
    const int raw = value.mid(1).toInt();
    if (raw < -32768 || raw > 32767)
        return std::nullopt;
    return static_cast<std::int16_t>(raw);
}

void usage(QTextStream& err) {
    err << "usage: dyr dump FILE | dyr build TEXT FILE | dyr check FILE | dyr --help\n"
           "       dyr import [--first N] [--cut] [--replace] aiken|gift|csv SOURCE SET\n"
           "       dyr export aiken|gift|csv|html SET [OUT]\n";
}

} // namespace

std::optional<QByteArray> readInput(const QString& path, QIODevice* in, InputKind kind,
                                    QString* error) {
    QFile file;
    QIODevice* device = in;
    qo::NativeFile::Reader set;
    if (path == QLatin1String("-")) {
        if (in == nullptr || !in->isReadable()) {
            *error = QStringLiteral("no standard input");
            return std::nullopt;
        }
    } else if (kind == InputKind::SetFile) {
        // A set is a regular file on a disk; a folder, a FIFO or a device (also behind
        // a link, or a name such as NUL on Windows) is refused unread and unwaited on.
        if (!set.open(path)) {
            if (set.error() != 0)
                *error = qt_error_string(set.error());
            else if (set.kind() == qo::NativeFile::Kind::Folder)
                *error = QStringLiteral("is a folder");
            else
                *error = QStringLiteral("is not a regular file");
            return std::nullopt;
        }
        device = nullptr;
    } else {
        if (QFileInfo(path).isDir()) {
            *error = QStringLiteral("is a folder");
            return std::nullopt;
        }
        file.setFileName(path);
        if (!file.open(QIODevice::ReadOnly)) {
            *error = file.errorString();
            return std::nullopt;
        }
        device = &file;
    }
    QByteArray bytes;
    QByteArray piece(64 * 1024, Qt::Uninitialized);
    for (;;) {
        qint64 n = 0;
        if (device) {
            n = device->read(piece.data(), piece.size());
            if (n < 0) {
                *error = device->errorString();
                return std::nullopt;
            }
        } else if (!set.readAt(bytes.size(), piece.data(), piece.size(), &n)) {
            *error = qt_error_string(set.error());
            return std::nullopt;
        }
        if (n == 0)
            return bytes;
        bytes.append(piece.constData(), n);
        if (bytes.size() > MaxInputBytes) {
            *error = QStringLiteral("larger than %1 MiB, more than any set or question source "
                                    "holds")
                         .arg(MaxInputBytes / (1024 * 1024));
            return std::nullopt;
        }
    }
}

Parsed parse(const QByteArray& source) {
    Parsed result;
    QList<RecordInProgress> records;
    const auto fail = [&](int line, const QString& message) {
        result.errors.append({line, message});
    };

    QByteArrayList lines = source.split('\n');
    if (!lines.isEmpty() && lines.first().startsWith("\xEF\xBB\xBF"))
        lines.first().remove(0, 3);
    for (int index = 0; index < lines.size(); ++index) {
        const int lineNo = index + 1;
        QStringDecoder decode(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        QString line = decode(lines[index]);
        if (decode.hasError()) {
            fail(lineNo, QStringLiteral("not valid UTF-8"));
            continue;
        }
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        const QString trimmed = line.trimmed();
        if (trimmed.isEmpty() || trimmed.startsWith(QLatin1Char('#')))
            continue;
        const qsizetype colon = line.indexOf(QLatin1Char(':'));
        if (colon < 0) {
            fail(lineNo, QStringLiteral("expected \"field: value\", as in \"question: ...\""));
            continue;
        }
        const QString key = line.left(colon).trimmed().toLower();
        QString value = line.mid(colon + 1);
        while (!value.isEmpty() &&
               (value.front() == QLatin1Char(' ') || value.front() == QLatin1Char('\t')))
            value.remove(0, 1);
        while (!value.isEmpty() &&
               (value.back() == QLatin1Char(' ') || value.back() == QLatin1Char('\t')))
            value.chop(1);

        const bool textKey =
            std::find(std::begin(kTextKeys), std::end(kTextKeys), key) != std::end(kTextKeys);
        if (key != QLatin1String("number") && key != QLatin1String("correct") && !textKey) {
            fail(lineNo, QStringLiteral("unknown field \"%1\"; the fields are number, question, a, "
                                        "b, c, d and correct")
                             .arg(line.left(colon).trimmed()));
            continue;
        }
        if (key == QLatin1String("number")) {
            records.append(RecordInProgress{lineNo, {}, {}, false});
        } else if (records.isEmpty()) {
            fail(lineNo, QStringLiteral("\"%1:\" before the first \"number:\" line; each record "
                                        "begins with its number")
                             .arg(key));
            continue;
        }
        RecordInProgress& current = records.last();
        if (current.seen.contains(key)) {
            fail(lineNo, QStringLiteral("a second \"%1:\" line in record %2 (from line %3)")
                             .arg(key)
                             .arg(records.size())
                             .arg(current.line));
            continue;
        }
        current.seen.append(key);

        if (key == QLatin1String("correct")) {
            const std::optional<std::int16_t> correct = correctValue(value);
            if (!correct)
                fail(lineNo,
                     value.startsWith(QLatin1Char('#'))
                         ? QStringLiteral("correct %1: a raw value is # and a whole "
                                          "number from -32768 to 32767")
                               .arg(value)
                         : QStringLiteral("correct must be A, B, C or D, not \"%1\"").arg(value));
            else
                current.record.Correct = *correct;
            continue;
        }
        const int width = key == QLatin1String("number") ? 10 : 80;
        const FieldResult field = decodeField(value, key, width);
        if (!field.error.isEmpty()) {
            fail(lineNo, field.error);
            continue;
        }
        if (key == QLatin1String("number")) {
            current.record.Number.setRaw(field.chars);
        } else if (key == QLatin1String("question")) {
            current.record.Question.setRaw(field.chars);
            current.hasText = true;
        } else {
            current.record.Answers[key.at(0).unicode() - 'a'].setRaw(field.chars);
            current.hasText = true;
        }
    }

    for (int i = 0; i < records.size(); ++i) {
        if (records[i].hasText && !records[i].seen.contains(QLatin1String("correct")))
            fail(records[i].line,
                 QStringLiteral("record %1 has a question or answers but no \"correct:\" line")
                     .arg(i + 1));
        result.records.append(records[i].record);
    }
    std::stable_sort(result.errors.begin(), result.errors.end(),
                     [](const SourceError& a, const SourceError& b) { return a.line < b.line; });
    return result;
}

QString format(const QList<qo::QuestionRecord>& records) {
    QString out;
    for (int i = 0; i < records.size(); ++i) {
        const qo::QuestionRecord& r = records[i];
        if (i > 0)
            out += QLatin1Char('\n');
        out += line(QStringLiteral("number"), encodeField(r.Number.text()));
        bool anyText = false;
        const QString* texts[] = {&r.Question.text(), &r.Answers[0].text(), &r.Answers[1].text(),
                                  &r.Answers[2].text(), &r.Answers[3].text()};
        for (int k = 0; k < 5; ++k) {
            if (allNul(*texts[k]))
                continue;
            anyText = true;
            out += line(kTextKeys[k], encodeField(*texts[k]));
        }
        if (anyText || r.Correct != 0) {
            const QString correct = r.Correct >= 0 && r.Correct <= 3
                                        ? QString(QChar(char16_t(u'A' + r.Correct)))
                                        : QLatin1Char('#') + QString::number(r.Correct);
            out += line(QStringLiteral("correct"), correct);
        }
    }
    return out;
}

QStringList check(const QByteArray& content) {
    QStringList problems;
    const qsizetype whole = content.size() / qo::RecordLength;
    const qsizetype over = content.size() % qo::RecordLength;
    if (over != 0)
        problems << QStringLiteral("file: %1 bytes is not a whole number of %2-byte records "
                                   "(%3 records and %4 bytes over)")
                        .arg(content.size())
                        .arg(qo::RecordLength)
                        .arg(whole)
                        .arg(over);
    for (qsizetype n = whole + 1; n <= 5; ++n)
        problems << QStringLiteral("record %1: missing, but the quiz asks records 1 to 5").arg(n);

    const QList<qo::QuestionRecord> records = recordsOf(content);
    for (int i = 0; i < records.size(); ++i) {
        const int n = i + 1;
        const bool quiz = n <= 5;
        const qo::QuestionRecord& r = records[i];
        const QString where = QStringLiteral("record %1, ").arg(n);

        const QString expected = QString::number(n);
        const QString number = withoutTrailing(r.Number.text(), QLatin1Char(' '));
        if (allNul(r.Number.text()))
            problems << where +
                            QStringLiteral("Number: never filled (NUL bytes), should read \"%1\"")
                                .arg(expected);
        else if (number != expected)
            problems << where + QStringLiteral("Number: reads \"%1\", should read \"%2\"")
                                    .arg(escape(number), expected);

        if (r.Correct < 0 || r.Correct > 3)
            problems << where + QStringLiteral("Correct: %1, should be 0 to 3").arg(r.Correct);

        const QString* texts[] = {&r.Question.text(), &r.Answers[0].text(), &r.Answers[1].text(),
                                  &r.Answers[2].text(), &r.Answers[3].text()};
        // A record is filled as a whole (the editor stores all its texts together),
        // so a text left out beside others is an author's slip.
        const auto filled = std::count_if(std::begin(texts), std::end(texts),
                                          [](const QString* t) { return !allNul(*t); });
        for (int k = 0; k < 5; ++k) {
            const QString field = k == 0 ? QStringLiteral("Question") : kAnswerNames[k - 1];
            const QString& text = *texts[k];
            if (allNul(text)) {
                if (quiz)
                    problems << where + field +
                                    QStringLiteral(
                                        ": never filled, but the quiz asks records 1 to 5");
                else if (filled > 0)
                    problems << where + field +
                                    QStringLiteral(
                                        ": never filled, though the record has other texts");
                continue;
            }
            qsizetype bad = -1;
            for (qsizetype c = 0; c < text.size() && bad < 0; ++c) {
                if (text.at(c).isNull() || !text.at(c).isPrint())
                    bad = c;
            }
            if (bad >= 0)
                problems << where + field +
                                QStringLiteral(": character %1 at column %2 is not printable")
                                    .arg(text.at(bad).isNull() ? QStringLiteral("\\0")
                                                               : hexByte(text.at(bad)))
                                    .arg(bad + 1);
            else if (quiz && text.trimmed().isEmpty())
                problems << where + field +
                                QStringLiteral(": empty, but the quiz asks records 1 to 5");
        }
    }
    return problems;
}

bool writeSet(const QList<qo::QuestionRecord>& records, const QString& path, QString* error) {
    const QFileInfo target(path);
    const QString folder = target.absolutePath();
    if (!QFileInfo(folder).isDir()) {
        *error = QStringLiteral("folder %1 does not exist").arg(QDir::toNativeSeparators(folder));
        return false;
    }
    if (target.isDir()) {
        *error = QStringLiteral("is a folder");
        return false;
    }
    QByteArray content;
    for (const qo::QuestionRecord& record : records)
        content += record.toBytes();
    try {
        qo::QuestionSetFile::replaceFile(path, content);
    } catch (const rt::RuntimeError& e) {
        *error = e.message();
        return false;
    }
    return true;
}

QString helpText() {
    return QStringLiteral(R"help(Usage:
  dyr dump FILE          print the question set FILE in the text form below
  dyr build TEXT FILE    write the question set FILE from the text form in TEXT;
                         FILE is replaced as a whole, all at once
  dyr check FILE         check the question set FILE: whole records, record n
                         numbered n, correct 0 to 3, printable texts, records
                         1 to 5 filled in; one line per problem
  dyr import [--first N] [--cut] [--replace] FORMAT SOURCE SET
                         write the question set SET from the questions in
                         SOURCE, written in FORMAT: aiken, gift or csv; SET
                         is replaced as a whole, all at once
  dyr export FORMAT SET [OUT]
                         write the questions of the set SET to OUT in FORMAT
  dyr export html SET [OUT]
                         write the quiz of the set SET as one web page
  dyr --help             this text

SOURCE and OUT may be -, standard input and output; without OUT, export
writes to standard output.

Exit status: 0 done (check: the set is sound); 1 the set or the text has
faults (build, import and export then write nothing); 2 wrong usage, or a
file that cannot be read or written.

A question set is a file of 412-byte records: the question's number (10
characters), the question (80), the index of the right answer and the four
answers (80 each), one byte per character in Windows-1250. The quiz asks
records 1 to 5; the editor keeps records 1 to 21.

THE TEXT FORM (UTF-8)

Each record is a group of "field: value" lines and begins with its
"number:" line; its other lines follow in any order. Blank lines and lines
starting with # are ignored.

  number:       the question's number, at most 10 characters
  question:     the question, at most 80 characters
  a: b: c: d:   the answers (A) to (D), at most 80 characters each
  correct:      the right answer: A, B, C or D; or # and the number the
                record holds, for a value outside 0 to 3 (a record of
                spaces holds #8224), which "check" reports

A value is stored left-aligned and the rest of its field is filled with
spaces, as the editor stores it; spaces around a value are not part of it.
A field left out was never filled: it holds NUL bytes ("correct" then
holds A). A record with a question or an answer needs its "correct:" line.
Letters must exist in Windows-1250 (c with caron does, Cyrillic does not).

Escapes, for what plain text can't show:
  \\     a backslash
  \s     a space that is kept where plain spaces are dropped (at either
         end of a value)
  \0     a NUL character; a value that ends in \0 is filled with NULs
  \xHH   the character of byte HH (hex) in Windows-1250

"dump" prints exactly this form, so "dump" and then "build" give back the
same file byte for byte (for a file of whole records).

Example:

  # Pitanja o forumima
  number: 1
  question: Sta znaci skracenica FAQ?
  a: Forum za nove clanove
  b: Cesto postavljana pitanja
  c: Brz odgovor administratora
  d: Fajl sa pravilima foruma
  correct: B

  # A record that was never filled, but for its number.
  number: 21

IMPORT AND EXPORT: AIKEN, GIFT AND CSV

Learning platforms (Moodle and others) import and export questions as
Aiken or GIFT text, and spreadsheets save tables as CSV. All three are read
as UTF-8 (a byte order mark and Windows line ends are accepted) and
written as UTF-8.

import numbers the questions 1, 2, ... in order: question k becomes record
k, its texts filled with spaces to their width as the editor stores them.
The records after the last question, up to record 21, hold only their
numbers, as the editor holds a question never typed. A set holds at most 21
questions; from a longer source nothing is written unless --first N keeps
the first N (1 to 21).

A text longer than its field (80 characters) and a character that
Windows-1250 can't hold, or that can't be shown (a tab, a line break), are
errors naming the line and the question. --cut cuts such a text to 80
characters and --replace stores '?' for such a character; each is then
reported as a warning. Nothing is cut or replaced otherwise, and with any
error nothing is written.

export writes every record that holds a question, in order, each text
without the spaces that fill its field; a record whose correct answer is
not A to D can't be exported. It warns of every record that import would
not give back as it is: a record without a question (and with one before
the last question, the questions after it move up), or a number other than
the question's place. A set whose records 1 to k hold questions numbered 1
to k, and whose records after k, up to 21, hold only their numbers, comes
back byte for byte from export and then import, in each format.

Aiken: the question on one line; its four choices on the lines below it,
each a letter A to D, then "." or ")", then a space and the text; then
"ANSWER:" and the letter of the right one. Blank lines between questions.

  Sta znaci skracenica FAQ?
  A. Forum za nove clanove
  B. Cesto postavljana pitanja
  C) Brz odgovor administratora
  D) Fajl sa pravilima foruma
  ANSWER: B

GIFT, multiple choice: an optional ::title::, the question, then in braces
the right answer after = and the three wrong ones after ~, on one line or
several. Blank lines between questions; lines starting with // are
comments; \~ \= \# \{ \} \: and \\ stand for the character itself.
Feedback (# and a text after an answer) is dropped with a warning. Other
kinds of question (true/false, short answer, matching, numeric, essay,
missing word, percentages on answers) are reported by line, and nothing is
written. Titles are not kept: the questions are numbered in order.

  // Pitanja o forumima
  ::1:: Sta znaci skracenica FAQ? {
      ~Forum za nove clanove
      =Cesto postavljana pitanja # Tako je!
      ~Brz odgovor administratora
      ~Fajl sa pravilima foruma
  }

CSV (RFC 4180), as spreadsheets save it: a header row, then a question a
row; "correct" is a letter A to D, the number column is not kept. A field
holding a comma, a quote or a line break is quoted, its quotes doubled.
export adds a byte order mark, so that spreadsheets read it as UTF-8.

  number,question,a,b,c,d,correct
  1,Sta znaci FAQ?,Forum za nove clanove,"Cesto ""postavljana"" pitanja",Brz odgovor,"Fajl, sa pravilima",B

From a learning platform to the quiz, and back:

  dyr import gift pitanja.txt build/bin/varnikol.dyr
  dyr export gift build/bin/varnikol.dyr pitanja.txt

THE QUIZ AS A WEB PAGE

export html writes one UTF-8 HTML file that plays the quiz of the set in
any browser, as the quiz window does: records 1 to 5 in order, a verdict
after each answer, the score at the end. Everything is inside the file
(styles, script, pictures) and the page loads nothing: it plays from a
file, a memory stick or any web server, with no network. Put it on a
forum or a web site, or send it to the players.

  dyr export html build/bin/varnikol.dyr kviz.html

Where the program offers "Meni" and "Izlaz", the page has one button,
"Ponovo", which starts the quiz anew. The page's source doesn't show the
right answers plainly, but this is a courtesy against peeking, not a
secret: anyone who runs the page's check by hand finds them.

A set whose first record holds no question is refused, as the quiz
refuses it. A record the quiz window can't play as it stands (a number
that is no number, a right answer other than A to D, a fifth record
numbered below 5, a record missing from a short set) is warned of, and the
page names the question at fault on it. A record numbered above 5 is
asked again after every answer, as in the quiz window.
)help");
}

int run(const QStringList& args, QTextStream& out, QTextStream& err, QIODevice* in) {
    if (args.size() == 1 && (args[0] == QLatin1String("--help") || args[0] == QLatin1String("-h") ||
                             args[0] == QLatin1String("help"))) {
        out << helpText();
        return 0;
    }
    const QString command = args.value(0);
    const auto readOrReport = [&](const QString& path,
                                  InputKind kind) -> std::optional<QByteArray> {
        QString error;
        std::optional<QByteArray> bytes = readInput(path, in, kind, &error);
        if (!bytes)
            err << "dyr: cannot read " << path << ": " << error << "\n";
        return bytes;
    };

    if (command == QLatin1String("dump") && args.size() == 2) {
        const auto content = readOrReport(args[1], InputKind::SetFile);
        if (!content)
            return 2;
        const QList<qo::QuestionRecord> records = recordsOf(*content);
        out << "# " << QFileInfo(args[1]).fileName() << ": " << records.size() << " records\n\n"
            << format(records);
        const qsizetype over = content->size() % qo::RecordLength;
        if (over != 0) {
            err << "dyr: " << args[1] << ": the last " << over
                << " bytes are not a whole record and are left out\n";
            return 1;
        }
        return 0;
    }
    if (command == QLatin1String("build") && args.size() == 3) {
        const auto source = readOrReport(args[1], InputKind::Text);
        if (!source)
            return 2;
        const Parsed parsed = parse(*source);
        if (!parsed.errors.isEmpty()) {
            for (const SourceError& e : parsed.errors)
                err << args[1] << ":" << e.line << ": " << e.message << "\n";
            err << "dyr: " << args[2] << " not written\n";
            return 1;
        }
        QString error;
        if (!writeSet(parsed.records, args[2], &error)) {
            err << "dyr: cannot write " << args[2] << ": " << error << "\n";
            return 2;
        }
        out << args[2] << ": " << parsed.records.size() << " records written\n";
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
        const auto content = readOrReport(args[1], InputKind::SetFile);
        if (!content)
            return 2;
        const QStringList problems = check(*content);
        for (const QString& problem : problems)
            out << args[1] << ": " << problem << "\n";
        if (!problems.isEmpty())
            return 1;
        out << args[1] << ": sound, " << content->size() / qo::RecordLength << " records\n";
        return 0;
    }
    usage(err);
    return 2;
}

} // namespace dyr
