// The window runtime: load and unload, controls back at design values, the handler
// boundary, option buttons, timers and the message box.
#include "apppath.h"
#include "controls.h"
#include "form.h"
#include "questionsetfile.h"
#include "testsupport.h"

#include <QApplication>
#include <QMessageBox>
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
};

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

    void handlerBoundaryClosesAForgottenSetFile() {
        ScriptedResponder responder;
        testsupport::TempAppFolder folder;
        rt::runHandler([] {
            qo::QuestionSetFile::OpenSetFile(QStringLiteral("a.dyr"));
            qo::QuestionSetFile::WriteQuestion(1, qo::QuestionRecord());
            rt::raise(rt::ErrorKind::SubscriptOutOfRange);
        });
        QVERIFY(!qo::QuestionSetFile::isOpen());
        QCOMPARE(testsupport::readAll(folder.file(QStringLiteral("a.dyr"))), QByteArray());
        QCOMPARE(responder.last().prompt, rt::errorText(rt::ErrorKind::SubscriptOutOfRange));
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
};

QTEST_MAIN(TestRuntime)
#include "tst_runtime.moc"
