// Fuzzes the quiz window on a fuzzed set: Form3 reads each record, takes its Number
// as N and its Correct as an option, through answers, "&Sledece >>>", the timers and
// "&Meni". The first three bytes choose the answers; the rest is the set file.
#include "fuzzsupport.h"
#include "program.h"

namespace {

const QString SetName = QStringLiteral("varnikol.dyr");

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz::startWidgets();
    fuzz::appFolder();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 3)
        return 0;
    const quint32 answers = data[0] | data[1] << 8 | data[2] << 16;
    const QByteArray set = fuzz::bytes(data + 3, size - 3);
    fuzz::writeFile(SetName, set);

    testsupport::ScriptedResponder responder;
    kviz::Program program;
    program.module1.SetFileName = SetName;
    kviz::Form3& form = program.form3;
    rt::runHandler([&] { form.Show(); });
    for (int step = 0; step < 8 && form.isLoaded(); ++step) {
        // Three bits a step: 7 answers nothing, the others pick (A) to (D).
        const int choice = (answers >> (3 * step)) & 7;
        if (form.Command1->isEnabled()) {
            if (choice != 7)
                form.Option1(choice & 3)->setValue(-1);
            form.Command1->click();
        }
        rt::runHandler([&] { form.Timer1_Timer(); });
        rt::runHandler([&] { form.Timer2_Timer(); });
        if (form.QuizFinished)
            FUZZ_CHECK(form.RightCount + form.WrongCount == 5);
    }
    if (form.isLoaded())
        form.Command3->click();
    FUZZ_CHECK(!form.isLoaded());
    FUZZ_CHECK(!fuzz::unexpectedError(responder));
    // The quiz only reads.
    FUZZ_CHECK(testsupport::readAll(fuzz::appFolder().filePath(SetName)) == set);
    return 0;
}
