// Both programs without the mouse and without the eyes: the menu's keys, the quiz
// window's answer keys and Enter, the credits window's Esc, Enter on the editor's
// buttons; and what a screen reader is told about every control, read through
// QAccessible as an assistive technology reads it.
#include "../editor/program.h"
#include "../kviz/program.h"
#include "assets.h"
#include "conversions.h"
#include "testsupport.h"

#include <QAccessible>
#include <QApplication>
#include <QFileInfo>
#include <QHash>
#include <QMenu>
#include <QMenuBar>
#include <QRadioButton>
#include <QTest>

using testsupport::ScriptedResponder;
using testsupport::TempAppFolder;

namespace {

// Presses a key the way the platform delivers it: to the active window's focus,
// or to the window itself when no control has the focus.
void press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QWidget* window = QApplication::activeWindow();
    QVERIFY(window);
    QTest::keyClick(window->windowHandle(), key, modifiers);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// Five questions; question n's right answer is (n - 1) mod 4.
void writeQuiz(const QString& name) {
    QList<qo::QuestionRecord> records(5);
    for (int n = 1; n <= 5; ++n) {
        records[n - 1].Number = QString::number(n);
        records[n - 1].Question = QStringLiteral("Pitanje %1").arg(n);
        records[n - 1].Correct = static_cast<std::int16_t>((n - 1) % 4);
        for (int i = 0; i < 4; ++i)
            records[n - 1].Answers[i] = QStringLiteral("Odgovor %1").arg(QChar(u'A' + i));
    }
    testsupport::writeSet(name, records);
}

QStringList prompts(const ScriptedResponder& responder) {
    QStringList list;
    for (const testsupport::MessageCall& call : responder.calls())
        list << call.prompt;
    return list;
}

// The quiz program on its menu, with both authors' sets in its folder.
struct Quiz {
    Quiz() {
        writeQuiz(QStringLiteral("varnikol.dyr"));
        writeQuiz(QStringLiteral("tuvek.dyr"));
        program.form2.Show();
        QApplication::setActiveWindow(program.form2.window());
    }
    ~Quiz() {
        for (rt::Form* form :
             {static_cast<rt::Form*>(&program.form2), static_cast<rt::Form*>(&program.form3),
              static_cast<rt::Form*>(&program.form4)})
            form->Unload();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    TempAppFolder folder;
    ScriptedResponder responder;
    kviz::Program program;
};

// The editor, started and active, with its own folder and scripted answers.
struct Editor {
    Editor() {
        program.start();
        QApplication::setActiveWindow(program.form1.window());
    }
    TempAppFolder folder;
    ScriptedResponder responder;
    editor::Program program;
    editor::Form1& form = program.form1;
};

QString spoken(QWidget* widget, QAccessible::Text what = QAccessible::Name) {
    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(widget);
    return face ? face->text(what) : QStringLiteral("<none>");
}

// A quiz question whose texts carry the full padding of their fields.
void writeQuiz() {
    QList<qo::QuestionRecord> records(5);
    for (int n = 1; n <= 5; ++n) {
        qo::QuestionRecord& r = records[n - 1];
        r.Number = rt::fixedAssign(QString::number(n), 10);
        r.Question = rt::fixedAssign(QStringLiteral("Gde je  forum?"), 80);
        r.Answers[0] = rt::fixedAssign(QStringLiteral("Beograd"), 80);
        r.Answers[1] = rt::fixedAssign(QStringLiteral("Novi Sad"), 80);
        r.Answers[2] = rt::fixedAssign(QStringLiteral("Nis"), 80);
        r.Answers[3] = rt::fixedAssign(QStringLiteral("Subotica"), 80);
    }
    testsupport::writeSet(QStringLiteral("varnikol.dyr"), records);
}

// Every window of both programs, open at once: the splash, the menu, the quiz
// window with a question and its score panel filled, the credits, the editor.
struct AllWindows {
    AllWindows() {
        writeQuiz();
        quiz.form1.Show();
        quiz.form2.Show();
        quiz.module1.SetFileName = QStringLiteral("varnikol.dyr");
        quiz.form3.Show();
        quiz.form4.Show();
        editorProgram.form1.Show();
    }
    ~AllWindows() {
        for (rt::Form* form : forms())
            form->Unload();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    QList<rt::Form*> forms() {
        return {&quiz.form1, &quiz.form2, &quiz.form3, &quiz.form4, &editorProgram.form1};
    }
    rt::Form* form(const QString& name) {
        if (name == QStringLiteral("editor"))
            return &editorProgram.form1;
        for (rt::Form* f : forms()) {
            if (f->design().name == name)
                return f;
        }
        return nullptr;
    }
    TempAppFolder folder;
    ScriptedResponder responder;
    kviz::Program quiz;
    editor::Program editorProgram;
};

// The controls of a window: every widget the window's design names.
QList<QWidget*> controlsOf(const rt::Form& form) {
    QList<QWidget*> controls;
    for (QWidget* widget : form.window()->findChildren<QWidget*>()) {
        const QString name = widget->objectName();
        if (!name.isEmpty() && !name.endsWith(QStringLiteral("_client")) &&
            !name.startsWith(QStringLiteral("qt_")))
            controls << widget;
    }
    return controls;
}

// What a screen reader can reach of a window: the interface of every object in
// the window's accessible tree, by the widget it stands for.
QHash<QObject*, QAccessibleInterface*> reachable(QWidget* window) {
    QHash<QObject*, QAccessibleInterface*> found;
    QList<QAccessibleInterface*> todo{QAccessible::queryAccessibleInterface(window)};
    while (!todo.isEmpty()) {
        QAccessibleInterface* face = todo.takeLast();
        found.insert(face->object(), face);
        for (int i = 0; i < face->childCount(); ++i) {
            if (QAccessibleInterface* child = face->child(i))
                todo << child;
        }
    }
    return found;
}

// Moves the score panel on until it has arrived, as its timer would.
void slideScoreIn(kviz::Form3& form) {
    for (int tick = 0; tick < 1000 && form.Timer2->Enabled(); ++tick)
        form.Timer2_Timer();
}

// The text a control shows, where it shows one.
QString shownText(QWidget* widget) {
    if (auto* label = qobject_cast<QLabel*>(widget))
        return label->pixmap().isNull() ? label->text() : QStringLiteral("<picture>");
    if (auto* frame = qobject_cast<QGroupBox*>(widget))
        return frame->title();
    return QStringLiteral("<control>");
}

} // namespace

class TestAccess : public QObject {
    Q_OBJECT

private slots:
    // The menu, a whole quiz, the credits and the exit, without the mouse.
    void wholeQuizFromTheKeyboard() {
        Quiz quiz;
        kviz::Program& program = quiz.program;
        press(Qt::Key_1);
        QVERIFY(program.form3.isVisible());
        QVERIFY(!program.form2.isLoaded());
        QCOMPARE(program.module1.SetFileName, QStringLiteral("varnikol.dyr"));
        // The first answer has the focus when the window opens.
        QVERIFY(program.form3.Option1(0)->hasFocus());

        // Digits, letters and the keypad's Enter; the verdict box is answered by
        // the scripted responder.
        const Qt::Key answers[] = {Qt::Key_1, Qt::Key_B, Qt::Key_3, Qt::Key_D, Qt::Key_A};
        for (int n = 0; n < 5; ++n) {
            press(answers[n]);
            QCOMPARE(program.form3.Option1(n % 4)->Value(), -1);
            QVERIFY(program.form3.Option1(n % 4)->hasFocus());
            if (n % 2 == 0)
                press(Qt::Key_Return);
            else
                press(Qt::Key_Enter, Qt::KeypadModifier);
            QCOMPARE(quiz.responder.last().prompt, QStringLiteral("TACAN odgovor"));
        }
        QCOMPARE(program.form3.Label6->text(), QStringLiteral("pogodili ste 5 pitanja!"));
        QVERIFY(!program.form3.Command1->isEnabled());
        // Enter does nothing once the last answer is in.
        press(Qt::Key_Return);
        QCOMPARE(quiz.responder.calls().size(), 5);

        // Tab leads to "&Meni", Enter presses it.
        for (int tabs = 0; tabs < 8 && !program.form3.Command3->hasFocus(); ++tabs)
            press(Qt::Key_Tab);
        press(Qt::Key_Return);
        QVERIFY(program.form2.isVisible());
        QVERIFY(!program.form3.isLoaded());
        press(Qt::Key_3);
        QVERIFY(program.form4.isVisible());
        press(Qt::Key_Escape);
        QVERIFY(program.form2.isVisible());
        QVERIFY(!program.form4.isLoaded());
        quiz.responder.answer(rt::vbYes);
        press(Qt::Key_Escape);
        QCOMPARE(quiz.responder.last().prompt, QStringLiteral("Dali ocete sigurno da izadjete"));
        QCOMPARE(quiz.responder.endCount(), 1);
    }

