// dyr's web page: the quiz of a set as one HTML file. The page's markup, styles and
// script are web/page.*; this fills in the questions, the faces and the
// Content-Security-Policy that lets the page's own style and script run and nothing
// else load.
#include "webpage.h"

#include "commandline.h"
#include "faces.h"
#include "quiz.h"
#include "setshape.h"
#include "support.h"

#include <QCryptographicHash>
#include <QFile>
#include <QHash>

#include <algorithm>

namespace dyr {

namespace {

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
    return !support::hasErrors(notes);
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

QString oddityNote(const qo::quiz::Asked& asked, qo::quiz::Oddity oddity) {
    using qo::quiz::Oddity;
    const int n = asked.place;
    const QString number = plain(qo::shownText(asked.record.Number.text()).trimmed());
    // Where the quiz goes after the record, as the window and the page both go.
    const QString then =
        asked.next == 0
            ? QStringLiteral("kviz i stranica se na njemu zavrsavaju")
            : QStringLiteral("kviz i stranica posle njega idu na zapis %1").arg(asked.next);
    QString what;
    switch (oddity) {
    case Oddity::Missing:
        what = QStringLiteral("nema ga u skupu, a kviz ga postavlja; kviz i stranica ga "
                              "postavljaju prazno, a tacnim broje odgovor A");
        break;
    case Oddity::NoNumber:
        what = QStringLiteral("broj \"%1\" nije broj, pa ga kviz i stranica broje kao %2")
                   .arg(number)
                   .arg(n);
        break;
    case Oddity::NumberAbove:
        what = QStringLiteral("broj %1 je veci od 5; %2").arg(number, then);
        if (asked.next == 0)
            what += QStringLiteral(", jer je peti");
        break;
    case Oddity::FifthBelow:
        what = QStringLiteral("broj %1 je manji od 5; %2, jer je peti").arg(number, then);
        break;
    case Oddity::EndsEarly:
        // The records never asked: "zapis 5", "zapise 4 i 5", "zapise 3 do 5".
        what =
            QStringLiteral("broj 5 pre petog zapisa; %1, a %2 ne postavljaju")
                .arg(then, n == qo::QuizLength - 1   ? QStringLiteral("zapis 5")
                           : n == qo::QuizLength - 2 ? QStringLiteral("zapise 4 i 5")
                                                     : QStringLiteral("zapise %1 do 5").arg(n + 1));
        break;
    case Oddity::NoRightAnswer:
        what = QStringLiteral("tacan odgovor je %1, a ne 0 do 3 (A do D); u kvizu i na "
                              "stranici nijedan odgovor nije tacan")
                   .arg(asked.record.Correct);
        break;
    }
    return QStringLiteral("zapis %1: %2").arg(n).arg(what);
}

QString oddityOnPage(const qo::quiz::Asked& asked, qo::quiz::Oddity oddity) {
    using qo::quiz::Oddity;
    const int n = asked.place;
    const QString where = QStringLiteral("Greska u pitanju %1: ").arg(n);
    switch (oddity) {
    case Oddity::Missing:
        return where + QStringLiteral("u skupu nema tog pitanja.");
    case Oddity::NoNumber:
        return where + QStringLiteral("njegov broj nije broj, pa se broji kao %1.").arg(n);
    case Oddity::NumberAbove:
        return where + (asked.next == 0
                            ? QStringLiteral("njegov broj je veci od 5, a kviz ima najvise pet "
                                             "pitanja, pa se ovde zavrsava.")
                            : QStringLiteral("njegov broj je veci od 5, pa se kviz nastavlja "
                                             "sledecim pitanjem."));
    case Oddity::FifthBelow:
        return where + QStringLiteral("njegov broj je manji od 5, a kviz ima najvise pet "
                                      "pitanja, pa se ovde zavrsava.");
    case Oddity::NoRightAnswer:
        return where + QStringLiteral("nijedan odgovor nije oznacen kao tacan.");
    case Oddity::EndsEarly:
        break; // the quiz ends where its author numbered 5: nothing for the player
    }
    return {};
}

QString refusalNote(const QString& reason) {
    return QStringLiteral("zapis 1: kviz i dyr export html odbijaju skup: \"%1\"").arg(reason);
}

namespace {

// One question of the page's template: what follows it ("end", or the index of the
// next), the check of its right answer, and its texts.
QString questionData(int place, const qo::QuestionRecord& r, const QString& next,
                     const QString& fault) {
    QStringList shown;
    for (const auto* text : r.texts())
        shown << qo::shownText(text->text());
    const QString texts = shown.join(QLatin1Char('\x1f'));
    const QString seed = check(QString::number(place) + texts);
    const int right = qo::quiz::rightAnswer(r);
    const QString key = check(seed + (right < 0 ? QStringLiteral("x") : QString::number(right)));
    QString data =
        QStringLiteral("\n<div data-next=\"%1\" data-s=\"%2\" data-k=\"%3\">").arg(next, seed, key);
    data += element(QStringLiteral("p"), QStringLiteral("n"),
                    QStringLiteral("Pitanje ") + qo::shownText(r.Number.text()));
    data += element(QStringLiteral("p"), QStringLiteral("q"), qo::shownText(r.Question.text()));
    data += element(QStringLiteral("p"), QStringLiteral("f"), fault);
    for (const auto& a : r.Answers)
        data += element(QStringLiteral("p"), QStringLiteral("a"), qo::shownText(a.text()));
    return data + QLatin1String("</div>");
}

} // namespace

Page webPage(const QList<qo::QuestionRecord>& records, const PageOptions& options) {
    Page page;
    const QString refusal = qo::quiz::refusal(records.value(0));
    if (!refusal.isEmpty()) {
        page.notes.append({0, refusal, false});
        return page;
    }

    QString data;
    QString firstFault;
    int scored = qo::QuizLength; // the questions a score counts
    if (options.draw > 0) {
        // Every question that can be drawn; the page draws for each attempt.
        const QList<int> pool = qo::quiz::drawable(records);
        if (options.draw > pool.size()) {
            page.notes.append({0,
                               QStringLiteral("--draw %1: u skupu ima %2 pitanja sa tacnim "
                                              "odgovorom od A do D, pa se moze izvuci od 1 do "
                                              "%2")
                                   .arg(options.draw)
                                   .arg(pool.size()),
                               false});
            return page;
        }
        for (const int place : pool)
            data += questionData(place, records[place - 1], QString(), QString());
        scored = options.draw;
        page.questions = options.draw;
    } else {
        const QList<qo::quiz::Asked> questions = qo::quiz::questions(records);
        page.questions = static_cast<int>(questions.size());
        for (qsizetype i = 0; i < questions.size(); ++i) {
            const qo::quiz::Asked& q = questions[i];
            QStringList faults;
            for (const qo::quiz::Oddity oddity : q.oddities) {
                page.notes.append({q.place, oddityNote(q, oddity), true});
                const QString onPage = oddityOnPage(q, oddity);
                if (!onPage.isEmpty())
                    faults << onPage;
            }
            const QString fault = faults.join(QLatin1Char(' '));
            if (i == 0)
                firstFault = fault;
            data +=
                questionData(q.place, q.record,
                             q.next == 0 ? QStringLiteral("end") : QString::number(i + 1), fault);
        }
    }

    // The row of faces, and apart from it their pictures, which the page puts in only
    // once its first question is on the screen: loading eight pictures would hold
    // that up.
    QString faces;
    QString pictures;
    for (int i = 0; i < qo::FaceCount; ++i) {
        faces += QStringLiteral("<img alt=\"\" width=\"32\" height=\"32\">");
        pictures += QStringLiteral("<img alt=\"\" src=\"%1\">").arg(faceUrl(i));
    }

    const QString style = resource(QStringLiteral("page.css"));
    const QString script = resource(QStringLiteral("page.js"));
    const QString csp = QStringLiteral("default-src 'none'; script-src %1; style-src %2; "
                                       "img-src data:; base-uri 'none'; form-action 'none'")
                            .arg(cspHash(script), cspHash(style));
    const qo::QuestionRecord& first = records.first();
    const qo::quiz::ScoreWords& words = qo::quiz::scoreWords();
    const QString name = options.name.isEmpty() ? QStringLiteral("[qo] Kviz") : plain(options.name);
    // An attempt kept in the browser belongs to this page: its questions and how it
    // draws and shuffles.
    const QString id = QString::fromLatin1(
        QCryptographicHash::hash(
            (data + QStringLiteral("|%1|%2").arg(scored).arg(options.shuffle)).toUtf8(),
            QCryptographicHash::Sha256)
            .toHex()
            .left(16));
    const QHash<QString, QString> values = {
        {QStringLiteral("CSP"), csp},
        {QStringLiteral("VERSION"), htmlEscaped(qo::version())},
        {QStringLiteral("ICON"), faceUrl(0)},
        {QStringLiteral("STYLE"), style},
        {QStringLiteral("SCRIPT"), script},
        {QStringLiteral("NAME"), htmlEscaped(name)},
        {QStringLiteral("NUMBER"),
         htmlEscaped(QStringLiteral("Pitanje ") + qo::shownText(first.Number.text()))},
        {QStringLiteral("QUESTION"), htmlEscaped(qo::shownText(first.Question.text()))},
        {QStringLiteral("FAULT"), htmlEscaped(firstFault)},
        {QStringLiteral("FAULT_HIDDEN"),
         firstFault.isEmpty() ? QStringLiteral(" hidden") : QString()},
        {QStringLiteral("A0"), htmlEscaped(qo::shownText(first.Answers[0].text()))},
        {QStringLiteral("A1"), htmlEscaped(qo::shownText(first.Answers[1].text()))},
        {QStringLiteral("A2"), htmlEscaped(qo::shownText(first.Answers[2].text()))},
        {QStringLiteral("A3"), htmlEscaped(qo::shownText(first.Answers[3].text()))},
        {QStringLiteral("FACES"), faces},
        {QStringLiteral("PICTURES"), pictures},
        {QStringLiteral("ID"), id},
        {QStringLiteral("SLOTS"), QString::number(scored)},
        {QStringLiteral("DRAW"), QString::number(options.draw)},
        {QStringLiteral("SHUFFLE"), options.shuffle ? QStringLiteral("1") : QString()},
        // A drawn quiz numbers its questions 1 to N as it asks them.
        {QStringLiteral("LABEL"), options.draw > 0 ? QStringLiteral("Pitanje %1") : QString()},
        {QStringLiteral("RIGHT_LINE"), htmlEscaped(words.rightLine)},
        {QStringLiteral("WRONG_LINE"), htmlEscaped(words.wrongLine)},
        {QStringLiteral("LIST_HEADING"), htmlEscaped(words.listHeading)},
        {QStringLiteral("LIST_ITEM"), htmlEscaped(words.listItem)},
        {QStringLiteral("LIST_END"), htmlEscaped(words.listEnd)},
        {QStringLiteral("QUESTIONS"), data + QLatin1Char('\n')},
    };
    page.html = filled(resource(QStringLiteral("page.html")), values).toUtf8();
    return page;
}

} // namespace dyr
