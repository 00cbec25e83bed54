// Moodle XML, the learning platforms' own export format, as far as it holds
// multiple-choice questions with one right answer:
//
//   <?xml version="1.0" encoding="UTF-8"?>
//   <quiz>
//     <question type="multichoice">
//       <name><text>FAQ</text></name>
//       <questiontext format="html">
//         <text><![CDATA[<p>What does <b>FAQ</b> stand for?</p>]]></text>
//       </questiontext>
//       <single>true</single>
//       <answer fraction="0"><text>Forum for new members</text></answer>
//       <answer fraction="100"><text>Frequently asked questions</text></answer>
//       ...
//     </question>
//   </quiz>
//
// A text is HTML, plain text or Markdown. HTML is a second layer inside the XML (in
// CDATA or escaped): its tags are dropped and its entities decoded here. Questions of
// other types are reported as such. A document type declaration is refused before
// anything else is read, so no entity of the source's own is ever expanded or fetched.
#include "formats.h"
#include "htmltext.h"
#include "support.h"

#include <QHash>
#include <QRegularExpression>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>

#include <algorithm>
#include <optional>

namespace dyr {

using namespace support;
using html::collapse;
using html::Losses;

namespace {

const QString kOnlyMultipleChoice =
    QStringLiteral("skup sadrzi samo pitanja sa visestrukim izborom i cetiri odgovora, od "
                   "kojih je jedan tacan");

// What the XML parser found, in Serbian. The parser words its faults in English only,
// so those a hand-edited or cut-off file has are matched by their text; for the rare
// rest the line and column alone point at the fault.
QString xmlFault(const QXmlStreamReader& xml) {
    if (xml.error() == QXmlStreamReader::PrematureEndOfDocumentError)
        return QStringLiteral("dokument se zavrsava pre vremena");
    struct Wording {
        QRegularExpression english;
        QString serbian; // %1, %2: what the English names
    };
    static const QList<Wording> wordings = [] {
        const std::pair<const char*, const char*> pairs[] = {
            {"Opening and ending tag mismatch\\.", "pocetna i zavrsna oznaka se ne slazu"},
            {"Entity '(.*)' not declared\\.", "entitet \"%1\" nije deklarisan"},
            {"Extra content at end of document\\.", "visak sadrzaja posle kraja dokumenta"},
            {"Unexpected '(.*)'\\.", "neocekivano \"%1\""},
            {"Expected (.*), but got '(.*)'\\.", "ocekivano je %1, a stoji \"%2\""},
            {"Invalid XML character\\.", "znak koji XML ne dozvoljava"},
            {"Invalid XML name\\.", "neispravno XML ime"},
            {"Attribute '(.*)' redefined\\.", "atribut \"%1\" je naveden dva puta"},
            {"Start tag expected\\.", "ocekivana je pocetna oznaka"},
            {"Encountered incorrectly encoded content\\.", "sadrzaj nije ispravno kodiran"},
            {"XML declaration not at start of document\\.",
             "XML deklaracija nije na pocetku dokumenta"},
            {"Sequence '\\]\\]>' not allowed in content\\.",
             "niz \"]]>\" nije dozvoljen u sadrzaju"},
            {"Invalid entity value\\.", "neispravna vrednost entiteta"},
            {"Namespace prefix '(.*)' not declared", "prefiks \"%1\" nije deklarisan"},
            {"(.*) is an invalid encoding name\\.", "\"%1\" nije ispravno ime kodiranja"},
            {"Encoding (.*) is unsupported", "kodiranje %1 nije podrzano"},
            {"Unsupported XML version\\.", "ta verzija XML-a nije podrzana"},
        };
        QList<Wording> list;
        for (const auto& [english, serbian] : pairs)
            list.append({QRegularExpression(QStringLiteral("^%1$").arg(QLatin1String(english))),
                         QString::fromLatin1(serbian)});
        return list;
    }();
    const QString said = xml.errorString();
    for (const Wording& w : wordings) {
        const QRegularExpressionMatch m = w.english.match(said);
        if (!m.hasMatch())
            continue;
        // "'>' or '/'" in what was expected
        QString first = m.captured(1);
        first.replace(QLatin1String(" or "), QLatin1String(" ili "));
        return m.lastCapturedIndex() >= 2   ? w.serbian.arg(first, m.captured(2))
               : m.lastCapturedIndex() == 1 ? w.serbian.arg(first)
                                            : w.serbian;
    }
    return {};
}

// A text element of a question: its content, the format it is in, and where.
struct Text {
    QString content;
    QString format;
    int line = 0;
    int fileLine = 0; // the first <file> embedded beside it
};

struct Answer {
    QString fraction;
    bool hasFraction = false;
    Text text;
};

struct Question {
    QString type;
    int line = 0;
    QString name;
    QString category;
    Text text;
    QString single;
    bool hasSingle = false;
    QList<Answer> answers;
    int feedbackLine = 0;
    int hintLine = 0;
};

QString readable(const Text& text, Losses* losses) {
    const QString format = text.format.toLower();
    if (format == QLatin1String("plain_text"))
        return html::plainText(text.content);
    if (format == QLatin1String("markdown"))
        return html::markdownText(text.content, losses);
    return html::toText(text.content, losses); // html, moodle_auto_format
}

class Reader {
public:
    explicit Reader(Reading* result) : result_(result) {}