    void menuKeys_data() {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<QString>("opens"); // the window shown, or the box asked
        QTest::addColumn<QString>("setFile");
        const int none = Qt::NoModifier;
        QTest::newRow("1") << int(Qt::Key_1) << none << "Form3"
                           << "varnikol.dyr";
        QTest::newRow("keypad 1") << int(Qt::Key_1) << int(Qt::KeypadModifier) << "Form3"
                                  << "varnikol.dyr";
        QTest::newRow("2") << int(Qt::Key_2) << none << "Form3"
                           << "tuvek.dyr";
        QTest::newRow("3") << int(Qt::Key_3) << none << "Form4"
                           << "";
        QTest::newRow("F1") << int(Qt::Key_F1) << none << "Form4"
                            << "";
        QTest::newRow("Esc") << int(Qt::Key_Escape) << none << "Izlaz"
                             << "";
        QTest::newRow("4 does nothing") << int(Qt::Key_4) << none << "Form2"
                                        << "";
        QTest::newRow("Ctrl+1 does nothing")
            << int(Qt::Key_1) << int(Qt::ControlModifier) << "Form2"
            << "";
    }

    // Each key does what a click on its picture does; no control takes the focus.
    void menuKeys() {
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(QString, opens);
        QFETCH(QString, setFile);
        Quiz quiz;
        kviz::Program& program = quiz.program;
        QVERIFY(!program.form2.window()->focusWidget());
        press(Qt::Key(key), Qt::KeyboardModifiers(modifiers));
        QCOMPARE(program.module1.SetFileName, setFile);
        if (opens == QStringLiteral("Izlaz")) {
            QCOMPARE(quiz.responder.last().title, QStringLiteral("Izlaz"));
            QCOMPARE(quiz.responder.endCount(), 0); // answered No
            QVERIFY(program.form2.isVisible());
            return;
        }
        QVERIFY(quiz.responder.calls().isEmpty());
        QCOMPARE(program.form2.isLoaded(), opens == QStringLiteral("Form2"));
        QCOMPARE(program.form3.isVisible(), opens == QStringLiteral("Form3"));
        QCOMPARE(program.form4.isVisible(), opens == QStringLiteral("Form4"));
        if (opens == QStringLiteral("Form2"))
            QVERIFY(!program.form2.window()->focusWidget());
    }

