// The quiz window: layout, the answer check and final tally, the title and icon
// animation, the score panel slide, and the handling of odd set files.
#include "apppath.h"
#include "program.h"
#include "questionsetfile.h"
#include "testsupport.h"

#include <QFileInfo>
#include <QFontMetrics>
#include <QTest>

using kviz::Form3;
using testsupport::MessageCall;
using testsupport::ScriptedResponder;
using testsupport::writeSet;

Q_DECLARE_METATYPE(QList<bool>)
Q_DECLARE_METATYPE(testsupport::OddSet)

namespace {

const QString SetName = QStringLiteral("kviz.dyr");

// A null number leaves the field as a fresh record has it: all NUL characters.
qo::QuestionRecord question(const QString& number, int correct, const QString& text = QString()) {
    qo::QuestionRecord r;
    if (!number.isNull())
        r.Number = number;
    r.Question = text.isNull() ? QStringLiteral("Pitanje broj %1").arg(number) : text;
    r.Correct = static_cast<std::int16_t>(correct);
    for (int i = 0; i < 4; ++i)
        r.Answers[i] = QStringLiteral("Odgovor %1").arg(QChar(u'A' + i));
    return r;
}

QList<qo::QuestionRecord> numberedSet(const QStringList& numbers = {"1", "2", "3", "4", "5"}) {
    QList<qo::QuestionRecord> set;
    for (int i = 0; i < numbers.size(); ++i)
        set.append(question(numbers[i], i % 4));
    return set;
}

// A program whose folder holds one set, with the quiz window not yet open.
struct Quiz {
    explicit Quiz(const QList<qo::QuestionRecord>& set = numberedSet()) {
        writeSet(SetName, set);
        program.module1.SetFileName = SetName;
    }
    testsupport::TempAppFolder folder;
    ScriptedResponder responder;
    kviz::Program program;
    Form3& form = program.form3;
};

void choose(Form3& form, int index) {
    rt::OptionButton* option = form.Option1(index);
    QTest::mouseClick(option, Qt::LeftButton, {},
                      QPoint(option->width() - 4, option->height() / 2));
}

void next(Form3& form) {
    QTest::mouseClick(form.Command1, Qt::LeftButton);
}

// Answers the question on screen right or wrong and clicks "Sledece".
void answer(Form3& form, bool right) {
    const int correct = form.QuizQuestions[form.CurrentQuestion - 1].Correct;
    choose(form, right ? correct : (correct + 1) % 4);
    next(form);
}

void play(Form3& form, const QList<bool>& answers) {
    for (bool right : answers)
        answer(form, right);
}

bool anyError(const ScriptedResponder& responder) {
    for (const MessageCall& call : responder.calls()) {
        if (call.title == QStringLiteral("Greska"))
            return true;
    }
    return false;
}

} // namespace

class TestForm3 : public QObject {
    Q_OBJECT

private slots:
    void layout_data() {
        QTest::addColumn<QString>("container");
        QTest::addColumn<QRect>("twips");
        QTest::addColumn<double>("points"); // 0: the platform's default font
        QTest::addColumn<bool>("bold");
        const char* window = "Form3_client";
        // clang-format off
        const struct { const char* name; const char* in; QRect twips; double points; bool bold; } designs[] = {
            {"Frame1", window, {120, 0, 6135, 2415}, 12, true},
            {"Label1", "Frame1", {120, 240, 5895, 615}, 12, false},
            {"Option1_0", "Frame1", {480, 840, 2430, 650}, 9.75, false},
            {"Option1_1", "Frame1", {3600, 840, 2430, 650}, 9.75, false},
            {"Option1_2", "Frame1", {480, 1560, 2430, 650}, 9.75, false},
            {"Option1_3", "Frame1", {3600, 1560, 2430, 650}, 9.75, false},
            {"Label2", "Frame1", {120, 1080, 375, 375}, 12, true},
            {"Label3", "Frame1", {120, 1680, 375, 255}, 12, true},
            {"Label4", "Frame1", {3120, 1080, 375, 375}, 12, true},
            {"Label5", "Frame1", {3120, 1680, 375, 495}, 12, true},
            {"Frame2", window, {6360, 0, 6135, 2415}, 12, true},
            {"Label6", "Frame2", {120, 360, 5895, 375}, 12, true},
            {"Label7", "Frame2", {120, 840, 5895, 375}, 12, true},
            {"Label8", "Frame2", {120, 1320, 5895, 855}, 12, true},
            {"Command2", window, {5520, 2520, 735, 375}, 0, false},
            {"Command1", window, {3600, 2520, 1695, 375}, 0, false},
            {"Command3", window, {2160, 2520, 1215, 375}, 0, false},
        };
        // clang-format on
        for (const auto& d : designs)
            QTest::newRow(d.name) << QString(d.in) << d.twips << d.points << d.bold;
        for (int i = 0; i < 8; ++i)
            QTest::newRow(qPrintable(QStringLiteral("Image1_%1").arg(i)))
                << QString(window) << QRect(120 + 120 * i, 3240, 480, 480) << -1.0 << false;
    }

