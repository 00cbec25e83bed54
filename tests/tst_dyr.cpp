// The set tool: text form round trips, building from sources, and checks of set files.
#include "apppath.h"
#include "dyr.h"
#include "manpage.h"
#include "questionsetfile.h"
#include "testsupport.h"

#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QTextStream>

#if defined(Q_OS_UNIX)
#include <sys/stat.h>
#endif

using namespace qo;

Q_DECLARE_METATYPE(qo::QuestionRecord)
using testsupport::bytesOf;
using testsupport::readAll;
using testsupport::TempAppFolder;
using testsupport::writeAll;

namespace {

struct Result {
    int status = 0;
    QString out;
    QString err;
};

Result runTool(const QStringList& args) {
    Result r;
    QTextStream out(&r.out);
    QTextStream err(&r.err);
    r.status = dyr::run(args, out, err);
    out.flush();
    err.flush();
    return r;
}

// The text sources of the shipped sets, found from this file's place in the tree.
QString setSource(const QString& name) {
    return QFileInfo(QStringLiteral(__FILE__))
        .dir()
        .filePath(QStringLiteral("../assets/sets/") + name + QStringLiteral(".txt"));
}

// A set as the editor leaves it: numbers 1 to 21 space-padded, a few questions
// typed in, one emptied with Clear, the rest never filled.
QByteArray editorLikeSet(const TempAppFolder& folder) {
    QList<QuestionRecord> table(21);
    for (int p = 0; p < 21; ++p)
        table[p].Number = QString::number(p + 1);
    table[0].Question = QStringLiteral("Sta je netiketa?");
    table[0].Answers[0] = QStringLiteral("Pravila ponasanja");
    table[0].Answers[1] = QStringLiteral("  Dva razmaka ispred i tri iza   ");
    table[0].Answers[2] = QStringLiteral("Kosa crta \\ i navodnici \"");
    table[0].Answers[3] = QString();
    table[0].Correct = 0;
    table[1].Question = QStringLiteral("Sta znaci ");
    table[1].Answers[0] =
        QStringLiteral("\u0161\u0107\u010d\u017e\u0111 \u0160\u0106\u010c\u017d\u0110");
    table[1].Answers[1] = QString(100, QLatin1Char('x'));
    table[1].Answers[2] = QStringLiteral("#ne komentar");
    table[1].Answers[3] = QStringLiteral("question: nije polje");
    table[1].Correct = 3;
    for (int i = 0; i < 4; ++i)
        table[4].Answers[i] = QString();
    table[4].Question = QString();
    table[4].Correct = 2;
    QuestionSetFile file;
    file.OpenSetFile(QStringLiteral("editor.dyr"));
    for (int k = 1; k <= 21; ++k)
        file.WriteQuestion(k, table[k - 1]);
    file.CloseSetFile();
    return readAll(folder.file(QStringLiteral("editor.dyr")));
}

// Dumps a set file with the tool, builds it back and returns the rebuilt bytes.
QByteArray dumpAndBuild(const QString& setPath, const QString& folder) {
    const Result dumped = runTool({QStringLiteral("dump"), setPath});
    if (dumped.status != 0)
        return QByteArray("dump failed: ") + dumped.err.toUtf8();
    const QString text = QDir(folder).filePath(QStringLiteral("dumped.txt"));
    writeAll(text, dumped.out.toUtf8());
    const QString rebuilt = QDir(folder).filePath(QStringLiteral("rebuilt.dyr"));
    const Result built = runTool({QStringLiteral("build"), text, rebuilt});
    if (built.status != 0)
        return QByteArray("build failed: ") + built.err.toUtf8();
    return readAll(rebuilt);
}

QuestionRecord raw(const QString& number, const QString& question, std::int16_t correct,
                   const QStringList& answers) {
    QuestionRecord r;
    r.Number.setRaw(number);
    r.Question.setRaw(question);
    r.Correct = correct;
    for (int i = 0; i < 4; ++i)
        r.Answers[i].setRaw(answers.value(i));
    return r;
}

QString spaces(int n) {
    return QString(n, QLatin1Char(' '));
}
QString nuls(int n) {
    return QString(n, QChar(0));
}

} // namespace

class TestDyr : public QObject {
    Q_OBJECT
private slots:
    void editorSetRoundTripsByteForByte() {
        TempAppFolder folder;
        const QByteArray original = editorLikeSet(folder);
        QCOMPARE(original.size(), 21 * RecordLength);
        QCOMPARE(dumpAndBuild(folder.file(QStringLiteral("editor.dyr")), folder.path()), original);
    }

    void dumpShowsFillsPlainly() {
        TempAppFolder folder;
        editorLikeSet(folder);
        const Result r =
            runTool({QStringLiteral("dump"), folder.file(QStringLiteral("editor.dyr"))});
        QCOMPARE(r.status, 0);
        QVERIFY(r.out.startsWith(QStringLiteral("# editor.dyr: 21 zapis\n\n")));
        QVERIFY(r.out.contains(QStringLiteral("number: 1\nquestion: Sta je netiketa?\n")));
        QVERIFY(r.out.contains(QStringLiteral("b: \\s\\sDva razmaka ispred i tri iza\n")));
        QVERIFY(r.out.contains(QStringLiteral("c: Kosa crta \\\\ i navodnici \"\n")));
        QVERIFY(r.out.contains(QStringLiteral("d:\ncorrect: A\n")));
        // Never-filled texts are left out; a record of nothing but its number is one line.
        QVERIFY(r.out.endsWith(QStringLiteral("\n\nnumber: 20\n\nnumber: 21\n")));
        // Texts stored empty are kept apart from texts never filled.
        QVERIFY(r.out.contains(QStringLiteral(
            "\n\nnumber: 5\nquestion:\na:\nb:\nc:\nd:\ncorrect: C\n\nnumber: 6\n\n")));
    }

