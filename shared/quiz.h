// One quiz over a set, without windows: which record is asked after an answer, when
// the quiz ends, which answer is right, what the score panel says, and what is odd
// about a record as the quiz plays it. The quiz window, dyr's warnings and the web
// page all follow it.
#pragma once

#include "questionrecord.h"
#include "setshape.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace qo::quiz {

// The number a record's Number field stands for in the quiz: the number it reads
// as, or, when it holds none, the record's own place (1 to 5).
double numberOf(const QuestionRecord& record, int place);

// The place of the record asked after an answer to the record at place: the next
// one, or 0 when the quiz ends with it (its number reads 5, or it is the fifth).
int next(const QuestionRecord& record, int place);

// The answer (0 to 3, (A) to (D)) that is right, or -1 when Correct names none.
int rightAnswer(const QuestionRecord& record);
bool isRight(const QuestionRecord& record, int answer);

// Why a quiz can't be played on a set whose first record this is (it holds no
// question), or an empty text when it can.
QString refusal(const QuestionRecord& first);

// What the score panel says after a quiz. Each slot is one question of the quiz in
// the order asked (the window has five); a slot whose question was never asked, as
// after an early end, counts as wrong.
struct Score {
    int right = 0;
    int wrong = 0;
    QList<int> wrongQuestions; // 1-based slots answered wrongly
    QString rightLine;         // Label6
    QString wrongLine;         // Label7
    QString listLine;          // Label8: empty when nothing was answered wrongly
};
Score score(const QList<bool>& rightBySlot);

// The words of the score panel, for a face that fills them in itself: %1 is the
// count, or the list's items (one item, %1 the slot, each after the other).
struct ScoreWords {
    QString rightLine;   // "pogodili ste %1 pitanja!"
    QString wrongLine;   // "a %1 niste!"
    QString listHeading; // Label8 while the quiz runs
    QString listItem;    // "%1, "
    QString listEnd;     // "..."
};
const ScoreWords& scoreWords();

// What makes a record odd as the quiz plays it.
enum class Oddity {
    NoNumber,      // its number is no number: it counts as its place
    NumberAbove,   // numbered above 5: the quiz moves on (or ends, on the fifth)
    FifthBelow,    // the fifth record numbered below 5: the quiz ends on it all the same
    EndsEarly,     // numbered 5 before the fifth: the quiz ends on it
    NoRightAnswer, // Correct outside 0 to 3: no answer is right
    Missing,       // past the end of the set: asked empty, its fields all zeros
};

// One record as a quiz asks it.
struct Asked {
    int place = 0; // 1 to 5
    QuestionRecord record;
    int next = 0; // the place asked after it, or 0: the end
    QList<Oddity> oddities;
};

// What is odd about a record at place; missing: it lies past the end of the set.
QList<Oddity> oddities(const QuestionRecord& record, int place, bool missing);

// The records a quiz on a set asks, in order; which ones does not depend on the
// answers. Records past the end of the set are asked as all zeros. Empty when the
// set is refused (see refusal()).
QList<Asked> questions(const QList<QuestionRecord>& records);

// The records a quiz drawn from the whole set may ask, by place: those that hold a
// question and name a right answer.
QList<int> drawable(const QList<QuestionRecord>& records);

// A whole quiz played with the given answers, one per question asked (a missing
// answer is a wrong one): what each face must agree on.
struct Played {
    QString refusal;         // why the set is refused, or empty
    QStringList numbers;     // the Number shown on each question, without the spaces after it
    QList<bool> verdicts;    // right or wrong, per question asked
    QList<int> rightAnswers; // per question asked: 0 to 3, or -1
    Score score;
};
Played play(const QList<QuestionRecord>& records, const QList<int>& answers);

} // namespace qo::quiz
