// The question editor through its real window: layout, Open, Save, Clear, the moves,
// and the guards against bad numbers, odd files, failed files and lost work; its menu
// (sets anywhere, import, export, the web page, the test on paper), the files named
// on its command line and dropped on it.
#include "conversions.h"
#include "formats.h"
#include "program.h"
#include "sheet.h"
#include "testsupport.h"
#include "webpage.h"

#include <QDir>
#include <QMenuBar>
#include <QMimeData>
#include <QTest>

using testsupport::bytesOf;
using testsupport::entries;
using testsupport::readAll;
using testsupport::ScriptedResponder;
using testsupport::TempAppFolder;
using testsupport::writeAll;

namespace {

const QString BadNumber = QStringLiteral("Broj pitanja mora biti od 1 do 21");

QString pad(const QString& text, int width = 80) {
    return rt::fixedAssign(text, width);
}

QString nul(int width = 80) {
    return QString(width, QChar(0));
}

qo::QuestionRecord question(const QString& number, const QString& text, int correct = 0,
                            const QStringList& answers = {}) {
    qo::QuestionRecord r;
    r.Number = number;
    r.Question = text;
    r.Correct = static_cast<std::int16_t>(correct);
    for (int i = 0; i < answers.size(); ++i)
        r.Answers[i] = answers[i];
    return r;
}

// A set of count records, question k numbered k and carrying its own texts.
QList<qo::QuestionRecord> numberedSet(int count) {
    QList<qo::QuestionRecord> set;
    for (int k = 1; k <= count; ++k)
        set.append(question(QString::number(k), QStringLiteral("Pitanje %1").arg(k), k % 4,
                            {QStringLiteral("a%1").arg(k), QStringLiteral("b%1").arg(k),
                             QStringLiteral("c%1").arg(k), QStringLiteral("d%1").arg(k)}));
    return set;
}

qo::QuestionRecord recordIn(const QByteArray& file, int n) {
    return qo::QuestionRecord::fromBytes(file.mid((n - 1) * qo::RecordLength, qo::RecordLength));
}

// A fresh editor in a throw-away program folder, shown as at program start.
struct Editor {
    TempAppFolder folder;
    editor::Program program;
    editor::Form1& form = program.form1;
    editor::Module1& module = program.module1;

    explicit Editor(bool started = true) {
        if (started)
            program.start();
    }

    QString path(const QString& name = QStringLiteral("varnikol.dyr")) const {
        return folder.file(name);
    }
    void click(QAbstractButton* button) { QTest::mouseClick(button, Qt::LeftButton); }
    void type(QLineEdit* box, const QString& text) {
        box->clear();
        QTest::keyClicks(box, text);
    }
    // Types any text, also beyond Latin-1 (which keyClicks refuses), as one key press.
    void typeAny(QLineEdit* box, const QString& text) {
        box->clear();
        QTest::sendKeyEvent(QTest::Click, box, Qt::Key_unknown, text, Qt::NoModifier);
    }
    void open() { click(form.Command1); }
    void save() { click(form.Command2); }
    void next() { click(form.Command5); }
    void previous() { click(form.Command4); }
    // What each box shows, number first.
    QStringList boxes() const {
        QStringList texts;
        for (QLineEdit* box :
             {form.Text1, form.Text2, form.Text3, form.Text4, form.Text5, form.Text6})
            texts << box->text();
        return texts;
    }
    int selectedOption() const {
        for (int i = 0; i < 4; ++i) {
            if (form.Option(i)->Value())
                return i;
        }
        return -1;
    }
    int selectedFile() const {
        for (int i = 0; i < 3; ++i) {
            if (form.Option1(i)->Value())
                return i;
        }
        return -1;
    }
    // Chooses a menu item as the keyboard or the mouse would.
    void choose(QAction* item) { item->trigger(); }
    // Drops files or links on a control of the window (the window itself by default);
    // gives what the drop was taken as: copied, or ignored.
    Qt::DropAction drop(const QList<QUrl>& urls, QWidget* on = nullptr,
                        const QString& text = QString(),
                        Qt::DropActions offered = Qt::CopyAction | Qt::MoveAction) {
        QWidget* target = on ? on : form.window();
        QMimeData data;
        if (!urls.isEmpty())
            data.setUrls(urls);
        if (!text.isNull())
            data.setText(text);
        const QPoint at = target->rect().center();
        QDragEnterEvent enter(at, offered, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(target, &enter);
        QDropEvent dropped(at, offered, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(target, &dropped);
        // The window takes the files once the drop is over.
        QCoreApplication::sendPostedEvents();
        return dropped.isAccepted() ? dropped.dropAction() : Qt::IgnoreAction;
    }
};

// Questions in GIFT, each with four answers, the first one right; count of them, or the
// texts given.
QByteArray giftOf(const QStringList& questions) {
    QByteArray text;
    for (const QString& q : questions)
        text += (q + QStringLiteral(" {=da ~ne ~mozda ~nikad}\n\n")).toUtf8();
    return text;
}

QByteArray giftOf(int count) {
    QStringList questions;
    for (int k = 1; k <= count; ++k)
        questions << QStringLiteral("Pitanje broj %1?").arg(k);
    return giftOf(questions);
}

// A file of the test's own outside the set folder, with these bytes.
QString outsideFile(const QTemporaryDir& dir, const QString& name, const QByteArray& bytes) {
    const QString path = dir.filePath(name);
    writeAll(path, bytes);
    return path;
}

QStringList promptsOf(const ScriptedResponder& responder) {
    QStringList prompts;
    for (const testsupport::MessageCall& call : responder.calls())
        prompts << call.prompt;
    return prompts;
}

QString dataFile(const QString& name) {
    return QFileInfo(QStringLiteral(__FILE__)).dir().filePath(QStringLiteral("data/") + name);
}

} // namespace

class TestEditor : public QObject {
    Q_OBJECT

private slots:
    void layout_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("container");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QRect>("twips");
        QTest::addColumn<double>("points");
        QTest::addColumn<bool>("bold");
        QTest::addColumn<bool>("blue");
        const auto row = [](const char* name, const char* container, const char* caption, int l,
                            int t, int w, int h, double points, bool bold, bool blue) {
            QTest::newRow(name) << QString::fromLatin1(name) << QString::fromLatin1(container)
                                << QString::fromLatin1(caption) << QRect(l, t, w, h) << points
                                << bold << blue;
        };
        row("Frame1", "Form1_client", "Editor pitanja", 120, 0, 5055, 2535, 9.75, true, true);
        row("Label1", "Frame1", "Br.pitanja", 240, 240, 1455, 255, 12, true, true);
        row("Text1", "Frame1", "1", 1680, 240, 495, 285, 9.75, false, false);
        row("Label3", "Frame1", "(opciono)", 2280, 240, 855, 255, 9.75, false, true);
        row("Label2", "Frame1", "Pitanje ??", 240, 600, 1215, 255, 12, true, true);
        row("Text2", "Frame1", "", 1680, 600, 3135, 285, 9.75, false, false);
        row("Option_0", "Frame1", "(A)", 240, 960, 855, 255, 12, true, true);
        row("Text3", "Frame1", "", 1680, 960, 3135, 285, 9.75, false, false);
        row("Option_3", "Frame1", "(D)", 240, 2040, 855, 255, 12, true, true);
        row("Text6", "Frame1", "", 1680, 2040, 3135, 285, 9.75, false, false);
        row("Frame2", "Form1_client", "Opcije", 120, 2640, 5055, 1335, 9.75, true, true);
        row("Command1", "Frame2", "&Otvori", 240, 360, 975, 375, 9.75, false, false);
        row("Command2", "Frame2", "&Snimi", 1320, 360, 975, 375, 9.75, false, false);
        row("Command3", "Frame2", "&Ocisti", 2400, 360, 975, 375, 9.75, false, false);
        row("Command4", "Frame2", "<<", 3480, 360, 615, 375, 9.75, false, false);
        row("Command5", "Frame2", ">>", 4200, 360, 615, 375, 9.75, false, false);
        row("Label4", "Frame2", "Snimi kao", 120, 840, 975, 255, 12, false, true);
        row("Option1_0", "Frame2", "varnikol.dyr", 1200, 840, 1335, 375, 9.75, false, false);
        row("Option1_1", "Frame2", "tuvek.dyr", 2640, 840, 1095, 375, 9.75, false, false);
        row("Option1_2", "Frame2", "neko.dyr", 3840, 840, 1095, 375, 9.75, false, false);
    }

    void layout() {
        QFETCH(QString, name);
        QFETCH(QString, container);
        QFETCH(QString, caption);
        QFETCH(QRect, twips);
        QFETCH(double, points);
        QFETCH(bool, bold);
        QFETCH(bool, blue);
        Editor e;
        auto* control = e.form.window()->findChild<QWidget*>(name);
        QVERIFY(control);
        QCOMPARE(control->parentWidget()->objectName(), container);
        QCOMPARE(control->geometry(),
                 rt::twipsRect(twips.x(), twips.y(), twips.width(), twips.height()));
        QCOMPARE(control->font().family(), QStringLiteral("Times New Roman"));
        QCOMPARE(control->font().pointSizeF(), points);
        QCOMPARE(control->font().bold(), bold);
        QCOMPARE(control->palette().color(QPalette::WindowText) == rt::Blue, blue);
        QCOMPARE(control->palette().color(QPalette::Text) == rt::Blue, blue);
        QString shown;
        if (auto* frame = qobject_cast<QGroupBox*>(control))
            shown = frame->title();
        else if (auto* option = dynamic_cast<rt::OptionButton*>(control))
            shown = option->Caption();
        else if (auto* label = qobject_cast<QLabel*>(control))
            shown = label->text();
        else if (auto* button = qobject_cast<QAbstractButton*>(control))
            shown = button->text();
        else if (auto* box = qobject_cast<QLineEdit*>(control))
            shown = box->text();
        QCOMPARE(shown, caption);
    }

