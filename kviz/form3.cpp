// The quiz window: reads the set one record per question, checks each answer,
// keeps the score, and animates its title, icon and score panel.
#include "form3.h"

#include "assets.h"
#include "conversions.h"
#include "faces.h"
#include "program.h"
#include "questionsetfile.h"
#include "quiz.h"
#include "rterror.h"
#include "setshape.h"

namespace kviz {

namespace {

const QString Title = QStringLiteral("[qo] Kviz");
const QString Right = QStringLiteral("Right");
const QString Wrong = QStringLiteral("Wrong");

using qo::QuizLength;
constexpr float ScorePanelStop = 120.0f;

rt::Label* boldLetter(QWidget* parent, const QString& name, const QString& caption, double left,
                      double top, double height) {
    auto* label = new rt::Label(parent, name, caption, left, top, 375, height);
    label->setFont(rt::timesFont(12, true));
    rt::setDefaultTextColor(label);
    return label;
}

rt::Label* scoreLine(QWidget* parent, const QString& name, double top, double height) {
    auto* label = new rt::Label(parent, name, QString(), 120, top, 5895, height);
    label->setFont(rt::timesFont(12, true));
    label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    rt::setTextColor(label, rt::Blue);
    rt::setBackColor(label, rt::LightGrey);
    return label;
}

} // namespace

Form3::Form3(Program& program)
    : rt::Form({QStringLiteral("Form3"), Title, 6330, 3795, rt::BorderStyle::FixedSingle, true}),
      m_program(program) {}

void Form3::createControls(QWidget* client) {
    // Question panel.
    Frame1 = new rt::Frame(client, QStringLiteral("Frame1"), QString(), 120, 0, 6135, 2415);
    Frame1->setFont(rt::timesFont(12, true));
    rt::setTextColor(Frame1, rt::Blue);

    Label1 = new rt::Label(Frame1, QStringLiteral("Label1"), QString(), 120, 240, 5895, 615);
    Label1->setFont(rt::timesFont(12));
    rt::setTextColor(Label1, rt::Blue);
    rt::setBackColor(Label1, rt::LightGrey);

    // Answers A to D in a two-by-two grid: A top left, B top right, C and D below.
    const double optionLeft[4] = {480, 3600, 480, 3600};
    const double optionTop[4] = {840, 840, 1560, 1560};
    for (int i = 0; i < 4; ++i) {
        auto* option = new rt::OptionButton(Frame1, QStringLiteral("Option1_%1").arg(i), QString(),
                                            optionLeft[i], optionTop[i], 2430, 650);
        option->setFont(rt::timesFont(9.75));
        rt::setDefaultTextColor(option);
        rt::setBackColor(option, rt::LightGrey);
        option->setAccessibleDescription(
            QStringLiteral("Taster %1 ili %2.").arg(i + 1).arg(QChar(u'A' + i)));
        Option1.add(option);
    }

    Label2 = boldLetter(Frame1, QStringLiteral("Label2"), QStringLiteral("(A)"), 120, 1080, 375);
    Label3 = boldLetter(Frame1, QStringLiteral("Label3"), QStringLiteral("(C)"), 120, 1680, 255);
    Label4 = boldLetter(Frame1, QStringLiteral("Label4"), QStringLiteral("(B)"), 3120, 1080, 375);
    Label5 = boldLetter(Frame1, QStringLiteral("Label5"), QStringLiteral("(D)"), 3120, 1680, 495);

    // Score panel, just right of the client area until the slide brings it in.
    Frame2 = new rt::Frame(client, QStringLiteral("Frame2"), QStringLiteral("Ukupan skor"), 6360, 0,
                           6135, 2415);
    Frame2->setFont(rt::timesFont(12, true));
    rt::setTextColor(Frame2, rt::Blue);
    Label6 = scoreLine(Frame2, QStringLiteral("Label6"), 360, 375);
    Label7 = scoreLine(Frame2, QStringLiteral("Label7"), 840, 375);
    Label8 = scoreLine(Frame2, QStringLiteral("Label8"), 1320, 855);
    // Until the quiz ends the panel waits outside the client area, its lines empty
    // or half written: a screen reader is not told of it before it has arrived.
    rt::setHiddenFromAccessibility(Frame2, true);

    Command2 = new rt::CommandButton(client, QStringLiteral("Command2"), QStringLiteral("&Izlaz"),
                                     5520, 2520, 735, 375);
    Command1 = new rt::CommandButton(client, QStringLiteral("Command1"),
                                     QStringLiteral("&Sledece >>>"), 3600, 2520, 1695, 375);
    Command3 = new rt::CommandButton(client, QStringLiteral("Command3"), QStringLiteral("&Meni"),
                                     2160, 2520, 1215, 375);
    for (rt::CommandButton* button : {Command2, Command1, Command3})
        button->setFont(rt::defaultFont());
    Command1->setAccessibleName(QStringLiteral("Sledece"));
    Command1->setAccessibleDescription(
        QStringLiteral("Proverava izabrani odgovor i prelazi na sledece pitanje. Taster Enter."));

    // The fanned row of faces in the bottom left corner; later ones lie on top.
    for (int i = 0; i < qo::FaceCount; ++i) {
        auto* image = new rt::Image(client, QStringLiteral("Image1_%1").arg(i), 120 + 120 * i, 3240,
                                    480, 480);
        image->setPicture(assets::face(i));
        image->setAccessibleName(assets::faceName(i));
        Image1.add(image);
    }

    setTabOrder({Option1(0), Option1(1), Option1(2), Option1(3), Command2, Command1, Command3});

    Timer1 = new rt::Timer(client, QStringLiteral("Timer1"), 888);
    // Timer2 only runs while the score panel is sliding; there is nothing for it
    // to do before the quiz ends or after the panel has arrived.
    Timer2 = new rt::Timer(client, QStringLiteral("Timer2"), 1, false);

    setIcon(Image1(IconIndex)->Picture());

    on(Command1, &QPushButton::clicked, [this] { Command1_Click(); });
    on(Command2, &QPushButton::clicked, [this] { Command2_Click(); });
    on(Command3, &QPushButton::clicked, [this] { Command3_Click(); });
    on(Timer1, &QTimer::timeout, [this] { Timer1_Timer(); });
    on(Timer2, &QTimer::timeout, [this] { Timer2_Timer(); });
}

void Form3::releaseControls() {
    Frame1 = nullptr;
    Label1 = nullptr;
    Option1.clear();
    Label2 = Label3 = Label4 = Label5 = nullptr;
    Frame2 = nullptr;
    Label6 = Label7 = Label8 = nullptr;
    Command1 = Command2 = Command3 = nullptr;
    Timer1 = Timer2 = nullptr;
    Image1.clear();
}

void Form3::Form_Load() {
    CurrentQuestion = 0;
    // Every quiz starts clean: results of an earlier quiz never count in this one.
    AnswerResults.fill(QString());
    AnswerCorrect.fill(0);
    // A set file that can't be opened fails here, and the window does not open.
    LoadNextQuestion();
    ClearAnswers();
    QuizFinished = 0;
    m_tallied = false;
    Label8->setText(qo::quiz::scoreWords().listHeading);
}

void Form3::Form_Unload() {
    RightCount = 0;
    WrongCount = 0;
}

qo::QuestionRecord& Form3::quizSlot(int slot) {
    if (slot < 0 || slot >= QuizLength)
        rt::raise(rt::ErrorKind::SubscriptOutOfRange);
    return QuizQuestions[static_cast<std::size_t>(slot)];
}

void Form3::LoadNextQuestion() {
    // The quiz only reads: a missing set is reported, never created.
    qo::QuestionSetFile file;
    file.OpenSetFileForReading(m_program.module1.SetFileName);
    CurrentQuestion = rt::add16(CurrentQuestion, 1);
    qo::QuestionRecord& record = quizSlot(CurrentQuestion - 1);
    file.ReadQuestion(CurrentQuestion, record);
    // A set without a first question (empty, or cut short) has nothing to play.
    if (CurrentQuestion == 1) {
        const QString refusal = qo::quiz::refusal(record);
        if (!refusal.isEmpty())
            rt::raise(qo::FileFault::refused(m_program.module1.SetFileName, refusal));
    }
    Frame1->setTitle(QStringLiteral("Pitanje ") + rt::uptoNul(record.Number));
    Label1->setText(rt::uptoNul(record.Question));
    for (int i = 0; i < 4; ++i) {
        rt::OptionButton* option = Option1(i);
        option->setCaption(rt::uptoNul(record.Answers[static_cast<std::size_t>(i)]));
        // A screen reader hears the answer's letter with its text.
        option->setAccessibleName(QStringLiteral("Odgovor %1: %2")
                                      .arg(QChar(u'A' + i), option->accessibleName())
                                      .trimmed());
    }
    file.CloseSetFile();
}

void Form3::ClearAnswers() {
    for (int i = 0; i < 4; ++i)
        Option1(i)->setValue(0);
}

void Form3::Command1_Click() {
    int chosen = -1;
    for (int i = 0; i < 4; ++i) {
        if (Option1(i)->Value() != 0)
            chosen = i;
    }
    if (chosen < 0) {
        rt::MsgBox(QStringLiteral("Izaberite odgovor na pitanje"), rt::vbCritical,
                   QStringLiteral("Greska"));
        return;
    }

    const int slot = CurrentQuestion - 1;
    const qo::QuestionRecord& record = quizSlot(slot);
    // What follows, and whether the answer is right, is the quiz's rule (quiz.h).
    const bool last = qo::quiz::next(record, CurrentQuestion) == 0;
    if (last) {
        Command1->setEnabled(false);
        QuizFinished = -1;
        Timer2->setEnabled(true);
    }

    const bool right = qo::quiz::isRight(record, chosen);
    const auto s = static_cast<std::size_t>(slot);
    if (right) {
        rt::MsgBox(QStringLiteral("TACAN odgovor"), rt::vbInformation, Title);
        AnswerResults[s] = Right;
        AnswerCorrect[s] = -1;
    } else {
        rt::MsgBox(QStringLiteral("POGRESAN odgovor"), rt::vbCritical, Title);
        AnswerCorrect[s] = 0;
        AnswerResults[s] = Wrong;
    }

    if (last)
        finalTally();
    else
        LoadNextQuestion();
    ClearAnswers();
}

void Form3::finalTally() {
    QList<bool> rightBySlot;
    for (const std::int16_t correct : AnswerCorrect)
        rightBySlot << (correct != 0);
    const qo::quiz::Score score = qo::quiz::score(rightBySlot);
    RightCount = rt::add16(RightCount, score.right);
    WrongCount = rt::add16(WrongCount, score.wrong);
    // The tally leaves Pos, the title typewriter's position, at 5: the typewriter
    // carries on from there.
    Pos = QuizLength;
    Label6->setText(score.rightLine);
    Label7->setText(score.wrongLine);
    Label8->setText(score.listLine);
    m_tallied = true;
    revealScoreWhenReady();
}

void Form3::revealScoreWhenReady() {
    if (QuizFinished != 0 && m_tallied && Frame2->Left() <= ScorePanelStop) {
        rt::setHiddenFromAccessibility(Frame2, false);
        // The question panel has slid out of the window: it is no longer read.
        rt::setHiddenFromAccessibility(Frame1, true);
    }
}

bool Form3::Form_KeyDown(int KeyCode, Qt::KeyboardModifiers Shift) {
    if (Shift & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))
        return false;
    int answer = -1;
    if (KeyCode >= Qt::Key_1 && KeyCode <= Qt::Key_4)
        answer = KeyCode - Qt::Key_1;
    else if (KeyCode >= Qt::Key_A && KeyCode <= Qt::Key_D)
        answer = KeyCode - Qt::Key_A;
    if (answer >= 0) {
        // The selected answer takes the focus too, so Enter then answers with it.
        Option1(answer)->setValue(-1);
        Option1(answer)->setFocus(Qt::ShortcutFocusReason);
        return true;
    }
    if (KeyCode == Qt::Key_Return || KeyCode == Qt::Key_Enter) {
        Command1->click(); // nothing once the quiz is over and the button disabled
        return true;
    }
    return false;
}

