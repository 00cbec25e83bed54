// Other quiz tools' question formats (Aiken, GIFT, CSV, Moodle XML): reading them into
// a set and writing a set out in them.
//
// Each reader and writer is a pure function of its input, so they can be tested and
// fuzzed on bytes alone; importSet and exportSet add what all formats share: fitting
// texts into the record's fields, numbering, and which records a set exports.
#pragma once

#include "questionrecord.h"
#include "setshape.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <array>
#include <optional>

namespace dyr {

enum class Format { Aiken, Gift, Csv, Moodle };

// "aiken", "gift", "csv" or "moodle".
std::optional<Format> formatNamed(const QString& name);

// The format of a source file: by its name's extension (.xml, .gift, .aiken, .csv),
// or where that tells nothing (.txt, another or none) by its content: a Moodle XML
// quiz, an Aiken "ANSWER:" line, a GIFT question in braces. Nothing when neither tells.
std::optional<Format> guessFormat(const QString& fileName, const QByteArray& source);

// What makes an error of import a warning instead: dyr's --cut, --replace or --first,
// which the editor asks the author about.
enum class Remedy { None, Cut, Replace, First };

// A fault (or, when `warning`, something done that the author should know of). In a
// source, `line` counts from 1; 0 means the source or the set as a whole.
struct Note {
    int line = 0;
    QString message;
    bool warning = false;
    bool skipped = false;         // a question left out with --skip-others (also a warning)
    Remedy remedy = Remedy::None; // of an error: the option that would allow it
    bool operator==(const Note&) const = default;
};

// A note as dyr prints it and the editor lists it: "SOURCE:LINE: kind: message", the
// line only where `lines` (notes of a set name their record themselves).
QString noteLine(const QString& source, const Note& note, bool lines);

// One multiple-choice question as a format holds it: plain text, no padding.
struct PlainQuestion {
    int line = 0;  // reading: where the question starts; writing: its record number
    int index = 0; // reading: its place among the source's questions, faulty ones too
    std::array<QString, 5> texts; // the question, then the answers A to D
    std::array<int, 5> lines{};   // reading: the line of each text
    int correct = 0;              // 0 to 3, the right answer A to D
    QString label;                // GIFT's title, Moodle's name or CSV's number, as written
};

// A question of a kind a set can't hold: true/false, matching, essay, a choice with
// three answers or two right ones, ... Import reports it as an error, or with
// --skip-others leaves it out with a note.
struct Other {
    int line = 0;  // where the question starts
    int index = 0; // its place among the source's questions
    QString kind;  // "true/false", "multiple choice with 3 answers", ...
    QString why;   // why it doesn't fit a set
};

struct Reading {
    QList<PlainQuestion> questions; // the sound ones
    QList<int> starts;              // the line where each question starts, all of them
    QList<Note> notes;
    QList<Other> others; // in source order
};

// The readers: UTF-8 bytes (a BOM and CRLF line ends are accepted) to questions.
Reading readAiken(const QByteArray& source);
Reading readGift(const QByteArray& source);
Reading readCsv(const QByteArray& source);
Reading readMoodle(const QByteArray& source);

struct Writing {
    QByteArray text; // UTF-8
    QList<Note> notes;
};

// The writers: questions (texts printable, `line` the record number) to UTF-8. A text
// the format can't carry so that its reader gives it back is an error naming the record.
Writing writeAiken(const QList<PlainQuestion>& questions);
Writing writeGift(const QList<PlainQuestion>& questions);
Writing writeCsv(const QList<PlainQuestion>& questions);
Writing writeMoodle(const QList<PlainQuestion>& questions);

// The name of text k of a question in messages: "question" or "answer A" to "answer D".
QString textName(int k);

struct ImportOptions {
    int first = 0;           // keep the first N questions and leave out the rest; 0: all
    bool cut = false;        // cut a text longer than its field, with a warning
    bool replace = false;    // store '?' for a character the set can't hold, with a warning
    bool skipOthers = false; // leave out the questions of kinds a set can't hold
};

struct Imported {
    QList<qo::QuestionRecord> records; // 21 records; only meaningful without errors
    QList<Note> notes;                 // in line order
    int questions = 0;
    int skipped = 0; // questions left out by --skip-others
    int found = 0;   // the questions that would become records, before --first
    bool ok() const;
};

// Reads a source in a format and builds the set: question k becomes record k,
// numbered k, its texts filled with spaces to their width; the records after the
// last question up to 21 hold only their numbers, as the editor leaves a question
// that was never typed.
Imported importSet(Format format, const QByteArray& source, const ImportOptions& options);

struct Exported {
    QByteArray text;
    QList<Note> notes; // line 0; each message names its record
    int questions = 0;
    bool ok() const;
};

// Writes every record of the set that holds a question, in order, its texts without
// their padding. A record that wouldn't come back as it is from importSet is reported.
Exported exportSet(Format format, const QList<qo::QuestionRecord>& records);

} // namespace dyr
