// The quiz program's splash, menu and credits windows, the way the windows hand
// over to each other, and sets named on the command line or dropped on the menu.
#include "assets.h"
#include "commandline.h"
#include "controls.h"
#include "program.h"
#include "questionsetfile.h"
#include "testsupport.h"

#include <QApplication>
#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QMimeData>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

using testsupport::ScriptedResponder;
using testsupport::TempAppFolder;

namespace {

template <typename T = QWidget> T* child(const rt::Form& form, const QString& name) {
    if (!form.window())
        return nullptr;
    return form.window()->findChild<T*>(name);
}

void click(QWidget* widget) {
    QVERIFY(widget);
    QTest::mouseClick(widget, Qt::LeftButton, {}, widget->rect().center());
}

// A timer tick, delivered the way the timer itself delivers it.
void tick(QObject* timer) {
    QVERIFY(timer);
    QVERIFY(QMetaObject::invokeMethod(timer, "timeout"));
}

QByteArray imageKey(const QImage& image) {
    const QImage argb = image.convertToFormat(QImage::Format_ARGB32);
    return QCryptographicHash::hash(
               QByteArrayView(reinterpret_cast<const char*>(argb.constBits()), argb.sizeInBytes()),
               QCryptographicHash::Sha1)
        .toHex();
}

// Everything a person could see of a window and its controls, one line a control.
QStringList snapshot(const rt::Form& form) {
    QStringList lines;
    if (!form.window())
        return lines;
    lines << QStringLiteral("window %1 %2 visible=%3")
                 .arg(form.window()->objectName())
                 .arg(QVariant(form.window()->geometry()).toString())
                 .arg(form.window()->isVisible());
    for (QWidget* w : form.window()->findChildren<QWidget*>()) {
        QString line = QStringLiteral("%1 %2 %3,%4,%5,%6 font=%7 fg=%8 bg=%9 focus=%10 tip=[%11]")
                           .arg(w->metaObject()->className(), w->objectName())
                           .arg(w->x())
                           .arg(w->y())
                           .arg(w->width())
                           .arg(w->height())
                           .arg(w->font().toString())
                           .arg(w->palette().color(QPalette::WindowText).name())
                           .arg(w->palette().color(QPalette::Window).name())
                           .arg(int(w->focusPolicy()))
                           .arg(w->toolTip());
        if (auto* label = qobject_cast<QLabel*>(w)) {
            line += QStringLiteral(" text=[%1]").arg(label->text());
            if (!label->pixmap().isNull())
                line += QStringLiteral(" picture=") + imageKey(label->pixmap().toImage());
        }
        if (auto* frame = qobject_cast<QGroupBox*>(w))
            line += QStringLiteral(" title=[%1]").arg(frame->title());
        if (w->testAttribute(Qt::WA_SetCursor))
            line += QStringLiteral(" cursor=") + imageKey(w->cursor().pixmap().toImage());
        lines << line;
    }
    lines.sort();
    return lines;
}

// Notes, whenever one of the program's windows appears, which other windows are
// on the screen at that moment.
class ShowWatcher : public QObject {
public:
    explicit ShowWatcher(kviz::Program& program) : m_program(program) {
        qApp->installEventFilter(this);
    }
    ~ShowWatcher() override { qApp->removeEventFilter(this); }

    QStringList shows; // "Form2 over Form1", "Form3 alone", ...

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Show && watched->isWidgetType() &&
            static_cast<QWidget*>(watched)->isWindow()) {
            QStringList others;
            for (const rt::Form* form : {static_cast<rt::Form*>(&m_program.form1),
                                         static_cast<rt::Form*>(&m_program.form2),
                                         static_cast<rt::Form*>(&m_program.form3),
                                         static_cast<rt::Form*>(&m_program.form4)}) {
                if (form->isVisible() && form->window() != watched)
                    others << form->design().name;
            }
            shows << watched->objectName() + (others.isEmpty() ? QStringLiteral(" alone")
                                                               : QStringLiteral(" over ") +
                                                                     others.join(QLatin1Char(',')));
        }
        return false;
    }

private:
    kviz::Program& m_program;
};

