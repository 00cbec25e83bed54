// The editor's program-wide state: the table of 21 questions being edited, and the
// two procedures that copy one question between the table and the window.
#pragma once

#include "questionrecord.h"
#include "setshape.h"

#include <QString>
#include <array>
#include <cstdint>

namespace editor {

class Program;

class Module1 {
public:
    explicit Module1(Program& program);

    // Position p holds question number p + 1.
    std::array<qo::QuestionRecord, qo::SetRecords> QuestionTable;
    // The record number while Open or Save runs; 0 at all other times.
    std::int16_t RecordCounter = 0;
    // The answer currently marked correct, (A) = 0 to (D) = 3.
    std::int16_t CorrectIndex = 0;

    // Stores the window's fields into the position the number box names.
    void FormToRecord();
    // Shows the position the number box names, storing each shown text back.
    void RecordToForm();

    // The table position a number-box text names: the number minus 1, taken to the
    // nearest integer with halves to even. False when the text holds no number or
    // names no position 0 to 20.
    static bool namedPosition(const QString& text, int* position = nullptr);

private:
    Program& m_program;
};

} // namespace editor