    void layout() {
        QFETCH(QString, container);
        QFETCH(QRect, twips);
        QFETCH(double, points);
        QFETCH(bool, bold);
        Quiz quiz;
        quiz.form.Show();
        auto* control = quiz.form.window()->findChild<QWidget*>(QTest::currentDataTag());
        QVERIFY(control);
        QCOMPARE(control->parentWidget()->objectName(), container);
        QCOMPARE(control->geometry(),
                 rt::twipsRect(twips.x(), twips.y(), twips.width(), twips.height()));
        if (points > 0) {
            QCOMPARE(control->font().family(), QStringLiteral("Times New Roman"));
            QCOMPARE(control->font().pointSizeF(), points);
            QCOMPARE(control->font().bold(), bold);
        } else if (points == 0) {
            QCOMPARE(control->font(), rt::defaultFont());
        }
    }

    void windowAndTimers() {
        Quiz quiz;
        Form3& form = quiz.form;
        form.Show();
        QCOMPARE(form.Caption(), QStringLiteral("[qo] Kviz"));
        QCOMPARE(form.client()->size(), QSize(422, 253));
        QCOMPARE(form.Timer1->Interval(), 888);
        QVERIFY(form.Timer1->Enabled());
        QCOMPARE(form.Timer2->Interval(), 1);
        QCOMPARE(form.Image1.Count(), 8);
        QCOMPARE(QStringList({form.Label2->text(), form.Label4->text(), form.Label3->text(),
                              form.Label5->text(), form.Frame2->title(), form.Command1->text(),
                              form.Command3->text(), form.Command2->text()}),
                 QStringList({"(A)", "(B)", "(C)", "(D)", "Ukupan skor", "&Sledece >>>", "&Meni",
                              "&Izlaz"}));
        // Colours: blue panel headings and texts on light grey, grey answer boxes.
        QCOMPARE(form.Frame1->palette().color(QPalette::WindowText), rt::Blue);
        QCOMPARE(form.Label1->palette().color(QPalette::Window), rt::LightGrey);
        QCOMPARE(form.Label8->palette().color(QPalette::WindowText), rt::Blue);
        QCOMPARE(form.Option1(0)->palette().color(form.Option1(0)->backgroundRole()),
                 rt::LightGrey);
        QVERIFY(form.Label2->palette().color(QPalette::WindowText) != rt::Blue);
        QVERIFY(form.Label6->alignment() & Qt::AlignHCenter);
        // Keyboard order: the answers, then Izlaz, Sledece, Meni.
        QStringList order;
        QWidget* widget = form.Option1(0);
        for (int guard = 0; order.size() < 7 && guard < 100;
             ++guard, widget = widget->nextInFocusChain()) {
            if (widget->focusPolicy() & Qt::TabFocus)
                order << widget->objectName();
        }
        QCOMPARE(order, QStringList({"Option1_0", "Option1_1", "Option1_2", "Option1_3", "Command2",
                                     "Command1", "Command3"}));
    }

