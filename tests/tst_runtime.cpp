// The window runtime: load and unload, controls back at design values, the handler
// boundary, option buttons, timers and the message box.
#include "apppath.h"
#include "controls.h"
#include "form.h"
#include "testsupport.h"

#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using testsupport::ScriptedResponder;

namespace {

class CounterForm : public rt::Form {
public:
    CounterForm() : rt::Form({QStringLiteral("Form9"), QStringLiteral("Brojac"), 3000, 1500}) {}

    int Clicks = 0; // window-level: survives unload
    int loads = 0;
    int unloads = 0;
    bool failLoad = false;
    bool refuseClose = false;
    QList<int> windowKeys; // keys that reached Form_KeyDown
    rt::CommandButton* Command1 = nullptr;
    rt::ControlArray<rt::OptionButton> Option1;
    rt::Timer* Timer1 = nullptr;
    int ticks = 0;

    void Command1_Click() {
        ++Clicks;
        Command1->setText(QStringLiteral("Kliknuto"));
        if (Clicks == 3)
            throw std::runtime_error("treci klik");
    }

protected:
    void createControls(QWidget* client) override {
        Command1 = new rt::CommandButton(client, QStringLiteral("Command1"),
                                         QStringLiteral("&Klik"), 120, 120, 1200, 375);
        on(Command1, &QPushButton::clicked, [this] { Command1_Click(); });
        for (int i = 0; i < 2; ++i)
            Option1.add(new rt::OptionButton(client, QStringLiteral("Option1_%1").arg(i),
                                             QStringLiteral("jedan dugacak odgovor koji se lomi"),
                                             120 + 1500 * i, 600, 1400, 650));
        Timer1 = new rt::Timer(client, QStringLiteral("Timer1"), 1);
        on(Timer1, &QTimer::timeout, [this] { ++ticks; });
    }
    void releaseControls() override {
        Command1 = nullptr;
        Timer1 = nullptr;
        Option1.clear();
    }
    void Form_Load() override {
        ++loads;
        if (failLoad)
            rt::raise(rt::ErrorKind::TypeMismatch);
    }
    void Form_Unload() override { ++unloads; }
    bool Form_QueryUnload() override { return !refuseClose; }
    bool Form_KeyDown(int KeyCode, Qt::KeyboardModifiers) override {
        windowKeys.append(KeyCode);
        return KeyCode == Qt::Key_X;
    }
};

// Shows the window, makes it active and gives the named control the focus.
void focusOn(rt::Form& form, const QString& name) {
    form.Show();
    QApplication::setActiveWindow(form.window());
    auto* control = form.window()->findChild<QWidget*>(name);
    QVERIFY(control);
    control->setFocus(Qt::TabFocusReason);
    QVERIFY(control->hasFocus());
}

// Presses a key the way the platform delivers it: to the window's focus.
void press(rt::Form& form, Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QTest::keyClick(form.window()->windowHandle(), key, modifiers);
}

// How many pixels along the control's focus-mark line, four pixels in from its
// left edge, have the colour of its text.
int markPixels(QWidget* control) {
    const QImage image = control->grab().toImage();
    const QColor ink = control->palette().color(QPalette::Active, QPalette::ButtonText);
    int count = 0;
    for (int y = 6; y < image.height() - 6; ++y)
        count += QColor(image.pixel(4, y)) == ink ? 1 : 0;
    return count;
}

} // namespace

class TestRuntime : public QObject {
    Q_OBJECT

private slots:
    void twips() {
        QCOMPARE(rt::px(6330), 422);
        QCOMPARE(rt::px(120), 8);
        QCOMPARE(rt::px(-6276), -418);
        QCOMPARE(rt::twipsRect(480, 840, 2430, 650), QRect(32, 56, 162, 43));
    }

    void variablesOutliveUnloadControlsDoNot() {
        ScriptedResponder responder;
        CounterForm form;
        form.Show();
        QCOMPARE(form.window()->size(), QSize(200, 100));
        QCOMPARE(form.Caption(), QStringLiteral("Brojac"));
        QTest::mouseClick(form.Command1, Qt::LeftButton);
        QCOMPARE(form.Clicks, 1);
        QCOMPARE(form.Command1->text(), QStringLiteral("Kliknuto"));
        form.Command1->setEnabled(false);
        QPointer<QWidget> oldWindow = form.window();
        form.Unload();
        QCOMPARE(form.unloads, 1);
        QVERIFY(!form.isLoaded());
        QVERIFY(!oldWindow->isVisible());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(oldWindow.isNull());

        form.Show();
        QCOMPARE(form.loads, 2);
        QCOMPARE(form.Clicks, 1);
        QCOMPARE(form.Command1->text(), QStringLiteral("&Klik"));
        QVERIFY(form.Command1->isEnabled());
        form.Unload();
    }

