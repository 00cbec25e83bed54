// The quiz window: five questions of the chosen set, a verdict after each answer,
// and a score panel that slides in at the end.
#pragma once

#include "controls.h"
#include "form.h"
#include "questionrecord.h"
#include "setshape.h"

#include <array>
#include <cstdint>

namespace kviz {

class Program;

class Form3 : public rt::Form {
public:
    explicit Form3(Program& program);

    // Window-level state: lives as long as the program, across unloads.
    std::array<qo::QuestionRecord, qo::QuizLength> QuizQuestions; // slot k holds record k + 1
    std::int16_t CurrentQuestion = 0; // records loaded; the one on screen
    std::int16_t Pos = 0;             // title typewriter position, also the tally's loop index
    std::int16_t QuizFinished = 0;    // -1 once the last question is answered
    std::int16_t RightCount = 0;
    std::int16_t WrongCount = 0;
    std::array<QString, qo::QuizLength> AnswerResults;        // "Right" or "Wrong" per slot
    std::array<std::int16_t, qo::QuizLength> AnswerCorrect{}; // -1 right, 0 wrong per slot

    // The Timer1 handler's own counter: the picture last put in the window's icon.
    // Kept for the whole run, so a reopened window goes on with the cycle.
    std::int16_t IconIndex = 0;

    // Controls, present while the window is loaded.
    rt::Frame* Frame1 = nullptr;
    rt::Label* Label1 = nullptr;
    rt::ControlArray<rt::OptionButton> Option1;
    rt::Label* Label2 = nullptr;
    rt::Label* Label3 = nullptr;
    rt::Label* Label4 = nullptr;
    rt::Label* Label5 = nullptr;
    rt::Frame* Frame2 = nullptr;
    rt::Label* Label6 = nullptr;
    rt::Label* Label7 = nullptr;
    rt::Label* Label8 = nullptr;
    rt::CommandButton* Command2 = nullptr;
    rt::CommandButton* Command1 = nullptr;
    rt::CommandButton* Command3 = nullptr;
    rt::Timer* Timer1 = nullptr;
    rt::Timer* Timer2 = nullptr;
    rt::ControlArray<rt::Image> Image1;

    // Handlers.
    void Form_Load() override;
    void Form_Unload() override;
    void LoadNextQuestion();
    void ClearAnswers();
    void Command1_Click();
    void Command2_Click();
    void Command3_Click();
    void Timer1_Timer();
    void Timer2_Timer();

protected:
    void createControls(QWidget* client) override;
    void releaseControls() override;
    // 1 to 4 and A to D select an answer; Enter answers, as "&Sledece >>>" does.
    bool Form_KeyDown(int KeyCode, Qt::KeyboardModifiers Shift) override;

private:
    qo::QuestionRecord& quizSlot(int slot);
    void finalTally();
    // Gives the score panel to assistive technology once it is both filled in and
    // in place, whichever comes last.
    void revealScoreWhenReady();

    Program& m_program;
    bool m_tallied = false; // the score panel holds this quiz's score
};

} // namespace kviz