    void opensOnRecordOneAndReadsEachQuestionAnew() {
        Quiz quiz;
        Form3& form = quiz.form;
        form.Show();
        QVERIFY(form.isVisible());
        QVERIFY(!qo::QuestionSetFile::isOpen());
        QCOMPARE(form.CurrentQuestion, 1);
        QCOMPARE(form.Frame1->title(), QStringLiteral("Pitanje 1         "));
        QCOMPARE(form.Label1->text(), QStringLiteral("Pitanje broj 1").leftJustified(80));
        for (int i = 0; i < 4; ++i) {
            QCOMPARE(form.Option1(i)->Caption(),
                     QStringLiteral("Odgovor %1").arg(QChar(u'A' + i)).leftJustified(80));
            QCOMPARE(form.Option1(i)->Value(), 0);
        }
        // Nothing is kept open or cached: a record changed on disk now is what comes next.
        writeSet(SetName, {question("1", 0), question("2", 1, QStringLiteral("Promenjeno"))});
        answer(form, true);
        QVERIFY(!qo::QuestionSetFile::isOpen());
        QCOMPARE(form.Label1->text().trimmed(), QStringLiteral("Promenjeno"));
    }

    void noAnswerSelectedChangesNothing() {
        Quiz quiz;
        Form3& form = quiz.form;
        form.Show();
        next(form);
        QCOMPARE(quiz.responder.calls().size(), 1);
        QCOMPARE(quiz.responder.last().prompt, QStringLiteral("Izaberite odgovor na pitanje"));
        QCOMPARE(quiz.responder.last().title, QStringLiteral("Greska"));
        QCOMPARE(quiz.responder.last().flags, 16);
        QCOMPARE(form.CurrentQuestion, 1);
        QCOMPARE(form.Frame1->title(), QStringLiteral("Pitanje 1         "));
        QCOMPARE(form.AnswerResults[0], QString());
        QCOMPARE(form.RightCount + form.WrongCount, 0);
        QVERIFY(form.Command1->isEnabled());
    }

    void finalTally_data() {
        QTest::addColumn<QList<bool>>("answers");
        QTest::addColumn<QString>("label6");
        QTest::addColumn<QString>("label7");
        QTest::addColumn<QString>("label8");
        QTest::newRow("all right")
            << QList<bool>{true, true, true, true, true} << "pogodili ste 5 pitanja!"
            << "a 0 niste!"
            << "";
        QTest::newRow("2 and 4 wrong")
            << QList<bool>{true, false, true, false, true} << "pogodili ste 3 pitanja!"
            << "a 2 niste!"
            << "Pogresne odgovore ste dali na pitanjima 2, 4, ...";
        QTest::newRow("all wrong")
            << QList<bool>{false, false, false, false, false} << "pogodili ste 0 pitanja!"
            << "a 5 niste!"
            << "Pogresne odgovore ste dali na pitanjima 1, 2, 3, 4, 5, ...";
    }

    void finalTally() {
        QFETCH(QList<bool>, answers);
        QFETCH(QString, label6);
        QFETCH(QString, label7);
        QFETCH(QString, label8);
        Quiz quiz;
        Form3& form = quiz.form;
        form.Show();
        form.Timer1->stop(); // the title ticks come from the test alone
        // The last verdict comes after the button is disabled and the quiz marked finished.
        QList<bool> finishedAtVerdict;
        quiz.responder.onMessage = [&](const MessageCall&) {
            finishedAtVerdict << (!form.Command1->isEnabled() && form.QuizFinished == -1);
        };
        play(form, answers);
        QCOMPARE(finishedAtVerdict, QList<bool>({false, false, false, false, true}));
        for (int i = 0; i < 5; ++i) {
            const MessageCall& call = quiz.responder.calls().at(i);
            QCOMPARE(call.prompt, answers[i] ? QStringLiteral("TACAN odgovor")
                                             : QStringLiteral("POGRESAN odgovor"));
            QCOMPARE(call.flags, answers[i] ? 64 : 16);
            QCOMPARE(call.title, QStringLiteral("[qo] Kviz"));
        }
        QCOMPARE(form.Label6->text(), label6);
        QCOMPARE(form.Label7->text(), label7);
        QCOMPARE(form.Label8->text(), label8);
        // The tally leaves Pos at 5, and the title typewriter goes on from there.
        QCOMPARE(form.Pos, 5);
        form.Timer1_Timer();
        QCOMPARE(form.Caption(), QStringLiteral("[qo] K"));
        for (int i = 0; i < 4; ++i)
            QCOMPARE(form.Option1(i)->Value(), 0);
        // A disabled button ignores clicks.
        next(form);
        QCOMPARE(quiz.responder.calls().size(), 5);
    }