void Form3::Command2_Click() {
    if (rt::MsgBox(QStringLiteral("Dali ocete sigurno da izadjete"),
                   rt::vbYesNo + rt::vbInformation, QStringLiteral("Izlaz")) == rt::vbYes)
        rt::End();
}

void Form3::Command3_Click() {
    Unload();
    m_program.form2.Show();
}

void Form3::Timer1_Timer() {
    Pos = rt::add16(Pos, 1);
    setCaption(rt::Left(Title, Pos));
    if (Pos == 12) {
        setCaption(QString());
        Pos = 0;
    }
    const int n = Image1.Count();
    if (IconIndex < n - 1)
        IconIndex = rt::add16(IconIndex, 1);
    else
        IconIndex = 0;
    setIcon(Image1(IconIndex)->Picture());
}

void Form3::Timer2_Timer() {
    if (QuizFinished != 0 && Frame2->Left() > ScorePanelStop) {
        Frame2->setLeft(Frame2->Left() - 40.0f);
        Frame1->setLeft(Frame1->Left() - 41.0f);
    }
    // Once the panel has arrived (or when there is nothing to slide) the timer
    // stops instead of ticking on with nothing to do.
    if (QuizFinished == 0 || Frame2->Left() <= ScorePanelStop)
        Timer2->setEnabled(false);
    revealScoreWhenReady();
}

} // namespace kviz
