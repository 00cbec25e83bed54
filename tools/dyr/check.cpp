// dyr check: what is wrong with a set file, one line per problem. What the quiz does
// with an odd record it asks is said as dyr export html says it, from the quiz's
// rules.
#include "check.h"

#include "io.h"
#include "quiz.h"
#include "setshape.h"
#include "textform.h"
#include "webpage.h"

#include <algorithm>

namespace dyr {

namespace {

using qo::quiz::Oddity;

const QString kFieldNames[] = {QStringLiteral("pitanje"), QStringLiteral("odgovor A"),
                               QStringLiteral("odgovor B"), QStringLiteral("odgovor C"),
                               QStringLiteral("odgovor D")};

bool aboutNumber(Oddity oddity) {
    return oddity == Oddity::NoNumber || oddity == Oddity::NumberAbove ||
           oddity == Oddity::FifthBelow || oddity == Oddity::EndsEarly;
}

} // namespace

QStringList check(const QByteArray& content) {
    QStringList problems;
    const qsizetype whole = content.size() / qo::RecordLength;
    const qsizetype over = content.size() % qo::RecordLength;
    if (over != 0)
        problems << QStringLiteral("datoteka: %1 bajtova nije ceo broj zapisa od %2 bajta "
                                   "(%3 celih zapisa i jos %4 bajtova)")
                        .arg(content.size())
                        .arg(qo::RecordLength)
                        .arg(whole)
                        .arg(over);

    const QList<qo::QuestionRecord> records = recordsOf(content);
    const QString refusal = qo::quiz::refusal(records.value(0));
    if (!refusal.isEmpty())
        problems << refusalNote(refusal);
    // The records the quiz asks, by place; what is odd about them is said as the quiz
    // plays them.
    const QList<qo::quiz::Asked> asked = qo::quiz::questions(records);
    const auto quizNotes = [&](int n, auto which) {
        QStringList notes;
        for (const qo::quiz::Asked& q : asked) {
            if (q.place != n)
                continue;
            for (const Oddity oddity : q.oddities) {
                if (which(oddity))
                    notes << oddityNote(q, oddity);
            }
        }
        return notes;
    };
    const auto askedAt = [&](int n) {
        return std::any_of(asked.begin(), asked.end(),
                           [n](const qo::quiz::Asked& q) { return q.place == n; });
    };
    for (const qo::quiz::Asked& q : asked) {
        if (q.oddities.contains(Oddity::Missing))
            problems << oddityNote(q, Oddity::Missing);
    }

    for (int i = 0; i < records.size(); ++i) {
        const int n = i + 1;
        const bool quiz = askedAt(n);
        const qo::QuestionRecord& r = records[i];
        const QString where = QStringLiteral("zapis %1, ").arg(n);

        const QString expected = QString::number(n);
        const QString number = withoutTrailing(r.Number.text(), QLatin1Char(' '));
        const QStringList numberNotes = quizNotes(n, aboutNumber);
        if (!numberNotes.isEmpty())
            problems << numberNotes;
        else if (neverFilled(r.Number.text()))
            problems << where + QStringLiteral("broj: nikad upisan (NUL bajtovi), a treba \"%1\"")
                                    .arg(expected);
        else if (number != expected)
            problems << where + QStringLiteral("broj: glasi \"%1\", a treba \"%2\"")
                                    .arg(escapeText(number), expected);

        const QStringList correctNotes =
            quizNotes(n, [](Oddity oddity) { return oddity == Oddity::NoRightAnswer; });
        if (!correctNotes.isEmpty())
            problems << correctNotes;
        else if (r.Correct < 0 || r.Correct > 3)
            problems << where + QStringLiteral("tacan odgovor: %1, a treba 0 do 3").arg(r.Correct);

        const QString* texts[] = {&r.Question.text(), &r.Answers[0].text(), &r.Answers[1].text(),
                                  &r.Answers[2].text(), &r.Answers[3].text()};
        // A record is filled as a whole (the editor stores all its texts together),
        // so a text left out beside others is an author's slip.
        const auto filled = std::count_if(std::begin(texts), std::end(texts),
                                          [](const QString* t) { return !neverFilled(*t); });
        for (int k = 0; k < 5; ++k) {
            const QString& field = kFieldNames[k];
            const QString& text = *texts[k];
            // The first record's missing question is the refusal said above.
            if (n == 1 && k == 0 && !refusal.isEmpty())
                continue;
            if (neverFilled(text)) {
                if (quiz)
                    problems << where + field +
                                    QStringLiteral(": nikad popunjeno (NUL bajtovi), a kviz "
                                                   "postavlja ovaj zapis");
                else if (filled > 0)
                    problems << where + field +
                                    QStringLiteral(": nikad popunjeno (NUL bajtovi), iako zapis "
                                                   "ima druge tekstove");
                continue;
            }
            qsizetype bad = -1;
            for (qsizetype c = 0; c < text.size() && bad < 0; ++c) {
                if (text.at(c).isNull() || !text.at(c).isPrint())
                    bad = c;
            }
            if (bad >= 0)
                problems << where + field +
                                QStringLiteral(": znak %1 u koloni %2 se ne moze prikazati")
                                    .arg(text.at(bad).isNull() ? QStringLiteral("\\0")
                                                               : byteEscape(text.at(bad)))
                                    .arg(bad + 1);
            else if (quiz && text.trimmed().isEmpty())
                problems << where + field + QStringLiteral(": prazno, a kviz postavlja ovaj zapis");
        }
    }
    return problems;
}

} // namespace dyr
