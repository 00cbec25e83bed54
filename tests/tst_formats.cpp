// Import and export through Aiken, GIFT, CSV and Moodle XML: the sample files, mixed
// banks, every fault with its line, the byte-for-byte round trips, and the commands
// around them.
#include "conversions.h"
#include "dyr.h"
#include "formats.h"
#include "testsupport.h"
#include "webpage.h"

#include <QBuffer>
#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QTextStream>

using namespace qo;
using dyr::Format;
using testsupport::bytesOf;
using testsupport::readAll;
using testsupport::writeAll;

Q_DECLARE_METATYPE(dyr::Format)
Q_DECLARE_METATYPE(qo::QuestionRecord)

namespace {

struct Result {
    int status = 0;
    QString out;
    QString err;
};

Result runTool(const QStringList& args, const QByteArray& input = {}) {
    Result r;
    QTextStream out(&r.out);
    QTextStream err(&r.err);
    QByteArray bytes = input;
    QBuffer in(&bytes);
    in.open(QIODevice::ReadOnly);
    r.status = dyr::run(args, out, err, &in);
    out.flush();
    err.flush();
    return r;
}

QString sample(const QString& name) {
    return QFileInfo(QStringLiteral(__FILE__)).dir().filePath(QStringLiteral("data/") + name);
}

QString setSource(const QString& name) {
    return QFileInfo(QStringLiteral(__FILE__))
        .dir()
        .filePath(QStringLiteral("../assets/sets/") + name + QStringLiteral(".txt"));
}

QList<QuestionRecord> recordsOf(const QByteArray& bytes) {
    QList<QuestionRecord> records;
    for (qsizetype at = 0; at + RecordLength <= bytes.size(); at += RecordLength)
        records << QuestionRecord::fromBytes(bytes.mid(at, RecordLength));
    return records;
}

// Notes as "line: message", warnings marked.
QStringList shown(const QList<dyr::Note>& notes) {
    QStringList lines;
    for (const dyr::Note& n : notes)
        lines << QStringLiteral("%1: %2%3")
                     .arg(n.line)
                     .arg(n.skipped   ? QStringLiteral("skipped: ")
                          : n.warning ? QStringLiteral("warning: ")
                                      : QString(),
                          n.message);
    return lines;
}

QByteArray crlf(QByteArray text) {
    return text.replace("\r\n", "\n").replace("\n", "\r\n");
}

QuestionRecord numberOnly(int n) {
    QuestionRecord r;
    r.Number = QString::number(n);
    return r;
}

// A record as the editor stores it: every field assigned, so filled with spaces.
QuestionRecord filled(int n, const QString& question, const QStringList& answers, int correct) {
    QuestionRecord r;
    r.Number = QString::number(n);
    r.Question = question;
    for (int i = 0; i < 4; ++i)
        r.Answers[i] = answers.value(i);
    r.Correct = static_cast<std::int16_t>(correct);
    return r;
}

// Texts every format has to escape, quote or keep apart from its own syntax.
const QStringList kTricky = {
    QStringLiteral("Sta je ~ a sta = u GIFT-u?"),
    QStringLiteral("Zagrade {} i dve tacke: ::"),
    QStringLiteral("Kosa crta \\ i \\n nisu prelom"),
    QStringLiteral("Navodnici \"x\", zarez, tacka-zarez;"),
    QStringLiteral("\u0161\u0111\u010d\u0107\u017e \u0160\u0110\u010c\u0106\u017d \u201ex\u201d"),
    QStringLiteral("# nije komentar"),
    QStringLiteral("// ni ovo nije komentar"),
    QStringLiteral("A. nije izbor"),
    QStringLiteral("ANSWER: nije odgovor"),
    QStringLiteral("$CATEGORY: nije kategorija"),
    QStringLiteral("Tri razmaka   u sredini i euro \u20ac"),
    QStringLiteral("Oznaka [html] u sredini"),
    QStringLiteral("\u00a0tvrdi razmak na pocetku"),
    QString(80, QLatin1Char('x')),
    QStringLiteral("T"),
    QStringLiteral("5%"),
    QStringLiteral("a,b"),
};

// 21 questions as the editor fills them, built from the tricky texts; the question
// texts avoid what Aiken would read as a choice or an ANSWER: line.
QList<QuestionRecord> trickySet() {
    QList<QuestionRecord> set;
    for (int n = 1; n <= 21; ++n) {
        QString question = kTricky[n % kTricky.size()];
        if (question.startsWith(QLatin1String("A.")) || question.startsWith(QLatin1String("ANS")))
            question = QStringLiteral("Pitanje %1?").arg(n);
        QStringList answers;
        for (int i = 0; i < 4; ++i)
            answers << kTricky[(n * 4 + i) % kTricky.size()];
        set << filled(n, question, answers, n % 4);
    }
    return set;
}

// The first k of a set's questions, then records that hold only their numbers.
QList<QuestionRecord> firstQuestions(QList<QuestionRecord> set, int k) {
    for (int n = k + 1; n <= 21; ++n)
        set[n - 1] = numberOnly(n);
    return set;
}

QList<QuestionRecord> shippedSet(const QString& name) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("set.dyr"));
    runTool({QStringLiteral("build"), setSource(name), path});
    return recordsOf(readAll(path));
}

const QString kFormatNames[] = {QStringLiteral("aiken"), QStringLiteral("gift"),
                                QStringLiteral("csv"), QStringLiteral("moodle")};

QString nameOf(Format f) {
    return kFormatNames[static_cast<int>(f)];
}

} // namespace

class TestFormats : public QObject {
    Q_OBJECT
private slots:
    // The sample files, written in the shape of each format's own documentation, read
    // as they are and with the other kind of line ends.
    void samples_data() {
        QTest::addColumn<Format>("format");
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("questions");
        QTest::addColumn<QStringList>("notes");
        QTest::newRow("aiken") << Format::Aiken << "sample-aiken.txt" << 3 << QStringList();
        QTest::newRow("gift")
            << Format::Gift << "sample-gift.txt" << 4
            << QStringList{"4: warning: category line ignored; a set has no categories",
                           "6: warning: question 1: title \"FAQ\" is not kept; the questions are "
                           "numbered in order",
                           "8: warning: question 2: title \"Trol\" is not kept; the questions are "
                           "numbered in order",
                           "9: warning: question 2, answer A: feedback (#...) dropped",
                           "10: warning: question 2, answer B: feedback (#...) dropped"};
        QTest::newRow("csv") << Format::Csv << "sample.csv" << 3 << QStringList();
        QTest::newRow("moodle")
            << Format::Moodle << "sample-moodle.xml" << 3
            << QStringList{"4: warning: category \"$course$/top/Forumi\" ignored; a set has no "
                           "categories",
                           "77: warning: question 2: feedback dropped",
                           "111: warning: question 3: the penalties of the wrong answers "
                           "(negative fractions) dropped"};
    }
    void samples() {
        QFETCH(Format, format);
        QFETCH(QString, file);
        QFETCH(int, questions);
        QFETCH(QStringList, notes);
        const QByteArray source = readAll(sample(file));
        QVERIFY(!source.isEmpty());
        const dyr::Imported imported = dyr::importSet(format, source, {});
        QCOMPARE(shown(imported.notes), notes);
        QCOMPARE(imported.questions, questions);
        QCOMPARE(imported.records.size(), 21);

        // Each sample's first question is the same one, letters of the set included.
        const QList<QuestionRecord>& r = imported.records;
        QVERIFY(r[0].Question.text().startsWith(
            QStringLiteral("\u0160ta zna\u010di skra\u0107enica FAQ")));
        QCOMPARE(r[0].Answers[0].text(),
                 rt::fixedAssign(QStringLiteral("Forum za nove \u010dlanove"), 80));
        QCOMPARE(r[0].Correct, std::int16_t(1));
        QCOMPARE(r[1].Correct, std::int16_t(0));
        for (int n = 1; n <= 21; ++n)
            QCOMPARE(r[n - 1].Number.text(), rt::fixedAssign(QString::number(n), 10));
        for (int n = questions + 1; n <= 21; ++n)
            QCOMPARE(r[n - 1], numberOnly(n));
        if (format == Format::Gift) {
            // Escapes give the character itself; a question over two lines is one line.
            QCOMPARE(r[2].Question.text().trimmed(), QStringLiteral("\u0160ta u C: a = b radi?"));
            QCOMPARE(r[2].Answers[2].text().trimmed(), QStringLiteral("Pi\u0161e {a}"));
            QCOMPARE(r[2].Answers[3].text().trimmed(),
                     QStringLiteral("Ni\u0161ta, to je # komentar"));
            QCOMPARE(r[3].Question.text().trimmed(),
                     QStringLiteral("Pitanje koje se prote\u017ee kroz dva reda?"));
            QCOMPARE(r[3].Correct, std::int16_t(2));
        }
        if (format == Format::Csv) {
            QCOMPARE(r[1].Question.text().trimmed(), QStringLiteral("Ko je \"trol\" na forumu?"));
            QCOMPARE(r[1].Answers[0].text().trimmed(),
                     QStringLiteral("\u010clan koji, namerno, izaziva sva\u0111u"));
            QCOMPARE(r[2].Correct, std::int16_t(1)); // a lower-case b
        }
        if (format == Format::Moodle) {
            // HTML escaped inside the XML, and plain text as written.
            QCOMPARE(r[1].Question.text().trimmed(),
                     QStringLiteral("Ko je \u201etrol\u201d na forumu?"));
            QCOMPARE(r[2].Answers[2].text().trimmed(), QStringLiteral("Pi\u0161e {a} & <b>"));
            QCOMPARE(r[2].Answers[3].text().trimmed(),
                     QStringLiteral("Ni\u0161ta,   to je # komentar"));
        }
        if (format == Format::Aiken)
            QCOMPARE(r[1].Question.text().trimmed(),
                     QStringLiteral("Ko je \u201etrol\u201d na forumu?"));

        // The other line ends, and no byte order mark, give the same set.
        QByteArray other = crlf(source);
        if (format == Format::Csv)
            other = source.mid(3).replace("\r\n", "\n");
        const dyr::Imported again = dyr::importSet(format, other, {});
        QCOMPARE(shown(again.notes), notes);
        QCOMPARE(bytesOf(again.records), bytesOf(imported.records));
    }