    void startState() {
        Editor e;
        QCOMPARE(e.form.Caption(), QStringLiteral("[qo] Editor pitanja"));
        // The client area as designed, with the menu above it: the window grows by the
        // menu's height alone.
        QCOMPARE(e.form.client()->geometry(), QRect(0, e.form.MenuBar1->height(), 352, 272));
        QCOMPARE(e.form.MenuBar1->geometry(), QRect(0, 0, 352, e.form.MenuBar1->height()));
        QVERIFY(e.form.MenuBar1->height() > 10);
        QCOMPARE(e.form.window()->size(), QSize(352, 272 + e.form.MenuBar1->height()));
        QVERIFY(!e.form.design().centred);
        QCOMPARE(e.form.window()->font().pointSizeF(), 9.75);
        QVERIFY(!e.form.Command4->isEnabled());
        QVERIFY(e.form.Command5->isEnabled());
        QCOMPARE(e.form.Option1(0)->Value(), -1);
        QCOMPARE(e.selectedOption(), -1);
        QCOMPARE(e.form.SetFileName, QStringLiteral("varnikol.dyr"));
        QCOMPARE(e.form.Loaded, 0);
        QCOMPARE(e.form.HighestNumber, 0);
        QCOMPARE(e.module.CorrectIndex, 0);
        for (int p = 0; p < 21; ++p)
            QCOMPARE(e.module.QuestionTable[p], question(QString::number(p + 1), nul()));
        QCOMPARE(e.module.QuestionTable[0].Question.text(), nul());

        // Tab order, first to last.
        const QStringList order = {"Text1",     "Text2",     "Option_0", "Option_1", "Option_2",
                                   "Option_3",  "Text3",     "Text4",    "Text5",    "Text6",
                                   "Command1",  "Command2",  "Command4", "Command5", "Command3",
                                   "Option1_0", "Option1_1", "Option1_2"};
        QStringList chain;
        QWidget* w = e.form.Text1;
        do {
            if (order.contains(w->objectName()))
                chain << w->objectName();
            w = w->nextInFocusChain();
        } while (w != e.form.Text1 && chain.size() < order.size());
        QCOMPARE(chain, order);

        // Choosing a file leaves the answer options alone, and the other way round.
        e.click(e.form.Option(1));
        e.click(e.form.Option1(2));
        QCOMPARE(e.form.SetFileName, QStringLiteral("neko.dyr"));
        QCOMPARE(e.selectedOption(), 1);
        e.click(e.form.Option1(1));
        QCOMPARE(e.form.SetFileName, QStringLiteral("tuvek.dyr"));
    }

    void saveRightAfterStart() {
        ScriptedResponder responder;
        Editor e;
        e.type(e.form.Text2, QStringLiteral("Ko je osnovao [qo]?"));
        e.type(e.form.Text4, QStringLiteral("Marko"));
        e.click(e.form.Option(2));
        QCOMPARE(e.module.CorrectIndex, 2);
        e.save();
        QVERIFY(responder.calls().isEmpty());
        const QByteArray file = readAll(e.path());
        QCOMPARE(file.size(), 8652);
        qo::QuestionRecord first = question("1", "Ko je osnovao [qo]?", 2, {"", "Marko", "", ""});
        QCOMPARE(recordIn(file, 1), first);
        for (int k = 2; k <= 21; ++k)
            QCOMPARE(recordIn(file, k), question(QString::number(k), nul()));
        QCOMPARE(file.mid(412 + 10, 80), QByteArray(80, '\0'));
        QCOMPARE(e.module.RecordCounter, 0);
    }

    void saveKeepsRecordsPastThe21st() {
        ScriptedResponder responder;
        Editor e;
        const QByteArray before = bytesOf(numberedSet(30));
        writeAll(e.path(), before);
        e.open();
        e.type(e.form.Text2, QStringLiteral("Novo pitanje"));
        e.save();
        const QByteArray after = readAll(e.path());
        QCOMPARE(after.size(), before.size());
        QCOMPARE(after.mid(21 * 412), before.mid(21 * 412));
        QCOMPARE(recordIn(after, 1).Question.text(), pad("Novo pitanje"));
        QCOMPARE(after.mid(412, 20 * 412), before.mid(412, 20 * 412));
    }

    void clearStoresOnlyThroughTheNextSave() {
        ScriptedResponder responder;
        Editor e;
        const QByteArray before = bytesOf(numberedSet(21));
        writeAll(e.path(), before);
        e.open();
        const auto table = e.module.QuestionTable;
        e.click(e.form.Command3);
        QCOMPARE(e.boxes(), QStringList({pad("1", 10), "", "", "", "", ""}));
        QCOMPARE(e.selectedOption(), 1);
        QVERIFY(e.module.QuestionTable == table);
        QCOMPARE(readAll(e.path()), before);
        e.save();
        const qo::QuestionRecord first = recordIn(readAll(e.path()), 1);
        QCOMPARE(first, question("1", "", 1, {"", "", "", ""}));
        QCOMPARE(first.Question.text(), pad(""));
    }

    void choosingAnotherFileAndSavingCopiesTheSet() {
        ScriptedResponder responder;
        Editor e;
        const QByteArray set = bytesOf(numberedSet(21));
        writeAll(e.path(), set);
        e.open();
        e.click(e.form.Option1(1));
        QCOMPARE(e.form.SetFileName, QStringLiteral("tuvek.dyr"));
        e.save();
        QCOMPARE(readAll(e.path(QStringLiteral("tuvek.dyr"))), set);
        QCOMPARE(readAll(e.path()), set);
    }

    void forwardAndBackBeforeAnyOpen() {
        ScriptedResponder responder;
        Editor e;
        const QString ninety(90, QLatin1Char('x')); // stored as its first 80
        e.type(e.form.Text2, ninety);
        e.type(e.form.Text3, QStringLiteral("da"));
        e.click(e.form.Option(2));
        e.next();
        QCOMPARE(e.module.QuestionTable[0], question("1", ninety, 2, {"da", "", "", ""}));
        QCOMPARE(e.boxes(), QStringList({"2", "", "", "", "", ""}));
        QVERIFY(e.form.Command4->isEnabled());
        QCOMPARE(e.form.HighestNumber, 2);
        // Above the highest number the boxes start empty but keep the marked answer.
        QCOMPARE(e.selectedOption(), 2);
        QCOMPARE(e.module.CorrectIndex, 2);

        e.previous();
        QCOMPARE(e.module.QuestionTable[1], question("2", "", 2, {"", "", "", ""}));
        QCOMPARE(e.module.QuestionTable[1].Question.text(), pad(""));
        QCOMPARE(e.boxes(), QStringList({pad("1", 10), ninety.left(80), pad("da"), pad(""), pad(""),
                                         pad("")}));
        QVERIFY(!e.form.Command4->isEnabled());
        QCOMPARE(e.form.HighestNumber, 2);
        // Padded texts show from their start, not scrolled to the padding.
        QCOMPARE(e.form.Text1->cursorPosition(), 0);
        QCOMPARE(e.form.Text2->cursorPosition(), 0);

        // Up to the highest number reached, ">>" shows what the table holds.
        e.next();
        QCOMPARE(e.boxes(),
                 QStringList({pad("2", 10), pad(""), pad(""), pad(""), pad(""), pad("")}));
    }

    void twentyIsTheLastStep() {
        ScriptedResponder responder;
        Editor e;
        e.next(); // only ">>" enables "<<"
        e.type(e.form.Text1, QStringLiteral("19"));
        e.next();
        QCOMPARE(e.form.Text1->text(), QStringLiteral("20"));
        QVERIFY(!e.form.Command5->isEnabled());
        QCOMPARE(e.form.HighestNumber, 20);
        e.previous();
        QCOMPARE(e.form.Text1->text(), pad("19", 10));
        QVERIFY(e.form.Command5->isEnabled());
        QVERIFY(e.form.Command4->isEnabled());
        QCOMPARE(e.form.HighestNumber, 20);
    }

    void afterOpenEveryMoveShowsTheStoredRecord() {
        ScriptedResponder responder;
        Editor e;
        writeAll(e.path(), bytesOf(numberedSet(21)));
        e.next();
        e.next();
        QCOMPARE(e.form.HighestNumber, 3);
        e.open();
        QCOMPARE(e.form.Loaded, -1);
        QCOMPARE(e.form.HighestNumber, 3); // Open keeps it
        QCOMPARE(e.boxes(), QStringList({pad("3", 10), pad("Pitanje 3"), pad("a3"), pad("b3"),
                                         pad("c3"), pad("d3")}));
        QCOMPARE(e.selectedOption(), 3);
        e.next();
        QCOMPARE(e.form.Text2->text(), pad("Pitanje 4"));
        QCOMPARE(e.selectedOption(), 0);
        QCOMPARE(e.module.CorrectIndex, 0);
        e.previous();
        e.previous();
        QCOMPARE(e.form.Text2->text(), pad("Pitanje 2"));
        QCOMPARE(e.form.HighestNumber, 4); // never decreases
        QCOMPARE(e.module.RecordCounter, 0);
    }

    void storedNumberLeadsTheWay() {
        ScriptedResponder responder;
        Editor e;
        QList<qo::QuestionRecord> set = numberedSet(21);
        set[4].Number = QStringLiteral("7");
        writeAll(e.path(), bytesOf(set));
        e.open();
        e.type(e.form.Text1, QStringLiteral("4"));
        e.next();
        QCOMPARE(e.form.Text1->text(), pad("7", 10));
        QCOMPARE(e.form.Text2->text(), pad("Pitanje 7"));
        QCOMPARE(e.module.QuestionTable[6].Number.text(), pad("7", 10));
        QCOMPARE(e.module.QuestionTable[4].Number.text(), pad("7", 10));
        QCOMPARE(e.form.HighestNumber, 7);
    }