    void menuAfterAFinishedQuizStartsClean() {
        Quiz quiz;
        Form3& form = quiz.form;
        form.Show();
        play(form, {true, false, true, false, true});
        for (int i = 0; i < 156; ++i)
            form.Timer2_Timer();
        QTest::mouseClick(form.Command3, Qt::LeftButton);
        QVERIFY(!form.isLoaded());
        QVERIFY(quiz.program.form2.isVisible());
        QCOMPARE(form.RightCount, 0);
        QCOMPARE(form.WrongCount, 0);
        quiz.program.form2.Unload();

        form.Show();
        QCOMPARE(form.CurrentQuestion, 1);
        QCOMPARE(form.QuizFinished, 0);
        QVERIFY(form.Command1->isEnabled());
        QCOMPARE(form.Frame1->Left(), 120.0f);
        QCOMPARE(form.Frame2->Left(), 6360.0f);
        QCOMPARE(form.Label8->text(), QStringLiteral("Pogresne odgovore ste dali na pitanjima "));
        play(form, {true, true, true, true, false});
        QCOMPARE(form.Label6->text(), QStringLiteral("pogodili ste 4 pitanja!"));
        QCOMPARE(form.Label7->text(), QStringLiteral("a 1 niste!"));
    }

    void closingTheWindowResetsTheCounts() {
        Quiz quiz;
        quiz.form.Show();
        play(quiz.form, {true, true, false, true, true});
        QCOMPARE(quiz.form.RightCount, 4);
        quiz.form.window()->close();
        QVERIFY(!quiz.form.isLoaded());
        QCOMPARE(quiz.form.RightCount, 0);
        QCOMPARE(quiz.form.WrongCount, 0);
    }

    void exitConfirmation_data() {
        QTest::addColumn<int>("button");
        QTest::addColumn<int>("ends");
        QTest::newRow("no") << int(rt::vbNo) << 0;
        QTest::newRow("yes") << int(rt::vbYes) << 1;
    }

    void exitConfirmation() {
        QFETCH(int, button);
        QFETCH(int, ends);
        Quiz quiz;
        quiz.form.Show();
        quiz.responder.answer(button);
        QTest::mouseClick(quiz.form.Command2, Qt::LeftButton);
        QCOMPARE(quiz.responder.calls().size(), 1);
        QCOMPARE(quiz.responder.last().prompt, QStringLiteral("Dali ocete sigurno da izadjete"));
        QCOMPARE(quiz.responder.last().flags, 68);
        QCOMPARE(quiz.responder.last().title, QStringLiteral("Izlaz"));
        QCOMPARE(quiz.responder.endCount(), ends);
        QVERIFY(quiz.form.isVisible());
        QCOMPARE(quiz.form.CurrentQuestion, 1);
    }

    void longTextsFitTheirBoxes() {
        const QString text = QStringLiteral(
            "Koji je najstariji forum u zajednici i ko ga je osnovao pre svih ostalih tamo?");
        qo::QuestionRecord record = question("1", 0, text.leftJustified(80, u'!'));
        record.Answers[1] = QStringLiteral(
            "Cetiri moderatora koji se smenjuju svake nedelje osim kada je praznik u toku!");
        Quiz quiz({record});
        quiz.form.Show();
        QLabel* answer = quiz.form.Option1(1)->findChild<QLabel*>();
        QLabel* shortAnswer = quiz.form.Option1(0)->findChild<QLabel*>();
        for (QLabel* label : {static_cast<QLabel*>(quiz.form.Label1), answer, shortAnswer}) {
            QVERIFY(label->wordWrap());
            const QRect box = label->contentsRect();
            const QRect needed =
                QFontMetrics(label->font()).boundingRect(box, Qt::TextWordWrap, label->text());
            QVERIFY2(needed.height() <= box.height(), qPrintable(label->objectName()));
            QVERIFY(label->geometry().right() < label->parentWidget()->width());
        }
        QVERIFY(answer->font().pointSizeF() >= 6.0);
        QCOMPARE(shortAnswer->font().pointSizeF(), 9.75);
    }