    // Any record survives format and parse unchanged, whatever its fields hold.
    // Only export pdf draws pages, and so needs the drawing platform.
    void drawsPages_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<bool>("draws");
        QTest::newRow("export pdf") << QStringList{"export", "pdf", "s.dyr", "t.pdf"} << true;
        QTest::newRow("export html") << QStringList{"export", "html", "s.dyr", "t.html"} << false;
        QTest::newRow("a file named pdf")
            << QStringList{"export", "gift", "pdf", "pitanja.txt"} << false;
        QTest::newRow("build") << QStringList{"build", "pdf", "s.dyr"} << false;
    }

    void drawsPages() {
        QFETCH(QStringList, args);
        QFETCH(bool, draws);
        QCOMPARE(dyr::drawsPages(args), draws);
    }

    void anyRecordRoundTrips_data() {
        QTest::addColumn<QuestionRecord>("record");
        const QStringList none;
        QTest::newRow("all NUL") << QuestionRecord();
        QTest::newRow("NUL number, Correct 2") << raw(nuls(10), nuls(80), 2, none);
        QTest::newRow("text then NUL fill")
            << raw(QStringLiteral("7") + nuls(9), QStringLiteral("abc") + nuls(77), 1, none);
        QTest::newRow("text, NUL, then space fill")
            << raw(QStringLiteral("7") + QChar(0) + spaces(8),
                   QStringLiteral("abc") + QChar(0) + spaces(76), 1, none);
        QTest::newRow("spaces before a NUL fill")
            << raw(spaces(10), QStringLiteral("abc") + spaces(10) + nuls(67), 0, none);
        QTest::newRow("single NUL at the end")
            << raw(QStringLiteral("123456789") + QChar(0), spaces(79) + QChar(0), 0, none);
        QTest::newRow("NULs inside") << raw(QStringLiteral("1") + spaces(9),
                                            QStringLiteral("a") + QChar(0) + QStringLiteral("b") +
                                                QChar(0) + QStringLiteral("c") + spaces(75),
                                            3, none);
        QTest::newRow("full width")
            << raw(QStringLiteral("0123456789"), QString(80, QLatin1Char('q')), 0,
                   {QString(80, QLatin1Char('\\'))});
        QTest::newRow("control and undefined bytes")
            << raw(QStringLiteral("\t") + spaces(9),
                   QStringLiteral("a\x07z\u0081\u00a0\u00ad\u0098") + spaces(73), 0,
                   {QStringLiteral("\r\n") + spaces(78)});
        QTest::newRow("code page letters")
            << raw(spaces(10), QStringLiteral("\u0160\u0111\u20ac\u201e\u02d9") + spaces(75), 0,
                   {QStringLiteral(" # x: y") + spaces(73)});
        QTest::newRow("Correct -1") << raw(spaces(10), nuls(80), -1, none);
        QTest::newRow("Correct 4, with texts")
            << raw(QStringLiteral("4") + spaces(9), spaces(80), 4, {spaces(80)});
        QTest::newRow("record of spaces")
            << raw(spaces(10), spaces(80), 8224, {spaces(80), spaces(80), spaces(80), spaces(80)});
        QTest::newRow("Correct at the 16-bit ends") << raw(spaces(10), nuls(80), -32768, none);
    }
    void anyRecordRoundTrips() {
        QFETCH(QuestionRecord, record);
        QuestionRecord second = QuestionRecord::fromBytes(record.toBytes());
        second.Number.setRaw(QStringLiteral("2") + spaces(9));
        const QString text = dyr::format({record, second});
        const dyr::Parsed parsed = dyr::parse(text.toUtf8());
        if (record.Correct < 0 || record.Correct > 3)
            QVERIFY(text.contains(QStringLiteral("correct: #%1\n").arg(record.Correct)));
        QVERIFY2(parsed.errors.isEmpty(), qPrintable(parsed.errors.value(0).message));
        QCOMPARE(parsed.records.size(), 2);
        QCOMPARE(parsed.records[0].toBytes(), record.toBytes());
        QCOMPARE(parsed.records[1].toBytes(), second.toBytes());
    }

    // How a written value becomes a field.
    void values_data() {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("question");
        QTest::newRow("padded with spaces")
            << "question: Zdravo" << QStringLiteral("Zdravo") + spaces(74);
        QTest::newRow("spaces around ignored")
            << "question:   Zdravo  \t " << QStringLiteral("Zdravo") + spaces(74);
        QTest::newRow("empty value is all spaces") << "question:" << spaces(80);
        QTest::newRow("leading space escaped")
            << "question: \\s\\sa" << QStringLiteral("  a") + spaces(77);
        QTest::newRow("ends in NUL: NUL fill")
            << "question: ab\\0" << QStringLiteral("ab") + nuls(78);
        QTest::newRow("just a NUL") << "question: \\0" << nuls(80);
        QTest::newRow("hex byte") << "question: \\x8A\\x9a"
                                  << QStringLiteral("\u0160\u0161") + spaces(78);
        QTest::newRow("backslash") << "question: a\\\\b" << QStringLiteral("a\\b") + spaces(77);
        QTest::newRow("code page letter")
            << "question: \u010Dasa" << QStringLiteral("\u010Dasa") + spaces(76);
        QTest::newRow("Windows line end") << "question: x\r" << QStringLiteral("x") + spaces(79);
        QTest::newRow("field left out") << "" << nuls(80);
    }
    void values() {
        QFETCH(QString, line);
        QFETCH(QString, question);
        const dyr::Parsed parsed = dyr::parse(
            (QStringLiteral("number: 1\n") + line + QStringLiteral("\ncorrect: c\n")).toUtf8());
        QVERIFY2(parsed.errors.isEmpty(), qPrintable(parsed.errors.value(0).message));
        QCOMPARE(parsed.records.size(), 1);
        QCOMPARE(parsed.records[0].Question.text(), question);
        QCOMPARE(parsed.records[0].Number.text(), QStringLiteral("1") + spaces(9));
        QCOMPARE(parsed.records[0].Correct, std::int16_t(2));
    }

    // A faulty source: every fault named with its line, and nothing written.
    void faultySources_data() {
        QTest::addColumn<QByteArray>("source");
        QTest::addColumn<QStringList>("errors");
        const QByteArray head = "# set\nnumber: 1\n";
        const QByteArray tail = "correct: A\n";
        QTest::newRow("over-long question")
            << head + "question: " + QByteArray(81, 'x') + "\n" + tail
            << QStringList{"3: polje question prima najvise 80 znakova; ova vrednost ima 81 znak"};
        QTest::newRow("over-long number")
            << QByteArray("number: 12345678901\n")
            << QStringList{"1: polje number prima najvise 10 znakova; ova vrednost ima 11 znakova"};
        QTest::newRow("Correct 4") << head + "a: x\ncorrect: 4\n"
                                   << QStringList{"4: correct mora biti A, B, C ili D, a ne \"4\""};
        QTest::newRow("Correct empty")
            << head + "correct:\n"
            << QStringList{"3: correct mora biti A, B, C ili D, a ne \"\""};
        const QString raw =
            "3: correct %1: vrednost iz zapisa pise se kao # i ceo broj od -32768 do 32767";
        QTest::newRow("raw Correct not a number") << head + "correct: #B\n"
                                                  << QStringList{raw.arg("#B")};
        QTest::newRow("raw Correct past 16 bits") << head + "correct: #32768\n"
                                                  << QStringList{raw.arg("#32768")};
        QTest::newRow("raw Correct with a plus") << head + "correct: #+1\n"
                                                 << QStringList{raw.arg("#+1")};
        QTest::newRow("raw Correct with a space") << head + "correct: # 1\n"
                                                  << QStringList{raw.arg("# 1")};
        QTest::newRow("not in the code page")
            << head + "b: \xd0\xb6\n" + tail
            << QStringList{"3: znak \"\u0436\" (U+0436) ne postoji u Windows-1250"};
        QTest::newRow("outside the basic plane")
            << head + "b: \xf0\x9f\x98\x80\n" + tail
            << QStringList{"3: znak \"\U0001F600\" (U+1F600) ne postoji u Windows-1250"};
        QTest::newRow("tab") << head + "c: a\tb\n" + tail
                             << QStringList{
                                    "3: znak U+0009 ne moze da se prikaze; pise se kao \\x09"};
        QTest::newRow("bad escape")
            << head + "d: \\q\n" + tail
            << QStringList{"3: nepoznata izlazna sekvenca \\q; postoje \\\\, \\s, \\0 i \\xHH"};
        QTest::newRow("short hex")
            << head + "d: \\x4\n" + tail
            << QStringList{"3: posle \\x idu dve heksadecimalne cifre, kao u \\x09"};
        QTest::newRow("lone backslash")
            << head + "d: a\\\n" + tail
            << QStringList{"3: usamljena \\ na kraju; obrnuta kosa crta se pise kao \\\\"};
        QTest::newRow("not UTF-8") << head +
                                          "a: \xe8"
                                          "a\n" +
                                          tail
                                   << QStringList{"3: nije ispravan UTF-8"};
        QTest::newRow("UTF-8 cut short")
            << head + "a: \xe8\n" + tail << QStringList{"3: nije ispravan UTF-8"};
        QTest::newRow("no colon") << head + "question Sta je?\n" + tail
                                  << QStringList{"3: ocekivan je red \"polje: vrednost\", kao "
                                                 "\"question: ...\""};
        QTest::newRow("unknown field")
            << head + "Answer: x\n" + tail
            << QStringList{"3: nepoznato polje \"Answer\"; polja su number, question, a, b, c, d "
                           "i correct"};
        QTest::newRow("before the first number")
            << QByteArray("question: x\n") + head + tail
            << QStringList{"1: \"question:\" pre prvog reda \"number:\"; svaki zapis pocinje "
                           "svojim brojem"};
        QTest::newRow("field twice")
            << head + "a: x\nA: y\n" + tail
            << QStringList{"4: drugi red \"a:\" u zapisu 1 (koji pocinje u redu 2)"};
        QTest::newRow("no correct")
            << QByteArray("number: 1\nnumber: 2\nquestion: x\n")
            << QStringList{"2: zapis 2 ima pitanje ili odgovore, ali nema red \"correct:\""};
        QTest::newRow("several faults, in line order")
            << head + "correct: E\nquestion: " + QByteArray(90, 'y') + "\nnumber: 2\nx: 1\n"
            << QStringList{"3: correct mora biti A, B, C ili D, a ne \"E\"",
                           "4: polje question prima najvise 80 znakova; ova vrednost ima 90 "
                           "znakova",
                           "6: nepoznato polje \"x\"; polja su number, question, a, b, c, d i "
                           "correct"};
    }
    void faultySources() {
        QFETCH(QByteArray, source);
        QFETCH(QStringList, errors);
        QStringList got;
        for (const dyr::SourceError& e : dyr::parse(source).errors)
            got << QString::number(e.line) + QStringLiteral(": ") + e.message;
        QCOMPARE(got, errors);

        // The tool names the source and line, writes nothing and leaves an old set alone.
        QTemporaryDir dir;
        const QString text = dir.filePath(QStringLiteral("set.txt"));
        const QString target = dir.filePath(QStringLiteral("set.dyr"));
        writeAll(text, source);
        writeAll(target, QByteArray("old"));
        const Result r = runTool({QStringLiteral("build"), text, target});
        QCOMPARE(r.status, 1);
        QVERIFY(r.err.startsWith(text + QLatin1Char(':') + errors.first() + QLatin1Char('\n')));
        QVERIFY(r.err.endsWith(QStringLiteral("dyr: datoteka \"") + target +
                               QStringLiteral("\" nije zapisana\n")));
        QCOMPARE(readAll(target), QByteArray("old"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 2);
    }

    // dump and then build give back any file of whole records byte for byte, and check
    // still reports a Correct outside 0 to 3 in the rebuilt set.
    void randomFilesRoundTrip() {
        QRandomGenerator random(20240612);
        // Bytes drawn mostly from the ones the text form treats specially.
        const QByteArray tricky(" \0\\\t\r\n#:\x81\x8a\xa0\xad\xff", 14);
        int outOfRange = 0;
        for (int file = 0; file < 100; ++file) {
            QByteArray bytes(random.bounded(0, 4) * RecordLength, '\0');
            for (char& b : bytes)
                b = random.bounded(3) == 0 ? char(random.bounded(256))
                                           : tricky.at(random.bounded(tricky.size()));
            const QList<QuestionRecord> records = [&] {
                QList<QuestionRecord> rs;
                for (qsizetype at = 0; at < bytes.size(); at += RecordLength)
                    rs << QuestionRecord::fromBytes(bytes.mid(at, RecordLength));
                return rs;
            }();
            const dyr::Parsed parsed = dyr::parse(dyr::format(records).toUtf8());
            QVERIFY2(parsed.errors.isEmpty(), qPrintable(parsed.errors.value(0).message));
            QCOMPARE(testsupport::bytesOf(parsed.records), bytes);
            for (const QuestionRecord& r : records)
                outOfRange += r.Correct < 0 || r.Correct > 3;
        }
        QVERIFY(outOfRange > 60);

        // The same through the commands, on a record of spaces and one the editor kept -1 in.
        TempAppFolder folder;
        QuestionRecord kept;
        kept.Number = QStringLiteral("2");
        kept.Question = QStringLiteral("Pitanje");
        kept.Correct = -1;
        const QByteArray set = QByteArray(RecordLength, ' ') + kept.toBytes();
        const QString path = folder.file(QStringLiteral("raw.dyr"));
        writeAll(path, set);
        QCOMPARE(dumpAndBuild(path, folder.path()), set);
        const QString rebuilt = folder.file(QStringLiteral("rebuilt.dyr"));
        const QStringList problems = dyr::check(readAll(rebuilt));
        // A first record of spaces holds no question: the quiz asks nothing of this set.
        QVERIFY(problems.contains(QStringLiteral("zapis 1, tacan odgovor: 8224, a treba 0 do 3")));
        QVERIFY(problems.contains(QStringLiteral("zapis 2, tacan odgovor: -1, a treba 0 do 3")));
        QCOMPARE(runTool({QStringLiteral("check"), rebuilt}).status, 1);
    }

    void buildReplacesTheWholeFile() {
        TempAppFolder folder;
        const QString target = folder.file(QStringLiteral("set.dyr"));
        writeAll(target, QByteArray(30 * RecordLength, 'z'));
        const QString text = folder.file(QStringLiteral("set.txt"));
        writeAll(text, "number: 1\nquestion: x\ncorrect: B\n\nnumber: 2\n");
        const Result r = runTool({QStringLiteral("build"), text, target});
        QCOMPARE(r.status, 0);
        QCOMPARE(r.out, target + QStringLiteral(": upisana 2 zapisa\n"));
        const QByteArray bytes = readAll(target);
        QCOMPARE(bytes.size(), 2 * RecordLength);
        QCOMPARE(bytes.left(11), QByteArray("1         x"));
        QCOMPARE(bytes.mid(90, 2), QByteArray("\x01\x00", 2));
        QCOMPARE(bytes.mid(RecordLength, 10), QByteArray("2         "));
        QCOMPARE(bytes.mid(RecordLength + 10), QByteArray(RecordLength - 10, '\0'));
        // The program folder the tool borrowed is given back, and no set stays open.
        QCOMPARE(rt::AppPath(), folder.path());
        QVERIFY(!QuestionSetFile::isOpen());
        QCOMPARE(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden).size(), 2);
    }

    // A build writes through a link into its target, keeps the target's mode and
    // clears away what a killed build left beside it under the save's own names, and
    // nothing else, whatever its name.
    void buildKeepsLinksAndModeAndClearsLeftovers() {
#if defined(Q_OS_UNIX)
        TempAppFolder folder;
        const QString target = folder.file(QStringLiteral("pravi.dyr"));
        writeAll(target, QByteArray(3 * RecordLength, 'z'));
        const auto mode = QFile::ReadOwner | QFile::WriteOwner;
        QFile::setPermissions(target, mode);
        const QString link = folder.file(QStringLiteral("veza.dyr"));
        QVERIFY(QFile::link(QStringLiteral("pravi.dyr"), link));
        const QStringList leftovers = {QStringLiteral(".pravi.dyr.qo-save"),
                                       QStringLiteral(".pravi.dyr.qo-lock")};
        const QStringList kept = {
            QStringLiteral("pravi.dyr.bak"), QStringLiteral(".pravi.dyr.4242-0.new"),
            QStringLiteral("pravi.dyr.KzQwPx"), QStringLiteral(".veza.dyr.qo-save")};
        for (const QString& name : leftovers + kept)
            writeAll(folder.file(name), "x");
        const QString text = folder.file(QStringLiteral("set.txt"));
        writeAll(text, "number: 1\n");

        const Result r = runTool({QStringLiteral("build"), text, link});
        QCOMPARE(r.status, 0);
        QVERIFY(QFileInfo(link).isSymLink());
        QCOMPARE(readAll(target).size(), RecordLength);
        QCOMPARE(QFile::permissions(target) & ~QFile::Permissions(0x0F00), mode);
        QStringList expected =
            kept + QStringList{QStringLiteral("pravi.dyr"), QStringLiteral("set.txt"),
                               QStringLiteral("veza.dyr")};
        expected.sort();
        QCOMPARE(testsupport::entries(folder.path()), expected);
#else
        QSKIP("symbolic links and modes are a Unix matter: a link made here is a shortcut file");
#endif
    }

    void shippedSets_data() {
        QTest::addColumn<QString>("name");
        QTest::newRow("varnikol") << QStringLiteral("varnikol");
        QTest::newRow("tuvek") << QStringLiteral("tuvek");
    }
    void shippedSets() {
        QFETCH(QString, name);
        QTemporaryDir dir;
        const QString set = dir.filePath(name + QStringLiteral(".dyr"));
        const Result built = runTool({QStringLiteral("build"), setSource(name), set});
        QVERIFY2(built.status == 0, qPrintable(built.err));

        const Result checked = runTool({QStringLiteral("check"), set});
        QCOMPARE(checked.out, set + QStringLiteral(": skup je ispravan, 21 zapis\n"));
        QCOMPARE(checked.status, 0);
        QCOMPARE(dumpAndBuild(set, dir.path()), readAll(set));

        // Twenty real questions in plain Serbian Latin, the right answer in every
        // position, and record 21 carrying nothing but its number.
        const QByteArray bytes = readAll(set);
        QSet<int> positions;
        for (int n = 1; n <= 20; ++n) {
            const QuestionRecord r = QuestionRecord::fromBytes(bytes.mid((n - 1) * RecordLength));
            QCOMPARE(r.Number.text().trimmed(), QString::number(n));
            const QString texts[] = {r.Question, r.Answers[0], r.Answers[1], r.Answers[2],
                                     r.Answers[3]};
            for (const QString& t : texts) {
                QVERIFY2(!t.trimmed().isEmpty(), qPrintable(QStringLiteral("record %1").arg(n)));
                for (const QChar c : t)
                    QVERIFY2(c.unicode() >= 0x20 && c.unicode() < 0x7F, qPrintable(t));
            }
            positions.insert(r.Correct);
        }
        QCOMPARE(positions, (QSet<int>{0, 1, 2, 3}));
        const QuestionRecord last = QuestionRecord::fromBytes(bytes.mid(20 * RecordLength));
        QCOMPARE(last.Number.text(), QStringLiteral("21") + spaces(8));
        QCOMPARE(last.Question.text(), nuls(80));
    }

    void checkFindsProblems_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QStringList>("problems");
        QList<QuestionRecord> records;
        for (int n = 1; n <= 21; ++n) {
            QuestionRecord r;
            r.Number = QString::number(n);
            if (n <= 20) {
                r.Question = QStringLiteral("Pitanje %1").arg(n);
                for (int i = 0; i < 4; ++i)
                    r.Answers[i] = QStringLiteral("Odgovor %1").arg(i);
                r.Correct = static_cast<std::int16_t>(n % 4);
            }
            records << r;
        }
        const QByteArray sound = bytesOf(records);
        QTest::newRow("sound") << sound << QStringList();
        QTest::newRow("truncated")
            << sound.left(sound.size() - 100)
            << QStringList{"datoteka: 8552 bajtova nije ceo broj zapisa od 412 bajta (20 "
                           "celih zapisa i jos 312 bajtova)"};
        QTest::newRow("cut inside the quiz")
            << sound.left(3 * RecordLength + 5)
            << QStringList{"datoteka: 1241 bajtova nije ceo broj zapisa od 412 bajta (3 celih "
                           "zapisa i jos 5 bajtova)",
                           "zapis 4: nema ga u skupu, a kviz ga postavlja; kviz i stranica ga "
                           "postavljaju prazno, a tacnim broje odgovor A",
                           "zapis 5: nema ga u skupu, a kviz ga postavlja; kviz i stranica ga "
                           "postavljaju prazno, a tacnim broje odgovor A"};
        QTest::newRow("empty file")
            << QByteArray()
            << QStringList{"zapis 1: kviz i dyr export html odbijaju skup: \"U datoteci nema "
                           "pitanja: prvo pitanje je prazno.\""};
        auto r = records;
        r[1].Correct = 4;
        r[9].Correct = -1;
        QTest::newRow("Correct 4 and -1")
            << bytesOf(r)
            << QStringList{"zapis 2: tacan odgovor je 4, a ne 0 do 3 (A do D); u kvizu i na "
                           "stranici nijedan odgovor nije tacan",
                           "zapis 10, tacan odgovor: -1, a treba 0 do 3"};
        r = records;
        r[2].Number.setRaw(nuls(10));
        r[6].Number = QStringLiteral("07");
        r[7].Number = QStringLiteral("8.");
        r[8].Number.setRaw(QStringLiteral("9\x07") + spaces(8));
        r[9].Number.setRaw(nuls(10));
        QTest::newRow("wrong numbers")
            << bytesOf(r)
            << QStringList{"zapis 3: broj \"\" nije broj, pa ga kviz i stranica broje kao 3",
                           "zapis 7, broj: glasi \"07\", a treba \"7\"",
                           "zapis 8, broj: glasi \"8.\", a treba \"8\"",
                           "zapis 9, broj: glasi \"9\\x07\", a treba \"9\"",
                           "zapis 10, broj: nikad upisan (NUL bajtovi), a treba \"10\""};
        r = records;
        r[3].Answers[2].setRaw(QStringLiteral("Odgo\x07vor") + spaces(72));
        r[11].Question.setRaw(QStringLiteral("abc") + nuls(77));
        QTest::newRow("unprintable")
            << bytesOf(r)
            << QStringList{"zapis 4, odgovor C: znak \\x07 u koloni 5 se ne moze prikazati",
                           "zapis 12, pitanje: znak \\0 u koloni 4 se ne moze prikazati"};
        r = records;
        r[1].Question = QString();
        r[0].Answers[3].setRaw(nuls(80));
        r[7].Answers[1].setRaw(nuls(80));
        r[8].Question.setRaw(nuls(80));
        QTest::newRow("texts missing")
            << bytesOf(r)
            << QStringList{"zapis 1, odgovor D: nikad popunjeno (NUL bajtovi), a kviz postavlja "
                           "ovaj zapis",
                           "zapis 2, pitanje: prazno, a kviz postavlja ovaj zapis",
                           "zapis 8, odgovor B: nikad popunjeno (NUL bajtovi), iako zapis ima "
                           "druge tekstove",
                           "zapis 9, pitanje: nikad popunjeno (NUL bajtovi), iako zapis ima druge "
                           "tekstove"};
        // What the quiz does with a record is said only of the records it asks.
        r = records;
        r[1].Number = QStringLiteral("7");
        r[3].Number = QStringLiteral("5");
        r[4].Correct = 4;
        QTest::newRow("a 7 and an early end")
            << bytesOf(r)
            << QStringList{"zapis 2: broj 7 je veci od 5; kviz i stranica posle njega idu na "
                           "zapis 3",
                           "zapis 4: broj 5 pre petog zapisa; kviz i stranica se na njemu "
                           "zavrsavaju, a zapis 5 ne postavljaju",
                           "zapis 5, tacan odgovor: 4, a treba 0 do 3"};
        r = records;
        r[0].Question = QString();
        r[1].Correct = 4;
        QTest::newRow("no first question")
            << bytesOf(r)
            << QStringList{"zapis 1: kviz i dyr export html odbijaju skup: \"U datoteci nema "
                           "pitanja: prvo pitanje je prazno.\"",
                           "zapis 2, tacan odgovor: 4, a treba 0 do 3"};
    }
    void checkFindsProblems() {
        QFETCH(QByteArray, content);
        QFETCH(QStringList, problems);
        QCOMPARE(dyr::check(content), problems);

        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("set.dyr"));
        writeAll(path, content);
        const Result r = runTool({QStringLiteral("check"), path});
        QCOMPARE(r.status, problems.isEmpty() ? 0 : 1);
        if (!problems.isEmpty())
            QCOMPARE(r.out, path + QStringLiteral(": ") +
                                problems.join(QLatin1Char('\n') + path + QStringLiteral(": ")) +
                                QLatin1Char('\n'));
    }

    void usageAndFileErrors_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("err");
        const QString usage =
            "upotreba: dyr dump DATOTEKA\n"
            "          dyr build TEKST DATOTEKA\n"
            "          dyr check DATOTEKA\n"
            "          dyr import [--first N] [--cut] [--replace] "
            "[--skip-others] FORMAT IZVOR SKUP\n"
            "          dyr export FORMAT SKUP [IZLAZ]\n"
            "          dyr export html [--draw N] [--shuffle] [--title NAZIV] SKUP [IZLAZ]\n"
            "          dyr export pdf [--paper a4|letter] SKUP [IZLAZ]\n"
            "          dyr --help\n"
            "          dyr --version\n";
        QTest::newRow("nothing") << QStringList() << 2 << usage;
        QTest::newRow("unknown command") << QStringList{"show", "x"} << 2 << usage;
        QTest::newRow("check without a file") << QStringList{"check"} << 2 << usage;
        QTest::newRow("build with one file") << QStringList{"build", "x.txt"} << 2 << usage;
        QTest::newRow("missing file") << QStringList{"check", "/nonexistent/x.dyr"} << 2
                                      << QStringLiteral("dyr: datoteka \"%1\" ne postoji\n")
                                             .arg(QDir::toNativeSeparators("/nonexistent/x.dyr"));
        QTest::newRow("missing source")
            << QStringList{"build", "/nonexistent/x.txt", "/nonexistent/x.dyr"} << 2
            << QStringLiteral("dyr: datoteka \"%1\" ne postoji\n")
                   .arg(QDir::toNativeSeparators("/nonexistent/x.txt"));
    }
    void usageAndFileErrors() {
        QFETCH(QStringList, args);
        QFETCH(int, status);
        QFETCH(QString, err);
        const Result r = runTool(args);
        QCOMPARE(r.status, status);
        QVERIFY2(r.err.startsWith(err), qPrintable(r.err));
        QCOMPARE(r.out, QString());
    }

    // A set is read only from a regular file, and nothing is read past a bound, so a
    // device or a pipe in a set's or a source's place is refused at once.
    void oddInputsAreRefused_data() {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("what");
        QTest::addColumn<QString>("why");
        const QString device =
            QStringLiteral("se ne moze otvoriti: to je uredjaj, a ne obicna datoteka");
        const QString fifo =
            QStringLiteral("se ne moze otvoriti: to je imenovana cev (FIFO), a ne obicna datoteka");
        QTest::newRow("dump of the zero device") << "dump"
                                                 << "zero" << device;
        QTest::newRow("check of a FIFO") << "check"
                                         << "fifo" << fifo;
        QTest::newRow("export of the zero device") << "export"
                                                   << "zero" << device;
        QTest::newRow("build from the zero device") << "build"
                                                    << "zero" << device;
        QTest::newRow("build from a 65 MiB file")
            << "build"
            << "large"
            << "je prevelika: ima vise od 64 MiB, a nijedan skup ni izvor pitanja nije tako velik";
        QTest::newRow("import from a FIFO") << "import"
                                            << "fifo" << fifo;
        QTest::newRow("check of a folder")
            << "check"
            << "folder"
            << "se ne moze otvoriti: to je folder, a ne obicna datoteka";
    }
    void oddInputsAreRefused() {
#if !defined(Q_OS_UNIX)
        QSKIP("devices and FIFOs as Unix has them");
#else
        QFETCH(QString, command);
        QFETCH(QString, what);
        QFETCH(QString, why);
        QTemporaryDir dir;
        const QString input = dir.filePath(QStringLiteral("ulaz.dyr"));
        if (what == QStringLiteral("zero"))
            QVERIFY(QFile::link(QStringLiteral("/dev/zero"), input));
        else if (what == QStringLiteral("fifo"))
            QCOMPARE(::mkfifo(QFile::encodeName(input).constData(), 0600), 0);
        else if (what == QStringLiteral("large"))
            QVERIFY(QFile(input).open(QIODevice::WriteOnly) &&
                    QFile::resize(input, 65 * 1024 * 1024));
        else
            QVERIFY(QDir().mkdir(input));
        const QString set = dir.filePath(QStringLiteral("set.dyr"));
        QStringList args{command, input};
        if (command == QStringLiteral("build"))
            args << set;
        else if (command == QStringLiteral("export"))
            args = QStringList{command, QStringLiteral("csv"), input, set};
        else if (command == QStringLiteral("import"))
            args = QStringList{command, QStringLiteral("gift"), input, set};
        const Result r = runTool(args);
        QCOMPARE(r.status, 2);
        QCOMPARE(
            r.err,
            QStringLiteral("dyr: datoteka \"%1\" %2\n").arg(QDir::toNativeSeparators(input), why));
        QVERIFY(!QFileInfo::exists(set));
#endif
    }

    // Standard input has no name: its faults say so.
    void standardInputFaults_data() {
        QTest::addColumn<bool>("given");
        QTest::addColumn<QString>("err");
        QTest::newRow("none") << false << "dyr: standardni ulaz nije dostupan za citanje\n";
        QTest::newRow("more than 64 MiB")
            << true
            << "dyr: na standardnom ulazu ima vise od 64 MiB, a nijedan skup ni izvor pitanja "
               "nije tako velik\n";
    }
    void standardInputFaults() {
        QFETCH(bool, given);
        QFETCH(QString, err);
        QBuffer in;
        in.setData(QByteArray(65 * 1024 * 1024, 'x'));
        if (given)
            QVERIFY(in.open(QIODevice::ReadOnly));
        Result r;
        QTextStream out(&r.out);
        QTextStream errors(&r.err);
        r.status = dyr::run({QStringLiteral("check"), QStringLiteral("-")}, out, errors,
                            given ? &in : nullptr);
        errors.flush();
        QCOMPARE(r.status, 2);
        QCOMPARE(r.err, err);
    }

    void buildIntoAMissingFolderFails() {
        QTemporaryDir dir;
        const QString text = dir.filePath(QStringLiteral("set.txt"));
        writeAll(text, "number: 1\n");
        const QString set = dir.filePath(QStringLiteral("no/set.dyr"));
        const Result r = runTool({QStringLiteral("build"), text, set});
        QCOMPARE(r.status, 2);
        QCOMPARE(r.err,
                 QStringLiteral("dyr: datoteka \"%1\" nije snimljena: folder %2 ne postoji\n")
                     .arg(QDir::toNativeSeparators(set),
                          QDir::toNativeSeparators(dir.filePath(QStringLiteral("no")))));
    }

    void dumpOfACutFileWarns() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("cut.dyr"));
        writeAll(path, QuestionRecord().toBytes() + QByteArray(7, 'x'));
        const Result r = runTool({QStringLiteral("dump"), path});
        QCOMPARE(r.status, 1);
        QCOMPARE(r.out, QStringLiteral("# cut.dyr: 1 zapis\n\nnumber: \\0\n"));
        QCOMPARE(r.err, QStringLiteral("dyr: ") + path +
                            QStringLiteral(": visak od 7 bajtova na kraju nije ceo zapis, pa je "
                                           "izostavljen\n"));
    }

    // The manual page is made from the help: each command of the usage in its synopsis
    // and described, each heading a section, and the text kept from reading as roff.
    void manPageFollowsTheHelp() {
        const QString page =
            dyr::manPage(dyr::helpText(), QStringLiteral("1.0"), QStringLiteral("2026-12-07"));
        const QStringList lines = page.split(QLatin1Char('\n'));
        QString text = page;
        text.remove(QRegularExpression(QStringLiteral("\\\\f[BIR]")));
        text.replace(QLatin1String("\\-"), QLatin1String("-"));
        const QStringList commands = dyr::synopsis();
        QCOMPARE(commands.size(), 9);
        for (const QString& command : commands)
            QVERIFY2(text.count(QLatin1Char('\n') + command + QLatin1Char('\n')) == 2,
                     qPrintable(command));
        for (const char* heading : {"IME", "SINOPSIS", "OPIS", "IZLAZNI STATUS",
                                    "TEKSTUALNI OBLIK (UTF\\-8)", "VIDETI I"})
            QVERIFY2(lines.contains(QStringLiteral(".SH ") + QLatin1String(heading)),
                     qPrintable(heading));
        const QRegularExpression request(
            QStringLiteral("^\\.(\\\\\"|TH|nh|ad|SH|br|TP|PP|RS|RE|nf|fi|BR)( |$)"));
        const QRegularExpression escape(QStringLiteral("\\\\(?![e&\"-]|f[BIR])"));
        for (const QString& line : lines) {
            QVERIFY2(!line.startsWith(QLatin1Char('.')) || request.match(line).hasMatch(),
                     qPrintable(line));
            QVERIFY2(!line.startsWith(QLatin1Char('\'')), qPrintable(line));
            QVERIFY2(!escape.match(line).hasMatch(), qPrintable(line));
        }
    }

    // The help's own example is a valid source.
    void helpExampleBuilds() {
        const Result r = runTool({QStringLiteral("--help")});
        QCOMPARE(r.status, 0);
        const QString example = QStringLiteral("Primer:\n");
        const qsizetype at = r.out.indexOf(example) + example.size();
        const qsizetype end = r.out.indexOf(QStringLiteral("\nUVOZ I IZVOZ"));
        QVERIFY(at > example.size() && end > at);
        const dyr::Parsed parsed = dyr::parse(r.out.mid(at, end - at).toUtf8());
        QVERIFY(parsed.errors.isEmpty());
        QCOMPARE(parsed.records.size(), 2);
        QCOMPARE(parsed.records[0].Correct, std::int16_t(1));
        QCOMPARE(parsed.records[1].Question.text(), nuls(80));
    }

    // A set as a test on paper: the questions that are there, each with its answers,
    // then the key on a page of its own; A4 unless asked for Letter.
    void exportPdf_data() {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<int>("questions"); // in the set; 0: none
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("paper"); // the page's size in the PDF; empty: none written
        QTest::addColumn<QString>("err");   // a part of what is said on stderr
        const QString a4 = QStringLiteral("595.000000 842.000000");
        const QString letter = QStringLiteral("612.000000 792.000000");
        QTest::newRow("A4") << QStringList{} << 3 << 0 << a4 << "";
        QTest::newRow("--paper letter")
            << QStringList{"--paper", "letter"} << 3 << 0 << letter << "";
        QTest::newRow("--paper=a4") << QStringList{"--paper=a4"} << 21 << 0 << a4 << "";
        QTest::newRow("to standard output") << QStringList{"-"} << 2 << 0 << a4 << "";
        QTest::newRow("another paper") << QStringList{"--paper", "a5"} << 3 << 2 << ""
                                       << "--paper";
        QTest::newRow("no question") << QStringList{} << 0 << 1 << ""
                                     << "";
    }

    void exportPdf() {
        QFETCH(QStringList, options);
        QFETCH(int, questions);
        QFETCH(int, status);
        QFETCH(QString, paper);
        QFETCH(QString, err);
        QTemporaryDir dir;
        QList<QuestionRecord> set(21);
        for (int n = 1; n <= 21; ++n) {
            set[n - 1].Number = QString::number(n);
            if (n > questions)
                continue;
            set[n - 1].Question = QStringLiteral(u"Pitanje %1: šta je čćžđ?").arg(n);
            set[n - 1].Correct = static_cast<std::int16_t>(n % 4);
            for (int a = 0; a < 4; ++a)
                set[n - 1].Answers[a] = QStringLiteral("Odgovor %1%2").arg(QChar(u'A' + a)).arg(n);
        }
        const QString path = dir.filePath(QStringLiteral("moj set.dyr"));
        writeAll(path, bytesOf(set));
        const QString out = dir.filePath(QStringLiteral("test.pdf"));
        const bool toStdout = options == QStringList{QStringLiteral("-")};
        QStringList args{QStringLiteral("export"), QStringLiteral("pdf")};
        if (!toStdout)
            args << options;
        args << path << (toStdout ? QStringLiteral("-") : out);
        const Result r = runTool(args);
        QCOMPARE(r.status, status);
        QVERIFY2(r.err.contains(err), qPrintable(r.err));
        if (paper.isEmpty()) {
            QVERIFY(!QFileInfo::exists(out));
            return;
        }
        QVERIFY(r.err.isEmpty());
        const QByteArray pdf = toStdout ? r.out.toLatin1() : readAll(out);
        if (toStdout)
            return; // a text stream stands for standard output here
        QVERIFY(pdf.startsWith("%PDF-"));
        QVERIFY(pdf.contains("/MediaBox [0 0 " + paper.toLatin1() + "]"));
        const std::optional<QString> text = testsupport::pdfText(pdf);
        if (!text)
            return;
        const QStringList pages = text->split(QLatin1Char('\f'), Qt::SkipEmptyParts);
        QVERIFY(pages.size() >= 2);
        QVERIFY(pages.first().contains(QStringLiteral("Test: moj set")));
        QVERIFY(pages.first().contains(QStringLiteral("Ime i prezime:")));
        QVERIFY(text->contains(QStringLiteral(u"%1. Pitanje %1: šta je čćžđ?").arg(questions)));
        QVERIFY(text->contains(QStringLiteral("D) Odgovor D%1").arg(questions)));
        QVERIFY(pages.last().contains(QStringLiteral("Kljuc odgovora: moj set")));
        QVERIFY(pages.last().contains(QStringLiteral("1. B) Odgovor B1")));
        QVERIFY(pages.last().contains(
            QStringLiteral("%1. %2) Odgovor %2%1")
                .arg(QString::number(questions), QString(QChar(u'A' + questions % 4)))));
        QVERIFY(!pages.last().contains(QStringLiteral("Ime i prezime")));
        QVERIFY(!text->contains(
            QStringLiteral("%1. Pitanje %2").arg(questions + 1).arg(questions + 1)));
    }
};

QTEST_MAIN(TestDyr)
#include "tst_dyr.moc"
