// dyr's web page: the quiz of a set as one HTML file. The page's markup, styles and
// script are web/page.* beside this file; this fills in the questions, the faces and the
// Content-Security-Policy that lets the page's own style and script run and nothing
// else load.
#include "webpage.h"

#include "commandline.h"
#include "conversions.h"
#include "setshape.h"

#include <QCryptographicHash>
#include <QFile>
#include <QHash>

#include <algorithm>

namespace dyr {

namespace {

using qo::QuizLength;

// A text for a message on a terminal: what can't be shown as '?'.
QString plain(QString text) {
    for (QChar& c : text) {
        if (!c.isPrint())
            c = QLatin1Char('?');
    }
    return text;
}

QString resource(const QString& name) {
    QFile file(QStringLiteral(":/web/") + name);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll());
}

QString dataUrl(const QString& resourcePath) {
    QFile file(resourcePath);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QStringLiteral("data:image/png;base64,") +
           QString::fromLatin1(file.readAll().toBase64());
}

QString faceUrl(int index) {
    return dataUrl(QStringLiteral(":/web/faces/face%1.png").arg(index));
}

// The page's check of an answer (FNV-1a over UTF-16 units, as page.js computes it).
QString check(const QString& text) {
    quint32 h = 0x811c9dc5u;
    for (const QChar c : text) {
        h ^= c.unicode();
        h *= 0x01000193u;
    }
    return QStringLiteral("%1").arg(h, 8, 16, QLatin1Char('0'));
}

QString cspHash(const QString& text) {
    return QStringLiteral("'sha256-%1'")
        .arg(QString::fromLatin1(
            QCryptographicHash::hash(text.toUtf8(), QCryptographicHash::Sha256).toBase64()));
}

// Puts the values in for the {{NAME}} marks in one pass, so that a value holding
// such a mark is left as it is.
QString filled(const QString& text, const QHash<QString, QString>& values) {
    QString out;
    qsizetype at = 0;
    for (;;) {
        const qsizetype open = text.indexOf(QLatin1String("{{"), at);
        const qsizetype close = open < 0 ? -1 : text.indexOf(QLatin1String("}}"), open);
        if (close < 0)
            break;
        const QString name = text.mid(open + 2, close - open - 2);
        out += text.mid(at, open - at);
        out += values.contains(name) ? values.value(name) : text.mid(open, close + 2 - open);
        at = close + 2;
    }
    return out + text.mid(at);
}

QString element(const QString& tag, const QString& cls, const QString& text) {
    return QStringLiteral("<%1 class=\"%2\">%3</%1>").arg(tag, cls, htmlEscaped(text));
}

} // namespace

bool Page::ok() const {
    return std::none_of(notes.begin(), notes.end(), [](const Note& n) { return !n.warning; });
}

QString htmlEscaped(const QString& text) {
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        switch (c.unicode()) {
        case '&':
            out += QLatin1String("&amp;");
            break;
        case '<':
            out += QLatin1String("&lt;");
            break;
        case '>':
            out += QLatin1String("&gt;");
            break;
        case '"':
            out += QLatin1String("&quot;");
            break;
        case '\'':
            out += QLatin1String("&#39;");
            break;
        default:
            // Control characters as references: a carriage return written as it is
            // would reach the page as a line feed. (C1 controls stay as they are,
            // since a reference to them would read as Windows-1252.)
            if (c.unicode() < 0x20 || c.unicode() == 0x7f)
                out += QStringLiteral("&#x%1;").arg(c.unicode(), 0, 16);
            else
                out += c;
        }
    }
    return out;
}

QList<PageQuestion> quizQuestions(const QList<qo::QuestionRecord>& records) {
    QList<PageQuestion> questions;
    for (int slot = 0; slot < QuizLength; ++slot) {
        const int n = slot + 1;
        const bool missing = slot >= records.size();
        const qo::QuestionRecord record = missing ? qo::QuestionRecord() : records[slot];
        PageQuestion q;
        q.record = n;
        q.number = QStringLiteral("Pitanje ") + qo::seen(record.Number.text());
        q.question = qo::seen(record.Question.text());
        for (int i = 0; i < 4; ++i)
            q.answers[i] = qo::seen(record.Answers[static_cast<std::size_t>(i)].text());
        QStringList faults;
        if (missing)
            faults << QStringLiteral("Greska u pitanju %1: u skupu nema tog pitanja.").arg(n);
        // A number that is no number stands for the record's own number, as in the
        // quiz window.
        double number = n;
        if (!rt::tryVal(record.Number.text(), &number)) {
            number = n;
            if (!missing)
                faults << QStringLiteral("Greska u pitanju %1: njegov broj nije broj, pa se "
                                         "broji kao %1.")
                              .arg(n);
        }
        q.correct = record.Correct >= 0 && record.Correct <= 3 ? record.Correct : -1;
        if (q.correct < 0)
            faults << QStringLiteral("Greska u pitanju %1: nijedan odgovor nije oznacen kao "
                                     "tacan.")
                          .arg(n);
        if (number == QuizLength) {
            q.step = Step::End;
        } else if (number > QuizLength) {
            q.step = Step::Repeat;
        } else if (n == QuizLength) {
            q.step = Step::End;
            faults << QStringLiteral("Greska u pitanju 5: njegov broj je manji od 5, a kviz ima "
                                     "najvise pet pitanja, pa se ovde zavrsava.");
        }
        q.fault = faults.join(QLatin1Char(' '));
        questions.append(q);
        if (q.step != Step::Next)
            break;
    }
    return questions;
}