    // Export, then import: the same bytes, for sets filled the way the editor fills them.
    void roundTrips_data() {
        QTest::addColumn<Format>("format");
        QTest::addColumn<QList<QuestionRecord>>("set");
        for (const Format f : {Format::Aiken, Format::Gift, Format::Csv, Format::Moodle}) {
            const QByteArray name = nameOf(f).toUtf8();
            QTest::newRow(name + ": 21 questions") << f << trickySet();
            QTest::newRow(name + ": 7 questions") << f << firstQuestions(trickySet(), 7);
            QTest::newRow(name + ": 1 question") << f << firstQuestions(trickySet(), 1);
            QTest::newRow(name + ": varnikol") << f << shippedSet(QStringLiteral("varnikol"));
            QTest::newRow(name + ": tuvek") << f << shippedSet(QStringLiteral("tuvek"));
        }
    }
    void roundTrips() {
        QFETCH(Format, format);
        QFETCH(QList<QuestionRecord>, set);
        QCOMPARE(set.size(), 21);
        const dyr::Exported exported = dyr::exportSet(format, set);
        QCOMPARE(shown(exported.notes), QStringList());
        const dyr::Imported imported = dyr::importSet(format, exported.text, {});
        QCOMPARE(shown(imported.notes), QStringList());
        QCOMPARE(bytesOf(imported.records), bytesOf(set));

        // The same through the commands: a file, then standard output and input.
        QTemporaryDir dir;
        const QString set1 = dir.filePath(QStringLiteral("a.dyr"));
        const QString text = dir.filePath(QStringLiteral("a.txt"));
        const QString set2 = dir.filePath(QStringLiteral("b.dyr"));
        writeAll(set1, bytesOf(set));
        const QString name = nameOf(format);
        Result r = runTool({QStringLiteral("export"), name, set1, text});
        QCOMPARE(r.status, 0);
        QCOMPARE(r.err, QString());
        QCOMPARE(readAll(text), exported.text);
        r = runTool({QStringLiteral("export"), name, set1});
        QCOMPARE(r.out.toUtf8(), exported.text);
        r = runTool({QStringLiteral("import"), name, QStringLiteral("-"), set2}, exported.text);
        QCOMPARE(r.status, 0);
        QCOMPARE(r.out,
                 set2 + QStringLiteral(": %1 imported, 21 records written\n")
                            .arg(imported.questions == 1
                                     ? QStringLiteral("1 question")
                                     : QStringLiteral("%1 questions").arg(imported.questions)));
        QCOMPARE(readAll(set2), bytesOf(set));
    }

    // Random sets: whatever export writes without a word comes back byte for byte.
    void randomRoundTrips() {
        QRandomGenerator random(12);
        const QString alphabet =
            QStringLiteral("aZ09 ~=#{}:\\\"',;%-></[]\u0161\u0110\u20ac\u201e\u00a0\u02d9AD.)");
        // Texts that mostly start with a letter, so that most sets can be written.
        const auto text = [&](int n) {
            QString t = random.bounded(20) == 0 ? QString() : QStringLiteral("x");
            while (t.size() < n)
                t += alphabet.at(random.bounded(alphabet.size()));
            return t;
        };
        for (const Format f : {Format::Aiken, Format::Gift, Format::Csv, Format::Moodle}) {
            int clean = 0;
            for (int round = 0; round < 60; ++round) {
                QList<QuestionRecord> set;
                const int k = random.bounded(1, 22);
                for (int n = 1; n <= 21; ++n) {
                    QStringList answers;
                    for (int i = 0; i < 4; ++i)
                        answers << text(random.bounded(1, 12));
                    set << (n <= k
                                ? filled(n, text(random.bounded(1, 81)), answers, random.bounded(4))
                                : numberOnly(n));
                }
                const dyr::Exported exported = dyr::exportSet(f, set);
                if (!exported.notes.isEmpty()) {
                    // The sets are laid out as import lays them out: a note is a text
                    // the format can't carry, and nothing is written.
                    QVERIFY(!exported.ok());
                    QVERIFY(exported.text.isEmpty());
                    continue;
                }
                ++clean;
                const dyr::Imported imported = dyr::importSet(f, exported.text, {});
                QVERIFY2(imported.ok(), qPrintable(shown(imported.notes).join('\n')));
                QCOMPARE(bytesOf(imported.records), bytesOf(set));
            }
            QVERIFY2(clean > 30, qPrintable(nameOf(f)));
        }
    }