    void titleTypewriterAndIcon() {
        Quiz quiz;
        Form3& form = quiz.form;
        form.Show();
        form.Timer1->stop();
        const auto iconIs = [&](int index) {
            return form.Icon().cacheKey() == form.Image1(index)->Picture().cacheKey();
        };
        const QStringList titles = {"[",         "[q",      "[qo",      "[qo]",      "[qo] ",
                                    "[qo] K",    "[qo] Kv", "[qo] Kvi", "[qo] Kviz", "[qo] Kviz",
                                    "[qo] Kviz", "",        "["};
        for (int tick = 0; tick < titles.size(); ++tick) {
            form.Timer1_Timer();
            QCOMPARE(form.Caption(), titles[tick]);
            QVERIFY(iconIs((tick + 1) % 8));
            if (tick == 11)
                QCOMPARE(form.Pos, 0);
        }
        form.IconIndex = 7;
        form.Timer1_Timer();
        QVERIFY(iconIs(0));
    }

    void scorePanelSlidesInOnceTheQuizEnds() {
        Quiz quiz;
        Form3& form = quiz.form;
        form.Show();
        for (int i = 0; i < 200; ++i)
            form.Timer2_Timer();
        QCOMPARE(form.Frame1->Left(), 120.0f);
        QCOMPARE(form.Frame2->Left(), 6360.0f);
        // Nothing to slide, so nothing ticks while the quiz runs.
        QVERIFY(!form.Timer2->Enabled());

        play(form, {true, true, true, true, true});
        QVERIFY(form.Timer2->Enabled());
        for (int i = 0; i < 156; ++i)
            form.Timer2_Timer();
        QCOMPARE(form.Frame2->Left(), 120.0f);
        QCOMPARE(form.Frame1->Left(), -6276.0f);
        QCOMPARE(form.Frame2->x(), 8);
        QCOMPARE(form.Frame1->x(), -418);
        QVERIFY(!form.Timer2->Enabled());
        form.Timer2_Timer();
        QCOMPARE(form.Frame2->Left(), 120.0f);
        QCOMPARE(form.Frame1->Left(), -6276.0f);
    }

    void slideRunsOnItsOwnAndStops() {
        Quiz quiz;
        quiz.form.Show();
        play(quiz.form, {true, true, true, true, true});
        QTRY_COMPARE_WITH_TIMEOUT(quiz.form.Frame2->Left(), 120.0f, 10000);
        QCOMPARE(quiz.form.Frame1->Left(), -6276.0f);
        QVERIFY(!quiz.form.Timer2->Enabled());
    }

    // The table of odd sets, played in the window: the same questions, verdicts and
    // score lines as the quiz's rules give (tst_formats) and the web page (tst_web.py).
    void oddSets_data() {
        QTest::addColumn<testsupport::OddSet>("set");
        for (const testsupport::OddSet& set : testsupport::oddSets())
            QTest::newRow(qPrintable(set.name)) << set;
    }

    void oddSets() {
        QFETCH(testsupport::OddSet, set);
        Quiz quiz(set.records);
        Form3& form = quiz.form;
        if (!set.refused.isEmpty()) {
            rt::runHandler([&] { form.Show(); });
            QCOMPARE(quiz.responder.calls().size(), 1);
            QCOMPARE(quiz.responder.last().title, QStringLiteral("Greska"));
            QVERIFY2(quiz.responder.last().prompt.contains(set.refused),
                     qPrintable(quiz.responder.last().prompt));
            QVERIFY(!form.isLoaded());
            return;
        }
        form.Show();
        QStringList numbers;
        QList<bool> verdicts;
        for (int k = 0; k < 10 && form.Command1->isEnabled(); ++k) {
            const QString title = form.Frame1->title();
            QVERIFY(title.startsWith(QStringLiteral("Pitanje ")));
            QVERIFY(!title.contains(QChar(0)));
            numbers << qo::seen(title.mid(8));
            choose(form, set.answers.value(k));
            next(form);
            verdicts << (quiz.responder.last().prompt == QStringLiteral("TACAN odgovor"));
        }
        QVERIFY(!anyError(quiz.responder));
        QCOMPARE(numbers, set.numbers);
        QCOMPARE(verdicts, set.verdicts);
        QCOMPARE(form.QuizFinished, -1);
        QCOMPARE(QStringList({form.Label6->text(), form.Label7->text(), form.Label8->text()}),
                 set.score);
        QCOMPARE(form.RightCount + form.WrongCount, 5);
    }

