// Fuzzes the editor's reading of a set: Open, the question on show, the moves "<<"
// and ">>", numbers typed into the number box and answer marks, then a save back.
// The first three bytes choose the steps; the rest is the set file.
#include "fuzzsupport.h"
#include "module1.h"
#include "program.h"

#include <set>

namespace {

const QString SetName = QStringLiteral("varnikol.dyr");
const QString Numbers[] = {QStringLiteral("21"), QStringLiteral("2.5"), QStringLiteral("20"),
                           QStringLiteral("1")};

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz::startWidgets();
    fuzz::appFolder();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 3)
        return 0;
    const quint32 steps = data[0] | data[1] << 8 | data[2] << 16;
    const QByteArray set = fuzz::bytes(data + 3, size - 3);
    fuzz::writeFile(SetName, set);

    testsupport::ScriptedResponder responder;
    editor::Program program;
    program.start();
    editor::Form1& form = program.form1;
    form.Command1->click();
    FUZZ_CHECK(form.Loaded == -1);

    // Positions the number box has named: only these may differ from the file.
    std::set<int> shown;
    const auto noteShown = [&] {
        int position = 0;
        if (editor::Module1::namedPosition(form.Text1->Text(), &position))
            shown.insert(position);
    };
    noteShown();
    for (int step = 0; step < 8; ++step) {
        const int what = (steps >> (3 * step)) & 7;
        if (what < 2)
            form.Command5->click();
        else if (what < 4)
            form.Command4->click();
        else if (what < 6)
            form.Text1->setTextValue(Numbers[(what - 4) * 2 + (step & 1)]);
        else if (what == 6)
            form.Option(step & 3)->click();
        else
            form.Command3->click();
        noteShown();
    }
    form.Command2->click();
    FUZZ_CHECK(!fuzz::unexpectedError(responder));
    if (form.hasUnsavedChanges())
        return 0; // the number box named no question, so nothing was saved

    // The save keeps every byte it was not asked to change.
    const QByteArray saved = testsupport::readAll(fuzz::appFolder().filePath(SetName));
    const qsizetype table = 21 * qo::RecordLength;
    FUZZ_CHECK(saved.size() == qMax(set.size(), table));
    FUZZ_CHECK(saved.mid(table) == set.mid(table));
    for (int p = 0; p < 21; ++p) {
        if (shown.count(p))
            continue;
        const QByteArray record = saved.mid(p * qo::RecordLength, qo::RecordLength);
        if ((p + 1) * qo::RecordLength <= set.size())
            FUZZ_CHECK(record == set.mid(p * qo::RecordLength, qo::RecordLength));
        else
            FUZZ_CHECK(record.left(10) == QByteArray::number(p + 1).leftJustified(10, ' ') &&
                       record.mid(10) == QByteArray(qo::RecordLength - 10, '\0'));
    }
    return 0;
}