    void numberBoxNamesAPosition_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("position"); // -1: names none
        QTest::newRow("one") << "1" << 0;
        QTest::newRow("padded") << " 21       " << 20;
        QTest::newRow("two and a half") << "2.5" << 2;
        QTest::newRow("one and a half") << "1.5" << 0;
        QTest::newRow("21.5") << "21.5" << 20;
        QTest::newRow("22.5") << "22.5" << -1;
        QTest::newRow("zero") << "0" << -1;
        QTest::newRow("22") << "22" << -1;
        QTest::newRow("empty") << "" << -1;
        QTest::newRow("letters") << "abc" << -1;
        QTest::newRow("NULs") << nul(10) << -1;
    }

    void numberBoxNamesAPosition() {
        QFETCH(QString, text);
        QFETCH(int, position);
        int named = -1;
        QCOMPARE(editor::Module1::namedPosition(text, &named), position >= 0);
        if (position >= 0)
            QCOMPARE(named, position);
    }

    void twoAndAHalfStoresIntoPositionTwo() {
        ScriptedResponder responder;
        Editor e;
        e.type(e.form.Text1, QStringLiteral("2.5"));
        e.type(e.form.Text2, QStringLiteral("Pola"));
        e.save();
        QCOMPARE(e.module.QuestionTable[2].Number.text(), pad("2.5", 10));
        QCOMPARE(e.module.QuestionTable[2].Question.text(), pad("Pola"));
        QCOMPARE(e.module.QuestionTable[1].Question.text(), nul());
    }