    void closingTheWindowUnloadsIt() {
        ScriptedResponder responder;
        CounterForm form;
        form.Show();
        form.refuseClose = true;
        form.window()->close();
        QVERIFY(form.isLoaded());
        QCOMPARE(form.unloads, 0);
        form.refuseClose = false;
        form.window()->close();
        QVERIFY(!form.isLoaded());
        QCOMPARE(form.unloads, 1);
    }

    void failedLoadLeavesNoWindow() {
        CounterForm form;
        form.failLoad = true;
        QVERIFY_THROWS_EXCEPTION(rt::RuntimeError, form.Show());
        QVERIFY(!form.isLoaded());
        form.failLoad = false;
        form.Show();
        QVERIFY(form.isVisible());
        form.Unload();
    }

    void handlerErrorsAreReportedAndTheProgramGoesOn() {
        ScriptedResponder responder;
        CounterForm form;
        form.Show();
        form.Clicks = 2;
        QTest::mouseClick(form.Command1, Qt::LeftButton);
        QCOMPARE(responder.calls().size(), 1);
        QCOMPARE(responder.last().title, QStringLiteral("Greska"));
        QCOMPARE(responder.last().flags, int(rt::vbCritical));
        QVERIFY(responder.last().prompt.contains(QStringLiteral("treci klik")));
        QTest::mouseClick(form.Command1, Qt::LeftButton);
        QCOMPARE(form.Clicks, 4);
        form.Unload();
    }

    void endAbandonsTheHandler() {
        ScriptedResponder responder;
        bool after = false;
        rt::runHandler([&] {
            rt::End();
            after = true;
        });
        QVERIFY(!after);
        QCOMPARE(responder.endCount(), 1);
        QVERIFY(responder.calls().isEmpty());
    }

    void missingControlMember() {
        CounterForm form;
        form.Load();
        QCOMPARE(form.Option1.Count(), 2);
        QVERIFY_THROWS_EXCEPTION(rt::RuntimeError, form.Option1(2));
        QVERIFY_THROWS_EXCEPTION(rt::RuntimeError, form.Option1(-1));
        form.Unload();
    }

    void optionButtonsExcludeEachOtherAndClear() {
        CounterForm form;
        form.Show();
        rt::OptionButton* a = form.Option1(0);
        rt::OptionButton* b = form.Option1(1);
        QTest::mouseClick(a, Qt::LeftButton, {}, QPoint(a->width() - 5, a->height() / 2));
        QCOMPARE(a->Value(), -1);
        b->setValue(-1);
        QCOMPARE(a->Value(), 0);
        QCOMPARE(b->Value(), -1);
        b->setValue(0);
        QCOMPARE(b->Value(), 0);
        QCOMPARE(a->Value(), 0);
        // The caption wraps inside the box instead of running out of it.
        auto* caption = a->findChild<QLabel*>();
        QVERIFY(caption->wordWrap());
        QVERIFY(caption->geometry().right() < a->width());
        form.Unload();
    }

    void timersStopWithTheWindowAndKeepADesktopPace() {
        CounterForm form;
        form.Load();
        QCOMPARE(form.Timer1->Interval(), 1);
        QCOMPARE(form.Timer1->interval(), rt::MinTimerIntervalMs);
        QTRY_VERIFY(form.ticks > 0);
        form.Unload();
        const int ticks = form.ticks;
        QTest::qWait(60);
        QCOMPARE(form.ticks, ticks);
    }

    // Enter presses a focused button as Space does; keys that no control takes
    // reach the window.
    void keysOnAFocusedButton() {
        ScriptedResponder responder;
        CounterForm form;
        focusOn(form, QStringLiteral("Command1"));
        press(form, Qt::Key_Return);
        QCOMPARE(form.Clicks, 1);
        press(form, Qt::Key_Enter, Qt::KeypadModifier);
        QCOMPARE(form.Clicks, 2);
        press(form, Qt::Key_X);
        QCOMPARE(form.Clicks, 2);
        QCOMPARE(form.windowKeys, QList<int>{Qt::Key_X});
        form.Command1->setEnabled(false);
        form.Command1->setFocus();
        QTest::keyClick(form.Command1, Qt::Key_Return);
        QCOMPARE(form.Clicks, 2);
        form.Unload();
    }

    void focusMark() {
        CounterForm form;
        focusOn(form, QStringLiteral("Option1_0"));
        QCOMPARE(markPixels(form.Command1), 0);
        form.Command1->setFocus();
        QVERIFY(markPixels(form.Command1) > 3);
        // Around the caption of a focused option button.
        rt::OptionButton* option = form.Option1(1);
        const QImage plain = option->grab().toImage();
        option->setFocus();
        QVERIFY(option->grab().toImage() != plain);
        form.Unload();
    }

