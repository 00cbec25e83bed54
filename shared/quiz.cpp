// One quiz over a set, without windows: the rules the quiz window plays by and the
// web page is written from.
#include "quiz.h"

#include "conversions.h"

namespace qo::quiz {

double numberOf(const QuestionRecord& record, int place) {
    double number = 0;
    return rt::tryVal(record.Number.text(), &number) ? number : place;
}

int next(const QuestionRecord& record, int place) {
    // The quiz ends on the question numbered 5, or on the fifth record, whichever
    // comes first: the window holds five questions, no more.
    if (numberOf(record, place) == QuizLength || place >= QuizLength)
        return 0;
    return place + 1;
}

int rightAnswer(const QuestionRecord& record) {
    return record.Correct >= 0 && record.Correct <= 3 ? record.Correct : -1;
}

bool isRight(const QuestionRecord& record, int answer) {
    return answer >= 0 && answer == rightAnswer(record);
}

QString refusal(const QuestionRecord& first) {
    return holdsNoQuestion(first) ? noFirstQuestionReason() : QString();
}

const ScoreWords& scoreWords() {
    static const ScoreWords words{QStringLiteral("pogodili ste %1 pitanja!"),
                                  QStringLiteral("a %1 niste!"),
                                  QStringLiteral("Pogresne odgovore ste dali na pitanjima "),
                                  QStringLiteral("%1, "), QStringLiteral("...")};
    return words;
}

Score score(const QList<bool>& rightBySlot) {
    const ScoreWords& words = scoreWords();
    Score s;
    QString list = words.listHeading;
    for (qsizetype slot = 0; slot < rightBySlot.size(); ++slot) {
        if (rightBySlot[slot]) {
            ++s.right;
        } else {
            ++s.wrong;
            s.wrongQuestions << static_cast<int>(slot) + 1;
            list += words.listItem.arg(slot + 1);
        }
    }
    s.rightLine = words.rightLine.arg(s.right);
    s.wrongLine = words.wrongLine.arg(s.wrong);
    // With nothing wrong the third line goes, heading and all.
    s.listLine = s.wrong == 0 ? QString() : list + words.listEnd;
    return s;
}

QList<Oddity> oddities(const QuestionRecord& record, int place, bool missing) {
    QList<Oddity> found;
    if (missing)
        found << Oddity::Missing;
    double number = 0;
    if (!rt::tryVal(record.Number.text(), &number)) {
        // A missing record's number is no number either; being missing says it all.
        if (!missing)
            found << Oddity::NoNumber;
    } else if (number > QuizLength) {
        found << Oddity::NumberAbove;
    } else if (number == QuizLength && place < QuizLength) {
        found << Oddity::EndsEarly;
    } else if (number < QuizLength && place == QuizLength) {
        found << Oddity::FifthBelow;
    }
    if (rightAnswer(record) < 0)
        found << Oddity::NoRightAnswer;
    return found;
}

QList<Asked> questions(const QList<QuestionRecord>& records) {
    QList<Asked> asked;
    if (!refusal(records.value(0)).isEmpty())
        return asked;
    for (int place = 1; place != 0;) {
        Asked q;
        q.place = place;
        const bool missing = place > records.size();
        if (!missing)
            q.record = records[place - 1];
        q.next = next(q.record, place);
        q.oddities = oddities(q.record, place, missing);
        asked << q;
        place = q.next;
    }
    return asked;
}

QList<int> drawable(const QList<QuestionRecord>& records) {
    QList<int> places;
    for (qsizetype i = 0; i < records.size(); ++i) {
        if (!holdsNoQuestion(records[i]) && rightAnswer(records[i]) >= 0)
            places << static_cast<int>(i) + 1;
    }
    return places;
}

Played play(const QList<QuestionRecord>& records, const QList<int>& answers) {
    Played played;
    played.refusal = refusal(records.value(0));
    if (!played.refusal.isEmpty())
        return played;
    QList<bool> rightBySlot(QuizLength, false);
    const QList<Asked> asked = questions(records);
    for (qsizetype i = 0; i < asked.size(); ++i) {
        const QuestionRecord& r = asked[i].record;
        const bool right = isRight(r, answers.value(i, -1));
        played.numbers << seen(r.Number.text());
        played.verdicts << right;
        played.rightAnswers << rightAnswer(r);
        rightBySlot[asked[i].place - 1] = right;
    }
    played.score = score(rightBySlot);
    return played;
}

} // namespace qo::quiz