    // Enter answers while an answer or the window has the focus, and presses any
    // other button that has it.
    void enterFollowsTheFocus() {
        Quiz quiz;
        kviz::Program& program = quiz.program;
        press(Qt::Key_2);
        kviz::Form3& form = program.form3;
        press(Qt::Key_Return); // nothing selected yet
        QCOMPARE(prompts(quiz.responder), QStringList{"Izaberite odgovor na pitanje"});
        press(Qt::Key_C);
        form.window()->setFocus(); // the window itself
        press(Qt::Key_Return);
        QCOMPARE(quiz.responder.last().prompt, QStringLiteral("POGRESAN odgovor"));
        QCOMPARE(form.CurrentQuestion, 2);

        press(Qt::Key_B);          // right for question 2
        form.Command2->setFocus(); // "&Izlaz"
        press(Qt::Key_Return);
        QCOMPARE(quiz.responder.last().prompt, QStringLiteral("Dali ocete sigurno da izadjete"));
        QCOMPARE(form.CurrentQuestion, 2);
        form.Command3->setFocus(); // "&Meni"
        press(Qt::Key_Enter, Qt::KeypadModifier);
        QVERIFY(!program.form3.isLoaded());
        QVERIFY(program.form2.isVisible());
    }

    // The arrows move the selection among the four answers, in their order.
    void arrowsSelectAnswers() {
        Quiz quiz;
        press(Qt::Key_1);
        kviz::Form3& form = quiz.program.form3;
        press(Qt::Key_Up);
        QCOMPARE(form.Option1(3)->Value(), -1);
        press(Qt::Key_Right);
        QCOMPARE(form.Option1(0)->Value(), -1);
        press(Qt::Key_Down);
        QCOMPARE(form.Option1(1)->Value(), -1);
        QCOMPARE(form.Option1(0)->Value(), 0);
        press(Qt::Key_Return);
        QCOMPARE(quiz.responder.last().prompt, QStringLiteral("POGRESAN odgovor"));
    }

