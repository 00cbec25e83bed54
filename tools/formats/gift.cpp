// GIFT, the learning platforms' question format, as far as it holds multiple-choice
// questions with one right answer:
//
//   // a comment
//   ::Title:: What does FAQ stand for? {
//       ~Forum for new members
//       =Frequently asked questions # feedback, dropped on import
//       ~...
//       ~...
//   }
//
// Questions are separated by blank lines; \~ \= \# \{ \} \: and \\ stand for the
// character itself, \n for a line break.
#include "formats.h"
#include "htmltext.h"
#include "support.h"

#include <algorithm>

namespace dyr {

using namespace support;

namespace {

const QString kSpecial = QStringLiteral("~=#{}:\\");
const QString kMarkers[] = {QStringLiteral("[html]"), QStringLiteral("[moodle]"),
                            QStringLiteral("[plain]"), QStringLiteral("[markdown]")};

// One character of a question block: escaped characters never have their special
// meaning, and '\n' not escaped is a line break of the source.
struct Ch {
    QChar c;
    int line = 0;
    bool escaped = false;
    bool is(char16_t x) const { return !escaped && c == QChar(x); }
    bool blank() const { return !escaped && (isBlank(c) || c == QLatin1Char('\n')); }
};
using Chars = QList<Ch>;

qsizetype skipBlanks(const Chars& cs, qsizetype from, qsizetype to) {
    while (from < to && cs[from].blank())
        ++from;
    return from;
}

qsizetype trimEnd(const Chars& cs, qsizetype from, qsizetype to) {
    while (to > from && cs[to - 1].blank())
        --to;
    return to;
}

// The first unescaped c in [from, to), or -1.
qsizetype find(const Chars& cs, qsizetype from, qsizetype to, char16_t c) {
    for (qsizetype k = from; k < to; ++k) {
        if (cs[k].is(c))
            return k;
    }
    return -1;
}

// A piece of a question: its text without the blanks around it, the source's line
// breaks inside it read as spaces.
struct Piece {
    QString text;
    int line = 0;
    QString marker; // a format marker such as [html] that stood in front of it
};

Piece piece(const Chars& cs, qsizetype from, qsizetype to, int fallbackLine) {
    from = skipBlanks(cs, from, to);
    to = trimEnd(cs, from, to);
    Piece p;
    p.line = from < to ? cs[from].line : fallbackLine;
    for (const QString& marker : kMarkers) {
        if (to - from < marker.size() || !cs[from].is(u'['))
            continue;
        QString head;
        for (qsizetype k = from; k < from + marker.size(); ++k)
            head += cs[k].escaped ? QChar(0) : cs[k].c;
        if (head.compare(marker, Qt::CaseInsensitive) == 0) {
            p.marker = marker;
            from = skipBlanks(cs, from + marker.size(), to);
            break;
        }
    }
    for (qsizetype k = from; k < to; ++k)
        p.text += cs[k].is(u'\n') ? QLatin1Char(' ') : cs[k].c;
    return p;
}

const QString kOnlyMultipleChoice =
    QStringLiteral("skup sadrzi samo pitanja sa visestrukim izborom: jedan tacan odgovor "
                   "posle =, tri netacna posle ~");

struct Answer {
    bool right = false;
    qsizetype from = 0;      // after the = or ~
    qsizetype to = 0;        // before the feedback or the next answer
    qsizetype feedback = -1; // the # of its feedback
    qsizetype end = 0;
    int line = 0;
    double weight = 0; // in percent: 100 for =, 0 for ~, or what %N% in front says
};

void readQuestion(const Chars& cs, int number, Reading* result) {
    const auto fail = [&](int line, const QString& message) {
        result->notes.append(error(line, where(number) + QStringLiteral(": ") + message));
    };
    // A question of a kind a set can't hold.
    const auto other = [&](int line, const QString& kind, const QString& why) {
        result->others.append({line, number, kind, why});
    };
    const qsizetype end = cs.size();
    qsizetype pos = skipBlanks(cs, 0, end);
    const int startLine = cs[pos].line;
    PlainQuestion q;
    q.line = startLine;
    q.index = number;

    if (pos + 1 < end && cs[pos].is(u':') && cs[pos + 1].is(u':')) {
        qsizetype close = -1;
        for (qsizetype k = pos + 2; k + 1 < end && close < 0; ++k) {
            if (cs[k].is(u':') && cs[k + 1].is(u':'))
                close = k;
        }
        if (close < 0)
            return fail(startLine, QStringLiteral("naslov nije zatvoren sa ::"));
        q.label = html::plainText(piece(cs, pos + 2, close, startLine).text);
        pos = close + 2;
    }

    const qsizetype open = find(cs, pos, end, u'{');
    if (open < 0)
        return other(startLine, kindOf(QStringLiteral("description")),
                     QStringLiteral("tekst bez odgovora u { } nije pitanje"));
    const qsizetype nested = find(cs, open + 1, end, u'{');
    qsizetype close = find(cs, open + 1, end, u'}');
    if (nested >= 0 && (close < 0 || nested < close))
        return fail(cs[nested].line, QStringLiteral("{ unutar odgovora; sam znak se pise kao \\{"));
    if (close < 0)
        return fail(cs[open].line,
                    QStringLiteral("zagrada { iz reda %1 nije zatvorena").arg(cs[open].line));
    const qsizetype after = skipBlanks(cs, close + 1, end);
    if (find(cs, after, end, u'{') >= 0)
        return fail(cs[after].line, QStringLiteral("ovde pocinje drugo pitanje; izmedju pitanja "
                                                   "treba da bude prazan red"));
    if (after < end)
        return other(startLine, QStringLiteral("rec koja nedostaje"), kOnlyMultipleChoice);

    // A text in HTML ([html], or [moodle], the platform's auto-format, which allows
    // HTML too) or Markdown is read as the text it shows; an answer without a marker
    // of its own is in its question's format. A line break (\n, as the platform
    // exports one) is read as a space, as in Moodle XML.
    const Piece question = piece(cs, pos, open, cs[open].line);
    const auto readable = [&](const Piece& p, const QString& place) {
        const QString format = p.marker.isEmpty() ? question.marker : p.marker;
        const bool markdown = format == QLatin1String("[markdown]");
        if (!markdown && format != QLatin1String("[html]") && format != QLatin1String("[moodle]"))
            return html::plainText(p.text);
        html::Losses losses;
        const QString text =
            markdown ? html::markdownText(p.text, &losses) : html::toText(p.text, &losses);
        html::noteLosses(losses, p.line, place, &result->notes);
        return text;
    };

    const qsizetype bodyFrom = skipBlanks(cs, open + 1, close);
    qsizetype bodyTo = trimEnd(cs, bodyFrom, close);
    // The general feedback, after the last ####, is no answer: the platform writes it
    // last, an essay's too ({####...}).
    bool generalFeedback = false;
    for (qsizetype k = bodyTo - 4; k >= bodyFrom; --k) {
        if (cs[k].is(u'#') && cs[k + 1].is(u'#') && cs[k + 2].is(u'#') && cs[k + 3].is(u'#')) {
            generalFeedback = !piece(cs, k + 4, bodyTo, 0).text.isEmpty();
            bodyTo = trimEnd(cs, bodyFrom, k);
            break;
        }
    }
    if (bodyFrom == bodyTo)
        return other(startLine, kindOf(QStringLiteral("essay")), kOnlyMultipleChoice);
    if (cs[bodyFrom].is(u'#'))
        return other(startLine, kindOf(QStringLiteral("numerical")), kOnlyMultipleChoice);
    // The platform's ordering questions: {>2 ALL ... and the items a line each.
    if (cs[bodyFrom].is(u'>'))
        return other(startLine, kindOf(QStringLiteral("ordering")), kOnlyMultipleChoice);
    {
        const qsizetype hash = find(cs, bodyFrom, bodyTo, u'#');
        const QString head = piece(cs, bodyFrom, hash < 0 ? bodyTo : hash, 0).text.toUpper();
        if (head == QLatin1String("T") || head == QLatin1String("F") ||
            head == QLatin1String("TRUE") || head == QLatin1String("FALSE"))
            return other(startLine, kindOf(QStringLiteral("truefalse")), kOnlyMultipleChoice);
    }
    if (!cs[bodyFrom].is(u'=') && !cs[bodyFrom].is(u'~'))
        return fail(cs[bodyFrom].line, QStringLiteral("svaki odgovor pocinje sa = (tacan) ili ~ "
                                                      "(netacan)"));

    QList<Answer> answers;
    for (qsizetype k = bodyFrom; k < bodyTo; ++k) {
        if (cs[k].is(u'=') || cs[k].is(u'~')) {
            if (!answers.isEmpty())
                answers.last().end = k;
            Answer a;
            a.right = cs[k].is(u'=');
            a.from = k + 1;
            a.line = cs[k].line;
            answers.append(a);
        } else if (cs[k].is(u'#') && answers.last().feedback < 0) {
            answers.last().feedback = k;
        }
    }
    answers.last().end = bodyTo;
    bool matching = false;
    bool penalties = false;
    int marked = 0; // answers marked with =
    for (Answer& a : answers) {
        a.to = a.feedback >= 0 ? a.feedback : a.end;
        for (qsizetype k = a.from; k + 1 < a.to; ++k)
            matching = matching || (cs[k].is(u'-') && cs[k + 1].is(u'>'));
        marked += a.right ? 1 : 0;
        a.weight = a.right ? 100 : 0;
        // A weight in percent in front of the text, as in ~%-25%: read and taken off.
        const qsizetype first = skipBlanks(cs, a.from, a.to);
        const qsizetype close =
            first < a.to && cs[first].is(u'%') ? find(cs, first + 1, a.to, u'%') : -1;
        if (close >= 0) {
            bool number = false;
            a.weight = piece(cs, first + 1, close, a.line).text.toDouble(&number);
            if (!number)
                return fail(a.line, QStringLiteral("tezina %1 nije procenat")
                                        .arg(piece(cs, first, close + 1, a.line).text));
            a.from = close + 1;
        }
        penalties = penalties || a.weight < 0;
    }
    if (matching)
        return other(startLine, kindOf(QStringLiteral("matching")), kOnlyMultipleChoice);
    if (marked == answers.size())
        return other(startLine, kindOf(QStringLiteral("shortanswer")), kOnlyMultipleChoice);
    // The platform lets one answer be chosen when one is marked with =, and several
    // when none is (~%50% ~%50% ~%-100% ...). A question without = and with nothing
    // worth anything is an author's slip: an error asking for the =.
    const bool single = marked > 0;
    QList<double> percents;
    for (const Answer& a : answers)
        percents.append(a.weight);
    const bool worth =
        std::any_of(percents.begin(), percents.end(), [](double p) { return p > 1e-6; });
    if (single || worth) {
        if (const std::optional<Kind> kind = choiceKind(single, percents))
            return other(startLine, kind->kind, kind->why);
    }

    q.texts[0] = readable(question, where(number, 0));
    q.lines[0] = question.line;
    bool sound = true;
    if (!single && !worth) {
        fail(startLine, QStringLiteral("nema tacnog odgovora; on se oznacava sa ="));
        sound = false;
    }
    if (answers.size() != 4) {
        fail(startLine, QStringLiteral("%1; pitanje mora imati tacno cetiri")
                            .arg(counted(answers.size(), "odgovor", "odgovora", "odgovora")));
        sound = false;
    }
    if (q.texts[0].isEmpty()) {
        fail(startLine, QStringLiteral("nema teksta pitanja"));
        sound = false;
    }
    for (int i = 0; i < answers.size(); ++i) {
        const Answer& a = answers[i];
        const QString name = i < 4 ? where(number, i + 1) : where(number);
        const Piece raw = piece(cs, a.from, a.to, a.line);
        const Piece text{i < 4 ? readable(raw, name) : raw.text, raw.line, raw.marker};
        if (a.feedback >= 0 && !piece(cs, a.feedback + 1, a.end, a.line).text.isEmpty())
            result->notes.append(
                warning(cs[a.feedback].line,
                        name + QStringLiteral(": povratna informacija (#...) je izostavljena")));
        if (text.text.isEmpty()) {
            fail(a.line, QStringLiteral("odgovor %1 je prazan").arg(i + 1));
            sound = false;
        }
        if (i < 4) {
            q.texts[i + 1] = text.text;
            q.lines[i + 1] = text.line;
            if (fullCredit(a.weight))
                q.correct = i;
        }
    }
    if (generalFeedback)
        result->notes.append(
            warning(startLine,
                    where(number) + QStringLiteral(": opsti komentar (####...) je izostavljen")));
    if (penalties)
        result->notes.append(
            warning(startLine, where(number) + QStringLiteral(": kazneni bodovi netacnih "
                                                              "odgovora (negativni procenti) su "
                                                              "izostavljeni")));
    if (sound)
        result->questions.append(q);
}

QString escape(const QString& text) {
    QString out;
    for (const QChar c : text) {
        if (kSpecial.contains(c))
            out += QLatin1Char('\\');
        out += c;
    }
    return out;
}

} // namespace

Reading readGift(const QByteArray& source) {
    Reading result;
    const QStringList lines = sourceLines(decodeSource(source, &result.notes));
    Chars block;
    int number = 0;
    const auto flush = [&] {
        if (!block.isEmpty()) {
            result.starts.append(block.first().line);
            readQuestion(block, ++number, &result);
        }
        block.clear();
    };
    for (int i = 0; i < lines.size(); ++i) {
        const int line = i + 1;
        const QString& text = lines[i];
        const QString trimmed = trimBlanks(text);
        if (trimmed.isEmpty()) {
            flush();
            continue;
        }
        if (trimmed.startsWith(QLatin1String("//")))
            continue;
        if (block.isEmpty() &&
            trimmed.startsWith(QLatin1String("$CATEGORY:"), Qt::CaseInsensitive)) {
            result.notes.append(
                warning(line, QStringLiteral("red kategorije je zanemaren; skup nema kategorije")));
            continue;
        }
        if (!block.isEmpty())
            block.append(Ch{QLatin1Char('\n'), line, false});
        for (qsizetype k = 0; k < text.size(); ++k) {
            const QChar c = text.at(k);
            const QChar next = k + 1 < text.size() ? text.at(k + 1) : QChar();
            if (c == QLatin1Char('\\') && kSpecial.contains(next) && !next.isNull()) {
                block.append(Ch{next, line, true});
                ++k;
            } else if (c == QLatin1Char('\\') && next == QLatin1Char('n')) {
                block.append(Ch{QLatin1Char('\n'), line, true});
                ++k;
            } else {
                block.append(Ch{c, line, false});
            }
        }
    }
    flush();
    return result;
}

Writing writeGift(const QList<PlainQuestion>& questions) {
    Writing result;
    QString out;
    for (const PlainQuestion& q : questions) {
        const auto special = [](int t, const QString& text) {
            for (const QString& marker : kMarkers) {
                if (text.startsWith(marker, Qt::CaseInsensitive))
                    return QStringLiteral("pocinje sa %1, sto GIFT cita kao format teksta")
                        .arg(marker);
            }
            if (t > 0 && text.startsWith(QLatin1Char('%')))
                return QStringLiteral("pocinje sa %, sto GIFT cita kao procenat");
            if (t > 0 && text.contains(QLatin1String("->")))
                return QStringLiteral("sadrzi ->, sto GIFT cita kao par za uparivanje");
            return QString();
        };
        if (!writable(q, QStringLiteral("GIFT"), special, &result.notes))
            continue;
        if (!out.isEmpty())
            out += QLatin1Char('\n');
        // A title always comes first, so the question's text never starts a line
        // (where // would make it a comment); the platform names the question by it.
        // [plain]: the platform reads a text without a marker as its auto-format, which
        // shows <c> as a tag and runs of spaces as one; the answers take the question's.
        out += QStringLiteral("::") + escape(questionName(q.line, questions.last().line)) +
               QStringLiteral("::[plain]") + escape(q.texts[0]) + QStringLiteral(" {\n");
        for (int a = 0; a < 4; ++a)
            out += (a == q.correct ? QStringLiteral("\t=") : QStringLiteral("\t~")) +
                   escape(q.texts[a + 1]) + QLatin1Char('\n');
        out += QStringLiteral("}\n");
    }
    result.text = out.toUtf8();
    return result;
}

} // namespace dyr
