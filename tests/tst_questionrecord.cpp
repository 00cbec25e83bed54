// The question record: fixed-width fields and the 412-byte on-disk layout.
#include "codepage.h"
#include "questionrecord.h"
#include "setshape.h"

#include <QTest>

#include <utility>

using qo::QuestionRecord;

class TestQuestionRecord : public QObject {
    Q_OBJECT

private:
    static QuestionRecord sevenRecord() {
        QuestionRecord r;
        r.Number = QStringLiteral("7");
        r.Question = QStringLiteral("Koliko je sati"); // 14 characters
        r.Correct = 2;
        r.Answers[0] = QStringLiteral("3");
        r.Answers[1] = QStringLiteral("4");
        r.Answers[2] = QStringLiteral("5");
        r.Answers[3] = QStringLiteral("6");
        return r;
    }

private slots:
    void freshRecordIsAllZeros() {
        const QuestionRecord r;
        QCOMPARE(r.Number.text(), QString(10, QChar(0)));
        QCOMPARE(r.Question.text(), QString(80, QChar(0)));
        QCOMPARE(r.Correct, 0);
        QCOMPARE(r.toBytes(), QByteArray(412, '\0'));
    }

    void layout_data() {
        QTest::addColumn<int>("offset");
        QTest::addColumn<int>("length");
        QTest::addColumn<QByteArray>("content");
        QTest::newRow("Number") << 0 << 10 << QByteArray("7").leftJustified(10, ' ');
        QTest::newRow("Question") << 10 << 80
                                  << QByteArray("Koliko je sati").leftJustified(80, ' ');
        QTest::newRow("Correct") << 90 << 2 << QByteArray("\x02\x00", 2);
        QTest::newRow("Answer A") << 92 << 80 << QByteArray("3").leftJustified(80, ' ');
        QTest::newRow("Answer B") << 172 << 80 << QByteArray("4").leftJustified(80, ' ');
        QTest::newRow("Answer C") << 252 << 80 << QByteArray("5").leftJustified(80, ' ');
        QTest::newRow("Answer D") << 332 << 80 << QByteArray("6").leftJustified(80, ' ');
    }

    void layout() {
        QFETCH(int, offset);
        QFETCH(int, length);
        QFETCH(QByteArray, content);
        const QByteArray bytes = sevenRecord().toBytes();
        QCOMPARE(bytes.size(), qo::RecordLength);
        QCOMPARE(bytes.mid(offset, length), content);
    }

    void readBackKeepsFullWidth() {
        const QuestionRecord back = QuestionRecord::fromBytes(sevenRecord().toBytes());
        QCOMPARE(back.Question.text(), QStringLiteral("Koliko je sati") + QString(66, u' '));
        QCOMPARE(back, sevenRecord());
    }

    void assignmentCutsAndPads() {
        QuestionRecord r;
        const QString longText = QString(85, u'x');
        r.Question = longText;
        QCOMPARE(r.Question.text(), QString(80, u'x'));
        r.Number = QString();
        QCOMPARE(r.Number.text(), QString(10, u' '));
    }

    void neverFilledFieldsWriteZeroBytes() {
        QuestionRecord r;
        r.Number = QStringLiteral("12");
        const QByteArray bytes = r.toBytes();
        QCOMPARE(bytes.left(10), QByteArray("12        "));
        QCOMPARE(bytes.mid(10), QByteArray(402, '\0'));
    }

    void correctRoundTrips_data() {
        QTest::addColumn<int>("correct");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("-1") << -1 << QByteArray("\xff\xff", 2);
        QTest::newRow("4") << 4 << QByteArray("\x04\x00", 2);
        QTest::newRow("258") << 258 << QByteArray("\x02\x01", 2);
        QTest::newRow("-32768") << -32768 << QByteArray("\x00\x80", 2);
    }

    void correctRoundTrips() {
        QFETCH(int, correct);
        QFETCH(QByteArray, bytes);
        QuestionRecord r;
        r.Correct = static_cast<std::int16_t>(correct);
        QCOMPARE(r.toBytes().mid(90, 2), bytes);
        QCOMPARE(QuestionRecord::fromBytes(r.toBytes()).Correct, correct);
    }

    void shortBytesReadAsZeros() {
        const QuestionRecord r = QuestionRecord::fromBytes(QByteArray("5         abc"));
        QCOMPARE(r.Number.text(), QStringLiteral("5         "));
        QCOMPARE(r.Question.text(), QStringLiteral("abc") + QString(77, QChar(0)));
        QCOMPARE(r.Correct, 0);
    }