    void read(const QString& source) {
        QXmlStreamReader xml(source);
        QStringList path; // the elements open inside the question being read
        int depth = 0;    // the elements open in the document
        bool root = false;
        Question q;
        QString* collecting = nullptr; // the text the characters go to
        qsizetype collectDepth = 0;
        int collectLine = 0;
        QString scratch;

        while (!xml.atEnd()) {
            const QXmlStreamReader::TokenType token = xml.readNext();
            const int line = static_cast<int>(xml.lineNumber());
            if (token == QXmlStreamReader::DTD) {
                // The parser reports the declaration where it ends; the author looks
                // for where it starts.
                const qsizetype at = source.indexOf(QLatin1String("<!DOCTYPE"));
                const int start =
                    at < 0 ? line : static_cast<int>(source.left(at).count(QLatin1Char('\n'))) + 1;
                result_->notes.append(
                    error(start, QStringLiteral("deklaracija tipa dokumenta (<!DOCTYPE ...>) se "
                                                "odbija: Moodle XML je nema, a njeni entiteti se "
                                                "nikada ne razvijaju niti preuzimaju")));
                return;
            }
            if (token == QXmlStreamReader::StartElement) {
                ++depth;
                const QString name = xml.name().toString();
                if (depth == 1) {
                    if (name != QLatin1String("quiz")) {
                        result_->notes.append(
                            error(line, QStringLiteral("koreni element je <%1>; datoteka Moodle "
                                                       "XML sadrzi <quiz>")
                                            .arg(name)));
                        return;
                    }
                    root = true;
                    continue;
                }
                if (depth == 2) {
                    if (name != QLatin1String("question")) {
                        result_->notes.append(warning(
                            line, QStringLiteral("<%1> je zanemaren; nije <question>").arg(name)));
                        xml.skipCurrentElement();
                        --depth;
                        continue;
                    }
                    q = Question();
                    q.type = xml.attributes().value(QLatin1String("type")).toString().trimmed();
                    q.line = line;
                    path = QStringList{name};
                    continue;
                }
                path.append(name);
                if (collecting)
                    continue;
                const auto collect = [&](QString* into) {
                    collecting = into;
                    collectDepth = path.size();
                    collectLine = line;
                };
                const QString format = xml.attributes().value(QLatin1String("format")).toString();
                const QString parent = path.size() >= 2 ? path[path.size() - 2] : QString();
                if (path.size() == 2) {
                    if (name == QLatin1String("questiontext")) {
                        q.text.format = format.isEmpty() ? QStringLiteral("html") : format;
                    } else if (name == QLatin1String("single")) {
                        q.hasSingle = true;
                        collect(&q.single);
                    } else if (name == QLatin1String("answer")) {
                        Answer a;
                        const QXmlStreamAttributes attributes = xml.attributes();
                        a.hasFraction = attributes.hasAttribute(QLatin1String("fraction"));
                        a.fraction = attributes.value(QLatin1String("fraction")).toString();
                        a.text.format = format;
                        a.text.line = line;
                        q.answers.append(a);
                    }
                } else if (path.size() == 3 && name == QLatin1String("text")) {
                    if (parent == QLatin1String("name")) {
                        collect(&q.name);
                    } else if (parent == QLatin1String("category")) {
                        collect(&q.category);
                    } else if (parent == QLatin1String("questiontext")) {
                        q.text.line = line;
                        collect(&q.text.content);
                    } else if (parent == QLatin1String("answer")) {
                        q.answers.last().text.line = line;
                        collect(&q.answers.last().text.content);
                    } else if (parent.endsWith(QLatin1String("feedback")) ||
                               parent == QLatin1String("hint")) {
                        scratch.clear();
                        collect(&scratch);
                    }
                } else if (path.size() == 3 && name == QLatin1String("file")) {
                    Text* beside = parent == QLatin1String("questiontext") ? &q.text
                                   : parent == QLatin1String("answer")     ? &q.answers.last().text
                                                                           : nullptr;
                    if (beside && beside->fileLine == 0)
                        beside->fileLine = line;
                } else if (path.size() == 4 && name == QLatin1String("text") &&
                           parent == QLatin1String("feedback") &&
                           path[1] == QLatin1String("answer")) {
                    scratch.clear();
                    collect(&scratch);
                }
                continue;
            }
            if (token == QXmlStreamReader::Characters) {
                if (collecting)
                    *collecting += xml.text();
                continue;
            }
            if (token == QXmlStreamReader::EndElement) {
                --depth;
                if (depth < 1)
                    continue;
                if (collecting && path.size() == collectDepth) {
                    if (collecting == &scratch && !collapse(scratch).isEmpty()) {
                        int& seen = path[collectDepth - 2] == QLatin1String("hint")
                                        ? q.hintLine
                                        : q.feedbackLine;
                        if (seen == 0)
                            seen = collectLine;
                    }
                    collecting = nullptr;
                }
                if (depth == 1) {
                    finish(q);
                    path.clear();
                } else {
                    path.removeLast();
                }
            }
        }
        if (xml.hasError()) {
            const QString fault = xmlFault(xml);
            result_->notes.append(error(
                static_cast<int>(xml.lineNumber()),
                QStringLiteral("XML nije ispravno oblikovan (kolona %1)").arg(xml.columnNumber()) +
                    (fault.isEmpty() ? QString() : QStringLiteral(": ") + fault)));
        } else if (!root) {
            result_->notes.append(error(0, QStringLiteral("nema elementa <quiz>")));
        }
    }

private:
    void finish(const Question& q) {
        if (q.type == QLatin1String("category")) {
            const QString category = collapse(q.category);
            result_->notes.append(warning(
                q.line, (category.isEmpty() ? QStringLiteral("kategorija")
                                            : QStringLiteral("kategorija \"%1\"").arg(category)) +
                            QStringLiteral(" je zanemarena; skup nema kategorije")));
            return;
        }
        const int index = ++number_;
        result_->starts.append(q.line);
        const auto other = [&](const QString& kind, const QString& why) {
            result_->others.append({q.line, index, kind, why});
        };
        const auto fail = [&](int line, const QString& place, const QString& message) {
            result_->notes.append(error(line, place + QStringLiteral(": ") + message));
        };
        if (q.type != QLatin1String("multichoice"))
            return other(kindOf(q.type), kOnlyMultipleChoice);

        QList<double> fractions;
        for (int i = 0; i < q.answers.size(); ++i) {
            const Answer& a = q.answers[i];
            bool ok = true;
            const double f = a.hasFraction ? a.fraction.trimmed().toDouble(&ok) : 0.0;
            if (!ok)
                return fail(a.text.line, where(index),
                            QStringLiteral("odgovor %1: fraction \"%2\" nije broj")
                                .arg(i + 1)
                                .arg(a.fraction));
            fractions.append(f);
        }
        // As the platform reads it: only "false", "0" or nothing lets several answers
        // be chosen.
        const QString single = q.single.trimmed().toLower();
        const bool several = q.hasSingle && (single.isEmpty() || single == QLatin1String("false") ||
                                             single == QLatin1String("0"));
        if (const std::optional<Kind> kind = choiceKind(!several, fractions))
            return other(kind->kind, kind->why);
        const bool penalties =
            std::any_of(fractions.begin(), fractions.end(), [](double f) { return f < 0; });

        PlainQuestion p;
        p.line = q.line;
        p.index = index;
        p.label = collapse(q.name);
        bool sound = true;
        for (int t = 0; t < 5; ++t) {
            Text text = t == 0 ? q.text : q.answers[t - 1].text;
            if (t > 0 && text.format.isEmpty())
                text.format = q.text.format; // an answer is in its question's format
            if (text.line == 0)
                text.line = q.line;
            const QString place = where(index, t);
            Losses losses;
            p.texts[t] = readable(text, &losses);
            p.lines[t] = text.line;
            html::noteLosses(losses, text.line, place, &result_->notes);
            if (text.fileLine > 0)
                result_->notes.append(warning(
                    text.fileLine,
                    place + QStringLiteral(": ugradjena datoteka (<file>) je izostavljena")));
            if (p.texts[t].isEmpty()) {
                fail(text.line, place, QStringLiteral("prazan"));
                sound = false;
            }
            if (t > 0 && fullCredit(fractions[t - 1]))
                p.correct = t - 1;
        }
        if (penalties)
            result_->notes.append(
                warning(q.line, where(index) + QStringLiteral(": kazneni bodovi netacnih "
                                                              "odgovora (negativne vrednosti "
                                                              "fraction) su izostavljeni")));
        const int dropped = q.feedbackLine > 0 && q.hintLine > 0
                                ? std::min(q.feedbackLine, q.hintLine)
                                : std::max(q.feedbackLine, q.hintLine);
        if (dropped > 0)
            result_->notes.append(warning(
                dropped, where(index) + (q.feedbackLine > 0 && q.hintLine > 0
                                             ? QStringLiteral(": povratna informacija i "
                                                              "nagovestaji su izostavljeni")
                                         : q.feedbackLine > 0
                                             ? QStringLiteral(": povratna informacija je "
                                                              "izostavljena")
                                             : QStringLiteral(": nagovestaji su izostavljeni"))));
        if (sound)
            result_->questions.append(p);
    }

