// dyr's web page: a set as one self-contained HTML file that plays the quiz in a
// browser, with everything inline and nothing fetched.
#pragma once

#include "formats.h"
#include "questionrecord.h"

#include <QByteArray>
#include <QList>
#include <QString>

namespace dyr {

// Where an answer to a record leads: the next record, the end of the quiz, or the
// same record again (one numbered above 5).
enum class Step { Next, End, Repeat };

// One record as the page asks it: the texts as shown (up to the first NUL, without
// the spaces that fill the field) and what the quiz makes of it.
struct PageQuestion {
    int record = 0; // 1 to 5
    QString number; // "Pitanje " and the number
    QString question;
    QString answers[4];
    int correct = 0; // 0 to 3, or -1 when no answer is right
    Step step = Step::Next;
    QString fault; // the page's note on a faulty record (Serbian), or empty
};

// The records the quiz asks of a set, in order, up to the end or the first record
// that asks itself again. Records past the end of the set read as all zeros.
QList<PageQuestion> quizQuestions(const QList<qo::QuestionRecord>& records);

// What the page escapes: & < > " ' and characters that can't stand as they are.
QString htmlEscaped(const QString& text);

struct Page {
    QByteArray html; // UTF-8; empty when refused
    QList<Note> notes;
    int questions = 0;
    bool ok() const;
};

// The page of a set. A set whose first record holds no question is refused with
// the quiz's own reason; records the quiz window can't play as they are (a number
// that is no number, a right answer outside A to D, a fifth record numbered below
// 5, a missing record) are warned of, and the page says so on the question.
Page webPage(const QList<qo::QuestionRecord>& records);

} // namespace dyr