    void everyQuizStartsClean() {
        Quiz quiz;
        writeSet(QStringLiteral("kratak.dyr"), numberedSet({"1", "2", "5"}));
        Form3& form = quiz.form;
        form.Show();
        play(form, {true, true, true, true, true});
        QTest::mouseClick(form.Command3, Qt::LeftButton);
        quiz.program.form2.Unload();

        // A quiz that ends early counts the questions it never asked as wrong,
        // not as the earlier quiz answered them.
        quiz.program.module1.SetFileName = QStringLiteral("kratak.dyr");
        form.Show();
        QVERIFY(form.AnswerResults == (std::array<QString, 5>{}));
        QVERIFY(form.AnswerCorrect == (std::array<std::int16_t, 5>{}));
        play(form, {true, true, true});
        QCOMPARE(form.Label6->text(), QStringLiteral("pogodili ste 3 pitanja!"));
        QCOMPARE(form.Label8->text(),
                 QStringLiteral("Pogresne odgovore ste dali na pitanjima 4, 5, ..."));
    }

    // A set with nothing to play is reported, naming the file, and the quiz never
    // makes a file of its own.
    void setWithoutAFirstQuestion_data() {
        QTest::addColumn<QByteArray>("content"); // empty and null: no file at all
        QTest::addColumn<bool>("exists");
        qo::QuestionRecord blank = question("1", 0, QString());
        blank.Question = QString();
        qo::QuestionRecord spaces = question("1", 0, QStringLiteral("     "));
        QTest::newRow("missing") << QByteArray() << false;
        QTest::newRow("empty") << QByteArray() << true;
        QTest::newRow("shorter than a record") << question("1", 0).toBytes().left(300) << true;
        QTest::newRow("first question of NULs")
            << blank.toBytes() + question("2", 0).toBytes() << true;
        QTest::newRow("first question of spaces") << spaces.toBytes() << true;
    }

    void setWithoutAFirstQuestion() {
        QFETCH(QByteArray, content);
        QFETCH(bool, exists);
        ScriptedResponder responder;
        testsupport::TempAppFolder folder;
        const QString path = folder.file(SetName);
        if (exists)
            testsupport::writeAll(path, content);
        kviz::Program program;
        program.module1.SetFileName = SetName;
        rt::runHandler([&] { program.form3.Show(); });
        QCOMPARE(responder.calls().size(), 1);
        QCOMPARE(responder.last().title, QStringLiteral("Greska"));
        QCOMPARE(responder.last().flags, 16);
        QVERIFY(responder.last().prompt.contains(QStringLiteral("\"kviz.dyr\"")));
        QVERIFY(!program.form3.isLoaded());
        QCOMPARE(QFileInfo::exists(path), exists);
        if (exists)
            QCOMPARE(testsupport::readAll(path), content);
        QCOMPARE(responder.endCount(), 0);
    }

    void setFileThatCannotBeOpened() {
        Quiz quiz;
        // A missing file in a folder that does not exist can't be created either.
        rt::setAppPathForTesting(quiz.folder.file(QStringLiteral("nema")));
        rt::runHandler([&] { quiz.form.Show(); });
        QCOMPARE(quiz.responder.calls().size(), 1);
        QCOMPARE(quiz.responder.last().title, QStringLiteral("Greska"));
        QCOMPARE(quiz.responder.last().flags, 16);
        QVERIFY(quiz.responder.last().prompt.contains(SetName));
        QVERIFY(!quiz.form.isLoaded());
        QVERIFY(!qo::QuestionSetFile::isOpen());
        QCOMPARE(quiz.responder.endCount(), 0);

        // The program goes on: with the folder back the quiz opens.
        rt::setAppPathForTesting(quiz.folder.path());
        quiz.form.Show();
        QVERIFY(quiz.form.isVisible());
        QCOMPARE(quiz.form.CurrentQuestion, 1);
    }
};

QTEST_MAIN(TestForm3)
#include "tst_form3.moc"