// Five questions whose texts name the set they come from.
void writeSet(const QString& fileName, const QString& author) {
    QList<qo::QuestionRecord> records(5);
    for (int n = 1; n <= 5; ++n) {
        records[n - 1].Number = QString::number(n);
        records[n - 1].Question = QStringLiteral("%1 pitanje %2").arg(author).arg(n);
    }
    testsupport::writeSet(fileName, records);
}

QString quizQuestion(const kviz::Program& program) {
    auto* label = child<QLabel>(program.form3, QStringLiteral("Label1"));
    return label ? label->text().trimmed() : QString();
}

// A set of five questions that name it, at a path of its own (outside the set folder).
void writeSetAt(const QString& path, const QString& author) {
    QVERIFY(QDir().mkpath(QFileInfo(path).absolutePath()));
    QList<qo::QuestionRecord> records(5);
    for (int n = 1; n <= 5; ++n) {
        records[n - 1].Number = QString::number(n);
        records[n - 1].Question = QStringLiteral("%1 pitanje %2").arg(author).arg(n);
    }
    testsupport::writeAll(path, testsupport::bytesOf(records));
}

// What a file is and holds, to show that nothing wrote to it: its bytes, its time,
// and the names beside it.
QString fileState(const QString& path) {
    const QFileInfo info(path);
    return QStringLiteral("%1 %2 %3 [%4]")
        .arg(info.exists())
        .arg(QString::fromLatin1(testsupport::readAll(path).toHex()))
        .arg(info.lastModified().toMSecsSinceEpoch())
        .arg(testsupport::entries(info.absolutePath()).join(QLatin1Char(' ')));
}

// The splash's single tick, which hands over to the menu or to a named set.
void splashTick(kviz::Program& program) {
    QVERIFY(program.form1.isLoaded());
    tick(program.form1.window()->findChild<QTimer*>(QStringLiteral("Timer1")));
}

// A drag from a file manager over the menu, dropped; then the work the drop leaves for
// after it. Gives whether the window took the drag, and the action it chose.
struct DropResult {
    bool entered = false;
    Qt::DropAction action = Qt::IgnoreAction;
};
DropResult dropOn(QWidget* target, const QMimeData& data) {
    DropResult result;
    const QPoint at = target->rect().center();
    const Qt::DropActions offered = Qt::CopyAction | Qt::MoveAction | Qt::LinkAction;
    QDragEnterEvent enter(at, offered, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    result.entered = enter.isAccepted();
    if (!result.entered)
        return result;
    QDropEvent drop(at, offered, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &drop);
    result.action = drop.isAccepted() ? drop.dropAction() : Qt::IgnoreAction;
    QCoreApplication::sendPostedEvents(nullptr, QEvent::MetaCall);
    return result;
}

const QString RefusedDrop = QStringLiteral("Na meni se prevlaci jedan set pitanja, datoteka .dyr.");

} // namespace

