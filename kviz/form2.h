// The question-set menu: picks an author's set (or plays one dropped on it) for the quiz,
// opens the credits or leaves.
#pragma once

#include "controls.h"
#include "form.h"

namespace kviz {

class Program;

class Form2 : public rt::Form {
public:
    explicit Form2(Program& program);

    void Image1_Click();
    void Image2_Click();
    void Image4_Click();
    void Image5_Click();

protected:
    void createControls(QWidget* client) override;
    void releaseControls() override;
    // 1 and 2 choose the authors' sets, 3 or F1 opens the credits, Esc asks to leave.
    bool Form_KeyDown(int KeyCode, Qt::KeyboardModifiers Shift) override;
    // A set file dropped on the menu plays as one named on the command line; anything
    // else is refused with a word on what the menu takes.
    void Form_DropFiles(const QList<QUrl>& urls) override;

private:
    // Stores the chosen set and hands over to the quiz window.
    void startQuiz(const QString& setFileName);

    Program& m_program;
    rt::Frame* Frame1 = nullptr;
    rt::Image* Image1 = nullptr;
    rt::Label* Label1 = nullptr;
    rt::Image* Image2 = nullptr;
    rt::Label* Label3 = nullptr;
    rt::Image* Image3 = nullptr;
    rt::Label* Label5 = nullptr;
    rt::Image* Image4 = nullptr;
    rt::Image* Image5 = nullptr;
};

} // namespace kviz
