// One question of a set: fixed-width text fields and the index of the right answer.
#pragma once

#include "conversions.h"

#include <QByteArray>
#include <QString>
#include <array>
#include <cstdint>

namespace qo {

// A fixed-length text field. It always holds exactly Width characters, a character
// being one code point (an emoji is one character, stored as one '?'): a fresh
// field is all NUL characters, and storing a text cuts it at the width and fills
// the rest with spaces.
template <int Width> class FixedText {
public:
    static constexpr int width = Width;

    FixedText() : m_chars(Width, QChar(0)) {}

    void assign(const QString& text);
    FixedText& operator=(const QString& text) {
        assign(text);
        return *this;
    }

    // All Width characters, trailing spaces and NULs included (a character beyond
    // the 16-bit range takes two QChars).
    const QString& text() const { return m_chars; }
    operator const QString&() const { return m_chars; }

    // Puts raw characters in place without the fixed-length rule (for reading a file).
    void setRaw(const QString& chars);

    bool operator==(const FixedText&) const = default;

private:
    QString m_chars;
};

struct QuestionRecord {
    FixedText<10> Number;
    FixedText<80> Question;
    std::int16_t Correct = 0;
    std::array<FixedText<80>, 4> Answers;

    bool operator==(const QuestionRecord&) const = default;

    // The record's five texts in their order: the question, then the answers A to D.
    std::array<FixedText<80>*, 5> texts() {
        return {&Question, &Answers[0], &Answers[1], &Answers[2], &Answers[3]};
    }
    std::array<const FixedText<80>*, 5> texts() const {
        return {&Question, &Answers[0], &Answers[1], &Answers[2], &Answers[3]};
    }

    // The 412-byte on-disk form.
    QByteArray toBytes() const;
    // Reads 412 bytes; missing bytes (a record cut short) read as zeros.
    static QuestionRecord fromBytes(const QByteArray& bytes);
};

constexpr int RecordLength = 412;

// A field's text as the programs show it (the windows, the web page, dyr's notes):
// everything up to its first NUL, so that a field never filled in shows empty, without
// the spaces that fill the field after its text.
QString shownText(const QString& field);

// Whether a record holds no question: its question shows nothing but white space. A
// set whose first record holds none has nothing for the quiz to ask, and dyr exports
// no such record; noFirstQuestionReason() is what the quiz says then.
bool holdsNoQuestion(const QuestionRecord& record);
// Whether any of a record's answers shows something other than white space.
bool showsAnyAnswer(const QuestionRecord& record);
QString noFirstQuestionReason();

namespace layout {
constexpr int NumberOffset = 0;
constexpr int QuestionOffset = 10;
constexpr int CorrectOffset = 90;
constexpr int AnswersOffset = 92;
} // namespace layout

} // namespace qo