class TestFlow : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

    // The window's lower edge hides the frame's lower border and all of the picture
    // box but the banner's 60 pixels; the box cuts off the banner's right end.
    void splashIsClippedByTheWindow() {
        kviz::Program program;
        program.start();
        auto* frame = child<QGroupBox>(program.form1, QStringLiteral("Frame1"));
        auto* picture = child<QLabel>(program.form1, QStringLiteral("Picture1"));
        QCOMPARE(frame->title(), QStringLiteral("Dorvan Plesic **VarNiKoL** specijalno za [qo]"));
        const QWidget* client = program.form1.client();
        QVERIFY(frame->geometry().bottom() > client->height());
        QCOMPARE(client->height() - picture->y(), picture->pixmap().height());
        QVERIFY(picture->width() < picture->pixmap().width());
        QVERIFY(client->children().indexOf(picture) > client->children().indexOf(frame));
        program.form1.Unload();
    }

    // The real one-second timer: the menu appears while the splash still stands,
    // then the splash goes, and nothing happens again.
    void splashHandsOverToTheMenuOnce() {
        ScriptedResponder responder;
        kviz::Program program;
        ShowWatcher watcher(program);
        QElapsedTimer clock;
        clock.start();
        program.start();
        QCOMPARE(watcher.shows, QStringList{QStringLiteral("Form1 alone")});
        QTRY_VERIFY_WITH_TIMEOUT(program.form2.isVisible(), 5000);
        QVERIFY(clock.elapsed() >= 900); // a coarse timer may fire up to 5% early
        QCOMPARE(watcher.shows,
                 (QStringList{QStringLiteral("Form1 alone"), QStringLiteral("Form2 over Form1")}));
        QVERIFY(!program.form1.isLoaded());
        QTest::qWait(1300);
        QCOMPARE(watcher.shows.size(), 2);
        QVERIFY(program.form2.isVisible());
        QVERIFY(responder.calls().isEmpty());
    }

    void menuControls_data() {
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("tooltip");
        QTest::addColumn<QPoint>("hotSpot");
        const auto row = [](const char* name, const char* caption, const char* tooltip,
                            QPoint hotSpot) {
            QTest::newRow(name) << QString::fromLatin1(caption) << QString::fromLatin1(tooltip)
                                << hotSpot;
        };
        row("Image1", "", "Pitanja koja je postavio  VarNiKoL", QPoint(0, 0));
        row("Label1", " VarNiKoL", "", QPoint());
        row("Image2", "", "Pitanja koja je postavio Tuvek", QPoint(0, 0));
        row("Label3", "Tuvek", "", QPoint());
        row("Image3", "", "Pitanja koja je postavio", QPoint(7, 0));
        row("Label5", "Prazno...", "", QPoint());
        row("Image4", "", "Izlaz", QPoint(16, 15));
        row("Image5", "", "Credits", QPoint(9, 8));
    }

    // Captions and tooltips keep their spaces; each picture has its own pointer and
    // shows at its own size; nothing takes the keyboard focus.
    void menuControls() {
        const QString name = QString::fromLatin1(QTest::currentDataTag());
        QFETCH(QString, caption);
        QFETCH(QString, tooltip);
        QFETCH(QPoint, hotSpot);
        kviz::Program program;
        program.form2.Show();
        QWidget* widget = child(program.form2, name);
        QVERIFY(widget);
        QCOMPARE(widget->toolTip(), tooltip);
        QCOMPARE(widget->focusPolicy(), Qt::NoFocus);
        if (auto* image = qobject_cast<rt::Image*>(widget)) {
            QCOMPARE(image->cursor().hotSpot(), hotSpot);
            QCOMPARE(image->pixmap().size(), image->Picture().availableSizes().first());
        } else {
            QCOMPARE(static_cast<QLabel*>(widget)->text(), caption);
            QVERIFY(!widget->testAttribute(Qt::WA_SetCursor));
        }
        program.form2.Unload();
    }

    void inertPartsOfTheMenu_data() {
        QTest::addColumn<QString>("name");
        for (const char* name : {"Image3", "Label1", "Label3", "Label5", "Frame1"})
            QTest::newRow(name) << QString::fromLatin1(name);
    }

    void inertPartsOfTheMenu() {
        QFETCH(QString, name);
        ScriptedResponder responder;
        kviz::Program program;
        program.form2.Show();
        const QStringList before = snapshot(program.form2);
        click(child(program.form2, name));
        QCOMPARE(snapshot(program.form2), before);
        QVERIFY(responder.calls().isEmpty());
        QCOMPARE(program.module1.SetFileName, QString());
        QVERIFY(!program.form3.isLoaded());
        QVERIFY(!program.form4.isLoaded());
        QVERIFY(!program.form2.window()->focusWidget());
    }

    void exitConfirmation_data() {
        QTest::addColumn<bool>("fromQuiz");
        QTest::addColumn<int>("answer");
        QTest::newRow("menu, No") << false << int(rt::vbNo);
        QTest::newRow("menu, Yes") << false << int(rt::vbYes);
        QTest::newRow("quiz, No") << true << int(rt::vbNo);
        QTest::newRow("quiz, Yes") << true << int(rt::vbYes);
    }

    // No leaves the window exactly as it was; Yes ends the program at once.
    void exitConfirmation() {
        QFETCH(bool, fromQuiz);
        QFETCH(int, answer);
        ScriptedResponder responder;
        TempAppFolder folder;
        writeSet(QStringLiteral("varnikol.dyr"), QStringLiteral("VarNiKoL"));
        kviz::Program program;
        program.form2.Show();
        if (fromQuiz)
            click(child(program.form2, QStringLiteral("Image1")));
        rt::Form& window = fromQuiz ? static_cast<rt::Form&>(program.form3)
                                    : static_cast<rt::Form&>(program.form2);
        QVERIFY(window.isVisible());
        const QStringList before = snapshot(window);
        responder.clear();
        responder.answer(answer);
        click(child(window, fromQuiz ? QStringLiteral("Command2") : QStringLiteral("Image4")));
        QCOMPARE(responder.calls().size(), 1);
        QCOMPARE(responder.last().prompt, QStringLiteral("Dali ocete sigurno da izadjete"));
        QCOMPARE(responder.last().flags, 68);
        QCOMPARE(responder.last().title, QStringLiteral("Izlaz"));
        QCOMPARE(responder.endCount(), answer == rt::vbYes ? 1 : 0);
        if (answer == rt::vbNo)
            QCOMPARE(snapshot(window), before);
        window.Unload();
    }

    // The second author's set replaces the first one's, and every hand-over shows
    // the next window before the menu goes.
    void secondAuthorAfterAQuizOnTheFirst() {
        ScriptedResponder responder;
        TempAppFolder folder;
        writeSet(QStringLiteral("varnikol.dyr"), QStringLiteral("VarNiKoL"));
        writeSet(QStringLiteral("tuvek.dyr"), QStringLiteral("Tuvek"));
        kviz::Program program;
        program.form2.Show();
        ShowWatcher watcher(program);

        click(child(program.form2, QStringLiteral("Image1")));
        QCOMPARE(program.module1.SetFileName, QStringLiteral("varnikol.dyr"));
        QVERIFY(program.form3.isVisible());
        QVERIFY(!program.form2.isLoaded());
        QCOMPARE(quizQuestion(program), QStringLiteral("VarNiKoL pitanje 1"));

        click(child(program.form3, QStringLiteral("Command3")));
        QVERIFY(!program.form3.isLoaded());
        QVERIFY(program.form2.isVisible());

        click(child(program.form2, QStringLiteral("Image2")));
        QCOMPARE(program.module1.SetFileName, QStringLiteral("tuvek.dyr"));
        QVERIFY(program.form3.isVisible());
        QVERIFY(!program.form2.isLoaded());
        QCOMPARE(quizQuestion(program), QStringLiteral("Tuvek pitanje 1"));

        QCOMPARE(watcher.shows,
                 (QStringList{QStringLiteral("Form3 over Form2"), QStringLiteral("Form2 alone"),
                              QStringLiteral("Form3 over Form2")}));
        QVERIFY(responder.calls().isEmpty());
        program.form3.Unload();
    }

    // A set that can't be opened is reported, and the menu stays to choose again.
    void menuStaysWhenTheSetCannotBeOpened() {
        ScriptedResponder responder;
        TempAppFolder folder;
        // A folder where the set file should be: no one, not even root, opens it as a file.
        QVERIFY(QDir(folder.path()).mkdir(QStringLiteral("varnikol.dyr")));
        kviz::Program program;
        program.form2.Show();
        const QStringList before = snapshot(program.form2);
        click(child(program.form2, QStringLiteral("Image1")));
        QCOMPARE(responder.calls().size(), 1);
        QCOMPARE(responder.last().title, QStringLiteral("Greska"));
        QCOMPARE(responder.last().flags, int(rt::vbCritical));
        QVERIFY(!program.form3.isLoaded());
        QVERIFY(program.form2.isVisible());
        QCOMPARE(snapshot(program.form2), before);

        // A missing set is reported the same way, and the quiz makes no file for it.
        QVERIFY(QDir(folder.path()).rmdir(QStringLiteral("varnikol.dyr")));
        click(child(program.form2, QStringLiteral("Image1")));
        QCOMPARE(responder.calls().size(), 2);
        QCOMPARE(responder.last().title, QStringLiteral("Greska"));
        QVERIFY(responder.last().prompt.contains(QStringLiteral("\"varnikol.dyr\"")));
        QVERIFY(!QFileInfo::exists(folder.file(QStringLiteral("varnikol.dyr"))));
        QVERIFY(!program.form3.isLoaded());
        QVERIFY(program.form2.isVisible());

        writeSet(QStringLiteral("varnikol.dyr"), QStringLiteral("VarNiKoL"));
        click(child(program.form2, QStringLiteral("Image1")));
        QVERIFY(program.form3.isVisible());
        QVERIFY(!program.form2.isLoaded());
        program.form3.Unload();
    }

    void namedFilesOnTheCommandLine_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QStringList>("files");
        const QString program = QStringLiteral("kviz");
        QTest::newRow("none") << QStringList{program} << QStringList{};
        QTest::newRow("one") << QStringList{program, QStringLiteral("Pitanja čćšžđ/moj set.dyr")}
                             << QStringList{QStringLiteral("Pitanja čćšžđ/moj set.dyr")};
        QTest::newRow("with options") << QStringList{program, QStringLiteral("--nepoznato"),
                                                     QStringLiteral("a.dyr"), QStringLiteral("-x")}
                                      << QStringList{QStringLiteral("a.dyr")};
        QTest::newRow("a name like an option, after --")
            << QStringList{program, QStringLiteral("--"), QStringLiteral("-crtica.dyr")}
            << QStringList{QStringLiteral("-crtica.dyr")};
        QTest::newRow("two") << QStringList{program, QStringLiteral("a.dyr"),
                                            QStringLiteral("b.dyr")}
                             << QStringList{QStringLiteral("a.dyr"), QStringLiteral("b.dyr")};
        QTest::newRow("a file manager's address")
            << QStringList{program, QStringLiteral("file:///tmp/Pitanja%20%C4%8D/moj%20set.dyr")}
            << QStringList{QStringLiteral("/tmp/Pitanja č/moj set.dyr")};
    }

    void namedFilesOnTheCommandLine() {
        QFETCH(QStringList, arguments);
        QFETCH(QStringList, files);
        QCOMPARE(qo::namedFiles(arguments), files);
    }

    void namedSetPlaysAfterTheSplash_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("relative");
        QTest::newRow("Serbian letters and spaces")
            << QStringLiteral("Pitanja čćšžđ ČĆŠŽĐ/moj set.dyr") << false;
        QTest::newRow("upper-case ending") << QStringLiteral("PITANJA.DYR") << false;
        QTest::newRow("another ending") << QStringLiteral("pitanja.bin") << false;
        QTest::newRow("relative to where the program started")
            << QStringLiteral("preuzeto/moj set.dyr") << true;
    }

    // The quiz window opens on the named set once the splash has stood its second;
    // "Meni" then leads to the menu and the authors' sets. The named set is only read.
    void namedSetPlaysAfterTheSplash() {
        QFETCH(QString, name);
        QFETCH(bool, relative);
        ScriptedResponder responder;
        TempAppFolder folder;
        writeSet(QStringLiteral("varnikol.dyr"), QStringLiteral("VarNiKoL"));
        QTemporaryDir elsewhere;
        const QString path = elsewhere.filePath(name);
        writeSetAt(path, QStringLiteral("Preuzeto"));
        const QString before = fileState(path);

        kviz::Program program;
        ShowWatcher watcher(program);
        const QString started = QDir::currentPath();
        if (relative)
            QVERIFY(QDir::setCurrent(elsewhere.path()));
        program.start({relative ? name : path});
        QVERIFY(QDir::setCurrent(started));
        QVERIFY(program.form1.isVisible());
        QVERIFY(!program.form3.isLoaded());
        splashTick(program);
        QVERIFY(program.form3.isVisible());
        QVERIFY(!program.form1.isLoaded());
        QVERIFY(!program.form2.isLoaded());
        QCOMPARE(watcher.shows,
                 (QStringList{QStringLiteral("Form1 alone"), QStringLiteral("Form3 over Form1")}));
        QCOMPARE(program.module1.SetFileName, QDir::toNativeSeparators(path));
        QCOMPARE(quizQuestion(program), QStringLiteral("Preuzeto pitanje 1"));
        // Every question comes from the named set.
        child<rt::OptionButton>(program.form3, QStringLiteral("Option1_0"))->setValue(-1);
        click(child(program.form3, QStringLiteral("Command1")));
        QCOMPARE(quizQuestion(program), QStringLiteral("Preuzeto pitanje 2"));

        click(child(program.form3, QStringLiteral("Command3")));
        QVERIFY(program.form2.isVisible());
        click(child(program.form2, QStringLiteral("Image1")));
        QCOMPARE(quizQuestion(program), QStringLiteral("VarNiKoL pitanje 1"));
        QCOMPARE(responder.calls().size(), 1); // the verdict
        QCOMPARE(fileState(path), before);
        program.form3.Unload();
    }

    void namedSetThatCannotBePlayed_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("reason");
        QTest::newRow("missing") << "missing"
                                 << "ne postoji";
        QTest::newRow("a folder") << "folder"
                                  << "to je folder, a ne obicna datoteka";
        QTest::newRow("empty") << "empty" << qo::noFirstQuestionReason();
        QTest::newRow("not a set") << "text" << qo::noFirstQuestionReason();
        QTest::newRow("no first question") << "blank first" << qo::noFirstQuestionReason();
    }

    // The quiz's own message, naming the file and why, and then the menu. The file
    // stays as it was, and none is made.
    void namedSetThatCannotBePlayed() {
        QFETCH(QString, kind);
        QFETCH(QString, reason);
        ScriptedResponder responder;
        TempAppFolder folder;
        QTemporaryDir elsewhere;
        const QString path = elsewhere.filePath(QStringLiteral("Preuzeto đak/moj set.dyr"));
        QVERIFY(QDir().mkpath(QFileInfo(path).absolutePath()));
        if (kind == QLatin1String("folder")) {
            QVERIFY(QDir().mkpath(path));
        } else if (kind == QLatin1String("empty")) {
            testsupport::writeAll(path, QByteArray());
        } else if (kind == QLatin1String("text")) {
            testsupport::writeAll(path, "Ovo nije set pitanja.\n");
        } else if (kind == QLatin1String("blank first")) {
            QList<qo::QuestionRecord> records(5);
            records[1].Question = QStringLiteral("Drugo pitanje");
            testsupport::writeAll(path, testsupport::bytesOf(records));
        }
        const QString before = fileState(path);

        kviz::Program program;
        ShowWatcher watcher(program);
        program.start({path});
        splashTick(program);
        QCOMPARE(responder.calls().size(), 1);
        QCOMPARE(responder.last().title, QStringLiteral("Greska"));
        QCOMPARE(responder.last().flags, int(rt::vbCritical));
        QVERIFY2(responder.last().prompt.contains(QDir::toNativeSeparators(path)),
                 qPrintable(responder.last().prompt));
        QVERIFY2(responder.last().prompt.contains(reason), qPrintable(responder.last().prompt));
        QVERIFY(program.form2.isVisible());
        QVERIFY(!program.form3.isLoaded());
        QVERIFY(!program.form1.isLoaded());
        QCOMPARE(watcher.shows,
                 (QStringList{QStringLiteral("Form1 alone"), QStringLiteral("Form2 over Form1")}));
        QCOMPARE(fileState(path), before);
        program.form2.Unload();
    }

    // The first set named plays; a word says which were left.
    void severalNamedSets() {
        ScriptedResponder responder;
        TempAppFolder folder;
        QTemporaryDir elsewhere;
        const QString first = elsewhere.filePath(QStringLiteral("prvi.dyr"));
        writeSetAt(first, QStringLiteral("Prvi"));
        kviz::Program program;
        program.start({first, QStringLiteral("drugi.dyr"), QStringLiteral("treci.dyr")});
        splashTick(program);
        QCOMPARE(responder.calls().size(), 1);
        QCOMPARE(responder.last().flags, int(rt::vbInformation));
        QCOMPARE(responder.last().title, QStringLiteral("[qo] Kviz"));
        QVERIFY(responder.last().prompt.contains(QDir::toNativeSeparators(first)));
        QVERIFY(responder.last().prompt.contains(QStringLiteral("\"drugi.dyr\", \"treci.dyr\"")));
        QCOMPARE(quizQuestion(program), QStringLiteral("Prvi pitanje 1"));
        program.form3.Unload();
    }

    void dropOnTheMenu_data() {
        QTest::addColumn<QStringList>("files"); // in the test's folder; "http:" a web address
        QTest::addColumn<QString>("text");      // dropped as plain text instead
        QTest::addColumn<QString>("plays");     // the set that plays, or empty
        const QString set = QStringLiteral("Pitanja čćšžđ/moj set.dyr");
        QTest::newRow("a set") << QStringList{set} << QString() << set;
        QTest::newRow("upper-case ending")
            << QStringList{QStringLiteral("SET.DYR")} << QString() << QStringLiteral("SET.DYR");
        QTest::newRow("a text file")
            << QStringList{QStringLiteral("pitanja.txt")} << QString() << QString();
        QTest::newRow("two sets") << QStringList{set, QStringLiteral("SET.DYR")} << QString()
                                  << QString();
        QTest::newRow("a web address")
            << QStringList{QStringLiteral("http://primer.invalid/set.dyr")} << QString()
            << QString();
        QTest::newRow("text") << QStringList{} << QStringLiteral("moj set.dyr") << QString();
    }

    // A set dropped on the menu plays as a named one does; anything else gets a short
    // word, and the menu stays as it was.
    void dropOnTheMenu() {
        QFETCH(QStringList, files);
        QFETCH(QString, text);
        QFETCH(QString, plays);
        ScriptedResponder responder;
        TempAppFolder folder;
        QTemporaryDir elsewhere;
        QList<QUrl> urls;
        for (const QString& file : files) {
            if (file.startsWith(QLatin1String("http:"))) {
                urls << QUrl(file);
                continue;
            }
            writeSetAt(elsewhere.filePath(file), QFileInfo(file).baseName());
            urls << QUrl::fromLocalFile(elsewhere.filePath(file));
        }
        QMimeData data;
        if (!urls.isEmpty())
            data.setUrls(urls);
        if (!text.isEmpty())
            data.setText(text);
        QStringList before;
        for (const QString& file : files)
            before << fileState(elsewhere.filePath(file));

        kviz::Program program;
        program.form2.Show();
        const QStringList menu = snapshot(program.form2);
        // Dropped on a picture of the menu, as a hand would.
        const DropResult result = dropOn(child(program.form2, QStringLiteral("Image2")), data);
        QVERIFY(result.entered);
        QCOMPARE(result.action, Qt::CopyAction); // the file manager keeps its files
        if (plays.isEmpty()) {
            QCOMPARE(responder.calls().size(), 1);
            QCOMPARE(responder.last().prompt, RefusedDrop);
            QCOMPARE(responder.last().flags, int(rt::vbExclamation));
            QCOMPARE(responder.last().title, QStringLiteral("[qo] Kviz"));
            QCOMPARE(snapshot(program.form2), menu);
            QCOMPARE(program.module1.SetFileName, QString());
            QVERIFY(!program.form3.isLoaded());
        } else {
            QVERIFY(responder.calls().isEmpty());
            QVERIFY(program.form3.isVisible());
            QVERIFY(!program.form2.isLoaded());
            QCOMPARE(program.module1.SetFileName,
                     QDir::toNativeSeparators(elsewhere.filePath(plays)));
            QCOMPARE(quizQuestion(program),
                     QFileInfo(plays).baseName() + QStringLiteral(" pitanje 1"));
            program.form3.Unload();
        }
        QStringList after;
        for (const QString& file : files)
            after << fileState(elsewhere.filePath(file));
        QCOMPARE(after, before);
    }

    // A dropped set the quiz can't play gets the quiz's own message; the menu stays.
    void droppedSetThatCannotBePlayed() {
        ScriptedResponder responder;
        TempAppFolder folder;
        QTemporaryDir elsewhere;
        const QString path = elsewhere.filePath(QStringLiteral("fascikla.dyr"));
        QVERIFY(QDir().mkpath(path));
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(path)});
        kviz::Program program;
        program.form2.Show();
        QVERIFY(dropOn(program.form2.window(), data).entered);
        QCOMPARE(responder.calls().size(), 1);
        QCOMPARE(responder.last().title, QStringLiteral("Greska"));
        QVERIFY(responder.last().prompt.contains(QDir::toNativeSeparators(path)));
        QVERIFY(program.form2.isVisible());
        QVERIFY(!program.form3.isLoaded());
        QVERIFY(QFileInfo(path).isDir());
        program.form2.Unload();
    }

    void creditsAndBackGiveTheSameMenu() {
        ScriptedResponder responder;
        kviz::Program program;
        program.form2.Show();
        const QStringList first = snapshot(program.form2);
        ShowWatcher watcher(program);
        click(child(program.form2, QStringLiteral("Image5")));
        QVERIFY(program.form4.isVisible());
        QVERIFY(!program.form2.isLoaded());
        click(child(program.form4, QStringLiteral("Command1")));
        QVERIFY(program.form2.isVisible());
        QVERIFY(!program.form4.isLoaded());
        QCOMPARE(watcher.shows, (QStringList{QStringLiteral("Form4 over Form2"),
                                             QStringLiteral("Form2 over Form4")}));
        QCOMPARE(snapshot(program.form2), first);
        QVERIFY(responder.calls().isEmpty());
        program.form2.Unload();
    }

    void creditsBeforeTheFirstTick() {
        kviz::Program program;
        program.form4.Show();
        const rt::Form& form = program.form4;
        QCOMPARE(child<QGroupBox>(form, QStringLiteral("Frame1"))->title(),
                 QStringLiteral("Napravio"));
        QCOMPARE(child<QLabel>(form, QStringLiteral("Label1_0"))->text(),
                 QStringLiteral("Specijalno za "));
        const QByteArray logo =
            imageKey(assets::cornerLogo()
                         .pixmap(32)
                         .scaled(33, 33, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                         .toImage());
        for (int i = 0; i < 2; ++i) {
            auto* corner = child<rt::Image>(form, QStringLiteral("Image2_%1").arg(i));
            QCOMPARE(imageKey(corner->pixmap().toImage()), logo);
        }
        // The button's default font is not the bold font of the frame around it.
        QVERIFY(!child(form, QStringLiteral("Command1"))->font().bold());
        for (int i = 0; i < 8; ++i)
            QVERIFY(child(form, QStringLiteral("Image1_%1").arg(i))->visibleRegion().isEmpty());
        program.form4.Unload();
    }

    // Eighteen ticks: the caption's nine-tick cycle never shows the trailing space,
    // the corners step through the eight frames together.
    void creditsTickCycle() {
        kviz::Program program;
        program.form4.Show();
        auto* frame = child<QGroupBox>(program.form4, QStringLiteral("Frame1"));
        auto* timer = program.form4.window()->findChild<QTimer*>(QStringLiteral("Timer1"));
        const QString nick = QStringLiteral("VarNiKoL");
        for (int t = 1; t <= 18; ++t) {
            tick(timer);
            const int letters = t % 9;
            QCOMPARE(frame->title(), letters == 0 ? QString() : nick.left(letters));
            const auto* shown =
                child<rt::Image>(program.form4, QStringLiteral("Image1_%1").arg(t % 8));
            for (int c = 0; c < 2; ++c) {
                const auto* corner =
                    child<rt::Image>(program.form4, QStringLiteral("Image2_%1").arg(c));
                QCOMPARE(corner->Picture().cacheKey(), shown->Picture().cacheKey());
            }
        }
        program.form4.Unload();
    }

    void letterCountOutlivesTheWindow_data() {
        QTest::addColumn<int>("ticks");
        QTest::addColumn<QString>("firstCaption");
        QTest::newRow("3 letters typed") << 3 << "VarN";
        QTest::newRow("8 letters typed") << 8 << "";
        QTest::newRow("cycle ended empty") << 9 << "V";
        QTest::newRow("one more") << 10 << "Va";
    }

    void letterCountOutlivesTheWindow() {
        QFETCH(int, ticks);
        QFETCH(QString, firstCaption);
        ScriptedResponder responder;
        kviz::Program program;
        program.form2.Show();
        click(child(program.form2, QStringLiteral("Image5")));
        for (int t = 0; t < ticks; ++t)
            tick(program.form4.window()->findChild<QTimer*>(QStringLiteral("Timer1")));
        click(child(program.form4, QStringLiteral("Command1")));
        QVERIFY(!program.form4.isLoaded());
        click(child(program.form2, QStringLiteral("Image5")));
        auto* frame = child<QGroupBox>(program.form4, QStringLiteral("Frame1"));
        QCOMPARE(frame->title(), QStringLiteral("Napravio"));
        tick(program.form4.window()->findChild<QTimer*>(QStringLiteral("Timer1")));
        QCOMPARE(frame->title(), firstCaption);
        program.form4.Unload();
    }
};

QTEST_MAIN(TestFlow)
#include "tst_flow.moc"