    // Every fault of a source, with its line; nothing is imported then.
    void faults_data() {
        QTest::addColumn<Format>("format");
        QTest::addColumn<QByteArray>("source");
        QTest::addColumn<QStringList>("notes");
        const QByteArray choices = "A. a\nB. b\nC. c\nD. d\n";
        QTest::newRow("aiken: three choices")
            << Format::Aiken << QByteArray("Q?\nA. a\nB. b\nC. c\nANSWER: A\n")
            << QStringList{"1: question 1: multiple choice with 3 choices; a set's questions have "
                           "exactly four, A "
                           "to D"};
        QTest::newRow("aiken: five choices")
            << Format::Aiken << QByteArray("Q?\n") + choices + "E. e\nANSWER: A\n"
            << QStringList{"1: question 1: multiple choice with 5 choices; a set's questions have "
                           "exactly four, A "
                           "to D"};
        QTest::newRow("aiken: no letter")
            << Format::Aiken << QByteArray("Q?\n") + choices + "ANSWER:\n"
            << QStringList{"6: question 1: the ANSWER: line gives no letter"};
        QTest::newRow("aiken: unknown letter")
            << Format::Aiken << QByteArray("Q?\n") + choices + "ANSWER: E\n"
            << QStringList{"6: question 1: answer \"E\" is not one of the choices A to D"};
        QTest::newRow("aiken: two letters")
            << Format::Aiken << QByteArray("Q?\n") + choices + "ANSWER: AB\n"
            << QStringList{"6: question 1: answer \"AB\" is not one of the choices A to D"};
        QTest::newRow("aiken: no ANSWER line")
            << Format::Aiken << QByteArray("Q1?\n") + choices + "ANSWER: B\n\nQ2?\n" + choices
            << QStringList{"8: question 2: no ANSWER: line"};
        QTest::newRow("aiken: blank line inside")
            << Format::Aiken << QByteArray("Q?\nA. a\n\nB. b\nC. c\nD. d\nANSWER: A\n")
            << QStringList{"3: question 1: a blank line before the ANSWER: line"};
        QTest::newRow("aiken: two-line question")
            << Format::Aiken << QByteArray("Q\nmore?\n") + choices + "ANSWER: A\n"
            << QStringList{"2: question 1: expected a choice or the ANSWER: line (the question "
                           "must be on one line)"};
        QTest::newRow("aiken: choices out of order")
            << Format::Aiken << QByteArray("Q?\nA. a\nC. c\nB. b\nD. d\nANSWER: A\n")
            << QStringList{"3: question 1: choice C where choice B should be"};
        QTest::newRow("aiken: empty choice")
            << Format::Aiken << QByteArray("Q?\nA. a\nB.\nC. c\nD. d\nANSWER: A\n")
            << QStringList{"3: question 1: choice B has no text"};
        QTest::newRow("aiken: no question, then a sound one")
            << Format::Aiken << choices + "ANSWER: A\n\nQ?\n" + choices + "ANSWER: C\n\nANSWER: D\n"
            << QStringList{"1: question 1: a choice where the question should be",
                           "14: question 3: an ANSWER: line without a question"};

        const QByteArray mc = "{=a ~b ~c ~d}";
        const QString only = "; a set holds only multiple-choice questions: one right answer "
                             "after =, three wrong ones after ~";
        QTest::newRow("gift: true/false")
            << Format::Gift << QByteArray("// x\n::t::1+1=2 {T}\n\n::f::Je li? {FALSE#ne}\n")
            << QStringList{"2: question 1: true/false" + only, "4: question 2: true/false" + only};
        QTest::newRow("gift: short answer") << Format::Gift << QByteArray("Ko? {=niko =nijedan}\n")
                                            << QStringList{"1: question 1: short answer" + only};
        QTest::newRow("gift: matching")
            << Format::Gift << QByteArray("Spoji {\n=a -> 1\n=b -> 2\n=c -> 3\n}\n")
            << QStringList{"1: question 1: matching" + only};
        QTest::newRow("gift: numeric") << Format::Gift << QByteArray("\n\nKoliko? {#3:1}\n")
                                       << QStringList{"3: question 1: numeric" + only};
        QTest::newRow("gift: essay") << Format::Gift << QByteArray("Opisi forum. {}\n")
                                     << QStringList{"1: question 1: essay" + only};
        QTest::newRow("gift: missing word")
            << Format::Gift << QByteArray("Forum je {=mesto ~b ~c ~d} za razgovor.\n")
            << QStringList{"1: question 1: missing word" + only};
        QTest::newRow("gift: percentages")
            << Format::Gift << QByteArray("Q {~%50%a ~%50%b ~c ~d}\n")
            << QStringList{"1: question 1: multiple choice with partial credit; an answer is "
                           "worth 50 percent; a set's questions have one right answer, the "
                           "others worth nothing"};
        QTest::newRow("gift: penalties dropped")
            << Format::Gift << QByteArray("Q {~%-25%a ~%100%b ~%-25% c ~d}\n")
            << QStringList{"1: warning: question 1: the penalties of the wrong answers "
                           "(negative percentages) dropped"};
        QTest::newRow("gift: a weight that is no number")
            << Format::Gift << QByteArray("Q {=a ~%pola%b ~c ~d}\n")
            << QStringList{"1: question 1: the weight %pola% is not a percentage"};
        QTest::newRow("gift: short answer with weights")
            << Format::Gift << QByteArray("Ko? {=%100%niko =%50%nijedan}\n")
            << QStringList{"1: question 1: short answer" + only};
        QTest::newRow("gift: description")
            << Format::Gift << QByteArray("Samo tekst bez odgovora\n")
            << QStringList{"1: question 1: description; a text without answers in { } is not a "
                           "question"};
        QTest::newRow("gift: no right answer")
            << Format::Gift << QByteArray("Q {~a ~b ~c ~d}\n")
            << QStringList{"1: question 1: no right answer; mark it with ="};
        QTest::newRow("gift: two right answers")
            << Format::Gift << QByteArray("Q {=a =b ~c ~d}\n")
            << QStringList{"1: question 1: multiple choice with 2 right answers; a set's "
                           "questions have one right answer (=)"};
        QTest::newRow("gift: five answers")
            << Format::Gift << QByteArray("Q {=a ~b ~c ~d ~e}\n")
            << QStringList{"1: question 1: multiple choice with 5 answers; a set's questions "
                           "have exactly four"};
        QTest::newRow("gift: empty answer") << Format::Gift << QByteArray("Q {\n=a\n~\n~c\n~d\n}\n")
                                            << QStringList{"3: question 1: answer 2 is empty"};
        QTest::newRow("gift: no question text") << Format::Gift << QByteArray("::t:: ") + mc
                                                << QStringList{"1: question 1: no question text"};
        QTest::newRow("gift: title not closed")
            << Format::Gift << QByteArray("::t Q ") + mc
            << QStringList{"1: question 1: the title's :: is not closed"};
        QTest::newRow("gift: brace not closed")
            << Format::Gift << QByteArray("Q\n{=a ~b\n~c ~d\n\nQ2 ") + mc
            << QStringList{"2: question 1: the { of line 2 is not closed"};
        QTest::newRow("gift: no blank line between questions")
            << Format::Gift << QByteArray("Q1 {=a ~b ~c ~d}\nQ2 {=a ~b ~c ~d}\n")
            << QStringList{"2: question 1: another question starts here; leave a blank line "
                           "between questions"};
        QTest::newRow("gift: brace inside")
            << Format::Gift << QByteArray("Q {=a ~{b} ~c ~d}\n")
            << QStringList{"1: question 1: a { inside the answers; write \\{ for the character"};
        QTest::newRow("gift: answers without = or ~")
            << Format::Gift << QByteArray("Q {\n  a =b ~c ~d ~e}\n")
            << QStringList{"2: question 1: each answer begins with = (the right one) or ~ (a "
                           "wrong one)"};
        QTest::newRow("gift: a line break escaped")
            << Format::Gift << QByteArray("Prvi red\\ndrugi red {=a ~b ~c ~d}\n")
            << QStringList{"1: question 1, question text: character U+000A is not printable; "
                           "--replace stores '?' instead"};
        QTest::newRow("gift: [html] read as text, feedback reported")
            << Format::Gift
            << QByteArray("[html]<b>Q</b><img src=\"@@PLUGINFILE@@/a.png\"> {=a#da ~b ~c "
                          "~d ####opsti}\n")
            << QStringList{"1: warning: question 1, question text: a picture (<img>) dropped",
                           "1: warning: question 1, answer A: feedback (#...) dropped",
                           "1: warning: question 1, answer D: feedback (#...) dropped"};

        const QByteArray header = "number,question,a,b,c,d,correct\n";
        QTest::newRow("csv: no header")
            << Format::Csv << QByteArray("1,Q,a,b,c,d,A\n")
            << QStringList{"1: the first row must be the header number,question,a,b,c,d,correct"};
        QTest::newRow("csv: semicolons")
            << Format::Csv << QByteArray("Number;Question;A;B;C;D;Correct\n1;Q;a;b;c;d;A\n")
            << QStringList{"1: the first row must be the header number,question,a,b,c,d,correct; "
                           "this file is separated by semicolons, save it with commas"};
        QTest::newRow("csv: empty file") << Format::Csv << QByteArray()
                                         << QStringList{"1: no header row number,question,a,b,"
                                                        "c,d,correct"};
        QTest::newRow("csv: fields missing")
            << Format::Csv << header + "1,Q,a,b,c,A\n"
            << QStringList{"2: question 1: 6 fields; a row has 7, as the header"};
        QTest::newRow("csv: correct not a letter")
            << Format::Csv << header + "1,Q,a,b,c,d,2\n"
            << QStringList{"2: question 1: correct must be A, B, C or D, not \"2\""};
        QTest::newRow("csv: quote inside a field")
            << Format::Csv << header + "1,Q \"x\",a,b,c,d,A\n"
            << QStringList{"2: a quote inside a field that isn't quoted; quote the field and "
                           "double the quote"};
        QTest::newRow("csv: text after the closing quote")
            << Format::Csv << header + "1,\"Q\" x,a,b,c,d,A\n"
            << QStringList{"2: text after the closing quote of a field; a quoted field ends at "
                           "its quote"};
        QTest::newRow("csv: quote not closed")
            << Format::Csv << header + "1,Q,a,b,c,d,A\n2,\"Q2,a,b,c,d,A\n3,Q3,a,b,c,d,A\n"
            << QStringList{"3: the quoted field of line 3 is not closed",
                           "3: question 2: 2 fields; a row has 7, as the header"};
        QTest::newRow("csv: a line break in a quoted field")
            << Format::Csv << header + "1,\"Q\r\nmore\",a,b,c,d,A\r\n"
            << QStringList{"2: question 1, question text: character U+000D is not printable (2 "
                           "such characters in this text); --replace stores '?' instead"};
        QTest::newRow("csv: empty question, empty answer, other number")
            << Format::Csv << header + "1, ,a,b,c,d,A\n7,Q,a,,c,d,B\n"
            << QStringList{"2: question 1: the question is empty",
                           "3: warning: question 2, answer B: empty",
                           "3: warning: question 2: number \"7\" is not kept; the questions are "
                           "numbered in order"};

        // Moodle XML: hostile files are refused before anything in them is expanded or
        // fetched; a DOCTYPE bomb that ever got expanded would never finish here.
        const QByteArray doctype =
            "a document type declaration (<!DOCTYPE ...>) is refused: Moodle XML has none, and "
            "its entities are never expanded or fetched";
        QByteArray bomb = "<?xml version=\"1.0\"?>\n<!DOCTYPE quiz [\n<!ENTITY a0 \"lol\">\n";
        for (int i = 1; i <= 10; ++i)
            bomb += "<!ENTITY a" + QByteArray::number(i) + " \"" +
                    QByteArray("&a" + QByteArray::number(i - 1) + ";").repeated(10) + "\">\n";
        bomb += "]>\n<quiz>&a10;</quiz>\n";
        QTest::newRow("moodle: billion laughs")
            << Format::Moodle << bomb << QStringList{"2: " + doctype};
        QTest::newRow("moodle: external entity")
            << Format::Moodle
            << QByteArray("<!DOCTYPE quiz [<!ENTITY x SYSTEM \"file:///etc/passwd\">]>\n"
                          "<quiz>&x;</quiz>\n")
            << QStringList{"1: " + doctype};
        const QByteArray mcTail = "<answer fraction=\"100\"><text>a</text></answer>\n"
                                  "<answer fraction=\"0\"><text>b</text></answer>\n"
                                  "<answer fraction=\"0\"><text>c</text></answer>\n";
        QTest::newRow("moodle: undeclared entity")
            << Format::Moodle
            << "<quiz>\n<question type=\"multichoice\">\n<questiontext><text>Q &nbsp;</text>"
               "</questiontext>\n" +
                   mcTail + "<answer><text>d</text></answer>\n</question>\n</quiz>\n"
            << QStringList{"3: not well-formed XML (column 28): Entity 'nbsp' not declared."};
        QTest::newRow("moodle: not well-formed")
            << Format::Moodle << QByteArray("<quiz>\n  <question type=\"essay\">\n  </quiz>\n")
            << QStringList{"3: not well-formed XML (column 9): Opening and ending tag mismatch."};
        QTest::newRow("moodle: not closed")
            << Format::Moodle
            << QByteArray("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<quiz>\n<question>\n")
            << QStringList{"4: not well-formed XML (column 0): Premature end of document."};
        QTest::newRow("moodle: carriage returns alone")
            << Format::Moodle << QByteArray("<quiz>\r\r<question type=\"essay\">\r</quiz>\n")
            << QStringList{"1: not well-formed XML (column 39): Opening and ending tag mismatch."};
        QTest::newRow("moodle: another root")
            << Format::Moodle
            << QByteArray("<?xml version=\"1.0\"?>\n<html><body>Q?</body></html>\n")
            << QStringList{"2: the root element is <html>; a Moodle XML file holds a <quiz>"};
        QTest::newRow("moodle: empty file")
            << Format::Moodle << QByteArray(" \n")
            << QStringList{"0: no <quiz> element: the source is empty"};
        QTest::newRow("moodle: not UTF-8")
            << Format::Moodle
            << "<?xml version=\"1.0\" encoding=\"windows-1250\"?>\n<quiz>\n"
               "<question type=\"multichoice\">\n<questiontext><text>\x8ata?</text>"
               "</questiontext>\n" +
                   mcTail + "<answer><text>d</text></answer>\n</question>\n</quiz>\n"
            << QStringList{"4: not valid UTF-8",
                           "4: question 1, question text: \"\ufffd\" (U+FFFD) is not in "
                           "Windows-1250; --replace stores '?' instead"};
        QTest::newRow("moodle: empty answer, fraction no number")
            << Format::Moodle
            << "<quiz>\n<question type=\"multichoice\">\n<questiontext><text>Q</text>"
               "</questiontext>\n" +
                   mcTail +
                   "<answer><text><![CDATA[<p><img src=\"x.png\"></p>]]></text></answer>\n"
                   "</question>\n<question type=\"multichoice\">\n<questiontext><text>Q"
                   "</text></questiontext>\n" +
                   mcTail +
                   "<answer fraction=\"nula\"><text>d</text></answer>\n</question>\n"
                   "</quiz>\n"
            << QStringList{"7: warning: question 1, answer D: a picture (<img>) dropped",
                           "7: question 1, answer D: empty",
                           "14: question 2: answer 4: fraction \"nula\" is not a number"};

        // What every format shares: fitting the texts into the set.
        const QString long81 = QString(81, QLatin1Char('x'));
        QTest::newRow("too long")
            << Format::Csv << header + "1,Q," + long81.toUtf8() + ",b,c,d,A\n"
            << QStringList{"2: question 1, answer A: 81 characters, but at most 80 fit; --cut "
                           "keeps the first 80"};
        QTest::newRow("not in the code page")
            << Format::Aiken
            << QByteArray("Q \xd0\x96\xd0\xb0?\nA. a \xf0\x9f\x98\x80\nB. b\nC. c\nD. d\n"
                          "ANSWER: A\n")
            << QStringList{
                   "1: question 1, question text: \"\u0416\" (U+0416) is not in Windows-1250 "
                   "(2 such characters in this text); --replace stores '?' instead",
                   "2: question 1, answer A: \"\U0001F600\" (U+1F600) is not in "
                   "Windows-1250; --replace stores '?' instead"};
        QTest::newRow("not UTF-8")
            << Format::Aiken << QByteArray("Q?\nA. \xe8\nB. b\nC. c\nD. d\nANSWER: A\n")
            << QStringList{"2: not valid UTF-8",
                           "2: question 1, answer A: \"\ufffd\" (U+FFFD) is not in "
                           "Windows-1250; --replace stores '?' instead"};
        QTest::newRow("no questions") << Format::Gift << QByteArray("// samo komentar\n\n")
                                      << QStringList{"0: no questions found"};
        QByteArray many;
        for (int n = 1; n <= 23; ++n)
            many +=
                "::" + QByteArray::number(n) + ":: Q" + QByteArray::number(n) + " " + mc + "\n\n";
        QTest::newRow("more than 21 questions")
            << Format::Gift << many
            << QStringList{"43: question 22: a set holds at most 21 questions and this source "
                           "has 23; --first 21 keeps the first 21"};
    }
    void faults() {
        QFETCH(Format, format);
        QFETCH(QByteArray, source);
        QFETCH(QStringList, notes);
        const dyr::Imported imported = dyr::importSet(format, source, {});
        QCOMPARE(shown(imported.notes), notes);
        const bool errors = std::any_of(notes.begin(), notes.end(), [](const QString& n) {
            return !n.contains(QLatin1String(": warning: "));
        });
        QCOMPARE(imported.ok(), !errors);

        // The same with CRLF line ends.
        QCOMPARE(shown(dyr::importSet(format, crlf(source), {}).notes), notes);

        // The command names the source and line, and leaves an old set alone.
        if (!errors)
            return;
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("src.txt"));
        const QString set = dir.filePath(QStringLiteral("set.dyr"));
        writeAll(path, source);
        writeAll(set, "old");
        const Result r = runTool({QStringLiteral("import"), nameOf(format), path, set});
        QCOMPARE(r.status, 1);
        QCOMPARE(r.out, QString());
        const QString& first = notes.first();
        const QString where = first.startsWith(QLatin1String("0: "))
                                  ? path + first.mid(1)
                                  : path + QLatin1Char(':') + first;
        QVERIFY2(r.err.startsWith(where + QLatin1Char('\n')), qPrintable(r.err));
        QVERIFY(r.err.endsWith(QStringLiteral("dyr: ") + set + QStringLiteral(" not written\n")));
        QCOMPARE(readAll(set), QByteArray("old"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 2);
    }