    Reading* result_;
    int number_ = 0;
};

// Whether XML 1.0 can carry a character.
bool xmlChar(char32_t c) {
    return c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) ||
           (c >= 0xE000 && c <= 0xFFFD) || (c >= 0x10000 && c <= 0x10FFFF);
}

} // namespace

Reading readMoodle(const QByteArray& source) {
    Reading result;
    QString text = decodeSource(source, &result.notes);
    if (collapse(text).isEmpty()) {
        result.notes.append(error(0, QStringLiteral("nema elementa <quiz>: izvor je prazan")));
        return result;
    }
    // The XML parser counts a carriage return alone as a line end, the other readers
    // don't; read as the space it stands for, it leaves the lines as they count them.
    for (qsizetype k = text.indexOf(QLatin1Char('\r')); k >= 0;
         k = text.indexOf(QLatin1Char('\r'), k + 1)) {
        if (k + 1 == text.size() || text.at(k + 1) != QLatin1Char('\n'))
            text[k] = QLatin1Char(' ');
    }
    Reader(&result).read(text);
    return result;
}

Writing writeMoodle(const QList<PlainQuestion>& questions) {
    Writing result;
    QByteArray out;
    QXmlStreamWriter xml(&out);
    xml.setAutoFormatting(true);
    xml.setAutoFormattingIndent(2);
    xml.writeStartDocument();
    xml.writeStartElement(QStringLiteral("quiz"));
    // A text with a character XML escapes goes in CDATA, as the platform writes it:
    // its parser drops a piece made only of spaces between two entities, so "a" & "b"
    // escaped would come in as "a"&"b". Qt splits a "]]>" inside over two sections.
    const auto text = [&](const QString& content) {
        xml.writeStartElement(QStringLiteral("text"));
        static const QString escaped = QStringLiteral("&<>\"");
        if (std::any_of(content.begin(), content.end(),
                        [](QChar c) { return escaped.contains(c); }))
            xml.writeCDATA(content);
        else
            xml.writeCharacters(content);
        xml.writeEndElement();
    };
    const auto textElement = [&](const QString& element, const QString& content) {
        xml.writeStartElement(element);
        xml.writeAttribute(QStringLiteral("format"), QStringLiteral("plain_text"));
        text(content);
        xml.writeEndElement();
    };
    for (const PlainQuestion& q : questions) {
        const auto special = [](int, const QString& text) {
            if (isBlank(text.back()))
                return QStringLiteral("zavrsava se razmakom, a Moodle XML ga izostavlja");
            for (const uint c : text.toUcs4()) {
                if (!xmlChar(c))
                    return QStringLiteral("znak %1 ne moze da stoji u XML-u").arg(codePoint(c));
            }
            return QString();
        };
        if (!writable(q, QStringLiteral("Moodle XML"), special, &result.notes))
            continue;
        xml.writeStartElement(QStringLiteral("question"));
        xml.writeAttribute(QStringLiteral("type"), QStringLiteral("multichoice"));
        xml.writeStartElement(QStringLiteral("name"));
        text(questionName(q.line, questions.last().line));
        xml.writeEndElement();
        textElement(QStringLiteral("questiontext"), q.texts[0]);
        textElement(QStringLiteral("generalfeedback"), QString());
        xml.writeTextElement(QStringLiteral("defaultgrade"), QStringLiteral("1"));
        xml.writeTextElement(QStringLiteral("penalty"), QStringLiteral("0"));
        xml.writeTextElement(QStringLiteral("hidden"), QStringLiteral("0"));
        xml.writeTextElement(QStringLiteral("single"), QStringLiteral("true"));
        xml.writeTextElement(QStringLiteral("shuffleanswers"), QStringLiteral("0"));
        xml.writeTextElement(QStringLiteral("answernumbering"), QStringLiteral("ABCD"));
        for (int a = 0; a < 4; ++a) {
            xml.writeStartElement(QStringLiteral("answer"));
            xml.writeAttribute(QStringLiteral("fraction"),
                               a == q.correct ? QStringLiteral("100") : QStringLiteral("0"));
            xml.writeAttribute(QStringLiteral("format"), QStringLiteral("plain_text"));
            text(q.texts[a + 1]);
            textElement(QStringLiteral("feedback"), QString());
            xml.writeEndElement();
        }
        xml.writeEndElement();
    }
    xml.writeEndElement();
    xml.writeEndDocument();
    result.text = out;
    return result;
}

} // namespace dyr
