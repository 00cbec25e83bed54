// Fuzzes the readers of a set file's bytes: ReadQuestion through a real file of any
// content and length, the record layout, and dyr's check and dump.
#include "dyr.h"
#include "fuzzsupport.h"
#include "questionsetfile.h"

using QSF = qo::QuestionSetFile;

namespace {

const QString SetName = QStringLiteral("fuzz.dyr");

bool wellFormed(const qo::QuestionRecord& r) {
    bool ok = r.Number.text().size() == 10 && r.Question.text().size() == 80;
    for (const auto& answer : r.Answers)
        ok = ok && answer.text().size() == 80;
    return ok;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray content = fuzz::bytes(data, size);
    fuzz::writeFile(SetName, content);

    const qsizetype whole = content.size() / qo::RecordLength;
    QList<qo::QuestionRecord> records;
    QSF file;
    file.OpenSetFile(SetName);
    for (int n = 1; n <= whole + 2; ++n) {
        qo::QuestionRecord record;
        record.Correct = 77; // must be overwritten
        file.ReadQuestion(n, record);
        FUZZ_CHECK(wellFormed(record));
        if (n <= whole) {
            // A whole record reads as its bytes, and writes back as the same bytes.
            const QByteArray own = content.mid((n - 1) * qo::RecordLength, qo::RecordLength);
            FUZZ_CHECK(record.toBytes() == own);
            FUZZ_CHECK(record == qo::QuestionRecord::fromBytes(own));
            records.append(record);
        } else {
            FUZZ_CHECK(record == qo::QuestionRecord());
        }
    }
    file.CloseSetFile();
    FUZZ_CHECK(!QSF::isOpen());

    // check finds no fault only in a set of whole records, at least the five the quiz asks.
    const QStringList problems = dyr::check(content);
    if (problems.isEmpty())
        FUZZ_CHECK(content.size() % qo::RecordLength == 0 && whole >= 5);

    // dump then build gives back the same records, byte for byte, a Correct that names
    // no answer included.
    const dyr::Parsed back = dyr::parse(dyr::format(records).toUtf8());
    FUZZ_CHECK(back.errors.isEmpty());
    FUZZ_CHECK(back.records == records);
    return 0;
}
