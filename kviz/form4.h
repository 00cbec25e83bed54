// The credits window: names the author and the community, animates the corner faces
// and types the author's nickname into the frame's caption.
#pragma once

#include "controls.h"
#include "form.h"

#include <cstdint>

namespace kviz {

class Program;

class Form4 : public rt::Form {
public:
    explicit Form4(Program& program);

    void Command1_Click();
    void Timer1_Timer();

    // How many letters of the nickname the caption shows; kept across unloads, so a
    // reopened window types on from where the last one stopped.
    std::int16_t LetterCount = 0;
    // The animation frame last shown in the corners; goes on from its last value.
    std::int16_t FrameIndex = 0;

protected:
    void createControls(QWidget* client) override;
    void releaseControls() override;
    // Esc goes back to the menu, as "&Meni" does.
    bool Form_KeyDown(int KeyCode, Qt::KeyboardModifiers Shift) override;

private:
    Program& m_program;
    rt::Frame* Frame1 = nullptr;
    rt::ControlArray<rt::Label> Label1;
    rt::ControlArray<rt::Image> Image2;
    rt::CommandButton* Command1 = nullptr;
    rt::Timer* Timer1 = nullptr;
    rt::ControlArray<rt::Image> Image1;
};

} // namespace kviz
