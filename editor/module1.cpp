#include "module1.h"

#include "conversions.h"
#include "program.h"
#include "rterror.h"

namespace editor {

namespace {

// The position the number box names now: the type-mismatch error when it holds no
// number, the subscript error when it names no position 0 to 20.
int boxPosition(const Form1& form) {
    const QString text = form.Text1->Text();
    rt::Val(text);
    int position = 0;
    if (!Module1::namedPosition(text, &position))
        rt::raise(rt::ErrorKind::SubscriptOutOfRange);
    return position;
}

} // namespace

Module1::Module1(Program& program) : m_program(program) {}

bool Module1::namedPosition(const QString& text, int* position) {
    double number = 0;
    if (!rt::tryVal(text, &number))
        return false;
    const double offset = number - 1;
    if (!(offset > -1000.0 && offset < 1000.0))
        return false;
    const int p = rt::CLng(offset);
    if (p < 0 || p >= qo::SetRecords)
        return false;
    if (position)
        *position = p;
    return true;
}

void Module1::FormToRecord() {
    const Form1& form = m_program.form1;
    qo::QuestionRecord& record = QuestionTable[boxPosition(form)];
    record.Number = form.Text1->Text();
    record.Question = form.Text2->Text();
    record.Correct = CorrectIndex;
    for (int i = 0; i < 4; ++i)
        record.Answers[i] = form.answerBox(i)->Text();
}

void Module1::RecordToForm() {
    Form1& form = m_program.form1;
    // Every step finds its position afresh from the number box, and each text shown
    // goes back into the position the box names right after the showing.
    const int named = boxPosition(form);
    form.Text1->setTextValue(QuestionTable[named].Number);
    if (!namedPosition(form.Text1->Text())) {
        // The stored number names no question: show the named position under its own number.
        form.Text1->setTextValue(rt::fixedAssign(rt::Str(static_cast<long long>(named + 1)), 10));
    }
    QuestionTable[boxPosition(form)].Number = form.Text1->Text();

    form.Text2->setTextValue(QuestionTable[boxPosition(form)].Question);
    QuestionTable[boxPosition(form)].Question = form.Text2->Text();

    CorrectIndex = QuestionTable[boxPosition(form)].Correct;
    if (form.Option.exists(CorrectIndex)) {
        form.Option(CorrectIndex)->setValue(-1);
    } else {
        // A stored answer index outside (A) to (D): mark none, and keep the index so
        // the next store writes it back unchanged.
        for (int i = 0; i < form.Option.Count(); ++i)
            form.Option(i)->setValue(0);
    }

    for (int i = 0; i < 4; ++i) {
        rt::TextBox* box = form.answerBox(i);
        box->setTextValue(QuestionTable[boxPosition(form)].Answers[i]);
        QuestionTable[boxPosition(form)].Answers[i] = box->Text();
    }
}

} // namespace editor