    void arrowKeysMoveTheSelection_data() {
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("to");
        QTest::newRow("down") << 0 << int(Qt::Key_Down) << 1;
        QTest::newRow("right") << 0 << int(Qt::Key_Right) << 1;
        QTest::newRow("down, round the end") << 1 << int(Qt::Key_Down) << 0;
        QTest::newRow("up, round the start") << 0 << int(Qt::Key_Up) << 1;
        QTest::newRow("left") << 1 << int(Qt::Key_Left) << 0;
    }

    // As on the platform the windows imitate: the arrow selects, not only focuses.
    void arrowKeysMoveTheSelection() {
        QFETCH(int, from);
        QFETCH(int, key);
        QFETCH(int, to);
        CounterForm form;
        focusOn(form, QStringLiteral("Option1_%1").arg(from));
        QCOMPARE(form.Option1(from)->Value(), 0);
        press(form, Qt::Key(key));
        QCOMPARE(form.Option1(to)->Value(), -1);
        QCOMPARE(form.Option1(from)->Value(), 0);
        QVERIFY(form.Option1(to)->hasFocus());
        QVERIFY(form.windowKeys.isEmpty());
        form.Unload();
    }

    // A colour set on an enabled control leaves the disabled grey alone.
    void disabledTextStaysGrey() {
        CounterForm form;
        form.Load();
        rt::setTextColor(form.Command1, rt::Blue);
        const QPalette palette = form.Command1->palette();
        QCOMPARE(palette.color(QPalette::Active, QPalette::ButtonText), rt::Blue);
        QCOMPARE(palette.color(QPalette::Disabled, QPalette::ButtonText),
                 rt::classicPalette().color(QPalette::Disabled, QPalette::ButtonText));
        rt::setDefaultTextColor(form.Command1);
        QCOMPARE(form.Command1->palette().color(QPalette::Active, QPalette::ButtonText),
                 QColor(Qt::black));
        form.Unload();
    }

    // The platform would show the program's name for an empty title.
    void emptyCaptionShowsBlank() {
        CounterForm form;
        form.Show();
        form.setCaption(QString());
        QCOMPARE(form.Caption(), QString());
        QVERIFY(!form.window()->windowTitle().isEmpty());
        QVERIFY(form.window()->windowTitle().trimmed().isEmpty());
        form.setCaption(QStringLiteral("[q"));
        QCOMPARE(form.window()->windowTitle(), QStringLiteral("[q"));
        // A screen reader keeps the design caption.
        QCOMPARE(QAccessible::queryAccessibleInterface(form.window())->text(QAccessible::Name),
                 QStringLiteral("Brojac"));
        QCOMPARE(form.Timer1->timerType(), Qt::PreciseTimer);
        form.Unload();
    }

    void spokenText_data() {
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("spoken");
        QTest::newRow("access key") << "&Sledece >>>"
                                    << "Sledece >>>";
        QTest::newRow("padding") << QStringLiteral("Beograd").leftJustified(80) << "Beograd";
        QTest::newRow("leading space") << " VarNiKoL"
                                       << "VarNiKoL";
        QTest::newRow("double space") << "postavio  VarNiKoL"
                                      << "postavio VarNiKoL";
        QTest::newRow("up to NUL")
            << QStringLiteral("ab") + QChar(0) + QStringLiteral("cd") << "ab";
        QTest::newRow("ampersand") << "A && B"
                                   << "A & B";
    }

    void spokenText() {
        QFETCH(QString, caption);
        QFETCH(QString, spoken);
        QCOMPARE(rt::spokenText(caption), spoken);
    }

    void fontWarning_data() {
        QTest::addColumn<QString>("family");
        QTest::addColumn<bool>("warns");
        QTest::newRow("Times New Roman") << "Times New Roman" << false;
        QTest::newRow("Liberation Serif") << "Liberation Serif" << false;
        QTest::newRow("Tinos") << "Tinos" << false;
        QTest::newRow("DejaVu Serif") << "DejaVu Serif" << true;
        QTest::newRow("nothing found") << "" << true;
    }

    void fontWarning() {
        QFETCH(QString, family);
        QFETCH(bool, warns);
        const QString warning = rt::fontWarning(family);
        QCOMPARE(!warning.isEmpty(), warns);
        if (warns) {
            QVERIFY(warning.contains(QStringLiteral("fonts-liberation")));
            QVERIFY(warning.contains(family));
        }
    }