    // The editor's buttons answer Enter when they have the focus.
    void editorButtonsTakeEnter() {
        Editor e;
        editor::Form1& form = e.form;
        form.Text2->setFocus();
        QTest::keyClicks(form.Text2, QStringLiteral("Prvo pitanje"));
        form.Command5->setFocus(); // ">>"
        press(Qt::Key_Return);
        QCOMPARE(form.Text1->Text(), QStringLiteral("2"));
        form.Command2->setFocus(); // "&Snimi"
        press(Qt::Key_Enter, Qt::KeypadModifier);
        QCOMPARE(QFileInfo(e.folder.file(QStringLiteral("varnikol.dyr"))).size(), 21 * 412);
        // Enter in a text box is not a click on anything.
        form.Text2->setFocus();
        press(Qt::Key_Return);
        QCOMPARE(form.Text1->Text(), QStringLiteral("2"));
        QVERIFY(e.responder.calls().isEmpty());
        form.Unload();
    }

    void names_data() {
        QTest::addColumn<QString>("window");
        QTest::addColumn<QString>("control");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("description"); // a part of it; empty: not checked
        const auto row = [](const char* window, const char* control, const char* name,
                            const char* description = "") {
            QTest::addRow("%s %s", window, control)
                << QString::fromLatin1(window) << QString::fromLatin1(control)
                << QString::fromLatin1(name) << QString::fromLatin1(description);
        };
        row("Form1", "Frame1", "Dorvan Plesic **VarNiKoL** specijalno za [qo]");
        row("Form1", "Picture1", "[qo] forumi");
        row("Form2", "Frame1", "Izaberite pitanja");
        row("Form2", "Image1", "Pitanja koja je postavio VarNiKoL", "Taster 1.");
        row("Form2", "Image2", "Pitanja koja je postavio Tuvek", "Taster 2.");
        row("Form2", "Image3", "Prazno mesto", "nema pitanja");
        row("Form2", "Image4", "Izlaz", "Taster Esc.");
        row("Form2", "Image5", "O programu", "Taster 3 ili F1.");
        row("Form2", "Label1", "VarNiKoL");
        row("Form3", "Frame1", "Pitanje 1");
        row("Form3", "Label1", "Gde je forum?");
        row("Form3", "Option1_0", "Odgovor A: Beograd", "Taster 1 ili A.");
        row("Form3", "Option1_1", "Odgovor B: Novi Sad", "Taster 2 ili B.");
        row("Form3", "Option1_3", "Odgovor D: Subotica", "Taster 4 ili D.");
        row("Form3", "Label4", "(B)");
        row("Form3", "Command1", "Sledece", "Taster Enter.");
        row("Form3", "Command2", "Izlaz");
        row("Form3", "Command3", "Meni");
        row("Form3", "Frame2", "Ukupan skor");
        row("Form3", "Label8", "Pogresne odgovore ste dali na pitanjima");
        // An empty score line has no name, not that of the panel it stands in.
        row("Form3", "Label6", "");
        row("Form3", "Image1_0", "Lice jako namrsteno");
        row("Form3", "Image1_5", "Lice koje se smeje");
        row("Form4", "Frame1", "Napravio");
        row("Form4", "Label1_0", "Specijalno za");
        row("Form4", "Command1", "Meni", "Taster Esc.");
        row("editor", "Frame1", "Editor pitanja");
        row("editor", "Text1", "Broj pitanja");
        row("editor", "Text2", "Pitanje");
        row("editor", "Text3", "Odgovor A");
        row("editor", "Text6", "Odgovor D");
        row("editor", "Option_2", "(C)", "odgovor C kao tacan");
        row("editor", "Command4", "Prethodno pitanje");
        row("editor", "Command5", "Sledece pitanje");
        row("editor", "Command2", "Snimi");
        row("editor", "Option1_1", "tuvek.dyr");
        row("editor", "MenuBar1", "Meni editora");
        row("editor", "mnuTransfer", "Uvoz i izvoz");
    }