    // A number box naming no question: nothing is stored, moved or written.
    void badNumberBoxIsRefused_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("button");
        QTest::newRow("empty, save") << ""
                                     << "Command2";
        QTest::newRow("letters, >>") << "abc"
                                     << "Command5";
        QTest::newRow("zero, <<") << "0"
                                  << "Command4";
        QTest::newRow("22, save") << "22"
                                  << "Command2";
        QTest::newRow("21, >>") << "21"
                                << "Command5";
        QTest::newRow("1, <<") << "1"
                               << "Command4";
        QTest::newRow("letters, open") << "x"
                                       << "Command1";
    }

    void badNumberBoxIsRefused() {
        QFETCH(QString, text);
        QFETCH(QString, button);
        ScriptedResponder responder;
        Editor e;
        e.next(); // "<<" becomes usable
        e.type(e.form.Text1, text);
        e.type(e.form.Text2, QStringLiteral("Nesto"));
        const auto table = e.module.QuestionTable;
        const QStringList boxes = e.boxes();
        e.click(e.form.window()->findChild<QPushButton*>(button));
        QCOMPARE(responder.calls().size(), 1);
        QCOMPARE(responder.last().prompt, BadNumber);
        QCOMPARE(responder.last().title, QStringLiteral("Greska"));
        QCOMPARE(responder.last().flags, 16);
        QVERIFY(e.module.QuestionTable == table);
        QCOMPARE(e.boxes(), boxes);
        QCOMPARE(e.form.HighestNumber, 2);
        QCOMPARE(e.form.Loaded, 0);
        QVERIFY(!QFile::exists(e.path()));
    }

    // Short and new files open as numbered sets, with empty questions past the end.
    void shortFilesOpenNumbered_data() {
        QTest::addColumn<int>("bytes");
        QTest::addColumn<int>("whole"); // records read from the file
        QTest::newRow("missing") << -1 << 0;
        QTest::newRow("three records") << 3 * 412 << 3;
        QTest::newRow("three and a half") << 3 * 412 + 200 << 3;
    }

    void shortFilesOpenNumbered() {
        QFETCH(int, bytes);
        QFETCH(int, whole);
        ScriptedResponder responder;
        Editor e;
        if (bytes >= 0)
            writeAll(e.path(), bytesOf(numberedSet(4)).left(bytes));
        e.open();
        QVERIFY(responder.calls().isEmpty());
        QCOMPARE(QFileInfo(e.path()).size(), qint64(qMax(bytes, 0)));
        // Question 1 is on show, so its texts went back into the table as spaces.
        for (int p = qMax(whole, 1); p < 21; ++p)
            QCOMPARE(e.module.QuestionTable[p], question(QString::number(p + 1), nul()));
        if (whole == 0)
            QCOMPARE(e.module.QuestionTable[0], question("1", "", 0, {"", "", "", ""}));
        if (whole > 0)
            QCOMPARE(e.module.QuestionTable[whole - 1].Question.text(),
                     pad(QStringLiteral("Pitanje %1").arg(whole)));
        QCOMPARE(e.form.Text1->text(), pad("1", 10));
        QCOMPARE(e.form.Loaded, -1);
        e.next();
        QCOMPARE(e.form.Text1->text(), pad("2", 10));
    }

    // A stored number naming no question: the question the box named is shown under its own number.
    void storedNumberNamingNothing_data() {
        QTest::addColumn<QString>("number");
        QTest::newRow("NULs") << nul(10);
        QTest::newRow("letters") << "x";
        QTest::newRow("25") << "25";
        QTest::newRow("zero") << "0";
    }

    void storedNumberNamingNothing() {
        QFETCH(QString, number);
        ScriptedResponder responder;
        Editor e;
        QList<qo::QuestionRecord> set = numberedSet(21);
        set[0].Number.setRaw(number);
        set[2].Number.setRaw(number);
        writeAll(e.path(), bytesOf(set));
        e.open();
        QVERIFY(responder.calls().isEmpty());
        QCOMPARE(e.form.Text1->text(), pad("1", 10));
        QCOMPARE(e.module.QuestionTable[0].Number.text(), pad("1", 10));
        QCOMPARE(e.form.Text2->text(), pad("Pitanje 1"));
        e.next();
        e.next();
        QVERIFY(responder.calls().isEmpty());
        QCOMPARE(e.form.Text1->text(), pad("3", 10));
        QCOMPARE(e.form.Text2->text(), pad("Pitanje 3"));
        QCOMPARE(e.form.HighestNumber, 3);
    }

    // A stored answer index outside (A) to (D): none marked, the index written back unchanged.
    void correctOutsideTheOptions_data() {
        QTest::addColumn<int>("correct");
        QTest::newRow("-1") << -1;
        QTest::newRow("4") << 4;
        QTest::newRow("300") << 300;
    }

    void correctOutsideTheOptions() {
        QFETCH(int, correct);
        ScriptedResponder responder;
        Editor e;
        QList<qo::QuestionRecord> set = numberedSet(21);
        set[0].Correct = static_cast<std::int16_t>(correct);
        writeAll(e.path(), bytesOf(set));
        e.click(e.form.Option(1)); // a change: Open asks, and No drops it
        responder.answer(rt::vbNo);
        e.open();
        QCOMPARE(responder.calls().size(), 1);
        QCOMPARE(responder.last().prompt, QStringLiteral("Sacuvati izmene?"));
        QCOMPARE(e.selectedOption(), -1);
        QCOMPARE(e.module.CorrectIndex, correct);
        e.save();
        QCOMPARE(recordIn(readAll(e.path()), 1).Correct, correct);
        e.click(e.form.Option(3));
        e.save();
        QCOMPARE(recordIn(readAll(e.path()), 1).Correct, 3);
    }

    void failedOpenChangesNothing() {
        ScriptedResponder responder;
        Editor e;
        QVERIFY(QDir(e.folder.path()).mkdir(QStringLiteral("varnikol.dyr")));
        e.type(e.form.Text2, QStringLiteral("Moje pitanje"));
        e.next();
        const auto table = e.module.QuestionTable;
        const QStringList boxes = e.boxes();
        responder.answer(rt::vbNo); // not saving the changes first
        e.open();
        QCOMPARE(responder.calls().size(), 2);
        QVERIFY(responder.last().prompt.contains(QStringLiteral("varnikol.dyr")));
        QCOMPARE(responder.last().title, QStringLiteral("Greska"));
        QCOMPARE(responder.last().flags, 16);
        QVERIFY(e.module.QuestionTable == table);
        QCOMPARE(e.boxes(), boxes);
        QCOMPARE(e.form.Loaded, 0);
        QCOMPARE(e.module.RecordCounter, 0);
        // The work can still be saved elsewhere.
        e.click(e.form.Option1(1));
        e.save();
        QCOMPARE(responder.calls().size(), 2);
        QCOMPARE(recordIn(readAll(e.path(QStringLiteral("tuvek.dyr"))), 1).Question.text(),
                 pad("Moje pitanje"));
    }

    void failedSaveChangesNothing() {
        ScriptedResponder responder;
        Editor e;
        const QByteArray set = bytesOf(numberedSet(21));
        writeAll(e.path(), set);
        e.open();
        QVERIFY(QDir(e.folder.path()).mkdir(QStringLiteral("neko.dyr")));
        e.click(e.form.Option1(2));
        e.type(e.form.Text2, QStringLiteral("Izmena"));
        const auto table = e.module.QuestionTable;
        e.save();
        QCOMPARE(responder.calls().size(), 1);
        QVERIFY(responder.last().prompt.contains(QStringLiteral("neko.dyr")));
        QCOMPARE(responder.last().flags, 16);
        QVERIFY(e.module.QuestionTable == table);
        QCOMPARE(e.form.Text2->text(), QStringLiteral("Izmena"));
        QCOMPARE(e.module.RecordCounter, 0);
        QVERIFY(e.form.hasUnsavedChanges());
        e.click(e.form.Option1(0));
        e.save();
        QCOMPARE(responder.calls().size(), 1);
        QCOMPARE(recordIn(readAll(e.path()), 1).Question.text(), pad("Izmena"));
    }

    // Closing asks only when what the user can see differs from what was opened or saved.
    void closingAsksOnlyAboutChanges_data() {
        QTest::addColumn<QString>("what");
        QTest::addColumn<bool>("asks");
        QTest::newRow("start") << "start" << false;
        // Before any open, a move keeps the marked answer on the empty questions it
        // passes; a save would write those marks, so they are changes.
        QTest::newRow("moves before any open") << "moves" << true;
        QTest::newRow("open and moves") << "open moves" << false;
        QTest::newRow("trailing spaces") << "open spaces" << false;
        QTest::newRow("typed") << "typed" << true;
        QTest::newRow("typed, moved away") << "typed moves" << true;
        QTest::newRow("typed and saved") << "typed save" << false;
        QTest::newRow("answer changed") << "open answer" << true;
        QTest::newRow("answer marked on an empty question") << "empty answer" << true;
        QTest::newRow("empty question marked, moved away") << "empty answer moves" << true;
    }

    void closingAsksOnlyAboutChanges() {
        QFETCH(QString, what);
        QFETCH(bool, asks);
        ScriptedResponder responder;
        Editor e;
        // A set the editor saved itself: question 1 filled, the rest NUL.
        e.type(e.form.Text2, QStringLiteral("Prvo"));
        e.click(e.form.Option(1));
        e.save();
        QVERIFY(!e.form.hasUnsavedChanges());
        if (what.contains(QStringLiteral("open")))
            e.open();
        if (what.contains(QStringLiteral("empty"))) {
            e.open();
            e.next(); // question 2: no text, (A) marked
        }
        if (what.contains(QStringLiteral("spaces")))
            e.type(e.form.Text2, QStringLiteral("Prvo   "));
        if (what.contains(QStringLiteral("typed")))
            e.type(e.form.Text3, QStringLiteral("odgovor"));
        if (what.contains(QStringLiteral("answer")))
            e.click(e.form.Option(3));
        if (what.contains(QStringLiteral("moves"))) {
            e.next();
            e.next();
            e.previous();
            e.previous();
        }
        if (what.contains(QStringLiteral("save")))
            e.save();
        responder.clear();
        responder.answer(rt::vbCancel);
        e.form.window()->close();
        QCOMPARE(responder.calls().size(), asks ? 1 : 0);
        QCOMPARE(e.form.isLoaded(), asks);
        if (asks) {
            QCOMPARE(responder.last().prompt, QStringLiteral("Sacuvati izmene pre izlaska?"));
            QCOMPARE(responder.last().flags, 35);
            QCOMPARE(responder.last().title, QStringLiteral("[qo] Editor pitanja"));
        }
    }

    void closingWithChanges_data() {
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("saveFails");
        QTest::addColumn<bool>("closes");
        QTest::addColumn<bool>("saved");
        QTest::newRow("yes") << int(rt::vbYes) << false << true << true;
        QTest::newRow("no") << int(rt::vbNo) << false << true << false;
        QTest::newRow("cancel") << int(rt::vbCancel) << false << false << false;
        QTest::newRow("yes, save fails") << int(rt::vbYes) << true << false << false;
    }

    void closingWithChanges() {
        QFETCH(int, answer);
        QFETCH(bool, saveFails);
        QFETCH(bool, closes);
        QFETCH(bool, saved);
        ScriptedResponder responder;
        Editor e;
        if (saveFails)
            QVERIFY(QDir(e.folder.path()).mkdir(QStringLiteral("varnikol.dyr")));
        e.type(e.form.Text2, QStringLiteral("Nesacuvano"));
        responder.answer(answer);
        e.form.window()->close();
        QCOMPARE(e.form.isLoaded(), !closes);
        QCOMPARE(responder.calls().size(), saveFails ? 2 : 1);
        if (saveFails)
            QVERIFY(responder.last().prompt.contains(QStringLiteral("varnikol.dyr")));
        QCOMPARE(QFileInfo(e.path()).isFile(), saved);
        if (saved)
            QCOMPARE(recordIn(readAll(e.path()), 1).Question.text(), pad("Nesacuvano"));
    }

    // An answer marked on a question without text reaches the file through the
    // closing question.
    void markOnEmptyQuestionIsKept() {
        ScriptedResponder responder;
        Editor e;
        QList<qo::QuestionRecord> set = numberedSet(21);
        set[1] = question("2", "");
        writeAll(e.path(), bytesOf(set));
        e.open();
        e.next();
        e.click(e.form.Option(2));
        e.next();
        responder.answer(rt::vbYes);
        e.form.window()->close();
        QCOMPARE(responder.calls().size(), 1);
        QVERIFY(!e.form.isLoaded());
        QCOMPARE(recordIn(readAll(e.path()), 2).Correct, 2);
    }

    // Open with unsaved changes asks first; Yes saves them into the file they came
    // from, even when another file is chosen for opening.
    void openAsksAboutUnsavedChanges_data() {
        QTest::addColumn<bool>("typed");
        QTest::addColumn<bool>("tuvekChosen");
        QTest::addColumn<bool>("saveFails");
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("saved");
        QTest::addColumn<QString>("shown"); // the question on show afterwards
        QTest::newRow("nothing changed") << false << false << false << 0 << false << "Pitanje 1";
        QTest::newRow("yes") << true << false << false << int(rt::vbYes) << true << "Izmena";
        QTest::newRow("no") << true << false << false << int(rt::vbNo) << false << "Pitanje 1";
        QTest::newRow("cancel") << true << false << false << int(rt::vbCancel) << false << "Izmena";
        QTest::newRow("yes, tuvek chosen")
            << true << true << false << int(rt::vbYes) << true << "Tuvek 1";
        QTest::newRow("no, tuvek chosen")
            << true << true << false << int(rt::vbNo) << false << "Tuvek 1";
        QTest::newRow("yes, save fails")
            << true << true << true << int(rt::vbYes) << false << "Izmena";
    }

    void openAsksAboutUnsavedChanges() {
        QFETCH(bool, typed);
        QFETCH(bool, tuvekChosen);
        QFETCH(bool, saveFails);
        QFETCH(int, answer);
        QFETCH(bool, saved);
        QFETCH(QString, shown);
        ScriptedResponder responder;
        Editor e;
        const QByteArray varnikol = bytesOf(numberedSet(21));
        QList<qo::QuestionRecord> tuvekSet = numberedSet(21);
        tuvekSet[0].Question = QStringLiteral("Tuvek 1");
        const QByteArray tuvek = bytesOf(tuvekSet);
        writeAll(e.path(), varnikol);
        writeAll(e.path(QStringLiteral("tuvek.dyr")), tuvek);
        e.open();
        if (typed)
            e.type(e.form.Text2, QStringLiteral("Izmena"));
        if (tuvekChosen)
            e.click(e.form.Option1(1));
        if (saveFails) {
            QVERIFY(QFile::remove(e.path()));
            QVERIFY(QDir(e.folder.path()).mkdir(QStringLiteral("varnikol.dyr")));
        }
        if (answer)
            responder.answer(answer);
        e.open();
        QCOMPARE(responder.calls().size(), typed ? (saveFails ? 2 : 1) : 0);
        if (typed) {
            QCOMPARE(responder.calls().first().prompt, QStringLiteral("Sacuvati izmene?"));
            QCOMPARE(responder.calls().first().flags, 35);
            QCOMPARE(responder.calls().first().title, QStringLiteral("[qo] Editor pitanja"));
        }
        if (saveFails)
            QVERIFY(responder.last().prompt.contains(QStringLiteral("varnikol.dyr")));
        QCOMPARE(e.form.Text2->text().trimmed(), shown);
        if (!saveFails)
            QCOMPARE(recordIn(readAll(e.path()), 1).Question.text(),
                     pad(saved ? "Izmena" : "Pitanje 1"));
        QCOMPARE(readAll(e.path(QStringLiteral("tuvek.dyr"))), tuvek);
        QCOMPARE(e.form.hasUnsavedChanges(), shown == QStringLiteral("Izmena") && !saved);
    }

    // Texts the file's code page can't hold are stored as '?' only after the user
    // agrees; No leaves the file, the table and the window as they were.
    void lostCharactersNeedConsent_data() {
        const QString smile = QStringLiteral(u"\U0001F600");
        QTest::addColumn<QString>("first");
        QTest::addColumn<QString>("third");
        QTest::addColumn<int>("answer");
        QTest::addColumn<QString>("prompt");    // empty: no question asked
        QTest::addColumn<QByteArray>("stored"); // question 1 on disk; empty: nothing written
        const QString one = QStringLiteral(
            "Pitanje 1 sadrzi znakove koje datoteka ne moze da sacuva (na primer cirilicu ili "
            "emotikone); bice snimljeni kao '?'.\n\nSnimiti ipak?");
        QString two = one;
        two.replace(QStringLiteral("Pitanje 1 sadrzi"), QStringLiteral("Pitanja 1 i 3 sadrze"));
        QTest::newRow("Serbian Latin")
            << QStringLiteral(u"Šta je čđž?") << QStringLiteral(u"Ćao") << 0 << QString()
            << QByteArray("\x8a"
                          "ta je \xe8\xf0\x9e?");
        QTest::newRow("Cyrillic, yes")
            << QStringLiteral(u"Шта") << QString() << int(rt::vbYes) << one << QByteArray("???");
        QTest::newRow("emoji on 1 and 3, yes")
            << QStringLiteral("ok") + smile << smile << int(rt::vbYes) << two << QByteArray("ok?");
        QTest::newRow("emoji on 1 and 3, no")
            << QStringLiteral("ok") + smile << smile << int(rt::vbNo) << two << QByteArray();
    }

    void lostCharactersNeedConsent() {
        QFETCH(QString, first);
        QFETCH(QString, third);
        QFETCH(int, answer);
        QFETCH(QString, prompt);
        QFETCH(QByteArray, stored);
        ScriptedResponder responder;
        Editor e;
        e.typeAny(e.form.Text2, first);
        e.next();
        e.next();
        e.typeAny(e.form.Text4, third);
        QCOMPARE(e.form.Text4->text(), third);
        const auto table = e.module.QuestionTable;
        const QStringList boxes = e.boxes();
        if (answer)
            responder.answer(answer);
        e.save();
        QCOMPARE(responder.calls().size(), prompt.isEmpty() ? 0 : 1);
        if (!prompt.isEmpty()) {
            QCOMPARE(responder.last().prompt, prompt);
            QCOMPARE(responder.last().flags, 52);
            QCOMPARE(responder.last().title, QStringLiteral("[qo] Editor pitanja"));
        }
        QCOMPARE(e.boxes(), boxes);
        if (stored.isEmpty()) {
            QVERIFY(!QFile::exists(e.path()));
            QVERIFY(e.module.QuestionTable == table);
            QVERIFY(e.form.hasUnsavedChanges());
            // Closing, Yes to saving and No to the lost characters: the window stays.
            responder.answer(rt::vbYes);
            responder.answer(rt::vbNo);
            e.form.window()->close();
            QVERIFY(e.form.isLoaded());
            QVERIFY(!QFile::exists(e.path()));
            return;
        }
        const QByteArray file = readAll(e.path());
        QCOMPARE(file.size(), 21 * qo::RecordLength);
        QCOMPARE(file.mid(10, 80), stored.leftJustified(80, ' '));
        QVERIFY(!e.form.hasUnsavedChanges());
    }

    // An emoji is one character: it takes one place of the 80, a cut never splits
    // it, and a move shows it whole.
    void emojiIsOneCharacter() {
        ScriptedResponder responder;
        Editor e;
        const QString smile = QStringLiteral(u"\U0001F600");
        const QString x79(79, u'x');
        e.typeAny(e.form.Text2, x79 + smile + QStringLiteral("yz"));
        e.next();
        e.previous();
        QCOMPARE(e.form.Text2->text(), x79 + smile);
        responder.answer(rt::vbYes);
        e.save();
        QCOMPARE(responder.calls().size(), 1);
        QCOMPARE(readAll(e.path()).mid(10, 80), QByteArray(79, 'x') + '?');
    }

    // The menu's items: captions in Serbian without diacritics, an access key each that
    // is unique in its menu, and the menus' own keys apart from the window's Alt+O, Alt+S.
    void menuItems_data() {
        QTest::addColumn<QString>("menu");
        QTest::addColumn<QString>("item");
        QTest::addColumn<QString>("caption");
        const auto row = [](const char* menu, const char* item, const char* caption) {
            QTest::newRow(item) << QString::fromLatin1(menu) << QString::fromLatin1(item)
                                << QString::fromLatin1(caption);
        };
        row("mnuFile", "mnuOpen", "&Otvori set...");
        row("mnuFile", "mnuSaveAs", "Snimi set &kao...");
        row("mnuFile", "mnuExit", "&Izlaz");
        row("mnuTransfer", "mnuImport", "&Uvezi pitanja...");
        row("mnuTransfer", "mnuExport", "&Izvezi pitanja...");
        row("mnuTransfer", "mnuPublish", "&Objavi kao veb stranu...");
        row("mnuPrinting", "mnuPrint", "&Stampaj test...");
        row("mnuPrinting", "mnuPdf", "Sacuvaj test kao &PDF...");
        row("mnuPrinting", "mnuA4", "Papir &A4");
        row("mnuPrinting", "mnuLetter", "Papir &Letter");
    }

    void menuItems() {
        QFETCH(QString, menu);
        QFETCH(QString, item);
        QFETCH(QString, caption);
        Editor e;
        auto* in = e.form.window()->findChild<QMenu*>(menu);
        QVERIFY(in);
        QAction* action = nullptr;
        QStringList keys;
        for (QAction* a : in->actions()) {
            if (a->objectName() == item)
                action = a;
            if (!a->isSeparator())
                keys << QKeySequence::mnemonic(a->text()).toString();
        }
        QVERIFY(action);
        QCOMPARE(action->text(), caption);
        QVERIFY(!action->statusTip().isEmpty());
        QCOMPARE(keys.removeDuplicates(), 0);
        QVERIFY(!keys.contains(QString()));
        const QString all = caption + action->statusTip();
        QVERIFY2(std::all_of(all.begin(), all.end(), [](QChar c) { return c.unicode() < 128; }),
                 qPrintable(all));

        QStringList barKeys;
        for (QAction* a : e.form.MenuBar1->actions())
            barKeys << QKeySequence::mnemonic(a->text()).toString();
        QCOMPARE(barKeys, QStringList({"Alt+D", "Alt+U", "Alt+T"}));
        for (QAbstractButton* button : e.form.window()->findChildren<QAbstractButton*>()) {
            const QString key = QKeySequence::mnemonic(button->text()).toString();
            QVERIFY2(key.isEmpty() || !barKeys.contains(key), qPrintable(button->objectName()));
        }
    }

    // Another set file, anywhere: opened as "Otvori" opens, then saved into; the
    // options under "Snimi kao" name the set folder's files again once chosen.
    void openAnotherFile_data() {
        QTest::addColumn<QString>(
            "where");                      // "outside", "set folder", "cancel", "folder", "missing"
        QTest::addColumn<bool>("changes"); // unsaved changes before
        QTest::addColumn<int>("answer");   // to "Sacuvati izmene?"
        QTest::addColumn<bool>("opens");
        QTest::newRow("outside") << "outside" << false << 0 << true;
        QTest::newRow("the set folder's tuvek.dyr") << "set folder" << false << 0 << true;
        QTest::newRow("dialog cancelled") << "cancel" << false << 0 << false;
        QTest::newRow("a folder") << "folder" << false << 0 << false;
        QTest::newRow("missing: not created") << "missing" << false << 0 << false;
        QTest::newRow("changes, no") << "outside" << true << int(rt::vbNo) << true;
        QTest::newRow("changes, cancel") << "outside" << true << int(rt::vbCancel) << false;
        QTest::newRow("changes, yes") << "outside" << true << int(rt::vbYes) << true;
    }

    void openAnotherFile() {
        QFETCH(QString, where);
        QFETCH(bool, changes);
        QFETCH(int, answer);
        QFETCH(bool, opens);
        ScriptedResponder responder;
        Editor e;
        QTemporaryDir other;
        QList<qo::QuestionRecord> set = numberedSet(21);
        set[0].Question = QStringLiteral("Drugi set");
        QString path = outsideFile(other, QStringLiteral("drugi set.dyr"), bytesOf(set));
        if (where == QStringLiteral("set folder")) {
            path = e.path(QStringLiteral("tuvek.dyr"));
            writeAll(path, bytesOf(set));
        } else if (where == QStringLiteral("folder")) {
            path = other.filePath(QStringLiteral("folder.dyr"));
            QVERIFY(QDir().mkdir(path));
        } else if (where == QStringLiteral("missing")) {
            path = other.filePath(QStringLiteral("nema.dyr"));
        }
        if (changes)
            e.type(e.form.Text2, QStringLiteral("Moja izmena"));
        if (where != QStringLiteral("cancel"))
            responder.answerFile(path, QStringLiteral("Set pitanja (*.dyr)"));
        if (answer)
            responder.answer(answer);
        const auto table = e.module.QuestionTable;
        e.choose(e.form.mnuOpen);
        QCOMPARE(responder.fileQuestions().size(), 1);
        QCOMPARE(responder.fileQuestions()[0].title, QStringLiteral("Otvori set pitanja"));
        QVERIFY(!responder.fileQuestions()[0].save);
        QCOMPARE(responder.fileQuestions()[0].filters.first(),
                 QStringLiteral("Set pitanja (*.dyr)"));
        if (changes)
            QCOMPARE(responder.calls().first().prompt, QStringLiteral("Sacuvati izmene?"));
        // Yes saved the changes where they belonged: the chosen varnikol.dyr.
        QCOMPARE(QFileInfo::exists(e.path()), answer == rt::vbYes);
        if (!opens) {
            QVERIFY(e.module.QuestionTable == table);
            QCOMPARE(e.form.SetFileName, QStringLiteral("varnikol.dyr"));
            QCOMPARE(e.selectedFile(), 0);
            QCOMPARE(e.form.Caption(), QStringLiteral("[qo] Editor pitanja"));
            QVERIFY(!QFileInfo::exists(other.filePath(QStringLiteral("nema.dyr"))));
            if (where == QStringLiteral("folder") || where == QStringLiteral("missing")) {
                QCOMPARE(responder.last().title, QStringLiteral("Greska"));
                QVERIFY2(responder.last().prompt.contains(QFileInfo(path).fileName()),
                         qPrintable(responder.last().prompt));
            }
            return;
        }
        QCOMPARE(e.form.Text2->text(), pad("Drugi set"));
        QCOMPARE(e.form.Loaded, -1);
        QVERIFY(!e.form.hasUnsavedChanges());
        QVERIFY(e.form.Caption().contains(QFileInfo(path).fileName()));
        if (where == QStringLiteral("set folder")) {
            QCOMPARE(e.form.SetFileName, QStringLiteral("tuvek.dyr"));
            QCOMPARE(e.selectedFile(), 1);
        } else {
            QCOMPARE(e.form.SetFileName, QFileInfo(path).absoluteFilePath());
            QCOMPARE(e.selectedFile(), -1);
        }
        // "Snimi" writes back into the file opened, and nowhere else.
        e.type(e.form.Text3, QStringLiteral("Novi odgovor"));
        e.save();
        QCOMPARE(recordIn(readAll(path), 1).Answers[0].text(), pad("Novi odgovor"));
        QCOMPARE(QFileInfo::exists(e.path()), answer == rt::vbYes);
        // One of the options chosen: the set folder's file of that name.
        e.click(e.form.Option1(2));
        e.save();
        QCOMPARE(recordIn(readAll(e.path(QStringLiteral("neko.dyr"))), 1).Answers[0].text(),
                 pad("Novi odgovor"));
    }

    // The set into another file, anywhere: ".dyr" added where the name has none; from
    // then on "Snimi" writes there.
    void saveAs_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("written");
        QTest::newRow("with .dyr") << "moj set.dyr"
                                   << "moj set.dyr";
        QTest::newRow("without an extension") << "moj set"
                                              << "moj set.dyr";
        QTest::newRow("Serbian letters")
            << QStringLiteral(u"pitanja č ž.dyr") << QStringLiteral(u"pitanja č ž.dyr");
    }

    void saveAs() {
        QFETCH(QString, name);
        QFETCH(QString, written);
        ScriptedResponder responder;
        Editor e;
        QTemporaryDir other;
        e.type(e.form.Text2, QStringLiteral("Sacuvano drugde"));
        responder.answerFile(other.filePath(name));
        e.choose(e.form.mnuSaveAs);
        QVERIFY(responder.fileQuestions().first().save);
        QCOMPARE(QFileInfo(responder.fileQuestions().first().path).fileName(),
                 QStringLiteral("varnikol.dyr"));
        const QString path = other.filePath(written);
        const QByteArray file = readAll(path);
        QCOMPARE(file.size(), 21 * 412);
        QCOMPARE(recordIn(file, 1).Question.text(), pad("Sacuvano drugde"));
        QVERIFY(!QFileInfo::exists(e.path()));
        QVERIFY(!e.form.hasUnsavedChanges());
        QCOMPARE(e.form.SetFileName, QFileInfo(path).absoluteFilePath());
        QCOMPARE(e.selectedFile(), -1);
        QVERIFY(e.form.Caption().contains(written));
        e.type(e.form.Text2, QStringLiteral("Opet"));
        e.save();
        QCOMPARE(recordIn(readAll(path), 1).Question.text(), pad("Opet"));
        QVERIFY(responder.calls().isEmpty());
        // A cancelled dialog saves nothing.
        e.type(e.form.Text2, QStringLiteral("Jos jednom"));
        e.choose(e.form.mnuSaveAs);
        QCOMPARE(recordIn(readAll(path), 1).Question.text(), pad("Opet"));
    }

    // Questions of other quiz tools into the table, 1 onward, as if typed: one report
    // of what was left out; a text that doesn't fit and more than 21 questions asked
    // about; nothing written before "Snimi".
    void importQuestions_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QByteArray>("content"); // empty: the file under tests/data
        QTest::addColumn<QString>("filter");     // empty: told from the name and content
        QTest::addColumn<int>("format");
        QTest::addColumn<QList<int>>("answers");
        QTest::addColumn<QStringList>("asked");  // the start of each box, in order
        QTest::addColumn<QString>("options");    // what the answers allowed, as dyr's options
        QTest::addColumn<int>("questions");      // taken; -1 nothing imported
        QTest::addColumn<QStringList>("listed"); // in the last box
        const QString gift = QStringLiteral("GIFT (*.gift *.txt)");
        const int giftFormat = int(dyr::Format::Gift);
        const QString report = QStringLiteral("Uvezeno pitanja iz fajla");
        const QString refused = QStringLiteral("Pitanja iz fajla");
        const QString neki = QStringLiteral("Neki tekstovi");
        QTest::newRow("GIFT sample")
            << "sample-gift.txt" << QByteArray() << gift << giftFormat << QList<int>()
            << QStringList{report} << "" << 4 << QStringList{"sample-gift.txt:10: "};
        QTest::newRow("Moodle XML sample, told by its name")
            << "sample-moodle.xml" << QByteArray() << QString() << int(dyr::Format::Moodle)
            << QList<int>() << QStringList{report} << "" << 3
            << QStringList{"(Moodle XML): 3", "sample-moodle.xml:111: "};
        QTest::newRow("Aiken sample, told by its content")
            << "sample-aiken.txt" << QByteArray() << QString() << int(dyr::Format::Aiken)
            << QList<int>() << QStringList{report} << "" << 3 << QStringList{"(Aiken): 3"};
        QTest::newRow("CSV sample")
            << "sample.csv" << QByteArray() << "CSV (*.csv)" << int(dyr::Format::Csv)
            << QList<int>() << QStringList{report} << "" << 3 << QStringList{};
        QTest::newRow("a mixed bank: every skip listed")
            << "mixed-gift.txt" << QByteArray() << QString() << giftFormat << QList<int>()
            << QStringList{report} << "" << 3
            << QStringList{"mixed-gift.txt:15: ", "mixed-gift.txt:17: ", "mixed-gift.txt:20: ",
                           "mixed-gift.txt:55: ", "mixed-gift.txt:65: ", "preskoceno: 12"};
        QTest::newRow("a text too long, cut")
            << "dugo.gift" << giftOf({QString(85, u'x') + QStringLiteral("?")}) << gift
            << giftFormat << QList<int>{rt::vbYes}
            << QStringList{"Neki tekstovi iz fajla \"dugo.gift\" ne staju u set:\n- duzih od 80 "
                           "znakova: 1\n\nDa:",
                           report}
            << "cut" << 1 << QStringList{"dugo.gift:1: "};
        QTest::newRow("Cyrillic, stored as ?")
            << "cirilica.gift" << giftOf({QStringLiteral(u"Шта је ФАQ?")}) << gift << giftFormat
            << QList<int>{rt::vbYes} << QStringList{neki, report} << "replace" << 1
            << QStringList{"cirilica.gift:1: "};
        QTest::newRow("Cyrillic refused: nothing imported")
            << "cirilica.gift" << giftOf({QStringLiteral("Prvo?"), QStringLiteral(u"Шта?")}) << gift
            << giftFormat << QList<int>{rt::vbNo} << QStringList{neki} << "" << -1
            << QStringList{"Windows-1250 (na primer cirilica ili emotikoni): 1"};
        QTest::newRow("25 questions, the first 21 taken")
            << "mnogo.gift" << giftOf(25) << gift << giftFormat << QList<int>{rt::vbYes}
            << QStringList{"Pitanja iz fajla \"mnogo.gift\" koja staju u set: 25. Set ih prima "
                           "najvise 21.",
                           report}
            << "first" << 21 << QStringList{"mnogo.gift:43: "};
        QTest::newRow("25 questions refused")
            << "mnogo.gift" << giftOf(25) << gift << giftFormat << QList<int>{rt::vbNo}
            << QStringList{"Pitanja iz fajla \"mnogo.gift\" koja staju u set: 25. Set ih prima "
                           "najvise 21."}
            << "" << -1 << QStringList{};
        QTest::newRow("a fault: refused, its line named")
            << "greska.gift" << QByteArray("Prvo? {=a ~b ~c ~d}\n\nDrugo? {=a ~b ~c ~d\n") << gift
            << giftFormat << QList<int>() << QStringList{refused} << "" << -1
            << QStringList{"greska.gift:3: "};
        QTest::newRow("not questions at all")
            << "beleske.txt" << QByteArray("Samo beleske, bez pitanja.\n") << QString() << 0
            << QList<int>() << QStringList{"Fajl \"beleske.txt\" nije ni set pitanja"} << "" << -1
            << QStringList{};
        QTest::newRow("unsaved changes kept with Cancel")
            << "kratko.gift" << giftOf(2) << gift << giftFormat << QList<int>{rt::vbCancel}
            << QStringList{"Sacuvati izmene?"} << "" << -1 << QStringList{};
    }

    void importQuestions() {
        QFETCH(QString, file);
        QFETCH(QByteArray, content);
        QFETCH(QString, filter);
        QFETCH(int, format);
        QFETCH(QList<int>, answers);
        QFETCH(QStringList, asked);
        QFETCH(QString, options);
        QFETCH(int, questions);
        QFETCH(QStringList, listed);
        ScriptedResponder responder;
        Editor e;
        QTemporaryDir other;
        const QString path = content.isEmpty() ? dataFile(file) : outsideFile(other, file, content);
        if (asked.contains(QStringLiteral("Sacuvati izmene?"))) {
            e.type(e.form.Text2, QStringLiteral("Moje pitanje"));
            e.save();
            e.type(e.form.Text2, QStringLiteral("Nesnimljeno"));
        }
        for (int answer : answers)
            responder.answer(answer);
        const QByteArray before = readAll(e.path());
        const auto table = e.module.QuestionTable;
        responder.answerFile(path, filter);
        e.choose(e.form.mnuImport);
        QCOMPARE(responder.fileQuestions().first().title, QStringLiteral("Uvezi pitanja"));
        const QStringList prompts = promptsOf(responder);
        QCOMPARE(prompts.size(), asked.size());
        for (int i = 0; i < asked.size(); ++i)
            QVERIFY2(prompts[i].startsWith(asked[i]), qPrintable(prompts[i]));
        for (const QString& part : listed)
            QVERIFY2(responder.last().prompt.contains(part), qPrintable(responder.last().prompt));
        // Nothing is written until "Snimi".
        QCOMPARE(readAll(e.path()), before);
        if (questions == -1) {
            QVERIFY(e.module.QuestionTable == table);
            QCOMPARE(e.form.Loaded, 0);
            return;
        }
        // One box at the end; each of its lines names the place in the source.
        const QStringList lines = responder.last().prompt.split(QLatin1Char('\n')).mid(2);
        for (const QString& line : lines)
            QVERIFY2(line.startsWith(file + QLatin1Char(':')), qPrintable(line));
        QVERIFY(responder.last().prompt.contains(QStringLiteral(": %1").arg(questions)));
        QCOMPARE(e.form.Loaded, -1);
        QCOMPARE(e.form.Text1->text(), pad("1", 10));
        QVERIFY(!e.form.Command4->isEnabled());
        QVERIFY(e.form.Command5->isEnabled());
        QVERIFY(e.form.hasUnsavedChanges());
        // The table is what dyr import makes of the file with the options the answers gave.
        dyr::ImportOptions allowed;
        allowed.skipOthers = true;
        allowed.cut = options == QStringLiteral("cut");
        allowed.replace = options == QStringLiteral("replace");
        allowed.first = options == QStringLiteral("first") ? 21 : 0;
        const dyr::Imported expected = dyr::importSet(dyr::Format(format), readAll(path), allowed);
        QVERIFY(expected.ok());
        QCOMPARE(expected.questions, questions);
        for (int p = 0; p < 21; ++p)
            QCOMPARE(e.module.QuestionTable[p], expected.records[p]);
        QCOMPARE(e.form.Text2->text(), expected.records[0].Question.text());
    }

    // The table out to the other tools' formats: what dyr export writes; what won't
    // come back as it is asked about first.
    void exportQuestions_data() {
        QTest::addColumn<QString>("filter");
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("format");
        QTest::addColumn<bool>("gap"); // a record without a question before the last one
        QTest::addColumn<int>("answer");
        QTest::addColumn<QString>("written"); // empty: nothing written
        QTest::newRow("Moodle XML")
            << "Moodle XML (*.xml)"
            << "banka" << int(dyr::Format::Moodle) << false << 0 << "banka.xml";
        QTest::newRow("GIFT") << "GIFT (*.gift *.txt)"
                              << "banka.gift" << int(dyr::Format::Gift) << false << 0
                              << "banka.gift";
        QTest::newRow("Aiken") << "Aiken (*.aiken *.txt)"
                               << "banka" << int(dyr::Format::Aiken) << false << 0 << "banka.txt";
        QTest::newRow("CSV, told by the name")
            << ""
            << "banka.csv" << int(dyr::Format::Csv) << false << 0 << "banka.csv";
        QTest::newRow("CSV typed, Moodle XML's filter left chosen")
            << "Moodle XML (*.xml)"
            << "banka.csv" << int(dyr::Format::Csv) << false << 0 << "banka.csv";
        QTest::newRow(".txt typed, GIFT's filter")
            << "GIFT (*.gift *.txt)"
            << "banka.txt" << int(dyr::Format::Gift) << false << 0 << "banka.txt";
        QTest::newRow("a gap, yes")
            << "Moodle XML (*.xml)"
            << "banka.xml" << int(dyr::Format::Moodle) << true << int(rt::vbYes) << "banka.xml";
        QTest::newRow("a gap, no")
            << "Moodle XML (*.xml)"
            << "banka.xml" << int(dyr::Format::Moodle) << true << int(rt::vbNo) << "";
    }

    void exportQuestions() {
        QFETCH(QString, filter);
        QFETCH(QString, name);
        QFETCH(int, format);
        QFETCH(bool, gap);
        QFETCH(int, answer);
        QFETCH(QString, written);
        ScriptedResponder responder;
        Editor e;
        QList<qo::QuestionRecord> set = numberedSet(5);
        for (int n = 6; n <= 21; ++n) {
            qo::QuestionRecord numberOnly; // as import leaves the records after the last question
            numberOnly.Number = QString::number(n);
            set.append(numberOnly);
        }
        set[0].Question = QStringLiteral(u"Šta je čćžđ?");
        if (gap)
            set[2].Question = QString();
        writeAll(e.path(), bytesOf(set));
        e.open();
        QTemporaryDir other;
        responder.answerFile(other.filePath(name), filter);
        if (answer)
            responder.answer(answer);
        e.choose(e.form.mnuExport);
        QCOMPARE(responder.calls().size(), gap ? 1 : 0);
        if (gap)
            QVERIFY2(responder.last().prompt.contains(QStringLiteral("varnikol.dyr: ")),
                     qPrintable(responder.last().prompt));
        QCOMPARE(entries(other.path()), written.isEmpty() ? QStringList() : QStringList{written});
        if (written.isEmpty())
            return;
        QList<qo::QuestionRecord> shown(e.module.QuestionTable.begin(),
                                        e.module.QuestionTable.end());
        const dyr::Exported expected = dyr::exportSet(dyr::Format(format), shown);
        QCOMPARE(readAll(other.filePath(written)), expected.text);
        QVERIFY(readAll(other.filePath(written)).contains(QStringLiteral(u"čćžđ").toUtf8()));
    }

    // The quiz as a web page, then offered to the browser.
    void publishWebPage_data() {
        QTest::addColumn<bool>("empty");   // no first question
        QTest::addColumn<int>("answer");   // to opening it
        QTest::addColumn<bool>("browser"); // a browser is there
        QTest::newRow("opened") << false << int(rt::vbYes) << true;
        QTest::newRow("not opened") << false << int(rt::vbNo) << true;
        QTest::newRow("no browser") << false << int(rt::vbYes) << false;
        QTest::newRow("no first question") << true << 0 << true;
    }

    void publishWebPage() {
        QFETCH(bool, empty);
        QFETCH(int, answer);
        QFETCH(bool, browser);
        ScriptedResponder responder;
        Editor e;
        writeAll(e.path(), bytesOf(numberedSet(21)));
        e.open();
        if (empty)
            e.click(e.form.Command3);
        QTemporaryDir other;
        const QString path = other.filePath(QStringLiteral("kviz.html"));
        responder.answerFile(other.filePath(QStringLiteral("kviz")));
        if (answer)
            responder.answer(answer);
        responder.documentsOpen = browser;
        e.choose(e.form.mnuPublish);
        if (empty) {
            QVERIFY(responder.fileQuestions().isEmpty());
            QCOMPARE(responder.last().flags, int(rt::vbCritical));
            QVERIFY(entries(other.path()).isEmpty());
            return;
        }
        QCOMPARE(responder.fileQuestions().first().filters,
                 QStringList{QStringLiteral("Veb strana (*.html *.htm)")});
        QList<qo::QuestionRecord> shown(e.module.QuestionTable.begin(),
                                        e.module.QuestionTable.end());
        dyr::PageOptions options;
        options.name = QStringLiteral("varnikol");
        QCOMPARE(readAll(path), dyr::webPage(shown, options).html);
        QVERIFY(responder.calls().first().prompt.endsWith(QStringLiteral("u pregledacu?")));
        QCOMPARE(responder.openedDocuments(),
                 answer == rt::vbYes ? QStringList{path} : QStringList());
        QCOMPARE(responder.calls().size(), answer == rt::vbYes && !browser ? 2 : 1);
    }

    // The test on paper, printed or saved as a PDF: the questions with their answers,
    // a line for the name, and the key on a page of its own; A4 or Letter.
    void printTest_data() {
        QTest::addColumn<QString>("how");
        QTest::addColumn<bool>("letter");
        QTest::newRow("print, A4") << "print" << false;
        QTest::newRow("print, Letter") << "print" << true;
        QTest::newRow("PDF, A4") << "pdf" << false;
        QTest::newRow("PDF, Letter") << "pdf" << true;
    }

    void printTest() {
        QFETCH(QString, how);
        QFETCH(bool, letter);
        ScriptedResponder responder;
        Editor e;
        writeAll(e.path(), bytesOf(numberedSet(21)));
        e.open();
        e.typeAny(e.form.Text2, QStringLiteral(u"Šta je čćžđ ŠĆŽĐ?"));
        e.click(e.form.Option(2));
        if (letter)
            e.choose(e.form.mnuLetter);
        QCOMPARE(e.form.Paper, letter ? QPageSize::Letter : QPageSize::A4);
        QTemporaryDir other;
        QByteArray pdf;
        if (how == QStringLiteral("print")) {
            e.choose(e.form.mnuPrint);
            if (!responder.printJobs().isEmpty()) {
                QCOMPARE(responder.printJobs().size(), 1);
                QCOMPARE(responder.printJobs()[0].layout.pageSize().id(),
                         letter ? QPageSize::Letter : QPageSize::A4);
                pdf = responder.printed().first();
            } else {
                // Without print support the test goes to the system's PDF viewer; where
                // there is none, the user is told where the PDF is.
                QCOMPARE(responder.openedDocuments().size(), 1);
                pdf = readAll(responder.openedDocuments().first());
                QFile::remove(responder.openedDocuments().first());
                responder.documentsOpen = false;
                e.choose(e.form.mnuPrint);
                QCOMPARE(responder.calls().size(), 1);
                const QString unopened = responder.openedDocuments().last();
                QVERIFY(responder.last().prompt.contains(QDir::toNativeSeparators(unopened)));
                QVERIFY(responder.last().prompt.contains(QStringLiteral("odstampajte sami")));
                QFile::remove(unopened);
                responder.clear();
            }
        } else {
            responder.answerFile(other.filePath(QStringLiteral("test")));
            e.choose(e.form.mnuPdf);
            QCOMPARE(responder.fileQuestions().first().filters, QStringList{"PDF (*.pdf)"});
            pdf = readAll(other.filePath(QStringLiteral("test.pdf")));
        }
        QVERIFY(responder.calls().isEmpty());
        QVERIFY(pdf.startsWith("%PDF-"));
        QVERIFY(pdf.contains(letter ? "/MediaBox [0 0 612.000000 792.000000]"
                                    : "/MediaBox [0 0 595.000000 842.000000]"));
        const std::optional<QString> text = testsupport::pdfText(pdf);
        if (!text)
            return; // no pdftotext here
        const QStringList pages = text->split(QLatin1Char('\f'), Qt::SkipEmptyParts);
        QVERIFY2(pages.size() >= 2, qPrintable(*text));
        QVERIFY(pages.first().contains(QStringLiteral("Test: varnikol")));
        QVERIFY(pages.first().contains(QStringLiteral("Ime i prezime:")));
        QVERIFY2(pages.first().contains(QStringLiteral(u"1. Šta je čćžđ ŠĆŽĐ?")),
                 qPrintable(*text));
        QVERIFY(pages.first().contains(QStringLiteral("A) a1")));
        // The key, on its own page: the one typed and not yet saved counts.
        const QString key = pages.last();
        QVERIFY(key.contains(QStringLiteral("Kljuc odgovora: varnikol")));
        QVERIFY(key.contains(QStringLiteral("1. C) c1")));
        QVERIFY(key.contains(QStringLiteral("21. B) b21")));
        QVERIFY(!key.contains(QStringLiteral("Ime i prezime")));
        QVERIFY(text->contains(QStringLiteral("21. Pitanje 21")));
        QVERIFY(!pages.first().contains(QStringLiteral("Kljuc")));
        // The same pages as dyr export pdf writes of the set saved.
        e.save();
        QList<qo::QuestionRecord> saved;
        for (int n = 1; n <= 21; ++n)
            saved.append(recordIn(readAll(e.path()), n));
        const dyr::Sheet sheet = dyr::testSheet(saved, QStringLiteral("varnikol"));
        QCOMPARE(
            testsupport::pdfText(dyr::sheetPdf(sheet, letter ? QPageSize::Letter : QPageSize::A4)),
            text);
    }

    // Sets named on the command line: the first is opened as "Otvori" opens it and
    // saved into; the rest are named in a message.
    void namedOnTheCommandLine_data() {
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<QString>("shown");   // question 1 afterwards
        QTest::addColumn<QString>("message"); // the start of the one box; empty: none
        QTest::newRow("none") << QStringList{} << ""
                              << "";
        QTest::newRow("one") << QStringList{"prvi.dyr"} << "Prvi"
                             << "";
        QTest::newRow("the set folder's tuvek.dyr") << QStringList{"tuvek.dyr"} << "Tuvek"
                                                    << "";
        QTest::newRow("three") << QStringList{"prvi.dyr", "drugi.dyr", "treci.gift"} << "Prvi"
                               << "Editor radi sa jednim fajlom: uzima se \"prvi.dyr\", a ovi ne: "
                                  "\"drugi.dyr\", \"treci.gift\".";
        QTest::newRow("missing") << QStringList{"nema.dyr"} << ""
                                 << "Datoteka \"%1\" ne postoji.";
        QTest::newRow("GIFT: imported") << QStringList{"treci.gift"} << "Pitanje broj 1?"
                                        << "Uvezeno pitanja iz fajla \"treci.gift\"";
    }

    void namedOnTheCommandLine() {
        QFETCH(QStringList, names);
        QFETCH(QString, shown);
        QFETCH(QString, message);
        ScriptedResponder responder;
        Editor e(false);
        QTemporaryDir other;
        QList<qo::QuestionRecord> set = numberedSet(21);
        set[0].Question = QStringLiteral("Prvi");
        outsideFile(other, QStringLiteral("prvi.dyr"), bytesOf(set));
        set[0].Question = QStringLiteral("Drugi");
        outsideFile(other, QStringLiteral("drugi.dyr"), bytesOf(set));
        set[0].Question = QStringLiteral("Tuvek");
        writeAll(e.path(QStringLiteral("tuvek.dyr")), bytesOf(set));
        outsideFile(other, QStringLiteral("treci.gift"), giftOf(3));
        QStringList files;
        for (const QString& name : names)
            files << (name == QStringLiteral("tuvek.dyr") ? e.path(name) : other.filePath(name));
        e.program.start(files);
        QVERIFY(e.form.isVisible());
        QCOMPARE(responder.calls().size(), message.isEmpty() ? 0 : 1);
        // %1: the missing file's full path.
        if (message.contains(QStringLiteral("%1")))
            message =
                message.arg(QDir::toNativeSeparators(other.filePath(QStringLiteral("nema.dyr"))));
        if (!message.isEmpty())
            QVERIFY2(responder.last().prompt.startsWith(message),
                     qPrintable(responder.last().prompt));
        QCOMPARE(e.form.Text2->text().trimmed(), shown);
        QVERIFY(!QFileInfo::exists(other.filePath(QStringLiteral("nema.dyr"))));
        if (shown.isEmpty() || names.first().endsWith(QStringLiteral(".gift")))
            return;
        QCOMPARE(e.form.Loaded, -1);
        e.type(e.form.Text3, QStringLiteral("sacuvano"));
        e.save();
        QCOMPARE(recordIn(readAll(files.first()), 1).Answers[0].text(), pad("sacuvano"));
    }

    // Files dropped on the window or on a text box: a set opens (after the question
    // about unsaved changes), other tools' questions are imported, anything else is
    // refused with a short message and nothing changes.
    void drops_data() {
        QTest::addColumn<QString>("what"); // the file dropped, or "link", "text"
        QTest::addColumn<QString>("on");   // the control dropped on; empty: the window
        QTest::addColumn<int>("answer");   // to "Sacuvati izmene?"; 0: no changes made
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("message"); // the start of the last box; empty: none
        const QString refused = QStringLiteral("Fajl \"slika.png\" nije ni set pitanja");
        QTest::newRow("a set") << "drugi.dyr"
                               << "" << 0 << "Drugi"
                               << "";
        QTest::newRow("a set on the question box") << "drugi.dyr"
                                                   << "Text2" << 0 << "Drugi"
                                                   << "";
        QTest::newRow("a set, changes kept") << "drugi.dyr"
                                             << "" << int(rt::vbCancel) << "Moja izmena"
                                             << "Sacuvati izmene?";
        QTest::newRow("a set, changes dropped") << "drugi.dyr"
                                                << "" << int(rt::vbNo) << "Drugi"
                                                << "Sacuvati izmene?";
        QTest::newRow("Moodle XML") << "banka.xml"
                                    << "Text4" << 0 << "Pitanje broj 1?"
                                    << "Uvezeno pitanja iz fajla \"banka.xml\" (Moodle XML): 2";
        // Read as dyr reads a source: a folder is refused unread.
        QTest::newRow("a folder named as questions") << "mapa.xml"
                                                     << "" << 0 << ""
                                                     << "Datoteka \"";
        QTest::newRow("a picture") << "slika.png"
                                   << "" << 0 << "" << refused;
        QTest::newRow("a link") << "link"
                                << "" << 0 << ""
                                << "Ovde se spusta fajl";
        QTest::newRow("text on the window") << "text"
                                            << "" << 0 << ""
                                            << "Ovde se spusta fajl";
        QTest::newRow("text on a box is the box's own") << "text"
                                                        << "Text3" << 0 << ""
                                                        << "";
        // A file manager removes a file that was moved: such a drop is not taken.
        QTest::newRow("a set that may only be moved") << "moved"
                                                      << "" << 0 << ""
                                                      << "";
    }

    void drops() {
        QFETCH(QString, what);
        QFETCH(QString, on);
        QFETCH(int, answer);
        QFETCH(QString, shown);
        QFETCH(QString, message);
        ScriptedResponder responder;
        Editor e;
        QTemporaryDir other;
        QList<qo::QuestionRecord> set = numberedSet(21);
        set[0].Question = QStringLiteral("Drugi");
        outsideFile(other, QStringLiteral("drugi.dyr"), bytesOf(set));
        outsideFile(other, QStringLiteral("slika.png"), QByteArray("\x89PNG\r\n\x1a\n", 8));
        QDir(other.path()).mkdir(QStringLiteral("mapa.xml"));
        QList<qo::QuestionRecord> two = numberedSet(2);
        two[0].Question = QStringLiteral("Pitanje broj 1?");
        outsideFile(other, QStringLiteral("banka.xml"),
                    dyr::exportSet(dyr::Format::Moodle, two).text);
        if (answer) {
            e.type(e.form.Text2, QStringLiteral("Moja izmena"));
            responder.answer(answer);
        }
        const auto table = e.module.QuestionTable;
        QWidget* target = on.isEmpty() ? nullptr : e.form.window()->findChild<QWidget*>(on);
        Qt::DropAction taken = Qt::IgnoreAction;
        if (what == QStringLiteral("link"))
            taken = e.drop({QUrl(QStringLiteral("https://forum.example/set.dyr"))}, target);
        else if (what == QStringLiteral("text"))
            taken = e.drop({}, target, QStringLiteral("obican tekst"));
        else if (what == QStringLiteral("moved"))
            taken = e.drop({QUrl::fromLocalFile(other.filePath(QStringLiteral("drugi.dyr")))},
                           target, QString(), Qt::MoveAction);
        else
            taken = e.drop({QUrl::fromLocalFile(other.filePath(what))}, target,
                           QStringLiteral("file://") + other.filePath(what));
        QCOMPARE(taken, what == QStringLiteral("moved") ? Qt::IgnoreAction : Qt::CopyAction);
        QVERIFY(QFileInfo::exists(other.filePath(QStringLiteral("drugi.dyr"))));
        QCOMPARE(responder.calls().size(), message.isEmpty() ? 0 : 1);
        if (!message.isEmpty())
            QVERIFY2(responder.last().prompt.startsWith(message),
                     qPrintable(responder.last().prompt));
        if (shown.isEmpty()) {
            QVERIFY(e.module.QuestionTable == table);
            QCOMPARE(e.form.Loaded, 0);
            if (what == QStringLiteral("text") && on == QStringLiteral("Text3"))
                QVERIFY(e.form.Text3->text().contains(QStringLiteral("obican tekst")));
            return;
        }
        QCOMPARE(e.form.Text2->text().trimmed(), shown);
        if (shown == QStringLiteral("Drugi")) {
            QCOMPARE(e.form.SetFileName, other.filePath(QStringLiteral("drugi.dyr")));
            QVERIFY(!e.form.hasUnsavedChanges());
        }
    }
};

QTEST_MAIN(TestEditor)
#include "tst_editor.moc"