    // A word wider than its box takes a smaller size; a text that fits gets the
    // design size back.
    void labelKeepsItsTextInside() {
        QWidget parent;
        rt::Label label(&parent, QStringLiteral("Label1"), QStringLiteral("(B)"), 0, 0, 375, 375);
        // The font as the label holds it: resolved against the application's font.
        const QFont design = rt::timesFont(20, true).resolve(QApplication::font());
        label.setFont(design);
        QVERIFY(label.font().pointSizeF() < 20);
        QCOMPARE(label.designFont(), design);
        QVERIFY(QFontMetrics(label.font()).horizontalAdvance(label.text()) <= label.width());
        QCOMPARE(label.accessibleName(), QStringLiteral("(B)"));
        label.setText(QStringLiteral("B"));
        QCOMPARE(label.font(), design);
    }

    // With a dark application palette the box keeps the runtime's light one, and a
    // screen reader reads its title and prompt.
    void realMessageBoxLooksAndReads() {
        const QPalette before = QApplication::palette();
        QPalette dark(QColor(40, 40, 40));
        dark.setColor(QPalette::WindowText, Qt::white);
        QApplication::setPalette(dark);
        QTimer::singleShot(0, [] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            QVERIFY(box);
            QCOMPARE(box->palette().color(QPalette::Window),
                     rt::classicPalette().color(QPalette::Window));
            QCOMPARE(box->palette().color(QPalette::WindowText), QColor(Qt::black));
            QAccessibleInterface* spoken = QAccessible::queryAccessibleInterface(box);
            QCOMPARE(spoken->text(QAccessible::Name), QStringLiteral("[qo] Kviz"));
            QCOMPARE(spoken->text(QAccessible::Description), QStringLiteral("TACAN odgovor"));
            box->button(QMessageBox::Ok) ? box->button(QMessageBox::Ok)->click()
                                         : box->buttons().first()->click();
        });
        QCOMPARE(rt::MsgBox(QStringLiteral("TACAN odgovor"), rt::vbInformation,
                            QStringLiteral("[qo] Kviz")),
                 int(rt::vbOK));
        QApplication::setPalette(before);
    }

    void realMessageBoxReturnsYes() {
        QTimer::singleShot(0, [] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            QVERIFY(box);
            QCOMPARE(box->windowTitle(), QStringLiteral("Izlaz"));
            QCOMPARE(box->icon(), QMessageBox::Information);
            QCOMPARE(box->buttons().size(), 2);
            for (QAbstractButton* button : box->buttons()) {
                if (box->buttonRole(button) == QMessageBox::YesRole)
                    button->click();
            }
        });
        QCOMPARE(rt::MsgBox(QStringLiteral("Dali ocete sigurno da izadjete"), 68,
                            QStringLiteral("Izlaz")),
                 int(rt::vbYes));
    }

    // The real save dialog gives a name typed without an extension the chosen filter's,
    // and asks before replacing the file so named.
    void realSaveDialogAddsTheFiltersExtension_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("filter"); // the filter the user chooses
        QTest::addColumn<QString>("existing");
        QTest::addColumn<QString>("chosen");
        QTest::addColumn<bool>("asked"); // whether replacing was asked about
        QTest::newRow("the first filter") << "pitanja" << 0 << ""
                                          << "pitanja.xml" << false;
        QTest::newRow("another filter") << "pitanja" << 1 << ""
                                        << "pitanja.gift" << false;
        QTest::newRow("an extension typed") << "pitanja.txt" << 1 << ""
                                            << "pitanja.txt" << false;
        QTest::newRow("a file of that name") << "pitanja" << 1 << "pitanja.gift"
                                             << "pitanja.gift" << true;
    }

    void realSaveDialogAddsTheFiltersExtension() {
        QFETCH(QString, typed);
        QFETCH(int, filter);
        QFETCH(QString, existing);
        QFETCH(QString, chosen);
        QFETCH(bool, asked);
        QTemporaryDir folder;
        if (!existing.isEmpty()) {
            QFile file(folder.filePath(existing));
            QVERIFY(file.open(QIODevice::WriteOnly));
        }
        auto replaceAsked = std::make_shared<bool>(false);
        QTimer::singleShot(0, [=] {
            auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            auto* types = dialog->findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
            QVERIFY(types);
            for (int i = 0; i < filter; ++i)
                QTest::keyClick(types, Qt::Key_Down);
            auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
            QVERIFY(name);
            name->setText(typed);
            QTimer::singleShot(0, [=] {
                auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
                if (!box)
                    return;
                *replaceAsked = true;
                box->button(QMessageBox::Yes)->click();
            });
            QTest::keyClick(name, Qt::Key_Return);
        });
        const rt::FileAnswer answer = rt::FileDialog(
            {true,
             QStringLiteral("Izvezi pitanja"),
             folder.filePath(QStringLiteral("banka")),
             {QStringLiteral("Moodle XML (*.xml)"), QStringLiteral("GIFT (*.gift *.txt)")}});
        QCOMPARE(answer.path, folder.filePath(chosen));
        QCOMPARE(*replaceAsked, asked);
    }
};

QTEST_MAIN(TestRuntime)
#include "tst_runtime.moc"