    // A mixed bank from the platform: each question of another kind is named by its
    // line and kind, the ones that fit come in, and what their HTML loses is warned of.
    void moodleMixedBank() {
        const dyr::Reading reading = dyr::readMoodle(readAll(sample("mixed-moodle.xml")));
        QStringList others;
        for (const dyr::Other& o : reading.others)
            others << QStringLiteral("%1: question %2: %3; %4")
                          .arg(o.line)
                          .arg(o.index)
                          .arg(o.kind, o.why);
        const QString only = "a set holds only multiple-choice questions with four answers, "
                             "one of them right";
        QCOMPARE(others,
                 (QStringList{
                     "21: question 2: true/false; " + only, "27: question 3: short answer; " + only,
                     "32: question 4: matching; " + only, "37: question 5: numeric; " + only,
                     "42: question 6: essay; " + only, "46: question 7: description; " + only,
                     "50: question 8: cloze; " + only,
                     "54: question 9: drag and drop into text; " + only,
                     "59: question 10: multiple choice with several right answers; a set's "
                     "questions have one right answer",
                     "68: question 11: multiple choice with partial credit; an answer is worth "
                     "33.3333 percent; a set's questions have one right answer, the others "
                     "worth nothing",
                     "77: question 12: multiple choice with 3 answers; a set's questions have "
                     "exactly four",
                     "84: question 13: multiple choice with 2 right answers; a set's questions "
                     "have one right answer",
                     "92: question 14: select missing words; " + only,
                     "109: question 16: ordering; " + only,
                     "113: question 17: calculated multiple choice; " + only,
                     "117: question 18: type \"wiris\"; " + only}));
        QCOMPARE(reading.starts.size(), 19);
        QCOMPARE(reading.starts.first(), 8);
        QCOMPARE(shown(reading.notes),
                 (QStringList{
                     "5: warning: category \"$course$/top/Mesano\" ignored; a set has no "
                     "categories",
                     "11: warning: question 1, question text: a picture (<img>) dropped",
                     "13: warning: question 1, question text: an embedded file (<file>) dropped",
                     "18: warning: question 1, answer C: a link to a file on the platform "
                     "(@@PLUGINFILE@@) dropped, its text kept",
                     "19: warning: question 1, answer D: a table read as plain text",
                     "102: warning: question 15: feedback and hints dropped"}));
        QStringList questions;
        for (const dyr::PlainQuestion& q : reading.questions)
            questions
                << QStringLiteral("%1 (line %2, %3): ")
                           .arg(q.index)
                           .arg(q.lines[0])
                           .arg(QChar(u'A' + q.correct)) +
                       QStringList(q.texts.begin(), q.texts.end()).join(QStringLiteral(" | "));
        QCOMPARE(questions,
                 (QStringList{"1 (line 11, A): Koji je ovo \u0161ahovski  znak? | Kralj | "
                              "Kraljica & pe\u0161ak | Top | Skaka\u010d",
                              "15 (line 99, B): Sta znaci **moderator**? | Gost | Cuvar reda | "
                              "Trol | Bot",
                              "19 (line 123, C): Forum Ko pi\u0161e prvu poruku  teme? | "
                              "Moderator | Bilo ko od clanova | Onaj ko je otvori | "
                              "Administrator"}));
    }

