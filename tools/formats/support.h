// What the format readers and writers share: decoding a source and building notes.
#pragma once

#include "formats.h"

#include <QStringList>

#include <algorithm>
#include <functional>
#include <optional>

namespace dyr::support {

// A source's lines read as UTF-8, each on its own: split at each LF (a CR before it
// stays), a BOM at the start dropped. A line that isn't valid UTF-8 says so, and reads
// with replacement characters where it isn't. Every reader of text (the formats and
// dyr's text form) takes its lines from here.
struct Utf8Line {
    QString text;
    bool valid = true;
};
QList<Utf8Line> utf8Lines(const QByteArray& source);

// The source as text: UTF-8, a BOM at the start dropped, line ends kept. A line
// that isn't valid UTF-8 is reported by its number.
QString decodeSource(const QByteArray& source, QList<Note>* notes);

// The lines of a text, each without its line end (LF or CRLF).
QStringList sourceLines(const QString& text);

// Spaces and tabs: what the line formats drop around a text. Other spaces (such as
// the no-break space) are part of the text.
inline bool isBlank(QChar c) {
    return c == QLatin1Char(' ') || c == QLatin1Char('\t');
}
QString trimBlanks(const QString& text);

// Whether a character can stand in a text the quiz shows (no control or format
// characters), whatever the code page says.
bool printable(char32_t c);

// Whether an answer's weight in percent (a GIFT %N%, a Moodle fraction) makes it the
// right answer.
inline bool fullCredit(double percent) {
    return qAbs(percent - 100) < 1e-6;
}

// What a reader says of a question of a kind a set can't hold.
struct Kind {
    QString kind; // "true/false", "multiple choice with 3 answers", ...
    QString why;
};

// The readable name of one of the platform's question types: "truefalse" is
// "true/false".
QString kindOf(const QString& type);

// What the platform makes of a multiple-choice question, by whether one answer is
// chosen (single) or several, and what each answer is worth in percent: nothing when
// a set holds it (one answer of four right, the others worth nothing or a penalty),
// or its kind and why a set can't. The GIFT and Moodle XML readers name a question
// alike through it, whichever of the two formats it came in.
std::optional<Kind> choiceKind(bool single, const QList<double>& percents);

// A character as messages name it: "U+00A0".
QString codePoint(char32_t c);

// Serbian words that go with a number: `one` after 1, 21, 31, ... (not 11), `few` after
// 2 to 4, 22 to 24, ... (not 12 to 14), `many` after the rest ("1 zapis", "3 zapisa",
// "5 zapisa"). The same choice makes a participle agree ("upisan", "upisana", "upisano").
QString byCount(qint64 n, const char* one, const char* few, const char* many);
// The number and its word: "21 pitanje", "3 pitanja", "80 znakova".
QString counted(qint64 n, const char* one, const char* few, const char* many);

// What several readers, writers and commands say alike.
QString notUtf8();                 // a line that isn't UTF-8
QString notPrintable(char32_t c);  // a control or format character
QString notInCodePage(char32_t c); // a character Windows-1250 lacks
// A letter of the right answer that is none of A to D, as the text form and CSV
// write it.
QString notALetter(const QString& given);
// The bytes after a set's last whole record.
QString partialRecord(qint64 bytes);

// A choice with a number of answers other than four, and why a set can't hold it, as
// the readers name them: "visestruki izbor sa 3 odgovora".
QString choiceWithAnswers(qint64 answers);
QString onlyFourAnswers();

inline Note error(int line, const QString& message) {
    return {line, message, false};
}
inline Note warning(int line, const QString& message) {
    return {line, message, true};
}

// "question 3", or with a text "question 3, answer B": where a message points in a
// source.
QString where(int question);
QString where(int question, int text);

// Whether a line format (Aiken, GIFT) can carry each text of a question: not empty,
// no space in front (its reader drops it), and whatever `special` objects to. Each
// fault is an error naming the record.
bool writable(const PlainQuestion& question, const QString& format,
              const std::function<QString(int text, const QString&)>& special, QList<Note>* notes);

// The name export gives question n of a set whose last exported question is `last`:
// "Pitanje 01". The platform lists a category's questions by name as text, so the
// numbers have one width, two digits at least, and the set's order survives it.
QString questionName(int n, int last);

// Whether a name or title says only the question's number n, as export writes it
// ("7", "07", "Pitanje 7", "Pitanje 07"): import loses nothing by not keeping it.
bool namesNumber(const QString& label, int n);

// Whether any note is an error rather than a warning.
inline bool hasErrors(const QList<Note>& notes) {
    return std::any_of(notes.begin(), notes.end(), [](const Note& n) { return !n.warning; });
}

// The letter of answer k (0 to 3): A to D.
inline QChar letter(int k) {
    return QChar(char16_t(u'A' + k));
}

} // namespace dyr::support
