// Fuzzes dyr's reader of a set's text form: any bytes give records or errors at
// real lines, and a source read without errors comes back the same through format.
#include "dyr.h"
#include "fuzzsupport.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray source = fuzz::bytes(data, size);
    const dyr::Parsed parsed = dyr::parse(source);
    const int lines = static_cast<int>(source.count('\n')) + 1;
    for (const dyr::SourceError& error : parsed.errors)
        FUZZ_CHECK(error.line >= 1 && error.line <= lines && !error.message.isEmpty());
    if (!parsed.errors.isEmpty())
        return 0;
    for (const qo::QuestionRecord& record : parsed.records) {
        FUZZ_CHECK(record.Correct >= 0 && record.Correct <= 3);
        FUZZ_CHECK(qo::QuestionRecord::fromBytes(record.toBytes()) == record);
    }
    const dyr::Parsed again = dyr::parse(dyr::format(parsed.records).toUtf8());
    FUZZ_CHECK(again.errors.isEmpty());
    FUZZ_CHECK(again.records == parsed.records);
    return 0;
}
