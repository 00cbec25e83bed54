// dyr check: what is wrong with a set file, one line per problem.
#include "check.h"

#include "io.h"
#include "setshape.h"
#include "textform.h"

#include <algorithm>

namespace dyr {

namespace {

const QString kAnswerNames[] = {QStringLiteral("Answer A"), QStringLiteral("Answer B"),
                                QStringLiteral("Answer C"), QStringLiteral("Answer D")};

} // namespace

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
    for (qsizetype n = whole + 1; n <= qo::QuizLength; ++n)
        problems << QStringLiteral("record %1: missing, but the quiz asks records 1 to 5").arg(n);

    const QList<qo::QuestionRecord> records = recordsOf(content);
    for (int i = 0; i < records.size(); ++i) {
        const int n = i + 1;
        const bool quiz = n <= qo::QuizLength;
        const qo::QuestionRecord& r = records[i];
        const QString where = QStringLiteral("record %1, ").arg(n);

        const QString expected = QString::number(n);
        const QString number = withoutTrailing(r.Number.text(), QLatin1Char(' '));
        if (neverFilled(r.Number.text()))
            problems << where +
                            QStringLiteral("Number: never filled (NUL bytes), should read \"%1\"")
                                .arg(expected);
        else if (number != expected)
            problems << where + QStringLiteral("Number: reads \"%1\", should read \"%2\"")
                                    .arg(escapeText(number), expected);

        if (r.Correct < 0 || r.Correct > 3)
            problems << where + QStringLiteral("Correct: %1, should be 0 to 3").arg(r.Correct);

        const QString* texts[] = {&r.Question.text(), &r.Answers[0].text(), &r.Answers[1].text(),
                                  &r.Answers[2].text(), &r.Answers[3].text()};
        // A record is filled as a whole (the editor stores all its texts together),
        // so a text left out beside others is an author's slip.
        const auto filled = std::count_if(std::begin(texts), std::end(texts),
                                          [](const QString* t) { return !neverFilled(*t); });
        for (int k = 0; k < 5; ++k) {
            const QString field = k == 0 ? QStringLiteral("Question") : kAnswerNames[k - 1];
            const QString& text = *texts[k];
            if (neverFilled(text)) {
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
                                                               : byteEscape(text.at(bad)))
                                    .arg(bad + 1);
            else if (quiz && text.trimmed().isEmpty())
                problems << where + field +
                                QStringLiteral(": empty, but the quiz asks records 1 to 5");
        }
    }
    return problems;
}

} // namespace dyr
