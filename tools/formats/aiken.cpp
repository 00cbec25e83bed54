// Aiken, the learning platforms' one-line multiple-choice format:
//
//   What does FAQ stand for?
//   A. Forum for new members
//   B) Frequently asked questions
//   C. ...
//   D. ...
//   ANSWER: B
#include "formats.h"
#include "support.h"

namespace dyr {

using namespace support;

namespace {

// "A. text" or "A) text": an upper-case letter, '.' or ')', then a space or tab.
bool isChoice(const QString& line) {
    if (line.size() < 2 || line.at(0) < QLatin1Char('A') || line.at(0) > QLatin1Char('Z'))
        return false;
    if (line.at(1) != QLatin1Char('.') && line.at(1) != QLatin1Char(')'))
        return false;
    return line.size() == 2 || line.at(2) == QLatin1Char(' ') || line.at(2) == QLatin1Char('\t');
}

bool isAnswer(const QString& line) {
    return line.startsWith(QLatin1String("ANSWER:"), Qt::CaseInsensitive);
}

} // namespace

Reading readAiken(const QByteArray& source) {
    Reading result;
    const QStringList lines = sourceLines(decodeSource(source, &result.notes));

    enum class State { Between, Choices, Skipping };
    State state = State::Between;
    PlainQuestion current;
    int number = 0;  // the question being read, from 1
    int choices = 0; // choices read so far, also past the fourth
    bool faulty = false;
    const auto fail = [&](int line, const QString& message, bool skip) {
        result.notes.append(error(line, where(number) + QStringLiteral(": ") + message));
        faulty = true;
        if (skip)
            state = State::Skipping;
    };

    for (int i = 0; i < lines.size(); ++i) {
        const int line = i + 1;
        const QString text = trimBlanks(lines[i]);
        switch (state) {
        case State::Skipping:
            // After a fault, the question runs on to its ANSWER: line.
            if (isAnswer(text))
                state = State::Between;
            break;
        case State::Between:
            if (text.isEmpty())
                break;
            ++number;
            result.starts.append(line);
            current = PlainQuestion();
            current.line = line;
            current.index = number;
            choices = 0;
            faulty = false;
            if (isChoice(text)) {
                fail(line, QStringLiteral("ponudjeni odgovor stoji gde treba da bude pitanje"),
                     true);
            } else if (isAnswer(text)) {
                fail(line, QStringLiteral("red ANSWER: bez pitanja"), false);
            } else {
                current.texts[0] = text;
                current.lines[0] = line;
                state = State::Choices;
            }
            break;
        case State::Choices:
            if (text.isEmpty()) {
                fail(line, QStringLiteral("prazan red pre reda ANSWER:"), true);
            } else if (isChoice(text)) {
                if (choices < 4) {
                    const QChar expected = letter(choices);
                    if (text.at(0) != expected) {
                        fail(line,
                             QStringLiteral("ponudjeni odgovor %1 stoji gde treba da bude %2")
                                 .arg(text.at(0))
                                 .arg(expected),
                             true);
                        break;
                    }
                    const QString choice = trimBlanks(text.mid(2));
                    if (choice.isEmpty())
                        fail(line, QStringLiteral("ponudjeni odgovor %1 nema tekst").arg(expected),
                             false);
                    current.texts[choices + 1] = choice;
                    current.lines[choices + 1] = line;
                }
                ++choices;
            } else if (isAnswer(text)) {
                state = State::Between;
                if (choices != 4) {
                    result.others.append(
                        {current.line, number, choiceWithAnswers(choices), onlyFourAnswers()});
                    break;
                }
                const QString given = trimBlanks(text.mid(7));
                if (given.isEmpty()) {
                    fail(line, QStringLiteral("red ANSWER: ne navodi slovo"), false);
                } else if (given.size() != 1 || given.toUpper().at(0) < QLatin1Char('A') ||
                           given.toUpper().at(0) > QLatin1Char('D')) {
                    fail(line,
                         QStringLiteral("odgovor \"%1\" nije medju ponudjenim odgovorima A do D")
                             .arg(given),
                         false);
                } else {
                    current.correct = given.toUpper().at(0).unicode() - u'A';
                }
                if (!faulty)
                    result.questions.append(current);
            } else {
                fail(line,
                     QStringLiteral("ocekivan je ponudjeni odgovor ili red ANSWER: (pitanje "
                                    "mora da stane u jedan red)"),
                     true);
            }
            break;
        }
    }
    if (state == State::Choices)
        fail(current.line, QStringLiteral("nema reda ANSWER:"), false);
    return result;
}

Writing writeAiken(const QList<PlainQuestion>& questions) {
    Writing result;
    QString out;
    for (const PlainQuestion& q : questions) {
        const auto special = [](int t, const QString& text) {
            return t == 0 && (isChoice(text) || isAnswer(text))
                       ? QStringLiteral("Aiken bi ga procitao kao ponudjeni odgovor ili red "
                                        "ANSWER:")
                       : QString();
        };
        if (!writable(q, QStringLiteral("Aiken"), special, &result.notes))
            continue;
        if (!out.isEmpty())
            out += QLatin1Char('\n');
        out += q.texts[0] + QLatin1Char('\n');
        for (int a = 0; a < 4; ++a)
            out += letter(a) + QStringLiteral(". ") + q.texts[a + 1] + QLatin1Char('\n');
        out += QStringLiteral("ANSWER: ") + letter(q.correct) + QLatin1Char('\n');
    }
    result.text = out.toUtf8();
    return result;
}

} // namespace dyr