    void names() {
        QFETCH(QString, window);
        QFETCH(QString, control);
        QFETCH(QString, name);
        QFETCH(QString, description);
        AllWindows all;
        rt::Form* form = all.form(window);
        QVERIFY(form && form->window());
        auto* widget = form->window()->findChild<QWidget*>(control);
        QVERIFY(widget);
        QCOMPARE(spoken(widget), name);
        if (!description.isEmpty())
            QVERIFY2(spoken(widget, QAccessible::Description).contains(description),
                     qPrintable(spoken(widget, QAccessible::Description)));
    }

    // No control is nameless or read with its padding; a text box is not named
    // after its frame.
    void everyControlHasAName() {
        AllWindows all;
        for (rt::Form* form : all.forms()) {
            QVERIFY(!spoken(form->window()).trimmed().isEmpty());
            for (QWidget* control : controlsOf(*form)) {
                const QString text = shownText(control);
                if (rt::spokenText(text).isEmpty())
                    continue; // an empty label or caption has nothing to say
                const QString name = spoken(control);
                const QString where =
                    form->design().name + QLatin1Char(' ') + control->objectName();
                QVERIFY2(!name.isEmpty(), qPrintable(where));
                QVERIFY2(name == name.simplified(),
                         qPrintable(where + QStringLiteral(": ") + name));
                if (qobject_cast<QLineEdit*>(control))
                    QVERIFY2(name != QStringLiteral("Editor pitanja"), qPrintable(where));
            }
        }
    }

    void heardThroughTheTree_data() {
        QTest::addColumn<QString>("stage");
        QTest::addColumn<QString>("control");
        QTest::addColumn<QString>("heard"); // "<hidden>": not in the window's tree
        const auto row = [](const char* stage, const char* control, const char* heard) {
            QTest::addRow("%s %s", stage, control)
                << QString::fromLatin1(stage) << QString::fromLatin1(control)
                << QString::fromLatin1(heard);
        };
        // Each answer is one radio button; its caption is not read again.
        row("question", "Frame1", "Pitanje 1");
        row("question", "Option1_0", "Odgovor A: Beograd");
        row("question", "Option1_3", "Odgovor D: Subotica");
        row("question", "Option1_0_caption", "<hidden>");
        row("question", "Label1", "Gde je forum?");
        // The score panel is heard only once it is filled in and in place.
        row("question", "Frame2", "<hidden>");
        row("question", "Label6", "<hidden>");
        row("question", "Label8", "<hidden>");
        row("sliding", "Frame2", "<hidden>");
        row("sliding", "Label6", "<hidden>");
        row("arrived during the verdict", "Frame2", "<hidden>");
        row("arrived during the verdict", "Label7", "<hidden>");
        row("arrived", "Frame2", "Ukupan skor");
        row("arrived", "Label6", "pogodili ste 5 pitanja!");
        row("arrived", "Label7", "a 0 niste!");
        row("arrived", "Label8", "");
        row("arrived", "Command3", "Meni");
        row("arrived", "Frame1", "<hidden>");
        row("arrived", "Option1_0", "<hidden>");
        row("all wrong", "Label6", "pogodili ste 0 pitanja!");
        row("all wrong", "Label8", "Pogresne odgovore ste dali na pitanjima 1, 2, 3, 4, 5, ...");
        row("next quiz", "Frame2", "<hidden>");
        row("next quiz", "Option1_1", "Odgovor B: Novi Sad");
        row("next quiz", "Frame1", "Pitanje 1");
    }