    void codePage_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("Serbian letters") << QStringLiteral(u"čćžšđČĆŽŠĐ")
                                         << QByteArray("\xe8\xe6\x9e\x9a\xf0\xc8\xc6\x8e\x8a\xd0");
        QTest::newRow("ASCII") << QStringLiteral("Pitanje 1?") << QByteArray("Pitanje 1?");
        QTest::newRow("euro and quotes") << QStringLiteral(u"€„“") << QByteArray("\x80\x84\x93");
        QTest::newRow("NUL") << QString(2, QChar(0)) << QByteArray(2, '\0');
    }

    void codePage() {
        QFETCH(QString, text);
        QFETCH(QByteArray, bytes);
        QCOMPARE(rt::toCodePage(text), bytes);
        QCOMPARE(rt::fromCodePage(bytes), text);
        QVERIFY(rt::fitsCodePage(text));
    }

    void unrepresentableBecomesQuestionMark() {
        QCOMPARE(rt::toCodePage(QStringLiteral(u"aЖb")), QByteArray("a?b"));
        QVERIFY(!rt::fitsCodePage(QStringLiteral(u"Ж")));
        QuestionRecord r;
        r.Question = QStringLiteral(u"ω");
        QCOMPARE(r.toBytes().at(10), '?');
    }

    // One character is one code point: an emoji (a surrogate pair) takes one of the
    // 80 places and one byte, and the cut at the width never splits it.
    void charactersAreCodePoints_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("field");
        QTest::addColumn<QByteArray>("bytes");
        const QString smile = QStringLiteral(u"\U0001F600");
        const QString x79(79, u'x');
        QTest::newRow("emoji") << smile + u'a' << smile + u'a' + QString(78, u' ')
                               << QByteArray("?a").leftJustified(80, ' ');
        QTest::newRow("emoji at the cut")
            << x79 + smile + u'y' << x79 + smile << QByteArray(79, 'x') + '?';
        QTest::newRow("emoji past the cut")
            << x79 + u'x' + smile << x79 + u'x' << QByteArray(80, 'x');
        QTest::newRow("eighty emoji")
            << smile.repeated(81) << smile.repeated(80) << QByteArray(80, '?');
        QTest::newRow("lone surrogate")
            << QString(QChar(0xD83D)) + u'b' << QString(QChar(0xD83D)) + u'b' + QString(78, u' ')
            << QByteArray("?b").leftJustified(80, ' ');
        QTest::newRow("Cyrillic") << QStringLiteral(u"Жb")
                                  << QStringLiteral(u"Жb") + QString(78, u' ')
                                  << QByteArray("?b").leftJustified(80, ' ');
    }

    void charactersAreCodePoints() {
        QFETCH(QString, text);
        QFETCH(QString, field);
        QFETCH(QByteArray, bytes);
        QuestionRecord r;
        r.Question = text;
        QCOMPARE(r.Question.text(), field);
        QCOMPARE(r.Question.text().toUcs4().size(), 80);
        const QByteArray record = r.toBytes();
        QCOMPARE(record.size(), qo::RecordLength);
        QCOMPARE(record.mid(10, 80), bytes);
        QCOMPARE(rt::toCodePage(field), bytes);
        QCOMPARE(rt::fitsCodePage(field), !bytes.contains('?'));
    }

    // What the programs show of a field, and whether a record holds a question: the
    // quiz, the editor, the web page and dyr's export all decide by these.
    // A set's title, as the page, the printed test and the editor show it.
    void setTitle_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("title");
        QTest::newRow("a shipped set") << "varnikol.dyr"
                                       << "varnikol";
        QTest::newRow("a path, a dot in the name") << "/home/a/moj.set.dyr"
                                                   << "moj.set";
        QTest::newRow("capitals") << "KVIZ.DYR"
                                  << "KVIZ";
        QTest::newRow("another ending") << "banka.set"
                                        << "banka.set";
    }

    void setTitle() {
        QFETCH(QString, path);
        QFETCH(QString, title);
        QCOMPARE(qo::setTitle(path), title);
    }

    void shownText_data() {
        QTest::addColumn<QString>("raw");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<bool>("question"); // as the record's question
        const QChar nul(0);
        QTest::newRow("stored by the editor")
            << QStringLiteral("Sta je FAQ?").leftJustified(80) << "Sta je FAQ?" << true;
        QTest::newRow("never filled") << QString(80, nul) << "" << false;
        QTest::newRow("stored empty") << QString(80, u' ') << "" << false;
        QTest::newRow("leading spaces stay")
            << QStringLiteral("  x").leftJustified(80) << "  x" << true;
        QTest::newRow("NUL fill") << QStringLiteral("x") + QString(79, nul) << "x" << true;
        QTest::newRow("spaces then NULs")
            << QStringLiteral("x  ") + QString(77, nul) << "x" << true;
        QTest::newRow("text after a NUL is not shown")
            << QString(nul) + QStringLiteral("skriveno").leftJustified(79) << "" << false;
        QTest::newRow("cut at the first NUL")
            << QStringLiteral("ab") + nul + QStringLiteral("cd").leftJustified(77) << "ab" << true;
        QTest::newRow("a tab alone") << QStringLiteral("\t").leftJustified(80) << "\t" << false;
        QTest::newRow("a no-break space alone")
            << QString(QChar(0xA0)).leftJustified(80) << QString(QChar(0xA0)) << false;
    }
    void shownText() {
        QFETCH(QString, raw);
        QFETCH(QString, shown);
        QFETCH(bool, question);
        QCOMPARE(qo::shownText(raw), shown);
        QuestionRecord r;
        r.Question.setRaw(raw);
        QCOMPARE(qo::holdsNoQuestion(r), !question);
    }

    void textsInOrder() {
        QuestionRecord r = sevenRecord();
        const auto texts = std::as_const(r).texts();
        QCOMPARE(texts.size(), std::size_t(5));
        QCOMPARE(texts[0], &r.Question);
        for (int i = 0; i < 4; ++i)
            QCOMPARE(texts[i + 1], &r.Answers[static_cast<std::size_t>(i)]);
        *r.texts()[4] = QStringLiteral("D");
        QCOMPARE(qo::shownText(r.Answers[3]), QStringLiteral("D"));
    }

    void everyByteRoundTrips() {
        QByteArray all;
        for (int b = 0; b < 256; ++b)
            all.append(static_cast<char>(b));
        QCOMPARE(rt::toCodePage(rt::fromCodePage(all)), all);
    }
};

QTEST_APPLESS_MAIN(TestQuestionRecord)
#include "tst_questionrecord.moc"