    // A question text in each format, as the quiz will show it, and what is lost.
    void moodleTexts_data() {
        QTest::addColumn<QString>("format");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QStringList>("warnings");
        const QString html = QStringLiteral("html");
        QTest::newRow("entities")
            << html
            << "Tom &amp; Jerry &lt;3 &quot;x&quot; &apos;y&apos; &#353;&#x111;&#X10D; &Scaron; "
               "&eacute; &bdquo;x&ldquo; &euro;&shy;5"
            << "Tom & Jerry <3 \"x\" 'y' \u0161\u0111\u010d \u0160 \u00e9 \u201ex\u201c "
               "\u20ac5"
            << QStringList();
        QTest::newRow("not entities") << html << "A & B &nepoznat; &#xZZ; &#0; &amp"
                                      << "A & B &nepoznat; &#xZZ; \ufffd &amp" << QStringList();
        QTest::newRow("paragraphs and breaks") << html
                                               << "<p>Prvi</p><p>drugi<br>red<br/>"
                                                  "</p><ul><li>a</li><li>b</li></ul>"
                                               << "Prvi drugi red a b" << QStringList();
        QTest::newRow("nested tags")
            << html << "<p dir=\"ltr\"><b>Ja<i>ko</i></b> <span title=\"a > b\">bitno</span></p>"
            << "Jako bitno" << QStringList();
        QTest::newRow("no-break spaces") << html << "&nbsp;a&nbsp;&nbsp;b \u00a0c&nbsp;"
                                         << "a  b  c" << QStringList();
        QTest::newRow("white space") << html << "  a \n\t b  "
                                     << "a b" << QStringList();
        QTest::newRow("comment, script, style")
            << html << "a<!-- x -->b<script>c</script>d<style>p{}</style>e"
            << "abde" << QStringList();
        QTest::newRow("a < that starts no tag") << html << "1 < 2 and 3 <> 4, <3"
                                                << "1 < 2 and 3 <> 4, <3" << QStringList();
        QTest::newRow("picture, link, table")
            << "moodle_auto_format"
            << "Vidi <img src=\"@@PLUGINFILE@@/a.png\"> <a href=\"@@PLUGINFILE@@/b.pdf\">ovo"
               "</a><table><tr><td>x</td><td>y</td></tr></table>"
            << "Vidi ovo x y"
            << QStringList{"3: warning: question 1, question text: a picture (<img>) dropped",
                           "3: warning: question 1, question text: a link to a file on the "
                           "platform (@@PLUGINFILE@@) dropped, its text kept",
                           "3: warning: question 1, question text: a table read as plain text"};
        QTest::newRow("plain text") << "plain_text"
                                    << "  <b>a</b>   &amp;\u00a0b \n      c\n"
                                    << "<b>a</b>   "
                                       "&amp;\u00a0b c"
                                    << QStringList();
        QTest::newRow("markdown") << "markdown"
                                  << "**a**   *b*\n  c"
                                  << "**a** *b* c" << QStringList();
    }
    void moodleTexts() {
        QFETCH(QString, format);
        QFETCH(QString, text);
        QFETCH(QString, shown);
        QFETCH(QStringList, warnings);
        QString cdata = text;
        cdata.replace(QStringLiteral("]]>"), QStringLiteral("]]]]><![CDATA[>"));
        const QByteArray source =
            "<quiz>\n<question type=\"multichoice\">\n<questiontext format=\"" + format.toUtf8() +
            "\"><text><![CDATA[" + cdata.toUtf8() +
            "]]></text></questiontext>\n<answer fraction=\"100\"><text>a</text></answer>\n"
            "<answer fraction=\"0\"><text>b</text></answer>\n<answer fraction=\"0\"><text>c"
            "</text></answer>\n<answer fraction=\"0\"><text>d</text></answer>\n</question>\n"
            "</quiz>\n";
        const dyr::Reading reading = dyr::readMoodle(source);
        QCOMPARE(::shown(reading.notes), warnings);
        QCOMPARE(reading.questions.size(), 1);
        QCOMPARE(reading.questions[0].texts[0], shown);
        QCOMPARE(reading.questions[0].texts[1], QStringLiteral("a"));
    }

    // --cut and --replace store what doesn't fit, each time with a warning; characters
    // are counted by code point, an emoji being one.
    void cutAndReplace() {
        const QString emoji = QStringLiteral("\U0001F600");
        QString question;
        for (int i = 0; i < 80; ++i)
            question += emoji;
        const QByteArray source = "number,question,a,b,c,d,correct\n1," + question.toUtf8() + "," +
                                  QByteArray(85, 'y') + ",\xc5\xa1,c,d,A\n";
        dyr::Imported r = dyr::importSet(Format::Csv, source, {});
        QCOMPARE(shown(r.notes),
                 (QStringList{"2: question 1, question text: \"\U0001F600\" (U+1F600) is not in "
                              "Windows-1250 (80 such characters in this text); --replace "
                              "stores '?' instead",
                              "2: question 1, answer A: 85 characters, but at most 80 fit; "
                              "--cut keeps the first 80"}));

        r = dyr::importSet(Format::Csv, source, {0, true, true});
        QCOMPARE(shown(r.notes),
                 (QStringList{"2: warning: question 1, question text: \"\U0001F600\" (U+1F600) is "
                              "not in Windows-1250, stored as '?' (80 such characters in this "
                              "text)",
                              "2: warning: question 1, answer A: cut to 80 of its 85 "
                              "characters"}));
        QVERIFY(r.ok());
        QCOMPARE(r.records[0].Question.text(), QString(80, QLatin1Char('?')));
        QCOMPARE(r.records[0].Answers[0].text(), QString(80, QLatin1Char('y')));
        QCOMPARE(r.records[0].Answers[1].text(), rt::fixedAssign(QStringLiteral("\u0161"), 80));

        // Cut first: a character past the cut is gone with the cut, not replaced.
        const QByteArray tail = "Q?\nA. " + QByteArray(80, 'a') +
                                "\xd0\x96\nB. b\nC. c\nD. d\n"
                                "ANSWER: A\n";
        r = dyr::importSet(Format::Aiken, tail, {0, true, false});
        QCOMPARE(shown(r.notes), (QStringList{"2: warning: question 1, answer A: cut to 80 of "
                                              "its 81 characters"}));

        // Through the command: warnings, and the set written.
        QTemporaryDir dir;
        const QString set = dir.filePath(QStringLiteral("set.dyr"));
        const Result run =
            runTool({QStringLiteral("import"), QStringLiteral("--cut"), QStringLiteral("csv"),
                     QStringLiteral("--replace"), QStringLiteral("-"), set},
                    source);
        QCOMPARE(run.status, 0);
        QVERIFY(
            run.err.startsWith(QStringLiteral("stdin:2: warning: question 1, question text: ")));
        QCOMPARE(readAll(set),
                 bytesOf(dyr::importSet(Format::Csv, source, {0, true, true}).records));
    }

    // More than 21 questions: nothing written unless --first says how many to keep.
    void first() {
        // Question 24 is faulty; left out, it doesn't matter.
        QByteArray source;
        for (int n = 1; n <= 25; ++n)
            source += "Q" + QByteArray::number(n) + "?\nA. a\nB. b\nC. c\n" +
                      (n == 24 ? "" : "D. d\n") + "ANSWER: C\n\n";
        dyr::Imported r = dyr::importSet(Format::Aiken, source, {21, false, false});
        QCOMPARE(shown(r.notes),
                 QStringList{"148: warning: questions 22 to 25 left out (--first 21)"});
        QCOMPARE(r.questions, 21);
        QCOMPARE(r.records.size(), 21);
        QCOMPARE(r.records[20].Question.text().trimmed(), QStringLiteral("Q21?"));

        r = dyr::importSet(Format::Aiken, source, {3, false, false});
        QCOMPARE(r.questions, 3);
        QCOMPARE(r.records[3], numberOnly(4));
        r = dyr::importSet(Format::Aiken, source.left(source.indexOf("Q23")), {21, false, false});
        QCOMPARE(shown(r.notes), QStringList{"148: warning: question 22 left out (--first 21)"});
        QCOMPARE(
            dyr::importSet(Format::Aiken, source.left(source.indexOf("Q22")), {21, false, false})
                .notes,
            QList<dyr::Note>());
        const QList<QuestionRecord> kept =
            dyr::importSet(Format::Aiken, source, {21, false, false}).records;

        QTemporaryDir dir;
        const QString set = dir.filePath(QStringLiteral("set.dyr"));
        const QString src = dir.filePath(QStringLiteral("src.txt"));
        writeAll(src, source);
        Result run = runTool({QStringLiteral("import"), QStringLiteral("aiken"), src, set});
        QCOMPARE(run.status, 1);
        QCOMPARE(run.err, src +
                              QStringLiteral(":148: question 22: a set holds at most 21 "
                                             "questions and this source has 25; --first 21 "
                                             "keeps the first 21\n") +
                              src +
                              QStringLiteral(":162: question 24: multiple choice with 3 choices; "
                                             "a set's questions have exactly four, A to D\n") +
                              QStringLiteral("dyr: ") + set + QStringLiteral(" not written\n"));
        QVERIFY(!QFileInfo::exists(set));
        run = runTool({QStringLiteral("import"), QStringLiteral("--first=21"),
                       QStringLiteral("aiken"), src, set});
        QCOMPARE(run.status, 0);
        QCOMPARE(run.err, src + QStringLiteral(":148: warning: questions 22 to 25 left out "
                                               "(--first 21)\n"));
        QCOMPARE(readAll(set), bytesOf(kept));
    }

