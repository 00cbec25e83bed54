// How the windows look whatever the desktop: readable under a dark theme, captions
// inside their boxes with other serif faces, disabled buttons grey, and centred
// windows on the screen of the window they replace. Runs on two offscreen screens.
#include "../editor/program.h"
#include "../kviz/program.h"
#include "testsupport.h"

#include <QApplication>
#include <QDir>
#include <QFontInfo>
#include <QScreen>
#include <QTemporaryFile>
#include <QTest>
#include <algorithm>
#include <cmath>

using testsupport::ScriptedResponder;
using testsupport::TempAppFolder;

namespace {

double luminance(const QColor& color) {
    const auto channel = [](double c) {
        return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(color.redF()) + 0.7152 * channel(color.greenF()) +
           0.0722 * channel(color.blueF());
}

// The contrast ratio of two colours, 1 to 21.
double contrast(const QColor& a, const QColor& b) {
    const double la = luminance(a);
    const double lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// The colour a widget's text is drawn on: its own fill, or that of the nearest
// container that fills itself, or the window's.
QColor groundOf(const QWidget* widget) {
    if (qobject_cast<const QLineEdit*>(widget))
        return widget->palette().color(QPalette::Base);
    if (qobject_cast<const QPushButton*>(widget))
        return widget->palette().color(QPalette::Button);
    for (const QWidget* w = widget; w; w = w->parentWidget()) {
        if (w->autoFillBackground() || w->isWindow() || qobject_cast<const QGroupBox*>(w))
            return w->palette().color(w->backgroundRole());
    }
    return Qt::white;
}

QColor inkOf(const QWidget* widget) {
    if (qobject_cast<const QLineEdit*>(widget))
        return widget->palette().color(QPalette::Text);
    if (qobject_cast<const QPushButton*>(widget))
        return widget->palette().color(QPalette::ButtonText);
    return widget->palette().color(widget->foregroundRole());
}

// Five questions of ordinary length.
void writeQuiz() {
    QList<qo::QuestionRecord> records(5);
    for (int n = 1; n <= 5; ++n) {
        qo::QuestionRecord& r = records[n - 1];
        r.Number = QString::number(n);
        r.Question = QStringLiteral("Sta znaci kada neko na forumu pise SVIM VELIKIM SLOVIMA?");
        r.Answers[0] = QStringLiteral("Da mu je pokvarena tastatura");
        r.Answers[1] = QStringLiteral("Da vice na sagovornike");
        r.Answers[2] = QStringLiteral("Da je on administrator foruma");
        r.Answers[3] = QStringLiteral("Da je to najvaznija tema dana");
        r.Correct = 1;
    }
    testsupport::writeSet(QStringLiteral("varnikol.dyr"), records);
}

// Every window of both programs, each as the user sees it at one moment: the
// splash, the menu, the credits, the editor, and the quiz window twice, on its
// first question and with the score panel slid in.
struct Windows {
    Windows() {
        writeQuiz();
        quiz.form1.Show();
        quiz.form2.Show();
        quiz.form4.Show();
        editorProgram.form1.Show();
        quiz.module1.SetFileName = QStringLiteral("varnikol.dyr");
        quiz.form3.Show();
    }
    ~Windows() {
        for (rt::Form* form : forms())
            form->Unload();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    QList<rt::Form*> forms() {
        return {&quiz.form1, &quiz.form2, &quiz.form3, &quiz.form4, &editorProgram.form1};
    }
    void finishQuiz() {
        kviz::Form3& form = quiz.form3;
        for (int n = 0; n < 5; ++n) {
            form.Option1(n % 2)->setValue(-1);
            form.Command1->click();
        }
        while (form.QuizFinished && form.Frame2->Left() > 120)
            form.Timer2_Timer();
    }
    TempAppFolder folder;
    ScriptedResponder responder;
    kviz::Program quiz;
    editor::Program editorProgram;
};

// The controls of a window that show a text to read.
QList<QWidget*> captionsOf(const rt::Form& form) {
    QList<QWidget*> captions;
    for (QWidget* widget : form.window()->findChildren<QWidget*>()) {
        if (!widget->isVisibleTo(form.window()) || !widget->isEnabled())
            continue;
        if (auto* label = qobject_cast<QLabel*>(widget)) {
            if (label->pixmap().isNull() && !label->text().trimmed().isEmpty())
                captions << widget;
        } else if (auto* frame = qobject_cast<QGroupBox*>(widget)) {
            if (!frame->title().isEmpty())
                captions << widget;
        } else if (qobject_cast<QPushButton*>(widget) || qobject_cast<QLineEdit*>(widget)) {
            captions << widget;
        }
    }
    return captions;
}

QPointF centreOf(const QRect& rect) {
    return QRectF(rect).center();
}

bool sameCentre(const QRect& outer, const QRect& area) {
    const QPointF d = centreOf(outer) - centreOf(area);
    return std::abs(d.x()) <= 1 && std::abs(d.y()) <= 1;
}

} // namespace

class TestLook : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

    // Runs first: with no window yet, the splash opens on the screen under the mouse.
    void firstWindowOpensUnderTheMouse() {
        const QList<QScreen*> screens = QGuiApplication::screens();
        QCOMPARE(screens.size(), 2);
        QCursor::setPos(screens[1]->geometry().center());
        kviz::Program program;
        program.start();
        QWidget* splash = program.form1.window();
        QCOMPARE(splash->screen(), screens[1]);
        QVERIFY(sameCentre(splash->frameGeometry(), screens[1]->availableGeometry()));
        program.form1.Unload();
    }

    // Each centred window opens, frame included, in the middle of the screen of the
    // window it replaces, wherever the mouse is.
    void windowsFollowTheWindowTheyReplace() {
        const QList<QScreen*> screens = QGuiApplication::screens();
        QCursor::setPos(screens[0]->geometry().center());
        TempAppFolder folder;
        ScriptedResponder responder;
        writeQuiz();
        kviz::Program program;
        program.form2.Show();
        program.form2.window()->move(screens[1]->geometry().topLeft() + QPoint(50, 50));
        QCOMPARE(program.form2.window()->screen(), screens[1]);

        program.form2.Image1_Click();
        QWidget* quiz = program.form3.window();
        QCOMPARE(quiz->screen(), screens[1]);
        QVERIFY(sameCentre(quiz->frameGeometry(), screens[1]->availableGeometry()));

        // The player drags the quiz window to the other screen; the menu follows.
        quiz->move(screens[0]->geometry().topLeft() + QPoint(20, 20));
        program.form3.Command3_Click();
        QWidget* menu = program.form2.window();
        QCOMPARE(menu->screen(), screens[0]);
        QVERIFY(sameCentre(menu->frameGeometry(), screens[0]->availableGeometry()));
        program.form2.Image5_Click();
        QCOMPARE(program.form4.window()->screen(), screens[0]);
        program.form4.Unload();
    }

    void darkThemeKeepsCaptionsReadable_data() {
        QTest::addColumn<bool>("finished");
        QTest::newRow("quiz on its first question") << false;
        QTest::newRow("score panel slid in") << true;
    }

    // A dark desktop palette, set before any window opens, changes nothing: every
    // caption keeps a contrast of at least 4.5 against what it is drawn on.
    void darkThemeKeepsCaptionsReadable() {
        QFETCH(bool, finished);
        const QPalette before = QApplication::palette();
        QPalette dark(QColor(53, 53, 53));
        dark.setColor(QPalette::WindowText, QColor(230, 230, 230));
        dark.setColor(QPalette::Text, QColor(230, 230, 230));
        dark.setColor(QPalette::ButtonText, QColor(230, 230, 230));
        dark.setColor(QPalette::Base, QColor(30, 30, 30));
        QApplication::setPalette(dark);
        {
            Windows windows;
            if (finished)
                windows.finishQuiz();
            int checked = 0;
            for (rt::Form* form : windows.forms()) {
                for (QWidget* caption : captionsOf(*form)) {
                    const double ratio = contrast(inkOf(caption), groundOf(caption));
                    QVERIFY2(ratio >= 4.5, qPrintable(QStringLiteral("%1 %2: %3")
                                                          .arg(form->design().name)
                                                          .arg(caption->objectName())
                                                          .arg(ratio)));
                    ++checked;
                }
            }
            QVERIFY(checked > 40);
        }
        QApplication::setPalette(before);
    }

    // A disabled button draws its caption grey, not in the colour set for it.
    void disabledButtonsLookDisabled() {
        Windows windows;
        editor::Form1& form = windows.editorProgram.form1;
        QVERIFY(!form.Command4->isEnabled());
        const QColor disabled =
            form.Command4->palette().color(QPalette::Disabled, QPalette::ButtonText);
        const QColor enabled =
            form.Command5->palette().color(QPalette::Active, QPalette::ButtonText);
        QVERIFY(contrast(disabled, enabled) > 3);
        QCOMPARE(disabled, rt::classicPalette().color(QPalette::Disabled, QPalette::ButtonText));
    }

    void serifFacesKeepCaptionsInside_data() {
        QTest::addColumn<QString>("family");
        QTest::newRow("DejaVu Serif") << "DejaVu Serif";
        QTest::newRow("URW Nimbus Roman") << "Nimbus Roman";
        QTest::newRow("Liberation Serif") << "Liberation Serif";
    }

    // Each window drawn with another serif face in place of Times New Roman: no
    // label, option caption or frame caption runs out of its box, and a text box's
    // line keeps its height. Liberation Serif, Times New Roman's metric twin, keeps
    // the design sizes.
    void serifFacesKeepCaptionsInside() {
        QFETCH(QString, family);
        // The database may name a face with its foundry: "Nimbus Roman [urw]".
        if (!QFontInfo(QFont(family)).family().startsWith(family))
            QSKIP(qPrintable(family + QStringLiteral(" is not installed")));
        rt::setSerifFamilyForTesting(family);
        {
            Windows windows;
            windows.finishQuiz();
            windows.quiz.form3.Unload();
            windows.quiz.form3.Show(); // the question panel again, the score panel filled
            for (int n = 0; n < 5; ++n) {
                windows.quiz.form3.Option1(0)->setValue(-1);
                windows.quiz.form3.Command1->click();
            }
            for (rt::Form* form : windows.forms()) {
                form->window()->grab(); // lays out and draws the window offscreen
                for (auto* label : form->window()->findChildren<rt::Label*>()) {
                    const QString where = form->design().name + QLatin1Char(' ') +
                                          label->objectName() + QStringLiteral(": ");
                    if (label->text().isEmpty())
                        continue;
                    QVERIFY(QFontInfo(label->font()).family().startsWith(family));
                    const QFontMetrics metrics(label->font());
                    const QRect box = label->contentsRect();
                    const int flags = int(label->alignment() & ~Qt::AlignVertical_Mask) |
                                      Qt::AlignTop |
                                      (label->wordWrap() ? Qt::TextWordWrap : Qt::TextSingleLine);
                    const QRect needed = metrics.boundingRect(box, flags, label->text());
                    QVERIFY2(needed.width() <= box.width() + 1,
                             qPrintable(where + QString::number(needed.width())));
                    const int oneLine =
                        std::max({box.height(), metrics.height(), metrics.lineSpacing()});
                    QVERIFY2(needed.height() <= oneLine,
                             qPrintable(where + QString::number(needed.height())));
                    // With the face the windows are drawn for, nothing is made smaller.
                    if (family == QStringLiteral("Liberation Serif"))
                        QVERIFY2(label->font() == label->designFont(), qPrintable(where));
                }
                for (auto* frame : form->window()->findChildren<rt::Frame*>()) {
                    const int width =
                        QFontMetrics(frame->captionFont()).horizontalAdvance(frame->title());
                    QVERIFY2(width + 12 <= frame->width(), qPrintable(frame->objectName()));
                }
                for (auto* box : form->window()->findChildren<rt::TextBox*>())
                    QVERIFY2(box->lineHeight() <= box->textRoom(), qPrintable(box->objectName()));
            }
        }
        rt::setSerifFamilyForTesting(QString());
    }
};

// Two screens side by side, so that the tests can tell which one a window opens on.
int main(int argc, char* argv[]) {
    // The platform's options are split at colons, so the file's name holds none: on
    // Windows, where a full name starts with a drive ("C:"), it lies in the current
    // folder and is named relative to it.
#if defined(Q_OS_WIN)
    QTemporaryFile screens(QStringLiteral("tst_look-screens-XXXXXX.json"));
    if (!screens.open())
        return 1;
    const QString screensName = QDir::current().relativeFilePath(screens.fileName());
#else
    QTemporaryFile screens;
    if (!screens.open())
        return 1;
    const QString screensName = screens.fileName();
#endif
    screens.write(R"({"windowFrameMargins": true, "screens": [
        {"name": "links", "x": 0, "y": 0, "width": 1024, "height": 768, "logicalDpi": 96},
        {"name": "desno", "x": 1024, "y": 0, "width": 1280, "height": 1024, "logicalDpi": 96}]})");
    screens.flush();
    qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + screensName.toLocal8Bit());
    QApplication app(argc, argv);
    TestLook test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_look.moc"