    // What a screen reader reaches through the quiz window's accessible tree at
    // each stage of a quiz.
    void heardThroughTheTree() {
        QFETCH(QString, stage);
        QFETCH(QString, control);
        QFETCH(QString, heard);
        AllWindows all;
        kviz::Form3& form = all.quiz.form3;
        const auto hear = [&form, &control]() -> QString {
            auto* widget = form.window()->findChild<QWidget*>(control);
            if (!widget)
                return QStringLiteral("<no control>");
            QAccessibleInterface* face = reachable(form.window()).value(widget);
            if (!face)
                return QStringLiteral("<hidden>");
            if (qobject_cast<QRadioButton*>(widget) &&
                (face->role() != QAccessible::RadioButton || face->childCount() != 0))
                return QStringLiteral("<not one radio button>");
            return face->text(QAccessible::Name);
        };
        // The panel arrives while the last verdict is still up, before the score
        // is written: what is heard then.
        QString heardDuringVerdict;
        if (stage == QStringLiteral("arrived during the verdict")) {
            all.responder.onMessage = [&](const testsupport::MessageCall&) {
                if (form.QuizFinished == 0)
                    return;
                slideScoreIn(form);
                heardDuringVerdict = hear();
            };
        }
        if (stage != QStringLiteral("question")) {
            const int answer = stage == QStringLiteral("all wrong") ? 1 : 0;
            for (int n = 0; n < 5; ++n) {
                form.Option1(answer)->setValue(-1);
                form.Command1->click();
            }
            QCOMPARE(form.QuizFinished, -1);
        }
        if (stage == QStringLiteral("sliding")) {
            for (int tick = 0; tick < 100; ++tick)
                form.Timer2_Timer();
            QVERIFY(form.Timer2->Enabled());
        } else if (stage != QStringLiteral("question")) {
            slideScoreIn(form);
            QVERIFY(!form.Timer2->Enabled());
        }
        if (stage == QStringLiteral("next quiz")) {
            form.Unload();
            form.Show();
        }
        const QString actual =
            stage == QStringLiteral("arrived during the verdict") ? heardDuringVerdict : hear();
        QCOMPARE(actual, heard);
    }

    // The score panel's lines are read as they are filled; the faces have names.
    void scoreAndFacesAreRead() {
        AllWindows all;
        kviz::Form3& form = all.quiz.form3;
        for (int n = 0; n < 5; ++n) {
            form.Option1(0)->setValue(-1);
            form.Command1->click();
        }
        QCOMPARE(spoken(form.Label6), QStringLiteral("pogodili ste 5 pitanja!"));
        QCOMPARE(spoken(form.Label7), QStringLiteral("a 0 niste!"));
        for (int i = 0; i < 8; ++i)
            QCOMPARE(spoken(form.Image1(i)), assets::faceName(i));
    }