    // A mixed bank: without --skip-others each question a set can't hold is an error
    // naming its line and kind, and nothing is written; with it, those are skipped
    // and the others taken in their order.
    void skipOthers_data() {
        QTest::addColumn<Format>("format");
        QTest::addColumn<QByteArray>("source");
        QTest::addColumn<QStringList>("skipped"); // "line: kind"
        QTest::addColumn<QStringList>("taken");   // the questions' first words
        QTest::newRow("gift: mixed bank")
            << Format::Gift << readAll(sample(QStringLiteral("mixed-gift.txt")))
            << QStringList{"15: true/false",
                           "17: true/false",
                           "20: short answer",
                           "23: matching",
                           "30: missing word",
                           "33: numeric",
                           "35: numeric",
                           "38: essay",
                           "41: description",
                           "44: multiple choice with partial credit",
                           "52: multiple choice with 2 right answers",
                           "55: multiple choice with 3 answers"}
            << QStringList{"\u0160ta", "Ko", "\u0160ta"};
        QTest::newRow("aiken: mixed bank")
            << Format::Aiken << readAll(sample(QStringLiteral("mixed-aiken.txt")))
            << QStringList{"8: multiple choice with 2 choices",
                           "20: multiple choice with 3 choices",
                           "26: multiple choice with 5 choices"}
            << QStringList{"\u0160ta", "Ko", "\u0160ta"};
        QTest::newRow("moodle: mixed bank")
            << Format::Moodle << readAll(sample(QStringLiteral("mixed-moodle.xml")))
            << QStringList{"21: true/false",
                           "27: short answer",
                           "32: matching",
                           "37: numeric",
                           "42: essay",
                           "46: description",
                           "50: cloze",
                           "54: drag and drop into text",
                           "59: multiple choice with several right answers",
                           "68: multiple choice with partial credit",
                           "77: multiple choice with 3 answers",
                           "84: multiple choice with 2 right answers",
                           "92: select missing words",
                           "109: ordering",
                           "113: calculated multiple choice",
                           "117: type \"wiris\""}
            << QStringList{"Koji", "Sta", "Forum"};
        QTest::newRow("gift: nothing fits")
            << Format::Gift << QByteArray("Q {T}\n\nQ2 {}\n")
            << QStringList{"1: true/false", "3: essay"} << QStringList();
    }
    void skipOthers() {
        QFETCH(Format, format);
        QFETCH(QByteArray, source);
        QFETCH(QStringList, skipped);
        QFETCH(QStringList, taken);
        const QRegularExpression kind(QStringLiteral("^question \\d+ \\((.+)\\): "));

        const dyr::Imported all = dyr::importSet(format, source, {});
        QVERIFY(!all.ok());
        QStringList errors;
        for (const dyr::Note& n : all.notes) {
            if (!n.warning)
                errors << QStringLiteral("%1: %2").arg(n.line).arg(n.message);
        }
        QCOMPARE(errors.size(), skipped.size());
        for (int i = 0; i < skipped.size(); ++i) {
            const QString line = skipped[i].section(QLatin1Char(':'), 0, 0);
            QVERIFY2(errors[i].startsWith(line + QStringLiteral(": question ")) &&
                         errors[i].contains(QStringLiteral(": ") + skipped[i].mid(line.size() + 2) +
                                            QStringLiteral("; ")),
                     qPrintable(errors[i]));
        }

        dyr::ImportOptions options;
        options.skipOthers = true;
        const dyr::Imported r = dyr::importSet(format, source, options);
        QStringList seen;
        for (const dyr::Note& n : r.notes) {
            if (n.skipped)
                seen << QStringLiteral("%1: %2").arg(n.line).arg(kind.match(n.message).captured(1));
        }
        QCOMPARE(seen, skipped);
        QCOMPARE(r.skipped, skipped.size());
        QCOMPARE(r.questions, taken.size());
        QCOMPARE(r.ok(), !taken.isEmpty());
        for (int i = 0; i < taken.size(); ++i)
            QVERIFY2(r.records[i].Question.text().startsWith(taken[i]),
                     qPrintable(r.records[i].Question.text()));

        // The command says what it skipped, by line, and how many it took.
        QTemporaryDir dir;
        const QString src = dir.filePath(QStringLiteral("banka.txt"));
        const QString set = dir.filePath(QStringLiteral("set.dyr"));
        writeAll(src, source);
        const Result run = runTool(
            {QStringLiteral("import"), QStringLiteral("--skip-others"), nameOf(format), src, set});
        const QString first = skipped.first();
        QVERIFY2(run.err.contains(src + QLatin1Char(':') + first.section(QLatin1Char(':'), 0, 0) +
                                  QStringLiteral(": skipped: question ")),
                 qPrintable(run.err));
        if (taken.isEmpty()) {
            QCOMPARE(run.status, 1);
            QVERIFY(run.err.startsWith(src + QStringLiteral(": no question fits a set")));
            QVERIFY(!QFileInfo::exists(set));
        } else {
            QCOMPARE(run.status, 0);
            QCOMPARE(run.out, set + QStringLiteral(": %1 questions taken, %2 skipped, 21 records "
                                                   "written\n")
                                        .arg(taken.size())
                                        .arg(skipped.size()));
            QCOMPARE(readAll(set), bytesOf(r.records));
        }
    }

    // A question that fits but for a fault stays an error with --skip-others, unless
    // --cut or --replace allows it; --first counts the questions taken.
    void skipOthersKeepsFaults() {
        QByteArray source = "Q {T}\n\n";
        for (int n = 1; n <= 23; ++n)
            source += "Q" + QByteArray::number(n) + " {=a ~b ~c ~d}\n\nE {}\n\n";
        source += "Q24 {=" + QByteArray(81, 'a') + " ~b ~c ~d}\n";
        dyr::ImportOptions options;
        options.skipOthers = true;
        dyr::Imported r = dyr::importSet(Format::Gift, source, options);
        QVERIFY(!r.ok());
        QVERIFY(shown(r.notes).contains(QStringLiteral(
            "87: question 44: a set holds at most 21 questions and this source has 24 that fit; "
            "--first 21 keeps the first 21")));
        options.first = 21;
        r = dyr::importSet(Format::Gift, source, options);
        QVERIFY2(r.ok(), qPrintable(shown(r.notes).join('\n')));
        QCOMPARE(r.questions, 21);
        QCOMPARE(r.skipped, 22); // the true/false and the essays after the questions taken
        QCOMPARE(r.records[20].Question.text().trimmed(), QStringLiteral("Q21"));
        QCOMPARE(shown(r.notes).last(),
                 QStringLiteral("87: warning: questions 44 to 48 left out (--first 21)"));
        options.first = 0;
        source = "Q {T}\n\nQ1 {=" + QByteArray(81, 'a') + " ~b ~c ~d}\n";
        QVERIFY(!dyr::importSet(Format::Gift, source, options).ok());
        options.cut = true;
        QVERIFY(dyr::importSet(Format::Gift, source, options).ok());
    }

