// Import and export through Aiken, GIFT, CSV and Moodle XML: the sample files, mixed
// banks, every fault with its line, the byte-for-byte round trips, and the commands
// around them.
#include "check.h"
#include "conversions.h"
#include "dyr.h"
#include "formats.h"
#include "quiz.h"
#include "sheet.h"
#include "support.h"
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
Q_DECLARE_METATYPE(testsupport::OddSet)

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
                     .arg(n.skipped   ? QStringLiteral("preskoceno: ")
                          : n.warning ? QStringLiteral("upozorenje: ")
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
            << QStringList{"4: upozorenje: red kategorije je zanemaren; skup nema kategorije",
                           "6: upozorenje: pitanje 1: naslov \"FAQ\" se ne cuva; pitanja se "
                           "numerisu redom",
                           "8: upozorenje: pitanje 2: naslov \"Trol\" se ne cuva; pitanja se "
                           "numerisu redom",
                           "9: upozorenje: pitanje 2, odgovor A: povratna informacija (#...) je "
                           "izostavljena",
                           "10: upozorenje: pitanje 2, odgovor B: povratna informacija (#...) je "
                           "izostavljena"};
        QTest::newRow("csv") << Format::Csv << "sample.csv" << 3 << QStringList();
        QTest::newRow("moodle")
            << Format::Moodle << "sample-moodle.xml" << 3
            << QStringList{"4: upozorenje: kategorija \"$course$/top/Forumi\" je zanemarena; "
                           "skup nema kategorije",
                           "77: upozorenje: pitanje 2: povratna informacija je izostavljena",
                           "111: upozorenje: pitanje 3: kazneni bodovi netacnih odgovora "
                           "(negativne vrednosti fraction) su izostavljeni"};
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
        QCOMPARE(r.out, set2 + QStringLiteral(": uvezeno %1 %2, upisan 21 zapis\n")
                                   .arg(imported.questions)
                                   .arg(imported.questions == 1 || imported.questions == 21
                                            ? QStringLiteral("pitanje")
                                            : QStringLiteral("pitanja")));
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

    // A count in a message takes one of its word's three Serbian forms by the number's
    // last digits, and a participle before it agrees the same way.
    void serbianCounts_data() {
        QTest::addColumn<int>("n");
        QTest::addColumn<QString>("text");
        const QList<std::pair<int, QString>> rows = {
            {0, "0 bajtova, upisano"},     {1, "1 bajt, upisan"},
            {2, "2 bajta, upisana"},       {4, "4 bajta, upisana"},
            {5, "5 bajtova, upisano"},     {11, "11 bajtova, upisano"},
            {12, "12 bajtova, upisano"},   {14, "14 bajtova, upisano"},
            {21, "21 bajt, upisan"},       {22, "22 bajta, upisana"},
            {25, "25 bajtova, upisano"},   {101, "101 bajt, upisan"},
            {111, "111 bajtova, upisano"}, {113, "113 bajtova, upisano"},
            {1234, "1234 bajta, upisana"},
        };
        for (const auto& [n, text] : rows)
            QTest::newRow(qPrintable(QString::number(n))) << n << text;
    }
    void serbianCounts() {
        QFETCH(int, n);
        QFETCH(QString, text);
        QCOMPARE(dyr::support::counted(n, "bajt", "bajta", "bajtova") + QStringLiteral(", ") +
                     dyr::support::byCount(n, "upisan", "upisana", "upisano"),
                 text);
    }

    // The platform lists a category's questions by name as text, and gives them back
    // in that order: export names them so that it is the set's order.
    void namesSortInSetOrder_data() {
        QTest::addColumn<Format>("format");
        QTest::addColumn<QList<QuestionRecord>>("set");
        QTest::addColumn<QStringList>("names");
        QStringList all;
        for (int n = 1; n <= 21; ++n)
            all << QStringLiteral("Pitanje %1").arg(n, 2, 10, QLatin1Char('0'));
        auto gap = firstQuestions(trickySet(), 12);
        gap[1] = numberOnly(2);
        for (const Format f : {Format::Gift, Format::Moodle}) {
            const QByteArray name = nameOf(f).toUtf8();
            QTest::newRow(name + ": 21 questions") << f << trickySet() << all;
            QTest::newRow(name + ": 1 question")
                << f << firstQuestions(trickySet(), 1) << QStringList{"Pitanje 01"};
            QStringList named = all.mid(0, 12);
            named.removeAt(1);
            QTest::newRow(name + ": an empty record") << f << gap << named;
        }
        QList<QuestionRecord> many = trickySet();
        for (int n = 22; n <= 100; ++n)
            many << filled(n, QStringLiteral("Q%1").arg(n), {"a", "b", "c", "d"}, 0);
        QTest::newRow("moodle: 100 records")
            << Format::Moodle << many
            << QStringList{"Pitanje 001", "Pitanje 002", "Pitanje 099", "Pitanje 100"};
    }
    void namesSortInSetOrder() {
        QFETCH(Format, format);
        QFETCH(QList<QuestionRecord>, set);
        QFETCH(QStringList, names);
        const dyr::Exported exported = dyr::exportSet(format, set);
        QVERIFY(exported.ok());
        const QRegularExpression named(format == Format::Gift
                                           ? QStringLiteral("^::(.*?)::\\[plain\\]")
                                           : QStringLiteral("<name>\\s*<text>(.*?)</text>"),
                                       QRegularExpression::MultilineOption);
        QStringList found;
        for (const QRegularExpressionMatch& m : named.globalMatch(QString::fromUtf8(exported.text)))
            found << m.captured(1);
        if (found.size() == 100)
            found = QStringList{found[0], found[1], found[98], found[99]};
        QCOMPARE(found, names);
        QStringList sorted = found;
        sorted.sort();
        QCOMPARE(sorted, found);
    }

    // Every fault of a source, with its line; nothing is imported then.
    void faults_data() {
        QTest::addColumn<Format>("format");
        QTest::addColumn<QByteArray>("source");
        QTest::addColumn<QStringList>("notes");
        const QByteArray choices = "A. a\nB. b\nC. c\nD. d\n";
        QTest::newRow("aiken: three choices")
            << Format::Aiken << QByteArray("Q?\nA. a\nB. b\nC. c\nANSWER: A\n")
            << QStringList{"1: pitanje 1: visestruki izbor sa 3 odgovora; pitanje u skupu ima "
                           "tacno cetiri odgovora, od A do D"};
        QTest::newRow("aiken: five choices")
            << Format::Aiken << QByteArray("Q?\n") + choices + "E. e\nANSWER: A\n"
            << QStringList{"1: pitanje 1: visestruki izbor sa 5 odgovora; pitanje u skupu ima "
                           "tacno cetiri odgovora, od A do D"};
        QTest::newRow("aiken: no letter")
            << Format::Aiken << QByteArray("Q?\n") + choices + "ANSWER:\n"
            << QStringList{"6: pitanje 1: red ANSWER: ne navodi slovo"};
        QTest::newRow("aiken: unknown letter")
            << Format::Aiken << QByteArray("Q?\n") + choices + "ANSWER: E\n"
            << QStringList{"6: pitanje 1: odgovor \"E\" nije medju ponudjenim odgovorima A do D"};
        QTest::newRow("aiken: two letters")
            << Format::Aiken << QByteArray("Q?\n") + choices + "ANSWER: AB\n"
            << QStringList{"6: pitanje 1: odgovor \"AB\" nije medju ponudjenim odgovorima A do D"};
        QTest::newRow("aiken: no ANSWER line")
            << Format::Aiken << QByteArray("Q1?\n") + choices + "ANSWER: B\n\nQ2?\n" + choices
            << QStringList{"8: pitanje 2: nema reda ANSWER:"};
        QTest::newRow("aiken: blank line inside")
            << Format::Aiken << QByteArray("Q?\nA. a\n\nB. b\nC. c\nD. d\nANSWER: A\n")
            << QStringList{"3: pitanje 1: prazan red pre reda ANSWER:"};
        QTest::newRow("aiken: two-line question")
            << Format::Aiken << QByteArray("Q\nmore?\n") + choices + "ANSWER: A\n"
            << QStringList{"2: pitanje 1: ocekivan je ponudjeni odgovor ili red ANSWER: (pitanje "
                           "mora da stane u jedan red)"};
        QTest::newRow("aiken: choices out of order")
            << Format::Aiken << QByteArray("Q?\nA. a\nC. c\nB. b\nD. d\nANSWER: A\n")
            << QStringList{"3: pitanje 1: ponudjeni odgovor C stoji gde treba da bude B"};
        QTest::newRow("aiken: empty choice")
            << Format::Aiken << QByteArray("Q?\nA. a\nB.\nC. c\nD. d\nANSWER: A\n")
            << QStringList{"3: pitanje 1: ponudjeni odgovor B nema tekst"};
        QTest::newRow("aiken: no question, then a sound one")
            << Format::Aiken << choices + "ANSWER: A\n\nQ?\n" + choices + "ANSWER: C\n\nANSWER: D\n"
            << QStringList{"1: pitanje 1: ponudjeni odgovor stoji gde treba da bude pitanje",
                           "14: pitanje 3: red ANSWER: bez pitanja"};

        const QByteArray mc = "{=a ~b ~c ~d}";
        const QString only = "; skup sadrzi samo pitanja sa visestrukim izborom: jedan tacan "
                             "odgovor posle =, tri netacna posle ~";
        QTest::newRow("gift: true/false")
            << Format::Gift << QByteArray("// x\n::t::1+1=2 {T}\n\n::f::Je li? {FALSE#ne}\n")
            << QStringList{"2: pitanje 1: tacno/netacno" + only,
                           "4: pitanje 2: tacno/netacno" + only};
        QTest::newRow("gift: short answer") << Format::Gift << QByteArray("Ko? {=niko =nijedan}\n")
                                            << QStringList{"1: pitanje 1: kratak odgovor" + only};
        QTest::newRow("gift: matching")
            << Format::Gift << QByteArray("Spoji {\n=a -> 1\n=b -> 2\n=c -> 3\n}\n")
            << QStringList{"1: pitanje 1: uparivanje" + only};
        QTest::newRow("gift: numeric") << Format::Gift << QByteArray("\n\nKoliko? {#3:1}\n")
                                       << QStringList{"3: pitanje 1: brojcani odgovor" + only};
        QTest::newRow("gift: essay") << Format::Gift << QByteArray("Opisi forum. {}\n")
                                     << QStringList{"1: pitanje 1: esej" + only};
        QTest::newRow("gift: missing word")
            << Format::Gift << QByteArray("Forum je {=mesto ~b ~c ~d} za razgovor.\n")
            << QStringList{"1: pitanje 1: rec koja nedostaje" + only};
        const QString several = "visestruki izbor sa vise tacnih odgovora; pitanje u skupu ima "
                                "jedan tacan odgovor";
        QTest::newRow("gift: percentages without =, as the platform exports several right")
            << Format::Gift << QByteArray("Q {\n\t~%50%a\n\t~%50%b\n\t~%-100%c\n\t~%-100%d\n}\n")
            << QStringList{"1: pitanje 1: " + several};
        QTest::newRow("gift: ~%100% without =")
            << Format::Gift << QByteArray("Q {~%-25%a ~%100%b ~c ~d}\n")
            << QStringList{"1: pitanje 1: " + several};
        QTest::newRow("gift: partial credit")
            << Format::Gift << QByteArray("Q {=a ~%50%b ~c ~d}\n")
            << QStringList{"1: pitanje 1: visestruki izbor sa delimicnim bodovima; jedan odgovor "
                           "nosi 50% bodova; pitanje u skupu ima jedan tacan odgovor, a ostali "
                           "ne nose bodove"};
        QTest::newRow("gift: penalties dropped")
            << Format::Gift << QByteArray("Q {~%-25%a =b ~%-25% c ~d}\n")
            << QStringList{"1: upozorenje: pitanje 1: kazneni bodovi netacnih odgovora "
                           "(negativni procenti) su izostavljeni"};
        QTest::newRow("gift: a weight that is no number")
            << Format::Gift << QByteArray("Q {=a ~%pola%b ~c ~d}\n")
            << QStringList{"1: pitanje 1: tezina %pola% nije procenat"};
        QTest::newRow("gift: short answer with weights")
            << Format::Gift << QByteArray("Ko? {=%100%niko =%50%nijedan}\n")
            << QStringList{"1: pitanje 1: kratak odgovor" + only};
        QTest::newRow("gift: description")
            << Format::Gift << QByteArray("Samo tekst bez odgovora\n")
            << QStringList{"1: pitanje 1: opis; tekst bez odgovora u { } nije pitanje"};
        QTest::newRow("gift: no right answer")
            << Format::Gift << QByteArray("Q {~a ~b ~c ~d}\n")
            << QStringList{"1: pitanje 1: nema tacnog odgovora; on se oznacava sa ="};
        QTest::newRow("gift: two right answers")
            << Format::Gift << QByteArray("Q {=a =b ~c ~d}\n")
            << QStringList{"1: pitanje 1: visestruki izbor sa 2 tacna odgovora; pitanje u skupu "
                           "ima jedan tacan odgovor"};
        QTest::newRow("gift: five answers")
            << Format::Gift << QByteArray("Q {=a ~b ~c ~d ~e}\n")
            << QStringList{"1: pitanje 1: visestruki izbor sa 5 odgovora; pitanje u skupu ima "
                           "tacno cetiri odgovora, od A do D"};
        QTest::newRow("gift: empty answer") << Format::Gift << QByteArray("Q {\n=a\n~\n~c\n~d\n}\n")
                                            << QStringList{"3: pitanje 1: odgovor 2 je prazan"};
        QTest::newRow("gift: no question text") << Format::Gift << QByteArray("::t:: ") + mc
                                                << QStringList{"1: pitanje 1: nema teksta pitanja"};
        QTest::newRow("gift: title not closed")
            << Format::Gift << QByteArray("::t Q ") + mc
            << QStringList{"1: pitanje 1: naslov nije zatvoren sa ::"};
        QTest::newRow("gift: brace not closed")
            << Format::Gift << QByteArray("Q\n{=a ~b\n~c ~d\n\nQ2 ") + mc
            << QStringList{"2: pitanje 1: zagrada { iz reda 2 nije zatvorena"};
        QTest::newRow("gift: no blank line between questions")
            << Format::Gift << QByteArray("Q1 {=a ~b ~c ~d}\nQ2 {=a ~b ~c ~d}\n")
            << QStringList{"2: pitanje 1: ovde pocinje drugo pitanje; izmedju pitanja treba da "
                           "bude prazan red"};
        QTest::newRow("gift: brace inside")
            << Format::Gift << QByteArray("Q {=a ~{b} ~c ~d}\n")
            << QStringList{"1: pitanje 1: { unutar odgovora; sam znak se pise kao \\{"};
        QTest::newRow("gift: answers without = or ~")
            << Format::Gift << QByteArray("Q {\n  a =b ~c ~d ~e}\n")
            << QStringList{"2: pitanje 1: svaki odgovor pocinje sa = (tacan) ili ~ (netacan)"};
        QTest::newRow("gift: [html] read as text, feedback reported")
            << Format::Gift
            << QByteArray("[html]<b>Q</b><img src=\"@@PLUGINFILE@@/a.png\"> {=a#da ~b ~c "
                          "~d ####opsti}\n")
            << QStringList{"1: upozorenje: pitanje 1, tekst pitanja: slika (<img>) je izostavljena",
                           "1: upozorenje: pitanje 1, odgovor A: povratna informacija (#...) je "
                           "izostavljena",
                           "1: upozorenje: pitanje 1: opsti komentar (####...) je izostavljen"};
        // Other kinds as the platform exports them, a general feedback (####) last.
        QTest::newRow("gift: the platform's essay")
            << Format::Gift
            << QByteArray("// question: 405  name: E\n::E::[html]Napisi pricu o zabi.{####Sa "
                          "pocetkom i krajem.}\n")
            << QStringList{"2: pitanje 1: esej" + only};
        QTest::newRow("gift: the platform's matching")
            << Format::Gift
            << QByteArray("::M::[html]Razvrstaj.{\n\t=zaba -> vodozemac\n\t= -> insekt\n"
                          "\t####Opsti komentar.\n}\n")
            << QStringList{"1: pitanje 1: uparivanje" + only};
        QTest::newRow("gift: the platform's ordering")
            << Format::Gift
            << QByteArray("::O::[html]Poredjaj reci.{>2 ALL HORIZONTAL "
                          "RELATIVE_ALL_PREVIOUS_AND_NEXT SHOW none\nModular\nObject\n}\n")
            << QStringList{"1: pitanje 1: redjanje" + only};
        QTest::newRow("gift: the platform's choice, general feedback dropped")
            << Format::Gift
            << QByteArray("::P::[html]Q{\n\t~[plain]a\n\t=[plain]b\n\t~[plain]c\n\t~[plain]"
                          "d\n\t####Opsti komentar.\n}\n")
            << QStringList{"1: upozorenje: pitanje 1: opsti komentar (####...) je izostavljen",
                           "1: upozorenje: pitanje 1: naslov \"P\" se ne cuva; pitanja se "
                           "numerisu redom"};

        const QByteArray header = "number,question,a,b,c,d,correct\n";
        QTest::newRow("csv: no header")
            << Format::Csv << QByteArray("1,Q,a,b,c,d,A\n")
            << QStringList{"1: prvi red mora biti zaglavlje number,question,a,b,c,d,correct"};
        QTest::newRow("csv: semicolons")
            << Format::Csv << QByteArray("Number;Question;A;B;C;D;Correct\n1;Q;a;b;c;d;A\n")
            << QStringList{"1: prvi red mora biti zaglavlje number,question,a,b,c,d,correct; u "
                           "ovoj datoteci polja razdvaja tacka-zarez, a treba zarez"};
        QTest::newRow("csv: empty file") << Format::Csv << QByteArray()
                                         << QStringList{"1: nema reda zaglavlja number,question,"
                                                        "a,b,c,d,correct"};
        QTest::newRow("csv: fields missing")
            << Format::Csv << header + "1,Q,a,b,c,A\n"
            << QStringList{"2: pitanje 1: red ima 6 polja, a treba 7, kao zaglavlje"};
        QTest::newRow("csv: correct not a letter")
            << Format::Csv << header + "1,Q,a,b,c,d,2\n"
            << QStringList{"2: pitanje 1: correct mora biti A, B, C ili D, a ne \"2\""};
        QTest::newRow("csv: quote inside a field")
            << Format::Csv << header + "1,Q \"x\",a,b,c,d,A\n"
            << QStringList{"2: navodnik u polju koje nije pod navodnicima; polje treba staviti "
                           "pod navodnike, a navodnik udvostruciti"};
        QTest::newRow("csv: text after the closing quote")
            << Format::Csv << header + "1,\"Q\" x,a,b,c,d,A\n"
            << QStringList{"2: tekst posle zavrsnog navodnika polja; polje pod navodnicima se "
                           "zavrsava navodnikom"};
        QTest::newRow("csv: quote not closed")
            << Format::Csv << header + "1,Q,a,b,c,d,A\n2,\"Q2,a,b,c,d,A\n3,Q3,a,b,c,d,A\n"
            << QStringList{"3: polje pod navodnicima iz reda 3 nije zatvoreno",
                           "3: pitanje 2: red ima 2 polja, a treba 7, kao zaglavlje"};
        QTest::newRow("csv: a line break in a quoted field")
            << Format::Csv << header + "1,\"Q\r\nmore\",a,b,c,d,A\r\n"
            << QStringList{"2: pitanje 1, tekst pitanja: znak U+000D ne moze da se prikaze (u "
                           "ovom tekstu ima 2 takva znaka); --replace umesto takvog znaka upisuje "
                           "'?'"};
        QTest::newRow("csv: empty question, empty answer, other number")
            << Format::Csv << header + "1, ,a,b,c,d,A\n7,Q,a,,c,d,B\n"
            << QStringList{"2: pitanje 1: pitanje je prazno",
                           "3: upozorenje: pitanje 2, odgovor B: prazan",
                           "3: upozorenje: pitanje 2: broj \"7\" se ne cuva; pitanja se numerisu "
                           "redom"};

        // Moodle XML: hostile files are refused before anything in them is expanded or
        // fetched; a DOCTYPE bomb that ever got expanded would never finish here.
        const QByteArray doctype =
            "deklaracija tipa dokumenta (<!DOCTYPE ...>) se odbija: Moodle XML je nema, a njeni "
            "entiteti se nikada ne razvijaju niti preuzimaju";
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
            << QStringList{"3: XML nije ispravno oblikovan (kolona 28): entitet \"nbsp\" nije "
                           "deklarisan"};
        QTest::newRow("moodle: not well-formed")
            << Format::Moodle << QByteArray("<quiz>\n  <question type=\"essay\">\n  </quiz>\n")
            << QStringList{"3: XML nije ispravno oblikovan (kolona 9): pocetna i zavrsna oznaka "
                           "se ne slazu"};
        QTest::newRow("moodle: not closed")
            << Format::Moodle
            << QByteArray("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<quiz>\n<question>\n")
            << QStringList{"4: XML nije ispravno oblikovan (kolona 0): dokument se zavrsava pre "
                           "vremena"};
        QTest::newRow("moodle: carriage returns alone")
            << Format::Moodle << QByteArray("<quiz>\r\r<question type=\"essay\">\r</quiz>\n")
            << QStringList{"1: XML nije ispravno oblikovan (kolona 39): pocetna i zavrsna oznaka "
                           "se ne slazu"};
        // The parser's English is never shown: what it names is said in Serbian, or only
        // where the fault is.
        QTest::newRow("moodle: content after the quiz")
            << Format::Moodle << QByteArray("<quiz></quiz><quiz/>\n")
            << QStringList{"1: XML nije ispravno oblikovan (kolona 20): visak sadrzaja posle "
                           "kraja dokumenta"};
        QTest::newRow("moodle: an attribute twice")
            << Format::Moodle << QByteArray("<quiz>\n<question type=\"a\" type=\"b\"/></quiz>\n")
            << QStringList{"2: XML nije ispravno oblikovan (kolona 29): atribut \"type\" je "
                           "naveden dva puta"};
        QTest::newRow("moodle: a fault without words of its own")
            << Format::Moodle << QByteArray("<quiz>&#1;</quiz>\n")
            << QStringList{"1: XML nije ispravno oblikovan (kolona 10)"};
        QTest::newRow("moodle: another root")
            << Format::Moodle
            << QByteArray("<?xml version=\"1.0\"?>\n<html><body>Q?</body></html>\n")
            << QStringList{"2: koreni element je <html>; datoteka Moodle XML sadrzi <quiz>"};
        QTest::newRow("moodle: empty file")
            << Format::Moodle << QByteArray(" \n")
            << QStringList{"0: nema elementa <quiz>: izvor je prazan"};
        QTest::newRow("moodle: not UTF-8")
            << Format::Moodle
            << "<?xml version=\"1.0\" encoding=\"windows-1250\"?>\n<quiz>\n"
               "<question type=\"multichoice\">\n<questiontext><text>\x8ata?</text>"
               "</questiontext>\n" +
                   mcTail + "<answer><text>d</text></answer>\n</question>\n</quiz>\n"
            << QStringList{"4: nije ispravan UTF-8",
                           "4: pitanje 1, tekst pitanja: znak \"\ufffd\" (U+FFFD) ne postoji u "
                           "Windows-1250; --replace umesto takvog znaka upisuje '?'"};
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
            << QStringList{"7: upozorenje: pitanje 1, odgovor D: slika (<img>) je izostavljena",
                           "7: pitanje 1, odgovor D: prazan",
                           "14: pitanje 2: odgovor 4: fraction \"nula\" nije broj"};

        // What every format shares: fitting the texts into the set.
        const QString long81 = QString(81, QLatin1Char('x'));
        QTest::newRow("too long")
            << Format::Csv << header + "1,Q," + long81.toUtf8() + ",b,c,d,A\n"
            << QStringList{"2: pitanje 1, odgovor A: ima 81 znak, a u polje staje najvise 80; "
                           "--cut zadrzava prvih 80"};
        QTest::newRow("not in the code page")
            << Format::Aiken
            << QByteArray("Q \xd0\x96\xd0\xb0?\nA. a \xf0\x9f\x98\x80\nB. b\nC. c\nD. d\n"
                          "ANSWER: A\n")
            << QStringList{
                   "1: pitanje 1, tekst pitanja: znak \"\u0416\" (U+0416) ne postoji u "
                   "Windows-1250 (u ovom tekstu ima 2 takva znaka); --replace umesto takvog "
                   "znaka upisuje '?'",
                   "2: pitanje 1, odgovor A: znak \"\U0001F600\" (U+1F600) ne postoji u "
                   "Windows-1250; --replace umesto takvog znaka upisuje '?'"};
        QTest::newRow("not UTF-8")
            << Format::Aiken << QByteArray("Q?\nA. \xe8\nB. b\nC. c\nD. d\nANSWER: A\n")
            << QStringList{"2: nije ispravan UTF-8",
                           "2: pitanje 1, odgovor A: znak \"\ufffd\" (U+FFFD) ne postoji u "
                           "Windows-1250; --replace umesto takvog znaka upisuje '?'"};
        QTest::newRow("no questions") << Format::Gift << QByteArray("// samo komentar\n\n")
                                      << QStringList{"0: nije nadjeno nijedno pitanje"};
        QByteArray many;
        for (int n = 1; n <= 23; ++n)
            many +=
                "::" + QByteArray::number(n) + ":: Q" + QByteArray::number(n) + " " + mc + "\n\n";
        QTest::newRow("more than 21 questions")
            << Format::Gift << many
            << QStringList{"43: pitanje 22: skup prima najvise 21 pitanje, a ovaj izvor ih ima "
                           "23; --first 21 zadrzava prvih 21"};
    }
    void faults() {
        QFETCH(Format, format);
        QFETCH(QByteArray, source);
        QFETCH(QStringList, notes);
        const dyr::Imported imported = dyr::importSet(format, source, {});
        QCOMPARE(shown(imported.notes), notes);
        const bool errors = std::any_of(notes.begin(), notes.end(), [](const QString& n) {
            return !n.contains(QLatin1String(": upozorenje: "));
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
        QVERIFY(r.err.endsWith(QStringLiteral("dyr: datoteka \"") + set +
                               QStringLiteral("\" nije zapisana\n")));
        QCOMPARE(readAll(set), QByteArray("old"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 2);
    }

    // A mixed bank from the platform: each question of another kind is named by its
    // line and kind, the ones that fit come in, and what their HTML loses is warned of.
    void moodleMixedBank() {
        const dyr::Reading reading = dyr::readMoodle(readAll(sample("mixed-moodle.xml")));
        QStringList others;
        for (const dyr::Other& o : reading.others)
            others << QStringLiteral("%1: pitanje %2: %3; %4")
                          .arg(o.line)
                          .arg(o.index)
                          .arg(o.kind, o.why);
        const QString only = "skup sadrzi samo pitanja sa visestrukim izborom i cetiri "
                             "odgovora, od kojih je jedan tacan";
        QCOMPARE(
            others,
            (QStringList{
                "21: pitanje 2: tacno/netacno; " + only, "27: pitanje 3: kratak odgovor; " + only,
                "32: pitanje 4: uparivanje; " + only, "37: pitanje 5: brojcani odgovor; " + only,
                "42: pitanje 6: esej; " + only, "46: pitanje 7: opis; " + only,
                "50: pitanje 8: ugradjeni odgovori (cloze); " + only,
                "54: pitanje 9: prevlacenje u tekst; " + only,
                "59: pitanje 10: visestruki izbor sa vise tacnih odgovora; pitanje u skupu "
                "ima jedan tacan odgovor",
                "68: pitanje 11: visestruki izbor sa delimicnim bodovima; jedan odgovor nosi "
                "33.3333% bodova; pitanje u skupu ima jedan tacan odgovor, a ostali ne nose "
                "bodove",
                "77: pitanje 12: visestruki izbor sa 3 odgovora; pitanje u skupu ima tacno "
                "cetiri odgovora, od A do D",
                "84: pitanje 13: visestruki izbor sa 2 tacna odgovora; pitanje u skupu ima "
                "jedan tacan odgovor",
                "92: pitanje 14: izbor reci koje nedostaju; " + only,
                "109: pitanje 16: redjanje; " + only,
                "113: pitanje 17: racunski visestruki izbor; " + only,
                "117: pitanje 18: vrsta \"wiris\"; " + only}));
        QCOMPARE(reading.starts.size(), 19);
        QCOMPARE(reading.starts.first(), 8);
        QCOMPARE(shown(reading.notes),
                 (QStringList{
                     "5: upozorenje: kategorija \"$course$/top/Mesano\" je zanemarena; skup "
                     "nema kategorije",
                     "11: upozorenje: pitanje 1, tekst pitanja: slika (<img>) je izostavljena",
                     "13: upozorenje: pitanje 1, tekst pitanja: ugradjena datoteka (<file>) je "
                     "izostavljena",
                     "18: upozorenje: pitanje 1, odgovor C: veza ka datoteci na platformi "
                     "(@@PLUGINFILE@@) je izostavljena, njen tekst je zadrzan",
                     "19: upozorenje: pitanje 1, odgovor D: tabela je procitana kao obican tekst",
                     "99: upozorenje: pitanje 15, tekst pitanja: oznake Markdown-a (isticanje, "
                     "kod, veze, naslovi, spiskovi) su uklonjene, tekst je zadrzan",
                     "102: upozorenje: pitanje 15: povratna informacija i nagovestaji su "
                     "izostavljeni"}));
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
                              "15 (line 99, B): Sta znaci moderator? | Gost | Cuvar reda | "
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
            << QStringList{"3: upozorenje: pitanje 1, tekst pitanja: slika (<img>) je "
                           "izostavljena",
                           "3: upozorenje: pitanje 1, tekst pitanja: veza ka datoteci na "
                           "platformi (@@PLUGINFILE@@) je izostavljena, njen tekst je zadrzan",
                           "3: upozorenje: pitanje 1, tekst pitanja: tabela je procitana kao "
                           "obican tekst"};
        QTest::newRow("plain text") << "plain_text"
                                    << "  <b>a</b>   &amp;\u00a0b \n      c\n"
                                    << "<b>a</b>   "
                                       "&amp;\u00a0b c"
                                    << QStringList();
        const QString md = QStringLiteral("markdown");
        const QStringList marks{"3: upozorenje: pitanje 1, tekst pitanja: oznake Markdown-a "
                                "(isticanje, kod, veze, naslovi, spiskovi) su uklonjene, tekst "
                                "je zadrzan"};
        QTest::newRow("markdown: emphasis")
            << md << "**podebljano** i *kurziv*, __jako__ i _malo_ ***oba***\n  c"
            << "podebljano i kurziv, jako i malo oba c" << marks;
        QTest::newRow("markdown: what stays itself")
            << md << "2 * 3 = 6, snake_case_ime, a*b, \\*zvezda\\*, 5 < 6 & 7, **"
            << "2 * 3 = 6, snake_case_ime, a*b, *zvezda*, 5 < 6 & 7, **" << QStringList();
        QTest::newRow("markdown: blocks")
            << md << "# Naslov #\n> citat\n- prvi\n* drugi\n1. broj\n\n---\nPodnaslov\n===\nkraj"
            << "Naslov citat prvi drugi 1. broj Podnaslov kraj" << marks;
        QTest::newRow("markdown: code, links, a picture")
            << md
            << "`a*b*c` [veza](http://x.rs) ![slika](@@PLUGINFILE@@/a.png) <https://forum.rs> "
               "[fajl](@@PLUGINFILE@@/b.pdf)"
            << "a*b*c veza https://forum.rs fajl"
            << QStringList{"3: upozorenje: pitanje 1, tekst pitanja: veza ka datoteci na "
                           "platformi (@@PLUGINFILE@@) je izostavljena, njen tekst je zadrzan",
                           marks.first(),
                           "3: upozorenje: pitanje 1, tekst pitanja: slika (![...](...)) je "
                           "izostavljena"};
        QTest::newRow("markdown: HTML inside") << md << "<b>jako</b> &amp; `<i> & &amp;`"
                                               << "jako & <i> & &amp;" << marks;
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

    // A multiple-choice question as the platform exports it in GIFT and in Moodle XML
    // is named alike by both readers: one answer to choose or several, and what each
    // answer is worth.
    void choiceKinds_data() {
        QTest::addColumn<bool>("single");
        QTest::addColumn<QList<int>>("percents");
        QTest::addColumn<QString>("kind"); // empty: a set holds it
        QTest::newRow("one right") << true << QList<int>{0, 100, 0, 0} << "";
        QTest::newRow("penalties") << true << QList<int>{-25, 100, -25, 0} << "";
        QTest::newRow("several right") << false << QList<int>{50, 50, -100, -100}
                                       << "visestruki izbor sa vise tacnih odgovora";
        QTest::newRow("several allowed, one right")
            << false << QList<int>{100, 0, 0, 0} << "visestruki izbor sa vise tacnih odgovora";
        QTest::newRow("partial credit")
            << true << QList<int>{100, 50, 0, 0} << "visestruki izbor sa delimicnim bodovima";
        QTest::newRow("three answers")
            << true << QList<int>{100, 0, 0} << "visestruki izbor sa 3 odgovora";
        QTest::newRow("five answers")
            << true << QList<int>{100, 0, 0, 0, 0} << "visestruki izbor sa 5 odgovora";
        QTest::newRow("two right")
            << true << QList<int>{100, 100, 0, 0} << "visestruki izbor sa 2 tacna odgovora";
    }
    void choiceKinds() {
        QFETCH(bool, single);
        QFETCH(QList<int>, percents);
        QFETCH(QString, kind);
        // The platform's own shapes: GIFT marks a full-credit answer of a single
        // choice with =, a worthless one with ~, any other with ~%N%.
        QByteArray gift = "::Pitanje 01::[plain]Q{\n";
        QByteArray xml = "<quiz>\n<question type=\"multichoice\">\n<questiontext "
                         "format=\"plain_text\"><text>Q</text></questiontext>\n<single>" +
                         QByteArray(single ? "true" : "false") + "</single>\n";
        for (int i = 0; i < percents.size(); ++i) {
            const int p = percents[i];
            const QByteArray text = QByteArray(1, char('a' + i));
            gift += p == 100 && single ? "\t=" + text + "\n"
                    : p == 0           ? "\t~" + text + "\n"
                                       : "\t~%" + QByteArray::number(p) + "%" + text + "\n";
            xml += "<answer fraction=\"" + QByteArray::number(p) + "\"><text>" + text +
                   "</text></answer>\n";
        }
        gift += "}\n";
        xml += "</question>\n</quiz>\n";
        for (const dyr::Reading& r : {dyr::readGift(gift), dyr::readMoodle(xml)}) {
            QVERIFY2(std::none_of(r.notes.begin(), r.notes.end(),
                                  [](const dyr::Note& n) { return !n.warning; }),
                     qPrintable(shown(r.notes).join('\n')));
            if (kind.isEmpty()) {
                QCOMPARE(r.others.size(), 0);
                QCOMPARE(r.questions.size(), 1);
                QCOMPARE(r.questions[0].correct, percents.indexOf(100));
            } else {
                QCOMPARE(r.others.size(), 1);
                QCOMPARE(r.others[0].kind, kind);
            }
        }
    }

    // A GIFT text in each format, as the quiz will show it, and what is lost; an
    // answer without a marker of its own is in its question's format.
    void giftTexts_data() {
        QTest::addColumn<QByteArray>("question");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("answer");
        QTest::addColumn<QStringList>("warnings");
        QTest::newRow("a line break, as the platform exports it")
            << QByteArray("::T05::[plain]Prvi red\\ndrugi red?") << "Prvi red drugi red?"
            << "a" << QStringList();
        QTest::newRow("line breaks and indentation, no marker")
            << QByteArray("Prvi red\\n   drugi\\n\\n  red \\n") << "Prvi red drugi red"
            << "a" << QStringList();
        QTest::newRow("a line break in HTML")
            << QByteArray("[html]<p>Prvi</p>\\n<p>drugi &amp; red</p>") << "Prvi drugi & red"
            << "a" << QStringList();
        QTest::newRow("markdown, the answers too")
            << QByteArray("[markdown]**podebljano** i \\*zvezda\\*\\n- spisak")
            << "podebljano i *zvezda* spisak"
            << "a"
            << QStringList{"2: upozorenje: pitanje 1, tekst pitanja: oznake Markdown-a "
                           "(isticanje, kod, veze, naslovi, spiskovi) su uklonjene, tekst je "
                           "zadrzan"};
        QTest::newRow("no-break space kept") << QByteArray("[plain]\u00a0a\\nb") << "\u00a0a b"
                                             << "a" << QStringList();
    }
    void giftTexts() {
        QFETCH(QByteArray, question);
        QFETCH(QString, shown);
        QFETCH(QString, answer);
        QFETCH(QStringList, warnings);
        const QByteArray source = "// x\n" + question + "{\n\t=a\n\t~b\n\t~c\n\t~d\n}\n";
        const dyr::Reading reading = dyr::readGift(source);
        QCOMPARE(::shown(reading.notes), warnings);
        QCOMPARE(reading.questions.size(), 1);
        QCOMPARE(reading.questions[0].texts[0], shown);
        QCOMPARE(reading.questions[0].texts[1], answer);
        QCOMPARE(::shown(dyr::readGift(crlf(source)).notes), warnings);
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
                 (QStringList{"2: pitanje 1, tekst pitanja: znak \"\U0001F600\" (U+1F600) ne "
                              "postoji u Windows-1250 (u ovom tekstu ima 80 takvih znakova); "
                              "--replace umesto takvog znaka upisuje '?'",
                              "2: pitanje 1, odgovor A: ima 85 znakova, a u polje staje najvise "
                              "80; --cut zadrzava prvih 80"}));
        // What would allow each: the option dyr names, the question the editor asks.
        QCOMPARE(r.notes[0].remedy, dyr::Remedy::Replace);
        QCOMPARE(r.notes[1].remedy, dyr::Remedy::Cut);

        r = dyr::importSet(Format::Csv, source, {0, true, true});
        QCOMPARE(shown(r.notes),
                 (QStringList{"2: upozorenje: pitanje 1, tekst pitanja: znak \"\U0001F600\" "
                              "(U+1F600) ne postoji u Windows-1250 (u ovom tekstu ima 80 takvih "
                              "znakova); umesto toga upisan je '?'",
                              "2: upozorenje: pitanje 1, odgovor A: skracen na 80 od svojih 85 "
                              "znakova"}));
        QVERIFY(r.ok());
        QCOMPARE(r.records[0].Question.text(), QString(80, QLatin1Char('?')));
        QCOMPARE(r.records[0].Answers[0].text(), QString(80, QLatin1Char('y')));
        QCOMPARE(r.records[0].Answers[1].text(), rt::fixedAssign(QStringLiteral("\u0161"), 80));

        // Cut first: a character past the cut is gone with the cut, not replaced.
        const QByteArray tail = "Q?\nA. " + QByteArray(80, 'a') +
                                "\xd0\x96\nB. b\nC. c\nD. d\n"
                                "ANSWER: A\n";
        r = dyr::importSet(Format::Aiken, tail, {0, true, false});
        QCOMPARE(shown(r.notes), (QStringList{"2: upozorenje: pitanje 1, odgovor A: skracen na "
                                              "80 od svojih 81 znaka"}));

        // Through the command: warnings, and the set written.
        QTemporaryDir dir;
        const QString set = dir.filePath(QStringLiteral("set.dyr"));
        const Result run =
            runTool({QStringLiteral("import"), QStringLiteral("--cut"), QStringLiteral("csv"),
                     QStringLiteral("--replace"), QStringLiteral("-"), set},
                    source);
        QCOMPARE(run.status, 0);
        QVERIFY(run.err.startsWith(QStringLiteral("standardni ulaz:2: upozorenje: pitanje 1, tekst "
                                                  "pitanja: ")));
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
                 QStringList{"148: upozorenje: pitanja od 22 do 25 su izostavljena (--first 21)"});
        QCOMPARE(r.questions, 21);
        QCOMPARE(r.records.size(), 21);
        QCOMPARE(r.records[20].Question.text().trimmed(), QStringLiteral("Q21?"));

        r = dyr::importSet(Format::Aiken, source, {3, false, false});
        QCOMPARE(r.questions, 3);
        QCOMPARE(r.records[3], numberOnly(4));
        r = dyr::importSet(Format::Aiken, source.left(source.indexOf("Q23")), {21, false, false});
        QCOMPARE(shown(r.notes),
                 QStringList{"148: upozorenje: pitanje 22 je izostavljeno (--first 21)"});
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
                              QStringLiteral(":148: pitanje 22: skup prima najvise 21 pitanje, "
                                             "a ovaj izvor ih ima 25; --first 21 zadrzava prvih "
                                             "21\n") +
                              src +
                              QStringLiteral(":162: pitanje 24: visestruki izbor sa 3 odgovora; "
                                             "pitanje u skupu ima tacno cetiri odgovora, od A do "
                                             "D\n") +
                              QStringLiteral("dyr: datoteka \"") + set +
                              QStringLiteral("\" nije zapisana\n"));
        QVERIFY(!QFileInfo::exists(set));
        // The count is the error --first allows; the faulty question 24 none allows.
        r = dyr::importSet(Format::Aiken, source, {});
        QCOMPARE(r.found, 25);
        QCOMPARE(r.notes.size(), 2);
        QCOMPARE(r.notes[0].remedy, dyr::Remedy::First);
        QCOMPARE(r.notes[1].remedy, dyr::Remedy::None);
        run = runTool({QStringLiteral("import"), QStringLiteral("--first=21"),
                       QStringLiteral("aiken"), src, set});
        QCOMPARE(run.status, 0);
        QCOMPARE(run.err, src + QStringLiteral(":148: upozorenje: pitanja od 22 do 25 su "
                                               "izostavljena (--first 21)\n"));
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
        QTest::addColumn<QString>("summary");     // what the command says it did
        QTest::newRow("gift: mixed bank")
            << Format::Gift << readAll(sample(QStringLiteral("mixed-gift.txt")))
            << QStringList{"15: tacno/netacno",
                           "17: tacno/netacno",
                           "20: kratak odgovor",
                           "23: uparivanje",
                           "30: rec koja nedostaje",
                           "33: brojcani odgovor",
                           "35: brojcani odgovor",
                           "38: esej",
                           "41: opis",
                           "44: visestruki izbor sa vise tacnih odgovora",
                           "52: visestruki izbor sa 2 tacna odgovora",
                           "55: visestruki izbor sa 3 odgovora"}
            << QStringList{"\u0160ta", "Ko", "\u0160ta"}
            << "preuzeta 3 pitanja, preskoceno 12, upisan 21 zapis";
        QTest::newRow("aiken: mixed bank")
            << Format::Aiken << readAll(sample(QStringLiteral("mixed-aiken.txt")))
            << QStringList{"8: visestruki izbor sa 2 odgovora",
                           "20: visestruki izbor sa 3 odgovora",
                           "26: visestruki izbor sa 5 odgovora"}
            << QStringList{"\u0160ta", "Ko", "\u0160ta"}
            << "preuzeta 3 pitanja, preskocena 3, upisan 21 zapis";
        QTest::newRow("moodle: mixed bank")
            << Format::Moodle << readAll(sample(QStringLiteral("mixed-moodle.xml")))
            << QStringList{"21: tacno/netacno",
                           "27: kratak odgovor",
                           "32: uparivanje",
                           "37: brojcani odgovor",
                           "42: esej",
                           "46: opis",
                           "50: ugradjeni odgovori (cloze)",
                           "54: prevlacenje u tekst",
                           "59: visestruki izbor sa vise tacnih odgovora",
                           "68: visestruki izbor sa delimicnim bodovima",
                           "77: visestruki izbor sa 3 odgovora",
                           "84: visestruki izbor sa 2 tacna odgovora",
                           "92: izbor reci koje nedostaju",
                           "109: redjanje",
                           "113: racunski visestruki izbor",
                           "117: vrsta \"wiris\""}
            << QStringList{"Koji", "Sta", "Forum"}
            << "preuzeta 3 pitanja, preskoceno 16, upisan 21 zapis";
        QTest::newRow("gift: nothing fits")
            << Format::Gift << QByteArray("Q {T}\n\nQ2 {}\n")
            << QStringList{"1: tacno/netacno", "3: esej"} << QStringList() << QString();
    }
    void skipOthers() {
        QFETCH(Format, format);
        QFETCH(QByteArray, source);
        QFETCH(QStringList, skipped);
        QFETCH(QStringList, taken);
        QFETCH(QString, summary);
        const QRegularExpression kind(QStringLiteral("^pitanje \\d+ \\((.+)\\): "));

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
            QVERIFY2(errors[i].startsWith(line + QStringLiteral(": pitanje ")) &&
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
                                  QStringLiteral(": preskoceno: pitanje ")),
                 qPrintable(run.err));
        if (taken.isEmpty()) {
            QCOMPARE(run.status, 1);
            QVERIFY(
                run.err.startsWith(src + QStringLiteral(": nijedno pitanje ne odgovara skupu")));
            QVERIFY(!QFileInfo::exists(set));
        } else {
            QCOMPARE(run.status, 0);
            QCOMPARE(run.out, set + QStringLiteral(": ") + summary + QLatin1Char('\n'));
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
            "87: pitanje 44: skup prima najvise 21 pitanje, a ovaj izvor ih ima 24 koja odgovaraju "
            "skupu; --first 21 zadrzava prvih 21")));
        options.first = 21;
        r = dyr::importSet(Format::Gift, source, options);
        QVERIFY2(r.ok(), qPrintable(shown(r.notes).join('\n')));
        QCOMPARE(r.questions, 21);
        QCOMPARE(r.skipped, 22); // the true/false and the essays after the questions taken
        QCOMPARE(r.records[20].Question.text().trimmed(), QStringLiteral("Q21"));
        QCOMPARE(
            shown(r.notes).last(),
            QStringLiteral("87: upozorenje: pitanja od 44 do 48 su izostavljena (--first 21)"));
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
            << QStringList{"2: zapis 2: tacan odgovor ima vrednost 8224; izvoze se samo "
                           "vrednosti 0 do 3 (A do D)",
                           "3: zapis 3: tacan odgovor ima vrednost -1; izvoze se samo vrednosti 0 "
                           "do 3 (A do D)"};
        set = base;
        set[1] = numberOnly(2);
        set[6] = filled(7, QString(), abcd, 0);
        set[7].Answers[0] = QStringLiteral("x");
        set[20] = filled(21, QString(), {}, 0); // stored empty in the editor: spaces
        QTest::newRow("records without a question")
            << Format::Gift << set
            << QStringList{"2: upozorenje: zapis 2 nema pitanje i ne izvozi se; pri uvozu se "
                           "pitanja posle njega pomeraju napred",
                           "3: upozorenje: zapis 3: njegov broj se ne cuva; uvoz mu daje broj 2",
                           "7: upozorenje: zapis 7 nema pitanje i ne izvozi se; njegovi odgovori "
                           "se izostavljaju; uvoz ga vraca samo sa brojem",
                           "8: upozorenje: zapis 8 nema pitanje i ne izvozi se; njegovi odgovori "
                           "se izostavljaju; uvoz ga vraca samo sa brojem",
                           "21: upozorenje: zapis 21 nema pitanje i ne izvozi se; uvoz ga vraca "
                           "samo sa brojem"};
        // A question the quiz window shows as nothing: after a NUL, or white space alone.
        set = base;
        set[0].Question = QString(QChar(0xA0));
        set[1].Question.setRaw(QString(QChar(0)) + QStringLiteral("skriveno").leftJustified(79));
        QTest::newRow("questions that show nothing")
            << Format::Csv << set
            << QStringList{"1: upozorenje: zapis 1 nema pitanje i ne izvozi se; njegovi odgovori "
                           "se izostavljaju; pri uvozu se pitanja posle njega pomeraju napred",
                           "2: upozorenje: zapis 2 nema pitanje i ne izvozi se; njegovi odgovori "
                           "se izostavljaju; pri uvozu se pitanja posle njega pomeraju napred",
                           "3: upozorenje: zapis 3: njegov broj se ne cuva; uvoz mu daje broj 1"};
        set = base;
        set[0].Number = QStringLiteral("07");
        set[1].Answers[3].setRaw(QStringLiteral("d"));
        set[2].Question.setRaw(QStringLiteral("Q\tx"));
        QTest::newRow("number, NUL fill, tab")
            << Format::Csv << set
            << QStringList{"1: upozorenje: zapis 1: njegov broj se ne cuva; uvoz mu daje broj 1",
                           "2: upozorenje: zapis 2, odgovor D: dopunjen NUL bajtovima, a uvoz "
                           "dopunjuje razmacima",
                           "3: zapis 3, tekst pitanja: znak U+0009 u koloni 2 ne moze da se "
                           "izveze"};
        set = base;
        set[0].Answers[1] = QString();
        set[1].Question = QStringLiteral("B) nije pitanje");
        set[2].Answers[0] = QStringLiteral(" a");
        QTest::newRow("aiken: empty, choice-like, leading space")
            << Format::Aiken << set
            << QStringList{
                   "1: zapis 1, odgovor B: prazan, a Aiken ne poznaje prazan tekst",
                   "2: zapis 2, tekst pitanja: Aiken bi ga procitao kao ponudjeni odgovor ili "
                   "red ANSWER:",
                   "3: zapis 3, odgovor A: pocinje razmakom, a Aiken ga izostavlja"};
        set = base;
        set[0].Answers[1] = QStringLiteral("a -> b");
        set[1].Answers[2] = QStringLiteral("%50% b");
        set[2].Question = QStringLiteral("[Markdown] x");
        set[2].Answers[3].setRaw(QString(80, QChar(0)));
        QTest::newRow("gift: matching, percentage, marker, never filled")
            << Format::Gift << set
            << QStringList{
                   "1: zapis 1, odgovor B: sadrzi ->, sto GIFT cita kao par za uparivanje",
                   "2: zapis 2, odgovor C: pocinje sa %, sto GIFT cita kao procenat",
                   "3: upozorenje: zapis 3, odgovor D: dopunjen NUL bajtovima, a uvoz "
                   "dopunjuje razmacima",
                   "3: zapis 3, tekst pitanja: pocinje sa [markdown], sto GIFT cita kao format "
                   "teksta",
                   "3: zapis 3, odgovor D: prazan, a GIFT ne poznaje prazan tekst"};
        set = base;
        set[0].Answers[1] = QString();
        set[2].Answers[0] = QStringLiteral(" <a>");
        QTest::newRow("moodle: empty, leading space")
            << Format::Moodle << set
            << QStringList{"1: zapis 1, odgovor B: prazan, a Moodle XML ne poznaje prazan tekst",
                           "3: zapis 3, odgovor A: pocinje razmakom, a Moodle XML ga izostavlja"};
        QTest::newRow("nothing to export") << Format::Aiken << firstQuestions(base, 0)
                                           << QStringList{"0: nijedan zapis nema pitanje"};
        set = trickySet();
        set << filled(22, QStringLiteral("Q"), abcd, 0) << numberOnly(23);
        QTest::newRow("past record 21")
            << Format::Csv << set
            << QStringList{"22: upozorenje: zapis 22: pitanje 22 ne staje u skup od 21 pitanja; "
                           "za uvoz je potrebna opcija --first",
                           "23: upozorenje: zapis 23 nema pitanje i ne izvozi se"};
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

    // A text with a character XML escapes is written in CDATA, as the platform writes
    // it: its parser drops a piece of spaces between two entities ("a" & "b" escaped
    // came in as "a"&"b"). Each text comes back from the reader as it was.
    void moodleWriterTexts_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("written"); // what stands between <text> and </text>
        QTest::newRow("quotes, ampersand, brackets")
            << "Da li je \"a\" & \"b\" manje od <c>?"
            << "<![CDATA[Da li je \"a\" & \"b\" manje od <c>?]]>";
        QTest::newRow("a space between two quotes") << "\" \""
                                                    << "<![CDATA[\" \"]]>";
        QTest::newRow("ampersands apart") << "a & & b"
                                          << "<![CDATA[a & & b]]>";
        QTest::newRow("greater than alone") << "5 > 3"
                                            << "<![CDATA[5 > 3]]>";
        QTest::newRow("the end of a CDATA section") << "x ]]> y"
                                                    << "<![CDATA[x ]]]]><![CDATA[> y]]>";
        QTest::newRow("plain") << "Sta je forum? (1/2) 'x'"
                               << "Sta je forum? (1/2) 'x'";
    }
    void moodleWriterTexts() {
        QFETCH(QString, text);
        QFETCH(QString, written);
        dyr::PlainQuestion q;
        q.line = 1;
        q.texts = {text, text, "B", "C", "D"};
        const dyr::Writing w = dyr::writeMoodle({q});
        QCOMPARE(shown(w.notes), QStringList());
        const QString xml = QString::fromUtf8(w.text);
        QCOMPARE(xml.count(QStringLiteral("<text>") + written + QStringLiteral("</text>")), 2);
        const dyr::Reading reading = dyr::readMoodle(w.text);
        QCOMPARE(shown(reading.notes), QStringList());
        QCOMPARE(reading.questions.size(), 1);
        QCOMPARE(reading.questions[0].texts[0], text);
        QCOMPARE(reading.questions[0].texts[1], text);
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
                                               "    <name>\n      <text>Pitanje 07</text>")));
        QVERIFY(text.contains(QStringLiteral("<text><![CDATA[a < b & \"c\"]]></text>")));
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
                 (QStringList{"7: zapis 7, odgovor A: zavrsava se razmakom, a Moodle XML ga "
                              "izostavlja",
                              "7: zapis 7, odgovor B: znak U+FFFE ne moze da stoji u XML-u"}));
    }

    void commandErrors_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("err");
        const QString usage = QStringLiteral("upotreba: dyr dump DATOTEKA");
        QTest::newRow("import, too few") << QStringList{"import", "csv", "x.csv"} << 2 << usage;
        QTest::newRow("export, too many")
            << QStringList{"export", "csv", "a", "b", "c"} << 2 << usage;
        QTest::newRow("unknown option") << QStringList{"import", "--fast", "csv", "a", "b"} << 2
                                        << "dyr: nepoznata opcija --fast\n" + usage;
        QTest::newRow("export takes no options") << QStringList{"export", "--cut", "csv", "a"} << 2
                                                 << "dyr: nepoznata opcija --cut\n" + usage;
        QTest::newRow("unknown format")
            << QStringList{"import", "qti", "a", "b"} << 2
            << "dyr: nepoznat format \"qti\"; formati su aiken, gift, csv i moodle\n";
        QTest::newRow("--first 0") << QStringList{"import", "--first", "0", "csv", "a", "b"} << 2
                                   << "dyr: --first prima broj od 1 do 21\n";
        QTest::newRow("--first 22") << QStringList{"import", "--first=22", "csv", "a", "b"} << 2
                                    << "dyr: --first prima broj od 1 do 21\n";
        QTest::newRow("--first without a number")
            << QStringList{"import", "csv", "a", "b", "--first"} << 2
            << "dyr: --first prima broj od 1 do 21\n";
        QTest::newRow("missing source")
            << QStringList{"import", "csv", "/nonexistent/a.csv", "b"} << 2
            << QStringLiteral("dyr: datoteka \"%1\" ne postoji\n")
                   .arg(QDir::toNativeSeparators("/nonexistent/a.csv"));
        QTest::newRow("set to standard output")
            << QStringList{"import", "csv", "a.csv", "-"} << 2
            << "dyr: skup se upisuje u datoteku, a ne na standardni izlaz\n";
        QTest::newRow("missing set") << QStringList{"export", "gift", "/nonexistent/a.dyr"} << 2
                                     << QStringLiteral("dyr: datoteka \"%1\" ne postoji\n")
                                            .arg(QDir::toNativeSeparators("/nonexistent/a.dyr"));
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
        QCOMPARE(dyr::check(readAll(set)).filter(QStringLiteral("zapis 4,")).size(), 5);

        r = runTool({QStringLiteral("import"), QStringLiteral("aiken"), QStringLiteral("-"),
                     dir.filePath(QStringLiteral("no/set.dyr"))},
                    source);
        QCOMPARE(r.status, 2);
        QVERIFY2(r.err.startsWith(QStringLiteral("dyr: datoteka \"%1\" nije snimljena: folder ")
                                      .arg(QDir::toNativeSeparators(
                                          dir.filePath(QStringLiteral("no/set.dyr"))))),
                 qPrintable(r.err));
    }

    // The table of odd sets through the quiz's rules, and through what dyr makes of
    // them: the page's questions in the quiz's order, and the warnings of dyr export
    // html and dyr check, said alike. The quiz window (tst_form3) and the page in
    // Chromium (tst_web.py) play the same table.
    void oddSets_data() {
        QTest::addColumn<testsupport::OddSet>("set");
        for (const testsupport::OddSet& set : testsupport::oddSets())
            QTest::newRow(qPrintable(set.name)) << set;
    }
    void oddSets() {
        QFETCH(testsupport::OddSet, set);
        const quiz::Played played = quiz::play(set.records, set.answers);
        QCOMPARE(played.refusal, set.refused);
        QCOMPARE(played.numbers, set.numbers);
        QCOMPARE(played.verdicts, set.verdicts);
        if (set.refused.isEmpty())
            QCOMPARE(QStringList(
                         {played.score.rightLine, played.score.wrongLine, played.score.listLine}),
                     set.score);
        static const char* kinds[] = {"NoNumber",  "NumberAbove",   "FifthBelow",
                                      "EndsEarly", "NoRightAnswer", "Missing"};
        QStringList oddities;
        QStringList notes;
        const QList<quiz::Asked> asked = quiz::questions(set.records);
        for (const quiz::Asked& q : asked) {
            for (const quiz::Oddity oddity : q.oddities) {
                oddities << QStringLiteral("%1 %2").arg(q.place).arg(
                    QLatin1String(kinds[static_cast<int>(oddity)]));
                notes << dyr::oddityNote(q, oddity);
            }
        }
        QCOMPARE(oddities, set.oddities);

        // The page: the questions asked, each leading to the next, the last to the end.
        // Named as export names it, after the set's file.
        const dyr::Page page = dyr::webPage(set.records, {0, false, QStringLiteral("set")});
        QCOMPARE(page.ok(), set.refused.isEmpty());
        QCOMPARE(page.questions, set.numbers.size());
        static const QRegularExpression question(
            QStringLiteral("<div data-next=\"([^\"]*)\"[^>]*><p class=\"n\">([^<]*)</p>"));
        QStringList shownNumbers;
        QStringList nexts;
        for (const auto& m : question.globalMatch(QString::fromUtf8(page.html))) {
            shownNumbers << m.captured(2);
            nexts << m.captured(1);
        }
        QStringList expectedNumbers;
        QStringList expectedNexts;
        for (qsizetype i = 0; i < set.numbers.size(); ++i) {
            expectedNumbers << QStringLiteral("Pitanje ") + dyr::htmlEscaped(set.numbers[i]);
            expectedNexts << (i + 1 == set.numbers.size() ? QStringLiteral("end")
                                                          : QString::number(i + 1));
        }
        QCOMPARE(shownNumbers, expectedNumbers);
        QCOMPARE(nexts, expectedNexts);

        // dyr export html warns of each oddity, or refuses with the quiz's reason; dyr
        // check says each oddity in the same words.
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("set.dyr"));
        const QString out = dir.filePath(QStringLiteral("kviz.html"));
        writeAll(path, bytesOf(set.records));
        const Result r = runTool({QStringLiteral("export"), QStringLiteral("html"), path, out});
        QCOMPARE(r.status, page.ok() ? 0 : 1);
        QCOMPARE(QFileInfo::exists(out), page.ok());
        if (page.ok())
            QCOMPARE(readAll(out), page.html);
        const QStringList errLines = r.err.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        const QStringList checked = dyr::check(bytesOf(set.records));
        if (!page.ok()) {
            QVERIFY2(errLines.value(0).endsWith(set.refused), qPrintable(r.err));
            QCOMPARE(errLines.size(), 2); // and the page not written
            QVERIFY(checked.contains(dyr::refusalNote(set.refused)));
            return;
        }
        QCOMPARE(errLines.size(), notes.size());
        for (qsizetype i = 0; i < notes.size(); ++i) {
            QVERIFY2(errLines[i].startsWith(path) &&
                         errLines[i].endsWith(QStringLiteral(": ") + notes[i]),
                     qPrintable(errLines[i]));
            QVERIFY2(checked.contains(notes[i]), qPrintable(notes[i]));
        }
    }

    // What dyr export html says of odd records, word for word.
    void webPageWarnings_data() {
        QTest::addColumn<QStringList>("numbers");
        QTest::addColumn<QList<int>>("correct");
        QTest::addColumn<QStringList>("notes");
        const QList<int> right{0, 1, 2, 3, 0};
        QTest::newRow("sound") << QStringList{"1", "2", "3", "4", "5"} << right << QStringList{};
        QTest::newRow("record 2 reads 7, record 3 reads 5")
            << QStringList{"1", "7", "5", "4", "5"} << right
            << QStringList{"2: upozorenje: zapis 2: broj 7 je veci od 5; kviz i stranica posle "
                           "njega idu na zapis 3",
                           "3: upozorenje: zapis 3: broj 5 pre petog zapisa; kviz i stranica se na "
                           "njemu zavrsavaju, a zapise 4 i 5 ne postavljaju"};
        QTest::newRow("no number, no right answer, fifth above 5")
            << QStringList{"1", "x", "", "5", "9"} << QList<int>{0, 4, -1, 1, 8224}
            << QStringList{"2: upozorenje: zapis 2: broj \"x\" nije broj, pa ga kviz i stranica "
                           "broje kao 2",
                           "2: upozorenje: zapis 2: tacan odgovor je 4, a ne 0 do 3 (A do D); u "
                           "kvizu i na stranici nijedan odgovor nije tacan",
                           "3: upozorenje: zapis 3: broj \"\" nije broj, pa ga kviz i stranica "
                           "broje kao 3",
                           "3: upozorenje: zapis 3: tacan odgovor je -1, a ne 0 do 3 (A do D); u "
                           "kvizu i na stranici nijedan odgovor nije tacan",
                           "4: upozorenje: zapis 4: broj 5 pre petog zapisa; kviz i stranica se na "
                           "njemu zavrsavaju, a zapis 5 ne postavljaju"};
        QTest::newRow("fifth below 5")
            << QStringList{"1", "2", "3", "4", "4"} << right
            << QStringList{"5: upozorenje: zapis 5: broj 4 je manji od 5; kviz i stranica se na "
                           "njemu zavrsavaju, jer je peti"};
        QTest::newRow("fifth above 5") << QStringList{"1", "2", "3", "4", "10"} << right
                                       << QStringList{"5: upozorenje: zapis 5: broj 10 je veci od "
                                                      "5; kviz i stranica se na njemu "
                                                      "zavrsavaju, jer je peti"};
        QTest::newRow("a set of four records")
            << QStringList{"1", "2", "3", "4"} << right
            << QStringList{"5: upozorenje: zapis 5: nema ga u skupu, a kviz ga postavlja; kviz i "
                           "stranica ga postavljaju prazno, a tacnim broje odgovor A"};
        QTest::newRow("an empty set") << QStringList{} << right
                                      << QStringList{"0: U datoteci nema pitanja: prvo pitanje "
                                                     "je prazno."};
    }
    void webPageWarnings() {
        QFETCH(QStringList, numbers);
        QFETCH(QList<int>, correct);
        QFETCH(QStringList, notes);
        QList<QuestionRecord> set;
        for (int i = 0; i < numbers.size(); ++i) {
            set << filled(i + 1, QStringLiteral("Pitanje broj %1?").arg(i + 1), kTricky.mid(1, 4),
                          correct.value(i));
            if (numbers[i].isEmpty())
                set[i].Number.setRaw(QString(10, QChar(0)));
            else
                set[i].Number = numbers[i];
        }
        QCOMPARE(shown(dyr::webPage(set).notes), notes);
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
    // be read from the source, and a shipped set's page is at most 64 KB, with a draw
    // of all its questions too; the page dyr writes is the page of these options.
    void webPageIsSelfContained_data() {
        QTest::addColumn<QString>("set");
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<int>("draw");
        QTest::addColumn<bool>("shuffle");
        QTest::addColumn<QString>("name");
        QTest::newRow("varnikol") << "varnikol" << QStringList{} << 0 << false << "set";
        QTest::newRow("tuvek") << "tuvek" << QStringList{} << 0 << false << "set";
        QTest::newRow("varnikol, a draw of all 20, shuffled, titled")
            << "varnikol" << QStringList{"--draw", "20", "--shuffle", "--title", "Kviz <&>"} << 20
            << true << "Kviz <&>";
        QTest::newRow("tuvek, a draw of 5")
            << "tuvek" << QStringList{"--draw=5"} << 5 << false << "set";
    }
    void webPageIsSelfContained() {
        QFETCH(QString, set);
        QFETCH(QStringList, options);
        QFETCH(int, draw);
        QFETCH(bool, shuffle);
        QFETCH(QString, name);
        const QList<QuestionRecord> records = shippedSet(set);
        const dyr::PageOptions pageOptions{draw, shuffle, name};
        const dyr::Page page = dyr::webPage(records, pageOptions);
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
        // What the script reads: how many questions a score counts, the draw, the
        // shuffle, the name (escaped); a draw holds every question that can be drawn.
        QVERIFY(html.contains(QStringLiteral(" data-slots=\"%1\" data-draw=\"%2\" "
                                             "data-shuffle=\"%3\"")
                                  .arg(draw > 0 ? draw : 5)
                                  .arg(draw)
                                  .arg(shuffle ? QStringLiteral("1") : QString())));
        QVERIFY(html.contains(QStringLiteral("data-name=\"%1\"").arg(dyr::htmlEscaped(name))));
        QCOMPARE(html.count(QStringLiteral("<div data-next=")), draw > 0 ? 20 : 5);

        // Another right answer changes nothing in the page but its checks (and the key
        // an attempt is kept under, made from them).
        static const QRegularExpression checks(
            QStringLiteral(" data-(k|id)=\"[0-9a-f]{8}([0-9a-f]{8})?\""));
        for (int c = 0; c < 4; ++c) {
            QList<QuestionRecord> other = records;
            for (auto& r : other)
                r.Correct = static_cast<std::int16_t>(c);
            const QString page2 = QString::fromUtf8(dyr::webPage(other, pageOptions).html);
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
        QCOMPARE(dyr::run(QStringList{QStringLiteral("export"), QStringLiteral("html")} + options +
                              QStringList{path, QStringLiteral("-")},
                          out, err),
                 0);
        out.flush();
        QCOMPARE(bytes, page.html);
        QCOMPARE(errText, QString());
    }

    // What export html makes of its options: a draw too large or not a number, a
    // title left empty, an option of another format.
    void webPageOptions_data() {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("err");
        const QString set = QStringLiteral("SET: ");
        QTest::newRow("a draw of 21 from 20")
            << QStringList{"--draw", "21"} << 1
            << set + "--draw 21: u skupu ima 20 pitanja sa tacnim odgovorom od A do D, pa se "
                     "moze izvuci od 1 do 20\ndyr: datoteka \"OUT\" nije zapisana\n";
        QTest::newRow("a draw of 0")
            << QStringList{"--draw", "0"} << 2 << "dyr: --draw prima broj pitanja, od 1 navise\n";
        QTest::newRow("a draw of nothing")
            << QStringList{"--draw"} << 2 << "dyr: --draw prima broj pitanja, od 1 navise\n";
        QTest::newRow("a draw of x")
            << QStringList{"--draw=x"} << 2 << "dyr: --draw prima broj pitanja, od 1 navise\n";
        QTest::newRow("an empty title")
            << QStringList{"--title", " "} << 2 << "dyr: --title prima naziv kviza\n";
    }
    void webPageOptions() {
        QFETCH(QStringList, options);
        QFETCH(int, status);
        QFETCH(QString, err);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("set.dyr"));
        const QString out = dir.filePath(QStringLiteral("kviz.html"));
        QList<QuestionRecord> records = shippedSet(QStringLiteral("varnikol"));
        writeAll(path, bytesOf(records));
        // The options may stand anywhere among the operands.
        const Result r =
            runTool(QStringList{QStringLiteral("export"), QStringLiteral("html"), path} + options +
                    QStringList{out});
        QCOMPARE(r.status, status);
        QCOMPARE(
            r.err,
            QString(err).replace(QStringLiteral("SET"), path).replace(QStringLiteral("OUT"), out));
        QVERIFY(!QFileInfo::exists(out));
    }

    // The help's example of each format imports as it stands.
    void helpExamples_data() {
        QTest::addColumn<Format>("format");
        QTest::addColumn<QString>("heading");
        QTest::newRow("aiken") << Format::Aiken << "Aiken:";
        QTest::newRow("gift") << Format::Gift << "GIFT, visestruki izbor:";
        QTest::newRow("csv") << Format::Csv << "CSV (RFC 4180)";
        QTest::newRow("moodle") << Format::Moodle << "Moodle XML, izvoz samih platformi";
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

    // A source's format from its file's name, or from its content where the name
    // doesn't tell (the editor's import of a dropped file, or with all files shown).
    void guessFormat_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<int>("format"); // -1: none
        const QByteArray gift = "::1:: Pitanje? {=a ~b ~c ~d}\n";
        const QByteArray aiken = "Pitanje?\nA. a\nB. b\nC. c\nD. d\nANSWER: A\n";
        const QByteArray moodle = "<?xml version=\"1.0\"?>\n<quiz>\n</quiz>\n";
        QTest::newRow(".xml") << "banka.xml" << QByteArray() << int(Format::Moodle);
        QTest::newRow(".XML") << "BANKA.XML" << gift << int(Format::Moodle);
        QTest::newRow(".gift") << "banka.gift" << aiken << int(Format::Gift);
        QTest::newRow(".aiken") << "banka.aiken" << gift << int(Format::Aiken);
        QTest::newRow(".csv") << "tabela.csv" << QByteArray() << int(Format::Csv);
        QTest::newRow("GIFT in .txt") << "banka.txt" << gift << int(Format::Gift);
        QTest::newRow("Aiken in .txt") << "banka.txt" << aiken << int(Format::Aiken);
        QTest::newRow("Aiken with CRLF and spaces")
            << "banka.txt" << QByteArray("P?\r\nA. a\r\n  ANSWER : B\r\n") << int(Format::Aiken);
        QTest::newRow("Moodle XML without its extension")
            << "izvoz" << moodle << int(Format::Moodle);
        QTest::newRow("the sample GIFT")
            << "x.txt" << readAll(sample(QStringLiteral("sample-gift.txt"))) << int(Format::Gift);
        QTest::newRow("the sample Aiken")
            << "x.txt" << readAll(sample(QStringLiteral("sample-aiken.txt"))) << int(Format::Aiken);
        QTest::newRow("plain text") << "beleske.txt" << QByteArray("Samo {beleske}.\n") << -1;
        QTest::newRow("a picture") << "slika.png" << QByteArray("\x89PNG\r\n\x1a\n") << -1;
        QTest::newRow("nothing") << "prazno.txt" << QByteArray() << -1;
    }

    void guessFormat() {
        QFETCH(QString, name);
        QFETCH(QByteArray, content);
        QFETCH(int, format);
        const std::optional<Format> guessed = dyr::guessFormat(name, content);
        QCOMPARE(guessed ? int(*guessed) : -1, format);
    }

    // The test on paper: which records it shows, and what it warns of.
    void testSheet_data() {
        QTest::addColumn<QList<qo::QuestionRecord>>("records");
        QTest::addColumn<int>("questions");
        QTest::addColumn<QList<int>>("correct");
        QTest::addColumn<QStringList>("notes");
        QList<QuestionRecord> set(21);
        for (int n = 1; n <= 21; ++n) {
            set[n - 1].Number = QString::number(n);
            if (n <= 3) {
                set[n - 1].Question = QStringLiteral("Pitanje %1").arg(n);
                set[n - 1].Correct = static_cast<std::int16_t>(n);
                for (int a = 0; a < 4; ++a)
                    set[n - 1].Answers[a] = QStringLiteral("odgovor");
            }
        }
        QTest::newRow("as the editor leaves it")
            << set << 3 << QList<int>{1, 2, 3} << QStringList{};
        QList<QuestionRecord> odd = set;
        odd[1].Question = QStringLiteral("   ");
        odd[2].Correct = 8224;
        odd[9].Question = QStringLiteral("Deseto");
        QTest::newRow("a gap, a right answer outside A to D")
            << odd << 3 << QList<int>{1, -1, 0}
            << QStringList{
                   "2: upozorenje: zapis 2 ima odgovore, a nema pitanje, pa nije na testu",
                   "3: upozorenje: zapis 3: tacan odgovor (8224) nije od A do D, pa ga kljuc "
                   "ne navodi"};
        QTest::newRow("no question") << QList<QuestionRecord>(21) << 0 << QList<int>{}
                                     << QStringList{"0: nijedan zapis nema pitanje, pa nema testa"};
    }

    void testSheet() {
        QFETCH(QList<qo::QuestionRecord>, records);
        QFETCH(int, questions);
        QFETCH(QList<int>, correct);
        QFETCH(QStringList, notes);
        const dyr::Sheet sheet = dyr::testSheet(records, QStringLiteral("set"));
        QCOMPARE(sheet.questions.size(), questions);
        QList<int> marked;
        for (const dyr::PlainQuestion& q : sheet.questions)
            marked << q.correct;
        QCOMPARE(marked, correct);
        QCOMPARE(shown(sheet.notes), notes);
        QCOMPARE(sheet.ok(), questions > 0);
    }
};

QTEST_MAIN(TestFormats)
#include "tst_formats.moc"
