#include "form1.h"

#include "codepage.h"
#include "conversions.h"
#include "program.h"
#include "questionsetfile.h"
#include "setshape.h"

#include "setfolder.h"

#include <QFileInfo>

namespace editor {

namespace {

const QString BadNumber = QStringLiteral("Broj pitanja mora biti od 1 do 21");
const QString SaveChanges = QStringLiteral("Sacuvati izmene pre izlaska?");
const QString SaveBeforeOpen = QStringLiteral("Sacuvati izmene?");

QFont windowFont() {
    return rt::timesFont(9.75);
}

// Controls without colours of their own keep the default ones, not the blue of their frame.
template <typename W> W* styled(W* widget, const QFont& font, bool blue) {
    widget->setFont(font);
    if (blue)
        rt::setTextColor(widget, rt::Blue);
    else
        rt::setDefaultTextColor(widget);
    return widget;
}

// The question numbers, "3" or "3, 7 i 12".
QString questionList(const QList<int>& numbers) {
    QStringList texts;
    for (const int n : numbers)
        texts << QString::number(n);
    const QString last = texts.takeLast();
    return texts.isEmpty() ? last : texts.join(QStringLiteral(", ")) + QStringLiteral(" i ") + last;
}

} // namespace

Form1::Form1(Program& program)
    : rt::Form({QStringLiteral("Form1"), WindowCaption, 5280, 4080, rt::BorderStyle::FixedSingle,
                false, windowFont()}),
      m_program(program) {}

void Form1::createControls(QWidget* client) {
    const QFont plain = windowFont();
    const QFont frameFont = rt::timesFont(9.75, true);
    const QFont bold12 = rt::timesFont(12, true);

    Frame1 = styled(new rt::Frame(client, QStringLiteral("Frame1"),
                                  QStringLiteral("Editor pitanja"), 120, 0, 5055, 2535),
                    frameFont, true);
    Label1 = styled(new rt::Label(Frame1, QStringLiteral("Label1"), QStringLiteral("Br.pitanja"),
                                  240, 240, 1455, 255),
                    bold12, true);
    Text1 = styled(
        new rt::TextBox(Frame1, QStringLiteral("Text1"), QStringLiteral("1"), 1680, 240, 495, 285),
        plain, false);
    Label3 = styled(new rt::Label(Frame1, QStringLiteral("Label3"), QStringLiteral("(opciono)"),
                                  2280, 240, 855, 255),
                    plain, true);
    Label2 = styled(new rt::Label(Frame1, QStringLiteral("Label2"), QStringLiteral("Pitanje ??"),
                                  240, 600, 1215, 255),
                    bold12, true);
    Text2 =
        styled(new rt::TextBox(Frame1, QStringLiteral("Text2"), QString(), 1680, 600, 3135, 285),
               plain, false);
    const QString letters[] = {QStringLiteral("(A)"), QStringLiteral("(B)"), QStringLiteral("(C)"),
                               QStringLiteral("(D)")};
    rt::TextBox** answers[] = {&Text3, &Text4, &Text5, &Text6};
    for (int i = 0; i < 4; ++i) {
        const double top = 960 + 360 * i;
        Option.add(styled(new rt::OptionButton(Frame1, QStringLiteral("Option_%1").arg(i),
                                               letters[i], 240, top, 855, 255),
                          bold12, true));
        *answers[i] = styled(new rt::TextBox(Frame1, QStringLiteral("Text%1").arg(i + 3), QString(),
                                             1680, top, 3135, 285),
                             plain, false);
    }

    Frame2 = styled(new rt::Frame(client, QStringLiteral("Frame2"), QStringLiteral("Opcije"), 120,
                                  2640, 5055, 1335),
                    frameFont, true);
    const auto button = [&](const char* name, const char* caption, double left, double width) {
        return styled(new rt::CommandButton(Frame2, QLatin1String(name), QLatin1String(caption),
                                            left, 360, width, 375),
                      plain, false);
    };
    Command1 = button("Command1", "&Otvori", 240, 975);
    Command2 = button("Command2", "&Snimi", 1320, 975);
    Command3 = button("Command3", "&Ocisti", 2400, 975);
    Command4 = button("Command4", "<<", 3480, 615);
    Command5 = button("Command5", ">>", 4200, 615);
    Command4->setEnabled(false);
    Label4 = styled(new rt::Label(Frame2, QStringLiteral("Label4"), QStringLiteral("Snimi kao"),
                                  120, 840, 975, 255),
                    rt::timesFont(12), true);
    // The caption just fills the box; kept on one line rather than broken at the space.
    Label4->setWordWrap(false);
    const double fileLeft[] = {1200, 2640, 3840};
    const double fileWidth[] = {1335, 1095, 1095};
    for (int i = 0; i < 3; ++i)
        Option1.add(
            styled(new rt::OptionButton(Frame2, QStringLiteral("Option1_%1").arg(i),
                                        qo::SetFileNames[i], fileLeft[i], 840, fileWidth[i], 375),
                   plain, false));
    Option1(0)->setValue(-1);

    // What a screen reader says of each box and of the buttons without words.
    Text1->setAccessibleName(QStringLiteral("Broj pitanja"));
    Text1->setAccessibleDescription(QStringLiteral("Broj pitanja od 1 do 20"));
    Text2->setAccessibleName(QStringLiteral("Pitanje"));
    for (int i = 0; i < 4; ++i) {
        const QChar letter(u'A' + i);
        answerBox(i)->setAccessibleName(QStringLiteral("Odgovor %1").arg(letter));
        Option(i)->setAccessibleDescription(
            QStringLiteral("Oznacava odgovor %1 kao tacan").arg(letter));
    }
    Command4->setAccessibleName(QStringLiteral("Prethodno pitanje"));
    Command5->setAccessibleName(QStringLiteral("Sledece pitanje"));
    Label4->setAccessibleDescription(QStringLiteral("Izbor fajla za otvaranje i snimanje"));

    setTabOrder({Text1, Text2, Option(0), Option(1), Option(2), Option(3), Text3, Text4, Text5,
                 Text6, Command1, Command2, Command4, Command5, Command3, Option1(0), Option1(1),
                 Option1(2)});

    createMenu();
    window()->acceptFileDrops();

    on(Command1, &QPushButton::clicked, [this] { Command1_Click(); });
    on(Command2, &QPushButton::clicked, [this] { Command2_Click(); });
    on(Command3, &QPushButton::clicked, [this] { Command3_Click(); });
    on(Command4, &QPushButton::clicked, [this] { Command4_Click(); });
    on(Command5, &QPushButton::clicked, [this] { Command5_Click(); });
    // An option button's Click comes whenever it becomes selected, by the user or by code.
    for (int i = 0; i < 4; ++i) {
        rt::OptionButton* option = Option(i);
        on(option, &QRadioButton::toggled, [this, option, i] {
            if (option->isChecked())
                Option_Click(static_cast<std::int16_t>(i));
        });
    }
    for (int i = 0; i < 3; ++i) {
        rt::OptionButton* option = Option1(i);
        on(option, &QRadioButton::toggled, [this, option, i] {
            if (option->isChecked())
                Option1_Click(static_cast<std::int16_t>(i));
        });
    }
}

void Form1::releaseControls() {
    Frame1 = Frame2 = nullptr;
    Label1 = Label2 = Label3 = Label4 = nullptr;
    Text1 = Text2 = Text3 = Text4 = Text5 = Text6 = nullptr;
    Command1 = Command2 = Command3 = Command4 = Command5 = nullptr;
    Option.clear();
    Option1.clear();
    MenuBar1 = nullptr;
    mnuFile = mnuTransfer = mnuPrinting = nullptr;
}

rt::TextBox* Form1::answerBox(int i) const {
    rt::TextBox* const boxes[] = {Text3, Text4, Text5, Text6};
    return boxes[i];
}

void Form1::Form_Load() {
    Module1& module1 = m_program.module1;
    Loaded = 0;
    for (int p = 0; p < qo::SetRecords; ++p)
        module1.QuestionTable[p].Number = rt::Str(static_cast<long long>(p + 1));
    SetFileName = qo::SetFileNames[0];
    rememberSavedState();
}

// Open: reads records 1 to 21 of the chosen file and shows the question the number
// box names. Unsaved changes are offered for saving first, into the file they
// belong to.
void Form1::Command1_Click() {
    if (!numberBoxAllows(0))
        return;
    if (!settleUnsavedChanges())
        return;
    showOpenedSet(readSet(SetFileName, true), SetFileName);
}

bool Form1::settleUnsavedChanges() {
    if (!hasUnsavedChanges())
        return true;
    switch (rt::MsgBox(SaveBeforeOpen, rt::vbYesNoCancel + rt::vbQuestion, WindowCaption)) {
    case rt::vbYes:
        return save(m_changesFile.isEmpty() ? SetFileName : m_changesFile);
    case rt::vbNo:
        return true;
    default:
        return false;
    }
}

std::array<qo::QuestionRecord, qo::SetRecords> Form1::readSet(const QString& fileName,
                                                              bool create) {
    Module1& module1 = m_program.module1;
    // The records are read into a copy, so that a failed open leaves the table as it was.
    auto table = module1.QuestionTable;
    qo::QuestionSetFile file;
    if (create)
        file.OpenSetFile(fileName);
    else
        file.OpenSetFileForReading(fileName);
    const qint64 fileSize = QFileInfo(qo::QuestionSetFile::pathFor(fileName)).size();
    try {
        for (int k = 0; k < qo::SetRecords; ++k) {
            module1.RecordCounter = rt::add16(module1.RecordCounter, 1);
            qo::QuestionRecord& record = table.at(module1.RecordCounter - 1);
            file.ReadQuestion(module1.RecordCounter, record);
            // A record past the end of a short or new file is an empty question that
            // keeps its own number.
            if (static_cast<qint64>(module1.RecordCounter) * qo::RecordLength > fileSize)
                record.Number = rt::Str(static_cast<long long>(module1.RecordCounter));
        }
        file.CloseSetFile();
    } catch (...) {
        module1.RecordCounter = 0;
        throw;
    }
    return table;
}

void Form1::showOpenedSet(const std::array<qo::QuestionRecord, qo::SetRecords>& table,
                          const QString& fileName) {
    Module1& module1 = m_program.module1;
    module1.QuestionTable = table;
    module1.RecordToForm();
    module1.RecordCounter = 0;
    Loaded = -1;
    rememberSavedState();
    m_changesFile = fileName;
    showFileInCaption();
}

void Form1::Command2_Click() {
    save(SetFileName);
}

bool Form1::save(const QString& fileName) {
    if (!numberBoxAllows(0))
        return false;
    Module1& module1 = m_program.module1;
    // A failed or declined save leaves the table as it was; the file on disk stays
    // whole because the records reach it all at once on closing.
    const auto before = module1.QuestionTable;
    try {
        module1.FormToRecord();
        if (!acceptsLostCharacters()) {
            module1.QuestionTable = before;
            return false;
        }
        qo::QuestionSetFile file;
        file.OpenSetFile(fileName);
        for (int k = 0; k < qo::SetRecords; ++k) {
            module1.RecordCounter = rt::add16(module1.RecordCounter, 1);
            file.WriteQuestion(module1.RecordCounter,
                               module1.QuestionTable.at(module1.RecordCounter - 1));
        }
        file.CloseSetFile();
    } catch (...) {
        module1.QuestionTable = before;
        module1.RecordCounter = 0;
        throw;
    }
    module1.RecordCounter = 0;
    rememberSavedState();
    m_changesFile = fileName;
    showFileInCaption();
    return true;
}

bool Form1::acceptsLostCharacters() {
    QList<int> questions;
    for (int p = 0; p < qo::SetRecords; ++p) {
        const qo::QuestionRecord& record = m_program.module1.QuestionTable[p];
        bool fits = rt::fitsCodePage(record.Number) && rt::fitsCodePage(record.Question);
        for (const auto& answer : record.Answers)
            fits = fits && rt::fitsCodePage(answer);
        if (!fits)
            questions << p + 1;
    }
    if (questions.isEmpty())
        return true;
    const QString prompt =
        (questions.size() == 1 ? QStringLiteral("Pitanje %1 sadrzi znakove")
                               : QStringLiteral("Pitanja %1 sadrze znakove")) +
        QStringLiteral(" koje datoteka ne moze da sacuva (na primer cirilicu ili emotikone); "
                       "bice snimljeni kao '?'.\n\nSnimiti ipak?");
    return rt::MsgBox(prompt.arg(questionList(questions)), rt::vbYesNo + rt::vbExclamation,
                      WindowCaption) == rt::vbYes;
}

void Form1::Command3_Click() {
    ClearFields();
}

void Form1::ClearFields() {
    Text2->setTextValue(QString());
    Text3->setTextValue(QString());
    Text4->setTextValue(QString());
    Text5->setTextValue(QString());
    Text6->setTextValue(QString());
}

void Form1::Option_Click(std::int16_t Index) {
    if (Index >= 0 && Index <= 3)
        m_program.module1.CorrectIndex = Index;
}

void Form1::Option1_Click(std::int16_t Index) {
    SetFileName = qo::SetFileNames[Index == 0 ? 0 : Index == 1 ? 1 : 2];
}

void Form1::chooseFile(const QString& fileName) {
    const QFileInfo file(fileName);
    if (file.isAbsolute()) {
        const QString folder = qo::SetFolder::path();
        for (int i = 0; i < Option1.Count(); ++i) {
            const QString name = qo::SetFileNames[i];
            if (!folder.isEmpty() && file.fileName() == name &&
                QFileInfo(folder + QLatin1Char('/') + name) == file) {
                Option1(i)->setValue(-1);
                SetFileName = name;
                return;
            }
        }
    }
    for (int i = 0; i < Option1.Count(); ++i)
        Option1(i)->setValue(0);
    SetFileName = fileName;
}

// "<<": stores the question shown and moves to the previous number.
void Form1::Command4_Click() {
    if (!numberBoxAllows(-1))
        return;
    Module1& module1 = m_program.module1;
    module1.FormToRecord();
    Text1->setTextValue(rt::Str(rt::Val(Text1->Text()) - 1));
    if (Loaded == -1)
        module1.RecordToForm();
    else
        ClearFields();
    if (rt::Val(Text1->Text()) < HighestNumber)
        module1.RecordToForm();
    if (rt::Val(Text1->Text()) == 1.0)
        Command4->setEnabled(false);
    else
        Command5->setEnabled(true);
}

// ">>": stores the question shown and moves to the next number. Before any Open,
// numbers beyond the highest reached so far start as empty boxes.
void Form1::Command5_Click() {
    if (!numberBoxAllows(1))
        return;
    Module1& module1 = m_program.module1;
    module1.FormToRecord();
    Text1->setTextValue(rt::Str(rt::Val(Text1->Text()) + 1));
    if (Loaded == -1)
        module1.RecordToForm();
    else
        ClearFields();
    if (rt::Val(Text1->Text()) <= HighestNumber)
        module1.RecordToForm();
    if (rt::Val(Text1->Text()) == 20.0)
        Command5->setEnabled(false);
    else
        Command4->setEnabled(true);
    if (rt::Val(Text1->Text()) > HighestNumber)
        HighestNumber = rt::CInt(Text1->Text());
}

bool Form1::numberBoxAllows(int step) {
    const QString text = Text1->Text();
    double number = 0;
    if (rt::tryVal(text, &number) && Module1::namedPosition(text) &&
        Module1::namedPosition(rt::Str(number + step)))
        return true;
    rt::MsgBox(BadNumber, rt::vbCritical, QStringLiteral("Greska"));
    return false;
}

bool Form1::Form_QueryUnload() {
    if (!hasUnsavedChanges())
        return true;
    switch (rt::MsgBox(SaveChanges, rt::vbYesNoCancel + rt::vbQuestion, WindowCaption)) {
    case rt::vbYes:
        // A failed save keeps the window open; its error is reported on the way out.
        return save(SetFileName);
    case rt::vbNo:
        return true;
    default:
        return false;
    }
}

std::optional<Form1::SeenSet> Form1::seenSet() const {
    int position = 0;
    if (!Module1::namedPosition(Text1->Text(), &position))
        return std::nullopt;
    auto table = m_program.module1.QuestionTable;
    qo::QuestionRecord& shown = table[position];
    shown.Number = Text1->Text();
    shown.Question = Text2->Text();
    shown.Correct = m_program.module1.CorrectIndex;
    for (int i = 0; i < 4; ++i)
        shown.Answers[i] = answerBox(i)->Text();

    SeenSet set;
    for (int p = 0; p < qo::SetRecords; ++p) {
        const qo::QuestionRecord& record = table[p];
        SeenQuestion& question = set[p];
        // A stored number that names no question is shown as the position's own.
        question.number = Module1::namedPosition(record.Number)
                              ? qo::shownText(record.Number)
                              : rt::Str(static_cast<long long>(p + 1));
        question.question = qo::shownText(record.Question);
        for (int i = 0; i < 4; ++i)
            question.answers[i] = qo::shownText(record.Answers[i]);
        // The answer mark counts even on a question without any text: a save writes it.
        question.correct = record.Correct;
    }
    return set;
}

void Form1::rememberSavedState() {
    if (const auto set = seenSet())
        m_saved = *set;
}

bool Form1::hasUnsavedChanges() const {
    if (!isLoaded())
        return false;
    const auto set = seenSet();
    return !set || *set != m_saved;
}

} // namespace editor