    // What export can't write, and what wouldn't come back the same from import.
    void exportProblems_data() {
        QTest::addColumn<Format>("format");
        QTest::addColumn<QList<QuestionRecord>>("set");
        QTest::addColumn<QStringList>("notes");
        const QStringList abcd{"a", "b", "c", "d"};
        const QList<QuestionRecord> base = firstQuestions(trickySet(), 3);

        auto set = base;
        set[1].Correct = 8224;
        set[2].Correct = -1;
        QTest::newRow("Correct outside 0 to 3")
            << Format::Csv << set
            << QStringList{"2: record 2: Correct is 8224; only 0 to 3 (A to D) can be exported",
                           "3: record 3: Correct is -1; only 0 to 3 (A to D) can be exported"};
        set = base;
        set[1] = numberOnly(2);
        set[6] = filled(7, QString(), abcd, 0);
        set[7].Answers[0] = QStringLiteral("x");
        set[20] = filled(21, QString(), {}, 0); // stored empty in the editor: spaces
        QTest::newRow("records without a question")
            << Format::Gift << set
            << QStringList{"2: warning: record 2 holds no question and is not exported; the "
                           "questions after it move up on import",
                           "3: warning: record 3: its number is not kept; import numbers it 2",
                           "7: warning: record 7 holds no question and is not exported; its "
                           "answers are left out; import gives it back holding only its number",
                           "8: warning: record 8 holds no question and is not exported; its "
                           "answers are left out; import gives it back holding only its number",
                           "21: warning: record 21 holds no question and is not exported; import "
                           "gives it back holding only its number"};
        set = base;
        set[0].Number = QStringLiteral("07");
        set[1].Answers[3].setRaw(QStringLiteral("d"));
        set[2].Question.setRaw(QStringLiteral("Q\tx"));
        QTest::newRow("number, NUL fill, tab")
            << Format::Csv << set
            << QStringList{"1: warning: record 1: its number is not kept; import numbers it 1",
                           "2: warning: record 2, answer D: filled with NUL bytes, which import "
                           "fills with spaces",
                           "3: record 3, question text: character U+0009 at column 2 can't be "
                           "exported"};
        set = base;
        set[0].Answers[1] = QString();
        set[1].Question = QStringLiteral("B) nije pitanje");
        set[2].Answers[0] = QStringLiteral(" a");
        QTest::newRow("aiken: empty, choice-like, leading space")
            << Format::Aiken << set
            << QStringList{
                   "1: record 1, answer B: empty, and Aiken has no empty texts",
                   "2: record 2, question text: reads as a choice or an ANSWER: line in Aiken",
                   "3: record 3, answer A: starts with a space, which Aiken drops"};
        set = base;
        set[0].Answers[1] = QStringLiteral("a -> b");
        set[1].Answers[2] = QStringLiteral("%50% b");
        set[2].Question = QStringLiteral("[Markdown] x");
        set[2].Answers[3].setRaw(QString(80, QChar(0)));
        QTest::newRow("gift: matching, percentage, marker, never filled")
            << Format::Gift << set
            << QStringList{
                   "1: record 1, answer B: holds ->, which GIFT reads as a matching pair",
                   "2: record 2, answer C: starts with %, which GIFT reads as a "
                   "percentage",
                   "3: warning: record 3, answer D: filled with NUL bytes, which import "
                   "fills with spaces",
                   "3: record 3, question text: starts with [markdown], which GIFT reads as "
                   "the text's format",
                   "3: record 3, answer D: empty, and GIFT has no empty texts"};
        set = base;
        set[0].Answers[1] = QString();
        set[2].Answers[0] = QStringLiteral(" <a>");
        QTest::newRow("moodle: empty, leading space")
            << Format::Moodle << set
            << QStringList{"1: record 1, answer B: empty, and Moodle XML has no empty texts",
                           "3: record 3, answer A: starts with a space, which Moodle XML drops"};
        QTest::newRow("nothing to export") << Format::Aiken << firstQuestions(base, 0)
                                           << QStringList{"0: no record holds a question"};
        set = trickySet();
        set << filled(22, QStringLiteral("Q"), abcd, 0) << numberOnly(23);
        QTest::newRow("past record 21")
            << Format::Csv << set
            << QStringList{"22: warning: record 22: question 22 is past the 21 a set holds; "
                           "import needs --first",
                           "23: warning: record 23 holds no question and is not exported"};
    }
    void exportProblems() {
        QFETCH(Format, format);
        QFETCH(QList<QuestionRecord>, set);
        QFETCH(QStringList, notes);
        const dyr::Exported exported = dyr::exportSet(format, set);
        QCOMPARE(shown(exported.notes), notes);
        QCOMPARE(exported.text.isEmpty(), !exported.ok());

        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("set.dyr"));
        const QString out = dir.filePath(QStringLiteral("out.txt"));
        writeAll(path, bytesOf(set));
        const Result r = runTool({QStringLiteral("export"), nameOf(format), path, out});
        QCOMPARE(r.status, exported.ok() ? 0 : 1);
        QCOMPARE(QFileInfo::exists(out), exported.ok());
        QVERIFY2(r.err.startsWith(path + QStringLiteral(": ") +
                                  notes.first().mid(notes.first().indexOf(' ') + 1)),
                 qPrintable(r.err));
    }

    // What Moodle export writes: the platform's own shape, named by record, answers in
    // their order; and the texts it refuses that export can't hand it.
    void moodleWriter() {
        dyr::PlainQuestion q;
        q.line = 7;
        q.texts = {"a < b & \"c\"", "A", "B", "C", "D"};
        q.correct = 2;
        const dyr::Writing w = dyr::writeMoodle({q});
        QCOMPARE(shown(w.notes), QStringList());
        const QString text = QString::fromUtf8(w.text);
        QVERIFY(text.startsWith(QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                                               "<quiz>\n  <question type=\"multichoice\">\n"
                                               "    <name>\n      <text>Pitanje 7</text>")));
        QVERIFY(text.contains(QStringLiteral("<text>a &lt; b &amp; &quot;c&quot;</text>")));
        QVERIFY(text.contains(QStringLiteral("<single>true</single>")));
        static const QRegularExpression answers(
            QStringLiteral("<answer fraction=\"(\\d+)\" format=\"plain_text\">\\s*<text>(.)<"));
        QStringList found;
        for (const QRegularExpressionMatch& m : answers.globalMatch(text))
            found << m.captured(2) + QLatin1Char('=') + m.captured(1);
        QCOMPARE(found, (QStringList{"A=0", "B=0", "C=100", "D=0"}));

        q.texts[1] = QStringLiteral("A ");
        q.texts[2] = QStringLiteral("B\ufffe");
        QCOMPARE(shown(dyr::writeMoodle({q}).notes),
                 (QStringList{"7: record 7, answer A: ends with a space, which Moodle XML drops",
                              "7: record 7, answer B: character U+FFFE can't stand in XML"}));
    }

    void commandErrors_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("err");
        const QString usage = QStringLiteral("usage: dyr dump FILE");
        QTest::newRow("import, too few") << QStringList{"import", "csv", "x.csv"} << 2 << usage;
        QTest::newRow("export, too many")
            << QStringList{"export", "csv", "a", "b", "c"} << 2 << usage;
        QTest::newRow("unknown option") << QStringList{"import", "--fast", "csv", "a", "b"} << 2
                                        << "dyr: unknown option --fast\n" + usage;
        QTest::newRow("export takes no options") << QStringList{"export", "--cut", "csv", "a"} << 2
                                                 << "dyr: unknown option --cut\n" + usage;
        QTest::newRow("unknown format")
            << QStringList{"import", "qti", "a", "b"} << 2
            << "dyr: unknown format \"qti\"; the formats are aiken, gift, csv and moodle\n";
        QTest::newRow("--first 0") << QStringList{"import", "--first", "0", "csv", "a", "b"} << 2
                                   << "dyr: --first takes a number from 1 to 21\n";
        QTest::newRow("--first 22") << QStringList{"import", "--first=22", "csv", "a", "b"} << 2
                                    << "dyr: --first takes a number from 1 to 21\n";
        QTest::newRow("--first without a number")
            << QStringList{"import", "csv", "a", "b", "--first"} << 2
            << "dyr: --first takes a number from 1 to 21\n";
        QTest::newRow("missing source") << QStringList{"import", "csv", "/nonexistent/a.csv", "b"}
                                        << 2 << "dyr: datoteka \"/nonexistent/a.csv\" ne postoji\n";
        QTest::newRow("set to standard output")
            << QStringList{"import", "csv", "a.csv", "-"} << 2
            << "dyr: the set is written to a file, not to standard output\n";
        QTest::newRow("missing set") << QStringList{"export", "gift", "/nonexistent/a.dyr"} << 2
                                     << "dyr: datoteka \"/nonexistent/a.dyr\" ne postoji\n";
    }
    void commandErrors() {
        QFETCH(QStringList, args);
        QFETCH(int, status);
        QFETCH(QString, err);
        const Result r = runTool(args);
        QCOMPARE(r.status, status);
        QVERIFY2(r.err.startsWith(err), qPrintable(r.err));
        QCOMPARE(r.out, QString());
    }

    // Import replaces the whole set at once; a set that can't be written is reported.
    void importReplacesTheSet() {
        QTemporaryDir dir;
        const QString set = dir.filePath(QStringLiteral("set.dyr"));
        writeAll(set, QByteArray(30 * RecordLength, 'z'));
        const QByteArray source = readAll(sample(QStringLiteral("sample-aiken.txt")));
        Result r = runTool(
            {QStringLiteral("import"), QStringLiteral("aiken"), QStringLiteral("-"), set}, source);
        QCOMPARE(r.status, 0);
        QCOMPARE(readAll(set), bytesOf(dyr::importSet(Format::Aiken, source, {}).records));
        QCOMPARE(dyr::check(readAll(set)).filter(QStringLiteral("record 4,")).size(), 5);

        r = runTool({QStringLiteral("import"), QStringLiteral("aiken"), QStringLiteral("-"),
                     dir.filePath(QStringLiteral("no/set.dyr"))},
                    source);
        QCOMPARE(r.status, 2);
        QVERIFY2(r.err.startsWith(QStringLiteral("dyr: datoteka \"%1\" nije snimljena: folder ")
                                      .arg(dir.filePath(QStringLiteral("no/set.dyr")))),
                 qPrintable(r.err));
    }

    // The web page: which records it asks and what it says of faulty ones, and what
    // dyr warns of or refuses. Each row: the set's numbers and Correct fields (a
    // record left out of `numbers` is missing from the set), the steps the page takes,
    // the records it names at fault, and dyr's notes.
    void webPageRecords_data() {
        QTest::addColumn<QStringList>("numbers");
        QTest::addColumn<QList<int>>("correct");
        QTest::addColumn<QString>("steps");
        QTest::addColumn<QList<int>>("faulty");
        QTest::addColumn<QStringList>("notes");
        const QStringList five{"1", "2", "3", "4", "5"};
        const QList<int> right{0, 1, 2, 3, 0};
        QTest::newRow("sound") << five << right << "next next next next end" << QList<int>{}
                               << QStringList{};
        QTest::newRow("record 3 reads 5") << QStringList{"1", "2", "5", "4", "5"} << right
                                          << "next next end" << QList<int>{} << QStringList{};
        QTest::newRow("record 2 reads 7")
            << QStringList{"1", "7", "3", "4", "5"} << right << "next repeat" << QList<int>{}
            << QStringList{"2: warning: record 2: numbered 7, above 5: the quiz asks it again "
                           "after every answer and never ends (\"Ponovo\" starts anew)"};
        QTest::newRow("no number, right answer out of range")
            << QStringList{"1", "x", "", "4", "5"} << QList<int>{0, 4, -1, 1, 8224}
            << "next next next next end" << QList<int>{2, 3, 5}
            << QStringList{"2: warning: record 2: its number \"x\" is no number, which stops the "
                           "quiz window; the page counts it as 2 and says so",
                           "2: warning: record 2: Correct is 4, no answer A to D, which stops the "
                           "quiz window; on the page no answer is right, and it says so",
                           "3: warning: record 3: its number \"\" is no number, which stops the "
                           "quiz window; the page counts it as 3 and says so",
                           "3: warning: record 3: Correct is -1, no answer A to D, which stops "
                           "the quiz window; on the page no answer is right, and it says so",
                           "5: warning: record 5: Correct is 8224, no answer A to D, which stops "
                           "the quiz window; on the page no answer is right, and it says so"};
        QTest::newRow("fifth record reads 4")
            << QStringList{"1", "2", "3", "4", "4"} << right << "next next next next end"
            << QList<int>{5}
            << QStringList{"5: warning: record 5: numbered 4, below 5, which stops the quiz "
                           "window; the page ends the quiz on it and says so"};
        QTest::newRow("a set of two records")
            << QStringList{"1", "2"} << right << "next next next next end" << QList<int>{3, 4, 5}
            << QStringList{"3: warning: record 3: missing, though the quiz asks it; the page "
                           "asks it empty and says so",
                           "4: warning: record 4: missing, though the quiz asks it; the page "
                           "asks it empty and says so",
                           "5: warning: record 5: missing, though the quiz asks it; the page "
                           "asks it empty and says so"};
        QTest::newRow("first record without a question")
            << QStringList{"1", "2", "3", "4", "5", "-"} << right << "" << QList<int>{}
            << QStringList{"0: U datoteci nema pitanja: prvo pitanje je prazno."};
        QTest::newRow("an empty set") << QStringList{} << right << "" << QList<int>{}
                                      << QStringList{"0: U datoteci nema pitanja: prvo pitanje "
                                                     "je prazno."};
    }
    void webPageRecords() {
        QFETCH(QStringList, numbers);
        QFETCH(QList<int>, correct);
        QFETCH(QString, steps);
        QFETCH(QList<int>, faulty);
        QFETCH(QStringList, notes);
        // A trailing "-" empties the first record's question.
        const bool noFirst = numbers.size() > 5;
        QList<QuestionRecord> set;
        for (int i = 0; i < std::min<qsizetype>(numbers.size(), 5); ++i)
            set << filled(i + 1, QStringLiteral("Pitanje broj %1?").arg(i + 1), kTricky.mid(1, 4),
                          correct.value(i));
        for (int i = 0; i < set.size(); ++i) {
            if (numbers[i].isEmpty())
                set[i].Number.setRaw(QString(10, QChar(0)));
            else
                set[i].Number = numbers[i];
        }
        if (noFirst)
            set[0].Question = QStringLiteral("   ");

        const dyr::Page page = dyr::webPage(set);
        QCOMPARE(shown(page.notes), notes);
        QCOMPARE(page.html.isEmpty(), !page.ok());
        static const char* names[] = {"next", "end", "repeat"};
        QStringList taken;
        QList<int> named;
        if (page.ok()) {
            for (const dyr::PageQuestion& q : dyr::quizQuestions(set)) {
                taken << QString::fromLatin1(names[static_cast<int>(q.step)]);
                if (!q.fault.isEmpty()) {
                    named << q.record;
                    QVERIFY2(
                        q.fault.startsWith(QStringLiteral("Greska u pitanju %1: ").arg(q.record)),
                        qPrintable(q.fault));
                }
            }
        }
        QCOMPARE(taken.join(QLatin1Char(' ')), steps);
        QCOMPARE(named, faulty);

        // The command: warnings on stderr, the page written; a refusal writes nothing.
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("set.dyr"));
        const QString out = dir.filePath(QStringLiteral("kviz.html"));
        writeAll(path, bytesOf(set));
        const Result r = runTool({QStringLiteral("export"), QStringLiteral("html"), path, out});
        QCOMPARE(r.status, page.ok() ? 0 : 1);
        QCOMPARE(QFileInfo::exists(out), page.ok());
        QStringList expected;
        for (const QString& note : notes)
            expected << path + QStringLiteral(": ") + note.mid(note.indexOf(' ') + 1);
        if (!page.ok())
            expected << QStringLiteral("dyr: ") + out + QStringLiteral(" not written");
        QCOMPARE(r.err, expected.isEmpty() ? QString() : expected.join('\n') + '\n');
        if (page.ok())
            QCOMPARE(readAll(out), page.html);
    }

    // Texts reach the page exactly: through Windows-1250, escaped, without padding.
    void webPageTexts_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("markup");
        QTest::newRow("markup characters")
            << "<b>Tom & Jerry</b> \"x\" 'y'"
            << "&lt;b&gt;Tom &amp; Jerry&lt;/b&gt; &quot;x&quot; &#39;y&#39;";
        QTest::newRow("Serbian letters")
            << QString::fromUtf8("šđčćž ŠĐČĆŽ") << QString::fromUtf8("šđčćž ŠĐČĆŽ");
        QTest::newRow("not in the code page") << QString::fromUtf8("Ж?") << "??";
        QTest::newRow("padding and inner spaces") << "  a   b"
                                                  << "  a   b";
        QTest::newRow("a tab and a carriage return") << "a\tb\rc"
                                                     << "a&#x9;b&#xd;c";
        QTest::newRow("a mark of the page's own") << "{{SCRIPT}} {{A0}}"
                                                  << "{{SCRIPT}} {{A0}}";
    }
    void webPageTexts() {
        QFETCH(QString, text);
        QFETCH(QString, markup);
        // Through the file's bytes, as dyr reads a set.
        QuestionRecord record = filled(1, text, {text, text, text, text}, 2);
        record = QuestionRecord::fromBytes(record.toBytes());
        const dyr::Page page = dyr::webPage({record});
        const QString html = QString::fromUtf8(page.html);
        QCOMPARE(html.count(QStringLiteral(">") + markup + QStringLiteral("</")), 2 * 5);
        QVERIFY(!html.contains(markup + QLatin1Char(' ') + QLatin1Char('<')));
    }

    // The page's own promises: the policy holds the hashes of its style and script, the
    // pictures are data: images, nothing names another place, the right answer can't
    // be read from the source, and a shipped set's page is at most 64 KB.
    void webPageIsSelfContained_data() {
        QTest::addColumn<QString>("set");
        QTest::newRow("varnikol") << "varnikol";
        QTest::newRow("tuvek") << "tuvek";
    }
    void webPageIsSelfContained() {
        QFETCH(QString, set);
        const QList<QuestionRecord> records = shippedSet(set);
        const dyr::Page page = dyr::webPage(records);
        QVERIFY(page.ok());
        QVERIFY2(page.html.size() <= 64 * 1024, QByteArray::number(page.html.size()));
        const QString html = QString::fromUtf8(page.html);
        const auto inline_ = [&](const QString& tag) {
            const qsizetype open = html.indexOf(QLatin1Char('<') + tag + QLatin1Char('>'));
            const qsizetype begin = open + tag.size() + 2;
            return html.mid(begin, html.indexOf(QStringLiteral("</") + tag, begin) - begin);
        };
        const auto hash = [](const QString& text) {
            return QString::fromLatin1(
                QCryptographicHash::hash(text.toUtf8(), QCryptographicHash::Sha256).toBase64());
        };
        const QString csp = QStringLiteral("default-src 'none'; script-src 'sha256-%1'; "
                                           "style-src 'sha256-%2'; img-src data:;")
                                .arg(hash(inline_(QStringLiteral("script"))),
                                     hash(inline_(QStringLiteral("style"))));
        QVERIFY2(html.contains(csp), qPrintable(csp));
        QCOMPARE(html.count(QStringLiteral("<script")), 1);
        QCOMPARE(html.count(QStringLiteral("src=\"data:image/png;base64,")), 8);
        QVERIFY(!html.contains(QStringLiteral("http:")) &&
                !html.contains(QStringLiteral("https:")));
        QVERIFY(!html.contains(QStringLiteral("style=")));

        // Another right answer changes nothing in the page but its checks.
        static const QRegularExpression checks(QStringLiteral(" data-k=\"[0-9a-f]{8}\""));
        for (int c = 0; c < 4; ++c) {
            QList<QuestionRecord> other = records;
            for (int i = 0; i < 5; ++i)
                other[i].Correct = static_cast<std::int16_t>(c);
            const QString page2 = QString::fromUtf8(dyr::webPage(other).html);
            QCOMPARE(QString(page2).remove(checks), QString(html).remove(checks));
        }

        // To standard output, the same bytes.
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("set.dyr"));
        writeAll(path, bytesOf(records));
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        QTextStream out(&buffer);
        QString errText;
        QTextStream err(&errText);
        QCOMPARE(
            dyr::run({QStringLiteral("export"), QStringLiteral("html"), path, QStringLiteral("-")},
                     out, err),
            0);
        out.flush();
        QCOMPARE(bytes, page.html);
        QCOMPARE(errText, QString());
    }

    // The help's example of each format imports as it stands.
    void helpExamples_data() {
        QTest::addColumn<Format>("format");
        QTest::addColumn<QString>("heading");
        QTest::newRow("aiken") << Format::Aiken << "Aiken:";
        QTest::newRow("gift") << Format::Gift << "GIFT, multiple choice:";
        QTest::newRow("csv") << Format::Csv << "CSV (RFC 4180)";
        QTest::newRow("moodle") << Format::Moodle << "Moodle XML, the learning platforms";
    }
    void helpExamples() {
        QFETCH(Format, format);
        QFETCH(QString, heading);
        const QStringList lines = dyr::helpText().split(QLatin1Char('\n'));
        qsizetype at = lines.indexOf(
            QRegularExpression(QLatin1Char('^') + QRegularExpression::escape(heading) + ".*"));
        QVERIFY(at >= 0);
        while (at < lines.size() && !lines[at].startsWith(QLatin1String("  ")))
            ++at;
        QByteArray example;
        for (; at < lines.size() &&
               (lines[at].isEmpty() || lines[at].startsWith(QLatin1String("  ")));
             ++at)
            example += lines[at].mid(2).toUtf8() + '\n';
        const dyr::Imported imported = dyr::importSet(format, example, {});
        QVERIFY2(imported.ok(), qPrintable(shown(imported.notes).join('\n')));
        QCOMPARE(imported.questions, 1);
        QCOMPARE(imported.records[0].Correct, std::int16_t(1));
    }
};

QTEST_MAIN(TestFormats)
#include "tst_formats.moc"
