// The editor's only window: one question of the set at a time, its four answers,
// which answer is right, and the choice of set file to open and save.
#pragma once

#include "controls.h"
#include "form.h"
#include "module1.h"

#include <QString>
#include <array>
#include <cstdint>
#include <optional>

namespace editor {

class Program;

class Form1 : public rt::Form {
public:
    explicit Form1(Program& program);

    // Window-level variables; they outlive the controls.
    std::int16_t Loaded = 0;        // -1 once a set has been opened; never back to 0
    std::int16_t HighestNumber = 0; // highest question number reached with ">>"
    QString SetFileName;            // the chosen set file, without a folder

    rt::Frame* Frame1 = nullptr;
    rt::Frame* Frame2 = nullptr;
    rt::Label* Label1 = nullptr;
    rt::Label* Label2 = nullptr;
    rt::Label* Label3 = nullptr;
    rt::Label* Label4 = nullptr;
    rt::TextBox* Text1 = nullptr; // the question number: the only pointer to the current question
    rt::TextBox* Text2 = nullptr; // the question
    rt::TextBox* Text3 = nullptr; // answers (A) to (D)
    rt::TextBox* Text4 = nullptr;
    rt::TextBox* Text5 = nullptr;
    rt::TextBox* Text6 = nullptr;
    rt::ControlArray<rt::OptionButton> Option;  // (A) to (D)
    rt::ControlArray<rt::OptionButton> Option1; // the three set files
    rt::CommandButton* Command1 = nullptr;      // Open
    rt::CommandButton* Command2 = nullptr;      // Save
    rt::CommandButton* Command3 = nullptr;      // Clear
    rt::CommandButton* Command4 = nullptr;      // "<<"
    rt::CommandButton* Command5 = nullptr;      // ">>"

    void Command1_Click();
    void Command2_Click();
    void Command3_Click();
    void Command4_Click();
    void Command5_Click();
    void Option_Click(std::int16_t Index);
    void Option1_Click(std::int16_t Index);
    void ClearFields();

    // True when what the user can see of the set differs from what was last opened
    // or saved, or from the start state before either.
    bool hasUnsavedChanges() const;

protected:
    void createControls(QWidget* client) override;
    void releaseControls() override;
    void Form_Load() override;
    bool Form_QueryUnload() override;

private:
    // One question as the user sees it: texts without their space or NUL fill.
    struct SeenQuestion {
        QString number;
        QString question;
        std::array<QString, 4> answers;
        int correct = 0;
        bool operator==(const SeenQuestion&) const = default;
    };
    using SeenSet = std::array<SeenQuestion, qo::SetRecords>;

    // The set as a Save would write it now; nothing when the number box names no question.
    std::optional<SeenSet> seenSet() const;
    void rememberSavedState();

    // Saves the set into the named file; false when the number box refused it or the
    // user chose not to lose characters the file can't hold. File errors are raised.
    bool save(const QString& fileName);
    // Whether the set's texts fit the file's code page, or the user agrees that what
    // doesn't will be stored as '?'.
    bool acceptsLostCharacters();
    // Checks that the number box names a question and that moving by step keeps it
    // within 1 to 21; otherwise tells the user and returns false.
    bool numberBoxAllows(int step);
    // The text box of answer i, (A) = 0.
    rt::TextBox* answerBox(int i) const;

    Program& m_program;
    SeenSet m_saved;
    // The file the set on show was last opened from or saved to; empty before either.
    QString m_changesFile;

    friend class Module1;
};

} // namespace editor