    // The editor's menu from the keyboard: Alt and the menu's letter open it, the
    // item's letter chooses it; the window's own Alt+O and Alt+S stay its buttons'.
    void editorMenuFromTheKeyboard_data() {
        QTest::addColumn<int>("menu");     // the key pressed with Alt; 0: a shortcut
        QTest::addColumn<int>("item");     // the item's key (with Ctrl for a shortcut)
        QTest::addColumn<QString>("asks"); // the file dialog's title; "print": printed
        QTest::newRow("Alt+D, O") << int(Qt::Key_D) << int(Qt::Key_O) << "Otvori set pitanja";
        QTest::newRow("Alt+D, K") << int(Qt::Key_D) << int(Qt::Key_K) << "Snimi set pitanja kao";
        QTest::newRow("Alt+U, U") << int(Qt::Key_U) << int(Qt::Key_U) << "Uvezi pitanja";
        QTest::newRow("Alt+U, I") << int(Qt::Key_U) << int(Qt::Key_I) << "Izvezi pitanja";
        QTest::newRow("Alt+U, O") << int(Qt::Key_U) << int(Qt::Key_O)
                                  << "Objavi kviz kao veb stranu";
        QTest::newRow("Alt+T, P") << int(Qt::Key_T) << int(Qt::Key_P) << "Sacuvaj test kao PDF";
        QTest::newRow("Alt+T, S") << int(Qt::Key_T) << int(Qt::Key_S) << "print";
        QTest::newRow("Ctrl+O") << 0 << int(Qt::Key_O) << "Otvori set pitanja";
        QTest::newRow("Ctrl+I") << 0 << int(Qt::Key_I) << "Uvezi pitanja";
    }

    void editorMenuFromTheKeyboard() {
        QFETCH(int, menu);
        QFETCH(int, item);
        QFETCH(QString, asks);
        Editor e;
        editor::Form1& form = e.form;
        QTest::keyClicks(form.Text2, QStringLiteral("Pitanje sa tastature"));
        if (menu) {
            press(Qt::Key(menu), Qt::AltModifier);
            QMenu* open = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            QVERIFY(open);
            QVERIFY(form.MenuBar1->actions().contains(open->menuAction()));
            QTest::keyClick(open, Qt::Key(item));
        } else {
            press(Qt::Key(item), Qt::ControlModifier);
        }
        QVERIFY(!QApplication::activePopupWidget());
        if (asks == QStringLiteral("print")) {
            QVERIFY(e.responder.fileQuestions().isEmpty());
            QCOMPARE(e.responder.printJobs().size() + e.responder.openedDocuments().size(), 1);
            for (const QString& pdf : e.responder.openedDocuments())
                QFile::remove(pdf);
        } else {
            QCOMPARE(e.responder.fileQuestions().size(), 1);
            QCOMPARE(e.responder.fileQuestions().first().title, asks);
        }
        // The buttons keep their keys: Alt+S saves, Alt+O goes to "&Otvori".
        // A button's access key presses it as a click does, a moment later.
        press(Qt::Key_S, Qt::AltModifier);
        QTRY_COMPARE(QFileInfo(e.folder.file(QStringLiteral("varnikol.dyr"))).size(), 21 * 412);
        press(Qt::Key_O, Qt::AltModifier);
        QVERIFY(form.Command1->hasFocus() || form.Command3->hasFocus());
        QVERIFY(!QApplication::activePopupWidget());
        form.Unload();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    // A screen reader hears the menu bar's menus and each item by its caption, and
    // what the item does.
    void editorMenuIsHeard() {
        Editor e;
        editor::Form1& form = e.form;
        QAccessibleInterface* bar = reachable(form.window()).value(form.MenuBar1);
        QVERIFY(bar);
        QStringList menus;
        for (int i = 0; i < bar->childCount(); ++i)
            menus << bar->child(i)->text(QAccessible::Name);
        QCOMPARE(menus, QStringList({"Datoteka", "Uvoz i izvoz", "Stampa"}));
        QAccessibleInterface* transfer = QAccessible::queryAccessibleInterface(form.mnuTransfer);
        QVERIFY(transfer);
        QStringList items;
        for (int i = 0; i < transfer->childCount(); ++i) {
            QAccessibleInterface* child = transfer->child(i);
            if (child->role() != QAccessible::Separator)
                items << child->text(QAccessible::Name);
        }
        QCOMPARE(items, QStringList(
                            {"Uvezi pitanja...", "Izvezi pitanja...", "Objavi kao veb stranu..."}));
        form.Unload();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
};

QTEST_MAIN(TestAccess)
#include "tst_access.moc"