Page webPage(const QList<qo::QuestionRecord>& records) {
    Page page;
    if (records.isEmpty() || qo::holdsNoQuestion(records.first())) {
        page.notes.append({0, qo::noFirstQuestionReason(), false});
        return page;
    }
    const QList<PageQuestion> questions = quizQuestions(records);
    page.questions = static_cast<int>(questions.size());

    for (const PageQuestion& q : questions) {
        const int n = q.record;
        const QString where = QStringLiteral("record %1").arg(n);
        const auto warn = [&](const QString& message) {
            page.notes.append({n, where + QStringLiteral(": ") + message, true});
        };
        if (n > records.size()) {
            warn(QStringLiteral("missing, though the quiz asks it; the page asks it empty and "
                                "says so"));
            continue;
        }
        const qo::QuestionRecord& r = records[n - 1];
        double number = 0;
        const bool numbered = rt::tryVal(r.Number.text(), &number);
        if (!numbered)
            warn(QStringLiteral("its number \"%1\" is no number, which stops the quiz window; "
                                "the page counts it as %2 and says so")
                     .arg(plain(qo::seen(r.Number.text())))
                     .arg(n));
        if (q.correct < 0)
            warn(QStringLiteral("Correct is %1, no answer A to D, which stops the quiz window; "
                                "on the page no answer is right, and it says so")
                     .arg(r.Correct));
        if (numbered && q.step == Step::Repeat)
            warn(QStringLiteral("numbered %1, above 5: the quiz asks it again after every "
                                "answer and never ends (\"Ponovo\" starts anew)")
                     .arg(qo::seen(r.Number.text()).trimmed()));
        if (numbered && n == QuizLength && number < QuizLength)
            warn(QStringLiteral("numbered %1, below 5, which stops the quiz window; the page "
                                "ends the quiz on it and says so")
                     .arg(qo::seen(r.Number.text()).trimmed()));
    }

    static const QHash<Step, QString> steps = {{Step::Next, QStringLiteral("next")},
                                               {Step::End, QStringLiteral("end")},
                                               {Step::Repeat, QStringLiteral("repeat")}};
    QString data;
    for (const PageQuestion& q : questions) {
        QString texts = q.question;
        for (const QString& a : q.answers)
            texts += QLatin1Char('\x1f') + a;
        const QString seed = check(QString::number(q.record) + texts);
        const QString key =
            check(seed + (q.correct < 0 ? QStringLiteral("x") : QString::number(q.correct)));
        data += QStringLiteral("\n<div data-go=\"%1\" data-s=\"%2\" data-k=\"%3\">")
                    .arg(steps.value(q.step), seed, key);
        data += element(QStringLiteral("p"), QStringLiteral("n"), q.number);
        data += element(QStringLiteral("p"), QStringLiteral("q"), q.question);
        data += element(QStringLiteral("p"), QStringLiteral("f"), q.fault);
        for (const QString& a : q.answers)
            data += element(QStringLiteral("p"), QStringLiteral("a"), a);
        data += QLatin1String("</div>");
    }

    QString faces;
    for (int i = 0; i < 8; ++i)
        faces += QStringLiteral(
                     "<img alt=\"\" width=\"32\" height=\"32\" decoding=\"async\" src=\"%1\">")
                     .arg(faceUrl(i));

    const QString style = resource(QStringLiteral("page.css"));
    const QString script = resource(QStringLiteral("page.js"));
    const QString csp = QStringLiteral("default-src 'none'; script-src %1; style-src %2; "
                                       "img-src data:; base-uri 'none'; form-action 'none'")
                            .arg(cspHash(script), cspHash(style));
    const PageQuestion& first = questions.first();
    const QHash<QString, QString> values = {
        {QStringLiteral("CSP"), csp},
        {QStringLiteral("VERSION"), htmlEscaped(qo::version())},
        {QStringLiteral("ICON"), faceUrl(0)},
        {QStringLiteral("STYLE"), style},
        {QStringLiteral("SCRIPT"), script},
        {QStringLiteral("NUMBER"), htmlEscaped(first.number)},
        {QStringLiteral("QUESTION"), htmlEscaped(first.question)},
        {QStringLiteral("FAULT"), htmlEscaped(first.fault)},
        {QStringLiteral("FAULT_HIDDEN"),
         first.fault.isEmpty() ? QStringLiteral(" hidden") : QString()},
        {QStringLiteral("A0"), htmlEscaped(first.answers[0])},
        {QStringLiteral("A1"), htmlEscaped(first.answers[1])},
        {QStringLiteral("A2"), htmlEscaped(first.answers[2])},
        {QStringLiteral("A3"), htmlEscaped(first.answers[3])},
        {QStringLiteral("FACES"), faces},
        {QStringLiteral("QUESTIONS"), data + QLatin1Char('\n')},
    };
    page.html = filled(resource(QStringLiteral("page.html")), values).toUtf8();
    return page;
}

} // namespace dyr
