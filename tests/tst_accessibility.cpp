// What a screen reader is told about every control of both programs, read through
// QAccessible as an assistive technology reads it.
#include "../editor/program.h"
#include "../kviz/program.h"
#include "assets.h"
#include "conversions.h"
#include "testsupport.h"

#include <QAccessible>
#include <QTest>

using testsupport::ScriptedResponder;
using testsupport::TempAppFolder;

namespace {

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

// The text a control shows, where it shows one.
QString shownText(QWidget* widget) {
    if (auto* label = qobject_cast<QLabel*>(widget))
        return label->pixmap().isNull() ? label->text() : QStringLiteral("<picture>");
    if (auto* frame = qobject_cast<QGroupBox*>(widget))
        return frame->title();
    return QStringLiteral("<control>");
}

} // namespace

class TestAccessibility : public QObject {
    Q_OBJECT

private slots:
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
};

QTEST_MAIN(TestAccessibility)
#include "tst_accessibility.moc"
